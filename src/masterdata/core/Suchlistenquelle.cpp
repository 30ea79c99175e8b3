#include "masterdata/core/Suchlistenquelle.h"

#include "common/Textfunktionen.h"

namespace {

QVariant LeerAlsNull(const QVariant& wert) {
  if (IstNull(wert)) return QVariant();
  if (wert.toString().trimmed().isEmpty()) return QVariant();
  return wert;
}

}  // namespace

Abfrage Suchlistenquelle::AbfrageFuer(Modus modus, const Bedingung& zahlungsfilter, const QString& sortierfeld) {
  Abfrage a;
  switch (modus) {
    case Modus::Banken:
      a = Abfrage::Tabelle(QStringLiteral("Bankverbindung"));
      break;
    case Modus::Adressen:
      a = Abfrage::Tabelle(QStringLiteral("Adressen"));
      break;
    case Modus::Zahlungen:
      a = Abfrage::Tabelle(QStringLiteral("Zahlungen"));
      a.bedingung = zahlungsfilter;
      break;
  }
  if (!sortierfeld.isEmpty() && SqlText::IstGueltigerBezeichner(sortierfeld))
    a.sortierung = SqlText::Bezeichner(sortierfeld) + SqlText(" COLLATE TAMO");
  return a;
}

QVariantList Suchlistenquelle::Rueckwerte(Modus modus, const Recordset& zeile, const AdressQuellenInfo& quelle) {
  QVariantList werte;
  switch (modus) {
    case Modus::Banken: {
      werte.resize(3);
      werte[1] = AllesErsetzen(zeile.Text(QStringLiteral("BIC")), QStringLiteral(" "), QString());
      werte[2] = zeile.Feld(QStringLiteral("Bank"));
      break;
    }
    case Modus::Adressen: {
      QStringList felder;
      TextZerlegen(quelle.Transportfelder, QStringLiteral(";"), felder);
      const bool mitNummer = !quelle.AdressNrFeld.trimmed().isEmpty();
      werte.resize(mitNummer ? 9 : 8);
      for (int i = 1; i <= 7; ++i) {
        const QString feld = i < felder.size() ? felder.at(i) : QString();
        if (feld.isEmpty() || zeile.SpaltenIndex(feld) < 0) continue;   // not defined: Null
        werte[i] = LeerAlsNull(zeile.Feld(feld));
      }
      if (mitNummer && zeile.SpaltenIndex(quelle.AdressNrFeld) >= 0)
        werte[8] = LeerAlsNull(zeile.Feld(quelle.AdressNrFeld));
      break;
    }
    case Modus::Zahlungen:
      werte.resize(2);
      werte[1] = zeile.Feld(QStringLiteral("ZahlungNr"));
      break;
  }
  return werte;
}

QString Suchlistenquelle::Spaltentitel(const QString& feld) {
  static const std::pair<const char*, const char*> titel[] = {
      {"OPKontoNr", "Adress-Nr."},
      {"KontoNr", "Konto-Nr."},
      {"MandatReferenz", "Mandat-Referenz"},
      {"MandatDatum", "Mandat-Datum"},
      {"MandatSequenz", "Mandat-Sequenz"},
      {"IBANKonvertierHinweis", "IBAN-Hinweis"},
      {"IBANKonvertierNr", "Hinweis-Nr."},
      {"BankName", "Bank"},
      {"BankBIC", "BIC"},
      {"BankIBAN", "IBAN"},
      {"BankKontoNr", "Konto-Nr."},
      {"SktoProzent1", "Skonto 1 %"},
      {"SktoProzent2", "Skonto 2 %"},
      {"LieferantenKundenNr", "Lieferanten-/Kunden-Nr."},
      {"ZahlungNr", "Zahlung-Nr."},
      {"AbsenderNr", "Absender-Nr."},
      {"Verwendungszweck1", "Verwendungszweck"},
      {"ZahlungGesamt", "Betrag"},
      {"EinzelReferenz", "Einzel-Referenz"},
      {"ErledigtDatum", "Erledigt am"},
      {"BuchImport", "Importiert"},
  };
  for (const auto& [f, t] : titel)
    if (feld.compare(QLatin1String(f), Qt::CaseInsensitive) == 0) return QString::fromUtf8(t);
  return feld;
}

QString Suchlistenquelle::SortierSchluessel(Modus modus) {
  return QStringLiteral("Sortierung") + QString::number(static_cast<int>(modus));
}
