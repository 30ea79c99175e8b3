#include "platform/ui/TabTasteSenden.h"

#include <QApplication>
#include <QWidget>

namespace {

// focusNextPrevChild is protected; a member pointer taken in a derived class reaches it legally.
struct FokusZugang : QWidget {
  static bool Weiter(QWidget* w, bool vor) { return (w->*&FokusZugang::focusNextPrevChild)(vor); }
};

int Bewegen(QWidget* von, bool vor) {
  QWidget* start = von ? von : QApplication::focusWidget();
  if (!start) return 0;
  if (von && von->window()->focusWidget() != von && von->focusPolicy() != Qt::NoFocus) von->setFocus(Qt::OtherFocusReason);
  FokusZugang::Weiter(start, vor);
  return 0;
}

}  // namespace

int TabTasteSenden(QWidget* von) { return Bewegen(von, true); }

int UmschaltTabTasteSenden(QWidget* von) { return Bewegen(von, false); }
