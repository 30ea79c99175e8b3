#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/db/Waehrung.h"

// One SEPA file made by SepaDokument: name (without folder), the bytes to write and what the run
// needs to mark the orders it carries.
struct SepaDatei {
  QString Dateiname;               // e.g. "SEPAGK.XML", "Filiale_SEPALKBasisEinmal.XML"
  QByteArray Inhalt;               // UTF-8 without BOM, one line
  QString NachrichtenId;           // MsgId of the file
  QList<qint64> ZahlungNummern;    // the orders in the file, in file order
  QStringList EndToEndIds;         // the end-to-end id written for each of them (generated ones included)
  int Anzahl = 0;                  // NbOfTxs of the group header
  Waehrung Kontrollsumme;          // CtrlSum of the group header
  QDate Buchungsdatum;             // execution or collection date (Zahlungen.Buchungsdatum)
};
