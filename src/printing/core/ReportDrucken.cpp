#include "printing/core/ReportDrucken.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "common/Datenhilfen.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/Waehrung.h"
#include "platform/report/core/Reportengine.h"
#include "printing/core/AbsenderVariablen.h"
#include "printing/core/Reportdateien.h"

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

const QString Aufgegeben =
    Kopf + QStringLiteral("Ein Datensatz passt auch auf eine neue Seite nicht.\rDie Ausgabe wurde abgebrochen.");

// One run of the driver, step by step. A step that ends the run returns false with the result's
// code set; a failure adds its message to the result.
class Druckdurchlauf {
 public:
  Druckdurchlauf(Reportdaten& daten, Druckanfrage& anfrage, const QList<ReportVariable>& variablen,
                 const Druckformular& formular, Reportengine& engine)
      : m_daten(daten), m_anfrage(anfrage), m_variablen(variablen), m_formular(formular), m_engine(engine),
        m_liste(anfrage.ProjektTyp == Report::Liste) {}

  Druckergebnis Ausfuehren() {
    const QString endung = m_engine.Dateiendung(m_anfrage.ProjektTyp);
    Abschluss abschluss{m_engine};
    if (ReportdateiBestimmen(endung) && ZeilenZaehlen()) {
      Definieren();
      if (Starten() && ZielSetzen() && Ordnen() && ZeilenDrucken() && ListeBeenden()) JobBeenden();
    }
    return m_ergebnis;
  }

 private:
  bool Ende(int code) {
    m_ergebnis.code = code;
    return false;
  }
  bool Fehler(const QString& text, int code) {
    m_ergebnis.meldungen << text;
    return Ende(code);
  }
  // Drops the laid-out pages: the end of the job puts nothing out.
  bool Abbrechen(const QString& text, int code) {
    m_engine.DruckAbbrechen();
    return Fehler(text, code);
  }

  bool ReportdateiBestimmen(const QString& endung);
  bool ZeilenZaehlen();
  void Definieren();
  bool Starten();
  bool ZielSetzen();
  bool Ordnen();
  bool ZeilenDrucken();
  bool ListeBeenden();
  void JobBeenden();
  bool ZeileDefinieren(int zeile);
  int Wiederholen(int ergebnis, const std::function<int()>& drucken);
  bool Seitenlimit() const { return m_engine.AktuelleSeite() > m_letzteSeite; }

  Reportdaten& m_daten;
  Druckanfrage& m_anfrage;
  const QList<ReportVariable>& m_variablen;
  const Druckformular& m_formular;
  Reportengine& m_engine;
  const bool m_liste;
  Druckergebnis m_ergebnis;
  QString m_datei;
  int m_anzahl = 0;
  QList<Sortierangebot> m_angebote;
  std::vector<int> m_reihe;
  int m_ziel = Report::ZielAbfragen;
  int m_letztes = Report::Ok;   // the last answer of the engine in the row loop
  int m_letzteSeite = 0;
};

// Report file: as given, else from the engine's file dialog (never cut to a length).
bool Druckdurchlauf::ReportdateiBestimmen(const QString& endung) {
  m_datei = m_anfrage.ReportDatei;
  if (!m_datei.isEmpty()) return true;
  m_datei = m_formular.programmVerzeichnis + QStringLiteral("*.") + endung;
  if (m_engine.DateiAuswaehlen(m_formular.fenster, QStringLiteral("Reportdatei wählen [") + m_formular.titel + QLatin1Char(']'),
                               m_anfrage.ProjektTyp, m_datei) == Report::Abgebrochen)
    return Ende(Report::Abgebrochen);
  // Reports live in the program folder: one chosen elsewhere is copied in, never over another.
  QString fehler;
  m_datei = ReportdateiUebernehmen(m_datei, m_formular.programmVerzeichnis, fehler);
  if (m_datei.isEmpty()) return Fehler(fehler, Druckergebnis::Kopierfehler);
  return true;
}

bool Druckdurchlauf::ZeilenZaehlen() {
  m_anzahl = m_daten.Anzahl();
  if (const DbFehler f = m_daten.Fehler()) return Fehler(DatenermittlungsFehlertext(f), Druckergebnis::Datenfehler);
  return true;
}

