#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QEventLoop>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>

#include "platform/ui/Dateidialog.h"
#include "testsupport/TestOrdner.h"

namespace {

void Anlegen(const QString& pfad) {
  QFile f(pfad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("x");
}

TEST(Dateidialog, StartOrdnerIstEinOrdnerDiesesRechners) {
  TestOrdner t;
  const QString ordner = QDir::toNativeSeparators(t.Pfad());
  Anlegen(t.Datei(QStringLiteral("Varix.db")));
  EXPECT_EQ(Dateidialog::StartOrdner(t.Pfad()), ordner);
  EXPECT_EQ(Dateidialog::StartOrdner(t.Datei(QStringLiteral("Varix.db"))), ordner);
  // A file or folder that is gone: the nearest folder above it that exists.
  EXPECT_EQ(Dateidialog::StartOrdner(t.Datei(QStringLiteral("weg/noch/tiefer/Varix.db"))), ordner);
#ifndef Q_OS_WIN
  // The old program's Windows default is no path of this machine: the replacement, else home.
  const QString windows = QStringLiteral("C:\\Programme\\Tamo-Varix für Windows\\TamoVarix.MDB");
  EXPECT_EQ(Dateidialog::StartOrdner(windows, t.Pfad()), ordner);
  EXPECT_EQ(Dateidialog::StartOrdner(windows), QDir::toNativeSeparators(QDir::homePath()));
  EXPECT_EQ(Dateidialog::VorgeschlageneDatei(windows), QString());
#endif
  EXPECT_EQ(Dateidialog::StartOrdner(QStringLiteral("relativ/Varix.db"), t.Pfad()), ordner);
  EXPECT_EQ(Dateidialog::StartOrdner(QString()), QDir::toNativeSeparators(QDir::homePath()));
  EXPECT_EQ(Dateidialog::VorgeschlageneDatei(t.Datei(QStringLiteral("Varix.db"))),
            QDir::toNativeSeparators(t.Datei(QStringLiteral("Varix.db"))));
  EXPECT_EQ(Dateidialog::VorgeschlageneDatei(t.Datei(QStringLiteral("fehlt.db"))), QString());
  EXPECT_EQ(Dateidialog::VorgeschlageneDatei(t.Pfad()), QString());
}

// The dialog as the user sees it: German type texts and dates, wide columns, the proposed file selected.
TEST(Dateidialog, DateiauswahlIstDeutschUndBreitGenug) {
  TestOrdner t;
  Anlegen(t.Datei(QStringLiteral("TamoSEPA.db")));
  Anlegen(t.Datei(QStringLiteral("TamoSEPA.db-wal")));
  QDir(t.Pfad()).mkdir(QStringLiteral("Archiv"));
  QString typDatei, typOrdner, datum, titel, ausgewaehlt;
  int namensBreite = 0;
  Dateidialog::AusfuehrungSetzen([&](QFileDialog& dialog) {
    titel = dialog.windowTitle();
    dialog.show();
    auto* liste = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    // The folder is read on a thread of the dialog's model: wait until both rows are there (a loaded
    // signal alone came before the rows on a busy machine).
    for (int i = 0; i < 250 && (typDatei.isEmpty() || typOrdner.isEmpty()); ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      const QAbstractItemModel* m = liste->model();
      const QModelIndex wurzel = liste->rootIndex();
      for (int r = 0; r < m->rowCount(wurzel); ++r) {
        const QString name = m->index(r, 0, wurzel).data().toString();
        if (name == QLatin1String("TamoSEPA.db-wal")) {
          typDatei = m->index(r, 2, wurzel).data().toString();
          datum = m->index(r, 3, wurzel).data().toString();
        }
        if (name == QLatin1String("Archiv")) typOrdner = m->index(r, 2, wurzel).data().toString();
      }
    }
    namensBreite = liste->header()->sectionSize(0);
    ausgewaehlt = dialog.selectedFiles().value(0);
    return int(QDialog::Rejected);
  });
  const auto gewaehlt = Dateidialog::DateiOeffnen(nullptr, QStringLiteral("Datenbank auswählen"),
                                                  t.Datei(QStringLiteral("TamoSEPA.db")),
                                                  QStringLiteral("Alle Dateien (*)"));
  Dateidialog::AusfuehrungSetzen({});
  EXPECT_FALSE(gewaehlt.has_value());
  EXPECT_EQ(titel, QStringLiteral("Datenbank auswählen"));
  EXPECT_EQ(typDatei, QStringLiteral("DB-WAL-Datei"));
  EXPECT_EQ(typOrdner, QStringLiteral("Ordner"));
  EXPECT_EQ(datum, QFileInfo(t.Datei(QStringLiteral("TamoSEPA.db-wal"))).lastModified().toString(QStringLiteral("dd.MM.yyyy HH:mm")));
  EXPECT_GE(namensBreite, 300);
  EXPECT_EQ(QDir::toNativeSeparators(ausgewaehlt), QDir::toNativeSeparators(t.Datei(QStringLiteral("TamoSEPA.db"))));
}

// Saving: the proposed name of a file not yet there stands in the name field, in the folder of this machine;
// the extension is added when the user leaves it out.
TEST(Dateidialog, SpeichernSchlaegtDenNamenVorUndHaengtDieEndungAn) {
  TestOrdner t;
  QString ordner, name, endung;
  Dateidialog::AusfuehrungSetzen([&](QFileDialog& dialog) {
    ordner = QDir::toNativeSeparators(dialog.directory().absolutePath());
    name = QFileInfo(dialog.selectedFiles().value(0)).fileName();
    endung = dialog.defaultSuffix();
    return int(QDialog::Rejected);
  });
  EXPECT_FALSE(Dateidialog::DateiSpeichern(nullptr, QStringLiteral("PDF-Datei wählen"), t.Datei(QStringLiteral("Liste.pdf")),
                                           QStringLiteral("PDF-Dateien (*.pdf)"), QStringLiteral("pdf"))
                   .has_value());
  EXPECT_EQ(ordner, QDir::toNativeSeparators(t.Pfad()));
  EXPECT_EQ(name, QStringLiteral("Liste.pdf"));
  EXPECT_EQ(endung, QStringLiteral("pdf"));
  Dateidialog::DateiSpeichern(nullptr, QStringLiteral("PDF-Datei wählen"), QStringLiteral("C:\\Daten\\Liste.pdf"),
                              QStringLiteral("PDF-Dateien (*.pdf)"), QStringLiteral("pdf"), t.Pfad());
  Dateidialog::AusfuehrungSetzen({});
  EXPECT_EQ(ordner, QDir::toNativeSeparators(t.Pfad()));
  EXPECT_NE(name, QStringLiteral("Liste.pdf"));
}

}  // namespace
