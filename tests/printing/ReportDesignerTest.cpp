#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "common/Datenbankstart.h"
#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/report/Ausgabeeinstellungen.h"
#include "platform/report/Poppler.h"
#include "platform/report/QtReportengine.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/MeldungsRekorder.h"
#include "platform/ui/OptionsGruppe.h"
#include "printing/DruckLL.h"
#include "printing/ReportAuswaehlen.h"
#include "printing/ReportDesigner.h"
#include "printing/core/ReportDrucken.h"
#include "printing/core/Reportentwurf.h"
#include "printing/Reportjob.h"
#include "printing/Zeileneditor.h"
#include "Druckumgebung.h"
#include "testsupport/Hilfeseite.h"
#include "testsupport/QtWarnungen.h"
#include "testsupport/TestOrdner.h"

namespace {

// A program folder, a database with payments in it for the settings and the rows, and the real
// engine with the designer plugged in; the designer is worked by `bedienen` instead of its loop.
class ReportDesignerTest : public Druckumgebung {
 protected:
  void SetUp() override {
    Druckumgebung::SetUp();
    Datenbank& db = *Zustand().Datenbank();
    ASSERT_FALSE(db.Ausfuehren(SqlText("UPDATE Absender SET Name = 'Bäckerei Größe', IBAN = 'DE89370400440532013000' "
                                       "WHERE AbsenderNr = 1")));
    // Amounts whose sum needs the thousands point; names in the collation's order Müller, Zander, Ärger.
    const struct {
      int nr;
      const char* name;
      qint64 cent;
    } zahlungen[] = {{1, "Zander", 100000}, {2, "Ärger", 23456}, {3, "Müller", 1}};
    for (const auto& z : zahlungen) {
      ASSERT_FALSE(db.Ausfuehren(
          SqlText("INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name, IBAN, BIC, ZahlungGesamt, \"Fällig\") "
                  "VALUES (?, 1, 'G', ?, 'DE02120300000000202051', 'BYLADEM1001', ?, ?)"),
          {z.nr, QString::fromUtf8(z.name), QVariant::fromValue(Waehrung::AusCent(z.cent)), QDate(2025, 4, z.nr)}));
      ASSERT_FALSE(db.Ausfuehren(SqlText("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) "
                                         "VALUES (?, 1, ?, ?)"),
                                 {z.nr, QStringLiteral("RE-%1").arg(z.nr), QVariant::fromValue(Waehrung::AusCent(z.cent))}));
    }
    ReportDesigner::Einsetzen();
  }
  void TearDown() override {
    ReportDesigner::HakenSetzen({});
    DruckdialogHakenSetzen({});
    QtReportengine::DesignerSetzen({});
    Reportjob::Schliessen();
    Druckumgebung::TearDown();
  }

  std::unique_ptr<Reportdaten> Zeilen() {
    Abfrage a;
    a.quelle = SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
    a.sortierung = SqlText("Zahlungen.ZahlungNr");
    DbFehler f;
    std::unique_ptr<Recordset> rs = Recordset::Oeffnen(*Zustand().Datenbank(), a, RecordsetTyp::Snapshot, f);
    EXPECT_TRUE(rs) << f.Meldungstext().toStdString();
    return std::make_unique<RecordsetReportdaten>(std::move(rs));
  }
  QList<ReportVariable> Variablen() const {
    return {{QStringLiteral("Zahlungsliste.Formularart"), QStringLiteral("Alle"), Report::Typ::Text},
            {QStringLiteral("Zahlungsliste.Status"), QStringLiteral("Offen"), Report::Typ::Text}};
  }
  Druckformular Formular() const { return DruckformularErgaenzen({.titel = QStringLiteral("Zahlungsliste")}); }
  // A print as a window makes it: its failures shown.
  int Melden(const Druckergebnis& ergebnis) {
    DruckergebnisMelden(ergebnis, nullptr);
    return ergebnis.code;
  }

  // The designer as "Rep&ort ändern" / "&Neuer Report" opens it through the driver and the engine.
  int DesignerUeberDenDruck(const QString& datei, const std::function<void(ReportDesigner&)>& bedienen) {
    ReportDesigner::HakenSetzen([&](ReportDesigner& d) {
      gezeigt = true;
      bedienen(d);
    });
    Druckanfrage anfrage;
    anfrage.ReportDatei = datei;
    anfrage.DesignerAufruf = true;
    anfrage.DruckZiel = Report::ZielVorschau;
    auto daten = Zeilen();
    return Melden(ReportDrucken(*daten, anfrage, Variablen(), Formular(), engine));
  }

