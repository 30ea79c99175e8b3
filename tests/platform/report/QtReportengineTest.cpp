#include <gtest/gtest.h>

#include <QRegularExpression>

#include <QPrintPreviewWidget>

#include <QComboBox>

#include <QTest>

#include <QPrinter>

#include <QLineEdit>

#include <QApplication>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <optional>

#include "platform/db/Waehrung.h"
#include "platform/report/Ausgabeeinstellungen.h"
#include "platform/report/Vorschauzoom.h"
#include "platform/report/core/Ausgabefehler.h"
#include "platform/report/QtReportengine.h"
#include "platform/report/Poppler.h"
#include "platform/report/core/Probeliste.h"
#include "platform/report/core/Seitenaufbau.h"
#include "testsupport/TestOrdner.h"

namespace {

using Probeliste::Ausgeben;
using Probeliste::kListe;
using Probeliste::Schreiben;

class QtReportengineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    datei = ordner.Datei(QStringLiteral("Probe.LST"));
    Schreiben(datei, kListe);
  }
  void TearDown() override {
    QtReportengine::DruckerUmleiten({});
    QtReportengine::VorschauHakenSetzen({});
    QtReportengine::DialogHakenSetzen({});
    QtReportengine::DruckerStoerungSetzen({});
  }
  QString Pdf(QtReportengine& e, const QString& name) {
    e.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.Path"), ordner.Pfad());
    e.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), name);
    return ordner.Datei(name);
  }
  TestOrdner ordner;
  QString datei;
};

// Every failure of the table, provoked for real where a build machine can, with the code it gives.
struct Umgebung {
  QString ordner;   // a writable folder
  QString datei;    // a valid list report in it
};

struct Fehlerfall {
  const char* name;
  Ausgabefehler fehler;
  int code;
  // The code, or nullopt where this machine cannot provoke the failure.
  std::function<std::optional<int>(QtReportengine&, const Umgebung&)> provozieren;
};

class Fehlertabelle : public QtReportengineTest, public ::testing::WithParamInterface<Fehlerfall> {};

TEST_P(Fehlertabelle, JederFehlerGibtSeinenCode) {
  const Fehlerfall& fall = GetParam();
  EXPECT_EQ(Ergebniscode(fall.fehler), fall.code);
  QtReportengine e;
  const std::optional<int> code = fall.provozieren(e, Umgebung{ordner.Pfad(), datei});
  if (!code) GTEST_SKIP() << "Auf diesem Rechner nicht herbeizuführen";
  EXPECT_EQ(*code, fall.code);
  EXPECT_FALSE(e.Fehlerdetail().isEmpty());
}

int MitLayout(QtReportengine& e, const Umgebung& u, const QString& text) {
  const QString d = QDir(u.ordner).filePath(QStringLiteral("X.LST"));
  Schreiben(d, text);
  return Ausgeben(e, d, Report::ZielVorschau, 1);
}

int PdfNach(QtReportengine& e, const Umgebung& u, const QString& pfad, const QString& name) {
  e.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.Path"), pfad);
  e.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), name);
  return Ausgeben(e, u.datei, Report::ZielPdf, 2);
}

int DruckerNach(QtReportengine& e, const Umgebung& u, const QString& pdf) {
  QtReportengine::DruckerUmleiten(pdf);
  return Ausgeben(e, u.datei, Report::ZielDrucker, 60);   // two pages
}

