#include "platform/ui/ZweispaltenCombo.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTreeView>

ZweispaltenCombo::ZweispaltenCombo(QWidget* eltern)
    : QComboBox(eltern), m_modell(new QStandardItemModel(0, 2, this)), m_ansicht(new QTreeView(this)) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);  // completion is ours: by code, case ignored, the rest selected
  m_ansicht->setRootIsDecorated(false);
  m_ansicht->setUniformRowHeights(true);
  m_ansicht->setAllColumnsShowFocus(true);
  m_ansicht->setAlternatingRowColors(true);
  m_ansicht->header()->setStretchLastSection(true);
  setModel(m_modell);
  setView(m_ansicht);
  setModelColumn(0);
  UeberschriftenSetzen(QStringLiteral("Code"), QStringLiteral("Bedeutung"));
  connect(lineEdit(), &QLineEdit::textEdited, this, &ZweispaltenCombo::Vervollstaendigen);
  connect(this, qOverload<int>(&QComboBox::activated), this, [this](int) {
    m_vorher = Code();
    Q_EMIT Getippt(Code());
  });
}

void ZweispaltenCombo::UeberschriftenSetzen(const QString& code, const QString& bedeutung) {
  m_modell->setHorizontalHeaderLabels({code, bedeutung});
}

void ZweispaltenCombo::ZeilenSetzen(const QList<QPair<QString, QString>>& zeilen) {
  const QString text = Code();
  m_modell->removeRows(0, m_modell->rowCount());
  for (const auto& z : zeilen) ZeileHinzufuegen(z.first, z.second);
  CodeSetzen(text);
}

void ZweispaltenCombo::ZeileHinzufuegen(const QString& code, const QString& bedeutung) {
  m_modell->appendRow({new QStandardItem(code), new QStandardItem(bedeutung)});
}

void ZweispaltenCombo::Leeren() {
  m_modell->removeRows(0, m_modell->rowCount());
  CodeSetzen(QString());
}

int ZweispaltenCombo::Zeilen() const { return m_modell->rowCount(); }

QString ZweispaltenCombo::Code() const { return lineEdit()->text(); }

int ZweispaltenCombo::ZeileVon(const QString& code) const {
  for (int i = 0; i < m_modell->rowCount(); ++i)
    if (m_modell->item(i, 0)->text().compare(code, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void ZweispaltenCombo::CodeSetzen(const QString& code) {
  const int zeile = ZeileVon(code);
  {
    const QSignalBlocker sperre(this);
    setCurrentIndex(zeile);
  }
  lineEdit()->setText(zeile >= 0 ? m_modell->item(zeile, 0)->text() : code);
  m_vorher = Code();
}

QString ZweispaltenCombo::Bedeutung() const {
  const int zeile = ZeileVon(Code());
  return zeile >= 0 ? m_modell->item(zeile, 1)->text() : QString();
}

bool ZweispaltenCombo::IstAufgeklappt() const { return view()->isVisible(); }

void ZweispaltenCombo::showPopup() {
  // Both columns must be readable in the list, even when the field itself is narrow.
  m_ansicht->resizeColumnToContents(0);
  m_ansicht->resizeColumnToContents(1);
  // A gap between code and meaning, as between the columns of a grid.
  m_ansicht->setColumnWidth(0, m_ansicht->columnWidth(0) + fontMetrics().averageCharWidth() * 2);
  const int breite = m_ansicht->columnWidth(0) + m_ansicht->columnWidth(1) + 30;
  m_ansicht->setMinimumWidth(qMax(width(), breite));
  const int zeile = ZeileVon(Code());
  if (zeile >= 0) {
    const QSignalBlocker sperre(this);
    setCurrentIndex(zeile);
  }
  QComboBox::showPopup();
  // The combo sizes its list for rows only; with the column captions above them that leaves an
  // empty strip below short lists. Fit the list to its rows when it opens below the field.
  QWidget* behaelter = m_ansicht->window();
  const int zeilen = qMin(count(), maxVisibleItems());
  if (behaelter == this->window() || zeilen <= 0 || zeilen < count()) return;
  const int noetig = m_ansicht->header()->sizeHint().height() + zeilen * m_ansicht->sizeHintForRow(0) +
                     2 * m_ansicht->frameWidth() + (behaelter->height() - m_ansicht->height());
  const bool unten = behaelter->y() >= mapToGlobal(QPoint(0, height())).y() - 1;
  if (unten && noetig < behaelter->height()) behaelter->resize(behaelter->width(), noetig);
}

void ZweispaltenCombo::Vervollstaendigen(const QString& text) {
  // Only when characters were added at the end: Backspace and Delete must be able to shorten.
  const bool angefuegt = text.size() > m_vorher.size() && lineEdit()->cursorPosition() == text.size();
  m_vorher = text;
  if (angefuegt && !text.isEmpty()) {
    for (int i = 0; i < m_modell->rowCount(); ++i) {
      const QString code = m_modell->item(i, 0)->text();
      if (code.startsWith(text, Qt::CaseInsensitive)) {
        lineEdit()->setText(code);
        lineEdit()->setSelection(int(text.size()), int(code.size() - text.size()));
        m_vorher = text;
        break;
      }
    }
  }
  Q_EMIT Getippt(Code());
}
