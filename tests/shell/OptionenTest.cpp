#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

#include "../masterdata/Stammdatenumgebung.h"
#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "platform/settings/Registrierung.h"
#include "shell/Optionen.h"
#include "shell/Programmoptionen.h"
#include "testsupport/Hilfeseite.h"

namespace {

class OptionenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_daten = m_umgebung.Datenordner(QStringLiteral("daten"));
    m_umgebung.Oeffnen(m_daten);
  }
  Stammdatenumgebung m_umgebung;
  QString m_daten;
};

TEST_F(OptionenTest, VorgabenOhneGespeicherteWerte) {
  const Programmoptionen o = Programmoptionen::Laden();
  for (const Optionsschalter::Eintrag& e : Optionsschalter::Eintraege())
    EXPECT_EQ(o.schalter.*(e.schalter), e.vorgabe) << e.schluessel;
  EXPECT_TRUE(o.neueingabeFortsetzen);
  EXPECT_EQ(o.speicherfeld, Speicherfeld::Keines);
  EXPECT_TRUE(o.optischeFehlerKontrolle);
  EXPECT_TRUE(o.aufAbPfeilVerwenden);
  EXPECT_FALSE(o.pruefenMitBlzAbgleich);
  EXPECT_EQ(o.autoVerwendungszweck,
            QStringList({QStringLiteral("RG {RgNr} vom {RgDatum}"), QStringLiteral("abzgl. GS {RgNr} vom {RgDatum}"),
                         QStringLiteral("abzgl. Anz {RgNr} vom {RgDatum}")}));
  for (bool k : o.kopierfeld) EXPECT_FALSE(k);
}

