#pragma once

#include <QString>

#include <functional>

// Where a file lies: on a network file system several workstations may share it, and SQLite's WAL mode,
// whose shared memory does not cross machines, must not be used there.
class Speicherort {
 public:
  // True when `pfad` (a file or folder) lies on NFS, SMB/CIFS, FUSE or another network file system.
  static bool IstNetzlaufwerk(const QString& pfad);
  // The file system types (statfs f_type) counted as network file systems.
  static bool IstNetzDateisystem(long long typ);
  // Test seam: decides instead of statfs while set.
  static void ErkennungSetzen(std::function<bool(const QString& pfad)> erkennung);
};
