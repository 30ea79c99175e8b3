#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/Waehrung.h"
#include "platform/report/core/AufzeichnendeEngine.h"
#include "printing/core/ReportDrucken.h"
#include "testsupport/TestOrdner.h"

namespace {

// Rows in memory; a read of row `fehlerAb` or later fails.
class Tabellendaten : public Reportdaten {
 public:
  QList<Reportdatenspalte> spalten;
  QList<QVariantList> zeilen;
  int fehlerAb = -1;
  int gelesen = 0;

  const QList<Reportdatenspalte>& Spalten() const override { return spalten; }
  int Anzahl() override { return int(zeilen.size()); }
  QVariant Wert(int zeile, int spalte) override {
    ++gelesen;
    if (fehlerAb >= 0 && zeile >= fehlerAb) m_fehler = {1555, QStringLiteral("Zeile nicht lesbar")};
    return zeilen.at(zeile).at(spalte);
  }
  DbFehler Fehler() const override { return m_fehler; }

 private:
  DbFehler m_fehler;
};

Tabellendaten Zahlungszeilen(int anzahl) {
  Tabellendaten d;
  d.spalten = {{QStringLiteral("Zahlungen.ZahlungNr"), FeldTyp::Long, QStringLiteral("Zahlungen"), QStringLiteral("ZahlungNr")},
               {QStringLiteral("Name"), FeldTyp::Text, QStringLiteral("Zahlungen"), QStringLiteral("Name")},
               {QStringLiteral("ZahlungsBetrag"), FeldTyp::Waehrung, QStringLiteral("Verwendungszweck"),
                QStringLiteral("ZahlungsBetrag")},
               {QStringLiteral("Ausdruck"), FeldTyp::Text, QString(), QString()}};
  for (int i = 1; i <= anzahl; ++i)
    d.zeilen << QVariantList{qint64(i), QStringLiteral("Kunde %1").arg(i), QVariant::fromValue(Waehrung::AusCent(100 * i)),
                             QStringLiteral("x")};
  return d;
}

// Payment lines as the payment list reads them (payments joined with their lines); the remittance
// text names the row. Each offered order puts them in another order.
Tabellendaten Zahlungslistenzeilen() {
  Tabellendaten d;
  d.spalten = {{QStringLiteral("Zahlungen.ZahlungNr"), FeldTyp::Long, QStringLiteral("Zahlungen"), QStringLiteral("ZahlungNr")},
               {QStringLiteral("Art"), FeldTyp::Text, QStringLiteral("Zahlungen"), QStringLiteral("Art")},
               {QStringLiteral("MandatSequenz"), FeldTyp::Long, QStringLiteral("Zahlungen"), QStringLiteral("MandatSequenz")},
               {QStringLiteral("Name"), FeldTyp::Text, QStringLiteral("Zahlungen"), QStringLiteral("Name")},
               {QStringLiteral("Fällig"), FeldTyp::Datum, QStringLiteral("Zahlungen"), QStringLiteral("Fällig")},
               {QStringLiteral("ZahlungsBetrag"), FeldTyp::Waehrung, QStringLiteral("Verwendungszweck"), QStringLiteral("ZahlungsBetrag")},
               {QStringLiteral("Verwendungszweck.ZahlungNr"), FeldTyp::Long, QStringLiteral("Verwendungszweck"), QStringLiteral("ZahlungNr")},
               {QStringLiteral("ZeilenNr"), FeldTyp::Long, QStringLiteral("Verwendungszweck"), QStringLiteral("ZeilenNr")},
               {QStringLiteral("Verwendungszweck"), FeldTyp::Text, QString(), QString()}};
  auto zeile = [&d](qint64 nr, const char* art, qint64 sequenz, const char* name, QDate faellig, qint64 cent, qint64 zeile,
                    const char* kennung) {
    d.zeilen << QVariantList{nr, QString::fromUtf8(art), sequenz, QString::fromUtf8(name), faellig,
                             QVariant::fromValue(Waehrung::AusCent(cent)), nr, zeile, QString::fromUtf8(kennung)};
  };
  zeile(3, "L", 2, "Bauer", QDate(2025, 5, 1), 1000, 1, "A");
  zeile(1, "G", 0, "zimmer", QDate(2025, 4, 1), 20000, 2, "B");
  zeile(1, "G", 0, "Zimmer", QDate(2025, 4, 1), 500, 1, "C");
  zeile(2, "L", 1, "Ärzte", QDate(2025, 3, 15), 999, 1, "D");
  zeile(4, "G", 0, "Adler", QDate(2025, 6, 1), 100000, 1, "E");
  return d;
}

QStringList Zahlungslistenordnungen() {
  return {QStringLiteral("Zahlungen.ZahlungNr"), QStringLiteral("Art"), QStringLiteral("MandatSequenz"), QStringLiteral("Name"),
          QStringLiteral("Fällig"), QStringLiteral("ZahlungsBetrag"), QStringLiteral("Verwendungszweck.ZahlungNr"),
          QStringLiteral("ZeilenNr"),
          QStringLiteral("Zahlungen.Art ASC, Zahlungen.Name, Zahlungen.ZahlungNr, Verwendungszweck.ZeilenNr"),
          QStringLiteral("Zahlungen.Art ASC, Zahlungen.MandatSequenz, Zahlungen.Name, Zahlungen.ZahlungNr, "
                         "Verwendungszweck.ZeilenNr")};
}

class ReportDruckenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    formular.reportDatum = QDate(2025, 3, 14);
    m_db = Datenbank::InSpeicher();
    ASSERT_FALSE(m_db->SkriptAusfuehren(QStringLiteral(
        "CREATE TABLE Absender (AbsenderNr INTEGER PRIMARY KEY, Name TEXT(70), IBAN TEXT(34), "
        "\"GläubigerID\" TEXT(35), AdressenFormat INTEGER NOT NULL DEFAULT 0);"
        "INSERT INTO Absender VALUES (1, 'Tamo Handel GmbH', 'DE89370400440532013000', NULL, 0);")));
    DbFehler f;
    m_absender = Recordset::Oeffnen(*m_db, Abfrage::Tabelle(QStringLiteral("Absender")), RecordsetTyp::Tabelle, f);
    ASSERT_TRUE(m_absender) << f.Meldungstext().toStdString();
    formular.titel = QStringLiteral("Zahlungsliste");
    formular.absenderDaten = m_absender.get();
    formular.absenderNr = 1;
    anfrage.ReportDatei = QStringLiteral("/programm/Zahlungsliste.LST");
    anfrage.DruckZiel = Report::ZielVorschau;
  }

  // The driver's code; its result (the failures it reports) is kept in `ergebnis`.
  int Drucken(Reportdaten& daten, const QList<ReportVariable>& variablen = {}, Reportengine* andere = nullptr) {
    ergebnis = ReportDrucken(daten, anfrage, variablen, formular, andere ? *andere : engine);
    return ergebnis.code;
  }

  std::unique_ptr<Datenbank> m_db;
  std::unique_ptr<Recordset> m_absender;
  AufzeichnendeEngine engine;
  Druckanfrage anfrage;
  Druckformular formular;
  Druckergebnis ergebnis;
};

