// Every window of the program on a 1024 x 768 screen with the widest values a payment may carry: the
// largest amounts, a 34-character IBAN, BICs of wide letters, 70-character names. No amount, IBAN or BIC
// may be shown shortened, as "###" or beyond its cell, and every window lies on the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <ostream>
#include <memory>
#include <vector>

#include "../masterdata/Stammdatenumgebung.h"
#include "Ganzwertpruefung.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "import/ImportForm.h"
#include "masterdata/AdressenEingabe.h"
#include "masterdata/SuchlisteF4.h"
#include "payments/SkontoForm.h"
#include "platform/ui/ZahlFeld.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "sepafiles/SepaFehlerliste.h"
#include "shell/Arbeitsfenster.h"
#include "shell/ZOVA10.h"
#include "testsupport/Geschwisterdatenbank.h"

namespace {

// A valid Maltese IBAN of wide letters (31 characters, the longest of the SEPA countries), and one of the
// 34 characters an IBAN may have at most, which the SEPA check leaves out.
#define IBAN_MT "MT62WWWW12345WWWWWWWWWWWWWWWWWW"
#define IBAN_34 "MT00WWWW12345WWWWWWWWWWWWWWWWWWWWW"
#define BIC_W "WWWWMTWWWWW"
#define NAME_70 "Wilhelm Wunderlich Werkzeug- und Maschinenbau Westfalen-Wuppertal GmbH"
// 999.999.999,99 in ten-thousandths.
#define HOECHST "9999999999900"

// Open credit transfers 1 (the 34-character IBAN, the largest amount negative: left out by the SEPA check)
// and 2 (valid, the largest amount); done on the day, a direct debit 3 and a credit transfer 4. The
// payment list's total stays in range: X - X - X + X.
const char* const kDaten = R"sql(
UPDATE Absender SET Suchname = 'WUNDERLICH', Name = ')sql" NAME_70 R"sql(', Bank = 'Wüstenrot Bank', BIC = ')sql" BIC_W R"sql(',
  IBAN = ')sql" IBAN_MT R"sql(', "GläubigerID" = 'DE98ZZZ09999999999', ReferenzNr = 'R100' WHERE AbsenderNr = 1;
INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, OPKontoNr, Name, Bank, BIC, IBAN, Verwendungszweck1, ZahlungGesamt,
  "Fällig", "Textschlüssel", MandatReferenz, MandatDatum, MandatSequenz, Erledigt, ErledigtDatum) VALUES
 (1, 1, 'G', '10001', ')sql" NAME_70 R"sql(', 'Wüstenrot Bank', ')sql" BIC_W R"sql(', ')sql" IBAN_34 R"sql(', 'RG 1',
  -)sql" HOECHST R"sql(, '2024-03-10', NULL, NULL, NULL, NULL, 0, NULL),
 (2, 1, 'G', '10001', ')sql" NAME_70 R"sql(', 'Wüstenrot Bank', ')sql" BIC_W R"sql(', ')sql" IBAN_MT R"sql(', 'RG 2',
  )sql" HOECHST R"sql(, '2024-03-10', NULL, NULL, NULL, NULL, 0, NULL),
 (3, 1, 'L', '10001', ')sql" NAME_70 R"sql(', 'Wüstenrot Bank', ')sql" BIC_W R"sql(', ')sql" IBAN_34 R"sql(', 'RG 3',
  -)sql" HOECHST R"sql(, '2024-03-10', NULL, 'M-1', '2023-05-01', 2, 1, '2024-03-10'),
 (4, 1, 'G', '10001', ')sql" NAME_70 R"sql(', 'Wüstenrot Bank', 'HYVEDEMMXXX', ')sql" IBAN_MT R"sql(', 'RG 4',
  -)sql" HOECHST R"sql(, '2024-03-10', NULL, NULL, NULL, NULL, 1, '2024-03-10');
INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, OPBetrag, ZahlungsBetrag) VALUES
 (1, 1, 'RG 1', 'RG 1', -)sql" HOECHST R"sql(, -)sql" HOECHST R"sql(),
 (2, 1, 'RG 2', 'RG 2', )sql" HOECHST R"sql(, )sql" HOECHST R"sql(),
 (3, 1, 'RG 3', 'RG 3', -)sql" HOECHST R"sql(, -)sql" HOECHST R"sql(),
 (4, 1, 'RG 4', 'RG 4', -)sql" HOECHST R"sql(, -)sql" HOECHST R"sql();
INSERT INTO Adressen (OPKontoNr, Suchname, Name, Bank, BIC, IBAN, MandatReferenz, MandatDatum, MandatSequenz) VALUES
 ('10001', 'WUNDERLICH', ')sql" NAME_70 R"sql(', 'Wüstenrot Bank', ')sql" BIC_W R"sql(', ')sql" IBAN_34 R"sql(', 'M-1',
  '2023-05-01', '3-Mehrfach-Einzug Folgeeinzug (Basis)'),
 ('10002', 'WAGNER', 'Wagner', 'HypoVereinsbank', 'HYVEDEMMXXX', 'DE89370400440532013000', NULL, NULL, NULL);
INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES ('37040044', ')sql" BIC_W R"sql(', 'Wüstenrot Bank'),
 ('70020270', 'HYVEDEMMXXX', 'UniCredit Bank - HypoVereinsbank');
)sql";

