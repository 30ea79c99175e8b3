#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include "ZahlungsTestDatenbank.h"
#include "payments/core/Zahlungsbefehle.h"
#include "payments/core/ZahlungSpeichern.h"
#include "payments/core/SkontoLauf.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/Zahlungswerte.h"

namespace {

class ZahlungSpeichernTest : public ::testing::Test {
 protected:
  ZahlungEingabe Eingabe() {
    ZahlungEingabe e;
    e.name = QStringLiteral("Müller & Söhne");
    e.bank = QStringLiteral("Sparkasse");
    e.bic = QStringLiteral("cobadeffxxx");
    e.iban = QStringLiteral("de89 3704 0044 0532 0130 00");
    e.verwendungszweck1 = QStringLiteral("Rechnung 4711");
    e.textschluessel = QStringLiteral("sala");
    e.betrag = Euro(123, 45);
    e.faellig = QDate(2024, 7, 1);
    e.mandatReferenz = QStringLiteral("MR-7");
    e.mandatDatum = QDate(2023, 5, 1);
    e.sequenzIndex = 2;
    return e;
  }
  SpeicherKontext Kontext(Zahlart art = Zahlart::Ueberweisung, bool gitter = false) {
    SpeicherKontext k;
    k.absenderNr = 1;
    k.zahlart = art;
    k.zeilengitterSichtbar = gitter;
    k.heute = QDate(2024, 6, 1);
    return k;
  }
  qint64 Neu(Zahlart art = Zahlart::Ueberweisung) {
    qint64 nr = 0;
    EXPECT_TRUE(NeueZahlungAnlegen(t.Db(), 1, art, {}, QDate(2024, 6, 1), nr).Ok());
    return nr;
  }
  QVariant Feld(qint64 nr, const SqlText& spalte) {
    return t.Wert(SqlText("SELECT ") + spalte + SqlText(" FROM Zahlungen WHERE ZahlungNr = ?"), {QVariant(nr)});
  }
  ZahlungsTestDatenbank t;
};

}  // namespace

TEST_F(ZahlungSpeichernTest, SpeichertZahlungUndZeileEinsNormalisiert) {
  const qint64 nr = Neu();
  ZahlungEingabe e = Eingabe();
  const SpeicherErgebnis r = ZahlungSpeichern(t.Db(), nr, e, Kontext());
  ASSERT_TRUE(r.Ok()) << r.Meldungstext().toStdString();
  EXPECT_EQ(Feld(nr, "IBAN").toString(), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(Feld(nr, "BIC").toString(), QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(Feld(nr, "\"Textschlüssel\"").toString(), QStringLiteral("SALA"));
  EXPECT_EQ(Feld(nr, "Name").toString(), QStringLiteral("Müller & Söhne"));
  EXPECT_EQ(Feld(nr, "Art").toString(), QStringLiteral("G"));
  EXPECT_EQ(Feld(nr, "AbsenderNr").toInt(), 1);
  EXPECT_EQ(Feld(nr, "\"Währung\"").toInt(), 1);
  EXPECT_EQ(Feld(nr, "ZahlungGesamt").toLongLong(), Euro(123, 45).Roh());
  EXPECT_EQ(Feld(nr, "\"Fällig\"").toString(), QStringLiteral("2024-07-01"));

  std::vector<Verwendungszweckzeile> zeilen;
  ASSERT_TRUE(ZeilenLaden(t.Db(), nr, false, zeilen).Ok());
  ASSERT_EQ(zeilen.size(), 1u);
  EXPECT_EQ(zeilen[0].zeilenNr, 1);
  EXPECT_EQ(zeilen[0].verwendungszweck, QStringLiteral("Rechnung 4711"));
  EXPECT_EQ(zeilen[0].betraege.opBetrag, std::optional<Waehrung>(Euro(123, 45)));
  EXPECT_EQ(zeilen[0].betraege.zahlungsBetrag, std::optional<Waehrung>(Euro(123, 45)));
  EXPECT_FALSE(zeilen[0].betraege.skontoBetrag);

  // A second save changes line 1 and adds none.
  e.betrag = Euro(10);
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext()).Ok());
  ASSERT_TRUE(ZeilenLaden(t.Db(), nr, false, zeilen).Ok());
  ASSERT_EQ(zeilen.size(), 1u);
  EXPECT_EQ(zeilen[0].betraege.zahlungsBetrag, std::optional<Waehrung>(Euro(10)));
}

TEST_F(ZahlungSpeichernTest, ZeileEinsBekommtDenBereinigtenText) {
  const qint64 nr = Neu();
  ZahlungEingabe e = Eingabe();
  e.verwendungszweck1 = QStringLiteral("Rechnung <4711> #2");
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext()).Ok());
  EXPECT_EQ(e.verwendungszweck1, QStringLiteral("Rechnung 4711 2"));
  EXPECT_EQ(Feld(nr, "Verwendungszweck1").toString(), QStringLiteral("Rechnung 4711 2"));
  EXPECT_EQ(t.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(nr)}).toString(),
            QStringLiteral("Rechnung 4711 2"));
}

TEST_F(ZahlungSpeichernTest, LastschriftSpeichertSequenzUndMandat) {
  const qint64 nr = Neu(Zahlart::FirmenLastschrift);
  ZahlungEingabe e = Eingabe();
  e.textschluessel = QStringLiteral("coll");  // a code of the direct debits' list
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext(Zahlart::FirmenLastschrift)).Ok());
  EXPECT_EQ(Feld(nr, "MandatSequenz").toInt(), 13);
  EXPECT_EQ(Feld(nr, "MandatReferenz").toString(), QStringLiteral("MR-7"));
  EXPECT_EQ(Feld(nr, "MandatDatum").toString(), QStringLiteral("2023-05-01"));
  EXPECT_EQ(Feld(nr, "Art").toString(), QStringLiteral("L"));
  EXPECT_EQ(Feld(nr, "\"Textschlüssel\"").toString(), QStringLiteral("COLL"));
}

