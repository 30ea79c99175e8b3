#include "import/core/ImportPruefung.h"

#include <algorithm>

ImportFeldgroessen ImportFeldgroessen::Lesen(Datenbank& db) {
  ImportFeldgroessen g;
  auto groesse = [&db](const char* tabelle, const char* feld, int& ziel) {
    const int n = db.FeldGroesse(QString::fromUtf8(tabelle), QString::fromUtf8(feld));
    if (n > 0) ziel = n;
  };
  groesse("Zahlungen", "Name", g.name);
  groesse("Zahlungen", "Bank", g.bank);
  groesse("Zahlungen", "OPKontoNr", g.opKontoNr);
  groesse("Zahlungen", "IBAN", g.iban);
  groesse("Zahlungen", "BIC", g.bic);
  groesse("Zahlungen", "MandatReferenz", g.mandatReferenz);
  groesse("Zahlungen", "Textschlüssel", g.textschluessel);
  groesse("Zahlungen", "Verwendungszweck1", g.verwendungszweck1);
  groesse("Verwendungszweck", "Verwendungszweck", g.zeile);
  groesse("Verwendungszweck", "OPVorgangNr", g.opVorgangNr);
  groesse("Verwendungszweck", "OPVorgangsArt", g.opVorgangsArt);
  return g;
}

QList<Auftragsfeld> ImportZahlungPruefen(const Zahlungsauftrag& z, const ImportFeldgroessen& /*groessen*/,
                                         const QDate& heute) {
  QList<Auftragsfeld> felder;
  for (const Befund& b : Auftragspruefung::Pruefen(z, heute)) felder << b.Feld;
  // The first line is Verwendungszweck1, which the rules judge.
  for (qsizetype i = 1; i < z.Zeilen.size(); ++i)
    if (z.Zeilen.at(i).Text.trimmed().isEmpty()) felder << Auftragsfeld::Zeilen;
  std::sort(felder.begin(), felder.end());
  felder.erase(std::unique(felder.begin(), felder.end()), felder.end());
  return felder;
}
