#include "platform/ui/KontrollGruppe.h"

#include <QBoxLayout>
#include <QCheckBox>

KontrollGruppe::KontrollGruppe(QWidget* eltern, Qt::Orientation ausrichtung)
    : QGroupBox(eltern),
      m_layout(new QBoxLayout(ausrichtung == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this)) {}

int KontrollGruppe::KastenHinzufuegen(const QString& text) {
  auto* kasten = new QCheckBox(text, this);
  const int index = m_kaesten.size();
  m_kaesten << kasten;
  m_layout->addWidget(kasten);
  connect(kasten, &QCheckBox::clicked, this, [this, index] { Q_EMIT Geklickt(index); });
  return index;
}

bool KontrollGruppe::Wert(int index) const {
  const QCheckBox* k = Kasten(index);
  return k && k->isChecked();
}

void KontrollGruppe::WertSetzen(int index, bool gesetzt) {
  QCheckBox* k = Kasten(index);
  if (!k || k->isChecked() == gesetzt) return;
  k->setChecked(gesetzt);
  Q_EMIT Geklickt(index);
}