// What the bank would refuse is refused before anything is written: row and line stay as "Neu" left them.
TEST_F(ZahlungSpeichernTest, BankregelAbgelehntSchreibtNichts) {
  const qint64 nr = Neu(Zahlart::BasisLastschrift);
  ZahlungEingabe e = Eingabe();
  e.textschluessel.clear();
  e.mandatReferenz = QStringLiteral("A//B");
  const SpeicherErgebnis r = ZahlungSpeichern(t.Db(), nr, e, Kontext(Zahlart::BasisLastschrift));
  ASSERT_TRUE(r.pruefFehler);
  EXPECT_EQ(r.pruefFehler->feld, Fokusfeld::MandatReferenz);
  EXPECT_EQ(r.Meldungstext(), QStringLiteral("Die Mandat-Referenz darf kein \"//\" enthalten.\r\r"
                                             "Bitte korrigieren/ergänzen Sie die Eingabe."));
  EXPECT_TRUE(Feld(nr, "Name").toString().isEmpty());
  EXPECT_TRUE(Feld(nr, "MandatReferenz").toString().isEmpty());
  EXPECT_EQ(t.Wert("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(nr)}).toInt(), 0);
}

TEST_F(ZahlungSpeichernTest, FehlgeschlagenePruefungSchreibtNichts) {
  const qint64 nr = Neu(Zahlart::BasisLastschrift);
  ZahlungEingabe e = Eingabe();
  e.mandatDatum.reset();  // the last check fails
  const SpeicherErgebnis r = ZahlungSpeichern(t.Db(), nr, e, Kontext(Zahlart::BasisLastschrift));
  ASSERT_TRUE(r.pruefFehler);
  EXPECT_EQ(r.pruefFehler->feld, Fokusfeld::MandatDatum);
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 0);  // line 1 is not written ahead of the checks
  EXPECT_TRUE(Feld(nr, "Name").toString().isEmpty());
  EXPECT_EQ(Feld(nr, "MandatSequenz").toInt(), 0);
}

TEST_F(ZahlungSpeichernTest, SpaeterFehlschlagLaesstNichtsGeschrieben) {
  const qint64 nr = Neu();
  ZahlungEingabe e = Eingabe();
  t.Db().SetzeStoerung([](const QString& sql) {
    if (sql.contains(QLatin1String("INSERT INTO Verwendungszweck"))) return DbFehler{19, QStringLiteral("gestört")};
    return DbFehler{};
  });
  const SpeicherErgebnis r = ZahlungSpeichern(t.Db(), nr, e, Kontext());
  t.Db().SetzeStoerung({});
  ASSERT_FALSE(r.Ok());
  EXPECT_TRUE(r.Meldungstext().startsWith(QStringLiteral("Fehler beim Speichern der Daten!\rNr: 19\rBeschreibung: gestört")))
      << r.Meldungstext().toStdString();
  EXPECT_TRUE(Feld(nr, "Name").toString().isEmpty());  // the payment row was rolled back
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 0);
}

TEST_F(ZahlungSpeichernTest, EinzelfeldMitMehrerenZeilenAendertNurDenTextDerErsten) {
  const qint64 nr = Neu();
  t.ZeileAnlegen(nr, 2, QStringLiteral("zwei"), Euro(20));
  t.ZeileAnlegen(nr, 1, QStringLiteral("eins"), Euro(10), Euro(1));
  ZahlungEingabe e = Eingabe();
  e.verwendungszweck1 = QStringLiteral("Neu eins");
  e.betrag = Euro(999);  // read-only then: the total of the lines counts
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext()).Ok());
  std::vector<Verwendungszweckzeile> zeilen;
  ASSERT_TRUE(ZeilenLaden(t.Db(), nr, false, zeilen).Ok());
  ASSERT_EQ(zeilen.size(), 2u);
  EXPECT_EQ(zeilen[0].verwendungszweck, QStringLiteral("Neu eins"));
  EXPECT_EQ(zeilen[0].betraege.opBetrag, std::optional<Waehrung>(Euro(10)));
  EXPECT_EQ(zeilen[0].betraege.skontoBetrag, std::optional<Waehrung>(Euro(1)));
  EXPECT_EQ(zeilen[1].verwendungszweck, QStringLiteral("zwei"));
  EXPECT_EQ(Feld(nr, "ZahlungGesamt").toLongLong(), Euro(30).Roh());
}

TEST_F(ZahlungSpeichernTest, GitteranzeigeUebernimmtErsteZeileUndSumme) {
  const qint64 nr = Neu();
  t.ZeileAnlegen(nr, 1, QStringLiteral("Zeile A"), Euro(5));
  t.ZeileAnlegen(nr, 2, QStringLiteral("Zeile B"), Euro(7));
  ZahlungEingabe e = Eingabe();
  e.verwendungszweck1.clear();
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext(Zahlart::Ueberweisung, true)).Ok());
  EXPECT_EQ(Feld(nr, "Verwendungszweck1").toString(), QStringLiteral("Zeile A"));
  EXPECT_EQ(Feld(nr, "ZahlungGesamt").toLongLong(), Euro(12).Roh());
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 2);
}

TEST_F(ZahlungSpeichernTest, GitteranzeigeNummeriertLueckenhafteZeilenNeu) {
  const qint64 nr = Neu();
  t.ZeileAnlegen(nr, 4, QStringLiteral("Zeile C"), Euro(3));
  t.ZeileAnlegen(nr, 1, QStringLiteral("Zeile A"), Euro(1));
  t.ZeileAnlegen(nr, 3, QStringLiteral("Zeile B"), Euro(2));
  ZahlungEingabe e = Eingabe();
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext(Zahlart::Ueberweisung, true)).Ok());
  EXPECT_EQ(t.Wert("SELECT group_concat(ZeilenNr || ':' || Verwendungszweck, ',') FROM (SELECT * FROM Verwendungszweck "
                   "WHERE ZahlungNr = ? ORDER BY ZeilenNr)",
                   {QVariant(nr)})
                .toString(),
            QStringLiteral("1:Zeile A,2:Zeile B,3:Zeile C"));
  EXPECT_EQ(Feld(nr, "ZahlungGesamt").toLongLong(), Euro(6).Roh());

  // A failed check renumbers nothing.
  ASSERT_TRUE(
      t.Db().Ausfuehren("UPDATE Verwendungszweck SET ZeilenNr = ZeilenNr * 2 WHERE ZahlungNr = ?", {QVariant(nr)}).Ok());
  e.name.clear();
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext(Zahlart::Ueberweisung, true)).pruefFehler);
  EXPECT_EQ(t.Wert("SELECT MAX(ZeilenNr) FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(nr)}).toInt(), 6);
}

TEST_F(ZahlungSpeichernTest, ZeileEinerAnderenArtWirdNieUeberschrieben) {
  const qint64 lastschrift = Neu(Zahlart::BasisLastschrift);
  ZahlungEingabe e = Eingabe();
  const SpeicherErgebnis r = ZahlungSpeichern(t.Db(), lastschrift, e, Kontext(Zahlart::Ueberweisung));
  ASSERT_FALSE(r.Ok());
  EXPECT_EQ(r.dbFehler.Nummer, DbFehlerNr::KeineTreffer);
  EXPECT_EQ(Feld(lastschrift, "Art").toString(), QStringLiteral("L"));
  EXPECT_TRUE(Feld(lastschrift, "Name").toString().isEmpty());
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 0);
}

