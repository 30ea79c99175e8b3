#include "sepafiles/core/SepaLaufVermerke.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>

#include <map>
#include <vector>

#include "common/SichereDateien.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/SepaEinstellungen.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaLaufSperre.h"

namespace {

QString Nativ(const QString& pfad) { return QDir::toNativeSeparators(pfad); }

QString Liste(const QStringList& zeilen) { return zeilen.join(QLatin1Char('\r')); }

}  // namespace

QString SepaLaufVermerke::NeueKennung() {
  return QString::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, QLatin1Char('0'));
}

bool SepaLaufVermerke::IstEigeneTemporaerdatei(const QString& pfad) {
  static const QRegularExpression muster(QStringLiteral("\\.(alt-)?[0-9a-f]{16}\\.sepatmp$"));
  return muster.match(pfad).hasMatch();
}

DbFehler SepaLaufVermerke::Beginnen(Datenbank& db, const QString& lauf, const QString& ordner) {
  return db.Ausfuehren("INSERT INTO SepaLaufDateien (Lauf, Art, Ordner) VALUES (?, 'B', ?)", {lauf, ordner});
}

DbFehler SepaLaufVermerke::Vormerken(Datenbank& db, const QString& lauf, const QList<Eintrag>& eintraege) {
  for (const Eintrag& e : eintraege) {
    QByteArray nummern;
    nummern.reserve(e.zahlungen.size() * 8);
    for (qint64 nr : e.zahlungen) {
      if (!nummern.isEmpty()) nummern += ',';
      nummern += QByteArray::number(nr);
    }
    if (DbFehler f = db.Ausfuehren("INSERT INTO SepaLaufDateien (Lauf, Art, Ordner, Temporaer, Ziel, Groesse, Pruefsumme, "
                                   "Zahlungen) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                                   {lauf, QString(e.art), e.ordner.isEmpty() ? QVariant() : QVariant(e.ordner),
                                    e.temporaer.isEmpty() ? QVariant() : QVariant(e.temporaer), e.ziel,
                                    e.art == QLatin1Char('U') ? QVariant(e.groesse) : QVariant(),
                                    e.pruefsumme.isEmpty() ? QVariant() : QVariant(QString::fromLatin1(e.pruefsumme)),
                                    nummern.isEmpty() ? QVariant() : QVariant(QString::fromLatin1(nummern))}))
      return f;
  }
  return {};
}

DbFehler SepaLaufVermerke::Loeschen(Datenbank& db, const QString& lauf) {
  return db.Ausfuehren("DELETE FROM SepaLaufDateien WHERE Lauf = ?", {lauf});
}

QString SepaLaufVermerke::Abschluss::Meldung() const {
  QStringList teile;
  if (!fertig.isEmpty())
    teile << QStringLiteral("Ein SEPA-Lauf war unterbrochen worden. Diese SEPA-Dateien wurden jetzt fertiggestellt und "
                            "können\ran Ihre Bank übermittelt werden; ihre Zahlungen sind als erledigt gekennzeichnet:\r\r") +
                 Liste(fertig);
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

SepaLaufVermerke::Abschluss SepaLaufVermerke::BeimOeffnen(Datenbank& db, const QString& datenVerzeichnis) {
  return Nachholen(db, {SepaEinstellungen::Laden(db, datenVerzeichnis).Zielordner, datenVerzeichnis});
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
                           const QString nummern = TextAusWert(z.Wert(7));
                           for (const QStringView nr : QStringView(nummern).split(QLatin1Char(','), Qt::SkipEmptyParts))
                             r.zahlungen << nr.toLongLong();
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
      // The marks are committed: every file goes into place (or is named as lost), then the rest of the run.
      bool offen = false;
      QStringList dateiOrdner;
      for (const Eintrag& r : zeilen) {
        if (r.art != QLatin1Char('U')) continue;
        dateiOrdner << QFileInfo(r.ziel).absolutePath();
        if (SichereDateien::Vollstaendig(r.temporaer, r.groesse, r.pruefsumme)) {
          if (DateiFehler f = SichereDateien::Umbenennen(r.temporaer, r.ziel)) {
            a.probleme << f.Beschreibung;
            behalten.insert(QFileInfo(r.temporaer).absoluteFilePath());
            offen = true;
            continue;
          }
          a.fertig << Nativ(r.ziel);
        } else if (SichereDateien::Vollstaendig(r.ziel, r.groesse, r.pruefsumme)) {
          a.fertig << Nativ(r.ziel);
        } else {
          a.fehlend << QStringLiteral("%1 (%2 Zahlungen)")
                           .arg(Nativ(r.ziel))
                           .arg(r.zahlungen.size());
        }
      }
      if (offen) continue;
      dateiOrdner.removeDuplicates();
      for (const QString& o : dateiOrdner)
        if (DateiFehler f = SichereDateien::OrdnerSynchronisieren(o)) a.probleme << f.Beschreibung;
      for (const Eintrag& r : zeilen) {
        if (r.art == QLatin1Char('L') && QFileInfo::exists(r.ziel) && !QFile::remove(r.ziel))
          a.probleme << QStringLiteral("Die SEPA-Datei eines früheren Laufs konnte nicht gelöscht werden: ") + Nativ(r.ziel);
        if (r.art == QLatin1Char('K') && !QFileInfo::exists(r.ziel) && QFileInfo::exists(r.temporaer)) {
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

  // Temporary files that no record needs: runs that never committed, probes, files moved aside.
  ordner << weitereOrdner;
  QSet<QString> gesehen;
  for (const QString& o : ordner) {
    const QString ordnerPfad = QDir(o).absolutePath();
    if (o.isEmpty() || gesehen.contains(ordnerPfad)) continue;
    gesehen.insert(ordnerPfad);
    for (const QString& pfad : SepaLauf::Restdateien(o)) {
      if (behalten.contains(QFileInfo(pfad).absoluteFilePath())) continue;
      if (!IstEigeneTemporaerdatei(pfad)) {
        a.unbekannt << pfad;
      } else if (QFile::remove(pfad)) {
        a.geloescht << pfad;
      } else {
        a.probleme << QStringLiteral("Die temporäre Datei kann nicht gelöscht werden: ") + pfad;
      }
    }
  }
  return a;
}
