// The orders the selection read and checked, handed to the run: written as they are only while the database
// is as the selection left it, the same orders, kind, sender and day; anything else makes the run read the
// orders again and judge them with the writer's guard, so a file never carries an order as it no longer is.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "LaufTestDatenbank.h"
#include "XPfad.h"
#include "common/Uhr.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "testsupport/TestOrdner.h"

namespace {

// Wednesday 5 June 2024, 14:05:09.
const QDateTime Zeitpunkt(QDate(2024, 6, 5), QTime(14, 5, 9));

std::unique_ptr<Datenbank> DateiDatenbank(const QString& pfad) {
  DbFehler f;
  auto db = Datenbank::Oeffnen(pfad, f, true);
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  if (db) {
    EXPECT_FALSE(db->Ausfuehren("PRAGMA synchronous = OFF"));
  }
  return db;
}

// The statement that reads orders by number (the run reading for itself).
bool LiestNachNummern(const QString& sql) {
  return sql.contains(QLatin1String("Zahlungen.Fehler FROM Zahlungen")) && sql.contains(QLatin1String("json_each"));
}

class SepaLaufUebergabe : public ::testing::Test {
 protected:
  void SetUp() override {
    Uhr::Festhalten(Zeitpunkt);
    LaufTestDatenbank::Auftrag a;
    for (const int64_t cent : {10000, 25050, 4200}) {
      a.zeilenCent = {cent};
      a.name = QStringLiteral("Kunde %1").arg(cent);
      nummern << t.Anlegen(a);
    }
    t.Db().SetzeStoerung([this](const QString& sql) -> DbFehler {
      if (LiestNachNummern(sql)) ++gelesen;
      return {};
    });
  }
  void TearDown() override {
    t.Db().SetzeStoerung({});
    Uhr::Setzen({});
  }

  SepaAuswahl Auswahl(const QDate& heute = Zeitpunkt.date()) {
    SepaAuswahlAnfrage a;
    a.Heute = heute;
    SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), a);
    EXPECT_EQ(auswahl.ZahlungNummern, nummern);
    gelesen = 0;
    return auswahl;
  }
  SepaLaufErgebnis Lauf(const SepaAuswahl& auswahl, const QList<qint64>& welche) {
    SepaLaufAnfrage anfrage = LaufAnfrage(SepaArt::Ueberweisung, welche, Zeitpunkt, ziel.Pfad());
    anfrage.Auftraege = auswahl.Auftraege;
    return SepaLauf::Ausfuehren(t.Db(), anfrage);
  }
  QStringList Namen(const SepaLaufErgebnis& e) {
    QFile f(e.Dateien.value(0));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return XPfad(f.readAll()).Texte(QStringLiteral("//p:Cdtr/p:Nm"));
  }

  TestOrdner daten;
  const QString datei = daten.Datei(QStringLiteral("TamoSEPA.db"));
  LaufTestDatenbank t{DateiDatenbank(datei)};
  TestOrdner ziel;
  QList<qint64> nummern;
  int gelesen = 0;
};

TEST_F(SepaLaufUebergabe, UnveraendertWirdNichtNochmalGelesen) {
  const SepaLaufErgebnis e = Lauf(Auswahl(), nummern);
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  EXPECT_EQ(gelesen, 0);
  EXPECT_EQ(e.ZahlungNummern, nummern);
  EXPECT_EQ(Namen(e), (QStringList{QStringLiteral("Kunde 10000"), QStringLiteral("Kunde 25050"), QStringLiteral("Kunde 4200")}));
}

// Another workstation, or this one, changed an order after the selection: the file carries it as it is now.
TEST_F(SepaLaufUebergabe, GeaendertWirdNeuGelesen) {
  for (const bool eigene : {false, true}) {
    SCOPED_TRACE(eigene ? "eigene Verbindung" : "anderer Arbeitsplatz");
    ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 0, Name = 'Kunde ' || ZahlungNr"));
    ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM GesendeteReferenzen"));
    const SepaAuswahl auswahl = Auswahl();
    {
      std::unique_ptr<Datenbank> andere = DateiDatenbank(datei);
      Datenbank& wer = eigene ? t.Db() : *andere;
      ASSERT_FALSE(wer.Ausfuehren("UPDATE Zahlungen SET Name = 'Neuer Name' WHERE ZahlungNr = ?", {nummern.at(1)}));
    }
    const SepaLaufErgebnis e = Lauf(auswahl, nummern);
    ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
    EXPECT_EQ(gelesen, 1);
    EXPECT_EQ(Namen(e).value(1), QStringLiteral("Neuer Name"));
    QDir(ziel.Pfad()).removeRecursively();
    QDir().mkpath(ziel.Pfad());
  }
}

