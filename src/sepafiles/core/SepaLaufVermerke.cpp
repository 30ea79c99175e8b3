#include "sepafiles/core/SepaLaufVermerke.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>

#include <map>
#include <vector>

#include "common/SichereDateien.h"
#include "common/Uhr.h"
#include "platform/db/SqlText.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/SepaEinstellungen.h"
#include "sepafiles/core/SepaFormat.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaLaufSperre.h"

namespace {

QString Nativ(const QString& pfad) { return QDir::toNativeSeparators(pfad); }

QString Liste(const QStringList& zeilen) { return zeilen.join(QLatin1Char('\r')); }

const QString Datumsform = QStringLiteral("yyyy-MM-dd");

// Column Zahlungen of a 'U' record: the dates the orders were marked with, then their numbers.
QString ZahlungenText(const SepaLaufVermerke::Eintrag& e) {
  QByteArray text;
  text.reserve(e.zahlungen.size() * 8 + 22);
  if (e.erledigtDatum.isValid() && e.buchungsdatum.isValid())
    text += e.erledigtDatum.toString(Datumsform).toLatin1() + ';' + e.buchungsdatum.toString(Datumsform).toLatin1() + ';';
  for (qsizetype i = 0; i < e.zahlungen.size(); ++i) {
    if (i > 0) text += ',';
    text += QByteArray::number(e.zahlungen.at(i));
  }
  return QString::fromLatin1(text);
}

// The same read back; an earlier version wrote the numbers only.
void ZahlungenLesen(const QString& text, SepaLaufVermerke::Eintrag& e) {
  QStringView nummern(text);
  const QList<QStringView> teile = nummern.split(QLatin1Char(';'));
  if (teile.size() == 3) {
    e.erledigtDatum = QDate::fromString(teile.at(0).toString(), Datumsform);
    e.buchungsdatum = QDate::fromString(teile.at(1).toString(), Datumsform);
    nummern = teile.at(2);
  }
  for (const QStringView nr : nummern.split(QLatin1Char(','), Qt::SkipEmptyParts)) e.zahlungen << nr.toLongLong();
}

bool DatenBekannt(const SepaLaufVermerke::Eintrag& r) { return r.erledigtDatum.isValid() && r.buchungsdatum.isValid(); }

// The orders of file `r` that are no longer as its run left them: open again, deleted, or done with other
// dates (reopened and written by another run). Without the dates (an earlier version's record) only open and
// deleted ones are seen.
DbFehler Abweichende(Datenbank& db, const SepaLaufVermerke::Eintrag& r, QList<qint64>& abweichend) {
  const bool daten = DatenBekannt(r);
  return db.Abfragen(SqlText("SELECT j.value FROM json_each(?) AS j WHERE NOT EXISTS (SELECT 1 FROM Zahlungen WHERE "
                             "Zahlungen.ZahlungNr = j.value AND Zahlungen.Erledigt <> 0 AND (? = 0 OR "
                             "(Zahlungen.ErledigtDatum = ? AND Zahlungen.Buchungsdatum = ?))) ORDER BY j.key"),
                     {NummernAlsJson(r.zahlungen), daten ? 1 : 0, r.erledigtDatum, r.buchungsdatum},
                     [&](const Zeile& z) {
                       abweichend << z.Wert(0).toLongLong();
                       return true;
                     });
}

// Opens again the orders of `r` that are still as its run left them (their file never reached the bank).
DbFehler WiederOeffnen(Datenbank& db, const SepaLaufVermerke::Eintrag& r, int& geoeffnet) {
  geoeffnet = 0;
  if (!DatenBekannt(r)) return {};
  return db.Ausfuehren(SqlText("UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL WHERE "
                               "ZahlungNr IN (SELECT value FROM json_each(?)) AND Erledigt <> 0 AND ErledigtDatum = ? "
                               "AND Buchungsdatum = ?"),
                       {NummernAlsJson(r.zahlungen), r.erledigtDatum, r.buchungsdatum}, &geoeffnet);
}

QString Nummernliste(const QList<qint64>& nummern) {
  constexpr qsizetype hoechstens = 10;
  QStringList teile;
  for (qsizetype i = 0; i < nummern.size() && i < hoechstens; ++i) teile << QString::number(nummern.at(i));
  if (nummern.size() > hoechstens) teile << QStringLiteral("…");
  return teile.join(QStringLiteral(", "));
}

// Drops file `r` of run `lauf` whose orders `abweichend` were changed (`amZiel`: it is in place already): the
// orders still as the run left them are opened first (a crash before the file is gone finds them open and
// drops the file again), then the file goes and an older file the run had moved aside comes back. False
// when a step failed; the next opening tries again.
bool Verwerfen(Datenbank& db, const SepaLaufVermerke::Eintrag& r, const QString& lauf, bool amZiel,
               const QList<qint64>& abweichend, SepaLaufVermerke::Abschluss& a) {
  int geoeffnet = 0;
  if (const DbFehler f = WiederOeffnen(db, r, geoeffnet)) {
    a.probleme << f.Meldungstext();
    return false;
  }
  for (const QString& datei : amZiel ? QStringList{r.temporaer, r.ziel} : QStringList{r.temporaer}) {
    if (QFileInfo::exists(datei) && !QFile::remove(datei)) {
      a.probleme << QStringLiteral("Die verworfene SEPA-Datei kann nicht gelöscht werden: ") + Nativ(datei);
      return false;
    }
  }
  const QString beiseite = SichereDateien::BeiseiteName(r.ziel, lauf);
  if (!QFileInfo::exists(r.ziel) && QFileInfo::exists(beiseite)) {
    if (const DateiFehler f = SichereDateien::Umbenennen(beiseite, r.ziel)) {
      a.probleme << f.Beschreibung;
      return false;
    }
  }
  QString text = QStringLiteral("%1: %2 von %3 Zahlungen inzwischen geändert (Nr. %4)")
                     .arg(Nativ(r.ziel))
                     .arg(abweichend.size())
                     .arg(r.zahlungen.size())
                     .arg(Nummernliste(abweichend));
  const qsizetype uebrige = r.zahlungen.size() - abweichend.size();
  if (DatenBekannt(r))
    text += QStringLiteral(", %1 wieder offen").arg(geoeffnet);
  else if (uebrige > 0)
    // Without the dates a reopened and newly written order cannot be told from one of this file: the marks
    // stay (paid twice is worse than not paid), the user checks.
    text += QStringLiteral(", %1 weiter als erledigt gekennzeichnet (bitte prüfen Sie in der Zahlungsliste, ob sie "
                           "in einer anderen SEPA-Datei enthalten sind)")
                .arg(uebrige);
  a.verworfen << text;
  return true;
}

}  // namespace

