#include "masterdata/Absenderpruefung.h"

#include <QFileInfo>

#include "common/Kontopruefung.h"
#include "common/Textfunktionen.h"

namespace {

QString OhneLeerzeichen(const QString& text) {
  QString t = text;
  t.remove(QLatin1Char(' '));
  return t.trimmed().toUpper();
}

Absenderpruefung::Fehler Fehlermeldung(Absenderpruefung::Feld feld, const QString& text) {
  return {feld, text + QLatin1Char('\r') + Absenderpruefung::Schluss()};
}

}  // namespace

const QString& Absenderpruefung::Schluss() {
  static const QString text = QStringLiteral("Bitte korrigieren/ergänzen Sie die Eingabe.");
  return text;
}

Absenderdaten Absenderpruefung::Normalisieren(const Absenderdaten& daten) {
  Absenderdaten d = daten;
  d.suchname = d.suchname.trimmed();
  d.name = d.name.trimmed();
  d.bank = d.bank.trimmed();
  d.bic = OhneLeerzeichen(d.bic);
  d.iban = OhneLeerzeichen(d.iban);
  d.glaeubigerId = OhneLeerzeichen(d.glaeubigerId);
  d.referenzNr = d.referenzNr.trimmed();
  d.bemerkung = d.bemerkung.trimmed();
  d.adressenVerbindung = d.adressenVerbindung.trimmed();
  return d;
}

std::optional<Absenderpruefung::Fehler> Absenderpruefung::Pruefen(const Absenderdaten& roh) {
  const Absenderdaten d = Normalisieren(roh);
  if (d.name.isEmpty()) return Fehlermeldung(Feld::Name, QStringLiteral("Der Name des Absenders fehlt noch."));

  if (d.bic.isEmpty()) return Fehlermeldung(Feld::Bic, QStringLiteral("Die BIC fehlt noch."));
  if (d.bic.size() != 8 && d.bic.size() != 11)
    return Fehlermeldung(Feld::Bic, QStringLiteral("Die BIC muss 8 oder 11 Zeichen lang sein."));
  if (!Kontopruefung::BicGueltig(d.bic))
    return Fehlermeldung(Feld::Bic, QStringLiteral("Die BIC ist ungültig."));

  QString meldung;
  if (!IbanLaengePruefen(d.iban, meldung)) return Fehlermeldung(Feld::Iban, meldung);
  if (!Kontopruefung::IbanFormatGueltig(d.iban))
    return Fehlermeldung(Feld::Iban, QStringLiteral("Die IBAN enthält ungültige Zeichen."));
  if (!Kontopruefung::IbanPruefzifferGueltig(d.iban))
    return Fehlermeldung(Feld::Iban, QStringLiteral("Die Prüfziffer der IBAN ist falsch."));

  if (!d.glaeubigerId.isEmpty() && !Kontopruefung::GlaeubigerIdGueltig(d.glaeubigerId))
    return Fehlermeldung(Feld::GlaeubigerId,
                         QStringLiteral("Die Gläubiger-ID ist ungültig (Aufbau oder Prüfziffer falsch)."));

  if (d.adressenFormat == 1 || d.adressenFormat == 2) {
    if (d.adressenVerbindung.isEmpty())
      return Fehlermeldung(Feld::AdressenVerbindung,
                           QStringLiteral("Für dieses Adressenformat fehlt noch die Datenbank-Verbindung."));
    if (!QFileInfo(d.adressenVerbindung).isFile())
      return Fehlermeldung(Feld::AdressenVerbindung,
                           QStringLiteral("Die Datenbank %1 wurde nicht gefunden.").arg(d.adressenVerbindung));
  }
  return std::nullopt;
}
