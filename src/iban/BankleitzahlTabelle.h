#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

#include "iban/BankleitzahlEintrag.h"

// The Bundesbank's extended bank-code file (174-character lines, ISO-8859-1) in memory: one row per bank,
// sorted by bank code for a binary search.
class BankleitzahlTabelle {
 public:
  // Name of the file in the program folder.
  static QString DateiName() { return QStringLiteral("BLZTamoIBANBLZ2.txt"); }

  // Reads the file at pfad. On failure the table is empty and the result is a message naming the file and
  // what is wrong (missing, unreadable, empty, without the IBAN-rule column, without bank records).
  std::optional<QString> Laden(const QString& pfad);

  // Parses the file's bytes; branch records are passed over, short lines give what they hold, a bank record
  // with a BIC that is neither empty nor of the BIC form is refused (Abgewiesen). Returns how many lines reach
  // the IBAN-rule column (position 169).
  qsizetype Einlesen(const QByteArray& inhalt);

  // One line (already decoded, without its line break) as a row; std::nullopt for anything but a bank's own
  // record ("1" at position 9).
  static std::optional<BankleitzahlEintrag> ZeileLesen(QStringView zeile);

  // For tables built in code; keeps the order by bank code.
  void Einfuegen(BankleitzahlEintrag eintrag);

  // The row of a bank code (exact comparison), or nullptr.
  const BankleitzahlEintrag* Finden(QStringView bankleitzahl) const;

  // Bank records of the last Laden/Einlesen that were not taken because their BIC is neither empty nor of
  // the BIC form (a damaged file): line, bank code, the BIC as it stood, the reason.
  struct Abweisung {
    qsizetype zeile = 0;
    QString blz;
    QString bic;
    QString grund;
  };
  const std::vector<Abweisung>& Abgewiesen() const { return m_abgewiesen; }
  // The message naming the file and every refused record with its line and reason; empty when none.
  QString AbweisungsMeldung() const;

  void Leeren() {
    m_eintraege.clear();
    m_abgewiesen.clear();
  }
  bool Leer() const { return m_eintraege.empty(); }
  qsizetype Anzahl() const { return static_cast<qsizetype>(m_eintraege.size()); }
  const std::vector<BankleitzahlEintrag>& Eintraege() const { return m_eintraege; }

 private:
  void Sortieren();

  std::vector<BankleitzahlEintrag> m_eintraege;
  std::vector<Abweisung> m_abgewiesen;
  QString m_pfad;
};
