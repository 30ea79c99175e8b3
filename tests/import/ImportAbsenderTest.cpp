// Two senders of one business linked to the same sibling file: an item paid through one of them is a
// duplicate for the other, whether asked before the write or found in the write's transaction. Only
// the same file counts, not the same spelling of its path, nor a file with equal numbers.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

#include "ImportTestumgebung.h"

namespace {

using Adresse = Geschwisterdatenbank::AdressDaten;
using Posten = Geschwisterdatenbank::PostenDaten;

Posten Rechnung(const QString& nr, int tag) {
  return Posten{.konto = QStringLiteral("10001"), .nr = nr, .art = QLatin1Char('R'), .vom = QDate(2024, 2, tag),
                .faellig = QDate(2024, 3, tag), .betrag = Eur(10 * tag), .rest = Eur(10 * tag)};
}

Geschwisterdatenbank Buchhaltung() {
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.Adresse(VollstaendigeAdresse(QStringLiteral("10001"), QStringLiteral("Kunde ")))
      .Posten(Rechnung(QStringLiteral("R1"), 1))
      .Posten(Rechnung(QStringLiteral("R2"), 2))
      .Posten(Rechnung(QStringLiteral("R3"), 3));
  return g;
}

void Verknuepfen(ImportTestumgebung& u, int absenderNr, int format, const QString& verbindung) {
  ASSERT_TRUE(u.Db().Ausfuehren("INSERT OR IGNORE INTO Absender (AbsenderNr, Name) VALUES (?, 'Weiterer Absender')",
                                {absenderNr})
                  .Ok());
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Absender SET AdressenFormat = ?, AdressenVerbindung = ? WHERE AbsenderNr = ?",
                                {format, verbindung, absenderNr})
                  .Ok());
}

ImportLaufOptionen Optionen(ImportTestumgebung& u, int absenderNr) {
  ImportLaufOptionen o = u.Optionen(false);
  o.absenderNr = absenderNr;
  return o;
}

int Zeilen(ImportTestumgebung& u, const QString& vorgangsNr) {
  return u.Wert("SELECT count(*) FROM Verwendungszweck WHERE OPVorgangNr = ?", {vorgangsNr}).toInt();
}

// ---- which senders share the file --------------------------------------------------------------------

struct Verknuepfung {
  const char* name;
  int format;                                          // sender 2's address format
  std::function<QString(ImportTestumgebung&)> pfad;   // sender 2's link (may make the file it names)
  bool dieselbe;                                       // the same file as sender 1's
};

void Kopieren(ImportTestumgebung& u, const QString& datei) {
  ASSERT_FALSE(QFile::exists(datei)) << "case-insensitive file system";
  ASSERT_TRUE(QFile::copy(u.Geschwisterdatei(), datei));
}

const Verknuepfung kVerknuepfungen[] = {
    {"GleicherPfad", 1, [](ImportTestumgebung& u) { return u.Geschwisterdatei(); }, true},
    {"OhneOrdnerImDatenordner", 1, [](ImportTestumgebung&) { return QStringLiteral("Livra.db"); }, true},
    {"UeberPunktPunkt", 1,
     [](ImportTestumgebung& u) {
       EXPECT_TRUE(QDir(u.Ordner().Pfad()).mkdir(QStringLiteral("unter")));
       return u.Ordner().Pfad() + QStringLiteral("/unter/../Livra.db");
     },
     true},
    {"UeberSymbolischeVerknuepfung", 1,
     [](ImportTestumgebung& u) {
       const QString link = u.Ordner().Datei(QStringLiteral("Verweis.db"));
       EXPECT_TRUE(QFile::link(u.Geschwisterdatei(), link));
       return link;
     },
     true},
    {"MitLeerzeichenUmDenPfad", 1, [](ImportTestumgebung& u) { return QStringLiteral("  ") + u.Geschwisterdatei() + QStringLiteral(" "); }, true},
    {"AndereDateiMitGleichenNummern", 1,
     [](ImportTestumgebung& u) {
       const QString datei = u.Ordner().Datei(QStringLiteral("Kopie.db"));
       Kopieren(u, datei);
       return datei;
     },
     false},
    {"AndereGrossschreibungIstAndereDatei", 1,
     [](ImportTestumgebung& u) {
       const QString datei = u.Ordner().Datei(QStringLiteral("LIVRA.db"));
       Kopieren(u, datei);
       return datei;
     },
     false},
    {"DateiFehlt", 1, [](ImportTestumgebung& u) { return u.Ordner().Datei(QStringLiteral("Weg.db")); }, false},
    {"LeereVerbindung", 1, [](ImportTestumgebung&) { return QString(); }, false},
    {"InterneAdressenMitAltemPfad", 0, [](ImportTestumgebung& u) { return u.Geschwisterdatei(); }, false},
};

