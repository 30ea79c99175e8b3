// The SEPA run at its edges, seen only through its entry point, the database and the files it writes:
// another workstation changing the orders while the run writes, runs larger than one read block, and
// references that can no longer be counted up.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHash>

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
const QString Laufdatum = QStringLiteral("2024-06-05");
// The done date another workstation writes, so its marks stay apart from the run's.
const QString FremdesDatum = QStringLiteral("2024-06-01");

QByteArray Lesen(const QString& pfad) {
  QFile f(pfad);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Dateien(const QString& ordner) { return QDir(ordner).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

// "112.5" or ".05" as cents.
int64_t Cent(const QString& betrag) {
  const QStringList teile = betrag.split(QLatin1Char('.'));
  int64_t cent = teile.at(0).isEmpty() ? 0 : teile.at(0).toLongLong() * 100;
  if (teile.size() > 1) cent += teile.at(1).leftJustified(2, QLatin1Char('0')).toLongLong();
  return cent;
}

// One transaction of a written file.
struct Buchung {
  QString betrag;
  QString iban;
  QString text;
  QString datei;
};

// The transactions of the files by end-to-end id (each order carries "Z" and its number). An id that
// appears twice, in one file or in two, is a failure of its own.
QHash<QString, Buchung> Buchungen(const QStringList& dateien) {
  QHash<QString, Buchung> ergebnis;
  for (const QString& datei : dateien) {
    const XPfad x(Lesen(datei));
    EXPECT_TRUE(x.Gelesen()) << datei.toStdString();
    const QStringList ids = x.Texte(QStringLiteral("//p:EndToEndId"));
    const QStringList betraege = x.Texte(QStringLiteral("//p:InstdAmt"));
    const QStringList ibans =
        x.Texte(QStringLiteral("//p:CdtTrfTxInf/p:CdtrAcct/p:Id/p:IBAN | //p:DrctDbtTxInf/p:DbtrAcct/p:Id/p:IBAN"));
    const QStringList texte = x.Texte(QStringLiteral("//p:Ustrd"));
    EXPECT_EQ(betraege.size(), ids.size());
    EXPECT_EQ(ibans.size(), ids.size());
    EXPECT_EQ(texte.size(), ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i) {
      EXPECT_FALSE(ergebnis.contains(ids.at(i))) << "zweimal geschrieben: " << ids.at(i).toStdString();
      ergebnis.insert(ids.at(i), Buchung{betraege.value(i), ibans.value(i), texte.value(i), datei});
    }
  }
  return ergebnis;
}

std::unique_ptr<Datenbank> DateiDatenbank(const QString& pfad) {
  DbFehler f;
  auto db = Datenbank::Oeffnen(pfad, f, true);
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  if (db) {
    EXPECT_FALSE(db->Ausfuehren("PRAGMA synchronous = OFF"));  // a test file needs no flush to disk
  }
  return db;
}

// A database file of its own, so that a second connection can reach it as another workstation would.
class SepaLaufGrenzen : public ::testing::Test {
 protected:
  void SetUp() override { Uhr::Festhalten(Zeitpunkt); }
  void TearDown() override { Uhr::Setzen({}); }

  // Every order gets its number as end-to-end id, so each transaction of a file names its order.
  void IdsVergeben() { ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET EinzelReferenz = 'Z' || ZahlungNr")); }

  SepaLaufAnfrage Anfrage(SepaArt art, const QList<qint64>& nummern, bool aufteilen = false) {
    return LaufAnfrage(art, nummern, Zeitpunkt, ziel.Pfad(), aufteilen);
  }

  // What holds after any run: a refused run leaves no file, marks nothing and keeps the reference; a
  // finished one has written each of its orders once, with the amount and IBAN stored for it, of the
  // sender and kind of the run, marked exactly those done and stored the next reference.
  void LaufStimmig(const SepaLaufErgebnis& e, SepaArt art = SepaArt::Ueberweisung) {
    const QString artKz = art == SepaArt::Ueberweisung ? QStringLiteral("G") : QStringLiteral("L");
    const QString format = SepaFormate::Nachricht(SepaFormate::Vorgabe, art != SepaArt::Ueberweisung);
    QHash<qint64, std::pair<int64_t, QString>> markiert;  // ZahlungNr -> amount in cents, IBAN
    t.Db().Abfragen("SELECT ZahlungNr, ZahlungGesamt, IBAN, AbsenderNr, Art FROM Zahlungen "
                    "WHERE Erledigt = 1 AND ErledigtDatum = ?",
                    {Laufdatum}, [&](const Zeile& z) {
                      EXPECT_EQ(z.Wert(3).toInt(), 1) << "Zahlung " << z.Wert(0).toLongLong();
                      EXPECT_EQ(z.Wert(4).toString(), artKz) << "Zahlung " << z.Wert(0).toLongLong();
                      markiert.insert(z.Wert(0).toLongLong(), {z.Wert(1).toLongLong() / 100, z.Wert(2).toString()});
                      return true;
                    });
    if (!e.Ok()) {
      EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty()) << Dateien(ziel.Pfad()).join(QLatin1Char(' ')).toStdString();
      EXPECT_TRUE(markiert.isEmpty()) << markiert.size() << " Zahlungen markiert";
      EXPECT_EQ(t.Referenz(), QStringLiteral("R100"));
      return;
    }
    for (const QString& pfad : e.Dateien) {
      const QStringList fehler = SchemaPruefung::Pruefen(pfad, format);
      EXPECT_TRUE(fehler.isEmpty()) << fehler.join(QLatin1Char('\n')).toStdString();
    }
    const QHash<QString, Buchung> buchungen = Buchungen(e.Dateien);
    EXPECT_EQ(buchungen.size(), markiert.size());
    EXPECT_EQ(e.Anzahl, markiert.size());
    for (auto it = buchungen.cbegin(); it != buchungen.cend(); ++it) {
      const qint64 nr = it.key().mid(1).toLongLong();
      ASSERT_TRUE(markiert.contains(nr)) << "geschrieben, aber nicht markiert: " << it.key().toStdString();
      EXPECT_EQ(Cent(it->betrag), markiert.value(nr).first) << "Zahlung " << nr;
      EXPECT_EQ(it->iban, markiert.value(nr).second) << "Zahlung " << nr;
    }
    EXPECT_EQ(t.Referenz(), e.NaechsteReferenz);
    EXPECT_NE(t.Referenz(), QStringLiteral("R100"));
  }

  TestOrdner daten;
  const QString datei = daten.Datei(QStringLiteral("TamoSEPA.db"));
  LaufTestDatenbank t{DateiDatenbank(datei)};
  TestOrdner ziel;
};

// ---- another workstation between reading and marking ----------------------------------------------------

// What the other workstation does to one order of the run.
struct Fremdaenderung {
  const char* name;
  SqlText sql;  // its one parameter is the order's number
  bool betrifftDenLauf = true;  // false: a change beside the run's orders, which must not stop it
  bool eigeneVerbindung = false;  // made through the run's own connection, which no data version shows
};

void PrintTo(const Fremdaenderung& f, std::ostream* os) { *os << f.name; }

class ZweiterArbeitsplatz : public SepaLaufGrenzen, public ::testing::WithParamInterface<Fremdaenderung> {};

TEST_P(ZweiterArbeitsplatz, AenderungZwischenLesenUndMarkieren) {
  const Fremdaenderung& fall = GetParam();
  QList<qint64> nummern;
  LaufTestDatenbank::Auftrag a;
  for (const int64_t cent : {10000, 25050, 4200}) {
    a.zeilenCent = {cent};
    nummern << t.Anlegen(a);
  }
  LaufTestDatenbank::Auftrag ausserhalb;  // an open order of the sender that this run does not carry
  ausserhalb.zeilenCent = {777};
  const qint64 andereZahlung = t.Anlegen(ausserhalb);
  IdsVergeben();
  const qint64 mitte = nummern.at(1);

  std::unique_ptr<Datenbank> andere = DateiDatenbank(datei);
  ASSERT_TRUE(andere);
  DbFehler f;
  andere->Wert("PRAGMA busy_timeout = 50", {}, f);  // a run that holds the database refuses it at once
  ASSERT_FALSE(f) << f.Beschreibung.toStdString();
  bool geaendert = false;
  int aufrufe = 0;
  SepaLaufStoerung stoerung;
  stoerung.Markieren = [&](QString&) {
    ++aufrufe;
    Datenbank& wer = fall.eigeneVerbindung ? t.Db() : *andere;
    geaendert = !wer.Ausfuehren(fall.sql, {fall.betrifftDenLauf ? mitte : andereZahlung});
    return 0;
  };
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung, nummern), &stoerung);
  EXPECT_EQ(aufrufe, 1);
  LaufStimmig(e);
  EXPECT_EQ(t.Db().TransaktionsTiefe(), 0);
  EXPECT_TRUE(SepaLauf::Restdateien(ziel.Pfad()).isEmpty());
  if (!geaendert || !fall.betrifftDenLauf) {
    ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
    EXPECT_EQ(e.Anzahl, 3);
    return;
  }
  // The changed order is never written: either the run stopped, or it left that order out. A mark
  // made meanwhile stays as it was made.
  EXPECT_FALSE(Buchungen(e.Dateien).contains(QStringLiteral("Z%1").arg(mitte)));
  const QVariant erledigtDatum = t.Wert("SELECT ErledigtDatum FROM Zahlungen WHERE ZahlungNr = ?", {mitte});
  if (!erledigtDatum.isNull()) {
    EXPECT_EQ(erledigtDatum.toString(), FremdesDatum);
  }
  if (!e.Ok()) {
    EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die SEPA-Datei(en) konnte(n) wegen Fehler nicht erstellt werden.")))
        << e.Meldung.toStdString();
  }
}

