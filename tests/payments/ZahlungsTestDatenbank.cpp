#include "ZahlungsTestDatenbank.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

void SchemaAnlegen(Datenbank& db) {
  QFile f(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << "resources/TamoSEPA.sql fehlt";
  const DbFehler fehler = db.SkriptAusfuehren(QString::fromUtf8(f.readAll()));
  EXPECT_TRUE(fehler.Ok()) << fehler.Beschreibung.toStdString();
}

}  // namespace

ZahlungsTestDatenbank::ZahlungsTestDatenbank() : m_db(Datenbank::InSpeicher()) { SchemaAnlegen(*m_db); }

ZahlungsTestDatenbank::ZahlungsTestDatenbank(const QString& datei) {
  DbFehler f;
  m_db = Datenbank::Oeffnen(datei, f, true);
  if (!m_db) {
    ADD_FAILURE() << f.Beschreibung.toStdString();
    m_db = Datenbank::InSpeicher();
  }
  SchemaAnlegen(*m_db);
}

qint64 ZahlungsTestDatenbank::ZahlungAnlegen(const Zahlung& z) {
  const DbFehler f = m_db->Ausfuehren(
      "INSERT INTO Zahlungen (AbsenderNr, Art, Name, MandatSequenz, \"Fällig\", Erledigt, Fehler, ZahlungGesamt, "
      "MandatReferenz, OPKontoNr) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {QVariant(z.absenderNr), QVariant(z.art), QVariant(z.name), z.mandatSequenz ? QVariant(*z.mandatSequenz) : QVariant(),
       z.faellig ? QVariant(*z.faellig) : QVariant(), QVariant(z.erledigt ? 1 : 0), QVariant(z.fehler ? 1 : 0),
       z.gesamt ? QVariant::fromValue(*z.gesamt) : QVariant(), QVariant(z.mandatReferenz), QVariant(z.opKontoNr)});
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return m_db->LetzteEinfuegeNr();
}

qint64 ZahlungsTestDatenbank::ZeileAnlegen(qint64 zahlungNr, int zeilenNr, const QString& text,
                                           std::optional<Waehrung> betrag, std::optional<Waehrung> skonto) {
  const DbFehler f = m_db->Ausfuehren(
      "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, SkontoBetrag, ZahlungsBetrag) "
      "VALUES (?, ?, ?, ?, ?, ?)",
      {QVariant(zahlungNr), QVariant(zeilenNr), QVariant(text), betrag ? QVariant::fromValue(*betrag) : QVariant(),
       skonto ? QVariant::fromValue(*skonto) : QVariant(), betrag ? QVariant::fromValue(*betrag) : QVariant()});
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return m_db->LetzteEinfuegeNr();
}

int ZahlungsTestDatenbank::Anzahl(const char* tabelle) {
  const QString t = QString::fromUtf8(tabelle);
  return Wert(SqlText("SELECT COUNT(*) FROM ") + SqlText::Bezeichner(t)).toInt();
}

QVariant ZahlungsTestDatenbank::Wert(const SqlText& sql, const QVariantList& parameter) {
  DbFehler f;
  const auto w = m_db->Wert(sql, parameter, f);
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return w.value_or(QVariant());
}
