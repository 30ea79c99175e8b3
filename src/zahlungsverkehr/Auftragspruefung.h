#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <utility>

#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "platform/db/Waehrung.h"

// The field of an order a finding is about (the payment form puts the cursor there).
enum class Auftragsfeld {
  Name,
  Bic,
  Iban,
  Zeilen,            // the remittance lines as a whole
  Verwendungszweck,  // Verwendungszweck1, the first line's text
  Betrag,
  Sequenz,
  MandatReferenz,
  MandatDatum,
  Textschluessel,
  EinzelReferenz,
  Art                // Zahlungen.Art
};

// What is wrong.
enum class Befundart {
  NameLeer,                  // empty after removing the characters outside the payment set
  BicUnvollstaendig,         // missing before its cut-off date, or not 8 or 11 characters
  BicAufbau,                 // 8 or 11 characters but not the form of a BIC
  BicAusserhalbEwr,          // missing for an IBAN of a SEPA country outside the EEA
  IbanFehlt,
  IbanZuKurz,
  IbanUnbekanntesLand,
  IbanFalscheLaenge,
  IbanZeichen,
  IbanKontoaufbau,           // the account part is not of the form of the IBAN's country
  IbanPruefziffer,
  KeineZeile,                // neither a line nor Verwendungszweck1
  VerwendungszweckLeer,      // Verwendungszweck1 empty after removing the characters outside the set
  // The texts as the bank gets them: in the payment character set (transliterated), within their fields.
  NameUmschrift,             // letters without a Latin form, which would drop out
  NameZuLang,                // more than 70 characters
  VerwendungszweckUmschrift, // Verwendungszweck1: letters without a Latin form
  VerwendungszweckZuLang,    // Verwendungszweck1 longer than its field
  ZeileUmschrift,            // a line: letters without a Latin form, or nothing left of it
  ZeileZuLang,               // a line longer than its field
  VerwendungZuLang,          // the remittance text of the file longer than 140 characters
  FeldZuLang,                // the save: a value longer than the field it is stored in
  BetragNichtPositiv,        // empty, 0 or below
  BetragZuHoch,              // above 999.999.999,99
  BetragNachkommastellen,    // more than two decimals
  BetragUngleichZeilen,      // ZahlungGesamt differs from the sum of the lines
  SequenzFehlt,              // direct debit without a mandate sequence
  MandatReferenzFehlt,
  MandatReferenzUngueltig,   // outside the identifier rules (SepaKennung)
  MandatDatumFehlt,
  MandatDatumZukunft,
  TextschluesselUngueltig,   // not a code of the kind's list
  EinzelReferenzUngueltig,   // outside the identifier rules
  MandatMehrfachErst,        // run: the mandate is already in the run as FRST or OOFF
  MandatErstUndFolge,        // run: the mandate is in the run as FRST and as RCUR/FNAL
  MandatImLaufVerbraucht,    // run: an earlier order of the run (OOFF, FNAL) uses the mandate up
  MandatLetzteMitFolge,      // run: a FNAL beside a RCUR of the same mandate (the final one waits)
  ArtUnbekannt,              // Art neither "G" nor "L"
  SequenzUnbekannt,          // direct debit with a sequence that is no collection (5/15 unresolved, 6, ...)
  LastschriftAusserhalbEwr,  // direct debit from an account in a SEPA country outside the EEA
  ZeilenbetragAusserhalb,    // a line's amount outside +-999.999.999,99
  ZeilensummeAusserhalb,     // the lines add up to more than +-999.999.999,99
  MandatBeendet              // the mandate's last done collection was OOFF or FNAL
};

// One finding: field, kind and the German text the user sees (the payment form's message, the
// reason in the list of left-out orders).
struct Befund {
  Auftragsfeld Feld = Auftragsfeld::Name;
  Befundart Art = Befundart::NameLeer;
  QString Text;
  bool operator==(const Befund&) const = default;
};

// The last done direct debit of a mandate (same sender): what the history rule needs of it.
struct Mandatverlauf {
  qint64 ZahlungNr = 0;
  QDate Datum;             // its collection date (Buchungsdatum), else the day it was done
  int MandatSequenz = 0;
  bool operator==(const Mandatverlauf&) const = default;
};
// By Auftragspruefung::MandatSchluessel of the reference.
using Mandatverlaeufe = QHash<QString, Mandatverlauf>;

