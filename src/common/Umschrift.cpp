#include "common/Umschrift.h"

#include <QHash>
#include <QList>

#include "common/Textfunktionen.h"

namespace {

// What a character outside the payment set becomes, lower case (the case of a capital is made when it is
// used). One table for the whole program: the payment form, check mode, the SEPA pre-check, the import
// and the file writer all transliterate through it.
//  - Latin letters without a decomposition: the usual ASCII forms (æ ae, ø o, ł l, þ th, ...). Letters
//    with accents need no entry: they are decomposed and their marks dropped (é e, Ñ N, ő o, ș s).
//  - Cyrillic: ICAO Doc 9303 part 3 (machine readable travel documents; Russian passports since 2013),
//    its one table for every Cyrillic language (Russian, Ukrainian, Belarusian, Bulgarian, Serbian,
//    Macedonian) without its language exceptions, since a text does not say its language.
//  - Greek: ELOT 743 (ISO 843, the transcription of Greek passports); its digraphs in GriechischerBuchstabe.
//  - Signs with a usual ASCII form. Every other sign drops out (emoji, quotes, "#"): that loses nothing a
//    bank reads. Compatibility forms (ﬁ, ½, ², full-width letters) come in through the decomposition.
const QHash<char32_t, QLatin1StringView>& Tafel() {
  static const QHash<char32_t, QLatin1StringView> tafel = [] {
    QHash<char32_t, QLatin1StringView> t;
    auto eintragen = [&t](std::initializer_list<std::pair<char32_t, const char*>> liste) {
      for (const auto& [zeichen, ersatz] : liste) t.insert(zeichen, QLatin1StringView(ersatz));
    };
    // Latin
    eintragen({{U'æ', "ae"}, {U'œ', "oe"}, {U'ø', "o"}, {U'ł', "l"}, {U'đ', "d"}, {U'ð', "d"}, {U'þ', "th"},
               {U'ħ', "h"}, {U'ı', "i"}, {U'ȷ', "j"}, {U'ĸ', "q"}, {U'ŋ', "ng"}, {U'ſ', "s"}, {U'ŧ', "t"},
               {U'ƒ', "f"}, {U'\u1E9E', "ss"}});  // ẞ, the capital sharp s: the set knows only ß
    // Cyrillic, ICAO Doc 9303
    eintragen({{U'а', "a"},  {U'б', "b"},    {U'в', "v"},  {U'г', "g"},  {U'д', "d"},  {U'е', "e"},  {U'ё', "e"},
               {U'ж', "zh"}, {U'з', "z"},    {U'и', "i"},  {U'й', "i"},  {U'к', "k"},  {U'л', "l"},  {U'м', "m"},
               {U'н', "n"},  {U'о', "o"},    {U'п', "p"},  {U'р', "r"},  {U'с', "s"},  {U'т', "t"},  {U'у', "u"},
               {U'ф', "f"},  {U'х', "kh"},   {U'ц', "ts"}, {U'ч', "ch"}, {U'ш', "sh"}, {U'щ', "shch"},
               {U'ъ', "ie"}, {U'ы', "y"},    {U'ь', ""},   {U'э', "e"},  {U'ю', "iu"}, {U'я', "ia"},
               {U'і', "i"},  {U'ї', "i"},    {U'є', "ie"}, {U'ґ', "g"},  {U'ў', "u"},  {U'ѓ', "g"},  {U'ђ', "d"},
               {U'ѕ', "dz"}, {U'ј', "j"},    {U'ќ', "k"},  {U'љ', "lj"}, {U'њ', "nj"}, {U'ћ', "c"},  {U'џ', "dz"},
               {U'ѵ', "y"},  {U'ѫ', "u"}});
    // Greek, ELOT 743, letter by letter
    eintragen({{U'α', "a"}, {U'β', "v"}, {U'γ', "g"}, {U'δ', "d"},  {U'ε', "e"}, {U'ζ', "z"}, {U'η', "i"},
               {U'θ', "th"}, {U'ι', "i"}, {U'κ', "k"}, {U'λ', "l"}, {U'μ', "m"}, {U'ν', "n"}, {U'ξ', "x"},
               {U'ο', "o"}, {U'π', "p"}, {U'ρ', "r"}, {U'σ', "s"},  {U'ς', "s"}, {U'τ', "t"}, {U'υ', "y"},
               {U'φ', "f"}, {U'χ', "ch"}, {U'ψ', "ps"}, {U'ω', "o"}});
    // Signs
    eintragen({{U'\u2010', "-"}, {U'\u2012', "-"}, {U'\u2013', "-"}, {U'\u2014', "-"}, {U'\u2015', "-"},
               {U'\u2212', "-"}, {U'\u2043', "-"}, {U'\u20AC', "EUR"}, {U'\u00A3', "GBP"}, {U'\u00A9', "(C)"},
               {U'\u00AE', "(R)"}, {U'\u00D7', "x"}, {U'\u00F7', "/"}, {U'\u00B7', "."}, {U'\u2044', "/"},
               {U'\u2215', "/"}});
    return t;
  }();
  return tafel;
}

bool IstBuchstabe(char32_t c) { return QChar::isLetter(c); }

// A capital whose transliteration has more letters (Ж → Zh, Æ → Ae) is written like its neighbour: in
// capitals within capitals ("ZHUK"), else with one capital ("Zhuk", "Zh.").
QString Schreibung(QLatin1StringView klein, bool gross, const QList<uint>& z, qsizetype k) {
  QString s(klein);
  if (!gross || s.isEmpty()) return s;
  bool ganzGross = false;
  if (k + 1 < z.size() && IstBuchstabe(z.at(k + 1)))
    ganzGross = !QChar::isLower(z.at(k + 1));
  else if (k > 0 && IstBuchstabe(z.at(k - 1)))
    ganzGross = !QChar::isLower(z.at(k - 1));
  if (ganzGross || s.size() == 1) return s.toUpper();
  s[0] = s[0].toUpper();
  return s;
}

// A Greek letter under its accents and breathings, lower case, and whether it carries a diaeresis
// (which parts a digraph: "αϋ" is a-y); basis 0 for anything else.
struct Griechisch {
  char32_t basis = 0;
  bool trema = false;
};

Griechisch GriechischZerlegen(char32_t c) {
  if (!((c >= 0x0386 && c <= 0x03CE) || (c >= 0x1F00 && c <= 0x1FFC))) return {};
  const QList<uint> teile = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D).toUcs4();
  const char32_t basis = QChar::toLower(teile.at(0));
  if (basis < U'α' || basis > U'ω') return {};
  return {basis, teile.contains(0x0308)};
}

