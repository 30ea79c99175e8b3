// Purpose codes, key routing, the due-date dialog's protocol, line display modes, settings and the
// mode display: the small pure units of the payment form.
#include <QHash>
#include <QKeySequence>

#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include "ZahlungsTestDatenbank.h"
#include "payments/core/FaelligAbfrageModell.h"
#include "payments/core/Formulardarstellung.h"
#include "payments/core/Tastenbelegung.h"
#include "zahlungsverkehr/Textschluessel.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "payments/core/Zeilenanzeige.h"

namespace {

QStringList Codes(const QString& art) {
  QStringList c;
  for (const auto& e : TextschluesselListe(art)) c << e.schluessel;
  return c;
}

}  // namespace

TEST(Textschluessel, ListenJeZahlungsart) {
  EXPECT_EQ(Codes(QStringLiteral("L")), L({"COLL", "DBTC", "GDDS", "CORT", "TRAD"}));
  EXPECT_EQ(TextschluesselZeilen(QStringLiteral("L")), 5);
  const QStringList g = Codes(QStringLiteral("G"));
  EXPECT_EQ(g, L({"CORT", "TRAD", "GDDS", "CBFF", "SALA", "PAYR", "BONU", "CASH", "CHAR", "CMDT", "PROV",
                            "DIVI", "PHON", "RENT", "SUBS", "SUPP"}));
  EXPECT_EQ(TextschluesselZeilen(QStringLiteral("G")), 16);
  // Only exactly "L" is the direct-debit list.
  EXPECT_EQ(Codes(QStringLiteral("l")), g);
  EXPECT_EQ(TextschluesselListe(QStringLiteral("G")).at(4).Eintragstext(), QStringLiteral("SALA;Gehaltszahlung"));
  EXPECT_EQ(TextschluesselListe(QStringLiteral("G")).at(5).bedeutung, QStringLiteral("Gehaltszahlung"));
  EXPECT_EQ(TextschluesselListe(QStringLiteral("L")).at(4).Eintragstext(), QStringLiteral("TRAD;Handelsgeschäfte"));
}

TEST(Textschluessel, EintragstexteWortgenau) {
  auto texte = [](const QString& art) {
    QStringList t;
    for (const auto& e : TextschluesselListe(art)) t << e.Eintragstext();
    return t;
  };
  EXPECT_EQ(texte(QStringLiteral("G")),
            L({"CORT;Handelszahlung", "TRAD;Handelsgeschäfte", "GDDS;An- und Verkauf von Waren",
               "CBFF;Vermögenswirksame Leistungen", "SALA;Gehaltszahlung", "PAYR;Gehaltszahlung",
               "BONU;Gehalt Bonusleistungen", "CASH;Dispositionszahlung", "CHAR;Spendenzahlung",
               "CMDT;Wirtschaftsgüter", "PROV;Provision", "DIVI;Dividendenzahlung", "PHON;Telefonrechnung",
               "RENT;Miete", "SUBS;Abonnement", "SUPP;Lieferantenzahlung"}));
  EXPECT_EQ(texte(QStringLiteral("L")), L({"COLL;Einzug", "DBTC;Lastschrift", "GDDS;An- und Verkauf von Waren",
                                           "CORT;Handelszahlung", "TRAD;Handelsgeschäfte"}));
}

TEST(Textschluessel, GespeichertGrossUndHoechstensFeldgroesse) {
  EXPECT_EQ(TextschluesselNormalisieren(QStringLiteral(" sala ")), QStringLiteral("SALA"));
  EXPECT_EQ(TextschluesselNormalisieren(QStringLiteral("salary")), QStringLiteral("SALA"));
  EXPECT_EQ(TextschluesselNormalisieren(QStringLiteral("ELEC")), QStringLiteral("ELEC"));  // not in the list: kept
}

struct TastenFall {
  int taste;
  Qt::KeyboardModifiers mod;
  bool eingabe;
  bool gitter;
  Zahlungsbefehl befehl;
  bool verbraucht;
};

class FormularTasten : public ::testing::TestWithParam<TastenFall> {};

