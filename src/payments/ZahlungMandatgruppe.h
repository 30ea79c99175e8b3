#pragma once

#include <QObject>

#include "payments/core/Speicherpruefung.h"
#include "payments/core/ZahlungsformularZustand.h"

class DatumFeld;
class MaskenFeld;
class OptionsGruppe;
class QGridLayout;
class QWidget;
class ZahlungsformularDienste;

// The mandate group of the payment form: mandate reference TDBMask1(1), mandate date TDBDate1(1)
// and the sequence options SSDBOptSet2. Open only while a direct debit is being entered. The
// reference field belongs to the payee fields' array (it shares their handlers); the group places
// it and opens and closes it with the others.
class ZahlungMandatgruppe : public QObject {
  Q_OBJECT
 public:
  ZahlungMandatgruppe(ZahlungsformularDienste& dienste, QWidget* fenster, MaskenFeld* referenz);

  // Its rows below the payee fields, from row `zeile` on.
  void Anordnen(QGridLayout* felder, int& zeile);

  MaskenFeld* Referenz() const { return m_referenz; }
  DatumFeld* Datum() const { return m_datum; }
  OptionsGruppe* Sequenz() const { return m_sequenz; }

  void PfeiltastenSetzen(bool an);
  // Date and sequence of the payment (the reference is filled with the payee fields).
  void Fuellen(const ZahlungEingabe& e);
  void Lesen(ZahlungEingabe& e) const;
  void Oeffnen(bool offen);
  void DatumFaerben(bool gueltig);
  // The sequence of an address's sequence text (automatic codes look for a first collection).
  void SequenzUebernehmen(const QString& sequenzText, Zahlart zahlart, const QString& opKontoNr);

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  ZahlungsformularDienste& m_dienste;
  MaskenFeld* m_referenz;
  DatumFeld* m_datum;
  OptionsGruppe* m_sequenz;
};
