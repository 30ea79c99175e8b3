#include "import/ImportForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <iterator>
#include <utility>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "zahlungsverkehr/Textschluessel.h"
#include "common/Uhr.h"
#include "import/core/ImportEinstellungen.h"
#include "import/core/ImportLauf.h"
#include "import/core/ImportVorgang.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/ZweispaltenCombo.h"

namespace {

const QString kFensterAbschnitt = QStringLiteral("Import State");
const QString kDateneingabe = QStringLiteral("Dateneingabe -->");

// Caption and tool tip of each check box, in the order of ImportForm::Kasten.
struct Kastenentwurf {
  const char* name;
  const char* text;
  const char* tipp;
};
const Kastenentwurf kKaesten[] = {
    {"KleinBetrag", "Kleinbe&träge auslassen", "Einstellung, ob Kleinbeträge unter 1 EUR weggelassen werden sollen"},
    {"DiverseKonten", "&Ohne Diverse-Konten", "Kunden mit 'diverse' im Suchnamen ausblenden"},
    {"NurmitKontoNr", "Nur mit Bank-Konto-Nr",
     "Vorgänge nur mit hinterlegter, vorhandener Bank-Konto-Nr oder IBAN (bei Adressdaten) übernehmen"},
    {"OhneNegativSummen", "Ohne Negativ-Summen", "Konten ausblenden, deren OP-Summen einen Minus-Betrag ergeben"},
    {"OhneOPmehrals5Zeilen", "OP's aus mehr als 5 Einzelzeilen ausblenden",
     "Konten ausblenden, die mehr als 5 OP-Vorgänge aufweisen"},
    {"MaximalSkonto", "&Mit Maximal-Skonto", "Den Skonto-Satz der Adresse abziehen"},
    {"SkontoPositiv", "&Skonto nur positiv", "Skonto nur bei Rechnungen, nicht bei Gutschriften und Anzahlungen"},
    {"Prüfung", "&Prüfung auf Doppel-Zahlung", "Vor der Übernahme prüfen, ob der Vorgang schon in den Zahlungen steht"},
    {"LieferantenKundenNr", "K&unden-Nr einsetzen", "Die eigene Kunden-Nr beim Empfänger als Verwendungszweck-Zeile anfügen"},
    {"FehlEingaben", "Fe&hl-Angaben abfragen", "Fehlende oder falsche Pflichtangaben bei der Übernahme abfragen"},
    {"FehlerNichtSpeichern", "Bei Fehlern nicht speichern", "Zahlungen mit fehlerhaften Angaben nicht speichern"},
    {"FälligEintragen", "Fälligkeit eintragen", "Das Fällig-Datum des Vorgangs in die Zahlung eintragen"},
};

// The setting each check box shows and keeps.
constexpr std::pair<ImportForm::Kasten, bool ImportEinstellungen::*> kKastenwerte[] = {
    {ImportForm::Kasten::KleinBetrag, &ImportEinstellungen::kleinBetrag},
    {ImportForm::Kasten::DiverseKonten, &ImportEinstellungen::ohneDiverse},
    {ImportForm::Kasten::NurmitKontoNr, &ImportEinstellungen::nurMitBankKontoNr},
    {ImportForm::Kasten::OhneNegativSummen, &ImportEinstellungen::ohneNegativSummen},
    {ImportForm::Kasten::OhneOPmehrals5Zeilen, &ImportEinstellungen::ohneOPMehrAls5Zeilen},
    {ImportForm::Kasten::MaximalSkonto, &ImportEinstellungen::maximalSkonto},
    {ImportForm::Kasten::SkontoPositiv, &ImportEinstellungen::skontoNurPositiv},
    {ImportForm::Kasten::Pruefung, &ImportEinstellungen::pruefung},
    {ImportForm::Kasten::LieferantenKundenNr, &ImportEinstellungen::lieferantenKundenNr},
    {ImportForm::Kasten::FehlEingaben, &ImportEinstellungen::fehlEingaben},
    {ImportForm::Kasten::FehlerNichtSpeichern, &ImportEinstellungen::fehlerNichtSpeichern},
    {ImportForm::Kasten::FaelligEintragen, &ImportEinstellungen::faelligEintragen},
};
static_assert(std::size(kKastenwerte) == size_t(ImportForm::Kasten::Anzahl));
// The same for the three mandate options, in their order.
constexpr bool ImportEinstellungen::* kMandatwerte[] = {&ImportEinstellungen::erstAufFolge,
                                                         &ImportEinstellungen::mandatDatumBelegen,
                                                         &ImportEinstellungen::mandatReferenzBelegen};

// The grid's columns: caption = result column, format.
struct Spaltenentwurf {
  const char* feld;
  GitterFormat format;
  int breite;
};
const Spaltenentwurf kSpalten[] = {
    {"OPKontoNr", GitterFormat::Allgemein, 80},   {"Suchname", GitterFormat::Allgemein, 150},
    {"VorgangsNr", GitterFormat::Allgemein, 100}, {"Art", GitterFormat::Allgemein, 40},
    {"Vom", GitterFormat::KurzesDatum, 85},       {"Fällig", GitterFormat::KurzesDatum, 85},
    {"Betrag", GitterFormat::Standard, 90},       {"Rest", GitterFormat::Standard, 90},
    {"Buchungsliste", GitterFormat::Allgemein, 100},
};

QLabel* Beschriftung(const QString& text, QWidget* feld, QWidget* eltern) {
  auto* label = new QLabel(text, eltern);
  label->setBuddy(feld);
  return label;
}

// The questions of the run as message and input boxes of the window.
class FensterFrager : public ImportFrager {
 public:
  explicit FensterFrager(QWidget* fenster) : m_fenster(fenster) {}
  bool DubletteUebernehmen(const QString& text) override {
    return Meldung::Frage(text, QStringLiteral("Zahlungsimport"), m_fenster);
  }
  QString PflichtfeldAbfragen(const QString& aufforderung) override {
    return Meldung::Eingabe(aufforderung, m_fenster->windowTitle(), {}, m_fenster);
  }