const Fehlerfall kFehlerfaelle[] = {
    {"DateiFehlt", Ausgabefehler::DateiFehlt, Report::KeinProjekt,
     [](QtReportengine& e, const Umgebung& u) { return Ausgeben(e, QDir(u.ordner).filePath(QStringLiteral("fehlt.LST")), 2, 1); }},
    // Reading /proc/self/mem from its start fails with an I/O error, whoever reads it.
    {"DateiUnlesbar", Ausgabefehler::DateiUnlesbar, Report::DateiDefekt,
     [](QtReportengine& e, const Umgebung&) { return Ausgeben(e, QStringLiteral("/proc/self/mem"), 2, 1); }},
    {"DateiFormat", Ausgabefehler::DateiFormat, Report::DateiDefekt,
     [](QtReportengine& e, const Umgebung& u) { return MitLayout(e, u, QStringLiteral("\x7f" "ELF kein Report")); }},
    {"FalscherProjekttyp", Ausgabefehler::FalscherProjekttyp, Report::DateiDefekt,
     [](QtReportengine& e, const Umgebung& u) { return e.DruckStarten(Report::Etikett, u.datei, nullptr, {}); }},
    {"UnbekannterName", Ausgabefehler::UnbekannterName, Report::UnbekanntesFeld,
     [](QtReportengine& e, const Umgebung& u) {
       return MitLayout(e, u, QStringLiteral("[Spalte1]\nWert={Name} {Fremdfeld}\n"));
     }},
    {"KeinDrucker", Ausgabefehler::KeinDrucker, Report::DruckerFehlt,
     [](QtReportengine& e, const Umgebung& u) {
       if (!QPrinterInfo::availablePrinters().isEmpty()) return std::optional<int>();   // a machine with printers
       return std::optional<int>(Ausgeben(e, u.datei, Report::ZielDrucker, 1));
     }},
    {"DruckerStart", Ausgabefehler::DruckerStart, Report::DruckerFehlt,
     [](QtReportengine& e, const Umgebung& u) { return DruckerNach(e, u, QDir(u.ordner).filePath(QStringLiteral("fehlt/d.pdf"))); }},
    {"DruckerSeite", Ausgabefehler::DruckerSeite, Report::Druckfehler,
     [](QtReportengine& e, const Umgebung& u) {
       QtReportengine::DruckerStoerungSetzen({true, false});
       return DruckerNach(e, u, QDir(u.ordner).filePath(QStringLiteral("d.pdf")));
     }},
    {"DruckerEnde", Ausgabefehler::DruckerEnde, Report::Druckfehler,
     [](QtReportengine& e, const Umgebung& u) {
       QtReportengine::DruckerStoerungSetzen({false, true});
       return DruckerNach(e, u, QDir(u.ordner).filePath(QStringLiteral("d.pdf")));
     }},
    {"PdfOhneName", Ausgabefehler::PdfOhneName, Report::ExportFehler,
     [](QtReportengine& e, const Umgebung& u) { return PdfNach(e, u, u.ordner, QString()); }},
    {"PdfStart", Ausgabefehler::PdfStart, Report::ExportFehler,
     [](QtReportengine& e, const Umgebung& u) { return PdfNach(e, u, QDir(u.ordner).filePath(QStringLiteral("fehlt")), QStringLiteral("a.pdf")); }},
    // The target name is taken by a folder: the finished file cannot be renamed into place.
    {"PdfSchreiben", Ausgabefehler::PdfSchreiben, Report::ExportFehler,
     [](QtReportengine& e, const Umgebung& u) {
       QDir(u.ordner).mkdir(QStringLiteral("belegt.pdf"));
       return PdfNach(e, u, u.ordner, QStringLiteral("belegt.pdf"));
     }},
};

INSTANTIATE_TEST_SUITE_P(QtReportengine, Fehlertabelle, ::testing::ValuesIn(kFehlerfaelle),
                         [](const ::testing::TestParamInfo<Fehlerfall>& info) { return std::string(info.param.name); });

// The PDF file's failures name the path and the reason in German, with what to do.
TEST_F(QtReportengineTest, PdfFehlerAufDeutsch) {
  QtReportengine e;
  EXPECT_EQ(PdfNach(e, {ordner.Pfad(), datei}, ordner.Datei(QStringLiteral("fehlt")), QStringLiteral("a.pdf")),
            Report::ExportFehler);
  EXPECT_TRUE(e.Fehlerdetail().startsWith(QStringLiteral("Pfad nicht gefunden: ") +
                                          QDir::toNativeSeparators(ordner.Datei(QStringLiteral("fehlt/a.pdf")))))
      << e.Fehlerdetail().toStdString();
  QDir(ordner.Pfad()).mkdir(QStringLiteral("belegt.pdf"));
  EXPECT_EQ(PdfNach(e, {ordner.Pfad(), datei}, ordner.Pfad(), QStringLiteral("belegt.pdf")), Report::ExportFehler);
  EXPECT_TRUE(e.Fehlerdetail().startsWith(QStringLiteral("An dieser Stelle steht ein Ordner: ") +
                                          QDir::toNativeSeparators(ordner.Datei(QStringLiteral("belegt.pdf")))))
      << e.Fehlerdetail().toStdString();
}

