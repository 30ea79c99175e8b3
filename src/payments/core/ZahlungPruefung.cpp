#include "payments/core/ZahlungPruefung.h"

#include "common/Textfunktionen.h"

namespace {

QString Bereinigt(const QString& text, int kennzeichen, bool& gueltig) {
  bool geaendert = false;
  return UngueltigeZeichenEntfernen(QVariant(text), kennzeichen, gueltig, geaendert).toString();
}

bool IbanStandard(const QString& iban, QString& meldung) { return IbanLaengePruefen(QVariant(iban), meldung); }

}  // namespace

int Fokuscode(Fokusfeld feld) {
  switch (feld) {
    case Fokusfeld::Name: return 0;
    case Fokusfeld::MandatReferenz: return 1;
    case Fokusfeld::Bic: return 3;
    case Fokusfeld::Iban: return 4;
    case Fokusfeld::Verwendungszweck: return 5;
    case Fokusfeld::Betrag: return -2;
    case Fokusfeld::Zeilengitter: return -3;
    case Fokusfeld::Sequenz: return -4;
    case Fokusfeld::MandatDatum: return -5;
  }
  return 0;
}

QString PruefFehler::Meldungstext() const {
  return meldung + QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
}

QString ZahlungsformularTitel() { return QStringLiteral("Tamo-SEPA Zahlungen erfassen"); }

bool NameGueltig(const QString& text) {
  bool gueltig = false;
  return !Bereinigt(text, 0, gueltig).isEmpty();
}

bool BicGueltig(const QString& bic, const QString& iban, const QDate& heute) {
  if (bic.isEmpty()) {
    // An empty BIC is accepted after the cut-off dates (German IBANs 1 Feb 2014, others 1 Feb 2016).
    const QDate stichtag = iban.startsWith(QLatin1String("DE"), Qt::CaseSensitive) ? QDate(2014, 2, 1) : QDate(2016, 2, 1);
    return heute > stichtag;
  }
  return bic.size() == 8 || bic.size() == 11;
}

bool BetragGueltig(const std::optional<Waehrung>& betrag) { return betrag && *betrag > Waehrung(); }

QString IbanNormalisieren(const QString& iban) {
  QString s;
  s.reserve(iban.size());
  for (QChar c : iban)
    if (!c.isSpace()) s += c.toUpper();
  return s;
}

QString BicNormalisieren(const QString& bic) { return IbanNormalisieren(bic); }

std::optional<PruefFehler> ZahlungPruefen(ZahlungEingabe& e, const PruefKontext& k) {
  const auto ibanPruefen = k.ibanPruefen ? k.ibanPruefen : std::function<bool(const QString&, QString&)>(IbanStandard);
  bool gueltig = false;

  // 1. Name (cleaned text stays in the field even when a later check fails).
  e.name = Bereinigt(e.name, 0, gueltig);
  if (e.name.isEmpty()) return PruefFehler{QStringLiteral("Die Namensangabe darf nicht leer sein!"), Fokusfeld::Name};

  // 2. Bank: cleaned, never fails.
  e.bank = Bereinigt(e.bank, 1, gueltig);

  // 3. BIC, 4. IBAN: judged as they will be stored.
  const QString bic = BicNormalisieren(e.bic);
  const QString iban = IbanNormalisieren(e.iban);
  if (!BicGueltig(bic, iban, k.heute)) {
    return PruefFehler{QStringLiteral("Die BIC (Internationale Bankleitzahl) fehlt noch oder ist unvollständig!") +
                           QStringLiteral("\r(Die Länge beträgt 8 oder 11 Zeichen.)"),
                       Fokusfeld::Bic};
  }
  QString ibanMeldung;
  if (!ibanPruefen(iban, ibanMeldung)) return PruefFehler{ibanMeldung, Fokusfeld::Iban};

  // 5. Remittance lines.
  if (k.zeilengitterSichtbar) {
    if (k.zeilen.anzahl <= 0) {
      return PruefFehler{QStringLiteral("Es ist mindestens eine Zeile beim Verwendungszweck notwendig!"),
                         Fokusfeld::Zeilengitter};
    }
    e.verwendungszweck1 = k.zeilen.ersteZeileText;
    e.betrag = k.zeilen.summe;
  } else {
    // 6. Line text of the single field.
    e.verwendungszweck1 = Bereinigt(e.verwendungszweck1, 0, gueltig);
    if (e.verwendungszweck1.isEmpty())
      return PruefFehler{QStringLiteral("Der Verwendungszweck darf nicht leer sein!"), Fokusfeld::Verwendungszweck};
    // More than one stored line: the amount field is read-only and shows their total.
    if (k.zeilen.anzahl > 1) e.betrag = k.zeilen.summe;
  }

  // 7. Amount.
  if (!BetragGueltig(e.betrag)) return PruefFehler{QStringLiteral("Der Betrag muß größer Null sein!"), Fokusfeld::Betrag};

  // 8. Mandate data of direct debits.
  if (k.zahlart != Zahlart::Ueberweisung) {
    if (e.sequenzIndex < 0 || e.sequenzIndex > 3)
      return PruefFehler{QStringLiteral("Die Einzug-Sequenz muss noch festgelegt werden!"), Fokusfeld::Sequenz};
    if (e.mandatReferenz.trimmed().isEmpty())
      return PruefFehler{QStringLiteral("Die Mandat-Referenz muss zwingend angegeben werden!"), Fokusfeld::MandatReferenz};
    if (!e.mandatDatum || !e.mandatDatum->isValid())
      return PruefFehler{QStringLiteral("Das Mandat-Datum muss zwingend angegeben werden!"), Fokusfeld::MandatDatum};
  }
  return std::nullopt;
}

FeldGueltigkeit FelderPruefen(const ZahlungEingabe& e, bool lastschrift, const QDate& heute,
                              const std::function<bool(const QString& iban, QString& meldung)>& ibanPruefen) {
  const auto pruefen = ibanPruefen ? ibanPruefen : std::function<bool(const QString&, QString&)>(IbanStandard);
  FeldGueltigkeit g;
  g.name = NameGueltig(e.name);
  g.mandatReferenz = !lastschrift || !e.mandatReferenz.trimmed().isEmpty();
  g.bic = BicGueltig(BicNormalisieren(e.bic), IbanNormalisieren(e.iban), heute);
  QString meldung;
  g.iban = pruefen(IbanNormalisieren(e.iban), meldung);
  g.verwendungszweck = NameGueltig(e.verwendungszweck1);
  g.betrag = BetragGueltig(e.betrag);
  g.mandatDatum = !lastschrift || (e.mandatDatum && e.mandatDatum->isValid());
  return g;
}
