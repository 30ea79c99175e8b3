#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QAbstractButton>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QKeyEvent;
class QWidget;
class Werkzeugleiste;

// Key preview of a window (the old KeyPreview with Form_KeyDown): sees every key pressed in the
// window before the focused control does. In this order:
//   1. the window's own handler (returns true = key used up);
//   2. keys assigned with their modifiers (F-keys, Ctrl+F2 ...);
//   3. Ctrl or Alt + letter: the assigned action, typically a toolbar button pressed through the
//      toolbar's handler (hidden and disabled buttons do nothing); the key is used up either way.
//      Alt + a letter or digit that nothing claims (no button, no caption's mnemonic) is used up
//      too: it never types the letter into the field;
//   4. F1: help;
//   5. Esc: the cancel button (when visible and enabled);
//   6. Enter: on to the next field (TabTasteSenden) when Enter-as-Tab is on.
// While a pop-up (calendar, drop-down list) is open the window sees no key at all: the pop-up
// keeps Esc and Enter for itself.
class TastenVorschau : public QObject {
  Q_OBJECT
 public:
  explicit TastenVorschau(QWidget* fenster);
  ~TastenVorschau() override;

  using Handler = std::function<bool(QKeyEvent*)>;
  void HandlerSetzen(Handler handler) { m_handler = std::move(handler); }

  // Exact key and modifiers (Shift included); the action returns true when it used the key.
  void TasteZuordnen(int taste, Qt::KeyboardModifiers modifikatoren, std::function<bool()> aktion);
  // Ctrl or Alt (or both) with a letter; Shift does not matter.
  void BuchstabeZuordnen(Qt::Key buchstabe, std::function<void()> aktion);
  void BuchstabeZuordnen(Qt::Key buchstabe, Werkzeugleiste* leiste, const QString& knopf);

  void HilfeSetzen(std::function<void()> hilfe) { m_hilfe = std::move(hilfe); }
  void AbbrechenKnopfSetzen(QAbstractButton* knopf) { m_abbrechen = knopf; }

  // Enter moves to the next field. Not in push buttons, multi-line texts, cell editors of a grid,
  // and not in the widgets named as exceptions (with their children).
  void EnterAlsTabSetzen(bool an) { m_enterAlsTab = an; }
  void EnterAusnahme(QWidget* widget) { m_ausnahmen << widget; }

  QWidget* Fenster() const { return m_fenster; }
  // The letters claimed with Ctrl or Alt (Qt::Key_A ...): captions must not give them as mnemonics.
  QList<int> Buchstaben() const { return m_buchstaben.keys(); }

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  bool Bearbeiten(QWidget* empfaenger, QKeyEvent* taste);
  bool EnterGilt(QWidget* empfaenger) const;
  bool Vorgesehen(const QKeyEvent* taste) const;

  QPointer<QWidget> m_fenster;
  Handler m_handler;
  struct Zuordnung {
    int taste;
    Qt::KeyboardModifiers modifikatoren;
    std::function<bool()> aktion;
  };
  QList<Zuordnung> m_tasten;
  QHash<int, std::function<void()>> m_buchstaben;
  std::function<void()> m_hilfe;
  QPointer<QAbstractButton> m_abbrechen;
  bool m_enterAlsTab = true;
  QList<QPointer<QWidget>> m_ausnahmen;
};
