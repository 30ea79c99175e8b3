#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QDate>

#include <functional>

#include "platform/db/Recordset.h"
#include "testsupport/Geschwisterdatenbank.h"
#include "testsupport/TestOrdner.h"

namespace {

constexpr const char* Schema = R"(
CREATE TABLE Zahlungen (
  ZahlungNr INTEGER PRIMARY KEY AUTOINCREMENT,
  AbsenderNr INTEGER NOT NULL DEFAULT 1,
  Art TEXT(1),
  Name TEXT(70) COLLATE TAMO,
  ZahlungGesamt CURRENCY,
  "Fällig" DATE,
  Erledigt BOOLEAN NOT NULL DEFAULT 0
);
CREATE TABLE Verwendungszweck (
  Nr INTEGER PRIMARY KEY AUTOINCREMENT,
  ZahlungNr INTEGER NOT NULL REFERENCES Zahlungen ON DELETE CASCADE,
  Verwendungszweck TEXT(27)
);
)";

class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = Datenbank::InSpeicher();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->SkriptAusfuehren(QString::fromUtf8(Schema)).Ok());
    const char* namen[] = {"Anton", "Bäcker", "O'Brien", "Müller \"Söhne\"", "Zander"};
    for (int i = 0; i < 5; ++i) {
      ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (Art, Name, ZahlungGesamt, \"Fällig\", Erledigt) VALUES (?,?,?,?,?)",
                                 {QStringLiteral("L"), QString::fromUtf8(namen[i]),
                                  QVariant::fromValue(Waehrung::AusCent(1000 * (i + 1))), QDate(2024, 1, i + 1), i == 4})
                      .Ok());
      ASSERT_TRUE(db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, Verwendungszweck) VALUES (?, ?)",
                                 {db->LetzteEinfuegeNr(), QStringLiteral("Rechnung %1").arg(i + 1)})
                      .Ok());
    }
  }

  std::unique_ptr<Recordset> Oeffnen(const Abfrage& a, RecordsetTyp typ = RecordsetTyp::Dynaset) {
    DbFehler f;
    auto rs = Recordset::Oeffnen(*db, a, typ, f);
    EXPECT_TRUE(rs) << f.Beschreibung.toStdString();
    return rs;
  }

  QVariant Wert(const SqlText& sql, const QVariantList& p = {}) {
    DbFehler f;
    auto w = db->Wert(sql, p, f);
    EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    return w.value_or(QVariant());
  }

  Abfrage Offene() {
    Abfrage a;
    a.quelle = "Zahlungen";
    a.bedingung = Bedingung("Erledigt = ?", {false});
    a.sortierung = "Name";
    return a;
  }

  std::unique_ptr<Datenbank> db;
};

TEST_F(RecordsetTest, BewegenUndPosition) {
  auto rs = Oeffnen(Offene());
  ASSERT_TRUE(rs);
  EXPECT_EQ(rs->RecordCount(), 4);
  EXPECT_FALSE(rs->BOF());
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anton"));
  rs->MoveLast();
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("O'Brien"));
  rs->MoveNext();
  EXPECT_TRUE(rs->EOF());
  EXPECT_EQ(rs->AbsolutePosition(), -1);
  EXPECT_TRUE(rs->Feld(QStringLiteral("Name")).isNull());
  rs->Move(-2);
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Müller \"Söhne\""));
  rs->Move(-10);
  EXPECT_TRUE(rs->BOF());
  rs->SetAbsolutePosition(1);
  EXPECT_EQ(rs->Text(QStringLiteral("name")), QStringLiteral("Bäcker"));
  const auto zeilen = rs->GetRows(2);
  ASSERT_EQ(zeilen.size(), 2u);
  EXPECT_EQ(zeilen[1][rs->SpaltenIndex(QStringLiteral("Name"))].toString(), QStringLiteral("Müller \"Söhne\""));
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  EXPECT_EQ(rs->GetRows(5).size(), 1u);
  EXPECT_TRUE(rs->EOF());

  Abfrage leer = Offene();
  leer.bedingung = Bedingung("Name = ?", {QStringLiteral("niemand")});
  auto nichts = Oeffnen(leer);
  ASSERT_TRUE(nichts);
  EXPECT_EQ(nichts->RecordCount(), 0);
  EXPECT_TRUE(nichts->BOF());
  EXPECT_TRUE(nichts->EOF());
  nichts->MoveFirst();
  EXPECT_TRUE(nichts->EOF());
  EXPECT_EQ(nichts->Edit().Nummer, DbFehlerNr::KeinAktuellerDatensatz);
}

