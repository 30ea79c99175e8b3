#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstring>
#include <optional>
#include <thread>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include "QtAusgabe.h"
#include "sepafiles/core/SepaDokument.h"
#include "sepafiles/core/SepaFormat.h"
#include "sepafiles/core/SepaSchemapruefung.h"
#include "testsupport/TestOrdner.h"

namespace {

SepaSchemaliste Schemas(SepaFormat format, bool lastschrift) {
  QString meldung;
  const SepaSchemaliste s = SepaSchemapruefung::Laden(format, lastschrift, SepaSchemapruefung::Ordner(), meldung);
  EXPECT_EQ(s.size(), 2) << meldung.toStdString();
  return s;
}

// A small valid credit transfer of the format, from the writer.
QByteArray Ueberweisung(SepaFormat format) {
  Zahlungsauftrag a;
  a.ZahlungNr = 1;
  a.Art = QStringLiteral("G");
  a.Name = QStringLiteral("Kunde 1");
  a.IBAN = QStringLiteral("DE89370400440532013000");
  a.BIC = QStringLiteral("DEUTDEFF");
  a.Betrag = Waehrung::AusCent(12345);
  a.Verwendungszweck1 = QStringLiteral("Rechnung 1");
  SepaAbsender absender;
  absender.Name = QStringLiteral("Tamo Handel GmbH");
  absender.IBAN = QStringLiteral("DE89370400440532013000");
  absender.BIC = QStringLiteral("COBADEFFXXX");
  SepaOptionen o;
  o.Format = format;
  o.Zeitpunkt = QDateTime(QDate(2024, 6, 5), QTime(14, 5, 9));
  o.Erstellungsdatum = o.Zeitpunkt.date();
  const SepaErgebnis e = SepaDokument::Bauen({a}, absender, o, QStringLiteral("R100"));
  EXPECT_TRUE(e.Ok()) << e.Fehler.toStdString();
  return e.Dateien.value(0).Inhalt;
}

// The document with its payment `kopien` times (a schema does not count them): some MiB of events for the
// parse to hand on in many parts, while the checks lag behind.
QByteArray Vervielfacht(const QByteArray& dokument, int kopien) {
  const qsizetype anfang = dokument.indexOf("<CdtTrfTxInf>");
  const qsizetype ende = dokument.indexOf("</CdtTrfTxInf>") + qsizetype(sizeof("</CdtTrfTxInf>") - 1);
  return dokument.left(anfang) + dokument.mid(anfang, ende - anfang).repeated(kopien) + dokument.mid(ende);
}

// libxml2's own check of a document against each schema in turn (its parser fed by libxml2 itself); the
// first complaint as SepaSchemapruefung reports it.
SepaSchemabefund Libxml2Befund(const QByteArray& dokument, const SepaSchemaliste& schemas) {
  for (const auto& schema : schemas) {
    SepaSchemabefund b;
    const xmlStructuredErrorFunc merken = [](void* kontext, xmlErrorPtr f) {
      auto* b = static_cast<SepaSchemabefund*>(kontext);
      if (f->level == XML_ERR_WARNING || !b->Ok()) return;
      b->zeile = f->line;
      b->spalte = f->int2;
      b->text = QString::fromUtf8(f->message).remove(QRegularExpression(QStringLiteral("\\{urn:[^}]*\\}"))).simplified();
    };
    xmlSchemaValidCtxtPtr pruefung = xmlSchemaNewValidCtxt(schema->Roh());
    xmlSchemaSetValidStructuredErrors(pruefung, merken, &b);
    xmlSetStructuredErrorFunc(&b, merken);
    xmlParserInputBufferPtr eingabe =
        xmlParserInputBufferCreateMem(dokument.constData(), int(dokument.size()), XML_CHAR_ENCODING_NONE);
    xmlSchemaValidateStream(pruefung, eingabe, XML_CHAR_ENCODING_NONE, nullptr, nullptr);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    xmlSchemaFreeValidCtxt(pruefung);
    if (!b.Ok()) {
      b.schema = schema->Name();
      return b;
    }
  }
  return {};
}

// Several orders, from the writer: credit transfers (sequence 0), or direct debits of the sequence each
// order names (merged into one file or one file per sequence type).
QList<QByteArray> Dateien(SepaFormat format, const QList<int>& sequenzen, bool aufteilen = false) {
  QList<Zahlungsauftrag> auftraege;
  for (int sequenz : sequenzen) {
    Zahlungsauftrag a;
    a.ZahlungNr = auftraege.size() + 1;
    a.Art = sequenz == 0 ? QStringLiteral("G") : QStringLiteral("L");
    a.Name = QStringLiteral("Kunde %1").arg(a.ZahlungNr);
    a.IBAN = QStringLiteral("DE89370400440532013000");
    a.BIC = QStringLiteral("DEUTDEFF");
    a.Betrag = Waehrung::AusCent(100 + a.ZahlungNr);
    a.Verwendungszweck1 = QStringLiteral("Rechnung %1").arg(a.ZahlungNr);
    a.MandatReferenz = QStringLiteral("M-%1").arg(a.ZahlungNr);
    a.MandatDatum = QDate(2023, 1, 15);
    a.MandatSequenz = sequenz;
    auftraege << a;
  }
  SepaAbsender absender;
  absender.Name = QStringLiteral("Tamo Handel GmbH");
  absender.IBAN = QStringLiteral("DE89370400440532013000");
  absender.BIC = QStringLiteral("COBADEFFXXX");
  absender.GlaeubigerID = QStringLiteral("DE98ZZZ09999999999");
  SepaOptionen o;
  o.Format = format;
  o.Art = sequenzen.value(0) == 0 ? SepaArt::Ueberweisung : SepaArt::BasisLastschrift;
  o.AufteilenNachMandatArt = aufteilen;
  o.Zeitpunkt = QDateTime(QDate(2024, 6, 5), QTime(14, 5, 9));
  o.Erstellungsdatum = o.Zeitpunkt.date();
  const SepaErgebnis e = SepaDokument::Bauen(auftraege, absender, o, QStringLiteral("R100"));
  EXPECT_TRUE(e.Ok()) << e.Fehler.toStdString();
  QList<QByteArray> dateien;
  for (const SepaDatei& d : e.Dateien) dateien << d.Inhalt;
  return dateien;
}

// Where the `nummer`-th (from 0) element `tag` of the document starts.
qsizetype Stelle(const QByteArray& dokument, const char* tag, int nummer) {
  qsizetype stelle = -1;
  for (int i = 0; i <= nummer; ++i) stelle = dokument.indexOf(tag, stelle + 1);
  return stelle;
}

// The document with `was` replaced by `womit` at its first place after the `nummer`-th `tag`.
QByteArray Veraendert(QByteArray dokument, const char* tag, int nummer, const char* was, const char* womit) {
  const qsizetype stelle = dokument.indexOf(was, Stelle(dokument, tag, nummer));
  EXPECT_GE(Stelle(dokument, tag, nummer), 0) << tag << nummer;
  EXPECT_GE(stelle, 0) << was;
  return dokument.replace(stelle, qsizetype(std::strlen(was)), womit);
}

std::string FormatName(const testing::TestParamInfo<SepaFormat>& info) {
  return info.param == SepaFormat::Pain09 ? "pain09" : "pain03";
}

}  // namespace

