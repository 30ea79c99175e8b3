// The conversion run over a row set in memory that behaves like a recordset inside a transaction.
#include <gtest/gtest.h>

#include <QFile>

#include <map>
#include <vector>

#include "iban/BankleitzahlTabelle.h"
#include "iban/IBANKonvertieren.h"
#include "iban/IbanDatensaetze.h"
#include "IbanTestHilfen.h"
#include "testsupport/TestOrdner.h"

namespace {

using Felder = std::map<IbanFeld, QString>;

struct Adresse {
  QString Nr;
  Felder Werte;
};

// Rows with a pending edit buffer; Speichern stores it, TransaktionVerwerfen restores the state at the
// start of the transaction.
class SpeicherDatensaetze : public IbanDatensaetze {
 public:
  explicit SpeicherDatensaetze(std::vector<Adresse> zeilen) : m_zeilen(std::move(zeilen)) {}

  qint64 Anzahl() override { return static_cast<qint64>(m_zeilen.size()); }
  bool Erster() override { return Gehe(0); }
  bool Naechster() override { return Gehe(m_pos + 1); }
  IbanDatensatzFehler LeseFehler() override {
    return m_pos == LesenBrichtAbBei ? IbanDatensatzFehler{10, QStringLiteral("disk I/O error")} : IbanDatensatzFehler{};
  }
  QString AdressNr() override { return m_zeilen.at(m_pos).Nr; }
  QString Lesen(IbanFeld feld) override {
    ++Lesungen;
    const Felder& f = m_zeilen.at(m_pos).Werte;
    const auto it = f.find(feld);
    return it == f.end() ? QString() : it->second;
  }
  IbanDatensatzFehler Schreiben(IbanFeld feld, const QString& wert) override {
    EXPECT_TRUE(m_transaktion) << "Schreiben außerhalb der Transaktion";
    if (!m_puffer) m_puffer = m_zeilen.at(m_pos).Werte;
    (*m_puffer)[feld] = wert;
    ++Schreibungen;
    return {};
  }
  IbanDatensatzFehler Speichern() override {
    ++Speicherungen;
    if (m_zeilen.at(m_pos).Nr == FehlerBeiAdresse) return {19, QStringLiteral("Feld zu lang")};
    if (m_puffer) m_zeilen.at(m_pos).Werte = *m_puffer;
    m_puffer.reset();
    return {};
  }
  IbanDatensatzFehler TransaktionBeginnen() override {
    m_transaktion = true;
    m_sicherung = m_zeilen;
    ++Begonnen;
    return {};
  }
  IbanDatensatzFehler TransaktionBestaetigen() override {
    if (BestaetigenScheitert) return {5, QStringLiteral("database is locked")};
    m_transaktion = false;
    ++Bestaetigt;
    return {};
  }
  void TransaktionVerwerfen() override {
    m_zeilen = m_sicherung;
    m_puffer.reset();
    m_transaktion = false;
    ++Verworfen;
  }

  QString Wert(qsizetype zeile, IbanFeld feld) const {
    const Felder& f = m_zeilen.at(zeile).Werte;
    const auto it = f.find(feld);
    return it == f.end() ? QString() : it->second;
  }
  const std::vector<Adresse>& Zeilen() const { return m_zeilen; }

  QString FehlerBeiAdresse;
  qsizetype LesenBrichtAbBei = -1;   // the walk stops there as if the rows could not be read
  bool BestaetigenScheitert = false;
  int Lesungen = 0, Schreibungen = 0, Speicherungen = 0, Begonnen = 0, Bestaetigt = 0, Verworfen = 0;

