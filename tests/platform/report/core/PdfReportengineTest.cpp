// The report engine without windows: what needs a window or a printer answers as on a machine without
// them; layout and PDF are the program engine's.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "platform/report/core/PdfReportengine.h"
#include "platform/report/Poppler.h"
#include "platform/report/core/Probeliste.h"
#include "testsupport/TestOrdner.h"

namespace {

class PdfReportengineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    datei = ordner.Datei(QStringLiteral("Probe.LST"));
    Probeliste::Schreiben(datei, Probeliste::kListe);
  }
  TestOrdner ordner;
  QString datei;
  PdfReportengine e;
};

TEST_F(PdfReportengineTest, DialogeUndDesignerAntwortenWieOhneBildschirm) {
  QString gewaehlt = QStringLiteral("/programm/*.lst");
  EXPECT_EQ(e.DateiAuswaehlen(nullptr, QStringLiteral("Reportdatei wählen"), Report::Liste, gewaehlt), Report::Abgebrochen);
  EXPECT_EQ(gewaehlt, QStringLiteral("/programm/*.lst"));   // the pattern is left as it was
  EXPECT_EQ(e.OptionenDialog(nullptr, QStringLiteral("Ausgabeeinstellungen"), {}), Report::Abgebrochen);
  EXPECT_FALSE(e.DruckerVorhanden());
  // The designer: a missing report is reported missing, an existing one has no designer here.
  const QString fehlt = ordner.Datei(QStringLiteral("Fehlt.LST"));
  EXPECT_EQ(e.Designer(nullptr, QStringLiteral("Liste"), Report::Liste, fehlt), Report::KeinProjekt);
  EXPECT_EQ(e.Fehlerdetail(), QDir::toNativeSeparators(fehlt));
  EXPECT_EQ(e.Designer(nullptr, QStringLiteral("Liste"), Report::Liste, datei), Report::KeinDesigner);
}

TEST_F(PdfReportengineTest, DruckerzielMeldetDassKeinDruckerDaIst) {
  EXPECT_EQ(Probeliste::Ausgeben(e, datei, Report::ZielDrucker, 2), Report::DruckerFehlt);
  EXPECT_EQ(e.Fehlerdetail(), QStringLiteral("Auf diesem Rechner ist kein Drucker eingerichtet."));
  EXPECT_TRUE(QDir(ordner.Pfad()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty());
}

TEST_F(PdfReportengineTest, PdfZielSchreibtDieSeitenOhneFenster) {
  e.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.Path"), ordner.Pfad());
  e.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), QStringLiteral("Probe.pdf"));
  ASSERT_EQ(Probeliste::Ausgeben(e, datei, Report::ZielPdf, 3), Report::Ok);
  const QString pdf = ordner.Datei(QStringLiteral("Probe.pdf"));
  EXPECT_EQ(Poppler::Seiten(pdf), 1);
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Liste Prüfung")));
  EXPECT_TRUE(text.contains(QStringLiteral("Kunde 3")));
  EXPECT_TRUE(text.contains(QStringLiteral("Seite 1 von 1")));
}

// A typed or derived PDF name may hit a file that is no PDF (the database, a SEPA file, a report): that
// file stays as it was and the reason is named; an earlier PDF of the name is replaced, a new name written.
TEST_F(PdfReportengineTest, PdfZielErsetztNurEinePdfDatei) {
  struct Fall {
    const char* name;
    QByteArray vorher;   // empty: no file of the name yet
    bool geschrieben;
  };
  const Fall faelle[] = {
      {"Datenbank.db", QByteArray("SQLite format 3\0\x10\0", 18), false},   // header and page size
      {"SEPAGK.XML", "<?xml version=\"1.0\"?><Document/>", false},
      {"Falsch.pdf", "kein PDF", false},
      {"Leer.pdf", QByteArray(), true},
      {"Alt.pdf", "%PDF-1.4\n%alt\n", true},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    const QString ziel = ordner.Datei(QString::fromUtf8(f.name));
    if (!f.vorher.isEmpty()) TestOrdner::Schreiben(ziel, f.vorher);
    PdfReportengine engine;
    engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.Path"), ordner.Pfad());
    engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), QString::fromUtf8(f.name));
    const int code = Probeliste::Ausgeben(engine, datei, Report::ZielPdf, 3);
    if (f.geschrieben) {
      EXPECT_EQ(code, Report::Ok);
      EXPECT_EQ(Poppler::Seiten(ziel), 1);
    } else {
      EXPECT_NE(code, Report::Ok);
      EXPECT_EQ(engine.Fehlerdetail(),
                QStringLiteral("Die Datei %1 ist keine PDF-Datei und wird nicht überschrieben.\rBitte wählen Sie für die "
                               "PDF-Ausgabe einen anderen Dateinamen.")
                    .arg(QDir::toNativeSeparators(ziel)));
      EXPECT_EQ(TestOrdner::Lesen(ziel), f.vorher);
    }
  }
  // The report file itself, named as the target.
  PdfReportengine engine;
  engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), datei);
  const QByteArray bericht = TestOrdner::Lesen(datei);
  EXPECT_NE(Probeliste::Ausgeben(engine, datei, Report::ZielPdf, 3), Report::Ok);
  EXPECT_EQ(TestOrdner::Lesen(datei), bericht);
}

