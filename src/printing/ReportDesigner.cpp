#include "printing/ReportDesigner.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QScreen>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "common/Programmzustand.h"
#include "common/SichereDateien.h"
#include "platform/report/QtReportengine.h"
#include "platform/report/core/Reportengine.h"
#include "platform/report/core/Reportpruefung.h"
#include "platform/report/core/Seitenaufbau.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/TastenVorschau.h"
#include "printing/core/Reportentwurf.h"
#include "printing/Zeileneditor.h"

namespace {

const QString kAbschnitt = QStringLiteral("Designer State");
constexpr int kBeispielzeilen = 5;
constexpr int kVorschaubreite = 300;   // pixels across the preview page at least

std::function<void(ReportDesigner&)>& Haken() {
  static std::function<void(ReportDesigner&)> h;
  return h;
}

QString Typname(Report::Typ typ) {
  switch (typ) {
    case Report::Typ::Text: return QStringLiteral("Text");
    case Report::Typ::Zahl: return QStringLiteral("Zahl");
    case Report::Typ::Datum: return QStringLiteral("Datum");
    case Report::Typ::Boolean: return QStringLiteral("Ja/Nein");
    case Report::Typ::Bild: return QStringLiteral("Bild");
    case Report::Typ::Keiner: break;
  }
  return {};
}

// Formats a column of this kind may take; the first, empty, is the standard one.
QStringList Formatvorschlaege(Report::Typ typ, const QVariant& muster) {
  switch (typ) {
    case Report::Typ::Zahl:
      if (muster.metaType().id() == QMetaType::LongLong || muster.metaType().id() == QMetaType::Int)
        return {QString(), QStringLiteral("0"), QStringLiteral("#.##0"), QStringLiteral("#.##0,00")};
      return {QString(), QStringLiteral("#.##0,00"), QStringLiteral("0,00"), QStringLiteral("0")};
    case Report::Typ::Datum:
      return {QString(), QStringLiteral("dd.MM.yyyy"), QStringLiteral("dd.MM.yy"), QStringLiteral("MM.yyyy")};
    case Report::Typ::Boolean: return {QString(), QStringLiteral("Ja;Nein"), QStringLiteral("X;")};
    default: return {QString()};
  }
}

const char* const kAusrichtungen[] = {"Links", "Mitte", "Rechts"};

QString Millimeter(double mm) { return QLocale(QLocale::German).toString(mm, 'f', mm == std::floor(mm) ? 0 : 1) + QStringLiteral(" mm"); }

QDoubleSpinBox* MillimeterFeld(double bis, QWidget* eltern) {
  auto* feld = new QDoubleSpinBox(eltern);
  feld->setLocale(QLocale(QLocale::German));
  feld->setRange(0, bis);
  feld->setDecimals(1);
  feld->setSuffix(QStringLiteral(" mm"));
  return feld;
}

QPushButton* Knopf(const QString& text, const QString& tipp, QWidget* eltern) {
  auto* k = new QPushButton(text, eltern);
  k->setAutoDefault(false);
  k->setToolTip(tipp);
  return k;
}

QLabel* Beschriftung(const QString& text, QWidget* feld, QWidget* eltern) {
  auto* l = new QLabel(text, eltern);
  l->setBuddy(feld);
  return l;
}

}  // namespace