 private:
  QWidget* m_fenster;
};

}  // namespace

ImportForm::ImportForm(const ImportAufruf& aufruf, QWidget* eltern) : QDialog(eltern), m_aufruf(aufruf) {
  setObjectName(QStringLiteral("ImportForm"));
  setWindowTitle(QStringLiteral("Import aus Tamo-Programmen"));
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Import")));
  Aufbauen();
  Laden();
}

ImportForm::~ImportForm() { m_grid->SetzeRecordset(nullptr); }

void ImportForm::Aufbauen() {
  // Suppliers or customers with their purpose code.
  auto* aktionRahmen = new QGroupBox(QStringLiteral("Vorgänge"), this);
  m_aktion = new OptionsGruppe({}, {QStringLiteral("&Lieferanten mit Textschlüssel:"), QStringLiteral("&Kunden mit Textschlüssel:")},
                               aktionRahmen);
  m_aktion->setObjectName(QStringLiteral("Aktion"));
  m_aktion->setFlat(true);
  auto* schluessel = new QVBoxLayout;
  const char* schluesselTipps[] = {"Textschlüssel für Lieferanten-Vorgänge", "Textschlüssel für Kunden-Vorgänge"};
  const char* arten[] = {"G", "L"};
  for (int i = 0; i < 2; ++i) {
    ZweispaltenCombo* c = m_textschluessel[size_t(i)] = new ZweispaltenCombo(aktionRahmen);
    c->setObjectName(QStringLiteral("TDBMask1_%1").arg(i));
    c->setToolTip(QString::fromUtf8(schluesselTipps[i]));
    c->UeberschriftenSetzen(QStringLiteral("Code"), QStringLiteral("Bedeutung"));
    QList<QPair<QString, QString>> zeilen{{QString(), QStringLiteral("Ohne Textschlüssel")}};
    for (const TextschluesselEintrag& t : TextschluesselListe(QString::fromUtf8(arten[i]))) zeilen.append({t.schluessel, t.bedeutung});
    c->ZeilenSetzen(zeilen);
    schluessel->addWidget(c);
  }
  auto* aktionLayout = new QHBoxLayout(aktionRahmen);
  aktionLayout->addWidget(m_aktion);
  aktionLayout->addLayout(schluessel);
  connect(m_aktion, &OptionsGruppe::Geklickt, this, &ImportForm::AktionGeklickt);

  // Ranges.
  auto* bereich = new QGroupBox(QStringLiteral("Bereich"), this);
  auto* bereichForm = new QFormLayout(bereich);
  const char* kontoTexte[] = {"&Von Konto-Nr", "&Bis Konto-Nr"};
  const char* kontoTipps[] = {"Selektion von welcher Konto(Kunden)-Nr", "Selektion bis zu welcher Konto(Kunden)-Nr"};
  for (int i = 0; i < 2; ++i) {
    m_konto[size_t(i)] = new MaskenFeld(bereich);
    m_konto[size_t(i)]->setObjectName(QStringLiteral("TDBMask1_%1").arg(i + 2));
    m_konto[size_t(i)]->setToolTip(QString::fromUtf8(kontoTipps[i]));
    m_konto[size_t(i)]->MaxLaengeSetzen(10);
    m_konto[size_t(i)]->installEventFilter(this);
    bereichForm->addRow(Beschriftung(QString::fromUtf8(kontoTexte[i]), m_konto[size_t(i)], bereich), m_konto[size_t(i)]);
  }
  const char* datumTexte[] = {"Von &Fällig", "Bis Fällig"};
  const char* datumTipps[] = {"Selektion von welchem Fälligkeitstag", "Selektion bis zu welchem Fälligkeitstag"};
  for (int i = 0; i < 3; ++i) {
    m_tdbDate1[size_t(i)] = new DatumFeld(this);
    m_tdbDate1[size_t(i)]->setObjectName(QStringLiteral("TDBDate1_%1").arg(i));
  }
  for (int i = 0; i < 2; ++i) {
    m_tdbDate1[size_t(i)]->setToolTip(QString::fromUtf8(datumTipps[i]));
    m_tdbDate1[size_t(i)]->installEventFilter(this);
    bereichForm->addRow(Beschriftung(QString::fromUtf8(datumTexte[i]), m_tdbDate1[size_t(i)], bereich), m_tdbDate1[size_t(i)]);
  }

  // Check boxes: what narrows the list, and what the run does.
  auto* auswahl = new QGroupBox(QStringLiteral("Auswahl"), this);
  auto* auswahlLayout = new QVBoxLayout(auswahl);
  auto* uebernahme = new QGroupBox(QStringLiteral("Übernahme"), this);
  auto* uebernahmeLayout = new QVBoxLayout(uebernahme);
  for (size_t i = 0; i < m_kaesten.size(); ++i) {
    const bool selektiert = i <= size_t(Kasten::OhneOPmehrals5Zeilen);
    auto* k = new QCheckBox(QString::fromUtf8(kKaesten[i].text), selektiert ? auswahl : uebernahme);
    k->setObjectName(QString::fromUtf8(kKaesten[i].name));
    k->setToolTip(QString::fromUtf8(kKaesten[i].tipp));
    (selektiert ? auswahlLayout : uebernahmeLayout)->addWidget(k);
    m_kaesten[i] = k;
    if (selektiert)
      connect(k, &QCheckBox::toggled, this, [this] {
        if (m_bereit) VorgaengeSelektieren();
      });
  }
  auswahlLayout->addStretch(1);

  // Mandate options.
  auto* mandat = new QGroupBox(QStringLiteral("Optionen für Lastschrift-Mandate"), this);
  auto* mandatRaster = new QGridLayout(mandat);
  const char* mandatTexte[] = {"Erst-Einzug auf Folge-Einzug ändern", "Fehlendes Mandat-Datum belegen mit",
                               "Fehlende Mandat-Referenz belegen mit"};
  for (int i = 0; i < 3; ++i) {
    m_lastschriftOption[size_t(i)] = new QCheckBox(QString::fromUtf8(mandatTexte[i]), mandat);
    m_lastschriftOption[size_t(i)]->setObjectName(QStringLiteral("LastschriftOption_%1").arg(i));
  }
  const char* comboTipps[] = {"Datenfeld bei einem fehlenden Mandat-Datum",
                              "Datenfeld bei einer fehlenden Mandat-Referenz evtl. zusätzlich mit einer Dateneingabe"};
  for (int i = 0; i < 2; ++i) {
    m_combo1[size_t(i)] = new QComboBox(mandat);
    m_combo1[size_t(i)]->setObjectName(QStringLiteral("Combo1_%1").arg(i));
    m_combo1[size_t(i)]->setToolTip(QString::fromUtf8(comboTipps[i]));
    m_combo1[size_t(i)]->addItem(kDateneingabe);
  }
  m_tdbDate1[2]->setParent(mandat);
  m_tdbDate1[2]->setToolTip(QStringLiteral("Fixdatum für ein fehlendes Mandat-Datum"));
  m_tdbText2 = new QLineEdit(mandat);
  m_tdbText2->setObjectName(QStringLiteral("TDBText2"));
  m_tdbText2->setToolTip(
      QStringLiteral("Fixtext für ein fehlende Mandat-Referenz, kann mit einem Datenfeld kombiniert werden"));
  mandatRaster->addWidget(m_lastschriftOption[0], 0, 0, 1, 3);
  mandatRaster->addWidget(m_lastschriftOption[1], 1, 0);
  mandatRaster->addWidget(m_combo1[0], 1, 1);
  mandatRaster->addWidget(m_tdbDate1[2], 1, 2);
  mandatRaster->addWidget(m_lastschriftOption[2], 2, 0);
  mandatRaster->addWidget(m_combo1[1], 2, 1);
  mandatRaster->addWidget(m_tdbText2, 2, 2);

  // Template and marking mode.
  m_tdbText1 = new QLineEdit(this);
  m_tdbText1->setObjectName(QStringLiteral("TDBText1"));
  m_tdbText1->setToolTip(QStringLiteral("Schablone für automatischen Verwendungszweck"));
  m_selektionOption = new OptionsGruppe(QString(), {QStringLiteral("&Nur markierte Vorgänge"), QStringLiteral("&Alle Vorgänge")},
                                        this, Qt::Horizontal);
  m_selektionOption->setObjectName(QStringLiteral("Selektion"));
  connect(m_selektionOption, &OptionsGruppe::Geklickt, this, &ImportForm::SelektionGeklickt);

  // Grid.
  m_grid = new DatenGitter(this);
  m_grid->setObjectName(QStringLiteral("TDBGrid1"));
  SpaltenAnlegen();

  // Buttons: Command1(0) "Schließen" ... (3) "&Daten übernehmen". No default button.
  const char* knopfTexte[] = {"Schließen", "All&es markieren", "Markie&rung aufheben", "&Daten übernehmen"};
  for (int i = 0; i < 4; ++i) {
    m_command1[size_t(i)] = new QPushButton(QString::fromUtf8(knopfTexte[i]), this);
    m_command1[size_t(i)]->setObjectName(QStringLiteral("Command1_%1").arg(i));
    m_command1[size_t(i)]->setAutoDefault(false);
    m_command1[size_t(i)]->setDefault(false);
  }
  m_command1[3]->setEnabled(false);
  connect(m_command1[0], &QPushButton::clicked, this, &QDialog::reject);
  connect(m_command1[1], &QPushButton::clicked, this, &ImportForm::AllesMarkieren);
  connect(m_command1[2], &QPushButton::clicked, this, &ImportForm::MarkierungAufheben);
  connect(m_command1[3], &QPushButton::clicked, this, [this] { DatenUebernehmen(); });

  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("Status"));
  // A line of its own under the list: a longer text never widens the window, nor is it cut between the buttons.
  m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  // Layout.
  auto* oben = new QHBoxLayout;
  auto* links = new QVBoxLayout;
  links->addWidget(aktionRahmen);
  links->addWidget(bereich);
  oben->addLayout(links);
  oben->addWidget(auswahl);
  oben->addWidget(uebernahme);
  auto* vorlage = new QHBoxLayout;
  vorlage->addWidget(Beschriftung(QStringLiteral("Automatischer Verwendungs&zweck"), m_tdbText1, this));
  vorlage->addWidget(m_tdbText1, 1);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addWidget(m_selektionOption);
  knoepfe->addWidget(m_command1[1]);
  knoepfe->addWidget(m_command1[2]);
  knoepfe->addStretch(1);
  knoepfe->addWidget(m_command1[3]);
  knoepfe->addWidget(m_command1[0]);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(oben);
  layout->addWidget(mandat);
  layout->addLayout(vorlage);
  layout->addWidget(m_grid, 1);
  layout->addWidget(m_status);
  layout->addLayout(knoepfe);

  // Keys: F1 help at 830, Esc "Schließen", Enter to the next field (not in the filter bar).
  auto* tasten = new TastenVorschau(this);
  tasten->HilfeSetzen([this] {
    HilfeAnzeigen(HilfeKontext::Import, Zustand().HilfeOrdner(), this);
  });
  tasten->AbbrechenKnopfSetzen(m_command1[0]);
  tasten->EnterAusnahme(m_grid->Filter());
  resize(1000, 700);
}

