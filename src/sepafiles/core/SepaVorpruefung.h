#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

#include "platform/db/Datenbank.h"
#include "sepafiles/core/SepaAbsender.h"

// The create command's checks of what the window hands to a run, before anything is written: the
// reference (the file's message id), the execution date of credit transfers and the creditor
// identifier of direct debits. The orders themselves are judged by Auftragspruefung.
namespace SepaVorpruefung {

// The message id a reference gives: the reference in the payment character set (not trimmed).
QString NachrichtenId(const QString& referenz);

// Message for a reference that cannot become a message id (empty after the conversion, or against
// the identifier rules of SepaKennung); empty when it is usable.
QString ReferenzMeldung(const QString& referenz);
// Message for a credit-transfer execution date outside the creation date and the 14 days after it
// (both boundaries pass); empty when the date is in range or not given.
QString AusfuehrungsdatumMeldung(const std::optional<QDate>& ausfuehrungsdatum, const QDate& erstellungsdatum);
// Message for a missing or invalid creditor identifier of a direct-debit run; empty when valid.
QString GlaeubigerIdMeldung(const QString& glaeubigerId);

// The sender field a file of the kind still needs, in the order the file is checked (name, IBAN,
// BIC, for direct debits the creditor identifier), with its message; empty feld when complete.
struct AbsenderMangel {
  QString feld;      // "Name", "IBAN", "BIC", "GläubigerID"
  QString meldung;
};
AbsenderMangel AbsenderPruefen(const SepaAbsender& absender, bool lastschrift);

// Message ids of `nachrichtenIds` that a file from the account `iban` already carried, whichever sender record
// (deleted ones too) sent it (table GesendeteReferenzen), in the given order.
QStringList VerwendeteReferenzen(Datenbank& db, const QString& iban, const QStringList& nachrichtenIds, DbFehler& fehler);
// Message for a message id sent before from the account; the bank rejects a file whose message id it has seen.
QString VerwendeteReferenzMeldung(const QString& nachrichtenId, const QString& iban);
// Notes the message ids of the files of a run from the sender's account (inside the run's transaction); refused
// without an IBAN, whose ids no later check would find.
DbFehler ReferenzenMerken(Datenbank& db, int absenderNr, const QString& iban, const QStringList& nachrichtenIds,
                          const QDate& erstellt);
// Removes what ReferenzenMerken noted, for a run taken back.
DbFehler ReferenzenVergessen(Datenbank& db, const QString& iban, const QStringList& nachrichtenIds);

}  // namespace SepaVorpruefung
