#include "sepafiles/core/SepaLauf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include "common/Dateifunktionen.h"
#include "common/SichereDateien.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/SepaDokument.h"
#include "sepafiles/core/SepaLaufSperre.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/core/SepaVorpruefung.h"

namespace {

constexpr int Blockgroesse = 500;   // ids per IN (...) list

SqlText Platzhalter(qsizetype anzahl) {
  QList<SqlText> teile;
  teile.reserve(anzahl);
  for (qsizetype i = 0; i < anzahl; ++i) teile << SqlText("?");
  return SqlText::Verbinden(teile, SqlText(", "));
}

SepaLaufErgebnis Abbruch(SepaLaufErgebnis ergebnis, const QString& meldung, int nummer = 0,
                         const QString& beschreibung = {}) {
  ergebnis.DateiGeschrieben = false;
  ergebnis.Dateien.clear();
  ergebnis.Meldung = meldung;
  ergebnis.Fehlernummer = nummer;
  ergebnis.Fehlerbeschreibung = beschreibung;
  return ergebnis;
}

QString InzwischenGeaendert(qsizetype anzahl) {
  return QStringLiteral("%1 der ausgewählten Zahlungen sind inzwischen erledigt, gelöscht oder geändert worden.\r"
                        "Bitte lassen Sie die Zahlungen neu auswählen.")
      .arg(anzahl);
}

// The orders as the files carry them. Another connection's commit since they were read shows in
// SQLite's data_version; then they are read again, and any that differs stops the run.
struct Lesestand {
  QVariant datenVersion;
  int absenderNr = 0;
  SepaArt art = SepaArt::Ueberweisung;
  QList<Zahlungsauftrag> auftraege;
};

std::optional<QVariant> DatenVersion(Datenbank& db, DbFehler& fehler) {
  return db.Wert(SqlText("PRAGMA data_version"), {}, fehler);
}

DbFehler UnveraendertPruefen(Datenbank& db, const Lesestand& stand) {
  DbFehler f;
  const std::optional<QVariant> version = DatenVersion(db, f);
  if (f || version == stand.datenVersion) return f;
  QList<qint64> nummern;
  nummern.reserve(stand.auftraege.size());
  for (const Zahlungsauftrag& a : stand.auftraege) nummern << a.ZahlungNr;
  const QList<Zahlungsauftrag> jetzt = SepaLauf::AuftraegeLesen(db, stand.absenderNr, stand.art, nummern, f);
  if (f) return f;
  QHash<qint64, const Zahlungsauftrag*> neu;
  for (const Zahlungsauftrag& a : jetzt) neu.insert(a.ZahlungNr, &a);
  qsizetype geaendert = 0;
  for (const Zahlungsauftrag& a : stand.auftraege) {
    const Zahlungsauftrag* n = neu.value(a.ZahlungNr);
    if (!n || *n != a) ++geaendert;
  }
  if (geaendert == 0) return {};
  return {DbFehlerNr::KeineTreffer, InzwischenGeaendert(geaendert)};
}

QStringList Nachrichtenkennungen(const QList<SepaDatei>& dateien) {
  QStringList ids;
  for (const SepaDatei& datei : dateien) ids << datei.NachrichtenId;
  return ids;
}

// Marks the written orders done, notes the message ids sent, stores the next reference and notes the pending
// renames, all or nothing, once the orders are known to be as they were read.
DbFehler MarkierenUndReferenz(Datenbank& db, const Lesestand& stand, const QList<SepaDatei>& dateien,
                              const QDate& erledigtDatum, int absenderNr, const QString& naechsteReferenz,
                              const QString& lauf, const QList<SepaLaufVermerke::Eintrag>& vermerke) {
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  if (DbFehler f = UnveraendertPruefen(db, stand)) return f;
  if (DbFehler f = SepaVorpruefung::ReferenzenMerken(db, absenderNr, Nachrichtenkennungen(dateien), erledigtDatum))
    return f;
  if (DbFehler f = SepaLaufVermerke::Vormerken(db, lauf, vermerke)) return f;
  for (const SepaDatei& datei : dateien) {
    for (qint64 nr : datei.ZahlungNummern) {
      int geaendert = 0;
      if (DbFehler f = db.Ausfuehren(SqlText("UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = ?, Buchungsdatum = ? "
                                             "WHERE ZahlungNr = ? AND Erledigt = 0"),
                                     {erledigtDatum, datei.Buchungsdatum, nr}, &geaendert))
        return f;
      if (geaendert != 1)
        return {DbFehlerNr::KeineTreffer,
                QStringLiteral("Die Zahlung Nr. %1 ist bereits erledigt oder nicht mehr vorhanden.").arg(nr)};
    }
  }
  int geaendert = 0;
  if (DbFehler f = db.Ausfuehren(SqlText("UPDATE Absender SET ReferenzNr = ? WHERE AbsenderNr = ?"),
                                 {naechsteReferenz, absenderNr}, &geaendert))
    return f;
  if (geaendert != 1)
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender Nr. %1 ist nicht mehr vorhanden.").arg(absenderNr)};
  return transaktion.Commit();
}

DbFehler MarkierungZuruecknehmen(Datenbank& db, const QList<SepaDatei>& dateien, int absenderNr,
                                 const QVariant& alteReferenz, const QString& lauf) {
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  if (DbFehler f = SepaLaufVermerke::Loeschen(db, lauf)) return f;
  for (const SepaDatei& datei : dateien)
    for (qint64 nr : datei.ZahlungNummern)
      if (DbFehler f = db.Ausfuehren(SqlText("UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, "
                                             "Buchungsdatum = NULL WHERE ZahlungNr = ? AND Erledigt = 1"),
                                     {nr}))
        return f;
  if (DbFehler f = db.Ausfuehren(SqlText("UPDATE Absender SET ReferenzNr = ? WHERE AbsenderNr = ?"),
                                 {alteReferenz, absenderNr}))
    return f;
  for (const QString& id : Nachrichtenkennungen(dateien))
    if (DbFehler f = db.Ausfuehren(SqlText("DELETE FROM GesendeteReferenzen WHERE AbsenderNr = ? AND Referenz = ?"),
                                   {absenderNr, id}))
      return f;
  return transaktion.Commit();
}

}  // namespace

