#include "platform/ui/OptionsGruppe.h"

#include <QBoxLayout>
#include <QButtonGroup>
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
