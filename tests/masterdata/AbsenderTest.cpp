#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QSignalSpy>

#include "Stammdatenumgebung.h"
#include "masterdata/core/Absenderbeispiel.h"
#include "common/Programmzustand.h"
#include "masterdata/core/Absenderverwaltung.h"
#include "masterdata/FormularAbsender.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/Werkzeugleiste.h"
#include "testsupport/Hilfeseite.h"

namespace {

class AbsenderTest : public ::testing::Test {
 protected:
  void SetUp() override { m_umgebung.Oeffnen(m_umgebung.Datenordner(QStringLiteral("daten"))); }
  Stammdatenumgebung m_umgebung;
};

TEST_F(AbsenderTest, AktivierenOeffnetDatenbankMitVerknuepftenTabellen) {
  Absenderdaten d = GuterAbsender();
  d.adressenFormat = 1;
  d.adressenVerbindung = m_umgebung.Buchhaltungsdatei();
  ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  EXPECT_EQ(d.nr, 2);
  EXPECT_FALSE(Zustand().AdressQuelle().Extern);
  Datenbank* vorher = Zustand().Datenbank();

  FormularAbsender form;
  ASSERT_TRUE(form.Auswaehlen(2));
  QSignalSpy aktiviert(&form, &FormularAbsender::AbsenderAktiviert);
  ASSERT_TRUE(form.Aktivieren());
  EXPECT_EQ(aktiviert.count(), 1);

  EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 2);
  EXPECT_EQ(GetSetting(QStringLiteral("Window State"), QStringLiteral("AbsenderNr")), QStringLiteral("2"));
  EXPECT_NE(Zustand().Datenbank(), vorher);   // reopened
  EXPECT_TRUE(Zustand().AdressQuelle().Extern);
  EXPECT_TRUE(Zustand().AdressQuelle().OPVerknuepft);
  EXPECT_EQ(Zustand().AbsenderDaten()->Ganzzahl(QStringLiteral("AbsenderNr")), 2);
  EXPECT_EQ(m_umgebung.Zeilen("SELECT OPKontoNr, Name FROM Adressen ORDER BY OPKontoNr"),
            QStringList({QStringLiteral("10001|Meier GmbH"), QStringLiteral("70001|Lieferant AG")}));
  EXPECT_EQ(m_umgebung.Zeilen("SELECT VorgangsNr FROM OPVorgang"), QStringList{QStringLiteral("RE-1")});

  // And back to the internal sender: the linked tables go.
  ASSERT_TRUE(form.Auswaehlen(1));
  ASSERT_TRUE(form.Aktivieren());
  EXPECT_FALSE(Zustand().AdressQuelle().Extern);
  EXPECT_FALSE(Zustand().Datenbank()->TabelleVorhanden(QStringLiteral("OPVorgang")));
}

TEST_F(AbsenderTest, AktivierenEinesVerschwundenenAbsendersBleibtBeimAlten) {
  const StartErgebnis e = Absenderverwaltung::Aktivieren(7);
  EXPECT_FALSE(e.Ok());
  EXPECT_FALSE(e.meldung.isEmpty());
  EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 1);
  ASSERT_NE(Zustand().Datenbank(), nullptr);
  EXPECT_EQ(GetSetting(QStringLiteral("Window State"), QStringLiteral("AbsenderNr"), QStringLiteral("leer")),
            QStringLiteral("leer"));
}

TEST_F(AbsenderTest, SpeichernPrueftUndMeldet) {
  FormularAbsender form;
  form.Neu();
  Absenderdaten d = GuterAbsender();
  d.iban = QStringLiteral("DE88370400440532013000");
  form.FelderSetzen(d);
  EXPECT_FALSE(form.Speichern());
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().text,
            QStringLiteral("Die Prüfziffer der IBAN ist falsch.\rBitte korrigieren/ergänzen Sie die Eingabe."));
  EXPECT_EQ(m_umgebung.Zeilen("SELECT COUNT(*) FROM Absender"), QStringList{QStringLiteral("1")});

  d.iban = QStringLiteral("de89 3704 0044 0532 0130 00");
  form.FelderSetzen(d);
  ASSERT_TRUE(form.Speichern());
  EXPECT_EQ(m_umgebung.Zeilen("SELECT AbsenderNr, IBAN, \"GläubigerID\" FROM Absender WHERE AbsenderNr = 2"),
            QStringList{QStringLiteral("2|DE89370400440532013000|DE98ZZZ09999999999")});
  EXPECT_EQ(form.AusgewaehlteNr(), 2);
}

