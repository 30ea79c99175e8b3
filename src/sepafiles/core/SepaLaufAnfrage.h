#pragma once

#include <QList>
#include <QString>

#include <memory>

#include "sepafiles/core/SepaAuswahl.h"
#include "sepafiles/core/SepaOptionen.h"

// What the create command hands to the run: the faultless orders of the selection by id, the
// window's options and reference, and the target folder.
struct SepaLaufAnfrage {
  int AbsenderNr = 1;
  QList<qint64> ZahlungNummern;    // exactly the orders to write (SepaAuswahl::ZahlungNummern)
  // The same orders as the selection read and checked them (SepaAuswahl::Auftraege): written as they are
  // unless the database changed since; without them the run reads the orders itself and judges them again.
  std::shared_ptr<const SepaGepruefteAuftraege> Auftraege;
  int Fehlerhaft = 0;              // faulty orders the selection left out (reported back)
  SepaOptionen Optionen;           // kind, file options, dates and the one clock reading of the run
  QString Referenz;                // the reference field's text
  QString Zielordner;              // the folder shown by the window
  bool ArchivSpeichern = false;    // option SEPAmitArchivSpeichern: copies in the subfolder "Archiv"
  QString SchemaOrdner;            // the banks' schemas; empty: the shipped ones (SepaSchemapruefung::Ordner)
};