// ELOT 743's digraphs: ου ou; αυ, ευ, ηυ av, ev, iv (af, ef, if before a voiceless consonant and at the end
// of a word); γ before γ, ξ, χ n (γγ ng).
QLatin1StringView GriechischerBuchstabe(const QList<uint>& z, qsizetype k, const Griechisch& g) {
  const Griechisch vor = k > 0 ? GriechischZerlegen(z.at(k - 1)) : Griechisch{};
  const Griechisch nach = k + 1 < z.size() ? GriechischZerlegen(z.at(k + 1)) : Griechisch{};
  if (g.basis == U'γ' && (nach.basis == U'γ' || nach.basis == U'ξ' || nach.basis == U'χ')) return QLatin1StringView("n");
  if (g.basis == U'υ' && !g.trema && !vor.trema) {
    if (vor.basis == U'ο') return QLatin1StringView("u");
    if (vor.basis == U'α' || vor.basis == U'ε' || vor.basis == U'η') {
      static const std::u32string_view stimmlos = U"θκξπσςτφχψ";
      const bool f = nach.basis == 0 || stimmlos.find(nach.basis) != std::u32string_view::npos;
      return QLatin1StringView(f ? "f" : "v");
    }
  }
  return Tafel().value(g.basis);
}

bool IstMarke(char32_t c) {
  const QChar::Category k = QChar::category(c);
  return k == QChar::Mark_NonSpacing || k == QChar::Mark_SpacingCombining || k == QChar::Mark_Enclosing;
}

