#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ZahlungsTestDatenbank.h"
#include "payments/core/Pruefmodus.h"
#include "payments/core/ZahlungenAbfrage.h"

namespace {

const QDate Heute(2024, 3, 10);
const QString GuteIban = QStringLiteral("DE89370400440532013000");

// One order as stored; the defaults make a faultless credit transfer of 100,00 with one line.
struct Auftrag {
  QString art = QStringLiteral("G");
  QString name = QStringLiteral("Anton GmbH");
  QString iban = GuteIban;
  QString bic = QStringLiteral("COBADEFFXXX");
  QString verwendungszweck1 = QStringLiteral("RG 1");
  int64_t cent = 10000;
  QString mandatReferenz;
  std::optional<QDate> mandatDatum;
  int sequenz = 0;
  int absender = 1;
  bool fehler = false;
  QStringList zeilen = {QStringLiteral("RG 1")};  // each line with the whole amount / number of lines
};

qint64 Anlegen(Datenbank& db, const Auftrag& a) {
  auto text = [](const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); };
  const DbFehler f = db.Ausfuehren(
      "INSERT INTO Zahlungen (AbsenderNr, Art, Name, IBAN, BIC, Verwendungszweck1, ZahlungGesamt, MandatReferenz, "
      "MandatDatum, MandatSequenz, Fehler) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {a.absender, a.art, text(a.name), text(a.iban), text(a.bic), text(a.verwendungszweck1),
       QVariant::fromValue(Waehrung::AusCent(a.cent)), text(a.mandatReferenz),
       a.mandatDatum ? QVariant(*a.mandatDatum) : QVariant(), a.sequenz, a.fehler ? 1 : 0});
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  const qint64 nr = db.LetzteEinfuegeNr();
  for (int i = 0; i < a.zeilen.size(); ++i) {
    const QVariant betrag = QVariant::fromValue(Waehrung::AusCent(a.cent / a.zeilen.size()));
    EXPECT_TRUE(db.Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, "
                              "ZahlungsBetrag) VALUES (?, ?, ?, ?, ?)",
                              {nr, i + 1, a.zeilen.at(i), betrag, betrag})
                    .Ok());
  }
  return nr;
}

Bedingung Liste(Zahlart art = Zahlart::Ueberweisung) {
  ZahlungenFilter f;
  f.absenderNr = 1;
  f.zahlart = art;
  return ZahlungenBedingung(f);
}

class PruefmodusTest : public ::testing::Test {
 protected:
  qint64 Neu(const Auftrag& a) { return Anlegen(t.Db(), a); }
  bool Fehler(qint64 nr) { return t.Wert("SELECT Fehler FROM Zahlungen WHERE ZahlungNr = ?", {nr}).toInt() != 0; }
  QString Feld(const SqlText& spalte, qint64 nr) {
    return t.Wert(SqlText("SELECT ") + spalte + SqlText(" FROM Zahlungen WHERE ZahlungNr = ?"), {nr}).toString();
  }
  QString Zeile(qint64 nr, int zeilenNr) {
    return t.Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = ? AND ZeilenNr = ?", {nr, zeilenNr})
        .toString();
  }
  ZahlungsTestDatenbank t;
};

}  // namespace