TEST_F(RecordsetTest, TypisierteWerteUndSpalten) {
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  ASSERT_TRUE(rs);
  const SpaltenInfo& name = rs->Spalte(rs->SpaltenIndex(QStringLiteral("Name")));
  EXPECT_EQ(name.typ, FeldTyp::Text);
  EXPECT_EQ(name.groesse, 70);
  EXPECT_EQ(name.quellTabelle, QStringLiteral("Zahlungen"));
  EXPECT_EQ(name.quellDatenbank, QStringLiteral("main"));
  EXPECT_TRUE(name.aktualisierbar);
  EXPECT_EQ(rs->Spalte(rs->SpaltenIndex(QStringLiteral("ZahlungGesamt"))).typ, FeldTyp::Waehrung);
  EXPECT_EQ(rs->Spalte(rs->SpaltenIndex(QStringLiteral("Fällig"))).typ, FeldTyp::Datum);
  EXPECT_EQ(rs->Spalte(rs->SpaltenIndex(QStringLiteral("Erledigt"))).typ, FeldTyp::Boolean);
  EXPECT_EQ(rs->Spalte(rs->SpaltenIndex(QStringLiteral("Art"))).groesse, 1);
  EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("Gibtsnicht")), -1);
  EXPECT_EQ(*rs->Betrag(QStringLiteral("ZahlungGesamt")), Waehrung::AusEuro(10));
  EXPECT_EQ(*rs->Datum(QStringLiteral("Fällig")), QDate(2024, 1, 1));
  EXPECT_FALSE(rs->Wahr(QStringLiteral("Erledigt")));
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 1);

  ASSERT_TRUE(rs->Edit().Ok());
  EXPECT_EQ(rs->EditMode(), EditModus::Bearbeiten);
  ASSERT_TRUE(rs->Setzen(QStringLiteral("ZahlungGesamt"), QVariant::fromValue(Waehrung::AusRoh(-12345))).Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Fällig"), QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7))).Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Erledigt"), true).Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QVariant()).Ok());
  EXPECT_EQ(rs->Setzen(QStringLiteral("Unbekannt"), 1).Nummer, DbFehlerNr::UnbekanntesFeld);
  ASSERT_TRUE(rs->Update().Ok());
  EXPECT_EQ(rs->EditMode(), EditModus::Keiner);
  EXPECT_EQ(*rs->Betrag(QStringLiteral("ZahlungGesamt")), Waehrung::AusRoh(-12345));
  EXPECT_EQ(*rs->Datum(QStringLiteral("Fällig")), QDate(2025, 3, 4));
  EXPECT_EQ(rs->Text(QStringLiteral("Fällig")), QStringLiteral("2025-03-04 05:06:07"));
  EXPECT_TRUE(rs->Wahr(QStringLiteral("Erledigt")));
  EXPECT_TRUE(rs->IstNull(QStringLiteral("Name")));
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QString());
  EXPECT_EQ(Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = 1").toLongLong(), -12345);
  EXPECT_EQ(rs->Update().Nummer, DbFehlerNr::KeinBearbeitungsmodus);
  EXPECT_EQ(rs->Setzen(QStringLiteral("Name"), QStringLiteral("x")).Nummer, DbFehlerNr::KeinBearbeitungsmodus);
}

TEST_F(RecordsetTest, GeaenderteUndNeueZeilenBleibenBisRequery) {
  auto rs = Oeffnen(Offene());
  ASSERT_TRUE(rs);
  // Anton no longer matches the condition after the change, but stays
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Erledigt"), true).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  EXPECT_EQ(rs->LastModified().toLongLong(), 1);
  EXPECT_EQ(rs->RecordCount(), 4);
  EXPECT_TRUE(rs->Wahr(QStringLiteral("Erledigt")));
  // a new row that does not match either
  ASSERT_TRUE(rs->AddNew().Ok());
  EXPECT_EQ(rs->EditMode(), EditModus::Neu);
  EXPECT_TRUE(rs->Feld(QStringLiteral("Name")).isNull());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Neu")).Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Erledigt"), true).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  EXPECT_EQ(rs->RecordCount(), 5);
  EXPECT_EQ(rs->LastModified().toLongLong(), 6);
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anton"));  // position unchanged
  ASSERT_TRUE(rs->SetBookmark(rs->LastModified()));
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Neu"));
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("AbsenderNr")), 1);  // the table's default
  EXPECT_EQ(rs->AbsolutePosition(), 4);
  ASSERT_TRUE(rs->Requery().Ok());
  EXPECT_EQ(rs->RecordCount(), 3);
  EXPECT_FALSE(rs->SetBookmark(QVariant(qint64(6))));
  // Requery with a new condition: hostile value travels as a parameter
  ASSERT_TRUE(rs->Requery(Bedingung("Name = ?", {QStringLiteral("O'Brien")}), SqlText()).Ok());
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_FALSE(rs->Requery(Bedingung("Gibtsnicht = ?", {1}), SqlText()).Ok());
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->AbfrageTeile().bedingung.parameter.value(0).toString(), QStringLiteral("O'Brien"));
}