namespace {

// A value longer than its field at save: stored whole at its limit, refused one above it (by the order's
// rules or by the field's size), never cut. The value as the save stores it counts: cleaned and
// transliterated (Ж is two letters), IBAN and BIC compacted.
struct Feldlaenge {
  const char* name;
  Zahlart art;
  std::function<void(ZahlungEingabe&)> setzen;
  const char* spalte;     // where the value is stored
  QString gespeichert;    // stored whole; empty when refused
  std::optional<Befundart> befund;
  Fokusfeld fokus = Fokusfeld::Name;
};

void PrintTo(const Feldlaenge& f, std::ostream* os) { *os << f.name; }

class ZahlungSpeichernFeldlaenge : public ZahlungSpeichernTest, public ::testing::WithParamInterface<Feldlaenge> {};

TEST_P(ZahlungSpeichernFeldlaenge, GanzOderAbgelehntNieGekuerzt) {
  const Feldlaenge& f = GetParam();
  const qint64 nr = Neu(f.art);
  ZahlungEingabe e = Eingabe();
  if (f.art != Zahlart::Ueberweisung) e.textschluessel = QStringLiteral("COLL");
  f.setzen(e);
  const SpeicherErgebnis r = ZahlungSpeichern(t.Db(), nr, e, Kontext(f.art));
  const QString gespeichert = Feld(nr, SqlText::Bezeichner(QString::fromUtf8(f.spalte))).toString();
  if (!f.befund) {
    ASSERT_TRUE(r.Ok()) << r.Meldungstext().toStdString();
    EXPECT_EQ(gespeichert, f.gespeichert);
    return;
  }
  ASSERT_TRUE(r.pruefFehler) << "saved: " << gespeichert.toStdString();
  EXPECT_EQ(r.pruefFehler->art, *f.befund) << r.Meldungstext().toStdString();
  EXPECT_EQ(r.pruefFehler->feld, f.fokus);
  EXPECT_TRUE(Feld(nr, "Name").toString().isEmpty()) << "nothing written";
  EXPECT_EQ(t.Anzahl("Verwendungszweck"), 0);
}

const QString Zh(QChar(0x0416));   // Ж

// A value the cleaning made longer than its field goes back to the form as typed, also when another check
// refused the save first: the field would cut it.
TEST_F(ZahlungSpeichernTest, ZuLangGewordenesBleibtWieGetippt) {
  const qint64 nr = Neu();
  ZahlungEingabe e = Eingabe();
  e.bank = QString(31, Zh[0]);
  e.name = QStringLiteral("José");
  SpeicherErgebnis r = ZahlungSpeichern(t.Db(), nr, e, Kontext());
  ASSERT_TRUE(r.pruefFehler);
  EXPECT_EQ(r.pruefFehler->art, Befundart::FeldZuLang);
  EXPECT_EQ(e.bank, QString(31, Zh[0]));
  EXPECT_EQ(e.name, QStringLiteral("Jose")) << "the cleaning that fits stays";
  e.iban = QStringLiteral("DE00");
  r = ZahlungSpeichern(t.Db(), nr, e, Kontext());
  ASSERT_TRUE(r.pruefFehler);
  EXPECT_EQ(r.pruefFehler->feld, Fokusfeld::Iban);
  EXPECT_EQ(e.bank, QString(31, Zh[0]));
  e.bank = QString(30, Zh[0]);
  e.iban = Eingabe().iban;
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext()).Ok());
  EXPECT_EQ(Feld(nr, "Bank").toString(), QStringLiteral("ZH").repeated(30));
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, ZahlungSpeichernFeldlaenge,
    ::testing::Values(
        Feldlaenge{"Name70", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.name = QString(70, QLatin1Char('n')); },
                   "Name", QString(70, QLatin1Char('n')), std::nullopt},
        Feldlaenge{"Name71", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.name = QString(71, QLatin1Char('n')); },
                   "Name", {}, Befundart::NameZuLang, Fokusfeld::Name},
        Feldlaenge{"Name71DurchUmschrift", Zahlart::Ueberweisung,
                   [](ZahlungEingabe& e) { e.name = QString(69, QLatin1Char('n')) + Zh; }, "Name", {},
                   Befundart::NameZuLang, Fokusfeld::Name},
        Feldlaenge{"Bank60", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.bank = QString(30, Zh[0]); }, "Bank",
                   QStringLiteral("ZH").repeated(30), std::nullopt},
        Feldlaenge{"Bank61", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.bank = QString(61, QLatin1Char('b')); },
                   "Bank", {}, Befundart::FeldZuLang, Fokusfeld::Bank},
        Feldlaenge{"Bank62DurchUmschrift", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.bank = QString(31, Zh[0]); },
                   "Bank", {}, Befundart::FeldZuLang, Fokusfeld::Bank},
        Feldlaenge{"OPKontoNr10", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.opKontoNr = QStringLiteral("1234567890"); },
                   "OPKontoNr", QStringLiteral("1234567890"), std::nullopt},
        Feldlaenge{"OPKontoNr11", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.opKontoNr = QStringLiteral("12345678901"); },
                   "OPKontoNr", {}, Befundart::FeldZuLang, Fokusfeld::Name},
        Feldlaenge{"Verwendungszweck27", Zahlart::Ueberweisung,
                   [](ZahlungEingabe& e) { e.verwendungszweck1 = QString(27, QLatin1Char('v')); }, "Verwendungszweck1",
                   QString(27, QLatin1Char('v')), std::nullopt},
        Feldlaenge{"Verwendungszweck28", Zahlart::Ueberweisung,
                   [](ZahlungEingabe& e) { e.verwendungszweck1 = QString(28, QLatin1Char('v')); }, "Verwendungszweck1", {},
                   Befundart::VerwendungszweckZuLang, Fokusfeld::Verwendungszweck},
        Feldlaenge{"Textschluessel4", Zahlart::Ueberweisung, [](ZahlungEingabe& e) { e.textschluessel = QStringLiteral("gdds"); },
                   "Textschlüssel", QStringLiteral("GDDS"), std::nullopt},
        Feldlaenge{"Textschluessel5", Zahlart::Ueberweisung,
                   [](ZahlungEingabe& e) { e.textschluessel = QStringLiteral("GDDSX"); }, "Textschlüssel", {},
                   Befundart::TextschluesselUngueltig, Fokusfeld::Textschluessel},
        Feldlaenge{"MandatReferenz35", Zahlart::BasisLastschrift,
                   [](ZahlungEingabe& e) { e.mandatReferenz = QString(35, QLatin1Char('M')); }, "MandatReferenz",
                   QString(35, QLatin1Char('M')), std::nullopt},
        Feldlaenge{"MandatReferenz36", Zahlart::BasisLastschrift,
                   [](ZahlungEingabe& e) { e.mandatReferenz = QString(36, QLatin1Char('M')); }, "MandatReferenz", {},
                   Befundart::MandatReferenzUngueltig, Fokusfeld::MandatReferenz}),
    [](const ::testing::TestParamInfo<Feldlaenge>& info) { return std::string(info.param.name); });

}  // namespace

