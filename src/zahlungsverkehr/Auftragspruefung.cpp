#include "zahlungsverkehr/Auftragspruefung.h"

#include <QHash>
#include <QVarLengthArray>

#include <algorithm>

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/MandatReferenz.h"
#include "zahlungsverkehr/MandatSequenz.h"
#include "zahlungsverkehr/SepaKennung.h"
#include "common/Textfunktionen.h"
#include "common/Umschrift.h"
#include "zahlungsverkehr/Textschluessel.h"

namespace Auftragspruefung {
namespace {

// A text the bank would get empty: nothing left of it in the payment character set but blanks.
bool Leer(const QString& text) {
  return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}

Befundart IbanBefundart(Iban::Fehler fehler) {
  switch (fehler) {
    case Iban::Fehler::Fehlt: return Befundart::IbanFehlt;
    case Iban::Fehler::ZuKurz: return Befundart::IbanZuKurz;
    case Iban::Fehler::UnbekanntesLand: return Befundart::IbanUnbekanntesLand;
    case Iban::Fehler::FalscheLaenge: return Befundart::IbanFalscheLaenge;
    case Iban::Fehler::Zeichen: return Befundart::IbanZeichen;
    case Iban::Fehler::Kontoaufbau: return Befundart::IbanKontoaufbau;
    case Iban::Fehler::Pruefziffer:
    case Iban::Fehler::Keiner: break;
  }
  return Befundart::IbanPruefziffer;
}

const QString& BicUnvollstaendigText() {
  static const QString text = QStringLiteral(
      "Die BIC (Internationale Bankleitzahl) fehlt noch oder ist unvollständig!\r(Die Länge beträgt 8 oder 11 Zeichen.)");
  return text;
}

// An empty BIC: the cut-off dates (German IBANs from 1 February 2014, the other EEA countries from
// 1 February 2016), and never for a SEPA country outside the EEA.
std::optional<Befund> LeereBicPruefen(const Iban& iban, const QDate& heute) {
  if (iban.BicPflicht()) {
    return Befund{Auftragsfeld::Bic, Befundart::BicAusserhalbEwr,
                  QStringLiteral("Die BIC (Internationale Bankleitzahl) fehlt noch!\r(Für eine IBAN aus %1, einem Land "
                                 "außerhalb des Europäischen Wirtschaftsraums, ist sie Pflicht.)")
                      .arg(iban.Land())};
  }
  const QDate stichtag = iban.Land() == QLatin1String("DE") ? QDate(2014, 2, 1) : QDate(2016, 2, 1);
  if (heute < stichtag) return Befund{Auftragsfeld::Bic, Befundart::BicUnvollstaendig, BicUnvollstaendigText()};
  return std::nullopt;
}

std::optional<Befund> BicPruefen(const Bic& bic, const Iban& iban, const QDate& heute) {
  const Bic::Fehler fehler = bic.Pruefen();
  switch (fehler) {
    case Bic::Fehler::Keiner: return std::nullopt;
    case Bic::Fehler::Fehlt: return LeereBicPruefen(iban, heute);
    case Bic::Fehler::Laenge: return Befund{Auftragsfeld::Bic, Befundart::BicUnvollstaendig, BicUnvollstaendigText()};
    default:
      return Befund{Auftragsfeld::Bic, Befundart::BicAufbau,
                    QStringLiteral("Die BIC (Internationale Bankleitzahl) ist ungültig!\r(") + Bic::Meldung(fehler) +
                        QLatin1Char(')')};
  }
}

// A collection's sequence: 1-4 core, 11-14 business-to-business. The automatic one (5, 15) belongs to the
// address and is decided when the order is made; on an order it was never resolved.
std::optional<Befund> SequenzPruefen(int sequenz) {
  if ((sequenz >= 1 && sequenz <= 4) || (sequenz >= 11 && sequenz <= 14)) return std::nullopt;
  if (sequenz == 0)
    return Befund{Auftragsfeld::Sequenz, Befundart::SequenzFehlt,
                  QStringLiteral("Die Einzug-Sequenz muss noch festgelegt werden!")};
  if (sequenz == 5 || sequenz == 15)
    return Befund{Auftragsfeld::Sequenz, Befundart::SequenzUnbekannt,
                  QStringLiteral("Die Einzug-Sequenz %1 (automatisch) wurde nicht als Erst- oder Folge-Einzug "
                                 "festgelegt!\r(Bitte wählen Sie die Einzug-Sequenz der Zahlung.)")
                      .arg(sequenz)};
  return Befund{Auftragsfeld::Sequenz, Befundart::SequenzUnbekannt,
                QStringLiteral("Die Einzug-Sequenz %1 ist unbekannt!\r(Gültig sind 1 bis 4 für Basis- und 11 bis 14 "
                               "für Firmen-Lastschriften.)")
                    .arg(sequenz)};
}

void MandatPruefen(const Zahlungsauftrag& a, const QDate& heute, QList<Befund>& befunde) {
  if (auto b = SequenzPruefen(a.MandatSequenz)) befunde << *b;
  const MandatReferenz referenz(a.MandatReferenz);
  if (const MandatReferenz::Fehler f = referenz.Pruefen(); f != MandatReferenz::Fehler::Keiner) {
    befunde << Befund{Auftragsfeld::MandatReferenz,
                      f == MandatReferenz::Fehler::Leer ? Befundart::MandatReferenzFehlt
                                                        : Befundart::MandatReferenzUngueltig,
                      MandatReferenz::Meldung(f)};
  }
  if (!a.MandatDatum || !a.MandatDatum->isValid())
    befunde << Befund{Auftragsfeld::MandatDatum, Befundart::MandatDatumFehlt,
                      QStringLiteral("Das Mandat-Datum muss zwingend angegeben werden!")};
  else if (*a.MandatDatum > heute)
    befunde << Befund{Auftragsfeld::MandatDatum, Befundart::MandatDatumZukunft,
                      QStringLiteral("Das Mandat-Datum darf nicht in der Zukunft liegen!")};
}

// Stored as "G" or "L" only: a text in any other spelling would be read as neither kind.
std::optional<Befund> ArtPruefen(const QString& art) {
  if (art == QLatin1String("G") || art == QLatin1String("L")) return std::nullopt;
  return Befund{Auftragsfeld::Art, Befundart::ArtUnbekannt,
                QStringLiteral("Die Zahlungsart \"%1\" ist unbekannt!\r(Gespeichert wird \"G\" für Überweisungen und "
                               "\"L\" für Lastschriften.)")
                    .arg(art)};
}

// The schemes demand the debtor's postal address for a collection from a SEPA country outside the EEA,
// and the program keeps none.
std::optional<Befund> LastschriftLandPruefen(const Iban& iban) {
  if (!iban.BicPflicht()) return std::nullopt;
  return Befund{Auftragsfeld::Iban, Befundart::LastschriftAusserhalbEwr,
                QStringLiteral("Lastschriften von einem Konto in %1 (außerhalb des Europäischen Wirtschaftsraums) "
                               "verlangen die Anschrift des Zahlungspflichtigen, die Tamo-SEPA nicht führt.\r"
                               "Diese Lastschrift kann nicht eingezogen werden.")
                    .arg(iban.Land())};
}

// Each line within the amount range, their sum exact and within it too, and the order's amount that sum.
void ZeilenbetraegePruefen(const Zahlungsauftrag& a, bool betragGueltig, QList<Befund>& befunde) {
  if (a.Zeilen.isEmpty()) return;
  std::optional<Waehrung> summe = Waehrung();
  for (qsizetype i = 0; i < a.Zeilen.size(); ++i) {
    const Waehrung betrag = a.Zeilen.at(i).Betrag;
    if (!betrag.ImBetragsrahmen()) {
      befunde << Befund{Auftragsfeld::Zeilen, Befundart::ZeilenbetragAusserhalb,
                        QStringLiteral("Der Betrag der Verwendungszweck-Zeile %1 liegt außerhalb von %2!")
                            .arg(i + 1)
                            .arg(Waehrung::BetragsrahmenText())};
      return;
    }
    if (summe) summe = Waehrung::Addiert(*summe, betrag);
  }
  if (!summe || !summe->ImBetragsrahmen()) {
    befunde << Befund{Auftragsfeld::Zeilen, Befundart::ZeilensummeAusserhalb,
                      QStringLiteral("Die Summe der Verwendungszweck-Zeilen liegt außerhalb von %1!").arg(Waehrung::BetragsrahmenText())};
    return;
  }
  if (betragGueltig && *summe != a.Betrag)
    befunde << Befund{Auftragsfeld::Betrag, Befundart::BetragUngleichZeilen,
                      QStringLiteral("Der Betrag %1 stimmt nicht mit der Summe der Verwendungszweck-Zeilen %2 überein!")
                          .arg(a.Betrag.FormatDeutsch(), summe->FormatDeutsch())};
}

// A mandate whose last done collection was its one-off or its final one is used up.
std::optional<Befund> VerlaufPruefen(const Zahlungsauftrag& a, const Mandatverlaeufe& verlauf) {
  if (verlauf.isEmpty()) return std::nullopt;
  const MandatReferenz referenz(a.MandatReferenz);
  if (referenz.IstLeer()) return std::nullopt;
  const auto letzte = verlauf.constFind(MandatSchluessel(referenz.Text()));
  if (letzte == verlauf.constEnd()) return std::nullopt;
  if (!MandatVerbrauchend(letzte->MandatSequenz)) return std::nullopt;
  const int typ = letzte->MandatSequenz % 10;
  return Befund{Auftragsfeld::MandatReferenz, Befundart::MandatBeendet,
                QStringLiteral("Das Mandat \"%1\" wurde bereits mit Zahlung %2 vom %3 als %4 eingezogen und kann "
                               "nicht noch einmal eingezogen werden.")
                    .arg(referenz.Text())
                    .arg(letzte->ZahlungNr)
                    .arg(letzte->Datum.isValid() ? letzte->Datum.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("?"))
                    .arg(typ == 1 ? QStringLiteral("Einmal-Lastschrift") : QStringLiteral("letzte Lastschrift"))};
}

QString OhneUmschriftText(const QString& wer, const Zahlungstext& t) {
  return wer + QStringLiteral(" enthält Zeichen, die sich nicht in lateinische Schrift umschreiben lassen: ") +
         t.ohneUmschrift;
}

QString ZuLangText(const QString& wer, const Zahlungstext& t, int laenge) {
  const QString wie = t.geaendert ? QStringLiteral(" in lateinischer Schrift") : QString();
  return QStringLiteral("%1 ist%2 %3 Zeichen lang; erlaubt sind höchstens %4 Zeichen!")
      .arg(wer, wie)
      .arg(t.text.size())
      .arg(laenge);
}

// The name as the file carries it: transliterated without loss, within 70 characters. An emptied name is
// NameLeer's; letters without a Latin form say more than that.
void NamePruefen(const QString& name, QList<Befund>& befunde, const QString& wer = QStringLiteral("Die Namensangabe")) {
  const Zahlungstext t = ZahlungstextUmschreiben(name);
  if (!t.Verlustfrei())
    befunde << Befund{Auftragsfeld::Name, Befundart::NameUmschrift, OhneUmschriftText(wer, t)};
  else if (Leer(t.text))
    befunde << Befund{Auftragsfeld::Name, Befundart::NameLeer, QStringLiteral("Die Namensangabe darf nicht leer sein!")};
  if (t.text.size() > NameLaenge)
    befunde << Befund{Auftragsfeld::Name, Befundart::NameZuLang, ZuLangText(wer, t, NameLaenge)};
}

// The length of the lines joined as the file joins them (each behind a blank, blanks trimmed at both ends),
// from their cleaned texts without joining them: what the cleaning does to a line does not depend on the
// lines around it.
qsizetype VerbundeneLaenge(const QVarLengthArray<Zahlungstext, 8>& zeilen) {
  auto blanksVorn = [](const QString& t) {
    qsizetype n = 0;
    while (n < t.size() && t.at(n) == QLatin1Char(' ')) ++n;
    return n;
  };
  auto blanksHinten = [](const QString& t) {
    qsizetype n = 0;
    while (n < t.size() && t.at(t.size() - 1 - n) == QLatin1Char(' ')) ++n;
    return n;
  };
  qsizetype gesamt = 0;
  for (const Zahlungstext& z : zeilen) gesamt += 1 + z.text.size();
  qsizetype vorn = 0;
  qsizetype erste = 0;
  for (; erste < zeilen.size(); ++erste) {
    const QString& t = zeilen.at(erste).text;
    const qsizetype b = blanksVorn(t);
    vorn += 1 + b;
    if (b < t.size()) break;
  }
  if (erste == zeilen.size()) return 0;   // nothing but blanks
  qsizetype hinten = 0;
  for (qsizetype i = zeilen.size() - 1; i >= erste; --i) {
    const QString& t = zeilen.at(i).text;
    const qsizetype b = blanksHinten(t);
    hinten += b;
    if (b < t.size()) break;
    hinten += 1;   // a blank line: its separator is trailing too
  }
  return gesamt - vorn - hinten;
}

// Verwendungszweck1, each line and the remittance text together, as the file carries them. Line 1 is judged
// as Verwendungszweck1 while it says the same.
void VerwendungPruefen(const Zahlungsauftrag& a, QList<Befund>& befunde) {
  const Zahlungstext v = ZahlungstextUmschreiben(a.Verwendungszweck1);
  const QString wer = QStringLiteral("Der Verwendungszweck");
  if (!v.Verlustfrei()) {
    befunde << Befund{Auftragsfeld::Verwendungszweck, Befundart::VerwendungszweckUmschrift, OhneUmschriftText(wer, v)};
  } else if (Leer(v.text)) {
    if (a.Zeilen.isEmpty())
      befunde << Befund{Auftragsfeld::Zeilen, Befundart::KeineZeile,
                        QStringLiteral("Es ist mindestens eine Zeile beim Verwendungszweck notwendig!")};
    else
      befunde << Befund{Auftragsfeld::Verwendungszweck, Befundart::VerwendungszweckLeer,
                        QStringLiteral("Der Verwendungszweck darf nicht leer sein!")};
  }
  if (v.text.size() > ZeilenLaenge)
    befunde << Befund{Auftragsfeld::Verwendungszweck, Befundart::VerwendungszweckZuLang,
                      ZuLangText(wer, v, ZeilenLaenge)};

  QVarLengthArray<Zahlungstext, 8> zeilen;
  for (qsizetype i = 0; i < a.Zeilen.size(); ++i) {
    const QString& zeile = a.Zeilen.at(i).Text;
    zeilen.append(ZahlungstextUmschreiben(zeile));
    if (i == 0 && zeile == a.Verwendungszweck1) continue;
    const Zahlungstext& t = zeilen.back();
    auto welche = [i] { return QStringLiteral("Die Verwendungszweck-Zeile %1").arg(i + 1); };
    if (!t.Verlustfrei())
      befunde << Befund{Auftragsfeld::Zeilen, Befundart::ZeileUmschrift, OhneUmschriftText(welche(), t)};
    else if (Leer(t.text) && !zeile.trimmed().isEmpty())
      befunde << Befund{Auftragsfeld::Zeilen, Befundart::ZeileUmschrift,
                        welche() + QStringLiteral(" besteht nur aus Zeichen, die die Bank nicht annimmt!")};
    if (t.text.size() > ZeilenLaenge)
      befunde << Befund{Auftragsfeld::Zeilen, Befundart::ZeileZuLang, ZuLangText(welche(), t, ZeilenLaenge)};
  }

  const qsizetype laenge = a.Zeilen.isEmpty() ? Verwendungstext(a).size() : VerbundeneLaenge(zeilen);
  if (laenge > VerwendungLaenge)
    befunde << Befund{Auftragsfeld::Zeilen, Befundart::VerwendungZuLang,
                      QStringLiteral("Der Verwendungszweck ist mit allen Zeilen %1 Zeichen lang; die Bank nimmt "
                                     "höchstens %2 Zeichen!")
                          .arg(laenge)
                          .arg(VerwendungLaenge)};
}

}  // namespace

QString MandatSchluessel(const QString& referenz) { return referenz.trimmed().toUpper(); }

std::optional<Befund> BetragPruefen(Waehrung betrag) {
  if (betrag <= Waehrung())
    return Befund{Auftragsfeld::Betrag, Befundart::BetragNichtPositiv, QStringLiteral("Der Betrag muß größer Null sein!")};
  if (!betrag.ImBetragsrahmen())
    return Befund{Auftragsfeld::Betrag, Befundart::BetragZuHoch,
                  QStringLiteral("Der Betrag darf höchstens 999.999.999,99 betragen!")};
  if (!betrag.IstCentGenau())
    return Befund{Auftragsfeld::Betrag, Befundart::BetragNachkommastellen,
                  QStringLiteral("Der Betrag darf höchstens zwei Nachkommastellen haben!")};
  return std::nullopt;
}

QList<Befund> Pruefen(const Zahlungsauftrag& a, const QDate& heute, const Mandatverlaeufe& verlauf) {
  QList<Befund> befunde;
  if (auto b = ArtPruefen(a.Art)) befunde << *b;
  NamePruefen(a.Name, befunde);

  const Iban iban(a.IBAN);
  if (auto b = BicPruefen(Bic(a.BIC), iban, heute)) befunde << *b;
  if (const Iban::Fehler f = iban.Pruefen(); f != Iban::Fehler::Keiner)
    befunde << Befund{Auftragsfeld::Iban, IbanBefundart(f), iban.Meldung()};
  if (a.IstLastschrift())
    if (auto b = LastschriftLandPruefen(iban)) befunde << *b;

  VerwendungPruefen(a, befunde);

  const std::optional<Befund> betrag = BetragPruefen(a.Betrag);
  if (betrag) befunde << *betrag;
  ZeilenbetraegePruefen(a, !betrag, befunde);

  if (a.IstLastschrift()) {
    MandatPruefen(a, heute, befunde);
    if (auto b = VerlaufPruefen(a, verlauf)) befunde << *b;
  }

  const QString code = a.Textschluessel.trimmed();
  if (!code.isEmpty() && !TextschluesselErlaubt(a.Art, code))
    befunde << Befund{Auftragsfeld::Textschluessel, Befundart::TextschluesselUngueltig,
                      QStringLiteral("Der Textschlüssel \"%1\" ist für diese Zahlungsart nicht vorgesehen!").arg(code)};

  // Written trimmed, so only what is left counts.
  const QString einzel = a.EinzelReferenz.trimmed();
  if (!einzel.isEmpty()) {
    if (const SepaKennung::Fehler f = SepaKennung(einzel).Pruefen(); f != SepaKennung::Fehler::Keiner)
      befunde << Befund{Auftragsfeld::EinzelReferenz, Befundart::EinzelReferenzUngueltig,
                        SepaKennung::Meldung(f, QStringLiteral("Die Einzel-Referenz"))};
  }
  return befunde;
}

QList<QList<Befund>> LaufPruefen(const QList<Zahlungsauftrag>& lauf, const QDate& heute, const Mandatverlaeufe& verlauf) {
  Laufpruefung pruefung(heute, verlauf);
  QList<QList<Befund>> befunde;
  befunde.reserve(lauf.size());
  for (const Zahlungsauftrag& a : lauf) befunde << pruefung.Pruefen(a);
  for (const auto& [stelle, befund] : pruefung.Laufbefunde()) befunde[stelle] << befund;
  return befunde;
}

QList<Befund> Laufpruefung::Pruefen(const Zahlungsauftrag& a) {
  QList<Befund> befunde = Auftragspruefung::Pruefen(a, m_heute, m_verlauf);
  if (befunde.isEmpty() && a.IstLastschrift()) {
    const QString mandat = MandatReferenz(a.MandatReferenz).Text();
    m_lastschriften << Lastschrift{m_anzahl, a.ZahlungNr, a.MandatSequenz, mandat, MandatSchluessel(mandat)};
  }
  ++m_anzahl;
  return befunde;
}

QList<QPair<qsizetype, Befund>> Laufpruefung::Laufbefunde() const {
  QList<const Lastschrift*> reihe;
  reihe.reserve(m_lastschriften.size());
  for (const Lastschrift& l : m_lastschriften) reihe << &l;
  std::stable_sort(reihe.begin(), reihe.end(), [](const Lastschrift* x, const Lastschrift* y) {
    return x->sequenz != y->sequenz ? x->sequenz < y->sequenz : x->zahlungNr < y->zahlungNr;
  });

  // What the run holds of each mandate so far, in the order above: its first order of each kind.
  struct Mandatstand {
    std::optional<qint64> erst;    // FRST or OOFF
    bool einmal = false;           // ... and it is the OOFF
    std::optional<qint64> folge;   // RCUR
    std::optional<qint64> letzte;  // FNAL
  };
  QHash<QString, Mandatstand> mandate;
  QList<QPair<qsizetype, Befund>> befunde;
  const auto befund = [&](const Lastschrift* l, Befundart art, const QString& text, qint64 frueher) {
    befunde << qMakePair(l->stelle, Befund{Auftragsfeld::Sequenz, art, text.arg(l->mandat, QString::number(frueher))});
  };
  for (const Lastschrift* l : reihe) {
    const int typ = l->sequenz % 10;  // 1 OOFF, 2 FRST, 3 RCUR, 4 FNAL
    Mandatstand& m = mandate[l->schluessel];
    if (m.erst && (typ == 1 || typ == 2)) {
      befund(l, Befundart::MandatMehrfachErst,
             QStringLiteral("Das Mandat \"%1\" ist in diesem Lauf bereits als Erst- oder Einmal-Lastschrift enthalten "
                            "(Zahlung Nr. %2)."),
             *m.erst);
    } else if (m.erst && !m.einmal) {
      befund(l, Befundart::MandatErstUndFolge,
             QStringLiteral("Das Mandat \"%1\" ist in diesem Lauf bereits als Erst-Lastschrift enthalten (Zahlung Nr. "
                            "%2); Folge- und letzte Lastschriften gehören in einen späteren Lauf."),
             *m.erst);
    } else if (m.erst) {
      befund(l, Befundart::MandatImLaufVerbraucht,
             QStringLiteral("Das Mandat \"%1\" ist in diesem Lauf bereits als Einmal-Lastschrift enthalten (Zahlung "
                            "Nr. %2) und damit verbraucht; es kann nicht noch einmal eingezogen werden."),
             *m.erst);
    } else if (m.letzte) {
      befund(l, Befundart::MandatImLaufVerbraucht,
             QStringLiteral("Das Mandat \"%1\" ist in diesem Lauf bereits als letzte Lastschrift enthalten (Zahlung "
                            "Nr. %2) und damit verbraucht; es kann nicht noch einmal eingezogen werden."),
             *m.letzte);
    } else if (typ == 4 && m.folge) {
      befund(l, Befundart::MandatLetzteMitFolge,
             QStringLiteral("Das Mandat \"%1\" ist in diesem Lauf bereits als Folge-Lastschrift enthalten (Zahlung "
                            "Nr. %2); die letzte Lastschrift gehört in einen späteren Lauf."),
             *m.folge);
    } else if (typ == 1 || typ == 2) {
      m.erst = l->zahlungNr;
      m.einmal = typ == 1;
    } else if (typ == 3) {
      if (!m.folge) m.folge = l->zahlungNr;
    } else {
      m.letzte = l->zahlungNr;
    }
  }
  return befunde;
}

QString AbsenderNameMeldung(const QString& name) {
  QList<Befund> befunde;
  NamePruefen(name, befunde, QStringLiteral("Der Name des Absenders"));
  for (const Befund& b : befunde)
    if (b.Art != Befundart::NameLeer) return b.Text;
  return {};
}

QString Verwendungstext(const Zahlungsauftrag& a) {
  QString roh;
  if (a.Zeilen.isEmpty()) {
    roh = a.Verwendungszweck1;
  } else {
    for (const Auftragszeile& z : a.Zeilen) {
      roh += QLatin1Char(' ');
      roh += z.Text;
    }
  }
  const QString text = ZahlungstextUmschreiben(roh).text;
  qsizetype von = 0;
  qsizetype bis = text.size();
  while (von < bis && text.at(von) == QLatin1Char(' ')) ++von;
  while (bis > von && text.at(bis - 1) == QLatin1Char(' ')) --bis;
  return text.mid(von, bis - von);
}

std::optional<QString> TextBereinigt(const QString& text, int laenge) {
  Zahlungstext t = ZahlungstextUmschreiben(text);
  if (!t.Verlustfrei() || t.text.size() > laenge) return std::nullopt;
  if (Leer(t.text) && !text.trimmed().isEmpty()) return std::nullopt;
  return std::move(t.text);
}

bool TexteBereinigen(Zahlungsauftrag& a) {
  std::optional<QString> name = TextBereinigt(a.Name, NameLaenge);
  std::optional<QString> text = TextBereinigt(a.Verwendungszweck1, ZeilenLaenge);
  if (!name || !text) return false;
  a.Name = std::move(*name);
  a.Verwendungszweck1 = std::move(*text);
  return true;
}

}  // namespace Auftragspruefung
