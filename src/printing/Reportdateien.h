#pragma once

#include <QString>
#include <QStringList>

// Report files live in the program folder; their names are compared without letter case.

// The report files of a base name in the program folder (names only, sorted, letter case ignored).
QStringList Reportdateien(const QString& reportname);
// The file-name part of a stored report name (a folder in front, with either separator, is dropped).
QString ReportDateiname(const QString& gespeicherterName);
// The full path of a stored report name in `ordner` (default: the program folder): only its file-name
// part counts and the letter case is ignored. Empty when no such file exists.
QString ReportdateiFinden(const QString& gespeicherterName, const QString& ordner = {});
// The first free name base name + 1, 2, ... + ".LST".
QString NeuerReportname(const QString& reportname);
// A report file chosen outside the program folder is copied in: under its own name when that is
// free, else under its name followed by 1, 2, ...; no file is ever replaced. Returns the path in the
// program folder (the file itself when it lies there); empty, with `fehler` set, when the copy failed.
QString ReportdateiUebernehmen(const QString& datei, QString& fehler);
