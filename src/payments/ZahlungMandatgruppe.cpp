#include "payments/ZahlungMandatgruppe.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

#include "zahlungsverkehr/MandatSequenz.h"
#include "payments/ZahlungsformularDienste.h"
#include "payments/core/Zahlungsempfaenger.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"

ZahlungMandatgruppe::ZahlungMandatgruppe(ZahlungsformularDienste& dienste, QWidget* fenster, MaskenFeld* referenz)
    : QObject(fenster), m_dienste(dienste), m_referenz(referenz) {
  m_datum = new DatumFeld(fenster);
  m_datum->setStatusTip(QStringLiteral("Wann wurde das Mandat für den Einzug erteilt"));
  m_datum->installEventFilter(this);
  m_sequenz = new OptionsGruppe(QStringLiteral("Mandat-Sequenz"),
                                {QStringLiteral("&Einmaliger Einzug"), QStringLiteral("Mehrfach E&rsteinzug"),
                                 QStringLiteral("Mehrfach &Folgeeinzug"), QStringLiteral("Mehrfach le&tzter Einzug")},
                                fenster, Qt::Horizontal);
  for (int i = 0; i < m_sequenz->Anzahl(); ++i)
    m_sequenz->Option(i)->setStatusTip(QStringLiteral("Einstellung der Mandat-Sequenz"));
}

void ZahlungMandatgruppe::Anordnen(QGridLayout* felder, int& zeile) {
  QWidget* fenster = m_datum->parentWidget();
  felder->addWidget(new QLabel(QStringLiteral("Mandat-Referenz"), fenster), zeile, 0);
  felder->addWidget(m_referenz, zeile, 1, 1, 3);
  ++zeile;
  felder->addWidget(new QLabel(QStringLiteral("Mandat-Datum"), fenster), zeile, 0);
  felder->addWidget(m_datum, zeile, 1);
  ++zeile;
  felder->addWidget(m_sequenz, zeile, 0, 1, 4);
}

void ZahlungMandatgruppe::PfeiltastenSetzen(bool an) { m_datum->PfeiltastenSetzen(an); }

void ZahlungMandatgruppe::Fuellen(const ZahlungEingabe& e) {
  m_datum->WertSetzen(e.mandatDatum);
  const QSignalBlocker sperre(m_sequenz);
  m_sequenz->WertSetzen(e.sequenzIndex);
}

void ZahlungMandatgruppe::Lesen(ZahlungEingabe& e) const {
  e.mandatDatum = m_datum->Wert();
  e.sequenzIndex = m_sequenz->Wert();
}

void ZahlungMandatgruppe::Oeffnen(bool offen) {
  m_referenz->setReadOnly(!offen);
  m_referenz->setEnabled(offen);
  m_datum->setReadOnly(!offen);
  m_datum->setEnabled(offen);
  m_sequenz->setEnabled(offen);
}

void ZahlungMandatgruppe::DatumFaerben(bool gueltig) {
  if (gueltig) {
    m_datum->setPalette(QPalette());  // the system colours
    return;
  }
  QPalette p = m_datum->palette();
  p.setColor(QPalette::Base, Farben::Rot());
  p.setColor(QPalette::Text, Farben::Weiss());
  m_datum->setPalette(p);
}

void ZahlungMandatgruppe::SequenzUebernehmen(const QString& sequenzText, Zahlart zahlart, const QString& opKontoNr) {
  Datenbank* db = m_dienste.Db();
  if (!db) return;
  const SequenzAufloesung a = MandatSequenzAufloesen(
      sequenzText, zahlart, opKontoNr, m_referenz->Wert(),
      [db](const QString& konto, const QString& referenz, int code, DbFehler& fehler) {
        return MandatSequenzVorhanden(*db, konto, referenz, code, fehler);
      });
  if (a.fehler)
    Meldung::Fehler(a.Meldungstext(), ZahlungsformularTitel(), m_datum->window());
  if (a.index) m_sequenz->WertSetzen(*a.index);
}

bool ZahlungMandatgruppe::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == m_datum && ereignis->type() == QEvent::FocusOut) {
    const ZahlungsformularZustand& z = m_dienste.FormZustand();
    if (z.Einstellungen().optischeFehlerKontrolle && m_datum->isEnabled() && z.EingabeModus())
      DatumFaerben(m_datum->Wert().has_value());
  }
  return QObject::eventFilter(objekt, ereignis);
}
