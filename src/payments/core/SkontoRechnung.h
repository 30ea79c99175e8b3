#pragma once

#include <QString>

#include <optional>

#include "payments/core/ZahlungsformularZustand.h"
#include "payments/core/ZeilenBetraege.h"
#include "platform/db/Waehrung.h"

// What a run of the cash-discount dialog does to a line ("Abzug vornehmen").
struct SkontoVorgabe {
  bool skonto = true;     // Aktion(0) "Skontokürzung um:"; false: Aktion(1) "Abrundung auf:"
  Waehrung prozent;       // SkontoProzent, -99,99 .. 99,99
  int vorkomma = 0;       // Kommastellen(0), 0 .. 9: places before the point that become 0
  int nachkomma = 0;      // Kommastellen(1), 0 .. 2: with N > 0 the N-th decimal becomes 0
};

namespace SkontoRechnung {

inline constexpr Waehrung ProzentGrenze = Waehrung::AusCent(9999);  // 99,99 %
inline constexpr int VorkommaHoechst = 9;
inline constexpr int NachkommaHoechst = 2;

// The rounding of "Abrundung auf:" on the absolute value, sign restored. With N = nachkomma > 0:
// rounded to N decimals (half away from zero), then the N-th decimal set to 0 (1234,56 -> 1234,50
// for N = 2, 1234,00 for N = 1, 1234,96 -> 1235,00 for N = 1). With N = 0 and V = vorkomma: rounded
// to whole units; only when that has more than V digits its last V digits become 0 (1234,56 -> 1200,00
// for V = 2), otherwise the amount stays as it is (nullopt: 35,20 and -35,20 for V = 2).
std::optional<Waehrung> Abrunden(Waehrung betrag, int vorkomma, int nachkomma);

// One line of a run: an empty OPBetrag takes ZahlungsBetrag plus the SkontoBetrag already taken (just
// ZahlungsBetrag where that sum is 0); the base is OPBetrag (or ZahlungsBetrag when that is 0). Discount, only for a base above 0: SkontoBetrag = base x percent / 100 to the
// cent (half away from zero), ZahlungsBetrag = base - SkontoBetrag. Rounding: ZahlungsBetrag = the
// base rounded, and the difference to OPBetrag is booked as discount. A discount of 0 becomes Null.
ZeilenBetraege ZeileBerechnen(const ZeilenBetraege& zeile, const SkontoVorgabe& vorgabe);

// "Abzug vornehmen" may run: (only marked lines and at least one marked, or all lines) and
// (discount, or a rounding with a place count above 0). 0 % is a valid discount run.
bool AbzugMoeglich(bool nurMarkierte, int markierteZeilen, const SkontoVorgabe& vorgabe);

// The percentage as stored: locale-independent, a point, no trailing zeros ("2.5", "-0.75", "0").
QString ProzentAlsText(Waehrung prozent);
// Reads "2.5" as well as the German "2,5" (what older versions stored in the user's number format);
// nullopt for anything else. Not limited to the range.
std::optional<Waehrung> ProzentAusText(const QString& text);

}  // namespace SkontoRechnung

// The dialog's settings (section "Skonto State"), with their defaults.
struct SkontoEinstellungen {
  SkontoVorgabe vorgabe;        // "Aktion" (default "-1": discount), "Prozent", "Vorkomma", "Nachkomma"
  bool nurMarkierte = true;     // "Markierung" (default "-1": only marked lines)
  bool operator==(const SkontoEinstellungen& o) const {
    return vorgabe.skonto == o.vorgabe.skonto && vorgabe.prozent == o.vorgabe.prozent &&
           vorgabe.vorkomma == o.vorgabe.vorkomma && vorgabe.nachkomma == o.vorgabe.nachkomma &&
           nurMarkierte == o.nurMarkierte;
  }
};

// Boolean text is "True"/"False"; reading also takes numbers (non-zero is true, so "-1" is true).
// Values outside the fields' ranges are brought into them; unreadable ones give the default.
SkontoEinstellungen SkontoEinstellungenLesen(const EinstellungsLeser& leser);
void SkontoEinstellungenSpeichern(const SkontoEinstellungen& e, const EinstellungsSchreiber& schreiber);
