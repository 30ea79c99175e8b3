#include "sepafiles/Zahlungsliste.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Datenhilfen.h"
#include "common/FilterBedingung.h"
#include "common/Programmzustand.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/Farben.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ProgrammschriftSetzen.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"
#include "printing/ReportAuswaehlen.h"
#include "sepafiles/Listengitter.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/core/Zahlungssumme.h"
#include "sepafiles/core/ZahlungslisteAbfrage.h"
#include "sepafiles/druck/Zahlungslistendaten.h"

namespace {

const QString kAbschnitt = QStringLiteral("Liste1 State");
const QString kReportname = QStringLiteral("Zahlungsliste");
const QString kBlaettern = QStringLiteral("Blättern in den vorhandenen Zahlungen");

int IndexAusEinstellung(const QString& schluessel) {
  bool ok = false;
  const int wert = GetSetting(kAbschnitt, schluessel, QStringLiteral("2")).toInt(&ok);
  return ok && wert >= 0 && wert <= 2 ? wert : 2;
}

}  // namespace

QWidget* ZahlungslisteErzeugen(QWidget* eltern) { return new Zahlungsliste(eltern); }

Zahlungsliste::Zahlungsliste(QWidget* eltern) : QWidget(eltern) {
  setWindowFlag(Qt::Window);
  setObjectName(QStringLiteral("Zahlungsliste"));
  setWindowTitle(QStringLiteral("Zahlungsliste"));
  Aufbauen();
  TastenEinrichten();
  Laden();
}

Zahlungsliste::~Zahlungsliste() { m_tdbGrid1->SetzeRecordset(nullptr); }

