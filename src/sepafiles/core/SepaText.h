#pragma once

#include <QString>

#include "platform/db/Waehrung.h"

// Text forms of the SEPA files.
namespace SepaText {

// Amount as the files write it: a point, no thousands separator, only the digits the value
// needs and no zero before the point ("1250", "12.5", ".05").
QString Betrag(Waehrung betrag);

// A text node: &, <, >, " and ' escaped; characters XML 1.0 does not allow are dropped.
QString XmlMaskieren(const QString& text);

// `text` after SepaZeichenWandeln, trimmed and cut to `laenge` characters.
QString Gewandelt(const QString& text, int laenge);

// The sender's remark as it may stand in a file name: letters, digits, blank, ".", "_", "-".
QString DateinamenBemerkung(const QString& bemerkung);

}  // namespace SepaText
