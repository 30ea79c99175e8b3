// One of two workstations on one database (ZweiProzesseTest): saves credit transfers as the payment form
// does, changes its own field of the one address through a recordset as the address window does, and every
// third round writes the SEPA file of the credit transfers into a folder of its own.
//   zwei_prozesse_kind DATENBANK ROLLE(A|B) RUNDEN ZIELORDNER
// Prints "FEHLER ..." and ends with 1 on any failure; "FERTIG <files written>" at the end.
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

#include "common/DatenbankOeffnung.h"
#include "common/Uhr.h"
#include "payments/core/ZahlungSpeichern.h"
#include "payments/core/Zahlungsbefehle.h"
#include "platform/db/Recordset.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaLaufSperre.h"
#include "sepafiles/core/SepaSelektion.h"

namespace {

int Fehler(const QString& was, const QString& text) {
  std::printf("FEHLER %s: %s\n", was.toUtf8().constData(), QString(text).replace(QLatin1Char('\r'), QLatin1Char(' ')).toUtf8().constData());
  std::fflush(stdout);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication anwendung(argc, argv);
  const QStringList a = anwendung.arguments();
  if (a.size() != 5) return 2;
  const QString rolle = a.at(2);
  const int runden = a.at(3).toInt();
  DatenbankOeffnung::Ergebnis geoeffnet = DatenbankOeffnung::Oeffnen(a.at(1), {});
  if (!geoeffnet.Ok()) return Fehler(QStringLiteral("Öffnen"), geoeffnet.meldung);
  Datenbank& db = *geoeffnet.db;
  const QDate heute = Uhr::Heute();
  int dateien = 0;

  for (int i = 0; i < runden; ++i) {
    // A payment as "Neu" and "Speichern" store it.
    qint64 nr = 0;
    if (DbFehler f = NeueZahlungAnlegen(db, 1, Zahlart::Ueberweisung, {}, heute, nr))
      return Fehler(QStringLiteral("Neu"), f.Meldungstext());
    ZahlungEingabe e;
    e.name = QStringLiteral("Kunde %1-%2").arg(rolle).arg(i);
    e.bank = QStringLiteral("Commerzbank");
    e.bic = QStringLiteral("COBADEFFXXX");
    e.iban = QStringLiteral("DE89370400440532013000");
    e.verwendungszweck1 = QStringLiteral("RE %1-%2").arg(rolle).arg(i);
    e.betrag = Waehrung::AusCent(1000 + i);
    e.faellig = heute;
    SpeicherKontext k;
    k.absenderNr = 1;
    k.heute = heute;
    const SpeicherErgebnis s = ZahlungSpeichern(db, nr, e, k);
    if (!s.Ok()) return Fehler(QStringLiteral("Speichern"), s.Meldungstext());

    // The one address: each workstation changes its own field.
    DbFehler f;
    Abfrage adresse = Abfrage::Tabelle(QStringLiteral("Adressen"));
    adresse.bedingung = Bedingung(SqlText("OPKontoNr = ?"), {QStringLiteral("K1")});
    std::unique_ptr<Recordset> rs = Recordset::Oeffnen(db, adresse, RecordsetTyp::Dynaset, f);
    if (!rs || rs->RecordCount() != 1) return Fehler(QStringLiteral("Adresse lesen"), f.Meldungstext());
    if ((f = rs->Edit())) return Fehler(QStringLiteral("Adresse bearbeiten"), f.Meldungstext());
    if ((f = rs->Setzen(rolle == QLatin1String("A") ? QStringLiteral("Bank") : QStringLiteral("Name"),
                        QStringLiteral("%1-%2").arg(rolle).arg(i))))
      return Fehler(QStringLiteral("Adresse setzen"), f.Meldungstext());
    if ((f = rs->Update())) return Fehler(QStringLiteral("Adresse speichern"), f.Meldungstext());

    // The SEPA file of the credit transfers now and then.
    if (i % 3 != 2) continue;
    SepaAuswahlAnfrage anfrage;
    anfrage.AbsenderNr = 1;
    anfrage.Art = SepaArt::Ueberweisung;
    anfrage.Heute = heute;
    const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(db, anfrage);
    if (!auswahl.Ok()) return Fehler(QStringLiteral("Auswahl"), auswahl.Meldung);
    const QString ziel = QDir(a.at(4)).filePath(QStringLiteral("%1%2").arg(rolle).arg(i));
    QDir().mkpath(ziel);
    SepaLaufAnfrage lauf;
    lauf.AbsenderNr = 1;
    lauf.ZahlungNummern = auswahl.ZahlungNummern;
    lauf.Optionen.Art = SepaArt::Ueberweisung;
    lauf.Referenz = QStringLiteral("%1%2-1").arg(rolle).arg(i);
    lauf.Zielordner = ziel;
    const SepaLaufErgebnis r = SepaLauf::Ausfuehren(db, lauf);
    if (r.Ok()) {
      dateien += int(r.Dateien.size());
      continue;
    }
    // The other workstation was quicker: its run holds the lock, or it took the same orders.
    if (r.Meldung == SepaLaufSperre::BelegtMeldung() || r.Meldung == SepaLauf::KeineZahlungenMeldung() ||
        r.Meldung.contains(QStringLiteral("inzwischen erledigt")))
      continue;
    return Fehler(QStringLiteral("SEPA-Lauf"), r.Meldung);
  }
  std::printf("FERTIG %d\n", dateien);
  return 0;
}
