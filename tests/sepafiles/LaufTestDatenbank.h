#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

#include "platform/db/Datenbank.h"
#include "platform/db/Waehrung.h"
#include "sepafiles/core/SepaLaufAnfrage.h"

// A database from the shipped schema (in memory unless one is given) with a complete sender 1 and
// helpers for orders.
class LaufTestDatenbank {
 public:
  explicit LaufTestDatenbank(std::unique_ptr<Datenbank> db = Datenbank::InSpeicher());
  Datenbank& Db() { return *m_db; }

  struct Auftrag {
    int absenderNr = 1;
    QString art = QStringLiteral("G");
    QString name = QStringLiteral("Meier GmbH");
    QString iban = QStringLiteral("DE89370400440532013000");
    QString bic = QStringLiteral("COBADEFFXXX");
    std::optional<int> mandatSequenz;
    QString mandatReferenz = QStringLiteral("MANDAT-1");
    std::optional<QDate> mandatDatum = QDate(2023, 1, 15);
    std::optional<QDate> faellig;
    QString verwendungszweck1 = QStringLiteral("Rechnung 4711");
    QString textschluessel;
    QString einzelReferenz;
    bool erledigt = false;
    std::optional<QDate> erledigtDatum;
    std::optional<QDate> buchungsdatum;
    bool buchImport = false;
    bool fehler = false;
    // Line amounts in cent; ZahlungGesamt is their sum (or `gesamtCent` when there are no lines).
    QList<int64_t> zeilenCent = {10000};
    int64_t gesamtCent = 0;
  };
  qint64 Anlegen(const Auftrag& a) { return Anlegen(*m_db, a); }

  // The same on another database (the program's in window tests): the schema with its senders, and
  // an order with its lines.
  static void Einrichten(Datenbank& db);
  static qint64 Anlegen(Datenbank& db, const Auftrag& a);

  QVariant Wert(const SqlText& sql, const QVariantList& parameter = {});
  // Erledigt of one order.
  bool Erledigt(qint64 nr) { return Wert("SELECT Erledigt FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong() != 0; }
  bool Fehler(qint64 nr) { return Wert("SELECT Fehler FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toLongLong() != 0; }
  int AnzahlErledigt() { return int(Wert("SELECT count(*) FROM Zahlungen WHERE Erledigt = 1").toLongLong()); }
  QString Referenz() { return Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1").toString(); }

 private:
  std::unique_ptr<Datenbank> m_db;
};

// The request of a run of sender 1 over `nummern` into `ziel`, reference R100, with the clock at `zeitpunkt`.
SepaLaufAnfrage LaufAnfrage(SepaArt art, const QList<qint64>& nummern, const QDateTime& zeitpunkt, const QString& ziel,
                            bool aufteilen = false);

// Direct-debit order of sequence `sequenz`, of a mandate of its own (one mandate may not be collected
// as first and recurring in one run).
inline LaufTestDatenbank::Auftrag Lastschrift(int sequenz, QList<int64_t> zeilenCent = {10000}) {
  static int mandate = 0;
  LaufTestDatenbank::Auftrag a;
  a.art = QStringLiteral("L");
  a.mandatSequenz = sequenz;
  a.mandatReferenz = QStringLiteral("MANDAT-%1").arg(++mandate);
  a.zeilenCent = std::move(zeilenCent);
  return a;
}
