#include "import/core/ImportLauf.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>

#include <cmath>

#include "zahlungsverkehr/MandatSequenz.h"
#include "common/Datenbankstart.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "import/core/ImportPruefung.h"
#include "payments/core/OPUebernahme.h"
#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "payments/core/Zahlungswerte.h"
#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"

namespace {

constexpr int kMaximaleZeilen = 5;

// The payee's address as read once per account.
class Adresse {
 public:
  QVariant Wert(const QString& feld) const {
    for (int i = 0; i < m_namen.size(); ++i)
      if (m_namen.at(i).compare(feld, Qt::CaseInsensitive) == 0) return m_werte.at(i);
    return {};
  }
  void Setzen(const QString& feld, const QVariant& wert) {
    for (int i = 0; i < m_namen.size(); ++i)
      if (m_namen.at(i).compare(feld, Qt::CaseInsensitive) == 0) m_werte[i] = wert;
  }
  void Lesen(const Zeile& z) {
    m_namen = z.Namen();
    m_werte.clear();
    for (int i = 0; i < z.Anzahl(); ++i) m_werte << z.Wert(i);
  }

 private:
  QStringList m_namen;
  QVariantList m_werte;
};

// A discount rate as the address stores it (a number, or a text with a dot): 0 when there is none
// or it is not above 0; nullopt when it is no number or above 100 percent.
std::optional<Waehrung> Prozentsatz(const QVariant& wert) {
  if (IstNull(wert)) return Waehrung();
  std::optional<Waehrung> satz;
  if (wert.typeId() == QMetaType::QString) {
    const QString text = wert.toString().trimmed();
    if (text.isEmpty()) return Waehrung();
    satz = Waehrung::ParseInvariant(text);
  } else {
    bool zahl = false;
    const double d = wert.toDouble(&zahl);
    if (zahl && std::isfinite(d) && std::fabs(d) <= 1000) satz = Waehrung::AusRoh(std::llround(d * Waehrung::Skala));
  }
  if (!satz || *satz > Waehrung::AusEuro(100)) return std::nullopt;
  return *satz < Waehrung() ? Waehrung() : *satz;
}

QString Gefiltert(const QString& text, int kennzeichen, bool& geaendert) {
  bool gueltig = false;
  geaendert = false;
  return UngueltigeZeichenEntfernen(QVariant(text), kennzeichen, gueltig, geaendert).toString();
}

// The customer-number line in the first caption that leaves the number whole; where none does, the
// long one, which the length check refuses: a cut number names another customer.
QString KundenNrZeile(const QString& kundenNr, int breite, bool& geaendert) {
  QString lang;
  for (const QString& vorsatz : {QStringLiteral("Unsere KundenNr "), QStringLiteral("KundenNr "), QStringLiteral("KdNr ")}) {
    const QString zeile = Gefiltert(vorsatz + kundenNr, 0, geaendert);
    if (zeile.size() <= breite) return zeile;
    if (lang.isEmpty()) lang = zeile;
  }
  return lang;
}

QString Feldname(Auftragsfeld feld) {
  switch (feld) {
    case Auftragsfeld::Name: return QStringLiteral("Empfängerangabe");
    case Auftragsfeld::Iban: return QStringLiteral("IBAN (Internationale Konto-Nummer)");
    case Auftragsfeld::Bic: return QStringLiteral("BIC (Internationale Bankleitzahl)");
    default: return {};
  }
}

// A failure of the database (its description German at the source), under the program's "Nr: " / "Beschreibung: ".
QString Fehlertext(const DbFehler& f) { return f.Meldungstext(); }

// An item of a payment: the payments holding its number when the user was asked (with the duplicate
// check); any other found in the write's transaction came in between.
struct Posten {
  const ImportVorgang* vorgang = nullptr;
  QList<qint64> bekannt;
};

// The items of one payment: at most five of one account, their lines and total (nullopt when the sum
// leaves the int64).
struct Entwurf {
  std::vector<Posten> posten;
  std::vector<OPZeilenwerte> zeilen;
  std::optional<Waehrung> gesamt = Waehrung();

  void Dazu(Posten p, OPZeilenwerte z) {
    if (gesamt) gesamt = Waehrung::Addiert(*gesamt, OderNull(z.betraege.zahlungsBetrag));
    posten.push_back(std::move(p));
    zeilen.push_back(std::move(z));
  }
  // Why the payment cannot be stored for its amount; empty when it can (a negative total is the
  // caller's rule).
  QString Betragsgrund() const {
    if (!gesamt || !gesamt->ImBetragsrahmen())
      return QStringLiteral("Der Gesamtbetrag %1 liegt außerhalb von %2.")
          .arg(gesamt ? gesamt->FormatDeutsch() : QStringLiteral("(zu groß)"), Waehrung::BetragsrahmenText());
    return {};
  }
};

// "mit Absender 2 übernommen, der …" or "mit den Absendern 1 und 2 übernommen, die …": the senders whose
// payments hold an item, when one of them is not the active sender.
QString MitAbsendernUebernommen(QList<int> nummern, const QString& trenner) {
  std::sort(nummern.begin(), nummern.end());
  nummern.erase(std::unique(nummern.begin(), nummern.end()), nummern.end());
  if (nummern.size() == 1)
    return QStringLiteral("mit Absender %1 übernommen%2der mit derselben Datenbank verknüpft ist").arg(nummern.front()).arg(trenner);
  QStringList texte;
  for (int nr : nummern) texte << QString::number(nr);
  return QStringLiteral("mit den Absendern %1 übernommen%2die mit derselben Datenbank verknüpft sind")
      .arg(Aufzaehlung(texte), trenner);
}

QStringList Nummern(const std::vector<const ImportVorgang*>& vorgaenge) {
  QStringList n;
  for (const ImportVorgang* v : vorgaenge) n << KurzAnzeige(v->posten.vorgangsNr);
  return n;
}

class Lauf {
 public:
  Lauf(Datenbank& db, const ImportLaufOptionen& o, ImportFrager& frager)
      : m_db(db), m_o(o), m_frager(frager), m_heute(Uhr::Heute()), m_groessen(ImportFeldgroessen::Lesen(db)) {
    m_vorlagen = ZeilenvorlagenAusText(o.vorlage);
    TextZerlegen(o.quelle.Transportfelder, QStringLiteral(";"), m_transportFelder);
    while (m_transportFelder.size() < 8) m_transportFelder << QString();
    m_kontoFeld = o.quelle.OPKontoFeld.isEmpty() ? QStringLiteral("OPKontoNr") : o.quelle.OPKontoFeld;
  }

