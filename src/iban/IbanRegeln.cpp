#include "iban/IbanRegeln.h"

#include <QLatin1String>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanRegelDaten.h"
#include "iban/Kennungsform.h"

using namespace IbanRegelDaten;

namespace {

using Arm = void (*)(IbanArbeitswerte&);

QLatin1String L1(const char* text) { return QLatin1String(text); }

bool Ist(const QString& wert, const char* literal) { return wert == L1(literal); }

// Character n (1-based) of a text, or an empty view when the text is shorter.
QStringView Zeichen(const QString& text, qsizetype n, qsizetype anzahl = 1) {
  if (text.size() < n) return {};
  return QStringView(text).mid(n - 1, anzahl);
}

// Text order, both ends included.
bool Zwischen(QStringView wert, const char* von, const char* bis) {
  return !(wert < L1(von)) && !(L1(bis) < wert);
}

template <std::size_t N>
bool InListe(const QString& wert, const std::array<const char*, N>& liste) {
  return std::any_of(liste.begin(), liste.end(), [&](const char* e) { return wert == L1(e); });
}

// Account mapping: the first row whose old number equals the working account number replaces it.
template <std::size_t N>
void KontoUmsetzen(IbanArbeitswerte& w, const std::array<KontoUmsetzung, N>& tabelle) {
  for (const auto& zeile : tabelle) {
    if (w.KontoNr == L1(zeile.Alt)) {
      w.KontoNr = QString::fromLatin1(zeile.Neu);
      return;
    }
  }
}

QString ZehnStellig(const QString& konto) { return (QStringLiteral("0000000000") + konto).right(10); }

void HinweisSetzen(IbanArbeitswerte& w, IbanHinweis hinweis) { w.Hinweis = hinweis; }

void FesteIban(IbanArbeitswerte& w, const char* iban) { w.IBAN = QString::fromLatin1(iban); }

void BicSchreiben(IbanArbeitswerte& w) { w.FeldBIC = w.BIC; }

// Bank-code replacement with BIC override.
void BlzUndBicErsetzen(IbanArbeitswerte& w, const char* blz, const char* bic) {
  w.BLZ = QString::fromLatin1(blz);
  w.BIC = QString::fromLatin1(bic);
}

// ---- Rules 0000 to 0030 ----

void Regel0000(IbanArbeitswerte& w) { IbanStandardBerechnung(w); }

void Regel0001(IbanArbeitswerte& w) { HinweisSetzen(w, IbanHinweis::BlzOhneIbanErmittlung); }

void Regel0002(IbanArbeitswerte& w) {
  if (Zeichen(w.KontoNr, 8, 2) == u"86" || Zeichen(w.KontoNr, 8) == u"6") {
    HinweisSetzen(w, IbanHinweis::OhneBerechnung);
    return;
  }
  IbanStandardBerechnung(w);
}

void Regel0003(IbanArbeitswerte& w) {
  if (Ist(w.KontoNr, "6161604670")) {
    HinweisSetzen(w, IbanHinweis::OhneBerechnung);
    return;
  }
  IbanStandardBerechnung(w);
}

void Regel0004(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0004);
  IbanStandardBerechnung(w);
}

void Regel0005(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "50040033")) {
    HinweisSetzen(w, IbanHinweis::BlzGesperrt);
    return;
  }
  if (Zeichen(w.BLZ, 4, 3) != u"411" && Zeichen(w.BLZ, 4) == u"4") {
    w.BIC = QStringLiteral("COBADEFFXXX");
    BicSchreiben(w);
  }
  if (Ist(w.Pruefziffernmethode, "09")) {
    IbanStandardBerechnung(w);
    return;
  }
  HinweisSetzen(w, IbanHinweis::OhneNeuberechnungPruefziffer);
  w.KontoNr = ZehnStellig(w.KontoNr);
  if (Zwischen(w.KontoNr, "0998000000", "0999499999")) {
    HinweisSetzen(w, IbanHinweis::BlzGesperrt);
    return;
  }
  const bool version01 = Ist(w.RegelId, "000501");
  for (const auto& zeile : Tabelle0005) {
    if (w.BLZ == L1(zeile.BLZ) && w.KontoNr == L1(zeile.Alt)) {
      w.KontoNr = QString::fromLatin1(zeile.NeuAb02 != nullptr && !version01 ? zeile.NeuAb02 : zeile.Neu);
      break;
    }
  }
  IbanStandardBerechnung(w);
}

