#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include <array>
#include <optional>

class DatumFeld;
class OptionsGruppe;
class QGroupBox;
class QListWidget;
class QPushButton;
class StatusLeiste;
class ZahlFeld;

// "Druckausgabe": the print dialog of the report choice. The user picks the target, a report file,
// the copies and the report date and closes it with a button: 0 "Abbruch", 1 "OK", 2 "Rep&ort
// ändern", 3 "&Neuer Report". Closing it by the window button is "Abbruch". The dialog decides
// nothing about reports; the report choice fills it and reads the results.
class DruckLL : public QDialog {
  Q_OBJECT
 public:
  explicit DruckLL(QWidget* eltern = nullptr);
  ~DruckLL() override;

  // Filling (by the report choice).
  void ReportHinzufuegen(const QString& datei, const QString& beschreibung);
  void ReportAuswaehlen(int index);
  int AusgewaehlterReport() const;
  void DateimaskeAnzeigen(const QString& maske);
  void DatumSetzen(const QDate& datum);

  // Results.
  bool Druckabbruch() const { return m_abbruch; }
  int AusgabeZielRpt() const { return m_ausgabe; }
  int Gedrueckt() const { return m_gedrueckt; }                  // -1 before a button was pressed
  QString GewaehlteDatei() const { return m_gewaehlt; }          // file name of the chosen entry
  std::optional<QDate> Reportdatum() const { return m_datum; }   // set by every button but "Abbruch"

  // A button press (also what Enter, Esc and a double click do). False when the press was refused
  // (OK or "Rep&ort ändern" without a chosen report, an invalid date).
  bool KnopfDruecken(int index);

  // Controls, named as the design names them.
  OptionsGruppe* Art() const { return m_art; }
  QListWidget* List1() const { return m_list1; }
  ZahlFeld* Kopien() const { return m_kopien; }
  DatumFeld* TDBDate1() const { return m_tdbDate1; }
  QPushButton* commask(int index) const { return m_commask.at(index); }
  StatusLeiste* StatusBar1() const { return m_statusBar1; }
  QGroupBox* Dateirahmen() const { return m_dateirahmen; }

 protected:
  void showEvent(QShowEvent* ereignis) override;
  void closeEvent(QCloseEvent* ereignis) override;
  void resizeEvent(QResizeEvent* ereignis) override;

 public Q_SLOTS:
  void reject() override;

 private:
  void KnoepfeAnpassen();

  OptionsGruppe* m_art;
  QListWidget* m_list1;
  ZahlFeld* m_kopien;
  DatumFeld* m_tdbDate1;
  std::array<QPushButton*, 4> m_commask{};
  StatusLeiste* m_statusBar1;
  QGroupBox* m_dateirahmen;
  QString m_dateirahmenTitel;
  bool m_abbruch = false;
  int m_ausgabe = 0;
  int m_gedrueckt = -1;
  QString m_gewaehlt;
  std::optional<QDate> m_datum;
};
