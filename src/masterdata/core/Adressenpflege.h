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

  bool operator==(const Adressdaten&) const = default;
};

// One row of the bank-code table `Bankverbindung`.
struct Bankdaten {
  QString blz;
  QString bic;
  QString bank;

  bool operator==(const Bankdaten&) const = default;
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
  // The list's text for a stored sequence: the same text in any case, or the text of the code it consists of
  // ("3"); otherwise the stored text trimmed, for the check to name rather than to lose.
  static QString MandatSequenzListentext(const QString& gespeichert);

  static Adressdaten Normalisieren(const Adressdaten& d);
  static std::optional<Fehler> Pruefen(const Adressdaten& d);
  static Bankdaten Normalisieren(const Bankdaten& d);
  static std::optional<Fehler> Pruefen(const Bankdaten& d);

  // Inserts the address (`alteNr` empty) or updates the row with key `alteNr`; a taken address number
  // is refused with a German message. With `geladen` (the address as read when the editing began) a stored
  // address that no longer matches it is left alone and refused with `GeaendertNr`: another workstation's
  // change (a new IBAN or mandate) is not reset by a stale form. Check and write run in one transaction.
  static DbFehler Speichern(Datenbank& db, const Adressdaten& d, const QString& alteNr,
                            const QString& tabelle = QStringLiteral("Adressen"), const Adressdaten* geladen = nullptr);
  static constexpr int GeaendertNr = DbFehlerNr::KeineTreffer;
  static DbFehler Loeschen(Datenbank& db, const QString& opKontoNr, const QString& tabelle = QStringLiteral("Adressen"));

  // An order carries the number, IBAN and mandate it was entered with; a change of the address does not reach
  // it. The open orders (any sender) of the address number, and the hint after a change from `alt` to `neu`
  // naming the open orders that keep a changed number, IBAN or mandate (empty when there are none).
  static int OffeneZahlungen(Datenbank& db, const QString& opKontoNr, DbFehler& fehler);
  static QString OffeneZahlungenHinweis(Datenbank& db, const Adressdaten& alt, const Adressdaten& neu, DbFehler& fehler);
  static std::optional<Adressdaten> Laden(Datenbank& db, const QString& opKontoNr, DbFehler& fehler,
                                          const QString& tabelle = QStringLiteral("Adressen"));

  // Bank codes have no key of their own: rows are addressed by their rowid. A rowid is handed out again once
  // its row is gone; with `geladen` (the row as shown) a row that no longer holds it is left alone and refused.
  static DbFehler Speichern(Datenbank& db, const Bankdaten& d, std::optional<qint64> zeile,
                            const Bankdaten* geladen = nullptr);
  static DbFehler BankLoeschen(Datenbank& db, qint64 zeile, const Bankdaten* geladen = nullptr);
};
