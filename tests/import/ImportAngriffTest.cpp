// Hostile open items: the account kind against the order kind.

#include <gtest/gtest.h>

#include "ImportTestumgebung.h"

namespace {

using Adresse = Geschwisterdatenbank::AdressDaten;
using Posten = Geschwisterdatenbank::PostenDaten;

Adresse Konto(const QString& konto) {
  return Adresse{.konto = konto,
                 .suchname = QStringLiteral("S") + konto,
                 .name = QStringLiteral("Partner ") + konto,
                 .bank = QStringLiteral("Sparkasse"),
                 .bic = QStringLiteral("COLSDE33XXX"),
                 .iban = QStringLiteral("DE89370400440532013000"),
                 .mandatReferenz = QStringLiteral("M-") + konto,
                 .mandatDatum = QDate(2023, 5, 1),
                 .mandatSequenz = QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)")};
}

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

}  // namespace
