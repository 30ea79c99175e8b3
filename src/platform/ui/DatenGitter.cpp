#include "platform/ui/DatenGitter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/settings/Registrierung.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/GitterDelegate.h"
#include "platform/ui/GitterDropDown.h"
#include "platform/ui/GitterFormatierung.h"
#include "platform/ui/GitterFuss.h"
#include "platform/ui/GitterModell.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/Zellbreite.h"

namespace {

FilterBedingungsErsteller& StandardErsteller() {
  static FilterBedingungsErsteller f;
  return f;
}

bool IstZahlTyp(FeldTyp t) {
  return t == FeldTyp::Integer || t == FeldTyp::Long || t == FeldTyp::Waehrung || t == FeldTyp::Double;
}

// Measuring a caption lays its text out. Every reset of the rows (the lines of the next payment) made the
// header measure all captions again: a plain caption is measured once for its text and the header's font.
class GitterKopf : public QHeaderView {
 public:
  using QHeaderView::QHeaderView;

 protected:
  QSize sectionSizeFromContents(int spalte) const override {
    const QAbstractItemModel* m = model();
    const Qt::Orientation o = orientation();
    if (!m || m->headerData(spalte, o, Qt::SizeHintRole).isValid() || m->headerData(spalte, o, Qt::FontRole).isValid() ||
        m->headerData(spalte, o, Qt::DecorationRole).isValid())
      return QHeaderView::sectionSizeFromContents(spalte);
    const Mass schluessel{spalte, m->headerData(spalte, o, Qt::DisplayRole).toString(),
                          m->headerData(spalte, o, Qt::TextAlignmentRole).toInt(), isSortIndicatorShown(), font(),
                          style()};
    // one entry per column: a new caption replaces the old one's
    auto it = std::find_if(m_masse.begin(), m_masse.end(), [&](const auto& e) { return e.first.spalte == spalte; });
    if (it != m_masse.end() && it->first == schluessel) return it->second;
    const QSize groesse = QHeaderView::sectionSizeFromContents(spalte);
    if (it != m_masse.end()) *it = {schluessel, groesse};
    else m_masse.emplace_back(schluessel, groesse);
    return groesse;
  }

 private:
  struct Mass {
    int spalte;
    QString text;
    int ausrichtung;
    bool sortierung;
    QFont schrift;
    const QStyle* stil;
    bool operator==(const Mass&) const = default;
  };
  mutable std::vector<std::pair<Mass, QSize>> m_masse;
};

QTableView* AnsichtErzeugen(QWidget* eltern) {
  auto* v = new QTableView(eltern);
  auto* kopf = new GitterKopf(Qt::Horizontal, v);
  kopf->setSectionsClickable(true);  // as the view's own header
  v->setHorizontalHeader(kopf);
  return v;
}

}  // namespace

// Column widths and order by data field, kept across a model reset (the header forgets them).
struct DatenGitter::SpaltenStand {
  QHash<QString, int> breite;
  QStringList reihenfolge;
  bool gueltig = false;
};

DatenGitter::DatenGitter(QWidget* parent)
    : QWidget(parent),
      m_modell(new GitterModell(this)),
      m_ansicht(AnsichtErzeugen(this)),
      m_filter(new FilterLeiste(m_ansicht, this)),
      m_fuss(new GitterFuss(m_ansicht, m_modell, this)),
      m_hLeiste(new QScrollBar(Qt::Horizontal, this)),
      m_delegate(new GitterDelegate(this)),
      m_spaltenStand(std::make_unique<SpaltenStand>()) {
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(0);
  l->addWidget(m_filter);
  l->addWidget(m_ansicht, 1);
  l->addWidget(m_fuss);
  l->addWidget(m_hLeiste);
  m_filter->hide();
  m_fuss->hide();
  m_hLeiste->hide();
  setFocusProxy(m_ansicht);

  m_ansicht->setModel(m_modell);
  m_ansicht->setItemDelegate(m_delegate);
  m_ansicht->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_ansicht->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_ansicht->setWordWrap(false);
  m_ansicht->setTabKeyNavigation(false);
  QHeaderView* zeilenKopf = m_ansicht->verticalHeader();
  zeilenKopf->setSectionResizeMode(QHeaderView::Fixed);
  zeilenKopf->setDefaultSectionSize(fontMetrics().height() + 6);
  zeilenKopf->setMinimumWidth(18);
  QHeaderView* kopf = m_ansicht->horizontalHeader();
  kopf->setSectionsMovable(true);
  kopf->setHighlightSections(false);
  kopf->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  m_modell->SetzePalette(m_ansicht->palette());
  m_modell->SetzeMarken(&m_marken);
  m_modell->SetzeBearbeitbar([this](int z, int s) { return Bearbeitbar(z, s); });
  m_modell->SetzeAenderung([this](int z, int s, const QVariant& w) { return Aendern(z, s, w); });

  m_ansicht->installEventFilter(this);
  m_ansicht->viewport()->installEventFilter(this);

  // A column is never narrower than its caption ("esamtbetrag", "Mandat-Referen"): whoever sets a
  // width (percentages, stretching, a stored layout, the mouse), the caption stays whole; a grid
  // too narrow for all of them scrolls.
  connect(kopf, &QHeaderView::sectionResized, this, [this](int spalte, int, int neu) {
    if (neu > 0 && !m_ansicht->horizontalHeader()->isSectionHidden(spalte)) {
      const int mindestens = Mindestbreite(spalte);
      if (neu < mindestens) {
        m_ansicht->horizontalHeader()->resizeSection(spalte, mindestens);
        return;
      }
    }
    StreifenAnordnen();
  });
  connect(kopf, &QHeaderView::sectionMoved, this, [this] { StreifenAnordnen(); });
  connect(kopf, &QHeaderView::geometriesChanged, this, [this] { StreifenAnordnen(); });
  connect(zeilenKopf, &QHeaderView::geometriesChanged, this, [this] { StreifenAnordnen(); });

  QScrollBar* innen = m_ansicht->horizontalScrollBar();
  connect(innen, &QScrollBar::rangeChanged, this, [this, innen](int min, int max) {
    m_hLeiste->setRange(min, max);
    m_hLeiste->setPageStep(innen->pageStep());
    m_hLeiste->setSingleStep(innen->singleStep());
    m_hLeiste->setVisible(max > min);
  });
  connect(innen, &QScrollBar::valueChanged, m_hLeiste, &QScrollBar::setValue);
  connect(m_hLeiste, &QScrollBar::valueChanged, innen, &QScrollBar::setValue);
  connect(innen, &QScrollBar::valueChanged, this, [this] { StreifenAnordnen(); });
  connect(m_ansicht->verticalScrollBar(), &QScrollBar::sliderMoved, this, [this](int w) { ScrollTippZeigen(w); });

  connect(m_modell, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    SpaltenStand& st = *m_spaltenStand;
    if (st.gueltig) return;   // the first of two nested resets took it already
    QHeaderView* k = m_ansicht->horizontalHeader();
    const auto& sp = m_modell->Spalten();
    for (int v = 0; v < k->count(); ++v) {
      const int i = k->logicalIndex(v);
      if (i < 0 || i >= static_cast<int>(sp.size())) continue;
      st.breite.insert(sp[i].feld.toLower(), k->sectionSize(i));
      st.reihenfolge << sp[i].feld.toLower();
    }
    st.gueltig = true;
  });
  connect(m_modell, &QAbstractItemModel::modelReset, this, [this] {
    SpaltenStand st = std::exchange(*m_spaltenStand, SpaltenStand{});
    QHeaderView* k = m_ansicht->horizontalHeader();
    const auto& sp = m_modell->Spalten();
    const QFontMetrics fm(m_ansicht->font());
    // A grid bound again to rows of the same columns (the lines of the next payment) changes nothing here:
    // only what differs is set, so no resize or move sets off the header's chain of updates.
    QHash<QString, int> stelle;
    for (int i = 0; i < static_cast<int>(sp.size()); ++i) {
      const QString feld = sp[i].feld.toLower();
      if (!stelle.contains(feld)) stelle.insert(feld, i);
      const auto it = st.breite.constFind(feld);
      int breite = 0;
      if (it != st.breite.constEnd()) {
        breite = it.value();
      } else {
        int zeichen = sp[i].datenBreite > 0 ? std::min(sp[i].datenBreite, 25) : 12;
        if (sp[i].typ == FeldTyp::Datum) zeichen = 10;
        breite = std::max(fm.horizontalAdvance(sp[i].titel) + 24, fm.averageCharWidth() * zeichen + 12);
      }
      if (k->sectionSize(i) != breite) k->resizeSection(i, breite);
      if (m_ansicht->isColumnHidden(i) == sp[i].sichtbar) m_ansicht->setColumnHidden(i, !sp[i].sichtbar);
    }
    int ziel = 0;
    for (const QString& feld : st.reihenfolge) {
      const auto i = stelle.constFind(feld);
      if (i == stelle.constEnd()) continue;
      const int v = k->visualIndex(i.value());
      if (v != ziel) k->moveSection(v, ziel);
      ++ziel;
    }
    m_filter->SpaltenAbgleichen(m_filterAn);
    for (int i = 0; i < m_filter->Anzahl(); ++i) m_filter->Editor(i)->installEventFilter(this);
    GanzwerteNachziehen();
    StreifenAnordnen();
  });
  // Other rows come into view (scrolled to, changed, the grid grown): an IBAN wider than the ones
  // before widens its column instead of being shortened.
  // Only the rows that are new in view or changed are measured: a grid browsed row by row or repainted
  // for its marks does not measure every row in view again.
  connect(m_ansicht->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    const auto [altVon, altBis] = m_ganzwerteImBlick;
    const auto [von, bis] = ZeilenImBlick();
    if (von < altVon) GanzwerteNachziehen(von, std::min(bis, altVon));
    if (bis > altBis) GanzwerteNachziehen(std::max(von, altBis), bis);
    m_ganzwerteImBlick = {von, bis};
  });
  connect(m_modell, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& von, const QModelIndex& bis, const QList<int>& rollen) {
            if (!rollen.isEmpty() && !rollen.contains(Qt::DisplayRole)) return;   // colours only
            if (von.isValid() && bis.isValid()) GanzwerteNachziehen(von.row(), bis.row() + 1);
            else GanzwerteNachziehen();
          });
  connect(m_modell, &QAbstractItemModel::rowsInserted, this, [this] { GanzwerteNachziehen(); });
  connect(m_modell, &QAbstractItemModel::rowsRemoved, this, [this] { GanzwerteNachziehen(); });

  connect(m_ansicht->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& neu, const QModelIndex& alt) { AktuelleZeileGewechselt(neu, alt); });
  connect(m_filter, &FilterLeiste::TextGeaendert, this, [this](int s) { FilterGetippt(s); });
  connect(m_filter, &FilterLeiste::FokusErhalten, this, [this](int spalte) {
    const int altZeile = AktuelleZeile();
    const int altSpalte = AktuelleSpalte();
    if (altSpalte != spalte && altZeile >= 0) SetzeAktuelleSpalte(spalte);
    Q_EMIT ZeileSpalteGewechselt(altZeile, altSpalte);
  });
  connect(m_ansicht, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (!i.isValid()) return;
    if (m_markeDoppelklick && !IstNeueZeile(i.row())) MarkeSetzen(i.row());
    Q_EMIT DoppelKlick(i.row());
  });

  SetzeMarkierungsstil(Markierungsstil::ZeileHervorgehoben);
}

