#pragma once

#include <QDialog>
#include <QFont>
#include <QString>

#include <array>
#include <memory>

#include "import/core/ImportEinstellungen.h"
#include "import/core/ImportErgebnis.h"
#include "import/core/ImportSelektion.h"
#include "payments/core/ZahlungsformularZustand.h"

class DatenGitter;
class DatumFeld;
class MaskenFeld;
class OptionsGruppe;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Recordset;
class ZweispaltenCombo;

// What the payment form hands to the import window: its font and the kind of payment it shows.
struct ImportAufruf {
  Zahlart zahlart = Zahlart::Ueberweisung;
  QFont schrift;
};

// "Import aus Tamo-Programmen": lists the open items of the sibling program linked for the active
// sender, narrowed by the options, and turns the marked (or all) items into payment orders. The
// window reads its controls into the requests of the core (ImportSelektion, ImportAusfuehren) and
// shows what comes back.
class ImportForm : public QDialog {
  Q_OBJECT
 public:
  // The check boxes of the window.
  enum class Kasten {
    KleinBetrag,            // "Kleinbe&träge auslassen"
    DiverseKonten,          // "&Ohne Diverse-Konten"
    NurmitKontoNr,          // "Nur mit Bank-Konto-Nr"
    OhneNegativSummen,      // "Ohne Negativ-Summen"
    OhneOPmehrals5Zeilen,   // "OP's aus mehr als 5 Einzelzeilen ausblenden"
    MaximalSkonto,          // "&Mit Maximal-Skonto"
    SkontoPositiv,          // "&Skonto nur positiv"
    Pruefung,               // "&Prüfung auf Doppel-Zahlung"
    LieferantenKundenNr,    // "K&unden-Nr einsetzen"
    FehlEingaben,           // "Fe&hl-Angaben abfragen"
    FehlerNichtSpeichern,   // "Bei Fehlern nicht speichern"
    FaelligEintragen,       // "Fälligkeit eintragen"
    Anzahl
  };

  explicit ImportForm(const ImportAufruf& aufruf, QWidget* eltern = nullptr);
  ~ImportForm() override;

  // First activation: the one-time set-up and the first selection; later calls do nothing.
  void Aktivieren();
  // The selection of the options, filter bar and ranges; refills the grid and clears the marks.
  void VorgaengeSelektieren();
  // "&Daten übernehmen": the run, the result box, and the window closes. False when nothing ran.
  bool DatenUebernehmen();
  void AllesMarkieren();
  void MarkierungAufheben();

  // State.
  bool Bereit() const { return m_bereit; }
  bool Lieferanten() const { return m_lieferanten; }
  bool NurMarkierte() const { return m_nurMarkierte; }
  int Selektionen() const { return m_selektionen; }
  const ImportSelektionsErgebnis& Auswahlergebnis() const { return m_selektion; }
  const ImportErgebnis& LetztesErgebnis() const { return m_ergebnis; }

  // Controls, named as the window's design names them.
  OptionsGruppe* Aktion() const { return m_aktion; }
  OptionsGruppe* Selektion() const { return m_selektionOption; }
  QCheckBox* Option(Kasten kasten) const { return m_kaesten.at(size_t(kasten)); }
  QCheckBox* LastschriftOption(int index) const { return m_lastschriftOption.at(size_t(index)); }
  ZweispaltenCombo* Textschluessel(int index) const { return m_textschluessel.at(size_t(index)); }  // TDBMask1(0), (1)
  MaskenFeld* KontoFeld(int index) const { return m_konto.at(size_t(index)); }                        // TDBMask1(2), (3)
  DatumFeld* TDBDate1(int index) const { return m_tdbDate1.at(size_t(index)); }
  QComboBox* Combo1(int index) const { return m_combo1.at(size_t(index)); }
  QLineEdit* TDBText1() const { return m_tdbText1; }
  QLineEdit* TDBText2() const { return m_tdbText2; }
  QPushButton* Command1(int index) const { return m_command1.at(size_t(index)); }
  DatenGitter* TDBGrid1() const { return m_grid; }

 protected:
  void showEvent(QShowEvent* ereignis) override;
  bool event(QEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 public Q_SLOTS:
  void done(int ergebnis) override;

 private:
  void Aufbauen();
  void SpaltenAnlegen();
  void Laden();
  void Entladen();
  void AktionGeklickt(int index);
  void SelektionGeklickt(int index);
  void SchaltflaechenAktualisieren();
  void MarkierknoepfeSetzen();
  void DatenfelderFuellen();
  ImportAuswahl Auswahl() const;
  ImportEinstellungen EinstellungenDesFensters() const;

  ImportAufruf m_aufruf;
  bool m_bereit = false;
  bool m_lieferanten = false;
  bool m_nurMarkierte = true;
  bool m_binden = false;          // a new selection is being bound: the cursor marks nothing
  bool m_entladen = false;
  bool m_laeuft = false;
  int m_selektionen = 0;
  Bedingung m_filter;             // the filter bar's condition
  QString m_fokusWert;            // text of a range field when it got the focus
  ImportSelektionsErgebnis m_selektion;
  ImportErgebnis m_ergebnis;

  OptionsGruppe* m_aktion;
  OptionsGruppe* m_selektionOption;
  std::array<QCheckBox*, size_t(Kasten::Anzahl)> m_kaesten{};
  std::array<QCheckBox*, 3> m_lastschriftOption{};
  std::array<ZweispaltenCombo*, 2> m_textschluessel{};
  std::array<MaskenFeld*, 2> m_konto{};
  std::array<DatumFeld*, 3> m_tdbDate1{};
  std::array<QComboBox*, 2> m_combo1{};
  QLineEdit* m_tdbText1;
  QLineEdit* m_tdbText2;
  std::array<QPushButton*, 4> m_command1{};
  DatenGitter* m_grid;
  QLabel* m_status;
};
