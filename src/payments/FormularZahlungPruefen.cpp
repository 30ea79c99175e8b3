// The payment form's command "Prüfen": the check mode over the listed payments.

#include <QApplication>
#include <QTableView>

#include "common/Uhr.h"
#include "payments/FormularZahlung.h"
#include "payments/ZahlungBrowse.h"
#include "payments/core/Pruefmodus.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/Werkzeugleiste.h"

void FormularZahlung::Pruefen() {
  if (!m_db) return;
  if (m_zustand.NurFehlerhafte()) {
    // Switching off runs no check: the full list again.
    m_zustand.NurFehlerhafteSetzen(false);
    m_pruefgruende.clear();
    ZahlungenLaden();
    return;
  }
  const std::optional<qint64> gemerkt = m_aktuelleNr;
  m_leiste->GedruecktSetzen(QStringLiteral("Prüfen"), true);
  const bool blzAbgleich =
      GetSetting(ZahlungsformularAbschnitt(), QStringLiteral("PrüfenMitBLZAbgleich"), QStringLiteral("0")) ==
      QLatin1String("1");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const PruefmodusErgebnis e =
      ZahlungenPruefen(*m_db, ZahlungenBedingung(m_browse->Liste()),
                       blzAbgleich, Uhr::Heute());
  QApplication::restoreOverrideCursor();
  if (e.lesefehler) {
    m_leiste->GedruecktSetzen(QStringLiteral("Prüfen"), false);
    DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), e.lesefehler);
    return;
  }
  if (e.fehlerhaft == 0) {
    if (e.nichtGespeichert > 0)
      Meldung::Fehler(Pruefmodus::SpeicherfehlerText(e) + QStringLiteral("\r\rDer Prüfmodus wird daher wieder ausgeschaltet."),
                      {}, this);
    else
      Meldung::Hinweis(Pruefmodus::KeineFehlerText(), {}, this);
  } else {
    m_pruefgruende = e.gruende;
    m_zustand.NurFehlerhafteSetzen(true);
    Meldung::Zeigen(Pruefmodus::ErgebnisText(e, blzAbgleich), MeldungsKnoepfe::Ok,
                    e.nichtGespeichert > 0 ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information, {}, this);
  }
  ZahlungenLaden();
  if (!m_zustand.NurFehlerhafte() && gemerkt) ZahlungAnsteuern(*gemerkt);
  PruefgrundAnzeigen();
}

void FormularZahlung::PruefgrundAnzeigen() {
  // The reasons are the browse grid's status tip while check mode lasts, so that they come back
  // whenever the grid gets the focus again (after the result box, from another field).
  QWidget* ansicht = Browsegitter()->Ansicht();
  if (m_browseHinweis.isNull()) m_browseHinweis = ansicht->statusTip();
  QString text = m_browseHinweis;
  if (m_zustand.NurFehlerhafte() && m_aktuelleNr) {
    const auto gruende = m_pruefgruende.constFind(*m_aktuelleNr);
    if (gruende != m_pruefgruende.constEnd()) text = Pruefmodus::GrundText(*gruende);
  }
  if (ansicht->statusTip() == text) return;
  ansicht->setStatusTip(text);
  StatusSetzen(text);
}
