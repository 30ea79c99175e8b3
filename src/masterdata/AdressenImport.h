#pragma once

#include <QString>

#include <functional>

class FormAdressen;
class QWidget;
class Recordset;
class StatusLeiste;

// "Import" of the address window: takes the addresses over from the earlier program Tamo-Varix, converts
// BLZ and KontoNr of every address of the window's view to IBAN and BIC, empties the bank-code table and
// reloads the view. Messages go through Meldung; status texts and progress into the window's status bar.
class AdressenImport {
 public:
  // Asks for the Tamo-Varix file (empty = cancelled); the file dialog unless a test sets another.
  using DateiAuswahl = std::function<QString(QWidget* eltern, const QString& vorgabe)>;
  static void DateiAuswahlSetzen(DateiAuswahl auswahl);

  // The whole import. `status` may be null; `neuLaden` requeries the view with its filter and sort
  // (without one the recordset is requeried as it is). Returns true when the conversion ran through.
  static bool Ausfuehren(QWidget* fenster, Recordset& adressen, StatusLeiste* status,
                         const std::function<bool()>& neuLaden = {});
  // The same for the address window.
  static bool Ausfuehren(FormAdressen& fenster);
  // The IBAN conversion alone over the rows of the view, with its closing summary; `vorher` is added to
  // a failure's message (what an earlier step already stored).
  static bool Konvertieren(QWidget* fenster, Recordset& adressen, StatusLeiste* status,
                           const std::function<bool()>& neuLaden, const QString& vorher);
  // "IBAN ermitteln" of the address window: asks, then converts the rows the window shows.
  static bool Konvertieren(FormAdressen& fenster);

  // Makes the address window offer "Import" (once at start-up).
  static void Anmelden();

  // True while an import runs: it cannot be started twice.
  static bool Laeuft();
};

// Short form for the window: the whole import over its recordset.
inline bool AdressenImportAusfuehren(QWidget* fenster, Recordset& adressen, StatusLeiste* status = nullptr,
                                     const std::function<bool()>& neuLaden = {}) {
  return AdressenImport::Ausfuehren(fenster, adressen, status, neuLaden);
}
