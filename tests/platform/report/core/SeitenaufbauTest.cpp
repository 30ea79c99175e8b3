// How the layout treats what does not fit: wrapped words, numbers too wide for their column, sums,
// title lines of variables; and which sums the report check refuses.

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QHash>

#include "platform/db/Waehrung.h"
#include "platform/report/core/Reportpruefung.h"
#include "platform/report/core/Seitenaufbau.h"

namespace {

Reportlayout Layout(const QList<Reportspalte>& spalten) {
  Reportlayout l;
  l.ausrichtung = QPageLayout::Landscape;
  l.groesse = 8;
  l.spalten = spalten;
  return l;
}

Reportspalte Spalte(const QString& wert, double breite, bool umbruch = false, bool summe = false) {
  Reportspalte s;
  s.titel = QStringLiteral("T");
  s.wert = wert;
  s.breite = breite;
  s.umbruch = umbruch;
  s.summe = summe;
  s.ausrichtung = summe ? Spaltenausrichtung::Rechts : Spaltenausrichtung::Links;
  return s;
}

// The texts of page 1 below the column titles, in the order laid out.
QStringList Texte(const Druckdokument& d, int seite = 0) {
  QStringList texte;
  for (const Druckdokument::Text& t : d.seiten.at(seite).texte) texte << t.text;
  return texte;
}

const Druckdokument::Text* TextMit(const Druckdokument& d, const QString& text) {
  for (const Druckdokument::Seite& s : d.seiten)
    for (const Druckdokument::Text& t : s.texte)
      if (t.text == text) return &t;
  return nullptr;
}

Druckdokument Drucken(const Reportlayout& l, const QList<QHash<QString, QVariant>>& zeilen,
                      const QHash<QString, QVariant>& variablen = {}) {
  return Seitenaufbau::Probedruck(l, zeilen, [&variablen](const QString& n) { return variablen.value(n); });
}

// Lines end between words; a word wider than the column is divided into parts of about the same
// length, so no lone letter stands on a line of its own ("Müßi" / "g"), and nothing of the text is lost.
struct UmbruchFall {
  const char* name;
  const char* text;
  double breite;   // millimetres
};

class Umbruch : public ::testing::TestWithParam<UmbruchFall> {};

TEST_P(Umbruch, KeinEinzelnerBuchstabeUndNichtsVerloren) {
  const UmbruchFall& f = GetParam();
  const QString text = QString::fromUtf8(f.text);
  const Druckdokument d = Drucken(Layout({Spalte(QStringLiteral("{Text}"), f.breite, true)}),
                                  {{{QStringLiteral("Text"), text}}});
  QStringList zeilen = Texte(d);
  zeilen.removeFirst();   // the column title
  ASSERT_GE(zeilen.size(), 2) << "the text must need wrapping";
  const QStringList woerter = text.split(QLatin1Char(' '));
  for (const QString& z : zeilen) {
    EXPECT_FALSE(z.contains(QStringLiteral("…"))) << z.toStdString();
    for (const QString& teil : z.split(QLatin1Char(' ')))
      if (!woerter.contains(teil)) EXPECT_GE(teil.size(), 2) << "part '" << teil.toStdString() << "' of " << zeilen.join(QLatin1Char('|')).toStdString();
  }
  QString zusammen = zeilen.join(QString());
  EXPECT_EQ(zusammen.remove(QLatin1Char(' ')), QString(text).remove(QLatin1Char(' ')));
}

INSTANTIATE_TEST_SUITE_P(
    Texte, Umbruch,
    ::testing::Values(UmbruchFall{"NameLetzterBuchstabe", "Empfänger Nr. 59 Müßig", 9.0},
                      UmbruchFall{"FirmaLetzterBuchstabe", "Lieferant Meier Großhandel für Bürobedarf und Schreibwaren GmbH", 9.25},
                      UmbruchFall{"FirmaSchmal", "Lieferant Meier Großhandel für Bürobedarf und Schreibwaren GmbH", 11.0},
                      UmbruchFall{"LangesWortZweiTeile", "Schreibwarengroßhandlungsgesellschaft", 40},
                      UmbruchFall{"IbanOhneLuecken", "MT84MALT011000012345MTLCAST001S", 35},
                      UmbruchFall{"ReferenzMitBindestrichen", "R100-000001-0001-ABCDEF-XYZ", 20}),
    [](const auto& info) { return std::string(info.param.name); });

// An amount, an IBAN or a BIC never loses characters: a column narrower than its widest value gets
// that room from the other columns; where the page cannot give it (the needs alone are wider than the
// page), the value shows "###". Numbers of other kinds too wide show "###"; a name is still shortened
// with "…".
TEST(Seitenaufbau, BetragIbanBicNieAbgeschnitten) {
  const QVariant gross = QVariant::fromValue(-Waehrung::AusCent(99999999999));
  const QString iban = QStringLiteral("MT84MALT011000012345MTLCAST001S999");
  const QHash<QString, QVariant> zeile = {{QStringLiteral("Betrag"), gross},
                                          {QStringLiteral("IBAN"), iban},
                                          {QStringLiteral("BankBIC"), QStringLiteral("HYVEDEMMXXX")},
                                          {QStringLiteral("Nummer"), qint64(123456789012)},
                                          {QStringLiteral("Name"), QStringLiteral("Ein sehr langer Firmenname")}};
  // As narrow as an old report had them, beside a column that wraps and gives way.
  const Druckdokument eng = Drucken(Layout({Spalte(QStringLiteral("{Name}"), 200, true), Spalte(QStringLiteral("{Betrag}"), 15),
                                            Spalte(QStringLiteral("{IBAN}"), 42, true), Spalte(QStringLiteral("{BankBIC}"), 15)}),
                                    {zeile});
  for (const QString& ganz : {QStringLiteral("-999.999.999,99"), iban, QStringLiteral("HYVEDEMMXXX")})
    EXPECT_TRUE(Texte(eng).contains(ganz)) << ganz.toStdString() << ": " << Texte(eng).join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(TextMit(eng, QStringLiteral("Ein sehr langer Firmenname"))) << "the name wraps in the room left";

  // Four IBAN columns do not fit a portrait page: "###", never a cut IBAN.
  Reportlayout hoch = Layout({Spalte(QStringLiteral("{IBAN}"), 45), Spalte(QStringLiteral("{IBAN}"), 45),
                              Spalte(QStringLiteral("{IBAN}"), 45), Spalte(QStringLiteral("{IBAN}"), 45)});
  hoch.ausrichtung = QPageLayout::Portrait;
  const Druckdokument voll = Drucken(hoch, {zeile});
  EXPECT_EQ(Texte(voll).count(QStringLiteral("###")), 4) << Texte(voll).join(QLatin1Char('|')).toStdString();
  for (const QString& t : Texte(voll)) EXPECT_FALSE(t.contains(QStringLiteral("…"))) << t.toStdString();

  const Druckdokument zahl = Drucken(Layout({Spalte(QStringLiteral("{Nummer}"), 8)}), {zeile});
  EXPECT_TRUE(Texte(zahl).contains(QStringLiteral("###"))) << Texte(zahl).join(QLatin1Char('|')).toStdString();
  const Druckdokument name = Drucken(Layout({Spalte(QStringLiteral("{Name}"), 15)}), {zeile});
  EXPECT_TRUE(Texte(name).join(QString()).contains(QStringLiteral("…")));
}

// Column widths on a full line: unchanged when they fit; else narrowed by one factor, a column with a
// need stopping at it (the others narrow further); needs wider than the line: all narrow alike.
struct BreitenFall {
  const char* name;
  std::vector<double> breiten, bedarf;
  double platz;
  std::vector<double> erwartet;
};

class Spaltenbreiten : public ::testing::TestWithParam<BreitenFall> {};

TEST_P(Spaltenbreiten, VerteilenOhneBedarfZuUnterschreiten) {
  const BreitenFall& f = GetParam();
  std::vector<double> b = f.breiten;
  SpaltenbreitenVerteilen(b, f.bedarf, f.platz);
  ASSERT_EQ(b.size(), f.erwartet.size());
  for (size_t i = 0; i < b.size(); ++i) EXPECT_NEAR(b[i], f.erwartet[i], 1e-9) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Spaltenbreiten,
    ::testing::Values(BreitenFall{"Passt", {50, 50}, {0, 40}, 100, {50, 50}},
                      BreitenFall{"GleichmaessigUeberBedarf", {100, 100}, {0, 75}, 150, {75, 75}},
                      BreitenFall{"BedarfHaeltAndereWeichen", {100, 100}, {0, 90}, 150, {60, 90}},
                      BreitenFall{"BedarfZiehtNach", {100, 50, 100}, {90, 0, 75}, 200, {90, 35, 75}},
                      BreitenFall{"BedarfGleichPlatz", {100, 100}, {75, 75}, 150, {75, 75}},
                      BreitenFall{"BedarfBreiterAlsPlatz", {100, 100}, {100, 100}, 150, {75, 75}}),
    [](const auto& info) { return std::string(info.param.name); });

// The last page never holds only the carried sums, the sum row and the summary: the last group (or,
// without groups, the last row) goes along with them. Walked over every row count that fills a page.
TEST(Seitenaufbau, SummeStehtNieAlleinAufDerLetztenSeite) {
  for (const bool gruppen : {false, true}) {
    Reportlayout l = Layout({Spalte(QStringLiteral("{Text}"), 60), Spalte(QStringLiteral("{Betrag}"), 30, false, true)});
    l.zusammenfassung << Reportzeile{QStringLiteral("Anzahl: {Anzahl(Text)}"), 0, true}
                      << Reportzeile{QStringLiteral("Summe: {Summe(Betrag)}"), 0, true};
    if (gruppen) l.gruppe = QStringLiteral("Gruppe");
    int zweiSeiten = 0;
    for (int n = 20; n <= 90; ++n) {
      QList<QHash<QString, QVariant>> zeilen;
      for (int i = 0; i < n; ++i)
        zeilen << QHash<QString, QVariant>{{QStringLiteral("Text"), QStringLiteral("Zeile %1").arg(i + 1)},
                                           {QStringLiteral("Gruppe"), qint64(i / 2)},
                                           {QStringLiteral("Betrag"), QVariant::fromValue(Waehrung::AusCent(100))}};
      const Druckdokument d = Drucken(l, zeilen);
      if (d.seiten.size() < 2) continue;
      ++zweiSeiten;
      const QStringList letzte = Texte(d, int(d.seiten.size()) - 1);
      EXPECT_TRUE(letzte.filter(QStringLiteral("Zeile ")).size() > 0)
          << n << " Zeilen, Gruppen " << gruppen << ": " << letzte.join(QLatin1Char('|')).toStdString();
      EXPECT_TRUE(letzte.contains(QStringLiteral("Summe: %1").arg(Waehrung::AusCent(100 * n).FormatDeutsch())));
      // Every row printed once.
      QStringList alle;
      for (int s = 0; s < d.seiten.size(); ++s) alle << Texte(d, s).filter(QStringLiteral("Zeile "));
      EXPECT_EQ(alle.size(), n) << n;
    }
    EXPECT_GT(zweiSeiten, 10);
  }
}

// A sum wider than its column takes the empty room of the sum row to its left; with a sum right
// beside it there is none, and the sum shows "###".
TEST(Seitenaufbau, SummeNutztDenFreienPlatzLinksSonstRauten) {
  const Waehrung gross = Waehrung::AusCent(99999999999);
  QList<QHash<QString, QVariant>> zeilen;
  for (int i = 0; i < 12; ++i)
    zeilen << QHash<QString, QVariant>{{QStringLiteral("Text"), QStringLiteral("Zeile")},
                                       {QStringLiteral("Betrag"), QVariant::fromValue(gross)},
                                       {QStringLiteral("Zweit"), QVariant::fromValue(gross)}};
  const QString summe = QStringLiteral("11.999.999.999,88");
  const Druckdokument frei = Drucken(
      Layout({Spalte(QStringLiteral("{Text}"), 40), Spalte(QStringLiteral("{Betrag}"), 24, false, true)}), zeilen);
  const Druckdokument::Text* t = TextMit(frei, summe);
  ASSERT_TRUE(t) << Texte(frei).join(QLatin1Char('|')).toStdString();
  // The page margin is 15 mm: the text column ends at 55 mm, the sum reaches into it.
  EXPECT_LT(t->rechteck.left(), Druckdokument::PunkteAusMillimeter(15 + 40));
  EXPECT_TRUE(t->ausrichtung & Qt::AlignRight);

  const Druckdokument eng = Drucken(Layout({Spalte(QStringLiteral("{Zweit}"), 24, false, true),
                                            Spalte(QStringLiteral("{Betrag}"), 24, false, true)}),
                                    zeilen);
  EXPECT_FALSE(TextMit(eng, summe));
  EXPECT_EQ(Texte(eng).count(QStringLiteral("###")), 2) << Texte(eng).join(QLatin1Char('|')).toStdString();
}

// A title line made of variables only that are empty takes no room; a value with line breaks
// takes a line for each.
TEST(Seitenaufbau, TitelzeilenAusLeerenVariablenEntfallenMehrzeiligeWerdenZeilen) {
  Reportlayout l = Layout({Spalte(QStringLiteral("{Text}"), 40)});
  l.titel << Reportzeile{QStringLiteral("Liste"), 0, false} << Reportzeile{QStringLiteral("{Dateien}"), 0, false}
          << Reportzeile{QStringLiteral("Ende"), 0, false} << Reportzeile{QString(), 0, false}
          << Reportzeile{QStringLiteral("Nach der Leerzeile"), 0, false};
  const QList<QHash<QString, QVariant>> zeilen = {{{QStringLiteral("Text"), QStringLiteral("x")}}};
  const Druckdokument ohne = Drucken(l, zeilen, {{QStringLiteral("Dateien"), QString()}});
  const Druckdokument mit =
      Drucken(l, zeilen, {{QStringLiteral("Dateien"), QStringLiteral("Datei A\rDatei B\r\nOrdner: /x")}});
  const double zeile = TextMit(ohne, QStringLiteral("Ende"))->rechteck.top() - TextMit(ohne, QStringLiteral("Liste"))->rechteck.top();
  EXPECT_GT(zeile, 0);
  // "Ende" follows "Liste" directly; the intended empty line still takes its room.
  EXPECT_NEAR(TextMit(ohne, QStringLiteral("Nach der Leerzeile"))->rechteck.top() -
                  TextMit(ohne, QStringLiteral("Ende"))->rechteck.top(),
              2 * zeile, 0.5);
  ASSERT_TRUE(TextMit(mit, QStringLiteral("Datei A")));
  ASSERT_TRUE(TextMit(mit, QStringLiteral("Ordner: /x")));
  EXPECT_NEAR(TextMit(mit, QStringLiteral("Ende"))->rechteck.top() - TextMit(mit, QStringLiteral("Liste"))->rechteck.top(),
              4 * zeile, 0.5);
}

// The check refuses every sum of a field the print marks as not to be summed (a column sum, Summe and
// Gruppensumme in the summary) and names the reason; counting it and summing others stay allowed.
struct SummenFall {
  const char* name;
  const char* spalte;          // value of a summed column, or nullptr
  const char* zusammenfassung; // a summary line, or nullptr
  bool abgelehnt;
};

class SummenPruefung : public ::testing::TestWithParam<SummenFall> {};

TEST_P(SummenPruefung, GesperrteFelderWerdenNichtSummiert) {
  const SummenFall& f = GetParam();
  Reportlayout l = Layout({Spalte(QStringLiteral("{Name}"), 40)});
  if (f.spalte) l.spalten << Spalte(QString::fromUtf8(f.spalte), 30, false, true);
  if (f.zusammenfassung) l.zusammenfassung << Reportzeile{QString::fromUtf8(f.zusammenfassung), 0, false};
  const QSet<QString> felder = {QStringLiteral("Name"), QStringLiteral("ZahlungsBetrag"), QStringLiteral("Betrag")};
  const Reportpruefung p = ReportPruefen(
      l, [&felder](const QString& n) { return felder.contains(n); }, [](const QString&) { return false; },
      [](const QString& n) { return n == QLatin1String("ZahlungsBetrag") ? QStringLiteral("ohne Vorzeichen") : QString(); });
  EXPECT_EQ(!p.Ok(), f.abgelehnt) << p.beschreibung.toStdString();
  if (f.abgelehnt) {
    EXPECT_TRUE(p.beschreibung.contains(QStringLiteral("Die Summe von {ZahlungsBetrag} ist nicht zulässig")));
    EXPECT_TRUE(p.beschreibung.endsWith(QStringLiteral("ohne Vorzeichen")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, SummenPruefung,
    ::testing::Values(SummenFall{"SpaltensummeGesperrt", "{ZahlungsBetrag}", nullptr, true},
                      SummenFall{"SpaltensummeMitFormatGesperrt", "{ZahlungsBetrag|#.##0,00}", nullptr, true},
                      SummenFall{"SummeInDerZusammenfassung", nullptr, "Summe: {Summe(ZahlungsBetrag)}", true},
                      SummenFall{"GruppensummeInDerZusammenfassung", nullptr, "{Gruppensumme(ZahlungsBetrag)}", true},
                      SummenFall{"AnzahlErlaubt", nullptr, "{Anzahl(ZahlungsBetrag)}", false},
                      SummenFall{"VorzeichenbetragErlaubt", "{Betrag}", "{Summe(Betrag)}", false},
                      SummenFall{"OhneSumme", nullptr, nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
