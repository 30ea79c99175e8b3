#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

#include "payments/core/Formulardarstellung.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/DbFehler.h"
#include "platform/db/Waehrung.h"

class DatenGitter;
class DatensatzNavigator;
class QBoxLayout;
class QLabel;
class QWidget;
class Recordset;
class ZahlFeld;
class ZahlungsformularDienste;
struct GitterTaste;

// The browse part of the payment form: the grid TDBGrid1 over the browse query (the listed
// payments of the active sender and kind) with its filter bar, the record navigator and the
// total of the listed payments.
class ZahlungBrowse : public QObject {
  Q_OBJECT
 public:
  ZahlungBrowse(ZahlungsformularDienste& dienste, QWidget* fenster);
  ~ZahlungBrowse() override;

  DatenGitter* Gitter() const { return m_gitter; }
  DatensatzNavigator* Navigator() const { return m_navigator; }
  ZahlFeld* Gesamt() const { return m_gesamt; }
  QLabel* GesamtBeschriftung() const { return m_gesamtBeschriftung; }

  // The row below the grid: the navigator first, the total of the listed payments last.
  void NavigatorAnordnen(QBoxLayout* zeile);
  void SummeAnordnen(QBoxLayout* zeile);

  // The filter bar changed: the window runs its browse query again (returns its failure).
  std::function<DbFehler()> neuLaden;

  // The listed payments (the active sender, the kind, the filter bar, check mode, due-date limit):
  // what the browse query, its total, the check and the discount dialog cover.
  ZahlungenFilter Liste() const;
  // The browse query (ZahlungenLaden's query part); a failure shows no rows and is reported.
  DbFehler Laden();
  int Anzahl() const;
  // Number of the payment in the current row; none without rows.
  std::optional<qint64> ZahlungNrDerZeile() const;
  // Positions on a payment; false when it is not listed.
  bool Ansteuern(qint64 zahlungNr);
  // A changed payment keeps its place (as a dynaset row does until the next requery): its row is
  // read again and stays current.
  void ZeileNeuLesen(int zeile);
  void AufZeile(int zeile);

  // The total of the listed payments with the caption and colours of the mode; one that cannot be
  // formed (or read) shows "###" with the reason in its tooltip.
  void GesamtsummeAnzeigen(const Formulardarstellung& d);
  // The list is the same but for one payment: the total moves by its difference. false when it cannot
  // (no total shown, or the new one cannot be formed): the caller reads the total again.
  bool SummeVerschieben(const Waehrung& vorher, const Waehrung& nachher);
  // After search mode was switched (filter bar shown or hidden, emptied): the cursor into the
  // stored column's filter cell, or back to the rows.
  void SuchmodusAnzeigen(bool an);

 Q_SIGNALS:
  // Another payment became current.
  void ZeileGewechselt();

 private:
  void Taste(GitterTaste& taste, bool losgelassen);

  ZahlungsformularDienste& m_dienste;
  DatenGitter* m_gitter;
  DatensatzNavigator* m_navigator;
  ZahlFeld* m_gesamt = nullptr;
  QLabel* m_gesamtBeschriftung = nullptr;
  std::unique_ptr<Recordset> m_zahlungen;
  std::optional<Waehrung> m_summe;  // the total shown; nullopt: "###"
};
