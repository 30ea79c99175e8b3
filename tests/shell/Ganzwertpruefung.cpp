#include "Ganzwertpruefung.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableView>
#include <QTextItem>

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/ui/DatenGitter.h"
#include "platform/ui/GitterFuss.h"

namespace {

// Records the texts a painter draws, with where they begin and end (device coordinates).
class TextEngine : public QPaintEngine {
 public:
  struct Stueck {
    QString text;
    double links;
    double rechts;
  };
  TextEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState& zustand) override {
    if (zustand.state() & QPaintEngine::DirtyTransform) m_transform = zustand.transform();
  }
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawPath(const QPainterPath&) override {}
  void drawTextItem(const QPointF& p, const QTextItem& stueck) override {
    const QPointF von = m_transform.map(p);
    const QPointF bis = m_transform.map(p + QPointF(stueck.width(), 0));
    stuecke.push_back({stueck.text(), std::min(von.x(), bis.x()), std::max(von.x(), bis.x())});
  }
  Type type() const override { return QPaintEngine::User; }

  std::vector<Stueck> stuecke;

 private:
  QTransform m_transform;
};

// A paint device with the resolution of the widget whose cells are painted onto it, so that fonts come out
// as wide as on the screen.
class TextGeraet : public QPaintDevice {
 public:
  explicit TextGeraet(const QWidget& vorbild) : m_vorbild(vorbild) {}
  QPaintEngine* paintEngine() const override { return &m_engine; }
  TextEngine& Engine() { return m_engine; }

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth:
      case PdmHeight: return 20000;
      case PdmWidthMM:
      case PdmHeightMM: return 20000 * 254 / (10 * std::max(1, m_vorbild.logicalDpiX()));
      case PdmNumColors: return std::numeric_limits<int>::max();
      case PdmDepth: return 32;
      case PdmDpiX:
      case PdmPhysicalDpiX: return m_vorbild.logicalDpiX();
      case PdmDpiY:
      case PdmPhysicalDpiY: return m_vorbild.logicalDpiY();
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
      default: return 0;
    }
  }

 private:
  const QWidget& m_vorbild;
  mutable TextEngine m_engine;
};

// The view's own option for its cells (protected in Qt), reached through a member pointer.
struct AnsichtZugang : QTableView {
  static void Option(const QTableView& v, QStyleOptionViewItem* o) {
    auto f = &AnsichtZugang::initViewItemOption;
    (v.*f)(o);
  }
};

QString Ort(const QWidget& w) {
  QString ort = w.window() ? w.window()->windowTitle() : QString();
  ort += QStringLiteral(" / ") +
         (w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className()) : w.objectName());
  return w.statusTip().isEmpty() ? ort : ort + QStringLiteral(" (") + w.statusTip() + QLatin1Char(')');
}

// A text that the view's edge cuts (its left part shown, "5.94" of 5.942,13): whole inside the view, or
// wholly outside it (reached by scrolling), passes.
bool AmRandGeschnitten(double links, double rechts, int sicht) {
  return (links < -0.5 && rechts > 0.5) || (links < sicht - 0.5 && rechts > sicht + 0.5);
}

void ZellenPruefen(const QTableView& v, Ganzwertbefund& b) {
  const QAbstractItemModel* m = v.model();
  if (!m || m->rowCount() == 0) return;
  const int von = std::max(0, v.rowAt(0));
  int bis = v.rowAt(v.viewport()->height() - 1);
  if (bis < 0) bis = m->rowCount() - 1;
  for (int zeile = von; zeile <= bis; ++zeile) {
    for (int spalte = 0; spalte < m->columnCount(); ++spalte) {
      if (v.isColumnHidden(spalte)) continue;
      const QModelIndex index = m->index(zeile, spalte);
      const QString wert = index.data(Qt::DisplayRole).toString().trimmed();
      if (!IstGanzwert(wert)) continue;
      ++b.geprueft;
      QStyleOptionViewItem o;
      AnsichtZugang::Option(v, &o);
      o.rect = v.visualRect(index);
      TextGeraet geraet(*v.viewport());
      {
        QPainter p(&geraet);
        v.itemDelegateForIndex(index)->paint(&p, o, index);
      }
      QString gezeigt;
      double links = o.rect.right() + 1;
      double rechts = o.rect.left();
      for (const TextEngine::Stueck& s : geraet.Engine().stuecke) {
        gezeigt += s.text;
        links = std::min(links, s.links);
        rechts = std::max(rechts, s.rechts);
      }
      const QString spaltenname = m->headerData(spalte, Qt::Horizontal).toString();
      const QString stelle = QStringLiteral("%1, Spalte \"%2\", Zeile %3: ").arg(Ort(v), spaltenname).arg(zeile + 1);
      const int sicht = v.viewport()->width();
      if (gezeigt.trimmed() != wert)
        b.maengel << stelle + QStringLiteral("\"%1\" gezeigt als \"%2\"").arg(wert, gezeigt);
      else if (links < o.rect.left() - 0.5 || rechts > o.rect.right() + 1.5)
        b.maengel << stelle + QStringLiteral("\"%1\" braucht %2 Pixel, die Spalte hat %3")
                                  .arg(wert)
                                  .arg(rechts - links, 0, 'f', 1)
                                  .arg(o.rect.width());
      else if (AmRandGeschnitten(links, rechts, sicht))
        b.maengel << stelle + QStringLiteral("\"%1\" steht über den Rand der Ansicht (%2 bis %3 von %4 Pixeln)")
                                  .arg(wert)
                                  .arg(links, 0, 'f', 0)
                                  .arg(rechts, 0, 'f', 0)
                                  .arg(sicht);
      else
        b.ganz << wert;
    }
  }
}

