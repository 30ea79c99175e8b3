#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

class QCalendarWidget;
class QLabel;
class QToolButton;

// Several months side by side with one selected date and paging that moves all months together.
class Kalender : public QWidget {
  Q_OBJECT
 public:
  explicit Kalender(int monate = 2, QWidget* eltern = nullptr);

  QDate Datum() const { return m_datum; }
  // Selects a date; the view moves only when the date's month is not shown. Raises DatumGeaendert
  // when the date changes.
  void DatumSetzen(const QDate& datum);

  // Shows `jahr`/`monat` as the first month.
  void MonatAnzeigen(int jahr, int monat);
  void Blaettern(int monate);
  QDate ErsterAngezeigterTag() const;
  QDate LetzterAngezeigterTag() const;
  int Monate() const { return m_monate.size(); }
  QCalendarWidget* Monat(int index) const { return m_monate.value(index); }

  // Font of the month grids and titles.
  void SchriftSetzen(const QFont& schrift);

 Q_SIGNALS:
  void DatumGeaendert(const QDate& datum);
  void Geblaettert();
  // A day was clicked or chosen with Enter.
  void Gewaehlt(const QDate& datum);

 private:
  void Abgleichen();
  void MonatGewechselt(int index, int jahr, int monat);

  QList<QCalendarWidget*> m_monate;
  QList<QLabel*> m_titel;
  QToolButton* m_zurueck;
  QToolButton* m_vor;
  QDate m_erster;   // first day of the first shown month
  QDate m_datum;
  bool m_abgleich = false;
};
