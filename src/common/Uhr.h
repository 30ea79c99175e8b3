#pragma once

#include <QDate>
#include <QDateTime>

#include <functional>

// The one clock of the program. Tests fix it; nothing else reads the system time.
class Uhr {
 public:
  static QDate Heute() { return Jetzt().date(); }
  static QDateTime Jetzt() { return s_quelle ? s_quelle() : QDateTime::currentDateTime(); }
  // Fixes the clock (tests); an empty function returns to the system time.
  static void Setzen(std::function<QDateTime()> quelle) { s_quelle = std::move(quelle); }
  static void Festhalten(const QDateTime& zeitpunkt) { s_quelle = [zeitpunkt] { return zeitpunkt; }; }

 private:
  static inline std::function<QDateTime()> s_quelle;
};
