#pragma once

#include <QFrame>
#include <QVariant>

#include <vector>

#include "platform/ui/GitterSpalte.h"

class GitterModell;
class QKeyEvent;
class QTableView;
class Recordset;

// A drop-down list for a grid cell over its own recordset: columns with captions and formats, the
// list field whose value goes into the cell, a number of visible rows. While it is open it takes
// the keys: Up/Down/PgUp/PgDn move, Enter chooses, Esc closes, F4 or Alt+Up/Down close.
class GitterDropDown : public QFrame {
  Q_OBJECT
 public:
  explicit GitterDropDown(QWidget* parent = nullptr);
  ~GitterDropDown() override;

  // Binds the list's rows (not owned). With `spaltenHalten` the designed columns stay.
  void SetzeRecordset(Recordset* rs, bool spaltenHalten = true);
  Recordset* Daten() const;

  int SpalteHinzufuegen(const QString& feld, const QString& titel = {}, GitterFormat format = GitterFormat::Allgemein,
                        const QString& muster = {});
  int SpaltenAnzahl() const;
  int SpaltenIndex(const QString& titelOderFeld) const;
  void SetzeDatenfeld(int spalte, const QString& feld);
  void SetzeSpalteSichtbar(int spalte, bool sichtbar);
  void SetzeSpaltenbreite(int spalte, int pixel);
  int Spaltenbreite(int spalte) const;
  // The narrowest a shown column gets when the list opens: its caption, for amounts the largest amount a
  // payment may have, for IBANs and BICs the widest of the list's rows (they are few).
  int Mindestbreite(int spalte) const;

  void SetzeListenfeld(const QString& feld) { m_listenfeld = feld; }
  const QString& Listenfeld() const { return m_listenfeld; }
  // Height of the open list in rows (fractions allowed, e.g. OPAnzahl + 1.8).
  void SetzeSichtbareZeilen(double zeilen) { m_sichtbareZeilen = zeilen; }
  double SichtbareZeilen() const { return m_sichtbareZeilen; }
  void SetzeListenbreite(int pixel) { m_breite = pixel; }

  int ZeilenAnzahl() const;
  int AktuelleZeile() const;
  void SetzeAktuelleZeile(int zeile);
  // Values of the current row.
  QVariant Wert(const QString& feld) const;
  QVariant ListenWert() const;

  // Opens under the given screen rectangle (the cell), on the row whose list field equals `wert`.
  void Oeffnen(const QRect& zelleGlobal, const QVariant& wert);
  void Schliessen();
  bool Offen() const { return isVisible(); }
  // Keys while open; true when the list consumed the key.
  bool TasteVerarbeiten(QKeyEvent* e);

  QTableView* Ansicht() const { return m_ansicht; }
  GitterModell* Modell() const { return m_modell; }

 Q_SIGNALS:
  void Gewaehlt(const QVariant& wert);
  void Geschlossen();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void Waehlen();

  GitterModell* m_modell;
  QTableView* m_ansicht;
  QString m_listenfeld;
  double m_sichtbareZeilen = 8;
  int m_breite = 0;
};
