#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/db/DbFehler.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"
#include "platform/ui/GitterFilterSpalte.h"
#include "platform/ui/GitterMarken.h"
#include "platform/ui/GitterSpalte.h"

class FilterLeiste;
class GitterDelegate;
class GitterDropDown;
class GitterFuss;
class GitterModell;
class QAbstractButton;
class QKeyEvent;
class QLineEdit;
class QScrollBar;
class QTableView;

// A key seen by the grid (in a cell, a cell editor or the filter bar). A hook sets `geschluckt`
// to keep the grid from acting on it.
struct GitterTaste {
  int taste = 0;                                  // Qt::Key
  Qt::KeyboardModifiers modifikatoren;
  QString text;                                   // character(s) of a key press
  bool imFilter = false;                          // typed into the filter bar
  bool imEditor = false;                          // typed into a cell editor
  bool geschluckt = false;
};

// The data grid of the program over a Recordset: columns bound to data fields with caption,
// visibility, format, data width and percentage widths; layout kept across a rebind and stored by
// name; a filter bar whose changes requery after the key event; footers; row and cell colours;
// alternating rows; marquee styles; marks (an ordered set of row keys); drop-down lists in cells;
// number and date editors; an add-new row with pending state and update events; scroll tips;
// key hooks. Values are read lazily through the recordset's page cache.
class DatenGitter : public QWidget {
  Q_OBJECT
 public:
  enum class Markierungsstil {
    ZeileHervorgehoben,   // the current row is highlighted, cells are not edited
    SchwebenderEditor,    // cell editing: typing opens the cell's editor
    Zeilenauswahl,        // several rows can be selected (Ctrl/Shift)
    Keiner                // no cursor shown
  };

  explicit DatenGitter(QWidget* parent = nullptr);
  ~DatenGitter() override;

  // --- Data ---------------------------------------------------------------------------------
  // Binds a recordset (not owned; nullptr empties the grid; bind the next one before the old one
  // goes). Designed columns (SpalteHinzufuegen, LayoutLaden) and, with SpaltenHalten (HoldFields),
  // the columns of the last binding stay and are bound again by field name; otherwise one column
  // per field is made. The recordset's condition and sort become the base of the filter bar
  // unless SetzeFilterGrundlage gave one.
  void SetzeRecordset(Recordset* rs);
  Recordset* Daten() const;
  void SetzeSpaltenHalten(bool halten) { m_spaltenHalten = halten; }
  bool SpaltenHalten() const { return m_spaltenHalten; }
  // The bound recordset was requeried or changed outside: shows its rows again, clears the marks.
  void Aktualisieren();
  // One row was changed outside (its key stays): it alone is read and drawn again; the current cell, the
  // marks and the other rows stay (no reset of the grid, no change of row announced).
  DbFehler ZeileAktualisieren(int zeile);
  // A query failed: no rows are shown (never the old ones) until the next rebind or Aktualisieren.
  void LeerAnzeigen();
  int ZeilenAnzahl() const;    // stored rows shown (without the add-new row)

