#include "payments/FormularZahlung.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Datenhilfen.h"
#include "common/FilterBedingung.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "masterdata/Suchkriterium.h"
#include "masterdata/SuchlisteF4.h"
#include "payments/FaelligAbfrage.h"
#include "payments/core/OPAbfrage.h"
#include "payments/core/OPUebernahme.h"
#include "payments/core/Tastenbelegung.h"
#include "payments/core/Textschluessel.h"
#include "payments/core/ZahlungSpeichern.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "payments/core/Zahlungsbefehle.h"
#include "payments/core/Zahlungsempfaenger.h"
#include "payments/core/Zahlungswerte.h"
#include "payments/core/ZeilenBetraege.h"
#include "payments/core/Zeilenanzeige.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatensatzNavigator.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/FeldAktionen.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/GitterDropDown.h"
#include "platform/ui/GitterFormatierung.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ProgrammschriftSetzen.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/TabTasteSenden.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/ui/ZweispaltenCombo.h"

namespace {

const QString& Abschnitt() {
  static const QString s = QStringLiteral("Formular State");
  return s;
}
constexpr int HilfeKontext = 3101;

// Data fields of TDBMask1(0..5).
const std::array<QString, 6>& MaskenFelder() {
  static const std::array<QString, 6> f = {QStringLiteral("Name"), QStringLiteral("MandatReferenz"),
                                           QStringLiteral("Bank"), QStringLiteral("BIC"),
                                           QStringLiteral("IBAN"), QStringLiteral("Verwendungszweck1")};
  return f;
}

QString FehlerZeilen(const QString& kopf, const DbFehler& f) {
  return kopf + QStringLiteral("\r\rNr: ") + QString::number(f.Nummer) + QStringLiteral("\rBeschreibung: ") +
         f.Beschreibung;
}

int ErsteSichtbareSpalte(const DatenGitter& g) {
  for (int i = 0; i < g.SpaltenAnzahl(); ++i)
    if (g.SpalteSichtbar(i)) return i;
  return -1;
}

// The last column shown, in display order.
int LetzteSichtbareSpalte(const DatenGitter& g) {
  const QHeaderView* k = g.Ansicht()->horizontalHeader();
  for (int v = k->count() - 1; v >= 0; --v)
    if (!k->isSectionHidden(k->logicalIndex(v))) return k->logicalIndex(v);
  return -1;
}

std::optional<BetragsSpalte> AlsBetragsSpalte(const QString& feld) {
  for (auto s : {BetragsSpalte::OPBetrag, BetragsSpalte::SkontoBetrag, BetragsSpalte::ZahlungsBetrag})
    if (BetragsSpaltenFeld(s).compare(feld, Qt::CaseInsensitive) == 0) return s;
  return std::nullopt;
}

}  // namespace

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
  // The grids hold raw pointers to the recordsets: unbind them first.
  if (m_zeilengitter) m_zeilengitter->SetzeRecordset(nullptr);
  if (m_browse) m_browse->SetzeRecordset(nullptr);
  if (m_opListe) m_opListe->SetzeRecordset(nullptr);
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

  // --- upper part: kind and line display on the left, the entry fields on the right ---------
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

  auto* felder = new QGridLayout;
  auto beschriftung = [this](const QString& text) { return new QLabel(text, this); };
  for (int i = 0; i < 6; ++i) {
    m_maske[size_t(i)] = new MaskenFeld(this);
    m_maske[size_t(i)]->setObjectName(QStringLiteral("TDBMask1_%1").arg(i));
    m_maske[size_t(i)]->setStatusTip(QStringLiteral("Eingabe: ") + MaskenFelder()[size_t(i)]);
    m_maske[size_t(i)]->installEventFilter(this);
  }
  m_textschluessel = new ZweispaltenCombo(this);
  m_textschluessel->UeberschriftenSetzen(QStringLiteral("Schlüssel"), QStringLiteral("Bedeutung"));
  m_textschluessel->setStatusTip(QStringLiteral("Eingabe: Textschlüssel"));
  m_faellig = new DatumFeld(this);
  m_faellig->setStatusTip(QStringLiteral("Eingabe einer Fälligkeit für die Zahlung"));
  m_faellig->installEventFilter(this);
  m_mandatDatum = new DatumFeld(this);
  m_mandatDatum->setStatusTip(QStringLiteral("Wann wurde das Mandat für den Einzug erteilt"));
  m_mandatDatum->installEventFilter(this);
  m_betrag = new ZahlFeld(this);
  m_betrag->setStatusTip(QStringLiteral("Eingabe: ZahlungGesamt"));
  m_betrag->NegativFarbeSetzen(Farben::Rot());
  m_betrag->installEventFilter(this);
  m_sequenz = new OptionsGruppe(QStringLiteral("Mandat-Sequenz"),
                                {QStringLiteral("Einmaliger Einzug"), QStringLiteral("Mehrfach Ersteinzug"),
                                 QStringLiteral("Mehrfach Folgeeinzug"), QStringLiteral("Mehrfach letzter Einzug")},
                                this, Qt::Horizontal);
  for (int i = 0; i < m_sequenz->Anzahl(); ++i) m_sequenz->Option(i)->setStatusTip(QStringLiteral("Einstellung der Mandat-Sequenz"));
  m_opKontoNr = new QLineEdit(this);
  m_opKontoNr->setObjectName(QStringLiteral("OPKontoNr"));
  m_opKontoNr->hide();

  static const std::array<const char*, 4> skipTips = {"Eingabefeld überspringen für: BIC",
                                                      "Eingabefeld überspringen für: Textschlüssel",
                                                      "Eingabefeld überspringen für: Bank",
                                                      "Eingabefeld überspringen für: Fällig"};
  for (int i = 0; i < 4; ++i) {
    auto* k = new QCheckBox(this);
    k->setToolTip(QString::fromUtf8(skipTips[size_t(i)]));
    k->setStatusTip(QString::fromUtf8(skipTips[size_t(i)]) + QStringLiteral(" ein/aus"));
    m_tabFolge[size_t(i)] = k;
    connect(k, &QCheckBox::toggled, this, [this, i](bool an) {
      QWidget* ziel = i == 0 ? static_cast<QWidget*>(m_maske[3])
                      : i == 1 ? static_cast<QWidget*>(m_textschluessel)
                      : i == 2 ? static_cast<QWidget*>(m_maske[2])
                               : static_cast<QWidget*>(m_faellig);
      ziel->setFocusPolicy(an ? Qt::ClickFocus : Qt::StrongFocus);
    });
  }

  int z = 0;
  felder->addWidget(beschriftung(QStringLiteral("Name")), z, 0);
  felder->addWidget(m_maske[0], z, 1, 1, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Bank")), z, 0);
  felder->addWidget(m_maske[2], z, 1, 1, 2);
  felder->addWidget(m_tabFolge[2], z, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("BIC")), z, 0);
  felder->addWidget(m_maske[3], z, 1);
  felder->addWidget(m_tabFolge[0], z, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("IBAN")), z, 0);
  felder->addWidget(m_maske[4], z, 1, 1, 3);
  ++z;
  m_textBeschriftung = beschriftung(QStringLiteral("Verwendungszweck"));
  felder->addWidget(m_textBeschriftung, z, 0);
  felder->addWidget(m_maske[5], z, 1, 1, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Textschlüssel")), z, 0);
  felder->addWidget(m_textschluessel, z, 1);
  felder->addWidget(m_tabFolge[1], z, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Fällig")), z, 0);
  felder->addWidget(m_faellig, z, 1);
  felder->addWidget(m_tabFolge[3], z, 3);
  ++z;
  m_betragBeschriftung = beschriftung(QStringLiteral("Betrag"));
  felder->addWidget(m_betragBeschriftung, z, 0);
  felder->addWidget(m_betrag, z, 1);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Mandat-Referenz")), z, 0);
  felder->addWidget(m_maske[1], z, 1, 1, 3);
  ++z;
  felder->addWidget(beschriftung(QStringLiteral("Mandat-Datum")), z, 0);
  felder->addWidget(m_mandatDatum, z, 1);
  ++z;
  felder->addWidget(m_sequenz, z, 0, 1, 4);
  felder->setColumnStretch(1, 2);
  felder->setColumnStretch(2, 1);
  oben->addLayout(felder, 1);
  haupt->addLayout(oben);

  // --- the line grid ------------------------------------------------------------------------
  m_zeilengitter = new DatenGitter(this);
  m_zeilengitter->setObjectName(QStringLiteral("TDBGrid2"));
  m_opListe = new GitterDropDown(this);
  ZeilengitterEinrichten();
  haupt->addWidget(m_zeilengitter, 1);

  // --- the browse grid with navigator and totals --------------------------------------------
  m_browse = new DatenGitter(this);
  m_browse->setObjectName(QStringLiteral("TDBGrid1"));
  BrowsegitterEinrichten();
  haupt->addWidget(m_browse, 2);

  auto* unten = new QHBoxLayout;
  m_navigator = new DatensatzNavigator(this);
  unten->addWidget(m_navigator, 1);
  m_einzelBeschriftung = beschriftung(QStringLiteral("Einzelsumme"));
  m_einzelsumme = new ZahlFeld(this);
  m_einzelsumme->setReadOnly(true);
  m_einzelsumme->setMinimumWidth(110);
  m_einzelsumme->setFocusPolicy(Qt::NoFocus);
  m_einzelsumme->setStatusTip(QStringLiteral("Infoanzeige Einzelsumme"));
  unten->addWidget(m_einzelBeschriftung);
  unten->addWidget(m_einzelsumme);
  m_gesamtBeschriftung = beschriftung(QStringLiteral("Summe Gutschriften"));
  m_gesamt = new ZahlFeld(this);
  m_gesamt->setReadOnly(true);
  m_gesamt->setMinimumWidth(130);
  m_gesamt->setFocusPolicy(Qt::NoFocus);
  unten->addWidget(m_gesamtBeschriftung);
  unten->addWidget(m_gesamt);
  haupt->addLayout(unten);
  if (opt.ArbeitsfensterKleineSymbole) haupt->addWidget(m_status);

  connect(m_navigator, &DatensatzNavigator::Bewegen, this, [this](NavigatorBereich b) {
    const int n = m_browse->ZeilenAnzahl();
    if (n == 0) return;
    int zeile = std::max(0, m_browse->AktuelleZeile());
    switch (b) {
      case NavigatorBereich::Erster: zeile = 0; break;
      case NavigatorBereich::Letzter: zeile = n - 1; break;
      case NavigatorBereich::Vorheriger: zeile = std::max(0, zeile - 1); break;
      case NavigatorBereich::Naechster: zeile = std::min(n - 1, zeile + 1); break;
      case NavigatorBereich::SeiteZurueck: zeile = std::max(0, zeile - 10); break;
      case NavigatorBereich::SeiteVor: zeile = std::min(n - 1, zeile + 10); break;
      case NavigatorBereich::Beschriftung: return;
    }
    m_browse->SetzeAktuelleZelle(zeile, std::max(0, m_browse->AktuelleSpalte()));
  });
  connect(m_zahlArt, &OptionsGruppe::Geklickt, this, &FormularZahlung::ZahlartGeklickt);
  connect(m_anzeige, &OptionsGruppe::Geklickt, this, [this](int) { ZeilenanzeigeAnwenden(); });
  for (int i = 0; i < 6; ++i) {
    connect(m_maske[size_t(i)], &MaskenFeld::Getippt, this, [this, i](const QString& wert) {
      if (i == 0 || i == 3) m_smartfill.TextGeaendert(wert, SmartfillAnwendbar(i));
    });
  }

  // Tab order of the entry fields.
  QList<QWidget*> folge = {m_zahlArt->Option(2), m_maske[0], m_maske[2], m_maske[3], m_maske[4], m_maske[5],
                           m_zeilengitter->Ansicht(), m_textschluessel, m_faellig, m_betrag, m_maske[1], m_mandatDatum};
  for (int i = 0; i + 1 < folge.size(); ++i) setTabOrder(folge[i], folge[i + 1]);
}

void FormularZahlung::TastenEinrichten() {
  m_tasten = new TastenVorschau(this);
  m_tasten->EnterAusnahme(m_zeilengitter);
  m_tasten->EnterAusnahme(m_browse);
  m_tasten->HandlerSetzen([this](QKeyEvent* e) {
    FormularTastenKontext k;
    k.eingabeModus = m_zustand.EingabeModus();
    QWidget* fokus = QApplication::focusWidget();
    k.fokusImZeilengitter = fokus && (fokus == m_zeilengitter || m_zeilengitter->isAncestorOf(fokus));
    // Enter in the amount field saves with "Speicherfeld" 1, whatever the shift state; otherwise
    // it moves on like Tab.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && fokus &&
        (fokus == m_betrag || m_betrag->isAncestorOf(fokus)) && m_zustand.Einstellungen().speicherfeld == 1) {
      m_speichernPerEnter = true;
      m_betrag->Uebernehmen();
      BefehlAusfuehren(Zahlungsbefehl::Neu);
      return true;
    }
    const Tastenaktion a = FormularTaste(e->key(), e->modifiers(), k);
    if (a.befehl == Zahlungsbefehl::Keiner) return false;
    BefehlAusfuehren(a.befehl);
    return a.verbraucht;
  });
  // The letters are the handler's; claiming them keeps the fields' own shortcuts (Ctrl+K ...) away.
  for (Qt::Key k : {Qt::Key_N, Qt::Key_S, Qt::Key_L, Qt::Key_I, Qt::Key_P, Qt::Key_K}) m_tasten->BuchstabeZuordnen(k, [] {});
}

