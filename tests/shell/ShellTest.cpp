#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "../masterdata/Stammdatenumgebung.h"
#include "common/Programmzustand.h"
#include "import/ImportForm.h"
#include "masterdata/FormAdressen.h"
#include "masterdata/SuchlisteF4.h"
#include "payments/FaelligAbfrage.h"
#include "payments/FormularZahlung.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/MaskenFeld.h"
#include "sepafiles/Zahlungsliste.h"
#include "shell/Arbeitsfenster.h"
#include "shell/Programmstart.h"
#include "shell/Rechner.h"
#include "shell/ZOVA10.h"

namespace {

// A work window that can refuse to close (unsaved input).
class Testfenster : public QWidget {
 public:
  explicit Testfenster(QWidget* eltern, bool* verweigern = nullptr) : QWidget(eltern, Qt::Window), m_verweigern(verweigern) {}
 protected:
  void closeEvent(QCloseEvent* e) override {
    if (m_verweigern && *m_verweigern) e->ignore();
    else e->accept();
  }
 private:
  bool* m_verweigern;
};

class RecordingDruckjob : public Druckjob {
 public:
  explicit RecordingDruckjob(QStringList* protokoll) : m_protokoll(protokoll) {}
  void Oeffnen() override { m_protokoll->append(QStringLiteral("öffnen")); }
  void Schliessen() override { m_protokoll->append(QStringLiteral("schließen")); }
 private:
  QStringList* m_protokoll;
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { m_umgebung.Oeffnen(m_umgebung.Datenordner(QStringLiteral("daten"))); }
  void TearDown() override { QTest::qWait(0); }
  Stammdatenumgebung m_umgebung;
};

TEST_F(ShellTest, ProgrammstartVerweigertZweiteInstanz) {
  QDir().mkpath(QFileInfo(Programmstart::SperrDatei()).absolutePath());
  QLockFile erste(Programmstart::SperrDatei());
  ASSERT_TRUE(erste.tryLock(0));
  Programmstart zweite;
  EXPECT_FALSE(zweite.Ausfuehren());
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().text,
            QStringLiteral("Tamo-SEPA ist bereits gestartet.\rDas Programm kann nur einmal geöffnet werden."));
  erste.unlock();
  // Once the first one has ended, a start goes through and holds the lock itself.
  Zustand().Zuruecksetzen();
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"), m_umgebung.Ordner().Datei(QStringLiteral("daten")));
  Programmstart dritte;
  ASSERT_TRUE(dritte.Ausfuehren());
  EXPECT_NE(Zustand().Datenbank(), nullptr);
  QLockFile vierte(Programmstart::SperrDatei());
  EXPECT_FALSE(vierte.tryLock(0));
}

// The first start seeds the empty program folder with the shipped files (help pages) besides the
// database; the single-instance lock used to sit in that folder first, so it was never empty and
// "Hilfe" found no pages.
TEST_F(ShellTest, ErsterStartRichtetProgrammordnerMitHilfeEin) {
  Zustand().Zuruecksetzen();
  const QString programm = m_umgebung.Ordner().Datei(QStringLiteral("programm"));
  ASSERT_FALSE(QFileInfo::exists(programm));
  Programmstart start;
  ASSERT_TRUE(start.Ausfuehren());
  EXPECT_TRUE(QFileInfo(QDir(programm).filePath(QStringLiteral("help/index.html"))).isFile());
  EXPECT_TRUE(QFileInfo(QDir(programm).filePath(QStringLiteral("TamoSEPA.db"))).isFile());
  EXPECT_NE(Zustand().Datenbank(), nullptr);
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 0);
}

TEST_F(ShellTest, ProgrammstartOhneDatenbankImGesetztenDatenordnerEndet) {
  Zustand().Zuruecksetzen();
  const QString leer = m_umgebung.Ordner().Datei(QStringLiteral("leer"));
  QDir().mkpath(leer);
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"), leer);
  Programmstart start;
  EXPECT_FALSE(start.Ausfuehren());
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.contains(QDir::toNativeSeparators(leer)))
      << m_umgebung.Rekorder().Letzter().text.toStdString();
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.contains(QStringLiteral("TamoSEPA.db")));
  EXPECT_EQ(Zustand().Datenbank(), nullptr);
  EXPECT_FALSE(QFileInfo::exists(QDir(leer).filePath(QStringLiteral("TamoSEPA.db"))));
}

