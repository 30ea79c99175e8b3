#include "zahlungsverkehr/Iban.h"

#include <QList>
#include <QStringList>

#include <array>

#include "iban/Kennungsform.h"

namespace {

struct Landeintrag {
  char code[3];
  int laenge;
  bool ewr;
  // The account part (BBAN) after the check digits, as the IBAN registry writes it: a count and a class,
  // n digits, a capital letters, c capital letters or digits.
  const char* aufbau;
};

// The SEPA countries and territories with their own IBAN country code (IBAN registry), with their
// membership of the European Economic Area and the form of their account part.
constexpr std::array<Landeintrag, 42> SepaLaender = {{
    {"AD", 24, false, "4n4n12c"},    {"AL", 28, false, "8n16c"},      {"AT", 20, true, "5n11n"},
    {"BE", 16, true, "3n7n2n"},      {"BG", 22, true, "4a4n2n8c"},    {"CH", 21, false, "5n12c"},
    {"CY", 28, true, "3n5n16c"},     {"CZ", 24, true, "4n6n10n"},     {"DE", 22, true, "8n10n"},
    {"DK", 18, true, "4n9n1n"},      {"EE", 20, true, "2n14n"},       {"ES", 24, true, "4n4n1n1n10n"},
    {"FI", 18, true, "3n11n"},       {"FR", 27, true, "5n5n11c2n"},   {"GB", 22, false, "4a6n8n"},
    {"GI", 23, false, "4a15c"},      {"GR", 27, true, "3n4n16c"},     {"HR", 21, true, "7n10n"},
    {"HU", 28, true, "3n4n1n15n1n"}, {"IE", 22, true, "4a6n8n"},      {"IS", 26, true, "4n2n6n10n"},
    {"IT", 27, true, "1a5n5n12c"},   {"LI", 21, true, "5n12c"},       {"LT", 20, true, "5n11n"},
    {"LU", 20, true, "3n13c"},       {"LV", 21, true, "4a13c"},       {"MC", 27, false, "5n5n11c2n"},
    {"MD", 24, false, "2c18c"},      {"ME", 22, false, "3n13n2n"},    {"MK", 19, false, "3n10c2n"},
    {"MT", 31, true, "4a5n18c"},     {"NL", 18, true, "4a10n"},       {"NO", 15, true, "4n6n1n"},
    {"PL", 28, true, "8n16n"},       {"PT", 25, true, "4n4n11n2n"},   {"RO", 24, true, "4a16c"},
    {"RS", 22, false, "3n13n2n"},    {"SE", 24, true, "3n16n1n"},     {"SI", 19, true, "5n8n2n"},
    {"SK", 24, true, "4n6n10n"},     {"SM", 27, false, "1a5n5n12c"},  {"VA", 22, false, "3n15n"},
}};

// One run of characters of the account part: `anzahl` of class 'n', 'a' or 'c'.
struct Abschnitt {
  int anzahl;
  char art;
};

// The form of a country's account part, neighbouring runs of one class joined ("8n10n" is 18 digits).
QList<Abschnitt> Abschnitte(const char* aufbau) {
  QList<Abschnitt> liste;
  int anzahl = 0;
  for (const char* p = aufbau; *p; ++p) {
    if (*p >= '0' && *p <= '9') {
      anzahl = anzahl * 10 + (*p - '0');
      continue;
    }
    if (!liste.isEmpty() && liste.last().art == *p)
      liste.last().anzahl += anzahl;
    else
      liste.append(Abschnitt{anzahl, *p});
    anzahl = 0;
  }
  return liste;
}

bool PasstZuArt(QChar c, char art) {
  const bool ziffer = c >= QLatin1Char('0') && c <= QLatin1Char('9');
  const bool buchstabe = c >= QLatin1Char('A') && c <= QLatin1Char('Z');
  return art == 'n' ? ziffer : art == 'a' ? buchstabe : ziffer || buchstabe;
}

bool KontoteilPasst(QStringView konto, const char* aufbau) {
  qsizetype i = 0;
  for (const Abschnitt& a : Abschnitte(aufbau))
    for (int k = 0; k < a.anzahl; ++k, ++i)
      if (i >= konto.size() || !PasstZuArt(konto[i], a.art)) return false;
  return i == konto.size();
}

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
  return SepaLand{QString::fromLatin1(l->code), l->laenge, l->ewr, QString::fromLatin1(l->aufbau)};
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
  if (!KontoteilPasst(QStringView(m_text).mid(4), land->aufbau)) return Fehler::Kontoaufbau;
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
    case Fehler::Kontoaufbau:
      return QStringLiteral("Die Kontoangabe der IBAN entspricht nicht dem Aufbau, den ihr Land vorschreibt.");
    case Fehler::Pruefziffer: return QStringLiteral("Die Prüfziffer der IBAN ist falsch.");
  }
  return {};
}

QString Iban::Meldung() const {
  const Fehler fehler = Pruefen();
  if (fehler != Fehler::Kontoaufbau) return Meldung(fehler);
  return QStringLiteral("Die Kontoangabe der IBAN entspricht nicht dem Aufbau für das Land %1: nach der Prüfziffer "
                        "folgen %2.")
      .arg(Land(), KontoaufbauText(SepaLandSuchen(Land())->aufbau));
}

QString Iban::KontoaufbauText(const QString& aufbau) {
  QStringList teile;
  const QByteArray latin = aufbau.toLatin1();
  for (const Abschnitt& a : Abschnitte(latin.constData())) {
    const QString art = a.art == 'n'   ? (a.anzahl == 1 ? QStringLiteral("Ziffer") : QStringLiteral("Ziffern"))
                        : a.art == 'a' ? (a.anzahl == 1 ? QStringLiteral("Buchstabe") : QStringLiteral("Buchstaben"))
                                       : (a.anzahl == 1 ? QStringLiteral("Buchstabe oder Ziffer")
                                                        : QStringLiteral("Buchstaben oder Ziffern"));
    teile << QString::number(a.anzahl) + QLatin1Char(' ') + art;
  }
  return teile.join(QStringLiteral(", "));
}