  // --- Columns ------------------------------------------------------------------------------
  int SpaltenAnzahl() const;
  const GitterSpalte& Spalte(int spalte) const;
  int SpaltenIndex(const QString& feld) const;   // by data field; -1 when missing
  int SpalteHinzufuegen(const QString& feld, const QString& titel = {});
  void SpalteEntfernen(int spalte);
  void SpaltenEntfernen();
  void SetzeDatenfeld(int spalte, const QString& feld);
  void SetzeSpaltentitel(int spalte, const QString& titel);
  void SetzeSpalteSichtbar(int spalte, bool sichtbar);
  bool SpalteSichtbar(int spalte) const;
  void SetzeSpaltenformat(int spalte, GitterFormat format, const QString& muster = {});
  void SetzeSpaltenEditor(int spalte, GitterEditor editor);
  void SetzeSpalteGesperrt(int spalte, bool gesperrt);
  void SetzeAusrichtung(int spalte, Qt::Alignment a);
  // Input limit; by default the text size of the bound field.
  void SetzeDatenBreite(int spalte, int zeichen);
  int DatenBreite(int spalte) const;
  void SetzeSpaltenbreite(int spalte, int pixel);
  int Spaltenbreite(int spalte) const;
  // The narrowest a shown column gets: its caption and footer whole; for amounts the largest amount
  // a payment may have (-999.999.999,99) and any wider one in view; for IBANs and BICs the widest
  // of the rows in view (rows scrolled into view widen the column when they need more).
  int Mindestbreite(int spalte) const;
  // Sizes the visible columns to their content: each as wide as its caption and the widest text of
  // the rows in view (at most `hoechstensZeichen` average characters). The first `vorne` of them (in
  // display order; 0 = all) are to fit the grid: free room is shared among them in proportion, and
  // where the grid is too narrow the columns of running text (values with blanks: names, banks,
  // purposes) give way down to their captions while codes, dates and amounts keep their width; the
  // columns behind them follow at their content width, reached by scrolling. Whenever the grid scrolls,
  // the columns that fit share the rest of the view, so that no column shows its left part at the view's
  // edge (an amount cut to "5.94").
  void SpaltenNachInhalt(int vorne = 0, int hoechstensZeichen = 40);
  // How wide the grid would be with its first `vorne` visible columns (0 = all) at their content width:
  // the columns, the row header and the frame (a window makes room with it).
  int InhaltsBreite(int vorne = 0, int hoechstensZeichen = 40) const;
  // What a cell shows: its text, or "###" for a number, an amount, an IBAN or a BIC too wide for the
  // column (never a shortened one).
  QString ZellAnzeige(int zeile, int spalte) const;
  // The tooltip of a cell: its whole text when the cell cannot show all of it, else empty.
  QString ZellTipp(int zeile, int spalte) const;
  // Shows the columns of these fields first, in this order; the others follow in their order.
  void SetzeSpaltenfolge(const QStringList& felder);
  // How many visible columns the display shows up to and including the column of `feld` (0 when it is
  // missing or hidden): the `vorne` of SpaltenNachInhalt that makes that column fit the grid.
  int SichtbareSpaltenBis(const QString& feld) const;
  // Columns stretch to the grid's width (the old SpringMode).
  void SetzeSpaltenStrecken(bool an);
  // The visible columns fitted into the grid's width in their present proportions, none narrower
  // than its caption.
  void SpaltenEinpassen();
  // Tab moves between cells (true) or on to the next control (false, the default).
  void SetzeTabInZellen(bool an);

  // Widths of the visible columns, in display order, as percentages of the data area's width
  // (hidden columns skipped); applying sets them back for the current width.
  std::vector<float> SpaltenProzente() const;
  void SpaltenProzenteAnwenden(const std::vector<float>& prozente);

  // Layout (order, widths, visibility, captions) under a name: in the layout file when one is
  // set, else in the settings store, section "Tabellenlayout <name>".
  void SetzeLayoutDatei(const QString& datei) { m_layoutDatei = datei; }
  void SetzeLayoutName(const QString& name) { m_layoutName = name; }
  const QString& LayoutName() const { return m_layoutName; }
  bool LayoutSpeichern(const QString& name = {}) const;
  bool LayoutLaden(const QString& name = {});

  // --- Current cell -------------------------------------------------------------------------
  int AktuelleZeile() const;
  int AktuelleSpalte() const;
  void SetzeAktuelleZelle(int zeile, int spalte);
  void SetzeAktuelleSpalte(int spalte);
  QVariant Wert(int zeile, int spalte) const;          // pending row: the edit buffer
  QVariant Wert(int zeile, const QString& feld) const; // any field of the recordset, shown or not
  QString ZellText(int zeile, int spalte) const;       // as displayed
  QVariant Schluessel(int zeile) const;                // bookmark of a row
  int ZeileVonSchluessel(const QVariant& schluessel) const;
  // Rows selected in the row-selection style (Ctrl/Shift), ascending.
  std::vector<int> AusgewaehlteZeilen() const;

