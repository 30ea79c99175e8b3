#pragma once

// The conversion run's rows the slow, plain way: every row through the recordset's Edit, Setzen and
// Update, one after the other, as the window once did. The tests compare the program's one-pass rows
// with it.
#include <QString>

#include "iban/IbanDatensaetze.h"
#include "masterdata/core/IbanRecordsetDatensaetze.h"
#include "platform/db/Recordset.h"

class IbanEinzelsatzReferenz : public IbanDatensaetze {
 public:
  explicit IbanEinzelsatzReferenz(Recordset& adressen) : m_rs(adressen) {}

  qint64 Anzahl() override { return m_rs.RecordCount(); }
  bool Erster() override {
    m_rs.MoveFirst();
    return !m_rs.Eof();
  }
  bool Naechster() override {
    m_rs.MoveNext();
    return !m_rs.Eof();
  }
  QString AdressNr() override { return m_rs.Text(QStringLiteral("OPKontoNr")); }
  QString Lesen(IbanFeld feld) override { return m_rs.Text(IbanRecordsetDatensaetze::FeldName(feld)); }
  IbanDatensatzFehler Schreiben(IbanFeld feld, const QString& wert) override {
    if (m_rs.EditMode() == EditModus::Keiner) {
      if (const DbFehler f = m_rs.Edit()) return {f.Nummer, f.Beschreibung};
    }
    const DbFehler f = m_rs.Setzen(IbanRecordsetDatensaetze::FeldName(feld), wert);
    return {f.Nummer, f.Beschreibung};
  }
  IbanDatensatzFehler Speichern() override {
    if (m_rs.EditMode() == EditModus::Keiner) {
      if (const DbFehler f = m_rs.Edit()) return {f.Nummer, f.Beschreibung};
    }
    const DbFehler f = m_rs.Update();
    if (f) m_rs.CancelUpdate();
    return {f.Nummer, f.Beschreibung};
  }
  IbanDatensatzFehler LeseFehler() override { return {}; }
  IbanDatensatzFehler TransaktionBeginnen() override {
    const DbFehler f = m_rs.DB().BeginTrans();
    return {f.Nummer, f.Beschreibung};
  }
  IbanDatensatzFehler TransaktionBestaetigen() override {
    const DbFehler f = m_rs.DB().CommitTrans();
    return {f.Nummer, f.Beschreibung};
  }
  void TransaktionVerwerfen() override {
    m_rs.CancelUpdate();
    m_rs.DB().Rollback();
    m_rs.CacheVerwerfen();
  }

 private:
  Recordset& m_rs;
};
