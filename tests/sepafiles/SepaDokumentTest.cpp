#include <gtest/gtest.h>

#include "testsupport/Testname.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>

#include "QtAusgabe.h"
#include "XPfad.h"
#include "common/Textfunktionen.h"
#include "sepafiles/core/SepaDokument.h"
#include "zahlungsverkehr/SepaKennung.h"
#include "testsupport/SchemaPruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

// The messages of the default format; tests of the older one name it.
const QString Pain001 = QStringLiteral("pain.001.001.09");
const QString Pain008 = QStringLiteral("pain.008.001.08");

// Wednesday 5 June 2024, 14:05:09.
const QDateTime Zeitpunkt(QDate(2024, 6, 5), QTime(14, 5, 9));

SepaAbsender Absender() {
  SepaAbsender a;
  a.Name = QStringLiteral("Tamo Handel GmbH & Co. KG");
  a.IBAN = QStringLiteral("DE89370400440532013000");
  a.BIC = QStringLiteral("COBADEFFXXX");
  a.GlaeubigerID = QStringLiteral("DE98ZZZ09999999999");
  a.Bemerkung = QStringLiteral("Filiale");
  return a;
}

SepaOptionen Optionen(SepaArt art, bool aufteilen = false) {
  SepaOptionen o;
  o.Art = art;
  o.AufteilenNachMandatArt = aufteilen;
  o.Sammelbuchung = true;
  o.Vorlauftage = 2;
  o.Erstellungsdatum = Zeitpunkt.date();
  o.Zeitpunkt = Zeitpunkt;
  return o;
}

// A credit transfer without sequence, else a direct debit of that sequence.
Zahlungsauftrag Auftrag(qint64 nr, int64_t cent, int sequenz = 0) {
  Zahlungsauftrag a;
  a.ZahlungNr = nr;
  a.Art = sequenz == 0 ? QStringLiteral("G") : QStringLiteral("L");
  a.Name = QStringLiteral("Kunde %1").arg(nr);
  a.IBAN = QStringLiteral("DE89370400440532013000");
  a.BIC = QStringLiteral("DEUTDEFF");
  a.Betrag = Waehrung::AusCent(cent);
  a.Verwendungszweck1 = QStringLiteral("Rechnung %1").arg(nr);
  a.MandatReferenz = QStringLiteral("M-%1").arg(nr);
  a.MandatDatum = QDate(2023, 1, 15);
  a.MandatSequenz = sequenz;
  return a;
}

// Remittance lines whose amounts add up to the order's amount (the first line carries it all).
void MitZeilen(Zahlungsauftrag& a, const QStringList& texte) {
  a.Zeilen.clear();
  for (const QString& text : texte) a.Zeilen << Auftragszeile{text, a.Zeilen.isEmpty() ? a.Betrag : Waehrung()};
}

// Writes every file of the result into a temporary folder and validates it against the ISO and
// DK schemas of `format`.
void SchemaGueltig(const SepaErgebnis& ergebnis, const QString& format) {
  ASSERT_TRUE(ergebnis.Ok()) << ergebnis.Fehler.toStdString();
  ASSERT_FALSE(ergebnis.Dateien.isEmpty());
  TestOrdner ordner;
  for (const SepaDatei& datei : ergebnis.Dateien) {
    const QString pfad = ordner.Datei(datei.Dateiname);
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(datei.Inhalt), datei.Inhalt.size());
    f.close();
    const QStringList fehler = SchemaPruefung::Pruefen(pfad, format);
    EXPECT_TRUE(fehler.isEmpty()) << datei.Dateiname.toStdString() << ": "
                                  << fehler.join(QLatin1Char('\n')).toStdString();
  }
}

// The expected file of a message ("erwartet/<message>/<name>").
QString Erwartet(const QString& nachricht, const QString& name) {
  QFile f(QStringLiteral(TAMO_SOURCE_DIR "/tests/sepafiles/erwartet/") + nachricht + QLatin1Char('/') + name);
  if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("(fehlt: ") + f.fileName() + QLatin1Char(')');
  return QString::fromUtf8(f.readAll()).trimmed();
}

std::string FormatName(const testing::TestParamInfo<SepaFormat>& info) {
  return info.param == SepaFormat::Pain09 ? "pain09" : "pain03";
}

// ---------------------------------------------------------------------------------------------
// Golden files of both formats: the whole document, byte for byte.

class SepaDokumentFormat : public testing::TestWithParam<SepaFormat> {};

TEST_P(SepaDokumentFormat, UeberweisungWieErwartet) {
  QList<Zahlungsauftrag> auftraege{Auftrag(12, 125000), Auftrag(11, 5)};
  auftraege[0].Textschluessel = QStringLiteral("SALA");
  auftraege[0].EinzelReferenz = QStringLiteral("RE-2024/17");
  auftraege[1].BIC.clear();
  MitZeilen(auftraege[1], QStringList{QStringLiteral("Rg. 1"), QStringLiteral("Rg. 2")});
  SepaOptionen o = Optionen(SepaArt::Ueberweisung);
  o.Format = GetParam();
  o.Ausfuehrungsdatum = QDate(2024, 6, 8);  // a Saturday
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  const QString nachricht = SepaFormate::Nachricht(GetParam(), false);
  SchemaGueltig(e, nachricht);
  ASSERT_EQ(e.Dateien.size(), 1);
  EXPECT_EQ(QString::fromUtf8(e.Dateien[0].Inhalt), Erwartet(nachricht, QStringLiteral("SEPAGK.XML")));
}

TEST_P(SepaDokumentFormat, BasisLastschriftWieErwartet) {
  QList<Zahlungsauftrag> auftraege{Auftrag(21, 1000, 3), Auftrag(20, 2050, 2), Auftrag(22, 99, 2)};
  auftraege[1].BIC.clear();
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift);
  o.Format = GetParam();
  o.AutoEinzelReferenz = true;
  o.Sammelbuchung = false;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  const QString nachricht = SepaFormate::Nachricht(GetParam(), true);
  SchemaGueltig(e, nachricht);
  ASSERT_EQ(e.Dateien.size(), 1);
  EXPECT_EQ(QString::fromUtf8(e.Dateien[0].Inhalt), Erwartet(nachricht, QStringLiteral("SEPALKBasis.XML")));
}

INSTANTIATE_TEST_SUITE_P(Formate, SepaDokumentFormat, testing::Values(SepaFormat::Pain09, SepaFormat::Pain03),
                         FormatName);

// What the formats differ in, and nothing else: namespace, the agents' BIC element, the execution date.
TEST(SepaDokument, FormateUnterscheidenSichNurImVereinbarten) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100), Auftrag(2, 250)};
  SepaOptionen neu = Optionen(SepaArt::Ueberweisung);
  SepaOptionen alt = neu;
  alt.Format = SepaFormat::Pain03;
  QString a = QString::fromUtf8(SepaDokument::Bauen(auftraege, Absender(), alt, QStringLiteral("R100")).Dateien.value(0).Inhalt);
  const QString n = QString::fromUtf8(SepaDokument::Bauen(auftraege, Absender(), neu, QStringLiteral("R100")).Dateien.value(0).Inhalt);
  ASSERT_FALSE(a.isEmpty());
  EXPECT_EQ(a.count(QStringLiteral("<BIC>")), 3);
  EXPECT_EQ(n.count(QStringLiteral("<BICFI>")), 3);
  EXPECT_FALSE(n.contains(QStringLiteral("<BIC>")));
  EXPECT_TRUE(n.contains(QStringLiteral("<ReqdExctnDt><Dt>2024-06-06</Dt></ReqdExctnDt>")));
  EXPECT_FALSE(n.contains(QStringLiteral("UETR")));
  EXPECT_FALSE(n.contains(QStringLiteral("<DtTm>")));
  EXPECT_FALSE(n.contains(QStringLiteral("PstlAdr")));
  a.replace(QStringLiteral("pain.001.001.03"), QStringLiteral("pain.001.001.09"))
      .replace(QStringLiteral("BIC>"), QStringLiteral("BICFI>"))
      .replace(QStringLiteral("<ReqdExctnDt>2024-06-06</ReqdExctnDt>"),
               QStringLiteral("<ReqdExctnDt><Dt>2024-06-06</Dt></ReqdExctnDt>"));
  EXPECT_EQ(a, n);
}

// ---------------------------------------------------------------------------------------------
// Credit transfers

