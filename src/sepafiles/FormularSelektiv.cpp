#include "sepafiles/FormularSelektiv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/ProgrammschriftSetzen.h"
#include "platform/ui/TabTasteSenden.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "sepafiles/Listengitter.h"
#include "sepafiles/core/SepaSelektion.h"

namespace {

const QString kAbschnitt = QStringLiteral("Formular Selektiv");

const char* const kZahlarten[] = {"Alle Zahlungen", "Überweisung (Gutschrift)", "Einzug (Basis-Lastschrift)",
                                  "Einzug (Firmen-Lastschrift)"};

bool Gesetzt(const QString& schluessel, const char* vorgabe) {
  return GetSetting(kAbschnitt, schluessel, QString::fromLatin1(vorgabe)) == QStringLiteral("1");
}

QString AlsEinsNull(bool wert) { return wert ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

QDialog* FormularSelektivErzeugen(QWidget* eltern) { return new FormularSelektiv(eltern); }

FormularSelektiv::FormularSelektiv(QWidget* eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("FormularSelektiv"));
  setWindowTitle(QStringLiteral("Zahlungen selektiv löschen / reaktivieren"));
  setWindowIcon(Bildliste::Bilder32().Bild(QStringLiteral("Selektivlöschen")));
  Aufbauen();
  Laden();
}

FormularSelektiv::~FormularSelektiv() { m_tdbGrid1->SetzeRecordset(nullptr); }

void FormularSelektiv::Aufbauen() {
  auto* auswahl = new QGroupBox(QStringLiteral("Auswahl"), this);
  auswahl->setObjectName(QStringLiteral("ElasticOne1_1"));
  m_option1[0] = new QRadioButton(QStringLiteral("&Nach Auswahlkriterien"), auswahl);
  m_option1[1] = new QRadioButton(QStringLiteral("&Alle Zahlungen"), auswahl);
  auto* auswahlLayout = new QVBoxLayout(auswahl);
  auswahlLayout->addWidget(m_option1[0]);
  auswahlLayout->addWidget(m_option1[1]);
  auswahlLayout->addStretch(1);

  auto* kriterien = new QGroupBox(QStringLiteral("Auswahlkriterien"), this);
  kriterien->setObjectName(QStringLiteral("ElasticOne1_2"));
  m_check1[0] = new QCheckBox(QStringLiteral("&Erledigte Zahlungen von/bis -->"), kriterien);
  m_check1[0]->setToolTip(QStringLiteral("Nur erledigte Zahlungen bearbeiten"));
  m_check1[1] = new QCheckBox(QStringLiteral("Nach &Tamo-Livra exportierte Zahlungen"), kriterien);
  m_check1[1]->setToolTip(QStringLiteral("Nur Zahlungen bearbeiten, die bereits nach Tamo-Livra exportiert wurden"));
  for (int i = 0; i < 2; ++i) {
    m_tdbDate1[i] = new DatumFeld(kriterien);
    m_tdbDate1[i]->setObjectName(QStringLiteral("TDBDate1_%1").arg(i));
    m_tdbDate1[i]->installEventFilter(this);
  }
  m_tdbDate1[0]->setToolTip(QStringLiteral("Von welchem Erledigt-Datum soll selektiert werden"));
  m_tdbDate1[1]->setToolTip(QStringLiteral("Bis zu welchem Erledigt-Datum soll selektiert werden"));
  m_combo1 = new QComboBox(kriterien);
  m_combo1->setObjectName(QStringLiteral("Combo1"));
  m_combo1->setToolTip(QStringLiteral("Zahlungsart auswählen"));
  for (const char* art : kZahlarten) m_combo1->addItem(QString::fromUtf8(art));
  m_zahlartBeschriftung = new QLabel(QStringLiteral("&Zahlungsart:"), kriterien);
  m_zahlartBeschriftung->setBuddy(m_combo1);
  auto* kriterienLayout = new QGridLayout(kriterien);
  kriterienLayout->addWidget(m_check1[0], 0, 0);
  kriterienLayout->addWidget(m_tdbDate1[0], 0, 1);
  kriterienLayout->addWidget(m_tdbDate1[1], 0, 2);
  kriterienLayout->addWidget(m_check1[1], 1, 0, 1, 3);
  kriterienLayout->addWidget(m_zahlartBeschriftung, 2, 0, Qt::AlignRight);
  kriterienLayout->addWidget(m_combo1, 2, 1, 1, 2);

  auto* aktion = new QGroupBox(QStringLiteral("Aktion"), this);
  aktion->setObjectName(QStringLiteral("ElasticOne1_3"));
  m_option1[2] = new QRadioButton(QStringLiteral("&Löschen"), aktion);
  m_option1[2]->setToolTip(QStringLiteral("Löscht die angezeigten Zahlungen"));
  m_option1[3] = new QRadioButton(QStringLiteral("Erledigt-&Status aufheben"), aktion);
  m_option1[3]->setToolTip(QStringLiteral("Reaktiviert die angezeigten Zahlungen"));
  auto* aktionLayout = new QVBoxLayout(aktion);
  aktionLayout->addWidget(m_option1[2]);
  aktionLayout->addWidget(m_option1[3]);
  aktionLayout->addStretch(1);
  for (int i = 0; i < 4; ++i) m_option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
  for (int i = 0; i < 2; ++i) m_check1[i]->setObjectName(QStringLiteral("Check1_%1").arg(i));

  m_tdbGrid1 = new DatenGitter(this);
  m_tdbGrid1->setObjectName(QStringLiteral("TDBGrid1"));
  SpaltenAnlegen();

  m_hinweis = new QLabel(this);
  m_hinweis->setObjectName(QStringLiteral("Hinweis"));
  // A long hint wraps instead of widening the window.
  m_hinweis->setWordWrap(true);
  m_hinweis->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  QPalette rot = m_hinweis->palette();
  rot.setColor(QPalette::WindowText, Farben::Rot());
  m_hinweis->setPalette(rot);
  m_command1[1] = new QPushButton(QStringLiteral("Aktion &durchführen"), this);
  m_command1[0] = new QPushButton(QStringLiteral("Abbrechen"), this);
  for (int i = 0; i < 2; ++i) {
    m_command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
    // No default button: Enter never starts the action.
    m_command1[i]->setAutoDefault(false);
    m_command1[i]->setDefault(false);
  }
  m_command1[1]->setEnabled(false);

  auto* oben = new QHBoxLayout;
  oben->addWidget(auswahl);
  oben->addWidget(kriterien, 1);
  oben->addWidget(aktion);
  auto* unten = new QHBoxLayout;
  unten->addWidget(m_hinweis, 1);
  unten->addWidget(m_command1[1]);
  unten->addWidget(m_command1[0]);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(oben);
  layout->addWidget(m_tdbGrid1, 1);
  layout->addLayout(unten);

  const QList<QWidget*> folge = {m_option1[0], m_option1[1], m_check1[0], m_tdbDate1[0], m_tdbDate1[1], m_check1[1],
                                 m_combo1,     m_option1[2], m_option1[3], m_tdbGrid1,   m_command1[1], m_command1[0]};
  for (int i = 0; i + 1 < folge.size(); ++i) setTabOrder(folge[i], folge[i + 1]);

  for (int i = 0; i < 2; ++i) {
    connect(m_option1[i], &QRadioButton::toggled, this, [this, i](bool an) {
      if (!an) return;
      m_selektionsart = i;
      KriterienFreigeben();
      if (m_anzeigeBereit) AuswahlLaden();
    });
    connect(m_option1[i + 2], &QRadioButton::toggled, this, [this, i](bool an) {
      if (an) m_aktion = static_cast<SelektivAktion>(i);
    });
  }
  connect(m_check1[0], &QCheckBox::toggled, this, [this] {
    KriterienFreigeben();
    KriteriumGeaendert();
  });
  connect(m_check1[1], &QCheckBox::toggled, this, &FormularSelektiv::KriteriumGeaendert);
  connect(m_combo1, &QComboBox::currentIndexChanged, this, &FormularSelektiv::KriteriumGeaendert);
  connect(m_command1[0], &QPushButton::clicked, this, &QDialog::reject);
  connect(m_command1[1], &QPushButton::clicked, this, [this] { AktionDurchfuehren(); });

  auto* tasten = new TastenVorschau(this);
  // Enter in the list moves on to the next control, as in every field of the window (the grid's own
  // key, so the filter bar keeps its Enter).
  tasten->EnterAusnahme(m_tdbGrid1);
  m_tdbGrid1->TasteRunter = [this](GitterTaste& t) {
    if (t.imFilter || t.imEditor || (t.taste != Qt::Key_Return && t.taste != Qt::Key_Enter)) return;
    t.geschluckt = true;
    TabTasteSenden(m_tdbGrid1->Ansicht());
  };
  tasten->HilfeSetzen([this] {
    HilfeAnzeigen(HilfeKontext::Selektiv, Zustand().HilfeOrdner(), this);
  });
  tasten->AbbrechenKnopfSetzen(m_command1[0]);
  resize(980, 580);
}

void FormularSelektiv::SpaltenAnlegen() {
  DatenGitter* g = m_tdbGrid1;
  ListengitterEinrichten(*g, {{"ZahlungNr", "", 80},
                              {"Name", "", 150},
                              {"Bank", "", 110},
                              {"Verwendungszweck1", "Verwendungszweck", 150},
                              {"BIC", "", 90},
                              {"IBAN", "", 170},
                              {"OPKontoNr", "", 70},
                              {"Textschlüssel", "", 50},
                              {"ZahlungGesamt", "Betrag", 85, GitterFormat::Standard},
                              {"AbsenderNr", "", 50},
                              {"Erledigt", "", 55},
                              {"BuchImport", "", 55},
                              {"Art", "", 30},
                              {"ErledigtDatum", "", 80},
                              {"Fällig", "", 80},
                              {"Währung", "", 50}});
  // The amount right after the bank data, so that a small screen shows it without scrolling right.
  g->SetzeSpaltenfolge({QStringLiteral("ZahlungNr"), QStringLiteral("Name"), QStringLiteral("Bank"),
                        QStringLiteral("Verwendungszweck1"), QStringLiteral("BIC"), QStringLiteral("IBAN"),
                        QStringLiteral("ZahlungGesamt")});
  g->SetzeZellStil([g](int zeile, int, ZellStil& stil) {
    if (g->Wert(zeile, QStringLiteral("Art")).toString() == QLatin1String("G")) stil.vordergrund = Farben::Rot();
  });
}

void FormularSelektiv::Laden() {
  // Set while AnzeigeBereit is false: the handlers only set the state, the selection runs once below.
  m_option1[Gesetzt(QStringLiteral("AktuelleSelektionsart"), "0") ? 1 : 0]->setChecked(true);
  const int art = EinstellungZahl(GetSetting(kAbschnitt, QStringLiteral("AktuelleZahlungsart"), QStringLiteral("0"))).value_or(0);
  m_combo1->setCurrentIndex(art >= 0 && art < m_combo1->count() ? art : 0);
  const QDate heute = Uhr::Heute();
  m_tdbDate1[0]->WertSetzen(heute);
  m_tdbDate1[1]->WertSetzen(heute);
  m_option1[Gesetzt(QStringLiteral("AktuelleAktion"), "0") ? 3 : 2]->setChecked(true);
  m_check1[0]->setChecked(Gesetzt(QStringLiteral("NurErledigte"), "1"));
  m_check1[1]->setChecked(Gesetzt(QStringLiteral("NurExportierte"), "0"));
  KriterienFreigeben();
  AuswahlLaden();
  FensterpositionVerwalten(true, kAbschnitt, this, 70, false);
  if (!Zustand().Optionen().AlleFensterProportionaleSchrift) ProgrammschriftSetzen(this, font());
}

void FormularSelektiv::Entladen() {
  if (m_entladen) return;
  m_entladen = true;
  SaveSetting(kAbschnitt, QStringLiteral("AktuelleSelektionsart"), QString::number(m_selektionsart));
  // The kind as shown, in either mode.
  SaveSetting(kAbschnitt, QStringLiteral("AktuelleZahlungsart"), QString::number(m_combo1->currentIndex()));
  SaveSetting(kAbschnitt, QStringLiteral("AktuelleAktion"), QString::number(int(m_aktion)));
  SaveSetting(kAbschnitt, QStringLiteral("NurErledigte"), AlsEinsNull(m_check1[0]->isChecked()));
  SaveSetting(kAbschnitt, QStringLiteral("NurExportierte"), AlsEinsNull(m_check1[1]->isChecked()));
  FensterpositionVerwalten(false, kAbschnitt, this, 70, false);
}

void FormularSelektiv::done(int ergebnis) {
  Entladen();
  QDialog::done(ergebnis);
}

void FormularSelektiv::showEvent(QShowEvent* ereignis) {
  QDialog::showEvent(ereignis);
  m_tdbGrid1->SetzeWechselndeZeilen(!Zustand().Optionen().TabellenOhneZebramuster);
  m_anzeigeBereit = true;
  // The columns up to the amount as wide as the orders in view need, the window widened for them where
  // the screen has room; names and purposes give way first.
  if (!m_spaltenGesetzt) {
    m_spaltenGesetzt = true;
    FensterFuerSpaltenVerbreitern(*this, *m_tdbGrid1, m_tdbGrid1->SichtbareSpaltenBis(QStringLiteral("ZahlungGesamt")));
  }
}

void FormularSelektiv::resizeEvent(QResizeEvent* ereignis) {
  QDialog::resizeEvent(ereignis);
  for (DatumFeld* feld : m_tdbDate1) {
    feld->KalenderGroesseSetzen(QSize(int(feld->width() * 1.3), feld->height() * 5));
    feld->KalenderSchriftSetzen(font());
  }
}

bool FormularSelektiv::eventFilter(QObject* objekt, QEvent* ereignis) {
  for (int i = 0; i < 2; ++i) {
    if (objekt != m_tdbDate1[i]) continue;
    if (ereignis->type() == QEvent::FocusIn) {
      m_datumBeiFokus[i] = m_tdbDate1[i]->text();
    } else if (ereignis->type() == QEvent::FocusOut && !m_entladen) {
      const auto grund = static_cast<QFocusEvent*>(ereignis)->reason();
      // The calendar pop-up and a change of window are no leaving of the field.
      if (grund != Qt::PopupFocusReason && grund != Qt::ActiveWindowFocusReason &&
          m_tdbDate1[i]->text() != m_datumBeiFokus[i]) {
        m_datumBeiFokus[i] = m_tdbDate1[i]->text();
        if (m_anzeigeBereit) AuswahlLaden();
      }
    }
  }
  return QDialog::eventFilter(objekt, ereignis);
}

void FormularSelektiv::KriterienFreigeben() {
  const bool kriterien = m_selektionsart == 0;
  m_check1[0]->setEnabled(kriterien);
  m_check1[1]->setEnabled(kriterien);
  m_combo1->setEnabled(kriterien);
  m_zahlartBeschriftung->setEnabled(kriterien);
  // The range is a criterion of done orders only.
  for (DatumFeld* feld : m_tdbDate1) feld->setEnabled(kriterien && m_check1[0]->isChecked());
}

void FormularSelektiv::KriteriumGeaendert() {
  if (m_anzeigeBereit) AuswahlLaden();
}

std::optional<SelektivKriterien> FormularSelektiv::KriterienLesen(QString* meldung) const {
  SelektivKriterien k;
  k.absenderNr = Zustand().AktuelleAbsenderNr();
  k.alleZahlungen = m_selektionsart == 1;
  if (k.alleZahlungen) {
    k.nurErledigte = false;
    return k;
  }
  k.nurErledigte = m_check1[0]->isChecked();
  k.nurExportierte = m_check1[1]->isChecked();
  k.zahlartIndex = std::clamp(m_combo1->currentIndex(), 0, 3);
  if (!k.nurErledigte) return k;
  for (int i = 0; i < 2; ++i) {
    if (m_tdbDate1[i]->IstLeer()) continue;   // an empty field: no bound on that side
    const std::optional<QDate> datum = m_tdbDate1[i]->Wert();
    if (!datum) {
      if (meldung)
        *meldung = (i == 0 ? QStringLiteral("Das Von-Datum") : QStringLiteral("Das Bis-Datum")) +
                   QStringLiteral(" der erledigten Zahlungen ist unvollständig oder ungültig.\r"
                                  "Bitte geben Sie ein gültiges Datum ein oder leeren Sie das Feld.");
      return std::nullopt;
    }
    (i == 0 ? k.erledigtVon : k.erledigtBis) = datum;
  }
  return k;
}

QString FormularSelektiv::Aktionsname() const {
  return Werkzeugleiste::OhneKuerzel(m_option1[int(m_aktion) + 2]->text());
}

void FormularSelektiv::AuswahlLaden() {
  ++m_auswahlen;
  QString meldung;
  const std::optional<SelektivKriterien> kriterien = KriterienLesen(&meldung);
  m_angezeigt.reset();
  m_hinweis->setText(QString(meldung).replace(QLatin1Char('\r'), QLatin1Char('\n')));
  std::unique_ptr<Recordset> rs;
  DbFehler fehler;
  Abfrage abfrage;
  if (kriterien) {
    abfrage = Selektivbearbeitung::Auswahl(*kriterien);
    if (Datenbank* db = Zustand().Datenbank())
      rs = Recordset::Oeffnen(*db, abfrage, RecordsetTyp::Dynaset, fehler);
    else
      fehler = KeineDatenbankFehler();
  }
  if (!rs) {
    m_tdbGrid1->SetzeRecordset(nullptr);
    m_daten.reset();
    m_tdbGrid1->LeerAnzeigen();
    // An impossible date leaves the button to tell the user why nothing runs.
    m_command1[1]->setEnabled(!kriterien);
    if (fehler)
      Meldung::Fehler(SepaSelektion::Datenermittlungsfehler(fehler, AbfrageSql(abfrage).Text()), {}, this);
    return;
  }
  m_tdbGrid1->SetzeRecordset(rs.get());
  m_daten = std::move(rs);
  m_angezeigt = kriterien;
  m_command1[1]->setEnabled(m_daten->RecordCount() > 0);
}

bool FormularSelektiv::AktionDurchfuehren() {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return false;
  QString meldung;
  const std::optional<SelektivKriterien> kriterien = KriterienLesen(&meldung);
  if (!kriterien) {
    Meldung::Zeigen(meldung, MeldungsKnoepfe::Ok, MeldungsSymbol::Ausruf, windowTitle(), this);
    for (DatumFeld* feld : m_tdbDate1)
      if (!feld->IstLeer() && !feld->Wert()) {
        feld->setFocus();
        break;
      }
    return false;
  }
  // The action works on the criteria shown: a change not yet selected is selected first.
  if (m_angezeigt != kriterien) AuswahlLaden();
  if (!m_angezeigt) return false;

  SelektivBestand bestand;
  if (const DbFehler f = Selektivbearbeitung::BestandLesen(*db, *kriterien, bestand)) {
    Meldung::Fehler(SepaSelektion::Datenermittlungsfehler(f, AbfrageSql(Selektivbearbeitung::Auswahl(*kriterien)).Text()),
                    {}, this);
    return false;
  }
  // Changed by someone else since the grid was filled: no order the user has not seen is touched. The grid
  // shows the orders as they are now, and the user starts the action again after looking at them.
  bool gleich = m_daten && m_daten->RecordCount() == bestand.Anzahl();
  for (int i = 0; gleich && i < bestand.Anzahl(); ++i)
    gleich = m_daten->SchluesselAn(i).toLongLong() == bestand.auftraege.at(i).zahlungNr;
  if (!gleich) {
    AuswahlLaden();
    Meldung::Zeigen(QStringLiteral("Die ausgewählten Zahlungen wurden inzwischen an einem anderen Arbeitsplatz ergänzt, "
                                   "geändert oder gelöscht; es wurde nichts ausgeführt.\r"
                                   "Die Liste zeigt jetzt %1 Zahlungen. Bitte prüfen Sie sie und führen Sie die Aktion "
                                   "dann noch einmal durch.")
                        .arg(bestand.Anzahl()),
                    MeldungsKnoepfe::Ok, MeldungsSymbol::Ausruf, windowTitle(), this);
    return false;
  }
  if (bestand.Anzahl() == 0) return false;

  const QString name = Aktionsname();
  // A pending SEPA run is named before the question (the action checks it again).
  DbFehler hindernisFehler;
  if (const QString hindernis = Selektivbearbeitung::LaufHindernis(*db, hindernisFehler); !hindernis.isEmpty()) {
    Meldung::Zeigen(hindernis, MeldungsKnoepfe::Ok, MeldungsSymbol::Ausruf, windowTitle(), this);
    return false;
  }
  const QString frage = Selektivbearbeitung::Bestaetigung(name, bestand, m_aktion);
  // Done orders taken back may go to the bank a second time: Enter alone does not do it.
  const bool bestaetigt =
      m_aktion == SelektivAktion::Reaktivieren && bestand.Erledigte() > 0
          ? Meldung::Bestaetigen(frage, windowTitle(), this)
          : Meldung::Zeigen(frage, MeldungsKnoepfe::OkAbbrechen, MeldungsSymbol::Frage, windowTitle(), this) ==
                MeldungsAntwort::Ok;
  if (!bestaetigt) return false;
  const DbFehler f = Selektivbearbeitung::Ausfuehren(*db, *kriterien, m_aktion, bestand);
  AuswahlLaden();
  if (f) {
    Meldung::Fehler(QStringLiteral("Die Aktion '") + name +
                        QStringLiteral("' wurde nicht ausgeführt, es wurde nichts geändert.\r\r") +
                        (f.Nummer == Selektivbearbeitung::LaufOffenNr ? f.Beschreibung : f.Meldungstext()),
                    windowTitle(), this);
    return false;
  }
  return true;
}