  ImportErgebnis Ausfuehren(const std::vector<ImportVorgang>& vorgaenge) {
    if (vorgaenge.empty()) return m_e;
    if (const QString schaden = GeschwisterPruefen(); !schaden.isEmpty()) {
      m_e.FehlerMelden(schaden);
      m_e.postenAbgelehnt += int(vorgaenge.size());
      return m_e;
    }
    if (DbFehler f = AdressSchluesselLesen()) {
      m_e.FehlerMelden(QStringLiteral("Fehler bei der Datenermittlung! Die Adressen konnten nicht gelesen werden; es "
                                      "wurde nichts übernommen.\r") +
                       Fehlertext(f));
      m_e.postenAbgelehnt += int(vorgaenge.size());
      return m_e;
    }
    if (DbFehler f = m_o.pruefung ? AbsenderLesen() : DbFehler()) {
      m_e.FehlerMelden(QStringLiteral("Fehler bei der Datenermittlung! Die Absender konnten nicht gelesen werden; es "
                                      "wurde nichts übernommen.\r") +
                       Fehlertext(f));
      m_e.postenAbgelehnt += int(vorgaenge.size());
      return m_e;
    }
    // The items of one account follow one another (the selection is ordered by account).
    for (size_t i = 0; i < vorgaenge.size();) {
      std::vector<const ImportVorgang*> konto;
      size_t j = i;
      for (; j < vorgaenge.size() && vorgaenge[j].posten.opKontoNr == vorgaenge[i].posten.opKontoNr; ++j)
        konto.push_back(&vorgaenge[j]);
      // Within one run an item becomes at most one line: one that became a line already is counted as
      // handed over more than once. A second copy within the account waits for the fate of the first and
      // goes its own way when that one was not taken (refused for the same reason, counted as such).
      while (!konto.empty()) {
        std::vector<const ImportVorgang*> erste, spaetere;
        QSet<QString> imKonto;
        for (const ImportVorgang* v : konto) {
          const QString kennung = Kennung(*v);
          if (m_uebernommen.contains(kennung))
            ++m_e.mehrfachAusgewaehlt;
          else if (imKonto.contains(kennung))
            spaetere.push_back(v);
          else {
            imKonto.insert(kennung);
            erste.push_back(v);
          }
        }
        if (!erste.empty()) KontoUebernehmen(erste);
        konto = std::move(spaetere);
      }
      i = j;
    }
    return m_e;
  }

 private:
  // An item as the program compares it (account, number and kind without regard to case).
  static QString Kennung(const ImportVorgang& v) {
    return TamoVergleichsform(v.posten.opKontoNr) + QChar(0x1f) + v.posten.vorgangsNr.toCaseFolded() + QChar(0x1f) +
           v.posten.art.toCaseFolded();
  }

  // A sibling file that fails SQLite's quick check is not read further: its rows may be anything.
  QString GeschwisterPruefen() {
    struct Datei {
      QString alias, pfad;
    };
    std::vector<Datei> dateien;
    DbFehler f = m_db.Abfragen(SqlText("SELECT name, file FROM pragma_database_list WHERE name NOT IN ('main', 'temp')"),
                               {}, [&](const Zeile& z) {
                                 dateien.push_back({z.Wert(0).toString(), z.Wert(1).toString()});
                                 return true;
                               });
    if (f)
      return QStringLiteral("Die verknüpfte Datenbank konnte nicht geprüft werden; es wurde nichts übernommen.\r") +
             Fehlertext(f);
    for (const Datei& d : dateien) {
      QStringList befunde;
      f = m_db.Abfragen(SqlText("PRAGMA ") + SqlText::Bezeichner(d.alias) + SqlText(".quick_check(1)"), {},
                        [&](const Zeile& z) {
                          befunde << z.Wert(0).toString();
                          return true;
                        });
      if (!f && befunde == QStringList{QStringLiteral("ok")}) continue;
      return QStringLiteral("Die verknüpfte Datenbank %1 ist beschädigt; es wurde nichts übernommen.\r"
                            "Bitte lassen Sie die Datei in dem Programm, zu dem sie gehört, prüfen und reparieren, "
                            "oder spielen Sie dort eine Sicherung zurück.")
                 .arg(QDir::toNativeSeparators(d.pfad)) +
             (f ? QStringLiteral("\r") + Fehlertext(f) : QString());
    }
    return {};
  }

  // The senders whose payments the duplicate check compares: the active one and every sender linked to
  // the same sibling file (the file, not the spelling of its path); a link that names no file found
  // stands for itself. Worked out once per run; the write's transaction reads the links again and works
  // the set out anew only when one changed, so that a sender linked meanwhile is not missed.
  DbFehler AbsenderLesen() {
    std::vector<Absenderverbindung> verbindungen;
    const DbFehler f = m_db.Abfragen(
        SqlText("SELECT AbsenderNr, AdressenFormat, AdressenVerbindung FROM Absender ORDER BY AbsenderNr"), {},
        [&](const Zeile& z) {
          verbindungen.push_back({z.Wert(0).toInt(), z.Wert(1).toInt(), z.Wert(2).toString()});
          return true;
        });
    if (f) return f;
    if (!m_absender.isEmpty() && verbindungen == m_verbindungen) return {};
    m_verbindungen = std::move(verbindungen);
    m_absender = {m_o.absenderNr};
    QString eigene;
    for (const Absenderverbindung& a : m_verbindungen)
      if (a.nr == m_o.absenderNr) eigene = VerknuepfteDatei(a.format, a.verbindung);
    if (eigene.isEmpty()) return {};
    for (const Absenderverbindung& a : m_verbindungen)
      if (a.nr != m_o.absenderNr && VerknuepfteDatei(a.format, a.verbindung) == eigene) m_absender << a.nr;
    return {};
  }