TEST(SepaDokument, UeberweisungStruktur) {
  QList<Zahlungsauftrag> auftraege{Auftrag(3, 5), Auftrag(1, 125000), Auftrag(2, 1250)};
  auftraege[0].EinzelReferenz = QStringLiteral("  Ref-1  ");   // given: written trimmed
  auftraege[1].Textschluessel = QStringLiteral("GDDS");
  auftraege[2].BIC = QStringLiteral(" deutdeff ");
  SepaOptionen o = Optionen(SepaArt::Ueberweisung, true);  // split never applies to credit transfers
  o.AutoEinzelReferenz = true;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  SchemaGueltig(e, Pain001);
  ASSERT_EQ(e.Dateien.size(), 1);
  const SepaDatei& d = e.Dateien[0];
  EXPECT_EQ(d.Dateiname, QStringLiteral("SEPAGK.XML"));
  EXPECT_EQ(d.NachrichtenId, QStringLiteral("R100"));
  EXPECT_EQ(e.Referenz, QStringLiteral("R100"));
  EXPECT_EQ(d.ZahlungNummern, (QList<qint64>{1, 2, 3}));
  EXPECT_EQ(d.Anzahl, 3);
  EXPECT_EQ(d.Kontrollsumme, Waehrung::AusCent(126255));
  EXPECT_EQ(d.Buchungsdatum, QDate(2024, 6, 6));
  EXPECT_EQ(e.Ausfuehrungsdatum, QDate(2024, 6, 6));
  EXPECT_TRUE(e.PdfDateiname.isEmpty());

  XPfad x(d.Inhalt);
  ASSERT_TRUE(x.Gelesen());
  EXPECT_EQ(x.Kinder(QStringLiteral("/p:Document/p:CstmrCdtTrfInitn")),
            (QStringList{QStringLiteral("GrpHdr"), QStringLiteral("PmtInf")}));
  EXPECT_EQ(x.Kinder(QStringLiteral("//p:GrpHdr")),
            (QStringList{QStringLiteral("MsgId"), QStringLiteral("CreDtTm"), QStringLiteral("NbOfTxs"),
                         QStringLiteral("CtrlSum"), QStringLiteral("InitgPty")}));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("R100"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:CreDtTm")), QStringLiteral("2024-06-05T14:05:09"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("3"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("1262.55"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:InitgPty/p:Nm")), QStringLiteral("Tamo Handel GmbH + Co. KG"));
  EXPECT_EQ(x.Kinder(QStringLiteral("//p:PmtInf")),
            (QStringList{QStringLiteral("PmtInfId"), QStringLiteral("PmtMtd"), QStringLiteral("BtchBookg"),
                         QStringLiteral("NbOfTxs"), QStringLiteral("CtrlSum"), QStringLiteral("PmtTpInf"),
                         QStringLiteral("ReqdExctnDt"), QStringLiteral("Dbtr"), QStringLiteral("DbtrAcct"),
                         QStringLiteral("DbtrAgt"), QStringLiteral("ChrgBr"), QStringLiteral("CdtTrfTxInf"),
                         QStringLiteral("CdtTrfTxInf"), QStringLiteral("CdtTrfTxInf")}));
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:PmtInfId")), QStringLiteral("R100-1"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:PmtMtd")), QStringLiteral("TRF"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:BtchBookg")), QStringLiteral("true"));
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:PmtTpInf/p:LclInstrm)")), 0);
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:NbOfTxs")), QStringLiteral("3"));
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:CdtTrfTxInf)")), 3);
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:CtrlSum")), QStringLiteral("1262.55"));
  EXPECT_DOUBLE_EQ(x.Zahl(QStringLiteral("sum(//p:InstdAmt)")), 1262.55);
  EXPECT_EQ(x.Texte(QStringLiteral("//p:InstdAmt")),
            (QStringList{QStringLiteral("1250"), QStringLiteral("12.5"), QStringLiteral(".05")}));
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:ReqdExctnDt/p:Dt")), QStringLiteral("2024-06-06"));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:EndToEndId")),
            (QStringList{QStringLiteral("R100-1-1"), QStringLiteral("R100-1-2"), QStringLiteral("Ref-1")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:CdtTrfTxInf/p:Purp/p:Cd")), QStringList{QStringLiteral("GDDS")});
  EXPECT_EQ(x.Texte(QStringLiteral("//p:CdtTrfTxInf/p:CdtrAgt/p:FinInstnId/p:BICFI")),
            (QStringList{QStringLiteral("DEUTDEFF"), QStringLiteral("DEUTDEFF"), QStringLiteral("DEUTDEFF")}));
  EXPECT_EQ(x.Kinder(QStringLiteral("(//p:CdtTrfTxInf)[1]")),
            (QStringList{QStringLiteral("PmtId"), QStringLiteral("Amt"), QStringLiteral("CdtrAgt"),
                         QStringLiteral("Cdtr"), QStringLiteral("CdtrAcct"), QStringLiteral("Purp"),
                         QStringLiteral("RmtInf")}));
}

TEST(SepaDokument, UeberweisungOhneBicUndOhneAutoReferenz) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100), Auftrag(2, 200)};
  auftraege[0].BIC = QStringLiteral("   ");
  auftraege[1].EinzelReferenz = QStringLiteral("   ");  // nothing left after trimming
  SepaAbsender absender = Absender();
  absender.BIC.clear();
  SepaOptionen o = Optionen(SepaArt::Ueberweisung);
  o.Sammelbuchung = false;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, o, QStringLiteral("R100"));
  SchemaGueltig(e, Pain001);
  XPfad x(e.Dateien.value(0).Inhalt);
  EXPECT_EQ(x.Texte(QStringLiteral("//p:EndToEndId")),
            (QStringList{QStringLiteral("NOTPROVIDED"), QStringLiteral("NOTPROVIDED")}));
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:CdtTrfTxInf[1]/p:CdtrAgt)")), 0);
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:CdtTrfTxInf[2]/p:CdtrAgt)")), 1);
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:DbtrAgt/p:FinInstnId/p:Othr/p:Id")), QStringLiteral("NOTPROVIDED"));
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:PmtInf/p:DbtrAgt//p:BICFI)")), 0);
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:BtchBookg")), QStringLiteral("false"));
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:Purp)")), 0);
}

TEST(SepaDokument, KontrollsummeExakt) {
  // 0.01 + 0.07 + 0.10 ... summed in binary floating point would drift; the sums must be exact.
  QList<Zahlungsauftrag> auftraege;
  Waehrung erwartet;
  for (int i = 1; i <= 999; ++i) {
    auftraege.append(Auftrag(i, (i % 3 == 0) ? 1 : (i % 3 == 1 ? 7 : 10), 1 + i % 4));
    erwartet += auftraege.last().Betrag;
  }
  auftraege[0].IBAN = QStringLiteral(" de89370400440532013000 ");
  auftraege[0].BIC = QStringLiteral(" deutdeff500 ");
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), Optionen(SepaArt::BasisLastschrift),
                                             QStringLiteral("R100"));
  SchemaGueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 1);
  EXPECT_EQ(e.Dateien[0].Kontrollsumme, erwartet);
  XPfad x(e.Dateien[0].Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("59.94"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("999"));
  Waehrung bloecke;
  for (const QString& summe : x.Texte(QStringLiteral("//p:PmtInf/p:CtrlSum")))
    bloecke += *Waehrung::ParseInvariant(summe.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + summe : summe);
  EXPECT_EQ(bloecke, erwartet);
  const QStringList ibans = x.Texte(QStringLiteral("//p:DbtrAcct/p:Id/p:IBAN"));
  EXPECT_EQ(ibans.count(QStringLiteral("DE89370400440532013000")), 999);
  EXPECT_EQ(x.Texte(QStringLiteral("//p:DbtrAgt//p:BICFI")).count(QStringLiteral("DEUTDEFF500")), 1);
}

TEST(SepaDokument, VerwendungszweckAusZeilenOderFeld) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100), Auftrag(2, 100), Auftrag(3, 100)};
  MitZeilen(auftraege[0], QStringList{QStringLiteral(" RE 1 "), QString(), QStringLiteral("RE 2")});
  MitZeilen(auftraege[2], QStringList{QStringLiteral("  "), QString()});  // nothing to write
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), Optionen(SepaArt::Ueberweisung),
                                             QStringLiteral("R100"));
  SchemaGueltig(e, Pain001);
  XPfad x(e.Dateien.value(0).Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("(//p:CdtTrfTxInf)[1]/p:RmtInf/p:Ustrd")), QStringLiteral("RE 1   RE 2"));
  EXPECT_EQ(x.Text(QStringLiteral("(//p:CdtTrfTxInf)[2]/p:RmtInf/p:Ustrd")), QStringLiteral("Rechnung 2"));
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:CdtTrfTxInf[3]/p:RmtInf)")), 0);
}

TEST(SepaDokument, BytesEineZeileUtf8OhneBom) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100)};
  auftraege[0].Name = QStringLiteral("Jörg\r\nÜbel\tß");
  MitZeilen(auftraege[0], QStringList{QStringLiteral("Zeile 1\n"), QStringLiteral("Zeile 2\r")});
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), Optionen(SepaArt::Ueberweisung),
                                             QStringLiteral("R100"));
  SchemaGueltig(e, Pain001);
  const QByteArray& b = e.Dateien.value(0).Inhalt;
  EXPECT_TRUE(b.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Document xmlns="));
  EXPECT_TRUE(b.endsWith("</CstmrCdtTrfInitn></Document>"));
  EXPECT_FALSE(b.contains('\n'));
  EXPECT_FALSE(b.contains('\r'));
  for (const char c : b) EXPECT_EQ(static_cast<unsigned char>(c) & 0x80, 0) << "non-ASCII byte";
  XPfad x(b);
  // Line breaks and tabs part words as blanks do.
  EXPECT_EQ(x.Text(QStringLiteral("//p:Cdtr/p:Nm")), QStringLiteral("Jorg  Ubel s"));
}

// ---------------------------------------------------------------------------------------------
// Direct debits

