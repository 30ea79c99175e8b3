// The payment form's command "Skonto": the cash-discount dialog over the listed payments.

#include "payments/FormularZahlung.h"
#include "payments/SkontoForm.h"
#include "payments/ZahlungBrowse.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/ui/Werkzeugleiste.h"

SkontoForm* FormularZahlung::Skontodialog() const { return m_skonto.data(); }

void FormularZahlung::SkontoBearbeiten() {
  if (!m_db) return;
  const std::optional<qint64> gemerkt = m_aktuelleNr;
  m_leiste->GedruecktSetzen(QStringLiteral("Skonto"), true);
  const QPointer<FormularZahlung> selbst(this);
  m_skonto = new SkontoForm(this);
  m_skonto->Daten(ZahlungenBedingung(m_browse->Liste()), gemerkt, font());
  if (m_skontoAufruf) {
    m_skonto->show();
    m_skontoAufruf(*m_skonto);
    if (m_skonto && m_skonto->isVisible()) m_skonto->close();
  } else {
    m_skonto->exec();
  }
  // The program may have been closed while the dialog was open (the form with it).
  if (!selbst) return;
  delete m_skonto.data();
  m_leiste->GedruecktSetzen(QStringLiteral("Skonto"), false);
  // The runs changed amounts and totals: the list is read again, on the same payment.
  ZahlungenLaden();
  if (gemerkt) ZahlungAnsteuern(*gemerkt);
}

bool FormularZahlung::DialogeSchliessen() {
  // Closing the program with the dialog open ends the dialog as its own "Schließen" does.
  return !m_skonto || !m_skonto->isVisible() || m_skonto->close();
}
