#pragma once

#include <QString>

#include <optional>

// The calculator's arithmetic: + - * / (also × ÷ −), parentheses, unary signs, German decimal comma.
// A dot between groups of three digits is a thousands separator ("1.234,5"); any other dot is read
// as a decimal point ("1.5"). UI-free, so the window only shows what comes back.
class Rechenausdruck {
 public:
  struct Ergebnis {
    std::optional<double> wert;   // empty when the expression could not be evaluated
    QString fehler;               // German message when `wert` is empty
    int position = -1;            // character position of the fault, -1 when not tied to one
  };

  static Ergebnis Auswerten(const QString& ausdruck);

  // The value as the calculator shows and copies it: decimal comma, no grouping, at most ten
  // decimals, trailing zeros dropped ("1234,5", "-0,3333333333").
  static QString ZahlText(double wert);
};
