#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "platform/db/Datenbank.h"
#include "sepafiles/core/SepaAuftraege.h"

// One pass over the open orders of a condition with their lines, for the selection's pre-check and for a
// run over orders handed in by number: the orders in ZahlungNr order from one query, each with its lines
// merged from a second query in the same order (within an order in LfdNr order), every value read typed.
class SepaAuftragsleser {
 public:
  struct Gelesen {
    Zahlungsauftrag auftrag;     // as the rules see it, the lines with their texts and amounts
    SepaAuftraege::Roh roh;      // the same as stored, texts as UTF-8; valid during the call only
    QByteArrayView art;
    bool textNull = false;       // Name or Verwendungszweck1 is Null
    bool fehler = false;         // Zahlungen.Fehler as stored
    quint64 zeilenAbdruck = 0;   // the lines' part of the fingerprint
  };

  // Calls `bearbeiten` for every order of `bedingung` (on Zahlungen) in ZahlungNr order, on a thread of its
  // own beside the reading (one order after the other; it must not use the database). Returns when all are
  // done.
  static DbFehler Lesen(Datenbank& db, const Bedingung& bedingung, const std::function<void(Gelesen&)>& bearbeiten);

  // The statements of a pass (the test pins their plans).
  static SqlText AuftragsSql(const Bedingung& bedingung);
  static SqlText ZeilenSql(const Bedingung& bedingung);

  // The fingerprint of an order as stored: equal for two readings exactly when every value of the order
  // and its lines is (up to a 64-bit hash). Of `roh.name` and `roh.verwendungszweck1` as they stand in
  // `gelesen` (the selection puts in what it stores back).
  static quint64 Fingerabdruck(const Gelesen& gelesen);
};
