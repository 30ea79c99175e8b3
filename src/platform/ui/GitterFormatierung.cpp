#include "platform/ui/GitterFormatierung.h"

#include <QStringList>

#include <cmath>

#include "platform/db/Datumseingabe.h"
#include "platform/db/Waehrung.h"

namespace {

bool IstNumerisch(FeldTyp t) {
  return t == FeldTyp::Integer || t == FeldTyp::Long || t == FeldTyp::Waehrung || t == FeldTyp::Double;
}

// Rounds ten-thousandths to `stellen` decimals (0..4), half away from zero; returns the value
// scaled to those decimals.
int64_t Runden(int64_t roh, int stellen) {
  int64_t teiler = 1;
  for (int i = stellen; i < 4; ++i) teiler *= 10;
  if (teiler == 1) return roh;
  const int64_t betrag = roh < 0 ? -roh : roh;
  int64_t r = (betrag + teiler / 2) / teiler;
  return roh < 0 ? -r : r;
}

QString Gruppieren(const QString& ziffern) {
  QString aus;
  const int n = int(ziffern.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) aus += QLatin1Char('.');
    aus += ziffern.at(i);
  }
  return aus;
}

// One section of a number format text.
struct Abschnitt {
  QString vor, nach;      // literal text before the first and after the last placeholder
  bool platzhalter = false;
  bool tausender = false;
  int mindestGanz = 0;    // '0' placeholders before the decimal point
  int pflichtDez = 0;     // '0' after the point
  int wahlDez = 0;        // '#' after the point
  QString literal;        // whole text when there is no placeholder
};

Abschnitt AbschnittLesen(const QString& s) {
  Abschnitt a;
  bool nachPunkt = false;
  bool gesehen = false;
  QString literalLauf;
  for (int i = 0; i < s.size(); ++i) {
    const QChar c = s.at(i);
    if (c == QLatin1Char('#') || c == QLatin1Char('0')) {
      if (!gesehen) a.vor = literalLauf;
      literalLauf.clear();
      gesehen = true;
      if (nachPunkt) {
        if (c == QLatin1Char('0')) {
          a.pflichtDez += a.wahlDez + 1;   // an optional place before a required one is required too
          a.wahlDez = 0;
        } else {
          a.wahlDez++;
        }
      } else if (c == QLatin1Char('0')) {
        a.mindestGanz++;
      }
    } else if (c == QLatin1Char('.') && !nachPunkt && gesehen) {
      nachPunkt = true;
    } else if (c == QLatin1Char(',') && gesehen && !nachPunkt) {
      a.tausender = true;
    } else if (c == QLatin1Char('\\') && i + 1 < s.size()) {
      literalLauf += s.at(++i);
    } else if (c == QLatin1Char('"')) {
      int ende = int(s.indexOf(QLatin1Char('"'), i + 1));
      if (ende < 0) ende = int(s.size());
      literalLauf += s.mid(i + 1, ende - i - 1);
      i = ende;
    } else {
      literalLauf += c;
    }
  }
  a.platzhalter = gesehen;
  if (gesehen) a.nach = literalLauf;
  else a.literal = literalLauf;
  return a;
}

QString AbschnittAnwenden(const Abschnitt& a, int64_t betragRoh) {
  if (!a.platzhalter) return a.literal;
  const int stellen = std::min(4, a.pflichtDez + a.wahlDez);
  const int64_t gerundet = Runden(betragRoh, stellen);
  int64_t teiler = 1;
  for (int i = 0; i < stellen; ++i) teiler *= 10;
  const int64_t ganz = gerundet / teiler;
  int64_t bruch = gerundet % teiler;
  QString ganzText = ganz == 0 ? QString() : QString::number(ganz);
  while (ganzText.size() < a.mindestGanz) ganzText.prepend(QLatin1Char('0'));
  if (a.tausender) ganzText = Gruppieren(ganzText);
  QString dez;
  if (stellen > 0) {
    dez = QStringLiteral("%1").arg(bruch, stellen, 10, QLatin1Char('0'));
    int weg = 0;
    while (weg < a.wahlDez && dez.endsWith(QLatin1Char('0'))) {
      dez.chop(1);
      ++weg;
    }
  }
  QString zahl = ganzText;
  if (!dez.isEmpty()) zahl += QLatin1Char(',') + dez;
  return a.vor + zahl + a.nach;
}

}  // namespace

QString GitterFormatierung::Zahl(int64_t roh, int stellen, bool tausender) {
  stellen = std::clamp(stellen, 0, 4);
  const int64_t gerundet = Runden(roh, stellen);
  const bool negativ = gerundet < 0;
  const int64_t betrag = negativ ? -gerundet : gerundet;
  int64_t teiler = 1;
  for (int i = 0; i < stellen; ++i) teiler *= 10;
  QString ganz = QString::number(betrag / teiler);
  if (tausender) ganz = Gruppieren(ganz);
  QString text = negativ ? QStringLiteral("-") + ganz : ganz;
  if (stellen > 0) text += QLatin1Char(',') + QStringLiteral("%1").arg(betrag % teiler, stellen, 10, QLatin1Char('0'));
  return text;
}

QString GitterFormatierung::MusterAnwenden(std::optional<int64_t> roh, const QString& muster) {
  const QStringList teile = muster.split(QLatin1Char(';'));
  if (!roh) return teile.size() >= 4 ? AbschnittLesen(teile.at(3)).literal : QString();
  const int64_t wert = *roh;
  if (wert == 0 && teile.size() >= 3 && !teile.at(2).isEmpty()) return AbschnittAnwenden(AbschnittLesen(teile.at(2)), 0);
  if (wert < 0) {
    if (teile.size() >= 2 && !teile.at(1).isEmpty()) return AbschnittAnwenden(AbschnittLesen(teile.at(1)), -wert);
    const QString t = AbschnittAnwenden(AbschnittLesen(teile.at(0)), -wert);
    return QStringLiteral("-") + t;
  }
  return AbschnittAnwenden(AbschnittLesen(teile.at(0)), wert);
}