void FormularZahlung::ZeilengitterEinrichten() {
  DatenGitter* g = m_zeilengitter;
  g->SetzeSpaltenHalten(true);
  for (const ZeilenSpalte& s : ZeilenSpalten()) {
    const int i = g->SpalteHinzufuegen(s.feld, s.beschriftung);
    if (s.feld == QStringLiteral("Vorgangsdatum")) g->SetzeSpaltenEditor(i, GitterEditor::Datum);
    if (AlsBetragsSpalte(s.feld)) {
      g->SetzeSpaltenEditor(i, GitterEditor::Zahl);
      g->SetzeSpaltenformat(i, GitterFormat::Standard);
      g->SetzeAusrichtung(i, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (s.feld == QStringLiteral("ZahlungNr") || s.feld == QStringLiteral("LfdNr") ||
        s.feld == QStringLiteral("OPVorgangsArt") || s.feld == QStringLiteral("ZeilenNr"))
      g->SetzeSpalteSichtbar(i, false);
  }
  g->SetzeSpaltenStrecken(true);  // a resize keeps each column's share of the width
  g->SetzeFussleiste(true);
  g->SetzeFussText(g->SpaltenIndex(QStringLiteral("Verwendungszweck")), QStringLiteral("Summen Einzelwerte"));
  g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::Keiner);
  g->SetzeZellStil([g](int zeile, int spalte, ZellStil& stil) {
    if (spalte < 0 || spalte >= g->SpaltenAnzahl() || !AlsBetragsSpalte(g->Spalte(spalte).feld)) return;
    const auto w = WaehrungAusWert(g->Wert(zeile, spalte));
    if (!w || w->IstNull()) return;
    stil.vordergrund = w->IstNegativ() ? Farben::Rot() : QColor(Qt::black);
  });
  g->VorSpaltenAenderung = [this](int spalte, const QVariant& alt, QVariant& wert, bool& abbrechen) {
    ZeileVorSpalte(spalte, alt, wert, abbrechen);
  };
  g->VorZeilenAenderung = [this](bool& abbrechen) { ZeileVorSpeichern(abbrechen); };
  g->BeiFehler = [](const DbFehler& f, bool& meldungZeigen) {
    meldungZeigen = false;
    Meldung::Zeigen(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!\r\rBeschreibung: ") + f.Beschreibung);
  };
  g->TasteRunter = [this](GitterTaste& t) { ZeilengitterTaste(t); };
  connect(g, &DatenGitter::NachLoeschen, this, [this] {
    m_zustand.ZeilenGeaendertSetzen(true);
    NachZeilenaenderung();
  });
  connect(g, &DatenGitter::ZeileSpalteGewechselt, this, [this] {
    if (m_zustand.EingabeModus()) ZeilengitterStatusAktualisieren();
  });
  g->Ansicht()->setStatusTip(QStringLiteral("Diese Einzelzeilen sind für die Zahlung vorhanden"));
  g->Ansicht()->installEventFilter(this);
  // Scroll tips name the line text of the row under the thumb, whichever column is current.
  g->SetzeScrollTippText([g](int zeile) {
    const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
    if (text < 0) return QString();
    return g->Spalte(text).titel + QStringLiteral(": ") + g->ZellText(zeile, text);
  });

  // The open-item drop-down's designed columns.
  m_opListe->SpalteHinzufuegen(QStringLiteral("VorgangsNr"), QStringLiteral("VorgangsNr"));
  m_opListe->SpalteHinzufuegen(QStringLiteral("Art"), QStringLiteral("Art"));
  m_opListe->SpalteHinzufuegen(QStringLiteral("Vom"), QStringLiteral("Vom"), GitterFormat::KurzesDatum);
  m_opListe->SpalteHinzufuegen(QStringLiteral("Fällig"), QStringLiteral("Fällig"), GitterFormat::KurzesDatum);
  m_opListe->SpalteHinzufuegen(QStringLiteral("Betrag"), QStringLiteral("Betrag"), GitterFormat::Standard);
  m_opListe->SpalteHinzufuegen(QStringLiteral("Rest"), QStringLiteral("Rest"), GitterFormat::Standard);
  m_opListe->SetzeListenfeld(QStringLiteral("VorgangsNr"));
  m_opListe->hide();
}

void FormularZahlung::BrowsegitterEinrichten() {
  DatenGitter* g = m_browse;
  g->SetzeSpaltenHalten(true);
  struct Sp {
    const char* feld;
    const char* titel;
  };
  static const Sp spalten[] = {{"Name", "Name"},
                               {"Verwendungszweck1", "Verwendungszweck"},
                               {"ZahlungGesamt", "Betrag"},
                               {"Fällig", "Fällig"},
                               {"IBAN", "IBAN"},
                               {"BIC", "BIC"},
                               {"Bank", "Bank"},
                               {"OPKontoNr", "Konto-Nr"},
                               {"Textschlüssel", "Textschlüssel"},
                               {"MandatReferenz", "Mandat-Referenz"},
                               {"MandatDatum", "Mandat-Datum"}};
  for (const Sp& s : spalten) {
    const int i = g->SpalteHinzufuegen(QString::fromUtf8(s.feld), QString::fromUtf8(s.titel));
    if (QString::fromUtf8(s.feld) == QStringLiteral("ZahlungGesamt")) {
      g->SetzeSpaltenformat(i, GitterFormat::Standard);
      g->SetzeAusrichtung(i, Qt::AlignRight | Qt::AlignVCenter);
    }
  }
  g->SetzeSpaltenStrecken(true);
  g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
  g->SetzeFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  g->SetzeFilterQualifiziert(false);
  g->SetzeFilterBehandlung([this](const Bedingung& filter, int spalte) {
    m_zustand.SuchfilterSetzen(filter);
    const DbFehler f = ZahlungenLaden();
    SaveSetting(Abschnitt(), QStringLiteral("Suchspalte"), QString::number(spalte));
    return f;
  });
  g->Ansicht()->setStatusTip(QStringLiteral("Blättern in den vorhandenen Zahlungen"));
  g->TasteRunter = [this](GitterTaste& t) { BrowseTasteRunter(t); };
  g->TasteHoch = [this](GitterTaste& t) { BrowseTasteHoch(t); };
  connect(g, &DatenGitter::ZeileSpalteGewechselt, this, [this](int alteZeile, int) {
    if (m_browse->AktuelleZeile() != alteZeile) Reposition();
    if (m_browse->ImFilter() && m_browse->AktuelleSpalte() >= 0)
      StatusSetzen(QStringLiteral("Sucheingabe für: ") + m_browse->Spalte(m_browse->AktuelleSpalte()).titel);
  });
}

void FormularZahlung::Laden() {
  m_zustand.FaelligBisSetzen(std::nullopt);
  OPSpaltenbreitenMerken();
  auto registry = [](const QString& k, const QString& v) { return GetSetting(Abschnitt(), k, v); };
  Datenbank* db = m_db;
  auto tabelle = [db](const QString& k, const QString& v) { return db ? EinstellungLesen(*db, k, v) : v; };
  m_zustand.Einstellungen() = ZahlungsformularEinstellungenLesen(registry, tabelle);
  const ZahlungsformularEinstellungen& e = m_zustand.Einstellungen();

  const AdressQuellenInfo& quelle = Zustand().AdressQuelle();
  m_transportfelder = TransportfelderZerlegen(quelle.Transportfelder);

  // Input limits from the schema.
  const bool block = Zustand().Optionen().IBANmitBlockEingeben;
  for (int i = 0; i < 6; ++i) {
    MaskenFeld* f = m_maske[size_t(i)];
    const int groesse = m_db ? m_db->FeldGroesse(QStringLiteral("Zahlungen"), MaskenFelder()[size_t(i)]) : 0;
    f->MaxLaengeSetzen(groesse);
    if (i == 3 || i == 4) f->ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
    if (i == 4 && block) {
      f->IbanBlockSetzen(true);
      f->MaxLaengeSetzen(34);
    }
  }
  if (m_db) {
    m_opKontoNr->setMaxLength(std::max(1, m_db->FeldGroesse(QStringLiteral("Zahlungen"), QStringLiteral("OPKontoNr"))));
    m_zeilenBreite = ZeilentextBreite(*m_db);
    const int textSpalte = m_zeilengitter->SpaltenIndex(QStringLiteral("Verwendungszweck"));
    m_zeilengitter->SetzeDatenBreite(textSpalte, m_zeilenBreite);
  }
  m_betrag->PfeileSetzen(e.aufAbPfeilVerwenden);
  m_faellig->PfeiltastenSetzen(e.aufAbPfeilVerwenden);
  m_mandatDatum->PfeiltastenSetzen(e.aufAbPfeilVerwenden);

  // Kind: the click's query waits for FormularGeladen.
  m_zahlArt->WertSetzen(int(e.zahlart));
  for (int i = 0; i < 4; ++i) m_tabFolge[size_t(i)]->setChecked(e.tabFolge[size_t(i)]);
  {
    const QSignalBlocker sperre(m_anzeige);
    m_anzeige->WertSetzen(int(e.zeilenanzeige));
  }
  m_zustand.FormularGeladenSetzen();
  ZahlungenLaden();
  FensterpositionVerwalten(true, Abschnitt(), this, 70, false);
  if (!Zustand().Optionen().AlleFensterProportionaleSchrift) ProgrammschriftSetzen(this, QApplication::font());
  ZeilenanzeigeAnwenden();
}

void FormularZahlung::showEvent(QShowEvent* ereignis) {
  QWidget::showEvent(ereignis);
  if (!m_zustand.AnzeigeBereit()) Aktivieren();
}

void FormularZahlung::Aktivieren() {
  m_zustand.AnzeigeBereitSetzen(true);
  TextschluesselFuellen();
  const bool zebra = !Zustand().Optionen().TabellenOhneZebramuster;
  m_textschluessel->view()->setAlternatingRowColors(zebra);
  m_browse->SetzeWechselndeZeilen(zebra);
  ZeilenanzeigeAnwenden();
  if (m_browse->ZeilenAnzahl() > 0) m_browse->SetzeAktuelleZelle(0, std::max(0, m_browse->AktuelleSpalte()));
  Reposition();
  EingabeModusAnzeigen();
  m_browse->Ansicht()->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Browse query and display

int FormularZahlung::AnzahlZahlungen() const { return m_zahlungen ? m_zahlungen->RecordCount() : 0; }

DbFehler FormularZahlung::ZahlungenLaden() {
  if (!m_zustand.FormularGeladen() || !m_db) return {};
  const ZahlungenFilter filter = ZahlungenFilterAus(m_zustand, Zustand().AktuelleAbsenderNr());
  DbFehler fehler;
  auto rs = Recordset::Oeffnen(*m_db, ZahlungenAbfrageErstellen(filter), RecordsetTyp::Dynaset, fehler);
  m_browse->SetzeRecordset(nullptr);
  m_zahlungen = std::move(rs);
  if (!m_zahlungen) {
    // The old rows never stay on screen after a failed query.
    m_browse->LeerAnzeigen();
    Meldung::Zeigen(FehlerZeilen(QStringLiteral("Fehler bei der Datenermittlung!"), fehler), MeldungsKnoepfe::Ok,
                    MeldungsSymbol::Keins, ZahlungsformularTitel(), this);
  } else {
    m_browse->SetzeRecordset(m_zahlungen.get());
  }
  const bool lastschrift = m_zustand.IstLastschrift();
  for (const char* feld : {"MandatReferenz", "MandatDatum"}) {
    const int spalte = m_browse->SpaltenIndex(QString::fromUtf8(feld));
    m_browse->SetzeSpalteSichtbar(spalte, lastschrift);
    // A column shown again after being hidden gets a usable width back.
    if (lastschrift && m_browse->Spaltenbreite(spalte) < 40) m_browse->SetzeSpaltenbreite(spalte, 100);
  }
  if (!m_zustand.EingabeModus()) Reposition();
  if (m_zustand.AnzeigeBereit()) TextschluesselFuellen();
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
  m_navigator->BeschriftungSetzen(m_darstellung.navigatorBeschriftung);
}

void FormularZahlung::EingabeModusAnzeigen() {
  DarstellungAnwenden();
  const Formulardarstellung& d = m_darstellung;
  for (QWidget* r : m_rahmen) r->setEnabled(d.rahmenAktiv);
  m_browse->setEnabled(d.rahmenAktiv);
  m_navigator->setEnabled(!d.eingabeModus);
  for (MaskenFeld* f : m_maske) f->setReadOnly(!d.eingabefelderAktiv);
  m_textschluessel->setEnabled(d.eingabefelderAktiv);
  m_faellig->setReadOnly(!d.eingabefelderAktiv);
  m_betrag->setReadOnly(!d.eingabefelderAktiv || m_betrag->property("nurSumme").toBool());
  // The mandate fields open only while a direct debit is being entered.
  m_maske[1]->setReadOnly(!d.mandatfelderAktiv);
  m_maske[1]->setEnabled(d.mandatfelderAktiv);
  m_mandatDatum->setReadOnly(!d.mandatfelderAktiv);
  m_mandatDatum->setEnabled(d.mandatfelderAktiv);
  m_sequenz->setEnabled(d.mandatfelderAktiv);
  m_zeilengitter->SetzeZulassenNeu(d.zeilengitterBearbeitbar);
  m_zeilengitter->SetzeZulassenAendern(d.zeilengitterBearbeitbar);
  m_zeilengitter->SetzeZulassenLoeschen(d.zeilengitterBearbeitbar);
  m_zeilengitter->SetzeMarkierungsstil(d.zeilengitterBearbeitbar ? DatenGitter::Markierungsstil::SchwebenderEditor
                                                                 : DatenGitter::Markierungsstil::Keiner);
  if (d.zeilengitterBearbeitbar) m_zeilengitter->Ansicht()->horizontalScrollBar()->setValue(0);
  ZeilengitterStatusAktualisieren();
  if (m_opListe && m_zeilengitter->SpaltenIndex(QStringLiteral("OPVorgangNr")) >= 0) {
    const bool mitListe = d.eingabeModus && !Zustand().AdressQuelle().OPFeldliste.IstLeer();
    m_zeilengitter->SetzeDropDown(m_zeilengitter->SpaltenIndex(QStringLiteral("OPVorgangNr")), mitListe ? m_opListe : nullptr);
  }
  FelderFaerben();
}

void FormularZahlung::FelderFaerben() {
  if (!m_zustand.AnzeigeBereit() || !m_zustand.Einstellungen().optischeFehlerKontrolle) return;
  if (m_zustand.EingabeModus() && !m_zustand.NeuerDatensatz()) {
    const FeldGueltigkeit g = FelderPruefen(FelderLesen(), m_zustand.IstLastschrift(), Uhr::Heute());
    m_maske[0]->GueltigkeitAnzeigen(g.name);
    if (m_zustand.IstLastschrift()) m_maske[1]->GueltigkeitAnzeigen(g.mandatReferenz);
    m_maske[3]->GueltigkeitAnzeigen(g.bic);
    m_maske[4]->GueltigkeitAnzeigen(g.iban);
    if (!GitterSichtbar()) {
      m_maske[5]->GueltigkeitAnzeigen(g.verwendungszweck);
      m_betrag->GueltigkeitAnzeigen(g.betrag);
    }
    if (m_zustand.IstLastschrift()) MandatDatumFaerben(g.mandatDatum);
  } else if (!m_zustand.EingabeModus()) {
    for (MaskenFeld* f : m_maske) f->GueltigkeitAnzeigen(true);
    m_betrag->GueltigkeitAnzeigen(true);
    MandatDatumFaerben(true);
  }
}

void FormularZahlung::MandatDatumFaerben(bool gueltig) {
  if (gueltig) {
    m_mandatDatum->setPalette(QPalette());  // the system colours
    return;
  }
  QPalette p = m_mandatDatum->palette();
  p.setColor(QPalette::Base, Farben::Rot());
  p.setColor(QPalette::Text, Farben::Weiss());
  m_mandatDatum->setPalette(p);
}

void FormularZahlung::GesamtsummeAnzeigen() {
  ZahlungenSumme summe;
  if (m_db && m_zahlungen) {
    // Every listed payment is read: the hourglass while that runs.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DbFehler f = GesamtsummeErmitteln(*m_db, ZahlungenFilterAus(m_zustand, Zustand().AktuelleAbsenderNr()), summe);
    QApplication::restoreOverrideCursor();
    if (f) return;  // the total stays as it was
  }
  m_summe = summe.summe;
  m_gesamt->WertSetzen(summe.summe);
  m_gesamtBeschriftung->setText(m_darstellung.gesamtsummeBeschriftung);
  m_gesamt->setStatusTip(QStringLiteral("Infoanzeige ") + m_darstellung.gesamtsummeBeschriftung);
  const QColor farbe = m_darstellung.farbeBlau ? Farben::Blau() : Farben::Rot();
  m_gesamt->TextFarbeSetzen(farbe);
  m_gesamt->NegativFarbeSetzen(m_darstellung.farbeBlau ? Farben::Rot() : Farben::Blau());
  QPalette l = m_gesamtBeschriftung->palette();
  l.setColor(QPalette::WindowText, farbe);
  m_gesamtBeschriftung->setPalette(l);
}

bool FormularZahlung::ZahlungAnsteuern(qint64 zahlungNr) {
  for (int z = 0; z < m_browse->ZeilenAnzahl(); ++z) {
    if (m_browse->Wert(z, QStringLiteral("ZahlungNr")).toLongLong() == zahlungNr) {
      m_browse->SetzeAktuelleZelle(z, std::max(0, m_browse->AktuelleSpalte()));
      Reposition();
      return true;
    }
  }
  return false;
}

void FormularZahlung::Reposition() {
  if (m_zustand.EingabeModus() || !m_zustand.AnzeigeBereit() || m_inReposition) return;
  m_inReposition = true;
  m_aktuelleNr.reset();
  const int zeile = m_browse->AktuelleZeile();
  if (m_zahlungen && zeile >= 0 && zeile < m_browse->ZeilenAnzahl())
    m_aktuelleNr = m_browse->Wert(zeile, QStringLiteral("ZahlungNr")).toLongLong();
  if (m_aktuelleNr && m_db) {
    std::optional<ZahlungEingabe> e;
    int sequenz = 0;
    const DbFehler f = ZahlungLesen(*m_db, *m_aktuelleNr, e, &sequenz);
    if (f) DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
    if (e) {
      e->sequenzIndex = m_zustand.IstLastschrift() ? m_zustand.SequenzIndex(sequenz) : -1;
      FelderFuellen(*e);
    } else {
      FelderLeeren();
    }
  } else {
    FelderLeeren();
  }
  ZeilenLaden();
  m_inReposition = false;
}

void FormularZahlung::FelderFuellen(const ZahlungEingabe& e) {
  m_maske[0]->WertSetzen(e.name);
  m_maske[1]->WertSetzen(e.mandatReferenz);
  m_maske[2]->WertSetzen(e.bank);
  m_maske[3]->WertSetzen(e.bic);
  m_maske[4]->WertSetzen(e.iban);
  m_maske[5]->WertSetzen(e.verwendungszweck1);
  m_textschluessel->CodeSetzen(e.textschluessel);
  m_opKontoNr->setText(e.opKontoNr);
  m_faellig->WertSetzen(e.faellig);
  m_mandatDatum->WertSetzen(e.mandatDatum);
  m_betrag->WertSetzen(e.betrag);
  const QSignalBlocker sperre(m_sequenz);
  m_sequenz->WertSetzen(e.sequenzIndex);
}

void FormularZahlung::FelderLeeren() { FelderFuellen(ZahlungEingabe{}); }

ZahlungEingabe FormularZahlung::FelderLesen() const {
  ZahlungEingabe e;
  e.name = m_maske[0]->Wert();
  e.mandatReferenz = m_maske[1]->Wert();
  e.bank = m_maske[2]->Wert();
  e.bic = m_maske[3]->Wert();
  e.iban = m_maske[4]->Wert();
  e.verwendungszweck1 = m_maske[5]->Wert();
  e.textschluessel = m_textschluessel->Code();
  e.opKontoNr = m_opKontoNr->text();
  e.faellig = m_faellig->Wert();
  e.mandatDatum = m_mandatDatum->Wert();
  e.betrag = m_betrag->Wert();
  e.sequenzIndex = m_sequenz->Wert();
  return e;
}

QString FormularZahlung::OPKontoNr() const { return m_opKontoNr->text(); }

void FormularZahlung::TextschluesselFuellen() {
  const QString code = m_textschluessel->Code();
  QList<QPair<QString, QString>> zeilen;
  for (const TextschluesselEintrag& t : TextschluesselListe(m_zustand.AktuelleArt())) zeilen.append({t.schluessel, t.bedeutung});
  m_textschluessel->ZeilenSetzen(zeilen);
  m_textschluessel->setMaxVisibleItems(TextschluesselZeilen(m_zustand.AktuelleArt()));
  m_textschluessel->CodeSetzen(code);
}

bool FormularZahlung::GitterSichtbar() const {
  return ZeilenanzeigeAusText(QString::number(m_anzeige->Wert())) != Zeilenanzeige::Ausblenden;
}

void FormularZahlung::ZeilenLaden() {
  if (!m_db) return;
  if (m_zeilengitter->ZeileAusstehend()) m_zeilengitter->ZeileVerwerfen();
  const bool gitter = GitterSichtbar();
  DbFehler f;
  auto rs = Recordset::Oeffnen(*m_db, ZeilenAbfrage(m_aktuelleNr.value_or(-1), !gitter), RecordsetTyp::Dynaset, f);
  m_zeilengitter->SetzeRecordset(nullptr);
  m_zeilen = std::move(rs);
  if (!m_zeilen) {
    m_zeilengitter->LeerAnzeigen();
    DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
  } else {
    m_zeilengitter->SetzeRecordset(m_zeilen.get());
  }
  // Single-field display of a payment with several lines: the amount is their total, read-only.
  int anzahl = 0;
  if (m_aktuelleNr) ZeilenAnzahl(*m_db, *m_aktuelleNr, anzahl);
  const bool nurSumme = !gitter && anzahl > 1;
  m_betrag->setProperty("nurSumme", nurSumme);
  m_betrag->setReadOnly(nurSumme || !m_zustand.EingabeModus());
  if (gitter) {
    ZeilenSummierenAnzeigen();
    OPListeLaden();
  }
}

void FormularZahlung::ZeilenSummierenAnzeigen() {
  if (!m_db) return;
  ZeilenSummen summen;
  const DbFehler f = ZeilenSummieren(*m_db, m_aktuelleNr.value_or(-1), m_zustand.EingabeModus(), summen);
  if (f) {
    DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!"), f);
    return;
  }
  const ZeilenFusszeilen fuss = FusszeilenErmitteln(summen);
  m_zeilengitter->SetzeFussText(m_zeilengitter->SpaltenIndex(QStringLiteral("OPBetrag")), fuss.opBetrag);
  m_zeilengitter->SetzeFussText(m_zeilengitter->SpaltenIndex(QStringLiteral("SkontoBetrag")), fuss.skontoBetrag);
  m_zeilengitter->SetzeFussText(m_zeilengitter->SpaltenIndex(QStringLiteral("ZahlungsBetrag")), fuss.zahlungsBetrag);
  m_einzelsumme->WertSetzen(summen.zahlungsBetrag);
  const bool lastschrift = m_zustand.AktuelleArt() == QStringLiteral("L");
  m_einzelsumme->TextFarbeSetzen(lastschrift ? Farben::Blau() : Farben::Rot());
  m_einzelsumme->NegativFarbeSetzen(lastschrift ? Farben::Rot() : Farben::Blau());
  if (m_zustand.EingabeModus()) m_betrag->WertSetzen(summen.zahlungsBetrag);
}

void FormularZahlung::NachZeilenaenderung() {
  // Sums first (they renumber in entry mode), then show the lines as stored.
  ZeilenSummierenAnzeigen();
  if (m_zeilen) {
    const int spalte = m_zeilengitter->AktuelleSpalte();
    const int zeile = m_zeilengitter->AktuelleZeile();
    m_zeilen->Requery();
    m_zeilengitter->Aktualisieren();
    if (zeile >= 0 && m_zeilengitter->ZeilenAnzahl() > 0)
      m_zeilengitter->SetzeAktuelleZelle(std::min(zeile, m_zeilengitter->ZeilenAnzahl()), std::max(0, spalte));
  }
}

void FormularZahlung::OPListeLaden() {
  const AdressQuellenInfo& quelle = Zustand().AdressQuelle();
  if (!m_db || quelle.OPFeldliste.IstLeer()) return;
  const OPAbfrageTeile teile =
      OPAbfrageErstellen(quelle, m_opKontoNr->text(), Zustand().Optionen().OPSelektionMitMinus);
  if (teile.IstLeer()) return;
  Abfrage a;
  a.spalten = teile.spalten;
  a.quelle = teile.quelle;
  a.bedingung = teile.bedingung;
  a.sortierung = teile.sortierung;
  DbFehler f;
  auto rs = Recordset::Oeffnen(*m_db, a, RecordsetTyp::Snapshot, f);
  m_opListe->SetzeRecordset(nullptr);
  m_opPosten = std::move(rs);
  if (!m_opPosten) return;  // an item list the linked table cannot answer stays empty
  if (quelle.OPArtFeld.isEmpty()) m_opListe->SetzeDatenfeld(m_opListe->SpaltenIndex(QStringLiteral("Rest")), QStringLiteral("Rest2"));
  m_opListe->SetzeRecordset(m_opPosten.get());
  m_opListe->SetzeSichtbareZeilen(OPListeZeilen(m_opPosten->RecordCount()));
}

void FormularZahlung::OPSpaltenbreitenMerken() {
  // The list is a hidden popup: its shares are taken from the designed column widths, and the list
  // as a whole is scaled with the window from here on.
  m_spaltenProzenteOP.clear();
  m_opGrundbreite = 0;
  const QTableView* v = m_opListe->Ansicht();
  for (int i = 0; i < m_opListe->SpaltenAnzahl(); ++i)
    if (!v->isColumnHidden(i)) m_opGrundbreite += m_opListe->Spaltenbreite(i);
  m_opBezugsbreite = width();
  if (m_opGrundbreite <= 0 || m_opBezugsbreite <= 0) return;
  for (int i = 0; i < m_opListe->SpaltenAnzahl(); ++i)
    if (!v->isColumnHidden(i))
      m_spaltenProzenteOP.push_back(float(m_opListe->Spaltenbreite(i)) * 100.0f / float(m_opGrundbreite));
}

void FormularZahlung::OPSpaltenbreitenAnwenden() {
  if (m_spaltenProzenteOP.empty() || m_opBezugsbreite <= 0) return;
  const double breite = double(m_opGrundbreite) * width() / m_opBezugsbreite;
  // Rounded at the column edges, so that the shares add up to the list's width.
  const QTableView* v = m_opListe->Ansicht();
  double summe = 0;
  long kante = 0;
  size_t n = 0;
  for (int i = 0; i < m_opListe->SpaltenAnzahl() && n < m_spaltenProzenteOP.size(); ++i) {
    if (v->isColumnHidden(i)) continue;
    summe += m_spaltenProzenteOP[n++];
    const long neueKante = std::lround(breite * summe / 100.0);
    m_opListe->SetzeSpaltenbreite(i, std::max(1, int(neueKante - kante)));
    kante = neueKante;
  }
}

void FormularZahlung::resizeEvent(QResizeEvent* ereignis) {
  QWidget::resizeEvent(ereignis);
  OPSpaltenbreitenAnwenden();
}

void FormularZahlung::ZeilenanzeigeAnwenden() {
  const Zeilenanzeige modus = ZeilenanzeigeAusText(QString::number(m_anzeige->Wert()));
  const ZeilenanzeigeLayout layout = ZeilenanzeigeErmitteln(modus, m_zustand.Einstellungen().aufAbPfeilVerwenden);
  m_zustand.Einstellungen().zeilenanzeige = modus;
  m_zeilengitter->setVisible(layout.gitterSichtbar);
  if (layout.gitterSichtbar) {
    for (int i = 0; i < m_zeilengitter->SpaltenAnzahl(); ++i)
      m_zeilengitter->SetzeSpalteSichtbar(i, layout.spalten.contains(m_zeilengitter->Spalte(i).feld));
    std::vector<float> prozente;
    for (double p : layout.prozente) prozente.push_back(float(p));
    if (m_zustand.AnzeigeBereit() && !prozente.empty()) m_zeilengitter->SpaltenProzenteAnwenden(prozente);
    const int erste = m_zeilengitter->SpaltenIndex(layout.ersteSpalte);
    if (erste >= 0) m_zeilengitter->Ansicht()->scrollTo(m_zeilengitter->Ansicht()->model()->index(0, erste));
  }
  if (m_zustand.AnzeigeBereit()) {
    if (m_zustand.EingabeModus()) ZeilenLaden();
    else Reposition();
    BetragsfelderAnordnen();
  }
}

void FormularZahlung::BetragsfelderAnordnen() {
  const bool gitter = GitterSichtbar();
  m_maske[5]->setVisible(!gitter);
  m_textBeschriftung->setVisible(!gitter);
  m_betrag->setVisible(!gitter);
  m_betragBeschriftung->setVisible(!gitter);
  m_einzelsumme->setVisible(gitter);
  m_einzelBeschriftung->setVisible(gitter);
}

void FormularZahlung::ZeilenanzeigeWaehlen(Zeilenanzeige modus) { m_anzeige->WertSetzen(int(modus)); }

void FormularZahlung::ZahlartWaehlen(Zahlart zahlart) { m_zahlArt->WertSetzen(int(zahlart)); }

void FormularZahlung::ZahlartGeklickt(int index) {
  if (index < 0 || index > 2) return;
  m_zustand.ZahlartSetzen(Zahlart(index));
  ZahlungenLaden();
}

// ---------------------------------------------------------------------------------------------
// Commands

bool FormularZahlung::Befehl(const QString& schluessel) { return m_leiste->Druecken(schluessel); }

bool FormularZahlung::BefehlAusfuehren(Zahlungsbefehl befehl) {
  // A click or a shortcut never does more than its button could.
  if (!m_darstellung.Ausfuehrbar(befehl)) return false;
  switch (befehl) {
    case Zahlungsbefehl::Neu: Neu(); break;
    case Zahlungsbefehl::Aendern: Aendern(); break;
    case Zahlungsbefehl::Kopieren: Kopieren(); break;
    case Zahlungsbefehl::Loeschen: Loeschen(); break;
    case Zahlungsbefehl::Suchen: SuchmodusUmschalten(); break;
    case Zahlungsbefehl::Schliessen: Schliessen(); break;
    case Zahlungsbefehl::Faelligkeit: FaelligkeitAbfragen(); break;
    case Zahlungsbefehl::Hilfe:
      HilfeAnzeigen(HilfeKontext, Zustand().ProgrammVerzeichnis() + QStringLiteral("help"), this);
      break;
    case Zahlungsbefehl::Rechner: Q_EMIT RechnerAngefordert(); break;
    case Zahlungsbefehl::Import:
    case Zahlungsbefehl::Skonto:
    case Zahlungsbefehl::Pruefen:
    case Zahlungsbefehl::Keiner:
      return false;  // their windows come later; the buttons stay hidden
  }
  return true;
}

void FormularZahlung::Schliessen() {
  if (!m_zustand.EingabeModus()) {
    close();
    return;
  }
  Abbrechen();
}

void FormularZahlung::Abbrechen() {
  if (m_zeilengitter->ZeileAusstehend()) m_zeilengitter->ZeileVerwerfen();
  const std::optional<qint64> gemerkt = m_zustand.GemerktePosition();
  if (m_zustand.NeuerDatensatz()) {
    // The row "Neu" stored goes again, with its lines.
    if (m_aktuelleNr && m_db) {
      const DbFehler f = ZahlungLoeschen(*m_db, *m_aktuelleNr);
      if (f) Meldung::Zeigen(LoeschFehlertext(f), MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
    }
  } else if (m_zustand.ZeilenGeaendert() && m_zeilenKopie && m_db) {
    const DbFehler f = ZeilenWiederherstellen(*m_db, *m_zeilenKopie);
    if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!"), f);
  }
  m_zeilenKopie.reset();
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zustand.EingabeBeenden();
  ZahlungenLaden();
  if (!gemerkt || !ZahlungAnsteuern(*gemerkt)) Reposition();
  EingabeModusAnzeigen();
  m_browse->Ansicht()->setFocus();
}

void FormularZahlung::Neu() {
  if (m_zustand.EingabeModus()) {
    const bool warNeu = m_zustand.NeuerDatensatz();
    const std::optional<Waehrung> betragVorher = warNeu ? std::nullopt : GespeicherterBetrag();
    if (!Speichern()) return;  // stays in entry mode
    const qint64 gespeichert = m_aktuelleNr.value_or(-1);
    const int zeile = m_browse->AktuelleZeile();
    m_zustand.EingabeBeenden();
    if (warNeu || !m_zahlungen || zeile < 0) {
      ZahlungenLaden();
      ZahlungAnsteuern(gespeichert);
    } else {
      // A changed payment keeps its place in the list (as a dynaset row does until the next
      // requery): only its values and the total are read again.
      m_zahlungen->CacheVerwerfen();
      m_browse->Aktualisieren();
      m_browse->SetzeAktuelleZelle(zeile, std::max(0, m_browse->AktuelleSpalte()));
      Reposition();
      // The list is the same but for this payment: the total moves by its difference instead of
      // walking every listed payment again.
      const std::optional<Waehrung> betragNachher = GespeicherterBetrag();
      if (betragVorher && betragNachher) {
        m_summe += *betragNachher - *betragVorher;
        m_gesamt->WertSetzen(m_summe);
      } else {
        GesamtsummeAnzeigen();
      }
    }
    EingabeModusAnzeigen();
    if (!warNeu || !m_zustand.Einstellungen().neueingabeFortsetzen) {
      m_browse->Ansicht()->setFocus();
      return;
    }
  }
  NeueZahlung();
}

std::optional<Waehrung> FormularZahlung::GespeicherterBetrag() {
  if (!m_db || !m_aktuelleNr) return std::nullopt;
  DbFehler f;
  const auto w = m_db->Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(*m_aktuelleNr)}, f);
  if (f || !w) return std::nullopt;
  return WaehrungAusWert(*w).value_or(Waehrung());  // Null counts as 0 in the total
}

bool FormularZahlung::Speichern() {
  if (!m_db || !m_aktuelleNr) return false;
  if (m_zeilengitter->ZeileAusstehend() && !m_zeilengitter->ZeileSpeichern()) return false;
  ZahlungEingabe eingabe = FelderLesen();
  SpeicherKontext k;
  k.absenderNr = Zustand().AktuelleAbsenderNr();
  k.zahlart = m_zustand.AktuelleZahlart();
  k.zeilengitterSichtbar = GitterSichtbar();
  k.heute = Uhr::Heute();
  const SpeicherErgebnis r = ZahlungSpeichern(*m_db, *m_aktuelleNr, eingabe, k);
  if (!r.Ok()) {
    Meldung::Zeigen(r.Meldungstext(), MeldungsKnoepfe::Ok, MeldungsSymbol::Information, ZahlungsformularTitel(), this);
    if (r.pruefFehler) {
      // The cleaned texts stay in the fields.
      const QSignalBlocker sperre(m_sequenz);
      FelderFuellen(eingabe);
      if (QWidget* ziel = Fokusziel(r.pruefFehler->feld)) ziel->setFocus();
    }
    return false;
  }
  FelderFuellen(eingabe);
  if (m_zustand.NeuerDatensatz()) {
    const Optionsschalter& opt = Zustand().Optionen();
    if (opt.AutoSpeichernBank) {
      const DbFehler f = BankAutomatischSpeichern(*m_db, eingabe.bic, eingabe.bank);
      if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Bankverbindung!"), f);
    }
    const AdressQuellenInfo& quelle = Zustand().AdressQuelle();
    if (opt.AutoSpeichernAdressen && !quelle.Extern && eingabe.opKontoNr.trimmed().isEmpty()) {
      QString nummer;
      const DbFehler f = AdresseAutomatischAnlegen(*m_db, *m_aktuelleNr, QStringLiteral("Adressen"), quelle.AdressNrFeld,
                                                   m_transportfelder, nummer);
      if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Adresse!"), f);
    }
  }
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zeilenKopie.reset();
  return true;
}

void FormularZahlung::NeueZahlung() {
  if (!m_db) return;
  const std::optional<qint64> gemerkt = m_aktuelleNr;
  const Zahlungsuebertrag uebertrag = UebertragErmitteln(FelderLesen(), Zustand().Kopierfeld());
  qint64 nr = 0;
  const DbFehler f =
      NeueZahlungAnlegen(*m_db, Zustand().AktuelleAbsenderNr(), m_zustand.AktuelleZahlart(), uebertrag, Uhr::Heute(), nr);
  if (f) {
    Meldung::Zeigen(NeuFehlertext(f), MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
    EingabeModusAnzeigen();
    return;
  }
  m_aktuelleNr = nr;
  m_zustand.NeueingabeBeginnen(gemerkt);
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zeilenKopie.reset();
  std::optional<ZahlungEingabe> e;
  int sequenz = 0;
  const DbFehler lesen = ZahlungLesen(*m_db, nr, e, &sequenz);
  if (lesen) DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), lesen);
  if (e) {
    e->sequenzIndex = -1;  // no sequence chosen yet
    FelderFuellen(*e);
  }
  ZeilenLaden();
  OPListeLaden();
  EingabeModusAnzeigen();
  m_maske[0]->setFocus();
  if (Zustand().Optionen().NeuMitSuchliste) {
    DbFehler zf;
    const auto anzahl = m_db->Wert("SELECT COUNT(*) FROM Adressen", {}, zf);
    if (!zf && anzahl && anzahl->toInt() > 0) SuchlisteOeffnen(0, false);
  }
}

void FormularZahlung::Aendern() {
  if (!m_aktuelleNr || !m_db) return;
  ZeilenKopie kopie;
  const DbFehler f = ZeilenKopieren(*m_db, *m_aktuelleNr, kopie);
  if (f) {
    // Without a copy a cancel could not restore the lines: do not begin.
    DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
    return;
  }
  m_zeilenKopie = std::move(kopie);
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zustand.AendernBeginnen(m_aktuelleNr);
  EingabeModusAnzeigen();
  m_maske[0]->setFocus();
}

void FormularZahlung::Loeschen() {
  if (!m_aktuelleNr || !m_db) return;
  const int zeile = m_browse->AktuelleZeile();
  const DbFehler f = ZahlungLoeschen(*m_db, *m_aktuelleNr);
  if (f) {
    Meldung::Zeigen(LoeschFehlertext(f), MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
    DarstellungAnwenden();
    GesamtsummeAnzeigen();
    return;
  }
  ZahlungenLaden();
  const int n = m_browse->ZeilenAnzahl();
  if (n > 0) {
    m_browse->SetzeAktuelleZelle(std::clamp(zeile, 0, n - 1), std::max(0, m_browse->AktuelleSpalte()));
    Reposition();
  }
  m_browse->Ansicht()->setFocus();
}

void FormularZahlung::SuchmodusUmschalten() {
  const bool an = m_zustand.SuchmodusUmschalten();  // empties the filter
  m_suchmodusGeschaltet = true;
  ZahlungenLaden();
  m_browse->SetzeFilterleiste(an);
  m_browse->FilterTexteLeeren();
  DarstellungAnwenden();
  m_browse->Ansicht()->setFocus();
  if (an) {
    bool ok = false;
    const int spalte = GetSetting(Abschnitt(), QStringLiteral("Suchspalte"), QString()).toInt(&ok);
    const int aktuelle = ok && spalte >= 0 && spalte < m_browse->SpaltenAnzahl() ? spalte : std::max(0, m_browse->AktuelleSpalte());
    m_browse->SetzeMarkierungsstil(DatenGitter::Markierungsstil::SchwebenderEditor);
    // The status line follows the filter cell that gets the focus.
    for (int i = 0; i < m_browse->SpaltenAnzahl(); ++i)
      if (QLineEdit* zelle = m_browse->Filter()->Editor(i))
        zelle->setStatusTip(QStringLiteral("Sucheingabe für: ") + m_browse->Spalte(i).titel);
    m_browse->FilterZelleBearbeiten(aktuelle);
  } else {
    m_browse->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
    FeldAktionen::ZeilenWeiter(m_browse->Ansicht(), 2);
  }
}

void FormularZahlung::Kopieren() {
  if (!m_aktuelleNr || !m_db) return;
  const bool gitter = GitterSichtbar();
  if (gitter && m_zeilengitter->ZeileAusstehend() && !m_zeilengitter->ZeileSpeichern()) return;
  QVariantList werte;
  const Bedingung filter = KopierlisteBedingung(Zustand().AktuelleAbsenderNr(), m_zustand.AktuelleArt(), *m_aktuelleNr);
  bool gewaehlt = false;
  if (m_suchliste) {
    gewaehlt = m_suchliste(3, filter, Suchkriterium{}, false, werte);
  } else {
    SuchlisteF4 liste(this);
    if (liste.Daten(font(), false, filter, Suchkriterium{}, 3)) {
      liste.exec();
      gewaehlt = !liste.Rueckwert(werte);
    }
  }
  if (!gewaehlt || werte.size() < 2 || werte.at(1).isNull()) return;
  KopierErgebnis ergebnis;
  const DbFehler f = ZahlungKopieren(*m_db, werte.at(1).toLongLong(), *m_aktuelleNr, gitter, ergebnis);
  if (f) {
    DbFehlerMelden(QStringLiteral("Fehler beim Kopieren der Zahlung!"), f);
    return;
  }
  if (!ergebnis.quelle) return;
  const KopierteFelder k = KopierteFelderErmitteln(*ergebnis.quelle);
  if (k.name) m_maske[0]->WertSetzen(*k.name);
  if (k.mandatReferenz) m_maske[1]->WertSetzen(*k.mandatReferenz);
  if (k.bank) m_maske[2]->WertSetzen(*k.bank);
  if (k.bic) m_maske[3]->WertSetzen(*k.bic);
  if (k.iban) m_maske[4]->WertSetzen(*k.iban);
  if (k.verwendungszweck1) m_maske[5]->WertSetzen(*k.verwendungszweck1);
  if (k.opKontoNr) m_opKontoNr->setText(*k.opKontoNr);
  if (k.betrag) m_betrag->WertSetzen(*k.betrag);
  if (ergebnis.angefuegt > 0) m_zustand.ZeilenGeaendertSetzen(true);
  if (!ergebnis.Hinweis().isEmpty())
    Meldung::Zeigen(ergebnis.Hinweis(), MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, ZahlungsformularTitel(), this);
  if (gitter) {
    ZeilenLaden();
    // Ready for a further line: the empty row below the last one.
    const int spalte = m_zeilengitter->AktuelleSpalte() >= 0 ? m_zeilengitter->AktuelleSpalte()
                                                             : ErsteSichtbareSpalte(*m_zeilengitter);
    if (spalte >= 0) m_zeilengitter->SetzeAktuelleZelle(m_zeilengitter->ZeilenAnzahl(), spalte);
    m_zeilengitter->Ansicht()->setFocus();
  }
  OPListeLaden();
}

void FormularZahlung::FaelligkeitAbfragen() {
  if (m_zustand.EingabeModus()) return;
  const std::optional<QDate> bisher = m_zustand.FaelligBis();
  const std::optional<QDate> neu =
      m_faelligAufruf ? m_faelligAufruf(bisher) : FaelligAbfrage::Abfragen(this, font(), bisher, Uhr::Heute());
  m_zustand.FaelligBisSetzen(neu);
  ZahlungenLaden();
}

QWidget* FormularZahlung::Fokusziel(Fokusfeld feld) const {
  switch (feld) {
    case Fokusfeld::Name: return m_maske[0];
    case Fokusfeld::MandatReferenz: return m_maske[1];
    case Fokusfeld::Bic: return m_maske[3];
    case Fokusfeld::Iban: return m_maske[4];
    case Fokusfeld::Verwendungszweck: return m_maske[5];
    case Fokusfeld::Betrag: return m_betrag;
    case Fokusfeld::Zeilengitter: return m_zeilengitter->Ansicht();
    case Fokusfeld::Sequenz: return m_sequenz->Option(0);
    case Fokusfeld::MandatDatum: return m_mandatDatum;
  }
  return nullptr;
}

void FormularZahlung::closeEvent(QCloseEvent* ereignis) {
  // Closing during entry discards it.
  if (m_zustand.EingabeModus()) Abbrechen();
  ZahlungsformularEinstellungen& e = m_zustand.Einstellungen();
  for (int i = 0; i < 4; ++i) e.tabFolge[size_t(i)] = m_tabFolge[size_t(i)]->isChecked();
  e.zeilenanzeige = ZeilenanzeigeAusText(QString::number(m_anzeige->Wert()));
  if (m_db) {
    Datenbank* db = m_db;
    ZahlungsformularEinstellungenSpeichern(e, [this, db](const QString& k, const QString& w) {
      const DbFehler f = EinstellungSpeichern(*db, k, w);
      if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Einstellungen!"), f);
    });
  }
  FensterpositionVerwalten(false, Abschnitt(), this);
  QWidget::closeEvent(ereignis);
}

void FormularZahlung::StatusSetzen(const QString& text) { m_status->TextSetzen(text); }

void FormularZahlung::DbFehlerMelden(const QString& titel, const DbFehler& fehler) {
  Meldung::Zeigen(FehlerZeilen(titel, fehler), MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, ZahlungsformularTitel(), this);
}

// ---------------------------------------------------------------------------------------------
// Payee, bank, date and amount fields

bool FormularZahlung::SmartfillAnwendbar(int index) const {
  const Optionsschalter& opt = Zustand().Optionen();
  if (index == 0) return opt.SmartfillName && m_transportfelder.size() > 1 && !m_transportfelder.at(1).isEmpty();
  if (index == 3) return opt.SmartfillBank;
  return false;
}

bool FormularZahlung::eventFilter(QObject* objekt, QEvent* ereignis) {
  for (int i = 0; i < 6; ++i) {
    if (objekt != m_maske[size_t(i)]) continue;
    switch (ereignis->type()) {
      case QEvent::KeyPress: return MaskeTaste(i, static_cast<QKeyEvent*>(ereignis));
      case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(ereignis);
        if (k->key() == Qt::Key_F4 || k->key() == Qt::Key_F5) {
          if (!k->isAutoRepeat()) SuchlisteOeffnen(i, k->key() == Qt::Key_F5);
          return true;
        }
        if ((i == 0 || i == 3) && m_maske[size_t(i)]->Wert().isEmpty())
          m_smartfill.TextGeaendert(QString(), SmartfillAnwendbar(i));
        return false;
      }
      case QEvent::FocusIn: MaskeBetreten(i); return false;
      case QEvent::FocusOut: MaskeVerlassen(i); return false;
      case QEvent::MouseButtonDblClick: SuchlisteOeffnen(i, false); return true;
      default: return false;
    }
  }
  if (m_zeilengitter && objekt == m_zeilengitter->Ansicht() && ereignis->type() == QEvent::FocusIn) {
    DatenGitter* g = m_zeilengitter;
    if (m_zustand.EingabeModus() && g->AktuelleZeile() < 0) {
      // Without a current row the first line (or the new row) becomes current, in the first shown column.
      const int erste = ErsteSichtbareSpalte(*g);
      if (erste >= 0) g->SetzeAktuelleZelle(0, erste);
    }
    ZeilengitterStatusAktualisieren();
    return false;
  }
  if (objekt == m_betrag) {
    if (ereignis->type() == QEvent::FocusIn) m_speichernPerEnter = false;
    if (ereignis->type() == QEvent::FocusOut) {
      if (m_zustand.Einstellungen().optischeFehlerKontrolle && !m_speichernPerEnter && m_zustand.EingabeModus())
        m_betrag->GueltigkeitAnzeigen(BetragGueltig(m_betrag->Wert()));
      m_speichernPerEnter = false;
    }
    return false;
  }
  if (objekt == m_faellig && ereignis->type() == QEvent::FocusOut) {
    m_faellig->setFocusPolicy(m_tabFolge[3]->isChecked() ? Qt::ClickFocus : Qt::StrongFocus);
    return false;
  }
  if (objekt == m_mandatDatum && ereignis->type() == QEvent::FocusOut) {
    if (m_zustand.Einstellungen().optischeFehlerKontrolle && m_mandatDatum->isEnabled() && m_zustand.EingabeModus())
      MandatDatumFaerben(m_mandatDatum->Wert().has_value());
    return false;
  }
  return QWidget::eventFilter(objekt, ereignis);
}

bool FormularZahlung::MaskeTaste(int index, QKeyEvent* taste) {
  if (index != 0 && index != 3) return false;
  if (taste->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  const QString text = taste->text();
  if (text.size() != 1 || !text.at(0).isPrint()) return false;
  MaskenFeld* feld = m_maske[size_t(index)];
  if (feld->isReadOnly()) return false;
  const int cursor = feld->hasSelectedText() ? feld->selectionStart() : feld->cursorPosition();
  const bool anwendbar = SmartfillAnwendbar(index);
  Smartfill::Suche suche;
  if (m_db && index == 0) {
    const QString quellfeld = m_transportfelder.value(1);
    const QString nrFeld = Zustand().AdressQuelle().AdressNrFeld;
    const QStringList spalten = AdressSpalten(m_transportfelder, nrFeld);
    Datenbank* db = m_db;
    suche = [db, quellfeld, spalten](const QString& praefix) {
      std::optional<Smartfill::Treffer> t;
      PraefixSuchen(*db, QStringLiteral("Adressen"), quellfeld, spalten, praefix, t);  // a failure finds nothing
      return t;
    };
  } else if (m_db) {
    Datenbank* db = m_db;
    suche = [db](const QString& praefix) {
      std::optional<Smartfill::Treffer> t;
      PraefixSuchen(*db, QStringLiteral("Bankverbindung"), QStringLiteral("BIC"),
                    {QStringLiteral("BIC"), QStringLiteral("Bank")}, praefix, t);
      return t;
    };
  }
  const Smartfill::Tastenergebnis r =
      m_smartfill.TasteGedrueckt(text.at(0), feld->Wert(), cursor, index == 0, anwendbar && bool(suche), suche);
  if (r.opKontoNrLeeren) m_opKontoNr->clear();
  if (r.gefunden) {
    feld->WertSetzen(r.text);
    feld->AuswahlSetzen(r.cursor, r.markierungLaenge);
  }
  return r.tasteVerwerfen;
}

void FormularZahlung::MaskeBetreten(int index) {
  MaskenFeld* feld = m_maske[size_t(index)];
  const int laenge = feld->text().size();
  if (index == 5) {
    feld->CaretSetzen(laenge);
  } else if (index == 4 && feld->IbanBlock()) {
    feld->CaretSetzen(laenge);
  } else {
    feld->AuswahlSetzen(0, laenge);
  }
  m_smartfill.FeldBetreten();
}

void FormularZahlung::MaskeVerlassen(int index) {
  MaskenFeld* feld = m_maske[size_t(index)];
  if (index == 0 || index == 3) {
    const auto werte = m_smartfill.Uebernahme(feld->Wert(), SmartfillAnwendbar(index));
    if (werte && index == 0) {
      UebernahmeAnwenden(UebernahmeAusAdresse(*werte, m_transportfelder, Zustand().AdressQuelle().AdressNrFeld,
                                              m_zustand.AktuelleZahlart()));
    } else if (werte && index == 3) {
      const QString bank = werte->value(QStringLiteral("Bank")).toString().trimmed();
      if (!bank.isEmpty()) m_maske[2]->WertSetzen(bank);
    }
  }
  if (m_zustand.Einstellungen().optischeFehlerKontrolle && m_zustand.EingabeModus() && !feld->isReadOnly() &&
      feld->isEnabled()) {
    const FeldGueltigkeit g = FelderPruefen(FelderLesen(), m_zustand.IstLastschrift(), Uhr::Heute());
    const std::array<bool, 6> gueltig = {g.name, g.mandatReferenz, true, g.bic, g.iban, g.verwendungszweck};
    feld->GueltigkeitAnzeigen(gueltig[size_t(index)]);
  }
  m_smartfill.FeldVerlassen();
}

void FormularZahlung::SuchlisteOeffnen(int index, bool suchfeld) {
  int modus = 0;
  QString suchspalte;
  if (index == 0) {
    modus = 2;
    suchspalte = m_transportfelder.value(1);
  } else if (index == 2) {
    modus = 1;
    suchspalte = QStringLiteral("Bank");
  } else if (index == 3) {
    modus = 1;
    suchspalte = QStringLiteral("BIC");
  } else {
    return;  // mandate reference, IBAN and line text have no list
  }
  MaskenFeld* feld = m_maske[size_t(index)];
  if (feld->isReadOnly()) return;
  Suchkriterium kriterium;
  kriterium.feld = suchspalte;
  kriterium.wert = feld->Wert();
  QVariantList werte;
  bool gewaehlt = false;
  if (m_suchliste) {
    gewaehlt = m_suchliste(modus, Bedingung{}, kriterium, suchfeld, werte);
  } else {
    SuchlisteF4 liste(this);
    if (liste.Daten(font(), suchfeld, Bedingung{}, kriterium, modus)) {
      liste.exec();
      gewaehlt = !liste.Rueckwert(werte);
    }
  }
  if (gewaehlt) {
    if (modus == 1) {
      if (werte.size() > 1 && !werte.at(1).isNull()) m_maske[3]->WertSetzen(werte.at(1).toString());
      if (werte.size() > 2 && !werte.at(2).isNull()) m_maske[2]->WertSetzen(werte.at(2).toString());
    } else {
      UebernahmeAnwenden(UebernahmeAusSuchliste(werte, m_zustand.AktuelleZahlart()));
      OPListeLaden();
    }
  }
  feld->setFocus();
}

void FormularZahlung::UebernahmeAnwenden(const Empfaengeruebernahme& u) {
  if (u.opKontoNrLeeren) m_opKontoNr->clear();
  if (u.name) m_maske[0]->WertSetzen(*u.name);
  if (u.bank) m_maske[2]->WertSetzen(*u.bank);
  if (u.bic) m_maske[3]->WertSetzen(*u.bic);
  if (u.iban) m_maske[4]->WertSetzen(*u.iban);
  if (u.mandatReferenz) m_maske[1]->WertSetzen(*u.mandatReferenz);
  if (u.mandatDatum) m_mandatDatum->WertSetzen(*u.mandatDatum);
  if (u.opKontoNr) m_opKontoNr->setText(*u.opKontoNr);
  if (u.sequenzText && m_db) {
    Datenbank* db = m_db;
    const SequenzAufloesung a = MandatSequenzAufloesen(
        *u.sequenzText, m_zustand.AktuelleZahlart(), m_opKontoNr->text(), m_maske[1]->Wert(),
        [db](const QString& konto, const QString& referenz, int code, DbFehler& fehler) {
          return MandatSequenzVorhanden(*db, konto, referenz, code, fehler);
        });
    if (a.fehler) Meldung::Zeigen(a.Meldungstext(), MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, ZahlungsformularTitel(), this);
    if (a.index) m_sequenz->WertSetzen(*a.index);
  }
  if (u.opKontoNr) OPListeLaden();
}

// ---------------------------------------------------------------------------------------------
// Line grid

void FormularZahlung::ZeileVorSpalte(int spalte, const QVariant& /*alt*/, QVariant& wert, bool& abbrechen) {
  if (!m_zustand.AnzeigeBereit() || !m_zeilen) return;
  abbrechen = false;
  const QString feld = m_zeilengitter->Spalte(spalte).feld;
  const Zeilenvorlagen& vorlagen = m_zustand.Einstellungen().vorlagen;
  if (const auto betragsspalte = AlsBetragsSpalte(feld)) {
    ZeilenBetraege z;
    z.opBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("OPBetrag")));
    z.skontoBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("SkontoBetrag")));
    z.zahlungsBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("ZahlungsBetrag")));
    BetragEingeben(z, *betragsspalte, WaehrungAusWert(wert));
    const std::array<std::pair<BetragsSpalte, std::optional<Waehrung>>, 3> werte = {
        std::pair{BetragsSpalte::OPBetrag, z.opBetrag}, std::pair{BetragsSpalte::SkontoBetrag, z.skontoBetrag},
        std::pair{BetragsSpalte::ZahlungsBetrag, z.zahlungsBetrag}};
    for (const auto& [s, w] : werte) {
      if (s == *betragsspalte) wert = WertAusWaehrung(w);
      else m_zeilengitter->PufferwertSetzen(BetragsSpaltenFeld(s), WertAusWaehrung(w));
    }
  } else if (feld == QStringLiteral("OPVorgangNr")) {
    const QString nr = wert.toString();
    if (m_zeilengitter->DropDown(spalte) == m_opListe && !nr.isEmpty() &&
        m_opListe->Wert(QStringLiteral("VorgangsNr")).toString() == nr) {
      OffenerPosten p;
      p.vorgangsNr = nr;
      p.art = m_opListe->Wert(QStringLiteral("Art")).toString();
      p.vom = DatumAusWert(m_opListe->Wert(QStringLiteral("Vom")));
      p.faellig = DatumAusWert(m_opListe->Wert(QStringLiteral("Fällig")));
      p.betrag = WaehrungAusWert(m_opListe->Wert(QStringLiteral("Betrag")));
      const QVariant rest = m_opListe->Wert(QStringLiteral("Rest"));
      p.rest = WaehrungAusWert(rest.isNull() ? m_opListe->Wert(QStringLiteral("Rest2")) : rest);
      if (Zustand().AdressQuelle().OPArtFeld.isEmpty() && p.rest && p.rest->IstNegativ()) p.rest = -*p.rest;
      const OPZeilenwerte w =
          OffenenPostenUebernehmen(p, vorlagen, Zustand().Optionen().AutoVerwRgDatumKurzFormat, m_zeilenBreite);
      m_zeilengitter->PufferwertSetzen(QStringLiteral("Vorgangsdatum"), WertAusDatum(w.vorgangsdatum));
      m_zeilengitter->PufferwertSetzen(QStringLiteral("OPVorgangsArt"), WertAusText(w.opVorgangsArt));
      m_zeilengitter->PufferwertSetzen(QStringLiteral("OPBetrag"), WertAusWaehrung(w.betraege.opBetrag));
      m_zeilengitter->PufferwertSetzen(QStringLiteral("SkontoBetrag"), WertAusWaehrung(w.betraege.skontoBetrag));
      m_zeilengitter->PufferwertSetzen(QStringLiteral("ZahlungsBetrag"), WertAusWaehrung(w.betraege.zahlungsBetrag));
      m_zeilengitter->PufferwertSetzen(QStringLiteral("Verwendungszweck"), WertAusText(w.verwendungszweck));
    } else if (!m_zeilengitter->DropDown(spalte)) {
      const auto text = TextAusVorgangsNr(nr, TextAusWert(m_zeilen->Feld(QStringLiteral("Verwendungszweck"))), vorlagen);
      if (text) m_zeilengitter->PufferwertSetzen(QStringLiteral("Verwendungszweck"), *text);
    }
  } else if (feld == QStringLiteral("Vorgangsdatum")) {
    const int nrSpalte = m_zeilengitter->SpaltenIndex(QStringLiteral("OPVorgangNr"));
    const auto datum = DatumAusWert(wert);
    if (datum && !m_zeilengitter->DropDown(nrSpalte)) {
      const QString text = TextAusWert(m_zeilen->Feld(QStringLiteral("Verwendungszweck")));
      m_zeilengitter->PufferwertSetzen(QStringLiteral("Verwendungszweck"), TextMitVorgangsdatum(text, DatumFeld::Text(*datum)));
    }
  }
  m_zustand.ZeilenGeaendertSetzen(true);
}

