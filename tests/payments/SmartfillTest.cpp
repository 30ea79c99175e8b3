#include <gtest/gtest.h>

#include "ZahlungsTestDatenbank.h"
#include "common/Datenhilfen.h"
#include "payments/core/Smartfill.h"
#include "payments/core/Zahlungsempfaenger.h"

namespace {

// A lookup over a fixed list in its own order, counting its calls.
struct Liste {
  QStringList namen;
  int aufrufe = 0;
  Smartfill::Suche Suche() {
    return [this](const QString& praefix) -> std::optional<Smartfill::Treffer> {
      ++aufrufe;
      for (const QString& n : namen)
        if (n.startsWith(praefix, Qt::CaseInsensitive)) return Smartfill::Treffer{n, {{QStringLiteral("Name"), n}}};
      return std::nullopt;
    };
  }
};

}  // namespace

TEST(Smartfill, VervollstaendigtUndMarkiertDenRest) {
  Liste l{{QStringLiteral("Zander"), QStringLiteral("Müller GmbH"), QStringLiteral("Maier")}};
  Smartfill s;
  s.FeldBetreten();
  auto e = s.TasteGedrueckt(QLatin1Char('m'), QString(), 0, true, true, l.Suche());
  EXPECT_TRUE(e.opKontoNrLeeren);
  ASSERT_TRUE(e.gefunden);
  EXPECT_EQ(e.text, QStringLiteral("Müller GmbH"));  // first in the source's order, its own case
  EXPECT_EQ(e.cursor, 1);
  EXPECT_EQ(e.markierungLaenge, 10);
  EXPECT_TRUE(e.tasteVerwerfen);
  EXPECT_EQ(s.Position(), 1);

  // The next character replaces the selected rest: prefix "Ma".
  e = s.TasteGedrueckt(QLatin1Char('a'), QStringLiteral("Müller GmbH"), 1, true, true, l.Suche());
  ASSERT_TRUE(e.gefunden);
  EXPECT_EQ(e.text, QStringLiteral("Maier"));
  EXPECT_EQ(s.Position(), 2);
  ASSERT_TRUE(s.Uebernahme(QStringLiteral("Maier"), true));
  EXPECT_EQ(s.Uebernahme(QStringLiteral("Maier"), true)->value(QStringLiteral("Name")).toString(), QStringLiteral("Maier"));
  // Edited after completion: nothing taken over; the comparison is case-sensitive.
  EXPECT_FALSE(s.Uebernahme(QStringLiteral("maier"), true));
  EXPECT_FALSE(s.Uebernahme(QStringLiteral("Maier"), false));
}

TEST(Smartfill, NachFehlgriffPausiertBisLeerOderNeuBetreten) {
  Liste l{{QStringLiteral("Maier")}};
  Smartfill s;
  s.FeldBetreten();
  auto e = s.TasteGedrueckt(QLatin1Char('x'), QString(), 0, true, true, l.Suche());
  EXPECT_FALSE(e.gefunden);
  EXPECT_FALSE(e.tasteVerwerfen);
  EXPECT_TRUE(e.opKontoNrLeeren);
  EXPECT_EQ(s.Position(), -1);
  EXPECT_EQ(l.aufrufe, 1);
  // Paused: no lookup, and the address number stays.
  e = s.TasteGedrueckt(QLatin1Char('M'), QStringLiteral("x"), 1, true, true, l.Suche());
  EXPECT_FALSE(e.opKontoNrLeeren);
  EXPECT_EQ(l.aufrufe, 1);
  EXPECT_FALSE(s.Uebernahme(QStringLiteral("xM"), true));
  // Emptying the field re-arms.
  s.TextGeaendert(QStringLiteral("x"), true);
  EXPECT_EQ(s.Position(), -1);
  s.TextGeaendert(QString(), true);
  EXPECT_EQ(s.Position(), 0);
  EXPECT_TRUE(s.TasteGedrueckt(QLatin1Char('m'), QString(), 0, true, true, l.Suche()).gefunden);
  // Leaving and entering again re-arms too.
  s.TasteGedrueckt(QLatin1Char('q'), QStringLiteral("Maier"), 5, true, true, l.Suche());
  EXPECT_EQ(s.Position(), -1);
  s.FeldBetreten();
  EXPECT_EQ(s.Position(), 0);
}