// The other workstation's done date is FremdesDatum.
INSTANTIATE_TEST_SUITE_P(
    Faelle, ZweiterArbeitsplatz,
    ::testing::Values(
        Fremdaenderung{"SchonErledigt",
                       "UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = '2024-06-01' WHERE ZahlungNr = ?"},
        Fremdaenderung{"Geloescht", "DELETE FROM Zahlungen WHERE ZahlungNr = ?"},
        Fremdaenderung{"BetragGeaendert", "UPDATE Zahlungen SET ZahlungGesamt = 3000000 WHERE ZahlungNr = ?"},
        Fremdaenderung{"IbanGeaendert", "UPDATE Zahlungen SET IBAN = 'DE02120300000000202051' WHERE ZahlungNr = ?"},
        Fremdaenderung{"AndererAbsender", "UPDATE Zahlungen SET AbsenderNr = 2 WHERE ZahlungNr = ?"},
        Fremdaenderung{"ZurLastschriftGemacht", "UPDATE Zahlungen SET Art = 'L', MandatSequenz = 1 WHERE ZahlungNr = ?"},
        Fremdaenderung{"AndereZahlungGeaendert", "UPDATE Zahlungen SET ZahlungGesamt = 99990000 WHERE ZahlungNr = ?",
                       false},
        // The marking itself refuses an order that is no longer open, whoever changed it.
        Fremdaenderung{"EigeneVerbindungSchonErledigt",
                       "UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = '2024-06-01' WHERE ZahlungNr = ?", true, true},
        Fremdaenderung{"EigeneVerbindungGeloescht", "DELETE FROM Zahlungen WHERE ZahlungNr = ?", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Another workstation changes the sender while the run writes (after the run read it): the file would carry the
// old account, name or creditor identifier, so the run stops; a change of another sender, or of what goes into
// no file, does not stop it.
TEST_F(SepaLaufGrenzen, AbsenderZwischenLesenUndMarkierenGeaendert) {
  struct Fall {
    const char* name;
    const char* sql;
    SepaArt art;
    bool stoppt;
  };
  const Fall faelle[] = {
      {"IBAN", "UPDATE Absender SET IBAN = 'DE02120300000000202051' WHERE AbsenderNr = 1", SepaArt::Ueberweisung, true},
      {"BIC", "UPDATE Absender SET BIC = 'BYLADEM1001' WHERE AbsenderNr = 1", SepaArt::Ueberweisung, true},
      {"Name", "UPDATE Absender SET Name = 'Andere GmbH' WHERE AbsenderNr = 1", SepaArt::Ueberweisung, true},
      {"Glaeubiger-ID", "UPDATE Absender SET \"GläubigerID\" = 'DE02ZZZ00000000001' WHERE AbsenderNr = 1",
       SepaArt::BasisLastschrift, true},
      {"anderer Absender", "UPDATE Absender SET IBAN = 'DE02120300000000202051' WHERE AbsenderNr = 2",
       SepaArt::Ueberweisung, false},
      {"Bank (nicht in der Datei)", "UPDATE Absender SET Bank = 'Neue Bank' WHERE AbsenderNr = 1",
       SepaArt::Ueberweisung, false},
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.name);
    ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM Zahlungen"));
    ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM GesendeteReferenzen"));
    ASSERT_FALSE(t.Db().Ausfuehren(
        "UPDATE Absender SET Name = 'Tamo Handel GmbH & Co. KG', IBAN = 'DE89370400440532013000', BIC = 'COBADEFFXXX', "
        "\"GläubigerID\" = 'DE98ZZZ09999999999', ReferenzNr = 'R100', Bank = NULL WHERE AbsenderNr = 1"));
    ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Absender SET IBAN = NULL WHERE AbsenderNr = 2"));
    for (const QString& name : Dateien(ziel.Pfad())) QFile::remove(QDir(ziel.Pfad()).filePath(name));
    QList<qint64> nummern;
    for (int i = 0; i < 2; ++i)
      nummern << t.Anlegen(fall.art == SepaArt::Ueberweisung ? LaufTestDatenbank::Auftrag{} : Lastschrift(1));
    IdsVergeben();
    std::unique_ptr<Datenbank> andere = DateiDatenbank(datei);
    ASSERT_TRUE(andere);
    SepaLaufStoerung stoerung;
    stoerung.Markieren = [&](QString&) {
      EXPECT_TRUE(andere->SkriptAusfuehren(QString::fromUtf8(fall.sql)).Ok());
      return 0;
    };
    const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(fall.art, nummern), &stoerung);
    LaufStimmig(e, fall.art);
    EXPECT_EQ(!e.Ok(), fall.stoppt) << e.Meldung.toStdString();
    if (fall.stoppt) EXPECT_TRUE(e.Meldung.contains(QStringLiteral("Absender"))) << e.Meldung.toStdString();
  }
}

// Another workstation's run collects a mandate of this run's orders after they were read (before this run
// holds the lock): the history they were judged by is stale, so the run stops, whether it read the orders
// itself or took the pre-check's. A collection of another mandate meanwhile does not stop it.
TEST_F(SepaLaufGrenzen, MandatZwischenLesenUndMarkierenEingezogen) {
  LaufTestDatenbank::Auftrag einmal = Lastschrift(1);
  einmal.mandatReferenz = QStringLiteral("CASE-46");
  const QList<qint64> nummern{t.Anlegen(einmal), t.Anlegen(Lastschrift(3))};
  IdsVergeben();
  std::unique_ptr<Datenbank> andere = DateiDatenbank(datei);
  ASSERT_TRUE(andere);
  struct Fall {
    const char* name;
    QString referenz;   // of the collection the other workstation marks done
    bool vorpruefung;   // the run takes the pre-check's orders
    bool haelt;
  };
  for (const Fall& fall : {Fall{"GleichesMandatAndereSchreibung", QStringLiteral("case-46"), false, true},
                           Fall{"GleichesMandatNachVorpruefung", QStringLiteral("CASE-46"), true, true},
                           Fall{"AnderesMandat", QStringLiteral("ANDERES-1"), false, false},
                           Fall{"AnderesMandatNachVorpruefung", QStringLiteral("ANDERES-2"), true, false}}) {
    SCOPED_TRACE(fall.name);
    ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL "
                                   "WHERE ErledigtDatum = ?",
                                   {Laufdatum}));
    ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM Zahlungen WHERE ErledigtDatum = ?", {FremdesDatum}));
    ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Absender SET ReferenzNr = 'R100'"));
    ASSERT_FALSE(t.Db().Ausfuehren("DELETE FROM GesendeteReferenzen"));   // each case a first run
    for (const QString& d : Dateien(ziel.Pfad())) ASSERT_TRUE(QFile::remove(QDir(ziel.Pfad()).filePath(d)));
    SepaLaufAnfrage anfrage = Anfrage(SepaArt::BasisLastschrift, nummern);
    if (fall.vorpruefung) {
      SepaAuswahlAnfrage a;
      a.Art = SepaArt::BasisLastschrift;
      a.Heute = Zeitpunkt.date();
      const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), a);
      ASSERT_EQ(auswahl.ZahlungNummern, nummern) << auswahl.Meldung.toStdString();
      anfrage.Auftraege = auswahl.Auftraege;
    }
    SepaLaufStoerung stoerung;
    stoerung.Markieren = [&](QString&) {
      LaufTestDatenbank::Auftrag frueher = Lastschrift(1);
      frueher.mandatReferenz = fall.referenz;
      frueher.erledigt = true;
      frueher.erledigtDatum = QDate::fromString(FremdesDatum, Qt::ISODate);
      frueher.buchungsdatum = frueher.erledigtDatum;
      LaufTestDatenbank::Anlegen(*andere, frueher);
      return 0;
    };
    const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage, &stoerung);
    LaufStimmig(e, SepaArt::BasisLastschrift);
    if (fall.haelt) {
      EXPECT_FALSE(e.Ok());
      EXPECT_TRUE(e.Meldung.contains(QStringLiteral("Ein Mandat der ausgewählten Zahlungen ist inzwischen eingezogen worden.")))
          << e.Meldung.toStdString();
    } else {
      EXPECT_TRUE(e.Ok()) << e.Meldung.toStdString();
      EXPECT_EQ(e.Anzahl, 2);
    }
  }
}

