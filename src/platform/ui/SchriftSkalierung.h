#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>

class QWidget;

// Font scaling with the window (the option "AlleFensterProportionaleSchrift"): the fonts of a
// container's controls grow and shrink in proportion to the container's size, measured against the
// size it had when the scaling was switched on. Factor limited to 0.7 ... 2.5.
class SchriftSkalierung : public QObject {
  Q_OBJECT
 public:
  explicit SchriftSkalierung(QWidget* behaelter);

  // Takes the present size and fonts as the base (call when the layout is complete).
  void BasisFestlegen();
  double Faktor() const { return m_faktor; }

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void Anwenden();

  QPointer<QWidget> m_behaelter;
  QSize m_basisGroesse;
  QHash<QWidget*, double> m_basisPunkte;
  double m_faktor = 1.0;
};