  int PdfDrucken(const QString& datei, const QString& pdf) {
    Druckanfrage anfrage;
    anfrage.ReportDatei = datei;
    anfrage.DruckZiel = Report::ZielPdf;
    anfrage.PdfDateiname = QFileInfo(pdf).fileName();
    anfrage.PdfPfad = QFileInfo(pdf).absolutePath();
    auto daten = Zeilen();
    QtReportengine druck;
    return Melden(ReportDrucken(*daten, anfrage, Variablen(), Formular(), druck));
  }

  // What a real print of the payment rows defines, as the engine hands it to the designer.
  Reportdefinitionen Definitionen() {
    Reportdefinitionen gesehen;
    QtReportengine::DesignerSetzen([&](QWidget*, const QString&, int, const QString&, const Reportdefinitionen& d) {
      gesehen = d;
      return Report::Abgebrochen;
    });
    Druckanfrage anfrage;
    anfrage.ReportDatei = Datei(QStringLiteral("Fehlt.LST"));
    anfrage.DesignerAufruf = true;
    auto daten = Zeilen();
    QtReportengine e;
    Melden(ReportDrucken(*daten, anfrage, Variablen(), Formular(), e));
    ReportDesigner::Einsetzen();
    return gesehen;
  }

  // A designer on `datei` with those definitions, shown.
  std::unique_ptr<ReportDesigner> Designer(const QString& datei) {
    auto d = std::make_unique<ReportDesigner>(datei, Definitionen(), QStringLiteral("Zahlungsliste"));
    QString fehler;
    EXPECT_TRUE(d->Laden(fehler)) << fehler.toStdString();
    d->show();
    return d;
  }