ReportDesigner::ReportDesigner(const QString& datei, const Reportdefinitionen& definitionen, const QString& titel,
                               QWidget* eltern)
    : QDialog(eltern), m_datei(datei), m_definitionen(definitionen), m_aufrufer(titel) {
  setObjectName(QStringLiteral("ReportDesigner"));
  setWindowIcon(Bildliste::Bilder16().Bild(QStringLiteral("Drucken")));
  setModal(true);
  setSizeGripEnabled(true);

  m_beschreibung = new QLineEdit(this);
  m_beschreibung->setToolTip(QStringLiteral("Beschreibung des Reports (erscheint in der Druckausgabe neben dem Dateinamen)"));
  connect(m_beschreibung, &QLineEdit::textEdited, this, &ReportDesigner::Veraendert);
  auto* kopf = new QHBoxLayout;
  kopf->addWidget(Beschriftung(QStringLiteral("&Beschreibung:"), m_beschreibung, this));
  kopf->addWidget(m_beschreibung, 1);

  m_register = new QTabWidget(this);
  m_register->addTab(SpaltenRegister(), QStringLiteral("S&palten"));
  m_register->addTab(TexteRegister(), QStringLiteral("&Texte"));
  m_register->addTab(SeiteRegister(), QStringLiteral("Seite und S&ortierung"));

  auto* vorschauRahmen = new QGroupBox(QStringLiteral("Vorschau mit Beispieldaten"), this);
  m_vorschau = new QLabel(vorschauRahmen);
  m_vorschau->setObjectName(QStringLiteral("Vorschau"));
  m_vorschau->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_vorschauFlaeche = new QScrollArea(vorschauRahmen);
  m_vorschauFlaeche->setWidget(m_vorschau);
  m_vorschauFlaeche->setWidgetResizable(true);
  m_vorschauFlaeche->setBackgroundRole(QPalette::Dark);
  m_vorschauFlaeche->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // The page as wide as the preview: drawn anew when that changes.
  m_vorschauFlaeche->viewport()->installEventFilter(this);
  m_vorschauZurueck = Knopf(QStringLiteral("<"), QStringLiteral("Vorige Seite der Vorschau"), vorschauRahmen);
  m_vorschauVor = Knopf(QStringLiteral(">"), QStringLiteral("Nächste Seite der Vorschau"), vorschauRahmen);
  m_vorschauSeite = new QLabel(vorschauRahmen);
  auto* blaettern = new QVBoxLayout;
  blaettern->addWidget(m_vorschauZurueck);
  blaettern->addWidget(m_vorschauSeite);
  blaettern->addWidget(m_vorschauVor);
  blaettern->addStretch(1);
  auto* vorschauLayout = new QHBoxLayout(vorschauRahmen);
  vorschauLayout->addWidget(m_vorschauFlaeche, 1);
  vorschauLayout->addLayout(blaettern);
  connect(m_vorschauZurueck, &QPushButton::clicked, this, [this] { VorschauZeigen(m_vorschauIndex - 1); });
  connect(m_vorschauVor, &QPushButton::clicked, this, [this] { VorschauZeigen(m_vorschauIndex + 1); });

  auto* teiler = new QSplitter(Qt::Vertical, this);
  teiler->setChildrenCollapsible(false);
  teiler->addWidget(m_register);
  teiler->addWidget(vorschauRahmen);
  teiler->setStretchFactor(0, 1);
  teiler->setStretchFactor(1, 1);
  m_teiler = teiler;

  m_speichern = Knopf(QStringLiteral("&Speichern"), QStringLiteral("Report in die Datei schreiben (Strg+S)"), this);
  m_schliessen = Knopf(QStringLiteral("S&chließen"), QStringLiteral("Designer schließen"), this);
  auto* unten = new QHBoxLayout;
  auto* dateiname = new QLabel(QStringLiteral("Datei: ") + QDir::toNativeSeparators(m_datei), this);
  dateiname->setTextInteractionFlags(Qt::TextSelectableByMouse);
  unten->addWidget(dateiname, 1);
  unten->addWidget(m_speichern);
  unten->addWidget(m_schliessen);
  connect(m_speichern, &QPushButton::clicked, this, [this] { Speichern(); });
  connect(m_schliessen, &QPushButton::clicked, this, &ReportDesigner::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(kopf);
  layout->addWidget(teiler, 1);
  layout->addLayout(unten);

  m_vorschauTakt = new QTimer(this);
  m_vorschauTakt->setSingleShot(true);
  m_vorschauTakt->setInterval(150);
  connect(m_vorschauTakt, &QTimer::timeout, this, &ReportDesigner::VorschauAktualisieren);

  // The placeholders go into the text field last used.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* jetzt) {
    auto* feld = qobject_cast<QLineEdit*>(jetzt);
    if (!feld || !isAncestorOf(feld) || feld == m_beschreibung || feld == m_spaltenTitel) return;
    if (qobject_cast<QAbstractSpinBox*>(feld->parent()) || qobject_cast<QComboBox*>(feld->parent())) return;
    m_letztesTextfeld = feld;
  });

  auto* tasten = new TastenVorschau(this);
  tasten->HilfeSetzen(
      [this] { HilfeAnzeigen(HilfeKontext::Designer, Zustand().HilfeOrdner(), this); });
  tasten->AbbrechenKnopfSetzen(m_schliessen);
  tasten->TasteZuordnen(Qt::Key_S, Qt::ControlModifier, [this] {
    Speichern();
    return true;
  });

  TitelSetzen();
  FensterpositionVerwalten(true, kAbschnitt, this, 95, false);
}

ReportDesigner::~ReportDesigner() { FensterpositionVerwalten(false, kAbschnitt, this, 95, false); }

