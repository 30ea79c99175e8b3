#include "platform/ui/Bildliste.h"
#include "platform/ui/Werkzeugleiste.h"

#include "platform/settings/Registrierung.h"

#include "QtAusgabe.h"

#include <QAction>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(Werkzeugleiste, KnoepfeNachSchluesselMitBeschriftungBildUndTooltip) {
  Werkzeugleiste leiste;
  leiste.KnopfHinzufuegen(QStringLiteral("Kopieren"), QStringLiteral("&Kopieren"), QStringLiteral("Zahlung"),
                          QStringLiteral("Aus einer vorhandenen Zahlung kopieren"));
  leiste.TrennerHinzufuegen();
  leiste.KnopfHinzufuegen(QStringLiteral("Schliessen"), QStringLiteral("Schließen"), QStringLiteral("Schliessen"));
  EXPECT_EQ(leiste.Schluessel(), (QStringList{QStringLiteral("Kopieren"), QStringLiteral("Schliessen")}));
  EXPECT_EQ(leiste.Beschriftung(QStringLiteral("Kopieren")), QStringLiteral("&Kopieren"));
  auto* knopf = qobject_cast<QToolButton*>(leiste.widgetForAction(leiste.Knopf(QStringLiteral("Kopieren"))));
  ASSERT_NE(knopf, nullptr);
  EXPECT_EQ(knopf->text(), QStringLiteral("Kopieren"));
  EXPECT_EQ(leiste.Knopf(QStringLiteral("Kopieren"))->toolTip(), QStringLiteral("Aus einer vorhandenen Zahlung kopieren"));
  EXPECT_FALSE(leiste.Knopf(QStringLiteral("Kopieren"))->icon().isNull());
  EXPECT_EQ(leiste.Bild(QStringLiteral("Kopieren")), QStringLiteral("Zahlung"));
}

