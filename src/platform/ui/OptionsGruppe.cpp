#include "platform/ui/OptionsGruppe.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QEvent>
#include <QPainter>
#include <QRadioButton>

OptionsGruppe::OptionsGruppe(QWidget* eltern, Qt::Orientation ausrichtung)
    : QGroupBox(eltern),
      m_layout(new QBoxLayout(ausrichtung == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this)),
      m_gruppe(new QButtonGroup(this)) {
  m_gruppe->setExclusive(true);
  connect(m_gruppe, &QButtonGroup::idClicked, this, &OptionsGruppe::Geklickt);
}

OptionsGruppe::OptionsGruppe(const QString& titel, const QStringList& optionen, QWidget* eltern,
                             Qt::Orientation ausrichtung)
    : OptionsGruppe(eltern, ausrichtung) {
  setTitle(titel);
  for (const QString& o : optionen) OptionHinzufuegen(o);
}

int OptionsGruppe::OptionHinzufuegen(const QString& text) {
  auto* knopf = new QRadioButton(text, this);
  const int index = m_optionen.size();
  m_optionen << knopf;
  m_gruppe->addButton(knopf, index);
  m_layout->addWidget(knopf);
  knopf->installEventFilter(this);
  return index;
}

int OptionsGruppe::Wert() const { return m_gruppe->checkedId(); }

void OptionsGruppe::WertSetzen(int index) {
  if (index < 0 || index >= m_optionen.size()) {
    if (QAbstractButton* gewaehlt = m_gruppe->checkedButton()) {
      m_gruppe->setExclusive(false);
      gewaehlt->setChecked(false);
      m_gruppe->setExclusive(true);
    }
    return;
  }
  if (Wert() == index) return;
  m_optionen[index]->setChecked(true);
  Q_EMIT Geklickt(index);
}

bool OptionsGruppe::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (ereignis->type() == QEvent::FocusIn || ereignis->type() == QEvent::FocusOut) {
    bool fokus = false;
    for (const QRadioButton* o : m_optionen) fokus = fokus || o->hasFocus();
    if (fokus != m_fokus) {
      m_fokus = fokus;
      update();
    }
  }
  return QGroupBox::eventFilter(objekt, ereignis);
}

void OptionsGruppe::paintEvent(QPaintEvent* ereignis) {
  QGroupBox::paintEvent(ereignis);
  if (!m_fokus) return;
  QPainter maler(this);
  maler.setPen(QPen(palette().color(QPalette::Highlight), 2));
  maler.setBrush(Qt::NoBrush);
  maler.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
}