void Zahlungsliste::Aufbauen() {
  const Optionsschalter& opt = Zustand().Optionen();
  setWindowIcon(Bildliste::Bilder32().Bild(QStringLiteral("Zahlungsliste")));

  auto* haupt = new QVBoxLayout(this);
  haupt->setContentsMargins(2, 2, 2, 2);
  m_toolbar1 = new Werkzeugleiste(this);
  m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  m_toolbar1->DarstellungSetzen(opt.ArbeitsfensterKleineSymbole, opt.ArbeitsfensterOhneText);
  m_toolbar1->KnopfHinzufuegen(QStringLiteral("Drucken"), QStringLiteral("&Drucken"), QStringLiteral("Drucken"),
                               QStringLiteral("Daten ausdrucken"));
  m_toolbar1->KnopfHinzufuegen(QStringLiteral("Suchen"), QStringLiteral("&Suchen"), QStringLiteral("Suchen"),
                               QStringLiteral("Suchmodus einschalten"));
  m_toolbar1->TrennerHinzufuegen();
  m_toolbar1->KnopfHinzufuegen(QStringLiteral("Schliessen"), QStringLiteral("Schließen"), QStringLiteral("Schliessen"),
                               QStringLiteral("Arbeitsfenster schließen"));
  m_toolbar1->HandlerSetzen([this](const QString& schluessel) { Befehl(schluessel); });
  haupt->addWidget(m_toolbar1);
  m_statusBar1 = new StatusLeiste(this);
  m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));
  // With the large toolbar pictures the status line sits right below the toolbar.
  if (!opt.ArbeitsfensterKleineSymbole) haupt->addWidget(m_statusBar1);

  m_zahlArt = new OptionsGruppe(QStringLiteral("Zahlungs-Art"),
                                {QStringLiteral("Überweisung (&Gutschrift -)"), QStringLiteral("E&inzug (Lastschrift+)"),
                                 QStringLiteral("&Alle")},
                                this);
  m_zahlArt->setObjectName(QStringLiteral("ZahlArt"));
  m_zahlArt->Option(0)->setToolTip(QStringLiteral("Nur Gutschriften anzeigen"));
  m_zahlArt->Option(1)->setToolTip(QStringLiteral("Nur Lastschriften anzeigen"));
  m_zahlArt->Option(2)->setToolTip(QStringLiteral("Alle Zahlungen anzeigen"));
  m_statusArt = new OptionsGruppe(QStringLiteral("Status"),
                                  {QStringLiteral("&Erledigt"), QStringLiteral("&Offen"), QStringLiteral("A&lle")}, this);
  m_statusArt->setObjectName(QStringLiteral("StatusArt"));
  m_statusArt->Option(0)->setToolTip(QStringLiteral("Nur erledigte Zahlungen anzeigen"));
  m_statusArt->Option(1)->setToolTip(QStringLiteral("Nur offene Zahlungen anzeigen"));
  m_statusArt->Option(2)->setToolTip(QStringLiteral("Alle Zahlungen anzeigen"));
  connect(m_zahlArt, &OptionsGruppe::Geklickt, this, [this](int index) {
    m_zahlartIndex = index;
    if (m_anzeigeBereit) ListeLaden();
  });
  connect(m_statusArt, &OptionsGruppe::Geklickt, this, [this](int index) {
    m_statusartIndex = index;
    if (m_anzeigeBereit) ListeLaden();
  });

  m_tdbNumber1 = new ZahlFeld(this);
  m_tdbNumber1->setObjectName(QStringLiteral("TDBNumber1"));
  m_tdbNumber1->setToolTip(QStringLiteral("Gesamtsumme"));
  m_tdbNumber1->setReadOnly(true);
  m_tdbNumber1->setFocusPolicy(Qt::NoFocus);
  m_tdbNumber1->setButtonSymbols(QAbstractSpinBox::NoButtons);
  m_tdbNumber1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_tdbNumber1->AnzeigeFormatSetzen(ZahlFormat::Summe());
  m_tdbNumber1->WertSetzen(Waehrung());
  m_tdbNumber1->BreitenprobeSetzen(ZahlFeld::SummenBreitenprobe());
  auto* summe = new QLabel(QStringLiteral("Summe"), this);
  summe->setBuddy(m_tdbNumber1);
  m_faelligAnzeige = new QLabel(this);
  m_faelligAnzeige->setObjectName(QStringLiteral("FaelligAnzeige"));
  m_faelligAnzeige->setToolTip(QStringLiteral("Fälligkeits-Abfrage mit F6 ändern oder aufheben"));
  m_faelligAnzeige->hide();
  auto* summenSpalte = new QVBoxLayout;
  summenSpalte->addStretch(1);
  auto* summenZeile = new QHBoxLayout;
  summenZeile->addWidget(summe);
  summenZeile->addWidget(m_tdbNumber1);
  summenSpalte->addLayout(summenZeile);
  summenSpalte->addWidget(m_faelligAnzeige, 0, Qt::AlignRight);
  summenSpalte->addStretch(1);

  auto* oben = new QHBoxLayout;
  oben->addWidget(m_zahlArt);
  oben->addWidget(m_statusArt);
  oben->addStretch(1);
  oben->addLayout(summenSpalte);
  haupt->addLayout(oben);

  m_tdbGrid1 = new DatenGitter(this);
  m_tdbGrid1->setObjectName(QStringLiteral("TDBGrid1"));
  SpaltenAnlegen();
  haupt->addWidget(m_tdbGrid1, 1);
  if (opt.ArbeitsfensterKleineSymbole) haupt->addWidget(m_statusBar1);

  setTabOrder(m_zahlArt, m_statusArt);
  setTabOrder(m_statusArt, m_tdbGrid1);
  resize(1000, 600);
}