TEST_F(PruefmodusTest, ZaehlerUndFehlerFuerNullEinenUndZweiBefundeJeZahlung) {
  const qint64 gut = Neu({});
  Auftrag a;
  a.iban = QStringLiteral("DE89370400440532013001");  // check digits wrong: one finding
  const qint64 einer = Neu(a);
  a = {};
  a.iban = QStringLiteral("DE8937040044053201300");  // too short
  a.cent = 0;                                        // and no amount: two findings
  const qint64 zwei = Neu(a);
  a = {};
  a.bic = QStringLiteral("COBADEF");  // a BIC finding alone
  const qint64 bic = Neu(a);
  a.iban = QStringLiteral("DE89370400440532013001");  // a BIC finding and another
  const qint64 bicUndIban = Neu(a);
  a = {};
  a.fehler = true;  // marked faulty by an earlier check, faultless now
  const qint64 frueher = Neu(a);
  a.absender = 2;
  const qint64 fremd = Neu(a);  // not in the list: keeps its mark

  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(), false, Heute);
  ASSERT_TRUE(e.lesefehler.Ok());
  EXPECT_EQ(e.geprueft, 6);
  EXPECT_EQ(e.fehlerhaft, 4);
  EXPECT_EQ(e.einzelangaben, 1 + 2 + 0 + 1);
  EXPECT_EQ(e.falscheBic, 2);
  EXPECT_EQ(e.korrekturen, 0);
  EXPECT_EQ(e.nichtGespeichert, 0);
  for (qint64 nr : {einer, zwei, bic, bicUndIban}) EXPECT_TRUE(Fehler(nr)) << nr;
  for (qint64 nr : {gut, frueher}) EXPECT_FALSE(Fehler(nr)) << nr;
  EXPECT_TRUE(Fehler(fremd));
  EXPECT_EQ(e.gruende.value(zwei).size(), 2);
  EXPECT_EQ(e.gruende.value(bic).size(), 1);
  EXPECT_TRUE(e.gruende.value(bic).first().startsWith(QStringLiteral("Die BIC")));
  EXPECT_FALSE(e.gruende.contains(gut));
  EXPECT_EQ(Pruefmodus::GrundText(e.gruende.value(bic)),
            QStringLiteral("Fehler: Die BIC (Internationale Bankleitzahl) fehlt noch oder ist unvollständig! "
                           "(Die Länge beträgt 8 oder 11 Zeichen.)"));
}

TEST_F(PruefmodusTest, LastschriftenMitMandatsdatenUndDerArtDerListe) {
  Auftrag l;
  l.art = QStringLiteral("L");
  l.mandatReferenz = QStringLiteral("MR-1");
  l.mandatDatum = QDate(2023, 5, 1);
  l.sequenz = 3;
  const qint64 gut = Neu(l);
  l.mandatReferenz.clear();
  l.mandatDatum.reset();
  const qint64 ohneMandat = Neu(l);
  l = {};
  l.art = QStringLiteral("L");
  l.sequenz = 13;  // business-to-business: another list
  const qint64 firmen = Neu(l);
  Neu({});  // a credit transfer: another list

  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(Zahlart::BasisLastschrift), false, Heute);
  EXPECT_EQ(e.geprueft, 2);
  EXPECT_EQ(e.fehlerhaft, 1);
  EXPECT_EQ(e.einzelangaben, 2);
  EXPECT_FALSE(Fehler(gut));
  EXPECT_TRUE(Fehler(ohneMandat));
  EXPECT_FALSE(Fehler(firmen));
}

TEST_F(PruefmodusTest, BereinigungZaehltKorrekturenUndSchreibtZeileEins) {
  Auftrag a;
  a.name = QStringLiteral("Meier!");
  a.verwendungszweck1 = QStringLiteral("RG#1");
  a.zeilen = {QStringLiteral("RG#1"), QStringLiteral("RG#2")};
  const qint64 beide = Neu(a);
  a.verwendungszweck1 = QStringLiteral("RG 1");
  a.zeilen = {QStringLiteral("RG 1")};
  const qint64 name = Neu(a);
  a.name = QStringLiteral("!?");  // nothing left: a faulty name, never stored blank
  const qint64 leer = Neu(a);
  const qint64 unveraendert = Neu({});

  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(), false, Heute);
  EXPECT_EQ(e.korrekturen, 2 + 1);
  EXPECT_EQ(e.fehlerhaft, 1);
  EXPECT_EQ(e.einzelangaben, 1);
  EXPECT_EQ(Feld("Name", beide), QStringLiteral("Meier"));
  EXPECT_EQ(Feld("Verwendungszweck1", beide), QStringLiteral("RG1"));
  EXPECT_EQ(Zeile(beide, 1), QStringLiteral("RG1"));
  EXPECT_EQ(Zeile(beide, 2), QStringLiteral("RG#2"));  // only line 1 follows Verwendungszweck1
  EXPECT_EQ(Zeile(name, 1), QStringLiteral("RG 1"));
  EXPECT_EQ(Feld("Name", leer), QStringLiteral("!?"));
  EXPECT_TRUE(Fehler(leer));
  EXPECT_EQ(Feld("Name", unveraendert), QStringLiteral("Anton GmbH"));
}