void ImportForm::SpaltenAnlegen() {
  const bool mitArt = !Zustand().AdressQuelle().OPArtFeld.isEmpty();
  m_grid->SetzeSpaltenHalten(true);
  m_grid->SetzeZulassenAendern(false);
  m_grid->SetzeZulassenNeu(false);
  m_grid->SetzeZulassenLoeschen(false);
  m_grid->SetzeFilterleiste(true);
  m_grid->SetzeFilterTextMarkieren(true);
  m_grid->SetzeMarkierenPerDoppelklick(true);
  m_grid->SetzeMarkierenPerLeertaste(true);
  m_grid->SetzeMarkierenPerEcke(true);
  // The cursor shows as a cell, so that it cannot be taken for a marked row.
  m_grid->SetzeMarkierungsstil(DatenGitter::Markierungsstil::SchwebenderEditor);
  m_grid->SetzeSpaltenStrecken(true);
  for (const Spaltenentwurf& s : kSpalten) {
    const QString titel = QString::fromUtf8(s.feld);
    // A source without account kinds delivers the rest with the sign of the item.
    const QString feld = titel == QLatin1String("Rest") && !mitArt ? QStringLiteral("Rest2") : titel;
    const int spalte = m_grid->SpalteHinzufuegen(feld, titel);
    m_grid->SetzeSpaltenformat(spalte, s.format);
    m_grid->SetzeSpaltenbreite(spalte, s.breite);
    if (s.format == GitterFormat::Standard) m_grid->SetzeAusrichtung(spalte, Qt::AlignRight | Qt::AlignVCenter);
  }
  // Credit notes and down payments in red.
  m_grid->SetzeZellStil([this](int zeile, int, ZellStil& stil) {
    const QString art = m_grid->Wert(zeile, QStringLiteral("Art")).toString();
    if (art.endsWith(QLatin1Char('G')) || art.endsWith(QLatin1Char('A'))) stil.vordergrund = Farben::Rot();
  });
  m_grid->SetzeScrollTippText([this](int zeile) {
    return m_grid->Spalte(0).titel + QStringLiteral(": ") + m_grid->ZellText(zeile, 0) + QStringLiteral("  ") +
           m_grid->ZellText(zeile, 1);
  });
  // The filter bar searches the source's table fields; the selection runs with it.
  m_grid->SetzeFilterErsteller([](const std::vector<GitterFilterSpalte>& spalten, bool) {
    QList<QPair<QString, QString>> filter;
    for (const GitterFilterSpalte& s : spalten) filter.append({s.feld, s.text});
    return ImportSelektion::FilterBedingung(Zustand().AdressQuelle(), filter);
  });
  m_grid->SetzeFilterBehandlung([this](const Bedingung& filter, int) {
    m_filter = filter;
    VorgaengeSelektieren();
    return m_selektion.fehler;
  });
  connect(m_grid, &DatenGitter::MarkenGeaendert, this, &ImportForm::SchaltflaechenAktualisieren);
  connect(m_grid, &DatenGitter::ZeileSpalteGewechselt, this, [this](int alteZeile, int) {
    // In the mode "Nur markierte Vorgänge" every row the cursor reaches becomes marked.
    const int zeile = m_grid->AktuelleZeile();
    if (m_bereit && !m_binden && m_nurMarkierte && !m_grid->ImFilter() && zeile >= 0 && zeile != alteZeile)
      m_grid->MarkeSetzen(zeile);
  });
}

