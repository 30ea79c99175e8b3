#include "platform/db/Systemfehler.h"

#include <QDir>

#include <cerrno>

namespace {

Systemfehler Mit(int nummer, const QString& was, const QString& pfad, const QString& tun = {}) {
  QString text = was;
  if (!pfad.isEmpty()) text += QStringLiteral(": ") + QDir::toNativeSeparators(pfad);
  if (!tun.isEmpty()) text += QLatin1Char('\r') + tun;
  return {nummer, text};
}

}  // namespace

Systemfehler SystemfehlerBeschreiben(int fehlerNr, const QString& pfad) {
  switch (fehlerNr) {
    case 0:
      return {};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return Mit(DateiFehlerNr::DatentraegerVoll, QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei"), pfad,
                 QStringLiteral("Bitte schaffen Sie Platz auf dem Datenträger oder wählen Sie einen anderen und "
                                "versuchen Sie es dann noch einmal."));
    case EFBIG:
      return Mit(DateiFehlerNr::DatentraegerVoll, QStringLiteral("Die Datei ist zu groß für den Datenträger"), pfad,
                 QStringLiteral("Die erlaubte Dateigröße ist erreicht (eine Grenze des Dateisystems oder des "
                                "Benutzerkontos). Bitte wählen Sie einen anderen Datenträger oder lassen Sie die "
                                "Grenze aufheben."));
    case EACCES:
    case EPERM:
      return Mit(DateiFehlerNr::KeineBerechtigung, QStringLiteral("Keine Berechtigung zum Schreiben"), pfad,
                 QStringLiteral("Bitte lassen Sie sich die Berechtigung für den Ordner geben oder wählen Sie einen "
                                "anderen."));
    case EROFS:
      return Mit(DateiFehlerNr::KeineBerechtigung, QStringLiteral("Der Datenträger ist schreibgeschützt"), pfad,
                 QStringLiteral("Bitte heben Sie den Schreibschutz auf oder wählen Sie einen anderen Datenträger."));
    case ENOTDIR:
      return Mit(DateiFehlerNr::PfadNichtGefunden, QStringLiteral("Ein Teil des Pfades ist eine Datei und kein Ordner"),
                 pfad);
    case ENOENT:
      return Mit(DateiFehlerNr::PfadNichtGefunden, QStringLiteral("Pfad nicht gefunden"), pfad);
    case EISDIR:
      return Mit(DateiFehlerNr::ZugriffsFehler, QStringLiteral("An dieser Stelle steht ein Ordner"), pfad);
    case EEXIST:
      return Mit(DateiFehlerNr::DateiVorhanden, QStringLiteral("Die Datei ist bereits vorhanden"), pfad);
    case EIO:
      return Mit(DateiFehlerNr::EinAusgabeFehler, QStringLiteral("Ein-/Ausgabefehler des Datenträgers"), pfad,
                 QStringLiteral("Bitte prüfen Sie den Datenträger (bei einem Netzlaufwerk die Verbindung) und "
                                "versuchen Sie es dann noch einmal."));
    case ENAMETOOLONG:
      return Mit(DateiFehlerNr::ZugriffsFehler, QStringLiteral("Der Dateiname ist zu lang"), pfad);
    default:
      return Mit(DateiFehlerNr::ZugriffsFehler, QStringLiteral("Pfad-/Dateizugriffsfehler (Systemfehler %1)").arg(fehlerNr),
                 pfad,
                 QStringLiteral("Bitte prüfen Sie den Pfad und Ihre Berechtigungen und versuchen Sie es dann noch "
                                "einmal."));
  }
}
