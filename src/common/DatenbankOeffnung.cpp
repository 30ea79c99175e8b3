#include "common/DatenbankOeffnung.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

#include "common/Dateifunktionen.h"
#include "iban/Kennungsform.h"
#include "platform/db/Speicherort.h"

namespace {

using Ergebnis = DatenbankOeffnung::Ergebnis;

QString Nativ(const QString& pfad) { return QDir::toNativeSeparators(pfad); }

Ergebnis Abgelehnt(const DbFehler& f, const QString& meldung) {
  Ergebnis e;
  e.fehler = f;
  e.meldung = meldung;
  return e;
}

// The end of every refusal: the file is left as it is, and what the user can do.
QString Unveraendert(const QString& rat) {
  return QStringLiteral("\rDie Datei wird nicht verändert.") + (rat.isEmpty() ? QString() : QLatin1Char(' ') + rat);
}
QString AndereDatei() {
  return Unveraendert(QStringLiteral("Bitte prüfen Sie, ob die richtige Datei an dieser Stelle liegt, oder spielen "
                                     "Sie eine Datensicherung der Datenbank zurück."));
}
QString Beschaedigt() {
  return Unveraendert(QStringLiteral("Bitte arbeiten Sie nicht mit ihr weiter, sondern spielen Sie eine "
                                     "Datensicherung zurück oder wenden Sie sich an Ihren Betreuer."));
}

// Why the program could not write the file or its journal beside it; empty when it can.
QString Schreibschutz(const QString& datei) {
  const QFileInfo info(datei);
  const QString ordner = Nativ(info.absolutePath());
  // The file's own read-only mark counts even for a user whom the system would let write.
  if (!(info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)))
    return QStringLiteral("Die Datenbank %1 ist schreibgeschützt.").arg(Nativ(datei));
#ifdef Q_OS_UNIX
  if (::access(QFile::encodeName(datei).constData(), W_OK) != 0) {
    if (errno == EROFS) return QStringLiteral("Die Datenbank %1 liegt auf einem schreibgeschützten Datenträger.").arg(Nativ(datei));
    return QStringLiteral("Die Datenbank %1 ist schreibgeschützt.").arg(Nativ(datei));
  }
  if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK | X_OK) != 0)
    return QStringLiteral("Im Ordner %1 der Datenbank %2 darf nicht geschrieben werden.").arg(ordner, Nativ(datei));
#endif
  return {};
}

std::optional<qint64> Ganzzahl(Datenbank& db, const SqlText& sql, DbFehler& f) {
  const std::optional<QVariant> w = db.Wert(sql, {}, f);
  if (f) return std::nullopt;
  return w ? w->toLongLong() : 0;
}

QStringList Tabellen(Datenbank& db, DbFehler& f) {
  QStringList namen;
  f = db.Abfragen("SELECT name FROM main.sqlite_master WHERE type = 'table' AND substr(name, 1, 7) <> 'sqlite_'", {},
                  [&](const Zeile& z) {
                    namen << z.Wert(0).toString();
                    return true;
                  });
  return namen;
}

struct Objekt {
  QString typ, name, sql;
};

std::vector<Objekt> Objekte(Datenbank& db, DbFehler& f) {
  std::vector<Objekt> objekte;
  f = db.Abfragen("SELECT type, name, sql FROM main.sqlite_master WHERE sql IS NOT NULL AND "
                  "substr(name, 1, 7) <> 'sqlite_' ORDER BY rowid",
                  {}, [&](const Zeile& z) {
                    objekte.push_back({z.Wert(0).toString(), z.Wert(1).toString(), z.Wert(2).toString()});
                    return true;
                  });
  return objekte;
}

struct Spalte {
  QString name, typ;
  int pk = 0;
};

std::vector<Spalte> Spalten(Datenbank& db, const QString& tabelle, DbFehler& f) {
  std::vector<Spalte> spalten;
  f = db.Abfragen("SELECT name, type, pk FROM pragma_table_info(?, 'main')", {tabelle}, [&](const Zeile& z) {
    spalten.push_back({z.Wert(0).toString(), z.Wert(1).toString(), int(z.Wert(2).toLongLong())});
    return true;
  });
  return spalten;
}