TEST_F(AbsenderTest, LoeschenNenntZahlungenUndLoeschtSieMit) {
  Absenderdaten d = GuterAbsender();
  ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  ASSERT_TRUE(Zustand().Datenbank()->SkriptAusfuehren(QStringLiteral(
      "INSERT INTO Zahlungen (ZahlungNr, AbsenderNr, Art) VALUES (1, 2, 'G'), (2, 2, 'L'), (3, 1, 'G');"
      "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck) VALUES (1, 1, 'RE 1'), (3, 1, 'RE 3');")).Ok());

  FormularAbsender form;
  ASSERT_TRUE(form.Auswaehlen(2));
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Nein);
  EXPECT_FALSE(form.Loeschen());
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().titel, QStringLiteral("Absender löschen"));
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().text,
            QStringLiteral("Zum Absender \u201EMuster GmbH\u201C gibt es noch 2 Zahlung(en).\r"
                           "Sollen der Absender und seine 2 Zahlung(en) gelöscht werden?"));
  EXPECT_EQ(m_umgebung.Zeilen("SELECT COUNT(*) FROM Zahlungen"), QStringList{QStringLiteral("3")});

  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Ja);
  ASSERT_TRUE(form.Loeschen());
  EXPECT_EQ(m_umgebung.Zeilen("SELECT AbsenderNr FROM Absender"), QStringList{QStringLiteral("1")});
  EXPECT_EQ(m_umgebung.Zeilen("SELECT ZahlungNr FROM Zahlungen"), QStringList{QStringLiteral("3")});
  EXPECT_EQ(m_umgebung.Zeilen("SELECT ZahlungNr FROM Verwendungszweck"), QStringList{QStringLiteral("3")});
}

TEST_F(AbsenderTest, LoeschenScheitertGanzOderGarNicht) {
  Absenderdaten d = GuterAbsender();
  ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  ASSERT_TRUE(Zustand().Datenbank()->SkriptAusfuehren(
      QStringLiteral("INSERT INTO Zahlungen (AbsenderNr, Art) VALUES (2, 'G');")).Ok());
  Zustand().Datenbank()->SetzeStoerung([](const QString& sql) {
    return sql.contains(QStringLiteral("DELETE FROM Absender")) ? DbFehler{5, QStringLiteral("gesperrt")} : DbFehler{};
  });
  EXPECT_FALSE(Absenderverwaltung::Loeschen(*Zustand().Datenbank(), 2).Ok());
  Zustand().Datenbank()->SetzeStoerung({});
  EXPECT_EQ(m_umgebung.Zeilen("SELECT COUNT(*) FROM Zahlungen WHERE AbsenderNr = 2"), QStringList{QStringLiteral("1")});
}

TEST_F(AbsenderTest, AktiverAbsenderWirdNichtGeloescht) {
  FormularAbsender form;
  ASSERT_TRUE(form.Auswaehlen(1));
  EXPECT_FALSE(form.Loeschen());
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.startsWith(QStringLiteral("Der aktive Absender kann nicht gelöscht werden.")));
  EXPECT_EQ(m_umgebung.Zeilen("SELECT COUNT(*) FROM Absender"), QStringList{QStringLiteral("1")});
}

}  // namespace

// Alt+S typed an "s" into the focused field instead of saving (the toolbar shows its captions
// without mnemonics); Alt+A activates, Ctrl+A keeps selecting the field's text.
TEST_F(AbsenderTest, AltBuchstabeLoestDieLeisteAus) {
  FormularAbsender form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.Neu();
  form.FelderSetzen(GuterAbsender());
  auto* name = form.findChild<QLineEdit*>(QStringLiteral("Name"));
  ASSERT_NE(name, nullptr);
  name->setFocus();
  const QString vorher = name->text();
  QTest::keyClick(name, Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(name->text(), vorher);
  EXPECT_EQ(m_umgebung.Zeilen("SELECT COUNT(*) FROM Absender"), QStringList{QStringLiteral("2")});
  EXPECT_EQ(form.AusgewaehlteNr(), 2);
  name->setFocus();
  QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);   // still "select all"
  EXPECT_EQ(name->selectedText(), vorher);
  EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 1);
  QTest::keyClick(name, Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(Zustand().AktuelleAbsenderNr(), 2);
}

