#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include "common/DatenbankOeffnung.h"
#include "common/Datenbankstart.h"
#include "testsupport/Kindprozess.h"
#include "testsupport/TestOrdner.h"

namespace {

// Two workstations on one database at the same time, each saving payments, changing its own field of one
// address and writing the SEPA file of the credit transfers: no update is lost, no order is in two files,
// and exactly the orders in files are marked done.
TEST(ZweiProzesse, KeinVerlorenesUpdateUndKeinAuftragInZweiDateien) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("TamoSEPA.db"));
  ASSERT_TRUE(DatenbankAnlegen(datei, QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql")).Ok());
  {
    DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, {});
    ASSERT_TRUE(e.Ok()) << e.meldung.toStdString();
    ASSERT_TRUE(e.db->Ausfuehren("UPDATE Absender SET Name = 'Tamo', IBAN = 'DE89370400440532013000', BIC = 'COBADEFFXXX', "
                                 "ReferenzNr = 'R1' WHERE AbsenderNr = 1; "
                                 "INSERT INTO Adressen (OPKontoNr, Name, Bank) VALUES ('K1', 'Anfang', 'Anfang')")
                    .Ok());
  }
  const int runden = 30;
  const QStringList umgebung = {QStringLiteral("TAMOSEPA_EINSTELLUNGEN=") + ordner.Datei(QStringLiteral("e.ini"))};
  Kindprozess a(QStringLiteral(TAMO_ZWEI_PROZESSE_KIND), {datei, QStringLiteral("A"), QString::number(runden), ordner.Pfad()},
                umgebung);
  Kindprozess b(QStringLiteral(TAMO_ZWEI_PROZESSE_KIND), {datei, QStringLiteral("B"), QString::number(runden), ordner.Pfad()},
                umgebung);
  for (Kindprozess* k : {&a, &b}) {
    bool ok = false;
    const QString zeile = k->Zeile(120000, &ok);
    EXPECT_TRUE(zeile.startsWith(QLatin1String("FERTIG"))) << zeile.toStdString() << k->Fehlerausgabe().toStdString();
    EXPECT_EQ(k->Ende(), 0);
  }

  DatenbankOeffnung::Ergebnis e = DatenbankOeffnung::Oeffnen(datei, {});
  ASSERT_TRUE(e.Ok());
  Datenbank& db = *e.db;
  DbFehler f;
  EXPECT_EQ(db.Wert("SELECT count(*) FROM Zahlungen", {}, f)->toInt(), 2 * runden);
  EXPECT_EQ(db.Wert("SELECT count(*) FROM Verwendungszweck", {}, f)->toInt(), 2 * runden);
  EXPECT_EQ(db.Wert("SELECT Bank || '|' || Name FROM Adressen WHERE OPKontoNr = 'K1'", {}, f)->toString(),
            QStringLiteral("A-%1|B-%1").arg(runden - 1));

  // Every order in at most one file; the orders in files are exactly the ones marked done.
  QStringList inDateien;
  QDirIterator it(ordner.Pfad(), {QStringLiteral("*.XML")}, QDir::Files, QDirIterator::Subdirectories);
  static const QRegularExpression name(QStringLiteral("<Cdtr><Nm>([^<]*)</Nm>"));
  while (it.hasNext()) {
    QFile x(it.next());
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    const QString inhalt = QString::fromUtf8(x.readAll());
    for (auto m = name.globalMatch(inhalt); m.hasNext();) inDateien << m.next().captured(1);
  }
  EXPECT_EQ(QSet<QString>(inDateien.begin(), inDateien.end()).size(), inDateien.size()) << "ein Auftrag in zwei Dateien";
  QStringList erledigt;
  db.Abfragen("SELECT Name FROM Zahlungen WHERE Erledigt = 1", {}, [&](const Zeile& z) {
    erledigt << z.Wert(0).toString();
    return true;
  });
  inDateien.sort();
  erledigt.sort();
  EXPECT_EQ(inDateien, erledigt);
  EXPECT_GT(erledigt.size(), 0);
  EXPECT_EQ(db.Wert("SELECT count(*) FROM SepaLaufDateien", {}, f)->toInt(), 0);
}

}  // namespace