TEST_F(RecordsetTest, AenderungenAndererUndGeloeschteZeilen) {
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  ASSERT_TRUE(rs);
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anton"));
  ASSERT_TRUE(db->Ausfuehren("UPDATE Zahlungen SET Name = 'Anna' WHERE ZahlungNr = 1").Ok());
  ASSERT_TRUE(db->Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = 2").Ok());
  rs->CacheVerwerfen();
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anna"));
  rs->MoveNext();  // removed by someone else: still in the keyset, reads as deleted
  EXPECT_EQ(rs->RecordCount(), 5);
  EXPECT_TRUE(rs->Feld(QStringLiteral("Name")).isNull());
  EXPECT_EQ(rs->Edit().Nummer, DbFehlerNr::DatensatzGeloescht);
  // FindFirst passes over it
  int gesehen = 0;
  rs->FindFirst([&](const Recordset& r) {
    ++gesehen;
    return r.Feld(QStringLiteral("Name")).isNull();
  });
  EXPECT_TRUE(rs->NoMatch());
  EXPECT_EQ(gesehen, 4);
  // Edit sees a change made after the page was read
  rs->MoveFirst();
  ASSERT_TRUE(db->Ausfuehren("UPDATE Zahlungen SET Art = 'B' WHERE ZahlungNr = 1").Ok());
  ASSERT_TRUE(rs->Edit().Ok());
  EXPECT_EQ(rs->Text(QStringLiteral("Art")), QStringLiteral("B"));
  // the row vanished between Edit and Update: an error, not a silent success
  ASSERT_TRUE(db->Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = 1").Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("x")).Ok());
  EXPECT_EQ(rs->Update().Nummer, DbFehlerNr::KeineTreffer);
  EXPECT_EQ(rs->EditMode(), EditModus::Bearbeiten);
  rs->CancelUpdate();
  EXPECT_EQ(rs->EditMode(), EditModus::Keiner);
}

TEST_F(RecordsetTest, DeleteUndKlone) {
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  ASSERT_TRUE(rs);
  auto klon = rs->Clone();
  auto klon2 = rs->Clone();
  klon->MoveLast();
  klon2->SetAbsolutePosition(1);
  EXPECT_EQ(rs->AbsolutePosition(), 0);  // own positions
  EXPECT_EQ(klon->Ganzzahl(QStringLiteral("ZahlungNr")), 5);
  rs->SetAbsolutePosition(1);
  const QVariant lesezeichen = rs->Bookmark();
  ASSERT_TRUE(rs->Delete().Ok());
  EXPECT_EQ(Wert("SELECT count(*) FROM Zahlungen WHERE ZahlungNr = 2").toInt(), 0);
  EXPECT_EQ(Wert("SELECT count(*) FROM Verwendungszweck WHERE ZahlungNr = 2").toInt(), 0);  // cascade
  EXPECT_EQ(rs->RecordCount(), 4);
  EXPECT_EQ(klon->RecordCount(), 4);
  // no current record after Delete; the next move goes on from there
  EXPECT_EQ(rs->AbsolutePosition(), -1);
  EXPECT_TRUE(rs->Feld(QStringLiteral("Name")).isNull());
  EXPECT_EQ(rs->Edit().Nummer, DbFehlerNr::DatensatzGeloescht);
  EXPECT_EQ(rs->Delete().Nummer, DbFehlerNr::DatensatzGeloescht);
  rs->MoveNext();
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 3);
  // clones: one stays on its row, the other saw its row go
  EXPECT_EQ(klon->Ganzzahl(QStringLiteral("ZahlungNr")), 5);
  EXPECT_EQ(klon->AbsolutePosition(), 3);
  EXPECT_EQ(klon2->AbsolutePosition(), -1);
  EXPECT_TRUE(klon2->Feld(QStringLiteral("Name")).isNull());
  klon2->MoveNext();
  EXPECT_EQ(klon2->Ganzzahl(QStringLiteral("ZahlungNr")), 3);
  EXPECT_FALSE(klon->SetBookmark(lesezeichen));
  // bookmarks move between clones
  ASSERT_TRUE(klon->SetBookmark(rs->Bookmark()));
  EXPECT_EQ(klon->Text(QStringLiteral("Name")), QStringLiteral("O'Brien"));
  // deleting the last row: the following move ends at EOF
  rs->MoveLast();
  ASSERT_TRUE(rs->Delete().Ok());
  rs->MoveNext();
  EXPECT_TRUE(rs->EOF());
  // a row added through a clone is seen by the original
  ASSERT_TRUE(klon->AddNew().Ok());
  ASSERT_TRUE(klon->Setzen(QStringLiteral("Name"), QStringLiteral("Klon")).Ok());
  ASSERT_TRUE(klon->Update().Ok());
  EXPECT_EQ(rs->RecordCount(), 4);
  ASSERT_TRUE(rs->SetBookmark(klon->LastModified()));
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Klon"));
  EXPECT_TRUE(rs->LastModified().isNull());
  // Requery of the original leaves the clone's rows alone
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (Name) VALUES ('Extra')").Ok());
  ASSERT_TRUE(rs->Requery().Ok());
  EXPECT_EQ(rs->RecordCount(), 5);
  EXPECT_EQ(klon->RecordCount(), 4);
}

TEST_F(RecordsetTest, SeekUndFind) {
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")), RecordsetTyp::Tabelle);
  ASSERT_TRUE(rs);
  rs->Seek(qint64(4));
  EXPECT_FALSE(rs->NoMatch());
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Müller \"Söhne\""));
  rs->Seek(99);
  EXPECT_TRUE(rs->NoMatch());
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 4);  // unchanged
  rs->Seek(QStringLiteral("2"));  // a text holding the number compares like DAO's numeric seek
  EXPECT_FALSE(rs->NoMatch());
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Bäcker"));

  auto nameIst = [](const QString& w) {
    return [w](const Recordset& r) { return r.Text(QStringLiteral("Name")).compare(w, Qt::CaseInsensitive) == 0; };
  };
  rs->FindFirst(nameIst(QStringLiteral("MÜLLER \"SÖHNE\"")));
  EXPECT_FALSE(rs->NoMatch());
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 4);
  rs->FindFirst(nameIst(QStringLiteral("o'brien")));
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 3);
  rs->FindFirst(nameIst(QStringLiteral("bäcker")));
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 2);
  rs->FindFirst(nameIst(QStringLiteral("x' OR '1'='1")));
  EXPECT_TRUE(rs->NoMatch());
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 2);
  auto art = [](const Recordset& r) { return r.Text(QStringLiteral("Art")) == QStringLiteral("L"); };
  rs->FindNext(art);
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 3);
  rs->FindLast(art);
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 5);
  rs->FindPrevious(art);
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 4);
  rs->FindNext(nameIst(QStringLiteral("Anton")));
  EXPECT_TRUE(rs->NoMatch());
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 4);
  rs->MoveLast();
  rs->MoveNext();
  rs->FindPrevious(art);  // from EOF backwards
  EXPECT_EQ(rs->Ganzzahl(QStringLiteral("ZahlungNr")), 5);
}

