#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

#include "platform/ui/TastenVorschau.h"

// The Alt letters a window offers as the user sees them: the mnemonics of its shown captions (buttons,
// labels with a buddy, group boxes, tabs) and the letters its key preview claims with Ctrl or Alt.
// Widgets hidden by the window (another mode's buttons) do not count. Each letter with its sources.
inline QMap<QChar, QStringList> AltBuchstaben(QWidget* fenster) {
  QMap<QChar, QStringList> belegt;
  const auto merken = [&belegt](const QString& text, const QString& wer) {
    const QKeySequence k = QKeySequence::mnemonic(text);
    if (k.isEmpty()) return;
    const int taste = k[0].key();
    if (taste >= Qt::Key_A && taste <= Qt::Key_Z) belegt[QChar(taste)] << wer;
    else if (taste > 0 && taste < 0x10000) belegt[QChar(taste).toUpper()] << wer;
  };
  for (QWidget* w : fenster->findChildren<QWidget*>()) {
    if (w->window() != fenster || !w->isVisibleTo(fenster)) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) merken(b->text(), b->text());
    else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) merken(l->text(), l->text());
    else if (auto* g = qobject_cast<QGroupBox*>(w)) merken(g->title(), g->title());
    else if (auto* t = qobject_cast<QTabBar*>(w))
      for (int i = 0; i < t->count(); ++i) merken(t->tabText(i), t->tabText(i));
  }
  for (TastenVorschau* v : fenster->findChildren<TastenVorschau*>())
    for (int taste : v->Buchstaben())
      if (taste >= Qt::Key_A && taste <= Qt::Key_Z) belegt[QChar(taste)] << QStringLiteral("Strg/Alt+") + QChar(taste);
  return belegt;
}

// "J: &Ja / &Jetzt" for each letter given twice; empty when every letter is unique.
inline QStringList DoppelteAltBuchstaben(QWidget* fenster) {
  QStringList doppelt;
  const QMap<QChar, QStringList> belegt = AltBuchstaben(fenster);
  for (auto it = belegt.cbegin(); it != belegt.cend(); ++it)
    if (it.value().size() > 1) doppelt << QString(it.key()) + QStringLiteral(": ") + it.value().join(QStringLiteral(" / "));
  return doppelt;
}
