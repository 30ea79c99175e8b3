#pragma once

#include <QString>

#include "platform/report/core/Reportengine.h"

// The state of one print request: set by the report choice (or by a caller that prints without it,
// such as the control list after a SEPA file) and handed to the print driver.
struct Druckanfrage {
  QString ReportDatei;                 // full path; empty after a cancelled choice
  int DruckZiel = Report::ZielAbfragen;
  int DruckKopien = 1;                 // the driver takes the copies chosen in the output settings
  int DruckAktion = 0;                 // button of the print dialog: 0 cancel, 1 OK, 2 change, 3 new report
  int ProjektTyp = Report::Liste;
  bool DesignerAufruf = false;         // the caller asks again after the driver returns
  // The silent PDF target: file name and folder (empty = none).
  QString PdfDateiname;
  QString PdfPfad;
};
