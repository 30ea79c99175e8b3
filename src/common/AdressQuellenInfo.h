#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "platform/db/FeldTyp.h"
#include "platform/db/SqlText.h"

// A result column of the import's query that comes from a table field: the field as the query
// names it and its type (the import's filter bar searches it). Computed columns have none.
struct OPAbfrageFeld {
  QString spalte;   // result column ("VorgangsNr")
  QString feld;     // qualified field in the query ("OPVorgang.IdentNr")
  FeldTyp typ = FeldTyp::Text;
};

// Where the active sender's addresses and open items come from, filled each time the database is
// opened. Column names are plain names (pass them through SqlText::Bezeichner); select lists,
// sort orders and queries are program text.
struct AdressQuellenInfo {
  int Format = 0;              // Absender.AdressenFormat: 0 internal, 1 Tamo-Livra, 2 Tamo-Ordel
  bool Extern = false;         // `Adressen` is the linked external table (own table: `Adressen_Intern`)
  bool OPVerknuepft = false;   // the open items (`OPVorgang`) are linked

  QString AdressNrFeld;        // address-number field; empty when the source has none
  QString Transportfelder;     // source fields for Name;Bank;BIC;IBAN;MandatReferenz;MandatDatum;MandatSequenz

  // Open-item drop-down of the payment form.
  SqlText OPFeldliste;         // select list over OPVorgang; empty when no open items are linked
  QString OPNummerFeld;        // item-number column of the list
  QString OPFaelligFeld;       // due-date column
  QString OPArtFeld;           // account-kind column ("OPVorgang.OPKontoart"); empty when the source has none
  QString OPSchluesselFeld;    // account column of the open items

  // Open-item import.
  SqlText OPAbfrageSpalten;    // select list of OPAbfrage
  SqlText OPAbfrageQuelle;     // FROM part of OPAbfrage (OPVorgang joined with Adressen)
  SqlText OPAbfrage;           // "SELECT " + OPAbfrageSpalten + " FROM " + OPAbfrageQuelle
  SqlText OPSortierung;        // ORDER BY list: account ascending, due date descending
  QString ImportFaelligFeld;   // due-date column for the import's date range
  QString KontoNrFeld;         // qualified account-number field of the addresses
  QString IBANFeld;            // qualified IBAN field of the addresses
  QString OPKontoFeld;         // address field holding the account number
  QString SkontoFeld;          // stem of the two discount-rate fields (digits 1 and 2 appended)
  QList<OPAbfrageFeld> OPAbfrageFelder;  // the result columns of OPAbfrage that are table fields
  QList<QPair<QString, FeldTyp>> OPAusdrucksTypen;  // types of its computed columns (Art, signed amounts)

  // The values for an address format; formats other than 1 and 2 give the internal source.
  static AdressQuellenInfo FuerFormat(int format);
  static AdressQuellenInfo Intern() { return FuerFormat(0); }
};