  // "Zahlungen.AbsenderNr IN (?, …)" over the senders the duplicate check compares, their numbers
  // appended to `parameter`.
  SqlText AbsenderBedingung(QVariantList& parameter) const {
    QList<SqlText> platz;
    for (int nr : m_absender) {
      platz << SqlText("?");
      parameter << nr;
    }
    return SqlText("Zahlungen.AbsenderNr IN (") + SqlText::Verbinden(platz, SqlText(", ")) + SqlText(")");
  }

  // The stored keys of the addresses by the form in which the program compares text, so that an
  // account whose key stands in two rows, or in two spellings that differ only in case, is known.
  DbFehler AdressSchluesselLesen() {
    return m_db.Abfragen(SqlText("SELECT ") + SqlText::Bezeichner(m_kontoFeld) + SqlText(" FROM Adressen"), {},
                         [&](const Zeile& z) {
                           if (!IstNull(z.Wert(0))) {
                             const QString schluessel = z.Wert(0).toString();
                             m_schluessel[TamoVergleichsform(schluessel)] << schluessel;
                           }
                           return true;
                         });
  }

  // Why an item cannot be taken over: its own values, and texts longer than the fields they go to.
  QString PostenBefund(const ImportVorgang& v) const {
    QStringList befunde;
    if (!v.befund.isEmpty()) befunde << v.befund;
    // The kind of the account decides the kind of the order: a customer's invoice must never become a
    // credit transfer to the customer, nor a supplier's a debit from the supplier.
    const QChar kontoart = v.posten.art.isEmpty() ? QChar() : v.posten.art.front().toUpper();
    if (!kontoart.isNull() && kontoart != (m_o.lieferanten ? QLatin1Char('L') : QLatin1Char('K')))
      befunde << (m_o.lieferanten
                      ? QStringLiteral("Der Vorgang der Art »%1« ist kein Lieferanten-Vorgang; er wird nicht überwiesen.")
                      : QStringLiteral("Der Vorgang der Art »%1« ist kein Kunden-Vorgang; er wird nicht eingezogen."))
                     .arg(KurzAnzeige(v.posten.art));
    const std::pair<const QString*, std::pair<const char*, int>> ziele[] = {
        {&v.posten.opKontoNr, {"OP-Konto-Nr", m_groessen.opKontoNr}},
        {&v.posten.vorgangsNr, {"OP-Vorgangs-Nr", m_groessen.opVorgangNr}},
        {&v.posten.art, {"Vorgangsart", m_groessen.opVorgangsArt}}};
    for (const auto& [wert, ziel] : ziele)
      if (wert->size() > ziel.second)
        befunde << QStringLiteral("Die %1 ist mit %2 Zeichen länger als ihr Feld (%3 Zeichen).")
                       .arg(QString::fromUtf8(ziel.first))
                       .arg(wert->size())
                       .arg(ziel.second);
    return befunde.join(QLatin1Char(' '));
  }