TEST(SepaDokument, LastschriftGruppenInSequenzfolge) {
  // Unsorted on purpose: the file still holds one block per type, OOFF, FRST, RCUR, FNAL.
  QList<Zahlungsauftrag> auftraege{Auftrag(5, 400, 4), Auftrag(3, 300, 3), Auftrag(1, 100, 2),
                               Auftrag(2, 200, 2), Auftrag(4, 50, 1), Auftrag(6, 1, 3)};
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift);
  o.AutoEinzelReferenz = true;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  SchemaGueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 1);
  const SepaDatei& d = e.Dateien[0];
  EXPECT_EQ(d.Dateiname, QStringLiteral("SEPALKBasis.XML"));
  EXPECT_EQ(d.ZahlungNummern, (QList<qint64>{4, 1, 2, 3, 6, 5}));
  EXPECT_EQ(d.Anzahl, 6);
  EXPECT_EQ(d.Kontrollsumme, Waehrung::AusCent(1051));
  EXPECT_EQ(d.Buchungsdatum, QDate(2024, 6, 7));
  EXPECT_EQ(e.Referenz, QStringLiteral("R100"));

  XPfad x(d.Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("6"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("10.51"));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:PmtTpInf/p:SeqTp")),
            (QStringList{QStringLiteral("OOFF"), QStringLiteral("FRST"), QStringLiteral("RCUR"), QStringLiteral("FNAL")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:PmtInfId")),
            (QStringList{QStringLiteral("R100-1"), QStringLiteral("R100-2"), QStringLiteral("R100-3"), QStringLiteral("R100-4")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:NbOfTxs")),
            (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("1")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:CtrlSum")),
            (QStringList{QStringLiteral(".5"), QStringLiteral("3"), QStringLiteral("3.01"), QStringLiteral("4")}));
  for (int i = 1; i <= 4; ++i) {
    const QString block = QStringLiteral("//p:PmtInf[%1]").arg(i);
    EXPECT_EQ(x.Zahl(QStringLiteral("count(%1/p:DrctDbtTxInf)").arg(block)),
              x.Text(block + QStringLiteral("/p:NbOfTxs")).toDouble());
    EXPECT_NEAR(x.Zahl(QStringLiteral("sum(%1/p:DrctDbtTxInf/p:InstdAmt)").arg(block)),
                x.Text(block + QStringLiteral("/p:CtrlSum")).toDouble(), 1e-9);
  }
  EXPECT_EQ(x.Texte(QStringLiteral("//p:EndToEndId")),
            (QStringList{QStringLiteral("R100-1-1"), QStringLiteral("R100-2-2"), QStringLiteral("R100-2-3"),
                         QStringLiteral("R100-3-4"), QStringLiteral("R100-3-5"), QStringLiteral("R100-4-6")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:ReqdColltnDt")),
            (QStringList(4, QStringLiteral("2024-06-07"))));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:LclInstrm/p:Cd")), (QStringList(4, QStringLiteral("CORE"))));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:CdtrSchmeId//p:Othr/p:Id")), (QStringList(4, QStringLiteral("DE98ZZZ09999999999"))));
  EXPECT_EQ(x.Kinder(QStringLiteral("//p:PmtInf[1]")),
            (QStringList{QStringLiteral("PmtInfId"), QStringLiteral("PmtMtd"), QStringLiteral("BtchBookg"),
                         QStringLiteral("NbOfTxs"), QStringLiteral("CtrlSum"), QStringLiteral("PmtTpInf"),
                         QStringLiteral("ReqdColltnDt"), QStringLiteral("Cdtr"), QStringLiteral("CdtrAcct"),
                         QStringLiteral("CdtrAgt"), QStringLiteral("ChrgBr"), QStringLiteral("CdtrSchmeId"),
                         QStringLiteral("DrctDbtTxInf")}));
  EXPECT_EQ(x.Kinder(QStringLiteral("(//p:DrctDbtTxInf)[1]")),
            (QStringList{QStringLiteral("PmtId"), QStringLiteral("InstdAmt"), QStringLiteral("DrctDbtTx"),
                         QStringLiteral("DbtrAgt"), QStringLiteral("Dbtr"), QStringLiteral("DbtrAcct"),
                         QStringLiteral("RmtInf")}));
}

TEST(SepaDokument, LastschriftAufgeteiltWieImBeispiel) {
  // Sequences 2, 2, 3 in split mode: MehrfachErste with R100, MehrfachFolge with R101.
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 1000, 12), Auftrag(2, 2000, 12), Auftrag(3, 1, 13)};
  SepaOptionen o = Optionen(SepaArt::FirmenLastschrift, true);
  o.AutoEinzelReferenz = true;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  SchemaGueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 2);
  EXPECT_EQ(e.Referenz, QStringLiteral("R101"));

  const SepaDatei& erste = e.Dateien[0];
  EXPECT_EQ(erste.Dateiname, QStringLiteral("SEPALKFirmenMehrfachErste.XML"));
  EXPECT_EQ(erste.NachrichtenId, QStringLiteral("R100"));
  EXPECT_EQ(erste.ZahlungNummern, (QList<qint64>{1, 2}));
  EXPECT_EQ(erste.Anzahl, 2);
  EXPECT_EQ(erste.Kontrollsumme, Waehrung::AusCent(3000));
  XPfad x1(erste.Inhalt);
  EXPECT_EQ(x1.Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("R100"));
  EXPECT_EQ(x1.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("2"));
  EXPECT_EQ(x1.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("30"));
  EXPECT_EQ(x1.Text(QStringLiteral("//p:PmtInf/p:NbOfTxs")), QStringLiteral("2"));
  EXPECT_EQ(x1.Text(QStringLiteral("//p:PmtInf/p:CtrlSum")), QStringLiteral("30"));
  EXPECT_EQ(x1.Text(QStringLiteral("//p:PmtInf/p:PmtInfId")), QStringLiteral("R100-1"));
  EXPECT_EQ(x1.Text(QStringLiteral("//p:SeqTp")), QStringLiteral("FRST"));
  EXPECT_EQ(x1.Text(QStringLiteral("//p:LclInstrm/p:Cd")), QStringLiteral("B2B"));
  EXPECT_EQ(x1.Texte(QStringLiteral("//p:EndToEndId")),
            (QStringList{QStringLiteral("R100-1-1"), QStringLiteral("R100-1-2")}));

  const SepaDatei& zweite = e.Dateien[1];
  EXPECT_EQ(zweite.Dateiname, QStringLiteral("SEPALKFirmenMehrfachFolge.XML"));
  EXPECT_EQ(zweite.NachrichtenId, QStringLiteral("R101"));
  EXPECT_EQ(zweite.ZahlungNummern, QList<qint64>{3});
  XPfad x2(zweite.Inhalt);
  EXPECT_EQ(x2.Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("R101"));
  EXPECT_EQ(x2.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("1"));
  EXPECT_EQ(x2.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral(".01"));
  EXPECT_EQ(x2.Text(QStringLiteral("//p:PmtInf/p:PmtInfId")), QStringLiteral("R101-1"));
  EXPECT_EQ(x2.Text(QStringLiteral("//p:SeqTp")), QStringLiteral("RCUR"));
  EXPECT_EQ(x2.Texte(QStringLiteral("//p:EndToEndId")), QStringList{QStringLiteral("R101-1-1")});
  // Every split file carries the whole head with the root element.
  EXPECT_TRUE(zweite.Inhalt.startsWith(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.008.001.08\""));
  EXPECT_TRUE(zweite.Inhalt.contains("<CstmrDrctDbtInitn><GrpHdr>"));
}

TEST(SepaDokument, LastschriftAufgeteiltAlleVierMitBemerkung) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, 4), Auftrag(2, 200, 3), Auftrag(3, 300, 2), Auftrag(4, 400, 1)};
  SepaAbsender absender = Absender();
  absender.Bemerkung = QStringLiteral("Filiale/Süd:*");
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift, true);
  o.DateinameMitBemerkung = true;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, o, QStringLiteral("R100"));
  SchemaGueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 4);
  QStringList namen, ids;
  for (const SepaDatei& d : e.Dateien) {
    namen << d.Dateiname;
    ids << d.NachrichtenId;
    EXPECT_EQ(d.Anzahl, 1);
    EXPECT_EQ(XPfad(d.Inhalt).Text(QStringLiteral("//p:GrpHdr/p:MsgId")), d.NachrichtenId);
  }
  EXPECT_EQ(namen, (QStringList{QStringLiteral("FilialeSüd_SEPALKBasisEinmal.XML"),
                                QStringLiteral("FilialeSüd_SEPALKBasisMehrfachErste.XML"),
                                QStringLiteral("FilialeSüd_SEPALKBasisMehrfachFolge.XML"),
                                QStringLiteral("FilialeSüd_SEPALKBasisMehrfachLetzte.XML")}));
  EXPECT_EQ(ids, (QStringList{QStringLiteral("R100"), QStringLiteral("R101"), QStringLiteral("R102"), QStringLiteral("R103")}));
  EXPECT_EQ(e.Referenz, QStringLiteral("R103"));
  EXPECT_EQ(e.PdfDateiname, QStringLiteral("FilialeSüd_Zahlungsübersicht.pdf"));
  EXPECT_EQ(e.Dateien[0].ZahlungNummern, QList<qint64>{4});
}

TEST(SepaDokument, LeereBemerkungGibtKeinPraefix) {
  SepaAbsender absender = Absender();
  absender.Bemerkung = QStringLiteral(" /:* ");
  SepaOptionen o = Optionen(SepaArt::Ueberweisung);
  o.DateinameMitBemerkung = true;
  const SepaErgebnis e = SepaDokument::Bauen({Auftrag(1, 100)}, absender, o, QStringLiteral("R100"));
  ASSERT_TRUE(e.Ok());
  EXPECT_EQ(e.Dateien.value(0).Dateiname, QStringLiteral("SEPAGK.XML"));
  EXPECT_TRUE(e.PdfDateiname.isEmpty());
  absender.Bemerkung = QStringLiteral("Filiale");
  const SepaErgebnis mit = SepaDokument::Bauen({Auftrag(1, 100)}, absender, o, QStringLiteral("R100"));
  EXPECT_EQ(mit.Dateien.value(0).Dateiname, QStringLiteral("Filiale_SEPAGK.XML"));
  EXPECT_EQ(mit.PdfDateiname, QStringLiteral("Filiale_Zahlungsübersicht.pdf"));
}

TEST(SepaDokument, MoeglicheDateinamen) {
  SepaOptionen o = Optionen(SepaArt::Ueberweisung);
  EXPECT_EQ(SepaDokument::MoeglicheDateinamen(Absender(), o), QStringList{QStringLiteral("SEPAGK.XML")});
  o.Art = SepaArt::FirmenLastschrift;
  o.DateinameMitBemerkung = true;
  EXPECT_EQ(SepaDokument::MoeglicheDateinamen(Absender(), o),
            (QStringList{QStringLiteral("Filiale_SEPALKFirmen.XML"), QStringLiteral("Filiale_SEPALKFirmenEinmal.XML"),
                         QStringLiteral("Filiale_SEPALKFirmenMehrfachErste.XML"),
                         QStringLiteral("Filiale_SEPALKFirmenMehrfachFolge.XML"),
                         QStringLiteral("Filiale_SEPALKFirmenMehrfachLetzte.XML")}));
}

