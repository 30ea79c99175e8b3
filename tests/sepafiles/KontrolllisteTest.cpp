// The control list of a run against the file it describes: its rows' signed amounts and its printed
// total are what the file carries, orders without remittance lines (the file pays their ZahlungGesamt)
// included; a total that cannot be read is a failure, never a 0 on paper.

#include <gtest/gtest.h>

#include <QFile>

#include "LaufTestDatenbank.h"
#include "XPfad.h"
#include "common/Uhr.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/druck/Kontrollliste.h"
#include "testsupport/TestOrdner.h"

namespace {

const QDateTime Zeitpunkt(QDate(2024, 6, 5), QTime(14, 5, 9));

struct KontrollFall {
  const char* name;
  SepaArt art;
  QList<QList<int64_t>> auftraege;   // line amounts in cent per order; empty = no lines
  QList<int64_t> ohneZeilenCent;     // ZahlungGesamt of the orders without lines, in their order
};

class KontrolllisteTest : public ::testing::TestWithParam<KontrollFall> {
 protected:
  void SetUp() override { Uhr::Festhalten(Zeitpunkt); }
  void TearDown() override {
    t.Db().SetzeStoerung({});
    Uhr::Setzen({});
  }

  SepaLaufErgebnis Laufen() {
    const KontrollFall& fall = GetParam();
    int ohne = 0;
    for (const QList<int64_t>& zeilen : fall.auftraege) {
      LaufTestDatenbank::Auftrag a;
      if (fall.art != SepaArt::Ueberweisung) a = Lastschrift(3);
      a.zeilenCent = zeilen;
      if (zeilen.isEmpty()) a.gesamtCent = fall.ohneZeilenCent.at(ohne++);
      t.Anlegen(a);
    }
    SepaAuswahlAnfrage a;
    a.Art = fall.art;
    a.Heute = Zeitpunkt.date();
    const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), a);
    EXPECT_EQ(auswahl.ZahlungNummern.size(), fall.auftraege.size()) << auswahl.Meldung.toStdString();
    return SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(fall.art, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad()));
  }

  // The file's control sum with the sign of the payment list (credit transfers negative).
  Waehrung Dateisumme(const SepaLaufErgebnis& e) {
    Waehrung summe;
    for (const QString& pfad : e.Dateien) {
      QFile f(pfad);
      EXPECT_TRUE(f.open(QIODevice::ReadOnly));
      const XPfad x(f.readAll());
      summe = summe + *Waehrung::ParseInvariant(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")));
    }
    return GetParam().art == SepaArt::Ueberweisung ? -summe : summe;
  }

  static QVariant Variable(const QList<ReportVariable>& variablen, const QString& name) {
    for (const ReportVariable& v : variablen)
      if (v.Name == name) return v.Wert;
    return {};
  }

  LaufTestDatenbank t;
  TestOrdner ziel;
};

TEST_P(KontrolllisteTest, ZeilenUndSummeWieDieDatei) {
  const SepaLaufErgebnis e = Laufen();
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  const Waehrung datei = Dateisumme(e);

  QString fehler;
  std::unique_ptr<Reportdaten> daten = Kontrollliste::Daten(t.Db(), e, fehler);
  ASSERT_TRUE(daten) << fehler.toStdString();
  int betrag = -1;
  for (qsizetype i = 0; i < daten->Spalten().size(); ++i)
    if (daten->Spalten().at(i).name == QLatin1String("Betrag")) betrag = int(i);
  ASSERT_GE(betrag, 0);
  Waehrung zeilen;
  for (int z = 0; z < daten->Anzahl(); ++z) zeilen = zeilen + daten->Wert(z, betrag).value<Waehrung>();
  EXPECT_EQ(zeilen, datei) << zeilen.FormatDeutsch().toStdString() << " / " << datei.FormatDeutsch().toStdString();

  DbFehler f;
  const QList<ReportVariable> variablen = Kontrollliste::Variablen(t.Db(), e, Zeitpunkt.date(), f);
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  const Waehrung summe = Variable(variablen, QStringLiteral("Zahlungsliste.Summe")).value<Waehrung>();
  EXPECT_EQ(summe, datei) << summe.FormatDeutsch().toStdString() << " / " << datei.FormatDeutsch().toStdString();
}

// A total that cannot be read leaves no variables and names the failure: the list never prints 0,00.
TEST_P(KontrolllisteTest, UnlesbareSummeIstEinFehler) {
  const SepaLaufErgebnis e = Laufen();
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  t.Db().SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.contains(QStringLiteral("tamo_summe("))) return {1, QStringLiteral("gestört")};
    return {};
  });
  DbFehler f;
  EXPECT_TRUE(Kontrollliste::Variablen(t.Db(), e, Zeitpunkt.date(), f).isEmpty());
  EXPECT_EQ(f.Beschreibung, QStringLiteral("gestört"));
}

INSTANTIATE_TEST_SUITE_P(
    MitUndOhneZeilen, KontrolllisteTest,
    ::testing::Values(KontrollFall{"UeberweisungenMitZeilen", SepaArt::Ueberweisung, {{10000, 2550}, {99}}, {}},
                      KontrollFall{"UeberweisungOhneZeilen", SepaArt::Ueberweisung, {{10000}, {}}, {1250}},
                      KontrollFall{"NurOhneZeilen", SepaArt::Ueberweisung, {{}, {}}, {1250, 99999999999}},
                      KontrollFall{"LastschriftOhneZeilen", SepaArt::BasisLastschrift, {{}, {4000, 1}}, {777}}),
    [](const ::testing::TestParamInfo<KontrollFall>& info) { return std::string(info.param.name); });

}  // namespace
