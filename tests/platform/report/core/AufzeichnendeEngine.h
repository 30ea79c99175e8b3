#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <climits>

#include "platform/report/core/Reportengine.h"

// A report engine that records every call of the print driver ("Name(arguments)") and answers as
// scripted: results queued per call name, used names, options, a sort order and pages of a fixed
// number of rows. Rows printed are kept with the field values they had.
class AufzeichnendeEngine : public Reportengine {
 public:
  struct Definition {
    QString name;
    QVariant wert;
    Report::Typ typ;
  };

  QStringList aufrufe;
  QHash<QString, QList<int>> antworten;   // next results of a call, by name; Ok when none is queued
  bool alleBenutzt = true;                // FeldBenutzt/VariableBenutzt: every name, or only `benutzt`
  QSet<QString> benutzt;
  QHash<int, int> optionen{{Report::OptionZiel, Report::ZielVorschau}, {Report::OptionKopien, 1},
                           {Report::OptionLetzteSeite, INT_MAX}};
  QString sortierung;
  QString gewaehlteDatei = QStringLiteral("/gewaehlt/Aus Dialog.LST");   // what the file dialog answers
  int zeilenJeSeite = 0;                  // 0 = one page for everything
  QString fehlerdetail;
  int designerErgebnis = Report::KeinProjekt;
  bool etikett = false;                   // Drucken prints a row (label and card projects)

  QList<Definition> variablen;            // every VariableDefinieren, in order
  QList<Definition> felder;               // every FeldDefinieren, in order
  QHash<QString, QVariant> aktuell;       // current values (fields and variables)
  QList<QHash<QString, QVariant>> zeilen; // values of every row printed
  QList<int> prozente;
  QHash<QString, QString> export_;        // export parameters
  int seite = 0;
  bool abgebrochen = false;

  int Anzahl(const QString& aufruf) const;     // calls whose text starts with `aufruf`
  int Position(const QString& aufruf) const;   // index of the first such call, -1 when none

  QString Dateiendung(int projektTyp) override;
  int DateiAuswaehlen(QObject* eltern, const QString& titel, int projektTyp, QString& datei) override;
  void SortierungenBeginnen() override;
  void SortierungDefinieren(const QString& kennung, const QString& text) override;
  void FelderBeginnen() override;
  void VariablenBeginnen() override;
  void VariableDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) override;
  void FeldDefinieren(const QString& name, const QVariant& wert, Report::Typ typ) override;
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
  QString Fehlerdetail() const override { return fehlerdetail; }

 private:
  int Antwort(const QString& name, int vorgabe = Report::Ok);
  bool m_umbruch = false;
  int m_zeilenAufSeite = 0;
};