TEST(Smartfill, JedesDruckbareZeichenAuchUmlauteAberKeineSteuerzeichen) {
  Liste l{{QStringLiteral("Übel & Co"), QStringLiteral("ÿ-Werk")}};
  Smartfill s;
  auto e = s.TasteGedrueckt(QChar(0x00FC), QString(), 0, true, true, l.Suche());  // ü
  ASSERT_TRUE(e.gefunden);
  EXPECT_EQ(e.text, QStringLiteral("Übel & Co"));
  s.FeldBetreten();
  EXPECT_TRUE(s.TasteGedrueckt(QChar(0x00FF), QString(), 0, true, true, l.Suche()).gefunden);  // ÿ (code 255)
  s.FeldBetreten();
  const int vorher = l.aufrufe;
  e = s.TasteGedrueckt(QChar(8), QStringLiteral("Üb"), 2, true, true, l.Suche());  // backspace
  EXPECT_FALSE(e.opKontoNrLeeren);
  EXPECT_EQ(l.aufrufe, vorher);
  // Completion off for the field: the name still clears the address number, but nothing is looked up.
  e = s.TasteGedrueckt(QLatin1Char('a'), QString(), 0, true, false, l.Suche());
  EXPECT_TRUE(e.opKontoNrLeeren);
  EXPECT_EQ(l.aufrufe, vorher);
  // The BIC field never touches the address number.
  EXPECT_FALSE(s.TasteGedrueckt(QLatin1Char('a'), QString(), 0, false, true, l.Suche()).opKontoNrLeeren);
}

TEST(PraefixSuchen, OhneGrossKleinMitUmlautenUndMaskiert) {
  ZahlungsTestDatenbank t;
  ASSERT_TRUE(t.Db()
                  .Ausfuehren("INSERT INTO Adressen (OPKontoNr, Name, BIC) VALUES ('3', 'ÖKO 100% Bio', 'X'), "
                              "('1', 'Zander', 'Y'), ('2', 'öko_laden', 'Z'), ('4', 'O''Brien', 'W')")
                  .Ok());
  const QStringList spalten{QStringLiteral("OPKontoNr"), QStringLiteral("Name"), QStringLiteral("BIC")};
  std::optional<Smartfill::Treffer> tr;
  ASSERT_TRUE(PraefixSuchen(t.Db(), QStringLiteral("Adressen"), QStringLiteral("Name"), spalten, QStringLiteral("öko"), tr).Ok());
  ASSERT_TRUE(tr);
  EXPECT_EQ(tr->werte.value(QStringLiteral("OPKontoNr")).toString(), QStringLiteral("3"));  // table order, not alphabetical
  EXPECT_EQ(tr->text, QStringLiteral("ÖKO 100% Bio"));
  ASSERT_TRUE(PraefixSuchen(t.Db(), QStringLiteral("Adressen"), QStringLiteral("Name"), spalten, QStringLiteral("ÖKO_"), tr).Ok());
  ASSERT_TRUE(tr);
  EXPECT_EQ(tr->text, QStringLiteral("öko_laden"));  // "_" is literal
  ASSERT_TRUE(PraefixSuchen(t.Db(), QStringLiteral("Adressen"), QStringLiteral("Name"), spalten, QStringLiteral("öko 100%"), tr).Ok());
  ASSERT_TRUE(tr);
  ASSERT_TRUE(PraefixSuchen(t.Db(), QStringLiteral("Adressen"), QStringLiteral("Name"), spalten, QStringLiteral("%"), tr).Ok());
  EXPECT_FALSE(tr);  // "%" is literal, not "everything"
  ASSERT_TRUE(PraefixSuchen(t.Db(), QStringLiteral("Adressen"), QStringLiteral("Name"), spalten, QStringLiteral("o'"), tr).Ok());
  ASSERT_TRUE(tr);
  EXPECT_EQ(tr->text, QStringLiteral("O'Brien"));
  // A field name from a sender's configuration that is not a name fails instead of reaching SQL.
  EXPECT_FALSE(PraefixSuchen(t.Db(), QStringLiteral("Adressen"), QStringLiteral("Name; DROP TABLE Adressen"), spalten,
                             QStringLiteral("a"), tr)
                   .Ok());
  EXPECT_EQ(t.Anzahl("Adressen"), 4);
}

namespace {

class SequenzTest : public ::testing::Test {
 protected:
  SequenzVorhanden Vorhanden() {
    return [this](const QString& konto, const QString& referenz, int code, DbFehler& fehler) {
      return MandatSequenzVorhanden(t.Db(), konto, referenz, code, fehler);
    };
  }
  ZahlungsTestDatenbank t;
};

}  // namespace

