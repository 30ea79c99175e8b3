#pragma once

#include "platform/ui/Meldung.h"

class QString;

// The real message and input boxes (the only place that uses QMessageBox and QInputDialog).
class MeldungsDialoge : public MeldungsBackend {
 public:
  MeldungsAntwort Zeigen(const MeldungsAnfrage& anfrage, QWidget* eltern) override;
  std::optional<QString> Eingabe(const EingabeAnfrage& anfrage, QWidget* eltern) override;

  // Text as the box shows it: "\r\n" and "\r" become line breaks; lines with tabs become an HTML table
  // so that the columns line up. Plain text otherwise.
  static QString Darstellung(const QString& text, bool* alsHtml);
};
