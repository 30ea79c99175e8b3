#include "import/core/ImportEinstellungen.h"

#include "common/FilterBedingung.h"
#include "common/Textschluessel.h"
#include "payments/core/OPUebernahme.h"
#include "platform/settings/Registrierung.h"

namespace {

// A check box takes the number of its text: 1 is ticked, any other number is not; a text that is no
// number keeps the default.
bool Kasten(const QString& schluessel, bool vorgabe) {
  bool zahl = false;
  const int wert = GetSetting(ImportEinstellungen::Abschnitt(), schluessel).trimmed().toInt(&zahl);
  return zahl ? wert == 1 : vorgabe;
}

void KastenSchreiben(const QString& schluessel, bool wert) {
  SaveSetting(ImportEinstellungen::Abschnitt(), schluessel, wert ? QStringLiteral("1") : QStringLiteral("0"));
}

QString Text(const QString& schluessel) { return GetSetting(ImportEinstellungen::Abschnitt(), schluessel); }

void TextSchreiben(const QString& schluessel, const QString& wert) {
  SaveSetting(ImportEinstellungen::Abschnitt(), schluessel, wert);
}

}  // namespace

QString ImportEinstellungen::Abschnitt() { return QStringLiteral("Import"); }

QString ImportEinstellungen::VorlagenAbschnitt(int absenderNr, bool jeAbsender) {
  return jeAbsender ? Abschnitt() + QStringLiteral("AbsenderNr") + QString::number(absenderNr) : Abschnitt();
}

bool ImportEinstellungen::MarkierungLesen(const QString& text) {
  const QString t = text.trimmed();
  for (const char* wahr : {"True", "Wahr"})
    if (t.compare(QLatin1String(wahr), Qt::CaseInsensitive) == 0) return true;
  for (const char* falsch : {"False", "Falsch"})
    if (t.compare(QLatin1String(falsch), Qt::CaseInsensitive) == 0) return false;
  bool zahl = false;
  const double wert = t.toDouble(&zahl);
  return zahl ? wert != 0 : true;
}

QString ImportEinstellungen::TextschluesselLesen(const QString& text, const QString& art) {
  const QString code = text.trimmed().toUpper();
  return TextschluesselErlaubt(art, code) ? code : QString();
}

ImportEinstellungen ImportEinstellungen::Laden(int absenderNr, bool vorlageJeAbsender) {
  ImportEinstellungen e;
  e.textschluesselLieferanten = TextschluesselLesen(Text(QStringLiteral("Text1")), QStringLiteral("G"));
  e.textschluesselKunden = TextschluesselLesen(Text(QStringLiteral("Text2")), QStringLiteral("L"));
  e.ohneDiverse = Kasten(QStringLiteral("Diverse"), e.ohneDiverse);
  e.maximalSkonto = Kasten(QStringLiteral("Skonto"), e.maximalSkonto);
  e.pruefung = Kasten(QStringLiteral("Prüfung"), e.pruefung);
  e.lieferantenKundenNr = Kasten(QStringLiteral("LieferantenKundenNr"), e.lieferantenKundenNr);
  e.fehlEingaben = Kasten(QStringLiteral("FehlEingaben"), e.fehlEingaben);
  e.faelligEintragen = Kasten(QStringLiteral("FälligEintragen"), e.faelligEintragen);
  e.kleinBetrag = Kasten(QStringLiteral("KleinBetrag"), e.kleinBetrag);
  e.skontoNurPositiv = Kasten(QStringLiteral("SkontoNurPositiv"), e.skontoNurPositiv);
  e.fehlerNichtSpeichern = Kasten(QStringLiteral("BeiFehlerNichtSpeichern"), e.fehlerNichtSpeichern);
  e.nurMitBankKontoNr = Kasten(QStringLiteral("NurmitBankKontoNr"), e.nurMitBankKontoNr);
  e.ohneNegativSummen = Kasten(QStringLiteral("OhneNegativSummen"), e.ohneNegativSummen);
  e.ohneOPMehrAls5Zeilen = Kasten(QStringLiteral("OhneOPMehrAls5Zeilen"), e.ohneOPMehrAls5Zeilen);
  e.erstAufFolge = Kasten(QStringLiteral("ErsteinzugaufFolgeeinzugändern"), e.erstAufFolge);
  e.mandatDatumBelegen = Kasten(QStringLiteral("FehlendesMandatDatumbelegen"), e.mandatDatumBelegen);
  e.mandatReferenzBelegen = Kasten(QStringLiteral("FehlendeMandatReferenzbelegen"), e.mandatReferenzBelegen);
  e.fixdatum = FilterDatum(Text(QStringLiteral("FehlendesMandatDatumFixdatum")));
  e.fixtext = Text(QStringLiteral("FehlendeMandatReferenzFixtext"));
  e.nurMarkierte = MarkierungLesen(Text(QStringLiteral("Markierung")));
  e.vorlage = GetSetting(VorlagenAbschnitt(absenderNr, vorlageJeAbsender), QStringLiteral("AutoVerwendungszweck"),
                         ZeilenvorlagenVorgabe());
  e.datenfeldMandatDatum = Text(QStringLiteral("DatenfeldFehlMandatDatum"));
  e.datenfeldMandatReferenz = Text(QStringLiteral("DatenfeldFehlMandatReferenz"));
  return e;
}

