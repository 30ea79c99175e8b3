#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "common/Dateifunktionen.h"

// Files that appear under their final names complete or not at all. Each is written under a temporary
// name in its target folder and forced to disk; Einsetzen renames it over its final name, after an existing
// file of that name has been moved aside; OrdnerSynchronisieren makes the renames durable. Until
// Abschliessen the files moved aside are kept, so that Zuruecknehmen can put the folders back as they were.
// Every failure is a DateiFehler naming the path.
//
// Every temporary of the program has one form of name, "<final name>.<16 hex digits>.sepatmp" (a file
// moved aside: "<final name>.alt-<16 hex digits>.sepatmp"), so that the recovery at the next opening finds
// what a killed writer left (IstTemporaerdatei). A writer holds a lock of its temporary from its creation
// until it is renamed or removed; the system drops the lock when the process ends, however it ends, so a
// temporary that nobody holds (InBenutzung false) was left by a writer that is gone.
class SichereDateien {
 public:
  // The lock of a live writer on its temporary; released with the last copy.
  using Belegung = std::shared_ptr<const int>;

  struct Datei {
    QString ziel;         // final path
    QString temporaer;    // the complete new file until it is in place
    QString beiseite;     // an older file of the final name while the new one goes in
    qint64 groesse = 0;
    QByteArray pruefsumme;   // BLAKE2b-256 of the content, hex
    bool eingesetzt = false;
    bool altBeiseite = false;
    Belegung belegung;       // while the temporary is this object's
  };

  explicit SichereDateien(QString kennung, QString endung = Endung());
  ~SichereDateien();   // removes temporaries of files never put in place
  SichereDateien(const SichereDateien&) = delete;
  SichereDateien& operator=(const SichereDateien&) = delete;

  const QString& Kennung() const { return m_kennung; }
  const QList<Datei>& Dateien() const { return m_dateien; }

  class Rohdatei;   // the system calls of one new file

  // One file written in pieces under its temporary name (a document too large to hold): Anhaengen as often
  // as needed, then Beenden syncs and closes it and it joins Dateien(). Dropped unfinished, or after a
  // failure, it leaves no temporary file. Its SichereDateien must outlive it. The pieces may be appended on
  // another thread than the one that ends the stream (not at the same time); the system starts writing them
  // to disk as they come, so that the sync at the end has little left to wait for.
  class Strom {
   public:
    ~Strom();
    Strom(const Strom&) = delete;
    Strom& operator=(const Strom&) = delete;
    DateiFehler Anhaengen(QByteArrayView daten);
    DateiFehler Beenden();
    qint64 Groesse() const { return m_datei.groesse; }

   private:
    friend class SichereDateien;
    Strom(SichereDateien& besitzer, Datei datei);
    SichereDateien& m_besitzer;
    Datei m_datei;
    QCryptographicHash m_summe;
    std::unique_ptr<Rohdatei> m_roh;
    DateiFehler m_fehler;   // a failed piece fails the rest
  };
  // Opens the temporary file of `ziel` for a Strom; nullptr with `fehler` set when it cannot be created.
  std::unique_ptr<Strom> Oeffnen(const QString& ziel, DateiFehler& fehler);

  // Writes `inhalt` completely under the temporary name of `ziel` and syncs it.
  DateiFehler Schreiben(const QString& ziel, const QByteArray& inhalt);
  // Puts file `i` in place.
  DateiFehler Einsetzen(qsizetype i);
  // Syncs every folder that got a file, so that the renames survive a crash.
  DateiFehler OrdnerSynchronisieren();
  // Back to before Einsetzen: each file in place goes back to its temporary name, the older files back to
  // theirs. Returns what could not be put back (paths with the reason).
  QStringList Zuruecknehmen();
  // Deletes the temporaries of files not in place.
  void Verwerfen();
  // Forgets the files without touching them (their temporaries are still needed, e.g. by a pending record).
  void Loslassen() { m_dateien.clear(); }
  // The files are final: deletes the older files kept aside. Returns the paths that could not be deleted.
  QStringList Abschliessen();

  // The temporary name of `ziel` for a run `kennung`.
  static QString TemporaererName(const QString& ziel, const QString& kennung, const QString& endung);
  // Where an older file of the name waits while the new one of run `kennung` goes in.
  static QString BeiseiteName(const QString& ziel, const QString& kennung, const QString& endung = Endung());
  // Ending of every temporary; a new id of 16 hex digits for the name.
  static QString Endung() { return QStringLiteral(".sepatmp"); }
  static QString NeueKennung();
  // True for a name of the program's one form of temporary names (not those of an earlier version).
  static bool IstTemporaerdatei(const QString& pfad);
  // True while a live writer (of any process) holds the temporary `pfad` (or any process a write lock of the
  // file); also when that cannot be told. A missing file is free.
  static bool InBenutzung(const QString& pfad);
  // The checksum of a content as Datei::pruefsumme holds it: BLAKE2b-256 in hex (as fast as the disk, where
  // SHA-256 took as long as building a large file).
  static QByteArray Pruefsumme(QByteArrayView inhalt);
  // True when `pfad` is a file of exactly `groesse` bytes with the checksum `pruefsumme` (BLAKE2b-256, or
  // SHA-256 as the records of an earlier version hold it).
  static bool Vollstaendig(const QString& pfad, qint64 groesse, const QByteArray& pruefsumme);
  // One file written completely and synced (a new file: an existing one of the name is an error). Messages
  // name `anzeige` (the final name of a temporary file) when given.
  static DateiFehler NeuSchreiben(const QString& pfad, const QByteArray& inhalt, const QString& anzeige = {});
  // Replaces (or creates) one file in one step: complete under a temporary name, renamed, folder synced.
  static DateiFehler Ersetzen(const QString& ziel, const QByteArray& inhalt);
  // The same with the content of the file `quelle`, copied in blocks (never held whole in memory).
  static DateiFehler Kopieren(const QString& quelle, const QString& ziel);
  // Rename that replaces an existing target in one step.
  static DateiFehler Umbenennen(const QString& von, const QString& nach);
  static DateiFehler OrdnerSynchronisieren(const QString& ordner);

  // Test seam: called before each system call with its name ("open", "write", "fsync", "close", "rename",
  // "fsyncdir") and path; a non-zero result fails the call with that errno, -1 makes a write short.
  using Stoerung = std::function<int(const char* aufruf, const QString& pfad)>;
  static void StoerungSetzen(Stoerung stoerung);

 private:
  QString m_kennung;
  QString m_endung;
  QList<Datei> m_dateien;
};
