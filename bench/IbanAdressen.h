#pragma once

// Addresses for the IBAN run's measurements: the Bundesbank's file beside the clone and n addresses over
// its banks, every 50th with an unknown bank code (the same set in every measurement).
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

#include <memory>

#include "iban/BankleitzahlTabelle.h"
#include "platform/db/Datenbank.h"

inline QString IbanBenchBlzDatei() {
  QString ordner = qEnvironmentVariable("TAMO_SHARED_DIR");
  if (ordner.isEmpty()) ordner = QStringLiteral(TAMO_SHARED_DIR_VORGABE);
  return QDir(ordner).filePath(QStringLiteral("data/blz_2015-06-08_extended_174.txt"));
}

// A new database file from the shipped schema.
inline std::unique_ptr<Datenbank> IbanBenchSchemaDatenbank(const QString& datei, DbFehler& f) {
  auto db = Datenbank::Oeffnen(datei, f, true);
  if (!db) return nullptr;
  QFile schema(QStringLiteral(TAMO_SCHEMA_DATEI));
  if (!schema.open(QIODevice::ReadOnly)) {
    f = {75, QStringLiteral("Schema fehlt")};
    return nullptr;
  }
  f = db->SkriptAusfuehren(QString::fromUtf8(schema.readAll()));
  return f ? nullptr : std::move(db);
}

inline DbFehler IbanBenchAdressenAnlegen(Datenbank& db, const BankleitzahlTabelle& tabelle, qint64 n,
                                         const SqlText& ziel) {
  QRandomGenerator zufall(42);
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  for (qint64 i = 0; i < n; ++i) {
    const QString blz = i % 50 == 49 ? QStringLiteral("99999999")
                                     : tabelle.Eintraege()[zufall.bounded(tabelle.Anzahl())].BLZ;
    const QString konto = QString::number(zufall.bounded(Q_INT64_C(1), Q_INT64_C(10000000000)));
    if (DbFehler f = db.Ausfuehren(SqlText("INSERT INTO ") + ziel +
                                       SqlText(" (OPKontoNr, Suchname, Name, BLZ, KontoNr) VALUES (?, ?, ?, ?, ?)"),
                                   {QStringLiteral("K%1").arg(i, 7, 10, QLatin1Char('0')), QStringLiteral("Such %1").arg(i),
                                    QStringLiteral("Adresse %1").arg(i), blz, konto}))
      return f;
  }
  return t.Commit();
}