// The program on the small screen with the data of `skript`, the main window open.
class Fensterumgebung : public ::testing::Test {
 public:
  QWidget* Befehl(Hauptbefehl befehl, const char* art) {
    EXPECT_TRUE(m_haupt->Ausfuehren(befehl));
    Warten();
    return m_haupt->Fenster().Offen(QString::fromUtf8(art));
  }
  template <class Fenster>
  Fenster* Eigenes(std::unique_ptr<Fenster> fenster) {
    Fenster* f = fenster.get();
    m_eigene.push_back(std::move(fenster));
    return f;
  }
  static void Warten() {
    for (int i = 0; i < 5; ++i) QTest::qWait(20);
  }
  MeldungsRekorder& Rekorder() { return m_umgebung.Rekorder(); }
  // The active sender's addresses and open items from the accounting program, with the widest values.
  void BuchhaltungVerknuepfen() {
    Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
    g.Adresse({.konto = QStringLiteral("10001"), .suchname = QStringLiteral("WUNDERLICH"), .name = QStringLiteral(NAME_70),
               .bank = QStringLiteral("Wüstenrot Bank"), .bic = QStringLiteral(BIC_W), .iban = QStringLiteral(IBAN_34),
               .mandatReferenz = QStringLiteral("M-1"), .mandatDatum = QDate(2023, 5, 1),
               .mandatSequenz = QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)")});
    const Waehrung hoechst = Waehrung::AusRoh(Waehrung::Hoechstbetrag);
    g.Posten({.konto = QStringLiteral("10001"), .nr = QStringLiteral("R-1"), .art = QLatin1Char('R'),
              .kontoart = QLatin1Char('K'), .vom = QDate(2024, 2, 1), .faellig = QDate(2024, 3, 1), .betrag = hoechst,
              .rest = hoechst});
    g.Posten({.konto = QStringLiteral("10001"), .nr = QStringLiteral("G-1"), .art = QLatin1Char('G'),
              .kontoart = QLatin1Char('K'), .vom = QDate(2024, 2, 2), .faellig = QDate(2024, 3, 2), .betrag = hoechst,
              .rest = hoechst});
    const QString datei = m_umgebung.Ordner().Datei(QStringLiteral("livra.db"));
    const DbFehler f = g.Schreiben(datei);
    ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    ASSERT_TRUE(Zustand().Datenbank()->Ausfuehren(
                    SqlText("UPDATE Absender SET AdressenFormat = 1, AdressenVerbindung = ? WHERE AbsenderNr = 1"), {datei})
                    .Ok());
    m_umgebung.Oeffnen(m_umgebung.Ordner().Datei(QStringLiteral("daten")));
  }
  ZOVA10& Haupt() { return *m_haupt; }

 protected:
  void Starten(const std::string& skript) {
    const QScreen* schirm = QGuiApplication::primaryScreen();
    ASSERT_EQ(schirm->geometry().size(), QSize(1024, 768))
        << "ohne den Bildschirm von 1024 x 768 (QT_QPA_PLATFORM=offscreen:configfile=.../bildschirm_1024.json)";
    Uhr::Festhalten(QDateTime(QDate(2024, 3, 10), QTime(9, 0)));
    m_umgebung.Oeffnen(m_umgebung.Datenordner(QStringLiteral("daten"), skript.c_str()));
    m_haupt = std::make_unique<ZOVA10>();
    ArbeitsfensterAnmelden(*m_haupt);
    m_haupt->show();
  }
  void TearDown() override {
    m_eigene.clear();
    m_haupt.reset();
    QTest::qWait(0);
    Uhr::Setzen({});
  }

  Stammdatenumgebung m_umgebung;
  std::unique_ptr<ZOVA10> m_haupt;
  std::vector<std::unique_ptr<QWidget>> m_eigene;
};

struct Fensterfall {
  const char* name;
  int mindestens;   // amounts, IBANs and BICs the window shows at least (0: it shows none)
  std::function<QWidget*(Fensterumgebung&)> oeffnen;
};
void PrintTo(const Fensterfall& f, std::ostream* os) { *os << f.name; }

class FensterGanzwerte : public Fensterumgebung, public ::testing::WithParamInterface<Fensterfall> {
 protected:
  void SetUp() override { Starten(kDaten); }
};

void FensterAufDemSchirm(const QWidget& fenster) {
  const QRect frei = fenster.screen()->availableGeometry();
  EXPECT_TRUE(frei.contains(fenster.frameGeometry())) << "Fenster " << fenster.frameGeometry().x() << ","
                                                      << fenster.frameGeometry().y() << " "
                                                      << fenster.frameGeometry().width() << "x"
                                                      << fenster.frameGeometry().height();
}

TEST_P(FensterGanzwerte, ZeigtBetraegeIbanUndBicGanz) {
  QWidget* fenster = GetParam().oeffnen(*this);
  ASSERT_NE(fenster, nullptr);
  ASSERT_TRUE(fenster->isVisible());
  FensterAufDemSchirm(*fenster);
  const Ganzwertbefund b = GanzwertePruefen(*fenster);
  EXPECT_GE(b.geprueft, GetParam().mindestens);
  for (const QString& mangel : b.maengel) ADD_FAILURE() << mangel.toStdString();
}

Bedingung Gutschriften() {
  ZahlungenFilter f;
  f.absenderNr = 1;
  return ZahlungenBedingung(f);
}

// The search list (F4/F5) of banks (1), addresses (2) or payments (3), shown.
QWidget* Suchliste(Fensterumgebung& t, bool suchfeld, const Bedingung& filter, int modus) {
  auto* liste = t.Eigenes(std::make_unique<SuchlisteF4>());
  if (!liste->Daten(QApplication::font(), suchfeld, filter, {}, modus)) return nullptr;
  liste->show();
  Fensterumgebung::Warten();
  return liste;
}

const Fensterfall kFenster[] = {
    {"Hauptfenster", 0, [](Fensterumgebung& t) -> QWidget* { return &t.Haupt(); }},
    {"Zahlungserfassung", 6,
     [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::ZahlungenErfassen, "FormularZahlung"); }},
    {"Zahlungsliste", 12, [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::Zahlungsliste, "Zahlungsliste"); }},
    {"SepaDatei", 4,
     [](Fensterumgebung& t) {
       t.Rekorder().Antworte(MeldungsAntwort::Nein);   // not yet the list of the orders left out
       return t.Befehl(Hauptbefehl::SepaDatei, "FormularDTADisk");
     }},
    {"WeggelasseneZahlungen", 2,
     [](Fensterumgebung& t) -> QWidget* {
       t.Rekorder().Antworte(MeldungsAntwort::Ja);
       QWidget* sepa = t.Befehl(Hauptbefehl::SepaDatei, "FormularDTADisk");
       return sepa ? sepa->findChild<SepaFehlerliste*>() : nullptr;
     }},
    {"Selektiv", 6, [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::Selektivloeschen, "FormularSelektiv"); }},
    {"Adressen", 4, [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::Adressen, "FormAdressen/Adressen"); }},
    {"Bankverbindungen", 2,
     [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::Bankverbindungen, "FormAdressen/Bankverbindungen"); }},
    {"Absender", 2, [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::Absender, "FormularAbsender"); }},
    {"Einstellungen", 0, [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::Einstellungen, "Optionen"); }},
    {"Rechner", 0, [](Fensterumgebung& t) { return t.Befehl(Hauptbefehl::Rechner, "Rechner"); }},
    {"SuchlisteBanken", 2, [](Fensterumgebung& t) { return Suchliste(t, false, {}, 1); }},
    {"SuchlisteAdressen", 4, [](Fensterumgebung& t) { return Suchliste(t, true, {}, 2); }},
    {"SuchlisteZahlungen", 4, [](Fensterumgebung& t) { return Suchliste(t, false, Gutschriften(), 3); }},
    {"AdresseAendern", 2,
     [](Fensterumgebung& t) -> QWidget* {
       auto* eingabe = t.Eigenes(std::make_unique<AdressenEingabe>(AdressenEingabe::Art::Adresse, false));
       eingabe->AdresseSetzen({.opKontoNr = QStringLiteral("10001"), .suchname = QStringLiteral("WUNDERLICH"),
                               .name = QStringLiteral(NAME_70), .bank = QStringLiteral("Wüstenrot Bank"),
                               .bic = QStringLiteral(BIC_W), .iban = QStringLiteral(IBAN_34)});
       eingabe->show();
       Fensterumgebung::Warten();
       return eingabe;
     }},
    {"BankAendern", 1,
     [](Fensterumgebung& t) -> QWidget* {
       auto* eingabe = t.Eigenes(std::make_unique<AdressenEingabe>(AdressenEingabe::Art::Bank, false));
       eingabe->BankSetzen({.blz = QStringLiteral("37040044"), .bic = QStringLiteral(BIC_W),
                            .bank = QStringLiteral("Wüstenrot Bank")});
       eingabe->show();
       Fensterumgebung::Warten();
       return eingabe;
     }},
    {"Import", 4,
     [](Fensterumgebung& t) -> QWidget* {
       t.BuchhaltungVerknuepfen();
       auto* import = t.Eigenes(std::make_unique<ImportForm>(ImportAufruf{Zahlart::BasisLastschrift, QApplication::font()}));
       import->show();
       Fensterumgebung::Warten();
       return import;
     }},
    {"Skonto", 4,
     [](Fensterumgebung& t) -> QWidget* {
       auto* skonto = t.Eigenes(std::make_unique<SkontoForm>());
       skonto->Daten(Gutschriften(), 1, QApplication::font());
       skonto->show();
       Fensterumgebung::Warten();
       return skonto;
     }},
};