DatenGitter::~DatenGitter() {
  // The view goes first, while the members its handlers use still live; the recordset may be
  // gone already, so nothing may read it on the way down. The view's and viewport's teardown
  // still sends events: with the filters removed and m_ansicht cleared beforehand, none of them
  // reaches code that would call into the half-destroyed view.
  QTableView* ansicht = std::exchange(m_ansicht, nullptr);
  ansicht->removeEventFilter(this);
  ansicht->viewport()->removeEventFilter(this);
  for (int i = 0; i < m_filter->Anzahl(); ++i) m_filter->Editor(i)->removeEventFilter(this);
  ansicht->selectionModel()->blockSignals(true);
  disconnect(m_modell, nullptr, this, nullptr);
  delete ansicht;
}

// --- Data -------------------------------------------------------------------------------------

void DatenGitter::SetzeRecordset(Recordset* rs) {
  if (m_offeneListe) DropDownSchliessen();
  m_delegate->EditorVerwerfen();
  const bool halten = (m_spaltenHalten || m_spaltenEntworfen) && !m_modell->Spalten().empty();
  m_modell->Binden(rs, halten);
  if (rs && !m_filterGrundGesetzt) {
    m_filterGrund = rs->AbfrageTeile().bedingung;
    m_filterSortierung = rs->AbfrageTeile().sortierung;
  }
  if (!m_marken.Leer()) {
    m_marken.Leeren();
    Q_EMIT MarkenGeaendert();
  }
  if (m_modell->rowCount() > 0) SetzeAktuelleZelle(0, std::max(0, AktuelleSpalte()));
}

Recordset* DatenGitter::Daten() const { return m_modell->Daten(); }

void DatenGitter::Aktualisieren() {
  const int spalte = AktuelleSpalte();
  // An open list belongs to the row it was opened for.
  if (m_offeneListe) DropDownSchliessen();
  m_delegate->EditorVerwerfen();
  m_modell->Neu();
  if (!m_marken.Leer()) {
    m_marken.Leeren();
    Q_EMIT MarkenGeaendert();
  }
  if (m_modell->rowCount() > 0) SetzeAktuelleZelle(0, std::max(0, spalte));
}

DbFehler DatenGitter::ZeileAktualisieren(int zeile) { return m_modell->ZeileNeu(zeile); }

void DatenGitter::LeerAnzeigen() {
  m_delegate->EditorVerwerfen();
  m_modell->LeerZeigen();
  if (!m_marken.Leer()) {
    m_marken.Leeren();
    Q_EMIT MarkenGeaendert();
  }
}

int DatenGitter::ZeilenAnzahl() const { return m_modell->DatenZeilen(); }

// --- Columns ----------------------------------------------------------------------------------

int DatenGitter::SpaltenAnzahl() const { return static_cast<int>(m_modell->Spalten().size()); }

const GitterSpalte& DatenGitter::Spalte(int spalte) const { return m_modell->Spalten().at(spalte); }

int DatenGitter::SpaltenIndex(const QString& feld) const { return m_modell->SpalteVonFeld(feld); }

int DatenGitter::SpalteHinzufuegen(const QString& feld, const QString& titel) {
  GitterSpalte s;
  s.feld = feld;
  s.titel = titel.isEmpty() ? feld : titel;
  m_modell->SpalteAufloesen(s);
  if (IstZahlTyp(s.typ)) {
    s.ausrichtung = Qt::AlignRight | Qt::AlignVCenter;
    s.editor = GitterEditor::Zahl;
  } else if (s.typ == FeldTyp::Datum) {
    s.editor = GitterEditor::Datum;
  }
  m_modell->Spalten().push_back(s);
  m_modell->SpaltenGeaendert();
  m_spaltenEntworfen = true;
  return SpaltenAnzahl() - 1;
}

void DatenGitter::SpalteEntfernen(int spalte) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten().erase(m_modell->Spalten().begin() + spalte);
  m_modell->SpaltenGeaendert();
}

void DatenGitter::SpaltenEntfernen() {
  m_spaltenEntworfen = false;
  m_modell->Spalten().clear();
  m_modell->SpaltenGeaendert();
}

void DatenGitter::SetzeDatenfeld(int spalte, const QString& feld) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  GitterSpalte& s = m_modell->Spalten()[spalte];
  s.feld = feld;
  s.datenBreite = 0;
  m_modell->SpaltenGeaendert();
}

void DatenGitter::SetzeSpaltentitel(int spalte, const QString& titel) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten()[spalte].titel = titel;
  Q_EMIT m_modell->headerDataChanged(Qt::Horizontal, spalte, spalte);
  if (Spaltenbreite(spalte) < Mindestbreite(spalte)) SetzeSpaltenbreite(spalte, Mindestbreite(spalte));
}

void DatenGitter::SetzeSpaltenfolge(const QStringList& felder) {
  QHeaderView* k = m_ansicht->horizontalHeader();
  int ziel = 0;
  for (const QString& feld : felder) {
    const int spalte = SpaltenIndex(feld);
    if (spalte < 0) continue;
    k->moveSection(k->visualIndex(spalte), ziel++);
  }
}

int DatenGitter::SichtbareSpaltenBis(const QString& feld) const {
  const int spalte = SpaltenIndex(feld);
  const QHeaderView* k = m_ansicht->horizontalHeader();
  if (spalte < 0 || k->isSectionHidden(spalte)) return 0;
  int anzahl = 0;
  for (int vis = 0; vis <= k->visualIndex(spalte); ++vis)
    if (!k->isSectionHidden(k->logicalIndex(vis))) ++anzahl;
  return anzahl;
}