  static void FeldWaehlen(ReportDesigner& d, const QString& feld) {
    for (int i = 0; i < d.Felder()->count(); ++i)
      if (d.Felder()->item(i)->data(Qt::UserRole).toString() == feld) {
        d.Felder()->setCurrentRow(i);
        return;
      }
    ADD_FAILURE() << "kein Feld " << feld.toStdString();
  }
  // Types as a user does (umlauts included), replacing the field's text.
  static void Tippen(QLineEdit* feld, const QString& text) {
    feld->setFocus();
    feld->selectAll();
    for (QChar c : text) {
      if (c.unicode() < 128) {
        QTest::keyClick(feld, c.toLatin1());
      } else {
        QKeyEvent taste(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(feld, &taste);
      }
    }
  }
  static void Klicken(QAbstractButton* knopf) {
    ASSERT_TRUE(knopf->isEnabled()) << knopf->text().toStdString();
    QTest::mouseClick(knopf, Qt::LeftButton);
  }

  QtReportengine engine;
  MeldungsRekorder meldungen;
  bool gezeigt = false;
};

TEST_F(ReportDesignerTest, NeuerReportAusDenFeldernGespeichertGedrucktUndWiederGeoeffnet) {
  QtWarnungen warnungen;
  const QString datei = Datei(QStringLiteral("Zahlungsliste1.LST"));
  Reportlayout gespeichert;
  const int ergebnis = DesignerUeberDenDruck(datei, [&](ReportDesigner& d) {
    EXPECT_TRUE(d.windowTitle().contains(QStringLiteral("Zahlungsliste1.LST")));
    EXPECT_TRUE(d.Geaendert()) << "a new report is not in the file yet";
    // A new report: the caller's caption as title, sender and report date in the header.
    ASSERT_EQ(d.Titel()->Anzahl(), 1);
    EXPECT_EQ(d.Titel()->Text(0)->text(), QStringLiteral("Zahlungsliste"));
    EXPECT_EQ(d.Kopf(0)->text(), QStringLiteral("{Absender.Name}"));
    EXPECT_EQ(d.Kopf(2)->text(), QStringLiteral("Reportdatum: {Allgemeines.AusgabeReportDatum}"));
    EXPECT_EQ(d.Spalten()->rowCount(), 0);
    EXPECT_EQ(d.VorschauSeiten(), 0);

    Tippen(d.Beschreibung(), QStringLiteral("Zahlungen nach Namen"));
    for (const char* feld : {"Name", "IBAN", "ZahlungsBetrag", "Fällig", "BIC"}) {
      FeldWaehlen(d, QString::fromUtf8(feld));
      Klicken(d.HinzufuegenKnopf());
    }
    // Each lands behind the chosen one, which is the one added last.
    ASSERT_EQ(d.Spalten()->rowCount(), 5);
    EXPECT_EQ(d.GewaehlteSpalte(), 4);
    Klicken(d.EntfernenKnopf());
    EXPECT_EQ(d.Spalten()->rowCount(), 4);
    EXPECT_EQ(d.GewaehlteSpalte(), 3);
    EXPECT_FALSE(d.RechtsKnopf()->isEnabled());

    // The amount one place to the left, the IBAN wider, a sum with thousands points.
    d.SpalteWaehlen(2);
    Klicken(d.LinksKnopf());
    EXPECT_EQ(d.GewaehlteSpalte(), 1);
    EXPECT_EQ(d.Spalten()->item(1, 0)->text(), QStringLiteral("ZahlungsBetrag"));
    Tippen(d.SpaltenTitel(), QStringLiteral("Betrag"));
    EXPECT_TRUE(d.Summe()->isEnabled());
    Klicken(d.Summe());
    d.Format()->setEditText(QStringLiteral("#.##0,00"));
    EXPECT_EQ(d.SpaltenWert()->text(), QStringLiteral("{ZahlungsBetrag|#.##0,00}"));
    d.SpalteWaehlen(2);
    EXPECT_EQ(d.Spalten()->item(2, 0)->text(), QStringLiteral("IBAN"));
    d.Breite()->setFocus();
    d.Breite()->selectAll();
    QTest::keyClicks(d.Breite(), QStringLiteral("55,5"));
    EXPECT_DOUBLE_EQ(d.Layout().spalten.at(2).breite, 55.5);
    EXPECT_EQ(d.Spalten()->item(2, 2)->text(), QStringLiteral("55,5 mm"));

    // Sorted by name, among the orders these rows offer.
    const int name = d.Sortierung()->findData(QStringLiteral("Name"));
    ASSERT_GT(name, 0);
    EXPECT_GT(d.Sortierung()->findData(QStringLiteral("Zahlungen.Art ASC, Zahlungen.Name, Zahlungen.ZahlungNr, "
                                                      "Verwendungszweck.ZeilenNr")),
              0);
    d.Sortierung()->setCurrentIndex(name);
    Tippen(d.Titel()->Text(0), QStringLiteral("Zahlungen nach Namen"));

    d.VorschauAktualisieren();
    EXPECT_EQ(d.VorschauSeiten(), 1);
    EXPECT_FALSE(d.Vorschau()->pixmap().isNull());

    Klicken(d.SpeichernKnopf());
    EXPECT_TRUE(d.Gespeichert());
    EXPECT_FALSE(d.Geaendert());
    gespeichert = d.Layout();
    Klicken(d.SchliessenKnopf());   // nothing to ask
    EXPECT_FALSE(d.isVisible());
  });
  EXPECT_TRUE(gezeigt);
  EXPECT_EQ(ergebnis, Report::Ok);
  EXPECT_EQ(meldungen.Anzahl(), 0) << meldungen.Texte().join(QLatin1Char('\n')).toStdString();
  ASSERT_TRUE(QFileInfo(datei).isFile());

  // The report prints: its columns in their order, the rows by name, the German sum.
  const QString pdf = m_ordner.Datei(QStringLiteral("liste.pdf"));
  ASSERT_EQ(PdfDrucken(datei, pdf), Report::Ok) << meldungen.Texte().join(QLatin1Char('\n')).toStdString();
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Zahlungen nach Namen")));
  const QRegularExpression kopfzeile(QStringLiteral("Name\\s+Betrag\\s+IBAN\\s+Fällig"));
  EXPECT_TRUE(text.contains(kopfzeile)) << text.toStdString();
  const qsizetype mueller = text.indexOf(QStringLiteral("Müller")), zander = text.indexOf(QStringLiteral("Zander")),
                  aerger = text.indexOf(QStringLiteral("Ärger"));
  EXPECT_TRUE(mueller >= 0 && mueller < zander && zander < aerger) << text.toStdString();
  EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Zander\\s+1\\.000,00\\s+DE02120300000000202051\\s+01\\.04\\.2025"))))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("1.234,57"))) << text.toStdString();

  // Opened again, everything is as saved.
  auto wieder = Designer(datei);
  EXPECT_EQ(wieder->Layout(), gespeichert);
  EXPECT_FALSE(wieder->Geaendert());
  EXPECT_EQ(wieder->Beschreibung()->text(), QStringLiteral("Zahlungen nach Namen"));
  QStringList titel;
  for (int i = 0; i < wieder->Spalten()->rowCount(); ++i) titel << wieder->Spalten()->item(i, 0)->text();
  EXPECT_EQ(titel, (QStringList{QStringLiteral("Name"), QStringLiteral("Betrag"), QStringLiteral("IBAN"), QStringLiteral("Fällig")}));
  wieder->SpalteWaehlen(1);
  EXPECT_TRUE(wieder->Summe()->isChecked());
  EXPECT_EQ(wieder->Format()->currentText(), QStringLiteral("#.##0,00"));
  EXPECT_EQ(wieder->Ausrichtung()->currentText(), QStringLiteral("Rechts"));
  wieder->SpalteWaehlen(2);
  EXPECT_DOUBLE_EQ(wieder->Breite()->value(), 55.5);
  EXPECT_EQ(wieder->Sortierung()->currentData().toString(), QStringLiteral("Name"));
  EXPECT_EQ(wieder->Titel()->Text(0)->text(), QStringLiteral("Zahlungen nach Namen"));
  EXPECT_TRUE(warnungen.Texte().isEmpty()) << warnungen.Texte().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ReportDesignerTest, FehlendeReportdateiEntstehtImDesignerUndDerDruckGehtWeiter) {
  // A print (not a designer request) on a report that is gone: the designer opens on it, and once it
  // is saved the rows go out.
  const QString datei = Datei(QStringLiteral("Zahlungsliste.LST"));
  const QString pdf = m_ordner.Datei(QStringLiteral("weiter.pdf"));
  ReportDesigner::HakenSetzen([&](ReportDesigner& d) {
    FeldWaehlen(d, QStringLiteral("Verwendungszweck"));
    Klicken(d.HinzufuegenKnopf());
    Klicken(d.SpeichernKnopf());
    d.reject();
  });
  EXPECT_EQ(PdfDrucken(datei, pdf), Report::Ok);
  EXPECT_EQ(meldungen.Anzahl(), 0);
  const QString text = Poppler::Text(pdf);
  for (const char* zeile : {"RE-1", "RE-2", "RE-3"}) EXPECT_TRUE(text.contains(QString::fromLatin1(zeile))) << zeile;

  // Closed without saving: nothing is printed and nothing is said.
  QFile::remove(datei);
  QFile::remove(pdf);
  ReportDesigner::HakenSetzen([&](ReportDesigner& d) {
    meldungen.Antworte(MeldungsAntwort::Nein);
    d.reject();
  });
  EXPECT_EQ(PdfDrucken(datei, pdf), Report::Abgebrochen);
  EXPECT_FALSE(QFileInfo::exists(pdf));
  EXPECT_FALSE(QFileInfo::exists(datei));
  EXPECT_EQ(meldungen.Anzahl(), 1);   // only the question
}

// "Einstellung abfragen" with a PDF file chosen in the output settings: the file is written and the
// user is told where it is.
TEST_F(ReportDesignerTest, PdfUeberDieAusgabeeinstellungenNenntDieDatei) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/Zahlungsliste.LST"), Datei(QStringLiteral("Zahlungsliste.LST"))));
  const QString pdf = m_ordner.Datei(QStringLiteral("ausgabe/liste.pdf"));
  QDir().mkpath(QFileInfo(pdf).absolutePath());
  DruckdialogHakenSetzen([](DruckLL& dialog) {
    dialog.Art()->WertSetzen(2);   // "&Einstellung abfragen"
    dialog.KnopfDruecken(1);
  });
  QtReportengine::DialogHakenSetzen([&pdf](QDialog& d) {
    auto& dialog = dynamic_cast<Ausgabeeinstellungen&>(d);
    dialog.ZielKnopf(Report::ZielPdf)->click();
    dialog.PdfDateiSetzen(pdf);
    dialog.OkKnopf()->click();
    return dialog.result();
  });
  DruckAnfordern(QStringLiteral("Zahlungsliste"), [this] { return Zeilen(); }, Variablen(), Formular());
  QtReportengine::DialogHakenSetzen({});
  EXPECT_TRUE(Poppler::Text(pdf).contains(QStringLiteral("Zander")));
  ASSERT_EQ(meldungen.Anzahl(), 1) << meldungen.Texte().join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(meldungen.Letzter().symbol, MeldungsSymbol::Information);
  EXPECT_EQ(meldungen.Letzter().text, QStringLiteral("Die PDF-Datei wurde gespeichert:\r") + QDir::toNativeSeparators(pdf));
}

TEST_F(ReportDesignerTest, NeuerReportWirdErstNachDemSpeichernZurVorgabe) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/Zahlungsliste.LST"), Datei(QStringLiteral("Zahlungsliste.LST"))));
  EinstellungSpeichern(QStringLiteral("VorgabeRPTZahlungsliste"), QStringLiteral("Zahlungsliste.LST"));
  int runde = 0;
  QStringList gewaehlt;   // the entry the choice preselected, per round
  DruckdialogHakenSetzen([&](DruckLL& dialog) {
    ++runde;
    gewaehlt << dialog.List1()->currentItem()->data(Qt::UserRole).toString();
    dialog.KnopfDruecken(runde <= 2 ? 3 : 0);   // "&Neuer Report" twice, then "Abbruch"
  });
  int designer = 0;
  ReportDesigner::HakenSetzen([&](ReportDesigner& d) {
    ++designer;
    EXPECT_TRUE(d.windowTitle().contains(QStringLiteral("Zahlungsliste1.LST")));
    if (designer == 1) {
      meldungen.Antworte(MeldungsAntwort::Nein);   // close without saving
      d.reject();
      EXPECT_FALSE(d.isVisible());
      return;
    }
    FeldWaehlen(d, QStringLiteral("Name"));
    Klicken(d.HinzufuegenKnopf());
    Klicken(d.SpeichernKnopf());
    d.reject();
  });
  DruckAnfordern(QStringLiteral("Zahlungsliste"), [this] { return Zeilen(); }, Variablen(), Formular());
  EXPECT_EQ(designer, 2);
  EXPECT_EQ(gewaehlt, (QStringList{QStringLiteral("Zahlungsliste.LST"), QStringLiteral("Zahlungsliste.LST"),
                                   QStringLiteral("Zahlungsliste1.LST")}));
  EXPECT_EQ(EinstellungLesen(QStringLiteral("VorgabeRPTZahlungsliste"), QString()), QStringLiteral("Zahlungsliste1.LST"));
  EXPECT_EQ(meldungen.OffeneAntworten(), 0);
}

