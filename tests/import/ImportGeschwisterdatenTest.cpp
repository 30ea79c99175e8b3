// The import over sibling files that are not clean: accounts whose address is ambiguous, amounts of the
// wrong type or beyond the range, impossible dates, texts longer than their fields, a damaged file, an
// item handed over twice, and an item another workstation takes over while the user answers a box.

#include <gtest/gtest.h>

#include <QFile>

#include <sqlite3.h>

#include "ImportTestumgebung.h"

namespace {

using Adresse = Geschwisterdatenbank::AdressDaten;
using Posten = Geschwisterdatenbank::PostenDaten;
using Programm = Geschwisterdatenbank::Programm;

const QString kIbanA = QStringLiteral("DE89370400440532013000");
const QString kIbanB = QStringLiteral("DE02120300000000202051");

Adresse Kunde(const QString& konto, const QString& iban = kIbanA) {
  return Adresse{.konto = konto,
                 .suchname = QStringLiteral("S") + konto,
                 .name = QStringLiteral("Kunde ") + konto,
                 .bank = QStringLiteral("Sparkasse"),
                 .bic = QStringLiteral("COLSDE33XXX"),
                 .iban = iban,
                 .mandatReferenz = QStringLiteral("M-") + konto,
                 .mandatDatum = QDate(2023, 5, 1),
                 .mandatSequenz = QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)")};
}

Posten Rechnung(const QString& konto, const QString& nr, Waehrung rest, char art = 'R') {
  return Posten{.konto = konto, .nr = nr, .art = QLatin1Char(art), .vom = QDate(2024, 2, 1),
                .faellig = QDate(2024, 3, 1), .betrag = rest, .rest = rest};
}

// Writes a value of any storage type into the sibling file through a connection of its own, as the
// sibling program (or a damaged one) would have stored it.
void GeschwisterAendern(ImportTestumgebung& u, const SqlText& sql, const QVariantList& parameter) {
  DbFehler f;
  std::unique_ptr<Datenbank> db = Datenbank::Oeffnen(u.Geschwisterdatei(), f);
  ASSERT_TRUE(db) << f.Beschreibung.toStdString();
  f = db->Ausfuehren(sql, parameter);
  ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
}

ImportErgebnis Importieren(ImportTestumgebung& u, SkriptFrager& frager, const ImportLaufOptionen* optionen = nullptr) {
  return ImportAusfuehren(u.Db(), u.Vorgaenge({}), optionen ? *optionen : u.Optionen(false), frager);
}

QStringList Zahlungen(ImportTestumgebung& u) {
  return u.Zeilen("SELECT OPKontoNr, IBAN, ZahlungGesamt FROM Zahlungen ORDER BY ZahlungNr");
}

// ---- ambiguous accounts ----------------------------------------------------------------------------

struct KontoFall {
  const char* name;
  Programm programm;
  bool zweiZeilen;   // the key twice (no primary key); otherwise two spellings k1 and K1
};

class MehrdeutigeKonten : public ::testing::TestWithParam<KontoFall> {};

TEST_P(MehrdeutigeKonten, WerdenMitNamenAbgelehntDerRestWirdUebernommen) {
  const KontoFall& fall = GetParam();
  Geschwisterdatenbank g(fall.programm);
  g.MitEindeutigemKonto(!fall.zweiZeilen);
  g.Adresse(Kunde(fall.zweiZeilen ? QStringLiteral("K1") : QStringLiteral("k1"), kIbanB))
      .Adresse(Kunde(QStringLiteral("K1"), kIbanB))
      .Adresse(Kunde(QStringLiteral("K2")));
  g.Posten(Rechnung(QStringLiteral("K1"), QStringLiteral("R1"), Eur(100)))
      .Posten(Rechnung(QStringLiteral("K2"), QStringLiteral("R2"), Eur(50)));
  if (!fall.zweiZeilen) g.Posten(Rechnung(QStringLiteral("k1"), QStringLiteral("R3"), Eur(30)));
  ImportTestumgebung u{g};
  const size_t posten = fall.zweiZeilen ? 2 : 3;
  ASSERT_EQ(u.Vorgaenge({}).size(), posten) << "the selection lists every item once";

  SkriptFrager frager;
  const ImportErgebnis e = Importieren(u, frager);
  EXPECT_EQ(Zahlungen(u), QStringList{QStringLiteral("K2|") + kIbanA + QStringLiteral("|500000")});
  EXPECT_EQ(e.zahlungen, 1);
  EXPECT_EQ(e.importiert, 1);
  EXPECT_EQ(e.postenAbgelehnt, int(posten) - 1);
  ASSERT_FALSE(e.fehler.isEmpty());
  for (const QString& text : e.fehler) {
    EXPECT_TRUE(text.contains(QStringLiteral("nicht eindeutig"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("OP-Konto K1")) || text.contains(QStringLiteral("OP-Konto k1")))
        << text.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    ZweiZeilenOderSchreibweisen, MehrdeutigeKonten,
    ::testing::Values(KontoFall{"ZweiZeilenBuchhaltung", Programm::Buchhaltung, true},
                      KontoFall{"SchreibweisenBuchhaltung", Programm::Buchhaltung, false},
                      KontoFall{"ZweiZeilenAuftrag", Programm::Auftrag, true},
                      KontoFall{"SchreibweisenAuftrag", Programm::Auftrag, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- amounts ---------------------------------------------------------------------------------------

struct BetragFall {
  const char* name;
  Programm programm;
  char art;
  QVariant rest;              // as stored in the sibling's Rest
  const char* befund;         // part of the finding; nullptr: taken over
  qint64 gesamt = 0;          // ZahlungGesamt when taken over
};

class SiblingBetraege : public ::testing::TestWithParam<BetragFall> {};

TEST_P(SiblingBetraege, FalscheTypenUndGrenzen) {
  const BetragFall& fall = GetParam();
  Geschwisterdatenbank g(fall.programm);
  g.Adresse(Kunde(QStringLiteral("10001"))).Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R1"), Eur(1), fall.art));
  g.Adresse(Kunde(QStringLiteral("10002"))).Posten(Rechnung(QStringLiteral("10002"), QStringLiteral("R2"), Eur(7)));
  ImportTestumgebung u{g};
  GeschwisterAendern(u,
                     fall.programm == Programm::Buchhaltung
                         ? SqlText("UPDATE OPVorgang SET Rest = ?, Betrag = ? WHERE VorgangsNr = 'R1'")
                         : SqlText("UPDATE Rechnungsbuch SET Rest = ?, GesamtBrutto = ? WHERE IdentNr = 'R1'"),
                     {fall.rest, fall.rest});
  SkriptFrager frager;
  const ImportErgebnis e = Importieren(u, frager);
  if (!fall.befund) {
    EXPECT_EQ(Zahlungen(u), (QStringList{QStringLiteral("10001|") + kIbanA + QLatin1Char('|') + QString::number(fall.gesamt),
                                         QStringLiteral("10002|") + kIbanA + QStringLiteral("|70000")}));
    EXPECT_EQ(e.fehlerhaftePosten, 0);
    EXPECT_TRUE(e.fehler.isEmpty()) << e.Fehlertext().toStdString();
    return;
  }
  EXPECT_EQ(Zahlungen(u), QStringList{QStringLiteral("10002|") + kIbanA + QStringLiteral("|70000")})
      << "the other account is taken over";
  EXPECT_EQ(e.fehlerhaftePosten, 1);
  ASSERT_EQ(e.fehler.size(), 1);
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("OP-Konto 10001"))) << e.fehler[0].toStdString();
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("OP-Vorgang R1: Der offene Betrag (Rest) ") +
                                   QString::fromUtf8(fall.befund)))
      << e.fehler[0].toStdString();
  EXPECT_TRUE(e.Text(ImportTestumgebung::Heute()).contains(QStringLiteral("Fehlerhafte OP-Vorgänge (nicht übernommen): \t1")));
}

constexpr qint64 kHoechst = Waehrung::Hoechstbetrag;

INSTANTIATE_TEST_SUITE_P(
    TypenUndBetragsrahmen, SiblingBetraege,
    ::testing::Values(
        BetragFall{"Hoechstbetrag", Programm::Buchhaltung, 'R', QVariant(kHoechst), nullptr, kHoechst},
        BetragFall{"EinZehntausendstelDarueber", Programm::Buchhaltung, 'R', QVariant(kHoechst + 1),
                   "999.999.999,9901 liegt außerhalb"},
        BetragFall{"Int64Grenze", Programm::Buchhaltung, 'R', QVariant(qint64(9'220'000'000'000'000'000LL)),
                   "922.000.000.000.000,00 liegt außerhalb"},
        BetragFall{"RealInEuro", Programm::Buchhaltung, 'R', QVariant(12.5), nullptr, 125000},
        BetragFall{"RealRiesig", Programm::Buchhaltung, 'R', QVariant(1e300), "1e+300 liegt außerhalb"},
        BetragFall{"TextUnendlich", Programm::Buchhaltung, 'R', QVariant(QStringLiteral("1e400")), "ist keine endliche Zahl"},
        BetragFall{"TextMitKomma", Programm::Buchhaltung, 'R', QVariant(QStringLiteral("12,50")),
                   "»12,50« ist kein Betrag"},
        BetragFall{"TextMitKommaAuftrag", Programm::Auftrag, 'R', QVariant(QStringLiteral("12,50")),
                   "»12,50« ist kein Betrag"},
        // Negating the text for the credit note's sign would read it as -12.
        BetragFall{"GutschriftTextAuftrag", Programm::Auftrag, 'G', QVariant(QStringLiteral("12,50")),
                   "»12,50« ist kein Betrag"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SiblingSummen, ZahlungUeberDemHoechstbetragWirdAbgelehnt) {
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(Kunde(QStringLiteral("10001"))).Adresse(Kunde(QStringLiteral("10002")));
  // 500.000.000,00 + 499.999.999,99 = 999.999.999,99: allowed.
  g.Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("A1"), Eur(500'000'000)))
      .Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("A2"), Eur(499'999'999, 99)));
  // 500.000.000,00 + 500.000.000,00: one cent too much.
  g.Posten(Rechnung(QStringLiteral("10002"), QStringLiteral("B1"), Eur(500'000'000)))
      .Posten(Rechnung(QStringLiteral("10002"), QStringLiteral("B2"), Eur(500'000'000)));
  ImportTestumgebung u{g};
  SkriptFrager frager;
  const ImportErgebnis e = Importieren(u, frager);
  EXPECT_EQ(Zahlungen(u), QStringList{QStringLiteral("10001|") + kIbanA + QLatin1Char('|') + QString::number(kHoechst)});
  EXPECT_EQ(e.nichtGespeichert, 1);
  EXPECT_EQ(e.postenNichtGespeichert, 2);
  ASSERT_EQ(e.fehler.size(), 1);
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("OP-Konto 10002")));
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("Gesamtbetrag 1.000.000.000,00 liegt außerhalb"))) << e.fehler[0].toStdString();
}

