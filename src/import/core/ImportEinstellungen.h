#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The settings of the import window, kept in the settings store: section "Import", and the remittance
// template in the section "ImportAbsenderNr" and the sender number while the option
// ImportAutoVerwendungJeAbsender is on. Check boxes are stored as "1"/"0", "Markierung" as "-1"/"0".
struct ImportEinstellungen {
  QString textschluesselLieferanten;    // "Text1": purpose code of credit transfers; empty = none
  QString textschluesselKunden;         // "Text2": purpose code of direct debits; empty = none
  bool ohneDiverse = true;              // "Diverse"
  bool maximalSkonto = true;            // "Skonto"
  bool pruefung = true;                 // "Prüfung": the duplicate check is on unless turned off
  bool lieferantenKundenNr = true;      // "LieferantenKundenNr"
  bool fehlEingaben = false;            // "FehlEingaben"
  bool faelligEintragen = false;        // "FälligEintragen"
  bool kleinBetrag = false;             // "KleinBetrag"
  bool skontoNurPositiv = true;         // "SkontoNurPositiv"
  bool fehlerNichtSpeichern = false;    // "BeiFehlerNichtSpeichern"
  bool nurMitBankKontoNr = false;       // "NurmitBankKontoNr"
  bool ohneNegativSummen = false;       // "OhneNegativSummen"
  bool ohneOPMehrAls5Zeilen = false;    // "OhneOPMehrAls5Zeilen"
  bool erstAufFolge = false;            // "ErsteinzugaufFolgeeinzugändern"
  bool mandatDatumBelegen = false;      // "FehlendesMandatDatumbelegen"
  bool mandatReferenzBelegen = false;   // "FehlendeMandatReferenzbelegen"
  std::optional<QDate> fixdatum;        // "FehlendesMandatDatumFixdatum" ("dd.MM.yyyy")
  QString fixtext;                      // "FehlendeMandatReferenzFixtext"
  bool nurMarkierte = true;             // "Markierung"
  QString vorlage;                      // "AutoVerwendungszweck"
  QString datenfeldMandatDatum;         // "DatenfeldFehlMandatDatum"
  QString datenfeldMandatReferenz;      // "DatenfeldFehlMandatReferenz"

  static ImportEinstellungen Laden(int absenderNr, bool vorlageJeAbsender);
  void Speichern(int absenderNr, bool vorlageJeAbsender) const;

  static QString Abschnitt();
  // Section of the remittance template: "Import", or "ImportAbsenderNr3" for sender 3 while it is kept per sender.
  static QString VorlagenAbschnitt(int absenderNr, bool jeAbsender);
  // "Markierung" in every form it was stored in: "-1", "0", the words for true and false, any number
  // (not 0 = true); anything else gives the default (true).
  static bool MarkierungLesen(const QString& text);
  // A stored purpose code for the kind `art` ("G" or "L"): empty, or a code of that kind's list
  // (case ignored). Anything else, such as the five-digit keys of older versions, reads as empty.
  static QString TextschluesselLesen(const QString& text, const QString& art);
};
