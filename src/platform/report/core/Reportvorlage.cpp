#include "platform/report/core/Reportvorlage.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <cmath>

#include "platform/db/Waehrung.h"

Reportvorlage Reportvorlage::Zerlegen(const QString& text) {
  Reportvorlage v;
  QString literal;
  auto literalAbschliessen = [&] {
    if (literal.isEmpty()) return;
    v.m_teile << Teil{literal, {}, {}, {}};
    literal.clear();
  };
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    if (c == QLatin1Char('}') && i + 1 < n && text.at(i + 1) == QLatin1Char('}')) {
      literal += c;
      ++i;
      continue;
    }
    if (c != QLatin1Char('{')) {
      literal += c;
      continue;
    }
    if (i + 1 < n && text.at(i + 1) == QLatin1Char('{')) {
      literal += c;
      ++i;
      continue;
    }
    const qsizetype ende = text.indexOf(QLatin1Char('}'), i + 1);
    const qsizetype naechsteAuf = text.indexOf(QLatin1Char('{'), i + 1);
    if (ende < 0 || (naechsteAuf >= 0 && naechsteAuf < ende)) {
      literal += c;
      continue;
    }
    QString innen = text.mid(i + 1, ende - i - 1);
    Teil t;
    const qsizetype strich = innen.indexOf(QLatin1Char('|'));
    if (strich >= 0) {
      t.format = innen.mid(strich + 1);
      innen = innen.left(strich);
    }
    innen = innen.trimmed();
    const qsizetype klammer = innen.indexOf(QLatin1Char('('));
    if (klammer > 0 && innen.endsWith(QLatin1Char(')'))) {
      t.funktion = innen.left(klammer).trimmed();
      t.name = innen.mid(klammer + 1, innen.size() - klammer - 2).trimmed();
    } else {
      t.name = innen;
    }
    if (t.name.isEmpty()) {  // "{}" or "{|x}" is text
      literal += text.mid(i, ende - i + 1);
      i = ende;
      continue;
    }
    literalAbschliessen();
    v.m_teile << t;
    i = ende;
  }
  literalAbschliessen();
  return v;
}

QString Reportvorlage::Teil::Ausdruck() const {
  return funktion.isEmpty() ? name : funktion + QLatin1Char('(') + name + QLatin1Char(')');
}

QList<Reportvorlage::Teil> Reportvorlage::Platzhalter() const {
  QList<Teil> liste;
  for (const Teil& t : m_teile)
    if (!t.name.isEmpty()) liste << t;
  return liste;
}

const Reportvorlage::Teil* Reportvorlage::EinzigesFeld() const {
  if (m_teile.size() != 1) return nullptr;
  const Teil& t = m_teile.first();
  return !t.name.isEmpty() && t.funktion.isEmpty() ? &t : nullptr;
}

QString Reportvorlage::Ausfuellen(const std::function<QVariant(const Teil&)>& wert) const {
  QString ergebnis;
  for (const Teil& t : m_teile) ergebnis += t.name.isEmpty() ? t.text : ReportwertFormatieren(wert(t), t.format);
  return ergebnis;
}

namespace {

struct Zahlformat {
  int nachkommastellen = 0;
  bool tausender = false;
};

std::optional<Zahlformat> ZahlformatLesen(const QString& format) {
  if (format.isEmpty()) return std::nullopt;
  Zahlformat z;
  const qsizetype komma = format.indexOf(QLatin1Char(','));
  const QString vorne = komma < 0 ? format : format.left(komma);
  const QString hinten = komma < 0 ? QString() : format.mid(komma + 1);
  for (QChar c : vorne)
    if (c != QLatin1Char('#') && c != QLatin1Char('0') && c != QLatin1Char('.')) return std::nullopt;
  for (QChar c : hinten)
    if (c != QLatin1Char('#') && c != QLatin1Char('0')) return std::nullopt;
  z.tausender = vorne.contains(QLatin1Char('.'));
  z.nachkommastellen = int(std::min<qsizetype>(hinten.size(), 4));
  return z;
}

QString Gruppieren(const QString& ziffern) {
  QString t;
  const qsizetype n = ziffern.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) t += QLatin1Char('.');
    t += ziffern.at(i);
  }
  return t;
}

