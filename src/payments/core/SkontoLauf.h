#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "payments/core/SkontoRechnung.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"

// The rows of the cash-discount dialog: every remittance line of the payments that the payment
// form lists (its condition on Zahlungen, as the form built it), in payment then line order, one
// row per line keyed by Verwendungszweck.LfdNr. Columns: Name, Verwendungszweck, OPBetrag,
// SkontoBetrag, ZahlungsBetrag, ZahlungNr, LfdNr.
Abfrage SkontoAbfrage(const Bedingung& zahlungen);

// The footers: the sums over the dialog's rows (Null counts as 0).
struct SkontoSummen {
  Waehrung opBetrag;
  Waehrung skontoBetrag;
  Waehrung zahlungsBetrag;
};
DbFehler SkontoSummenErmitteln(Datenbank& db, const Bedingung& zahlungen, SkontoSummen& summen);

// The outcome of a run or a reset.
struct SkontoErgebnis {
  DbFehler fehler;       // failed and rolled back as a whole: no amount changed
  int bearbeitet = 0;    // lines the run or reset wrote (or found already right)
  int uebergangen = 0;   // lines left alone: their payment was done or deleted since, or (reset) the
                         // line was changed elsewhere after the dialog's last run
  int ohneBetrag = 0;    // touched payments whose total is 0 or less after the run (no file pays them)
  QString abgelehnt;      // refused before anything was written (the reason, German): no amount changed
  bool Ok() const { return fehler.Ok() && abgelehnt.isEmpty(); }
};
// The message after a failed run ("Fehler beim Speichern der Daten!" ...); nothing was changed.
QString SkontoLaufFehlertext(const DbFehler& fehler);
QString SkontoZuruecksetzenFehlertext(const DbFehler& fehler);
// The note on lines left alone; empty when there were none.
QString SkontoUebergangenText(const SkontoErgebnis& ergebnis, bool zuruecksetzen);
// The note on payments a run left with a total of 0 or less (credit notes keep their amounts while
// the invoices are discounted); empty when there were none.
QString SkontoOhneBetragText(const SkontoErgebnis& ergebnis);

// What the dialog changed while it is open. Each run and each reset is one short transaction of its
// own, all or nothing, so that no lock is held while the dialog waits for the user. The session keeps
// the amounts every line had before the dialog first changed it; "Änderungen zurücksetzen" writes
// them back. After every run and reset each touched payment's ZahlungGesamt is the sum of its lines.
class SkontoSitzung {
 public:
  // "Abzug vornehmen" on the lines given by LfdNr, in that order. Lines whose payment is done or
  // gone by now are left alone and counted. A run that would give a line amount or a payment's
  // total outside ±999.999.999,99, or whose settings lie outside the dialog's ranges, is refused
  // as a whole.
  SkontoErgebnis Abziehen(Datenbank& db, const QList<qint64>& lfdNummern, const SkontoVorgabe& vorgabe);
  // "Änderungen zurücksetzen": every line back to its amounts before the dialog's first run. A line
  // changed elsewhere since the dialog's last run, or whose payment is done or gone, keeps what it has.
  // On success the session is empty again.
  SkontoErgebnis Zuruecksetzen(Datenbank& db);

  // Something could be reset.
  bool Geaendert() const { return !m_zeilen.isEmpty(); }
  int ZeilenAnzahl() const { return int(m_zeilen.size()); }

 private:
  struct Stand {
    qint64 zahlungNr = 0;
    ZeilenBetraege original;   // before the dialog's first run on the line
    ZeilenBetraege jetzt;      // what the dialog's last run wrote
  };
  QMap<qint64, Stand> m_zeilen;   // by LfdNr
};
