// iban-konvertieren BLZDATEI [EINGABE]
// Reads lines "BLZ;Konto" (from EINGABE or standard input) and writes "BLZ;Konto;IBAN;BIC;Hinweis" per line,
// through the same per-address conversion as the program's IBAN conversion run.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IbanZeileKonvertieren.h"

namespace {

void Fehler(const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    Fehler(QStringLiteral("Aufruf: iban-konvertieren BLZDATEI [EINGABE]"));
    return 2;
  }
  BankleitzahlTabelle tabelle;
  if (const auto fehler = tabelle.Laden(QFile::decodeName(argv[1]))) {
    Fehler(*fehler);
    return 1;
  }

  QFile eingabe;
  bool offen = false;
  if (argc == 3) {
    eingabe.setFileName(QFile::decodeName(argv[2]));
    offen = eingabe.open(QIODevice::ReadOnly);
  } else {
    offen = eingabe.open(stdin, QIODevice::ReadOnly);
  }
  if (!offen) {
    Fehler(QStringLiteral("Die Eingabe \"") + eingabe.fileName() + QStringLiteral("\" kann nicht gelesen werden: ") +
           eingabe.errorString());
    return 1;
  }
  QFile ausgabe;
  if (!ausgabe.open(stdout, QIODevice::WriteOnly)) {
    Fehler(QStringLiteral("Die Standardausgabe kann nicht geschrieben werden."));
    return 1;
  }

  QByteArray puffer;
  while (!eingabe.atEnd()) {
    QByteArray zeile = eingabe.readLine();
    if (zeile.endsWith('\n')) zeile.chop(1);
    puffer += IbanZeileKonvertieren(QString::fromUtf8(zeile), tabelle).toUtf8();
    puffer += '\n';
    if (puffer.size() > (1 << 16)) {
      ausgabe.write(puffer);
      puffer.clear();
    }
  }
  if (eingabe.error() != QFileDevice::NoError) {
    Fehler(QStringLiteral("Die Eingabe kann nicht gelesen werden: ") + eingabe.errorString());
    return 1;
  }
  ausgabe.write(puffer);
  if (!ausgabe.flush() || ausgabe.error() != QFileDevice::NoError) {
    Fehler(QStringLiteral("Die Ausgabe kann nicht geschrieben werden: ") + ausgabe.errorString());
    return 1;
  }
  return 0;
}
