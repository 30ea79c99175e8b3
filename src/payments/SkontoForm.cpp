#include "payments/SkontoForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/ProgrammschriftSetzen.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/ZahlFeld.h"

namespace {

const QString& Abschnitt() {
  static const QString s = QStringLiteral("Skonto State");
  return s;
}

ZahlFeld* StellenFeld(int hoechst, const QString& tooltip, QWidget* eltern) {
  auto* feld = new ZahlFeld(eltern);
  feld->GanzzahlSetzen(true);
  feld->BereichSetzen(0, hoechst);
  feld->LeerErlaubtSetzen(false);
  // "####0;; ": a zero shows as a blank.
  feld->AnzeigeFormatSetzen(ZahlFormat{0, false, {}, QString(), {}});
  feld->EingabeFormatSetzen(ZahlFormat::Eingabe(0));
  feld->setToolTip(tooltip);
  return feld;
}

}  // namespace

SkontoForm::SkontoForm(QWidget* eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("SkontoForm"));
  setWindowTitle(QStringLiteral("Skonto-Funktionen"));
  setModal(true);
  m_db = Zustand().Datenbank();
  Aufbauen();
}

SkontoForm::~SkontoForm() {
  // The grid holds a raw pointer to the recordset.
  m_gitter->SetzeRecordset(nullptr);
}

