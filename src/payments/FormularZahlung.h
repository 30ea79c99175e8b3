#pragma once

#include <QDate>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

#include "payments/ZahlungsformularDienste.h"
#include "payments/core/Formulardarstellung.h"
#include "payments/core/OffeneZahlung.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/Speicherpruefung.h"
#include "payments/core/Zahlungsbefehl.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/SqlText.h"

class DatenGitter;
class DatensatzNavigator;
class DatumFeld;
class GitterDropDown;
class MaskenFeld;
class OptionsGruppe;
class QCheckBox;
class QLabel;
class SkontoForm;
class StatusLeiste;
class TastenVorschau;
class Werkzeugleiste;
class ZahlFeld;
class ZahlungBrowse;
class ZahlungKopffelder;
class ZahlungMandatgruppe;
class ZahlungZeilenbereich;
class ZweispaltenCombo;
struct Suchkriterium;

// The shell's factory hook for the payment form.
QWidget* FormularZahlungErzeugen(QWidget* eltern);

// FormularZahlung, "Zahlungen erfassen": browse, enter and change the open payments of the active
// sender, one kind at a time. The window is made of four parts (payee fields, mandate group, line
// area, browse grid) that it sets up and ties together; it reads them into the core's structs,
// calls the core and shows the result. The state lives in ZahlungsformularZustand.
class FormularZahlung : public QWidget, public ZahlungsformularDienste {
  Q_OBJECT
 public:
  explicit FormularZahlung(QWidget* eltern = nullptr);
  ~FormularZahlung() override;

  // Search list seam: (mode 1/2/3, payment filter, positioning criterion, incremental search box,
  // values out) -> true when a row was chosen. The shell sets the modal SuchlisteF4; without a search
  // list nothing is chosen.
  using SuchlistenAufruf = std::function<bool(int modus, const Bedingung& filter, const Suchkriterium& kriterium,
                                              bool suchfeld, QVariantList& werte)>;
  void SuchlisteSetzen(SuchlistenAufruf aufruf) { m_suchliste = std::move(aufruf); }
  // Due-date dialog seam: (current limit) -> new limit. Default: the modal FaelligAbfrage.
  using FaelligAufruf = std::function<std::optional<QDate>(const std::optional<QDate>& faelligBis)>;
  void FaelligAbfrageSetzen(FaelligAufruf aufruf) { m_faelligAufruf = std::move(aufruf); }
  // Open-item import seam: (kind shown, the form's font). The shell sets the modal ImportForm; without it
  // "Import" only reloads the payments.
  using ImportAufrufFunktion = std::function<void(Zahlart zahlart, const QFont& schrift)>;
  void ImportAufrufSetzen(ImportAufrufFunktion aufruf) { m_importAufruf = std::move(aufruf); }
  // Cash-discount dialog seam: gets the prepared, shown dialog and ends it. Default: exec.
  using SkontoAufruf = std::function<void(SkontoForm& dialog)>;
  void SkontoAufrufSetzen(SkontoAufruf aufruf) { m_skontoAufruf = std::move(aufruf); }
  // The cash-discount dialog while it is open.
  SkontoForm* Skontodialog() const;

  // Toolbar1_ButtonClick by key; hidden and disabled buttons do nothing. False when nothing ran.
  bool Befehl(const QString& schluessel);
  bool BefehlAusfuehren(Zahlungsbefehl befehl) override;

  // State and views for the program and its tests.
  const ZahlungsformularZustand& ZustandDerMaske() const { return m_zustand; }
  const Formulardarstellung& Darstellung() const { return m_darstellung; }
  std::optional<qint64> AktuelleZahlungNr() const override { return m_aktuelleNr; }
  int AnzahlZahlungen() const;
  ZahlungEingabe FelderLesen() const;
  void ZahlartWaehlen(Zahlart zahlart);
  void ZeilenanzeigeWaehlen(Zeilenanzeige modus);
  // Positions the browse list on a payment; false when it is not listed.
  bool ZahlungAnsteuern(qint64 zahlungNr);
  // The open-item account of the payee (hidden text box OPKontoNr).
  QString OPKontoNr() const;