// "Löschen" did nothing, by button or by Ctrl+L: a sender could not be deleted at all.
TEST_F(AbsenderTest, LoeschenPerKnopfUndStrgL) {
  for (int i = 0; i < 2; ++i) {
    Absenderdaten d = GuterAbsender();
    ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  }
  FormularAbsender form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  ASSERT_TRUE(form.Auswaehlen(2));
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Ja);
  QTest::mouseClick(form.Leiste()->widgetForAction(form.Leiste()->Knopf(QStringLiteral("Löschen"))), Qt::LeftButton);
  EXPECT_EQ(m_umgebung.Zeilen("SELECT AbsenderNr FROM Absender ORDER BY AbsenderNr"),
            (QStringList{QStringLiteral("1"), QStringLiteral("3")}));

  ASSERT_TRUE(form.Auswaehlen(3));
  auto* name = form.findChild<QLineEdit*>(QStringLiteral("Name"));
  ASSERT_NE(name, nullptr);
  name->setFocus();
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Ja);
  QTest::keyClick(name, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(m_umgebung.Zeilen("SELECT AbsenderNr FROM Absender"), QStringList{QStringLiteral("1")});
  EXPECT_EQ(m_umgebung.Rekorder().Anzahl(), 2);
}

// F1 did nothing in the sender form.
TEST_F(AbsenderTest, F1ZeigtDieSeiteDesFensters) {
  FormularAbsender form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  auto* name = form.findChild<QLineEdit*>(QStringLiteral("Name"));
  ASSERT_NE(name, nullptr);
  name->setFocus();
  EXPECT_EQ(HilfeseiteNachF1(name), QStringLiteral("310.html"));
}

namespace {

// A sender whose accounting database is missing or wrong: activated with the internal addresses and
// reported with the warning icon (it was the information icon).
TEST_F(AbsenderTest, FalscheDatenbankWirdAlsWarnungGemeldet) {
  Absenderdaten d = GuterAbsender();
  d.adressenFormat = 1;
  d.adressenVerbindung = m_umgebung.Ordner().Datei(QStringLiteral("gibtesnicht.db"));
  ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  FormularAbsender form;
  ASSERT_TRUE(form.Auswaehlen(d.nr));
  ASSERT_TRUE(form.Aktivieren());
  ASSERT_EQ(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_EQ(m_umgebung.Rekorder().Letzter().symbol, MeldungsSymbol::Ausruf);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.contains(QStringLiteral("Bitte prüfen Sie unter „Absender“")));
  EXPECT_FALSE(Zustand().AdressQuelle().Extern);
}

}  // namespace