void SkontoForm::Aufbauen() {
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Skonto")));
  auto* haupt = new QVBoxLayout(this);

  m_gitter = new DatenGitter(this);
  m_gitter->setObjectName(QStringLiteral("TDBGrid1"));
  struct Sp {
    const char* feld;
    const char* titel;
    bool betrag;
  };
  static const Sp spalten[] = {{"Name", "Name", false},
                               {"Verwendungszweck", "Verwendungszweck", false},
                               {"OPBetrag", "OPBetrag", true},
                               {"SkontoBetrag", "Skonto", true},
                               {"ZahlungsBetrag", "Betrag", true}};
  for (const Sp& s : spalten) {
    const int i = m_gitter->SpalteHinzufuegen(QString::fromUtf8(s.feld), QString::fromUtf8(s.titel));
    if (s.betrag) {
      m_gitter->SetzeSpaltenformat(i, GitterFormat::Standard);
      m_gitter->SetzeAusrichtung(i, Qt::AlignRight | Qt::AlignVCenter);
    }
  }
  m_gitter->SetzeSpaltenHalten(true);
  m_gitter->SetzeSpaltenStrecken(true);
  m_gitter->SetzeFussleiste(true);
  m_gitter->SetzeFussText(1, QStringLiteral("Gesamtsummen"));
  m_gitter->SetzeZulassenAendern(false);
  m_gitter->SetzeZulassenNeu(false);
  m_gitter->SetzeZulassenLoeschen(false);
  m_gitter->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
  m_gitter->SetzeMarkierenPerDoppelklick(true);
  m_gitter->SetzeMarkierenPerLeertaste(true);
  haupt->addWidget(m_gitter, 1);

  auto* mitte = new QHBoxLayout;
  auto* optionen = new QGroupBox(this);
  auto* o = new QGridLayout(optionen);
  auto* aktion = new QButtonGroup(this);
  m_aktion[0] = new QRadioButton(QStringLiteral("&Skontokürzung um:"), optionen);
  m_aktion[1] = new QRadioButton(QStringLiteral("A&brundung auf:"), optionen);
  m_prozent = new ZahlFeld(optionen);
  m_prozent->MinimumSetzen(-SkontoRechnung::ProzentGrenze);
  m_prozent->MaximumSetzen(SkontoRechnung::ProzentGrenze);
  m_prozent->LeerErlaubtSetzen(false);
  // "##0.00;-##0.00; ": a zero shows as a blank.
  m_prozent->AnzeigeFormatSetzen(ZahlFormat{2, false, {}, QString(), {}});
  m_prozent->EingabeFormatSetzen(ZahlFormat::Eingabe(2));
  m_prozent->setToolTip(QStringLiteral("Prozentsatz für die Skontokürzung"));
  m_kommastellen[0] = StellenFeld(SkontoRechnung::VorkommaHoechst, QStringLiteral("Abrundung auf Vorkommastellen"), optionen);
  m_kommastellen[1] = StellenFeld(SkontoRechnung::NachkommaHoechst, QStringLiteral("Abrundung auf Nachkommastellen"), optionen);
  o->addWidget(m_aktion[0], 0, 0);
  o->addWidget(m_prozent, 0, 1);
  o->addWidget(new QLabel(QStringLiteral("%"), optionen), 0, 2);
  o->addWidget(m_aktion[1], 1, 0);
  o->addWidget(m_kommastellen[0], 1, 1);
  o->addWidget(new QLabel(QStringLiteral(","), optionen), 1, 2);
  o->addWidget(m_kommastellen[1], 1, 3);
  o->setColumnStretch(4, 1);
  for (int i = 0; i < 2; ++i) aktion->addButton(m_aktion[size_t(i)], i);
  mitte->addWidget(optionen, 1);

  auto* markierung = new QGroupBox(this);
  auto* m = new QGridLayout(markierung);
  auto* selektion = new QButtonGroup(this);
  m_selektion[0] = new QRadioButton(QStringLiteral("Nur &markierte Zahlung(en)"), markierung);
  m_selektion[1] = new QRadioButton(QStringLiteral("&Alle angezeigten Zahlungen"), markierung);
  for (int i = 0; i < 2; ++i) selektion->addButton(m_selektion[size_t(i)], i);
  m_knoepfe[0] = new QPushButton(QStringLiteral("Abzug &vornehmen"), this);
  m_knoepfe[1] = new QPushButton(QStringLiteral("All&es markieren"), markierung);
  m_knoepfe[2] = new QPushButton(QStringLiteral("Markie&rung aufheben"), markierung);
  m_knoepfe[3] = new QPushButton(QStringLiteral("Änderungen &zurücksetzen"), this);
  m_knoepfe[4] = new QPushButton(QStringLiteral("Schließen"), this);
  m->addWidget(m_selektion[0], 0, 0);
  m->addWidget(m_selektion[1], 1, 0);
  m->addWidget(m_knoepfe[1], 0, 1);
  m->addWidget(m_knoepfe[2], 1, 1);
  mitte->addWidget(markierung, 1);
  haupt->addLayout(mitte);

  auto* unten = new QHBoxLayout;
  unten->addWidget(m_knoepfe[0]);
  unten->addWidget(m_knoepfe[3]);
  unten->addStretch(1);
  unten->addWidget(m_knoepfe[4]);
  haupt->addLayout(unten);
  for (QPushButton* k : m_knoepfe) k->setAutoDefault(false);
  m_knoepfe[0]->setEnabled(false);
  m_knoepfe[3]->setEnabled(false);

  QList<QWidget*> folge = {m_gitter->Ansicht(), m_aktion[0], m_prozent, m_aktion[1], m_kommastellen[0],
                           m_kommastellen[1], m_selektion[0], m_selektion[1], m_knoepfe[1], m_knoepfe[2],
                           m_knoepfe[0], m_knoepfe[3], m_knoepfe[4]};
  for (int i = 0; i + 1 < folge.size(); ++i) setTabOrder(folge[i], folge[i + 1]);

  connect(aktion, &QButtonGroup::idClicked, this, [this](int) { AktionGewaehlt(); });
  connect(selektion, &QButtonGroup::idClicked, this, [this](int) { SelektionGewaehlt(); });
  for (ZahlFeld* feld : {m_prozent, m_kommastellen[0], m_kommastellen[1]}) {
    connect(feld, &ZahlFeld::WertGeaendert, this, &SkontoForm::KnopfRegel);
    // The rule follows the typing, not only the take-over when the field is left.
    if (auto* zeile = feld->findChild<QLineEdit*>()) connect(zeile, &QLineEdit::textEdited, this, &SkontoForm::KnopfRegel);
  }
  connect(m_gitter, &DatenGitter::MarkenGeaendert, this, &SkontoForm::KnopfRegel);
  connect(m_gitter, &DatenGitter::ZeileSpalteGewechselt, this, [this](int alteZeile, int) { ZeileGewechselt(alteZeile); });
  connect(m_knoepfe[0], &QPushButton::clicked, this, &SkontoForm::AbzugVornehmen);
  connect(m_knoepfe[1], &QPushButton::clicked, this, &SkontoForm::AllesMarkieren);
  connect(m_knoepfe[2], &QPushButton::clicked, this, &SkontoForm::MarkierungAufheben);
  connect(m_knoepfe[3], &QPushButton::clicked, this, &SkontoForm::Zuruecksetzen);
  connect(m_knoepfe[4], &QPushButton::clicked, this, &QWidget::close);

  m_tasten = new TastenVorschau(this);
  m_tasten->AbbrechenKnopfSetzen(m_knoepfe[4]);
  m_tasten->HilfeSetzen([this] {
    HilfeAnzeigen(HilfeKontext::Skonto, Zustand().HilfeOrdner(), this);
  });
}