QWidget* ReportDesigner::SpaltenRegister() {
  auto* seite = new QWidget(this);

  auto* felderRahmen = new QGroupBox(QStringLiteral("Fel&der der Daten"), seite);
  m_felder = new QListWidget(felderRahmen);
  m_felder->setObjectName(QStringLiteral("Felder"));
  m_felder->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_felder->setToolTip(QStringLiteral("Doppelklick oder „Hinzufügen“ legt eine Spalte mit dem Feld an"));
  for (const Reportdefinition& f : m_definitionen.felder) {
    auto* eintrag = new QListWidgetItem(f.name + QStringLiteral("  (") + Typname(f.typ) + QLatin1Char(')'), m_felder);
    eintrag->setData(Qt::UserRole, f.name);
    eintrag->setToolTip(eintrag->text());
  }
  // The list is as wide as its longest name ("Verwendungszweck.ZahlungsBetrag  (Zahl)"), up to a quarter of
  // the screen (the column list beside it needs its room too); beyond that an entry shows whole in its tooltip.
  const int hoechstens = screen() ? screen()->availableGeometry().width() / 4 : 320;
  m_felder->setMinimumWidth(std::min(hoechstens, m_felder->sizeHintForColumn(0) + 2 * m_felder->frameWidth() +
                                                      m_felder->verticalScrollBar()->sizeHint().width() + 4));
  m_hinzufuegen = Knopf(QStringLiteral("&Hinzufügen"), QStringLiteral("Gewählte Felder als Spalten anlegen"), felderRahmen);
  auto* felderLayout = new QVBoxLayout(felderRahmen);
  felderLayout->addWidget(m_felder, 1);
  felderLayout->addWidget(m_hinzufuegen);
  auto hinzufuegen = [this] {
    const QList<QListWidgetItem*> gewaehlt = m_felder->selectedItems();
    // In the order of the list, not of the clicks.
    QList<int> reihen;
    for (const QListWidgetItem* e : gewaehlt) reihen << m_felder->row(e);
    std::sort(reihen.begin(), reihen.end());
    for (int r : reihen) FeldHinzufuegen(m_felder->item(r)->data(Qt::UserRole).toString());
  };
  connect(m_hinzufuegen, &QPushButton::clicked, this, hinzufuegen);
  connect(m_felder, &QListWidget::itemDoubleClicked, this, hinzufuegen);

  auto* spaltenRahmen = new QGroupBox(QStringLiteral("Spalten, &von links nach rechts"), seite);
  m_spalten = new QTableWidget(0, 4, spaltenRahmen);
  m_spalten->setObjectName(QStringLiteral("Spalten"));
  m_spalten->setHorizontalHeaderLabels(
      {QStringLiteral("Titel"), QStringLiteral("Wert"), QStringLiteral("Breite"), QStringLiteral("Summe")});
  m_spalten->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_spalten->setSelectionMode(QAbstractItemView::SingleSelection);
  m_spalten->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_spalten->verticalHeader()->setVisible(false);
  m_spalten->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_spalten->setWordWrap(false);
  m_spalten->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_spalten->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  m_spalten->setTabKeyNavigation(false);
  m_entfernen = Knopf(QStringLiteral("&Entfernen"), QStringLiteral("Gewählte Spalte entfernen"), spaltenRahmen);
  m_links = Knopf(QStringLiteral("Nach &links"), QStringLiteral("Gewählte Spalte eine Stelle nach links"), spaltenRahmen);
  m_rechts = Knopf(QStringLiteral("Nach &rechts"), QStringLiteral("Gewählte Spalte eine Stelle nach rechts"), spaltenRahmen);
  auto* spaltenKnoepfe = new QHBoxLayout;
  spaltenKnoepfe->addWidget(m_links);
  spaltenKnoepfe->addWidget(m_rechts);
  spaltenKnoepfe->addStretch(1);
  spaltenKnoepfe->addWidget(m_entfernen);
  m_breitenhinweis = new QLabel(spaltenRahmen);
  m_breitenhinweis->setWordWrap(true);
  auto* spaltenLayout = new QVBoxLayout(spaltenRahmen);
  spaltenLayout->addWidget(m_spalten, 1);
  spaltenLayout->addLayout(spaltenKnoepfe);
  spaltenLayout->addWidget(m_breitenhinweis);
  connect(m_entfernen, &QPushButton::clicked, this, &ReportDesigner::SpalteEntfernen);
  connect(m_links, &QPushButton::clicked, this, [this] { SpalteVerschieben(-1); });
  connect(m_rechts, &QPushButton::clicked, this, [this] { SpalteVerschieben(+1); });
  connect(m_spalten, &QTableWidget::itemSelectionChanged, this, &ReportDesigner::SpalteAnzeigen);

  auto* spalteRahmen = new QGroupBox(QStringLiteral("Gewählte Spalte"), seite);
  m_spaltenTitel = new QLineEdit(spalteRahmen);
  m_spaltenTitel->setToolTip(QStringLiteral("Überschrift der Spalte"));
  m_spaltenWert = new QLineEdit(spalteRahmen);
  m_spaltenWert->setToolTip(QStringLiteral("Inhalt der Spalte: Text mit Platzhaltern wie {Name} oder {Betrag|#.##0,00}"));
  m_format = new QComboBox(spalteRahmen);
  m_format->setEditable(true);
  m_format->setInsertPolicy(QComboBox::NoInsert);
  m_format->lineEdit()->setPlaceholderText(QStringLiteral("Standard"));
  m_format->setToolTip(QStringLiteral("Zahlen: #.##0,00 oder 0; Datum: dd.MM.yyyy; Ja/Nein: Ja;Nein"));
  m_breite = MillimeterFeld(1000, spalteRahmen);
  m_breite->setSuffix(QString());
  m_breite->setMinimum(1);
  m_ausrichtung = new QComboBox(spalteRahmen);
  for (const char* a : kAusrichtungen) m_ausrichtung->addItem(QString::fromLatin1(a));
  m_summe = new QCheckBox(QStringLiteral("Summe am Liste&nende"), spalteRahmen);
  m_summe->setToolTip(QStringLiteral("Nur für Spalten, die genau ein Feld zeigen, dessen Summe zulässig ist"));
  m_umbruch = new QCheckBox(QStringLiteral("Lange Werte &umbrechen"), spalteRahmen);
  m_nurErste = new QCheckBox(QStringLiteral("Nur in der ersten &Zeile einer Gruppe"), spalteRahmen);
  auto* form = new QFormLayout(spalteRahmen);
  form->addRow(Beschriftung(QStringLiteral("T&itel:"), m_spaltenTitel, spalteRahmen), m_spaltenTitel);
  form->addRow(Beschriftung(QStringLiteral("&Wert:"), m_spaltenWert, spalteRahmen), m_spaltenWert);
  form->addRow(Beschriftung(QStringLiteral("&Format:"), m_format, spalteRahmen), m_format);
  form->addRow(Beschriftung(QStringLiteral("Breite in &mm:"), m_breite, spalteRahmen), m_breite);
  form->addRow(Beschriftung(QStringLiteral("&Ausrichtung:"), m_ausrichtung, spalteRahmen), m_ausrichtung);
  form->addRow(m_summe);
  form->addRow(m_umbruch);
  form->addRow(m_nurErste);

  connect(m_spaltenTitel, &QLineEdit::textEdited, this, &ReportDesigner::SpalteUebernehmen);
  connect(m_spaltenWert, &QLineEdit::textEdited, this, [this] {
    SpalteUebernehmen();
    // The format field follows the value.
    const int i = GewaehlteSpalte();
    if (i < 0) return;
    const auto feld = Reportentwurf::EinzigesFeld(m_layout.spalten.at(i).wert);
    QSignalBlocker sperre(m_format);
    FormatvorschlaegeSetzen(feld ? feld->name : QString());
    m_format->setEditText(feld ? feld->format : QString());
  });
  connect(m_format, &QComboBox::editTextChanged, this, [this](const QString& format) {
    const int i = GewaehlteSpalte();
    if (m_anzeigen || i < 0) return;
    const auto feld = Reportentwurf::EinzigesFeld(m_layout.spalten.at(i).wert);
    if (!feld) return;
    m_layout.spalten[i].wert = Reportentwurf::FeldwertText(feld->name, format.trimmed());
    QSignalBlocker sperre(m_spaltenWert);
    m_spaltenWert->setText(m_layout.spalten.at(i).wert);
    SpaltenzeileAnzeigen(i);
    Veraendert();
  });
  connect(m_breite, &QDoubleSpinBox::valueChanged, this, &ReportDesigner::SpalteUebernehmen);
  connect(m_ausrichtung, &QComboBox::currentIndexChanged, this, &ReportDesigner::SpalteUebernehmen);
  for (QCheckBox* k : {m_summe, m_umbruch, m_nurErste}) connect(k, &QCheckBox::toggled, this, &ReportDesigner::SpalteUebernehmen);

  auto* reihe = new QHBoxLayout(seite);
  reihe->addWidget(felderRahmen, 2);
  reihe->addWidget(spaltenRahmen, 4);
  reihe->addWidget(spalteRahmen, 3);
  return seite;
}

