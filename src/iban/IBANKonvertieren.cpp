#include "iban/IBANKonvertieren.h"

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanDatensaetze.h"
#include "iban/IbanErmitteln.h"

namespace {

void StatusZeigen(const IbanKonvertierRueckmeldung& r, const QString& text) {
  if (r.Status) r.Status(text);
}

QString FehlerText(const IbanDatensatzFehler& f) {
  return QStringLiteral("Nr: ") + QString::number(f.Nummer) + QLatin1Char('\r') + QStringLiteral("Beschreibung: ") +
         f.Beschreibung;
}

// Writes the decision of one row. IBAN and BIC only when an IBAN was formed, so nothing is lost.
IbanDatensatzFehler ErgebnisSchreiben(IbanDatensaetze& daten, const IbanErgebnis& e) {
  IbanDatensatzFehler f = daten.Schreiben(IbanFeld::IBANKonvertierHinweis, e.HinweisText);
  if (f.Ok() && e.IBAN) f = daten.Schreiben(IbanFeld::IBAN, *e.IBAN);
  if (f.Ok() && e.IBAN) f = daten.Schreiben(IbanFeld::BIC, e.BIC.value_or(QString()));
  if (f.Ok() && e.Bank) f = daten.Schreiben(IbanFeld::Bank, *e.Bank);
  if (f.Ok()) f = daten.Speichern();
  return f;
}

}  // namespace

IbanKonvertierErgebnis IBANKonvertieren(const QString& blzDatei, BankleitzahlTabelle& tabelle,
                                        IbanDatensaetze& daten, const IbanKonvertierRueckmeldung& rueckmeldung) {
  IbanKonvertierErgebnis ergebnis;
  StatusZeigen(rueckmeldung, QStringLiteral("BLZ-Bestand der Bundesbank wird eingelesen..."));
  if (auto fehler = tabelle.Laden(blzDatei)) {
    StatusZeigen(rueckmeldung, QStringLiteral("Bereit"));
    ergebnis.Meldung = *fehler + QLatin1Char('\r') + QStringLiteral("Es wurde keine Adresse verändert.");
    return ergebnis;
  }

  const QString abgewiesen = tabelle.AbweisungsMeldung();
  StatusZeigen(rueckmeldung, QStringLiteral("Daten werden konvertiert..."));
  const qint64 gesamt = daten.Anzahl();
  if (const IbanDatensatzFehler f = daten.TransaktionBeginnen(); !f.Ok()) {
    StatusZeigen(rueckmeldung, QStringLiteral("Bereit"));
    ergebnis.Meldung = QStringLiteral("Die IBAN-Konvertierung konnte nicht beginnen.") + QLatin1Char('\r') +
                       FehlerText(f);
    return ergebnis;
  }
  // Every failure inside the transaction takes back the whole run.
  const auto zuruecknehmen = [&](const QString& was, const IbanDatensatzFehler& f) {
    daten.TransaktionVerwerfen();
    StatusZeigen(rueckmeldung, QStringLiteral("Bereit"));
    IbanKonvertierErgebnis fehlschlag;
    fehlschlag.Meldung = was + QStringLiteral(" Die IBAN-Konvertierung wurde vollständig zurückgenommen.") +
                         QLatin1Char('\r') + FehlerText(f);
    return fehlschlag;
  };

  for (bool weiter = daten.Erster(); weiter; weiter = daten.Naechster()) {
    const IbanErgebnis e = IbanErmitteln(daten.Lesen(IbanFeld::BLZ), daten.Lesen(IbanFeld::KontoNr), tabelle);
    if (const IbanDatensatzFehler f = ErgebnisSchreiben(daten, e); !f.Ok())
      return zuruecknehmen(QStringLiteral("Die Adresse ") + daten.AdressNr() +
                               QStringLiteral(" konnte nicht gespeichert werden."),
                           f);
    ++ergebnis.Datensaetze;
    if (e.IBAN) ++ergebnis.MitIban;
    if (e.Hinweis != IbanHinweis::Keiner) ++ergebnis.JeHinweis[e.Hinweis];
    if (rueckmeldung.Fortschritt) rueckmeldung.Fortschritt(ergebnis.Datensaetze, gesamt);
  }
  if (const IbanDatensatzFehler f = daten.LeseFehler(); !f.Ok())
    return zuruecknehmen(QStringLiteral("Die Adressen konnten nicht vollständig gelesen werden."), f);
  if (const IbanDatensatzFehler f = daten.TransaktionBestaetigen(); !f.Ok())
    return zuruecknehmen(QStringLiteral("Die konvertierten Adressen konnten nicht gespeichert werden."), f);
  StatusZeigen(rueckmeldung, QStringLiteral("Bereit"));
  ergebnis.Ok = true;
  ergebnis.Hinweis = abgewiesen;
  return ergebnis;
}