TEST_F(PruefmodusTest, BicAbgleichOhneGrossKleinschreibungUndMitXXX) {
  ASSERT_TRUE(t.Db()
                  .Ausfuehren("INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES ('37040044', 'cobadeff', 'Commerzbank'), "
                              "('70020270', 'HYVEDEMMXXX', 'Hypo'), ('10010010', 'PBNKDEFF100', 'Postbank')")
                  .Ok());
  Auftrag a;
  const qint64 mitXXX = Neu(a);  // COBADEFFXXX against "cobadeff"
  a.bic = QStringLiteral("hyvedemm");
  const qint64 klein = Neu(a);
  a.bic = QStringLiteral("PBNKDEFF100");
  const qint64 filiale = Neu(a);
  a.bic = QStringLiteral("PBNKDEFF");  // another branch than the table's
  const qint64 andereFiliale = Neu(a);
  a.bic = QStringLiteral("DEUTDEFF");
  const qint64 fehlt = Neu(a);
  a.bic = QStringLiteral("DEUTDEF");  // the form fails: one BIC count, not two
  const qint64 form = Neu(a);
  a.bic.clear();  // empty and allowed for a German IBAN: nothing to compare
  const qint64 leer = Neu(a);

  PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(), true, Heute);
  EXPECT_EQ(e.geprueft, 7);
  EXPECT_EQ(e.fehlerhaft, 3);
  EXPECT_EQ(e.falscheBic, 3);
  EXPECT_EQ(e.einzelangaben, 0);
  for (qint64 nr : {mitXXX, klein, filiale, leer}) EXPECT_FALSE(Fehler(nr)) << nr;
  for (qint64 nr : {andereFiliale, fehlt, form}) EXPECT_TRUE(Fehler(nr)) << nr;
  EXPECT_EQ(e.gruende.value(fehlt), QStringList{QStringLiteral("Die BIC DEUTDEFF ist in den Bankverbindungen nicht enthalten!")});
  EXPECT_EQ(e.gruende.value(form).size(), 1);

  // Without the comparison only the form counts.
  e = ZahlungenPruefen(t.Db(), Liste(), false, Heute);
  EXPECT_EQ(e.fehlerhaft, 1);
  EXPECT_EQ(e.falscheBic, 1);
  EXPECT_FALSE(Fehler(fehlt));
}

TEST_F(PruefmodusTest, GeschriebenWirdNurWasSichAendertInStapeln) {
  for (int i = 0; i < 5; ++i) {
    Auftrag a;
    a.name = QStringLiteral("Name %1!").arg(i);
    Neu(a);
  }
  Neu({});
  QStringList anweisungen;
  t.Db().SetzeStoerung([&](const QString& sql) {
    if (sql.startsWith(QLatin1String("UPDATE")) || sql.startsWith(QLatin1String("BEGIN")) ||
        sql.startsWith(QLatin1String("COMMIT")))
      anweisungen << sql.section(QLatin1Char(' '), 0, 1);
    return DbFehler{};
  });
  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(), false, Heute, 2);
  t.Db().SetzeStoerung({});
  EXPECT_EQ(e.geprueft, 6);
  EXPECT_EQ(e.korrekturen, 5);
  // Five changed payments in stapels of two: three transactions, five updates, the sixth row untouched.
  EXPECT_EQ(anweisungen.count(QStringLiteral("BEGIN IMMEDIATE")), 3);
  EXPECT_EQ(anweisungen.count(QStringLiteral("COMMIT")), 3);
  EXPECT_EQ(anweisungen.count(QStringLiteral("UPDATE Zahlungen")), 5);
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
}