void Regel0006(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0006);
  IbanStandardBerechnung(w);
}

void Regel0007(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0007);
  IbanStandardBerechnung(w);
}

void Regel0008(IbanArbeitswerte& w) {
  BlzUndBicErsetzen(w, "50020200", "BHFBDEFF500");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0009(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "68351976") && w.KontoNr.startsWith(QLatin1String("1116")))
    w.KontoNr = QStringLiteral("3047") + w.KontoNr.mid(4);
  BlzUndBicErsetzen(w, "68351557", "SOLADES1SFH");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0010(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "50050201") && Ist(w.KontoNr, "2000")) {
    FesteIban(w, "DE42500502010000222000");
    return;
  }
  if (Ist(w.BLZ, "50050201") && Ist(w.KontoNr, "800000")) {
    FesteIban(w, "DE89500502010000180802");
    return;
  }
  if (Ist(w.RegelId, "001001") && Ist(w.BLZ, "50050222")) w.BLZ = QStringLiteral("50050201");
  IbanStandardBerechnung(w);
}

void Regel0011(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0011);
  IbanStandardBerechnung(w);
}

void Regel0012(IbanArbeitswerte& w) {
  BlzUndBicErsetzen(w, "50050000", "HELADEFFXXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0013(IbanArbeitswerte& w) {
  BlzUndBicErsetzen(w, "30050000", "WELADEDDXXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0014(IbanArbeitswerte& w) {
  BlzUndBicErsetzen(w, "30060601", "DAAEDEDDXXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0015(IbanArbeitswerte& w) {
  // The first row ("94") belongs to version 01 only.
  const bool version01 = Ist(w.RegelId, "001501");
  for (std::size_t i = 0; i < Tabelle0015.size(); ++i) {
    if (i == 0 && !version01) continue;
    if (w.KontoNr == L1(Tabelle0015[i].Alt)) {
      w.KontoNr = QString::fromLatin1(Tabelle0015[i].Neu);
      break;
    }
  }
  IbanStandardBerechnung(w);
}

void Regel0016(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0016);
  IbanStandardBerechnung(w);
}

void Regel0017(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0017);
  IbanStandardBerechnung(w);
}

void Regel0018(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0018);
  IbanStandardBerechnung(w);
}

void Regel0019(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "50130100") || Ist(w.BLZ, "50220200") || Ist(w.BLZ, "70030800"))
    BlzUndBicErsetzen(w, "50120383", "DELBDE33XXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0020(IbanArbeitswerte& w) {
  HinweisSetzen(w, IbanHinweis::OhneNeuberechnungPruefziffer);
  if (Ist(w.BLZ, "50070010") && Ist(w.KontoNr, "9999")) w.KontoNr = QStringLiteral("92777202");
  IbanStandardBerechnung(w);
}

void Regel0021(IbanArbeitswerte& w) {
  BlzUndBicErsetzen(w, "36020030", "NBAGDE3EXXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0022(IbanArbeitswerte& w) {
  if (Ist(w.KontoNr, "1111111")) w.KontoNr = QStringLiteral("2222200000");
  IbanStandardBerechnung(w);
}

void Regel0023(IbanArbeitswerte& w) {
  if (Ist(w.KontoNr, "700")) w.KontoNr = QStringLiteral("1000700800");
  IbanStandardBerechnung(w);
}

void Regel0024(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0024);
  IbanStandardBerechnung(w);
}