TEST_P(FormularTasten, Belegung) {
  const auto& f = GetParam();
  const Tastenaktion a = FormularTaste(f.taste, f.mod, {f.eingabe, f.gitter});
  EXPECT_EQ(a.befehl, f.befehl);
  EXPECT_EQ(a.verbraucht, f.verbraucht);
}

INSTANTIATE_TEST_SUITE_P(
    Tasten, FormularTasten,
    ::testing::Values(TastenFall{Qt::Key_Escape, Qt::NoModifier, false, false, Zahlungsbefehl::Schliessen, false},
                      TastenFall{Qt::Key_Escape, Qt::NoModifier, true, true, Zahlungsbefehl::Keiner, false},
                      TastenFall{Qt::Key_F1, Qt::NoModifier, false, false, Zahlungsbefehl::Hilfe, true},
                      TastenFall{Qt::Key_F2, Qt::NoModifier, false, false, Zahlungsbefehl::Keiner, false},
                      TastenFall{Qt::Key_F2, Qt::AltModifier, false, false, Zahlungsbefehl::Rechner, true},
                      TastenFall{Qt::Key_F3, Qt::NoModifier, false, false, Zahlungsbefehl::Suchen, true},
                      TastenFall{Qt::Key_F6, Qt::NoModifier, false, false, Zahlungsbefehl::Faelligkeit, false},
                      TastenFall{Qt::Key_F6, Qt::NoModifier, true, false, Zahlungsbefehl::Keiner, false},
                      TastenFall{Qt::Key_F9, Qt::ShiftModifier, true, false, Zahlungsbefehl::Neu, true},
                      TastenFall{Qt::Key_N, Qt::ControlModifier, false, false, Zahlungsbefehl::Neu, true},
                      TastenFall{Qt::Key_N, Qt::NoModifier, false, false, Zahlungsbefehl::Keiner, false},
                      TastenFall{Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier, false, false, Zahlungsbefehl::Suchen, true},
                      TastenFall{Qt::Key_L, Qt::ControlModifier, false, false, Zahlungsbefehl::Loeschen, true},
                      TastenFall{Qt::Key_I, Qt::AltModifier, false, false, Zahlungsbefehl::Import, true},
                      TastenFall{Qt::Key_P, Qt::ControlModifier, false, false, Zahlungsbefehl::Pruefen, true},
                      TastenFall{Qt::Key_K, Qt::ControlModifier, false, false, Zahlungsbefehl::Skonto, true},
                      TastenFall{Qt::Key_K, Qt::AltModifier, true, false, Zahlungsbefehl::Kopieren, true}),
    [](const auto& info) {
      const QString taste = QKeySequence(info.param.mod | Qt::Key(info.param.taste)).toString(QKeySequence::PortableText);
      return Testname(taste) + (info.param.eingabe ? "_Eingabe" : "") + (info.param.gitter ? "_ImZeilengitter" : "");
    });

TEST(BrowseGitterTasten, EnterAendertEinmalUndEntfAusserhalbDesSuchmodus) {
  EXPECT_EQ(BrowseGitterTasteGedrueckt(Qt::Key_Return, {false, false}).befehl, Zahlungsbefehl::Aendern);
  EXPECT_TRUE(BrowseGitterTasteGedrueckt(Qt::Key_Enter, {false, true}).verbraucht);
  EXPECT_EQ(BrowseGitterTasteGedrueckt(Qt::Key_Return, {true, true}).befehl, Zahlungsbefehl::Keiner);
  EXPECT_EQ(BrowseGitterTasteLosgelassen(Qt::Key_Delete, {false, false}).befehl, Zahlungsbefehl::Loeschen);
  // In search mode Del never deletes, wherever the cursor is.
  EXPECT_EQ(BrowseGitterTasteLosgelassen(Qt::Key_Delete, {false, true}).befehl, Zahlungsbefehl::Keiner);
}

