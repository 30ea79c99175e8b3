// The shipped reports printed to PDF with the widest values a printout must show whole (the largest
// amount, an IBAN of 34 characters, a BIC of 11 wide letters) and a name of 70 characters, read back
// with poppler; the report files as earlier versions shipped them (kept in an existing installation)
// print the same values whole; the control list's head says what its date is.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <memory>

#include "LaufTestDatenbank.h"
#include "common/Uhr.h"
#include "platform/db/Recordset.h"
#include "PdfDruck.h"
#include "platform/report/Poppler.h"
#include "platform/report/core/PdfReportengine.h"
#include "platform/report/core/Seitenaufbau.h"
#include "printing/core/ReportDrucken.h"
#include "printing/core/Reportentwurf.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/druck/Kontrollliste.h"
#include "sepafiles/druck/Zahlungslistendaten.h"
#include "testsupport/TestOrdner.h"

namespace {

const QString kBetrag = QStringLiteral("-999.999.999,99");
const QString kIban = QStringLiteral("MT84MALT011000012345MTLCAST001S999");   // 34 characters
const QString kBic = QStringLiteral("WMWMDEMMWWW");
const QString kName = QStringLiteral("Wilhelmine Mustermann Großkopf Maschinenbau und Vermietung Sachsen mbH");
const QSet<QString> kBetragsfelder = {QStringLiteral("Betrag"), QStringLiteral("Gesamtbetrag"),
                                      QStringLiteral("ZahlungsBetrag"), QStringLiteral("ZahlungGesamt"),
                                      QStringLiteral("OPBetrag"), QStringLiteral("SkontoBetrag")};

bool IstVariable(const QString& name) {
  for (const char* vorne : {"Absender.", "Allgemeines.", "Zahlungsliste."})
    if (name.startsWith(QLatin1String(vorne))) return true;
  return name == QLatin1String("Seite") || name == QLatin1String("Seiten");
}

// Rows in memory: every field a report's columns name, with the widest values.
class Breiteste : public Reportdaten {
 public:
  Breiteste(const Reportlayout& layout, int anzahl) {
    QStringList namen;
    if (!layout.gruppe.isEmpty()) namen << layout.gruppe;
    for (const Reportspalte& s : layout.spalten)
      for (const Reportvorlage::Teil& t : Reportvorlage::Zerlegen(s.wert).Platzhalter())
        if (!IstVariable(t.name) && !namen.contains(t.name)) namen << t.name;
    for (const QString& n : namen)
      m_spalten << Reportdatenspalte{n, kBetragsfelder.contains(n) ? FeldTyp::Waehrung : FeldTyp::Text, {}, {}, {}};
    for (int z = 0; z < anzahl; ++z) {
      QVariantList zeile;
      for (const QString& n : namen) {
        if (kBetragsfelder.contains(n)) zeile << QVariant::fromValue(*Waehrung::ParseDeutsch(kBetrag));
        else if (n == layout.gruppe) zeile << QString::number(z + 1);   // each row a group of its own
        else if (n.endsWith(QLatin1String("IBAN"))) zeile << kIban;
        else if (n.endsWith(QLatin1String("BIC"))) zeile << kBic;
        else if (n == QLatin1String("Name")) zeile << kName;
        else zeile << QStringLiteral("x");
      }
      m_zeilen << zeile;
    }
  }
  const QList<Reportdatenspalte>& Spalten() const override { return m_spalten; }
  int Anzahl() override { return int(m_zeilen.size()); }
  QVariant Wert(int zeile, int spalte) override { return m_zeilen.at(zeile).at(spalte); }
  DbFehler Fehler() const override { return {}; }

 private:
  QList<Reportdatenspalte> m_spalten;
  QList<QVariantList> m_zeilen;
};

class MitgelieferteReportsTest : public ::testing::Test {
 protected:
  // The sender's recordset for the print; `breit`: the sender's IBAN and BIC are the widest too (the footer).
  void AbsenderOeffnen(bool breit) {
    if (breit) ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Absender SET IBAN = ?, BIC = ? WHERE AbsenderNr = 1", {kIban, kBic}));
    DbFehler f;
    absender = Recordset::Oeffnen(t.Db(), Abfrage::Tabelle(QStringLiteral("Absender")), RecordsetTyp::Tabelle, f);
    ASSERT_TRUE(absender);
  }

