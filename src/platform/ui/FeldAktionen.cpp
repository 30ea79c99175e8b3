#include "platform/ui/FeldAktionen.h"

#include "platform/ui/Aufklappbar.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace FeldAktionen {

namespace {

Aufklappbar* AlsAufklappbar(QWidget* feld) { return dynamic_cast<Aufklappbar*>(feld); }

}  // namespace

bool AufklappenOeffnen(QWidget* feld) {
  if (!feld || !feld->isEnabled()) return false;
  if (Aufklappbar* a = AlsAufklappbar(feld)) {
    a->AufklappenOeffnen();
    return a->IstAufgeklappt();
  }
  if (auto* combo = qobject_cast<QComboBox*>(feld)) {
    combo->showPopup();
    return true;
  }
  return false;
}

bool AufklappenSchliessen(QWidget* feld) {
  if (!feld) return false;
  if (Aufklappbar* a = AlsAufklappbar(feld)) {
    a->AufklappenSchliessen();
    return true;
  }
  if (auto* combo = qobject_cast<QComboBox*>(feld)) {
    combo->hidePopup();
    return true;
  }
  return false;
}

bool IstAufgeklappt(const QWidget* feld) {
  if (!feld) return false;
  if (const auto* a = dynamic_cast<const Aufklappbar*>(feld)) return a->IstAufgeklappt();
  if (const auto* combo = qobject_cast<const QComboBox*>(feld)) return combo->view() && combo->view()->isVisible();
  return false;
}

bool AufklappenUmschalten(QWidget* feld) {
  return IstAufgeklappt(feld) ? AufklappenSchliessen(feld) : AufklappenOeffnen(feld);
}

bool ZeilenWeiter(QAbstractItemView* ansicht, int zeilen) {
  if (!ansicht || !ansicht->model()) return false;
  QAbstractItemModel* modell = ansicht->model();
  const QModelIndex wurzel = ansicht->rootIndex();
  const int anzahl = modell->rowCount(wurzel);
  if (anzahl == 0) return false;
  const QModelIndex aktuell = ansicht->currentIndex();
  const int spalte = aktuell.isValid() ? aktuell.column() : 0;
  const int zeile = aktuell.isValid() ? aktuell.row() : 0;
  const int ziel = qBound(0, zeile + zeilen, anzahl - 1);
  ansicht->setCurrentIndex(modell->index(ziel, spalte, wurzel));
  return true;
}

}  // namespace FeldAktionen