TEST(SiblingSummen, SkontosatzDerKeineProzentzahlIstLehntDasKontoAb) {
  Geschwisterdatenbank g(Programm::Buchhaltung);
  Adresse riesig = Kunde(QStringLiteral("10001"));
  riesig.skonto1 = 1e300;
  Adresse ueber = Kunde(QStringLiteral("10002"));
  ueber.skonto1 = 100.01;
  Adresse hundert = Kunde(QStringLiteral("10003"));
  hundert.skonto2 = 100;
  g.Adresse(riesig).Adresse(ueber).Adresse(hundert);
  for (const char* k : {"10001", "10002", "10003"})
    g.Posten(Rechnung(QString::fromUtf8(k), QStringLiteral("R"), Eur(10)));
  ImportTestumgebung u{g};
  SkriptFrager frager;
  const ImportErgebnis e = Importieren(u, frager);
  EXPECT_EQ(u.Zeilen("SELECT OPKontoNr, ZahlungGesamt FROM Zahlungen"), QStringList{QStringLiteral("10003|0")});
  EXPECT_EQ(e.postenAbgelehnt, 2);
  ASSERT_EQ(e.fehler.size(), 2);
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("OP-Konto 10001")));
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("keine Prozentzahl von 0 bis 100"))) << e.fehler[0].toStdString();
}