TEST_F(RecordsetTest, BearbeitenUeberEinenJoin) {
  Abfrage a;
  a.quelle = "Verwendungszweck INNER JOIN Zahlungen ON Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr";
  auto rs = Oeffnen(a);
  ASSERT_TRUE(rs);
  EXPECT_EQ(rs->RecordCount(), 5);
  const int vz = rs->SpaltenIndex(QStringLiteral("Verwendungszweck.ZahlungNr"));
  const int za = rs->SpaltenIndex(QStringLiteral("Zahlungen.ZahlungNr"));
  ASSERT_GE(vz, 0);
  ASSERT_GE(za, 0);
  EXPECT_NE(vz, za);
  EXPECT_EQ(rs->Spalte(vz).name, QStringLiteral("Verwendungszweck.ZahlungNr"));
  EXPECT_EQ(rs->Spalte(za).name, QStringLiteral("Zahlungen.ZahlungNr"));
  EXPECT_EQ(rs->Spalte(za).feld, QStringLiteral("ZahlungNr"));
  EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("ZahlungNr")), -1);  // ambiguous
  EXPECT_EQ(rs->Spalte(rs->SpaltenIndex(QStringLiteral("Name"))).quellTabelle, QStringLiteral("Zahlungen"));
  EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("Zahlungen.Name")), rs->SpaltenIndex(QStringLiteral("Name")));
  EXPECT_EQ(rs->Spalte(rs->SpaltenIndex(QStringLiteral("Verwendungszweck"))).groesse, 27);

  rs->SetAbsolutePosition(2);
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Neuer Name")).Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Verwendungszweck"), QStringLiteral("Neue Zeile")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  EXPECT_EQ(Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = 3").toString(), QStringLiteral("Neuer Name"));
  EXPECT_EQ(Wert("SELECT Verwendungszweck FROM Verwendungszweck WHERE ZahlungNr = 3").toString(),
            QStringLiteral("Neue Zeile"));
  EXPECT_EQ(Wert("SELECT count(*) FROM Zahlungen WHERE Name = 'Neuer Name'").toInt(), 1);

  // second table fails: nothing of the first stays, the edit stays open
  db->SetzeStoerung([](const QString& sql) {
    return sql.startsWith(QLatin1String("UPDATE \"main\".\"Verwendungszweck\""))
               ? DbFehler{SQLITE_IOERR, QStringLiteral("Platte voll")}
               : DbFehler{};
  });
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Halb")).Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Verwendungszweck"), QStringLiteral("Halb")).Ok());
  const DbFehler f = rs->Update();
  EXPECT_EQ(f.Nummer, SQLITE_IOERR);
  EXPECT_EQ(rs->EditMode(), EditModus::Bearbeiten);
  db->SetzeStoerung({});
  EXPECT_EQ(Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = 3").toString(), QStringLiteral("Neuer Name"));
  EXPECT_EQ(db->TransaktionsTiefe(), 0);
  ASSERT_TRUE(rs->Update().Ok());  // retried after the fault
  EXPECT_EQ(Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = 3").toString(), QStringLiteral("Halb"));

  // a join without the key of one side: those columns are read-only
  Abfrage b;
  b.quelle = "Verwendungszweck INNER JOIN Zahlungen ON Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr";
  b.spalten = "Verwendungszweck.Nr, Verwendungszweck.Verwendungszweck, Zahlungen.Name, upper(Zahlungen.Art) AS Gross";
  auto teil = Oeffnen(b);
  ASSERT_TRUE(teil);
  EXPECT_TRUE(teil->Spalte(teil->SpaltenIndex(QStringLiteral("Verwendungszweck"))).aktualisierbar);
  EXPECT_FALSE(teil->Spalte(teil->SpaltenIndex(QStringLiteral("Name"))).aktualisierbar);
  EXPECT_FALSE(teil->Spalte(teil->SpaltenIndex(QStringLiteral("Gross"))).aktualisierbar);
  EXPECT_EQ(teil->Spalte(teil->SpaltenIndex(QStringLiteral("Gross"))).typ, FeldTyp::Unbekannt);
  ASSERT_TRUE(teil->Edit().Ok());
  EXPECT_EQ(teil->Setzen(QStringLiteral("Name"), QStringLiteral("x")).Nummer, DbFehlerNr::NichtAktualisierbar);
  EXPECT_EQ(teil->Setzen(QStringLiteral("Gross"), QStringLiteral("x")).Nummer, DbFehlerNr::NichtAktualisierbar);
  ASSERT_TRUE(teil->Setzen(QStringLiteral("Verwendungszweck"), QStringLiteral("Nur hier")).Ok());
  ASSERT_TRUE(teil->Update().Ok());
  EXPECT_EQ(Wert("SELECT count(*) FROM Verwendungszweck WHERE Verwendungszweck = 'Nur hier'").toInt(), 1);
}

TEST_F(RecordsetTest, SichtUeberAngehaengteDatei) {
  TestOrdner ordner;
  const QString datei = ordner.Datei(QStringLiteral("fibu.db"));
  DbFehler f;
  ASSERT_TRUE(Geschwisterdatenbank(Geschwisterdatenbank::Programm::Buchhaltung)
                  .Adresse({.konto = QStringLiteral("K001"), .suchname = QStringLiteral("MEIER"), .name = QStringLiteral("Meier GmbH")})
                  .Adresse({.konto = QStringLiteral("K002"), .suchname = QStringLiteral("ÖL"), .name = QStringLiteral("Öl & Co")})
                  .Adresse({.konto = QStringLiteral("K003"), .suchname = QStringLiteral("ZZ"), .name = QStringLiteral("Zet")})
                  .Schreiben(datei)
                  .Ok());
  ASSERT_TRUE(db->Anhaengen(datei, QStringLiteral("sib")).Ok());
  ASSERT_TRUE(db->Ausfuehren("CREATE TEMP VIEW Adressen AS SELECT * FROM sib.Personenkonten").Ok());
  Abfrage a;
  a.quelle = "Adressen";
  a.sortierung = "Suchname";
  auto rs = Oeffnen(a);  // key resolved through the view to OPKontoNr
  ASSERT_TRUE(rs);
  EXPECT_EQ(rs->RecordCount(), 3);
  EXPECT_EQ(rs->Bookmark().toString(), QStringLiteral("K001"));
  const SpaltenInfo& name = rs->Spalte(rs->SpaltenIndex(QStringLiteral("Name")));
  EXPECT_EQ(name.quellDatenbank, QStringLiteral("sib"));
  EXPECT_EQ(name.quellTabelle, QStringLiteral("Personenkonten"));
  EXPECT_EQ(name.groesse, 70);
  EXPECT_TRUE(name.aktualisierbar);
  ASSERT_TRUE(rs->SetBookmark(QStringLiteral("K002")));
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("BankIBAN"), QStringLiteral("DE02120300000000202051")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  ASSERT_TRUE(rs->AddNew().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("OPKontoNr"), QStringLiteral("K004")).Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Neu über Sicht")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  EXPECT_EQ(rs->LastModified().toString(), QStringLiteral("K004"));
  ASSERT_TRUE(rs->SetBookmark(QStringLiteral("K003")));
  ASSERT_TRUE(rs->Delete().Ok());
  // table-type recordset on the view: Seek on the base table's key
  auto tab = Oeffnen(Abfrage::Tabelle(QStringLiteral("Adressen")), RecordsetTyp::Tabelle);
  ASSERT_TRUE(tab);
  tab->Seek(QStringLiteral("K004"));
  EXPECT_FALSE(tab->NoMatch());
  EXPECT_EQ(tab->Text(QStringLiteral("Name")), QStringLiteral("Neu über Sicht"));
  tab.reset();
  rs.reset();
  ASSERT_TRUE(db->Ausfuehren("DROP VIEW Adressen").Ok());
  ASSERT_TRUE(db->Abhaengen(QStringLiteral("sib")).Ok());
  // the writes reached the sibling's file
  auto fremd = Datenbank::Oeffnen(datei, f);
  ASSERT_TRUE(fremd);
  EXPECT_EQ(fremd->Wert("SELECT BankIBAN FROM Personenkonten WHERE OPKontoNr = 'K002'", {}, f)->toString(),
            QStringLiteral("DE02120300000000202051"));
  EXPECT_EQ(fremd->Wert("SELECT Name FROM Personenkonten WHERE OPKontoNr = 'K004'", {}, f)->toString(),
            QStringLiteral("Neu über Sicht"));
  EXPECT_EQ(fremd->Wert("SELECT count(*) FROM Personenkonten", {}, f)->toInt(), 3);
}

TEST_F(RecordsetTest, SnapshotIstFest) {
  Abfrage a;
  a.quelle = "Zahlungen";
  a.spalten = "Art, count(*) AS Anzahl, sum(ZahlungGesamt) AS Summe";
  a.sortierung = "Art";
  a.bedingung = Bedingung("Name <> ?", {QStringLiteral("'; DROP TABLE Zahlungen; --")});
  auto gruppen = Oeffnen(Abfrage{a.spalten, SqlText("Zahlungen GROUP BY Art"), {}, {}, {}, {}, {}}, RecordsetTyp::Snapshot);
  ASSERT_TRUE(gruppen);
  EXPECT_EQ(gruppen->RecordCount(), 1);
  EXPECT_EQ(gruppen->Spalte(2).typ, FeldTyp::Unbekannt) << "an expression declares no type";
  // The query may name the types of its computed columns; declared types stay.
  gruppen = Oeffnen(Abfrage{a.spalten, SqlText("Zahlungen GROUP BY Art"), {}, {}, {}, {},
                            {{QStringLiteral("summe"), FeldTyp::Waehrung}, {QStringLiteral("Art"), FeldTyp::Double}}},
                    RecordsetTyp::Snapshot);
  ASSERT_TRUE(gruppen);
  EXPECT_EQ(gruppen->Spalte(2).typ, FeldTyp::Waehrung);
  EXPECT_EQ(gruppen->Spalte(0).typ, FeldTyp::Text);
  EXPECT_EQ(gruppen->Ganzzahl(QStringLiteral("Anzahl")), 5);
  EXPECT_EQ(*gruppen->Betrag(QStringLiteral("Summe")), Waehrung::AusEuro(150));
  auto snap = Oeffnen(Offene(), RecordsetTyp::Snapshot);
  ASSERT_TRUE(snap);
  EXPECT_EQ(snap->RecordCount(), 4);
  ASSERT_TRUE(db->Ausfuehren("UPDATE Zahlungen SET Name = 'Geändert'").Ok());
  snap->CacheVerwerfen();
  EXPECT_EQ(snap->Text(QStringLiteral("Name")), QStringLiteral("Anton"));
  EXPECT_EQ(snap->Edit().Nummer, DbFehlerNr::NichtAktualisierbar);
  EXPECT_EQ(snap->AddNew().Nummer, DbFehlerNr::NichtAktualisierbar);
  EXPECT_EQ(snap->Delete().Nummer, DbFehlerNr::NichtAktualisierbar);
  EXPECT_FALSE(snap->Spalte(0).aktualisierbar);
  auto klon = snap->Clone();
  klon->MoveLast();
  EXPECT_EQ(snap->AbsolutePosition(), 0);
  ASSERT_TRUE(snap->Requery().Ok());
  EXPECT_EQ(snap->Text(QStringLiteral("Name")), QStringLiteral("Geändert"));
}

TEST_F(RecordsetTest, ZeilenFilternBehaeltLesezeichenUndLiestNichtNeu) {
  for (RecordsetTyp typ : {RecordsetTyp::Snapshot, RecordsetTyp::Dynaset}) {
    auto rs = Oeffnen(Offene(), typ);  // Anton, Bäcker, Müller "Söhne", O'Brien
    ASSERT_TRUE(rs);
    rs->MoveLast();
    const QVariant obrien = rs->Bookmark();
    auto klon = rs->Clone();
    int gefragt = 0;
    ASSERT_TRUE(rs->ZeilenFiltern([&gefragt](const Recordset& r) {
                    ++gefragt;
                    return !r.Text(QStringLiteral("Name")).startsWith(QLatin1Char('B'));
                  }).Ok());
    EXPECT_EQ(gefragt, 4);
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->AbsolutePosition(), 0);
    EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anton"));
    rs->MoveNext();
    EXPECT_TRUE(rs->Text(QStringLiteral("Name")).startsWith(QStringLiteral("Müller")));
    EXPECT_TRUE(rs->SetBookmark(obrien));
    EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("O'Brien"));
    EXPECT_EQ(klon->RecordCount(), 3) << "clones share the rows";
    ASSERT_TRUE(rs->ZeilenFiltern([](const Recordset&) { return false; }).Ok());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->BOF() && rs->EOF());
    // Requery runs the query again: the filter is gone.
    ASSERT_TRUE(rs->Requery().Ok());
    EXPECT_EQ(rs->RecordCount(), 4);
  }
}

