#include "sepafiles/FormularDTADisk.h"

#include <numeric>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QTimer>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "common/Dateifunktionen.h"
#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Datumseingabe.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/Dateidialog.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/KontrollGruppe.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/ZahlFeld.h"
#include "printing/ReportAuswaehlen.h"
#include "sepafiles/Listengitter.h"
#include "sepafiles/core/SepaEinstellungen.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaLaufAnfrage.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/core/SepaVorpruefung.h"
#include "printing/Reportjob.h"
#include "sepafiles/druck/Kontrollliste.h"
#include "platform/ui/Feldgrenze.h"

namespace {

const QString kAbschnitt = QStringLiteral("DTADatei State");

// The grid's columns in the designed order.
const Spaltenentwurf kSpalten[] = {
    {"Zahlungen.ZahlungNr", "Nr.", 50},  {"Name", "Name", 140},         {"Bank", "", 0},
    {"BIC", "BIC", 115},                  {"IBAN", "IBAN", 230},         {"OPKontoNr", "", 0},
    {"Textschlüssel", "", 0},            {"ZahlungGesamt", "Gesamtbetrag", 95}, {"AbsenderNr", "", 0},
    {"Erledigt", "", 0},                 {"BuchImport", "", 0},         {"Art", "Art", 35},
    {"ErledigtDatum", "", 0},            {"Fällig", "Fällig", 95},      {"Währung", "", 0},
    {"Fehler", "", 0},                   {"Verwendungszweck1", "Zweck Zeile 1", 140},
    {"Verwendungszweck.ZahlungNr", "", 0}, {"OPVorgangNr", "", 0},     {"Vorgangsdatum", "", 0},
    {"OPBetrag", "", 0},                 {"SkontoBetrag", "", 0},       {"Verwendungszweck", "Verwendungszweck", 140},
    {"ZahlungsBetrag", "Betrag", 90, GitterFormat::Standard},    {"LfdNr", "", 0},              {"OPVorgangsArt", "", 0},
    {"ZeilenNr", "", 0},
};

// The next day, moved past Saturday and Sunday.
QDate NaechsterWerktag(const QDate& heute) {
  QDate tag = heute.addDays(1);
  if (tag.dayOfWeek() == 6) return tag.addDays(2);
  if (tag.dayOfWeek() == 7) return tag.addDays(1);
  return tag;
}

FormularDTADisk::AbsenderFormular& AbsenderHaken() {
  static FormularDTADisk::AbsenderFormular f;
  return f;
}

std::optional<QString> DateidialogOrdnerWahl(QWidget* eltern, const QString& titel, const QString& aufforderung,
                                             const QString& start) {
  return Dateidialog::OrdnerWaehlen(eltern, titel, start, aufforderung, Zustand().DatenVerzeichnis());
}

QLabel* Beschriftung(const QString& text, QWidget* feld, QWidget* eltern) {
  auto* label = new QLabel(text, eltern);
  label->setBuddy(feld);
  return label;
}

}  // namespace

void FormularDTADisk::AbsenderFormularSetzen(AbsenderFormular formular) { AbsenderHaken() = std::move(formular); }

