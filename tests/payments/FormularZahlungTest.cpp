#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include "FensterTestumgebung.h"
#include "common/Programmzustand.h"
#include "payments/FormularZahlung.h"
#include "payments/core/Zahlungswerte.h"
#include "platform/db/Wertumwandlung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatensatzNavigator.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Feldgrenze.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/Werkzeugleiste.h"
#include "zahlungsverkehr/Iban.h"
#include "platform/ui/ZahlFeld.h"
#include "platform/ui/ZweispaltenCombo.h"
#include "platform/settings/Registrierung.h"

namespace {

const QString Titel = QStringLiteral("Tamo-SEPA Zahlungen erfassen");
const QString Ende = QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe.");

QStringList Namen(FormularZahlung& f) {
  QStringList n;
  for (int z = 0; z < f.Browsegitter()->ZeilenAnzahl(); ++z) n << f.Browsegitter()->Wert(z, QStringLiteral("Name")).toString();
  return n;
}

// A key as the user types it: to the widget that has the focus.
void Taste(FormularZahlung& f, int taste, Qt::KeyboardModifiers mod = Qt::NoModifier) {
  QWidget* ziel = f.focusWidget() ? f.focusWidget() : &f;
  QTest::keyClick(ziel, Qt::Key(taste), mod);
  QApplication::processEvents();
}

struct Zeilenstand {
  qint64 lfdNr;
  int zeilenNr;
  QString text;
  qint64 betrag;
  bool operator==(const Zeilenstand&) const = default;
};
std::vector<Zeilenstand> Zeilen(FensterTestumgebung& u, qint64 nr) {
  std::vector<Zeilenstand> z;
  u.Db().Abfragen("SELECT LfdNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag FROM Verwendungszweck WHERE ZahlungNr = ? "
                  "ORDER BY ZeilenNr, LfdNr",
                  {QVariant(nr)}, [&](const Zeile& r) {
                    z.push_back({r.Wert(0).toLongLong(), r.Wert(1).toInt(), r.Wert(2).toString(), r.Wert(3).toLongLong()});
                    return true;
                  });
  return z;
}

class FormularZahlungTest : public ::testing::Test {
 protected:
  // A payment of 100,00 with its one line "RG 1".
  qint64 ZahlungMitEinerZeile(std::optional<QDate> faellig = std::nullopt) {
    FensterTestumgebung::Zahlung p;
    p.gesamt = Eur(100);
    p.faellig = faellig;
    const qint64 nr = u.ZahlungAnlegen(p);
    u.ZeileAnlegen(nr, 1, QStringLiteral("RG 1"), Eur(100));
    return nr;
  }

  FensterTestumgebung u;
};

// --- browse query ------------------------------------------------------------------------------

class BrowseTest : public FormularZahlungTest {
 protected:
  void SetUp() override {
    auto z = [&](const char* name, const char* art, std::optional<int> seq, std::optional<QDate> faellig, int absender = 1,
                 bool erledigt = false) {
      FensterTestumgebung::Zahlung p;
      p.name = QString::fromUtf8(name);
      p.art = QString::fromUtf8(art);
      p.mandatSequenz = seq;
      p.faellig = faellig;
      p.absenderNr = absender;
      p.erledigt = erledigt;
      p.gesamt = Eur(10);
      if (p.art == QStringLiteral("L")) {
        p.mandatReferenz = QStringLiteral("M-1");
        p.mandatDatum = QDate(2023, 1, 1);
      }
      return u.ZahlungAnlegen(p);
    };
    z("Anton", "G", {}, QDate(2024, 3, 15));
    z("Berta", "G", {}, QDate(2024, 3, 16));
    z("Cäsar", "G", {}, std::nullopt);
    z("Dora erledigt", "G", {}, QDate(2024, 3, 1), 1, true);
    z("Emil Absender 2", "G", {}, QDate(2024, 3, 1), 2);
    z("Friedrich Basis", "L", 2, QDate(2024, 3, 1));
    z("Gustav Firmen", "L", 12, QDate(2024, 3, 1));
  }
};

TEST_F(BrowseTest, ListetJeArtUndAbsenderNurOffeneMitSummeUndSequenz) {
  FormularZahlung& f = u.Fenster();
  EXPECT_EQ(Namen(f), (QStringList{QStringLiteral("Anton"), QStringLiteral("Berta"), QStringLiteral("Cäsar")}));
  EXPECT_EQ(f.GesamtBeschriftung()->text(), QStringLiteral("Gesamtsumme Gutschriften"));
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(30));
  EXPECT_FALSE(f.Browsegitter()->SpalteSichtbar(f.Browsegitter()->SpaltenIndex(QStringLiteral("MandatReferenz"))));
  EXPECT_EQ(f.SequenzOptionen()->Wert(), -1);

