#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <initializer_list>
#include <utility>

#include <memory>
#include <ostream>
#include <string>
#include <optional>

#include "platform/db/Datenbank.h"
#include "payments/core/ZeilenBetraege.h"
#include "platform/db/Waehrung.h"

// An in-memory database from the shipped schema, with helpers to put payments and lines in.
class ZahlungsTestDatenbank {
 public:
  ZahlungsTestDatenbank();
  // A database file from the shipped schema (for a second connection to it, or to reopen it).
  explicit ZahlungsTestDatenbank(const QString& datei);
  Datenbank& Db() { return *m_db; }

  struct Zahlung {
    int absenderNr = 1;
    QString art = QStringLiteral("G");
    QString name = QStringLiteral("Meier GmbH");
    std::optional<int> mandatSequenz;
    std::optional<QDate> faellig;
    bool erledigt = false;
    bool fehler = false;
    std::optional<Waehrung> gesamt;
    QString mandatReferenz;
    QString opKontoNr;
  };
  qint64 ZahlungAnlegen(const Zahlung& z);
  qint64 ZeileAnlegen(qint64 zahlungNr, int zeilenNr, const QString& text, std::optional<Waehrung> betrag,
                      std::optional<Waehrung> skonto = std::nullopt);
  int Anzahl(const char* tabelle);
  // Value of the first column of the first row of `sql` (literal statement with parameters).
  QVariant Wert(const SqlText& sql, const QVariantList& parameter = {});

 private:
  std::unique_ptr<Datenbank> m_db;
};

// Lists from UTF-8 literals (the build forbids implicit conversions).
inline QStringList L(std::initializer_list<const char*> texte) {
  QStringList l;
  for (const char* t : texte) l << QString::fromUtf8(t);
  return l;
}
inline QVariantMap M(std::initializer_list<std::pair<const char*, const char*>> paare) {
  QVariantMap m;
  for (const auto& [k, v] : paare) m.insert(QString::fromUtf8(k), QString::fromUtf8(v));
  return m;
}

// A line's amounts in failure messages, e.g. {100.00, -, 95.00}.
inline void PrintTo(const ZeilenBetraege& z, std::ostream* os) {
  const auto text = [](const std::optional<Waehrung>& w) { return w ? w->FormatInvariant().toStdString() : std::string("-"); };
  *os << '{' << text(z.opBetrag) << ", " << text(z.skontoBetrag) << ", " << text(z.zahlungsBetrag) << '}';
}

inline Waehrung Euro(int64_t euro, int64_t cent = 0) { return Waehrung::AusCent(euro * 100 + (euro < 0 ? -cent : cent)); }
