#pragma once
// Counts the paintings of a widget (install it on a view's viewport): the first painted rows.

#include <QEvent>
#include <QObject>

class MalZaehler : public QObject {
 public:
  int bilder = 0;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++bilder;
    return QObject::eventFilter(o, e);
  }
};
