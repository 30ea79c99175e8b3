// Child process of DateidialogSperrenTest: the program on its own database, opening every file dialog of
// the program on the program folder. Speaks lines on stdin/stdout with the parent:
//   -> "DIALOG <title>"  (the dialog has listed the folder; the parent checks the locks)   <- "weiter"
//   -> "SPEICHERN?"                                                                          <- "speichern"
//   -> "GESPEICHERT"     (an address is committed; the parent kills this process)
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPrinter>
#include <QPushButton>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

#include "common/Programmzustand.h"
#include "masterdata/AdressenImport.h"
#include "masterdata/FormularAbsender.h"
#include "platform/db/Recordset.h"
#include "platform/report/Ausgabeeinstellungen.h"
#include "platform/report/QtReportengine.h"
#include "platform/ui/Dateidialog.h"
#include "platform/ui/MeldungsRekorder.h"
#include "sepafiles/FormularDTADisk.h"
#include "shell/Optionen.h"
#include "shell/Programmsprache.h"
#include "shell/Programmstart.h"

namespace {

void Sagen(const QString& zeile) {
  std::fputs(zeile.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string Hoeren() {
  std::string zeile;
  if (!std::getline(std::cin, zeile)) std::exit(5);
  return zeile;
}

void Warten(int ms) {
  QElapsedTimer uhr;
  uhr.start();
  while (uhr.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Shows the dialog as the user would see it: the folder listed, every row painted (icons and types asked
// for), the database selected where files are shown; then the parent checks the locks.
int DialogZeigen(QFileDialog& dialog) {
  dialog.show();
  auto* modell = dialog.findChild<QFileSystemModel*>();
  bool geladen = false;
  if (modell) QObject::connect(modell, &QFileSystemModel::directoryLoaded, &dialog, [&geladen] { geladen = true; });
  QElapsedTimer uhr;
  uhr.start();
  while (!geladen && uhr.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  Warten(300);
  if (dialog.fileMode() == QFileDialog::ExistingFile)
    dialog.selectFile(Zustand().DatenVerzeichnis() + QStringLiteral("TamoSEPA.db"));
  dialog.grab();
  dialog.setViewMode(QFileDialog::List);
  dialog.grab();
  Warten(300);
  Sagen(QStringLiteral("DIALOG ") + dialog.windowTitle());
  Hoeren();
  return QDialog::Rejected;
}

bool Klicken(QWidget& fenster, const QString& text) {
  for (QPushButton* knopf : fenster.findChildren<QPushButton*>()) {
    if (knopf->text() != text) continue;
    if (!knopf->isEnabled()) break;
    knopf->click();
    return true;
  }
  Sagen(QStringLiteral("FEHLER Knopf nicht bedienbar: ") + text);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication anwendung(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  Programmsprache::Einrichten(anwendung);
  MeldungsRekorder meldungen;
  meldungen.BeiUnerwartet([](const QString& was) { std::fprintf(stderr, "Meldung: %s\n", was.toUtf8().constData()); });
  Programmstart start;
  if (!start.Ausfuehren()) {
    Sagen(QStringLiteral("FEHLER Start: ") + meldungen.Texte().join(QLatin1Char('|')));
    return 3;
  }
  Dateidialog::AusfuehrungSetzen(&DialogZeigen);

  {
    FormularDTADisk sepa;
    sepa.show();
    Warten(100);
    Klicken(sepa, QStringLiteral("Auswählen..."));
  }
  {
    Optionen optionen;
    optionen.show();
    Klicken(optionen, QStringLiteral("&Durchsuchen..."));
  }
  {
    FormularAbsender absender;
    absender.show();
    // The chooser serves a sibling program's address source.
    if (auto* format = absender.findChild<QComboBox*>()) format->setCurrentIndex(1);
    Klicken(absender, QStringLiteral("..."));
  }
  {
    DbFehler f;
    std::unique_ptr<Recordset> adressen =
        Recordset::Oeffnen(*Zustand().Datenbank(), Abfrage::Tabelle(QStringLiteral("Adressen")), RecordsetTyp::Dynaset, f);
    if (!adressen) return 4;
    AdressenImport::Ausfuehren(nullptr, *adressen, nullptr);
  }

  {
    // The print dialog's report file and its PDF file.
    QtReportengine engine;
    QString datei = Zustand().ProgrammVerzeichnis() + QStringLiteral("*.lst");
    engine.DateiAuswaehlen(nullptr, QStringLiteral("Reportdatei wählen"), Report::Liste, datei);
    QPrinter drucker;
    Ausgabeeinstellungen ausgabe(drucker, QStringLiteral("Drucken"), {});
    ausgabe.PdfDateiSetzen(Zustand().DatenVerzeichnis() + QStringLiteral("Zahlungsliste.pdf"));
    ausgabe.ZielSetzen(Report::ZielPdf);
    ausgabe.show();
    Klicken(ausgabe, QStringLiteral("..."));
  }

  Sagen(QStringLiteral("SPEICHERN?"));
  Hoeren();
  const DbFehler f = Zustand().Datenbank()->Ausfuehren(
      "INSERT INTO Adressen (OPKontoNr, Name) VALUES ('K4711', 'Müller nach dem Dateidialog')");
  Sagen(f ? QStringLiteral("FEHLER Speichern: ") + f.Meldungstext() : QStringLiteral("GESPEICHERT"));
  Hoeren();   // killed here
  return 0;
}