// Before the start: the sort orders offered, the report date, the caller's and the sender's
// variables, and the columns declared with a sample value.
void Druckdurchlauf::Definieren() {
  const QList<Reportdatenspalte>& spalten = m_daten.Spalten();
  if (m_liste) {
    m_angebote = Sortierangebote(spalten);
    m_engine.SortierungenBeginnen();
    for (const Sortierangebot& a : m_angebote) m_engine.SortierungDefinieren(a.kennung, a.kennung);
  }

  m_engine.FelderBeginnen();
  m_engine.VariablenBeginnen();
  const QDate reportDatum = m_formular.reportDatum.isValid() ? m_formular.reportDatum : Uhr::Heute();
  m_engine.VariableDefinieren(QStringLiteral("Allgemeines.AusgabeReportDatum"), reportDatum, Report::Typ::Datum);
  QList<ReportVariable> alle = m_variablen;   // the sender's are appended to this copy only
  {
    // Without the caller's sender recordset one is opened for this print.
    Recordset* absender = m_formular.absenderDaten;
    std::unique_ptr<Recordset> eigener;
    if (!absender && m_formular.datenbank) {
      DbFehler f;
      eigener = Recordset::Oeffnen(*m_formular.datenbank, Abfrage::Tabelle(QStringLiteral("Absender")),
                                   RecordsetTyp::Tabelle, f);
      absender = eigener.get();
    }
    AbsenderVariablenErmitteln(alle, absender, m_formular.absenderNr);
  }
  for (const ReportVariable& v : alle) m_engine.VariableDefinieren(v.Name, v.Wert, v.Typ);
  for (const Reportdatenspalte& s : spalten) {
    const Report::Typ typ = ReportTypVon(s.typ);
    if (typ == Report::Typ::Keiner) continue;
    if (m_liste) {
      m_engine.FeldDefinieren(s.name, Deklarationswert(s, m_formular), typ);
      if (!s.summeGesperrt.isEmpty()) m_engine.SummeSperren(s.name, s.summeGesperrt);
    } else {
      m_engine.VariableDefinieren(s.name, Deklarationswert(s, m_formular), typ);
    }
  }
}

// The start of the job; the designer when asked for or when the report file is missing.
bool Druckdurchlauf::Starten() {
  const QString boxTitel = QStringLiteral("Reportausgabe");
  int ergebnis = m_engine.DruckStarten(m_anfrage.ProjektTyp, m_datei, m_formular.fenster, boxTitel);
  if (m_anfrage.DesignerAufruf || ergebnis == Report::KeinProjekt) {
    const int designer = m_engine.Designer(m_formular.fenster, m_formular.titel, m_anfrage.ProjektTyp, m_datei);
    if (designer == Report::KeinProjekt || designer == Report::KeinDesigner)
      m_ergebnis.meldungen << ReportFehlermeldung(designer, QDir::toNativeSeparators(m_datei));
    if (m_anfrage.DesignerAufruf) return Ende(designer);
    if (designer != Report::Ok) return Ende(designer == Report::Abgebrochen ? Report::Abgebrochen : Report::KeinProjekt);
    ergebnis = m_engine.DruckStarten(m_anfrage.ProjektTyp, m_datei, m_formular.fenster, boxTitel);
  }
  if (ergebnis < 0) {
    if (ergebnis != Report::Abgebrochen) m_ergebnis.meldungen << ReportFehlermeldung(ergebnis, m_engine.Fehlerdetail());
    return Ende(ergebnis);
  }
  return true;
}