QString SepaLaufVermerke::NeueKennung() { return SichereDateien::NeueKennung(); }

bool SepaLaufVermerke::IstEigeneTemporaerdatei(const QString& pfad) { return SichereDateien::IstTemporaerdatei(pfad); }

SepaLaufVermerke::Stand SepaLaufVermerke::OffenerLauf(Datenbank& db, DbFehler& fehler) {
  fehler = {};
  if (SepaLaufSperre::Belegt(db)) return Stand::Laeuft;
  const std::optional<QVariant> n =
      db.Wert(SqlText("SELECT EXISTS (SELECT 1 FROM SepaLaufDateien WHERE Art = 'U')"), {}, fehler);
  if (fehler) return Stand::Keiner;
  return n.value_or(QVariant()).toLongLong() != 0 ? Stand::Unterbrochen : Stand::Keiner;
}

DbFehler SepaLaufVermerke::Beginnen(Datenbank& db, const QString& lauf, const QString& ordner) {
  return db.Ausfuehren("INSERT INTO SepaLaufDateien (Lauf, Art, Ordner) VALUES (?, 'B', ?)", {lauf, ordner});
}

DbFehler SepaLaufVermerke::Vormerken(Datenbank& db, const QString& lauf, const QList<Eintrag>& eintraege) {
  for (const Eintrag& e : eintraege) {
    const QString nummern = ZahlungenText(e);
    if (DbFehler f = db.Ausfuehren("INSERT INTO SepaLaufDateien (Lauf, Art, Ordner, Temporaer, Ziel, Groesse, Pruefsumme, "
                                   "Zahlungen) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                                   {lauf, QString(e.art), e.ordner.isEmpty() ? QVariant() : QVariant(e.ordner),
                                    e.temporaer.isEmpty() ? QVariant() : QVariant(e.temporaer), e.ziel,
                                    e.art == QLatin1Char('U') ? QVariant(e.groesse) : QVariant(),
                                    e.pruefsumme.isEmpty() ? QVariant() : QVariant(QString::fromLatin1(e.pruefsumme)),
                                    nummern.isEmpty() ? QVariant() : QVariant(nummern)}))
      return f;
  }
  return {};
}