void FormularZahlung::ZeileVorSpeichern(bool& abbrechen) {
  if (!m_zustand.AnzeigeBereit() || !m_zeilen || !m_db) return;
  Verwendungszweckzeile z;
  const QVariant lfd = m_zeilen->Feld(QStringLiteral("LfdNr"));
  if (m_zeilen->EditMode() != EditModus::Neu && !lfd.isNull()) z.lfdNr = lfd.toLongLong();
  z.zahlungNr = m_aktuelleNr.value_or(-1);
  z.zeilenNr = int(m_zeilen->Ganzzahl(QStringLiteral("ZeilenNr")));
  z.verwendungszweck = m_zeilen->Text(QStringLiteral("Verwendungszweck"));
  z.opVorgangNr = m_zeilen->Text(QStringLiteral("OPVorgangNr"));
  z.vorgangsdatum = DatumAusWert(m_zeilen->Feld(QStringLiteral("Vorgangsdatum")));
  z.opVorgangsArt = m_zeilen->Text(QStringLiteral("OPVorgangsArt"));
  z.betraege.opBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("OPBetrag")));
  z.betraege.skontoBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("SkontoBetrag")));
  z.betraege.zahlungsBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("ZahlungsBetrag")));
  // The core stores the line (limit, numbering, cleaning); the grid's own write is not needed.
  const ZeilenErgebnis r = ZeileSpeichern(*m_db, z);
  switch (r.art) {
    case ZeilenErgebnis::Art::Gespeichert:
      m_zeilengitter->ZeileVerwerfen();
      m_zustand.ZeilenGeaendertSetzen(true);
      NachZeilenaenderung();
      return;
    case ZeilenErgebnis::Art::Abgelehnt:
      Meldung::Zeigen(r.meldung, MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
      if (r.fokusAufText) {
        m_zeilengitter->SetzeAktuelleSpalte(m_zeilengitter->SpaltenIndex(QStringLiteral("Verwendungszweck")));
        abbrechen = true;  // the row stays in editing
      } else {
        m_zeilengitter->ZeileVerwerfen();  // a sixth line: the input is dropped
      }
      return;
    case ZeilenErgebnis::Art::Fehler:
      Meldung::Zeigen(r.meldung, MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
      abbrechen = true;
      return;
  }
}

void FormularZahlung::ZeilengitterTaste(GitterTaste& t) {
  if (t.imFilter) return;
  DatenGitter* g = m_zeilengitter;
  if (g->DropDownOffen()) return;  // Esc and Enter belong to the open list
  const int spalte = g->AktuelleSpalte();
  const QString feld = spalte >= 0 && spalte < g->SpaltenAnzahl() ? g->Spalte(spalte).feld : QString();
  const bool ohneModifikator = !(t.modifikatoren & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
  switch (t.taste) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
      // A filled cell is opened for editing instead of leaving it: caret at the start (Left) or the end (Right).
      if (t.imEditor || !ohneModifikator || ZeilenEditor() || spalte < 0 || g->AktuelleZeile() < 0) return;
      if (g->ZellText(g->AktuelleZeile(), spalte).isEmpty()) return;
      if (!g->ZelleBearbeiten()) return;
      if (QLineEdit* editor = ZeilenEditor())
        editor->setCursorPosition(t.taste == Qt::Key_Left ? 0 : int(editor->text().size()));
      t.geschluckt = true;
      return;
    }
    case Qt::Key_Escape:
      if (t.imEditor) return;
      if (g->ZeileAusstehend()) {
        g->ZeileVerwerfen();
      } else if (g->MarkierungsStil() == DatenGitter::Markierungsstil::SchwebenderEditor) {
        // From typing into lines back to selecting them; the empty new row is left for the last stored line.
        int zeile = g->AktuelleZeile();
        if (zeile >= 0 && g->IstNeueZeile(zeile)) zeile = g->ZeilenAnzahl() - 1;
        g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::Zeilenauswahl);
        if (zeile >= 0) g->SetzeAktuelleZelle(zeile, std::max(0, spalte));
        ZeilengitterStatusAktualisieren();
      } else {
        BefehlAusfuehren(Zahlungsbefehl::Schliessen);
      }
      t.geschluckt = true;
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      if (!m_zustand.EingabeModus()) return;
      if (g->MarkierungsStil() == DatenGitter::Markierungsstil::Zeilenauswahl) {
        // From selecting lines to typing into them, starting at the item number when it is shown.
        const int nr = g->SpaltenIndex(QStringLiteral("OPVorgangNr"));
        const int ziel = nr >= 0 && g->SpalteSichtbar(nr) ? nr : g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
        g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::SchwebenderEditor);
        if (g->AktuelleZeile() >= 0) g->SetzeAktuelleZelle(g->AktuelleZeile(), ziel);
        else g->SetzeAktuelleZelle(0, ziel);
        ZeilengitterStatusAktualisieren();
        t.geschluckt = true;
        return;
      }
      const int sf = m_zustand.Einstellungen().speicherfeld;
      const bool neueZeile = g->AktuelleZeile() >= 0 && g->IstNeueZeile(g->AktuelleZeile()) && !g->ZeileAusstehend();
      const bool op = feld == QStringLiteral("OPBetrag");
      const bool zahlung = feld == QStringLiteral("ZahlungsBetrag");
      if ((neueZeile && ((sf == 4 && op) || (sf == 5 && zahlung))) || (!neueZeile && ((sf == 2 && op) || (sf == 3 && zahlung)))) {
        t.geschluckt = true;
        // What was typed into the cell goes into the line first; a refused line keeps the payment open.
        if (!ZeilenEditorUebernehmen()) return;
        if (g->ZeileAusstehend() && !g->ZeileSpeichern()) return;
        BefehlAusfuehren(Zahlungsbefehl::Neu);
        return;
      }
      // The last column of the empty new row: Enter leaves the lines like Tab.
      if (neueZeile && !t.imEditor && spalte >= 0 && spalte == LetzteSichtbareSpalte(*g)) {
        TabTasteSenden(g->Ansicht());
        t.geschluckt = true;
      }
      return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (t.imEditor && ohneModifikator && ZeilenEditorPfeil(spalte, t.taste == Qt::Key_Up)) t.geschluckt = true;
      return;
    case Qt::Key_Delete:
      // Several selected lines go together; a single one is the grid's own delete.
      if (t.imEditor || !m_zustand.EingabeModus() || g->MarkierungsStil() != DatenGitter::Markierungsstil::Zeilenauswahl)
        return;
      if (g->AusgewaehlteZeilen().size() < 2) return;
      AusgewaehlteZeilenLoeschen();
      t.geschluckt = true;
      return;
    case Qt::Key_F6: {
      const int zeile = g->AktuelleZeile();
      if (!g->ZulassenNeu() || zeile <= 0 || spalte < 0) return;
      g->ZellwertSetzen(spalte, g->Wert(zeile - 1, spalte));
      t.geschluckt = true;
      return;
    }
    default: return;
  }
}

