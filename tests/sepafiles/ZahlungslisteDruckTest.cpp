// The shipped payment list printed through the driver and the engine without windows over the rows a payment print
// gives (kind, state, signed amounts), read back with poppler.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <map>
#include <memory>
#include <set>

#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "PdfDruck.h"
#include "platform/report/Poppler.h"
#include "platform/report/core/PdfReportengine.h"
#include "platform/report/core/Seitenaufbau.h"
#include "printing/core/ReportDrucken.h"
#include "sepafiles/core/Zahlungssumme.h"
#include "sepafiles/core/ZahlungslisteAbfrage.h"
#include "sepafiles/druck/Zahlungslistendaten.h"
#include "testsupport/TestOrdner.h"

namespace {

const QString kShipped = QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST");
const Waehrung kGross = Waehrung::AusCent(99999999999);   // 999.999.999,99

class ZahlungslisteDruckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = Datenbank::InSpeicher();
    QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
    ASSERT_FALSE(db->SkriptAusfuehren(QString::fromUtf8(schema.readAll())));
    ASSERT_FALSE(db->SkriptAusfuehren(QStringLiteral(
        "UPDATE Absender SET Name = 'Bäckerei Größe & Söhne', IBAN = 'DE89370400440532013000' WHERE AbsenderNr = 1;")));
    DbFehler f;
    absender = Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("Absender")), RecordsetTyp::Tabelle, f);
    ASSERT_TRUE(absender);
  }
  void Zahlung(int nr, const char* art, bool erledigt, const QList<Waehrung>& zeilen, const QString& name = {}) {
    Waehrung gesamt;
    for (const Waehrung& w : zeilen) gesamt = gesamt + w;
    ASSERT_FALSE(db->Ausfuehren(
        SqlText("INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name, IBAN, BIC, ZahlungGesamt, \"Fällig\", "
                "EinzelReferenz, Erledigt) VALUES (?, 1, ?, ?, 'DE02120300000000202051', 'BYLADEM1001', ?, ?, ?, ?)"),
        {nr, QString::fromLatin1(art), name.isEmpty() ? QStringLiteral("Empfänger Nr. %1 Müßig").arg(nr) : name,
         QVariant::fromValue(gesamt), QDate(2025, 4, 1).addDays(nr), QStringLiteral("E2E-%1").arg(nr), erledigt ? 1 : 0}));
    for (qsizetype z = 0; z < zeilen.size(); ++z)
      ASSERT_FALSE(db->Ausfuehren(SqlText("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, "
                                          "ZahlungsBetrag) VALUES (?, ?, ?, ?)"),
                                  {nr, int(z + 1), QStringLiteral("RE%1Z%2").arg(nr).arg(z + 1), QVariant::fromValue(zeilen.at(z))}));
  }

  // The payment list "Alle / Alle" of the sender, as the window lists and totals it.
  int Drucken(const QString& pdf, const QString& report = kShipped) {
    ZahlungslisteFilter filter;
    filter.absenderNr = 1;
    const Abfrage a = ZahlungslisteAbfrage(filter);
    DbFehler f;
    std::unique_ptr<Recordset> rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, f);
    EXPECT_TRUE(rs) << f.Meldungstext().toStdString();
    if (!rs) return -1;
    summe = VorzeichenSumme(*db, a.bedingung, f).value_or(Waehrung());
    EXPECT_TRUE(f.Ok());
    Zahlungslistendaten daten(std::make_unique<RecordsetReportdaten>(*rs));
    const Druckformular formular{.titel = QStringLiteral("Zahlungsliste"),
                                 .absenderDaten = absender.get(),
                                 .absenderNr = 1,
                                 .reportDatum = QDate(2025, 3, 14)};
    ergebnis = PdfDrucken(daten, report, pdf, ZahlungslistenVariablen(QStringLiteral("Alle"), QStringLiteral("Alle"), summe),
                          formular);
    return ergebnis.code;
  }

  std::unique_ptr<Datenbank> db;
  std::unique_ptr<Recordset> absender;
  TestOrdner ordner;
  Druckergebnis ergebnis;   // of the last print: the failures the driver reports
  Waehrung summe;
};