TEST(Schaltflaechen, SchluesselExaktUndVerborgeneTunNichts) {
  EXPECT_EQ(BefehlAusSchluessel(QStringLiteral("Ändern")), Zahlungsbefehl::Aendern);
  EXPECT_EQ(BefehlAusSchluessel(QStringLiteral("ändern")), Zahlungsbefehl::Keiner);
  EXPECT_EQ(BefehlAusSchluessel(QStringLiteral("Schliessen")), Zahlungsbefehl::Schliessen);

  ZahlungsformularZustand z;
  // Browse mode, empty list: Ändern/Löschen disabled, Kopieren hidden (Ctrl+K would be Skonto anyway).
  Formulardarstellung d = FormulardarstellungErmitteln(z, 0, {});
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Aendern));
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Loeschen));
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Kopieren));
  EXPECT_TRUE(d.Ausfuehrbar(Zahlungsbefehl::Neu));
  EXPECT_TRUE(d.Ausfuehrbar(Zahlungsbefehl::Faelligkeit));
  // Skonto and Prüfen need listed payments (Prüfen can always switch check mode off); Import shows
  // with or without linked open items (without, it says why).
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Skonto));
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Pruefen));
  ZahlungsformularZustand pruefmodus;
  pruefmodus.NurFehlerhafteSetzen(true);
  EXPECT_TRUE(FormulardarstellungErmitteln(pruefmodus, 0, {}).Ausfuehrbar(Zahlungsbefehl::Pruefen));
  EXPECT_EQ(FormulardarstellungErmitteln(pruefmodus, 0, {}).Suchen(Zahlungsbefehl::Pruefen)->tooltip,
            QStringLiteral("Prüfmodus ausschalten"));
  EXPECT_TRUE(FormulardarstellungErmitteln(z, 0, {false, true}).Ausfuehrbar(Zahlungsbefehl::Import));
  EXPECT_TRUE(FormulardarstellungErmitteln(z, 3, {false, false}).Ausfuehrbar(Zahlungsbefehl::Import));
  ZahlungsformularZustand eingabe;
  eingabe.NeueingabeBeginnen(std::nullopt);
  EXPECT_FALSE(FormulardarstellungErmitteln(eingabe, 3, {false, true}).Ausfuehrbar(Zahlungsbefehl::Import))
      << "not while a payment is entered";

  d = FormulardarstellungErmitteln(z, 2, {});
  EXPECT_TRUE(d.Ausfuehrbar(Zahlungsbefehl::Aendern));
  EXPECT_TRUE(d.Ausfuehrbar(Zahlungsbefehl::Skonto));
  EXPECT_TRUE(d.Ausfuehrbar(Zahlungsbefehl::Pruefen));
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Pruefen)->tooltip, QStringLiteral("Zahlungen auf Fehler prüfen"));
  EXPECT_EQ(d.navigatorBeschriftung, QStringLiteral("Blättern"));
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Neu)->beschriftung, QStringLiteral("&Neu<F9>"));
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Schliessen)->beschriftung, QStringLiteral("Schließen"));
  EXPECT_EQ(d.gesamtsummeBeschriftung, QStringLiteral("Gesamtsumme Gutschriften"));
}

TEST(Formulardarstellung, EingabemodiMitBeschriftungenUndSperren) {
  ZahlungsformularZustand z;
  z.ZahlartSetzen(Zahlart::BasisLastschrift);
  z.NeueingabeBeginnen(std::nullopt);
  Formulardarstellung d = FormulardarstellungErmitteln(z, 1, {});
  EXPECT_EQ(d.navigatorBeschriftung, QStringLiteral("Neueingabe"));
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Neu)->beschriftung, QStringLiteral("Speichern<F9>"));
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Neu)->tooltip, QStringLiteral("Zahlung speichern"));
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Schliessen)->beschriftung, QStringLiteral("Abbruch<ESC>"));
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Schliessen)->tooltip, QStringLiteral("Eingabe abbrechen ohne speichern"));
  EXPECT_TRUE(d.Ausfuehrbar(Zahlungsbefehl::Kopieren));
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Suchen));
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Faelligkeit));
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Skonto));
  EXPECT_FALSE(d.Ausfuehrbar(Zahlungsbefehl::Pruefen));
  EXPECT_TRUE(d.mandatfelderAktiv);
  EXPECT_FALSE(d.rahmenAktiv);
  EXPECT_TRUE(d.farbeBlau);
  EXPECT_EQ(d.gesamtsummeBeschriftung, QStringLiteral("Gesamtsumme Basis-Lastschriften"));

  z.EingabeBeenden();
  z.ZahlartSetzen(Zahlart::Ueberweisung);
  z.AendernBeginnen(7);
  d = FormulardarstellungErmitteln(z, 1, {true, false});
  EXPECT_EQ(d.navigatorBeschriftung, QStringLiteral("Ändern"));
  EXPECT_FALSE(d.mandatfelderAktiv);
  EXPECT_TRUE(d.Suchen(Zahlungsbefehl::Neu)->beschriftung.isEmpty());  // ArbeitsfensterOhneText
  EXPECT_EQ(d.Suchen(Zahlungsbefehl::Neu)->tooltip, QStringLiteral("Zahlung speichern"));
  EXPECT_EQ(z.GemerktePosition(), std::optional<qint64>(7));
}