class ZweiterAbsender : public ::testing::TestWithParam<Verknuepfung> {};

TEST_P(ZweiterAbsender, ErstDurchAbsender2DannDurchAbsender1) {
  const Verknuepfung& fall = GetParam();
  ImportTestumgebung u{Buchhaltung()};
  Verknuepfen(u, 2, fall.format, fall.pfad(u));
  if (HasFatalFailure()) return;

  SkriptFrager frager;
  ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), Optionen(u, 2), frager);
  ASSERT_EQ(e.importiert, 3) << "nothing paid before";
  ASSERT_TRUE(frager.dublettenFragen.isEmpty());
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = ?", {QDate(2024, 2, 15)}).Ok());

  frager.dublettenAntworten = {false, true, false};
  if (!fall.dieselbe) frager.dublettenAntworten.clear();
  e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), Optionen(u, 1), frager);
  if (fall.dieselbe) {
    ASSERT_EQ(frager.dublettenFragen.size(), 3);
    EXPECT_EQ(frager.dublettenFragen[0],
              QStringLiteral("Der folgende Vorgang wurde bereits mit Absender 2 übernommen,\r"
                             "der mit derselben Datenbank verknüpft ist!\r\r"
                             "OP-Vorgangs-Nr: R3\rBezahlt am: 15.02.2024\rOP-Konto-Nr: 10001\r\r"
                             "Soll die Zahlung trotzdem übernommen werden?"));
    EXPECT_EQ(e.dublettenAbgelehnt, 2);
    EXPECT_EQ(e.importiert, 1) << "R2, taken over all the same";
    EXPECT_EQ(Zeilen(u, QStringLiteral("R1")), 1);
    EXPECT_EQ(Zeilen(u, QStringLiteral("R2")), 2);
    EXPECT_EQ(Zeilen(u, QStringLiteral("R3")), 1);
  } else {
    EXPECT_TRUE(frager.dublettenFragen.isEmpty()) << frager.dublettenFragen.join(QStringLiteral("\n")).toStdString();
    EXPECT_EQ(e.importiert, 3);
    EXPECT_EQ(e.dublettenAbgelehnt, 0);
  }
  EXPECT_TRUE(e.fehler.isEmpty()) << e.fehler.join(QStringLiteral("\n")).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Verknuepfungen, ZweiterAbsender, ::testing::ValuesIn(kVerknuepfungen),
                         [](const auto& info) { return std::string(info.param.name); });

// Paid through both senders: the question names both; paid through the active one only, its text
// stays the one of the active sender's own payments.
TEST(ImportAbsender, DieFrageNenntDieAbsenderDerGefundenenZahlungen) {
  ImportTestumgebung u{Buchhaltung()};
  Verknuepfen(u, 2, 1, u.Geschwisterdatei());
  Verknuepfen(u, 3, 1, QStringLiteral("Livra.db"));
  u.ZahlungMitPosten(1, QStringLiteral("10001"), QStringLiteral("R1"), QDate(2024, 1, 5));
  u.ZahlungMitPosten(3, QStringLiteral("10001"), QStringLiteral("R1"));
  u.ZahlungMitPosten(1, QStringLiteral("10001"), QStringLiteral("R2"), QDate(2024, 1, 6));
  u.ZahlungMitPosten(2, QStringLiteral("10001"), QStringLiteral("R3"), QDate(2024, 1, 7));
  u.ZahlungMitPosten(3, QStringLiteral("10001"), QStringLiteral("R3"), QDate(2024, 1, 8));
  SkriptFrager frager;
  frager.dublettenAntworten = {false, false, false};
  const ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), Optionen(u, 1), frager);
  EXPECT_EQ(e.dublettenAbgelehnt, 3);
  EXPECT_EQ(frager.dublettenFragen,
            (QStringList{DublettenFrage(QStringLiteral("R3"), QDate(2024, 1, 8), QStringLiteral("10001"), {3, 2}),
                         DublettenFrage(QStringLiteral("R2"), QDate(2024, 1, 6), QStringLiteral("10001")),
                         QStringLiteral("Der folgende Vorgang wurde bereits mit den Absendern 1 und 3 übernommen,\r"
                                        "die mit derselben Datenbank verknüpft sind!\r\r"
                                        "OP-Vorgangs-Nr: R1\rBezahlt am: 05.01.2024\rOP-Konto-Nr: 10001\r\r"
                                        "Soll die Zahlung trotzdem übernommen werden?")}));
  EXPECT_TRUE(frager.dublettenFragen.value(1).startsWith(QStringLiteral("Der folgende Vorgang ist schon in den aktuellen\r")));
  EXPECT_TRUE(DublettenFrage(QStringLiteral("R"), std::nullopt, QStringLiteral("K"), {3, 1, 2, 3})
                  .startsWith(QStringLiteral("Der folgende Vorgang wurde bereits mit den Absendern 1, 2 und 3 übernommen,\r")));
}