std::optional<int64_t> GitterFormatierung::AlsZehntausendstel(const QVariant& wert, FeldTyp typ) {
  if (!wert.isValid() || wert.isNull()) return std::nullopt;
  if (wert.typeId() == qMetaTypeId<Waehrung>()) return wert.value<Waehrung>().Roh();
  switch (wert.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
      // Currency columns come as ten-thousandths already.
      return typ == FeldTyp::Waehrung ? wert.toLongLong() : wert.toLongLong() * Waehrung::Skala;
    case QMetaType::Double:
    case QMetaType::Float:
      return static_cast<int64_t>(std::llround(wert.toDouble() * Waehrung::Skala));
    default:
      break;
  }
  bool ok = false;
  const double d = wert.toString().trimmed().toDouble(&ok);
  if (!ok) return std::nullopt;
  if (typ == FeldTyp::Waehrung && !wert.toString().contains(QLatin1Char('.'))) return static_cast<int64_t>(d);
  return static_cast<int64_t>(std::llround(d * Waehrung::Skala));
}

std::optional<QDate> GitterFormatierung::AlsDatum(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return std::nullopt;
  if (wert.typeId() == QMetaType::QDate) return wert.toDate();
  if (wert.typeId() == QMetaType::QDateTime) return wert.toDateTime().date();
  const QString t = wert.toString().trimmed();
  QDate d = QDate::fromString(t.left(10), Qt::ISODate);
  if (!d.isValid()) return DatumAusEingabe(t);
  return d;
}

std::optional<QVariant> GitterFormatierung::ZahlLesen(const QString& text, FeldTyp typ) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return QVariant();
  const auto w = Waehrung::ParseDeutsch(t);
  if (!w) return std::nullopt;
  switch (typ) {
    case FeldTyp::Integer:
    case FeldTyp::Long:
      if (w->Roh() % Waehrung::Skala != 0) return std::nullopt;
      return QVariant(qint64(w->Roh() / Waehrung::Skala));
    case FeldTyp::Double:
      return QVariant(double(w->Roh()) / Waehrung::Skala);
    default:
      return QVariant::fromValue(*w);
  }
}

QString GitterFormatierung::GroessterBetrag(GitterFormat format, const QString& muster) {
  return Anzeige(QVariant::fromValue(Waehrung::AusRoh(-Waehrung::Hoechstbetrag)), FeldTyp::Waehrung, format, muster);
}

QString GitterFormatierung::Anzeige(const QVariant& wert, FeldTyp typ, GitterFormat format, const QString& muster) {
  switch (format) {
    case GitterFormat::Standard: {
      const auto z = AlsZehntausendstel(wert, typ);
      return z ? Zahl(*z, 2, true) : QString();
    }
    case GitterFormat::Muster:
      return MusterAnwenden(AlsZehntausendstel(wert, typ), muster);
    case GitterFormat::KurzesDatum: {
      const auto d = AlsDatum(wert);
      return d ? d->toString(QStringLiteral("dd.MM.yyyy")) : QString();
    }
    case GitterFormat::Allgemein:
      break;
  }
  if (!wert.isValid() || wert.isNull()) return {};
  switch (typ) {
    case FeldTyp::Waehrung: {
      const auto z = AlsZehntausendstel(wert, typ);
      return z ? Zahl(*z, 2, true) : wert.toString();
    }
    case FeldTyp::Datum: {
      const auto d = AlsDatum(wert);
      if (!d) return wert.toString();
      const QString t = wert.toString();
      if (t.size() > 10 && wert.typeId() != QMetaType::QDate) return d->toString(QStringLiteral("dd.MM.yyyy")) + t.mid(10);
      return d->toString(QStringLiteral("dd.MM.yyyy"));
    }
    case FeldTyp::Double: {
      QString s = QString::number(wert.toDouble(), 'g', 15);
      s.replace(QLatin1Char('.'), QLatin1Char(','));
      return s;
    }
    case FeldTyp::Boolean:
      return wert.toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    default:
      if (wert.typeId() == qMetaTypeId<Waehrung>()) return wert.value<Waehrung>().FormatDeutsch();
      if (wert.typeId() == QMetaType::QDate) return wert.toDate().toString(QStringLiteral("dd.MM.yyyy"));
      return wert.toString();
  }
}

QString GitterFormatierung::Bearbeitung(const QVariant& wert, FeldTyp typ, GitterEditor editor) {
  if (!wert.isValid() || wert.isNull()) return {};
  if (editor == GitterEditor::Datum || typ == FeldTyp::Datum) {
    const auto d = AlsDatum(wert);
    return d ? d->toString(QStringLiteral("dd.MM.yyyy")) : wert.toString();
  }
  if (editor == GitterEditor::Zahl || IstNumerisch(typ)) {
    const auto z = AlsZehntausendstel(wert, typ);
    if (!z) return wert.toString();
    if (typ == FeldTyp::Integer || typ == FeldTyp::Long) return Zahl(*z, 0, false);
    QString s = Zahl(*z, 4, false);
    // Keep two decimals at least, drop further trailing zeros.
    while (s.endsWith(QLatin1Char('0')) && s.indexOf(QLatin1Char(',')) >= 0 && s.size() - s.indexOf(QLatin1Char(',')) > 3) s.chop(1);
    return s;
  }
  return wert.toString();
}
