#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QVariant>

#include <memory>

#include "LaufTestDatenbank.h"
#include "platform/db/Datenbank.h"
#include "platform/ui/MeldungsRekorder.h"
#include "testsupport/TestOrdner.h"

// The program state the payment list and the selective window need: the schema with senders 1 and 2
// as the run's database (in memory), sender 1 active, today 13.03.2024, a settings file of its own,
// message boxes recorded (an unscripted one fails the test).
class ListenFensterTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static QDate Heute() { return QDate(2024, 3, 13); }
  Datenbank& Db();
  MeldungsRekorder& Meldungen() { return *m_meldungen; }
  qint64 Anlegen(const LaufTestDatenbank::Auftrag& a) { return LaufTestDatenbank::Anlegen(Db(), a); }
  QVariant Wert(const SqlText& sql, const QVariantList& parameter = {});
  int Anzahl(const SqlText& sql, const QVariantList& parameter = {}) { return Wert(sql, parameter).toInt(); }
  // A program folder of the test's own with the shipped help pages (what the windows write there,
  // the grid layout file, stays out of the source tree).
  void ProgrammordnerMitHilfe();

 private:
  TestOrdner m_ordner;
  QString m_vorherReg;
  std::unique_ptr<MeldungsRekorder> m_meldungen;
};
