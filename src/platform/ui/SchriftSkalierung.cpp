#include "platform/ui/SchriftSkalierung.h"

#include <QEvent>
#include <QWidget>

SchriftSkalierung::SchriftSkalierung(QWidget* behaelter) : QObject(behaelter), m_behaelter(behaelter) {
  behaelter->installEventFilter(this);
  BasisFestlegen();
}

void SchriftSkalierung::BasisFestlegen() {
  if (!m_behaelter) return;
  m_basisGroesse = m_behaelter->size();
  m_basisPunkte.clear();
  m_basisPunkte.insert(m_behaelter, m_behaelter->font().pointSizeF());
  for (QWidget* w : m_behaelter->findChildren<QWidget*>()) {
    if (w->isWindow()) continue;  // pop-ups keep their own fonts
    m_basisPunkte.insert(w, w->font().pointSizeF());
  }
  m_faktor = 1.0;
}

bool SchriftSkalierung::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == m_behaelter && ereignis->type() == QEvent::Resize) Anwenden();
  return QObject::eventFilter(objekt, ereignis);
}

void SchriftSkalierung::Anwenden() {
  if (!m_behaelter || m_basisGroesse.width() <= 0 || m_basisGroesse.height() <= 0) return;
  const QSize jetzt = m_behaelter->size();
  double faktor = qMin(double(jetzt.width()) / m_basisGroesse.width(), double(jetzt.height()) / m_basisGroesse.height());
  faktor = qBound(0.7, faktor, 2.5);
  if (qAbs(faktor - m_faktor) < 0.01) return;
  m_faktor = faktor;
  for (auto it = m_basisPunkte.constBegin(); it != m_basisPunkte.constEnd(); ++it) {
    if (it.value() <= 0) continue;
    QWidget* w = it.key();
    if (w != m_behaelter && !m_behaelter->isAncestorOf(w)) continue;  // removed meanwhile
    QFont f = w->font();
    f.setPointSizeF(it.value() * faktor);
    w->setFont(f);
  }
}
