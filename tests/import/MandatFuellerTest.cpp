// Mandate data of imported direct debits: the fill rules, the automatic sequences (of the active
// sender only) and the switch of the address from first to recurring collection.

#include <gtest/gtest.h>

#include "ImportTestumgebung.h"
#include "import/core/MandatFueller.h"
#include "payments/core/Zahlungsempfaenger.h"

namespace {

const QString kBasisFolge = QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)");

struct Fuellung {
  QVariant referenz;
  QVariant datum;
  QString sequenz;
  MandatOptionen optionen;
  Zahlart zahlart = Zahlart::BasisLastschrift;
  bool frueher = false;  // an earlier first collection exists
};

MandatDaten Fuellen(const Fuellung& f, QList<int>* gesucht = nullptr) {
  DbFehler fehler;
  const MandatDaten m = MandatDatenFuellen(
      f.referenz, f.datum, QVariant(f.sequenz),
      [](const QString& feld) -> QVariant {
        if (feld == QLatin1String("BankKontoNr")) return QStringLiteral("4711");
        if (feld == QLatin1String("Geburtstag")) return QStringLiteral("2022-01-05");
        return {};
      },
      f.optionen, f.zahlart, QStringLiteral("10001"),
      [&](const QString& konto, const QString& referenz, int code, DbFehler&) -> std::optional<bool> {
        EXPECT_EQ(konto, QStringLiteral("10001"));
        EXPECT_EQ(referenz, f.referenz.toString());
        if (gesucht) *gesucht << code;
        return f.frueher;
      },
      fehler);
  EXPECT_TRUE(fehler.Ok());
  return m;
}

struct SequenzFall {
  const char* name;
  const char* text;
  Zahlart zahlart;
  bool frueher;
  int erwartet;
};

class Sequenz : public ::testing::TestWithParam<SequenzFall> {};

TEST_P(Sequenz, AusDerAdresse) {
  const SequenzFall& s = GetParam();
  Fuellung f;
  f.referenz = QStringLiteral("M-1");
  f.sequenz = QString::fromUtf8(s.text);
  f.zahlart = s.zahlart;
  f.frueher = s.frueher;
  EXPECT_EQ(Fuellen(f).sequenz, s.erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Sequenz,
    ::testing::Values(
        SequenzFall{"AutomatischOhneFruehere", "5-Mehrfach-Einzug Automatisch (Basis)", Zahlart::BasisLastschrift, false, 2},
        SequenzFall{"AutomatischMitFrueherer", "5-Mehrfach-Einzug Automatisch (Basis)", Zahlart::BasisLastschrift, true, 3},
        SequenzFall{"FirmenAutomatischOhneFruehere", "15-Mehrfach-Einzug Automatisch (Firmen)", Zahlart::FirmenLastschrift, false, 12},
        SequenzFall{"FirmenAutomatischMitFrueherer", "15-Mehrfach-Einzug Automatisch (Firmen)", Zahlart::FirmenLastschrift, true, 13},
        SequenzFall{"LeerBasis", "", Zahlart::BasisLastschrift, false, 1},
        SequenzFall{"LeerFirmen", "  ", Zahlart::FirmenLastschrift, false, 11},
        SequenzFall{"LeerUeberweisung", "", Zahlart::Ueberweisung, false, 0},
        SequenzFall{"UnbekannterCode", "7-Gibt es nicht", Zahlart::BasisLastschrift, false, 7},
        SequenzFall{"Erstlastschrift", "12-Mehrfach-Einzug Ersteinzug (Firmen)", Zahlart::BasisLastschrift, false, 12}),
    [](const ::testing::TestParamInfo<SequenzFall>& info) { return std::string(info.param.name); });

TEST(MandatFueller, SuchtNurAutomatischeCodes) {
  QList<int> gesucht;
  Fuellung f;
  f.referenz = QStringLiteral("M-1");
  f.sequenz = QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)");
  Fuellen(f, &gesucht);
  EXPECT_TRUE(gesucht.isEmpty());
  f.sequenz = QStringLiteral("15-Mehrfach-Einzug Automatisch (Firmen)");
  Fuellen(f, &gesucht);
  EXPECT_EQ(gesucht, QList<int>{15});
  EXPECT_EQ(FuehrendeZahl(QStringLiteral("  13-Folge")), 13);
  EXPECT_EQ(FuehrendeZahl(QStringLiteral("Folge")), 0);
}

