#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"

// The orders the selective window works on: by criteria, or every order of the sender.
struct SelektivKriterien {
  int absenderNr = 0;
  bool alleZahlungen = false;          // "&Alle Zahlungen": the criteria below do not apply
  bool nurErledigte = true;            // done orders only, within the done-date range
  std::optional<QDate> erledigtVon;    // ErledigtDatum from, inclusive; nullopt = no lower bound
  std::optional<QDate> erledigtBis;    // ErledigtDatum up to, inclusive; nullopt = no upper bound
  bool nurExportierte = false;         // taken over by the accounting program (BuchImport)
  int zahlartIndex = 0;                // 0 all kinds, 1 credit transfers, 2 core, 3 B2B direct debits

  bool operator==(const SelektivKriterien&) const = default;
};

enum class SelektivAktion { Loeschen = 0, Reaktivieren = 1 };

// A selected order and whether it was done when it was read.
struct SelektivAuftrag {
  qint64 zahlungNr = 0;
  bool erledigt = false;
  bool operator==(const SelektivAuftrag&) const = default;
};

// The orders an action is confirmed for, by ZahlungNr.
struct SelektivBestand {
  QList<SelektivAuftrag> auftraege;
  // Of the done ones: the first and the last done day, and the direct debits sent as one-off or final
  // collection (their mandate is used up once that collection was executed).
  std::optional<QDate> erledigtAb;
  std::optional<QDate> erledigtBis;
  int einmalOderLetzte = 0;

  int Anzahl() const { return int(auftraege.size()); }
  int Erledigte() const;
  int Offene() const { return Anzahl() - Erledigte(); }
};

// Selection and bulk action of FormularSelektiv, without widgets.
class Selektivbearbeitung {
 public:
  static Bedingung Auswahlbedingung(const SelektivKriterien& kriterien);
  // The orders of the grid, by ZahlungNr.
  static Abfrage Auswahl(const SelektivKriterien& kriterien);
  static DbFehler BestandLesen(Datenbank& db, const SelektivKriterien& kriterien, SelektivBestand& bestand);

  // The question before the action (lines joined by CR): the action's name, how many orders, how
  // many of them open and done; before a reactivation of done orders also that they went to the bank
  // already (done when, one-off and final collections) and will go again with the next SEPA file.
  static QString Bestaetigung(const QString& aktionsname, const SelektivBestand& bestand,
                              SelektivAktion aktion = SelektivAktion::Loeschen);

  // Why no order may be deleted or reactivated now, empty when nothing stands in the way: a SEPA run under
  // way on another workstation, or one interrupted whose orders are marked done while its files wait for
  // the next opening (a reactivated order would go to the bank in that file and in a new one).
  static QString LaufHindernis(Datenbank& db, DbFehler& fehler);
  // The number of the refusal for a pending run (the old engine's "locked by another user").
  static constexpr int LaufOffenNr = 3260;

  // Deletes the orders with their lines, or takes back their done state (Erledigt, ErledigtDatum,
  // Buchungsdatum), in one transaction: all or nothing. An order that no longer matches the
  // criteria or its done state as read (changed meanwhile, or gone) stops the action, and so does a
  // pending SEPA run (LaufOffenNr with LaufHindernis's text), checked in the same transaction.
  static DbFehler Ausfuehren(Datenbank& db, const SelektivKriterien& kriterien, SelektivAktion aktion,
                             const SelektivBestand& bestand);
};