// The one home of the payment order's rules. The payment form's save, its check mode, the SEPA
// pre-check, the writer's last guard and the import all judge an order here.
namespace Auftragspruefung {

// The sizes of the texts that go to the bank: their fields (resources/TamoSEPA.sql) and the file's.
inline constexpr int NameLaenge = 70;          // Zahlungen.Name; the file's Nm takes as much
inline constexpr int ZeilenLaenge = 27;        // Verwendungszweck.Verwendungszweck, Zahlungen.Verwendungszweck1
inline constexpr int VerwendungLaenge = 140;   // the file's remittance text (Ustrd)

// Highest amount of one order: 999.999.999,99.
inline constexpr Waehrung HoechstBetrag = Waehrung::AusRoh(Waehrung::Hoechstbetrag);

// Every finding of one order, in the order of the payment form's checks: name, BIC, IBAN, lines,
// line text, amount, mandate sequence, mandate reference, mandate date, purpose code, single
// reference. Empty when the bank would take the order. `heute` decides the BIC cut-off dates and
// whether the mandate date lies in the future.
// `verlauf`: the last done direct debit of the order's mandate, where the caller read it (MandatverlaufLesen);
// a mandate ended by it (OOFF or FNAL) is a finding.
QList<Befund> Pruefen(const Zahlungsauftrag& auftrag, const QDate& heute, const Mandatverlaeufe& verlauf = {});

// What makes two mandate references one mandate for the bank: trimmed, without regard to case.
QString MandatSchluessel(const QString& referenz);

// The findings of the amount alone (the amount field's colour).
std::optional<Befund> BetragPruefen(Waehrung betrag);

// A run, one kind of one sender: each order's own findings (index as in `lauf`), and for the orders
// that pass on their own the run's rules: a mandate (mandate reference; the creditor is the run's)
// appears at most once as FRST or OOFF, never as FRST together with RCUR/FNAL, nothing follows its OOFF
// or its FNAL, and a FNAL never goes with a RCUR (one file has one collection date: the final collection
// waits for a later run, the recurring one goes). Only RCURs may share a run. References compared by
// MandatSchluessel; the later order by (MandatSequenz, ZahlungNr) gets the finding naming the earlier one.
QList<QList<Befund>> LaufPruefen(const QList<Zahlungsauftrag>& lauf, const QDate& heute,
                                 const Mandatverlaeufe& verlauf = {});

// LaufPruefen for a run read in one pass, one order at a time and in any order: Pruefen gives an order's
// own findings and remembers what the run's rules need of it (the order need not be kept); Laufbefunde
// then gives the run's findings, by the position in which the orders were passed.
class Laufpruefung {
 public:
  explicit Laufpruefung(const QDate& heute, Mandatverlaeufe verlauf = {})
      : m_heute(heute), m_verlauf(std::move(verlauf)) {}
  QList<Befund> Pruefen(const Zahlungsauftrag& auftrag);
  QList<QPair<qsizetype, Befund>> Laufbefunde() const;

 private:
  struct Lastschrift {
    qsizetype stelle;
    qint64 zahlungNr;
    int sequenz;
    QString mandat;     // as the order has it (the finding names it)
    QString schluessel;
  };
  QDate m_heute;
  Mandatverlaeufe m_verlauf;
  qsizetype m_anzahl = 0;
  QList<Lastschrift> m_lastschriften;   // direct debits that passed on their own
};

// The sender's name as the files carry it, by the rules of a payee's name (transliterated without loss,
// within 70 characters): the German reason it cannot go to the bank, empty when it can. Its emptiness is
// the caller's to name.
QString AbsenderNameMeldung(const QString& name);

// The remittance text as the file carries it, in the payment character set before the file's own
// replacements (which keep the length): the lines joined, each behind a blank, or Verwendungszweck1 when
// there are none; blanks trimmed.
QString Verwendungstext(const Zahlungsauftrag& auftrag);

// A text as it may be stored back: in the payment character set when nothing but transliteration changed
// it (no letter lost, not emptied) and it fits `laenge`; nullopt otherwise.
std::optional<QString> TextBereinigt(const QString& text, int laenge);

// Name and Verwendungszweck1 in the payment character set, as the save, check mode, the pre-check and the
// import store them back: only when both still say the same (TextBereinigt); otherwise the order stays as
// it is, false comes back, and the rules name the reason.
bool TexteBereinigen(Zahlungsauftrag& auftrag);

}  // namespace Auftragspruefung