TEST(QtReportengineTabelle, JederFehlerHatEineZeile) {
  EXPECT_EQ(AlleAusgabefehler().size(), qsizetype(std::size(kFehlerfaelle)));
  for (const Fehlerfall& f : kFehlerfaelle) EXPECT_TRUE(AlleAusgabefehler().contains(f.fehler)) << f.name;
}

TEST_F(QtReportengineTest, PdfFehlschlagLaesstDieLetzteDateiStehen) {
  const QString ziel = ordner.Datei(QStringLiteral("Uebersicht.pdf"));
  Schreiben(ziel, QStringLiteral("%PDF-1.4 die letzte Übersicht"));
  QtReportengine e;
  // The report cannot start: the old file stays as it was.
  EXPECT_EQ(Ausgeben(e, ordner.Datei(QStringLiteral("fehlt.LST")), Report::ZielPdf, 1), Report::KeinProjekt);
  QFile f(ziel);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("%PDF-1.4 die letzte Übersicht"));
  f.close();
  // A good run replaces it in one step, and nothing is left beside it.
  Pdf(e, QStringLiteral("Uebersicht.pdf"));
  EXPECT_EQ(Ausgeben(e, datei, Report::ZielPdf, 3), Report::Ok);
  EXPECT_EQ(Poppler::Seiten(ziel), 1);
  EXPECT_EQ(QDir(ordner.Pfad()).entryList(QDir::Files).size(), 2);   // the report and the PDF
}

// A disk that fills up while the PDF goes out: the failure is reported and the last file stays whole.
TEST_F(QtReportengineTest, VolleFestplatteBeimPdfIstEinFehler) {
  const QString ziel = ordner.Datei(QStringLiteral("Voll.pdf"));
  Schreiben(ziel, QStringLiteral("%PDF-1.4 die letzte Übersicht"));
  QtReportengine e;
  Pdf(e, QStringLiteral("Voll.pdf"));
  {
    Dateigroessengrenze grenze(4096);
    EXPECT_EQ(Ausgeben(e, datei, Report::ZielPdf, 3), Report::ExportFehler);
  }
  // The reason in German, with what to do (never the system's "Unknown error").
  EXPECT_TRUE(e.Fehlerdetail().startsWith(QStringLiteral("Die Datei ist zu groß für den Datenträger: ") +
                                          QDir::toNativeSeparators(ziel) +
                                          QStringLiteral("\rDie erlaubte Dateigröße ist erreicht")))
      << e.Fehlerdetail().toStdString();
  QFile f(ziel);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("%PDF-1.4 die letzte Übersicht"));
  f.close();
  EXPECT_EQ(QDir(ordner.Pfad()).entryList(QDir::Files).size(), 2);   // nothing left beside it
  EXPECT_EQ(Ausgeben(e, datei, Report::ZielPdf, 3), Report::Ok);    // room again: it goes out
  EXPECT_EQ(Poppler::Seiten(ziel), 1);
}

// The program's engine and the one without windows write the same PDF: the headless run's control
// list is the window's.
TEST_F(QtReportengineTest, PdfGleichDemDerEngineOhneFenster) {
  QtReportengine mit;
  const QString a = Pdf(mit, QStringLiteral("mit.pdf"));
  ASSERT_EQ(Ausgeben(mit, datei, Report::ZielPdf, 80), Report::Ok);
  PdfReportengine ohne;
  ohne.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.Path"), ordner.Pfad());
  ohne.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), QStringLiteral("ohne.pdf"));
  ASSERT_EQ(Ausgeben(ohne, datei, Report::ZielPdf, 80), Report::Ok);
  const QString b = ordner.Datei(QStringLiteral("ohne.pdf"));
  ASSERT_GE(Poppler::Seiten(a), 2);
  EXPECT_EQ(Poppler::Seiten(a), Poppler::Seiten(b));
  EXPECT_EQ(Poppler::Text(a), Poppler::Text(b));
}

