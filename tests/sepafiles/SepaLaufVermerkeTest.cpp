// What an interrupted SEPA run leaves and the next opening finishes; the records of a run at each of its
// steps; the run's file errors in the user's words; one run at a time per database.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>

#include <cerrno>

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "common/Datenbankstart.h"
#include "common/SichereDateien.h"
#include "common/Uhr.h"
#include "sepafiles/core/SepaFormat.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaLaufSperre.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "sepafiles/core/SepaSelektion.h"
#include "testsupport/TestOrdner.h"

namespace {

const QDateTime Zeitpunkt(QDate(2024, 6, 5), QTime(14, 5, 9));

QByteArray Lesen(const QString& pfad) { return TestOrdner::Lesen(pfad); }
void Schreiben(const QString& pfad, const QByteArray& inhalt) { TestOrdner::Schreiben(pfad, inhalt); }
QStringList Dateien(const QString& ordner) { return QDir(ordner).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
QString N(const QString& pfad) { return QDir::toNativeSeparators(pfad); }

class SepaLaufVermerkeTest : public ::testing::Test {
 protected:
  void SetUp() override { Uhr::Festhalten(Zeitpunkt); }
  void TearDown() override {
    t.Db().SetzeStoerung({});
    SichereDateien::StoerungSetzen({});
    Uhr::Setzen({});
  }
  qint64 Vermerke() { return t.Wert("SELECT count(*) FROM SepaLaufDateien").toLongLong(); }

  // A run as its marking transaction leaves it: each file complete under its temporary name, the orders
  // marked (done 05.06., booked 06.06.), the renames noted (plus `weitere` rows); nothing renamed yet.
  // `mitDaten` false: the records of an earlier version, without the dates of the marks.
  // `koepfe`: what each file begins with (its document element).
  QString Unterbrochen(const QList<QList<qint64>>& zahlungenJeDatei, QList<SepaLaufVermerke::Eintrag> weitere = {},
                       bool mitDaten = true, const QList<QByteArray>& koepfe = {}) {
    const QString lauf = SepaLaufVermerke::NeueKennung();
    EXPECT_FALSE(SepaLaufVermerke::Beginnen(t.Db(), lauf, ziel.Pfad()));
    SichereDateien dateien(lauf);
    QList<SepaLaufVermerke::Eintrag> vermerke;
    for (qsizetype i = 0; i < zahlungenJeDatei.size(); ++i) {
      const QString pfad = ziel.Datei(QStringLiteral("SEPA%1.XML").arg(i));
      EXPECT_FALSE(dateien.Schreiben(pfad, koepfe.value(i) + QStringLiteral("<Datei %1/>").arg(i).toUtf8()));
      const SichereDateien::Datei& d = dateien.Dateien().last();
      vermerke << SepaLaufVermerke::Eintrag{QLatin1Char('U'), ziel.Pfad(), d.temporaer, d.ziel, d.groesse, d.pruefsumme,
                                             zahlungenJeDatei.at(i)};
      if (mitDaten) {
        vermerke.last().erledigtDatum = Erledigt;
        vermerke.last().buchungsdatum = Gebucht;
      }
      for (qint64 nr : zahlungenJeDatei.at(i))
        EXPECT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = ?, Buchungsdatum = ? "
                                       "WHERE ZahlungNr = ?",
                                       {Erledigt, Gebucht, nr}));
    }
    EXPECT_FALSE(SepaLaufVermerke::Vormerken(t.Db(), lauf, vermerke + weitere));
    dateien.Loslassen();
    return lauf;
  }
  const QDate Erledigt{2024, 6, 5};
  const QDate Gebucht{2024, 6, 6};
  QString Temporaer(const QString& lauf, int datei) {
    return SichereDateien::TemporaererName(ziel.Datei(QStringLiteral("SEPA%1.XML").arg(datei)), lauf, SichereDateien::Endung());
  }

  LaufTestDatenbank t;
  TestOrdner ziel;
};