  void KontoUebernehmen(const std::vector<const ImportVorgang*>& alle) {
    const QString konto = alle.front()->posten.opKontoNr;
    const QString kontoText = KurzAnzeige(konto);

    // An account with an unsound item is not paid at all: without a credit note, say, the others
    // would pay too much.
    QStringList befunde;
    for (const ImportVorgang* v : alle)
      if (const QString b = PostenBefund(*v); !b.isEmpty())
        befunde << QStringLiteral("OP-Vorgang %1: %2").arg(KurzAnzeige(v->posten.vorgangsNr), b);
    if (!befunde.isEmpty()) {
      m_e.fehlerhaftePosten += int(befunde.size());
      m_e.postenAbgelehnt += int(alle.size()) - int(befunde.size());
      m_e.FehlerMelden(QStringLiteral("Das OP-Konto %1 wurde nicht übernommen (%2 OP-Vorgänge), weil die "
                                      "Buchhaltungsdaten fehlerhaft sind:\r")
                           .arg(kontoText)
                           .arg(alle.size()) +
                       befunde.join(QLatin1Char('\r')));
      return;
    }

    // The address by the account's key; two candidates are refused rather than one guessed.
    const QStringList kandidaten = m_schluessel.value(TamoVergleichsform(konto));
    if (kandidaten.size() > 1) {
      Mehrdeutig(konto, alle.size(), kandidaten);
      return;
    }

    std::vector<Posten> posten;
    for (const ImportVorgang* v : alle) {
      Posten p{v, {}};
      if (DubletteUebernehmen(*v, p.bekannt)) posten.push_back(std::move(p));
    }
    if (posten.empty()) return;

    Adresse adresse;
    int gefunden = 0;
    QStringList schluessel;
    if (!kandidaten.isEmpty()) {
      const DbFehler f = m_db.Abfragen(SqlText("SELECT * FROM Adressen WHERE ") + SqlText::Bezeichner(m_kontoFeld) +
                                           SqlText(" = ? LIMIT 2"),
                                       {kandidaten.front()}, [&](const Zeile& z) {
                                         if (++gefunden == 1) adresse.Lesen(z);
                                         schluessel << TextAusWert(z.Wert(m_kontoFeld));
                                         return true;
                                       });
      if (f) {
        m_e.FehlerMelden(QStringLiteral("Die Adresse des OP-Kontos %1 konnte nicht gelesen werden; seine %2 "
                                        "OP-Vorgänge wurden übersprungen.\r")
                             .arg(kontoText)
                             .arg(posten.size()) +
                         Fehlertext(f));
        return;
      }
    }
    if (gefunden > 1) {
      Mehrdeutig(konto, posten.size(), schluessel);
      return;
    }
    if (gefunden == 0) {
      m_e.ohneAdresse += int(posten.size());
      return;
    }

    // The payments of the account, at most five items each.
    Waehrung satz;
    if (m_o.maximalSkonto) {
      for (int k = 1; k <= 2 && satz <= Waehrung(); ++k) {
        const QString feld = m_o.quelle.SkontoFeld + QString::number(k);
        const QVariant wert = adresse.Wert(feld);
        const std::optional<Waehrung> s = Prozentsatz(wert);
        if (!s) {
          m_e.postenAbgelehnt += int(posten.size());
          m_e.FehlerMelden(QStringLiteral("Das OP-Konto %1 wurde nicht übernommen (%2 OP-Vorgänge): der Skontosatz "
                                          "%3 der Adresse ist keine Prozentzahl von 0 bis 100.")
                               .arg(kontoText)
                               .arg(posten.size())
                               .arg(QStringLiteral("»") + KurzAnzeige(wert.toString()) + QStringLiteral("«")));
          return;
        }
        satz = *s;
      }
    }
    const OPUebernahmeZusatz zusatz{satz, m_o.skontoNurPositiv, true};
    std::vector<Entwurf> entwuerfe;
    for (Posten& p : posten) {
      if (entwuerfe.empty() || entwuerfe.back().posten.size() == kMaximaleZeilen) entwuerfe.emplace_back();
      OPZeilenwerte zeile =
          OffenenPostenUebernehmen(p.vorgang->posten, m_vorlagen, m_o.datumKurzFormat, m_groessen.zeile, zusatz);
      entwuerfe.back().Dazu(std::move(p), std::move(zeile));
    }
    // A payment beyond the amount range, or a negative one, leaves the whole account out: paying the
    // invoices of one payment without the credit notes of another would pay the wrong amount.
    int negativ = 0;
    int ausserhalb = 0;
    QString grund;
    for (const Entwurf& e : entwuerfe) {
      if (const QString g = e.Betragsgrund(); !g.isEmpty()) {
        ++ausserhalb;
        grund = g;
      } else if (*e.gesamt < Waehrung()) {
        ++negativ;
      }
    }
    if (ausserhalb > 0) {
      m_e.fehlerhafteAngaben += ausserhalb;
      m_e.nichtGespeichert += ausserhalb;
      m_e.postenNichtGespeichert += int(posten.size());
      m_e.FehlerMelden(QStringLiteral("Das OP-Konto %1 wurde nicht übernommen (%2 OP-Vorgänge): %3")
                           .arg(kontoText)
                           .arg(posten.size())
                           .arg(grund));
      return;
    }
    if (negativ > 0) {
      m_e.minusZahlungen += negativ;
      m_e.postenNichtGespeichert += int(posten.size());
      if (entwuerfe.size() > 1) m_e.minusKonten << kontoText;
      return;
    }
    for (Entwurf& e : entwuerfe) ZahlungAnlegen(e, adresse);
  }

  void Mehrdeutig(const QString& konto, size_t anzahl, QStringList schluessel) {
    schluessel.removeDuplicates();
    for (QString& s : schluessel) s = KurzAnzeige(s);
    m_e.postenAbgelehnt += int(anzahl);
    m_e.FehlerMelden(QStringLiteral("Das OP-Konto %1 ist in den Adressen nicht eindeutig (%2); seine %3 OP-Vorgänge "
                                    "wurden nicht übernommen.\rBitte bereinigen Sie die Adressen in der Buchhaltung, "
                                    "so dass jedes Konto genau eine Adresse hat.")
                         .arg(KurzAnzeige(konto))
                         .arg(schluessel.size() > 1 ? QStringLiteral("Schreibweisen ") + schluessel.join(QStringLiteral(", "))
                                                    : QStringLiteral("mehrere Adressen mit diesem Schlüssel"))
                         .arg(anzahl));
  }

  // Duplicate check: false when the item is to be left out. `bekannt` receives the payments that
  // hold the item now (the user was asked about them).
  bool DubletteUebernehmen(const ImportVorgang& v, QList<qint64>& bekannt) {
    if (!m_o.pruefung) return true;
    std::optional<QDate> erledigt;
    QList<int> absender;
    bool andererAbsender = false;
    QVariantList parameter{v.posten.opKontoNr, v.posten.vorgangsNr};
    const SqlText bedingung = AbsenderBedingung(parameter);
    const DbFehler f = m_db.Abfragen(
        SqlText("SELECT Zahlungen.ErledigtDatum, Zahlungen.ZahlungNr, Zahlungen.AbsenderNr FROM Zahlungen INNER JOIN "
                "Verwendungszweck ON Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr WHERE Zahlungen.OPKontoNr = ? "
                "AND Verwendungszweck.OPVorgangNr = ? AND ") +
            bedingung + SqlText(" ORDER BY Zahlungen.ErledigtDatum IS NULL, Zahlungen.ErledigtDatum DESC"),
        parameter, [&](const Zeile& z) {
          if (bekannt.isEmpty()) erledigt = DatumAusWert(z.Wert(0));
          bekannt << z.Wert(1).toLongLong();
          absender << z.Wert(2).toInt();
          andererAbsender = andererAbsender || absender.back() != m_o.absenderNr;
          return true;
        });
    if (f) {
      m_e.FehlerMelden(QStringLiteral("Die Prüfung auf Doppel-Zahlung ist fehlgeschlagen; der OP-Vorgang %1 des "
                                      "OP-Kontos %2 wurde übersprungen.\r")
                           .arg(KurzAnzeige(v.posten.vorgangsNr), KurzAnzeige(v.posten.opKontoNr)) +
                       Fehlertext(f));
      return false;
    }
    if (bekannt.isEmpty() ||
        m_frager.DubletteUebernehmen(DublettenFrage(v.posten.vorgangsNr, erledigt, v.posten.opKontoNr,
                                                    andererAbsender ? absender : QList<int>())))
      return true;
    ++m_e.dublettenAbgelehnt;
    return false;
  }

