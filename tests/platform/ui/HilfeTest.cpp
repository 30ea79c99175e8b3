#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeFenster.h"
#include "platform/ui/HilfeKontext.h"

#include "QtAusgabe.h"
#include "testsupport/TestOrdner.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

QString HilfeOrdner() { return QStringLiteral(TAMO_SOURCE_DIR) + QStringLiteral("/resources/help"); }

}  // namespace

TEST(Hilfe, KontextnummerOeffnetIhrThemaFehlendesDenInhalt) {
  const QString ordner = HilfeOrdner();
  EXPECT_EQ(QFileInfo(HilfeAnzeigen(HilfeKontext::SepaDatei, ordner)).fileName(), QStringLiteral("200.html"));
  HilfeFenster* fenster = HilfeFenster::Instanz(ordner);
  EXPECT_TRUE(fenster->isVisible());
  EXPECT_TRUE(fenster->Browser()->toPlainText().contains(QStringLiteral("SEPA-Datei erstellen")));
  EXPECT_EQ(QFileInfo(HilfeAnzeigen(999, ordner)).fileName(), QStringLiteral("index.html"));
  EXPECT_EQ(QFileInfo(HilfeAnzeigen(HilfeKontext::Inhalt, ordner)).fileName(), QStringLiteral("index.html"));
  EXPECT_EQ(HilfeFenster::Instanz(ordner), fenster);  // one viewer, reused
  fenster->close();
}

TEST(Hilfe, UeberEinemModalenFensterIstDieHilfeSelbstModal) {
  const QString ordner = HilfeOrdner();
  {
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    HilfeAnzeigen(HilfeKontext::Import, ordner, &dialog);
    HilfeFenster* fenster = HilfeFenster::Instanz(ordner);
    EXPECT_TRUE(fenster->isVisible());
    EXPECT_EQ(fenster->windowModality(), Qt::ApplicationModal) << "else the dialog would block it";
  }
  // The same viewer, called again without a modal window: modeless again.
  HilfeFenster* fenster = HilfeFenster::Instanz(ordner);
  HilfeAnzeigen(HilfeKontext::Inhalt, ordner);
  EXPECT_EQ(HilfeFenster::Instanz(ordner), fenster);
  EXPECT_TRUE(fenster->isVisible());
  EXPECT_EQ(fenster->windowModality(), Qt::NonModal);
  fenster->close();
}

TEST(Hilfe, ZurueckUndVorwaerts) {
  HilfeFenster fenster(HilfeOrdner());
  fenster.ThemaOeffnen(HilfeKontext::Zahlungen);
  fenster.ThemaOeffnen(HilfeKontext::Adressen);
  ASSERT_TRUE(fenster.Browser()->isBackwardAvailable());
  fenster.Browser()->backward();
  EXPECT_EQ(QFileInfo(fenster.AktuelleDatei()).fileName(), QStringLiteral("100.html"));
  fenster.Browser()->forward();
  EXPECT_EQ(QFileInfo(fenster.AktuelleDatei()).fileName(), QStringLiteral("300.html"));
}

TEST(Hilfe, IndexMarkiertDieAngezeigteSeite) {
  HilfeFenster fenster(HilfeOrdner());
  auto* index = fenster.findChild<QListWidget*>();
  ASSERT_TRUE(index);
  const auto markiert = [index] { return index->currentItem() ? index->currentItem()->text() : QString(); };
  fenster.ThemaOeffnen(HilfeKontext::Zahlungen);
  EXPECT_EQ(markiert(), QStringLiteral("Zahlungen erfassen"));
  fenster.ThemaOeffnen(HilfeKontext::Adressen);
  EXPECT_EQ(markiert(), QStringLiteral("Adressen und Bankverbindungen"));
  fenster.Browser()->backward();
  EXPECT_EQ(markiert(), QStringLiteral("Zahlungen erfassen"));
  fenster.ThemaOeffnen(999);   // a missing topic: the contents
  EXPECT_EQ(index->currentRow(), 0);
}

TEST(Hilfe, IndexBeginntMitDemInhaltUndNenntJedesThema) {
  HilfeFenster fenster(HilfeOrdner());
  const QStringList index = fenster.Index();
  ASSERT_FALSE(index.isEmpty());
  EXPECT_EQ(index.first(), QStringLiteral("Tamo-SEPA Hilfe – Inhalt"));
  EXPECT_TRUE(index.contains(QStringLiteral("Zahlungen erfassen")));
  EXPECT_TRUE(index.contains(QStringLiteral("Druckausgabe")));
}

TEST(Hilfe, JederKontextHatSeineSeiteUndJederVerweisEinZiel) {
  const QDir ordner(HilfeOrdner());
  for (int k : {HilfeKontext::Zahlungen, HilfeKontext::FaelligAbfrage, HilfeKontext::Skonto, HilfeKontext::SepaDatei,
                HilfeKontext::Zahlungsliste, HilfeKontext::Selektiv, HilfeKontext::Adressen, HilfeKontext::Absender,
                HilfeKontext::Einstellungen, HilfeKontext::Import, HilfeKontext::Drucken, HilfeKontext::Designer})
    EXPECT_TRUE(ordner.exists(QString::number(k) + QStringLiteral(".html"))) << k;
  static const QRegularExpression verweis(QStringLiteral("href=\"([^\"#]+)\""));
  for (const QString& datei : ordner.entryList({QStringLiteral("*.html")})) {
    QFile f(ordner.filePath(datei));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("<title>"))) << datei.toStdString();
    auto treffer = verweis.globalMatch(text);
    while (treffer.hasNext()) {
      const QString ziel = treffer.next().captured(1);
      EXPECT_TRUE(ordner.exists(ziel)) << datei.toStdString() << " -> " << ziel.toStdString();
    }
  }
}

TEST(Hilfe, OhneHilfeseitenSagtDerBetrachterEs) {
  TestOrdner leer;
  HilfeFenster fenster(leer.Pfad());
  EXPECT_TRUE(fenster.ThemaOeffnen(HilfeKontext::SepaDatei).isEmpty());
  EXPECT_TRUE(fenster.Browser()->toPlainText().contains(QStringLiteral("Hilfe nicht gefunden")));
}

// Esc did not close the viewer.
TEST(Hilfe, EscSchliesstDenBetrachter) {
  HilfeAnzeigen(HilfeKontext::Zahlungen, HilfeOrdner());
  HilfeFenster* fenster = HilfeFenster::Instanz(HilfeOrdner());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(fenster));
  fenster->Browser()->setFocus();
  QTest::keyClick(fenster->Browser(), Qt::Key_Escape);
  EXPECT_FALSE(fenster->isVisible());
}