// ---- the formats' names and the settings' values ----------------------------------------------------------------

TEST(SepaFormat, NachrichtenUndSchemas) {
  EXPECT_EQ(SepaFormate::Vorgabe, SepaFormat::Pain09);
  EXPECT_EQ(SepaFormate::Nachricht(SepaFormat::Pain09, false), QStringLiteral("pain.001.001.09"));
  EXPECT_EQ(SepaFormate::Nachricht(SepaFormat::Pain09, true), QStringLiteral("pain.008.001.08"));
  EXPECT_EQ(SepaFormate::Nachricht(SepaFormat::Pain03, false), QStringLiteral("pain.001.001.03"));
  EXPECT_EQ(SepaFormate::Nachricht(SepaFormat::Pain03, true), QStringLiteral("pain.008.001.02"));
  EXPECT_EQ(SepaFormate::DkSchema(SepaFormat::Pain09, true), QStringLiteral("pain.008.001.08_GBIC_5.xsd"));
  EXPECT_EQ(SepaFormate::DkSchema(SepaFormat::Pain03, false), QStringLiteral("pain.001.001.03_GBIC_3.xsd"));
  EXPECT_EQ(SepaFormate::IsoSchema(SepaFormat::Pain09, false), QStringLiteral("pain.001.001.09.xsd"));
  EXPECT_EQ(SepaFormate::Bezeichnung(SepaFormat::Pain09), QStringLiteral("pain.001.001.09 / pain.008.001.08"));
  EXPECT_EQ(SepaFormate::Bezeichnung(SepaFormat::Pain03),
            QStringLiteral("pain.001.001.03 / pain.008.001.02 (bis November 2026)"));
}

TEST(SepaFormat, AusText) {
  struct Fall {
    const char* text;
    std::optional<SepaFormat> format;
  };
  const Fall faelle[] = {
      {"pain.001.001.09", SepaFormat::Pain09},
      {" PAIN.008.001.08 ", SepaFormat::Pain09},
      {"pain.001.001.09 / pain.008.001.08", SepaFormat::Pain09},
      {"pain.001.001.03", SepaFormat::Pain03},
      {"pain.008.001.02", SepaFormat::Pain03},
      {"pain.001.001.03 / pain.008.001.02 (bis November 2026)", SepaFormat::Pain03},
      {"", std::nullopt},
      {"pain.001.001.05", std::nullopt},
      {"09", std::nullopt},
      {"1", std::nullopt},
  };
  for (const Fall& f : faelle) EXPECT_EQ(SepaFormate::AusText(QString::fromUtf8(f.text)), f.format) << f.text;
  for (SepaFormat f : SepaFormate::Alle()) EXPECT_EQ(SepaFormate::AusText(SepaFormate::Wert(f)), f);
}