INSTANTIATE_TEST_SUITE_P(Alle, FensterGanzwerte, ::testing::ValuesIn(kFenster),
                         [](const ::testing::TestParamInfo<Fensterfall>& info) { return std::string(info.param.name); });

// Totals beyond 999.999.999.999,99, where one payment's largest amount is far too small a measure.
// Viele: 2,000 more open credit transfers of the largest amount (totals of about two trillion euros, well
// within what a total field is made for: shown whole). Riesig: the first payment damaged, its line and total
// holding -900 trillion euros (beyond what a field is made for: shown whole where the room allows, else as
// "###" with the whole value in the tooltip).
const char* const kViele = R"sql(
INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, OPKontoNr, Name, Bank, BIC, IBAN, Verwendungszweck1, ZahlungGesamt,
  "Fällig", Erledigt)
 WITH RECURSIVE n(i) AS (SELECT 101 UNION ALL SELECT i + 1 FROM n WHERE i < 2100)
 SELECT i, 1, 'G', '10001', ')sql" NAME_70 R"sql(', 'Wüstenrot Bank', ')sql" BIC_W R"sql(', ')sql" IBAN_MT R"sql(',
  'RG ' || i, )sql" HOECHST R"sql(, '2024-03-10', 0 FROM n;
INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, OPBetrag, SkontoBetrag,
  ZahlungsBetrag)
 SELECT ZahlungNr, 1, Verwendungszweck1, Verwendungszweck1, ZahlungGesamt, 0, ZahlungGesamt FROM Zahlungen
 WHERE ZahlungNr > 100;
)sql";
const char* const kRiesig = R"sql(
UPDATE Verwendungszweck SET OPBetrag = -9000000000000000000, ZahlungsBetrag = -9000000000000000000 WHERE ZahlungNr = 1;
UPDATE Zahlungen SET ZahlungGesamt = -9000000000000000000 WHERE ZahlungNr = 1;
)sql";

