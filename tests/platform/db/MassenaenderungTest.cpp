// One pass over all rows of a recordset: one read, one UPDATE by row id per changed row.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QStringList>

#include <algorithm>

#include "platform/db/Massenaenderung.h"
#include "platform/db/Recordset.h"

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }

class MassenaenderungTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = Datenbank::InSpeicher();
    ASSERT_TRUE(db->SkriptAusfuehren(T("CREATE TABLE Kunden (Nr TEXT(10) NOT NULL PRIMARY KEY, Name TEXT(20), "
                                       "Ort TEXT(5), Notiz MEMO);"
                                       "CREATE TABLE Orte (Ort TEXT(5), Land TEXT(20));"
                                       "INSERT INTO Orte VALUES ('Köln', 'DE');"))
                    .Ok());
    // row ids in another order than the names: the pass goes by the table, the recordset by name
    Kunde("K3", "Anton", QVariant(T("Köln")), QVariant());
    Kunde("K1", "Zander", QVariant(QByteArray("12345")), QVariant(T("")));   // Ort not stored as text
    Kunde("K2", "Müller", QVariant(), QVariant(T("alt")));
  }
  void Kunde(const char* nr, const char* name, const QVariant& ort, const QVariant& notiz) {
    ASSERT_TRUE(db->Ausfuehren("INSERT INTO Kunden (Nr, Name, Ort, Notiz) VALUES (?, ?, ?, ?)",
                               {T(nr), T(name), ort, notiz})
                    .Ok());
  }
  std::unique_ptr<Recordset> Oeffnen(const char* quelle = "Kunden", const Bedingung& b = {}) {
    Abfrage a;
    a.quelle = SqlText::Bezeichner(T(quelle));
    a.bedingung = b;
    a.sortierung = "Name";
    DbFehler f;
    auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
    EXPECT_TRUE(rs) << f.Beschreibung.toStdString();
    return rs;
  }
  std::unique_ptr<Massenaenderung> Lauf(Recordset& rs, const QStringList& felder = {T("Name"), T("Ort"), T("Notiz")}) {
    DbFehler f;
    auto m = Massenaenderung::Oeffnen(rs, felder, f);
    EXPECT_TRUE(m) << f.Beschreibung.toStdString();
    return m;
  }
  // Nr|Name|Ort(type)|Notiz(type) of every row by number.
  QStringList Tabelle() {
    QStringList z;
    db->Abfragen("SELECT Nr, Name, ifnull(Ort, '') || '(' || typeof(Ort) || ')', ifnull(Notiz, '<null>') FROM Kunden ORDER BY Nr",
                 {}, [&](const Zeile& r) {
                   z << QStringList{r.Wert(0).toString(), r.Wert(1).toString(), r.Wert(2).toString(),
                                    r.Wert(3).toString()}
                            .join(QLatin1Char('|'));
                   return true;
                 });
    return z;
  }
  qint64 Aenderungen() { return sqlite3_total_changes64(db->Handle()); }

  std::unique_ptr<Datenbank> db;
};

TEST_F(MassenaenderungTest, LiestJedeZeileDesRecordsetsEinmalMitDenTextenDieErZeigt) {
  auto rs = Oeffnen();
  auto m = Lauf(*rs);
  QStringList gelesen;
  while (m->Naechste()) {
    EXPECT_FALSE(m->Geloescht());
    EXPECT_EQ(m->Text(0), rs->WertAn(m->Zeile(), rs->SpaltenIndex(T("Name"))).toString());
    gelesen << QStringList{m->Text(0), m->Text(1), m->Text(2)}.join(QLatin1Char('|'));
  }
  EXPECT_TRUE(m->Fehler().Ok());
  // table order; Null and the empty text both read as empty, a blob as its text
  EXPECT_EQ(gelesen, (QStringList{T("Anton|Köln|"), T("Zander|12345|"), T("Müller||alt")}));
  EXPECT_EQ(m->Zeile(), -1);
  EXPECT_FALSE(m->Naechste());
}