  // --- Look ---------------------------------------------------------------------------------
  using ZellStilFunktion = std::function<void(int zeile, int spalte, ZellStil& stil)>;
  void SetzeZellStil(ZellStilFunktion f);
  void SetzeWechselndeZeilen(bool an);
  bool WechselndeZeilen() const;
  void SetzeMarkierungsstil(Markierungsstil stil);
  Markierungsstil MarkierungsStil() const { return m_stil; }
  void SetzeSchrift(const QFont& f);

  // --- Footers ------------------------------------------------------------------------------
  void SetzeFussleiste(bool an);
  bool Fussleiste() const;
  void SetzeFussText(int spalte, const QString& text);
  QString FussText(int spalte) const;
  void SetzeFussFarbe(int spalte, const QColor& farbe);
  std::optional<QColor> FussFarbe(int spalte) const;

  // --- Filter bar ---------------------------------------------------------------------------
  void SetzeFilterleiste(bool an);
  bool Filterleiste() const { return m_filterAn; }
  QString FilterText(int spalte) const;
  void SetzeFilterText(int spalte, const QString& text);   // from code: no requery
  void FilterTexteLeeren();
  // True while the cursor is in the filter bar.
  bool ImFilter() const;
  // Puts the cursor into a column's filter cell: caret after the text, or the whole text selected.
  void FilterZelleBearbeiten(int spalte, bool allesMarkieren = false);
  // After a requery the caret goes back to the end of the filter text (default) or selects it.
  void SetzeFilterTextMarkieren(bool markieren) { m_filterMarkieren = markieren; }
  // The filled filter cells as plain data, and the condition built from them.
  std::vector<GitterFilterSpalte> FilterSpalten() const;
  // Without a builder installed a filled filter gives a condition that matches nothing and, in
  // `fehler`, the reason (a filter is never silently ignored).
  Bedingung FilterBedingung(bool qualifiziert, DbFehler* fehler = nullptr) const;
  // The program's condition builder (FilterBedingungErstellen); one for all grids and per grid.
  static void SetzeStandardFilterErsteller(FilterBedingungsErsteller f);
  void SetzeFilterErsteller(FilterBedingungsErsteller f) { m_filterErsteller = std::move(f); }
  void SetzeFilterQualifiziert(bool q) { m_filterQualifiziert = q; }
  // Without a handler the grid requeries its recordset itself with `grund` AND the filter and
  // `sortierung`. With a handler (the window builds its own query) the handler runs instead and
  // returns the failure of its query.
  void SetzeFilterGrundlage(const Bedingung& grund, const SqlText& sortierung);
  using FilterBehandlung = std::function<DbFehler(const Bedingung& filter, int spalte)>;
  void SetzeFilterBehandlung(FilterBehandlung f) { m_filterBehandlung = std::move(f); }
  // What the posted filter event runs; returns false when the requery failed.
  bool FilterAnwenden();
  // True while a filter change waits for its posted event.
  bool FilterAusstehend() const { return m_filterAusstehend; }

  // --- Marks --------------------------------------------------------------------------------
  bool MarkeSetzen(int zeile);
  bool MarkeEntfernen(int zeile);
  bool MarkeUmschalten(int zeile);
  bool IstMarkiert(int zeile) const;
  void MarkenLeeren();
  void AlleMarkieren();
  int MarkenAnzahl() const { return m_marken.Anzahl(); }
  // Keys of the marked rows in marking order.
  const std::vector<QVariant>& Marken() const { return m_marken.Reihe(); }
  void SetzeMarkierenPerDoppelklick(bool an) { m_markeDoppelklick = an; }
  void SetzeMarkierenPerLeertaste(bool an) { m_markeLeertaste = an; }
  // A click on the corner above the row heads marks every row.
  void SetzeMarkierenPerEcke(bool an);
  // The corner above the row heads (null when the view has none).
  QAbstractButton* Ecke() const;