QString GanzzahlText(qint64 z, bool tausender) {
  const bool negativ = z < 0;
  // |INT64_MIN| does not fit: go through the unsigned type.
  const quint64 betrag = negativ ? quint64(0) - quint64(z) : quint64(z);
  QString ziffern = QString::number(betrag);
  if (tausender) ziffern = Gruppieren(ziffern);
  return negativ ? QLatin1Char('-') + ziffern : ziffern;
}

QString DoubleText(double d, const Zahlformat& f) {
  if (!std::isfinite(d)) return {};
  QLocale deutsch(QLocale::German, QLocale::Germany);
  if (!f.tausender) deutsch.setNumberOptions(QLocale::OmitGroupSeparator);
  return deutsch.toString(d, 'f', f.nachkommastellen);
}

}  // namespace

QString ReportwertFormatieren(const QVariant& wert, const QString& format) {
  if (!wert.isValid() || wert.isNull()) return {};
  const int typ = wert.metaType().id();
  if (typ == qMetaTypeId<Waehrung>()) {
    const Waehrung w = wert.value<Waehrung>();
    const Zahlformat f = ZahlformatLesen(format).value_or(Zahlformat{2, true});
    return w.FormatDeutsch(f.tausender, f.nachkommastellen);
  }
  switch (typ) {
    case QMetaType::Bool: {
      const qsizetype semikolon = format.indexOf(QLatin1Char(';'));
      if (semikolon >= 0) return wert.toBool() ? format.left(semikolon) : format.mid(semikolon + 1);
      return wert.toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short: {
      const qint64 z = wert.toLongLong();
      const auto f = ZahlformatLesen(format);
      if (f && f->nachkommastellen > 0) return Waehrung::AusRoh(z * Waehrung::Skala).FormatDeutsch(f->tausender, f->nachkommastellen);
      return GanzzahlText(z, f && f->tausender);
    }
    case QMetaType::ULongLong:
      return QString::number(wert.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
      const double d = wert.toDouble();
      const auto f = ZahlformatLesen(format);
      if (f) return DoubleText(d, *f);
      if (d == std::floor(d) && std::fabs(d) < 1e15) return GanzzahlText(qint64(d), false);
      return DoubleText(d, Zahlformat{2, true});
    }
    case QMetaType::QDate:
      return wert.toDate().toString(format.isEmpty() ? QStringLiteral("dd.MM.yyyy") : format);
    case QMetaType::QDateTime: {
      const QDateTime zeit = wert.toDateTime();
      if (!format.isEmpty()) return zeit.toString(format);
      return zeit.time() == QTime(0, 0) ? zeit.date().toString(QStringLiteral("dd.MM.yyyy"))
                                         : zeit.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    }
    case QMetaType::QImage:
    case QMetaType::QPixmap:
      return {};
    default:
      return wert.toString();
  }
}

void Reportsumme::Addieren(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return;
  const int typ = wert.metaType().id();
  if (typ == qMetaTypeId<Waehrung>()) {
    m_roh += wert.value<Waehrung>().Roh();
    m_nurGanzzahl = false;
    return;
  }
  switch (typ) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
      m_roh += wert.toLongLong() * Waehrung::Skala;
      return;
    case QMetaType::Double:
    case QMetaType::Float:
      m_ungenau += wert.toDouble();
      m_exakt = false;
      m_nurGanzzahl = false;
      return;
    default:
      return;  // texts, dates and pictures do not add up
  }
}

void Reportsumme::ArtUebernehmen(const QVariant& muster) {
  if (!muster.isValid() || muster.isNull()) return;
  if (muster.metaType().id() == qMetaTypeId<Waehrung>()) {
    m_nurGanzzahl = false;
  } else if (muster.metaType().id() == QMetaType::Double || muster.metaType().id() == QMetaType::Float) {
    m_nurGanzzahl = false;
    m_exakt = false;
  }
}

QVariant Reportsumme::Ergebnis() const {
  if (!m_exakt) return m_ungenau + double(m_roh) / Waehrung::Skala;
  if (m_nurGanzzahl) return QVariant(qint64(m_roh / Waehrung::Skala));
  return QVariant::fromValue(Waehrung::AusRoh(m_roh));
}
