#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "sepafiles/core/SepaDatei.h"

// Result of building the SEPA documents of one run. On refusal `Fehler` holds the German message
// and no file is given.
struct SepaErgebnis {
  QString Fehler;                  // empty = success
  QList<SepaDatei> Dateien;
  QString Referenz;                // message id of the last file; the caller raises it for the next run
  QDate Ausfuehrungsdatum;         // credit transfers: the date used, for the window's field
  QString PdfDateiname;            // "<remark>_Zahlungsübersicht.pdf" when the option asks for it

  bool Ok() const { return Fehler.isEmpty(); }
};
