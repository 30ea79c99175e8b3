#include <gtest/gtest.h>

#include <atomic>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "LaufTestDatenbank.h"
#include "QtAusgabe.h"
#include "XPfad.h"
#include "common/Uhr.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

// Wednesday 5 June 2024, 14:05:09.
const QDateTime Zeitpunkt(QDate(2024, 6, 5), QTime(14, 5, 9));

QByteArray Lesen(const QString& pfad) {
  QFile f(pfad);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Schreiben(const QString& pfad, const QByteArray& inhalt) {
  QFile f(pfad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(inhalt);
}

QStringList Dateien(const QString& ordner) {
  return QDir(ordner).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class SepaLaufTest : public ::testing::Test {
 protected:
  void SetUp() override { Uhr::Festhalten(Zeitpunkt); }
  void TearDown() override {
    t.Db().SetzeStoerung({});
    Uhr::Setzen({});
  }

  // Selection of the kind, then the run over its ids.
  SepaLaufAnfrage Anfrage(SepaArt art, bool aufteilen = false) {
    SepaAuswahlAnfrage a;
    a.Art = art;
    a.Heute = Zeitpunkt.date();
    const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), a);
    EXPECT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
    SepaLaufAnfrage l = LaufAnfrage(art, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad(), aufteilen);
    l.Fehlerhaft = auswahl.Fehlerhaft;
    return l;
  }

  void Gueltig(const SepaLaufErgebnis& e, const QString& format) {
    ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
    for (const QString& pfad : e.Dateien) {
      const QStringList fehler = SchemaPruefung::Pruefen(pfad, format);
      EXPECT_TRUE(fehler.isEmpty()) << pfad.toStdString() << ": " << fehler.join(QLatin1Char('\n')).toStdString();
    }
  }

  LaufTestDatenbank t;
  TestOrdner ziel;
};

// The messages of the default format.
const QString Pain001 = QStringLiteral("pain.001.001.09");
const QString Pain008 = QStringLiteral("pain.008.001.08");

// ---- successful runs -----------------------------------------------------------------------------------

TEST_F(SepaLaufTest, UeberweisungenSchreibenMarkierenUndReferenzErhoehen) {
  const qint64 a = t.Anlegen(LaufTestDatenbank::Auftrag{});
  LaufTestDatenbank::Auftrag ohneZeilen;
  ohneZeilen.zeilenCent = {};
  ohneZeilen.gesamtCent = 1250;
  ohneZeilen.verwendungszweck1 = QStringLiteral("Nur Zeile eins");
  const qint64 b = t.Anlegen(ohneZeilen);
  LaufTestDatenbank::Auftrag fehlerhaft;
  fehlerhaft.iban = QStringLiteral("DE00370400440532013000");
  const qint64 c = t.Anlegen(fehlerhaft);
  const qint64 lastschrift = t.Anlegen(Lastschrift(2));

  const SepaLaufAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  ASSERT_EQ(anfrage.ZahlungNummern, (QList<qint64>{a, b}));
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  Gueltig(e, Pain001);
  const QString pfad = QDir::toNativeSeparators(ziel.Datei(QStringLiteral("SEPAGK.XML")));
  EXPECT_EQ(e.Dateien, QStringList{pfad});
  EXPECT_EQ(e.Anzahl, 2);
  EXPECT_EQ(e.Fehlerhaft, 1);
  EXPECT_EQ(e.Meldung, QStringLiteral("Diese SEPA-Datei wurde erstellt und kann\ran Ihre Bank übermittelt werden:\r\r") + pfad);
  EXPECT_EQ(e.Statustext, QStringLiteral("SEPA-Datei wurde erstellt: SEPAGK.XML"));
  EXPECT_EQ(e.NaechsteReferenz, QStringLiteral("R101"));
  EXPECT_EQ(t.Referenz(), QStringLiteral("R101"));
  EXPECT_EQ(e.Ausfuehrungsdatum, QDate(2024, 6, 6));

  EXPECT_TRUE(t.Erledigt(a));
  EXPECT_TRUE(t.Erledigt(b));
  EXPECT_FALSE(t.Erledigt(c));
  EXPECT_FALSE(t.Erledigt(lastschrift));
  EXPECT_EQ(t.Wert("SELECT ErledigtDatum FROM Zahlungen WHERE ZahlungNr = ?", {a}).toString(), QStringLiteral("2024-06-05"));
  EXPECT_EQ(t.Wert("SELECT Buchungsdatum FROM Zahlungen WHERE ZahlungNr = ?", {b}).toString(), QStringLiteral("2024-06-06"));

  const XPfad x(Lesen(pfad));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("2"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("112.5"));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:Ustrd")).last(), QStringLiteral("Nur Zeile eins"));
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("SEPAGK.XML")});
}

// The result names exactly the orders written, with the end-to-end ids of the files, the generated
// ones included: the control list prints from it.
TEST_F(SepaLaufTest, ErgebnisNenntDieGeschriebenenAuftraegeMitIhrenEndToEndIds) {
  LaufTestDatenbank::Auftrag eigene = Lastschrift(3);
  eigene.einzelReferenz = QStringLiteral("E2E-EIGEN");
  const qint64 a = t.Anlegen(Lastschrift(2));
  const qint64 b = t.Anlegen(eigene);
  const qint64 c = t.Anlegen(Lastschrift(1));
  LaufTestDatenbank::Auftrag fremd = Lastschrift(1);
  fremd.art = QStringLiteral("G");
  t.Anlegen(fremd);   // another kind: not in this run
  for (const bool aufteilen : {false, true}) {
    if (aufteilen) t.Wert("UPDATE Zahlungen SET Erledigt = 0");
    SepaLaufAnfrage l = Anfrage(SepaArt::BasisLastschrift, aufteilen);
    l.Optionen.AutoEinzelReferenz = true;
    l.Referenz = aufteilen ? QStringLiteral("R200") : QStringLiteral("R100");   // a reference is used once
    const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), l);
    ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
    QList<qint64> nummern = e.ZahlungNummern;
    std::sort(nummern.begin(), nummern.end());
    EXPECT_EQ(nummern, (QList<qint64>{a, b, c}));
    ASSERT_EQ(e.EndToEndIds.size(), 3);
    QStringList inDateien;
    for (const QString& pfad : e.Dateien) inDateien += XPfad(Lesen(pfad)).Texte(QStringLiteral("//p:EndToEndId"));
    EXPECT_EQ(e.EndToEndIds, inDateien);
    EXPECT_EQ(e.EndToEndIds.at(e.ZahlungNummern.indexOf(b)), QStringLiteral("E2E-EIGEN"));
    EXPECT_TRUE(e.EndToEndIds.at(e.ZahlungNummern.indexOf(a)).startsWith(l.Referenz.left(3)));
  }
}

