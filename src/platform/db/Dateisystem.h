#pragma once

#include <QByteArray>
#include <QString>

// The file-system steps by which a new file takes an old one's place without a moment in which neither is
// whole: written under another name, synced, renamed over the old one (atomic), the folder synced so that
// the rename itself survives a power cut. Each returns 0 or the errno of the failed call. The safe-file
// writer and the database's backup both go through these.
namespace Dateisystem {

// The path as the system calls take it.
QByteArray Systempfad(const QString& pfad);
// fsync of the file's data and size.
int DateiSynchronisieren(const QString& pfad);
// rename(2): `nach` is replaced in one step when it exists.
int Ersetzen(const QString& von, const QString& nach);
// fsync of the folder (file systems that cannot sync a folder count as done).
int OrdnerSynchronisieren(const QString& ordner);

}  // namespace Dateisystem