TEST_F(PruefmodusTest, FehlschlagendesSpeichernWirdGezaehltUndNichtAlsGeprueft) {
  Auftrag a;
  a.iban = QStringLiteral("DE89370400440532013001");
  const qint64 erster = Neu(a);
  const qint64 zweiter = Neu(a);
  const qint64 dritter = Neu(a);
  // The commit of the second stapel fails: its payment is not stored, the first stapel stays.
  int commits = 0;
  t.Db().SetzeStoerung([&](const QString& sql) {
    if (sql.startsWith(QLatin1String("COMMIT")) && ++commits == 2) return DbFehler{13, QStringLiteral("database or disk is full")};
    return DbFehler{};
  });
  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(), false, Heute, 2);
  t.Db().SetzeStoerung({});
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
  EXPECT_EQ(e.geprueft, 2);
  EXPECT_EQ(e.fehlerhaft, 2);
  EXPECT_EQ(e.nichtGespeichert, 1);
  EXPECT_EQ(e.speicherFehler.Nummer, 13);
  EXPECT_TRUE(Fehler(erster));
  EXPECT_TRUE(Fehler(zweiter));
  EXPECT_FALSE(Fehler(dritter));
  EXPECT_FALSE(e.gruende.contains(dritter));
  EXPECT_TRUE(Pruefmodus::ErgebnisText(e, false).contains(QStringLiteral("\rNicht gespeichert:         \t1\r")));
  EXPECT_TRUE(Pruefmodus::ErgebnisText(e, false).endsWith(
      QStringLiteral("1 Zahlung(en) konnten nicht gespeichert werden und gelten nicht als geprüft:\rNr: 13\r"
                     "Beschreibung: database or disk is full")));

  // A failing row: its savepoint is rolled back, the other rows of the stapel are stored.
  ASSERT_TRUE(t.Db().Ausfuehren("UPDATE Zahlungen SET Fehler = 0").Ok());
  int updates = 0;
  t.Db().SetzeStoerung([&](const QString& sql) {
    if (sql.startsWith(QLatin1String("UPDATE Zahlungen")) && ++updates == 2) return DbFehler{5, QStringLiteral("locked")};
    return DbFehler{};
  });
  const PruefmodusErgebnis z = ZahlungenPruefen(t.Db(), Liste(), false, Heute);
  t.Db().SetzeStoerung({});
  EXPECT_EQ(z.geprueft, 2);
  EXPECT_EQ(z.nichtGespeichert, 1);
  EXPECT_TRUE(Fehler(erster));
  EXPECT_FALSE(Fehler(zweiter));
  EXPECT_TRUE(Fehler(dritter));
}

TEST_F(PruefmodusTest, LesefehlerPrueftNichts) {
  Neu({});
  t.Db().SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("SELECT Zahlungen.ZahlungNr")) ? DbFehler{1, QStringLiteral("kaputt")} : DbFehler{};
  });
  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(), false, Heute);
  t.Db().SetzeStoerung({});
  EXPECT_EQ(e.lesefehler.Nummer, 1);
  EXPECT_EQ(e.geprueft, 0);
}

TEST(PruefmodusDatei, AnAndererStelleGeaenderteZahlungBleibtUnberuehrt) {
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  ZahlungsTestDatenbank t(datei);
  Datenbank* db = &t.Db();
  DbFehler f;
  Auftrag a;
  a.name = QStringLiteral("Meier!");
  const qint64 geaendert = Anlegen(*db, a);
  const qint64 bleibt = Anlegen(*db, a);
  auto zweite = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(zweite);
  // After the list was read, before the first store: a second workstation renames one payee.
  bool einmal = true;
  db->SetzeStoerung([&](const QString& sql) {
    if (einmal && sql.startsWith(QLatin1String("BEGIN"))) {
      einmal = false;
      EXPECT_TRUE(zweite->Ausfuehren("UPDATE Zahlungen SET Name = 'Meier & Co' WHERE ZahlungNr = ?", {geaendert}).Ok());
    }
    return DbFehler{};
  });
  const PruefmodusErgebnis e = ZahlungenPruefen(*db, Liste(), false, Heute);
  db->SetzeStoerung({});
  EXPECT_EQ(e.geprueft, 1);
  EXPECT_EQ(e.nichtGespeichert, 1);
  EXPECT_TRUE(e.speicherFehler.Ok());
  EXPECT_EQ(db->Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {geaendert}, f)->toString(), QStringLiteral("Meier & Co"));
  EXPECT_EQ(db->Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {bleibt}, f)->toString(), QStringLiteral("Meier"));
  EXPECT_TRUE(Pruefmodus::SpeicherfehlerText(e).endsWith(QStringLiteral("inzwischen an anderer Stelle geändert, erledigt oder gelöscht wurden.")));
}

