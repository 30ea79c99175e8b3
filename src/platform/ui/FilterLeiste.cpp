#include "platform/ui/FilterLeiste.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

FilterLeiste::FilterLeiste(QTableView* ansicht, QWidget* parent)
    : QWidget(parent), m_ansicht(ansicht), m_innen(new QWidget(this)) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize FilterLeiste::sizeHint() const {
  if (!m_editoren.empty()) return {100, m_editoren.front()->sizeHint().height()};
  return {100, fontMetrics().height() + 8};
}

void FilterLeiste::SpaltenAbgleichen(bool anlegen) {
  if (!m_ansicht || (!anlegen && m_editoren.empty())) return;
  const int n = m_ansicht->model() ? m_ansicht->model()->columnCount() : 0;
  while (static_cast<int>(m_editoren.size()) > n) {
    delete m_editoren.back();
    m_editoren.pop_back();
  }
  while (static_cast<int>(m_editoren.size()) < n) {
    auto* e = new QLineEdit(m_innen);
    e->setFrame(true);
    e->setPlaceholderText(QString());
    e->installEventFilter(this);
    const int spalte = static_cast<int>(m_editoren.size());
    connect(e, &QLineEdit::textEdited, this, [this, spalte] { Q_EMIT TextGeaendert(spalte); });
    m_editoren.push_back(e);
  }
  Anordnen();
}

void FilterLeiste::Anordnen() {
  if (!m_ansicht) return;
  QHeaderView* kopf = m_ansicht->horizontalHeader();
  const int links = m_ansicht->frameWidth() +
                    (m_ansicht->verticalHeader()->isVisible() ? m_ansicht->verticalHeader()->width() : 0);
  const int breite = m_ansicht->viewport()->width();
  m_innen->setGeometry(links, 0, std::max(0, breite), height());
  for (int i = 0; i < static_cast<int>(m_editoren.size()); ++i) {
    QLineEdit* e = m_editoren[i];
    if (i >= kopf->count() || kopf->isSectionHidden(i)) {
      e->hide();
      continue;
    }
    e->setGeometry(kopf->sectionViewportPosition(i), 0, kopf->sectionSize(i), height());
    e->show();
  }
}

QString FilterLeiste::Text(int spalte) const {
  const QLineEdit* e = Editor(spalte);
  return e ? e->text() : QString();
}

void FilterLeiste::SetzeText(int spalte, const QString& text) {
  if (QLineEdit* e = Editor(spalte)) e->setText(text);
}

void FilterLeiste::Leeren() {
  for (QLineEdit* e : m_editoren) e->clear();
}

QLineEdit* FilterLeiste::Editor(int spalte) const {
  if (spalte < 0 || spalte >= static_cast<int>(m_editoren.size())) return nullptr;
  return m_editoren[spalte];
}

int FilterLeiste::SpalteVon(const QObject* editor) const {
  for (int i = 0; i < static_cast<int>(m_editoren.size()); ++i)
    if (m_editoren[i] == editor) return i;
  return -1;
}

int FilterLeiste::FokusSpalte() const {
  for (int i = 0; i < static_cast<int>(m_editoren.size()); ++i)
    if (m_editoren[i]->hasFocus()) return i;
  return -1;
}

bool FilterLeiste::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::FocusIn) {
    const int spalte = SpalteVon(o);
    if (spalte >= 0) Q_EMIT FokusErhalten(spalte);
  }
  return QWidget::eventFilter(o, e);
}

void FilterLeiste::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Anordnen();
}
