#include "payments/core/Speicherfeld.h"

#include "platform/settings/Registrierung.h"

const std::array<Speicherfeld, 6>& AlleSpeicherfelder() {
  static const std::array<Speicherfeld, 6> alle = {
      Speicherfeld::Keines,        Speicherfeld::Betragsfeld,       Speicherfeld::OPBetragZeile,
      Speicherfeld::ZahlungsbetragZeile, Speicherfeld::OPBetragNeueZeile, Speicherfeld::ZahlungsbetragNeueZeile};
  return alle;
}

Speicherfeld SpeicherfeldAusText(const QString& text) {
  const std::optional<int> wert = EinstellungZahl(text);
  if (!wert || *wert < 0 || *wert >= int(AlleSpeicherfelder().size())) return Speicherfeld::Keines;
  return Speicherfeld(*wert);
}

QString SpeicherfeldAlsText(Speicherfeld feld) { return QString::number(int(feld)); }

QString SpeicherfeldBeschriftung(Speicherfeld feld) {
  switch (feld) {
    case Speicherfeld::Keines: return QStringLiteral("0 - Enter speichert nicht");
    case Speicherfeld::Betragsfeld: return QStringLiteral("1 - Enter im Betragsfeld speichert");
    case Speicherfeld::OPBetragZeile: return QStringLiteral("2 - Enter in Spalte OP-Betrag speichert");
    case Speicherfeld::ZahlungsbetragZeile: return QStringLiteral("3 - Enter in Spalte Zahlungsbetrag speichert");
    case Speicherfeld::OPBetragNeueZeile:
      return QStringLiteral("4 - Enter in OP-Betrag der leeren neuen Zeile speichert");
    case Speicherfeld::ZahlungsbetragNeueZeile:
      return QStringLiteral("5 - Enter in Zahlungsbetrag der leeren neuen Zeile speichert");
  }
  return {};
}

bool EnterSpeichertImZeilengitter(Speicherfeld speicherfeld, const QString& feld, bool neueZeile) {
  const bool op = feld == QStringLiteral("OPBetrag");
  const bool zahlung = feld == QStringLiteral("ZahlungsBetrag");
  if (neueZeile)
    return (speicherfeld == Speicherfeld::OPBetragNeueZeile && op) ||
           (speicherfeld == Speicherfeld::ZahlungsbetragNeueZeile && zahlung);
  return (speicherfeld == Speicherfeld::OPBetragZeile && op) || (speicherfeld == Speicherfeld::ZahlungsbetragZeile && zahlung);
}
