#include "iban/Kennungsform.h"

#include <QVarLengthArray>

#include <bitset>

namespace Kennungsform {
namespace {

bool Grossbuchstabe(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); }
bool Ziffer(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// ISO 3166-1 alpha-2, the officially assigned codes, and XK.
constexpr char Laendercodes[] =
    "AD AE AF AG AI AL AM AO AQ AR AS AT AU AW AX AZ BA BB BD BE BF BG BH BI BJ BL BM BN BO BQ BR BS BT BV BW BY BZ "
    "CA CC CD CF CG CH CI CK CL CM CN CO CR CU CV CW CX CY CZ DE DJ DK DM DO DZ EC EE EG EH ER ES ET FI FJ FK FM FO "
    "FR GA GB GD GE GF GG GH GI GL GM GN GP GQ GR GS GT GU GW GY HK HM HN HR HT HU ID IE IL IM IN IO IQ IR IS IT JE "
    "JM JO JP KE KG KH KI KM KN KP KR KW KY KZ LA LB LC LI LK LR LS LT LU LV LY MA MC MD ME MF MG MH MK ML MM MN MO "
    "MP MQ MR MS MT MU MV MW MX MY MZ NA NC NE NF NG NI NL NO NP NR NU NZ OM PA PE PF PG PH PK PL PM PN PR PS PT PW "
    "PY QA RE RO RS RU RW SA SB SC SD SE SG SH SI SJ SK SL SM SN SO SR SS ST SV SX SY SZ TC TD TF TG TH TJ TK TL TM "
    "TN TO TR TT TV TW TZ UA UG UM US UY UZ VA VC VE VG VI VN VU WF WS XK YE YT ZA ZM ZW";

const std::bitset<26 * 26>& Laendertafel() {
  static const std::bitset<26 * 26> tafel = [] {
    std::bitset<26 * 26> t;
    for (const char* p = Laendercodes; p[0] && p[1]; p += 3) {
      t.set(size_t((p[0] - 'A') * 26 + (p[1] - 'A')));
      if (!p[2]) break;
    }
    return t;
  }();
  return tafel;
}

}  // namespace

QString Kompakt(QStringView eingabe) {
  QString text(eingabe.size(), Qt::Uninitialized);
  QChar* aus = text.data();
  for (const QChar c : eingabe) {
    if (c.isSpace()) continue;
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
      *aus++ = QChar(c.unicode() - (u'a' - u'A'));
    else
      *aus++ = c.unicode() < 128 ? c : c.toUpper();
  }
  text.truncate(aus - text.constData());
  return text;
}

void KompaktAnhaengen(QByteArrayView utf8, QByteArray& ziel) {
  for (const char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ziel += Kompakt(QString::fromUtf8(utf8)).toUtf8();
      return;
    }
  }
  const qsizetype anfang = ziel.size();
  ziel.resize(anfang + utf8.size());
  char* aus = ziel.data() + anfang;
  for (const char c : utf8) {
    if (c == ' ' || (c >= '\t' && c <= '\r')) continue;   // QChar::isSpace in ASCII
    *aus++ = c >= 'a' && c <= 'z' ? char(c - ('a' - 'A')) : c;
  }
  ziel.truncate(aus - ziel.constData());
}

int Mod97Rest(QStringView text) {
  int rest = 0;
  for (const QChar c : text) {
    if (Ziffer(c))
      rest = (rest * 10 + (c.unicode() - u'0')) % 97;
    else if (Grossbuchstabe(c))
      rest = (rest * 100 + (c.unicode() - u'A' + 10)) % 97;
    else
      return -1;
  }
  return rest;
}

QString Pruefziffern(QStringView koerper, QStringView land) {
  QString text;
  text.reserve(koerper.size() + land.size() + 2);
  text.append(koerper).append(land).append(QStringLiteral("00"));
  const int rest = Mod97Rest(text);
  if (rest < 0) return {};
  return QString::number(98 - rest).rightJustified(2, QLatin1Char('0'));
}