TEST(ZahlungsformularZustand, SequenzOptionenJeLastschriftart) {
  ZahlungsformularZustand z;
  EXPECT_EQ(z.SequenzIndex(2), -1);
  EXPECT_FALSE(z.SequenzWert(0));
  z.ZahlartSetzen(Zahlart::BasisLastschrift);
  EXPECT_EQ(z.AktuelleArt(), QStringLiteral("L"));
  EXPECT_EQ(z.SequenzIndex(3), 2);
  EXPECT_EQ(z.SequenzIndex(13), -1);
  EXPECT_EQ(z.SequenzIndex(0), -1);
  EXPECT_EQ(z.SequenzWert(3), std::optional<int>(4));
  z.ZahlartSetzen(Zahlart::FirmenLastschrift);
  EXPECT_EQ(z.SequenzIndex(13), 2);
  EXPECT_EQ(z.SequenzWert(0), std::optional<int>(11));
  // A change of kind leaves the check mode.
  z.NurFehlerhafteSetzen(true);
  z.ZahlartSetzen(Zahlart::Ueberweisung);
  EXPECT_FALSE(z.NurFehlerhafte());
}

TEST(ZahlungsformularZustand, SuchmodusLeertDenFilter) {
  ZahlungsformularZustand z;
  z.SuchfilterSetzen(Bedingung("Name LIKE ?", {QVariant(QStringLiteral("M%"))}));
  EXPECT_TRUE(z.SuchmodusUmschalten());
  EXPECT_TRUE(z.Suchfilter().IstLeer());
  z.SuchfilterSetzen(Bedingung("Name LIKE ?", {QVariant(QStringLiteral("M%"))}));
  EXPECT_FALSE(z.SuchmodusUmschalten());
  EXPECT_TRUE(z.Suchfilter().IstLeer());
}

namespace {

struct Speicher {
  QHash<QString, QString> werte;
  EinstellungsLeser Leser() {
    return [this](const QString& k, const QString& v) { return werte.value(k, v); };
  }
  EinstellungsSchreiber Schreiber() {
    return [this](const QString& k, const QString& w) { werte.insert(k, w); };
  }
};

}  // namespace

TEST(Einstellungen, VorgabenBeimErstenOeffnen) {
  Speicher reg, tab;
  const auto e = ZahlungsformularEinstellungenLesen(reg.Leser(), tab.Leser());
  EXPECT_EQ(e.zahlart, Zahlart::Ueberweisung);
  EXPECT_EQ(e.zeilenanzeige, Zeilenanzeige::MitOP);
  EXPECT_TRUE(e.neueingabeFortsetzen);
  EXPECT_TRUE(e.optischeFehlerKontrolle);
  EXPECT_EQ(e.speicherfeld, Speicherfeld::Keines);
  EXPECT_EQ(e.tabFolge, (std::array<bool, 4>{}));
  EXPECT_EQ(e.vorlagen[1], QStringLiteral("RG {RgNr} vom {RgDatum}"));
  EXPECT_EQ(e.vorlagen[2], QStringLiteral("abzgl. GS {RgNr} vom {RgDatum}"));
  EXPECT_EQ(e.vorlagen[3], QStringLiteral("abzgl. Anz {RgNr} vom {RgDatum}"));
}

