#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Validates SEPA files in the tests with the program's own check (SepaSchemapruefung) against the schema
// copies the program ships (resources/xsd): the ISO and the German banks' (DK) schema of a message.
namespace SchemaPruefung {

// The program's schema folder; empty when it is not found.
QString SchemaOrdner();

// Validates `inhalt` against the ISO schema and, separately, the DK schema of `nachricht` (any of
// "pain.001.001.09", "pain.008.001.08", "pain.001.001.03", "pain.008.001.02"). Returns each schema's first
// complaint ("ISO: ...", "DK: ..."); empty = valid. A missing schema is a complaint too.
QStringList PruefenInhalt(const QByteArray& inhalt, const QString& nachricht);
// The same for file `datei`.
QStringList Pruefen(const QString& datei, const QString& nachricht);

}  // namespace SchemaPruefung
