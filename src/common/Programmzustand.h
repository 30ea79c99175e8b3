#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <memory>

#include "common/AdressQuellenInfo.h"
#include "common/Optionsschalter.h"
#include "platform/db/Datenbank.h"

class Recordset;

// The program-wide state of a run (the old module-level globals), kept in one object. Each value is
// written at start-up or by its one owner (the database opening, the sender form, the settings
// dialog, the SEPA writer for the PDF names, the print dialog for ReportDatum) and read everywhere.
class Programmzustand {
 public:
  static Programmzustand& Instanz();

  // --- The open database -------------------------------------------------------------------
  // Null while no database is open.
  ::Datenbank* Datenbank() const { return m_datenbank.get(); }
  ::Arbeitsbereich& Arbeitsbereich() { return m_arbeitsbereich; }
  // Table recordset on `Absender`, positioned on the active sender; null while no database is open.
  Recordset* AbsenderDaten() const { return m_absenderDaten.get(); }
  const AdressQuellenInfo& AdressQuelle() const { return m_adressQuelle; }
  // Takes over an opened database with its sender recordset and address source (DatenbankOeffnen).
  void DatenbankUebernehmen(std::unique_ptr<::Datenbank> db, std::unique_ptr<Recordset> absenderDaten,
                            const AdressQuellenInfo& quelle);
  // Closes the sender recordset and the database (before compaction, backup, restore, a change of
  // the data folder or of the sender).
  void DatenbankSchliessen();

  // --- Active sender ---------------------------------------------------------------------
  int AktuelleAbsenderNr() const { return m_aktuelleAbsenderNr; }
  void AktuelleAbsenderNrSetzen(int nr) { m_aktuelleAbsenderNr = nr; }

  // --- Folders and files (folders end in the separator) ------------------------------------
  const QString& ProgrammVerzeichnis() const { return m_programmVerzeichnis; }
  // The help pages (the "help" folder of the program folder).
  QString HilfeOrdner() const { return m_programmVerzeichnis + QStringLiteral("help"); }
  const QString& DatenVerzeichnis() const { return m_datenVerzeichnis; }
  const QString& HilfeDatei() const { return m_hilfeDatei; }
  const QString& TabellenLayoutDatei() const { return m_tabellenLayoutDatei; }
  // Sets the program folder and the files that lie in it (help, grid layout).
  void ProgrammVerzeichnisSetzen(const QString& ordner);
  void DatenVerzeichnisSetzen(const QString& ordner);

  // --- Print and PDF -----------------------------------------------------------------------
  const QString& PDFDateiname() const { return m_pdfDateiname; }
  const QString& PDFPfad() const { return m_pdfPfad; }
  void PDFSetzen(const QString& dateiname, const QString& pfad) { m_pdfDateiname = dateiname; m_pdfPfad = pfad; }
  const QDate& ReportDatum() const { return m_reportDatum; }
  void ReportDatumSetzen(const QDate& datum) { m_reportDatum = datum; }

  // --- Options -----------------------------------------------------------------------------
  const Optionsschalter& Optionen() const { return m_optionen; }
  void OptionenSetzen(const Optionsschalter& o) { m_optionen = o; }
  // Which fields a new payment takes over from the previous one (0 name and address number,
  // 1 bank, 2 BIC, 3 IBAN; 4 and 5 are kept but unused).
  const std::array<bool, 6>& Kopierfeld() const { return m_kopierfeld; }
  void KopierfeldSetzen(const std::array<bool, 6>& k) { m_kopierfeld = k; }

  // Reads from the registry what start-up reads: the active sender ("Window State"/"AbsenderNr",
  // default 1), the options, the copy-field flags; sets ReportDatum to today.
  void StartwerteLesen();

  // A linking problem already reported in this run (the shell shows it once).
  bool HinweisBereitsGemeldet(const QString& schluessel) const { return m_gemeldet.contains(schluessel); }
  void HinweisGemeldet(const QString& schluessel) { m_gemeldet.append(schluessel); }

  // Back to the state of a fresh run (tests).
  void Zuruecksetzen();

 private:
  Programmzustand();
  ~Programmzustand();
  std::unique_ptr<::Datenbank> m_datenbank;
  ::Arbeitsbereich m_arbeitsbereich;
  std::unique_ptr<Recordset> m_absenderDaten;
  AdressQuellenInfo m_adressQuelle;
  int m_aktuelleAbsenderNr = 1;
  QString m_programmVerzeichnis;
  QString m_datenVerzeichnis;
  QString m_hilfeDatei;
  QString m_tabellenLayoutDatei;
  QString m_pdfDateiname;
  QString m_pdfPfad;
  QDate m_reportDatum;
  Optionsschalter m_optionen;
  std::array<bool, 6> m_kopierfeld{};
  QStringList m_gemeldet;
};

// Short form for the callers.
inline Programmzustand& Zustand() { return Programmzustand::Instanz(); }