TEST_F(SepaLaufVermerkeTest, BestaetigterLaufWirdFertiggestellt) {
  const qint64 a = t.Anlegen({}), b = t.Anlegen({}), c = t.Anlegen({});
  Schreiben(ziel.Datei(QStringLiteral("SEPAALT.XML")), "frueher");
  QDir(ziel.Pfad()).mkdir(QStringLiteral("Archiv"));
  const QString archiv = ziel.Datei(QStringLiteral("Archiv/SEPA020240605140509.XML"));
  Unterbrochen({{a, b}, {c}},
               {{QLatin1Char('L'), {}, {}, ziel.Datei(QStringLiteral("SEPAALT.XML")), 0, {}, {}},
                {QLatin1Char('K'), {}, ziel.Datei(QStringLiteral("SEPA0.XML")), archiv, 0, {}, {}}});
  // The first file was already in place when the process died.
  ASSERT_TRUE(QFile::rename(Dateien(ziel.Pfad()).filter(QStringLiteral("SEPA0.XML.")).value(0).prepend(ziel.Pfad() + QLatin1Char('/')),
                            ziel.Datei(QStringLiteral("SEPA0.XML"))));

  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
  EXPECT_EQ(e.fertig, (QStringList{N(ziel.Datei(QStringLiteral("SEPA0.XML"))), N(ziel.Datei(QStringLiteral("SEPA1.XML")))}));
  EXPECT_TRUE(e.fehlend.isEmpty());
  EXPECT_TRUE(e.probleme.isEmpty());
  EXPECT_FALSE(e.Warnung());
  EXPECT_EQ(Dateien(ziel.Pfad()), (QStringList{QStringLiteral("SEPA0.XML"), QStringLiteral("SEPA1.XML")}));
  EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPA1.XML"))), QByteArray("<Datei 1/>"));
  EXPECT_EQ(Lesen(archiv), QByteArray("<Datei 0/>"));
  EXPECT_EQ(Vermerke(), 0);
  EXPECT_EQ(t.AnzahlErledigt(), 3);
  EXPECT_EQ(e.Meldung(), QStringLiteral("Ein SEPA-Lauf war unterbrochen worden. Diese SEPA-Dateien wurden jetzt "
                                        "fertiggestellt und können\ran Ihre Bank übermittelt werden; ihre Zahlungen "
                                        "sind als erledigt gekennzeichnet:\r\r") +
                             N(ziel.Datei(QStringLiteral("SEPA0.XML"))) + QLatin1Char('\r') +
                             N(ziel.Datei(QStringLiteral("SEPA1.XML"))));
  // Nothing left for the next opening.
  EXPECT_TRUE(SepaLaufVermerke::Nachholen(t.Db(), {ziel.Pfad()}).Meldung().isEmpty());
}

// A file finished at the next opening in the older format is not called ready for the bank once the banks
// no longer take it; before that day, and in the current format, it is.
TEST_F(SepaLaufVermerkeTest, FertiggestellteDateiImAltenFormatWirdGenannt) {
  const QByteArray alt = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.008.001.02\">";
  const QByteArray neu = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.09\">";
  for (const QDate heute : {QDate(2026, 11, 30), QDate(2026, 12, 1)}) {
    SCOPED_TRACE(heute.toString(Qt::ISODate).toStdString());
    Uhr::Festhalten(QDateTime(heute, QTime(9, 0)));
    const qint64 a = t.Anlegen({}), b = t.Anlegen({});
    Unterbrochen({{a}, {b}}, {}, true, {alt, neu});
    const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
    const QString erste = N(ziel.Datei(QStringLiteral("SEPA0.XML")));
    const QString zweite = N(ziel.Datei(QStringLiteral("SEPA1.XML")));
    EXPECT_EQ(e.fertig, (QStringList{erste, zweite}));
    const bool abgelehnt = heute >= QDate(2026, 12, 1);
    EXPECT_EQ(e.fertigAlt, abgelehnt ? QStringList{erste} : QStringList{});
    EXPECT_EQ(e.Warnung(), abgelehnt);
    const QString bereit = QStringLiteral("fertiggestellt und können\ran Ihre Bank übermittelt werden");
    const QString bereitListe = e.Meldung().section(bereit, 1).section(QStringLiteral("\r\r"), 1, 1);
    EXPECT_EQ(bereitListe, abgelehnt ? zweite : erste + QLatin1Char('\r') + zweite);
    EXPECT_EQ(e.Meldung().contains(QStringLiteral("im alten Format fertiggestellt")), abgelehnt);
    EXPECT_EQ(e.Meldung().contains(SepaFormate::AltesFormatWarnung()), abgelehnt);
    for (const QString& d : Dateien(ziel.Pfad())) QFile::remove(ziel.Datei(d));
  }
}

TEST_F(SepaLaufVermerkeTest, NieBestaetigterLaufHinterlaesstNichtsUndFremdeRestdateienWerdenNurGenannt) {
  const QString lauf = SepaLaufVermerke::NeueKennung();
  ASSERT_FALSE(SepaLaufVermerke::Beginnen(t.Db(), lauf, ziel.Pfad()));
  for (const QString& name : {QStringLiteral("SEPAGK.XML.") + lauf + QStringLiteral(".sepatmp"),
                              QStringLiteral("SEPAGK.XML.alt-") + lauf + QStringLiteral(".sepatmp"),
                              QStringLiteral("Schreibtest.0011223344556677.sepatmp")})
    Schreiben(ziel.Datei(name), "halb");
  // The old program's temporary file: whether its orders are marked is the user's to check.
  const QString frueher = ziel.Datei(QStringLiteral("SEPAGK.XML.1a2b3c4d.sepatmp"));
  Schreiben(frueher, "frueher");
  Schreiben(ziel.Datei(QStringLiteral("SEPAGK.XML")), "bleibt");

  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
  EXPECT_EQ(e.geloescht.size(), 3);
  EXPECT_EQ(e.unbekannt, QStringList{N(frueher)});
  EXPECT_TRUE(e.fertig.isEmpty());
  EXPECT_EQ(Dateien(ziel.Pfad()), (QStringList{QStringLiteral("SEPAGK.XML"), QStringLiteral("SEPAGK.XML.1a2b3c4d.sepatmp")}));
  EXPECT_EQ(Vermerke(), 0);
  EXPECT_TRUE(e.Warnung());
  EXPECT_TRUE(e.Meldung().contains(N(frueher)));
  EXPECT_FALSE(e.Meldung().contains(QStringLiteral("fertiggestellt")));
}

