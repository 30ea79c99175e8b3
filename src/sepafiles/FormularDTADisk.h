#pragma once

#include <QDate>
#include <QDialog>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "sepafiles/SepaFehlerliste.h"
#include "sepafiles/core/SepaAuswahl.h"
#include "sepafiles/core/SepaFormat.h"
#include "sepafiles/core/SepaLaufErgebnis.h"
#include "sepafiles/core/SepaVorpruefung.h"

class DatenGitter;
class DatumFeld;
class KontrollGruppe;
class OptionsGruppe;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class Recordset;
class ZahlFeld;
struct SepaLaufStoerung;

// "SEPA-Datei erstellen": the active sender's open orders of one kind are selected and checked, and
// the faultless ones go into SEPA files. The window collects its controls into the requests of the
// core (SepaSelektion, SepaLauf) and shows what comes back; it never builds SQL itself.
class FormularDTADisk : public QDialog {
  Q_OBJECT
 public:
  // The folder chooser: start folder, prompt and title in, the chosen folder out (nullopt = cancelled).
  using OrdnerWahl = std::function<std::optional<QString>(QWidget* eltern, const QString& titel,
                                                          const QString& aufforderung, const QString& start)>;

  // Opens the sender form (registered by the shell) on the active sender with the named field
  // ("Name", "IBAN", "BIC", "GläubigerID") to fill in; returns when the form is closed.
  using AbsenderFormular = std::function<void(QWidget* eltern, const QString& feld)>;
  static void AbsenderFormularSetzen(AbsenderFormular formular);

  explicit FormularDTADisk(QWidget* eltern = nullptr);
  ~FormularDTADisk() override;

  // First activation: selects once; every later call does nothing.
  void Aktivieren();
  // Selection and pre-check of the current kind and limits; refills the grid.
  void ZahlungenSelektieren();
  // "SEPA-Datei erstellen": the checks, the run, the next reference and the read-only view.
  // True when files were written.
  bool Erstellen();
  // "Kontroll-Liste drucken" once files were written: the print dialog, then the control list of
  // exactly the orders of those files.
  void KontrolllisteDrucken();
  // "Auswählen...": the target folder. True when the user chose one.
  bool OrdnerWaehlen();
  // F3: asks for the remittance-date limit.
  void BisDatumAbfragen();
  // "Fehlerliste...": the orders the last selection left out, with their reasons.
  void FehlerlisteZeigen();
  // "Absender ergänzen...": the sender form on the missing field, then the sender checked and the
  // orders selected again. False when no form is registered.
  bool AbsenderErgaenzen();

  // Seams for tests: the folder chooser (default: the file dialog) and fault injection in the run.
  void OrdnerWahlSetzen(OrdnerWahl wahl) { m_ordnerWahl = std::move(wahl); }
  void StoerungSetzen(const SepaLaufStoerung* stoerung) { m_stoerung = stoerung; }

  // State.
  bool Aktiviert() const { return m_aktiviert; }
  int AktZahlungsart() const { return m_aktZahlungsart; }
  bool DateiErstellt() const { return m_dateiErstellt; }
  bool LaufAktiv() const { return m_laufAktiv; }
  int Selektionen() const { return m_selektionen; }   // selections run in this opening
  int Laeufe() const { return m_laeufe; }              // runs started in this opening
  const SepaAuswahl& Auswahl() const { return m_auswahl; }
  const SepaLaufErgebnis& LetzterLauf() const { return m_letzterLauf; }
  std::optional<QDate> FaelligBis() const { return m_faelligBis; }
  std::optional<QDate> VerwendungszweckDatumBis() const { return m_verwendungszweckDatumBis; }
  QDate Erstellungsdatum() const { return m_erstellungsdatum; }
  QString Zielordner() const;

