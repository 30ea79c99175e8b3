#include "sepafiles/core/SepaLauf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

#include "common/Dateifunktionen.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/SepaDokument.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/core/SepaVorpruefung.h"

namespace {

constexpr int Blockgroesse = 500;   // ids per IN (...) list

QString Kennung() { return QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0')); }

SqlText Platzhalter(qsizetype anzahl) {
  QList<SqlText> teile;
  teile.reserve(anzahl);
  for (qsizetype i = 0; i < anzahl; ++i) teile << SqlText("?");
  return SqlText::Verbinden(teile, SqlText(", "));
}

int DateiFehlernummer(QFileDevice::FileError fehler) {
  switch (fehler) {
    case QFileDevice::PermissionsError: return DateiFehlerNr::KeineBerechtigung;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError: return DateiFehlerNr::DatentraegerVoll;
    default: return DateiFehlerNr::ZugriffsFehler;
  }
}

std::filesystem::path SystemPfad(const QString& pfad) {
#ifdef Q_OS_WIN
  return std::filesystem::path(pfad.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(pfad).toStdString());
#endif
}

// Writes a new file completely and forces it to disk before the run relies on it.
int NeueDateiSchreiben(const QString& pfad, const QByteArray& inhalt, QString& beschreibung) {
  QFile datei(pfad);
  if (!QFileInfo(pfad).absoluteDir().exists()) {
    beschreibung = QStringLiteral("Pfad nicht gefunden: ") + QDir::toNativeSeparators(QFileInfo(pfad).absolutePath());
    return DateiFehlerNr::PfadNichtGefunden;
  }
  if (!datei.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    beschreibung = datei.errorString();
    return datei.error() == QFileDevice::PermissionsError ? DateiFehlerNr::KeineBerechtigung : DateiFehlerNr::ZugriffsFehler;
  }
  bool ok = datei.write(inhalt) == inhalt.size() && datei.flush();
#ifdef Q_OS_UNIX
  ok = ok && ::fsync(datei.handle()) == 0;
#elif defined(Q_OS_WIN)
  ok = ok && ::_commit(datei.handle()) == 0;
#endif
  if (!ok) {
    beschreibung = datei.errorString();
    const int nummer = datei.error() == QFileDevice::NoError ? DateiFehlerNr::ZugriffsFehler : DateiFehlernummer(datei.error());
    datei.close();
    QFile::remove(pfad);
    return nummer;
  }
  datei.close();
  if (datei.error() != QFileDevice::NoError) {
    beschreibung = datei.errorString();
    QFile::remove(pfad);
    return DateiFehlernummer(datei.error());
  }
  return 0;
}

// Renames, replacing an existing target in one step.
int Umbenennen(const QString& von, const QString& nach, QString& beschreibung) {
  std::error_code fehler;
  std::filesystem::rename(SystemPfad(von), SystemPfad(nach), fehler);
  if (!fehler) return 0;
  beschreibung = QString::fromLocal8Bit(fehler.message().c_str());
  return DateiFehlerNr::ZugriffsFehler;
}

// One file of the run on its way into the target folder.
struct Zieldatei {
  QString ziel;           // final path
  QString temporaer;      // the new file under its temporary name
  QString gesichert;      // an existing file of the target name, moved aside while renaming
  bool geschrieben = false;
  bool altVerschoben = false;
  bool umbenannt = false;
};

void TemporaereEntfernen(const QList<Zieldatei>& dateien) {
  for (const Zieldatei& d : dateien)
    if (d.geschrieben && !d.umbenannt) QFile::remove(d.temporaer);
}

// Puts the folder back as it was before the renames: new files out, replaced files back.
QStringList UmbenennenRueckgaengig(QList<Zieldatei>& dateien) {
  QStringList probleme;
  for (Zieldatei& d : dateien) {
    if (d.umbenannt && !QFile::remove(d.ziel)) probleme << QDir::toNativeSeparators(d.ziel);
    d.umbenannt = false;
    if (d.altVerschoben) {
      QString beschreibung;
      if (Umbenennen(d.gesichert, d.ziel, beschreibung) != 0)
        probleme << QDir::toNativeSeparators(d.gesichert) + QStringLiteral(": ") + beschreibung;
      else
        d.altVerschoben = false;
    }
  }
  return probleme;
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

// Marks the written orders done, notes the message ids sent and stores the next reference, all or
// nothing, once the orders are known to be as they were read.
DbFehler MarkierenUndReferenz(Datenbank& db, const Lesestand& stand, const QList<SepaDatei>& dateien,
                              const QDate& erledigtDatum, int absenderNr, const QString& naechsteReferenz) {
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  if (DbFehler f = UnveraendertPruefen(db, stand)) return f;
  if (DbFehler f = SepaVorpruefung::ReferenzenMerken(db, absenderNr, Nachrichtenkennungen(dateien), erledigtDatum))
    return f;
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
                                 const QVariant& alteReferenz) {
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
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
  if (ordner.isEmpty() || !QFileInfo(ordner).isDir()) {
    nummer = DateiFehlerNr::PfadNichtGefunden;
    beschreibung = QStringLiteral("Pfad nicht gefunden: ") + QDir::toNativeSeparators(ordner);
    return false;
  }
  const QString pfad = QDir(ordner).filePath(QStringLiteral("Schreibtest.") + Kennung() + TemporaereEndung());
  nummer = NeueDateiSchreiben(pfad, QByteArrayLiteral("Test"), beschreibung);
  if (nummer != 0) return false;
  if (!QFile::remove(pfad)) {
    nummer = DateiFehlerNr::ZugriffsFehler;
    beschreibung = QStringLiteral("Die Testdatei kann nicht gelöscht werden: ") + QDir::toNativeSeparators(pfad);
    return false;
  }
  return true;
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

  const QString ordner = BackslashAnhaengen(QDir::toNativeSeparators(anfrage.Zielordner));
  int nummer = 0;
  QString beschreibung;
  if (!Schreibtest(ordner, nummer, beschreibung))
    return Abbruch(ergebnis, Schreibtestmeldung(nummer, beschreibung), nummer, beschreibung);

  // 1. Every file completely under a temporary name.
  QList<Zieldatei> dateien;
  for (const SepaDatei& datei : dokument.Dateien) {
    Zieldatei z;
    z.ziel = QDir(ordner).filePath(datei.Dateiname);
    const QString kennung = Kennung();
    z.temporaer = z.ziel + QLatin1Char('.') + kennung + TemporaereEndung();
    z.gesichert = z.ziel + QStringLiteral(".alt-") + kennung + TemporaereEndung();
    dateien << z;
  }
  for (qsizetype i = 0; i < dateien.size(); ++i) {
    Zieldatei& z = dateien[i];
    nummer = stoerung && stoerung->Schreiben ? stoerung->Schreiben(z.temporaer, beschreibung) : 0;
    if (nummer == 0) nummer = NeueDateiSchreiben(z.temporaer, dokument.Dateien.at(i).Inhalt, beschreibung);
    if (nummer != 0) {
      TemporaereEntfernen(dateien);
      return Abbruch(ergebnis, Fehlermeldung(nummer, beschreibung), nummer, beschreibung);
    }
    z.geschrieben = true;
  }

  // 2. Marks and reference in one transaction.
  nummer = stoerung && stoerung->Markieren ? stoerung->Markieren(beschreibung) : 0;
  if (nummer != 0) {
    TemporaereEntfernen(dateien);
    return Abbruch(ergebnis, Fehlermeldung(nummer, beschreibung), nummer, beschreibung);
  }
  const bool aufgeteilt = optionen.IstLastschrift() && optionen.AufteilenNachMandatArt;
  const QString referenz = aufgeteilt ? dokument.Referenz : anfrage.Referenz;
  const QString naechste = NummerErhoehen(QVariant(referenz), false).toString();
  if (DbFehler m =
          MarkierenUndReferenz(db, stand, dokument.Dateien, optionen.Erstellungsdatum, anfrage.AbsenderNr, naechste)) {
    TemporaereEntfernen(dateien);
    return Abbruch(ergebnis, Fehlermeldung(m.Nummer, m.Beschreibung), m.Nummer, m.Beschreibung);
  }

  // 3. Into place; an existing file of the same name is moved aside until all are in place.
  for (Zieldatei& z : dateien) {
    nummer = 0;
    if (QFileInfo::exists(z.ziel)) {
      nummer = Umbenennen(z.ziel, z.gesichert, beschreibung);
      if (nummer == 0) z.altVerschoben = true;
    }
    if (nummer == 0 && stoerung && stoerung->Umbenennen) nummer = stoerung->Umbenennen(z.temporaer, z.ziel, beschreibung);
    if (nummer == 0) nummer = Umbenennen(z.temporaer, z.ziel, beschreibung);
    if (nummer == 0) {
      z.umbenannt = true;
      continue;
    }
    const QStringList probleme = UmbenennenRueckgaengig(dateien);
    TemporaereEntfernen(dateien);
    QString meldung = Fehlermeldung(nummer, beschreibung);
    if (DbFehler r = MarkierungZuruecknehmen(db, dokument.Dateien, anfrage.AbsenderNr,
                                            alteReferenz.value_or(QVariant()))) {
      meldung += QStringLiteral("\r\rACHTUNG: Die Zahlungen dieses Laufs konnten nicht wieder als offen gekennzeichnet "
                                "werden.\rNr: ") +
                 QString::number(r.Nummer) + QStringLiteral("\rBeschreibung: ") + r.Beschreibung;
    } else {
      meldung += QStringLiteral("\r\rDie Zahlungen bleiben offen, die Referenz ist unverändert.");
    }
    if (!probleme.isEmpty())
      meldung += QStringLiteral("\r\rFolgende Dateien konnten nicht wiederhergestellt werden:\r") +
                 probleme.join(QLatin1Char('\r'));
    return Abbruch(ergebnis, meldung, nummer, beschreibung);
  }
  for (const Zieldatei& z : dateien)
    if (z.altVerschoben && !QFile::remove(z.gesichert))
      ergebnis.Warnungen << QStringLiteral("Die alte Datei konnte nicht gelöscht werden: ") +
                                QDir::toNativeSeparators(z.gesichert);

  ergebnis.DateiGeschrieben = true;
  for (const Zieldatei& z : dateien) ergebnis.Dateien << QDir::toNativeSeparators(z.ziel);
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

  // Files of an earlier run under the other names of this kind. A split run clears the split files it
  // did not write, so no stale sequence file goes to the bank beside the new ones; this happens only
  // now that the new files are in place. The plain file of the kind is never deleted.
  const QString grundname = SepaDokument::Dateipraefix(*absender, optionen) + SepaDokument::Grunddateiname(optionen.Art);
  for (const QString& name : SepaDokument::MoeglicheDateinamen(*absender, optionen)) {
    const QString pfad = QDir::toNativeSeparators(QDir(ordner).filePath(name));
    if (ergebnis.Dateien.contains(pfad) || !QFileInfo::exists(pfad)) continue;
    if (aufgeteilt && name != grundname) {
      if (!QFile::remove(pfad))
        ergebnis.Warnungen << QStringLiteral("Die SEPA-Datei eines früheren Laufs konnte nicht gelöscht werden: ") + pfad;
      continue;
    }
    ergebnis.AndereDateien << pfad;
  }

  // 4. Archive copies last; a failing copy does not undo the run.
  if (anfrage.ArchivSpeichern) {
    const QString archiv = BackslashAnhaengen(ordner + QStringLiteral("Archiv"));
    if (!QDir().mkpath(archiv)) {
      ergebnis.Warnungen << QStringLiteral("Der Archiv-Ordner kann nicht angelegt werden: ") + archiv;
    } else {
      for (const SepaDatei& datei : dokument.Dateien) {
        QString name = datei.Dateiname;
        if (name.endsWith(QLatin1String(".XML"), Qt::CaseInsensitive)) name.chop(4);
        const QString pfad =
            archiv + name + Uhr::Jetzt().toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".XML");
        QString text;
        int n = stoerung && stoerung->Archivieren ? stoerung->Archivieren(pfad, text) : 0;
        if (n == 0) n = TextdateiSchreiben(QString::fromUtf8(datei.Inhalt), pfad, &text);
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