// A payment another workstation's run marked done while the form showed it is what the bank was sent: a
// save must neither change it nor report success.
TEST_F(ZahlungSpeichernTest, InzwischenErledigteZahlungBleibtUnveraendert) {
  for (const bool gitter : {false, true}) {
    SCOPED_TRACE(gitter ? "Zeilengitter" : "Einzelfeld");
    ZahlungsTestDatenbank::Zahlung z;
    z.erledigt = true;
    z.gesamt = Euro(100);
    const qint64 nr = t.ZahlungAnlegen(z);
    t.ZeileAnlegen(nr, 1, QStringLiteral("Rechnung 1"), Euro(100));
    ZahlungEingabe e = Eingabe();
    e.betrag = Euro(100);
    const SpeicherErgebnis r = ZahlungSpeichern(t.Db(), nr, e, Kontext(Zahlart::Ueberweisung, gitter));
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.dbFehler.Nummer, DbFehlerNr::KeineTreffer);
    EXPECT_TRUE(r.Meldungstext().contains(QStringLiteral("erledigt"))) << r.Meldungstext().toStdString();
    EXPECT_EQ(Feld(nr, "Name").toString(), QStringLiteral("Meier GmbH"));
    EXPECT_EQ(t.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ?", {QVariant(nr)}).toString(),
              QStringLiteral("Rechnung 1"));
  }
}

// A discounted single line keeps its open item and discount when the payment is saved with the amount
// it shows: otherwise the next discount run would take the discount again from the paid amount.
TEST_F(ZahlungSpeichernTest, EinzelfeldBehaeltSkontoDerZeileBeiUnveraendertemBetrag) {
  const qint64 nr = Neu();
  const qint64 zeile = t.ZeileAnlegen(nr, 1, QStringLiteral("Rechnung 4711"), Euro(1000));
  SkontoVorgabe zweiProzent;
  zweiProzent.prozent = Euro(2);
  ASSERT_TRUE(SkontoSitzung().Abziehen(t.Db(), {zeile}, zweiProzent).Ok());
  const auto zeileEins = [&] {
    std::vector<Verwendungszweckzeile> zeilen;
    EXPECT_TRUE(ZeilenLaden(t.Db(), nr, false, zeilen).Ok());
    return zeilen.size() == 1 ? zeilen.front() : Verwendungszweckzeile{};
  };

  ZahlungEingabe e = Eingabe();
  e.verwendungszweck1 = QStringLiteral("Rechnung 4711 Korr");
  e.betrag = Euro(980);  // as the form shows it
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext()).Ok());
  EXPECT_EQ(zeileEins().verwendungszweck, QStringLiteral("Rechnung 4711 Korr"));
  EXPECT_EQ(zeileEins().betraege, (ZeilenBetraege{Euro(1000), Euro(20), Euro(980)}));

  // The second run on the same invoice leaves the amount paid as it was.
  ASSERT_TRUE(SkontoSitzung().Abziehen(t.Db(), {zeile}, zweiProzent).Ok());
  EXPECT_EQ(zeileEins().betraege, (ZeilenBetraege{Euro(1000), Euro(20), Euro(980)}));
  EXPECT_EQ(Feld(nr, "ZahlungGesamt").toLongLong(), Euro(980).Roh());

  // A typed amount is the line's new open item, without discount.
  e.betrag = Euro(979, 99);
  ASSERT_TRUE(ZahlungSpeichern(t.Db(), nr, e, Kontext()).Ok());
  EXPECT_EQ(zeileEins().betraege, (ZeilenBetraege{Euro(979, 99), std::nullopt, Euro(979, 99)}));
  EXPECT_EQ(Feld(nr, "ZahlungGesamt").toLongLong(), Euro(979, 99).Roh());
}