FormularDTADisk::FormularDTADisk(QWidget* eltern) : QDialog(eltern), m_ordnerWahl(DateidialogOrdnerWahl) {
  setObjectName(QStringLiteral("FormularDTADisk"));
  setWindowTitle(QStringLiteral("SEPA-Datei erstellen"));
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("DTADatei")));

  // Zahlungs-Art
  m_zahlArt = new OptionsGruppe(QStringLiteral("Zahlungs-Art"),
                                {QStringLiteral("Überweisung"), QStringLiteral("Basis-Lastschrift"),
                                 QStringLiteral("Firmen-Lastschrift")},
                                this);
  m_zahlArt->setObjectName(QStringLiteral("ZahlArt"));
  m_zahlArt->Option(0)->setToolTip(QStringLiteral("Nur Gutschriften selektieren"));
  m_zahlArt->Option(1)->setToolTip(QStringLiteral("Nur Basis-Lastschriften selektieren"));
  m_zahlArt->Option(2)->setToolTip(QStringLiteral("Nur Firmen-Lastschriften selektieren"));
  connect(m_zahlArt, &OptionsGruppe::Geklickt, this, &FormularDTADisk::ZahlArtGeklickt);

  // Zusatzangaben
  auto* zusatz = new QGroupBox(QStringLiteral("Zusatzangaben"), this);
  zusatz->setObjectName(QStringLiteral("ElasticOne1_1"));
  m_tdbText1 = new QLineEdit(zusatz);
  m_tdbText1->setObjectName(QStringLiteral("TDBText1"));
  m_tdbText1->setToolTip(QStringLiteral("Referenz-Nr für interne Zwecke"));
  int referenzGroesse = 35;
  if (Datenbank* db = Zustand().Datenbank())
    if (const int groesse = db->FeldGroesse(QStringLiteral("Absender"), QStringLiteral("ReferenzNr")); groesse > 0)
      referenzGroesse = groesse;
  Feldgrenze::Setzen(m_tdbText1, referenzGroesse);
  for (int i = 0; i < 2; ++i) {
    m_tdbDate1[i] = new DatumFeld(zusatz);
    m_tdbDate1[i]->setObjectName(QStringLiteral("TDBDate1_%1").arg(i));
  }
  m_tdbDate1[0]->setToolTip(QStringLiteral("Bis zu welchem Fällig-Datum soll selektiert werden"));
  m_tdbDate1[1]->setToolTip(
      QStringLiteral("An welchem Datum soll die Bank den Auftrag ausführen (gilt nur für Überweisungen)"));
  connect(m_tdbDate1[0], &QLineEdit::textChanged, this, [this] { m_faelligBis = m_tdbDate1[0]->Wert(); });
  m_tdbDate1[0]->installEventFilter(this);
  auto* zusatzForm = new QFormLayout(zusatz);
  zusatzForm->addRow(Beschriftung(QStringLiteral("&Referenz-Nr"), m_tdbText1, zusatz), m_tdbText1);
  zusatzForm->addRow(Beschriftung(QStringLiteral("&Fällig bis"), m_tdbDate1[0], zusatz), m_tdbDate1[0]);
  zusatzForm->addRow(Beschriftung(QStringLiteral("Ausführungs&datum"), m_tdbDate1[1], zusatz), m_tdbDate1[1]);

  // Weitere Optionen: Check1(1) to Check1(3)
  m_check1 = new KontrollGruppe(this);
  m_check1->setTitle(QStringLiteral("Weitere Optionen"));
  m_check1->setObjectName(QStringLiteral("ElasticOne1_3"));
  m_check1->KastenHinzufuegen(QStringLiteral("Sammelbuchung"));
  m_check1->KastenHinzufuegen(QStringLiteral("Autom. Einzel-Referenz"));
  m_check1->KastenHinzufuegen(QStringLiteral("Lastschriften aufteilen nach Mandat-Art"));
  Check1(1)->setToolTip(QStringLiteral("Umsetzung der Zahlungen als Sammel- oder Einzelbuchung auf dem Kontoauszug"));
  Check1(2)->setToolTip(
      QStringLiteral("Automatisch eine Einzel-Referenz erzeugen und einsetzen, falls diese leer ist"));
  Check1(3)->setToolTip(QStringLiteral("Lastschriften nach Mandat-Art in verschiedene XML-Dateien aufteilen"));
  for (int i = 1; i <= 3; ++i) Check1(i)->setObjectName(QStringLiteral("Check1_%1").arg(i));

  // Fälligkeitstage
  auto* tage = new QGroupBox(QStringLiteral("Fälligkeitstage"), this);
  tage->setObjectName(QStringLiteral("ElasticOne1_4"));
  m_faellig2 = new ZahlFeld(tage);
  m_faellig2->setObjectName(QStringLiteral("Fällig_2"));
  m_faellig2->setToolTip(QStringLiteral("Anzahl der Fälligkeitstage für Firmen-/Basis-Lastschriften"));
  m_faellig2->GanzzahlSetzen(true);
  m_faellig2->LeerErlaubtSetzen(false);
  m_faellig2->BereichSetzen(0, 99999);
  m_faellig2->AnzeigeFormatSetzen(ZahlFormat{0, false, QStringLiteral(" Tage"), {}, {}});
  m_faellig2->EingabeFormatSetzen(ZahlFormat::Eingabe(0));
  m_faellig2->setMinimumWidth(110);
  connect(m_faellig2, &ZahlFeld::WertGeaendert, this, &FormularDTADisk::FaelligkeitstageGeaendert);
  m_kopien = new ZahlFeld(tage);
  m_kopien->setObjectName(QStringLiteral("Kopien"));
  m_kopien->setToolTip(QStringLiteral("Anzahl der Kopien für die Kontroll-Liste"));
  m_kopien->GanzzahlSetzen(true);
  m_kopien->LeerErlaubtSetzen(false);
  m_kopien->BereichSetzen(0, 99);
  m_kopien->AnzeigeFormatSetzen(
      ZahlFormat{0, false, QStringLiteral(" Kopien"), QStringLiteral("Kein Ausdruck"), {}, QStringLiteral(" Kopie")});
  m_kopien->EingabeFormatSetzen(ZahlFormat::Eingabe(0));
  m_kopien->setMinimumWidth(110);
  auto* tageForm = new QFormLayout(tage);
  tageForm->addRow(Beschriftung(QStringLiteral("für Firmen-/Basislastschriften"), m_faellig2, tage), m_faellig2);
  tageForm->addRow(Beschriftung(QStringLiteral("&Kontroll-Liste"), m_kopien, tage), m_kopien);

  // Target folder
  m_aktuellesLaufwerk = new QLabel(QStringLiteral("Laufwerk/Verzeichnis, wo die SEPA-Datei erstellt wird"), this);
  m_aktuellesLaufwerk->setObjectName(QStringLiteral("AktuellesLaufwerk"));
  m_aktuellesLaufwerk->setToolTip(QStringLiteral("Momentan eingestelltes Laufwerk/Verzeichnis für die DTA-Datei"));
  m_aktuellesLaufwerk->setFrameShape(QFrame::StyledPanel);
  m_aktuellesLaufwerk->setFrameShadow(QFrame::Sunken);
  m_aktuellesLaufwerk->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_aktuellesLaufwerk->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  // File format: the setting "Dateiformat" and what the run writes with it for the chosen kind.
  m_dateiformat = new QComboBox(this);
  m_dateiformat->setObjectName(QStringLiteral("Dateiformat"));
  for (SepaFormat f : SepaFormate::Alle()) m_dateiformat->addItem(SepaFormate::Bezeichnung(f), int(f));
  m_dateiformat->setToolTip(
      QStringLiteral("Nachrichtenversion der SEPA-Dateien: die deutschen Banken nehmen pain.001.001.09 und "
                     "pain.008.001.08 an, pain.001.001.03 und pain.008.001.02 nur noch bis November 2026"));
  m_formatAnzeige = new QLabel(this);
  m_formatAnzeige->setObjectName(QStringLiteral("FormatAnzeige"));
  // Breaks into lines rather than widening the window.
  m_formatAnzeige->setWordWrap(true);
  m_formatAnzeige->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  connect(m_dateiformat, &QComboBox::currentIndexChanged, this, &FormularDTADisk::FormatGewaehlt);

  const char* knopfTexte[] = {"Abbruch", "SEPA-Datei erstellen", "Auswählen..."};
  for (int i = 0; i < 3; ++i) {
    m_command1[i] = new QPushButton(QString::fromUtf8(knopfTexte[i]), this);
    m_command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
    // No default button: Enter never creates a file.
    m_command1[i]->setAutoDefault(false);
    m_command1[i]->setDefault(false);
  }
  m_command1[2]->setToolTip(QStringLiteral("Laufwerk/Verzeichnis für die DTA-Datei auswählen"));
  m_command1[1]->setEnabled(false);
  connect(m_command1[0], &QPushButton::clicked, this, &QDialog::reject);
  connect(m_command1[1], &QPushButton::clicked, this, [this] {
    if (m_dateiErstellt)
      KontrolllisteDrucken();
    else
      Erstellen();
  });
  connect(m_command1[2], &QPushButton::clicked, this, [this] { OrdnerWaehlen(); });

  // Grid
  m_tdbGrid1 = new DatenGitter(this);
  m_tdbGrid1->setObjectName(QStringLiteral("TDBGrid1"));
  SpaltenAnlegen();

  // Status with progress
  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("Status"));
  m_status->setWordWrap(true);
  m_fortschritt = new QProgressBar(this);
  m_fortschritt->setObjectName(QStringLiteral("Fortschritt"));
  m_fortschritt->setRange(0, 100);
  m_fortschritt->setMaximumWidth(200);
  m_fortschritt->hide();
  m_fehlerlisteKnopf = new QPushButton(QStringLiteral("Fehler&liste..."), this);
  m_fehlerlisteKnopf->setObjectName(QStringLiteral("Fehlerliste"));
  m_fehlerlisteKnopf->setToolTip(QStringLiteral("Die weggelassenen fehlerhaften Zahlungen mit ihren Gründen anzeigen"));
  m_fehlerlisteKnopf->setAutoDefault(false);
  m_fehlerlisteKnopf->setEnabled(false);
  connect(m_fehlerlisteKnopf, &QPushButton::clicked, this, &FormularDTADisk::FehlerlisteZeigen);
  m_absenderKnopf = new QPushButton(QStringLiteral("Absender &ergänzen..."), this);
  m_absenderKnopf->setObjectName(QStringLiteral("AbsenderErgaenzen"));
  m_absenderKnopf->setToolTip(QStringLiteral("Die fehlenden Absender-Angaben eintragen"));
  m_absenderKnopf->setAutoDefault(false);
  m_absenderKnopf->hide();
  connect(m_absenderKnopf, &QPushButton::clicked, this, [this] { AbsenderErgaenzen(); });

  // Layout
  // The four groups side by side where the screen is wide enough, else two by two (a 1024-pixel screen).
  auto* oben = new QGridLayout;
  const QList<QWidget*> gruppen = {m_zahlArt, zusatz, m_check1, tage};
  int breite = 0;
  for (const QWidget* g : gruppen) breite += g->sizeHint().width();
  const QScreen* bildschirm = screen();
  const bool nebeneinander = !bildschirm || breite + 80 <= bildschirm->availableGeometry().width();
  for (int i = 0; i < gruppen.size(); ++i)
    oben->addWidget(gruppen.at(i), nebeneinander ? 0 : i / 2, nebeneinander ? i : i % 2);
  oben->setColumnStretch(1, 1);
  auto* ordner = new QHBoxLayout;
  ordner->addWidget(new QLabel(QStringLiteral("Ordner:"), this));
  ordner->addWidget(m_aktuellesLaufwerk, 1);
  ordner->addWidget(m_command1[2]);
  auto* format = new QHBoxLayout;
  format->addWidget(Beschriftung(QStringLiteral("Dateifor&mat:"), m_dateiformat, this));
  format->addWidget(m_dateiformat);
  format->addStretch(1);
  auto* status = new QHBoxLayout;
  status->addWidget(m_status, 1);
  status->addWidget(m_fortschritt);
  status->addWidget(m_fehlerlisteKnopf);
  status->addWidget(m_absenderKnopf);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch(1);
  knoepfe->addWidget(m_command1[1]);
  knoepfe->addWidget(m_command1[0]);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(oben);
  layout->addLayout(ordner);
  layout->addLayout(format);
  layout->addWidget(m_formatAnzeige);
  // Room for some rows of the list even where the window's default height is small (a 768-pixel screen).
  m_tdbGrid1->setMinimumHeight(fontMetrics().height() * 12);
  layout->addWidget(m_tdbGrid1, 1);
  layout->addLayout(status);
  layout->addLayout(knoepfe);

  setTabOrder(m_zahlArt, m_tdbText1);
  setTabOrder(m_tdbText1, m_tdbDate1[0]);
  setTabOrder(m_tdbDate1[0], m_tdbDate1[1]);
  setTabOrder(m_tdbDate1[1], m_check1);
  setTabOrder(m_check1, m_faellig2);
  setTabOrder(m_faellig2, m_kopien);
  setTabOrder(m_kopien, m_command1[2]);
  setTabOrder(m_command1[2], m_dateiformat);
  setTabOrder(m_dateiformat, m_tdbGrid1);
  setTabOrder(m_tdbGrid1, m_fehlerlisteKnopf);
  setTabOrder(m_fehlerlisteKnopf, m_absenderKnopf);
  setTabOrder(m_absenderKnopf, m_command1[1]);
  setTabOrder(m_command1[1], m_command1[0]);

  // Keys: F1 help, F3 remittance-date limit, Esc the cancel button, Enter to the next field.
  auto* tasten = new TastenVorschau(this);
  tasten->TasteZuordnen(Qt::Key_F3, Qt::NoModifier, [this] {
    BisDatumAbfragen();
    return true;
  });
  tasten->HilfeSetzen([this] {
    HilfeAnzeigen(HilfeKontext::SepaDatei, Zustand().HilfeOrdner(), this);
  });
  tasten->AbbrechenKnopfSetzen(m_command1[0]);

  resize(900, 600);
  Laden();
}