QWidget* ReportDesigner::TexteRegister() {
  auto* seite = new QWidget(this);
  auto* titelRahmen = new QGroupBox(QStringLiteral("Titel (auf der ersten Seite)"), seite);
  m_titel = new Zeileneditor(titelRahmen);
  m_titel->setObjectName(QStringLiteral("Titel"));
  (new QVBoxLayout(titelRahmen))->addWidget(m_titel);

  auto band = [&](const QString& titel, std::array<QLineEdit*, 3>& felder) {
    auto* rahmen = new QGroupBox(titel, seite);
    auto* raster = new QGridLayout(rahmen);
    const char* teile[] = {"links", "Mitte", "rechts"};
    for (int i = 0; i < 3; ++i) {
      felder[i] = new QLineEdit(rahmen);
      raster->addWidget(new QLabel(QString::fromLatin1(teile[i]), rahmen), 0, i);
      raster->addWidget(felder[i], 1, i);
      connect(felder[i], &QLineEdit::textEdited, this, &ReportDesigner::TexteUebernehmen);
    }
    return rahmen;
  };
  QGroupBox* kopf = band(QStringLiteral("Kopfzeile (jede Seite)"), m_kopf);
  QGroupBox* fuss = band(QStringLiteral("Fußzeile (jede Seite)"), m_fuss);

  auto* zusammenRahmen = new QGroupBox(QStringLiteral("Zusammenfassung (am Listenende)"), seite);
  m_zusammenfassung = new Zeileneditor(zusammenRahmen);
  m_zusammenfassung->setObjectName(QStringLiteral("Zusammenfassung"));
  (new QVBoxLayout(zusammenRahmen))->addWidget(m_zusammenfassung);
  connect(m_titel, &Zeileneditor::Geaendert, this, &ReportDesigner::TexteUebernehmen);
  connect(m_zusammenfassung, &Zeileneditor::Geaendert, this, &ReportDesigner::TexteUebernehmen);

  // Every name a text may use: the print's variables, the page numbers, and for the summary the
  // aggregates of the fields.
  m_platzhalter = new QComboBox(seite);
  m_platzhalter->setObjectName(QStringLiteral("Platzhalter"));
  for (const Reportdefinition& v : m_definitionen.variablen) m_platzhalter->addItem(QLatin1Char('{') + v.name + QLatin1Char('}'));
  m_platzhalter->addItem(QStringLiteral("{Seite}"));
  m_platzhalter->addItem(QStringLiteral("{Seiten}"));
  for (const Reportdefinition& f : m_definitionen.felder) {
    if (f.typ == Report::Typ::Zahl && f.summeGesperrt.isEmpty()) {
      m_platzhalter->addItem(QStringLiteral("{Summe(") + f.name + QStringLiteral(")}"));
      m_platzhalter->addItem(QStringLiteral("{Gruppensumme(") + f.name + QStringLiteral(")}"));
    }
    m_platzhalter->addItem(QStringLiteral("{Anzahl(") + f.name + QStringLiteral(")}"));
  }
  m_platzhalter->setToolTip(QStringLiteral("Summe, Gruppensumme und Anzahl gehören in die Zusammenfassung"));
  m_einfuegen = Knopf(QStringLiteral("Ei&nfügen"), QStringLiteral("Platzhalter in das zuletzt benutzte Textfeld einfügen"), seite);
  connect(m_einfuegen, &QPushButton::clicked, this, [this] { PlatzhalterEinfuegen(m_platzhalter->currentText()); });
  auto* einfuegen = new QHBoxLayout;
  einfuegen->addWidget(Beschriftung(QStringLiteral("Platz&halter:"), m_platzhalter, seite));
  einfuegen->addWidget(m_platzhalter, 1);
  einfuegen->addWidget(m_einfuegen);

  auto* layout = new QVBoxLayout(seite);
  layout->addWidget(titelRahmen);
  layout->addWidget(kopf);
  layout->addWidget(fuss);
  layout->addWidget(zusammenRahmen);
  layout->addLayout(einfuegen);
  layout->addStretch(1);
  auto* rollen = new QScrollArea(this);
  rollen->setWidget(seite);
  rollen->setWidgetResizable(true);
  rollen->setFrameShape(QFrame::NoFrame);
  return rollen;
}