void SkontoForm::Daten(const Bedingung& zahlungen, std::optional<qint64> startZahlungNr, const QFont& schrift) {
  m_zahlungen = zahlungen;
  m_startZahlungNr = startZahlungNr;
  m_schrift = schrift;
  m_schriftGesetzt = true;
}

void SkontoForm::showEvent(QShowEvent* ereignis) {
  const bool erstes = !m_geladen;
  if (erstes) Laden();
  QDialog::showEvent(ereignis);
  // The columns fill the grid's width once it has its size; later they scale with it.
  if (erstes) m_gitter->SpaltenProzenteAnwenden({26.0f, 32.0f, 14.0f, 14.0f, 14.0f});
}

void SkontoForm::Laden() {
  if (m_schriftGesetzt) ProgrammschriftSetzen(this, m_schrift);
  m_gitter->SetzeWechselndeZeilen(!Zustand().Optionen().TabellenOhneZebramuster);
  if (Oeffnen()) StartzeilenMarkieren();
  FussAnzeigen();

  const SkontoEinstellungen e =
      SkontoEinstellungenLesen([](const QString& k, const QString& v) { return GetSetting(Abschnitt(), k, v); });
  m_prozent->WertSetzen(e.vorgabe.prozent);
  m_kommastellen[0]->GanzzahlWertSetzen(e.vorgabe.vorkomma);
  m_kommastellen[1]->GanzzahlWertSetzen(e.vorgabe.nachkomma);
  m_aktion[e.vorgabe.skonto ? 0 : 1]->setChecked(true);
  AktionGewaehlt();
  m_selektion[e.nurMarkierte ? 0 : 1]->setChecked(true);
  SelektionGewaehlt();

  m_geladen = true;
  KnopfRegel();
  FensterpositionVerwalten(true, Abschnitt(), this, 70, false);
  m_gitter->Ansicht()->setFocus();
}

bool SkontoForm::Oeffnen() {
  if (!m_db) return false;
  DbFehler fehler;
  const Abfrage abfrage = SkontoAbfrage(m_zahlungen);
  m_zeilen = Recordset::Oeffnen(*m_db, abfrage, RecordsetTyp::Dynaset, fehler);
  if (!m_zeilen) {
    m_gitter->LeerAnzeigen();
    Meldung::Fehler(DatenermittlungsFehlertext(fehler, AbfrageSql(abfrage).Text()), {}, this);
    return false;
  }
  m_neuLaden = true;
  m_gitter->SetzeRecordset(m_zeilen.get());
  m_neuLaden = false;
  return true;
}

