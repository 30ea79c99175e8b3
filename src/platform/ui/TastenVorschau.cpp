#include "platform/ui/TastenVorschau.h"

#include "platform/ui/TabTasteSenden.h"
#include "platform/ui/Werkzeugleiste.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

TastenVorschau::TastenVorschau(QWidget* fenster) : QObject(fenster), m_fenster(fenster) {
  qApp->installEventFilter(this);
}

TastenVorschau::~TastenVorschau() {
  if (qApp) qApp->removeEventFilter(this);
}

void TastenVorschau::TasteZuordnen(int taste, Qt::KeyboardModifiers modifikatoren, std::function<bool()> aktion) {
  m_tasten.push_back(Zuordnung{taste, modifikatoren, std::move(aktion)});
}

void TastenVorschau::BuchstabeZuordnen(Qt::Key buchstabe, std::function<void()> aktion) {
  m_buchstaben.insert(int(buchstabe), std::move(aktion));
}

void TastenVorschau::BuchstabeZuordnen(Qt::Key buchstabe, Werkzeugleiste* leiste, const QString& knopf) {
  QPointer<Werkzeugleiste> l(leiste);
  BuchstabeZuordnen(buchstabe, [l, knopf] {
    if (l) l->Druecken(knopf);
  });
}

bool TastenVorschau::Vorgesehen(const QKeyEvent* taste) const {
  const int k = taste->key();
  const Qt::KeyboardModifiers mods = taste->modifiers() & ~Qt::KeypadModifier;
  for (const Zuordnung& z : m_tasten)
    if (z.taste == k && z.modifikatoren == mods) return true;
  if ((mods & (Qt::ControlModifier | Qt::AltModifier)) && m_buchstaben.contains(k)) return true;
  return k == Qt::Key_F1 && mods == Qt::NoModifier && m_hilfe;
}

bool TastenVorschau::eventFilter(QObject* objekt, QEvent* ereignis) {
  const bool vorab = ereignis->type() == QEvent::ShortcutOverride;
  if ((ereignis->type() != QEvent::KeyPress && !vorab) || !m_fenster || !objekt->isWidgetType()) return false;
  auto* empfaenger = static_cast<QWidget*>(objekt);
  if (empfaenger->window() != m_fenster->window()) return false;
  // A pop-up has the keyboard: its keys are not the window's.
  if (QApplication::activePopupWidget()) return false;
  // The application filter sees a key again at every parent it propagates to; only the first
  // delivery - to the window's focus widget - is the preview.
  QWidget* fokus = m_fenster->window()->focusWidget();
  if (fokus ? empfaenger != fokus : empfaenger != m_fenster->window()) return false;
  if (vorab) {
    // The window's own keys come before any shortcut (a label's Alt+letter mnemonic included):
    // claiming the override makes the key arrive as a key press.
    if (!Vorgesehen(static_cast<QKeyEvent*>(ereignis))) return false;
    ereignis->accept();
    return true;
  }
  return Bearbeiten(empfaenger, static_cast<QKeyEvent*>(ereignis));
}

bool TastenVorschau::EnterGilt(QWidget* empfaenger) const {
  if (!m_enterAlsTab) return false;
  if (qobject_cast<QPushButton*>(empfaenger) || qobject_cast<QToolButton*>(empfaenger)) return false;
  for (QWidget* w = empfaenger; w && w != m_fenster->window(); w = w->parentWidget()) {
    if (qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) return false;
    // a cell editor inside a grid commits with Enter
    if (w != empfaenger && qobject_cast<QAbstractItemView*>(w)) return false;
    for (const QPointer<QWidget>& a : m_ausnahmen)
      if (a == w) return false;
  }
  return true;
}

bool TastenVorschau::Bearbeiten(QWidget* empfaenger, QKeyEvent* taste) {
  if (m_handler && m_handler(taste)) return true;

  const int k = taste->key();
  const Qt::KeyboardModifiers mods = taste->modifiers() & ~Qt::KeypadModifier;
  for (const Zuordnung& z : std::as_const(m_tasten))
    if (z.taste == k && z.modifikatoren == mods && z.aktion && z.aktion()) return true;

  if ((mods & (Qt::ControlModifier | Qt::AltModifier)) && k >= Qt::Key_A && k <= Qt::Key_Z) {
    auto it = m_buchstaben.constFind(k);
    if (it != m_buchstaben.constEnd()) {
      if (*it) (*it)();
      return true;
    }
  }
  // Alt with a letter that no button and no caption claims: a command key, never text for the
  // field (fields take Alt+letter as the letter). Ctrl+Alt is AltGr on some keyboards and types.
  if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !taste->text().isEmpty() &&
      taste->text().at(0).isLetterOrNumber())
    return true;

  if (k == Qt::Key_F1 && mods == Qt::NoModifier && m_hilfe) {
    m_hilfe();
    return true;
  }

  if (k == Qt::Key_Escape && mods == Qt::NoModifier && m_abbrechen && m_abbrechen->isVisible() &&
      m_abbrechen->isEnabled()) {
    m_abbrechen->click();
    return true;
  }

  if ((k == Qt::Key_Return || k == Qt::Key_Enter) && !(mods & (Qt::ControlModifier | Qt::AltModifier)) &&
      EnterGilt(empfaenger)) {
    TabTasteSenden(empfaenger);
    return true;
  }
  return false;
}
