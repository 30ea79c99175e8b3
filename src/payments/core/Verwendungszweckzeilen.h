#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>
#include <vector>

#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "payments/core/OffeneZahlung.h"
#include "payments/core/ZeilenBetraege.h"
#include "platform/db/Datenbank.h"

// One remittance line (table Verwendungszweck).
struct Verwendungszweckzeile {
  std::optional<qint64> lfdNr;  // nullopt: not stored yet
  qint64 zahlungNr = 0;
  int zeilenNr = 0;
  QString verwendungszweck;
  QString opVorgangNr;
  std::optional<QDate> vorgangsdatum;
  QString opVorgangsArt;
  ZeilenBetraege betraege;
};

// A payment has at most this many remittance lines.
constexpr int MaximaleZeilen = 5;

// Width of the line text (size of Verwendungszweck.Verwendungszweck; 27 when the schema gives none).
int ZeilentextBreite(Datenbank& db);

// The lines of a payment ordered by ZeilenNr (then LfdNr); only line 1 when `nurZeile1`.
DbFehler ZeilenLaden(Datenbank& db, qint64 zahlungNr, bool nurZeile1, std::vector<Verwendungszweckzeile>& zeilen);
// Text and paid amount of the stored lines in line order (for the save checks).
DbFehler AuftragszeilenLesen(Datenbank& db, qint64 zahlungNr, QList<Auftragszeile>& zeilen);
DbFehler ZeilenAnzahl(Datenbank& db, qint64 zahlungNr, int& anzahl);

// Result of storing a line from the grid.
struct ZeilenErgebnis {
  // Veraltet: another workstation changed the payment's lines since the form showed them.
  enum class Art { Gespeichert, Abgelehnt, Veraltet, Fehler };
  Art art = Art::Gespeichert;
  QString meldung;           // message box text (OK only, no icon) when refused or failed
  bool fokusAufText = false; // the refused text: the current column becomes Verwendungszweck
  DbFehler fehler;
  bool Ok() const { return art == Art::Gespeichert; }
};

// Stores a line (BeforeUpdate + the write): a new line (no LfdNr) gets ZeilenNr = lines in the
// database + 1 and is refused as a sixth line; the text loses its placeholders, is cut to the
// width and reduced to the payment character set, and an empty text is refused; a discount of 0
// is stored as Null. On success `zeile` holds what was stored (with its LfdNr). Every write below to
// a payment done meanwhile is refused (KeineTreffer, see ZahlungOffenPruefen) and changes nothing.
// With `gezeigt` (the form always gives it: the lines and total as it shows them) every write below is
// refused, changing nothing, once another workstation changed the lines or the total since
// (InzwischenGeaendert, see ZeilenUnveraendertPruefen); a write that goes through leaves in `gezeigt`
// what it stored.
ZeilenErgebnis ZeileSpeichern(Datenbank& db, Verwendungszweckzeile& zeile, Zeilenstand* gezeigt = nullptr);

// Deletes lines (one or several selected) of the payment in one transaction.
DbFehler ZeilenLoeschen(Datenbank& db, qint64 zahlungNr, const QList<qint64>& lfdNummern, Zeilenstand* gezeigt = nullptr);

// nullopt: the sum cannot be formed (it leaves the int64: amounts of a damaged or hand-edited database).
struct ZeilenSummen {
  std::optional<Waehrung> opBetrag = Waehrung();
  std::optional<Waehrung> skontoBetrag = Waehrung();
  std::optional<Waehrung> zahlungsBetrag = Waehrung();
};
// ZeilenSummieren: the three sums; in entry mode the lines are renumbered 1..n in ZeilenNr order
// (closing gaps) in one transaction. The window shows the paid sum in the amount field. With `gezeigt`
// the renumbering is left out while the stored lines are not the ones shown (the form's next write
// says why), and otherwise leaves there what it stored.
DbFehler ZeilenSummieren(Datenbank& db, qint64 zahlungNr, bool eingabeModus, ZeilenSummen& summen,
                         Zeilenstand* gezeigt = nullptr);

// A copy of a payment's lines, every column by name, and of its total, taken by "Ändern".
struct ZeilenKopie {
  qint64 zahlungNr = 0;
  Zeilenstand stand;
};
DbFehler ZeilenKopieren(Datenbank& db, qint64 zahlungNr, ZeilenKopie& kopie);
// Cancel after "Ändern": the payment's lines become exactly the copy again (same LfdNr, numbers,
// texts and amounts), and its total what it was with them, in one transaction. Only what the form's own
// writes left is undone: lines or a total another workstation stored meanwhile (a save of the amount,
// a discount run) differ from `gezeigt`, and the cancel is refused (InzwischenGeaendert) without a change.
DbFehler ZeilenWiederherstellen(Datenbank& db, const ZeilenKopie& kopie, const Zeilenstand& gezeigt);

// The footer texts under the line grid: open sum, negated discount sum, paid sum ("###" for a sum that
// cannot be formed).
struct ZeilenFusszeilen {
  QString opBetrag, skontoBetrag, zahlungsBetrag;
};
ZeilenFusszeilen FusszeilenErmitteln(const ZeilenSummen& summen);