// Another workstation marks payments done (a SEPA run) after the check read the list, before it
// stores: a done payment keeps what the run saw, the open ones are stored as usual.
TEST(PruefmodusDatei, InzwischenErledigteZahlungBleibtUnberuehrt) {
  QTemporaryDir ordner;
  const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
  ZahlungsTestDatenbank t(datei);
  Datenbank& db = t.Db();
  DbFehler f;
  Auftrag faulig;
  faulig.iban = QStringLiteral("DE89370400440532013001");  // the check marks it faulty
  Auftrag unsauber;
  unsauber.name = QStringLiteral("Meier!");  // the check cleans its name
  const qint64 erledigtFehler = Anlegen(db, faulig);
  const qint64 erledigtName = Anlegen(db, unsauber);
  const qint64 offenFehler = Anlegen(db, faulig);
  const qint64 offenName = Anlegen(db, unsauber);
  auto zweite = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(zweite);
  bool einmal = true;
  db.SetzeStoerung([&](const QString& sql) {
    if (einmal && sql.startsWith(QLatin1String("BEGIN"))) {
      einmal = false;
      EXPECT_TRUE(zweite
                      ->Ausfuehren("UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = ? WHERE ZahlungNr IN (?, ?)",
                                   {QDate(2024, 3, 10), erledigtFehler, erledigtName})
                      .Ok());
    }
    return DbFehler{};
  });
  const PruefmodusErgebnis e = ZahlungenPruefen(db, Liste(), false, Heute);
  db.SetzeStoerung({});
  ASSERT_FALSE(einmal);
  EXPECT_EQ(e.geprueft, 2);
  EXPECT_EQ(e.nichtGespeichert, 2);
  EXPECT_EQ(e.fehlerhaft, 1);
  EXPECT_EQ(e.korrekturen, 1);
  EXPECT_TRUE(e.speicherFehler.Ok());
  auto wert = [&](const SqlText& sql, qint64 nr) { return db.Wert(sql, {nr}, f).value_or(QVariant()); };
  EXPECT_EQ(wert("SELECT Fehler FROM Zahlungen WHERE ZahlungNr = ?", erledigtFehler).toInt(), 0);
  EXPECT_EQ(wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", erledigtName).toString(), QStringLiteral("Meier!"));
  EXPECT_EQ(wert("SELECT Fehler FROM Zahlungen WHERE ZahlungNr = ?", offenFehler).toInt(), 1);
  EXPECT_EQ(wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", offenName).toString(), QStringLiteral("Meier"));
  EXPECT_FALSE(e.gruende.contains(erledigtFehler));
  EXPECT_TRUE(e.gruende.contains(offenFehler));
}

TEST(PruefmodusTexte, ErgebnisboxWieVorgesehen) {
  PruefmodusErgebnis e;
  e.geprueft = 12;
  e.fehlerhaft = 3;
  e.einzelangaben = 4;
  e.falscheBic = 0;
  e.korrekturen = 2;
  const QString ohneBic = QStringLiteral(
      "Die Prüfung hat folgendes Ergebnis ermittelt:\r"
      "\r"
      "Geprüfte Zahlungen:        \t12\r"
      "Fehlerhafte Zahlungen:     \t3\r"
      "Fehlerhafte Einzelangaben: \t4\r"
      "Automatische Korrekturen:  \t2\r"
      "\r"
      "Die Anzeige wird auf die Selektion dieser Zahlungen umgeschaltet.\r"
      "Es werden also nur die fehlerhaften Zahlungen angezeigt, solange\r"
      "bis der Prüfmodus wieder ausgeschaltet wird.");
  EXPECT_EQ(Pruefmodus::ErgebnisText(e, false), ohneBic);
  QString mitBic = ohneBic;
  mitBic.replace(QStringLiteral("Automatische"), QStringLiteral("Zahlung mit falscher BIC:  \t0\rAutomatische"));
  EXPECT_EQ(Pruefmodus::ErgebnisText(e, true), mitBic);
  // BIC findings are no single entries: their line shows even without the comparison.
  e.falscheBic = 1;
  EXPECT_TRUE(Pruefmodus::ErgebnisText(e, false).contains(QStringLiteral("\rZahlung mit falscher BIC:  \t1\r")));
  EXPECT_EQ(Pruefmodus::KeineFehlerText(), QStringLiteral("Es wurden keine fehlerhafte Zahlungen festgestellt!\r"
                                                          "Der Prüfmodus wird daher wieder ausgeschaltet."));
}

// Check mode transliterates what says the same (and counts it as a correction), names what would lose
// letters or not fit, and stores nothing of those: a name of 75 from an import is faulty here as in the run.
TEST_F(PruefmodusTest, UmschriftWirdGespeichertVerlustUndUeberlaengeSindBefunde) {
  Auftrag a;
  a.name = QStringLiteral("José Ñoño");
  a.verwendungszweck1 = QStringLiteral("Счёт 7");
  a.zeilen = {QStringLiteral("Счёт 7"), QStringLiteral("Ελλάδα")};
  const qint64 umschrift = Neu(a);
  a = {};
  a.name = QStringLiteral("王明");
  a.verwendungszweck1 = QStringLiteral("Счёт 8");
  a.zeilen = {QStringLiteral("Счёт 8")};
  const qint64 verlust = Neu(a);
  a = {};
  a.name = QString(75, QLatin1Char('N'));
  const qint64 lang = Neu(a);
  a = {};
  a.zeilen = {QStringLiteral("RG 1"), QString(28, QLatin1Char('z'))};
  const qint64 zeileLang = Neu(a);

  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(), false, Heute);
  EXPECT_EQ(e.geprueft, 4);
  EXPECT_EQ(e.fehlerhaft, 3);
  EXPECT_EQ(e.korrekturen, 2) << "name and text of the first order only";
  EXPECT_FALSE(Fehler(umschrift));
  EXPECT_EQ(Feld("Name", umschrift), QStringLiteral("Jose Nono"));
  EXPECT_EQ(Feld("Verwendungszweck1", umschrift), QStringLiteral("Schet 7"));
  EXPECT_EQ(Zeile(umschrift, 1), QStringLiteral("Schet 7"));
  EXPECT_EQ(Zeile(umschrift, 2), QStringLiteral("Ελλάδα")) << "only line 1 follows Verwendungszweck1";

  EXPECT_TRUE(Fehler(verlust));
  EXPECT_EQ(Feld("Name", verlust), QStringLiteral("王明"));
  EXPECT_EQ(Feld("Verwendungszweck1", verlust), QStringLiteral("Счёт 8")) << "nothing of a faulty text stored back";
  EXPECT_TRUE(e.gruende.value(verlust).value(0).endsWith(QStringLiteral(": 王明")));
  EXPECT_TRUE(Fehler(lang));
  EXPECT_EQ(Feld("Name", lang), QString(75, QLatin1Char('N')));
  EXPECT_EQ(e.gruende.value(lang), QStringList{QStringLiteral("Die Namensangabe ist 75 Zeichen lang; erlaubt sind "
                                                             "höchstens 70 Zeichen!")});
  EXPECT_TRUE(Fehler(zeileLang));
}

// Another workstation changes a judged value of an order after the check read it: the finding is stale, so
// its Fehler is left as the other workstation left it (and the order counts as not stored); a change of a
// value the rules do not judge does not stop the store.
TEST(PruefmodusDatei, GeaenderteGepruefteAngabeLaesstFehlerUnberuehrt) {
  struct Fall {
    const char* name;
    const char* sql;   // one parameter: the order's number
    bool gespeichert;
  };
  const Fall faelle[] = {
      {"IBAN berichtigt", "UPDATE Zahlungen SET IBAN = 'DE02120300000000202051' WHERE ZahlungNr = ?", false},
      {"BIC", "UPDATE Zahlungen SET BIC = 'BYLADEM1001' WHERE ZahlungNr = ?", false},
      {"Betrag", "UPDATE Zahlungen SET ZahlungGesamt = 5000000 WHERE ZahlungNr = ?", false},
      {"Faellig", "UPDATE Zahlungen SET \"Fällig\" = '2024-04-01' WHERE ZahlungNr = ?", false},
      {"Name nur in der Schreibweise", "UPDATE Zahlungen SET Name = 'ANTON GMBH' WHERE ZahlungNr = ?", false},
      {"OP-Konto (nicht geprueft)", "UPDATE Zahlungen SET OPKontoNr = '4711' WHERE ZahlungNr = ?", true},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    QTemporaryDir ordner;
    const QString datei = ordner.filePath(QStringLiteral("TamoSEPA.db"));
    ZahlungsTestDatenbank t(datei);
    Datenbank& db = t.Db();
    DbFehler f;
    Auftrag faulig;
    faulig.iban = QStringLiteral("DE89370400440532013001");  // the check marks it faulty
    const qint64 nr = Anlegen(db, faulig);
    auto zweite = Datenbank::Oeffnen(datei, f);
    ASSERT_TRUE(zweite);
    bool einmal = true;
    db.SetzeStoerung([&](const QString& sql) {
      if (einmal && sql.startsWith(QLatin1String("BEGIN"))) {
        einmal = false;
        EXPECT_TRUE(zweite->SkriptAusfuehren(QString::fromUtf8(fall.sql).replace(QLatin1Char('?'), QString::number(nr))).Ok());
      }
      return DbFehler{};
    });
    const PruefmodusErgebnis e = ZahlungenPruefen(db, Liste(), false, Heute);
    db.SetzeStoerung({});
    ASSERT_FALSE(einmal);
    EXPECT_EQ(e.nichtGespeichert, fall.gespeichert ? 0 : 1);
    EXPECT_EQ(db.Wert("SELECT Fehler FROM Zahlungen WHERE ZahlungNr = ?", {nr}, f)->toInt(), fall.gespeichert ? 1 : 0);
  }
}

// The guard compares what it read with what is stored: dates, amounts and mandate data as the program stores
// them pass it unchanged, so a faulty direct debit with all of them is stored.
TEST_F(PruefmodusTest, UnveraenderteLastschriftMitDatenWirdGespeichert) {
  Auftrag l;
  l.art = QStringLiteral("L");
  l.iban = QStringLiteral("DE89370400440532013001");  // faulty
  l.mandatReferenz = QStringLiteral("MR-1");
  l.mandatDatum = QDate(2023, 5, 1);
  l.sequenz = 3;
  l.cent = 123456;
  const qint64 nr = Neu(l);
  ASSERT_TRUE(t.Db().Ausfuehren("UPDATE Zahlungen SET \"Fällig\" = ?, \"Textschlüssel\" = '05', EinzelReferenz = 'E-1' "
                                "WHERE ZahlungNr = ?", {QDate(2024, 3, 12), nr}).Ok());
  const PruefmodusErgebnis e = ZahlungenPruefen(t.Db(), Liste(Zahlart::BasisLastschrift), false, Heute);
  EXPECT_EQ(e.nichtGespeichert, 0);
  EXPECT_EQ(e.geprueft, 1);
  EXPECT_TRUE(Fehler(nr));
}