  QVariant Transportwert(const Adresse& adresse, int i) const {
    const QString& feld = m_transportFelder.at(i);
    return feld.isEmpty() ? QVariant() : adresse.Wert(feld);
  }

  void NichtGespeichert(const Entwurf& e) {
    ++m_e.nichtGespeichert;
    m_e.postenNichtGespeichert += int(e.posten.size());
  }

  // The lines of the payment, its first line's text and total, and the customer-number line.
  void ZeilenSetzen(Zahlungsauftrag& z, const Entwurf& e, const QString& kundenNrZeile) const {
    z.Zeilen.clear();
    for (const OPZeilenwerte& w : e.zeilen) z.Zeilen << Auftragszeile{w.verwendungszweck, OderNull(w.betraege.zahlungsBetrag)};
    if (!kundenNrZeile.isEmpty() && z.Zeilen.size() < kMaximaleZeilen) z.Zeilen << Auftragszeile{kundenNrZeile, Waehrung()};
    z.Verwendungszweck1 = z.Zeilen.first().Text;
    z.Betrag = e.gesamt.value_or(Waehrung());
  }

  // Texts that would not fit their fields are never stored, and never cut: the fields named.
  QString ZuLangeWerte(const Zahlungsauftrag& z, const QString& bank, const QString& konto) const {
    QStringList felder;
    auto pruefen = [&felder](const char* name, const QString& wert, int groesse) {
      if (wert.size() > groesse)
        felder << QStringLiteral("%1 (%2 statt höchstens %3 Zeichen)").arg(QString::fromUtf8(name)).arg(wert.size()).arg(groesse);
    };
    pruefen("Name", z.Name, m_groessen.name);
    pruefen("Bank", bank, m_groessen.bank);
    pruefen("IBAN", z.IBAN, m_groessen.iban);
    pruefen("BIC", z.BIC, m_groessen.bic);
    if (z.IstLastschrift()) pruefen("Mandat-Referenz", z.MandatReferenz, m_groessen.mandatReferenz);
    pruefen("OP-Konto-Nr", konto, m_groessen.opKontoNr);
    pruefen("Textschlüssel", z.Textschluessel, m_groessen.textschluessel);
    pruefen("Verwendungszweck", z.Verwendungszweck1, m_groessen.verwendungszweck1);
    for (const Auftragszeile& zeile : z.Zeilen) pruefen("Verwendungszweck-Zeile", zeile.Text, m_groessen.zeile);
    felder.removeDuplicates();
    return felder.join(QStringLiteral(", "));
  }

  // Address values longer than their own field in the sibling's table are garbage, whatever they
  // would become here.
  QString ZuLangeAdresswerte(const Adresse& adresse, const QStringList& namen) {
    QStringList felder;
    for (const QString& feld : namen) {
      if (feld.isEmpty()) continue;
      const int groesse = m_db.FeldGroesse(QStringLiteral("Adressen"), feld);
      const QString wert = TextAusWert(adresse.Wert(feld));
      if (groesse > 0 && wert.size() > groesse)
        felder << QStringLiteral("%1 (%2 statt höchstens %3 Zeichen)").arg(feld).arg(wert.size()).arg(groesse);
    }
    return felder.join(QStringLiteral(", "));
  }

