#pragma once

#include <QFileInfo>
#include <QList>
#include <QString>

#include "platform/report/core/PdfReportengine.h"
#include "printing/core/ReportDrucken.h"

// `report` printed over `daten` into the PDF file `pdf` (a full path) with the PDF engine, as a window
// prints it to a PDF file.
inline Druckergebnis PdfDrucken(Reportdaten& daten, const QString& report, const QString& pdf,
                                const QList<ReportVariable>& variablen, const Druckformular& formular) {
  Druckanfrage anfrage;
  anfrage.ReportDatei = report;
  anfrage.DruckZiel = Report::ZielPdf;
  anfrage.PdfDateiname = QFileInfo(pdf).fileName();
  anfrage.PdfPfad = QFileInfo(pdf).absolutePath();
  PdfReportengine engine;
  return ReportDrucken(daten, anfrage, variablen, formular, engine);
}
