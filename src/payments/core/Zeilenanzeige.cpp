#include "payments/core/Zeilenanzeige.h"

#include "platform/settings/Registrierung.h"

Zeilenanzeige ZeilenanzeigeAusText(const QString& text) {
  const std::optional<int> n = EinstellungZahl(text);
  if (n && *n >= 0 && *n <= 2) return static_cast<Zeilenanzeige>(*n);
  return Zeilenanzeige::MitOP;
}

QString ZeilenanzeigeAlsText(Zeilenanzeige modus) { return QString::number(static_cast<int>(modus)); }

QString ZeilenanzeigeBeschriftung(Zeilenanzeige modus) {
  switch (modus) {
    case Zeilenanzeige::Ausblenden: return QStringLiteral("Ausblenden");
    case Zeilenanzeige::OhneOP: return QStringLiteral("Anzeigen ohne OP's");
    case Zeilenanzeige::MitOP: return QStringLiteral("Anzeigen mit OP's");
  }
  return {};
}

ZeilenanzeigeLayout ZeilenanzeigeErmitteln(Zeilenanzeige modus, bool aufAbPfeil) {
  ZeilenanzeigeLayout l;
  switch (modus) {
    case Zeilenanzeige::Ausblenden:
      l.ersteSpalte = QStringLiteral("Verwendungszweck");
      return l;
    case Zeilenanzeige::OhneOP:
      l.spalten = {QStringLiteral("Verwendungszweck"), QStringLiteral("ZahlungsBetrag")};
      l.prozente = {79, 14};
      l.ersteSpalte = QStringLiteral("Verwendungszweck");
      break;
    case Zeilenanzeige::MitOP:
      l.spalten = {QStringLiteral("OPVorgangNr"), QStringLiteral("Vorgangsdatum"), QStringLiteral("Verwendungszweck"),
                   QStringLiteral("OPBetrag"),    QStringLiteral("SkontoBetrag"),  QStringLiteral("ZahlungsBetrag")};
      l.prozente = aufAbPfeil ? QList<double>{12, 14, 28, 14, 12, 15} : QList<double>{12, 12, 32, 13, 11, 14};
      l.ersteSpalte = QStringLiteral("OPVorgangNr");
      break;
  }
  l.gitterSichtbar = true;
  l.einzelfelderSichtbar = false;
  l.einzelsummeSichtbar = true;
  l.nurZeile1 = false;
  return l;
}

QList<ZeilenSpalte> ZeilenSpalten() {
  return {{QStringLiteral("ZahlungNr"), QStringLiteral("ZahlungNr")},
          {QStringLiteral("Rg-Nr"), QStringLiteral("OPVorgangNr")},
          {QStringLiteral("Vom"), QStringLiteral("Vorgangsdatum")},
          {QStringLiteral("Verwendungszweck"), QStringLiteral("Verwendungszweck")},
          {QStringLiteral("OPBetrag"), QStringLiteral("OPBetrag")},
          {QStringLiteral("Skonto"), QStringLiteral("SkontoBetrag")},
          {QStringLiteral("Zahlung"), QStringLiteral("ZahlungsBetrag")},
          {QStringLiteral("LfdNr"), QStringLiteral("LfdNr")},
          {QStringLiteral("OPVorgangsArt"), QStringLiteral("OPVorgangsArt")},
          {QStringLiteral("ZeilenNr"), QStringLiteral("ZeilenNr")}};
}