int DatenGitter::Mindestbreite(int spalte) const {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return 0;
  const QHeaderView* k = m_ansicht->horizontalHeader();
  const int rand = k->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, k);
  const GitterSpalte& s = m_modell->Spalten()[spalte];
  int breite = QFontMetrics(k->font()).horizontalAdvance(s.titel) + 2 * rand + 6;
  if (Fussleiste() && !s.fussText.isEmpty()) breite = std::max(breite, m_fuss->Textbreite(s.fussText));
  if (s.Betraege()) breite = std::max(breite, Textbreite(GitterFormatierung::GroessterBetrag(s.format, s.muster)));
  if (s.Ganzwerte()) {
    const auto [von, bis] = ZeilenImBlick();
    for (int z = von; z < bis; ++z) breite = std::max(breite, Textbreite(m_modell->Text(z, spalte)));
  }
  return breite;
}

void DatenGitter::GanzwerteNachziehen() {
  if (!m_ansicht) return;
  QHeaderView* k = m_ansicht->horizontalHeader();
  for (int i = 0; i < SpaltenAnzahl(); ++i) {
    if (k->isSectionHidden(i) || !m_modell->Spalten()[i].Ganzwerte()) continue;
    if (const int noetig = Mindestbreite(i); k->sectionSize(i) < noetig) k->resizeSection(i, noetig);
  }
  m_ganzwerteImBlick = ZeilenImBlick();
}

void DatenGitter::GanzwerteNachziehen(int von, int bis) {
  if (!m_ansicht) return;
  const auto [blickVon, blickBis] = ZeilenImBlick();
  von = std::max(von, blickVon);
  bis = std::min(bis, blickBis);
  QHeaderView* k = m_ansicht->horizontalHeader();
  for (int i = 0; i < SpaltenAnzahl() && von < bis; ++i) {
    if (k->isSectionHidden(i) || !m_modell->Spalten()[i].Ganzwerte()) continue;
    int breite = 0;
    for (int z = von; z < bis; ++z) breite = std::max(breite, Textbreite(m_modell->Text(z, i)));
    // The column met its other needs before; a wider value makes it take them all again.
    if (k->sectionSize(i) < breite) k->resizeSection(i, std::max(breite, Mindestbreite(i)));
  }
}

std::pair<int, int> DatenGitter::ZeilenImBlick() const {
  const int anzahl = m_modell->rowCount();
  if (anzahl == 0) return {0, 0};
  const int hoehe = std::max(1, m_ansicht->verticalHeader()->defaultSectionSize());
  const int von = std::max(0, m_ansicht->rowAt(0));
  const int sichtbar = m_ansicht->viewport()->height() > hoehe ? m_ansicht->viewport()->height() / hoehe + 1 : 40;
  return {von, std::min(anzahl, von + sichtbar)};
}

int DatenGitter::Textbreite(const QString& text) const {
  // Measured again for every row that comes into view: the same amounts and codes come back often.
  if (m_breitenSchrift != m_ansicht->font() || m_breiten.size() > 20000) {
    m_breiten.clear();
    m_breitenSchrift = m_ansicht->font();
  }
  const auto it = m_breiten.constFind(text);
  if (it != m_breiten.constEnd()) return it.value();
  const int breite = ZellTextbreite(*m_ansicht, text);
  m_breiten.insert(text, breite);
  return breite;
}

int DatenGitter::Zellbreite(int spalte) const { return m_ansicht->columnWidth(spalte); }

QString DatenGitter::ZellAnzeige(int zeile, int spalte) const {
  const QString text = m_modell->Text(zeile, spalte);
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return text;
  if (const GitterSpalte& s = m_modell->Spalten()[spalte]; !s.Zahlen() && !s.Ganzwerte()) return text;
  return Textbreite(text) > Zellbreite(spalte) ? QStringLiteral("###") : text;
}

QString DatenGitter::ZellTipp(int zeile, int spalte) const {
  const QString text = m_modell->Text(zeile, spalte);
  return Textbreite(text) > Zellbreite(spalte) ? text : QString();
}


void DatenGitter::SetzeSpalteSichtbar(int spalte, bool sichtbar) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten()[spalte].sichtbar = sichtbar;
  m_ansicht->setColumnHidden(spalte, !sichtbar);
  if (sichtbar && Spaltenbreite(spalte) < Mindestbreite(spalte)) SetzeSpaltenbreite(spalte, Mindestbreite(spalte));
  StreifenAnordnen();
}

bool DatenGitter::SpalteSichtbar(int spalte) const {
  return spalte >= 0 && spalte < SpaltenAnzahl() && m_modell->Spalten()[spalte].sichtbar;
}

void DatenGitter::SetzeSpaltenformat(int spalte, GitterFormat format, const QString& muster) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  GitterSpalte& s = m_modell->Spalten()[spalte];
  s.format = format;
  s.muster = muster;
  if (format == GitterFormat::Standard || format == GitterFormat::Muster) s.ausrichtung = Qt::AlignRight | Qt::AlignVCenter;
  m_modell->ZeileAktualisiert(-1);
  Q_EMIT m_modell->headerDataChanged(Qt::Horizontal, spalte, spalte);
  m_ansicht->viewport()->update();
}

void DatenGitter::SetzeSpaltenEditor(int spalte, GitterEditor editor) {
  if (spalte >= 0 && spalte < SpaltenAnzahl()) m_modell->Spalten()[spalte].editor = editor;
}

void DatenGitter::SetzeSpalteGesperrt(int spalte, bool gesperrt) {
  if (spalte >= 0 && spalte < SpaltenAnzahl()) m_modell->Spalten()[spalte].gesperrt = gesperrt;
}

void DatenGitter::SetzeAusrichtung(int spalte, Qt::Alignment a) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten()[spalte].ausrichtung = a;
  Q_EMIT m_modell->headerDataChanged(Qt::Horizontal, spalte, spalte);
  m_ansicht->viewport()->update();
  m_fuss->update();
}

void DatenGitter::SetzeDatenBreite(int spalte, int zeichen) {
  if (spalte >= 0 && spalte < SpaltenAnzahl()) m_modell->Spalten()[spalte].datenBreite = zeichen;
}

int DatenGitter::DatenBreite(int spalte) const {
  return spalte >= 0 && spalte < SpaltenAnzahl() ? m_modell->Spalten()[spalte].datenBreite : 0;
}

void DatenGitter::SetzeSpaltenbreite(int spalte, int pixel) { m_ansicht->setColumnWidth(spalte, pixel); }
int DatenGitter::Spaltenbreite(int spalte) const { return m_ansicht->columnWidth(spalte); }

void DatenGitter::SetzeSpaltenStrecken(bool an) { m_strecken = an; }
void DatenGitter::SetzeTabInZellen(bool an) { m_ansicht->setTabKeyNavigation(an); }

namespace {

std::vector<float> ProzenteVon(const QTableView* v) {
  std::vector<float> p;
  const QHeaderView* k = v->horizontalHeader();
  const int breite = v->viewport()->width();
  if (breite <= 0) return p;
  for (int vis = 0; vis < k->count(); ++vis) {
    const int i = k->logicalIndex(vis);
    if (k->isSectionHidden(i)) continue;
    p.push_back(static_cast<float>(k->sectionSize(i)) * 100.0f / static_cast<float>(breite));
  }
  return p;
}

// Sets the visible columns (in visual order) to take `breite` in all in the proportions of `anteile`, none
// below its minimum: a column that would fall below it keeps the minimum and the others share the
// rest. Rounded at the column edges, not per column, so that the widths add up to `breite` exactly
// (a few pixels more would bring up the horizontal scroll bar). When even the minimums do not fit,
// every column gets its minimum and the grid scrolls.
void BreitenVerteilen(QHeaderView* k, const std::vector<double>& anteile, int breite,
                      const std::function<int(int)>& mindestbreite) {
  std::vector<int> spalten;
  for (int vis = 0; vis < k->count() && spalten.size() < anteile.size(); ++vis) {
    const int i = k->logicalIndex(vis);
    if (!k->isSectionHidden(i)) spalten.push_back(i);
  }
  const std::size_t n = spalten.size();
  std::vector<int> mindest(n);
  std::vector<bool> fest(n, false);
  for (std::size_t j = 0; j < n; ++j) mindest[j] = std::max(1, mindestbreite(spalten[j]));
  double frei = breite;
  double summe = 0;
  for (std::size_t j = 0; j < n; ++j) summe += std::max(0.0, anteile[j]);
  for (bool weiter = true; weiter;) {
    weiter = false;
    for (std::size_t j = 0; j < n; ++j) {
      if (fest[j] || summe <= 0 || std::max(0.0, anteile[j]) * frei / summe >= mindest[j]) continue;
      fest[j] = true;
      frei -= mindest[j];
      summe -= std::max(0.0, anteile[j]);
      weiter = true;
    }
  }
  double bisher = 0;
  long kante = 0;
  for (std::size_t j = 0; j < n; ++j) {
    if (fest[j] || frei <= 0 || summe <= 0) {
      k->resizeSection(spalten[j], mindest[j]);
      continue;
    }
    bisher += std::max(0.0, anteile[j]);
    const long neueKante = std::lround(frei * bisher / summe);
    k->resizeSection(spalten[j], std::max(mindest[j], static_cast<int>(neueKante - kante)));
    kante = neueKante;
  }
}

void ProzenteAnwenden(QTableView* v, const std::vector<float>& p,
                      const std::function<int(int)>& mindestbreite = [](int) { return 1; }) {
  // Shares that add up to less than 100 % leave the rest of the width free, as they did when stored.
  double summe = 0;
  for (float anteil : p) summe += anteil;
  BreitenVerteilen(v->horizontalHeader(), std::vector<double>(p.begin(), p.end()),
                   static_cast<int>(std::lround(v->viewport()->width() * summe / 100.0)), mindestbreite);
}

// A grid wider than its view: the columns that fit whole share what is left of the view's width, so that
// the first one beyond starts at the view's right edge instead of showing its left part there ("5.94" of
// 5.942,13, "-591.14" of the sum beneath); it is reached by scrolling.
void AnDerKanteEnden(QHeaderView* k, int sicht) {
  std::vector<int> spalten;
  long summe = 0;
  for (int vis = 0; vis < k->count(); ++vis) {
    const int i = k->logicalIndex(vis);
    if (k->isSectionHidden(i)) continue;
    spalten.push_back(i);
    summe += k->sectionSize(i);
  }
  if (sicht <= 0 || summe <= sicht) return;
  std::size_t n = 0;
  long vorne = 0;
  while (n < spalten.size() && vorne + k->sectionSize(spalten[n]) <= sicht) vorne += k->sectionSize(spalten[n++]);
  if (n == 0 || vorne == sicht) return;
  const long rest = sicht - vorne;
  long bisher = 0;
  long kante = 0;
  for (std::size_t j = 0; j < n; ++j) {
    const int alt = k->sectionSize(spalten[j]);
    bisher += alt;
    const long neueKante = std::lround(double(rest) * double(bisher) / double(vorne));
    k->resizeSection(spalten[j], alt + int(neueKante - kante));
    kante = neueKante;
  }
}

}  // namespace

