#include "import/core/ImportVorgang.h"

#include <cmath>

#include "payments/core/OPAbfrage.h"
#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"

namespace {

constexpr int kAnzeigeLaenge = 40;

QString Wortlaut(const QVariant& wert) {
  return QStringLiteral("»") + KurzAnzeige(wert.typeId() == QMetaType::QByteArray ? QStringLiteral("<Binärdaten>")
                                                                                 : wert.toString()) +
         QStringLiteral("«");
}

// An amount column: ten-thousandths as INTEGER, or a REAL number of euros; Null only where `pflicht` is off.
QString BetragBefund(const QVariant& wert, const QString& name, bool pflicht) {
  if (!wert.isValid() || wert.isNull()) return pflicht ? name + QStringLiteral(" fehlt.") : QString();
  std::optional<Waehrung> betrag;
  switch (wert.typeId()) {
    case QMetaType::LongLong:
      betrag = Waehrung::AusRoh(wert.toLongLong());
      break;
    case QMetaType::Double: {
      const double d = wert.toDouble();
      if (!std::isfinite(d)) return name + QStringLiteral(" ist keine endliche Zahl.");
      // Beyond the range the text form would be hundreds of digits long.
      if (std::fabs(d) > double(Waehrung::Hoechstbetrag) / Waehrung::Skala + 1)
        return name + QStringLiteral(" %1 liegt außerhalb von ±999.999.999,99.").arg(d, 0, 'g', 6);
      betrag = WaehrungAusWert(wert);
      break;
    }
    default:
      return name + QLatin1Char(' ') + Wortlaut(wert) + QStringLiteral(" ist kein Betrag, sondern als Text gespeichert.");
  }
  if (!betrag) return name + QLatin1Char(' ') + Wortlaut(wert) + QStringLiteral(" ist kein Betrag.");
  if (!betrag->ImBetragsrahmen())
    return name + QLatin1Char(' ') + betrag->FormatDeutsch(true, betrag->IstCentGenau() ? 2 : 4) +
           QStringLiteral(" liegt außerhalb von ±999.999.999,99.");
  return {};
}

// "yyyy-MM-dd" of a day that exists, alone or before a time of day.
bool IsoTag(const QString& t) {
  if (t.size() < 10 || (t.size() > 10 && t.at(10) != QLatin1Char(' ') && t.at(10) != QLatin1Char('T'))) return false;
  if (t.at(4) != QLatin1Char('-') || t.at(7) != QLatin1Char('-')) return false;
  auto zahl = [&t](int von, int bis) {
    int n = 0;
    for (int i = von; i < bis; ++i) {
      const QChar c = t.at(i);
      if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
      n = n * 10 + (c.unicode() - '0');
    }
    return n;
  };
  const int jahr = zahl(0, 4), monat = zahl(5, 7), tag = zahl(8, 10);
  return jahr > 0 && monat > 0 && tag > 0 && QDate::isValid(jahr, monat, tag);
}

// A date column: ISO text ("yyyy-MM-dd", a time of day may follow) of a day that exists.
QString DatumBefund(const QVariant& wert, const QString& name, bool pflicht) {
  if (!wert.isValid() || wert.isNull()) return pflicht ? name + QStringLiteral(" fehlt.") : QString();
  if (wert.typeId() == QMetaType::QString && IsoTag(wert.toString())) return {};
  return name + QLatin1Char(' ') + Wortlaut(wert) + QStringLiteral(" ist kein gültiges Datum.");
}

// Where the values of a row stand, found once per selection.
struct Spalten {
  int rest = -1;                 // "Rest", or the signed "Rest2" of the order program
  int betrag = -1;
  int vom = -1;
  int faellig = -1;
  int suchname = -1;
  std::vector<std::pair<int, int>> texte;   // column, declared size

  explicit Spalten(const Recordset& daten) {
    rest = daten.SpaltenIndex(QStringLiteral("Rest"));
    if (rest < 0) rest = daten.SpaltenIndex(QStringLiteral("Rest2"));
    betrag = daten.SpaltenIndex(QStringLiteral("Betrag"));
    vom = daten.SpaltenIndex(QStringLiteral("Vom"));
    faellig = daten.SpaltenIndex(QStringLiteral("Fällig"));
    suchname = daten.SpaltenIndex(QStringLiteral("Suchname"));
    for (int i = 0; i < daten.SpaltenAnzahl(); ++i) {
      const SpaltenInfo& s = daten.Spalte(i);
      if ((s.typ == FeldTyp::Text || s.typ == FeldTyp::Memo) && s.groesse > 0) texte.emplace_back(i, s.groesse);
    }
  }

  QString Befund(const Recordset& daten, int zeile) const {
    QStringList befunde;
    auto dazu = [&befunde](const QString& b) {
      if (!b.isEmpty()) befunde << b;
    };
    if (rest < 0) befunde << QStringLiteral("Der offene Betrag (Rest) fehlt.");
    else dazu(BetragBefund(daten.WertAn(zeile, rest), QStringLiteral("Der offene Betrag (Rest)"), true));
    if (betrag >= 0) dazu(BetragBefund(daten.WertAn(zeile, betrag), QStringLiteral("Der Betrag"), false));
    if (vom < 0) befunde << QStringLiteral("Das Vorgangsdatum fehlt.");
    else dazu(DatumBefund(daten.WertAn(zeile, vom), QStringLiteral("Das Vorgangsdatum"), true));
    if (faellig >= 0) dazu(DatumBefund(daten.WertAn(zeile, faellig), QStringLiteral("Das Fälligkeitsdatum"), false));
    for (const auto& [spalte, groesse] : texte) {
      const QVariant w = daten.WertAn(zeile, spalte);
      if (w.typeId() != QMetaType::QString) continue;
      const qsizetype laenge = w.toString().size();
      if (laenge > groesse)
        befunde << QStringLiteral("Das Feld %1 ist mit %2 Zeichen länger als erlaubt (%3 Zeichen).")
                       .arg(daten.Spalte(spalte).name)
                       .arg(laenge)
                       .arg(groesse);
    }
    return befunde.join(QLatin1Char(' '));
  }
};

}  // namespace

QString KurzAnzeige(const QString& text) {
  return text.size() > kAnzeigeLaenge ? text.left(kAnzeigeLaenge) + QStringLiteral("…") : text;
}

OffenerPosten OffenerPostenAusZeile(const Recordset& daten, int zeile) {
  return OffenerPostenLesen([&](const QString& spalte) {
    const int i = daten.SpaltenIndex(spalte);
    return i < 0 ? QVariant() : daten.WertAn(zeile, i);
  });
}

std::vector<ImportVorgang> ImportVorgaengeLesen(const Recordset& daten, const std::function<bool(int zeile)>& gewaehlt) {
  std::vector<ImportVorgang> vorgaenge;
  const Spalten spalten(daten);
  for (int zeile = 0; zeile < daten.RecordCount(); ++zeile) {
    if (gewaehlt && !gewaehlt(zeile)) continue;
    ImportVorgang v;
    v.posten = OffenerPostenAusZeile(daten, zeile);
    if (spalten.suchname >= 0) v.suchname = TextAusWert(daten.WertAn(zeile, spalten.suchname));
    v.befund = spalten.Befund(daten, zeile);
    vorgaenge.push_back(std::move(v));
  }
  return vorgaenge;
}
