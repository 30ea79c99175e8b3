#include "platform/ui/Zellbreite.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>

int ZellTextbreite(const QAbstractItemView& ansicht, const QString& text) {
  // The style draws the text inside this margin on both sides; one pixel more each side for the grid line.
  const int rand = ansicht.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &ansicht) + 1;
  return QFontMetrics(ansicht.font()).horizontalAdvance(text) + 2 * rand + 2;
}