QWidget* ReportDesigner::SeiteRegister() {
  auto* seite = new QWidget(this);
  auto* papierRahmen = new QGroupBox(QStringLiteral("Seite"), seite);
  m_papier = new QComboBox(papierRahmen);
  for (const auto& [id, name] : Reportdatei::Papierformate()) m_papier->addItem(name, int(id));
  m_seitenausrichtung = new QComboBox(papierRahmen);
  m_seitenausrichtung->addItems({QStringLiteral("Hochformat"), QStringLiteral("Querformat")});
  const char* raender[] = {"Rand links:", "Rand oben:", "Rand rechts:", "Rand unten:"};
  m_schrift = new QFontComboBox(papierRahmen);
  m_groesse = new QDoubleSpinBox(papierRahmen);
  m_groesse->setLocale(QLocale(QLocale::German));
  m_groesse->setRange(4, 72);
  m_groesse->setDecimals(1);
  m_groesse->setSuffix(QStringLiteral(" pt"));
  auto* form = new QFormLayout(papierRahmen);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form->addRow(Beschriftung(QStringLiteral("Pap&ier:"), m_papier, papierRahmen), m_papier);
  form->addRow(Beschriftung(QStringLiteral("&Ausrichtung:"), m_seitenausrichtung, papierRahmen), m_seitenausrichtung);
  for (int i = 0; i < 4; ++i) {
    m_raender[i] = MillimeterFeld(100, papierRahmen);
    form->addRow(QString::fromUtf8(raender[i]), m_raender[i]);
    connect(m_raender[i], &QDoubleSpinBox::valueChanged, this, &ReportDesigner::SeiteUebernehmen);
  }
  form->addRow(Beschriftung(QStringLiteral("Sc&hrift:"), m_schrift, papierRahmen), m_schrift);
  form->addRow(Beschriftung(QStringLiteral("Schrift&größe:"), m_groesse, papierRahmen), m_groesse);
  connect(m_papier, &QComboBox::currentIndexChanged, this, &ReportDesigner::SeiteUebernehmen);
  connect(m_seitenausrichtung, &QComboBox::currentIndexChanged, this, &ReportDesigner::SeiteUebernehmen);
  connect(m_schrift, &QFontComboBox::currentFontChanged, this, &ReportDesigner::SeiteUebernehmen);
  connect(m_groesse, &QDoubleSpinBox::valueChanged, this, &ReportDesigner::SeiteUebernehmen);

  auto* reihenRahmen = new QGroupBox(QStringLiteral("Reihenfolge und Gruppen"), seite);
  m_sortierung = new QComboBox(reihenRahmen);
  m_sortierung->setObjectName(QStringLiteral("Sortierung"));
  m_sortierung->setToolTip(QStringLiteral("Die Sortierungen, die die Daten dieses Drucks anbieten"));
  m_gruppe = new QComboBox(reihenRahmen);
  m_gruppe->setObjectName(QStringLiteral("Gruppe"));
  m_gruppe->setToolTip(QStringLiteral("Ändert sich dieses Feld, beginnt eine Gruppe (z. B. eine Zahlung mit ihren Zeilen)"));
  auto* reihen = new QFormLayout(reihenRahmen);
  reihen->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  reihen->addRow(Beschriftung(QStringLiteral("So&rtierung:"), m_sortierung, reihenRahmen), m_sortierung);
  reihen->addRow(Beschriftung(QStringLiteral("Gr&uppe bei Wechsel von:"), m_gruppe, reihenRahmen), m_gruppe);
  connect(m_sortierung, &QComboBox::currentIndexChanged, this, &ReportDesigner::SeiteUebernehmen);
  connect(m_gruppe, &QComboBox::currentIndexChanged, this, &ReportDesigner::SeiteUebernehmen);

  auto* layout = new QVBoxLayout(seite);
  layout->addWidget(papierRahmen);
  layout->addWidget(reihenRahmen);
  layout->addStretch(1);
  return seite;
}

void ReportDesigner::Einsetzen() { QtReportengine::DesignerSetzen(&ReportDesigner::Oeffnen); }

void ReportDesigner::HakenSetzen(std::function<void(ReportDesigner&)> haken) { Haken() = std::move(haken); }

int ReportDesigner::Oeffnen(QWidget* eltern, const QString& titel, int projektTyp, const QString& datei,
                            const Reportdefinitionen& definitionen) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return Report::KeinDesigner;
  if (projektTyp != Report::Liste) {
    Meldung::Hinweis(QStringLiteral("Der Report-Designer bearbeitet nur Listen-Reports (.LST)."), {}, eltern);
    return Report::Abgebrochen;
  }
  ReportDesigner designer(datei, definitionen, titel, eltern);
  QString fehler;
  if (!designer.Laden(fehler)) {
    const QString frage = Meldung::Zeilen(
        {QStringLiteral("Die Reportdatei ist defekt oder hat ein falsches Format."), QDir::toNativeSeparators(datei),
         fehler, QString(), QStringLiteral("Soll der Report neu aufgebaut werden? Beim Speichern wird die Datei ersetzt.")});
    if (!Meldung::Frage(frage, {}, eltern)) return Report::Abgebrochen;
    designer.NeuBeginnen();
  }
  if (Haken()) {
    designer.show();
    Haken()(designer);
  } else {
    designer.exec();
  }
  return designer.Gespeichert() ? Report::Ok : Report::Abgebrochen;
}

bool ReportDesigner::Laden(QString& fehler) {
  const Reportdatei::Ergebnis gelesen = Reportdatei::Laden(m_datei);
  if (gelesen.fehler == Reportdatei::Lesefehler::FehltDatei) {
    NeuBeginnen();
    return true;
  }
  if (!gelesen.layout) {
    fehler = gelesen.fehler == Reportdatei::Lesefehler::Unlesbar ? QStringLiteral("Die Datei kann nicht gelesen werden.")
                                                                 : gelesen.beschreibung;
    return false;
  }
  LayoutSetzen(*gelesen.layout);
  return true;
}

void ReportDesigner::NeuBeginnen() {
  LayoutSetzen(Reportentwurf::NeuerReport(m_aufrufer, m_definitionen));
  // Not in the file yet: closing asks whether to save it.
  m_neu = true;
  setWindowModified(true);
}

void ReportDesigner::LayoutSetzen(const Reportlayout& layout) {
  m_layout = layout;
  m_gespeichert = layout;
  m_neu = false;
  setWindowModified(false);
  Anzeigen();
  if (!m_layout.spalten.isEmpty()) SpalteWaehlen(0);
  VorschauAktualisieren();
}

void ReportDesigner::TitelSetzen() {
  setWindowTitle(QStringLiteral("Report-Designer – ") + QFileInfo(m_datei).fileName() + QStringLiteral(" [") + m_aufrufer +
                 QStringLiteral("][*]"));
  setWindowModified(Geaendert());
}