FormularDTADisk::~FormularDTADisk() { m_tdbGrid1->SetzeRecordset(nullptr); }

QCheckBox* FormularDTADisk::Check1(int index) const { return m_check1->Kasten(index - 1); }

QString FormularDTADisk::Zielordner() const { return m_aktuellesLaufwerk->text(); }

SepaFormat FormularDTADisk::GewaehltesFormat() const {
  return static_cast<SepaFormat>(m_dateiformat->currentData().toInt());
}

void FormularDTADisk::FormatGewaehlt() {
  // The older format, once the banks no longer take it, only when the user confirms it (the choice stays open).
  if (GewaehltesFormat() != m_formatVorher && SepaFormate::VonBankenAbgelehnt(GewaehltesFormat(), Uhr::Heute()) &&
      !Meldung::Frage(SepaFormate::AltesFormatFrage(false), {}, this)) {
    const QSignalBlocker sperre(m_dateiformat);
    m_dateiformat->setCurrentIndex(m_dateiformat->findData(int(m_formatVorher)));
  }
  m_formatVorher = GewaehltesFormat();
  FormatAnzeigen();
}

void FormularDTADisk::FormatAnzeigen() {
  m_formatAnzeige->setText(QStringLiteral("Geschrieben wird %1; jede Datei wird vor dem Kennzeichnen der Zahlungen "
                                          "gegen das Schema der Bank geprüft.")
                               .arg(SepaFormate::Nachricht(GewaehltesFormat(), m_aktZahlungsart != 0)));
}

