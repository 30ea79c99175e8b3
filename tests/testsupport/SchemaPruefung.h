#pragma once

#include <QString>
#include <QStringList>

// Validates SEPA files against the ISO 20022 schemas (unpacked into the build tree) and, where the
// shared folder holds them, against the German banks' schemas.
namespace SchemaPruefung {

// Folder of the ISO schemas (TAMO_SCHEMA_DIR), empty when unknown.
QString IsoSchemaOrdner();
// Folder of the German banks' schemas (TAMO_SHARED_DIR/xsd), empty when absent.
QString DkSchemaOrdner();

// Validates file `datei` against schema file `xsd`. Returns the error texts; empty = valid.
QStringList GegenSchema(const QString& datei, const QString& xsd);

// Validates `datei` against the ISO schema of `format` ("pain.001.001.03" or "pain.008.001.02")
// and the DK schema of the same format when present. A missing ISO schema is an error.
QStringList Pruefen(const QString& datei, const QString& format);

}  // namespace SchemaPruefung
