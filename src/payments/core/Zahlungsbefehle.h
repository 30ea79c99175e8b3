#pragma once

#include <QDate>
#include <QString>
#include <QVariantMap>

#include <array>
#include <optional>

#include "payments/core/Speicherpruefung.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "platform/db/Datenbank.h"

struct Zeilenstand;

// Values a new payment carries over from the one shown before ("Neu").
struct Zahlungsuebertrag {
  QString name;            // slot 0, with Kopierfeld(0)
  QString bank;            // slot 1, Kopierfeld(1)
  QString bic;             // slot 2, Kopierfeld(2)
  QString iban;            // slot 3, Kopierfeld(3)
  QString textschluessel;  // slot 4, always
  QString opKontoNr;       // slot 5, with Kopierfeld(0)
};

// Applies the copy flags Kopierfeld(0..3) (4 and 5 are stored but read by no command).
Zahlungsuebertrag UebertragErmitteln(const ZahlungEingabe& bisher, const std::array<bool, 6>& kopierfeld);

// "Neu": stores the new row at once, without checks, with the sender, the kind, Währung True and
// the carried values (IBAN, BIC and purpose code as a save stores them); a direct debit gets
// sequence 0 (none chosen) and today as mandate date.
// `zahlungNr` receives the new number.
DbFehler NeueZahlungAnlegen(Datenbank& db, int absenderNr, Zahlart zahlart, const Zahlungsuebertrag& uebertrag,
                            const QDate& heute, qint64& zahlungNr);
// "Fehler beim Erzeugen einer neuen Zahlung!" CR CR "Nr: " ... CR "Beschreibung: " ...
QString NeuFehlertext(const DbFehler& fehler);

// The form's values of a stored payment (to fill the entry fields).
DbFehler ZahlungLesen(Datenbank& db, qint64 zahlungNr, std::optional<ZahlungEingabe>& eingabe, int* mandatSequenz = nullptr);

// "Löschen" and the cancel of "Neu": the payment and its lines, in one transaction. A payment done
// meanwhile is refused (KeineTreffer) and stays.
DbFehler ZahlungLoeschen(Datenbank& db, qint64 zahlungNr);
// "Fehler beim Löschen: <nr>" CR "Beschreibung: <text>".
QString LoeschFehlertext(const DbFehler& fehler);

// "Kopieren" from another payment into the one being entered.
struct KopierErgebnis {
  std::optional<ZahlungEingabe> quelle;  // the source's values for the fields (nullopt: nothing copied)
  int angefuegt = 0;                     // lines appended
  int ausgelassen = 0;                   // lines left out because of the five-line limit
  // The message when lines were left out; empty otherwise.
  QString Hinweis() const;
};
// Reads the source payment; with `zeilenKopieren` (line grid shown) appends its lines in
// ZeilenNr order behind the target's lines, up to line 5, in one transaction. Fields the source
// has as Null keep the form's values: the window applies only the non-empty ones of `quelle`.
// A target done meanwhile gets no lines (KeineTreffer); nor, with `gezeigt` (the target's lines as the
// form shows them, see ZeileSpeichern), one whose lines another workstation changed since.
DbFehler ZahlungKopieren(Datenbank& db, qint64 quelleNr, qint64 zielNr, bool zeilenKopieren, KopierErgebnis& ergebnis,
                         Zeilenstand* gezeigt = nullptr);

// The payee values that "Kopieren" takes from the source: texts that are not empty, the address
// number, and the amount.
struct KopierteFelder {
  std::optional<QString> name, mandatReferenz, bank, bic, iban, verwendungszweck1, opKontoNr;
  std::optional<Waehrung> betrag;
};
KopierteFelder KopierteFelderErmitteln(const ZahlungEingabe& quelle);