TEST_F(MassenaenderungTest, SchreibtNurWasSichAendertUndNurZeilenDesRecordsets) {
  auto rs = Oeffnen("Kunden", Bedingung("Name <> ?", {T("Anton")}));
  const QString vorher = rs->Text(T("Name"));   // fills the recordset's cache
  auto m = Lauf(*rs);
  ASSERT_TRUE(db->BeginTrans().Ok());
  const qint64 start = Aenderungen();
  int zeilen = 0;
  while (m->Naechste()) {
    ++zeilen;
    // the same name, a text over the blob "12345", "alt" again / a new note
    const QString notiz = m->Text(2) == T("alt") ? T("alt") : T("neu");
    ASSERT_TRUE(m->Schreiben({m->Text(0), m->Text(1), notiz}).Ok());
  }
  EXPECT_EQ(zeilen, 2) << "Anton ist nicht in der Sicht";
  // Zander: Ort stored as a blob becomes text, Notiz '' -> 'neu'; Müller: Ort Null -> '', nothing else
  EXPECT_EQ(m->Geschrieben(), 2);
  EXPECT_EQ(Aenderungen() - start, 2);
  m->Abschliessen();
  ASSERT_TRUE(db->CommitTrans().Ok());
  EXPECT_EQ(Tabelle(), (QStringList{T("K1|Zander|12345(text)|neu"), T("K2|Müller|(text)|alt"),
                                    T("K3|Anton|Köln(text)|<null>")}));
  // the recordset shows the table again, in its order
  EXPECT_EQ(rs->RecordCount(), 2);
  rs->MoveLast();
  EXPECT_EQ(vorher, T("Müller"));
  EXPECT_EQ(rs->Text(T("Notiz")), T("neu"));
}

TEST_F(MassenaenderungTest, EineZeileOhneAenderungWirdNichtGeschrieben) {
  auto rs = Oeffnen();
  auto m = Lauf(*rs);
  const qint64 start = Aenderungen();
  while (m->Naechste()) {
    // unchanged texts, or fields left out
    ASSERT_TRUE(m->Schreiben({m->Text(0), std::nullopt, m->Text(2) == T("alt") ? std::optional(T("alt")) : std::nullopt})
                    .Ok());
  }
  EXPECT_EQ(m->Geschrieben(), 0);
  EXPECT_EQ(Aenderungen(), start);
}

TEST_F(MassenaenderungTest, TexteWerdenAnDerFeldgroesseGeprueft) {
  auto rs = Oeffnen("Kunden", Bedingung("Nr = ?", {T("K2")}));
  auto m = Lauf(*rs);
  ASSERT_TRUE(m->Naechste());
  // Ort is TEXT(5): five characters (umlauts count once) fit, six do not; Notiz has no size
  const DbFehler zuLang = m->Schreiben({std::nullopt, T("Mölln1"), T("x").repeated(500)});
  EXPECT_EQ(zuLang.Nummer, DbFehlerNr::FeldZuKlein);
  EXPECT_EQ(zuLang.Beschreibung, T("Das Feld Ort ist zu klein für den Wert (6 Zeichen, höchstens 5)."));
  EXPECT_EQ(m->Geschrieben(), 0);
  EXPECT_EQ(Tabelle().at(1), T("K2|Müller|(null)|alt")) << "nichts geschrieben";
  ASSERT_TRUE(m->Schreiben({std::nullopt, T("Mölln"), T("x").repeated(500)}).Ok());
  EXPECT_TRUE(Tabelle().at(1).startsWith(T("K2|Müller|Mölln(text)|xxx")));
}

TEST_F(MassenaenderungTest, GeloeschteZeilenKommenZuletztUndLassenSichNichtSchreiben) {
  auto rs = Oeffnen();
  ASSERT_TRUE(db->Ausfuehren("DELETE FROM Kunden WHERE Nr = 'K1'").Ok());
  auto m = Lauf(*rs);
  QStringList namen;
  while (m->Naechste()) {
    if (!m->Geloescht()) {
      namen << m->Text(0);
      continue;
    }
    EXPECT_EQ(rs->SchluesselAn(m->Zeile()), rs->SchluesselAn(2)) << "Zander ist die dritte Zeile der Sicht";
    EXPECT_EQ(m->Text(0), QString());
    const DbFehler f = m->Schreiben({});
    EXPECT_EQ(f.Nummer, DbFehlerNr::DatensatzGeloescht);
    EXPECT_EQ(f.Beschreibung, T("Der Datensatz wurde gelöscht"));
    namen << T("<gelöscht>");
  }
  EXPECT_EQ(namen, (QStringList{T("Anton"), T("Müller"), T("<gelöscht>")}));
}

TEST_F(MassenaenderungTest, EinFehlschlagDesUpdatesWirdGemeldet) {
  ASSERT_TRUE(db->Ausfuehren("CREATE TEMP TRIGGER gesperrt BEFORE UPDATE ON Kunden WHEN OLD.Nr = 'K1' "
                             "BEGIN SELECT RAISE(ABORT, 'K1 ist gesperrt'); END")
                  .Ok());
  auto rs = Oeffnen();
  auto m = Lauf(*rs);
  QStringList ergebnisse;
  while (m->Naechste()) ergebnisse << m->Schreiben({T("X")}).Beschreibung;
  EXPECT_EQ(ergebnisse, (QStringList{QString(), T("K1 ist gesperrt"), QString()}));
  EXPECT_EQ(m->Geschrieben(), 2);
}

