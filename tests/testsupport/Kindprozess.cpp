#include "testsupport/Kindprozess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

Kindprozess::Kindprozess(const QString& programm, const QStringList& argumente, const QStringList& umgebung) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& e : umgebung) {
    const qsizetype gleich = e.indexOf(QLatin1Char('='));
    env.insert(e.left(gleich), e.mid(gleich + 1));
  }
  m_prozess.setProcessEnvironment(env);
  m_prozess.start(programm, argumente);
  m_prozess.waitForStarted(10000);
}

Kindprozess::~Kindprozess() {
  if (Laeuft()) Toeten();
}

QString Kindprozess::Zeile(int ms, bool* ok) {
  QElapsedTimer uhr;
  uhr.start();
  for (;;) {
    const qsizetype ende = m_puffer.indexOf('\n');
    if (ende >= 0) {
      const QString zeile = QString::fromUtf8(m_puffer.left(ende));
      m_puffer.remove(0, ende + 1);
      if (ok) *ok = true;
      return zeile;
    }
    const qint64 rest = ms - uhr.elapsed();
    if (rest <= 0 || (!Laeuft() && m_prozess.bytesAvailable() == 0)) break;
    m_prozess.waitForReadyRead(int(std::min<qint64>(rest, 200)));
    m_puffer += m_prozess.readAllStandardOutput();
  }
  if (ok) *ok = false;
  return {};
}

void Kindprozess::Senden(const QString& zeile) {
  m_prozess.write(zeile.toUtf8() + '\n');
  m_prozess.waitForBytesWritten(5000);
}

void Kindprozess::Toeten() {
  if (m_prozess.processId() > 0) ::kill(pid_t(m_prozess.processId()), SIGKILL);
  m_prozess.waitForFinished(10000);
}

int Kindprozess::Ende(int ms) {
  if (!m_prozess.waitForFinished(ms)) return -1;
  if (m_prozess.exitStatus() != QProcess::NormalExit) return -1;
  return m_prozess.exitCode();
}

QString Kindprozess::Fehlerausgabe() { return QString::fromUtf8(m_prozess.readAllStandardError()); }

pid_t SperrendeProzess(const QString& datei) {
  const int fd = ::open(QFile::encodeName(datei).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;   // the whole file, the lock bytes at 1 GiB included
  pid_t pid = 0;
  if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) pid = probe.l_pid;
  ::close(fd);
  return pid;
}
