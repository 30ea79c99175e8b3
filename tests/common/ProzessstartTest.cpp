// The program under a file-size limit of the user account (ulimit -f), as a real child process: set up as
// the program sets itself up, a write beyond the limit is the German "file too large" message, for a file
// and for the database; without it the signal ends the process at the first such write.

#include <gtest/gtest.h>

#include <QProcess>

#include <csignal>
#include <sys/resource.h>

#include "testsupport/TestOrdner.h"

namespace {

struct Lauf {
  QProcess::ExitStatus status = QProcess::NormalExit;
  QStringList zeilen;
};

Lauf Starten(const QString& art, const QString& ordner) {
  QProcess p;
  p.setChildProcessModifier([] {
    // Only async-signal-safe calls here: the limit, and the signal back at its default (the test's own
    // disposition would be inherited).
    rlimit grenze{};
    ::getrlimit(RLIMIT_FSIZE, &grenze);
    grenze.rlim_cur = 16384;
    ::setrlimit(RLIMIT_FSIZE, &grenze);
    ::signal(SIGXFSZ, SIG_DFL);
  });
  p.start(QStringLiteral(TAMO_PROZESSSTART_KIND), {art, ordner});
  EXPECT_TRUE(p.waitForFinished(30000));
  Lauf l;
  l.status = p.exitStatus();
  l.zeilen = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  return l;
}

TEST(Prozessstart, DateigroessengrenzeWirdZurMeldung) {
  TestOrdner ordner;
  const Lauf l = Starten(QStringLiteral("mit"), ordner.Pfad());
  ASSERT_EQ(l.status, QProcess::NormalExit);
  ASSERT_EQ(l.zeilen.size(), 2) << l.zeilen.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(l.zeilen.at(0), QStringLiteral("DATEI 61|Die Datei ist zu groß für den Datenträger: ") +
                                QDir::toNativeSeparators(ordner.Datei(QStringLiteral("SEPAGK.XML"))) +
                                QStringLiteral("|Die erlaubte Dateigröße ist erreicht (eine Grenze des Dateisystems oder "
                                               "des Benutzerkontos). Bitte wählen Sie einen anderen Datenträger oder "
                                               "lassen Sie die Grenze aufheben."));
  EXPECT_TRUE(l.zeilen.at(1).startsWith(QStringLiteral("DATENBANK %1|Die Datenbankdatei ist zu groß für den Datenträger")
                                            .arg(10 | (3 << 8))))   // SQLITE_IOERR_WRITE
      << l.zeilen.at(1).toStdString();
  // Nothing half-written under the final name or left beside it.
  EXPECT_EQ(ordner.Dateien(), QStringList{QStringLiteral("TamoSEPA.db")});
}

// The premise: without the set-up the process dies at the first write beyond the limit, without a word.
TEST(Prozessstart, OhneEinrichtungEndetDerProzessAmSignal) {
  TestOrdner ordner;
  const Lauf l = Starten(QStringLiteral("ohne"), ordner.Pfad());
  EXPECT_EQ(l.status, QProcess::CrashExit);
  EXPECT_TRUE(l.zeilen.isEmpty()) << l.zeilen.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
