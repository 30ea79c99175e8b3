// The one pass that reads orders with their lines for the selection and the run, the fingerprint that tells
// whether an order is still as it was read, and the selection's results that come from that one pass (the
// signed total, the run's mandate rules).
#include <gtest/gtest.h>

#include <QHash>
#include <QSet>

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "sepafiles/core/SepaAuftragsleser.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/core/Zahlungssumme.h"

namespace {

const QDate Heute(2024, 6, 5);

struct Gelesen {
  qint64 nr;
  QList<int64_t> betraegeCent;
  QByteArray zeilen;
  bool hatZeilen;
  QString name;
  quint64 abdruck;
};

QList<Gelesen> AllesLesen(Datenbank& db, const Bedingung& bedingung) {
  QList<Gelesen> liste;
  const DbFehler f = SepaAuftragsleser::Lesen(db, bedingung, [&](SepaAuftragsleser::Gelesen& g) {
    Gelesen l{g.auftrag.ZahlungNr, {}, g.roh.zeilen.toByteArray(), g.roh.hatZeilen, g.auftrag.Name,
              SepaAuftragsleser::Fingerabdruck(g)};
    for (const Auftragszeile& z : g.auftrag.Zeilen) l.betraegeCent << z.Betrag.Roh() / 100;
    liste << l;
  });
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  return liste;
}

Bedingung Alle() { return Bedingung(SqlText("Zahlungen.AbsenderNr = 1")); }

// Each order gets exactly its lines, in the order they were entered (LfdNr), whatever their line numbers say
// and however many orders are read (the reading hands them on in batches).
TEST(SepaAuftragsleser, JedeZahlungMitIhrenZeilenInEingabereihenfolge) {
  LaufTestDatenbank t;
  QList<qint64> nummern;
  {
    Transaktion transaktion(t.Db());
    LaufTestDatenbank::Auftrag a;
    for (int i = 0; i < 2500; ++i) {
      a.zeilenCent.clear();
      for (int z = 0; z < i % 4; ++z) a.zeilenCent << 100 * i + z;
      nummern << t.Anlegen(a);
    }
    ASSERT_FALSE(transaktion.Commit());
  }
  // Line numbers that run against the order of entry, and a line without an amount.
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Verwendungszweck SET ZeilenNr = 10 - ZeilenNr"));
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Verwendungszweck SET ZahlungsBetrag = NULL WHERE ZahlungNr = ? AND ZeilenNr = 9",
                                 {nummern.at(3)}));
  const QList<Gelesen> gelesen = AllesLesen(t.Db(), Alle());
  ASSERT_EQ(gelesen.size(), nummern.size());
  for (qsizetype i = 0; i < gelesen.size(); ++i) {
    const Gelesen& g = gelesen.at(i);
    ASSERT_EQ(g.nr, nummern.at(i));
    QList<int64_t> erwartet;
    QByteArray text;
    for (int z = 0; z < i % 4; ++z) {
      erwartet << (i == 3 && z == 0 ? 0 : 100 * i + z);
      text += QStringLiteral(" Zeile %1 von %2").arg(z + 1).arg(g.nr).toUtf8();
    }
    EXPECT_EQ(g.betraegeCent, erwartet) << "Zahlung " << g.nr;
    EXPECT_EQ(g.zeilen, text) << "Zahlung " << g.nr;
    EXPECT_EQ(g.hatZeilen, i % 4 != 0);
  }
}

// ---- fingerprint ---------------------------------------------------------------------------------------

struct Aenderung {
  const char* name;
  SqlText sql;   // one parameter: the order's number
  bool aendert = true;
};

void PrintTo(const Aenderung& a, std::ostream* os) { *os << a.name; }

class Fingerabdruck : public ::testing::TestWithParam<Aenderung> {};

