#pragma once

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "common/AdressQuellenInfo.h"
#include "import/core/ImportEinstellungen.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"

// What the import window's options ask of the selection.
struct ImportAuswahl {
  bool lieferanten = false;          // "&Lieferanten mit Textschlüssel:" (customers otherwise)
  bool mitMinus = false;             // OPSelektionMitMinus: every rest but 0, otherwise positive rests
  bool kleinBetrag = false;          // "Kleinbe&träge auslassen": rests under 1 EUR left out
  bool ohneDiverse = false;          // "&Ohne Diverse-Konten"
  bool nurMitKontoNr = false;        // "Nur mit Bank-Konto-Nr": account number or IBAN present
  bool ohneNegativSummen = false;    // accounts whose items total below 0 hidden
  bool ohneMehrAls5 = false;         // accounts with more than five items hidden
  QString vonKonto;                  // "&Von Konto-Nr"; empty = no bound
  QString bisKonto;                  // "&Bis Konto-Nr"
  std::optional<QDate> vonFaellig;   // "Von &Fällig"
  std::optional<QDate> bisFaellig;   // "Bis Fällig" (the whole day included)
  Bedingung filter;                  // the grid's filter bar (FilterBedingung)

  // The options of the window's settings; ranges and filter are the caller's.
  static ImportAuswahl AusEinstellungen(const ImportEinstellungen& e, bool lieferanten, bool mitMinus);
};

struct ImportSelektionsErgebnis {
  std::unique_ptr<Recordset> daten;  // the listed items (snapshot), accounts of the exclusion pass left out
  QStringList ausgeschlossen;        // accounts hidden by the exclusion pass
  DbFehler fehler;                   // the query failed: no recordset
  QString abfrage;                   // the statement, for the message
};

// The selection of the open items of the linked sibling program (VorgaengeSelektieren): a query built
// from the address source and the options, every value a parameter, ordered by account and latest
// due date; then the exclusion pass over the rows read, in memory.
class ImportSelektion {
 public:
  static Abfrage AbfrageErstellen(const AdressQuellenInfo& quelle, const ImportAuswahl& auswahl);
  static ImportSelektionsErgebnis Selektieren(Datenbank& db, const AdressQuellenInfo& quelle,
                                              const ImportAuswahl& auswahl);
  // Accounts of the rows (ordered by account) that the exclusion pass hides: more than five items
  // (with `ohneMehrAls5`), or a total of the items' line amounts (the rest signed by the item kind)
  // below 0 (with `ohneNegativSummen`).
  static QStringList Ausschluss(const Recordset& daten, bool ohneNegativSummen, bool ohneMehrAls5);

  // The filter bar's condition: (result column, typed text) pairs; a column that is no table field
  // of the source (Art, the order program's amounts) adds nothing.
  static Bedingung FilterBedingung(const AdressQuellenInfo& quelle, const QList<QPair<QString, QString>>& filter);

  // The fields of the address table `Adressen` in their order: the date fields and all fields (the
  // two data-field lists of the mandate options).
  static DbFehler Datenfelder(Datenbank& db, QStringList& datumsfelder, QStringList& alleFelder);
};
