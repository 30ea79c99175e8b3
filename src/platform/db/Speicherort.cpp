#include "platform/db/Speicherort.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

namespace {

std::function<bool(const QString&)>& Erkennung() {
  static std::function<bool(const QString&)> e;
  return e;
}

}  // namespace

void Speicherort::ErkennungSetzen(std::function<bool(const QString&)> erkennung) { Erkennung() = std::move(erkennung); }

bool Speicherort::IstNetzDateisystem(long long typ) {
  switch (static_cast<unsigned long>(typ) & 0xffffffffUL) {
    case 0x6969UL:       // NFS
    case 0x517BUL:       // SMB
    case 0xFF534D42UL:   // CIFS
    case 0xFE534D42UL:   // SMB2
    case 0x65735546UL:   // FUSE (sshfs, rclone, ...)
    case 0x01021997UL:   // 9P
    case 0x00C36400UL:   // Ceph
    case 0x5346414FUL:   // AFS
    case 0x73757245UL:   // Coda
    case 0x564CUL:       // NCP
      return true;
    default:
      return false;
  }
}

bool Speicherort::IstNetzlaufwerk(const QString& pfad) {
  if (Erkennung()) return Erkennung()(pfad);
#ifdef Q_OS_LINUX
  // A file that does not exist yet lies where its folder lies.
  const QFileInfo info(pfad);
  const QString vorhanden = info.exists() ? info.absoluteFilePath() : info.absolutePath();
  struct statfs angaben {};
  if (::statfs(QFile::encodeName(vorhanden).constData(), &angaben) != 0) return false;
  return IstNetzDateisystem(static_cast<long long>(angaben.f_type));
#else
  return false;
#endif
}
