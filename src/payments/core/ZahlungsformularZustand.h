#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <functional>
#include <optional>

#include "payments/core/OPUebernahme.h"
#include "payments/core/Speicherfeld.h"
#include "payments/core/Zeilenanzeige.h"
#include "platform/db/SqlText.h"

// The kind selector ZahlArt(0..2).
enum class Zahlart { Ueberweisung = 0, BasisLastschrift = 1, FirmenLastschrift = 2 };

// The form's modes as the record navigator names them.
enum class Formularmodus { Blaettern, Neueingabe, Aendern };

// Copies of settings the form takes when it loads (registry section "Formular State" and the
// settings table Einstellungen), with their defaults.
struct ZahlungsformularEinstellungen {
  // registry "Formular State"
  bool neueingabeFortsetzen = true;        // "NeueingabeFortsetzen"
  Speicherfeld speicherfeld = Speicherfeld::Keines;  // "Speicherfeld"
  Zeilenvorlagen vorlagen;                 // "AutoVerwendungszweck"
  bool optischeFehlerKontrolle = true;     // "OptischeFehlerKontrolle"
  bool aufAbPfeilVerwenden = true;         // "AufAbPfeilVerwenden"
  // table Einstellungen
  Zahlart zahlart = Zahlart::Ueberweisung; // "AktuelleZahlungsart:" + "AktuelleLastschrifttart"
  std::array<bool, 4> tabFolge{};          // "TabfolgeEinAus0".."TabfolgeEinAus3"
  Zeilenanzeige zeilenanzeige = Zeilenanzeige::MitOP;  // "AnzeigeVerwendungszweckzeilen"

  ZahlungsformularEinstellungen() : vorlagen(ZeilenvorlagenAusText(ZeilenvorlagenVorgabe())) {}
};

// The registry section of the payment form: "Formular State".
const QString& ZahlungsformularAbschnitt();

// Reads a setting: (key, default) -> stored text or the default.
using EinstellungsLeser = std::function<QString(const QString& schluessel, const QString& vorgabe)>;
// Writes a setting: (key, value).
using EinstellungsSchreiber = std::function<void(const QString& schluessel, const QString& wert)>;

// Loads the settings: `registry` reads section "Formular State", `tabelle` the table Einstellungen.
// The stored kind is upper-cased once ("g" opens credit transfers); a kind other than G or L gives G.
ZahlungsformularEinstellungen ZahlungsformularEinstellungenLesen(const EinstellungsLeser& registry,
                                                                 const EinstellungsLeser& tabelle);
// Stores what the form writes when it closes (table Einstellungen only): kind, debit kind,
// skip boxes, line display.
void ZahlungsformularEinstellungenSpeichern(const ZahlungsformularEinstellungen& e, const EinstellungsSchreiber& tabelle);

// The form-level state of the payment form: modes, kind, filters and flags. No widgets.
class ZahlungsformularZustand {
 public:
  explicit ZahlungsformularZustand(ZahlungsformularEinstellungen einstellungen = {});

  const ZahlungsformularEinstellungen& Einstellungen() const { return m_einstellungen; }
  ZahlungsformularEinstellungen& Einstellungen() { return m_einstellungen; }

  // Kind shown: "G" exactly when credit transfers are selected, "L" for both debit options.
  Zahlart AktuelleZahlart() const { return m_einstellungen.zahlart; }
  QString AktuelleArt() const;
  bool IstLastschrift() const { return AktuelleZahlart() != Zahlart::Ueberweisung; }
  // ZahlArt_Click: sets the kind, leaves the check mode and clears nothing else.
  void ZahlartSetzen(Zahlart zahlart);

  // Mandate-sequence values of the four options (1..4 core, 11..14 B2B); nullopt for credit transfers.
  std::optional<int> SequenzBasis() const;
  // Stored MandatSequenz -> option index 0..3, -1 when it matches none of the shown kind.
  int SequenzIndex(int mandatSequenz) const;
  // Option index -> stored value; nullopt for credit transfers or an index outside 0..3.
  std::optional<int> SequenzWert(int index) const;

  // Modes.
  Formularmodus Modus() const;
  bool EingabeModus() const { return m_eingabeModus; }
  bool NeuerDatensatz() const { return m_neuerDatensatz; }
  // "Neu" stored its row: entry on a new payment; remembers the payment current before (or none).
  void NeueingabeBeginnen(std::optional<qint64> gemerktePosition);
  // "Ändern".
  void AendernBeginnen(std::optional<qint64> gemerktePosition);
  // Save succeeded or cancel: back to browsing.
  void EingabeBeenden();
  const std::optional<qint64>& GemerktePosition() const { return m_gemerktePosition; }

  // Lines were written since entry began; cleared only after a successful save or a cancel.
  bool ZeilenGeaendert() const { return m_zeilenGeaendert; }
  void ZeilenGeaendertSetzen(bool wert) { m_zeilenGeaendert = wert; }

  bool FormularGeladen() const { return m_formularGeladen; }
  void FormularGeladenSetzen() { m_formularGeladen = true; }
  bool AnzeigeBereit() const { return m_anzeigeBereit; }
  void AnzeigeBereitSetzen(bool wert) { m_anzeigeBereit = wert; }

  // Filter bar condition (emptied when search mode is switched).
  const Bedingung& Suchfilter() const { return m_suchfilter; }
  void SuchfilterSetzen(Bedingung b) { m_suchfilter = std::move(b); }
  bool Suchmodus() const { return m_suchmodus; }
  // SuchmodusUmschalten: empties the filter and toggles the filter bar; returns the new state.
  bool SuchmodusUmschalten();

  bool NurFehlerhafte() const { return m_nurFehlerhafte; }
  void NurFehlerhafteSetzen(bool wert) { m_nurFehlerhafte = wert; }

  // Due-date limit (F6); nullopt = no limit.
  const std::optional<QDate>& FaelligBis() const { return m_faelligBis; }
  void FaelligBisSetzen(std::optional<QDate> d) { m_faelligBis = d; }

  // "<>" with OPSelektionMitMinus, else ">".
  static QString OPVergleich(bool opSelektionMitMinus) {
    return opSelektionMitMinus ? QStringLiteral("<>") : QStringLiteral(">");
  }

 private:
  ZahlungsformularEinstellungen m_einstellungen;
  bool m_formularGeladen = false;
  bool m_anzeigeBereit = false;
  bool m_eingabeModus = false;
  bool m_neuerDatensatz = false;
  bool m_zeilenGeaendert = false;
  bool m_suchmodus = false;
  bool m_nurFehlerhafte = false;
  Bedingung m_suchfilter;
  std::optional<QDate> m_faelligBis;
  std::optional<qint64> m_gemerktePosition;
};
