#pragma once

#include <QString>
#include <QStringList>

#include "sepafiles/core/SepaAuswahl.h"

// The orders the pre-check left out as the list "Weggelassene Zahlungen" shows them: its columns, each
// cell's text, and a row as tab-separated text (the list's copy and the headless run's output).
namespace SepaBefundliste {

// "Nr.", "Name", "IBAN", "Betrag", "Fällig", "Gründe".
const QStringList& Spalten();
// Column `spalte` of `befund`: the IBAN in blocks, the amount and date in German, the reasons on one line
// joined by `trenner`.
QString Zelle(const SepaAuftragsbefund& befund, int spalte, const QString& trenner = QStringLiteral("; "));
// Every cell, joined by tabs.
QString Zeile(const SepaAuftragsbefund& befund);
// The captions, joined by tabs.
QString Kopfzeile();

}  // namespace SepaBefundliste
