#include "platform/db/Dateisystem.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace Dateisystem {

QByteArray Systempfad(const QString& pfad) { return QFile::encodeName(QDir::toNativeSeparators(pfad)); }

int DateiSynchronisieren(const QString& pfad) {
  const int fd = ::open(Systempfad(pfad).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int rc = ::fsync(fd);
  const int fehler = errno;
  ::close(fd);
  return rc == 0 ? 0 : fehler;
}

int Ersetzen(const QString& von, const QString& nach) {
  return std::rename(Systempfad(von).constData(), Systempfad(nach).constData()) == 0 ? 0 : errno;
}

int OrdnerSynchronisieren(const QString& ordner) {
  const int fd = ::open(Systempfad(ordner).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  // Some file systems cannot sync a folder; what they can do, they did with the rename.
  const int rc = ::fsync(fd);
  const int fehler = errno;
  ::close(fd);
  return rc != 0 && fehler != EINVAL && fehler != ENOTSUP ? fehler : 0;
}

}  // namespace Dateisystem
