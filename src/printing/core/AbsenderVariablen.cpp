#include "printing/core/AbsenderVariablen.h"

#include "platform/db/Recordset.h"
#include "printing/core/Reportdaten.h"

void AbsenderVariablenErmitteln(QList<ReportVariable>& variablen, Recordset* absenderDaten, int absenderNr) {
  if (!absenderDaten) return;
  absenderDaten->Seek(absenderNr);
  const bool gefunden = !absenderDaten->NoMatch();
  for (int i = 0; i < absenderDaten->SpaltenAnzahl(); ++i) {
    const SpaltenInfo& s = absenderDaten->Spalte(i);
    ReportVariable v;
    v.Name = QStringLiteral("Absender.") + s.feld;
    v.Typ = ReportTypVon(s.typ);
    if (gefunden) v.Wert = ReportwertAusFeld(absenderDaten->Feld(i), s.typ);
    variablen << v;
  }
}