  EXPECT_EQ(f.GesamtBeschriftung()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  EXPECT_EQ(f.GesamtBeschriftung()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(Namen(f), QStringList{QStringLiteral("Friedrich Basis")});
  EXPECT_EQ(f.GesamtBeschriftung()->text(), QStringLiteral("Gesamtsumme Basis-Lastschriften"));
  EXPECT_EQ(f.SequenzOptionen()->Wert(), 1);  // MandatSequenz 2: first collection
  EXPECT_TRUE(f.Browsegitter()->SpalteSichtbar(f.Browsegitter()->SpaltenIndex(QStringLiteral("MandatReferenz"))));
  EXPECT_TRUE(f.Browsegitter()->SpalteSichtbar(f.Browsegitter()->SpaltenIndex(QStringLiteral("MandatDatum"))));

  f.ZahlartWaehlen(Zahlart::FirmenLastschrift);
  EXPECT_EQ(Namen(f), QStringList{QStringLiteral("Gustav Firmen")});
  EXPECT_EQ(f.GesamtBeschriftung()->text(), QStringLiteral("Gesamtsumme Firmen-Lastschriften"));
  EXPECT_EQ(f.SequenzOptionen()->Wert(), 1);  // 12 shows on the same four options

  Zustand().AktuelleAbsenderNrSetzen(2);
  f.ZahlartWaehlen(Zahlart::Ueberweisung);
  EXPECT_EQ(Namen(f), QStringList{QStringLiteral("Emil Absender 2")});
}

// Steering by number finds a listed payment wherever it stands; one not listed (done, another
// sender's, gone) leaves the current payment as it is.
TEST_F(BrowseTest, AnsteuernNurAufGelisteteZahlungen) {
  auto nummer = [&](const char* name) {
    return u.Wert(SqlText("SELECT ZahlungNr FROM Zahlungen WHERE Name = ?"), {QString::fromUtf8(name)}).toLongLong();
  };
  FormularZahlung& f = u.Fenster();
  const qint64 caesar = nummer("Cäsar");
  ASSERT_TRUE(f.ZahlungAnsteuern(caesar));
  EXPECT_EQ(f.AktuelleZahlungNr(), caesar);
  EXPECT_EQ(f.Browsegitter()->AktuelleZeile(), 2);
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Cäsar"));

  for (const char* fremd : {"Dora erledigt", "Emil Absender 2", "Friedrich Basis"})
    EXPECT_FALSE(f.ZahlungAnsteuern(nummer(fremd))) << fremd;
  const qint64 hoechste = u.Wert(SqlText("SELECT MAX(ZahlungNr) FROM Zahlungen")).toLongLong();
  EXPECT_FALSE(f.ZahlungAnsteuern(hoechste + 1));
  EXPECT_EQ(f.AktuelleZahlungNr(), caesar);
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Cäsar"));

  const qint64 anton = nummer("Anton");
  ASSERT_TRUE(f.ZahlungAnsteuern(anton));
  EXPECT_EQ(f.Browsegitter()->AktuelleZeile(), 0);
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Anton"));
}

TEST_F(BrowseTest, FaelligkeitsgrenzeSchliesstDenTagEinUndLeereAus) {
  FormularZahlung& f = u.Fenster();
  QList<std::optional<QDate>> vorschlaege;
  std::optional<QDate> antwort = QDate(2024, 3, 15);
  f.FaelligAbfrageSetzen([&](const std::optional<QDate>& bisher) {
    vorschlaege.append(bisher);
    return antwort;
  });
  Taste(f, Qt::Key_F6);
  EXPECT_EQ(Namen(f), QStringList{QStringLiteral("Anton")});
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(10));
  antwort = std::nullopt;  // "Abbruch" removes the limit
  Taste(f, Qt::Key_F6);
  EXPECT_EQ(Namen(f).size(), 3);
  ASSERT_EQ(vorschlaege.size(), 2);
  EXPECT_FALSE(vorschlaege[0].has_value());
  EXPECT_EQ(vorschlaege[1], QDate(2024, 3, 15));
}

TEST_F(BrowseTest, FilterleisteFiltertMitGebundenemText) {
  FormularZahlung& f = u.Fenster();
  Taste(f, Qt::Key_F3);
  ASSERT_TRUE(f.Browsegitter()->Filterleiste());
  EXPECT_TRUE(f.Leiste()->Gedrueckt(QStringLiteral("Suchen")));
  EXPECT_EQ(f.Leiste()->Tooltip(QStringLiteral("Suchen")), QStringLiteral("Suchmodus ausschalten"));
  const int name = f.Browsegitter()->SpaltenIndex(QStringLiteral("Name"));
  f.Browsegitter()->SetzeFilterText(name, QStringLiteral("ber"));
  ASSERT_TRUE(f.Browsegitter()->FilterAnwenden());
  EXPECT_EQ(Namen(f), QStringList{QStringLiteral("Berta")});
  EXPECT_EQ(GetSetting(QStringLiteral("Formular State"), QStringLiteral("Suchspalte")), QString::number(name));
  // Quote and wildcard characters are plain text of a bound value.
  f.Browsegitter()->SetzeFilterText(name, QStringLiteral("x' OR '1'='1"));
  f.Browsegitter()->FilterAnwenden();
  EXPECT_TRUE(Namen(f).isEmpty());
  EXPECT_EQ(u.Meldungen().Anzahl(), 0);
  // Switching search mode off empties the filter.
  Taste(f, Qt::Key_F3);
  EXPECT_FALSE(f.Browsegitter()->Filterleiste());
  EXPECT_EQ(Namen(f).size(), 3);
}

// --- modes -------------------------------------------------------------------------------------

TEST_F(FormularZahlungTest, ModiSperrenFelderUndSetzenBeschriftungen) {
  FensterTestumgebung::Zahlung p;
  p.bic = QStringLiteral("ABC");  // invalid: coloured when changing
  u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  Werkzeugleiste* l = f.Leiste();
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Blättern"));
  EXPECT_EQ(l->Beschriftung(QStringLiteral("Neu")), QStringLiteral("&Neu<F9>"));
  EXPECT_EQ(l->Tooltip(QStringLiteral("Neu")), QStringLiteral("Neue Zahlung eingeben"));
  EXPECT_EQ(l->Beschriftung(QStringLiteral("Schliessen")), QStringLiteral("Schließen"));
  EXPECT_FALSE(l->Sichtbar(QStringLiteral("Kopieren")));
  EXPECT_TRUE(l->Sichtbar(QStringLiteral("Suchen")));
  EXPECT_TRUE(l->Sichtbar(QStringLiteral("Skonto")));
  EXPECT_TRUE(l->Sichtbar(QStringLiteral("Prüfen")));
  EXPECT_TRUE(l->Sichtbar(QStringLiteral("Import")));   // without linked open items too: it says why
  EXPECT_TRUE(f.Maske(0)->isReadOnly());
  EXPECT_TRUE(f.Rahmen(0)->isEnabled());
  EXPECT_TRUE(f.Browsegitter()->isEnabled());
  EXPECT_FALSE(f.Maske(3)->UngueltigAngezeigt());

  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Ändern"));
  EXPECT_EQ(l->Beschriftung(QStringLiteral("Neu")), QStringLiteral("Speichern<F9>"));
  EXPECT_EQ(l->Tooltip(QStringLiteral("Neu")), QStringLiteral("Zahlung speichern"));
  EXPECT_EQ(l->Beschriftung(QStringLiteral("Schliessen")), QStringLiteral("Abbruch<ESC>"));
  EXPECT_EQ(l->Tooltip(QStringLiteral("Schliessen")), QStringLiteral("Eingabe abbrechen ohne speichern"));
  EXPECT_TRUE(l->Sichtbar(QStringLiteral("Kopieren")));
  EXPECT_FALSE(l->Sichtbar(QStringLiteral("Suchen")));
  EXPECT_FALSE(l->Sichtbar(QStringLiteral("Löschen")));
  EXPECT_FALSE(l->Sichtbar(QStringLiteral("Skonto")));
  EXPECT_FALSE(l->Sichtbar(QStringLiteral("Prüfen")));
  EXPECT_FALSE(f.Maske(0)->isReadOnly());
  EXPECT_FALSE(f.Rahmen(0)->isEnabled());
  EXPECT_FALSE(f.Rahmen(1)->isEnabled());
  EXPECT_FALSE(f.Browsegitter()->isEnabled());
  // Credit transfer: the mandate fields stay shut.
  EXPECT_FALSE(f.SequenzOptionen()->isEnabled());
  EXPECT_FALSE(f.MandatDatumFeld()->isEnabled());
  // Invalid fields white on red; the valid ones not.
  EXPECT_TRUE(f.Maske(3)->UngueltigAngezeigt());
  EXPECT_FALSE(f.Maske(0)->UngueltigAngezeigt());
  EXPECT_FALSE(f.Maske(4)->UngueltigAngezeigt());

  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Blättern"));
  EXPECT_TRUE(f.Maske(0)->isReadOnly());
  EXPECT_FALSE(f.Maske(3)->UngueltigAngezeigt());
}

// The name field stayed red after a pick from the search list until it was left: the fields the pick
// fills show their state at once (a field the pick leaves alone keeps its colour).
TEST_F(FormularZahlungTest, NachDerSuchlisteZeigenDieFelderIhrenStand) {
  FensterTestumgebung::Zahlung p;
  p.name.clear();
  p.bic = QStringLiteral("ABC");
  p.verwendungszweck1.clear();
  u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  ASSERT_TRUE(f.Maske(0)->UngueltigAngezeigt());
  ASSERT_TRUE(f.Maske(3)->UngueltigAngezeigt());
  const bool zweckRot = f.Maske(5)->UngueltigAngezeigt();
  u.suchlistenAntwort = QVariantList{QVariant(), QStringLiteral("Huber KG"), QStringLiteral("Sparkasse"),
                                     QStringLiteral("BYLADEM1001"), QStringLiteral("DE02120300000000202051"),
                                     QVariant(), QVariant(), QVariant(), QStringLiteral("00003")};
  f.Maske(0)->setFocus();
  Taste(f, Qt::Key_F4);
  ASSERT_EQ(u.suchlistenAufrufe.size(), 1);
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Huber KG"));
  EXPECT_FALSE(f.Maske(0)->UngueltigAngezeigt());
  EXPECT_FALSE(f.Maske(3)->UngueltigAngezeigt());
  EXPECT_FALSE(f.Maske(4)->UngueltigAngezeigt());
  EXPECT_EQ(f.Maske(5)->UngueltigAngezeigt(), zweckRot);
}

TEST_F(FormularZahlungTest, LeereListeSperrtAendernUndLoeschen) {
  FormularZahlung& f = u.Fenster();
  EXPECT_FALSE(f.Leiste()->Aktiviert(QStringLiteral("Ändern")));
  EXPECT_FALSE(f.Leiste()->Aktiviert(QStringLiteral("Löschen")));
  EXPECT_FALSE(f.Befehl(QStringLiteral("Ändern")));
  EXPECT_EQ(f.GesamtFeld()->Wert(), Waehrung());
}

// --- "Neu" -------------------------------------------------------------------------------------

TEST_F(FormularZahlungTest, NeuSpeichertSofortMitUebernommenenFeldern) {
  FensterTestumgebung::Zahlung p;
  p.opKontoNr = QStringLiteral("00007");
  p.textschluessel = QStringLiteral("SALA");
  const qint64 alt = u.ZahlungAnlegen(p);
  Zustand().KopierfeldSetzen({true, false, false, true, false, false});
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  ASSERT_TRUE(f.AktuelleZahlungNr().has_value());
  const qint64 nr = *f.AktuelleZahlungNr();
  EXPECT_NE(nr, alt);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Neueingabe"));
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 2);
  EXPECT_EQ(u.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("Meier GmbH"));
  EXPECT_EQ(u.Wert("SELECT IBAN FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), p.iban);
  EXPECT_EQ(u.Wert("SELECT OPKontoNr FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("00007"));
  EXPECT_EQ(u.Wert("SELECT \"Textschlüssel\" FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("SALA"));
  EXPECT_TRUE(u.Wert("SELECT BIC FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString().isEmpty());
  EXPECT_TRUE(u.Wert("SELECT Bank FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString().isEmpty());
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Meier GmbH"));
  EXPECT_TRUE(f.Maske(3)->Wert().isEmpty());
  EXPECT_EQ(f.focusWidget(), f.Maske(0));

  // Cancel deletes the stored row and returns to the payment before.
  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 1);
  EXPECT_EQ(f.AktuelleZahlungNr(), alt);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Blättern"));
}

TEST_F(FormularZahlungTest, NeueLastschriftOhneSequenzMitHeutigemMandatsdatumUndSuchliste) {
  Optionsschalter o = Zustand().Optionen();
  o.NeuMitSuchliste = true;
  Zustand().OptionenSetzen(o);
  u.AdresseAnlegen(QStringLiteral("00003"), QStringLiteral("Huber KG"), QStringLiteral("DE02120300000000202051"),
                   QStringLiteral("BYLADEM1001"), QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)"), QStringLiteral("MR-9"));
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  u.suchlistenAntwort = QVariantList{QVariant(), QStringLiteral("Huber KG"), QStringLiteral("Sparkasse"),
                                     QStringLiteral("BYLADEM1001"), QStringLiteral("DE02120300000000202051"),
                                     QStringLiteral("MR-9"), QDate(2023, 5, 1),
                                     QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)"), QStringLiteral("00003")};
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  const qint64 nr = *f.AktuelleZahlungNr();
  EXPECT_EQ(u.Wert("SELECT MandatSequenz FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toInt(), 0);
  EXPECT_EQ(u.Wert("SELECT MandatDatum FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("2024-03-10"));
  ASSERT_EQ(u.suchlistenAufrufe.size(), 1);
  EXPECT_EQ(u.suchlistenAufrufe[0].modus, 2);
  EXPECT_EQ(u.suchlistenAufrufe[0].suchfeld, QStringLiteral("Name"));
  // The chosen address filled the payee and mandate fields.
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Huber KG"));
  EXPECT_EQ(f.Maske(1)->Wert(), QStringLiteral("MR-9"));
  EXPECT_EQ(f.Maske(4)->Wert(), QStringLiteral("DE02120300000000202051"));
  EXPECT_EQ(f.MandatDatumFeld()->Wert(), QDate(2023, 5, 1));
  EXPECT_EQ(f.SequenzOptionen()->Wert(), 2);
  EXPECT_EQ(f.OPKontoNr(), QStringLiteral("00003"));
  EXPECT_TRUE(f.SequenzOptionen()->isEnabled());
}

// --- save --------------------------------------------------------------------------------------

struct PrueffallDaten {
  const char* name;
  const char* bic;
  const char* iban;
  const char* text;
  int betragEuro;
  const char* meldung;
  Fokusfeld fokus;
};

class SpeichernPrueffall : public FormularZahlungTest, public ::testing::WithParamInterface<PrueffallDaten> {};

TEST_P(SpeichernPrueffall, ErsterFehlerMitMeldungUndFokus) {
  const PrueffallDaten& d = GetParam();
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  const qint64 nr = *f.AktuelleZahlungNr();
  f.Maske(0)->WertSetzen(QString::fromUtf8(d.name));
  f.Maske(3)->WertSetzen(QString::fromUtf8(d.bic));
  f.Maske(4)->WertSetzen(QString::fromUtf8(d.iban));
  f.Maske(5)->WertSetzen(QString::fromUtf8(d.text));
  if (d.betragEuro) f.BetragFeld()->WertSetzen(Eur(d.betragEuro));
  Taste(f, Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text, QString::fromUtf8(d.meldung) + Ende);
  EXPECT_EQ(u.Meldungen().Letzter().titel, Titel);
  EXPECT_EQ(f.focusWidget(), f.Fokusziel(d.fokus));
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  // Nothing was written by the failed save.
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}), 0);
  EXPECT_TRUE(u.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Fenster, SpeichernPrueffall,
    ::testing::Values(
        // several faults at once: only the first is reported
        PrueffallDaten{"", "", "", "", 0, "Die Namensangabe darf nicht leer sein!", Fokusfeld::Name},
        PrueffallDaten{"Meier", "COBADEF", "DE89370400440532013000", "RG 1", 5,
                       "Die BIC (Internationale Bankleitzahl) fehlt noch oder ist unvollständig!\r(Die Länge beträgt 8 oder 11 Zeichen.)",
                       Fokusfeld::Bic},
        PrueffallDaten{"Meier", "COBADEFFXXX", "DE8937", "RG 1", 5,
                       "Die IBAN ist zu kurz. Es sind mindestens 15 Zeichen notwendig.", Fokusfeld::Iban},
        PrueffallDaten{"Meier", "COBADEFFXXX", "DE89370400440532013000", "", 5,
                       "Der Verwendungszweck darf nicht leer sein!", Fokusfeld::Verwendungszweck},
        PrueffallDaten{"Meier", "COBADEFFXXX", "DE89370400440532013000", "RG 1", 0, "Der Betrag muß größer Null sein!",
                       Fokusfeld::Betrag},
        // What the bank would refuse, each naming its field.
        PrueffallDaten{"Meier", "COBADEFFXXX", "DE88370400440532013000", "RG 1", 5, "Die Prüfziffer der IBAN ist falsch.",
                       Fokusfeld::Iban},
        PrueffallDaten{"Meier", "12345678", "DE89370400440532013000", "RG 1", 5,
                       "Die BIC (Internationale Bankleitzahl) ist ungültig!\r(Die BIC muss mit 4 Buchstaben (Bankcode) "
                       "beginnen.)",
                       Fokusfeld::Bic},
        PrueffallDaten{"Meier", "", "CH9300762011623852957", "RG 1", 5,
                       "Die BIC (Internationale Bankleitzahl) fehlt noch!\r(Für eine IBAN aus CH, einem Land außerhalb "
                       "des Europäischen Wirtschaftsraums, ist sie Pflicht.)",
                       Fokusfeld::Bic},
        PrueffallDaten{"Meier", "COBADEFFXXX", "DE89370400440532013000", "RG 1", 1000000000,
                       "Der Betrag darf höchstens 999.999.999,99 betragen!", Fokusfeld::Betrag}),
    [](const auto& info) {
      // The message up to its first sentence end names the case.
      const QString meldung = QString::fromUtf8(info.param.meldung);
      return Testname(meldung.left(meldung.indexOf(QRegularExpression(QStringLiteral("[!.\r]")))));
    });

// Texts the bank would get otherwise than typed: letters without a Latin form are named and stay in the
// field for correcting; a bank name that transliteration makes longer than its field is refused, not cut.
TEST_F(FormularZahlungTest, UmschriftOhneVerlustUndBankNichtGekuerzt) {
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  const qint64 nr = *f.AktuelleZahlungNr();
  f.Maske(0)->WertSetzen(QStringLiteral("王明 GmbH"));
  f.Maske(2)->WertSetzen(QString(31, QChar(0x0416)));   // Ж, "ZH" in the file: 62 characters
  f.Maske(3)->WertSetzen(QStringLiteral("COBADEFFXXX"));
  f.Maske(4)->WertSetzen(QStringLiteral("DE89370400440532013000"));
  f.Maske(5)->WertSetzen(QStringLiteral("Счёт 7"));
  f.BetragFeld()->WertSetzen(Eur(5));
  Taste(f, Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("Die Namensangabe enthält Zeichen, die sich nicht in lateinische Schrift umschreiben lassen: 王明") + Ende);
  EXPECT_EQ(f.focusWidget(), f.Fokusziel(Fokusfeld::Name));
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("王明 GmbH"));

  f.Maske(0)->WertSetzen(QStringLiteral("José Ñoño"));
  Taste(f, Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 2);
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("Die Bankbezeichnung ist 62 Zeichen lang; gespeichert werden können höchstens 60 Zeichen!") + Ende);
  EXPECT_EQ(f.focusWidget(), f.Fokusziel(Fokusfeld::Bank));
  EXPECT_TRUE(u.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString().isEmpty());

  f.Maske(2)->WertSetzen(QStringLiteral("Сбербанк"));
  Taste(f, Qt::Key_F9);
  EXPECT_EQ(u.Meldungen().Anzahl(), 2);
  EXPECT_EQ(u.Wert("SELECT Name || '|' || Bank || '|' || Verwendungszweck1 FROM Zahlungen WHERE ZahlungNr = ?", {nr})
                .toString(),
            QStringLiteral("Jose Nono|Sberbank|Schet 7"));
}

// The mandate reference and the purpose code of a direct debit: refused with the focus in their field.
TEST_F(FormularZahlungTest, LastschriftMitUngueltigerMandatReferenzUndFremdemTextschluessel) {
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  u.Meldungen().Leeren();
  const qint64 nr = *f.AktuelleZahlungNr();
  f.Maske(0)->WertSetzen(QStringLiteral("Kunde Huber"));
  f.Maske(3)->WertSetzen(QStringLiteral("COBADEFFXXX"));
  f.Maske(4)->WertSetzen(QStringLiteral("DE89370400440532013000"));
  f.Maske(5)->WertSetzen(QStringLiteral("Beitrag"));
  f.BetragFeld()->WertSetzen(Eur(12));
  f.SequenzOptionen()->WertSetzen(1);
  f.MandatDatumFeld()->WertSetzen(QDate(2023, 5, 1));
  f.Maske(1)->WertSetzen(QStringLiteral("A//B"));
  Taste(f, Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text, QStringLiteral("Die Mandat-Referenz darf kein \"//\" enthalten.") + Ende);
  EXPECT_EQ(f.focusWidget(), f.Maske(1));

  f.Maske(1)->WertSetzen(QStringLiteral("M-2024-1"));
  f.TextschluesselFeld()->CodeSetzen(QStringLiteral("SALA"));
  Taste(f, Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 2);
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("Der Textschlüssel \"SALA\" ist für diese Zahlungsart nicht vorgesehen!") + Ende);
  EXPECT_TRUE(f.focusWidget() == f.TextschluesselFeld() || f.TextschluesselFeld()->isAncestorOf(f.focusWidget()));
  EXPECT_TRUE(u.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString().isEmpty());

  f.TextschluesselFeld()->CodeSetzen(QStringLiteral("COLL"));
  Taste(f, Qt::Key_F9);
  EXPECT_EQ(u.Meldungen().Anzahl(), 2);
  EXPECT_EQ(u.Wert("SELECT MandatReferenz FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("M-2024-1"));
}

// Typing stops at the stored field size, so nothing is cut later.
TEST_F(FormularZahlungTest, EingabefelderBegrenzenAufDieFeldgroesse) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  EXPECT_EQ(f.Maske(0)->MaxLaenge(), 70);
  EXPECT_EQ(f.Maske(1)->MaxLaenge(), 35);
  EXPECT_EQ(f.Maske(3)->MaxLaenge(), 11);
  EXPECT_EQ(f.Maske(5)->MaxLaenge(), 27);
  ASSERT_TRUE(f.TextschluesselFeld()->lineEdit());
  EXPECT_EQ(Feldgrenze::Grenze(f.TextschluesselFeld()->lineEdit()), 4);
  f.TextschluesselFeld()->setFocus();
  u.Meldungen().Leeren();
  QTest::keyClicks(f.TextschluesselFeld()->lineEdit(), QStringLiteral("ABCDEF"));
  EXPECT_EQ(f.TextschluesselFeld()->lineEdit()->text().size(), 4);
  ASSERT_EQ(u.Meldungen().Anzahl(), 2);   // the two characters beyond the size, each with a word
  EXPECT_TRUE(u.Meldungen().Letzter().randhinweis);
}

TEST_F(FormularZahlungTest, GueltigeNeueZahlungWirdGespeichertUndNormalisiert) {
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  const qint64 nr = *f.AktuelleZahlungNr();
  f.Maske(0)->WertSetzen(QStringLiteral("Müller & Söhne"));
  f.Maske(3)->WertSetzen(QStringLiteral("cobadeffxxx"));
  f.Maske(4)->WertSetzen(QStringLiteral("de89 3704 0044 0532 0130 00"));
  f.Maske(5)->WertSetzen(QStringLiteral("Rechnung 4711"));
  f.BetragFeld()->WertSetzen(Eur(12, 50));
  f.TextschluesselFeld()->CodeSetzen(QStringLiteral("supp"));
  Taste(f, Qt::Key_F9);
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  // NeueingabeFortsetzen (default on): the next new payment began at once.
  EXPECT_TRUE(f.ZustandDerMaske().NeuerDatensatz());
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 2);
  EXPECT_EQ(u.Wert("SELECT IBAN FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("DE89370400440532013000"));
  EXPECT_EQ(u.Wert("SELECT BIC FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(u.Wert("SELECT \"Textschlüssel\" FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("SUPP"));
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(12, 50).Roh());
  EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = 1", {nr}).toString(),
            QStringLiteral("Rechnung 4711"));
  // Esc drops only the second, unsaved one.
  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 1);
  EXPECT_EQ(f.AktuelleZahlungNr(), nr);
}

// --- lines -------------------------------------------------------------------------------------

TEST_F(FormularZahlungTest, AbbruchNachAendernStelltAlleZeilenWiederHer) {
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(30);
  const qint64 nr = u.ZahlungAnlegen(p);
  u.ZeileAnlegen(nr, 1, QStringLiteral("RG 1"), Eur(10));
  u.ZeileAnlegen(nr, 2, QStringLiteral("RG 2"), Eur(20));
  const auto vorher = Zeilen(u, nr);
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::OhneOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  DatenGitter* g = f.Zeilengitter();
  const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
  const int betrag = g->SpaltenIndex(QStringLiteral("ZahlungsBetrag"));
  // Change line 2 (the grid's second row, not the current one), add a third, delete the first.
  g->SetzeAktuelleZelle(1, text);
  ASSERT_TRUE(g->ZellwertSetzen(text, QStringLiteral("Geändert")));
  ASSERT_TRUE(g->ZeileSpeichern());
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), text);
  ASSERT_TRUE(g->ZellwertSetzen(text, QStringLiteral("Neue Zeile")));
  ASSERT_TRUE(g->ZellwertSetzen(betrag, QVariant::fromValue(Eur(5))));
  ASSERT_TRUE(g->ZeileSpeichern());
  EXPECT_EQ(Zeilen(u, nr).size(), 3u);
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(35));
  // Deleted as the user does: selecting lines, then Del.
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, text);
  Taste(f, Qt::Key_Escape);
  Taste(f, Qt::Key_Delete);
  const auto geaendert = Zeilen(u, nr);
  ASSERT_EQ(geaendert.size(), 2u);
  EXPECT_EQ(geaendert[0].zeilenNr, 1);  // renumbered in entry mode
  EXPECT_EQ(geaendert[0].text, QStringLiteral("Geändert"));

  f.setFocus();
  Taste(f, Qt::Key_Escape);
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(Zeilen(u, nr), vorher);
  EXPECT_EQ(f.Zeilengitter()->ZeilenAnzahl(), 2);
}

TEST_F(FormularZahlungTest, SechsteZeileWirdAbgelehnt) {
  const qint64 nr = u.ZahlungAnlegen({});
  for (int i = 1; i <= 5; ++i) u.ZeileAnlegen(nr, i, QStringLiteral("RG %1").arg(i), Eur(1));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::OhneOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  DatenGitter* g = f.Zeilengitter();
  const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), text);
  ASSERT_TRUE(g->ZellwertSetzen(text, QStringLiteral("Sechs")));
  g->ZeileSpeichern();
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text, QStringLiteral("Es sind maximal 5 Zeilen als Verwendungszweck möglich!"));
  EXPECT_EQ(Zeilen(u, nr).size(), 5u);
  EXPECT_FALSE(g->ZeileAusstehend());
}

TEST_F(FormularZahlungTest, KopierenFuegtNurBisZeileFuenfAnUndMeldetDenRest) {
  FensterTestumgebung::Zahlung quelle;
  quelle.name = QStringLiteral("Quelle AG");
  const qint64 q = u.ZahlungAnlegen(quelle);
  for (int i = 1; i <= 4; ++i) u.ZeileAnlegen(q, i, QStringLiteral("Q %1").arg(i), Eur(i));
  FensterTestumgebung::Zahlung ziel;
  ziel.name = QStringLiteral("Ziel AG");
  const qint64 z = u.ZahlungAnlegen(ziel);
  for (int i = 1; i <= 3; ++i) u.ZeileAnlegen(z, i, QStringLiteral("Z %1").arg(i), Eur(10));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::MitOP);
  ASSERT_TRUE(f.ZahlungAnsteuern(z));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  u.suchlistenAntwort = QVariantList{QVariant(), QVariant(q)};
  ASSERT_TRUE(f.Befehl(QStringLiteral("Kopieren")));
  ASSERT_EQ(u.suchlistenAufrufe.size(), 1);
  EXPECT_EQ(u.suchlistenAufrufe[0].modus, 3);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("Es sind maximal 5 Zeilen als Verwendungszweck möglich!\r2 Zeilen wurden nicht kopiert."));
  const auto zeilen = Zeilen(u, z);
  ASSERT_EQ(zeilen.size(), 5u);
  EXPECT_EQ(zeilen[3].text, QStringLiteral("Q 1"));
  EXPECT_EQ(zeilen[4].text, QStringLiteral("Q 2"));
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Quelle AG"));
  EXPECT_EQ(f.Zeilengitter()->ZeilenAnzahl(), 5);
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), Eur(33));
  // Cancel: the copied lines go again.
  f.setFocus();
  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(Zeilen(u, z).size(), 3u);
}