// Letters (but modifier letters, which are signs) and digits: what carries meaning.
bool TraegtBedeutung(char32_t c) {
  switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
      return true;
    default:
      return false;
  }
}

class Umschreiber {
 public:
  explicit Umschreiber(const QString& text) : m_z(text.normalized(QString::NormalizationForm_C).toUcs4()) {
    m_ergebnis.text.reserve(text.size() + 8);
  }

  Zahlungstext Ergebnis(const QString& ein) {
    for (qsizetype k = 0; k < m_z.size(); ++k) Zeichen(k);
    m_ergebnis.geaendert = m_ergebnis.text != ein;
    return std::move(m_ergebnis);
  }

 private:
  void Zeichen(qsizetype k) {
    const char32_t c = m_z.at(k);
    if (c < 0x10000 && ImZahlungszeichensatz(QChar(char16_t(c)))) {
      m_ergebnis.text += QChar(char16_t(c));
      return;
    }
    if (const Griechisch g = GriechischZerlegen(c); g.basis) {
      m_ergebnis.text += Schreibung(GriechischerBuchstabe(m_z, k, g), QChar::isUpper(c), m_z, k);
      return;
    }
    if (Nachschlagen(c, k)) return;
    // Accents and compatibility forms: the decomposition, its marks dropped.
    const QList<uint> teile = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD).toUcs4();
    if (teile.size() != 1 || teile.first() != c) {
      for (qsizetype i = 0; i < teile.size(); ++i) Einfach(teile.at(i), teile, i);
      return;
    }
    Einfach(c, m_z, k);
  }

  // A character of the table; false when it has no entry.
  bool Nachschlagen(char32_t c, qsizetype k, const QList<uint>* umfeld = nullptr) {
    const auto& tafel = Tafel();
    auto it = tafel.constFind(c);
    if (it == tafel.constEnd()) it = tafel.constFind(QChar::toLower(c));
    if (it == tafel.constEnd()) return false;
    m_ergebnis.text += Schreibung(*it, QChar::isUpper(c), umfeld ? *umfeld : m_z, k);
    return true;
  }

  // A character that is not decomposed further.
  void Einfach(char32_t c, const QList<uint>& umfeld, qsizetype k) {
    if (c < 0x10000 && ImZahlungszeichensatz(QChar(char16_t(c)))) {
      m_ergebnis.text += QChar(char16_t(c));
    } else if (IstMarke(c)) {
      // folded into the letter before it
    } else if (QChar::isSpace(c)) {
      m_ergebnis.text += QLatin1Char(' ');
    } else if (Nachschlagen(c, k, &umfeld)) {
    } else if (QChar::category(c) == QChar::Number_DecimalDigit && QChar::digitValue(c) >= 0) {
      m_ergebnis.text += QLatin1Char(char('0' + QChar::digitValue(c)));
    } else if (TraegtBedeutung(c)) {
      const QString zeichen = QString::fromUcs4(&c, 1);
      if (!m_ergebnis.ohneUmschrift.contains(zeichen)) m_ergebnis.ohneUmschrift += zeichen;
    }
    // Every other sign drops out.
  }

  const QList<uint> m_z;
  Zahlungstext m_ergebnis;
};

}  // namespace

Zahlungstext ZahlungstextUmschreiben(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && ImZahlungszeichensatz(text.at(i))) ++i;
  if (i == text.size()) return Zahlungstext{text, false, {}};
  return Umschreiber(text).Ergebnis(text);
}
