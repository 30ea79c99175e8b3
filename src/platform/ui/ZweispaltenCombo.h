#pragma once

#include "platform/ui/Aufklappbar.h"

#include <QComboBox>
#include <QPair>

class QStandardItemModel;
class QTreeView;

// Editable combo over rows of code and meaning (purpose codes "OTHR" / "Sonstige"). The field holds
// the code; the drop-down shows both columns. Typing completes to the first code that starts with
// the typed text (case ignored) and selects the completed rest, so the next character replaces it.
class ZweispaltenCombo : public QComboBox, public Aufklappbar {
  Q_OBJECT
 public:
  explicit ZweispaltenCombo(QWidget* eltern = nullptr);

  void UeberschriftenSetzen(const QString& code, const QString& bedeutung);
  void ZeilenSetzen(const QList<QPair<QString, QString>>& zeilen);
  void ZeileHinzufuegen(const QString& code, const QString& bedeutung);
  void Leeren();
  int Zeilen() const;

  QString Code() const;
  // The code from code; no typing signal.
  void CodeSetzen(const QString& code);
  // Meaning of the row whose code equals the text (case ignored), else "".
  QString Bedeutung() const;
  // Row of a code (case ignored), -1 when none.
  int ZeileVon(const QString& code) const;

  void AufklappenOeffnen() override { showPopup(); }
  void AufklappenSchliessen() override { hidePopup(); }
  bool IstAufgeklappt() const override;

  void showPopup() override;

 Q_SIGNALS:
  // The user typed or chose; the text after completion.
  void Getippt(const QString& code);

 private:
  void Vervollstaendigen(const QString& text);

  QStandardItemModel* m_modell;
  QTreeView* m_ansicht;
  QString m_vorher;
};
