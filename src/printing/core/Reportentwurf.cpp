#include "printing/core/Reportentwurf.h"

#include <QDate>
#include <QDateTime>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>

#include "platform/db/Waehrung.h"
#include "platform/report/core/Ganzwert.h"
#include "platform/report/core/Reportvorlage.h"

namespace Reportentwurf {

Reportspalte SpalteAusFeld(const Reportdefinition& feld) {
  Reportspalte s;
  s.titel = feld.name.mid(feld.name.lastIndexOf(QLatin1Char('.')) + 1);
  s.wert = FeldwertText(feld.name, {});
  switch (feld.typ) {
    case Report::Typ::Zahl:
      // Amounts up to 999.999.999,99 with their sign fit at the page's font (8 to 9 points).
      s.breite = feld.wert.metaType().id() == qMetaTypeId<Waehrung>() ? 28 : 22;
      s.ausrichtung = Spaltenausrichtung::Rechts;
      break;
    case Report::Typ::Datum: s.breite = 20; break;
    case Report::Typ::Boolean:
      s.breite = 12;
      s.ausrichtung = Spaltenausrichtung::Mitte;
      break;
    case Report::Typ::Bild: s.breite = 25; break;
    default:
      // An IBAN of 34 characters and a BIC of 11 wide letters fit at 9 points; they are never wrapped.
      switch (Ganzwert::ArtVon(feld.name, feld.wert)) {
        case Ganzwert::Art::Iban: s.breite = 73; break;
        case Ganzwert::Art::Bic: s.breite = 36; break;
        default:
          s.breite = 35;
          s.umbruch = true;
          break;
      }
      break;
  }
  return s;
}

Reportlayout NeuerReport(const QString& titel, const Reportdefinitionen& definitionen) {
  Reportlayout l;
  l.beschreibung = QStringLiteral("Neuer Report");
  l.titel << Reportzeile{titel, 14, true};
  if (definitionen.IstVariable(QStringLiteral("Absender.Name"))) l.kopfLinks = QStringLiteral("{Absender.Name}");
  if (definitionen.IstVariable(QStringLiteral("Allgemeines.AusgabeReportDatum")))
    l.kopfRechts = QStringLiteral("Reportdatum: {Allgemeines.AusgabeReportDatum}");
  l.fussRechts = QStringLiteral("Seite {Seite} von {Seiten}");
  return l;
}

QList<QHash<QString, QVariant>> Beispielzeilen(const Reportdefinitionen& definitionen, int anzahl) {
  QList<QHash<QString, QVariant>> zeilen;
  for (int i = 1; i <= anzahl; ++i) {
    QHash<QString, QVariant> zeile;
    for (const Reportdefinition& f : definitionen.felder) {
      const QVariant& w = f.wert;
      QVariant beispiel = w;
      if (w.metaType().id() == qMetaTypeId<Waehrung>()) {
        beispiel = QVariant::fromValue(Waehrung::AusRoh(w.value<Waehrung>().Roh() * i));
      } else {
        switch (w.metaType().id()) {
          case QMetaType::Int:
          case QMetaType::LongLong: beispiel = w.toLongLong() * i; break;
          case QMetaType::Double: beispiel = w.toDouble() * i; break;
          case QMetaType::QDate: beispiel = w.toDate().addDays(i - 1); break;
          case QMetaType::QDateTime: beispiel = w.toDateTime().addDays(i - 1); break;
          case QMetaType::Bool: beispiel = i % 2 == 1; break;
          default: break;
        }
      }
      zeile.insert(f.name, beispiel);
    }
    zeilen << zeile;
  }
  return zeilen;
}

std::optional<Feldwert> EinzigesFeld(const QString& wert) {
  const Reportvorlage v = Reportvorlage::Zerlegen(wert);
  const Reportvorlage::Teil* t = v.EinzigesFeld();
  if (!t) return std::nullopt;
  return Feldwert{t->name, t->format};
}

QString FeldwertText(const QString& name, const QString& format) {
  QString f = format;
  f.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
  return QLatin1Char('{') + name + (f.isEmpty() ? QString() : QLatin1Char('|') + f) + QLatin1Char('}');
}

double Nutzbreite(const Reportlayout& l) {
  const QPageLayout seite(QPageSize(l.papier), l.ausrichtung, QMarginsF());
  return seite.fullRect(QPageLayout::Millimeter).width() - l.raender.left() - l.raender.right();
}

double Spaltenbreite(const Reportlayout& l) {
  double summe = 0;
  for (const Reportspalte& s : l.spalten) summe += s.breite;
  return summe;
}

}  // namespace Reportentwurf
