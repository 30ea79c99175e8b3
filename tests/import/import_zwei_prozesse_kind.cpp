// One of two workstations importing the same open items at the same time (ZweiImporteTest): opens the
// data folder's database as the program does (the sibling file linked for the sender), and for every line
// "LOS" on stdin selects all customers' items and runs the import, answering every duplicate question
// "Nein". Prints its messages ("MELDUNG ...") and then "FERTIG <payments> <items imported> <refused as duplicates> <taken in between> <failures>"
// after each run; ends at "ENDE" (or the end of stdin).
//   import_zwei_prozesse_kind DATENORDNER [ABSENDERNR]   (the sender, 1 unless given)
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

#include "common/Dateifunktionen.h"
#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "import/core/ImportLauf.h"
#include "import/core/ImportSelektion.h"

namespace {

class NeinSager : public ImportFrager {
 public:
  bool DubletteUebernehmen(const QString&) override { return false; }
  QString PflichtfeldAbfragen(const QString&) override { return {}; }
};

void Ausgeben(const QString& zeile) {
  std::printf("%s\n", QString(zeile).replace(QLatin1Char('\r'), QLatin1Char(' ')).toUtf8().constData());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication anwendung(argc, argv);
  const QStringList a = anwendung.arguments();
  if (a.size() != 2 && a.size() != 3) return 2;
  const int absenderNr = a.size() == 3 ? a.at(2).toInt() : 1;
  if (absenderNr < 1) return 2;
  Zustand().DatenVerzeichnisSetzen(BackslashAnhaengen(QDir::toNativeSeparators(a.at(1))));
  Zustand().AktuelleAbsenderNrSetzen(absenderNr);
  const StartErgebnis start = DatenbankOeffnen();
  if (!start.Ok() || !Zustand().AdressQuelle().OPVerknuepft) {
    Ausgeben(QStringLiteral("FEHLER Öffnen: ") + start.meldung);
    return 1;
  }
  Datenbank& db = *Zustand().Datenbank();
  ImportLaufOptionen o;
  o.quelle = Zustand().AdressQuelle();
  o.absenderNr = absenderNr;
  o.formularZahlart = Zahlart::BasisLastschrift;
  o.vorlage = ZeilenvorlagenVorgabe();

  QTextStream ein(stdin);
  for (QString zeile = ein.readLine(); !zeile.isNull() && zeile != QLatin1String("ENDE"); zeile = ein.readLine()) {
    if (zeile != QLatin1String("LOS")) continue;
    const ImportSelektionsErgebnis s = ImportSelektion::Selektieren(db, o.quelle, ImportAuswahl{});
    if (!s.daten) {
      Ausgeben(QStringLiteral("FEHLER Selektion: ") + s.fehler.Meldungstext());
      return 1;
    }
    NeinSager frager;
    const ImportErgebnis e = ImportAusfuehren(db, ImportVorgaengeLesen(*s.daten), o, frager);
    for (const QString& text : e.fehler) Ausgeben(QStringLiteral("MELDUNG ") + text);
    Ausgeben(QStringLiteral("FERTIG %1 %2 %3 %4 %5")
                 .arg(e.zahlungen)
                 .arg(e.importiert)
                 .arg(e.dublettenAbgelehnt)
                 .arg(e.inzwischenUebernommen)
                 .arg(e.fehler.size() + e.weitereFehler));
  }
  return 0;
}
