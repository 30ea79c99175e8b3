#pragma once

#include "platform/db/Waehrung.h"

#include <QAbstractSpinBox>
#include <QColor>

#include <optional>
#include <utility>

// How a number field shows its value.
struct ZahlFormat {
  int nachkommastellen = 2;
  bool tausenderpunkte = true;
  QString nachsatz;                 // text behind the number, e.g. " Tage"
  std::optional<QString> nullText;  // shown instead of a zero ("" = blank zero, "Kein Ausdruck")
  QString leerText;                 // shown while the field is empty
  QString nachsatzEins = {};        // behind the number 1 when it differs (" Kopie" beside " Kopien")

  // Plain edit form: no thousands marks, no texts.
  static ZahlFormat Eingabe(int nachkommastellen) { return ZahlFormat{nachkommastellen, false, {}, {}, {}}; }
  // A total: two decimals with thousands marks, "###" while it cannot be formed (see ZahlFeld::SummeSetzen).
  static ZahlFormat Summe() { return ZahlFormat{2, true, {}, {}, QStringLiteral("###")}; }
};

// Number entry: an amount (Waehrung) or a whole number, or empty. Shows the display format while it
// has no focus and the edit format while the user types; the range is enforced when the value is
// taken over (leaving the field, Enter, Wert()). A value whose display text does not fit the field's
// width shows as "###" with the whole value in the tooltip, never with digits cut away.
class ZahlFeld : public QAbstractSpinBox {
  Q_OBJECT
 public:
  explicit ZahlFeld(QWidget* eltern = nullptr);

  // Whole numbers: no decimals in either format.
  void GanzzahlSetzen(bool ganzzahl);
  bool IstGanzzahl() const { return m_ganzzahl; }

  std::optional<Waehrung> Wert() const;
  void WertSetzen(const std::optional<Waehrung>& wert);
  // A total in the format ZahlFormat::Summe(): `summe`, with `tipp` as the tooltip; nullopt (it cannot be
  // formed or read) shows "###" with `grund` (lines joined by CR) in the tooltip, behind "`tipp`: ".
  void SummeSetzen(const std::optional<Waehrung>& summe, const QString& grund, const QString& tipp = {});
  std::optional<qint64> Ganzzahl() const;
  void GanzzahlWertSetzen(const std::optional<qint64>& wert);
  bool IstLeer() const { return !Wert().has_value(); }
  void Leeren() { WertSetzen(std::nullopt); }

  // May the field be empty? When not, an emptied field takes 0 (or the minimum above 0).
  void LeerErlaubtSetzen(bool erlaubt);
  bool LeerErlaubt() const { return m_leerErlaubt; }

  void MinimumSetzen(const std::optional<Waehrung>& minimum);
  void MaximumSetzen(const std::optional<Waehrung>& maximum);
  void BereichSetzen(qint64 minimum, qint64 maximum);  // whole numbers
  std::optional<Waehrung> Minimum() const { return m_minimum; }
  std::optional<Waehrung> Maximum() const { return m_maximum; }

  // The field is at least as wide as this value shown with either sign (a total field: the largest
  // total it must show whole), beside the range's ends.
  void BreitenprobeSetzen(const Waehrung& probe);
  // The probe of a total field: the total of 100,000 payments of the largest amount (99.999.999.999.000,00).
  static Waehrung SummenBreitenprobe() { return Waehrung::AusRoh(Waehrung::Hoechstbetrag * 100000); }

  void AnzeigeFormatSetzen(const ZahlFormat& format);
  void EingabeFormatSetzen(const ZahlFormat& format);
  const ZahlFormat& AnzeigeFormat() const { return m_anzeige; }

  // Text colour of the value (none = the system's window-text colour); kept across value changes.
  void TextFarbeSetzen(const QColor& farbe);
  QColor TextFarbe() const { return m_textFarbe; }
  // Second colour for negative values (none = the normal text colour).
  void NegativFarbeSetzen(const QColor& farbe);
  QColor NegativFarbe() const { return m_negativFarbe; }
  // Validity colours: invalid = white on red, negatives then in yellow.
  void GueltigkeitAnzeigen(bool gueltig);
  bool UngueltigAngezeigt() const { return m_ungueltig; }