TEST(MandatFueller, FehlendeReferenzUndFehlendesDatum) {
  Fuellung f;
  f.sequenz = QStringLiteral("1-Einmaliger Einzug (Basis)");
  EXPECT_TRUE(Fuellen(f).referenz.isEmpty());
  EXPECT_FALSE(Fuellen(f).datum);
  f.optionen.referenzBelegen = true;
  f.optionen.datenfeldReferenz = QStringLiteral("BankKontoNr");
  f.optionen.fixtext = QStringLiteral("-A");
  EXPECT_EQ(Fuellen(f).referenz, QStringLiteral("4711-A"));
  f.optionen.datenfeldReferenz.clear();
  f.optionen.fixtext.clear();
  EXPECT_TRUE(Fuellen(f).referenz.isEmpty()) << "no data field, no fixed text: still missing";
  f.optionen.datenfeldReferenz = QStringLiteral("Gibtsnicht");
  f.optionen.fixtext = QStringLiteral("FIX");
  EXPECT_EQ(Fuellen(f).referenz, QStringLiteral("FIX"));

  f.optionen.datumBelegen = true;
  f.optionen.fixdatum = QDate(2013, 10, 1);
  EXPECT_EQ(Fuellen(f).datum, std::optional<QDate>(QDate(2013, 10, 1)));
  f.optionen.datenfeldDatum = QStringLiteral("Geburtstag");
  EXPECT_EQ(Fuellen(f).datum, std::optional<QDate>(QDate(2022, 1, 5)));
  f.optionen.datenfeldDatum = QStringLiteral("BankKontoNr");  // holds no date
  EXPECT_FALSE(Fuellen(f).datum);
  // Present values are kept.
  f.referenz = QStringLiteral("M-9");
  f.datum = QDate(2020, 2, 2);
  EXPECT_EQ(Fuellen(f).referenz, QStringLiteral("M-9"));
  EXPECT_EQ(Fuellen(f).datum, std::optional<QDate>(QDate(2020, 2, 2)));
}

TEST(MandatFueller, FolgeeinzugNachDemCodeDerAdresse) {
  Fuellung f;
  f.referenz = QStringLiteral("M-1");
  f.sequenz = QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)");
  EXPECT_TRUE(Fuellen(f).folgeSequenzText.isEmpty());
  f.optionen.erstAufFolge = true;
  EXPECT_EQ(Fuellen(f).sequenz, 2);
  EXPECT_EQ(Fuellen(f).folgeSequenzText, kBasisFolge);
  f.sequenz = QStringLiteral("12-Mehrfach-Einzug Ersteinzug (Firmen)");
  EXPECT_EQ(Fuellen(f).folgeSequenzText, QStringLiteral("13-Mehrfach-Einzug Folgeeinzug (Firmen)"));
  f.sequenz = QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)");  // resolved to 2: the address stays
  EXPECT_EQ(Fuellen(f).sequenz, 2);
  EXPECT_TRUE(Fuellen(f).folgeSequenzText.isEmpty());
}

// --- in the run, over the accounting program's file -------------------------------------------------

Geschwisterdatenbank Kunde(const QString& sequenz, int posten, const QString& iban = QStringLiteral("DE89370400440532013000")) {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.Adresse({.konto = QStringLiteral("10001"), .suchname = QStringLiteral("MEIER"), .name = QStringLiteral("Meier"),
             .bic = QStringLiteral("COLSDE33XXX"), .iban = iban, .mandatReferenz = QStringLiteral("M-10001"),
             .mandatDatum = QDate(2023, 5, 1), .mandatSequenz = sequenz});
  for (int i = 1; i <= posten; ++i)
    g.Posten({.konto = QStringLiteral("10001"), .nr = QStringLiteral("R%1").arg(i), .vom = QDate(2024, 2, i),
              .faellig = QDate(2024, 3, i), .betrag = Eur(10), .rest = Eur(10)});
  return g;
}

QString AdressSequenz(ImportTestumgebung& u) {
  return u.Wert("SELECT MandatSequenz FROM Adressen WHERE OPKontoNr = '10001'").toString();
}

