#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Outcome of one SEPA run.
struct SepaLaufErgebnis {
  bool DateiGeschrieben = false;   // every file is in place and its orders are marked done
  QStringList Dateien;             // full paths of the files written, in file order
  QStringList NachrichtenIds;      // the message id of each file (parallel to Dateien)
  QList<QDate> Buchungsdaten;      // the date the bank uses for each file: execution or collection date
  bool Lastschriften = false;      // the files hold direct debits (else credit transfers)
  QStringList Archivdateien;       // archive copies made
  int Anzahl = 0;                  // orders written and marked done
  QList<qint64> ZahlungNummern;    // exactly those orders, in file order
  QStringList EndToEndIds;         // the end-to-end id each of them carries in its file
  int Fehlerhaft = 0;              // faulty orders of the selection, left out
  QString Referenz;                // message id of the last file
  QString NaechsteReferenz;        // the reference the window shows next (stored in Absender.ReferenzNr)
  std::optional<QDate> Ausfuehrungsdatum;  // credit transfers: the execution date used
  QString PdfDateiname;            // "<remark>_Zahlungsübersicht.pdf" when the remark option is on
  QString PdfPfad;                 // the target folder then
  QString Meldung;                 // the message for the user: the result, a refusal or the failure
  QString Statustext;              // status line after success
  QStringList AndereDateien;       // older SEPA files of this kind that stay in the folder (named to the user)
  QStringList Warnungen;           // archive copies or clean-up steps that failed (the run stands)
  int Fehlernummer = 0;            // the failure's number (0 on success or refusal)
  QString Fehlerbeschreibung;

  bool Ok() const { return DateiGeschrieben; }
};
