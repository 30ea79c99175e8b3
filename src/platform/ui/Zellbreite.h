#pragma once

#include <QString>

class QAbstractItemView;

// Width a cell of `ansicht` needs to show `text` on one line and whole: the text in the view's font and
// the margins the item delegate leaves on either side. Grids and lists size their columns of amounts,
// IBANs and BICs with it.
int ZellTextbreite(const QAbstractItemView& ansicht, const QString& text);
