#include "shell/ZOVA10.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QPointer>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/Programmzustand.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/Meldung.h"

namespace {

const QString kAbschnitt = QStringLiteral("Window State");

struct Befehlsbeschreibung {
  Hauptbefehl befehl;
  const char* bild;
  const char* tipp;
  const char* mitKuerzel;  // the caption with its Alt letter marked (the command bar); without the & everywhere else
};

const std::vector<Befehlsbeschreibung>& Beschreibungen() {
  static const std::vector<Befehlsbeschreibung> liste = {
      {Hauptbefehl::ZahlungenErfassen, "Zahlung", "Überweisungen und Lastschriften erfassen", "&Zahlungen erfassen"},
      {Hauptbefehl::Zahlungsliste, "Zahlungsliste", "Zahlungen auflisten und drucken", "Zahlungs&liste"},
      {Hauptbefehl::SepaDatei, "DTADatei", "SEPA-Datei für die Bank erzeugen", "&SEPA-Datei erzeugen"},
      {Hauptbefehl::Selektivloeschen, "Selektivlöschen",
       "Erledigte Zahlungen löschen oder wieder aktivieren", "Zahlungen selekti&v löschen / reaktivieren"},
      {Hauptbefehl::Adressen, "Adressen", "Adressen der Zahlungsempfänger und -pflichtigen", "&Adressen"},
      {Hauptbefehl::Bankverbindungen, "Bankverbindung", "Bankleitzahlen, BIC und Banknamen", "&Bankverbindungen"},
      {Hauptbefehl::Absender, "Absender", "Absender-Konten verwalten und aktivieren", "Abs&ender"},
      {Hauptbefehl::Einstellungen, "Einstellungen", "Programmeinstellungen", "E&instellungen"},
      {Hauptbefehl::Rechner, "Rechner", "Rechner öffnen (Strg+F2)", "&Rechner"},
      {Hauptbefehl::Hilfe, "Hilfe", "Hilfe zum Programm (F1)", "&Hilfe"},
      {Hauptbefehl::Beenden, "Beenden", "Programm beenden", "Bee&nden"},
  };
  return liste;
}

const Befehlsbeschreibung& Beschreibung(Hauptbefehl befehl) {
  for (const auto& b : Beschreibungen())
    if (b.befehl == befehl) return b;
  return Beschreibungen().front();
}

// The groups of the command bar.
struct Gruppe {
  const char* titel;
  std::vector<Hauptbefehl> befehle;
};

const std::vector<Gruppe>& Gruppen() {
  static const std::vector<Gruppe> liste = {
      {"Zahlungsverkehr",
       {Hauptbefehl::ZahlungenErfassen, Hauptbefehl::Zahlungsliste, Hauptbefehl::SepaDatei,
        Hauptbefehl::Selektivloeschen}},
      {"Stammdaten", {Hauptbefehl::Adressen, Hauptbefehl::Bankverbindungen, Hauptbefehl::Absender}},
      {"Extras", {Hauptbefehl::Einstellungen, Hauptbefehl::Rechner, Hauptbefehl::Hilfe, Hauptbefehl::Beenden}},
  };
  return liste;
}

}  // namespace

ZOVA10::ZOVA10(QWidget* eltern) : QMainWindow(eltern), m_fenster(this) {
  setObjectName(QStringLiteral("ZOVA10"));
  setWindowTitle(Meldung::ProgrammTitel());
  setWindowIcon(Bildliste::Bilder32().Bild(QStringLiteral("DTADatei")));
  for (const auto& b : Beschreibungen()) m_eintraege.push_back({b.befehl, Eintrag{}});
  Aufbauen();
  // "Beenden" is the main window's own command.
  BefehlSetzen(Hauptbefehl::Beenden, [this] { close(); });
  connect(&m_fenster, &Fensterverwaltung::FensterGeschlossen, this, [this] { Aktualisieren(); });
  // Ctrl/Alt+F2 opens the calculator from every window of the program.
  qApp->installEventFilter(this);
}

ZOVA10::~ZOVA10() {
  if (qApp) qApp->removeEventFilter(this);
}

const std::vector<Hauptbefehl>& ZOVA10::AlleBefehle() {
  static const std::vector<Hauptbefehl> liste = [] {
    std::vector<Hauptbefehl> l;
    for (const auto& b : Beschreibungen()) l.push_back(b.befehl);
    return l;
  }();
  return liste;
}

QString ZOVA10::Beschriftung(Hauptbefehl befehl) {
  return QString::fromUtf8(Beschreibung(befehl).mitKuerzel).remove(QLatin1Char('&'));
}

ZOVA10::Eintrag& ZOVA10::EintragVon(Hauptbefehl befehl) {
  for (auto& [b, e] : m_eintraege)
    if (b == befehl) return e;
  return m_eintraege.front().second;
}

