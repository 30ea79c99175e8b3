#pragma once

#include <QPointer>
#include <QTableView>
#include <QWidget>

class GitterModell;

// The footer row of a DatenGitter: one text per column (with its own colour), drawn under the
// column it belongs to.
class GitterFuss : public QWidget {
  Q_OBJECT
 public:
  GitterFuss(QTableView* ansicht, const GitterModell* modell, QWidget* parent = nullptr);
  QSize sizeHint() const override;
  // The width a column needs to show `text` in this row whole.
  int Textbreite(const QString& text) const;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QPointer<QTableView> m_ansicht;   // may go before us while the grid is torn down
  const GitterModell* m_modell;
};
