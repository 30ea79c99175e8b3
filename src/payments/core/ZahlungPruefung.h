#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

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
};

// The field that gets the focus after a failed check (codes of the old handler in comments).
enum class Fokusfeld {
  Name,              // 0  TDBMask1(0)
  MandatReferenz,    // 1  TDBMask1(1)
  Bic,               // 3  TDBMask1(3)
  Iban,              // 4  TDBMask1(4)
  Verwendungszweck,  // 5  TDBMask1(5)
  Betrag,            // -2 TDBNumber1(0)
  Zeilengitter,      // -3 TDBGrid2
  Sequenz,           // -4 SSDBOptSet2
  MandatDatum        // -5 TDBDate1(1)
};
int Fokuscode(Fokusfeld feld);

// A failed check: the message M and the field to correct.
struct PruefFehler {
  QString meldung;
  Fokusfeld feld = Fokusfeld::Name;
  // What the message box shows: M, CR CR, "Bitte korrigieren/ergänzen Sie die Eingabe.".
  QString Meldungstext() const;
};
// Title of the form's message boxes: "Tamo-SEPA Zahlungen erfassen".
QString ZahlungsformularTitel();

// The stored lines of the payment, read before the checks.
struct ZeilenStand {
  int anzahl = 0;               // lines in the database
  QString ersteZeileText;       // text of the first line by ZeilenNr
  Waehrung summe;               // sum of ZahlungsBetrag (Null as 0)
};

struct PruefKontext {
  Zahlart zahlart = Zahlart::Ueberweisung;
  bool zeilengitterSichtbar = false;  // display mode 1 or 2
  ZeilenStand zeilen;
  QDate heute;
  // IBAN check; the default is IbanLaengePruefen of the shared module.
  std::function<bool(const QString& iban, QString& meldung)> ibanPruefen;
};

// Runs the save checks in their order (name, bank, BIC, IBAN, lines, line text, amount, mandate
// data) and returns the first failure. The cleaning of name, bank and line text is written back
// into `eingabe` whatever the result. In the grid display the line text and the amount come from
// the stored lines; in the single-field display with more than one stored line the amount is their
// total (the field is read-only then).
std::optional<PruefFehler> ZahlungPruefen(ZahlungEingabe& eingabe, const PruefKontext& kontext);

// The rules the checks and the field colours share.
bool NameGueltig(const QString& text);   // non-empty after the payment character filter
bool BicGueltig(const QString& bic, const QString& iban, const QDate& heute);
bool BetragGueltig(const std::optional<Waehrung>& betrag);

// IBAN as stored: without blanks, upper-case.
QString IbanNormalisieren(const QString& iban);
// BIC as stored: without blanks, upper-case.
QString BicNormalisieren(const QString& bic);

// Which fields the window colours as invalid while entering (OptischeFehlerKontrolle).
struct FeldGueltigkeit {
  bool name = true, mandatReferenz = true, bic = true, iban = true, verwendungszweck = true, betrag = true,
       mandatDatum = true;
};
FeldGueltigkeit FelderPruefen(const ZahlungEingabe& eingabe, bool lastschrift, const QDate& heute,
                              const std::function<bool(const QString& iban, QString& meldung)>& ibanPruefen = {});
