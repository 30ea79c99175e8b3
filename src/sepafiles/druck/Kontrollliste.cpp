#include "sepafiles/druck/Kontrollliste.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "platform/ui/Meldung.h"
#include "printing/ReportAuswaehlen.h"
#include "platform/db/Recordset.h"
#include "sepafiles/core/SepaSelektion.h"

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

std::unique_ptr<Reportdaten> Kontrollliste::Daten(Datenbank& db, const SepaLaufErgebnis& lauf, QWidget* fenster) {
  // All ids travel as one bound parameter, however many orders the run wrote.
  const Abfrage a =
      SepaSelektion::Zeilenabfrage(Bedingung::InNummern(SqlText("Zahlungen.ZahlungNr"), lauf.ZahlungNummern));
  DbFehler fehler;
  std::unique_ptr<Recordset> rs = Recordset::Oeffnen(db, a, RecordsetTyp::Snapshot, fehler);
  if (!rs) {
    Meldung::Fehler(DatenermittlungsFehlertext(fehler),
                    {}, fenster);
    return nullptr;
  }
  return std::make_unique<Laufdaten>(std::move(rs), lauf);
}

QList<ReportVariable> Kontrollliste::Variablen(const QDate& erstellungsdatum) {
  return {{QStringLiteral("Zahlungsliste.Formularart"), QStringLiteral("SEPA-Erstellung"), Report::Typ::Text},
          {QStringLiteral("Zahlungsliste.Status"), erstellungsdatum.toString(QStringLiteral("dd.MM.yyyy")), Report::Typ::Text}};
}

QString Kontrollliste::Reportdatei(Datenbank& db, const QString& programmVerzeichnis) {
  const QString gespeichert = ReportDateiname(EinstellungLesen(db, QStringLiteral("VorgabeRPT") + Reportname(), QString()));
  const QString name = gespeichert.isEmpty() ? Reportname() + QStringLiteral(".LST") : gespeichert;
  const QString gefunden = ReportdateiFinden(name, programmVerzeichnis);
  return gefunden.isEmpty() ? QDir::toNativeSeparators(QDir(programmVerzeichnis).filePath(name)) : gefunden;
}

void Kontrollliste::Drucken(Datenbank& db, const SepaLaufErgebnis& lauf, int kopien, const QDate& erstellungsdatum,
                            const Druckformular& formular) {
  if (kopien <= 0) return;
  std::unique_ptr<Reportdaten> daten = Daten(db, lauf, formular.fenster);
  if (!daten) return;
  Druckanfrage anfrage;
  anfrage.ReportDatei = Reportdatei(db, Zustand().ProgrammVerzeichnis());
  anfrage.ProjektTyp = Report::Liste;
  anfrage.DruckZiel = Report::ZielDrucker;
  anfrage.DruckKopien = kopien;
  const QList<ReportVariable> variablen = Variablen(erstellungsdatum);
  const int gedruckt = ReportDrucken(*daten, anfrage, variablen, formular);
  // A report that cannot be read or is missing has been reported once; the PDF would only repeat it.
  if (lauf.PdfDateiname.isEmpty() || gedruckt == Report::KeinProjekt || gedruckt == Report::DateiDefekt ||
      gedruckt == Report::UnbekanntesFeld)
    return;
  anfrage.DruckZiel = Report::ZielPdf;
  anfrage.DruckKopien = 1;
  anfrage.PdfDateiname = lauf.PdfDateiname;
  anfrage.PdfPfad = lauf.PdfPfad;
  ReportDrucken(*daten, anfrage, variablen, formular);
}

int Kontrollliste::PdfSchreiben(Datenbank& db, const SepaLaufErgebnis& lauf, const QDate& erstellungsdatum,
                                const QString& datei, const QString& reportdatei, const Druckformular& formular) {
  std::unique_ptr<Reportdaten> daten = Daten(db, lauf, formular.fenster);
  if (!daten) return Druckergebnis::Datenfehler;
  const QFileInfo ziel(datei);
  Druckanfrage anfrage;
  anfrage.ReportDatei = reportdatei;
  anfrage.ProjektTyp = Report::Liste;
  anfrage.DruckZiel = Report::ZielPdf;
  anfrage.PdfDateiname = ziel.fileName();
  anfrage.PdfPfad = QDir::toNativeSeparators(ziel.absolutePath());
  return ReportDrucken(*daten, anfrage, Variablen(erstellungsdatum), formular);
}