const ZOVA10::Eintrag* ZOVA10::EintragVon(Hauptbefehl befehl) const {
  for (const auto& [b, e] : m_eintraege)
    if (b == befehl) return &e;
  return nullptr;
}

QAction* ZOVA10::Aktion(Hauptbefehl befehl) const {
  const Eintrag* e = EintragVon(befehl);
  return e ? e->aktion : nullptr;
}

QToolButton* ZOVA10::Leistenknopf(Hauptbefehl befehl) const {
  const Eintrag* e = EintragVon(befehl);
  return e ? e->knopf : nullptr;
}

void ZOVA10::Aufbauen() {
  m_werkzeugleiste = addToolBar(QStringLiteral("Symbolleiste"));
  m_werkzeugleiste->setObjectName(QStringLiteral("Toolbar1"));
  m_werkzeugleiste->setMovable(false);
  m_werkzeugleiste->setIconSize(QSize(16, 16));
  m_werkzeugleiste->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

  for (const auto& b : Beschreibungen()) {
    Eintrag& e = EintragVon(b.befehl);
    e.aktion = new QAction(Bildliste::Bilder16().Bild(QString::fromUtf8(b.bild)), Beschriftung(b.befehl), this);
    e.aktion->setToolTip(QString::fromUtf8(b.tipp));
    e.aktion->setStatusTip(QString::fromUtf8(b.tipp));
    const Hauptbefehl befehl = b.befehl;
    connect(e.aktion, &QAction::triggered, this, [this, befehl] { Ausfuehren(befehl); });
    if (befehl == Hauptbefehl::Hilfe) e.aktion->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(e.aktion);
  }
  // The toolbar carries the everyday entries; the command bar carries all.
  const std::vector<Hauptbefehl> leiste = {Hauptbefehl::ZahlungenErfassen, Hauptbefehl::Zahlungsliste,
                                           Hauptbefehl::SepaDatei,         Hauptbefehl::Adressen,
                                           Hauptbefehl::Absender,          Hauptbefehl::Rechner,
                                           Hauptbefehl::Hilfe,             Hauptbefehl::Beenden};
  for (Hauptbefehl b : leiste) {
    if (b == Hauptbefehl::Adressen || b == Hauptbefehl::Rechner || b == Hauptbefehl::Beenden)
      m_werkzeugleiste->addSeparator();
    m_werkzeugleiste->addAction(EintragVon(b).aktion);
  }
  // "Zahlungen selektiv löschen / reaktivieren" is long: the toolbar shows it without text.

  auto* teiler = new QSplitter(Qt::Horizontal, this);
  teiler->setObjectName(QStringLiteral("Teiler"));
  m_befehlsleiste = BefehlsleisteAufbauen();
  teiler->addWidget(m_befehlsleiste);

  auto* mitte = new QFrame(teiler);
  mitte->setObjectName(QStringLiteral("Arbeitsflaeche"));
  mitte->setFrameShape(QFrame::StyledPanel);
  auto* mitteLayout = new QVBoxLayout(mitte);
  auto* titel = new QLabel(Meldung::ProgrammTitel(), mitte);
  QFont tf = titel->font();
  tf.setPointSizeF(tf.pointSizeF() * 2.2);
  tf.setBold(true);
  titel->setFont(tf);
  titel->setAlignment(Qt::AlignCenter);
  auto* untertitel = new QLabel(QStringLiteral("Zahlungsverkehr mit SEPA-Überweisungen und -Lastschriften"), mitte);
  untertitel->setAlignment(Qt::AlignCenter);
  m_absenderAnzeige = new QLabel(mitte);
  m_absenderAnzeige->setObjectName(QStringLiteral("AbsenderAnzeige"));
  m_absenderAnzeige->setAlignment(Qt::AlignCenter);
  // First start: the sender (the user's own account) comes before every payment.
  m_ersterSchritt = new QFrame(mitte);
  m_ersterSchritt->setObjectName(QStringLiteral("ErsterSchritt"));
  auto* schrittLayout = new QVBoxLayout(m_ersterSchritt);
  // Set lines: a wrapped label in a centred layout item is given too little height and loses its end.
  auto* schrittText = new QLabel(
      QStringLiteral("<b>Erster Schritt:</b> Tragen Sie Ihr eigenes Konto als Absender ein \u2013<br>"
                     "Name, IBAN und BIC, für Lastschriften auch die Gläubiger-ID.<br>"
                     "Ohne diese Angaben kann keine SEPA-Datei erstellt werden."),
      m_ersterSchritt);
  schrittText->setAlignment(Qt::AlignCenter);
  m_ersterSchrittKnopf = new QPushButton(QStringLiteral("Absender-Angaben jetzt eintragen (Eingabetaste)"), m_ersterSchritt);
  m_ersterSchrittKnopf->setObjectName(QStringLiteral("ErsterSchrittKnopf"));
  m_ersterSchrittKnopf->setAutoDefault(true);   // Enter on the button opens the form
  connect(m_ersterSchrittKnopf, &QPushButton::clicked, this, [this] { Ausfuehren(Hauptbefehl::Absender); });
  schrittLayout->addWidget(schrittText);
  schrittLayout->addWidget(m_ersterSchrittKnopf, 0, Qt::AlignHCenter);
  m_ersterSchritt->hide();
  mitteLayout->addStretch(2);
  mitteLayout->addWidget(titel);
  mitteLayout->addWidget(untertitel);
  mitteLayout->addSpacing(24);
  mitteLayout->addWidget(m_absenderAnzeige);
  mitteLayout->addSpacing(16);
  mitteLayout->addWidget(m_ersterSchritt, 0, Qt::AlignHCenter);
  mitteLayout->addStretch(3);
  teiler->addWidget(mitte);
  teiler->setStretchFactor(0, 0);
  teiler->setStretchFactor(1, 1);
  teiler->setCollapsible(0, false);  // the command bar carries the Alt keys of the commands
  setCentralWidget(teiler);

  // The sender stands at the right; the left of the status line shows the hint of the command
  // under the mouse.
  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("StatusAbsender"));
  statusBar()->addPermanentWidget(m_status);

  for (const auto& [b, e] : m_eintraege) EintragZustandSetzen(b);
}

