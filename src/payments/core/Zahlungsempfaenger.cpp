#include "payments/core/Zahlungsempfaenger.h"

#include "common/Textfunktionen.h"
#include "payments/core/Zahlungswerte.h"
#include "platform/db/SqlText.h"

namespace {

bool Leer(const QVariant& v) { return IstNull(v) || v.toString().trimmed().isEmpty(); }

std::optional<QString> AlsText(const QVariant& v) {
  if (Leer(v)) return std::nullopt;
  return v.toString();
}

bool IstZiffernfolge(const QString& s) {
  if (s.isEmpty()) return false;
  for (QChar c : s)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  return true;
}

}  // namespace

int FuehrendeZahl(const QString& text) {
  int i = 0;
  while (i < text.size() && text.at(i).isSpace()) ++i;
  qint64 n = 0;
  bool ziffer = false;
  for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9') && n < 100000000; ++i) {
    n = n * 10 + (text.at(i).unicode() - '0');
    ziffer = true;
  }
  return ziffer ? static_cast<int>(n) : 0;
}

QString AdressSequenzText(int zahlungsCode) {
  // After a first collection the address goes on with follow-up collections.
  int code = zahlungsCode;
  if (code == 2) code = 3;
  if (code == 12) code = 13;
  return MandatSequenzText(code).value_or(*MandatSequenzText(0));
}

QString SequenzAufloesung::Meldungstext() const {
  if (fehler.Ok()) return {};
  return QStringLiteral("Fehler bei der Datenermittlung!\r\r") + fehler.Meldungstext();
}

SequenzAufloesung MandatSequenzAufloesen(const QString& sequenzText, Zahlart zahlart, const QString& opKontoNr,
                                         const QString& mandatReferenz, const SequenzVorhanden& vorhanden) {
  SequenzAufloesung a;
  const int v = FuehrendeZahl(sequenzText);
  const bool basis = zahlart == Zahlart::BasisLastschrift;
  const bool firmen = zahlart == Zahlart::FirmenLastschrift;
  if (basis && v >= 1 && v <= 4) {
    a.index = v - 1;
  } else if (firmen && v >= 11 && v <= 14) {
    a.index = v - 11;
  } else if ((basis && v == 5) || (firmen && v == 15)) {
    if (!vorhanden) {
      a.fehler = DbFehler{DbFehlerNr::NichtAktualisierbar, QStringLiteral("Keine Abfrage der Mandat-Sequenz möglich.")};
      return a;
    }
    DbFehler f;
    const bool erstEinzugVorhanden = vorhanden(opKontoNr, mandatReferenz, v, f);
    if (f) {
      a.fehler = f;  // never taken for "no earlier collection"
      return a;
    }
    a.index = erstEinzugVorhanden ? 2 : 1;
  }
  return a;
}

Empfaengeruebernahme UebernahmeAusSuchliste(const QVariantList& werte, Zahlart zahlart) {
  Empfaengeruebernahme u;
  u.opKontoNrLeeren = true;
  u.fehlendeLeeren = true;
  auto wert = [&](int i) { return i < werte.size() ? werte.at(i) : QVariant(); };
  const bool lastschrift = zahlart != Zahlart::Ueberweisung;
  u.name = AlsText(wert(1));
  u.bank = AlsText(wert(2));
  u.bic = AlsText(wert(3));
  u.iban = AlsText(wert(4));
  if (lastschrift) {
    u.mandatReferenz = AlsText(wert(5));
    if (!Leer(wert(6))) u.mandatDatum = DatumAusWert(wert(6));
    u.sequenzText = AlsText(wert(7));
  }
  u.opKontoNr = AlsText(wert(8));
  return u;
}

Empfaengeruebernahme UebernahmeAusAdresse(const QVariantMap& datensatz, const QStringList& transportfelder,
                                          const QString& adressNrFeld, Zahlart zahlart) {
  Empfaengeruebernahme u;
  auto definiert = [&](int k) { return k < transportfelder.size() && !transportfelder.at(k).trimmed().isEmpty(); };
  auto feld = [&](int k) -> QVariant {
    if (!definiert(k)) return {};
    const QString name = transportfelder.at(k).trimmed();
    for (auto it = datensatz.cbegin(); it != datensatz.cend(); ++it)
      if (it.key().compare(name, Qt::CaseInsensitive) == 0) return it.value();
    return {};
  };
  // What the source holds for this payee, empty included; nothing where it has no such field.
  auto text = [&](int k) -> std::optional<QString> {
    if (!definiert(k)) return std::nullopt;
    return AlsText(feld(k)).value_or(QString());
  };
  const bool lastschrift = zahlart != Zahlart::Ueberweisung;
  u.bank = text(2);
  u.bic = text(3);
  u.iban = text(4);
  if (lastschrift) {
    u.mandatReferenz = text(5);
    if (!Leer(feld(6))) u.mandatDatum = DatumAusWert(feld(6));
    else u.mandatDatumLeeren = definiert(6);
    u.sequenzText = AlsText(feld(7));
  }
  if (!adressNrFeld.isEmpty()) {
    for (auto it = datensatz.cbegin(); it != datensatz.cend(); ++it)
      if (it.key().compare(adressNrFeld, Qt::CaseInsensitive) == 0) u.opKontoNr = AlsText(it.value());
  }
  return u;
}