void Zahlungsliste::SpaltenAnlegen() {
  // The columns of the joined query that the list shows, in the query's order. Art stays hidden
  // for the row colour; every other field of the query is left out.
  DatenGitter* g = m_tdbGrid1;
  ListengitterEinrichten(*g, {{"Art", "", 0},
                              {"Name", "", 160},
                              {"Bank", "", 120},
                              {"BIC", "", 95},
                              {"IBAN", "", 185},
                              {"BLZ", "", 70},
                              {"KontoNr", "", 80},
                              {"MandatReferenz", "", 110},
                              {"MandatDatum", "Mandat vom", 80, GitterFormat::KurzesDatum},
                              {"ErledigtDatum", "Bezahlt am", 80, GitterFormat::KurzesDatum},
                              {"Buchungsdatum", "", 90, GitterFormat::KurzesDatum},
                              {"Verwendungszweck", "", 170},
                              {"OPVorgangNr", "OPVorgNr", 80},
                              {"ZahlungsBetrag", "Betrag", 90, GitterFormat::Standard}});
  // The amount right after the bank data, so that a small screen shows it without scrolling right.
  g->SetzeSpaltenfolge({QStringLiteral("Art"), QStringLiteral("Name"), QStringLiteral("Bank"), QStringLiteral("BIC"),
                        QStringLiteral("IBAN"), QStringLiteral("ZahlungsBetrag")});
  // Credit transfers red, direct debits blue.
  g->SetzeZellStil([g](int zeile, int, ZellStil& stil) {
    const QString art = g->Wert(zeile, QStringLiteral("Art")).toString();
    if (art == QLatin1String("G")) stil.vordergrund = Farben::Rot();
    else if (art == QLatin1String("L")) stil.vordergrund = Farben::Blau();
  });
  // The filter bar's condition is structured; the window builds its own query around it.
  g->SetzeFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  g->SetzeFilterQualifiziert(true);
  g->SetzeFilterBehandlung([this, g](const Bedingung& filter, int spalte) {
    m_suchfilter = filter;
    // The values as typed, for the printout's line of what limits the rows.
    m_suchwerte.clear();
    if (!filter.IstLeer())
      for (int i = 0; i < g->SpaltenAnzahl(); ++i)
        if (!g->FilterText(i).trimmed().isEmpty()) m_suchwerte.append({g->Spalte(i).titel, g->FilterText(i)});
    const DbFehler f = ListeLaden();
    if (spalte >= 0) SaveSetting(kAbschnitt, QStringLiteral("Suchspalte"), QString::number(spalte));
    return f;
  });
  g->Ansicht()->setStatusTip(kBlaettern);
  connect(g, &DatenGitter::ZeileSpalteGewechselt, this, [this] { StatuszeileAktualisieren(); });
  g->SetzeLayoutDatei(Zustand().TabellenLayoutDatei());
  g->SetzeLayoutName(kReportname);
}

void Zahlungsliste::TastenEinrichten() {
  auto* tasten = new TastenVorschau(this);
  tasten->EnterAusnahme(m_tdbGrid1);
  tasten->TasteZuordnen(Qt::Key_Escape, Qt::NoModifier, [this] {
    close();
    return true;
  });
  tasten->TasteZuordnen(Qt::Key_F3, Qt::NoModifier, [this] {
    Befehl(QStringLiteral("Suchen"));
    return true;
  });
  tasten->TasteZuordnen(Qt::Key_F6, Qt::NoModifier, [this] {
    FaelligkeitAbfragen();
    return true;
  });
  tasten->BuchstabeZuordnen(Qt::Key_D, m_toolbar1, QStringLiteral("Drucken"));
  tasten->BuchstabeZuordnen(Qt::Key_S, m_toolbar1, QStringLiteral("Suchen"));
  tasten->HilfeSetzen([this] {
    HilfeAnzeigen(HilfeKontext::Zahlungsliste, Zustand().HilfeOrdner(), this);
  });
}

void Zahlungsliste::Laden() {
  m_faelligBis.reset();
  FensterpositionVerwalten(true, kAbschnitt, this, 70, false);
  // The clicks set the indexes; the list is loaded once below.
  m_zahlArt->WertSetzen(IndexAusEinstellung(QStringLiteral("Zahlungsart")));
  m_statusArt->WertSetzen(IndexAusEinstellung(QStringLiteral("Statusart")));
  m_layoutGeladen = m_tdbGrid1->LayoutLaden();
  ListeLaden();
  if (!Zustand().Optionen().AlleFensterProportionaleSchrift) ProgrammschriftSetzen(this, QApplication::font());
  // The total in one and a half times the window's font, its inner edit included (the program
  // font was put on every control).
  QFont gross = m_tdbNumber1->font();
  gross.setPointSizeF(gross.pointSizeF() * 1.5);
  m_tdbNumber1->setFont(gross);
  for (QWidget* innen : m_tdbNumber1->findChildren<QWidget*>()) innen->setFont(gross);
}

void Zahlungsliste::showEvent(QShowEvent* ereignis) {
  QWidget::showEvent(ereignis);
  if (!m_anzeigeBereit) Aktivieren();
}

void Zahlungsliste::Aktivieren() {
  m_tdbGrid1->SetzeWechselndeZeilen(!Zustand().Optionen().TabellenOhneZebramuster);
  m_anzeigeBereit = true;
  // Without a stored layout the columns up to the amount fit the window, widened for them where the
  // screen has room; each as wide as the rows in view need, so that empty ones (BLZ, Konto-Nr) keep
  // just their caption and names give way before the BIC, the IBAN or the amount would.
  if (!m_layoutGeladen)
    FensterFuerSpaltenVerbreitern(*this, *m_tdbGrid1, m_tdbGrid1->SichtbareSpaltenBis(QStringLiteral("ZahlungsBetrag")));
  m_tdbGrid1->Ansicht()->setFocus();
  StatuszeileAktualisieren();
}