// A zero-byte database is refused at start and stays as it is (it used to become a new empty database);
// what a crashed SEPA run left is finished when the program starts.
TEST_F(ShellTest, ProgrammstartPrueftDieDatenbankUndHoltUnterbrochenenLaufNach) {
  Zustand().Zuruecksetzen();
  const QString leer = m_umgebung.Ordner().Datei(QStringLiteral("nullbytes"));
  QDir().mkpath(leer);
  QFile null(QDir(leer).filePath(QStringLiteral("TamoSEPA.db")));
  ASSERT_TRUE(null.open(QIODevice::WriteOnly));
  null.close();
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"), leer);
  {
    Programmstart start;
    EXPECT_FALSE(start.Ausfuehren());
  }
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().symbol, MeldungsSymbol::Kritisch);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.startsWith(
      QStringLiteral("Die Datei %1 ist leer (0 Bytes)").arg(QDir::toNativeSeparators(null.fileName()))));
  EXPECT_EQ(QFileInfo(null.fileName()).size(), 0);

  // A run noted before its first file: the next start removes its temporary file and its note.
  const QString daten = m_umgebung.Ordner().Datei(QStringLiteral("daten"));
  Zustand().Zuruecksetzen();
  {
    DbFehler f;
    auto db = Datenbank::Oeffnen(QDir(daten).filePath(QStringLiteral("TamoSEPA.db")), f);
    ASSERT_TRUE(db);
    ASSERT_FALSE(db->Ausfuehren("INSERT INTO SepaLaufDateien (Lauf, Art, Ordner) VALUES ('00112233aabbccdd', 'B', ?)", {daten}));
  }
  const QString rest = QDir(daten).filePath(QStringLiteral("SEPAGK.XML.00112233aabbccdd.sepatmp"));
  QFile r(rest);
  ASSERT_TRUE(r.open(QIODevice::WriteOnly));
  r.close();
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"), daten);
  m_umgebung.Rekorder().Leeren();
  Programmstart start;
  ASSERT_TRUE(start.Ausfuehren());
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 0);   // nothing to tell: the run never committed
  EXPECT_FALSE(QFile::exists(rest));
  DbFehler f;
  EXPECT_EQ(Zustand().Datenbank()->Wert("SELECT count(*) FROM SepaLaufDateien", {}, f)->toInt(), 0);
}

TEST_F(ShellTest, JederEintragHatSeinFenster) {
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  for (Hauptbefehl b : ZOVA10::AlleBefehle()) {
    EXPECT_TRUE(haupt.Verfuegbar(b)) << ZOVA10::Beschriftung(b).toStdString();
    EXPECT_TRUE(haupt.Aktion(b)->isEnabled()) << ZOVA10::Beschriftung(b).toStdString();
  }
  EXPECT_EQ(haupt.Aktion(Hauptbefehl::Selektivloeschen)->text(),
            QStringLiteral("Zahlungen selektiv löschen / reaktivieren"));
  EXPECT_EQ(haupt.Fenster().Anzahl(), 0);
}

// The payment list opens modeless beside other windows, once; the selective window only after the
// others were closed, modal.
TEST_F(ShellTest, ZahlungslisteNichtmodalSelektivNachSchliessenAllerAnderen) {
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Zahlungsliste));
  QWidget* liste = haupt.Fenster().Offen(QStringLiteral("Zahlungsliste"));
  ASSERT_NE(liste, nullptr);
  EXPECT_EQ(liste->windowModality(), Qt::NonModal);
  EXPECT_EQ(liste->windowTitle(), QStringLiteral("Zahlungsliste"));
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Zahlungsliste));
  EXPECT_EQ(haupt.Fenster().Offen(QStringLiteral("Zahlungsliste")), liste);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Adressen));
  EXPECT_EQ(haupt.Fenster().Anzahl(), 2);

  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Ja);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Selektivloeschen));
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().text, Fensterverwaltung::SchliessenFrage());
  ASSERT_EQ(haupt.Fenster().Anzahl(), 1);
  QWidget* selektiv = haupt.Fenster().Offen(QStringLiteral("FormularSelektiv"));
  ASSERT_NE(selektiv, nullptr);
  EXPECT_EQ(selektiv->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(selektiv->windowTitle(), QStringLiteral("Zahlungen selektiv löschen / reaktivieren"));
  selektiv->close();
}

