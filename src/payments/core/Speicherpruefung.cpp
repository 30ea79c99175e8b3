#include "payments/core/Speicherpruefung.h"

#include "common/Textfunktionen.h"
#include "zahlungsverkehr/Textschluessel.h"

namespace {

Fokusfeld FokusAus(Auftragsfeld feld, bool zeilengitterSichtbar) {
  switch (feld) {
    case Auftragsfeld::Name: return Fokusfeld::Name;
    case Auftragsfeld::Bic: return Fokusfeld::Bic;
    case Auftragsfeld::Iban: return Fokusfeld::Iban;
    case Auftragsfeld::Zeilen: return Fokusfeld::Zeilengitter;
    case Auftragsfeld::Verwendungszweck:
      return zeilengitterSichtbar ? Fokusfeld::Zeilengitter : Fokusfeld::Verwendungszweck;
    case Auftragsfeld::Betrag: return Fokusfeld::Betrag;
    case Auftragsfeld::Sequenz: return Fokusfeld::Sequenz;
    case Auftragsfeld::MandatReferenz: return Fokusfeld::MandatReferenz;
    case Auftragsfeld::MandatDatum: return Fokusfeld::MandatDatum;
    case Auftragsfeld::Textschluessel: return Fokusfeld::Textschluessel;
    case Auftragsfeld::EinzelReferenz:  // not a field of the form; the save does not judge it
    case Auftragsfeld::Art: break;      // the form sets it itself
  }
  return Fokusfeld::Name;
}

}  // namespace

QString PruefFehler::Meldungstext() const {
  return meldung + QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
}

QString ZahlungsformularTitel() { return QStringLiteral("Tamo-SEPA Zahlungen erfassen"); }

Zahlungsauftrag AuftragAusEingabe(const ZahlungEingabe& e, const PruefKontext& k) {
  Zahlungsauftrag a;
  const bool lastschrift = k.zahlart != Zahlart::Ueberweisung;
  a.Art = lastschrift ? QStringLiteral("L") : QStringLiteral("G");
  a.Name = e.name;
  a.IBAN = e.iban;
  a.BIC = e.bic;
  a.Faellig = e.faellig;
  a.Textschluessel = TextschluesselNormalisieren(e.textschluessel, 0);  // as typed: a longer code is a finding
  if (lastschrift) {
    a.MandatReferenz = e.mandatReferenz.trimmed();
    a.MandatDatum = e.mandatDatum;
    if (e.sequenzIndex >= 0 && e.sequenzIndex <= 3)
      a.MandatSequenz = (k.zahlart == Zahlart::BasisLastschrift ? 1 : 11) + e.sequenzIndex;
  }
  if (k.zeilengitterSichtbar) {
    a.Zeilen = k.zeilen;
    a.Verwendungszweck1 = k.zeilen.isEmpty() ? QString() : k.zeilen.first().Text;
    a.Betrag = a.Zeilensumme();
  } else {
    a.Verwendungszweck1 = e.verwendungszweck1;
    if (k.zeilen.size() > 1) {
      // The amount field is read-only then and shows the lines' total.
      a.Zeilen = k.zeilen;
      a.Zeilen.first().Text = a.Verwendungszweck1;
      a.Betrag = a.Zeilensumme();
    } else {
      a.Betrag = e.betrag.value_or(Waehrung());
      a.Zeilen = {Auftragszeile{a.Verwendungszweck1, a.Betrag}};
    }
  }
  return a;
}

std::optional<PruefFehler> ZahlungPruefen(ZahlungEingabe& e, const PruefKontext& k) {
  const Zahlungsauftrag a = AuftragAusEingabe(e, k);
  // The cleaning stays in the fields even when a check fails, as far as the texts still say the same
  // (what transliteration would lose is a finding, and the typed text stays for correcting it).
  Zahlungsauftrag bereinigt = a;
  if (Auftragspruefung::TexteBereinigen(bereinigt)) {
    e.name = bereinigt.Name;
    e.verwendungszweck1 = bereinigt.Verwendungszweck1;
  }
  e.bank = ZahlungszeichenFiltern(e.bank);
  if (k.zeilengitterSichtbar || k.zeilen.size() > 1) e.betrag = a.Betrag;

  for (const Befund& b : Auftragspruefung::Pruefen(a, k.heute, k.verlauf)) {
    // The single reference is no field of the form: an import's faulty one is for the pre-check to name.
    if (b.Feld == Auftragsfeld::EinzelReferenz) continue;
    return PruefFehler{b.Text, FokusAus(b.Feld, k.zeilengitterSichtbar), b.Art};
  }
  return std::nullopt;
}

bool BetragGueltig(const std::optional<Waehrung>& betrag) {
  return betrag && !Auftragspruefung::BetragPruefen(*betrag);
}

FeldGueltigkeit FelderPruefen(const ZahlungEingabe& e, bool lastschrift, const QDate& heute) {
  PruefKontext k;
  k.zahlart = lastschrift ? Zahlart::BasisLastschrift : Zahlart::Ueberweisung;
  k.heute = heute;
  FeldGueltigkeit g;
  g.betrag = BetragGueltig(e.betrag);
  for (const Befund& b : Auftragspruefung::Pruefen(AuftragAusEingabe(e, k), heute)) {
    switch (b.Feld) {
      case Auftragsfeld::Name: g.name = false; break;
      case Auftragsfeld::MandatReferenz: g.mandatReferenz = false; break;
      case Auftragsfeld::Bic: g.bic = false; break;
      case Auftragsfeld::Iban: g.iban = false; break;
      case Auftragsfeld::Verwendungszweck:
      case Auftragsfeld::Zeilen: g.verwendungszweck = false; break;
      case Auftragsfeld::MandatDatum: g.mandatDatum = false; break;
      default: break;
    }
  }
  return g;
}