TEST_F(QtReportengineTest, AbgebrochenerJobGibtNichtsAus) {
  QtReportengine e;
  const QString pdf = Pdf(e, QStringLiteral("nie.pdf"));
  e.FelderBeginnen();
  e.VariablenBeginnen();
  e.VariableDefinieren(QStringLiteral("Titel"), QString(), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Name"), QString(), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Betrag"), qint64(0), Report::Typ::Zahl);
  ASSERT_EQ(e.DruckStarten(Report::Liste, datei, nullptr, {}), Report::Ok);
  e.DruckOptionSetzen(Report::OptionZiel, Report::ZielPdf);
  e.FelderDrucken();
  e.DruckAbbrechen();
  EXPECT_EQ(e.DruckEnde(0), Report::Ok);
  EXPECT_FALSE(QFileInfo::exists(pdf));
  EXPECT_EQ(e.DruckEnde(0), Report::Ok);   // the common end once more: nothing happens
}

// Copies go out as often as asked for, whether the printer makes them or not: a PDF "printer"
// cannot, so the engine repeats the pages.
TEST_F(QtReportengineTest, KopienWerdenWiederholtWennDerDruckerSieNichtKann) {
  const QString pdf = ordner.Datei(QStringLiteral("drucker.pdf"));
  QtReportengine::DruckerUmleiten(pdf);
  QtReportengine e;
  ASSERT_EQ(Ausgeben(e, datei, Report::ZielDrucker, 60, 3), Report::Ok);
  const int seitenJeKopie = e.Dokument().seiten.size();
  ASSERT_GE(seitenJeKopie, 2);
  EXPECT_EQ(Poppler::Seiten(pdf), 3 * seitenJeKopie);
  // The next job starts with one copy again.
  QtReportengine::DruckerUmleiten(ordner.Datei(QStringLiteral("einmal.pdf")));
  ASSERT_EQ(Ausgeben(e, datei, Report::ZielDrucker, 60), Report::Ok);
  EXPECT_EQ(Poppler::Seiten(ordner.Datei(QStringLiteral("einmal.pdf"))), seitenJeKopie);
}

TEST_F(QtReportengineTest, VorschauZeigtDieSeitenDesJobs) {
  int gezeigt = 0;
  QtReportengine::VorschauHakenSetzen([&gezeigt](QPrintPreviewDialog& vorschau) {
    ++gezeigt;
    EXPECT_TRUE(vorschau.windowTitle().contains(QStringLiteral("Probe")));
  });
  QtReportengine e;
  ASSERT_EQ(Ausgeben(e, datei, Report::ZielVorschau, 5), Report::Ok);
  EXPECT_EQ(e.Dokument().seiten.size(), 1);
  e.VorschauAnzeigen(datei, {}, nullptr);
  EXPECT_EQ(gezeigt, 1);
  e.VorschauDateienLoeschen(datei, {});
  EXPECT_TRUE(e.Dokument().seiten.isEmpty());
}

