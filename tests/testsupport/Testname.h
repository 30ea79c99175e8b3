#pragma once

#include <QString>
#include <QStringList>

#include <string>

// Readable, stable names for the rows of parameterised suites, so that ctest lists
// "Tabelle/Bic.AchtOderElfZeichen/DEUTDEF_zuKurz" instead of a row number or a byte dump: the
// parts joined by "_", umlauts spelled out, every other character outside A-Z, a-z, 0-9 dropped
// (a blank starts a new word with a capital). An empty result is "leer".
std::string Testname(const QStringList& teile);
inline std::string Testname(const QString& text) { return Testname(QStringList{text}); }
inline std::string Testname(const char* text) { return Testname(QStringList{QString::fromUtf8(text)}); }

// For rows told apart by their punctuation (amounts, dates, hostile texts): every character
// outside A-Z, a-z, 0-9 is spelled out ("-12,5" gives "Minus12Komma5"), so different texts keep
// different names.
std::string TestnameBuchstabiert(const QString& text);
inline std::string TestnameBuchstabiert(const char* text) { return TestnameBuchstabiert(QString::fromUtf8(text)); }
