#pragma once

#include <QObject>

#include <memory>
#include <vector>

#include "payments/core/Formulardarstellung.h"
#include "payments/core/Zeilenanzeige.h"
#include "platform/db/Waehrung.h"

class DatenGitter;
class GitterDropDown;
class QBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;
class Recordset;
class ZahlFeld;
class ZahlungsformularDienste;
struct GitterTaste;

// The line area of the payment form: the line grid TDBGrid2 over the current payment's
// remittance lines, the open-item drop-down of the payee, the line sums (footers and
// "Einzelsumme"), and the grid's keys, amount rules and take-over of open items.
class ZahlungZeilenbereich : public QObject {
  Q_OBJECT
 public:
  ZahlungZeilenbereich(ZahlungsformularDienste& dienste, QWidget* fenster);
  ~ZahlungZeilenbereich() override;

  DatenGitter* Gitter() const { return m_gitter; }
  GitterDropDown* OPListe() const { return m_opListe; }
  ZahlFeld* Einzelsumme() const { return m_einzelsumme; }
  QLabel* EinzelBeschriftung() const { return m_einzelBeschriftung; }

  // "Einzelsumme", the paid sum of the lines, in the row below the browse grid.
  void SummeAnordnen(QBoxLayout* zeile);
  // The line text's width from the schema.
  void Einrichten();
  // Room for the five lines and the new row without scrolling (once the window's font is set).
  void HoeheFuerAlleZeilen();
  // The lines of the current payment: all of them, or line 1 only in single-field display.
  void Laden(bool gitter);
  // Sums (renumbering in entry mode) into the footers and "Einzelsumme"; raises SummeGeaendert.
  void SummenAnzeigen();
  // After a line was stored or deleted: sums, then the lines as stored.
  void NachZeilenaenderung();
  // The open items of an address number, for the item-number column's drop-down.
  void OPListeLaden(const QString& opKontoNr);
  // The drop-down is a pop-up: its columns keep their shares and it grows with the window.
  void OPSpaltenbreitenMerken(int fensterbreite);
  void OPSpaltenbreitenAnwenden(int fensterbreite);
  // Display mode: shown columns, their widths (once the window is ready), the first column.
  void AnzeigeAnwenden(const ZeilenanzeigeLayout& layout, bool breitenAnwenden);
  // What the mode allows: adding, changing, deleting lines, the drop-down.
  void Oeffnen(const Formulardarstellung& d, bool mitOPListe);
  void StatusAktualisieren();
  // The empty row below the last line, ready for a further line.
  void ZurNeuenZeile();

 Q_SIGNALS:
  // The paid sum of the lines (carried into the amount in entry mode).
  void SummeGeaendert(const std::optional<Waehrung>& summe);

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  void VorSpalte(int spalte, QVariant& wert);
  void VorSpeichern(bool& abbrechen);
  void Taste(GitterTaste& taste);
  bool EditorPfeil(int spalte, bool hoch);
  bool EditorUebernehmen();
  void AusgewaehlteLoeschen();
  QLineEdit* Editor() const;
  QString Statustext() const;

  ZahlungsformularDienste& m_dienste;
  QWidget* m_fenster;
  DatenGitter* m_gitter;
  GitterDropDown* m_opListe;
  ZahlFeld* m_einzelsumme = nullptr;
  QLabel* m_einzelBeschriftung = nullptr;
  std::unique_ptr<Recordset> m_zeilen;
  std::unique_ptr<Recordset> m_opPosten;
  int m_zeilenBreite = 27;
  // Open-item list: column shares (SpaltenProzenteOP) and its designed width at the window width
  // of the set-up.
  std::vector<float> m_spaltenProzenteOP;
  int m_opGrundbreite = 0;
  int m_opBezugsbreite = 0;
};
