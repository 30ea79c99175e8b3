#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "QtAusgabe.h"
#include "SepaLaufTreiber.h"
#include "XPfad.h"
#include "common/Uhr.h"
#include "platform/db/Waehrung.h"
#include "platform/report/Poppler.h"
#include "sepafiles/core/SepaFormat.h"
#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

struct Lauf {
  int rc = -1;
  QString aus;
  QString fehler;
};

Lauf Aufrufen(const QStringList& argumente) {
  Lauf l;
  QTextStream aus(&l.aus);
  QTextStream fehler(&l.fehler);
  l.rc = SepaLaufTreiber(argumente, aus, fehler);
  aus.flush();
  fehler.flush();
  return l;
}

int Zahl(const QString& ausgabe, const QString& schluessel) {
  for (const QString& zeile : ausgabe.split(QLatin1Char('\n')))
    if (zeile.startsWith(schluessel)) return zeile.mid(schluessel.size()).toInt();
  return -1;
}

QStringList DateiZeilen(const QString& ausgabe) {
  QStringList pfade;
  for (const QString& zeile : ausgabe.split(QLatin1Char('\n')))
    if (zeile.startsWith(QLatin1String("Datei: "))) pfade << zeile.mid(7);
  return pfade;
}

TEST(SepaLaufTreiber, ErzeugtFeindlicheDatenUndSchreibtGueltigeAufgeteilteDateien) {
  TestOrdner ordner;
  const QString db = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  QDir(ordner.Pfad()).mkdir(QStringLiteral("ziel"));
  const QString ziel = ordner.Datei(QStringLiteral("ziel"));
  const Lauf l = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("60"),
                           QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--feindlich"),
                           QStringLiteral("--art"), QStringLiteral("2"), QStringLiteral("--aufteilen"),
                           QStringLiteral("--ziel"), ziel, QStringLiteral("--referenz"), QStringLiteral("B900")});
  ASSERT_EQ(l.rc, 0) << l.fehler.toStdString();
  const QStringList dateien = DateiZeilen(l.aus);
  ASSERT_EQ(dateien.size(), 4);
  for (const QString& pfad : dateien) {
    const QStringList fehler = SchemaPruefung::Pruefen(pfad, QStringLiteral("pain.008.001.08"));
    EXPECT_TRUE(fehler.isEmpty()) << pfad.toStdString() << ": " << fehler.join(QLatin1Char('\n')).toStdString();
  }
  const int geschrieben = Zahl(l.aus, QStringLiteral("Zahlungen: "));
  const int fehlerhaft = Zahl(l.aus, QStringLiteral("Fehlerhaft: "));
  EXPECT_GT(fehlerhaft, 0);
  EXPECT_EQ(geschrieben + fehlerhaft, 60);
  // Every left-out order with its reasons, as the window's list "Weggelassene Zahlungen" shows them.
  int weggelassen = 0;
  for (const QString& zeile : l.aus.split(QLatin1Char('\n'))) {
    if (!zeile.startsWith(QLatin1String("Weggelassen: "))) continue;
    ++weggelassen;
    const QStringList zellen = zeile.mid(13).split(QLatin1Char('\t'));
    ASSERT_EQ(zellen.size(), 6) << zeile.toStdString();
    EXPECT_GT(zellen.at(0).toLongLong(), 0) << zeile.toStdString();
    EXPECT_FALSE(zellen.at(5).trimmed().isEmpty()) << zeile.toStdString();
  }
  EXPECT_EQ(weggelassen, fehlerhaft);

  // Everything written is done: a second run over the same database finds nothing and is refused.
  const Lauf zweiter = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("2"),
                                 QStringLiteral("--ziel"), ziel, QStringLiteral("--referenz"), QStringLiteral("B904")});
  EXPECT_EQ(zweiter.rc, 1);
  EXPECT_EQ(Zahl(zweiter.aus, QStringLiteral("Zahlungen: ")), 0);
  EXPECT_TRUE(DateiZeilen(zweiter.aus).isEmpty());
}