 private:
  bool Gehe(qsizetype pos) {
    m_pos = pos;
    m_puffer.reset();
    return m_pos != LesenBrichtAbBei && m_pos < static_cast<qsizetype>(m_zeilen.size());
  }
  std::vector<Adresse> m_zeilen;
  std::vector<Adresse> m_sicherung;
  std::optional<Felder> m_puffer;
  qsizetype m_pos = 0;
  bool m_transaktion = false;
};

Adresse Zeile(const char* nr, const char* blz, const char* konto, const char* iban = "", const char* bic = "",
              const char* bank = "Alte Bank", const char* hinweis = "alter Hinweis") {
  return {QString::fromLatin1(nr),
          {{IbanFeld::BLZ, QString::fromLatin1(blz)},
           {IbanFeld::KontoNr, QString::fromLatin1(konto)},
           {IbanFeld::IBAN, QString::fromLatin1(iban)},
           {IbanFeld::BIC, QString::fromLatin1(bic)},
           {IbanFeld::Bank, QString::fromUtf8(bank)},
           {IbanFeld::IBANKonvertierHinweis, QString::fromLatin1(hinweis)}}};
}

class IBANKonvertierenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BlzZeile koeln;
    koeln.BLZ = "37040044";
    koeln.Kurzname = "Commerzbank K\xf6ln";
    koeln.BIC = "COBADEFFXXX";
    BlzZeile post;
    post.BLZ = "10010010";
    post.Kurzname = "Postbank";
    post.BIC = "PBNKDEFFXXX";
    post.Regel = "000100";
    BlzZeile geloescht;
    geloescht.BLZ = "11111111";
    geloescht.Kurzname = "Geschlossen";
    geloescht.Aenderung = 'D';
    geloescht.Nachfolger = "37040044";
    BlzZeile unbekannt;
    unbekannt.BLZ = "20000000";
    unbekannt.Kurzname = "Neue Regel";
    unbekannt.Regel = "009900";
    BlzZeile filiale = koeln;
    filiale.Merkmal = '2';
    filiale.Kurzname = "Filiale";
    DateiSchreiben(post.Text() + "\r\n" + koeln.Text() + "\r\n" + filiale.Text() + "\r\n" + geloescht.Text() +
                   "\r\n" + unbekannt.Text());
  }
  void DateiSchreiben(const QByteArray& inhalt) {
    QFile f(m_pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(inhalt);
  }
  IbanKonvertierErgebnis Lauf(SpeicherDatensaetze& daten) {
    IbanKonvertierRueckmeldung r;
    r.Status = [this](const QString& t) { m_status.push_back(t); };
    r.Fortschritt = [this](qint64 erledigt, qint64 gesamt) { m_fortschritt.emplace_back(erledigt, gesamt); };
    return IBANKonvertieren(m_pfad, m_tabelle, daten, r);
  }

  TestOrdner m_ordner;
  QString m_pfad = m_ordner.Datei(BankleitzahlTabelle::DateiName());
  BankleitzahlTabelle m_tabelle;
  std::vector<QString> m_status;
  std::vector<std::pair<qint64, qint64>> m_fortschritt;
};

