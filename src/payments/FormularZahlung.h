#pragma once

#include <QDate>
#include <QVariantList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "payments/core/Formulardarstellung.h"
#include "payments/core/Smartfill.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/ZahlungPruefung.h"
#include "payments/core/Zahlungsempfaenger.h"
#include "payments/core/Zahlungsbefehl.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"

class Datenbank;
class DatenGitter;
class DatensatzNavigator;
class DatumFeld;
class GitterDropDown;
class MaskenFeld;
class OptionsGruppe;
class QCheckBox;
class QLabel;
class QLineEdit;
class Recordset;
class StatusLeiste;
class TastenVorschau;
class Werkzeugleiste;
class ZahlFeld;
class ZweispaltenCombo;
struct GitterTaste;
struct Suchkriterium;

// The shell's factory hook for the payment form.
QWidget* FormularZahlungErzeugen(QWidget* eltern);

// FormularZahlung, "Zahlungen erfassen": browse, enter and change the open payments of the active
// sender, one kind at a time. The window reads its controls into the core's structs, calls the core
// and shows the result; the state lives in ZahlungsformularZustand.
class FormularZahlung : public QWidget {
  Q_OBJECT
 public:
  explicit FormularZahlung(QWidget* eltern = nullptr);
  ~FormularZahlung() override;

  // Search list seam: (mode 1/2/3, payment filter, positioning criterion, incremental search box,
  // values out) -> true when a row was chosen. Default: the modal SuchlisteF4.
  using SuchlistenAufruf = std::function<bool(int modus, const Bedingung& filter, const Suchkriterium& kriterium,
                                              bool suchfeld, QVariantList& werte)>;
  void SuchlisteSetzen(SuchlistenAufruf aufruf) { m_suchliste = std::move(aufruf); }
  // Due-date dialog seam: (current limit) -> new limit. Default: the modal FaelligAbfrage.
  using FaelligAufruf = std::function<std::optional<QDate>(const std::optional<QDate>& faelligBis)>;
  void FaelligAbfrageSetzen(FaelligAufruf aufruf) { m_faelligAufruf = std::move(aufruf); }

  // Toolbar1_ButtonClick by key; hidden and disabled buttons do nothing. False when nothing ran.
  bool Befehl(const QString& schluessel);
  bool BefehlAusfuehren(Zahlungsbefehl befehl);

  // State and views for the program and its tests.
  const ZahlungsformularZustand& ZustandDerMaske() const { return m_zustand; }
  const Formulardarstellung& Darstellung() const { return m_darstellung; }
  std::optional<qint64> AktuelleZahlungNr() const { return m_aktuelleNr; }
  int AnzahlZahlungen() const;
  ZahlungEingabe FelderLesen() const;
  void ZahlartWaehlen(Zahlart zahlart);
  void ZeilenanzeigeWaehlen(Zeilenanzeige modus);
  // Positions the browse list on a payment; false when it is not listed.
  bool ZahlungAnsteuern(qint64 zahlungNr);
  // The open-item account of the payee (hidden text box OPKontoNr).
  QString OPKontoNr() const;

  Werkzeugleiste* Leiste() const { return m_leiste; }
  MaskenFeld* Maske(int index) const { return m_maske.at(size_t(index)); }
  ZweispaltenCombo* TextschluesselFeld() const { return m_textschluessel; }
  DatumFeld* FaelligFeld() const { return m_faellig; }
  DatumFeld* MandatDatumFeld() const { return m_mandatDatum; }
  ZahlFeld* BetragFeld() const { return m_betrag; }
  ZahlFeld* GesamtFeld() const { return m_gesamt; }
  ZahlFeld* EinzelsummeFeld() const { return m_einzelsumme; }
  QLabel* GesamtBeschriftung() const { return m_gesamtBeschriftung; }
  OptionsGruppe* ZahlArt() const { return m_zahlArt; }
  OptionsGruppe* AnzeigeOptionen() const { return m_anzeige; }
  OptionsGruppe* SequenzOptionen() const { return m_sequenz; }
  QCheckBox* TabFolge(int index) const { return m_tabFolge.at(size_t(index)); }
  DatenGitter* Zeilengitter() const { return m_zeilengitter; }
  DatenGitter* Browsegitter() const { return m_browse; }
  GitterDropDown* OPListe() const { return m_opListe; }
  DatensatzNavigator* Navigator() const { return m_navigator; }
  StatusLeiste* Statuszeile() const { return m_status; }
  QWidget* Rahmen(int index) const { return m_rahmen.at(size_t(index)); }
  QWidget* Fokusziel(Fokusfeld feld) const;

 Q_SIGNALS:
  // Ctrl/Alt+F2: the main window shows its calculator.
  void RechnerAngefordert();