TEST_F(FormularZahlungTest, LoeschenEntferntZeilenMitUndEntfImSuchmodusNicht) {
  const qint64 a = u.ZahlungAnlegen({});
  u.ZeileAnlegen(a, 1, QStringLiteral("A"), Eur(1));
  FensterTestumgebung::Zahlung p2;
  p2.name = QStringLiteral("Zweite");
  const qint64 b = u.ZahlungAnlegen(p2);
  u.ZeileAnlegen(b, 1, QStringLiteral("B"), Eur(1));
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Löschen")));
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen WHERE ZahlungNr = ?", {a}), 0);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck WHERE ZahlungNr = ?", {a}), 0);
  EXPECT_EQ(f.AktuelleZahlungNr(), b);
  // Del in search mode does nothing; outside it deletes the current payment.
  Taste(f, Qt::Key_F3);
  f.Browsegitter()->Ansicht()->setFocus();
  QTest::keyClick(f.Browsegitter()->Ansicht(), Qt::Key_Delete);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 1);
  Taste(f, Qt::Key_F3);
  f.Browsegitter()->Ansicht()->setFocus();
  QTest::keyClick(f.Browsegitter()->Ansicht(), Qt::Key_Delete);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 0);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck"), 0);
  EXPECT_FALSE(f.Leiste()->Aktiviert(QStringLiteral("Löschen")));
}