TEST(SepaLaufTreiber, UeberweisungenUndFalscheAufrufe) {
  TestOrdner ordner;
  const QString db = ordner.Datei(QStringLiteral("u.db"));
  const Lauf l = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("25"),
                           QStringLiteral("--art"), QStringLiteral("0"), QStringLiteral("--ziel"), ordner.Pfad(),
                           QStringLiteral("--referenz"), QStringLiteral("U1")});
  ASSERT_EQ(l.rc, 0) << l.fehler.toStdString();
  ASSERT_EQ(DateiZeilen(l.aus).size(), 1);
  EXPECT_TRUE(SchemaPruefung::Pruefen(DateiZeilen(l.aus).first(), QStringLiteral("pain.001.001.09")).isEmpty());
  EXPECT_EQ(Zahl(l.aus, QStringLiteral("Zahlungen: ")), 25);
  EXPECT_EQ(Zahl(l.aus, QStringLiteral("Fehlerhaft: ")), 0);

  // An existing file is never overwritten by --erzeugen; missing or wrong arguments fail.
  EXPECT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("5"),
                      QStringLiteral("--art"), QStringLiteral("0"), QStringLiteral("--ziel"), ordner.Pfad(),
                      QStringLiteral("--referenz"), QStringLiteral("U2")})
                .rc,
            2);
  EXPECT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("3"), QStringLiteral("--ziel"),
                      ordner.Pfad(), QStringLiteral("--referenz"), QStringLiteral("U2")})
                .rc,
            2);
  EXPECT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("0")}).rc, 2);
}

// The control list of the run, headless: every order of the file with name, IBAN, amount and
// end-to-end id, the number of orders and the German total, checked against the XML itself.
TEST(SepaLaufTreiber, KontrolllisteAlsPdfStimmtMitDerDateiUeberein) {
  TestOrdner ordner;
  const QString db = ordner.Datei(QStringLiteral("k.db"));
  const QString pdf = ordner.Datei(QStringLiteral("Kontrolle.pdf"));
  const Lauf l = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("40"),
                           QStringLiteral("--art"), QStringLiteral("1"), QStringLiteral("--ziel"), ordner.Pfad(),
                           QStringLiteral("--referenz"), QStringLiteral("K100"), QStringLiteral("--kontrollliste"), pdf});
  ASSERT_EQ(l.rc, 0) << l.fehler.toStdString();
  ASSERT_TRUE(l.aus.contains(QStringLiteral("Kontrollliste: ") + QDir::toNativeSeparators(pdf)));
  ASSERT_EQ(DateiZeilen(l.aus).size(), 1);
  QFile xml(DateiZeilen(l.aus).first());
  ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
  const XPfad datei(xml.readAll());
  const QStringList ibans = datei.Texte(QStringLiteral("//p:DrctDbtTxInf/p:DbtrAcct/p:Id/p:IBAN"));
  const QStringList ids = datei.Texte(QStringLiteral("//p:DrctDbtTxInf/p:PmtId/p:EndToEndId"));
  const QStringList betraege = datei.Texte(QStringLiteral("//p:DrctDbtTxInf/p:InstdAmt"));
  const QStringList namen = datei.Texte(QStringLiteral("//p:DrctDbtTxInf/p:Dbtr/p:Nm"));
  ASSERT_EQ(ids.size(), 40);

  const QString text = Poppler::Text(pdf);
  for (qsizetype i = 0; i < ids.size(); ++i) {
    EXPECT_TRUE(text.contains(ibans.at(i))) << ibans.at(i).toStdString();
    EXPECT_TRUE(text.contains(ids.at(i))) << ids.at(i).toStdString();
    EXPECT_TRUE(text.contains(namen.at(i))) << namen.at(i).toStdString();
    const QString betrag = Waehrung::ParseInvariant(betraege.at(i))->FormatDeutsch();
    EXPECT_TRUE(text.contains(betrag)) << betrag.toStdString();
  }
  // Rows are remittance lines: the orders are counted, not the rows.
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Zahlungen: 40")));
  const QString summe = Waehrung::ParseInvariant(datei.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")))->FormatDeutsch();
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: ") + summe + QStringLiteral(" EUR"))) << summe.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("SEPA-Erstellung")));
  for (const QString& zeile : Poppler::Schriften(pdf)) EXPECT_TRUE(zeile.contains(QStringLiteral(" yes "))) << zeile.toStdString();

  // A stored default report that is gone is reported, and no PDF comes of it.
  {
    DbFehler f;
    auto d = Datenbank::Oeffnen(db, f);
    ASSERT_TRUE(d) << f.Meldungstext().toStdString();
    ASSERT_FALSE(d->Ausfuehren(SqlText("INSERT INTO Einstellungen (einstellung, Wert) VALUES ('VorgabeRPTZahlungsliste', "
                                       "'C:\\Programme\\Tamo-SEPA\\WEG.LST')")));
    ASSERT_FALSE(d->Ausfuehren(SqlText("UPDATE Zahlungen SET Erledigt = 0")));
  }
  const QString zweite = ordner.Datei(QStringLiteral("Zweite.pdf"));
  const Lauf weg = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("1"), QStringLiteral("--ziel"),
                             ordner.Pfad(), QStringLiteral("--referenz"), QStringLiteral("K200"),
                             QStringLiteral("--kontrollliste"), zweite});
  EXPECT_EQ(weg.rc, 1);
  EXPECT_TRUE(weg.fehler.contains(QStringLiteral("Die Reportdatei ist nicht vorhanden."))) << weg.fehler.toStdString();
  EXPECT_TRUE(weg.fehler.contains(QStringLiteral("WEG.LST"))) << weg.fehler.toStdString();
  EXPECT_FALSE(QFileInfo::exists(zweite));
}

