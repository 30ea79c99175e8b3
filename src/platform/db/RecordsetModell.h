#pragma once

#include <QAbstractTableModel>

#include <functional>

#include "platform/db/Recordset.h"

// Table model over a Recordset for the grids: row count from the keyset, values read lazily
// through Recordset::WertAn (page cache), never one query per displayed cell.
// Display role formats German: dates dd.MM.yyyy, currency "1.234,56", Booleans as check state.
class RecordsetModell : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RecordsetModell(QObject* parent = nullptr);

  // Binds a recordset (not owned; may be nullptr). Resets the model.
  void SetzeRecordset(Recordset* rs);
  Recordset* Daten() const { return m_rs; }

  // Call after the recordset changed under the model.
  void AllesNeu();                 // after Requery / rebind
  void ZeileGeaendert(int zeile);  // after Edit+Update of one row
  void ZeileAngefuegt();           // after AddNew+Update (row appended)
  void ZeileEntfernt(int zeile);   // after Delete

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

  // Display text of one value according to the column's type.
  static QString AnzeigeText(const QVariant& wert, FeldTyp typ);

 private:
  Recordset* m_rs = nullptr;
  int m_zeilen = 0;    // row count as last announced to the views
  int m_spalten = 0;
  int m_entfernt = -1;  // while announcing a removal: the row already gone from the recordset
};
