#pragma once

#include <QString>

#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"
#include "sepafiles/core/SepaFormat.h"
#include "sepafiles/core/SepaKalender.h"

// Settings of the SEPA file window, kept in table Einstellungen. Loaded when the window opens and
// stored when it closes; the driver sepa-lauf reads them the same way.
struct SepaEinstellungen {
  // Keys exactly as stored.
  static inline const QString SchluesselKopien = QStringLiteral("SEPADruckKopien:");
  static inline const QString SchluesselFaelligkeitstage = QStringLiteral("SEPAFälligkeitstage") + QLatin1Char('2') + QLatin1Char(':');
  static inline const QString SchluesselZahlungsart = QStringLiteral("SEPAAktZahlungsart");
  static inline const QString SchluesselSammelbuchung = QStringLiteral("SEPASammelbuchung");
  static inline const QString SchluesselAutoEinzelReferenz = QStringLiteral("SEPAAutoEinzelReferenz");
  static inline const QString SchluesselAufteilen = QStringLiteral("SEPALastschriftenAufteilenMandatArt");
  static inline const QString SchluesselZiel = QStringLiteral("DTADateiZiel");
  static inline const QString SchluesselDateiformat = QStringLiteral("SEPADateiformat");

  // The ranges the window's fields take; a stored value outside them is read as the default.
  static constexpr int HoechsteKopien = 99;
  static constexpr int HoechsteFaelligkeitstage = SepaKalender::HoechsteVorlauftage;

  int Kopien = 0;                    // copies of the control list, 0-99
  int Faelligkeitstage = 2;          // lead days of direct debits, 0-14
  int Zahlungsart = 0;               // 0 credit transfer, 1 core, 2 B2B direct debit
  bool Sammelbuchung = true;
  bool AutoEinzelReferenz = false;
  bool LastschriftenAufteilen = true;
  QString Zielordner;                // the folder shown, ending in the separator
  SepaFormat Dateiformat = SepaFormate::Vorgabe;  // "Dateiformat"; stored as its pain.001 version
  QString Statustext;                // notes on stored values not taken (a missing folder, a number out of range)

  // A stored number that is no whole number (EinstellungZahl) or lies outside its range (lead days 0-14, copies
  // 0-99, kind 0-2) is read as its default and says so in Statustext; a box is set only by the value 1; a stored
  // folder that does not exist falls back to `datenVerzeichnis` and says so too; an empty one means the data
  // folder. A missing or unknown file format is the current one (installations that ran the
  // older one switch too).
  static SepaEinstellungen Laden(Datenbank& db, const QString& datenVerzeichnis);
  // Writes all eight keys in one transaction.
  DbFehler Speichern(Datenbank& db) const;

  // The message for lead days outside 0-14 (the field's refusal, the run's check); empty when they are in range.
  static QString FaelligkeitstageMeldung(int tage);
};