TEST_F(ReportDruckenTest, AufrufeInDerReihenfolgeDesProtokolls) {
  Tabellendaten daten = Zahlungszeilen(2);
  const QList<ReportVariable> eigene = {
      {QStringLiteral("Zahlungsliste.Formularart"), QStringLiteral("Alle"), Report::Typ::Text}};
  EXPECT_EQ(Drucken(daten, eigene), Report::Ok);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);

  const QStringList erwartet = {
      QStringLiteral("Dateiendung(2)"),
      QStringLiteral("SortierungenBeginnen()"),
      QStringLiteral("SortierungDefinieren(Zahlungen.ZahlungNr,Zahlungen.ZahlungNr)"),
      QStringLiteral("SortierungDefinieren(Name,Name)"),
      QStringLiteral("SortierungDefinieren(ZahlungsBetrag,ZahlungsBetrag)"),   // no fixed order: the rows lack "Art"
      QStringLiteral("FelderBeginnen()"),
      QStringLiteral("VariablenBeginnen()"),
      QStringLiteral("VariableDefinieren(Allgemeines.AusgabeReportDatum)"),
      QStringLiteral("VariableDefinieren(Zahlungsliste.Formularart)"),
      QStringLiteral("VariableDefinieren(Absender.AbsenderNr)"),
      QStringLiteral("VariableDefinieren(Absender.Name)"),
      QStringLiteral("VariableDefinieren(Absender.IBAN)"),
      QStringLiteral("VariableDefinieren(Absender.GläubigerID)"),
      QStringLiteral("VariableDefinieren(Absender.AdressenFormat)"),
      QStringLiteral("FeldDefinieren(Zahlungen.ZahlungNr)"),
      QStringLiteral("FeldDefinieren(Name)"),
      QStringLiteral("FeldDefinieren(ZahlungsBetrag)"),
      QStringLiteral("FeldDefinieren(Ausdruck)"),
      QStringLiteral("DruckStarten(2,/programm/Zahlungsliste.LST,Reportausgabe)"),
      QStringLiteral("DruckOptionSetzen(13,2)"),
      QStringLiteral("Sortierung()"),
      QStringLiteral("DruckOption(6)"),
      QStringLiteral("Drucken()"),
  };
  ASSERT_GE(engine.aufrufe.size(), erwartet.size());
  EXPECT_EQ(engine.aufrufe.mid(0, erwartet.size()), erwartet);
  // Per row: the used names asked for and defined, the box, the row.
  const QStringList zeile = {QStringLiteral("FeldBenutzt(Zahlungen.ZahlungNr)"), QStringLiteral("FeldDefinieren(Zahlungen.ZahlungNr)"),
                             QStringLiteral("FeldBenutzt(Name)"), QStringLiteral("FeldDefinieren(Name)"),
                             QStringLiteral("FeldBenutzt(ZahlungsBetrag)"), QStringLiteral("FeldDefinieren(ZahlungsBetrag)"),
                             QStringLiteral("FeldBenutzt(Ausdruck)"), QStringLiteral("FeldDefinieren(Ausdruck)")};
  EXPECT_EQ(engine.aufrufe.mid(erwartet.size(), zeile.size()), zeile);
  const QStringList ende = {QStringLiteral("FelderEnde()"), QStringLiteral("DruckEnde(0)"),
                            QStringLiteral("VorschauAnzeigen(/programm/Zahlungsliste.LST)"),
                            QStringLiteral("VorschauDateienLoeschen(/programm/Zahlungsliste.LST)"),
                            QStringLiteral("DruckEnde(0)")};
  EXPECT_EQ(engine.aufrufe.mid(engine.aufrufe.size() - ende.size()), ende);
  EXPECT_EQ(engine.zeilen.size(), 2);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderDrucken()")), 2);
}

