#include <gtest/gtest.h>

#include <functional>

#include "ZahlungsTestDatenbank.h"
#include "common/Datenhilfen.h"
#include "payments/core/SkontoLauf.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/Zahlungsbefehle.h"
#include "payments/core/Zahlungsempfaenger.h"

namespace {

class ZahlungsbefehleTest : public ::testing::Test {
 protected:
  QVariant Feld(qint64 nr, const SqlText& spalte) {
    return t.Wert(SqlText("SELECT ") + spalte + SqlText(" FROM Zahlungen WHERE ZahlungNr = ?"), {QVariant(nr)});
  }
  ZahlungsTestDatenbank t;
};

}  // namespace

TEST_F(ZahlungsbefehleTest, NeuSpeichertSofortMitDenUebernommenenFeldern) {
  ZahlungEingabe vorher;
  vorher.name = QStringLiteral("Alt AG");
  vorher.opKontoNr = QStringLiteral("10001");
  vorher.bank = QStringLiteral("Altbank");
  vorher.bic = QStringLiteral("ALTBDEFF");
  vorher.iban = QStringLiteral("DE89370400440532013000");
  vorher.textschluessel = QStringLiteral("SUPP");
  const Zahlungsuebertrag u = UebertragErmitteln(vorher, {true, false, false, true, false, false});
  qint64 nr = 0;
  ASSERT_TRUE(NeueZahlungAnlegen(t.Db(), 3, Zahlart::Ueberweisung, u, QDate(2024, 6, 1), nr).Ok());
  EXPECT_GT(nr, 0);
  EXPECT_EQ(Feld(nr, "Name").toString(), QStringLiteral("Alt AG"));
  EXPECT_EQ(Feld(nr, "OPKontoNr").toString(), QStringLiteral("10001"));
  EXPECT_EQ(Feld(nr, "IBAN").toString(), QStringLiteral("DE89370400440532013000"));
  EXPECT_TRUE(Feld(nr, "Bank").toString().isEmpty());
  EXPECT_TRUE(Feld(nr, "BIC").toString().isEmpty());
  EXPECT_EQ(Feld(nr, "\"Textschlüssel\"").toString(), QStringLiteral("SUPP"));
  EXPECT_EQ(Feld(nr, "AbsenderNr").toInt(), 3);
  EXPECT_EQ(Feld(nr, "Art").toString(), QStringLiteral("G"));
  EXPECT_EQ(Feld(nr, "\"Währung\"").toInt(), 1);
  EXPECT_TRUE(Feld(nr, "MandatDatum").isNull());

  qint64 l = 0;
  ASSERT_TRUE(NeueZahlungAnlegen(t.Db(), 1, Zahlart::BasisLastschrift, {}, QDate(2024, 6, 1), l).Ok());
  EXPECT_EQ(Feld(l, "Art").toString(), QStringLiteral("L"));
  EXPECT_EQ(Feld(l, "MandatSequenz").toInt(), 0);
  EXPECT_EQ(Feld(l, "MandatDatum").toString(), QStringLiteral("2024-06-01"));
}

TEST_F(ZahlungsbefehleTest, NeuSpeichertUebernommeneWerteWieEinSpeichern) {
  // Values carried from an older row (an import, a former version) are stored as a save would.
  ZahlungEingabe vorher;
  vorher.bic = QStringLiteral("cobadeffxxx");
  vorher.iban = QStringLiteral("de89 3704 0044 0532 0130 00");
  vorher.textschluessel = QStringLiteral(" supp");
  qint64 nr = 0;
  ASSERT_TRUE(NeueZahlungAnlegen(t.Db(), 1, Zahlart::Ueberweisung,
                                 UebertragErmitteln(vorher, {false, false, true, true, false, false}), QDate(2024, 6, 1), nr)
                  .Ok());
  EXPECT_EQ(Feld(nr, "BIC").toString(), QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(Feld(nr, "IBAN").toString(), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(Feld(nr, "\"Textschlüssel\"").toString(), QStringLiteral("SUPP"));
}

TEST_F(ZahlungsbefehleTest, NeuFehlerWirdGemeldet) {
  t.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("INSERT INTO Zahlungen")) ? DbFehler{13, QStringLiteral("voll")} : DbFehler{};
  });
  qint64 nr = 0;
  const DbFehler f = NeueZahlungAnlegen(t.Db(), 1, Zahlart::Ueberweisung, {}, QDate(2024, 6, 1), nr);
  t.Db().SetzeStoerung({});
  ASSERT_FALSE(f.Ok());
  EXPECT_EQ(nr, 0);
  EXPECT_EQ(NeuFehlertext(f), QStringLiteral("Fehler beim Erzeugen einer neuen Zahlung!\r\rNr: 13\rBeschreibung: voll"));
}

