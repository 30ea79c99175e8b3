#include "testsupport/SchemaPruefung.h"

#include <QDir>
#include <QFile>

#include <cstdarg>
#include <cstdio>
#include <QFileInfo>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

namespace SchemaPruefung {
namespace {

void FehlerSammeln(void* ctx, const char* format, ...) {
  auto* liste = static_cast<QStringList*>(ctx);
  char puffer[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(puffer, sizeof puffer, format, args);
  va_end(args);
  liste->append(QString::fromUtf8(puffer).trimmed());
}

}  // namespace

QString IsoSchemaOrdner() {
  const QString ordner = qEnvironmentVariable("TAMO_SCHEMA_DIR");
  return QDir(ordner).exists() ? ordner : QString();
}

QString DkSchemaOrdner() {
  const QString ordner = qEnvironmentVariable("TAMO_SHARED_DIR") + QStringLiteral("/xsd");
  return QFileInfo(ordner + QStringLiteral("/pain.001.001.03_GBIC_3.xsd")).exists() ? ordner : QString();
}

QStringList GegenSchema(const QString& datei, const QString& xsd) {
  QStringList fehler;
  const QByteArray xsdPfad = QFile::encodeName(xsd);
  const QByteArray dateiPfad = QFile::encodeName(datei);
  xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(xsdPfad.constData());
  if (!parser) return {QStringLiteral("Schema nicht lesbar: ") + xsd};
  xmlSchemaSetParserErrors(parser, FehlerSammeln, FehlerSammeln, &fehler);
  xmlSchemaPtr schema = xmlSchemaParse(parser);
  xmlSchemaFreeParserCtxt(parser);
  if (!schema) {
    fehler.prepend(QStringLiteral("Schema nicht lesbar: ") + xsd);
    return fehler;
  }
  xmlDocPtr doc = xmlReadFile(dateiPfad.constData(), nullptr, XML_PARSE_NONET);
  if (!doc) {
    xmlSchemaFree(schema);
    return {QStringLiteral("Datei ist kein XML: ") + datei};
  }
  xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
  xmlSchemaSetValidErrors(valid, FehlerSammeln, FehlerSammeln, &fehler);
  const int rc = xmlSchemaValidateDoc(valid, doc);
  if (rc != 0 && fehler.isEmpty()) fehler.append(QStringLiteral("Validierung fehlgeschlagen (%1)").arg(rc));
  xmlSchemaFreeValidCtxt(valid);
  xmlFreeDoc(doc);
  xmlSchemaFree(schema);
  return fehler;
}

QStringList Pruefen(const QString& datei, const QString& format) {
  QStringList fehler;
  const QString iso = IsoSchemaOrdner();
  if (iso.isEmpty()) return {QStringLiteral("ISO-Schemaordner fehlt (TAMO_SCHEMA_DIR)")};
  fehler += GegenSchema(datei, iso + QLatin1Char('/') + format + QStringLiteral(".xsd"));
  const QString dk = DkSchemaOrdner();
  if (!dk.isEmpty()) {
    for (const QString& f : GegenSchema(datei, dk + QLatin1Char('/') + format + QStringLiteral("_GBIC_3.xsd")))
      fehler.append(QStringLiteral("DK: ") + f);
  }
  return fehler;
}

}  // namespace SchemaPruefung