TEST_F(IBANKonvertierenTest, JedeAdresseErhaeltIhrErgebnis) {
  SpeicherDatensaetze daten({
      Zeile("1", "37040044", "532013000", "DE00ALT", "ALTBIC"),
      Zeile("2", "", "532013000", "DE02ALT", "ALTBIC2"),
      Zeile("3", "1234567", "1"),
      Zeile("4", "37040045", "532013000", "DE04ALT", "ALTBIC4"),
      Zeile("5", "11111111", "532013000"),
      Zeile("6", "10010010", "123", "DE06ALT", "ALTBIC6"),
      Zeile("7", "37040044", "", "DE07ALT", "ALTBIC7"),
      Zeile("8", "20000000", "123", "DE08ALT", "ALTBIC8"),
      Zeile("9", " 37040044", "532013000"),
  });
  const IbanKonvertierErgebnis e = Lauf(daten);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  const auto w = [&](qsizetype z, IbanFeld f) { return daten.Wert(z, f); };
  const QString iban = QStringLiteral("DE89370400440532013000");

  EXPECT_EQ(w(0, IbanFeld::IBAN), iban);
  EXPECT_EQ(w(0, IbanFeld::BIC), QStringLiteral("COBADEFFXXX"));
  EXPECT_EQ(w(0, IbanFeld::Bank), QStringLiteral("Commerzbank Köln"));
  // The old hint goes; the IBAN it had before is named, as it was another.
  EXPECT_EQ(w(0, IbanFeld::IBANKonvertierHinweis),
            QStringLiteral("104-IBAN aus BLZ und Konto-Nr ersetzt die bisherige, nicht passende IBAN: DE00ALT"));

  // No IBAN formed: IBAN and BIC stay, only the hint is written; Bank only where the bank was found.
  // An IBAN without a bank code needs no conversion: it stays, an earlier hint goes, no hint 5.
  EXPECT_EQ(w(1, IbanFeld::IBANKonvertierHinweis), QString());
  EXPECT_EQ(w(1, IbanFeld::IBAN), QStringLiteral("DE02ALT"));
  EXPECT_EQ(w(1, IbanFeld::BIC), QStringLiteral("ALTBIC2"));
  EXPECT_EQ(w(2, IbanFeld::IBANKonvertierHinweis), QStringLiteral("5-BLZ ist nicht 8-stellig"));
  EXPECT_EQ(w(3, IbanFeld::IBANKonvertierHinweis), QStringLiteral("3-BLZ ist nicht im Bundesbank-Bestand"));
  EXPECT_EQ(w(3, IbanFeld::IBAN), QStringLiteral("DE04ALT"));
  EXPECT_EQ(w(3, IbanFeld::BIC), QStringLiteral("ALTBIC4"));
  EXPECT_EQ(w(3, IbanFeld::Bank), QStringLiteral("Alte Bank"));

  EXPECT_EQ(w(4, IbanFeld::IBAN), iban);
  EXPECT_EQ(w(4, IbanFeld::Bank), QStringLiteral("Commerzbank Köln"));
  EXPECT_EQ(w(4, IbanFeld::IBANKonvertierHinweis),
            QStringLiteral("103-Die gespeicherte BLZ wurde gelöscht und durch eine Nachfolge-BLZ ersetzt"));
  EXPECT_EQ(w(4, IbanFeld::BLZ), QStringLiteral("11111111")) << "BLZ der Adresse bleibt";

  EXPECT_EQ(w(5, IbanFeld::IBANKonvertierHinweis), QStringLiteral("4-BLZ ohne IBAN-Ermittlung"));
  EXPECT_EQ(w(5, IbanFeld::IBAN), QStringLiteral("DE06ALT"));
  EXPECT_EQ(w(5, IbanFeld::BIC), QStringLiteral("ALTBIC6"));
  EXPECT_EQ(w(5, IbanFeld::Bank), QStringLiteral("Postbank"));

  EXPECT_EQ(w(6, IbanFeld::IBANKonvertierHinweis), QStringLiteral("9-Kontonummer fehlt oder ist ungültig"));
  EXPECT_EQ(w(6, IbanFeld::IBAN), QStringLiteral("DE07ALT"));
  EXPECT_EQ(w(7, IbanFeld::IBANKonvertierHinweis), QStringLiteral("10-IBAN-Regel wird nicht unterstützt: 009900"));
  EXPECT_EQ(w(7, IbanFeld::IBAN), QStringLiteral("DE08ALT"));
  EXPECT_EQ(w(8, IbanFeld::IBAN), iban);
  EXPECT_EQ(w(8, IbanFeld::BLZ), QStringLiteral(" 37040044"));

  EXPECT_EQ(e.Datensaetze, 8);
  EXPECT_EQ(e.BereitsUmgestellt, 1);
  EXPECT_EQ(e.MitIban, 3);
  EXPECT_EQ(e.JeHinweis.at(IbanHinweis::BlzNichtAchtstellig), 1);
  EXPECT_EQ(e.JeHinweis.at(IbanHinweis::NachfolgeBlz), 1);
  EXPECT_EQ(daten.Speicherungen, 9) << "jede Adresse wird einmal gespeichert, die umgestellte nur für den alten Hinweis";
  EXPECT_EQ(daten.Begonnen, 1);
  EXPECT_EQ(daten.Bestaetigt, 1);
  EXPECT_EQ(daten.Verworfen, 0);
  // The closing summary counts by outcome and by hint number, in singular and plural.
  const QStringList zeilen = e.Zusammenfassung().split(QLatin1Char('\r'));
  for (const char* z : {"Geprüft: 9 Adressen", "IBAN und BIC ermittelt: 3 Adressen",
                        "Bereits mit IBAN, ohne Bankleitzahl (unverändert): 1 Adresse",
                        "Ohne neue IBAN (IBAN und BIC bleiben, wie sie waren): 5 Adressen",
                        "Hinweis 5 (BLZ ist nicht 8-stellig): 1 Adresse", "Hinweis 10 (IBAN-Regel wird nicht unterstützt): 1 Adresse",
                        "Hinweis 103 (Die gespeicherte BLZ wurde gelöscht und durch eine Nachfolge-BLZ ersetzt): 1 Adresse"})
    EXPECT_TRUE(zeilen.contains(QString::fromUtf8(z))) << z << "\n" << e.Zusammenfassung().toStdString();
}

