#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDate>
#include <QSignalSpy>

#include "platform/db/RecordsetModell.h"

namespace {

// Collects what QAbstractItemModelTester reports, so that a model fault fails the test.
QStringList& Befunde() {
  static QStringList liste;
  return liste;
}

void Sammeln(QtMsgType, const QMessageLogContext& kontext, const QString& text) {
  if (kontext.category && QByteArray(kontext.category) == "qt.modeltest") Befunde() << text;
}

struct Modellpruefung {
  explicit Modellpruefung(QAbstractItemModel* m) : alt(qInstallMessageHandler(&Sammeln)), tester(m, QAbstractItemModelTester::FailureReportingMode::Warning) {
    Befunde().clear();
  }
  ~Modellpruefung() { qInstallMessageHandler(alt); }
  QtMessageHandler alt;
  QAbstractItemModelTester tester;
};

class RecordsetModellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = Datenbank::InSpeicher();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->Ausfuehren("CREATE TABLE Zahlungen (ZahlungNr INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT(70), "
                               "ZahlungGesamt CURRENCY, \"Fällig\" DATE, Erledigt BOOLEAN NOT NULL DEFAULT 0, "
                               "Faktor DOUBLE)")
                    .Ok());
    for (int i = 0; i < 300; ++i)
      ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (Name, ZahlungGesamt, \"Fällig\", Erledigt, Faktor) VALUES "
                                 "(?, ?, ?, ?, ?)",
                                 {QStringLiteral("Name %1").arg(i), QVariant::fromValue(Waehrung::AusCent(123456 + i)),
                                  QDate(2024, 12, 31), i % 2 == 0, 1.5})
                      .Ok());
    DbFehler f;
    rs = Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("Zahlungen")), RecordsetTyp::Dynaset, f);
    ASSERT_TRUE(rs);
  }
  std::unique_ptr<Datenbank> db;
  std::unique_ptr<Recordset> rs;
};

TEST_F(RecordsetModellTest, RollenUndFormate) {
  RecordsetModell m;
  Modellpruefung pruefer(&m);
  EXPECT_EQ(m.rowCount(), 0);
  m.SetzeRecordset(rs.get());
  EXPECT_EQ(m.rowCount(), 300);
  EXPECT_EQ(m.columnCount(), 6);
  EXPECT_EQ(m.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Fällig"));
  EXPECT_EQ(m.data(m.index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("1.234,56"));
  EXPECT_EQ(m.data(m.index(0, 2), Qt::EditRole).toLongLong(), 12345600);
  EXPECT_EQ(m.data(m.index(299, 3), Qt::DisplayRole).toString(), QStringLiteral("31.12.2024"));
  EXPECT_EQ(m.data(m.index(0, 4), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(m.data(m.index(1, 4), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_FALSE(m.data(m.index(1, 1), Qt::CheckStateRole).isValid());
  EXPECT_EQ(m.data(m.index(5, 1), Qt::DisplayRole).toString(), QStringLiteral("Name 5"));
  EXPECT_EQ(m.data(m.index(5, 5), Qt::DisplayRole).toString(), QStringLiteral("1,5"));
  EXPECT_TRUE(Befunde().isEmpty()) << Befunde().join(QLatin1Char('\n')).toStdString();
}

TEST_F(RecordsetModellTest, AenderungenDerDatensatzgruppe) {
  RecordsetModell m;
  Modellpruefung pruefer(&m);
  m.SetzeRecordset(rs.get());
  QSignalSpy eingefuegt(&m, &QAbstractItemModel::rowsInserted);
  QSignalSpy entfernt(&m, &QAbstractItemModel::rowsRemoved);
  QSignalSpy geaendert(&m, &QAbstractItemModel::dataChanged);
  ASSERT_TRUE(rs->AddNew().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Neu")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  m.ZeileAngefuegt();
  EXPECT_EQ(eingefuegt.count(), 1);
  EXPECT_EQ(m.rowCount(), 301);
  EXPECT_EQ(m.data(m.index(300, 1), Qt::DisplayRole).toString(), QStringLiteral("Neu"));
  rs->SetAbsolutePosition(10);
  ASSERT_TRUE(rs->Delete().Ok());
  m.ZeileEntfernt(10);
  EXPECT_EQ(entfernt.count(), 1);
  EXPECT_EQ(m.rowCount(), 300);
  EXPECT_EQ(m.data(m.index(10, 1), Qt::DisplayRole).toString(), QStringLiteral("Name 11"));
  rs->SetAbsolutePosition(3);
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Geändert")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  m.ZeileGeaendert(3);
  EXPECT_EQ(geaendert.count(), 1);
  EXPECT_EQ(m.data(m.index(3, 1), Qt::DisplayRole).toString(), QStringLiteral("Geändert"));
  ASSERT_TRUE(rs->Requery(Bedingung("ZahlungNr < ?", {11}), SqlText()).Ok());
  m.AllesNeu();
  EXPECT_EQ(m.rowCount(), 10);
  m.SetzeRecordset(nullptr);
  EXPECT_EQ(m.rowCount(), 0);
  EXPECT_FALSE(m.data(m.index(0, 0), Qt::DisplayRole).isValid());
  EXPECT_TRUE(Befunde().isEmpty()) << Befunde().join(QLatin1Char('\n')).toStdString();
}

struct AnzeigeFall {
  const char* name;
  QVariant wert;
  FeldTyp typ;
  const char* text;
};

class AnzeigeText : public ::testing::TestWithParam<AnzeigeFall> {};

TEST_P(AnzeigeText, Tabelle) {
  EXPECT_EQ(RecordsetModell::AnzeigeText(GetParam().wert, GetParam().typ), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, AnzeigeText,
    ::testing::Values(AnzeigeFall{"WaehrungNull", QVariant(), FeldTyp::Waehrung, ""},
                      AnzeigeFall{"WaehrungRohNegativ", QVariant(qint64(-12345600)), FeldTyp::Waehrung, "-1.234,56"},
                      AnzeigeFall{"WaehrungWert", QVariant::fromValue(Waehrung::AusCent(5)), FeldTyp::Waehrung, "0,05"},
                      AnzeigeFall{"DatumIso", QVariant(QStringLiteral("2024-02-29")), FeldTyp::Datum, "29.02.2024"},
                      AnzeigeFall{"DatumMitZeit", QVariant(QStringLiteral("2024-02-29 13:14:15")), FeldTyp::Datum, "29.02.2024 13:14:15"},
                      AnzeigeFall{"DatumWert", QVariant(QDate(2023, 1, 2)), FeldTyp::Datum, "02.01.2023"},
                      AnzeigeFall{"DatumUnlesbar", QVariant(QStringLiteral("kein Datum")), FeldTyp::Datum, "kein Datum"},
                      AnzeigeFall{"Long", QVariant(qint64(1234567)), FeldTyp::Long, "1234567"},
                      AnzeigeFall{"BooleanJa", QVariant(qint64(1)), FeldTyp::Boolean, "Ja"},
                      AnzeigeFall{"Double", QVariant(2.25), FeldTyp::Double, "2,25"},
                      AnzeigeFall{"Text", QVariant(QStringLiteral("Müller")), FeldTyp::Text, "Müller"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