// ---- dates -----------------------------------------------------------------------------------------

struct DatumFall {
  const char* name;
  const char* spalte;     // Vorgangsdatum or FaelligDatum
  QVariant wert;
  const char* befund;     // nullptr: taken over
};

class SiblingDaten : public ::testing::TestWithParam<DatumFall> {};

TEST_P(SiblingDaten, UnmoeglicheDatenSindBefunde) {
  const DatumFall& fall = GetParam();
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(Kunde(QStringLiteral("10001"))).Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("RG1"), Eur(10)));
  ImportTestumgebung u{g};
  GeschwisterAendern(u, SqlText("UPDATE OPVorgang SET ") + SqlText::Bezeichner(QString::fromUtf8(fall.spalte)) +
                            SqlText(" = ?"), {fall.wert});
  SkriptFrager frager;
  const ImportErgebnis e = Importieren(u, frager);
  if (!fall.befund) {
    EXPECT_EQ(e.zahlungen, 1);
    EXPECT_TRUE(e.fehler.isEmpty()) << e.Fehlertext().toStdString();
    EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck").toString(), QStringLiteral("RG RG1 vom 01.02.24"));
    return;
  }
  EXPECT_EQ(e.zahlungen, 0);
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Verwendungszweck").toInt(), 0) << "no line \"RG RG1 vom \"";
  EXPECT_EQ(e.fehlerhaftePosten, 1);
  ASSERT_EQ(e.fehler.size(), 1);
  EXPECT_TRUE(e.fehler[0].contains(QString::fromUtf8(fall.befund))) << e.fehler[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    TexteZahlenUndLuecken, SiblingDaten,
    ::testing::Values(
        DatumFall{"DeutschesFormat", "Vorgangsdatum", QVariant(QStringLiteral("01.02.2024")),
                  "Das Vorgangsdatum »01.02.2024« ist kein gültiges Datum."},
        DatumFall{"Einunddreissigster Februar", "Vorgangsdatum", QVariant(QStringLiteral("2024-02-31")),
                  "Das Vorgangsdatum »2024-02-31« ist kein gültiges Datum."},
        DatumFall{"Gestern", "Vorgangsdatum", QVariant(QStringLiteral("gestern")), "»gestern« ist kein gültiges Datum."},
        DatumFall{"Zahl", "Vorgangsdatum", QVariant(qint64(20240201)), "»20240201« ist kein gültiges Datum."},
        DatumFall{"Fehlt", "Vorgangsdatum", QVariant(), "Das Vorgangsdatum fehlt."},
        DatumFall{"MitUhrzeit", "Vorgangsdatum", QVariant(QStringLiteral("2024-02-01 10:30:00")), nullptr},
        DatumFall{"FaelligUnmoeglich", "FaelligDatum", QVariant(QStringLiteral("31.02.2024")),
                  "Das Fälligkeitsdatum »31.02.2024« ist kein gültiges Datum."},
        DatumFall{"FaelligFehltDarf", "FaelligDatum", QVariant(), nullptr}),
    [](const auto& info) {
      std::string n(info.param.name);
      std::erase(n, ' ');
      return n;
    });

