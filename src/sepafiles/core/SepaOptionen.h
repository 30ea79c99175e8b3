#pragma once

#include <QDate>
#include <QDateTime>

#include <optional>

#include "sepafiles/core/SepaFormat.h"

// Kind of a SEPA run; the values are the window's ZahlartIndex.
enum class SepaArt { Ueberweisung = 0, BasisLastschrift = 1, FirmenLastschrift = 2 };

// Options of one SEPA run, collected by the window (or the driver) from its controls and settings.
struct SepaOptionen {
  SepaArt Art = SepaArt::Ueberweisung;
  SepaFormat Format = SepaFormate::Vorgabe;  // setting "Dateiformat"
  bool Sammelbuchung = true;             // "Sammelbuchung": BtchBookg true/false
  bool AutoEinzelReferenz = false;       // "Autom. Einzel-Referenz"
  bool AufteilenNachMandatArt = true;    // one file per sequence type (direct debits only)
  bool DateinameMitBemerkung = false;    // SepaDateinamemitAbsenderBemerkung
  std::optional<QDate> Ausfuehrungsdatum;  // credit transfers; empty = next bank day
  int Vorlauftage = 2;                   // direct debits: days until collection
  QDate Erstellungsdatum;                // ErledigtDatum of the written orders
  QDateTime Zeitpunkt;                   // the one clock reading of the run (CreDtTm, "today")

  static std::optional<SepaArt> ArtAusIndex(int zahlartIndex) {
    if (zahlartIndex < 0 || zahlartIndex > 2) return std::nullopt;
    return static_cast<SepaArt>(zahlartIndex);
  }
  bool IstLastschrift() const { return Art != SepaArt::Ueberweisung; }
};
