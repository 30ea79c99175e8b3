#include "common/AdressQuellenInfo.h"

namespace {

// The import lists each item once: an account whose key stands in several address rows (or in
// spellings that differ only in case) joins one of them; the run refuses such an account by name.
SqlText EineAdresseJeKonto() { return SqlText("(SELECT * FROM Adressen GROUP BY OPKontoNr COLLATE TAMO) AS Adressen"); }

}  // namespace

AdressQuellenInfo AdressQuellenInfo::FuerFormat(int format) {
  AdressQuellenInfo q;
  q.Format = format;
  q.AdressNrFeld = QStringLiteral("OPKontoNr");
  if (format != 1 && format != 2) {
    q.Transportfelder = QStringLiteral("Name;Bank;BIC;IBAN;MandatReferenz;MandatDatum;MandatSequenz");
    return q;
  }

  // Both sibling address tables carry the same field names.
  q.Extern = true;
  q.OPVerknuepft = true;
  q.Transportfelder = QStringLiteral("Name;BankName;BankBIC;BankIBAN;MandatReferenz;MandatDatum;MandatSequenz");
  q.KontoNrFeld = QStringLiteral("Adressen.BankKontoNr");
  q.IBANFeld = QStringLiteral("Adressen.BankIBAN");
  q.OPKontoFeld = QStringLiteral("OPKontoNr");
  q.SkontoFeld = QStringLiteral("SktoProzent");

  if (format == 1) {  // Tamo-Livra: OPVorgang
    q.OPFeldliste = SqlText(
        "VorgangsNr, (OPKontoart || Vorgangsart) AS Art, Vorgangsdatum AS Vom, FaelligDatum AS \"Fällig\", "
        "Betrag, Rest");
    q.OPNummerFeld = QStringLiteral("VorgangsNr");
    q.OPFaelligFeld = QStringLiteral("FaelligDatum");
    q.OPArtFeld = QStringLiteral("OPVorgang.OPKontoart");
    q.OPSchluesselFeld = QStringLiteral("OPVorgang.OPKontoNr");
    q.OPAbfrageSpalten = SqlText(
        "OPVorgang.OPKontoNr AS OPKontoNr, Adressen.Suchname AS Suchname, OPVorgang.VorgangsNr AS VorgangsNr, "
        "(OPVorgang.OPKontoart || OPVorgang.Vorgangsart) AS Art, OPVorgang.Vorgangsdatum AS Vom, "
        "OPVorgang.FaelligDatum AS \"Fällig\", OPVorgang.Betrag AS Betrag, OPVorgang.Rest AS Rest, "
        "OPVorgang.Buchungsliste AS Buchungsliste");
    q.OPAbfrageQuelle = SqlText("OPVorgang INNER JOIN ") + EineAdresseJeKonto() +
                        SqlText(" ON OPVorgang.OPKontoNr = Adressen.OPKontoNr COLLATE TAMO");
    q.OPSortierung = SqlText("OPVorgang.OPKontoNr COLLATE TAMO ASC, FaelligDatum DESC");
    q.ImportFaelligFeld = QStringLiteral("FaelligDatum");
    q.OPAbfrageFelder = {{QStringLiteral("OPKontoNr"), QStringLiteral("OPVorgang.OPKontoNr"), FeldTyp::Text},
                         {QStringLiteral("Suchname"), QStringLiteral("Adressen.Suchname"), FeldTyp::Text},
                         {QStringLiteral("VorgangsNr"), QStringLiteral("OPVorgang.VorgangsNr"), FeldTyp::Text},
                         {QStringLiteral("Vom"), QStringLiteral("OPVorgang.Vorgangsdatum"), FeldTyp::Datum},
                         {QStringLiteral("Fällig"), QStringLiteral("OPVorgang.FaelligDatum"), FeldTyp::Datum},
                         {QStringLiteral("Betrag"), QStringLiteral("OPVorgang.Betrag"), FeldTyp::Waehrung},
                         {QStringLiteral("Rest"), QStringLiteral("OPVorgang.Rest"), FeldTyp::Waehrung},
                         {QStringLiteral("Buchungsliste"), QStringLiteral("OPVorgang.Buchungsliste"), FeldTyp::Text}};
    q.OPAusdrucksTypen = {{QStringLiteral("Art"), FeldTyp::Text}};
  } else {  // Tamo-Ordel: Rechnungsbuch; credit notes carry the negative amount
    q.OPFeldliste = SqlText("IdentNr AS VorgangsNr, ('K' || IIF(Gutschrift, 'G', 'R')) AS Art, ") +
                    SqlText("Vorgangsdatum AS Vom, \"FälligDatum\" AS \"Fällig\", ") +
                    SqlText("IIF(Gutschrift, -GesamtBrutto, GesamtBrutto) AS Betrag, IIF(Gutschrift, -Rest, Rest) AS Rest2");
    q.OPFaelligFeld = QStringLiteral("FälligDatum");
    q.OPSchluesselFeld = QStringLiteral("KundenNr");
    q.OPAbfrageSpalten = SqlText(
        "OPVorgang.KundenNr AS OPKontoNr, Adressen.Suchname AS Suchname, OPVorgang.IdentNr AS VorgangsNr, "
        "('K' || IIF(OPVorgang.Gutschrift, 'G', 'R')) AS Art, OPVorgang.Vorgangsdatum AS Vom, "
        "OPVorgang.\"FälligDatum\" AS \"Fällig\", "
        "IIF(OPVorgang.Gutschrift AND typeof(OPVorgang.GesamtBrutto) IN ('integer', 'real'), -OPVorgang.GesamtBrutto, "
        "OPVorgang.GesamtBrutto) AS Betrag, "
        "IIF(OPVorgang.Gutschrift AND typeof(OPVorgang.Rest) IN ('integer', 'real'), -OPVorgang.Rest, OPVorgang.Rest) "
        "AS Rest2");
    q.OPAbfrageQuelle = SqlText("OPVorgang INNER JOIN ") + EineAdresseJeKonto() +
                        SqlText(" ON OPVorgang.KundenNr = Adressen.OPKontoNr COLLATE TAMO");
    q.OPSortierung = SqlText("KundenNr COLLATE TAMO ASC, \"FälligDatum\" DESC");
    q.ImportFaelligFeld = QStringLiteral("FälligDatum");
    // Betrag and Rest2 carry the sign of the item kind: computed. A value that is no number passes as
    // stored (negating it would coerce a text into a number), for the import to refuse.
    q.OPAbfrageFelder = {{QStringLiteral("OPKontoNr"), QStringLiteral("OPVorgang.KundenNr"), FeldTyp::Text},
                         {QStringLiteral("Suchname"), QStringLiteral("Adressen.Suchname"), FeldTyp::Text},
                         {QStringLiteral("VorgangsNr"), QStringLiteral("OPVorgang.IdentNr"), FeldTyp::Text},
                         {QStringLiteral("Vom"), QStringLiteral("OPVorgang.Vorgangsdatum"), FeldTyp::Datum},
                         {QStringLiteral("Fällig"), QStringLiteral("OPVorgang.FälligDatum"), FeldTyp::Datum}};
    q.OPAusdrucksTypen = {{QStringLiteral("Art"), FeldTyp::Text},
                          {QStringLiteral("Betrag"), FeldTyp::Waehrung},
                          {QStringLiteral("Rest2"), FeldTyp::Waehrung}};
  }
  q.OPAbfrage = SqlText("SELECT ") + q.OPAbfrageSpalten + SqlText(" FROM ") + q.OPAbfrageQuelle;
  return q;
}
