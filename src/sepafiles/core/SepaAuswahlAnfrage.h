#pragma once

#include <QDate>

#include <optional>

#include "sepafiles/core/SepaOptionen.h"

// What the SEPA file window selects: the active sender's open orders of one kind within the limits.
// The window fills it from its controls; the core never reads them.
struct SepaAuswahlAnfrage {
  int AbsenderNr = 1;
  SepaArt Art = SepaArt::Ueberweisung;
  std::optional<QDate> FaelligBis;                // "Fällig bis": orders due on that day and before
  std::optional<QDate> VerwendungszweckDatumBis;  // F3: Verwendungszweck1 ends in a date not after this
  QDate Heute;                                    // the run's date for the pre-check (BIC cut-off, mandate date)
};
