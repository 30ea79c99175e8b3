#pragma once

#include <QColor>
#include <QPointer>
#include <QStatusBar>

#include <optional>

class QLabel;
class QProgressBar;

// The status line of a work window: one text that follows the focus (each control that gets the
// focus writes its status tip, else its tool tip, into it), plus an optional progress display.
class StatusLeiste : public QStatusBar {
  Q_OBJECT
 public:
  explicit StatusLeiste(QWidget* eltern = nullptr);

  void TextSetzen(const QString& text);
  QString Text() const;
  void TextFarbeSetzen(const QColor& farbe);

  // Progress in percent, std::nullopt hides it.
  void FortschrittSetzen(std::optional<int> prozent);
  bool FortschrittSichtbar() const;

  // Follows the focus inside the window this bar belongs to (on by default).
  void FokusHilfeSetzen(bool an) { m_fokusHilfe = an; }

  // The help text of a control: its status tip, else its tool tip; for the inner parts of a
  // compound control (spin box, combo) the control's own.
  static QString HilfeText(const QWidget* widget);

 private:
  void FokusGewechselt(QWidget* alt, QWidget* neu);

  QLabel* m_text = nullptr;
  QProgressBar* m_fortschritt = nullptr;
  bool m_fokusHilfe = true;
};