TEST_F(ZahlungsbefehleTest, LoeschenNimmtDieZeilenMit) {
  const qint64 a = t.ZahlungAnlegen({});
  const qint64 b = t.ZahlungAnlegen({});
  t.ZeileAnlegen(a, 1, QStringLiteral("a1"), Euro(1));
  t.ZeileAnlegen(a, 2, QStringLiteral("a2"), Euro(1));
  t.ZeileAnlegen(b, 1, QStringLiteral("b1"), Euro(1));
  ASSERT_TRUE(ZahlungLoeschen(t.Db(), a).Ok());
  EXPECT_EQ(t.Anzahl("Zahlungen"), 1);
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 1);
  // The schema cascades on its own as well (other deleting windows rely on it).
  ASSERT_TRUE(t.Db().Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(b)}).Ok());
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 0);
  EXPECT_EQ(LoeschFehlertext(DbFehler{5, QStringLiteral("gesperrt")}), QStringLiteral("Fehler beim Löschen: 5\rBeschreibung: gesperrt"));
}

TEST_F(ZahlungsbefehleTest, KopierenHaengtHoechstensBisZeileFuenfAn) {
  ZahlungsTestDatenbank::Zahlung q;
  q.name = QStringLiteral("Quelle");
  q.gesamt = Euro(50);
  const qint64 quelle = t.ZahlungAnlegen(q);
  for (int i = 1; i <= 5; ++i) t.ZeileAnlegen(quelle, i, QStringLiteral("Q%1").arg(i), Euro(10));
  const qint64 ziel = t.ZahlungAnlegen({});
  for (int i = 1; i <= 3; ++i) t.ZeileAnlegen(ziel, i, QStringLiteral("Z%1").arg(i), Euro(1));

  KopierErgebnis k;
  ASSERT_TRUE(ZahlungKopieren(t.Db(), quelle, ziel, true, k).Ok());
  EXPECT_EQ(k.angefuegt, 2);
  EXPECT_EQ(k.ausgelassen, 3);
  EXPECT_EQ(k.Hinweis(), QStringLiteral("Es sind maximal 5 Zeilen als Verwendungszweck möglich!\r3 Zeilen wurden nicht kopiert."));
  ASSERT_TRUE(k.quelle);
  EXPECT_EQ(k.quelle->name, QStringLiteral("Quelle"));
  EXPECT_EQ(k.quelle->betrag, std::optional<Waehrung>(Euro(50)));
  std::vector<Verwendungszweckzeile> zeilen;
  ASSERT_TRUE(ZeilenLaden(t.Db(), ziel, false, zeilen).Ok());
  ASSERT_EQ(zeilen.size(), 5u);
  EXPECT_EQ(zeilen[3].verwendungszweck, QStringLiteral("Q1"));
  EXPECT_EQ(zeilen[4].zeilenNr, 5);
  EXPECT_EQ(zeilen[4].zahlungNr, ziel);

  // Into a full payment nothing more; the hint says how many.
  ASSERT_TRUE(ZahlungKopieren(t.Db(), quelle, ziel, true, k).Ok());
  EXPECT_EQ(k.angefuegt, 0);
  EXPECT_EQ(k.ausgelassen, 5);
  // Single-field display: values only, no lines.
  const qint64 leer = t.ZahlungAnlegen({});
  ASSERT_TRUE(ZahlungKopieren(t.Db(), quelle, leer, false, k).Ok());
  EXPECT_TRUE(k.quelle);
  EXPECT_TRUE(k.Hinweis().isEmpty());
  EXPECT_EQ(t.Wert("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(leer)}).toInt(), 0);
  // A source that is gone copies nothing.
  ASSERT_TRUE(ZahlungKopieren(t.Db(), 9999, leer, true, k).Ok());
  EXPECT_FALSE(k.quelle);
}

TEST_F(ZahlungsbefehleTest, KopierteFelderLassenLeereWerteStehen) {
  ZahlungEingabe q;
  q.name = QStringLiteral("Quelle");
  q.betrag = Euro(5);
  const KopierteFelder k = KopierteFelderErmitteln(q);
  EXPECT_EQ(k.name, std::optional<QString>(QStringLiteral("Quelle")));
  EXPECT_FALSE(k.bic);
  EXPECT_EQ(k.betrag, std::optional<Waehrung>(Euro(5)));
}

TEST_F(ZahlungsbefehleTest, AbbruchNachAendernStelltAlleZeilenGenauWiederHer) {
  const qint64 nr = t.ZahlungAnlegen({});
  t.ZeileAnlegen(nr, 1, QStringLiteral("eins"), Euro(1), Euro(0, 5));
  t.ZeileAnlegen(nr, 2, QStringLiteral("zwei"), Euro(2));
  std::vector<Verwendungszweckzeile> vorher;
  ASSERT_TRUE(ZeilenLaden(t.Db(), nr, false, vorher).Ok());

  ZeilenKopie kopie;
  ASSERT_TRUE(ZeilenKopieren(t.Db(), nr, kopie).Ok());
  // Changes while editing, each leaving what the form shows: a copy of three lines, a deletion, a
  // changed amount.
  Zeilenstand gezeigt = kopie.stand;
  const qint64 quelle = t.ZahlungAnlegen({});
  for (int i = 1; i <= 3; ++i) t.ZeileAnlegen(quelle, i, QStringLiteral("k%1").arg(i), Euro(9));
  KopierErgebnis k;
  ASSERT_TRUE(ZahlungKopieren(t.Db(), quelle, nr, true, k, &gezeigt).Ok());
  ASSERT_TRUE(ZeilenLoeschen(t.Db(), nr, {*vorher[0].lfdNr}, &gezeigt).Ok());
  Verwendungszweckzeile zwei = vorher[1];
  zwei.betraege.zahlungsBetrag = Euro(7);
  ASSERT_TRUE(ZeileSpeichern(t.Db(), zwei, &gezeigt).Ok());

  ASSERT_TRUE(ZeilenWiederherstellen(t.Db(), kopie, gezeigt).Ok());
  std::vector<Verwendungszweckzeile> nachher;
  ASSERT_TRUE(ZeilenLaden(t.Db(), nr, false, nachher).Ok());
  ASSERT_EQ(nachher.size(), vorher.size());
  for (size_t i = 0; i < vorher.size(); ++i) {
    EXPECT_EQ(nachher[i].lfdNr, vorher[i].lfdNr);
    EXPECT_EQ(nachher[i].zeilenNr, vorher[i].zeilenNr);
    EXPECT_EQ(nachher[i].verwendungszweck, vorher[i].verwendungszweck);
    EXPECT_EQ(nachher[i].betraege, vorher[i].betraege);
  }
  // The other payment's lines are untouched.
  EXPECT_EQ(t.Wert("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(quelle)}).toInt(), 3);
}

// A discount run on another workstation while the payment is being changed sets its lines and total
// from the lines as they are then; the cancel would bring back the amounts before the discount and
// the discount would be gone without a word. The cancel is refused and the payment stays as the run
// left it, with a total its lines add up to.
TEST_F(ZahlungsbefehleTest, AbbruchNachAendernNimmtFremdesSkontoNichtZurueck) {
  ZahlungsTestDatenbank::Zahlung z;
  z.gesamt = Euro(1300);
  const qint64 nr = t.ZahlungAnlegen(z);
  const qint64 eins = t.ZeileAnlegen(nr, 1, QStringLiteral("eins"), Euro(1000));
  t.ZeileAnlegen(nr, 2, QStringLiteral("zwei"), Euro(300));
  ZeilenKopie kopie;
  ASSERT_TRUE(ZeilenKopieren(t.Db(), nr, kopie).Ok());
  Zeilenstand gezeigt = kopie.stand;
  // Changed in the grid, then discounted elsewhere.
  std::vector<Verwendungszweckzeile> zeilen;
  ASSERT_TRUE(ZeilenLaden(t.Db(), nr, false, zeilen).Ok());
  zeilen[0].betraege = {Euro(2000), std::nullopt, Euro(2000)};
  ASSERT_TRUE(ZeileSpeichern(t.Db(), zeilen[0], &gezeigt).Ok());
  SkontoVorgabe zweiProzent;
  zweiProzent.prozent = Euro(2);
  ASSERT_TRUE(SkontoSitzung().Abziehen(t.Db(), {eins}, zweiProzent).Ok());
  ASSERT_EQ(t.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(nr)}).toLongLong(), Euro(2260).Roh());

  const DbFehler f = ZeilenWiederherstellen(t.Db(), kopie, gezeigt);
  EXPECT_EQ(f.Nummer, DbFehlerNr::InzwischenGeaendert);
  EXPECT_EQ(t.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(nr)}).toLongLong(), Euro(2260).Roh());
  EXPECT_EQ(t.Wert("SELECT SUM(ZahlungsBetrag) FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(nr)}).toLongLong(),
            Euro(2260).Roh());
  EXPECT_EQ(t.Wert("SELECT SkontoBetrag FROM Verwendungszweck WHERE LfdNr = ?", {QVariant(eins)}).toLongLong(), Euro(40).Roh());
}

TEST_F(ZahlungsbefehleTest, NeueAdressNr) {
  QString nr;
  ASSERT_TRUE(NeueAdressNr(t.Db(), QStringLiteral("Adressen"), QStringLiteral("OPKontoNr"), nr).Ok());
  EXPECT_EQ(nr, QStringLiteral("00001"));
  ASSERT_TRUE(t.Db().Ausfuehren("INSERT INTO Adressen (OPKontoNr) VALUES ('00099'), ('41'), ('ABC'), ('Z-9')").Ok());
  ASSERT_TRUE(NeueAdressNr(t.Db(), QStringLiteral("Adressen"), QStringLiteral("OPKontoNr"), nr).Ok());
  EXPECT_EQ(nr, QStringLiteral("00100"));
  ASSERT_TRUE(t.Db().Ausfuehren("DELETE FROM Adressen WHERE OPKontoNr = '00099'").Ok());
  ASSERT_TRUE(t.Db().Ausfuehren("INSERT INTO Adressen (OPKontoNr) VALUES ('00042')").Ok());
  ASSERT_TRUE(NeueAdressNr(t.Db(), QStringLiteral("Adressen"), QStringLiteral("OPKontoNr"), nr).Ok());
  EXPECT_EQ(nr, QStringLiteral("00043"));
}

TEST_F(ZahlungsbefehleTest, BankNurMitNeuemNichtLeeremBic) {
  bool angelegt = true;
  ASSERT_TRUE(BankAutomatischSpeichern(t.Db(), QString(), QStringLiteral("Bank"), &angelegt).Ok());
  EXPECT_FALSE(angelegt);
  ASSERT_TRUE(BankAutomatischSpeichern(t.Db(), QStringLiteral("cobadeffxxx"), QStringLiteral(" Commerzbank "), &angelegt).Ok());
  EXPECT_TRUE(angelegt);
  ASSERT_TRUE(BankAutomatischSpeichern(t.Db(), QStringLiteral("COBADEFFXXX"), QStringLiteral("Doppelt"), &angelegt).Ok());
  EXPECT_FALSE(angelegt);
  EXPECT_EQ(t.Anzahl("Bankverbindung"), 1);
  EXPECT_EQ(t.Wert("SELECT Bank FROM Bankverbindung").toString(), QStringLiteral("Commerzbank"));
}

TEST_F(ZahlungsbefehleTest, AdresseAutomatischMitVollemSequenztext) {
  ZahlungsTestDatenbank::Zahlung z;
  z.art = QStringLiteral("L");
  z.name = QStringLiteral("Kunde KG");
  z.mandatSequenz = 2;
  z.mandatReferenz = QStringLiteral("MR-1");
  const qint64 nr = t.ZahlungAnlegen(z);
  const QStringList felder = L({"", "Name", "Bank", "BIC", "IBAN", "MandatReferenz", "MandatDatum", "MandatSequenz"});
  QString adresse;
  ASSERT_TRUE(AdresseAutomatischAnlegen(t.Db(), nr, QStringLiteral("Adressen"), QStringLiteral("OPKontoNr"), felder, adresse).Ok());
  EXPECT_EQ(adresse, QStringLiteral("00001"));
  EXPECT_EQ(t.Wert("SELECT Name FROM Adressen WHERE OPKontoNr = '00001'").toString(), QStringLiteral("Kunde KG"));
  EXPECT_EQ(t.Wert("SELECT MandatReferenz FROM Adressen").toString(), QStringLiteral("MR-1"));
  EXPECT_EQ(t.Wert("SELECT MandatSequenz FROM Adressen").toString(), QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)"));
  // The payment keeps its empty address number.
  EXPECT_TRUE(t.Wert("SELECT OPKontoNr FROM Zahlungen").toString().isEmpty());

  // A failed insert is reported.
  t.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("INSERT INTO")) ? DbFehler{19, QStringLiteral("constraint")} : DbFehler{};
  });
  const DbFehler f = AdresseAutomatischAnlegen(t.Db(), nr, QStringLiteral("Adressen"), QStringLiteral("OPKontoNr"), felder, adresse);
  t.Db().SetzeStoerung({});
  EXPECT_FALSE(f.Ok());
  EXPECT_TRUE(adresse.isEmpty());
}

