#include "testsupport/SchemaPruefung.h"

#include <QFile>

#include "sepafiles/core/SepaFormat.h"
#include "sepafiles/core/SepaSchemapruefung.h"

namespace SchemaPruefung {

QString SchemaOrdner() { return SepaSchemapruefung::Ordner(); }

QStringList PruefenInhalt(const QByteArray& inhalt, const QString& nachricht) {
  const std::optional<SepaFormat> format = SepaFormate::AusText(nachricht);
  if (!format) return {QStringLiteral("Unbekannte Nachricht: ") + nachricht};
  const bool lastschrift = nachricht.startsWith(QLatin1String("pain.008"));
  QString meldung;
  const SepaSchemaliste schemas = SepaSchemapruefung::Laden(*format, lastschrift, SchemaOrdner(), meldung);
  if (schemas.isEmpty()) return {meldung};
  // Each schema alone, so a file both refuse shows both complaints.
  QStringList fehler;
  const QStringList namen{QStringLiteral("ISO: "), QStringLiteral("DK: ")};
  for (qsizetype i = 0; i < schemas.size(); ++i) {
    const SepaSchemabefund befund = SepaSchemapruefung::Pruefen(inhalt, {schemas.at(i)});
    if (!befund.Ok())
      fehler << namen.at(i) + QStringLiteral("%1 (Zeile %2, Spalte %3)").arg(befund.text).arg(befund.zeile).arg(befund.spalte);
  }
  return fehler;
}

QStringList Pruefen(const QString& datei, const QString& nachricht) {
  QFile f(datei);
  if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("Datei nicht lesbar: ") + datei};
  return PruefenInhalt(f.readAll(), nachricht);
}

}  // namespace SchemaPruefung