  // The report printed to PDF over three rows of the widest values; the PDF's text.
  QString Drucken(const QString& report, const QString& pdf) {
    if (!absender) AbsenderOeffnen(true);
    const Reportdatei::Ergebnis e = Reportdatei::Laden(report);
    EXPECT_TRUE(e.layout) << report.toStdString() << ": " << e.beschreibung.toStdString();
    if (!e.layout) return {};
    Breiteste daten(*e.layout, kZeilen);
    const Druckformular formular{.titel = QStringLiteral("Liste"), .absenderDaten = absender.get(), .absenderNr = 1,
                                 .reportDatum = QDate(2026, 12, 8)};
    const Druckergebnis r = PdfDrucken(
        daten, report, pdf,
        ZahlungslistenVariablen(QStringLiteral("Alle"), QStringLiteral("Alle"), *Waehrung::ParseDeutsch(kBetrag)), formular);
    EXPECT_EQ(r.code, Report::Ok) << report.toStdString() << ": " << r.meldungen.join(QLatin1Char('|')).toStdString();
    return Poppler::Text(pdf);
  }

  // Every IBAN, BIC and amount of the rows whole in the text, nothing replaced ("###"); with `nichtsGekuerzt`
  // no text is cut ("…") at all, column titles included.
  void GanzGelesen(const QString& report, const QString& text, bool nichtsGekuerzt) {
    const Reportlayout layout = *Reportdatei::Laden(report).layout;
    const std::string datei = QFileInfo(report).fileName().toStdString();
    if (nichtsGekuerzt) EXPECT_FALSE(text.contains(QStringLiteral("…"))) << datei << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("###"))) << datei << "\n" << text.toStdString();
    for (const Reportspalte& s : layout.spalten) {
      const Reportvorlage v = Reportvorlage::Zerlegen(s.wert);
      const Reportvorlage::Teil* feld = v.EinzigesFeld();
      if (!feld) continue;
      const QString wert = kBetragsfelder.contains(feld->name) ? kBetrag
                           : feld->name.endsWith(QLatin1String("IBAN")) ? kIban
                           : feld->name.endsWith(QLatin1String("BIC"))  ? kBic
                                                                         : QString();
      if (!wert.isEmpty()) {
        EXPECT_GE(text.count(wert), kZeilen) << datei << " " << s.titel.toStdString() << "\n" << text.toStdString();
      }
      // The name wraps, but every word of it is there in every row.
      if (feld->name == QLatin1String("Name")) {
        for (const QString& wort : kName.split(QLatin1Char(' ')))
          EXPECT_GE(text.count(wort), kZeilen) << datei << ": " << wort.toStdString();
      }
    }
  }

  static constexpr int kZeilen = 3;
  LaufTestDatenbank t;
  std::unique_ptr<Recordset> absender;
  TestOrdner ordner;
};

QStringList MitgelieferteReports() {
  QStringList dateien;
  QDirIterator it(QStringLiteral(TAMO_SOURCE_DIR "/resources"), {QStringLiteral("*.LST")}, QDir::Files);
  while (it.hasNext()) dateien << it.next();
  dateien.sort();
  return dateien;
}

// Every shipped report prints the widest amount, IBAN and BIC whole in every row.
TEST_F(MitgelieferteReportsTest, DruckenBetragIbanUndBicGanz) {
  const QStringList reports = MitgelieferteReports();
  ASSERT_GE(reports.size(), 9);
  for (const QString& report : reports) {
    const QString text = Drucken(report, ordner.Datei(QFileInfo(report).baseName() + QStringLiteral(".pdf")));
    GanzGelesen(report, text, true);
  }
}

// The widths as the files give them already hold those values at the report's font, and the columns
// fit the page: the print need not take room from other columns (it would, for a report a user made
// narrower). A new IBAN or BIC column of the designer is wide enough at 8 and 9 points.
TEST(MitgelieferteReports, SpaltenbreitenTragenBetragIbanUndBic) {
  for (const QString& report : MitgelieferteReports()) {
    const Reportdatei::Ergebnis e = Reportdatei::Laden(report);
    ASSERT_TRUE(e.layout) << report.toStdString();
    int ganzwerte = 0;
    for (const Reportspalte& s : e.layout->spalten) {
      const auto feld = Reportentwurf::EinzigesFeld(s.wert);
      const QVariant wert = feld && kBetragsfelder.contains(feld->name) ? QVariant::fromValue(Waehrung()) : QVariant(QString());
      const double noetig = Seitenaufbau::Mindestbreite(*e.layout, s, wert);
      if (noetig > 0) ++ganzwerte;
      EXPECT_LE(noetig, s.breite) << QFileInfo(report).fileName().toStdString() << " " << s.titel.toStdString();
    }
    EXPECT_GE(ganzwerte, 1) << report.toStdString();
    EXPECT_LE(Reportentwurf::Spaltenbreite(*e.layout), Reportentwurf::Nutzbreite(*e.layout) + 0.01) << report.toStdString();
  }
  for (const double punkte : {8.0, 9.0}) {
    Reportlayout l;
    l.groesse = punkte;
    for (const char* name : {"IBAN", "BankBIC", "Absender.IBAN"}) {
      const Reportspalte s =
          Reportentwurf::SpalteAusFeld({QString::fromUtf8(name), QString::fromUtf8(name), Report::Typ::Text, {}});
      EXPECT_FALSE(s.umbruch) << name;
      EXPECT_GT(Seitenaufbau::Mindestbreite(l, s, QString()), 0) << name;
      EXPECT_LE(Seitenaufbau::Mindestbreite(l, s, QString()), s.breite) << name << " " << punkte;
    }
  }
}

