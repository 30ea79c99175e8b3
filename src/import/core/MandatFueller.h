#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/DbFehler.h"

// The frame "Optionen für Lastschrift-Mandate" of the import window.
struct MandatOptionen {
  bool erstAufFolge = false;        // "Erst-Einzug auf Folge-Einzug ändern"
  bool datumBelegen = false;        // "Fehlendes Mandat-Datum belegen mit"
  bool referenzBelegen = false;     // "Fehlende Mandat-Referenz belegen mit"
  QString datenfeldDatum;           // address field for a missing date; empty = the fixed date
  QString datenfeldReferenz;        // address field for a missing reference; empty = none
  std::optional<QDate> fixdatum;    // the fixed date
  QString fixtext;                  // the fixed text appended to the reference
};

// The mandate data of an imported direct debit.
struct MandatDaten {
  QString referenz;
  std::optional<QDate> datum;
  int sequenz = 0;
  // Set when the address's first collection is to become a recurring one once the payment is kept:
  // the text for the address's sequence field.
  QString folgeSequenzText;
};

// The payee's address as the filler reads it: a field by name, Null (or a missing field) as an
// invalid QVariant.
using Adressfeld = std::function<QVariant(const QString& feld)>;
// MandatSequenzVorhanden of the active sender: (account, reference, automatic code) -> whether an
// earlier first collection exists; a failed look-up returns nullopt with the error.
using SequenzSuche = std::function<std::optional<bool>(const QString& konto, const QString& referenz, int code, DbFehler& fehler)>;

// Fills the mandate data from the address's reference, date and sequence text (the transport values
// 5 to 7), by the options: a missing reference from the data field and the fixed text, a missing
// date from the fixed date or the data field; the automatic codes 5 and 15 resolved to first (2, 12)
// or recurring (3, 13) by the earlier payments; no code (0) from the payment form's kind of direct
// debit (1 core, 11 business). Values are taken as they are: whether they are valid is the
// payment's check. A failed look-up of earlier payments is returned in `fehler`.
MandatDaten MandatDatenFuellen(const QVariant& referenz, const QVariant& datum, const QVariant& sequenzText,
                               const Adressfeld& adresse, const MandatOptionen& optionen, Zahlart formularZahlart,
                               const QString& konto, const SequenzSuche& suche, DbFehler& fehler);
