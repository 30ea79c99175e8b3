#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "platform/db/Datenbank.h"
#include "sepafiles/core/SepaAbsender.h"
#include "sepafiles/core/SepaLaufAnfrage.h"
#include "sepafiles/core/SepaLaufErgebnis.h"
#include "sepafiles/core/SepaLaufStoerung.h"

// The SEPA run behind the create command: takes the orders the selection checked (or reads and judges the
// ones handed in by number), plans the files, streams each one completely under a temporary name into the
// target folder (SichereDateien) while it marks exactly the written orders done (one statement per booking
// date), stores the raised reference and the message ids sent and notes the pending renames in one
// transaction (SepaLaufVermerke) committed once every file is complete, synced and accepted by the ISO and
// the DK schema of its format (SepaSchemapruefung, checked while it is written), and only then renames the
// files into place, syncs the folder and clears the notes. Orders another workstation changed since they were
// read stop the run before anything is committed. A message id this sender sent before is refused before
// anything is written. Nothing is marked without its file and no file is left without its marks: a failure
// before the commit removes the temporary files and changes nothing; a failing rename after the commit puts
// back the files it replaced and reverts the marks and the reference; a crash after the commit is finished at
// the next opening (SepaLaufVermerke::Nachholen). One run at a time per database (SepaLaufSperre).
class SepaLauf {
 public:
  static SepaLaufErgebnis Ausfuehren(Datenbank& db, const SepaLaufAnfrage& anfrage,
                                     const SepaLaufStoerung* stoerung = nullptr);

  // The create command's checks, in its order: reference, execution date (credit transfers), lead days 0-14
  // and creditor identifier (direct debits) (SepaVorpruefung). Empty when the run may start.
  static QString Vorpruefen(const SepaLaufAnfrage& anfrage, const SepaAbsender& absender);

  // The sender's values for the file; nullopt with `fehler` set when it cannot be read or is missing.
  static std::optional<SepaAbsender> AbsenderLesen(Datenbank& db, int absenderNr, DbFehler& fehler);
  // The condition of a run's orders: these numbers, open, of the sender and kind.
  static Bedingung Laufbedingung(int absenderNr, SepaArt art, const QList<qint64>& nummern);
  // The statements that mark the orders of the files done and open again (the test pins their plans).
  static SqlText MarkierenSql();
  static SqlText ZuruecknehmenSql();

  // Writes and removes a temporary file of its own in `ordner`; never touches another file.
  static bool Schreibtest(const QString& ordner, int& nummer, QString& beschreibung);
  // Temporary files of an interrupted run in `ordner` (full paths), for the window to name.
  static QStringList Restdateien(const QString& ordner);
  // Ending of every temporary file a run makes.
  static QString TemporaereEndung() { return QStringLiteral(".sepatmp"); }

  // The messages of the run.
  static QString Schreibtestmeldung(int nummer, const QString& beschreibung);
  static QString Fehlermeldung(int nummer, const QString& beschreibung);
  static QString KeineZahlungenMeldung();
};