// Two open collections of one mandate where one uses the mandate up or ends it: one run collects only
// the one that may go (the first final one, the one-off, the recurring one beside a final); the other stays
// open, flagged, and out of the file.
TEST_F(SepaLaufTest, MandatWirdImLaufNichtUeberSeinEndeEingezogen) {
  struct Fall {
    int erste, zweite;
    bool ersteGeht;
  };
  int lauf = 0;
  for (const Fall f : {Fall{4, 4, true}, Fall{1, 3, true}, Fall{1, 4, true}, Fall{4, 3, false}}) {
    for (const SepaArt art : {SepaArt::BasisLastschrift, SepaArt::FirmenLastschrift}) {
      const int firmen = art == SepaArt::FirmenLastschrift ? 10 : 0;
      SCOPED_TRACE(testing::Message() << f.erste + firmen << "+" << f.zweite + firmen);
      t.Wert("DELETE FROM Zahlungen");
      LaufTestDatenbank::Auftrag erste = Lastschrift(f.erste + firmen);
      erste.mandatReferenz = QStringLiteral("UP-2");
      LaufTestDatenbank::Auftrag zweite = Lastschrift(f.zweite + firmen);
      zweite.mandatReferenz = QStringLiteral("up-2");
      const qint64 a = t.Anlegen(erste);
      const qint64 b = t.Anlegen(zweite);
      SepaLaufAnfrage l = Anfrage(art);
      l.Referenz = QStringLiteral("R%1").arg(100 + ++lauf);
      const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), l);
      Gueltig(e, Pain008);
      const qint64 geht = f.ersteGeht ? a : b;
      const qint64 wartet = f.ersteGeht ? b : a;
      EXPECT_EQ(e.ZahlungNummern, QList<qint64>{geht});
      EXPECT_TRUE(t.Erledigt(geht));
      EXPECT_FALSE(t.Erledigt(wartet));
      EXPECT_TRUE(t.Fehler(wartet));
      ASSERT_EQ(e.Dateien.size(), 1);
      EXPECT_EQ(XPfad(Lesen(e.Dateien.first())).Texte(QStringLiteral("//p:DrctDbtTxInf")).size(), 1);
    }
  }
}

TEST_F(SepaLaufTest, AufgeteilteLastschriftenErhoehenDieReferenzJeDatei) {
  const qint64 a = t.Anlegen(Lastschrift(2, {1000}));
  const qint64 b = t.Anlegen(Lastschrift(2, {2000}));
  const qint64 c = t.Anlegen(Lastschrift(3, {4000}));
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift, true));
  Gueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 2);
  EXPECT_TRUE(e.Dateien.at(0).endsWith(QStringLiteral("SEPALKBasisMehrfachErste.XML")));
  EXPECT_TRUE(e.Dateien.at(1).endsWith(QStringLiteral("SEPALKBasisMehrfachFolge.XML")));
  EXPECT_EQ(XPfad(Lesen(e.Dateien.at(0))).Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("R100"));
  EXPECT_EQ(XPfad(Lesen(e.Dateien.at(1))).Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("R101"));
  EXPECT_EQ(XPfad(Lesen(e.Dateien.at(1))).Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("40"));
  EXPECT_EQ(e.Referenz, QStringLiteral("R101"));
  EXPECT_EQ(e.NaechsteReferenz, QStringLiteral("R102"));
  EXPECT_EQ(t.Referenz(), QStringLiteral("R102"));
  EXPECT_TRUE(t.Erledigt(a) && t.Erledigt(b) && t.Erledigt(c));
  EXPECT_TRUE(e.AndereDateien.isEmpty());
  // Collection date: Wednesday + 2 lead days = Friday.
  EXPECT_EQ(t.Wert("SELECT Buchungsdatum FROM Zahlungen WHERE ZahlungNr = ?", {c}).toString(), QStringLiteral("2024-06-07"));
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Diese SEPA-Dateien wurden erstellt und können\ran Ihre Bank übermittelt werden:\r\r")));
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("SEPALKBasisMehrfachFolge.XML\r\n")));
  EXPECT_EQ(e.Statustext, QStringLiteral("SEPA-Dateien wurden erstellt im Ordner: ") +
                              QDir::toNativeSeparators(ziel.Pfad()) + QDir::separator());
}

TEST_F(SepaLaufTest, AufgeteilterLaufRaeumtAlteTeildateienAbUndNenntDieGesamtdatei) {
  Schreiben(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachLetzte.XML")), QByteArrayLiteral("frueher"));
  Schreiben(ziel.Datei(QStringLiteral("SEPALKBasis.XML")), QByteArrayLiteral("frueher"));
  t.Anlegen(Lastschrift(2, {1000}));
  t.Anlegen(Lastschrift(3, {2000}));
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift, true));
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  // The stale final-collection file of the earlier run is gone; the plain file stays and is named.
  EXPECT_FALSE(QFileInfo::exists(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachLetzte.XML"))));
  EXPECT_EQ(e.AndereDateien, QStringList{QDir::toNativeSeparators(ziel.Datei(QStringLiteral("SEPALKBasis.XML")))});
  EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPALKBasis.XML"))), QByteArrayLiteral("frueher"));
  EXPECT_TRUE(e.Warnungen.isEmpty());
}

TEST_F(SepaLaufTest, GescheiterterAufgeteilterLaufLaesstAlteTeildateienStehen) {
  Schreiben(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachLetzte.XML")), QByteArrayLiteral("frueher"));
  t.Anlegen(Lastschrift(2, {1000}));
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::BasisLastschrift, true);
  anfrage.Referenz.clear();
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  EXPECT_FALSE(e.Ok());
  EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachLetzte.XML"))), QByteArrayLiteral("frueher"));
}

TEST_F(SepaLaufTest, OhneAufteilungZaehltDieGetippteReferenzWeiter) {
  t.Anlegen(Lastschrift(11));
  t.Anlegen(Lastschrift(14));
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::FirmenLastschrift, false);
  anfrage.Referenz = QStringLiteral("Lauf-ä7");
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  Gueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 1);
  EXPECT_TRUE(e.Dateien.first().endsWith(QStringLiteral("SEPALKFirmen.XML")));
  EXPECT_EQ(XPfad(Lesen(e.Dateien.first())).Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("Lauf-a7"));
  EXPECT_EQ(e.NaechsteReferenz, QStringLiteral("Lauf-ä8"));
  EXPECT_EQ(t.Referenz(), QStringLiteral("Lauf-ä8"));

  // Split files of an earlier run stay and are named; the single file does not remove them.
  Schreiben(ziel.Datei(QStringLiteral("SEPALKFirmenEinmal.XML")), QByteArrayLiteral("frueher"));
  t.Anlegen(Lastschrift(12));
  SepaLaufAnfrage zweite = Anfrage(SepaArt::FirmenLastschrift, false);
  zweite.Referenz = e.NaechsteReferenz;
  const SepaLaufErgebnis z = SepaLauf::Ausfuehren(t.Db(), zweite);
  ASSERT_TRUE(z.Ok());
  EXPECT_EQ(z.AndereDateien, QStringList{QDir::toNativeSeparators(ziel.Datei(QStringLiteral("SEPALKFirmenEinmal.XML")))});
  EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPALKFirmenEinmal.XML"))), QByteArrayLiteral("frueher"));
}

