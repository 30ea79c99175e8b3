#pragma once

#include <QString>

#include <vector>

#include "common/AdressQuellenInfo.h"
#include "import/core/ImportEinstellungen.h"
#include "import/core/ImportErgebnis.h"
#include "import/core/ImportVorgang.h"
#include "import/core/MandatFueller.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/Datenbank.h"

// The questions of an import run; the window answers them with its message and input boxes.
class ImportFrager {
 public:
  virtual ~ImportFrager() = default;
  // The duplicate question (title "Zahlungsimport", Yes and No, No the default): true takes the
  // item over all the same.
  virtual bool DubletteUebernehmen(const QString& text) = 0;
  // The input box for a faulty mandatory field: the typed text; empty when the user gave none.
  virtual QString PflichtfeldAbfragen(const QString& aufforderung) = 0;
};

// The options of a run, as the window's controls give them.
struct ImportLaufOptionen {
  AdressQuellenInfo quelle;                 // AdressQuelle: transport fields, account and discount fields
  int absenderNr = 1;                       // the active sender
  bool lieferanten = false;                 // suppliers: credit transfers; customers: direct debits
  Zahlart formularZahlart = Zahlart::Ueberweisung;  // the payment form's kind (a debit without sequence)
  QString textschluessel;                   // purpose code of the chosen kind; empty = none
  QString vorlage;                          // "AutoVerwendungszweck": three templates split at "\"
  bool datumKurzFormat = true;              // AutoVerwRgDatumKurzFormat: "dd.MM.yy" in the line texts
  bool pruefung = true;                     // duplicate check
  bool fehlEingaben = false;                // ask for faulty name, IBAN, BIC
  bool fehlerNichtSpeichern = false;        // a faulty payment is not stored
  bool faelligEintragen = false;            // the due date of a payment's first item
  bool maximalSkonto = true;                // the payee's discount rate
  bool skontoNurPositiv = true;
  bool lieferantenKundenNr = true;          // the line "Unsere KundenNr ..."
  MandatOptionen mandat;

  // The options the window's settings give, for suppliers or customers; the source, the sender, the
  // payment form's kind and the date format are the caller's.
  static ImportLaufOptionen AusEinstellungen(const ImportEinstellungen& e, bool lieferanten);
};

// The import run (Daten übernehmen): the items, in their order, become payments of the active
// sender, one per run of items of the same account with at most five item lines each; an item handed
// over twice becomes one line. Nothing is read from a sibling file that fails SQLite's quick check.
// An account is refused as a whole when one of its items carries a finding (ImportVorgang::befund, a
// text too long for its field, an account kind other than the run's: K customers, L suppliers), when
// its key names more than one address (two rows, or spellings that differ only in case), when the address's discount rate is no percentage, or when one of its
// payments would leave the amount range or come out negative. For each account its items pass the
// duplicate question first (the payments of every sender linked to the same sibling file as the
// active sender count), then its payments are built. Every question and input box of a payment
// comes before the payment's transaction; the payment (row, lines, customer-number line) is written in
// one write transaction that repeats the duplicate check, so that an item another workstation took
// over meanwhile is left out and named; texts longer than their fields are never stored. The
// address's switch from first to recurring collection follows in its own transaction once the payment
// is stored. Nothing is asked or shown here beyond the questions of `frager`; failures and findings
// are collected in the result, in German.
ImportErgebnis ImportAusfuehren(Datenbank& db, const std::vector<ImportVorgang>& vorgaenge,
                                const ImportLaufOptionen& optionen, ImportFrager& frager);

// The input box's prompt for a faulty mandatory field.
QString PflichtfeldAufforderung(const QString& feld, const QString& konto, const QString& suchname);
// The duplicate question; `bezahltAm` is the found payment's completion date, if any. `absender` names
// the senders of the found payments when one of them is not the active sender (linked to the same
// sibling file); empty, the question speaks of the active sender's own payments.
QString DublettenFrage(const QString& vorgangsNr, const std::optional<QDate>& bezahltAm, const QString& konto,
                       const QList<int>& absender = {});
