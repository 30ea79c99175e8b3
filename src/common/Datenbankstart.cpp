#include "common/Datenbankstart.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QHash>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

#include <sqlite3.h>

#include "common/AdressQuellenInfo.h"
#include "common/Dateifunktionen.h"
#include "common/DatenbankOeffnung.h"
#include "common/Programmzustand.h"
#include "common/SichereDateien.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"

namespace {

const QString& Alias() {
  static const QString s = QStringLiteral("Verknuepft");
  return s;
}

StartErgebnis Fehlschlag(const DbFehler& f, const QString& meldung) {
  StartErgebnis e;
  e.fehler = f;
  e.meldung = meldung;
  return e;
}

bool OrdnerLeer(const QString& ordner) {
  const QDir d(ordner);
  return !d.exists() || d.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

struct Geschwister {
  const char* adressTabelle;
  const char* opTabelle;
};

// Tables of the sibling programs' databases by address format.
std::optional<Geschwister> GeschwisterTabellen(int format) {
  if (format == 1) return Geschwister{"Personenkonten", "OPVorgang"};
  if (format == 2) return Geschwister{"Kunden", "Rechnungsbuch"};
  return std::nullopt;
}

// Links the sibling file of a sender: TEMP VIEWs OPVorgang, Adressen and Adressen_Intern.
// Returns the failure; nothing stays attached then.
DbFehler GeschwisterVerknuepfen(Datenbank& db, const QString& datei, const Geschwister& g, QString& zusatz) {
  const QString adressen = Alias() + QLatin1Char('.') + QLatin1String(g.adressTabelle);
  const QString op = Alias() + QLatin1Char('.') + QLatin1String(g.opTabelle);
  if (DbFehler f = db.Anhaengen(datei, Alias())) return f;
  auto abbrechen = [&](DbFehler f) {
    db.Ausfuehren("DROP VIEW IF EXISTS temp.OPVorgang; DROP VIEW IF EXISTS temp.Adressen; "
                  "DROP VIEW IF EXISTS temp.Adressen_Intern");
    db.Abhaengen(Alias());
    return f;
  };
  for (const QString& t : {adressen, op}) {
    if (!db.TabelleVorhanden(t))
      return abbrechen({SQLITE_ERROR, QStringLiteral("Tabelle nicht gefunden: ") + t.mid(Alias().size() + 1)});
  }
  // The import reads the supplier/customer number of the address; old files lack the field.
  bool mitNummer = true;
  DbFehler f;
  const auto def = db.Tabelle(adressen, &f);
  if (!def) return abbrechen(f);
  if (!def->Feld(QStringLiteral("LieferantenKundenNr"))) {
    if (DbFehler g2 = db.Ausfuehren(SqlText("ALTER TABLE ") + SqlText::Bezeichner(adressen) +
                                    SqlText(" ADD COLUMN LieferantenKundenNr TEXT(50)"))) {
      mitNummer = false;
      zusatz = QStringLiteral("Das Feld LieferantenKundenNr konnte nicht angelegt werden: ") + g2.Beschreibung;
    }
  }
  const SqlText adressSicht = mitNummer ? SqlText("SELECT * FROM ") + SqlText::Bezeichner(adressen)
                                        : SqlText("SELECT *, NULL AS LieferantenKundenNr FROM ") +
                                              SqlText::Bezeichner(adressen);
  if (DbFehler v = db.Ausfuehren(SqlText("CREATE TEMP VIEW Adressen_Intern AS SELECT * FROM main.Adressen; ") +
                                 SqlText("CREATE TEMP VIEW Adressen AS ") + adressSicht + SqlText("; ") +
                                 SqlText("CREATE TEMP VIEW OPVorgang AS SELECT * FROM ") + SqlText::Bezeichner(op)))
    return abbrechen(v);
  // Views over a file of another layout only fail when read: try them now.
  for (const SqlText& probe : {SqlText("SELECT count(*) FROM Adressen"), SqlText("SELECT count(*) FROM OPVorgang")}) {
    db.Wert(probe, {}, f);
    if (f) return abbrechen(f);
  }
  return {};
}

}  // namespace

QString VerbindungsPfad(const QString& verbindung) {
  const QString pfad = verbindung.trimmed();
  if (pfad.isEmpty() || QDir::isAbsolutePath(pfad)) return pfad;
  return QDir(Zustand().DatenVerzeichnis()).absoluteFilePath(pfad);
}

QString VerknuepfteDatei(int adressenFormat, const QString& verbindung) {
  if (!GeschwisterTabellen(adressenFormat)) return {};
  const QString pfad = VerbindungsPfad(verbindung);
  return pfad.isEmpty() ? QString() : QFileInfo(pfad).canonicalFilePath();
}

QString DatenordnerPfadMangel(const QString& ordner) {
  const QString pfad = ordner.trimmed();
  if (pfad.isEmpty() || QDir::isAbsolutePath(pfad)) return {};
  return QStringLiteral("Das Datenverzeichnis %1 ist kein vollständiger Pfad; welcher Ordner gemeint ist, hinge davon "
                        "ab, wo das Programm gestartet wird.\rBitte geben Sie den Ordner mit vollständigem Pfad an.")
      .arg(QDir::toNativeSeparators(pfad));
}

QString ProgrammverzeichnisErmitteln() {
  QString ordner = qEnvironmentVariable("TAMOSEPA_PROGRAMMVERZEICHNIS");
  if (ordner.isEmpty()) ordner = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return BackslashAnhaengen(QDir::toNativeSeparators(QDir(ordner).absolutePath()));
}

QString RessourcenVerzeichnis() {
  QStringList kandidaten;
  const QString env = qEnvironmentVariable("TAMOSEPA_RESSOURCEN");
  if (!env.isEmpty()) kandidaten << env;
  if (QCoreApplication::instance()) {
    const QString exe = QCoreApplication::applicationDirPath();
    kandidaten << exe + QStringLiteral("/resources") << exe + QStringLiteral("/../share/tamo-sepa/resources")
               << exe + QStringLiteral("/../resources");
  }
#ifdef TAMO_RESSOURCEN_DIR
  kandidaten << QStringLiteral(TAMO_RESSOURCEN_DIR);
#endif
  for (const QString& k : kandidaten)
    if (QFileInfo(k + QLatin1Char('/') + SchemaDateiname).isFile()) return QDir(k).absolutePath();
  return {};
}

DbFehler DatenbankAnlegen(const QString& datei, const QString& schemaDatei) {
  QFile schema(schemaDatei);
  if (!schema.open(QIODevice::ReadOnly))
    return {DbFehlerNr::DateiFehler, QStringLiteral("Die Datei ") + schemaDatei + QStringLiteral(" kann nicht gelesen werden.")};
  const QString skript = QString::fromUtf8(schema.readAll());
  // SQLite pairs a file with its journal by name only: a new file would take the lost one's pages.
  for (const QString& endung : {QStringLiteral("-wal"), QStringLiteral("-journal")}) {
    const QFileInfo journal(datei + endung);
    if (journal.exists() && journal.size() != 0)
      return {DbFehlerNr::DateiFehler,
              QStringLiteral("Neben der fehlenden Datenbank liegt noch ihre Journaldatei %1 mit Daten der fehlenden "
                             "Datenbank.\rBitte legen Sie die Datenbank, zu der sie gehört, wieder in den Ordner. Ist "
                             "sie verloren, verschieben Sie die Journaldatei an einen anderen Ort; dann wird beim "
                             "nächsten Start eine neue, leere Datenbank angelegt.")
                  .arg(QDir::toNativeSeparators(journal.filePath()))};
  }
  const QString neu = datei + QStringLiteral(".neu");
  for (const QString& rest : {neu, neu + QStringLiteral("-wal"), neu + QStringLiteral("-shm")}) QFile::remove(rest);
  {
    DbFehler f;
    std::unique_ptr<Datenbank> db = Datenbank::Oeffnen(neu, f, true);
    if (!db) return f;
    if (DbFehler s = db->SkriptAusfuehren(skript)) {
      db.reset();
      QFile::remove(neu);
      return s;
    }
  }
  if (!QFile::rename(neu, datei)) {
    QFile::remove(neu);
    return {DbFehlerNr::DateiFehler, QStringLiteral("Die Datei ") + datei + QStringLiteral(" kann nicht angelegt werden.")};
  }
  return {};
}

StartErgebnis ProgrammverzeichnisEinrichten(const QString& programmVerzeichnis, const QString& ressourcen) {
  if (!QDir().mkpath(programmVerzeichnis))
    return Fehlschlag({DbFehlerNr::DateiFehler, programmVerzeichnis},
                      QStringLiteral("Das Programmverzeichnis ") + programmVerzeichnis +
                          QStringLiteral(" kann nicht angelegt werden."));
  if (ressourcen.isEmpty()) return {};
  const QDir quelle(ressourcen);
  QDirIterator it(ressourcen, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString datei = it.next();
    const QString relativ = quelle.relativeFilePath(datei);
    if (relativ.compare(SchemaDateiname, Qt::CaseInsensitive) == 0) continue;  // becomes the database
    // The banks' schemas are read where the program is installed: a user's copy would outlive an update.
    if (relativ.startsWith(QLatin1String("xsd/"))) continue;
    const QString ziel = QDir(programmVerzeichnis).filePath(relativ);
    if (QFileInfo::exists(ziel)) continue;
    QDir().mkpath(QFileInfo(ziel).absolutePath());
    if (!QFile::copy(datei, ziel))
      return Fehlschlag({DbFehlerNr::DateiFehler, ziel},
                        QStringLiteral("Die Datei ") + ziel + QStringLiteral(" kann nicht angelegt werden."));
  }
  return {};
}

namespace {

QByteArray DateiLesen(const QString& pfad) {
  QFile f(pfad);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

bool FruehererMitgelieferterReport(const QString& name, const QByteArray& inhalt) {
  // SHA-256 of every shipped report as earlier versions shipped it: the payment list before it printed
  // kinds, states and signed amounts (its sums of unsigned amounts are refused by the report check now),
  // and every report before its IBAN and BIC columns held an IBAN of 34 and a BIC of 11 characters (and
  // the control list's head called its creation date "Status").
  static const QHash<QString, QSet<QByteArray>> frueher = {
      {QStringLiteral("zahlungsliste.lst"),
       {QByteArrayLiteral("08a331ceef60832bd998c4dba475faeb4dd5d7e32f91fe266595df0a8bcb46bf"),
        QByteArrayLiteral("c5a638bea3e22eb532de3a4d15062003ca90633840418a8061de851d6a6303c4"),
        QByteArrayLiteral("e9672473da4fe02ed20dc483b267a1a96fe8d4281a0f1ac0ad714a466e59ba2f")}},
      {QStringLiteral("absenderliste.lst"), {QByteArrayLiteral("d3e64880580c340972d3fea68d8b77e1d26165d487e8786f0539e2f39ea758c4")}},
      {QStringLiteral("bankverbindung.lst"), {QByteArrayLiteral("ab3e6451497734f530e5d7c26c3d3d6552961f064d93234e832171018790b815")}},
      {QStringLiteral("accessadressen.lst"),
       {QByteArrayLiteral("5712495df6fd40931f2bbfdb923591a497345460f941dda2bec8af83c4178ac0"),
        QByteArrayLiteral("d0ebdd370fc3e42200217ced2d292b0f9de1c7aee3720c6fdf12f2651473f27d")}},
      {QStringLiteral("internadressen.lst"),
       {QByteArrayLiteral("6753ab8751f8f38d226b40c45eb1ba323a0b57e5e34329629668680ff675cd33"),
        QByteArrayLiteral("61db27accf25dbbba24b111493d0b7309bfe7955ea311607b34386b0585da742")}},
      {QStringLiteral("tamolivraopwinadressen.lst"),
       {QByteArrayLiteral("ffb622b2a1f3f89c4553dc7d21448ca62cf384b307beb5b73bb014b0d1f2b551"),
        QByteArrayLiteral("086f165895a2148911d79745d27e30de528ce2837f8b956322fc3279b5e9996a"),
        QByteArrayLiteral("6b2848c80bf91f315bdf20042f90b52d209eba458d2def5703b827bc74fc1043")}},
      {QStringLiteral("tamoordelwinadressen.lst"),
       {QByteArrayLiteral("85f44c34288c611e07ae73bdcb8321e3a3177973c3872322edbe55d99a3db14a"),
        QByteArrayLiteral("cd1155999a579aebf99096f7fea7bc6a998058683ac7d3607e4921f4feb75227"),
        QByteArrayLiteral("3dd49f40f3174a8cee2c1a2bcb5d7ba5711844bb74147927e141336943912240")}},
      {QStringLiteral("dbase3adressen.lst"),
       {QByteArrayLiteral("d86124f164f0059cf291321b02f7e50cfdd9a559c71be14e421f5d1de7e10e3a"),
        QByteArrayLiteral("763c267b811fc74a53c512d967c4ecf9728c57926aea44bcc2b1343904860fae")}},
      {QStringLiteral("dbase4adressen.lst"),
       {QByteArrayLiteral("92c247b363068baf970e3bce9c0bccaec995b28296f3eb4fb18ba140b97e2413"),
        QByteArrayLiteral("6fc1b3b9664e24ff983ee02716e8af2563c1275cbd0a33a3e002e2502a263697")}}};
  const auto it = frueher.constFind(name.toLower());
  return it != frueher.constEnd() && !inhalt.isEmpty() &&
         it->contains(QCryptographicHash::hash(inhalt, QCryptographicHash::Sha256).toHex());
}

QString ReportdateienErgaenzen(const QString& programmVerzeichnis, const QString& ressourcen) {
  if (ressourcen.isEmpty()) return {};
  const QDir ziel(programmVerzeichnis);
  const QStringList vorhanden = ziel.entryList(QDir::Files | QDir::Hidden);
  QStringList fehlgeschlagen;
  const QStringList geliefert = QDir(ressourcen).entryList({QStringLiteral("*.LST")}, QDir::Files);
  for (const QString& name : geliefert) {
    // Report file names are compared without letter case: the user's "zahlungsliste.lst" is the report.
    const auto da = std::find_if(vorhanden.cbegin(), vorhanden.cend(),
                                 [&name](const QString& v) { return v.compare(name, Qt::CaseInsensitive) == 0; });
    if (da != vorhanden.cend()) {
      // An earlier version of a shipped report that the user never changed gives way to the current one.
      const QString pfad = ziel.filePath(*da);
      if (!FruehererMitgelieferterReport(name, DateiLesen(pfad))) continue;
      QFile quelle(QDir(ressourcen).filePath(name));
      if (!quelle.open(QIODevice::ReadOnly) || SichereDateien::Ersetzen(pfad, quelle.readAll()))
        fehlgeschlagen << QDir::toNativeSeparators(pfad);
      continue;
    }
    // Complete under a temporary name, then renamed (QFile::rename never replaces a file): an interrupted
    // start leaves no half report that later starts would take for the user's own.
    QFile quelle(QDir(ressourcen).filePath(name));
    const QString pfad = ziel.filePath(name);
    const QString temporaer = SichereDateien::TemporaererName(pfad, QStringLiteral("start"), QStringLiteral(".tmp"));
    QFile::remove(temporaer);   // left by an interrupted start
    const bool gelesen = quelle.open(QIODevice::ReadOnly);
    if (gelesen && !SichereDateien::NeuSchreiben(temporaer, quelle.readAll(), pfad) && QFile::rename(temporaer, pfad)) continue;
    QFile::remove(temporaer);
    fehlgeschlagen << QDir::toNativeSeparators(pfad);
  }
  if (fehlgeschlagen.isEmpty()) return {};
  return QStringLiteral("Die mitgelieferten Reportdateien konnten nicht ins Programmverzeichnis kopiert werden:\r") +
         fehlgeschlagen.join(QLatin1Char('\r'));
}

StartErgebnis OrdnerEinrichten() {
  const QString programm = ProgrammverzeichnisErmitteln();
  StartErgebnis fertig;
  if (OrdnerLeer(programm)) {
    StartErgebnis e = ProgrammverzeichnisEinrichten(programm, RessourcenVerzeichnis());
    if (!e.Ok()) return e;
  } else {
    // Reports shipped with a later version reach an existing installation too.
    fertig.hinweis = ReportdateienErgaenzen(programm, RessourcenVerzeichnis());
    fertig.warnung = !fertig.hinweis.isEmpty();
  }
  Zustand().ProgrammVerzeichnisSetzen(programm);

  const QString abschnitt = QStringLiteral("Window State");
  QString schluessel = QStringLiteral("Datenlaufwerk");
  QString daten = GetSetting(abschnitt, schluessel).trimmed();
  if (daten.isEmpty()) daten = GetSetting(abschnitt, schluessel = QStringLiteral("InstallDir")).trimmed();
  if (!daten.isEmpty()) {
    daten = BackslashAnhaengen(QDir::toNativeSeparators(daten));
    // Set by hand or by an installation: the user must learn where to put it right.
    const QString einstellung =
        QStringLiteral("\rOder tragen Sie in der Einstellungsdatei %1 im Abschnitt [%2] bei „%3“ den Ordner der "
                       "Datenbank ein.")
            .arg(QDir::toNativeSeparators(Registrierung::Instanz().Datei()), abschnitt, schluessel);
    if (const QString mangel = DatenordnerPfadMangel(daten); !mangel.isEmpty())
      return Fehlschlag({DbFehlerNr::DateiFehler, daten}, mangel + einstellung);
    if (!QFileInfo(daten).isDir())
      return Fehlschlag({DbFehlerNr::DateiFehler, daten},
                        QStringLiteral("Das Datenverzeichnis %1 (Einstellung „%2“) ist nicht erreichbar.\r"
                                       "Bitte prüfen Sie, ob das Laufwerk verbunden ist und Sie es lesen dürfen.")
                                .arg(daten, schluessel) +
                            einstellung);
    // A folder in the database's place is named by the opening.
    if (!QFileInfo::exists(daten + DatenbankDateiname))
      return Fehlschlag({DbFehlerNr::DateiFehler, daten + DatenbankDateiname},
                        QStringLiteral("Die Datenbank %1 wurde im Datenverzeichnis nicht gefunden:\r%2\r"
                                       "Bitte legen Sie die Datenbank wieder in diesen Ordner, etwa aus einer "
                                       "Datensicherung.")
                                .arg(DatenbankDateiname, daten) +
                            einstellung);
    Zustand().DatenVerzeichnisSetzen(daten);
    return fertig;
  }

  Zustand().DatenVerzeichnisSetzen(programm);
  const QString datei = programm + DatenbankDateiname;
  if (!QFileInfo(datei).isFile()) {
    const QString ressourcen = RessourcenVerzeichnis();
    if (ressourcen.isEmpty())
      return Fehlschlag({DbFehlerNr::DateiFehler, SchemaDateiname},
                        QStringLiteral("Die Datei ") + SchemaDateiname +
                            QStringLiteral(" wurde nicht gefunden. Die Datenbank kann nicht angelegt werden."));
    if (DbFehler f = DatenbankAnlegen(datei, ressourcen + QLatin1Char('/') + SchemaDateiname))
      return Fehlschlag(f, QStringLiteral("Die Datenbank ") + datei + QStringLiteral(" kann nicht angelegt werden.\r") +
                               f.Meldungstext());
  }
  return fertig;
}

QString SchemaSkript() {
  const QString ressourcen = RessourcenVerzeichnis();
  if (ressourcen.isEmpty()) return {};
  QFile schema(ressourcen + QLatin1Char('/') + SchemaDateiname);
  if (!schema.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(schema.readAll());
}

StartErgebnis DatenbankOeffnen() {
  Programmzustand& z = Zustand();
  z.DatenbankSchliessen();
  const QString datei = z.DatenVerzeichnis() + DatenbankDateiname;
  DatenbankOeffnung::Ergebnis geoeffnet = DatenbankOeffnung::Oeffnen(datei, SchemaSkript());
  if (!geoeffnet.Ok()) return Fehlschlag(geoeffnet.fehler, geoeffnet.meldung);
  std::unique_ptr<Datenbank> db = std::move(geoeffnet.db);
  DbFehler f;

  std::unique_ptr<Recordset> absender = Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("Absender")),
                                                           RecordsetTyp::Tabelle, f);
  if (!absender)
    return Fehlschlag(f, QStringLiteral("Fehler bei der Datenermittlung!\r\r") + f.Meldungstext());
  absender->Seek(z.AktuelleAbsenderNr());
  if (absender->NoMatch() && absender->RecordCount() > 0) {
    // The stored sender no longer exists: work with the first one.
    absender->MoveFirst();
    z.AktuelleAbsenderNrSetzen(static_cast<int>(absender->Ganzzahl(QStringLiteral("AbsenderNr"))));
  }

  StartErgebnis ergebnis;
  ergebnis.hinweis = geoeffnet.hinweis;
  // A note of the address source comes once per run and key, after what the opening noted.
  const auto einmalMelden = [&z, &ergebnis](const QString& schluessel, const QString& hinweis) {
    if (hinweis.isEmpty() || z.HinweisBereitsGemeldet(schluessel)) return;
    z.HinweisGemeldet(schluessel);
    ergebnis.hinweis += (ergebnis.hinweis.isEmpty() ? QString() : QStringLiteral("\r\r")) + hinweis;
    ergebnis.warnung = true;
  };
  AdressQuellenInfo quelle = AdressQuellenInfo::Intern();
  const bool positioniert = absender->AbsolutePosition() >= 0;
  const int format = positioniert ? static_cast<int>(absender->Ganzzahl(QStringLiteral("AdressenFormat"))) : 0;
  if (format > 2) {
    // dBase and Access address sources of the old program cannot be linked here.
    const QString hinweis = QStringLiteral("Das Adressformat ") + QString::number(format) +
                            QStringLiteral(" des Absenders wird nicht unterstützt.\rEs werden die internen Adressen verwendet.");
    einmalMelden(QString::number(z.AktuelleAbsenderNr()) + QLatin1Char('|') + hinweis, hinweis);
  } else if (const auto g = GeschwisterTabellen(format)) {
    const QString verbindung = VerbindungsPfad(absender->Text(QStringLiteral("AdressenVerbindung")));
    QString zusatz;
    DbFehler lf;
    if (verbindung.isEmpty())
      lf = {DbFehlerNr::DateiFehler, QStringLiteral("Keine Datenbank angegeben.")};
    else
      lf = GeschwisterVerknuepfen(*db, verbindung, *g, zusatz);
    QString hinweis;
    if (lf) {
      hinweis = QStringLiteral("Die Daten des Absenders können nicht verknüpft werden:\r") + verbindung +
                QStringLiteral("\r") + lf.Meldungstext() + QStringLiteral("\rEs werden die internen Adressen verwendet.\r\r"
                "Bitte prüfen Sie unter „Absender“ die Datenbank, aus der die Adressen kommen.");
    } else {
      quelle = AdressQuellenInfo::FuerFormat(format);
      hinweis = zusatz;
    }
    einmalMelden(QString::number(z.AktuelleAbsenderNr()) + QLatin1Char('|') + verbindung + QLatin1Char('|') + hinweis,
                 hinweis);
  }
  z.DatenbankUebernehmen(std::move(db), std::move(absender), quelle);
  return ergebnis;
}
