// The key decisions of the line grid and the "Speicherfeld" setting they read.
#include <gtest/gtest.h>

#include "payments/core/Speicherfeld.h"
#include "payments/core/Tastenbelegung.h"

namespace {

using A = ZeilengitterAktion;

// A line grid in entry mode, typing into cells, on a stored line in the text column.
ZeilengitterTastenKontext Eingabe() {
  ZeilengitterTastenKontext k;
  k.eingabeModus = true;
  k.stil = ZeilengitterStil::Zellbearbeitung;
  k.zeile = 1;
  k.spalte = 3;
  k.feld = QStringLiteral("Verwendungszweck");
  k.zellTextLeer = false;
  k.neueZeilenErlaubt = true;
  return k;
}

struct Fall {
  const char* name;
  int taste;
  std::function<void(ZeilengitterTastenKontext&)> aendern;
  A erwartet;
};

void PrintTo(const Fall& f, std::ostream* os) { *os << f.name; }

class ZeilengitterTasten : public ::testing::TestWithParam<Fall> {};

TEST_P(ZeilengitterTasten, Aktion) {
  ZeilengitterTastenKontext k = Eingabe();
  if (GetParam().aendern) GetParam().aendern(k);
  EXPECT_EQ(ZeilengitterTaste(GetParam().taste, k), GetParam().erwartet);
}

const Fall Faelle[] = {
    // Left/Right open a filled cell instead of leaving it, never an empty one or with a modifier.
    {"LinksOeffnetGefuellteZelle", Qt::Key_Left, nullptr, A::ZelleOeffnenAnfang},
    {"RechtsOeffnetGefuellteZelle", Qt::Key_Right, nullptr, A::ZelleOeffnenEnde},
    {"LinksAufLeererZelleWandert", Qt::Key_Left, [](auto& k) { k.zellTextLeer = true; }, A::Keine},
    {"RechtsMitUmschaltWandert", Qt::Key_Right, [](auto& k) { k.modifikatoren = Qt::ShiftModifier; }, A::Keine},
    {"LinksImEditorBleibtImText", Qt::Key_Left, [](auto& k) { k.imEditor = true; k.editorOffen = true; }, A::Keine},
    // Esc: first the typed values, then from typing to selecting, then the entry itself.
    {"EscVerwirftGetippteZeile", Qt::Key_Escape, [](auto& k) { k.zeileAusstehend = true; }, A::ZeileVerwerfen},
    {"EscWechseltZurZeilenauswahl", Qt::Key_Escape, nullptr, A::Zeilenauswahl},
    {"EscBeiZeilenauswahlSchliesst", Qt::Key_Escape, [](auto& k) { k.stil = ZeilengitterStil::Zeilenauswahl; },
     A::Schliessen},
    {"EscImEditorGehoertDemEditor", Qt::Key_Escape, [](auto& k) { k.imEditor = true; }, A::Keine},
    // Enter (a save by "Speicherfeld" first, otherwise on like Tab).
    {"EnterBeiZeilenauswahlBeginntTippen", Qt::Key_Return, [](auto& k) { k.stil = ZeilengitterStil::Zeilenauswahl; },
     A::Zellbearbeitung},
    {"EnterAusserhalbDerEingabeNichts", Qt::Key_Return, [](auto& k) { k.eingabeModus = false; }, A::Keine},
    {"EnterSpeichertMitFeldZweiImOPBetrag", Qt::Key_Enter,
     [](auto& k) {
       k.speicherfeld = Speicherfeld::OPBetragZeile;
       k.feld = QStringLiteral("OPBetrag");
     },
     A::Speichern},
    {"EnterFeldZweiNichtAufLeererNeuerZeile", Qt::Key_Return,
     [](auto& k) {
       k.speicherfeld = Speicherfeld::OPBetragZeile;
       k.feld = QStringLiteral("OPBetrag");
       k.neueZeile = true;
     },
     A::ZelleWeiter},
    {"EnterFeldVierNurAufLeererNeuerZeile", Qt::Key_Return,
     [](auto& k) {
       k.speicherfeld = Speicherfeld::OPBetragNeueZeile;
       k.feld = QStringLiteral("OPBetrag");
       k.neueZeile = true;
     },
     A::Speichern},
    {"EnterFeldVierAufGetippterNeuerZeileNicht", Qt::Key_Return,
     [](auto& k) {
       k.speicherfeld = Speicherfeld::OPBetragNeueZeile;
       k.feld = QStringLiteral("OPBetrag");
       k.neueZeile = true;
       k.zeileAusstehend = true;
     },
     A::ZelleWeiter},
    {"EnterFeldDreiImZahlungsbetrag", Qt::Key_Return,
     [](auto& k) {
       k.speicherfeld = Speicherfeld::ZahlungsbetragZeile;
       k.feld = QStringLiteral("ZahlungsBetrag");
     },
     A::Speichern},
    {"EnterFeldDreiNichtImOPBetrag", Qt::Key_Return,
     [](auto& k) {
       k.speicherfeld = Speicherfeld::ZahlungsbetragZeile;
       k.feld = QStringLiteral("OPBetrag");
     },
     A::ZelleWeiter},
    {"EnterLetzteSpalteLeererNeuerZeileWieTab", Qt::Key_Return,
     [](auto& k) {
       k.neueZeile = true;
       k.letzteSpalte = true;
     },
     A::WieTab},
    // Enter and Tab go on to the next column, from the last one to the next line.
    {"EnterGehtZurNaechstenSpalte", Qt::Key_Return, nullptr, A::ZelleWeiter},
    {"TabGehtZurNaechstenSpalte", Qt::Key_Tab, nullptr, A::ZelleWeiter},
    {"EnterLetzteSpalteGehtZurNaechstenZeile", Qt::Key_Return,
     [](auto& k) {
       k.letzteSpalte = true;
       k.zeile = 0;
       k.zeilenAnzahl = 2;
     },
     A::ZeileWeiter},
    {"EnterLetzteSpalteLetzterZeileLegtNeueAn", Qt::Key_Enter,
     [](auto& k) {
       k.letzteSpalte = true;
       k.zeile = 3;
       k.zeilenAnzahl = 4;
     },
     A::ZeileWeiter},
    {"EnterLetzteSpalteGetippteNeueZeileLegtNaechsteAn", Qt::Key_Return,
     [](auto& k) {
       k.letzteSpalte = true;
       k.zeile = 3;
       k.zeilenAnzahl = 3;
       k.neueZeile = true;
       k.zeileAusstehend = true;
     },
     A::ZeileWeiter},
    {"EnterLetzteSpalteFuenfteZeileSchliesstAb", Qt::Key_Return,
     [](auto& k) {
       k.letzteSpalte = true;
       k.zeile = 4;
       k.zeilenAnzahl = 4;
       k.neueZeile = true;
       k.zeileAusstehend = true;
     },
     A::ZeileAbschliessen},
    {"TabLetzteSpalteFuenfterGespeicherterZeileSchliesstAb", Qt::Key_Tab,
     [](auto& k) {
       k.letzteSpalte = true;
       k.zeile = 4;
       k.zeilenAnzahl = 5;
     },
     A::ZeileAbschliessen},
    {"TabMitStrgGehoertDemFenster", Qt::Key_Tab, [](auto& k) { k.modifikatoren = Qt::ControlModifier; }, A::Keine},
    {"TabBeimBlaetternGehoertDemFenster", Qt::Key_Tab, [](auto& k) { k.eingabeModus = false; }, A::Keine},
    {"UmschaltTabZurueck", Qt::Key_Backtab, nullptr, A::ZelleZurueck},
    {"UmschaltTabErsteSpalteZurVorigenZeile", Qt::Key_Backtab, [](auto& k) { k.ersteSpalte = true; }, A::ZeileZurueck},
    {"UmschaltTabErsteZelleVerlaesstDasGitter", Qt::Key_Backtab,
     [](auto& k) {
       k.ersteSpalte = true;
       k.zeile = 0;
     },
     A::WieUmschaltTab},
    {"AbAufGetippterNeuerZeileLegtNaechsteAn", Qt::Key_Down,
     [](auto& k) {
       k.zeile = 2;
       k.zeilenAnzahl = 2;
       k.neueZeile = true;
       k.zeileAusstehend = true;
     },
     A::ZeileRunter},
    {"AbAufFuenfterNeuerZeileSchliesstAb", Qt::Key_Down,
     [](auto& k) {
       k.zeile = 4;
       k.zeilenAnzahl = 4;
       k.neueZeile = true;
       k.zeileAusstehend = true;
     },
     A::ZeileAbschliessen},
    {"AbAufGespeicherterZeileGehoertDemGitter", Qt::Key_Down, nullptr, A::Keine},
    {"AbAufLeererNeuerZeileNichts", Qt::Key_Down, [](auto& k) { k.neueZeile = true; }, A::Keine},
    {"EnterOffeneListeGehoertDerListe", Qt::Key_Return,
     [](auto& k) {
       k.neueZeile = true;
       k.letzteSpalte = true;
       k.listeOffen = true;
     },
     A::Keine},
    // Up/Down change the value only in a number or date editor with the setting on.
    {"AufImZahlEditorAendertWert", Qt::Key_Up,
     [](auto& k) {
       k.imEditor = k.editorOffen = k.wertEditor = k.aufAbPfeil = true;
     },
     A::WertAendern},
    {"AbOhneEinstellungWandert", Qt::Key_Down,
     [](auto& k) {
       k.imEditor = k.editorOffen = k.wertEditor = true;
     },
     A::Keine},
    {"AbImTexteditorWandert", Qt::Key_Down,
     [](auto& k) {
       k.imEditor = k.editorOffen = k.aufAbPfeil = true;
     },
     A::Keine},
    // Del: the selected lines or the current one, always through the payment's guarded delete; the
    // open editor keeps its own Del, and outside the entry nothing is deleted.
    {"EntfLoeschtMehrereAusgewaehlte", Qt::Key_Delete,
     [](auto& k) {
       k.stil = ZeilengitterStil::Zeilenauswahl;
       k.ausgewaehlt = 2;
     },
     A::MarkierteLoeschen},
    {"EntfLoeschtEineAusgewaehlteEbenso", Qt::Key_Delete,
     [](auto& k) {
       k.stil = ZeilengitterStil::Zeilenauswahl;
       k.ausgewaehlt = 1;
     },
     A::MarkierteLoeschen},
    {"EntfOhneAuswahlLoeschtDieAktuelleZeile", Qt::Key_Delete, nullptr, A::MarkierteLoeschen},
    {"EntfImEditorGehoertDemEditor", Qt::Key_Delete, [](auto& k) { k.imEditor = k.editorOffen = true; }, A::Keine},
    {"EntfAusserhalbDerEingabeNichts", Qt::Key_Delete, [](auto& k) { k.eingabeModus = false; }, A::Keine},
    // F6: the line above, never on the first line or without adding allowed.
    {"F6UebernimmtWertDarueber", Qt::Key_F6, nullptr, A::WertVonOben},
    {"F6AufErsterZeileNichts", Qt::Key_F6, [](auto& k) { k.zeile = 0; }, A::Keine},
    {"F6OhneNeueZeilenNichts", Qt::Key_F6, [](auto& k) { k.neueZeilenErlaubt = false; }, A::Keine},
    {"FilterleisteGehoertDemGitter", Qt::Key_Escape, [](auto& k) { k.imFilter = true; }, A::Keine},
};

INSTANTIATE_TEST_SUITE_P(Zeilengitter, ZeilengitterTasten, ::testing::ValuesIn(Faelle),
                         [](const ::testing::TestParamInfo<Fall>& info) { return std::string(info.param.name); });

TEST(Speicherfeld, GespeicherterTextUndBeschriftungen) {
  EXPECT_EQ(SpeicherfeldAusText(QStringLiteral(" 4 ")), Speicherfeld::OPBetragNeueZeile);
  EXPECT_EQ(SpeicherfeldAusText(QStringLiteral("5")), Speicherfeld::ZahlungsbetragNeueZeile);
  // Out of range or not a number: Enter saves nowhere.
  EXPECT_EQ(SpeicherfeldAusText(QStringLiteral("6")), Speicherfeld::Keines);
  EXPECT_EQ(SpeicherfeldAusText(QStringLiteral("-1")), Speicherfeld::Keines);
  EXPECT_EQ(SpeicherfeldAusText(QStringLiteral("x")), Speicherfeld::Keines);
  for (Speicherfeld f : AlleSpeicherfelder()) {
    EXPECT_EQ(SpeicherfeldAusText(SpeicherfeldAlsText(f)), f);
    // The caption starts with the stored number, as the settings dialog has always shown it.
    EXPECT_TRUE(SpeicherfeldBeschriftung(f).startsWith(SpeicherfeldAlsText(f) + QStringLiteral(" - ")));
  }
}

}  // namespace
