#include "platform/ui/MaskenFeld.h"

#include "platform/ui/Farben.h"
#include "platform/ui/Feldgrenze.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

#include <algorithm>

// Normalises every change (typed, pasted or set from code) into the field's form. A change that would
// make the value longer than the limit is refused whole (Feldgrenze); a value set from code is kept whole.
class MaskenValidator : public QValidator {
 public:
  explicit MaskenValidator(QObject* eltern) : QValidator(eltern) {}

  int maxLaenge = 0;
  Zeichenklasse klasse = Zeichenklasse::Alle;
  bool block = false;
  mutable bool zuLang = false;   // the last refusal

  // The display form of `eingabe`; `position` follows the caret.
  QString Normalform(const QString& eingabe, int& position, int& wertLaenge) const {
    if (klasse == Zeichenklasse::Alle && !block) {
      wertLaenge = int(eingabe.size());
      return eingabe;
    }
    QString wert;
    int wertPosition = 0;
    for (int i = 0; i < eingabe.size(); ++i) {
      QChar c = eingabe.at(i);
      bool nehmen;
      if (klasse == Zeichenklasse::GrossbuchstabenZiffern) {
        c = c.toUpper();
        nehmen = (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
      } else {
        nehmen = !(block && c == QLatin1Char(' '));
      }
      if (!nehmen) continue;
      wert += c;
      if (i < position) ++wertPosition;
    }
    wertLaenge = int(wert.size());
    if (block) {
      const QString anzeige = MaskenFeld::BlockAnzeige(wert);
      position = qMin(wertPosition + wertPosition / 4, int(anzeige.size()));
      return anzeige;
    }
    position = wertPosition;
    return wert;
  }

  State validate(QString& eingabe, int& position) const override {
    zuLang = false;
    int laenge = 0;
    int pos = position;
    const QString form = Normalform(eingabe, pos, laenge);
    if (maxLaenge > 0 && laenge > maxLaenge) {
      zuLang = true;
      return Invalid;
    }
    eingabe = form;
    position = pos;
    return Acceptable;
  }
};

MaskenFeld::MaskenFeld(QWidget* eltern) : QLineEdit(eltern), m_validator(new MaskenValidator(this)) {
  setValidator(m_validator);
  // The validator is the limit (in value characters): the line edit's own maximum would cut pasted text.
  setMaxLength(32767);
  connect(this, &QLineEdit::textEdited, this, [this] { Q_EMIT Getippt(Wert()); });
  connect(this, &QLineEdit::inputRejected, this, [this] {
    if (!m_validator->zuLang) return;
    m_validator->zuLang = false;
    Feldgrenze::Melden(this, m_maxLaenge);
  });
}

MaskenFeld::~MaskenFeld() = default;

QString MaskenFeld::BlockAnzeige(const QString& wert) {
  QString anzeige;
  anzeige.reserve(wert.size() + wert.size() / 4);
  for (int i = 0; i < wert.size(); ++i) {
    if (i > 0 && i % 4 == 0) anzeige += QLatin1Char(' ');
    anzeige += wert.at(i);
  }
  return anzeige;
}

void MaskenFeld::Einrichten() {
  m_validator->maxLaenge = m_maxLaenge;
  m_validator->klasse = m_klasse;
  m_validator->block = m_block;
  const QString wert = Wert();
  WertSetzen(wert);
  updateGeometry();   // the width for the longest code follows limit, class and blocks
}

void MaskenFeld::MaxLaengeSetzen(int zeichen) {
  m_maxLaenge = qMax(0, zeichen);
  Einrichten();
}

void MaskenFeld::ZeichenklasseSetzen(Zeichenklasse klasse) {
  m_klasse = klasse;
  Einrichten();
}

void MaskenFeld::IbanBlockSetzen(bool block) {
  const QString wert = Wert();
  m_block = block;
  if (block) m_klasse = Zeichenklasse::GrossbuchstabenZiffern;
  m_validator->block = block;
  m_validator->klasse = m_klasse;
  setText(wert);
  Einrichten();
}

QSize MaskenFeld::minimumSizeHint() const {
  QSize groesse = QLineEdit::minimumSizeHint();
  if (m_klasse != Zeichenklasse::GrossbuchstabenZiffern || m_maxLaenge <= 0) return groesse;
  ensurePolished();
  const QString probe(m_maxLaenge, QLatin1Char('W'));
  const QMargins rand = textMargins();
  // The line edit keeps two pixels beside its text on either side.
  const QSize inhalt(fontMetrics().horizontalAdvance(m_block ? BlockAnzeige(probe) : probe) + 2 * 2 + rand.left() +
                         rand.right(),
                     groesse.height());
  QStyleOptionFrame option;
  initStyleOption(&option);
  groesse.setWidth(std::max(groesse.width(), style()->sizeFromContents(QStyle::CT_LineEdit, &option, inhalt, this).width()));
  return groesse;
}

QSize MaskenFeld::sizeHint() const {
  QSize groesse = QLineEdit::sizeHint();
  groesse.setWidth(std::max(groesse.width(), minimumSizeHint().width()));
  return groesse;
}

QString MaskenFeld::Wert() const {
  if (!m_block) return text();
  QString t = text();
  t.remove(QLatin1Char(' '));
  return t;
}

void MaskenFeld::WertSetzen(const QString& wert) {
  // Normalised like typed input but never cut: a stored value longer than the limit shows whole.
  // setText raises textChanged but not textEdited, which is what Getippt follows.
  int pos = int(wert.size());
  int laenge = 0;
  const QString t = m_validator->Normalform(wert, pos, laenge);
  if (text() != t) setText(t);
}

void MaskenFeld::CaretSetzen(int position) { setCursorPosition(qBound(0, position, int(text().size()))); }

void MaskenFeld::AuswahlSetzen(int start, int laenge) {
  start = qBound(0, start, int(text().size()));
  laenge = qBound(0, laenge, int(text().size()) - start);
  setSelection(start, laenge);
}

void MaskenFeld::GueltigkeitAnzeigen(bool gueltig) {
  m_ungueltig = !gueltig;
  if (gueltig) {
    setPalette(QPalette());
    return;
  }
  QPalette p = palette();
  p.setColor(QPalette::Base, Farben::Rot());
  p.setColor(QPalette::Text, Farben::Weiss());
  setPalette(p);
}

void MaskenFeld::keyPressEvent(QKeyEvent* ereignis) {
  // In the block display a blank is not part of the value: deleting it would change nothing,
  // so Backspace and Delete jump over it and remove the character behind it.
  if (m_block && !hasSelectedText() && ereignis->modifiers() == Qt::NoModifier) {
    const int pos = cursorPosition();
    const QString t = text();
    if (ereignis->key() == Qt::Key_Backspace && pos > 0 && t.at(pos - 1) == QLatin1Char(' '))
      setCursorPosition(pos - 1);
    else if (ereignis->key() == Qt::Key_Delete && pos < t.size() && t.at(pos) == QLatin1Char(' '))
      setCursorPosition(pos + 1);
  }
  QLineEdit::keyPressEvent(ereignis);
}

void MaskenFeld::mouseDoubleClickEvent(QMouseEvent* ereignis) {
  QLineEdit::mouseDoubleClickEvent(ereignis);
  Q_EMIT Doppelklick();
}
