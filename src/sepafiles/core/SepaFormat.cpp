#include "sepafiles/core/SepaFormat.h"

#include <QFile>

#include "sepafiles/core/SepaText.h"

namespace SepaFormate {

QList<SepaFormat> Alle() { return {SepaFormat::Pain09, SepaFormat::Pain03}; }

QString Nachricht(SepaFormat format, bool lastschrift) {
  if (format == SepaFormat::Pain03)
    return lastschrift ? QStringLiteral("pain.008.001.02") : QStringLiteral("pain.001.001.03");
  return lastschrift ? QStringLiteral("pain.008.001.08") : QStringLiteral("pain.001.001.09");
}

QString IsoSchema(SepaFormat format, bool lastschrift) { return Nachricht(format, lastschrift) + QStringLiteral(".xsd"); }

QString DkSchema(SepaFormat format, bool lastschrift) {
  return Nachricht(format, lastschrift) +
         (format == SepaFormat::Pain03 ? QStringLiteral("_GBIC_3.xsd") : QStringLiteral("_GBIC_5.xsd"));
}

QString Bezeichnung(SepaFormat format) {
  if (format == SepaFormat::Pain03) return QStringLiteral("pain.001.001.03 / pain.008.001.02 (bis November 2026)");
  return QStringLiteral("pain.001.001.09 / pain.008.001.08");
}

QString Wert(SepaFormat format) { return Nachricht(format, false); }

std::optional<SepaFormat> AusText(const QString& text) {
  const QString t = text.trimmed();
  for (SepaFormat f : Alle())
    if (t.compare(Bezeichnung(f), Qt::CaseInsensitive) == 0 || t.compare(Nachricht(f, false), Qt::CaseInsensitive) == 0 ||
        t.compare(Nachricht(f, true), Qt::CaseInsensitive) == 0)
      return f;
  return std::nullopt;
}

QDate AltesFormatEnde() { return QDate(2026, 12, 1); }

bool VonBankenAbgelehnt(SepaFormat format, const QDate& heute) {
  return format == SepaFormat::Pain03 && heute >= AltesFormatEnde();
}

QString AltesFormatWarnung() {
  return QStringLiteral("Die deutschen Banken nehmen SEPA-Dateien im alten Format pain.001.001.03 / pain.008.001.02 "
                        "seit Ende November 2026 nicht mehr an.");
}

QString AltesFormatFrage(bool lauf) {
  return AltesFormatWarnung() + QStringLiteral("\r\r") +
         (lauf ? QStringLiteral("Sollen die SEPA-Dateien trotzdem in diesem Format erstellt werden?")
               : QStringLiteral("Soll trotzdem dieses Format eingestellt werden?"));
}

QString AltesFormatErstellt(SepaFormat format, bool lastschrift, bool mehrere) {
  return (mehrere ? QStringLiteral("Diese SEPA-Dateien wurden im alten Format %1 erstellt:")
                  : QStringLiteral("Diese SEPA-Datei wurde im alten Format %1 erstellt:"))
      .arg(Nachricht(format, lastschrift));
}

std::optional<SepaFormat> FormatDerDatei(const QString& pfad) {
  QFile datei(pfad);
  if (!datei.open(QIODevice::ReadOnly)) return std::nullopt;
  // The document element with its namespace stands right after the XML declaration.
  const QByteArray kopf = datei.read(1024);
  for (SepaFormat f : Alle())
    for (bool lastschrift : {false, true})
      if (kopf.contains(QByteArrayLiteral("urn:iso:std:iso:20022:tech:xsd:") + Nachricht(f, lastschrift).toLatin1()))
        return f;
  return std::nullopt;
}

QByteArray BicElement(SepaFormat format) {
  return format == SepaFormat::Pain03 ? QByteArrayLiteral("BIC") : QByteArrayLiteral("BICFI");
}

bool AusfuehrungsdatumInDt(SepaFormat format) { return format == SepaFormat::Pain09; }

bool KontrollsummePasst(SepaFormat format, Waehrung summe) {
  if (summe.IstNegativ()) return false;
  char text[SepaText::BetragLaenge];
  const char* ende = SepaText::BetragSchreiben(text, summe);
  int ziffern = 0;
  int nachkomma = -1;   // digits after the point, once it is seen
  for (const char* p = text; p < ende; ++p) {
    if (*p == '.') {
      nachkomma = 0;
    } else {
      ++ziffern;
      if (nachkomma >= 0) ++nachkomma;
    }
  }
  return ziffern <= 18 && nachkomma <= (format == SepaFormat::Pain03 ? 17 : 2);
}

}  // namespace SepaFormate
