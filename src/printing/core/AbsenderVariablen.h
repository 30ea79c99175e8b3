#pragma once

#include <QList>

#include "printing/core/ReportVariable.h"

class Recordset;

// Appends one variable "Absender.<Feld>" per field of the sender table, in the table's field order,
// with the value of sender `absenderNr` (positioned with Seek on the table recordset). When the
// sender is not found the variables come without values. Nothing is reported.
void AbsenderVariablenErmitteln(QList<ReportVariable>& variablen, Recordset* absenderDaten, int absenderNr);