// --- display modes ------------------------------------------------------------------------------

struct AnzeigeFall {
  Zeilenanzeige modus;
  bool gitter;
  QStringList spalten;
};
class Anzeigemodus : public FormularZahlungTest, public ::testing::WithParamInterface<AnzeigeFall> {};

TEST_P(Anzeigemodus, ZeigtFelderUndSpalten) {
  const AnzeigeFall& fall = GetParam();
  const qint64 nr = u.ZahlungAnlegen({});
  u.ZeileAnlegen(nr, 1, QStringLiteral("Eins"), Eur(1));
  u.ZeileAnlegen(nr, 2, QStringLiteral("Zwei"), Eur(2));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(fall.modus);
  EXPECT_EQ(f.Zeilengitter()->isVisibleTo(&f), fall.gitter);
  EXPECT_EQ(f.Maske(5)->isVisibleTo(&f), !fall.gitter);
  EXPECT_EQ(f.BetragFeld()->isVisibleTo(&f), !fall.gitter);
  EXPECT_EQ(f.EinzelsummeFeld()->isVisibleTo(&f), fall.gitter);
  if (fall.gitter) {
    QStringList sichtbar;
    for (int i = 0; i < f.Zeilengitter()->SpaltenAnzahl(); ++i)
      if (f.Zeilengitter()->SpalteSichtbar(i)) sichtbar << f.Zeilengitter()->Spalte(i).feld;
    EXPECT_EQ(sichtbar, fall.spalten);
    EXPECT_EQ(f.Zeilengitter()->ZeilenAnzahl(), 2);
    EXPECT_EQ(f.EinzelsummeFeld()->Wert(), Eur(3));
  } else {
    // Single field of a payment with two lines: the amount is the total and read-only.
    EXPECT_EQ(f.Zeilengitter()->ZeilenAnzahl(), 1);
    ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
    EXPECT_TRUE(f.BetragFeld()->isReadOnly());
    EXPECT_FALSE(f.Maske(5)->isReadOnly());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fenster, Anzeigemodus,
    ::testing::Values(AnzeigeFall{Zeilenanzeige::Ausblenden, false, {}},
                      AnzeigeFall{Zeilenanzeige::OhneOP, true, {QStringLiteral("Verwendungszweck"), QStringLiteral("ZahlungsBetrag")}},
                      AnzeigeFall{Zeilenanzeige::MitOP, true,
                                  {QStringLiteral("OPVorgangNr"), QStringLiteral("Vorgangsdatum"), QStringLiteral("Verwendungszweck"),
                                   QStringLiteral("OPBetrag"), QStringLiteral("SkontoBetrag"), QStringLiteral("ZahlungsBetrag")}}),
    [](const auto& info) { return Testname(ZeilenanzeigeBeschriftung(info.param.modus)); });

// --- keys --------------------------------------------------------------------------------------

TEST_F(FormularZahlungTest, TastenLaufenUeberDieKnoepfe) {
  u.ZahlungAnlegen({});
  FormularZahlung& f = u.Fenster();
  int faellig = 0;
  f.FaelligAbfrageSetzen([&](const std::optional<QDate>&) {
    ++faellig;
    return std::optional<QDate>();
  });
  // Enter on a browse row starts "Ändern" once and is consumed.
  f.Browsegitter()->Ansicht()->setFocus();
  Taste(f, Qt::Key_Return);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Ändern"));
  EXPECT_EQ(f.focusWidget(), f.Maske(0));
  // F6 does nothing during entry; Ctrl+K copies (the list is cancelled); F3 is hidden.
  Taste(f, Qt::Key_F6);
  EXPECT_EQ(faellig, 0);
  Taste(f, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(u.suchlistenAufrufe.size(), 1);
  Taste(f, Qt::Key_F3);
  EXPECT_FALSE(f.Browsegitter()->Filterleiste());
  // Letters without Ctrl/Alt reach the field.
  f.Maske(0)->setFocus();
  f.Maske(0)->CaretSetzen(f.Maske(0)->text().size());
  Taste(f, Qt::Key_N);
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Meier GmbHn"));
  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Blättern"));
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Meier GmbH"));  // cancel discards the typing
  EXPECT_EQ(u.skontoAufrufe, 0);
  // Browse: Ctrl+K opens the cash-discount dialog; Alt+N and F9 start a new payment.
  Taste(f, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(u.skontoAufrufe, 1);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Blättern"));
  Taste(f, Qt::Key_N, Qt::AltModifier);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Neueingabe"));
  Taste(f, Qt::Key_Escape);
  Taste(f, Qt::Key_F9);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Neueingabe"));
  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 1);
  Taste(f, Qt::Key_F6);
  EXPECT_EQ(faellig, 1);
  Taste(f, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 0);
}

TEST_F(FormularZahlungTest, EinstellungenBleibenUeberDasSchliessenErhalten) {
  {
    FormularZahlung& f = u.Fenster();
    f.ZahlartWaehlen(Zahlart::FirmenLastschrift);
    f.ZeilenanzeigeWaehlen(Zeilenanzeige::OhneOP);
    f.TabFolge(0)->setChecked(true);
    u.FensterSchliessen();
  }
  EXPECT_EQ(u.Wert("SELECT Wert FROM Einstellungen WHERE einstellung = 'AktuelleZahlungsart:'").toString(), QStringLiteral("L"));
  EXPECT_EQ(u.Wert("SELECT Wert FROM Einstellungen WHERE einstellung = 'AktuelleLastschrifttart'").toString(), QStringLiteral("F"));
  FormularZahlung& f = u.Fenster();
  EXPECT_EQ(f.ZahlArt()->Wert(), 2);
  EXPECT_EQ(f.AnzeigeOptionen()->Wert(), 1);
  EXPECT_TRUE(f.TabFolge(0)->isChecked());
  EXPECT_EQ(f.Maske(3)->focusPolicy(), Qt::ClickFocus);
}

}  // namespace

namespace {

// --- payee completion, search list, automatic address ------------------------------------------

class Vervollstaendigung : public FormularZahlungTest {
 protected:
  void SetUp() override {
    u.AdresseAnlegen(QStringLiteral("00003"), QStringLiteral("Huber KG"), QStringLiteral("DE02120300000000202051"),
                     QStringLiteral("BYLADEM1001"));
    u.AdresseAnlegen(QStringLiteral("00004"), QStringLiteral("Österreich Handel"), QStringLiteral("AT611904300234573201"),
                     QStringLiteral("BKAUATWW"));
    FensterTestumgebung::Zahlung p;
    p.opKontoNr = QStringLiteral("00099");
    u.ZahlungAnlegen(p);
  }
};

TEST_F(Vervollstaendigung, NameWirdErgaenztUndBeimVerlassenUebernommen) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  MaskenFeld* name = f.Maske(0);
  name->setFocus();
  name->AuswahlSetzen(0, name->text().size());
  QTest::keyClick(name, Qt::Key_H);
  EXPECT_EQ(name->Wert(), QStringLiteral("Huber KG"));
  EXPECT_EQ(name->selectedText(), QStringLiteral("uber KG"));
  EXPECT_TRUE(f.OPKontoNr().isEmpty());  // a typed name no longer points to the old address
  f.Maske(4)->setFocus();                 // leaving takes the address over
  EXPECT_EQ(f.Maske(4)->Wert(), QStringLiteral("DE02120300000000202051"));
  EXPECT_EQ(f.Maske(3)->Wert(), QStringLiteral("BYLADEM1001"));
  EXPECT_EQ(f.Maske(2)->Wert(), QStringLiteral("Sparkasse"));
  EXPECT_EQ(f.OPKontoNr(), QStringLiteral("00003"));
}

TEST_F(Vervollstaendigung, UmlauteOhneGrossKleinUndPauseNachFehlschlag) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  MaskenFeld* name = f.Maske(0);
  name->setFocus();
  name->WertSetzen(QString());
  QTest::sendKeyEvent(QTest::Click, name, Qt::Key_Odiaeresis, QStringLiteral("ö"), Qt::NoModifier);
  EXPECT_EQ(name->Wert(), QStringLiteral("Österreich Handel"));
  name->WertSetzen(QString());
  f.Maske(4)->setFocus();
  name->setFocus();
  QTest::keyClicks(name, QStringLiteral("xh"));
  EXPECT_EQ(name->Wert(), QStringLiteral("xh"));  // after "x" found nothing, "h" looks nothing up
  // Edited before leaving: nothing is taken over.
  f.Maske(4)->setFocus();
  EXPECT_EQ(f.Maske(4)->Wert(), QStringLiteral("DE89370400440532013000"));
}

