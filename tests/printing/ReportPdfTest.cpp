#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <memory>

#include "common/Programmzustand.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/report/Poppler.h"
#include "platform/report/QtReportengine.h"
#include "platform/ui/MeldungsRekorder.h"
#include "printing/ReportDrucken.h"
#include "testsupport/TestOrdner.h"

namespace {

// The shipped payment list printed through the driver and the Qt engine, read back with poppler.
class ReportPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Zustand().ReportDatumSetzen(QDate(2025, 3, 14));
    db = Datenbank::InSpeicher();
    QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
    ASSERT_FALSE(db->SkriptAusfuehren(QString::fromUtf8(schema.readAll())));
    ASSERT_FALSE(db->SkriptAusfuehren(QStringLiteral(
        "UPDATE Absender SET Name = 'Bäckerei Größe & Söhne', IBAN = 'DE89370400440532013000' WHERE AbsenderNr = 1;")));
    DbFehler f;
    absender = Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("Absender")), RecordsetTyp::Tabelle, f);
    ASSERT_TRUE(absender);
  }
  void TearDown() override { Zustand().Zuruecksetzen(); }

  // `anzahl` orders; order i has (i % 3) + 1 lines of i,01 EUR each, due on 1.4.2025 + i days.
  void Zahlungen(int anzahl) {
    ASSERT_FALSE(db->BeginTrans());
    for (int i = 1; i <= anzahl; ++i) {
      const int zeilen = i % 3 + 1;
      ASSERT_FALSE(db->Ausfuehren(
          SqlText("INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art, Name, IBAN, BIC, ZahlungGesamt, \"Fällig\", EinzelReferenz) "
                  "VALUES (?, 1, 'G', ?, 'DE02120300000000202051', 'BYLADEM1001', ?, ?, ?)"),
          {i, QStringLiteral("Empfänger Nr. %1 Müßig").arg(i), QVariant::fromValue(Waehrung::AusCent(qint64(zeilen) * (100 * i + 1))),
           QDate(2025, 4, 1).addDays(i), QStringLiteral("E2E-%1").arg(i)}));
      for (int z = 1; z <= zeilen; ++z)
        ASSERT_FALSE(db->Ausfuehren(SqlText("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, "
                                            "ZahlungsBetrag) VALUES (?, ?, ?, ?)"),
                                    {i, z, QStringLiteral("RE%1Z%2").arg(i).arg(z), QVariant::fromValue(Waehrung::AusCent(100 * i + 1))}));
    }
    ASSERT_FALSE(db->CommitTrans());
  }

  int Drucken(const QString& pdf) {
    Abfrage a;
    a.quelle = SqlText("Zahlungen INNER JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
    a.sortierung = SqlText("Art, Zahlungen.ZahlungNr, Verwendungszweck.LfdNr");
    DbFehler f;
    std::unique_ptr<Recordset> rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, f);
    EXPECT_TRUE(rs) << f.Meldungstext().toStdString();
    if (!rs) return -1;
    RecordsetReportdaten daten(*rs);
    Druckanfrage anfrage;
    anfrage.ReportDatei = QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST");
    anfrage.DruckZiel = Report::ZielPdf;
    anfrage.PdfDateiname = QFileInfo(pdf).fileName();
    anfrage.PdfPfad = QFileInfo(pdf).absolutePath();
    const QList<ReportVariable> variablen = {
        {QStringLiteral("Zahlungsliste.Formularart"), QStringLiteral("Überweisung (Gutschrift -)"), Report::Typ::Text},
        {QStringLiteral("Zahlungsliste.Status"), QStringLiteral("Offen"), Report::Typ::Text}};
    QtReportengine engine;
    return ReportDrucken(daten, anfrage, variablen, Druckformular{nullptr, QStringLiteral("Zahlungsliste"), {}, absender.get(), 1},
                         engine);
  }

  std::unique_ptr<Datenbank> db;
  std::unique_ptr<Recordset> absender;
  TestOrdner ordner;
  MeldungsRekorder meldungen;
};

