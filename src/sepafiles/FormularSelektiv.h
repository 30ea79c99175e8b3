#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <memory>
#include <optional>

#include "sepafiles/core/Selektivbearbeitung.h"

class DatenGitter;
class DatumFeld;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Recordset;

// "Zahlungen selektiv löschen / reaktivieren": the active sender's orders, by criteria (done within
// a date range, taken over by the accounting program, kind) or all of them, are shown and then
// deleted or made open again after a confirmation. Modal, opened after every other window closed.
class FormularSelektiv : public QDialog {
  Q_OBJECT
 public:
  explicit FormularSelektiv(QWidget* eltern = nullptr);
  ~FormularSelektiv() override;

  // Reads the criteria, opens the selection into the grid and sets the action button.
  void AuswahlLaden();
  // "Aktion &durchführen": true when the action ran and was stored.
  bool AktionDurchfuehren();

  // The criteria as the controls show them; nullopt with `meldung` when a date is incomplete or
  // impossible (it would otherwise drop its bound).
  std::optional<SelektivKriterien> KriterienLesen(QString* meldung = nullptr) const;
  // The criteria of the grid's selection; nullopt when none is shown.
  const std::optional<SelektivKriterien>& AngezeigteKriterien() const { return m_angezeigt; }
  SelektivAktion Aktion() const { return m_aktion; }
  bool AnzeigeBereit() const { return m_anzeigeBereit; }
  int Auswahlen() const { return m_auswahlen; }   // selections run in this opening

  // Controls, named as the window's design names them.
  QRadioButton* Option1(int index) const { return m_option1.at(index); }
  QCheckBox* Check1(int index) const { return m_check1.at(index); }
  DatumFeld* TDBDate1(int index) const { return m_tdbDate1.at(index); }
  QComboBox* Combo1() const { return m_combo1; }
  QPushButton* Command1(int index) const { return m_command1.at(index); }
  DatenGitter* TDBGrid1() const { return m_tdbGrid1; }
  QLabel* Hinweis() const { return m_hinweis; }

 protected:
  void showEvent(QShowEvent* ereignis) override;
  void resizeEvent(QResizeEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 public Q_SLOTS:
  void done(int ergebnis) override;

 private:
  void Aufbauen();
  void SpaltenAnlegen();
  void Laden();
  void Entladen();
  void KriterienFreigeben();
  void KriteriumGeaendert();
  QString Aktionsname() const;

  int m_selektionsart = 0;
  SelektivAktion m_aktion = SelektivAktion::Loeschen;
  bool m_anzeigeBereit = false;
  bool m_entladen = false;
  bool m_spaltenGesetzt = false;   // the columns sized to the rows once, at the first showing
  int m_auswahlen = 0;
  std::array<QString, 2> m_datumBeiFokus;
  std::optional<SelektivKriterien> m_angezeigt;
  std::unique_ptr<Recordset> m_daten;   // Data1

  std::array<QRadioButton*, 4> m_option1{};
  std::array<QCheckBox*, 2> m_check1{};
  std::array<DatumFeld*, 2> m_tdbDate1{};
  QComboBox* m_combo1 = nullptr;
  QLabel* m_zahlartBeschriftung = nullptr;
  std::array<QPushButton*, 2> m_command1{};
  DatenGitter* m_tdbGrid1 = nullptr;
  QLabel* m_hinweis = nullptr;
};

// The main window opens the window through this factory (modal, after the other windows were closed).
QDialog* FormularSelektivErzeugen(QWidget* eltern);