TEST(SepaDokument, NumerischeReferenzWirdHochgezaehlt) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, 2), Auftrag(2, 100, 3)};
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), Optionen(SepaArt::BasisLastschrift, true),
                                             QStringLiteral("0099"));
  SchemaGueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 2);
  EXPECT_EQ(e.Dateien[0].NachrichtenId, QStringLiteral("0099"));
  EXPECT_EQ(e.Dateien[1].NachrichtenId, QStringLiteral("100"));
  EXPECT_EQ(e.Referenz, QStringLiteral("100"));
}

TEST(SepaDokument, LeereBicsGebenNotProvided) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, 1), Auftrag(2, 100, 1)};
  auftraege[0].BIC.clear();
  SepaAbsender absender = Absender();
  absender.BIC = QStringLiteral("  ");
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, Optionen(SepaArt::BasisLastschrift),
                                             QStringLiteral("R100"));
  SchemaGueltig(e, Pain008);
  XPfad x(e.Dateien.value(0).Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:CdtrAgt/p:FinInstnId/p:Othr/p:Id")), QStringLiteral("NOTPROVIDED"));
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[1]/p:DbtrAgt/p:FinInstnId/p:Othr/p:Id")), QStringLiteral("NOTPROVIDED"));
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[2]/p:DbtrAgt/p:FinInstnId/p:BICFI")), QStringLiteral("DEUTDEFF"));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:EndToEndId")),
            (QStringList{QStringLiteral("NOTPROVIDED"), QStringLiteral("NOTPROVIDED")}));
}

TEST(SepaDokument, EinzugsdatumUndAusfuehrungsdatumNachKalender) {
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift);
  o.Zeitpunkt = QDateTime(QDate(2024, 3, 27), QTime(9, 0, 0));
  o.Vorlauftage = 0;  // counts as 1: Thursday 28 March
  SepaErgebnis e = SepaDokument::Bauen({Auftrag(1, 100, 1)}, Absender(), o, QStringLiteral("R1"));
  ASSERT_TRUE(e.Ok());
  EXPECT_EQ(XPfad(e.Dateien[0].Inhalt).Text(QStringLiteral("//p:ReqdColltnDt")), QStringLiteral("2024-03-28"));
  o.Vorlauftage = 2;  // Good Friday, weekend, Easter Monday
  e = SepaDokument::Bauen({Auftrag(1, 100, 1)}, Absender(), o, QStringLiteral("R1"));
  EXPECT_EQ(XPfad(e.Dateien[0].Inhalt).Text(QStringLiteral("//p:ReqdColltnDt")), QStringLiteral("2024-04-02"));
  EXPECT_EQ(e.Dateien[0].Buchungsdatum, QDate(2024, 4, 2));
  EXPECT_FALSE(e.Ausfuehrungsdatum.isValid());

  o.Art = SepaArt::Ueberweisung;
  o.Ausfuehrungsdatum = QDate(2024, 12, 25);
  e = SepaDokument::Bauen({Auftrag(1, 100)}, Absender(), o, QStringLiteral("R1"));
  EXPECT_EQ(XPfad(e.Dateien[0].Inhalt).Text(QStringLiteral("//p:ReqdExctnDt/p:Dt")), QStringLiteral("2024-12-27"));
  EXPECT_EQ(e.Ausfuehrungsdatum, QDate(2024, 12, 27));
}

// ---------------------------------------------------------------------------------------------
// The documented cases, element by element

// A core run with sequences 2, 2, 3: one file with a FRST and a RCUR block; in split mode two files
// with their own group header each and the raised message id for the second.
TEST(SepaDokument, BasisZweiErsteUndEinFolgeeinzug) {
  const QList<Zahlungsauftrag> auftraege{Auftrag(1, 1000, 2), Auftrag(2, 2000, 2), Auftrag(3, 525, 3)};
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift);
  const SepaErgebnis eine = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  SchemaGueltig(eine, Pain008);
  ASSERT_EQ(eine.Dateien.size(), 1);
  EXPECT_EQ(eine.Dateien[0].Dateiname, QStringLiteral("SEPALKBasis.XML"));
  EXPECT_EQ(eine.Referenz, QStringLiteral("R100"));
  XPfad x(eine.Dateien[0].Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QStringLiteral("3"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("35.25"));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:PmtInfId")), (QStringList{QStringLiteral("R100-1"), QStringLiteral("R100-2")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:PmtTpInf/p:SeqTp")), (QStringList{QStringLiteral("FRST"), QStringLiteral("RCUR")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:NbOfTxs")), (QStringList{QStringLiteral("2"), QStringLiteral("1")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:CtrlSum")), (QStringList{QStringLiteral("30"), QStringLiteral("5.25")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:PmtMtd")), (QStringList(2, QStringLiteral("DD"))));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:PmtTpInf/p:SvcLvl/p:Cd")), (QStringList(2, QStringLiteral("SEPA"))));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:ChrgBr")), (QStringList(2, QStringLiteral("SLEV"))));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:CdtrSchmeId/p:Id/p:PrvtId/p:Othr/p:SchmeNm/p:Prtry")),
            (QStringList(2, QStringLiteral("SEPA"))));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:DrctDbtTxInf/p:DrctDbtTx/p:MndtRltdInf/p:AmdmntInd")),
            (QStringList(3, QStringLiteral("false"))));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:DrctDbtTxInf/p:DrctDbtTx/p:MndtRltdInf/p:DtOfSgntr")),
            (QStringList(3, QStringLiteral("2023-01-15"))));

  o.AufteilenNachMandatArt = true;
  const SepaErgebnis zwei = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  SchemaGueltig(zwei, Pain008);
  ASSERT_EQ(zwei.Dateien.size(), 2);
  EXPECT_EQ(zwei.Referenz, QStringLiteral("R101"));
  const QStringList namen{QStringLiteral("SEPALKBasisMehrfachErste.XML"), QStringLiteral("SEPALKBasisMehrfachFolge.XML")};
  const QStringList ids{QStringLiteral("R100"), QStringLiteral("R101")};
  const QStringList anzahl{QStringLiteral("2"), QStringLiteral("1")};
  const QStringList summe{QStringLiteral("30"), QStringLiteral("5.25")};
  for (int i = 0; i < 2; ++i) {
    const SepaDatei& d = zwei.Dateien[i];
    EXPECT_EQ(d.Dateiname, namen[i]);
    XPfad xi(d.Inhalt);
    EXPECT_EQ(xi.Text(QStringLiteral("//p:GrpHdr/p:MsgId")), ids[i]);
    EXPECT_EQ(xi.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), anzahl[i]);
    EXPECT_EQ(xi.Text(QStringLiteral("//p:PmtInf/p:NbOfTxs")), anzahl[i]);
    EXPECT_EQ(xi.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), summe[i]);
    EXPECT_EQ(xi.Text(QStringLiteral("//p:PmtInf/p:CtrlSum")), summe[i]);
    EXPECT_EQ(xi.Texte(QStringLiteral("//p:PmtInf/p:PmtInfId")), QStringList{ids[i] + QStringLiteral("-1")});
  }
}

// The mandate sequence decides sequence type and split-file ending, alike for core and B2B.
struct SequenzFall {
  int sequenz;
  SepaArt art;
  const char* typ;
  const char* datei;
};

std::ostream& operator<<(std::ostream& os, const SequenzFall& f) { return os << f.sequenz; }

class SepaDokumentSequenz : public ::testing::TestWithParam<SequenzFall> {};

TEST_P(SepaDokumentSequenz, TypUndDateiname) {
  const SequenzFall& f = GetParam();
  const SepaErgebnis e = SepaDokument::Bauen({Auftrag(1, 100, f.sequenz)}, Absender(), Optionen(f.art, true),
                                             QStringLiteral("R100"));
  SchemaGueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 1);
  EXPECT_EQ(e.Dateien[0].Dateiname, QString::fromLatin1(f.datei));
  XPfad x(e.Dateien[0].Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtTpInf/p:SeqTp")), QString::fromLatin1(f.typ));
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtTpInf/p:LclInstrm/p:Cd")),
            f.art == SepaArt::FirmenLastschrift ? QStringLiteral("B2B") : QStringLiteral("CORE"));
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, SepaDokumentSequenz,
    ::testing::Values(SequenzFall{1, SepaArt::BasisLastschrift, "OOFF", "SEPALKBasisEinmal.XML"},
                      SequenzFall{2, SepaArt::BasisLastschrift, "FRST", "SEPALKBasisMehrfachErste.XML"},
                      SequenzFall{3, SepaArt::BasisLastschrift, "RCUR", "SEPALKBasisMehrfachFolge.XML"},
                      SequenzFall{4, SepaArt::BasisLastschrift, "FNAL", "SEPALKBasisMehrfachLetzte.XML"},
                      SequenzFall{11, SepaArt::FirmenLastschrift, "OOFF", "SEPALKFirmenEinmal.XML"},
                      SequenzFall{12, SepaArt::FirmenLastschrift, "FRST", "SEPALKFirmenMehrfachErste.XML"},
                      SequenzFall{13, SepaArt::FirmenLastschrift, "RCUR", "SEPALKFirmenMehrfachFolge.XML"},
                      SequenzFall{14, SepaArt::FirmenLastschrift, "FNAL", "SEPALKFirmenMehrfachLetzte.XML"}),
    [](const auto& info) { return Testname(QString::fromLatin1(info.param.datei).remove(QStringLiteral(".XML"))); });