TEST_F(SepaLaufVermerkeTest, VerloreneDateiWirdGenanntIhreZahlungenBleibenErledigt) {
  const qint64 a = t.Anlegen({}), b = t.Anlegen({});
  Unterbrochen({{a, b}});
  for (const QString& name : Dateien(ziel.Pfad())) QFile::remove(ziel.Datei(name));
  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
  EXPECT_EQ(e.fehlend, QStringList{N(ziel.Datei(QStringLiteral("SEPA0.XML"))) + QStringLiteral(" (2 Zahlungen)")});
  EXPECT_TRUE(e.Warnung());
  EXPECT_TRUE(e.Meldung().startsWith(QStringLiteral("ACHTUNG: Diese SEPA-Dateien eines unterbrochenen Laufs fehlen")));
  // Paid twice is worse than not paid: the marks stay, the user decides.
  EXPECT_EQ(t.AnzahlErledigt(), 2);
  EXPECT_EQ(Vermerke(), 0);
}

TEST_F(SepaLaufVermerkeTest, ScheiterndesUmbenennenWirdBeimNaechstenOeffnenWiederholt) {
  const qint64 a = t.Anlegen({});
  Unterbrochen({{a}});
  SichereDateien::StoerungSetzen([](const char* aufruf, const QString&) { return qstrcmp(aufruf, "rename") ? 0 : EACCES; });
  const SepaLaufVermerke::Abschluss erster = SepaLaufVermerke::Nachholen(t.Db(), {ziel.Pfad()});
  SichereDateien::StoerungSetzen({});
  EXPECT_EQ(erster.probleme, QStringList{QStringLiteral("Keine Berechtigung zum Schreiben: ") +
                                          N(ziel.Datei(QStringLiteral("SEPA0.XML"))) +
                                          QStringLiteral("\rBitte lassen Sie sich die Berechtigung für den Ordner "
                                                         "geben oder wählen Sie einen anderen.")});
  EXPECT_TRUE(erster.Warnung());
  EXPECT_GT(Vermerke(), 0);
  EXPECT_EQ(Dateien(ziel.Pfad()).size(), 1);   // the temporary file is kept for the next try
  const SepaLaufVermerke::Abschluss zweiter = SepaLaufVermerke::Nachholen(t.Db(), {ziel.Pfad()});
  EXPECT_EQ(zweiter.fertig, QStringList{N(ziel.Datei(QStringLiteral("SEPA0.XML")))});
  EXPECT_EQ(Vermerke(), 0);
}

// ---- a file goes into place only when it is the run's own, complete -------------------------------------

enum class Ablage { Unberuehrt, SchonAmZiel, Gekuerzt, GleichGrossAndererInhalt, AeltereAmZielGleichGross, AeltereAmZiel, Weg };
struct AblageFall {
  const char* name;
  Ablage ablage;   // what became of the run's file before the opening
  bool fertig;     // put in place (else named as lost)
};

class SepaLaufAblage : public SepaLaufVermerkeTest, public ::testing::WithParamInterface<AblageFall> {};

