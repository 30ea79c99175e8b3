#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "platform/ui/MeldungsRekorder.h"

// Records the boxes like MeldungsRekorder, but first shows each one as a real modal window that takes
// the focus, as the message box does on a desktop: the field or cell editor behind it loses the focus
// while the message stands. The window closes by itself once it has been active, and the window behind
// becomes the active one again, as the desktop makes it.
class ModaleMeldung : public MeldungsRekorder {
 public:
  // How many of the windows became the active window (the focus really left the window behind).
  int Aktiviert() const { return m_aktiviert; }

  MeldungsAntwort Zeigen(const MeldungsAnfrage& anfrage, QWidget* eltern) override {
    const QPointer<QWidget> dahinter = eltern ? eltern->window() : QApplication::activeWindow();
    QDialog fenster(dahinter);
    fenster.setWindowTitle(anfrage.titel);
    QTimer uhr;
    int runden = 0;
    QObject::connect(&uhr, &QTimer::timeout, &fenster, [&] {
      if (QApplication::activeWindow() == &fenster) {
        ++m_aktiviert;
        fenster.accept();
      } else if (++runden > 50) {
        fenster.reject();
      }
    });
    uhr.start(10);
    fenster.exec();
    if (dahinter) {
      dahinter->activateWindow();
      (void)QTest::qWaitForWindowActive(dahinter);
    }
    return MeldungsRekorder::Zeigen(anfrage, eltern);
  }

 private:
  int m_aktiviert = 0;
};
