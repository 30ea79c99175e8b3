#pragma once

#include <QDate>
#include <QDialog>
#include <QFont>

#include <optional>

#include "payments/core/FaelligAbfrageModell.h"

class DatumFeld;
class Kalender;
class QLabel;
class QPushButton;

// FälligAbfrage, "Fälligkeits-Abfrage": asks up to which due date payments are listed. Calling order:
// Daten, exec, SuchOk. "OK" with a valid date confirms; "Abbruch", Esc and the close box remove the
// limit. The calendar and the date field always show the same date.
class FaelligAbfrage : public QDialog {
  Q_OBJECT
 public:
  explicit FaelligAbfrage(QWidget* eltern = nullptr);

  // Font and proposed date; the controls take them when the dialog is shown.
  void Daten(const QFont& schrift, const QDate& vorschlagsdatum);
  // suchok: true only after "OK"; `datum` receives the date field's date (nullopt without one).
  bool SuchOk(std::optional<QDate>& datum) const;

  // The whole protocol for a caller: the new limit (nullopt = no limit).
  static std::optional<QDate> Abfragen(QWidget* eltern, const QFont& schrift, const std::optional<QDate>& faelligBis,
                                       const QDate& heute);

  DatumFeld* Datumfeld() const { return m_datum; }
  ::Kalender* Kalender() const { return m_kalender; }
  QPushButton* OkKnopf() const { return m_ok; }
  QPushButton* AbbruchKnopf() const { return m_abbruch; }
  const FaelligAbfrageModell& Modell() const { return m_modell; }

 protected:
  void showEvent(QShowEvent* ereignis) override;
  void closeEvent(QCloseEvent* ereignis) override;
  void keyPressEvent(QKeyEvent* ereignis) override;

 private:
  void Laden();
  void DatumVomKalender(const QDate& datum);
  void DatumVomFeld();
  void OkGeklickt();
  void AbbruchGeklickt();

  FaelligAbfrageModell m_modell;
  QFont m_schrift;
  bool m_schriftGesetzt = false;
  bool m_geladen = false;
  bool m_abgleich = false;
  QLabel* m_label;
  ::Kalender* m_kalender;
  DatumFeld* m_datum;
  QPushButton* m_ok;
  QPushButton* m_abbruch;
};
