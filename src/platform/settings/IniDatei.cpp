#include "platform/settings/IniDatei.h"

#include <QFile>
#include <QStringDecoder>

namespace {

// GetPrivateProfileString removes one pair of enclosing quotes.
QString OhneAnfuehrungszeichen(const QString& wert) {
  if (wert.size() >= 2) {
    const QChar a = wert.front();
    if ((a == QLatin1Char('"') || a == QLatin1Char('\'')) && wert.back() == a) return wert.mid(1, wert.size() - 2);
  }
  return wert;
}

}  // namespace

std::optional<IniDatei> IniDatei::Laden(const QString& datei) {
  QFile f(datei);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) return std::nullopt;

  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return AusText(text);
}

IniDatei IniDatei::AusText(const QString& text) {
  IniDatei ini;
  QString abschnitt;
  bool imAbschnitt = false;
  // A line ends in CR LF, LF or a lone CR.
  QString einheitlich = text;
  einheitlich.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  const QStringList zeilen = einheitlich.split(QLatin1Char('\n'));
  for (const QString& roh : zeilen) {
    const QString zeile = roh.trimmed();
    if (zeile.isEmpty() || zeile.startsWith(QLatin1Char(';'))) continue;
    if (zeile.startsWith(QLatin1Char('['))) {
      const qsizetype ende = zeile.indexOf(QLatin1Char(']'));
      if (ende < 0) continue;
      abschnitt = zeile.mid(1, ende - 1).trimmed().toLower();
      imAbschnitt = true;
      continue;
    }
    if (!imAbschnitt) continue;
    const qsizetype gleich = zeile.indexOf(QLatin1Char('='));
    if (gleich <= 0) continue;
    const QString schluessel = zeile.left(gleich).trimmed().toLower();
    if (schluessel.isEmpty()) continue;
    auto& werte = ini.m_werte[abschnitt];
    if (werte.contains(schluessel)) continue;  // the first occurrence wins
    werte.insert(schluessel, OhneAnfuehrungszeichen(zeile.mid(gleich + 1).trimmed()));
  }
  return ini;
}

QString IniDatei::Wert(const QString& abschnitt, const QString& schluessel, const QString& vorgabe) const {
  const auto a = m_werte.constFind(abschnitt.trimmed().toLower());
  if (a == m_werte.constEnd()) return vorgabe;
  const auto w = a->constFind(schluessel.trimmed().toLower());
  return w == a->constEnd() ? vorgabe : *w;
}

bool IniDatei::Vorhanden(const QString& abschnitt, const QString& schluessel) const {
  const auto a = m_werte.constFind(abschnitt.trimmed().toLower());
  return a != m_werte.constEnd() && a->contains(schluessel.trimmed().toLower());
}
