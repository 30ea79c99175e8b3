#pragma once

#include <QColor>
#include <QPalette>

#include <functional>
#include <vector>

#include "platform/db/RecordsetModell.h"
#include "platform/ui/GitterMarken.h"
#include "platform/ui/GitterSpalte.h"

// The model behind DatenGitter and GitterDropDown: the grid's own columns (bound to recordset
// fields by name, with caption and format) over a Recordset, read lazily through the recordset's
// page cache. Adds the grid's states: an empty list after a failed query, the add-new row, the
// row whose edit is pending, marks and cell colours.
class GitterModell : public RecordsetModell {
  Q_OBJECT
 public:
  explicit GitterModell(QObject* parent = nullptr);

  // Binds a recordset (not owned). With `spaltenHalten` the columns stay and are bound again by
  // field name; otherwise one column per recordset field is made.
  void Binden(Recordset* rs, bool spaltenHalten);
  // The recordset was requeried or changed outside: rows are read again.
  void Neu();
  // One row changed outside: it is read again and shown anew; the others, the current cell and the
  // selection stay.
  DbFehler ZeileNeu(int zeile);
  // Shows no rows until the next Neu/Binden (a failed query never shows the old rows).
  void LeerZeigen();
  bool ZeigtLeer() const { return m_leer; }

  std::vector<GitterSpalte>& Spalten() { return m_spalten; }
  const std::vector<GitterSpalte>& Spalten() const { return m_spalten; }
  // After columns were added, removed or rebound: resolves fields and resets the view.
  void SpaltenGeaendert();
  void SpalteAufloesen(GitterSpalte& s) const;
  int SpalteVonFeld(const QString& feld) const;

  int DatenZeilen() const { return m_leer ? 0 : m_zeilen; }
  void SetzeNeueZeileZeigen(bool an);
  bool NeueZeileZeigen() const { return m_neueZeile; }
  bool IstNeueZeile(int zeile) const { return m_neueZeile && zeile == DatenZeilen(); }

  // Row whose edit (Edit/AddNew) is pending in the recordset; -1 none.
  void SetzeAusstehend(int zeile);
  int Ausstehend() const { return m_ausstehend; }

  // Value of a cell: the recordset's edit buffer for the pending row, else the stored value.
  QVariant Rohwert(int zeile, int spalte) const;
  QVariant Feldwert(int zeile, const QString& feld) const;
  QString Text(int zeile, int spalte) const;
  QVariant Schluessel(int zeile) const;

  // Rows changed or added through the recordset.
  void ZeileAktualisiert(int zeile);
  void NeueZeileUebernommen();   // the add-new row became a stored row
  void ZeileGeloescht(int zeile);

  void SetzeMarken(const GitterMarken* marken) { m_marken = marken; }
  void MarkenNeuZeichnen();
  using ZellStilFunktion = std::function<void(int zeile, int spalte, ZellStil& stil)>;
  void SetzeZellStil(ZellStilFunktion f) { m_stil = std::move(f); }
  void SetzePalette(const QPalette& p) { m_palette = p; }
  void SetzeBearbeitbar(std::function<bool(int zeile, int spalte)> f) { m_bearbeitbar = std::move(f); }
  // Writes a value typed into a cell; the grid runs its update events there.
  void SetzeAenderung(std::function<bool(int zeile, int spalte, const QVariant& wert)> f) { m_aenderung = std::move(f); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& wert, int role) override;

 private:
  std::vector<GitterSpalte> m_spalten;
  int m_zeilen = 0;
  bool m_leer = false;
  bool m_neueZeile = false;
  int m_ausstehend = -1;
  const GitterMarken* m_marken = nullptr;
  ZellStilFunktion m_stil;
  QPalette m_palette;
  std::function<bool(int, int)> m_bearbeitbar;
  std::function<bool(int, int, const QVariant&)> m_aenderung;
};