TEST_F(SequenzTest, AutomatischErstOderFolgeeinzug) {
  const QString basisAuto = *MandatSequenzText(5);
  auto a = MandatSequenzAufloesen(basisAuto, Zahlart::BasisLastschrift, QStringLiteral("10001"), QStringLiteral("MR-1"),
                                  Vorhanden());
  ASSERT_TRUE(a.fehler.Ok());
  EXPECT_EQ(a.index, std::optional<int>(1));  // no first collection yet: first

  ZahlungsTestDatenbank::Zahlung z;
  z.art = QStringLiteral("L");
  z.mandatSequenz = 2;
  z.mandatReferenz = QStringLiteral("MR-1");
  z.opKontoNr = QStringLiteral("10001");
  z.absenderNr = 7;  // any sender, kind and state counts
  z.erledigt = true;
  t.ZahlungAnlegen(z);
  a = MandatSequenzAufloesen(basisAuto, Zahlart::BasisLastschrift, QStringLiteral("10001"), QStringLiteral("MR-1"), Vorhanden());
  EXPECT_EQ(a.index, std::optional<int>(2));  // recurring
  // Another mandate of the same address: first again.
  a = MandatSequenzAufloesen(basisAuto, Zahlart::BasisLastschrift, QStringLiteral("10001"), QStringLiteral("MR-2"), Vorhanden());
  EXPECT_EQ(a.index, std::optional<int>(1));
  // B2B looks for 12, which does not exist.
  a = MandatSequenzAufloesen(*MandatSequenzText(15), Zahlart::FirmenLastschrift, QStringLiteral("10001"),
                             QStringLiteral("MR-1"), Vorhanden());
  EXPECT_EQ(a.index, std::optional<int>(1));
  z.mandatSequenz = 12;
  t.ZahlungAnlegen(z);
  a = MandatSequenzAufloesen(*MandatSequenzText(15), Zahlart::FirmenLastschrift, QStringLiteral("10001"),
                             QStringLiteral("MR-1"), Vorhanden());
  EXPECT_EQ(a.index, std::optional<int>(2));
}