// ---- texts longer than their fields ------------------------------------------------------------------

struct TextFall {
  const char* name;
  SqlText sql;            // sets the value (one parameter) in the sibling file
  SqlText auchAdresse;    // the same value into the address, where the key changes
  int laenge;
  bool uebernommen;
  const char* befund;     // part of the message when refused
};

class SiblingTexte : public ::testing::TestWithParam<TextFall> {};

TEST_P(SiblingTexte, WerdenNieGespeichertUndNieAbgeschnitten) {
  const TextFall& fall = GetParam();
  Adresse a = Kunde(QStringLiteral("10001"));
  a.kundenNr = QStringLiteral("KD");
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(a).Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R1"), Eur(10)));
  ImportTestumgebung u{g};
  const QString wert(fall.laenge, QLatin1Char('7'));
  GeschwisterAendern(u, fall.sql, {wert});
  if (!fall.auchAdresse.IstLeer()) GeschwisterAendern(u, fall.auchAdresse, {wert});
  SkriptFrager frager;
  const ImportErgebnis e = Importieren(u, frager);
  const qint64 laengster = u.Wert("SELECT max(max(length(Name)), max(length(OPKontoNr))) FROM Zahlungen").toLongLong();
  EXPECT_LE(laengster, 70);
  EXPECT_LE(u.Wert("SELECT coalesce(max(length(OPVorgangNr)), 0) FROM Verwendungszweck").toLongLong(), 20);
  if (fall.uebernommen) {
    EXPECT_EQ(e.zahlungen, 1);
    EXPECT_TRUE(e.fehler.isEmpty()) << e.Fehlertext().toStdString();
    return;
  }
  EXPECT_EQ(e.zahlungen, 0);
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Zahlungen").toInt(), 0);
  ASSERT_EQ(e.fehler.size(), 1);
  EXPECT_TRUE(e.fehler[0].contains(QString::fromUtf8(fall.befund))) << KurzAnzeige(e.fehler[0]).toStdString();
  EXPECT_LT(e.fehler[0].size(), 1000) << "a megabyte of garbage is not repeated in the message";
}

