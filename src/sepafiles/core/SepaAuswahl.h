#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "zahlungsverkehr/Auftragspruefung.h"
#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"
#include "platform/db/SqlText.h"
#include "platform/db/Waehrung.h"
#include "sepafiles/core/SepaAuftraege.h"
#include "sepafiles/core/SepaOptionen.h"

// A faulty order the pre-check leaves out, with what the list of left-out orders shows of it.
struct SepaAuftragsbefund {
  qint64 ZahlungNr = 0;
  QString Name;
  QString IBAN;
  Waehrung Betrag;
  std::optional<QDate> Faellig;
  QList<Befund> Befunde;   // every reason, in the order of the checks
  QStringList Gruende() const {
    QStringList texte;
    for (const Befund& b : Befunde) texte << b.Text;
    return texte;
  }
};

// What the pre-check hands to the run with the numbers: the faultless orders as the files carry them, and
// what they were judged under. The run writes them unless the database changed since (Version).
struct SepaGepruefteAuftraege {
  SepaAuftraege Auftraege;    // ordered as ZahlungNummern
  int AbsenderNr = 0;
  SepaArt Art = SepaArt::Ueberweisung;
  QDate Heute;                // the day the rules judged them on
  Datenversion Version;       // of the database once the check results were stored
  Mandatverlaeufe Verlauf;    // the earlier collections of their mandates the rules judged them by
};

// Result of the selection and its pre-check.
struct SepaAuswahl {
  DbFehler Fehler;                 // a failed query or a failed storing of the check results
  QString Meldung;                 // message for Fehler ("Fehler bei der Datenermittlung!" ...)
  int Geprueft = 0;                // orders checked in the first pass
  int Fehlerhaft = 0;              // faulty orders among them
  QList<SepaAuftragsbefund> Befunde;
  QList<qint64> ZahlungNummern;    // the faultless orders the file would carry, ordered by Art, MandatSequenz, ZahlungNr
  std::shared_ptr<const SepaGepruefteAuftraege> Auftraege;  // the same orders, read once, for the run
  Waehrung Summe;                  // signed total the file would carry, for the grid footer (credit transfers
                                   // subtracted; an order without lines with its ZahlungGesamt: AuftragsSumme)
  Bedingung Auswahlbedingung;      // second-pass condition (the grid's rows); qualified column names
  QString Statustext;              // "Keine Zahlungen festgestellt" or "<n|Keine> fehlerhafte Zahlung(en) festgestellt"

  bool Ok() const { return Fehler.Ok(); }
  bool HatZahlungen() const { return !ZahlungNummern.isEmpty(); }
};
