#include <gtest/gtest.h>

#include <QFile>

#include <memory>

#include "QtAusgabe.h"
#include "sepafiles/core/SepaVorpruefung.h"

namespace {

using namespace SepaVorpruefung;

const QString Leer = QStringLiteral(
    "Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt.\r"
    "Die Referenz wird bei den Absender-Daten gespeichert und für jede einzelne\r"
    "SEPA-Datei hochgezählt, so dass für die nächste SEPA-Datei eine eindeutige\r"
    "Angabe vorhanden ist. Bitte tragen Sie die Referenz-Angabe ein.");

TEST(SepaVorpruefung, ReferenzBrauchbar) {
  EXPECT_TRUE(ReferenzMeldung(QStringLiteral("R100")).isEmpty());
  EXPECT_TRUE(ReferenzMeldung(QString(35, QLatin1Char('A'))).isEmpty());
  EXPECT_TRUE(ReferenzMeldung(QStringLiteral("LAUF 2024/06")).isEmpty());
  EXPECT_TRUE(ReferenzMeldung(QStringLiteral("R#100")).isEmpty());  // converts to R100
  EXPECT_EQ(NachrichtenId(QStringLiteral("R#1&0")), QStringLiteral("R1+0"));
}

TEST(SepaVorpruefung, ReferenzLeerOderNachWandlungLeer) {
  EXPECT_EQ(ReferenzMeldung(QString()), Leer);
  EXPECT_EQ(ReferenzMeldung(QStringLiteral("   ")), Leer);
  EXPECT_EQ(ReferenzMeldung(QStringLiteral("#!~")), Leer);
}

// What the schemas let pass and the banks reject: each refused with its own reason.
TEST(SepaVorpruefung, ReferenzNachKennungsregeln) {
  const QString schluss =
      QStringLiteral("\r\rDie Referenz wird als Kennung der SEPA-Datei an die Bank "
                     "übermittelt. Bitte korrigieren Sie die Referenz-Angabe.");
  EXPECT_EQ(ReferenzMeldung(QString(36, QLatin1Char('A'))),
            QStringLiteral("Die Referenz-Angabe darf höchstens 35 Zeichen lang sein.") + schluss);
  EXPECT_EQ(ReferenzMeldung(QStringLiteral("A//B")), QStringLiteral("Die Referenz-Angabe darf kein \"//\" enthalten.") + schluss);
  EXPECT_EQ(ReferenzMeldung(QStringLiteral("/R1//")),
            QStringLiteral("Die Referenz-Angabe darf nicht mit \"/\" beginnen oder enden.") + schluss);
  EXPECT_EQ(ReferenzMeldung(QStringLiteral(" R1 ")),
            QStringLiteral("Die Referenz-Angabe darf nicht mit einem Leerzeichen beginnen oder enden.") + schluss);
  EXPECT_EQ(ReferenzMeldung(QStringLiteral("R1 ")), ReferenzMeldung(QStringLiteral(" R1 ")));
}

TEST(SepaVorpruefung, AusfuehrungsdatumGrenzenBeidseitig) {
  const QDate erstellt(2024, 6, 5);
  EXPECT_TRUE(AusfuehrungsdatumMeldung(std::nullopt, erstellt).isEmpty());
  EXPECT_TRUE(AusfuehrungsdatumMeldung(QDate(), erstellt).isEmpty());
  EXPECT_TRUE(AusfuehrungsdatumMeldung(erstellt, erstellt).isEmpty());
  EXPECT_TRUE(AusfuehrungsdatumMeldung(erstellt.addDays(14), erstellt).isEmpty());
  const QString meldung = QStringLiteral("Das Ausführungsdatum muß zwischen dem Erstellungsdatum \r05.06.2024 und dem "
                                         "19.06.2024 liegen!\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
  EXPECT_EQ(AusfuehrungsdatumMeldung(erstellt.addDays(15), erstellt), meldung);
  EXPECT_EQ(AusfuehrungsdatumMeldung(erstellt.addDays(-1), erstellt), meldung);
}

TEST(SepaVorpruefung, GlaeubigerId) {
  EXPECT_TRUE(GlaeubigerIdMeldung(QStringLiteral("DE98ZZZ09999999999")).isEmpty());
  EXPECT_TRUE(GlaeubigerIdMeldung(QStringLiteral("de98 zzz0 9999 9999 99")).isEmpty());
  EXPECT_EQ(GlaeubigerIdMeldung(QStringLiteral("  ")),
            QStringLiteral("Für Lastschriften wird zwingend eine von der deutschen Bundesbank\r"
                           "vergebene Gläubiger-ID benötigt.\r\r"
                           "Falls Ihnen diese vorliegt, muss diese bei den Absender-Angaben eingetragen\r"
                           "werden. Erst dann können Lastschriften verarbeitet werden."));
  EXPECT_TRUE(GlaeubigerIdMeldung(QStringLiteral("DE97ZZZ09999999999"))
                  .startsWith(QStringLiteral("Die Gläubiger-ID bei den Absender-Angaben ist ungültig:\r"
                                             "Die Prüfziffer der Gläubiger-ID ist falsch.")));
}

}  // namespace

// Sent message ids are noted and found by the account in its stored form; without an account nothing is noted
// (no later check could find it) and nothing is found.
TEST(SepaVorpruefung, GesendeteReferenzenJeKonto) {
  std::unique_ptr<Datenbank> db = Datenbank::InSpeicher();
  QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
  ASSERT_FALSE(db->SkriptAusfuehren(QString::fromUtf8(schema.readAll())));
  const QDate erstellt(2024, 6, 5);
  const QStringList ids{QStringLiteral("R1"), QStringLiteral("R2")};

  for (const char* leer : {"", "   ", "\t"}) {
    const DbFehler f = SepaVorpruefung::ReferenzenMerken(*db, 7, QString::fromLatin1(leer), ids, erstellt);
    EXPECT_TRUE(f) << "'" << leer << "'";
    EXPECT_EQ(f.Beschreibung, QStringLiteral("Beim Absender Nr. 7 fehlt die IBAN; die Referenz-Angabe kann keinem "
                                             "Konto zugeordnet werden."));
  }
  DbFehler f;
  EXPECT_EQ(db->Wert("SELECT count(*) FROM GesendeteReferenzen", {}, f)->toInt(), 0);

  ASSERT_FALSE(SepaVorpruefung::ReferenzenMerken(*db, 7, QStringLiteral("de89 3704 0044 0532 0130 00"), ids, erstellt));
  EXPECT_EQ(db->Wert("SELECT group_concat(IBAN || '|' || Referenz || '|' || AbsenderNr, ',') FROM "
                     "(SELECT * FROM GesendeteReferenzen ORDER BY Referenz)", {}, f)->toString(),
            QStringLiteral("DE89370400440532013000|R1|7,DE89370400440532013000|R2|7"));
  const QStringList gefragt{QStringLiteral("R0"), QStringLiteral("R2"), QStringLiteral("R1")};
  EXPECT_EQ(SepaVorpruefung::VerwendeteReferenzen(*db, QStringLiteral("DE89370400440532013000"), gefragt, f),
            (QStringList{QStringLiteral("R2"), QStringLiteral("R1")}));
  EXPECT_FALSE(f);
  EXPECT_EQ(SepaVorpruefung::VerwendeteReferenzen(*db, QStringLiteral("DE02120300000000202051"), gefragt, f), QStringList());
  EXPECT_EQ(SepaVorpruefung::VerwendeteReferenzen(*db, QString(), gefragt, f), QStringList());

  // Taken back: only this account's ids of the list.
  ASSERT_FALSE(SepaVorpruefung::ReferenzenMerken(*db, 8, QStringLiteral("DE02120300000000202051"), ids, erstellt));
  ASSERT_FALSE(SepaVorpruefung::ReferenzenVergessen(*db, QStringLiteral(" DE89 3704 0044 0532 0130 00"),
                                                    {QStringLiteral("R1")}));
  EXPECT_EQ(db->Wert("SELECT group_concat(IBAN || '|' || Referenz, ',') FROM "
                     "(SELECT * FROM GesendeteReferenzen ORDER BY IBAN, Referenz)", {}, f)->toString(),
            QStringLiteral("DE02120300000000202051|R1,DE02120300000000202051|R2,DE89370400440532013000|R2"));
}
