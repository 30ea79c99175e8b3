#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

enum class NavigatorBereich { Erster, SeiteZurueck, Vorheriger, Beschriftung, Naechster, SeiteVor, Letzter };

// The record navigator under a browse grid: first, page back, previous, caption (the current mode:
// "Blättern", "Neueingabe", "Ändern"), next, page forward, last. The window moves its recordset.
class DatensatzNavigator : public QWidget {
  Q_OBJECT
 public:
  explicit DatensatzNavigator(QWidget* eltern = nullptr);

  void BeschriftungSetzen(const QString& text);
  QString Beschriftung() const;
  QToolButton* Knopf(NavigatorBereich bereich) const;

  // The area under a point (for tool tips), std-style: Beschriftung for the caption.
  NavigatorBereich BereichBei(const QPoint& punkt, bool* gefunden = nullptr) const;
  static QString Tooltip(NavigatorBereich bereich);

 Q_SIGNALS:
  void Bewegen(NavigatorBereich bereich);

 private:
  QToolButton* m_knoepfe[7] = {};
  QLabel* m_beschriftung = nullptr;
};