void FussPruefen(const DatenGitter& g, Ganzwertbefund& b) {
  if (!g.Fussleiste()) return;
  const GitterFuss* fuss = g.findChild<GitterFuss*>();
  const QFontMetrics fm(fuss ? fuss->font() : g.font());
  for (int spalte = 0; spalte < g.SpaltenAnzahl(); ++spalte) {
    const QString text = g.FussText(spalte).trimmed();
    if (!g.SpalteSichtbar(spalte) || !IstGanzwert(text)) continue;
    ++b.geprueft;
    // The footer leaves 4 pixels on either side of its text, which scrolls with its column.
    const int breite = fm.horizontalAdvance(text);
    const int links = g.Ansicht()->horizontalHeader()->sectionViewportPosition(spalte) +
                      ((g.Spalte(spalte).ausrichtung & Qt::AlignRight) ? g.Spaltenbreite(spalte) - 4 - breite : 4);
    const QString stelle = QStringLiteral("%1, Fuß der Spalte \"%2\": \"%3\" ").arg(Ort(g), g.Spalte(spalte).titel, text);
    if (breite + 8 > g.Spaltenbreite(spalte))
      b.maengel << stelle + QStringLiteral("braucht %1 Pixel, die Spalte hat %2").arg(breite + 8).arg(g.Spaltenbreite(spalte));
    else if (AmRandGeschnitten(links, links + breite, g.Ansicht()->viewport()->width()))
      b.maengel << stelle + QStringLiteral("steht über den Rand der Ansicht");
    else
      b.ganz << text;
  }
}

void FeldPruefen(const QLineEdit& feld, Rauten rauten, Ganzwertbefund& b) {
  const QString text = feld.displayText().trimmed();
  if (!IstGanzwert(text) && text != QStringLiteral("###")) return;
  ++b.geprueft;
  // The line edit of a spin box (an amount field): the box has the tooltip and the name.
  const QWidget* traeger = qobject_cast<const QAbstractSpinBox*>(feld.parentWidget()) ? feld.parentWidget() : &feld;
  if (text == QStringLiteral("###")) {
    const QStringList tipp = traeger->toolTip().split(QLatin1Char('\n'));
    const auto wert =
        std::find_if(tipp.begin(), tipp.end(), [](const QString& zeile) { return IstGanzwert(zeile.trimmed()); });
    if (rauten == Rauten::MitWertImTipp && wert != tipp.end())
      b.ganz << wert->trimmed();
    else
      b.maengel << Ort(*traeger) + QStringLiteral(": zeigt \"###\" (Tooltip \"%1\")").arg(traeger->toolTip());
    return;
  }
  QStyleOptionFrame o;
  o.initFrom(&feld);
  o.rect = feld.rect();
  o.lineWidth = feld.hasFrame() ? feld.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, &feld) : 0;
  o.midLineWidth = 0;
  o.state |= QStyle::State_Sunken;
  o.features = QStyleOptionFrame::None;
  const QRect inhalt = feld.style()->subElementRect(QStyle::SE_LineEditContents, &o, &feld).marginsRemoved(feld.textMargins());
  // The line edit keeps two pixels free on either side of its text.
  const int raum = inhalt.width() - 4;
  const int noetig = QFontMetrics(feld.font()).horizontalAdvance(feld.displayText());
  if (noetig > raum)
    b.maengel << Ort(*traeger) +
                     QStringLiteral(": \"%1\" braucht %2 Pixel, das Feld hat %3").arg(text).arg(noetig).arg(raum);
  else
    b.ganz << text;
}

void BeschriftungPruefen(const QLabel& label, Ganzwertbefund& b) {
  if (label.textFormat() == Qt::RichText) return;
  const QString text = label.text().trimmed();
  if (!IstGanzwert(text)) return;
  ++b.geprueft;
  const int noetig = QFontMetrics(label.font()).horizontalAdvance(text);
  if (noetig > label.contentsRect().width())
    b.maengel << Ort(label) + QStringLiteral(": \"%1\" braucht %2 Pixel, die Beschriftung hat %3")
                                  .arg(text)
                                  .arg(noetig)
                                  .arg(label.contentsRect().width());
  else
    b.ganz << text;
}

}  // namespace

bool IstGanzwert(const QString& text) {
  static const QRegularExpression betrag(QStringLiteral("^[-\u2212]?\\d{1,3}(\\.\\d{3})*,\\d{2,4}$"));
  static const QRegularExpression iban(QStringLiteral("^[A-Z]{2}\\d{2}( ?[A-Z0-9]){11,30}$"));
  static const QRegularExpression bic(QStringLiteral("^[A-Z]{6}[A-Z0-9]{2}([A-Z0-9]{3})?$"));
  return betrag.match(text).hasMatch() || iban.match(text).hasMatch() || bic.match(text).hasMatch();
}

Ganzwertbefund GanzwertePruefen(QWidget& fenster, Rauten rauten) {
  Ganzwertbefund b;
  auto sichtbar = [&fenster](const QWidget* w) { return w->isVisibleTo(&fenster) && fenster.isVisible(); };
  for (const QTableView* v : fenster.findChildren<QTableView*>())
    if (sichtbar(v)) ZellenPruefen(*v, b);
  for (const DatenGitter* g : fenster.findChildren<DatenGitter*>())
    if (sichtbar(g)) FussPruefen(*g, b);
  for (const QLineEdit* f : fenster.findChildren<QLineEdit*>())
    if (sichtbar(f)) FeldPruefen(*f, rauten, b);
  for (const QLabel* l : fenster.findChildren<QLabel*>())
    if (sichtbar(l)) BeschriftungPruefen(*l, b);
  return b;
}