// ---- more orders than one read block -------------------------------------------------------------------

// Orders are read in blocks of 500 ids; 1,001 orders end in a block of one.
TEST_F(SepaLaufGrenzen, TausendundeinAuftragInEinemLauf) {
  QList<qint64> nummern;
  int64_t summeCent = 0;
  {
    Transaktion transaktion(t.Db());
    LaufTestDatenbank::Auftrag a;
    for (int i = 1; i <= 1001; ++i) {
      a.zeilenCent = {10000 + i, i};
      summeCent += 10000 + 2 * i;
      nummern << t.Anlegen(a);
    }
    IdsVergeben();
    ASSERT_FALSE(transaktion.Commit());
  }
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung, nummern));
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  EXPECT_EQ(e.Anzahl, 1001);
  LaufStimmig(e);
  EXPECT_EQ(t.AnzahlErledigt(), 1001);

  const XPfad x(Lesen(e.Dateien.value(0)));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("1001"));
  EXPECT_EQ(Cent(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum"))), summeCent);
  EXPECT_EQ(Cent(x.Text(QStringLiteral("//p:PmtInf/p:CtrlSum"))), summeCent);
  // Every order with its own two lines, the ones at the block edges included.
  const QHash<QString, Buchung> buchungen = Buchungen(e.Dateien);
  ASSERT_EQ(buchungen.size(), 1001);
  for (const qint64 nr : nummern)
    EXPECT_EQ(buchungen.value(QStringLiteral("Z%1").arg(nr)).text,
              QStringLiteral("Zeile 1 von %1 Zeile 2 von %1").arg(nr));
}

// ---- references counted up ------------------------------------------------------------------------------

// A split run gives each further file the reference counted up; the message id holds 35 characters.
struct Referenzfall {
  const char* name;
  bool aufteilen;
  QList<int> sequenzen;      // one direct debit per entry
  QString referenz;
  QStringList nachrichtenIds;  // of the files in order; empty: the run is refused
  QString naechste;            // empty: not looked at
};

void PrintTo(const Referenzfall& f, std::ostream* os) { *os << f.name; }

class Referenzzaehlung : public SepaLaufGrenzen, public ::testing::WithParamInterface<Referenzfall> {};

TEST_P(Referenzzaehlung, NachrichtenIdsUndNaechsteReferenz) {
  const Referenzfall& fall = GetParam();
  QList<qint64> nummern;
  for (const int sequenz : fall.sequenzen) nummern << t.Anlegen(Lastschrift(sequenz));
  IdsVergeben();
  SepaLaufAnfrage anfrage = Anfrage(SepaArt::BasisLastschrift, nummern, fall.aufteilen);
  anfrage.Referenz = fall.referenz;
  ASSERT_FALSE(t.Db().Ausfuehren("UPDATE Absender SET ReferenzNr = ? WHERE AbsenderNr = 1", {fall.referenz}));

  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  if (fall.nachrichtenIds.isEmpty()) {
    EXPECT_FALSE(e.Ok());
    EXPECT_TRUE(e.Meldung.contains(QStringLiteral("kann für die weiteren SEPA-Dateien nicht hochgezählt werden")))
        << e.Meldung.toStdString();
    EXPECT_TRUE(Dateien(ziel.Pfad()).isEmpty());
    EXPECT_EQ(t.AnzahlErledigt(), 0);
    EXPECT_EQ(t.Referenz(), fall.referenz);
    return;
  }
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();
  QStringList ids;
  for (const QString& datei : e.Dateien) ids << XPfad(Lesen(datei)).Text(QStringLiteral("//p:GrpHdr/p:MsgId"));
  EXPECT_EQ(ids, fall.nachrichtenIds);
  EXPECT_EQ(e.Referenz, fall.nachrichtenIds.last());
  if (!fall.naechste.isEmpty()) {
    EXPECT_EQ(e.NaechsteReferenz, fall.naechste);
  }
  LaufStimmig(e, SepaArt::BasisLastschrift);  // also: the stored reference is the next one
}

const QString Neun34 = QString(34, QLatin1Char('9'));
const QString Neun35 = QString(35, QLatin1Char('9'));
const QString Eins0_34 = QLatin1Char('1') + QString(34, QLatin1Char('0'));

INSTANTIATE_TEST_SUITE_P(
    Faelle, Referenzzaehlung,
    ::testing::Values(
        // 34 nines count up to 35 characters: still a message id.
        Referenzfall{"GezaehltAufGenau35Zeichen", true, {2, 3}, Neun34, {Neun34, Eins0_34},
                     QLatin1Char('1') + QString(33, QLatin1Char('0')) + QLatin1Char('1')},
        // 35 nines would need 36: the run stops before anything is written.
        Referenzfall{"Gezaehlt36Zeichen", true, {2, 3}, Neun35, {}, {}},
        Referenzfall{"Gezaehlt36ZeichenAmEnde", true, {2, 3}, QStringLiteral("Z") + Neun34, {}, {}},
        // One group only: nothing is counted inside the run.
        Referenzfall{"EineGruppe35Zeichen", true, {2, 2}, Neun35, {Neun35}, {}},
        // Past the largest 64-bit number the count goes on in decimal text, never back or around.
        Referenzfall{"UeberDieGroessteZahl", true, {1, 2, 4}, QStringLiteral("9223372036854775806"),
                     {QStringLiteral("9223372036854775806"), QStringLiteral("9223372036854775807"),
                      QStringLiteral("9223372036854775808")},
                     QStringLiteral("9223372036854775809")},
        Referenzfall{"OhneAufteilungGroessteZahl", false, {1, 2}, QStringLiteral("9223372036854775807"),
                     {QStringLiteral("9223372036854775807")}, QStringLiteral("9223372036854775808")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// Another workstation's run (another sender record of the same account) with the same reference over other orders
// finishes after this run checked the reference, before this one holds the lock: the message id may not go to the
// bank twice, and the bookkeeper is told why in words (not by the database's key violation).
TEST_F(SepaLaufGrenzen, ReferenzInzwischenVonAnderemLaufGesendet) {
  const QList<qint64> nummern{t.Anlegen(LaufTestDatenbank::Auftrag{})};
  IdsVergeben();
  std::unique_ptr<Datenbank> andere = DateiDatenbank(datei);
  ASSERT_TRUE(andere);
  SepaLaufStoerung stoerung;
  stoerung.Markieren = [&](QString&) {
    EXPECT_FALSE(andere->Ausfuehren("INSERT INTO GesendeteReferenzen (IBAN, Referenz, AbsenderNr, Erstellt) "
                                    "VALUES ('DE89370400440532013000', 'R100', 2, '2024-06-05')"));
    return 0;
  };
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), Anfrage(SepaArt::Ueberweisung, nummern), &stoerung);
  LaufStimmig(e);
  ASSERT_FALSE(e.Ok());
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("Die Referenz-Angabe \"R100\" wurde für dieses Konto (IBAN DE89 3704 0044 0532 0130 00) "
                                              "bereits")))
      << e.Meldung.toStdString();
}
