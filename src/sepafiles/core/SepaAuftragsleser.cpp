#include "sepafiles/core/SepaAuftragsleser.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "common/AuftragLesen.h"
#include "platform/db/Zeilenleser.h"

namespace {

// A 64-bit fingerprint (multiply-fold mixing): fast over the few hundred bytes of an order, and any change
// of a value changes it but for a chance of 2^-64.
class Abdruck {
 public:
  void Zahl(quint64 wert) { m_h = Mischen(m_h ^ 0xA0761D6478BD642FULL, wert ^ 0xE7037ED1A0B428DBULL); }
  void Text(QByteArrayView text) {
    Zahl(quint64(text.size()) | (quint64(1) << 62));
    const char* p = text.data();
    qsizetype rest = text.size();
    for (; rest >= 8; p += 8, rest -= 8) {
      quint64 wort;
      std::memcpy(&wort, p, 8);
      Zahl(wort);
    }
    if (rest > 0) {
      quint64 wort = 0;
      std::memcpy(&wort, p, size_t(rest));
      Zahl(wort);
    }
  }
  void Datum(const std::optional<QDate>& datum) {
    Zahl(datum ? quint64(datum->toJulianDay()) : quint64(std::numeric_limits<qint64>::min()));
  }
  quint64 Wert() const { return Mischen(m_h, 0x8EBC6AF09C88C6E3ULL); }

 private:
  static quint64 Mischen(quint64 a, quint64 b) {
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return quint64(r) ^ quint64(r >> 64);
  }
  quint64 m_h = 0x589965CC75374CC3ULL;
};

// One line of the order being read, its text kept in the order's buffer until the order is complete.
struct Zeile_ {
  qint64 lfdNr;
  qsizetype von;
  qsizetype laenge;
  Waehrung betrag;
};

}  // namespace

SqlText SepaAuftragsleser::AuftragsSql(const Bedingung& bedingung) {
  return SqlText("SELECT ") + AuftragLesen::Spalten() + SqlText(", Zahlungen.Fehler FROM Zahlungen") +
         bedingung.AlsWhere() + SqlText(" ORDER BY Zahlungen.ZahlungNr");
}

SqlText SepaAuftragsleser::ZeilenSql(const Bedingung& bedingung) {
  // Lines of one order come together, in the index's order; their LfdNr order is made in memory.
  return SqlText("SELECT Verwendungszweck.ZahlungNr, Verwendungszweck.LfdNr, Verwendungszweck.Verwendungszweck, "
                 "Verwendungszweck.ZahlungsBetrag FROM Zahlungen INNER JOIN Verwendungszweck ON "
                 "Verwendungszweck.ZahlungNr = Zahlungen.ZahlungNr") +
         bedingung.AlsWhere() + SqlText(" ORDER BY Zahlungen.ZahlungNr");
}

quint64 SepaAuftragsleser::Fingerabdruck(const Gelesen& g) {
  Abdruck a;
  a.Zahl(quint64(g.auftrag.ZahlungNr));
  a.Text(g.art);
  a.Text(g.roh.name);
  a.Text(g.roh.iban);
  a.Text(g.roh.bic);
  a.Zahl(quint64(g.auftrag.Betrag.Roh()));
  a.Datum(g.auftrag.Faellig);
  a.Text(g.roh.textschluessel);
  a.Text(g.roh.einzelReferenz);
  a.Text(g.roh.mandatReferenz);
  a.Datum(g.auftrag.MandatDatum);
  a.Zahl(quint64(qint64(g.auftrag.MandatSequenz)));
  a.Text(g.roh.verwendungszweck1);
  a.Zahl(quint64(g.auftrag.Zeilen.size()));
  a.Zahl(g.zeilenAbdruck);
  return a.Wert();
}