// Every value the file or the rules use changes the fingerprint; reading again unchanged does not.
TEST_P(Fingerabdruck, JedeAenderungZeigtSich) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag a = Lastschrift(2, {1000, 2000});
  a.einzelReferenz = QStringLiteral("E-1");
  a.textschluessel = QStringLiteral("GDDS");
  a.faellig = Heute;
  const qint64 nr = t.Anlegen(a);
  const qint64 daneben = t.Anlegen(a);
  const QList<Gelesen> vorher = AllesLesen(t.Db(), Alle());
  ASSERT_FALSE(t.Db().Ausfuehren(GetParam().sql, {nr}));
  const QList<Gelesen> nachher = AllesLesen(t.Db(), Alle());
  ASSERT_EQ(vorher.size(), 2);
  ASSERT_EQ(nachher.size(), 2);
  EXPECT_EQ(vorher.at(0).abdruck != nachher.at(0).abdruck, GetParam().aendert);
  EXPECT_EQ(vorher.at(1).abdruck, nachher.at(1).abdruck);
  EXPECT_NE(vorher.at(0).abdruck, vorher.at(1).abdruck);   // the number is part of it
  EXPECT_EQ(daneben, vorher.at(1).nr);
}

INSTANTIATE_TEST_SUITE_P(
    Felder, Fingerabdruck,
    ::testing::Values(
        Aenderung{"Unveraendert", "UPDATE Zahlungen SET Name = Name WHERE ZahlungNr = ?", false},
        Aenderung{"Name", "UPDATE Zahlungen SET Name = Name || 'x' WHERE ZahlungNr = ?"},
        Aenderung{"NameNull", "UPDATE Zahlungen SET Name = NULL WHERE ZahlungNr = ?"},
        Aenderung{"Iban", "UPDATE Zahlungen SET IBAN = 'DE02120300000000202051' WHERE ZahlungNr = ?"},
        Aenderung{"Bic", "UPDATE Zahlungen SET BIC = 'BYLADEM1001' WHERE ZahlungNr = ?"},
        Aenderung{"Betrag", "UPDATE Zahlungen SET ZahlungGesamt = ZahlungGesamt + 1 WHERE ZahlungNr = ?"},
        Aenderung{"Faellig", "UPDATE Zahlungen SET \"Fällig\" = '2024-06-06' WHERE ZahlungNr = ?"},
        Aenderung{"Textschluessel", "UPDATE Zahlungen SET \"Textschlüssel\" = 'COLL' WHERE ZahlungNr = ?"},
        Aenderung{"EinzelReferenz", "UPDATE Zahlungen SET EinzelReferenz = 'E-2' WHERE ZahlungNr = ?"},
        Aenderung{"MandatReferenz", "UPDATE Zahlungen SET MandatReferenz = 'M-X' WHERE ZahlungNr = ?"},
        Aenderung{"MandatDatum", "UPDATE Zahlungen SET MandatDatum = '2023-01-16' WHERE ZahlungNr = ?"},
        Aenderung{"Sequenz", "UPDATE Zahlungen SET MandatSequenz = 3 WHERE ZahlungNr = ?"},
        Aenderung{"Art", "UPDATE Zahlungen SET Art = 'G' WHERE ZahlungNr = ?"},
        Aenderung{"Verwendungszweck1", "UPDATE Zahlungen SET Verwendungszweck1 = 'x' WHERE ZahlungNr = ?"},
        Aenderung{"ZeilenText", "UPDATE Verwendungszweck SET Verwendungszweck = 'y' WHERE ZahlungNr = ? AND ZeilenNr = 2"},
        Aenderung{"ZeilenBetrag", "UPDATE Verwendungszweck SET ZahlungsBetrag = 2001 WHERE ZahlungNr = ? AND ZeilenNr = 2"},
        Aenderung{"ZeileWeg", "DELETE FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 2"},
        // Two lines that swap their texts change the remittance text, not the set of texts.
        Aenderung{"ZeilenGetauscht",
                  "UPDATE Verwendungszweck SET Verwendungszweck = CASE ZeilenNr WHEN 1 THEN 'Zeile 2 von ' || ZahlungNr "
                  "ELSE 'Zeile 1 von ' || ZahlungNr END WHERE ZahlungNr = ?"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the selection's results from the one pass -------------------------------------------------------------

// The signed total is the lines' payments of the faultless orders (credit transfers negative), as the grid's
// rows add up: an order without lines adds nothing, a faulty one is left out, Null counts 0. A kind stored as
// "g" is selected with the credit transfers and refused: it is no kind the file knows.
TEST(SepaAuftragsleser, SummeWieDieDateiDerFehlerfreien) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag a;
  a.zeilenCent = {9700, 5025};
  t.Anlegen(a);
  LaufTestDatenbank::Auftrag ohneZeilen;
  ohneZeilen.zeilenCent = {};
  ohneZeilen.gesamtCent = 77700;
  t.Anlegen(ohneZeilen);
  LaufTestDatenbank::Auftrag klein = a;
  klein.art = QStringLiteral("g");
  klein.zeilenCent = {123, 4};
  const qint64 mitNull = t.Anlegen(klein);
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Verwendungszweck SET ZahlungsBetrag = NULL WHERE ZahlungNr = ? AND ZeilenNr = 2",
                                 {mitNull}));
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = 12300 WHERE ZahlungNr = ?", {mitNull}));
  LaufTestDatenbank::Auftrag faul = a;
  faul.iban = QStringLiteral("DE00370400440532013000");
  faul.zeilenCent = {555555};
  t.Anlegen(faul);

  SepaAuswahlAnfrage anfrage;
  anfrage.Heute = Heute;
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage);
  ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
  EXPECT_EQ(auswahl.Fehlerhaft, 2);
  EXPECT_FALSE(auswahl.ZahlungNummern.contains(mitNull));
  // What the file pays: the order without lines with its ZahlungGesamt (the control list prints the same).
  EXPECT_EQ(auswahl.Summe, Waehrung::AusCent(-(9700 + 5025 + 77700)));
  DbFehler f;
  EXPECT_EQ(auswahl.Summe, AuftragsSumme(t.Db(), auswahl.Auswahlbedingung, f));
  EXPECT_FALSE(f);
}

