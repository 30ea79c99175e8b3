#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

#include "platform/db/Datenbank.h"

// What a SEPA run notes in table SepaLaufDateien so that a crash never leaves orders marked without their
// file or a file without its marks: 'B' (begun, its folder) before the first temporary file; in the
// transaction that marks the orders one 'U' per file (rename temporary -> final, with size, checksum, the
// orders in it and the dates they were marked with), 'L' per stale split file to delete and 'K' per archive
// copy; all rows go once the files are in place. Nachholen finishes what an interrupted run left, at every
// opening; a file whose orders were changed meanwhile is dropped instead (it would pay them a second time).
class SepaLaufVermerke {
 public:
  struct Eintrag {
    QChar art;               // 'B', 'U', 'L', 'K'
    QString ordner;          // B: the run's folder
    QString temporaer;       // U: temporary file; K: the final file to copy
    QString ziel;            // U: final file; L: file to delete; K: the archive copy
    qint64 groesse = 0;      // U
    QByteArray pruefsumme;   // U: SichereDateien::Pruefsumme, hex
    QList<qint64> zahlungen; // U: the orders in the file
    // U: ErledigtDatum and Buchungsdatum the run gave the orders (column Zahlungen before the numbers as
    // "yyyy-MM-dd;yyyy-MM-dd;"); invalid in the records of an earlier version.
    QDate erledigtDatum = {};
    QDate buchungsdatum = {};
  };

  static DbFehler Beginnen(Datenbank& db, const QString& lauf, const QString& ordner);
  // Inside the caller's transaction.
  static DbFehler Vormerken(Datenbank& db, const QString& lauf, const QList<Eintrag>& eintraege);
  static DbFehler Loeschen(Datenbank& db, const QString& lauf);

  // A new run id (16 hex digits; part of every temporary name of the run).
  static QString NeueKennung();
  // Temporary files this program makes (the one form of SichereDateien) may be deleted when no record names
  // them and no live writer holds them; others (from an earlier version) are only named to the user.
  static bool IstEigeneTemporaerdatei(const QString& pfad);

  // A run whose orders are marked done while its files are not all in place: one under way (its lock is
  // held on some workstation) or one interrupted (its records wait for the next opening).
  enum class Stand { Keiner, Laeuft, Unterbrochen };
  static Stand OffenerLauf(Datenbank& db, DbFehler& fehler);

  struct Abschluss {
    QStringList fertig;          // files of interrupted runs now complete in place
    QStringList fertigAlt;       // ... of them, in the older format the banks no longer take (by the clock)
    QStringList fehlend;         // files of interrupted runs that are lost (their orders stay marked)
    QStringList verworfen;       // files dropped because orders in them were changed meanwhile (with what was done)
    QStringList geloescht;       // temporary files of runs or writers that are gone, deleted
    QStringList unbekannt;       // temporary files of an earlier program version, left alone
    QStringList probleme;        // steps that failed (they are tried again at the next opening)
    bool gesperrt = false;       // another workstation's run is under way: nothing was touched
    DbFehler fehler;
    // The message for the user, empty when there is nothing to tell.
    QString Meldung() const;
    // Something the user has to look at (lost or dropped files, steps that failed), not only news.
    bool Warnung() const {
      return !fehlend.isEmpty() || !verworfen.isEmpty() || !fertigAlt.isEmpty() || !probleme.isEmpty() || !unbekannt.isEmpty() || fehler;
    }
  };
  // Finishes the runs that `db` still notes and deletes stray temporary files in their folders, in
  // `weitereOrdner` (the SEPA folder, the data folder, the program folder) and in the archive folder of each.
  // Does nothing while another process runs a file.
  static Abschluss Nachholen(Datenbank& db, const QStringList& weitereOrdner);
  // The same at an opening of the program or the SEPA window: the stored SEPA folder, the data folder and,
  // when given, the program folder (report files saved there).
  static Abschluss BeimOeffnen(Datenbank& db, const QString& datenVerzeichnis, const QString& programmVerzeichnis = {});
};
