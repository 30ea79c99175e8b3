#include "platform/db/DbFehler.h"

#include <sqlite3.h>

QString DbFehler::Meldungstext() const {
  return QStringLiteral("Nr: ") + QString::number(Nummer) + QLatin1Char('\r') + QStringLiteral("Beschreibung: ") +
         Beschreibung;
}

DbFehler DbFehlerAufDeutsch(const DbFehler& fehler) {
  const int primaer = fehler.Nummer & 0xff;
  // The layer's own numbers (DbFehlerNr) lie outside SQLite's primary codes; a busy database is
  // described in German already.
  if (fehler.Nummer <= 0 || primaer > SQLITE_WARNING || primaer == SQLITE_BUSY) return fehler;
  QString text;
  switch (primaer) {
    case SQLITE_PERM:
    case SQLITE_AUTH:
      text = QStringLiteral("Der Zugriff auf die Datenbank wurde verweigert. Bitte prüfen Sie die Zugriffsrechte "
                            "für die Datei und ihren Ordner.");
      break;
    case SQLITE_ABORT:
    case SQLITE_INTERRUPT:
      text = QStringLiteral("Der Datenbankvorgang wurde abgebrochen. Bitte versuchen Sie es noch einmal.");
      break;
    case SQLITE_LOCKED:
      text = QStringLiteral("Eine Tabelle der Datenbank ist gerade gesperrt. Bitte versuchen Sie es in einigen "
                            "Sekunden noch einmal.");
      break;
    case SQLITE_NOMEM:
      text = QStringLiteral("Der Arbeitsspeicher reicht nicht aus. Bitte schließen Sie andere Programme und versuchen "
                            "Sie es noch einmal.");
      break;
    case SQLITE_READONLY:
      text = QStringLiteral("Die Datenbank ist schreibgeschützt. Bitte prüfen Sie die Schreibrechte für die Datei "
                            "und ihren Ordner.");
      break;
    case SQLITE_IOERR:
      text = QStringLiteral("Die Datenbankdatei konnte nicht gelesen oder geschrieben werden (Ein-/Ausgabefehler). "
                            "Bitte prüfen Sie den Datenträger bzw. die Netzwerkverbindung.");
      break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
      text = QStringLiteral("Die Datenbankdatei ist beschädigt oder keine Datenbank. Bitte lassen Sie die Datei "
                            "reparieren oder spielen Sie eine Sicherung zurück.");
      break;
    case SQLITE_FULL:
      text = QStringLiteral("Der Datenträger ist voll. Bitte schaffen Sie Platz und versuchen Sie es noch einmal.");
      break;
    case SQLITE_CANTOPEN:
      text = QStringLiteral("Die Datenbankdatei kann nicht geöffnet werden. Bitte prüfen Sie, ob die Datei und ihr "
                            "Ordner vorhanden und erreichbar sind.");
      break;
    case SQLITE_TOOBIG:
      text = QStringLiteral("Ein Wert ist zu groß für die Datenbank.");
      break;
    case SQLITE_CONSTRAINT:
      text = QStringLiteral("Eine Regel der Datenbank wurde verletzt (zum Beispiel ein doppelter Schlüssel oder ein "
                            "fehlender Pflichtwert).");
      break;
    case SQLITE_MISMATCH:
      text = QStringLiteral("Ein Wert hat nicht den Datentyp seines Feldes.");
      break;
    case SQLITE_SCHEMA:
      text = QStringLiteral("Der Aufbau der Datenbank wurde inzwischen geändert. Bitte versuchen Sie es noch einmal.");
      break;
    case SQLITE_ERROR:
      text = QStringLiteral("Die Datenbankabfrage ist fehlgeschlagen: eine Tabelle oder ein Feld fehlt oder hat "
                            "nicht den erwarteten Aufbau.");
      break;
    default:
      text = QStringLiteral("Interner Fehler der Datenbank.");
  }
  return {fehler.Nummer, text};
}
