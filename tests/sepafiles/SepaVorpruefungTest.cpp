#include <gtest/gtest.h>

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