void ImportForm::Laden() {
  const Programmzustand& z = Zustand();
  const ImportEinstellungen e =
      ImportEinstellungen::Laden(z.AktuelleAbsenderNr(), z.Optionen().ImportAutoVerwendungJeAbsender);
  if (m_aufruf.schrift != QFont()) setFont(m_aufruf.schrift);
  m_textschluessel[0]->CodeSetzen(e.textschluesselLieferanten);
  m_textschluessel[1]->CodeSetzen(e.textschluesselKunden);
  for (const auto& [kasten, wert] : kKastenwerte) Option(kasten)->setChecked(e.*wert);
  for (size_t i = 0; i < m_lastschriftOption.size(); ++i) m_lastschriftOption[i]->setChecked(e.*kMandatwerte[i]);
  m_tdbDate1[2]->WertSetzen(e.fixdatum);
  m_tdbText2->setText(e.fixtext);

  // Suppliers or customers as the payment form shows credit transfers or direct debits; a source
  // without account kinds has customers only.
  if (!z.AdressQuelle().OPArtFeld.isEmpty()) {
    m_aktion->WertSetzen(m_aufruf.zahlart == Zahlart::Ueberweisung ? 0 : 1);
  } else {
    m_aktion->WertSetzen(1);
    m_aktion->Option(0)->setEnabled(false);
  }
  m_selektionOption->WertSetzen(e.nurMarkierte ? 0 : 1);
  m_tdbText1->setText(e.vorlage);
  m_combo1[0]->setProperty("gespeichert", e.datenfeldMandatDatum);
  m_combo1[1]->setProperty("gespeichert", e.datenfeldMandatReferenz);
  FensterpositionVerwalten(true, kFensterAbschnitt, this, 70, false);
}

