#pragma once

#include <QDialog>
#include <QFont>

#include <functional>
#include <vector>

#include "shell/Programmoptionen.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The settings dialog: option flags of "Window State", the payment form's settings, copy fields,
// the program font and the data folder. "OK" stores everything; a changed data folder is taken
// only after the other windows were closed and its database opened.
class Optionen : public QDialog {
  Q_OBJECT
 public:
  explicit Optionen(QWidget* eltern = nullptr);

  // Asked before the database is reopened on a new data folder; false keeps the old folder.
  void AndereFensterSchliessenSetzen(std::function<bool()> f) { m_andereSchliessen = std::move(f); }
  // Called after the settings were stored (the main window refreshes).
  void NachSpeichernSetzen(std::function<void()> f) { m_nachSpeichern = std::move(f); }

  // What the controls show, and the stored values into the controls.
  Programmoptionen Werte() const;
  void WerteAnzeigen(const Programmoptionen& werte);
  QString Datenordner() const;
  void DatenordnerSetzen(const QString& ordner);
  QFont Schrift() const { return m_schrift; }

  // The OK button: data folder, font, options; false (dialog stays open) when the folder change failed.
  bool Uebernehmen();

 private:
  QWidget* SeiteAllgemein();
  QWidget* SeiteZahlungen();
  QWidget* SeiteSchriftDaten();
  void SchriftAnzeigen();

  std::vector<std::pair<const Optionsschalter::Eintrag*, QCheckBox*>> m_schalter;
  std::array<QCheckBox*, 6> m_kopierfeld{};
  QCheckBox* m_neueingabe = nullptr;
  QComboBox* m_speicherfeld = nullptr;
  std::array<QLineEdit*, 3> m_vorlagen{};
  QCheckBox* m_fehlerKontrolle = nullptr;
  QCheckBox* m_aufAbPfeil = nullptr;
  QCheckBox* m_blzAbgleich = nullptr;
  QLabel* m_schriftAnzeige = nullptr;
  QLineEdit* m_datenordner = nullptr;
  QFont m_schrift;
  std::function<bool()> m_andereSchliessen;
  std::function<void()> m_nachSpeichern;
};
