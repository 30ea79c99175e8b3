#pragma once

#include <QString>
#include <QStringList>

// SEPA purpose codes offered in the payment form's drop-down, per kind of payment.
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

// Code as it is stored: trimmed, upper-case, cut to the field size (four characters).
QString TextschluesselNormalisieren(const QString& text, int feldGroesse = 4);