TEST_F(RecordsetTest, VieleZeilenSeitenweiseOhneAbfrageJeZeile) {
  ASSERT_TRUE(db->BeginTrans().Ok());
  for (int i = 0; i < 1000; ++i)
    ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (Name, ZahlungGesamt) VALUES (?, ?)",
                               {QStringLiteral("Name %1").arg(i), qint64(i)})
                    .Ok());
  ASSERT_TRUE(db->CommitTrans().Ok());
  Abfrage a;
  a.quelle = "Zahlungen";
  a.sortierung = "ZahlungNr DESC";
  auto rs = Oeffnen(a);
  ASSERT_TRUE(rs);
  ASSERT_EQ(rs->RecordCount(), 1005);
  int vorbereitet = 0;
  db->SetzeStoerung([&](const QString&) {
    ++vorbereitet;
    return DbFehler{};
  });
  rs->FindFirst([](const Recordset& r) { return r.Text(QStringLiteral("Name")) == QStringLiteral("Anton"); });
  ASSERT_FALSE(rs->NoMatch());
  EXPECT_EQ(rs->AbsolutePosition(), 1004);
  EXPECT_LE(vorbereitet, 3);  // one page statement, reused
  for (int z = 0; z < 1000; ++z)
    ASSERT_EQ(rs->WertAn(z, rs->SpaltenIndex(QStringLiteral("ZahlungGesamt"))).toLongLong(), 999 - z);
  EXPECT_LE(vorbereitet, 3);
  db->SetzeStoerung({});
  // a failing page read is reported, not shown as data
  auto zweites = Oeffnen(a);
  ASSERT_TRUE(zweites);
  db->SetzeStoerung([](const QString&) { return DbFehler{SQLITE_IOERR, QStringLiteral("weg")}; });
  EXPECT_TRUE(zweites->WertAn(500, 0).isNull());
  EXPECT_EQ(zweites->LetzterFehler().Nummer, SQLITE_IOERR);
  db->SetzeStoerung({});
  EXPECT_EQ(zweites->WertAn(500, rs->SpaltenIndex(QStringLiteral("ZahlungGesamt"))).toLongLong(), 499);
  EXPECT_TRUE(zweites->LetzterFehler().Ok());
}

