#include "masterdata/Absenderpruefung.h"

#include <QFileInfo>

#include "common/Kontopruefung.h"
#include "common/Textfunktionen.h"

namespace {

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
  d.bic = Kontopruefung::Kompakt(d.bic);
  d.iban = Kontopruefung::Kompakt(d.iban);
  d.glaeubigerId = Kontopruefung::Kompakt(d.glaeubigerId);
  d.referenzNr = d.referenzNr.trimmed();
  d.bemerkung = d.bemerkung.trimmed();
  d.adressenVerbindung = d.adressenVerbindung.trimmed();
  return d;
}

std::optional<Absenderpruefung::Fehler> Absenderpruefung::Pruefen(const Absenderdaten& roh) {
  const Absenderdaten d = Normalisieren(roh);
  if (d.name.isEmpty()) return Fehlermeldung(Feld::Name, QStringLiteral("Der Name des Absenders fehlt noch."));

  if (d.bic.isEmpty()) return Fehlermeldung(Feld::Bic, QStringLiteral("Die BIC fehlt noch."));
  if (const QString m = Kontopruefung::BicMeldung(d.bic); !m.isEmpty()) return Fehlermeldung(Feld::Bic, m);
  if (const QString m = Kontopruefung::IbanMeldung(d.iban); !m.isEmpty()) return Fehlermeldung(Feld::Iban, m);

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
