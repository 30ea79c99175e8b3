#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTranslator>

#include <memory>

#include "shell/Programmsprache.h"

namespace {

// Qt's own texts were English in the German program: the input fields' context menu ("Select All"),
// the file chooser of the sender form ("Look in:", "Cancel").
TEST(Programmsprache, QtsEigeneTexteUndDasGebietsschemaSindDeutsch) {
  const QLocale vorher;
  QTranslator* uebersetzung = Programmsprache::Einrichten(*QCoreApplication::instance());
  EXPECT_EQ(QLocale().language(), QLocale::German);
  EXPECT_EQ(QLocale().toString(1234.5, 'f', 2), QStringLiteral("1.234,50"));
  ASSERT_NE(uebersetzung, nullptr) << "qtbase_de.qm fehlt in "
                                   << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();

  QLineEdit feld;
  std::unique_ptr<QMenu> menue(feld.createStandardContextMenu());
  QStringList texte;
  for (const QAction* a : menue->actions()) texte << a->text().section(QLatin1Char('\t'), 0, 0);
  EXPECT_TRUE(texte.contains(QStringLiteral("Alles auswählen"))) << texte.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(texte.contains(QStringLiteral("&Kopieren")));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));

  QCoreApplication::removeTranslator(uebersetzung);
  delete uebersetzung;
  QLocale::setDefault(vorher);
}

}  // namespace