TEST_F(SepaLaufTest, FeindlicheTexteErgebenGueltigeDateien) {
  const QStringList namen = {QStringLiteral("Müller & Söhne <GmbH>"), QStringLiteral("O'Brien \"Bau\" & Co"),
                             QStringLiteral("Straße ") + QString(63, QLatin1Char('X'))};   // 70, the most
  for (const QString& name : namen) {
    LaufTestDatenbank::Auftrag a = Lastschrift(1);
    a.name = name;
    a.bic.clear();
    a.einzelReferenz = QStringLiteral("E2E 'x' (1)");  // an identifier as the rules allow it, XML-escaped
    a.verwendungszweck1 = QStringLiteral("<Rechnung> & \"x\" 'y' ä");
    t.Anlegen(a);
  }
  // 27 characters once cleaned, the most a line holds.
  t.Db().Ausfuehren("UPDATE Verwendungszweck SET Verwendungszweck = ?", {QStringLiteral("Grüße <&> \"'\" ") + QString(18, QLatin1Char('Z'))});
  t.Db().Ausfuehren("UPDATE Absender SET BIC = NULL, Name = ?", {QStringLiteral("Tamo <&> \"Handel\" ÄÖÜß")});
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift));
  Gueltig(e, Pain008);
  EXPECT_EQ(e.Anzahl, 3);
}

// Characters outside the payment set reach the bank transliterated, and are stored back so; what would
// lose letters or need a cut is left out with its reason and stays as it was.
TEST_F(SepaLaufTest, UmschriftStattVerlustUndKeinStillerSchnitt) {
  LaufTestDatenbank::Auftrag a;
  a.name = QStringLiteral("José Ñoño");
  a.verwendungszweck1 = QStringLiteral("Счёт 7");
  const qint64 jose = t.Anlegen(a);
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Verwendungszweck SET Verwendungszweck = ? WHERE ZahlungNr = ?",
                                 {QStringLiteral("Счёт 7 за июнь"), jose}));
  a.name = QStringLiteral("王明");
  a.verwendungszweck1 = QStringLiteral("Rechnung 8");
  const qint64 chinesisch = t.Anlegen(a);
  a.name = QString(75, QLatin1Char('N'));   // as an import may leave it
  const qint64 lang = t.Anlegen(a);

  SepaAuswahlAnfrage auswahlAnfrage;
  auswahlAnfrage.Art = SepaArt::Ueberweisung;
  auswahlAnfrage.Heute = Zeitpunkt.date();
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), auswahlAnfrage);
  ASSERT_TRUE(auswahl.Ok());
  EXPECT_EQ(auswahl.ZahlungNummern, QList<qint64>{jose});
  ASSERT_EQ(auswahl.Befunde.size(), 2);
  EXPECT_EQ(auswahl.Befunde.at(0).Befunde.value(0).Art, Befundart::NameUmschrift);
  EXPECT_EQ(auswahl.Befunde.at(1).Befunde.value(0).Art, Befundart::NameZuLang);
  EXPECT_EQ(t.Wert("SELECT Name || '|' || Verwendungszweck1 FROM Zahlungen WHERE ZahlungNr = ?", {jose}).toString(),
            QStringLiteral("Jose Nono|Schet 7"));
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {chinesisch}).toString(), QStringLiteral("王明"));
  EXPECT_EQ(t.Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = ?", {lang}).toString(), QString(75, QLatin1Char('N')));

  SepaLaufAnfrage anfrage = LaufAnfrage(SepaArt::Ueberweisung, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad());
  anfrage.Auftraege = auswahl.Auftraege;
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  Gueltig(e, Pain001);
  XPfad x(Lesen(e.Dateien.value(0)));
  EXPECT_EQ(x.Text(QStringLiteral("//p:Cdtr/p:Nm")), QStringLiteral("Jose Nono"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:RmtInf/p:Ustrd")), QStringLiteral("Schet 7 za iiun"));

  // Handed in by number, the writer's guard judges the stored order the same way: refused, not cut.
  const SepaLaufErgebnis verweigert =
      SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(SepaArt::Ueberweisung, {lang}, Zeitpunkt, ziel.Pfad()));
  EXPECT_FALSE(verweigert.Ok());
  EXPECT_TRUE(verweigert.Meldung.contains(QStringLiteral("Die Namensangabe ist 75 Zeichen lang"))) << verweigert.Meldung.toStdString();
  EXPECT_FALSE(t.Erledigt(lang));
}

TEST_F(SepaLaufTest, VorhandeneDateiWirdNurDurchDieVollstaendigeNeueErsetzt) {
  Schreiben(ziel.Datei(QStringLiteral("SEPAGK.XML")), QByteArrayLiteral("alt"));
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  Gueltig(e, Pain001);
  EXPECT_TRUE(Lesen(ziel.Datei(QStringLiteral("SEPAGK.XML"))).startsWith("<?xml"));
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("SEPAGK.XML")});
}

TEST_F(SepaLaufTest, ArchivKopienUndIhrFehlschlagIstNurEineWarnung) {
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  anfrage.ArchivSpeichern = true;
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  Gueltig(e, Pain001);
  const QString archiv = ziel.Datei(QStringLiteral("Archiv/SEPAGK20240605140509.XML"));
  EXPECT_EQ(e.Archivdateien, QStringList{QDir::toNativeSeparators(archiv)});
  EXPECT_EQ(Lesen(archiv), Lesen(e.Dateien.first()));

  t.Anlegen(LaufTestDatenbank::Auftrag{});
  SepaLaufStoerung stoerung;
  stoerung.Archivieren = [](const QString&, QString& text) { text = QStringLiteral("voll"); return 61; };
  SepaLaufAnfrage zweite = Anfrage(SepaArt::Ueberweisung);
  zweite.Referenz = e.NaechsteReferenz;
  zweite.ArchivSpeichern = true;
  const SepaLaufErgebnis w = SepaLauf::Ausfuehren(t.Db(), zweite, &stoerung);
  EXPECT_TRUE(w.Ok());
  ASSERT_EQ(w.Warnungen.size(), 1);
  EXPECT_TRUE(w.Warnungen.first().contains(QStringLiteral("Fehler: 61")));
  EXPECT_EQ(t.AnzahlErledigt(), 2);
  EXPECT_EQ(t.Referenz(), QStringLiteral("R102"));
}

