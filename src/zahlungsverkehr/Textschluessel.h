#pragma once

#include <QList>
#include <QString>

// SEPA purpose codes offered for a kind of payment; an order may carry no code or one of its kind's list.
struct TextschluesselEintrag {
  QString schluessel;  // the four-letter code, stored in Zahlungen.Textschlüssel
  QString bedeutung;   // German meaning, shown in the drop-down only
  // The list item as the combo receives it: "CODE;Bedeutung".
  QString Eintragstext() const { return schluessel + QLatin1Char(';') + bedeutung; }
};

// The codes for the kind `art` ("L" exactly: direct debits; anything else: credit transfers), in list order.
QList<TextschluesselEintrag> TextschluesselListe(const QString& art);

// Rows the drop-down shows at once: the whole list (5 or 16).
int TextschluesselZeilen(const QString& art);

// Whether `code` (as stored: trimmed, capitals) is in the list of the kind.
bool TextschluesselErlaubt(const QString& art, const QString& code);

// Code as it is stored: trimmed, upper-case, cut to the field size (four characters).
QString TextschluesselNormalisieren(const QString& text, int feldGroesse = 4);
