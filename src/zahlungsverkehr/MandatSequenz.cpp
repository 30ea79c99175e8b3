#include "zahlungsverkehr/MandatSequenz.h"

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"

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

bool MandatSequenzVorhanden(Datenbank& db, const QString& opKontoNr, const QString& mandatReferenz, int mandatSequenz,
                            DbFehler& fehler, std::optional<int> absenderNr) {
  fehler = {};
  QVariantList parameter = {qlonglong(mandatSequenz) - 3, mandatReferenz, opKontoNr};
  // A mandate reference holds only ASCII letters (the file's NOCASE index serves); the account number is
  // compared as the program compares text, umlauts included.
  SqlText sql("SELECT 1 FROM Zahlungen WHERE MandatSequenz = ? AND MandatReferenz = ? AND OPKontoNr = ? COLLATE TAMO");
  if (absenderNr) {
    sql += SqlText(" AND AbsenderNr = ?");
    parameter << *absenderNr;
  }
  const std::optional<QVariant> treffer = db.Wert(sql + SqlText(" LIMIT 1"), parameter, fehler);
  return !fehler && treffer.has_value();
}

bool MandatSequenzVorhanden(const QString& opKontoNr, const QString& mandatReferenz, int mandatSequenz,
                            DbFehler& fehler) {
  Datenbank* db = Zustand().Datenbank();
  if (!db) {
    fehler = KeineDatenbankFehler();
    return false;
  }
  return MandatSequenzVorhanden(*db, opKontoNr, mandatReferenz, mandatSequenz, fehler);
}
