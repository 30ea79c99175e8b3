#include "platform/ui/Eingabehinweis.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include "platform/ui/Meldung.h"

Eingabehinweis::Eingabehinweis(QLineEdit* feld, Erlaubt erlaubt, Rueckmeldung rueckmeldung, QObject* tasten)
    : QObject(feld),
      m_feld(feld),
      m_tasten(tasten ? tasten : feld),
      m_erlaubt(std::move(erlaubt)),
      m_rueckmeldung(std::move(rueckmeldung)) {
  m_tasten->installEventFilter(this);
}

QString Eingabehinweis::Text(const QString& eingabe, bool eingefuegt, const QString& erlaubt) {
  return eingefuegt ? QStringLiteral("\u201E%1\u201C passt nicht in dieses Feld und wurde nicht eingefügt. %2").arg(eingabe, erlaubt)
                    : QStringLiteral("\u201E%1\u201C ist hier nicht möglich und wurde nicht übernommen. %2").arg(eingabe, erlaubt);
}

QString Eingabehinweis::ZahlErlaubt(bool ganzzahl) {
  return ganzzahl ? QStringLiteral("Erlaubt sind nur Ziffern.")
                  : QStringLiteral("Erlaubt sind Ziffern, ein Komma und Punkte als Tausendertrennung.");
}

QString Eingabehinweis::DatumErlaubt() { return QStringLiteral("Erlaubt sind Ziffern und Punkte (15.01.2026, 150126)."); }

bool Eingabehinweis::Abgelehnt(const QString& einfuegen) const {
  const QValidator* pruefer = m_feld->validator();
  if (!pruefer) return false;
  // The text the field would hold, as QLineEdit inserts: the selection (or nothing) replaced at the cursor.
  QString neu = m_feld->text();
  int position = m_feld->cursorPosition();
  if (m_feld->hasSelectedText()) {
    position = m_feld->selectionStart();
    neu.remove(position, m_feld->selectedText().size());
  }
  neu.insert(position, einfuegen);
  if (m_feld->maxLength() > 0 && neu.size() > m_feld->maxLength()) return false;   // a length limit is no refusal of the character
  position += einfuegen.size();
  return pruefer->validate(neu, position) == QValidator::Invalid;
}

void Eingabehinweis::Zeigen(const QString& hinweis) {
  m_letzter = hinweis;
  Meldung::Randhinweis(hinweis, m_feld);
  if (m_rueckmeldung) m_rueckmeldung(hinweis);
}

bool Eingabehinweis::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt != m_tasten || ereignis->type() != QEvent::KeyPress || m_feld->isReadOnly()) return false;
  auto* taste = static_cast<QKeyEvent*>(ereignis);
  const QString erlaubt = m_erlaubt ? m_erlaubt() : QString();
  if (taste->matches(QKeySequence::Paste)) {
    const QString eingefuegt = QApplication::clipboard()->text();
    if (!eingefuegt.isEmpty() && Abgelehnt(eingefuegt)) Zeigen(Text(eingefuegt.trimmed(), true, erlaubt));
    return false;
  }
  const QString text = taste->text();
  if (text.size() != 1 || !text.at(0).isPrint() || (taste->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    return false;
  if (Abgelehnt(text)) Zeigen(Text(text, false, erlaubt));
  return false;   // the field refuses it itself, as before
}
