#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "platform/db/Waehrung.h"

// Text forms of the SEPA files. The ...Anhaengen forms work on UTF-8 bytes and append to a buffer, for the
// run that writes 100,000 orders; each gives exactly the bytes of its QString form.
namespace SepaText {

// Amount as the files write it: a point, no thousands separator, only the digits the value
// needs and no zero before the point ("1250", "12.5", ".05").
QString Betrag(Waehrung betrag);
void BetragAnhaengen(QByteArray& ziel, Waehrung betrag);
// The same written at `ziel` (room for BetragLaenge bytes); returns the end.
inline constexpr int BetragLaenge = 24;
char* BetragSchreiben(char* ziel, Waehrung betrag);

// A text node: &, <, >, " and ' escaped; characters XML 1.0 does not allow are dropped.
QString XmlMaskieren(const QString& text);
// XmlMaskieren(QString::fromUtf8(text)) as UTF-8; text that needs no change is copied in one piece.
void MaskiertAnhaengen(QByteArray& ziel, QByteArrayView text);
// True when XmlMaskieren leaves the text as it is (the common case: plain ASCII without & < > " ').
bool OhneMaskierung(QByteArrayView text);

// `text` after SepaZeichenWandeln, trimmed. Never cut: the rules keep what reaches the file within its
// lengths (Auftragspruefung), so nothing is lost without a finding.
QString Gewandelt(const QString& text);
// Gewandelt(QString::fromUtf8(text)) as bytes (ASCII).
void GewandeltAnhaengen(QByteArray& ziel, QByteArrayView text);

// QString::fromUtf8(text).trimmed() as UTF-8.
void GetrimmtAnhaengen(QByteArray& ziel, QByteArrayView text);

// The sender's remark as it may stand in a file name: letters, digits, blank, ".", "_", "-".
QString DateinamenBemerkung(const QString& bemerkung);

}  // namespace SepaText