// --dateiformat chooses the format of this run, else the stored setting counts; a file the schemas refuse
// (--verfaelschen) ends the run with the message, nothing marked, no file and a non-zero exit.
TEST(SepaLaufTreiber, DateiformatUndVerfaelschteDatei) {
  TestOrdner ordner;
  const QString db = ordner.Datei(QStringLiteral("f.db"));
  ASSERT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("8"), QStringLiteral("--art"),
                      QStringLiteral("0"), QStringLiteral("--referenz"), QStringLiteral("F1"), QStringLiteral("--nur-oeffnen")})
                .rc,
            0);
  auto lauf = [&](const QString& referenz, const QStringList& mehr) {
    return Aufrufen(QStringList{QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("0"),
                                QStringLiteral("--ziel"), ordner.Pfad(), QStringLiteral("--referenz"), referenz} +
                    mehr);
  };
  auto offen = [&] {
    DbFehler f;
    auto d = Datenbank::Oeffnen(db, f);
    return d ? d->Wert("SELECT count(*) FROM Zahlungen WHERE Erledigt = 0", {}, f)->toInt() : -1;
  };
  auto einstellen = [&](const SqlText& sql) {
    DbFehler f;
    auto d = Datenbank::Oeffnen(db, f);
    ASSERT_TRUE(d && d->Ausfuehren(sql).Ok());
  };

  EXPECT_EQ(lauf(QStringLiteral("F2"), {QStringLiteral("--dateiformat"), QStringLiteral("pain.001.001.05")}).rc, 2);

  const Lauf verfaelscht = lauf(QStringLiteral("F2"), {QStringLiteral("--verfaelschen"), QStringLiteral("0")});
  EXPECT_EQ(verfaelscht.rc, 1);
  EXPECT_TRUE(verfaelscht.fehler.contains(QStringLiteral("Die Datei SEPAGK.XML entspricht nicht dem Schema der Bank (Zeile 1,")))
      << verfaelscht.fehler.toStdString();
  EXPECT_TRUE(DateiZeilen(verfaelscht.aus).isEmpty());
  EXPECT_EQ(Zahl(verfaelscht.aus, QStringLiteral("Zahlungen: ")), 0);
  EXPECT_EQ(offen(), 8);
  EXPECT_TRUE(QDir(ordner.Pfad()).entryList({QStringLiteral("*.XML*"), QStringLiteral("*.sepatmp")}, QDir::Files).isEmpty());

  const Lauf alt = lauf(QStringLiteral("F2"), {QStringLiteral("--dateiformat"), QStringLiteral("pain.001.001.03")});
  ASSERT_EQ(alt.rc, 0) << alt.fehler.toStdString();
  ASSERT_EQ(DateiZeilen(alt.aus).size(), 1);
  EXPECT_TRUE(TestOrdner::Lesen(DateiZeilen(alt.aus).first()).contains("tech:xsd:pain.001.001.03\""));
  EXPECT_EQ(SchemaPruefung::Pruefen(DateiZeilen(alt.aus).first(), QStringLiteral("pain.001.001.03")), QStringList());

  // The stored setting, when no option is given.
  einstellen(SqlText("UPDATE Zahlungen SET Erledigt = 0"));
  einstellen(SqlText("INSERT INTO Einstellungen (einstellung, Wert) VALUES ('SEPADateiformat', 'pain.001.001.03')"));
  const Lauf gespeichert = lauf(QStringLiteral("F3"), {});
  ASSERT_EQ(gespeichert.rc, 0) << gespeichert.fehler.toStdString();
  EXPECT_TRUE(TestOrdner::Lesen(DateiZeilen(gespeichert.aus).first()).contains("tech:xsd:pain.001.001.03\""));
  einstellen(SqlText("UPDATE Zahlungen SET Erledigt = 0"));
  const Lauf neu = lauf(QStringLiteral("F4"), {QStringLiteral("--dateiformat"), QStringLiteral("pain.008.001.08")});
  ASSERT_EQ(neu.rc, 0) << neu.fehler.toStdString();
  EXPECT_TRUE(TestOrdner::Lesen(DateiZeilen(neu.aus).first()).contains("tech:xsd:pain.001.001.09\""));
}