TEST_F(ReportDruckenTest, WerteSindTypisiertUndAbsenderWerdenAnEineKopieAngehaengt) {
  Tabellendaten daten = Zahlungszeilen(1);
  const QList<ReportVariable> eigene = {{QStringLiteral("Zahlungsliste.Status"), QStringLiteral("Offen"), Report::Typ::Text}};
  Drucken(daten, eigene);
  Drucken(daten, eigene);
  EXPECT_EQ(eigene.size(), 1);   // the caller's list never grows
  int absenderName = 0;
  for (const auto& v : engine.variablen) {
    if (v.name == QLatin1String("Absender.Name")) {
      ++absenderName;
      EXPECT_EQ(v.wert.toString(), QStringLiteral("Tamo Handel GmbH"));
      EXPECT_EQ(v.typ, Report::Typ::Text);
    }
    if (v.name == QLatin1String("Absender.GläubigerID")) {
      EXPECT_TRUE(v.wert.isNull());
    }
    if (v.name == QLatin1String("Absender.AdressenFormat")) {
      EXPECT_EQ(v.typ, Report::Typ::Zahl);
      EXPECT_EQ(v.wert.toLongLong(), 0);
    }
    if (v.name == QLatin1String("Allgemeines.AusgabeReportDatum")) {
      EXPECT_EQ(v.typ, Report::Typ::Datum);
      EXPECT_EQ(v.wert.toDate(), QDate(2025, 3, 14));
    }
  }
  EXPECT_EQ(absenderName, 2);   // once per run, two runs
  ASSERT_EQ(engine.zeilen.size(), 2);
  EXPECT_EQ(engine.zeilen.first().value(QStringLiteral("ZahlungsBetrag")).value<Waehrung>(), Waehrung::AusCent(100));

  // A sender that does not exist: names and types, no values.
  engine.variablen.clear();
  formular.absenderNr = 7;
  Drucken(daten);
  bool gesehen = false;
  for (const auto& v : engine.variablen)
    if (v.name == QLatin1String("Absender.Name")) {
      gesehen = true;
      EXPECT_FALSE(v.wert.isValid());
    }
  EXPECT_TRUE(gesehen);
}

TEST_F(ReportDruckenTest, NurBenutzteFelderWerdenJeZeileDefiniert) {
  Tabellendaten daten = Zahlungszeilen(3);
  engine.alleBenutzt = false;
  engine.benutzt = {QStringLiteral("Name")};
  Drucken(daten);
  int name = 0, betrag = 0;
  for (const auto& f : engine.felder) {
    name += f.name == QLatin1String("Name") ? 1 : 0;
    betrag += f.name == QLatin1String("ZahlungsBetrag") ? 1 : 0;
  }
  EXPECT_EQ(name, 1 + 3);    // declaration and three rows
  EXPECT_EQ(betrag, 1);      // declaration only
  EXPECT_EQ(daten.gelesen, 3);
}

TEST_F(ReportDruckenTest, ProzenteRundenHalbeZurGeradenZahl) {
  Tabellendaten daten = Zahlungszeilen(8);
  Drucken(daten);
  EXPECT_EQ(engine.prozente, (QList<int>{12, 25, 38, 50, 62, 75, 88, 100}));
  EXPECT_EQ(ReportProzent(1, 3), 33);
  EXPECT_EQ(ReportProzent(2, 3), 67);
  EXPECT_EQ(ReportProzent(0, 0), 0);
}

TEST_F(ReportDruckenTest, LeereDatenDruckenKeineZeileAberDasEnde) {
  Tabellendaten daten = Zahlungszeilen(0);
  EXPECT_EQ(Drucken(daten), Report::Ok);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("Drucken()")), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderDrucken()")), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderEnde()")), 1);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("VorschauAnzeigen")), 1);
}

// Result codes of the row loop: the message, then the end of the list, the end of the job and for
// the preview the preview all the same.
struct Codefall {
  const char* name;
  int code;
  QStringList zeilen;
};

class Ergebniscodes : public ReportDruckenTest, public ::testing::WithParamInterface<Codefall> {};

TEST_P(Ergebniscodes, MeldungUndTrotzdemEndeUndVorschau) {
  const Codefall& fall = GetParam();
  Tabellendaten daten = Zahlungszeilen(3);
  engine.antworten[QStringLiteral("FelderDrucken")] = {Report::Ok, fall.code};
  EXPECT_EQ(Drucken(daten), fall.code);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_EQ(ergebnis.meldungen.last(), QStringLiteral("Bei der Reportausgabe ist ein Problem entstanden!\r\r") +
                                          fall.zeilen.join(QLatin1Char('\r')));
  EXPECT_EQ(engine.zeilen.size(), 1);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderDrucken()")), 2);   // no row after the failure
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderEnde()")), 1);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("VorschauAnzeigen")), 1);
  EXPECT_EQ(engine.aufrufe.last(), QStringLiteral("DruckEnde(0)"));
}

INSTANTIATE_TEST_SUITE_P(
    ReportDrucken, Ergebniscodes,
    ::testing::Values(
        Codefall{"FelderAusAndererQuelle", Report::UnbekanntesFeld,
                 {QStringLiteral("Sie sollten den Report im Designer aufrufen und auf"),
                  QStringLiteral("eventuelle Fehler überprüfen. Eventuell enthält der"),
                  QStringLiteral("Report Felder aus einer anderen Datenquelle oder ähnliches.")}},
        Codefall{"DruckerNichtErreichbar", Report::DruckerFehlt,
                 {QStringLiteral("Der Drucker konnte nicht angesprochen werden."),
                  QStringLiteral("Sie sollten die Druckersteuerung überprüfen.")}},
        Codefall{"DruckerFehler", Report::Druckfehler,
                 {QStringLiteral("Eventuell ist der Druckspooler voll oder es ist ein"),
                  QStringLiteral("Papierstau aufgetreten oder ein allgemeiner Druckerfehler.")}},
        Codefall{"DateiDefekt", Report::DateiDefekt, {QStringLiteral("Die Reportdatei ist defekt oder hat ein falsches Format.")}},
        Codefall{"Sonstiger", -7, {QStringLiteral("Der Fehler Nummer: -7 ist aufgetreten!")}}),
    [](const ::testing::TestParamInfo<Codefall>& info) { return std::string(info.param.name); });

