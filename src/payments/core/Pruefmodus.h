#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include "platform/db/Datenbank.h"
#include "platform/db/SqlText.h"

// What the check of the payment form ("Prüfen") found over the listed payments. Every counter
// covers only payments whose result was stored; a payment whose store failed counts in
// nichtGespeichert alone.
struct PruefmodusErgebnis {
  int geprueft = 0;          // "Geprüfte Zahlungen:"
  int fehlerhaft = 0;        // "Fehlerhafte Zahlungen:": payments with at least one finding
  int einzelangaben = 0;     // "Fehlerhafte Einzelangaben:": findings other than BIC findings
  int falscheBic = 0;        // "Zahlung mit falscher BIC:": payments with a BIC finding, at most one each
  int korrekturen = 0;       // "Automatische Korrekturen:": Name and Verwendungszweck1 changed by the cleaning
  int nichtGespeichert = 0;  // payments whose result could not be stored (or that changed meanwhile)
  DbFehler speicherFehler;   // the first failure of a store
  DbFehler lesefehler;       // the list could not be read: nothing was checked or stored
  QHash<qint64, QStringList> gruende;  // the German reasons of every faulty payment stored
};

// The check over the payments of the list (the payment form's condition on Zahlungen): every order
// is judged by the one rule set of payment orders (Auftragspruefung, as a run of its kind) and cleaned
// where its texts still say the same (Name and Verwendungszweck1 transliterated into the payment character
// set; line 1 of an order whose Verwendungszweck1 the cleaning changed as well). With `blzAbgleich` ("PrüfenMitBLZAbgleich") every BIC
// the rules accept is also looked up in Bankverbindung, regardless of case and with "XXX" as the
// branch of none. Fehler, Name, Verwendungszweck1 and line 1 are stored where they change, in
// transactions of `stapel` payments; a payment changed elsewhere since it was read is left as it is
// and counts as not stored.
PruefmodusErgebnis ZahlungenPruefen(Datenbank& db, const Bedingung& liste, bool blzAbgleich, const QDate& heute,
                                    int stapel = 1000);

namespace Pruefmodus {

// "Es wurden keine fehlerhafte Zahlungen festgestellt!" CR "Der Prüfmodus wird daher wieder ausgeschaltet."
QString KeineFehlerText();
// The result box: the counters after a tab, CR between lines; the BIC line with `blzAbgleich` or when a
// BIC finding was counted; a note on payments not stored.
QString ErgebnisText(const PruefmodusErgebnis& e, bool blzAbgleich);
// The note when results could not be stored although nothing was found faulty.
QString SpeicherfehlerText(const PruefmodusErgebnis& e);
// The status line of a faulty payment in the list: its reasons on one line.
QString GrundText(const QStringList& gruende);

}  // namespace Pruefmodus