TEST(Sequenztexte, ElfTexteUndAdressfolge) {
  EXPECT_EQ(MandatSequenzText(0), std::optional<QString>(QStringLiteral("0-Ohne")));
  EXPECT_EQ(MandatSequenzText(15), std::optional<QString>(QStringLiteral("15-Mehrfach-Einzug Automatisch (Firmen)")));
  EXPECT_FALSE(MandatSequenzText(6));
  EXPECT_EQ(AdressSequenzText(1), QStringLiteral("1-Einmaliger Einzug (Basis)"));
  EXPECT_EQ(AdressSequenzText(3), QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)"));
  EXPECT_EQ(AdressSequenzText(12), QStringLiteral("13-Mehrfach-Einzug Folgeeinzug (Firmen)"));
  EXPECT_EQ(AdressSequenzText(13), QStringLiteral("13-Mehrfach-Einzug Folgeeinzug (Firmen)"));
  EXPECT_EQ(AdressSequenzText(0), QStringLiteral("0-Ohne"));
  EXPECT_EQ(AdressSequenzText(99), QStringLiteral("0-Ohne"));
}

// Deleting a payment done meanwhile would take away what the import's duplicate check relies on: the
// open item would be paid again.
TEST_F(ZahlungsbefehleTest, LoeschenLaesstErledigteZahlungStehen) {
  ZahlungsTestDatenbank::Zahlung erledigt;
  erledigt.erledigt = true;
  const qint64 a = t.ZahlungAnlegen(erledigt);
  t.ZeileAnlegen(a, 1, QStringLiteral("a1"), Euro(1));
  const DbFehler f = ZahlungLoeschen(t.Db(), a);
  EXPECT_EQ(f.Nummer, DbFehlerNr::KeineTreffer);
  EXPECT_TRUE(LoeschFehlertext(f).contains(QStringLiteral("erledigt"))) << LoeschFehlertext(f).toStdString();
  EXPECT_EQ(t.Anzahl("Zahlungen"), 1);
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 1);
  // An open one still goes, and one already gone is no failure (the cancel of "Neu" after another deletion).
  const qint64 b = t.ZahlungAnlegen({});
  EXPECT_TRUE(ZahlungLoeschen(t.Db(), b).Ok());
  EXPECT_TRUE(ZahlungLoeschen(t.Db(), b).Ok());
  EXPECT_EQ(t.Anzahl("Zahlungen"), 1);
}

