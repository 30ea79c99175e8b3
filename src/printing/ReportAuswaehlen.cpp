#include "printing/ReportAuswaehlen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "platform/settings/IniDatei.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ZahlFeld.h"
#include "printing/DruckLL.h"

namespace {

std::function<void(DruckLL&)>& Haken() {
  static std::function<void(DruckLL&)> h;
  return h;
}

const QString kOhneBeschreibung = QStringLiteral("ohne Beschreibung");

QString Beschreibung(const QString& datei) {
  const std::optional<IniDatei> ini = IniDatei::Laden(datei);
  if (!ini) return kOhneBeschreibung;
  const QString text = ini->Wert(QStringLiteral("Description"), QStringLiteral("Text")).trimmed();
  return text.isEmpty() || text == QLatin1String("? (default)") ? kOhneBeschreibung : text;
}

int Projekttyp(const QString& datei, int bisher) {
  const QString endung = datei.right(4).toUpper();
  if (endung == QLatin1String(".LST")) return Report::Liste;
  if (endung == QLatin1String(".CRD")) return Report::Karteikarte;
  if (endung == QLatin1String(".LBL")) return Report::Etikett;
  return bisher;
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
  const QStringList dateien = Reportdateien(reportname);
  for (qsizetype i = 0; i < dateien.size(); ++i) {
    dialog->ReportHinzufuegen(dateien.at(i), Beschreibung(QDir(Zustand().ProgrammVerzeichnis()).filePath(dateien.at(i))));
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
      datei = NeuerReportname(reportname);
    }
    // A new report becomes the default of its base name only once it exists.
    const QString pfad = QDir::toNativeSeparators(QDir(Zustand().ProgrammVerzeichnis()).filePath(datei));
    if (!datei.isEmpty() && QFileInfo(pfad).isFile()) EinstellungSpeichern(QStringLiteral("VorgabeRPT") + reportname, datei);
    anfrage.ReportDatei = pfad;
    anfrage.ProjektTyp = Projekttyp(datei, anfrage.ProjektTyp);
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

void DruckAnfordern(const QString& reportname, const std::function<std::unique_ptr<Reportdaten>()>& daten,
                    const QList<ReportVariable>& variablen, const Druckformular& formular) {
  Druckanfrage anfrage;
  for (;;) {
    if (ReportAuswaehlen(reportname, anfrage, formular.fenster)) return;
    const std::unique_ptr<Reportdaten> zeilen = daten();
    if (!zeilen) return;
    const int ergebnis = ReportDrucken(*zeilen, anfrage, variablen, formular);
    if (!anfrage.DesignerAufruf) return;
    // The report the designer saved is the one the choice shows next; a new report becomes the
    // default of its base name only now that it exists.
    if (ergebnis == Report::Ok && QFileInfo(anfrage.ReportDatei).isFile())
      EinstellungSpeichern(QStringLiteral("VorgabeRPT") + reportname, ReportDateiname(anfrage.ReportDatei));
  }
}
