#include "Stammdatenumgebung.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "platform/db/Datenbank.h"
#include "platform/settings/Registrierung.h"
#include "testsupport/Geschwisterdatenbank.h"

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
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.MitLieferantenKundenNr(false)
      .Adresse({.konto = QStringLiteral("10001"), .suchname = QStringLiteral("MEIER"), .name = QStringLiteral("Meier GmbH"),
                .bank = QStringLiteral("Sparkasse"), .bic = QStringLiteral("COLSDE33"),
                .iban = QStringLiteral("DE89370400440532013000"), .mandatReferenz = QStringLiteral("M-1"),
                .mandatSequenz = QStringLiteral("  ")})
      .Adresse({.konto = QStringLiteral("70001"), .suchname = QStringLiteral("LIEF"), .name = QStringLiteral("Lieferant AG")})
      .Posten({.konto = QStringLiteral("10001"), .nr = QStringLiteral("RE-1"), .vom = QDate(2024, 3, 1),
               .faellig = QDate(2024, 3, 31), .betrag = Waehrung::AusEuro(100), .rest = Waehrung::AusEuro(100),
               .buchungsliste = QStringLiteral("B1")});
  const DbFehler f = g.Schreiben(datei);
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
