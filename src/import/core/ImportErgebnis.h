#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// What an import run did, for the result box.
struct ImportErgebnis {
  int importiert = 0;               // items that became lines of stored payments
  int zahlungen = 0;                // payments stored
  int minusZahlungen = 0;           // payments with a negative total, not stored
  int fehlerhafteAngaben = 0;       // faulty fields, each once per payment
  int automatischeKorrekturen = 0;  // texts that lost characters outside the payment character set
  int manuelleKorrekturen = 0;      // input boxes shown
  int nichtGespeichert = 0;         // payments not stored: faulty (with "Bei Fehlern nicht speichern") or failed
  int ohneAdresse = 0;              // items whose account has no address
  int dublettenAbgelehnt = 0;       // items refused at the duplicate question
  int postenNichtGespeichert = 0;   // items of payments not stored
  int fehlerhaftePosten = 0;        // items whose stored values are unsound (ImportVorgang::befund)
  int postenAbgelehnt = 0;          // further items of refused accounts (ambiguous address, a faulty item) or of
                                    // a damaged sibling file
  int inzwischenUebernommen = 0;    // items another workstation took over between the check and the write
  int mehrfachAusgewaehlt = 0;      // items handed to the run more than once (taken once)
  // Accounts none of whose payments was stored because one of them came out negative: paying the
  // invoices of one without the credit notes of the other would pay the wrong amount.
  QStringList minusKonten;
  // Database failures, each reported once with what was skipped.
  QStringList fehler;
  int weitereFehler = 0;            // failures beyond the ones kept in `fehler`

  void FehlerMelden(const QString& text);

  // The text of the result box (lines joined by CR, counts after a tab).
  QString Text(const QDate& heute) const;
  // The failures for an error box; empty when there were none.
  QString Fehlertext() const;
};
