#include "sepafiles/druck/Kontrollliste.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include "common/Datenhilfen.h"
#include "platform/db/Recordset.h"
#include "printing/core/Reportdateien.h"
#include "sepafiles/core/SepaSelektion.h"
#include "sepafiles/core/Zahlungssumme.h"
#include "sepafiles/druck/Zahlungslistendaten.h"

namespace {

// The recordset's rows with the end-to-end ids of the run in place of the stored EinzelReferenz.
class Laufdaten : public Reportdaten {
 public:
  Laufdaten(std::unique_ptr<Recordset> rs, const SepaLaufErgebnis& lauf) : m_zeilen(std::move(rs)) {
    for (qsizetype i = 0; i < lauf.ZahlungNummern.size() && i < lauf.EndToEndIds.size(); ++i)
      m_endToEnd.insert(lauf.ZahlungNummern.at(i), lauf.EndToEndIds.at(i));
    for (qsizetype i = 0; i < m_zeilen.Spalten().size(); ++i) {
      const Reportdatenspalte& s = m_zeilen.Spalten().at(i);
      if (s.quellTabelle == QLatin1String("Zahlungen") && s.quellFeld == QLatin1String("ZahlungNr")) m_nummer = int(i);
      if (s.quellTabelle == QLatin1String("Zahlungen") && s.quellFeld == QLatin1String("EinzelReferenz")) m_referenz = int(i);
    }
  }
  const QList<Reportdatenspalte>& Spalten() const override { return m_zeilen.Spalten(); }
  int Anzahl() override { return m_zeilen.Anzahl(); }
  QVariant Wert(int zeile, int spalte) override {
    if (spalte == m_referenz && m_nummer >= 0) {
      const auto it = m_endToEnd.constFind(m_zeilen.Wert(zeile, m_nummer).toLongLong());
      if (it != m_endToEnd.constEnd()) return *it;
    }
    return m_zeilen.Wert(zeile, spalte);
  }
  DbFehler Fehler() const override { return m_zeilen.Fehler(); }

 private:
  RecordsetReportdaten m_zeilen;
  QHash<qint64, QString> m_endToEnd;
  int m_nummer = -1;
  int m_referenz = -1;
};

}  // namespace

std::unique_ptr<Reportdaten> Kontrollliste::DatenUndVariablen(Datenbank& db, const SepaLaufErgebnis& lauf,
                                                              const QDate& erstellungsdatum,
                                                              QList<ReportVariable>& variablen, QString& fehlertext) {
  std::unique_ptr<Reportdaten> daten = Daten(db, lauf, fehlertext);
  if (!daten) return nullptr;
  DbFehler fehler;
  variablen = Variablen(db, lauf, erstellungsdatum, fehler);
  if (!fehler) return daten;
  fehlertext = DatenermittlungsFehlertext(fehler);
  return nullptr;
}

std::unique_ptr<Reportdaten> Kontrollliste::Daten(Datenbank& db, const SepaLaufErgebnis& lauf, QString& fehlertext) {
  // All ids travel as one bound parameter, however many orders the run wrote.
  const Abfrage a =
      SepaSelektion::Zeilenabfrage(Bedingung::InNummern(SqlText("Zahlungen.ZahlungNr"), lauf.ZahlungNummern));
  DbFehler fehler;
  std::unique_ptr<Recordset> rs = Recordset::Oeffnen(db, a, RecordsetTyp::Snapshot, fehler);
  if (!rs) {
    fehlertext = DatenermittlungsFehlertext(fehler);
    return nullptr;
  }
  return std::make_unique<Zahlungslistendaten>(std::make_unique<Laufdaten>(std::move(rs), lauf));
}

QString Kontrollliste::Dateizeilen(const SepaLaufErgebnis& lauf) {
  const QString datum = lauf.Lastschriften ? QStringLiteral("Fälligkeitsdatum (Einzug): ") : QStringLiteral("Ausführungsdatum: ");
  QStringList zeilen;
  for (qsizetype i = 0; i < lauf.Dateien.size(); ++i) {
    const QDate tag = i < lauf.Buchungsdaten.size() ? lauf.Buchungsdaten.at(i) : QDate();
    const QString id = i < lauf.NachrichtenIds.size() ? lauf.NachrichtenIds.at(i) : QString();
    zeilen << QStringLiteral("SEPA-Datei: %1   %2%3   Nachrichten-ID: %4")
                  .arg(QFileInfo(lauf.Dateien.at(i)).fileName(), datum,
                       tag.isValid() ? tag.toString(QStringLiteral("dd.MM.yyyy")) : QString(), id);
  }
  if (!lauf.Dateien.isEmpty())
    zeilen << QStringLiteral("Ordner: ") + QDir::toNativeSeparators(QFileInfo(lauf.Dateien.first()).absolutePath());
  return zeilen.join(QLatin1Char('\r'));
}

QList<ReportVariable> Kontrollliste::Variablen(Datenbank& db, const SepaLaufErgebnis& lauf, const QDate& erstellungsdatum,
                                               DbFehler& fehler) {
  // The total the files carry; a list with a total that cannot be read is not printed at all.
  const Waehrung summe =
      AuftragsSumme(db, Bedingung::InNummern(SqlText("Zahlungen.ZahlungNr"), lauf.ZahlungNummern), fehler);
  if (fehler) return {};
  // "Zahlungsliste.Status" holds the creation date, as reports made for it expect; the line under the
  // title says what that date is.
  const QString datum = erstellungsdatum.toString(QStringLiteral("dd.MM.yyyy"));
  return ZahlungslistenVariablen(QStringLiteral("SEPA-Erstellung"), datum, summe, Dateizeilen(lauf),
                                 QStringLiteral("Erstellungsdatum: ") + datum);
}

