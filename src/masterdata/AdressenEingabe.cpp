#include "masterdata/AdressenEingabe.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Programmzustand.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Feldgrenze.h"

AdressenEingabe::AdressenEingabe(Art art, bool neu, QWidget* eltern) : QDialog(eltern), m_art(art) {
  setObjectName(QStringLiteral("AdressenEingabe"));
  const bool adresse = art == Art::Adresse;
  setWindowTitle(adresse ? (neu ? QStringLiteral("Neue Adresse") : QStringLiteral("Adresse ändern"))
                         : (neu ? QStringLiteral("Neue Bankverbindung") : QStringLiteral("Bankverbindung ändern")));
  const QString tabelle = adresse ? QStringLiteral("Adressen") : QStringLiteral("Bankverbindung");
  auto* form = new QFormLayout;

  m_bic = new MaskenFeld(this);
  m_bic->setObjectName(QStringLiteral("BIC"));
  m_bic->ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
  m_bic->MaxLaengeSetzen(11);
  m_blz = Textfeld(QStringLiteral("BLZ"), tabelle);
  m_bank = Textfeld(QStringLiteral("Bank"), tabelle);

  if (adresse) {
    m_opKontoNr = Textfeld(QStringLiteral("OPKontoNr"), tabelle);
    m_suchname = Textfeld(QStringLiteral("Suchname"), tabelle);
    m_name = Textfeld(QStringLiteral("Name"), tabelle);
    m_iban = new MaskenFeld(this);
    m_iban->setObjectName(QStringLiteral("IBAN"));
    m_iban->IbanBlockSetzen(Zustand().Optionen().IBANmitBlockEingeben);
    m_iban->ZeichenklasseSetzen(Zeichenklasse::GrossbuchstabenZiffern);
    m_iban->MaxLaengeSetzen(34);
    m_kontoNr = Textfeld(QStringLiteral("KontoNr"), tabelle);
    // Whatever could be an account number for the IBAN conversion (blanks, leading zeros) is taken as
    // typed: the check says why more than ten digits cannot be one, the field never cuts them.
    Feldgrenze::Setzen(m_kontoNr, Adressenpflege::KontoNrEingabeLaenge);
    m_mandatReferenz = Textfeld(QStringLiteral("MandatReferenz"), tabelle);
    m_mandatDatum = new DatumFeld(this);
    m_mandatDatum->setObjectName(QStringLiteral("MandatDatum"));
    m_mandatSequenz = new QComboBox(this);
    m_mandatSequenz->setObjectName(QStringLiteral("MandatSequenz"));
    m_mandatSequenz->addItem(QString());
    m_mandatSequenz->addItems(Adressenpflege::MandatSequenzTexte());

    form->addRow(QStringLiteral("Adress-Nr.:"), m_opKontoNr);
    form->addRow(QStringLiteral("Suchname:"), m_suchname);
    form->addRow(QStringLiteral("Name:"), m_name);
    form->addRow(QStringLiteral("Bank:"), m_bank);
    form->addRow(QStringLiteral("BIC:"), m_bic);
    form->addRow(QStringLiteral("IBAN:"), m_iban);
    form->addRow(QStringLiteral("BLZ:"), m_blz);
    form->addRow(QStringLiteral("Konto-Nr.:"), m_kontoNr);
    form->addRow(QStringLiteral("Mandat-Referenz:"), m_mandatReferenz);
    form->addRow(QStringLiteral("Mandat-Datum:"), m_mandatDatum);
    form->addRow(QStringLiteral("Mandat-Sequenz:"), m_mandatSequenz);
  } else {
    form->addRow(QStringLiteral("BLZ:"), m_blz);
    form->addRow(QStringLiteral("BIC:"), m_bic);
    form->addRow(QStringLiteral("Bank:"), m_bank);
  }

  auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
  connect(knoepfe, &QDialogButtonBox::accepted, this, [this] {
    if (Pruefen()) accept();
  });
  connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(knoepfe);
  setMinimumWidth(460);

  // The fields are made in a different order than they are shown: Tab follows the rows, and the
  // dialog opens on the first row.
  const QList<QWidget*> folge = Eingabefolge();
  for (int i = 1; i < folge.size(); ++i) setTabOrder(folge.at(i - 1), folge.at(i));
  setTabOrder(folge.back(), knoepfe);
  folge.front()->setFocus();
  // Enter moves on to the next field as everywhere in the program; in the last field and on "OK"
  // it takes the input.
  auto* tasten = new TastenVorschau(this);
  tasten->HilfeSetzen([this] { HilfeAnzeigen(HilfeKontext::Adressen, Zustand().HilfeOrdner(), this); });
  QPushButton* ok = knoepfe->button(QDialogButtonBox::Ok);
  tasten->HandlerSetzen([this, ok](QKeyEvent* taste) {
    if ((taste->key() != Qt::Key_Return && taste->key() != Qt::Key_Enter) ||
        (taste->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
      return false;
    if (focusWidget() != Eingabefolge().back()) return false;
    ok->click();
    return true;
  });
}

QList<QWidget*> AdressenEingabe::Eingabefolge() const {
  if (m_art == Art::Bank) return {m_blz, m_bic, m_bank};
  return {m_opKontoNr, m_suchname, m_name, m_bank, m_bic, m_iban,
          m_blz, m_kontoNr, m_mandatReferenz, m_mandatDatum, m_mandatSequenz};
}

QLineEdit* AdressenEingabe::Textfeld(const QString& name, const QString& tabelle) {
  auto* f = new QLineEdit(this);
  f->setObjectName(name);
  if (Datenbank* db = Zustand().Datenbank()) {
    const int groesse = db->FeldGroesse(tabelle, name);
    Feldgrenze::Setzen(f, groesse);
  }
  return f;
}

QWidget* AdressenEingabe::Feld(const QString& name) const {
  QWidget* w = findChild<QWidget*>(name);
  return w ? w : nullptr;
}

void AdressenEingabe::AdresseSetzen(const Adressdaten& d) {
  if (m_art != Art::Adresse) return;
  m_opKontoNr->setText(d.opKontoNr);
  m_suchname->setText(d.suchname);
  m_name->setText(d.name);
  m_bank->setText(d.bank);
  m_bic->WertSetzen(d.bic);
  m_iban->WertSetzen(d.iban);
  m_blz->setText(d.blz);
  m_kontoNr->setText(d.kontoNr);
  m_mandatReferenz->setText(d.mandatReferenz);
  m_mandatDatum->WertSetzen(d.mandatDatum);
  // A stored text outside the list stays shown (and saved as it is) instead of turning into none.
  const QString sequenz = Adressenpflege::MandatSequenzListentext(d.mandatSequenz);
  int i = m_mandatSequenz->findText(sequenz);
  if (i < 0) {
    m_mandatSequenz->addItem(sequenz);
    i = m_mandatSequenz->count() - 1;
  }
  m_mandatSequenz->setCurrentIndex(i);
}

Adressdaten AdressenEingabe::Adresse() const {
  Adressdaten d;
  if (m_art != Art::Adresse) return d;
  d.opKontoNr = m_opKontoNr->text();
  d.suchname = m_suchname->text();
  d.name = m_name->text();
  d.bank = m_bank->text();
  d.bic = m_bic->Wert();
  d.iban = m_iban->Wert();
  d.blz = m_blz->text();
  d.kontoNr = m_kontoNr->text();
  d.mandatReferenz = m_mandatReferenz->text();
  d.mandatDatum = m_mandatDatum->Wert();
  d.mandatSequenz = m_mandatSequenz->currentText();
  return d;
}

void AdressenEingabe::BankSetzen(const Bankdaten& d) {
  m_blz->setText(d.blz);
  m_bic->WertSetzen(d.bic);
  m_bank->setText(d.bank);
}

Bankdaten AdressenEingabe::Bank() const { return {m_blz->text(), m_bic->Wert(), m_bank->text()}; }

bool AdressenEingabe::Pruefen() {
  // A mandate date that is no date cannot be read: it would be stored as "no date".
  if (m_mandatDatum && !m_mandatDatum->EingabePruefen()) return false;
  const std::optional<Adressenpflege::Fehler> f =
      m_art == Art::Adresse ? Adressenpflege::Pruefen(Adresse()) : Adressenpflege::Pruefen(Bank());
  if (!f) return true;
  Meldung::Warnung(f->meldung, {}, this);
  if (QWidget* w = Feld(f->feld)) w->setFocus();
  return false;
}