TEST_F(ShellTest, FensterWerdenNurEinmalGeoeffnet) {
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Adressen));
  QWidget* adressen = haupt.Fenster().Offen(QStringLiteral("FormAdressen/Adressen"));
  ASSERT_NE(adressen, nullptr);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Adressen));
  EXPECT_EQ(haupt.Fenster().Offen(QStringLiteral("FormAdressen/Adressen")), adressen);
  // The bank codes are the same window class, opened beside it.
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Bankverbindungen));
  QWidget* banken = haupt.Fenster().Offen(QStringLiteral("FormAdressen/Bankverbindungen"));
  ASSERT_NE(banken, nullptr);
  EXPECT_NE(banken, adressen);
  EXPECT_EQ(qobject_cast<FormAdressen*>(banken)->ModusVon(), FormAdressen::Modus::Bankverbindungen);
  EXPECT_EQ(haupt.Fenster().Anzahl(), 2);

  // Ctrl+F2 in a work window opens the calculator, once.
  QTest::keyClick(adressen, Qt::Key_F2, Qt::ControlModifier);
  QTest::keyClick(banken, Qt::Key_F2, Qt::AltModifier);
  ASSERT_NE(haupt.Fenster().Offen(QStringLiteral("Rechner")), nullptr);
  EXPECT_EQ(haupt.Fenster().Anzahl(), 3);

  // A closed window is opened anew, and the main window refreshes.
  adressen->close();
  QTest::qWait(0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(haupt.Fenster().Offen(QStringLiteral("FormAdressen/Adressen")), nullptr);
  EXPECT_EQ(haupt.Fenster().Anzahl(), 2);
}

// The payment form reaches the open-item import only through the hook the shell sets: modal over the form,
// with the form's font.
TEST_F(ShellTest, ZahlungsformularOeffnetDenImportUeberDenHaken) {
  // "Import" shows while the sender links the accounting program's open items.
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren(
      "UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1",
      {m_umgebung.Buchhaltungsdatei()}).Ok());
  m_umgebung.Oeffnen(Zustand().DatenVerzeichnis());
  ASSERT_TRUE(Zustand().AdressQuelle().OPVerknuepft);
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::ZahlungenErfassen));
  auto* zahlung = qobject_cast<FormularZahlung*>(haupt.Fenster().Offen(QStringLiteral("FormularZahlung")));
  ASSERT_NE(zahlung, nullptr);
  zahlung->setFont(QFont(QStringLiteral("DejaVu Sans"), 13));
  ImportForm* import = nullptr;
  QWidget* eltern = nullptr;
  QFont schrift;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    import = qobject_cast<ImportForm*>(QApplication::activeModalWidget());
    if (!import) return;
    eltern = import->parentWidget();
    schrift = import->font();
    modal = import->isModal();
    import->reject();
  });
  EXPECT_TRUE(zahlung->BefehlAusfuehren(Zahlungsbefehl::Import));
  ASSERT_NE(import, nullptr) << "no import window opened";
  EXPECT_EQ(eltern, zahlung);
  EXPECT_TRUE(modal);
  EXPECT_EQ(schrift.pointSize(), 13);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Cancels the next modal dialog as soon as it shows and notes its class and parent; gives up after a second.
struct DialogAbfangen {
  QString gezeigt;   // the dialog's class, empty when none showed
  QWidget* eltern = nullptr;
  QTimer uhr;
  int runden = 0;
  DialogAbfangen() {
    QObject::connect(&uhr, &QTimer::timeout, [this] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!d && ++runden < 200) return;
      uhr.stop();
      if (!d) return;
      gezeigt = QString::fromLatin1(d->metaObject()->className());
      eltern = d->parentWidget();
      d->reject();
    });
    uhr.start(5);
  }
};