TEST(MandatImLauf, ErsteinzugWirdNachDerGespeichertenZahlungFolgeeinzug) {
  ImportTestumgebung u{Kunde(QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"), 6)};
  ImportLaufOptionen o = u.Optionen(false);
  o.mandat.erstAufFolge = true;
  SkriptFrager frager;
  const ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
  EXPECT_EQ(e.zahlungen, 2);
  EXPECT_TRUE(e.fehler.isEmpty()) << e.Fehlertext().toStdString();
  // The second payment of the account reads the changed address.
  EXPECT_EQ(u.Zeilen("SELECT MandatSequenz FROM Zahlungen ORDER BY ZahlungNr"),
            (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
  EXPECT_EQ(AdressSequenz(u), kBasisFolge);
  // Written into the sibling program's own table.
  DbFehler f;
  auto geschwister = Datenbank::Oeffnen(u.Geschwisterdatei(), f);
  ASSERT_TRUE(geschwister);
  EXPECT_EQ(geschwister->Wert("SELECT MandatSequenz FROM Personenkonten", {}, f)->toString(), kBasisFolge);
}

TEST(MandatImLauf, NichtGespeicherteZahlungLaesstDieAdresse) {
  ImportTestumgebung u{Kunde(QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"), 1, QString())};
  ImportLaufOptionen o = u.Optionen(false);
  o.mandat.erstAufFolge = true;
  o.fehlerNichtSpeichern = true;
  SkriptFrager frager;
  const ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
  EXPECT_EQ(e.zahlungen, 0);
  EXPECT_EQ(AdressSequenz(u), QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"));
}

TEST(MandatImLauf, FehlgeschlageneUmstellungWirdGemeldetDieZahlungBleibt) {
  ImportTestumgebung u{Kunde(QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"), 1)};
  ImportLaufOptionen o = u.Optionen(false);
  o.mandat.erstAufFolge = true;
  const std::vector<ImportVorgang> v = u.Vorgaenge({});
  u.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QStringLiteral("UPDATE")) ? DbFehler{8, QStringLiteral("schreibgeschützt")} : DbFehler{};
  });
  SkriptFrager frager;
  const ImportErgebnis e = ImportAusfuehren(u.Db(), v, o, frager);
  u.Db().SetzeStoerung({});
  EXPECT_EQ(e.zahlungen, 1);
  EXPECT_EQ(u.Wert("SELECT count(*) FROM Zahlungen").toInt(), 1);
  ASSERT_EQ(e.fehler.size(), 1);
  EXPECT_TRUE(e.fehler[0].contains(QStringLiteral("die Zahlung ist gespeichert"))) << e.fehler[0].toStdString();
  EXPECT_EQ(AdressSequenz(u), QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"));
}

TEST(MandatImLauf, AutomatischeSequenzNurNachZahlungenDesAktivenAbsenders) {
  ImportTestumgebung u{Kunde(QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"), 1)};
  u.ZahlungMitPosten(2, QStringLiteral("10001"), QStringLiteral("ALT"), QDate(2024, 1, 2), QStringLiteral("M-10001"), 2);
  ImportLaufOptionen o = u.Optionen(false);
  o.pruefung = false;
  SkriptFrager frager;
  ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
  EXPECT_EQ(u.Wert("SELECT MandatSequenz FROM Zahlungen WHERE AbsenderNr = 1").toInt(), 2)
      << "another sender's first collection does not count";
  // Now sender 1 has a first collection of this mandate: the next one is recurring.
  ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
  EXPECT_EQ(u.Zeilen("SELECT MandatSequenz FROM Zahlungen WHERE AbsenderNr = 1 ORDER BY ZahlungNr"),
            (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
}

TEST(MandatImLauf, FehlerhafteMandatsfelderWerdenGezaehlt) {
  Geschwisterdatenbank g = Kunde(QStringLiteral("7-Gibt es nicht"), 1);
  g.Adresse({.konto = QStringLiteral("10002"), .suchname = QStringLiteral("OHNE"), .name = QStringLiteral("Ohne Mandat"),
             .iban = QStringLiteral("DE89370400440532013000")})
      .Posten({.konto = QStringLiteral("10002"), .nr = QStringLiteral("X1"), .vom = QDate(2024, 2, 1),
               .faellig = QDate(2024, 3, 1), .betrag = Eur(5), .rest = Eur(5)});
  ImportTestumgebung u{g};
  ImportLaufOptionen o = u.Optionen(false);
  o.formularZahlart = Zahlart::Ueberweisung;  // no kind of debit for a missing sequence
  SkriptFrager frager;
  const ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
  EXPECT_EQ(e.zahlungen, 2);
  EXPECT_EQ(e.fehlerhafteAngaben, 4);  // 10001: sequence 7; 10002: reference, date, sequence 0
  EXPECT_EQ(u.Zeilen("SELECT OPKontoNr, MandatReferenz, MandatDatum, MandatSequenz FROM Zahlungen ORDER BY ZahlungNr"),
            (QStringList{QStringLiteral("10001|M-10001|2023-05-01|7"), QStringLiteral("10002|-|-|0")}));
}

}  // namespace
