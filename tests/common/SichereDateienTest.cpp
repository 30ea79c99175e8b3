#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cerrno>

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
  const char* text;
};

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
  EXPECT_EQ(e.Beschreibung, QString::fromUtf8(f.text) + QDir::toNativeSeparators(ziel));
  EXPECT_TRUE(Dateien(t.Pfad()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Systemfehler, SichereDateienFehler,
    ::testing::Values(Fall{"DatentraegerVoll", "write", ENOSPC, 61, "Auf dem Datenträger ist nicht genug Platz frei: "},
                      Fall{"VollErstBeimSchliessen", "close", ENOSPC, 61, "Auf dem Datenträger ist nicht genug Platz frei: "},
                      Fall{"KeineBerechtigung", "open", EACCES, 70, "Keine Berechtigung zum Schreiben: "},
                      Fall{"Schreibgeschuetzt", "open", EROFS, 70, "Der Datenträger ist schreibgeschützt: "},
                      Fall{"KeinOrdner", "open", ENOTDIR, 76, "Ein Teil des Pfades ist eine Datei und kein Ordner: "},
                      Fall{"EinAusgabe", "fsync", EIO, 57, "Ein-/Ausgabefehler des Datenträgers: "},
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
  EXPECT_EQ(e.Beschreibung, QStringLiteral("Die Datei ist zu groß für den Datenträger: ") +
                                QDir::toNativeSeparators(t.Datei(QStringLiteral("gross.XML"))));
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
  EXPECT_EQ(e.Beschreibung, QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei: ") +
                                QDir::toNativeSeparators(t.Datei(QStringLiteral("A.XML"))));
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

}  // namespace
