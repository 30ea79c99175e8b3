#include "testsupport/TestOrdner.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

TestOrdner::TestOrdner() = default;

QString TestOrdner::Datei(const QString& name) const { return m_dir.filePath(name); }

QStringList TestOrdner::Dateien() const { return QDir(Pfad()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

QByteArray TestOrdner::Lesen(const QString& pfad) {
  QFile f(pfad);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestOrdner::Schreiben(const QString& pfad, const QByteArray& inhalt) {
  QFile f(pfad);
  if (!f.open(QIODevice::WriteOnly) || f.write(inhalt) != inhalt.size()) ADD_FAILURE() << "nicht geschrieben: " << pfad.toStdString();
}

Dateigroessengrenze::Dateigroessengrenze(long long bytes) {
  rlimit grenze{};
  getrlimit(RLIMIT_FSIZE, &grenze);
  m_vorher = static_cast<long long>(grenze.rlim_cur);
  m_handler = std::signal(SIGXFSZ, SIG_IGN);
  grenze.rlim_cur = static_cast<rlim_t>(bytes);
  if (setrlimit(RLIMIT_FSIZE, &grenze) != 0) ADD_FAILURE() << "RLIMIT_FSIZE nicht gesetzt";
}

Dateigroessengrenze::~Dateigroessengrenze() {
  rlimit grenze{};
  getrlimit(RLIMIT_FSIZE, &grenze);
  grenze.rlim_cur = static_cast<rlim_t>(m_vorher);
  setrlimit(RLIMIT_FSIZE, &grenze);
  std::signal(SIGXFSZ, m_handler);
}

QString TestOrdner::SharedOrdner() {
  const QString ordner = qEnvironmentVariable("TAMO_SHARED_DIR");
  return (!ordner.isEmpty() && QDir(ordner).exists()) ? QDir(ordner).absolutePath() : QString();
}