TEST_F(ReportDruckenTest, FehlgeschlagenerDruckstartWirdGemeldetUndDrucktNichts) {
  Tabellendaten daten = Zahlungszeilen(2);
  engine.antworten[QStringLiteral("DruckStarten")] = {Report::DateiDefekt};
  engine.fehlerdetail = QStringLiteral("/programm/Zahlungsliste.LST: Unbekannte Ausrichtung: schief");
  EXPECT_EQ(Drucken(daten), Report::DateiDefekt);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_TRUE(ergebnis.meldungen.last().endsWith(
      QStringLiteral("Die Reportdatei ist defekt oder hat ein falsches Format.\r/programm/Zahlungsliste.LST: Unbekannte "
                     "Ausrichtung: schief")));
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderDrucken()")), 0);
  EXPECT_EQ(engine.aufrufe.last(), QStringLiteral("DruckEnde(0)"));
}

TEST_F(ReportDruckenTest, FehlgeschlagenesJobendeUndPdfExportWerdenGemeldet) {
  Tabellendaten daten = Zahlungszeilen(2);
  anfrage.DruckZiel = Report::ZielPdf;
  anfrage.PdfDateiname = QStringLiteral("Filiale_Zahlungsübersicht.pdf");
  anfrage.PdfPfad = QStringLiteral("/nicht/da/");
  engine.antworten[QStringLiteral("DruckEnde")] = {Report::ExportFehler};
  engine.fehlerdetail = QStringLiteral("/nicht/da/Filiale_Zahlungsübersicht.pdf: Verzeichnis fehlt");
  EXPECT_EQ(Drucken(daten), Report::ExportFehler);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_EQ(ergebnis.meldungen.last(), QStringLiteral("Bei der Reportausgabe ist ein Problem entstanden!\r\r"
                                                     "Die PDF-Datei konnte nicht geschrieben werden.\r"
                                                     "/nicht/da/Filiale_Zahlungsübersicht.pdf: Verzeichnis fehlt"));
}

// -99 wherever the driver examines it ends the run silently; the job is still ended.
struct Abbruchfall {
  const char* name;
  const char* aufruf;
  int ziel;
};

class Abbrueche : public ReportDruckenTest, public ::testing::WithParamInterface<Abbruchfall> {};

TEST_P(Abbrueche, OhneMeldungUndOhneVorschau) {
  Tabellendaten daten = Zahlungszeilen(3);
  anfrage.DruckZiel = GetParam().ziel;
  if (QLatin1String(GetParam().aufruf) == QLatin1String("DateiAuswaehlen")) anfrage.ReportDatei.clear();
  engine.antworten[QString::fromUtf8(GetParam().aufruf)] = {Report::Abgebrochen};
  EXPECT_EQ(Drucken(daten), Report::Abgebrochen);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("VorschauAnzeigen")), 0);
  EXPECT_EQ(engine.aufrufe.last(), QStringLiteral("DruckEnde(0)"));
}

INSTANTIATE_TEST_SUITE_P(ReportDrucken, Abbrueche,
                         ::testing::Values(Abbruchfall{"Dateidialog", "DateiAuswaehlen", Report::ZielVorschau},
                                           Abbruchfall{"Ausgabeeinstellungen", "OptionenDialog", Report::ZielAbfragen},
                                           Abbruchfall{"Fortschrittsbox", "BoxTextSetzen", Report::ZielVorschau},
                                           Abbruchfall{"Seitenteil", "Drucken", Report::ZielVorschau},
                                           Abbruchfall{"Zeile", "FelderDrucken", Report::ZielVorschau},
                                           Abbruchfall{"Listenende", "FelderEnde", Report::ZielVorschau}),
                         [](const ::testing::TestParamInfo<Abbruchfall>& info) { return std::string(info.param.name); });