INSTANTIATE_TEST_SUITE_P(
    BeideSeitenDerGrenze, SiblingTexte,
    ::testing::Values(
        TextFall{"VorgangsNr20", "UPDATE OPVorgang SET VorgangsNr = ?", {}, 20, true, nullptr},
        TextFall{"VorgangsNr21", "UPDATE OPVorgang SET VorgangsNr = ?", {}, 21, false,
                 "Das Feld VorgangsNr ist mit 21 Zeichen länger als erlaubt (20 Zeichen)."},
        TextFall{"VorgangsNrMegabyte", "UPDATE OPVorgang SET VorgangsNr = ?", {}, 1 << 20, false,
                 "Das Feld VorgangsNr ist mit 1048576 Zeichen"},
        TextFall{"Konto10", "UPDATE OPVorgang SET OPKontoNr = ?", "UPDATE Personenkonten SET OPKontoNr = ?", 10, true, nullptr},
        TextFall{"Konto11", "UPDATE OPVorgang SET OPKontoNr = ?", "UPDATE Personenkonten SET OPKontoNr = ?", 11, false,
                 "Das Feld OPKontoNr ist mit 11 Zeichen länger als erlaubt (10 Zeichen)."},
        TextFall{"Name70", "UPDATE Personenkonten SET Name = ?", {}, 70, true, nullptr},
        TextFall{"NameMegabyte", "UPDATE Personenkonten SET Name = ?", {}, 1 << 20, false,
                 "Name (1048576 statt höchstens 70 Zeichen)"},
        TextFall{"KundenNr20", "UPDATE Personenkonten SET LieferantenKundenNr = ?", {}, 20, true, nullptr},
        TextFall{"KundenNr21", "UPDATE Personenkonten SET LieferantenKundenNr = ?", {}, 21, false,
                 "LieferantenKundenNr (21 statt höchstens 20 Zeichen)"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the file, the run, the other workstation ------------------------------------------------------

// The freelist count in the header no longer matches the file: every table reads as before, but
// SQLite's quick check fails. The change counter moves on, so that open connections read the page anew.
void FreilisteVerfaelschen(const QString& datei) {
  {
    DbFehler f;
    std::unique_ptr<Datenbank> db = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->Ausfuehren("CREATE TABLE Ballast (x TEXT); "
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50) "
                               "INSERT INTO Ballast SELECT printf('%.2000c', 'x') FROM n; DROP TABLE Ballast")
                    .Ok());
  }
  QFile f(datei);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  QByteArray kopf = f.read(100);
  auto erhoehen = [&kopf](int stelle, quint32 um) {
    quint32 w = (quint32(uchar(kopf[stelle])) << 24) | (quint32(uchar(kopf[stelle + 1])) << 16) |
                (quint32(uchar(kopf[stelle + 2])) << 8) | quint32(uchar(kopf[stelle + 3]));
    w += um;
    for (int i = 0; i < 4; ++i) kopf[stelle + i] = char((w >> (8 * (3 - i))) & 0xff);
  };
  ASSERT_NE(kopf.mid(36, 4), QByteArray(4, '\0')) << "free pages expected";
  erhoehen(36, 3);   // freelist count
  erhoehen(24, 1);   // change counter
  ASSERT_TRUE(f.seek(0));
  ASSERT_EQ(f.write(kopf), 100);
}

TEST(SiblingDatei, BeschaedigteDateiWirdAbgelehntNichtsWirdUebernommen) {
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(Kunde(QStringLiteral("10001"))).Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R1"), Eur(10)));
  ImportTestumgebung u{g};
  const std::vector<ImportVorgang> vorgaenge = u.Vorgaenge({});
  ASSERT_EQ(vorgaenge.size(), 1u);
  FreilisteVerfaelschen(u.Geschwisterdatei());
  SkriptFrager frager;
  const ImportErgebnis e = ImportAusfuehren(u.Db(), vorgaenge, u.Optionen(false), frager);
  EXPECT_EQ(e.zahlungen, 0);
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Zahlungen").toInt(), 0);
  EXPECT_EQ(e.postenAbgelehnt, 1);
  ASSERT_EQ(e.fehler.size(), 1);
  EXPECT_TRUE(e.fehler[0].startsWith(QStringLiteral("Die verknüpfte Datenbank "))) << e.fehler[0].toStdString();
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("ist beschädigt; es wurde nichts übernommen.")));
  EXPECT_FALSE(e.fehler[0].contains(QStringLiteral("freelist"), Qt::CaseInsensitive)) << "SQLite's English stays out";
}

