#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestDatenbank.h"
#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "testsupport/Geschwisterdatenbank.h"
#include "testsupport/TestOrdner.h"

namespace {

using Adresse = Geschwisterdatenbank::AdressDaten;
using Posten = Geschwisterdatenbank::PostenDaten;

Waehrung Roh(qint64 zehntausendstel) { return Waehrung::AusRoh(zehntausendstel); }

// The accounting program as an older file without LieferantenKundenNr: a customer and a supplier; a
// credit note stored with its sign and a settled supplier invoice.
void Buchhaltungsdatei(const QString& datei) {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.MitLieferantenKundenNr(false)
      .Adresse(Adresse{.konto = QStringLiteral("10001"), .suchname = QStringLiteral("MEIER"),
                       .name = QStringLiteral("Meier GmbH"), .iban = QStringLiteral("DE89370400440532013000")})
      .Adresse(Adresse{.konto = QStringLiteral("70001"), .suchname = QStringLiteral("LIEF"),
                       .name = QStringLiteral("Lieferant AG")})
      .Posten(Posten{.konto = QStringLiteral("10001"), .nr = QStringLiteral("RE-1"), .vom = QDate(2024, 3, 1),
                     .faellig = QDate(2024, 3, 31), .betrag = Roh(1000000), .rest = Roh(1000000),
                     .buchungsliste = QStringLiteral("B1")})
      .Posten(Posten{.konto = QStringLiteral("10001"), .nr = QStringLiteral("GS-1"), .art = QLatin1Char('G'),
                     .vom = QDate(2024, 3, 2), .faellig = QDate(2024, 4, 30), .betrag = Roh(-200000),
                     .rest = Roh(-200000), .buchungsliste = QStringLiteral("B2")})
      .Posten(Posten{.konto = QStringLiteral("70001"), .nr = QStringLiteral("ER-7"), .kontoart = QLatin1Char('L'),
                     .vom = QDate(2024, 3, 3), .faellig = QDate(2024, 3, 20), .betrag = Roh(500000),
                     .buchungsliste = QStringLiteral("B3")});
  const DbFehler f = g.Schreiben(datei);
  ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
}

// The order program: one customer with an invoice and a credit note.
void Auftragsdatei(const QString& datei) {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Auftrag);
  g.Adresse(Adresse{.konto = QStringLiteral("K1"), .suchname = QStringLiteral("KUNDE"), .name = QStringLiteral("Kunde Eins"),
                    .kundenNr = QStringLiteral("X-1")})
      .Posten(Posten{.konto = QStringLiteral("K1"), .nr = QStringLiteral("4711"), .vom = QDate(2024, 3, 1),
                     .faellig = QDate(2024, 3, 15), .betrag = Roh(1190000), .rest = Roh(1190000)})
      .Posten(Posten{.konto = QStringLiteral("K1"), .nr = QStringLiteral("4712"), .art = QLatin1Char('G'),
                     .vom = QDate(2024, 3, 5), .faellig = QDate(2024, 3, 20), .betrag = Roh(119000), .rest = Roh(119000)});
  const DbFehler f = g.Schreiben(datei);
  ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
}

class DatenbankstartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_vorherReg = Registrierung::Instanz().Datei();
    Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("reg.ini")));
    m_vorherProgramm = qgetenv("TAMOSEPA_PROGRAMMVERZEICHNIS");
    qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(m_ordner.Datei(QStringLiteral("programm"))));
    Zustand().Zuruecksetzen();
  }
  void TearDown() override {
    Zustand().Zuruecksetzen();
    qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", m_vorherProgramm);
    qunsetenv("TAMOSEPA_RESSOURCEN");
    Registrierung::Instanz().DateiSetzen(m_vorherReg);
  }

  // A data folder with a fresh database and the given extra statements.
  QString Datenordner(const QString& name, const SqlText& skript = {}, const QVariantList& parameter = {}) {
    const QString ordner = m_ordner.Datei(name);
    QDir().mkpath(ordner);
    auto db = SchemaDatenbank(ordner);
    if (!skript.IstLeer()) {
      const DbFehler f = db->Ausfuehren(skript, parameter);
      EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    }
    return ordner;
  }
  StartErgebnis Oeffnen(const QString& ordner, int absender) {
    Zustand().DatenVerzeichnisSetzen(ordner);
    Zustand().AktuelleAbsenderNrSetzen(absender);
    return DatenbankOeffnen();
  }
  // The rows of a query as "a|b|c" texts.
  QStringList Zeilen(const SqlText& sql, const QVariantList& parameter = {}) {
    QStringList zeilen;
    const DbFehler f = Zustand().Datenbank()->Abfragen(sql, parameter, [&](const Zeile& z) {
      QStringList werte;
      for (int i = 0; i < z.Anzahl(); ++i) werte << z.Wert(i).toString();
      zeilen << werte.join(QLatin1Char('|'));
      return true;
    });
    EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString() << " / " << sql.Text().toStdString();
    return zeilen;
  }

  TestOrdner m_ordner;
  QString m_vorherReg;
  QByteArray m_vorherProgramm;
};