  // --- Drop-downs ---------------------------------------------------------------------------
  void SetzeDropDown(int spalte, GitterDropDown* liste);   // nullptr removes it
  GitterDropDown* DropDown(int spalte) const;
  bool DropDownOffen() const;
  bool DropDownOeffnen();        // for the current cell
  void DropDownSchliessen();

  // --- Editing ------------------------------------------------------------------------------
  void SetzeZulassenAendern(bool an) { m_zulassenAendern = an; }
  void SetzeZulassenNeu(bool an);
  void SetzeZulassenLoeschen(bool an) { m_zulassenLoeschen = an; }
  bool ZulassenAendern() const { return m_zulassenAendern; }
  bool ZulassenNeu() const { return m_zulassenNeu; }
  bool IstNeueZeile(int zeile) const;
  // A row with typed values not yet written (the row's "pending" state).
  bool ZeileAusstehend() const;
  int AusstehendeZeile() const;
  // Writes a value into a cell of the current row through the update events (as if typed).
  bool ZellwertSetzen(int spalte, const QVariant& wert);
  // Writes a value into the pending row's buffer without events (from an event handler).
  bool PufferwertSetzen(const QString& feld, const QVariant& wert);
  bool ZeileSpeichern();     // commits the pending row (before-update event, Update)
  void ZeileVerwerfen();     // drops the pending row's changes
  bool ZeileLoeschen();      // deletes the current row
  // Cell editor of the current cell.
  bool ZelleBearbeiten();
  bool EditorOffen() const;

  // Events with answers. Before a column's value is taken: may change `wert` or cancel.
  std::function<void(int spalte, const QVariant& alterWert, QVariant& wert, bool& abbrechen)> VorSpaltenAenderung;
  // Before a row is written: cancel keeps the row pending.
  std::function<void(bool& abbrechen)> VorZeilenAenderung;
  // A data error: `meldungZeigen` (true) lets the grid show its message through Meldung; false
  // suppresses it.
  std::function<void(const DbFehler& fehler, bool& meldungZeigen)> BeiFehler;

  // --- Scroll tips --------------------------------------------------------------------------
  void SetzeScrollTipps(bool an) { m_scrollTipps = an; }
  // Own tip text for a row; default "caption: cell text" of the current column.
  void SetzeScrollTippText(std::function<QString(int zeile)> f) { m_scrollTippText = std::move(f); }
  QString ScrollTipp(int zeile) const;
  const QString& LetzterScrollTipp() const { return m_letzterTipp; }

  // --- Keys ---------------------------------------------------------------------------------
  std::function<void(GitterTaste&)> TasteRunter;
  std::function<void(GitterTaste&)> TasteZeichen;
  std::function<void(GitterTaste&)> TasteHoch;

  QTableView* Ansicht() const { return m_ansicht; }
  GitterModell* Modell() const { return m_modell; }
  FilterLeiste* Filter() const { return m_filter; }

  // Used by the cell editors.
  bool EditorTaste(QLineEdit* editor, QKeyEvent* e);
  void EingabeAblehnen(int spalte, const QString& text);

 Q_SIGNALS:
  void ZeileSpalteGewechselt(int alteZeile, int alteSpalte);
  void FilterGeaendert(int spalte);          // posted: after the key event that changed it
  void FilterAngewendet(int spalte);
  void AbfrageFehlgeschlagen(const DbFehler& fehler);
  void MarkenGeaendert();
  void NachSpaltenAenderung(int spalte);
  void NachZeilenAenderung();
  void NachLoeschen();
  void FehlerAufgetreten(const DbFehler& fehler);
  void EingabeUngueltig(int spalte, const QString& text);
  void DoppelKlick(int zeile);

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void StreifenAnordnen();
  void FilterGetippt(int spalte);
  void FilterEreignis();
  bool TasteVerteilen(QKeyEvent* e, bool imFilter, bool imEditor);
  bool StandardTaste(QKeyEvent* e);
  bool BearbeitungBeginnen(int zeile);
  void FehlerMelden(const DbFehler& f);
  bool Aendern(int zeile, int spalte, const QVariant& wert);
  bool Bearbeitbar(int zeile, int spalte) const;
  void AktuelleZeileGewechselt(const QModelIndex& neu, const QModelIndex& alt);
  void DropDownGewaehlt(const QVariant& wert);
  void ScrollTippZeigen(int wert);
  QString LayoutAbschnitt(const QString& name) const;

