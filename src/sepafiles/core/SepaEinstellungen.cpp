#include "sepafiles/core/SepaEinstellungen.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "common/Dateifunktionen.h"
#include "common/Datenhilfen.h"
#include "platform/settings/Registrierung.h"

QString SepaEinstellungen::FaelligkeitstageMeldung(int tage) {
  if (tage >= 0 && tage <= HoechsteFaelligkeitstage) return {};
  return QStringLiteral("Die Fälligkeitstage für Lastschriften müssen zwischen 0 und %1 liegen (%2 Tage sind "
                        "angegeben).\rEine Lastschrift darf der Bank höchstens %1 Kalendertage vor ihrer Fälligkeit "
                        "übergeben werden.")
      .arg(HoechsteFaelligkeitstage)
      .arg(tage);
}

SepaEinstellungen SepaEinstellungen::Laden(Datenbank& db, const QString& datenVerzeichnis) {
  SepaEinstellungen e;
  QStringList hinweise;
  // A text that is no whole number, or a number outside its range, falls back to the default, with a note naming
  // what was stored ("5abc" is not 5, "1e3" not 1).
  auto zahl = [&](const QString& schluessel, int vorgabe, int hoechstens, const QString& was) {
    const QString text = EinstellungLesen(db, schluessel, QString::number(vorgabe));
    const std::optional<int> gelesen = EinstellungZahl(text);
    if (gelesen && *gelesen >= 0 && *gelesen <= hoechstens) return *gelesen;
    hinweise << (gelesen ? QStringLiteral("Der gespeicherte Wert \"%1\" für %2 liegt nicht zwischen 0 und %3; es gilt %4.")
                               .arg(text, was)
                               .arg(hoechstens)
                               .arg(vorgabe)
                         : QStringLiteral("Der gespeicherte Wert \"%1\" für %2 ist keine ganze Zahl; es gilt %3.")
                               .arg(text, was)
                               .arg(vorgabe));
    return vorgabe;
  };
  // A box counts as set when its value is 1; a text that is no whole number leaves it off.
  auto schalter = [&](const QString& schluessel, bool vorgabe) {
    return EinstellungZahl(EinstellungLesen(db, schluessel, vorgabe ? QStringLiteral("1") : QStringLiteral("0"))) == 1;
  };
  e.Kopien = zahl(SchluesselKopien, 0, HoechsteKopien, QStringLiteral("die Kopien der Kontroll-Liste"));
  e.Faelligkeitstage = zahl(SchluesselFaelligkeitstage, 2, HoechsteFaelligkeitstage,
                            QStringLiteral("die Fälligkeitstage der Lastschriften"));
  e.Zahlungsart = zahl(SchluesselZahlungsart, 0, 2, QStringLiteral("die Zahlungsart"));
  e.Sammelbuchung = schalter(SchluesselSammelbuchung, true);
  e.AutoEinzelReferenz = schalter(SchluesselAutoEinzelReferenz, false);
  e.LastschriftenAufteilen = schalter(SchluesselAufteilen, true);
  e.Dateiformat = SepaFormate::AusText(EinstellungLesen(db, SchluesselDateiformat)).value_or(SepaFormate::Vorgabe);

  const QString gespeichert = EinstellungLesen(db, SchluesselZiel);
  if (gespeichert.isEmpty()) {
    e.Zielordner = BackslashAnhaengen(datenVerzeichnis);
  } else if (!QDir::isAbsolutePath(gespeichert)) {
    // It would be found from the working folder of each start.
    e.Zielordner = BackslashAnhaengen(datenVerzeichnis);
    hinweise << QStringLiteral("Der Ordner \"") + QDir::toNativeSeparators(gespeichert) +
                    QStringLiteral("\" für die SEPA-Datei ist kein vollständiger Pfad. Es wird der Datenordner verwendet.");
  } else if (QFileInfo(gespeichert).isDir()) {
    e.Zielordner = BackslashAnhaengen(gespeichert);
  } else {
    e.Zielordner = BackslashAnhaengen(datenVerzeichnis);
    hinweise << QStringLiteral("Der Ordner \"") + QDir::toNativeSeparators(gespeichert) +
                    QStringLiteral("\" für die SEPA-Datei ist nicht vorhanden. Es wird der Datenordner verwendet.");
  }
  e.Statustext = hinweise.join(QLatin1Char('\n'));
  return e;
}

DbFehler SepaEinstellungen::Speichern(Datenbank& db) const {
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  const QList<QPair<QString, QString>> werte = {
      {SchluesselFaelligkeitstage, QString::number(Faelligkeitstage)},
      {SchluesselKopien, QString::number(Kopien)},
      {SchluesselZiel, Zielordner},
      {SchluesselZahlungsart, QString::number(Zahlungsart)},
      {SchluesselSammelbuchung, Sammelbuchung ? QStringLiteral("1") : QStringLiteral("0")},
      {SchluesselAutoEinzelReferenz, AutoEinzelReferenz ? QStringLiteral("1") : QStringLiteral("0")},
      {SchluesselAufteilen, LastschriftenAufteilen ? QStringLiteral("1") : QStringLiteral("0")},
      {SchluesselDateiformat, SepaFormate::Wert(Dateiformat)},
  };
  for (const auto& [schluessel, wert] : werte)
    if (DbFehler f = EinstellungSpeichern(db, schluessel, wert)) return f;
  return transaktion.Commit();
}
