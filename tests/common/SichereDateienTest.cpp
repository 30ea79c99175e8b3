#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <string>

#include "common/SichereDateien.h"
#include "sepafiles/QtAusgabe.h"
#include "testsupport/TestOrdner.h"

namespace {

QByteArray Lesen(const QString& pfad) { return TestOrdner::Lesen(pfad); }
void Schreiben(const QString& pfad, const QByteArray& inhalt) { TestOrdner::Schreiben(pfad, inhalt); }
QStringList Dateien(const QString& ordner) { return QDir(ordner).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

class SichereDateienTest : public ::testing::Test {
 protected:
  void TearDown() override { SichereDateien::StoerungSetzen({}); }
  TestOrdner t;
};

TEST_F(SichereDateienTest, DateienErscheinenErstMitDemEinsetzenUndErsetzenAlteVollstaendig) {
  Schreiben(t.Datei(QStringLiteral("A.XML")), "alt");
  SichereDateien d(QStringLiteral("0123456789abcdef"));
  ASSERT_FALSE(d.Schreiben(t.Datei(QStringLiteral("A.XML")), "neu A"));
  ASSERT_FALSE(d.Schreiben(t.Datei(QStringLiteral("B.XML")), "neu B"));
  // Before Einsetzen the old file is untouched and the new ones exist only under their temporary names.
  EXPECT_EQ(Lesen(t.Datei(QStringLiteral("A.XML"))), QByteArray("alt"));
  EXPECT_EQ(Dateien(t.Pfad()), (QStringList{QStringLiteral("A.XML"), QStringLiteral("A.XML.0123456789abcdef.sepatmp"),
                                            QStringLiteral("B.XML.0123456789abcdef.sepatmp")}));
  const SichereDateien::Datei& a = d.Dateien().at(0);
  EXPECT_EQ(a.groesse, 5);
  EXPECT_TRUE(SichereDateien::Vollstaendig(a.temporaer, a.groesse, a.pruefsumme));
  EXPECT_FALSE(SichereDateien::Vollstaendig(a.temporaer, a.groesse + 1, a.pruefsumme));
  EXPECT_FALSE(SichereDateien::Vollstaendig(d.Dateien().at(1).temporaer, a.groesse, a.pruefsumme));

  ASSERT_FALSE(d.Einsetzen(0));
  ASSERT_FALSE(d.Einsetzen(1));
  ASSERT_FALSE(d.OrdnerSynchronisieren());
  EXPECT_TRUE(d.Abschliessen().isEmpty());
  EXPECT_EQ(Lesen(t.Datei(QStringLiteral("A.XML"))), QByteArray("neu A"));
  EXPECT_EQ(Lesen(t.Datei(QStringLiteral("B.XML"))), QByteArray("neu B"));
  EXPECT_EQ(Dateien(t.Pfad()), (QStringList{QStringLiteral("A.XML"), QStringLiteral("B.XML")}));
}

TEST_F(SichereDateienTest, ZuruecknehmenStelltDenOrdnerWiederHer) {
  Schreiben(t.Datei(QStringLiteral("A.XML")), "alt");
  {
    SichereDateien d(QStringLiteral("0123456789abcdef"));
    ASSERT_FALSE(d.Schreiben(t.Datei(QStringLiteral("A.XML")), "neu A"));
    ASSERT_FALSE(d.Schreiben(t.Datei(QStringLiteral("B.XML")), "neu B"));
    ASSERT_FALSE(d.Einsetzen(0));
    EXPECT_EQ(Lesen(t.Datei(QStringLiteral("A.XML"))), QByteArray("neu A"));
    EXPECT_TRUE(d.Zuruecknehmen().isEmpty());
    // The new files are complete under their temporary names again, the old one is back.
    EXPECT_EQ(Lesen(t.Datei(QStringLiteral("A.XML"))), QByteArray("alt"));
    EXPECT_EQ(Lesen(t.Datei(QStringLiteral("A.XML.0123456789abcdef.sepatmp"))), QByteArray("neu A"));
  }
  // What is not in place goes with the object.
  EXPECT_EQ(Dateien(t.Pfad()), QStringList{QStringLiteral("A.XML")});
}

// Each failure of the file system has its own German message with the path the user knows (the final
// name, not the temporary one), and leaves nothing behind.
struct Fall {
  const char* name;
  const char* aufruf;
  int fehler;   // errno, -1 = the write stores only half
  int nummer;
  std::string text;
  const char* tun = "";   // what the user can do, on its own line after the path
};

const char* const PlatzSchaffen =
    "Bitte schaffen Sie Platz auf dem Datenträger oder wählen Sie einen anderen und versuchen Sie es dann noch einmal.";
const char* const BerechtigungHolen =
    "Bitte lassen Sie sich die Berechtigung für den Ordner geben oder wählen Sie einen anderen.";

QString MitHinweis(const QString& text, const char* tun) {
  return *tun ? text + QLatin1Char('\r') + QString::fromUtf8(tun) : text;
}

class SichereDateienFehler : public SichereDateienTest, public ::testing::WithParamInterface<Fall> {};

TEST_P(SichereDateienFehler, EigeneMeldungMitPfad) {
  const Fall f = GetParam();
  SichereDateien::StoerungSetzen([&f](const char* aufruf, const QString&) {
    return qstrcmp(aufruf, f.aufruf) == 0 ? f.fehler : 0;
  });
  const QString ziel = t.Datei(QStringLiteral("SEPAGK.XML"));
  SichereDateien d(QStringLiteral("0123456789abcdef"));
  const DateiFehler e = d.Schreiben(ziel, QByteArray(1000, 'x'));
  EXPECT_EQ(e.Nummer, f.nummer);
  EXPECT_EQ(e.Beschreibung, MitHinweis(QString::fromStdString(f.text) + QDir::toNativeSeparators(ziel), f.tun));
  EXPECT_TRUE(Dateien(t.Pfad()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Systemfehler, SichereDateienFehler,
    ::testing::Values(Fall{"DatentraegerVoll", "write", ENOSPC, 61, "Auf dem Datenträger ist nicht genug Platz frei: ",
                           PlatzSchaffen},
                      Fall{"VollErstBeimSchliessen", "close", ENOSPC, 61, "Auf dem Datenträger ist nicht genug Platz frei: ",
                           PlatzSchaffen},
                      Fall{"KontingentErschoepft", "write", EDQUOT, 61, "Auf dem Datenträger ist nicht genug Platz frei: ",
                           PlatzSchaffen},
                      Fall{"ZuGross", "write", EFBIG, 61, "Die Datei ist zu groß für den Datenträger: ",
                           "Die erlaubte Dateigröße ist erreicht (eine Grenze des Dateisystems oder des Benutzerkontos). "
                           "Bitte wählen Sie einen anderen Datenträger oder lassen Sie die Grenze aufheben."},
                      Fall{"KeineBerechtigung", "open", EACCES, 70, "Keine Berechtigung zum Schreiben: ", BerechtigungHolen},
                      Fall{"NichtErlaubt", "open", EPERM, 70, "Keine Berechtigung zum Schreiben: ", BerechtigungHolen},
                      Fall{"Schreibgeschuetzt", "open", EROFS, 70, "Der Datenträger ist schreibgeschützt: ",
                           "Bitte heben Sie den Schreibschutz auf oder wählen Sie einen anderen Datenträger."},
                      Fall{"KeinOrdner", "open", ENOTDIR, 76, "Ein Teil des Pfades ist eine Datei und kein Ordner: "},
                      Fall{"EinAusgabe", "fsync", EIO, 57, "Ein-/Ausgabefehler des Datenträgers: ",
                           "Bitte prüfen Sie den Datenträger (bei einem Netzlaufwerk die Verbindung) und versuchen Sie "
                           "es dann noch einmal."},
                      Fall{"Unbekannt", "open", ELOOP, 75,
                           "Pfad-/Dateizugriffsfehler (Systemfehler " + std::to_string(ELOOP) + "): ",
                           "Bitte prüfen Sie den Pfad und Ihre Berechtigungen und versuchen Sie es dann noch einmal."},
                      Fall{"KurzesSchreiben", "write", -1, 61,
                           "Die Datei wurde nicht vollständig geschrieben (500 von 1000 Bytes): "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SichereDateienTest, EchteFehlerDesDateisystems) {
  // A file where the folder should be.
  Schreiben(t.Datei(QStringLiteral("Ordner")), "x");
  const QString unterDatei = t.Datei(QStringLiteral("Ordner/SEPAGK.XML"));
  DateiFehler e = SichereDateien::Ersetzen(unterDatei, "inhalt");
  EXPECT_EQ(e.Nummer, 76);
  EXPECT_EQ(e.Beschreibung, QStringLiteral("Ein Teil des Pfades ist eine Datei und kein Ordner: ") +
                                QDir::toNativeSeparators(unterDatei));
  // A folder where the file should be.
  QDir(t.Pfad()).mkdir(QStringLiteral("SEPAGK.XML"));
  e = SichereDateien::Ersetzen(t.Datei(QStringLiteral("SEPAGK.XML")), "inhalt");
  EXPECT_EQ(e.Nummer, 75);
  EXPECT_TRUE(e.Beschreibung.startsWith(QStringLiteral("An dieser Stelle steht ein Ordner: "))) << e.Beschreibung.toStdString();
  // The file-size limit of the process: the system stores a part and then refuses.
  {
    const Dateigroessengrenze grenze(1000);
    e = SichereDateien::Ersetzen(t.Datei(QStringLiteral("gross.XML")), QByteArray(5000, 'x'));
  }
  EXPECT_EQ(e.Nummer, 61);
  EXPECT_TRUE(e.Beschreibung.startsWith(QStringLiteral("Die Datei ist zu groß für den Datenträger: ") +
                                        QDir::toNativeSeparators(t.Datei(QStringLiteral("gross.XML"))) +
                                        QStringLiteral("\rDie erlaubte Dateigröße ist erreicht")))
      << e.Beschreibung.toStdString();
  EXPECT_EQ(Dateien(t.Pfad()), QStringList{QStringLiteral("Ordner")});
}

TEST_F(SichereDateienTest, UmbenennenScheitertOhneVerlust) {
  Schreiben(t.Datei(QStringLiteral("A.XML")), "alt");
  SichereDateien d(QStringLiteral("0123456789abcdef"));
  ASSERT_FALSE(d.Schreiben(t.Datei(QStringLiteral("A.XML")), "neu"));
  int umbenannt = 0;
  SichereDateien::StoerungSetzen([&](const char* aufruf, const QString&) {
    // the old file goes aside, the new one does not come in
    return qstrcmp(aufruf, "rename") == 0 && ++umbenannt == 2 ? EACCES : 0;
  });
  const DateiFehler e = d.Einsetzen(0);
  EXPECT_EQ(e.Nummer, 70);
  EXPECT_TRUE(d.Zuruecknehmen().isEmpty());
  d.Verwerfen();
  EXPECT_EQ(Lesen(t.Datei(QStringLiteral("A.XML"))), QByteArray("alt"));
  EXPECT_EQ(Dateien(t.Pfad()), QStringList{QStringLiteral("A.XML")});
}

}  // namespace

namespace {

// A file streamed in pieces is the file written in one: same bytes, size and checksum, under its temporary
// name, and it joins the files only once it is finished.
TEST_F(SichereDateienTest, StromInStueckenWieAufEinmal) {
  QByteArray ganz;
  for (int i = 0; i < 70000; ++i) ganz += QByteArray::number(i) + ' ';
  SichereDateien d(QStringLiteral("0123456789abcdef"));
  DateiFehler f;
  std::unique_ptr<SichereDateien::Strom> strom = d.Oeffnen(t.Datei(QStringLiteral("A.XML")), f);
  ASSERT_TRUE(strom) << f.Beschreibung.toStdString();
  for (qsizetype i = 0; i < ganz.size(); i += 65536) ASSERT_FALSE(strom->Anhaengen(QByteArrayView(ganz.constData() + i, qMin<qsizetype>(65536, ganz.size() - i))));
  EXPECT_TRUE(d.Dateien().isEmpty());
  ASSERT_FALSE(strom->Beenden());
  ASSERT_FALSE(d.Schreiben(t.Datei(QStringLiteral("B.XML")), ganz));
  ASSERT_EQ(d.Dateien().size(), 2);
  const SichereDateien::Datei& a = d.Dateien().at(0);
  const SichereDateien::Datei& b = d.Dateien().at(1);
  EXPECT_EQ(a.groesse, ganz.size());
  EXPECT_EQ(a.pruefsumme, SichereDateien::Pruefsumme(ganz));
  EXPECT_EQ(b.pruefsumme, a.pruefsumme);
  EXPECT_EQ(Lesen(a.temporaer), ganz);
  EXPECT_TRUE(SichereDateien::Vollstaendig(a.temporaer, a.groesse, a.pruefsumme));
  // The records of an earlier version carry SHA-256.
  const QByteArray sha = QCryptographicHash::hash(ganz, QCryptographicHash::Sha256).toHex();
  EXPECT_NE(sha, a.pruefsumme);
  EXPECT_TRUE(SichereDateien::Vollstaendig(a.temporaer, a.groesse, sha));
  EXPECT_FALSE(SichereDateien::Vollstaendig(a.temporaer, a.groesse, QByteArray(64, '0')));
}

// A piece that fails fails the file: nothing stays, later pieces and the end report the same failure; a
// stream dropped unfinished leaves nothing either.
TEST_F(SichereDateienTest, StromScheitertOhneSpur) {
  int schreiben = 0;
  SichereDateien::StoerungSetzen([&](const char* aufruf, const QString&) {
    return qstrcmp(aufruf, "write") == 0 && ++schreiben == 2 ? ENOSPC : 0;
  });
  SichereDateien d(QStringLiteral("0123456789abcdef"));
  DateiFehler f;
  auto strom = d.Oeffnen(t.Datei(QStringLiteral("A.XML")), f);
  ASSERT_TRUE(strom);
  EXPECT_FALSE(strom->Anhaengen("erstes Stück"));
  const DateiFehler e = strom->Anhaengen("zweites Stück");
  EXPECT_EQ(e.Nummer, 61);
  EXPECT_EQ(e.Beschreibung, MitHinweis(QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei: ") +
                                           QDir::toNativeSeparators(t.Datei(QStringLiteral("A.XML"))),
                                       PlatzSchaffen));
  EXPECT_EQ(strom->Anhaengen("drittes").Nummer, 61);
  EXPECT_EQ(strom->Beenden().Nummer, 61);
  EXPECT_TRUE(d.Dateien().isEmpty());
  EXPECT_TRUE(Dateien(t.Pfad()).isEmpty());

  SichereDateien::StoerungSetzen({});
  {
    auto offen = d.Oeffnen(t.Datei(QStringLiteral("B.XML")), f);
    ASSERT_TRUE(offen);
    ASSERT_FALSE(offen->Anhaengen("halb"));
    EXPECT_EQ(Dateien(t.Pfad()), QStringList{QStringLiteral("B.XML.0123456789abcdef.sepatmp")});
  }
  EXPECT_TRUE(Dateien(t.Pfad()).isEmpty());
  // An existing temporary of the name is never overwritten.
  Schreiben(t.Datei(QStringLiteral("C.XML.0123456789abcdef.sepatmp")), "fremd");
  EXPECT_FALSE(d.Oeffnen(t.Datei(QStringLiteral("C.XML")), f));
  EXPECT_TRUE(f);
  EXPECT_EQ(Lesen(t.Datei(QStringLiteral("C.XML.0123456789abcdef.sepatmp"))), QByteArray("fremd"));
}

// A copy in blocks: the same bytes, an older file replaced, a missing source named, no temporary left.
TEST_F(SichereDateienTest, KopierenInBloecken) {
  QByteArray inhalt(3 * 1024 * 1024 + 17, Qt::Uninitialized);
  for (qsizetype i = 0; i < inhalt.size(); ++i) inhalt[i] = char(i * 7919 % 251);
  Schreiben(t.Datei(QStringLiteral("quelle.XML")), inhalt);
  Schreiben(t.Datei(QStringLiteral("kopie.XML")), "alt");
  ASSERT_FALSE(SichereDateien::Kopieren(t.Datei(QStringLiteral("quelle.XML")), t.Datei(QStringLiteral("kopie.XML"))));
  EXPECT_EQ(Lesen(t.Datei(QStringLiteral("kopie.XML"))), inhalt);
  const DateiFehler f =
      SichereDateien::Kopieren(t.Datei(QStringLiteral("fehlt.XML")), t.Datei(QStringLiteral("kopie2.XML")));
  EXPECT_TRUE(f);
  EXPECT_TRUE(f.Beschreibung.endsWith(QDir::toNativeSeparators(t.Datei(QStringLiteral("fehlt.XML")))))
      << f.Beschreibung.toStdString();
  EXPECT_EQ(Dateien(t.Pfad()), (QStringList{QStringLiteral("kopie.XML"), QStringLiteral("quelle.XML")}));
}

// ---- one form of temporary names, and the writer's hold on its temporary ------------------------------------

struct Name {
  const char* name;
  const char* datei;
  bool temporaer;
};

class TemporaereNamen : public ::testing::TestWithParam<Name> {};

// Recovery deletes what matches, so the form is exact: 16 lower-case hex digits, the ending, nothing after.
TEST_P(TemporaereNamen, NurDieEineFormGiltAlsTemporaer) {
  EXPECT_EQ(SichereDateien::IstTemporaerdatei(QString::fromUtf8(GetParam().datei)), GetParam().temporaer);
}

INSTANTIATE_TEST_SUITE_P(
    Namen, TemporaereNamen,
    ::testing::Values(Name{"Lauf", "/d/SEPAGK.XML.0123456789abcdef.sepatmp", true},
                      Name{"Beiseite", "/d/SEPAGK.XML.alt-0123456789abcdef.sepatmp", true},
                      Name{"Bericht", "/p/Zahlungsliste.LST.00000000000000ff.sepatmp", true},
                      Name{"FuenfzehnZiffern", "/d/SEPAGK.XML.123456789abcdef.sepatmp", false},
                      Name{"SiebzehnZiffern", "/d/SEPAGK.XML.0123456789abcdef0.sepatmp", false},
                      Name{"Grossbuchstaben", "/d/SEPAGK.XML.0123456789ABCDEF.sepatmp", false},
                      Name{"FruehereVersion", "/d/SEPAGK.XML.1a2b3c4d.sepatmp", false},
                      Name{"AndereEndung", "/d/SEPAGK.XML.0123456789abcdef.tmp", false},
                      Name{"EtwasDahinter", "/d/SEPAGK.XML.0123456789abcdef.sepatmp.bak", false},
                      Name{"Endgueltig", "/d/SEPAGK.XML", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Every writer names its temporaries in that form: the run's files, a replaced file (a report saved) and a
// copy (the archive copy).
TEST_F(SichereDateienTest, JederSchreiberBenutztDieEineForm) {
  QStringList geoeffnet;
  SichereDateien::StoerungSetzen([&](const char* aufruf, const QString& pfad) {
    if (qstrcmp(aufruf, "open") == 0) geoeffnet << pfad;
    return 0;
  });
  SichereDateien lauf(SichereDateien::NeueKennung());
  ASSERT_FALSE(lauf.Schreiben(t.Datei(QStringLiteral("SEPAGK.XML")), "lauf"));
  ASSERT_FALSE(SichereDateien::Ersetzen(t.Datei(QStringLiteral("Zahlungsliste.LST")), "report"));
  ASSERT_FALSE(SichereDateien::Kopieren(t.Datei(QStringLiteral("Zahlungsliste.LST")), t.Datei(QStringLiteral("Kopie.XML"))));
  SichereDateien::StoerungSetzen({});
  ASSERT_EQ(geoeffnet.size(), 3);
  for (const QString& pfad : geoeffnet) EXPECT_TRUE(SichereDateien::IstTemporaerdatei(pfad)) << pfad.toStdString();
  EXPECT_TRUE(SichereDateien::IstTemporaerdatei(lauf.Dateien().first().beiseite));
  EXPECT_NE(geoeffnet.at(1), geoeffnet.at(2));   // each replacement its own id
}

// A writer holds its temporary from its creation until it is in place; a temporary nobody holds (the writer
// gone, as after a kill) or any other file is free.
TEST_F(SichereDateienTest, LebenderSchreiberHaeltSeineTemporaereDatei) {
  SichereDateien d(QStringLiteral("0123456789abcdef"));
  DateiFehler f;
  auto strom = d.Oeffnen(t.Datei(QStringLiteral("A.XML")), f);
  ASSERT_TRUE(strom);
  const QString a = t.Datei(QStringLiteral("A.XML.0123456789abcdef.sepatmp"));
  EXPECT_TRUE(SichereDateien::InBenutzung(a));   // being written
  ASSERT_FALSE(strom->Anhaengen("A"));
  ASSERT_FALSE(strom->Beenden());
  strom.reset();
  EXPECT_TRUE(SichereDateien::InBenutzung(a));   // complete, waiting for its rename
  ASSERT_FALSE(d.Schreiben(t.Datei(QStringLiteral("B.XML")), "B"));
  const QString b = d.Dateien().last().temporaer;
  EXPECT_TRUE(SichereDateien::InBenutzung(b));
  ASSERT_FALSE(d.Einsetzen(0));
  EXPECT_FALSE(SichereDateien::InBenutzung(t.Datei(QStringLiteral("A.XML"))));   // in place: free
  EXPECT_TRUE(SichereDateien::InBenutzung(b));
  d.Loslassen();
  EXPECT_TRUE(QFile::exists(b));
  EXPECT_FALSE(SichereDateien::InBenutzung(b));
  Schreiben(t.Datei(QStringLiteral("C.XML.0123456789abcdef.sepatmp")), "von niemandem");
  EXPECT_FALSE(SichereDateien::InBenutzung(t.Datei(QStringLiteral("C.XML.0123456789abcdef.sepatmp"))));
  EXPECT_FALSE(SichereDateien::InBenutzung(t.Datei(QStringLiteral("fehlt.sepatmp"))));
}

}  // namespace
