#include "platform/ui/Kalender.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QTextCharFormat>
#include <QToolButton>

#include <algorithm>

namespace {

// A month grid wide enough for its day names ("Mo." ... "So.") and day numbers: narrower, the
// grid elides the captions to "...".
void MindestbreiteSetzen(QCalendarWidget* monat) {
  const QFontMetrics fm(monat->font());
  int zelle = fm.horizontalAdvance(QStringLiteral("00"));
  for (int tag = 1; tag <= 7; ++tag)
    zelle = std::max(zelle, fm.horizontalAdvance(monat->locale().dayName(tag, QLocale::ShortFormat)));
  monat->setMinimumWidth(7 * (zelle + 12) + 4);
}

}  // namespace

Kalender::Kalender(int monate, QWidget* eltern) : QWidget(eltern) {
  monate = qMax(1, monate);
  auto* raster = new QGridLayout(this);
  raster->setContentsMargins(0, 0, 0, 0);
  raster->setHorizontalSpacing(8);
  m_zurueck = new QToolButton(this);
  m_zurueck->setArrowType(Qt::LeftArrow);
  m_zurueck->setToolTip(QStringLiteral("Vorheriger Monat"));
  m_zurueck->setAutoRaise(true);
  m_vor = new QToolButton(this);
  m_vor->setArrowType(Qt::RightArrow);
  m_vor->setToolTip(QStringLiteral("Nächster Monat"));
  m_vor->setAutoRaise(true);
  connect(m_zurueck, &QToolButton::clicked, this, [this] { Blaettern(-1); });
  connect(m_vor, &QToolButton::clicked, this, [this] { Blaettern(1); });

  const QLocale deutsch(QLocale::German, QLocale::Germany);
  for (int i = 0; i < monate; ++i) {
    auto* titel = new QLabel(this);
    titel->setAlignment(Qt::AlignCenter);
    QFont f = titel->font();
    f.setBold(true);
    titel->setFont(f);
    auto* monat = new QCalendarWidget(this);
    monat->setLocale(deutsch);
    monat->setFirstDayOfWeek(Qt::Monday);
    monat->setNavigationBarVisible(false);
    monat->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    monat->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    MindestbreiteSetzen(monat);
    m_titel << titel;
    m_monate << monat;
    auto* kopf = new QHBoxLayout;
    if (i == 0) kopf->addWidget(m_zurueck);
    kopf->addWidget(titel, 1);
    if (i == monate - 1) kopf->addWidget(m_vor);
    raster->addLayout(kopf, 0, i);
    raster->addWidget(monat, 1, i);
    connect(monat, &QCalendarWidget::selectionChanged, this, [this, monat] {
      if (!m_abgleich) DatumSetzen(monat->selectedDate());
    });
    connect(monat, &QCalendarWidget::clicked, this, [this](const QDate& d) { Q_EMIT Gewaehlt(d); });
    connect(monat, &QCalendarWidget::activated, this, [this](const QDate& d) { Q_EMIT Gewaehlt(d); });
    connect(monat, &QCalendarWidget::currentPageChanged, this,
            [this, i](int jahr, int m) { MonatGewechselt(i, jahr, m); });
  }
  const QDate heute = QDate::currentDate();
  m_datum = heute;
  m_erster = QDate(heute.year(), heute.month(), 1);
  Abgleichen();
}

void Kalender::SchriftSetzen(const QFont& schrift) {
  for (QCalendarWidget* m : std::as_const(m_monate)) {
    m->setFont(schrift);
    MindestbreiteSetzen(m);
  }
  for (QLabel* t : std::as_const(m_titel)) {
    QFont f = schrift;
    f.setBold(true);
    t->setFont(f);
  }
}

QDate Kalender::ErsterAngezeigterTag() const { return m_erster; }

QDate Kalender::LetzterAngezeigterTag() const { return m_erster.addMonths(Monate()).addDays(-1); }

void Kalender::MonatAnzeigen(int jahr, int monat) {
  const QDate neu(jahr, monat, 1);
  if (!neu.isValid() || neu == m_erster) return;
  m_erster = neu;
  Abgleichen();
  Q_EMIT Geblaettert();
}

void Kalender::Blaettern(int monate) {
  const QDate neu = m_erster.addMonths(monate);
  MonatAnzeigen(neu.year(), neu.month());
}

void Kalender::DatumSetzen(const QDate& datum) {
  if (!datum.isValid()) return;
  const bool geaendert = datum != m_datum;
  m_datum = datum;
  if (datum < ErsterAngezeigterTag() || datum > LetzterAngezeigterTag()) {
    m_erster = QDate(datum.year(), datum.month(), 1);
    Abgleichen();
    Q_EMIT Geblaettert();
  } else {
    Abgleichen();
  }
  if (geaendert) Q_EMIT DatumGeaendert(datum);
}

void Kalender::MonatGewechselt(int index, int jahr, int monat) {
  // A month grid paged by itself (keyboard in its last row): all months follow it.
  if (m_abgleich) return;
  const QDate erster = QDate(jahr, monat, 1).addMonths(-index);
  MonatAnzeigen(erster.year(), erster.month());
}

void Kalender::Abgleichen() {
  m_abgleich = true;
  const QLocale deutsch(QLocale::German, QLocale::Germany);
  for (int i = 0; i < m_monate.size(); ++i) {
    const QDate monat = m_erster.addMonths(i);
    QCalendarWidget* m = m_monate[i];
    const QSignalBlocker sperre(m);
    m->setSelectedDate(m_datum);
    m->setCurrentPage(monat.year(), monat.month());
    m_titel[i]->setText(deutsch.toString(monat, QStringLiteral("MMMM yyyy")));
  }
  m_abgleich = false;
}