 protected:
  void showEvent(QShowEvent* ereignis) override;
  void closeEvent(QCloseEvent* ereignis) override;
  void resizeEvent(QResizeEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  // Set-up.
  void Aufbauen();
  void TastenEinrichten();
  void ZeilengitterEinrichten();
  void BrowsegitterEinrichten();
  void Laden();
  void Aktivieren();

  // Browse query, display, reposition.
  DbFehler ZahlungenLaden();
  void DarstellungAnwenden();
  void EingabeModusAnzeigen();
  void GesamtsummeAnzeigen();
  void Reposition();
  void FelderFuellen(const ZahlungEingabe& e);
  void FelderLeeren();
  void FelderFaerben();
  void MandatDatumFaerben(bool gueltig);
  void TextschluesselFuellen();
  void ZeilenLaden();
  void ZeilenSummierenAnzeigen();
  void NachZeilenaenderung();
  void OPListeLaden();
  void OPSpaltenbreitenMerken();
  void OPSpaltenbreitenAnwenden();
  void ZeilenanzeigeAnwenden();
  void BetragsfelderAnordnen();

  // Commands.
  void Schliessen();
  void Abbrechen();
  void Neu();
  bool Speichern();
  std::optional<Waehrung> GespeicherterBetrag();
  void NeueZahlung();
  void Aendern();
  void Loeschen();
  void SuchmodusUmschalten();
  void Kopieren();
  void FaelligkeitAbfragen();
  void ZahlartGeklickt(int index);

  // Payee fields.
  bool MaskeTaste(int index, QKeyEvent* taste);
  void MaskeBetreten(int index);
  void MaskeVerlassen(int index);
  void SuchlisteOeffnen(int index, bool suchfeld);
  void UebernahmeAnwenden(const Empfaengeruebernahme& u);
  bool SmartfillAnwendbar(int index) const;

  // Line grid.
  void ZeileVorSpalte(int spalte, const QVariant& alt, QVariant& wert, bool& abbrechen);
  void ZeileVorSpeichern(bool& abbrechen);
  void ZeilengitterTaste(GitterTaste& taste);
  bool ZeilenEditorPfeil(int spalte, bool hoch);
  bool ZeilenEditorUebernehmen();
  void AusgewaehlteZeilenLoeschen();
  QLineEdit* ZeilenEditor() const;
  QString ZeilengitterStatustext() const;
  void ZeilengitterStatusAktualisieren();
  void BrowseTasteRunter(GitterTaste& taste);
  void BrowseTasteHoch(GitterTaste& taste);

  bool GitterSichtbar() const;
  void StatusSetzen(const QString& text);
  void DbFehlerMelden(const QString& titel, const DbFehler& fehler);

  Datenbank* m_db = nullptr;
  ZahlungsformularZustand m_zustand;
  Formulardarstellung m_darstellung;
  std::unique_ptr<Recordset> m_zahlungen;
  std::unique_ptr<Recordset> m_zeilen;
  std::unique_ptr<Recordset> m_opPosten;
  std::optional<qint64> m_aktuelleNr;
  std::optional<ZeilenKopie> m_zeilenKopie;
  Smartfill m_smartfill;
  QStringList m_transportfelder;
  int m_zeilenBreite = 27;
  Waehrung m_summe;  // the total shown
  bool m_speichernPerEnter = false;
  bool m_inReposition = false;
  bool m_suchmodusGeschaltet = false;
  // Open-item list: column shares (SpaltenProzenteOP) and its designed width at the window width
  // of the set-up, so that the list grows and shrinks with the window.
  std::vector<float> m_spaltenProzenteOP;
  int m_opGrundbreite = 0;
  int m_opBezugsbreite = 0;

  Werkzeugleiste* m_leiste = nullptr;
  StatusLeiste* m_status = nullptr;
  TastenVorschau* m_tasten = nullptr;
  std::array<QWidget*, 2> m_rahmen{};
  OptionsGruppe* m_zahlArt = nullptr;
  OptionsGruppe* m_anzeige = nullptr;
  OptionsGruppe* m_sequenz = nullptr;
  std::array<MaskenFeld*, 6> m_maske{};
  ZweispaltenCombo* m_textschluessel = nullptr;
  DatumFeld* m_faellig = nullptr;
  DatumFeld* m_mandatDatum = nullptr;
  ZahlFeld* m_betrag = nullptr;
  ZahlFeld* m_gesamt = nullptr;
  ZahlFeld* m_einzelsumme = nullptr;
  QLabel* m_gesamtBeschriftung = nullptr;
  QLabel* m_einzelBeschriftung = nullptr;
  QLabel* m_textBeschriftung = nullptr;
  QLabel* m_betragBeschriftung = nullptr;
  QLineEdit* m_opKontoNr = nullptr;
  std::array<QCheckBox*, 4> m_tabFolge{};
  DatenGitter* m_zeilengitter = nullptr;
  GitterDropDown* m_opListe = nullptr;
  DatenGitter* m_browse = nullptr;
  DatensatzNavigator* m_navigator = nullptr;

  SuchlistenAufruf m_suchliste;
  FaelligAufruf m_faelligAufruf;
};