// Built in place, with the remainder taken along: the conversion run calls it for every address.
QString Mod97(QStringView bankleitzahl, QStringView kontoNr) {
  const QChar blank = QLatin1Char(' ');
  QVarLengthArray<QChar, 40> iban{QLatin1Char('D'), QLatin1Char('E'), QLatin1Char('0'), QLatin1Char('0')};
  int rest = 0;
  const auto anhaengen = [&](QChar c) {
    if (!Ziffer(c)) return false;
    rest = (rest * 10 + (c.unicode() - u'0')) % 97;
    iban.append(c);
    return true;
  };
  for (const QChar c : bankleitzahl)
    if (c != blank && !anhaengen(c)) return {};
  // the account padded with zeros to ten digits; of a longer one its last ten
  const qsizetype laenge = kontoNr.size() - kontoNr.count(blank);
  for (qsizetype i = laenge; i < 10; ++i) anhaengen(QLatin1Char('0'));
  qsizetype weglassen = laenge - 10;
  for (const QChar c : kontoNr) {
    if (c == blank || weglassen-- > 0) continue;
    if (!anhaengen(c)) return {};
  }
  // then "DE00" as Pruefziffern reads it: D = 13, E = 14
  for (const int zahl : {13, 14, 0}) rest = (rest * 100 + zahl) % 97;
  const int pruefziffern = 98 - rest;
  iban[2] = QLatin1Char(static_cast<char>('0' + pruefziffern / 10));
  iban[3] = QLatin1Char(static_cast<char>('0' + pruefziffern % 10));
  return QString(iban.constData(), iban.size());
}

bool Laendercode(QStringView land) {
  if (land.size() != 2 || !Grossbuchstabe(land[0]) || !Grossbuchstabe(land[1])) return false;
  return Laendertafel().test(size_t((land[0].unicode() - u'A') * 26 + (land[1].unicode() - u'A')));
}

BicForm BicFormPruefen(QStringView bic) {
  if (bic.size() != 8 && bic.size() != 11) return BicForm::Laenge;
  for (qsizetype i = 0; i < 4; ++i)
    if (!Grossbuchstabe(bic[i])) return BicForm::Bankcode;
  if (!Laendercode(bic.mid(4, 2))) return BicForm::Land;
  // Location: the first character neither 0 nor 1, the second not the letter O.
  const QChar ort1 = bic[6];
  const QChar ort2 = bic[7];
  if (!(Grossbuchstabe(ort1) || (Ziffer(ort1) && ort1 >= QLatin1Char('2')))) return BicForm::Ort;
  if (!(Ziffer(ort2) || (Grossbuchstabe(ort2) && ort2 != QLatin1Char('O')))) return BicForm::Ort;
  for (qsizetype i = 8; i < bic.size(); ++i)
    if (!Grossbuchstabe(bic[i]) && !Ziffer(bic[i])) return BicForm::Filiale;
  return BicForm::Gueltig;
}

QString BicFormText(BicForm form) {
  switch (form) {
    case BicForm::Gueltig: return {};
    case BicForm::Laenge: return QStringLiteral("Die BIC muss 8 oder 11 Zeichen lang sein.");
    case BicForm::Bankcode: return QStringLiteral("Die BIC muss mit 4 Buchstaben (Bankcode) beginnen.");
    case BicForm::Land: return QStringLiteral("Die Zeichen 5 und 6 der BIC sind kein gültiger Ländercode.");
    case BicForm::Ort: return QStringLiteral("Die Zeichen 7 und 8 der BIC sind kein gültiger Ortscode.");
    case BicForm::Filiale:
      return QStringLiteral("Die Zeichen 9 bis 11 der BIC (Filiale) dürfen nur Buchstaben und Ziffern sein.");
  }
  return {};
}

}  // namespace Kennungsform