// An IBAN stored for another account than bank code and account number name (typed for a new bank while the
// old data stayed) is replaced as before, but the hint names the one it replaced; the same IBAN, however it
// was typed, and an IBAN where none is formed stay without that hint.
TEST_F(IBANKonvertierenTest, ErsetzteAndereIbanBleibtImHinweis) {
  SpeicherDatensaetze daten({Zeile("1", "37040044", "532013000", "DE02 1203 0000 0000 2020 51", "BYLADEM1001"),
                             Zeile("2", "37040044", "532013000", "de89 3704 0044 0532 0130 00", "COBADEFFXXX"),
                             Zeile("3", "37040044", "532013000", "", ""),
                             Zeile("4", "20000000", "532013000", "DE02120300000000202051", "BYLADEM1001")});
  const IbanKonvertierErgebnis e = Lauf(daten);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  const QString iban = QStringLiteral("DE89370400440532013000");
  EXPECT_EQ(daten.Wert(0, IbanFeld::IBAN), iban);
  EXPECT_EQ(daten.Wert(0, IbanFeld::IBANKonvertierHinweis),
            QStringLiteral("104-IBAN aus BLZ und Konto-Nr ersetzt die bisherige, nicht passende IBAN: DE02120300000000202051"));
  EXPECT_LE(daten.Wert(0, IbanFeld::IBANKonvertierHinweis).size() - 22 + 34, 120) << "passt mit der längsten IBAN ins Feld";
  EXPECT_EQ(daten.Wert(1, IbanFeld::IBAN), iban);
  EXPECT_EQ(daten.Wert(1, IbanFeld::IBANKonvertierHinweis), QString());
  EXPECT_EQ(daten.Wert(2, IbanFeld::IBAN), iban);
  EXPECT_EQ(daten.Wert(2, IbanFeld::IBANKonvertierHinweis), QString());
  EXPECT_EQ(daten.Wert(3, IbanFeld::IBAN), QStringLiteral("DE02120300000000202051")) << "keine neue IBAN: sie bleibt";
  EXPECT_EQ(daten.Wert(3, IbanFeld::IBANKonvertierHinweis), QStringLiteral("10-IBAN-Regel wird nicht unterstützt: 009900"));
  EXPECT_EQ(e.JeHinweis.at(IbanHinweis::AndereIbanErsetzt), 1);
  EXPECT_TRUE(e.Zusammenfassung().split(QLatin1Char('\r')).contains(
      QStringLiteral("Hinweis 104 (IBAN aus BLZ und Konto-Nr ersetzt die bisherige, nicht passende IBAN): 1 Adresse")))
      << e.Zusammenfassung().toStdString();
}