TEST_F(Vervollstaendigung, F4OeffnetDieSuchlisteNurInNameBankUndBic) {
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.Maske(4)->setFocus();
  QTest::keyClick(f.Maske(4), Qt::Key_F4);
  EXPECT_TRUE(u.suchlistenAufrufe.isEmpty());
  f.Maske(2)->setFocus();
  u.suchlistenAntwort = QVariantList{QVariant(), QStringLiteral("GENODE51GIE"), QStringLiteral("Volksbank")};
  QTest::keyClick(f.Maske(2), Qt::Key_F5);
  ASSERT_EQ(u.suchlistenAufrufe.size(), 1);
  EXPECT_EQ(u.suchlistenAufrufe[0].modus, 1);
  EXPECT_EQ(u.suchlistenAufrufe[0].suchfeld, QStringLiteral("Bank"));
  EXPECT_EQ(u.suchlistenAufrufe[0].suchwert.toString(), QStringLiteral("Commerzbank"));
  EXPECT_EQ(f.Maske(3)->Wert(), QStringLiteral("GENODE51GIE"));
  EXPECT_EQ(f.Maske(2)->Wert(), QStringLiteral("Volksbank"));
  EXPECT_EQ(f.focusWidget(), f.Maske(2));
}

TEST_F(FormularZahlungTest, AutomatischeAdresseUndBankBeimSpeichernEinerNeuenZahlung) {
  Optionsschalter o = Zustand().Optionen();
  o.AutoSpeichernAdressen = true;
  o.AutoSpeichernBank = true;
  Zustand().OptionenSetzen(o);
  u.AdresseAnlegen(QStringLiteral("00041"), QStringLiteral("Alt"), QStringLiteral("DE02120300000000202051"), QString());
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  f.Maske(0)->WertSetzen(QStringLiteral("Neu Kunde"));
  f.Maske(1)->WertSetzen(QStringLiteral("MR-1"));
  f.Maske(2)->WertSetzen(QStringLiteral("Testbank"));
  f.Maske(3)->WertSetzen(QStringLiteral("TESTDEFFXXX"));
  f.Maske(4)->WertSetzen(QStringLiteral("DE89370400440532013000"));
  f.Maske(5)->WertSetzen(QStringLiteral("Beitrag"));
  f.BetragFeld()->WertSetzen(Eur(20));
  f.SequenzOptionen()->WertSetzen(1);  // first collection
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Wert("SELECT MandatSequenz FROM Adressen WHERE OPKontoNr = '00042'").toString(),
            QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)"));
  EXPECT_EQ(u.Wert("SELECT Name FROM Adressen WHERE OPKontoNr = '00042'").toString(), QStringLiteral("Neu Kunde"));
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Bankverbindung WHERE BIC = 'TESTDEFFXXX'"), 1);
}

// --- failures ----------------------------------------------------------------------------------

TEST_F(FormularZahlungTest, FehlgeschlageneAbfrageZeigtLeereListeUndMeldung) {
  u.ZahlungAnlegen({});
  FormularZahlung& f = u.Fenster();
  ASSERT_EQ(f.Browsegitter()->ZeilenAnzahl(), 1);
  bool stoeren = true;
  u.Db().SetzeStoerung([&](const QString& sql) {
    DbFehler e;
    if (stoeren && sql.contains(QStringLiteral("FROM Zahlungen"))) {
      e.Nummer = 1;
      e.Beschreibung = QStringLiteral("gestört");
    }
    return e;
  });
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  ASSERT_GE(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Eintraege().front().text,
            QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 1\rBeschreibung: gestört"));
  EXPECT_EQ(f.Browsegitter()->ZeilenAnzahl(), 0);
  EXPECT_FALSE(f.AktuelleZahlungNr().has_value());
  EXPECT_FALSE(f.Leiste()->Aktiviert(QStringLiteral("Ändern")));
  stoeren = false;
  u.Db().SetzeStoerung({});
}

TEST_F(FormularZahlungTest, FehlerBeiDerSequenzpruefungWirdGemeldet) {
  u.AdresseAnlegen(QStringLiteral("00005"), QStringLiteral("Auto KG"), QStringLiteral("DE02120300000000202051"),
                   QStringLiteral("BYLADEM1001"), QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"), QStringLiteral("MR-5"));
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  u.Db().SetzeStoerung([](const QString& sql) {
    DbFehler e;
    if (sql.contains(QStringLiteral("MandatSequenz")) && sql.contains(QStringLiteral("MandatReferenz")) &&
        sql.startsWith(QStringLiteral("SELECT"))) {
      e.Nummer = 5;
      e.Beschreibung = QStringLiteral("gesperrt");
    }
    return e;
  });
  u.suchlistenAntwort = QVariantList{QVariant(), QStringLiteral("Auto KG"), QVariant(), QVariant(), QVariant(),
                                     QStringLiteral("MR-5"), QVariant(), QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"),
                                     QStringLiteral("00005")};
  f.Maske(0)->setFocus();
  QTest::keyClick(f.Maske(0), Qt::Key_F4);
  u.Db().SetzeStoerung({});
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(u.Meldungen().Letzter().text.startsWith(QStringLiteral("Fehler bei der Datenermittlung!")));
  EXPECT_EQ(f.SequenzOptionen()->Wert(), -1);  // never "no earlier collection"
}

// A second payee picked from the list takes nothing of the first: what its address leaves empty (bank, BIC,
// mandate) is emptied, so that the new IBAN never goes out beside the other payer's BIC or mandate.
TEST_F(FormularZahlungTest, ZweiteAdresseAusDerSuchlisteBehaeltNichtsVonDerErsten) {
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::BasisLastschrift);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  u.suchlistenAntwort = QVariantList{QVariant(), QStringLiteral("Erste KG"), QStringLiteral("Bank Eins"),
                                     QStringLiteral("BYLADEM1001"), QStringLiteral("DE02120300000000202051"),
                                     QStringLiteral("MR-ERSTE"), QStringLiteral("2023-04-01"), QVariant(),
                                     QStringLiteral("00001")};
  f.Maske(0)->setFocus();
  QTest::keyClick(f.Maske(0), Qt::Key_F4);
  ASSERT_EQ(f.Maske(1)->Wert(), QStringLiteral("MR-ERSTE"));
  ASSERT_EQ(f.MandatDatumFeld()->Wert(), std::optional<QDate>(QDate(2023, 4, 1)));
  u.suchlistenAntwort = QVariantList{QVariant(), QStringLiteral("Zweite GmbH"), QVariant(), QVariant(),
                                     QStringLiteral("DE02300209000106531065"), QVariant(), QVariant(), QVariant(),
                                     QStringLiteral("00002")};
  QTest::keyClick(f.Maske(0), Qt::Key_F4);
  EXPECT_EQ(f.Maske(0)->Wert(), QStringLiteral("Zweite GmbH"));
  EXPECT_EQ(Iban(f.Maske(4)->Wert()).Text(), QStringLiteral("DE02300209000106531065"));
  EXPECT_TRUE(f.Maske(2)->Wert().isEmpty()) << f.Maske(2)->Wert().toStdString();
  EXPECT_TRUE(f.Maske(3)->Wert().isEmpty()) << f.Maske(3)->Wert().toStdString();
  EXPECT_TRUE(f.Maske(1)->Wert().isEmpty()) << f.Maske(1)->Wert().toStdString();
  EXPECT_EQ(f.MandatDatumFeld()->Wert(), std::nullopt);
}

TEST_F(FormularZahlungTest, ZiffernblockPlusMinusImDatumsfeld) {
  FensterTestumgebung::Zahlung p;
  p.faellig = QDate(2024, 3, 15);
  u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.FaelligFeld()->setFocus();
  QTest::keyClick(f.FaelligFeld(), Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(f.FaelligFeld()->Wert(), QDate(2024, 3, 16));
  QTest::keyClick(f.FaelligFeld(), Qt::Key_Minus, Qt::KeypadModifier);
  QTest::keyClick(f.FaelligFeld(), Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(f.FaelligFeld()->Wert(), QDate(2024, 3, 14));
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
}

}  // namespace

namespace {

TEST_F(FormularZahlungTest, SummeFolgtDerGeaendertenZahlung) {
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(10);
  u.ZahlungAnlegen(p);
  p.gesamt = std::nullopt;  // Null counts as 0
  const qint64 zweite = u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(10));
  ASSERT_TRUE(f.ZahlungAnsteuern(zweite));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.BetragFeld()->WertSetzen(Eur(7, 25));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());  // a changed payment returns to browsing
  EXPECT_EQ(f.AktuelleZahlungNr(), zweite);
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(17, 25));
  EXPECT_EQ(u.Wert("SELECT SUM(ZahlungGesamt) FROM Zahlungen").toLongLong(), Eur(17, 25).Roh());
}