// The run's mandate rule leaves out the later first collection of a mandate: it is named in the list of
// left-out orders with its stored values, flagged faulty, and neither in the run nor in the total.
TEST(SepaAuftragsleser, MandatRegelDesLaufs) {
  LaufTestDatenbank t;
  LaufTestDatenbank::Auftrag erste = Lastschrift(2, {10000});
  erste.mandatReferenz = QStringLiteral("MANDAT-DOPPELT");
  const qint64 a = t.Anlegen(erste);
  LaufTestDatenbank::Auftrag zweite = erste;
  zweite.name = QStringLiteral("Zweite & <Söhne>");
  zweite.zeilenCent = {2500, 33};
  const qint64 b = t.Anlegen(zweite);
  const qint64 c = t.Anlegen(Lastschrift(3, {700}));

  SepaAuswahlAnfrage anfrage;
  anfrage.Art = SepaArt::BasisLastschrift;
  anfrage.Heute = Heute;
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), anfrage);
  ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
  EXPECT_EQ(auswahl.ZahlungNummern, (QList<qint64>{a, c}));
  EXPECT_EQ(auswahl.Auftraege->Auftraege.Nummern(), auswahl.ZahlungNummern);
  EXPECT_EQ(auswahl.Fehlerhaft, 1);
  EXPECT_EQ(auswahl.Summe, Waehrung::AusCent(10700));
  ASSERT_EQ(auswahl.Befunde.size(), 1);
  const SepaAuftragsbefund& befund = auswahl.Befunde.first();
  EXPECT_EQ(befund.ZahlungNr, b);
  EXPECT_EQ(befund.Name, QStringLiteral("Zweite & Söhne"));
  EXPECT_EQ(befund.Betrag, Waehrung::AusCent(2533));
  ASSERT_EQ(befund.Befunde.size(), 1);
  EXPECT_EQ(befund.Befunde.first().Art, Befundart::MandatMehrfachErst);
  EXPECT_TRUE(t.Fehler(b));
  EXPECT_FALSE(t.Fehler(a));
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {b}).toString(), QStringLiteral("Zweite & Söhne"));
}

}  // namespace