void ReportDesigner::Anzeigen() {
  m_anzeigen = true;
  m_beschreibung->setText(m_layout.beschreibung);
  m_titel->ZeilenSetzen(m_layout.titel);
  m_zusammenfassung->ZeilenSetzen(m_layout.zusammenfassung);
  const QString kopf[] = {m_layout.kopfLinks, m_layout.kopfMitte, m_layout.kopfRechts};
  const QString fuss[] = {m_layout.fussLinks, m_layout.fussMitte, m_layout.fussRechts};
  for (int i = 0; i < 3; ++i) {
    m_kopf[i]->setText(kopf[i]);
    m_fuss[i]->setText(fuss[i]);
  }
  m_papier->setCurrentIndex(std::max(0, m_papier->findData(int(m_layout.papier))));
  m_seitenausrichtung->setCurrentIndex(m_layout.ausrichtung == QPageLayout::Landscape ? 1 : 0);
  const double raender[] = {m_layout.raender.left(), m_layout.raender.top(), m_layout.raender.right(), m_layout.raender.bottom()};
  for (int i = 0; i < 4; ++i) m_raender[i]->setValue(raender[i]);
  m_schrift->setCurrentFont(QFont(m_layout.schrift));
  // A font this machine lacks stays the report's font.
  m_schrift->setEditText(m_layout.schrift);
  m_groesse->setValue(m_layout.groesse);
  SortierungenAnzeigen();
  SpaltenlisteAnzeigen();
  m_anzeigen = false;
  SpalteAnzeigen();
}

void ReportDesigner::SortierungenAnzeigen() {
  m_sortierung->clear();
  m_sortierung->addItem(QStringLiteral("(Reihenfolge der Daten)"), QString());
  for (const auto& [kennung, text] : m_definitionen.sortierungen) m_sortierung->addItem(text, kennung);
  int i = m_sortierung->findData(m_layout.sortierung);
  if (i < 0) {
    // Kept as it is, visibly: printing it gives the re-sort message.
    m_sortierung->addItem(m_layout.sortierung + QStringLiteral(" (für diese Daten nicht angeboten)"), m_layout.sortierung);
    i = m_sortierung->count() - 1;
  }
  m_sortierung->setCurrentIndex(i);

  m_gruppe->clear();
  m_gruppe->addItem(QStringLiteral("(keine Gruppen)"), QString());
  for (const Reportdefinition& f : m_definitionen.felder) m_gruppe->addItem(f.name, f.name);
  i = m_gruppe->findData(m_layout.gruppe);
  if (i < 0) {
    m_gruppe->addItem(m_layout.gruppe + QStringLiteral(" (unbekanntes Feld)"), m_layout.gruppe);
    i = m_gruppe->count() - 1;
  }
  m_gruppe->setCurrentIndex(i);
}

void ReportDesigner::SpaltenlisteAnzeigen() {
  QSignalBlocker sperre(m_spalten);
  m_spalten->setRowCount(int(m_layout.spalten.size()));
  for (int i = 0; i < m_spalten->rowCount(); ++i) SpaltenzeileAnzeigen(i);
}

void ReportDesigner::SpaltenzeileAnzeigen(int i) {
  const Reportspalte& s = m_layout.spalten.at(i);
  const QString texte[] = {s.titel, s.wert, Millimeter(s.breite), s.summe ? QStringLiteral("ja") : QString()};
  for (int k = 0; k < 4; ++k) {
    QTableWidgetItem* zelle = m_spalten->item(i, k);
    if (!zelle) {
      zelle = new QTableWidgetItem;
      m_spalten->setItem(i, k, zelle);
    }
    zelle->setText(texte[k]);
  }
  const double breite = Reportentwurf::Spaltenbreite(m_layout);
  const double platz = Reportentwurf::Nutzbreite(m_layout);
  QString hinweis = QStringLiteral("Spalten zusammen %1, Platz auf der Seite %2").arg(Millimeter(breite), Millimeter(platz));
  if (breite > platz + 0.05) hinweis += QStringLiteral(" – die Spalten werden beim Druck schmaler.");
  m_breitenhinweis->setText(hinweis);
}

int ReportDesigner::GewaehlteSpalte() const {
  const QList<QTableWidgetSelectionRange> bereiche = m_spalten->selectedRanges();
  return bereiche.isEmpty() ? -1 : bereiche.first().topRow();
}

void ReportDesigner::SpalteWaehlen(int index) {
  if (index < 0 || index >= m_spalten->rowCount()) {
    m_spalten->clearSelection();
  } else {
    m_spalten->selectRow(index);
    m_spalten->setCurrentCell(index, 0);
  }
  SpalteAnzeigen();
}

void ReportDesigner::FormatvorschlaegeSetzen(const QString& feld) {
  const Reportdefinition* d = feld.isEmpty() ? nullptr : m_definitionen.Feld(feld);
  m_format->clear();
  m_format->addItems(Formatvorschlaege(d ? d->typ : Report::Typ::Keiner, d ? d->wert : QVariant()));
  m_format->setEnabled(!feld.isEmpty());
}