// A table whose INTEGER PRIMARY KEY is the rowid: the key column carries the rowid over by itself.
bool RowidAlias(const std::vector<Spalte>& spalten) {
  int schluessel = 0;
  bool ganzzahl = false;
  for (const Spalte& s : spalten)
    if (s.pk > 0) {
      ++schluessel;
      ganzzahl = s.typ.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
    }
  return schluessel == 1 && ganzzahl;
}

const Spalte* Finden(const std::vector<Spalte>& spalten, const QString& name) {
  for (const Spalte& s : spalten)
    if (s.name.compare(name, Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

QString Gefunden(const QStringList& liste, const QString& name) {
  for (const QString& n : liste)
    if (n.compare(name, Qt::CaseInsensitive) == 0) return n;
  return {};
}

// Copies every row (rowid included) of `alt` into the new table `neu`, then its AUTOINCREMENT counter.
DbFehler ZeilenUebernehmen(Datenbank& db, const QString& alt, const QString& neu) {
  DbFehler f;
  const std::vector<Spalte> neue = Spalten(db, neu, f);
  if (f) return f;
  const std::vector<Spalte> alte = Spalten(db, alt, f);
  if (f) return f;
  QList<SqlText> ziel, quelle;
  if (!RowidAlias(neue)) {
    ziel << SqlText("rowid");
    quelle << SqlText("rowid");
  }
  for (const Spalte& s : neue) {
    if (const Spalte* a = Finden(alte, s.name)) {
      ziel << SqlText::Bezeichner(s.name);
      quelle << SqlText::Bezeichner(a->name);
    }
  }
  const SqlText neuT = SqlText::Bezeichner(QStringLiteral("main.") + neu);
  const SqlText altT = SqlText::Bezeichner(QStringLiteral("main.") + alt);
  if ((f = db.Ausfuehren(SqlText("INSERT INTO ") + neuT + SqlText(" (") + SqlText::Verbinden(ziel, SqlText(", ")) +
                         SqlText(") SELECT ") + SqlText::Verbinden(quelle, SqlText(", ")) + SqlText(" FROM ") + altT +
                         SqlText(" ORDER BY rowid"))))
    return f;
  const auto vorher = Ganzzahl(db, SqlText("SELECT count(*) FROM ") + altT, f);
  if (f) return f;
  const auto nachher = Ganzzahl(db, SqlText("SELECT count(*) FROM ") + neuT, f);
  if (f) return f;
  if (vorher != nachher)
    return {SQLITE_ERROR, QStringLiteral("Tabelle %1: %2 statt %3 Zeilen übernommen.").arg(neu).arg(*nachher).arg(*vorher)};
  // Numbers are never used twice: the counter goes on where the old table's stood.
  const auto zaehler = db.Wert("SELECT seq FROM main.sqlite_sequence WHERE name = ?", {alt}, f);
  if (f) return f;
  if (zaehler && !zaehler->isNull()) {
    if ((f = db.Ausfuehren("INSERT INTO main.sqlite_sequence (name, seq) SELECT ?, 0 WHERE NOT EXISTS "
                           "(SELECT 1 FROM main.sqlite_sequence WHERE name = ?)",
                           {neu, neu})))
      return f;
    if ((f = db.Ausfuehren("UPDATE main.sqlite_sequence SET seq = max(seq, ?) WHERE name = ?", {*zaehler, neu})))
      return f;
  }
  return {};
}

// Version 3 stores the kind of an order in one spelling: the rules, the selection and the writer compare it
// exactly, and an "l" once skipped the mandate checks.
DbFehler ZahlungsartVereinheitlichen(Datenbank& db) {
  return db.Ausfuehren(
      "UPDATE main.Zahlungen SET Art = upper(trim(Art, char(32, 9, 10, 13))) WHERE upper(trim(Art, char(32, 9, 10, 13))) "
      "IN ('G', 'L') AND Art <> upper(trim(Art, char(32, 9, 10, 13))) COLLATE BINARY");
}

// Before version 4 the sent message ids belonged to a sender record and went with it. From version 4 they belong to
// the sender's account: each row gets its sender's IBAN in the stored form (a sender always existed, the old table
// cascaded its deletion). Two records of one account that sent the same id keep the earliest row. A sender without
// an IBAN leaves its ids with an empty account, which no run can send from.
DbFehler ReferenzenKontenZuordnen(Datenbank& db, const QString& alt) {
  if (DbFehler f = db.TextfunktionRegistrieren(QStringLiteral("tamo_kontoform"), [](const QString& text) {
        return std::optional<QString>(Kennungsform::Kompakt(text));
      }))
    return f;
  return db.Ausfuehren(SqlText("INSERT OR IGNORE INTO main.GesendeteReferenzen (IBAN, Referenz, AbsenderNr, Erstellt) "
                               "SELECT coalesce(tamo_kontoform(a.IBAN), ''), r.Referenz, r.AbsenderNr, r.Erstellt FROM ") +
                       SqlText::Bezeichner(QStringLiteral("main.") + alt) +
                       SqlText(" AS r LEFT JOIN main.Absender AS a ON a.AbsenderNr = r.AbsenderNr "
                               "ORDER BY r.Erstellt IS NULL, r.Erstellt, r.rowid"));
}

bool HatSpalte(Datenbank& db, const QString& tabelle, const QString& spalte, DbFehler& f) {
  const std::vector<Spalte> spalten = Spalten(db, tabelle, f);
  return Finden(spalten, spalte) != nullptr;
}

DbFehler InTransaktionMigrieren(Datenbank& db, const std::vector<Objekt>& neu, qint64 kennung, qint64 version) {
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  DbFehler f;
  const QStringList vorhanden = Tabellen(db, f);
  if (f) return f;
  const std::vector<Objekt> alt = Objekte(db, f);
  if (f) return f;
  for (const Objekt& o : alt)
    if (o.typ == QLatin1String("index") || o.typ == QLatin1String("trigger") || o.typ == QLatin1String("view"))
      if ((f = db.Ausfuehren(SqlText("DROP ") + (o.typ == QLatin1String("index")     ? SqlText("INDEX ")
                                                 : o.typ == QLatin1String("trigger") ? SqlText("TRIGGER ")
                                                                                      : SqlText("VIEW ")) +
                             SqlText::Bezeichner(QStringLiteral("main.") + o.name))))
        return f;
  QList<QPair<QString, QString>> umbenannt;   // new name, old table under its temporary name
  for (const Objekt& o : neu) {
    if (o.typ != QLatin1String("table")) continue;
    const QString alte = Gefunden(vorhanden, o.name);
    if (alte.isEmpty()) continue;
    const QString zwischen = o.name + QStringLiteral("__v1");
    if ((f = db.Ausfuehren(SqlText("ALTER TABLE ") + SqlText::Bezeichner(QStringLiteral("main.") + alte) +
                           SqlText(" RENAME TO ") + SqlText::Bezeichner(zwischen))))
      return f;
    umbenannt << qMakePair(o.name, zwischen);
  }
  for (const Objekt& o : neu)
    if (o.typ == QLatin1String("table"))
      if ((f = db.SkriptAusfuehren(o.sql))) return f;
  QString referenzenOhneKonto;   // the old sent message ids, once the senders are in place
  for (const auto& [name, zwischen] : umbenannt) {
    if (name.compare(QLatin1String("GesendeteReferenzen"), Qt::CaseInsensitive) == 0) {
      const bool mitKonto = HatSpalte(db, zwischen, QStringLiteral("IBAN"), f);
      if (f) return f;
      if (!mitKonto) {
        referenzenOhneKonto = zwischen;
        continue;
      }
    }
    if ((f = ZeilenUebernehmen(db, zwischen, name))) return f;
    if ((f = db.Ausfuehren(SqlText("DROP TABLE ") + SqlText::Bezeichner(QStringLiteral("main.") + zwischen)))) return f;
  }
  if (!referenzenOhneKonto.isEmpty()) {
    if ((f = ReferenzenKontenZuordnen(db, referenzenOhneKonto))) return f;
    if ((f = db.Ausfuehren(SqlText("DROP TABLE ") + SqlText::Bezeichner(QStringLiteral("main.") + referenzenOhneKonto))))
      return f;
  }
  if ((f = ZahlungsartVereinheitlichen(db))) return f;
  for (const Objekt& o : neu)
    if (o.typ != QLatin1String("table"))
      if ((f = db.SkriptAusfuehren(o.sql))) return f;
  if ((f = db.Ausfuehren(SqlText("PRAGMA main.application_id = ") + SqlText::Zahl(kennung)))) return f;
  if ((f = db.Ausfuehren(SqlText("PRAGMA main.user_version = ") + SqlText::Zahl(version)))) return f;
  return t.Commit();
}

// A file of the current version written by an earlier build may lack an index the program now relies on
// (or carry one of the same name over other columns): the indexes are brought in line with the schema in
// one transaction. Nothing is written when they already agree.
DbFehler IndizesAbgleichen(Datenbank& db, const QString& schemaSkript) {
  std::unique_ptr<Datenbank> vorlage = Datenbank::InSpeicher();
  if (DbFehler f = vorlage->SkriptAusfuehren(schemaSkript)) return f;
  DbFehler f;
  const std::vector<Objekt> soll = Objekte(*vorlage, f);
  if (f) return f;
  const std::vector<Objekt> ist = Objekte(db, f);
  if (f) return f;
  QList<const Objekt*> anlegen;
  QStringList entfernen;
  for (const Objekt& o : soll) {
    if (o.typ != QLatin1String("index")) continue;
    const auto da = std::find_if(ist.begin(), ist.end(), [&](const Objekt& i) {
      return i.typ == QLatin1String("index") && i.name.compare(o.name, Qt::CaseInsensitive) == 0;
    });
    if (da != ist.end() && da->sql == o.sql) continue;
    if (da != ist.end()) entfernen << da->name;
    anlegen << &o;
  }
  if (anlegen.isEmpty()) return {};
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  for (const QString& name : entfernen)
    if ((f = db.Ausfuehren(SqlText("DROP INDEX ") + SqlText::Bezeichner(QStringLiteral("main.") + name)))) return f;
  for (const Objekt* o : anlegen)
    if ((f = db.SkriptAusfuehren(o->sql))) return f;
  return t.Commit();
}


bool GleicherInhalt(const QString& a, const QString& b) {
  QFile x(a), y(b);
  if (!x.open(QIODevice::ReadOnly) || !y.open(QIODevice::ReadOnly) || x.size() != y.size()) return false;
  while (!x.atEnd())
    if (x.read(1 << 20) != y.read(1 << 20)) return false;
  return true;
}

// Copies the file aside before its migration. A copy already there (of an earlier migration, or another file
// put in place since) is never replaced: the new one takes the next free name "<file>.v<n>.<k>.bak", unless it
// is byte for byte one that is there (a start ended after its copy), which is kept as the only one.
DbFehler VorDerUmstellungSichern(Datenbank& db, const QString& datei, int version, QString& sicherung) {
  const QString erste = DatenbankOeffnung::SicherungsDatei(datei, version);
  sicherung = erste;
  if (!QFileInfo::exists(erste)) return db.Sichern(erste);
  QStringList vorhanden{erste};
  for (int k = 2;; ++k) {
    sicherung = datei + QStringLiteral(".v%1.%2.bak").arg(version).arg(k);
    if (!QFileInfo::exists(sicherung)) break;
    vorhanden << sicherung;
  }
  if (DbFehler f = db.Sichern(sicherung)) return f;
  for (const QString& alt : vorhanden)
    if (GleicherInhalt(alt, sicherung)) {
      QFile::remove(sicherung);
      sicherung = alt;
      break;
    }
  return {};
}

}  // namespace

QStringList DatenbankOeffnung::Tabellen(int version) {
  QStringList t = {QStringLiteral("Zahlungen"),      QStringLiteral("Verwendungszweck"), QStringLiteral("Adressen"),
                   QStringLiteral("Absender"),       QStringLiteral("Bankverbindung"),   QStringLiteral("Einstellungen")};
  if (version >= 2) t << QStringLiteral("GesendeteReferenzen") << QStringLiteral("SepaLaufDateien");
  return t;
}

QString DatenbankOeffnung::SicherungsDatei(const QString& datei, int version) {
  return datei + QStringLiteral(".v%1.bak").arg(version);
}

DbFehler DatenbankOeffnung::Migrieren(Datenbank& db, const QString& schemaSkript) {
  std::unique_ptr<Datenbank> vorlage = Datenbank::InSpeicher();
  if (DbFehler f = vorlage->SkriptAusfuehren(schemaSkript)) return f;
  DbFehler f;
  const std::vector<Objekt> neu = Objekte(*vorlage, f);
  if (f) return f;
  const auto kennung = Ganzzahl(*vorlage, "PRAGMA application_id", f);
  if (f) return f;
  const auto version = Ganzzahl(*vorlage, "PRAGMA user_version", f);
  if (f) return f;

  // Foreign keys stay as they are while tables are rebuilt (no cascade from a dropped table), and other
  // tables' references keep naming the tables by their final names.
  if ((f = db.Ausfuehren("PRAGMA foreign_keys=OFF"))) return f;
  db.Ausfuehren("PRAGMA legacy_alter_table=ON");
  f = InTransaktionMigrieren(db, neu, *kennung, *version);
  db.Ausfuehren("PRAGMA legacy_alter_table=OFF");
  if (DbFehler an = db.Ausfuehren("PRAGMA foreign_keys=ON"); an && !f) f = an;
  db.AnweisungenVerwerfen();
  return f;
}

DatenbankOeffnung::Ergebnis DatenbankOeffnung::Oeffnen(const QString& datei, const QString& schemaSkript) {
  const QFileInfo info(datei);
  const QString name = Nativ(datei);
  if (!info.exists())
    return Abgelehnt({DateiFehlerNr::DateiNichtGefunden, name},
                     QStringLiteral("Die Datenbank %1 wurde nicht gefunden.").arg(name));
  if (info.isDir())
    return Abgelehnt({DateiFehlerNr::ZugriffsFehler, name},
                     QStringLiteral("%1 ist ein Ordner und keine Datenbank.\rBitte benennen Sie den Ordner um und legen "
                                    "Sie die Datenbank an seine Stelle.").arg(name));
  if (info.size() == 0)
    return Abgelehnt({DateiFehlerNr::ZugriffsFehler, name},
                     QStringLiteral("Die Datei %1 ist leer (0 Bytes) und keine Datenbank von Tamo-SEPA.").arg(name) +
                         AndereDatei());
  if (const QString schutz = Schreibschutz(datei); !schutz.isEmpty())
    return Abgelehnt({DateiFehlerNr::KeineBerechtigung, name},
                     schutz + QStringLiteral("\rTamo-SEPA braucht Schreibrechte für die Datenbank und ihren Ordner, "
                                             "um die Zahlungen zu speichern. Bitte lassen Sie sich diese Rechte "
                                             "geben und starten Sie das Programm dann neu."));

  DbFehler f;
  std::unique_ptr<Datenbank> db = Datenbank::Oeffnen(datei, f);
  if (!db) {
    if ((f.Nummer & 0xff) == SQLITE_NOTADB)
      return Abgelehnt(f, QStringLiteral("Die Datei %1 ist keine SQLite-Datenbank und damit keine Datenbank von "
                                         "Tamo-SEPA.").arg(name) + AndereDatei());
    return Abgelehnt(f, QStringLiteral("Die Datenbank %1 kann nicht geöffnet werden.\r").arg(name) + f.Meldungstext());
  }
  // Identification and check in one read transaction: a workstation that starts writing in between cannot
  // make the check fail half way (a lock is not damage).
  f = db->Ausfuehren("BEGIN");
  const auto kennung = f ? std::nullopt : Ganzzahl(*db, "PRAGMA application_id", f);
  const auto version = f ? std::nullopt : Ganzzahl(*db, "PRAGMA user_version", f);
  const QStringList vorhanden = f ? QStringList() : ::Tabellen(*db, f);
  if (f) return Abgelehnt(f, QStringLiteral("Die Datenbank %1 kann nicht gelesen werden.\r").arg(name) + f.Meldungstext());

  auto fehlende = [&](int v) {
    QStringList fehlt;
    for (const QString& t : Tabellen(v))
      if (Gefunden(vorhanden, t).isEmpty()) fehlt << t;
    return fehlt;
  };
  // Files of the first version carry no application id; they are known by their version and tables.
  const bool unsere = *kennung == AnwendungsKennung || (*kennung == 0 && *version >= 1 && fehlende(1).isEmpty());
  if (!unsere || *version < 1)
    return Abgelehnt({SQLITE_NOTADB, name},
                     QStringLiteral("Die Datei %1 ist keine Datenbank von Tamo-SEPA.").arg(name) + AndereDatei());
  if (*version > Version)
    return Abgelehnt({SQLITE_ERROR, name},
                     QStringLiteral("Die Datenbank %1 stammt aus einer neueren Version von Tamo-SEPA "
                                    "(Datenbankversion %2).\rDiese Programmversion kennt nur die Datenbankversion %3. "
                                    "Bitte verwenden Sie die neuere Programmversion.")
                             .arg(name)
                             .arg(*version)
                             .arg(Version) +
                         Unveraendert({}));
  if (const QStringList fehlt = fehlende(int(*version)); !fehlt.isEmpty())
    return Abgelehnt({SQLITE_ERROR, name}, QStringLiteral("Der Datenbank %1 fehlen die Tabellen %2.")
                                               .arg(name, fehlt.join(QStringLiteral(", "))) +
                                               Beschaedigt());
  QStringList befunde;
  f = db->Abfragen("PRAGMA quick_check", {}, [&](const Zeile& z) {
    befunde << z.Wert(0).toString();
    return befunde.size() < 6;
  });
  const int art = f.Nummer & 0xff;
  if (f && art != SQLITE_CORRUPT && art != SQLITE_NOTADB)
    return Abgelehnt(f, QStringLiteral("Die Datenbank %1 kann nicht geprüft werden.\r").arg(name) + f.Meldungstext() +
                            Unveraendert({}));
  if (f || befunde != QStringList{QStringLiteral("ok")})
    return Abgelehnt(f ? f : DbFehler{SQLITE_CORRUPT, befunde.join(QLatin1Char('\r'))},
                     QStringLiteral("Die Datenbank %1 ist beschädigt:\r").arg(name) +
                         (f ? f.Meldungstext() : befunde.join(QLatin1Char('\r'))) + Beschaedigt());
  if ((f = db->Ausfuehren("COMMIT")))
    return Abgelehnt(f, QStringLiteral("Die Datenbank %1 kann nicht gelesen werden.\r").arg(name) + f.Meldungstext());

  Ergebnis e;
  if (*version < Version) {
    QString sicherung = SicherungsDatei(datei, int(*version));
    if (schemaSkript.isEmpty())
      return Abgelehnt({DateiFehlerNr::DateiNichtGefunden, name},
                       QStringLiteral("Die Datenbank %1 hat die Datenbankversion %2 und muss umgestellt werden; "
                                      "die Beschreibung der Version %3 (TamoSEPA.sql) fehlt.")
                               .arg(name)
                               .arg(*version)
                               .arg(Version) +
                           Unveraendert(QStringLiteral("Bitte installieren Sie Tamo-SEPA erneut.")));
    if ((f = VorDerUmstellungSichern(*db, datei, int(*version), sicherung)))
      return Abgelehnt(f, QStringLiteral("Vor der Umstellung der Datenbank %1 kann die Sicherung %2 nicht angelegt "
                                         "werden.\r").arg(name, Nativ(sicherung)) +
                              f.Meldungstext() +
                              Unveraendert(QStringLiteral("Bitte sorgen Sie für Platz und Schreibrechte im Ordner der "
                                                          "Datenbank und starten Sie das Programm dann neu.")));
    if ((f = Migrieren(*db, schemaSkript)))
      return Abgelehnt(f, QStringLiteral("Die Datenbank %1 kann nicht auf die Datenbankversion %2 umgestellt werden "
                                         "und bleibt unverändert.\r").arg(name).arg(Version) +
                              f.Meldungstext());
    e.hinweis = QStringLiteral("Die Datenbank %1 wurde auf die Datenbankversion %2 umgestellt.\r"
                               "Die Datei vor der Umstellung ist gesichert unter:\r%3")
                    .arg(name)
                    .arg(Version)
                    .arg(Nativ(sicherung));
  }

  if (*version == Version && !schemaSkript.isEmpty()) {
    if ((f = IndizesAbgleichen(*db, schemaSkript)))
      return Abgelehnt(f, QStringLiteral("Die Datenbank %1 kann nicht geöffnet werden.\r").arg(name) + f.Meldungstext());
    db->AnweisungenVerwerfen();
  }

  // WAL's shared memory does not cross machines: on a network drive the rollback journal.
  const bool wal = !Speicherort::IstNetzlaufwerk(datei);
  f = db->JournalSetzen(wal);
  if (f && wal) f = db->JournalSetzen(false);
  if (f) return Abgelehnt(f, QStringLiteral("Die Datenbank %1 kann nicht geöffnet werden.\r").arg(name) + f.Meldungstext());
  e.db = std::move(db);
  return e;
}
