#include "shell/Datenordner.h"

#include <QDir>
#include <QFileInfo>

#include "common/Dateifunktionen.h"
#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "platform/settings/Registrierung.h"

Datenordner::Ergebnis Datenordner::Wechseln(const QString& ordner) {
  Ergebnis e;
  const QString neu = BackslashAnhaengen(QDir::toNativeSeparators(QDir::cleanPath(ordner.trimmed())));
  if (ordner.trimmed().isEmpty()) {
    e.meldung = QStringLiteral("Bitte geben Sie ein Datenverzeichnis an.");
    return e;
  }
  if (const QString mangel = DatenordnerPfadMangel(ordner); !mangel.isEmpty()) {
    e.meldung = mangel;
    return e;
  }
  const QString alt = Zustand().DatenVerzeichnis();
  if (QDir(neu) == QDir(alt)) {
    e.ok = true;
    return e;
  }
  const QString datei = neu + DatenbankDateiname;
  if (!QFileInfo(datei).isFile()) {
    e.meldung = QStringLiteral("Im Verzeichnis %1 befindet sich keine Datenbank %2.").arg(neu, DatenbankDateiname);
    return e;
  }

  Zustand().DatenbankSchliessen();
  Zustand().DatenVerzeichnisSetzen(neu);
  const StartErgebnis geoeffnet = DatenbankOeffnen();
  if (!geoeffnet.Ok()) {
    e.meldung = geoeffnet.meldung.isEmpty() ? geoeffnet.fehler.Meldungstext() : geoeffnet.meldung;
    Zustand().DatenVerzeichnisSetzen(alt);
    const StartErgebnis zurueck = DatenbankOeffnen();
    if (!zurueck.Ok())
      e.meldung += QStringLiteral("\r\r") + (zurueck.meldung.isEmpty() ? zurueck.fehler.Meldungstext() : zurueck.meldung);
    return e;
  }
  SaveSetting(QStringLiteral("Window State"), QStringLiteral("Datenlaufwerk"), neu);
  e.ok = true;
  e.hinweis = geoeffnet.hinweis;
  e.warnung = geoeffnet.warnung;
  return e;
}
