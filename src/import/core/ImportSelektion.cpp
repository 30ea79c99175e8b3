#include "import/core/ImportSelektion.h"

#include <QHash>
#include <QSet>

#include "common/FilterBedingung.h"
#include "import/core/ImportVorgang.h"
#include "payments/core/OPUebernahme.h"
#include "platform/db/Wertumwandlung.h"

namespace {

// An account bound: a bound of digits compares numerically (an account that is not a number lies
// outside it), any other text compares as text without regard to case.
Bedingung KontoGrenze(const SqlText& feld, const QString& grenze, bool von) {
  const QString g = grenze.trimmed();
  bool zahl = !g.isEmpty();
  for (QChar c : g) zahl = zahl && c >= QLatin1Char('0') && c <= QLatin1Char('9');
  bool passt = false;
  const qlonglong wert = zahl ? g.toLongLong(&passt) : 0;
  if (zahl && passt) {
    return Bedingung(feld + SqlText(" GLOB '[0-9]*' AND ") + feld + SqlText(" NOT GLOB '*[^0-9]*' AND CAST(") + feld +
                         (von ? SqlText(" AS INTEGER) >= ?") : SqlText(" AS INTEGER) <= ?")),
                     {wert});
  }
  return Bedingung(feld + (von ? SqlText(" >= ? COLLATE TAMO") : SqlText(" <= ? COLLATE TAMO")), {grenze});
}

}  // namespace

ImportAuswahl ImportAuswahl::AusEinstellungen(const ImportEinstellungen& e, bool lieferanten, bool mitMinus) {
  ImportAuswahl a;
  a.lieferanten = lieferanten;
  a.mitMinus = mitMinus;
  a.kleinBetrag = e.kleinBetrag;
  a.ohneDiverse = e.ohneDiverse;
  a.nurMitKontoNr = e.nurMitBankKontoNr;
  a.ohneNegativSummen = e.ohneNegativSummen;
  a.ohneMehrAls5 = e.ohneOPMehrAls5Zeilen;
  return a;
}

Abfrage ImportSelektion::AbfrageErstellen(const AdressQuellenInfo& quelle, const ImportAuswahl& a) {
  QList<Bedingung> teile;
  // The rest always names the open-item table's own column.
  teile << Bedingung(a.mitMinus ? SqlText("OPVorgang.Rest <> 0") : SqlText("OPVorgang.Rest > 0"));
  if (!quelle.OPArtFeld.isEmpty())
    teile << Bedingung(SqlText::Bezeichner(quelle.OPArtFeld) + SqlText(" = ? COLLATE TAMO"),
                       {a.lieferanten ? QStringLiteral("L") : QStringLiteral("K")});
  if (a.kleinBetrag) teile << Bedingung(SqlText("abs(OPVorgang.Rest) >= ?"), {QVariant::fromValue(Waehrung::AusEuro(1))});
  if (a.ohneDiverse) teile << Bedingung(SqlText("NOT (coalesce(Adressen.Suchname, '') LIKE '%diverse%')"));
  const SqlText konto = SqlText::Bezeichner(quelle.OPSchluesselFeld);
  if (!a.vonKonto.trimmed().isEmpty()) teile << KontoGrenze(konto, a.vonKonto, true);
  if (!a.bisKonto.trimmed().isEmpty()) teile << KontoGrenze(konto, a.bisKonto, false);
  const SqlText faellig = SqlText::Bezeichner(QStringLiteral("OPVorgang.") + quelle.ImportFaelligFeld);
  if (a.vonFaellig) teile << Bedingung(faellig + SqlText(" >= ?"), {a.vonFaellig->toString(Qt::ISODate)});
  // Before the day after: the whole last day, also with a time of day.
  if (a.bisFaellig) teile << Bedingung(faellig + SqlText(" < ?"), {a.bisFaellig->addDays(1).toString(Qt::ISODate)});
  if (a.nurMitKontoNr)
    teile << Bedingung(SqlText("trim(coalesce(") + SqlText::Bezeichner(quelle.KontoNrFeld) + SqlText(", '') || coalesce(") +
                       SqlText::Bezeichner(quelle.IBANFeld) + SqlText(", '')) <> ''"));
  teile << a.filter;

  Abfrage abfrage;
  abfrage.spalten = quelle.OPAbfrageSpalten;
  abfrage.quelle = quelle.OPAbfrageQuelle;
  abfrage.bedingung = Bedingung::AlleUnd(teile);
  abfrage.sortierung = quelle.OPSortierung;
  abfrage.ausdrucksTypen = quelle.OPAusdrucksTypen;
  return abfrage;
}