TEST_F(RecordsetTest, FeindlicheFilterUndNamen) {
  const QStringList werte = {QStringLiteral("O'Neil"), QStringLiteral("100%"), QStringLiteral("a_b"),
                             QStringLiteral("*"), QStringLiteral("\\"), QString(QStringLiteral("x")) + QChar(0) + QStringLiteral("y"),
                             QString(10000, QLatin1Char('\'')), QStringLiteral("') OR ('1'='1")};
  for (const QString& w : werte)
    ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (Name) VALUES (?)", {w}).Ok());
  for (const QString& w : werte) {
    Abfrage a;
    a.quelle = "Zahlungen";
    a.bedingung = Bedingung("Name LIKE ? ESCAPE '\\'", {LikeMaskieren(w) + QLatin1Char('%')});
    auto rs = Oeffnen(a);
    ASSERT_TRUE(rs);
    // exactly the rows that begin with the literal text
    int erwartet = 0;
    for (const QString& x : werte) erwartet += x.startsWith(w, Qt::CaseInsensitive) ? 1 : 0;
    EXPECT_EQ(rs->RecordCount(), erwartet) << w.left(20).toStdString();
    rs->FindFirst([&](const Recordset& r) { return r.Text(QStringLiteral("Name")) == w; });
    EXPECT_FALSE(rs->NoMatch());
    ASSERT_TRUE(rs->Requery(Bedingung("Name = ?", {w}), SqlText("Name")).Ok());
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Text(QStringLiteral("Name")), w);
  }
  // names that are not names never reach the SQL text
  DbFehler f;
  EXPECT_FALSE(Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("Zahlungen; DROP TABLE Zahlungen")),
                                  RecordsetTyp::Dynaset, f));
  EXPECT_TRUE(f);
  EXPECT_FALSE(Recordset::Oeffnen(*db, Abfrage::Tabelle(QStringLiteral("Gibtsnicht")), RecordsetTyp::Dynaset, f));
  EXPECT_TRUE(f);
  EXPECT_FALSE(Recordset::Oeffnen(*db, Abfrage{}, RecordsetTyp::Dynaset, f));
  EXPECT_TRUE(f);
  EXPECT_EQ(Wert("SELECT count(*) FROM Zahlungen").toInt(), 13);
}

// Inside the program's own write transaction Edit may take a cached row as it is; every way in which
// the row can still change in between must show.
struct AenderungImLauf {
  const char* name;
  std::function<void(Datenbank&, Recordset& anderes)> aendern;
  const char* erwartet;  // Name of ZahlungNr 3 at Edit; nullptr: deleted
};

void PrintTo(const AenderungImLauf& a, std::ostream* os) { *os << a.name; }

class EditImLauf : public RecordsetTest, public ::testing::WithParamInterface<AenderungImLauf> {};

