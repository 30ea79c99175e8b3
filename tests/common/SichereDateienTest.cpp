#include <gtest/gtest.h>

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
