#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "platform/db/Waehrung.h"

// The orders of one run as its files carry them, compact (about 200 bytes an order where a
// Zahlungsauftrag takes a kilobyte): per order its number, amount, mandate sequence and a fingerprint of
// what was read, and its texts already in the form the file writes them (converted to the payment
// character set, never cut; IBAN and BIC compacted, references trimmed, the mandate date as yyyy-mm-dd), as
// UTF-8 in blocks of memory shared by all orders. Only the selection's pre-check and the writer's guard
// fill it; the writer trusts what it holds.
class SepaAuftraege {
 public:
  enum Feld { Name, Iban, Bic, Textschluessel, EinzelReferenz, MandatReferenz, MandatDatum, Verwendung, Feldzahl };

  struct Auftrag {
    qint64 zahlungNr = 0;
    Waehrung betrag;
    int mandatSequenz = 0;
    quint64 fingerabdruck = 0;   // of the order as stored when it was read (SepaAuftragsleser)
    const char* texte = nullptr;
    std::array<quint32, Feldzahl> ende{};   // end of each text behind `texte`
  };

  // An order's values as stored: texts as UTF-8, the lines' texts each behind a blank (" line 1 line 2"),
  // empty when it has no lines (then Verwendungszweck1 is its remittance text).
  struct Roh {
    qint64 zahlungNr = 0;
    Waehrung betrag;
    int mandatSequenz = 0;
    std::optional<QDate> mandatDatum;
    quint64 fingerabdruck = 0;
    QByteArrayView name, iban, bic, textschluessel, einzelReferenz, mandatReferenz, verwendungszweck1;
    QByteArrayView zeilen;
    bool hatZeilen = false;
  };

  SepaAuftraege();
  SepaAuftraege(SepaAuftraege&&) noexcept;
  SepaAuftraege& operator=(SepaAuftraege&&) noexcept;
  ~SepaAuftraege();

  // Converts and appends one order.
  void Anhaengen(const Roh& roh);
  // The same of an order held as plain values (orders from elsewhere, already judged).
  void Anhaengen(const Zahlungsauftrag& auftrag);

  // Keeps only the orders for which `behalten` is true, then orders them by mandate sequence and number
  // (the order of the selection and of the files).
  void Auswaehlen(const std::function<bool(const Auftrag&)>& behalten);

  qsizetype Anzahl() const { return m_auftraege.size(); }
  const Auftrag& at(qsizetype i) const { return m_auftraege.at(i); }
  const QList<Auftrag>& Liste() const { return m_auftraege; }
  static QByteArrayView Text(const Auftrag& a, Feld feld) {
    const quint32 von = feld == 0 ? 0 : a.ende[feld - 1];
    return {a.texte + von, qsizetype(a.ende[feld] - von)};
  }
  QList<qint64> Nummern() const;

 private:
  QList<Auftrag> m_auftraege;
  std::vector<std::unique_ptr<char[]>> m_bloecke;
  qsizetype m_blockgroesse = 0;   // of the last block
  qsizetype m_belegt = 0;         // bytes used of it
  QByteArray m_arbeit;        // one order's texts while they are converted
};