TEST(Werkzeugleiste, OhneTextUndSymbolgroesseAusDenEinstellungen) {
  Registrierung& r = Registrierung::Instanz();
  r.Schreiben(QStringLiteral("Window State"), QStringLiteral("ArbeitsfensterKleineSymbole"), QStringLiteral("0"));
  r.Schreiben(QStringLiteral("Window State"), QStringLiteral("ArbeitsfensterOhneText"), QStringLiteral("1"));
  Werkzeugleiste leiste;
  leiste.KnopfHinzufuegen(QStringLiteral("Neu"), QStringLiteral("&Neu<F9>"), QStringLiteral("Neu"));
  leiste.DarstellungAusEinstellungen();
  EXPECT_EQ(leiste.iconSize(), QSize(32, 32));
  EXPECT_EQ(leiste.toolButtonStyle(), Qt::ToolButtonIconOnly);
  auto* knopf = qobject_cast<QToolButton*>(leiste.widgetForAction(leiste.Knopf(QStringLiteral("Neu"))));
  EXPECT_EQ(knopf->toolButtonStyle(), Qt::ToolButtonIconOnly);  // picture only, no caption
  EXPECT_EQ(leiste.Beschriftung(QStringLiteral("Neu")), QStringLiteral("&Neu<F9>"));  // kept for later
  EXPECT_FALSE(leiste.Knopf(QStringLiteral("Neu"))->icon().isNull());

  r.Loeschen(QStringLiteral("Window State"));
  leiste.DarstellungAusEinstellungen();  // defaults: small pictures with captions
  EXPECT_EQ(leiste.iconSize(), QSize(16, 16));
  EXPECT_EQ(leiste.toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
  EXPECT_EQ(knopf->text(), QStringLiteral("Neu<F9>"));
}

TEST(Werkzeugleiste, GedruecktBleibtBisDasFensterEsAendert) {
  Werkzeugleiste leiste;
  leiste.KnopfHinzufuegen(QStringLiteral("Suchen"), QStringLiteral("&Suchen"), QStringLiteral("Suchen"));
  int aufrufe = 0;
  leiste.HandlerSetzen([&](const QString&) { ++aufrufe; });
  leiste.GedruecktSetzen(QStringLiteral("Suchen"), true);
  leiste.Knopf(QStringLiteral("Suchen"))->trigger();  // a click
  EXPECT_EQ(aufrufe, 1);
  EXPECT_TRUE(leiste.Gedrueckt(QStringLiteral("Suchen")));
  EXPECT_TRUE(leiste.Knopf(QStringLiteral("Suchen"))->isChecked());
  leiste.GedruecktSetzen(QStringLiteral("Suchen"), false);
  leiste.Knopf(QStringLiteral("Suchen"))->trigger();
  EXPECT_FALSE(leiste.Knopf(QStringLiteral("Suchen"))->isChecked());
}

TEST(Bildliste, JederSchluesselDerFensterHatEinBildInBeidenGroessen) {
  const QStringList schluessel = {
      QStringLiteral("Zahlung"), QStringLiteral("Neu"), QStringLiteral("Ändern"), QStringLiteral("Löschen"),
      QStringLiteral("Suchen"), QStringLiteral("Import"), QStringLiteral("Skonto"), QStringLiteral("Prüfen"),
      QStringLiteral("Schliessen"), QStringLiteral("Drucken"), QStringLiteral("DTADatei"),
      QStringLiteral("Zahlungsliste"), QStringLiteral("Selektivlöschen"), QStringLiteral("Speichern"),
      QStringLiteral("Abbrechen"), QStringLiteral("Kopieren"), QStringLiteral("Adressen"),
      QStringLiteral("Bankverbindung"), QStringLiteral("Absender"), QStringLiteral("Einstellungen"),
      QStringLiteral("Rechner"), QStringLiteral("Hilfe"), QStringLiteral("Beenden"), QStringLiteral("Überweisung"),
      QStringLiteral("Lastschrift"), QStringLiteral("Fällig")};
  for (const QString& s : schluessel) {
    SCOPED_TRACE(s.toStdString());
    EXPECT_TRUE(Bildliste::Bilder16().Vorhanden(s));
    EXPECT_FALSE(Bildliste::Bilder16().Bild(s).pixmap(16, 16).isNull());
    EXPECT_FALSE(Bildliste::Bilder32().Bild(s).pixmap(32, 32).isNull());
    // the drawn fallback really draws something
    const QImage bild = Bildliste::Gezeichnet(s, 32).toImage();
    int deckend = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) deckend += qAlpha(bild.pixel(x, y)) > 0;
    EXPECT_GT(deckend, 40);
  }
  EXPECT_FALSE(Bildliste::Bilder16().Vorhanden(QStringLiteral("GibtEsNicht")));
  EXPECT_TRUE(Bildliste::Bilder16().Bild(QStringLiteral("GibtEsNicht")).isNull());
}

// A window that sets every button on each change of mode changes only what differs: the same icon set again
// announces no change (each announcement made the button lay itself out), another one does.
TEST(Werkzeugleiste, GleichesBildUndGleicheBeschriftungAendernNichts) {
  Werkzeugleiste leiste;
  leiste.KnopfHinzufuegen(QStringLiteral("Neu"), QStringLiteral("&Neu<F9>"), QStringLiteral("Neu"));
  QAction* k = leiste.Knopf(QStringLiteral("Neu"));
  QSignalSpy geaendert(k, &QAction::changed);
  leiste.BildSetzen(QStringLiteral("Neu"), QStringLiteral("Neu"));
  leiste.BeschriftungSetzen(QStringLiteral("Neu"), QStringLiteral("&Neu<F9>"));
  leiste.TooltipSetzen(QStringLiteral("Neu"), QString());
  EXPECT_EQ(geaendert.count(), 0);
  const qint64 vorher = k->icon().cacheKey();
  leiste.BildSetzen(QStringLiteral("Neu"), QStringLiteral("Speichern"));
  EXPECT_GT(geaendert.count(), 0);
  EXPECT_NE(k->icon().cacheKey(), vorher);
  EXPECT_EQ(leiste.Bild(QStringLiteral("Neu")), QStringLiteral("Speichern"));
  leiste.BeschriftungSetzen(QStringLiteral("Neu"), QStringLiteral("&Speichern"));
  EXPECT_EQ(k->text(), QStringLiteral("Speichern"));
}
