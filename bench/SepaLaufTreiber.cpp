#include "SepaLaufTreiber.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>

#include <csignal>
#include <memory>
#include <optional>

#include "common/DatenbankOeffnung.h"
#include "common/Datenbankstart.h"
#include "common/Datenhilfen.h"
#include "common/Optionsschalter.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "platform/db/Anweisung.h"
#include "platform/db/Recordset.h"
#include "platform/report/core/PdfReportengine.h"
#include "platform/db/Waehrung.h"
#include "sepafiles/core/SepaBefundliste.h"
#include "sepafiles/core/Selektivbearbeitung.h"
#include "sepafiles/core/SepaEinstellungen.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "sepafiles/core/SepaSchemapruefung.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/druck/Kontrollliste.h"

namespace {

struct Aufruf {
  QString db;
  int erzeugen = -1;
  quint32 seed = 1;
  bool feindlich = false;
  int art = -1;
  bool aufteilen = false;
  QString ziel;
  QString referenz;
  bool zeiten = false;
  QString kontrollliste;
  bool nurOeffnen = false;
  bool reaktivieren = false;
  std::optional<SepaLaufSchritt> abbrechenBei;
  int abbrechenDatei = 0;
  std::optional<SepaFormat> format;   // else the stored setting
  int verfaelschen = -1;              // index of the file whose stream is spoilt (test of the schema check)
};

// "--abbrechen-bei": the step at which the process kills itself (kill tests).
std::optional<std::pair<SepaLaufSchritt, int>> SchrittLesen(const QString& text) {
  const QString name = text.section(QLatin1Char(':'), 0, 0);
  const int datei = text.section(QLatin1Char(':'), 1, 1).toInt();
  if (name == QLatin1String("vor-den-dateien")) return std::make_pair(SepaLaufSchritt::VorDenDateien, 0);
  if (name == QLatin1String("nach-den-dateien")) return std::make_pair(SepaLaufSchritt::NachDenDateien, 0);
  if (name == QLatin1String("nach-der-markierung")) return std::make_pair(SepaLaufSchritt::NachDerMarkierung, 0);
  if (name == QLatin1String("nach-dem-umbenennen")) return std::make_pair(SepaLaufSchritt::NachDemUmbenennen, datei);
  if (name == QLatin1String("nach-dem-aufraeumen")) return std::make_pair(SepaLaufSchritt::NachDemAufraeumen, 0);
  return std::nullopt;
}

const QString Gebrauch = QStringLiteral(
    "Aufruf: sepa-lauf --db DATEI [--erzeugen N] [--seed S] [--feindlich] --art 0|1|2 [--aufteilen] "
    "--ziel ORDNER --referenz R [--dateiformat pain.001.001.09|pain.001.001.03] [--kontrollliste DATEI.pdf] "
    "[--zeiten] [--abbrechen-bei SCHRITT[:DATEI]] [--verfaelschen DATEI]\n"
    "       sepa-lauf --db DATEI --nur-oeffnen [--ziel ORDNER]\n"
    "       sepa-lauf --db DATEI --reaktivieren");

std::optional<Aufruf> ArgumenteLesen(const QStringList& a, QString& fehler) {
  Aufruf aufruf;
  for (qsizetype i = 0; i < a.size(); ++i) {
    const QString& name = a.at(i);
    auto wert = [&]() -> std::optional<QString> {
      if (i + 1 >= a.size()) return std::nullopt;
      return a.at(++i);
    };
    auto zahl = [&](long long min, long long max) -> std::optional<long long> {
      const auto w = wert();
      if (!w) return std::nullopt;
      bool ok = false;
      const long long z = w->toLongLong(&ok);
      if (!ok || z < min || z > max) return std::nullopt;
      return z;
    };
    if (name == QLatin1String("--db")) {
      const auto w = wert();
      if (!w) return fehler = QStringLiteral("--db braucht eine Datei."), std::nullopt;
      aufruf.db = *w;
    } else if (name == QLatin1String("--erzeugen")) {
      const auto z = zahl(0, 10000000);
      if (!z) return fehler = QStringLiteral("--erzeugen braucht eine Anzahl."), std::nullopt;
      aufruf.erzeugen = int(*z);
    } else if (name == QLatin1String("--seed")) {
      const auto z = zahl(0, 0xffffffffLL);
      if (!z) return fehler = QStringLiteral("--seed braucht eine Zahl."), std::nullopt;
      aufruf.seed = quint32(*z);
    } else if (name == QLatin1String("--art")) {
      const auto z = zahl(0, 2);
      if (!z) return fehler = QStringLiteral("--art braucht 0, 1 oder 2."), std::nullopt;
      aufruf.art = int(*z);
    } else if (name == QLatin1String("--ziel")) {
      const auto w = wert();
      if (!w) return fehler = QStringLiteral("--ziel braucht einen Ordner."), std::nullopt;
      aufruf.ziel = *w;
    } else if (name == QLatin1String("--referenz")) {
      const auto w = wert();
      if (!w) return fehler = QStringLiteral("--referenz braucht einen Text."), std::nullopt;
      aufruf.referenz = *w;
    } else if (name == QLatin1String("--kontrollliste")) {
      const auto w = wert();
      if (!w || w->isEmpty()) return fehler = QStringLiteral("--kontrollliste braucht eine PDF-Datei."), std::nullopt;
      aufruf.kontrollliste = *w;
    } else if (name == QLatin1String("--dateiformat")) {
      const auto w = wert();
      aufruf.format = w ? SepaFormate::AusText(*w) : std::nullopt;
      if (!aufruf.format)
        return fehler = QStringLiteral("--dateiformat braucht pain.001.001.09 (oder pain.008.001.08) oder "
                                       "pain.001.001.03 (oder pain.008.001.02)."),
               std::nullopt;
    } else if (name == QLatin1String("--verfaelschen")) {
      const auto z = zahl(0, 3);
      if (!z) return fehler = QStringLiteral("--verfaelschen braucht die Nummer einer Datei (0-3)."), std::nullopt;
      aufruf.verfaelschen = int(*z);
    } else if (name == QLatin1String("--feindlich")) {
      aufruf.feindlich = true;
    } else if (name == QLatin1String("--aufteilen")) {
      aufruf.aufteilen = true;
    } else if (name == QLatin1String("--zeiten")) {
      aufruf.zeiten = true;
    } else if (name == QLatin1String("--nur-oeffnen")) {
      aufruf.nurOeffnen = true;
    } else if (name == QLatin1String("--reaktivieren")) {
      aufruf.reaktivieren = true;
    } else if (name == QLatin1String("--abbrechen-bei")) {
      const auto w = wert();
      const auto schritt = w ? SchrittLesen(*w) : std::nullopt;
      if (!schritt) return fehler = QStringLiteral("--abbrechen-bei braucht einen Schritt."), std::nullopt;
      aufruf.abbrechenBei = schritt->first;
      aufruf.abbrechenDatei = schritt->second;
    } else {
      fehler = QStringLiteral("Unbekannte Angabe: ") + name;
      return std::nullopt;
    }
  }
  if (aufruf.nurOeffnen && !aufruf.db.isEmpty() && (aufruf.erzeugen < 0 || aufruf.art >= 0)) return aufruf;
  if (aufruf.reaktivieren && !aufruf.db.isEmpty() && aufruf.erzeugen < 0) return aufruf;
  if (aufruf.db.isEmpty() || aufruf.art < 0 || aufruf.ziel.isEmpty() || aufruf.referenz.isNull()) {
    fehler = QStringLiteral("--db, --art, --ziel und --referenz sind anzugeben.");
    return std::nullopt;
  }
  return aufruf;
}

// German IBAN of a bank code and account number (ISO 7064 MOD 97-10).
QString DeutscheIban(const QString& blz, const QString& konto) {
  const QString ziffern = blz + konto + QStringLiteral("131400");
  int rest = 0;
  for (QChar c : ziffern) rest = (rest * 10 + c.digitValue()) % 97;
  return QStringLiteral("DE") + QString::number(98 - rest).rightJustified(2, QLatin1Char('0')) + blz + konto;
}

QString Auswahl(QRandomGenerator& zufall, const QStringList& liste) {
  return liste.at(int(zufall.bounded(quint32(liste.size()))));
}

QString Meldungszeilen(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

// The control list of the run as a PDF file, through the print driver and the report the window
// uses (the stored default in the program folder, else the shipped one).
int KontrolllisteSchreiben(Datenbank& db, const SepaLaufErgebnis& ergebnis, int absenderNr, const QDate& datum,
                           const QString& pdf, QTextStream& fehler) {
  DbFehler f;
  std::unique_ptr<Recordset> absender =
      Recordset::Oeffnen(db, Abfrage::Tabelle(QStringLiteral("Absender")), RecordsetTyp::Tabelle, f);
  if (!absender) {
    fehler << Meldungszeilen(f.Meldungstext()) << '\n';
    return 1;
  }
  QString report = Kontrollliste::Reportdatei(db, ProgrammverzeichnisErmitteln());
  if (!QFileInfo(report).isFile() && EinstellungLesen(db, QStringLiteral("VorgabeRPTZahlungsliste")).isEmpty())
    report = RessourcenVerzeichnis() + QStringLiteral("/Zahlungsliste.LST");
  PdfReportengine engine;
  const Druckformular formular{.titel = QStringLiteral("SEPA-Datei erstellen"),
                               .absenderDaten = absender.get(),
                               .absenderNr = absenderNr,
                               .programmVerzeichnis = ProgrammverzeichnisErmitteln(),
                               .reportDatum = Zustand().ReportDatum()};
  const Druckergebnis r = Kontrollliste::PdfSchreiben(db, ergebnis, datum, pdf, report, formular, engine);
  // Without a screen the print's messages go to the error stream.
  for (const QString& text : r.meldungen) fehler << Meldungszeilen(text) << '\n';
  return r.Ok() ? 0 : 1;
}

// The files of a run checked once more against the schemas of their format, each read in blocks (the bench's
// figure of the check alone). Empty when all pass, else the message.
QString SchemapruefungAllein(const QStringList& dateien, const SepaOptionen& optionen) {
  QString meldung;
  const SepaSchemaliste schemas =
      SepaSchemapruefung::Laden(optionen.Format, optionen.IstLastschrift(), SepaSchemapruefung::Ordner(), meldung);
  if (schemas.isEmpty()) return meldung;
  for (const QString& pfad : dateien) {
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) return QStringLiteral("Die Datei kann nicht gelesen werden: ") + pfad;
    SepaSchemastrom strom(schemas);
    QByteArray block(256 * 1024, Qt::Uninitialized);
    for (qint64 n; (n = datei.read(block.data(), block.size())) > 0;) strom.Anhaengen(QByteArrayView(block.constData(), n));
    if (const SepaSchemabefund befund = strom.Ergebnis(); !befund.Ok())
      return SepaSchemapruefung::Meldung(QFileInfo(pfad).fileName(), befund);
  }
  return {};
}

}  // namespace

