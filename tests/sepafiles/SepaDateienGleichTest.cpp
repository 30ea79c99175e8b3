// The files a run writes (pain.001.001.03 / pain.008.001.02) stay byte for byte what the run wrote before its
// reading, writing and marking were made fast: over generated databases full of awkward values (umlauts, "&", "<", quotes, over-long
// texts, faulty orders, Unicode blanks, bytes that are no UTF-8, lower-case identifiers, REAL amounts) each
// kind and mode is run and the SHA-256 of every file, the ids written and the database afterwards are
// compared with what the earlier code gave. Both roads into the run are taken: the orders the selection
// checked handed over, and order numbers only (orders from elsewhere, judged by the writer's guard).
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
                 "SEPAGK.XML 68f077082cb49d960b8154d9a0444a034fb5f66942607792ac09f4e9db957f6c",
                 "02d96ba03bff28d263f1d225777b2bf109a899241aeffd92163fa97bcc24678c",
                 "09f39101a681e5f38393d702ecb5634b4277b6f051fb2b65f13fe049ebb4e4b2"},
            Fall{"UeberweisungenOhneAutoReferenzMitBemerkung", 0, false, false, false, true, 8,
                 "Filiale_SEPAGK.XML c285b85b1560f149dd4e37b08f053c0e9e4ab2148c1c69764775d56a378aa39f",
                 "ac6ea5d13c783198fc0c3b7fc6778779ef9a78b6e3e73e2fe57800ce8f9bde3f",
                 "09f39101a681e5f38393d702ecb5634b4277b6f051fb2b65f13fe049ebb4e4b2"},
            Fall{"BasisAufgeteilt", 1, true, true, true, false, 9,
                 "SEPALKBasisEinmal.XML 9ef83e341746daa1c606b1d3bfa459ca6b920990390a4c1d6c62a4a5f57709a3;"
                 "SEPALKBasisMehrfachErste.XML 81fdcb48bba99feb63dc1a66b4d60b25d809c556c62311ceedaee85b2ff50775;"
                 "SEPALKBasisMehrfachFolge.XML 562f7c6bf6a10aa1d3c5b676a154419f40849d88056bb6feedd72b6e51d2a4db;"
                 "SEPALKBasisMehrfachLetzte.XML a19a123991415d37ca7a21924634aea85f7f9db4543df400789df21571607d4d",
                 "d67564684b6eb93acff5f8a13dcf4d46e94e124c71eb94cf9cd1b5eb0f6a1d59",
                 "2cbea5a747022ae0c8793c9f29f414efcde95d6b69853089b0cfec358dc6d6be"},
            Fall{"BasisEineDatei", 1, false, false, false, true, 10,
                 "Filiale_SEPALKBasis.XML 7cd3506d74bb638d20511cb87ff7c4df5b7b66367f0bbd14e4a5122cbdc3bdad",
                 "bf16a8b861b3760c51a43b37555062e683ff00436c76384718c9b8b0f2b09fdf",
                 "c0af85ef58c31e175fff4e913ff1f1e4e13dbaeb3219dd9a1f4696b3cf02c6c3"},
            Fall{"FirmenAufgeteilt", 2, true, true, false, true, 11,
                 "Filiale_SEPALKFirmenEinmal.XML ce06f05fe8fffb5ffe5ba734616adf97f251b4dbe99ac9be9a1978ea5e31708f;"
                 "Filiale_SEPALKFirmenMehrfachErste.XML 9d0f5aee23cfa913c39c735c0411dc87a72c142235a624f441f96b87ade4a403;"
                 "Filiale_SEPALKFirmenMehrfachFolge.XML 88cfcbaa70f3bbe455a615d85337ce9b5eaddd432731b453829f1505d1971e61;"
                 "Filiale_SEPALKFirmenMehrfachLetzte.XML dc825b43a97cadf4bfc8eee1ef222d7f5f91d1577dbbfade07cc816ec574437c",
                 "d67564684b6eb93acff5f8a13dcf4d46e94e124c71eb94cf9cd1b5eb0f6a1d59",
                 "2cbea5a747022ae0c8793c9f29f414efcde95d6b69853089b0cfec358dc6d6be"}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_Geprueft" : "_Nummern");
    });

}  // namespace
