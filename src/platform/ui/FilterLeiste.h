#pragma once

#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <vector>

class QHeaderView;
class QLineEdit;

// The filter bar of a DatenGitter: one text editor per column, above the column captions,
// following the columns' positions, widths, order, visibility and the horizontal scroll.
class FilterLeiste : public QWidget {
  Q_OBJECT
 public:
  FilterLeiste(QTableView* ansicht, QWidget* parent = nullptr);

  // Makes one editor per model column (keeping texts of columns that stay) and places them. Without
  // `anlegen` a bar that has no editors yet stays without: a bar never shown costs no widgets (every
  // enabling or disabling of the grid goes through all of its children).
  void SpaltenAbgleichen(bool anlegen = true);
  void Anordnen();

  int Anzahl() const { return static_cast<int>(m_editoren.size()); }
  QString Text(int spalte) const;
  // Sets a text from code; does not count as a change by the user.
  void SetzeText(int spalte, const QString& text);
  void Leeren();
  QLineEdit* Editor(int spalte) const;
  int SpalteVon(const QObject* editor) const;
  // Column whose filter cell has the focus, -1 when none has.
  int FokusSpalte() const;

  QSize sizeHint() const override;

 Q_SIGNALS:
  void TextGeaendert(int spalte);     // typed by the user
  void FokusErhalten(int spalte);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QPointer<QTableView> m_ansicht;   // may go before us while the grid is torn down
  QWidget* m_innen;                   // clips the editors to the data area
  std::vector<QLineEdit*> m_editoren;
};