DbFehler SepaAuftragsleser::Lesen(Datenbank& db, const Bedingung& bedingung,
                                  const std::function<void(Gelesen&)>& bearbeiten) {
  Zeilenleser auftraege(db, AuftragsSql(bedingung), bedingung.parameter);
  Zeilenleser zeilen(db, ZeilenSql(bedingung), bedingung.parameter);
  bool zeileDa = zeilen.Naechste();
  if (zeilen.Fehler()) return zeilen.Fehler();

  Gelesen g;
  Zahlungsauftrag& a = g.auftrag;
  SepaAuftraege::Roh& r = g.roh;
  std::vector<Zeile_> liste;
  QByteArray texte;      // the lines' texts as read
  QByteArray verbunden;  // " line 1 line 2" in LfdNr order
  while (auftraege.Naechste()) {
    a.ZahlungNr = auftraege.Ganzzahl(0);
    r.name = auftraege.Utf8(AuftragLesen::NameSpalte);
    r.iban = auftraege.Utf8(2);
    r.bic = auftraege.Utf8(3);
    a.Betrag = auftraege.Betrag(4).value_or(Waehrung());
    r.textschluessel = auftraege.Utf8(5);
    r.einzelReferenz = auftraege.Utf8(6);
    r.mandatReferenz = auftraege.Utf8(7);
    a.MandatDatum = auftraege.Datum(8);
    a.MandatSequenz = auftraege.IstNull(9) ? 0 : int(auftraege.Ganzzahl(9));
    r.verwendungszweck1 = auftraege.Utf8(AuftragLesen::Verwendungszweck1Spalte);
    g.art = auftraege.Utf8(11);
    a.Faellig = auftraege.Datum(12);
    g.fehler = auftraege.Ganzzahl(AuftragLesen::Spaltenzahl) != 0;
    g.textNull = auftraege.IstNull(AuftragLesen::NameSpalte) || auftraege.IstNull(AuftragLesen::Verwendungszweck1Spalte);

    a.Name = QString::fromUtf8(r.name);
    a.IBAN = QString::fromUtf8(r.iban);
    a.BIC = QString::fromUtf8(r.bic);
    a.Textschluessel = QString::fromUtf8(r.textschluessel);
    a.EinzelReferenz = QString::fromUtf8(r.einzelReferenz);
    a.MandatReferenz = QString::fromUtf8(r.mandatReferenz);
    a.Verwendungszweck1 = QString::fromUtf8(r.verwendungszweck1);
    a.Art = QString::fromUtf8(g.art);

    // Its lines: those before it belong to no order read (they cannot, as both queries have one condition).
    liste.clear();
    texte.truncate(0);
    while (zeileDa && zeilen.Ganzzahl(0) <= a.ZahlungNr) {
      if (zeilen.Ganzzahl(0) == a.ZahlungNr) {
        const QByteArrayView text = zeilen.Utf8(2);
        liste.push_back(Zeile_{zeilen.Ganzzahl(1), texte.size(), text.size(), zeilen.Betrag(3).value_or(Waehrung())});
        texte.append(text);
      }
      zeileDa = zeilen.Naechste();
    }
    if (zeilen.Fehler()) return zeilen.Fehler();
    std::stable_sort(liste.begin(), liste.end(), [](const Zeile_& x, const Zeile_& y) { return x.lfdNr < y.lfdNr; });
    a.Zeilen.resize(0);
    verbunden.truncate(0);
    Abdruck zeilenAbdruck;
    for (const Zeile_& z : liste) {
      const QByteArrayView text(texte.constData() + z.von, z.laenge);
      a.Zeilen.append(Auftragszeile{QString(), z.betrag});
      verbunden += ' ';
      verbunden.append(text);
      zeilenAbdruck.Text(text);
      zeilenAbdruck.Zahl(quint64(z.betrag.Roh()));
    }
    g.zeilenAbdruck = zeilenAbdruck.Wert();

    r.zahlungNr = a.ZahlungNr;
    r.betrag = a.Betrag;
    r.mandatSequenz = a.MandatSequenz;
    r.mandatDatum = a.MandatDatum;
    r.zeilen = verbunden;
    r.hatZeilen = !liste.empty();
    r.fingerabdruck = 0;
    bearbeiten(g);
  }
  return auftraege.Fehler();
}
