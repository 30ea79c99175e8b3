#include "zahlungsverkehr/MandatSequenz.h"

const QStringList& MandatSequenzTexte() {
  static const QStringList texte = {
      QStringLiteral("0-Ohne"),
      QStringLiteral("1-Einmaliger Einzug (Basis)"),
      QStringLiteral("2-Mehrfach-Einzug Ersteinzug (Basis)"),
      QStringLiteral("3-Mehrfach-Einzug Folgeeinzug (Basis)"),
      QStringLiteral("4-Mehrfach-Einzug Letzter Einzug (Basis)"),
      QStringLiteral("5-Mehrfach-Einzug Automatisch (Basis)"),
      QStringLiteral("11-Einmaliger Einzug (Firmen)"),
      QStringLiteral("12-Mehrfach-Einzug Ersteinzug (Firmen)"),
      QStringLiteral("13-Mehrfach-Einzug Folgeeinzug (Firmen)"),
      QStringLiteral("14-Mehrfach-Einzug Letzter Einzug (Firmen)"),
      QStringLiteral("15-Mehrfach-Einzug Automatisch (Firmen)"),
  };
  return texte;
}

std::optional<QString> MandatSequenzText(int code) {
  const QString praefix = QString::number(code) + QLatin1Char('-');
  for (const QString& text : MandatSequenzTexte())
    if (text.startsWith(praefix)) return text;
  return std::nullopt;
}

Bedingung LastschriftBedingung(bool firmen) {
  if (firmen)
    return Bedingung(SqlText("Zahlungen.Art = ? AND NOT coalesce(Zahlungen.MandatSequenz BETWEEN 1 AND 5, 0)"),
                     {QStringLiteral("L")});
  return Bedingung(SqlText("Zahlungen.Art = ? AND NOT coalesce(Zahlungen.MandatSequenz BETWEEN 11 AND 15, 0)"),
                   {QStringLiteral("L")});
}