void ReportDesigner::SpalteAnzeigen() {
  const int i = GewaehlteSpalte();
  const bool gewaehlt = i >= 0;
  for (QWidget* w : std::initializer_list<QWidget*>{m_spaltenTitel, m_spaltenWert, m_format, m_breite, m_ausrichtung, m_summe,
                                                    m_umbruch, m_nurErste, m_entfernen})
    w->setEnabled(gewaehlt);
  m_links->setEnabled(gewaehlt && i > 0);
  m_rechts->setEnabled(gewaehlt && i + 1 < m_layout.spalten.size());
  const bool vorher = m_anzeigen;
  m_anzeigen = true;
  const Reportspalte s = gewaehlt ? m_layout.spalten.at(i) : Reportspalte{};
  m_spaltenTitel->setText(gewaehlt ? s.titel : QString());
  m_spaltenWert->setText(gewaehlt ? s.wert : QString());
  const auto feld = Reportentwurf::EinzigesFeld(s.wert);
  FormatvorschlaegeSetzen(gewaehlt && feld ? feld->name : QString());
  m_format->setEditText(feld ? feld->format : QString());
  m_breite->setValue(s.breite);
  m_ausrichtung->setCurrentIndex(int(s.ausrichtung));
  m_summe->setChecked(s.summe);
  m_summe->setEnabled(gewaehlt && Summierbar(s));
  m_umbruch->setChecked(s.umbruch);
  m_nurErste->setChecked(s.nurErste);
  m_anzeigen = vorher;
}

bool ReportDesigner::Summierbar(const Reportspalte& s) const {
  const auto feld = Reportentwurf::EinzigesFeld(s.wert);
  return feld && m_definitionen.SummeGesperrt(feld->name).isEmpty();
}

void ReportDesigner::SpalteUebernehmen() {
  const int i = GewaehlteSpalte();
  if (m_anzeigen || i < 0) return;
  Reportspalte& s = m_layout.spalten[i];
  s.titel = m_spaltenTitel->text();
  s.wert = m_spaltenWert->text();
  s.breite = m_breite->value();
  s.ausrichtung = Spaltenausrichtung(m_ausrichtung->currentIndex());
  // Only a single field adds up; a value that stops being one loses its sum.
  const bool summierbar = Summierbar(s);
  m_summe->setEnabled(summierbar);
  if (!summierbar && m_summe->isChecked()) {
    QSignalBlocker sperre(m_summe);
    m_summe->setChecked(false);
  }
  s.summe = summierbar && m_summe->isChecked();
  s.umbruch = m_umbruch->isChecked();
  s.nurErste = m_nurErste->isChecked();
  SpaltenzeileAnzeigen(i);
  Veraendert();
}

void ReportDesigner::FeldHinzufuegen(const QString& feld) {
  const Reportdefinition* d = m_definitionen.Feld(feld);
  if (!d) return;
  // Behind the chosen column, else at the end.
  const int gewaehlt = GewaehlteSpalte();
  const int neu = gewaehlt < 0 ? int(m_layout.spalten.size()) : gewaehlt + 1;
  m_layout.spalten.insert(neu, Reportentwurf::SpalteAusFeld(*d));
  SpaltenlisteAnzeigen();
  SpalteWaehlen(neu);
  Veraendert();
}

void ReportDesigner::SpalteEntfernen() {
  const int i = GewaehlteSpalte();
  if (i < 0) return;
  m_layout.spalten.removeAt(i);
  SpaltenlisteAnzeigen();
  SpalteWaehlen(std::min(i, int(m_layout.spalten.size()) - 1));
  Veraendert();
}

void ReportDesigner::SpalteVerschieben(int richtung) {
  const int i = GewaehlteSpalte();
  const int ziel = i + richtung;
  if (i < 0 || ziel < 0 || ziel >= m_layout.spalten.size()) return;
  m_layout.spalten.swapItemsAt(i, ziel);
  SpaltenlisteAnzeigen();
  SpalteWaehlen(ziel);
  Veraendert();
}

void ReportDesigner::TexteUebernehmen() {
  if (m_anzeigen) return;
  m_layout.titel = m_titel->Zeilen();
  m_layout.zusammenfassung = m_zusammenfassung->Zeilen();
  m_layout.kopfLinks = m_kopf[0]->text();
  m_layout.kopfMitte = m_kopf[1]->text();
  m_layout.kopfRechts = m_kopf[2]->text();
  m_layout.fussLinks = m_fuss[0]->text();
  m_layout.fussMitte = m_fuss[1]->text();
  m_layout.fussRechts = m_fuss[2]->text();
  Veraendert();
}

void ReportDesigner::SeiteUebernehmen() {
  if (m_anzeigen) return;
  m_layout.papier = QPageSize::PageSizeId(m_papier->currentData().toInt());
  m_layout.ausrichtung = m_seitenausrichtung->currentIndex() == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
  m_layout.raender = QMarginsF(m_raender[0]->value(), m_raender[1]->value(), m_raender[2]->value(), m_raender[3]->value());
  m_layout.schrift = m_schrift->currentText().trimmed().isEmpty() ? m_layout.schrift : m_schrift->currentText().trimmed();
  m_layout.groesse = m_groesse->value();
  m_layout.sortierung = m_sortierung->currentData().toString();
  m_layout.gruppe = m_gruppe->currentData().toString();
  if (!m_layout.spalten.isEmpty()) SpaltenzeileAnzeigen(0);   // the room on the page changed
  Veraendert();
}

void ReportDesigner::Veraendert() {
  if (m_anzeigen) return;
  m_layout.beschreibung = m_beschreibung->text();
  setWindowModified(Geaendert());
  m_vorschauTakt->start();
}

void ReportDesigner::PlatzhalterEinfuegen(const QString& platzhalter) {
  if (!m_letztesTextfeld) {
    Meldung::Hinweis(QStringLiteral("Bitte klicken Sie zuerst in das Textfeld, in das der Platzhalter soll."), {}, this);
    return;
  }
  m_letztesTextfeld->setFocus();
  m_letztesTextfeld->insert(platzhalter);
  Q_EMIT m_letztesTextfeld->textEdited(m_letztesTextfeld->text());
}