// The temporary is compared with its record by size and checksum: cut short or replaced by other bytes of
// the same size, it is no bank file; an older file of the final name is not taken for the finished one.
TEST_P(SepaLaufAblage, NurDieVollstaendigeEigeneDateiGiltAlsFertig) {
  const AblageFall fall = GetParam();
  const qint64 a = t.Anlegen({}), b = t.Anlegen({});
  const QString lauf = Unterbrochen({{a, b}});
  const QString temporaer = Temporaer(lauf, 0);
  const QString fertig = ziel.Datei(QStringLiteral("SEPA0.XML"));
  const QByteArray inhalt = Lesen(temporaer);
  ASSERT_EQ(inhalt, QByteArray("<Datei 0/>"));
  switch (fall.ablage) {
    case Ablage::Unberuehrt: break;
    case Ablage::SchonAmZiel: ASSERT_TRUE(QFile::rename(temporaer, fertig)); break;
    case Ablage::Gekuerzt: Schreiben(temporaer, inhalt.chopped(1)); break;
    case Ablage::GleichGrossAndererInhalt: Schreiben(temporaer, QByteArray("<Datei 9/>")); break;
    case Ablage::AeltereAmZielGleichGross:
      QFile::remove(temporaer);
      Schreiben(fertig, QByteArray("<Datei 8/>"));
      break;
    case Ablage::AeltereAmZiel:
      QFile::remove(temporaer);
      Schreiben(fertig, "frueher");
      break;
    case Ablage::Weg: QFile::remove(temporaer); break;
  }
  const bool vorherDa = QFile::exists(fertig);
  const QByteArray vorher = Lesen(fertig);

  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
  if (fall.fertig) {
    EXPECT_EQ(e.fertig, QStringList{N(fertig)});
    EXPECT_TRUE(e.fehlend.isEmpty());
    EXPECT_EQ(Lesen(fertig), inhalt);
  } else {
    EXPECT_TRUE(e.fertig.isEmpty()) << e.fertig.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(e.fehlend, QStringList{N(fertig) + QStringLiteral(" (2 Zahlungen)")});
    EXPECT_TRUE(e.Warnung());
    EXPECT_EQ(QFile::exists(fertig), vorherDa);
    EXPECT_EQ(Lesen(fertig), vorher);
  }
  EXPECT_TRUE(SepaLauf::Restdateien(ziel.Pfad()).isEmpty());
  EXPECT_EQ(Vermerke(), 0);
  EXPECT_EQ(t.AnzahlErledigt(), 2);   // the marks stay: the user decides about a lost file
}

