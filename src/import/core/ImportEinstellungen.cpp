#include "import/core/ImportEinstellungen.h"

#include "common/FilterBedingung.h"
#include "zahlungsverkehr/Textschluessel.h"
#include "payments/core/OPUebernahme.h"
#include "platform/settings/Registrierung.h"

#include <utility>

namespace {

// The check boxes: setting key and field.
constexpr std::pair<const char*, bool ImportEinstellungen::*> kKaesten[] = {
    {"Diverse", &ImportEinstellungen::ohneDiverse},
    {"Skonto", &ImportEinstellungen::maximalSkonto},
    {"Prüfung", &ImportEinstellungen::pruefung},
    {"LieferantenKundenNr", &ImportEinstellungen::lieferantenKundenNr},
    {"FehlEingaben", &ImportEinstellungen::fehlEingaben},
    {"FälligEintragen", &ImportEinstellungen::faelligEintragen},
    {"KleinBetrag", &ImportEinstellungen::kleinBetrag},
    {"SkontoNurPositiv", &ImportEinstellungen::skontoNurPositiv},
    {"BeiFehlerNichtSpeichern", &ImportEinstellungen::fehlerNichtSpeichern},
    {"NurmitBankKontoNr", &ImportEinstellungen::nurMitBankKontoNr},
    {"OhneNegativSummen", &ImportEinstellungen::ohneNegativSummen},
    {"OhneOPMehrAls5Zeilen", &ImportEinstellungen::ohneOPMehrAls5Zeilen},
    {"ErsteinzugaufFolgeeinzugändern", &ImportEinstellungen::erstAufFolge},
    {"FehlendesMandatDatumbelegen", &ImportEinstellungen::mandatDatumBelegen},
    {"FehlendeMandatReferenzbelegen", &ImportEinstellungen::mandatReferenzBelegen},
};

// A check box takes the number of its text: 1 is ticked, any other number is not; a text that is no
// number keeps the default.
bool Kasten(const char* schluessel, bool vorgabe) {
  bool zahl = false;
  const int wert = GetSetting(ImportEinstellungen::Abschnitt(), QString::fromUtf8(schluessel)).trimmed().toInt(&zahl);
  return zahl ? wert == 1 : vorgabe;
}

void KastenSchreiben(const char* schluessel, bool wert) {
  SaveSetting(ImportEinstellungen::Abschnitt(), QString::fromUtf8(schluessel),
              wert ? QStringLiteral("1") : QStringLiteral("0"));
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
  for (const auto& [schluessel, feld] : kKaesten) e.*feld = Kasten(schluessel, e.*feld);
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
  for (const auto& [schluessel, feld] : kKaesten) KastenSchreiben(schluessel, this->*feld);
  SaveSetting(VorlagenAbschnitt(absenderNr, vorlageJeAbsender), QStringLiteral("AutoVerwendungszweck"), vorlage);
  TextSchreiben(QStringLiteral("Markierung"), nurMarkierte ? QStringLiteral("-1") : QStringLiteral("0"));
  TextSchreiben(QStringLiteral("DatenfeldFehlMandatDatum"), datenfeldMandatDatum);
  TextSchreiben(QStringLiteral("DatenfeldFehlMandatReferenz"), datenfeldMandatReferenz);
  TextSchreiben(QStringLiteral("FehlendesMandatDatumFixdatum"),
                fixdatum ? fixdatum->toString(QStringLiteral("dd.MM.yyyy")) : QString());
  TextSchreiben(QStringLiteral("FehlendeMandatReferenzFixtext"), fixtext);
}
