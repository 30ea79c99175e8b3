#include "shell/Programmoptionen.h"

#include <cstring>

#include "platform/settings/Registrierung.h"

namespace {
const QString kFormular = QStringLiteral("Formular State");

bool Schalter(const QString& schluessel, const char* vorgabe) {
  return GetSetting(kFormular, schluessel, QString::fromLatin1(vorgabe)).trimmed() == QLatin1String("1");
}
QString Text(bool an) { return an ? QStringLiteral("1") : QStringLiteral("0"); }
}  // namespace

const QString& Programmoptionen::AutoVerwendungszweckVorgabe() {
  static const QString text = QStringLiteral(
      "RG {RgNr} vom {RgDatum}\\abzgl. GS {RgNr} vom {RgDatum}\\abzgl. Anz {RgNr} vom {RgDatum}");
  return text;
}

Programmoptionen Programmoptionen::Laden() {
  Programmoptionen o;
  o.schalter = Optionsschalter::AusRegistrierung();
  for (int i = 0; i < 6; ++i)
    o.kopierfeld[i] = Schalter(QStringLiteral("Kopierfeld") + QString::number(i), "0");
  o.neueingabeFortsetzen = Schalter(QStringLiteral("NeueingabeFortsetzen"), "1");
  o.speicherfeld = SpeicherfeldAusText(GetSetting(kFormular, QStringLiteral("Speicherfeld"), QStringLiteral("0")));
  o.autoVerwendungszweck =
      GetSetting(kFormular, QStringLiteral("AutoVerwendungszweck"), AutoVerwendungszweckVorgabe()).split(QLatin1Char('\\'));
  while (o.autoVerwendungszweck.size() < 3) o.autoVerwendungszweck.append(QString());
  while (o.autoVerwendungszweck.size() > 3) o.autoVerwendungszweck.removeLast();
  o.optischeFehlerKontrolle = Schalter(QStringLiteral("OptischeFehlerKontrolle"), "1");
  o.aufAbPfeilVerwenden = Schalter(QStringLiteral("AufAbPfeilVerwenden"), "1");
  o.pruefenMitBlzAbgleich = Schalter(QStringLiteral("PrüfenMitBLZAbgleich"), "0");
  return o;
}

void Programmoptionen::Speichern() const {
  schalter.InRegistrierungSchreiben();
  for (int i = 0; i < 6; ++i) SaveSetting(kFormular, QStringLiteral("Kopierfeld") + QString::number(i), Text(kopierfeld[i]));
  SaveSetting(kFormular, QStringLiteral("NeueingabeFortsetzen"), Text(neueingabeFortsetzen));
  SaveSetting(kFormular, QStringLiteral("Speicherfeld"), SpeicherfeldAlsText(speicherfeld));
  QStringList texte;
  for (int i = 0; i < 3; ++i) {
    QString t = i < autoVerwendungszweck.size() ? autoVerwendungszweck.at(i) : QString();
    t.remove(QLatin1Char('\\'));
    texte.append(t);
  }
  SaveSetting(kFormular, QStringLiteral("AutoVerwendungszweck"), texte.join(QLatin1Char('\\')));
  SaveSetting(kFormular, QStringLiteral("OptischeFehlerKontrolle"), Text(optischeFehlerKontrolle));
  SaveSetting(kFormular, QStringLiteral("AufAbPfeilVerwenden"), Text(aufAbPfeilVerwenden));
  SaveSetting(kFormular, QStringLiteral("PrüfenMitBLZAbgleich"), Text(pruefenMitBlzAbgleich));
}

QString Programmoptionen::Beschriftung(const char* schluessel) {
  static const std::pair<const char*, const char*> texte[] = {
      {"SmartfillName", "Name bei der Eingabe automatisch aus den Adressen ergänzen"},
      {"SmartfillBank", "Bank bei der Eingabe automatisch aus den Bankverbindungen ergänzen"},
      {"AutoSpeichernBank", "Neue Bankverbindungen automatisch speichern"},
      {"AutoSpeichernAdressen", "Neue Adressen automatisch speichern"},
      {"NeuMitSuchliste", "Neue Zahlung mit der Adress-Suchliste beginnen"},
      {"ArbeitsfensterKleineSymbole", "Kleine Symbole in den Arbeitsfenstern"},
      {"ArbeitsfensterOhneText", "Symbolleisten der Arbeitsfenster ohne Text"},
      {"AlleFensterProportionaleSchrift", "Schrift mit der Fenstergröße skalieren"},
      {"TabellenOhneZebramuster", "Tabellen ohne Zebramuster"},
      {"OPSelektionMitMinus", "Offene Posten mit negativem Rest anzeigen"},
      {"IBANmitBlockEingeben", "IBAN in Viererblöcken eingeben"},
      {"SEPAmitArchivSpeichern", "SEPA-Dateien zusätzlich im Archiv speichern"},
      {"AutoVerwRgDatumKurzFormat", "Rechnungsdatum im Verwendungszweck kurz (TT.MM.JJ)"},
      {"SepaDateinamemitAbsenderBemerkung", "SEPA-Dateien und Zahlungsübersicht nach der Absender-Bemerkung benennen"},
      {"ImportAutoVerwendungJeAbsender", "Verwendungszweck-Vorlage des Imports je Absender"},
  };
  for (const auto& [k, t] : texte)
    if (std::strcmp(k, schluessel) == 0) return QString::fromUtf8(t);
  return QString::fromUtf8(schluessel);
}