QString Kontrollliste::Reportdatei(Datenbank& db, const QString& programmVerzeichnis) {
  const QString gespeichert = ReportDateiname(EinstellungLesen(db, QStringLiteral("VorgabeRPT") + Reportname(), QString()));
  const QString name = gespeichert.isEmpty() ? Reportname() + QStringLiteral(".LST") : gespeichert;
  const QString gefunden = ReportdateiFinden(name, programmVerzeichnis);
  return gefunden.isEmpty() ? QDir::toNativeSeparators(QDir(programmVerzeichnis).filePath(name)) : gefunden;
}

Kontrollliste::Ausgabe Kontrollliste::Vorbereiten(Datenbank& db, const SepaLaufErgebnis& lauf, int kopien,
                                                  const QDate& erstellungsdatum, const Druckformular& formular,
                                                  Reportengine& engine) {
  Ausgabe ausgabe;
  if (kopien <= 0) return ausgabe;
  ausgabe.ohneDrucker = !engine.DruckerVorhanden();
  if (!lauf.PdfDateiname.isEmpty()) {
    QList<ReportVariable> variablen;
    std::unique_ptr<Reportdaten> daten = DatenUndVariablen(db, lauf, erstellungsdatum, variablen, ausgabe.datenFehler);
    if (!daten) return ausgabe;
    Druckanfrage anfrage;
    anfrage.ReportDatei = Reportdatei(db, formular.programmVerzeichnis);
    anfrage.ProjektTyp = Report::Liste;
    anfrage.DruckZiel = Report::ZielPdf;
    anfrage.PdfDateiname = lauf.PdfDateiname;
    anfrage.PdfPfad = lauf.PdfPfad;
    const Druckergebnis r = ReportDrucken(*daten, anfrage, variablen, formular, engine);
    if (r.Ok()) {
      ausgabe.pdfDatei = r.datei;
    } else {
      ausgabe.pdfFehler = r.meldungen.value(0);
      // A report that is missing or cannot be read would fail the printout as well: named once.
      if (r.code == Report::KeinProjekt || r.code == Report::DateiDefekt || r.code == Report::UnbekanntesFeld)
        return ausgabe;
    }
  }
  // Without a printer the overview stands in for the printout; without that the preview shows the list.
  ausgabe.drucken = !ausgabe.ohneDrucker || ausgabe.pdfDatei.isEmpty();
  return ausgabe;
}

QString Kontrollliste::Meldungstext(const Ausgabe& ausgabe) {
  QStringList zeilen;
  if (!ausgabe.pdfDatei.isEmpty())
    zeilen << QStringLiteral("Die Zahlungsübersicht (Kontroll-Liste) wurde als PDF-Datei gespeichert:") << ausgabe.pdfDatei;
  if (!ausgabe.pdfFehler.isEmpty())
    zeilen << QStringLiteral("Die Zahlungsübersicht (PDF) konnte nicht geschrieben werden:")
           << QString(ausgabe.pdfFehler).replace(QStringLiteral("\r\r"), QStringLiteral("\r"));
  if (ausgabe.ohneDrucker)
    zeilen << (ausgabe.drucken ? QStringLiteral("Auf diesem Rechner ist kein Drucker eingerichtet: die Kontroll-Liste "
                                                "erscheint in der Vorschau, von dort aus können Sie sie drucken oder "
                                                "als PDF speichern.")
                               : QStringLiteral("Auf diesem Rechner ist kein Drucker eingerichtet: die Kontroll-Liste "
                                                "steht in der PDF-Datei."));
  return zeilen.join(QLatin1Char('\r'));
}

Druckergebnis Kontrollliste::Drucken(Datenbank& db, const SepaLaufErgebnis& lauf, const Ausgabe& ausgabe, int kopien,
                                     const QDate& erstellungsdatum, const Druckformular& formular, Reportengine& engine,
                                     QString& datenFehler) {
  if (kopien <= 0 || !ausgabe.drucken) return {};
  QList<ReportVariable> variablen;
  std::unique_ptr<Reportdaten> daten = DatenUndVariablen(db, lauf, erstellungsdatum, variablen, datenFehler);
  if (!daten) return {Druckergebnis::Datenfehler, {}, {}};
  Druckanfrage anfrage;
  anfrage.ReportDatei = Reportdatei(db, formular.programmVerzeichnis);
  anfrage.ProjektTyp = Report::Liste;
  anfrage.DruckZiel = ausgabe.ohneDrucker ? Report::ZielVorschau : Report::ZielDrucker;
  anfrage.DruckKopien = kopien;
  return ReportDrucken(*daten, anfrage, variablen, formular, engine);
}

Druckergebnis Kontrollliste::PdfSchreiben(Datenbank& db, const SepaLaufErgebnis& lauf, const QDate& erstellungsdatum,
                                          const QString& datei, const QString& reportdatei, const Druckformular& formular,
                                          Reportengine& engine) {
  QString fehler;
  QList<ReportVariable> variablen;
  std::unique_ptr<Reportdaten> daten = DatenUndVariablen(db, lauf, erstellungsdatum, variablen, fehler);
  if (!daten) return {Druckergebnis::Datenfehler, {fehler}, {}};
  const QFileInfo ziel(datei);
  Druckanfrage anfrage;
  anfrage.ReportDatei = reportdatei;
  anfrage.ProjektTyp = Report::Liste;
  anfrage.DruckZiel = Report::ZielPdf;
  anfrage.PdfDateiname = ziel.fileName();
  anfrage.PdfPfad = QDir::toNativeSeparators(ziel.absolutePath());
  return ReportDrucken(*daten, anfrage, variablen, formular, engine);
}
