#pragma once

#include <QString>

#include "iban/IbanDatensaetze.h"
#include "platform/db/DbFehler.h"

class Recordset;

// The address recordset of the address window as rows of a conversion run. The run's transaction is the
// database's (BeginTrans/CommitTrans/Rollback). After TransaktionVerwerfen the recordset still holds the
// values it wrote: the caller requeries it (the window reloads its grid anyway).
class IbanRecordsetDatensaetze : public IbanDatensaetze {
 public:
  explicit IbanRecordsetDatensaetze(Recordset& adressen);

  // The field names the recordset must carry; empty when all are there, else the missing ones.
  static QString FehlendeFelder(const Recordset& adressen);
  static QString FeldName(IbanFeld feld);

  qint64 Anzahl() override;
  bool Erster() override;
  bool Naechster() override;
  QString AdressNr() override;

  QString Lesen(IbanFeld feld) override;
  IbanDatensatzFehler Schreiben(IbanFeld feld, const QString& wert) override;
  IbanDatensatzFehler Speichern() override;

  IbanDatensatzFehler TransaktionBeginnen() override;
  IbanDatensatzFehler TransaktionBestaetigen() override;
  void TransaktionVerwerfen() override;

  // True once a run was rolled back: the recordset's rows no longer match the table.
  bool RequeryNoetig() const { return m_verworfen; }
  // Failure of the rollback itself (the interface has no room for it); Ok when none.
  const DbFehler& VerwerfenFehler() const { return m_verwerfenFehler; }

 private:
  Recordset& m_rs;
  bool m_transaktion = false;
  bool m_verworfen = false;
  DbFehler m_verwerfenFehler;
};