INSTANTIATE_TEST_SUITE_P(
    Ablagen, SepaLaufAblage,
    ::testing::Values(AblageFall{"Unberuehrt", Ablage::Unberuehrt, true},
                      AblageFall{"SchonAmZiel", Ablage::SchonAmZiel, true},
                      AblageFall{"Gekuerzt", Ablage::Gekuerzt, false},
                      AblageFall{"GleichGrossAndererInhalt", Ablage::GleichGrossAndererInhalt, false},
                      AblageFall{"AeltereAmZielGleichGross", Ablage::AeltereAmZielGleichGross, false},
                      AblageFall{"AeltereAmZiel", Ablage::AeltereAmZiel, false},
                      AblageFall{"Weg", Ablage::Weg, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- orders changed while their file waited ---------------------------------------------------------------

struct AenderungFall {
  const char* name;
  SqlText sql;         // applied to the first order of the first file (another workstation, an older program)
  bool verworfen;      // the first file is dropped
  int erledigt;        // orders done afterwards (of four)
};

class SepaLaufAenderung : public SepaLaufVermerkeTest, public ::testing::WithParamInterface<AenderungFall> {};

// Recovery puts a file into place only when every order in it is still marked as the run left it (done, with
// the run's dates). Otherwise the file is dropped, with its archive copy, and the orders still as the run
// left them are open again; the other file of the run is finished.
TEST_P(SepaLaufAenderung, DateiMitGeaendertenZahlungenWirdVerworfen) {
  const AenderungFall fall = GetParam();
  const qint64 a = t.Anlegen({}), b = t.Anlegen({}), c = t.Anlegen({}), d = t.Anlegen({});
  QDir(ziel.Pfad()).mkdir(QStringLiteral("Archiv"));
  const QString archiv0 = ziel.Datei(QStringLiteral("Archiv/SEPA020240605140509.XML"));
  const QString archiv1 = ziel.Datei(QStringLiteral("Archiv/SEPA120240605140509.XML"));
  Unterbrochen({{a, b, c}, {d}}, {{QLatin1Char('K'), {}, ziel.Datei(QStringLiteral("SEPA0.XML")), archiv0, 0, {}, {}},
                                  {QLatin1Char('K'), {}, ziel.Datei(QStringLiteral("SEPA1.XML")), archiv1, 0, {}, {}}});
  if (!fall.sql.IstLeer()) {
    ASSERT_FALSE(t.Db().Ausfuehren(fall.sql, {a}));
  }

  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
  EXPECT_EQ(Vermerke(), 0);
  EXPECT_TRUE(SepaLauf::Restdateien(ziel.Pfad()).isEmpty());
  EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPA1.XML"))), QByteArray("<Datei 1/>"));
  EXPECT_EQ(Lesen(archiv1), QByteArray("<Datei 1/>"));
  EXPECT_EQ(t.AnzahlErledigt(), fall.erledigt);
  EXPECT_TRUE(t.Erledigt(d));
  if (!fall.verworfen) {
    EXPECT_TRUE(e.verworfen.isEmpty());
    EXPECT_EQ(e.fertig.size(), 2);
    EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPA0.XML"))), QByteArray("<Datei 0/>"));
    return;
  }
  EXPECT_FALSE(QFile::exists(ziel.Datei(QStringLiteral("SEPA0.XML"))));
  EXPECT_FALSE(QFile::exists(archiv0));
  EXPECT_EQ(e.fertig, QStringList{N(ziel.Datei(QStringLiteral("SEPA1.XML")))});
  EXPECT_EQ(e.verworfen, QStringList{N(ziel.Datei(QStringLiteral("SEPA0.XML"))) +
                                     QStringLiteral(": 1 von 3 Zahlungen inzwischen geändert (Nr. %1), 2 wieder offen").arg(a)});
  EXPECT_FALSE(t.Erledigt(b));
  EXPECT_FALSE(t.Erledigt(c));
  EXPECT_EQ(t.Wert("SELECT count(*) FROM Zahlungen WHERE ZahlungNr IN (?, ?) AND ErledigtDatum IS NULL AND "
                   "Buchungsdatum IS NULL",
                   {b, c})
                .toInt(),
            2);
  EXPECT_TRUE(e.Warnung());
  EXPECT_TRUE(e.Meldung().startsWith(QStringLiteral("ACHTUNG: Zahlungen eines unterbrochenen SEPA-Laufs wurden "
                                                    "inzwischen geändert")))
      << e.Meldung().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Aenderungen, SepaLaufAenderung,
    ::testing::Values(
        AenderungFall{"Unveraendert", SqlText(), false, 4},
        AenderungFall{"AndereFelderGeaendert", "UPDATE Zahlungen SET Name = 'Schulze', Fehler = 1 WHERE ZahlungNr = ?",
                      false, 4},
        AenderungFall{"Reaktiviert",
                      "UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL WHERE ZahlungNr = ?",
                      true, 1},
        // Reopened and written again by another run: done once more, with that run's dates.
        AenderungFall{"InAndererDatei", "UPDATE Zahlungen SET ErledigtDatum = '2024-06-07', Buchungsdatum = '2024-06-10' "
                                        "WHERE ZahlungNr = ?",
                      true, 2},
        AenderungFall{"AndererBuchungstag", "UPDATE Zahlungen SET Buchungsdatum = '2024-06-10' WHERE ZahlungNr = ?", true, 2},
        AenderungFall{"AndererErledigtTag", "UPDATE Zahlungen SET ErledigtDatum = '2024-06-07' WHERE ZahlungNr = ?", true, 2},
        AenderungFall{"Geloescht", "DELETE FROM Zahlungen WHERE ZahlungNr = ?", true, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The run had already put the file in place (an older file of the name moved aside): the dropped file goes
// and the older one comes back.
TEST_F(SepaLaufVermerkeTest, VerworfeneDateiAmZielGibtDerAelterenIhrenPlatzZurueck) {
  const qint64 a = t.Anlegen({}), b = t.Anlegen({});
  const QString fertig = ziel.Datei(QStringLiteral("SEPA0.XML"));
  Schreiben(fertig, "frueher");
  const QString lauf = Unterbrochen({{a, b}});
  ASSERT_TRUE(QFile::rename(fertig, SichereDateien::BeiseiteName(fertig, lauf)));
  ASSERT_TRUE(QFile::rename(Temporaer(lauf, 0), fertig));
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL "
                                 "WHERE ZahlungNr = ?",
                                 {b}));
  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
  EXPECT_EQ(e.verworfen.size(), 1);
  EXPECT_TRUE(e.fertig.isEmpty());
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("SEPA0.XML")});
  EXPECT_EQ(Lesen(fertig), QByteArray("frueher"));
  EXPECT_EQ(t.AnzahlErledigt(), 0);
}

// The records of an earlier version hold no dates: a changed order still drops the file, but the other
// orders keep their marks (one of them could be in another run's file), and the user is asked to check them.
TEST_F(SepaLaufVermerkeTest, OhneDatenDerMarkenBleibenDieUebrigenErledigt) {
  const qint64 a = t.Anlegen({}), b = t.Anlegen({}), c = t.Anlegen({});
  Unterbrochen({{a, b, c}}, {}, false);
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 0 WHERE ZahlungNr = ?", {a}));
  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {});
  EXPECT_EQ(e.verworfen,
            QStringList{N(ziel.Datei(QStringLiteral("SEPA0.XML"))) +
                        QStringLiteral(": 1 von 3 Zahlungen inzwischen geändert (Nr. %1), 2 weiter als erledigt "
                                       "gekennzeichnet (bitte prüfen Sie in der Zahlungsliste, ob sie in einer anderen "
                                       "SEPA-Datei enthalten sind)")
                            .arg(a)});
  EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty());
  EXPECT_TRUE(t.Erledigt(b));
  EXPECT_TRUE(t.Erledigt(c));
  EXPECT_EQ(Vermerke(), 0);
}