// The amount at the end of a line of the PDF text ("... Übertrag ... -1.234,56").
std::optional<Waehrung> BetragAmEnde(const QString& zeile) {
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("(-?[0-9.]+,[0-9]{2})\\s*$")).match(zeile);
  if (!m.hasMatch()) return std::nullopt;
  return Waehrung::ParseInvariant(m.captured(1).remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.')));
}

// "Alle / Alle" over transfers and debits, open and done: every row names its kind and state and
// shows its amount with the sign of the window's total; the printed total is that total (the old
// report added the amounts without their signs).
TEST_F(ZahlungslisteDruckTest, GemischteArtenMitArtStatusVorzeichenUndDerSummeDesFensters) {
  Zahlung(1, "G", false, {Waehrung::AusCent(150022), Waehrung::AusCent(100000)});   // 2.500,22 out
  Zahlung(2, "L", true, {Waehrung::AusCent(22500)});                               //   225,00 in
  Zahlung(3, "G", true, {Waehrung::AusCent(50000)});                               //   500,00 out
  Zahlung(4, "L", false, {Waehrung::AusCent(50000)});                              //   500,00 in
  const QString pdf = ordner.Datei(QStringLiteral("liste.pdf"));
  ASSERT_EQ(Drucken(pdf), Report::Ok);
  EXPECT_EQ(ergebnis.meldungen.size(), 0) << ergebnis.meldungen.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(summe, -Waehrung::AusCent(227522));
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: -2.275,22 EUR"))) << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("3.725,22")));   // the unsigned sum

  // Each order's first row: kind, state, signed line amount and signed order amount.
  const QStringList zeilen = text.split(QLatin1Char('\n'));
  auto zeileMit = [&zeilen](const QString& was) {
    for (const QString& z : zeilen)
      if (z.contains(was)) return z.simplified();
    return QString();
  };
  EXPECT_TRUE(zeileMit(QStringLiteral("RE1Z1")).contains(QStringLiteral("Überweisung"))) << zeileMit(QStringLiteral("RE1Z1")).toStdString();
  EXPECT_TRUE(zeileMit(QStringLiteral("RE1Z1")).endsWith(QStringLiteral("-1.500,22 -2.500,22")));
  EXPECT_TRUE(zeileMit(QStringLiteral("RE1Z2")).endsWith(QStringLiteral("-1.000,00")));
  EXPECT_TRUE(zeileMit(QStringLiteral("RE2Z1")).contains(QStringLiteral("Lastschrift")));
  EXPECT_TRUE(zeileMit(QStringLiteral("RE2Z1")).endsWith(QStringLiteral("225,00 225,00")));
  EXPECT_TRUE(zeileMit(QStringLiteral("RE3Z1")).endsWith(QStringLiteral("-500,00 -500,00")));
  // The state stands below the kind (the column wraps).
  EXPECT_EQ(text.count(QStringLiteral("offen")), 2);
  EXPECT_EQ(text.count(QStringLiteral("erledigt")), 2);
}