TEST(SepaDokument, ReferenzOhneFremdeZeichen) {
  const SepaErgebnis e = SepaDokument::Bauen({Auftrag(1, 100)}, Absender(), Optionen(SepaArt::Ueberweisung),
                                             QStringLiteral("R<1>0#0"));
  SchemaGueltig(e, Pain001);
  ASSERT_EQ(e.Dateien.size(), 1);
  EXPECT_EQ(e.Dateien[0].NachrichtenId, QStringLiteral("R100"));
  XPfad x(e.Dateien[0].Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("R100"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:PmtInf/p:PmtInfId")), QStringLiteral("R100-1"));
}

// Credit transfers come in the selection's order, Art, MandatSequenz, ZahlungNr, and the generated
// end-to-end ids count the rows in that order, even when a credit transfer carries a sequence.
TEST(SepaDokument, UeberweisungenInDerReihenfolgeDerAuswahl) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, 3), Auftrag(2, 200, 0), Auftrag(3, 300, 0)};
  auftraege[0].Art = QStringLiteral("G");
  SepaOptionen o = Optionen(SepaArt::Ueberweisung);
  o.AutoEinzelReferenz = true;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
  SchemaGueltig(e, Pain001);
  ASSERT_EQ(e.Dateien.size(), 1);
  EXPECT_EQ(e.Dateien[0].ZahlungNummern, (QList<qint64>{2, 3, 1}));
  XPfad x(e.Dateien[0].Inhalt);
  EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:PmtInf)")), 1);
  EXPECT_EQ(x.Texte(QStringLiteral("//p:Cdtr/p:Nm")),
            (QStringList{QStringLiteral("Kunde 2"), QStringLiteral("Kunde 3"), QStringLiteral("Kunde 1")}));
  EXPECT_EQ(x.Texte(QStringLiteral("//p:EndToEndId")),
            (QStringList{QStringLiteral("R100-1-1"), QStringLiteral("R100-1-2"), QStringLiteral("R100-1-3")}));
}

// Every kind, split or not, with and without the sender's BIC, generated ids and a remittance text
// that converts to nothing: each file passes the ISO and the DK schema and keeps the mandatory parts.
TEST_P(SepaDokumentFormat, JederZweigSchemagueltig) {
  for (const SepaArt art : {SepaArt::Ueberweisung, SepaArt::BasisLastschrift, SepaArt::FirmenLastschrift}) {
    for (const bool aufteilen : {false, true}) {
      for (const bool ohneBic : {false, true}) {
        for (const bool autoId : {false, true}) {
          const int basis = art == SepaArt::FirmenLastschrift ? 10 : 0;
          QList<Zahlungsauftrag> auftraege;
          for (int i = 1; i <= 8; ++i) auftraege.append(Auftrag(i, 100 * i, art == SepaArt::Ueberweisung ? 0 : basis + 1 + i % 4));
          MitZeilen(auftraege[0], QStringList{QStringLiteral("€"), QStringLiteral("  ")});
          auftraege[1].BIC.clear();
          auftraege[2].EinzelReferenz = QStringLiteral("E2E 17");
          SepaAbsender absender = Absender();
          if (ohneBic) absender.BIC.clear();
          SepaOptionen o = Optionen(art, aufteilen);
          o.Format = GetParam();
          o.AutoEinzelReferenz = autoId;
          o.Sammelbuchung = !autoId;
          o.DateinameMitBemerkung = autoId;
          const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, o, QStringLiteral("LAUF 2024/06"));
          const bool lastschrift = art != SepaArt::Ueberweisung;
          SCOPED_TRACE(testing::Message() << int(art) << aufteilen << ohneBic << autoId);
          SchemaGueltig(e, SepaFormate::Nachricht(GetParam(), lastschrift));
          ASSERT_EQ(e.Dateien.size(), lastschrift && aufteilen ? 4 : 1);
          int transaktionen = 0;
          for (const SepaDatei& d : e.Dateien) {
            XPfad x(d.Inhalt);
            const int n = int(x.Zahl(QStringLiteral("count(//p:PmtInf/*[self::p:CdtTrfTxInf or self::p:DrctDbtTxInf])")));
            transaktionen += n;
            EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:NbOfTxs")), QString::number(n));
            EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:ChrgBr")).count(QStringLiteral("SLEV")),
                      int(x.Zahl(QStringLiteral("count(//p:PmtInf)"))));
            EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInf/p:BtchBookg")).count(o.Sammelbuchung ? QStringLiteral("true") : QStringLiteral("false")),
                      int(x.Zahl(QStringLiteral("count(//p:PmtInf)"))));
            EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:PmtInf[not(p:PmtTpInf/p:SvcLvl/p:Cd = 'SEPA')])")), 0);
            EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:PmtInf[not(p:ReqdExctnDt or p:ReqdColltnDt)])")), 0);
            if (lastschrift) {
              EXPECT_EQ(x.Zahl(QStringLiteral("count(//p:PmtInf[not(p:PmtTpInf/p:SeqTp) or not(p:CdtrSchmeId)])")), 0);
            }
          }
          EXPECT_EQ(transaktionen, 8);
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Hostile and maximal texts

// Every character of Latin-1 and some beyond, printable or not.
QString AlleZeichen() {
  QString text;
  for (char16_t c = 1; c < 0x180; ++c) text += QChar(c);
  text += QString::fromUtf8("€—“”‚‘’😀\xef\xbf\xbe");
  return text;
}

TEST(SepaDokument, JedesZeichenInNamenUndTexten) {
  for (const SepaArt art : {SepaArt::Ueberweisung, SepaArt::BasisLastschrift}) {
    QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, 1), Auftrag(2, 100, 1), Auftrag(3, 100, 1)};
    for (Zahlungsauftrag& a : auftraege) a.Art = art == SepaArt::Ueberweisung ? QStringLiteral("G") : QStringLiteral("L");
    auftraege[0].Name = QStringLiteral("Müller & Söhne <GmbH> \"Bau\" 'Nord'");
    MitZeilen(auftraege[0], QStringList{QStringLiteral("RE 1 & 2 < 3 > 0"), QStringLiteral("\"Zitat\" 'x' ÄÖÜäöüß")});
    auftraege[0].EinzelReferenz = QStringLiteral("E2E 'x' +?");
    auftraege[0].MandatReferenz = QStringLiteral("M-1 +?/-:().,'");
    // Every character, spread over as many orders as it takes to keep each text within its field once
    // transliterated: a name of 20 of them, four lines of 5.
    const QString alle = AlleZeichen();
    for (qsizetype i = 0; i < alle.size(); i += 20) {
      Zahlungsauftrag z = auftraege[1];
      z.ZahlungNr = i == 0 ? 2 : 100 + i;   // behind the three others in the file
      z.MandatReferenz = QStringLiteral("M-%1").arg(z.ZahlungNr);
      z.Name = QStringLiteral("N") + alle.mid(i, 20);
      QStringList zeilen;
      for (qsizetype j = 0; j < 20; j += 5) zeilen << QStringLiteral("Z") + alle.mid(i + j, 5);
      MitZeilen(z, zeilen);
      if (i == 0)
        auftraege[1] = z;
      else
        auftraege << z;
    }
    auftraege[2].Name = QStringLiteral("&amp;&lt;]]>");
    MitZeilen(auftraege[2], QStringList{QStringLiteral("<![CDATA[x]]>"), QStringLiteral("<!-- -->")});
    SepaAbsender absender = Absender();
    absender.Name = QStringLiteral("Ärger & <Söhne> \"AG\"");
    SepaOptionen o = Optionen(art);
    const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, o, QStringLiteral("R&100"));
    SchemaGueltig(e, art == SepaArt::Ueberweisung ? Pain001 : Pain008);
    XPfad x(e.Dateien.value(0).Inhalt);
    const QString partei = art == SepaArt::Ueberweisung ? QStringLiteral("Cdtr") : QStringLiteral("Dbtr");
    const QString buchung = art == SepaArt::Ueberweisung ? QStringLiteral("CdtTrfTxInf") : QStringLiteral("DrctDbtTxInf");
    EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:MsgId")), QStringLiteral("R+100"));
    EXPECT_EQ(x.Text(QStringLiteral("//p:InitgPty/p:Nm")), QStringLiteral("Arger + Sohne AG"));
    EXPECT_EQ(x.Text(QStringLiteral("(//p:%1)[1]/p:%2/p:Nm").arg(buchung, partei)), QStringLiteral("Muller + Sohne GmbH Bau Nord"));
    EXPECT_EQ(x.Text(QStringLiteral("(//p:%1)[1]//p:Ustrd").arg(buchung)), QStringLiteral("RE 1 + 2  3  0 Zitat x AOUaous"));
    EXPECT_EQ(x.Text(QStringLiteral("(//p:%1)[1]//p:EndToEndId").arg(buchung)), QStringLiteral("E2E 'x' +?"));
    EXPECT_EQ(x.Text(QStringLiteral("(//p:%1)[3]/p:%2/p:Nm").arg(buchung, partei)), QStringLiteral("+amp+lt"));
    EXPECT_EQ(x.Text(QStringLiteral("(//p:%1)[3]//p:Ustrd").arg(buchung)), QStringLiteral("CDATAx -- --"));
    const QStringList namen = x.Texte(QStringLiteral("//p:%1/p:%2/p:Nm").arg(buchung, partei));
    EXPECT_EQ(namen.size(), 3 + (alle.size() - 1) / 20);
    for (const QString& name : namen) EXPECT_LE(name.size(), 70) << name.toStdString();
    if (art != SepaArt::Ueberweisung) {  // the mandate reference is written as stored
      EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[1]//p:MndtId")), QStringLiteral("M-1 +?/-:().,'"));
    }
  }
}

// Six lines (another program may store more than five) that join to `laenge` characters.
QStringList ZeilenFuer(int laenge, QChar zeichen) {
  QStringList zeilen(5, QString(22, zeichen));
  zeilen << QString(laenge - 5 * 22 - 5, zeichen);
  return zeilen;
}

