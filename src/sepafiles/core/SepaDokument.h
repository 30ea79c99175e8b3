#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "common/Zahlungsauftrag.h"
#include "sepafiles/core/SepaAbsender.h"
#include "sepafiles/core/SepaErgebnis.h"
#include "sepafiles/core/SepaOptionen.h"

// Builds the SEPA documents of one run from plain data: credit transfers as one pain.001.001.03
// file, direct debits as one pain.008.001.02 file with a payment block per mandate sequence type
// (OOFF, FRST, RCUR, FNAL) or, in split mode, one file per sequence type. Writes nothing to disk and
// reads no database; the run writes the bytes and marks the orders named in each file.
class SepaDokument {
 public:
  // `auftraege`: the pre-checked orders of the run (sorted here by sequence and ZahlungNr);
  // `referenz`: the sender's reference as typed (the message id is its conversion). The last guard:
  // a run with an order the shared rules find fault with (Auftragspruefung::LaufPruefen), or of
  // another kind, is refused whole.
  static SepaErgebnis Bauen(const QList<Zahlungsauftrag>& auftraege, const SepaAbsender& absender,
                            const SepaOptionen& optionen, const QString& referenz);

  // "SEPAGK.XML", "SEPALKBasis.XML" or "SEPALKFirmen.XML".
  static QString Grunddateiname(SepaArt art);
  // The sender's remark and "_" when the option asks for it and the remark is not empty.
  static QString Dateipraefix(const SepaAbsender& absender, const SepaOptionen& optionen);
  // Every name a run of this kind may write: the plain name and, for direct debits, the four split
  // names (for clearing files of an earlier run in split mode).
  static QStringList MoeglicheDateinamen(const SepaAbsender& absender, const SepaOptionen& optionen);
  // "OOFF", "FRST", "RCUR", "FNAL" for 1-4 and 11-14, otherwise empty.
  static QString Sequenztyp(int mandatSequenz);
  // "Einmal.XML", "MehrfachErste.XML", "MehrfachFolge.XML", "MehrfachLetzte.XML".
  static QString Teilendung(int mandatSequenz);
};