// ---- the repetition in the write's transaction ---------------------------------------------------------

// Another workstation pays R1 through `absenderNr` while this one's user answers the input box; `vorher`
// links the senders before the run, `waehrenddessen` while the box is open.
struct Zwischenfall {
  const char* name;
  int absenderNr;
  std::function<void(ImportTestumgebung&)> vorher;
  std::function<void(ImportTestumgebung&, Datenbank&)> waehrenddessen;
  bool ausgelassen;   // R1 is left out as taken meanwhile
};

const Zwischenfall kZwischenfaelle[] = {
    {"AbsenderMitDerselbenDatei", 2, [](ImportTestumgebung& u) { Verknuepfen(u, 2, 1, QStringLiteral("Livra.db")); },
     nullptr, true},
    {"AbsenderWaehrendDerEingabeVerknuepft", 3, nullptr,
     [](ImportTestumgebung& u, Datenbank& anderer) {
       ASSERT_TRUE(anderer.Ausfuehren("INSERT INTO Absender (AbsenderNr, Name, AdressenFormat, AdressenVerbindung) "
                                      "VALUES (3, 'Dritter', 1, ?)",
                                      {u.Geschwisterdatei()})
                       .Ok());
     },
     true},
    {"AbsenderMitAndererDatei", 2,
     [](ImportTestumgebung& u) {
       const QString kopie = u.Ordner().Datei(QStringLiteral("Kopie.db"));
       ASSERT_TRUE(QFile::copy(u.Geschwisterdatei(), kopie));
       Verknuepfen(u, 2, 1, kopie);
     },
     nullptr, false},
};

class InzwischenDurchAnderenAbsender : public ::testing::TestWithParam<Zwischenfall> {};

TEST_P(InzwischenDurchAnderenAbsender, WirdImSchreibenErkannt) {
  const Zwischenfall& fall = GetParam();
  Adresse a = VollstaendigeAdresse(QStringLiteral("10001"), QStringLiteral("Kunde "));
  a.iban.clear();
  Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
  g.Adresse(a).Posten(Rechnung(QStringLiteral("R1"), 1)).Posten(Rechnung(QStringLiteral("R2"), 2));
  ImportTestumgebung u{g};
  if (fall.vorher) fall.vorher(u);
  if (HasFatalFailure()) return;
  ImportLaufOptionen o = Optionen(u, 1);
  o.fehlEingaben = true;
  FremderArbeitsplatz frager;
  frager.eingaben = {QStringLiteral("DE89370400440532013000")};
  frager.waehrendDerEingabe = [&u, &fall] {
    DbFehler f;
    std::unique_ptr<Datenbank> anderer = Datenbank::Oeffnen(u.Db().Datei(), f);
    ASSERT_TRUE(anderer);
    if (fall.waehrenddessen) fall.waehrenddessen(u, *anderer);
    ASSERT_TRUE(anderer->Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, OPKontoNr) VALUES (?, 'L', '10001')",
                                    {fall.absenderNr})
                    .Ok());
    ASSERT_TRUE(anderer->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, OPVorgangNr) VALUES (?, 1, 'R1')",
                                    {anderer->LetzteEinfuegeNr()})
                    .Ok());
  };
  const ImportErgebnis e = ImportAusfuehren(u.Db(), u.Vorgaenge({}), o, frager);
  ASSERT_EQ(frager.aufforderungen.size(), 1) << "the box was open while the other paid";
  if (fall.ausgelassen) {
    EXPECT_EQ(e.inzwischenUebernommen, 1);
    EXPECT_EQ(e.importiert, 1);
    EXPECT_EQ(Zeilen(u, QStringLiteral("R1")), 1) << "R1 paid once";
    EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE AbsenderNr = 1").toLongLong(), Eur(20).Roh());
    ASSERT_EQ(e.fehler.size(), 1);
    EXPECT_EQ(e.fehler[0], QStringLiteral("Die OP-Vorgänge R1 des OP-Kontos 10001 wurden inzwischen an einem anderen "
                                          "Arbeitsplatz mit Absender %1 übernommen, der mit derselben Datenbank "
                                          "verknüpft ist; sie wurden nicht noch einmal übernommen.")
                               .arg(fall.absenderNr));
  } else {
    EXPECT_EQ(e.inzwischenUebernommen, 0);
    EXPECT_EQ(e.importiert, 2);
    EXPECT_TRUE(e.fehler.isEmpty()) << e.fehler.join(QStringLiteral("\n")).toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Faelle, InzwischenDurchAnderenAbsender, ::testing::ValuesIn(kZwischenfaelle),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