QWidget* ZOVA10::BefehlsleisteAufbauen() {
  auto* flaeche = new QScrollArea;
  flaeche->setObjectName(QStringLiteral("Befehlsleiste"));
  flaeche->setWidgetResizable(true);
  flaeche->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* innen = new QWidget;
  innen->setBackgroundRole(QPalette::Base);
  innen->setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(innen);
  layout->setSpacing(0);
  layout->setContentsMargins(4, 4, 4, 4);
  for (const Gruppe& g : Gruppen()) {
    auto* kopf = new QLabel(QString::fromUtf8(g.titel), innen);
    kopf->setAlignment(Qt::AlignCenter);
    kopf->setFrameShape(QFrame::StyledPanel);
    kopf->setFrameShadow(QFrame::Raised);
    kopf->setBackgroundRole(QPalette::Button);
    kopf->setAutoFillBackground(true);
    QFont f = kopf->font();
    f.setBold(true);
    kopf->setFont(f);
    layout->addWidget(kopf);
    for (Hauptbefehl b : g.befehle) {
      Eintrag& e = EintragVon(b);
      auto* knopf = new QToolButton(innen);
      knopf->setObjectName(QStringLiteral("Befehl_%1").arg(int(b)));
      knopf->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      knopf->setAutoRaise(true);
      knopf->setIconSize(QSize(24, 24));
      knopf->setIcon(Bildliste::Bilder32().Bild(QString::fromUtf8(Beschreibung(b).bild)));
      // The underlined letter is the command's Alt key (the main window has no menu to carry it).
      QString text = QString::fromUtf8(Beschreibung(b).mitKuerzel);
      text.replace(QStringLiteral(" / "), QStringLiteral(" /\n"));
      knopf->setText(text);
      knopf->setToolTip(QString::fromUtf8(Beschreibung(b).tipp));
      knopf->setStatusTip(QString::fromUtf8(Beschreibung(b).tipp));
      knopf->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      connect(knopf, &QToolButton::clicked, this, [this, b] { Ausfuehren(b); });
      e.knopf = knopf;
      layout->addWidget(knopf);
    }
    layout->addSpacing(4);
  }
  layout->addStretch();
  flaeche->setWidget(innen);
  flaeche->setMinimumWidth(150);
  return flaeche;
}

void ZOVA10::FensterartSetzen(Hauptbefehl befehl, Fensterart art) {
  EintragVon(befehl).fenster = std::move(art);
  EintragZustandSetzen(befehl);
}

void ZOVA10::BefehlSetzen(Hauptbefehl befehl, std::function<void()> befehlsFunktion) {
  EintragVon(befehl).befehl = std::move(befehlsFunktion);
  EintragZustandSetzen(befehl);
}

bool ZOVA10::Verfuegbar(Hauptbefehl befehl) const {
  const Eintrag* e = EintragVon(befehl);
  return e && (e->befehl || e->fenster.erzeugen);
}

void ZOVA10::EintragZustandSetzen(Hauptbefehl befehl) {
  Eintrag& e = EintragVon(befehl);
  const bool an = Verfuegbar(befehl);
  if (e.aktion) e.aktion->setEnabled(an);
  if (e.knopf) e.knopf->setEnabled(an);
}