// A change that makes an order faulty after the selection is judged by the writer's guard: nothing written.
TEST_F(SepaLaufUebergabe, FehlerhaftGewordenWirdAbgelehnt) {
  const SepaAuswahl auswahl = Auswahl();
  {
    std::unique_ptr<Datenbank> andere = DateiDatenbank(datei);
    ASSERT_FALSE(andere->Ausfuehren("UPDATE Zahlungen SET IBAN = 'DE00370400440532013000' WHERE ZahlungNr = ?",
                                    {nummern.at(2)}));
  }
  const SepaLaufErgebnis e = Lauf(auswahl, nummern);
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Zahlung Nr. %1 kann nicht in die SEPA-Datei geschrieben werden:")
                                       .arg(nummern.at(2))))
      << e.Meldung.toStdString();
  EXPECT_EQ(t.AnzahlErledigt(), 0);
  EXPECT_TRUE(QDir(ziel.Pfad()).entryList(QDir::Files).isEmpty());
}

// Other orders than those checked, or a selection of another day, are read and judged again.
TEST_F(SepaLaufUebergabe, AndereAuswahlWirdNeuGelesen) {
  const SepaLaufErgebnis teil = Lauf(Auswahl(), {nummern.at(0), nummern.at(2)});
  ASSERT_TRUE(teil.Ok()) << teil.Meldung.toStdString();
  EXPECT_EQ(gelesen, 1);
  EXPECT_EQ(teil.ZahlungNummern, (QList<qint64>{nummern.at(0), nummern.at(2)}));
  EXPECT_FALSE(t.Erledigt(nummern.at(1)));

  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 0"));
  ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM GesendeteReferenzen"));
  QDir(ziel.Pfad()).removeRecursively();
  QDir().mkpath(ziel.Pfad());
  const SepaLaufErgebnis gestern = Lauf(Auswahl(Zeitpunkt.date().addDays(-1)), nummern);
  ASSERT_TRUE(gestern.Ok()) << gestern.Meldung.toStdString();
  EXPECT_EQ(gelesen, 1);
  EXPECT_EQ(gestern.ZahlungNummern, nummern);
}

// Another workstation's commit while the run writes makes it read its orders once more before it marks them
// and compare each with what the selection read (texts the selection cleaned and stored included): a change
// beside the run lets it go on, a change of one of its orders stops it.
TEST_F(SepaLaufUebergabe, AenderungWaehrendDesSchreibens) {
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Name = 'Müller & Söhne <Bau> §1', "
                                 "Verwendungszweck1 = 'Rechnung #4711' WHERE ZahlungNr = ?",
                                 {nummern.at(0)}));
  LaufTestDatenbank::Auftrag daneben;
  daneben.art = QStringLiteral("L");
  daneben.mandatSequenz = 1;
  const qint64 andereZahlung = t.Anlegen(daneben);
  for (const bool imLauf : {false, true}) {
    SCOPED_TRACE(imLauf ? "eine Zahlung des Laufs" : "eine Zahlung daneben");
    const SepaAuswahl auswahl = Auswahl();
    std::unique_ptr<Datenbank> andere = DateiDatenbank(datei);
    SepaLaufStoerung stoerung;
    stoerung.Markieren = [&](QString&) {
      EXPECT_FALSE(andere->Ausfuehren("UPDATE Zahlungen SET Name = 'Anders' WHERE ZahlungNr = ?",
                                      {imLauf ? nummern.at(0) : andereZahlung}));
      return 0;
    };
    SepaLaufAnfrage anfrage = LaufAnfrage(SepaArt::Ueberweisung, nummern, Zeitpunkt, ziel.Pfad());
    anfrage.Auftraege = auswahl.Auftraege;
    const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage, &stoerung);
    EXPECT_EQ(gelesen, 1);
    if (imLauf) {
      EXPECT_FALSE(e.Ok());
      EXPECT_TRUE(e.Meldung.contains(QStringLiteral("1 der ausgewählten Zahlungen sind inzwischen erledigt, gelöscht oder "
                                                    "geändert worden.")))
          << e.Meldung.toStdString();
      EXPECT_EQ(t.AnzahlErledigt(), 0);
    } else {
      ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
      EXPECT_EQ(Namen(e).value(0), QStringLiteral("Muller + Sohne Bau 1"));
      ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 0 WHERE ZahlungNr <> ?", {andereZahlung}));
      ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM GesendeteReferenzen"));
      QDir(ziel.Pfad()).removeRecursively();
      QDir().mkpath(ziel.Pfad());
    }
  }
}

}  // namespace