// Two runs in the same second: the second archive copy gets a name of its own, the first is never replaced
// (it may be the only copy left of a file the second run replaced in the target folder).
TEST_F(SepaLaufTest, ArchivKopieErsetztNieDieEinesAnderenLaufs) {
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  anfrage.ArchivSpeichern = true;
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  const QByteArray erste = Lesen(e.Dateien.first());
  QStringList archiviert = e.Archivdateien;
  for (int lauf = 2; lauf <= 3; ++lauf) {
    t.Anlegen(LaufTestDatenbank::Auftrag{});
    SepaLaufAnfrage weitere = Anfrage(SepaArt::Ueberweisung);
    weitere.Referenz = t.Referenz();
    weitere.ArchivSpeichern = true;
    const SepaLaufErgebnis w = SepaLauf::Ausfuehren(t.Db(), weitere);
    ASSERT_TRUE(w.Ok()) << w.Meldung.toStdString();
    EXPECT_TRUE(w.Warnungen.isEmpty()) << w.Warnungen.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(w.Archivdateien.size(), 1);
    EXPECT_EQ(Lesen(w.Archivdateien.first()), Lesen(w.Dateien.first()));
    archiviert << w.Archivdateien;
  }
  EXPECT_EQ(Dateien(ziel.Datei(QStringLiteral("Archiv"))),
            QStringList({QStringLiteral("SEPAGK20240605140509.XML"), QStringLiteral("SEPAGK20240605140509_2.XML"),
                         QStringLiteral("SEPAGK20240605140509_3.XML")}));
  EXPECT_EQ(Lesen(archiviert.first()), erste);
}

// ---- refusals -----------------------------------------------------------------------------------------

TEST_F(SepaLaufTest, LaufOhneZahlungenWirdAbgelehnt) {
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  EXPECT_FALSE(e.Ok());
  EXPECT_EQ(e.Meldung, SepaLauf::KeineZahlungenMeldung());
  EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty());
  EXPECT_EQ(t.Referenz(), QStringLiteral("R100"));
}

TEST_F(SepaLaufTest, VorpruefungenDesErstellbefehls) {
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  t.Anlegen(Lastschrift(1));
  SepaLaufAnfrage ohneReferenz = Anfrage(SepaArt::Ueberweisung);
  ohneReferenz.Referenz = QStringLiteral("  ");
  EXPECT_TRUE(SepaLauf::Ausfuehren(t.Db(), ohneReferenz).Meldung.startsWith(
      QStringLiteral("Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt.\r")));

  SepaLaufAnfrage spaet = Anfrage(SepaArt::Ueberweisung);
  spaet.Optionen.Ausfuehrungsdatum = Zeitpunkt.date().addDays(15);
  EXPECT_TRUE(SepaLauf::Ausfuehren(t.Db(), spaet).Meldung.startsWith(
      QStringLiteral("Das Ausführungsdatum muß zwischen dem Erstellungsdatum \r05.06.2024 und dem 19.06.2024 liegen!")));

  t.Db().Ausfuehren("UPDATE Absender SET \"GläubigerID\" = NULL");
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift));
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Für Lastschriften wird zwingend eine von der deutschen Bundesbank\r")));
  EXPECT_EQ(t.AnzahlErledigt(), 0);
  EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty());
}

TEST_F(SepaLaufTest, NichtBeschreibbaresZielMeldetDenSchreibtest) {
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  anfrage.Zielordner = ziel.Datei(QStringLiteral("fehlt"));
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral(
      "Die SEPA-Datei konnte für einen Schreibtest nicht erstellt werden.\rDie Bearbeitung wird daher abgebrochen.")));
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("\r\rFehler: 76\rBeschreibung: ")));
  EXPECT_EQ(t.AnzahlErledigt(), 0);
}

// ---- fault injection ----------------------------------------------------------------------------------

struct Stoerfall {
  const char* name;
  int schreibFehlerBei;     // 1-based temporary file, 0 = none
  int markierFehlerBei;     // 1-based UPDATE of the marks or the reference, 0 = none
  int umbenennFehlerBei;    // 1-based rename, 0 = none
};

void PrintTo(const Stoerfall& fall, std::ostream* os) { *os << fall.name; }

class SepaLaufStoerung_ : public SepaLaufTest, public ::testing::WithParamInterface<Stoerfall> {};

TEST_P(SepaLaufStoerung_, NichtsMarkiertOhneDateiUndKeineDateiOhneMarkierung) {
  const Stoerfall fall = GetParam();
  for (int sequenz : {1, 2, 2, 3, 4}) t.Anlegen(Lastschrift(sequenz));
  // An older file of one of the names stays as it was when the run fails.
  Schreiben(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachErste.XML")), QByteArrayLiteral("alte Datei"));

  SepaLaufStoerung stoerung;
  int geschrieben = 0;
  stoerung.Schreiben = [&](const QString&, QString& text) {
    if (++geschrieben != fall.schreibFehlerBei) return 0;
    text = QStringLiteral("Datenträger voll");
    return 61;
  };
  int umbenannt = 0;
  stoerung.Umbenennen = [&](const QString&, const QString&, QString& text) {
    if (++umbenannt != fall.umbenennFehlerBei) return 0;
    text = QStringLiteral("Zugriff verweigert");
    return 75;
  };
  // The statements of the marking transaction that change orders or the sender: the marks, then the reference.
  int markiert = 0;
  t.Db().SetzeStoerung([&](const QString& sql) -> DbFehler {
    if (!sql.contains(QLatin1String("SET Erledigt = 1")) && !sql.contains(QLatin1String("SET ReferenzNr"))) return {};
    if (++markiert != fall.markierFehlerBei) return {};
    return {5, QStringLiteral("database is locked")};
  });

  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift, true), &stoerung);
  t.Db().SetzeStoerung({});
  EXPECT_FALSE(e.Ok());
  EXPECT_FALSE(e.DateiGeschrieben);
  EXPECT_TRUE(e.Dateien.isEmpty());
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die SEPA-Datei(en) konnte(n) wegen Fehler nicht erstellt werden.\rFehler: ")))
      << e.Meldung.toStdString();
  EXPECT_EQ(t.AnzahlErledigt(), 0);
  EXPECT_EQ(t.Wert("SELECT count(*) FROM Zahlungen WHERE ErledigtDatum IS NOT NULL OR Buchungsdatum IS NOT NULL").toLongLong(), 0);
  EXPECT_EQ(t.Referenz(), QStringLiteral("R100"));
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("SEPALKBasisMehrfachErste.XML")});
  EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachErste.XML"))), QByteArrayLiteral("alte Datei"));
  EXPECT_TRUE(SepaLauf::Restdateien(ziel.Pfad()).isEmpty());
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
  EXPECT_EQ(t.Wert("SELECT count(*) FROM GesendeteReferenzen").toLongLong(), 0);  // nothing was sent

  // The same orders can be written afterwards, with the same reference.
  const SepaLaufErgebnis wieder = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift, true));
  Gueltig(wieder, Pain008);
  EXPECT_EQ(t.AnzahlErledigt(), 5);
  EXPECT_EQ(t.Referenz(), QStringLiteral("R104"));
  EXPECT_EQ(t.Wert("SELECT group_concat(Referenz) FROM (SELECT Referenz FROM GesendeteReferenzen ORDER BY 1)").toString(),
            QStringLiteral("R100,R101,R102,R103"));
}