// More rows than one read takes at a time, writes between the reads, rows of the view spread over the
// table and a few deleted after the view was read: every row of the view comes once, the deleted last.
TEST_F(MassenaenderungTest, VieleZeilenKommenJedeGenauEinmal) {
  Transaktion t(*db);
  for (int i = 0; i < 2000; ++i)
    ASSERT_TRUE(db->Ausfuehren("INSERT INTO Kunden (Nr, Name) VALUES (?, ?)", {QStringLiteral("N%1").arg(i), QStringLiteral("n%1").arg(i % 3)}).Ok());
  ASSERT_TRUE(t.Commit().Ok());
  auto rs = Oeffnen("Kunden", Bedingung("Name = ?", {T("n1")}));
  const int anzahl = rs->RecordCount();
  ASSERT_EQ(anzahl, 667);
  ASSERT_TRUE(db->Ausfuehren("DELETE FROM Kunden WHERE Nr IN ('N1', 'N1999')").Ok());
  auto m = Lauf(*rs, {T("Notiz")});
  std::vector<int> gesehen(anzahl, 0);
  int geloescht = 0;
  while (m->Naechste()) {
    ++gesehen[m->Zeile()];
    if (m->Geloescht()) {
      ++geloescht;
      continue;
    }
    ASSERT_TRUE(m->Schreiben({QStringLiteral("Zeile %1").arg(m->Zeile())}).Ok());
  }
  EXPECT_EQ(std::count(gesehen.begin(), gesehen.end(), 1), anzahl);
  EXPECT_EQ(geloescht, 2);
  EXPECT_EQ(m->Geschrieben(), anzahl - 2);
  DbFehler f;
  EXPECT_EQ(db->Wert("SELECT count(*) FROM Kunden WHERE Notiz LIKE 'Zeile %'", {}, f).value_or(QVariant()).toInt(), anzahl - 2);
  EXPECT_EQ(db->Wert("SELECT count(*) FROM Kunden WHERE Notiz IS NOT NULL AND Name <> 'n1'", {}, f).value_or(QVariant()).toInt(),
            2) << "nur Zander und Müller hatten schon eine Notiz";
}

// A view that gives the table another name, keyed by its primary key (the address window over its own
// table while the sender links another address source).
TEST_F(MassenaenderungTest, UeberEineSichtMitSchluesselfeld) {
  ASSERT_TRUE(db->Ausfuehren("CREATE TEMP VIEW Kunden_Intern AS SELECT * FROM main.Kunden").Ok());
  Abfrage a = Abfrage::Tabelle(T("Kunden_Intern"));
  a.schluessel = "Nr";
  DbFehler f;
  auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  auto m = Lauf(*rs, {T("Name")});
  while (m->Naechste()) ASSERT_TRUE(m->Schreiben({m->Text(0).toUpper()}).Ok());
  EXPECT_EQ(m->Geschrieben(), 3);
  EXPECT_EQ(Tabelle().at(1), T("K2|MÜLLER|(null)|alt"));
}

TEST_F(MassenaenderungTest, NurFelderDerTabelleDesSchluessels) {
  Abfrage a;
  a.quelle = "Kunden LEFT JOIN Orte ON Kunden.Ort = Orte.Ort";
  a.spalten = "Kunden.*, Orte.Land, upper(Name) AS Gross";
  a.haupttabelle = T("Kunden");
  DbFehler f;
  auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
  ASSERT_TRUE(rs) << f.Beschreibung.toStdString();
  EXPECT_FALSE(Massenaenderung::Oeffnen(*rs, {T("Name"), T("Land")}, f));
  EXPECT_EQ(f.Nummer, DbFehlerNr::NichtAktualisierbar);
  EXPECT_FALSE(Massenaenderung::Oeffnen(*rs, {T("Gross")}, f));
  EXPECT_EQ(f.Nummer, DbFehlerNr::NichtAktualisierbar);
  EXPECT_FALSE(Massenaenderung::Oeffnen(*rs, {T("Strasse")}, f));
  EXPECT_EQ(f.Nummer, DbFehlerNr::UnbekanntesFeld);
  EXPECT_TRUE(Massenaenderung::Oeffnen(*rs, {T("Name"), T("Notiz")}, f)) << f.Beschreibung.toStdString();

  a = Abfrage::Tabelle(T("Kunden"));
  rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, f);
  ASSERT_TRUE(rs);
  EXPECT_FALSE(Massenaenderung::Oeffnen(*rs, {T("Name")}, f));
  EXPECT_EQ(f.Nummer, DbFehlerNr::NichtAktualisierbar);
}

}  // namespace