  GitterModell* m_modell;
  QTableView* m_ansicht;
  FilterLeiste* m_filter;
  GitterFuss* m_fuss;
  QScrollBar* m_hLeiste;
  GitterDelegate* m_delegate;

  bool m_spaltenHalten = false;
  bool m_spaltenEntworfen = false;
  bool m_filterGrundGesetzt = false;
  Markierungsstil m_stil = Markierungsstil::ZeileHervorgehoben;
  bool m_filterAn = false;
  bool m_filterAusstehend = false;
  int m_filterSpalte = -1;
  bool m_filterMarkieren = false;
  bool m_filterQualifiziert = false;
  FilterBedingungsErsteller m_filterErsteller;
  FilterBehandlung m_filterBehandlung;
  Bedingung m_filterGrund;
  SqlText m_filterSortierung;
  GitterMarken m_marken;
  bool m_markeDoppelklick = false;
  bool m_markeLeertaste = false;
  bool m_zulassenAendern = false;
  bool m_zulassenNeu = false;
  bool m_zulassenLoeschen = false;
  bool m_scrollTipps = true;
  std::function<QString(int)> m_scrollTippText;
  QString m_letzterTipp;
  QString m_layoutDatei;
  QString m_layoutName;
  void SpaltenSkalieren(double faktor, std::optional<int> gesamt = std::nullopt);
  struct Inhaltsbreite {
    int spalte;
    int inhalt;      // what the content wants
    int mindestens;  // what it keeps when the grid is too narrow
  };
  // The visible columns in display order with their content widths.
  std::vector<Inhaltsbreite> Inhaltsbreiten(int hoechstensZeichen) const;
  // The rows in view (all rows up to a screenful before the grid is laid out).
  std::pair<int, int> ZeilenImBlick() const;
  // Width a text needs in a cell of the grid (with the cell's margins).
  int Textbreite(const QString& text) const;
  mutable QHash<QString, int> m_breiten;   // Textbreite's measures in m_breitenSchrift
  mutable QFont m_breitenSchrift;
  int Zellbreite(int spalte) const;   // room for text in a cell of the column
  // Widens the visible columns of amounts, IBANs and BICs that are narrower than their values need: by
  // every need of the column (rows in view, caption, footer, largest amount), or by the rows von..bis-1
  // alone (those that came into view or changed).
  void GanzwerteNachziehen();
  void GanzwerteNachziehen(int von, int bis);
  std::pair<int, int> m_ganzwerteImBlick{0, 0};   // the rows in view when the columns were last measured
  bool m_strecken = false;
  bool m_zurueckZurAusstehenden = false;
  GitterDropDown* m_offeneListe = nullptr;
  struct SpaltenStand;
  std::unique_ptr<SpaltenStand> m_spaltenStand;
};

// Widens the window of `gitter` (up to the width of its screen, never narrower, still whole on the
// screen) so that the first `vorne` visible columns fit at their content width; then sizes the
// columns to their content (SpaltenNachInhalt).
void FensterFuerSpaltenVerbreitern(QWidget& fenster, DatenGitter& gitter, int vorne = 0);

// Column widths as percentages (the old SpaltenbreitenVerwalten): with `speichern` the visible
// columns' widths go into `prozente`; otherwise they are set back from it. Hidden columns skipped.
void SpaltenbreitenVerwalten(DatenGitter& gitter, std::vector<float>& prozente, bool speichern);
void SpaltenbreitenVerwalten(GitterDropDown& liste, std::vector<float>& prozente, bool speichern);