// The silent PDF file, the target and the copies. Copies are never reduced: the engine repeats the
// pages when the printer cannot make copies itself.
bool Druckdurchlauf::ZielSetzen() {
  if (m_anfrage.DruckZiel == Report::ZielPdf && !m_anfrage.PdfDateiname.isEmpty()) {
    const QString pdf = QStringLiteral("PDF");
    m_engine.ExportParameterSetzen(pdf, QStringLiteral("Export.File"), m_anfrage.PdfDateiname);
    m_engine.ExportFormatSetzen(pdf);
    m_engine.ExportParameterSetzen(pdf, QStringLiteral("Export.Path"), m_anfrage.PdfPfad);
    m_engine.ExportParameterSetzen(pdf, QStringLiteral("Export.File"), m_anfrage.PdfDateiname);
    m_engine.ExportParameterSetzen(pdf, QStringLiteral("Export.Quiet"), QStringLiteral("1"));
  }

  m_ziel = m_anfrage.DruckZiel;
  if (m_ziel == Report::ZielAbfragen) {
    if (!m_anfrage.PdfDateiname.isEmpty())
      m_engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), m_anfrage.PdfDateiname);
    m_letztes = m_engine.OptionenDialog(m_formular.fenster, QStringLiteral("Ausgabeeinstellungen"),
                                        QStringLiteral("Datenquelle: ") + m_formular.titel);
    if (m_letztes == Report::Abgebrochen) return Ende(Report::Abgebrochen);
    m_ziel = m_engine.DruckOption(Report::OptionZiel);
    if (m_ziel == Report::ZielDrucker) {
      m_anfrage.DruckKopien = m_engine.DruckOption(Report::OptionKopien);
      m_letztes = m_engine.DruckOptionSetzen(Report::OptionKopien, m_anfrage.DruckKopien);
    }
  } else {
    m_engine.DruckOptionSetzen(Report::OptionZiel, m_ziel);
    if (m_ziel == Report::ZielDrucker && m_anfrage.DruckKopien > 1)
      m_engine.DruckOptionSetzen(Report::OptionKopien, m_anfrage.DruckKopien);
  }
  return true;
}

// Rows in the order the report chose among the offered ones; the sort runs here, in memory.
bool Druckdurchlauf::Ordnen() {
  m_reihe.assign(std::max(0, m_anzahl), 0);
  std::iota(m_reihe.begin(), m_reihe.end(), 0);
  if (!m_liste) return true;
  const QString kennung = NullzeichenAbschneiden(m_engine.Sortierung());
  if (kennung.trimmed().isEmpty()) return true;
  const auto angebot = std::find_if(m_angebote.cbegin(), m_angebote.cend(),
                                    [&kennung](const Sortierangebot& a) { return a.kennung == kennung; });
  if (angebot == m_angebote.cend()) return Abbrechen(NeusortierenMeldung(kennung), Druckergebnis::Sortierfehler);
  if (!Sortieren(m_daten, *angebot, m_reihe))
    return Abbrechen(DatenermittlungsFehlertext(m_daten.Fehler()), Druckergebnis::Datenfehler);
  return true;
}

// The values of a row for the names the report uses; false when a read failed.
bool Druckdurchlauf::ZeileDefinieren(int zeile) {
  const QList<Reportdatenspalte>& spalten = m_daten.Spalten();
  for (qsizetype i = 0; i < spalten.size(); ++i) {
    const Reportdatenspalte& s = spalten.at(i);
    const Report::Typ typ = ReportTypVon(s.typ);
    if (typ == Report::Typ::Keiner) continue;
    if (!(m_liste ? m_engine.FeldBenutzt(s.name) : m_engine.VariableBenutzt(s.name))) continue;
    const QVariant wert = typ == Report::Typ::Bild ? QVariant(m_formular.bild) : m_daten.Wert(zeile, int(i));
    if (m_liste)
      m_engine.FeldDefinieren(s.name, wert, typ);
    else
      m_engine.VariableDefinieren(s.name, wert, typ);
  }
  return m_daten.Fehler().Ok();
}

// Calls `drucken` again while it answers Wiederholen; gives up when the page does not move on.
int Druckdurchlauf::Wiederholen(int ergebnis, const std::function<int()>& drucken) {
  int versuche = 0;
  int seite = m_engine.AktuelleSeite();
  while (ergebnis == Report::Wiederholen) {
    if (m_engine.AktuelleSeite() != seite) {
      seite = m_engine.AktuelleSeite();
      versuche = 0;
    }
    if (++versuche > kWiederholungen) return Report::Wiederholen;
    ergebnis = drucken();
  }
  return ergebnis;
}