  // Spin arrows; with them the up/down keys and the wheel change the value by Schritt, without
  // them those keys pass on to the window.
  void PfeileSetzen(bool pfeile);
  // Only the up/down keys and the wheel (no visible arrows).
  void PfeiltastenSetzen(bool an) { m_pfeiltasten = an; }
  void SchrittSetzen(Waehrung schritt) { m_schritt = schritt; }

  // The text the field shows for a value in the display format.
  QString AnzeigeText(const std::optional<Waehrung>& wert) const;
  // Takes over what was typed (range applied); done on leaving and Enter as well. A text that reads as
  // no number ("12.50", "-") leaves the value as it was, and the field says so beside it.
  void Uebernehmen();
  // Whether what is being typed reads as a number (or is empty).
  bool EingabeLesbar() const;
  // Before a save: takes over what was typed; a text that reads as no number gives the German message,
  // stays in the field and keeps the focus (a save would otherwise store the value from before).
  bool EingabePruefen();
  // "„12.50“ ist kein gültiger Betrag. ..." for the text being typed.
  QString Fehlertext() const;

  // Shown as "###" because the value's display text does not fit the field's width (the tooltip holds it).
  bool Gekuerzt() const { return m_gekuerzt; }

  // Wide enough for the largest value of the range (or a seven-digit amount) in the display format.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

  void stepBy(int schritte) override;
  QValidator::State validate(QString& eingabe, int& position) const override;
  void fixup(QString& eingabe) const override;
  void clear() override { Leeren(); }

  // The last refusal of a typed or pasted character ("„a“ gehört nicht in einen Betrag ..."), shown beside
  // the field: nothing typed vanishes without a word. Empty while nothing was refused.
  QString LetzterHinweis() const { return m_hinweis; }

 Q_SIGNALS:
  // Any change of the value, from typing (when taken over) or from code.
  void WertGeaendert();
  // A typed or pasted text was refused; the field shows the hint, windows may show it in their status.
  void EingabeAbgelehnt(const QString& hinweis);

 protected:
  bool event(QEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;
  StepEnabled stepEnabled() const override;
  void focusInEvent(QFocusEvent* ereignis) override;
  void focusOutEvent(QFocusEvent* ereignis) override;
  void keyPressEvent(QKeyEvent* ereignis) override;
  void wheelEvent(QWheelEvent* ereignis) override;

 private:
  std::optional<Waehrung> Deuten(const QString& text) const;
  std::optional<Waehrung> Begrenzt(std::optional<Waehrung> wert) const;
  QString EingabeText(const std::optional<Waehrung>& wert) const;
  std::optional<Waehrung> m_breitenprobe;
  // The edit text while typing; otherwise the display text, or "###" with the value in the tooltip where
  // the field is too narrow for it.
  void TextAktualisieren();
  bool PasstInsFeld(const QString& text) const;
  void FarbenAktualisieren();
  void Zuweisen(const std::optional<Waehrung>& wert);

  std::optional<Waehrung> m_wert;
  std::optional<Waehrung> m_minimum;
  std::optional<Waehrung> m_maximum;
  ZahlFormat m_anzeige;
  ZahlFormat m_eingabe = ZahlFormat::Eingabe(2);
  bool m_ganzzahl = false;
  bool m_leerErlaubt = true;
  bool m_bearbeiten = false;
  bool m_textBehalten = false;  // focus to another window: an unreadable text stays
  bool m_ungueltig = false;
  bool m_pfeiltasten = false;
  QColor m_textFarbe;
  QColor m_negativFarbe;
  std::pair<QColor, QColor> m_gesetzteFarben;   // base and text colour last set (invalid: the style's)
  Waehrung m_schritt = Waehrung::AusEuro(1);
  QString m_hinweis;
  bool m_gekuerzt = false;
  QString m_tipp;              // the tooltip the window gave the field
  bool m_tippSetzen = false;   // the field sets its own tooltip (the whole value)
};