TEST_F(ReportPdfTest, ZahlungslisteUeberMehrereSeiten) {
  Zahlungen(60);   // 120 lines
  const QString pdf = ordner.Datei(QStringLiteral("Zahlungsübersicht.pdf"));
  ASSERT_EQ(Drucken(pdf), Report::Ok);
  EXPECT_EQ(meldungen.Anzahl(), 0);
  const int seiten = Poppler::Seiten(pdf);
  ASSERT_GE(seiten, 3);
  const QString text = Poppler::Text(pdf);

  // Title, variables, the sender and the report date.
  EXPECT_TRUE(text.contains(QStringLiteral("Zahlungsliste: Überweisung (Gutschrift -)")));
  EXPECT_TRUE(text.contains(QStringLiteral("Status: Offen"))) << text.left(600).toStdString();
  EXPECT_EQ(text.count(QStringLiteral("Bäckerei Größe & Söhne")), seiten);   // the header of every page
  EXPECT_TRUE(text.contains(QStringLiteral("Reportdatum: 14.03.2025")));
  for (int s = 1; s <= seiten; ++s)
    EXPECT_TRUE(text.contains(QStringLiteral("Seite %1 von %2").arg(s).arg(seiten))) << s;

  // German numbers and dates, umlauts; the sums of the lines and of the orders (once each).
  EXPECT_TRUE(text.contains(QStringLiteral("Empfänger Nr. 59 Müßig")));
  EXPECT_TRUE(text.contains(QStringLiteral("02.04.2025")));
  EXPECT_TRUE(text.contains(QStringLiteral("59,01")));     // order 59: three lines of 59,01
  EXPECT_TRUE(text.contains(QStringLiteral("177,03")));    // and their total
  qint64 cent = 0;
  for (int i = 1; i <= 60; ++i) cent += qint64(i % 3 + 1) * (100 * i + 1);
  const QString summe = Waehrung::AusCent(cent).FormatDeutsch();
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: ") + summe + QStringLiteral(" EUR"))) << summe.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Zahlungen: 60")));

  // Every line once, in order.
  const QRegularExpression zeile(QStringLiteral("RE(\\d+)Z(\\d+)"));
  QList<std::pair<int, int>> gelesen;
  for (auto it = zeile.globalMatch(text); it.hasNext();) {
    const auto m = it.next();
    gelesen << std::pair{m.captured(1).toInt(), m.captured(2).toInt()};
  }
  QList<std::pair<int, int>> erwartet;
  for (int i = 1; i <= 60; ++i)
    for (int z = 1; z <= i % 3 + 1; ++z) erwartet << std::pair{i, z};
  EXPECT_EQ(gelesen, erwartet);

  // The fonts are in the file, and every word lies inside the margins (15 / 12 mm).
  const QStringList schriften = Poppler::Schriften(pdf);
  ASSERT_FALSE(schriften.isEmpty());
  for (const QString& s : schriften) {
    EXPECT_TRUE(s.startsWith(QStringLiteral("DejaVuSans"))) << s.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("\\s+yes\\s+(yes|no)\\s+yes\\s")).match(s).hasMatch()) << s.toStdString();
  }
  QList<Poppler::Seite> blaetter;
  const QList<Poppler::Wort> woerter = Poppler::Woerter(pdf, &blaetter);
  ASSERT_EQ(blaetter.size(), seiten);
  ASSERT_GT(woerter.size(), 500);
  const double mm = 72.0 / 25.4;
  for (const Poppler::Wort& w : woerter) {
    const Poppler::Seite& b = blaetter.at(w.seite - 1);
    const QRectF innen(15 * mm - 0.5, 12 * mm - 0.5, b.breite - 30 * mm + 1, b.hoehe - 24 * mm + 1);
    EXPECT_TRUE(innen.contains(w.box)) << w.text.toStdString() << " auf Seite " << w.seite;
  }
}

TEST_F(ReportPdfTest, LeereListeHatTitelUndNullsummen) {
  const QString pdf = ordner.Datei(QStringLiteral("leer.pdf"));
  ASSERT_EQ(Drucken(pdf), Report::Ok);
  EXPECT_EQ(Poppler::Seiten(pdf), 1);
  const QString text = Poppler::Text(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Anzahl Zahlungen: 0")));
  EXPECT_TRUE(text.contains(QStringLiteral("Summe der Zahlungen: 0,00 EUR")));
  EXPECT_TRUE(text.contains(QStringLiteral("Seite 1 von 1")));
}

}  // namespace