void DatenGitter::SpaltenEinpassen() { SpaltenSkalieren(1.0, m_ansicht->viewport()->width()); }

// The visible columns scaled by `faktor`, or to `gesamt` pixels in all when it is given.
void DatenGitter::SpaltenSkalieren(double faktor, std::optional<int> gesamt) {
  QHeaderView* k = m_ansicht->horizontalHeader();
  std::vector<double> anteile;
  double summe = 0;
  for (int vis = 0; vis < k->count(); ++vis) {
    if (const int i = k->logicalIndex(vis); !k->isSectionHidden(i)) {
      anteile.push_back(k->sectionSize(i));
      summe += k->sectionSize(i);
    }
  }
  BreitenVerteilen(k, anteile, gesamt.value_or(static_cast<int>(std::lround(summe * faktor))),
                   [this](int spalte) { return Mindestbreite(spalte); });
  AnDerKanteEnden(k, m_ansicht->viewport()->width());
}

std::vector<float> DatenGitter::SpaltenProzente() const { return ProzenteVon(m_ansicht); }

void DatenGitter::SpaltenProzenteAnwenden(const std::vector<float>& prozente) {
  ProzenteAnwenden(m_ansicht, prozente, [this](int spalte) { return Mindestbreite(spalte); });
  AnDerKanteEnden(m_ansicht->horizontalHeader(), m_ansicht->viewport()->width());
}

std::vector<DatenGitter::Inhaltsbreite> DatenGitter::Inhaltsbreiten(int hoechstensZeichen) const {
  const QHeaderView* k = m_ansicht->horizontalHeader();
  const int hoechstens = QFontMetrics(m_ansicht->font()).averageCharWidth() * hoechstensZeichen;
  const auto [von, bis] = ZeilenImBlick();
  std::vector<Inhaltsbreite> breiten;
  for (int vis = 0; vis < k->count(); ++vis) {
    const int i = k->logicalIndex(vis);
    if (k->isSectionHidden(i)) continue;
    // The header has a smallest section of its own.
    const int titel = std::max(Mindestbreite(i), k->minimumSectionSize());
    int inhalt = titel;
    bool fliesstext = false;
    for (int z = von; z < bis; ++z) {
      const QString text = m_modell->Text(z, i);
      fliesstext = fliesstext || text.trimmed().contains(QLatin1Char(' '));
      inhalt = std::max(inhalt, std::min(Textbreite(text), std::max(titel, hoechstens)));
    }
    breiten.push_back({i, inhalt, fliesstext ? titel : inhalt});
  }
  return breiten;
}

int DatenGitter::InhaltsBreite(int vorne, int hoechstensZeichen) const {
  const std::vector<Inhaltsbreite> breiten = Inhaltsbreiten(hoechstensZeichen);
  const std::size_t passend = vorne > 0 ? std::min(breiten.size(), std::size_t(vorne)) : breiten.size();
  int summe = 0;
  for (std::size_t j = 0; j < passend; ++j) summe += breiten[j].inhalt;
  const QScrollBar* senkrecht = m_ansicht->verticalScrollBar();
  return summe + m_ansicht->verticalHeader()->width() + 2 * m_ansicht->frameWidth() +
         (senkrecht->isVisible() ? senkrecht->width() : 0);
}

void DatenGitter::SpaltenNachInhalt(int vorne, int hoechstensZeichen) {
  QHeaderView* k = m_ansicht->horizontalHeader();
  const std::vector<Inhaltsbreite> breiten = Inhaltsbreiten(hoechstensZeichen);
  if (breiten.empty()) return;
  const std::size_t passend = vorne > 0 ? std::min(breiten.size(), std::size_t(vorne)) : breiten.size();
  int alle = 0;
  int summe = 0;
  for (std::size_t j = 0; j < breiten.size(); ++j) {
    alle += breiten[j].inhalt;
    if (j < passend) summe += breiten[j].inhalt;
  }
  const int platz = m_ansicht->viewport()->width();
  if (alle <= platz) {
    // Everything fits: the free room is shared in proportion to the content.
    std::vector<double> anteile;
    for (const Inhaltsbreite& b : breiten) anteile.push_back(b.inhalt);
    BreitenVerteilen(k, anteile, platz, [this](int spalte) { return Mindestbreite(spalte); });
    return;
  }
  for (std::size_t j = passend; j < breiten.size(); ++j) k->resizeSection(breiten[j].spalte, breiten[j].inhalt);
  if (summe <= platz) {
    for (std::size_t j = 0; j < passend; ++j) k->resizeSection(breiten[j].spalte, breiten[j].inhalt);
    AnDerKanteEnden(k, platz);
    return;
  }
  // Too narrow: running text gives way, the widest first (a short name stays whole while a long one
  // is shortened): the texts are cut at one common width, none below its caption.
  int fest = 0;
  int hoch = 0;
  for (std::size_t j = 0; j < passend; ++j) {
    if (breiten[j].mindestens == breiten[j].inhalt) fest += breiten[j].inhalt;
    else hoch = std::max(hoch, breiten[j].inhalt);
  }
  auto belegt = [&](int grenze) {
    int summe = fest;
    for (std::size_t j = 0; j < passend; ++j)
      if (breiten[j].mindestens != breiten[j].inhalt)
        summe += std::max(breiten[j].mindestens, std::min(breiten[j].inhalt, grenze));
    return summe;
  };
  int niedrig = 0;
  while (niedrig < hoch) {   // the largest common width that fits
    const int mitte = (niedrig + hoch + 1) / 2;
    if (belegt(mitte) <= platz) niedrig = mitte;
    else hoch = mitte - 1;
  }
  for (std::size_t j = 0; j < passend; ++j) {
    const Inhaltsbreite& b = breiten[j];
    k->resizeSection(b.spalte, b.mindestens == b.inhalt ? b.inhalt : std::max(b.mindestens, std::min(b.inhalt, niedrig)));
  }
  AnDerKanteEnden(k, platz);
}

void FensterFuerSpaltenVerbreitern(QWidget& fenster, DatenGitter& gitter, int vorne) {
  const int fehlt = gitter.InhaltsBreite(vorne) - gitter.width();
  if (fehlt > 0 && fenster.screen() && !fenster.isMaximized()) {
    const QRect platz = fenster.screen()->availableGeometry();
    // The frame as it will be (the window system reports a new size, and the frame of a window not yet
    // mapped, only later): at most as wide as the screen, the frame included.
    const QMargins rand = FensterRahmen(&fenster);
    const QRect rahmen = fenster.geometry().marginsAdded(rand);
    const int hoechstens = platz.width() - rand.left() - rand.right();
    const int breite = std::min(fenster.width() + fehlt, std::max(fenster.width(), hoechstens));
    const int rahmenBreite = breite + rand.left() + rand.right();
    fenster.resize(breite, fenster.height());
    if (fenster.layout()) fenster.layout()->activate();
    if (rahmen.left() + rahmenBreite - 1 > platz.right())
      fenster.move(std::max(platz.left(), platz.right() - rahmenBreite + 1), fenster.pos().y());
  }
  gitter.SpaltenNachInhalt(vorne);
}