// Many orders over several pages: an order's lines never part, each page but the last ends with the
// sum so far ("Übertrag") and the next page begins with it; the sums are those of the rows above.
TEST_F(ZahlungslisteDruckTest, MehrereSeitenHaltenZahlungenZusammenUndTragenDieSummeVor) {
  ASSERT_FALSE(db->BeginTrans());
  std::map<std::pair<int, int>, Waehrung> betraege;
  for (int i = 1; i <= 60; ++i) {
    QList<Waehrung> zeilen;
    for (int z = 1; z <= i % 7 + 1; ++z) zeilen << Waehrung::AusCent(100 * i + z);
    Zahlung(i, i % 3 == 0 ? "L" : "G", i % 5 == 0, zeilen);
    for (int z = 1; z <= zeilen.size(); ++z)
      betraege[{i, z}] = VorzeichenBetrag(i % 3 == 0 ? QStringLiteral("L") : QStringLiteral("G"), zeilen.at(z - 1));
  }
  ASSERT_FALSE(db->CommitTrans());
  const QString pdf = ordner.Datei(QStringLiteral("Zahlungsübersicht.pdf"));
  ASSERT_EQ(Drucken(pdf), Report::Ok);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
  const int seiten = Poppler::Seiten(pdf);
  ASSERT_GE(seiten, 3);
  const QStringList blaetter = Poppler::Text(pdf).split(QLatin1Char('\f'));
  ASSERT_GE(blaetter.size(), seiten);

  const QRegularExpression zeileAusdruck(QStringLiteral("RE(\\d+)Z(\\d+)"));
  std::map<int, int> seiteDerZahlung;
  QList<std::pair<int, int>> gelesen;
  Waehrung bisher;
  for (int s = 0; s < seiten; ++s) {
    const QStringList zeilen = blaetter.at(s).split(QLatin1Char('\n'));
    QStringList uebertraege;
    for (const QString& z : zeilen)
      if (z.contains(QStringLiteral("Übertrag"))) uebertraege << z;
    EXPECT_EQ(uebertraege.size(), (s > 0) + (s + 1 < seiten)) << "Seite " << s + 1;
    if (s > 0 && !uebertraege.isEmpty()) EXPECT_EQ(BetragAmEnde(uebertraege.first()), bisher) << "Kopf der Seite " << s + 1;
    for (auto it = zeileAusdruck.globalMatch(blaetter.at(s)); it.hasNext();) {
      const auto m = it.next();
      const int nr = m.captured(1).toInt(), z = m.captured(2).toInt();
      gelesen << std::pair{nr, z};
      bisher = bisher + betraege[{nr, z}];
      const auto [eintrag, neu] = seiteDerZahlung.insert({nr, s});
      EXPECT_EQ(eintrag->second, s) << "Zahlung " << nr << " ist geteilt";
    }
    if (s + 1 < seiten && !uebertraege.isEmpty()) EXPECT_EQ(BetragAmEnde(uebertraege.last()), bisher) << "Fuß der Seite " << s + 1;
  }
  // In the list's order: transfers first, then debits, each by number.
  QList<std::pair<int, int>> erwartet;
  for (const bool lastschrift : {false, true})
    for (const auto& [schluessel, betrag] : betraege)
      if ((schluessel.first % 3 == 0) == lastschrift) erwartet << schluessel;
  EXPECT_EQ(gelesen, erwartet);
  EXPECT_EQ(bisher, summe);
  const QString text = blaetter.join(QString());
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: ") + summe.FormatDeutsch() + QStringLiteral(" EUR")));
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Zahlungen: 60")));

  // Every word lies inside the margins (10 / 12 mm), on every page.
  QList<Poppler::Seite> formate;
  const QList<Poppler::Wort> woerter = Poppler::Woerter(pdf, &formate);
  const double mm = 72.0 / 25.4;
  for (const Poppler::Wort& w : woerter) {
    const Poppler::Seite& b = formate.at(w.seite - 1);
    const QRectF innen(10 * mm - 0.5, 12 * mm - 0.5, b.breite - 20 * mm + 1, b.hoehe - 24 * mm + 1);
    EXPECT_TRUE(innen.contains(w.box)) << w.text.toStdString() << " auf Seite " << w.seite;
  }
}

TEST_F(ZahlungslisteDruckTest, LeereListeHatTitelUndNullsummen) {
  const QString pdf = ordner.Datei(QStringLiteral("leer.pdf"));
  ASSERT_EQ(Drucken(pdf), Report::Ok);
  EXPECT_EQ(Poppler::Seiten(pdf), 1);
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Zahlungen: 0")));
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: 0,00 EUR")));
  EXPECT_TRUE(text.contains(QStringLiteral("Seite 1 von 1")));
  EXPECT_FALSE(text.contains(QStringLiteral("Übertrag")));
}