void FormularDTADisk::SpaltenAnlegen() {
  ListengitterEinrichten(*m_tdbGrid1, kSpalten);
  // The lines' purpose and amount, with the sum beneath, right after the payment's amount: a 1024-pixel
  // screen shows every amount without scrolling.
  m_tdbGrid1->SetzeSpaltenfolge({QStringLiteral("Zahlungen.ZahlungNr"), QStringLiteral("Name"), QStringLiteral("Bank"),
                                 QStringLiteral("BIC"), QStringLiteral("IBAN"), QStringLiteral("OPKontoNr"),
                                 QStringLiteral("Textschlüssel"), QStringLiteral("ZahlungGesamt"),
                                 QStringLiteral("Verwendungszweck"), QStringLiteral("ZahlungsBetrag")});
  m_tdbGrid1->SetzeFussleiste(true);
  m_tdbGrid1->SetzeFussText(m_tdbGrid1->SpaltenIndex(QStringLiteral("Verwendungszweck")), QStringLiteral("Summe"));
  // Credit transfers in red, in every column of their rows.
  m_tdbGrid1->SetzeZellStil([this](int zeile, int, ZellStil& stil) {
    if (m_tdbGrid1->Wert(zeile, QStringLiteral("Art")).toString() == QLatin1String("G")) stil.vordergrund = Farben::Rot();
  });
}

void FormularDTADisk::Laden() {
  m_faelligBis.reset();
  m_erstellungsdatum = Uhr::Heute();
  m_absenderNr = Zustand().AktuelleAbsenderNr();
  Datenbank* db = Zustand().Datenbank();

  SepaEinstellungen e;
  e.Zielordner = BackslashAnhaengen(Zustand().DatenVerzeichnis());
  if (db) e = SepaEinstellungen::Laden(*db, Zustand().DatenVerzeichnis());
  m_kopien->GanzzahlWertSetzen(e.Kopien);
  m_faellig2->GanzzahlWertSetzen(e.Faelligkeitstage);
  m_zahlArt->WertSetzen(e.Zahlungsart);   // raises the click: kind and fields, no selection yet
  m_check1->WertSetzen(0, e.Sammelbuchung);
  m_check1->WertSetzen(1, e.AutoEinzelReferenz);
  m_check1->WertSetzen(2, e.LastschriftenAufteilen);
  {
    // The stored format is no choice of the user's: the run asks when it matters.
    const QSignalBlocker sperre(m_dateiformat);
    m_dateiformat->setCurrentIndex(m_dateiformat->findData(int(e.Dateiformat)));
  }
  m_formatVorher = GewaehltesFormat();
  FormatAnzeigen();

  if (db) {
    DbFehler f;
    const std::optional<QVariant> referenz =
        db->Wert(SqlText("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = ?"), {m_absenderNr}, f);
    if (f)
      Meldung::Fehler(DatenermittlungsFehlertext(f),
                      {}, this);
    else if (referenz && !IstNull(*referenz))
      m_tdbText1->setText(referenz->toString());
    m_referenzGelesen = m_tdbText1->text();
  }

  m_aktuellesLaufwerk->setText(QDir::toNativeSeparators(e.Zielordner));
  m_ordnerHinweis = e.Statustext;
  if (!m_ordnerHinweis.isEmpty()) StatusSetzen(QString(), palette().color(QPalette::ButtonText));

  m_tdbDate1[1]->WertSetzen(NaechsterWerktag(m_erstellungsdatum));
  FensterpositionVerwalten(true, kAbschnitt, this, 70, false);
}

void FormularDTADisk::Entladen() {
  if (m_entladen) return;
  m_entladen = true;
  Zustand().PDFSetzen(QString(), Zustand().PDFPfad());
  if (Datenbank* db = Zustand().Datenbank()) {
    QStringList fehler;
    if (!ReferenzSpeichern()) fehler << QStringLiteral("Referenz-Nr");
    SepaEinstellungen e;
    e.Faelligkeitstage = int(m_faellig2->Ganzzahl().value_or(0));
    e.Kopien = int(m_kopien->Ganzzahl().value_or(0));
    e.Zielordner = Zielordner();
    e.Zahlungsart = m_aktZahlungsart;
    e.Sammelbuchung = m_check1->Wert(0);
    e.AutoEinzelReferenz = m_check1->Wert(1);
    e.LastschriftenAufteilen = m_check1->Wert(2);
    e.Dateiformat = GewaehltesFormat();
    if (DbFehler f = e.Speichern(*db))
      Meldung::Fehler(Meldung::Zeilen({QStringLiteral("Die Einstellungen der SEPA-Datei konnten nicht gespeichert werden."),
                                       QString(), f.Meldungstext()}),
                      {}, this);
  }
  FensterpositionVerwalten(false, kAbschnitt, this, 70, false);
}