TEST(SepaDokument, HoechstlaengenWerdenGanzGeschrieben) {
  const QString name70 = QStringLiteral("N") + QString(67, QLatin1Char('x')) + QStringLiteral("Zß");
  const QString ref35 = QStringLiteral("E") + QString(33, QLatin1Char('1')) + QStringLiteral("Z");
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 99999999999, 2), Auftrag(2, 1, 2), Auftrag(3, 100, 3)};
  auftraege[0].Name = name70;
  MitZeilen(auftraege[0], ZeilenFuer(140, QLatin1Char('y')));
  auftraege[0].Verwendungszweck1 = auftraege[0].Zeilen.first().Text;
  auftraege[0].EinzelReferenz = ref35;
  auftraege[0].MandatReferenz = QString(35, QLatin1Char('M'));
  auftraege[1].Name = name70;
  // æ, twice as long transliterated: 73 characters that the file carries as 140.
  MitZeilen(auftraege[1], QStringList(5, QString(11, QChar(0x00E6))) << QString(12, QChar(0x00E6)) + QStringLiteral("x"));
  auftraege[1].EinzelReferenz = QStringLiteral("  ") + ref35 + QStringLiteral(" ");
  SepaAbsender absender = Absender();
  absender.Name = QString(70, QChar(0x00D6));  // Ö, 70 times
  const QString referenz35 = QString(34, QLatin1Char('A')) + QStringLiteral("8");
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift);
  o.AutoEinzelReferenz = true;
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, o, referenz35);
  SchemaGueltig(e, Pain008);
  XPfad x(e.Dateien.value(0).Inhalt);
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:MsgId")), referenz35);
  EXPECT_EQ(x.Text(QStringLiteral("//p:InitgPty/p:Nm")), QString(70, QLatin1Char('O')));
  const QString name = QStringLiteral("N") + QString(67, QLatin1Char('x')) + QStringLiteral("Zs");
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[1]/p:Dbtr/p:Nm")), name);
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[1]//p:Ustrd")), ZeilenFuer(140, QLatin1Char('y')).join(QLatin1Char(' ')));
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[1]//p:EndToEndId")), ref35);
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[1]//p:MndtId")), QString(35, QLatin1Char('M')));
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[1]/p:InstdAmt")), QStringLiteral("999999999.99"));
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[2]/p:Dbtr/p:Nm")), name);
  const QString ae = x.Text(QStringLiteral("(//p:DrctDbtTxInf)[2]//p:Ustrd"));
  EXPECT_EQ(ae.size(), 140);
  EXPECT_TRUE(ae.startsWith(QStringLiteral("aeaeae"))) << ae.toStdString();
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[2]//p:EndToEndId")), ref35);
  // Generated ids: the front of the message id gives way; its counted end and the counters stay whole.
  const QString a32 = QString(32, QLatin1Char('A')) + QStringLiteral("8");
  EXPECT_EQ(x.Texte(QStringLiteral("//p:PmtInfId")), (QStringList{a32 + QStringLiteral("-1"), a32 + QStringLiteral("-2")}));
  EXPECT_EQ(x.Text(QStringLiteral("(//p:DrctDbtTxInf)[3]//p:EndToEndId")), QString(30, QLatin1Char('A')) + QStringLiteral("8-2-3"));
  EXPECT_EQ(x.Text(QStringLiteral("//p:GrpHdr/p:CtrlSum")), QStringLiteral("1000000001"));
}

// Past the file's lengths nothing is cut: the writer's guard refuses the run with the rule's reason, also
// where only the transliteration makes a text too long.
struct Ueberlang {
  const char* name;
  std::function<void(Zahlungsauftrag&, SepaAbsender&)> aendern;
  const char* grund;   // part of the refusal; empty: the run is written
};

class UeberlangeTexte : public ::testing::TestWithParam<Ueberlang> {};

TEST_P(UeberlangeTexte, WerdenAbgelehntNieGekuerzt) {
  Zahlungsauftrag a = Auftrag(1, 100);
  SepaAbsender absender = Absender();
  GetParam().aendern(a, absender);
  const SepaErgebnis e = SepaDokument::Bauen({a}, absender, Optionen(SepaArt::Ueberweisung), QStringLiteral("R100"));
  const QString grund = QString::fromUtf8(GetParam().grund);
  if (grund.isEmpty()) {
    SchemaGueltig(e, Pain001);
    return;
  }
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Dateien.isEmpty());
  EXPECT_TRUE(e.Fehler.contains(grund)) << e.Fehler.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, UeberlangeTexte,
    ::testing::Values(
        Ueberlang{"Name70", [](Zahlungsauftrag& a, SepaAbsender&) { a.Name = QString(70, QLatin1Char('n')); }, ""},
        Ueberlang{"Name71", [](Zahlungsauftrag& a, SepaAbsender&) { a.Name = QString(71, QLatin1Char('n')); },
                  "Die Namensangabe ist 71 Zeichen lang"},
        Ueberlang{"Name71DurchUmschrift",
                  [](Zahlungsauftrag& a, SepaAbsender&) { a.Name = QString(69, QLatin1Char('n')) + QChar(0x00C6); },
                  "Die Namensangabe ist in lateinischer Schrift 71 Zeichen lang"},
        Ueberlang{"Text140", [](Zahlungsauftrag& a, SepaAbsender&) { MitZeilen(a, ZeilenFuer(140, QLatin1Char('t'))); },
                  ""},
        Ueberlang{"Text141", [](Zahlungsauftrag& a, SepaAbsender&) { MitZeilen(a, ZeilenFuer(141, QLatin1Char('t'))); },
                  "mit allen Zeilen 141 Zeichen lang"},
        Ueberlang{"Text141DurchUmschrift",
                  [](Zahlungsauftrag& a, SepaAbsender&) {
                    QStringList zeilen = ZeilenFuer(140, QLatin1Char('t'));
                    zeilen.last().chop(1);
                    zeilen.last() += QChar(0x0416);  // Ж, Zh
                    MitZeilen(a, zeilen);
                  },
                  "mit allen Zeilen 141 Zeichen lang"},
        Ueberlang{"Absender70", [](Zahlungsauftrag&, SepaAbsender& s) { s.Name = QString(70, QChar(0x00D6)); }, ""},
        Ueberlang{"Absender71", [](Zahlungsauftrag&, SepaAbsender& s) { s.Name = QString(71, QChar(0x00D6)); },
                  "Der Name des Absenders ist 71 Zeichen lang"},
        Ueberlang{"AbsenderOhneUmschrift",
                  [](Zahlungsauftrag&, SepaAbsender& s) { s.Name = QString::fromUtf8("Handel 王"); },
                  "Der Name des Absenders enthält Zeichen, die sich nicht in lateinische Schrift umschreiben lassen: 王"}),
    [](const ::testing::TestParamInfo<Ueberlang>& info) { return std::string(info.param.name); });

// The writer has no cut left to make: for every order the rules pass, the texts the file carries are the
// rules' texts and within the file's lengths; every other order its guard refuses. Random names and lines
// of plain, German, transliterated and untransliterable pieces, around the limits.
TEST(SepaDokument, WasDieRegelnDurchlassenPasstOhneSchnitt) {
  QRandomGenerator z(20240605);
  const QStringList bausteine = {QStringLiteral("a"),  QStringLiteral("Z"),  QStringLiteral(" "),  QStringLiteral("ä"),
                                 QStringLiteral("ß"),  QStringLiteral("é"),  QStringLiteral("æ"),  QStringLiteral("Ж"),
                                 QStringLiteral("щ"),  QStringLiteral("Θ"),  QStringLiteral("ου"), QStringLiteral("😀"),
                                 QStringLiteral("王"), QStringLiteral("€"),  QStringLiteral("	"), QStringLiteral("–"),
                                 QString(10, QLatin1Char('x')), QString(20, QLatin1Char('y'))};
  // Pieces of `mindestens` to `hoechstens` characters as typed; transliteration may make more of them.
  auto text = [&](int mindestens, int hoechstens) {
    QString t;
    while (t.size() < hoechstens) t += bausteine.at(int(z.bounded(quint32(bausteine.size()))));
    return t.left(mindestens + int(z.bounded(quint32(hoechstens - mindestens + 1))));
  };
  int gut = 0;
  int abgelehnt = 0;
  for (int runde = 0; runde < 4000; ++runde) {
    Zahlungsauftrag a = Auftrag(1, 100);
    a.Name = text(1, 74);
    QStringList zeilen;
    for (int k = int(z.bounded(8u)); k > 0; --k) zeilen << text(16, 28);
    MitZeilen(a, zeilen);
    a.Verwendungszweck1 = zeilen.isEmpty() ? text(1, 28) : zeilen.first();
    SCOPED_TRACE(a.Name.toStdString() + " | " + zeilen.join(QLatin1Char('|')).toStdString());
    if (!Auftragspruefung::Pruefen(a, Zeitpunkt.date()).isEmpty()) {
      ++abgelehnt;
      const SepaErgebnis e = SepaDokument::Bauen({a}, Absender(), Optionen(SepaArt::Ueberweisung), QStringLiteral("R100"));
      ASSERT_FALSE(e.Ok());
      continue;
    }
    ++gut;
    SepaAuftraege liste;
    liste.Anhaengen(a);
    const QByteArray name = SepaAuftraege::Text(liste.at(0), SepaAuftraege::Name).toByteArray();
    const QByteArray verwendung = SepaAuftraege::Text(liste.at(0), SepaAuftraege::Verwendung).toByteArray();
    ASSERT_EQ(name, SepaZeichenWandeln(a.Name).trimmed().toLatin1());
    ASSERT_LE(name.size(), 70);
    ASSERT_EQ(verwendung, SepaZeichenWandeln(Auftragspruefung::Verwendungstext(a)).toLatin1());
    ASSERT_LE(verwendung.size(), 140);
  }
  EXPECT_GT(gut, 200);
  EXPECT_GT(abgelehnt, 200);
}

TEST(SepaDokument, UeberlangeReferenzImAufteilmodus) {
  const QString referenz = QString(34, QLatin1Char('B')) + QStringLiteral("9");
  const SepaErgebnis e = SepaDokument::Bauen({Auftrag(1, 100, 1), Auftrag(2, 100, 4)}, Absender(),
                                             Optionen(SepaArt::BasisLastschrift, true), referenz);
  // Raising "B...B9" carries into the letters and keeps 35 characters.
  SchemaGueltig(e, Pain008);
  ASSERT_EQ(e.Dateien.size(), 2);
  EXPECT_EQ(e.Dateien[1].NachrichtenId.size(), 35);
  EXPECT_NE(e.Dateien[1].NachrichtenId, e.Dateien[0].NachrichtenId);
  EXPECT_EQ(e.Referenz, e.Dateien[1].NachrichtenId);
}