  Werkzeugleiste* Leiste() const { return m_leiste; }
  MaskenFeld* Maske(int index) const;
  ZweispaltenCombo* TextschluesselFeld() const;
  DatumFeld* FaelligFeld() const;
  DatumFeld* MandatDatumFeld() const;
  ZahlFeld* BetragFeld() const;
  ZahlFeld* GesamtFeld() const;
  ZahlFeld* EinzelsummeFeld() const;
  QLabel* GesamtBeschriftung() const;
  OptionsGruppe* ZahlArt() const { return m_zahlArt; }
  OptionsGruppe* AnzeigeOptionen() const { return m_anzeige; }
  OptionsGruppe* SequenzOptionen() const;
  QCheckBox* TabFolge(int index) const;
  DatenGitter* Zeilengitter() const;
  DatenGitter* Browsegitter() const;
  GitterDropDown* OPListe() const;
  DatensatzNavigator* Navigator() const;
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

  // ZahlungsformularDienste
  Datenbank* Db() const override { return m_db; }
  ZahlungsformularZustand& FormZustand() override { return m_zustand; }
  Zeilenstand& GezeigteZeilen() override { return m_gezeigteZeilen; }
  void ZeilenInzwischenGeaendert(const DbFehler& fehler) override;
  void StatusSetzen(const QString& text) override;
  void DbFehlerMelden(const QString& titel, const DbFehler& fehler) override;
  bool SuchlisteZeigen(int modus, const Bedingung& filter, const Suchkriterium& kriterium, bool suchfeld,
                       QVariantList& werte) override;

 private:
  // Set-up.
  void Aufbauen();
  void TastenEinrichten();
  void Laden();
  void Aktivieren();

  // Browse query, display, reposition.
  DbFehler ZahlungenLaden();
  void DarstellungAnwenden();
  void EingabeModusAnzeigen();
  void GesamtsummeAnzeigen();
  void Reposition();
  void GespeichertAnzeigen();
  void GezeigteZeilenLesen();
  void InzwischenGeaendertMelden(const DbFehler& fehler);
  void FelderFuellen(const ZahlungEingabe& e);
  void FelderLeeren();
  void FelderFaerben();
  void ZeilenLaden();
  void OPListeLaden();
  void ZeilenanzeigeAnwenden();
  void BetragsfelderAnordnen();
  // The line display chosen in its option group (none chosen reads as the lines with open items).
  Zeilenanzeige GewaehlteZeilenanzeige() const;
  bool GitterSichtbar() const;

  // Commands (FormularZahlungBefehle.cpp).
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
  void ImportStarten();
  void ZahlartGeklickt(int index);
  // "Skonto" (FormularZahlungSkonto.cpp).
  void SkontoBearbeiten();
  // Closes a dialog the form has open; false when it refuses.
  bool DialogeSchliessen();
  // "Prüfen" (FormularZahlungPruefen.cpp): check mode on (with the check) or off.
  void Pruefen();
  // In check mode the status line names why the current payment is faulty; else the grid's own text.
  void PruefgrundAnzeigen();

  Datenbank* m_db = nullptr;
  ZahlungsformularZustand m_zustand;
  Formulardarstellung m_darstellung;
  std::optional<qint64> m_aktuelleNr;
  std::optional<ZeilenKopie> m_zeilenKopie;
  std::optional<Zahlungsstand> m_geladen;  // the shown payment as read; a save refuses once the stored row differs
  Zeilenstand m_gezeigteZeilen;            // its lines and total as shown or last written here (see GezeigteZeilen)
  bool m_inReposition = false;
  bool m_suchmodusGeschaltet = false;

  Werkzeugleiste* m_leiste = nullptr;
  StatusLeiste* m_status = nullptr;
  TastenVorschau* m_tasten = nullptr;
  std::array<QWidget*, 2> m_rahmen{};
  OptionsGruppe* m_zahlArt = nullptr;
  OptionsGruppe* m_anzeige = nullptr;
  ZahlungKopffelder* m_kopf = nullptr;
  ZahlungMandatgruppe* m_mandat = nullptr;
  ZahlungZeilenbereich* m_zeilen = nullptr;
  ZahlungBrowse* m_browse = nullptr;

  SuchlistenAufruf m_suchliste;
  FaelligAufruf m_faelligAufruf;
  ImportAufrufFunktion m_importAufruf;
  SkontoAufruf m_skontoAufruf;
  QPointer<SkontoForm> m_skonto;
  QHash<qint64, QStringList> m_pruefgruende;  // reasons of the last check, by payment
  QString m_browseHinweis;                      // the browse grid's own status tip
};