INSTANTIATE_TEST_SUITE_P(Stoerungen, SepaLaufStoerung_,
                         ::testing::Values(Stoerfall{"ErsteDateiSchreiben", 1, 0, 0},
                                           Stoerfall{"DritteDateiSchreiben", 3, 0, 0},
                                           Stoerfall{"ErsteMarkierung", 0, 1, 0},
                                           Stoerfall{"ReferenzNachDerMarkierung", 0, 2, 0},
                                           Stoerfall{"ErstesUmbenennen", 0, 0, 1},
                                           Stoerfall{"LetztesUmbenennen", 0, 0, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every message id of a run is noted for the sender; one sent before is refused before anything is
// written, also when only a split file's raised id meets it.
TEST_F(SepaLaufTest, GesendeteReferenzWirdNichtNochmalVerwendet) {
  t.Anlegen(Lastschrift(2));
  t.Anlegen(Lastschrift(3));
  const SepaLaufErgebnis erster = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift, true));
  Gueltig(erster, Pain008);
  EXPECT_EQ(t.Wert("SELECT group_concat(Referenz || '@' || Erstellt) FROM "
                   "(SELECT Referenz, Erstellt FROM GesendeteReferenzen WHERE AbsenderNr = 1 ORDER BY 1)")
                .toString(),
            QStringLiteral("R100@2024-06-05,R101@2024-06-05"));

  const qint64 neu = t.Anlegen(Lastschrift(2));
  t.Anlegen(Lastschrift(3));
  for (const char* referenz : {"R101", "R099"}) {  // R099 raises to R100 for the second file
    SepaLaufAnfrage anfrage = Anfrage(SepaArt::BasisLastschrift, true);
    anfrage.Referenz = QString::fromLatin1(referenz);
    const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
    EXPECT_FALSE(e.Ok()) << referenz;
    EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Referenz-Angabe \"R10"))) << e.Meldung.toStdString();
    EXPECT_FALSE(t.Erledigt(neu));
    EXPECT_EQ(t.Referenz(), QStringLiteral("R102"));
  }
  EXPECT_EQ(Dateien(ziel.Pfad()).size(), 2);  // the first run's files only

  // Another sender of another account may use the same reference.
  EXPECT_TRUE(t.Db().Ausfuehren("UPDATE Absender SET IBAN = ?, BIC = ?, \"GläubigerID\" = ? WHERE AbsenderNr = 2",
                                {QStringLiteral("DE02120300000000202051"), QStringLiteral("COBADEFFXXX"),
                                 QStringLiteral("DE98ZZZ09999999999")}).Ok());
  LaufTestDatenbank::Auftrag zweiter = Lastschrift(1);
  zweiter.absenderNr = 2;
  const qint64 z = t.Anlegen(zweiter);
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::BasisLastschrift);
  anfrage.AbsenderNr = 2;
  anfrage.ZahlungNummern = {z};
  anfrage.Zielordner = ziel.Datei(QStringLiteral("zweiter"));
  QDir().mkpath(anfrage.Zielordner);
  Gueltig(SepaLauf::Ausfuehren(t.Db(), anfrage), Pain008);
}

// ---- sent message ids belong to the account ------------------------------------------------------------

struct Kontofall {
  const char* name;
  bool ersterGeloescht;   // sender 1 (and its orders) deleted after its run
  QString iban;           // of the sender that sends next (3 when the first is deleted, else 2)
  bool abgelehnt;
};

void PrintTo(const Kontofall& fall, std::ostream* os) { *os << fall.name; }

class SepaLaufKonto_ : public SepaLaufTest, public ::testing::WithParamInterface<Kontofall> {};

// Sender 1 sent R100 from DE89 3704 0044 0532 0130 00. Another sender record, also one made after the first
// was deleted, may not send R100 again from that account, however its IBAN is written; from another account it may.
TEST_P(SepaLaufKonto_, GesendeteReferenzGiltFuerDasKonto) {
  const Kontofall fall = GetParam();
  const qint64 erster = t.Anlegen(LaufTestDatenbank::Auftrag{});
  ASSERT_TRUE(SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(SepaArt::Ueberweisung, {erster}, Zeitpunkt, ziel.Pfad())).Ok());
  int absender = 2;
  if (fall.ersterGeloescht) {
    ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM Zahlungen WHERE AbsenderNr = 1"));
    ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM Absender WHERE AbsenderNr = 1"));
    ASSERT_FALSE(t.Db().Ausfuehren("INSERT INTO Absender (AbsenderNr, Name) VALUES (3, 'Neu angelegt')"));
    absender = 3;
  }
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Absender SET IBAN = ?, BIC = 'COBADEFFXXX' WHERE AbsenderNr = ?",
                                 {fall.iban, absender}));
  LaufTestDatenbank::Auftrag auftrag;
  auftrag.absenderNr = absender;
  const qint64 nr = t.Anlegen(auftrag);
  SepaLaufAnfrage anfrage = LaufAnfrage(SepaArt::Ueberweisung, {nr}, Zeitpunkt, ziel.Datei(QStringLiteral("zweiter")));
  anfrage.AbsenderNr = absender;
  QDir().mkpath(anfrage.Zielordner);

  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  EXPECT_EQ(e.Ok(), !fall.abgelehnt) << e.Meldung.toStdString();
  EXPECT_EQ(t.Erledigt(nr), !fall.abgelehnt);
  EXPECT_EQ(Dateien(anfrage.Zielordner).isEmpty(), fall.abgelehnt);
  if (fall.abgelehnt) {
    EXPECT_EQ(e.Meldung, QStringLiteral("Die Referenz-Angabe \"R100\" wurde für dieses Konto (IBAN DE89 3704 0044 "
                                        "0532 0130 00) bereits in einer SEPA-Datei verwendet. Die Bank weist eine "
                                        "Datei zurück, deren Kennung sie schon erhalten hat.\r\r"
                                        "Bitte tragen Sie eine neue Referenz-Angabe ein."));
  }
  // The ids by account in its stored form, with the sender that sent them; the first run's stays.
  QString erwartet = QStringLiteral("DE89370400440532013000|R100|1");
  if (!fall.abgelehnt) erwartet += QStringLiteral(",DE02120300000000202051|R100|%1").arg(absender);
  EXPECT_EQ(t.Wert("SELECT group_concat(z, ',') FROM (SELECT IBAN || '|' || Referenz || '|' || AbsenderNr AS z "
                   "FROM GesendeteReferenzen ORDER BY AbsenderNr)").toString(),
            erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Konten, SepaLaufKonto_,
    ::testing::Values(
        Kontofall{"GeloeschterAbsenderNeuAngelegtGleichesKonto", true, QStringLiteral("DE89370400440532013000"), true},
        Kontofall{"GeloeschterAbsenderNeuAngelegtKleinUndMitLeerzeichen", true,
                  QStringLiteral("de89 3704 0044 0532 0130 00"), true},
        Kontofall{"ZweiterAbsenderGleichesKonto", false, QStringLiteral("DE89370400440532013000"), true},
        Kontofall{"ZweiterAbsenderGleichesKontoKleinUndMitLeerzeichen", false,
                  QStringLiteral(" de89 3704 0044 0532 0130 00 "), true},
        Kontofall{"ZweiterAbsenderAnderesKonto", false, QStringLiteral("DE02 1203 0000 0000 2020 51"), false},
        Kontofall{"GeloeschterAbsenderNeuAngelegtAnderesKonto", true, QStringLiteral("DE02120300000000202051"), false}),
    [](const auto& info) { return std::string(info.param.name); });

