#include "sepafiles/core/SepaSelektion.h"

#include <sqlite3.h>

#include <QHash>
#include <QRegularExpression>

#include "common/Auftragspruefung.h"
#include "common/Datenhilfen.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Anweisung.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/Zahlungssumme.h"

namespace {

const QString DatumsfunktionName = QStringLiteral("SepaVerwendungDatum");

// A two-digit year means 20yy.
std::optional<QDate> DatumAusTeilen(int tag, int monat, int jahr) {
  if (jahr < 100) jahr += 2000;
  const QDate datum(jahr, monat, tag);
  if (!datum.isValid()) return std::nullopt;
  return datum;
}

std::optional<QDate> DatumMitMuster(const QString& text, const QRegularExpression& muster) {
  const QRegularExpressionMatch treffer = muster.match(text);
  if (!treffer.hasMatch()) return std::nullopt;
  return DatumAusTeilen(treffer.captured(1).toInt(), treffer.captured(2).toInt(), treffer.captured(3).toInt());
}

void DatumsfunktionAufruf(sqlite3_context* kontext, int anzahl, sqlite3_value** werte) {
  if (anzahl != 1 || sqlite3_value_type(werte[0]) != SQLITE_TEXT) {
    sqlite3_result_null(kontext);
    return;
  }
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(werte[0]));
  const std::optional<QDate> datum =
      SepaSelektion::VerwendungszweckDatum(QString::fromUtf8(text, sqlite3_value_bytes(werte[0])));
  if (!datum) {
    sqlite3_result_null(kontext);
    return;
  }
  const QByteArray iso = datum->toString(Qt::ISODate).toUtf8();
  sqlite3_result_text(kontext, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
}

// Null amounts count as 0.
Waehrung WaehrungOderNull(const QVariant& wert) { return WaehrungAusWert(wert).value_or(Waehrung()); }

// What pass 1 read of an order's stored values.
struct Gelesen {
  QString name;
  QString verwendungszweck1;
  bool textNull;   // Name or Verwendungszweck1 is Null: written as text
  bool fehler;
};

// What the first pass stores back for one order.
struct Rueckschrieb {
  qint64 zahlungNr;
  QString name;
  QString verwendungszweck1;
  bool fehler;
};

DbFehler RueckschriebSpeichern(Datenbank& db, const QList<Rueckschrieb>& liste, QString& anweisungText) {
  if (liste.isEmpty()) return {};
  static const char* const sql = "UPDATE Zahlungen SET Name = ?, Verwendungszweck1 = ?, Fehler = ? WHERE ZahlungNr = ?";
  anweisungText = QString::fromUtf8(sql);
  Transaktion transaktion(db);
  if (transaktion.Fehler()) return transaktion.Fehler();
  Anweisung anweisung;
  if (DbFehler f = anweisung.Vorbereiten(db, anweisungText)) return f;
  for (const Rueckschrieb& r : liste) {
    if (DbFehler f = anweisung.Binden({r.name, r.verwendungszweck1, r.fehler ? 1 : 0, r.zahlungNr})) return f;
    DbFehler f;
    anweisung.Schritt(f);
    if (f) return f;
    anweisung.Zuruecksetzen();
  }
  return transaktion.Commit();
}

}  // namespace

std::optional<QDate> SepaSelektion::VerwendungszweckDatum(const QString& verwendungszweck1) {
  static const QRegularExpression lang(QStringLiteral("(\\d{2})\\.(\\d{2})\\.(\\d{4})$"));
  static const QRegularExpression kurz(QStringLiteral("(\\d{2})\\.(\\d{2})\\.(\\d{2})$"));
  QString text = verwendungszweck1;
  while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
  if (const auto datum = DatumMitMuster(text.right(10), lang)) return datum;
  return DatumMitMuster(text.right(8), kurz);
}

