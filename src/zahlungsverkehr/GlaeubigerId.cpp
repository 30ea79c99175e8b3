#include "zahlungsverkehr/GlaeubigerId.h"

#include "zahlungsverkehr/Iban.h"
#include "iban/Kennungsform.h"

namespace {

bool Buchstabe(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); }
bool Ziffer(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

GlaeubigerId::GlaeubigerId(QStringView eingabe) : m_text(Kennungsform::Kompakt(eingabe)) {}

GlaeubigerId::Fehler GlaeubigerId::Pruefen() const {
  const QString& t = m_text;
  if (t.isEmpty()) return Fehler::Fehlt;
  // Country, check digits, business code of three, national identifier of 1 to 28.
  if (t.size() < 8 || t.size() > 35) return Fehler::Aufbau;
  for (qsizetype i = 0; i < t.size(); ++i) {
    const QChar c = t.at(i);
    const bool passt = i < 2 ? Buchstabe(c) : i < 4 ? Ziffer(c) : Buchstabe(c) || Ziffer(c);
    if (!passt) return Fehler::Aufbau;
  }
  if (!Iban::SepaLandSuchen(QStringView(t).left(2))) return Fehler::Land;
  if (t.startsWith(QLatin1String("DE")) && t.size() != 18) return Fehler::Laenge;
  // The business code (characters 5-7) is not part of the check.
  if (Kennungsform::Pruefziffern(QStringView(t).mid(7), QStringView(t).left(2)) != QStringView(t).mid(2, 2))
    return Fehler::Pruefziffer;
  return Fehler::Keiner;
}

QString GlaeubigerId::Meldung(Fehler fehler) {
  switch (fehler) {
    case Fehler::Keiner: return {};
    case Fehler::Fehlt: return QStringLiteral("Die Gläubiger-ID fehlt noch.");
    case Fehler::Aufbau:
      return QStringLiteral("Die Gläubiger-ID hat nicht den Aufbau Land, Prüfziffer, "
                            "Geschäftsbereich, Kennung (z. B. DE98ZZZ09999999999).");
    case Fehler::Land: return QStringLiteral("Die Gläubiger-ID beginnt nicht mit dem Code eines SEPA-Landes.");
    case Fehler::Laenge: return QStringLiteral("Eine deutsche Gläubiger-ID hat 18 Zeichen.");
    case Fehler::Pruefziffer: return QStringLiteral("Die Prüfziffer der Gläubiger-ID ist falsch.");
  }
  return {};
}