TEST(Einstellungen, ZahlungsartWirdEinmalGrossGeschrieben) {
  struct Fall {
    const char* art;
    const char* lastschrift;
    Zahlart erwartet;
  };
  for (const Fall& f : {Fall{"L", "F", Zahlart::FirmenLastschrift}, Fall{"L", "B", Zahlart::BasisLastschrift},
                        Fall{"l", "B", Zahlart::BasisLastschrift}, Fall{"g", "B", Zahlart::Ueberweisung},
                        Fall{"x", "B", Zahlart::Ueberweisung}, Fall{"GL", "B", Zahlart::Ueberweisung},
                        Fall{"L", "b", Zahlart::FirmenLastschrift}, Fall{"", "F", Zahlart::Ueberweisung}}) {
    Speicher reg, tab;
    tab.werte.insert(QStringLiteral("AktuelleZahlungsart:"), QString::fromUtf8(f.art));
    tab.werte.insert(QStringLiteral("AktuelleLastschrifttart"), QString::fromUtf8(f.lastschrift));
    EXPECT_EQ(ZahlungsformularEinstellungenLesen(reg.Leser(), tab.Leser()).zahlart, f.erwartet) << f.art << f.lastschrift;
  }
}

TEST(Einstellungen, RundreiseUeberDieTabelle) {
  Speicher reg, tab;
  reg.werte.insert(QStringLiteral("Speicherfeld"), QStringLiteral("4"));
  reg.werte.insert(QStringLiteral("NeueingabeFortsetzen"), QStringLiteral("0"));
  reg.werte.insert(QStringLiteral("AutoVerwendungszweck"), QStringLiteral("R {RgNr}\\G {RgNr}"));
  reg.werte.insert(QStringLiteral("Speicherfeld"), QStringLiteral("4"));
  ZahlungsformularEinstellungen e = ZahlungsformularEinstellungenLesen(reg.Leser(), tab.Leser());
  EXPECT_EQ(e.speicherfeld, Speicherfeld::OPBetragNeueZeile);
  EXPECT_FALSE(e.neueingabeFortsetzen);
  EXPECT_EQ(e.vorlagen[2], QStringLiteral("G {RgNr}"));
  EXPECT_TRUE(e.vorlagen[3].isEmpty());

  e.zahlart = Zahlart::FirmenLastschrift;
  e.tabFolge = {true, false, true, false};
  e.zeilenanzeige = Zeilenanzeige::OhneOP;
  ZahlungsformularEinstellungenSpeichern(e, tab.Schreiber());
  EXPECT_EQ(tab.werte.value(QStringLiteral("AktuelleZahlungsart:")), QStringLiteral("L"));
  EXPECT_EQ(tab.werte.value(QStringLiteral("AktuelleLastschrifttart")), QStringLiteral("F"));
  EXPECT_EQ(tab.werte.value(QStringLiteral("TabfolgeEinAus2")), QStringLiteral("1"));
  EXPECT_EQ(tab.werte.value(QStringLiteral("AnzeigeVerwendungszweckzeilen")), QStringLiteral("1"));
  const auto wieder = ZahlungsformularEinstellungenLesen(reg.Leser(), tab.Leser());
  EXPECT_EQ(wieder.zahlart, Zahlart::FirmenLastschrift);
  EXPECT_EQ(wieder.tabFolge, e.tabFolge);
  EXPECT_EQ(wieder.zeilenanzeige, Zeilenanzeige::OhneOP);

  // Credit transfers store "G" and "F".
  e.zahlart = Zahlart::Ueberweisung;
  ZahlungsformularEinstellungenSpeichern(e, tab.Schreiber());
  EXPECT_EQ(tab.werte.value(QStringLiteral("AktuelleZahlungsart:")), QStringLiteral("G"));
  EXPECT_EQ(tab.werte.value(QStringLiteral("AktuelleLastschrifttart")), QStringLiteral("F"));
}

