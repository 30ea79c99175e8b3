#include "masterdata/core/Adressenpflege.h"

#include <QRegularExpression>

#include <algorithm>

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/MandatReferenz.h"
#include "zahlungsverkehr/MandatSequenz.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "iban/IbanHinweis.h"
#include "iban/IbanRegeln.h"
#include "platform/db/SqlText.h"

namespace {

const QString kSchluss = QStringLiteral("Bitte korrigieren/ergänzen Sie die Eingabe.");

Adressenpflege::Fehler Fehlermeldung(const QString& feld, const QString& text) {
  return {feld, text + QLatin1Char('\r') + kSchluss};
}

QVariant TextOderNull(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

// An empty BIC is allowed here: whether a payment needs one is the order's rule.
std::optional<Adressenpflege::Fehler> BicPruefen(const QString& text) {
  const Bic bic(text);
  if (bic.IstLeer()) return std::nullopt;
  if (const Bic::Fehler f = bic.Pruefen(); f != Bic::Fehler::Keiner)
    return Fehlermeldung(QStringLiteral("BIC"), Bic::Meldung(f));
  return std::nullopt;
}

QString OhneLeerzeichen(const QString& text) { return AllesErsetzen(text.trimmed(), QStringLiteral(" "), QString()); }

std::optional<Adressenpflege::Fehler> BlzPruefen(const QString& blz) {
  static const QRegularExpression achtZiffern(QStringLiteral("^\\d{8}$"));
  if (!blz.isEmpty() && !achtZiffern.match(blz).hasMatch())
    return Fehlermeldung(QStringLiteral("BLZ"), QStringLiteral("Die Bankleitzahl muss aus 8 Ziffern bestehen."));
  return std::nullopt;
}

// Blanks out; leading zeros beyond ten characters out as well (they do not change the account).
QString KontoNrNormalform(const QString& text) {
  QString konto = OhneLeerzeichen(text);
  qsizetype nullen = 0;
  while (konto.size() - nullen > 10 && konto.at(nullen) == QLatin1Char('0')) ++nullen;
  return konto.mid(nullen);
}

// The conversion's own rule for what can go into an IBAN; what it refuses gets its hint 9 there.
std::optional<Adressenpflege::Fehler> KontoNrPruefen(const QString& konto) {
  if (konto.isEmpty() || KontoNrFormGueltig(konto)) return std::nullopt;
  const bool nurZiffern =
      std::all_of(konto.cbegin(), konto.cend(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
  const QString grund = nurZiffern
                            ? QStringLiteral("Die Konto-Nr. %1 hat %2 Ziffern; eine Kontonummer hat höchstens zehn.")
                                  .arg(konto)
                                  .arg(konto.size())
                            : QStringLiteral("Die Konto-Nr. %1 darf nur Ziffern enthalten.").arg(konto);
  return Fehlermeldung(QStringLiteral("KontoNr"),
                       grund + QStringLiteral("\rDaraus kann keine IBAN gebildet werden (IBAN-Hinweis ") +
                           IbanHinweisText(IbanHinweis::KontoNrUngueltig, {}) + QStringLiteral(")."));
}

}  // namespace

const QStringList& Adressenpflege::MandatSequenzTexte() { return ::MandatSequenzTexte(); }

QString Adressenpflege::MandatSequenzListentext(const QString& gespeichert) {
  const QString text = gespeichert.trimmed();
  for (const QString& t : MandatSequenzTexte())
    if (QString::compare(t, text, Qt::CaseInsensitive) == 0) return t;
  bool zahl = false;
  const int code = text.toInt(&zahl);
  if (zahl) {
    if (const std::optional<QString> t = MandatSequenzText(code)) return *t;
  }
  return text;
}

Adressdaten Adressenpflege::Normalisieren(const Adressdaten& roh) {
  Adressdaten d = roh;
  d.opKontoNr = d.opKontoNr.trimmed();
  d.suchname = d.suchname.trimmed();
  d.name = d.name.trimmed();
  d.bank = d.bank.trimmed();
  d.bic = Bic(d.bic).Text();
  d.iban = Iban(d.iban).Text();
  d.blz = OhneLeerzeichen(d.blz);
  d.kontoNr = KontoNrNormalform(d.kontoNr);
  d.mandatReferenz = d.mandatReferenz.trimmed();
  d.mandatSequenz = d.mandatSequenz.trimmed();
  return d;
}

std::optional<Adressenpflege::Fehler> Adressenpflege::Pruefen(const Adressdaten& roh) {
  const Adressdaten d = Normalisieren(roh);
  if (d.opKontoNr.isEmpty()) return Fehlermeldung(QStringLiteral("OPKontoNr"), QStringLiteral("Die Adressnummer fehlt noch."));
  if (d.name.isEmpty()) return Fehlermeldung(QStringLiteral("Name"), QStringLiteral("Der Name fehlt noch."));
  if (auto f = BicPruefen(d.bic)) return f;
  if (!d.iban.isEmpty()) {
    if (const Iban::Fehler f = Iban(d.iban).Pruefen(); f != Iban::Fehler::Keiner)
      return Fehlermeldung(QStringLiteral("IBAN"), Iban::Meldung(f));
  }
  if (auto f = BlzPruefen(d.blz)) return f;
  if (auto f = KontoNrPruefen(d.kontoNr)) return f;
  // The reference the debits of this address will carry; empty while the address has no mandate.
  if (const MandatReferenz referenz(d.mandatReferenz); !referenz.IstLeer() && !referenz.Gueltig())
    return Fehlermeldung(QStringLiteral("MandatReferenz"), MandatReferenz::Meldung(referenz.Pruefen()));
  // The run refuses every debit of a mandate signed in the future; said here, where it can be corrected.
  if (d.mandatDatum && *d.mandatDatum > Uhr::Heute())
    return Fehlermeldung(QStringLiteral("MandatDatum"), QStringLiteral("Das Mandat-Datum darf nicht in der Zukunft liegen!"));
  if (!d.mandatSequenz.isEmpty() && !MandatSequenzTexte().contains(d.mandatSequenz))
    return Fehlermeldung(QStringLiteral("MandatSequenz"), QStringLiteral("Die Mandat-Sequenz ist unbekannt."));
  return std::nullopt;
}

Bankdaten Adressenpflege::Normalisieren(const Bankdaten& roh) {
  return {OhneLeerzeichen(roh.blz), Bic(roh.bic).Text(), roh.bank.trimmed()};
}

std::optional<Adressenpflege::Fehler> Adressenpflege::Pruefen(const Bankdaten& roh) {
  const Bankdaten d = Normalisieren(roh);
  if (d.blz.isEmpty() && d.bic.isEmpty())
    return Fehlermeldung(QStringLiteral("BLZ"), QStringLiteral("Bankleitzahl oder BIC fehlen noch."));
  if (auto f = BlzPruefen(d.blz)) return f;
  if (auto f = BicPruefen(d.bic)) return f;
  if (d.bank.isEmpty()) return Fehlermeldung(QStringLiteral("Bank"), QStringLiteral("Der Name der Bank fehlt noch."));
  return std::nullopt;
}

DbFehler Adressenpflege::Speichern(Datenbank& db, const Adressdaten& roh, const QString& alteNr, const QString& tabelle,
                                   const Adressdaten* geladen) {
  const Adressdaten d = Normalisieren(roh);
  const SqlText t = SqlText::Bezeichner(tabelle);
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  if (!alteNr.isEmpty() && geladen) {
    DbFehler f;
    const std::optional<Adressdaten> jetzt = Laden(db, alteNr, f, tabelle);
    if (f) return f;
    if (jetzt && *jetzt != *geladen)
      return {GeaendertNr, QStringLiteral("Die Adresse %1 wurde inzwischen an anderer Stelle geändert. Die gespeicherten "
                                          "Angaben werden neu angezeigt; bitte wiederholen Sie Ihre Änderung.")
                               .arg(alteNr)};
  }
  if (alteNr.isEmpty() || QString::compare(alteNr, d.opKontoNr, Qt::CaseInsensitive) != 0) {
    DbFehler f;
    const std::optional<QVariant> vorhanden =
        db.Wert(SqlText("SELECT COUNT(*) FROM ") + t + " WHERE OPKontoNr = ? COLLATE TAMO", {d.opKontoNr}, f);
    if (f) return f;
    if (vorhanden && vorhanden->toInt() > 0)
      return {DbFehlerNr::KeineTreffer,
              QStringLiteral("Die Adressnummer %1 ist bereits vergeben.").arg(d.opKontoNr)};
  }
  const QVariantList werte = {d.opKontoNr,           TextOderNull(d.suchname),       TextOderNull(d.name),
                              TextOderNull(d.bank),   TextOderNull(d.bic),            TextOderNull(d.iban),
                              TextOderNull(d.blz),    TextOderNull(d.kontoNr),        TextOderNull(d.mandatReferenz),
                              d.mandatDatum ? QVariant(*d.mandatDatum) : QVariant(), TextOderNull(d.mandatSequenz)};
  if (alteNr.isEmpty()) {
    if (const DbFehler f = db.Ausfuehren(
            SqlText("INSERT INTO ") + t +
                " (OPKontoNr, Suchname, Name, Bank, BIC, IBAN, BLZ, KontoNr, MandatReferenz, MandatDatum, "
                "MandatSequenz) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            werte))
      return f;
    return transaktion.Commit();
  }
  int geaendert = 0;
  DbFehler f = db.Ausfuehren(SqlText("UPDATE ") + t +
                                 " SET OPKontoNr = ?, Suchname = ?, Name = ?, Bank = ?, BIC = ?, IBAN = ?, BLZ = ?, "
                                 "KontoNr = ?, MandatReferenz = ?, MandatDatum = ?, MandatSequenz = ? WHERE OPKontoNr = ?",
                             QVariantList(werte) << alteNr, &geaendert);
  if (f) return f;
  if (geaendert != 1)
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Die Adresse %1 ist nicht mehr vorhanden.").arg(alteNr)};
  return transaktion.Commit();
}

DbFehler Adressenpflege::Loeschen(Datenbank& db, const QString& opKontoNr, const QString& tabelle) {
  int geloescht = 0;
  DbFehler f = db.Ausfuehren(SqlText("DELETE FROM ") + SqlText::Bezeichner(tabelle) + " WHERE OPKontoNr = ?",
                             {opKontoNr}, &geloescht);
  if (f) return f;
  if (geloescht != 1)
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Die Adresse %1 ist nicht mehr vorhanden.").arg(opKontoNr)};
  return {};
}

int Adressenpflege::OffeneZahlungen(Datenbank& db, const QString& opKontoNr, DbFehler& fehler) {
  const std::optional<QVariant> n =
      db.Wert(SqlText("SELECT COUNT(*) FROM Zahlungen WHERE Erledigt = 0 AND OPKontoNr = ? COLLATE TAMO"), {opKontoNr}, fehler);
  return fehler || !n ? 0 : n->toInt();
}

QString Adressenpflege::OffeneZahlungenHinweis(Datenbank& db, const Adressdaten& altRoh, const Adressdaten& neuRoh,
                                               DbFehler& fehler) {
  fehler = {};
  const Adressdaten alt = Normalisieren(altRoh);
  const Adressdaten neu = Normalisieren(neuRoh);
  const auto datum = [](const std::optional<QDate>& d) { return d ? d->toString(Qt::ISODate) : QString(); };
  QStringList was;
  QList<SqlText> teile;
  QVariantList parameter{alt.opKontoNr};
  if (TamoVergleichsform(alt.opKontoNr) != TamoVergleichsform(neu.opKontoNr)) {
    was << QStringLiteral("die bisherige Adressnummer %1").arg(alt.opKontoNr);
    teile << SqlText("1");
  }
  if (alt.iban != neu.iban) {
    was << (neu.iban.isEmpty() ? QStringLiteral("eine IBAN") : QStringLiteral("eine andere IBAN als %1").arg(neu.iban));
    teile << SqlText("REPLACE(UPPER(IFNULL(IBAN, '')), ' ', '') <> ?");
    parameter << neu.iban;
  }
  if (alt.mandatReferenz != neu.mandatReferenz || alt.mandatDatum != neu.mandatDatum) {
    was << QStringLiteral("ein anderes Mandat");
    teile << SqlText("(Art = 'L' AND (IFNULL(MandatReferenz, '') <> ? OR IFNULL(SUBSTR(MandatDatum, 1, 10), '') <> ?))");
    parameter << neu.mandatReferenz << datum(neu.mandatDatum);
  }
  if (teile.isEmpty()) return {};
  const std::optional<QVariant> n = db.Wert(
      SqlText("SELECT COUNT(*) FROM Zahlungen WHERE Erledigt = 0 AND OPKontoNr = ? COLLATE TAMO AND (") +
          SqlText::Verbinden(teile, SqlText(" OR ")) + SqlText(")"),
      parameter, fehler);
  const int anzahl = fehler || !n ? 0 : n->toInt();
  if (anzahl == 0) return {};
  const QString aufzaehlung = Aufzaehlung(was);
  return (anzahl == 1 ? QStringLiteral("1 offene Zahlung der Adresse trägt noch %1.").arg(aufzaehlung)
                      : QStringLiteral("%1 offene Zahlungen der Adresse tragen noch %2.").arg(anzahl).arg(aufzaehlung)) +
         QStringLiteral("\rDie Änderung der Adresse gilt nur für neue Zahlungen; die offenen gehen mit ihren bisherigen "
                        "Angaben an die Bank. Bitte ändern Sie sie in der Zahlungserfassung, bevor Sie die nächste "
                        "SEPA-Datei erstellen.");
}

std::optional<Adressdaten> Adressenpflege::Laden(Datenbank& db, const QString& opKontoNr, DbFehler& fehler,
                                                 const QString& tabelle) {
  std::optional<Adressdaten> d;
  fehler = db.Abfragen(SqlText("SELECT OPKontoNr, Suchname, Name, Bank, BIC, IBAN, BLZ, KontoNr, MandatReferenz, "
                               "MandatDatum, MandatSequenz FROM ") +
                           SqlText::Bezeichner(tabelle) + " WHERE OPKontoNr = ?",
                       {opKontoNr}, [&d](const Zeile& z) {
                         Adressdaten a;
                         a.opKontoNr = z.Wert(0).toString();
                         a.suchname = z.Wert(1).toString();
                         a.name = z.Wert(2).toString();
                         a.bank = z.Wert(3).toString();
                         a.bic = z.Wert(4).toString();
                         a.iban = z.Wert(5).toString();
                         a.blz = z.Wert(6).toString();
                         a.kontoNr = z.Wert(7).toString();
                         a.mandatReferenz = z.Wert(8).toString();
                         const QDate datum = QDate::fromString(z.Wert(9).toString().left(10), Qt::ISODate);
                         if (datum.isValid()) a.mandatDatum = datum;
                         a.mandatSequenz = z.Wert(10).toString();
                         d = a;
                         return false;
                       });
  return d;
}

namespace {

// The row's values compared as the list shows them (Null as empty text).
Bedingung BankUnveraendert(qint64 zeile, const Bankdaten* geladen) {
  Bedingung b("rowid = ?", {zeile});
  if (!geladen) return b;
  return b.Und(Bedingung("IFNULL(CAST(BLZ AS TEXT), '') = ? COLLATE BINARY AND IFNULL(CAST(BIC AS TEXT), '') = ? "
                         "COLLATE BINARY AND IFNULL(CAST(Bank AS TEXT), '') = ? COLLATE BINARY",
                         {geladen->blz, geladen->bic, geladen->bank}));
}

const QString kBankWeg = QStringLiteral(
    "Die Bankverbindung wurde inzwischen an anderer Stelle geändert oder gelöscht. Die Liste zeigt den gespeicherten "
    "Stand; bitte wiederholen Sie Ihre Änderung.");

}  // namespace

DbFehler Adressenpflege::Speichern(Datenbank& db, const Bankdaten& roh, std::optional<qint64> zeile,
                                   const Bankdaten* geladen) {
  const Bankdaten d = Normalisieren(roh);
  const QVariantList werte = {TextOderNull(d.blz), TextOderNull(d.bic), TextOderNull(d.bank)};
  if (!zeile) return db.Ausfuehren("INSERT INTO Bankverbindung (BLZ, BIC, Bank) VALUES (?, ?, ?)", werte);
  const Bedingung wo = BankUnveraendert(*zeile, geladen);
  int geaendert = 0;
  DbFehler f = db.Ausfuehren(SqlText("UPDATE Bankverbindung SET BLZ = ?, BIC = ?, Bank = ?") + wo.AlsWhere(),
                             QVariantList(werte) << wo.parameter, &geaendert);
  if (f) return f;
  if (geaendert != 1) return {DbFehlerNr::KeineTreffer, kBankWeg};
  return {};
}

DbFehler Adressenpflege::BankLoeschen(Datenbank& db, qint64 zeile, const Bankdaten* geladen) {
  const Bedingung wo = BankUnveraendert(zeile, geladen);
  int geloescht = 0;
  DbFehler f = db.Ausfuehren(SqlText("DELETE FROM Bankverbindung") + wo.AlsWhere(), wo.parameter, &geloescht);
  if (f) return f;
  if (geloescht != 1) return {DbFehlerNr::KeineTreffer, kBankWeg};
  return {};
}
