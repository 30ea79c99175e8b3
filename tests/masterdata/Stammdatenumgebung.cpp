#include "Stammdatenumgebung.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "platform/db/Datenbank.h"
#include "platform/settings/Registrierung.h"

Stammdatenumgebung::Stammdatenumgebung() {
  m_vorherReg = Registrierung::Instanz().Datei();
  Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("einstellungen.ini")));
  m_vorherProgramm = qgetenv("TAMOSEPA_PROGRAMMVERZEICHNIS");
  qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(m_ordner.Datei(QStringLiteral("programm"))));
  Zustand().Zuruecksetzen();
  m_rekorder = std::make_unique<MeldungsRekorder>();
  m_rekorder->BeiUnerwartet([](const QString& was) { ADD_FAILURE() << "Unerwartete Meldung: " << was.toStdString(); });
}

Stammdatenumgebung::~Stammdatenumgebung() {
  m_rekorder.reset();
  Zustand().Zuruecksetzen();
  qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", m_vorherProgramm);
  Registrierung::Instanz().DateiSetzen(m_vorherReg);
}

QString Stammdatenumgebung::Datenordner(const QString& name, const char* skript) {
  const QString ordner = m_ordner.Datei(name);
  QDir().mkpath(ordner);
  const QString datei = QDir(ordner).filePath(DatenbankDateiname);
  const DbFehler f = DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  if (skript) {
    DbFehler g;
    auto db = Datenbank::Oeffnen(datei, g);
    EXPECT_TRUE(db) << g.Beschreibung.toStdString();
    if (db) {
      g = db->SkriptAusfuehren(QString::fromUtf8(skript));
      EXPECT_TRUE(g.Ok()) << g.Beschreibung.toStdString();
    }
  }
  return ordner;
}

void Stammdatenumgebung::Oeffnen(const QString& ordner) {
  Zustand().DatenVerzeichnisSetzen(ordner);
  const StartErgebnis e = DatenbankOeffnen();
  ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
}

QString Stammdatenumgebung::Buchhaltungsdatei() {
  const QString datei = m_ordner.Datei(QStringLiteral("livra.db"));
  DbFehler f;
  auto db = Datenbank::Oeffnen(datei, f, true);
  EXPECT_TRUE(db) << f.Beschreibung.toStdString();
  if (!db) return datei;
  f = db->SkriptAusfuehren(QStringLiteral(
      "CREATE TABLE OPVorgang (OPKontoNr TEXT(10), OPKontoart TEXT(1), Vorgangsart TEXT(1), VorgangsNr TEXT(20),"
      "  Vorgangsdatum DATE, FaelligDatum DATE, Betrag CURRENCY, Rest CURRENCY, Buchungsliste TEXT(20));"
      "CREATE TABLE Personenkonten (OPKontoNr TEXT(10) PRIMARY KEY, Suchname TEXT(30), Name TEXT(70),"
      "  BankName TEXT(60), BankBIC TEXT(11), BankIBAN TEXT(34), BankKontoNr TEXT(10), MandatReferenz TEXT(35),"
      "  MandatDatum DATE, MandatSequenz TEXT(50), SktoProzent1 DOUBLE, SktoProzent2 DOUBLE);"
      "INSERT INTO Personenkonten (OPKontoNr, Suchname, Name, BankName, BankBIC, BankIBAN, MandatReferenz, MandatSequenz)"
      "  VALUES ('10001', 'MEIER', 'Meier GmbH', 'Sparkasse', 'COLSDE33', 'DE89370400440532013000', 'M-1', '  '),"
      "         ('70001', 'LIEF', 'Lieferant AG', NULL, NULL, NULL, NULL, NULL);"
      "INSERT INTO OPVorgang VALUES ('10001', 'K', 'R', 'RE-1', '2024-03-01', '2024-03-31', 1000000, 1000000, 'B1');"));
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return datei;
}

QStringList Stammdatenumgebung::Zeilen(const SqlText& sql, const QVariantList& parameter) const {
  QStringList zeilen;
  Datenbank* db = Zustand().Datenbank();
  if (!db) {
    ADD_FAILURE() << "keine Datenbank offen";
    return zeilen;
  }
  const DbFehler f = db->Abfragen(sql, parameter, [&zeilen](const Zeile& z) {
    QStringList werte;
    for (int i = 0; i < z.Anzahl(); ++i) werte << z.Wert(i).toString();
    zeilen << werte.join(QLatin1Char('|'));
    return true;
  });
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return zeilen;
}