ImportEinstellungen ImportForm::EinstellungenDesFensters() const {
  ImportEinstellungen e;
  e.textschluesselLieferanten = TextschluesselNormalisieren(m_textschluessel[0]->Code());
  e.textschluesselKunden = TextschluesselNormalisieren(m_textschluessel[1]->Code());
  for (const auto& [kasten, wert] : kKastenwerte) e.*wert = Option(kasten)->isChecked();
  for (size_t i = 0; i < m_lastschriftOption.size(); ++i) e.*kMandatwerte[i] = m_lastschriftOption[i]->isChecked();
  e.fixdatum = m_tdbDate1[2]->Wert();
  e.fixtext = m_tdbText2->text();
  e.nurMarkierte = m_nurMarkierte;
  e.vorlage = m_tdbText1->text();
  // The first entry "Dateneingabe -->" names no field. Before the first activation the lists are
  // not filled: what was stored stays.
  for (int i = 0; i < 2; ++i) {
    QComboBox* c = m_combo1[size_t(i)];
    const QString wert = m_bereit ? (c->currentIndex() > 0 ? c->currentText() : QString()) : c->property("gespeichert").toString();
    (i == 0 ? e.datenfeldMandatDatum : e.datenfeldMandatReferenz) = wert;
  }
  return e;
}