TEST_F(IBANKonvertierenTest, StatustexteUndFortschritt) {
  SpeicherDatensaetze daten({Zeile("1", "37040044", "1"), Zeile("2", "37040044", "2")});
  ASSERT_TRUE(Lauf(daten).Ok);
  const std::vector<QString> erwartet{QStringLiteral("BLZ-Bestand der Bundesbank wird eingelesen..."),
                                      QStringLiteral("Daten werden konvertiert..."), QStringLiteral("Bereit")};
  EXPECT_EQ(m_status, erwartet);
  const std::vector<std::pair<qint64, qint64>> fortschritt{{1, 2}, {2, 2}};
  EXPECT_EQ(m_fortschritt, fortschritt);
  EXPECT_EQ(m_tabelle.Anzahl(), 4) << "der Aufrufer leert die Tabelle";
}

// A damaged record of the bank-code file is left out and named; the run converts the other addresses.
TEST_F(IBANKonvertierenTest, BankMitKaputterBicWirdGenanntDerLaufGehtWeiter) {
  BlzZeile koeln;
  koeln.BLZ = "37040044";
  koeln.BIC = "COBADEFFXXX";
  BlzZeile kaputt;
  kaputt.BLZ = "30000000";
  // Split literals: "\x02BADEFF" would be one hex escape.
  kaputt.BIC = QByteArray("\x01\x02" "BADEFF" "\x03\x04\x05");
  ASSERT_EQ(kaputt.BIC.size(), 11);
  DateiSchreiben(koeln.Text() + "\r\n" + kaputt.Text() + "\r\n");
  SpeicherDatensaetze daten({Zeile("1", "37040044", "532013000"), Zeile("2", "30000000", "532013000")});
  const IbanKonvertierErgebnis e = Lauf(daten);
  ASSERT_TRUE(e.Ok) << e.Meldung.toStdString();
  EXPECT_EQ(e.MitIban, 1);
  EXPECT_TRUE(e.Hinweis.startsWith(QStringLiteral("Die Bankleitzahlendatei \"") + m_pfad +
                                   QStringLiteral("\" enthält 1 Bankdatensätze mit ungültiger BIC")))
      << e.Hinweis.toStdString();
  // The control characters show as replacement characters around the readable rest of the field.
  EXPECT_TRUE(e.Hinweis.contains(QStringLiteral("\rZeile 2, BLZ 30000000, BIC \"\uFFFD\uFFFDBADEFF\uFFFD\uFFFD\uFFFD\": ")))
      << e.Hinweis.toStdString();
  EXPECT_EQ(daten.Wert(1, IbanFeld::IBANKonvertierHinweis), QStringLiteral("3-BLZ ist nicht im Bundesbank-Bestand"));
}

TEST_F(IBANKonvertierenTest, LeereDatensatzmenge) {
  SpeicherDatensaetze daten({});
  const IbanKonvertierErgebnis e = Lauf(daten);
  EXPECT_TRUE(e.Ok);
  EXPECT_EQ(e.Datensaetze, 0);
  EXPECT_EQ(m_status.back(), QStringLiteral("Bereit"));
}

class IBANKonvertierenDateiFehlerTest : public IBANKonvertierenTest,
                                        public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(IBANKonvertierenDateiFehlerTest, KeineAdresseWirdBeruehrt) {
  const auto [art, teiltext] = GetParam();
  const QByteArray a(art);
  if (a == "fehlt") QFile::remove(m_pfad);
  if (a == "leer") DateiSchreiben({});
  if (a == "168") {
    BlzZeile z;
    DateiSchreiben(z.Text().left(168) + "\r\n" + z.Text().left(168) + "\r\n");
  }
  SpeicherDatensaetze daten({Zeile("1", "37040044", "532013000", "DE00ALT", "ALTBIC")});
  const IbanKonvertierErgebnis e = Lauf(daten);
  EXPECT_FALSE(e.Ok);
  EXPECT_TRUE(e.Meldung.contains(m_pfad)) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.contains(QString::fromUtf8(teiltext))) << e.Meldung.toStdString();
  EXPECT_EQ(daten.Begonnen, 0);
  EXPECT_EQ(daten.Schreibungen, 0);
  EXPECT_EQ(daten.Speicherungen, 0);
  EXPECT_EQ(daten.Lesungen, 0);
  EXPECT_EQ(daten.Wert(0, IbanFeld::IBANKonvertierHinweis), QStringLiteral("alter Hinweis"));
  EXPECT_EQ(m_status.back(), QStringLiteral("Bereit"));
}