namespace {

// The payment being edited: lines 1 and 3 stored, the copy "Ändern" took, then line 4 added; a source
// payment for "Kopieren".
struct Erledigtbestand {
  qint64 ziel = 0;
  qint64 quelle = 0;
  qint64 zeile1 = 0;
  ZeilenKopie kopie;
  Zeilenstand gezeigt;  // as the form shows the lines after line 4
};

// The form's writes to one payment's row or lines. Another workstation's run may mark the payment done
// at any moment; from then on it is the record of what the bank was sent.
struct Erledigtfall {
  const char* name;
  std::function<DbFehler(Datenbank& db, Erledigtbestand& b)> schreiben;
};

Verwendungszweckzeile NeueZeile(qint64 zahlungNr, const QString& text) {
  Verwendungszweckzeile z;
  z.zahlungNr = zahlungNr;
  z.verwendungszweck = text;
  z.betraege.zahlungsBetrag = Euro(4);
  return z;
}

DbFehler AusZeilenergebnis(const ZeilenErgebnis& e) {
  // The grid shows the refusal with its reason.
  EXPECT_NE(e.art, ZeilenErgebnis::Art::Abgelehnt) << e.meldung.toStdString();
  if (!e.Ok()) {
    EXPECT_TRUE(e.meldung.contains(QStringLiteral("erledigt"))) << e.meldung.toStdString();
  }
  return e.fehler;
}

class ErledigteZahlungTest : public ::testing::TestWithParam<std::tuple<Erledigtfall, bool>> {
 protected:
  void SetUp() override {
    b.ziel = t.ZahlungAnlegen({});
    b.zeile1 = t.ZeileAnlegen(b.ziel, 1, QStringLiteral("eins"), Euro(1));
    t.ZeileAnlegen(b.ziel, 3, QStringLiteral("drei"), Euro(3));
    ASSERT_TRUE(ZeilenKopieren(t.Db(), b.ziel, b.kopie).Ok());
    t.ZeileAnlegen(b.ziel, 4, QStringLiteral("vier"), Euro(4));
    ASSERT_TRUE(ZeilenstandLesen(t.Db(), b.ziel, b.gezeigt).Ok());
    b.quelle = t.ZahlungAnlegen({});
    t.ZeileAnlegen(b.quelle, 1, QStringLiteral("quelle"), Euro(9));
  }
  // The payment's row and its lines, every column that a write here may change.
  QString Stand() {
    return t.Wert("SELECT (SELECT COUNT(*) || '/' || COALESCE(ZahlungGesamt, '') FROM Zahlungen WHERE ZahlungNr = ?) "
                  "|| ':' || COALESCE((SELECT group_concat(LfdNr || '/' || ZeilenNr || '/' || Verwendungszweck || '/' "
                  "|| COALESCE(ZahlungsBetrag, ''), ';') FROM (SELECT * FROM Verwendungszweck WHERE ZahlungNr = ? "
                  "ORDER BY LfdNr)), '')",
                  {QVariant(b.ziel), QVariant(b.ziel)})
        .toString();
  }
  ZahlungsTestDatenbank t;
  Erledigtbestand b;
};

}  // namespace

