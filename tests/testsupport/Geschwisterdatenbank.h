#pragma once

#include <QChar>
#include <QDate>
#include <QString>

#include <optional>
#include <vector>

#include "platform/db/Datenbank.h"
#include "platform/db/Waehrung.h"

// Fixture databases of the two sibling programs, with the tables and columns the program links:
// the accounting program (address format 1: `OPVorgang` and `Personenkonten`) and the order program
// (address format 2: `Rechnungsbuch` and `Kunden`). Rows are added with Adresse and Posten, then
// written as a file (linked through a sender's AdressenVerbindung) or put into an open database
// under the name the program reads them by.
class Geschwisterdatenbank {
 public:
  enum class Programm { Buchhaltung = 1, Auftrag = 2 };  // the address format

  struct AdressDaten {
    QString konto{};                    // OPKontoNr
    QString suchname{};
    QString name{};
    QString bank{};                     // BankName
    QString bic{};                      // BankBIC
    QString iban{};                     // BankIBAN
    QString kontoNr{};                  // BankKontoNr
    QString mandatReferenz{};
    std::optional<QDate> mandatDatum{};
    QString mandatSequenz{};            // "2-Mehrfach-Einzug Ersteinzug (Basis)", ...
    std::optional<double> skonto1{};    // SktoProzent1
    std::optional<double> skonto2{};    // SktoProzent2
    QString kundenNr{};                 // LieferantenKundenNr
  };

  struct PostenDaten {
    QString konto{};                    // OPKontoNr / KundenNr
    QString nr{};                       // VorgangsNr / IdentNr
    QChar art = QLatin1Char('R');       // R invoice, G credit note, A down payment (order program: R or G)
    QChar kontoart = QLatin1Char('K');  // accounting program: K customer, L supplier
    QDate vom{};
    QDate faellig{};
    Waehrung betrag{};                  // Betrag / GesamtBrutto as stored
    Waehrung rest{};                    // Rest as stored
    QString buchungsliste{};            // accounting program only
  };

  explicit Geschwisterdatenbank(Programm programm);

  // Whether the address table has the field LieferantenKundenNr (older files lack it; default: yes).
  Geschwisterdatenbank& MitLieferantenKundenNr(bool mit);
  // Whether OPKontoNr is the address table's primary key (default: yes); without it an account may
  // stand in several rows, as in files the sibling program did not keep clean.
  Geschwisterdatenbank& MitEindeutigemKonto(bool mit);
  Geschwisterdatenbank& Adresse(const AdressDaten& adresse);
  Geschwisterdatenbank& Posten(const PostenDaten& posten);

  Programm Format() const { return m_programm; }
  const char* AdressTabelle() const;   // Personenkonten / Kunden
  const char* OPTabelle() const;       // OPVorgang / Rechnungsbuch

  // Creates `datei` (an SQLite file, replaced when present) with both tables and their rows.
  DbFehler Schreiben(const QString& datei) const;
  // Creates the open-item table with its rows in `db` as the TEMP table `OPVorgang`, the name under
  // which the program reads the linked open items (for tests that need no file).
  DbFehler OPVorgangAnlegen(Datenbank& db) const;

 private:
  DbFehler TabellenAnlegen(Datenbank& db, const QString& adressTabelle, const QString& opTabelle, bool mitAdressen) const;

  Programm m_programm;
  bool m_mitKundenNr = true;
  bool m_eindeutigesKonto = true;
  std::vector<AdressDaten> m_adressen;
  std::vector<PostenDaten> m_posten;
};
