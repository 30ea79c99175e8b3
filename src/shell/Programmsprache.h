#pragma once

class QCoreApplication;
class QTranslator;

// German for what Qt itself shows: the default locale (numbers, dates, day and month names) and
// Qt's own texts - the standard dialogs (file, folder, font), the context menu of the input fields.
class Programmsprache {
 public:
  // Sets the locale and installs Qt's German translation, owned by the application. Returns the
  // translator, or nullptr when the system has no German Qt translation (Qt's texts stay English).
  static QTranslator* Einrichten(QCoreApplication& anwendung);
};
