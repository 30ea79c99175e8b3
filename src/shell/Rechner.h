#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The modeless calculator: an expression line, a keypad, the result line and "Kopieren".
// The arithmetic is Rechenausdruck; this window only reads the line and shows the answer.
class Rechner : public QDialog {
  Q_OBJECT
 public:
  explicit Rechner(QWidget* eltern = nullptr);

  // Evaluates the expression line; a fault is reported through Meldung and the caret put on it.
  bool Berechnen();
  // Copies the result (or, before any result, the expression's value) to the clipboard.
  void Kopieren();

  QLineEdit* Ausdruck() const { return m_ausdruck; }
  QString Ergebnis() const;

 protected:
  void keyPressEvent(QKeyEvent* ereignis) override;
  void closeEvent(QCloseEvent* ereignis) override;

 private:
  void Einfuegen(const QString& text);

  QLineEdit* m_ausdruck;
  QLineEdit* m_ergebnis;
};