// Amounts of a hand-edited database whose sum leaves the int64 never hide the payments: the list shows
// them all, the total and the payment's own sum show "###" with the reason, and a total that can be
// formed again reads each stored amount as the program does (a REAL in euros).
TEST_F(FormularZahlungTest, SummenDieNichtGebildetWerdenKoennenZeigenRauten) {
  constexpr qint64 kRiesig = 9'000'000'000'000'000'000;
  FensterTestumgebung::Zahlung p;
  p.name = QStringLiteral("Riesig AG");
  const qint64 riesig = u.ZahlungAnlegen(p);
  u.ZeileAnlegen(riesig, 1, QStringLiteral("RE 1a"), Eur(1));
  u.ZeileAnlegen(riesig, 2, QStringLiteral("RE 1b"), Eur(1));
  p.name = QStringLiteral("Zweiter Riese");
  const qint64 zweiter = u.ZahlungAnlegen(p);
  p.name = QStringLiteral("Real KG");
  const qint64 real = u.ZahlungAnlegen(p);
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Verwendungszweck SET ZahlungsBetrag = ?", {kRiesig}).Ok());
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = ? WHERE ZahlungNr IN (?, ?)",
                                {kRiesig, riesig, zweiter}).Ok());
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = 12.5 WHERE ZahlungNr = ?", {real}).Ok());

  FormularZahlung& f = u.Fenster();
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(f.Browsegitter()->ZeilenAnzahl(), 3);
  EXPECT_EQ(f.GesamtFeld()->Wert(), std::nullopt);
  EXPECT_EQ(f.GesamtFeld()->text(), QStringLiteral("###"));
  const QString grund = QString(Waehrung::SummeNichtBildbarText()).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  EXPECT_EQ(f.GesamtFeld()->toolTip(), grund);
  ASSERT_EQ(f.AktuelleZahlungNr(), riesig);
  EXPECT_EQ(f.EinzelsummeFeld()->text(), QStringLiteral("###"));
  EXPECT_EQ(f.EinzelsummeFeld()->toolTip(), grund);
  EXPECT_EQ(f.Zeilengitter()->FussText(f.Zeilengitter()->SpaltenIndex(QStringLiteral("ZahlungsBetrag"))),
            QStringLiteral("###"));

  // The second giant mended elsewhere, the list read again: the total is formed, the REAL as 12,50.
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = ? WHERE ZahlungNr = ?",
                                {QVariant::fromValue(Eur(5000)), zweiter}).Ok());
  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  EXPECT_EQ(f.GesamtFeld()->Wert(), Waehrung::AusRoh(kRiesig) + Eur(5012, 50));
  // No reason any more; a total too wide for the field shows "###" with itself in the tooltip.
  EXPECT_EQ(f.GesamtFeld()->toolTip(),
            f.GesamtFeld()->Gekuerzt() ? QStringLiteral("900.000.000.005.012,50") : QString());
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
}

// A saved payment keeps its row, which alone is read again: it shows the new values and the total
// moves by the difference, while a row changed elsewhere shows its change only once the list is read
// again.
TEST_F(FormularZahlungTest, GespeicherteZeileWirdAlleinNeuGelesen) {
  FensterTestumgebung::Zahlung p;
  p.name = QStringLiteral("Anton");
  p.gesamt = Eur(10);
  const qint64 anton = u.ZahlungAnlegen(p);
  p.name = QStringLiteral("Berta");
  p.gesamt = Eur(20);
  const qint64 berta = u.ZahlungAnlegen(p);
  p.name = QStringLiteral("Cäsar");
  p.gesamt = Eur(5);
  u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  DatenGitter* g = f.Browsegitter();
  ASSERT_TRUE(f.ZahlungAnsteuern(berta));
  ASSERT_EQ(g->AktuelleZeile(), 1);
  ASSERT_EQ(f.GesamtFeld()->Wert(), Eur(35));
  u.Db().Ausfuehren("UPDATE Zahlungen SET Name = 'Anton anderswo' WHERE ZahlungNr = ?", {anton});

  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.Maske(0)->WertSetzen(QStringLiteral("Berta neu"));
  f.BetragFeld()->WertSetzen(Eur(26, 50));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(g->AktuelleZeile(), 1);
  EXPECT_EQ(f.AktuelleZahlungNr(), berta);
  EXPECT_EQ(g->Wert(1, QStringLiteral("Name")).toString(), QStringLiteral("Berta neu"));
  EXPECT_EQ(WaehrungAusWert(g->Wert(1, QStringLiteral("ZahlungGesamt"))), Eur(26, 50));
  EXPECT_EQ(f.Maske(0)->text(), QStringLiteral("Berta neu"));
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(26, 50));
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(41, 50));
  EXPECT_EQ(g->Wert(0, QStringLiteral("Name")).toString(), QStringLiteral("Anton"));  // not read again

  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));  // runs the list's query again
  ASSERT_TRUE(f.Befehl(QStringLiteral("Suchen")));
  EXPECT_EQ(g->Wert(0, QStringLiteral("Name")).toString(), QStringLiteral("Anton anderswo"));
  EXPECT_EQ(g->Wert(1, QStringLiteral("Name")).toString(), QStringLiteral("Berta neu"));
  EXPECT_EQ(f.GesamtFeld()->Wert(), Eur(41, 50));
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
}

// The saved payment's row could not be read again: the save stands, the failure is reported.
TEST_F(FormularZahlungTest, FehlerBeimNeuLesenDerGespeichertenZeileWirdGemeldet) {
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(10);
  const qint64 nr = u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.Maske(0)->WertSetzen(QStringLiteral("Neuer Name"));
  u.Db().SetzeStoerung([](const QString& sql) {
    DbFehler e;
    if (sql.contains(QStringLiteral("FROM Zahlungen")) && sql.endsWith(QStringLiteral(" IN (?)"))) {
      e.Nummer = 9;
      e.Beschreibung = QStringLiteral("gestört");
    }
    return e;
  });
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  u.Db().SetzeStoerung({});
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Meldungen().Eintraege().front().text,
            QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 9\rBeschreibung: gestört"));
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("Neuer Name"));
  EXPECT_EQ(f.Maske(0)->text(), QStringLiteral("Neuer Name"));
}

// The lines follow the current payment; a failed read of them shows none (never the previous payment's)
// with the message, and the next payment shows its lines again.
TEST_F(FormularZahlungTest, ZeilenFolgenDerZahlungAuchNachFehler) {
  FensterTestumgebung::Zahlung p;
  const qint64 erste = u.ZahlungAnlegen(p);
  u.ZeileAnlegen(erste, 1, QStringLiteral("RE 11"), Eur(3));
  u.ZeileAnlegen(erste, 2, QStringLiteral("RE 12"), Eur(4));
  const qint64 zweite = u.ZahlungAnlegen(p);
  u.ZeileAnlegen(zweite, 1, QStringLiteral("RE 21"), Eur(8));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::OhneOP);
  DatenGitter* z = f.Zeilengitter();
  auto texte = [z] {
    QStringList t;
    for (int i = 0; i < z->ZeilenAnzahl(); ++i) t << z->Wert(i, QStringLiteral("Verwendungszweck")).toString();
    return t;
  };
  ASSERT_TRUE(f.ZahlungAnsteuern(erste));
  EXPECT_EQ(texte(), QStringList({QStringLiteral("RE 11"), QStringLiteral("RE 12")}));
  ASSERT_TRUE(f.ZahlungAnsteuern(zweite));
  EXPECT_EQ(texte(), QStringList({QStringLiteral("RE 21")}));

  u.Db().SetzeStoerung([](const QString& sql) {
    DbFehler e;
    if (sql.contains(QStringLiteral("ORDER BY Verwendungszweck.ZeilenNr"))) {
      e.Nummer = 7;
      e.Beschreibung = QStringLiteral("gestört");
    }
    return e;
  });
  ASSERT_TRUE(f.ZahlungAnsteuern(erste));
  u.Db().SetzeStoerung({});
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Meldungen().Eintraege().front().text,
            QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 7\rBeschreibung: gestört"));
  EXPECT_EQ(z->ZeilenAnzahl(), 0);

  ASSERT_TRUE(f.ZahlungAnsteuern(zweite));
  EXPECT_EQ(texte(), QStringList({QStringLiteral("RE 21")}));
  ASSERT_TRUE(f.ZahlungAnsteuern(erste));
  EXPECT_EQ(texte(), QStringList({QStringLiteral("RE 11"), QStringLiteral("RE 12")}));
  EXPECT_EQ(u.Meldungen().Anzahl(), 1);
}

}  // namespace

#include "platform/ui/GitterDropDown.h"
#include "testsupport/Geschwisterdatenbank.h"

