#include "payments/core/OPUebernahme.h"

#include "common/Textfunktionen.h"

#include <functional>

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

// A text with a date in it, in the form the option asks for; when the long form makes the line
// wider than the column the short one is taken, so that the cut never leaves half a date
// ("vom 15.01.20" for the 15th of January 2026).
QString MitDatum(const std::function<QString(const QString& datum)>& text, const std::optional<QDate>& datum,
                 bool kurzFormat, int breite) {
  const QString t = text(OPDatumText(datum, kurzFormat));
  if (kurzFormat || breite <= 0 || ZahlungszeichenFiltern(t).size() <= breite) return t;
  return text(OPDatumText(datum, true));
}

// The item number ends within the column in the text as the payment character set writes it (a
// date placeholder counts with the long date): the payee could not match a cut number.
bool NummerPasst(const QString& text, const QString& vorgangsNr, int breite) {
  const QString nr = ZahlungszeichenFiltern(vorgangsNr);
  if (breite <= 0 || nr.isEmpty()) return true;
  QString t = text;
  t.replace(kRgDatum, QStringLiteral("00.00.0000"), Qt::CaseInsensitive);
  const qsizetype stelle = ZahlungszeichenFiltern(t).indexOf(nr);
  return stelle < 0 || stelle + nr.size() <= breite;
}

}  // namespace

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

  // "<word> <nr> vom <date>", or " v:" when that is wider than the column.
  auto schlicht = [&]() {
    QString t = wort + QLatin1Char(' ') + posten.vorgangsNr + QStringLiteral(" vom ") + OPDatumText(posten.vom, kurzFormat);
    if (breite <= 0 || t.size() <= breite) return t;
    if (zusatz.kurzformTagMonat && posten.vom)
      return wort + QLatin1Char(' ') + posten.vorgangsNr + QStringLiteral(" v:") + posten.vom->toString(QStringLiteral("dd.MM."));
    return MitDatum(
        [&](const QString& datum) { return wort + QLatin1Char(' ') + posten.vorgangsNr + QStringLiteral(" v:") + datum; },
        posten.vom, kurzFormat, breite);
  };
  QString text;
  if (!vorlage.isEmpty()) {
    text = MitDatum(
        [&](const QString& datum) {
          QString t = vorlage;
          t.replace(kRgNr, posten.vorgangsNr, Qt::CaseInsensitive);
          t.replace(kRgDatum, datum, Qt::CaseInsensitive);
          t.replace(kArt, wort, Qt::CaseInsensitive);
          t.replace(kRgBuListe, posten.buchungsliste, Qt::CaseInsensitive);
          t.replace(kRgOPKtoNr, posten.opKontoNr, Qt::CaseInsensitive);
          return t;
        },
        posten.vom, kurzFormat, breite);
    // A template too wide for the column gives way to the plain form rather than cut the item number.
    if (!NummerPasst(text, posten.vorgangsNr, breite)) text = schlicht();
  } else {
    text = schlicht();
  }
  const QString gefiltert = ZahlungszeichenFiltern(text);
  z.zeichenEntfernt = gefiltert.size() != text.size();
  z.verwendungszweck = Abschneiden(gefiltert, breite);
  return z;
}

std::optional<QString> TextAusVorgangsNr(const QString& vorgangsNr, const QString& zeilentext,
                                         const Zeilenvorlagen& vorlagen, int breite) {
  if (vorgangsNr.isEmpty() || !zeilentext.isEmpty() || vorlagen[1].isEmpty()) return std::nullopt;
  QString text = vorlagen[1];
  text.replace(kRgNr, vorgangsNr, Qt::CaseInsensitive);
  text.replace(kArt, QStringLiteral("RG"), Qt::CaseInsensitive);
  if (!NummerPasst(text, vorgangsNr, breite)) text = QStringLiteral("RG ") + vorgangsNr + QStringLiteral(" vom ") + kRgDatum;
  return text;
}

QString TextMitVorgangsdatum(const QString& zeilentext, const QDate& datum, bool kurzFormat, int breite) {
  return MitDatum(
      [&](const QString& datumText) {
        QString text = zeilentext;
        text.replace(kRgDatum, datumText, Qt::CaseInsensitive);
        return text;
      },
      datum, kurzFormat, breite);
}

QString ZeilentextBereinigen(const QString& text, int breite) {
  QString t = text;
  t.remove(kRgNr, Qt::CaseInsensitive);
  t.remove(kRgDatum, Qt::CaseInsensitive);
  t.remove(kArt, Qt::CaseInsensitive);
  // Cut after the transliteration, which may lengthen the text (æ as ae).
  return Abschneiden(ZahlungszeichenFiltern(t), breite);
}