void Regel0025(IbanArbeitswerte& w) {
  w.BLZ = QStringLiteral("60050101");
  IbanStandardBerechnung(w);
}

void Regel0026(IbanArbeitswerte& w) { IbanStandardBerechnung(w); }

void Regel0028(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "25050299")) w.BLZ = QStringLiteral("25050180");
  IbanStandardBerechnung(w);
}

void Regel0029(IbanArbeitswerte& w) {
  const QString& k = w.KontoNr;
  if (k.size() == 10 && k.at(0) != QLatin1Char('0') && k.at(3) == QLatin1Char('0'))
    w.KontoNr = k.left(3) + k.mid(4);
  IbanStandardBerechnung(w);
}

// ---- Rules 0031 to 0043 ----

std::optional<QString> PraefixBankleitzahl0031(int praefix) {
  const auto stelle = std::lower_bound(Praefixe0031.begin(), Praefixe0031.end(), praefix,
                                       [](const PraefixBankleitzahl& e, int p) { return e.Praefix < p; });
  if (stelle == Praefixe0031.end() || stelle->Praefix != praefix) return std::nullopt;
  return QString::fromLatin1(stelle->BLZ);
}

// Rules 0031 to 0035 (Unicredit): bank code by the account's first three digits.
void Regel0031(IbanArbeitswerte& w) {
  const bool regel31 = Ist(w.RegelId, "003101");
  if (regel31 && w.KontoNr.size() != 10) {
    HinweisSetzen(w, IbanHinweis::BerechnungNichtMoeglich);
    return;
  }
  const int praefix = static_cast<int>(std::nearbyint(ZahlenWert(QStringView(w.KontoNr).left(3))));
  if (auto blz = PraefixBankleitzahl0031(praefix)) {
    w.BLZ = *blz;
  } else if (praefix >= 800 && praefix <= 899) {
    if (Ist(w.RegelId, "003301")) {
      if (!Ist(w.BLZ, "70020270")) w.BLZ.clear();
    } else if (!regel31 && !Ist(w.RegelId, "003200")) {
      w.BLZ.clear();
    }
  }
  for (const auto& sonder : SonderKonten0033) {
    if (w.RegelId == L1(sonder.RegelId) && w.KontoNr == L1(sonder.Alt)) {
      w.KontoNr = QString::fromLatin1(sonder.NeuKonto);
      w.BLZ = QString::fromLatin1(sonder.NeuBLZ);
      break;
    }
  }
  if (w.BLZ.isEmpty()) {
    HinweisSetzen(w, IbanHinweis::BerechnungNichtMoeglich);
  } else if (IbanStandardBerechnung(w)) {
    HinweisSetzen(w, IbanHinweis::UnicreditBlzUmsetzung);
  }
  const BankleitzahlEintrag* zeile =
      (w.BLZ.isEmpty() || w.Tabelle == nullptr) ? nullptr : w.Tabelle->Finden(w.BLZ);
  w.BIC = zeile ? zeile->BIC : QString();
  BicSchreiben(w);
}

void Regel0036(IbanArbeitswerte& w) {
  w.BLZ = QStringLiteral("21050000");
  if (w.KontoNr.size() == 6) {
    if (Zwischen(w.KontoNr, "100000", "899999")) {
      w.KontoNr += QStringLiteral("000");
      IbanStandardBerechnung(w);
    } else {
      HinweisSetzen(w, IbanHinweis::GesperrteKontenkreise);
    }
    return;
  }
  w.KontoNr = ZehnStellig(w.KontoNr);
  const double wert = ZahlenWert(w.KontoNr);
  const bool gesperrt = std::any_of(Sperrbereiche0036.begin(), Sperrbereiche0036.end(), [&](const KontoBereich& b) {
    return wert >= static_cast<double>(b.Von) && wert <= static_cast<double>(b.Bis);
  });
  if (gesperrt) {
    HinweisSetzen(w, IbanHinweis::GesperrteKontenkreise);
    return;
  }
  if (IbanStandardBerechnung(w)) HinweisSetzen(w, IbanHinweis::OhneNeuberechnungPruefziffer);
}

