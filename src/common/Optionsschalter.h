#pragma once

#include <QString>

#include <vector>

// The program's options of the registry section "Window State" ("1" = on), read at start-up and
// written by the settings dialog. Each member is named as its registry key.
struct Optionsschalter {
  bool SmartfillName = true;
  bool SmartfillBank = true;
  bool AutoSpeichernBank = false;
  bool AutoSpeichernAdressen = false;
  bool NeuMitSuchliste = true;
  bool ArbeitsfensterKleineSymbole = true;
  bool ArbeitsfensterOhneText = false;
  bool AlleFensterProportionaleSchrift = false;
  bool TabellenOhneZebramuster = false;
  bool OPSelektionMitMinus = false;
  bool IBANmitBlockEingeben = true;
  bool SEPAmitArchivSpeichern = false;
  bool AutoVerwRgDatumKurzFormat = true;
  bool SepaDateinamemitAbsenderBemerkung = false;
  bool ImportAutoVerwendungJeAbsender = false;
  // Umlauts and special characters are always replaced in SEPA texts.
  static constexpr bool SonderzeichenErsetzen = true;

  // Registry key, member and default of every option.
  struct Eintrag {
    const char* schluessel;
    bool Optionsschalter::*schalter;
    bool vorgabe;
  };
  static const std::vector<Eintrag>& Eintraege();

  // Reads every option from section "Window State"; a missing key gives its default.
  static Optionsschalter AusRegistrierung();
  // Writes every option as "1"/"0".
  void InRegistrierungSchreiben() const;
};
