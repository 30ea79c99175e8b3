#include "sepafiles/core/SepaPruefung.h"

#include <QRegularExpression>

#include "common/Kontopruefung.h"
#include "common/Textfunktionen.h"

namespace SepaPruefung {
namespace {

using Kontopruefung::BicGueltig;
using Kontopruefung::GlaeubigerIdGueltig;
using Kontopruefung::IbanGueltig;

bool Passt(const QRegularExpression& muster, const QString& text) { return muster.match(text).hasMatch(); }

}  // namespace

bool MandatReferenzGueltig(const QString& mandatReferenz) {
  static const QRegularExpression muster(QStringLiteral("^[A-Za-z0-9+?/\\-:().,' ]{1,35}$"));
  const QString text = mandatReferenz.trimmed();
  return Passt(muster, text) && !text.startsWith(QLatin1Char('/')) && !text.contains(QLatin1String("//"));
}

bool TextschluesselGueltig(const QString& textschluessel) {
  static const QRegularExpression muster(QStringLiteral("^[A-Za-z0-9]{4}$"));
  const QString text = textschluessel.trimmed();
  return text.isEmpty() || Passt(muster, text);
}

bool BetragGueltig(Waehrung betrag) {
  return betrag > Waehrung() && betrag.IstCentGenau() && betrag <= HoechstBetrag;
}

QString ReferenzMeldung(const QString& referenz) {
  const QString nachrichtenId = SepaZeichenWandeln(referenz);
  if (nachrichtenId.trimmed().isEmpty()) {
    return QStringLiteral(
        "Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt.\r"
        "Die Referenz wird bei den Absender-Daten gespeichert und für jede einzelne\r"
        "SEPA-Datei hochgezählt, so dass für die nächste SEPA-Datei eine eindeutige\r"
        "Angabe vorhanden ist. Bitte tragen Sie die Referenz-Angabe ein.");
  }
  if (nachrichtenId.size() > 35) {
    return QStringLiteral(
        "Die Referenz-Angabe darf höchstens 35 Zeichen lang sein.\r"
        "Die Referenz wird bei den Absender-Daten gespeichert und für jede einzelne\r"
        "SEPA-Datei hochgezählt. Bitte kürzen Sie die Referenz-Angabe.");
  }
  return {};
}

QString AusfuehrungsdatumMeldung(const std::optional<QDate>& ausfuehrungsdatum, const QDate& erstellungsdatum) {
  if (!ausfuehrungsdatum || !ausfuehrungsdatum->isValid()) return {};
  const QDate bis = erstellungsdatum.addDays(14);
  if (*ausfuehrungsdatum >= erstellungsdatum && *ausfuehrungsdatum <= bis) return {};
  const QString format = QStringLiteral("dd.MM.yyyy");
  return QStringLiteral("Das Ausführungsdatum muß zwischen dem Erstellungsdatum \r") + erstellungsdatum.toString(format) +
         QStringLiteral(" und dem ") + bis.toString(format) + QStringLiteral(" liegen!\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
}

QString GlaeubigerIdMeldung(const QString& glaeubigerId) {
  if (glaeubigerId.trimmed().isEmpty()) {
    return QStringLiteral(
        "Für Lastschriften wird zwingend eine von der deutschen Bundesbank\r"
        "vergebene Gläubiger-ID benötigt.\r"
        "\r"
        "Falls Ihnen diese vorliegt, muss diese bei den Absender-Angaben eingetragen\r"
        "werden. Erst dann können Lastschriften verarbeitet werden.");
  }
  if (!GlaeubigerIdGueltig(glaeubigerId)) {
    return QStringLiteral(
        "Die bei den Absender-Angaben eingetragene Gläubiger-ID ist ungültig.\r"
        "\r"
        "Bitte prüfen und korrigieren Sie die Gläubiger-ID bei den Absender-Angaben.\r"
        "Erst dann können Lastschriften verarbeitet werden.");
  }
  return {};
}

QString FehlerText(Fehlerart art) {
  switch (art) {
    case Fehlerart::Name: return QStringLiteral("Der Name fehlt.");
    case Fehlerart::Verwendungszweck: return QStringLiteral("Der Verwendungszweck fehlt.");
    case Fehlerart::IbanLaenge: return QStringLiteral("Die IBAN hat nicht die richtige Länge.");
    case Fehlerart::Iban: return QStringLiteral("Die IBAN ist ungültig.");
    case Fehlerart::Bic: return QStringLiteral("Die BIC ist ungültig.");
    case Fehlerart::BicFehlt: return QStringLiteral("Die BIC fehlt.");
    case Fehlerart::MandatReferenz: return QStringLiteral("Die Mandats-Referenz fehlt oder ist ungültig.");
    case Fehlerart::MandatDatum: return QStringLiteral("Das Mandats-Datum fehlt oder liegt in der Zukunft.");
    case Fehlerart::Betrag: return QStringLiteral("Der Betrag ist ungültig.");
    case Fehlerart::Textschluessel: return QStringLiteral("Der Textschlüssel ist ungültig.");
  }
  return {};
}

Pruefergebnis AuftragPruefen(const SepaAuftrag& auftrag, SepaArt art, const QDate& heute) {
  Pruefergebnis ergebnis;
  bool gueltig = false;
  bool geaendert = false;

  ergebnis.Name = UngueltigeZeichenEntfernen(auftrag.Name, 0, gueltig, geaendert).toString();
  if (ergebnis.Name.trimmed().isEmpty()) ergebnis.Fehler.append(Fehlerart::Name);

  ergebnis.Verwendungszweck1 = UngueltigeZeichenEntfernen(auftrag.Verwendungszweck1, 0, gueltig, geaendert).toString();
  if (ergebnis.Verwendungszweck1.isEmpty()) ergebnis.Fehler.append(Fehlerart::Verwendungszweck);

  // The file carries the IBAN upper-cased, so a lower-case one is the same account.
  QString meldung;
  if (!IbanLaengePruefen(auftrag.IBAN.toUpper(), meldung)) ergebnis.Fehler.append(Fehlerart::IbanLaenge);
  if (!IbanGueltig(auftrag.IBAN)) ergebnis.Fehler.append(Fehlerart::Iban);

  if (!auftrag.BIC.trimmed().isEmpty()) {
    if (!BicGueltig(auftrag.BIC)) ergebnis.Fehler.append(Fehlerart::Bic);
  } else {
    // Domestic payments may go without a BIC since 1 February 2014, cross-border ones since 2016.
    const bool inland = auftrag.IBAN.startsWith(QLatin1String("DE"));
    const QDate stichtag = inland ? QDate(2014, 2, 1) : QDate(2016, 2, 1);
    if (heute < stichtag) ergebnis.Fehler.append(Fehlerart::BicFehlt);
  }

  if (art != SepaArt::Ueberweisung) {
    if (!MandatReferenzGueltig(auftrag.MandatReferenz)) ergebnis.Fehler.append(Fehlerart::MandatReferenz);
    if (!auftrag.MandatDatum || !auftrag.MandatDatum->isValid() || *auftrag.MandatDatum > heute)
      ergebnis.Fehler.append(Fehlerart::MandatDatum);
  }

  if (!BetragGueltig(auftrag.Betrag)) ergebnis.Fehler.append(Fehlerart::Betrag);
  if (!TextschluesselGueltig(auftrag.Textschluessel)) ergebnis.Fehler.append(Fehlerart::Textschluessel);
  return ergebnis;
}

}  // namespace SepaPruefung