TEST_P(ErledigteZahlungTest, ErledigteBleibtUnveraendertOffeneWirdGeschrieben) {
  const auto& [fall, erledigt] = GetParam();
  if (erledigt) {
    ASSERT_TRUE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 1 WHERE ZahlungNr = ?", {QVariant(b.ziel)}).Ok());
  }
  const QString vorher = Stand();
  const DbFehler f = fall.schreiben(t.Db(), b);
  if (erledigt) {
    EXPECT_EQ(f.Nummer, DbFehlerNr::KeineTreffer) << f.Meldungstext().toStdString();
    EXPECT_TRUE(f.Beschreibung.contains(QStringLiteral("erledigt"))) << f.Beschreibung.toStdString();
    EXPECT_EQ(Stand(), vorher);
  } else {
    EXPECT_TRUE(f.Ok()) << f.Meldungstext().toStdString();
    EXPECT_NE(Stand(), vorher);
  }
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Schreibwege, ErledigteZahlungTest,
    ::testing::Combine(
        ::testing::Values(
            Erledigtfall{"Kopieren",
                         [](Datenbank& db, Erledigtbestand& b) {
                           KopierErgebnis k;
                           return ZahlungKopieren(db, b.quelle, b.ziel, true, k, &b.gezeigt);
                         }},
            Erledigtfall{"NeueZeile",
                         [](Datenbank& db, Erledigtbestand& b) {
                           Verwendungszweckzeile z = NeueZeile(b.ziel, QStringLiteral("neu"));
                           return AusZeilenergebnis(ZeileSpeichern(db, z, &b.gezeigt));
                         }},
            Erledigtfall{"ZeileAendern",
                         [](Datenbank& db, Erledigtbestand& b) {
                           Verwendungszweckzeile z = NeueZeile(b.ziel, QStringLiteral("geändert"));
                           z.lfdNr = b.zeile1;
                           z.zeilenNr = 1;
                           return AusZeilenergebnis(ZeileSpeichern(db, z, &b.gezeigt));
                         }},
            Erledigtfall{"ZeilenLoeschen",
                         [](Datenbank& db, Erledigtbestand& b) { return ZeilenLoeschen(db, b.ziel, {b.zeile1}, &b.gezeigt); }},
            Erledigtfall{"AbbruchStelltZeilenWiederHer",
                         [](Datenbank& db, Erledigtbestand& b) { return ZeilenWiederherstellen(db, b.kopie, b.gezeigt); }},
            Erledigtfall{"SummenNummerierenNeu",
                         [](Datenbank& db, Erledigtbestand& b) {
                           ZeilenSummen s;
                           return ZeilenSummieren(db, b.ziel, true, s, &b.gezeigt);
                         }},
            Erledigtfall{"Loeschen", [](Datenbank& db, Erledigtbestand& b) { return ZahlungLoeschen(db, b.ziel); }}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_Erledigt" : "_Offen");
    });

// A line of another payment is not the grid's to change or delete (its LfdNr came from the current payment).
TEST_F(ZahlungsbefehleTest, ZeilenschreibenBleibtBeiDerEigenenZahlung) {
  const qint64 a = t.ZahlungAnlegen({});
  const qint64 fremd = t.ZahlungAnlegen({});
  const qint64 zeile = t.ZeileAnlegen(fremd, 1, QStringLiteral("fremd"), Euro(1));
  EXPECT_TRUE(ZeilenLoeschen(t.Db(), a, {zeile}).Ok());
  Verwendungszweckzeile z = NeueZeile(a, QStringLiteral("umgehängt"));
  z.lfdNr = zeile;
  z.zeilenNr = 1;
  EXPECT_EQ(ZeileSpeichern(t.Db(), z).fehler.Nummer, DbFehlerNr::DatensatzGeloescht);
  EXPECT_EQ(t.Wert("SELECT ZahlungNr || '/' || Verwendungszweck FROM Verwendungszweck WHERE LfdNr = ?", {QVariant(zeile)})
                .toString(),
            QStringLiteral("%1/fremd").arg(fremd));
}