void SpaltenbreitenVerwalten(DatenGitter& gitter, std::vector<float>& prozente, bool speichern) {
  if (speichern) prozente = gitter.SpaltenProzente();
  else gitter.SpaltenProzenteAnwenden(prozente);
}

void SpaltenbreitenVerwalten(GitterDropDown& liste, std::vector<float>& prozente, bool speichern) {
  if (speichern) prozente = ProzenteVon(liste.Ansicht());
  else ProzenteAnwenden(liste.Ansicht(), prozente, [&liste](int spalte) { return liste.Mindestbreite(spalte); });
}

QString DatenGitter::LayoutAbschnitt(const QString& name) const {
  return QStringLiteral("Tabellenlayout ") + name;
}

bool DatenGitter::LayoutSpeichern(const QString& nameArg) const {
  const QString name = nameArg.isEmpty() ? m_layoutName : nameArg;
  if (name.isEmpty()) return false;
  const QHeaderView* k = m_ansicht->horizontalHeader();
  QList<QPair<QString, QString>> werte;
  int n = 0;
  for (int vis = 0; vis < k->count(); ++vis) {
    const int i = k->logicalIndex(vis);
    const GitterSpalte& s = m_modell->Spalten()[i];
    ++n;
    const QString nr = QString::number(n);
    werte << qMakePair(QStringLiteral("Feld") + nr, s.feld) << qMakePair(QStringLiteral("Titel") + nr, s.titel)
          << qMakePair(QStringLiteral("Breite") + nr, QString::number(k->sectionSize(i)))
          << qMakePair(QStringLiteral("Sichtbar") + nr, s.sichtbar ? QStringLiteral("1") : QStringLiteral("0"));
  }
  werte << qMakePair(QStringLiteral("Anzahl"), QString::number(n));
  if (!m_layoutDatei.isEmpty()) {
    QSettings ini(m_layoutDatei, QSettings::IniFormat);
    ini.remove(name);
    ini.beginGroup(name);
    for (const auto& [schluessel, wert] : werte) ini.setValue(schluessel, wert);
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
  }
  Registrierung& reg = Registrierung::Instanz();
  reg.Loeschen(LayoutAbschnitt(name));
  for (const auto& [schluessel, wert] : werte) reg.Schreiben(LayoutAbschnitt(name), schluessel, wert);
  return reg.Sichern();
}

bool DatenGitter::LayoutLaden(const QString& nameArg) {
  const QString name = nameArg.isEmpty() ? m_layoutName : nameArg;
  if (name.isEmpty()) return false;
  std::function<QString(const QString&)> lesen;
  std::unique_ptr<QSettings> ini;
  if (!m_layoutDatei.isEmpty()) {
    ini = std::make_unique<QSettings>(m_layoutDatei, QSettings::IniFormat);
    QSettings* p = ini.get();
    lesen = [p, name](const QString& s) { return p->value(name + QLatin1Char('/') + s).toString(); };
  } else {
    const QString abschnitt = LayoutAbschnitt(name);
    lesen = [abschnitt](const QString& s) { return Registrierung::Instanz().Lesen(abschnitt, s); };
  }
  bool ok = false;
  // A stored layout beyond any grid's columns is damaged or foreign: the grid keeps its own (a count of two
  // billion once meant as many reads of the settings).
  constexpr int HoechsteSpalten = 500;
  constexpr int HoechsteBreite = 20000;
  const int n = lesen(QStringLiteral("Anzahl")).toInt(&ok);
  if (!ok || n <= 0 || n > HoechsteSpalten) return false;
  QHeaderView* k = m_ansicht->horizontalHeader();
  for (int j = 1; j <= n; ++j) {
    const QString nr = QString::number(j);
    const QString feld = lesen(QStringLiteral("Feld") + nr);
    int i = -1;
    for (int s = 0; s < SpaltenAnzahl(); ++s)
      if (m_modell->Spalten()[s].feld.compare(feld, Qt::CaseInsensitive) == 0) i = s;
    if (i < 0) i = SpalteHinzufuegen(feld);
    SetzeSpaltentitel(i, lesen(QStringLiteral("Titel") + nr));
    SetzeSpalteSichtbar(i, lesen(QStringLiteral("Sichtbar") + nr) != QStringLiteral("0"));
    const int breite = lesen(QStringLiteral("Breite") + nr).toInt();
    if (breite > 0 && breite <= HoechsteBreite) k->resizeSection(i, breite);
    const int v = k->visualIndex(i);
    if (v != j - 1) k->moveSection(v, j - 1);
  }
  StreifenAnordnen();
  return true;
}

// --- Current cell -----------------------------------------------------------------------------

int DatenGitter::AktuelleZeile() const {
  const QModelIndex i = m_ansicht->currentIndex();
  return i.isValid() ? i.row() : -1;
}

int DatenGitter::AktuelleSpalte() const {
  const QModelIndex i = m_ansicht->currentIndex();
  return i.isValid() ? i.column() : -1;
}

void DatenGitter::SetzeAktuelleZelle(int zeile, int spalte) {
  if (zeile < 0 || zeile >= m_modell->rowCount() || SpaltenAnzahl() == 0) return;
  spalte = std::clamp(spalte, 0, SpaltenAnzahl() - 1);
  // A hidden column cannot be current: take the first visible one from there.
  const QHeaderView* k = m_ansicht->horizontalHeader();
  if (k->isSectionHidden(spalte)) {
    for (int v = 0; v < k->count(); ++v) {
      const int i = k->logicalIndex(v);
      if (!k->isSectionHidden(i)) {
        spalte = i;
        break;
      }
    }
  }
  const QModelIndex idx = m_modell->index(zeile, spalte);
  m_ansicht->setCurrentIndex(idx);
  m_ansicht->scrollTo(idx);
}

void DatenGitter::SetzeAktuelleSpalte(int spalte) {
  const int z = AktuelleZeile();
  if (z >= 0) {
    SetzeAktuelleZelle(z, spalte);
  } else if (m_modell->rowCount() > 0) {
    SetzeAktuelleZelle(0, spalte);
  }
}

QVariant DatenGitter::Wert(int zeile, int spalte) const { return m_modell->Rohwert(zeile, spalte); }
QVariant DatenGitter::Wert(int zeile, const QString& feld) const { return m_modell->Feldwert(zeile, feld); }
QString DatenGitter::ZellText(int zeile, int spalte) const { return m_modell->Text(zeile, spalte); }
QVariant DatenGitter::Schluessel(int zeile) const { return m_modell->Schluessel(zeile); }

int DatenGitter::ZeileVonSchluessel(const QVariant& schluessel) const {
  Recordset* rs = Daten();
  if (!rs || m_modell->ZeigtLeer()) return -1;
  return rs->ZeileVonSchluessel(schluessel);
}

std::vector<int> DatenGitter::AusgewaehlteZeilen() const {
  std::vector<int> zeilen;
  for (const QModelIndex& i : m_ansicht->selectionModel()->selectedRows())
    if (!IstNeueZeile(i.row())) zeilen.push_back(i.row());
  std::sort(zeilen.begin(), zeilen.end());
  return zeilen;
}

// --- Look -------------------------------------------------------------------------------------

void DatenGitter::SetzeZellStil(ZellStilFunktion f) {
  m_modell->SetzeZellStil(std::move(f));
  m_ansicht->viewport()->update();
}

void DatenGitter::SetzeWechselndeZeilen(bool an) { m_ansicht->setAlternatingRowColors(an); }
bool DatenGitter::WechselndeZeilen() const { return m_ansicht->alternatingRowColors(); }