void SkontoForm::StartzeilenMarkieren() {
  if (!m_startZahlungNr || !m_db) return;
  QList<qint64> lfdNummern;
  const DbFehler f = m_db->Abfragen("SELECT LfdNr FROM Verwendungszweck WHERE ZahlungNr = ? ORDER BY LfdNr",
                                    {QVariant(*m_startZahlungNr)}, [&](const Zeile& z) {
                                      lfdNummern << z.Wert(0).toLongLong();
                                      return true;
                                    });
  if (f) return;  // nothing marked; the dialog works as well
  int erste = -1;
  m_neuLaden = true;
  for (qint64 lfdNr : lfdNummern) {
    const int zeile = m_gitter->ZeileVonSchluessel(QVariant(lfdNr));
    if (zeile < 0) continue;
    m_gitter->MarkeSetzen(zeile);
    if (erste < 0) erste = zeile;
  }
  if (erste >= 0) m_gitter->SetzeAktuelleZelle(erste, std::max(0, m_gitter->AktuelleSpalte()));
  m_neuLaden = false;
}

void SkontoForm::FussAnzeigen() {
  SkontoSummen s;
  if (m_db && m_zeilen) {
    if (SkontoSummenErmitteln(*m_db, m_zahlungen, s)) return;  // the footers stay as they were
  }
  m_gitter->SetzeFussText(m_gitter->SpaltenIndex(QStringLiteral("OPBetrag")), SummenText(s.opBetrag));
  m_gitter->SetzeFussText(m_gitter->SpaltenIndex(QStringLiteral("SkontoBetrag")), SummenText(-s.skontoBetrag));
  m_gitter->SetzeFussText(m_gitter->SpaltenIndex(QStringLiteral("ZahlungsBetrag")), SummenText(s.zahlungsBetrag));
}

void SkontoForm::NeuLaden() {
  if (!m_zeilen) return;
  const std::vector<QVariant> marken = m_gitter->Marken();
  const int aktuelle = m_gitter->AktuelleZeile();
  const QVariant aktuellerSchluessel = aktuelle >= 0 ? m_gitter->Schluessel(aktuelle) : QVariant();
  m_neuLaden = true;
  if (const DbFehler f = m_zeilen->Requery()) {
    m_gitter->LeerAnzeigen();
    Meldung::Fehler(DatenermittlungsFehlertext(f, AbfrageSql(m_zeilen->AbfrageTeile()).Text()), {}, this);
  } else {
    m_gitter->Aktualisieren();
    // The marks stay on the same lines, in the order they were marked.
    for (const QVariant& s : marken) {
      const int zeile = m_gitter->ZeileVonSchluessel(s);
      if (zeile >= 0) m_gitter->MarkeSetzen(zeile);
    }
    const int zeile = aktuellerSchluessel.isValid() ? m_gitter->ZeileVonSchluessel(aktuellerSchluessel) : -1;
    if (zeile >= 0) m_gitter->SetzeAktuelleZelle(zeile, std::max(0, m_gitter->AktuelleSpalte()));
  }
  m_neuLaden = false;
  FussAnzeigen();
  KnopfRegel();
}

SkontoVorgabe SkontoForm::Vorgabe() const {
  SkontoVorgabe v;
  v.skonto = m_aktion[0]->isChecked();
  v.prozent = m_prozent->Wert().value_or(Waehrung());
  v.vorkomma = int(m_kommastellen[0]->Ganzzahl().value_or(0));
  v.nachkomma = int(m_kommastellen[1]->Ganzzahl().value_or(0));
  return v;
}

bool SkontoForm::NurMarkierte() const { return m_selektion[0]->isChecked(); }

SkontoEinstellungen SkontoForm::EinstellungenDerFelder() const { return {Vorgabe(), NurMarkierte()}; }

void SkontoForm::AktionGewaehlt() {
  const bool skonto = m_aktion[0]->isChecked();
  m_kommastellen[0]->setEnabled(!skonto);
  m_kommastellen[1]->setEnabled(!skonto);
  m_prozent->setEnabled(skonto);
  KnopfRegel();
}

void SkontoForm::SelektionGewaehlt() {
  const bool nurMarkierte = NurMarkierte();
  m_knoepfe[1]->setEnabled(nurMarkierte);
  m_knoepfe[2]->setEnabled(nurMarkierte);
  const int zeile = m_gitter->AktuelleZeile();
  if (nurMarkierte && zeile >= 0) m_gitter->MarkeSetzen(zeile);
  KnopfRegel();
}