// A run taken back (its files could not be put in place) removes the ids it noted and nothing else: not the
// same id sent from another account, nor one its own sender record sent from the account it had before.
TEST_F(SepaLaufTest, ZurueckgenommenerLaufEntferntNurSeineReferenzen) {
  ASSERT_FALSE(t.Db().Ausfuehren(
      "INSERT INTO GesendeteReferenzen (IBAN, Referenz, AbsenderNr, Erstellt) VALUES "
      "('DE02120300000000202051', 'R100', 2, '2024-01-02'), ('DE12500105170648489890', 'R100', 1, '2023-05-06'), "
      "('DE89370400440532013000', 'R099', 1, '2024-06-01')"));
  const SqlText alle("SELECT group_concat(z, ',') FROM (SELECT IBAN || '|' || Referenz || '|' || AbsenderNr AS z "
                     "FROM GesendeteReferenzen ORDER BY 1)");
  const QString vorher = t.Wert(alle).toString();
  const qint64 nr = t.Anlegen(LaufTestDatenbank::Auftrag{});
  SepaLaufStoerung stoerung;
  stoerung.Umbenennen = [&](const QString&, const QString&, QString& text) {
    EXPECT_EQ(t.Wert("SELECT count(*) FROM GesendeteReferenzen").toLongLong(), 4);   // noted with the marks
    text = QStringLiteral("Zugriff verweigert");
    return 75;
  };
  const SepaLaufErgebnis e =
      SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(SepaArt::Ueberweisung, {nr}, Zeitpunkt, ziel.Pfad()), &stoerung);
  ASSERT_FALSE(e.Ok());
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("Die Zahlungen bleiben offen"))) << e.Meldung.toStdString();
  EXPECT_FALSE(t.Erledigt(nr));
  EXPECT_EQ(t.Wert(alle).toString(), vorher);

  // The id is free again for the account.
  Gueltig(SepaLauf::Ausfuehren(t.Db(), LaufAnfrage(SepaArt::Ueberweisung, {nr}, Zeitpunkt, ziel.Pfad())), Pain001);
  EXPECT_EQ(t.Wert("SELECT count(*) FROM GesendeteReferenzen WHERE IBAN = 'DE89370400440532013000' AND "
                   "Referenz = 'R100'").toLongLong(), 1);
}

TEST_F(SepaLaufTest, ReferenzSpeichernScheitertOhneMarkierung) {
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  t.Db().SetzeStoerung([](const QString& sql) -> DbFehler {
    if (sql.startsWith(QLatin1String("UPDATE Absender"))) return {8, QStringLiteral("readonly")};
    return {};
  });
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung));
  t.Db().SetzeStoerung({});
  EXPECT_FALSE(e.Ok());
  EXPECT_EQ(e.Fehlernummer, 8);
  EXPECT_EQ(t.AnzahlErledigt(), 0);
  EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty());
}

TEST_F(SepaLaufTest, ZweiterLaufUeberDieselbenZahlungenAendertNichts) {
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  const SepaLaufAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  const SepaLaufErgebnis erster = SepaLauf::Ausfuehren(t.Db(), anfrage);
  ASSERT_TRUE(erster.Ok());
  const QByteArray inhalt = Lesen(erster.Dateien.first());
  const QVariant datum = t.Wert("SELECT group_concat(ErledigtDatum) FROM Zahlungen");

  const SepaLaufErgebnis zweiter = SepaLauf::Ausfuehren(t.Db(), anfrage);
  EXPECT_FALSE(zweiter.Ok());
  EXPECT_TRUE(zweiter.Meldung.startsWith(QStringLiteral("2 der ausgewählten Zahlungen sind inzwischen erledigt")));
  EXPECT_EQ(Lesen(erster.Dateien.first()), inhalt);
  EXPECT_EQ(t.Referenz(), QStringLiteral("R101"));
  EXPECT_EQ(t.Wert("SELECT group_concat(ErledigtDatum) FROM Zahlungen"), datum);
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("SEPAGK.XML")});
}

TEST_F(SepaLaufTest, NurDieGenanntenZahlungenWerdenGeschrieben) {
  const qint64 a = t.Anlegen(LaufTestDatenbank::Auftrag{});
  const qint64 b = t.Anlegen(LaufTestDatenbank::Auftrag{});
  const qint64 lastschrift = t.Anlegen(Lastschrift(1));
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::Ueberweisung);
  anfrage.ZahlungNummern = {b};
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  Gueltig(e, Pain001);
  EXPECT_FALSE(t.Erledigt(a));
  EXPECT_TRUE(t.Erledigt(b));
  // An order of another kind slipped into the list refuses the run.
  anfrage.ZahlungNummern = {a, lastschrift};
  anfrage.Referenz = QStringLiteral("R200");
  EXPECT_FALSE(SepaLauf::Ausfuehren(t.Db(), anfrage).Ok());
  EXPECT_FALSE(t.Erledigt(a));
  EXPECT_FALSE(t.Erledigt(lastschrift));
}

// ---- the bank's schemas --------------------------------------------------------------------------------

// Every file a run can leave (credit transfers; core and B2B, in one file and split; with the remark as prefix;
// the archive copies), in both formats, passes the ISO and the DK schema of its format.
class SepaLaufFormat : public SepaLaufTest, public ::testing::WithParamInterface<SepaFormat> {};