DbFehler SepaSelektion::DatumsfunktionRegistrieren(Datenbank& db) {
  if (!db.Handle()) return {SQLITE_MISUSE, QStringLiteral("Keine Datenbank geöffnet")};
  const QByteArray name = DatumsfunktionName.toUtf8();
  const int rc = sqlite3_create_function_v2(db.Handle(), name.constData(), 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                            nullptr, &DatumsfunktionAufruf, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return SqliteFehler(db.Handle(), rc);
  return {};
}

Bedingung SepaSelektion::Auswahlbedingung(const SepaAuswahlAnfrage& anfrage, bool nurFehlerfreie) {
  QList<Bedingung> teile;
  teile << Bedingung(SqlText("Zahlungen.AbsenderNr = ?"), {anfrage.AbsenderNr});
  switch (anfrage.Art) {
    case SepaArt::Ueberweisung:
      teile << Bedingung(SqlText("Zahlungen.Art = ?"), {QStringLiteral("G")});
      break;
    case SepaArt::BasisLastschrift:
      teile << Bedingung(SqlText("Zahlungen.Art = ? AND Zahlungen.MandatSequenz BETWEEN 1 AND 4"), {QStringLiteral("L")});
      break;
    case SepaArt::FirmenLastschrift:
      teile << Bedingung(SqlText("Zahlungen.Art = ? AND Zahlungen.MandatSequenz BETWEEN 11 AND 14"), {QStringLiteral("L")});
      break;
  }
  teile << Bedingung(SqlText("Zahlungen.Erledigt = 0"));
  // date() also copes with a stored time of day.
  if (anfrage.FaelligBis)
    teile << Bedingung(SqlText("date(Zahlungen.\"Fällig\") <= ?"), {anfrage.FaelligBis->toString(Qt::ISODate)});
  if (nurFehlerfreie) teile << Bedingung(SqlText("Zahlungen.Fehler = 0"));
  // An order whose text ends in no date is not selected while the limit is set.
  if (anfrage.VerwendungszweckDatumBis)
    teile << Bedingung(SqlText("SepaVerwendungDatum(Zahlungen.Verwendungszweck1) <= ?"),
                       {anfrage.VerwendungszweckDatumBis->toString(Qt::ISODate)});
  return Bedingung::AlleUnd(teile);
}

Abfrage SepaSelektion::GitterAbfrage(const SepaAuswahl& auswahl) {
  Abfrage abfrage;
  abfrage.spalten = SqlText(
      "Zahlungen.ZahlungNr, Zahlungen.Name, Zahlungen.Bank, Zahlungen.BIC, Zahlungen.IBAN, Zahlungen.OPKontoNr, "
      "Zahlungen.\"Textschlüssel\", Zahlungen.ZahlungGesamt, Zahlungen.AbsenderNr, Zahlungen.Erledigt, "
      "Zahlungen.BuchImport, Zahlungen.Art, Zahlungen.ErledigtDatum, Zahlungen.\"Fällig\", Zahlungen.\"Währung\", "
      "Zahlungen.Fehler, Zahlungen.Verwendungszweck1, Verwendungszweck.ZahlungNr, Verwendungszweck.OPVorgangNr, "
      "Verwendungszweck.Vorgangsdatum, Verwendungszweck.OPBetrag, Verwendungszweck.SkontoBetrag, "
      "Verwendungszweck.Verwendungszweck, Verwendungszweck.ZahlungsBetrag, Verwendungszweck.LfdNr, "
      "Verwendungszweck.OPVorgangsArt, Verwendungszweck.ZeilenNr");
  abfrage.quelle =
      SqlText("Zahlungen LEFT JOIN Verwendungszweck ON Zahlungen.ZahlungNr = Verwendungszweck.ZahlungNr");
  abfrage.bedingung = auswahl.Auswahlbedingung;
  abfrage.sortierung = SqlText("Zahlungen.Art, Zahlungen.MandatSequenz, Zahlungen.ZahlungNr, Verwendungszweck.LfdNr");
  abfrage.haupttabelle = QStringLiteral("Zahlungen");
  return abfrage;
}

QString SepaSelektion::Fehlerwarnung(int anzahl) {
  return QStringLiteral("Achtung! Die Prüfung hat ") + QString::number(anzahl) +
         QStringLiteral(" fehlerhafte Zahlung(en) ermittelt.\r"
                        "\r"
                        "Die fehlerhaften Zahlungen werden ausgeblendet und bei einer SEPA-\r"
                        "Erstellung automatisch weggelassen.\r"
                        "\r"
                        "Die Liste der weggelassenen Zahlungen nennt die Gründe; korrigieren "
                        "Sie die Zahlungen unter 'Zahlungen erfassen'. Die Liste öffnet auch "
                        "der Knopf 'Fehlerliste...'.\r"
                        "\r"
                        "Möchten Sie die Liste jetzt sehen?");
}

QString SepaSelektion::Datenermittlungsfehler(const DbFehler& fehler, const QString& abfrage) {
  return DatenermittlungsFehlertext(fehler, abfrage);
}

SepaAuswahl SepaSelektion::ZahlungenSelektieren(Datenbank& db, const SepaAuswahlAnfrage& anfrage) {
  SepaAuswahl auswahl;
  const QDate heute = anfrage.Heute.isValid() ? anfrage.Heute : Uhr::Heute();
  auto scheitern = [&](const DbFehler& f, const QString& sql) {
    auswahl.Fehler = f;
    auswahl.Meldung = Datenermittlungsfehler(f, sql);
    auswahl.ZahlungNummern.clear();
    auswahl.Summe = Waehrung();
    auswahl.Statustext.clear();
    return auswahl;
  };

  if (DbFehler f = DatumsfunktionRegistrieren(db)) return scheitern(f, QString());

  // Pass 1: every selected order with its lines, checked as the run it would make.
  const Bedingung erste = Auswahlbedingung(anfrage, false);
  auswahl.Auswahlbedingung = erste;
  const SqlText pruefSql = SqlText("SELECT ") + AuftragsSpalten() + SqlText(", Zahlungen.Fehler FROM Zahlungen") +
                           erste.AlsWhere() +
                           SqlText(" ORDER BY Zahlungen.Art, Zahlungen.MandatSequenz, Zahlungen.ZahlungNr");
  QList<Zahlungsauftrag> lauf;
  QList<Gelesen> gelesen;   // what is stored, to write back only what changes
  QHash<qint64, qsizetype> stelle;
  DbFehler f = db.Abfragen(pruefSql, erste.parameter, [&](const Zeile& z) {
    Zahlungsauftrag a = AuftragLesen(z);
    const bool textNull = IstNull(z.Wert(::AuftragLesen::NameSpalte)) ||
                          IstNull(z.Wert(::AuftragLesen::Verwendungszweck1Spalte));
    gelesen << Gelesen{a.Name, a.Verwendungszweck1, textNull, z.Wert(AuftragsSpaltenZahl).toLongLong() != 0};
    stelle.insert(a.ZahlungNr, lauf.size());
    lauf << std::move(a);
    return true;
  });
  if (f) return scheitern(f, pruefSql.Text());
  // The lines' amounts in one pass, not sorted with the orders: the rules judge whether an order has
  // lines and what they add up to, not their texts (Verwendungszweck1 is the first line's).
  const SqlText zeilenSql =
      SqlText("SELECT Verwendungszweck.ZahlungNr, Verwendungszweck.ZahlungsBetrag FROM Zahlungen INNER JOIN "
              "Verwendungszweck ON Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr") +
      erste.AlsWhere();
  f = db.Abfragen(zeilenSql, erste.parameter, [&](const Zeile& z) {
    const auto it = stelle.constFind(z.Wert(0).toLongLong());
    if (it != stelle.constEnd()) lauf[*it].Zeilen << Auftragszeile{QString(), WaehrungOderNull(z.Wert(1))};
    return true;
  });
  if (f) return scheitern(f, zeilenSql.Text());

  for (Zahlungsauftrag& a : lauf) Auftragspruefung::TexteBereinigen(a);
  const QList<QList<Befund>> befunde = Auftragspruefung::LaufPruefen(lauf, heute);

  QList<Rueckschrieb> rueckschrieb;
  QList<qint64> fehlerfrei;
  for (qsizetype i = 0; i < lauf.size(); ++i) {
    const Zahlungsauftrag& a = lauf.at(i);
    const bool fehlerhaft = !befunde.at(i).isEmpty();
    ++auswahl.Geprueft;
    if (fehlerhaft) {
      ++auswahl.Fehlerhaft;
      auswahl.Befunde << SepaAuftragsbefund{a.ZahlungNr, a.Name, a.IBAN, a.Betrag, a.Faellig, befunde.at(i)};
    } else {
      fehlerfrei << a.ZahlungNr;
    }
    // Only rows whose stored values change are written; the result is the same as rewriting all.
    const Gelesen& g = gelesen.at(i);
    if (g.textNull || g.name != a.Name || g.verwendungszweck1 != a.Verwendungszweck1 || g.fehler != fehlerhaft)
      rueckschrieb << Rueckschrieb{a.ZahlungNr, a.Name, a.Verwendungszweck1, fehlerhaft};
  }

  QString anweisungText;
  if (DbFehler s = RueckschriebSpeichern(db, rueckschrieb, anweisungText)) {
    auswahl.Fehlerhaft = 0;
    auswahl.Befunde.clear();
    return scheitern(s, anweisungText);
  }

  // Pass 2: the faultless orders and their signed line total.
  const Bedingung zweite = Auswahlbedingung(anfrage, true);
  auswahl.Auswahlbedingung = zweite;
  auswahl.Summe = VorzeichenSumme(db, zweite, f);
  if (f) return scheitern(f, VorzeichenSummeSql(zweite).Text());
  auswahl.ZahlungNummern = fehlerfrei;

  if (fehlerfrei.isEmpty())
    auswahl.Statustext = QStringLiteral("Keine Zahlungen festgestellt");
  else
    auswahl.Statustext = (auswahl.Fehlerhaft < 1 ? QStringLiteral("Keine") : QString::number(auswahl.Fehlerhaft)) +
                         QStringLiteral(" fehlerhafte Zahlung(en) festgestellt");
  return auswahl;
}
