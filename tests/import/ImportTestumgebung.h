#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "import/core/ImportLauf.h"
#include "import/core/ImportSelektion.h"
#include "platform/db/Datenbank.h"
#include "testsupport/Geschwisterdatenbank.h"
#include "testsupport/TestOrdner.h"

// A run of the program whose sender 1 reads addresses and open items from a sibling program's file:
// temporary folders and settings, a data folder with the shipped schema, sender 2 beside it, the
// clock fixed on Sunday, 10 March 2024, the database opened as at start-up.
class ImportTestumgebung {
 public:
  explicit ImportTestumgebung(const Geschwisterdatenbank& geschwister);
  ~ImportTestumgebung();

  Datenbank& Db();
  const AdressQuellenInfo& Quelle() const;
  TestOrdner& Ordner() { return m_ordner; }
  QString Geschwisterdatei() const { return m_geschwisterdatei; }

  // Rows of a query as "a|b|c" (Null as "-").
  QStringList Zeilen(const SqlText& sql, const QVariantList& parameter = {});
  QVariant Wert(const SqlText& sql, const QVariantList& parameter = {});

  // An existing payment of `absenderNr` with one line for the item (duplicate check, sequences).
  qint64 ZahlungMitPosten(int absenderNr, const QString& konto, const QString& vorgangsNr,
                          const std::optional<QDate>& erledigt = std::nullopt, const QString& mandatReferenz = {},
                          int sequenz = 0);

  // The run's options as the window's defaults give them.
  ImportLaufOptionen Optionen(bool lieferanten) const;
  // The items the selection lists for `auswahl`.
  std::vector<ImportVorgang> Vorgaenge(const ImportAuswahl& auswahl);

  static QDate Heute() { return QDate(2024, 3, 10); }

 private:
  TestOrdner m_ordner;
  QString m_geschwisterdatei;
  QString m_vorherReg;
};

// The questions of a run answered from a script; every question asked is kept.
class SkriptFrager : public ImportFrager {
 public:
  std::deque<bool> dublettenAntworten;
  std::deque<QString> eingaben;
  QStringList dublettenFragen;
  QStringList aufforderungen;

  bool DubletteUebernehmen(const QString& text) override;
  QString PflichtfeldAbfragen(const QString& aufforderung) override;
};

// Another workstation acts once while this one's user answers the first input box, or the first
// duplicate question (between the questions and the write's transaction).
class FremderArbeitsplatz : public SkriptFrager {
 public:
  std::function<void()> waehrendDerEingabe;
  std::function<void()> waehrendDerFrage;
  QString PflichtfeldAbfragen(const QString& aufforderung) override {
    if (waehrendDerEingabe) waehrendDerEingabe();
    waehrendDerEingabe = nullptr;
    return SkriptFrager::PflichtfeldAbfragen(aufforderung);
  }
  bool DubletteUebernehmen(const QString& text) override {
    if (waehrendDerFrage) waehrendDerFrage();
    waehrendDerFrage = nullptr;
    return SkriptFrager::DubletteUebernehmen(text);
  }
};

inline Waehrung Eur(int64_t euro, int64_t cent = 0) { return Waehrung::AusCent(euro * 100 + cent); }

// An address of the sibling program whose bank and mandate data are complete, named `namensvorsatz` + account.
inline Geschwisterdatenbank::AdressDaten VollstaendigeAdresse(const QString& konto, const QString& namensvorsatz) {
  return Geschwisterdatenbank::AdressDaten{.konto = konto,
                                           .suchname = QStringLiteral("S") + konto,
                                           .name = namensvorsatz + konto,
                                           .bank = QStringLiteral("Sparkasse"),
                                           .bic = QStringLiteral("COLSDE33XXX"),
                                           .iban = QStringLiteral("DE89370400440532013000"),
                                           .mandatReferenz = QStringLiteral("M-") + konto,
                                           .mandatDatum = QDate(2023, 5, 1),
                                           .mandatSequenz = QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)")};
}