TEST_F(ReportDruckenTest, OhneReportdateiWaehltDerDateidialogImProgrammverzeichnis) {
  TestOrdner ordner;
  const QString programm = ordner.Datei(QStringLiteral("programm")) + QLatin1Char('/');
  QDir().mkpath(programm);
  formular.programmVerzeichnis = programm;
  const auto schreiben = &TestOrdner::Schreiben;
  schreiben(programm + QStringLiteral("Eigene.LST"), "im Programmverzeichnis");
  Tabellendaten daten = Zahlungszeilen(1);
  anfrage.ReportDatei.clear();
  engine.gewaehlteDatei = programm + QStringLiteral("Eigene.LST");
  EXPECT_EQ(Drucken(daten), Report::Ok);
  EXPECT_EQ(engine.aufrufe.at(1), QStringLiteral("DateiAuswaehlen(Reportdatei wählen [Zahlungsliste],2,%1*.lst)").arg(programm));
  EXPECT_EQ(engine.Position(QStringLiteral("DruckStarten(2,%1Eigene.LST,").arg(programm)), engine.Position(QStringLiteral("DruckStarten")));
  EXPECT_TRUE(anfrage.ReportDatei.isEmpty());   // the choice is not handed back

  // A file from elsewhere is copied in under a free name; neither file is touched.
  const QString fremd = ordner.Datei(QStringLiteral("Eigene.lst"));
  schreiben(fremd, "von anderswo");
  schreiben(programm + QStringLiteral("eigene1.lst"), "belegt");
  AufzeichnendeEngine zweite;
  zweite.gewaehlteDatei = fremd;
  EXPECT_EQ(Drucken(daten, {}, &zweite), Report::Ok);
  EXPECT_EQ(zweite.Position(QStringLiteral("DruckStarten(2,%1Eigene2.lst,").arg(programm)), zweite.Position(QStringLiteral("DruckStarten")));
  EXPECT_EQ(TestOrdner::Lesen(programm + QStringLiteral("Eigene2.lst")), QByteArray("von anderswo"));
  EXPECT_EQ(TestOrdner::Lesen(programm + QStringLiteral("Eigene.LST")), QByteArray("im Programmverzeichnis"));
  EXPECT_TRUE(QFileInfo::exists(fremd));
  EXPECT_EQ(ergebnis.meldungen.size(), 0);

  // A file that cannot be copied: the message, no print.
  AufzeichnendeEngine dritte;
  dritte.gewaehlteDatei = ordner.Datei(QStringLiteral("Verschwunden.LST"));
  EXPECT_EQ(Drucken(daten, {}, &dritte), Druckergebnis::Kopierfehler);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_TRUE(ergebnis.meldungen.last().startsWith(QStringLiteral("Die Reportdatei ") +
                                                  QDir::toNativeSeparators(dritte.gewaehlteDatei) +
                                                  QStringLiteral(" kann nicht ins Programmverzeichnis kopiert werden.")));
  EXPECT_EQ(dritte.Anzahl(QStringLiteral("DruckStarten")), 0);
  EXPECT_FALSE(QFileInfo::exists(programm + QStringLiteral("Verschwunden.LST")));
}

// Without the caller's sender recordset the driver opens one on the database it was given; without
// either there are no sender variables.
TEST_F(ReportDruckenTest, AbsenderAusDerDatenbankOderKeiner) {
  Tabellendaten daten = Zahlungszeilen(1);
  formular.absenderDaten = nullptr;
  formular.datenbank = m_db.get();
  Drucken(daten);
  QString name;
  for (const auto& v : engine.variablen)
    if (v.name == QLatin1String("Absender.Name")) name = v.wert.toString();
  EXPECT_EQ(name, QStringLiteral("Tamo Handel GmbH"));

  AufzeichnendeEngine ohne;
  formular.datenbank = nullptr;
  EXPECT_EQ(Drucken(daten, {}, &ohne), Report::Ok);
  for (const auto& v : ohne.variablen) EXPECT_FALSE(v.name.startsWith(QLatin1String("Absender."))) << v.name.toStdString();
}

// The result names the PDF file only when the silent PDF target wrote it.
struct Dateifall {
  const char* name;
  int ziel;
  int zeile;           // the engine's answer to the row
  int druckEnde;       // the engine's answer at the end of the job
  const char* datei;   // expected in the result
};

class Ergebnisdatei : public ReportDruckenTest, public ::testing::WithParamInterface<Dateifall> {};

