#include "platform/ui/Meldung.h"
#include "platform/ui/MeldungsDialoge.h"
#include "platform/ui/MeldungsRekorder.h"

#include "QtAusgabe.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

TEST(Meldung, RekorderSiehtTitelTextKnoepfeUndSymbolGenau) {
  MeldungsRekorder rekorder;
  const QString text = Meldung::Zeilen({QStringLiteral("Fehler beim Speichern der Daten!"), QString(),
                                        QStringLiteral("Nr: 19"), QStringLiteral("Beschreibung: constraint failed")});
  Meldung::Zeigen(text, MeldungsKnoepfe::Ok, MeldungsSymbol::Kritisch);
  Meldung::Zeigen(QStringLiteral("Import beendet."), MeldungsKnoepfe::Ok, MeldungsSymbol::Information,
                  QStringLiteral("BLZ importieren"));
  ASSERT_EQ(rekorder.Anzahl(), 2);
  EXPECT_EQ(rekorder.Eintraege()[0].titel, QStringLiteral("Tamo-SEPA"));
  EXPECT_EQ(rekorder.Eintraege()[0].text,
            QStringLiteral("Fehler beim Speichern der Daten!\r\rNr: 19\rBeschreibung: constraint failed"));
  EXPECT_EQ(rekorder.Eintraege()[0].symbol, MeldungsSymbol::Kritisch);
  EXPECT_EQ(rekorder.Eintraege()[1].titel, QStringLiteral("BLZ importieren"));
  EXPECT_EQ(rekorder.Eintraege()[1].knoepfe, MeldungsKnoepfe::Ok);
  EXPECT_EQ(rekorder.Unbeantwortet(), 0);
}

TEST(Meldung, GeskripteteAntwortenKommenInReihenfolge) {
  MeldungsRekorder rekorder;
  rekorder.Antworte(MeldungsAntwort::Ja);
  rekorder.Antworte(MeldungsAntwort::Abbrechen);
  rekorder.Antworte(MeldungsAntwort::Nein);
  EXPECT_TRUE(Meldung::Frage(QStringLiteral("Zahlung löschen?")));
  // a plain OK box in between takes no scripted answer
  Meldung::Hinweis(QStringLiteral("Gelöscht."));
  EXPECT_EQ(Meldung::Zeigen(QStringLiteral("Weiter?"), MeldungsKnoepfe::OkAbbrechen), MeldungsAntwort::Abbrechen);
  EXPECT_EQ(Meldung::Zeigen(QStringLiteral("Speichern?"), MeldungsKnoepfe::JaNeinAbbrechen, MeldungsSymbol::Frage),
            MeldungsAntwort::Nein);
  EXPECT_EQ(rekorder.Anzahl(), 4);
  EXPECT_EQ(rekorder.OffeneAntworten(), 0);
  EXPECT_EQ(rekorder.Unbeantwortet(), 0);
}

TEST(Meldung, UngeskripteteFrageWirdGemeldetUndMitVorgabeBeantwortet) {
  MeldungsRekorder rekorder;
  QStringList gemeldet;
  rekorder.BeiUnerwartet([&](const QString& was) { gemeldet << was; });
  // Yes/No defaults to No: an unscripted question must never delete anything.
  EXPECT_FALSE(Meldung::Frage(QStringLiteral("Alle Zahlungen löschen?")));
  EXPECT_EQ(Meldung::Zeigen(QStringLiteral("x"), MeldungsKnoepfe::OkAbbrechen), MeldungsAntwort::Abbrechen);
  EXPECT_EQ(rekorder.Unbeantwortet(), 2);
  ASSERT_EQ(gemeldet.size(), 2);
  EXPECT_TRUE(gemeldet[0].contains(QStringLiteral("Alle Zahlungen löschen?")));
}

TEST(Meldung, AntwortDieNichtZuDenKnoepfenPasstIstEinFehler) {
  MeldungsRekorder rekorder;
  rekorder.Antworte(MeldungsAntwort::Ok);
  EXPECT_EQ(Meldung::Zeigen(QStringLiteral("Löschen?"), MeldungsKnoepfe::JaNein), MeldungsAntwort::Nein);
  EXPECT_EQ(rekorder.Unbeantwortet(), 1);
}