// The largest amount an order may have, on every line of twelve orders: each prints whole, and so
// does the thirteen-digit total; nothing is cut ("…") or replaced ("###").
TEST_F(ZahlungslisteDruckTest, GroessteBetraegeUndDreizehnstelligeSummeGanz) {
  for (int i = 1; i <= 12; ++i) Zahlung(i, "G", false, {kGross}, QStringLiteral("Sehr großer Name einer Firma mit Zusatz %1").arg(i));
  const QString pdf = ordner.Datei(QStringLiteral("gross.pdf"));
  ASSERT_EQ(Drucken(pdf), Report::Ok);
  const QString text = Poppler::Text(pdf);
  EXPECT_EQ(text.count(QStringLiteral("-999.999.999,99")), 24) << text.toStdString();   // line and order amount
  EXPECT_EQ(text.count(QStringLiteral("-11.999.999.999,88")), 2);   // sum row and summary
  EXPECT_FALSE(text.contains(QStringLiteral("###")));
  EXPECT_FALSE(text.contains(QStringLiteral("…")));
}

// Every shipped report laid out with the largest amounts in every amount field and a thirteen-digit
// total in the total: the texts on the pages hold them whole. The payment list is the one that
// prints amounts; the check walks all, so a new one is covered as it comes.
TEST(MitgelieferteReports, BetraegeUndSummenPassenGanzInIhreSpalten) {
  const QSet<QString> betragsfelder = {QStringLiteral("Betrag"), QStringLiteral("Gesamtbetrag"),
                                       QStringLiteral("ZahlungsBetrag"), QStringLiteral("ZahlungGesamt"),
                                       QStringLiteral("OPBetrag"), QStringLiteral("SkontoBetrag")};
  const Waehrung summe = -Waehrung::AusCent(999999999999);   // -9.999.999.999,99
  QStringList mitBetraegen;
  QDirIterator it(QStringLiteral(TAMO_SOURCE_DIR "/resources"), {QStringLiteral("*.LST")}, QDir::Files);
  int reports = 0;
  while (it.hasNext()) {
    const QString datei = it.next();
    ++reports;
    const Reportdatei::Ergebnis e = Reportdatei::Laden(datei);
    ASSERT_TRUE(e.layout) << datei.toStdString() << ": " << e.beschreibung.toStdString();
    QHash<QString, QVariant> zeile;
    bool betraege = false;
    for (const Reportspalte& s : e.layout->spalten)
      for (const Reportvorlage::Teil& t : Reportvorlage::Zerlegen(s.wert).Platzhalter()) {
        const bool betrag = betragsfelder.contains(t.name);
        betraege = betraege || betrag;
        zeile.insert(t.name, betrag ? QVariant::fromValue(-kGross) : QVariant(t.name));
      }
    if (betraege) mitBetraegen << QFileInfo(datei).fileName();
    const QList<QHash<QString, QVariant>> zeilen(10, zeile);
    const Druckdokument d = Seitenaufbau::Probedruck(*e.layout, zeilen, [&summe](const QString& name) -> QVariant {
      if (name == QLatin1String("Zahlungsliste.Summe")) return QVariant::fromValue(summe);
      return name;
    });
    QStringList texte;
    for (const Druckdokument::Seite& s : d.seiten)
      for (const Druckdokument::Text& t : s.texte) texte << t.text;
    const QString alles = texte.join(QLatin1Char('\n'));
    EXPECT_FALSE(alles.contains(QStringLiteral("###"))) << datei.toStdString();
    for (const QString& t : texte)
      if (t.contains(QStringLiteral("999")) || t.contains(QLatin1Char(',')))
        EXPECT_FALSE(t.contains(QStringLiteral("…"))) << datei.toStdString() << ": " << t.toStdString();
    if (betraege) {
      EXPECT_GE(texte.count(QStringLiteral("-999.999.999,99")), 10) << datei.toStdString();
      EXPECT_TRUE(texte.contains(QStringLiteral("-9.999.999.999,90"))) << datei.toStdString() << "\n" << alles.toStdString();
      EXPECT_TRUE(alles.contains(QStringLiteral("-9.999.999.999,99"))) << datei.toStdString();
    }
  }
  EXPECT_GE(reports, 9);
  EXPECT_EQ(mitBetraegen, QStringList{QStringLiteral("Zahlungsliste.LST")});
}