TEST_P(Ergebnisdatei, NurDieGeschriebenePdfDatei) {
  Tabellendaten daten = Zahlungszeilen(1);
  anfrage.DruckZiel = GetParam().ziel;
  anfrage.PdfDateiname = QStringLiteral("Übersicht.pdf");
  anfrage.PdfPfad = QStringLiteral("/sepa");
  engine.antworten[QStringLiteral("FelderDrucken")] = {GetParam().zeile};
  engine.antworten[QStringLiteral("DruckEnde")] = {GetParam().druckEnde};
  engine.optionen[Report::OptionZiel] = Report::ZielPdf;   // what the output settings would choose
  Drucken(daten);
  EXPECT_EQ(ergebnis.datei, QDir::toNativeSeparators(QString::fromUtf8(GetParam().datei)));
  EXPECT_EQ(ergebnis.meldungen.isEmpty(), GetParam().zeile == Report::Ok && GetParam().druckEnde == Report::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    ReportDrucken, Ergebnisdatei,
    ::testing::Values(Dateifall{"PdfGeschrieben", Report::ZielPdf, Report::Ok, Report::Ok, "/sepa/Übersicht.pdf"},
                      Dateifall{"PdfFehlgeschlagen", Report::ZielPdf, Report::Ok, Report::ExportFehler, ""},
                      Dateifall{"PdfMitFehlerInDenZeilen", Report::ZielPdf, Report::UnbekanntesFeld, Report::Ok, ""},
                      Dateifall{"Vorschau", Report::ZielVorschau, Report::Ok, Report::Ok, ""},
                      Dateifall{"Drucker", Report::ZielDrucker, Report::Ok, Report::Ok, ""},
                      Dateifall{"AusgabeeinstellungenMitPdf", Report::ZielAbfragen, Report::Ok, Report::Ok, ""}),
    [](const ::testing::TestParamInfo<Dateifall>& info) { return std::string(info.param.name); });

// A run that fails twice keeps both failures, the cause first, and ends with the later code.
TEST_F(ReportDruckenTest, ZweiFehlerEinesLaufsInIhrerReihenfolge) {
  Tabellendaten daten = Zahlungszeilen(3);
  anfrage.DruckZiel = Report::ZielDrucker;
  engine.antworten[QStringLiteral("FelderDrucken")] = {Report::Ok, Report::DruckerFehlt};
  engine.antworten[QStringLiteral("DruckEnde")] = {Report::Druckfehler};
  EXPECT_EQ(Drucken(daten), Report::Druckfehler);
  ASSERT_EQ(ergebnis.meldungen.size(), 2);
  EXPECT_EQ(ergebnis.meldungen.at(0), ReportFehlermeldung(Report::DruckerFehlt));
  EXPECT_EQ(ergebnis.meldungen.at(1), ReportFehlermeldung(Report::Druckfehler));
  EXPECT_FALSE(ergebnis.Ok());
}

TEST_F(ReportDruckenTest, WiederholungDruecktDieZeileEinmalAufNeuerSeite) {
  Tabellendaten daten = Zahlungszeilen(5);
  engine.zeilenJeSeite = 2;
  EXPECT_EQ(Drucken(daten), Report::Ok);
  ASSERT_EQ(engine.zeilen.size(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(engine.zeilen.at(i).value(QStringLiteral("Zahlungen.ZahlungNr")).toLongLong(), i + 1);
  EXPECT_EQ(engine.seite, 3);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
}

TEST_F(ReportDruckenTest, EndloseWiederholungGibtAufMitMeldung) {
  Tabellendaten daten = Zahlungszeilen(2);
  engine.antworten[QStringLiteral("FelderDrucken")] = QList<int>(50, Report::Wiederholen);
  EXPECT_EQ(Drucken(daten), Report::Wiederholen);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_TRUE(ergebnis.meldungen.last().contains(QStringLiteral("Ein Datensatz passt auch auf eine neue Seite nicht.")));
  EXPECT_LE(engine.Anzahl(QStringLiteral("FelderDrucken()")), 5);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("DruckAbbrechen()")), 1);

  // The same at the end of the list.
  AufzeichnendeEngine zweite;
  zweite.antworten[QStringLiteral("FelderEnde")] = QList<int>(50, Report::Wiederholen);
  EXPECT_EQ(Drucken(daten, {}, &zweite), Report::Wiederholen);
  EXPECT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_LE(zweite.Anzahl(QStringLiteral("FelderEnde()")), 5);
}

TEST_F(ReportDruckenTest, SeitenlimitBeendetDieZeilenOhneMeldung) {
  Tabellendaten daten = Zahlungszeilen(7);
  engine.zeilenJeSeite = 2;
  engine.optionen[Report::OptionLetzteSeite] = 2;
  EXPECT_EQ(Drucken(daten), Report::Ok);
  EXPECT_EQ(engine.zeilen.size(), 4);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderEnde()")), 1);
}

TEST_F(ReportDruckenTest, DesignerAufrufDrucktNichts) {
  Tabellendaten daten = Zahlungszeilen(2);
  anfrage.DesignerAufruf = true;
  engine.designerErgebnis = Report::Ok;
  EXPECT_EQ(Drucken(daten), Report::Ok);
  EXPECT_LT(engine.Position(QStringLiteral("DruckStarten")), engine.Position(QStringLiteral("Designer(")));
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderDrucken()")), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("DruckOptionSetzen")), 0);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
}

TEST_F(ReportDruckenTest, FehlendeReportdateiOeffnetDenDesignerUndWirdGemeldet) {
  Tabellendaten daten = Zahlungszeilen(2);
  engine.antworten[QStringLiteral("DruckStarten")] = {Report::KeinProjekt};
  EXPECT_EQ(Drucken(daten), Report::KeinProjekt);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("Designer(Zahlungsliste,2,/programm/Zahlungsliste.LST)")), 1);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_TRUE(ergebnis.meldungen.last().endsWith(QStringLiteral("Die Reportdatei ist nicht vorhanden.\r/programm/Zahlungsliste.LST")));
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderDrucken()")), 0);

  // A designer that saved the file: the print starts on it and goes on.
  AufzeichnendeEngine zweite;
  zweite.antworten[QStringLiteral("DruckStarten")] = {Report::KeinProjekt, Report::Ok};
  zweite.designerErgebnis = Report::Ok;
  EXPECT_EQ(Drucken(daten, {}, &zweite), Report::Ok);
  EXPECT_EQ(zweite.Anzahl(QStringLiteral("DruckStarten")), 2);
  EXPECT_EQ(zweite.zeilen.size(), 2);
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
}

TEST_F(ReportDruckenTest, PdfParameterInDerReihenfolgeDesProtokolls) {
  Tabellendaten daten = Zahlungszeilen(1);
  anfrage.DruckZiel = Report::ZielPdf;
  anfrage.DruckKopien = 3;
  anfrage.PdfDateiname = QStringLiteral("Filiale_Zahlungsübersicht.pdf");
  anfrage.PdfPfad = QStringLiteral("/sepa/");
  Drucken(daten);
  const int start = engine.Position(QStringLiteral("ExportParameterSetzen"));
  ASSERT_GT(start, engine.Position(QStringLiteral("DruckStarten")));
  EXPECT_EQ(engine.aufrufe.mid(start, 6),
            (QStringList{QStringLiteral("ExportParameterSetzen(PDF,Export.File,Filiale_Zahlungsübersicht.pdf)"),
                         QStringLiteral("ExportFormatSetzen(PDF)"),
                         QStringLiteral("ExportParameterSetzen(PDF,Export.Path,/sepa/)"),
                         QStringLiteral("ExportParameterSetzen(PDF,Export.File,Filiale_Zahlungsübersicht.pdf)"),
                         QStringLiteral("ExportParameterSetzen(PDF,Export.Quiet,1)"),
                         QStringLiteral("DruckOptionSetzen(13,8)")}));
  EXPECT_EQ(engine.Anzahl(QStringLiteral("DruckOptionSetzen(0,")), 0);   // no copies for PDF

  // Without a file name nothing is set, the target still goes to the engine.
  AufzeichnendeEngine zweite;
  anfrage.PdfDateiname.clear();
  Drucken(daten, {}, &zweite);
  EXPECT_EQ(zweite.Anzahl(QStringLiteral("ExportParameterSetzen")), 0);
  EXPECT_EQ(zweite.Anzahl(QStringLiteral("DruckOptionSetzen(13,8)")), 1);

  // The output settings get the file name before they open.
  AufzeichnendeEngine dritte;
  anfrage.DruckZiel = Report::ZielAbfragen;
  anfrage.PdfDateiname = QStringLiteral("x.pdf");
  Drucken(daten, {}, &dritte);
  EXPECT_LT(dritte.Position(QStringLiteral("ExportParameterSetzen(PDF,Export.File,x.pdf)")),
            dritte.Position(QStringLiteral("OptionenDialog(Ausgabeeinstellungen,Datenquelle: Zahlungsliste)")));
}