TEST_F(DatenbankstartTest, ErsterStartRichtetProgrammverzeichnisEin) {
  // Shipped resources: schema, help, a report, the INI.
  const QString res = m_ordner.Datei(QStringLiteral("res"));
  QDir().mkpath(res + QStringLiteral("/help"));
  QDir().mkpath(res + QStringLiteral("/xsd"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"), res + QStringLiteral("/TamoSEPA.sql")));
  for (const char* datei : {"/help/index.html", "/TamoSEPA.INI", "/Zahlungsliste.LST", "/xsd/pain.001.001.09.xsd"}) {
    QFile f(res + QString::fromUtf8(datei));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("original");
  }
  qputenv("TAMOSEPA_RESSOURCEN", QFile::encodeName(res));

  StartErgebnis e = OrdnerEinrichten();
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  const QString programm = Zustand().ProgrammVerzeichnis();
  EXPECT_EQ(programm, QDir::toNativeSeparators(m_ordner.Datei(QStringLiteral("programm"))) + QDir::separator());
  EXPECT_EQ(Zustand().DatenVerzeichnis(), programm);
  EXPECT_TRUE(QFileInfo::exists(programm + QStringLiteral("help/index.html")));
  EXPECT_EQ(Zustand().HilfeDatei(), programm + QStringLiteral("help/index.html"));
  EXPECT_TRUE(QFileInfo::exists(programm + QStringLiteral("TamoSEPA.INI")));
  EXPECT_TRUE(QFileInfo::exists(programm + QStringLiteral("Zahlungsliste.LST")));
  EXPECT_FALSE(QFileInfo::exists(programm + QStringLiteral("TamoSEPA.sql")));
  EXPECT_FALSE(QFileInfo::exists(programm + QStringLiteral("xsd"))) << "the banks' schemas stay where installed";
  ASSERT_TRUE(QFileInfo::exists(programm + DatenbankDateiname));
  EXPECT_TRUE(QDir(programm).entryList({QStringLiteral("*.neu*")}, QDir::Files).isEmpty()) << "no build leftovers";

  // The user's copies are never replaced on later starts; a lost database is made anew.
  {
    QFile f(programm + QStringLiteral("Zahlungsliste.LST"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("geaendert");
  }
  QFile::remove(programm + DatenbankDateiname);
  e = OrdnerEinrichten();
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  QFile f(programm + QStringLiteral("Zahlungsliste.LST"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("geaendert"));
  EXPECT_TRUE(QFileInfo::exists(programm + DatenbankDateiname));

  e = DatenbankOeffnen();
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  ASSERT_NE(Zustand().AbsenderDaten(), nullptr);
  EXPECT_EQ(Zustand().AbsenderDaten()->Ganzzahl(QStringLiteral("AbsenderNr")), 1);
}

TEST_F(DatenbankstartTest, SpaetererStartErgaenztNurFehlendeReportdateien) {
  const QString res = m_ordner.Datei(QStringLiteral("res"));
  QDir().mkpath(res + QStringLiteral("/help"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"), res + QStringLiteral("/TamoSEPA.sql")));
  const auto schreiben = &TestOrdner::Schreiben;
  for (const char* datei : {"/help/neu.html", "/Zahlungsliste.LST", "/Absenderliste.LST", "/Bankverbindung.LST"})
    schreiben(res + QString::fromUtf8(datei), "geliefert");
  qputenv("TAMOSEPA_RESSOURCEN", QFile::encodeName(res));

  // An existing installation: the user's payment list in other letter case, no sender list; a folder
  // in the way of the bank-code list.
  const QString programm = m_ordner.Datei(QStringLiteral("programm"));
  QDir().mkpath(programm + QStringLiteral("/Bankverbindung.LST"));
  schreiben(programm + QStringLiteral("/zahlungsliste.lst"), "eigene");
  schreiben(programm + QStringLiteral("/Absenderliste.LST.start.tmp"), "halb");   // an interrupted start

  const StartErgebnis e = OrdnerEinrichten();
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  const QDir p(programm);
  EXPECT_EQ(TestOrdner::Lesen(p.filePath(QStringLiteral("Absenderliste.LST"))), QByteArray("geliefert"));
  EXPECT_EQ(p.entryList({QStringLiteral("*.lst")}, QDir::Files),
            (QStringList{QStringLiteral("Absenderliste.LST"), QStringLiteral("zahlungsliste.lst")}));
  EXPECT_EQ(TestOrdner::Lesen(p.filePath(QStringLiteral("zahlungsliste.lst"))), QByteArray("eigene"));
  EXPECT_FALSE(QFileInfo::exists(p.filePath(QStringLiteral("help/neu.html")))) << "only report files are added";
  EXPECT_FALSE(QFileInfo::exists(p.filePath(QStringLiteral("Absenderliste.LST.start.tmp"))));
  // The copy that failed is named; the program still starts.
  EXPECT_TRUE(e.hinweis.startsWith(QStringLiteral("Die mitgelieferten Reportdateien konnten nicht")));
  EXPECT_TRUE(e.warnung);
  EXPECT_TRUE(e.hinweis.endsWith(QDir::toNativeSeparators(p.filePath(QStringLiteral("Bankverbindung.LST")))));
  EXPECT_TRUE(QFileInfo::exists(p.filePath(DatenbankDateiname)));

  // Nothing to add: no note.
  QDir(p.filePath(QStringLiteral("Bankverbindung.LST"))).removeRecursively();
  EXPECT_TRUE(OrdnerEinrichten().hinweis.isEmpty());
  EXPECT_TRUE(QFileInfo(p.filePath(QStringLiteral("Bankverbindung.LST"))).isFile());
  EXPECT_TRUE(OrdnerEinrichten().hinweis.isEmpty());
}

// The payment list as shipped before (sums of unsigned amounts, which the report check refuses now)
// gives way to the current one when the user never changed it; a changed one stays.
TEST_F(DatenbankstartTest, UnveraenderteFruehereZahlungslisteWirdErsetzt) {
  const QString res = m_ordner.Datei(QStringLiteral("res"));
  QDir().mkpath(res);
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"), res + QStringLiteral("/TamoSEPA.sql")));
  const QByteArray aktuell = TestOrdner::Lesen(QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST"));
  TestOrdner::Schreiben(res + QStringLiteral("/Zahlungsliste.LST"), aktuell);
  qputenv("TAMOSEPA_RESSOURCEN", QFile::encodeName(res));
  // The earlier shipped report, kept as the printing tests' fixture.
  QByteArray frueher = TestOrdner::Lesen(QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/Zahlungsliste.LST"));
  frueher.replace(frueher.left(frueher.indexOf('\n')), "; Tamo-SEPA Report");
  ASSERT_TRUE(FruehererMitgelieferterReport(QStringLiteral("Zahlungsliste.LST"), frueher));
  EXPECT_FALSE(FruehererMitgelieferterReport(QStringLiteral("Absenderliste.LST"), frueher));
  EXPECT_FALSE(FruehererMitgelieferterReport(QStringLiteral("Zahlungsliste.LST"), frueher + "\n"));
  EXPECT_FALSE(FruehererMitgelieferterReport(QStringLiteral("Zahlungsliste.LST"), aktuell));

  const QString programm = m_ordner.Datei(QStringLiteral("programm"));
  QDir().mkpath(programm);
  TestOrdner::Schreiben(programm + QStringLiteral("/zahlungsliste.lst"), frueher);
  StartErgebnis e = OrdnerEinrichten();
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_TRUE(e.hinweis.isEmpty()) << e.hinweis.toStdString();
  EXPECT_EQ(TestOrdner::Lesen(programm + QStringLiteral("/zahlungsliste.lst")), aktuell);

  QByteArray geaendert = frueher;
  geaendert.replace("Breite=40", "Breite=41");
  TestOrdner::Schreiben(programm + QStringLiteral("/zahlungsliste.lst"), geaendert);
  e = OrdnerEinrichten();
  ASSERT_TRUE(e.Ok());
  EXPECT_EQ(TestOrdner::Lesen(programm + QStringLiteral("/zahlungsliste.lst")), geaendert);
}

// The reports as shipped before their IBAN and BIC columns held 34 and 11 characters are known as
// earlier versions (an unchanged copy gives way to the current one); the current ones are not.
TEST_F(DatenbankstartTest, ReportsVorDenBreiterenIbanUndBicSpaltenSindFruehere) {
  const QDir bisher(QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/bisher"));
  const QStringList namen = bisher.entryList({QStringLiteral("*.LST")}, QDir::Files);
  ASSERT_GE(namen.size(), 2);
  for (const QString& name : namen) {
    const QByteArray inhalt = TestOrdner::Lesen(bisher.filePath(name));
    EXPECT_TRUE(FruehererMitgelieferterReport(name, inhalt)) << name.toStdString();
    EXPECT_FALSE(FruehererMitgelieferterReport(name, inhalt + "\n")) << name.toStdString();
  }
  const QDir res(QStringLiteral(TAMO_SOURCE_DIR "/resources"));
  for (const QString& name : res.entryList({QStringLiteral("*.LST")}, QDir::Files))
    EXPECT_FALSE(FruehererMitgelieferterReport(name, TestOrdner::Lesen(res.filePath(name)))) << name.toStdString();
}

TEST_F(DatenbankstartTest, FehlendeDatenbankImGesetztenDatenverzeichnis) {
  const QString leer = m_ordner.Datei(QStringLiteral("leer"));
  QDir().mkpath(leer);
  for (const char* schluessel : {"Datenlaufwerk", "InstallDir"}) {
    Registrierung::Instanz().Loeschen(QStringLiteral("Window State"));
    SaveSetting(QStringLiteral("Window State"), QString::fromUtf8(schluessel), leer);
    const StartErgebnis e = OrdnerEinrichten();
    EXPECT_FALSE(e.Ok()) << schluessel;
    EXPECT_TRUE(e.meldung.contains(QDir::toNativeSeparators(leer))) << e.meldung.toStdString();
    EXPECT_FALSE(QFileInfo::exists(leer + QLatin1Char('/') + DatenbankDateiname)) << "no database is made there";
  }
  // Datenlaufwerk comes before InstallDir.
  const QString daten = Datenordner(QStringLiteral("daten"));
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"), daten);
  const StartErgebnis e = OrdnerEinrichten();
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_EQ(Zustand().DatenVerzeichnis(), QDir::toNativeSeparators(daten) + QDir::separator());
}

// A lost database whose journal is still there: a new file would take the journal's pages of the old one
// (SQLite pairs them by name only). Nothing is made, the journal stays, the message says what to do.
TEST_F(DatenbankstartTest, VerwaistesJournalVerhindertEineNeueDatenbank) {
  const QString res = m_ordner.Datei(QStringLiteral("res"));
  QDir().mkpath(res);
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"), res + QStringLiteral("/TamoSEPA.sql")));
  qputenv("TAMOSEPA_RESSOURCEN", QFile::encodeName(res));
  ASSERT_TRUE(OrdnerEinrichten().Ok());
  const QString datei = Zustand().ProgrammVerzeichnis() + DatenbankDateiname;
  for (const QString& endung : {QStringLiteral("-wal"), QStringLiteral("-journal")}) {
    const QString journal = datei + endung;
    QFile j(journal);
    ASSERT_TRUE(j.open(QIODevice::WriteOnly));
    j.write(QByteArray(512, '\x5a'));   // what the lost file's last run left
    j.close();
    QFile::remove(datei);
    const StartErgebnis e = OrdnerEinrichten();
    EXPECT_FALSE(e.Ok()) << endung.toStdString();
    EXPECT_TRUE(e.meldung.contains(QDir::toNativeSeparators(journal))) << e.meldung.toStdString();
    EXPECT_TRUE(e.meldung.contains(QStringLiteral("Bitte"))) << e.meldung.toStdString();
    EXPECT_FALSE(QFileInfo::exists(datei)) << endung.toStdString();
    EXPECT_EQ(QFileInfo(journal).size(), 512) << endung.toStdString();
    // Once the journal is moved away (the data given up), a new database is made.
    ASSERT_TRUE(QFile::remove(journal));
    EXPECT_TRUE(OrdnerEinrichten().Ok()) << endung.toStdString();
    EXPECT_TRUE(QFileInfo(datei).isFile()) << endung.toStdString();
  }
  // An empty journal holds nothing: it does not stop a new database.
  QFile::remove(datei);
  QFile leer(datei + QStringLiteral("-wal"));
  ASSERT_TRUE(leer.open(QIODevice::WriteOnly));
  leer.close();
  EXPECT_TRUE(OrdnerEinrichten().Ok());
  EXPECT_TRUE(QFileInfo(datei).isFile());
}

// A data folder that cannot be used ends the start with a message that names the folder, the setting that
// chose it and the settings file, and says what to do; nothing is made there.
TEST_F(DatenbankstartTest, UnbrauchbaresDatenverzeichnisSagtWasZuTunIst) {
  const QString fehlt = m_ordner.Datei(QStringLiteral("netz/nicht/verbunden"));
  const QString leer = m_ordner.Datei(QStringLiteral("leer"));
  QDir().mkpath(leer);
  const QString ordnerStattDatei = m_ordner.Datei(QStringLiteral("verzeichnis"));
  QDir().mkpath(ordnerStattDatei + QLatin1Char('/') + DatenbankDateiname);
  struct Fall {
    const char* name;
    const char* schluessel;
    QString ordner;
    QString erwartet;
  };
  const Fall faelle[] = {
      {"fehlender Ordner", "Datenlaufwerk", fehlt, QStringLiteral("ist nicht erreichbar")},
      {"fehlender Ordner (InstallDir)", "InstallDir", fehlt, QStringLiteral("ist nicht erreichbar")},
      {"Ordner ohne Datenbank", "Datenlaufwerk", leer, QStringLiteral("wurde im Datenverzeichnis nicht gefunden")},
      {"Ordner statt Datenbank", "Datenlaufwerk", ordnerStattDatei, QStringLiteral("ist ein Ordner und keine Datenbank")},
      // Relative to the working folder of the start: even where a database lies there, it is not taken.
      {"relativer Pfad", "Datenlaufwerk", QStringLiteral("relativ"), QStringLiteral("ist kein vollständiger Pfad")},
      {"relativer Pfad (InstallDir)", "InstallDir", QStringLiteral("./relativ"), QStringLiteral("ist kein vollständiger Pfad")},
  };
  Datenordner(QStringLiteral("relativ"));
  struct Zurueck {
    QString ordner = QDir::currentPath();
    ~Zurueck() { QDir::setCurrent(ordner); }
  } zurueck;
  ASSERT_TRUE(QDir::setCurrent(m_ordner.Pfad()));
  for (const Fall& fall : faelle) {
    Registrierung::Instanz().Loeschen(QStringLiteral("Window State"));
    SaveSetting(QStringLiteral("Window State"), QString::fromUtf8(fall.schluessel), fall.ordner);
    Zustand().Zuruecksetzen();
    StartErgebnis e = OrdnerEinrichten();
    if (e.Ok()) e = DatenbankOeffnen();
    EXPECT_FALSE(e.Ok()) << fall.name;
    EXPECT_TRUE(e.meldung.contains(fall.erwartet)) << fall.name << ": " << e.meldung.toStdString();
    EXPECT_TRUE(e.meldung.contains(QDir::toNativeSeparators(fall.ordner))) << fall.name << ": " << e.meldung.toStdString();
    EXPECT_TRUE(e.meldung.contains(QStringLiteral("Bitte"))) << fall.name << ": " << e.meldung.toStdString();
    if (QString::fromUtf8(fall.name).contains(QLatin1String("Ordner statt"))) continue;
    EXPECT_TRUE(e.meldung.contains(QStringLiteral("„%1“").arg(QString::fromUtf8(fall.schluessel))))
        << fall.name << ": " << e.meldung.toStdString();
    EXPECT_TRUE(e.meldung.contains(QDir::toNativeSeparators(Registrierung::Instanz().Datei())))
        << fall.name << ": " << e.meldung.toStdString();
    if (QDir::isAbsolutePath(fall.ordner))
      EXPECT_FALSE(QFileInfo::exists(fall.ordner + QLatin1Char('/') + DatenbankDateiname)) << fall.name;
  }
  EXPECT_TRUE(QFileInfo(ordnerStattDatei + QLatin1Char('/') + DatenbankDateiname).isDir());
}

TEST_F(DatenbankstartTest, FormatIntern) {
  const QString ordner = Datenordner(QStringLiteral("d"), "INSERT INTO Absender (AbsenderNr, Name) VALUES (2, 'Zwei');"
                                                          "INSERT INTO Adressen (OPKontoNr, Name) VALUES ('1', 'Intern')");
  const StartErgebnis e = Oeffnen(ordner, 2);
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_TRUE(e.hinweis.isEmpty());
  Recordset* absender = Zustand().AbsenderDaten();
  ASSERT_NE(absender, nullptr);
  EXPECT_EQ(absender->Text(QStringLiteral("Name")), QStringLiteral("Zwei"));
  const AdressQuellenInfo& q = Zustand().AdressQuelle();
  EXPECT_FALSE(q.Extern);
  EXPECT_FALSE(q.OPVerknuepft);
  EXPECT_EQ(q.AdressNrFeld, QStringLiteral("OPKontoNr"));
  EXPECT_EQ(q.Transportfelder, QStringLiteral("Name;Bank;BIC;IBAN;MandatReferenz;MandatDatum;MandatSequenz"));
  EXPECT_TRUE(q.OPFeldliste.IstLeer());
  EXPECT_EQ(Zeilen("SELECT Name FROM Adressen"), QStringList{QStringLiteral("Intern")});
  EXPECT_FALSE(Zustand().Datenbank()->TabelleVorhanden(QStringLiteral("OPVorgang")));
  EXPECT_NE(Zustand().Arbeitsbereich().BeginTrans().Nummer, -1);
  EXPECT_TRUE(Zustand().Arbeitsbereich().Rollback().Ok());
}

TEST_F(DatenbankstartTest, FehlenderAbsenderNimmtDenErsten) {
  const QString ordner = Datenordner(QStringLiteral("d"), "INSERT INTO Absender (AbsenderNr, Name) VALUES (5, 'Fünf')");
  ASSERT_TRUE(Oeffnen(ordner, 42).Ok());
  EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 1);
  EXPECT_EQ(Zustand().AbsenderDaten()->Ganzzahl(QStringLiteral("AbsenderNr")), 1);
}

TEST_F(DatenbankstartTest, FormatLivra) {
  const QString livra = m_ordner.Datei(QStringLiteral("livra.db"));
  Buchhaltungsdatei(livra);
  const QString ordner = Datenordner(QStringLiteral("d"),
                                     "UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1;"
                                     "INSERT INTO Adressen (OPKontoNr, Name) VALUES ('1', 'Intern')",
                                     {livra});
  const StartErgebnis e = Oeffnen(ordner, 1);
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_TRUE(e.hinweis.isEmpty()) << e.hinweis.toStdString();
  const AdressQuellenInfo& q = Zustand().AdressQuelle();
  EXPECT_TRUE(q.Extern);
  EXPECT_TRUE(q.OPVerknuepft);
  EXPECT_EQ(q.Transportfelder, QStringLiteral("Name;BankName;BankBIC;BankIBAN;MandatReferenz;MandatDatum;MandatSequenz"));
  EXPECT_EQ(q.OPNummerFeld, QStringLiteral("VorgangsNr"));
  EXPECT_EQ(q.OPFaelligFeld, QStringLiteral("FaelligDatum"));
  EXPECT_EQ(q.OPArtFeld, QStringLiteral("OPVorgang.OPKontoart"));
  EXPECT_EQ(q.OPSchluesselFeld, QStringLiteral("OPVorgang.OPKontoNr"));
  EXPECT_EQ(q.ImportFaelligFeld, QStringLiteral("FaelligDatum"));
  EXPECT_EQ(q.KontoNrFeld, QStringLiteral("Adressen.BankKontoNr"));
  EXPECT_EQ(q.IBANFeld, QStringLiteral("Adressen.BankIBAN"));
  EXPECT_EQ(q.OPKontoFeld, QStringLiteral("OPKontoNr"));
  EXPECT_EQ(q.SkontoFeld, QStringLiteral("SktoProzent"));

  // The names the program uses: Adressen is the sibling table, the own one Adressen_Intern.
  EXPECT_EQ(Zeilen("SELECT Name FROM Adressen ORDER BY OPKontoNr"),
            (QStringList{QStringLiteral("Meier GmbH"), QStringLiteral("Lieferant AG")}));
  EXPECT_EQ(Zeilen("SELECT Name FROM Adressen_Intern"), QStringList{QStringLiteral("Intern")});
  // The drop-down of the payment form.
  EXPECT_EQ(Zeilen(SqlText("SELECT ") + q.OPFeldliste + SqlText(" FROM OPVorgang WHERE ") +
                       SqlText::Bezeichner(q.OPSchluesselFeld) + SqlText(" = ? AND Rest > 0 ORDER BY ") +
                       SqlText::Bezeichner(q.OPFaelligFeld) + SqlText(" DESC"),
                   {QStringLiteral("10001")}),
            QStringList{QStringLiteral("RE-1|KR|2024-03-01|2024-03-31|1000000|1000000")});
  // The import's selection.
  EXPECT_EQ(Zeilen(q.OPAbfrage + SqlText(" WHERE (Rest <> 0) AND (") + SqlText::Bezeichner(q.OPArtFeld) +
                   SqlText(" = 'K') ORDER BY ") + q.OPSortierung),
            (QStringList{QStringLiteral("10001|MEIER|GS-1|KG|2024-03-02|2024-04-30|-200000|-200000|B2"),
                         QStringLiteral("10001|MEIER|RE-1|KR|2024-03-01|2024-03-31|1000000|1000000|B1")}));
  // The sibling address table got the supplier/customer number.
  EXPECT_EQ(Zeilen("SELECT count(*) FROM Adressen WHERE LieferantenKundenNr IS NULL"), QStringList{QStringLiteral("2")});
  Zustand().DatenbankSchliessen();
  DbFehler f;
  auto geschwister = Datenbank::Oeffnen(livra, f);
  ASSERT_TRUE(geschwister);
  EXPECT_NE(geschwister->Tabelle(QStringLiteral("Personenkonten"))->Feld(QStringLiteral("LieferantenKundenNr")), nullptr);
}

// The sibling's tables compare text as the program's own do, although their file declares no collation:
// account numbers that differ only in case or umlaut case join and are found, and names sort alike.
TEST_F(DatenbankstartTest, GeschwisterVergleichenWieDieEigenenTabellen) {
  const QString livra = m_ordner.Datei(QStringLiteral("livra.db"));
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.Adresse(Adresse{.konto = QStringLiteral("Müller-1"), .suchname = QStringLiteral("ÄRZTE"), .name = QStringLiteral("Ärzte")})
      .Adresse(Adresse{.konto = QStringLiteral("b-2"), .suchname = QStringLiteral("ärmel"), .name = QStringLiteral("Ärmel")})
      .Posten(Posten{.konto = QStringLiteral("MÜLLER-1"), .nr = QStringLiteral("RE-9"), .vom = QDate(2024, 3, 1),
                     .faellig = QDate(2024, 3, 31), .betrag = Roh(50000), .rest = Roh(50000),
                     .buchungsliste = QStringLiteral("B9")});
  ASSERT_TRUE(g.Schreiben(livra).Ok());
  const QString ordner = Datenordner(QStringLiteral("d"),
                                     "UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1;"
                                     "INSERT INTO Adressen (OPKontoNr, Suchname, Name) VALUES ('Müller-1', 'ÄRZTE', 'Ärzte'), "
                                     "('b-2', 'ärmel', 'Ärmel')",
                                     {livra});
  ASSERT_TRUE(Oeffnen(ordner, 1).Ok());
  const AdressQuellenInfo& q = Zustand().AdressQuelle();
  // The import's join of items and addresses.
  EXPECT_EQ(Zeilen(q.OPAbfrage + SqlText(" WHERE OPVorgang.VorgangsNr = 'RE-9'")),
            QStringList{QStringLiteral("MÜLLER-1|ÄRZTE|RE-9|KR|2024-03-01|2024-03-31|50000|50000|B9")});
  // A lookup by a typed number, in the sibling and in the own table alike.
  for (const char* tabelle : {"Adressen", "Adressen_Intern"}) {
    EXPECT_EQ(Zeilen(SqlText("SELECT Name FROM ") + SqlText::Bezeichner(QString::fromLatin1(tabelle)) +
                         SqlText(" WHERE OPKontoNr = ? COLLATE TAMO"),
                     {QStringLiteral("mÜller-1")}),
              QStringList{QStringLiteral("Ärzte")})
        << tabelle;
    EXPECT_EQ(Zeilen(SqlText("SELECT Suchname FROM ") + SqlText::Bezeichner(QString::fromLatin1(tabelle)) +
                     SqlText(" WHERE OPKontoNr IN ('Müller-1', 'b-2') ORDER BY Suchname COLLATE TAMO, OPKontoNr COLLATE TAMO")),
              (QStringList{QStringLiteral("ärmel"), QStringLiteral("ÄRZTE")}))
        << tabelle;
  }
}

TEST_F(DatenbankstartTest, FormatOrdel) {
  QDir().mkpath(m_ordner.Datei(QStringLiteral("d")));
  Auftragsdatei(m_ordner.Datei(QStringLiteral("d/ordel.db")));
  // A relative connection is taken from the data folder.
  const QString ordner = Datenordner(
      QStringLiteral("d"), "UPDATE Absender SET AdressenFormat = 2, AdressenVerbindung = 'ordel.db' WHERE AbsenderNr = 1");
  const StartErgebnis e = Oeffnen(ordner, 1);
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_TRUE(e.hinweis.isEmpty()) << e.hinweis.toStdString();
  const AdressQuellenInfo& q = Zustand().AdressQuelle();
  EXPECT_TRUE(q.Extern);
  EXPECT_TRUE(q.OPVerknuepft);
  EXPECT_TRUE(q.OPNummerFeld.isEmpty());
  EXPECT_TRUE(q.OPArtFeld.isEmpty());
  EXPECT_EQ(q.OPFaelligFeld, QStringLiteral("FälligDatum"));
  EXPECT_EQ(q.OPSchluesselFeld, QStringLiteral("KundenNr"));
  EXPECT_EQ(q.ImportFaelligFeld, QStringLiteral("FälligDatum"));
  EXPECT_EQ(Zeilen(SqlText("SELECT ") + q.OPFeldliste + SqlText(" FROM OPVorgang WHERE ") +
                   SqlText::Bezeichner(q.OPSchluesselFeld) + SqlText(" = ? AND Rest <> 0 ORDER BY ") +
                   SqlText::Bezeichner(q.OPFaelligFeld) + SqlText(" DESC"),
                   {QStringLiteral("K1")}),
            (QStringList{QStringLiteral("4712|KG|2024-03-05|2024-03-20|-119000|-119000"),
                         QStringLiteral("4711|KR|2024-03-01|2024-03-15|1190000|1190000")}));
  EXPECT_EQ(Zeilen(q.OPAbfrage + SqlText(" WHERE (Rest > 0) ORDER BY ") + q.OPSortierung),
            (QStringList{QStringLiteral("K1|KUNDE|4712|KG|2024-03-05|2024-03-20|-119000|-119000"),
                         QStringLiteral("K1|KUNDE|4711|KR|2024-03-01|2024-03-15|1190000|1190000")}));
  EXPECT_EQ(Zeilen("SELECT LieferantenKundenNr FROM Adressen"), QStringList{QStringLiteral("X-1")});
}

TEST_F(DatenbankstartTest, FehlendeGeschwisterdateiBleibtInternUndMeldetEinmal) {
  const QString fehlt = m_ordner.Datei(QStringLiteral("gibtesnicht.db"));
  const QString ordner = Datenordner(QStringLiteral("d"),
                                     "UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1",
                                     {fehlt});
  StartErgebnis e = Oeffnen(ordner, 1);
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_TRUE(e.hinweis.contains(fehlt)) << e.hinweis.toStdString();
  EXPECT_FALSE(Zustand().AdressQuelle().Extern);
  EXPECT_FALSE(Zustand().AdressQuelle().OPVerknuepft);
  EXPECT_TRUE(Zustand().AdressQuelle().OPFeldliste.IstLeer());
  EXPECT_FALSE(QFileInfo::exists(fehlt)) << "linking never creates the sibling file";
  EXPECT_EQ(Zeilen("SELECT count(*) FROM Adressen"), QStringList{QStringLiteral("0")});
  e = DatenbankOeffnen();
  ASSERT_TRUE(e.Ok());
  EXPECT_TRUE(e.hinweis.isEmpty()) << "said once";
}

TEST_F(DatenbankstartTest, UnbrauchbareGeschwisterdateiBleibtIntern) {
  const QString fremd = m_ordner.Datei(QStringLiteral("fremd.db"));
  SkriptDatei(fremd, QStringLiteral("CREATE TABLE Personenkonten (x); CREATE TABLE Andere (y);"));
  const QString kaputt = m_ordner.Datei(QStringLiteral("kaputt.db"));
  {
    QFile f(kaputt);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
  }
  for (const QString& datei : {fremd, kaputt}) {
    const QString ordner = Datenordner(QFileInfo(datei).baseName(),
                                       "UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1",
                                       {datei});
    const StartErgebnis e = Oeffnen(ordner, 1);
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    EXPECT_FALSE(e.hinweis.isEmpty()) << datei.toStdString();
    // A wrong database is a problem (warning icon), and the note says where to set the right one.
    EXPECT_TRUE(e.warnung);
    EXPECT_TRUE(e.hinweis.endsWith(QStringLiteral("Bitte prüfen Sie unter „Absender“ die Datenbank, aus der die Adressen kommen.")))
        << e.hinweis.toStdString();
    EXPECT_FALSE(Zustand().AdressQuelle().Extern);
    EXPECT_TRUE(Zustand().Datenbank()->AngehaengteAliase().isEmpty());
    EXPECT_EQ(Zeilen("SELECT count(*) FROM Adressen"), QStringList{QStringLiteral("0")});
  }
}

TEST_F(DatenbankstartTest, NichtUnterstuetztesFormatBleibtIntern) {
  const QString ordner = Datenordner(QStringLiteral("d"), "UPDATE Absender SET AdressenFormat = 3 WHERE AbsenderNr = 1");
  StartErgebnis e = Oeffnen(ordner, 1);
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_TRUE(e.hinweis.contains(QStringLiteral("Adressformat 3"))) << e.hinweis.toStdString();
  EXPECT_FALSE(Zustand().AdressQuelle().Extern);
  EXPECT_TRUE(DatenbankOeffnen().hinweis.isEmpty());
}

TEST_F(DatenbankstartTest, FehlendeOderKaputteDatenbankIstEinFehler) {
  const QString ordner = m_ordner.Datei(QStringLiteral("ohne"));
  QDir().mkpath(ordner);
  StartErgebnis e = Oeffnen(ordner, 1);
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.meldung.contains(DatenbankDateiname));
  EXPECT_EQ(Zustand().Datenbank(), nullptr);
  QFile f(ordner + QLatin1Char('/') + DatenbankDateiname);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(4096, 'x'));
  f.close();
  e = Oeffnen(ordner, 1);
  EXPECT_FALSE(e.Ok());
  EXPECT_EQ(Zustand().Datenbank(), nullptr);
}

TEST(Startwerte, OptionenKopierfelderUndAbsender) {
  TestOrdner ordner;
  const QString vorher = Registrierung::Instanz().Datei();
  Registrierung::Instanz().DateiSetzen(ordner.Datei(QStringLiteral("reg.ini")));
  Zustand().Zuruecksetzen();
  Zustand().StartwerteLesen();
  const Optionsschalter standard = Zustand().Optionen();
  EXPECT_TRUE(standard.SmartfillName);
  EXPECT_TRUE(standard.NeuMitSuchliste);
  EXPECT_TRUE(standard.IBANmitBlockEingeben);
  EXPECT_TRUE(standard.AutoVerwRgDatumKurzFormat);
  EXPECT_TRUE(standard.ArbeitsfensterKleineSymbole);
  EXPECT_FALSE(standard.SEPAmitArchivSpeichern);
  EXPECT_FALSE(standard.OPSelektionMitMinus);
  EXPECT_FALSE(standard.ImportAutoVerwendungJeAbsender);
  EXPECT_TRUE(Optionsschalter::SonderzeichenErsetzen);
  EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 1);
  EXPECT_EQ(Zustand().Kopierfeld(), (std::array<bool, 6>{}));

  SaveSetting(QStringLiteral("Window State"), QStringLiteral("SmartfillName"), QStringLiteral("0"));
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("SEPAmitArchivSpeichern"), QStringLiteral("1"));
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("AbsenderNr"), QStringLiteral("3"));
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("Kopierfeld2"), QStringLiteral("1"));
  Zustand().StartwerteLesen();
  EXPECT_FALSE(Zustand().Optionen().SmartfillName);
  EXPECT_TRUE(Zustand().Optionen().SEPAmitArchivSpeichern);
  EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 3);
  EXPECT_EQ(Zustand().Kopierfeld(), (std::array<bool, 6>{false, false, true, false, false, false}));

  // A sender number below 1 is no sender: the first one.
  for (const char* text : {"0", "-7", "drei"}) {
    SaveSetting(QStringLiteral("Window State"), QStringLiteral("AbsenderNr"), QString::fromLatin1(text));
    Zustand().StartwerteLesen();
    EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 1) << text;
  }

  // Every option goes round the registry.
  Optionsschalter alle;
  for (const auto& e : Optionsschalter::Eintraege()) alle.*e.schalter = !e.vorgabe;
  alle.InRegistrierungSchreiben();
  const Optionsschalter gelesen = Optionsschalter::AusRegistrierung();
  for (const auto& e : Optionsschalter::Eintraege()) {
    EXPECT_EQ(gelesen.*e.schalter, !e.vorgabe) << e.schluessel;
    EXPECT_EQ(GetSetting(QStringLiteral("Window State"), QString::fromUtf8(e.schluessel)),
              e.vorgabe ? QStringLiteral("0") : QStringLiteral("1"));
  }
  Zustand().Zuruecksetzen();
  Registrierung::Instanz().DateiSetzen(vorher);
}

}  // namespace