// CtrlSum: 18 digits, 2 (pain.001.001.09 / pain.008.001.08) or 17 after the point; beyond the single
// amount's limit is allowed.
TEST(SepaFormat, KontrollsummePasst) {
  struct Fall {
    const char* name;
    Waehrung summe;
    bool neu;
    bool alt;
  };
  const Fall faelle[] = {
      {"Null", Waehrung(), true, true},
      {"EinCent", Waehrung::AusCent(1), true, true},
      {"UeberDemEinzelbetrag", Waehrung::AusCent(99'999'999'999LL) + Waehrung::AusCent(1), true, true},
      {"GroessteCentSumme", Waehrung::AusCent(92'233'720'368'547'758LL), true, true},
      {"DreiNachkommastellen", Waehrung::AusRoh(50), false, true},
      {"AchtzehnStellen", Waehrung::AusRoh(999'999'999'999'999'999LL), false, true},
      {"NeunzehnStellen", Waehrung::AusRoh(INT64_MAX), false, false},
      {"Negativ", Waehrung::AusCent(-1), false, false},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(SepaFormate::KontrollsummePasst(SepaFormat::Pain09, f.summe), f.neu) << f.name;
    EXPECT_EQ(SepaFormate::KontrollsummePasst(SepaFormat::Pain03, f.summe), f.alt) << f.name;
  }
}

// Sums are added exactly: a run whose control sum would overflow is refused, not written with a wrapped or
// saturated total.
TEST(SepaDokument, UeberlaufendeKontrollsummeWirdAbgelehnt) {
  auto auftraege = std::make_shared<SepaAuftraege>();
  SepaAuftraege::Roh roh;
  const QByteArray name("Kunde"), iban("DE89370400440532013000"), text("Rechnung");
  roh.name = name;
  roh.iban = iban;
  roh.verwendungszweck1 = text;
  for (qint64 nr : {1, 2}) {
    roh.zahlungNr = nr;
    roh.betrag = Waehrung::AusRoh(INT64_MAX / 2 + 100);
    auftraege->Anhaengen(roh);
  }
  SepaAbsender absender;
  absender.Name = QStringLiteral("Tamo");
  absender.IBAN = QStringLiteral("DE89370400440532013000");
  SepaOptionen o;
  o.Zeitpunkt = QDateTime(QDate(2024, 6, 5), QTime(14, 5, 9));
  const SepaDokument d = SepaDokument::Planen(auftraege, absender, o, QStringLiteral("R100"));
  ASSERT_FALSE(d.Ergebnis().Ok());
  EXPECT_TRUE(d.Ergebnis().Fehler.startsWith(QStringLiteral("Die Summe der Zahlungen ist zu groß"))) << d.Ergebnis().Fehler.toStdString();
  EXPECT_TRUE(d.Ergebnis().Dateien.isEmpty());

  // One of them alone fits neither: four places after the point and nineteen digits.
  auftraege = std::make_shared<SepaAuftraege>();
  auftraege->Anhaengen(roh);
  EXPECT_FALSE(SepaDokument::Planen(auftraege, absender, o, QStringLiteral("R100")).Ergebnis().Ok());
  o.Format = SepaFormat::Pain03;
  EXPECT_FALSE(SepaDokument::Planen(auftraege, absender, o, QStringLiteral("R100")).Ergebnis().Ok());
}

// ---- the shipped schemas -----------------------------------------------------------------------------------------

// Copied byte for byte as published (a line-end conversion would be caught here too).
TEST(SepaSchemapruefung, SchemasSindDieVeroeffentlichten) {
  const QString ordner = SepaSchemapruefung::Ordner();
  ASSERT_FALSE(ordner.isEmpty());
  const QPair<const char*, const char*> dateien[] = {
      {"pain.001.001.03.xsd", "ae2bbba02a6be0119a26f4afcb65ced067453cb1b81d38b26bcc569f19eca93e"},
      {"pain.008.001.02.xsd", "09b13e91fcde87f3153a4a417c866008fbc3d8a91706c0b24ff2bf4a18b56429"},
      {"pain.001.001.03_GBIC_3.xsd", "337add8cb7d8ea80a60fb3a2220ff86f871ed009c9572ba7b470a53fcbbb53f2"},
      {"pain.008.001.02_GBIC_3.xsd", "6f8c876deee693cd3b7b7fae708468bdc4b4d57e46460f25c0cb9013de28c482"},
      {"pain.001.001.09.xsd", "de038b373e47b0077b1832ddd81f4b2f1eb25d35721f62da1e38b7f5a09fda24"},
      {"pain.008.001.08.xsd", "7edf4e4ce34c47a5567af6a327e22af4ed4007f715822af9f353c94ecc10f5ba"},
      {"pain.001.001.09_GBIC_5.xsd", "d64da6e1553cf8dd38f98818fe3234fb79daec792d0a69483a1ab8e90dec8b8c"},
      {"pain.008.001.08_GBIC_5.xsd", "f0d9429a114f496d78644a0b734452aa0e33ad4ae082fcbf806923fe138ad754"},
  };
  for (const auto& [name, summe] : dateien) {
    const QByteArray inhalt = TestOrdner::Lesen(QDir(ordner).filePath(QString::fromLatin1(name)));
    EXPECT_EQ(QCryptographicHash::hash(inhalt, QCryptographicHash::Sha256).toHex(), QByteArray(summe)) << name;
  }
}

TEST(SepaSchemapruefung, FehlendesOderKaputtesSchemaIstEinDeutscherFehler) {
  TestOrdner ordner;
  QString meldung;
  EXPECT_TRUE(SepaSchemapruefung::Laden(SepaFormat::Pain09, false, ordner.Pfad(), meldung).isEmpty());
  EXPECT_TRUE(meldung.startsWith(QStringLiteral("Das Prüfschema \"pain.001.001.09.xsd\" der Bank fehlt"))) << meldung.toStdString();
  EXPECT_TRUE(meldung.contains(QStringLiteral("Die Datei ist nicht vorhanden."))) << meldung.toStdString();
  EXPECT_TRUE(meldung.contains(QStringLiteral("es wird keine Datei erstellt"))) << meldung.toStdString();

  // The ISO schema there, the DK one no schema: the DK one is named.
  ASSERT_TRUE(QFile::copy(QDir(SepaSchemapruefung::Ordner()).filePath(QStringLiteral("pain.008.001.08.xsd")),
                          ordner.Datei(QStringLiteral("pain.008.001.08.xsd"))));
  TestOrdner::Schreiben(ordner.Datei(QStringLiteral("pain.008.001.08_GBIC_5.xsd")), "<xs:schema");
  meldung.clear();
  EXPECT_TRUE(SepaSchemapruefung::Laden(SepaFormat::Pain09, true, ordner.Pfad(), meldung).isEmpty());
  EXPECT_TRUE(meldung.startsWith(QStringLiteral("Das Prüfschema \"pain.008.001.08_GBIC_5.xsd\" der Bank fehlt")))
      << meldung.toStdString();
}

TEST(SepaSchemapruefung, EinSchemaWirdEinmalGelesen) {
  QString meldung;
  const QString pfad = QDir(SepaSchemapruefung::Ordner()).filePath(QStringLiteral("pain.001.001.09_GBIC_5.xsd"));
  const auto a = SepaSchema::Laden(pfad, meldung);
  const auto b = SepaSchema::Laden(pfad, meldung);
  ASSERT_TRUE(a);
  EXPECT_EQ(a.get(), b.get());
  EXPECT_EQ(a->Name(), QStringLiteral("pain.001.001.09_GBIC_5.xsd"));
}

// ---- checking documents -----------------------------------------------------------------------------------------

class SepaSchemaFormat : public testing::TestWithParam<SepaFormat> {};

// What the writer makes passes; the same document fed in blocks of any size gives the same answer.
TEST_P(SepaSchemaFormat, GueltigesDokumentInBeliebigenBloecken) {
  const QByteArray dokument = Ueberweisung(GetParam());
  const SepaSchemaliste schemas = Schemas(GetParam(), false);
  EXPECT_TRUE(SepaSchemapruefung::Pruefen(dokument, schemas).Ok());
  for (qsizetype block : {1, 7, 4096}) {
    SepaSchemastrom strom(schemas);
    for (qsizetype i = 0; i < dokument.size(); i += block)
      strom.Anhaengen(QByteArrayView(dokument).sliced(i, std::min(block, dokument.size() - i)));
    const SepaSchemabefund b = strom.Ergebnis();
    EXPECT_TRUE(b.Ok()) << block << ": " << b.text.toStdString();
  }
}

// The other format's document, a wrong element, a value the DK schema alone refuses, a cut document and no
// XML at all: each refused with the schema, the place and libxml2's first complaint.
TEST_P(SepaSchemaFormat, FehlerMitSchemaStelleUndErsterBeschwerde) {
  const SepaFormat format = GetParam();
  const SepaFormat anderes = format == SepaFormat::Pain09 ? SepaFormat::Pain03 : SepaFormat::Pain09;
  const SepaSchemaliste schemas = Schemas(format, false);
  const QByteArray gut = Ueberweisung(format);
  const QString iso = SepaFormate::IsoSchema(format, false);
  const QString dk = SepaFormate::DkSchema(format, false);
  struct Fall {
    const char* name;
    QByteArray dokument;
    QString schema;
    const char* text;   // part of the complaint
  };
  QByteArray falschesElement = gut;
  falschesElement.replace("<Cdtr><Nm>", "<Cdtr><Name>").replace("</Nm></Cdtr>", "</Name></Cdtr>");
  QByteArray nurDkFalsch = gut;   // a currency the ISO schema takes, the DK one not
  nurDkFalsch.replace("<InstdAmt Ccy=\"EUR\">", "<InstdAmt Ccy=\"USD\">");
  const Fall faelle[] = {
      {"AnderesFormat", Ueberweisung(anderes), iso, "No matching global declaration"},
      {"FalschesElement", falschesElement, iso, "Element 'Name': This element is not expected"},
      {"NurDkFalsch", nurDkFalsch, dk, "USD"},
      {"Abgeschnitten", gut.left(gut.size() - 11), iso, "Premature end of data"},   // without "</Document>"
      {"KeinXml", "kein xml", iso, "Start tag expected"},
  };
  for (const Fall& f : faelle) {
    const SepaSchemabefund b = SepaSchemapruefung::Pruefen(f.dokument, schemas);
    ASSERT_FALSE(b.Ok()) << f.name;
    EXPECT_EQ(b.schema, f.schema) << f.name;
    EXPECT_TRUE(b.text.contains(QString::fromUtf8(f.text))) << f.name << ": " << b.text.toStdString();
    EXPECT_FALSE(b.text.contains(QStringLiteral("{urn:"))) << f.name;
    EXPECT_EQ(b.zeile, 1) << f.name;
    EXPECT_GE(b.spalte, 1) << f.name;
  }
  // The place is where the fault is.
  const SepaSchemabefund b = SepaSchemapruefung::Pruefen(falschesElement, schemas);
  EXPECT_NEAR(b.spalte, falschesElement.indexOf("<Cdtr><Name>") + 12, 12);
}

// The document is parsed once and each schema's check replays what the parser reported: every answer is
// libxml2's own for the document, the same complaint at the same place, whatever the document holds.
TEST_P(SepaSchemaFormat, WieLibxml2sEigenePruefung) {
  const SepaSchemaliste schemas = Schemas(GetParam(), false);
  const QByteArray gut = Ueberweisung(GetParam());
  const QByteArray gross = Vervielfacht(gut, 3000);
  auto ersetzt = [&gut](const char* was, const char* womit) { return QByteArray(gut).replace(was, womit); };
  // Every element with a prefix of its namespace instead of the default one.
  QByteArray praefix = QString::fromUtf8(gut)
                           .replace(QRegularExpression(QStringLiteral("<(/?)([A-Za-z])")), QStringLiteral("<\\1p:\\2"))
                           .replace(QStringLiteral("xmlns=\""), QStringLiteral("xmlns:p=\""))
                           .toUtf8();
  // A type named in the document: its prefix found through the namespaces declared on the way down.
  const QByteArray ns = gut.mid(gut.indexOf("xmlns=\"") + 7, gut.indexOf('"', gut.indexOf("xmlns=\"") + 7) - gut.indexOf("xmlns=\"") - 7);
  const QByteArray typHier = "<Nm xmlns:q=\"" + ns + "\" xsi:type=\"q:Max140Text\">Kunde 1</Nm>";
  QByteArray praefixTyp = praefix;
  praefixTyp.replace("<p:Nm>Kunde 1</p:Nm>", "<p:Nm xsi:type=\"p:Max35Text\">Kunde 1</p:Nm>");
  QByteArray grossHintenFalsch = gross;
  grossHintenFalsch.replace(grossHintenFalsch.lastIndexOf("<Cdtr><Nm>"), 10, "<Cdtr><Nam>");
  grossHintenFalsch.replace(grossHintenFalsch.indexOf("</Nm></Cdtr>", grossHintenFalsch.lastIndexOf("<Nam>")), 12, "</Nam></Cdtr>");
  QByteArray grossVorneNurDk = gross;   // the DK check complains early, the ISO check reads on to the end
  grossVorneNurDk.replace(grossVorneNurDk.indexOf("Ccy=\"EUR\""), 9, "Ccy=\"USD\"");
  const struct {
    const char* name;
    QByteArray dokument;
    bool gueltig;
  } faelle[] = {
      {"Gueltig", gut, true},
      {"Gross", gross, true},
      {"MitPraefix", praefix, true},
      {"TypMitPraefixHier", ersetzt("<Nm>Kunde 1</Nm>", typHier.constData()), false},
      {"TypMitPraefixOben", praefixTyp, false},
      {"Zeilen", QByteArray(gut).replace("><", ">\n<"), true},
      {"Kommentare", ersetzt("<GrpHdr>", "<!-- Kopf --><?tamo x?><GrpHdr>"), true},
      {"Cdata", ersetzt("<Nm>Kunde 1</Nm>", "<Nm><![CDATA[Kunde]]> 1</Nm>"), true},
      {"Zeichenverweise", ersetzt("<Nm>Kunde 1</Nm>", "<Nm>K&#117;nde&#x20;1</Nm>"), true},
      {"ZeilenMitFehler", QByteArray(gut).replace("><", ">\n<").replace("<Cd>SEPA</Cd>", "<Cd>SEPAX</Cd>"), false},
      {"AttributMitVerweis", ersetzt("Ccy=\"EUR\"", "Ccy=\"E&#38;R\""), false},
      {"AttributFehlt", ersetzt(" Ccy=\"EUR\"", ""), false},
      {"FremderNamensraum", ersetzt("<Nm>Kunde 1</Nm>", "<Nm xmlns=\"urn:fremd\">Kunde 1</Nm>"), false},
      {"UnbekannterPraefix", ersetzt("<Nm>Kunde 1</Nm>", "<x:Nm>Kunde 1</x:Nm>"), false},
      {"UnbekannteEntitaet", ersetzt("<Nm>Kunde 1</Nm>", "<Nm>Kunde &eins;</Nm>"), false},
      {"FalschesEndtag", ersetzt("</Nm></Cdtr>", "</Name></Cdtr>"), false},
      {"Leer", QByteArray(), false},
      {"NurDeklaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", false},
      {"GrossHintenFalsch", grossHintenFalsch, false},
      {"GrossVorneNurDk", grossVorneNurDk, false},
      {"GrossAbgeschnitten", gross.left(gross.size() / 2), false},
  };
  for (const auto& f : faelle) {
    const SepaSchemabefund erwartet = Libxml2Befund(f.dokument, schemas);
    EXPECT_EQ(erwartet.Ok(), f.gueltig) << f.name << ": " << erwartet.text.toStdString();
    const SepaSchemabefund b = SepaSchemapruefung::Pruefen(f.dokument, schemas);
    EXPECT_EQ(b.schema, erwartet.schema) << f.name;
    EXPECT_EQ(b.text, erwartet.text) << f.name;
    EXPECT_EQ(b.zeile, erwartet.zeile) << f.name;
    EXPECT_EQ(b.spalte, erwartet.spalte) << f.name;
  }
}

// Each schema's checks share out the transactions: check k of P replays transaction i (counted through the
// file from 0) when i mod P is k, and the first of each PmtInf; everything else goes to every check. For
// every document the answer is libxml2's own for the whole of it, whatever the number of checks, wherever
// the fault lies: in a transaction of each check, in the first of a PmtInf, between PmtInf, after the
// transactions, or twice (the earlier one is reported).
TEST_P(SepaSchemaFormat, GeteiltePruefungWieLibxml2) {
  const SepaFormat format = GetParam();
  constexpr int P = 3;   // the faults below are placed for three checks; the others must agree too
  const SepaSchemaliste ueberweisung = Schemas(format, false);
  const SepaSchemaliste lastschrift = Schemas(format, true);
  const char* posten = "<CdtTrfTxInf>";
  const char* einzug = "<DrctDbtTxInf>";
  // Faults that keep the document well-formed: an element twice, a value too long, a currency only the DK
  // schema refuses.
  const char* doppelt = "<PmtId><InstrId>A</InstrId><InstrId>B</InstrId>";
  const char* zuLang = "<EndToEndId>LAENGER-ALS-35-ZEICHEN-LAENGER-ALS-35-";
  const char* langesMandat = "<MndtId>LAENGER-ALS-35-ZEICHEN-LAENGER-ALS-35-";
  // Direct debits of four sequence types in one file: four PmtInf of 4, 1, 3 and 2 transactions.
  const QByteArray vier = Dateien(format, {1, 1, 1, 1, 2, 3, 3, 3, 4, 4}).value(0);
  const QByteArray gut = Dateien(format, QList<int>(P + 1, 0)).value(0);
  struct Fall {
    std::string name;
    QByteArray dokument;
    const SepaSchemaliste* schemas;
    bool gueltig;
    std::optional<int> posten = {};   // the transaction complained at (from 0), -1 outside every one
  };
  std::vector<Fall> faelle;
  for (int n : {1, 2, P, P + 1}) {
    const QByteArray d = Dateien(format, QList<int>(n, 0)).value(0);
    faelle.push_back({"Posten" + std::to_string(n), d, &ueberweisung, true});
    faelle.push_back({"Posten" + std::to_string(n) + "LetzterFalsch", Veraendert(d, posten, n - 1, "<PmtId>", doppelt),
                      &ueberweisung, false, n - 1});
  }
  // Transaction 0 is every check's, 1 and 2 those of checks 1 and 2, 3 that of check 0.
  for (int i = 0; i <= P; ++i) {
    const std::string nr = std::to_string(i);
    faelle.push_back({"DoppeltInPosten" + nr, Veraendert(gut, posten, i, "<PmtId>", doppelt), &ueberweisung, false, i});
    faelle.push_back({"ZuLangInPosten" + nr, Veraendert(gut, posten, i, "<EndToEndId>", zuLang), &ueberweisung, false, i});
    faelle.push_back({"NurDkFalschInPosten" + nr, Veraendert(gut, posten, i, "Ccy=\"EUR\"", "Ccy=\"USD\""),
                      &ueberweisung, false, i});
  }
  // Two faults, the later one in a check that comes earlier in the order of the checks.
  faelle.push_back({"ZweiFehlerFruehererBeiPruefer2",
                    Veraendert(Veraendert(gut, posten, 2, "<EndToEndId>", zuLang), posten, 3, "<PmtId>", doppelt),
                    &ueberweisung, false});
  faelle.push_back({"ZweiFehlerFruehererBeiPruefer1",
                    Veraendert(Veraendert(gut, posten, 1, "<PmtId>", doppelt), posten, 3, "<EndToEndId>", zuLang),
                    &ueberweisung, false});
  faelle.push_back({"ZweiFehlerNurDkVorIso",
                    Veraendert(Veraendert(gut, posten, 2, "Ccy=\"EUR\"", "Ccy=\"USD\""), posten, 3, "<PmtId>", doppelt),
                    &ueberweisung, false});
  faelle.push_back({"ImKopf", Veraendert(gut, "<GrpHdr>", 0, "<NbOfTxs>", "<NbOfTxs>x"), &ueberweisung, false, -1});
  faelle.push_back({"NachDenPosten", Veraendert(gut, "</PmtInf>", 0, "</PmtInf>", "<ChrgBr>SLEV</ChrgBr></PmtInf>"),
                    &ueberweisung, false});
  faelle.push_back({"PostenFremderNamensraum", Veraendert(gut, posten, 2, posten, "<CdtTrfTxInf xmlns=\"urn:fremd\">"),
                    &ueberweisung, false});
  faelle.push_back({"PostenNichtWohlgeformt", Veraendert(gut, posten, 2, "</Nm>", "</Name>"), &ueberweisung, false, 2});
  faelle.push_back({"VierSequenzen", vier, &lastschrift, true});
  faelle.push_back({"KopfZwischenPmtInf", Veraendert(vier, "<PmtInf>", 1, "<SeqTp>FRST</SeqTp>", "<SeqTp>FRSX</SeqTp>"),
                    &lastschrift, false, -1});
  faelle.push_back({"ErsterPostenDerDrittenPmtInf", Veraendert(vier, einzug, 5, "<MndtId>", langesMandat), &lastschrift,
                    false, 5});
  faelle.push_back({"LetzterPostenDerErstenPmtInf", Veraendert(vier, einzug, 3, "Ccy=\"EUR\"", "Ccy=\"USD\""),
                    &lastschrift, false, 3});
  for (int i = 6; i <= 9; ++i)
    faelle.push_back({"PostenHintererPmtInf" + std::to_string(i), Veraendert(vier, einzug, i, "<MndtId>", langesMandat),
                      &lastschrift, false, i});
  faelle.push_back({"LetztePmtInfOhnePosten", vier.left(Stelle(vier, einzug, 8)) + vier.mid(vier.lastIndexOf("</PmtInf>")),
                    &lastschrift, false});
  // Many sections of events: a transaction that begins in one and ends in the next, and those a check steps
  // over whole, with faults in each check's share around the middle and at the end.
  const QByteArray gross = Vervielfacht(gut, 2000);
  faelle.push_back({"GrossGueltig", gross, &ueberweisung, true});
  faelle.push_back({"GrossMitKommentarenUndCdata",
                    QByteArray(gross).replace("<Nm>", "<!-- n --><Nm><![CDATA[]]>"), &ueberweisung, true});
  for (int i = 1000; i < 1000 + P + 1; ++i) {
    faelle.push_back({"GrossDoppeltInPosten" + std::to_string(i), Veraendert(gross, posten, i, "<PmtId>", doppelt),
                      &ueberweisung, false, i});
    faelle.push_back({"GrossNurDkInPosten" + std::to_string(i), Veraendert(gross, posten, i, "Ccy=\"EUR\"", "Ccy=\"USD\""),
                      &ueberweisung, false, i});
  }
  faelle.push_back({"GrossNichtWohlgeformtHinten", Veraendert(gross, posten, 1900, "</Nm>", "</Name>"), &ueberweisung,
                    false, 1900});
  const QList<QByteArray> geteilt = Dateien(format, {1, 2, 2, 2, 2, 3, 4, 4, 4}, true);
  EXPECT_EQ(geteilt.size(), 4);
  for (qsizetype i = 0; i < geteilt.size(); ++i) {
    faelle.push_back({"Geteilt" + std::to_string(i), geteilt.at(i), &lastschrift, true});
    const int letzter = int(geteilt.at(i).count(einzug)) - 1;
    faelle.push_back({"GeteiltLetzterFalsch" + std::to_string(i),
                      Veraendert(geteilt.at(i), einzug, letzter, "<MndtId>", langesMandat), &lastschrift, false, letzter});
  }
  for (const Fall& f : faelle) {
    const SepaSchemabefund erwartet = Libxml2Befund(f.dokument, *f.schemas);
    EXPECT_EQ(erwartet.Ok(), f.gueltig) << f.name << ": " << erwartet.text.toStdString();
    // Where the complaint lies (the transaction counted through the file, the element's path) does not depend on
    // which check found it.
    const SepaSchemabefund allein = SepaSchemapruefung::Pruefen(f.dokument, *f.schemas, 1);
    if (f.posten) {
      EXPECT_EQ(allein.posten, *f.posten) << f.name << ": " << allein.pfad.join(QLatin1Char('/')).toStdString();
    }
    for (int teile : {1, 2, P, P + 1}) {
      const SepaSchemabefund b = SepaSchemapruefung::Pruefen(f.dokument, *f.schemas, teile);
      EXPECT_EQ(b.posten, allein.posten) << f.name << " in " << teile;
      EXPECT_EQ(b.pfad, allein.pfad) << f.name << " in " << teile;
      EXPECT_EQ(b.schema, erwartet.schema) << f.name << " in " << teile;
      EXPECT_EQ(b.text, erwartet.text) << f.name << " in " << teile;
      EXPECT_EQ(b.zeile, erwartet.zeile) << f.name << " in " << teile;
      EXPECT_EQ(b.spalte, erwartet.spalte) << f.name << " in " << teile;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formate, SepaSchemaFormat, testing::Values(SepaFormat::Pain09, SepaFormat::Pain03), FormatName);

TEST(SepaSchemapruefung, MeldungNenntDateiZeileUndBeschwerde) {
  SepaSchemabefund b;
  b.schema = QStringLiteral("pain.001.001.09_GBIC_5.xsd");
  b.zeile = 1;
  b.spalte = 812;
  b.text = QStringLiteral("Element 'BIC': This element is not expected.");
  b.pfad = QStringLiteral("Document/CstmrCdtTrfInitn/PmtInf/CdtTrfTxInf/CdtrAgt/FinInstnId/BIC").split(QLatin1Char('/'));
  b.posten = 1;
  EXPECT_EQ(SepaSchemapruefung::Meldung(QStringLiteral("SEPAGK.XML"), b, SepaSchemaauftrag{17, QStringLiteral("Kunde Schulz")}),
            QStringLiteral("Die Datei SEPAGK.XML entspricht nicht dem Schema der Bank (Zeile 1, Spalte 812):\r"
                           "Zahlung Nr. 17 (Kunde Schulz), Feld \"BIC\": an dieser Stelle nicht erlaubt.\r\r"
                           "Meldung der Prüfung (für den Support): Element 'BIC': This element is not expected.\r"
                           "Prüfschema: pain.001.001.09_GBIC_5.xsd\r"
                           "Es wurde keine SEPA-Datei erstellt und keine Zahlung als erledigt gekennzeichnet."));
}

// The refusal in words a bookkeeper reads: the order (its number and name, or its place in the file without them)
// or the sender's and file's data, the field as the windows call it, and what is wrong, for libxml2's usual
// complaints against the real schemas.
struct Erklaerungsfall {
  const char* name;
  bool lastschrift;
  const char* tag;     // the fault is planted after the `nummer`-th of these
  int nummer;
  const char* was;
  const char* womit;
  const char* erklaerung;   // with the order Nr. (posten + 1), "Kunde (posten + 1)"
};
void PrintTo(const Erklaerungsfall& f, std::ostream* os) { *os << f.name; }

class SepaSchemaErklaerung : public testing::TestWithParam<Erklaerungsfall> {};

TEST_P(SepaSchemaErklaerung, DeutschMitZahlungUndFeld) {
  const Erklaerungsfall& f = GetParam();
  for (SepaFormat format : SepaFormate::Alle()) {
    SCOPED_TRACE(SepaFormate::Nachricht(format, f.lastschrift).toStdString());
    const QByteArray gut = Dateien(format, f.lastschrift ? QList<int>{3, 3, 3} : QList<int>{0, 0, 0}).value(0);
    const QByteArray dokument = Veraendert(gut, f.tag, f.nummer, f.was, f.womit);
    const SepaSchemabefund b = SepaSchemapruefung::Pruefen(dokument, Schemas(format, f.lastschrift));
    ASSERT_FALSE(b.Ok());
    const std::optional<SepaSchemaauftrag> auftrag =
        b.posten >= 0 ? std::optional(SepaSchemaauftrag{b.posten + 1, QStringLiteral("Kunde %1").arg(b.posten + 1)})
                      : std::nullopt;
    EXPECT_EQ(SepaSchemapruefung::Erklaerung(b, auftrag), QString::fromUtf8(f.erklaerung)) << b.text.toStdString();
    const QString meldung = SepaSchemapruefung::Meldung(QStringLiteral("SEPA.XML"), b, auftrag);
    EXPECT_TRUE(meldung.contains(QStringLiteral("\r") + QString::fromUtf8(f.erklaerung) + QStringLiteral("\r\r")));
    EXPECT_TRUE(meldung.contains(QStringLiteral("Meldung der Prüfung (für den Support): ") + b.text));
  }
}

const QByteArray Lang71 = QByteArray(71, 'X');

INSTANTIATE_TEST_SUITE_P(
    Beschwerden, SepaSchemaErklaerung,
    testing::Values(
        Erklaerungsfall{"NameZuLang", false, "<Cdtr><Nm>", 1, "Kunde 2", Lang71.constData(),
                        "Zahlung Nr. 2 (Kunde 2), Feld \"Name\": zu lang (71 Zeichen, erlaubt sind höchstens 70)."},
        Erklaerungsfall{"VerwendungszweckLeer", false, "<CdtTrfTxInf>", 2, "<Ustrd>Rechnung 3</Ustrd>", "<Ustrd></Ustrd>",
                        "Zahlung Nr. 3 (Kunde 3), Feld \"Verwendungszweck\": leer."},
        Erklaerungsfall{"IbanFalscheZeichen", true, "<DrctDbtTxInf>", 0, "<IBAN>DE89", "<IBAN>de89",
                        "Zahlung Nr. 1 (Kunde 1), Feld \"IBAN\": enthält Zeichen, die dort nicht erlaubt sind, oder hat "
                        "nicht die vorgeschriebene Form (\"de89370400440532013000\")."},
        Erklaerungsfall{"MandatFehlt", true, "<DrctDbtTxInf>", 1, "<MndtId>M-2</MndtId>", "",
                        "Zahlung Nr. 2 (Kunde 2), Feld \"Mandat-Datum\": an dieser Stelle nicht erlaubt (erwartet: "
                        "\"Mandat-Referenz\")."},
        Erklaerungsfall{"NameDesZahlersFehlt", true, "<Dbtr>", 0, "<Nm>Kunde 1</Nm>", "",
                        "Zahlung Nr. 1 (Kunde 1), Feld \"Name\": fehlt."},
        Erklaerungsfall{"KontoAmEndeFehlt", false, "<CdtTrfTxInf>", 1,
                        "<CdtrAcct><Id><IBAN>DE89370400440532013000</IBAN></Id></CdtrAcct><RmtInf><Ustrd>Rechnung 2</Ustrd>"
                        "</RmtInf>",
                        "", "Zahlung Nr. 2 (Kunde 2), Feld \"IBAN\": fehlt."},
        Erklaerungsfall{"MandatsdatumFalscheForm", true, "<DrctDbtTxInf>", 2, "<DtOfSgntr>2023-01-15", "<DtOfSgntr>2023-02-30",
                        "Zahlung Nr. 3 (Kunde 3), Feld \"Mandat-Datum\": nicht in der vorgeschriebenen Form "
                        "(\"2023-02-30\")."},
        Erklaerungsfall{"BetragNull", false, "<CdtTrfTxInf>", 0, ">1.01<", ">0.00<",
                        "Zahlung Nr. 1 (Kunde 1), Feld \"Betrag\": außerhalb des erlaubten Bereichs (\"0.00\")."},
        Erklaerungsfall{"BetragDreiNachkommastellen", true, "<DrctDbtTxInf>", 1, ">1.02<", ">1.025<",
                        "Zahlung Nr. 2 (Kunde 2), Feld \"Betrag\": zu viele Nachkommastellen (\"1.025\")."},
        Erklaerungsfall{"WaehrungNichtEuro", false, "<CdtTrfTxInf>", 2, "Ccy=\"EUR\"", "Ccy=\"USD\"",
                        "Zahlung Nr. 3 (Kunde 3), Feld \"Währung\": kein erlaubter Wert (\"USD\")."},
        Erklaerungsfall{"MandatArtFalsch", true, "<PmtInf>", 0, "<SeqTp>RCUR</SeqTp>", "<SeqTp>RCUX</SeqTp>",
                        "Angaben des Absenders und der Datei, Feld \"Mandat-Art\": kein erlaubter Wert (\"RCUX\")."},
        Erklaerungsfall{"AbsenderNameZuLang", false, "<InitgPty>", 0, "Tamo Handel GmbH", Lang71.constData(),
                        "Angaben des Absenders und der Datei, Feld \"Name des Absenders\": zu lang (71 Zeichen, erlaubt "
                        "sind höchstens 70)."},
        Erklaerungsfall{"KeinXmlInDerZahlung", false, "<CdtTrfTxInf>", 1, "</Nm>", "</Name>",
                        "Die Datei ist kein vollständiges, gültiges XML-Dokument. Der Fehler liegt bei: Zahlung Nr. 2 "
                        "(Kunde 2)."},
        Erklaerungsfall{"KeinXmlAmEnde", false, "</PmtInf>", 0, "</Document>", "</Dokument>",
                        "Die Datei ist kein vollständiges, gültiges XML-Dokument."}),
    [](const auto& info) { return std::string(info.param.name); });

// Without the run's orders the transaction is named by its place in the file.
TEST(SepaSchemapruefung, ErklaerungOhneAuftragNenntDieStelle) {
  const QByteArray dokument =
      Veraendert(Dateien(SepaFormat::Pain09, {0, 0, 0}).value(0), "<Cdtr><Nm>", 2, "Kunde 3", Lang71.constData());
  const SepaSchemabefund b = SepaSchemapruefung::Pruefen(dokument, Schemas(SepaFormat::Pain09, false));
  EXPECT_EQ(SepaSchemapruefung::Erklaerung(b),
            QStringLiteral("3. Zahlung der Datei, Feld \"Name\": zu lang (71 Zeichen, erlaubt sind höchstens 70)."));
}

// A document given up half way (the run failed elsewhere) ends its threads at once, also while the writer
// is ahead of the checks; a check that has complained takes no more blocks, so the writer never waits on it.
TEST(SepaSchemapruefung, AbgebrochenerStromEndetSofort) {
  const SepaSchemaliste schemas = Schemas(SepaFormat::Pain09, false);
  const QByteArray dokument = Ueberweisung(SepaFormat::Pain09);
  {
    SepaSchemastrom strom(schemas);
    strom.Anhaengen(QByteArrayView(dokument).first(100));
  }   // no Beenden, no Ergebnis: the destructor must not hang
  {
    // The parse waiting for checks that lag behind, the checks in the middle of the document.
    SepaSchemastrom strom(schemas);
    strom.Anhaengen(Vervielfacht(dokument, 3000));
  }
  SepaSchemastrom strom(schemas);
  strom.Anhaengen("kein xml");
  const QByteArray block(1024, ' ');
  for (int i = 0; i < 1000; ++i) strom.Anhaengen(block);   // more than the checks may lag behind
  EXPECT_FALSE(strom.Ergebnis().Ok());
}

// Several files checked at once share the schemas (as a run in split mode does).
TEST(SepaSchemapruefung, MehrereStroemeGleichzeitig) {
  const SepaSchemaliste schemas = Schemas(SepaFormat::Pain09, false);
  const QByteArray gut = Ueberweisung(SepaFormat::Pain09);
  QByteArray schlecht = gut;
  schlecht.replace("<Cd>SEPA</Cd>", "<Cd>SEPAX</Cd>");
  std::vector<std::unique_ptr<SepaSchemastrom>> stroeme;
  for (int i = 0; i < 6; ++i) {
    stroeme.push_back(std::make_unique<SepaSchemastrom>(schemas));
    stroeme.back()->Anhaengen(i == 4 ? schlecht : gut);
  }
  for (int i = 0; i < 6; ++i) EXPECT_EQ(stroeme.at(size_t(i))->Ergebnis().Ok(), i != 4) << i;
}

