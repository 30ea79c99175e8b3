#include "payments/core/OPUebernahme.h"

#include "common/Textfunktionen.h"

namespace {

const QString kRgNr = QStringLiteral("{RgNr}");
const QString kRgDatum = QStringLiteral("{RgDatum}");
const QString kArt = QStringLiteral("{Art}");
const QString kRgBuListe = QStringLiteral("{RgBuListe}");
const QString kRgOPKtoNr = QStringLiteral("{RgOPKtoNr}");

QChar Vorgangsart(const OffenerPosten& posten) {
  return posten.art.isEmpty() ? QChar() : posten.art.back().toUpper();
}

QString Abschneiden(const QString& text, int breite) {
  if (breite > 0 && text.size() > breite) return text.left(breite);
  return text;
}

}  // namespace

QString ZahlungszeichenFiltern(const QString& text) {
  bool gueltig = false;
  bool geaendert = false;
  return UngueltigeZeichenEntfernen(QVariant(text), 0, gueltig, geaendert).toString();
}

QString ZeilenvorlagenVorgabe() {
  return QStringLiteral("RG {RgNr} vom {RgDatum}\\abzgl. GS {RgNr} vom {RgDatum}\\abzgl. Anz {RgNr} vom {RgDatum}");
}

Zeilenvorlagen ZeilenvorlagenAusText(const QString& text) {
  QStringList teile;
  TextZerlegen(text, QStringLiteral("\\"), teile);
  Zeilenvorlagen v;
  for (int i = 1; i <= 3 && i < teile.size(); ++i) v[i] = teile.at(i);
  return v;
}

QString OPDatumText(const std::optional<QDate>& datum, bool kurzFormat) {
  if (!datum || !datum->isValid()) return {};
  return datum->toString(kurzFormat ? QStringLiteral("dd.MM.yy") : QStringLiteral("dd.MM.yyyy"));
}

Waehrung OPBetragMitVorzeichen(const OffenerPosten& posten) {
  const QChar art = Vorgangsart(posten);
  const Waehrung rest = OderNull(posten.rest);
  return art == QLatin1Char('G') || art == QLatin1Char('A') ? -rest : rest;
}

OPZeilenwerte OffenenPostenUebernehmen(const OffenerPosten& posten, const Zeilenvorlagen& vorlagen,
                                       bool kurzFormat, int breite, const OPUebernahmeZusatz& zusatz) {
  OPZeilenwerte z;
  z.opVorgangNr = posten.vorgangsNr;
  z.vorgangsdatum = posten.vom;
  z.opVorgangsArt = posten.art;

  QString wort;
  QString vorlage;
  const QChar art = Vorgangsart(posten);
  if (art == QLatin1Char('R')) {
    wort = QStringLiteral("RG");
    vorlage = vorlagen[1];
  } else if (art == QLatin1Char('G')) {
    wort = QStringLiteral("GS");
    vorlage = vorlagen[2];
  } else if (art == QLatin1Char('A')) {
    wort = QStringLiteral("ANZ");
    vorlage = vorlagen[3];
  }
  const Waehrung betrag = OPBetragMitVorzeichen(posten);
  z.betraege.opBetrag = betrag;
  z.betraege.zahlungsBetrag = betrag;
  const bool skonto = zusatz.skontoSatz > Waehrung() && (betrag > Waehrung() || !zusatz.skontoNurPositiv);
  if (skonto) {
    const Waehrung abzug = betrag.ProzentAufCent(zusatz.skontoSatz);
    if (!abzug.IstNull()) z.betraege.skontoBetrag = abzug;
    z.betraege.zahlungsBetrag = betrag - abzug;
  }

  const QString datum = OPDatumText(posten.vom, kurzFormat);
  QString text;
  if (!vorlage.isEmpty()) {
    text = vorlage;
    text.replace(kRgNr, posten.vorgangsNr, Qt::CaseInsensitive);
    text.replace(kRgDatum, datum, Qt::CaseInsensitive);
    text.replace(kArt, wort, Qt::CaseInsensitive);
    text.replace(kRgBuListe, posten.buchungsliste, Qt::CaseInsensitive);
    text.replace(kRgOPKtoNr, posten.opKontoNr, Qt::CaseInsensitive);
  } else {
    text = wort + QLatin1Char(' ') + posten.vorgangsNr + QStringLiteral(" vom ") + datum;
    if (breite > 0 && text.size() > breite) {
      const QString tag = zusatz.kurzformTagMonat && posten.vom ? posten.vom->toString(QStringLiteral("dd.MM.")) : datum;
      text = wort + QLatin1Char(' ') + posten.vorgangsNr + QStringLiteral(" v:") + tag;
    }
  }
  const QString gefiltert = ZahlungszeichenFiltern(text);
  z.zeichenEntfernt = gefiltert.size() != text.size();
  z.verwendungszweck = Abschneiden(gefiltert, breite);
  return z;
}

std::optional<QString> TextAusVorgangsNr(const QString& vorgangsNr, const QString& zeilentext,
                                         const Zeilenvorlagen& vorlagen) {
  if (vorgangsNr.isEmpty() || !zeilentext.isEmpty() || vorlagen[1].isEmpty()) return std::nullopt;
  QString text = vorlagen[1];
  text.replace(kRgNr, vorgangsNr, Qt::CaseInsensitive);
  text.replace(kArt, QStringLiteral("RG"), Qt::CaseInsensitive);
  return text;
}

QString TextMitVorgangsdatum(const QString& zeilentext, const QString& datumText) {
  QString text = zeilentext;
  text.replace(kRgDatum, datumText, Qt::CaseInsensitive);
  return text;
}

QString ZeilentextBereinigen(const QString& text, int breite) {
  QString t = text;
  t.remove(kRgNr, Qt::CaseInsensitive);
  t.remove(kRgDatum, Qt::CaseInsensitive);
  t.remove(kArt, Qt::CaseInsensitive);
  return ZahlungszeichenFiltern(Abschneiden(t, breite));
}
