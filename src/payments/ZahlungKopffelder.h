#pragma once

#include <QObject>
#include <QStringList>

#include <array>

#include "payments/core/Formulardarstellung.h"
#include "payments/core/Smartfill.h"
#include "payments/core/Speicherpruefung.h"
#include "payments/core/Zahlungsempfaenger.h"

class DatumFeld;
class MaskenFeld;
class QCheckBox;
class QGridLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QWidget;
class ZahlFeld;
class ZahlungMandatgruppe;
class ZahlungsformularDienste;
class ZweispaltenCombo;
struct KopierteFelder;

// The payee fields of the payment form: name, bank, BIC, IBAN and line text (the array
// TDBMask1(0..5), whose element 1 the mandate group places), purpose code, due date, amount, the
// hidden address number OPKontoNr and the skip boxes TabFolge(0..3). Completion while typing,
// the search list (F4, F5, double click), the take-over of a chosen payee and the validity colours
// on leaving a field live here.
class ZahlungKopffelder : public QObject {
  Q_OBJECT
 public:
  ZahlungKopffelder(ZahlungsformularDienste& dienste, QWidget* fenster);

  // Its rows of the field grid, from row `zeile` on.
  void Anordnen(QGridLayout* felder, int& zeile);
  // The payee's mandate fields are filled through the mandate group.
  void MandatgruppeSetzen(ZahlungMandatgruppe* gruppe) { m_mandat = gruppe; }

  MaskenFeld* Maske(int index) const { return m_maske.at(size_t(index)); }
  ZweispaltenCombo* Textschluessel() const { return m_textschluessel; }
  DatumFeld* Faellig() const { return m_faellig; }
  ZahlFeld* Betrag() const { return m_betrag; }
  QCheckBox* TabFolge(int index) const { return m_tabFolge.at(size_t(index)); }
  QString OPKontoNr() const;

  // Input limits from the schema, arrow keys, the address source's transport fields.
  void Laden(bool aufAbPfeil);
  const QStringList& Transportfelder() const { return m_transportfelder; }

  void Fuellen(const ZahlungEingabe& e);
  void Lesen(ZahlungEingabe& e) const;
  void KopierteFelderAnwenden(const KopierteFelder& k);
  void TextschluesselFuellen(const QString& art);

  // What the mode allows; the mandate reference is the mandate group's.
  void Oeffnen(const Formulardarstellung& d);
  // Single-field display of a payment with several lines: the amount is their total, read-only.
  void NurSummeSetzen(bool nurSumme, bool eingabeModus);
  // Validity colours of a payment being changed, or the system colours outside entry.
  void Faerben(const FeldGueltigkeit& g, bool lastschrift, bool einzelfeld);
  void AlleGueltigAnzeigen();
  // Line text and amount fields: shown in single-field display only.
  void EinzelfelderZeigen(bool zeigen);

  // Enter in the amount field with "Speicherfeld" 1: saves; true when the key was used.
  bool BetragEnter(QKeyEvent* taste);
  void SuchlisteOeffnen(int index, bool suchfeld);

 Q_SIGNALS:
  // A chosen or completed payee set the address number: the open items follow it.
  void AdresseGewaehlt();

 protected:
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  bool MaskeTaste(int index, QKeyEvent* taste);
  void MaskeBetreten(int index);
  void MaskeVerlassen(int index);
  void UebernahmeAnwenden(const Empfaengeruebernahme& u);
  bool SmartfillAnwendbar(int index) const;

  ZahlungsformularDienste& m_dienste;
  QWidget* m_fenster;
  ZahlungMandatgruppe* m_mandat = nullptr;
  Smartfill m_smartfill;
  QStringList m_transportfelder;
  bool m_speichernPerEnter = false;
  bool m_nurSumme = false;

  std::array<MaskenFeld*, 6> m_maske{};
  ZweispaltenCombo* m_textschluessel = nullptr;
  DatumFeld* m_faellig = nullptr;
  ZahlFeld* m_betrag = nullptr;
  QLineEdit* m_opKontoNr = nullptr;
  std::array<QCheckBox*, 4> m_tabFolge{};
  QLabel* m_textBeschriftung = nullptr;
  QLabel* m_betragBeschriftung = nullptr;
};
