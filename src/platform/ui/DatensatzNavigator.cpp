#include "platform/ui/DatensatzNavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QString Zeichen(NavigatorBereich b) {
  switch (b) {
    case NavigatorBereich::Erster: return QStringLiteral("|◀");
    case NavigatorBereich::SeiteZurueck: return QStringLiteral("◀◀");
    case NavigatorBereich::Vorheriger: return QStringLiteral("◀");
    case NavigatorBereich::Naechster: return QStringLiteral("▶");
    case NavigatorBereich::SeiteVor: return QStringLiteral("▶▶");
    case NavigatorBereich::Letzter: return QStringLiteral("▶|");
    case NavigatorBereich::Beschriftung: break;
  }
  return {};
}

}  // namespace

QString DatensatzNavigator::Tooltip(NavigatorBereich b) {
  switch (b) {
    case NavigatorBereich::Erster: return QStringLiteral("Erster Datensatz");
    case NavigatorBereich::Letzter: return QStringLiteral("Letzter Datensatz");
    case NavigatorBereich::SeiteZurueck: return QStringLiteral("Vorherige Seite");
    case NavigatorBereich::SeiteVor: return QStringLiteral("Nächste Seite");
    case NavigatorBereich::Vorheriger: return QStringLiteral("Vorheriger Datensatz");
    case NavigatorBereich::Naechster: return QStringLiteral("Nächster Datensatz");
    case NavigatorBereich::Beschriftung: return QStringLiteral("Aktueller Modus");
  }
  return {};
}

DatensatzNavigator::DatensatzNavigator(QWidget* eltern) : QWidget(eltern) {
  auto* zeile = new QHBoxLayout(this);
  zeile->setContentsMargins(0, 0, 0, 0);
  zeile->setSpacing(1);
  const NavigatorBereich reihe[] = {NavigatorBereich::Erster, NavigatorBereich::SeiteZurueck,
                                    NavigatorBereich::Vorheriger, NavigatorBereich::Beschriftung,
                                    NavigatorBereich::Naechster, NavigatorBereich::SeiteVor,
                                    NavigatorBereich::Letzter};
  for (NavigatorBereich b : reihe) {
    if (b == NavigatorBereich::Beschriftung) {
      m_beschriftung = new QLabel(this);
      m_beschriftung->setAlignment(Qt::AlignCenter);
      m_beschriftung->setFrameShape(QFrame::StyledPanel);
      m_beschriftung->setToolTip(Tooltip(b));
      zeile->addWidget(m_beschriftung, 1);
      continue;
    }
    auto* k = new QToolButton(this);
    k->setText(Zeichen(b));
    k->setToolTip(Tooltip(b));
    k->setFocusPolicy(Qt::NoFocus);
    k->setAutoRepeat(b == NavigatorBereich::Vorheriger || b == NavigatorBereich::Naechster);
    connect(k, &QToolButton::clicked, this, [this, b] { Q_EMIT Bewegen(b); });
    m_knoepfe[int(b)] = k;
    zeile->addWidget(k);
  }
  BeschriftungSetzen(QStringLiteral("Blättern"));
}

void DatensatzNavigator::BeschriftungSetzen(const QString& text) { m_beschriftung->setText(text); }

QString DatensatzNavigator::Beschriftung() const { return m_beschriftung->text(); }

QToolButton* DatensatzNavigator::Knopf(NavigatorBereich bereich) const { return m_knoepfe[int(bereich)]; }

NavigatorBereich DatensatzNavigator::BereichBei(const QPoint& punkt, bool* gefunden) const {
  if (gefunden) *gefunden = true;
  for (int i = 0; i < 7; ++i)
    if (m_knoepfe[i] && m_knoepfe[i]->geometry().contains(punkt)) return NavigatorBereich(i);
  if (gefunden) *gefunden = m_beschriftung->geometry().contains(punkt);
  return NavigatorBereich::Beschriftung;
}
