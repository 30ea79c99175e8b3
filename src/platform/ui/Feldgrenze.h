#pragma once

#include <QString>

class QLineEdit;
class QValidator;
class QWidget;

// Size limits of text fields that never cut. Typing, pasting or dropping text that would make the
// value longer than the limit is not taken at all (the field keeps its text) and a notice at the
// field names the limit. A value set from code is shown whole even when it is longer: the checks
// of the save speak about it, the field never shortens a stored value behind the user's back.
namespace Feldgrenze {

// The limit of a plain text field in characters (0 = none). A validator the field already has keeps
// working: the limit is checked after it.
void Setzen(QLineEdit* feld, int zeichen);
// The limit set through Setzen; 0 when none.
int Grenze(const QLineEdit* feld);

// The notice at `feld` that input beyond `zeichen` characters was not taken.
void Melden(QWidget* feld, int zeichen);
QString Hinweistext(int zeichen);

}  // namespace Feldgrenze