TEST(SiblingLauf, EinZweimalUebergebenerPostenWirdEineZeile) {
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(Kunde(QStringLiteral("10001")))
      .Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R1"), Eur(100)))
      .Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("G1"), Eur(30), 'G'));
  ImportTestumgebung u{g};
  std::vector<ImportVorgang> v = u.Vorgaenge({});
  ASSERT_EQ(v.size(), 2u);
  v.push_back(v[0]);
  v.push_back(v[1]);
  SkriptFrager frager;
  const ImportErgebnis e = ImportAusfuehren(u.Db(), v, u.Optionen(false), frager);
  EXPECT_EQ(e.mehrfachAusgewaehlt, 2);
  EXPECT_EQ(e.importiert, 2);
  EXPECT_EQ(u.Zeilen("SELECT OPKontoNr, ZahlungGesamt FROM Zahlungen"), QStringList{QStringLiteral("10001|700000")})
      << "100 - 30, not 200 - 60";
}

// One item number under the account keys K1 and k1, which the program compares without regard to case:
// the counts name what happened to each item. Only an item that became a line makes the other one
// "selected more than once"; where neither was taken, both are counted for the reason they were not.
struct SchreibweisenFall {
  const char* name;
  QStringList adressen;
  int importiert, mehrfach, abgelehnt, ohneAdresse;
};

class ZweiSchreibweisenEinesPostens : public ::testing::TestWithParam<SchreibweisenFall> {};

TEST_P(ZweiSchreibweisenEinesPostens, JederPostenWirdNachSeinemSchicksalGezaehlt) {
  const SchreibweisenFall& fall = GetParam();
  Geschwisterdatenbank g(Programm::Buchhaltung);
  for (const QString& konto : fall.adressen) g.Adresse(Kunde(konto));
  g.Posten(Rechnung(QStringLiteral("K1"), QStringLiteral("R1"), Eur(100)))
      .Posten(Rechnung(QStringLiteral("k1"), QStringLiteral("R1"), Eur(100)));
  ImportTestumgebung u{g};
  ASSERT_EQ(u.Vorgaenge({}).size(), 2u);
  SkriptFrager frager;
  const ImportErgebnis e = Importieren(u, frager);
  EXPECT_EQ(e.importiert, fall.importiert);
  EXPECT_EQ(e.zahlungen, fall.importiert);
  EXPECT_EQ(e.mehrfachAusgewaehlt, fall.mehrfach);
  EXPECT_EQ(e.postenAbgelehnt, fall.abgelehnt);
  EXPECT_EQ(e.ohneAdresse, fall.ohneAdresse);
  EXPECT_EQ(e.importiert + e.mehrfachAusgewaehlt + e.postenAbgelehnt + e.ohneAdresse, 2) << "each item counted once";
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Verwendungszweck WHERE OPVorgangNr = 'R1'").toInt(), fall.importiert);
  EXPECT_EQ(e.Text(ImportTestumgebung::Heute()).contains(QStringLiteral("Mehrfach ausgewählte OP-Vorgänge")),
            fall.mehrfach > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Adressen, ZweiSchreibweisenEinesPostens,
    ::testing::Values(SchreibweisenFall{"BeideSchreibweisen", {QStringLiteral("K1"), QStringLiteral("k1")}, 0, 0, 2, 0},
                      SchreibweisenFall{"EineAdresse", {QStringLiteral("K1")}, 1, 1, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Handed twice within one account whose address went after the selection: both items count as without
// address, none as selected twice.
TEST(SiblingLauf, ZweimalUebergebenerPostenOhneAdresseZaehltZweimalOhneAdresse) {
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(Kunde(QStringLiteral("10001"))).Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R1"), Eur(100)));
  ImportTestumgebung u{g};
  std::vector<ImportVorgang> v = u.Vorgaenge({});
  ASSERT_EQ(v.size(), 1u);
  v.push_back(v[0]);
  GeschwisterAendern(u, SqlText("DELETE FROM Personenkonten"), {});
  SkriptFrager frager;
  const ImportErgebnis e = ImportAusfuehren(u.Db(), v, u.Optionen(false), frager);
  EXPECT_EQ(e.ohneAdresse, 2);
  EXPECT_EQ(e.mehrfachAusgewaehlt, 0);
  EXPECT_EQ(e.importiert, 0);
}

// Another workstation takes an item over while this one's user answers the input box: asked first,
// checked again in the write's transaction, the item is left out and named. An item the user chose to
// take over although it was paid before stays in.
TEST(SiblingLauf, PostenDenEinAndererArbeitsplatzInzwischenUebernahmWirdAusgelassen) {
  Adresse a = Kunde(QStringLiteral("10001"));
  a.iban.clear();
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(a)
      .Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R1"), Eur(100)))
      .Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R2"), Eur(20)))
      .Posten(Rechnung(QStringLiteral("10001"), QStringLiteral("R3"), Eur(3)));
  ImportTestumgebung u{g};
  u.ZahlungMitPosten(1, QStringLiteral("10001"), QStringLiteral("R2"), QDate(2024, 1, 5));
  ImportLaufOptionen o = u.Optionen(false);
  o.fehlEingaben = true;
  FremderArbeitsplatz frager;
  frager.dublettenAntworten = {true};   // R2: paid before, taken over all the same
  frager.eingaben = {kIbanA};
  frager.waehrendDerEingabe = [&u] {
    DbFehler f;
    std::unique_ptr<Datenbank> anderer = Datenbank::Oeffnen(u.Db().Datei(), f);
    ASSERT_TRUE(anderer);
    ASSERT_TRUE(anderer->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, OPKontoNr) VALUES (1, 'L', '10001')").Ok());
    ASSERT_TRUE(anderer->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, OPVorgangNr) VALUES (?, 1, 'R1')",
                                    {anderer->LetzteEinfuegeNr()})
                    .Ok());
  };
  const ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
  EXPECT_EQ(e.inzwischenUebernommen, 1);
  EXPECT_EQ(e.importiert, 2);
  EXPECT_EQ(u.Zeilen("SELECT v.OPVorgangNr, z.ZahlungGesamt, z.Verwendungszweck1 FROM Zahlungen z JOIN Verwendungszweck v "
                     "ON v.ZahlungNr = z.ZahlungNr WHERE z.IBAN IS NOT NULL ORDER BY v.ZeilenNr"),
            (QStringList{QStringLiteral("R2|230000|RG R2 vom 01.02.24"), QStringLiteral("R3|230000|RG R2 vom 01.02.24")}));
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Verwendungszweck WHERE OPVorgangNr = 'R1'").toInt(), 1) << "R1 paid once";
  ASSERT_EQ(e.fehler.size(), 1);
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("OP-Vorgänge R1 des OP-Kontos 10001 wurden inzwischen")))
      << e.fehler[0].toStdString();
  EXPECT_TRUE(e.Text(ImportTestumgebung::Heute()).contains(QStringLiteral("Inzwischen anderweitig übernommen: \t1")));
}

