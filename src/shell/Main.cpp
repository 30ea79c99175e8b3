#include "shell/Main.h"

#include <QApplication>

#include "common/FilterBedingung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/GitterFilterSpalte.h"
#include "printing/ReportDesigner.h"
#include "printing/Reportjob.h"
#include "shell/Arbeitsfenster.h"
#include "shell/Programmschrift.h"
#include "shell/Programmsprache.h"
#include "shell/Programmstart.h"
#include "shell/ZOVA10.h"

namespace {
// The main window's print job is the report engine of the run.
class Reportdruckjob : public Druckjob {
 public:
  void Oeffnen() override { Reportjob::Oeffnen(); }
  void Schliessen() override { Reportjob::Schliessen(); }
};
}  // namespace

int Main::Ausfuehren(QApplication& anwendung) {
  Programmsprache::Einrichten(anwendung);
  Programmstart start;
  if (!start.Ausfuehren()) return 1;
  Programmschrift::Anwenden();
  // Filter bars of every grid build their conditions with the shared builder.
  DatenGitter::SetzeStandardFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  ReportDesigner::Einsetzen();

  ZOVA10 hauptfenster;
  ArbeitsfensterAnmelden(hauptfenster);
  hauptfenster.DruckjobSetzen(std::make_unique<Reportdruckjob>());
  hauptfenster.Laden();
  hauptfenster.show();
  return anwendung.exec();
}
