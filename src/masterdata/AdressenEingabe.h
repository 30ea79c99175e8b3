#pragma once

#include <QDialog>
#include <QList>

#include "masterdata/core/Adressenpflege.h"

class DatumFeld;
class MaskenFeld;
class QComboBox;
class QLineEdit;

// The entry dialog of one address or one bank code; "OK" only closes after the checks passed.
class AdressenEingabe : public QDialog {
  Q_OBJECT
 public:
  enum class Art { Adresse, Bank };
  AdressenEingabe(Art art, bool neu, QWidget* eltern = nullptr);

  void AdresseSetzen(const Adressdaten& d);
  Adressdaten Adresse() const;
  void BankSetzen(const Bankdaten& d);
  Bankdaten Bank() const;

  // The checks of "OK"; on a fault the message is shown and the field takes the focus.
  bool Pruefen();

  // The input fields in the order the rows show them (Tab order; the first has the focus).
  QList<QWidget*> Eingabefolge() const;

 private:
  QLineEdit* Textfeld(const QString& name, const QString& tabelle);
  QWidget* Feld(const QString& name) const;

  Art m_art;
  QLineEdit* m_opKontoNr = nullptr;
  QLineEdit* m_suchname = nullptr;
  QLineEdit* m_name = nullptr;
  QLineEdit* m_bank = nullptr;
  MaskenFeld* m_bic = nullptr;
  MaskenFeld* m_iban = nullptr;
  QLineEdit* m_blz = nullptr;
  QLineEdit* m_kontoNr = nullptr;
  QLineEdit* m_mandatReferenz = nullptr;
  DatumFeld* m_mandatDatum = nullptr;
  QComboBox* m_mandatSequenz = nullptr;
};
