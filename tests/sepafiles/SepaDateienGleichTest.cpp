// The files a run writes (pain.001.001.03 / pain.008.001.02) stay byte for byte what the run wrote before its
// reading, writing and marking were made fast: over generated databases full of awkward values (umlauts, "&", "<", quotes, over-long
// texts, faulty orders, Unicode blanks, bytes that are no UTF-8, lower-case identifiers, REAL amounts) each
// kind and mode is run and the SHA-256 of every file, the ids written and the database afterwards are
// compared with what the earlier code gave. Both roads into the run are taken: the orders the selection
// checked handed over, and order numbers only (orders from elsewhere, judged by the writer's guard).
// The figures were taken anew once, when characters outside the payment set came to be transliterated
// instead of dropped and over-long texts became findings instead of being cut; every difference in the
// files and the database was checked to be one of those two.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "LaufTestDatenbank.h"
#include "SepaLaufTreiber.h"
#include "common/Uhr.h"
#include "sepafiles/core/SepaLauf.h"
#include "sepafiles/core/SepaSelektion.h"
#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

// Thursday 6 June 2024, 09:30:15.
const QDateTime Zeitpunkt(QDate(2024, 6, 6), QTime(9, 30, 15));

struct Fall {
  const char* name;
  int art;              // 0 credit transfers, 1 core, 2 B2B
  bool aufteilen;
  bool autoReferenz;
  bool sammelbuchung;
  bool bemerkung;       // the sender's remark as file-name prefix
  quint32 seed;
  // Expected: "name sha256" per file, then the hash of the ids and of the database afterwards.
  const char* dateien;
  const char* ids;
  const char* datenbank;
};

void PrintTo(const Fall& f, std::ostream* os) { *os << f.name; }

QByteArray Sha256(const QByteArray& daten) { return QCryptographicHash::hash(daten, QCryptographicHash::Sha256).toHex(); }

QByteArray DateiSha256(const QString& pfad) {
  QFile f(pfad);
  if (!f.open(QIODevice::ReadOnly)) return "fehlt";
  QCryptographicHash h(QCryptographicHash::Sha256);
  h.addData(&f);
  return h.result().toHex();
}

// Orders that the generator does not make: what a linked program, an older version or the sqlite3 shell
// may have stored. Text given as hex is stored as TEXT bytes exactly (also bytes that are no UTF-8).
void Sonderfaelle(Datenbank& db, int art) {
  const QString kz = art == 0 ? QStringLiteral("G") : QStringLiteral("L");
  const int basis = art == 2 ? 10 : 0;
  struct Sonder {
    const char* nameHex;   // the name's bytes
    const char* iban;
    const char* bic;
    const char* einzel;
    const char* mandat;
    const char* textschluessel;
    int sequenz;
    QList<QByteArray> zeilenHex;  // line texts as bytes
    QList<int64_t> zeilenRoh;     // amounts in ten-thousandths
  };
  const QList<Sonder> faelle = {
      // NBSP and a tab before the name, an invalid byte and a lone lead byte inside, umlauts after.
      {"c2a0094dc3bc6c6c6572ff20c3204b47c39f", "de89 3704 0044 0532 0130 00", "coba de ff xxx", "  O'Neil/1 ",
       "MANDAT 'A'", " SUPP", 1, {"52c3a4756d756e67", "efbbbf5a65696c65e282ac32"}, {1250000, 50000}},
      // Dotless i and long s that become capitals in an IBAN; a name of only blanks after cleaning but
      // one letter; lines that make the text longer than 140 characters.
      {"2020c2a7c2a741c2a7", "DE89370400440532013000", "\xc4\xb1NGDDEFFXXX", "", "MANDAT-S2", "", 2,
       {QByteArray(27 * 2, '5') + "", QByteArray("4c") + QByteArray(26 * 2, '6'), "c39fc39fc39f", "3c3e2622",
        "e4b8ad"},
       {10000, 20000, 30000, 40000, 50000}},
      // No lines: Verwendungszweck1 is the text; an end-to-end id with the apostrophe.
      {"4dc39c4c4c4552202620534f484e", "DE02120300000000202051", "BYLADEM1001", "A'B", "M'C", "", 3, {}, {}},
      // REAL amounts (a linked file's), a mandate date with a time of day.
      {"5265616c", "DE02120300000000202051", "BYLADEM1001", "", "MANDAT-R", "", 4, {"5265616c"}, {-1}},
  };
  for (qsizetype i = 0; i < faelle.size(); ++i) {
    const Sonder& s = faelle.at(i);
    int64_t gesamt = 0;
    for (int64_t z : s.zeilenRoh) gesamt += z;
    const bool real = !s.zeilenRoh.isEmpty() && s.zeilenRoh.first() < 0;
    const QVariant gesamtWert = real ? QVariant(12.5) : QVariant(qint64(s.zeilenRoh.isEmpty() ? 4711000 : gesamt));
    ASSERT_FALSE(db.Ausfuehren(
        "INSERT INTO Zahlungen (AbsenderNr, Art, Name, IBAN, BIC, Verwendungszweck1, ZahlungGesamt, \"Textschlüssel\", "
        "MandatReferenz, MandatDatum, MandatSequenz, EinzelReferenz, \"Währung\") "
        "VALUES (1, ?, CAST(? AS TEXT), ?, ?, CAST(? AS TEXT), ?, ?, ?, ?, ?, ?, 1)",
        {kz, QByteArray::fromHex(s.nameHex), QString::fromUtf8(s.iban), QString::fromUtf8(s.bic),
         QByteArray::fromHex("20c2a0526563686e756e67202620c3a4c3b6c3bc2720c3a90920"), gesamtWert,
         art == 0 ? QVariant(QString::fromUtf8(s.textschluessel)) : QVariant(),
         art == 0 ? QVariant() : QVariant(QString::fromUtf8(s.mandat)),
         art == 0 ? QVariant() : QVariant(i == 3 ? QStringLiteral("2023-05-01 10:00:00") : QStringLiteral("2023-05-01")),
         art == 0 ? (i == 1 ? QVariant(3) : QVariant()) : QVariant(basis + s.sequenz), QString::fromUtf8(s.einzel)}));
    const qint64 nr = db.LetzteEinfuegeNr();
    for (qsizetype z = 0; z < s.zeilenHex.size(); ++z) {
      const QVariant betrag = real ? QVariant(12.5) : QVariant(qint64(s.zeilenRoh.at(z)));
      ASSERT_FALSE(db.Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, ZahlungsBetrag) "
                                 "VALUES (?, ?, CAST(? AS TEXT), ?)",
                                 {nr, int(z + 1), QByteArray::fromHex(s.zeilenHex.at(z)), betrag}));
    }
  }
}

