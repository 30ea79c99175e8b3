// Opens the payment form on a seeded in-memory database with a direct debit being entered and
// saves a picture of the window: zahlungsfenster <bild.png>. Run it under Xvfb (or offscreen).
#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "payments/FormularZahlung.h"
#include "platform/db/Datenbank.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/ZweispaltenCombo.h"

namespace {

bool Seeden(Datenbank& db) {
  QFile f(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  if (!f.open(QIODevice::ReadOnly) || db.SkriptAusfuehren(QString::fromUtf8(f.readAll()))) return false;
  const char* namen[] = {"Bäckerei Schulze", "Hofmann Elektro GmbH", "Lehmann & Partner", "Sportverein Blau-Weiß e.V."};
  int i = 0;
  for (const char* n : namen) {
    ++i;
    if (db.Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, Name, Bank, BIC, IBAN, Verwendungszweck1, ZahlungGesamt, "
                      "\"Fällig\", MandatReferenz, MandatDatum, MandatSequenz, \"Textschlüssel\", OPKontoNr) "
                      "VALUES (1, 'L', ?, 'Sparkasse Musterstadt', 'BYLADEM1001', 'DE02120300000000202051', ?, ?, "
                      "'2024-03-28', ?, '2023-06-01', 3, 'COLL', ?)",
                      {QString::fromUtf8(n), QStringLiteral("Beitrag März %1").arg(i),
                       QVariant::fromValue(Waehrung::AusCent(2500 * i + 99)), QStringLiteral("MR-2023-%1").arg(i),
                       QStringLiteral("1000%1").arg(i)}))
      return false;
  }
  return !db.Ausfuehren("INSERT INTO Adressen (OPKontoNr, Name, Bank, BIC, IBAN) VALUES "
                        "('10001', 'Bäckerei Schulze', 'Sparkasse Musterstadt', 'BYLADEM1001', 'DE02120300000000202051')");
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir heim;
  qputenv("TAMOSEPA_EINSTELLUNGEN", QFile::encodeName(heim.filePath(QStringLiteral("einstellungen.ini"))));
  qputenv("TAMOSEPA_PROGRAMMVERZEICHNIS", QFile::encodeName(heim.filePath(QStringLiteral("programm"))));
  QApplication app(argc, argv);
  const QString bild = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zahlungsfenster.png");

  Uhr::Festhalten(QDateTime(QDate(2024, 3, 12), QTime(10, 0)));
  auto db = Datenbank::InSpeicher();
  if (!Seeden(*db)) {
    std::fprintf(stderr, "Datenbank konnte nicht angelegt werden\n");
    return 1;
  }
  Zustand().DatenbankUebernehmen(std::move(db), nullptr, AdressQuellenInfo::Intern());
  Zustand().AktuelleAbsenderNrSetzen(1);
  Optionsschalter o;
  o.NeuMitSuchliste = false;
  Zustand().OptionenSetzen(o);

  FormularZahlung fenster;
  fenster.resize(1000, 760);
  fenster.show();
  fenster.ZahlartWaehlen(Zahlart::BasisLastschrift);
  fenster.ZeilenanzeigeWaehlen(Zeilenanzeige::MitOP);
  fenster.Befehl(QStringLiteral("Neu"));
  fenster.Maske(0)->WertSetzen(QStringLiteral("Gärtnerei Vogel KG"));
  fenster.Maske(1)->WertSetzen(QStringLiteral("MR-2024-0815"));
  fenster.Maske(2)->WertSetzen(QStringLiteral("Volksbank Mittelhessen"));
  fenster.Maske(3)->WertSetzen(QStringLiteral("GENODE51GIE"));
  fenster.Maske(4)->WertSetzen(QStringLiteral("DE89370400440532013000"));
  fenster.TextschluesselFeld()->CodeSetzen(QStringLiteral("COLL"));
  fenster.FaelligFeld()->WertSetzen(QDate(2024, 3, 28));
  fenster.SequenzOptionen()->WertSetzen(0);
  DatenGitter* g = fenster.Zeilengitter();
  const int nr = g->SpaltenIndex(QStringLiteral("OPVorgangNr"));
  const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
  const int op = g->SpaltenIndex(QStringLiteral("OPBetrag"));
  const int skonto = g->SpaltenIndex(QStringLiteral("SkontoBetrag"));
  g->SetzeAktuelleZelle(0, nr);
  g->ZellwertSetzen(nr, QStringLiteral("4711"));
  g->ZellwertSetzen(op, QVariant::fromValue(Waehrung::AusCent(11900)));
  g->ZeileSpeichern();
  g->SetzeAktuelleZelle(g->ZeilenAnzahl(), text);
  g->ZellwertSetzen(text, QStringLiteral("Pflanzenlieferung April"));
  g->ZellwertSetzen(op, QVariant::fromValue(Waehrung::AusCent(5000)));
  g->ZellwertSetzen(skonto, QVariant::fromValue(Waehrung::AusCent(150)));
  g->ZeileSpeichern();
  fenster.Maske(0)->setFocus();

  int ergebnis = 1;
  QTimer::singleShot(300, &app, [&] {
    QApplication::processEvents();
    ergebnis = fenster.grab().save(bild) ? 0 : 1;
    std::printf("%s\n", qPrintable(bild));
    fenster.Befehl(QStringLiteral("Schliessen"));  // drops the entry
    app.quit();
  });
  app.exec();
  return ergebnis;
}