namespace {

// Workstation B shows a payment; A (a second connection to the same file) changes one field and saves;
// B then changes the due date and saves with what it showed.
struct FremdeAenderung {
  const char* name;
  Zahlart art;
  SqlText sql;  // A's change of the row
  QVariant wert;
  SqlText spalte;
};

class ZahlungVeraltetTest : public ::testing::TestWithParam<FremdeAenderung> {};

SpeicherKontext Kontext(Zahlart art) {
  SpeicherKontext k;
  k.absenderNr = 1;
  k.zahlart = art;
  k.heute = QDate(2024, 6, 1);
  return k;
}

ZahlungEingabe Gezeigt(const Zahlungsstand& s, Zahlart art) {
  ZahlungEingabe e = s.werte;
  e.sequenzIndex = art == Zahlart::Ueberweisung ? -1 : s.mandatSequenz - 1;
  return e;
}

qint64 GespeicherteZahlung(Datenbank& db, Zahlart art) {
  qint64 nr = 0;
  EXPECT_TRUE(NeueZahlungAnlegen(db, 1, art, {}, QDate(2024, 6, 1), nr).Ok());
  ZahlungEingabe e;
  e.name = QStringLiteral("Meier GmbH");
  e.iban = QStringLiteral("DE89370400440532013000");
  e.bic = QStringLiteral("COBADEFFXXX");
  e.verwendungszweck1 = QStringLiteral("Rechnung 1");
  e.betrag = Euro(100);
  e.faellig = QDate(2024, 7, 1);
  e.mandatReferenz = QStringLiteral("MR-1");
  e.mandatDatum = QDate(2023, 5, 1);
  e.sequenzIndex = 1;
  const SpeicherErgebnis r = ZahlungSpeichern(db, nr, e, Kontext(art));
  EXPECT_TRUE(r.Ok()) << r.Meldungstext().toStdString();
  return nr;
}

}  // namespace

