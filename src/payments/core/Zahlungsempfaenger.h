#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <optional>

#include "zahlungsverkehr/MandatSequenz.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/Datenbank.h"

// The number at the start of a text, as the old run time's Val read it ("2-Mehrfach..." -> 2,
// leading blanks skipped, no digits -> 0).
int FuehrendeZahl(const QString& text);

// The text an automatically created address gets for the payment's sequence code: a first
// collection (2, 12) becomes the follow-up (3, 13), every other code its own full text; a code
// without text gives "0-Ohne".
QString AdressSequenzText(int zahlungsCode);

// MandatSequenzVorhanden: (address number, mandate reference, automatic code 5 or 15) -> whether a
// first collection of that mandate exists. A failed query fills `fehler`.
using SequenzVorhanden =
    std::function<bool(const QString& opKontoNr, const QString& mandatReferenz, int code, DbFehler& fehler)>;

struct SequenzAufloesung {
  std::optional<int> index;  // option of SSDBOptSet2 to select; nullopt = leave it unchanged
  DbFehler fehler;           // the lookup of an automatic sequence failed
  // "Fehler bei der Datenermittlung!" CR CR "Nr: ..." CR "Beschreibung: ..."; empty without failure.
  QString Meldungstext() const;
};

// The mandate sequence rule for an address's sequence text: 1..4 with core debits shown -> v-1,
// 11..14 with B2B -> v-11, 5 / 15 (automatic) -> recurring (2) when a first collection exists,
// else first (1); anything else, or a kind that does not match, leaves the option unchanged.
SequenzAufloesung MandatSequenzAufloesen(const QString& sequenzText, Zahlart zahlart, const QString& opKontoNr,
                                         const QString& mandatReferenz, const SequenzVorhanden& vorhanden);

// What the payee take-over puts into the form; nullopt = leave the field as it is (Null or empty
// source values never overwrite a field).
struct Empfaengeruebernahme {
  std::optional<QString> name, bank, bic, iban, mandatReferenz;
  std::optional<QDate> mandatDatum;
  std::optional<QString> sequenzText;  // resolve with MandatSequenzAufloesen
  std::optional<QString> opKontoNr;    // set the address number (and reload the open items)
  bool opKontoNrLeeren = false;        // search list: the address number is emptied first
  // A payee picked from the search list: the bank data and (direct debits) the mandate the address leaves empty
  // are emptied, so that nothing of the payee shown before stays beside the new one's IBAN. (From a completed
  // name, a field the address source defines but leaves empty comes as an empty text instead, and an undefined
  // one leaves the field as it is.)
  bool fehlendeLeeren = false;
  bool mandatDatumLeeren = false;      // the source defines the mandate date and leaves it empty
};

// From the address search list: values 1..8 (name, bank, BIC, IBAN, mandate reference, mandate
// date, sequence, address number; element 0 unused). Mandate data only for direct debits.
Empfaengeruebernahme UebernahmeAusSuchliste(const QVariantList& werte, Zahlart zahlart);
// From the record a completed name found: `transportfelder` 1..7 (element 0 unused) name the
// fields, `adressNrFeld` the address number (may be empty). The name itself is not taken.
Empfaengeruebernahme UebernahmeAusAdresse(const QVariantMap& datensatz, const QStringList& transportfelder,
                                          const QString& adressNrFeld, Zahlart zahlart);

// The next free address number: the greatest numeric number plus one as "00000", "00001" for a
// table without numeric numbers; a number that exists already is counted up.
DbFehler NeueAdressNr(Datenbank& db, const QString& tabelle, const QString& adressNrFeld, QString& nummer);

// AutoSpeichernBank: adds (BIC, Bank) to Bankverbindung when the BIC is not empty and not in the
// table yet. `angelegt` tells whether a row was added.
DbFehler BankAutomatischSpeichern(Datenbank& db, const QString& bic, const QString& bank, bool* angelegt = nullptr);

// AutoSpeichernAdressen: for a saved payment not linked to an address, an address with a new
// number and the payment's values of the transport fields; MandatSequenz as AdressSequenzText.
// `transportfelder` 1..7 as above. `nummer` receives the new address number.
DbFehler AdresseAutomatischAnlegen(Datenbank& db, qint64 zahlungNr, const QString& tabelle, const QString& adressNrFeld,
                                   const QStringList& transportfelder, QString& nummer);

// The address source's transport field list split at ";" into elements 1..7 (element 0 empty,
// missing ones empty, parts beyond the seventh dropped).
QStringList TransportfelderZerlegen(const QString& liste);
// The columns a name completion reads from the addresses: the transport fields and the address
// number field, each once.
QStringList AdressSpalten(const QStringList& transportfelder, const QString& adressNrFeld);