// The database after the run: every order's state and the texts the selection cleaned.
QByteArray DatenbankHash(Datenbank& db) {
  QCryptographicHash h(QCryptographicHash::Sha256);
  const DbFehler f = db.Abfragen("SELECT ZahlungNr, Name, Verwendungszweck1, Erledigt, ErledigtDatum, Buchungsdatum, Fehler "
                                 "FROM Zahlungen ORDER BY ZahlungNr",
                                 {}, [&](const Zeile& z) {
                                   for (int i = 0; i < z.Anzahl(); ++i) {
                                     h.addData(z.Wert(i).toString().toUtf8());
                                     h.addData("|");
                                   }
                                   h.addData("\n");
                                   return true;
                                 });
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  DbFehler w;
  h.addData(db.Wert("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1", {}, w).value_or(QVariant()).toString().toUtf8());
  return h.result().toHex();
}

class SepaDateienGleich : public ::testing::TestWithParam<std::tuple<Fall, bool>> {
 protected:
  void SetUp() override { Uhr::Festhalten(Zeitpunkt); }
  void TearDown() override { Uhr::Setzen({}); }
};

TEST_P(SepaDateienGleich, WieVorher) {
  const Fall& fall = std::get<0>(GetParam());
  const bool gepruefteUebergeben = std::get<1>(GetParam());
  LaufTestDatenbank t;
  ASSERT_FALSE(SepaTestdatenErzeugen(t.Db(), 1, 1500, fall.art, fall.seed, true, QStringLiteral("R100")));
  Sonderfaelle(t.Db(), fall.art);
  const SepaArt art = SepaOptionen::ArtAusIndex(fall.art).value();

  SepaAuswahlAnfrage auswahlAnfrage;
  auswahlAnfrage.AbsenderNr = 1;
  auswahlAnfrage.Art = art;
  auswahlAnfrage.Heute = Zeitpunkt.date();
  const SepaAuswahl auswahl = SepaSelektion::ZahlungenSelektieren(t.Db(), auswahlAnfrage);
  ASSERT_TRUE(auswahl.Ok()) << auswahl.Meldung.toStdString();
  ASSERT_GT(auswahl.Fehlerhaft, 0);

  TestOrdner ziel;
  SepaLaufAnfrage anfrage = LaufAnfrage(art, auswahl.ZahlungNummern, Zeitpunkt, ziel.Pfad(), fall.aufteilen);
  anfrage.Fehlerhaft = auswahl.Fehlerhaft;
  anfrage.Optionen.AutoEinzelReferenz = fall.autoReferenz;
  anfrage.Optionen.Sammelbuchung = fall.sammelbuchung;
  anfrage.Optionen.DateinameMitBemerkung = fall.bemerkung;
  anfrage.Optionen.Vorlauftage = 3;
  // The older format: still written byte for byte as before the current one came.
  anfrage.Optionen.Format = SepaFormat::Pain03;
  if (gepruefteUebergeben) anfrage.Auftraege = auswahl.Auftraege;
  const SepaLaufErgebnis e = SepaLauf::Ausfuehren(t.Db(), anfrage);
  ASSERT_TRUE(e.Ok()) << e.Meldung.toStdString();

  QStringList dateien;
  for (const QString& pfad : e.Dateien) {
    dateien << QFileInfo(pfad).fileName() + QLatin1Char(' ') + QString::fromLatin1(DateiSha256(pfad));
    const QStringList fehler =
        SchemaPruefung::Pruefen(pfad, fall.art == 0 ? QStringLiteral("pain.001.001.03") : QStringLiteral("pain.008.001.02"));
    EXPECT_TRUE(fehler.isEmpty()) << fehler.join(QLatin1Char('\n')).toStdString();
  }
  QByteArray ids;
  for (qsizetype i = 0; i < e.ZahlungNummern.size(); ++i)
    ids += QByteArray::number(e.ZahlungNummern.at(i)) + ' ' + e.EndToEndIds.value(i).toUtf8() + '\n';
  ids += e.Referenz.toUtf8() + ' ' + e.NaechsteReferenz.toUtf8();

  EXPECT_EQ(dateien.join(QLatin1Char(';')).toStdString(), fall.dateien);
  EXPECT_EQ(Sha256(ids).toStdString(), fall.ids);
  EXPECT_EQ(DatenbankHash(t.Db()).toStdString(), fall.datenbank);
}

