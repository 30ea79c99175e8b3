#pragma once

#include <QDate>
#include <QString>

#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "sepafiles/core/SepaAuswahl.h"
#include "sepafiles/core/SepaAuswahlAnfrage.h"

// Selection and pre-check of the SEPA file window (ZahlungenSelektieren): the active sender's open
// orders of one kind within the limits are checked, the check result and the cleaned Name and
// Verwendungszweck1 are stored in one transaction, and the faultless orders are handed on by id.
class SepaSelektion {
 public:
  // Both passes in one call. Orders without remittance lines are selected and checked like the rest.
  static SepaAuswahl ZahlungenSelektieren(Datenbank& db, const SepaAuswahlAnfrage& anfrage);

  // The condition of the selection; with `nurFehlerfreie` the second pass (Fehler = 0). Every value
  // is a parameter; the remittance date goes through the registered function SepaVerwendungDatum.
  static Bedingung Auswahlbedingung(const SepaAuswahlAnfrage& anfrage, bool nurFehlerfreie);

  // The orders of `bedingung` joined with their lines, one row per line and one row for an order
  // without lines, every column, in the order of the files (Art, MandatSequenz, ZahlungNr, LfdNr).
  static Abfrage Zeilenabfrage(const Bedingung& bedingung);
  // The grid of the window: Zeilenabfrage of the selected orders with the grid's columns. Open it as a
  // snapshot on the database the selection ran on.
  static Abfrage GitterAbfrage(const SepaAuswahl& auswahl);

  // Registers SepaVerwendungDatum(text) on the connection (the selection does it itself).
  static DbFehler DatumsfunktionRegistrieren(Datenbank& db);

  // The date a remittance text ends in: "dd.mm.yyyy" or else "dd.mm.yy" (20yy) as its last
  // characters; nullopt when it ends in no date.
  static std::optional<QDate> VerwendungszweckDatum(const QString& verwendungszweck1);

  // The total the window shows of the faultless orders' amounts (credit transfers negative): exact, or
  // nullopt once it leaves the int64 (then nothing is offered for a file).
  static std::optional<Waehrung> Auswahlsumme(const QList<Waehrung>& betraege, SepaArt art);

  // The warning after the first pass found faulty orders (lines joined by CR); it offers their list.
  static QString Fehlerwarnung(int anzahl);
  // "Fehler bei der Datenermittlung!" with number, description and the statement.
  static QString Datenermittlungsfehler(const DbFehler& fehler, const QString& abfrage);
};