// A report that adds up the amounts without their signs (as the old payment list did) is refused at
// the print start with the reason; the shipped one passes the same check.
TEST_F(ZahlungslisteDruckTest, SummeOhneVorzeichenWirdAbgelehnt) {
  Zahlung(1, "G", false, {Waehrung::AusCent(100)});
  Zahlung(2, "L", false, {Waehrung::AusCent(100)});
  const QString pdf = ordner.Datei(QStringLiteral("alt.pdf"));
  EXPECT_EQ(Drucken(pdf, QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/Zahlungsliste.LST")), Report::DateiDefekt);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_TRUE(ergebnis.meldungen.last().contains(QStringLiteral("Die Summe von {ZahlungsBetrag} ist nicht zulässig (Spalte8)")))
      << ergebnis.meldungen.last().toStdString();
  EXPECT_TRUE(ergebnis.meldungen.last().contains(Zahlungslistendaten::SummeGesperrtGrund()));
  EXPECT_FALSE(QFileInfo::exists(pdf));
  EXPECT_EQ(Drucken(pdf), Report::Ok);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
}

// The signed line amounts of the print add up to the window's total, whatever the case of Art and
// with lines without an amount.
TEST_F(ZahlungslisteDruckTest, VorzeichenbetraegeErgebenDieSummeDesFensters) {
  Zahlung(1, "G", false, {Waehrung::AusCent(1234), Waehrung::AusCent(1)});
  Zahlung(2, "g", false, {Waehrung::AusCent(500)});
  Zahlung(3, "L", true, {Waehrung::AusCent(9999)});
  ASSERT_FALSE(db->Ausfuehren(SqlText("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck) VALUES (3, 2, 'ohne')")));
  ZahlungslisteFilter filter;
  filter.absenderNr = 1;
  const Abfrage a = ZahlungslisteAbfrage(filter);
  DbFehler f;
  std::unique_ptr<Recordset> rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs);
  Zahlungslistendaten daten(std::make_unique<RecordsetReportdaten>(*rs));
  int betrag = -1, art = -1;
  for (qsizetype i = 0; i < daten.Spalten().size(); ++i) {
    if (daten.Spalten().at(i).name == QLatin1String("Betrag")) betrag = int(i);
    if (daten.Spalten().at(i).name == QLatin1String("Zahlungsart")) art = int(i);
  }
  ASSERT_GE(betrag, 0);
  Waehrung zusammen;
  QStringList arten;
  for (int z = 0; z < daten.Anzahl(); ++z) {
    zusammen = zusammen + daten.Wert(z, betrag).value<Waehrung>();
    arten << daten.Wert(z, art).toString();
  }
  EXPECT_EQ(zusammen, VorzeichenSumme(*db, a.bedingung, f));
  EXPECT_EQ(zusammen, Waehrung::AusCent(9999 - 1234 - 1 - 500));
  EXPECT_EQ(arten.count(QStringLiteral("Überweisung")), 3);
  EXPECT_EQ(arten.count(QStringLiteral("Lastschrift")), 2);
  for (const Reportdatenspalte& s : daten.Spalten())
    EXPECT_EQ(!s.summeGesperrt.isEmpty(), s.quellFeld == QLatin1String("ZahlungsBetrag") || s.quellFeld == QLatin1String("ZahlungGesamt") ||
                                              s.quellFeld == QLatin1String("OPBetrag") || s.quellFeld == QLatin1String("SkontoBetrag"))
        << s.name.toStdString();
}

}  // namespace
