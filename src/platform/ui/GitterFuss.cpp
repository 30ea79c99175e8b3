#include "platform/ui/GitterFuss.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>

#include "platform/ui/GitterModell.h"

namespace {
constexpr int Innenrand = 4;   // between a text and its column's edges
}  // namespace

GitterFuss::GitterFuss(QTableView* ansicht, const GitterModell* modell, QWidget* parent)
    : QWidget(parent), m_ansicht(ansicht), m_modell(modell) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize GitterFuss::sizeHint() const {
  return {100, fontMetrics().height() + 8};
}

int GitterFuss::Textbreite(const QString& text) const {
  return fontMetrics().horizontalAdvance(text) + 2 * Innenrand + 1;
}

void GitterFuss::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Button));
  if (!m_ansicht) return;
  const QHeaderView* kopf = m_ansicht->horizontalHeader();
  const int links = m_ansicht->frameWidth() +
                    (m_ansicht->verticalHeader()->isVisible() ? m_ansicht->verticalHeader()->width() : 0);
  p.setClipRect(QRect(links, 0, m_ansicht->viewport()->width(), height()));
  const auto& spalten = m_modell->Spalten();
  for (int i = 0; i < static_cast<int>(spalten.size()) && i < kopf->count(); ++i) {
    if (kopf->isSectionHidden(i)) continue;
    const QRect r(links + kopf->sectionViewportPosition(i), 0, kopf->sectionSize(i), height());
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(r.topRight(), r.bottomRight());
    const GitterSpalte& s = spalten[i];
    if (s.fussText.isEmpty()) continue;
    p.setPen(s.fussFarbe.value_or(palette().color(QPalette::ButtonText)));
    const Qt::Alignment h = s.ausrichtung & Qt::AlignHorizontal_Mask;
    p.drawText(r.adjusted(Innenrand, 0, -Innenrand, 0), int(h ? h : Qt::AlignLeft) | Qt::AlignVCenter, s.fussText);
  }
  p.setClipping(false);
  p.setPen(palette().color(QPalette::Mid));
  p.drawLine(rect().topLeft(), rect().topRight());
}
