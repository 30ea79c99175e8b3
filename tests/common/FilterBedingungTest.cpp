#include <gtest/gtest.h>

#include <QDate>

#include "TestDatenbank.h"
#include "common/FilterBedingung.h"
#include "common/Uhr.h"
#include "platform/db/Waehrung.h"
#include "testsupport/TestOrdner.h"

namespace {

class FilterBedingungTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_db = SchemaDatenbank(m_ordner.Pfad());
    ASSERT_TRUE(m_db);
    Zahlung(QStringLiteral("Meier GmbH"), Waehrung::AusCent(1250), QDate(2024, 3, 15));         // 1
    Zahlung(QStringLiteral("Müller & Söhne"), Waehrung::AusCent(120000), QDate(2024, 3, 16));   // 2
    Zahlung(QStringLiteral("O'Brien 100%"), Waehrung::AusCent(-500), QDate(2024, 3, 15));       // 3
    Zahlung(QStringLiteral("MEIER_X"), Waehrung::AusCent(99), QVariant());                     // 4
    Zahlung(QStringLiteral("a*b?c\\d"), Waehrung::AusCent(1), QDate(1999, 12, 31));            // 5
  }
  void Zahlung(const QString& name, Waehrung betrag, const QVariant& faellig) {
    const DbFehler f = m_db->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, Name, ZahlungGesamt, \"Fällig\") "
                                        "VALUES (1, 'G', ?, ?, ?)",
                                        {name, QVariant::fromValue(betrag), faellig});
    ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  }
  // Runs the condition; the numbers of the payments found.
  QList<int> Treffer(const QList<FilterSpalte>& spalten, bool qualifiziert = false) {
    const Bedingung b = FilterBedingungErstellen(spalten, qualifiziert);
    QList<int> nummern;
    const DbFehler f = m_db->Abfragen(SqlText("SELECT ZahlungNr FROM Zahlungen") + b.AlsWhere() +
                                          SqlText(" ORDER BY ZahlungNr"),
                                      b.parameter, [&](const Zeile& z) {
                                        nummern << z.Wert(0).toInt();
                                        return true;
                                      });
    EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString() << " / " << b.sql.Text().toStdString();
    return nummern;
  }
  static FilterSpalte Name(const QString& text) {
    return {QStringLiteral("Name"), QStringLiteral("Zahlungen"), QStringLiteral("Name"), FeldTyp::Text, text};
  }
  TestOrdner m_ordner;
  std::unique_ptr<Datenbank> m_db;
};

TEST_F(FilterBedingungTest, LeererFilterGibtKeineBedingung) {
  EXPECT_TRUE(FilterBedingungErstellen({Name(QString())}, false).IstLeer());
  EXPECT_TRUE(FilterBedingungErstellen({}, true).IstLeer());
}

TEST_F(FilterBedingungTest, TextAlsPraefixOhneGrossKlein) {
  EXPECT_EQ(Treffer({Name(QStringLiteral("meier"))}), (QList<int>{1, 4}));
  EXPECT_EQ(Treffer({Name(QStringLiteral("MÜ"))}), (QList<int>{2})) << "umlauts ignore case";
  EXPECT_EQ(Treffer({Name(QStringLiteral("*GmbH"))}), (QList<int>{1})) << "* is the user's wildcard";
  EXPECT_EQ(Treffer({Name(QStringLiteral("Mei?r"))}), (QList<int>{1, 4}));
  EXPECT_EQ(Treffer({Name(QStringLiteral("Meier G"))}, true), (QList<int>{1}));
}

TEST_F(FilterBedingungTest, FeindlicheTexteSindLiteral) {
  EXPECT_EQ(Treffer({Name(QStringLiteral("O'Brien"))}), (QList<int>{3}));
  EXPECT_EQ(Treffer({Name(QStringLiteral("O'Brien 100%"))}), (QList<int>{3}));
  EXPECT_EQ(Treffer({Name(QStringLiteral("%"))}), QList<int>{}) << "% is no wildcard for the user";
  EXPECT_EQ(Treffer({Name(QStringLiteral("MEIER_"))}), (QList<int>{4})) << "_ is literal";
  EXPECT_EQ(Treffer({Name(QStringLiteral("Meier_"))}), (QList<int>{4}));
  EXPECT_EQ(Treffer({Name(QStringLiteral("a*b?c\\d"))}), (QList<int>{5})) << "wildcards match themselves too";
  EXPECT_EQ(Treffer({Name(QStringLiteral("a\\"))}), QList<int>{});
  EXPECT_EQ(Treffer({Name(QStringLiteral("x' OR '1'='1"))}), QList<int>{});
  EXPECT_EQ(Treffer({Name(QStringLiteral("Meier") + QChar(0) + QStringLiteral("GmbH"))}), QList<int>{});
  EXPECT_EQ(Treffer({Name(QString(10000, QLatin1Char('M')))}), QList<int>{});
  EXPECT_EQ(Treffer({Name(QString(10000, QLatin1Char('*')))}), (QList<int>{1, 2, 3, 4, 5}));
}