enum class Summendaten { Viele, Riesig };

struct Summenfall {
  const char* name;
  const char* fenster;   // a row of kFenster
  Summendaten daten;
  int grosse;            // totals beyond 999.999.999.999,99 the window shows at least
};
void PrintTo(const Summenfall& f, std::ostream* os) { *os << f.name; }

class FensterSummen : public Fensterumgebung, public ::testing::WithParamInterface<Summenfall> {
 protected:
  void SetUp() override { Starten(std::string(kDaten) + (GetParam().daten == Summendaten::Viele ? kViele : kRiesig)); }
};

TEST_P(FensterSummen, ZeigtGrosseSummenGanz) {
  const Summenfall& fall = GetParam();
  const auto* fensterfall = std::find_if(std::begin(kFenster), std::end(kFenster),
                                         [&fall](const Fensterfall& f) { return std::string(f.name) == fall.fenster; });
  ASSERT_NE(fensterfall, std::end(kFenster));
  QWidget* fenster = fensterfall->oeffnen(*this);
  ASSERT_NE(fenster, nullptr);
  ASSERT_TRUE(fenster->isVisible());
  FensterAufDemSchirm(*fenster);
  const Ganzwertbefund b =
      GanzwertePruefen(*fenster, fall.daten == Summendaten::Riesig ? Rauten::MitWertImTipp : Rauten::Mangel);
  for (const QString& mangel : b.maengel) ADD_FAILURE() << mangel.toStdString();
  const Waehrung grenze = *Waehrung::ParseDeutsch(QStringLiteral("999.999.999.999,99"));
  QStringList grosse;
  for (const QString& wert : b.ganz)
    if (const std::optional<Waehrung> w = Waehrung::ParseDeutsch(wert); w && (*w > grenze || *w < -grenze))
      grosse << wert;
  EXPECT_GE(grosse.size(), fall.grosse) << grosse.join(QStringLiteral(" | ")).toStdString();
}

const Summenfall kSummen[] = {
    {"Zahlungserfassung_Viele", "Zahlungserfassung", Summendaten::Viele, 1},
    {"Zahlungsliste_Viele", "Zahlungsliste", Summendaten::Viele, 1},
    {"SepaDatei_Viele", "SepaDatei", Summendaten::Viele, 1},
    {"Skonto_Viele", "Skonto", Summendaten::Viele, 2},
    // The damaged payment is the current one: its amount, line and sums as well.
    {"Zahlungserfassung_Riesig", "Zahlungserfassung", Summendaten::Riesig, 7},
    {"Zahlungsliste_Riesig", "Zahlungsliste", Summendaten::Riesig, 2},
    {"Skonto_Riesig", "Skonto", Summendaten::Riesig, 4},
};

INSTANTIATE_TEST_SUITE_P(Summen, FensterSummen, ::testing::ValuesIn(kSummen),
                         [](const ::testing::TestParamInfo<Summenfall>& info) { return std::string(info.param.name); });

