#pragma once

#include "platform/ui/Aufklappbar.h"

#include <QDate>
#include <QFont>
#include <QLineEdit>
#include <QSize>

#include <optional>

class QCalendarWidget;
class QFrame;

// The message for a typed text that is no date (date fields and the grids' date cells).
QString DatumFehlertext(const QString& eingabe);

// Date entry "dd.MM.yyyy" with a mask, an empty state, limits and a drop-down calendar. Keypad plus
// and minus move a filled date by one day and are consumed; F4 and Alt+Down open the calendar.
// It reads what DatumAusEingabe reads; a wrong date is never dropped without a word.
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

  // Takes over what was typed: a date in any form the program reads ("15012026", "15.1.26") is
  // shown as dd.MM.yyyy, an emptied field stays empty. A text that is no date, or a date outside
  // the limits, stays for the user to correct: false.
  bool Uebernehmen();
  // Uebernehmen; for a text that is no date also the German message, and the focus goes back to
  // the field. Runs when the field is left (Tab, Enter, a click elsewhere); windows call it before
  // they store the field's value, so that a wrong date is never stored as "no date".
  bool EingabePruefen();
  // Whether leaving the field checks it (off where leaving means cancelling, as in a dialog whose
  // OK needs a valid date anyway).
  void PruefenBeimVerlassenSetzen(bool an) { m_pruefenBeimVerlassen = an; }
  // The message for a text that is no date or lies outside the limits.
  QString Fehlertext() const;

  static QString Text(const QDate& datum) { return datum.toString(QStringLiteral("dd.MM.yyyy")); }

 Q_SIGNALS:
  // The user changed the date: typing, keypad +/-, the calendar. Not raised by WertSetzen.
  void Getippt();
  // The calendar was closed (picked or cancelled).
  void KalenderGeschlossen();

 protected:
  void keyPressEvent(QKeyEvent* ereignis) override;
  void focusOutEvent(QFocusEvent* ereignis) override;
  void mousePressEvent(QMouseEvent* ereignis) override;
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
  bool m_pruefenBeimVerlassen = true;
  QFrame* m_popup = nullptr;
  QCalendarWidget* m_kalender = nullptr;
};