void ReportDesigner::VorschauAktualisieren() {
  m_vorschauTakt->stop();
  if (m_layout.spalten.isEmpty()) {
    m_dokument = {};
    m_vorschauSeiten = 0;
    m_vorschau->setPixmap({});
    m_vorschau->setText(QStringLiteral("Noch keine Spalte: fügen Sie links Felder als Spalten hinzu."));
    m_vorschauSeite->clear();
    m_vorschauZurueck->setEnabled(false);
    m_vorschauVor->setEnabled(false);
    return;
  }
  const Reportdefinitionen& d = m_definitionen;
  m_dokument = Seitenaufbau::Probedruck(m_layout, Reportentwurf::Beispielzeilen(d, kBeispielzeilen), [&d](const QString& name) {
    const Reportdefinition* v = d.Variable(name);
    return v ? v->wert : QVariant();
  });
  m_vorschauSeiten = int(m_dokument.seiten.size());
  VorschauZeigen(std::min(m_vorschauIndex, m_vorschauSeiten - 1));
}

void ReportDesigner::VorschauZeigen(int seite) {
  if (m_vorschauSeiten == 0) return;
  m_vorschauIndex = std::clamp(seite, 0, m_vorschauSeiten - 1);
  const QSizeF papier = m_dokument.seitenlayout.fullRectPoints().size();
  const int breite = std::max(kVorschaubreite, m_vorschauFlaeche->viewport()->width() - 16);
  const double aufloesung = breite / (papier.width() / 72.0);
  QImage bild(breite, int(std::lround(papier.height() / 72.0 * aufloesung)), QImage::Format_RGB32);
  bild.fill(Qt::white);
  {
    QPainter maler(&bild);
    maler.setRenderHint(QPainter::TextAntialiasing, true);
    m_dokument.SeiteZeichnen(maler, m_vorschauIndex, aufloesung);
  }
  m_vorschau->setPixmap(QPixmap::fromImage(bild));
  m_vorschauSeite->setText(QStringLiteral("Seite %1 von %2").arg(m_vorschauIndex + 1).arg(m_vorschauSeiten));
  m_vorschauZurueck->setEnabled(m_vorschauIndex > 0);
  m_vorschauVor->setEnabled(m_vorschauIndex + 1 < m_vorschauSeiten);
}

bool ReportDesigner::Speichern() {
  if (m_layout.spalten.isEmpty()) {
    Meldung::Hinweis(QStringLiteral("Der Report braucht mindestens eine Spalte.\rBitte fügen Sie eine Spalte aus den Feldern hinzu."),
                     {}, this);
    m_register->setCurrentIndex(0);
    m_felder->setFocus();
    return false;
  }
  // A report that would not print with these data is saved only when the user wants it so.
  QStringList probleme;
  const Reportpruefung pruefung = ReportPruefen(
      m_layout, [this](const QString& n) { return m_definitionen.IstFeld(n); },
      [this](const QString& n) { return m_definitionen.IstVariable(n); },
      [this](const QString& n) { return m_definitionen.SummeGesperrt(n); });
  if (!pruefung.Ok()) probleme << pruefung.beschreibung;
  const bool angeboten = m_layout.sortierung.isEmpty() ||
                         std::any_of(m_definitionen.sortierungen.cbegin(), m_definitionen.sortierungen.cend(),
                                     [this](const auto& s) { return s.first == m_layout.sortierung; });
  if (!angeboten)
    probleme << QStringLiteral("Die Sortierung \"") + m_layout.sortierung + QStringLiteral("\" wird für diese Daten nicht angeboten.");
  if (!probleme.isEmpty()) {
    QStringList text{QStringLiteral("Der Report passt nicht zu den Daten dieses Drucks:")};
    text << probleme << QString() << QStringLiteral("Trotzdem speichern?");
    if (!Meldung::Frage(Meldung::Zeilen(text), {}, this)) return false;
  }
  // Complete under a temporary name, then renamed over the old file: a failure leaves that one as it was.
  if (const DateiFehler f = SichereDateien::Ersetzen(m_datei, Reportdatei::AlsText(m_layout).toUtf8())) {
    Meldung::Fehler(Meldung::Zeilen({QStringLiteral("Fehler beim Speichern des Reports!"), QString(),
                                     QStringLiteral("Nr: ") + QString::number(f.Nummer),
                                     QStringLiteral("Beschreibung: ") + f.Beschreibung,
                                     QStringLiteral("Die bisherige Reportdatei ist unverändert.")}),
                    {}, this);
    return false;
  }
  m_gespeichert = m_layout;
  m_wurdeGespeichert = true;
  m_neu = false;
  setWindowModified(false);
  return true;
}

bool ReportDesigner::SchliessenErlaubt() {
  if (!Geaendert()) return true;
  const MeldungsAntwort antwort = Meldung::Zeigen(QStringLiteral("Sollen die Änderungen am Report gespeichert werden?"),
                                                  MeldungsKnoepfe::JaNeinAbbrechen, MeldungsSymbol::Frage, {}, this);
  if (antwort == MeldungsAntwort::Ja) return Speichern();
  return antwort == MeldungsAntwort::Nein;
}

void ReportDesigner::reject() {
  if (SchliessenErlaubt()) QDialog::reject();
}


bool ReportDesigner::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == m_vorschauFlaeche->viewport() && ereignis->type() == QEvent::Resize && m_vorschauSeiten > 0) {
    // Once the resizing has settled.
    QTimer::singleShot(0, this, [this] { VorschauZeigen(m_vorschauIndex); });
  }
  return QDialog::eventFilter(objekt, ereignis);
}

void ReportDesigner::showEvent(QShowEvent* ereignis) {
  QDialog::showEvent(ereignis);
  // The preview gets as much height as the editing at first; the splitter keeps what the user sets.
  if (!m_teilerGesetzt) {
    m_teilerGesetzt = true;
    // Typing replaces the description; the field list is a key press away (Alt+D).
    m_beschreibung->setFocus();
    m_beschreibung->selectAll();
    const int hoehe = m_teiler->height();
    m_teiler->setSizes({hoehe - hoehe * 9 / 20, hoehe * 9 / 20});
  }
}