// What is left of a payment when another workstation took some of its items while the user answered the
// duplicate question is judged again before it is stored: a rest that is negative (a lone credit note),
// beyond the amount range, or faulty while faulty payments are not stored, is not stored and its items
// are not counted as imported. Two connections to the one database file.
struct RestFall {
  const char* name;
  QList<Posten> posten;          // the last one was paid before: its duplicate question is the moment
  const char* genommen;          // the item the other workstation takes meanwhile
  bool fehlerNichtSpeichern;
  const char* grund;             // why the rest is not stored
};

class RestNachFremderUebernahme : public ::testing::TestWithParam<RestFall> {};

TEST_P(RestNachFremderUebernahme, WirdGeprueftUndNichtGespeichert) {
  const RestFall& fall = GetParam();
  Geschwisterdatenbank g(Programm::Buchhaltung);
  g.Adresse(Kunde(QStringLiteral("10001")));
  for (const Posten& p : fall.posten) g.Posten(p);
  ImportTestumgebung u{g};
  u.ZahlungMitPosten(1, QStringLiteral("10001"), fall.posten.back().nr, QDate(2024, 1, 5));
  ImportLaufOptionen o = u.Optionen(false);
  o.fehlerNichtSpeichern = fall.fehlerNichtSpeichern;
  FremderArbeitsplatz frager;
  frager.dublettenAntworten = {true};
  frager.waehrendDerFrage = [&u, &fall] {
    DbFehler f;
    std::unique_ptr<Datenbank> anderer = Datenbank::Oeffnen(u.Db().Datei(), f);
    ASSERT_TRUE(anderer) << f.Beschreibung.toStdString();
    ASSERT_TRUE(anderer->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, OPKontoNr) VALUES (1, 'L', '10001')").Ok());
    ASSERT_TRUE(anderer->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, OPVorgangNr) VALUES (?, 1, ?)",
                                    {anderer->LetzteEinfuegeNr(), QString::fromUtf8(fall.genommen)})
                    .Ok());
  };
  const std::vector<ImportVorgang> vorgaenge = u.Vorgaenge({});
  ASSERT_EQ(vorgaenge.size(), size_t(fall.posten.size()));
  ASSERT_EQ(vorgaenge.back().posten.vorgangsNr, fall.posten.back().nr) << "the question comes last";
  const ImportErgebnis e = ImportAusfuehren(u.Db(), vorgaenge, o, frager);
  ASSERT_EQ(frager.dublettenFragen.size(), 1);
  EXPECT_EQ(e.inzwischenUebernommen, 1);
  EXPECT_EQ(e.zahlungen, 0);
  EXPECT_EQ(e.importiert, 0);
  EXPECT_EQ(e.nichtGespeichert, 1);
  EXPECT_EQ(e.postenNichtGespeichert, int(fall.posten.size()) - 1);
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Zahlungen WHERE IBAN IS NOT NULL").toInt(), 0) << "nothing of this run stored";
  ASSERT_EQ(e.fehler.size(), 2) << e.fehler.join(QStringLiteral("\n")).toStdString();
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("wurden inzwischen an einem anderen Arbeitsplatz übernommen")))
      << e.fehler[0].toStdString();
  EXPECT_TRUE(e.fehler[1].startsWith(QStringLiteral("Eine Zahlung an das OP-Konto 10001 wurde nicht gespeichert")))
      << e.fehler[1].toStdString();
  EXPECT_TRUE(e.fehler[1].endsWith(QString::fromUtf8(fall.grund))) << e.fehler[1].toStdString();
}

