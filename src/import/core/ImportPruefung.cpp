#include "import/core/ImportPruefung.h"

#include "payments/core/Textschluessel.h"
#include "payments/core/ZahlungPruefung.h"

ImportFeldgroessen ImportFeldgroessen::Lesen(Datenbank& db) {
  ImportFeldgroessen g;
  auto groesse = [&db](const char* tabelle, const char* feld, int& ziel) {
    const int n = db.FeldGroesse(QString::fromUtf8(tabelle), QString::fromUtf8(feld));
    if (n > 0) ziel = n;
  };
  groesse("Zahlungen", "Name", g.name);
  groesse("Zahlungen", "Bank", g.bank);
  groesse("Zahlungen", "IBAN", g.iban);
  groesse("Zahlungen", "BIC", g.bic);
  groesse("Zahlungen", "MandatReferenz", g.mandatReferenz);
  groesse("Zahlungen", "Textschlüssel", g.textschluessel);
  groesse("Zahlungen", "OPKontoNr", g.opKontoNr);
  groesse("Verwendungszweck", "Verwendungszweck", g.zeile);
  return g;
}

QList<ImportFeld> ImportZahlungPruefen(const ImportZahlung& z, const ImportFeldgroessen& groessen, const QDate& heute) {
  const bool lastschrift = z.art == QLatin1String("L");
  ZahlungEingabe e;
  e.name = z.name;
  e.bank = z.bank;
  e.iban = z.iban;
  e.bic = z.bic;
  e.mandatReferenz = z.mandatReferenz;
  e.mandatDatum = z.mandatDatum;
  e.verwendungszweck1 = z.zeilentexte.value(0);
  e.betrag = z.gesamt;
  const FeldGueltigkeit g = FelderPruefen(e, lastschrift, heute);

  bool zeilenGueltig = g.verwendungszweck;
  for (const QString& text : z.zeilentexte) zeilenGueltig = zeilenGueltig && NameGueltig(text);
  bool textschluesselGueltig = z.textschluessel.isEmpty();
  for (const TextschluesselEintrag& t : TextschluesselListe(z.art))
    textschluesselGueltig = textschluesselGueltig || t.schluessel == z.textschluessel;
  const bool sequenzGueltig =
      !lastschrift || (z.mandatSequenz >= 1 && z.mandatSequenz <= 4) || (z.mandatSequenz >= 11 && z.mandatSequenz <= 14);

  QList<ImportFeld> fehler;
  if (!g.name || z.name.size() > groessen.name) fehler << ImportFeld::Name;
  if (!g.iban || z.iban.size() > groessen.iban) fehler << ImportFeld::Iban;
  if (!g.bic || z.bic.size() > groessen.bic) fehler << ImportFeld::Bic;
  if (lastschrift && (!g.mandatReferenz || z.mandatReferenz.size() > groessen.mandatReferenz))
    fehler << ImportFeld::MandatReferenz;
  if (lastschrift && !g.mandatDatum) fehler << ImportFeld::MandatDatum;
  if (!sequenzGueltig) fehler << ImportFeld::MandatSequenz;
  if (!textschluesselGueltig || z.textschluessel.size() > groessen.textschluessel) fehler << ImportFeld::Textschluessel;
  if (!zeilenGueltig) fehler << ImportFeld::Verwendungszweck;
  if (!g.betrag) fehler << ImportFeld::Betrag;
  return fehler;
}