// The check itself sees a cut: an IBAN and an amount in columns too narrow for them, an amount field too
// narrow, and a value shown as "###".
TEST(Ganzwertpruefung, SiehtGekuerzteWerte) {
  EXPECT_TRUE(IstGanzwert(QStringLiteral("-999.999.999,99")));
  EXPECT_TRUE(IstGanzwert(QStringLiteral(IBAN_34)));
  EXPECT_TRUE(IstGanzwert(QStringLiteral("DE89 3704 0044 0532 0130 00")));
  EXPECT_TRUE(IstGanzwert(QStringLiteral("HYVEDEMMXXX")));
  EXPECT_FALSE(IstGanzwert(QStringLiteral(NAME_70)));
  EXPECT_FALSE(IstGanzwert(QStringLiteral("10.03.2024")));
  EXPECT_FALSE(IstGanzwert(QStringLiteral("10001")));

  QWidget fenster;
  auto* layout = new QVBoxLayout(&fenster);
  QStandardItemModel modell(1, 3);
  modell.setItem(0, 0, new QStandardItem(QStringLiteral(IBAN_34)));
  modell.setItem(0, 1, new QStandardItem(QStringLiteral("-999.999.999,99")));
  modell.setItem(0, 2, new QStandardItem(QStringLiteral(NAME_70)));
  auto* tabelle = new QTableView(&fenster);
  tabelle->setModel(&modell);
  auto* feld = new QLineEdit(QStringLiteral("-999.999.999,99"), &fenster);
  layout->addWidget(tabelle);
  layout->addWidget(feld);
  fenster.resize(900, 300);
  fenster.show();
  tabelle->setColumnWidth(0, 400);
  tabelle->setColumnWidth(1, 200);
  tabelle->setColumnWidth(2, 40);   // a name may be shortened
  feld->setFixedWidth(300);
  QApplication::processEvents();
  Ganzwertbefund b = GanzwertePruefen(fenster);
  EXPECT_EQ(b.geprueft, 3);
  EXPECT_TRUE(b.maengel.isEmpty()) << b.maengel.join(QLatin1Char('\n')).toStdString();

  tabelle->setColumnWidth(0, 120);
  tabelle->setColumnWidth(1, 60);
  feld->setFixedWidth(50);
  QApplication::processEvents();
  for (Qt::TextElideMode art : {Qt::ElideRight, Qt::ElideNone}) {   // shortened, then clipped at the cell's edge
    tabelle->setTextElideMode(art);
    b = GanzwertePruefen(fenster);
    EXPECT_EQ(b.maengel.size(), 3) << b.maengel.join(QLatin1Char('\n')).toStdString();
  }
}

// A total field too narrow for its value shows "###": whole only where that is allowed and its tooltip holds
// the value; "###" with a reason alone is a defect either way.
TEST(Ganzwertpruefung, RautenNurMitDemWertImTipp) {
  QWidget fenster;
  auto* layout = new QVBoxLayout(&fenster);
  auto* summe = new ZahlFeld(&fenster);
  summe->setReadOnly(true);
  summe->setFocusPolicy(Qt::NoFocus);
  summe->AnzeigeFormatSetzen(ZahlFormat{2, true, {}, {}, QStringLiteral("###")});
  summe->setToolTip(QStringLiteral("Gesamtsumme"));
  summe->setFixedWidth(60);
  layout->addWidget(summe);
  fenster.show();
  summe->WertSetzen(Waehrung::AusRoh(-Waehrung::Hoechstbetrag));
  QApplication::processEvents();
  ASSERT_EQ(summe->text(), QStringLiteral("###"));
  Ganzwertbefund b = GanzwertePruefen(fenster, Rauten::MitWertImTipp);
  EXPECT_TRUE(b.maengel.isEmpty()) << b.maengel.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(b.ganz, QStringList{QStringLiteral("-999.999.999,99")});
  EXPECT_EQ(GanzwertePruefen(fenster).maengel.size(), 1);

  summe->WertSetzen(std::nullopt);
  summe->setToolTip(Waehrung::SummeNichtBildbarText());
  b = GanzwertePruefen(fenster, Rauten::MitWertImTipp);
  EXPECT_EQ(b.maengel.size(), 1);
  EXPECT_TRUE(b.ganz.isEmpty());
}

}  // namespace