Posten Faellig(Posten p, const QDate& faellig) {
  p.faellig = faellig;
  return p;
}

const QDate kFrueher(2024, 2, 15);   // sorts last: the selection lists the later due dates first

INSTANTIATE_TEST_SUITE_P(
    Faelle, RestNachFremderUebernahme,
    ::testing::Values(
        // A lone credit note of -30,00 would become a payment.
        RestFall{"Negativ",
                 {Rechnung(QStringLiteral("10001"), QStringLiteral("A1"), Eur(100)),
                  Faellig(Rechnung(QStringLiteral("10001"), QStringLiteral("G1"), Eur(30), 'G'), kFrueher)},
                 "A1", false, "Ohne diese OP-Vorgänge wäre der Gesamtbetrag negativ."},
        // 900.000.000,00 twice without the credit note of 900.000.000,00.
        RestFall{"UeberDemRahmen",
                 {Rechnung(QStringLiteral("10001"), QStringLiteral("A1"), Eur(900'000'000)),
                  Rechnung(QStringLiteral("10001"), QStringLiteral("A2"), Eur(900'000'000)),
                  Faellig(Rechnung(QStringLiteral("10001"), QStringLiteral("G1"), Eur(900'000'000), 'G'), kFrueher)},
                 "G1", false, "Der Gesamtbetrag 1.800.000.000,00 liegt außerhalb von ±999.999.999,99."},
        // 30,00 - 30,00 = 0: no payment of nothing, with faulty payments not stored.
        RestFall{"FehlerhaftNichtGespeichert",
                 {Rechnung(QStringLiteral("10001"), QStringLiteral("A1"), Eur(100)),
                  Rechnung(QStringLiteral("10001"), QStringLiteral("A2"), Eur(30)),
                  Faellig(Rechnung(QStringLiteral("10001"), QStringLiteral("G1"), Eur(30), 'G'), kFrueher)},
                 "A1", true, "Ohne diese OP-Vorgänge wäre die Zahlung fehlerhaft."}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- reading ---------------------------------------------------------------------------------------

// A rest that is Null never passes the selection's condition; the reader refuses it all the same.
TEST(ImportVorgaengeLesen, FehlenderRestIstEinBefund) {
  std::unique_ptr<Datenbank> db = Datenbank::InSpeicher();
  ASSERT_TRUE(db->Ausfuehren("CREATE TABLE OP (OPKontoNr TEXT(10), VorgangsNr TEXT(20), Art TEXT(2), Vom DATE, "
                             "Rest CURRENCY); "
                             "INSERT INTO OP VALUES ('1', 'A', 'KR', '2024-02-01', NULL), "
                             "('1', 'B', 'KR', '2024-02-01', 100000)")
                  .Ok());
  DbFehler f;
  Abfrage a;
  a.quelle = SqlText("OP");
  std::unique_ptr<Recordset> rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  const std::vector<ImportVorgang> v = ImportVorgaengeLesen(*rs);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].befund, QStringLiteral("Der offene Betrag (Rest) fehlt."));
  EXPECT_EQ(v[1].befund, QString());
  EXPECT_EQ(v[1].posten.rest, Eur(10));
}

}  // namespace