bool FormularZahlung::ZeilenEditorPfeil(int spalte, bool hoch) {
  // "AufAbPfeilVerwenden": up and down change the value in the amount and date editors, as in the
  // fields outside the grid; without it they go to the grid, which moves between the lines.
  if (!m_zustand.Einstellungen().aufAbPfeilVerwenden || spalte < 0 || spalte >= m_zeilengitter->SpaltenAnzahl())
    return false;
  QLineEdit* editor = ZeilenEditor();
  if (!editor) return false;
  const GitterSpalte& s = m_zeilengitter->Spalte(spalte);
  switch (s.editor) {
    case GitterEditor::Zahl: {
      const QString text = editor->text().trimmed();
      const std::optional<Waehrung> wert = text.isEmpty() ? Waehrung() : Waehrung::ParseDeutsch(text);
      if (!wert) return true;  // an unreadable text stays for the user to correct
      const Waehrung neu = *wert + (hoch ? Waehrung::AusEuro(1) : -Waehrung::AusEuro(1));
      editor->setText(GitterFormatierung::Bearbeitung(QVariant::fromValue(neu), FeldTyp::Waehrung, GitterEditor::Zahl));
      editor->setModified(true);
      editor->selectAll();
      return true;
    }
    case GitterEditor::Datum: {
      // One day on or back; an empty or incomplete date stays as it is. The key is used up either way.
      if (const auto d = GitterFormatierung::DatumLesen(editor->text())) {
        editor->setText(DatumFeld::Text(d->addDays(hoch ? 1 : -1)));
        editor->setModified(true);
      }
      return true;
    }
    case GitterEditor::Text: return false;
  }
  return false;
}

