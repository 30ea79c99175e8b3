#include "payments/FaelligAbfrage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Programmzustand.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/Kalender.h"

FaelligAbfrage::FaelligAbfrage(QWidget* eltern) : QDialog(eltern) {
  setWindowTitle(QStringLiteral("Fälligkeits-Abfrage"));
  setModal(true);
  m_label = new QLabel(QStringLiteral("Bis zu welchem Fälligkeitsdatum soll selektiert werden?"), this);
  m_kalender = new ::Kalender(3, this);
  m_datum = new DatumFeld(this);
  m_datum->PruefenBeimVerlassenSetzen(false);  // "OK" needs a valid date; leaving for "Abbruch" asks nothing
  m_datum->setToolTip(QStringLiteral("Fälligkeitsdatum"));
  m_ok = new QPushButton(QStringLiteral("OK"), this);
  m_ok->setToolTip(QStringLiteral("Das gewählte Datum als Selektion verwenden"));
  m_ok->setDefault(true);
  m_abbruch = new QPushButton(QStringLiteral("Abbruch"), this);
  m_abbruch->setToolTip(QStringLiteral("Fenster schließen und Selektion löschen"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_label);
  layout->addWidget(m_kalender);
  auto* unten = new QHBoxLayout;
  unten->addWidget(m_datum);
  unten->addStretch(1);
  unten->addWidget(m_ok);
  unten->addWidget(m_abbruch);
  layout->addLayout(unten);

  // Tab order: date field (focus at opening), calendar, OK, Abbruch.
  setTabOrder(m_datum, m_kalender);
  setTabOrder(m_kalender, m_ok);
  setTabOrder(m_ok, m_abbruch);

  connect(m_kalender, &::Kalender::DatumGeaendert, this, &FaelligAbfrage::DatumVomKalender);
  connect(m_kalender, &::Kalender::Gewaehlt, this, &FaelligAbfrage::DatumVomKalender);
  connect(m_datum, &QLineEdit::textChanged, this, &FaelligAbfrage::DatumVomFeld);
  connect(m_ok, &QPushButton::clicked, this, &FaelligAbfrage::OkGeklickt);
  connect(m_abbruch, &QPushButton::clicked, this, &FaelligAbfrage::AbbruchGeklickt);
}

void FaelligAbfrage::Daten(const QFont& schrift, const QDate& vorschlagsdatum) {
  m_schrift = schrift;
  m_schriftGesetzt = true;
  m_modell.Daten(vorschlagsdatum);
  m_geladen = false;
}

void FaelligAbfrage::showEvent(QShowEvent* ereignis) {
  if (!m_geladen) Laden();
  QDialog::showEvent(ereignis);
}

void FaelligAbfrage::Laden() {
  m_geladen = true;
  m_abgleich = false;
  const QFont entwurf = font();
  if (m_schriftGesetzt) {
    for (QWidget* w : std::initializer_list<QWidget*>{this, m_label, m_ok, m_abbruch, m_datum}) w->setFont(m_schrift);
    m_kalender->SchriftSetzen(m_schrift);
  }
  const QDate vorschlag = m_modell.Vorschlagsdatum();
  m_kalender->DatumSetzen(vorschlag);
  // Keep the proposed month off the edge of the view.
  const int verschiebung =
      FaelligAbfrageModell::KalenderVerschiebung(vorschlag, m_kalender->ErsterAngezeigterTag(), m_kalender->LetzterAngezeigterTag());
  if (verschiebung != 0) m_kalender->Blaettern(verschiebung);
  m_datum->WertSetzen(vorschlag.isValid() ? std::optional<QDate>(vorschlag) : std::nullopt);
  m_modell.DatumSetzen(m_datum->Wert());
  m_ok->setEnabled(m_modell.OkMoeglich());
  // The dialog grows with the program font.
  const double entwurfsGroesse = entwurf.pointSizeF() > 0 ? entwurf.pointSizeF() : 9.0;
  const double groesse = m_schriftGesetzt && m_schrift.pointSizeF() > 0 ? m_schrift.pointSizeF() : entwurfsGroesse;
  const QSize basis = sizeHint();
  resize(int(basis.width() * groesse / entwurfsGroesse), int(basis.height() * groesse / entwurfsGroesse));
  m_datum->setFocus();
  m_abgleich = true;
}

void FaelligAbfrage::DatumVomKalender(const QDate& datum) {
  if (!m_abgleich) return;
  m_abgleich = false;
  m_datum->WertSetzen(datum);
  m_modell.DatumSetzen(m_datum->Wert());
  m_ok->setEnabled(m_modell.OkMoeglich());
  m_abgleich = true;
}

void FaelligAbfrage::DatumVomFeld() {
  // OK follows the field whatever its origin; the calendar only while the two may copy.
  m_modell.DatumSetzen(m_datum->Wert());
  m_ok->setEnabled(m_modell.OkMoeglich());
  if (!m_abgleich) return;
  m_abgleich = false;
  if (const auto d = m_datum->Wert()) m_kalender->DatumSetzen(*d);
  m_abgleich = true;
}

void FaelligAbfrage::OkGeklickt() {
  m_modell.DatumSetzen(m_datum->Wert());
  if (!m_modell.Ok()) return;  // no valid date: OK is not possible
  accept();
}

void FaelligAbfrage::AbbruchGeklickt() {
  m_modell.Abbruch();
  reject();
}

void FaelligAbfrage::closeEvent(QCloseEvent* ereignis) {
  // The close box counts as "Abbruch".
  if (!m_modell.Beendet()) m_modell.Abbruch();
  QDialog::closeEvent(ereignis);
}

void FaelligAbfrage::keyPressEvent(QKeyEvent* ereignis) {
  switch (ereignis->key()) {
    case Qt::Key_F1:
      HilfeAnzeigen(HilfeKontext::FaelligAbfrage, Zustand().HilfeOrdner(), this);
      ereignis->accept();
      return;
    case Qt::Key_Escape:
      AbbruchGeklickt();
      ereignis->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (m_ok->isEnabled()) OkGeklickt();
      ereignis->accept();
      return;
    default:
      QDialog::keyPressEvent(ereignis);
  }
}

bool FaelligAbfrage::SuchOk(std::optional<QDate>& datum) const {
  datum = m_modell.SuchOk();
  return datum.has_value();
}

std::optional<QDate> FaelligAbfrage::Abfragen(QWidget* eltern, const QFont& schrift,
                                              const std::optional<QDate>& faelligBis, const QDate& heute) {
  FaelligAbfrage dialog(eltern);
  dialog.Daten(schrift, FaelligAbfrageModell::VorschlagFuer(faelligBis, heute));
  dialog.exec();
  std::optional<QDate> datum;
  dialog.SuchOk(datum);
  return FaelligAbfrageModell::NeueGrenze(datum);
}
