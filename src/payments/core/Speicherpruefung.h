#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

#include "zahlungsverkehr/Auftragspruefung.h"
#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/Waehrung.h"

// The values of the payment form's entry fields, as the window reads them.
struct ZahlungEingabe {
  QString name;               // TDBMask1(0)
  QString mandatReferenz;     // TDBMask1(1)
  QString bank;               // TDBMask1(2)
  QString bic;                // TDBMask1(3)
  QString iban;               // TDBMask1(4), with or without the block blanks
  QString verwendungszweck1;  // TDBMask1(5)
  QString textschluessel;     // TDBCombo1(0)
  QString opKontoNr;          // OPKontoNr
  std::optional<QDate> faellig;      // TDBDate1(0); nullopt = empty
  std::optional<QDate> mandatDatum;  // TDBDate1(1)
  std::optional<Waehrung> betrag;    // TDBNumber1(0); nullopt = empty
  int sequenzIndex = -1;             // SSDBOptSet2: 0..3, -1 none
  bool operator==(const ZahlungEingabe&) const = default;
};

// The field that gets the focus after a failed check.
enum class Fokusfeld {
  Name,              // TDBMask1(0)
  MandatReferenz,    // TDBMask1(1)
  Bank,              // TDBMask1(2)
  Bic,               // TDBMask1(3)
  Iban,              // TDBMask1(4)
  Verwendungszweck,  // TDBMask1(5)
  Betrag,            // TDBNumber1(0)
  Zeilengitter,      // TDBGrid2
  Sequenz,           // SSDBOptSet2
  MandatDatum,       // TDBDate1(1)
  Textschluessel     // TDBCombo1(0)
};

// A failed check: the message M, the field to correct and the rule behind it.
struct PruefFehler {
  QString meldung;
  Fokusfeld feld = Fokusfeld::Name;
  Befundart art = Befundart::NameLeer;
  // What the message box shows: M, CR CR, "Bitte korrigieren/ergänzen Sie die Eingabe.".
  QString Meldungstext() const;
};
// Title of the form's message boxes: "Tamo-SEPA Zahlungen erfassen".
QString ZahlungsformularTitel();

struct PruefKontext {
  Zahlart zahlart = Zahlart::Ueberweisung;
  bool zeilengitterSichtbar = false;  // display mode 1 or 2
  QList<Auftragszeile> zeilen;        // the payment's stored lines in line order
  QDate heute;
  Mandatverlaeufe verlauf;            // the mandate's last done collection, where read (MandatverlaufLesen)
};

// The order as the save would store it, its texts as typed (the rules judge what the cleaning makes of
// them): IBAN and BIC as typed, in the grid display the stored lines with their text and total, in the
// single-field display line 1 from the field (with more than one stored line only its text changes and
// the amount is their total).
Zahlungsauftrag AuftragAusEingabe(const ZahlungEingabe& eingabe, const PruefKontext& kontext);

// The save checks: the shared order check (Auftragspruefung) on the order the save would store, of
// which the first finding fails, with the focus on its field. The cleaning of name, bank and line
// text is written back into `eingabe` whatever the result (name and line text only when they still say
// the same, Auftragspruefung::TexteBereinigen), as are the line text and the amount the stored lines give.
std::optional<PruefFehler> ZahlungPruefen(ZahlungEingabe& eingabe, const PruefKontext& kontext);

// The amount field's colour: an amount the save would accept.
bool BetragGueltig(const std::optional<Waehrung>& betrag);

// Which fields the window colours as invalid while entering (OptischeFehlerKontrolle): those the
// save would refuse, by the same rules.
struct FeldGueltigkeit {
  bool name = true, mandatReferenz = true, bic = true, iban = true, verwendungszweck = true, betrag = true,
       mandatDatum = true;
};
FeldGueltigkeit FelderPruefen(const ZahlungEingabe& eingabe, bool lastschrift, const QDate& heute);