void Zahlungsliste::closeEvent(QCloseEvent* ereignis) {
  SaveSetting(kAbschnitt, QStringLiteral("Zahlungsart"), QString::number(m_zahlartIndex));
  SaveSetting(kAbschnitt, QStringLiteral("Statusart"), QString::number(m_statusartIndex));
  if (m_tdbGrid1->Filterleiste()) m_tdbGrid1->SetzeFilterleiste(false);
  // Columns the user moved or widened come back with the next opening.
  m_tdbGrid1->LayoutSpeichern();
  FensterpositionVerwalten(false, kAbschnitt, this, 70, false);
  QWidget::closeEvent(ereignis);
}

DbFehler Zahlungsliste::ListeLaden() {
  ZahlungslisteFilter filter;
  filter.absenderNr = Zustand().AktuelleAbsenderNr();
  filter.zahlartIndex = m_zahlartIndex;
  filter.statusartIndex = m_statusartIndex;
  filter.suchfilter = m_suchfilter;
  filter.faelligBis = m_faelligBis;
  const Abfrage abfrage = ZahlungslisteAbfrage(filter);

  DbFehler fehler;
  std::unique_ptr<Recordset> rs;
  Datenbank* db = Zustand().Datenbank();
  if (db) rs = Recordset::Oeffnen(*db, abfrage, RecordsetTyp::Dynaset, fehler);
  else fehler = KeineDatenbankFehler();
  if (fehler) {
    // Never the old rows or the old total beside a failed query.
    m_tdbGrid1->SetzeRecordset(nullptr);
    m_daten.reset();
    m_tdbGrid1->LeerAnzeigen();
    m_summe = Waehrung();
    SummeZeigen({});
    Meldung::Fehler(SepaSelektion::Datenermittlungsfehler(fehler, AbfrageSql(abfrage).Text()), {}, this);
    return fehler;
  }
  m_tdbGrid1->SetzeRecordset(rs.get());
  m_daten = std::move(rs);
  // A total that cannot be formed (amounts of a damaged database) or read leaves the rows listed: the
  // payment stays findable, and the total shows "###" with the reason.
  DbFehler summenFehler;
  m_summe = VorzeichenSumme(*db, abfrage.bedingung, summenFehler);
  if (summenFehler) {
    SummeZeigen(summenFehler.Beschreibung);
    Meldung::Fehler(SepaSelektion::Datenermittlungsfehler(summenFehler, VorzeichenSummeSql(abfrage.bedingung).Text()),
                    {}, this);
  } else {
    SummeZeigen(Waehrung::SummeNichtBildbarText());
  }
  return {};
}

void Zahlungsliste::SummeZeigen(const QString& grund) {
  m_summenGrund = m_summe ? QString() : grund;
  m_tdbNumber1->SummeSetzen(m_summe, grund, QStringLiteral("Gesamtsumme"));
}

bool Zahlungsliste::Suchmodus() const { return m_tdbGrid1->Filterleiste(); }

bool Zahlungsliste::Befehl(const QString& schluessel) {
  if (!m_toolbar1->Vorhanden(schluessel) || !m_toolbar1->Sichtbar(schluessel) || !m_toolbar1->Aktiviert(schluessel))
    return false;
  if (schluessel == QStringLiteral("Drucken")) {
    Drucken();
  } else if (schluessel == QStringLiteral("Suchen")) {
    SuchmodusUmschalten();
  } else if (schluessel == QStringLiteral("Schliessen")) {
    close();
  } else {
    return false;
  }
  return true;
}