TEST_P(SepaLaufFormat, JedeDateiIstSchemagueltig) {
  t.Wert("UPDATE Absender SET Bemerkung = 'Filiale'");
  struct Fall {
    SepaArt art;
    bool aufteilen;
    int dateien;
  };
  const Fall faelle[] = {{SepaArt::Ueberweisung, false, 1},
                         {SepaArt::BasisLastschrift, false, 1},
                         {SepaArt::BasisLastschrift, true, 4},
                         {SepaArt::FirmenLastschrift, false, 1},
                         {SepaArt::FirmenLastschrift, true, 4}};
  int referenz = 100;
  const SepaFormat format = GetParam();
  {
    for (const Fall& f : faelle) {
      SCOPED_TRACE(testing::Message() << SepaFormate::Nachricht(format, true).toStdString() << " Art " << int(f.art)
                                      << (f.aufteilen ? " aufgeteilt" : ""));
      const bool lastschrift = f.art != SepaArt::Ueberweisung;
      const int basis = f.art == SepaArt::FirmenLastschrift ? 10 : 0;
      for (int i = 0; i < 4; ++i) {
        LaufTestDatenbank::Auftrag a = lastschrift ? Lastschrift(basis + 1 + i) : LaufTestDatenbank::Auftrag{};
        if (i == 1) a.bic.clear();
        if (i == 2) a.name = QStringLiteral("Müller & Söhne <Bau> \"GmbH\"");
        t.Anlegen(a);
      }
      TestOrdner ordner;
      SepaLaufAnfrage l = Anfrage(f.art, f.aufteilen);
      l.Zielordner = ordner.Pfad();
      l.Referenz = QStringLiteral("R%1").arg(referenz);
      referenz += 10;
      l.Optionen.Format = format;
      l.Optionen.DateinameMitBemerkung = true;
      l.Optionen.AutoEinzelReferenz = true;
      l.ArchivSpeichern = true;
      const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), l);
      ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
      EXPECT_EQ(e.Dateien.size(), f.dateien);
      EXPECT_EQ(e.Archivdateien.size(), f.dateien);
      const QString nachricht = SepaFormate::Nachricht(format, lastschrift);
      for (const QString& pfad : e.Dateien + e.Archivdateien) {
        EXPECT_TRUE(QFileInfo(pfad).fileName().startsWith(QStringLiteral("Filiale_"))) << pfad.toStdString();
        const QByteArray inhalt = Lesen(pfad);
        EXPECT_TRUE(inhalt.contains("xmlns=\"urn:iso:std:iso:20022:tech:xsd:" + nachricht.toLatin1() + "\""));
        const QStringList fehler = SchemaPruefung::PruefenInhalt(inhalt, nachricht);
        EXPECT_TRUE(fehler.isEmpty()) << pfad.toStdString() << ": " << fehler.join(QLatin1Char('\n')).toStdString();
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formate, SepaLaufFormat, ::testing::Values(SepaFormat::Pain09, SepaFormat::Pain03),
                         [](const auto& info) { return info.param == SepaFormat::Pain09 ? "pain09" : "pain03"; });

// A file the schemas refuse stops the run before its commit: nothing is marked, no file (and no temporary)
// stays, the run's records are gone, the reference and the sent ids are as before, and the message names the
// file, the place and the first complaint. The same orders are written correctly afterwards.
struct Verfaelschung {
  const char* name;
  int datei;          // index of the spoilt file
  const char* von;
  const char* nach;
  const char* dateiname;
  const char* beschwerde;
};

void PrintTo(const Verfaelschung& v, std::ostream* os) { *os << v.name; }

class SepaLaufVerfaelscht : public SepaLaufTest, public ::testing::WithParamInterface<Verfaelschung> {};

TEST_P(SepaLaufVerfaelscht, NichtsMarkiertUndKeineDatei) {
  const Verfaelschung v = GetParam();
  for (int sequenz : {1, 2, 3, 4}) t.Anlegen(Lastschrift(sequenz));
  Schreiben(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachFolge.XML")), QByteArrayLiteral("alte Datei"));
  SepaLaufStoerung stoerung;
  std::atomic<int> verfaelscht = 0;
  stoerung.Verfaelschen = [&](int datei, QByteArray& block) {
    if (datei == v.datei && block.contains(v.von)) {
      block.replace(v.von, v.nach);
      ++verfaelscht;
    }
  };
  SepaLaufAnfrage l = Anfrage(SepaArt::BasisLastschrift, true);
  l.ArchivSpeichern = true;
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), l, &stoerung);
  EXPECT_EQ(verfaelscht, 1);
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Dateien.isEmpty());
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Datei %1 entspricht nicht dem Schema der Bank (Zeile 1, Spalte ")
                                       .arg(QString::fromUtf8(v.dateiname))))
      << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.contains(QString::fromUtf8(v.beschwerde))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("Es wurde keine SEPA-Datei erstellt und keine Zahlung als erledigt "
                                                "gekennzeichnet.")));
  EXPECT_EQ(t.AnzahlErledigt(), 0);
  EXPECT_EQ(t.Wert("SELECT count(*) FROM Zahlungen WHERE ErledigtDatum IS NOT NULL OR Buchungsdatum IS NOT NULL").toLongLong(), 0);
  EXPECT_EQ(t.Referenz(), QStringLiteral("R100"));
  EXPECT_EQ(t.Wert("SELECT count(*) FROM GesendeteReferenzen").toLongLong(), 0);
  EXPECT_EQ(t.Wert("SELECT count(*) FROM SepaLaufDateien").toLongLong(), 0);
  EXPECT_EQ(Dateien(ziel.Pfad()), QStringList{QStringLiteral("SEPALKBasisMehrfachFolge.XML")});
  EXPECT_EQ(Lesen(ziel.Datei(QStringLiteral("SEPALKBasisMehrfachFolge.XML"))), QByteArrayLiteral("alte Datei"));
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);

  const SepaLaufErgebnis wieder = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::BasisLastschrift, true));
  Gueltig(wieder, Pain008);
  EXPECT_EQ(t.AnzahlErledigt(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Dateien, SepaLaufVerfaelscht,
    ::testing::Values(
        Verfaelschung{"ErsteDateiKeinXmlMehr", 0, "</Document>", "</Dokument>", "SEPALKBasisEinmal.XML",
                      "Opening and ending tag mismatch"},
        Verfaelschung{"DritteDateiFalscherWert", 2, "<SeqTp>RCUR</SeqTp>", "<SeqTp>RCUX</SeqTp>",
                      "SEPALKBasisMehrfachFolge.XML", "Element 'SeqTp'"},
        Verfaelschung{"LetzteDateiAlteVersion", 3, "pain.008.001.08", "pain.008.001.02",
                      "SEPALKBasisMehrfachLetzte.XML", "No matching global declaration"}),
    [](const auto& info) { return std::string(info.param.name); });

// A refusal names the order whose transaction the validator refused (its number and name) and the field, in
// German: the transaction counted in its own file, also the third of the second file of a split run.
TEST_F(SepaLaufTest, VerfaelschterPostenNenntZahlungUndFeld) {
  for (const bool aufteilen : {false, true}) {
    SCOPED_TRACE(aufteilen ? "aufgeteilt" : "eine Datei");
    LaufTestDatenbank t;
    qint64 dora = 0;
    for (const auto& [sequenz, name] : {std::pair{1, "Anna"}, {3, "Berta"}, {3, "Carl"}, {3, "Dora"}, {4, "Emil"}}) {
      LaufTestDatenbank::Auftrag a = Lastschrift(sequenz);
      a.name = QString::fromUtf8(name);
      const qint64 nr = t.Anlegen(a);
      if (a.name == QLatin1String("Dora")) dora = nr;
    }
    SepaLaufStoerung stoerung;
    stoerung.Verfaelschen = [](int, QByteArray& block) { block.replace("<Nm>Dora</Nm>", "<Nm>" + QByteArray(71, 'D') + "</Nm>"); };
    SepaAuswahlAnfrage a;
    a.Art = SepaArt::BasisLastschrift;
    a.Heute = Zeitpunkt.date();
    const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), a);
    const SepaLaufErgebnis e = SepaLauf::Ausfuehren(
        t.Db(), LaufAnfrage(SepaArt::BasisLastschrift, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad(), aufteilen), &stoerung);
    ASSERT_FALSE(e.Ok());
    const QStringList zeilen = e.Meldung.split(QLatin1Char('\r'));
    ASSERT_GE(zeilen.size(), 4) << e.Meldung.toStdString();
    EXPECT_TRUE(zeilen.at(0).startsWith(QStringLiteral("Die Datei %1 entspricht nicht dem Schema der Bank")
                                            .arg(aufteilen ? QStringLiteral("SEPALKBasisMehrfachFolge.XML")
                                                           : QStringLiteral("SEPALKBasis.XML"))))
        << e.Meldung.toStdString();
    EXPECT_EQ(zeilen.at(1), QStringLiteral("Zahlung Nr. %1 (Dora), Feld \"Name\": zu lang (71 Zeichen, erlaubt sind "
                                           "höchstens 70).")
                                .arg(dora));
    EXPECT_TRUE(zeilen.at(3).startsWith(QStringLiteral("Meldung der Prüfung (für den Support): Element 'Nm': [facet "
                                                       "'maxLength']")))
        << e.Meldung.toStdString();
    EXPECT_EQ(t.AnzahlErledigt(), 0);
  }
}