INSTANTIATE_TEST_SUITE_P(
    Laeufe, SepaDateienGleich,
    ::testing::Combine(
        ::testing::Values(
            Fall{"Ueberweisungen", 0, false, true, true, false, 7,
                 "SEPAGK.XML e7c0bf011de86ff06dced3e43aed5bf40071a20aeb87c8ab5d2dff212e6689ad",
                 "dface483cb588be4a5c35ca42c0e4f927cfe02f7a57f952ba2c91a90f0036750",
                 "70c14bc24a01a6e4cd6069163ab0af221a9da95866bde2170f75eb34a447c89b"},
            Fall{"UeberweisungenOhneAutoReferenzMitBemerkung", 0, false, false, false, true, 8,
                 "Filiale_SEPAGK.XML 64596999036a402c1d2ec9f0102c5d7ef7079a86114e5331acb7b289e2695684",
                 "b774295a59f1dc5d5822fcc7e504ad3572b94eed93d6ffe840459a08c4127f21",
                 "70c14bc24a01a6e4cd6069163ab0af221a9da95866bde2170f75eb34a447c89b"},
            Fall{"BasisAufgeteilt", 1, true, true, true, false, 9,
                 "SEPALKBasisEinmal.XML dab85424287897425ce86e5c1fc5393493e9e2f25129a749f6366877835231c0;"
                 "SEPALKBasisMehrfachErste.XML c71476865b013c37c02101857ca8e7f0a088d9473ca84ef4edc6f2282c9e3088;"
                 "SEPALKBasisMehrfachFolge.XML 79d5cd34192f0c1b67271f3a2718c03dc6ed15730e2d4d57ca9e191dc298e32c;"
                 "SEPALKBasisMehrfachLetzte.XML 62edad807c4e863828f944776a12e05b27989d03db97533fd4475913e539f2ff",
                 "5e076aff9ce1b80185d91aafe081a7c952ad0511b5f1f21ccce0008c40f84204",
                 "3e7f5425977c1262494e5b8522e040ea48b24c76f6aba826674b39a45d995b26"},
            Fall{"BasisEineDatei", 1, false, false, false, true, 10,
                 "Filiale_SEPALKBasis.XML e482a8889c50958979f8503ba139ce1a1a49147b77ec676221ea7d6f0722d411",
                 "26353f22b5420dcb182941c9301225a936f93d34e3f991579d55eec933b5c135",
                 "6a8392e04582305ef689ccbe960c9ff5cfda032d20c220d2bd657ec9860a3835"},
            Fall{"FirmenAufgeteilt", 2, true, true, false, true, 11,
                 "Filiale_SEPALKFirmenEinmal.XML b620487d88bf017159916b4618ede32f1de209e022743654824470e23bdbc91e;"
                 "Filiale_SEPALKFirmenMehrfachErste.XML 0ae62793182c28b211ecbbf7bfd782321b445f3be9ca4b6f19b51ade86bbf21f;"
                 "Filiale_SEPALKFirmenMehrfachFolge.XML 281f28cd11c5df82514dee10c45faf70be80a2e243911b3dd0ad11e2e2f60137;"
                 "Filiale_SEPALKFirmenMehrfachLetzte.XML c620754b37babffc3984c95805e2d606d050b331f4d4b422699f87b9cdb43efb",
                 "5e076aff9ce1b80185d91aafe081a7c952ad0511b5f1f21ccce0008c40f84204",
                 "3e7f5425977c1262494e5b8522e040ea48b24c76f6aba826674b39a45d995b26"}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_Geprueft" : "_Nummern");
    });

}  // namespace
