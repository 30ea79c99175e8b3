#include "payments/FormularZahlung.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "masterdata/core/Suchkriterium.h"
#include "payments/ZahlungBrowse.h"
#include "payments/ZahlungKopffelder.h"
#include "payments/ZahlungMandatgruppe.h"
#include "payments/ZahlungZeilenbereich.h"
#include "payments/core/Tastenbelegung.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "payments/core/Zahlungsbefehle.h"
#include "payments/core/Zahlungswerte.h"
#include "payments/core/Zeilenanzeige.h"
#include "platform/db/Datenbank.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatensatzNavigator.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/GitterDropDown.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ProgrammschriftSetzen.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/ui/ZweispaltenCombo.h"

QWidget* FormularZahlungErzeugen(QWidget* eltern) { return new FormularZahlung(eltern); }

FormularZahlung::FormularZahlung(QWidget* eltern) : QWidget(eltern) {
  setWindowFlag(Qt::Window);
  setObjectName(QStringLiteral("FormularZahlung"));
  setWindowTitle(QStringLiteral("Zahlungen erfassen"));
  m_db = Zustand().Datenbank();
  Aufbauen();
  TastenEinrichten();
  Laden();
}

FormularZahlung::~FormularZahlung() {
  // The grids hold raw pointers to the parts' recordsets: unbind them first.
  m_zeilen->Gitter()->SetzeRecordset(nullptr);
  m_browse->Gitter()->SetzeRecordset(nullptr);
  m_zeilen->OPListe()->SetzeRecordset(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Set-up

void FormularZahlung::Aufbauen() {
  const Optionsschalter& opt = Zustand().Optionen();
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Zahlung")));

  auto* haupt = new QVBoxLayout(this);
  haupt->setContentsMargins(2, 2, 2, 2);
  m_leiste = new Werkzeugleiste(this);
  m_leiste->DarstellungSetzen(opt.ArbeitsfensterKleineSymbole, opt.ArbeitsfensterOhneText);
  m_leiste->KnopfHinzufuegen(QStringLiteral("Neu"), QStringLiteral("&Neu<F9>"), QStringLiteral("Neu"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Ändern"), QStringLiteral("Ändern"), QStringLiteral("Ändern"),
                             QStringLiteral("Zahlung ändern"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Kopieren"), QStringLiteral("&Kopieren"), QStringLiteral("Zahlung"),
                             QStringLiteral("Aus einer vorhandenen Zahlung kopieren"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Löschen"), QStringLiteral("&Löschen"), QStringLiteral("Löschen"),
                             QStringLiteral("Zahlung löschen"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Suchen"), QStringLiteral("&Suchen"), QStringLiteral("Suchen"),
                             QStringLiteral("Suchmodus ein/ausschalten"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Import"), QStringLiteral("&Import"), QStringLiteral("Import"),
                             QStringLiteral("Zahlungen importieren aus anderen Tamo-Programmen"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Skonto"), QStringLiteral("S&konto"), QStringLiteral("Skonto"),
                             QStringLiteral("Zahlungen mit Skonto bearbeiten"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Prüfen"), QStringLiteral("&Prüfen"), QStringLiteral("Prüfen"),
                             QStringLiteral("Zahlungen auf Fehler prüfen"));
  m_leiste->TrennerHinzufuegen();
  m_leiste->KnopfHinzufuegen(QStringLiteral("Schliessen"), QStringLiteral("Schließen"), QStringLiteral("Schliessen"));
  m_leiste->HandlerSetzen([this](const QString& schluessel) { BefehlAusfuehren(BefehlAusSchluessel(schluessel)); });
  haupt->addWidget(m_leiste);
  m_status = new StatusLeiste(this);
  // With the large toolbar pictures the status line sits right below the toolbar.
  if (!opt.ArbeitsfensterKleineSymbole) haupt->addWidget(m_status);

  // Upper part: kind and line display on the left, the payee fields and the mandate group on the right.
  auto* oben = new QHBoxLayout;
  auto* links = new QVBoxLayout;
  m_zahlArt = new OptionsGruppe(QStringLiteral("Zahlungsart"),
                                {QStringLiteral("Überweisung (Gutschrift)"), QStringLiteral("Basis-Lastschrift"),
                                 QStringLiteral("Firmen-Lastschrift")},
                                this);
  for (int i = 0; i < m_zahlArt->Anzahl(); ++i) m_zahlArt->Option(i)->setStatusTip(QStringLiteral("Auswahl der Zahlungsart"));
  m_anzeige = new OptionsGruppe(QStringLiteral("Anzeige von mehrzeiligen Verwendungszweckzeilen"),
                                {ZeilenanzeigeBeschriftung(Zeilenanzeige::Ausblenden),
                                 ZeilenanzeigeBeschriftung(Zeilenanzeige::OhneOP),
                                 ZeilenanzeigeBeschriftung(Zeilenanzeige::MitOP)},
                                this);
  for (int i = 0; i < m_anzeige->Anzahl(); ++i)
    m_anzeige->Option(i)->setStatusTip(QStringLiteral("Einstellung wie Verwendungszweck-Zeilen angezeigt werden sollen"));
  m_rahmen = {m_zahlArt, m_anzeige};
  links->addWidget(m_zahlArt);
  links->addWidget(m_anzeige);
  links->addStretch(1);
  oben->addLayout(links);

  m_kopf = new ZahlungKopffelder(*this, this);
  m_mandat = new ZahlungMandatgruppe(*this, this, m_kopf->Maske(1));
  m_kopf->MandatgruppeSetzen(m_mandat);
  auto* felder = new QGridLayout;
  int zeile = 0;
  m_kopf->Anordnen(felder, zeile);
  m_mandat->Anordnen(felder, zeile);
  felder->setColumnStretch(1, 2);
  felder->setColumnStretch(2, 1);
  oben->addLayout(felder, 1);
  haupt->addLayout(oben);

  m_zeilen = new ZahlungZeilenbereich(*this, this);
  haupt->addWidget(m_zeilen->Gitter(), 1);
  m_browse = new ZahlungBrowse(*this, this);
  m_browse->neuLaden = [this] { return ZahlungenLaden(); };
  haupt->addWidget(m_browse->Gitter(), 2);

  auto* unten = new QHBoxLayout;
  m_browse->NavigatorAnordnen(unten);
  m_zeilen->SummeAnordnen(unten);
  m_browse->SummeAnordnen(unten);
  haupt->addLayout(unten);
  if (opt.ArbeitsfensterKleineSymbole) haupt->addWidget(m_status);

  connect(m_zahlArt, &OptionsGruppe::Geklickt, this, &FormularZahlung::ZahlartGeklickt);
  connect(m_anzeige, &OptionsGruppe::Geklickt, this, [this](int) { ZeilenanzeigeAnwenden(); });
  connect(m_kopf, &ZahlungKopffelder::AdresseGewaehlt, this, &FormularZahlung::OPListeLaden);
  connect(m_zeilen, &ZahlungZeilenbereich::SummeGeaendert, this, [this](const std::optional<Waehrung>& summe) {
    if (m_zustand.EingabeModus()) BetragFeld()->WertSetzen(summe);
  });
  connect(m_browse, &ZahlungBrowse::ZeileGewechselt, this, &FormularZahlung::Reposition);

  // Tab and Enter follow the fields as they stand, top to bottom: the payee, the purpose code and
  // the due date, the mandate group, then the lines (which take Enter for themselves) and last the
  // skip boxes beside the fields.
  QList<QWidget*> folge = {m_zahlArt->Option(2), Maske(0), Maske(2), Maske(3), Maske(4), Maske(5),
                           TextschluesselFeld(), FaelligFeld(), BetragFeld(), Maske(1), MandatDatumFeld()};
  for (int i = 0; i < SequenzOptionen()->Anzahl(); ++i) folge << SequenzOptionen()->Option(i);
  folge << Zeilengitter()->Ansicht();
  for (int i = 0; i < 4; ++i) folge << TabFolge(i);
  for (int i = 0; i + 1 < folge.size(); ++i) setTabOrder(folge[i], folge[i + 1]);
}

void FormularZahlung::TastenEinrichten() {
  m_tasten = new TastenVorschau(this);
  m_tasten->EnterAusnahme(Zeilengitter());
  m_tasten->EnterAusnahme(Browsegitter());
  m_tasten->HandlerSetzen([this](QKeyEvent* e) {
    if (m_kopf->BetragEnter(e)) return true;
    FormularTastenKontext k;
    k.eingabeModus = m_zustand.EingabeModus();
    QWidget* fokus = QApplication::focusWidget();
    k.fokusImZeilengitter = fokus && (fokus == Zeilengitter() || Zeilengitter()->isAncestorOf(fokus));
    const Tastenaktion a = FormularTaste(e->key(), e->modifiers(), k);
    if (a.befehl == Zahlungsbefehl::Keiner) return false;
    BefehlAusfuehren(a.befehl);
    return a.verbraucht;
  });
  // The letters are the handler's; claiming them keeps the fields' own shortcuts (Ctrl+K ...) away.
  for (Qt::Key k : {Qt::Key_N, Qt::Key_S, Qt::Key_L, Qt::Key_I, Qt::Key_P, Qt::Key_K}) m_tasten->BuchstabeZuordnen(k, [] {});
}

void FormularZahlung::Laden() {
  m_zustand.FaelligBisSetzen(std::nullopt);
  m_zeilen->OPSpaltenbreitenMerken(width());
  auto registry = [](const QString& k, const QString& v) { return GetSetting(ZahlungsformularAbschnitt(), k, v); };
  Datenbank* db = m_db;
  auto tabelle = [db](const QString& k, const QString& v) { return db ? EinstellungLesen(*db, k, v) : v; };
  m_zustand.Einstellungen() = ZahlungsformularEinstellungenLesen(registry, tabelle);
  const ZahlungsformularEinstellungen& e = m_zustand.Einstellungen();

  m_kopf->Laden(e.aufAbPfeilVerwenden);
  m_zeilen->Einrichten();
  m_mandat->PfeiltastenSetzen(e.aufAbPfeilVerwenden);

  // Kind: the click's query waits for FormularGeladen.
  m_zahlArt->WertSetzen(int(e.zahlart));
  for (int i = 0; i < 4; ++i) TabFolge(i)->setChecked(e.tabFolge[size_t(i)]);
  {
    const QSignalBlocker sperre(m_anzeige);
    m_anzeige->WertSetzen(int(e.zeilenanzeige));
  }
  m_zustand.FormularGeladenSetzen();
  ZahlungenLaden();
  if (!Zustand().Optionen().AlleFensterProportionaleSchrift) ProgrammschriftSetzen(this, QApplication::font());
  m_zeilen->HoeheFuerAlleZeilen();
  ZeilenanzeigeAnwenden();
  // Placed once the font and the line grid's height are set: a window that grew after being placed on a
  // small screen would reach below its edge.
  FensterpositionVerwalten(true, ZahlungsformularAbschnitt(), this, 70, false);
}

void FormularZahlung::showEvent(QShowEvent* ereignis) {
  QWidget::showEvent(ereignis);
  if (!m_zustand.AnzeigeBereit()) Aktivieren();
}

void FormularZahlung::Aktivieren() {
  m_zustand.AnzeigeBereitSetzen(true);
  m_kopf->TextschluesselFuellen(m_zustand.AktuelleArt());
  const bool zebra = !Zustand().Optionen().TabellenOhneZebramuster;
  TextschluesselFeld()->view()->setAlternatingRowColors(zebra);
  Browsegitter()->SetzeWechselndeZeilen(zebra);
  ZeilenanzeigeAnwenden();
  if (Browsegitter()->ZeilenAnzahl() > 0) m_browse->AufZeile(0);
  // Name, IBAN, BIC and the amount as wide as the payments in view need, the free room shared.
  Browsegitter()->SpaltenNachInhalt();
  Reposition();
  EingabeModusAnzeigen();
  Browsegitter()->Ansicht()->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Access to the form's fields and grids

MaskenFeld* FormularZahlung::Maske(int index) const { return m_kopf->Maske(index); }
ZweispaltenCombo* FormularZahlung::TextschluesselFeld() const { return m_kopf->Textschluessel(); }
DatumFeld* FormularZahlung::FaelligFeld() const { return m_kopf->Faellig(); }
DatumFeld* FormularZahlung::MandatDatumFeld() const { return m_mandat->Datum(); }
ZahlFeld* FormularZahlung::BetragFeld() const { return m_kopf->Betrag(); }
ZahlFeld* FormularZahlung::GesamtFeld() const { return m_browse->Gesamt(); }
ZahlFeld* FormularZahlung::EinzelsummeFeld() const { return m_zeilen->Einzelsumme(); }
QLabel* FormularZahlung::GesamtBeschriftung() const { return m_browse->GesamtBeschriftung(); }
OptionsGruppe* FormularZahlung::SequenzOptionen() const { return m_mandat->Sequenz(); }
QCheckBox* FormularZahlung::TabFolge(int index) const { return m_kopf->TabFolge(index); }
DatenGitter* FormularZahlung::Zeilengitter() const { return m_zeilen->Gitter(); }
DatenGitter* FormularZahlung::Browsegitter() const { return m_browse->Gitter(); }
GitterDropDown* FormularZahlung::OPListe() const { return m_zeilen->OPListe(); }
DatensatzNavigator* FormularZahlung::Navigator() const { return m_browse->Navigator(); }
QString FormularZahlung::OPKontoNr() const { return m_kopf->OPKontoNr(); }

QWidget* FormularZahlung::Fokusziel(Fokusfeld feld) const {
  switch (feld) {
    case Fokusfeld::Name: return Maske(0);
    case Fokusfeld::MandatReferenz: return Maske(1);
    case Fokusfeld::Bank: return Maske(2);
    case Fokusfeld::Bic: return Maske(3);
    case Fokusfeld::Iban: return Maske(4);
    case Fokusfeld::Verwendungszweck: return Maske(5);
    case Fokusfeld::Betrag: return BetragFeld();
    case Fokusfeld::Zeilengitter: return Zeilengitter()->Ansicht();
    case Fokusfeld::Sequenz: return SequenzOptionen()->Option(0);
    case Fokusfeld::MandatDatum: return MandatDatumFeld();
    case Fokusfeld::Textschluessel: return TextschluesselFeld();
  }
  return nullptr;
}

void FormularZahlung::StatusSetzen(const QString& text) { m_status->TextSetzen(text); }

void FormularZahlung::DbFehlerMelden(const QString& titel, const DbFehler& fehler) {
  Meldung::Fehler(titel + QStringLiteral("\r\r") + fehler.Meldungstext(), ZahlungsformularTitel(), this);
}

bool FormularZahlung::SuchlisteZeigen(int modus, const Bedingung& filter, const Suchkriterium& kriterium, bool suchfeld,
                                      QVariantList& werte) {
  // The search list is master data's window: the shell plugs it in.
  return m_suchliste && m_suchliste(modus, filter, kriterium, suchfeld, werte);
}

// ---------------------------------------------------------------------------------------------
// Browse query and display

int FormularZahlung::AnzahlZahlungen() const { return m_browse->Anzahl(); }

DbFehler FormularZahlung::ZahlungenLaden() {
  if (!m_zustand.FormularGeladen() || !m_db) return {};
  const DbFehler fehler = m_browse->Laden();
  if (!m_zustand.EingabeModus()) Reposition();
  if (m_zustand.AnzeigeBereit()) m_kopf->TextschluesselFuellen(m_zustand.AktuelleArt());
  DarstellungAnwenden();
  GesamtsummeAnzeigen();
  // ZahlArtTabStopsSetzen: the first two kind options are left out of the tab order.
  m_zahlArt->Option(0)->setFocusPolicy(Qt::ClickFocus);
  m_zahlArt->Option(1)->setFocusPolicy(Qt::ClickFocus);
  return fehler;
}

void FormularZahlung::DarstellungAnwenden() {
  DarstellungsOptionen o;
  o.ohneText = Zustand().Optionen().ArbeitsfensterOhneText;
  o.opVerknuepft = Zustand().AdressQuelle().OPVerknuepft;
  m_darstellung = FormulardarstellungErmitteln(m_zustand, AnzahlZahlungen(), o);
  for (const Schaltflaeche& s : m_darstellung.schaltflaechen) {
    m_leiste->BeschriftungSetzen(s.schluessel, s.beschriftung);
    // "Suchen" keeps its tool tip from the set-up until search mode is first switched.
    if (s.schluessel != QStringLiteral("Suchen") || m_suchmodusGeschaltet)
      m_leiste->TooltipSetzen(s.schluessel, s.tooltip);
    m_leiste->SichtbarSetzen(s.schluessel, s.sichtbar);
    m_leiste->AktiviertSetzen(s.schluessel, s.aktiviert);
  }
  m_leiste->GedruecktSetzen(QStringLiteral("Suchen"), m_zustand.Suchmodus());
  m_leiste->GedruecktSetzen(QStringLiteral("Prüfen"), m_zustand.NurFehlerhafte());
  Navigator()->BeschriftungSetzen(m_darstellung.navigatorBeschriftung);
  setWindowTitle(m_darstellung.fenstertitel);
}

void FormularZahlung::EingabeModusAnzeigen() {
  DarstellungAnwenden();
  const Formulardarstellung& d = m_darstellung;
  for (QWidget* r : m_rahmen) r->setEnabled(d.rahmenAktiv);
  Browsegitter()->setEnabled(d.rahmenAktiv);
  Navigator()->setEnabled(!d.eingabeModus);
  m_kopf->Oeffnen(d);
  // The mandate fields open only while a direct debit is being entered.
  m_mandat->Oeffnen(d.mandatfelderAktiv);
  m_zeilen->Oeffnen(d, d.eingabeModus && !Zustand().AdressQuelle().OPFeldliste.IstLeer());
  FelderFaerben();
}

void FormularZahlung::FelderFaerben() {
  if (!m_zustand.AnzeigeBereit() || !m_zustand.Einstellungen().optischeFehlerKontrolle) return;
  if (m_zustand.EingabeModus() && !m_zustand.NeuerDatensatz()) {
    const FeldGueltigkeit g = FelderPruefen(FelderLesen(), m_zustand.IstLastschrift(), Uhr::Heute());
    m_kopf->Faerben(g, m_zustand.IstLastschrift(), !GitterSichtbar());
    if (m_zustand.IstLastschrift()) m_mandat->DatumFaerben(g.mandatDatum);
  } else if (!m_zustand.EingabeModus()) {
    m_kopf->AlleGueltigAnzeigen();
    m_mandat->DatumFaerben(true);
  }
}

void FormularZahlung::GesamtsummeAnzeigen() { m_browse->GesamtsummeAnzeigen(m_darstellung); }

bool FormularZahlung::ZahlungAnsteuern(qint64 zahlungNr) {
  const int vorher = Browsegitter()->AktuelleZeile();
  if (!m_browse->Ansteuern(zahlungNr)) return false;
  // A move to another row has shown that payment already (ZeileGewechselt).
  if (Browsegitter()->AktuelleZeile() == vorher) Reposition();
  return true;
}

void FormularZahlung::Reposition() {
  if (m_zustand.EingabeModus() || !m_zustand.AnzeigeBereit() || m_inReposition) return;
  m_inReposition = true;
  m_aktuelleNr = m_browse->ZahlungNrDerZeile();
  GespeichertAnzeigen();
  PruefgrundAnzeigen();
  m_inReposition = false;
}

void FormularZahlung::GespeichertAnzeigen() {
  m_geladen.reset();
  if (m_aktuelleNr && m_db) {
    const DbFehler f = ZahlungsstandLesen(*m_db, *m_aktuelleNr, m_geladen);
    if (f) DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
  }
  if (m_geladen) {
    ZahlungEingabe e = m_geladen->werte;
    e.sequenzIndex = m_zustand.IstLastschrift() ? m_zustand.SequenzIndex(m_geladen->mandatSequenz) : -1;
    FelderFuellen(e);
  } else {
    FelderLeeren();
  }
  // Read before the grid reads the lines: a change in between shows there, and the next write refuses.
  GezeigteZeilenLesen();
  ZeilenLaden();
}

void FormularZahlung::GezeigteZeilenLesen() {
  Zeilenstand stand;
  if (m_aktuelleNr && m_db) {
    if (const DbFehler f = ZeilenstandLesen(*m_db, *m_aktuelleNr, stand)) {
      DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
      // Lines not known match no stored ones: the next write is refused rather than undo anything.
      m_gezeigteZeilen = {};
      return;
    }
  }
  // What another workstation stored since the lines were last shown is where a cancel goes back to
  // from now on: it undoes only what this form writes after showing them.
  if (m_zeilenKopie && stand != m_gezeigteZeilen) {
    m_zeilenKopie->stand = stand;
    m_zustand.ZeilenGeaendertSetzen(false);
  }
  m_gezeigteZeilen = std::move(stand);
}

void FormularZahlung::InzwischenGeaendertMelden(const DbFehler& fehler) {
  Meldung::Zeigen(fehler.Beschreibung, MeldungsKnoepfe::Ok, MeldungsSymbol::Kritisch, ZahlungsformularTitel(), this);
}

void FormularZahlung::ZeilenInzwischenGeaendert(const DbFehler& fehler) {
  InzwischenGeaendertMelden(fehler);
  GezeigteZeilenLesen();
  m_zeilen->NachZeilenaenderung();
}

void FormularZahlung::FelderFuellen(const ZahlungEingabe& e) {
  m_kopf->Fuellen(e);
  m_mandat->Fuellen(e);
}

void FormularZahlung::FelderLeeren() { FelderFuellen(ZahlungEingabe{}); }

ZahlungEingabe FormularZahlung::FelderLesen() const {
  ZahlungEingabe e;
  m_kopf->Lesen(e);
  m_mandat->Lesen(e);
  return e;
}

Zeilenanzeige FormularZahlung::GewaehlteZeilenanzeige() const {
  return ZeilenanzeigeAusText(QString::number(m_anzeige->Wert()));
}

bool FormularZahlung::GitterSichtbar() const { return GewaehlteZeilenanzeige() != Zeilenanzeige::Ausblenden; }

void FormularZahlung::ZeilenLaden() {
  if (!m_db) return;
  const bool gitter = GitterSichtbar();
  m_zeilen->Laden(gitter);
  // Single-field display of a payment with several lines: the amount is their total, read-only.
  int anzahl = 0;
  if (m_aktuelleNr && !gitter) ZeilenAnzahl(*m_db, *m_aktuelleNr, anzahl);  // with the grid the lines show themselves
  m_kopf->NurSummeSetzen(!gitter && anzahl > 1, m_zustand.EingabeModus());
  if (gitter) {
    m_zeilen->SummenAnzeigen();
    OPListeLaden();
  }
}

void FormularZahlung::OPListeLaden() { m_zeilen->OPListeLaden(OPKontoNr()); }

void FormularZahlung::resizeEvent(QResizeEvent* ereignis) {
  QWidget::resizeEvent(ereignis);
  m_zeilen->OPSpaltenbreitenAnwenden(width());
}

void FormularZahlung::ZeilenanzeigeAnwenden() {
  const Zeilenanzeige modus = GewaehlteZeilenanzeige();
  const ZeilenanzeigeLayout layout = ZeilenanzeigeErmitteln(modus, m_zustand.Einstellungen().aufAbPfeilVerwenden);
  m_zustand.Einstellungen().zeilenanzeige = modus;
  m_zeilen->AnzeigeAnwenden(layout, m_zustand.AnzeigeBereit());
  if (m_zustand.AnzeigeBereit()) {
    if (m_zustand.EingabeModus()) ZeilenLaden();
    else Reposition();
    BetragsfelderAnordnen();
  }
}

void FormularZahlung::BetragsfelderAnordnen() {
  const bool gitter = GitterSichtbar();
  m_kopf->EinzelfelderZeigen(!gitter);
  EinzelsummeFeld()->setVisible(gitter);
  m_zeilen->EinzelBeschriftung()->setVisible(gitter);
}

void FormularZahlung::ZeilenanzeigeWaehlen(Zeilenanzeige modus) { m_anzeige->WertSetzen(int(modus)); }

void FormularZahlung::ZahlartWaehlen(Zahlart zahlart) { m_zahlArt->WertSetzen(int(zahlart)); }

void FormularZahlung::ZahlartGeklickt(int index) {
  if (index < 0 || index > 2) return;
  m_zustand.ZahlartSetzen(Zahlart(index));
  ZahlungenLaden();
}

void FormularZahlung::closeEvent(QCloseEvent* ereignis) {
  if (!DialogeSchliessen()) {
    ereignis->ignore();
    return;
  }
  // Closing during entry discards it.
  if (m_zustand.EingabeModus()) Abbrechen();
  ZahlungsformularEinstellungen& e = m_zustand.Einstellungen();
  for (int i = 0; i < 4; ++i) e.tabFolge[size_t(i)] = TabFolge(i)->isChecked();
  e.zeilenanzeige = GewaehlteZeilenanzeige();
  if (m_db) {
    Datenbank* db = m_db;
    ZahlungsformularEinstellungenSpeichern(e, [this, db](const QString& k, const QString& w) {
      const DbFehler f = EinstellungSpeichern(*db, k, w);
      if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Einstellungen!"), f);
    });
  }
  FensterpositionVerwalten(false, ZahlungsformularAbschnitt(), this);
  QWidget::closeEvent(ereignis);
}
