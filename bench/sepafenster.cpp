// Opens the SEPA file window on a seeded database in a temporary data folder and saves pictures of
// it: after the first selection with the list of the left-out order beside it (<bild>-fehlerliste.png),
// and with --erstellen also after writing the file (the read-only view).
// sepafenster <bild.png> [--erstellen]. Run it under Xvfb (or offscreen). Message boxes are answered
// automatically (the warning with "Ja", so the list opens) and printed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "platform/db/Datenbank.h"
#include "platform/ui/MeldungsRekorder.h"
#include "sepafiles/FormularDTADisk.h"
#include "sepafiles/SepaFehlerliste.h"

namespace {

bool Seeden(Datenbank& db) {
  if (db.Ausfuehren("UPDATE Absender SET Suchname = 'MUSTER', Name = 'Muster Handel GmbH', Bank = 'Commerzbank', "
                    "IBAN = 'DE89370400440532013000', BIC = 'COBADEFFXXX', \"GläubigerID\" = 'DE98ZZZ09999999999', "
                    "ReferenzNr = 'SEPA-2024-017' WHERE AbsenderNr = 1"))
    return false;
  struct Auftrag {
    const char* name;
    const char* iban;
    const char* bic;
    const char* zweck;
    qint64 cent;
  };
  const Auftrag auftraege[] = {
      {"Bürobedarf Schäfer KG", "DE02120300000000202051", "BYLADEM1001", "Rechnung 2024-0311", 23850},
      {"Hofmann Elektro GmbH", "DE12500105170648489890", "INGDDEFFXXX", "RE 4711 vom 01.03.24", 119000},
      {"Lehmann & Partner", "DE02120300000000202051", "", "Beratung Februar", 45000},
      {"Druckerei Vogel", "DE00123", "", "Flyer", 9900},   // faulty IBAN: left out
  };
  int nr = 0;
  for (const Auftrag& a : auftraege) {
    ++nr;
    if (db.Ausfuehren("INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, OPKontoNr, Name, Bank, BIC, IBAN, "
                      "Verwendungszweck1, ZahlungGesamt, \"Fällig\") VALUES (?, 1, 'G', ?, ?, 'Bank', ?, ?, ?, ?, "
                      "'2024-03-15')",
                      {nr, QStringLiteral("7000%1").arg(nr), QString::fromUtf8(a.name), QString::fromUtf8(a.bic),
                       QString::fromUtf8(a.iban), QString::fromUtf8(a.zweck),
                       QVariant::fromValue(Waehrung::AusCent(a.cent))}))
      return false;
    // The second order pays two invoices.
    const int zeilen = nr == 2 ? 2 : 1;
    for (int z = 1; z <= zeilen; ++z)
      if (db.Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, "
                        "Vorgangsdatum, ZahlungsBetrag) VALUES (?, ?, ?, ?, '2024-02-28', ?)",
                        {nr, z, QStringLiteral("RE %1-%2").arg(nr).arg(z), QStringLiteral("%1%2").arg(4700 + nr).arg(z),
                         QVariant::fromValue(Waehrung::AusCent(a.cent / zeilen))}))
        return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir heim;
  qputenv("TAMOSEPA_EINSTELLUNGEN", QFile::encodeName(heim.filePath(QStringLiteral("einstellungen.ini"))));
  qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(heim.filePath(QStringLiteral("programm"))));
  QApplication app(argc, argv);
  const QString bild = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sepafenster.png");
  const bool erstellen = argc > 2 && QByteArray(argv[2]) == "--erstellen";

  Uhr::Festhalten(QDateTime(QDate(2024, 3, 13), QTime(10, 0)));
  const QString daten = heim.filePath(QStringLiteral("daten"));
  QDir().mkpath(daten);
  const QString datei = QDir(daten).filePath(DatenbankDateiname);
  DbFehler f = DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  if (f) {
    std::fprintf(stderr, "Datenbank: %s\n", qPrintable(f.Beschreibung));
    return 1;
  }
  {
    auto db = Datenbank::Oeffnen(datei, f);
    if (!db || !Seeden(*db)) {
      std::fprintf(stderr, "Datenbank konnte nicht gefüllt werden\n");
      return 1;
    }
  }
  Zustand().DatenVerzeichnisSetzen(daten);
  if (const StartErgebnis e = DatenbankOeffnen(); !e.Ok()) {
    std::fprintf(stderr, "%s\n", qPrintable(e.meldung));
    return 1;
  }

  MeldungsRekorder meldungen;
  meldungen.Antworte(MeldungsAntwort::Ja);
  FormularDTADisk fenster;
  fenster.resize(1100, 640);
  fenster.show();

  int ergebnis = 1;
  QTimer::singleShot(300, &app, [&] {
    QApplication::processEvents();
    ergebnis = fenster.grab().save(bild) ? 0 : 1;
    std::printf("%s\n", qPrintable(bild));
    if (SepaFehlerliste* liste = fenster.Fehlerliste()) {
      QString listenbild = bild;
      listenbild.replace(QStringLiteral(".png"), QStringLiteral("-fehlerliste.png"));
      if (!liste->grab().save(listenbild)) ergebnis = 1;
      std::printf("%s\n", qPrintable(listenbild));
    }
    if (erstellen) {
      fenster.Erstellen();
      QApplication::processEvents();
      QString zweites = bild;
      zweites.replace(QStringLiteral(".png"), QStringLiteral("-erstellt.png"));
      if (!fenster.grab().save(zweites)) ergebnis = 1;
      std::printf("%s\n", qPrintable(zweites));
    }
    for (const MeldungsRekorder::Eintrag& e : meldungen.Eintraege())
      std::printf("Meldung: %s\n", qPrintable(QString(e.text).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
    fenster.reject();
    app.quit();
  });
  app.exec();
  return ergebnis;
}
