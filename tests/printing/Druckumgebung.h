#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>

#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "platform/settings/Registrierung.h"
#include "testsupport/TestOrdner.h"

// What a print request finds: a program folder (`programm`, without the separator) and an opened
// database for the settings table, the report date fixed, the settings store a file of the test.
class Druckumgebung : public ::testing::Test {
 protected:
  void SetUp() override {
    m_vorherReg = Registrierung::Instanz().Datei();
    Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("einstellungen.ini")));
    Zustand().Zuruecksetzen();
    Zustand().ReportDatumSetzen(QDate(2025, 3, 14));
    programm = m_ordner.Datei(QStringLiteral("programm"));
    QDir().mkpath(programm);
    Zustand().ProgrammVerzeichnisSetzen(programm + QDir::separator());
    const QString daten = m_ordner.Datei(QStringLiteral("daten"));
    QDir().mkpath(daten);
    ASSERT_TRUE(DatenbankAnlegen(QDir(daten).filePath(DatenbankDateiname),
                                 QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"))
                    .Ok());
    Zustand().DatenVerzeichnisSetzen(daten + QDir::separator());
    ASSERT_TRUE(DatenbankOeffnen().Ok());
  }
  void TearDown() override {
    Zustand().Zuruecksetzen();
    Registrierung::Instanz().DateiSetzen(m_vorherReg);
  }
  // A file of the program folder.
  QString Datei(const QString& name) const { return QDir(programm).filePath(name); }

  TestOrdner m_ordner;
  QString m_vorherReg;
  QString programm;
};