  // Controls, named as the window's design names them.
  OptionsGruppe* ZahlArt() const { return m_zahlArt; }
  DatumFeld* TDBDate1(int index) const { return m_tdbDate1.at(index); }
  ZahlFeld* Faellig2() const { return m_faellig2; }
  ZahlFeld* Kopien() const { return m_kopien; }
  QCheckBox* Check1(int index) const;   // 1 "Sammelbuchung", 2 "Autom. Einzel-Referenz", 3 "Lastschriften aufteilen ..."
  QLineEdit* TDBText1() const { return m_tdbText1; }
  QLabel* AktuellesLaufwerk() const { return m_aktuellesLaufwerk; }
  // The setting "Dateiformat" and the message version the run writes for the chosen kind.
  QComboBox* Dateiformat() const { return m_dateiformat; }
  QLabel* FormatAnzeige() const { return m_formatAnzeige; }
  SepaFormat GewaehltesFormat() const;
  QPushButton* Command1(int index) const { return m_command1.at(index); }
  DatenGitter* TDBGrid1() const { return m_tdbGrid1; }
  QLabel* Status() const { return m_status; }
  QPushButton* FehlerlisteKnopf() const { return m_fehlerlisteKnopf; }
  QPushButton* AbsenderKnopf() const { return m_absenderKnopf; }
  // What the active sender still lacks for a file of the chosen kind; empty feld when complete.
  const SepaVorpruefung::AbsenderMangel& AbsenderMangel() const { return m_absenderMangel; }
  // The list of left-out orders while it is open, else nullptr.
  SepaFehlerliste* Fehlerliste() const { return m_fehlerliste; }
  QProgressBar* Fortschritt() const { return m_fortschritt; }

 protected:
  void showEvent(QShowEvent* ereignis) override;
  bool event(QEvent* ereignis) override;
  void resizeEvent(QResizeEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 public Q_SLOTS:
  void done(int ergebnis) override;

 private:
  void Laden();
  void Entladen();
  void SpaltenAnlegen();
  void ZahlArtGeklickt(int index);
  // Lead days beyond 0-14 are refused with the reason; the last accepted value comes back.
  void FaelligkeitstageGeaendert();
  void StatusSetzen(const QString& text, const QColor& farbe);
  // A change of "Dateiformat": the older format after the banks' end asks first ("Nein" keeps the one before).
  void FormatGewaehlt();
  void FormatAnzeigen();
  void ErstellenKnopfSetzen();
  void AbsenderPruefen();
  void NurLesenAnzeigen();
  // Finishes a run that a crash interrupted and names its files (or what was lost).
  void UnterbrochenenLaufNachholen();
  bool ReferenzSpeichern();

  // Members of the design.
  std::optional<QDate> m_faelligBis;
  bool m_aktiviert = false;
  int m_aktZahlungsart = 0;
  int m_faelligkeitstage = 2;   // the lead days last accepted
  std::vector<float> m_spaltenbreiten;
  QDate m_erstellungsdatum;
  bool m_dateiErstellt = false;
  QString m_datumBeimEintritt;
  std::optional<QDate> m_verwendungszweckDatumBis;

  // Own state.
  int m_absenderNr = 1;
  SepaAuswahl m_auswahl;
  bool m_selektiert = false;      // a selection has run (the create button waits for it)
  bool m_laufAktiv = false;       // a run is under way
  bool m_entladen = false;
  int m_selektionen = 0;
  int m_laeufe = 0;
  SepaLaufErgebnis m_letzterLauf;
  QString m_ordnerHinweis;        // the stored folder was missing
  QString m_statusText;
  SepaVorpruefung::AbsenderMangel m_absenderMangel;
  std::unique_ptr<Recordset> m_daten;   // Data1
  OrdnerWahl m_ordnerWahl;
  const SepaLaufStoerung* m_stoerung = nullptr;

  OptionsGruppe* m_zahlArt;
  std::array<DatumFeld*, 2> m_tdbDate1{};
  ZahlFeld* m_faellig2;
  ZahlFeld* m_kopien;
  KontrollGruppe* m_check1;
  QLineEdit* m_tdbText1;
  QString m_referenzGelesen;   // the reference as stored when shown: only a typed one is written back
  QLabel* m_aktuellesLaufwerk;
  QComboBox* m_dateiformat;
  SepaFormat m_formatVorher = SepaFormate::Vorgabe;   // the format chosen before the current change
  QLabel* m_formatAnzeige;
  std::array<QPushButton*, 3> m_command1{};
  DatenGitter* m_tdbGrid1;
  QLabel* m_status;
  QProgressBar* m_fortschritt;
  QPushButton* m_fehlerlisteKnopf;
  QPushButton* m_absenderKnopf;
  QPointer<SepaFehlerliste> m_fehlerliste;
};

// The main window opens the SEPA file window through this factory (modal, after the other windows
// were closed).
QDialog* FormularDTADiskErzeugen(QWidget* eltern);