DbFehler SepaLaufVermerke::Loeschen(Datenbank& db, const QString& lauf) {
  return db.Ausfuehren("DELETE FROM SepaLaufDateien WHERE Lauf = ?", {lauf});
}

QString SepaLaufVermerke::Abschluss::Meldung() const {
  QStringList teile;
  if (!verworfen.isEmpty())
    teile << QStringLiteral("ACHTUNG: Zahlungen eines unterbrochenen SEPA-Laufs wurden inzwischen geändert (zum "
                            "Beispiel an einem anderen Arbeitsplatz wieder aufgenommen oder gelöscht). Damit keine "
                            "Zahlung doppelt ausgeführt wird, wurden diese SEPA-Dateien verworfen und nicht "
                            "fertiggestellt:\r\r") +
                 Liste(verworfen) +
                 QStringLiteral("\r\rDie Zahlungen, die wieder offen sind, nehmen Sie bitte in eine neue SEPA-Datei "
                                "auf.");
  QStringList bereit = fertig;
  for (const QString& pfad : fertigAlt) bereit.removeAll(pfad);
  if (!bereit.isEmpty())
    teile << QStringLiteral("Ein SEPA-Lauf war unterbrochen worden. Diese SEPA-Dateien wurden jetzt fertiggestellt und "
                            "können\ran Ihre Bank übermittelt werden; ihre Zahlungen sind als erledigt gekennzeichnet:\r\r") +
                 Liste(bereit);
  if (!fertigAlt.isEmpty())
    teile << QStringLiteral("Ein SEPA-Lauf war unterbrochen worden. Diese SEPA-Dateien wurden jetzt im alten Format "
                            "fertiggestellt; ihre Zahlungen sind als erledigt gekennzeichnet:\r\r") +
                 Liste(fertigAlt) + QStringLiteral("\r\r") + SepaFormate::AltesFormatWarnung();
  if (!fehlend.isEmpty())
    teile << QStringLiteral("ACHTUNG: Diese SEPA-Dateien eines unterbrochenen Laufs fehlen, ihre Zahlungen sind als "
                            "erledigt gekennzeichnet:\r\r") +
                 Liste(fehlend) +
                 QStringLiteral("\r\rBitte prüfen Sie, ob die Dateien an Ihre Bank übermittelt wurden; sonst nehmen Sie "
                                "die Zahlungen wieder auf.");
  if (!probleme.isEmpty())
    teile << QStringLiteral("Ein unterbrochener SEPA-Lauf konnte noch nicht fertiggestellt werden; beim nächsten Öffnen "
                            "wird es erneut versucht:\r\r") +
                 Liste(probleme);
  if (!unbekannt.isEmpty())
    teile << QStringLiteral("Im Ordner für die SEPA-Dateien liegen noch temporäre Dateien eines unterbrochenen Laufs "
                            "einer früheren Programmversion:\r\r") +
                 Liste(unbekannt) +
                 QStringLiteral("\r\rBitte prüfen Sie in der Zahlungsliste, ob die Zahlungen dieser Dateien als erledigt "
                                "gekennzeichnet sind, bevor Sie die Dateien löschen.");
  if (fehler)
    teile << QStringLiteral("Die Vermerke eines unterbrochenen SEPA-Laufs können nicht gelesen oder gelöscht "
                            "werden.\r") +
                 fehler.Meldungstext();
  return teile.join(QStringLiteral("\r\r"));
}

