// Hostile open items: the account kind against the order kind, and line texts that would lose the
// item number.

#include <gtest/gtest.h>

#include "ImportTestumgebung.h"

namespace {

using Adresse = Geschwisterdatenbank::AdressDaten;
using Posten = Geschwisterdatenbank::PostenDaten;

Adresse Konto(const QString& konto) { return VollstaendigeAdresse(konto, QStringLiteral("Partner ")); }

Posten Posten_(const QString& konto, const QString& nr, QChar kontoart, QChar art = QLatin1Char('R')) {
  return Posten{.konto = konto, .nr = nr, .art = art, .kontoart = kontoart, .vom = QDate(2024, 2, 1),
                .faellig = QDate(2024, 3, 1), .betrag = Eur(100), .rest = Eur(100)};
}

// A customer's invoice handed to a supplier run would pay the customer; a supplier's invoice handed
// to a customer run would collect from the supplier.
TEST(ImportAngriff, KontoartPasstNichtZurZahlungsart) {
  struct Fall {
    const char* name;
    char kontoart;
    bool lieferanten;
    int importiert;
  };
  const Fall faelle[] = {{"Kunde als Lastschrift", 'K', false, 1},
                         {"Lieferant als Überweisung", 'L', true, 1},
                         {"Kunde als Überweisung", 'K', true, 0},
                         {"Lieferant als Lastschrift", 'L', false, 0}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
    g.Adresse(Konto(QStringLiteral("10001"))).Posten(Posten_(QStringLiteral("10001"), QStringLiteral("R1"), QLatin1Char(f.kontoart)));
    ImportTestumgebung u{g};
    ImportAuswahl auswahl;
    auswahl.lieferanten = f.kontoart == 'L';  // the selection of the item's own kind
    std::vector<ImportVorgang> v = u.Vorgaenge(auswahl);
    ASSERT_EQ(v.size(), 1u);
    SkriptFrager frager;
    const ImportErgebnis e = ImportAusfuehren(u.Db(), v, u.Optionen(f.lieferanten), frager);
    EXPECT_EQ(e.importiert, f.importiert);
    EXPECT_EQ(u.Wert("SELECT count(*) FROM Zahlungen").toInt(), f.importiert);
    if (f.importiert == 0) EXPECT_EQ(e.fehlerhaftePosten, 1);
  }
}

// The order program's items are all customers' (account kind K).
TEST(ImportAngriff, AuftragsprogrammKenntNurKunden) {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Auftrag);
  g.Adresse(Konto(QStringLiteral("20001"))).Posten(Posten_(QStringLiteral("20001"), QStringLiteral("7"), QLatin1Char('K')));
  ImportTestumgebung u{g};
  std::vector<ImportVorgang> v = u.Vorgaenge({});
  ASSERT_EQ(v.size(), 1u);
  SkriptFrager frager;
  EXPECT_EQ(ImportAusfuehren(u.Db(), v, u.Optionen(true), frager).importiert, 0);
  EXPECT_EQ(ImportAusfuehren(u.Db(), v, u.Optionen(false), frager).importiert, 1);
}

// Line texts: the item number stands whole in the line, whatever the template (the line is 27 wide).
TEST(ImportAngriff, ZeilentextMitVorgangsnummer) {
  struct Fall {
    const char* name;
    QString nr;
    QChar art;
    QString text;  // empty: not stored
  };
  const Fall faelle[] = {
      {"kurz", QStringLiteral("R-1"), QLatin1Char('R'), QStringLiteral("RG R-1 vom 01.02.24")},
      {"José", QStringLiteral("José-1"), QLatin1Char('R'), QStringLiteral("RG Jose-1 vom 01.02.24")},
      // Template 2 fits without its date: the number stays whole.
      {"Gutschrift 17", QStringLiteral("GS-12345678901234"), QLatin1Char('G'), QStringLiteral("abzgl. GS GS-12345678901234")},
      // "abzgl. GS " leaves 17 places: the plain form keeps all 20.
      {"Gutschrift 20", QStringLiteral("GS-12345678901234567"), QLatin1Char('G'), QStringLiteral("GS GS-12345678901234567 v:0")},
      {"Anzahlung 20", QStringLiteral("AZ-12345678901234567"), QLatin1Char('A'), QStringLiteral("ANZ AZ-12345678901234567 v:")},
      {"Rechnung 20", QStringLiteral("12345678901234567890"), QLatin1Char('R'), QStringLiteral("RG 12345678901234567890 vom")},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
    g.Adresse(Konto(QStringLiteral("10001")))
        .Posten(Posten_(QStringLiteral("10001"), QStringLiteral("R0"), QLatin1Char('K')))
        .Posten(Posten_(QStringLiteral("10001"), f.nr, QLatin1Char('K'), f.art));
    ImportTestumgebung u{g};
    SkriptFrager frager;
    ImportLaufOptionen o = u.Optionen(false);
    ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
    EXPECT_EQ(u.Zeilen("SELECT Verwendungszweck FROM Verwendungszweck WHERE OPVorgangNr = ?", {f.nr}), QStringList{f.text});
  }
}

// The own customer number at the payee stands whole in its line: a shorter caption where the long
// one leaves too little room (the line is 27 wide).
TEST(ImportAngriff, KundenNrZeileBleibtGanz) {
  struct Fall {
    const char* name;
    QString kundenNr;
    QString zeile;
  };
  const Fall faelle[] = {
      {"passt", QStringLiteral("12345678901"), QStringLiteral("Unsere KundenNr 12345678901")},
      {"eins zu lang", QStringLiteral("123456789012"), QStringLiteral("KundenNr 123456789012")},
      {"KundenNr passt", QStringLiteral("123456789012345678"), QStringLiteral("KundenNr 123456789012345678")},
      {"zwanzig", QStringLiteral("12345678901234567890"), QStringLiteral("KdNr 12345678901234567890")},
      {"José", QStringLiteral("José-1234567"), QStringLiteral("KundenNr Jose-1234567")},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Adresse a = Konto(QStringLiteral("70001"));
    a.kundenNr = f.kundenNr;
    Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
    g.Adresse(a).Posten(Posten_(QStringLiteral("70001"), QStringLiteral("ER-1"), QLatin1Char('L')));
    ImportTestumgebung u{g};
    ImportAuswahl auswahl;
    auswahl.lieferanten = true;
    SkriptFrager frager;
    const ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge(auswahl), u.Optionen(true), frager);
    EXPECT_EQ(e.importiert, 1);
    EXPECT_EQ(u.Zeilen("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZeilenNr = 2"), QStringList{f.zeile});
  }
}

}  // namespace