// From 01.12.2026 on a run in the older format prints the window's warning (and is written all the same); before
// that day, and in the current format, it does not.
TEST(SepaLaufTreiber, AltesFormatAbDezember2026MitWarnung) {
  struct Zurueck {
    ~Zurueck() { Uhr::Setzen({}); }
  } zurueck;
  struct Fall {
    QDate tag;
    const char* format;
    bool warnung;
  };
  int nummer = 0;
  for (const Fall& f : {Fall{QDate(2026, 11, 30), "pain.001.001.03", false}, Fall{QDate(2026, 12, 1), "pain.001.001.03", true},
                        Fall{QDate(2026, 12, 1), "pain.001.001.09", false}}) {
    SCOPED_TRACE(f.tag.toString(Qt::ISODate).toStdString() + " " + f.format);
    Uhr::Festhalten(QDateTime(f.tag, QTime(9, 0)));
    TestOrdner ordner;
    const Lauf l = Aufrufen({QStringLiteral("--db"), ordner.Datei(QStringLiteral("a%1.db").arg(++nummer)),
                             QStringLiteral("--erzeugen"), QStringLiteral("3"), QStringLiteral("--art"), QStringLiteral("0"),
                             QStringLiteral("--ziel"), ordner.Pfad(), QStringLiteral("--referenz"), QStringLiteral("A1"),
                             QStringLiteral("--dateiformat"), QString::fromLatin1(f.format)});
    ASSERT_EQ(l.rc, 0) << l.fehler.toStdString();
    EXPECT_EQ(l.fehler.contains(QStringLiteral("Warnung: ") + SepaFormate::AltesFormatWarnung() + QLatin1Char('\n')), f.warnung)
        << l.fehler.toStdString();
    ASSERT_EQ(DateiZeilen(l.aus).size(), 1);
    EXPECT_EQ(SchemaPruefung::Pruefen(DateiZeilen(l.aus).first(), QString::fromLatin1(f.format)), QStringList());
  }
}

}  // namespace

namespace {

// sepa-lauf opens as the program does: a database of a newer program is refused before anything is marked.
TEST(SepaLaufTreiber, DatenbankEinerNeuerenVersionWirdNichtAngefasst) {
  TestOrdner ordner;
  const QString db = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_EQ(Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--erzeugen"), QStringLiteral("5"), QStringLiteral("--art"),
                      QStringLiteral("0"), QStringLiteral("--referenz"), QStringLiteral("U1"), QStringLiteral("--nur-oeffnen")})
                .rc,
            0);
  {
    DbFehler f;
    auto d = Datenbank::Oeffnen(db, f);
    ASSERT_TRUE(d && d->Ausfuehren("PRAGMA user_version = 99").Ok());
  }
  const Lauf l = Aufrufen({QStringLiteral("--db"), db, QStringLiteral("--art"), QStringLiteral("0"), QStringLiteral("--ziel"),
                           ordner.Pfad(), QStringLiteral("--referenz"), QStringLiteral("U1")});
  EXPECT_EQ(l.rc, 1);
  EXPECT_TRUE(l.fehler.contains(QStringLiteral("(Datenbankversion 99)"))) << l.fehler.toStdString();
  EXPECT_TRUE(DateiZeilen(l.aus).isEmpty());
  DbFehler f;
  auto d = Datenbank::Oeffnen(db, f);
  EXPECT_EQ(d->Wert("SELECT count(*) FROM Zahlungen WHERE Erledigt = 1", {}, f)->toInt(), 0);
  EXPECT_EQ(d->Wert("SELECT count(*) FROM Zahlungen", {}, f)->toInt(), 5);
}

}  // namespace