// The ids made from the message id (PmtInfId, generated EndToEndId) must differ between the files of a
// run and between consecutive runs, also where a long reference leaves no room for the message id whole:
// the count that makes references differ sits at their end. They keep the identifier rules too.
struct LangeReferenz {
  const char* fall;
  QString referenz;
};

class GenerierteIds : public ::testing::TestWithParam<LangeReferenz> {};

TEST_P(GenerierteIds, EindeutigUeberDateienUndLaeufe) {
  const QString erste = GetParam().referenz;
  ASSERT_TRUE(SepaKennung(erste).Gueltig()) << erste.toStdString();
  const QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, 2), Auftrag(2, 200, 2), Auftrag(3, 300, 3)};
  QStringList ids;
  int dateien = 0;
  auto sammeln = [&](const SepaErgebnis& e) {
    SchemaGueltig(e, Pain008);
    for (const SepaDatei& d : e.Dateien) {
      ++dateien;
      const XPfad x(d.Inhalt);
      ids << x.Texte(QStringLiteral("//p:PmtInfId")) << x.Texte(QStringLiteral("//p:EndToEndId"));
    }
  };
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift, true);
  o.AutoEinzelReferenz = true;
  const SepaErgebnis geteilt = SepaDokument::Bauen(auftraege, Absender(), o, erste);
  sammeln(geteilt);
  // The next run starts from the reference the window offers after this one.
  const QString naechste = NummerErhoehen(geteilt.Referenz, false).toString();
  o.AufteilenNachMandatArt = false;
  sammeln(SepaDokument::Bauen(auftraege, Absender(), o, naechste));
  ASSERT_EQ(dateien, 3);
  ASSERT_EQ(ids.size(), 2 * (2 + 3));   // each run: two payment blocks, three orders
  EXPECT_EQ(QSet<QString>(ids.cbegin(), ids.cend()).size(), ids.size()) << ids.join(QLatin1Char('|')).toStdString();
  for (const QString& id : ids)
    EXPECT_TRUE(SepaKennung(id).Gueltig()) << id.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, GenerierteIds,
    ::testing::Values(LangeReferenz{"Kurz", QStringLiteral("R100")},
                      LangeReferenz{"Laenge30", QString(28, QLatin1Char('L')) + QStringLiteral("10")},
                      LangeReferenz{"Laenge31", QString(29, QLatin1Char('L')) + QStringLiteral("10")},
                      LangeReferenz{"Laenge32", QString(30, QLatin1Char('L')) + QStringLiteral("10")},
                      LangeReferenz{"Laenge34", QString(32, QLatin1Char('L')) + QStringLiteral("10")},
                      LangeReferenz{"Laenge35", QStringLiteral("Firma Mustermann GmbH Lastschrift 1")},
                      LangeReferenz{"UebertragInBuchstaben", QString(34, QLatin1Char('B')) + QStringLiteral("9")},
                      // Where the message id is cut, a blank or "/" must not come to stand first.
                      LangeReferenz{"SchnittVorLeerzeichen", QStringLiteral("AB 12345678901234567890123456789012")},
                      LangeReferenz{"SchnittVorSchraegstrich", QStringLiteral("AB/C/234567890123456789012345678901")}),
    [](const auto& info) { return std::string(info.param.fall); });

// ---------------------------------------------------------------------------------------------
// Refusals: nothing is built

struct Ablehnung {
  const char* fall;
  std::function<void(QList<Zahlungsauftrag>&, SepaAbsender&, SepaOptionen&, QString&)> aendern;
  const char* meldungBeginn;
};

std::ostream& operator<<(std::ostream& os, const Ablehnung& a) { return os << a.fall; }

class SepaDokumentAblehnung : public ::testing::TestWithParam<Ablehnung> {};

TEST_P(SepaDokumentAblehnung, KeineDatei) {
  QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, 2), Auftrag(2, 100, 3)};
  SepaAbsender absender = Absender();
  SepaOptionen o = Optionen(SepaArt::BasisLastschrift, true);
  QString referenz = QStringLiteral("R100");
  GetParam().aendern(auftraege, absender, o, referenz);
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, o, referenz);
  EXPECT_FALSE(e.Ok());
  EXPECT_TRUE(e.Dateien.isEmpty());
  EXPECT_TRUE(e.Fehler.startsWith(QString::fromUtf8(GetParam().meldungBeginn))) << e.Fehler.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tabelle, SepaDokumentAblehnung,
    ::testing::Values(
        Ablehnung{"LeereReferenz", [](auto&, auto&, auto&, QString& r) { r = QStringLiteral("  "); },
                  "Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt."},
        Ablehnung{"ReferenzNachWandlungLeer", [](auto&, auto&, auto&, QString& r) { r = QStringLiteral("#~"); },
                  "Für Gutschriften und Lastschriften wird zwingend eine Referenz-Angabe benötigt."},
        Ablehnung{"ReferenzZuLang", [](auto&, auto&, auto&, QString& r) { r = QString(36, QLatin1Char('R')); },
                  "Die Referenz-Angabe darf höchstens 35 Zeichen lang sein."},
        Ablehnung{"KeineZahlungen", [](auto& a, auto&, auto&, QString&) { a.clear(); },
                  "Es sind keine Zahlungen vorhanden"},
        Ablehnung{"GlaeubigerIdLeer", [](auto&, auto& s, auto&, QString&) { s.GlaeubigerID.clear(); },
                  "Für Lastschriften wird zwingend eine von der deutschen Bundesbank"},
        Ablehnung{"GlaeubigerIdFalsch", [](auto&, auto& s, auto&, QString&) { s.GlaeubigerID = QStringLiteral("DE99ZZZ09999999999"); },
                  "Die Gläubiger-ID bei den Absender-Angaben ist ungültig:\rDie Prüfziffer der Gläubiger-ID ist falsch."},
        Ablehnung{"AbsenderOhneName", [](auto&, auto& s, auto&, QString&) { s.Name = QStringLiteral("<>"); },
                  "Bei den Absender-Angaben fehlt der Name."},
        Ablehnung{"AbsenderIbanFalsch", [](auto&, auto& s, auto&, QString&) { s.IBAN = QStringLiteral("DE00370400440532013000"); },
                  "Die IBAN des Absenders ist ungültig:\rDie Prüfziffer der IBAN ist falsch."},
        Ablehnung{"AbsenderBicFalsch", [](auto&, auto& s, auto&, QString&) { s.BIC = QStringLiteral("COBADEFFX"); },
                  "Die BIC des Absenders ist ungültig:\rDie BIC muss 8 oder 11 Zeichen lang sein."},
        Ablehnung{"ZahlungIbanFalsch", [](auto& a, auto&, auto&, QString&) { a[1].IBAN = QStringLiteral("DE89370400440532013001"); },
                  "Die Zahlung Nr. 2 kann nicht in die SEPA-Datei geschrieben werden:\rDie Prüfziffer der IBAN ist falsch."},
        Ablehnung{"ZahlungBetragNull", [](auto& a, auto&, auto&, QString&) { a[0].Betrag = Waehrung(); },
                  "Die Zahlung Nr. 1 kann nicht"},
        Ablehnung{"ZahlungMandatDatumZukunft", [](auto& a, auto&, auto& o, QString&) { a[0].MandatDatum = o.Zeitpunkt.date().addDays(1); },
                  "Die Zahlung Nr. 1 kann nicht"},
        Ablehnung{"ZahlungFremdeSequenz", [](auto& a, auto&, auto&, QString&) { a[1].MandatSequenz = 13; },
                  "Die Zahlung Nr. 2 kann nicht in die SEPA-Datei geschrieben werden:\rDie Zahlung passt nicht zur "
                  "Zahlungsart der SEPA-Datei."},
        Ablehnung{"ZahlungUeberweisungImLastschriftlauf", [](auto& a, auto&, auto&, QString&) { a[1].Art = QStringLiteral("G"); },
                  "Die Zahlung Nr. 2 kann nicht in die SEPA-Datei geschrieben werden:\rDie Zahlung passt nicht"},
        // What the schemas let pass and the banks reject.
        Ablehnung{"ReferenzDoppelterSchraegstrich", [](auto&, auto&, auto&, QString& r) { r = QStringLiteral("A//B"); },
                  "Die Referenz-Angabe darf kein \"//\" enthalten."},
        Ablehnung{"ReferenzSchraegstriche", [](auto&, auto&, auto&, QString& r) { r = QStringLiteral("/R1//"); },
                  "Die Referenz-Angabe darf nicht mit \"/\" beginnen oder enden."},
        Ablehnung{"ReferenzLeerzeichen", [](auto&, auto&, auto&, QString& r) { r = QStringLiteral(" R1 "); },
                  "Die Referenz-Angabe darf nicht mit einem Leerzeichen beginnen oder enden."},
        Ablehnung{"ZahlungEinzelReferenz", [](auto& a, auto&, auto&, QString&) { a[1].EinzelReferenz = QStringLiteral("A//B"); },
                  "Die Zahlung Nr. 2 kann nicht in die SEPA-Datei geschrieben werden:\rDie Einzel-Referenz darf kein"},
        Ablehnung{"ZahlungEinzelReferenzFremdeZeichen", [](auto& a, auto&, auto&, QString&) { a[0].EinzelReferenz = QStringLiteral("Re#1"); },
                  "Die Zahlung Nr. 1 kann nicht in die SEPA-Datei geschrieben werden:\rDie Einzel-Referenz enthält"},
        Ablehnung{"ZahlungSchweizOhneBic",
                  [](auto& a, auto&, auto&, QString&) {
                    a[0].IBAN = QStringLiteral("CH9300762011623852957");
                    a[0].BIC.clear();
                  },
                  "Die Zahlung Nr. 1 kann nicht in die SEPA-Datei geschrieben werden:\rDie BIC (Internationale "
                  "Bankleitzahl) fehlt noch!"},
        Ablehnung{"MandatErstUndFolge", [](auto& a, auto&, auto&, QString&) { a[1].MandatReferenz = a[0].MandatReferenz; },
                  "Die Zahlung Nr. 2 kann nicht in die SEPA-Datei geschrieben werden:\rDas Mandat \"M-1\" ist in "
                  "diesem Lauf bereits als Erst-Lastschrift enthalten"},
        Ablehnung{"ZahlungBetragUngleichZeilen",
                  [](auto& a, auto&, auto&, QString&) { a[0].Zeilen = {{QStringLiteral("RE 1"), Waehrung::AusCent(99)}}; },
                  "Die Zahlung Nr. 1 kann nicht in die SEPA-Datei geschrieben werden:\rDer Betrag 1,00 stimmt nicht"},
        Ablehnung{"ZahlungOhneSequenz", [](auto& a, auto&, auto&, QString&) { a[1].MandatSequenz = 0; },
                  "Die Zahlung Nr. 2 kann nicht"},
        Ablehnung{"ZahlungDoppelt", [](auto& a, auto&, auto&, QString&) { a.append(a[0]); },
                  "Die Zahlung Nr. 1 ist mehrfach in der Auswahl enthalten."},
        Ablehnung{"OhneZeitpunkt", [](auto&, auto&, auto& o, QString&) { o.Zeitpunkt = QDateTime(); },
                  "Für die SEPA-Datei fehlt der Erstellungszeitpunkt."}),
    [](const ::testing::TestParamInfo<Ablehnung>& info) { return std::string(info.param.fall); });