  void ZahlungAnlegen(Entwurf& e, Adresse& adresse) {
    const ImportVorgang& erster = *e.posten.front().vorgang;
    const QString konto = erster.posten.opKontoNr;
    const QString kontoText = KurzAnzeige(konto);
    auto ablehnen = [&](const QString& warum) {
      m_e.FehlerMelden(QStringLiteral("Eine Zahlung an das OP-Konto %1 wurde nicht gespeichert (OP-Vorgänge %2): %3")
                           .arg(kontoText, Nummern(Vorgaenge(e)).join(QStringLiteral(", ")), warum));
      NichtGespeichert(e);
    };

    QStringList adressfelder = m_transportFelder.mid(1, 7);
    if (m_o.lieferantenKundenNr) adressfelder << QStringLiteral("LieferantenKundenNr");
    if (const QString lang = ZuLangeAdresswerte(adresse, adressfelder); !lang.isEmpty()) {
      ++m_e.fehlerhafteAngaben;
      ablehnen(QStringLiteral("Werte der Adresse sind länger als ihre Felder: ") + lang + QLatin1Char('.'));
      return;
    }

    Zahlungsauftrag z;
    z.Art = m_o.lieferanten ? QStringLiteral("G") : QStringLiteral("L");
    bool geaendert = false;
    // The name as the address holds it: the rules judge what transliteration makes of it, and it is cleaned
    // before the write only when it still says the same.
    auto nameSetzen = [&](const QString& roh) { z.Name = roh; };
    nameSetzen(TextAusWert(Transportwert(adresse, 1)));
    const QString bank = Gefiltert(TextAusWert(Transportwert(adresse, 2)), 1, geaendert);
    z.IBAN = Iban(TextAusWert(Transportwert(adresse, 4))).Text();
    z.BIC = Bic(TextAusWert(Transportwert(adresse, 3))).Text();

    MandatDaten mandat;
    if (!m_o.lieferanten) {
      DbFehler f;
      mandat = MandatDatenFuellen(
          Transportwert(adresse, 5), Transportwert(adresse, 6), Transportwert(adresse, 7),
          [&adresse](const QString& feld) { return adresse.Wert(feld); }, m_o.mandat, m_o.formularZahlart, konto,
          [this](const QString& k, const QString& referenz, int code, DbFehler& fehler) -> std::optional<bool> {
            const bool vorhanden = MandatSequenzVorhanden(m_db, k, referenz, code, fehler, m_o.absenderNr);
            return fehler ? std::nullopt : std::optional<bool>(vorhanden);
          },
          f);
      if (f) {
        m_e.FehlerMelden(QStringLiteral("Die früheren Lastschriften des Mandats konnten nicht gesucht werden; eine "
                                        "Zahlung an das OP-Konto %1 wurde nicht gespeichert.\r")
                             .arg(kontoText) +
                         Fehlertext(f));
        NichtGespeichert(e);
        return;
      }
      z.MandatReferenz = mandat.referenz;
      z.MandatDatum = mandat.datum;
      z.MandatSequenz = mandat.sequenz;
    }
    z.Textschluessel = m_o.textschluessel;
    if (m_o.faelligEintragen) z.Faellig = erster.posten.faellig;
    for (const OPZeilenwerte& w : e.zeilen)
      if (w.zeichenEntfernt) ++m_e.automatischeKorrekturen;
    QString kundenNrZeile;
    const QString kundenNr = m_o.lieferantenKundenNr ? TextAusWert(adresse.Wert(QStringLiteral("LieferantenKundenNr"))) : QString();
    if (!kundenNr.isEmpty() && e.zeilen.size() < kMaximaleZeilen) {
      kundenNrZeile = KundenNrZeile(kundenNr, m_groessen.zeile, geaendert);
      if (geaendert) ++m_e.automatischeKorrekturen;
    }
    ZeilenSetzen(z, e, kundenNrZeile);

    // The questions before the transaction; validity follows the final values.
    QList<Auftragsfeld> befunde = ImportZahlungPruefen(z, m_groessen, m_heute);
    QSet<Auftragsfeld> fehlerhaft(befunde.cbegin(), befunde.cend());
    if (m_o.fehlEingaben) {
      for (Auftragsfeld feld : {Auftragsfeld::Name, Auftragsfeld::Iban, Auftragsfeld::Bic}) {
        while (befunde.contains(feld)) {
          const QString antwort =
              m_frager.PflichtfeldAbfragen(PflichtfeldAufforderung(Feldname(feld), konto, erster.suchname));
          ++m_e.manuelleKorrekturen;
          if (antwort.isEmpty()) break;
          if (feld == Auftragsfeld::Name) nameSetzen(antwort);
          if (feld == Auftragsfeld::Iban) z.IBAN = Iban(antwort).Text();
          if (feld == Auftragsfeld::Bic) z.BIC = Bic(antwort).Text();
          befunde = ImportZahlungPruefen(z, m_groessen, m_heute);
          for (Auftragsfeld b : befunde) fehlerhaft.insert(b);
        }
      }
    }
    m_e.fehlerhafteAngaben += int(fehlerhaft.size());
    if (!befunde.isEmpty() && m_o.fehlerNichtSpeichern) {
      NichtGespeichert(e);
      return;
    }
    if (const QString lang = ZuLangeWerte(z, bank, konto); !lang.isEmpty()) {
      ablehnen(QStringLiteral("Werte sind länger als ihre Felder: ") + lang + QLatin1Char('.'));
      return;
    }
    const QString name = z.Name;
    if (Auftragspruefung::TexteBereinigen(z) && z.Name != name) ++m_e.automatischeKorrekturen;

    Schreibergebnis r = Schreiben(z, bank, e, konto, kundenNrZeile);
    if (!r.inzwischen.empty()) {
      m_e.inzwischenUebernommen += int(r.inzwischen.size());
      const bool andere = std::any_of(r.inzwischenAbsender.cbegin(), r.inzwischenAbsender.cend(),
                                      [this](int nr) { return nr != m_o.absenderNr; });
      m_e.FehlerMelden(
          andere ? QStringLiteral("Die OP-Vorgänge %1 des OP-Kontos %2 wurden inzwischen an einem anderen Arbeitsplatz "
                                  "%3; sie wurden nicht noch einmal übernommen.")
                       .arg(Nummern(r.inzwischen).join(QStringLiteral(", ")), kontoText,
                            MitAbsendernUebernommen(r.inzwischenAbsender, QStringLiteral(", ")))
                 : QStringLiteral("Die OP-Vorgänge %1 des OP-Kontos %2 wurden inzwischen an einem anderen "
                                  "Arbeitsplatz übernommen; sie wurden nicht noch einmal übernommen.")
                       .arg(Nummern(r.inzwischen).join(QStringLiteral(", ")), kontoText));
    }
    if (r.fehler) {
      m_e.FehlerMelden(QStringLiteral("Fehler beim Speichern der Daten! Eine Zahlung an das OP-Konto %1 wurde nicht "
                                      "gespeichert.\r")
                           .arg(kontoText) +
                       Fehlertext(r.fehler));
      NichtGespeichert(e);
      return;
    }
    if (!r.abgelehnt.isEmpty()) {
      ablehnen(r.abgelehnt);
      return;
    }
    if (!r.geschrieben) return;   // every item came in between
    ++m_e.zahlungen;
    m_e.importiert += int(e.posten.size());
    for (const Posten& p : e.posten) m_uebernommen.insert(Kennung(*p.vorgang));

    if (!mandat.folgeSequenzText.isEmpty()) {
      const QString feld = m_transportFelder.at(7);
      if (DbFehler f = FolgeeinzugEintragen(TextAusWert(adresse.Wert(m_kontoFeld)), feld, mandat.folgeSequenzText)) {
        m_e.FehlerMelden(QStringLiteral("Die Adresse des OP-Kontos %1 konnte nicht auf Folge-Einzug umgestellt werden; "
                                        "die Zahlung ist gespeichert.\r")
                             .arg(kontoText) +
                         Fehlertext(f));
      } else {
        adresse.Setzen(feld, mandat.folgeSequenzText);
      }
    }
  }

