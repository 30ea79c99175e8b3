#include "ListenFensterTest.h"

#include <QDir>
#include <QFile>

#include "common/Programmzustand.h"
#include "platform/db/Recordset.h"
#include "common/Uhr.h"
#include "platform/settings/Registrierung.h"

void ListenFensterTest::SetUp() {
  m_vorherReg = Registrierung::Instanz().Datei();
  Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("einstellungen.ini")));
  Zustand().Zuruecksetzen();
  Uhr::Festhalten(QDateTime(Heute(), QTime(10, 30)));
  auto db = Datenbank::InSpeicher();
  LaufTestDatenbank::Einrichten(*db);
  Zustand().DatenbankUebernehmen(std::move(db), nullptr, AdressQuellenInfo::Intern());
  Zustand().AktuelleAbsenderNrSetzen(1);
  m_meldungen = std::make_unique<MeldungsRekorder>();
  m_meldungen->BeiUnerwartet([](const QString& was) { ADD_FAILURE() << "Unerwartete Meldung: " << was.toStdString(); });
}

void ListenFensterTest::TearDown() {
  m_meldungen.reset();
  Zustand().Zuruecksetzen();
  Uhr::Setzen({});
  Registrierung::Instanz().DateiSetzen(m_vorherReg);
}

void ListenFensterTest::ProgrammordnerMitHilfe() {
  const QString ordner = m_ordner.Datei(QStringLiteral("programm"));
  ASSERT_TRUE(QDir().mkpath(ordner));
  ASSERT_TRUE(QFile::link(QStringLiteral(TAMO_SOURCE_DIR "/resources/help"), ordner + QStringLiteral("/help")));
  Zustand().ProgrammVerzeichnisSetzen(ordner + QLatin1Char('/'));
}

Datenbank& ListenFensterTest::Db() { return *Zustand().Datenbank(); }

QVariant ListenFensterTest::Wert(const SqlText& sql, const QVariantList& parameter) {
  DbFehler f;
  const std::optional<QVariant> w = Db().Wert(sql, parameter, f);
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  return w.value_or(QVariant());
}