TEST(Meldung, EingabeboxLiefertTextOderBeiAbbruchLeer) {
  MeldungsRekorder rekorder;
  rekorder.Tippe(QStringLiteral("31.12.24"));
  rekorder.Tippe(std::nullopt);
  EXPECT_EQ(Meldung::Eingabe(QStringLiteral("Eingabe Bis-Datum tt.mm.jj")), QStringLiteral("31.12.24"));
  EXPECT_EQ(Meldung::Eingabe(QStringLiteral("Eingabe Bis-Datum tt.mm.jj"), QStringLiteral("Suche"),
                             QStringLiteral("01.01.24")),
            QString());
  ASSERT_EQ(rekorder.Anzahl(), 2);
  EXPECT_TRUE(rekorder.Eintraege()[0].eingabe);
  EXPECT_EQ(rekorder.Eintraege()[0].titel, QStringLiteral("Tamo-SEPA"));
  EXPECT_EQ(rekorder.Eintraege()[0].text, QStringLiteral("Eingabe Bis-Datum tt.mm.jj"));
  EXPECT_EQ(rekorder.Eintraege()[1].titel, QStringLiteral("Suche"));
  EXPECT_EQ(rekorder.Eintraege()[1].vorgabe, QStringLiteral("01.01.24"));
  EXPECT_EQ(rekorder.Unbeantwortet(), 0);
}

TEST(Meldung, RekorderStelltDasVorigeBackendWiederHer) {
  MeldungsBackend* vorher = &Meldung::Backend();
  {
    MeldungsRekorder aussen;
    {
      MeldungsRekorder innen;
      Meldung::Hinweis(QStringLiteral("innen"));
      EXPECT_EQ(innen.Anzahl(), 1);
    }
    Meldung::Hinweis(QStringLiteral("außen"));
    EXPECT_EQ(aussen.Anzahl(), 1);
    EXPECT_EQ(aussen.Letzter().text, QStringLiteral("außen"));
  }
  EXPECT_EQ(&Meldung::Backend(), vorher);
}

TEST(Meldung, DarstellungMachtAusCrZeilenUndAusTabsSpalten) {
  bool html = true;
  EXPECT_EQ(MeldungsDialoge::Darstellung(QStringLiteral("a\rb\r\nc"), &html), QStringLiteral("a\nb\nc"));
  EXPECT_FALSE(html);
  const QString tabelle = MeldungsDialoge::Darstellung(QStringLiteral("Name:\tMüller & Co\rIBAN:\tDE89"), &html);
  EXPECT_TRUE(html);
  EXPECT_EQ(tabelle.count(QStringLiteral("<tr>")), 2);
  EXPECT_EQ(tabelle.count(QStringLiteral("<td")), 4);
  EXPECT_TRUE(tabelle.contains(QStringLiteral("Müller &amp; Co")));  // escaped, not markup
}

namespace {

// A dialog that the test fails to close must not hang the run.
void NotfallsSchliessen() {
  QTimer::singleShot(3000, [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
}

}  // namespace

TEST(Meldung, EchteFrageboxHatNeinAlsVorgabeUndDenProgrammtitel) {
  NotfallsSchliessen();
  QString titel, text, vorgabe;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    titel = box->windowTitle();
    text = box->text();
    vorgabe = box->defaultButton() ? box->defaultButton()->text() : QString();
    box->defaultButton()->click();  // what Enter does
  });
  const MeldungsAntwort antwort =
      Meldung::Zeigen(QStringLiteral("Zahlung löschen?\rSie ist noch offen."), MeldungsKnoepfe::JaNein,
                      MeldungsSymbol::Frage);
  EXPECT_EQ(antwort, MeldungsAntwort::Nein);
  EXPECT_EQ(titel, QStringLiteral("Tamo-SEPA"));
  EXPECT_EQ(text, QStringLiteral("Zahlung löschen?\nSie ist noch offen."));
  EXPECT_EQ(vorgabe, QStringLiteral("&Nein"));
}