TEST_F(SequenzTest, FesteCodesNurZurPassendenLastschriftart) {
  const auto v = Vorhanden();
  EXPECT_EQ(MandatSequenzAufloesen(QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"), Zahlart::BasisLastschrift, {}, {}, v).index,
            std::optional<int>(1));
  EXPECT_EQ(MandatSequenzAufloesen(QStringLiteral("4"), Zahlart::BasisLastschrift, {}, {}, v).index, std::optional<int>(3));
  EXPECT_EQ(MandatSequenzAufloesen(QStringLiteral("12-Mehrfach-Einzug Ersteinzug (Firmen)"), Zahlart::FirmenLastschrift, {}, {}, v).index,
            std::optional<int>(1));
  EXPECT_FALSE(MandatSequenzAufloesen(QStringLiteral("12-Mehrfach"), Zahlart::BasisLastschrift, {}, {}, v).index);
  EXPECT_FALSE(MandatSequenzAufloesen(QStringLiteral("3"), Zahlart::FirmenLastschrift, {}, {}, v).index);
  EXPECT_FALSE(MandatSequenzAufloesen(QStringLiteral("0-Ohne"), Zahlart::BasisLastschrift, {}, {}, v).index);
  EXPECT_FALSE(MandatSequenzAufloesen(QStringLiteral("5"), Zahlart::Ueberweisung, {}, {}, v).index);
  EXPECT_FALSE(MandatSequenzAufloesen(QStringLiteral("Folgeeinzug"), Zahlart::BasisLastschrift, {}, {}, v).index);
  EXPECT_EQ(FuehrendeZahl(QStringLiteral("  13-x")), 13);
}

TEST_F(SequenzTest, FehlschlagIstMeldungNieKeinErsteinzug) {
  t.Db().SetzeStoerung([](const QString& sql) {
    return sql.contains(QLatin1String("MandatSequenz")) ? DbFehler{11, QStringLiteral("beschädigt")} : DbFehler{};
  });
  const auto a = MandatSequenzAufloesen(*MandatSequenzText(5), Zahlart::BasisLastschrift, QStringLiteral("1"),
                                        QStringLiteral("M"), Vorhanden());
  t.Db().SetzeStoerung({});
  EXPECT_FALSE(a.index);  // the option set stays as it was
  EXPECT_FALSE(a.fehler.Ok());
  EXPECT_EQ(a.Meldungstext(), QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 11\rBeschreibung: beschädigt"));
}

TEST(Empfaengeruebernahme, AusSuchlisteUndAusAdresse) {
  QVariantList werte = {QVariant(), QStringLiteral("Kunde"), QVariant(), QStringLiteral("COBADEFF"),
                        QStringLiteral("DE89370400440532013000"), QStringLiteral("MR"), QStringLiteral("2023-04-01"),
                        QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"), QStringLiteral("10001")};
  auto u = UebernahmeAusSuchliste(werte, Zahlart::BasisLastschrift);
  EXPECT_TRUE(u.opKontoNrLeeren);
  EXPECT_EQ(u.name, std::optional<QString>(QStringLiteral("Kunde")));
  EXPECT_FALSE(u.bank);  // Null leaves the field as it is
  EXPECT_EQ(u.mandatDatum, std::optional<QDate>(QDate(2023, 4, 1)));
  EXPECT_EQ(u.opKontoNr, std::optional<QString>(QStringLiteral("10001")));
  ASSERT_TRUE(u.sequenzText);
  u = UebernahmeAusSuchliste(werte, Zahlart::Ueberweisung);
  EXPECT_FALSE(u.mandatReferenz);
  EXPECT_FALSE(u.mandatDatum);
  EXPECT_FALSE(u.sequenzText);

  const QStringList felder = L({"", "Name", "BankName", "BankBIC", "BankIBAN", "MandatReferenz", "MandatDatum", ""});
  const QVariantMap satz = M({{"opkontonr", "K1"}, {"Name", "Kunde"}, {"BankName", "  "}, {"BankBIC", "GENODEF1"},
                            {"BankIBAN", "DE02"}, {"MandatReferenz", "R"}, {"MandatSequenz", "2"}});
  const auto a = UebernahmeAusAdresse(satz, felder, QStringLiteral("OPKontoNr"), Zahlart::FirmenLastschrift);
  EXPECT_FALSE(a.name);  // the field holds it already
  EXPECT_EQ(a.bank, std::optional<QString>(QString()));  // blank: emptied, nothing of the payee before stays
  EXPECT_TRUE(a.mandatDatumLeeren);                        // defined, the record holds none: emptied
  EXPECT_EQ(a.bic, std::optional<QString>(QStringLiteral("GENODEF1")));
  EXPECT_EQ(a.mandatReferenz, std::optional<QString>(QStringLiteral("R")));
  EXPECT_FALSE(a.sequenzText);  // its transport field is not defined
  EXPECT_EQ(a.opKontoNr, std::optional<QString>(QStringLiteral("K1")));
  EXPECT_FALSE(a.opKontoNrLeeren);
  // A source without bank name and mandate date fields leaves those fields as they are; a transfer takes no mandate.
  const QStringList ohne = L({"", "Name", "", "BankBIC", "BankIBAN", "MandatReferenz", "", ""});
  const auto ohneFelder = UebernahmeAusAdresse(satz, ohne, QString(), Zahlart::BasisLastschrift);
  EXPECT_FALSE(ohneFelder.bank);
  EXPECT_FALSE(ohneFelder.mandatDatumLeeren);
  const auto ueberweisung = UebernahmeAusAdresse(satz, felder, QString(), Zahlart::Ueberweisung);
  EXPECT_FALSE(ueberweisung.mandatDatumLeeren);
  EXPECT_FALSE(ueberweisung.mandatReferenz);
}

TEST(Transportfelder, ZerlegtUndSpaltenEinmal) {
  const QStringList f = TransportfelderZerlegen(QStringLiteral("Name; BankName;BankBIC"));
  ASSERT_EQ(f.size(), 8);
  EXPECT_TRUE(f.at(0).isEmpty());
  EXPECT_EQ(f.at(2), QStringLiteral("BankName"));
  EXPECT_TRUE(f.at(7).isEmpty());
  EXPECT_EQ(TransportfelderZerlegen(QStringLiteral("a;b;c;d;e;f;g;h;i")).size(), 8);
  EXPECT_EQ(AdressSpalten(f, QStringLiteral("opkontonr")), L({"Name", "BankName", "BankBIC", "opkontonr"}));
  EXPECT_EQ(AdressSpalten(TransportfelderZerlegen(QStringLiteral("OPKontoNr;Name")), QStringLiteral("OPKontoNr")),
            L({"OPKontoNr", "Name"}));
}
