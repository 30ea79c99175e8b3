// A process of the program under a file-size limit (ProzessstartTest): sets itself up as the program does
// ("mit") or not ("ohne"), then writes a file and a database beyond the limit and prints each failure as
// "DATEI <number>|<description>" and "DATENBANK <number>|<description>" (line breaks as "|").
//   prozessstart_kind mit|ohne ORDNER
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

#include "common/Prozessstart.h"
#include "common/SichereDateien.h"
#include "platform/db/Datenbank.h"

namespace {

void Ausgeben(const char* was, int nummer, QString text) {
  std::printf("%s %d|%s\n", was, nummer, text.replace(QLatin1Char('\r'), QLatin1Char('|')).toUtf8().constData());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && qstrcmp(argv[1], "mit") == 0) ProzessEinrichten();
  QCoreApplication anwendung(argc, argv);
  if (argc != 3) return 2;
  const QDir ordner(QString::fromLocal8Bit(argv[2]));
  const DateiFehler datei = SichereDateien::Ersetzen(ordner.filePath(QStringLiteral("SEPAGK.XML")), QByteArray(100000, 'x'));
  Ausgeben("DATEI", datei.Nummer, datei.Beschreibung);
  DbFehler f;
  std::unique_ptr<Datenbank> db = Datenbank::Oeffnen(ordner.filePath(QStringLiteral("TamoSEPA.db")), f, true);
  if (db) f = db->Ausfuehren("CREATE TABLE T (Wert BLOB)");
  if (db && !f) f = db->Ausfuehren("INSERT INTO T (Wert) VALUES (zeroblob(100000))");
  Ausgeben("DATENBANK", f.Nummer, f.Beschreibung);
  return 0;
}
