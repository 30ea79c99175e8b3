#include "platform/ui/ProgrammschriftSetzen.h"

#include <QFont>
#include <QWidget>

namespace {

void Setzen(QWidget* w, const QFont& schrift) {
  QFont f = w->font();
  f.setFamilies(schrift.families().isEmpty() ? QStringList{schrift.family()} : schrift.families());
  if (schrift.pointSizeF() > 0)
    f.setPointSizeF(schrift.pointSizeF());
  else if (schrift.pixelSize() > 0)
    f.setPixelSize(schrift.pixelSize());
  w->setFont(f);
}

}  // namespace

void ProgrammschriftSetzen(QWidget* fenster, const QFont& schrift) {
  if (!fenster) return;
  Setzen(fenster, schrift);
  for (QWidget* w : fenster->findChildren<QWidget*>()) Setzen(w, schrift);
}