void ImportEinstellungen::Speichern(int absenderNr, bool vorlageJeAbsender) const {
  TextSchreiben(QStringLiteral("Text1"), textschluesselLieferanten);
  TextSchreiben(QStringLiteral("Text2"), textschluesselKunden);
  KastenSchreiben(QStringLiteral("Diverse"), ohneDiverse);
  KastenSchreiben(QStringLiteral("Skonto"), maximalSkonto);
  KastenSchreiben(QStringLiteral("Prüfung"), pruefung);
  KastenSchreiben(QStringLiteral("LieferantenKundenNr"), lieferantenKundenNr);
  KastenSchreiben(QStringLiteral("FehlEingaben"), fehlEingaben);
  KastenSchreiben(QStringLiteral("FälligEintragen"), faelligEintragen);
  KastenSchreiben(QStringLiteral("KleinBetrag"), kleinBetrag);
  KastenSchreiben(QStringLiteral("SkontoNurPositiv"), skontoNurPositiv);
  KastenSchreiben(QStringLiteral("BeiFehlerNichtSpeichern"), fehlerNichtSpeichern);
  KastenSchreiben(QStringLiteral("NurmitBankKontoNr"), nurMitBankKontoNr);
  SaveSetting(VorlagenAbschnitt(absenderNr, vorlageJeAbsender), QStringLiteral("AutoVerwendungszweck"), vorlage);
  TextSchreiben(QStringLiteral("Markierung"), nurMarkierte ? QStringLiteral("-1") : QStringLiteral("0"));
  KastenSchreiben(QStringLiteral("OhneNegativSummen"), ohneNegativSummen);
  KastenSchreiben(QStringLiteral("OhneOPMehrAls5Zeilen"), ohneOPMehrAls5Zeilen);
  KastenSchreiben(QStringLiteral("ErsteinzugaufFolgeeinzugändern"), erstAufFolge);
  KastenSchreiben(QStringLiteral("FehlendesMandatDatumbelegen"), mandatDatumBelegen);
  KastenSchreiben(QStringLiteral("FehlendeMandatReferenzbelegen"), mandatReferenzBelegen);
  TextSchreiben(QStringLiteral("DatenfeldFehlMandatDatum"), datenfeldMandatDatum);
  TextSchreiben(QStringLiteral("DatenfeldFehlMandatReferenz"), datenfeldMandatReferenz);
  TextSchreiben(QStringLiteral("FehlendesMandatDatumFixdatum"),
                fixdatum ? fixdatum->toString(QStringLiteral("dd.MM.yyyy")) : QString());
  TextSchreiben(QStringLiteral("FehlendeMandatReferenzFixtext"), fixtext);
}
