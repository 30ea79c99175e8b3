#include "sepafiles/core/SepaAuftragsleser.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <cstring>
#include <limits>
#include <vector>

#include "zahlungsverkehr/AuftragLesen.h"
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

namespace {

// One order as read, its texts copied out of the cursors into its batch.
struct Eintrag {
  enum Text { Name, Iban, Bic, Textschluessel, EinzelReferenz, MandatReferenz, Verwendungszweck1, Art, Zeilen, Textzahl };
  qint64 zahlungNr = 0;
  Waehrung betrag;
  std::optional<QDate> mandatDatum;
  std::optional<QDate> faellig;
  int mandatSequenz = 0;
  bool fehler = false;
  bool textNull = false;
  qsizetype texte = 0;                 // start in the batch's texts
  std::array<qsizetype, Textzahl> ende{};
  qsizetype betraege = 0;              // the lines' amounts in the batch, LfdNr order
  qsizetype zeilenzahl = 0;
  quint64 zeilenAbdruck = 0;
};

// Orders read on the caller's thread and handed to the thread that works on them, a batch at a time.
struct Stapel {
  std::vector<Eintrag> eintraege;
  QByteArray texte;
  std::vector<Waehrung> betraege;
  std::vector<std::pair<qsizetype, qsizetype>> zeilentexte;   // start in `texte` and length, by the amounts
};
constexpr size_t Stapelgroesse = 1024;

class Uebergabe {
 public:
  void Geben(std::unique_ptr<Stapel> stapel) {
    std::unique_lock<std::mutex> sperre(m_mutex);
    m_frei.wait(sperre, [this] { return m_schlange.size() < 4; });
    m_schlange.push_back(std::move(stapel));
    m_da.notify_one();
  }
  // nullptr once the reading is over.
  std::unique_ptr<Stapel> Nehmen() {
    std::unique_lock<std::mutex> sperre(m_mutex);
    m_da.wait(sperre, [this] { return !m_schlange.empty(); });
    std::unique_ptr<Stapel> stapel = std::move(m_schlange.front());
    m_schlange.pop_front();
    m_frei.notify_one();
    return stapel;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_da;
  std::condition_variable m_frei;
  std::deque<std::unique_ptr<Stapel>> m_schlange;
};

void Bearbeiten(const Stapel& stapel, const std::function<void(SepaAuftragsleser::Gelesen&)>& bearbeiten,
                SepaAuftragsleser::Gelesen& g) {
  Zahlungsauftrag& a = g.auftrag;
  SepaAuftraege::Roh& r = g.roh;
  for (const Eintrag& e : stapel.eintraege) {
    auto text = [&](Eintrag::Text t) {
      const qsizetype von = e.texte + (t == 0 ? 0 : e.ende[t - 1]);
      return QByteArrayView(stapel.texte.constData() + von, e.texte + e.ende[t] - von);
    };
    a.ZahlungNr = e.zahlungNr;
    a.Betrag = e.betrag;
    a.MandatDatum = e.mandatDatum;
    a.MandatSequenz = e.mandatSequenz;
    a.Faellig = e.faellig;
    r.name = text(Eintrag::Name);
    r.iban = text(Eintrag::Iban);
    r.bic = text(Eintrag::Bic);
    r.textschluessel = text(Eintrag::Textschluessel);
    r.einzelReferenz = text(Eintrag::EinzelReferenz);
    r.mandatReferenz = text(Eintrag::MandatReferenz);
    r.verwendungszweck1 = text(Eintrag::Verwendungszweck1);
    r.zeilen = text(Eintrag::Zeilen);
    g.art = text(Eintrag::Art);
    a.Name = QString::fromUtf8(r.name);
    a.IBAN = QString::fromUtf8(r.iban);
    a.BIC = QString::fromUtf8(r.bic);
    a.Textschluessel = QString::fromUtf8(r.textschluessel);
    a.EinzelReferenz = QString::fromUtf8(r.einzelReferenz);
    a.MandatReferenz = QString::fromUtf8(r.mandatReferenz);
    a.Verwendungszweck1 = QString::fromUtf8(r.verwendungszweck1);
    a.Art = QString::fromUtf8(g.art);
    a.Zeilen.resize(0);
    for (qsizetype i = 0; i < e.zeilenzahl; ++i) {
      const auto [von, laenge] = stapel.zeilentexte.at(size_t(e.betraege + i));
      a.Zeilen.append(Auftragszeile{QString::fromUtf8(stapel.texte.constData() + von, laenge),
                                    stapel.betraege.at(size_t(e.betraege + i))});
    }
    g.fehler = e.fehler;
    g.textNull = e.textNull;
    g.zeilenAbdruck = e.zeilenAbdruck;
    r.zahlungNr = e.zahlungNr;
    r.betrag = e.betrag;
    r.mandatSequenz = e.mandatSequenz;
    r.mandatDatum = e.mandatDatum;
    r.hatZeilen = e.zeilenzahl > 0;
    r.fingerabdruck = 0;
    bearbeiten(g);
  }
}

}  // namespace

DbFehler SepaAuftragsleser::Lesen(Datenbank& db, const Bedingung& bedingung,
                                  const std::function<void(Gelesen&)>& bearbeiten) {
  Zeilenleser auftraege(db, AuftragsSql(bedingung), bedingung.parameter);
  Zeilenleser zeilen(db, ZeilenSql(bedingung), bedingung.parameter);
  bool zeileDa = zeilen.Naechste();
  if (zeilen.Fehler()) return zeilen.Fehler();

  // The work on the orders (texts as QString, the rules, the file form) runs beside the reading.
  const auto uebergabe = std::make_unique<Uebergabe>();
  std::jthread arbeiter([&] {
    Gelesen g;
    while (const std::unique_ptr<Stapel> stapel = uebergabe->Nehmen()) Bearbeiten(*stapel, bearbeiten, g);
  });
  auto stapel = std::make_unique<Stapel>();
  std::vector<Zeile_> liste;
  QByteArray zeilentexte;   // the lines' texts of one order as read
  DbFehler fehler;
  while (auftraege.Naechste()) {
    Eintrag e;
    QByteArray& t = stapel->texte;
    e.texte = t.size();
    auto text = [&](Eintrag::Text feld, QByteArrayView inhalt) {
      t.append(inhalt);
      e.ende[feld] = t.size() - e.texte;
    };
    e.zahlungNr = auftraege.Ganzzahl(0);
    text(Eintrag::Name, auftraege.Utf8(AuftragLesen::NameSpalte));
    text(Eintrag::Iban, auftraege.Utf8(2));
    text(Eintrag::Bic, auftraege.Utf8(3));
    e.betrag = auftraege.Betrag(4).value_or(Waehrung());
    text(Eintrag::Textschluessel, auftraege.Utf8(5));
    text(Eintrag::EinzelReferenz, auftraege.Utf8(6));
    text(Eintrag::MandatReferenz, auftraege.Utf8(7));
    e.mandatDatum = auftraege.Datum(8);
    e.mandatSequenz = auftraege.IstNull(9) ? 0 : int(auftraege.Ganzzahl(9));
    text(Eintrag::Verwendungszweck1, auftraege.Utf8(AuftragLesen::Verwendungszweck1Spalte));
    text(Eintrag::Art, auftraege.Utf8(11));
    e.faellig = auftraege.Datum(12);
    e.fehler = auftraege.Ganzzahl(AuftragLesen::Spaltenzahl) != 0;
    e.textNull = auftraege.IstNull(AuftragLesen::NameSpalte) || auftraege.IstNull(AuftragLesen::Verwendungszweck1Spalte);

    // Its lines: those before it belong to no order read (they cannot, as both queries have one condition).
    liste.clear();
    zeilentexte.truncate(0);
    for (qint64 nr; zeileDa && (nr = zeilen.Ganzzahl(0)) <= e.zahlungNr; zeileDa = zeilen.Naechste()) {
      if (nr < e.zahlungNr) continue;
      const QByteArrayView zeile = zeilen.Utf8(2);
      liste.push_back(Zeile_{zeilen.Ganzzahl(1), zeilentexte.size(), zeile.size(), zeilen.Betrag(3).value_or(Waehrung())});
      zeilentexte.append(zeile);
    }
    if ((fehler = zeilen.Fehler())) break;
    std::stable_sort(liste.begin(), liste.end(), [](const Zeile_& x, const Zeile_& y) { return x.lfdNr < y.lfdNr; });
    e.betraege = qsizetype(stapel->betraege.size());
    e.zeilenzahl = qsizetype(liste.size());
    Abdruck zeilenAbdruck;
    for (const Zeile_& z : liste) {
      const QByteArrayView zeile(zeilentexte.constData() + z.von, z.laenge);
      stapel->betraege.push_back(z.betrag);
      t += ' ';
      stapel->zeilentexte.emplace_back(t.size(), zeile.size());
      t.append(zeile);
      zeilenAbdruck.Text(zeile);
      zeilenAbdruck.Zahl(quint64(z.betrag.Roh()));
    }
    e.ende[Eintrag::Zeilen] = t.size() - e.texte;
    e.zeilenAbdruck = zeilenAbdruck.Wert();
    stapel->eintraege.push_back(e);
    if (stapel->eintraege.size() == Stapelgroesse) {
      uebergabe->Geben(std::move(stapel));
      stapel = std::make_unique<Stapel>();
    }
  }
  if (!stapel->eintraege.empty()) uebergabe->Geben(std::move(stapel));
  uebergabe->Geben(nullptr);
  arbeiter.join();
  if (fehler) return fehler;
  return auftraege.Fehler();
}
