#pragma once

#include <QString>
#include <QStringList>

// Report files live in the program folder; their names are compared without letter case.

// The report files of a base name in `verzeichnis` (names only, sorted, letter case ignored).
QStringList Reportdateien(const QString& reportname, const QString& verzeichnis);
// The file-name part of a stored report name (a folder in front, with either separator, is dropped).
QString ReportDateiname(const QString& gespeicherterName);
// The full path of a stored report name in `verzeichnis`: only its file-name part counts and the letter
// case is ignored. Empty when no such file exists.
QString ReportdateiFinden(const QString& gespeicherterName, const QString& verzeichnis);
// The first free name base name + 1, 2, ... + ".LST" in `verzeichnis`.
QString NeuerReportname(const QString& reportname, const QString& verzeichnis);
// A report file chosen outside `verzeichnis` (the program folder) is copied in: under its own name when
// that is free, else under its name followed by 1, 2, ...; no file is ever replaced. Returns the path
// in `verzeichnis` (the file itself when it lies there); empty, with `fehler` set, when the copy failed.
QString ReportdateiUebernehmen(const QString& datei, const QString& verzeichnis, QString& fehler);
// The description a report file gives itself ("ohne Beschreibung" for none or an unreadable file).
QString ReportBeschreibung(const QString& datei);
// The project type by the file's extension (.LST list, .CRD card, .LBL label), else `bisher`.
int ReportProjekttyp(const QString& datei, int bisher);
