#include "common/FilterBedingung.h"

#include <QDate>
#include <QRegularExpression>

#include "common/Uhr.h"

namespace {

int VierstelligesJahr(int jahr, qsizetype stellen) {
  if (stellen > 2) return jahr;
  return jahr < 30 ? 2000 + jahr : 1900 + jahr;  // the old run time's window for two-digit years
}

}  // namespace

std::optional<QDate> FilterDatum(const QString& roh) {
  const QString text = roh.trimmed();
  static const QRegularExpression deutsch(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})?$"));
  static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
  QDate d;
  if (const auto m = deutsch.match(text); m.hasMatch()) {
    const int jahr = m.capturedLength(3) == 0 ? Uhr::Heute().year()
                                              : VierstelligesJahr(m.captured(3).toInt(), m.capturedLength(3));
    d = QDate(jahr, m.captured(2).toInt(), m.captured(1).toInt());
  } else if (const auto m2 = iso.match(text); m2.hasMatch()) {
    d = QDate(m2.captured(1).toInt(), m2.captured(2).toInt(), m2.captured(3).toInt());
  }
  if (!d.isValid()) return std::nullopt;
  return d;
}

Bedingung FilterBedingungErstellen(const QList<FilterSpalte>& spalten, bool qualifiziert) {
  QList<Bedingung> teile;
  for (const FilterSpalte& s : spalten) {
    if (s.filterText.isEmpty()) continue;
    const SqlText feld = qualifiziert && !s.quellTabelle.isEmpty() && !s.quellFeld.isEmpty()
                             ? SqlText::Bezeichner(s.quellTabelle + QLatin1Char('.') + s.quellFeld)
                             : SqlText::Bezeichner(s.datenfeld);
    switch (s.typ) {
      case FeldTyp::Datum: {
        const std::optional<QDate> tag = FilterDatum(s.filterText);
        if (!tag) {
          teile.append(Bedingung(SqlText("0 = 1")));
          break;
        }
        // A range keeps values with a time of day and lets an index serve the search.
        teile.append(Bedingung(feld + SqlText(" >= ? AND ") + feld + SqlText(" < ?"),
                               {tag->toString(Qt::ISODate), tag->addDays(1).toString(Qt::ISODate)}));
        break;
      }
      case FeldTyp::Waehrung: {
        // As the grid shows it ("1.234,56", rounded half away from zero), or without the
        // thousands points as people type amounts ("1234,5").
        const SqlText cent = SqlText("CAST((abs(") + feld + SqlText(") + 50) / 100 AS INTEGER)");
        const SqlText anzeige = SqlText("(CASE WHEN ") + feld + SqlText(" < 0 AND ") + cent +
                                SqlText(" > 0 THEN '-' ELSE '' END || replace(printf('%,d', ") + cent +
                                SqlText(" / 100), ',', '.') || ',' || printf('%02d', ") + cent + SqlText(" % 100))");
        const QString muster = LikeMusterAusFilter(s.filterText, true);
        teile.append(Bedingung(SqlText("(") + anzeige + SqlText(" LIKE ? ESCAPE '\\' OR replace(") + anzeige +
                                   SqlText(", '.', '') LIKE ? ESCAPE '\\')"),
                               {muster, muster}));
        break;
      }
      case FeldTyp::Double:
        teile.append(Bedingung(SqlText("replace(CAST(") + feld + SqlText(" AS TEXT), '.', ',') LIKE ? ESCAPE '\\'"),
                               {LikeMusterAusFilter(s.filterText, true)}));
        break;
      default:
        teile.append(Bedingung(feld + SqlText(" LIKE ? ESCAPE '\\'"), {LikeMusterAusFilter(s.filterText, true)}));
        break;
    }
  }
  return Bedingung::AlleUnd(teile);
}