// A change that is hard to undo: OK and "Abbrechen" with the warning icon, and Enter cancels; a plain
// OK/Cancel question keeps OK as the default.
TEST(Meldung, EchteBestaetigungHatAbbrechenAlsVorgabe) {
  for (const bool bestaetigen : {true, false}) {
    NotfallsSchliessen();
    QString vorgabe;
    QMessageBox::Icon symbol = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      vorgabe = box->defaultButton() ? box->defaultButton()->text() : QString();
      symbol = box->icon();
      box->defaultButton()->click();  // what Enter does
    });
    const bool ok = bestaetigen ? Meldung::Bestaetigen(QStringLiteral("Erledigte Zahlungen reaktivieren?"))
                                : Meldung::Zeigen(QStringLiteral("Fortfahren?"), MeldungsKnoepfe::OkAbbrechen,
                                                  MeldungsSymbol::Frage) == MeldungsAntwort::Ok;
    EXPECT_EQ(ok, !bestaetigen);
    EXPECT_EQ(vorgabe, bestaetigen ? QStringLiteral("Abbrechen") : QStringLiteral("OK"));
    EXPECT_EQ(symbol, bestaetigen ? QMessageBox::Warning : QMessageBox::Question);
  }
}

TEST(Meldung, EchteEingabeboxAbbrechenGibtLeer) {
  NotfallsSchliessen();
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    QMetaObject::invokeMethod(dialog, "reject");
  });
  EXPECT_EQ(Meldung::Eingabe(QStringLiteral("Eingabe Bis-Datum tt.mm.jj"), QString(), QStringLiteral("x")), QString());
}

// The box breaks lines only where the text does: a line of 75 characters (plain or in the columns
// of a result box) stays on one line instead of being wrapped by the box's own narrow limit.
TEST(Meldung, EchteBoxBrichtZeilenNurWoDerTextSieBricht) {
  const QString lang = QStringLiteral("Es werden also nur die fehlerhaften Zahlungen angezeigt, solange wie gewollt.");
  for (const QString& text : {QStringLiteral("Kurz.\r") + lang, QStringLiteral("Geprüft:\t300\r") + lang}) {
    NotfallsSchliessen();
    int zeilenhoehe = 0, hoehe = 0;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      auto* feld = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      ASSERT_NE(feld, nullptr);
      zeilenhoehe = QFontMetrics(feld->font()).lineSpacing();
      hoehe = feld->heightForWidth(feld->width());
      box->defaultButton()->click();
    });
    Meldung::Zeigen(text, MeldungsKnoepfe::Ok, MeldungsSymbol::Information);
    EXPECT_GT(zeilenhoehe, 0);
    EXPECT_LT(hoehe, 3 * zeilenhoehe) << text.toStdString();   // two lines, not three
  }
}

// A line wider than the box may grow wraps and is shown whole: nothing is cut off on the right. The
// same test runs again on a screen of 1280 pixels, where the box's own limit is narrower than two
// thirds of the screen.
TEST(Meldung, EchteBoxZeigtUeberlangeZeilenUmbrochenGanz) {
  const QString lang = QStringLiteral(
      "Die Liste der weggelassenen Zahlungen nennt die Gründe; korrigieren Sie die Zahlungen unter 'Zahlungen "
      "erfassen'. Die Liste öffnet auch der Knopf 'Fehlerliste...' und bleibt offen, solange Sie sie brauchen.");
  for (const QString& text : {QStringLiteral("Achtung!\r") + lang, QStringLiteral("Geprüft:\t300\r") + lang}) {
    NotfallsSchliessen();
    bool ganz = false;
    int boxBreite = 0, schirmBreite = 0;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      auto* feld = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      ASSERT_NE(feld, nullptr);
      const QFontMetrics fm(feld->font());
      ganz = feld->width() >= feld->minimumWidth() && feld->geometry().right() <= box->contentsRect().right() &&
             (feld->wordWrap() ? feld->heightForWidth(feld->width()) <= feld->height()
                               : fm.horizontalAdvance(lang) <= feld->width());
      boxBreite = box->width();
      schirmBreite = box->screen()->availableGeometry().width();
      box->defaultButton()->click();
    });
    Meldung::Zeigen(text, MeldungsKnoepfe::Ok, MeldungsSymbol::Ausruf);
    EXPECT_TRUE(ganz) << text.toStdString();
    EXPECT_GT(boxBreite, 0);
    EXPECT_LE(boxBreite, schirmBreite);
  }
}