// The rows up to the last page asked for. A failing answer of the engine ends the rows with its
// message; the list is ended and put out all the same.
bool Druckdurchlauf::ZeilenDrucken() {
  const QString box = QStringLiteral("Datenquelle: ") + m_formular.titel + QStringLiteral("\r\rAnzahl Datensätze: ") +
                      QString::number(m_anzahl);
  int pos = 0;
  m_letzteSeite = m_engine.DruckOption(Report::OptionLetzteSeite);
  while (pos < m_anzahl && !Seitenlimit()) {
    if (m_liste) {
      m_letztes = m_engine.Drucken();
      if (m_letztes == Report::Abgebrochen) return Ende(Report::Abgebrochen);
    }
    while (pos < m_anzahl && m_letztes == Report::Ok && !Seitenlimit()) {
      if (!ZeileDefinieren(m_reihe[pos]))
        return Abbrechen(DatenermittlungsFehlertext(m_daten.Fehler()), Druckergebnis::Datenfehler);
      if (m_engine.BoxTextSetzen(box, ReportProzent(pos + 1, m_anzahl)) == Report::Abgebrochen)
        return Ende(Report::Abgebrochen);
      int r;
      if (m_liste) {
        r = Wiederholen(m_engine.FelderDrucken(), [this] {
          const int v = m_engine.Drucken();
          if (v == Report::Abgebrochen) return v;
          // The new page lies behind the last page asked for: the row stays unprinted.
          return Seitenlimit() ? kSeitenende : m_engine.FelderDrucken();
        });
      } else {
        r = Wiederholen(m_engine.Drucken(), [this] { return m_engine.Drucken(); });
      }
      if (r == Report::Abgebrochen) return Ende(Report::Abgebrochen);
      if (r == kSeitenende) break;
      if (r == Report::Wiederholen) return Abbrechen(Aufgegeben, Report::Wiederholen);
      // A positive answer counts as printed: the row is neither printed twice nor waited for.
      m_letztes = r < 0 ? r : Report::Ok;
      if (m_letztes == Report::Ok) ++pos;
    }
    if (m_letztes < 0) {
      m_ergebnis.meldungen << ReportFehlermeldung(m_letztes, m_engine.Fehlerdetail());
      break;
    }
  }
  return true;
}

// End of the data: sums and summary.
bool Druckdurchlauf::ListeBeenden() {
  if (!m_liste) return true;
  const int r = Wiederholen(m_engine.FelderEnde(), [this] { return m_engine.FelderEnde(); });
  if (r == Report::Abgebrochen) return Ende(Report::Abgebrochen);
  if (r == Report::Wiederholen) return Abbrechen(Aufgegeben, Report::Wiederholen);
  return true;
}

// The pages go out to the target; the preview shows them.
void Druckdurchlauf::JobBeenden() {
  const int ende = m_engine.DruckEnde(0);
  if (ende < 0 && ende != Report::Abgebrochen) {
    m_ergebnis.meldungen << ReportFehlermeldung(ende, m_engine.Fehlerdetail());
    Ende(ende);
    return;
  }
  if (m_ziel == Report::ZielVorschau && ende >= 0) {
    QCoreApplication::processEvents();
    m_engine.VorschauAnzeigen(m_datei, QString(), m_formular.fenster);
    m_engine.VorschauDateienLoeschen(m_datei, QString());
  }
  m_ergebnis.code = m_letztes < 0 ? m_letztes : Report::Ok;
  if (m_ergebnis.Ok() && m_anfrage.DruckZiel == Report::ZielPdf && !m_anfrage.PdfDateiname.isEmpty())
    m_ergebnis.datei = QDir::toNativeSeparators(QDir(m_anfrage.PdfPfad).filePath(m_anfrage.PdfDateiname));
  // A PDF file chosen in the output settings: the caller tells the user where it went.
  else if (m_ergebnis.Ok() && m_ziel == Report::ZielPdf)
    m_ergebnis.datei = QDir::toNativeSeparators(m_engine.PdfDatei());
}

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

Druckergebnis ReportDrucken(Reportdaten& daten, Druckanfrage& anfrage, const QList<ReportVariable>& variablen,
                            const Druckformular& formular, Reportengine& engine) {
  return Druckdurchlauf(daten, anfrage, variablen, formular, engine).Ausfuehren();
}
