#include "platform/report/core/Ausgabefehler.h"

#include <QList>

#include "platform/report/core/Reportengine.h"

namespace {

struct Zuordnung {
  Ausgabefehler fehler;
  int code;
};

// The one table: failure of the Qt engine -> result code the driver reports.
constexpr Zuordnung kTabelle[] = {
    {Ausgabefehler::DateiFehlt, Report::KeinProjekt},
    {Ausgabefehler::DateiUnlesbar, Report::DateiDefekt},
    {Ausgabefehler::DateiFormat, Report::DateiDefekt},
    {Ausgabefehler::FalscherProjekttyp, Report::DateiDefekt},
    {Ausgabefehler::UnbekannterName, Report::UnbekanntesFeld},
    {Ausgabefehler::KeinDrucker, Report::DruckerFehlt},
    {Ausgabefehler::DruckerStart, Report::DruckerFehlt},
    {Ausgabefehler::DruckerSeite, Report::Druckfehler},
    {Ausgabefehler::DruckerEnde, Report::Druckfehler},
    {Ausgabefehler::PdfOhneName, Report::ExportFehler},
    {Ausgabefehler::PdfStart, Report::ExportFehler},
    {Ausgabefehler::PdfSchreiben, Report::ExportFehler},
};

}  // namespace

int Ergebniscode(Ausgabefehler fehler) {
  for (const Zuordnung& z : kTabelle)
    if (z.fehler == fehler) return z.code;
  return Report::DateiDefekt;
}

const QList<Ausgabefehler>& AlleAusgabefehler() {
  static const QList<Ausgabefehler> liste = [] {
    QList<Ausgabefehler> l;
    for (const Zuordnung& z : kTabelle) l << z.fehler;
    return l;
  }();
  return liste;
}
