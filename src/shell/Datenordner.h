#pragma once

#include <QString>

// Change of the data folder ("Datenlaufwerk"): the database is closed, the new folder's database
// opened; when that fails the old folder and its database come back. Nothing is stored before
// the new database opened.
class Datenordner {
 public:
  struct Ergebnis {
    bool ok = false;
    QString meldung;   // why the change was refused (for the user)
    QString hinweis;   // a note of the reopening (linked tables)
    bool warnung = false;   // the note names a problem
  };

  static Ergebnis Wechseln(const QString& ordner);
};