void DatenGitter::SetzeMarkierungsstil(Markierungsstil stil) {
  m_stil = stil;
  switch (stil) {
    case Markierungsstil::ZeileHervorgehoben:
      m_delegate->EditorVerwerfen();
      m_ansicht->setSelectionBehavior(QAbstractItemView::SelectRows);
      m_ansicht->setSelectionMode(QAbstractItemView::SingleSelection);
      m_ansicht->setEditTriggers(QAbstractItemView::NoEditTriggers);
      break;
    case Markierungsstil::SchwebenderEditor:
      m_ansicht->setSelectionBehavior(QAbstractItemView::SelectItems);
      m_ansicht->setSelectionMode(QAbstractItemView::SingleSelection);
      m_ansicht->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
      break;
    case Markierungsstil::Zeilenauswahl:
      m_delegate->EditorVerwerfen();
      m_ansicht->setSelectionBehavior(QAbstractItemView::SelectRows);
      m_ansicht->setSelectionMode(QAbstractItemView::ExtendedSelection);
      m_ansicht->setEditTriggers(QAbstractItemView::NoEditTriggers);
      break;
    case Markierungsstil::Keiner:
      m_delegate->EditorVerwerfen();
      m_ansicht->setSelectionMode(QAbstractItemView::NoSelection);
      m_ansicht->setEditTriggers(QAbstractItemView::NoEditTriggers);
      break;
  }
  const QModelIndex i = m_ansicht->currentIndex();
  m_ansicht->clearSelection();
  if (i.isValid() && stil != Markierungsstil::Keiner)
    m_ansicht->selectionModel()->select(i, QItemSelectionModel::Select |
                                               (stil == Markierungsstil::SchwebenderEditor ? QItemSelectionModel::NoUpdate
                                                                                           : QItemSelectionModel::Rows));
}

void DatenGitter::SetzeSchrift(const QFont& f) {
  setFont(f);
  m_ansicht->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 6);
  m_filter->setFixedHeight(m_filter->sizeHint().height());
  m_fuss->setFixedHeight(m_fuss->sizeHint().height());
  StreifenAnordnen();
}

// --- Footers ----------------------------------------------------------------------------------

void DatenGitter::SetzeFussleiste(bool an) {
  m_fuss->setVisible(an);
  StreifenAnordnen();
}

bool DatenGitter::Fussleiste() const { return !m_fuss->isHidden(); }

void DatenGitter::SetzeFussText(int spalte, const QString& text) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  QString& fuss = m_modell->Spalten()[spalte].fussText;
  if (fuss == text) return;
  fuss = text;
  // A total is never cut off: its column takes the room from the others, the grid keeps its width. (The
  // caption needs no look here: no column is ever narrower than its caption.)
  if (Fussleiste() && !m_ansicht->isColumnHidden(spalte) && Spaltenbreite(spalte) < m_fuss->Textbreite(text))
    SpaltenSkalieren(1.0);
  m_fuss->update();
}

QString DatenGitter::FussText(int spalte) const {
  return spalte >= 0 && spalte < SpaltenAnzahl() ? m_modell->Spalten()[spalte].fussText : QString();
}

void DatenGitter::SetzeFussFarbe(int spalte, const QColor& farbe) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten()[spalte].fussFarbe = farbe;
  m_fuss->update();
}

std::optional<QColor> DatenGitter::FussFarbe(int spalte) const {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return std::nullopt;
  return m_modell->Spalten()[spalte].fussFarbe;
}

// --- Filter bar -------------------------------------------------------------------------------

void DatenGitter::SetzeFilterleiste(bool an) {
  m_filterAn = an;
  m_filter->SpaltenAbgleichen(an);
  for (int i = 0; i < m_filter->Anzahl(); ++i) m_filter->Editor(i)->installEventFilter(this);
  if (!an && m_filter->FokusSpalte() >= 0) m_ansicht->setFocus();
  m_filter->setVisible(an);
  StreifenAnordnen();
}

QString DatenGitter::FilterText(int spalte) const { return m_filter->Text(spalte); }

void DatenGitter::SetzeFilterText(int spalte, const QString& text) {
  if (m_filter->Anzahl() != SpaltenAnzahl()) m_filter->SpaltenAbgleichen();
  m_filter->SetzeText(spalte, text);
}

void DatenGitter::FilterTexteLeeren() { m_filter->Leeren(); }

bool DatenGitter::ImFilter() const { return m_filterAn && m_filter->FokusSpalte() >= 0; }

void DatenGitter::FilterZelleBearbeiten(int spalte, bool allesMarkieren) {
  QLineEdit* e = m_filter->Editor(spalte);
  if (!e || !m_filterAn) return;
  e->setFocus(Qt::OtherFocusReason);
  if (allesMarkieren) {
    e->selectAll();
  } else {
    e->deselect();
    e->setCursorPosition(static_cast<int>(e->text().size()));
  }
}

std::vector<GitterFilterSpalte> DatenGitter::FilterSpalten() const {
  std::vector<GitterFilterSpalte> aus;
  Recordset* rs = Daten();
  for (int i = 0; i < SpaltenAnzahl() && i < m_filter->Anzahl(); ++i) {
    const QString text = m_filter->Text(i);
    if (text.trimmed().isEmpty()) continue;
    const GitterSpalte& s = m_modell->Spalten()[i];
    GitterFilterSpalte f;
    f.spalte = i;
    f.feld = s.feld;
    f.typ = s.typ;
    f.text = text;
    if (rs && s.rsSpalte >= 0) {
      const SpaltenInfo& info = rs->Spalte(s.rsSpalte);
      f.feld = info.name;
      f.quellTabelle = info.quellTabelle;
      f.quellFeld = info.quellFeld;
    }
    aus.push_back(f);
  }
  return aus;
}

void DatenGitter::SetzeStandardFilterErsteller(FilterBedingungsErsteller f) { StandardErsteller() = std::move(f); }

Bedingung DatenGitter::FilterBedingung(bool qualifiziert, DbFehler* fehler) const {
  const auto spalten = FilterSpalten();
  if (spalten.empty()) return {};
  const FilterBedingungsErsteller& ersteller = m_filterErsteller ? m_filterErsteller : StandardErsteller();
  if (!ersteller) {
    if (fehler) *fehler = DbFehler{DbFehlerNr::UngueltigerBezeichner, QStringLiteral("Keine Filterbedingung eingerichtet")};
    return Bedingung(SqlText("0 = 1"));
  }
  return ersteller(spalten, qualifiziert);
}

void DatenGitter::SetzeFilterGrundlage(const Bedingung& grund, const SqlText& sortierung) {
  m_filterGrund = grund;
  m_filterSortierung = sortierung;
  m_filterGrundGesetzt = true;
}

void DatenGitter::FilterGetippt(int spalte) {
  m_filterSpalte = spalte;
  if (m_filterAusstehend) return;   // one posted event serves every change typed before it runs
  m_filterAusstehend = true;
  QMetaObject::invokeMethod(this, [this] { FilterEreignis(); }, Qt::QueuedConnection);
}

void DatenGitter::FilterEreignis() {
  if (!m_filterAusstehend) return;
  m_filterAusstehend = false;
  Q_EMIT FilterGeaendert(m_filterSpalte);
  FilterAnwenden();
}

bool DatenGitter::FilterAnwenden() {
  m_filterAusstehend = false;
  int spalte = m_filter->FokusSpalte();
  if (spalte < 0) spalte = m_filterSpalte;
  DbFehler fehler;
  const Bedingung filter = FilterBedingung(m_filterQualifiziert, &fehler);
  if (ZeileAusstehend()) ZeileVerwerfen();
  Recordset* vorher = Daten();
  if (!fehler && m_filterBehandlung) {
    fehler = m_filterBehandlung(filter, spalte);
    if (!fehler && Daten() == vorher) Aktualisieren();
  } else if (!fehler && vorher) {
    fehler = vorher->Requery(m_filterGrund.Und(filter), m_filterSortierung);
    if (!fehler) Aktualisieren();
  }
  if (fehler) {
    LeerAnzeigen();
    Q_EMIT AbfrageFehlgeschlagen(fehler);
  }
  if (spalte >= 0) {
    if (m_modell->rowCount() > 0) SetzeAktuelleSpalte(spalte);
    FilterZelleBearbeiten(spalte, m_filterMarkieren);
  }
  Q_EMIT FilterAngewendet(spalte);
  return !fehler;
}

// --- Marks ------------------------------------------------------------------------------------

bool DatenGitter::MarkeSetzen(int zeile) {
  if (!m_marken.Setzen(Schluessel(zeile))) return false;
  m_modell->ZeileAktualisiert(zeile);
  Q_EMIT MarkenGeaendert();
  return true;
}

bool DatenGitter::MarkeEntfernen(int zeile) {
  if (!m_marken.Entfernen(Schluessel(zeile))) return false;
  m_modell->ZeileAktualisiert(zeile);
  Q_EMIT MarkenGeaendert();
  return true;
}

bool DatenGitter::MarkeUmschalten(int zeile) {
  const QVariant s = Schluessel(zeile);
  if (!s.isValid() || s.isNull()) return false;
  const bool an = m_marken.Umschalten(s);
  m_modell->ZeileAktualisiert(zeile);
  Q_EMIT MarkenGeaendert();
  return an;
}

bool DatenGitter::IstMarkiert(int zeile) const {
  const QVariant s = Schluessel(zeile);
  return s.isValid() && m_marken.Enthaelt(s);
}