TEST_F(QtReportengineTest, AusgabeeinstellungenWaehlenZielKopienUndPdf) {
  const QString pdf = ordner.Datei(QStringLiteral("gewaehlt.pdf"));
  QtReportengine::DialogHakenSetzen([&pdf](QDialog& d) {
    auto& dialog = dynamic_cast<Ausgabeeinstellungen&>(d);
    EXPECT_EQ(dialog.Ziel(), Report::ZielVorschau);
    EXPECT_TRUE(dialog.PdfDatei().endsWith(QStringLiteral("vorgabe.pdf")));
    dialog.ZielKnopf(Report::ZielPdf)->click();
    dialog.PdfDateiSetzen(QString());
    EXPECT_FALSE(dialog.OkKnopf()->isEnabled());   // a PDF needs a file name
    dialog.PdfDateiSetzen(pdf);
    dialog.OkKnopf()->click();
    return dialog.result();
  });
  QtReportengine e;
  e.FelderBeginnen();
  e.VariablenBeginnen();
  e.VariableDefinieren(QStringLiteral("Titel"), QStringLiteral("x"), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Name"), QString(), Report::Typ::Text);
  e.FeldDefinieren(QStringLiteral("Betrag"), qint64(0), Report::Typ::Zahl);
  ASSERT_EQ(e.DruckStarten(Report::Liste, datei, nullptr, {}), Report::Ok);
  e.ExportParameterSetzen(QStringLiteral("PDF"), QStringLiteral("Export.File"), QStringLiteral("vorgabe.pdf"));
  ASSERT_EQ(e.OptionenDialog(nullptr, QStringLiteral("Ausgabeeinstellungen"), QStringLiteral("Datenquelle: Probe")), Report::Ok);
  EXPECT_EQ(e.DruckOption(Report::OptionZiel), Report::ZielPdf);
  e.FelderDrucken();
  e.FelderEnde();
  ASSERT_EQ(e.DruckEnde(0), Report::Ok);
  EXPECT_EQ(Poppler::Seiten(pdf), 1);

  QtReportengine::DialogHakenSetzen([](QDialog& d) {
    d.reject();
    return d.result();
  });
  EXPECT_EQ(e.OptionenDialog(nullptr, QStringLiteral("Ausgabeeinstellungen"), {}), Report::Abgebrochen);
}

// The preview's zoom box spoke English ("89.2%"): German in the list and the field, and a German entry zooms.
TEST(Vorschauzoom, DeutscheFormUndLesart) {
  EXPECT_EQ(Vorschauzoom::Deutsch(QStringLiteral("89.2%")), QStringLiteral("89,2 %"));
  EXPECT_EQ(Vorschauzoom::Deutsch(QStringLiteral("100.0%")), QStringLiteral("100 %"));
  EXPECT_EQ(Vorschauzoom::Deutsch(QStringLiteral("12.5%")), QStringLiteral("12,5 %"));
  EXPECT_EQ(Vorschauzoom::Deutsch(QStringLiteral("200%")), QStringLiteral("200 %"));
  EXPECT_EQ(Vorschauzoom::Deutsch(QStringLiteral("89,2 %")), QStringLiteral("89,2 %"));
  EXPECT_EQ(Vorschauzoom::Faktor(QStringLiteral("87,5 %")), 0.875);
  EXPECT_EQ(Vorschauzoom::Faktor(QStringLiteral("150")), 1.5);
  EXPECT_EQ(Vorschauzoom::Faktor(QStringLiteral(" 12.5% ")), 0.125);
  EXPECT_FALSE(Vorschauzoom::Faktor(QStringLiteral("0 %")));
  EXPECT_FALSE(Vorschauzoom::Faktor(QStringLiteral("%")));
  EXPECT_FALSE(Vorschauzoom::Faktor(QStringLiteral("abc")));
}

TEST_F(QtReportengineTest, VorschauZoomtAufDeutsch) {
  QtReportengine::VorschauHakenSetzen([](QPrintPreviewDialog& vorschau) {
    vorschau.show();
    QApplication::processEvents();
    auto* box = vorschau.findChild<QComboBox*>();
    auto* widget = vorschau.findChild<QPrintPreviewWidget*>();
    ASSERT_TRUE(box && widget);
    const QRegularExpression deutsch(QStringLiteral("^\\d+(,\\d)? %$"));
    for (int i = 0; i < box->count(); ++i)
      EXPECT_TRUE(deutsch.match(box->itemText(i)).hasMatch()) << box->itemText(i).toStdString();
    widget->zoomIn();   // Qt writes its own form after a zoom
    QApplication::processEvents();
    EXPECT_TRUE(deutsch.match(box->currentText()).hasMatch()) << box->currentText().toStdString();
    box->lineEdit()->setText(QStringLiteral("87,5 %"));
    Q_EMIT box->lineEdit()->editingFinished();
    EXPECT_DOUBLE_EQ(widget->zoomFactor(), 0.875);
    EXPECT_EQ(box->currentText(), QStringLiteral("87,5 %"));
    const int zwoelf = box->findText(QStringLiteral("12,5 %"));
    ASSERT_GE(zwoelf, 0);
    Q_EMIT box->textActivated(box->itemText(zwoelf));
    EXPECT_DOUBLE_EQ(widget->zoomFactor(), 0.125);
    vorschau.close();
  });
  QtReportengine e;
  ASSERT_EQ(Ausgeben(e, datei, Report::ZielVorschau, 5), Report::Ok);
  e.VorschauAnzeigen(datei, {}, nullptr);
}

// Alt+T (the file's label) goes into the path field and what is typed there chooses the PDF target:
// a typed path never goes nowhere (Alt+D reached the printer option, the field stayed grey).
TEST_F(QtReportengineTest, GetippterPdfPfadWaehltDasPdfZiel) {
  QPrinter drucker;
  Ausgabeeinstellungen dialog(drucker, QStringLiteral("Ausgabeeinstellungen"), {});
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  ASSERT_EQ(dialog.Ziel(), Report::ZielVorschau);
  QTest::keyClick(&dialog, Qt::Key_T, Qt::AltModifier);
  auto* feld = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(feld, nullptr);
  QTest::keyClicks(feld, QStringLiteral("/tmp/liste.pdf"));
  EXPECT_EQ(dialog.Ziel(), Report::ZielPdf);
  EXPECT_EQ(dialog.PdfDatei(), QStringLiteral("/tmp/liste.pdf"));
  EXPECT_TRUE(dialog.OkKnopf()->isEnabled());
  // Choosing the printer afterwards keeps the path for later and prints.
  dialog.ZielKnopf(Report::ZielDrucker)->click();
  EXPECT_EQ(dialog.Ziel(), Report::ZielDrucker);
}

TEST_F(QtReportengineTest, ZeileDieNiePasstWirdAufFrischerSeiteAbgeschnitten) {
  // One wrapping column with a text far longer than a page: asked for once more, then cut.
  Schreiben(datei, QStringLiteral("[Seite]\nGroesse=12\n[Spalte1]\nWert={Name}\nBreite=10\nUmbruch=1\n"));
  QtReportengine e;
  e.FelderBeginnen();
  e.VariablenBeginnen();
  e.FeldDefinieren(QStringLiteral("Name"), QString(), Report::Typ::Text);
  ASSERT_EQ(e.DruckStarten(Report::Liste, datei, nullptr, {}), Report::Ok);
  e.Drucken();
  e.FeldDefinieren(QStringLiteral("Name"), QStringLiteral("kurz"), Report::Typ::Text);
  EXPECT_EQ(e.FelderDrucken(), Report::Ok);
  e.FeldDefinieren(QStringLiteral("Name"), QString(QStringLiteral("Wort ")).repeated(2000), Report::Typ::Text);
  EXPECT_EQ(e.FelderDrucken(), Report::Wiederholen);
  e.Drucken();
  EXPECT_EQ(e.FelderDrucken(), Report::Ok);
  EXPECT_EQ(e.AktuelleSeite(), 2);
  EXPECT_EQ(e.FelderEnde(), Report::Ok);
}

TEST_F(QtReportengineTest, DerDesignerBekommtDieDeklarationenUndSortierungenDesDrucks) {
  QtReportengine e;
  Reportdefinitionen gesehen;
  QString gesehenDatei;
  QtReportengine::DesignerSetzen([&](QWidget*, const QString& titel, int typ, const QString& d, const Reportdefinitionen& def) {
    EXPECT_EQ(titel, QStringLiteral("Zahlungsliste"));
    EXPECT_EQ(typ, Report::Liste);
    gesehenDatei = d;
    gesehen = def;
    return Report::Ok;
  });
  e.SortierungenBeginnen();
  e.SortierungDefinieren(QStringLiteral("Name"), QStringLiteral("Name"));
  e.SortierungDefinieren(QStringLiteral("Betrag"), QStringLiteral("nach Betrag"));
  // The declarations, in their order; a second definition before the start replaces the value.
  ASSERT_EQ(Ausgeben(e, datei, Report::ZielVorschau, 3), Report::Ok);
  EXPECT_EQ(e.Designer(nullptr, QStringLiteral("Zahlungsliste"), Report::Liste, datei), Report::Ok);
  QtReportengine::DesignerSetzen({});
  EXPECT_EQ(gesehenDatei, datei);
  ASSERT_EQ(gesehen.felder.size(), 2);
  EXPECT_EQ(gesehen.felder.at(0).name, QStringLiteral("Name"));
  EXPECT_EQ(gesehen.felder.at(1).name, QStringLiteral("Betrag"));
  EXPECT_EQ(gesehen.felder.at(1).typ, Report::Typ::Zahl);
  EXPECT_EQ(gesehen.felder.at(1).wert.toLongLong(), 12345) << "the rows printed do not change the declaration";
  ASSERT_EQ(gesehen.variablen.size(), 1);
  EXPECT_EQ(gesehen.variablen.at(0).wert.toString(), QStringLiteral("Prüfung"));
  EXPECT_EQ(gesehen.sortierungen,
            (QList<std::pair<QString, QString>>{{QStringLiteral("Name"), QStringLiteral("Name")},
                                                {QStringLiteral("Betrag"), QStringLiteral("nach Betrag")}}));
  EXPECT_TRUE(gesehen.IstFeld(QStringLiteral("Betrag")));
  EXPECT_FALSE(gesehen.IstVariable(QStringLiteral("Betrag")));

  // A new print starts its declarations afresh.
  e.FelderBeginnen();
  e.VariablenBeginnen();
  e.SortierungenBeginnen();
  EXPECT_TRUE(e.Definitionen().felder.isEmpty());
  EXPECT_TRUE(e.Definitionen().variablen.isEmpty());
  EXPECT_TRUE(e.Definitionen().sortierungen.isEmpty());

  // Without a designer: a missing file is "no project", an existing one "no designer".
  EXPECT_EQ(e.Designer(nullptr, {}, Report::Liste, datei), Report::KeinDesigner);
  EXPECT_EQ(e.Designer(nullptr, {}, Report::Liste, ordner.Datei(QStringLiteral("Fehlt.LST"))), Report::KeinProjekt);
}

TEST_F(QtReportengineTest, ProbedruckFuerDieVorschauUngeprueft) {
  // A sum asked for on a column of text and two fields, and unknown names: laid out, never a crash.
  Reportlayout l = *Reportdatei::AusText(kListe).layout;
  l.spalten[0].summe = true;
  l.spalten[0].wert = QStringLiteral("{Name} {Gibtsnicht}");
  l.spalten << Reportspalte{QStringLiteral("Leer"), QString(), 20, Spaltenausrichtung::Links, true};
  QList<QHash<QString, QVariant>> zeilen;
  for (int i = 1; i <= 200; ++i)
    zeilen << QHash<QString, QVariant>{{QStringLiteral("Name"), QStringLiteral("Kunde %1").arg(i)},
                                        {QStringLiteral("Betrag"), QVariant::fromValue(Waehrung::AusEuro(i))}};
  const Druckdokument d = Seitenaufbau::Probedruck(l, zeilen, [](const QString& name) {
    return name == QLatin1String("Titel") ? QVariant(QStringLiteral("Vorschau")) : QVariant();
  });
  ASSERT_GE(d.seiten.size(), 3);
  QStringList texte;
  for (const auto& seite : d.seiten)
    for (const auto& t : seite.texte) texte << t.text;
  EXPECT_TRUE(texte.contains(QStringLiteral("Liste Vorschau")));
  EXPECT_TRUE(texte.contains(QStringLiteral("Kunde 200 ")));
  EXPECT_TRUE(texte.contains(QStringLiteral("20.100,00")));   // the sum of 1 .. 200 euros
}

}  // namespace
