#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "shell/Druckjob.h"
#include "shell/Fensterverwaltung.h"

class QAction;
class QLabel;
class QPushButton;
class QToolBar;
class QToolButton;
class QVBoxLayout;

// The entries of the main window's command bar and toolbar.
enum class Hauptbefehl {
  ZahlungenErfassen,
  Zahlungsliste,
  SepaDatei,
  Selektivloeschen,
  Adressen,
  Bankverbindungen,
  Absender,
  Einstellungen,
  Rechner,
  Hilfe,
  Beenden
};

// A work window the main window can open: its kind (one open window per kind), how it is shown and
// how it is made. The libraries that own the windows are wired in by the shell (Arbeitsfenster.cpp).
struct Fensterart {
  QString art;
  Fensteroeffnung oeffnung = Fensteroeffnung::Nichtmodal;
  std::function<QWidget*(QWidget* eltern)> erzeugen;
};

// The main window: command bar (left) and toolbar with the program's work windows, a status line
// with the active sender. Entries without a window behind them are shown disabled.
class ZOVA10 : public QMainWindow {
  Q_OBJECT
 public:
  explicit ZOVA10(QWidget* eltern = nullptr);
  ~ZOVA10() override;

  // Plugs a window in behind an entry (enables it).
  void FensterartSetzen(Hauptbefehl befehl, Fensterart art);
  // Plugs a plain command in behind an entry (help).
  void BefehlSetzen(Hauptbefehl befehl, std::function<void()> befehlsFunktion);
  bool Verfuegbar(Hauptbefehl befehl) const;
  // What a click on the entry does; false when the entry has nothing behind it.
  bool Ausfuehren(Hauptbefehl befehl);

  // The print job that lives with this window; opened by Laden, closed by the shut-down.
  void DruckjobSetzen(std::unique_ptr<Druckjob> job) { m_druckjob = std::move(job); }

  // The end of loading: window position, refresh, print job.
  void Laden();
  // The refresh call: status line (active sender) and the entries' state.
  void Aktualisieren();

  Fensterverwaltung& Fenster() { return m_fenster; }
  QAction* Aktion(Hauptbefehl befehl) const;
  QToolButton* Leistenknopf(Hauptbefehl befehl) const;
  QString Statustext() const;
  // The active sender has no name yet (first start): the window says what to do first.
  bool AbsenderOhneNamen() const;
  QWidget* ErsterSchritt() const { return m_ersterSchritt; }
  QPushButton* ErsterSchrittKnopf() const { return m_ersterSchrittKnopf; }

  static QString Beschriftung(Hauptbefehl befehl);
  static const std::vector<Hauptbefehl>& AlleBefehle();

 protected:
  void closeEvent(QCloseEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void Aufbauen();
  QWidget* BefehlsleisteAufbauen();
  void EintragZustandSetzen(Hauptbefehl befehl);
  // Shut-down; false when a window refused to close.
  bool Beenden();
  // Closes the visible windows outside the window list; false when one refused.
  bool FreieFensterSchliessen();

  struct Eintrag {
    QAction* aktion = nullptr;
    QToolButton* knopf = nullptr;
    Fensterart fenster;
    std::function<void()> befehl;
  };
  Eintrag& EintragVon(Hauptbefehl befehl);
  const Eintrag* EintragVon(Hauptbefehl befehl) const;

  Fensterverwaltung m_fenster;
  std::vector<std::pair<Hauptbefehl, Eintrag>> m_eintraege;
  QToolBar* m_werkzeugleiste = nullptr;
  QWidget* m_befehlsleiste = nullptr;
  QLabel* m_absenderAnzeige = nullptr;
  QLabel* m_status = nullptr;
  QWidget* m_ersterSchritt = nullptr;
  QPushButton* m_ersterSchrittKnopf = nullptr;
  std::unique_ptr<Druckjob> m_druckjob;
  bool m_beendet = false;
};
