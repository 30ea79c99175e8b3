#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "iban/IbanDatensaetze.h"
#include "platform/db/DbFehler.h"

class Massenaenderung;
class Recordset;

// The address recordset of the address window as rows of a conversion run, walked in one pass past the
// recordset's per-row work: the rows are read once inside the run's transaction (the database's
// BeginTrans/CommitTrans/Rollback), in the table's order, and a row is written only when a value
// changes. At the end, committed or rolled back, the recordset's cached values are dropped once; its
// keys and order stay until the caller requeries it.
class IbanRecordsetDatensaetze : public IbanDatensaetze {
 public:
  explicit IbanRecordsetDatensaetze(Recordset& adressen);
  ~IbanRecordsetDatensaetze() override;

  // The field names the recordset must carry; empty when all are there, else the missing ones.
  static QString FehlendeFelder(const Recordset& adressen);
  static QString FeldName(IbanFeld feld);

  qint64 Anzahl() override;
  // Starts the walk; only once per transaction.
  bool Erster() override;
  bool Naechster() override;
  IbanDatensatzFehler LeseFehler() override;
  QString AdressNr() override;

  QString Lesen(IbanFeld feld) override;
  IbanDatensatzFehler Schreiben(IbanFeld feld, const QString& wert) override;
  IbanDatensatzFehler Speichern() override;

  IbanDatensatzFehler TransaktionBeginnen() override;
  IbanDatensatzFehler TransaktionBestaetigen() override;
  void TransaktionVerwerfen() override;

  // Rows the committed run wrote (the others kept their values); 0 after a rollback.
  qint64 Geschrieben() const { return m_geschrieben; }
  // Failure of the rollback itself (the interface has no room for it); Ok when none.
  const DbFehler& VerwerfenFehler() const { return m_verwerfenFehler; }

 private:
  void LaufBeenden();

  Recordset& m_rs;
  std::unique_ptr<Massenaenderung> m_lauf;
  bool m_begonnen = false;
  std::vector<std::optional<QString>> m_neu;   // per IbanFeld: the value to save, nullopt = unchanged
  bool m_transaktion = false;
  qint64 m_geschrieben = 0;
  DbFehler m_verwerfenFehler;
};
