#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

#include "platform/db/DbFehler.h"
#include "platform/db/FeldTyp.h"
#include "platform/report/core/Reportengine.h"

class Recordset;

// One column of the rows a report prints: its name as the recordset reports it, its type, and the
// base table and field it comes from (empty for calculated columns).
struct Reportdatenspalte {
  QString name;
  FeldTyp typ = FeldTyp::Unbekannt;
  QString quellTabelle;
  QString quellFeld;
  QString summeGesperrt;   // why a report must not add the column up (empty: it may)
};

// The rows a report prints, read without moving the caller's own position.
class Reportdaten {
 public:
  virtual ~Reportdaten() = default;
  virtual const QList<Reportdatenspalte>& Spalten() const = 0;
  virtual int Anzahl() = 0;
  // The typed value (see ReportwertAusFeld) of a row, 0-based.
  virtual QVariant Wert(int zeile, int spalte) = 0;
  // The failure of the last read, Ok when none.
  virtual DbFehler Fehler() const = 0;
};

// A stored value as the report gets it: amounts as Waehrung, dates as QDate, Booleans as bool,
// numbers as numbers, text as text; null stays null.
QVariant ReportwertAusFeld(const QVariant& roh, FeldTyp typ);
// The report type of a column type; Report::Typ::Keiner for types a report cannot show.
Report::Typ ReportTypVon(FeldTyp typ);

// The rows of a recordset, read through a clone of it.
class RecordsetReportdaten : public Reportdaten {
 public:
  explicit RecordsetReportdaten(const Recordset& daten);
  // Over a recordset opened for the print alone, which it keeps.
  explicit RecordsetReportdaten(std::unique_ptr<Recordset> eigene);
  ~RecordsetReportdaten() override;
  const QList<Reportdatenspalte>& Spalten() const override { return m_spalten; }
  int Anzahl() override;
  QVariant Wert(int zeile, int spalte) override;
  DbFehler Fehler() const override;

 private:
  void SpaltenLesen();
  std::unique_ptr<Recordset> m_kopie;
  QList<Reportdatenspalte> m_spalten;
};
