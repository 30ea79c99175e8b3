#pragma once

#include <QString>
#include <QStringList>

class Datenbank;

// What a take-over of addresses from Tamo-Varix brought.
struct AdressenUebernahmeErgebnis {
  bool Ok = false;
  QString Meldung;            // when not Ok: what went wrong ("Nr: "/"Beschreibung: "); nothing was taken over
  qint64 Neu = 0;             // addresses inserted
  qint64 Uebersprungen = 0;   // number already present (or twice in the file)
  QStringList Abgewiesen;     // addresses that cannot be stored, each "<number>: <reason>"

  // The message for the user: new and skipped ones, and the refused ones by number.
  QString Zusammenfassung() const;
};

// Takes addresses over from the database of the earlier payment program Tamo-Varix (an SQLite file with
// the table `Adressen`: OPKontoNr, Suchname, Name, Bank, BLZ, KontoNr) into the program's own table
// `Adressen`. The file is only read. An address whose number is already present (compared as the key
// compares: without regard to case, umlauts included) is skipped; one without number or with a value
// longer than its field is refused and named. All inserts run in one transaction.
class AdressenUebernahme {
 public:
  // Where the chosen file is remembered (registry section and key).
  static QString Abschnitt() { return QStringLiteral("Import"); }
  static QString Schluessel() { return QStringLiteral("TamoVarixDatenbank"); }
  // The earlier program's usual place, offered when nothing is remembered yet.
  static QString VorgabeDatei() { return QStringLiteral("C:\\Programme\\Tamo-Varix für Windows\\TamoVarix.MDB"); }

  static QString GemerkteDatei();
  static void DateiMerken(const QString& datei);

  static AdressenUebernahmeErgebnis Uebernehmen(Datenbank& ziel, const QString& quellDatei);
};