TEST_P(EditImLauf, SiehtJedeAenderungSeitDemLesen) {
  ASSERT_TRUE(db->Ausfuehren("CREATE TRIGGER ArtSetztName AFTER UPDATE OF Art ON Zahlungen WHEN NEW.Art = 'T' "
                             "BEGIN UPDATE Zahlungen SET Name = 'Vom Trigger' WHERE ZahlungNr = 3; END")
                  .Ok());
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  auto anderes = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  ASSERT_TRUE(rs && anderes);
  ASSERT_TRUE(db->BeginTrans().Ok());
  // all rows cached, one written through the recordset (its own change keeps the others current)
  EXPECT_EQ(rs->WertAn(2, rs->SpaltenIndex(QStringLiteral("Name"))).toString(), QStringLiteral("O'Brien"));
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Anna")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  GetParam().aendern(*db, *anderes);
  rs->SetAbsolutePosition(2);
  const DbFehler f = rs->Edit();
  if (GetParam().erwartet) {
    ASSERT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
    EXPECT_EQ(rs->Text(QStringLiteral("Name")), QString::fromUtf8(GetParam().erwartet));
    ASSERT_TRUE(rs->Setzen(QStringLiteral("Art"), QStringLiteral("X")).Ok());
    EXPECT_TRUE(rs->Update().Ok());
  } else {
    EXPECT_EQ(f.Nummer, DbFehlerNr::DatensatzGeloescht);
  }
  // the first row keeps the recordset's own change unless it was undone
  rs->MoveFirst();
  ASSERT_TRUE(rs->Edit().Ok());
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), Wert("SELECT Name FROM Zahlungen WHERE ZahlungNr = 1").toString());
  rs->CancelUpdate();
  ASSERT_TRUE(db->Rollback().Ok());
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, EditImLauf,
    ::testing::Values(
        AenderungImLauf{"Unveraendert", [](Datenbank&, Recordset&) {}, "O'Brien"},
        AenderungImLauf{"DirektesUpdate",
                        [](Datenbank& db, Recordset&) {
                          ASSERT_TRUE(db.Ausfuehren("UPDATE Zahlungen SET Name = 'Direkt' WHERE ZahlungNr = 3").Ok());
                        },
                        "Direkt"},
        AenderungImLauf{"DirektGeloescht",
                        [](Datenbank& db, Recordset&) {
                          ASSERT_TRUE(db.Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = 3").Ok());
                        },
                        nullptr},
        AenderungImLauf{"UeberDieVerbindung",
                        [](Datenbank& db, Recordset&) {
                          ASSERT_EQ(sqlite3_exec(db.Handle(), "UPDATE Zahlungen SET Name = 'Roh' WHERE ZahlungNr = 3",
                                                 nullptr, nullptr, nullptr),
                                    SQLITE_OK);
                        },
                        "Roh"},
        AenderungImLauf{"AnderesRecordset",
                        [](Datenbank&, Recordset& anderes) {
                          anderes.SetAbsolutePosition(2);
                          ASSERT_TRUE(anderes.Edit().Ok());
                          ASSERT_TRUE(anderes.Setzen(QStringLiteral("Name"), QStringLiteral("Anderes")).Ok());
                          ASSERT_TRUE(anderes.Update().Ok());
                        },
                        "Anderes"},
        AenderungImLauf{"TriggerDerEigenenAenderung",
                        [](Datenbank&, Recordset& anderes) {
                          // a change through the other recordset whose trigger changes row 3 as well
                          anderes.SetAbsolutePosition(1);
                          ASSERT_TRUE(anderes.Edit().Ok());
                          ASSERT_TRUE(anderes.Setzen(QStringLiteral("Art"), QStringLiteral("T")).Ok());
                          ASSERT_TRUE(anderes.Update().Ok());
                        },
                        "Vom Trigger"},
        AenderungImLauf{"RohZurueckgerollt",
                        [](Datenbank& db, Recordset&) {
                          // undone and reopened past the layer: the recordset's own change is gone
                          ASSERT_EQ(sqlite3_exec(db.Handle(), "ROLLBACK; BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
                                    SQLITE_OK);
                        },
                        "O'Brien"},
        AenderungImLauf{"Sicherungspunkt",
                        [](Datenbank& db, Recordset& anderes) {
                          ASSERT_TRUE(db.Sicherungspunkt(QStringLiteral("vorher")).Ok());
                          ASSERT_TRUE(db.Ausfuehren("UPDATE Zahlungen SET Name = 'Verworfen' WHERE ZahlungNr = 3").Ok());
                          anderes.SetAbsolutePosition(2);  // caches the row with the value about to be undone
                          ASSERT_EQ(anderes.Text(QStringLiteral("Name")), QStringLiteral("Verworfen"));
                          ASSERT_TRUE(db.ZurueckZuSicherungspunkt(QStringLiteral("vorher")).Ok());
                          ASSERT_TRUE(db.SicherungspunktFreigeben(QStringLiteral("vorher")).Ok());
                        },
                        "O'Brien"},
        AenderungImLauf{"VerschachtelteTransaktionVerworfen",
                        [](Datenbank& db, Recordset&) {
                          ASSERT_TRUE(db.BeginTrans().Ok());
                          ASSERT_TRUE(db.Ausfuehren("UPDATE Zahlungen SET Name = 'Verworfen' WHERE ZahlungNr = 1").Ok());
                          ASSERT_TRUE(db.Rollback().Ok());
                        },
                        "O'Brien"}),
    [](const ::testing::TestParamInfo<AenderungImLauf>& i) { return std::string(i.param.name); });

TEST_F(RecordsetTest, EditImLaufSiehtTriggerDerEigenenAenderung) {
  ASSERT_TRUE(db->Ausfuehren("CREATE TRIGGER ArtSetztName AFTER UPDATE OF Art ON Zahlungen WHEN NEW.Art = 'T' "
                             "BEGIN UPDATE Zahlungen SET Name = 'Vom Trigger' WHERE ZahlungNr = 3; END")
                  .Ok());
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  ASSERT_TRUE(rs);
  ASSERT_TRUE(db->BeginTrans().Ok());
  EXPECT_EQ(rs->WertAn(2, rs->SpaltenIndex(QStringLiteral("Name"))).toString(), QStringLiteral("O'Brien"));
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Art"), QStringLiteral("T")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  rs->SetAbsolutePosition(2);
  ASSERT_TRUE(rs->Edit().Ok());
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Vom Trigger"));
  rs->CancelUpdate();
  ASSERT_TRUE(db->CommitTrans().Ok());
}

TEST_F(RecordsetTest, EditImLaufEigeneAenderungRueckgaengig) {
  // the recordset's own change undone by a savepoint: Edit must not show the undone value
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  ASSERT_TRUE(rs);
  ASSERT_TRUE(db->BeginTrans().Ok());
  ASSERT_TRUE(db->BeginTrans().Ok());
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Zurück")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  ASSERT_TRUE(db->Rollback().Ok());
  ASSERT_TRUE(rs->Edit().Ok());
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anton"));
  rs->CancelUpdate();
  ASSERT_TRUE(db->Rollback().Ok());
  // after the whole transaction is undone as well
  ASSERT_TRUE(db->BeginTrans().Ok());
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Zurück")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  ASSERT_TRUE(db->Rollback().Ok());
  ASSERT_TRUE(db->BeginTrans().Ok());
  ASSERT_TRUE(rs->Edit().Ok());
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Anton"));
  rs->CancelUpdate();
  ASSERT_TRUE(db->Rollback().Ok());
}

TEST_F(RecordsetTest, EditImLaufUeberJoinSiehtGeteilteZeile) {
  // two result rows show the same payment: a change through one shows at Edit of the other
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, Verwendungszweck) VALUES (1, 'Zweite')").Ok());
  Abfrage a;
  a.quelle = "Verwendungszweck INNER JOIN Zahlungen ON Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr";
  a.sortierung = "Verwendungszweck.Nr";
  auto rs = Oeffnen(a);
  ASSERT_TRUE(rs);
  ASSERT_EQ(rs->RecordCount(), 6);
  ASSERT_TRUE(db->BeginTrans().Ok());
  EXPECT_EQ(rs->WertAn(5, rs->SpaltenIndex(QStringLiteral("Name"))).toString(), QStringLiteral("Anton"));
  ASSERT_TRUE(rs->Edit().Ok());
  ASSERT_TRUE(rs->Setzen(QStringLiteral("Name"), QStringLiteral("Geteilt")).Ok());
  ASSERT_TRUE(rs->Update().Ok());
  rs->MoveLast();
  ASSERT_TRUE(rs->Edit().Ok());
  EXPECT_EQ(rs->Text(QStringLiteral("Verwendungszweck")), QStringLiteral("Zweite"));
  EXPECT_EQ(rs->Text(QStringLiteral("Name")), QStringLiteral("Geteilt"));
  rs->CancelUpdate();
  ASSERT_TRUE(db->CommitTrans().Ok());
}