void DatenGitter::MarkenLeeren() {
  if (m_marken.Leer()) return;
  m_marken.Leeren();
  m_modell->MarkenNeuZeichnen();
  Q_EMIT MarkenGeaendert();
}

void DatenGitter::AlleMarkieren() {
  const int n = ZeilenAnzahl();
  for (int z = 0; z < n; ++z) m_marken.Setzen(Schluessel(z));
  m_modell->MarkenNeuZeichnen();
  Q_EMIT MarkenGeaendert();
}

QAbstractButton* DatenGitter::Ecke() const {
  // The table view's own corner button (its only direct button child).
  return m_ansicht->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
}

void DatenGitter::SetzeMarkierenPerEcke(bool an) {
  QAbstractButton* ecke = Ecke();
  if (!ecke) return;
  m_ansicht->setCornerButtonEnabled(true);
  disconnect(ecke, &QAbstractButton::clicked, this, nullptr);
  if (an) connect(ecke, &QAbstractButton::clicked, this, [this] { AlleMarkieren(); });
}

// --- Drop-downs -------------------------------------------------------------------------------

void DatenGitter::SetzeDropDown(int spalte, GitterDropDown* liste) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten()[spalte].dropDown = liste;
  if (liste) {
    if (liste->property("gitterVerbunden").value<QObject*>() != this) {
      liste->setProperty("gitterVerbunden", QVariant::fromValue<QObject*>(this));
      connect(liste, &GitterDropDown::Gewaehlt, this, [this, liste](const QVariant& w) {
        if (m_offeneListe == liste || m_offeneListe == nullptr) DropDownGewaehlt(w);
      });
      connect(liste, &GitterDropDown::Geschlossen, this, [this, liste] {
        if (m_offeneListe == liste) m_offeneListe = nullptr;
      });
    }
  }
}

GitterDropDown* DatenGitter::DropDown(int spalte) const {
  return spalte >= 0 && spalte < SpaltenAnzahl() ? m_modell->Spalten()[spalte].dropDown : nullptr;
}

bool DatenGitter::DropDownOffen() const { return m_offeneListe && m_offeneListe->Offen(); }

bool DatenGitter::DropDownOeffnen() {
  const int zeile = AktuelleZeile();
  const int spalte = AktuelleSpalte();
  GitterDropDown* liste = DropDown(spalte);
  if (!liste || zeile < 0) return false;
  const QModelIndex idx = m_modell->index(zeile, spalte);
  m_ansicht->scrollTo(idx);
  const QRect r = m_ansicht->visualRect(idx);
  const QRect global(m_ansicht->viewport()->mapToGlobal(r.topLeft()), r.size());
  QVariant wert = Wert(zeile, spalte);
  if (auto* e = qobject_cast<QLineEdit*>(m_delegate->OffenerEditor())) wert = e->text();
  m_offeneListe = liste;
  liste->Oeffnen(global, wert);
  return true;
}

void DatenGitter::DropDownSchliessen() {
  if (m_offeneListe) m_offeneListe->Schliessen();
  m_offeneListe = nullptr;
}

void DatenGitter::DropDownGewaehlt(const QVariant& wert) {
  m_offeneListe = nullptr;
  const int spalte = AktuelleSpalte();
  m_delegate->EditorVerwerfen();
  ZellwertSetzen(spalte, wert);
  m_ansicht->setFocus();
}

// --- Editing ----------------------------------------------------------------------------------

void DatenGitter::SetzeZulassenNeu(bool an) {
  m_zulassenNeu = an;
  m_modell->SetzeNeueZeileZeigen(an);
}

bool DatenGitter::IstNeueZeile(int zeile) const { return m_modell->IstNeueZeile(zeile); }
bool DatenGitter::ZeileAusstehend() const { return m_modell->Ausstehend() >= 0; }
int DatenGitter::AusstehendeZeile() const { return m_modell->Ausstehend(); }
bool DatenGitter::EditorOffen() const { return m_delegate->OffenerEditor() != nullptr; }

bool DatenGitter::Bearbeitbar(int zeile, int spalte) const {
  if (m_stil != Markierungsstil::SchwebenderEditor || !Daten() || m_modell->ZeigtLeer()) return false;
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return false;
  const GitterSpalte& s = m_modell->Spalten()[spalte];
  if (s.gesperrt || s.rsSpalte < 0) return false;
  return IstNeueZeile(zeile) ? m_zulassenNeu : m_zulassenAendern;
}

bool DatenGitter::BearbeitungBeginnen(int zeile) {
  Recordset* rs = Daten();
  DbFehler f;
  if (IstNeueZeile(zeile)) {
    f = rs->AddNew();
  } else if (rs->EditMode() == EditModus::Bearbeiten && rs->AbsolutePosition() == zeile) {
    // The window opened the row itself (bound entry fields): the grid joins that edit.
  } else {
    rs->SetAbsolutePosition(zeile);
    f = rs->Edit();
  }
  if (f) {
    FehlerMelden(f);
    return false;
  }
  m_modell->SetzeAusstehend(zeile);
  return true;
}

bool DatenGitter::Aendern(int zeile, int spalte, const QVariant& wert) {
  Recordset* rs = Daten();
  if (!rs || spalte < 0 || spalte >= SpaltenAnzahl()) return false;
  const GitterSpalte s = m_modell->Spalten()[spalte];
  if (s.rsSpalte < 0) return false;
  if (ZeileAusstehend() && AusstehendeZeile() != zeile && !ZeileSpeichern()) return false;
  const QVariant alt = m_modell->Rohwert(zeile, spalte);
  bool frisch = false;
  if (!ZeileAusstehend()) {
    if (!BearbeitungBeginnen(zeile)) return false;
    frisch = true;
  }
  QVariant neu = wert;
  bool abbrechen = false;
  if (VorSpaltenAenderung) VorSpaltenAenderung(spalte, alt, neu, abbrechen);
  if (abbrechen) {
    if (frisch && ZeileAusstehend()) ZeileVerwerfen();
    m_modell->ZeileAktualisiert(zeile);
    return false;
  }
  if (!ZeileAusstehend()) return false;   // the handler dropped the row
  const DbFehler f = rs->Setzen(rs->Spalte(s.rsSpalte).name, neu);
  if (f) {
    FehlerMelden(f);
    if (frisch) ZeileVerwerfen();
    return false;
  }
  m_modell->ZeileAktualisiert(zeile);
  Q_EMIT NachSpaltenAenderung(spalte);
  return true;
}

bool DatenGitter::ZellwertSetzen(int spalte, const QVariant& wert) {
  const int zeile = AktuelleZeile();
  if (zeile < 0 || !Daten()) return false;
  if (IstNeueZeile(zeile) ? !m_zulassenNeu : !m_zulassenAendern) return false;
  return Aendern(zeile, spalte, wert);
}

bool DatenGitter::PufferwertSetzen(const QString& feld, const QVariant& wert) {
  Recordset* rs = Daten();
  if (!rs || !ZeileAusstehend()) return false;
  const DbFehler f = rs->Setzen(feld, wert);
  if (f) {
    FehlerMelden(f);
    return false;
  }
  m_modell->ZeileAktualisiert(AusstehendeZeile());
  return true;
}

bool DatenGitter::ZeileSpeichern() {
  Recordset* rs = Daten();
  const int zeile = AusstehendeZeile();
  if (!rs || zeile < 0) return true;
  if (auto* e = qobject_cast<QLineEdit*>(m_delegate->OffenerEditor()); e && e->isModified()) {
    m_delegate->setModelData(e, m_modell, m_ansicht->currentIndex());
  }
  bool abbrechen = false;
  if (VorZeilenAenderung) VorZeilenAenderung(abbrechen);
  if (abbrechen) return false;          // the row stays pending
  if (!ZeileAusstehend()) return true;  // the handler dropped it
  const bool neu = rs->EditMode() == EditModus::Neu;
  const DbFehler f = rs->Update();
  if (f) {
    FehlerMelden(f);
    return false;
  }
  m_modell->SetzeAusstehend(-1);
  if (neu) {
    m_modell->NeueZeileUebernommen();
    rs->SetBookmark(rs->LastModified());
  } else {
    m_modell->ZeileAktualisiert(zeile);
  }
  Q_EMIT NachZeilenAenderung();
  return true;
}

void DatenGitter::ZeileVerwerfen() {
  const int zeile = AusstehendeZeile();
  if (zeile < 0) return;
  m_delegate->EditorVerwerfen();
  if (Recordset* rs = Daten()) rs->CancelUpdate();
  m_modell->SetzeAusstehend(-1);
  m_modell->ZeileAktualisiert(zeile);
}

