#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <optional>

#include "payments/core/ZeilenBetraege.h"
#include "platform/db/Waehrung.h"

// One open item (a row of the payment form's open-item drop-down or of the import's selection).
struct OffenerPosten {
  QString vorgangsNr;              // VorgangsNr
  QString art;                     // account kind + item kind, e.g. "KR"; the last letter R/G/A decides
  std::optional<QDate> vom;        // item date
  std::optional<QDate> faellig;
  std::optional<Waehrung> betrag;  // shown only
  std::optional<Waehrung> rest;    // open rest, unsigned for the order program (see OPAbfrage)
  QString opKontoNr{};             // account of the item (placeholder {RgOPKtoNr}); the drop-down leaves it empty
  QString buchungsliste{};         // booking list of the accounting program (placeholder {RgBuListe})
};

// The amount a line takes from the item: its rest, negated once for credit notes (G) and down
// payments (A). Every other kind keeps the sign of the rest.
Waehrung OPBetragMitVorzeichen(const OffenerPosten& posten);

// Line-text templates from "AutoVerwendungszweck": 1 invoices, 2 credit notes, 3 down payments
// (index 0 unused, as the setting's parts are numbered from 1).
using Zeilenvorlagen = std::array<QString, 4>;

// The default of "AutoVerwendungszweck".
QString ZeilenvorlagenVorgabe();
// Splits the setting at "\" into parts 1..3 (missing ones empty, further ones dropped).
Zeilenvorlagen ZeilenvorlagenAusText(const QString& text);

// Values a chosen open item puts into a line.
struct OPZeilenwerte {
  QString opVorgangNr;
  std::optional<QDate> vorgangsdatum;
  QString opVorgangsArt;
  ZeilenBetraege betraege;
  QString verwendungszweck;
  bool zeichenEntfernt = false;  // the text lost characters outside the payment character set
};

// What the open-item import adds to a take-over.
struct OPUebernahmeZusatz {
  // The payee's discount rate in percent (0: none). It applies to a positive amount, and with
  // `skontoNurPositiv` off to a negative one as well; a discount that rounds to 0,00 is Null.
  Waehrung skontoSatz;
  bool skontoNurPositiv = true;
  // The " v:" form of a text without template names the day as "dd.MM." instead of the date text.
  bool kurzformTagMonat = false;
};

// Date text of the line: "dd.MM.yy" with the option AutoVerwRgDatumKurzFormat, else the date
// field's own text "dd.MM.yyyy". Where the long form would make a line wider than its column, the
// line takes the short form, so that no date is cut in two.
QString OPDatumText(const std::optional<QDate>& datum, bool kurzFormat);

// Takes an item over into a line (the payment form's open-item list and the import share it): by the
// last letter of its kind R ("RG", template 1), G ("GS", template 2, rest negated), A ("ANZ",
// template 3, rest negated), else no word, no template and the rest as it is. The text is the
// template with {RgNr}, {RgDatum}, {Art}, {RgBuListe}, {RgOPKtoNr} replaced (case-insensitive), or
// without a template, and where the template's text would cut the item number, "<word> <nr> vom
// <date>" (" v:" when that is wider than `breite`); then reduced
// to the payment character set and cut to `breite`. Without a discount rate the discount is Null.
OPZeilenwerte OffenenPostenUebernehmen(const OffenerPosten& posten, const Zeilenvorlagen& vorlagen,
                                       bool kurzFormat, int breite, const OPUebernahmeZusatz& zusatz = {});

// Without an open-item source: a typed item number fills an empty line text from template 1
// ({RgNr} and {Art} = "RG" replaced; {RgDatum} stays for the date), or from "RG <nr> vom {RgDatum}"
// where the template would put the number beyond `breite`. nullopt when nothing changes.
std::optional<QString> TextAusVorgangsNr(const QString& vorgangsNr, const QString& zeilentext,
                                         const Zeilenvorlagen& vorlagen, int breite);
// Without an open-item source: a typed item date replaces every {RgDatum} of the line text, as
// OPDatumText writes it.
QString TextMitVorgangsdatum(const QString& zeilentext, const QDate& datum, bool kurzFormat, int breite);

// The line text as it is stored: placeholders removed (case-insensitive), reduced to the payment
// character set, then cut to `breite`.
QString ZeilentextBereinigen(const QString& text, int breite);

