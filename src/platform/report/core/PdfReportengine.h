#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

#include "platform/report/core/Ausgabefehler.h"
#include "platform/report/core/Druckdokument.h"
#include "platform/report/core/Reportdefinitionen.h"
#include "platform/report/core/Reportengine.h"
#include "platform/report/core/Reportlayout.h"

class Seitenaufbau;

// The report engine without windows: reads our report files, lays the rows out into display lists per
// page and writes the pages to a PDF file (QPdfWriter with embedded fonts, written under a temporary
// name and renamed). It needs QtGui only and runs under a QGuiApplication on no screen. It has no
// printer, no dialogs, no progress box and no preview: the file dialog and the output settings answer
// Report::Abgebrochen, the printer target fails with "no printer", the preview shows nothing. The
// program's engine (QtReportengine) adds them.
class PdfReportengine : public Reportengine {
 public:
  PdfReportengine();
  ~PdfReportengine() override;

  // No printer can be reached without the print support.
  bool DruckerVorhanden() override { return false; }

  // The pages of the last job (the preview shows them).
  const Druckdokument& Dokument() const { return m_dokument; }
  // What the print defined before its start (declared values, sort orders offered).
  const Reportdefinitionen& Definitionen() const { return m_definitionen; }

  QString Dateiendung(int projektTyp) override;
  int DateiAuswaehlen(QObject* eltern, const QString& titel, int projektTyp, QString& datei) override;
  void SortierungenBeginnen() override;
  void SortierungDefinieren(const QString& kennung, const QString& text) override;
  void FelderBeginnen() override;
  void VariablenBeginnen() override;
  void VariableDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) override;
  void FeldDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) override;
  void SummeSperren(const QString& name, const QString& grund) override;
  int DruckStarten(int projektTyp, const QString& datei, QObject* eltern, const QString& boxTitel) override;
  int Designer(QObject* eltern, const QString& titel, int projektTyp, const QString& datei) override;
  void ExportParameterSetzen(const QString& format, const QString& schluessel, const QString& wert) override;
  void ExportFormatSetzen(const QString& format) override;
  int OptionenDialog(QObject* eltern, const QString& titel, const QString& text) override;
  int DruckOption(int option) override;
  int DruckOptionSetzen(int option, int wert) override;
  QString Sortierung() override;
  int AktuelleSeite() override;
  bool FeldBenutzt(const QString& name) override;
  bool VariableBenutzt(const QString& name) override;
  int BoxTextSetzen(const QString& text, int prozent) override;
  int Drucken() override;
  int FelderDrucken() override;
  int FelderEnde() override;
  void DruckAbbrechen() override;
  int DruckEnde(int flags) override;
  void VorschauAnzeigen(const QString& datei, const QString& optionen, QObject* eltern) override;
  void VorschauDateienLoeschen(const QString& datei, const QString& optionen) override;
  QString Fehlerdetail() const override { return m_fehlerdetail; }
  QString PdfDatei() const override { return m_pdfDatei; }

 protected:
  // The printer target of DruckEnde, with the pages in Dokument(): here always "no printer".
  virtual int DruckerAusgeben();

  int Fehler(Ausgabefehler fehler, const QString& detail);
  void FehlerdetailSetzen(const QString& detail) { m_fehlerdetail = detail; }
  // A job is running: between a successful DruckStarten and DruckEnde.
  bool JobLaeuft() const { return m_job; }
  bool Abgebrochen() const { return m_abgebrochen; }
  // The layout of the running job; empty before the first successful start.
  const std::optional<Reportlayout>& Layout() const { return m_layout; }
  // Lays the running job out on another page, as long as no page has been laid out yet.
  void SeiteNeuEinrichten(const QPageLayout& seite);
  QString ExportWert(const QString& schluessel) const { return m_export.value(schluessel); }

 private:
  QVariant Wert(const QString& name) const;
  int PdfSchreiben();

  QHash<QString, QVariant> m_felder;
  QHash<QString, QVariant> m_variablen;
  Reportdefinitionen m_definitionen;
  QHash<int, int> m_optionen;
  QHash<QString, QString> m_export;      // "Export.File", "Export.Path", ...
  std::optional<Reportlayout> m_layout;
  std::unique_ptr<Seitenaufbau> m_aufbau;
  QSet<QString> m_benutzteFelder;
  QSet<QString> m_benutzteVariablen;
  Druckdokument m_dokument;
  bool m_job = false;
  bool m_abgebrochen = false;
  QString m_fehlerdetail;
  QString m_pdfDatei;   // written by the last job
};