bool ZOVA10::Ausfuehren(Hauptbefehl befehl) {
  Eintrag& e = EintragVon(befehl);
  if (e.befehl) {
    e.befehl();
    return true;
  }
  if (!e.fenster.erzeugen) return false;
  const auto erzeugen = e.fenster.erzeugen;
  QWidget* fenster = m_fenster.Zeigen(e.fenster.art, e.fenster.oeffnung, [this, erzeugen] { return erzeugen(this); },
                                      this);
  return fenster != nullptr;
}

void ZOVA10::Laden() {
  FensterpositionVerwalten(true, kAbschnitt, this, 85, false);
  const int breite = EinstellungZahl(GetSetting(kAbschnitt, QStringLiteral("BefehlsleisteBreite"))).value_or(0);
  // Wider than the window leaves nothing of the work area: the bar keeps its width then.
  if (breite > 0 && breite < width())
    if (auto* teiler = qobject_cast<QSplitter*>(centralWidget())) teiler->setSizes({breite, qMax(width() - breite, 1)});
  Aktualisieren();
  if (m_druckjob) m_druckjob->Oeffnen();
}

QString ZOVA10::Statustext() const {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return QStringLiteral("Keine Datenbank geöffnet");
  const int nr = Zustand().AktuelleAbsenderNr();
  QString name;
  DbFehler fehler = db->Abfragen("SELECT Suchname, Name FROM Absender WHERE AbsenderNr = ?", {nr},
                                 [&name](const Zeile& z) {
                                   name = z.Wert(1).toString().trimmed();
                                   if (name.isEmpty()) name = z.Wert(0).toString().trimmed();
                                   return false;
                                 });
  if (fehler) return QStringLiteral("Aktiver Absender: %1 (nicht lesbar)").arg(nr);
  if (name.isEmpty()) name = QStringLiteral("(ohne Namen)");
  return QStringLiteral("Aktiver Absender: %1 \u2013 %2").arg(nr).arg(name);
}

bool ZOVA10::AbsenderOhneNamen() const {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return false;
  DbFehler f;
  const std::optional<QVariant> name =
      db->Wert(SqlText("SELECT Name FROM Absender WHERE AbsenderNr = ?"), {Zustand().AktuelleAbsenderNr()}, f);
  return !f && name && name->toString().trimmed().isEmpty();
}

void ZOVA10::Aktualisieren() {
  const QString text = Statustext();
  m_status->setText(text);
  m_absenderAnzeige->setText(text);
  for (const auto& [b, e] : m_eintraege) EintragZustandSetzen(b);
  const bool ersterSchritt = AbsenderOhneNamen() && Verfuegbar(Hauptbefehl::Absender);
  m_ersterSchritt->setVisible(ersterSchritt);
  if (ersterSchritt) m_ersterSchrittKnopf->setFocus();
}

bool ZOVA10::Beenden() {
  if (m_beendet) return true;
  if (!m_fenster.AlleSchliessen()) return false;
  if (!FreieFensterSchliessen()) return false;
  if (m_druckjob) m_druckjob->Schliessen();
  SaveSetting(kAbschnitt, QStringLiteral("AbsenderNr"), QString::number(Zustand().AktuelleAbsenderNr()));
  if (m_befehlsleiste) SaveSetting(kAbschnitt, QStringLiteral("BefehlsleisteBreite"), QString::number(m_befehlsleiste->width()));
  FensterpositionVerwalten(false, kAbschnitt, this, 85, false);
  Registrierung::Instanz().Sichern();
  m_beendet = true;
  return true;
}

bool ZOVA10::FreieFensterSchliessen() {
  // Windows the window list does not hold (the help viewer) would keep the program running, with
  // its instance lock and database, after the main window has gone.
  QList<QPointer<QWidget>> offen;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->isVisible() && !(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)) offen << w;
  for (const QPointer<QWidget>& w : offen)
    if (w && w->isVisible() && !w->close()) return false;
  return true;
}

void ZOVA10::closeEvent(QCloseEvent* ereignis) {
  if (!Beenden()) {
    ereignis->ignore();
    return;
  }
  ereignis->accept();
}

bool ZOVA10::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (ereignis->type() == QEvent::KeyPress) {
    auto* taste = static_cast<QKeyEvent*>(ereignis);
    if (taste->key() == Qt::Key_F2 && (taste->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
        Verfuegbar(Hauptbefehl::Rechner)) {
      Ausfuehren(Hauptbefehl::Rechner);
      return true;
    }
  }
  return QMainWindow::eventFilter(objekt, ereignis);
}