TEST_F(FilterBedingungTest, WaehrungInDeutscherForm) {
  const FilterSpalte betrag{QStringLiteral("ZahlungGesamt"), QStringLiteral("Zahlungen"), QStringLiteral("ZahlungGesamt"),
                            FeldTyp::Waehrung, QStringLiteral("12,5")};
  EXPECT_EQ(Treffer({betrag}), (QList<int>{1}));
  FilterSpalte tausend = betrag;
  tausend.filterText = QStringLiteral("1200");
  EXPECT_EQ(Treffer({tausend}), (QList<int>{2}));
  FilterSpalte negativ = betrag;
  negativ.filterText = QStringLiteral("-5");
  EXPECT_EQ(Treffer({negativ}), (QList<int>{3}));
  FilterSpalte zahl{QStringLiteral("ZahlungNr"), QStringLiteral("Zahlungen"), QStringLiteral("ZahlungNr"), FeldTyp::Long,
                    QStringLiteral("4")};
  EXPECT_EQ(Treffer({zahl}), (QList<int>{4}));
}

// An amount is found by the text the grid shows: thousands points, two decimals rounded half away
// from zero, a minus only when the shown amount is not zero.
TEST_F(FilterBedingungTest, WaehrungWieAngezeigt) {
  Zahlung(QStringLiteral("Rundung"), Waehrung::AusRoh(12345678), QVariant());   // 6: 1.234,57
  Zahlung(QStringLiteral("Fast null"), Waehrung::AusRoh(-40), QVariant());      // 7: 0,00
  Zahlung(QStringLiteral("Million"), Waehrung::AusCent(-123456789), QVariant()); // 8: -1.234.567,89
  FilterSpalte betrag{QStringLiteral("ZahlungGesamt"), QStringLiteral("Zahlungen"), QStringLiteral("ZahlungGesamt"),
                      FeldTyp::Waehrung, {}};
  const auto mit = [&](const char* text) {
    betrag.filterText = QString::fromUtf8(text);
    return Treffer({betrag});
  };
  EXPECT_EQ(mit("1.2"), (QList<int>{2, 6}));
  EXPECT_EQ(mit("1.200,00"), (QList<int>{2}));
  EXPECT_EQ(mit("1.234,57"), (QList<int>{6}));
  EXPECT_EQ(mit("1.234,56"), QList<int>{}) << "shown rounded, not cut off";
  EXPECT_EQ(mit("1234,5"), (QList<int>{6})) << "the plain form still finds it";
  EXPECT_EQ(mit("0,00"), (QList<int>{7}));
  EXPECT_EQ(mit("-0"), QList<int>{}) << "no minus before a shown zero";
  EXPECT_EQ(mit("-1.234.5"), (QList<int>{8}));
  EXPECT_EQ(mit("-5,00"), (QList<int>{3}));
  EXPECT_EQ(mit("*,99"), (QList<int>{4}));
  EXPECT_EQ(mit("1?2"), (QList<int>{2, 6})) << "a wildcard may stand for the thousands point";
  EXPECT_EQ(mit("*4,5"), (QList<int>{6}));
}

// The comparison of the stored value must find exactly what the shown text would: checked for
// amounts around every rounding and grouping edge, against the shown text itself and against the
// same text with a trailing wildcard (which compares the text in SQL).
TEST_F(FilterBedingungTest, BetragsbereicheFindenGenauDenAngezeigtenText) {
  const qint64 rohwerte[] = {0,         49,         50,          -49,         -50,         -51,        9949,
                             9950,      99949,      99950,       123450000,   12345678,    -12345678,  1000000,
                             10000000,  9999999950, 500,         5000,        1234567890123, -1234567890123,
                             999999949, 999999950,  10000049,    -10000050,   19999999,    2000000};
  for (qint64 roh : rohwerte) Zahlung(QStringLiteral("Betrag"), Waehrung::AusRoh(roh), QVariant());
  QList<std::pair<int, QString>> angezeigt;
  const DbFehler f = m_db->Abfragen("SELECT ZahlungNr, ZahlungGesamt FROM Zahlungen ORDER BY ZahlungNr", {},
                                    [&](const Zeile& z) {
                                      angezeigt << std::pair{z.Wert(0).toInt(),
                                                             Waehrung::AusRoh(z.Wert(1).toLongLong()).FormatDeutsch(true, 2)};
                                      return true;
                                    });
  ASSERT_FALSE(f);
  const char* const texte[] = {"0",       "0,",     "0,0",    "0,00",   "0,01",     "-",          "-0",     "-0,",
                               "-0,0",    "1",      "1.",     "1.0",    "1.000",    "1.000,",     "1.000,0", "1000",
                               "1000,00", "12",     "12.3",   "12.345", "123.456.7", "1.234,57",  "-1.2",   "-1234",
                               "5",       "5,0",    "99",     "99,99",  "1,",       ",5",         "1..2",   "01",
                               "0.1",     "abc",    "1.2345", "1.23,4", "1.000.000", "100.000.000", "999.999,", "-12.345,68",
                               "1.0000",  "2",      "20",     "200.0",  "1,000",    "--1"};
  FilterSpalte betrag{QStringLiteral("ZahlungGesamt"), QStringLiteral("Zahlungen"), QStringLiteral("ZahlungGesamt"),
                      FeldTyp::Waehrung, {}};
  for (const char* roh : texte) {
    const QString text = QString::fromUtf8(roh);
    QList<int> erwartet;
    for (const auto& [nr, anzeige] : angezeigt)
      if (anzeige.startsWith(text) ||
          (!text.contains(QLatin1Char('.')) && QString(anzeige).remove(QLatin1Char('.')).startsWith(text)))
        erwartet << nr;
    betrag.filterText = text;
    EXPECT_EQ(Treffer({betrag}), erwartet) << roh;
    betrag.filterText = text + QLatin1Char('*');
    EXPECT_EQ(Treffer({betrag}), erwartet) << roh << "*";
  }
}

