#include "printing/ReportAuswaehlen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ZahlFeld.h"
#include "printing/DruckLL.h"
#include "printing/Reportjob.h"

namespace {

std::function<void(DruckLL&)>& Haken() {
  static std::function<void(DruckLL&)> h;
  return h;
}

}  // namespace

void DruckdialogHakenSetzen(std::function<void(DruckLL&)> haken) { Haken() = std::move(haken); }

bool ReportAuswaehlen(const QString& reportname, Druckanfrage& anfrage, QWidget* eltern) {
  anfrage.ReportDatei.clear();
  anfrage.DruckAktion = 0;
  anfrage.DruckZiel = Report::ZielAbfragen;
  anfrage.DruckKopien = 1;
  anfrage.DesignerAufruf = false;

  auto dialog = std::make_unique<DruckLL>(eltern);
  dialog->DatumSetzen(Zustand().ReportDatum().isValid() ? Zustand().ReportDatum() : Uhr::Heute());
  const QString letzte = ReportDateiname(EinstellungLesen(QStringLiteral("VorgabeRPT") + reportname, QString()));
  int gewaehlt = -1;
  const QString programm = Zustand().ProgrammVerzeichnis();
  const QStringList dateien = Reportdateien(reportname, programm);
  for (qsizetype i = 0; i < dateien.size(); ++i) {
    dialog->ReportHinzufuegen(dateien.at(i), ReportBeschreibung(QDir(programm).filePath(dateien.at(i))));
    if (gewaehlt < 0 && dateien.at(i).compare(letzte, Qt::CaseInsensitive) == 0) gewaehlt = int(i);
  }
  dialog->DateimaskeAnzeigen(reportname + QStringLiteral("*.LST"));
  if (gewaehlt < 0 && !dateien.isEmpty()) gewaehlt = 0;
  if (gewaehlt >= 0) dialog->ReportAuswaehlen(gewaehlt);

  const QString vorgabe = EinstellungLesen(QStringLiteral("VorgabeRPTEinstellungen") + reportname, QStringLiteral("0,1"));
  if (vorgabe.startsWith(QLatin1Char('1'))) dialog->Art()->WertSetzen(1);
  bool ok = false;
  const int vorgabeKopien = vorgabe.mid(2).trimmed().toInt(&ok);
  if (ok && vorgabeKopien > 1) dialog->Kopien()->GanzzahlWertSetzen(std::min(vorgabeKopien, 9));

  if (Haken()) {
    dialog->show();
    Haken()(*dialog);
    if (dialog->Gedrueckt() < 0) dialog->KnopfDruecken(0);
  } else {
    dialog->exec();
  }

  const bool abbruch = dialog->Druckabbruch() || dialog->Gedrueckt() < 0;
  if (!abbruch) {
    if (const auto datum = dialog->Reportdatum()) Zustand().ReportDatumSetzen(*datum);
    anfrage.DruckAktion = dialog->Gedrueckt();
    anfrage.DesignerAufruf = anfrage.DruckAktion >= 2;
    QString datei = ReportDateiname(dialog->GewaehlteDatei());
    if (anfrage.DruckAktion == 3) {
      anfrage.ProjektTyp = Report::Liste;
      datei = NeuerReportname(reportname, programm);
    }
    // A new report becomes the default of its base name only once it exists.
    const QString pfad = QDir::toNativeSeparators(QDir(programm).filePath(datei));
    if (!datei.isEmpty() && QFileInfo(pfad).isFile()) EinstellungSpeichern(QStringLiteral("VorgabeRPT") + reportname, datei);
    anfrage.ReportDatei = pfad;
    anfrage.ProjektTyp = ReportProjekttyp(datei, anfrage.ProjektTyp);
    const int option = dialog->AusgabeZielRpt();
    const qint64 kopien = dialog->Kopien()->Ganzzahl().value_or(1);
    if (option != 2)
      EinstellungSpeichern(QStringLiteral("VorgabeRPTEinstellungen") + reportname,
                           QString::number(option) + QLatin1Char(',') + QString::number(kopien));
    if (option == 0) {
      anfrage.DruckZiel = Report::ZielVorschau;
    } else if (option == 1) {
      anfrage.DruckZiel = Report::ZielDrucker;
      if (kopien > 1) anfrage.DruckKopien = int(kopien);
    } else {
      anfrage.DruckZiel = Report::ZielAbfragen;
    }
  }
  dialog.reset();
  QCoreApplication::processEvents();
  return abbruch;
}

Druckformular DruckformularErgaenzen(Druckformular formular) {
  if (!formular.absenderDaten && !formular.datenbank) {
    formular.absenderDaten = Zustand().AbsenderDaten();
    formular.datenbank = Zustand().Datenbank();
    formular.absenderNr = Zustand().AktuelleAbsenderNr();
  }
  if (formular.programmVerzeichnis.isEmpty()) formular.programmVerzeichnis = Zustand().ProgrammVerzeichnis();
  if (!formular.reportDatum.isValid()) formular.reportDatum = Zustand().ReportDatum();
  return formular;
}

void DruckergebnisMelden(const Druckergebnis& ergebnis, QWidget* fenster) {
  for (const QString& text : ergebnis.meldungen) Meldung::Fehler(text, Meldung::AnwendungsTitel(), fenster);
}

void DruckAnfordern(const QString& reportname, const std::function<std::unique_ptr<Reportdaten>()>& daten,
                    const QList<ReportVariable>& variablen, const Druckformular& formular) {
  QWidget* fenster = qobject_cast<QWidget*>(formular.fenster);
  Druckanfrage anfrage;
  for (;;) {
    if (ReportAuswaehlen(reportname, anfrage, fenster)) return;
    const std::unique_ptr<Reportdaten> zeilen = daten();
    if (!zeilen) return;
    // The report date is the one just chosen.
    const Druckergebnis ergebnis =
        ReportDrucken(*zeilen, anfrage, variablen, DruckformularErgaenzen(formular), Reportjob::Engine());
    DruckergebnisMelden(ergebnis, fenster);
    // Written through the output settings: the user learns where the file is.
    if (ergebnis.Ok() && !anfrage.DesignerAufruf && !ergebnis.datei.isEmpty())
      Meldung::Hinweis(QStringLiteral("Die PDF-Datei wurde gespeichert:\r") + ergebnis.datei, {}, fenster);
    if (!anfrage.DesignerAufruf) return;
    // The report the designer saved is the one the choice shows next; a new report becomes the
    // default of its base name only now that it exists.
    if (ergebnis.Ok() && QFileInfo(anfrage.ReportDatei).isFile())
      EinstellungSpeichern(QStringLiteral("VorgabeRPT") + reportname, ReportDateiname(anfrage.ReportDatei));
  }
}
