#include "ImportTestumgebung.h"

#include <gtest/gtest.h>

#include "common/Datenbankstart.h"
#include "common/Programmzustand.h"
#include "common/TestDatenbank.h"
#include "common/Uhr.h"
#include "platform/settings/Registrierung.h"

ImportTestumgebung::ImportTestumgebung(const Geschwisterdatenbank& geschwister) {
  m_vorherReg = Registrierung::Instanz().Datei();
  Registrierung::Instanz().DateiSetzen(m_ordner.Datei(QStringLiteral("einstellungen.ini")));
  Zustand().Zuruecksetzen();
  Uhr::Festhalten(QDateTime(Heute(), QTime(9, 0)));
  m_geschwisterdatei = m_ordner.Datei(geschwister.Format() == Geschwisterdatenbank::Programm::Buchhaltung
                                          ? QStringLiteral("Livra.db")
                                          : QStringLiteral("Ordel.db"));
  const DbFehler f = geschwister.Schreiben(m_geschwisterdatei);
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  {
    auto db = SchemaDatenbank(m_ordner.Pfad());
    EXPECT_TRUE(db);
    if (db) {
      EXPECT_TRUE(db->Ausfuehren("UPDATE Absender SET AdressenFormat = ?, AdressenVerbindung = ? WHERE AbsenderNr = 1",
                                 {int(geschwister.Format()), m_geschwisterdatei})
                      .Ok());
      EXPECT_TRUE(db->Ausfuehren("INSERT INTO Absender (AbsenderNr, Name) VALUES (2, 'Zweiter Absender')").Ok());
    }
  }
  Zustand().DatenVerzeichnisSetzen(m_ordner.Pfad());
  Zustand().AktuelleAbsenderNrSetzen(1);
  const StartErgebnis e = DatenbankOeffnen();
  EXPECT_TRUE(e.Ok()) << e.meldung.toStdString();
  EXPECT_TRUE(e.hinweis.isEmpty()) << e.hinweis.toStdString();
  EXPECT_TRUE(Zustand().AdressQuelle().OPVerknuepft);
}

ImportTestumgebung::~ImportTestumgebung() {
  Zustand().Zuruecksetzen();
  Uhr::Setzen({});
  Registrierung::Instanz().DateiSetzen(m_vorherReg);
}

Datenbank& ImportTestumgebung::Db() { return *Zustand().Datenbank(); }

const AdressQuellenInfo& ImportTestumgebung::Quelle() const { return Zustand().AdressQuelle(); }

QStringList ImportTestumgebung::Zeilen(const SqlText& sql, const QVariantList& parameter) {
  QStringList zeilen;
  const DbFehler f = Db().Abfragen(sql, parameter, [&](const Zeile& z) {
    QStringList werte;
    for (int i = 0; i < z.Anzahl(); ++i) werte << (z.Wert(i).isNull() ? QStringLiteral("-") : z.Wert(i).toString());
    zeilen << werte.join(QLatin1Char('|'));
    return true;
  });
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString() << " / " << sql.Text().toStdString();
  return zeilen;
}

QVariant ImportTestumgebung::Wert(const SqlText& sql, const QVariantList& parameter) {
  DbFehler f;
  const auto w = Db().Wert(sql, parameter, f);
  EXPECT_TRUE(f.Ok()) << f.Beschreibung.toStdString();
  return w.value_or(QVariant());
}

qint64 ImportTestumgebung::ZahlungMitPosten(int absenderNr, const QString& konto, const QString& vorgangsNr,
                                            const std::optional<QDate>& erledigt, const QString& mandatReferenz,
                                            int sequenz) {
  EXPECT_TRUE(Db().Ausfuehren("INSERT INTO Zahlungen (AbsenderNr, Art, Name, OPKontoNr, Erledigt, ErledigtDatum, "
                              "MandatReferenz, MandatSequenz) VALUES (?, 'L', 'Alt', ?, ?, ?, ?, ?)",
                              {absenderNr, konto, erledigt.has_value(), erledigt ? QVariant(*erledigt) : QVariant(),
                               mandatReferenz.isEmpty() ? QVariant() : QVariant(mandatReferenz),
                               sequenz ? QVariant(sequenz) : QVariant()})
                  .Ok());
  const qint64 nr = Db().LetzteEinfuegeNr();
  EXPECT_TRUE(Db().Ausfuehren("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr) "
                              "VALUES (?, 1, 'Alt', ?)",
                              {nr, vorgangsNr})
                  .Ok());
  return nr;
}

ImportLaufOptionen ImportTestumgebung::Optionen(bool lieferanten) const {
  ImportLaufOptionen o;
  o.quelle = Quelle();
  o.absenderNr = 1;
  o.lieferanten = lieferanten;
  o.formularZahlart = lieferanten ? Zahlart::Ueberweisung : Zahlart::BasisLastschrift;
  o.vorlage = ZeilenvorlagenVorgabe();
  return o;
}

std::vector<ImportVorgang> ImportTestumgebung::Vorgaenge(const ImportAuswahl& auswahl) {
  ImportSelektionsErgebnis e = ImportSelektion::Selektieren(Db(), Quelle(), auswahl);
  EXPECT_TRUE(e.fehler.Ok()) << e.fehler.Beschreibung.toStdString() << " / " << e.abfrage.toStdString();
  if (!e.daten) return {};
  return ImportVorgaengeLesen(*e.daten);
}

bool SkriptFrager::DubletteUebernehmen(const QString& text) {
  dublettenFragen << text;
  if (dublettenAntworten.empty()) {
    ADD_FAILURE() << "unerwartete Dublettenfrage: " << text.toStdString();
    return false;
  }
  const bool antwort = dublettenAntworten.front();
  dublettenAntworten.pop_front();
  return antwort;
}

QString SkriptFrager::PflichtfeldAbfragen(const QString& aufforderung) {
  aufforderungen << aufforderung;
  if (eingaben.empty()) {
    ADD_FAILURE() << "unerwartete Eingabe: " << aufforderung.toStdString();
    return {};
  }
  const QString antwort = eingaben.front();
  eingaben.pop_front();
  return antwort;
}