TEST(Zeilenanzeige, SpaltenUndBreitenJeModus) {
  const auto m0 = ZeilenanzeigeErmitteln(Zeilenanzeige::Ausblenden, true);
  EXPECT_FALSE(m0.gitterSichtbar);
  EXPECT_TRUE(m0.einzelfelderSichtbar);
  EXPECT_FALSE(m0.einzelsummeSichtbar);
  EXPECT_TRUE(m0.nurZeile1);
  const auto m1 = ZeilenanzeigeErmitteln(Zeilenanzeige::OhneOP, true);
  EXPECT_EQ(m1.spalten, L({"Verwendungszweck", "ZahlungsBetrag"}));
  EXPECT_EQ(m1.prozente, (QList<double>{79, 14}));
  EXPECT_FALSE(m1.einzelfelderSichtbar);
  const auto m2aus = ZeilenanzeigeErmitteln(Zeilenanzeige::MitOP, false);
  EXPECT_EQ(m2aus.spalten.size(), 6);
  EXPECT_EQ(m2aus.prozente.at(2), 32);
  EXPECT_EQ(ZeilenanzeigeErmitteln(Zeilenanzeige::MitOP, true).prozente.at(2), 28);
  EXPECT_EQ(m2aus.ersteSpalte, QStringLiteral("OPVorgangNr"));
  EXPECT_EQ(ZeilenanzeigeAusText(QStringLiteral("7")), Zeilenanzeige::MitOP);
  EXPECT_EQ(ZeilenanzeigeAusText(QStringLiteral("0")), Zeilenanzeige::Ausblenden);
}

TEST(FaelligAbfrage, OkNurMitGueltigemDatum) {
  FaelligAbfrageModell m;
  m.Daten(QDate(2024, 3, 15));
  EXPECT_TRUE(m.OkMoeglich());
  m.DatumstextSetzen(QStringLiteral("  .  .    "));
  EXPECT_FALSE(m.OkMoeglich());
  EXPECT_FALSE(m.Ok());
  EXPECT_FALSE(m.Beendet());
  m.DatumstextSetzen(QStringLiteral("31.02.2024"));
  EXPECT_FALSE(m.OkMoeglich());
  m.DatumstextSetzen(QStringLiteral("01.04.24"));
  ASSERT_TRUE(m.Ok());
  EXPECT_EQ(m.SuchOk(), std::optional<QDate>(QDate(2024, 4, 1)));
}

TEST(FaelligAbfrage, AbbruchUndSchliessfeldEntfernenDieGrenze) {
  FaelligAbfrageModell m;
  m.Daten(FaelligAbfrageModell::VorschlagFuer(std::nullopt, QDate(2024, 5, 2)));
  EXPECT_EQ(m.Datum(), std::optional<QDate>(QDate(2024, 5, 2)));
  m.Abbruch();
  EXPECT_FALSE(m.SuchOk());
  // The close box never pressed OK either.
  FaelligAbfrageModell n;
  n.Daten(FaelligAbfrageModell::VorschlagFuer(QDate(2024, 1, 31), QDate(2024, 5, 2)));
  EXPECT_EQ(n.Vorschlagsdatum(), QDate(2024, 1, 31));
  EXPECT_FALSE(n.SuchOk());
  EXPECT_TRUE(n.Ok());
  EXPECT_EQ(n.SuchOk(), std::optional<QDate>(QDate(2024, 1, 31)));
}

TEST(FaelligAbfrage, KalenderRuecktVomRand) {
  const QDate erster(2024, 3, 1), letzter(2024, 5, 31);
  EXPECT_EQ(FaelligAbfrageModell::KalenderVerschiebung(QDate(2024, 3, 20), erster, letzter), -1);
  EXPECT_EQ(FaelligAbfrageModell::KalenderVerschiebung(QDate(2024, 5, 2), erster, letzter), 1);
  EXPECT_EQ(FaelligAbfrageModell::KalenderVerschiebung(QDate(2024, 4, 2), erster, letzter), 0);
  EXPECT_EQ(FaelligAbfrageModell::KalenderVerschiebung(QDate(2023, 3, 20), erster, letzter), 0);
}

TEST(Navigator, Tooltips) {
  EXPECT_EQ(NavigatorTooltip(1), std::optional<QString>(QStringLiteral("Aktueller Modus")));
  EXPECT_EQ(NavigatorTooltip(8), std::optional<QString>(QStringLiteral("Nächster Datensatz")));
  EXPECT_FALSE(NavigatorTooltip(2));
  EXPECT_EQ(NavigatorTooltip(0), std::optional<QString>(QString()));
}
