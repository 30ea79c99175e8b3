#pragma once

#include <QGroupBox>
#include <QList>

class QBoxLayout;
class QCheckBox;

// Check boxes addressed by index (the old check-box array). A click and a change from code both
// raise Geklickt with the index.
class KontrollGruppe : public QGroupBox {
  Q_OBJECT
 public:
  explicit KontrollGruppe(QWidget* eltern = nullptr, Qt::Orientation ausrichtung = Qt::Vertical);

  int KastenHinzufuegen(const QString& text);
  QCheckBox* Kasten(int index) const { return m_kaesten.value(index); }
  int Anzahl() const { return m_kaesten.size(); }

  bool Wert(int index) const;
  // Sets a box from code; raises Geklickt once when its state changes.
  void WertSetzen(int index, bool gesetzt);

 Q_SIGNALS:
  void Geklickt(int index);

 private:
  QBoxLayout* m_layout;
  QList<QCheckBox*> m_kaesten;
};
