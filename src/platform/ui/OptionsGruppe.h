#pragma once

#include <QGroupBox>
#include <QList>

class QBoxLayout;
class QButtonGroup;
class QRadioButton;

// Option buttons of which one is chosen (the old option set / option button array). A click and a
// change of the choice from code both raise Geklickt, so the window's click handler runs either way.
class OptionsGruppe : public QGroupBox {
  Q_OBJECT
 public:
  explicit OptionsGruppe(QWidget* eltern = nullptr, Qt::Orientation ausrichtung = Qt::Vertical);
  OptionsGruppe(const QString& titel, const QStringList& optionen, QWidget* eltern = nullptr,
                Qt::Orientation ausrichtung = Qt::Vertical);

  int OptionHinzufuegen(const QString& text);
  QRadioButton* Option(int index) const { return m_optionen.value(index); }
  int Anzahl() const { return m_optionen.size(); }

  // The chosen index, -1 for none.
  int Wert() const;
  // Chooses an option from code; raises Geklickt once when the choice changes (not when it is
  // already chosen). -1 clears the choice without a click.
  void WertSetzen(int index);

  // One of the options has the keyboard focus: the group draws a highlighted frame, however the focus
  // came (Enter moves on without the Tab that makes the style draw a focus rectangle).
  bool FokusAngezeigt() const { return m_fokus; }

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;
  void paintEvent(QPaintEvent* ereignis) override;

 Q_SIGNALS:
  void Geklickt(int index);

 private:
  QBoxLayout* m_layout;
  QButtonGroup* m_gruppe;
  QList<QRadioButton*> m_optionen;
  bool m_fokus = false;
};
