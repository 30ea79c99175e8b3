#pragma once

#include "platform/ui/Aufklappbar.h"

#include <QDate>
#include <QFont>
#include <QLineEdit>
#include <QSize>

#include <optional>

class QCalendarWidget;
class QFrame;

// Date entry "dd.MM.yyyy" with a mask, an empty state, limits and a drop-down calendar. Keypad plus
// and minus move a filled date by one day and are consumed; F4 and Alt+Down open the calendar.
class DatumFeld : public QLineEdit, public Aufklappbar {
  Q_OBJECT
 public:
  explicit DatumFeld(QWidget* eltern = nullptr);
  ~DatumFeld() override;

  // The date when the text is a complete valid date within the limits, else std::nullopt.
  std::optional<QDate> Wert() const;
  // From code; std::nullopt empties the field. A date outside the limits empties it as well.
  void WertSetzen(const std::optional<QDate>& datum);
  bool IstLeer() const;
  void Leeren() { WertSetzen(std::nullopt); }

  void MinimumSetzen(const std::optional<QDate>& datum) { m_minimum = datum; }
  void MaximumSetzen(const std::optional<QDate>& datum) { m_maximum = datum; }
  std::optional<QDate> Minimum() const { return m_minimum; }
  std::optional<QDate> Maximum() const { return m_maximum; }
  bool ImBereich(const QDate& datum) const;

  // Up/down keys change the date by a day (off: they pass on to the window).
  void PfeiltastenSetzen(bool an) { m_pfeiltasten = an; }

  // Drop-down calendar: size (invalid = its own) and font.
  void KalenderGroesseSetzen(const QSize& groesse) { m_kalenderGroesse = groesse; }
  void KalenderSchriftSetzen(const QFont& schrift);
  QSize KalenderGroesse() const { return m_kalenderGroesse; }
  QCalendarWidget* Kalender() const { return m_kalender; }

  // Never narrower than a whole date with the calendar button.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

  void AufklappenOeffnen() override;
  void AufklappenSchliessen() override;
  bool IstAufgeklappt() const override;

  // Takes over what was typed: an incomplete, invalid or out-of-range text goes back to the last
  // accepted value, or stays as typed while UngueltigeEingabeBehalten is set. Runs when the field
  // loses the focus.
  void Uebernehmen();
  // For a field whose window must refuse to go on with a wrong date rather than quietly use the
  // previous one: Wert() then stays empty while IstLeer() is false.
  void UngueltigeEingabeBehaltenSetzen(bool an) { m_ungueltigBehalten = an; }

  static QString Text(const QDate& datum) { return datum.toString(QStringLiteral("dd.MM.yyyy")); }
  // Reads "dd.MM.yyyy" (a two-digit year counts as 20yy).
  static std::optional<QDate> Lesen(const QString& text);

 Q_SIGNALS:
  // The user changed the date: typing, keypad +/-, the calendar. Not raised by WertSetzen.
  void Getippt();
  // The calendar was closed (picked or cancelled).
  void KalenderGeschlossen();

 protected:
  void keyPressEvent(QKeyEvent* ereignis) override;
  void focusOutEvent(QFocusEvent* ereignis) override;
  void mouseDoubleClickEvent(QMouseEvent* ereignis) override;
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void KalenderAnlegen();
  void KalenderGewaehlt(const QDate& datum);
  void TextSetzen(const std::optional<QDate>& datum);

  std::optional<QDate> m_minimum;
  std::optional<QDate> m_maximum;
  std::optional<QDate> m_letzter;   // last accepted value
  QSize m_kalenderGroesse;
  QFont m_kalenderSchrift;
  bool m_kalenderSchriftGesetzt = false;
  bool m_pfeiltasten = false;
  bool m_ungueltigBehalten = false;
  QFrame* m_popup = nullptr;
  QCalendarWidget* m_kalender = nullptr;
};
