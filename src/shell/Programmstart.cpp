#include "shell/Programmstart.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "platform/ui/Meldung.h"
#include "sepafiles/core/SepaLaufVermerke.h"

Programmstart::Programmstart() = default;
Programmstart::~Programmstart() = default;

QString Programmstart::SperrDatei() {
  const QString programm = QDir::cleanPath(QDir::fromNativeSeparators(ProgrammverzeichnisErmitteln()));
  const QString kennung =
      QString::fromLatin1(QCryptographicHash::hash(programm.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
  return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
      .filePath(QStringLiteral("TamoSEPA-") + kennung + QStringLiteral(".lock"));
}

const QString& Programmstart::ZweiteInstanzMeldung() {
  static const QString text = Meldung::Zeilen({
      QStringLiteral("Tamo-SEPA ist bereits gestartet."),
      QStringLiteral("Das Programm kann nur einmal geöffnet werden."),
  });
  return text;
}

bool Programmstart::EinzelinstanzSichern() {
  const QString datei = SperrDatei();
  QDir().mkpath(QFileInfo(datei).absolutePath());
  auto sperre = std::make_unique<QLockFile>(datei);
  // A lock left behind by a crashed run is taken over (QLockFile checks the process behind it).
  sperre->setStaleLockTime(0);
  if (!sperre->tryLock(0)) {
    if (sperre->error() == QLockFile::LockFailedError)
      Meldung::Hinweis(ZweiteInstanzMeldung());
    else
      Meldung::Fehler(QStringLiteral("Die Sperrdatei %1 kann nicht angelegt werden.").arg(QDir::toNativeSeparators(datei)));
    return false;
  }
  m_sperre = std::move(sperre);
  return true;
}

bool Programmstart::OrdnerFestlegen() {
  const StartErgebnis e = OrdnerEinrichten();
  if (!e.Ok()) {
    Meldung::Fehler(e.meldung.isEmpty() ? e.fehler.Meldungstext() : e.meldung);
    return false;
  }
  if (!e.hinweis.isEmpty())
    Meldung::Zeigen(e.hinweis, MeldungsKnoepfe::Ok, e.warnung ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information);
  return true;
}

void Programmstart::StartwerteLesen() { Zustand().StartwerteLesen(); }

bool Programmstart::DatenbankBereitstellen() {
  const StartErgebnis e = DatenbankOeffnen();
  if (!e.Ok()) {
    Meldung::Fehler(e.meldung.isEmpty() ? e.fehler.Meldungstext() : e.meldung);
    return false;
  }
  if (!e.hinweis.isEmpty())
    Meldung::Zeigen(e.hinweis, MeldungsKnoepfe::Ok, e.warnung ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information);
  SepaLaufNachholen();
  return true;
}

void Programmstart::SepaLaufNachholen() {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return;
  const SepaLaufVermerke::Abschluss a = SepaLaufVermerke::BeimOeffnen(*db, Zustand().DatenVerzeichnis(), Zustand().ProgrammVerzeichnis());
  if (const QString text = a.Meldung(); !text.isEmpty()) {
    Meldung::Zeigen(text, MeldungsKnoepfe::Ok, a.Warnung() ? MeldungsSymbol::Ausruf : MeldungsSymbol::Information);
  }
}

bool Programmstart::Ausfuehren() {
  if (!EinzelinstanzSichern()) return false;
  if (!OrdnerFestlegen()) return false;
  StartwerteLesen();
  return DatenbankBereitstellen();
}
