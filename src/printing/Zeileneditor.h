#pragma once

#include <QList>
#include <QWidget>

#include "platform/report/core/Reportlayout.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The lines of a report's title or summary: per line its text, its size in points (0 = the page's)
// and whether it is bold; lines are added at the end and each removed by its own button.
class Zeileneditor : public QWidget {
  Q_OBJECT
 public:
  explicit Zeileneditor(QWidget* eltern = nullptr);

  QList<Reportzeile> Zeilen() const;
  void ZeilenSetzen(const QList<Reportzeile>& zeilen);

  // The controls of line `i` (tests, focus).
  int Anzahl() const { return int(m_zeilen.size()); }
  QLineEdit* Text(int i) const { return m_zeilen.at(i).text; }
  QDoubleSpinBox* Groesse(int i) const { return m_zeilen.at(i).groesse; }
  QCheckBox* Fett(int i) const { return m_zeilen.at(i).fett; }
  QPushButton* Entfernen(int i) const { return m_zeilen.at(i).entfernen; }
  QPushButton* Hinzufuegen() const { return m_hinzufuegen; }

 Q_SIGNALS:
  void Geaendert();

 private:
  struct Zeile {
    QWidget* rahmen;
    QLineEdit* text;
    QDoubleSpinBox* groesse;
    QCheckBox* fett;
    QPushButton* entfernen;
  };
  void ZeileAnhaengen(const Reportzeile& zeile);
  void ZeileEntfernen(QWidget* rahmen);

  QList<Zeile> m_zeilen;
  QVBoxLayout* m_liste;
  QPushButton* m_hinzufuegen;
};