TEST_F(ReportDesignerTest, FehlgeschlagenesSpeichernWirdGemeldetUndLaesstDieDateiStehen) {
  const QString datei = Datei(QStringLiteral("Zahlungsliste.LST"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/Zahlungsliste.LST"), datei));
  const QByteArray vorher = TestOrdner::Lesen(datei);
  auto d = Designer(datei);
  Tippen(d->Beschreibung(), QStringLiteral("geändert"));

  bool ok = true;
  {
    Dateigroessengrenze grenze(500);   // smaller than the report
    ok = d->Speichern();
  }
  EXPECT_FALSE(ok);
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_EQ(meldungen.Letzter().symbol, MeldungsSymbol::Kritisch);
  EXPECT_TRUE(meldungen.Letzter().text.startsWith(QStringLiteral("Fehler beim Speichern des Reports!\r\rNr: ")));
  EXPECT_TRUE(meldungen.Letzter().text.contains(QDir::toNativeSeparators(datei))) << meldungen.Letzter().text.toStdString();
  EXPECT_TRUE(meldungen.Letzter().text.endsWith(QStringLiteral("Die bisherige Reportdatei ist unverändert.")));
  EXPECT_EQ(TestOrdner::Lesen(datei), vorher);
  EXPECT_EQ(QDir(programm).entryList(QDir::Files), QStringList{QStringLiteral("Zahlungsliste.LST")}) << "no temporary file left";
  EXPECT_FALSE(d->Gespeichert());
  EXPECT_TRUE(d->Geaendert());

  // Without the limit the same save succeeds.
  EXPECT_TRUE(d->Speichern());
  EXPECT_NE(TestOrdner::Lesen(datei), vorher);
}

TEST_F(ReportDesignerTest, SchliessenFragtNachUngespeichertenAenderungen) {
  const QString datei = Datei(QStringLiteral("Zahlungsliste.LST"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/Zahlungsliste.LST"), datei));
  const QByteArray vorher = TestOrdner::Lesen(datei);
  auto d = Designer(datei);
  d->SpalteWaehlen(0);
  Klicken(d->EntfernenKnopf());
  EXPECT_TRUE(d->windowTitle().endsWith(QStringLiteral("[*]")));
  EXPECT_TRUE(d->isWindowModified());

  meldungen.Antworte(MeldungsAntwort::Abbrechen);
  QTest::keyClick(d.get(), Qt::Key_Escape);
  EXPECT_TRUE(d->isVisible());
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_EQ(meldungen.Letzter().text, QStringLiteral("Sollen die Änderungen am Report gespeichert werden?"));
  EXPECT_EQ(meldungen.Letzter().knoepfe, MeldungsKnoepfe::JaNeinAbbrechen);

  meldungen.Antworte(MeldungsAntwort::Nein);
  d->close();
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(TestOrdner::Lesen(datei), vorher);
  EXPECT_FALSE(d->Gespeichert());

  // "Ja" saves and closes; the removed column is gone from the file.
  auto zweiter = Designer(datei);
  zweiter->SpalteWaehlen(0);
  Klicken(zweiter->EntfernenKnopf());
  meldungen.Antworte(MeldungsAntwort::Ja);
  Klicken(zweiter->SchliessenKnopf());
  EXPECT_FALSE(zweiter->isVisible());
  EXPECT_TRUE(zweiter->Gespeichert());
  const Reportdatei::Ergebnis gelesen = Reportdatei::Laden(datei);
  ASSERT_TRUE(gelesen.layout);
  EXPECT_EQ(gelesen.layout->spalten.size(), 8);
  EXPECT_EQ(gelesen.layout->spalten.first().titel, QStringLiteral("Name"));
}

// A field whose sum the print refuses (an amount without the sign of its row's kind) offers no sum:
// the check box stays off, the summary offers no Summe() of it, and saving such a sum asks first. The
// field list shows every name whole (wide enough, and the name in the tooltip).
TEST_F(ReportDesignerTest, GesperrteSummeWirdNichtAngeboten) {
  Reportdefinitionen defs;
  defs.felder << Reportdefinition{QStringLiteral("Verwendungszweck.ZahlungsBetrag"), QVariant::fromValue(Waehrung::AusEuro(1)),
                                  Report::Typ::Zahl, QStringLiteral("ohne Vorzeichen")}
              << Reportdefinition{QStringLiteral("Betrag"), QVariant::fromValue(Waehrung::AusEuro(1)), Report::Typ::Zahl, {}};
  ReportDesigner d(Datei(QStringLiteral("Neu.LST")), defs, QStringLiteral("Zahlungsliste"));
  QString fehler;
  ASSERT_TRUE(d.Laden(fehler));
  d.show();
  // Whole, or the list is as wide as it may get (a quarter of the screen) and the tooltip holds the name.
  const int viertel = d.screen()->availableGeometry().width() / 4;
  for (int i = 0; i < d.Felder()->count(); ++i) {
    EXPECT_EQ(d.Felder()->item(i)->toolTip(), d.Felder()->item(i)->text());
    if (d.Felder()->viewport()->width() < d.Felder()->fontMetrics().horizontalAdvance(d.Felder()->item(i)->text()))
      EXPECT_GE(d.Felder()->minimumWidth(), viertel) << d.Felder()->item(i)->text().toStdString();
  }
  EXPECT_GE(d.Felder()->viewport()->width(), d.Felder()->fontMetrics().horizontalAdvance(QStringLiteral("Betrag  (Zahl)")));
  FeldWaehlen(d, QStringLiteral("Verwendungszweck.ZahlungsBetrag"));
  Klicken(d.HinzufuegenKnopf());
  EXPECT_FALSE(d.Summe()->isEnabled());
  FeldWaehlen(d, QStringLiteral("Betrag"));
  Klicken(d.HinzufuegenKnopf());
  EXPECT_TRUE(d.Summe()->isEnabled());
  const QComboBox* platzhalter = d.findChild<QComboBox*>(QStringLiteral("Platzhalter"));
  ASSERT_TRUE(platzhalter);
  EXPECT_LT(platzhalter->findText(QStringLiteral("{Summe(Verwendungszweck.ZahlungsBetrag)}")), 0);
  EXPECT_GE(platzhalter->findText(QStringLiteral("{Summe(Betrag)}")), 0);
}

TEST_F(ReportDesignerTest, WertFormatUndSummeHaengenZusammen) {
  auto d = Designer(Datei(QStringLiteral("Neu.LST")));
  FeldWaehlen(*d, QStringLiteral("ZahlungsBetrag"));
  Klicken(d->HinzufuegenKnopf());
  EXPECT_EQ(d->Ausrichtung()->currentText(), QStringLiteral("Rechts"));
  EXPECT_DOUBLE_EQ(d->Breite()->value(), 28);   // room for -999.999.999,99
  EXPECT_TRUE(d->Format()->isEnabled());
  EXPECT_GE(d->Format()->findText(QStringLiteral("#.##0,00")), 0);
  Klicken(d->Summe());
  EXPECT_TRUE(d->Layout().spalten.at(0).summe);

  // Typing a value of two fields takes the sum and the format away; one field again gives them back.
  Tippen(d->SpaltenWert(), QStringLiteral("{ZahlungsBetrag} {Name}"));
  EXPECT_FALSE(d->Summe()->isEnabled());
  EXPECT_FALSE(d->Summe()->isChecked());
  EXPECT_FALSE(d->Layout().spalten.at(0).summe);
  EXPECT_FALSE(d->Format()->isEnabled());
  Tippen(d->SpaltenWert(), QStringLiteral("{Fällig|dd.MM.yy}"));
  EXPECT_TRUE(d->Summe()->isEnabled());
  EXPECT_EQ(d->Format()->currentText(), QStringLiteral("dd.MM.yy"));
  EXPECT_GE(d->Format()->findText(QStringLiteral("dd.MM.yyyy")), 0);   // the date's formats now

  // A format cannot end the placeholder early.
  d->Format()->setEditText(QStringLiteral("dd}.MM"));
  EXPECT_EQ(d->SpaltenWert()->text(), QStringLiteral("{Fällig|dd.MM}"));
  d->Format()->setEditText(QString());
  EXPECT_EQ(d->Layout().spalten.at(0).wert, QStringLiteral("{Fällig}"));
}

TEST_F(ReportDesignerTest, PlatzhalterKommenInsZuletztBenutzteTextfeld) {
  auto d = Designer(Datei(QStringLiteral("Neu.LST")));
  d->Register()->setCurrentIndex(1);
  d->Fuss(1)->setFocus();
  QApplication::processEvents();
  d->Fuss(1)->setText(QStringLiteral("Stand "));
  d->Fuss(1)->setCursorPosition(6);
  d->Platzhalter()->setFocus();
  d->Platzhalter()->setCurrentText(QStringLiteral("{Allgemeines.AusgabeReportDatum}"));
  d->PlatzhalterEinfuegen(d->Platzhalter()->currentText());
  EXPECT_EQ(d->Fuss(1)->text(), QStringLiteral("Stand {Allgemeines.AusgabeReportDatum}"));
  EXPECT_EQ(d->Layout().fussMitte, QStringLiteral("Stand {Allgemeines.AusgabeReportDatum}"));
  // A title line used last and then removed: the placeholder has nowhere to go, and says so.
  d->Titel()->Text(0)->setFocus();
  QApplication::processEvents();
  Klicken(d->Titel()->Entfernen(0));
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(d->Titel()->Anzahl(), 0);
  d->PlatzhalterEinfuegen(QStringLiteral("{Seite}"));
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_TRUE(meldungen.Letzter().text.startsWith(QStringLiteral("Bitte klicken Sie zuerst in das Textfeld")));
  EXPECT_TRUE(d->Layout().titel.isEmpty());
  // Aggregates are offered for the summary.
  EXPECT_GE(d->Platzhalter()->findText(QStringLiteral("{Summe(ZahlungsBetrag)}")), 0);
  EXPECT_LT(d->Platzhalter()->findText(QStringLiteral("{Summe(Name)}")), 0);
}

TEST_F(ReportDesignerTest, UnpassenderReportWirdNurAufWunschGespeichert) {
  const QString datei = Datei(QStringLiteral("Zahlungsliste.LST"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TAMO_SOURCE_DIR "/tests/printing/daten/Zahlungsliste.LST"), datei));
  // A sort order these rows do not offer stays, marked, until it is changed.
  {
    Reportdatei::Ergebnis e = Reportdatei::Laden(datei);
    e.layout->sortierung = QStringLiteral("Name DESC; DELETE FROM Zahlungen");
    TestOrdner::Schreiben(datei, Reportdatei::AlsText(*e.layout).toUtf8());
  }
  auto d = Designer(datei);
  EXPECT_EQ(d->Sortierung()->currentText(), QStringLiteral("Name DESC; DELETE FROM Zahlungen (für diese Daten nicht angeboten)"));
  Tippen(d->Titel()->Text(1), QStringLiteral("Status: {Gibt.Es.Nicht}"));
  meldungen.Antworte(MeldungsAntwort::Nein);
  EXPECT_FALSE(d->Speichern());
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_EQ(meldungen.Letzter().text,
            QStringLiteral("Der Report passt nicht zu den Daten dieses Drucks:\rUnbekannter Name {Gibt.Es.Nicht} (Titel)\r"
                           "Die Sortierung \"Name DESC; DELETE FROM Zahlungen\" wird für diese Daten nicht angeboten.\r\r"
                           "Trotzdem speichern?"));
  EXPECT_FALSE(TestOrdner::Lesen(datei).contains("Gibt.Es.Nicht"));
  meldungen.Antworte(MeldungsAntwort::Ja);
  EXPECT_TRUE(d->Speichern());
  EXPECT_TRUE(TestOrdner::Lesen(datei).contains("Gibt.Es.Nicht"));

  // An offered order chosen: only the unknown name is left to ask about.
  d->Sortierung()->setCurrentIndex(d->Sortierung()->findData(QStringLiteral("Zahlungen.ZahlungNr")));
  meldungen.Leeren();
  meldungen.Antworte(MeldungsAntwort::Nein);
  EXPECT_FALSE(d->Speichern());
  EXPECT_FALSE(meldungen.Letzter().text.contains(QStringLiteral("Sortierung")));
}

TEST_F(ReportDesignerTest, DefekteDateiWirdNurAufWunschErsetzt) {
  const QString datei = Datei(QStringLiteral("Zahlungsliste.LST"));
  TestOrdner::Schreiben(datei, "[Spalte1]\nWert={Name}\nBreite=viel\n");
  const QByteArray vorher = TestOrdner::Lesen(datei);
  meldungen.Antworte(MeldungsAntwort::Nein);
  EXPECT_EQ(DesignerUeberDenDruck(datei, [](ReportDesigner&) { ADD_FAILURE() << "not shown"; }), Report::Abgebrochen);
  ASSERT_GE(meldungen.Anzahl(), 1);
  EXPECT_TRUE(meldungen.Eintraege().last().text.startsWith(
      QStringLiteral("Die Reportdatei ist defekt oder hat ein falsches Format.\r") + QDir::toNativeSeparators(datei) +
      QStringLiteral("\rSpalte1: ungültige Breite viel")));
  EXPECT_EQ(TestOrdner::Lesen(datei), vorher);

  meldungen.Antworte(MeldungsAntwort::Ja);
  EXPECT_EQ(DesignerUeberDenDruck(datei,
                                  [&](ReportDesigner& d) {
                                    EXPECT_TRUE(d.Geaendert());
                                    FeldWaehlen(d, QStringLiteral("Name"));
                                    Klicken(d.HinzufuegenKnopf());
                                    Klicken(d.SpeichernKnopf());
                                    d.reject();
                                  }),
            Report::Ok);
  ASSERT_TRUE(Reportdatei::Laden(datei).layout);
}

TEST_F(ReportDesignerTest, OhneSpalteKeinSpeichern) {
  const QString datei = Datei(QStringLiteral("Neu.LST"));
  auto d = Designer(datei);
  EXPECT_FALSE(d->Speichern());
  ASSERT_EQ(meldungen.Anzahl(), 1);
  EXPECT_TRUE(meldungen.Letzter().text.startsWith(QStringLiteral("Der Report braucht mindestens eine Spalte.")));
  EXPECT_FALSE(QFileInfo::exists(datei));
  EXPECT_EQ(d->Register()->currentIndex(), 0);
}

TEST_F(ReportDesignerTest, F1ZeigtDieHilfeDesDesigners) {
  auto d = Designer(Datei(QStringLiteral("Neu.LST")));
  d->Spalten()->setFocus();
  EXPECT_EQ(HilfeseiteNachF1(d->Spalten()), QStringLiteral("860.html"));
}

TEST(Reportentwurf, SpaltenNachDerArtDesFeldes) {
  using Reportentwurf::SpalteAusFeld;
  const Reportspalte text = SpalteAusFeld({QStringLiteral("Zahlungen.Name"), QStringLiteral("Zahlungen.Name"), Report::Typ::Text});
  EXPECT_EQ(text.titel, QStringLiteral("Name"));
  EXPECT_EQ(text.wert, QStringLiteral("{Zahlungen.Name}"));
  EXPECT_EQ(text.ausrichtung, Spaltenausrichtung::Links);
  EXPECT_TRUE(text.umbruch);
  const Reportspalte zahl = SpalteAusFeld({QStringLiteral("Betrag"), 1, Report::Typ::Zahl});
  EXPECT_EQ(zahl.ausrichtung, Spaltenausrichtung::Rechts);
  EXPECT_FALSE(zahl.umbruch);
  EXPECT_EQ(SpalteAusFeld({QStringLiteral("Erledigt"), true, Report::Typ::Boolean}).ausrichtung, Spaltenausrichtung::Mitte);
  EXPECT_LT(SpalteAusFeld({QStringLiteral("Fällig"), QDate(), Report::Typ::Datum}).breite, text.breite);

  EXPECT_EQ(Reportentwurf::FeldwertText(QStringLiteral("A"), QStringLiteral("{0}")), QStringLiteral("{A|0}"));
  EXPECT_FALSE(Reportentwurf::EinzigesFeld(QStringLiteral("{Summe(A)}")));
  EXPECT_FALSE(Reportentwurf::EinzigesFeld(QStringLiteral("Nr. {A}")));
  EXPECT_EQ(Reportentwurf::EinzigesFeld(QStringLiteral("{A|0,00}"))->format, QStringLiteral("0,00"));

  Reportlayout quer;
  quer.ausrichtung = QPageLayout::Landscape;
  quer.raender = QMarginsF(15, 10, 10, 10);
  EXPECT_NEAR(Reportentwurf::Nutzbreite(quer), 297 - 25, 0.01);
}

TEST(Reportentwurf, BeispielzeilenUnterscheidenSich) {
  Reportdefinitionen d;
  d.felder = {{QStringLiteral("Betrag"), QVariant::fromValue(Waehrung::AusEuro(12345)), Report::Typ::Zahl},
              {QStringLiteral("Nr"), qint64(7), Report::Typ::Zahl},
              {QStringLiteral("Tag"), QDate(2025, 1, 31), Report::Typ::Datum},
              {QStringLiteral("Name"), QStringLiteral("Name"), Report::Typ::Text},
              {QStringLiteral("Ok"), true, Report::Typ::Boolean}};
  const auto zeilen = Reportentwurf::Beispielzeilen(d, 3);
  ASSERT_EQ(zeilen.size(), 3);
  EXPECT_EQ(zeilen.at(2).value(QStringLiteral("Betrag")).value<Waehrung>(), Waehrung::AusEuro(37035));
  EXPECT_EQ(zeilen.at(2).value(QStringLiteral("Nr")).toLongLong(), 21);
  EXPECT_EQ(zeilen.at(1).value(QStringLiteral("Tag")).toDate(), QDate(2025, 2, 1));
  EXPECT_EQ(zeilen.at(1).value(QStringLiteral("Name")).toString(), QStringLiteral("Name"));
  EXPECT_NE(zeilen.at(0).value(QStringLiteral("Ok")).toBool(), zeilen.at(1).value(QStringLiteral("Ok")).toBool());
}

}  // namespace