DbFehler SepaTestdatenErzeugen(Datenbank& db, int absenderNr, int anzahl, int art, quint32 seed, bool feindlich,
                               const QString& referenz) {
  QRandomGenerator zufall(seed);
  const QDate heute = Uhr::Heute();
  const QStringList blzListe = {QStringLiteral("37040044"), QStringLiteral("50010517"), QStringLiteral("10020030"),
                                QStringLiteral("70020270"), QStringLiteral("20041155")};
  const QStringList bicListe = {QStringLiteral("COBADEFFXXX"), QStringLiteral("INGDDEFFXXX"), QStringLiteral("DEUTDEFF"),
                                QStringLiteral("HYVEDEMMXXX"), QString()};
  const QStringList codes = {QString(), QString(), QStringLiteral("SUPP"), QStringLiteral("SALA"), QStringLiteral("GDDS")};
  const QStringList feindlicheNamen = {
      QStringLiteral("Müller & Söhne <GmbH>"),
      QStringLiteral("O'Brien \"Bau\" & Co. KG"),
      QStringLiteral("Straße ÄÖÜ äöü ß € 100%"),
      QStringLiteral("Überlänge ") + QString(90, QLatin1Char('X')),
      QStringLiteral("Zeichen ]]> <!-- --> &amp; \t ~ ^ ` | \\ {}")};
  const QStringList feindlicheTexte = {QStringLiteral("<Rechnung> & \"Gutschrift\" 'x'"),
                                       QStringLiteral("Grüße aus Köln: 5 * 3 $ = 15%"),
                                       QStringLiteral("Sehr lange Zeile ") + QString(60, QLatin1Char('Z'))};

  {
    int geaendert = 0;
    const QString name = feindlich ? QStringLiteral("Tamo & Söhne <Handel> \"GmbH\"") : QStringLiteral("Tamo Handel GmbH");
    if (DbFehler f = db.Ausfuehren(
            SqlText("INSERT INTO Absender (AbsenderNr, Name, Bank, IBAN, BIC, \"GläubigerID\", ReferenzNr, Bemerkung) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (AbsenderNr) DO UPDATE SET Name = excluded.Name, "
                    "Bank = excluded.Bank, IBAN = excluded.IBAN, BIC = excluded.BIC, "
                    "\"GläubigerID\" = excluded.\"GläubigerID\", ReferenzNr = excluded.ReferenzNr, "
                    "Bemerkung = excluded.Bemerkung"),
            {absenderNr, name, QStringLiteral("Commerzbank"), QStringLiteral("DE89370400440532013000"),
             QStringLiteral("COBADEFFXXX"), QStringLiteral("DE98ZZZ09999999999"), referenz, QStringLiteral("Filiale")},
            &geaendert))
      return f;
  }

  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  Anweisung zahlung;
  if (DbFehler f = zahlung.Vorbereiten(
          db, QStringLiteral("INSERT INTO Zahlungen (AbsenderNr, Art, Name, Bank, BIC, IBAN, Verwendungszweck1, "
                             "ZahlungGesamt, \"Fällig\", \"Textschlüssel\", MandatReferenz, MandatDatum, MandatSequenz, "
                             "EinzelReferenz, \"Währung\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)")))
    return f;
  Anweisung zeile;
  if (DbFehler f = zeile.Vorbereiten(
          db, QStringLiteral("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, "
                             "OPBetrag, ZahlungsBetrag) VALUES (?, ?, ?, ?, ?, ?)")))
    return f;

  for (int i = 1; i <= anzahl; ++i) {
    const int sequenz = art == 0 ? 0 : (art == 1 ? 1 : 11) + (i - 1) % 4;
    QString name = QStringLiteral("Kunde %1").arg(i);
    QString iban = DeutscheIban(Auswahl(zufall, blzListe), QString::number(zufall.bounded(1000000000u, 4000000000u)).rightJustified(10, QLatin1Char('0')));
    QString bic = Auswahl(zufall, bicListe);
    QString code = art == 0 ? Auswahl(zufall, codes) : QString();
    QString mandat = QStringLiteral("MANDAT-%1").arg(i);
    QDate mandatDatum(2023, 1 + i % 12, 1 + i % 28);
    const int zeilen = 1 + int(zufall.bounded(5u));
    QStringList texte;
    QList<Waehrung> betraege;
    for (int z = 1; z <= zeilen; ++z) {
      texte << QStringLiteral("RE %1-%2 v. %3").arg(i).arg(z).arg(heute.addDays(-z).toString(QStringLiteral("dd.MM.yy")));
      betraege << Waehrung::AusCent(100 + zufall.bounded(999900u));
    }
    if (feindlich) {
      if (i % 7 == 0) name = feindlicheNamen.at((i / 7) % feindlicheNamen.size());
      if (i % 11 == 0) texte[0] = feindlicheTexte.at((i / 11) % feindlicheTexte.size());
      switch (i % 13 == 0 ? (i / 13) % 8 : -1) {
        case 0: iban[3] = iban[3] == QLatin1Char('9') ? QLatin1Char('0') : QChar(iban[3].unicode() + 1); break;
        case 1: bic = QStringLiteral("DEUTDEFF1"); break;
        case 2: for (Waehrung& b : betraege) b = Waehrung(); break;
        case 3: name = QStringLiteral("§§§ ###"); break;
        case 4: texte[0] = QStringLiteral("#[]{}"); break;
        case 5: mandat = QStringLiteral("AB//CD"); break;
        case 6: mandatDatum = heute.addDays(30); break;
        case 7: if (art == 0) code = QStringLiteral("ABCDE"); else mandat.clear(); break;
        default: break;
      }
    }
    Waehrung gesamt;
    for (const Waehrung& b : betraege) gesamt += b;
    const QVariant faellig = i % 3 == 0 ? QVariant() : QVariant(heute);
    if (DbFehler f = zahlung.Binden({absenderNr, art == 0 ? QStringLiteral("G") : QStringLiteral("L"), name,
                                     QStringLiteral("Bank %1").arg(i % 50), bic, iban, texte.first(),
                                     QVariant::fromValue(gesamt), faellig, code,
                                     art == 0 ? QVariant() : QVariant(mandat),
                                     art == 0 ? QVariant() : QVariant(mandatDatum), sequenz,
                                     i % 4 == 0 ? QVariant(QStringLiteral("E2E-%1").arg(i)) : QVariant()}))
      return f;
    DbFehler f;
    zahlung.Schritt(f);
    if (f) return f;
    zahlung.Zuruecksetzen();
    const qint64 nr = db.LetzteEinfuegeNr();
    for (int z = 0; z < zeilen; ++z) {
      if (DbFehler b = zeile.Binden({nr, z + 1, texte.at(z), QStringLiteral("R-%1-%2").arg(i).arg(z + 1),
                                     QVariant::fromValue(betraege.at(z)), QVariant::fromValue(betraege.at(z))}))
        return b;
      zeile.Schritt(f);
      if (f) return f;
      zeile.Zuruecksetzen();
    }
  }
  return transaktion.Commit();
}

