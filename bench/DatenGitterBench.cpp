// The data grid over 100,000 payments: time to the first painted rows (query opened, grid bound
// and shown) and time of a filter requery up to the repainted rows. A timed main: the widgets need
// one QApplication and real event processing. Prints the median of several runs.
//   bench_datengitter [zeilen] [laeufe]
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "GitterBeispieldaten.h"
#include "MalZaehler.h"
#include "common/FilterBedingung.h"
#include "platform/db/Recordset.h"
#include "platform/ui/DatenGitter.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int zeilen = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int laeufe = argc > 2 ? std::atoi(argv[2]) : 7;
  DatenGitter::SetzeStandardFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  auto db = GitterBeispieldaten(zeilen);

  std::vector<double> oeffnen, erstesBild, filterPraefix, filterEnthaelt, filterLeer;
  for (int lauf = 0; lauf < laeufe; ++lauf) {
    QElapsedTimer t;
    t.start();
    DbFehler f;
    Abfrage a = Abfrage::Tabelle(QStringLiteral("Zahlungen"));
    a.sortierung = SqlText("ZahlungNr");
    auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
    if (!rs) qFatal("%s", qUtf8Printable(f.Beschreibung));
    oeffnen.push_back(t.nsecsElapsed() / 1e6);

    DatenGitter gitter;
    gitter.SetzeSpaltenHalten(true);
    for (const char* feld : {"Name", "IBAN", "Verwendungszweck", "OPVorgangNr", "ZahlungsBetrag", "Faellig"})
      gitter.SpalteHinzufuegen(QString::fromLatin1(feld));
    gitter.SetzeRecordset(rs.get());
    gitter.SetzeSpaltenformat(4, GitterFormat::Standard);
    gitter.SetzeZellStil([&gitter](int z, int, ZellStil& s) {
      if (gitter.Wert(z, QStringLiteral("Art")).toString() == QStringLiteral("G")) s.vordergrund = QColor(255, 0, 0);
    });
    gitter.SetzeFussleiste(true);
    gitter.SetzeFilterleiste(true);
    gitter.SetzeFilterGrundlage({}, SqlText("ZahlungNr"));
    gitter.resize(1100, 640);
    MalZaehler zaehler;
    gitter.Ansicht()->viewport()->installEventFilter(&zaehler);
    gitter.show();
    while (zaehler.bilder == 0 && t.elapsed() < 30000) QApplication::processEvents();
    erstesBild.push_back(t.nsecsElapsed() / 1e6);
    if (gitter.ZeilenAnzahl() != zeilen) qFatal("Zeilen: %d", gitter.ZeilenAnzahl());

    const auto filtern = [&](const QString& text) {
      gitter.SetzeFilterText(0, text);
      QElapsedTimer tf;
      tf.start();
      if (!gitter.FilterAnwenden()) qFatal("Filter fehlgeschlagen");
      gitter.Ansicht()->viewport()->repaint();
      return tf.nsecsElapsed() / 1e6;
    };
    filterPraefix.push_back(filtern(QStringLiteral("mü")));
    const int treffer = gitter.ZeilenAnzahl();
    filterEnthaelt.push_back(filtern(QStringLiteral("*gmbh 12")));
    filterLeer.push_back(filtern(QString()));
    if (lauf == 0) std::printf("Treffer \"mü\": %d von %d\n", treffer, gitter.ZeilenAnzahl());
  }
  std::printf("Zeilen: %d, Läufe: %d (Median)\n", zeilen, laeufe);
  std::printf("Recordset öffnen:                        %8.1f ms\n", Median(oeffnen));
  std::printf("Erstes Bild (öffnen, binden, zeichnen):  %8.1f ms\n", Median(erstesBild));
  std::printf("Filter \"mü\" (Präfix), Requery+Bild:     %8.1f ms\n", Median(filterPraefix));
  std::printf("Filter \"*gmbh 12\" (enthält), +Bild:      %8.1f ms\n", Median(filterEnthaelt));
  std::printf("Filter leeren (alle Zeilen), +Bild:      %8.1f ms\n", Median(filterLeer));
  return 0;
}
