#include "platform/ui/DatumFeld.h"

#include "platform/db/Datumseingabe.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/Meldung.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString NurZiffern(const QString& text) {
  QString z;
  for (QChar c : text)
    if (c.isDigit()) z += c;
  return z;
}

}  // namespace

DatumFeld::DatumFeld(QWidget* eltern) : QLineEdit(eltern) {
  setInputMask(QStringLiteral("99.99.9999;_"));
  QAction* knopf = addAction(Bildliste::Bilder16().Bild(QStringLiteral("Fällig")), QLineEdit::TrailingPosition);
  knopf->setToolTip(QStringLiteral("Kalender öffnen (F4)"));
  connect(knopf, &QAction::triggered, this, [this] { AufklappenOeffnen(); });
  connect(this, &QLineEdit::textEdited, this, [this] { Q_EMIT Getippt(); });
}

DatumFeld::~DatumFeld() = default;

QSize DatumFeld::minimumSizeHint() const {
  ensurePolished();
  const QFontMetrics fm(font());
  const QMargins rand = textMargins();
  // Text of the widest digits, the caret, the line edit's inner margins and the trailing calendar
  // button (its icon, the space around it and the gap to the text, as the line edit lays it out).
  const int bild = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
  const int inhalt = fm.horizontalAdvance(QStringLiteral("00.00.0000")) + 2 + 2 * 2 + rand.left() + rand.right() +
                     bild + 6 + bild / 4 + 2;
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QSize groesse = style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inhalt, fm.height()), this);
  return {groesse.width(), QLineEdit::minimumSizeHint().height()};
}

QSize DatumFeld::sizeHint() const {
  const QSize mindestens = minimumSizeHint();
  return {mindestens.width() + 8, QLineEdit::sizeHint().height()};
}

bool DatumFeld::ImBereich(const QDate& datum) const {
  return (!m_minimum || datum >= *m_minimum) && (!m_maximum || datum <= *m_maximum);
}

std::optional<QDate> DatumFeld::Wert() const {
  const std::optional<QDate> d = DatumAusEingabe(text());
  if (!d || !ImBereich(*d)) return std::nullopt;
  return d;
}

bool DatumFeld::IstLeer() const { return NurZiffern(text()).isEmpty(); }

void DatumFeld::TextSetzen(const std::optional<QDate>& datum) {
  if (!datum) {
    if (!IstLeer()) setText(QString());
    return;
  }
  if (Text(*datum) != text()) setText(Text(*datum));
}

void DatumFeld::WertSetzen(const std::optional<QDate>& datum) {
  m_letzter = (datum && datum->isValid() && ImBereich(*datum)) ? datum : std::nullopt;
  TextSetzen(m_letzter);
}

bool DatumFeld::Uebernehmen() {
  if (IstLeer()) {
    m_letzter.reset();
    return true;
  }
  const std::optional<QDate> d = Wert();
  if (!d) return false;
  m_letzter = d;
  TextSetzen(d);
  return true;
}

QString DatumFeld::Fehlertext() const {
  const QString eingabe = text();
  const std::optional<QDate> d = DatumAusEingabe(eingabe);
  if (d && m_minimum && m_maximum)
    return QStringLiteral("Das Datum muss zwischen dem %1 und dem %2 liegen.").arg(Text(*m_minimum), Text(*m_maximum));
  if (d && m_minimum) return QStringLiteral("Das Datum darf nicht vor dem %1 liegen.").arg(Text(*m_minimum));
  if (d && m_maximum) return QStringLiteral("Das Datum darf nicht nach dem %1 liegen.").arg(Text(*m_maximum));
  return DatumFehlertext(eingabe);
}

QString DatumFehlertext(const QString& eingabe) {
  return QStringLiteral("\u201E%1\u201C ist kein gültiges Datum. Geben Sie es als TT.MM.JJJJ ein, "
                        "zum Beispiel 15.01.2026.")
      .arg(eingabe.trimmed());
}