namespace {

// Open items of the accounting program (address format 1) in a table named as the linked view.
AdressQuellenInfo QuelleMitOffenenPosten() {
  const AdressQuellenInfo format1 = AdressQuellenInfo::FuerFormat(1);
  AdressQuellenInfo q = AdressQuellenInfo::Intern();
  q.OPVerknuepft = true;
  q.OPFeldliste = format1.OPFeldliste;
  q.OPNummerFeld = format1.OPNummerFeld;
  q.OPFaelligFeld = format1.OPFaelligFeld;
  q.OPArtFeld = format1.OPArtFeld;
  q.OPSchluesselFeld = format1.OPSchluesselFeld;
  return q;
}

class OffenePosten : public ::testing::Test {
 protected:
  FensterTestumgebung u{QuelleMitOffenenPosten()};
  void SetUp() override {
    using P = Geschwisterdatenbank::PostenDaten;
    auto op = [](const char* nr, char art, int euro, QDate faellig) {
      return P{.konto = QStringLiteral("70001"), .nr = QString::fromUtf8(nr), .art = QLatin1Char(art),
               .vom = QDate(2024, 3, 1), .faellig = faellig, .betrag = Eur(euro), .rest = Eur(euro)};
    };
    Geschwisterdatenbank g(Geschwisterdatenbank::Programm::Buchhaltung);
    g.Posten(op("RE-1", 'R', 100, QDate(2024, 3, 20)))
        .Posten(op("GS-7", 'G', 40, QDate(2024, 3, 25)))
        .Posten(op("RE-0", 'R', 0, QDate(2024, 3, 30)));  // settled: not listed
    const DbFehler f = g.OPVorgangAnlegen(u.Db());
    ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    FensterTestumgebung::Zahlung p;
    p.opKontoNr = QStringLiteral("70001");
    u.ZahlungAnlegen(p);
  }
};

TEST_F(OffenePosten, ImportMitVerknuepftenPostenOeffnetDenImportUndLiestNeu) {
  FormularZahlung& f = u.Fenster();
  f.ZahlartWaehlen(Zahlart::FirmenLastschrift);
  f.ZahlartWaehlen(Zahlart::Ueberweisung);
  const std::optional<qint64> vorher = f.AktuelleZahlungNr();
  ASSERT_TRUE(vorher);
  EXPECT_TRUE(f.Leiste()->Sichtbar(QStringLiteral("Import")));
  int aufrufe = 0;
  f.ImportAufrufSetzen([&](Zahlart zahlart, const QFont& schrift) {
    ++aufrufe;
    EXPECT_EQ(zahlart, Zahlart::Ueberweisung);
    EXPECT_EQ(schrift, f.font());
    EXPECT_TRUE(f.Leiste()->Gedrueckt(QStringLiteral("Import")));
    // What the import writes shows after it.
    FensterTestumgebung::Zahlung neu;
    neu.name = QStringLiteral("Importiert");
    u.ZahlungAnlegen(neu);
  });
  EXPECT_EQ(f.AnzahlZahlungen(), 1);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Import")));
  EXPECT_EQ(aufrufe, 1);
  EXPECT_FALSE(f.Leiste()->Gedrueckt(QStringLiteral("Import")));
  EXPECT_EQ(f.AnzahlZahlungen(), 2);
  EXPECT_EQ(f.AktuelleZahlungNr(), vorher) << "back on the payment shown before";
  // Ctrl+I presses the button; while a payment is entered it is hidden and does nothing.
  Taste(f, Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(aufrufe, 2);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  EXPECT_FALSE(f.Leiste()->Sichtbar(QStringLiteral("Import")));
  EXPECT_FALSE(f.Befehl(QStringLiteral("Import")));
  EXPECT_EQ(aufrufe, 2);
}

// Without a linked accounting database the import was invisible and Ctrl+I silent. The button shows;
// button and key answer with a warning that says what is missing and where to set it.
TEST_F(FormularZahlungTest, ImportOhneVerknuepfteDatenbankSagtWarum) {
  FensterTestumgebung::Zahlung p;
  u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  ASSERT_FALSE(Zustand().AdressQuelle().OPVerknuepft);
  int aufrufe = 0;
  f.ImportAufrufSetzen([&](Zahlart, const QFont&) { ++aufrufe; });
  EXPECT_TRUE(f.Leiste()->Sichtbar(QStringLiteral("Import")));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Import")));
  Taste(f, Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(aufrufe, 0);
  ASSERT_EQ(u.Meldungen().Anzahl(), 2);
  for (const auto& e : u.Meldungen().Eintraege()) {
    EXPECT_EQ(e.symbol, MeldungsSymbol::Ausruf);
    EXPECT_TRUE(e.text.contains(QStringLiteral("keine Datenbank der Buchhaltung (Tamo-Livra)")));
    EXPECT_TRUE(e.text.contains(QStringLiteral("unter „Absender“")));
  }
  EXPECT_FALSE(f.Leiste()->Gedrueckt(QStringLiteral("Import")));
}

TEST_F(OffenePosten, ListeUndUebernahmeMitVorlage) {
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::MitOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  GitterDropDown* liste = f.OPListe();
  ASSERT_EQ(liste->ZeilenAnzahl(), 2);
  EXPECT_EQ(liste->SichtbareZeilen(), 3.8);
  DatenGitter* g = f.Zeilengitter();
  const int nr = g->SpaltenIndex(QStringLiteral("OPVorgangNr"));
  EXPECT_EQ(g->DropDown(nr), liste);
  // The latest due date first: the credit note.
  liste->SetzeAktuelleZeile(0);
  ASSERT_EQ(liste->Wert(QStringLiteral("VorgangsNr")).toString(), QStringLiteral("GS-7"));
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), nr);
  ASSERT_TRUE(g->ZellwertSetzen(nr, QStringLiteral("GS-7")));
  ASSERT_TRUE(g->ZeileSpeichern());
  ASSERT_EQ(u.Anzahl("SELECT COUNT(*) FROM Verwendungszweck"), 1);
  EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck").toString(), QStringLiteral("abzgl. GS GS-7 vom 01.03.24"));
  EXPECT_EQ(u.Wert("SELECT ZahlungsBetrag FROM Verwendungszweck").toLongLong(), (-Eur(40)).Roh());
  EXPECT_EQ(u.Wert("SELECT OPBetrag FROM Verwendungszweck").toLongLong(), (-Eur(40)).Roh());
  EXPECT_TRUE(u.Wert("SELECT SkontoBetrag FROM Verwendungszweck").isNull());
  EXPECT_EQ(u.Wert("SELECT OPVorgangsArt FROM Verwendungszweck").toString(), QStringLiteral("KG"));
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), -Eur(40));
}

}  // namespace

#include "platform/settings/Registrierung.h"

namespace {

class EnterImBetrag : public FormularZahlungTest, public ::testing::WithParamInterface<int> {};

TEST_P(EnterImBetrag, SpeichertNurMitSpeicherfeldEins) {
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("Speicherfeld"), QString::number(GetParam()));
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(5);
  const qint64 nr = u.ZahlungAnlegen(p);
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.BetragFeld()->setFocus();
  f.BetragFeld()->WertSetzen(Eur(8));
  Taste(f, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  const bool gespeichert = GetParam() == 1;
  EXPECT_EQ(f.ZustandDerMaske().EingabeModus(), !gespeichert);
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(),
            (gespeichert ? Eur(8) : Eur(5)).Roh());
  if (!gespeichert) {
    EXPECT_NE(f.focusWidget(), f.BetragFeld());  // moved on like Tab
  }
}
INSTANTIATE_TEST_SUITE_P(Fenster, EnterImBetrag, ::testing::Values(0, 1),
                         [](const auto& info) { return "Speicherfeld" + std::to_string(info.param); });

}  // namespace

namespace {

TEST_F(FormularZahlungTest, TextschluesselJeArtUndSchliessenImBlaettermodus) {
  FormularZahlung& f = u.Fenster();
  EXPECT_EQ(f.TextschluesselFeld()->Zeilen(), 16);
  f.ZahlartWaehlen(Zahlart::FirmenLastschrift);
  EXPECT_EQ(f.TextschluesselFeld()->Zeilen(), 5);
  EXPECT_EQ(f.TextschluesselFeld()->Bedeutung(), QString());
  ASSERT_TRUE(f.Befehl(QStringLiteral("Schliessen")));
  EXPECT_FALSE(f.isVisible());
}

TEST_F(FormularZahlungTest, OhneNeueingabeFortsetzenZurueckZumBlaettern) {
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("NeueingabeFortsetzen"), QStringLiteral("0"));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  const qint64 nr = *f.AktuelleZahlungNr();
  f.Maske(0)->WertSetzen(QStringLiteral("Kunde"));
  f.Maske(3)->WertSetzen(QStringLiteral("COBADEFFXXX"));
  f.Maske(4)->WertSetzen(QStringLiteral("DE89370400440532013000"));
  f.Maske(5)->WertSetzen(QStringLiteral("Text"));
  f.BetragFeld()->WertSetzen(Eur(1));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Neu")));
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(f.AktuelleZahlungNr(), nr);
  EXPECT_EQ(f.Navigator()->Beschriftung(), QStringLiteral("Blättern"));
  EXPECT_EQ(u.Anzahl("SELECT COUNT(*) FROM Zahlungen"), 1);
}

}  // namespace

namespace {

TEST_F(FormularZahlungTest, EscImZeilengitterVerwirftErstDieZeileDannDieEingabe) {
  const qint64 nr = u.ZahlungAnlegen({});
  u.ZeileAnlegen(nr, 1, QStringLiteral("Eins"), Eur(1));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::OhneOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  DatenGitter* g = f.Zeilengitter();
  const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, text);
  ASSERT_TRUE(g->ZellwertSetzen(text, QStringLiteral("Anders")));
  ASSERT_TRUE(g->ZeileAusstehend());
  Taste(f, Qt::Key_Escape);
  EXPECT_FALSE(g->ZeileAusstehend());
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck").toString(), QStringLiteral("Eins"));
  Taste(f, Qt::Key_Escape);  // from typing back to selecting lines
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(g->MarkierungsStil(), DatenGitter::Markierungsstil::Zeilenauswahl);
  Taste(f, Qt::Key_Escape);
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
}

TEST_F(FormularZahlungTest, EscImOffenenKalenderSchliesstNurIhn) {
  u.ZahlungAnlegen({});
  FormularZahlung& f = u.Fenster();
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.FaelligFeld()->setFocus();
  f.FaelligFeld()->AufklappenOeffnen();
  QApplication::processEvents();
  ASSERT_TRUE(f.FaelligFeld()->IstAufgeklappt());
  QWidget* popup = QApplication::activePopupWidget();
  QTest::keyClick(popup ? popup->focusWidget() ? popup->focusWidget() : popup : f.FaelligFeld(), Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_FALSE(f.FaelligFeld()->IstAufgeklappt());
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
}

TEST_F(FormularZahlungTest, EnterAufDerNeuenZeileSpeichertMitSpeicherfeldVier) {
  SaveSetting(QStringLiteral("Formular State"), QStringLiteral("Speicherfeld"), QStringLiteral("4"));
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(3);
  const qint64 nr = u.ZahlungAnlegen(p);
  u.ZeileAnlegen(nr, 1, QStringLiteral("Eins"), Eur(3));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::MitOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  DatenGitter* g = f.Zeilengitter();
  const int op = g->SpaltenIndex(QStringLiteral("OPBetrag"));
  g->Ansicht()->setFocus();
  g->SetzeAktuelleZelle(0, op);  // a stored line: Enter does not save
  Taste(f, Qt::Key_Return);
  if (g->EditorOffen()) Taste(f, Qt::Key_Escape);
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), op);  // the empty new row
  Taste(f, Qt::Key_Return);
  EXPECT_EQ(u.Meldungen().Anzahl(), 0) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
}

}  // namespace

namespace {

TEST_F(FormularZahlungTest, UnlesbarerBetragWirdNichtMitDemAltenGespeichert) {
  // "12.50" (a point for the comma) reads as no amount: the save stored the 100,00 from before without a word.
  const qint64 nr = ZahlungMitEinerZeile();
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  f.BetragFeld()->setFocus();
  f.BetragFeld()->selectAll();
  QTest::keyClicks(f.focusWidget(), QStringLiteral("12.50"));
  Taste(f, Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("„12.50“ ist kein gültiger Betrag. Geben Sie ihn mit Komma ein, zum Beispiel 1.234,56.") + Ende);
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(f.focusWidget(), f.BetragFeld());
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(100).Roh());

  // Corrected, it is stored with its line.
  f.BetragFeld()->selectAll();
  QTest::keyClicks(f.focusWidget(), QStringLiteral("12,50"));
  Taste(f, Qt::Key_F9);
  EXPECT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(12, 50).Roh());
  EXPECT_EQ(u.Wert("SELECT ZahlungsBetrag FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(12, 50).Roh());
}

}  // namespace