// A name typed without its folder would land wherever the program was started: refused with the reason.
TEST_F(PdfReportengineTest, PdfZielOhneVollstaendigenPfad) {
  struct Zurueck {
    QString ordner = QDir::currentPath();
    ~Zurueck() { QDir::setCurrent(ordner); }
  } zurueck;
  QDir().mkpath(ordner.Datei(QStringLiteral("unter")));
  ASSERT_TRUE(QDir::setCurrent(ordner.Pfad()));
  for (const char* name : {"relativ.pdf", "unter/relativ.pdf", "./relativ.pdf", "C:\\relativ.pdf"}) {
    SCOPED_TRACE(name);
    PdfReportengine engine;
    engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), QString::fromUtf8(name));
    EXPECT_NE(Probeliste::Ausgeben(engine, datei, Report::ZielPdf, 3), Report::Ok);
    EXPECT_TRUE(engine.Fehlerdetail().startsWith(
        QStringLiteral("Die PDF-Datei %1 ist ohne vollständigen Pfad angegeben").arg(QDir::toNativeSeparators(QString::fromUtf8(name)))))
        << engine.Fehlerdetail().toStdString();
  }
  EXPECT_TRUE(QDir(ordner.Pfad()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty());
  EXPECT_TRUE(QDir(ordner.Datei(QStringLiteral("unter"))).entryList(QDir::Files).isEmpty());
  // With its folder given apart (the SEPA overview), the bare name is fine.
  PdfReportengine engine;
  engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.Path"), ordner.Datei(QStringLiteral("unter")));
  engine.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), QStringLiteral("relativ.pdf"));
  EXPECT_EQ(Probeliste::Ausgeben(engine, datei, Report::ZielPdf, 3), Report::Ok);
  EXPECT_EQ(Poppler::Seiten(ordner.Datei(QStringLiteral("unter/relativ.pdf"))), 1);
}

// The preview target keeps the pages for a preview the engine cannot show; deleting the preview's
// files drops them. Nothing goes out of a cancelled job, and the progress box it does not have
// still reports the cancel.
TEST_F(PdfReportengineTest, VorschauUndAbbruchOhneFenster) {
  ASSERT_EQ(Probeliste::Ausgeben(e, datei, Report::ZielVorschau, 5), Report::Ok);
  EXPECT_EQ(e.Dokument().seiten.size(), 1);
  e.VorschauAnzeigen(datei, {}, nullptr);
  EXPECT_EQ(e.Dokument().seiten.size(), 1);
  e.VorschauDateienLoeschen(datei, {});
  EXPECT_TRUE(e.Dokument().seiten.isEmpty());

  e.FelderBeginnen();
  e.VariablenBeginnen();
  e.VariableDefinieren(QStringLiteral("Titel"), QString(), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Name"), QString(), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Betrag"), qint64(0), Report::Typ::Zahl);
  ASSERT_EQ(e.DruckStarten(Report::Liste, datei, nullptr, {}), Report::Ok);
  EXPECT_EQ(e.BoxTextSetzen(QStringLiteral("Zeile 1"), 50), Report::Ok);
  e.DruckAbbrechen();
  EXPECT_EQ(e.BoxTextSetzen(QStringLiteral("Zeile 2"), 100), Report::Abgebrochen);
  EXPECT_EQ(e.DruckEnde(0), Report::Ok);
  EXPECT_TRUE(e.Dokument().seiten.isEmpty());
}

}  // namespace
