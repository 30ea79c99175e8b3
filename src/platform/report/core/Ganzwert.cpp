#include "platform/report/core/Ganzwert.h"

#include "platform/db/FeldTyp.h"
#include "platform/db/Waehrung.h"
#include "platform/report/core/Reportvorlage.h"

namespace Ganzwert {

Art ArtVon(const QString& feldname, const QVariant& wert) {
  if (wert.isValid() && wert.metaType().id() == qMetaTypeId<Waehrung>()) return Art::Betrag;
  switch (KennungsfeldVon(feldname)) {
    case Kennungsfeld::Iban: return Art::Iban;
    case Kennungsfeld::Bic: return Art::Bic;
    case Kennungsfeld::Keines: break;
  }
  return Art::Keiner;
}

QString Breitester(Art art, const QString& format) {
  switch (art) {
    case Art::Betrag:
      return ReportwertFormatieren(QVariant::fromValue(Waehrung::AusRoh(-Waehrung::Hoechstbetrag)), format);
    case Art::Iban: return QStringLiteral("WW") + QString(32, QLatin1Char('0'));
    case Art::Bic: return QString(11, QLatin1Char('W'));
    case Art::Keiner: break;
  }
  return {};
}

}  // namespace Ganzwert