// Master data's search list and the payment form's due-date dialog are other areas' windows: the payment
// form and the payment list reach them only through the hooks the shell sets, modal over themselves.
TEST_F(ShellTest, SuchlisteUndFaelligkeitNurUeberDieHakenDerShell) {
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::ZahlungenErfassen));
  auto* zahlung = qobject_cast<FormularZahlung*>(haupt.Fenster().Offen(QStringLiteral("FormularZahlung")));
  ASSERT_NE(zahlung, nullptr);
  zahlung->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(zahlung));
  ASSERT_TRUE(zahlung->Befehl(QStringLiteral("Neu")));
  zahlung->Maske(0)->setFocus();
  {
    DialogAbfangen suchliste;
    QTest::keyClick(zahlung->Maske(0), Qt::Key_F4);
    EXPECT_EQ(suchliste.gezeigt, QString::fromLatin1(SuchlisteF4::staticMetaObject.className()));
    EXPECT_EQ(suchliste.eltern, zahlung);
  }

  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Zahlungsliste));
  auto* liste = qobject_cast<Zahlungsliste*>(haupt.Fenster().Offen(QStringLiteral("Zahlungsliste")));
  ASSERT_NE(liste, nullptr);
  DialogAbfangen faellig;
  liste->FaelligkeitAbfragen();
  EXPECT_EQ(faellig.gezeigt, QString::fromLatin1(FaelligAbfrage::staticMetaObject.className()));
  EXPECT_EQ(faellig.eltern, liste);
  EXPECT_FALSE(liste->FaelligBis());   // "Abbruch" removes the limit
}

// Without the shell the windows open no other area's window: F4 chooses nothing, F6 keeps the limit.
TEST_F(ShellTest, OhneShellOeffnenDieFensterKeinFremdesFenster) {
  std::unique_ptr<QWidget> form(FormularZahlungErzeugen(nullptr));
  auto* zahlung = qobject_cast<FormularZahlung*>(form.get());
  ASSERT_NE(zahlung, nullptr);
  zahlung->show();
  ASSERT_TRUE(zahlung->Befehl(QStringLiteral("Neu")));
  zahlung->Maske(0)->WertSetzen(QStringLiteral("Mei"));
  zahlung->Maske(0)->setFocus();
  {
    DialogAbfangen keiner;
    keiner.runden = 190;   // the key is handled at once: a few rounds tell
    QTest::keyClick(zahlung->Maske(0), Qt::Key_F4);
    QTest::qWait(100);
    EXPECT_TRUE(keiner.gezeigt.isEmpty());
  }
  EXPECT_EQ(zahlung->Maske(0)->Wert(), QStringLiteral("Mei"));

  std::unique_ptr<QWidget> fenster(ZahlungslisteErzeugen(nullptr));
  auto* liste = qobject_cast<Zahlungsliste*>(fenster.get());
  ASSERT_NE(liste, nullptr);
  liste->FaelligkeitAbfragen();
  EXPECT_FALSE(liste->FaelligBis());
  EXPECT_TRUE(liste->FaelligAnzeige()->isHidden());
}

TEST_F(ShellTest, SchliessenSperreVorSepaDatei) {
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  int erzeugt = 0;
  haupt.FensterartSetzen(Hauptbefehl::SepaDatei, {QStringLiteral("FormularDTADisk"), Fensteroeffnung::ModalAllein,
                                                  [&erzeugt](QWidget* e) -> QWidget* {
                                                    ++erzeugt;
                                                    return new Testfenster(e);
                                                  }});
  bool verweigern = true;
  haupt.FensterartSetzen(Hauptbefehl::ZahlungenErfassen,
                         {QStringLiteral("FormularZahlung"), Fensteroeffnung::Nichtmodal,
                          [&verweigern](QWidget* e) -> QWidget* { return new Testfenster(e, &verweigern); }});
  EXPECT_TRUE(haupt.Aktion(Hauptbefehl::SepaDatei)->isEnabled());
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::ZahlungenErfassen));
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Rechner));

  // The user declines: nothing is closed, nothing runs.
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Nein);
  EXPECT_FALSE(haupt.Ausfuehren(Hauptbefehl::SepaDatei));
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().text,
            QStringLiteral("Für diese Funktion müssen alle anderen Fenster geschlossen werden.\r"
                           "Sollen jetzt alle anderen Fenster geschlossen werden?"));
  EXPECT_EQ(erzeugt, 0);
  EXPECT_EQ(haupt.Fenster().Anzahl(), 2);

  // A window refuses to close: the SEPA window is not opened.
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Ja);
  EXPECT_FALSE(haupt.Ausfuehren(Hauptbefehl::SepaDatei));
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().text, Fensterverwaltung::NichtGeschlossenHinweis());
  EXPECT_EQ(erzeugt, 0);
  EXPECT_NE(haupt.Fenster().Offen(QStringLiteral("FormularZahlung")), nullptr);

  // Now every window closes, and only then the SEPA window opens, modal.
  verweigern = false;
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Ja);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::SepaDatei));
  EXPECT_EQ(erzeugt, 1);
  EXPECT_EQ(haupt.Fenster().OffeneFenster().size(), 1);
  QWidget* sepa = haupt.Fenster().Offen(QStringLiteral("FormularDTADisk"));
  ASSERT_NE(sepa, nullptr);
  EXPECT_EQ(sepa->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(m_umgebung.Rekorder().OffeneAntworten(), 0);
}