// ---- what interrupted writers leave ------------------------------------------------------------------------

// Temporaries of the one form that no record names and no live writer holds go: an archive copy's (in the
// folder "Archiv"), a saved report file's (program folder), a run's. A temporary a writer holds stays,
// whether it is being written or complete and waiting for its rename; once the writer is gone it goes too.
TEST_F(SepaLaufVermerkeTest, VerwaisteTemporaereDateienGehenDieEinesLebendenSchreibersBleiben) {
  TestOrdner programm;
  QDir(ziel.Pfad()).mkdir(QStringLiteral("Archiv"));
  const QString archivRest =
      SichereDateien::TemporaererName(ziel.Datei(QStringLiteral("Archiv/SEPAGK20240605140509.XML")),
                                      SichereDateien::NeueKennung(), SichereDateien::Endung());
  const QString reportRest = SichereDateien::TemporaererName(programm.Datei(QStringLiteral("Zahlungsliste.LST")),
                                                             SichereDateien::NeueKennung(), SichereDateien::Endung());
  Schreiben(archivRest, "halb");
  Schreiben(reportRest, "halb");

  SichereDateien lebend(SichereDateien::NeueKennung());
  DateiFehler f;
  const std::unique_ptr<SichereDateien::Strom> strom = lebend.Oeffnen(ziel.Datei(QStringLiteral("SEPAGK.XML")), f);
  ASSERT_TRUE(strom);
  ASSERT_FALSE(strom->Anhaengen("im Schreiben"));
  ASSERT_FALSE(lebend.Schreiben(ziel.Datei(QStringLiteral("Archiv/SEPAGK20240606090000.XML")), "vollständig"));
  const QString geschrieben = lebend.Dateien().last().temporaer;

  const SepaLaufVermerke::Abschluss e = SepaLaufVermerke::Nachholen(t.Db(), {ziel.Pfad(), programm.Pfad()});
  EXPECT_EQ(QSet<QString>(e.geloescht.cbegin(), e.geloescht.cend()), (QSet<QString>{N(archivRest), N(reportRest)}));
  EXPECT_TRUE(e.unbekannt.isEmpty());
  EXPECT_FALSE(e.Warnung());
  EXPECT_TRUE(QFile::exists(geschrieben));
  EXPECT_EQ(SepaLauf::Restdateien(ziel.Pfad()).size(), 1);

  // As after a kill: the files stay, nobody holds them.
  lebend.Loslassen();
  EXPECT_EQ(SepaLaufVermerke::Nachholen(t.Db(), {ziel.Pfad()}).geloescht, QStringList{N(geschrieben)});
}

// A replacement written meanwhile (a report saved while the SEPA window opens) keeps its temporary.
TEST_F(SepaLaufVermerkeTest, ErsetzenImGangBehaeltSeineTemporaereDatei) {
  const QString report = ziel.Datei(QStringLiteral("Zahlungsliste.LST"));
  QStringList waehrenddessen;
  bool einmal = true;
  SichereDateien::StoerungSetzen([&](const char* aufruf, const QString&) {
    if (qstrcmp(aufruf, "rename") == 0 && einmal) {
      einmal = false;
      waehrenddessen = SepaLaufVermerke::Nachholen(t.Db(), {ziel.Pfad()}).geloescht;
    }
    return 0;
  });
  EXPECT_FALSE(SichereDateien::Ersetzen(report, "[Description]"));
  SichereDateien::StoerungSetzen({});
  EXPECT_FALSE(einmal);
  EXPECT_TRUE(waehrenddessen.isEmpty()) << waehrenddessen.join(QLatin1Char(' ')).toStdString();
  EXPECT_EQ(Lesen(report), QByteArray("[Description]"));
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("Zahlungsliste.LST")});
}

// ---- the run itself -------------------------------------------------------------------------------------

class SepaLaufAbsicherung : public SepaLaufVermerkeTest {
 protected:
  SepaLaufAnfrage Anfrage(SepaArt art, bool aufteilen = false) {
    SepaAuswahlAnfrage a;
    a.Art = art;
    a.Heute = Zeitpunkt.date();
    return LaufAnfrage(art, SepaSelektion::ZahlungenSelektieren(t.Db(), a).ZahlungNummern, Zeitpunkt, ziel.Pfad(), aufteilen);
  }
};

