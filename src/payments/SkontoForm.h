#pragma once

#include <QDialog>
#include <QFont>

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "payments/core/SkontoLauf.h"
#include "platform/db/SqlText.h"

class Datenbank;
class DatenGitter;
class QPushButton;
class QRadioButton;
class Recordset;
class TastenVorschau;
class ZahlFeld;

// SkontoForm, "Skonto-Funktionen": deducts a cash discount in percent from the remittance lines of
// the payments the payment form lists, or rounds their amounts, on the marked lines (in the order
// in which they were marked) or on all listed lines. Calling order: Daten, exec.
//
// Each "Abzug vornehmen" is one short transaction of its own; no lock is held while the dialog
// waits. "Änderungen zurücksetzen" writes back what the lines had before the dialog's first run;
// closing keeps the runs. The grid is read-only.
class SkontoForm : public QDialog {
  Q_OBJECT
 public:
  explicit SkontoForm(QWidget* eltern = nullptr);
  ~SkontoForm() override;

  // The payment form's condition on Zahlungen (its browse query's, with its parameters), the
  // payment it shows (its lines are marked at loading) and its font.
  void Daten(const Bedingung& zahlungen, std::optional<qint64> startZahlungNr, const QFont& schrift);

  // Controls, for the program and its tests.
  QRadioButton* Aktion(int index) const { return m_aktion.at(size_t(index)); }
  ZahlFeld* SkontoProzent() const { return m_prozent; }
  ZahlFeld* Kommastellen(int index) const { return m_kommastellen.at(size_t(index)); }
  QRadioButton* Selektion(int index) const { return m_selektion.at(size_t(index)); }
  // 0 "Abzug vornehmen", 1 "Alles markieren", 2 "Markierung aufheben", 3 "Änderungen zurücksetzen",
  // 4 "Schließen".
  QPushButton* Command1(int index) const { return m_knoepfe.at(size_t(index)); }
  DatenGitter* Gitter() const { return m_gitter; }
  const SkontoSitzung& Sitzung() const { return m_sitzung; }
  // The values of the controls as the settings store them.
  SkontoEinstellungen EinstellungenDerFelder() const;

  // The commands (what the buttons do).
  void AbzugVornehmen();
  void AllesMarkieren();
  void MarkierungAufheben();
  void Zuruecksetzen();

 protected:
  void showEvent(QShowEvent* ereignis) override;
  void closeEvent(QCloseEvent* ereignis) override;
  void reject() override;

 private:
  void Aufbauen();
  void Laden();
  bool Oeffnen();
  void StartzeilenMarkieren();
  void NeuLaden();
  void FussAnzeigen();
  void AktionGewaehlt();
  void SelektionGewaehlt();
  void KnopfRegel();
  // A run or the reset: hourglass, rows read again on success, the failure or the note shown.
  void Ausfuehren(bool zuruecksetzen, const std::function<SkontoErgebnis()>& schritt);
  void ZeileGewechselt(int alteZeile);
  SkontoVorgabe Vorgabe() const;
  bool NurMarkierte() const;

  Datenbank* m_db = nullptr;
  Bedingung m_zahlungen;
  std::optional<qint64> m_startZahlungNr;
  QFont m_schrift;
  bool m_schriftGesetzt = false;
  bool m_geladen = false;       // Geladen: the button rule waits for the end of loading
  bool m_neuLaden = false;      // rows are being read again: moving marks nothing
  std::unique_ptr<Recordset> m_zeilen;
  SkontoSitzung m_sitzung;

  DatenGitter* m_gitter = nullptr;
  std::array<QRadioButton*, 2> m_aktion{};
  ZahlFeld* m_prozent = nullptr;
  std::array<ZahlFeld*, 2> m_kommastellen{};
  std::array<QRadioButton*, 2> m_selektion{};
  std::array<QPushButton*, 5> m_knoepfe{};
  TastenVorschau* m_tasten = nullptr;
};
