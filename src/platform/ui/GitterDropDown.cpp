#include "platform/ui/GitterDropDown.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "platform/ui/GitterFormatierung.h"
#include "platform/ui/GitterModell.h"
#include "platform/ui/Zellbreite.h"

GitterDropDown::GitterDropDown(QWidget* parent)
    : QFrame(parent, Qt::Popup), m_modell(new GitterModell(this)), m_ansicht(new QTableView(this)) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(1, 1, 1, 1);
  l->addWidget(m_ansicht);
  m_ansicht->setModel(m_modell);
  m_ansicht->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_ansicht->setSelectionMode(QAbstractItemView::SingleSelection);
  m_ansicht->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_ansicht->verticalHeader()->hide();
  m_ansicht->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_ansicht->verticalHeader()->setDefaultSectionSize(m_ansicht->fontMetrics().height() + 6);
  m_ansicht->horizontalHeader()->setHighlightSections(false);
  m_ansicht->setAlternatingRowColors(true);
  m_ansicht->installEventFilter(this);
  m_modell->SetzePalette(palette());
  connect(m_ansicht, &QTableView::clicked, this, [this](const QModelIndex&) { Waehlen(); });
  connect(m_ansicht->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& neu) {
            if (Recordset* rs = Daten(); rs && neu.isValid() && neu.row() < rs->RecordCount())
              rs->SetAbsolutePosition(neu.row());
          });
}

GitterDropDown::~GitterDropDown() = default;

void GitterDropDown::SetzeRecordset(Recordset* rs, bool spaltenHalten) {
  m_modell->Binden(rs, spaltenHalten && !m_modell->Spalten().empty());
}

Recordset* GitterDropDown::Daten() const { return m_modell->Daten(); }

int GitterDropDown::SpalteHinzufuegen(const QString& feld, const QString& titel, GitterFormat format,
                                      const QString& muster) {
  GitterSpalte s;
  s.feld = feld;
  s.titel = titel.isEmpty() ? feld : titel;
  s.format = format;
  s.muster = muster;
  if (format == GitterFormat::Standard || format == GitterFormat::Muster) s.ausrichtung = Qt::AlignRight | Qt::AlignVCenter;
  m_modell->Spalten().push_back(s);
  m_modell->SpaltenGeaendert();
  return SpaltenAnzahl() - 1;
}

int GitterDropDown::SpaltenAnzahl() const { return static_cast<int>(m_modell->Spalten().size()); }

int GitterDropDown::SpaltenIndex(const QString& name) const {
  const auto& sp = m_modell->Spalten();
  for (int i = 0; i < static_cast<int>(sp.size()); ++i)
    if (sp[i].titel.compare(name, Qt::CaseInsensitive) == 0) return i;
  return m_modell->SpalteVonFeld(name);
}

void GitterDropDown::SetzeDatenfeld(int spalte, const QString& feld) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten()[spalte].feld = feld;
  m_modell->SpaltenGeaendert();
}

void GitterDropDown::SetzeSpalteSichtbar(int spalte, bool sichtbar) {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return;
  m_modell->Spalten()[spalte].sichtbar = sichtbar;
  m_ansicht->setColumnHidden(spalte, !sichtbar);
}

void GitterDropDown::SetzeSpaltenbreite(int spalte, int pixel) { m_ansicht->setColumnWidth(spalte, pixel); }
int GitterDropDown::Spaltenbreite(int spalte) const { return m_ansicht->columnWidth(spalte); }

int GitterDropDown::Mindestbreite(int spalte) const {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return 0;
  const GitterSpalte& s = m_modell->Spalten()[spalte];
  int breite = m_ansicht->horizontalHeader()->sectionSizeHint(spalte);
  if (s.Betraege()) breite = std::max(breite, ZellTextbreite(*m_ansicht, GitterFormatierung::GroessterBetrag(s.format, s.muster)));
  if (s.Ganzwerte())
    for (int z = 0; z < ZeilenAnzahl(); ++z) breite = std::max(breite, ZellTextbreite(*m_ansicht, m_modell->Text(z, spalte)));
  return breite;
}

int GitterDropDown::ZeilenAnzahl() const { return m_modell->DatenZeilen(); }

int GitterDropDown::AktuelleZeile() const {
  const QModelIndex i = m_ansicht->currentIndex();
  return i.isValid() ? i.row() : -1;
}

void GitterDropDown::SetzeAktuelleZeile(int zeile) {
  if (zeile < 0 || zeile >= ZeilenAnzahl()) {
    m_ansicht->setCurrentIndex({});
    return;
  }
  int spalte = 0;
  while (spalte < SpaltenAnzahl() && m_ansicht->isColumnHidden(spalte)) ++spalte;
  const QModelIndex i = m_modell->index(zeile, std::min(spalte, SpaltenAnzahl() - 1));
  m_ansicht->setCurrentIndex(i);
  m_ansicht->scrollTo(i);
}

