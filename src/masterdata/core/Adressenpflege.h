#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/DbFehler.h"

// One address of the internal table `Adressen`.
struct Adressdaten {
  QString opKontoNr;
  QString suchname;
  QString name;
  QString bank;
  QString bic;
  QString iban;
  QString blz;
  QString kontoNr;
  QString mandatReferenz;
  std::optional<QDate> mandatDatum;
  QString mandatSequenz;   // one of MandatSequenzTexte(), or empty
};

// One row of the bank-code table `Bankverbindung`.
struct Bankdaten {
  QString blz;
  QString bic;
  QString bank;
};

// Checks, storing and deleting of addresses and bank codes (UI-free). Input faults name the field
// and end with "Bitte korrigieren/ergänzen Sie die Eingabe.".
class Adressenpflege {
 public:
  struct Fehler {
    QString feld;      // field name as in the table
    QString meldung;
  };

  // How much the account number field takes: room for blanks and leading zeros around the at most
  // ten digits an account number has.
  static constexpr int KontoNrEingabeLaenge = 30;

  // The eleven mandate sequence texts of `Adressen.MandatSequenz`.
  static const QStringList& MandatSequenzTexte();

  static Adressdaten Normalisieren(const Adressdaten& d);
  static std::optional<Fehler> Pruefen(const Adressdaten& d);
  static Bankdaten Normalisieren(const Bankdaten& d);
  static std::optional<Fehler> Pruefen(const Bankdaten& d);

  // Inserts the address (`alteNr` empty) or updates the row with key `alteNr`; a taken address number
  // is refused with a German message.
  static DbFehler Speichern(Datenbank& db, const Adressdaten& d, const QString& alteNr, const QString& tabelle = QStringLiteral("Adressen"));
  static DbFehler Loeschen(Datenbank& db, const QString& opKontoNr, const QString& tabelle = QStringLiteral("Adressen"));
  static std::optional<Adressdaten> Laden(Datenbank& db, const QString& opKontoNr, DbFehler& fehler,
                                          const QString& tabelle = QStringLiteral("Adressen"));

  // Bank codes have no key of their own: rows are addressed by their rowid.
  static DbFehler Speichern(Datenbank& db, const Bankdaten& d, std::optional<qint64> zeile);
  static DbFehler BankLoeschen(Datenbank& db, qint64 zeile);
};