TEST_F(ShellTest, BeendenWirdAbgebrochenWennEinFensterVerweigert) {
  QStringList protokoll;
  Zustand().AktuelleAbsenderNrSetzen(1);
  {
    ZOVA10 haupt;
    bool verweigern = true;
    haupt.FensterartSetzen(Hauptbefehl::ZahlungenErfassen,
                           {QStringLiteral("FormularZahlung"), Fensteroeffnung::Nichtmodal,
                            [&verweigern](QWidget* e) -> QWidget* { return new Testfenster(e, &verweigern); }});
    haupt.DruckjobSetzen(std::make_unique<RecordingDruckjob>(&protokoll));
    haupt.Laden();
    haupt.show();
    EXPECT_EQ(protokoll, QStringList{QStringLiteral("öffnen")});
    EXPECT_EQ(haupt.Statustext(), QStringLiteral("Aktiver Absender: 1 \u2013 (ohne Namen)"));
    ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::ZahlungenErfassen));

    EXPECT_FALSE(haupt.close());
    EXPECT_TRUE(haupt.isVisible());
    EXPECT_EQ(protokoll.size(), 1);   // the print job stays open

    verweigern = false;
    SaveSetting(QStringLiteral("Window State"), QStringLiteral("AbsenderNr"), QStringLiteral("9"));
    EXPECT_TRUE(haupt.Ausfuehren(Hauptbefehl::Beenden));
    EXPECT_FALSE(haupt.isVisible());
    EXPECT_EQ(haupt.Fenster().Anzahl(), 0);
  }
  EXPECT_EQ(protokoll, QStringList({QStringLiteral("öffnen"), QStringLiteral("schließen")}));
  EXPECT_EQ(GetSetting(QStringLiteral("Window State"), QStringLiteral("AbsenderNr")), QStringLiteral("1"));
  EXPECT_TRUE(Registrierung::Instanz().Vorhanden(QStringLiteral("Window State"), QStringLiteral("Width")));
}

// "Beenden" with the help viewer open closed the main window only: the viewer kept the program
// running (instance lock and database held). A window outside the list that refuses stops it.
TEST_F(ShellTest, BeendenSchliesstAuchFreieFenster) {
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  haupt.show();
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Hilfe));
  QWidget* hilfe = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &haupt && w->isVisible() && w->windowTitle() == QStringLiteral("Tamo-SEPA Hilfe")) hilfe = w;
  ASSERT_NE(hilfe, nullptr);

  bool verweigern = true;
  Testfenster frei(nullptr, &verweigern);
  frei.show();
  EXPECT_FALSE(haupt.close());
  EXPECT_TRUE(haupt.isVisible());

  verweigern = false;
  EXPECT_TRUE(haupt.close());
  EXPECT_FALSE(hilfe->isVisible());
  EXPECT_FALSE(frei.isVisible());
}

TEST_F(ShellTest, ModalerDialogGehtMitOk) {
  ZOVA10 haupt;
  ArbeitsfensterAnmelden(haupt);
  ASSERT_TRUE(haupt.Ausfuehren(Hauptbefehl::Einstellungen));
  auto* dialog = qobject_cast<QDialog*>(haupt.Fenster().Offen(QStringLiteral("Optionen")));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
  dialog->accept();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(haupt.Fenster().Offen(QStringLiteral("Optionen")), nullptr);
}