void Regel0037(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "20110700")) BlzUndBicErsetzen(w, "30010700", "BOTKDEDXXXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0038(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "26691213") || Ist(w.BLZ, "28591579") || Ist(w.BLZ, "25090300"))
    BlzUndBicErsetzen(w, "28590075", "GENODEF1LER");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0039(IbanArbeitswerte& w) {
  if (InListe(w.BLZ, Bankleitzahlen0039)) w.BLZ = QStringLiteral("28020050");
  IbanStandardBerechnung(w);
}

void Regel0040(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "68051310")) BlzUndBicErsetzen(w, "68052328", "SOLADES1STF");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0041(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "62220000")) {
    w.BIC = QStringLiteral("GENODEFFXXX");
    FesteIban(w, "DE96500604000000011404");
  } else {
    IbanStandardBerechnung(w);
  }
  BicSchreiben(w);
}

void Regel0042(IbanArbeitswerte& w) {
  if (w.KontoNr.size() != 8) {
    HinweisSetzen(w, IbanHinweis::NurAchtstelligeKonten);
    return;
  }
  if (w.KontoNr.at(3) != QLatin1Char('0')) {
    if (!Zwischen(w.KontoNr, "50462000", "50463999") && !Zwischen(w.KontoNr, "50469000", "50469999")) {
      HinweisSetzen(w, IbanHinweis::OhneBerechnung);
      return;
    }
  } else if (Zwischen(QStringView(w.KontoNr).mid(3, 5), "00000", "00999")) {
    HinweisSetzen(w, IbanHinweis::OhneBerechnung);
    return;
  }
  IbanStandardBerechnung(w);
}

void Regel0043(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "60651070")) BlzUndBicErsetzen(w, "66650085", "PZHSDE66XXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

// ---- Rules 0044 to 0057 ----

void Regel0044(IbanArbeitswerte& w) {
  if (Ist(w.KontoNr, "202")) w.KontoNr = QStringLiteral("2282022");
  IbanStandardBerechnung(w);
}

void Regel0045(IbanArbeitswerte& w) {
  IbanStandardBerechnung(w);
  w.BIC = QStringLiteral("ESSEDE5FXXX");
  BicSchreiben(w);
}

void Regel0046(IbanArbeitswerte& w) {
  w.BLZ = QStringLiteral("31010833");
  IbanStandardBerechnung(w);
}

void Regel0047(IbanArbeitswerte& w) {
  if (w.KontoNr.size() == 8) w.KontoNr += QStringLiteral("00");
  IbanStandardBerechnung(w);
}

void Regel0048(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "10120800") || Ist(w.BLZ, "27010200") || Ist(w.BLZ, "60020300"))
    BlzUndBicErsetzen(w, "36010200", "VONEDE33XXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0049(IbanArbeitswerte& w) {
  w.KontoNr = ZehnStellig(w.KontoNr);
  if ((Ist(w.BLZ, "30060010") || Ist(w.BLZ, "40060000") || Ist(w.BLZ, "57060000")) &&
      w.KontoNr.at(4) == QLatin1Char('9'))
    w.KontoNr = w.KontoNr.mid(4, 6) + w.KontoNr.left(4);
  KontoUmsetzen(w, Tabelle0049);
  IbanStandardBerechnung(w);
}