// The records follow the run: its folder before the files; the marks, made while the files are written, in
// the run's open transaction, committed with the renames only once every file is complete and synced; nothing
// once the files are in place. Another workstation sees only what is committed.
TEST_F(SepaLaufAbsicherung, VermerkeStehenMitDenMarkierungenInEinerTransaktion) {
  TestOrdner daten;
  const QString datei = daten.Datei(QStringLiteral("TamoSEPA.db"));
  DbFehler f;
  LaufTestDatenbank lauf{Datenbank::Oeffnen(datei, f, true)};
  ASSERT_FALSE(lauf.Db().JournalSetzen(true));
  const std::unique_ptr<Datenbank> andere = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(andere) << f.Beschreibung.toStdString();
  for (int sequenz : {1, 2, 3}) lauf.Anlegen(Lastschrift(sequenz));
  auto zahl = [](Datenbank& db, const SqlText& sql) {
    DbFehler w;
    const qint64 n = db.Wert(sql, {}, w).value_or(QVariant()).toLongLong();
    EXPECT_FALSE(w) << w.Beschreibung.toStdString();
    return n;
  };
  QStringList protokoll;
  SepaLaufStoerung beobachten;
  beobachten.Schritt = [&](SepaLaufSchritt s, int nr) {
    protokoll << QStringLiteral("%1/%2: %3 Vermerke, %4 erledigt (bestätigt %5 und %6), %7 Dateien")
                     .arg(int(s))
                     .arg(nr)
                     .arg(zahl(lauf.Db(), "SELECT count(*) FROM SepaLaufDateien"))
                     .arg(zahl(lauf.Db(), "SELECT count(*) FROM Zahlungen WHERE Erledigt = 1"))
                     .arg(zahl(*andere, "SELECT count(*) FROM SepaLaufDateien"))
                     .arg(zahl(*andere, "SELECT count(*) FROM Zahlungen WHERE Erledigt = 1"))
                     .arg(Dateien(ziel.Pfad()).size());
  };
  SepaAuswahlAnfrage a;
  a.Art = SepaArt::BasisLastschrift;
  a.Heute = Zeitpunkt.date();
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(lauf.Db(), a);
  SepaLaufAnfrage anfrage = LaufAnfrage(SepaArt::BasisLastschrift, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad(), true);
  anfrage.Auftraege = auswahl.Auftraege;
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(lauf.Db(), anfrage, &beobachten);
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  EXPECT_EQ(protokoll, (QStringList{QStringLiteral("0/-1: 1 Vermerke, 0 erledigt (bestätigt 1 und 0), 0 Dateien"),
                                    QStringLiteral("1/-1: 1 Vermerke, 3 erledigt (bestätigt 1 und 0), 3 Dateien"),
                                    QStringLiteral("2/-1: 4 Vermerke, 3 erledigt (bestätigt 4 und 3), 3 Dateien"),
                                    QStringLiteral("3/0: 4 Vermerke, 3 erledigt (bestätigt 4 und 3), 3 Dateien"),
                                    QStringLiteral("3/1: 4 Vermerke, 3 erledigt (bestätigt 4 und 3), 3 Dateien"),
                                    QStringLiteral("3/2: 4 Vermerke, 3 erledigt (bestätigt 4 und 3), 3 Dateien"),
                                    QStringLiteral("4/-1: 0 Vermerke, 3 erledigt (bestätigt 0 und 3), 3 Dateien")}));
  EXPECT_TRUE(SepaLauf::Restdateien(ziel.Pfad()).isEmpty());
}

// A failing rename whose undo of the marks fails as well leaves what a crash after the commit leaves; the
// next opening finishes the run.
TEST_F(SepaLaufAbsicherung, UnvollendeteRuecknahmeWirdBeimOeffnenFertiggestellt) {
  t.Anlegen({});
  t.Anlegen({});
  SepaLaufStoerung stoerung;
  stoerung.Umbenennen = [](const QString&, const QString&, QString& text) {
    text = QStringLiteral("gestört");
    return 75;
  };
  t.Db().SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.contains(QLatin1String("SET Erledigt = 0"))) return {10, QStringLiteral("disk I/O error")};
    return {};
  });
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung), &stoerung);
  t.Db().SetzeStoerung({});
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("Der Lauf wird beim nächsten Öffnen des Fensters fertiggestellt.")));
  EXPECT_EQ(t.AnzahlErledigt(), 2);
  EXPECT_EQ(SepaLauf::Restdateien(ziel.Pfad()).size(), 1);
  const SepaLaufVermerke::Abschluss a = SepaLaufVermerke::Nachholen(t.Db(), {});
  EXPECT_EQ(a.fertig, QStringList{N(ziel.Datei(QStringLiteral("SEPAGK.XML")))});
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("SEPAGK.XML")});
  EXPECT_EQ(t.Referenz(), QStringLiteral("R101"));
}

struct Dateifehler {
  const char* name;
  const char* aufruf;
  int fehler;
  const char* meldung;   // after "Fehler: "
};

class SepaLaufDateifehler : public SepaLaufAbsicherung, public ::testing::WithParamInterface<Dateifehler> {};

