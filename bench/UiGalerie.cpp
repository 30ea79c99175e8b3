// Gallery of the user-interface layer (not part of the program): the data grid over 100,000
// generated payments with filter bar, footers, marks, row colours and a drop-down.
//   ui-galerie [--zeilen N] [--bildschirmfoto datei.png]
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "GitterBeispieldaten.h"
#include "common/FilterBedingung.h"
#include "platform/db/Recordset.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/GitterDropDown.h"
#include "platform/ui/GitterFormatierung.h"

namespace {

// Signed total of the listed payments: credit transfers count negative.
QString Summe(Datenbank& db, const Bedingung& b, bool& negativ) {
  DbFehler f;
  const auto w = db.Wert(SqlText("SELECT SUM(CASE WHEN Art = 'G' THEN -ZahlungsBetrag ELSE ZahlungsBetrag END) "
                                 "FROM Zahlungen") + b.AlsWhere(),
                         b.parameter, f);
  const qint64 roh = w && !f ? w->toLongLong() : 0;
  negativ = roh < 0;
  return GitterFormatierung::Zahl(roh, 2, true);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamo-SEPA"));
  QCommandLineParser optionen;
  optionen.addOption({QStringLiteral("zeilen"), QStringLiteral("Anzahl der Zahlungen"), QStringLiteral("n"),
                      QStringLiteral("100000")});
  optionen.addOption({QStringLiteral("bildschirmfoto"), QStringLiteral("Bild speichern und beenden"),
                      QStringLiteral("datei")});
  optionen.addHelpOption();
  optionen.process(app);

  DatenGitter::SetzeStandardFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  auto db = GitterBeispieldaten(optionen.value(QStringLiteral("zeilen")).toInt());
  DbFehler fehler;
  Abfrage abfrage = Abfrage::Tabelle(QStringLiteral("Zahlungen"));
  abfrage.sortierung = SqlText("ZahlungNr");
  auto rs = Recordset::Oeffnen(*db, abfrage, RecordsetTyp::Dynaset, fehler);
  Abfrage op = Abfrage::Tabelle(QStringLiteral("Vorgaenge"));
  op.sortierung = SqlText("Vom DESC");
  auto opRs = Recordset::Oeffnen(*db, op, RecordsetTyp::Snapshot, fehler);
  if (!rs || !opRs) qFatal("Abfrage: %s", qUtf8Printable(fehler.Beschreibung));

  QMainWindow fenster;
  fenster.setWindowTitle(QStringLiteral("Tamo-SEPA – Galerie der Bedienelemente"));
  auto* mitte = new QWidget(&fenster);
  auto* layout = new QVBoxLayout(mitte);
  layout->setContentsMargins(6, 6, 6, 6);
  auto* gitter = new DatenGitter(mitte);
  layout->addWidget(gitter);
  fenster.setCentralWidget(mitte);

  gitter->SetzeSpaltenHalten(true);
  gitter->SpalteHinzufuegen(QStringLiteral("Name"));
  gitter->SpalteHinzufuegen(QStringLiteral("IBAN"));
  gitter->SpalteHinzufuegen(QStringLiteral("Verwendungszweck"));
  const int rgNr = gitter->SpalteHinzufuegen(QStringLiteral("OPVorgangNr"), QStringLiteral("Rg-Nr"));
  const int betrag = gitter->SpalteHinzufuegen(QStringLiteral("ZahlungsBetrag"), QStringLiteral("Betrag"));
  const int faellig = gitter->SpalteHinzufuegen(QStringLiteral("Faellig"), QStringLiteral("Fällig"));
  const int art = gitter->SpalteHinzufuegen(QStringLiteral("Art"));
  gitter->SetzeRecordset(rs.get());
  gitter->SetzeSpaltenformat(betrag, GitterFormat::Standard);
  gitter->SetzeSpaltenformat(faellig, GitterFormat::KurzesDatum);
  gitter->SetzeSpalteSichtbar(art, false);
  gitter->SetzeWechselndeZeilen(true);
  gitter->SetzeMarkierenPerDoppelklick(true);
  gitter->SetzeMarkierenPerLeertaste(true);
  gitter->SetzeZellStil([gitter](int zeile, int, ZellStil& stil) {
    const QString a = gitter->Wert(zeile, QStringLiteral("Art")).toString();
    if (a == QStringLiteral("G")) stil.vordergrund = QColor(255, 0, 0);
    else if (a == QStringLiteral("L")) stil.vordergrund = QColor(0, 0, 255);
  });
  gitter->SetzeFussleiste(true);
  gitter->SetzeFussText(gitter->SpaltenIndex(QStringLiteral("Verwendungszweck")), QStringLiteral("Summe"));
  gitter->SetzeFilterGrundlage({}, SqlText("ZahlungNr"));

  auto* liste = new GitterDropDown(&fenster);
  liste->SpalteHinzufuegen(QStringLiteral("VorgangsNr"));
  liste->SpalteHinzufuegen(QStringLiteral("Art"));
  liste->SpalteHinzufuegen(QStringLiteral("Vom"), QStringLiteral("Vom"), GitterFormat::KurzesDatum);
  liste->SpalteHinzufuegen(QStringLiteral("Rest"), QStringLiteral("Rest"), GitterFormat::Standard);
  liste->SetzeRecordset(opRs.get());
  liste->SetzeListenfeld(QStringLiteral("VorgangsNr"));
  liste->SetzeSichtbareZeilen(liste->ZeilenAnzahl() < 15 ? liste->ZeilenAnzahl() + 1.8 : 15);
  gitter->SetzeDropDown(rgNr, liste);

  auto* status = new QLabel(&fenster);
  fenster.statusBar()->addWidget(status, 1);
  const auto anzeigen = [&, gitter] {
    bool negativ = false;
    gitter->SetzeFussText(betrag, Summe(*db, rs->AbfrageTeile().bedingung, negativ));
    gitter->SetzeFussFarbe(betrag, negativ ? QColor(255, 0, 0) : fenster.palette().color(QPalette::ButtonText));
    status->setText(QStringLiteral("%1 Zahlungen, %2 markiert").arg(gitter->ZeilenAnzahl()).arg(gitter->MarkenAnzahl()));
  };
  QObject::connect(gitter, &DatenGitter::MarkenGeaendert, &fenster, anzeigen);
  QObject::connect(gitter, &DatenGitter::FilterAngewendet, &fenster, anzeigen);
  QObject::connect(gitter, &DatenGitter::AbfrageFehlgeschlagen, &fenster, [status](const DbFehler& f) {
    status->setText(QStringLiteral("Fehler bei der Datenermittlung! ") + f.Beschreibung);
  });
  QObject::connect(gitter, &DatenGitter::ZeileSpalteGewechselt, &fenster, [gitter, status, anzeigen] {
    if (gitter->ImFilter() && gitter->AktuelleSpalte() >= 0)
      status->setText(QStringLiteral("Eingabe Suchbegriff für: ") + gitter->Spalte(gitter->AktuelleSpalte()).titel);
    else
      anzeigen();
  });

  QToolBar* leiste = fenster.addToolBar(QStringLiteral("Werkzeuge"));
  leiste->setMovable(false);
  QAction* suchen = leiste->addAction(QStringLiteral("&Suchen"));
  suchen->setCheckable(true);
  suchen->setShortcut(Qt::Key_F3);
  suchen->setToolTip(QStringLiteral("Suchmodus ein/aus (F3)"));
  QObject::connect(suchen, &QAction::toggled, gitter, [gitter](bool an) {
    gitter->FilterTexteLeeren();
    gitter->SetzeFilterleiste(an);
    gitter->FilterAnwenden();
    gitter->SetzeMarkierungsstil(an ? DatenGitter::Markierungsstil::SchwebenderEditor
                                    : DatenGitter::Markierungsstil::ZeileHervorgehoben);
    if (an) gitter->FilterZelleBearbeiten(0);
  });
  leiste->addSeparator();
  QObject::connect(leiste->addAction(QStringLiteral("All&es markieren")), &QAction::triggered, gitter,
                   [gitter] { gitter->AlleMarkieren(); });
  QObject::connect(leiste->addAction(QStringLiteral("Markie&rung aufheben")), &QAction::triggered, gitter,
                   [gitter] { gitter->MarkenLeeren(); });
  leiste->addSeparator();
  QAction* bearbeiten = leiste->addAction(QStringLiteral("Zellen &bearbeiten"));
  bearbeiten->setCheckable(true);
  QObject::connect(bearbeiten, &QAction::toggled, gitter, [gitter](bool an) {
    gitter->SetzeZulassenAendern(an);
    gitter->SetzeMarkierungsstil(an ? DatenGitter::Markierungsstil::SchwebenderEditor
                                    : DatenGitter::Markierungsstil::ZeileHervorgehoben);
  });

  fenster.resize(1100, 640);
  fenster.show();
  gitter->SpaltenProzenteAnwenden({20.f, 19.f, 28.f, 9.f, 11.f, 9.f});
  anzeigen();

  const QString foto = optionen.value(QStringLiteral("bildschirmfoto"));
  if (!foto.isEmpty()) {
    QTimer::singleShot(200, &fenster, [&, gitter] {
      suchen->setChecked(true);
      gitter->SetzeFilterText(0, QStringLiteral("mü"));
      gitter->FilterAnwenden();
      for (int z : {5, 1, 7}) gitter->MarkeSetzen(z);
      gitter->SetzeAktuelleZelle(2, rgNr);
      gitter->Ansicht()->setFocus();
      gitter->DropDownOeffnen();
      QTimer::singleShot(300, &fenster, [&, liste] {
        QPixmap bild = fenster.grab();
        // The popup is a window of its own: paint it where it stands.
        QPainter p(&bild);
        p.drawPixmap(fenster.mapFromGlobal(liste->pos()), liste->grab());
        p.end();
        bild.save(foto);
        QApplication::quit();
      });
    });
  }
  return QApplication::exec();
}