SepaLaufVermerke::Abschluss SepaLaufVermerke::BeimOeffnen(Datenbank& db, const QString& datenVerzeichnis,
                                                          const QString& programmVerzeichnis) {
  QStringList ordner{SepaEinstellungen::Laden(db, datenVerzeichnis).Zielordner, datenVerzeichnis};
  if (!programmVerzeichnis.isEmpty()) ordner << programmVerzeichnis;
  return Nachholen(db, ordner);
}

SepaLaufVermerke::Abschluss SepaLaufVermerke::Nachholen(Datenbank& db, const QStringList& weitereOrdner) {
  Abschluss a;
  const SepaLaufSperre sperre(db);
  if (!sperre.Erhalten()) {
    a.gesperrt = true;
    return a;
  }
  std::vector<QString> reihenfolge;
  std::map<QString, std::vector<Eintrag>> laeufe;
  a.fehler = db.Abfragen("SELECT Lauf, Art, Ordner, Temporaer, Ziel, Groesse, Pruefsumme, Zahlungen FROM SepaLaufDateien "
                         "ORDER BY Nr",
                         {}, [&](const Zeile& z) {
                           const QString lauf = z.Wert(0).toString();
                           if (!laeufe.count(lauf)) reihenfolge.push_back(lauf);
                           Eintrag r;
                           { const QString art = z.Wert(1).toString(); r.art = art.isEmpty() ? QChar() : art.at(0); }
                           r.ordner = TextAusWert(z.Wert(2));
                           r.temporaer = TextAusWert(z.Wert(3));
                           r.ziel = TextAusWert(z.Wert(4));
                           r.groesse = z.Wert(5).toLongLong();
                           r.pruefsumme = TextAusWert(z.Wert(6)).toLatin1();
                           ZahlungenLesen(TextAusWert(z.Wert(7)), r);
                           laeufe[lauf].push_back(r);
                           return true;
                         });
  if (a.fehler) return a;

  QStringList ordner;
  QSet<QString> behalten;   // temporaries still needed by a run that could not be finished
  for (const QString& lauf : reihenfolge) {
    const std::vector<Eintrag>& zeilen = laeufe[lauf];
    bool markiert = false;
    for (const Eintrag& r : zeilen) {
      if (r.art == QLatin1Char('B') && !r.ordner.isEmpty()) ordner << r.ordner;
      if (r.art == QLatin1Char('U')) markiert = true;
    }
    if (markiert) {
      // The marks are committed: every file goes into place (or is named as lost) unless orders in it were
      // changed meanwhile, then the rest of the run.
      bool offen = false;
      QStringList dateiOrdner;
      QSet<QString> verworfen;   // final paths of the dropped files
      for (const Eintrag& r : zeilen) {
        if (r.art != QLatin1Char('U')) continue;
        dateiOrdner << QFileInfo(r.ziel).absolutePath();
        // Only the file itself counts, complete; never an older one that merely has its name.
        const bool temporaer = SichereDateien::Vollstaendig(r.temporaer, r.groesse, r.pruefsumme);
        const bool amZiel = !temporaer && SichereDateien::Vollstaendig(r.ziel, r.groesse, r.pruefsumme);
        // Orders reopened (or deleted) elsewhere while the file waited: it must not go to the bank beside a
        // file that may hold them now.
        QList<qint64> abweichend;
        if (const DbFehler f = Abweichende(db, r, abweichend)) {
          a.probleme << f.Meldungstext();
          behalten.insert(QFileInfo(r.temporaer).absoluteFilePath());
          offen = true;
          continue;
        }
        if (!abweichend.isEmpty()) {
          verworfen.insert(r.ziel);
          if (!Verwerfen(db, r, lauf, amZiel, abweichend, a)) {
            behalten.insert(QFileInfo(r.temporaer).absoluteFilePath());
            offen = true;
          }
          continue;
        }
        if (!temporaer && !amZiel) {
          a.fehlend << QStringLiteral("%1 (%2 Zahlungen)")
                           .arg(Nativ(r.ziel))
                           .arg(r.zahlungen.size());
          continue;
        }
        if (temporaer) {
          if (DateiFehler f = SichereDateien::Umbenennen(r.temporaer, r.ziel)) {
            a.probleme << f.Beschreibung;
            behalten.insert(QFileInfo(r.temporaer).absoluteFilePath());
            offen = true;
            continue;
          }
        }
        a.fertig << Nativ(r.ziel);
        if (const std::optional<SepaFormat> format = SepaFormate::FormatDerDatei(r.ziel);
            format && SepaFormate::VonBankenAbgelehnt(*format, Uhr::Heute()))
          a.fertigAlt << Nativ(r.ziel);
      }
      if (offen) continue;
      dateiOrdner.removeDuplicates();
      for (const QString& o : dateiOrdner)
        if (DateiFehler f = SichereDateien::OrdnerSynchronisieren(o)) a.probleme << f.Beschreibung;
      for (const Eintrag& r : zeilen) {
        if (r.art == QLatin1Char('L') && QFileInfo::exists(r.ziel) && !QFile::remove(r.ziel))
          a.probleme << QStringLiteral("Die SEPA-Datei eines früheren Laufs konnte nicht gelöscht werden: ") + Nativ(r.ziel);
        if (r.art == QLatin1Char('K') && !verworfen.contains(r.temporaer) && !QFileInfo::exists(r.ziel) &&
            QFileInfo::exists(r.temporaer)) {
          QDir().mkpath(QFileInfo(r.ziel).absolutePath());
          if (const DateiFehler f = SichereDateien::Kopieren(r.temporaer, r.ziel))
            a.probleme << QStringLiteral("Die Archiv-Kopie konnte nicht geschrieben werden: ") + f.Beschreibung;
        }
      }
    }
    if (DbFehler f = Loeschen(db, lauf)) {
      a.fehler = f;
      return a;
    }
  }

  // Temporary files that no record needs: runs that never committed, probes, files moved aside, and what
  // an interrupted writer left (archive copies, saved report files). A temporary is deleted only when no
  // live writer holds it: every writer locks its temporary from its creation until the rename, and the
  // system drops the lock when the writer dies, so a kill leaves a temporary nobody holds at once, while a
  // file being written by another workstation or process (another database's run into the same folder, a
  // report being saved) stays. The runs of this database cannot be under way: their lock is held here.
  ordner << weitereOrdner;
  QStringList mitArchiv;
  for (const QString& o : std::as_const(ordner)) {
    if (o.isEmpty()) continue;
    mitArchiv << o << QDir(o).filePath(QStringLiteral("Archiv"));
  }
  QSet<QString> gesehen;
  for (const QString& o : mitArchiv) {
    const QString ordnerPfad = QDir(o).absolutePath();
    if (gesehen.contains(ordnerPfad)) continue;
    gesehen.insert(ordnerPfad);
    for (const QString& pfad : SepaLauf::Restdateien(o)) {
      if (behalten.contains(QFileInfo(pfad).absoluteFilePath())) continue;
      if (!IstEigeneTemporaerdatei(pfad)) {
        a.unbekannt << pfad;
      } else if (SichereDateien::InBenutzung(pfad)) {
        continue;
      } else if (QFile::remove(pfad)) {
        a.geloescht << pfad;
      } else {
        a.probleme << QStringLiteral("Die temporäre Datei kann nicht gelöscht werden: ") + pfad;
      }
    }
  }
  return a;
}