bool FormularDTADisk::ReferenzSpeichern() {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return false;
  // Untouched, the stored one stays: another workstation's run may have counted it up meanwhile.
  if (m_tdbText1->text() == m_referenzGelesen) return true;
  int geaendert = 0;
  DbFehler f = db->Ausfuehren(SqlText("UPDATE Absender SET ReferenzNr = ? WHERE AbsenderNr = ?"),
                              {m_tdbText1->text(), m_absenderNr}, &geaendert);
  if (!f && geaendert != 1)
    f = {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender Nr. %1 ist nicht vorhanden.").arg(m_absenderNr)};
  if (f) {
    Meldung::Fehler(Meldung::Zeilen({QStringLiteral("Die Referenz-Nr konnte nicht beim Absender gespeichert werden."),
                                     QString(), f.Meldungstext()}),
                    {}, this);
    return false;
  }
  m_referenzGelesen = m_tdbText1->text();
  if (Recordset* absender = Zustand().AbsenderDaten()) absender->CacheVerwerfen();
  return true;
}

void FormularDTADisk::done(int ergebnis) {
  Entladen();
  QDialog::done(ergebnis);
}

void FormularDTADisk::showEvent(QShowEvent* ereignis) {
  QDialog::showEvent(ereignis);
  // After the window has been drawn.
  if (!m_aktiviert) QMetaObject::invokeMethod(this, &FormularDTADisk::Aktivieren, Qt::QueuedConnection);
}

bool FormularDTADisk::event(QEvent* ereignis) {
  if (ereignis->type() == QEvent::WindowActivate && !m_aktiviert && isVisible())
    QMetaObject::invokeMethod(this, &FormularDTADisk::Aktivieren, Qt::QueuedConnection);
  return QDialog::event(ereignis);
}

void FormularDTADisk::resizeEvent(QResizeEvent* ereignis) {
  QDialog::resizeEvent(ereignis);
  if (!m_spaltenbreiten.empty()) SpaltenbreitenVerwalten(*m_tdbGrid1, m_spaltenbreiten, false);
}

bool FormularDTADisk::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == m_tdbDate1[0]) {
    if (ereignis->type() == QEvent::FocusIn) {
      m_datumBeimEintritt = m_tdbDate1[0]->text();
    } else if (ereignis->type() == QEvent::FocusOut) {
      const auto grund = static_cast<QFocusEvent*>(ereignis)->reason();
      // The calendar pop-up and a change of window are no leaving of the field.
      if (grund != Qt::PopupFocusReason && grund != Qt::ActiveWindowFocusReason) {
        m_tdbDate1[0]->Uebernehmen();
        m_faelligBis = m_tdbDate1[0]->Wert();
        if (m_tdbDate1[0]->text() != m_datumBeimEintritt) {
          m_datumBeimEintritt = m_tdbDate1[0]->text();
          ZahlungenSelektieren();
        }
      }
    }
  }
  return QDialog::eventFilter(objekt, ereignis);
}

void FormularDTADisk::Aktivieren() {
  if (m_aktiviert) return;
  m_tdbGrid1->SetzeWechselndeZeilen(!Zustand().Optionen().TabellenOhneZebramuster);
  m_aktiviert = true;
  // The designed widths fitted into the grid and kept as shares when the window is resized.
  m_tdbGrid1->SpaltenEinpassen();
  SpaltenbreitenVerwalten(*m_tdbGrid1, m_spaltenbreiten, true);
  UnterbrochenenLaufNachholen();
  ZahlungenSelektieren();
  // The amounts, BICs and IBANs of the list whole from the start: the window widened for the columns up
  // to the line amount where the screen has room (a fresh one opens narrow), names giving way first; the
  // rest is reached by scrolling. These shares are kept from here on.
  FensterFuerSpaltenVerbreitern(*this, *m_tdbGrid1, m_tdbGrid1->SichtbareSpaltenBis(QStringLiteral("ZahlungsBetrag")));
  SpaltenbreitenVerwalten(*m_tdbGrid1, m_spaltenbreiten, true);
  // Where the columns need more than the grid has (it scrolls), their shares are kept of the whole: a
  // wider window then shows all of them without scrolling.
  if (const float summe = std::accumulate(m_spaltenbreiten.begin(), m_spaltenbreiten.end(), 0.0f); summe > 100.0f)
    for (float& anteil : m_spaltenbreiten) anteil *= 100.0f / summe;
  if (!m_absenderMangel.feld.isEmpty() && AbsenderHaken() &&
      Meldung::Zeigen(m_absenderMangel.meldung +
                          QStringLiteral("\r\rOhne diese Angabe kann keine SEPA-Datei erstellt werden.\r"
                                         "Möchten Sie die Absender-Angaben jetzt ergänzen?"),
                      MeldungsKnoepfe::JaNein, MeldungsSymbol::Ausruf, {}, this) == MeldungsAntwort::Ja)
    AbsenderErgaenzen();
  if (m_command1[1]->isEnabled())
    m_command1[1]->setFocus();
  else
    m_command1[0]->setFocus();
}

void FormularDTADisk::UnterbrochenenLaufNachholen() {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return;
  const SepaLaufVermerke::Abschluss a =
      SepaLaufVermerke::Nachholen(*db, {Zielordner(), Zustand().DatenVerzeichnis()});
  if (const QString text = a.Meldung(); !text.isEmpty())
    Meldung::Zeigen(text, MeldungsKnoepfe::Ok, a.Warnung() ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information, {},
                    this);
}

void FormularDTADisk::ZahlArtGeklickt(int index) {
  m_aktZahlungsart = index;
  m_tdbDate1[1]->setEnabled(index == 0);
  m_faellig2->setEnabled(index == 1 || index == 2);
  FormatAnzeigen();
  if (m_aktiviert) ZahlungenSelektieren();
}

