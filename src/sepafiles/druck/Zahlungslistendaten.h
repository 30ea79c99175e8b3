#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

#include "platform/db/Waehrung.h"
#include "printing/core/ReportVariable.h"
#include "printing/core/Reportdaten.h"

// The rows of a printed payment list (the payment list window, the control list of a SEPA run): the
// columns of the orders and their remittance lines, and three more a reader needs to tell the rows
// apart and to add them up as the window does:
//   "Zahlungsart"    "Überweisung" (Art "G") or "Lastschrift",
//   "Zahlungsstatus" "erledigt" or "offen",
//   "Betrag"         the line's amount with the sign of the window's total (transfers negative); in
//                    the row of an order without lines (control list) the order's amount, as its file pays it,
//   "Gesamtbetrag"   the order's amount (ZahlungGesamt) with that sign.
// The unsigned amounts of the rows (ZahlungsBetrag, ZahlungGesamt, OPBetrag, SkontoBetrag) must not
// be summed by a report: transfers and debits would count alike.
class Zahlungslistendaten : public Reportdaten {
 public:
  explicit Zahlungslistendaten(std::unique_ptr<Reportdaten> zeilen);
  ~Zahlungslistendaten() override;

  const QList<Reportdatenspalte>& Spalten() const override { return m_spalten; }
  int Anzahl() override { return m_zeilen->Anzahl(); }
  QVariant Wert(int zeile, int spalte) override;
  DbFehler Fehler() const override { return m_zeilen->Fehler(); }

  static QString Zahlungsart(const QString& art);
  static QString Zahlungsstatus(bool erledigt);
  static QString SummeGesperrtGrund();

 private:
  int Quelle(const char* tabelle, const char* feld) const;

  std::unique_ptr<Reportdaten> m_zeilen;
  QList<Reportdatenspalte> m_spalten;
  int m_eigene = 0;   // columns of the rows; the added ones follow
  int m_art = -1;
  int m_erledigt = -1;
  int m_betrag = -1;
  int m_gesamt = -1;
  int m_zeile = -1;   // Verwendungszweck.LfdNr: null in the row of an order without lines
};

// The variables a payment print sets: the chosen kind and state, the signed total of the listed
// lines ("Zahlungsliste.Summe", from VorzeichenSumme), the lines about the SEPA files of a run
// ("Zahlungsliste.Dateien": one line per file with the date the bank uses, the message id and the
// file's name, then the folder; for the payment list what else limits its rows, see ZahlungslistenGrenzen)
// and the line under the title that labels "Zahlungsliste.Status" for what it is
// ("Zahlungsliste.Statuszeile": `statuszeile`, by default "Status: " and the state).
QList<ReportVariable> ZahlungslistenVariablen(const QString& formularart, const QString& status, const Waehrung& summe,
                                              const QString& dateien = {}, const QString& statuszeile = {});

// The due-date limit as the payment list shows it ("Fällig bis 15.12.2026").
QString FaelligBisText(const QDate& faelligBis);

// What limits the payment list's rows beyond kind and state, for the line under the printed title, so that a
// printout of some payments never passes for the whole list: the due date (F6) and the search values of the
// filter bar with their columns' captions, as the user typed them. Empty when nothing limits the rows.
QString ZahlungslistenGrenzen(const std::optional<QDate>& faelligBis,
                              const QList<std::pair<QString, QString>>& suchwerte);
