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
  if (const QString abgewiesen = tabelle.AbweisungsMeldung(); !abgewiesen.isEmpty())
    Fehler(QString(abgewiesen).replace(QLatin1Char('\r'), QLatin1Char('\n')));

  // The whole input first (a file or a pipe, read until its end), then line by line: a last line break
  // ends the last line and starts no further one.
  QByteArray alles;
  if (argc == 3) {
    QFile datei(QFile::decodeName(argv[2]));
    if (!datei.open(QIODevice::ReadOnly)) {
      Fehler(QStringLiteral("Die Eingabe \"") + datei.fileName() + QStringLiteral("\" kann nicht gelesen werden: ") +
             datei.errorString());
      return 1;
    }
    alles = datei.readAll();
  } else {
    char puffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(puffer, 1, sizeof puffer, stdin)) > 0) alles.append(puffer, qsizetype(n));
    if (std::ferror(stdin)) {
      Fehler(QStringLiteral("Die Standardeingabe kann nicht gelesen werden."));
      return 1;
    }
  }
  QFile ausgabe;
  if (!ausgabe.open(stdout, QIODevice::WriteOnly)) {
    Fehler(QStringLiteral("Die Standardausgabe kann nicht geschrieben werden."));
    return 1;
  }

  QByteArray puffer;
  qsizetype anfang = 0;
  while (anfang < alles.size()) {
    qsizetype ende = alles.indexOf('\n', anfang);
    if (ende < 0) ende = alles.size();
    const QByteArray zeile = alles.mid(anfang, ende - anfang);
    anfang = ende + 1;
    puffer += IbanZeileKonvertieren(QString::fromUtf8(zeile), tabelle).toUtf8();
    puffer += '\n';
    if (puffer.size() > (1 << 16)) {
      ausgabe.write(puffer);
      puffer.clear();
    }
  }
  ausgabe.write(puffer);
  if (!ausgabe.flush() || ausgabe.error() != QFileDevice::NoError) {
    Fehler(QStringLiteral("Die Ausgabe kann nicht geschrieben werden: ") + ausgabe.errorString());
    return 1;
  }
  return 0;
}