// Copies by target: only the printer gets them, and only when more than one; the output settings
// hand back the copies chosen there. Never fewer than asked for.
struct Kopienfall {
  const char* name;
  int ziel;
  int kopien;
  int dialogZiel;     // target chosen in the output settings (target 0)
  int dialogKopien;
  int gesetzt;        // copy option set by the driver, 0 = none
  int ergebnisKopien;
};

class Kopien : public ReportDruckenTest, public ::testing::WithParamInterface<Kopienfall> {};

TEST_P(Kopien, NurDerDruckerBekommtKopien) {
  const Kopienfall& k = GetParam();
  Tabellendaten daten = Zahlungszeilen(1);
  anfrage.DruckZiel = k.ziel;
  anfrage.DruckKopien = k.kopien;
  engine.optionen[Report::OptionZiel] = k.dialogZiel;
  engine.optionen[Report::OptionKopien] = k.dialogKopien;
  Drucken(daten);
  const int gesetzt = engine.Anzahl(QStringLiteral("DruckOptionSetzen(0,"));
  if (k.gesetzt == 0) {
    EXPECT_EQ(gesetzt, 0);
  } else {
    EXPECT_EQ(gesetzt, 1);
    EXPECT_EQ(engine.optionen.value(Report::OptionKopien), k.gesetzt);
  }
  EXPECT_EQ(anfrage.DruckKopien, k.ergebnisKopien);
}

INSTANTIATE_TEST_SUITE_P(
    ReportDrucken, Kopien,
    ::testing::Values(Kopienfall{"DruckerDrei", Report::ZielDrucker, 3, 0, 0, 3, 3},
                      Kopienfall{"DruckerEine", Report::ZielDrucker, 1, 0, 0, 0, 1},
                      Kopienfall{"VorschauDrei", Report::ZielVorschau, 3, 0, 0, 0, 3},
                      Kopienfall{"PdfDrei", Report::ZielPdf, 3, 0, 0, 0, 3},
                      Kopienfall{"AbfrageDruckerVier", Report::ZielAbfragen, 1, Report::ZielDrucker, 4, 4, 4},
                      Kopienfall{"AbfrageVorschau", Report::ZielAbfragen, 1, Report::ZielVorschau, 4, 0, 1}),
    [](const ::testing::TestParamInfo<Kopienfall>& info) { return std::string(info.param.name); });

TEST_F(ReportDruckenTest, SortierungNurAusDenAngebotenenUndImSpeicher) {
  Tabellendaten daten = Zahlungszeilen(3);
  daten.zeilen[0][1] = QStringLiteral("Zander");
  daten.zeilen[1][1] = QStringLiteral("ärger");   // umlaut and case as the database's collation sees them
  daten.zeilen[2][1] = QStringLiteral("Müller");
  engine.sortierung = QStringLiteral("Name");
  EXPECT_EQ(Drucken(daten), Report::Ok);
  QStringList namen;
  for (const auto& z : engine.zeilen) namen << z.value(QStringLiteral("Name")).toString();
  EXPECT_EQ(namen, (QStringList{QStringLiteral("Müller"), QStringLiteral("Zander"), QStringLiteral("ärger")}));

  // Anything else, SQL text included, is refused with the re-sort message and prints nothing.
  AufzeichnendeEngine zweite;
  zweite.sortierung = QStringLiteral("Name; DROP TABLE Zahlungen");
  EXPECT_EQ(Drucken(daten, {}, &zweite), Druckergebnis::Sortierfehler);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_EQ(ergebnis.meldungen.last(), NeusortierenMeldung(QStringLiteral("Name; DROP TABLE Zahlungen")));
  EXPECT_TRUE(ergebnis.meldungen.last().startsWith(QStringLiteral("Fehler beim Neusortieren der Daten!\r\rNr: ")));
  EXPECT_TRUE(zweite.zeilen.isEmpty());
  EXPECT_EQ(zweite.Anzahl(QStringLiteral("DruckAbbrechen()")), 1);
}

TEST_F(ReportDruckenTest, FesteZahlungsordnungenNurBeiZahlungenAlsErsterQuelleUndMitIhrenSpalten) {
  Tabellendaten daten = Zahlungslistenzeilen();
  QStringList kennungen;
  for (const Sortierangebot& a : Sortierangebote(daten.spalten)) kennungen << a.kennung;
  EXPECT_EQ(kennungen, Zahlungslistenordnungen());   // columns in field order, none for the calculated one, then the fixed two
  daten.spalten[0].quellTabelle = QStringLiteral("zahlungen");   // letter case counts
  EXPECT_EQ(Sortierangebote(daten.spalten).size(), 8);
  daten.spalten[0].quellTabelle.clear();
  EXPECT_EQ(Sortierangebote(daten.spalten).size(), 7);

  // Rows without "Art" get only the column orders; a report asking for a fixed one gets the message.
  Tabellendaten ohneArt = Zahlungszeilen(2);
  EXPECT_EQ(Sortierangebote(ohneArt.spalten).size(), 3);
  engine.sortierung = Zahlungslistenordnungen().at(8);
  EXPECT_EQ(Drucken(ohneArt), Druckergebnis::Sortierfehler);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_EQ(ergebnis.meldungen.last(), NeusortierenMeldung(Zahlungslistenordnungen().at(8)));
  EXPECT_TRUE(engine.zeilen.isEmpty());
}

