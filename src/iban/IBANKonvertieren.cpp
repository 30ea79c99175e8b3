#include "iban/IBANKonvertieren.h"

#include <QStringList>

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
    ergebnis.Meldung = *fehler + QLatin1Char('\r') + QStringLiteral("Die IBAN-Konvertierung hat keine Adresse verändert.");
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
    // Kept in IBAN form already (typed so, or converted earlier and the old code removed).
    if (daten.Lesen(IbanFeld::BLZ).trimmed().isEmpty() && !daten.Lesen(IbanFeld::IBAN).trimmed().isEmpty()) {
      ++ergebnis.BereitsUmgestellt;
      // A hint of an earlier run (the old "BLZ ist nicht 8-stellig") no longer applies.
      if (!daten.Lesen(IbanFeld::IBANKonvertierHinweis).isEmpty()) {
        IbanDatensatzFehler f = daten.Schreiben(IbanFeld::IBANKonvertierHinweis, QString());
        if (f.Ok()) f = daten.Speichern();
        if (!f.Ok())
          return zuruecknehmen(QStringLiteral("Die Adresse ") + daten.AdressNr() +
                                   QStringLiteral(" konnte nicht gespeichert werden."),
                               f);
      }
      if (rueckmeldung.Fortschritt) rueckmeldung.Fortschritt(ergebnis.Datensaetze + ergebnis.BereitsUmgestellt, gesamt);
      continue;
    }
    IbanErgebnis e = IbanErmitteln(daten.Lesen(IbanFeld::BLZ), daten.Lesen(IbanFeld::KontoNr), tabelle);
    // An IBAN typed for another account (a new bank, with the old bank code still beside it) is replaced by
    // the account data's, as the run always did; but never unseen: the hint keeps the old one.
    if (e.IBAN) {
      QString bisher = daten.Lesen(IbanFeld::IBAN);
      bisher.remove(QLatin1Char(' '));
      if (!bisher.isEmpty() && bisher.compare(*e.IBAN, Qt::CaseInsensitive) != 0) {
        e.Hinweis = IbanHinweis::AndereIbanErsetzt;
        e.HinweisText = IbanHinweisText(e.Hinweis, QString()) + bisher;
      }
    }
    if (const IbanDatensatzFehler f = ErgebnisSchreiben(daten, e); !f.Ok())
      return zuruecknehmen(QStringLiteral("Die Adresse ") + daten.AdressNr() +
                               QStringLiteral(" konnte nicht gespeichert werden."),
                           f);
    ++ergebnis.Datensaetze;
    if (e.IBAN) ++ergebnis.MitIban;
    if (e.Hinweis != IbanHinweis::Keiner) ++ergebnis.JeHinweis[e.Hinweis];
    if (rueckmeldung.Fortschritt) rueckmeldung.Fortschritt(ergebnis.Datensaetze + ergebnis.BereitsUmgestellt, gesamt);
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

QString IbanKonvertierErgebnis::Zusammenfassung() const {
  const auto adressen = [](qint64 n) {
    return n == 1 ? QStringLiteral("1 Adresse") : QStringLiteral("%1 Adressen").arg(n);
  };
  QStringList z;
  z << QStringLiteral("Die IBAN-Konvertierung ist abgeschlossen.") << QString();
  z << QStringLiteral("Geprüft: %1").arg(adressen(Datensaetze + BereitsUmgestellt));
  z << QStringLiteral("IBAN und BIC ermittelt: %1").arg(adressen(MitIban));
  z << QStringLiteral("Bereits mit IBAN, ohne Bankleitzahl (unverändert): %1").arg(adressen(BereitsUmgestellt));
  const qint64 ohneIban = Datensaetze - MitIban;
  z << QStringLiteral("Ohne neue IBAN (IBAN und BIC bleiben, wie sie waren): %1").arg(adressen(ohneIban));
  if (!JeHinweis.empty()) {
    z << QString() << QStringLiteral("Hinweise (Spalte „IBAN-Hinweis“):");
    for (const auto& [hinweis, anzahl] : JeHinweis) {
      QString text = IbanHinweisText(hinweis, QString());
      if (text.endsWith(QStringLiteral(": "))) text.chop(2);
      text = text.mid(text.indexOf(QLatin1Char('-')) + 1);
      z << QStringLiteral("Hinweis %1 (%2): %3").arg(static_cast<int>(hinweis)).arg(text, adressen(anzahl));
    }
  }
  return z.join(QLatin1Char('\r'));
}