TEST_F(RecordsetTest, CacheVerwerfenLiestZeilenNeu) {
  auto rs = Oeffnen(Abfrage::Tabelle(QStringLiteral("Zahlungen")));
  ASSERT_TRUE(rs);
  const int name = rs->SpaltenIndex(QStringLiteral("Name"));
  EXPECT_EQ(rs->WertAn(1, name).toString(), QStringLiteral("Bäcker"));
  ASSERT_TRUE(db->Ausfuehren("DELETE FROM Zahlungen WHERE ZahlungNr = 2").Ok());
  ASSERT_TRUE(db->Ausfuehren("UPDATE Zahlungen SET Name = 'Neu' WHERE ZahlungNr = 1").Ok());
  EXPECT_EQ(rs->WertAn(0, name).toString(), QStringLiteral("Anton"));  // cached until dropped
  rs->CacheVerwerfen();
  EXPECT_EQ(rs->WertAn(0, name).toString(), QStringLiteral("Neu"));
  EXPECT_TRUE(rs->WertAn(1, name).isNull());
  // the same key again, and a row changed twice: each drop reads what is there now
  ASSERT_TRUE(db->Ausfuehren("INSERT INTO Zahlungen (ZahlungNr, Name) VALUES (2, 'Wieder')").Ok());
  ASSERT_TRUE(db->Ausfuehren("UPDATE Zahlungen SET Name = NULL, Art = 'X' WHERE ZahlungNr = 1").Ok());
  rs->CacheVerwerfen();
  EXPECT_EQ(rs->WertAn(1, name).toString(), QStringLiteral("Wieder"));
  EXPECT_TRUE(rs->WertAn(0, name).isNull());
  EXPECT_EQ(rs->WertAn(0, rs->SpaltenIndex(QStringLiteral("Art"))).toString(), QStringLiteral("X"));
  EXPECT_EQ(rs->WertAn(4, name).toString(), QStringLiteral("Zander"));
  // a clone shares the rows; Edit of a dropped row reads it
  auto klon = rs->Clone();
  ASSERT_TRUE(db->Ausfuehren("UPDATE Zahlungen SET Name = 'Später' WHERE ZahlungNr = 2").Ok());
  klon->CacheVerwerfen();
  EXPECT_EQ(rs->WertAn(1, name).toString(), QStringLiteral("Später"));
  // names asked for by turns keep their columns
  rs->MoveFirst();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("Name")), name);
    EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("name")), name);
    EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("Zahlungen.Name")), name);
    EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("Gibtsnicht")), -1);
    EXPECT_EQ(rs->SpaltenIndex(QStringLiteral("Art")), name - 1);
  }
}

}  // namespace
