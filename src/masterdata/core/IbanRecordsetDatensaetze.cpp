#include "masterdata/core/IbanRecordsetDatensaetze.h"

#include <QStringList>

#include "platform/db/Recordset.h"

namespace {
IbanDatensatzFehler Umsetzen(const DbFehler& f) { return {f.Nummer, f.Beschreibung}; }

constexpr IbanFeld AlleFelder[] = {IbanFeld::BLZ, IbanFeld::KontoNr, IbanFeld::IBAN,
                                   IbanFeld::BIC, IbanFeld::Bank,    IbanFeld::IBANKonvertierHinweis};
}  // namespace

IbanRecordsetDatensaetze::IbanRecordsetDatensaetze(Recordset& adressen) : m_rs(adressen) {}

QString IbanRecordsetDatensaetze::FeldName(IbanFeld feld) {
  switch (feld) {
    case IbanFeld::BLZ: return QStringLiteral("BLZ");
    case IbanFeld::KontoNr: return QStringLiteral("KontoNr");
    case IbanFeld::IBAN: return QStringLiteral("IBAN");
    case IbanFeld::BIC: return QStringLiteral("BIC");
    case IbanFeld::Bank: return QStringLiteral("Bank");
    case IbanFeld::IBANKonvertierHinweis: return QStringLiteral("IBANKonvertierHinweis");
  }
  return {};
}

QString IbanRecordsetDatensaetze::FehlendeFelder(const Recordset& adressen) {
  QStringList fehlend;
  for (const IbanFeld f : AlleFelder)
    if (adressen.SpaltenIndex(FeldName(f)) < 0) fehlend << FeldName(f);
  return fehlend.join(QStringLiteral(", "));
}

qint64 IbanRecordsetDatensaetze::Anzahl() { return m_rs.RecordCount(); }

bool IbanRecordsetDatensaetze::Erster() {
  if (m_rs.EditMode() != EditModus::Keiner) m_rs.CancelUpdate();
  m_rs.MoveFirst();
  return !m_rs.Eof();
}

bool IbanRecordsetDatensaetze::Naechster() {
  if (m_rs.Eof()) return false;
  m_rs.MoveNext();
  return !m_rs.Eof();
}

QString IbanRecordsetDatensaetze::AdressNr() {
  if (m_rs.SpaltenIndex(QStringLiteral("OPKontoNr")) >= 0) return m_rs.Text(QStringLiteral("OPKontoNr"));
  return m_rs.Bookmark().toString();
}

QString IbanRecordsetDatensaetze::Lesen(IbanFeld feld) { return m_rs.Text(FeldName(feld)); }

IbanDatensatzFehler IbanRecordsetDatensaetze::Schreiben(IbanFeld feld, const QString& wert) {
  if (m_rs.EditMode() == EditModus::Keiner) {
    if (const DbFehler f = m_rs.Edit()) return Umsetzen(f);
  }
  return Umsetzen(m_rs.Setzen(FeldName(feld), wert));
}

IbanDatensatzFehler IbanRecordsetDatensaetze::Speichern() {
  if (m_rs.EditMode() == EditModus::Keiner) {
    if (const DbFehler f = m_rs.Edit()) return Umsetzen(f);
  }
  const DbFehler f = m_rs.Update();
  // A failed save stays in edit mode; the run stops there, so leave the row clean.
  if (f) m_rs.CancelUpdate();
  return Umsetzen(f);
}

IbanDatensatzFehler IbanRecordsetDatensaetze::TransaktionBeginnen() {
  const DbFehler f = m_rs.DB().BeginTrans();
  m_transaktion = f.Ok();
  return Umsetzen(f);
}

IbanDatensatzFehler IbanRecordsetDatensaetze::TransaktionBestaetigen() {
  const DbFehler f = m_rs.DB().CommitTrans();
  if (f.Ok()) m_transaktion = false;
  return Umsetzen(f);
}

void IbanRecordsetDatensaetze::TransaktionVerwerfen() {
  if (m_rs.EditMode() != EditModus::Keiner) m_rs.CancelUpdate();
  if (m_transaktion) {
    m_verwerfenFehler = m_rs.DB().Rollback();
    m_transaktion = false;
  }
  m_verworfen = true;
  m_rs.CacheVerwerfen();
}