// A sender form opened before another workstation (or a SEPA run) changed the sender must not write its stale
// values back: a reset IBAN routes money to the old account, a reset reference repeats a message id.
TEST_F(AbsenderTest, VeralteterStandUeberschreibtKeineAenderungVonAnderswo) {
  struct Fall {
    const char* name;
    const char* anderswo;   // what the other workstation stores meanwhile
    bool abgelehnt;
  };
  const Fall faelle[] = {
      {"nichts geaendert", "", false},
      {"IBAN", "UPDATE Absender SET IBAN = 'DE02120300000000202051' WHERE AbsenderNr = 2", true},
      {"ReferenzNr hochgezaehlt", "UPDATE Absender SET ReferenzNr = '00002' WHERE AbsenderNr = 2", true},
      {"Glaeubiger-ID", "UPDATE Absender SET \"GläubigerID\" = 'DE02ZZZ00000000001' WHERE AbsenderNr = 2", true},
      {"Bemerkung von leer auf Text", "UPDATE Absender SET Bemerkung = 'neu' WHERE AbsenderNr = 2", true},
      {"Adressenformat", "UPDATE Absender SET AdressenFormat = 2 WHERE AbsenderNr = 2", true},
      {"geloescht", "DELETE FROM Absender WHERE AbsenderNr = 2", true},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    Datenbank& db = *Zustand().Datenbank();
    ASSERT_TRUE(db.SkriptAusfuehren(QStringLiteral("DELETE FROM Absender WHERE AbsenderNr > 1;")).Ok());
    Absenderdaten d = GuterAbsender();
    ASSERT_TRUE(Absenderverwaltung::Speichern(db, d).Ok());
    ASSERT_EQ(d.nr, 2);
    DbFehler f;
    const std::optional<Absenderdaten> geladen = Absenderverwaltung::Laden(db, 2, f);
    ASSERT_TRUE(geladen);
    if (*fall.anderswo) ASSERT_TRUE(db.SkriptAusfuehren(QString::fromUtf8(fall.anderswo)).Ok());
    const QStringList vorher = m_umgebung.Zeilen("SELECT IBAN || '|' || ReferenzNr || '|' || \"GläubigerID\" || '|' || "
                                                 "IFNULL(Bemerkung, '') || '|' || AdressenFormat FROM Absender WHERE AbsenderNr = 2");

    Absenderdaten bearbeitet = *geladen;
    bearbeitet.suchname = QStringLiteral("NEU");
    const DbFehler gespeichert = Absenderverwaltung::Speichern(db, bearbeitet, &*geladen);
    EXPECT_EQ(!gespeichert.Ok(), fall.abgelehnt);
    if (fall.abgelehnt) {
      EXPECT_EQ(m_umgebung.Zeilen("SELECT IBAN || '|' || ReferenzNr || '|' || \"GläubigerID\" || '|' || "
                                  "IFNULL(Bemerkung, '') || '|' || AdressenFormat FROM Absender WHERE AbsenderNr = 2"),
                vorher);
      EXPECT_TRUE(gespeichert.Beschreibung.contains(QStringLiteral("Absender 2"))) << gespeichert.Beschreibung.toStdString();
    } else {
      EXPECT_EQ(m_umgebung.Zeilen("SELECT Suchname FROM Absender WHERE AbsenderNr = 2"), QStringList{QStringLiteral("NEU")});
    }
  }
}

// The form keeps what it loaded: a save after another workstation's change is refused and named.
TEST_F(AbsenderTest, FormularSpeichertNichtUeberEineAenderungVonAnderswo) {
  Absenderdaten d = GuterAbsender();
  ASSERT_TRUE(Absenderverwaltung::Speichern(*Zustand().Datenbank(), d).Ok());
  FormularAbsender form;
  ASSERT_TRUE(form.Auswaehlen(2));
  ASSERT_TRUE(Zustand().Datenbank()->SkriptAusfuehren(
      QStringLiteral("UPDATE Absender SET IBAN = 'DE02120300000000202051' WHERE AbsenderNr = 2;")).Ok());
  form.findChild<QLineEdit*>(QStringLiteral("Suchname"))->setText(QStringLiteral("NEU"));
  EXPECT_FALSE(form.Speichern());
  EXPECT_EQ(m_umgebung.Zeilen("SELECT IBAN FROM Absender WHERE AbsenderNr = 2"),
            QStringList{QStringLiteral("DE02120300000000202051")});
  ASSERT_GE(m_umgebung.Rekorder().Anzahl(), 1);
  EXPECT_TRUE(m_umgebung.Rekorder().Letzter().text.contains(QStringLiteral("inzwischen")))
      << m_umgebung.Rekorder().Letzter().text.toStdString();
  // The refusal shows what is stored now, for the change to be made on it.
  EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("IBAN"))->text().remove(QLatin1Char(' ')),
            QStringLiteral("DE02120300000000202051"));
  EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("Suchname"))->text(), d.suchname);

  // Shown again (the stale input dropped), the current state is saved.
  m_umgebung.Rekorder().Antworte(MeldungsAntwort::Nein);
  ASSERT_TRUE(form.Auswaehlen(1));
  ASSERT_TRUE(form.Auswaehlen(2));
  form.findChild<QLineEdit*>(QStringLiteral("Suchname"))->setText(QStringLiteral("NEU"));
  EXPECT_TRUE(form.Speichern());
  EXPECT_EQ(m_umgebung.Zeilen("SELECT Suchname || '|' || IBAN FROM Absender WHERE AbsenderNr = 2"),
            QStringList{QStringLiteral("NEU|DE02120300000000202051")});
}