void Regel0050(IbanArbeitswerte& w) {
  // The Bundesbank's rule 0050 moves 28252760 to 28550000.
  if (Ist(w.BLZ, "28252760")) BlzUndBicErsetzen(w, "28550000", "BRLADE21LER");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0051(IbanArbeitswerte& w) {
  w.KontoNr = ZehnStellig(w.KontoNr);
  KontoUmsetzen(w, Tabelle0051);
  IbanStandardBerechnung(w);
}

template <std::size_t N>
bool BlzKontoUmsetzen(IbanArbeitswerte& w, const std::array<BlzKontoUmsetzung, N>& tabelle) {
  for (const auto& zeile : tabelle) {
    if (w.BLZ == L1(zeile.BLZ) && w.KontoNr == L1(zeile.Alt)) {
      w.KontoNr = QString::fromLatin1(zeile.Neu);
      BlzUndBicErsetzen(w, "60050101", "SOLADEST600");
      return true;
    }
  }
  return false;
}

void Regel0052(IbanArbeitswerte& w) {
  if (!BlzKontoUmsetzen(w, Tabelle0052)) {
    HinweisSetzen(w, IbanHinweis::OhneBerechnung);
    return;
  }
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0053(IbanArbeitswerte& w) {
  BlzKontoUmsetzen(w, Tabelle0053);
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0054(IbanArbeitswerte& w) {
  KontoUmsetzen(w, Tabelle0054);
  IbanStandardBerechnung(w);
}

void Regel0055(IbanArbeitswerte& w) {
  BlzUndBicErsetzen(w, "25410200", "BHWBDE2HXXX");
  IbanStandardBerechnung(w);
  BicSchreiben(w);
}

void Regel0056(IbanArbeitswerte& w) {
  // A listed account keeps its fixed IBAN before the exclusion, so no IBAN goes with hint 1.
  for (const auto& fest : FesteIbans0056) {
    if (w.KontoNr == L1(fest.Konto)) {
      FesteIban(w, fest.IBAN);
      return;
    }
  }
  if (InListe(w.BLZ, Bankleitzahlen0056) && w.KontoNr.size() != 10) {
    HinweisSetzen(w, IbanHinweis::OhneBerechnung);
    return;
  }
  IbanStandardBerechnung(w);
}

void Regel0057(IbanArbeitswerte& w) {
  if (Ist(w.BLZ, "50810900")) {
    BlzUndBicErsetzen(w, "66010200", "BBSPDE6KXXX");
    BicSchreiben(w);
  }
  IbanStandardBerechnung(w);
}

struct RegelArm {
  const char* Ids;  // the ids of the arm, blank-separated
  Arm Funktion;
};

// In the order of the rules; the first arm that lists an id runs.
constexpr RegelArm Arme[] = {
    {"000000", Regel0000},
    {"000100", Regel0001},
    {"000200", Regel0002},
    {"000300", Regel0003},
    {"000400", Regel0004},
    {"000501 000502 000503", Regel0005},
    {"000600", Regel0006},
    {"000700", Regel0007},
    {"000800", Regel0008},
    {"000900", Regel0009},
    {"001000 001001", Regel0010},
    {"001100", Regel0011},
    {"001201", Regel0012},
    {"001301", Regel0013},
    {"001400", Regel0014},
    {"001500 001501", Regel0015},
    {"001600", Regel0016},
    {"001700", Regel0017},
    {"001800", Regel0018},
    {"001900", Regel0019},
    {"002001 002002", Regel0020},
    {"002101", Regel0021},
    {"002200", Regel0022},
    {"002300", Regel0023},
    {"002400", Regel0024},
    {"002500", Regel0025},
    {"002600 002700 003000", Regel0026},
    {"002800", Regel0028},
    {"002900", Regel0029},
    {"003101 003200 003301 003400 003501", Regel0031},
    {"003600", Regel0036},
    {"003700", Regel0037},
    {"003800", Regel0038},
    {"003900", Regel0039},
    {"004001", Regel0040},
    {"004100", Regel0041},
    {"004200", Regel0042},
    {"004300 004301", Regel0043},
    {"004400", Regel0044},
    {"004500 004501", Regel0045},
    {"004600", Regel0046},
    {"004700", Regel0047},
    {"004800", Regel0048},
    {"004900", Regel0049},
    {"005000", Regel0050},
    {"005100", Regel0051},
    {"005200", Regel0052},
    {"005300", Regel0053},
    {"005400 005401", Regel0054},
    {"005500", Regel0055},
    {"005600", Regel0056},
    {"005700", Regel0057},
};

struct IdArm {
  QString Id;
  Arm Funktion;
};

// Ids sorted for the lookup; built once from the arms.
const std::vector<IdArm>& IdVerzeichnis() {
  static const std::vector<IdArm> verzeichnis = [] {
    std::vector<IdArm> v;
    for (const auto& arm : Arme) {
      for (const QString& id : QString::fromLatin1(arm.Ids).split(QLatin1Char(' ')))
        if (std::none_of(v.begin(), v.end(), [&](const IdArm& e) { return e.Id == id; }))
          v.push_back({id, arm.Funktion});
    }
    std::sort(v.begin(), v.end(), [](const IdArm& a, const IdArm& b) { return a.Id < b.Id; });
    return v;
  }();
  return verzeichnis;
}

}  // namespace

double ZahlenWert(QStringView text) {
  qsizetype i = 0;
  const auto leer = [&] {
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t'))) ++i;
  };
  const auto ziffer = [&] { return i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128; };
  leer();
  double vorzeichen = 1.0;
  if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
    if (text.at(i) == QLatin1Char('-')) vorzeichen = -1.0;
    ++i;
  }
  double wert = 0.0;
  for (leer(); ziffer(); leer()) wert = wert * 10.0 + (text.at(i++).unicode() - u'0');
  if (i < text.size() && text.at(i) == QLatin1Char('.')) {
    ++i;
    double stelle = 0.1;
    for (leer(); ziffer(); leer()) {
      wert += stelle * (text.at(i++).unicode() - u'0');
      stelle /= 10.0;
    }
  }
  return vorzeichen * wert;
}

namespace {

// Digits from the first non-zero one on; -1 when anything but digits and blanks occurs.
qsizetype WesentlicheStellen(QStringView kontoNr) {
  qsizetype stellen = 0;
  for (const QChar c : kontoNr) {
    if (c == QLatin1Char(' ')) continue;
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
    if (stellen > 0 || c != QLatin1Char('0')) ++stellen;
  }
  return stellen;
}

}  // namespace

bool KontoNrGueltig(QStringView kontoNr) {
  const qsizetype stellen = WesentlicheStellen(kontoNr);
  return stellen > 0 && stellen <= 10;
}

bool KontoNrFormGueltig(QStringView kontoNr) {
  const qsizetype stellen = WesentlicheStellen(kontoNr);
  return stellen >= 0 && stellen <= 10;
}

bool IbanStandardBerechnung(IbanArbeitswerte& werte) {
  if (!KontoNrGueltig(werte.KontoNr)) {
    werte.Hinweis = IbanHinweis::KontoNrUngueltig;
    return false;
  }
  QString iban = Kennungsform::Mod97(werte.BLZ, werte.KontoNr);
  if (iban.size() != 22) {
    // Only a damaged bank-code file brings a bank code that is not eight digits this far.
    werte.Hinweis = IbanHinweis::BlzNichtAchtstellig;
    return false;
  }
  werte.IBAN = std::move(iban);
  return true;
}

bool IbanRegelAnwenden(IbanArbeitswerte& werte) {
  const auto& verzeichnis = IdVerzeichnis();
  const auto stelle = std::lower_bound(verzeichnis.begin(), verzeichnis.end(), werte.RegelId,
                                       [](const IdArm& e, const QString& id) { return e.Id < id; });
  if (stelle == verzeichnis.end() || stelle->Id != werte.RegelId) {
    werte.Hinweis = IbanHinweis::RegelNichtUnterstuetzt;
    return false;
  }
  stelle->Funktion(werte);
  return true;
}

const std::vector<QString>& IbanRegelIds() {
  static const std::vector<QString> ids = [] {
    std::vector<QString> v;
    for (const auto& arm : Arme)
      for (const QString& id : QString::fromLatin1(arm.Ids).split(QLatin1Char(' '))) v.push_back(id);
    return v;
  }();
  return ids;
}