TEST_P(ZahlungVeraltetTest, AendernDesAnderenArbeitsplatzesUeberstehtVeraltetesSpeichern) {
  const FremdeAenderung& a = GetParam();
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  ZahlungsTestDatenbank b(datei);
  DbFehler f;
  auto arbeitsplatzA = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(arbeitsplatzA);
  const qint64 nr = GespeicherteZahlung(b.Db(), a.art);
  std::optional<Zahlungsstand> gezeigt;
  ASSERT_TRUE(ZahlungsstandLesen(b.Db(), nr, gezeigt).Ok());
  ASSERT_TRUE(gezeigt);

  ASSERT_TRUE(arbeitsplatzA->Ausfuehren(a.sql, {a.wert, QVariant(nr)}).Ok());
  const QVariant vonA = b.Wert(SqlText("SELECT ") + a.spalte + SqlText(" FROM Zahlungen WHERE ZahlungNr = ?"), {nr});

  ZahlungEingabe e = Gezeigt(*gezeigt, a.art);
  e.faellig = QDate(2024, 8, 15);
  SpeicherKontext k = Kontext(a.art);
  k.geladen = gezeigt;
  const SpeicherErgebnis r = ZahlungSpeichern(b.Db(), nr, e, k);
  EXPECT_FALSE(r.Ok());
  EXPECT_TRUE(r.veraltet);
  EXPECT_FALSE(r.gespeichert);
  EXPECT_EQ(r.Meldungstext(), QStringLiteral("Die Zahlung wurde inzwischen an einem anderen Arbeitsplatz geändert; Ihre "
                                             "Änderung wurde nicht gespeichert. Die gespeicherten Angaben werden neu "
                                             "angezeigt; bitte wiederholen Sie Ihre Änderung."));
  EXPECT_EQ(b.Wert(SqlText("SELECT ") + a.spalte + SqlText(" FROM Zahlungen WHERE ZahlungNr = ?"), {nr}), vonA);
  EXPECT_EQ(b.Wert("SELECT \"Fällig\" FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toDate(), QDate(2024, 7, 1));
  EXPECT_EQ(b.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}).toString(),
            QStringLiteral("Rechnung 1"));

  // Shown anew, the same change goes through and keeps A's.
  ASSERT_TRUE(ZahlungsstandLesen(b.Db(), nr, gezeigt).Ok());
  e = Gezeigt(*gezeigt, a.art);
  e.faellig = QDate(2024, 8, 15);
  k.geladen = gezeigt;
  const SpeicherErgebnis wieder = ZahlungSpeichern(b.Db(), nr, e, k);
  ASSERT_TRUE(wieder.Ok()) << wieder.Meldungstext().toStdString();
  EXPECT_EQ(b.Wert(SqlText("SELECT ") + a.spalte + SqlText(" FROM Zahlungen WHERE ZahlungNr = ?"), {nr}), vonA);
  EXPECT_EQ(b.Wert("SELECT \"Fällig\" FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toDate(), QDate(2024, 8, 15));
}

INSTANTIATE_TEST_SUITE_P(
    Felder, ZahlungVeraltetTest,
    ::testing::Values(
        FremdeAenderung{"Betrag", Zahlart::Ueberweisung, "UPDATE Zahlungen SET ZahlungGesamt = ? WHERE ZahlungNr = ?",
                        WertAusWaehrung(Euro(100, 1)), "ZahlungGesamt"},
        FremdeAenderung{"Iban", Zahlart::Ueberweisung, "UPDATE Zahlungen SET IBAN = ? WHERE ZahlungNr = ?",
                        QVariant(QStringLiteral("DE02120300000000202051")), "IBAN"},
        FremdeAenderung{"Name", Zahlart::Ueberweisung, "UPDATE Zahlungen SET Name = ? WHERE ZahlungNr = ?",
                        QVariant(QStringLiteral("Meier GmbH & Co")), "Name"},
        FremdeAenderung{"Verwendungszweck", Zahlart::Ueberweisung,
                        "UPDATE Zahlungen SET Verwendungszweck1 = ? WHERE ZahlungNr = ?",
                        QVariant(QStringLiteral("Rechnung 2")), "Verwendungszweck1"},
        FremdeAenderung{"MandatReferenz", Zahlart::BasisLastschrift,
                        "UPDATE Zahlungen SET MandatReferenz = ? WHERE ZahlungNr = ?", QVariant(QStringLiteral("MR-2")),
                        "MandatReferenz"},
        FremdeAenderung{"MandatSequenz", Zahlart::BasisLastschrift,
                        "UPDATE Zahlungen SET MandatSequenz = ? WHERE ZahlungNr = ?", QVariant(3), "MandatSequenz"}),
    [](const ::testing::TestParamInfo<FremdeAenderung>& info) { return std::string(info.param.name); });

// What was stored unchanged, or by this form's own save, is saved again; a new payment has nothing to
// compare; a done payment keeps the done guard's reason.
TEST(ZahlungVeraltet, UnveraenderteNeueUndErledigteZahlung) {
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  ZahlungsTestDatenbank b(datei);
  DbFehler f;
  auto arbeitsplatzA = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(arbeitsplatzA);
  const qint64 nr = GespeicherteZahlung(b.Db(), Zahlart::Ueberweisung);
  std::optional<Zahlungsstand> gezeigt;
  ASSERT_TRUE(ZahlungsstandLesen(b.Db(), nr, gezeigt).Ok());
  ASSERT_TRUE(gezeigt);
  // A writes the same values back and changes only what the form neither shows nor writes.
  ASSERT_TRUE(arbeitsplatzA->Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = ZahlungGesamt, Fehler = 1 WHERE ZahlungNr = ?",
                                        {nr}).Ok());

  SpeicherKontext k = Kontext(Zahlart::Ueberweisung);
  k.geladen = gezeigt;
  ZahlungEingabe e = Gezeigt(*gezeigt, Zahlart::Ueberweisung);
  e.faellig = QDate(2024, 8, 15);
  SpeicherErgebnis r = ZahlungSpeichern(b.Db(), nr, e, k);
  ASSERT_TRUE(r.Ok()) << r.Meldungstext().toStdString();
  ASSERT_TRUE(r.gespeichert);
  EXPECT_EQ(r.gespeichert->werte.faellig, QDate(2024, 8, 15));

  // The next save from the same form compares with what it stored itself.
  k.geladen = r.gespeichert;
  e.betrag = Euro(99);
  r = ZahlungSpeichern(b.Db(), nr, e, k);
  ASSERT_TRUE(r.Ok()) << r.Meldungstext().toStdString();
  EXPECT_EQ(b.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Euro(99).Roh());

  // A row changed meanwhile is no concern of a new payment's first save.
  qint64 neu = 0;
  ASSERT_TRUE(NeueZahlungAnlegen(b.Db(), 1, Zahlart::Ueberweisung, {}, QDate(2024, 6, 1), neu).Ok());
  ASSERT_TRUE(arbeitsplatzA->Ausfuehren("UPDATE Zahlungen SET Name = 'Anders' WHERE ZahlungNr = ?", {neu}).Ok());
  ZahlungEingabe n = e;
  EXPECT_TRUE(ZahlungSpeichern(b.Db(), neu, n, Kontext(Zahlart::Ueberweisung)).Ok());

  ASSERT_TRUE(arbeitsplatzA->Ausfuehren("UPDATE Zahlungen SET Erledigt = 1 WHERE ZahlungNr = ?", {nr}).Ok());
  k.geladen = r.gespeichert;
  r = ZahlungSpeichern(b.Db(), nr, e, k);
  EXPECT_FALSE(r.Ok());
  EXPECT_FALSE(r.veraltet);
  EXPECT_TRUE(r.Meldungstext().contains(QStringLiteral("Die Zahlung ist inzwischen erledigt"))) << r.Meldungstext().toStdString();
}

namespace {

const QString GeaendertText = QStringLiteral(
    "Die Zahlung wurde inzwischen an einem anderen Arbeitsplatz geändert; Ihre Änderung wurde nicht gespeichert. Die "
    "gespeicherten Angaben werden neu angezeigt; bitte wiederholen Sie Ihre Änderung.");

// What workstation B's form shows of the payment, and the copy "Ändern" took.
struct Sicht {
  Zahlungsstand geladen;
  Zeilenstand gezeigt;
  ZeilenKopie kopie;
  std::vector<Verwendungszweckzeile> zeilen;
};

DbFehler SichtLesen(Datenbank& db, qint64 nr, Sicht& s) {
  std::optional<Zahlungsstand> geladen;
  for (DbFehler f : {ZahlungsstandLesen(db, nr, geladen), ZeilenstandLesen(db, nr, s.gezeigt),
                     ZeilenKopieren(db, nr, s.kopie), ZeilenLaden(db, nr, false, s.zeilen)})
    if (f) return f;
  if (geladen) s.geladen = *geladen;
  return {};
}

// A line as the grid holds it when its text is typed over.
Verwendungszweckzeile MitText(Verwendungszweckzeile z, const QString& text) {
  z.verwendungszweck = text;
  return z;
}

SpeicherErgebnis EinzelfeldSpeichern(Datenbank& db, qint64 nr, const Sicht& s, ZahlungEingabe e, bool gitter = false) {
  SpeicherKontext k = Kontext(Zahlart::Ueberweisung);
  k.zeilengitterSichtbar = gitter;
  k.geladen = s.geladen;
  k.zeilen = s.gezeigt;
  return ZahlungSpeichern(db, nr, e, k);
}

// What workstation A does to the payment (through its own form, with what it shows right then), after B
// showed it. `zeilen`: the lines or the total change; `kopf`: the row B's save of the payment compares.
struct AndererArbeitsplatz {
  const char* name;
  bool zeilen;
  bool kopf;
  std::function<void(Datenbank& a, qint64 nr)> aendern;
};

// B's write from what it showed. `gitter`: B changes the lines in the grid and has stored line 1's new
// text before A's change (so that the cancel has something to undo); otherwise B shows the single field.
struct Schreibweg {
  const char* name;
  bool gitter;
  bool kopf;  // the save of the payment, which compares the row too
  std::function<DbFehler(Datenbank& b, qint64 nr, Sicht& s)> schreiben;
};

void PrintTo(const AndererArbeitsplatz& a, std::ostream* os) { *os << a.name; }
void PrintTo(const Schreibweg& w, std::ostream* os) { *os << w.name; }

class ZeilenVeraltetTest : public ::testing::TestWithParam<std::tuple<AndererArbeitsplatz, Schreibweg>> {};

// An empty database file from the shipped schema, made once: each case works on a copy of its own.
QString LeereDatenbank() {
  static QTemporaryDir ordner;
  static const QString datei = [] {
    const QString d = ordner.filePath(QStringLiteral("Vorlage.db"));
    ZahlungsTestDatenbank vorlage(d);
    return d;
  }();
  return datei;
}

}  // namespace

// B presses "Ändern"; A changes the payment; B writes. Whatever B's write would overwrite of A's change
// is refused with the header save's message, and nothing of it is written; a change of A's that B's write
// does not concern stays, and B's write goes through.
TEST_P(ZeilenVeraltetTest, AenderungDesAnderenArbeitsplatzesBleibt) {
  const auto& [a, w] = GetParam();
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(LeereDatenbank(), datei));
  DbFehler f;
  auto arbeitsplatzB = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(arbeitsplatzB) << f.Beschreibung.toStdString();
  auto arbeitsplatzA = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(arbeitsplatzA) << f.Beschreibung.toStdString();
  Datenbank& b = *arbeitsplatzB;
  qint64 nr = 0;
  ASSERT_TRUE(NeueZahlungAnlegen(b, 1, Zahlart::Ueberweisung, {}, QDate(2024, 6, 1), nr).Ok());
  ZahlungEingabe e;
  e.name = QStringLiteral("Meier GmbH");
  e.iban = QStringLiteral("DE89370400440532013000");
  e.bic = QStringLiteral("COBADEFFXXX");
  e.verwendungszweck1 = QStringLiteral("RG 4711");
  e.betrag = Euro(7453, 44);
  e.faellig = QDate(2024, 7, 1);
  ASSERT_TRUE(ZahlungSpeichern(b, nr, e, Kontext(Zahlart::Ueberweisung)).Ok());

  Sicht s;
  ASSERT_TRUE(SichtLesen(b, nr, s).Ok());
  ASSERT_EQ(s.zeilen.size(), 1u);
  if (w.gitter) {
    Verwendungszweckzeile z = MitText(s.zeilen[0], QStringLiteral("RG 4711 Teil"));
    ASSERT_TRUE(ZeileSpeichern(b, z, &s.gezeigt).Ok());
    s.zeilen[0] = z;
  }

  a.aendern(*arbeitsplatzA, nr);
  Sicht nachA;
  ASSERT_TRUE(SichtLesen(b, nr, nachA).Ok());

  f = w.schreiben(b, nr, s);
  Sicht danach;
  ASSERT_TRUE(SichtLesen(b, nr, danach).Ok());
  EXPECT_EQ(b.TransaktionsTiefe(), 0);
  if (a.zeilen || (w.kopf && a.kopf)) {
    EXPECT_EQ(f.Nummer, DbFehlerNr::InzwischenGeaendert) << f.Meldungstext().toStdString();
    EXPECT_EQ(f.Beschreibung, GeaendertText);
    EXPECT_TRUE(danach.gezeigt == nachA.gezeigt);
    EXPECT_EQ(danach.geladen, nachA.geladen);
  } else {
    ASSERT_TRUE(f.Ok()) << f.Meldungstext().toStdString();
    EXPECT_FALSE(danach.gezeigt == nachA.gezeigt && danach.geladen == nachA.geladen);
    EXPECT_EQ(danach.geladen.werte.iban, nachA.geladen.werte.iban);  // A's change stays
    // What B wrote is what its form shows from now on.
    if (w.gitter) {
      EXPECT_TRUE(s.gezeigt == danach.gezeigt);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    ArbeitsplaetzeUndSchreibwege, ZeilenVeraltetTest,
    ::testing::Combine(
        ::testing::Values(
            AndererArbeitsplatz{"Betrag", true, true,
                                [](Datenbank& a, qint64 nr) {
                                  Sicht s;
                                  ASSERT_TRUE(SichtLesen(a, nr, s).Ok());
                                  ZahlungEingabe e = Gezeigt(s.geladen, Zahlart::Ueberweisung);
                                  e.betrag = Euro(5000);
                                  const SpeicherErgebnis r = EinzelfeldSpeichern(a, nr, s, e);
                                  ASSERT_TRUE(r.Ok()) << r.Meldungstext().toStdString();
                                }},
            AndererArbeitsplatz{"Skonto", true, true,
                                [](Datenbank& a, qint64 nr) {
                                  Sicht s;
                                  ASSERT_TRUE(SichtLesen(a, nr, s).Ok());
                                  SkontoVorgabe dreiProzent;
                                  dreiProzent.prozent = Euro(3);
                                  ASSERT_TRUE(SkontoSitzung().Abziehen(a, {*s.zeilen[0].lfdNr}, dreiProzent).Ok());
                                }},
            AndererArbeitsplatz{"ZeileGespeichert", true, false,
                                [](Datenbank& a, qint64 nr) {
                                  Sicht s;
                                  ASSERT_TRUE(SichtLesen(a, nr, s).Ok());
                                  Verwendungszweckzeile z = MitText(s.zeilen[0], QStringLiteral("Von A"));
                                  ASSERT_TRUE(ZeileSpeichern(a, z, &s.gezeigt).Ok());
                                }},
            AndererArbeitsplatz{"ZeileGeloescht", true, false,
                                [](Datenbank& a, qint64 nr) {
                                  Sicht s;
                                  ASSERT_TRUE(SichtLesen(a, nr, s).Ok());
                                  ASSERT_TRUE(ZeilenLoeschen(a, nr, {*s.zeilen[0].lfdNr}, &s.gezeigt).Ok());
                                }},
            // Deleted and typed again as it was: another line all the same.
            AndererArbeitsplatz{"ZeileErsetzt", true, false,
                                [](Datenbank& a, qint64 nr) {
                                  Sicht s;
                                  ASSERT_TRUE(SichtLesen(a, nr, s).Ok());
                                  ASSERT_TRUE(ZeilenLoeschen(a, nr, {*s.zeilen[0].lfdNr}, &s.gezeigt).Ok());
                                  Verwendungszweckzeile z = s.zeilen[0];
                                  z.lfdNr.reset();
                                  ASSERT_TRUE(ZeileSpeichern(a, z, &s.gezeigt).Ok());
                                }},
            // A's save in the grid display writes the row and no line.
            AndererArbeitsplatz{"Iban", false, true,
                                [](Datenbank& a, qint64 nr) {
                                  Sicht s;
                                  ASSERT_TRUE(SichtLesen(a, nr, s).Ok());
                                  ZahlungEingabe e = Gezeigt(s.geladen, Zahlart::Ueberweisung);
                                  e.iban = QStringLiteral("DE02120300000000202051");
                                  const SpeicherErgebnis r = EinzelfeldSpeichern(a, nr, s, e, true);
                                  ASSERT_TRUE(r.Ok()) << r.Meldungstext().toStdString();
                                }},
            AndererArbeitsplatz{"Nichts", false, false, [](Datenbank&, qint64) {}}),
        ::testing::Values(
            Schreibweg{"ZeileAendern", true, false,
                       [](Datenbank& b, qint64, Sicht& s) {
                         Verwendungszweckzeile z = MitText(s.zeilen[0], QStringLiteral("Von B"));
                         return ZeileSpeichern(b, z, &s.gezeigt).fehler;
                       }},
            Schreibweg{"NeueZeile", true, false,
                       [](Datenbank& b, qint64 nr, Sicht& s) {
                         Verwendungszweckzeile z;
                         z.zahlungNr = nr;
                         z.verwendungszweck = QStringLiteral("Neue Zeile");
                         z.betraege.zahlungsBetrag = Euro(5);
                         return ZeileSpeichern(b, z, &s.gezeigt).fehler;
                       }},
            Schreibweg{"ZeileLoeschen", true, false,
                       [](Datenbank& b, qint64 nr, Sicht& s) {
                         return ZeilenLoeschen(b, nr, {*s.zeilen[0].lfdNr}, &s.gezeigt);
                       }},
            // Appends lines only, but what the form shows afterwards must be what it wrote.
            Schreibweg{"Kopieren", true, false,
                       [](Datenbank& b, qint64 nr, Sicht& s) {
                         qint64 quelle = 0;
                         EXPECT_TRUE(NeueZahlungAnlegen(b, 1, Zahlart::Ueberweisung, {}, QDate(2024, 6, 1), quelle).Ok());
                         Verwendungszweckzeile z;
                         z.zahlungNr = quelle;
                         z.verwendungszweck = QStringLiteral("Kopiert");
                         EXPECT_TRUE(ZeileSpeichern(b, z).Ok());
                         KopierErgebnis k;
                         return ZahlungKopieren(b, quelle, nr, true, k, &s.gezeigt);
                       }},
            Schreibweg{"Abbrechen", true, false,
                       [](Datenbank& b, qint64 nr, Sicht& s) {
                         const DbFehler f = ZeilenWiederherstellen(b, s.kopie, s.gezeigt);
                         Zeilenstand jetzt;
                         EXPECT_TRUE(ZeilenstandLesen(b, nr, jetzt).Ok());
                         // Exactly the lines and the total of "Ändern" again, or nothing of them.
                         EXPECT_EQ(f.Ok(), jetzt == s.kopie.stand);
                         if (f.Ok()) s.gezeigt = jetzt;
                         return f;
                       }},
            // The single field writes line 1's text from the row's copy of it, and the total.
            Schreibweg{"Einzelfeld", false, true,
                       [](Datenbank& b, qint64 nr, Sicht& s) {
                         ZahlungEingabe e = Gezeigt(s.geladen, Zahlart::Ueberweisung);
                         e.faellig = QDate(2024, 8, 15);
                         const SpeicherErgebnis r = EinzelfeldSpeichern(b, nr, s, e);
                         EXPECT_EQ(r.veraltet, r.dbFehler.Nummer == DbFehlerNr::InzwischenGeaendert);
                         return r.dbFehler;
                       }})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

// The sums renumber the lines in entry mode (closing gaps). A gap of the form's own delete is closed and
// shown; lines another workstation changed are neither renumbered by a form that has not shown them nor
// taken into what it shows: its cancel stays refused.
TEST(ZeilenVeraltet, NummerierungUebernimmtKeineFremdeAenderung) {
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(QFile::copy(LeereDatenbank(), datei));
  DbFehler f;
  auto arbeitsplatzB = Datenbank::Oeffnen(datei, f);
  auto arbeitsplatzA = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(arbeitsplatzB && arbeitsplatzA) << f.Beschreibung.toStdString();
  Datenbank& b = *arbeitsplatzB;
  qint64 nr = 0;
  ASSERT_TRUE(NeueZahlungAnlegen(b, 1, Zahlart::Ueberweisung, {}, QDate(2024, 6, 1), nr).Ok());
  for (const char* text : {"eins", "zwei", "drei"}) {
    Verwendungszweckzeile z;
    z.zahlungNr = nr;
    z.verwendungszweck = QString::fromUtf8(text);
    z.betraege.zahlungsBetrag = Euro(10);
    ASSERT_TRUE(ZeileSpeichern(b, z).Ok());
  }
  Sicht s;
  ASSERT_TRUE(SichtLesen(b, nr, s).Ok());
  const auto nummern = [&] {
    std::vector<Verwendungszweckzeile> z;
    EXPECT_TRUE(ZeilenLaden(b, nr, false, z).Ok());
    QStringList n;
    for (const auto& zeile : z) n << QStringLiteral("%1:%2").arg(zeile.zeilenNr).arg(zeile.verwendungszweck);
    return n.join(QLatin1Char(' '));
  };

  ZeilenSummen summen;
  ASSERT_TRUE(ZeilenLoeschen(b, nr, {*s.zeilen[0].lfdNr}, &s.gezeigt).Ok());
  ASSERT_TRUE(ZeilenSummieren(b, nr, true, summen, &s.gezeigt).Ok());
  EXPECT_EQ(nummern(), QStringLiteral("1:zwei 2:drei"));
  Zeilenstand jetzt;
  ASSERT_TRUE(ZeilenstandLesen(b, nr, jetzt).Ok());
  EXPECT_TRUE(jetzt == s.gezeigt);

  ASSERT_TRUE(arbeitsplatzA->Ausfuehren("DELETE FROM Verwendungszweck WHERE LfdNr = ?", {QVariant(*s.zeilen[1].lfdNr)}).Ok());
  const Zeilenstand gezeigt = s.gezeigt;
  ASSERT_TRUE(ZeilenSummieren(b, nr, true, summen, &s.gezeigt).Ok());
  EXPECT_EQ(nummern(), QStringLiteral("2:drei"));
  EXPECT_EQ(summen.zahlungsBetrag, Euro(10));
  EXPECT_TRUE(s.gezeigt == gezeigt);
  EXPECT_EQ(ZeilenWiederherstellen(b, s.kopie, s.gezeigt).Nummer, DbFehlerNr::InzwischenGeaendert);
  EXPECT_EQ(nummern(), QStringLiteral("2:drei"));
}