// Another workstation changes the amount and IBAN of the payment this form shows: the form's save of
// another field is refused, the stored values are shown, and the change entered again is saved.
TEST_F(FormularZahlungTest, VeralteteAenderungWirdAbgewiesenUndZeigtDenGespeichertenStand) {
  const qint64 nr = ZahlungMitEinerZeile(QDate(2024, 3, 20));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_EQ(f.AktuelleZahlungNr(), nr);
  ASSERT_EQ(f.BetragFeld()->Wert(), Eur(100));
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  const Waehrung gesamtVorher = f.GesamtFeld()->Wert().value_or(Waehrung());   // the one payment of 100
  ASSERT_EQ(std::abs(gesamtVorher.Roh()), Eur(100).Roh());

  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = ?, IBAN = ?, \"Fällig\" = ? WHERE ZahlungNr = ?",
                                {WertAusWaehrung(Eur(150)), QVariant(QStringLiteral("DE02120300000000202051")),
                                 QVariant(QDate(2024, 3, 25)), nr}).Ok());
  f.FaelligFeld()->WertSetzen(QDate(2024, 4, 1));
  Taste(f, Qt::Key_F9);
  // The list's row shows the stored date and amount too, and the total counts the stored amount.
  DatenGitter* liste = f.Browsegitter();
  const int zeile = liste->AktuelleZeile();
  ASSERT_GE(zeile, 0);
  EXPECT_EQ(liste->ZellText(zeile, liste->SpaltenIndex(QStringLiteral("Fällig"))), QStringLiteral("25.03.2024"));
  EXPECT_EQ(liste->ZellText(zeile, liste->SpaltenIndex(QStringLiteral("ZahlungGesamt"))), QStringLiteral("150,00"));
  EXPECT_EQ(f.GesamtFeld()->Wert().value_or(Waehrung()).Roh(), gesamtVorher.Roh() * 3 / 2);

  ASSERT_EQ(u.Meldungen().Anzahl(), 1);
  EXPECT_EQ(u.Meldungen().Letzter().text,
            QStringLiteral("Die Zahlung wurde inzwischen an einem anderen Arbeitsplatz geändert; Ihre Änderung wurde nicht "
                           "gespeichert. Die gespeicherten Angaben werden neu angezeigt; bitte wiederholen Sie Ihre Änderung."));
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(150).Roh());
  EXPECT_EQ(u.Wert("SELECT IBAN FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("DE02120300000000202051"));
  EXPECT_EQ(u.Wert("SELECT \"Fällig\" FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toDate(), QDate(2024, 3, 25));
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(150));
  EXPECT_EQ(Iban(f.Maske(4)->Wert()).Text(), QStringLiteral("DE02120300000000202051"));
  EXPECT_EQ(f.FaelligFeld()->Wert(), QDate(2024, 3, 25));

  f.FaelligFeld()->WertSetzen(QDate(2024, 4, 1));
  Taste(f, Qt::Key_F9);
  EXPECT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Wert("SELECT \"Fällig\" FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toDate(), QDate(2024, 4, 1));
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(150).Roh());
  EXPECT_EQ(u.Wert("SELECT IBAN FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("DE02120300000000202051"));
}

namespace {

const QString InzwischenGeaendert = QStringLiteral(
    "Die Zahlung wurde inzwischen an einem anderen Arbeitsplatz geändert; Ihre Änderung wurde nicht gespeichert. Die "
    "gespeicherten Angaben werden neu angezeigt; bitte wiederholen Sie Ihre Änderung.");

// The other workstation saves the amount 5.000,00 in its single field: line and total.
void BetragAnderswoSpeichern(FensterTestumgebung& u, qint64 nr) {
  const QVariant betrag = WertAusWaehrung(Eur(5000));
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Verwendungszweck SET OPBetrag = ?, SkontoBetrag = NULL, ZahlungsBetrag = ? "
                                "WHERE ZahlungNr = ? AND ZeilenNr = 1",
                                {betrag, betrag, nr}).Ok());
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Zahlungen SET ZahlungGesamt = ? WHERE ZahlungNr = ?", {betrag, nr}).Ok());
}

}  // namespace

// The form changes a line; another workstation then saves the amount: "Abbruch" would write back the
// lines and the total of "Ändern" and the other workstation's amount would be gone. The cancel says so,
// leaves the payment as stored and shows it.
TEST_F(FormularZahlungTest, AbbruchNimmtDenBetragDesAnderenArbeitsplatzesNichtZurueck) {
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(7453, 44);
  const qint64 nr = u.ZahlungAnlegen(p);
  u.ZeileAnlegen(nr, 1, QStringLiteral("RG 1"), Eur(7453, 44));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::OhneOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  DatenGitter* g = f.Zeilengitter();
  const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
  g->SetzeAktuelleZelle(0, text);
  ASSERT_TRUE(g->ZellwertSetzen(text, QStringLiteral("RG 1 Teil")));
  ASSERT_TRUE(g->ZeileSpeichern());
  BetragAnderswoSpeichern(u, nr);
  const auto gespeichert = Zeilen(u, nr);

  f.setFocus();
  Taste(f, Qt::Key_Escape);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Meldungen().Letzter().text, InzwischenGeaendert);
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(Zeilen(u, nr), gespeichert);
  EXPECT_EQ(u.Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong(), Eur(5000).Roh());
  EXPECT_EQ(f.BetragFeld()->Wert(), Eur(5000));
  EXPECT_EQ(f.EinzelsummeFeld()->Wert(), Eur(5000));
  ASSERT_EQ(g->ZeilenAnzahl(), 1);
  EXPECT_EQ(g->Wert(0, QStringLiteral("Verwendungszweck")).toString(), QStringLiteral("RG 1 Teil"));
  EXPECT_EQ(WaehrungAusWert(g->Wert(0, QStringLiteral("ZahlungsBetrag"))), Eur(5000));
}

namespace {

// A write in the line grid after another workstation changed line 1 (the form still shows the line as
// before): storing line 2 again, or deleting it.
struct GitterSchreiben {
  const char* name;
  std::function<void(FormularZahlung& f, DatenGitter* g)> schreiben;
};

class ZeilenNachFremderAenderungTest : public FormularZahlungTest, public ::testing::WithParamInterface<GitterSchreiben> {};

}  // namespace

// The write is refused with the message and the grid shows the stored lines. From then on they are
// what the form changes: the same write goes through, and "Abbruch" undoes it but not the other
// workstation's line.
TEST_P(ZeilenNachFremderAenderungTest, WirdAbgewiesenUndDerAbbruchBehaeltDieFremdeZeile) {
  FensterTestumgebung::Zahlung p;
  p.gesamt = Eur(30);
  const qint64 nr = u.ZahlungAnlegen(p);
  u.ZeileAnlegen(nr, 1, QStringLiteral("RG 1"), Eur(10));
  u.ZeileAnlegen(nr, 2, QStringLiteral("RG 2"), Eur(20));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::OhneOP);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  DatenGitter* g = f.Zeilengitter();
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Verwendungszweck SET Verwendungszweck = 'Von A' WHERE ZahlungNr = ? AND ZeilenNr = 1",
                                {nr}).Ok());
  const auto gespeichert = Zeilen(u, nr);

  GetParam().schreiben(f, g);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Meldungen().Letzter().text, InzwischenGeaendert);
  EXPECT_EQ(Zeilen(u, nr), gespeichert);
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_FALSE(g->ZeileAusstehend());
  ASSERT_EQ(g->ZeilenAnzahl(), 2);
  EXPECT_EQ(g->Wert(0, QStringLiteral("Verwendungszweck")).toString(), QStringLiteral("Von A"));
  EXPECT_EQ(g->Wert(1, QStringLiteral("Verwendungszweck")).toString(), QStringLiteral("RG 2"));

  GetParam().schreiben(f, g);
  EXPECT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_NE(Zeilen(u, nr), gespeichert);
  f.setFocus();
  Taste(f, Qt::Key_Escape);
  EXPECT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(Zeilen(u, nr), gespeichert);
}

INSTANTIATE_TEST_SUITE_P(
    Schreibwege, ZeilenNachFremderAenderungTest,
    ::testing::Values(GitterSchreiben{"ZeileSpeichern",
                                      [](FormularZahlung&, DatenGitter* g) {
                                        const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
                                        g->SetzeAktuelleZelle(1, text);
                                        ASSERT_TRUE(g->ZellwertSetzen(text, QStringLiteral("Von B")));
                                        g->ZeileSpeichern();
                                      }},
                      GitterSchreiben{"ZeileLoeschen",
                                      [](FormularZahlung& f, DatenGitter* g) {
                                        g->Ansicht()->setFocus();
                                        g->SetzeAktuelleZelle(1, g->SpaltenIndex(QStringLiteral("Verwendungszweck")));
                                        if (g->MarkierungsStil() == DatenGitter::Markierungsstil::SchwebenderEditor)
                                          Taste(f, Qt::Key_Escape);  // from typing to selecting lines
                                        Taste(f, Qt::Key_Delete);
                                      }}),
    [](const auto& info) { return std::string(info.param.name); });

// The single field writes line 1's text: another workstation's line 1 stored in its grid meanwhile would
// go without a word. The save is refused and the stored values are shown.
TEST_F(FormularZahlungTest, EinzelfeldUeberschreibtFremdeZeileNicht) {
  const qint64 nr = ZahlungMitEinerZeile(QDate(2024, 3, 20));
  FormularZahlung& f = u.Fenster();
  f.ZeilenanzeigeWaehlen(Zeilenanzeige::Ausblenden);
  ASSERT_TRUE(f.Befehl(QStringLiteral("Ändern")));
  ASSERT_TRUE(u.Db().Ausfuehren("UPDATE Verwendungszweck SET Verwendungszweck = 'Von A' WHERE ZahlungNr = ?", {nr}).Ok());
  f.FaelligFeld()->WertSetzen(QDate(2024, 4, 1));
  Taste(f, Qt::Key_F9);
  ASSERT_EQ(u.Meldungen().Anzahl(), 1) << u.Meldungen().Texte().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(u.Meldungen().Letzter().text, InzwischenGeaendert);
  EXPECT_TRUE(f.ZustandDerMaske().EingabeModus());
  EXPECT_EQ(u.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ?", {nr}).toString(), QStringLiteral("Von A"));
  EXPECT_EQ(u.Wert("SELECT \"Fällig\" FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toDate(), QDate(2024, 3, 20));
  EXPECT_EQ(f.FaelligFeld()->Wert(), QDate(2024, 3, 20));
}
