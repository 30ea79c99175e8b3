#include "LaufTestDatenbank.h"

#include <QFile>

#include <gtest/gtest.h>

LaufTestDatenbank::LaufTestDatenbank(std::unique_ptr<Datenbank> db) : m_db(std::move(db)) { Einrichten(*m_db); }

void LaufTestDatenbank::Einrichten(Datenbank& db) {
  QFile schema(QStringLiteral(TAMO_SOURCE_DIR "/resources/TamoSEPA.sql"));
  EXPECT_TRUE(schema.open(QIODevice::ReadOnly));
  EXPECT_FALSE(db.SkriptAusfuehren(QString::fromUtf8(schema.readAll())));
  EXPECT_FALSE(db.Ausfuehren(
      "UPDATE Absender SET Name = ?, IBAN = ?, BIC = ?, \"GläubigerID\" = ?, ReferenzNr = ?, Bemerkung = ? "
      "WHERE AbsenderNr = 1",
      {QStringLiteral("Tamo Handel GmbH & Co. KG"), QStringLiteral("DE89370400440532013000"),
       QStringLiteral("COBADEFFXXX"), QStringLiteral("DE98ZZZ09999999999"), QStringLiteral("R100"),
       QStringLiteral("Filiale")}));
  EXPECT_FALSE(db.Ausfuehren("INSERT INTO Absender (AbsenderNr, Name) VALUES (2, 'Zweiter')"));
}

qint64 LaufTestDatenbank::Anlegen(Datenbank& db, const Auftrag& a) {
  int64_t gesamt = a.gesamtCent;
  for (int64_t c : a.zeilenCent) gesamt += c;
  EXPECT_FALSE(db.Ausfuehren(
      "INSERT INTO Zahlungen (AbsenderNr, Art, Name, IBAN, BIC, MandatSequenz, MandatReferenz, MandatDatum, "
      "\"Fällig\", Verwendungszweck1, \"Textschlüssel\", EinzelReferenz, Erledigt, Fehler, ZahlungGesamt, "
      "ErledigtDatum, Buchungsdatum, BuchImport) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {a.absenderNr, a.art, a.name, a.iban, a.bic, a.mandatSequenz ? QVariant(*a.mandatSequenz) : QVariant(),
       a.mandatReferenz, a.mandatDatum ? QVariant(*a.mandatDatum) : QVariant(),
       a.faellig ? QVariant(*a.faellig) : QVariant(), a.verwendungszweck1, a.textschluessel, a.einzelReferenz,
       a.erledigt ? 1 : 0, a.fehler ? 1 : 0, QVariant::fromValue(Waehrung::AusCent(gesamt)),
       a.erledigtDatum ? QVariant(*a.erledigtDatum) : QVariant(), a.buchungsdatum ? QVariant(*a.buchungsdatum) : QVariant(),
       a.buchImport ? 1 : 0}));
  const qint64 nr = db.LetzteEinfuegeNr();
  int zeile = 0;
  for (int64_t c : a.zeilenCent)
    EXPECT_FALSE(db.Ausfuehren(
        "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPBetrag, ZahlungsBetrag) "
        "VALUES (?, ?, ?, ?, ?)",
        {nr, ++zeile, QStringLiteral("Zeile %1 von %2").arg(zeile).arg(nr), QVariant::fromValue(Waehrung::AusCent(c)),
         QVariant::fromValue(Waehrung::AusCent(c))}));
  return nr;
}

SepaLaufAnfrage LaufAnfrage(SepaArt art, const QList<qint64>& nummern, const QDateTime& zeitpunkt, const QString& ziel,
                            bool aufteilen) {
  SepaLaufAnfrage l;
  l.AbsenderNr = 1;
  l.ZahlungNummern = nummern;
  l.Optionen.Art = art;
  l.Optionen.AufteilenNachMandatArt = aufteilen;
  l.Optionen.Erstellungsdatum = zeitpunkt.date();
  l.Optionen.Zeitpunkt = zeitpunkt;
  l.Referenz = QStringLiteral("R100");
  l.Zielordner = ziel;
  return l;
}

QVariant LaufTestDatenbank::Wert(const SqlText& sql, const QVariantList& parameter) {
  DbFehler f;
  const std::optional<QVariant> w = m_db->Wert(sql, parameter, f);
  EXPECT_FALSE(f) << f.Beschreibung.toStdString();
  return w.value_or(QVariant());
}
