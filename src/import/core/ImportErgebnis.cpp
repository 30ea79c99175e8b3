#include "import/core/ImportErgebnis.h"

namespace {

constexpr int kGezeigteFehler = 10;

QString Zeile(const char* titel, int anzahl) {
  return QString::fromUtf8(titel) + QLatin1Char('\t') + QString::number(anzahl);
}

}  // namespace

void ImportErgebnis::FehlerMelden(const QString& text) {
  if (fehler.size() < kGezeigteFehler)
    fehler << text;
  else
    ++weitereFehler;
}

QString ImportErgebnis::Text(const QDate& heute) const {
  QStringList zeilen;
  zeilen << QStringLiteral("Importergebnis für den Import vom: ") + heute.toString(QStringLiteral("dd.MM.yyyy"))
         << QString() << Zeile("Importierte OP-Vorgänge:   ", importiert) << Zeile("Daraus erzeugte Zahlungen: ", zahlungen);
  const std::pair<const char*, int> wennMehr[] = {
      {"Gelöschte Minus-Zahlungen: ", minusZahlungen},
      {"Fehlerhafte Einzelangaben: ", fehlerhafteAngaben},
      {"Automatische Korrekturen:  ", automatischeKorrekturen},
      {"Manuelle Korrekturen:      ", manuelleKorrekturen},
      {"Fehler nicht gespeichert:  ", nichtGespeichert},
      {"Offene Posten ohne Adresse: ", ohneAdresse},
      {"Beim Dublettenhinweis abgelehnt: ", dublettenAbgelehnt},
      {"Offene Posten nicht gespeicherter Zahlungen: ", postenNichtGespeichert},
      {"Fehlerhafte OP-Vorgänge (nicht übernommen): ", fehlerhaftePosten},
      {"Abgelehnte OP-Vorgänge: ", postenAbgelehnt},
      {"Inzwischen anderweitig übernommen: ", inzwischenUebernommen},
      {"Mehrfach ausgewählte OP-Vorgänge: ", mehrfachAusgewaehlt},
  };
  for (const auto& [titel, anzahl] : wennMehr)
    if (anzahl > 0) zeilen << Zeile(titel, anzahl);
  if (!minusKonten.isEmpty())
    zeilen << QStringLiteral("Wegen einer Minus-Zahlung nicht übernommene Konten: ") + minusKonten.join(QStringLiteral(", "));
  if (fehlerhafteAngaben > 0 && nichtGespeichert == 0)
    zeilen << QString() << QStringLiteral("Die Prüfen-Funktion in der Zahlungserfassung sollte")
           << QStringLiteral("zur Fehlererkennung aufgerufen werden.");
  return zeilen.join(QLatin1Char('\r'));
}

QString ImportErgebnis::Fehlertext() const {
  if (fehler.isEmpty()) return {};
  QStringList zeilen{QStringLiteral("Beim Import sind Fehler aufgetreten:")};
  for (const QString& f : fehler) zeilen << QString() << f;
  if (weitereFehler > 0) zeilen << QString() << QStringLiteral("... und %1 weitere Fehler.").arg(weitereFehler);
  return zeilen.join(QLatin1Char('\r'));
}