void ImportForm::Entladen() {
  if (m_entladen) return;
  m_entladen = true;
  const Programmzustand& z = Zustand();
  EinstellungenDesFensters().Speichern(z.AktuelleAbsenderNr(), z.Optionen().ImportAutoVerwendungJeAbsender);
  FensterpositionVerwalten(false, kFensterAbschnitt, this, 70, false);
}

void ImportForm::done(int ergebnis) {
  if (m_laeuft) return;  // the run closes the window itself
  Entladen();
  QDialog::done(ergebnis);
}

void ImportForm::showEvent(QShowEvent* ereignis) {
  QDialog::showEvent(ereignis);
  // After the window has been drawn.
  if (!m_bereit) QMetaObject::invokeMethod(this, &ImportForm::Aktivieren, Qt::QueuedConnection);
}

bool ImportForm::event(QEvent* ereignis) {
  if (ereignis->type() == QEvent::WindowActivate && !m_bereit && isVisible())
    QMetaObject::invokeMethod(this, &ImportForm::Aktivieren, Qt::QueuedConnection);
  return QDialog::event(ereignis);
}

bool ImportForm::eventFilter(QObject* objekt, QEvent* ereignis) {
  // The account and due-date ranges select again when they are left changed.
  QLineEdit* feld = nullptr;
  for (QLineEdit* f : {static_cast<QLineEdit*>(m_konto[0]), static_cast<QLineEdit*>(m_konto[1]),
                       static_cast<QLineEdit*>(m_tdbDate1[0]), static_cast<QLineEdit*>(m_tdbDate1[1])})
    if (objekt == f) feld = f;
  if (feld && ereignis->type() == QEvent::FocusIn) {
    m_fokusWert = feld->text();
  } else if (feld && ereignis->type() == QEvent::FocusOut) {
    const auto grund = static_cast<QFocusEvent*>(ereignis)->reason();
    // The calendar pop-up and a change of window are no leaving of the field.
    if (grund != Qt::PopupFocusReason && grund != Qt::ActiveWindowFocusReason) {
      if (auto* datum = qobject_cast<DatumFeld*>(feld)) datum->Uebernehmen();
      if (feld->text() != m_fokusWert) {
        m_fokusWert = feld->text();
        VorgaengeSelektieren();
      }
    }
  }
  return QDialog::eventFilter(objekt, ereignis);
}

