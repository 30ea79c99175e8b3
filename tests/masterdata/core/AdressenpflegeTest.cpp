#include <gtest/gtest.h>

#include <QStringList>

#include "AdressenTestDatenbank.h"
#include "common/Uhr.h"
#include "masterdata/core/Adressenpflege.h"

namespace {

TEST(Adressenpflege, ElfMandatSequenzen) {
  const QStringList& t = Adressenpflege::MandatSequenzTexte();
  ASSERT_EQ(t.size(), 11);
  EXPECT_EQ(t.first(), QStringLiteral("0-Ohne"));
  EXPECT_EQ(t.at(5), QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"));
  EXPECT_EQ(t.last(), QStringLiteral("15-Mehrfach-Einzug Automatisch (Firmen)"));
}

Adressdaten Koehler() {
  Adressdaten d;
  d.opKontoNr = QStringLiteral("K-7");
  d.name = QStringLiteral("Köhler");
  d.iban = QStringLiteral("DE89370400440532013000");
  d.bic = QStringLiteral("COBADEFFXXX");
  d.mandatReferenz = QStringLiteral("M-K7");
  d.mandatDatum = QDate(2024, 2, 1);
  d.mandatSequenz = Adressenpflege::MandatSequenzTexte().at(2);
  return d;
}

// Two workstations open the same address; the second saves first (what it changes is listed by row). The
// first one's save with the address as it had read it is refused and changes nothing; saved again on what
// is stored now, it goes through. An unchanged address and a change of the number itself are no conflict.
struct Dazwischen {
  const char* name;
  void (*aendern)(Adressdaten&);
  const char* erwartet;   // the refusal; empty: the stale save goes through
};

class AdresseVeraltet : public ::testing::TestWithParam<Dazwischen> {};

TEST_P(AdresseVeraltet, WirdAbgewiesenUndAendertNichts) {
  auto db = SchemaDatenbank();
  ASSERT_FALSE(Adressenpflege::Speichern(*db, Koehler(), {}));
  DbFehler f;
  const std::optional<Adressdaten> geladen = Adressenpflege::Laden(*db, QStringLiteral("K-7"), f);
  ASSERT_TRUE(geladen && !f);
  ASSERT_EQ(*geladen, Koehler());

  Adressdaten anderer = *geladen;
  GetParam().aendern(anderer);
  ASSERT_FALSE(Adressenpflege::Speichern(*db, anderer, QStringLiteral("K-7")));
  const QStringList nachAnderem = Zeilen(*db, SqlText("SELECT * FROM Adressen"));

  Adressdaten meiner = *geladen;
  meiner.name = QStringLiteral("Köhler & Söhne");
  f = Adressenpflege::Speichern(*db, meiner, QStringLiteral("K-7"), QStringLiteral("Adressen"), &*geladen);
  const QString erwartet = QString::fromUtf8(GetParam().erwartet);
  if (erwartet.isEmpty()) {
    EXPECT_FALSE(f) << f.Beschreibung.toStdString();
    EXPECT_EQ(Zeilen(*db, SqlText("SELECT Name FROM Adressen")), QStringList{QStringLiteral("Köhler & Söhne")});
    return;
  }
  EXPECT_EQ(f.Nummer, Adressenpflege::GeaendertNr);
  EXPECT_EQ(f.Beschreibung, erwartet);
  EXPECT_EQ(Zeilen(*db, SqlText("SELECT * FROM Adressen")), nachAnderem);

  const std::optional<Adressdaten> jetzt = Adressenpflege::Laden(*db, QStringLiteral("K-7"), f);
  ASSERT_TRUE(jetzt);
  meiner = *jetzt;
  meiner.name = QStringLiteral("Köhler & Söhne");
  ASSERT_FALSE(Adressenpflege::Speichern(*db, meiner, QStringLiteral("K-7"), QStringLiteral("Adressen"), &*jetzt));
  EXPECT_EQ(Adressenpflege::Laden(*db, QStringLiteral("K-7"), f), meiner);
}

const char* const kVeraltet =
    "Die Adresse K-7 wurde inzwischen an anderer Stelle geändert. Die gespeicherten Angaben werden neu angezeigt; "
    "bitte wiederholen Sie Ihre Änderung.";

INSTANTIATE_TEST_SUITE_P(
    Aenderungen, AdresseVeraltet,
    ::testing::Values(
        Dazwischen{"NeueIban", [](Adressdaten& d) { d.iban = QStringLiteral("DE02120300000000202051"); }, kVeraltet},
        Dazwischen{"NeueMandatReferenz", [](Adressdaten& d) { d.mandatReferenz = QStringLiteral("M-K7-2"); }, kVeraltet},
        Dazwischen{"NeuesMandatDatum", [](Adressdaten& d) { d.mandatDatum = QDate(2024, 2, 2); }, kVeraltet},
        Dazwischen{"MandatDatumGeleert", [](Adressdaten& d) { d.mandatDatum.reset(); }, kVeraltet},
        Dazwischen{"FolgeStattErst", [](Adressdaten& d) { d.mandatSequenz = Adressenpflege::MandatSequenzTexte().at(3); },
                   kVeraltet},
        Dazwischen{"NurGrossschreibung", [](Adressdaten& d) { d.name = QStringLiteral("KÖHLER"); }, kVeraltet},
        Dazwischen{"Unveraendert", [](Adressdaten&) {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Deleted or renumbered meanwhile: the stale form neither brings the address back nor writes over another.
TEST(AdresseVeraltetWeg, GeloeschtOderUmbenanntWirdNichtWiederAngelegt) {
  for (const bool umbenannt : {false, true}) {
    auto db = SchemaDatenbank();
    ASSERT_FALSE(Adressenpflege::Speichern(*db, Koehler(), {}));
    DbFehler f;
    const std::optional<Adressdaten> geladen = Adressenpflege::Laden(*db, QStringLiteral("K-7"), f);
    ASSERT_TRUE(geladen);
    if (umbenannt) {
      Adressdaten neu = *geladen;
      neu.opKontoNr = QStringLiteral("K-8");
      ASSERT_FALSE(Adressenpflege::Speichern(*db, neu, QStringLiteral("K-7")));
    } else {
      ASSERT_FALSE(Adressenpflege::Loeschen(*db, QStringLiteral("K-7")));
    }
    const QStringList vorher = Zeilen(*db, SqlText("SELECT * FROM Adressen"));
    f = Adressenpflege::Speichern(*db, *geladen, QStringLiteral("K-7"), QStringLiteral("Adressen"), &*geladen);
    EXPECT_EQ(f.Beschreibung, QStringLiteral("Die Adresse K-7 ist nicht mehr vorhanden."));
    EXPECT_EQ(Zeilen(*db, SqlText("SELECT * FROM Adressen")), vorher);
  }
}

// An order keeps the number, IBAN and mandate it was entered with: after a change of the address the hint
// counts the open orders (any sender, the number compared as keys compare) that still carry a changed one,
// and none that already carry the new value, are done, belong to another address, or to a change that
// touches neither. A mandate concerns direct debits only.
struct OffenFall {
  const char* name;
  void (*aendern)(Adressdaten&);
  const char* erwartet;   // first line of the hint; empty: no hint
};

class OffeneZahlungenHinweis : public ::testing::TestWithParam<OffenFall> {};

TEST_P(OffeneZahlungenHinweis, ZaehltNurOffeneMitAltemWert) {
  auto db = SchemaDatenbank();
  const Adressdaten alt = Koehler();
  ASSERT_FALSE(Adressenpflege::Speichern(*db, alt, {}));
  const SqlText einfuegen(
      "INSERT INTO Zahlungen (AbsenderNr, Art, OPKontoNr, IBAN, MandatReferenz, MandatDatum, Erledigt) VALUES (?, ?, ?, ?, ?, ?, ?)");
  const QVariant datum(QDate(2024, 2, 1));
  // open: a debit and a credit transfer of two senders (the number in other case), a credit transfer to the
  // new IBAN already; done: a debit; another address's open debit
  Ausfuehren(*db, einfuegen, {1, T("L"), T("K-7"), alt.iban, T("M-K7"), datum, 0});
  Ausfuehren(*db, einfuegen, {2, T("G"), T("k-7"), T("DE89 3704 0044 0532 0130 00"), QVariant(), QVariant(), 0});
  Ausfuehren(*db, einfuegen, {1, T("G"), T("K-7"), T("DE02120300000000202051"), QVariant(), QVariant(), 0});
  Ausfuehren(*db, einfuegen, {1, T("L"), T("K-7"), alt.iban, T("M-K7"), datum, 1});
  Ausfuehren(*db, einfuegen, {1, T("L"), T("K-70"), alt.iban, T("M-K7"), datum, 0});

  Adressdaten neu = alt;
  GetParam().aendern(neu);
  DbFehler f;
  const QString hinweis = Adressenpflege::OffeneZahlungenHinweis(*db, alt, neu, f);
  ASSERT_FALSE(f) << f.Beschreibung.toStdString();
  EXPECT_EQ(hinweis.section(QLatin1Char('\r'), 0, 0), QString::fromUtf8(GetParam().erwartet));
  if (!hinweis.isEmpty())
    EXPECT_EQ(hinweis.section(QLatin1Char('\r'), 1),
              QStringLiteral("Die Änderung der Adresse gilt nur für neue Zahlungen; die offenen gehen mit ihren bisherigen "
                             "Angaben an die Bank. Bitte ändern Sie sie in der Zahlungserfassung, bevor Sie die nächste "
                             "SEPA-Datei erstellen."));
  EXPECT_EQ(Adressenpflege::OffeneZahlungen(*db, QStringLiteral("K-7"), f), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Aenderungen, OffeneZahlungenHinweis,
    ::testing::Values(
        OffenFall{"NurName", [](Adressdaten& d) { d.name = QStringLiteral("Köhler & Söhne"); }, ""},
        OffenFall{"IbanNurInAndererSchreibung", [](Adressdaten& d) { d.iban = QStringLiteral("de89 3704 0044 0532 0130 00"); }, ""},
        OffenFall{"NeueIban", [](Adressdaten& d) { d.iban = QStringLiteral("DE02120300000000202051"); },
                  "2 offene Zahlungen der Adresse tragen noch eine andere IBAN als DE02120300000000202051."},
        OffenFall{"NeuesMandatDatum", [](Adressdaten& d) { d.mandatDatum = QDate(2024, 3, 1); },
                  "1 offene Zahlung der Adresse trägt noch ein anderes Mandat."},
        OffenFall{"NeueMandatReferenz", [](Adressdaten& d) { d.mandatReferenz = QStringLiteral("M-K7-2"); },
                  "1 offene Zahlung der Adresse trägt noch ein anderes Mandat."},
        OffenFall{"NurSequenz", [](Adressdaten& d) { d.mandatSequenz = Adressenpflege::MandatSequenzTexte().at(3); }, ""},
        OffenFall{"NummerNurInAndererSchreibung", [](Adressdaten& d) { d.opKontoNr = QStringLiteral("k-7"); }, ""},
        OffenFall{"IbanMandatUndNummer",
                  [](Adressdaten& d) {
                    d.opKontoNr = QStringLiteral("K-8");
                    d.iban = QStringLiteral("DE02120300000000202051");
                    d.mandatReferenz.clear();
                  },
                  "3 offene Zahlungen der Adresse tragen noch die bisherige Adressnummer K-7, eine andere IBAN als "
                  "DE02120300000000202051 und ein anderes Mandat."}),
    [](const auto& info) { return std::string(info.param.name); });

// A mandate signed in the future cannot be; every direct debit of the address would be refused in the run.
TEST(AdressenpflegeMandatDatum, ZukunftWirdAbgewiesenHeuteUndOhneDatumNicht) {
  Uhr::Festhalten(QDateTime(QDate(2024, 3, 13), QTime(23, 59)));
  Adressdaten d = Koehler();
  for (const auto& [datum, abgewiesen] : {std::pair{std::optional<QDate>(QDate(2024, 3, 14)), true},
                                          std::pair{std::optional<QDate>(QDate(2024, 3, 13)), false},
                                          std::pair{std::optional<QDate>(), false}}) {
    d.mandatDatum = datum;
    const auto fehler = Adressenpflege::Pruefen(d);
    EXPECT_EQ(fehler.has_value(), abgewiesen) << (datum ? datum->toString(Qt::ISODate).toStdString() : "none");
    if (fehler) {
      EXPECT_EQ(fehler->feld, QStringLiteral("MandatDatum"));
      EXPECT_EQ(fehler->meldung, QStringLiteral("Das Mandat-Datum darf nicht in der Zukunft liegen!\r"
                                                "Bitte korrigieren/ergänzen Sie die Eingabe."));
    }
  }
  Uhr::Setzen({});
}

// The bank list addresses rows by rowid, and SQLite hands the rowid of a deleted last row out again. A
// change or deletion of the row as shown leaves a row that no longer holds it alone (changed meanwhile, or
// deleted and its rowid taken by another bank); the row as shown is changed and deleted.
TEST(AdressenpflegeBank, VeralteteZeileWirdWederGeaendertNochGeloescht) {
  const Bankdaten gezeigt{QStringLiteral("50010517"), QStringLiteral("INGDDEFFXXX"), QStringLiteral("ING")};
  const Bankdaten neu{QStringLiteral("37040044"), QStringLiteral("COBADEFFXXX"), QStringLiteral("Commerzbank")};
  const QString weg = QStringLiteral(
      "Die Bankverbindung wurde inzwischen an anderer Stelle geändert oder gelöscht. Die Liste zeigt den gespeicherten "
      "Stand; bitte wiederholen Sie Ihre Änderung.");
  for (const char* fall : {"geaendert", "ersetzt", "unveraendert"}) {
    SCOPED_TRACE(fall);
    auto db = SchemaDatenbank();
    ASSERT_FALSE(Adressenpflege::Speichern(*db, gezeigt, std::nullopt));
    const qint64 zeile = db->LetzteEinfuegeNr();
    if (QByteArray(fall) == "geaendert") {
      ASSERT_FALSE(Adressenpflege::Speichern(*db, Bankdaten{gezeigt.blz, gezeigt.bic, QStringLiteral("ING-DiBa")}, zeile));
    } else if (QByteArray(fall) == "ersetzt") {
      ASSERT_FALSE(Adressenpflege::BankLoeschen(*db, zeile));
      ASSERT_FALSE(Adressenpflege::Speichern(*db, Bankdaten{QStringLiteral("10010010"), QString(), QStringLiteral("Postbank")},
                                             std::nullopt));
      ASSERT_EQ(db->LetzteEinfuegeNr(), zeile) << "the rowid is handed out again";
    }
    const QStringList vorher = Zeilen(*db, SqlText("SELECT rowid, BLZ, BIC, Bank FROM Bankverbindung"));
    const DbFehler geaendert = Adressenpflege::Speichern(*db, neu, zeile, &gezeigt);
    if (QByteArray(fall) == "unveraendert") {
      EXPECT_FALSE(geaendert) << geaendert.Beschreibung.toStdString();
      EXPECT_FALSE(Adressenpflege::BankLoeschen(*db, zeile, &neu));
      EXPECT_TRUE(Zeilen(*db, SqlText("SELECT * FROM Bankverbindung")).isEmpty());
      continue;
    }
    EXPECT_EQ(geaendert.Beschreibung, weg);
    EXPECT_EQ(Adressenpflege::BankLoeschen(*db, zeile, &gezeigt).Beschreibung, weg);
    EXPECT_EQ(Zeilen(*db, SqlText("SELECT rowid, BLZ, BIC, Bank FROM Bankverbindung")), vorher);
  }
}

}  // namespace