bool DatumFeld::EingabePruefen() {
  if (Uebernehmen()) return true;
  Meldung::Warnung(Fehlertext() + QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe."), {}, window());
  setFocus(Qt::OtherFocusReason);
  selectAll();
  return false;
}

void DatumFeld::KalenderSchriftSetzen(const QFont& schrift) {
  m_kalenderSchrift = schrift;
  m_kalenderSchriftGesetzt = true;
  if (m_kalender) m_kalender->setFont(schrift);
}

void DatumFeld::KalenderAnlegen() {
  if (m_popup) return;
  m_popup = new QFrame(this, Qt::Popup);
  m_popup->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(m_popup);
  layout->setContentsMargins(1, 1, 1, 1);
  m_kalender = new QCalendarWidget(m_popup);
  m_kalender->setLocale(QLocale(QLocale::German, QLocale::Germany));
  m_kalender->setFirstDayOfWeek(Qt::Monday);
  m_kalender->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  m_kalender->setGridVisible(false);
  if (m_kalenderSchriftGesetzt) m_kalender->setFont(m_kalenderSchrift);
  layout->addWidget(m_kalender);
  connect(m_kalender, &QCalendarWidget::clicked, this, &DatumFeld::KalenderGewaehlt);
  connect(m_kalender, &QCalendarWidget::activated, this, &DatumFeld::KalenderGewaehlt);
  m_popup->installEventFilter(this);
  for (QWidget* w : m_kalender->findChildren<QWidget*>()) w->installEventFilter(this);
  m_kalender->installEventFilter(this);
}

void DatumFeld::AufklappenOeffnen() {
  if (IstAufgeklappt() || !isEnabled() || isReadOnly()) return;
  KalenderAnlegen();
  if (m_minimum) m_kalender->setMinimumDate(*m_minimum);
  if (m_maximum) m_kalender->setMaximumDate(*m_maximum);
  const std::optional<QDate> d = DatumAusEingabe(text());
  const QDate start = d ? *d : QDate::currentDate();
  m_kalender->setSelectedDate(start);
  m_kalender->setCurrentPage(start.year(), start.month());
  if (m_kalenderGroesse.isValid())
    m_popup->resize(m_kalenderGroesse);
  else
    m_popup->resize(m_popup->sizeHint());
  QPoint pos = mapToGlobal(QPoint(0, height()));
  if (const QScreen* s = screen()) {
    const QRect frei = s->availableGeometry();
    if (pos.y() + m_popup->height() > frei.bottom()) pos.setY(mapToGlobal(QPoint(0, 0)).y() - m_popup->height());
    pos.setX(qBound(frei.left(), pos.x(), qMax(frei.left(), frei.right() - m_popup->width())));
  }
  m_popup->move(pos);
  m_popup->show();
  m_kalender->setFocus(Qt::PopupFocusReason);
}

void DatumFeld::AufklappenSchliessen() {
  if (m_popup && m_popup->isVisible()) m_popup->hide();
}

bool DatumFeld::IstAufgeklappt() const { return m_popup && m_popup->isVisible(); }

void DatumFeld::KalenderGewaehlt(const QDate& datum) {
  AufklappenSchliessen();
  if (!datum.isValid() || !ImBereich(datum)) return;
  m_letzter = datum;
  TextSetzen(datum);
  Q_EMIT Getippt();
}

bool DatumFeld::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == m_popup && ereignis->type() == QEvent::Hide) {
    Q_EMIT KalenderGeschlossen();
    return false;
  }
  if (m_popup && ereignis->type() == QEvent::KeyPress) {
    auto* taste = static_cast<QKeyEvent*>(ereignis);
    // Esc and Enter belong to the calendar: they close it and never reach the window.
    if (taste->key() == Qt::Key_Escape || (taste->key() == Qt::Key_F4 && taste->modifiers() == Qt::NoModifier)) {
      AufklappenSchliessen();
      return true;
    }
    if (taste->key() == Qt::Key_Return || taste->key() == Qt::Key_Enter) {
      KalenderGewaehlt(m_kalender->selectedDate());
      return true;
    }
  }
  return QLineEdit::eventFilter(objekt, ereignis);
}

void DatumFeld::keyPressEvent(QKeyEvent* ereignis) {
  int k = ereignis->key();
  if (m_pfeiltasten && ereignis->modifiers() == Qt::NoModifier && (k == Qt::Key_Up || k == Qt::Key_Down))
    k = k == Qt::Key_Up ? Qt::Key_Plus : Qt::Key_Minus;
  else if (!m_pfeiltasten && (k == Qt::Key_Up || k == Qt::Key_Down)) {
    ereignis->ignore();
    return;
  }
  if (k == Qt::Key_Plus || k == Qt::Key_Minus) {
    // One day on or back; a field without a date stays as it is. Either way the key is used up.
    const std::optional<QDate> d = DatumAusEingabe(text());
    if (d && !isReadOnly()) {
      const QDate neu = d->addDays(k == Qt::Key_Plus ? 1 : -1);
      if (ImBereich(neu)) {
        TextSetzen(neu);
        Q_EMIT Getippt();
      }
    }
    ereignis->accept();
    return;
  }
  if ((k == Qt::Key_F4 && ereignis->modifiers() == Qt::NoModifier) ||
      (k == Qt::Key_Down && (ereignis->modifiers() & Qt::AltModifier))) {
    AufklappenOeffnen();
    ereignis->accept();
    return;
  }
  QLineEdit::keyPressEvent(ereignis);
}

void DatumFeld::focusOutEvent(QFocusEvent* ereignis) {
  QLineEdit::focusOutEvent(ereignis);
  // The calendar and a change of window are no leaving of the field.
  const Qt::FocusReason grund = ereignis->reason();
  if (grund == Qt::PopupFocusReason || grund == Qt::ActiveWindowFocusReason) return;
  if (Uebernehmen() || isReadOnly() || !m_pruefenBeimVerlassen) return;
  // After the focus has settled: the message, and the field takes the focus back.
  QTimer::singleShot(0, this, [this] {
    if (isVisible() && !hasFocus()) EingabePruefen();
  });
}

void DatumFeld::mousePressEvent(QMouseEvent* ereignis) {
  QLineEdit::mousePressEvent(ereignis);
  // A click behind what was typed puts the caret on the first free place of the mask, not behind
  // it, where digits would be lost.
  if (hasSelectedText()) return;
  const qsizetype frei = displayText().indexOf(QLatin1Char('_'));
  if (frei >= 0 && cursorPosition() > frei) setCursorPosition(int(frei));
}

void DatumFeld::mouseDoubleClickEvent(QMouseEvent* ereignis) {
  QLineEdit::mouseDoubleClickEvent(ereignis);
  selectAll();
}
