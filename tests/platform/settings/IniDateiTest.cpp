#include <gtest/gtest.h>

#include <QFile>

#include "platform/settings/IniDatei.h"
#include "testsupport/TestOrdner.h"

namespace {

TEST(IniDatei, KeinKommaSplitGrossKleinErsterGewinnt) {
  const IniDatei ini = IniDatei::AusText(QStringLiteral(
      "; Kommentar\r\nvorher=ohne Abschnitt\r\n[WebUpdate]\r\nAutoPrüfung = 7\r\nZuletztgeprüftam=01.02.2024\r\n"
      "autoprüfung=9\r\n[Description]\r\nText=Zahlungsliste, sortiert nach Name; mit = Zeichen\r\n"
      "Leer=\r\nZitat=\"  mit Rand  \"\r\n[webupdate]\r\nNeu=1\r\n"));
  EXPECT_EQ(ini.Wert(QStringLiteral("WEBUPDATE"), QStringLiteral("AutoPrüfung")), QStringLiteral("7"));
  EXPECT_EQ(ini.Wert(QStringLiteral("webupdate"), QStringLiteral("AUTOPRÜFUNG")), QStringLiteral("7"));
  EXPECT_EQ(ini.Wert(QStringLiteral("Description"), QStringLiteral("Text")),
            QStringLiteral("Zahlungsliste, sortiert nach Name; mit = Zeichen"));
  EXPECT_EQ(ini.Wert(QStringLiteral("Description"), QStringLiteral("Zitat")), QStringLiteral("  mit Rand  "));
  EXPECT_TRUE(ini.Vorhanden(QStringLiteral("Description"), QStringLiteral("Leer")));
  EXPECT_EQ(ini.Wert(QStringLiteral("Description"), QStringLiteral("Leer"), QStringLiteral("x")), QString());
  EXPECT_EQ(ini.Wert(QStringLiteral("WebUpdate"), QStringLiteral("Neu")), QStringLiteral("1"));
  EXPECT_EQ(ini.Wert(QStringLiteral("WebUpdate"), QStringLiteral("fehlt"), QStringLiteral("0")), QStringLiteral("0"));
  EXPECT_FALSE(ini.Vorhanden(QString(), QStringLiteral("vorher")));
}

TEST(IniDatei, Utf8SonstLatin1) {
  TestOrdner ordner;
  const QString utf8 = ordner.Datei(QStringLiteral("utf8.lst"));
  const QString latin1 = ordner.Datei(QStringLiteral("latin1.lst"));
  {
    QFile f(utf8);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF[Description]\nText=Zahlungsübersicht\n");
    QFile g(latin1);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("[Description]\nText=Zahlungs\xFC" "bersicht\n");
  }
  const auto a = IniDatei::Laden(utf8);
  const auto b = IniDatei::Laden(latin1);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->Wert(QStringLiteral("description"), QStringLiteral("text")), QStringLiteral("Zahlungsübersicht"));
  EXPECT_EQ(b->Wert(QStringLiteral("description"), QStringLiteral("text")), QStringLiteral("Zahlungsübersicht"));
  EXPECT_FALSE(IniDatei::Laden(ordner.Datei(QStringLiteral("fehlt.ini"))).has_value());
}

}  // namespace
