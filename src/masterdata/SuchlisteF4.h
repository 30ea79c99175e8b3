#pragma once

#include <QDialog>
#include <QFont>
#include <QVariantList>

#include <memory>

#include "masterdata/core/Suchkriterium.h"
#include "masterdata/core/Suchlistenquelle.h"
#include "platform/db/Recordset.h"

class DatenGitter;
class QLineEdit;
class QPushButton;

// The modal search list: banks (1), addresses of the active source (2) or payments (3).
// The caller prepares it with Daten, shows it modally (exec) and reads the choice with Rueckwert.
class SuchlisteF4 : public QDialog {
  Q_OBJECT
 public:
  explicit SuchlisteF4(QWidget* eltern = nullptr);
  ~SuchlisteF4() override;

  // Set-up before showing. `suchfeld` shows the incremental search box; `zahlungsfilter` is used in
  // mode 3 only; the list opens on the first row that fits `kriterium`. False when the query failed
  // (reported).
  bool Daten(const QFont& schrift, bool suchfeld, const Bedingung& zahlungsfilter, const Suchkriterium& kriterium,
             int modus);

  // True when the list was closed without a choice. Otherwise `werte` receives the values of the
  // chosen row (see Suchlistenquelle::Rueckwerte) and the list lets go of its data.
  bool Rueckwert(QVariantList& werte);

  // The whole protocol for a caller (Daten, the modal list, Rueckwert): true when a row was chosen,
  // its values in `werte`.
  static bool Auswaehlen(QWidget* eltern, const QFont& schrift, int modus, const Bedingung& zahlungsfilter,
                         const Suchkriterium& kriterium, bool suchfeld, QVariantList& werte);

  // Takes the current row as the choice and closes the list (Enter, double click, "Übernehmen").
  void Waehlen();
  // Sorts by a column and keeps it as the mode's sort column.
  bool SortierenNach(const QString& feld);
  // Positions on the first row that fits; false when none does (the position stays).
  bool Positionieren(const Suchkriterium& kriterium);
  // The incremental search: the first row whose search column begins with the text.
  bool Suchen(const QString& text);

  DatenGitter* Gitter() const { return m_gitter; }
  QLineEdit* Suchfeld() const { return m_suchfeld; }
  Suchlistenquelle::Modus Modus() const { return m_modus; }
  QString Sortierfeld() const { return m_sortierfeld; }
  // Column the incremental search compares with: the sort column, else the mode's name column.
  QString Suchspalte() const;

 protected:
  void keyPressEvent(QKeyEvent* ereignis) override;
  void showEvent(QShowEvent* ereignis) override;

 private:
  bool Laden();

  DatenGitter* m_gitter;
  QLineEdit* m_suchfeld;
  QPushButton* m_uebernehmen;
  std::unique_ptr<Recordset> m_rs;
  Suchlistenquelle::Modus m_modus = Suchlistenquelle::Modus::Adressen;
  Bedingung m_filter;
  QString m_sortierfeld;
  bool m_gewaehlt = false;
  QVariantList m_werte;
};
