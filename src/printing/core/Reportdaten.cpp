#include "printing/core/Reportdaten.h"

#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"

QVariant ReportwertAusFeld(const QVariant& roh, FeldTyp typ) {
  if (!roh.isValid() || roh.isNull()) return {};
  switch (typ) {
    case FeldTyp::Text:
    case FeldTyp::Memo: return TextAusWert(roh);
    case FeldTyp::Integer:
    case FeldTyp::Long: return roh.toLongLong();
    case FeldTyp::Waehrung: {
      const std::optional<Waehrung> w = WaehrungAusWert(roh);
      return w ? QVariant::fromValue(*w) : QVariant();
    }
    case FeldTyp::Double: return roh.toDouble();
    case FeldTyp::Datum: {
      const std::optional<QDate> d = DatumAusWert(roh);
      return d ? QVariant(*d) : QVariant();
    }
    case FeldTyp::Boolean: return roh.toLongLong() != 0;
    case FeldTyp::Binaer:
    case FeldTyp::Unbekannt: return roh;
  }
  return roh;
}

Report::Typ ReportTypVon(FeldTyp typ) {
  switch (typ) {
    case FeldTyp::Text:
    case FeldTyp::Memo: return Report::Typ::Text;
    case FeldTyp::Integer:
    case FeldTyp::Long:
    case FeldTyp::Waehrung:
    case FeldTyp::Double: return Report::Typ::Zahl;
    case FeldTyp::Datum: return Report::Typ::Datum;
    case FeldTyp::Boolean: return Report::Typ::Boolean;
    case FeldTyp::Binaer: return Report::Typ::Bild;
    case FeldTyp::Unbekannt: break;
  }
  return Report::Typ::Keiner;
}

RecordsetReportdaten::RecordsetReportdaten(const Recordset& daten) : m_kopie(daten.Clone()) { SpaltenLesen(); }

RecordsetReportdaten::RecordsetReportdaten(std::unique_ptr<Recordset> eigene) : m_kopie(std::move(eigene)) { SpaltenLesen(); }

void RecordsetReportdaten::SpaltenLesen() {
  for (int i = 0; i < m_kopie->SpaltenAnzahl(); ++i) {
    const SpaltenInfo& s = m_kopie->Spalte(i);
    m_spalten << Reportdatenspalte{s.name, s.typ, s.quellTabelle, s.quellFeld, {}};
  }
}

RecordsetReportdaten::~RecordsetReportdaten() = default;

int RecordsetReportdaten::Anzahl() { return m_kopie->RecordCount(); }

QVariant RecordsetReportdaten::Wert(int zeile, int spalte) {
  return ReportwertAusFeld(m_kopie->WertAn(zeile, spalte), m_spalten.at(spalte).typ);
}

DbFehler RecordsetReportdaten::Fehler() const { return m_kopie->LetzterFehler(); }
