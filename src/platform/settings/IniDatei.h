#pragma once

#include <QHash>
#include <QString>

#include <optional>

// Our own reader of INI files (the program's INI, report files): no splitting at commas,
// sections and keys case-insensitive, the first occurrence of a key wins, ";" lines are comments.
// Read as UTF-8 when valid, else as Latin-1.
class IniDatei {
 public:
  static std::optional<IniDatei> Laden(const QString& datei);
  static IniDatei AusText(const QString& text);

  QString Wert(const QString& abschnitt, const QString& schluessel, const QString& vorgabe = {}) const;
  bool Vorhanden(const QString& abschnitt, const QString& schluessel) const;

 private:
  QHash<QString, QHash<QString, QString>> m_werte;  // lower-case section -> lower-case key -> value
};