bool DatenGitter::ZeileLoeschen() {
  Recordset* rs = Daten();
  const int zeile = AktuelleZeile();
  if (!rs || zeile < 0) return false;
  if (ZeileAusstehend()) ZeileVerwerfen();
  if (IstNeueZeile(zeile)) return false;
  const QVariant schluessel = Schluessel(zeile);
  rs->SetAbsolutePosition(zeile);
  const DbFehler f = rs->Delete();
  if (f) {
    FehlerMelden(f);
    return false;
  }
  const bool warMarkiert = m_marken.Entfernen(schluessel);
  const int spalte = AktuelleSpalte();
  m_modell->ZeileGeloescht(zeile);
  if (warMarkiert) Q_EMIT MarkenGeaendert();
  if (ZeilenAnzahl() > 0) SetzeAktuelleZelle(std::min(zeile, ZeilenAnzahl() - 1), spalte);
  Q_EMIT NachLoeschen();
  return true;
}

bool DatenGitter::ZelleBearbeiten() {
  const QModelIndex i = m_ansicht->currentIndex();
  if (!i.isValid() || !Bearbeitbar(i.row(), i.column())) return false;
  m_ansicht->edit(i);
  return EditorOffen();
}

void DatenGitter::FehlerMelden(const DbFehler& f) {
  bool zeigen = true;
  if (BeiFehler) BeiFehler(f, zeigen);
  Q_EMIT FehlerAufgetreten(f);
  if (!zeigen) return;
  Meldung::Fehler(f.Meldungstext(), {}, window());
}

void DatenGitter::EingabeAblehnen(int spalte, const QString& text) {
  // Never dropped without a word: the cell says what it cannot read, and its editor keeps the text.
  const bool datum = spalte >= 0 && spalte < SpaltenAnzahl() && Spalte(spalte).editor == GitterEditor::Datum;
  const QString meldung =
      datum ? DatumFehlertext(text) : QStringLiteral("\u201E%1\u201C ist keine gültige Zahl.").arg(text.trimmed());
  Meldung::Warnung(meldung + QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe."), {}, window());
  Q_EMIT EingabeUngueltig(spalte, text);
}

void DatenGitter::AktuelleZeileGewechselt(const QModelIndex& neu, const QModelIndex& alt) {
  const int ausstehend = AusstehendeZeile();
  if (ausstehend >= 0 && alt.isValid() && alt.row() == ausstehend && (!neu.isValid() || neu.row() != ausstehend)) {
    if (!ZeileSpeichern()) {
      // The row stays pending and current (the old grid kept the cursor on a row it could not write).
      const int spalte = alt.column();
      QTimer::singleShot(0, this, [this, ausstehend, spalte] {
        if (AusstehendeZeile() == ausstehend) SetzeAktuelleZelle(ausstehend, spalte);
      });
      return;
    }
  }
  if (neu.isValid() && neu.row() != alt.row() && !ZeileAusstehend()) {
    Recordset* rs = Daten();
    if (rs && neu.row() < ZeilenAnzahl() && rs->EditMode() == EditModus::Keiner) rs->SetAbsolutePosition(neu.row());
  }
  Q_EMIT ZeileSpalteGewechselt(alt.isValid() ? alt.row() : -1, alt.isValid() ? alt.column() : -1);
}

// --- Scroll tips ------------------------------------------------------------------------------

QString DatenGitter::ScrollTipp(int zeile) const {
  if (m_scrollTippText) return m_scrollTippText(zeile);
  int spalte = AktuelleSpalte();
  if (spalte < 0 || !SpalteSichtbar(spalte)) {
    const QHeaderView* k = m_ansicht->horizontalHeader();
    spalte = -1;
    for (int v = 0; v < k->count() && spalte < 0; ++v)
      if (!k->isSectionHidden(k->logicalIndex(v))) spalte = k->logicalIndex(v);
  }
  if (spalte < 0) return {};
  return Spalte(spalte).titel + QStringLiteral(": ") + ZellText(zeile, spalte);
}

void DatenGitter::ScrollTippZeigen(int wert) {
  if (!m_scrollTipps || wert < 0 || wert >= ZeilenAnzahl()) return;
  m_letzterTipp = ScrollTipp(wert);
  QScrollBar* bar = m_ansicht->verticalScrollBar();
  const QPoint pos = bar->mapToGlobal(QPoint(0, bar->height() * wert / std::max(1, ZeilenAnzahl())));
  QToolTip::showText(pos - QPoint(QFontMetrics(QToolTip::font()).horizontalAdvance(m_letzterTipp) + 24, 0),
                     m_letzterTipp, bar);
}

// --- Keys -------------------------------------------------------------------------------------

bool DatenGitter::EditorTaste(QLineEdit*, QKeyEvent* e) { return TasteVerteilen(e, false, true); }

bool DatenGitter::TasteVerteilen(QKeyEvent* e, bool imFilter, bool imEditor) {
  // An open drop-down takes every key, Esc and Enter included; the window never sees them.
  if (DropDownOffen()) {
    if (e->type() == QEvent::KeyPress) m_offeneListe->TasteVerarbeiten(e);
    return true;
  }
  GitterTaste t;
  t.taste = e->key();
  t.modifikatoren = e->modifiers();
  t.text = e->text();
  t.imFilter = imFilter;
  t.imEditor = imEditor;
  if (e->type() == QEvent::KeyRelease) {
    if (TasteHoch) TasteHoch(t);
    return t.geschluckt;
  }
  if (TasteRunter) TasteRunter(t);
  if (t.geschluckt) return true;
  if (!t.text.isEmpty() && t.text.at(0).isPrint() && TasteZeichen) {
    TasteZeichen(t);
    if (t.geschluckt) return true;
  }
  if (imFilter) {
    if (e->key() == Qt::Key_Down && e->modifiers() == Qt::NoModifier) {
      m_ansicht->setFocus();
      return true;
    }
    return false;
  }
  return StandardTaste(e);
}

bool DatenGitter::StandardTaste(QKeyEvent* e) {
  const bool alt = e->modifiers() & Qt::AltModifier;
  const bool imEditor = EditorOffen();
  if (e->key() == Qt::Key_F4 || (alt && e->key() == Qt::Key_Down)) {
    if (DropDown(AktuelleSpalte())) return DropDownOeffnen();
    return false;
  }
  if (imEditor) return false;   // the editor and its delegate handle the rest
  switch (e->key()) {
    case Qt::Key_Up:
      // From the first row up into the filter bar, as the old grid did.
      if (m_filterAn && AktuelleZeile() <= 0 && e->modifiers() == Qt::NoModifier && AktuelleSpalte() >= 0) {
        FilterZelleBearbeiten(AktuelleSpalte());
        return true;
      }
      return false;
    case Qt::Key_Space:
      if (m_markeLeertaste && AktuelleZeile() >= 0 && !IstNeueZeile(AktuelleZeile())) {
        MarkeUmschalten(AktuelleZeile());
        return true;
      }
      return false;
    case Qt::Key_Escape:
      if (ZeileAusstehend()) {
        ZeileVerwerfen();
        return true;
      }
      return false;
    case Qt::Key_Delete:
      if (m_zulassenLoeschen && !m_filterAn) {
        ZeileLoeschen();
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool DatenGitter::eventFilter(QObject* o, QEvent* e) {
  if (!m_ansicht) return QWidget::eventFilter(o, e);
  if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease || e->type() == QEvent::ShortcutOverride) {
    auto* k = static_cast<QKeyEvent*>(e);
    const bool imFilter = m_filter->SpalteVon(o) >= 0;
    if (o == m_ansicht || imFilter) {
      if (e->type() == QEvent::ShortcutOverride) {
        // Esc and Enter belong to an open drop-down, not to the window's buttons.
        if (DropDownOffen()) {
          e->accept();
          return true;
        }
        return false;
      }
      return TasteVerteilen(k, imFilter, false);
    }
  }
  if (e->type() != QEvent::Resize || o != m_ansicht->viewport()) return QWidget::eventFilter(o, e);
  auto* r = static_cast<QResizeEvent*>(e);
  if (m_strecken) {
    const int alt = r->oldSize().width();
    const int neu = r->size().width();
    // Each column keeps its share of the width, none narrower than its caption.
    if (alt > 0 && neu > 0 && alt != neu) SpaltenSkalieren(double(neu) / alt);
  }
  if (r->oldSize().height() < r->size().height()) GanzwerteNachziehen();   // more rows in view
  StreifenAnordnen();
  return QWidget::eventFilter(o, e);
}

void DatenGitter::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  StreifenAnordnen();
}

void DatenGitter::StreifenAnordnen() {
  if (!m_ansicht) return;
  if (m_filter->isVisible()) m_filter->Anordnen();
  if (m_fuss->isVisible()) m_fuss->update();
}