DbFehler NeueAdressNr(Datenbank& db, const QString& tabelle, const QString& adressNrFeld, QString& nummer) {
  nummer.clear();
  const SqlText sql = SqlText("SELECT ") + SqlText::Bezeichner(adressNrFeld) + SqlText(" FROM ") +
                      SqlText::Bezeichner(tabelle);
  qint64 groesste = 0;
  DbFehler f = db.Abfragen(sql, {}, [&](const Zeile& z) {
    const QString s = z.Wert(0).toString().trimmed();
    if (IstZiffernfolge(s) && s.size() <= 15) groesste = qMax(groesste, s.toLongLong());
    return true;
  });
  if (f) return f;
  QString kandidat = QStringLiteral("%1").arg(groesste + 1, 5, 10, QLatin1Char('0'));
  const SqlText pruefen = SqlText("SELECT 1 FROM ") + SqlText::Bezeichner(tabelle) + SqlText(" WHERE ") +
                          SqlText::Bezeichner(adressNrFeld) + SqlText(" = ? LIMIT 1");
  for (int versuch = 0; versuch <= 10000; ++versuch) {
    const auto vorhanden = db.Wert(pruefen, {QVariant(kandidat)}, f);
    if (f) return f;
    if (!vorhanden) break;
    kandidat = NummerErhoehen(QVariant(kandidat), true).toString();
  }
  nummer = kandidat;
  return {};
}

DbFehler BankAutomatischSpeichern(Datenbank& db, const QString& bic, const QString& bank, bool* angelegt) {
  if (angelegt) *angelegt = false;
  const QString b = bic.trimmed().toUpper();
  if (b.isEmpty()) return {};
  DbFehler f;
  const auto vorhanden = db.Wert("SELECT 1 FROM Bankverbindung WHERE BIC = ? LIMIT 1", {QVariant(b)}, f);
  if (f || vorhanden) return f;
  f = db.Ausfuehren("INSERT INTO Bankverbindung (BIC, Bank) VALUES (?, ?)", {QVariant(b), QVariant(bank.trimmed())});
  if (!f && angelegt) *angelegt = true;
  return f;
}

DbFehler AdresseAutomatischAnlegen(Datenbank& db, qint64 zahlungNr, const QString& tabelle, const QString& adressNrFeld,
                                   const QStringList& transportfelder, QString& nummer) {
  nummer.clear();
  QVariantMap zahlung;
  DbFehler f = db.Abfragen("SELECT * FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(zahlungNr)}, [&](const Zeile& z) {
    if (auto def = db.Tabelle(QStringLiteral("Zahlungen")))
      for (const auto& feld : def->felder) zahlung.insert(feld.name.toLower(), z.Wert(feld.name));
    return false;
  });
  if (f) return f;
  if (zahlung.isEmpty())
    return DbFehler{DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Die Zahlung ist nicht vorhanden.")};

  QString neu;
  if ((f = NeueAdressNr(db, tabelle, adressNrFeld, neu))) return f;

  QList<SqlText> spalten{SqlText::Bezeichner(adressNrFeld)};
  QList<SqlText> platzhalter{SqlText("?")};
  QVariantList werte{QVariant(neu)};
  bool sequenzGesetzt = false;
  for (int k = 1; k < transportfelder.size() && k <= 7; ++k) {
    const QString name = transportfelder.at(k).trimmed();
    if (name.isEmpty() || name.compare(adressNrFeld, Qt::CaseInsensitive) == 0) continue;
    QVariant wert;
    if (name.compare(QLatin1String("MandatSequenz"), Qt::CaseInsensitive) == 0) {
      wert = AdressSequenzText(zahlung.value(QStringLiteral("mandatsequenz")).toInt());
      sequenzGesetzt = true;
    } else if (zahlung.contains(name.toLower())) {
      wert = zahlung.value(name.toLower());
    } else {
      continue;  // the payment has no field of that name
    }
    spalten << SqlText::Bezeichner(name);
    platzhalter << SqlText("?");
    werte << wert;
  }
  if (!sequenzGesetzt) {
    spalten << SqlText("MandatSequenz");
    platzhalter << SqlText("?");
    werte << QVariant(AdressSequenzText(zahlung.value(QStringLiteral("mandatsequenz")).toInt()));
  }
  f = db.Ausfuehren(SqlText("INSERT INTO ") + SqlText::Bezeichner(tabelle) + SqlText(" (") +
                        SqlText::Verbinden(spalten, ", ") + SqlText(") VALUES (") +
                        SqlText::Verbinden(platzhalter, ", ") + SqlText(")"),
                    werte);
  if (!f) nummer = neu;
  return f;
}

QStringList TransportfelderZerlegen(const QString& liste) {
  QStringList teile;
  TextZerlegen(liste, QStringLiteral(";"), teile);
  QStringList felder;
  for (int i = 0; i <= 7; ++i) felder << (i >= 1 && i < teile.size() ? teile.at(i) : QString());
  return felder;
}

QStringList AdressSpalten(const QStringList& transportfelder, const QString& adressNrFeld) {
  QStringList spalten;
  auto aufnehmen = [&](const QString& f) {
    if (f.trimmed().isEmpty()) return;
    for (const QString& s : spalten)
      if (s.compare(f.trimmed(), Qt::CaseInsensitive) == 0) return;
    spalten << f.trimmed();
  };
  for (int k = 1; k < transportfelder.size(); ++k) aufnehmen(transportfelder.at(k));
  aufnehmen(adressNrFeld);
  return spalten;
}
