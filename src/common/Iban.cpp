#include "common/Iban.h"

#include <array>

#include "iban/Kennungsform.h"

namespace {

struct Landeintrag {
  char code[3];
  int laenge;
  bool ewr;
};

// The SEPA countries and territories with their own IBAN country code (IBAN registry), with their
// membership of the European Economic Area.
constexpr std::array<Landeintrag, 42> SepaLaender = {{
    {"AD", 24, false}, {"AL", 28, false}, {"AT", 20, true},  {"BE", 16, true},  {"BG", 22, true},
    {"CH", 21, false}, {"CY", 28, true},  {"CZ", 24, true},  {"DE", 22, true},  {"DK", 18, true},
    {"EE", 20, true},  {"ES", 24, true},  {"FI", 18, true},  {"FR", 27, true},  {"GB", 22, false},
    {"GI", 23, false}, {"GR", 27, true},  {"HR", 21, true},  {"HU", 28, true},  {"IE", 22, true},
    {"IS", 26, true},  {"IT", 27, true},  {"LI", 21, true},  {"LT", 20, true},  {"LU", 20, true},
    {"LV", 21, true},  {"MC", 27, false}, {"MD", 24, false}, {"ME", 22, false}, {"MK", 19, false},
    {"MT", 31, true},  {"NL", 18, true},  {"NO", 15, true},  {"PL", 28, true},  {"PT", 25, true},
    {"RO", 24, true},  {"RS", 22, false}, {"SE", 24, true},  {"SI", 19, true},  {"SK", 24, true},
    {"SM", 27, false}, {"VA", 22, false},
}};

const Landeintrag* Eintrag(QStringView code) {
  if (code.size() != 2) return nullptr;
  for (const Landeintrag& l : SepaLaender)
    if (code[0] == QLatin1Char(l.code[0]) && code[1] == QLatin1Char(l.code[1])) return &l;
  return nullptr;
}

bool Alphanumerisch(QChar c) {
  return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

}  // namespace

Iban::Iban(QStringView eingabe) : m_text(Kennungsform::Kompakt(eingabe)) {}

void Iban::TextAnhaengen(QByteArrayView gespeichert, QByteArray& ziel) { Kennungsform::KompaktAnhaengen(gespeichert, ziel); }

QString Iban::Bloecke() const {
  QString anzeige;
  anzeige.reserve(m_text.size() + m_text.size() / 4);
  for (qsizetype i = 0; i < m_text.size(); ++i) {
    if (i > 0 && i % 4 == 0) anzeige += QLatin1Char(' ');
    anzeige += m_text.at(i);
  }
  return anzeige;
}

std::optional<Iban::SepaLand> Iban::SepaLandSuchen(QStringView code) {
  const Landeintrag* l = Eintrag(code);
  if (!l) return std::nullopt;
  return SepaLand{QString::fromLatin1(l->code), l->laenge, l->ewr};
}

Iban::Fehler Iban::Pruefen() const {
  if (m_text.isEmpty()) return Fehler::Fehlt;
  if (m_text.size() < 15) return Fehler::ZuKurz;
  const Landeintrag* land = Eintrag(QStringView(m_text).left(2));
  if (!land) return Fehler::UnbekanntesLand;
  if (m_text.size() != land->laenge) return Fehler::FalscheLaenge;
  for (qsizetype i = 2; i < m_text.size(); ++i) {
    const QChar c = m_text.at(i);
    const bool ziffer = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (i < 4 ? !ziffer : !Alphanumerisch(c)) return Fehler::Zeichen;
  }
  const QString umgestellt = m_text.mid(4) + m_text.left(4);
  if (Kennungsform::Mod97Rest(umgestellt) != 1) return Fehler::Pruefziffer;
  return Fehler::Keiner;
}

bool Iban::BicPflicht() const {
  const Landeintrag* land = Eintrag(QStringView(m_text).left(2));
  return land && !land->ewr;
}

QString Iban::Meldung(Fehler fehler) {
  switch (fehler) {
    case Fehler::Keiner: return {};
    case Fehler::Fehlt: return QStringLiteral("Die IBAN fehlt noch komplett.");
    case Fehler::ZuKurz: return QStringLiteral("Die IBAN ist zu kurz. Es sind mindestens 15 Zeichen notwendig.");
    case Fehler::UnbekanntesLand: return QStringLiteral("Die IBAN fängt mit 2 unbekannten Zeichen an.");
    case Fehler::FalscheLaenge: return QStringLiteral("Die IBAN hat nicht die für das jeweilige Land definierte Länge.");
    case Fehler::Zeichen: return QStringLiteral("Die IBAN enthält ungültige Zeichen.");
    case Fehler::Pruefziffer: return QStringLiteral("Die Prüfziffer der IBAN ist falsch.");
  }
  return {};
}
