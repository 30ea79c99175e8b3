#include "platform/ui/StatusLeiste.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

StatusLeiste::StatusLeiste(QWidget* eltern) : QStatusBar(eltern) {
  setSizeGripEnabled(false);
  m_text = new QLabel(this);
  m_text->setTextFormat(Qt::PlainText);
  addWidget(m_text, 1);
  m_fortschritt = new QProgressBar(this);
  m_fortschritt->setRange(0, 100);
  m_fortschritt->setMaximumWidth(160);
  m_fortschritt->hide();
  addPermanentWidget(m_fortschritt);
  connect(qApp, &QApplication::focusChanged, this, &StatusLeiste::FokusGewechselt);
}

void StatusLeiste::TextSetzen(const QString& text) { m_text->setText(text); }

QString StatusLeiste::Text() const { return m_text->text(); }

void StatusLeiste::TextFarbeSetzen(const QColor& farbe) {
  QPalette p = m_text->palette();
  p.setColor(QPalette::WindowText, farbe.isValid() ? farbe : palette().color(QPalette::WindowText));
  m_text->setPalette(p);
}

void StatusLeiste::FortschrittSetzen(std::optional<int> prozent) {
  if (!prozent) {
    m_fortschritt->hide();
    return;
  }
  m_fortschritt->setValue(qBound(0, *prozent, 100));
  m_fortschritt->show();
}

bool StatusLeiste::FortschrittSichtbar() const { return !m_fortschritt->isHidden(); }

QString StatusLeiste::HilfeText(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (!w->statusTip().isEmpty()) return w->statusTip();
    if (!w->toolTip().isEmpty()) return w->toolTip();
    // Stop at the control itself: only the inner editor of a compound control looks further up.
    const QWidget* eltern = w->parentWidget();
    const bool teil = eltern && !w->isWindow() && (w->focusProxy() == eltern || eltern->focusProxy() == w);
    if (!teil) break;
  }
  return {};
}

void StatusLeiste::FokusGewechselt(QWidget*, QWidget* neu) {
  if (!m_fokusHilfe || !neu || neu->window() != window()) return;
  const QString text = HilfeText(neu);
  if (!text.isEmpty()) TextSetzen(text);
}
