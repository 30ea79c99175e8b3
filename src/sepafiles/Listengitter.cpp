#include "sepafiles/Listengitter.h"

#include <QString>

#include "platform/ui/DatenGitter.h"

void ListengitterEinrichten(DatenGitter& g, std::span<const Spaltenentwurf> spalten) {
  g.SetzeSpaltenHalten(true);
  g.SetzeZulassenAendern(false);
  g.SetzeZulassenNeu(false);
  g.SetzeZulassenLoeschen(false);
  g.SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
  g.SetzeScrollTipps(true);
  for (const Spaltenentwurf& s : spalten) {
    const QString feld = QString::fromUtf8(s.feld);
    const int spalte =
        g.SpalteHinzufuegen(feld, *s.titel ? QString::fromUtf8(s.titel) : feld.section(QLatin1Char('.'), -1));
    g.SetzeSpalteSichtbar(spalte, s.breite > 0);
    if (s.breite > 0) g.SetzeSpaltenbreite(spalte, s.breite);
    g.SetzeSpaltenformat(spalte, s.format);
    if (s.format == GitterFormat::Standard) g.SetzeAusrichtung(spalte, Qt::AlignRight | Qt::AlignVCenter);
  }
  g.SetzeSpaltenStrecken(true);
}
