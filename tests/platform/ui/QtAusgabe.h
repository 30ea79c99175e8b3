#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <ostream>

// Readable gtest output for Qt values.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QDate& d, std::ostream* os) { *os << d.toString(Qt::ISODate).toStdString(); }

#include <QTest>
#include <QWidget>

// Types a text key by key; characters outside ASCII (umlauts) go as text events, as a German
// keyboard would deliver them.
inline void Tippen(QWidget* w, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 128)
      QTest::keyClick(w, char(c.unicode()));
    else
      QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}