QVariant GitterDropDown::Wert(const QString& feld) const {
  const int z = AktuelleZeile();
  if (z < 0) return {};
  return m_modell->Feldwert(z, feld);
}

QVariant GitterDropDown::ListenWert() const { return Wert(m_listenfeld); }

void GitterDropDown::Oeffnen(const QRect& zelle, const QVariant& wert) {
  // Start on the row that holds the cell's value (the list rows are few; read from the page cache).
  int treffer = -1;
  const QString gesucht = wert.toString();
  if (!gesucht.isEmpty()) {
    for (int z = 0; z < ZeilenAnzahl(); ++z) {
      if (m_modell->Feldwert(z, m_listenfeld).toString().compare(gesucht, Qt::CaseInsensitive) == 0) {
        treffer = z;
        break;
      }
    }
  }
  const int zeilenHoehe = m_ansicht->verticalHeader()->defaultSectionSize();
  const int kopf = m_ansicht->horizontalHeader()->sizeHint().height();
  const int hoehe = static_cast<int>(std::lround(zeilenHoehe * m_sichtbareZeilen)) + kopf + 4;
  // Amounts, IBANs and BICs whole, whatever widths the caller gave the columns.
  for (int i = 0; i < SpaltenAnzahl(); ++i)
    if (!m_ansicht->isColumnHidden(i) && m_modell->Spalten()[i].Ganzwerte() && m_ansicht->columnWidth(i) < Mindestbreite(i))
      m_ansicht->setColumnWidth(i, Mindestbreite(i));
  int breite = m_breite;
  if (breite <= 0) {
    breite = 2 * frameWidth() + 2 * m_ansicht->frameWidth() + 2 + m_ansicht->verticalScrollBar()->sizeHint().width();
    for (int i = 0; i < SpaltenAnzahl(); ++i)
      if (!m_ansicht->isColumnHidden(i)) breite += m_ansicht->columnWidth(i);
  }
  QPoint pos = zelle.bottomLeft() + QPoint(0, 1);
  if (const QScreen* s = QGuiApplication::screenAt(zelle.center())) {
    const QRect r = s->availableGeometry();
    if (pos.y() + hoehe > r.bottom() && zelle.top() - hoehe >= r.top()) pos.setY(zelle.top() - hoehe);
    if (pos.x() + breite > r.right()) pos.setX(std::max(r.left(), r.right() - breite));
  }
  setGeometry(QRect(pos, QSize(breite, hoehe)));
  SetzeAktuelleZeile(treffer);
  show();
  m_ansicht->setFocus();
}

void GitterDropDown::Schliessen() {
  if (isVisible()) hide();
}

void GitterDropDown::hideEvent(QHideEvent* e) {
  QFrame::hideEvent(e);
  Q_EMIT Geschlossen();
}

void GitterDropDown::Waehlen() {
  const QVariant w = ListenWert();
  const bool gueltig = AktuelleZeile() >= 0;
  Schliessen();
  if (gueltig) Q_EMIT Gewaehlt(w);
}

bool GitterDropDown::TasteVerarbeiten(QKeyEvent* e) {
  if (!Offen()) return false;
  const bool alt = e->modifiers() & Qt::AltModifier;
  switch (e->key()) {
    case Qt::Key_Escape:
      Schliessen();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
      Waehlen();
      return true;
    case Qt::Key_F4:
      Schliessen();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (alt) {
        Schliessen();
        return true;
      }
      [[fallthrough]];
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: {
      const int n = ZeilenAnzahl();
      if (n == 0) return true;
      int z = AktuelleZeile();
      const int seite = std::max(1, static_cast<int>(m_sichtbareZeilen) - 1);
      switch (e->key()) {
        case Qt::Key_Up: z = z < 0 ? 0 : z - 1; break;
        case Qt::Key_Down: z = z < 0 ? 0 : z + 1; break;
        case Qt::Key_PageUp: z -= seite; break;
        case Qt::Key_PageDown: z = z < 0 ? seite - 1 : z + seite; break;
        case Qt::Key_Home: z = 0; break;
        default: z = n - 1; break;
      }
      SetzeAktuelleZeile(std::clamp(z, 0, n - 1));
      return true;
    }
    default:
      // Every other key is the list's too while it is open; the window never sees it.
      return true;
  }
}

bool GitterDropDown::eventFilter(QObject* o, QEvent* e) {
  if (o == m_ansicht && e->type() == QEvent::KeyPress) return TasteVerarbeiten(static_cast<QKeyEvent*>(e));
  return QFrame::eventFilter(o, e);
}

void GitterDropDown::keyPressEvent(QKeyEvent* e) {
  if (!TasteVerarbeiten(e)) QFrame::keyPressEvent(e);
}