TEST_F(ShellTest, StatuszeileZeigtAktivenAbsender) {
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren("UPDATE Absender SET Name = ? WHERE AbsenderNr = 1",
                                                {QStringLiteral("Muster GmbH")}).Ok());
  ZOVA10 haupt;
  haupt.Aktualisieren();
  EXPECT_EQ(haupt.Statustext(), QStringLiteral("Aktiver Absender: 1 \u2013 Muster GmbH"));
  EXPECT_EQ(haupt.findChild<QLabel*>(QStringLiteral("StatusAbsender"))->text(), haupt.Statustext());
  Zustand().DatenbankSchliessen();
  EXPECT_EQ(haupt.Statustext(), QStringLiteral("Keine Datenbank geöffnet"));
}

// First start: the sender has no name. The main window says what comes first and opens the sender
// form on Enter; once the sender has a name the hint goes.
TEST_F(ShellTest, ErsterStartFuehrtZumAbsender) {
  ZOVA10 haupt;
  int absender = 0;
  haupt.BefehlSetzen(Hauptbefehl::Absender, [&absender] { ++absender; });
  haupt.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&haupt));
  haupt.Aktualisieren();
  ASSERT_TRUE(haupt.AbsenderOhneNamen());
  EXPECT_TRUE(haupt.ErsterSchritt()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), haupt.ErsterSchrittKnopf());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(absender, 1);

  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren("UPDATE Absender SET Name = ? WHERE AbsenderNr = 1",
                                                {QStringLiteral("  ")}).Ok());
  haupt.Aktualisieren();
  EXPECT_TRUE(haupt.ErsterSchritt()->isVisible());   // blanks are no name
  ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren("UPDATE Absender SET Name = ? WHERE AbsenderNr = 1",
                                                {QStringLiteral("Muster GmbH")}).Ok());
  haupt.Aktualisieren();
  EXPECT_FALSE(haupt.ErsterSchritt()->isVisible());
}

}  // namespace

namespace {

// The main window's commands had no keyboard access, and the sender's label filled the whole status
// line, so that the hint of the command under the mouse never showed.
TEST_F(ShellTest, BefehleMitAltBuchstabeUndSichtbaremHinweis) {
  ZOVA10 haupt;
  int adressen = 0;
  int einstellungen = 0;
  haupt.BefehlSetzen(Hauptbefehl::Adressen, [&adressen] { ++adressen; });
  haupt.BefehlSetzen(Hauptbefehl::Einstellungen, [&einstellungen] { ++einstellungen; });
  haupt.resize(900, 600);
  haupt.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&haupt));
  // A button's Alt letter clicks it the way a mouse does, a moment later.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&adressen] { return adressen == 1; }, 1000));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&einstellungen] { return einstellungen == 1; }, 1000));
  EXPECT_EQ(adressen, 1);
  EXPECT_EQ(einstellungen, 1);
  // Every command has a letter of its own.
  QSet<QChar> buchstaben;
  for (Hauptbefehl b : ZOVA10::AlleBefehle()) {
    const QString text = haupt.Leistenknopf(b)->text();
    const qsizetype i = text.indexOf(QLatin1Char('&'));
    ASSERT_GE(i, 0) << text.toStdString();
    buchstaben.insert(text.at(i + 1).toUpper());
  }
  EXPECT_EQ(buchstaben.size(), qsizetype(ZOVA10::AlleBefehle().size()));

  const QString hinweis = haupt.Aktion(Hauptbefehl::SepaDatei)->statusTip();
  QStatusTipEvent tipp(hinweis);
  QApplication::sendEvent(&haupt, &tipp);
  EXPECT_EQ(haupt.statusBar()->currentMessage(), hinweis);
  const QLabel* absender = haupt.findChild<QLabel*>(QStringLiteral("StatusAbsender"));
  EXPECT_GE(absender->geometry().left(), haupt.statusBar()->fontMetrics().horizontalAdvance(hinweis))
      << "the sender's label covers the hint";
}

}  // namespace