void FormularDTADisk::FaelligkeitstageGeaendert() {
  const int tage = int(m_faellig2->Ganzzahl().value_or(0));
  const QString meldung = SepaEinstellungen::FaelligkeitstageMeldung(tage);
  if (meldung.isEmpty()) {
    m_faelligkeitstage = tage;
    return;
  }
  m_faellig2->GanzzahlWertSetzen(m_faelligkeitstage);
  // Taken over as the field loses the focus: the message and the focus back once that has happened.
  QTimer::singleShot(0, this, [this, meldung] {
    m_faellig2->setFocus(Qt::OtherFocusReason);
    Meldung::Warnung(meldung + QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe."), {}, this);
  });
}

void FormularDTADisk::StatusSetzen(const QString& text, const QColor& farbe) {
  m_statusText = text;
  QString anzeige = text;
  if (!m_absenderMangel.feld.isEmpty() && !m_dateiErstellt) {
    // Named before the file is tried, not at its end.
    anzeige += (anzeige.isEmpty() ? QString() : QStringLiteral("\n")) +
               QString(m_absenderMangel.meldung).replace(QLatin1Char('\r'), QLatin1Char(' ')).simplified() +
               QStringLiteral(" Bitte ergänzen Sie die Absender-Angaben.");
  }
  if (!m_ordnerHinweis.isEmpty()) anzeige += (anzeige.isEmpty() ? QString() : QStringLiteral("\n")) + m_ordnerHinweis;
  QPalette p = m_status->palette();
  p.setColor(QPalette::WindowText, farbe);
  m_status->setPalette(p);
  m_status->setText(anzeige);
  m_status->repaint();
}

void FormularDTADisk::ErstellenKnopfSetzen() {
  // After a creation the button prints the control list of the files written, whatever the grid shows.
  m_command1[1]->setEnabled(m_dateiErstellt ? !m_laufAktiv
                                            : m_selektiert && !m_laufAktiv && m_auswahl.HatZahlungen() &&
                                                  m_absenderMangel.feld.isEmpty());
}

void FormularDTADisk::AbsenderPruefen() {
  m_absenderMangel = {};
  if (Datenbank* db = Zustand().Datenbank()) {
    DbFehler f;
    const std::optional<SepaAbsender> absender = SepaLauf::AbsenderLesen(*db, m_absenderNr, f);
    // A sender that cannot be read is reported by the run itself.
    if (absender) m_absenderMangel = SepaVorpruefung::AbsenderPruefen(*absender, m_aktZahlungsart != 0);
  }
  m_absenderKnopf->setVisible(!m_absenderMangel.feld.isEmpty() && !m_dateiErstellt && AbsenderHaken());
}

bool FormularDTADisk::AbsenderErgaenzen() {
  if (!AbsenderHaken() || m_laufAktiv || m_dateiErstellt) return false;
  // The form may reopen the database (a changed or another active sender): nothing of the old one stays bound.
  ReferenzSpeichern();
  m_tdbGrid1->SetzeRecordset(nullptr);
  m_daten.reset();
  AbsenderHaken()(this, m_absenderMangel.feld);
  m_absenderNr = Zustand().AktuelleAbsenderNr();
  if (Datenbank* db = Zustand().Datenbank()) {
    DbFehler f;
    const std::optional<QVariant> referenz =
        db->Wert(SqlText("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = ?"), {m_absenderNr}, f);
    if (!f && referenz) {
      m_tdbText1->setText(IstNull(*referenz) ? QString() : referenz->toString());
      m_referenzGelesen = m_tdbText1->text();
    }
  }
  ZahlungenSelektieren();
  if (m_command1[1]->isEnabled()) m_command1[1]->setFocus();
  return true;
}

void FormularDTADisk::ZahlungenSelektieren() {
  const QColor normal = palette().color(QPalette::ButtonText);
  Datenbank* db = Zustand().Datenbank();
  m_command1[1]->setEnabled(false);
  if (!db) {
    Meldung::Fehler(SepaSelektion::Datenermittlungsfehler(KeineDatenbankFehler(), QString()), {}, this);
    return;
  }
  ++m_selektionen;
  AbsenderPruefen();
  SepaAuswahlAnfrage anfrage;
  anfrage.AbsenderNr = m_absenderNr;
  anfrage.Art = SepaOptionen::ArtAusIndex(m_aktZahlungsart).value_or(SepaArt::Ueberweisung);
  anfrage.FaelligBis = m_faelligBis;
  anfrage.VerwendungszweckDatumBis = m_verwendungszweckDatumBis;
  anfrage.Heute = Uhr::Heute();

  m_fortschritt->setValue(0);
  m_fortschritt->show();
  StatusSetzen(QStringLiteral("Zahlungen werden geprüft..."), normal);
  m_tdbGrid1->SetzeRecordset(nullptr);
  m_daten.reset();

  m_auswahl = SepaSelektion::ZahlungenSelektieren(*db, anfrage);
  m_selektiert = true;
  m_fortschritt->setValue(50);
  m_fortschritt->repaint();

  const int betrag = m_tdbGrid1->SpaltenIndex(QStringLiteral("ZahlungsBetrag"));
  auto fussSetzen = [&](Waehrung summe) {
    m_tdbGrid1->SetzeFussText(betrag, summe.FormatDeutsch(true, 2));
    m_tdbGrid1->SetzeFussFarbe(betrag, summe.IstNegativ() ? Farben::Rot() : normal);
  };

  if (!m_auswahl.Ok()) {
    m_fehlerlisteKnopf->setEnabled(false);
    if (m_fehlerliste) m_fehlerliste->close();
    m_fortschritt->hide();
    m_tdbGrid1->LeerAnzeigen();
    fussSetzen(Waehrung());
    StatusSetzen(QString(), normal);
    ErstellenKnopfSetzen();
    Meldung::Fehler(m_auswahl.Meldung, {}, this);
    return;
  }
  m_fehlerlisteKnopf->setEnabled(m_auswahl.Fehlerhaft > 0);
  if (m_fehlerliste) m_fehlerliste->BefundeSetzen(m_auswahl.Befunde);
  if (m_auswahl.Fehlerhaft > 0 &&
      Meldung::Zeigen(SepaSelektion::Fehlerwarnung(m_auswahl.Fehlerhaft), MeldungsKnoepfe::JaNein,
                      MeldungsSymbol::Ausruf, {}, this) == MeldungsAntwort::Ja)
    FehlerlisteZeigen();

  StatusSetzen(QStringLiteral("Zahlungen werden aufsummiert..."), normal);
  m_fortschritt->setValue(75);
  const Abfrage abfrage = SepaSelektion::GitterAbfrage(m_auswahl);
  DbFehler f;
  m_daten = Recordset::Oeffnen(*db, abfrage, RecordsetTyp::Snapshot, f);
  m_fortschritt->setValue(100);
  m_fortschritt->hide();
  if (!m_daten) {
    // Without the grid nothing is offered for a file.
    m_auswahl.ZahlungNummern.clear();
    m_auswahl.Auftraege.reset();
    m_tdbGrid1->LeerAnzeigen();
    fussSetzen(m_auswahl.Summe);
    StatusSetzen(QString(), normal);
    ErstellenKnopfSetzen();
    const QString text = QStringLiteral("SELECT ") + abfrage.spalten.Text() + QStringLiteral(" FROM ") +
                         abfrage.quelle.Text() + abfrage.bedingung.AlsWhere().Text() + QStringLiteral(" ORDER BY ") +
                         abfrage.sortierung.Text();
    Meldung::Fehler(SepaSelektion::Datenermittlungsfehler(f, text), {}, this);
    return;
  }
  m_tdbGrid1->SetzeRecordset(m_daten.get());
  fussSetzen(m_auswahl.Summe);

  QColor farbe = normal;
  if (m_auswahl.HatZahlungen()) farbe = m_auswahl.Fehlerhaft < 1 ? Farben::Blau() : Farben::Rot();
  StatusSetzen(m_auswahl.Statustext, farbe);
  ErstellenKnopfSetzen();
}

bool FormularDTADisk::Erstellen() {
  // A second click while a run is under way, or before the first selection, starts nothing.
  if (m_laufAktiv || m_dateiErstellt || !m_selektiert) return false;
  Datenbank* db = Zustand().Datenbank();
  if (!db) {
    Meldung::Fehler(SepaLauf::Fehlermeldung(KeineDatenbankFehler().Nummer, KeineDatenbankFehler().Beschreibung), {},
                    this);
    return false;
  }

  // The checks of the command, each with its message, in this order.
  const QString referenz = m_tdbText1->text();
  if (const QString m = SepaVorpruefung::ReferenzMeldung(referenz); !m.isEmpty()) {
    Meldung::Zeigen(m, MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
    m_tdbText1->setFocus();
    return false;
  }
  {
    DbFehler f;
    const std::optional<SepaAbsender> absender = SepaLauf::AbsenderLesen(*db, m_absenderNr, f);
    const QStringList verwendet =
        absender ? SepaVorpruefung::VerwendeteReferenzen(*db, absender->IBAN, {SepaVorpruefung::NachrichtenId(referenz)}, f)
                 : QStringList();
    if (f) {
      Meldung::Fehler(SepaLauf::Fehlermeldung(f.Nummer, f.Beschreibung), {}, this);
      return false;
    }
    if (!verwendet.isEmpty()) {
      Meldung::Zeigen(SepaVorpruefung::VerwendeteReferenzMeldung(verwendet.first(), absender->IBAN), MeldungsKnoepfe::Ok,
                      MeldungsSymbol::Keins, {}, this);
      m_tdbText1->setFocus();
      m_tdbText1->selectAll();
      return false;
    }
  }
  const bool ueberweisung = m_aktZahlungsart == 0;
  if (ueberweisung) {
    const QString m = SepaVorpruefung::AusfuehrungsdatumMeldung(m_tdbDate1[1]->Wert(), m_erstellungsdatum);
    if (!m.isEmpty()) {
      Meldung::Zeigen(m, MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
      m_tdbDate1[1]->WertSetzen(m_erstellungsdatum);
      m_tdbDate1[1]->setFocus();
      return false;
    }
  } else {
    DbFehler f;
    const std::optional<SepaAbsender> absender = SepaLauf::AbsenderLesen(*db, m_absenderNr, f);
    if (!absender) {
      Meldung::Fehler(SepaLauf::Fehlermeldung(f.Nummer, f.Beschreibung), {}, this);
      return false;
    }
    if (const QString m = SepaVorpruefung::GlaeubigerIdMeldung(absender->GlaeubigerID); !m.isEmpty()) {
      Meldung::Zeigen(m, MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
      return false;
    }
  }

  if (SepaFormate::VonBankenAbgelehnt(GewaehltesFormat(), Uhr::Heute()) &&
      !Meldung::Frage(SepaFormate::AltesFormatFrage(true), {}, this)) {
    m_dateiformat->setFocus();
    return false;
  }

  SepaLaufAnfrage anfrage;
  anfrage.AbsenderNr = m_absenderNr;
  anfrage.ZahlungNummern = m_auswahl.ZahlungNummern;
  anfrage.Auftraege = m_auswahl.Auftraege;
  anfrage.Fehlerhaft = m_auswahl.Fehlerhaft;
  anfrage.Referenz = referenz;
  anfrage.Zielordner = Zielordner();
  anfrage.ArchivSpeichern = Zustand().Optionen().SEPAmitArchivSpeichern;
  SepaOptionen& o = anfrage.Optionen;
  o.Art = SepaOptionen::ArtAusIndex(m_aktZahlungsart).value_or(SepaArt::Ueberweisung);
  o.Format = GewaehltesFormat();
  o.Sammelbuchung = m_check1->Wert(0);
  o.AutoEinzelReferenz = m_check1->Wert(1);
  o.AufteilenNachMandatArt = m_check1->Wert(2);
  o.DateinameMitBemerkung = Zustand().Optionen().SepaDateinamemitAbsenderBemerkung;
  if (ueberweisung) o.Ausfuehrungsdatum = m_tdbDate1[1]->Wert();
  o.Vorlauftage = int(m_faellig2->Ganzzahl().value_or(0));
  o.Erstellungsdatum = m_erstellungsdatum;
  o.Zeitpunkt = Uhr::Jetzt();

  m_laufAktiv = true;
  ++m_laeufe;
  ErstellenKnopfSetzen();
  const QColor normal = palette().color(QPalette::ButtonText);
  const QString vorher = m_statusText;
  m_fortschritt->setValue(0);
  m_fortschritt->show();
  StatusSetzen(QStringLiteral("SEPA-Datei wird erstellt..."), normal);

  m_letzterLauf = SepaLauf::Ausfuehren(*db, anfrage, m_stoerung);
  m_fortschritt->setValue(100);
  m_fortschritt->hide();

  if (!m_letzterLauf.Ok()) {
    StatusSetzen(vorher, m_auswahl.Fehlerhaft < 1 ? Farben::Blau() : Farben::Rot());
    Meldung::Fehler(m_letzterLauf.Meldung, {}, this);
    // Open only once the message is gone: nothing can start a second run meanwhile.
    m_laufAktiv = false;
    ErstellenKnopfSetzen();
    return false;
  }

  m_dateiErstellt = true;
  m_tdbText1->setText(m_letzterLauf.NaechsteReferenz);
  m_referenzGelesen = m_letzterLauf.NaechsteReferenz;
  if (Recordset* absender = Zustand().AbsenderDaten()) absender->CacheVerwerfen();
  if (m_letzterLauf.Ausfuehrungsdatum) m_tdbDate1[1]->WertSetzen(*m_letzterLauf.Ausfuehrungsdatum);
  if (!m_letzterLauf.PdfDateiname.isEmpty()) Zustand().PDFSetzen(m_letzterLauf.PdfDateiname, m_letzterLauf.PdfPfad);
  StatusSetzen(m_letzterLauf.Statustext, Farben::Blau());
  NurLesenAnzeigen();
  // The PDF payment overview is written before the message, which names it (and says where the
  // control list goes on a machine without a printer); the printout or the preview follows the message.
  const int kopien = int(m_kopien->Ganzzahl().value_or(0));
  const Druckformular formular = DruckformularErgaenzen({.fenster = this, .titel = windowTitle()});
  const Kontrollliste::Ausgabe ausgabe =
      Kontrollliste::Vorbereiten(*db, m_letzterLauf, kopien, m_erstellungsdatum, formular, Reportjob::Engine());
  if (!ausgabe.datenFehler.isEmpty()) Meldung::Fehler(ausgabe.datenFehler, {}, this);
  const QString ausgabeText = Kontrollliste::Meldungstext(ausgabe);
  const QString meldung = ausgabeText.isEmpty() ? m_letzterLauf.Meldung
                                                : m_letzterLauf.Meldung + QStringLiteral("\r\r") + ausgabeText;
  if (ausgabe.pdfFehler.isEmpty())
    Meldung::Hinweis(meldung, {}, this);
  else
    Meldung::Warnung(meldung, {}, this);
  QStringList warnungen = m_letzterLauf.Warnungen;
  if (!m_letzterLauf.AndereDateien.isEmpty())
    warnungen << QStringLiteral("Im Ordner liegen noch SEPA-Dateien eines früheren Laufs dieser Zahlungsart.\r"
                                "Bitte übermitteln Sie nur die eben erstellten Dateien an Ihre Bank:\r") +
                     m_letzterLauf.AndereDateien.join(QLatin1Char('\r'));
  if (!warnungen.isEmpty())
    Meldung::Zeigen(warnungen.join(QStringLiteral("\r\r")), MeldungsKnoepfe::Ok, MeldungsSymbol::Ausruf, {}, this);
  QString datenFehler;
  const Druckergebnis druck = Kontrollliste::Drucken(*db, m_letzterLauf, ausgabe, kopien, m_erstellungsdatum, formular,
                                                     Reportjob::Engine(), datenFehler);
  if (!datenFehler.isEmpty()) Meldung::Fehler(datenFehler, {}, this);
  DruckergebnisMelden(druck, this);
  m_laufAktiv = false;
  ErstellenKnopfSetzen();
  return true;
}

void FormularDTADisk::NurLesenAnzeigen() {
  const QList<QWidget*> kinder = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* w : kinder) {
    if (w == m_tdbGrid1 || w == m_status || w == m_fortschritt || w == m_command1[0] || w == m_command1[1] ||
        w == m_fehlerlisteKnopf)
      continue;
    if (w->isWindow()) continue;
    w->setEnabled(false);
  }
  m_command1[1]->setText(QStringLiteral("Kontroll-Liste drucken"));
  m_command1[1]->setToolTip(QStringLiteral("Kontroll-Liste der erstellten SEPA-Datei(en) drucken"));
  m_command1[1]->setEnabled(!m_laufAktiv);
  m_command1[0]->setText(QStringLiteral("Schließen"));
  m_command1[0]->setEnabled(true);
  m_command1[0]->setFocus();
}

void FormularDTADisk::KontrolllisteDrucken() {
  Datenbank* db = Zustand().Datenbank();
  if (!m_dateiErstellt || m_laufAktiv || !db) return;
  m_laufAktiv = true;
  ErstellenKnopfSetzen();
  QList<ReportVariable> variablen;
  DruckAnfordern(
      Kontrollliste::Reportname(),
      // The variables are read with the rows, for each print anew.
      [this, db, &variablen] {
        QString fehler;
        std::unique_ptr<Reportdaten> daten =
            Kontrollliste::DatenUndVariablen(*db, m_letzterLauf, m_erstellungsdatum, variablen, fehler);
        if (!daten) Meldung::Fehler(fehler, {}, this);
        return daten;
      },
      variablen, Druckformular{.fenster = this, .titel = windowTitle()});
  m_laufAktiv = false;
  ErstellenKnopfSetzen();
}

bool FormularDTADisk::OrdnerWaehlen() {
  const QString alt = Zielordner();
  const QString aufforderung =
      QStringLiteral("Bitte wählen Sie den Ordner für die SEPA-Datei(en) aus\r\nAlte Einstellung: ") + alt;
  const std::optional<QString> gewaehlt =
      m_ordnerWahl ? m_ordnerWahl(this, QStringLiteral("Exportlaufwerk einstellen"), aufforderung, alt) : std::nullopt;
  if (!gewaehlt || gewaehlt->isEmpty()) return false;
  m_aktuellesLaufwerk->setText(BackslashAnhaengen(QDir::toNativeSeparators(*gewaehlt)));
  if (!m_ordnerHinweis.isEmpty()) {
    m_ordnerHinweis.clear();
    StatusSetzen(m_statusText, m_status->palette().color(QPalette::WindowText));
  }
  return true;
}

void FormularDTADisk::BisDatumAbfragen() {
  EingabeAnfrage anfrage;
  anfrage.titel = Meldung::ProgrammTitel();
  anfrage.aufforderung = QStringLiteral("Eingabe Bis-Datum tt.mm.jj");
  const std::optional<QString> antwort = Meldung::Backend().Eingabe(anfrage, this);
  if (!antwort) return;   // cancelled: the limit stays
  if (antwort->trimmed().isEmpty()) {
    m_verwendungszweckDatumBis.reset();
    ZahlungenSelektieren();
    return;
  }
  const std::optional<QDate> datum = DatumAusEingabe(*antwort);
  if (!datum) {
    Meldung::Zeigen(QStringLiteral("Das Bis-Datum \"") + antwort->trimmed() +
                        QStringLiteral("\" ist ungültig.\rBitte geben Sie es als tt.mm.jj oder tt.mm.jjjj ein."),
                    MeldungsKnoepfe::Ok, MeldungsSymbol::Keins, {}, this);
    return;
  }
  m_verwendungszweckDatumBis = datum;
  ZahlungenSelektieren();
}

void FormularDTADisk::FehlerlisteZeigen() {
  if (!m_fehlerliste) {
    m_fehlerliste = new SepaFehlerliste(this);
    m_fehlerliste->setAttribute(Qt::WA_DeleteOnClose);
  }
  m_fehlerliste->BefundeSetzen(m_auswahl.Befunde);
  m_fehlerliste->show();
  m_fehlerliste->raise();
  m_fehlerliste->activateWindow();
}

QDialog* FormularDTADiskErzeugen(QWidget* eltern) { return new FormularDTADisk(eltern); }
