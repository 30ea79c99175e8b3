#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Readable QString output in GoogleTest failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texte, std::ostream* os) {
  *os << '{';
  for (const QString& t : texte) *os << " \"" << t.toStdString() << '"';
  *os << " }";
}
