#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

#include "platform/report/core/Reportdefinitionen.h"
#include "platform/report/core/Reportlayout.h"

// What the report designer builds and reads, free of widgets.
namespace Reportentwurf {

// A column showing one field: titled with the field's name (without its table), width and alignment
// by the field's kind (IBAN and BIC as wide as their widest value at 9 points).
Reportspalte SpalteAusFeld(const Reportdefinition& feld);

// A new report without columns: `titel` as its title line, the sender's name and the report date in
// the header when the print defines them, the page numbers in the footer.
Reportlayout NeuerReport(const QString& titel, const Reportdefinitionen& definitionen);

// Sample rows for the preview: the declared value of every field, numbers times the row number,
// dates a day apart, Booleans alternating.
QList<QHash<QString, QVariant>> Beispielzeilen(const Reportdefinitionen& definitionen, int anzahl);

// A column value that is exactly one field placeholder: its name and format.
struct Feldwert {
  QString name;
  QString format;
};
std::optional<Feldwert> EinzigesFeld(const QString& wert);
// The value "{Name}" or "{Name|Format}"; braces in the format are dropped (they would end it).
QString FeldwertText(const QString& name, const QString& format);

// Millimetres across the page inside the margins, and what the columns take together.
double Nutzbreite(const Reportlayout& layout);
double Spaltenbreite(const Reportlayout& layout);

}  // namespace Reportentwurf