// "--reaktivieren": the selective reactivation of every done order of the sender, as a workstation does whose
// program was opened before a run elsewhere was interrupted (so without finishing that run first).
static int Reaktivieren(Datenbank& db, int absenderNr, QTextStream& aus, QTextStream& fehler) {
  SelektivKriterien kriterien;
  kriterien.absenderNr = absenderNr;
  SelektivBestand bestand;
  DbFehler f = Selektivbearbeitung::BestandLesen(db, kriterien, bestand);
  if (!f) f = Selektivbearbeitung::Ausfuehren(db, kriterien, SelektivAktion::Reaktivieren, bestand);
  if (f) {
    fehler << Meldungszeilen(f.Nummer == Selektivbearbeitung::LaufOffenNr ? f.Beschreibung : f.Meldungstext()) << '\n';
    return 1;
  }
  aus << "Reaktiviert: " << bestand.Anzahl() << '\n';
  return 0;
}

int SepaLaufTreiber(const QStringList& argumente, QTextStream& aus, QTextStream& fehler) {
  QString text;
  const std::optional<Aufruf> aufruf = ArgumenteLesen(argumente, text);
  if (!aufruf) {
    fehler << text << '\n' << Gebrauch << '\n';
    return 2;
  }
  QElapsedTimer uhr;
  Programmzustand& zustand = Zustand();
  zustand.StartwerteLesen();
  const int absenderNr = zustand.AktuelleAbsenderNr();

  if (aufruf->erzeugen >= 0) {
    if (QFileInfo::exists(aufruf->db)) {
      fehler << "Die Datei " << aufruf->db << " ist bereits vorhanden.\n";
      return 2;
    }
    uhr.start();
    if (DbFehler a = DatenbankAnlegen(aufruf->db, RessourcenVerzeichnis() + QStringLiteral("/") + SchemaDateiname)) {
      fehler << Meldungszeilen(a.Meldungstext()) << '\n';
      return 1;
    }
  }
  // Opened as the program opens it: checks and migration before any write, then what a crash left.
  DatenbankOeffnung::Ergebnis geoeffnet = DatenbankOeffnung::Oeffnen(aufruf->db, SchemaSkript());
  if (!geoeffnet.Ok()) {
    fehler << Meldungszeilen(geoeffnet.meldung) << '\n';
    return 1;
  }
  std::unique_ptr<Datenbank> db = std::move(geoeffnet.db);
  if (!geoeffnet.hinweis.isEmpty()) fehler << Meldungszeilen(geoeffnet.hinweis) << '\n';
  if (aufruf->reaktivieren) return Reaktivieren(*db, absenderNr, aus, fehler);
  const QString datenordner = QFileInfo(aufruf->db).absolutePath();
  const SepaLaufVermerke::Abschluss abschluss = SepaLaufVermerke::Nachholen(
      *db, {aufruf->ziel.isEmpty() ? SepaEinstellungen::Laden(*db, datenordner).Zielordner : aufruf->ziel, datenordner});
  for (const QString& pfad : abschluss.fertig) aus << "Fertiggestellt: " << pfad << '\n';
  for (const QString& pfad : abschluss.fehlend) aus << "Fehlt: " << pfad << '\n';
  if (const QString text = abschluss.Meldung(); !text.isEmpty()) fehler << Meldungszeilen(text) << '\n';
  if (aufruf->nurOeffnen && aufruf->erzeugen < 0) return abschluss.Warnung() ? 1 : 0;

  if (aufruf->erzeugen >= 0) {
    const DbFehler f = SepaTestdatenErzeugen(*db, absenderNr, aufruf->erzeugen, aufruf->art, aufruf->seed,
                                             aufruf->feindlich, aufruf->referenz);
    if (aufruf->zeiten) fehler << "Zeit Erzeugen: " << uhr.elapsed() << " ms\n";
    if (f) {
      fehler << Meldungszeilen(f.Meldungstext()) << '\n';
      return 1;
    }
    if (aufruf->nurOeffnen) return 0;
  }

  const SepaEinstellungen einstellungen =
      SepaEinstellungen::Laden(*db, QFileInfo(aufruf->db).absolutePath());
  const Optionsschalter optionen = Optionsschalter::AusRegistrierung();
  const QDateTime zeitpunkt = Uhr::Jetzt();
  const SepaArt art = SepaOptionen::ArtAusIndex(aufruf->art).value_or(SepaArt::Ueberweisung);

  uhr.restart();
  SepaAuswahlAnfrage anfrage;
  anfrage.AbsenderNr = absenderNr;
  anfrage.Art = art;
  anfrage.Heute = zeitpunkt.date();
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(*db, anfrage);
  if (aufruf->zeiten) fehler << "Zeit Auswahl und Prüfung: " << uhr.elapsed() << " ms\n";
  if (!auswahl.Ok()) {
    fehler << Meldungszeilen(auswahl.Meldung) << '\n';
    return 1;
  }
  if (auswahl.Fehlerhaft > 0) fehler << Meldungszeilen(SepaSelektion::Fehlerwarnung(auswahl.Fehlerhaft)) << '\n';
  // The list "Weggelassene Zahlungen", one line per order with every reason.
  for (const SepaAuftragsbefund& befund : auswahl.Befunde) aus << "Weggelassen: " << SepaBefundliste::Zeile(befund) << '\n';

  SepaLaufAnfrage lauf;
  lauf.AbsenderNr = absenderNr;
  lauf.ZahlungNummern = auswahl.ZahlungNummern;
  lauf.Auftraege = auswahl.Auftraege;
  lauf.Fehlerhaft = auswahl.Fehlerhaft;
  lauf.Optionen.Art = art;
  lauf.Optionen.Format = aufruf->format.value_or(einstellungen.Dateiformat);
  lauf.Optionen.Sammelbuchung = einstellungen.Sammelbuchung;
  lauf.Optionen.AutoEinzelReferenz = einstellungen.AutoEinzelReferenz;
  lauf.Optionen.AufteilenNachMandatArt = aufruf->aufteilen;
  lauf.Optionen.DateinameMitBemerkung = optionen.SepaDateinamemitAbsenderBemerkung;
  lauf.Optionen.Vorlauftage = einstellungen.Faelligkeitstage;
  lauf.Optionen.Erstellungsdatum = zeitpunkt.date();
  lauf.Optionen.Zeitpunkt = zeitpunkt;
  lauf.Referenz = aufruf->referenz;
  lauf.Zielordner = aufruf->ziel;
  lauf.ArchivSpeichern = optionen.SEPAmitArchivSpeichern;
  // Headless, nobody can be asked: the run goes on, with the window's warning.
  if (SepaFormate::VonBankenAbgelehnt(lauf.Optionen.Format, zeitpunkt.date()))
    fehler << "Warnung: " << SepaFormate::AltesFormatWarnung() << '\n';

  uhr.restart();
  SepaLaufStoerung abbrechen;
  QStringList schritte;   // --zeiten: when each step of the run was reached
  abbrechen.Schritt = [&](SepaLaufSchritt schritt, int datei) {
    if (aufruf->zeiten) {
      static const char* const namen[] = {"vor-den-dateien", "nach-den-dateien", "nach-der-markierung",
                                          "nach-dem-umbenennen", "nach-dem-aufraeumen"};
      schritte << QStringLiteral("Zeit bis %1%2: %3 ms")
                      .arg(QString::fromLatin1(namen[int(schritt)]))
                      .arg(datei >= 0 ? QStringLiteral(":%1").arg(datei) : QString())
                      .arg(uhr.elapsed());
    }
    if (aufruf->abbrechenBei && schritt == *aufruf->abbrechenBei &&
        (schritt != SepaLaufSchritt::NachDemUmbenennen || datei == aufruf->abbrechenDatei))
      std::raise(SIGKILL);
  };
  if (aufruf->verfaelschen >= 0) {
    // The closing tag of the document's root element is lost: well-formed no more.
    abbrechen.Verfaelschen = [datei = aufruf->verfaelschen](int d, QByteArray& block) {
      if (d == datei) block.replace("</Document>", "</Dokument>");
    };
  }
  const SepaLaufErgebnis ergebnis = SepaLauf::Ausfuehren(*db, lauf, &abbrechen);
  for (const QString& s : schritte) fehler << s << '\n';
  if (aufruf->zeiten) fehler << "Zeit Schreiben und Markieren: " << uhr.elapsed() << " ms\n";
  for (const QString& pfad : ergebnis.Dateien) aus << "Datei: " << pfad << '\n';
  aus << "Zahlungen: " << ergebnis.Anzahl << '\n';
  aus << "Fehlerhaft: " << auswahl.Fehlerhaft << '\n';
  for (const QString& w : ergebnis.Warnungen) fehler << Meldungszeilen(w) << '\n';
  if (!ergebnis.Ok()) {
    fehler << Meldungszeilen(ergebnis.Meldung) << '\n';
    return 1;
  }
  if (aufruf->zeiten) {
    // The same check as the run's, alone: the files read back in blocks, ISO and DK schema side by side.
    uhr.restart();
    if (const QString text = SchemapruefungAllein(ergebnis.Dateien, lauf.Optionen); !text.isEmpty()) {
      fehler << Meldungszeilen(text) << '\n';
      return 1;
    }
    fehler << "Zeit Schemaprüfung allein: " << uhr.elapsed() << " ms\n";
  }
  if (!aufruf->kontrollliste.isEmpty()) {
    uhr.restart();
    if (KontrolllisteSchreiben(*db, ergebnis, absenderNr, zeitpunkt.date(), aufruf->kontrollliste, fehler) != 0) return 1;
    if (aufruf->zeiten) fehler << "Zeit Kontrollliste: " << uhr.elapsed() << " ms\n";
    aus << "Kontrollliste: " << QDir::toNativeSeparators(QFileInfo(aufruf->kontrollliste).absoluteFilePath()) << '\n';
  }
  return 0;
}
