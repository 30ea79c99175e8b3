#include "payments/core/FaelligAbfrageModell.h"

#include "platform/db/Datumseingabe.h"

void FaelligAbfrageModell::Daten(const QDate& vorschlagsdatum) {
  m_vorschlag = vorschlagsdatum;
  m_datum = vorschlagsdatum.isValid() ? std::optional<QDate>(vorschlagsdatum) : std::nullopt;
  m_bestaetigt = false;
  m_beendet = false;
}

void FaelligAbfrageModell::DatumstextSetzen(const QString& text) { DatumSetzen(DatumAusEingabe(text)); }

void FaelligAbfrageModell::DatumSetzen(const std::optional<QDate>& datum) {
  if (datum && datum->isValid()) m_datum = datum;
  else m_datum.reset();
}

bool FaelligAbfrageModell::Ok() {
  if (!OkMoeglich()) return false;
  m_bestaetigt = true;
  m_beendet = true;
  return true;
}

std::optional<QDate> FaelligAbfrageModell::SuchOk() const {
  if (!m_bestaetigt || !OkMoeglich()) return std::nullopt;
  return m_datum;
}

int FaelligAbfrageModell::KalenderVerschiebung(const QDate& vorschlag, const QDate& ersterGezeigt,
                                               const QDate& letzterGezeigt) {
  auto gleicherMonat = [](const QDate& a, const QDate& b) {
    return a.isValid() && b.isValid() && a.year() == b.year() && a.month() == b.month();
  };
  if (gleicherMonat(vorschlag, ersterGezeigt)) return -1;
  if (gleicherMonat(vorschlag, letzterGezeigt)) return 1;
  return 0;
}