ImportSelektionsErgebnis ImportSelektion::Selektieren(Datenbank& db, const AdressQuellenInfo& quelle,
                                                      const ImportAuswahl& auswahl) {
  ImportSelektionsErgebnis e;
  const Abfrage abfrage = AbfrageErstellen(quelle, auswahl);
  e.abfrage = (SqlText("SELECT ") + abfrage.spalten + SqlText(" FROM ") + abfrage.quelle + abfrage.bedingung.AlsWhere() +
               SqlText(" ORDER BY ") + abfrage.sortierung)
                  .Text();
  if (!quelle.OPVerknuepft) {
    e.fehler = {DbFehlerNr::UnbekanntesFeld, QStringLiteral("Für den Absender sind keine offenen Posten verknüpft.")};
    return e;
  }
  e.daten = Recordset::Oeffnen(db, abfrage, RecordsetTyp::Snapshot, e.fehler);
  if (!e.daten) return e;
  if (!auswahl.ohneNegativSummen && !auswahl.ohneMehrAls5) return e;
  e.ausgeschlossen = Ausschluss(*e.daten, auswahl.ohneNegativSummen, auswahl.ohneMehrAls5);
  if (e.ausgeschlossen.isEmpty()) return e;
  const QSet<QString> raus(e.ausgeschlossen.cbegin(), e.ausgeschlossen.cend());
  const int spalte = e.daten->SpaltenIndex(QStringLiteral("OPKontoNr"));
  e.fehler = e.daten->ZeilenFiltern(
      [&](const Recordset& rs) { return !raus.contains(TextAusWert(rs.Feld(spalte))); });
  if (e.fehler) e.daten.reset();
  return e;
}

QStringList ImportSelektion::Ausschluss(const Recordset& daten, bool ohneNegativSummen, bool ohneMehrAls5) {
  struct Konto {
    int anzahl = 0;
    Waehrung summe;
  };
  QStringList reihe;
  QHash<QString, Konto> konten;
  for (int zeile = 0; zeile < daten.RecordCount(); ++zeile) {
    const OffenerPosten p = OffenerPostenAusZeile(daten, zeile);
    auto it = konten.find(p.opKontoNr);
    if (it == konten.end()) {
      it = konten.insert(p.opKontoNr, {});
      reihe << p.opKontoNr;
    }
    ++it->anzahl;
    it->summe += OPBetragMitVorzeichen(p);
  }
  QStringList aus;
  for (const QString& konto : reihe) {
    const Konto& k = konten[konto];
    if ((ohneMehrAls5 && k.anzahl > 5) || (ohneNegativSummen && k.summe < Waehrung())) aus << konto;
  }
  return aus;
}

Bedingung ImportSelektion::FilterBedingung(const AdressQuellenInfo& quelle, const QList<QPair<QString, QString>>& filter) {
  QList<FilterSpalte> spalten;
  for (const auto& [spalte, text] : filter) {
    if (text.isEmpty()) continue;
    for (const OPAbfrageFeld& f : quelle.OPAbfrageFelder) {
      if (f.spalte.compare(spalte, Qt::CaseInsensitive) != 0) continue;
      FilterSpalte s;
      s.datenfeld = f.feld;
      s.typ = f.typ;
      s.filterText = text;
      spalten << s;
    }
  }
  return FilterBedingungErstellen(spalten, false);
}

DbFehler ImportSelektion::Datenfelder(Datenbank& db, QStringList& datumsfelder, QStringList& alleFelder) {
  datumsfelder.clear();
  alleFelder.clear();
  DbFehler f;
  const std::optional<TabellenDefinition> adressen = db.Tabelle(QStringLiteral("Adressen"), &f);
  if (!adressen) return f.Ok() ? DbFehler{DbFehlerNr::UnbekanntesFeld, QStringLiteral("Tabelle Adressen nicht gefunden")} : f;
  for (const FeldDefinition& feld : adressen->felder) {
    if (feld.typ == FeldTyp::Datum) datumsfelder << feld.name;
    alleFelder << feld.name;
  }
  return {};
}