void ImportForm::Aktivieren() {
  if (m_bereit) return;
  m_bereit = true;
  const Programmzustand& z = Zustand();
  m_grid->SetzeWechselndeZeilen(!z.Optionen().TabellenOhneZebramuster);
  m_grid->SetzeSchrift(font());
  // The designed widths as shares of the grid's width; they stretch with the window.
  std::vector<float> anteile;
  float summe = 0;
  for (const Spaltenentwurf& s : kSpalten) summe += float(s.breite);
  for (const Spaltenentwurf& s : kSpalten) anteile.push_back(100.0f * float(s.breite) / summe);
  m_grid->SpaltenProzenteAnwenden(anteile);
  for (DatumFeld* d : m_tdbDate1) {
    d->KalenderGroesseSetzen(QSize(d->width() * 3 / 2, d->height() * 7));
    d->KalenderSchriftSetzen(font());
  }
  VorgaengeSelektieren();
  if (Datenbank* db = z.Datenbank()) {
    const QString feld = z.AdressQuelle().OPSchluesselFeld.section(QLatin1Char('.'), -1);
    const int groesse = db->FeldGroesse(QStringLiteral("OPVorgang"), feld);
    if (groesse > 0)
      for (MaskenFeld* k : m_konto) k->MaxLaengeSetzen(groesse);
  }
  DatenfelderFuellen();
}

void ImportForm::DatenfelderFuellen() {
  // Filled once; the user's choice then stays across every selection.
  Datenbank* db = Zustand().Datenbank();
  if (!db) return;
  QStringList datum, alle;
  if (DbFehler f = ImportSelektion::Datenfelder(*db, datum, alle)) {
    Meldung::Fehler(DatenermittlungsFehlertext(f, QStringLiteral("Adressen")), {}, this);
    return;
  }
  const QStringList* listen[] = {&datum, &alle};
  for (int i = 0; i < 2; ++i) {
    QComboBox* c = m_combo1[size_t(i)];
    c->clear();
    c->addItem(kDateneingabe);
    c->addItems(*listen[i]);
    const int gespeichert = c->findText(c->property("gespeichert").toString());
    c->setCurrentIndex(gespeichert > 0 ? gespeichert : 0);
  }
}

ImportAuswahl ImportForm::Auswahl() const {
  ImportAuswahl a = ImportAuswahl::AusEinstellungen(EinstellungenDesFensters(), m_lieferanten,
                                                    Zustand().Optionen().OPSelektionMitMinus);
  a.vonKonto = m_konto[0]->Wert();
  a.bisKonto = m_konto[1]->Wert();
  a.vonFaellig = m_tdbDate1[0]->Wert();
  a.bisFaellig = m_tdbDate1[1]->Wert();
  a.filter = m_filter;
  return a;
}