QString SepaLauf::KeineZahlungenMeldung() {
  return QStringLiteral("Es sind keine Zahlungen vorhanden, die in eine SEPA-Datei geschrieben werden können.");
}

QString SepaLauf::Schreibtestmeldung(int nummer, const QString& beschreibung) {
  return QStringLiteral(
             "Die SEPA-Datei konnte für einen Schreibtest nicht erstellt werden.\r"
             "Die Bearbeitung wird daher abgebrochen. Bitte stellen Sie zuerst ein\r"
             "schreibbereites Laufwerk/Verzeichnis ein, in dem die SEPA-Datei\r"
             "erstellt werden kann. Gehen Sie dazu bitte oben auf 'Auswählen'.\r"
             "\r"
             "Fehler: ") +
         QString::number(nummer) + QStringLiteral("\rBeschreibung: ") + beschreibung;
}

QString SepaLauf::Fehlermeldung(int nummer, const QString& beschreibung) {
  return QStringLiteral("Die SEPA-Datei(en) konnte(n) wegen Fehler nicht erstellt werden.\rFehler: ") +
         QString::number(nummer) + QStringLiteral("\rBeschreibung: ") + beschreibung;
}

QString SepaLauf::Vorpruefen(const SepaLaufAnfrage& anfrage, const SepaAbsender& absender) {
  if (QString m = SepaVorpruefung::ReferenzMeldung(anfrage.Referenz); !m.isEmpty()) return m;
  if (!anfrage.Optionen.IstLastschrift()) {
    const QDate erstellt = anfrage.Optionen.Erstellungsdatum.isValid() ? anfrage.Optionen.Erstellungsdatum
                                                                       : anfrage.Optionen.Zeitpunkt.date();
    return SepaVorpruefung::AusfuehrungsdatumMeldung(anfrage.Optionen.Ausfuehrungsdatum, erstellt);
  }
  return SepaVorpruefung::GlaeubigerIdMeldung(absender.GlaeubigerID);
}