TEST_F(FilterBedingungTest, DatumGleichheitUndUngueltigerText) {
  Uhr::Festhalten(QDateTime(QDate(2024, 6, 1), QTime(9, 0)));
  FilterSpalte datum{QStringLiteral("Fällig"), QStringLiteral("Zahlungen"), QStringLiteral("Fällig"), FeldTyp::Datum,
                     QStringLiteral("15.03.2024")};
  EXPECT_EQ(Treffer({datum}), (QList<int>{1, 3}));
  datum.filterText = QStringLiteral("15.3.24");
  EXPECT_EQ(Treffer({datum}), (QList<int>{1, 3}));
  datum.filterText = QStringLiteral("16.3.");
  EXPECT_EQ(Treffer({datum}), (QList<int>{2})) << "without a year: the current one";
  datum.filterText = QStringLiteral("31.12.1999");
  EXPECT_EQ(Treffer({datum}), (QList<int>{5}));
  datum.filterText = QStringLiteral("31.12.99");  // two digits: 2099, as every date field reads them
  EXPECT_EQ(Treffer({datum}), QList<int>{});
  datum.filterText = QStringLiteral("150324");    // without points, as in the date fields
  EXPECT_EQ(Treffer({datum}), (QList<int>{1, 3}));
  datum.filterText = QStringLiteral("2024-03-16");
  EXPECT_EQ(Treffer({datum}), (QList<int>{2}));
  for (const char* ungueltig : {"15.03", "31.02.2024", "morgen", "15.03.2024' OR 1=1 --", "*"}) {
    datum.filterText = QString::fromUtf8(ungueltig);
    EXPECT_EQ(Treffer({datum}), QList<int>{}) << ungueltig << ": a text that is no date finds nothing";
  }
  Uhr::Setzen({});
}

TEST_F(FilterBedingungTest, MehrereSpaltenMitUndVerbunden) {
  const FilterSpalte datum{QStringLiteral("Fällig"), QStringLiteral("Zahlungen"), QStringLiteral("Fällig"),
                           FeldTyp::Datum, QStringLiteral("15.03.2024")};
  EXPECT_EQ(Treffer({Name(QStringLiteral("O")), datum, Name(QString())}), (QList<int>{3}));
  EXPECT_EQ(Treffer({Name(QStringLiteral("O")), datum}, true), (QList<int>{3}));
}

TEST_F(FilterBedingungTest, QualifiziertNenntQuelltabelleUndFeld) {
  const FilterSpalte spalte{QStringLiteral("Zahlungen.Name"), QStringLiteral("Zahlungen"), QStringLiteral("Name"),
                            FeldTyp::Text, QStringLiteral("x")};
  EXPECT_EQ(FilterBedingungErstellen({spalte}, true).sql.Text(), QStringLiteral("\"Zahlungen\".\"Name\" LIKE ? ESCAPE '\\'"));
  const FilterSpalte unqualifiziert{QStringLiteral("Name"), QStringLiteral("Zahlungen"), QStringLiteral("Name"),
                                    FeldTyp::Text, QStringLiteral("x")};
  EXPECT_EQ(FilterBedingungErstellen({unqualifiziert}, false).sql.Text(), QStringLiteral("\"Name\" LIKE ? ESCAPE '\\'"));
  // Joins of payments and lines: the qualified form keeps the query unambiguous.
  const Bedingung b = FilterBedingungErstellen(
      {{QStringLiteral("Zahlungen.ZahlungNr"), QStringLiteral("Zahlungen"), QStringLiteral("ZahlungNr"), FeldTyp::Long,
        QStringLiteral("1")}},
      true);
  DbFehler f;
  m_db->Wert(SqlText("SELECT count(*) FROM Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = "
                     "Verwendungszweck.ZahlungNr") + b.AlsWhere(),
             b.parameter, f);
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
}

}  // namespace