void ImportForm::VorgaengeSelektieren() {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return;
  ++m_selektionen;
  ImportSelektionsErgebnis neu = ImportSelektion::Selektieren(*db, Zustand().AdressQuelle(), Auswahl());
  m_binden = true;
  m_grid->SetzeRecordset(neu.daten.get());  // clears the marks
  m_binden = false;
  m_selektion = std::move(neu);
  if (m_selektion.fehler)
    Meldung::Fehler(DatenermittlungsFehlertext(m_selektion.fehler, m_selektion.abfrage), {}, this);
  m_status->setText(m_selektion.ausgeschlossen.isEmpty()
                        ? QString()
                        : QStringLiteral("Ausgeblendete Konten: %1").arg(m_selektion.ausgeschlossen.size()));
  SchaltflaechenAktualisieren();
  MarkierknoepfeSetzen();
}

void ImportForm::AktionGeklickt(int index) {
  m_lieferanten = index == 0;
  VorgaengeSelektieren();
}

void ImportForm::SelektionGeklickt(int index) {
  m_nurMarkierte = index == 0;
  MarkierknoepfeSetzen();
  SchaltflaechenAktualisieren();
}

void ImportForm::MarkierknoepfeSetzen() {
  const bool zeilen = m_selektion.daten && m_selektion.daten->RecordCount() > 0;
  m_command1[1]->setEnabled(m_nurMarkierte && zeilen);
  m_command1[2]->setEnabled(m_nurMarkierte && zeilen);
}

void ImportForm::SchaltflaechenAktualisieren() {
  if (!m_bereit || m_laeuft) return;
  const bool zeilen = m_selektion.daten && m_selektion.daten->RecordCount() > 0;
  m_command1[3]->setEnabled(zeilen && (!m_nurMarkierte || m_grid->MarkenAnzahl() > 0));
}

void ImportForm::AllesMarkieren() {
  m_grid->AlleMarkieren();
  if (m_grid->ZeilenAnzahl() > 0) m_grid->SetzeAktuelleZelle(0, std::max(0, m_grid->AktuelleSpalte()));
}

void ImportForm::MarkierungAufheben() {
  m_grid->MarkenLeeren();
  if (m_grid->AktuelleZeile() >= 0) m_grid->MarkeSetzen(m_grid->AktuelleZeile());
}

bool ImportForm::DatenUebernehmen() {
  Datenbank* db = Zustand().Datenbank();
  if (!db || m_laeuft || !m_command1[3]->isEnabled() || !m_selektion.daten) return false;
  const Programmzustand& z = Zustand();
  // The grid shows the selection's rows one to one.
  std::function<bool(int)> gewaehlt;
  if (m_nurMarkierte) gewaehlt = [this](int zeile) { return m_grid->IstMarkiert(zeile); };
  const std::vector<ImportVorgang> vorgaenge = ImportVorgaengeLesen(*m_selektion.daten, gewaehlt);

  ImportLaufOptionen o = ImportLaufOptionen::AusEinstellungen(EinstellungenDesFensters(), m_lieferanten);
  o.quelle = z.AdressQuelle();
  o.absenderNr = z.AktuelleAbsenderNr();
  o.formularZahlart = m_aufruf.zahlart;
  o.datumKurzFormat = z.Optionen().AutoVerwRgDatumKurzFormat;

  // The run cannot be started twice and re-selects nothing while it works.
  m_laeuft = true;
  m_bereit = false;
  for (QPushButton* k : m_command1) k->setEnabled(false);
  m_status->setText(QStringLiteral("Die Zahlungen werden übernommen ..."));
  m_status->repaint();
  FensterFrager frager(this);
  m_ergebnis = ImportAusfuehren(*db, vorgaenge, o, frager);
  m_laeuft = false;
  m_bereit = true;
  Meldung::Zeigen(m_ergebnis.Text(Uhr::Heute()), MeldungsKnoepfe::Ok, MeldungsSymbol::Information, {}, this);
  if (!m_ergebnis.fehler.isEmpty()) Meldung::Fehler(m_ergebnis.Fehlertext(), {}, this);
  accept();
  return true;
}