// A run in the older format from 01.12.2026 on is no longer called ready for the bank: the message says the files
// are in the old format and that German banks no longer take it. Before that day, and in the current format,
// the message is as it was.
TEST_F(SepaLaufTest, AltesFormatAbDezember2026NichtBereitFuerDieBank) {
  struct Fall {
    QDate tag;
    SepaFormat format;
    bool aufteilen;
    bool alt;
  };
  for (const Fall& f : {Fall{QDate(2026, 11, 30), SepaFormat::Pain03, false, false},
                        Fall{QDate(2026, 12, 1), SepaFormat::Pain03, false, true},
                        Fall{QDate(2026, 12, 1), SepaFormat::Pain03, true, true},
                        Fall{QDate(2027, 3, 1), SepaFormat::Pain03, false, true},
                        Fall{QDate(2026, 12, 1), SepaFormat::Pain09, false, false}}) {
    SCOPED_TRACE(f.tag.toString(Qt::ISODate).toStdString() + (f.format == SepaFormat::Pain03 ? " alt" : " neu") +
                 (f.aufteilen ? " aufgeteilt" : ""));
    LaufTestDatenbank t;
    TestOrdner ordner;
    const QDateTime zeitpunkt(f.tag, QTime(9, 0));
    Uhr::Festhalten(zeitpunkt);
    for (int sequenz : {1, 3}) t.Anlegen(Lastschrift(sequenz));
    SepaLaufAnfrage l = LaufAnfrage(SepaArt::BasisLastschrift, {1, 2}, zeitpunkt, ordner.Pfad(), f.aufteilen);
    l.Optionen.Format = f.format;
    const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), l);
    Gueltig(e, SepaFormate::Nachricht(f.format, true));
    ASSERT_EQ(e.Dateien.size(), f.aufteilen ? 2 : 1);
    EXPECT_EQ(e.Meldung.contains(QStringLiteral("an Ihre Bank übermittelt werden")), !f.alt) << e.Meldung.toStdString();
    EXPECT_EQ(e.Meldung.contains(SepaFormate::AltesFormatWarnung()), f.alt) << e.Meldung.toStdString();
    if (f.alt)
      EXPECT_TRUE(e.Meldung.startsWith(f.aufteilen ? QStringLiteral("Diese SEPA-Dateien wurden im alten Format "
                                                                    "pain.008.001.02 erstellt:\r\r")
                                                   : QStringLiteral("Diese SEPA-Datei wurde im alten Format "
                                                                    "pain.008.001.02 erstellt:\r\r")))
          << e.Meldung.toStdString();
    for (const QString& datei : e.Dateien) EXPECT_TRUE(e.Meldung.contains(datei));
    EXPECT_EQ(t.AnzahlErledigt(), 2);
  }
}

// Without the bank's schemas the run cannot check its files and writes none.
TEST_F(SepaLaufTest, FehlendesSchemaIstEinLauffehler) {
  t.Anlegen(LaufTestDatenbank::Auftrag{});
  TestOrdner leer;
  SepaLaufAnfrage l = Anfrage(SepaArt::Ueberweisung);
  l.SchemaOrdner = leer.Pfad();
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), l);
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Das Prüfschema \"pain.001.001.09.xsd\" der Bank fehlt oder ist nicht "
                                                  "lesbar:\r")))
      << e.Meldung.toStdString();
  EXPECT_EQ(t.AnzahlErledigt(), 0);
  EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty());
  EXPECT_EQ(t.Wert("SELECT count(*) FROM SepaLaufDateien").toLongLong(), 0);
  EXPECT_EQ(t.Referenz(), QStringLiteral("R100"));
}

// ---- folder helpers -----------------------------------------------------------------------------------

TEST(SepaLaufOrdner, SchreibtestUndRestdateien) {
  TestOrdner ordner;
  Schreiben(ordner.Datei(QStringLiteral("SEPAGK.XML")), QByteArrayLiteral("bleibt"));
  int nummer = -1;
  QString text;
  EXPECT_TRUE(SepaLauf::Schreibtest(ordner.Pfad(), nummer, text));
  EXPECT_EQ(nummer, 0);
  EXPECT_EQ(Dateien(ordner.Pfad()), QStringList{QStringLiteral("SEPAGK.XML")});
  EXPECT_EQ(Lesen(ordner.Datei(QStringLiteral("SEPAGK.XML"))), QByteArrayLiteral("bleibt"));

  EXPECT_FALSE(SepaLauf::Schreibtest(ordner.Datei(QStringLiteral("fehlt")), nummer, text));
  EXPECT_EQ(nummer, 76);

  Schreiben(ordner.Datei(QStringLiteral("SEPAGK.XML.1a2b3c4d.sepatmp")), QByteArrayLiteral("halb"));
  EXPECT_EQ(SepaLauf::Restdateien(ordner.Pfad()),
            QStringList{QDir::toNativeSeparators(ordner.Datei(QStringLiteral("SEPAGK.XML.1a2b3c4d.sepatmp")))});
}

}  // namespace
