#include "masterdata/core/IbanRecordsetDatensaetze.h"

#include <QStringList>

#include <iterator>

#include "platform/db/Massenaenderung.h"
#include "platform/db/Recordset.h"

namespace {
IbanDatensatzFehler Umsetzen(const DbFehler& f) { return {f.Nummer, f.Beschreibung}; }

// In the order of IbanFeld: the pass's field i is IbanFeld i.
constexpr IbanFeld AlleFelder[] = {IbanFeld::BLZ, IbanFeld::KontoNr, IbanFeld::IBAN,
                                   IbanFeld::BIC, IbanFeld::Bank,    IbanFeld::IBANKonvertierHinweis};
constexpr int Index(IbanFeld f) { return static_cast<int>(f); }
static_assert(Index(IbanFeld::IBANKonvertierHinweis) == static_cast<int>(std::size(AlleFelder)) - 1);
}  // namespace

IbanRecordsetDatensaetze::IbanRecordsetDatensaetze(Recordset& adressen)
    : m_rs(adressen), m_neu(std::size(AlleFelder)) {}

IbanRecordsetDatensaetze::~IbanRecordsetDatensaetze() = default;

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
  if (!m_lauf || m_begonnen) return false;
  m_begonnen = true;
  return Naechster();
}

bool IbanRecordsetDatensaetze::Naechster() {
  if (!m_lauf) return false;
  for (auto& w : m_neu) w.reset();
  return m_lauf->Naechste();
}

IbanDatensatzFehler IbanRecordsetDatensaetze::LeseFehler() {
  return m_lauf ? Umsetzen(m_lauf->Fehler()) : IbanDatensatzFehler{};
}

QString IbanRecordsetDatensaetze::AdressNr() {
  const int zeile = m_lauf ? m_lauf->Zeile() : -1;
  // from the recordset: a row deleted meanwhile may still be there
  const QVariant nr = m_rs.WertAn(zeile, m_rs.SpaltenIndex(QStringLiteral("OPKontoNr")));
  return nr.isNull() ? m_rs.SchluesselAn(zeile).toString() : nr.toString();
}

QString IbanRecordsetDatensaetze::Lesen(IbanFeld feld) {
  if (const auto& neu = m_neu[Index(feld)]) return *neu;
  return m_lauf ? m_lauf->Text(Index(feld)) : QString();
}

IbanDatensatzFehler IbanRecordsetDatensaetze::Schreiben(IbanFeld feld, const QString& wert) {
  if (!m_lauf || m_lauf->Zeile() < 0)
    return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Kein aktueller Datensatz")};
  m_neu[Index(feld)] = wert;
  return {};
}

IbanDatensatzFehler IbanRecordsetDatensaetze::Speichern() {
  if (!m_lauf) return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Kein aktueller Datensatz")};
  const DbFehler f = m_lauf->Schreiben(m_neu);
  for (auto& w : m_neu) w.reset();
  return Umsetzen(f);
}

IbanDatensatzFehler IbanRecordsetDatensaetze::TransaktionBeginnen() {
  m_geschrieben = 0;
  if (const DbFehler f = m_rs.DB().BeginTrans()) return Umsetzen(f);
  m_transaktion = true;
  QStringList felder;
  for (const IbanFeld f : AlleFelder) felder << FeldName(f);
  DbFehler f;
  m_lauf = Massenaenderung::Oeffnen(m_rs, felder, f);
  if (!m_lauf) {
    TransaktionVerwerfen();
    return Umsetzen(f);
  }
  m_begonnen = false;
  return {};
}

IbanDatensatzFehler IbanRecordsetDatensaetze::TransaktionBestaetigen() {
  LaufBeenden();
  const DbFehler f = m_rs.DB().CommitTrans();
  if (f.Ok()) {
    m_transaktion = false;
    m_geschrieben = m_lauf ? m_lauf->Geschrieben() : 0;
    // as after a walk through the recordset: past its last row
    m_rs.MoveLast();
    m_rs.MoveNext();
  }
  return Umsetzen(f);
}

void IbanRecordsetDatensaetze::TransaktionVerwerfen() {
  LaufBeenden();
  if (m_transaktion) {
    m_verwerfenFehler = m_rs.DB().Rollback();
    m_transaktion = false;
  }
}

void IbanRecordsetDatensaetze::LaufBeenden() {
  if (m_lauf) m_lauf->Abschliessen();
}
