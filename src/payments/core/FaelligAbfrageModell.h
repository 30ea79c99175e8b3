#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The protocol of the due-date dialog FälligAbfrage without its widgets: Daten, the user's work,
// then suchok. The dialog keeps its calendar and date field in step through this model.
class FaelligAbfrageModell {
 public:
  // Daten: the proposed date (the caller's limit, or today when it has none).
  void Daten(const QDate& vorschlagsdatum);
  const QDate& Vorschlagsdatum() const { return m_vorschlag; }

  // The date field's content; an empty or invalid text gives no date.
  void DatumstextSetzen(const QString& text);
  void DatumSetzen(const std::optional<QDate>& datum);  // calendar or field picked a date
  const std::optional<QDate>& Datum() const { return m_datum; }

  // "OK" is enabled only while the field holds a valid date.
  bool OkMoeglich() const { return m_datum.has_value() && m_datum->isValid(); }
  // "OK": true when it was accepted (a valid date is present).
  bool Ok();
  // "Abbruch", Esc and the close box.
  void Abbruch() { m_bestaetigt = false; m_beendet = true; }
  bool Beendet() const { return m_beendet; }

  // suchok: the chosen date after "OK", nullopt after "Abbruch" or closing (limit removed).
  std::optional<QDate> SuchOk() const;

  // Months by which the calendar view moves so that the proposed month is not at its edge:
  // -1 when it is in the first shown month, +1 in the last, else 0.
  static int KalenderVerschiebung(const QDate& vorschlag, const QDate& ersterGezeigt, const QDate& letzterGezeigt);

  // The caller's limit after the dialog: the returned date, or Null.
  static std::optional<QDate> NeueGrenze(const std::optional<QDate>& suchokErgebnis) { return suchokErgebnis; }
  // Proposed date for the caller: its limit, or today when it has none.
  static QDate VorschlagFuer(const std::optional<QDate>& faelligBis, const QDate& heute) {
    return faelligBis ? *faelligBis : heute;
  }

 private:
  QDate m_vorschlag;
  std::optional<QDate> m_datum;
  bool m_bestaetigt = false;
  bool m_beendet = false;
};
