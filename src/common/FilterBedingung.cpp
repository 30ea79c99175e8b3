#include "common/FilterBedingung.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

#include "common/Uhr.h"
#include "platform/db/Datumseingabe.h"

namespace {

bool NurZiffern(const QString& text) {
  for (QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  return true;
}

// The raw amounts (ten-thousandths; inclusive ranges) whose shown text begins with `eingabe`, a
// text without wildcards: "-1.234,56" with whole cents rounded half away from zero, a minus only
// before a shown amount that is not zero. A text without a point is compared with the text
// without thousands points. No range when no shown amount can begin so.
QList<std::pair<qint64, qint64>> BetragsBereiche(const QString& eingabe) {
  constexpr int kMaxStellen = 14;   // euro digits: far beyond any amount of a payment
  QList<std::pair<qint64, qint64>> bereiche;
  QString text = eingabe;
  const bool minus = text.startsWith(QLatin1Char('-'));
  if (minus) text.remove(0, 1);
  // Shown cents from..to -> raw values, with the sign.
  const auto hinzu = [&](qint64 vonCent, qint64 bisCent) {
    if (minus) {
      vonCent = std::max<qint64>(vonCent, 1);
      if (vonCent <= bisCent) bereiche.append({-(bisCent * 100 + 49), -(vonCent * 100 - 50)});
    } else {
      bereiche.append({vonCent == 0 ? -49 : vonCent * 100 - 50, bisCent * 100 + 49});
    }
  };
  qint64 grenze = 1;
  for (int i = 0; i < kMaxStellen; ++i) grenze *= 10;
  if (text.isEmpty()) {   // "-" alone
    hinzu(1, grenze * 100 - 1);
    return bereiche;
  }
  const qsizetype komma = text.indexOf(QLatin1Char(','));
  const bool mitKomma = komma >= 0;
  const QString ganz = mitKomma ? text.left(komma) : text;
  const QString dez = mitKomma ? text.mid(komma + 1) : QString();
  if (ganz.isEmpty() || dez.size() > 2 || !NurZiffern(dez)) return bereiche;
  // Points only between groups of three, the first group one to three digits; the last may be
  // begun while no comma follows.
  const QStringList gruppen = ganz.split(QLatin1Char('.'));
  const qsizetype k = gruppen.size();
  for (qsizetype i = 0; i < k; ++i) {
    const QString& g = gruppen.at(i);
    if (!NurZiffern(g)) return bereiche;
    if (k == 1) continue;
    const bool passt = i == 0 ? !g.isEmpty() && g.size() <= 3 : (i == k - 1 && !mitKomma ? g.size() <= 3 : g.size() == 3);
    if (!passt) return bereiche;
  }
  const QString ziffern = QString(ganz).remove(QLatin1Char('.'));
  const int stellen = int(ziffern.size());
  if (stellen > kMaxStellen || (ziffern.startsWith(QLatin1Char('0')) && (stellen > 1 || k > 1))) return bereiche;
  const qint64 euro = ziffern.toLongLong();
  if (mitKomma || ziffern == QStringLiteral("0")) {
    // The euros are complete: the cents as far as they are typed.
    const qint64 basis = euro * 100;
    if (dez.isEmpty()) hinzu(basis, basis + 99);
    else if (dez.size() == 1) hinzu(basis + dez.toInt() * 10, basis + dez.toInt() * 10 + 9);
    else hinzu(basis + dez.toInt(), basis + dez.toInt());
    return bereiche;
  }
  // The euros begin with these digits: one range for each number of euro digits they may have.
  const int schritt = k == 1 ? 1 : 3;
  for (int n = k == 1 ? stellen : int(gruppen.first().size()) + 3 * int(k - 1); n <= kMaxStellen; n += schritt) {
    qint64 faktor = 1;
    for (int i = stellen; i < n; ++i) faktor *= 10;
    hinzu(euro * faktor * 100, (euro + 1) * faktor * 100 - 1);
  }
  return bereiche;
}

}  // namespace

std::optional<QDate> FilterDatum(const QString& roh) {
  const QString text = roh.trimmed();
  if (const auto d = DatumAusEingabe(text)) return d;
  // Beyond what every date field takes: a day without a year (this year) and the ISO form.
  static const QRegularExpression ohneJahr(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.$"));
  static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
  QDate d;
  if (const auto m = ohneJahr.match(text); m.hasMatch())
    d = QDate(Uhr::Heute().year(), m.captured(2).toInt(), m.captured(1).toInt());
  else if (const auto m2 = iso.match(text); m2.hasMatch())
    d = QDate(m2.captured(1).toInt(), m2.captured(2).toInt(), m2.captured(3).toInt());
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
        if (!s.filterText.contains(QLatin1Char('*')) && !s.filterText.contains(QLatin1Char('?'))) {
          // Plain comparisons of the stored value: fast over many rows.
          QList<SqlText> oder;
          QVariantList werte;
          for (const auto& [von, bis] : BetragsBereiche(s.filterText)) {
            oder << feld + SqlText(" BETWEEN ? AND ?");
            werte << von << bis;
          }
          teile.append(oder.isEmpty() ? Bedingung(SqlText("0 = 1"))
                                      : Bedingung(SqlText("(") + SqlText::Verbinden(oder, SqlText(" OR ")) + SqlText(")"),
                                                  werte));
          break;
        }
        // With wildcards the shown text itself, with and without thousands points.
        const SqlText wert = SqlText("CAST(") + feld + SqlText(" AS INTEGER)");
        const SqlText vorzeichen = SqlText("CASE WHEN ") + wert + SqlText(" <= -50 THEN '-' ELSE '' END");
        const SqlText euro = SqlText("((abs(") + wert + SqlText(") + 50) / 10000)");
        const SqlText cent = SqlText("substr('0' || ((abs(") + wert + SqlText(") + 50) / 100 % 100), -2)");
        const SqlText angezeigt = SqlText("(") + vorzeichen + SqlText(" || replace(printf('%,d', ") + euro +
                                  SqlText("), ',', '.') || ',' || ") + cent + SqlText(")");
        const SqlText ohnePunkte = SqlText("(") + vorzeichen + SqlText(" || ") + euro + SqlText(" || ',' || ") + cent +
                                   SqlText(")");
        const QString muster = LikeMusterAusFilter(s.filterText, true);
        if (s.filterText.contains(QLatin1Char('.')))
          teile.append(Bedingung(angezeigt + SqlText(" LIKE ? ESCAPE '\\'"), {muster}));
        else
          teile.append(Bedingung(SqlText("(") + angezeigt + SqlText(" LIKE ? ESCAPE '\\' OR ") + ohnePunkte +
                                     SqlText(" LIKE ? ESCAPE '\\')"),
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