  static std::vector<const ImportVorgang*> Vorgaenge(const Entwurf& e) {
    std::vector<const ImportVorgang*> v;
    for (const Posten& p : e.posten) v.push_back(p.vorgang);
    return v;
  }

  struct Schreibergebnis {
    DbFehler fehler;
    QString abgelehnt;                              // why the payment was not stored
    std::vector<const ImportVorgang*> inzwischen;   // items another workstation took in between
    QList<int> inzwischenAbsender;                  // the senders of the payments that took them
    bool geschrieben = false;
  };

  // Which items of the payment another workstation took over since the user was asked: payments of
  // the senders linked to the same sibling file that hold the item's number, other than those known
  // then and this run's own; `absender` receives their senders. Runs inside the write's transaction
  // (BEGIN IMMEDIATE), which no other workstation can enter.
  DbFehler InzwischenUebernommen(const Entwurf& e, const QString& konto, std::vector<bool>& weg, QList<int>& absender) {
    weg.assign(e.posten.size(), false);
    if (DbFehler f = AbsenderLesen()) return f;
    QList<SqlText> platz;
    QVariantList parameter{konto};
    const SqlText bedingung = AbsenderBedingung(parameter);
    for (const Posten& p : e.posten) {
      platz << SqlText("?");
      parameter << p.vorgang->posten.vorgangsNr;
    }
    return m_db.Abfragen(
        SqlText("SELECT Zahlungen.ZahlungNr, Verwendungszweck.OPVorgangNr, Zahlungen.AbsenderNr FROM Zahlungen "
                "INNER JOIN Verwendungszweck ON Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr WHERE "
                "Zahlungen.OPKontoNr = ? AND ") +
            bedingung + SqlText(" AND Verwendungszweck.OPVorgangNr IN (") + SqlText::Verbinden(platz, SqlText(", ")) +
            SqlText(")"),
        parameter, [&](const Zeile& z) {
          const qint64 nr = z.Wert(0).toLongLong();
          if (m_eigeneZahlungen.contains(nr)) return true;
          const QString nummer = z.Wert(1).toString();
          for (size_t i = 0; i < e.posten.size(); ++i)
            if (!e.posten[i].bekannt.contains(nr) &&
                e.posten[i].vorgang->posten.vorgangsNr.compare(nummer, Qt::CaseInsensitive) == 0) {
              weg[i] = true;
              absender << z.Wert(2).toInt();
            }
          return true;
        });
  }