INSTANTIATE_TEST_SUITE_P(Datei, IBANKonvertierenDateiFehlerTest,
                         ::testing::Values(std::pair{"fehlt", "nicht vorhanden"}, std::pair{"leer", "ist leer"},
                                           std::pair{"168", "168"}),
                         [](const auto& info) { return std::string("Datei_") + info.param.first; });

TEST_F(IBANKonvertierenTest, SpeicherfehlerNimmtDenGanzenLaufZurueck) {
  SpeicherDatensaetze daten({Zeile("K1001", "37040044", "1", "DE00ALT", "ALTBIC"),
                             Zeile("K1002", "37040044", "2", "DE01ALT", "ALTBIC"),
                             Zeile("K1003", "37040044", "3", "DE02ALT", "ALTBIC")});
  const std::vector<Adresse> vorher = daten.Zeilen();
  daten.FehlerBeiAdresse = QStringLiteral("K1002");
  const IbanKonvertierErgebnis e = Lauf(daten);
  EXPECT_FALSE(e.Ok);
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("K1002"))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("Nr: 19"))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("Beschreibung: Feld zu lang"))) << e.Meldung.toStdString();
  EXPECT_EQ(daten.Verworfen, 1);
  EXPECT_EQ(daten.Bestaetigt, 0);
  EXPECT_EQ(daten.Speicherungen, 2) << "nach dem Fehler wird keine Adresse mehr bearbeitet";
  for (std::size_t i = 0; i < vorher.size(); ++i) EXPECT_EQ(daten.Zeilen()[i].Werte, vorher[i].Werte) << i;
  EXPECT_EQ(e.Datensaetze, 0);
}

TEST_F(IBANKonvertierenTest, AbgebrochenesLesenNimmtZurueckStattNurEinenTeilZuKonvertieren) {
  SpeicherDatensaetze daten({Zeile("K1001", "37040044", "1", "DE00ALT", "ALTBIC"),
                             Zeile("K1002", "37040044", "2", "DE01ALT", "ALTBIC")});
  const std::vector<Adresse> vorher = daten.Zeilen();
  daten.LesenBrichtAbBei = 1;
  const IbanKonvertierErgebnis e = Lauf(daten);
  EXPECT_FALSE(e.Ok);
  EXPECT_TRUE(e.Meldung.startsWith(QStringLiteral("Die Adressen konnten nicht vollständig gelesen werden."))) << e.Meldung.toStdString();
  EXPECT_TRUE(e.Meldung.endsWith(QStringLiteral("\rNr: 10\rBeschreibung: disk I/O error"))) << e.Meldung.toStdString();
  EXPECT_EQ(daten.Speicherungen, 1);
  EXPECT_EQ(daten.Verworfen, 1);
  EXPECT_EQ(daten.Bestaetigt, 0);
  EXPECT_EQ(daten.Zeilen()[0].Werte, vorher[0].Werte);
  EXPECT_EQ(e.Datensaetze, 0);
  EXPECT_EQ(m_status.back(), QStringLiteral("Bereit"));
}

TEST_F(IBANKonvertierenTest, ScheiterndesBestaetigenNimmtZurueck) {
  SpeicherDatensaetze daten({Zeile("1", "37040044", "1", "DE00ALT", "ALTBIC")});
  const std::vector<Adresse> vorher = daten.Zeilen();
  daten.BestaetigenScheitert = true;
  const IbanKonvertierErgebnis e = Lauf(daten);
  EXPECT_FALSE(e.Ok);
  EXPECT_TRUE(e.Meldung.contains(QStringLiteral("database is locked"))) << e.Meldung.toStdString();
  EXPECT_EQ(daten.Verworfen, 1);
  EXPECT_EQ(daten.Zeilen()[0].Werte, vorher[0].Werte);
}

}  // namespace