// Each failure of the file system in the user's words with the file's path; nothing is marked, no file
// and no record stays.
TEST_P(SepaLaufDateifehler, EigeneMeldungUndKeineSpur) {
  const Dateifehler f = GetParam();
  t.Anlegen({});
  SichereDateien::StoerungSetzen([&f](const char* aufruf, const QString& pfad) {
    return qstrcmp(aufruf, f.aufruf) == 0 && pfad.contains(QLatin1String("SEPAGK")) ? f.fehler : 0;
  });
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  SichereDateien::StoerungSetzen({});
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die SEPA-Datei(en) konnte(n) wegen Fehler nicht erstellt werden.\rFehler: ") +
                                   QString::fromUtf8(f.meldung)))
      << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.contains(N(ziel.Datei(QStringLiteral("SEPAGK.XML"))) + QLatin1Char('\r')) ||
              e.Meldung.endsWith(N(ziel.Datei(QStringLiteral("SEPAGK.XML")))))
      << e.Meldung.toStdString();
  EXPECT_EQ(t.AnzahlErledigt(), 0);
  EXPECT_EQ(t.Referenz(), QStringLiteral("R100"));
  EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty());
  EXPECT_EQ(Vermerke(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Systemfehler, SepaLaufDateifehler,
    ::testing::Values(
        Dateifehler{"DatentraegerVoll", "write", ENOSPC, "61\rBeschreibung: Auf dem Datenträger ist nicht genug Platz frei: "},
        Dateifehler{"KurzesSchreiben", "write", -1, "61\rBeschreibung: Die Datei wurde nicht vollständig geschrieben ("},
        Dateifehler{"KeineBerechtigung", "open", EACCES, "70\rBeschreibung: Keine Berechtigung zum Schreiben: "},
        Dateifehler{"Schreibgeschuetzt", "open", EROFS, "70\rBeschreibung: Der Datenträger ist schreibgeschützt: "},
        Dateifehler{"UmbenennenVoll", "rename", ENOSPC, "61\rBeschreibung: Auf dem Datenträger ist nicht genug Platz frei: "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SepaLaufAbsicherung, ZielIstEineDatei) {
  t.Anlegen({});
  Schreiben(ziel.Datei(QStringLiteral("Export")), "x");
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  anfrage.Zielordner = ziel.Datei(QStringLiteral("Export"));
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  EXPECT_FALSE(e.Ok());
  EXPECT_EQ(e.Fehlernummer, 76);
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("Fehler: 76\rBeschreibung: Ein Teil des Pfades ist eine Datei und kein "
                                                "Ordner: ") +
                                 N(ziel.Datei(QStringLiteral("Export")))))
      << e.Meldung.toStdString();
  EXPECT_EQ(t.AnzahlErledigt(), 0);
}

// One run at a time on a database: a second one (another workstation) is refused, and an opening meanwhile
// leaves the first run's files alone.
TEST(SepaLaufSperre, NurEinLaufJeDatenbank) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_FALSE(DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql")));
  DbFehler f;
  auto db = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(db);
  ASSERT_FALSE(db->Ausfuehren("UPDATE Absender SET Name = 'A', IBAN = 'DE89370400440532013000', BIC = 'COBADEFFXXX', "
                              "ReferenzNr = 'R1' WHERE AbsenderNr = 1; "
                              "INSERT INTO Zahlungen (AbsenderNr, Art, Name, IBAN, BIC, ZahlungGesamt, Verwendungszweck1) "
                              "VALUES (1, 'G', 'Meier', 'DE89370400440532013000', 'COBADEFFXXX', 10000, 'RE 1')"));
  const QString rest = ordner.Datei(QStringLiteral("SEPAGK.XML.0011223344556677.sepatmp"));
  Schreiben(rest, "eines anderen Laufs");

  auto anderer = std::make_unique<SepaLaufSperre>(*db);
  ASSERT_TRUE(anderer->Erhalten());
  EXPECT_FALSE(SepaLaufSperre(*db).Erhalten());
  const SepaLaufVermerke::Abschluss a = SepaLaufVermerke::Nachholen(*db, {ordner.Pfad()});
  EXPECT_TRUE(a.gesperrt);
  EXPECT_TRUE(QFile::exists(rest));
  SepaLaufAnfrage l;
  l.ZahlungNummern = {1};
  l.Optionen.Art = SepaArt::Ueberweisung;
  l.Referenz = QStringLiteral("R1");
  l.Zielordner = ordner.Pfad();
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(*db, l);
  EXPECT_EQ(e.Meldung, SepaLaufSperre::BelegtMeldung());
  EXPECT_EQ(db->Wert("SELECT count(*) FROM Zahlungen WHERE Erledigt = 1", {}, f)->toInt(), 0);

  anderer.reset();
  EXPECT_EQ(SepaLaufVermerke::Nachholen(*db, {ordner.Pfad()}).geloescht, QStringList{N(rest)});
  EXPECT_TRUE(SepaLauf::Ausfuehren(*db, l).Ok());
}

}  // namespace