  // The payment row, its lines and the customer-number line in one transaction, with the duplicate
  // check repeated in it: what came in between is left out.
  Schreibergebnis Schreiben(Zahlungsauftrag& z, const QString& bank, Entwurf& e, const QString& konto,
                            const QString& kundenNrZeile) {
    Schreibergebnis r;
    Transaktion t(m_db);
    if ((r.fehler = t.Fehler())) return r;
    if (m_o.pruefung) {
      std::vector<bool> weg;
      if ((r.fehler = InzwischenUebernommen(e, konto, weg, r.inzwischenAbsender))) return r;
      if (std::find(weg.begin(), weg.end(), true) != weg.end()) {
        Entwurf rest;
        for (size_t i = 0; i < e.posten.size(); ++i) {
          if (weg[i]) r.inzwischen.push_back(e.posten[i].vorgang);
          else rest.Dazu(e.posten[i], e.zeilen[i]);
        }
        e = std::move(rest);
        if (e.posten.empty()) return r;
        ZeilenSetzen(z, e, kundenNrZeile);
        if (const QString grund = e.Betragsgrund(); !grund.isEmpty()) {
          r.abgelehnt = grund;
          return r;
        }
        if (*e.gesamt < Waehrung()) {
          r.abgelehnt = QStringLiteral("Ohne diese OP-Vorgänge wäre der Gesamtbetrag negativ.");
          return r;
        }
        if (m_o.fehlerNichtSpeichern && !ImportZahlungPruefen(z, m_groessen, m_heute).isEmpty()) {
          r.abgelehnt = QStringLiteral("Ohne diese OP-Vorgänge wäre die Zahlung fehlerhaft.");
          return r;
        }
      }
    }
    const bool lastschrift = z.IstLastschrift();
    if ((r.fehler = m_db.Ausfuehren(
             SqlText("INSERT INTO Zahlungen (Art, AbsenderNr, Name, Bank, IBAN, BIC, MandatReferenz, MandatDatum, "
                     "MandatSequenz, OPKontoNr, \"Textschlüssel\", \"Fällig\", \"Währung\", ZahlungGesamt, "
                     "Verwendungszweck1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?)"),
             {z.Art, m_o.absenderNr, z.Name, WertAusText(bank), WertAusText(z.IBAN), WertAusText(z.BIC),
              lastschrift ? WertAusText(z.MandatReferenz) : QVariant(),
              lastschrift ? WertAusDatum(z.MandatDatum) : QVariant(),
              lastschrift ? QVariant(z.MandatSequenz) : QVariant(), konto, WertAusText(z.Textschluessel),
              WertAusDatum(z.Faellig), QVariant::fromValue(z.Betrag), WertAusText(z.Verwendungszweck1)})))
      return r;
    const qint64 nr = m_db.LetzteEinfuegeNr();
    const SqlText zeile(
        "INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck, OPVorgangNr, Vorgangsdatum, OPBetrag, "
        "SkontoBetrag, ZahlungsBetrag, OPVorgangsArt) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    int zeilenNr = 0;
    for (const OPZeilenwerte& w : e.zeilen) {
      ++zeilenNr;
      if ((r.fehler = m_db.Ausfuehren(
               zeile, {nr, zeilenNr, w.verwendungszweck, WertAusText(w.opVorgangNr), WertAusDatum(w.vorgangsdatum),
                       WertAusWaehrung(w.betraege.opBetrag), WertAusWaehrung(w.betraege.skontoBetrag),
                       WertAusWaehrung(w.betraege.zahlungsBetrag), WertAusText(w.opVorgangsArt)})))
        return r;
    }
    // The customer-number line carries no amounts.
    if (z.Zeilen.size() > zeilenNr) {
      if ((r.fehler = m_db.Ausfuehren(
               SqlText("INSERT INTO Verwendungszweck (ZahlungNr, ZeilenNr, Verwendungszweck) VALUES (?, ?, ?)"),
               {nr, zeilenNr + 1, z.Zeilen.at(zeilenNr).Text})))
        return r;
    }
    if ((r.fehler = t.Commit())) return r;
    m_eigeneZahlungen.insert(nr);
    r.geschrieben = true;
    return r;
  }

  // The address's sequence field becomes the recurring collection (the address may lie in the
  // sibling file: its own transaction, after the payment's). `schluessel` is the address's own key.
  DbFehler FolgeeinzugEintragen(const QString& schluessel, const QString& feld, const QString& text) {
    Transaktion t(m_db);
    if (t.Fehler()) return t.Fehler();
    Abfrage a;
    a.quelle = SqlText("Adressen");
    a.bedingung = Bedingung(SqlText::Bezeichner(m_kontoFeld) + SqlText(" = ?"), {schluessel});
    DbFehler f;
    std::unique_ptr<Recordset> rs = Recordset::Oeffnen(m_db, a, RecordsetTyp::Dynaset, f);
    if (!rs) return f;
    if (rs->RecordCount() != 1)
      return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Die Adresse wurde nicht genau einmal gefunden.")};
    if ((f = rs->Edit())) return f;
    if ((f = rs->Setzen(feld, text))) return f;
    if ((f = rs->Update())) return f;
    rs.reset();
    return t.Commit();
  }

  Datenbank& m_db;
  const ImportLaufOptionen& m_o;
  ImportFrager& m_frager;
  QDate m_heute;
  ImportFeldgroessen m_groessen;
  Zeilenvorlagen m_vorlagen;
  QStringList m_transportFelder;   // 1..7
  QString m_kontoFeld;             // the address field holding the account
  QHash<QString, QStringList> m_schluessel;   // the addresses' stored keys by their compared form
  QSet<QString> m_uebernommen;     // items that became lines in this run (Kennung)
  QSet<qint64> m_eigeneZahlungen;  // payments this run stored
  struct Absenderverbindung {
    int nr = 0;
    int format = 0;
    QString verbindung;
    bool operator==(const Absenderverbindung&) const = default;
  };
  std::vector<Absenderverbindung> m_verbindungen;   // the senders' links as last read
  QList<int> m_absender;           // the active sender and those linked to its sibling file
  ImportErgebnis m_e;
};

}  // namespace

ImportLaufOptionen ImportLaufOptionen::AusEinstellungen(const ImportEinstellungen& e, bool lieferanten) {
  ImportLaufOptionen o;
  o.lieferanten = lieferanten;
  o.textschluessel = lieferanten ? e.textschluesselLieferanten : e.textschluesselKunden;
  o.vorlage = e.vorlage;
  o.pruefung = e.pruefung;
  o.fehlEingaben = e.fehlEingaben;
  o.fehlerNichtSpeichern = e.fehlerNichtSpeichern;
  o.faelligEintragen = e.faelligEintragen;
  o.maximalSkonto = e.maximalSkonto;
  o.skontoNurPositiv = e.skontoNurPositiv;
  o.lieferantenKundenNr = e.lieferantenKundenNr;
  o.mandat.erstAufFolge = e.erstAufFolge;
  o.mandat.datumBelegen = e.mandatDatumBelegen;
  o.mandat.referenzBelegen = e.mandatReferenzBelegen;
  o.mandat.datenfeldDatum = e.datenfeldMandatDatum;
  o.mandat.datenfeldReferenz = e.datenfeldMandatReferenz;
  o.mandat.fixdatum = e.fixdatum;
  o.mandat.fixtext = e.fixtext;
  return o;
}

ImportErgebnis ImportAusfuehren(Datenbank& db, const std::vector<ImportVorgang>& vorgaenge,
                                const ImportLaufOptionen& optionen, ImportFrager& frager) {
  return Lauf(db, optionen, frager).Ausfuehren(vorgaenge);
}

QString PflichtfeldAufforderung(const QString& feld, const QString& konto, const QString& suchname) {
  return QStringLiteral("Das folgende Pflichtfeld fehlt oder ist nicht korrekt:\r\r") + feld +
         QStringLiteral("\r\rfür das OP-Konto : ") + konto + QStringLiteral("\rmit dem Suchnamen: ") + suchname +
         QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe.");
}

QString DublettenFrage(const QString& vorgangsNr, const std::optional<QDate>& bezahltAm, const QString& konto,
                       const QList<int>& absender) {
  const QString kopf =
      absender.isEmpty() ? QStringLiteral("Der folgende Vorgang ist schon in den aktuellen\rZahlungen vorhanden!")
                         : QStringLiteral("Der folgende Vorgang wurde bereits ") +
                               MitAbsendernUebernommen(absender, QStringLiteral(",\r")) + QLatin1Char('!');
  return kopf + QStringLiteral("\r\rOP-Vorgangs-Nr: ") +
         vorgangsNr + QStringLiteral("\rBezahlt am: ") +
         (bezahltAm ? bezahltAm->toString(QStringLiteral("dd.MM.yyyy")) : QString()) + QStringLiteral("\rOP-Konto-Nr: ") +
         konto + QStringLiteral("\r\rSoll die Zahlung trotzdem übernommen werden?");
}
