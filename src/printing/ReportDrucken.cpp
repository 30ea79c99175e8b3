#include "printing/ReportDrucken.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <algorithm>
#include <climits>
#include <numeric>
#include <vector>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/Waehrung.h"
#include "platform/report/Reportengine.h"
#include "platform/ui/Meldung.h"
#include "printing/AbsenderVariablen.h"
#include "printing/Reportdateien.h"
#include "printing/Reportjob.h"

namespace {

const QString Kopf = QStringLiteral("Bei der Reportausgabe ist ein Problem entstanden!\r\r");

// The two orders of payment lists: by kind and name, and by kind, sequence and name.
const char* const kZahlungsordnungen[] = {
    "Zahlungen.Art ASC, Zahlungen.Name, Zahlungen.ZahlungNr, Verwendungszweck.ZeilenNr",
    "Zahlungen.Art ASC, Zahlungen.MandatSequenz, Zahlungen.Name, Zahlungen.ZahlungNr, Verwendungszweck.ZeilenNr",
};

// How often the same row may be asked for again before the driver gives up: a fresh page always
// takes a row, so a third request means the engine makes no progress.
constexpr int kWiederholungen = 3;
// Not an engine result: the row loop reached the page limit during a page break.
constexpr int kSeitenende = INT_MIN;

// A failure: shown over the window, or left in the request for the caller to show.
void Fehler(const QString& text, QWidget* fenster, Druckanfrage& anfrage) {
  if (anfrage.FehlerZurueck) {
    if (anfrage.Fehlertext.isEmpty()) anfrage.Fehlertext = text;
    return;
  }
  Meldung::Fehler(text, Meldung::AnwendungsTitel(), fenster);
}

QVariant Deklarationswert(const Reportdatenspalte& s, const Druckformular& formular) {
  switch (ReportTypVon(s.typ)) {
    case Report::Typ::Text: return s.name;
    case Report::Typ::Zahl:
      return s.typ == FeldTyp::Waehrung ? QVariant::fromValue(Waehrung::AusEuro(12345))
                                        : (s.typ == FeldTyp::Double ? QVariant(12345.0) : QVariant(qint64(12345)));
    case Report::Typ::Datum: return Uhr::Heute();
    case Report::Typ::Boolean: return true;
    case Report::Typ::Bild: return formular.bild;
    case Report::Typ::Keiner: break;
  }
  return {};
}

int TypRang(const QVariant& w) {
  if (!w.isValid() || w.isNull()) return 0;
  switch (w.metaType().id()) {
    case QMetaType::QString: return 3;
    case QMetaType::QDate:
    case QMetaType::QDateTime: return 2;
    default: return 1;   // numbers and Booleans
  }
}

double Zahlwert(const QVariant& w) {
  if (w.metaType().id() == qMetaTypeId<Waehrung>()) return double(w.value<Waehrung>().Roh()) / Waehrung::Skala;
  return w.toDouble();
}

// Orders two values as the database would: null first, then numbers, dates, texts by the collation.
int Vergleichen(const QVariant& a, const QVariant& b) {
  const int ra = TypRang(a), rb = TypRang(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  switch (ra) {
    case 0: return 0;
    case 1: {
      if (a.metaType().id() == qMetaTypeId<Waehrung>() && b.metaType().id() == qMetaTypeId<Waehrung>())
        return a.value<Waehrung>() < b.value<Waehrung>() ? -1 : (b.value<Waehrung>() < a.value<Waehrung>() ? 1 : 0);
      if (a.metaType().id() == QMetaType::LongLong && b.metaType().id() == QMetaType::LongLong)
        return a.toLongLong() < b.toLongLong() ? -1 : (a.toLongLong() > b.toLongLong() ? 1 : 0);
      const double x = Zahlwert(a), y = Zahlwert(b);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case 2: {
      const QDateTime x = a.toDateTime(), y = b.toDateTime();
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    default: return TextVergleichen(a.toString(), b.toString());
  }
}

// Reads the sort keys once and orders the row numbers; false when a read failed.
bool Sortieren(Reportdaten& daten, const Sortierangebot& angebot, std::vector<int>& reihe) {
  const int anzahl = int(reihe.size());
  std::vector<QVariantList> schluessel(anzahl);
  for (int z = 0; z < anzahl; ++z) {
    schluessel[z].reserve(angebot.spalten.size());
    for (const auto& [spalte, aufsteigend] : angebot.spalten) schluessel[z] << daten.Wert(z, spalte);
    if (daten.Fehler()) return false;
  }
  std::stable_sort(reihe.begin(), reihe.end(), [&](int x, int y) {
    for (qsizetype k = 0; k < angebot.spalten.size(); ++k) {
      const int c = Vergleichen(schluessel[x].at(k), schluessel[y].at(k));
      if (c != 0) return angebot.spalten.at(k).second ? c < 0 : c > 0;
    }
    return false;
  });
  return true;
}

// A column by "Tabelle.Feld" (or by its name as the recordset reports it).
int SpalteFinden(const QList<Reportdatenspalte>& spalten, const QString& ausdruck) {
  for (qsizetype i = 0; i < spalten.size(); ++i)
    if (spalten.at(i).name == ausdruck) return int(i);
  const qsizetype punkt = ausdruck.indexOf(QLatin1Char('.'));
  if (punkt < 0) return -1;
  const QString tabelle = ausdruck.left(punkt), feld = ausdruck.mid(punkt + 1);
  for (qsizetype i = 0; i < spalten.size(); ++i)
    if (spalten.at(i).quellTabelle == tabelle && spalten.at(i).quellFeld == feld) return int(i);
  return -1;
}

Sortierangebot AngebotAusAusdruck(const QList<Reportdatenspalte>& spalten, const QString& ausdruck) {
  Sortierangebot a;
  a.kennung = ausdruck;
  for (const QString& teil : ausdruck.split(QLatin1Char(','))) {
    QStringList worte = teil.simplified().split(QLatin1Char(' '));
    bool aufsteigend = true;
    if (worte.size() == 2 && (worte.last() == QLatin1String("ASC") || worte.last() == QLatin1String("DESC"))) {
      aufsteigend = worte.takeLast() == QLatin1String("ASC");
    }
    const int spalte = worte.size() == 1 ? SpalteFinden(spalten, worte.first()) : -1;
    if (spalte < 0) return Sortierangebot{ausdruck, {}};
    a.spalten << std::pair{spalte, aufsteigend};
  }
  return a;
}

// Ends the engine's job on every way out of a run and lets the window system run once.
struct Abschluss {
  Reportengine& engine;
  ~Abschluss() {
    engine.DruckEnde(0);
    QCoreApplication::processEvents();
  }
};

}  // namespace

int ReportProzent(int zeile, int anzahl) {
  if (anzahl <= 0) return 0;
  const qint64 z = qint64(zeile) * 100;
  qint64 q = z / anzahl;
  const qint64 rest = z % anzahl;
  if (2 * rest > anzahl || (2 * rest == anzahl && q % 2 == 1)) ++q;
  return int(q);
}

QString ReportFehlermeldung(int code, const QString& detail) {
  QStringList zeilen;
  switch (code) {
    case Report::UnbekanntesFeld:
      zeilen << QStringLiteral("Sie sollten den Report im Designer aufrufen und auf")
             << QStringLiteral("eventuelle Fehler überprüfen. Eventuell enthält der")
             << QStringLiteral("Report Felder aus einer anderen Datenquelle oder ähnliches.");
      break;
    case Report::DruckerFehlt:
      zeilen << QStringLiteral("Der Drucker konnte nicht angesprochen werden.")
             << QStringLiteral("Sie sollten die Druckersteuerung überprüfen.");
      break;
    case Report::Druckfehler:
      zeilen << QStringLiteral("Eventuell ist der Druckspooler voll oder es ist ein")
             << QStringLiteral("Papierstau aufgetreten oder ein allgemeiner Druckerfehler.");
      break;
    case Report::DateiDefekt:
      zeilen << QStringLiteral("Die Reportdatei ist defekt oder hat ein falsches Format.");
      break;
    case Report::ExportFehler:
      zeilen << QStringLiteral("Die PDF-Datei konnte nicht geschrieben werden.");
      break;
    case Report::KeinProjekt:
      zeilen << QStringLiteral("Die Reportdatei ist nicht vorhanden.");
      break;
    case Report::KeinDesigner:
      zeilen << QStringLiteral("Der Report-Designer steht noch nicht zur Verfügung.");
      break;
    default:
      zeilen << QStringLiteral("Der Fehler Nummer: ") + QString::number(code) + QStringLiteral(" ist aufgetreten!");
      break;
  }
  if (!detail.isEmpty()) zeilen << detail;
  return Kopf + zeilen.join(QLatin1Char('\r'));
}

QString NeusortierenMeldung(const QString& kennung) {
  return QStringLiteral("Fehler beim Neusortieren der Daten!\r\rNr: 3070\rBeschreibung: Die Sortierung \"") + kennung +
         QStringLiteral("\" wird für diese Daten nicht angeboten.");
}

QList<Sortierangebot> Sortierangebote(const QList<Reportdatenspalte>& spalten) {
  QList<Sortierangebot> angebote;
  for (qsizetype i = 0; i < spalten.size(); ++i)
    if (!spalten.at(i).quellTabelle.trimmed().isEmpty()) angebote << Sortierangebot{spalten.at(i).name, {{int(i), true}}};
  // An order whose columns the rows lack could only fail: it is not offered.
  if (!spalten.isEmpty() && spalten.first().quellTabelle == QLatin1String("Zahlungen"))
    for (const char* ausdruck : kZahlungsordnungen)
      if (Sortierangebot a = AngebotAusAusdruck(spalten, QString::fromUtf8(ausdruck)); !a.spalten.isEmpty()) angebote << a;
  return angebote;
}

int ReportDrucken(Reportdaten& daten, Druckanfrage& anfrage, const QList<ReportVariable>& variablen,
                  const Druckformular& formular) {
  return ReportDrucken(daten, anfrage, variablen, formular, Reportjob::Engine());
}

int ReportDrucken(Reportdaten& daten, Druckanfrage& anfrage, const QList<ReportVariable>& variablen,
                  const Druckformular& formular, Reportengine& engine) {
  QWidget* fenster = formular.fenster;
  const QString& titel = formular.titel;
  const bool liste = anfrage.ProjektTyp == Report::Liste;
  anfrage.Fehlertext.clear();
  const QString endung = engine.Dateiendung(anfrage.ProjektTyp);
  Abschluss abschluss{engine};

  // Report file: as given, else from the engine's file dialog (never cut to a length).
  QString datei = anfrage.ReportDatei;
  if (datei.isEmpty()) {
    datei = Zustand().ProgrammVerzeichnis() + QStringLiteral("*.") + endung;
    if (engine.DateiAuswaehlen(fenster, QStringLiteral("Reportdatei wählen [") + titel + QLatin1Char(']'),
                               anfrage.ProjektTyp, datei) == Report::Abgebrochen)
      return Report::Abgebrochen;
    // Reports live in the program folder: one chosen elsewhere is copied in, never over another.
    QString fehler;
    datei = ReportdateiUebernehmen(datei, fehler);
    if (datei.isEmpty()) {
      Fehler(fehler, fenster, anfrage);
      return Druckergebnis::Kopierfehler;
    }
  }

  const int anzahl = daten.Anzahl();
  if (const DbFehler f = daten.Fehler()) {
    Fehler(DatenermittlungsFehlertext(f), fenster, anfrage);
    return Druckergebnis::Datenfehler;
  }
  const QList<Reportdatenspalte>& spalten = daten.Spalten();

  QList<Sortierangebot> angebote;
  if (liste) {
    angebote = Sortierangebote(spalten);
    engine.SortierungenBeginnen();
    for (const Sortierangebot& a : angebote) engine.SortierungDefinieren(a.kennung, a.kennung);
  }

  engine.FelderBeginnen();
  engine.VariablenBeginnen();
  const QDate reportDatum = Zustand().ReportDatum().isValid() ? Zustand().ReportDatum() : Uhr::Heute();
  engine.VariableDefinieren(QStringLiteral("Allgemeines.AusgabeReportDatum"), reportDatum, Report::Typ::Datum);
  QList<ReportVariable> alle = variablen;   // the sender's are appended to this copy only
  if (formular.absenderDaten) {
    AbsenderVariablenErmitteln(alle, formular.absenderDaten, formular.absenderNr);
  } else {
    // The active sender; a database opened without its sender recordset gets one for this print.
    Recordset* absender = Zustand().AbsenderDaten();
    std::unique_ptr<Recordset> eigener;
    if (!absender && Zustand().Datenbank()) {
      DbFehler f;
      eigener = Recordset::Oeffnen(*Zustand().Datenbank(), Abfrage::Tabelle(QStringLiteral("Absender")),
                                   RecordsetTyp::Tabelle, f);
      absender = eigener.get();
    }
    AbsenderVariablenErmitteln(alle, absender, Zustand().AktuelleAbsenderNr());
  }
  for (const ReportVariable& v : alle) engine.VariableDefinieren(v.Name, v.Wert, v.Typ);
  for (const Reportdatenspalte& s : spalten) {
    const Report::Typ typ = ReportTypVon(s.typ);
    if (typ == Report::Typ::Keiner) continue;
    if (liste) {
      engine.FeldDefinieren(s.name, Deklarationswert(s, formular), typ);
      if (!s.summeGesperrt.isEmpty()) engine.SummeSperren(s.name, s.summeGesperrt);
    } else {
      engine.VariableDefinieren(s.name, Deklarationswert(s, formular), typ);
    }
  }

  int ergebnis = engine.DruckStarten(anfrage.ProjektTyp, datei, fenster, QStringLiteral("Reportausgabe"));
  if (anfrage.DesignerAufruf || ergebnis == Report::KeinProjekt) {
    const int designer = engine.Designer(fenster, titel, anfrage.ProjektTyp, datei);
    if (designer == Report::KeinProjekt || designer == Report::KeinDesigner)
      Fehler(ReportFehlermeldung(designer, QDir::toNativeSeparators(datei)), fenster, anfrage);
    if (anfrage.DesignerAufruf) return designer;
    if (designer != Report::Ok) return designer == Report::Abgebrochen ? Report::Abgebrochen : Report::KeinProjekt;
    ergebnis = engine.DruckStarten(anfrage.ProjektTyp, datei, fenster, QStringLiteral("Reportausgabe"));
  }
  if (ergebnis < 0) {
    if (ergebnis != Report::Abgebrochen) Fehler(ReportFehlermeldung(ergebnis, engine.Fehlerdetail()), fenster, anfrage);
    return ergebnis;
  }

  if (anfrage.DruckZiel == Report::ZielPdf && !anfrage.PdfDateiname.isEmpty()) {
    const QString pdf = QStringLiteral("PDF");
    engine.ExportParameterSetzen(pdf, QStringLiteral("Export.File"), anfrage.PdfDateiname);
    engine.ExportFormatSetzen(pdf);
    engine.ExportParameterSetzen(pdf, QStringLiteral("Export.Path"), anfrage.PdfPfad);
    engine.ExportParameterSetzen(pdf, QStringLiteral("Export.File"), anfrage.PdfDateiname);
    engine.ExportParameterSetzen(pdf, QStringLiteral("Export.Quiet"), QStringLiteral("1"));
  }

  // Target and copies. Copies are never reduced: the engine repeats the pages when the printer
  // cannot make copies itself.
  int ziel = anfrage.DruckZiel;
  int letztes = Report::Ok;
  if (ziel == Report::ZielAbfragen) {
    if (!anfrage.PdfDateiname.isEmpty())
      engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), anfrage.PdfDateiname);
    letztes = engine.OptionenDialog(fenster, QStringLiteral("Ausgabeeinstellungen"), QStringLiteral("Datenquelle: ") + titel);
    if (letztes == Report::Abgebrochen) return Report::Abgebrochen;
    ziel = engine.DruckOption(Report::OptionZiel);
    if (ziel == Report::ZielDrucker) {
      anfrage.DruckKopien = engine.DruckOption(Report::OptionKopien);
      letztes = engine.DruckOptionSetzen(Report::OptionKopien, anfrage.DruckKopien);
    }
  } else {
    engine.DruckOptionSetzen(Report::OptionZiel, ziel);
    if (ziel == Report::ZielDrucker && anfrage.DruckKopien > 1)
      engine.DruckOptionSetzen(Report::OptionKopien, anfrage.DruckKopien);
  }

  // Rows in the order the report chose among the offered ones; the sort runs here, in memory.
  std::vector<int> reihe(std::max(0, anzahl));
  std::iota(reihe.begin(), reihe.end(), 0);
  if (liste) {
    const QString kennung = NullzeichenAbschneiden(engine.Sortierung());
    if (!kennung.trimmed().isEmpty()) {
      const auto angebot = std::find_if(angebote.cbegin(), angebote.cend(),
                                        [&kennung](const Sortierangebot& a) { return a.kennung == kennung; });
      if (angebot == angebote.cend()) {
        engine.DruckAbbrechen();
        Fehler(NeusortierenMeldung(kennung), fenster, anfrage);
        return Druckergebnis::Sortierfehler;
      }
      if (!Sortieren(daten, *angebot, reihe)) {
        engine.DruckAbbrechen();
        Fehler(DatenermittlungsFehlertext(daten.Fehler()), fenster, anfrage);
        return Druckergebnis::Datenfehler;
      }
    }
  }

  const QString box = QStringLiteral("Datenquelle: ") + titel + QStringLiteral("\r\rAnzahl Datensätze: ") +
                      QString::number(anzahl);
  auto zeileDefinieren = [&](int zeile) -> bool {
    for (qsizetype i = 0; i < spalten.size(); ++i) {
      const Reportdatenspalte& s = spalten.at(i);
      const Report::Typ typ = ReportTypVon(s.typ);
      if (typ == Report::Typ::Keiner) continue;
      if (!(liste ? engine.FeldBenutzt(s.name) : engine.VariableBenutzt(s.name))) continue;
      const QVariant wert = typ == Report::Typ::Bild ? QVariant(formular.bild) : daten.Wert(zeile, int(i));
      if (liste)
        engine.FeldDefinieren(s.name, wert, typ);
      else
        engine.VariableDefinieren(s.name, wert, typ);
    }
    return daten.Fehler().Ok();
  };
  // Calls `drucken` again while it answers Wiederholen; gives up when the page does not move on.
  auto wiederholen = [&](int ergebnis, const std::function<int()>& drucken) -> int {
    int versuche = 0;
    int seite = engine.AktuelleSeite();
    while (ergebnis == Report::Wiederholen) {
      if (engine.AktuelleSeite() != seite) {
        seite = engine.AktuelleSeite();
        versuche = 0;
      }
      if (++versuche > kWiederholungen) return Report::Wiederholen;
      ergebnis = drucken();
    }
    return ergebnis;
  };
  const QString aufgegeben =
      Kopf + QStringLiteral("Ein Datensatz passt auch auf eine neue Seite nicht.\rDie Ausgabe wurde abgebrochen.");

  int pos = 0;
  const int letzteSeite = engine.DruckOption(Report::OptionLetzteSeite);
  auto seitenlimit = [&] { return engine.AktuelleSeite() > letzteSeite; };
  while (pos < anzahl && !seitenlimit()) {
    if (liste) {
      letztes = engine.Drucken();
      if (letztes == Report::Abgebrochen) return Report::Abgebrochen;
    }
    while (pos < anzahl && letztes == Report::Ok && !seitenlimit()) {
      if (!zeileDefinieren(reihe[pos])) {
        engine.DruckAbbrechen();
        Fehler(DatenermittlungsFehlertext(daten.Fehler()), fenster, anfrage);
        return Druckergebnis::Datenfehler;
      }
      if (engine.BoxTextSetzen(box, ReportProzent(pos + 1, anzahl)) == Report::Abgebrochen) return Report::Abgebrochen;
      int r;
      if (liste) {
        r = wiederholen(engine.FelderDrucken(), [&] {
          const int v = engine.Drucken();
          if (v == Report::Abgebrochen) return v;
          // The new page lies behind the last page asked for: the row stays unprinted.
          return seitenlimit() ? kSeitenende : engine.FelderDrucken();
        });
      } else {
        r = wiederholen(engine.Drucken(), [&] { return engine.Drucken(); });
      }
      if (r == Report::Abgebrochen) return Report::Abgebrochen;
      if (r == kSeitenende) break;
      if (r == Report::Wiederholen) {
        engine.DruckAbbrechen();
        Fehler(aufgegeben, fenster, anfrage);
        return Report::Wiederholen;
      }
      // A positive answer counts as printed: the row is neither printed twice nor waited for.
      letztes = r < 0 ? r : Report::Ok;
      if (letztes == Report::Ok) ++pos;
    }
    if (letztes < 0) {
      Fehler(ReportFehlermeldung(letztes, engine.Fehlerdetail()), fenster, anfrage);
      break;
    }
  }

  // End of the data: sums and summary.
  if (liste) {
    const int r = wiederholen(engine.FelderEnde(), [&] { return engine.FelderEnde(); });
    if (r == Report::Abgebrochen) return Report::Abgebrochen;
    if (r == Report::Wiederholen) {
      engine.DruckAbbrechen();
      Fehler(aufgegeben, fenster, anfrage);
      return Report::Wiederholen;
    }
  }

  const int ende = engine.DruckEnde(0);
  if (ende < 0 && ende != Report::Abgebrochen) {
    Fehler(ReportFehlermeldung(ende, engine.Fehlerdetail()), fenster, anfrage);
    return ende;
  }
  if (ziel == Report::ZielVorschau && ende >= 0) {
    QCoreApplication::processEvents();
    engine.VorschauAnzeigen(datei, QString(), fenster);
    engine.VorschauDateienLoeschen(datei, QString());
  }
  return letztes < 0 ? letztes : Report::Ok;
}
