#include "shell/Programmsprache.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator* Programmsprache::Einrichten(QCoreApplication& anwendung) {
  const QLocale deutsch(QLocale::German, QLocale::Germany);
  QLocale::setDefault(deutsch);
  auto* uebersetzung = new QTranslator(&anwendung);
  if (!uebersetzung->load(deutsch, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete uebersetzung;
    return nullptr;
  }
  QCoreApplication::installTranslator(uebersetzung);
  return uebersetzung;
}