// The builder's own mandate-date guard: a mandate signed today may be collected, one dated tomorrow
// not, at any hour of the run; credit transfers carry no mandate and ignore the date.
TEST(SepaDokument, MandatDatumHeuteJaMorgenNein) {
  for (const QTime zeit : {QTime(0, 0, 0), QTime(14, 5, 9), QTime(23, 59, 59)}) {
    SCOPED_TRACE(zeit.toString().toStdString());
    for (const SepaArt art : {SepaArt::BasisLastschrift, SepaArt::FirmenLastschrift}) {
      const int basis = art == SepaArt::FirmenLastschrift ? 10 : 0;
      SepaOptionen o = Optionen(art);
      o.Zeitpunkt = QDateTime(Zeitpunkt.date(), zeit);
      QList<Zahlungsauftrag> auftraege{Auftrag(1, 100, basis + 2), Auftrag(2, 250, basis + 3)};
      auftraege[1].MandatDatum = Zeitpunkt.date();
      const SepaErgebnis heute = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
      SchemaGueltig(heute, Pain008);
      EXPECT_EQ(XPfad(heute.Dateien.value(0).Inhalt).Text(QStringLiteral("(//p:DrctDbtTxInf)[2]//p:DtOfSgntr")),
                QStringLiteral("2024-06-05"));

      auftraege[1].MandatDatum = Zeitpunkt.date().addDays(1);
      const SepaErgebnis morgen = SepaDokument::Bauen(auftraege, Absender(), o, QStringLiteral("R100"));
      EXPECT_FALSE(morgen.Ok());
      EXPECT_TRUE(morgen.Dateien.isEmpty());
      EXPECT_TRUE(morgen.Fehler.startsWith(QStringLiteral("Die Zahlung Nr. 2 kann nicht in die SEPA-Datei geschrieben werden:\r")))
          << morgen.Fehler.toStdString();
    }
    QList<Zahlungsauftrag> ueberweisung{Auftrag(1, 100)};
    ueberweisung[0].MandatDatum = Zeitpunkt.date().addDays(1);
    SepaOptionen o = Optionen(SepaArt::Ueberweisung);
    o.Zeitpunkt = QDateTime(Zeitpunkt.date(), zeit);
    SchemaGueltig(SepaDokument::Bauen(ueberweisung, Absender(), o, QStringLiteral("R100")), Pain001);
  }
}

// ---- streaming and the compact orders ---------------------------------------------------------------------

// A plan's files written in blocks are the files built in memory, whatever the size; a failing block ends the
// writing with its failure.
TEST(SepaDokumentStrom, BloeckeErgebenDieDatei) {
  QList<Zahlungsauftrag> auftraege;
  for (int i = 1; i <= 3000; ++i) {
    Zahlungsauftrag a = Auftrag(i, 1000 + i, 1 + i % 4);
    MitZeilen(a, {QStringLiteral("Rechnung %1 vom 01.06.24").arg(i), QStringLiteral("Kunde Nr. %1").arg(i % 97)});
    auftraege << a;
  }
  const SepaErgebnis bauen = SepaDokument::Bauen(auftraege, Absender(), Optionen(SepaArt::BasisLastschrift, true),
                                                 QStringLiteral("R100"));
  ASSERT_TRUE(bauen.Ok()) << bauen.Fehler.toStdString();
  auto kompakt = std::make_shared<SepaAuftraege>();
  for (const Zahlungsauftrag& a : auftraege) kompakt->Anhaengen(a);
  const SepaDokument plan =
      SepaDokument::Planen(kompakt, Absender(), Optionen(SepaArt::BasisLastschrift, true), QStringLiteral("R100"));
  ASSERT_TRUE(plan.Ergebnis().Ok());
  ASSERT_EQ(plan.Ergebnis().Dateien.size(), 4);
  for (qsizetype i = 0; i < 4; ++i) {
    EXPECT_TRUE(plan.Ergebnis().Dateien.at(i).Inhalt.isEmpty());
    QByteArray inhalt;
    int bloecke = 0;
    ASSERT_FALSE(plan.Schreiben(i, [&](QByteArrayView block) {
      EXPECT_LE(block.size(), 320 * 1024);
      ++bloecke;
      inhalt.append(block);
      return DateiFehler{};
    }));
    EXPECT_GT(bloecke, 1);
    EXPECT_EQ(inhalt, bauen.Dateien.at(i).Inhalt) << "Datei " << i;
  }
  int bloecke = 0;
  const DateiFehler f = plan.Schreiben(0, [&](QByteArrayView) {
    return ++bloecke == 2 ? DateiFehler{61, QStringLiteral("voll")} : DateiFehler{};
  });
  EXPECT_EQ(f.Nummer, 61);
  EXPECT_EQ(bloecke, 2);
}

// The orders as the files carry them: texts converted once and never cut (what comes here passed the rules'
// lengths), and kept where they were put while more orders come (also one larger than a block of memory).
TEST(SepaAuftraege, TexteInDerFormDerDatei) {
  SepaAuftraege liste;
  Zahlungsauftrag a = Auftrag(7, 1234, 2);
  a.Name = QStringLiteral("  Müller & Söhne <Bau> ") + QString(80, QLatin1Char('x'));
  a.IBAN = QStringLiteral("de89 3704 0044 0532 0130 00");
  a.BIC = QStringLiteral(" deut de ff ");
  a.Textschluessel = QStringLiteral(" gdds ");
  a.EinzelReferenz = QStringLiteral("  E2E'1 ");
  a.MandatReferenz = QStringLiteral(" M-7 ");
  MitZeilen(a, {QStringLiteral("Rechnung 1 & 2"), QString(150, QLatin1Char('z'))});
  liste.Anhaengen(a);
  for (int i = 0; i < 20000; ++i) liste.Anhaengen(Auftrag(100 + i, 100, 1));
  Zahlungsauftrag riesig = Auftrag(99, 1, 3);
  riesig.IBAN = QString(3 * 1024 * 1024, QLatin1Char('D'));
  liste.Anhaengen(riesig);
  ASSERT_EQ(liste.Anzahl(), 20002);
  const SepaAuftraege::Auftrag& e = liste.at(0);
  auto text = [&](const SepaAuftraege::Auftrag& x, SepaAuftraege::Feld f) { return SepaAuftraege::Text(x, f).toByteArray(); };
  EXPECT_EQ(text(e, SepaAuftraege::Name), QByteArray("Muller + Sohne Bau ") + QByteArray(80, 'x'));
  EXPECT_EQ(text(e, SepaAuftraege::Iban), "DE89370400440532013000");
  EXPECT_EQ(text(e, SepaAuftraege::Bic), "DEUTDEFF");
  EXPECT_EQ(text(e, SepaAuftraege::Textschluessel), "gdds");
  EXPECT_EQ(text(e, SepaAuftraege::EinzelReferenz), "E2E'1");
  EXPECT_EQ(text(e, SepaAuftraege::MandatReferenz), "M-7");
  EXPECT_EQ(text(e, SepaAuftraege::MandatDatum), "2023-01-15");
  EXPECT_EQ(text(e, SepaAuftraege::Verwendung), QByteArray("Rechnung 1 + 2 ") + QByteArray(150, 'z'));
  EXPECT_EQ(e.betrag, Waehrung::AusCent(1234));
  EXPECT_EQ(e.mandatSequenz, 2);
  for (int i = 0; i < 20000; i += 997) {
    EXPECT_EQ(text(liste.at(1 + i), SepaAuftraege::Name), QStringLiteral("Kunde %1").arg(100 + i).toUtf8());
    EXPECT_EQ(text(liste.at(1 + i), SepaAuftraege::Verwendung), QStringLiteral("Rechnung %1").arg(100 + i).toUtf8());
  }
  EXPECT_EQ(text(liste.at(20001), SepaAuftraege::Iban).size(), 3 * 1024 * 1024);
  EXPECT_EQ(text(liste.at(20000), SepaAuftraege::Name), "Kunde 20099");

  // Keeping some orders puts them in the files' order.
  liste.Auswaehlen([](const SepaAuftraege::Auftrag& x) { return x.zahlungNr == 7 || x.zahlungNr == 99 || x.zahlungNr == 100; });
  EXPECT_EQ(liste.Nummern(), (QList<qint64>{100, 7, 99}));
}

}  // namespace
