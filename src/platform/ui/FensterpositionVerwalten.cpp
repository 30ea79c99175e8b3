#include "platform/ui/FensterpositionVerwalten.h"

#include "platform/settings/Registrierung.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

std::optional<int> Zahl(const QString& abschnitt, const QString& schluessel) {
  Registrierung& r = Registrierung::Instanz();
  if (!r.Vorhanden(abschnitt, schluessel)) return std::nullopt;
  return EinstellungZahl(r.Lesen(abschnitt, schluessel));
}

QScreen* BildschirmVon(const QWidget* fenster) {
  QScreen* s = fenster->screen();
  return s ? s : QGuiApplication::primaryScreen();
}

// Every screen together. Stored values are clamped into it before any arithmetic: a damaged or foreign
// settings file may hold 2147483647, and QRect adds width and position in int.
QRect AlleBildschirme() {
  QRect alle;
  for (const QScreen* s : QGuiApplication::screens()) alle = alle.united(s->availableGeometry());
  return alle.isValid() ? alle : QRect(0, 0, 1024, 768);
}

// The screen a window opens on: the one holding the middle of its stored place, else its own.
QScreen* BildschirmFuer(const QWidget* fenster, const QRect& g) {
  if (QScreen* s = QGuiApplication::screenAt(g.center())) return s;
  return BildschirmVon(fenster);
}

// A size stored on a larger screen, or a place outside this one, is fitted to the free area of the screen
// the window opens on, frame included: never larger than it, wholly on it.
QRect AufBildschirmEinpassen(const QRect& g, const QRect& frei, const QMargins& rahmen) {
  const QRect innen = frei.marginsRemoved(rahmen);
  if (!innen.isValid()) return g;
  QRect r(g.topLeft(), QSize(std::min(g.width(), innen.width()), std::min(g.height(), innen.height())));
  r.moveLeft(std::clamp(r.left(), innen.left(), innen.right() - r.width() + 1));
  r.moveTop(std::clamp(r.top(), innen.top(), innen.bottom() - r.height() + 1));
  return r;
}

}  // namespace

QMargins FensterRahmen(const QWidget* fenster) {
  auto von = [](const QWidget* w) {
    const QRect f = w->frameGeometry();
    const QRect g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
  };
  if (fenster->isVisible() && !von(fenster).isNull()) return von(fenster);
  for (const QWidget* w : QApplication::topLevelWidgets())
    if (w != fenster && w->isVisible() && w->windowType() != Qt::Popup && !von(w).isNull()) return von(w);
  return {};
}

void FensterpositionVerwalten(bool wiederherstellen, const QString& abschnitt, QWidget* fenster, int prozent,
                              bool breit) {
  if (!fenster) return;
  Registrierung& r = Registrierung::Instanz();
  if (!wiederherstellen) {
    const Qt::WindowStates zustand = fenster->windowState();
    const QString state = zustand & Qt::WindowMinimized   ? QStringLiteral("1")
                          : zustand & Qt::WindowMaximized ? QStringLiteral("2")
                                                          : QStringLiteral("0");
    // For a maximised or minimised window the normal geometry is what comes back later.
    QRect g = (zustand & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) &&
                      fenster->normalGeometry().isValid()
                  ? fenster->normalGeometry()
                  : fenster->geometry();
    r.Schreiben(abschnitt, QStringLiteral("State"), state);
    r.Schreiben(abschnitt, QStringLiteral("Top"), QString::number(g.top()));
    r.Schreiben(abschnitt, QStringLiteral("Left"), QString::number(g.left()));
    r.Schreiben(abschnitt, QStringLiteral("Height"), QString::number(g.height()));
    r.Schreiben(abschnitt, QStringLiteral("Width"), QString::number(g.width()));
    r.Sichern();
    return;
  }

  const std::optional<int> state = Zahl(abschnitt, QStringLiteral("State"));
  const std::optional<int> top = Zahl(abschnitt, QStringLiteral("Top"));
  const std::optional<int> left = Zahl(abschnitt, QStringLiteral("Left"));
  const std::optional<int> height = Zahl(abschnitt, QStringLiteral("Height"));
  const std::optional<int> width = Zahl(abschnitt, QStringLiteral("Width"));
  const QMargins rahmen = FensterRahmen(fenster);
  QRect g = fenster->geometry();
  if (!top && !left && !height && !width) {
    if (prozent <= 0) return;
    const QScreen* bildschirm = BildschirmVon(fenster);
    const QRect ganz = bildschirm ? bildschirm->geometry() : QRect(0, 0, 1024, 768);
    const QRect frei = bildschirm ? bildschirm->availableGeometry() : ganz;
    const int h = ganz.height() * prozent / 100;
    const int w = ganz.width() * prozent / (breit ? 150 : 120);
    // Never smaller than the layout needs (the window system would widen it past the screen's edge
    // from the centred position), never larger than the free area.
    const QSize mindestens = fenster->minimumSizeHint().expandedTo(fenster->minimumSize());
    g = QRect(0, 0, std::max(w, mindestens.width()), std::max(h, mindestens.height()));
    g.moveCenter(frei.center());
    g = AufBildschirmEinpassen(g, frei, rahmen);
  } else {
    const QRect alle = AlleBildschirme();
    if (width && *width > 0) g.setWidth(std::min(*width, alle.width()));
    if (height && *height > 0) g.setHeight(std::min(*height, alle.height()));
    if (left) g.moveLeft(std::clamp(*left, alle.left(), alle.right()));
    if (top) g.moveTop(std::clamp(*top, alle.top(), alle.bottom()));
    const QScreen* bildschirm = BildschirmFuer(fenster, g);
    if (bildschirm) g = AufBildschirmEinpassen(g, bildschirm->availableGeometry(), rahmen);
  }
  fenster->setGeometry(g);
  if (state && *state == 2)
    fenster->setWindowState((fenster->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
  else if (state)
    fenster->setWindowState(fenster->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}