TEST_F(OptionenTest, DialogSpeichertAlleWerte) {
  Optionen dialog;
  Programmoptionen w = dialog.Werte();
  w.schalter.SmartfillName = false;
  w.schalter.SEPAmitArchivSpeichern = true;
  w.kopierfeld[3] = true;
  w.kopierfeld[5] = true;
  w.speicherfeld = Speicherfeld::OPBetragNeueZeile;
  w.autoVerwendungszweck[1] = QStringLiteral("GS\\{RgNr}");
  w.pruefenMitBlzAbgleich = true;
  w.aufAbPfeilVerwenden = false;
  dialog.WerteAnzeigen(w);
  ASSERT_TRUE(dialog.Uebernehmen());

  const QString fs = QStringLiteral("Formular State");
  EXPECT_EQ(GetSetting(QStringLiteral("Window State"), QStringLiteral("SmartfillName")), QStringLiteral("0"));
  EXPECT_EQ(GetSetting(QStringLiteral("Window State"), QStringLiteral("SEPAmitArchivSpeichern")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(fs, QStringLiteral("Kopierfeld3")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(fs, QStringLiteral("Kopierfeld4")), QStringLiteral("0"));
  EXPECT_EQ(GetSetting(fs, QStringLiteral("Speicherfeld")), QStringLiteral("4"));
  EXPECT_EQ(GetSetting(fs, QStringLiteral("PrüfenMitBLZAbgleich")), QStringLiteral("1"));
  EXPECT_EQ(GetSetting(fs, QStringLiteral("AufAbPfeilVerwenden")), QStringLiteral("0"));
  // The separator of the three texts cannot be typed into one of them.
  EXPECT_EQ(GetSetting(fs, QStringLiteral("AutoVerwendungszweck")),
            QStringLiteral("RG {RgNr} vom {RgDatum}\\GS{RgNr}\\abzgl. Anz {RgNr} vom {RgDatum}"));
  // The running program takes them at once.
  EXPECT_FALSE(Zustand().Optionen().SmartfillName);
  EXPECT_TRUE(Zustand().Kopierfeld()[3]);
  EXPECT_EQ(Programmoptionen::Laden().speicherfeld, Speicherfeld::OPBetragNeueZeile);
}

TEST_F(OptionenTest, NeuerDatenordnerOeffnetDessenDatenbank) {
  const QString anderer = m_umgebung.Datenordner(
      QStringLiteral("anderer"), "UPDATE Absender SET Name = 'Anderswo' WHERE AbsenderNr = 1;");
  Optionen dialog;
  int gefragt = 0;
  dialog.AndereFensterSchliessenSetzen([&gefragt] {
    ++gefragt;
    return true;
  });
  dialog.DatenordnerSetzen(anderer);
  ASSERT_TRUE(dialog.Uebernehmen());
  EXPECT_EQ(gefragt, 1);
  EXPECT_TRUE(QDir(Zustand().DatenVerzeichnis()) == QDir(anderer));
  EXPECT_EQ(m_umgebung.Zeilen("SELECT Name FROM Absender"), QStringList{QStringLiteral("Anderswo")});
  EXPECT_TRUE(QDir(GetSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"))) == QDir(anderer));
}

TEST_F(OptionenTest, OrdnerOhneDatenbankWirdAbgelehnt) {
  const QString leer = m_umgebung.Ordner().Datei(QStringLiteral("leer"));
  QDir().mkpath(leer);
  Datenbank* vorher = Zustand().Datenbank();
  Optionen dialog;
  dialog.DatenordnerSetzen(leer);
  EXPECT_FALSE(dialog.Uebernehmen());
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().text,
            QStringLiteral("Im Verzeichnis %1 befindet sich keine Datenbank TamoSEPA.db.")
                .arg(QDir::toNativeSeparators(leer) + QDir::separator()));
  EXPECT_EQ(Zustand().Datenbank(), vorher);
  EXPECT_TRUE(QDir(Zustand().DatenVerzeichnis()) == QDir(m_daten));
  EXPECT_FALSE(Registrierung::Instanz().Vorhanden(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk")));
}

// A folder typed without its full path would follow the working folder of each start: refused, even where
// it names a database from the current working folder; the full path of the same folder is taken.
TEST_F(OptionenTest, DatenordnerNurMitVollstaendigemPfad) {
  const QString anderer = m_umgebung.Datenordner(QStringLiteral("anderer"));
  struct Zurueck {
    QString ordner = QDir::currentPath();
    ~Zurueck() { QDir::setCurrent(ordner); }
  } zurueck;
  ASSERT_TRUE(QDir::setCurrent(m_umgebung.Ordner().Pfad()));
  const char* const relativ[] = {"anderer", "./anderer", "anderer/../anderer", "C:\\anderer"};
  for (const char* eingabe : relativ) {
    SCOPED_TRACE(eingabe);
    m_umgebung.Rekorder().Leeren();
    Optionen dialog;
    dialog.DatenordnerSetzen(QString::fromUtf8(eingabe));
    EXPECT_FALSE(dialog.Uebernehmen());
    ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
    EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.startsWith(
        QStringLiteral("Das Datenverzeichnis %1 ist kein vollständiger Pfad").arg(dialog.Datenordner())))
        << m_umgebung.Rekorder().Letzter().text.toStdString();
    EXPECT_TRUE(QDir(Zustand().DatenVerzeichnis()) == QDir(m_daten));
    EXPECT_FALSE(Registrierung::Instanz().Vorhanden(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk")));
  }
  Optionen dialog;
  dialog.DatenordnerSetzen(anderer);
  EXPECT_TRUE(dialog.Uebernehmen());
  EXPECT_TRUE(QDir(Zustand().DatenVerzeichnis()) == QDir(anderer));
}

TEST_F(OptionenTest, AbgelehnteSperreBehaeltDenOrdner) {
  const QString anderer = m_umgebung.Datenordner(QStringLiteral("anderer"));
  Optionen dialog;
  dialog.AndereFensterSchliessenSetzen([] { return false; });
  dialog.DatenordnerSetzen(anderer);
  EXPECT_FALSE(dialog.Uebernehmen());
  EXPECT_TRUE(QDir(Zustand().DatenVerzeichnis()) == QDir(m_daten));
}

}  // namespace

// F1 did nothing in the settings.
TEST_F(OptionenTest, F1ZeigtDieSeiteDesFensters) {
  Optionen dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.activateWindow();
  QWidget* fokus = dialog.focusWidget();
  ASSERT_NE(fokus, nullptr);
  EXPECT_EQ(HilfeseiteNachF1(fokus), QStringLiteral("400.html"));
}

// "Reserve 1" and "Reserve 2" were offered although no command reads them.
TEST_F(OptionenTest, ReservefelderNichtAngebotenIhreWerteBleiben) {
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("Kopierfeld5"), QStringLiteral("1"));
  Optionen dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  for (const char* name : {"Kopierfeld4", "Kopierfeld5"}) {
    auto* box = dialog.findChild<QCheckBox*>(QString::fromUtf8(name));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isHidden()) << name;
  }
  EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("Kopierfeld3"))->isHidden());
  ASSERT_TRUE(dialog.Uebernehmen());
  EXPECT_EQ(GetSetting(QStringLiteral("Formular State"), QStringLiteral("Kopierfeld5")), QStringLiteral("1"));
}