bool FormularZahlung::ZeilenEditorUebernehmen() {
  // The open editor's text into the line, through the column events (amount rules, open items).
  QLineEdit* editor = ZeilenEditor();
  if (!editor || !editor->isModified()) return true;
  QAbstractItemView* v = m_zeilengitter->Ansicht();
  v->itemDelegate()->setModelData(editor, v->model(), v->currentIndex());
  // A text the column cannot read stays in the editor (the grid has said why).
  return !editor->isModified();
}

void FormularZahlung::AusgewaehlteZeilenLoeschen() {
  DatenGitter* g = m_zeilengitter;
  if (!m_db) return;
  if (g->ZeileAusstehend()) g->ZeileVerwerfen();
  QList<qint64> nummern;
  for (int zeile : g->AusgewaehlteZeilen()) {
    const QVariant lfd = g->Wert(zeile, QStringLiteral("LfdNr"));
    if (!lfd.isNull()) nummern << lfd.toLongLong();
  }
  if (nummern.isEmpty()) return;
  // All in one transaction; the sums then renumber the rest and carry the total.
  const DbFehler f = ZeilenLoeschen(*m_db, nummern);
  if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!"), f);
  else m_zustand.ZeilenGeaendertSetzen(true);
  g->Ansicht()->clearSelection();
  NachZeilenaenderung();
  if (g->AktuelleZeile() >= 0) g->SetzeAktuelleZelle(g->AktuelleZeile(), std::max(0, g->AktuelleSpalte()));
}

