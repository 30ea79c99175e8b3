#pragma once

#include <QString>
#include <QVariant>

// Values a printout shows whole or not at all: amounts, IBANs and BICs. A column whose value is one
// such field is never cut with "…" nor wrapped; the layout gives it the room its widest value needs
// (Seitenaufbau), and a value that still does not fit prints as "###".
namespace Ganzwert {

enum class Art { Keiner, Betrag, Iban, Bic };

// An IBAN or a BIC by the field's name (KennungsfeldVon); an amount by its value (Waehrung).
Art ArtVon(const QString& feldname, const QVariant& wert);

// The widest value of the kind as printed: the largest amount with its sign in `format`, an IBAN of
// 34 characters (two wide letters, then digits: letters beyond the country stand only in shorter
// IBANs), a BIC of 11 wide letters. Empty for Art::Keiner.
QString Breitester(Art art, const QString& format = {});

}  // namespace Ganzwert
