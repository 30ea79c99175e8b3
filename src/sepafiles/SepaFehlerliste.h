#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "sepafiles/core/SepaAuswahl.h"

class QLabel;
class QPushButton;
class QTableView;
class SepaFehlerlisteModell;

// "Weggelassene Zahlungen": the orders the SEPA pre-check left out, each with name, IBAN, amount,
// due date and every reason. A window beside the SEPA file window (not modal), so the list can stay
// open while the user decides; Ctrl+C copies the chosen rows, "Kopieren" the whole list.
class SepaFehlerliste : public QDialog {
  Q_OBJECT
 public:
  explicit SepaFehlerliste(QWidget* eltern = nullptr);
  ~SepaFehlerliste() override;

  void BefundeSetzen(const QList<SepaAuftragsbefund>& befunde);

  int Zeilen() const;
  // The text of a cell as the list shows it (column 0 Nr., 1 Name, 2 IBAN, 3 Betrag, 4 Fällig, 5 Gründe).
  QString Zelle(int zeile, int spalte) const;
  // Tab-separated lines with the captions first; `nurMarkierte` limits them to the chosen rows.
  QString Kopiertext(bool nurMarkierte) const;
  QTableView* Tabelle() const { return m_tabelle; }
  QPushButton* Kopieren() const { return m_kopieren; }

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;
  void keyPressEvent(QKeyEvent* ereignis) override;

 private:
  SepaFehlerlisteModell* m_modell;
  QLabel* m_text;
  QTableView* m_tabelle;
  QPushButton* m_kopieren;
  QPushButton* m_schliessen;
};