void Zahlungsliste::Drucken() {
  if (!m_daten) return;
  // The printout carries the total: a list whose total cannot be formed is not printed without it.
  if (!m_summe) {
    Meldung::Warnung(QStringLiteral("Die Zahlungsliste kann nicht gedruckt werden.\r") + m_summenGrund, {}, this);
    return;
  }
  // The captions of the chosen kind and status, without their "&".
  const auto beschriftung = [](OptionsGruppe* g) {
    const QRadioButton* o = g->Option(g->Wert());
    return o ? o->text().remove(QLatin1Char('&')) : QString();
  };
  // The total the window shows (VorzeichenSumme), so that the printout carries the same figure.
  const QList<ReportVariable> variablen =
      ZahlungslistenVariablen(beschriftung(m_zahlArt), beschriftung(m_statusArt), *m_summe,
                              ZahlungslistenGrenzen(m_faelligBis, m_suchwerte));
  DruckAnfordern(
      kReportname,
      [this]() -> std::unique_ptr<Reportdaten> {
        if (!m_daten) return nullptr;
        return std::make_unique<Zahlungslistendaten>(std::make_unique<RecordsetReportdaten>(*m_daten));
      },
      variablen, Druckformular{.fenster = this, .titel = windowTitle()});
  m_tdbGrid1->update();
}

void Zahlungsliste::SuchmodusUmschalten() {
  m_tdbGrid1->SetzeFilterleiste(!m_tdbGrid1->Filterleiste());
  m_tdbGrid1->FilterTexteLeeren();
  SuchmodusAnwenden();
}

void Zahlungsliste::SuchmodusAnwenden() {
  const bool an = m_tdbGrid1->Filterleiste();
  m_suchfilter = {};
  m_suchwerte.clear();
  ListeLaden();
  m_toolbar1->GedruecktSetzen(QStringLiteral("Suchen"), an);
  m_toolbar1->TooltipSetzen(QStringLiteral("Suchen"), QStringLiteral("Suchmodus ") +
                                                          (an ? QStringLiteral("aus") : QStringLiteral("ein")) +
                                                          QStringLiteral("schalten"));
  m_tdbGrid1->Ansicht()->setFocus();
  if (!an) {
    m_tdbGrid1->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
    // The cursor goes two rows down from where the requery left it (the last row at most), as the
    // down key pressed twice.
    if (const int zeilen = m_tdbGrid1->ZeilenAnzahl(); zeilen > 0) {
      const int ziel = std::min(std::max(0, m_tdbGrid1->AktuelleZeile()) + 2, zeilen - 1);
      m_tdbGrid1->SetzeAktuelleZelle(ziel, std::max(0, m_tdbGrid1->AktuelleSpalte()));
    }
    StatuszeileAktualisieren();
    return;
  }
  m_tdbGrid1->SetzeMarkierungsstil(DatenGitter::Markierungsstil::SchwebenderEditor);
  for (int i = 0; i < m_tdbGrid1->SpaltenAnzahl(); ++i)
    if (QLineEdit* zelle = m_tdbGrid1->Filter()->Editor(i))
      zelle->setStatusTip(QStringLiteral("Eingabe Suchbegriff für: ") + m_tdbGrid1->Spalte(i).titel);
  // The last search column, else the first one shown.
  bool ok = false;
  int spalte = GetSetting(kAbschnitt, QStringLiteral("Suchspalte")).toInt(&ok);
  if (!ok || spalte < 0 || spalte >= m_tdbGrid1->SpaltenAnzahl() || !m_tdbGrid1->SpalteSichtbar(spalte)) {
    spalte = 0;
    while (spalte < m_tdbGrid1->SpaltenAnzahl() - 1 && !m_tdbGrid1->SpalteSichtbar(spalte)) ++spalte;
  }
  if (m_tdbGrid1->ZeilenAnzahl() > 0) m_tdbGrid1->SetzeAktuelleSpalte(spalte);
  m_tdbGrid1->FilterZelleBearbeiten(spalte);
}

void Zahlungsliste::StatuszeileAktualisieren() {
  if (m_tdbGrid1->ImFilter() && m_tdbGrid1->AktuelleSpalte() >= 0)
    m_statusBar1->TextSetzen(QStringLiteral("Eingabe Suchbegriff für: ") +
                             m_tdbGrid1->Spalte(m_tdbGrid1->AktuelleSpalte()).titel);
  else if (m_tdbGrid1->isAncestorOf(QApplication::focusWidget()))
    m_statusBar1->TextSetzen(kBlaettern);
}

void Zahlungsliste::FaelligkeitAbfragen() {
  // The dialog is the payment form's window: the shell plugs it in. Without it the limit stays.
  if (m_faelligAufruf) m_faelligBis = m_faelligAufruf(m_faelligBis);
  m_faelligAnzeige->setText(m_faelligBis ? FaelligBisText(*m_faelligBis) : QString());
  m_faelligAnzeige->setVisible(m_faelligBis.has_value());
  ListeLaden();
}
