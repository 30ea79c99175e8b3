#include "sepafiles/core/SepaLaufSperre.h"

#include <QFile>

#include "common/SichereDateien.h"
#include "platform/db/Datenbank.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

QString SepaLaufSperre::Datei(const Datenbank& db) {
  if (db.Datei() == QLatin1String(":memory:") || db.Datei().isEmpty()) return {};
  return db.Datei() + QStringLiteral(".sepalauf");
}

QString SepaLaufSperre::BelegtMeldung() {
  return QStringLiteral("Eine SEPA-Datei wird gerade an einem anderen Arbeitsplatz erstellt.\r"
                        "Bitte warten Sie, bis dieser Lauf beendet ist, und versuchen Sie es dann noch einmal.");
}

bool SepaLaufSperre::Belegt(const Datenbank& db) {
  const QString datei = Datei(db);
  // The run's write lock of the file is seen like a writer's lock of its temporary.
  return !datei.isEmpty() && SichereDateien::InBenutzung(datei);
}

SepaLaufSperre::SepaLaufSperre(const Datenbank& db) {
  const QString datei = Datei(db);
  if (datei.isEmpty()) {
    m_erhalten = true;
    return;
  }
#ifdef Q_OS_UNIX
  m_fd = ::open(QFile::encodeName(datei).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (m_fd < 0) return;
  struct flock sperre {};
  sperre.l_type = F_WRLCK;
  sperre.l_whence = SEEK_SET;
  // A lock of this open file (not of the process): another descriptor closed in this process keeps it.
#ifdef F_OFD_SETLK
  m_erhalten = ::fcntl(m_fd, F_OFD_SETLK, &sperre) == 0;
#else
  m_erhalten = ::fcntl(m_fd, F_SETLK, &sperre) == 0;
#endif
#else
  m_erhalten = true;
#endif
}

SepaLaufSperre::~SepaLaufSperre() {
#ifdef Q_OS_UNIX
  if (m_fd >= 0) ::close(m_fd);
#endif
}