// A report file copied into the program folder by an earlier version keeps its narrow IBAN and BIC
// columns (the BIC printed "HYVEDEMMX…"): the print gives them the room they need all the same, taken from
// the other columns (whose titles may then be shortened).
TEST_F(MitgelieferteReportsTest, FruehereReportdateienDruckenGanz) {
  for (const char* name : {"Zahlungsliste.LST", "InternAdressen.LST"}) {
    const QString report = QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/bisher/") + QString::fromUtf8(name);
    const QString text = Drucken(report, ordner.Datei(QStringLiteral("bisher-") + QString::fromUtf8(name) + QStringLiteral(".pdf")));
    GanzGelesen(report, text, false);
    for (const QString& ganz : {kIban, kBic}) EXPECT_FALSE(text.contains(ganz.left(8) + QStringLiteral("…"))) << name;
  }
}

// The control list of a real run: its head labels the creation date as what it is, and the run's
// largest amount, a 31-character IBAN with letters, the BIC of the issue and a 70-character name print whole.
TEST_F(MitgelieferteReportsTest, KontrolllisteNenntDasErstellungsdatumUndDruecktGanz) {
  AbsenderOeffnen(false);
  const QDateTime zeitpunkt(QDate(2026, 12, 8), QTime(9, 30));
  Uhr::Festhalten(zeitpunkt);
  LaufTestDatenbank::Auftrag a;
  // 70 characters as the file carries them (a "ß" would become "ss" there).
  a.name = QStringLiteral("Wilhelmine Mustermann Grosskopf Maschinenbau und Vermietung Sachsen KG");
  ASSERT_EQ(a.name.size(), 70);
  a.iban = QStringLiteral("MT84MALT011000012345MTLCAST001S");
  a.bic = QStringLiteral("HYVEDEMMXXX");
  a.zeilenCent = {99999999999};
  t.Anlegen(a);
  SepaAuswahlAnfrage auswahl;
  auswahl.Art = SepaArt::Ueberweisung;
  auswahl.Heute = zeitpunkt.date();
  const SepaAuswahl gewaehlt = SepaSelektion::ZahlungenSelektieren(t.Db(), auswahl);
  ASSERT_EQ(gewaehlt.ZahlungNummern.size(), 1) << gewaehlt.Meldung.toStdString();
  const SepaLaufErgebnis lauf =
      SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(SepaArt::Ueberweisung, gewaehlt.ZahlungNummern, zeitpunkt, ordner.Pfad()));
  Uhr::Setzen({});
  ASSERT_TRUE(lauf.Ok()) << lauf.Meldung.toStdString();

  const QString pdf = ordner.Datei(QStringLiteral("kontrollliste.pdf"));
  PdfReportengine engine;
  const Druckformular formular{.titel = QStringLiteral("SEPA-Datei erstellen"), .absenderDaten = absender.get(),
                               .absenderNr = 1, .reportDatum = zeitpunkt.date()};
  const Druckergebnis r = Kontrollliste::PdfSchreiben(t.Db(), lauf, zeitpunkt.date(), pdf,
                                                      QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST"),
                                                      formular, engine);
  ASSERT_EQ(r.code, Report::Ok) << r.meldungen.join(QLatin1Char('|')).toStdString();
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Erstellungsdatum: 08.12.2026"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("Status:"))) << text.toStdString();
  for (const QString& ganz : {a.iban, a.bic, kBetrag})
    EXPECT_GE(text.count(ganz), 1) << ganz.toStdString() << "\n" << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("…")));
  EXPECT_FALSE(text.contains(QStringLiteral("###")));
  for (const QString& wort : a.name.split(QLatin1Char(' '))) EXPECT_TRUE(text.contains(wort)) << wort.toStdString();
}

}  // namespace
