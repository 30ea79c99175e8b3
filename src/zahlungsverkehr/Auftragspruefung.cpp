#include "zahlungsverkehr/Auftragspruefung.h"

#include <QHash>

#include <algorithm>

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/MandatReferenz.h"
#include "zahlungsverkehr/SepaKennung.h"
#include "common/Textfunktionen.h"
#include "zahlungsverkehr/Textschluessel.h"

namespace Auftragspruefung {
namespace {

// A text the bank would get empty: nothing left of it in the payment character set but blanks.
bool LeerNachBereinigung(const QString& text) {
  return std::none_of(text.cbegin(), text.cend(),
                      [](QChar c) { return c != QLatin1Char(' ') && ImZahlungszeichensatz(c); });
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

const QString& BetragsrahmenText() {
  static const QString text = QStringLiteral("±999.999.999,99");
  return text;
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
                            .arg(BetragsrahmenText())};
      return;
    }
    if (summe) summe = Waehrung::Addiert(*summe, betrag);
  }
  if (!summe || !summe->ImBetragsrahmen()) {
    befunde << Befund{Auftragsfeld::Zeilen, Befundart::ZeilensummeAusserhalb,
                      QStringLiteral("Die Summe der Verwendungszweck-Zeilen liegt außerhalb von %1!").arg(BetragsrahmenText())};
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
  const int typ = letzte->MandatSequenz % 10;
  if (typ != 1 && typ != 4) return std::nullopt;
  return Befund{Auftragsfeld::MandatReferenz, Befundart::MandatBeendet,
                QStringLiteral("Das Mandat \"%1\" wurde bereits mit Zahlung %2 vom %3 als %4 eingezogen und kann "
                               "nicht noch einmal eingezogen werden.")
                    .arg(referenz.Text())
                    .arg(letzte->ZahlungNr)
                    .arg(letzte->Datum.isValid() ? letzte->Datum.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("?"))
                    .arg(typ == 1 ? QStringLiteral("Einmal-Lastschrift") : QStringLiteral("letzte Lastschrift"))};
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
  if (LeerNachBereinigung(a.Name))
    befunde << Befund{Auftragsfeld::Name, Befundart::NameLeer, QStringLiteral("Die Namensangabe darf nicht leer sein!")};

  const Iban iban(a.IBAN);
  if (auto b = BicPruefen(Bic(a.BIC), iban, heute)) befunde << *b;
  if (const Iban::Fehler f = iban.Pruefen(); f != Iban::Fehler::Keiner)
    befunde << Befund{Auftragsfeld::Iban, IbanBefundart(f), iban.Meldung()};
  if (a.IstLastschrift())
    if (auto b = LastschriftLandPruefen(iban)) befunde << *b;

  if (LeerNachBereinigung(a.Verwendungszweck1)) {
    if (a.Zeilen.isEmpty())
      befunde << Befund{Auftragsfeld::Zeilen, Befundart::KeineZeile,
                        QStringLiteral("Es ist mindestens eine Zeile beim Verwendungszweck notwendig!")};
    else
      befunde << Befund{Auftragsfeld::Verwendungszweck, Befundart::VerwendungszweckLeer,
                        QStringLiteral("Der Verwendungszweck darf nicht leer sein!")};
  }

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

  // The first FRST or OOFF order of each mandate.
  struct Erste {
    qint64 zahlungNr = 0;
    bool frst = false;
  };
  QHash<QString, Erste> mandate;
  QList<QPair<qsizetype, Befund>> befunde;
  for (const Lastschrift* l : reihe) {
    const int typ = l->sequenz % 10;  // 1 OOFF, 2 FRST, 3 RCUR, 4 FNAL
    const auto erste = mandate.constFind(l->schluessel);
    if (typ == 1 || typ == 2) {
      if (erste == mandate.constEnd()) {
        mandate.insert(l->schluessel, Erste{l->zahlungNr, typ == 2});
        continue;
      }
      befunde << qMakePair(l->stelle, Befund{Auftragsfeld::Sequenz, Befundart::MandatMehrfachErst,
                                             QStringLiteral("Das Mandat \"%1\" ist in diesem Lauf bereits als Erst- "
                                                            "oder Einmal-Lastschrift enthalten (Zahlung Nr. %2).")
                                                 .arg(l->mandat)
                                                 .arg(erste->zahlungNr)});
    } else if (erste != mandate.constEnd() && erste->frst) {
      befunde << qMakePair(l->stelle, Befund{Auftragsfeld::Sequenz, Befundart::MandatErstUndFolge,
                                             QStringLiteral("Das Mandat \"%1\" ist in diesem Lauf bereits als "
                                                            "Erst-Lastschrift enthalten (Zahlung Nr. %2); Folge- und letzte "
                                                            "Lastschriften gehören in einen späteren Lauf.")
                                                 .arg(l->mandat)
                                                 .arg(erste->zahlungNr)});
    }
  }
  return befunde;
}

void TexteBereinigen(Zahlungsauftrag& a) {
  a.Name = ZahlungszeichenFiltern(a.Name);
  a.Verwendungszweck1 = ZahlungszeichenFiltern(a.Verwendungszweck1);
}

}  // namespace Auftragspruefung