void SkontoForm::KnopfRegel() {
  if (!m_geladen) return;
  m_knoepfe[0]->setEnabled(SkontoRechnung::AbzugMoeglich(NurMarkierte(), m_gitter->MarkenAnzahl(), Vorgabe()));
}

void SkontoForm::ZeileGewechselt(int alteZeile) {
  const int zeile = m_gitter->AktuelleZeile();
  if (m_neuLaden || zeile < 0 || zeile == alteZeile || !NurMarkierte()) return;
  // Moving through the list with "only marked lines" marks each line reached; earlier marks stay.
  m_gitter->MarkeSetzen(zeile);
}

void SkontoForm::AllesMarkieren() {
  m_neuLaden = true;
  m_gitter->MarkenLeeren();
  m_gitter->AlleMarkieren();
  if (m_gitter->ZeilenAnzahl() > 0) m_gitter->SetzeAktuelleZelle(0, std::max(0, m_gitter->AktuelleSpalte()));
  m_neuLaden = false;
  KnopfRegel();
}

void SkontoForm::MarkierungAufheben() {
  m_gitter->MarkenLeeren();
  const int zeile = m_gitter->AktuelleZeile();
  if (zeile >= 0) m_gitter->MarkeSetzen(zeile);
  KnopfRegel();
}

void SkontoForm::AbzugVornehmen() {
  if (!m_db || !m_zeilen || !m_knoepfe[0]->isEnabled()) return;
  for (ZahlFeld* feld : {m_prozent, m_kommastellen[0], m_kommastellen[1]}) feld->Uebernehmen();
  QList<qint64> lfdNummern;
  if (NurMarkierte()) {
    for (const QVariant& s : m_gitter->Marken()) lfdNummern << s.toLongLong();
  } else {
    const int n = m_zeilen->RecordCount();
    lfdNummern.reserve(n);
    for (int i = 0; i < n; ++i) lfdNummern << m_zeilen->SchluesselAn(i).toLongLong();
  }
  const SkontoVorgabe vorgabe = Vorgabe();
  Ausfuehren(false, [&] { return m_sitzung.Abziehen(*m_db, lfdNummern, vorgabe); });
}

void SkontoForm::Zuruecksetzen() {
  if (!m_db || !m_sitzung.Geaendert()) return;
  Ausfuehren(true, [this] { return m_sitzung.Zuruecksetzen(*m_db); });
}

void SkontoForm::Ausfuehren(bool zuruecksetzen, const std::function<SkontoErgebnis()>& schritt) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const SkontoErgebnis e = schritt();
  if (e.Ok()) NeuLaden();
  QApplication::restoreOverrideCursor();
  m_knoepfe[3]->setEnabled(m_sitzung.Geaendert());
  if (!e.abgelehnt.isEmpty()) {
    Meldung::Warnung(e.abgelehnt, {}, this);
    return;
  }
  if (!e.Ok()) {
    Meldung::Fehler(zuruecksetzen ? SkontoZuruecksetzenFehlertext(e.fehler) : SkontoLaufFehlertext(e.fehler), {}, this);
    return;
  }
  QStringList hinweise = {SkontoUebergangenText(e, zuruecksetzen), SkontoOhneBetragText(e)};
  hinweise.removeAll(QString());
  if (!hinweise.isEmpty()) Meldung::Warnung(hinweise.join(QStringLiteral("\r\r")), {}, this);
}

void SkontoForm::reject() {
  // Esc and the close box end the dialog the same way as "Schließen".
  close();
}

void SkontoForm::closeEvent(QCloseEvent* ereignis) {
  // The runs are stored already; closing keeps them and stores the settings.
  for (ZahlFeld* feld : {m_prozent, m_kommastellen[0], m_kommastellen[1]}) feld->Uebernehmen();
  if (m_geladen) {
    SkontoEinstellungenSpeichern(EinstellungenDerFelder(),
                                 [](const QString& k, const QString& w) { SaveSetting(Abschnitt(), k, w); });
    FensterpositionVerwalten(false, Abschnitt(), this);
  }
  ereignis->accept();
  done(QDialog::Accepted);
}
