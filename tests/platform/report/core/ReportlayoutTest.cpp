#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QRandomGenerator>

#include "platform/db/Waehrung.h"
#include "platform/report/core/Reportlayout.h"
#include "platform/report/core/Reportvorlage.h"
#include "platform/settings/IniDatei.h"
#include "testsupport/TestOrdner.h"

namespace {

QString Zufallstext(QRandomGenerator& z, int maxLaenge) {
  static const QString zeichen = QStringLiteral("abcXYZ äöüßÄÖÜ€ 0123456789 =;[]\"'{}|(),.-_\t#&<>");
  QString t;
  const int n = int(z.bounded(maxLaenge + 1));
  for (int i = 0; i < n; ++i) t += zeichen.at(int(z.bounded(quint32(zeichen.size()))));
  return t;
}

Reportlayout Zufallslayout(QRandomGenerator& z) {
  Reportlayout l;
  l.beschreibung = Zufallstext(z, 40);
  l.papier = z.bounded(2) ? QPageSize::A4 : QPageSize::Letter;
  l.ausrichtung = z.bounded(2) ? QPageLayout::Landscape : QPageLayout::Portrait;
  l.raender = QMarginsF(z.bounded(40), z.bounded(40), z.bounded(40), 12.5);
  l.schrift = QStringLiteral("DejaVu Sans");
  l.groesse = 4 + z.bounded(20);
  for (int i = int(z.bounded(4)); i > 0; --i) l.titel << Reportzeile{Zufallstext(z, 30), double(z.bounded(2) ? 0 : 14), z.bounded(2) == 1};
  l.kopfLinks = Zufallstext(z, 20);
  l.fussRechts = Zufallstext(z, 20);
  l.gruppe = z.bounded(2) ? QStringLiteral("Zahlungen.ZahlungNr") : QString();
  for (int i = 1 + int(z.bounded(6)); i > 0; --i) {
    Reportspalte s;
    s.titel = Zufallstext(z, 15);
    s.wert = Zufallstext(z, 25);
    s.breite = 1 + z.bounded(90);
    s.ausrichtung = static_cast<Spaltenausrichtung>(z.bounded(3));
    s.summe = z.bounded(2) == 1;
    s.umbruch = z.bounded(2) == 1;
    s.nurErste = z.bounded(2) == 1;
    l.spalten << s;
  }
  for (int i = int(z.bounded(3)); i > 0; --i) l.zusammenfassung << Reportzeile{Zufallstext(z, 30), 0, false};
  l.sortierung = z.bounded(2) ? QStringLiteral("Zahlungen.Art ASC, Zahlungen.Name") : QString();
  return l;
}

TEST(Reportlayout, ZufaelligeLayoutsUeberstehenSchreibenUndLesen) {
  QRandomGenerator zufall(20250314);
  for (int runde = 0; runde < 500; ++runde) {
    const Reportlayout l = Zufallslayout(zufall);
    const QString text = Reportdatei::AlsText(l);
    const Reportdatei::Ergebnis e = Reportdatei::AusText(text);
    ASSERT_TRUE(e.layout.has_value()) << "Runde " << runde << ": " << e.beschreibung.toStdString() << "\n" << text.toStdString();
    ASSERT_TRUE(*e.layout == l) << "Runde " << runde << "\n" << text.toStdString();
  }
}

TEST(Reportlayout, DateiLiestSichZurueckUndZeilenumbrueche) {
  TestOrdner ordner;
  Reportlayout l;
  l.beschreibung = QStringLiteral("  Zahlungen \"geprüft\"  ");
  l.spalten << Reportspalte{QStringLiteral("Betrag"), QStringLiteral("{ZahlungsBetrag|#.##0,00}"), 25.5,
                            Spaltenausrichtung::Rechts, true, false, true};
  l.titel << Reportzeile{QStringLiteral("Zeile eins\nZeile zwei"), 12, true};
  const QString datei = ordner.Datei(QStringLiteral("Probe.LST"));
  TestOrdner::Schreiben(datei, Reportdatei::AlsText(l).toUtf8());
  const Reportdatei::Ergebnis e = Reportdatei::Laden(datei);
  ASSERT_TRUE(e.layout);
  EXPECT_EQ(e.layout->beschreibung, l.beschreibung);
  EXPECT_EQ(e.layout->spalten, l.spalten);
  EXPECT_EQ(e.layout->titel.first().text, QStringLiteral("Zeile eins Zeile zwei"));   // a line holds no break
  // The description is what the report choice reads with the plain INI reader.
  EXPECT_EQ(IniDatei::Laden(datei)->Wert(QStringLiteral("Description"), QStringLiteral("Text")), l.beschreibung);
}

TEST(Reportlayout, FalscheEintraegeSindFormatfehlerMitBegruendung) {
  const QString gut = QStringLiteral("[Spalte1]\nWert={Name}\n");
  ASSERT_TRUE(Reportdatei::AusText(gut).layout);
  const QStringList schlecht = {
      QString(),
      QStringLiteral("[Spalte2]\nWert={Name}\n"),   // columns are numbered from 1 without gaps
      gut + QStringLiteral("[Report]\nVersion=2\n"),
      gut + QStringLiteral("[Seite]\nPapier=B9\n"),
      gut + QStringLiteral("[Seite]\nAusrichtung=schief\n"),
      gut + QStringLiteral("[Seite]\nRaender=1;2;3\n"),
      gut + QStringLiteral("[Seite]\nGroesse=200\n"),
      QStringLiteral("[Spalte1]\nWert={Name}\nBreite=-3\n"),
      QStringLiteral("[Spalte1]\nWert={Name}\nAusrichtung=oben\n"),
      QStringLiteral("[Spalte1]\nWert={Name}\nSumme=ja\n"),
      gut + QStringLiteral("[Titel]\nZeile1=x\nZeile1.Fett=2\n"),
  };
  for (const QString& text : schlecht) {
    const Reportdatei::Ergebnis e = Reportdatei::AusText(text);
    EXPECT_FALSE(e.layout) << text.toStdString();
    EXPECT_EQ(e.fehler, Reportdatei::Lesefehler::Format) << text.toStdString();
    EXPECT_FALSE(e.beschreibung.isEmpty()) << text.toStdString();
  }
  EXPECT_EQ(Reportdatei::Laden(QStringLiteral("/gibt/es/nicht.LST")).fehler, Reportdatei::Lesefehler::FehltDatei);
}

// Mutated report files: the reader never crashes or hangs, answers the same twice, and whatever it
// accepts is a layout it writes back to the same layout.
TEST(Reportlayout, VerstuemmelteDateienFuzz) {
  QFile vorlage(QStringLiteral(TAMO_SOURCE_DIR "/resources/Zahlungsliste.LST"));
  ASSERT_TRUE(vorlage.open(QIODevice::ReadOnly));
  const QString basis = QString::fromUtf8(vorlage.readAll());
  ASSERT_TRUE(Reportdatei::AusText(basis).layout);
  QRandomGenerator zufall(4711);
  const QString einstreu = QStringLiteral("[]=;\"'\n\r{}|() \t\u0000\u00e4\u20ac\U0001F600x9");
  int angenommen = 0;
  for (int runde = 0; runde < 2000; ++runde) {
    QString text = basis;
    for (int m = 1 + int(zufall.bounded(8)); m > 0; --m) {
      const int pos = int(zufall.bounded(quint32(text.size() + 1)));
      switch (zufall.bounded(3)) {
        case 0: text.remove(pos, 1 + int(zufall.bounded(20))); break;
        case 1: text.insert(pos, einstreu.at(int(zufall.bounded(quint32(einstreu.size()))))); break;
        default: text.insert(pos, text.mid(int(zufall.bounded(quint32(text.size() + 1))), 30)); break;
      }
    }
    const Reportdatei::Ergebnis a = Reportdatei::AusText(text);
    const Reportdatei::Ergebnis b = Reportdatei::AusText(text);
    ASSERT_EQ(a.layout.has_value(), b.layout.has_value());
    if (!a.layout) {
      EXPECT_EQ(a.fehler, Reportdatei::Lesefehler::Format);
      EXPECT_FALSE(a.beschreibung.isEmpty());
      continue;
    }
    ++angenommen;
    const Reportdatei::Ergebnis zurueck = Reportdatei::AusText(Reportdatei::AlsText(*a.layout));
    ASSERT_TRUE(zurueck.layout);
    EXPECT_TRUE(*zurueck.layout == *a.layout) << text.toStdString();
  }
  EXPECT_GT(angenommen, 100);   // the mutations leave enough readable files to check the round trip
}

TEST(Reportvorlage, PlatzhalterUndKlammern) {
  const Reportvorlage v = Reportvorlage::Zerlegen(QStringLiteral("{{x}} {Name} {Betrag|0,00} {Summe( Betrag )|#.##0} { } {offen"));
  const QList<Reportvorlage::Teil> p = v.Platzhalter();
  ASSERT_EQ(p.size(), 3);
  EXPECT_EQ(p.at(0).name, QStringLiteral("Name"));
  EXPECT_EQ(p.at(1).format, QStringLiteral("0,00"));
  EXPECT_EQ(p.at(2).funktion, QStringLiteral("Summe"));
  EXPECT_EQ(p.at(2).name, QStringLiteral("Betrag"));
  const QString text = v.Ausfuellen([](const Reportvorlage::Teil& t) -> QVariant {
    if (t.name == QLatin1String("Name")) return QStringLiteral("Müller");
    return QVariant::fromValue(Waehrung::AusCent(123456));
  });
  EXPECT_EQ(text, QStringLiteral("{x} Müller 1234,56 1.235 { } {offen"));
}

TEST(Reportvorlage, DeutscheFormateUndNullIstLeer) {
  EXPECT_EQ(ReportwertFormatieren(QVariant::fromValue(Waehrung::AusCent(123456789))), QStringLiteral("1.234.567,89"));
  EXPECT_EQ(ReportwertFormatieren(QVariant::fromValue(Waehrung::AusCent(-5))), QStringLiteral("-0,05"));
  EXPECT_EQ(ReportwertFormatieren(QVariant::fromValue(Waehrung::AusCent(150)), QStringLiteral("0")), QStringLiteral("2"));
  EXPECT_EQ(ReportwertFormatieren(qint64(1234567)), QStringLiteral("1234567"));
  EXPECT_EQ(ReportwertFormatieren(qint64(1234567), QStringLiteral("#.##0")), QStringLiteral("1.234.567"));
  EXPECT_EQ(ReportwertFormatieren(qint64(7), QStringLiteral("0,00")), QStringLiteral("7,00"));
  EXPECT_EQ(ReportwertFormatieren(2.5), QStringLiteral("2,50"));
  EXPECT_EQ(ReportwertFormatieren(12345.678, QStringLiteral("#.##0,0")), QStringLiteral("12.345,7"));
  EXPECT_EQ(ReportwertFormatieren(QDate(2025, 3, 4)), QStringLiteral("04.03.2025"));
  EXPECT_EQ(ReportwertFormatieren(QDate(2025, 3, 4), QStringLiteral("dd.MM.yy")), QStringLiteral("04.03.25"));
  EXPECT_EQ(ReportwertFormatieren(true), QStringLiteral("Ja"));
  EXPECT_EQ(ReportwertFormatieren(false, QStringLiteral("x;-")), QStringLiteral("-"));
  EXPECT_EQ(ReportwertFormatieren(QVariant()), QString());
  EXPECT_EQ(ReportwertFormatieren(QVariant(QMetaType(QMetaType::QDate))), QString());
  EXPECT_EQ(ReportwertFormatieren(QStringLiteral("Straße")), QStringLiteral("Straße"));
}

TEST(Reportvorlage, SummenBleibenExakt) {
  Reportsumme betraege;
  for (int i = 0; i < 1000; ++i) betraege.Addieren(QVariant::fromValue(Waehrung::AusCent(10)));   // 0,10 a thousand times
  betraege.Addieren(QVariant());
  EXPECT_EQ(betraege.Ergebnis().value<Waehrung>(), Waehrung::AusEuro(100));
  Reportsumme zahlen;
  zahlen.Addieren(qint64(2));
  zahlen.Addieren(qint64(3));
  EXPECT_EQ(zahlen.Ergebnis().metaType().id(), QMetaType::LongLong);
  EXPECT_EQ(zahlen.Ergebnis().toLongLong(), 5);
  Reportsumme gemischt;
  gemischt.Addieren(QVariant::fromValue(Waehrung::AusCent(150)));
  gemischt.Addieren(qint64(1));
  EXPECT_EQ(gemischt.Ergebnis().value<Waehrung>(), Waehrung::AusCent(250));
}

}  // namespace
