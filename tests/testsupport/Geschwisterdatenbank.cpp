#include "testsupport/Geschwisterdatenbank.h"

#include <QFile>

namespace {

QVariant Text(const QString& s) { return s.isNull() ? QVariant() : QVariant(s); }
QVariant Datum(const std::optional<QDate>& d) { return d && d->isValid() ? QVariant(*d) : QVariant(); }
QVariant Datum(const QDate& d) { return d.isValid() ? QVariant(d) : QVariant(); }
QVariant Zahl(const std::optional<double>& z) { return z ? QVariant(*z) : QVariant(); }

}  // namespace

Geschwisterdatenbank::Geschwisterdatenbank(Programm programm) : m_programm(programm) {}

Geschwisterdatenbank& Geschwisterdatenbank::MitLieferantenKundenNr(bool mit) {
  m_mitKundenNr = mit;
  return *this;
}

Geschwisterdatenbank& Geschwisterdatenbank::MitEindeutigemKonto(bool mit) {
  m_eindeutigesKonto = mit;
  return *this;
}

Geschwisterdatenbank& Geschwisterdatenbank::Adresse(const AdressDaten& adresse) {
  m_adressen.push_back(adresse);
  return *this;
}

Geschwisterdatenbank& Geschwisterdatenbank::Posten(const PostenDaten& posten) {
  m_posten.push_back(posten);
  return *this;
}

const char* Geschwisterdatenbank::AdressTabelle() const {
  return m_programm == Programm::Buchhaltung ? "Personenkonten" : "Kunden";
}

const char* Geschwisterdatenbank::OPTabelle() const {
  return m_programm == Programm::Buchhaltung ? "OPVorgang" : "Rechnungsbuch";
}

DbFehler Geschwisterdatenbank::Schreiben(const QString& datei) const {
  for (const QString& rest : {datei, datei + QStringLiteral("-wal"), datei + QStringLiteral("-shm")}) QFile::remove(rest);
  DbFehler f;
  std::unique_ptr<Datenbank> db = Datenbank::Oeffnen(datei, f, true);
  if (!db) return f;
  return TabellenAnlegen(*db, QString::fromUtf8(AdressTabelle()), QString::fromUtf8(OPTabelle()), true);
}

DbFehler Geschwisterdatenbank::OPVorgangAnlegen(Datenbank& db) const {
  return TabellenAnlegen(db, {}, QStringLiteral("temp.OPVorgang"), false);
}

DbFehler Geschwisterdatenbank::TabellenAnlegen(Datenbank& db, const QString& adressTabelle, const QString& opTabelle,
                                               bool mitAdressen) const {
  const bool buchhaltung = m_programm == Programm::Buchhaltung;
  Transaktion t(db);
  if (t.Fehler()) return t.Fehler();
  if (mitAdressen) {
    SqlText adressen = SqlText("CREATE TABLE ") + SqlText::Bezeichner(adressTabelle) +
                       (m_eindeutigesKonto ? SqlText(" (OPKontoNr TEXT(10) PRIMARY KEY, ") : SqlText(" (OPKontoNr TEXT(10), ")) +
                       SqlText("Suchname TEXT(30), Name TEXT(70), BankName TEXT(60), "
                               "BankBIC TEXT(11), BankIBAN TEXT(34), BankKontoNr TEXT(10), MandatReferenz TEXT(35), "
                               "MandatDatum DATE, MandatSequenz TEXT(50), SktoProzent1 DOUBLE, SktoProzent2 DOUBLE");
    adressen += m_mitKundenNr ? SqlText(", LieferantenKundenNr TEXT(20))") : SqlText(")");
    if (DbFehler f = db.Ausfuehren(adressen)) return f;
    const SqlText einfuegen =
        SqlText("INSERT INTO ") + SqlText::Bezeichner(adressTabelle) +
        SqlText(" (OPKontoNr, Suchname, Name, BankName, BankBIC, BankIBAN, BankKontoNr, MandatReferenz, MandatDatum, "
                "MandatSequenz, SktoProzent1, SktoProzent2") +
        (m_mitKundenNr ? SqlText(", LieferantenKundenNr) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                       : SqlText(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const AdressDaten& a : m_adressen) {
      QVariantList werte = {Text(a.konto),  Text(a.suchname),       Text(a.name),        Text(a.bank),
                            Text(a.bic),    Text(a.iban),           Text(a.kontoNr),     Text(a.mandatReferenz),
                            Datum(a.mandatDatum), Text(a.mandatSequenz), Zahl(a.skonto1), Zahl(a.skonto2)};
      if (m_mitKundenNr) werte << Text(a.kundenNr);
      if (DbFehler f = db.Ausfuehren(einfuegen, werte)) return f;
    }
  }
  const SqlText op = SqlText::Bezeichner(opTabelle);
  if (buchhaltung) {
    if (DbFehler f = db.Ausfuehren(SqlText("CREATE TABLE ") + op +
                                   SqlText(" (OPKontoNr TEXT(10), OPKontoart TEXT(1), Vorgangsart TEXT(1), "
                                           "VorgangsNr TEXT(20), Vorgangsdatum DATE, FaelligDatum DATE, Betrag CURRENCY, "
                                           "Rest CURRENCY, Buchungsliste TEXT(20))")))
      return f;
    const SqlText einfuegen = SqlText("INSERT INTO ") + op + SqlText(" VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const PostenDaten& p : m_posten) {
      if (DbFehler f = db.Ausfuehren(einfuegen, {Text(p.konto), QString(p.kontoart), QString(p.art), Text(p.nr),
                                                 Datum(p.vom), Datum(p.faellig), QVariant::fromValue(p.betrag),
                                                 QVariant::fromValue(p.rest), Text(p.buchungsliste)}))
        return f;
    }
  } else {
    if (DbFehler f = db.Ausfuehren(SqlText("CREATE TABLE ") + op +
                                   SqlText(" (KundenNr TEXT(10), IdentNr TEXT(20), Gutschrift BOOLEAN, Vorgangsdatum DATE, "
                                           "\"FälligDatum\" DATE, GesamtBrutto CURRENCY, Rest CURRENCY)")))
      return f;
    const SqlText einfuegen = SqlText("INSERT INTO ") + op + SqlText(" VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const PostenDaten& p : m_posten) {
      if (DbFehler f = db.Ausfuehren(einfuegen, {Text(p.konto), Text(p.nr), p.art == QLatin1Char('G'), Datum(p.vom),
                                                 Datum(p.faellig), QVariant::fromValue(p.betrag),
                                                 QVariant::fromValue(p.rest)}))
        return f;
    }
  }
  return t.Commit();
}