QLineEdit* FormularZahlung::ZeilenEditor() const {
  // The cell editor is a line edit on the grid's viewport; closed ones are hidden until deleted.
  const auto editoren = m_zeilengitter->Ansicht()->viewport()->findChildren<QLineEdit*>();
  for (auto it = editoren.rbegin(); it != editoren.rend(); ++it)
    if (!(*it)->isHidden() && (*it)->property("gitterEditor").isValid()) return *it;
  return nullptr;
}

QString FormularZahlung::ZeilengitterStatustext() const {
  const DatenGitter* g = m_zeilengitter;
  if (!m_zustand.EingabeModus()) return QStringLiteral("Diese Einzelzeilen sind für die Zahlung vorhanden");
  const int spalte = g->AktuelleSpalte();
  if (spalte < 0 || spalte >= g->SpaltenAnzahl()) return QStringLiteral("Eingabefeld: ");
  QString text = QStringLiteral("Eingabefeld: ") + g->Spalte(spalte).titel;
  // F4 opens the open-item list where one is attached.
  if (g->DropDown(spalte)) text += QStringLiteral(" Auswahlliste<F4>");
  return text;
}

void FormularZahlung::ZeilengitterStatusAktualisieren() {
  const QString text = ZeilengitterStatustext();
  // The status line takes a control's status tip when it gets the focus.
  m_zeilengitter->Ansicht()->setStatusTip(text);
  QWidget* fokus = QApplication::focusWidget();
  if (fokus && (fokus == m_zeilengitter || m_zeilengitter->isAncestorOf(fokus))) StatusSetzen(text);
}

// ---------------------------------------------------------------------------------------------
// Browse grid keys

void FormularZahlung::BrowseTasteRunter(GitterTaste& t) {
  BrowseGitterKontext k;
  k.imFilterbalken = t.imFilter;
  k.filterbalkenSichtbar = m_browse->Filterleiste();
  const Tastenaktion a = BrowseGitterTasteGedrueckt(t.taste, k);
  if (a.befehl == Zahlungsbefehl::Keiner) return;
  if (t.modifikatoren & (Qt::ControlModifier | Qt::AltModifier)) return;
  BefehlAusfuehren(a.befehl);
  t.geschluckt = a.verbraucht;
}

void FormularZahlung::BrowseTasteHoch(GitterTaste& t) {
  BrowseGitterKontext k;
  k.imFilterbalken = t.imFilter;
  k.filterbalkenSichtbar = m_browse->Filterleiste();
  const Tastenaktion a = BrowseGitterTasteLosgelassen(t.taste, k);
  if (a.befehl == Zahlungsbefehl::Keiner) return;
  BefehlAusfuehren(a.befehl);
  t.geschluckt = a.verbraucht;
}
