#include "masterdata/core/Absenderpruefung.h"

#include <QDir>
#include <QFileInfo>

#include "common/Datenbankstart.h"
#include "zahlungsverkehr/Auftragspruefung.h"
#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/GlaeubigerId.h"
#include "zahlungsverkehr/Iban.h"

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
  d.bic = Bic(d.bic).Text();
  d.iban = Iban(d.iban).Text();
  d.glaeubigerId = GlaeubigerId(d.glaeubigerId).Text();
  d.referenzNr = d.referenzNr.trimmed();
  d.bemerkung = d.bemerkung.trimmed();
  d.adressenVerbindung = d.adressenVerbindung.trimmed();
  return d;
}

std::optional<Absenderpruefung::Fehler> Absenderpruefung::Pruefen(const Absenderdaten& roh) {
  const Absenderdaten d = Normalisieren(roh);
  if (d.name.isEmpty()) return Fehlermeldung(Feld::Name, QStringLiteral("Der Name des Absenders fehlt noch."));
  // It goes into every file: what the writer would have to cut or could not transliterate is refused here.
  if (const QString meldung = Auftragspruefung::AbsenderNameMeldung(d.name); !meldung.isEmpty())
    return Fehlermeldung(Feld::Name, meldung);

  // The sender's own account always carries its BIC (it goes into every file).
  if (const Bic::Fehler f = Bic(d.bic).Pruefen(); f != Bic::Fehler::Keiner) return Fehlermeldung(Feld::Bic, Bic::Meldung(f));
  if (const Iban::Fehler f = Iban(d.iban).Pruefen(); f != Iban::Fehler::Keiner)
    return Fehlermeldung(Feld::Iban, Iban::Meldung(f));

  // The creditor identifier is needed for direct debits only; the SEPA window asks for it then.
  const GlaeubigerId glaeubigerId(d.glaeubigerId);
  if (!glaeubigerId.IstLeer()) {
    if (const GlaeubigerId::Fehler f = glaeubigerId.Pruefen(); f != GlaeubigerId::Fehler::Keiner)
      return Fehlermeldung(Feld::GlaeubigerId, GlaeubigerId::Meldung(f));
  }

  if (d.adressenFormat == 1 || d.adressenFormat == 2) {
    if (d.adressenVerbindung.isEmpty())
      return Fehlermeldung(Feld::AdressenVerbindung,
                           QStringLiteral("Für dieses Adressenformat fehlt noch die Datenbank-Verbindung."));
    // Where the start links it, whatever the working folder.
    const QString datei = VerbindungsPfad(d.adressenVerbindung);
    if (!QFileInfo(datei).isFile())
      return Fehlermeldung(Feld::AdressenVerbindung,
                           QStringLiteral("Die Datenbank %1 wurde nicht gefunden.").arg(QDir::toNativeSeparators(datei)));
  }
  return std::nullopt;
}