std::optional<SepaAbsender> SepaLauf::AbsenderLesen(Datenbank& db, int absenderNr, DbFehler& fehler) {
  std::optional<SepaAbsender> absender;
  fehler = db.Abfragen(SqlText("SELECT Name, IBAN, BIC, \"GläubigerID\", Bemerkung FROM Absender WHERE AbsenderNr = ?"),
                       {absenderNr}, [&](const Zeile& z) {
                         SepaAbsender a;
                         a.Name = TextAusWert(z.Wert(0));
                         a.IBAN = TextAusWert(z.Wert(1));
                         a.BIC = TextAusWert(z.Wert(2));
                         a.GlaeubigerID = TextAusWert(z.Wert(3));
                         a.Bemerkung = TextAusWert(z.Wert(4));
                         absender = a;
                         return false;
                       });
  if (fehler) return std::nullopt;
  if (!absender) fehler = {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender Nr. %1 ist nicht vorhanden.").arg(absenderNr)};
  return absender;
}

QList<Zahlungsauftrag> SepaLauf::AuftraegeLesen(Datenbank& db, int absenderNr, SepaArt art, const QList<qint64>& nummern,
                                            DbFehler& fehler) {
  fehler = {};
  QHash<qint64, Zahlungsauftrag> gelesen;
  gelesen.reserve(nummern.size());
  const QString artKz = art == SepaArt::Ueberweisung ? QStringLiteral("G") : QStringLiteral("L");
  for (qsizetype anfang = 0; anfang < nummern.size(); anfang += Blockgroesse) {
    const QList<qint64> block = nummern.mid(anfang, Blockgroesse);
    QVariantList parameter;
    parameter.reserve(block.size() + 2);
    for (qint64 nr : block) parameter << nr;
    const SqlText liste = Platzhalter(block.size());

    fehler = db.Abfragen(
        SqlText("SELECT ") + SepaSelektion::AuftragsSpalten() +
            SqlText(" FROM Zahlungen WHERE Zahlungen.ZahlungNr IN (") + liste +
            SqlText(") AND Zahlungen.AbsenderNr = ? AND Zahlungen.Art = ? AND Zahlungen.Erledigt = 0"),
        parameter + QVariantList{absenderNr, artKz}, [&](const Zeile& z) {
          Zahlungsauftrag a = SepaSelektion::AuftragLesen(z);
          gelesen.insert(a.ZahlungNr, std::move(a));
          return true;
        });
    if (fehler) return {};
    fehler = db.Abfragen(
        SqlText("SELECT ZahlungNr, Verwendungszweck, ZahlungsBetrag FROM Verwendungszweck WHERE ZahlungNr IN (") + liste +
            SqlText(") ORDER BY ZahlungNr, LfdNr"),
        parameter, [&](const Zeile& z) {
          auto it = gelesen.find(z.Wert(0).toLongLong());
          if (it != gelesen.end())
            it->Zeilen << Auftragszeile{TextAusWert(z.Wert(1)), WaehrungAusWert(z.Wert(2)).value_or(Waehrung())};
          return true;
        });
    if (fehler) return {};
  }
  QList<Zahlungsauftrag> auftraege;
  auftraege.reserve(gelesen.size());
  for (qint64 nr : nummern) {
    auto it = gelesen.find(nr);
    if (it == gelesen.end()) continue;
    auftraege << std::move(*it);
    gelesen.erase(it);
  }
  return auftraege;
}

bool SepaLauf::Schreibtest(const QString& ordner, int& nummer, QString& beschreibung) {
  nummer = 0;
  beschreibung.clear();
  // Without the trailing separator: a file of that name is then seen as a file, not as missing.
  const QString pfad = ordner.isEmpty() ? QString() : QDir::cleanPath(QDir::fromNativeSeparators(ordner));
  const QFileInfo info(pfad);
  DateiFehler f;
  if (pfad.isEmpty() || !info.exists())
    f = DateiFehlerAusSystem(ENOENT, ordner);
  else if (!info.isDir())
    f = DateiFehlerAusSystem(ENOTDIR, pfad);
  else {
    const QString probe = QDir(ordner).filePath(QStringLiteral("Schreibtest.") + SepaLaufVermerke::NeueKennung() +
                                                TemporaereEndung());
    f = SichereDateien::NeuSchreiben(probe, QByteArrayLiteral("Test"));
    if (!f && !QFile::remove(probe))
      f = {DateiFehlerNr::ZugriffsFehler,
           QStringLiteral("Die Testdatei kann nicht gelöscht werden: ") + QDir::toNativeSeparators(probe)};
  }
  nummer = f.Nummer;
  beschreibung = f.Beschreibung;
  return f.Ok();
}

QStringList SepaLauf::Restdateien(const QString& ordner) {
  QStringList pfade;
  const QDir dir(ordner);
  if (ordner.isEmpty() || !dir.exists()) return pfade;
  const QFileInfoList liste =
      dir.entryInfoList({QLatin1Char('*') + TemporaereEndung()}, QDir::Files | QDir::Hidden, QDir::Name);
  for (const QFileInfo& info : liste) pfade << QDir::toNativeSeparators(info.absoluteFilePath());
  return pfade;
}

SepaLaufErgebnis SepaLauf::Ausfuehren(Datenbank& db, const SepaLaufAnfrage& anfrage, const SepaLaufStoerung* stoerung) {
  SepaLaufErgebnis ergebnis;
  ergebnis.Fehlerhaft = anfrage.Fehlerhaft;
  if (anfrage.ZahlungNummern.isEmpty()) return Abbruch(ergebnis, KeineZahlungenMeldung());

  DbFehler f;
  const std::optional<SepaAbsender> absender = AbsenderLesen(db, anfrage.AbsenderNr, f);
  if (!absender) return Abbruch(ergebnis, Fehlermeldung(f.Nummer, f.Beschreibung), f.Nummer, f.Beschreibung);
  if (const QString meldung = Vorpruefen(anfrage, *absender); !meldung.isEmpty()) return Abbruch(ergebnis, meldung);

  const std::optional<QVariant> alteReferenz =
      db.Wert(SqlText("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = ?"), {anfrage.AbsenderNr}, f);
  if (f) return Abbruch(ergebnis, Fehlermeldung(f.Nummer, f.Beschreibung), f.Nummer, f.Beschreibung);

  Lesestand stand;
  stand.absenderNr = anfrage.AbsenderNr;
  stand.art = anfrage.Optionen.Art;
  stand.datenVersion = DatenVersion(db, f).value_or(QVariant());
  if (f) return Abbruch(ergebnis, Fehlermeldung(f.Nummer, f.Beschreibung), f.Nummer, f.Beschreibung);
  stand.auftraege = AuftraegeLesen(db, anfrage.AbsenderNr, anfrage.Optionen.Art, anfrage.ZahlungNummern, f);
  if (f) return Abbruch(ergebnis, Fehlermeldung(f.Nummer, f.Beschreibung), f.Nummer, f.Beschreibung);
  const QList<Zahlungsauftrag>& auftraege = stand.auftraege;
  if (auftraege.size() != anfrage.ZahlungNummern.size())
    return Abbruch(ergebnis, InzwischenGeaendert(anfrage.ZahlungNummern.size() - auftraege.size()));

  SepaOptionen optionen = anfrage.Optionen;
  if (!optionen.Zeitpunkt.isValid()) optionen.Zeitpunkt = Uhr::Jetzt();
  if (!optionen.Erstellungsdatum.isValid()) optionen.Erstellungsdatum = optionen.Zeitpunkt.date();
  const SepaErgebnis dokument = SepaDokument::Bauen(auftraege, *absender, optionen, anfrage.Referenz);
  if (!dokument.Ok()) return Abbruch(ergebnis, dokument.Fehler);
  const QStringList verwendet =
      SepaVorpruefung::VerwendeteReferenzen(db, anfrage.AbsenderNr, Nachrichtenkennungen(dokument.Dateien), f);
  if (f) return Abbruch(ergebnis, Fehlermeldung(f.Nummer, f.Beschreibung), f.Nummer, f.Beschreibung);
  if (!verwendet.isEmpty()) return Abbruch(ergebnis, SepaVorpruefung::VerwendeteReferenzMeldung(verwendet.first()));

  // Absolute: the records of the run must lead back to the files from any working folder.
  const QString ordner = anfrage.Zielordner.trimmed().isEmpty()
                             ? QString()
                             : BackslashAnhaengen(QDir::toNativeSeparators(QFileInfo(anfrage.Zielordner).absoluteFilePath()));
  int nummer = 0;
  QString beschreibung;
  if (!Schreibtest(ordner, nummer, beschreibung))
    return Abbruch(ergebnis, Schreibtestmeldung(nummer, beschreibung), nummer, beschreibung);

  // One run at a time per database, on every workstation.
  const SepaLaufSperre sperre(db);
  if (!sperre.Erhalten()) return Abbruch(ergebnis, SepaLaufSperre::BelegtMeldung());
  auto schritt = [stoerung](SepaLaufSchritt s, int datei = -1) {
    if (stoerung && stoerung->Schritt) stoerung->Schritt(s, datei);
  };
  const QString lauf = SepaLaufVermerke::NeueKennung();
  if (DbFehler f = SepaLaufVermerke::Beginnen(db, lauf, ordner))
    return Abbruch(ergebnis, Fehlermeldung(f.Nummer, f.Beschreibung), f.Nummer, f.Beschreibung);
  schritt(SepaLaufSchritt::VorDenDateien);
  // A failure before the marks: nothing of the run stays (a note that cannot be deleted is the next opening's).
  SichereDateien dateien(lauf, TemporaereEndung());
  auto verwerfen = [&](int n, const QString& text) {
    dateien.Verwerfen();
    SepaLaufVermerke::Loeschen(db, lauf);
    return Abbruch(ergebnis, Fehlermeldung(n, text), n, text);
  };

  // 1. Every file completely under a temporary name, forced to disk.
  QStringList ziele;
  for (const SepaDatei& datei : dokument.Dateien) {
    const QString ziel = QDir(ordner).filePath(datei.Dateiname);
    ziele << ziel;
    nummer = stoerung && stoerung->Schreiben
                 ? stoerung->Schreiben(SichereDateien::TemporaererName(ziel, lauf, TemporaereEndung()), beschreibung)
                 : 0;
    const DateiFehler f = nummer ? DateiFehler{nummer, beschreibung} : dateien.Schreiben(ziel, datei.Inhalt);
    if (f) return verwerfen(f.Nummer, f.Beschreibung);
  }
  schritt(SepaLaufSchritt::NachDenDateien);

  // 2. What the files leave behind them, decided now and done once they are in place: a split run clears the
  // split files of an earlier run that it does not write, so no stale sequence file goes to the bank beside
  // the new ones; the plain file of the kind is never deleted, only named. Archive copies come last.
  const bool aufgeteilt = optionen.IstLastschrift() && optionen.AufteilenNachMandatArt;
  QList<SepaLaufVermerke::Eintrag> vermerke;
  for (qsizetype i = 0; i < dateien.Dateien().size(); ++i) {
    const SichereDateien::Datei& d = dateien.Dateien().at(i);
    vermerke << SepaLaufVermerke::Eintrag{QLatin1Char('U'), ordner, d.temporaer, d.ziel, d.groesse, d.pruefsumme,
                                           dokument.Dateien.at(i).ZahlungNummern};
  }
  QStringList andereDateien;
  const QString grundname = SepaDokument::Dateipraefix(*absender, optionen) + SepaDokument::Grunddateiname(optionen.Art);
  for (const QString& name : SepaDokument::MoeglicheDateinamen(*absender, optionen)) {
    const QString pfad = QDir(ordner).filePath(name);
    if (ziele.contains(pfad) || !QFileInfo::exists(pfad)) continue;
    if (aufgeteilt && name != grundname)
      vermerke << SepaLaufVermerke::Eintrag{QLatin1Char('L'), ordner, {}, pfad, 0, {}, {}};
    else
      andereDateien << QDir::toNativeSeparators(pfad);
  }
  QStringList archivPfade;
  if (anfrage.ArchivSpeichern) {
    const QString archiv = BackslashAnhaengen(ordner + QStringLiteral("Archiv"));
    for (qsizetype i = 0; i < ziele.size(); ++i) {
      QString name = dokument.Dateien.at(i).Dateiname;
      if (name.endsWith(QLatin1String(".XML"), Qt::CaseInsensitive)) name.chop(4);
      archivPfade << archiv + name + optionen.Zeitpunkt.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".XML");
      vermerke << SepaLaufVermerke::Eintrag{QLatin1Char('K'), ordner, ziele.at(i), archivPfade.last(), 0, {}, {}};
    }
  }

  // 3. Marks, reference and the pending renames in one transaction.
  const QString referenz = aufgeteilt ? dokument.Referenz : anfrage.Referenz;
  const QString naechste = NummerErhoehen(QVariant(referenz), false).toString();
  nummer = stoerung && stoerung->Markieren ? stoerung->Markieren(beschreibung) : 0;
  if (nummer != 0) return verwerfen(nummer, beschreibung);
  if (DbFehler m = MarkierenUndReferenz(db, stand, dokument.Dateien, optionen.Erstellungsdatum, anfrage.AbsenderNr,
                                        naechste, lauf, vermerke))
    return verwerfen(m.Nummer, m.Beschreibung);
  schritt(SepaLaufSchritt::NachDerMarkierung);

  // 4. Into place, then the folder synced. A failure puts everything back: the files first (a crash meanwhile
  // finds complete temporaries with their records and finishes the run), then marks and reference.
  DateiFehler platz;
  for (qsizetype i = 0; i < dateien.Dateien().size() && !platz; ++i) {
    const SichereDateien::Datei& d = dateien.Dateien().at(i);
    nummer = stoerung && stoerung->Umbenennen ? stoerung->Umbenennen(d.temporaer, d.ziel, beschreibung) : 0;
    platz = nummer ? DateiFehler{nummer, beschreibung} : dateien.Einsetzen(i);
    if (!platz) schritt(SepaLaufSchritt::NachDemUmbenennen, int(i));
  }
  if (!platz) platz = dateien.OrdnerSynchronisieren();
  if (platz) {
    QString meldung = Fehlermeldung(platz.Nummer, platz.Beschreibung);
    const QStringList probleme = dateien.Zuruecknehmen();
    if (!probleme.isEmpty()) {
      dateien.Loslassen();
      meldung += QStringLiteral("\r\rACHTUNG: Die Zahlungen sind als erledigt gekennzeichnet. Die Dateien konnten nicht "
                                "zurückgenommen werden:\r") +
                 probleme.join(QLatin1Char('\r')) +
                 QStringLiteral("\rDer Lauf wird beim nächsten Öffnen des Fensters fertiggestellt.");
    } else if (DbFehler r = MarkierungZuruecknehmen(db, dokument.Dateien, anfrage.AbsenderNr,
                                                   alteReferenz.value_or(QVariant()), lauf)) {
      dateien.Loslassen();
      meldung += QStringLiteral("\r\rACHTUNG: Die Zahlungen dieses Laufs konnten nicht wieder als offen gekennzeichnet "
                                "werden.\rNr: ") +
                 QString::number(r.Nummer) + QStringLiteral("\rBeschreibung: ") + r.Beschreibung +
                 QStringLiteral("\rDer Lauf wird beim nächsten Öffnen des Fensters fertiggestellt.");
    } else {
      dateien.Verwerfen();
      meldung += QStringLiteral("\r\rDie Zahlungen bleiben offen, die Referenz ist unverändert.");
    }
    return Abbruch(ergebnis, meldung, platz.Nummer, platz.Beschreibung);
  }

  // 5. Stale split files out, archive copies in (a failure here does not undo the run).
  for (const SepaLaufVermerke::Eintrag& v : vermerke)
    if (v.art == QLatin1Char('L') && !QFile::remove(v.ziel))
      ergebnis.Warnungen << QStringLiteral("Die SEPA-Datei eines früheren Laufs konnte nicht gelöscht werden: ") +
                                QDir::toNativeSeparators(v.ziel);
  if (!archivPfade.isEmpty()) {
    const QString archiv = QFileInfo(archivPfade.first()).absolutePath();
    if (!QDir().mkpath(archiv)) {
      ergebnis.Warnungen << QStringLiteral("Der Archiv-Ordner kann nicht angelegt werden: ") +
                                BackslashAnhaengen(QDir::toNativeSeparators(archiv));
    } else {
      for (qsizetype i = 0; i < archivPfade.size(); ++i) {
        const QString& pfad = archivPfade.at(i);
        QString text;
        int n = stoerung && stoerung->Archivieren ? stoerung->Archivieren(pfad, text) : 0;
        if (n == 0) n = TextdateiSchreiben(QString::fromUtf8(dokument.Dateien.at(i).Inhalt), pfad, &text);
        if (n == 0)
          ergebnis.Archivdateien << QDir::toNativeSeparators(pfad);
        else
          ergebnis.Warnungen << QStringLiteral("Die Archiv-Kopie %1 konnte nicht geschrieben werden.\rFehler: %2\r"
                                               "Beschreibung: %3")
                                    .arg(QDir::toNativeSeparators(pfad))
                                    .arg(n)
                                    .arg(text);
      }
    }
  }

  // 6. The run is complete: its records go (should that fail, the next opening finds the files in place).
  if (DbFehler f = SepaLaufVermerke::Loeschen(db, lauf))
    ergebnis.Warnungen << QStringLiteral("Die Vermerke des Laufs konnten nicht gelöscht werden; das geschieht beim "
                                         "nächsten Öffnen.\r") +
                              f.Meldungstext();
  schritt(SepaLaufSchritt::NachDemAufraeumen);
  for (const QString& pfad : dateien.Abschliessen())
    ergebnis.Warnungen << QStringLiteral("Die alte Datei konnte nicht gelöscht werden: ") + pfad;

  ergebnis.DateiGeschrieben = true;
  ergebnis.AndereDateien = andereDateien;
  for (const QString& z : ziele) ergebnis.Dateien << QDir::toNativeSeparators(z);
  for (const SepaDatei& datei : dokument.Dateien) {
    ergebnis.Anzahl += int(datei.ZahlungNummern.size());
    ergebnis.ZahlungNummern += datei.ZahlungNummern;
    ergebnis.EndToEndIds += datei.EndToEndIds;
  }
  ergebnis.Referenz = referenz;
  ergebnis.NaechsteReferenz = naechste;
  if (dokument.Ausfuehrungsdatum.isValid()) ergebnis.Ausfuehrungsdatum = dokument.Ausfuehrungsdatum;
  if (!dokument.PdfDateiname.isEmpty()) {
    ergebnis.PdfDateiname = dokument.PdfDateiname;
    ergebnis.PdfPfad = ordner;
  }

  if (aufgeteilt) {
    QString liste;
    for (const QString& pfad : ergebnis.Dateien) liste += pfad + QStringLiteral("\r\n");
    ergebnis.Meldung = QStringLiteral("Diese SEPA-Dateien wurden erstellt und können\ran Ihre Bank übermittelt werden:\r\r") + liste;
    ergebnis.Statustext = QStringLiteral("SEPA-Dateien wurden erstellt im Ordner: ") + ordner;
  } else {
    ergebnis.Meldung = QStringLiteral("Diese SEPA-Datei wurde erstellt und kann\ran Ihre Bank übermittelt werden:\r\r") +
                       ergebnis.Dateien.first();
    ergebnis.Statustext = QStringLiteral("SEPA-Datei wurde erstellt: ") + dokument.Dateien.first().Dateiname;
  }
  return ergebnis;
}