// Every order a payment list offers sorts its rows as named: numbers as numbers, amounts exactly,
// dates by date, names by the program's collation, ties in the caller's order.
struct Sortierfall {
  const char* name;
  int angebot;          // index among the offered orders
  const char* reihe;    // the rows (A..E) in the printed order
};

class Sortierungen : public ReportDruckenTest, public ::testing::WithParamInterface<Sortierfall> {};

TEST_P(Sortierungen, SortiertWieBenannt) {
  Tabellendaten daten = Zahlungslistenzeilen();
  engine.sortierung = Zahlungslistenordnungen().at(GetParam().angebot);
  ASSERT_EQ(Drucken(daten), Report::Ok);
  QString reihe;
  for (const auto& z : engine.zeilen) reihe += z.value(QStringLiteral("Verwendungszweck")).toString();
  EXPECT_EQ(reihe, QString::fromUtf8(GetParam().reihe));
  EXPECT_EQ(ergebnis.meldungen.size(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    ReportDrucken, Sortierungen,
    ::testing::Values(Sortierfall{"ZahlungNr", 0, "BCDAE"}, Sortierfall{"Art", 1, "BCEAD"},
                      Sortierfall{"MandatSequenz", 2, "BCEDA"}, Sortierfall{"Name", 3, "EABCD"},
                      Sortierfall{"Faellig", 4, "DBCAE"}, Sortierfall{"Betrag", 5, "CDABE"},
                      Sortierfall{"ZweckZahlungNr", 6, "BCDAE"}, Sortierfall{"ZeilenNr", 7, "ACDEB"},
                      Sortierfall{"ArtName", 8, "ECBAD"}, Sortierfall{"ArtSequenzName", 9, "ECBDA"}),
    [](const ::testing::TestParamInfo<Sortierfall>& info) { return std::string(info.param.name); });

TEST_F(ReportDruckenTest, DatenfehlerBeendetDenLaufMitMeldung) {
  Tabellendaten daten = Zahlungszeilen(4);
  daten.fehlerAb = 2;
  EXPECT_EQ(Drucken(daten), Druckergebnis::Datenfehler);
  ASSERT_EQ(ergebnis.meldungen.size(), 1);
  EXPECT_TRUE(ergebnis.meldungen.last().startsWith(QStringLiteral("Fehler bei der Datenermittlung!\r\rNr: 1555")));
  EXPECT_TRUE(ergebnis.meldungen.last().contains(QStringLiteral("Beschreibung: Zeile nicht lesbar")));
  EXPECT_EQ(engine.zeilen.size(), 2);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("DruckAbbrechen()")), 1);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderEnde()")), 0);
}

TEST_F(ReportDruckenTest, EtikettenDruckenZeilenAlsVariablenUndWiederholenDieselbeZeile) {
  Tabellendaten daten = Zahlungszeilen(2);
  anfrage.ProjektTyp = Report::Etikett;
  engine.etikett = true;
  engine.antworten[QStringLiteral("Drucken")] = {Report::Wiederholen, Report::Ok};
  EXPECT_EQ(Drucken(daten), Report::Ok);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("SortierungenBeginnen")), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FeldDefinieren")), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FelderDrucken")), 0);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("VariableBenutzt(Name)")), 2);   // the repeat defines nothing anew
  EXPECT_EQ(engine.Anzahl(QStringLiteral("Drucken()")), 3);
  ASSERT_EQ(engine.zeilen.size(), 2);
  EXPECT_EQ(engine.zeilen.at(0).value(QStringLiteral("Name")).toString(), QStringLiteral("Kunde 1"));
  EXPECT_EQ(engine.zeilen.at(1).value(QStringLiteral("Name")).toString(), QStringLiteral("Kunde 2"));
}

TEST_F(ReportDruckenTest, RecordsetSpaltenNachTypOhneBinaerUndUnbekannteWerte) {
  ASSERT_FALSE(m_db->SkriptAusfuehren(QStringLiteral(
      "CREATE TABLE Probe (Nr INTEGER PRIMARY KEY, Text TEXT(10), Betrag CURRENCY, Tag DATE, Ja BOOLEAN NOT NULL DEFAULT 0, "
      "Roh BLOB, Sonst FOO);"
      "INSERT INTO Probe VALUES (1, NULL, 123456, NULL, 1, x'00', 'a');")));
  DbFehler f;
  auto rs = Recordset::Oeffnen(*m_db, Abfrage::Tabelle(QStringLiteral("Probe")), RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs);
  RecordsetReportdaten daten(*rs);
  Drucken(daten);
  ASSERT_EQ(engine.zeilen.size(), 1);
  const auto& z = engine.zeilen.first();
  EXPECT_TRUE(z.value(QStringLiteral("Text")).isNull());
  EXPECT_TRUE(z.value(QStringLiteral("Tag")).isNull());
  EXPECT_EQ(z.value(QStringLiteral("Betrag")).value<Waehrung>(), Waehrung::AusRoh(123456));
  EXPECT_EQ(z.value(QStringLiteral("Ja")).metaType().id(), QMetaType::Bool);
  EXPECT_EQ(engine.Anzahl(QStringLiteral("FeldDefinieren(Sonst)")), 0);
}

}  // namespace
