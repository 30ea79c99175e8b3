#include "sepafiles/core/SepaAuftraege.h"

#include <algorithm>
#include <cstring>

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/Iban.h"
#include "sepafiles/core/SepaText.h"

namespace {

constexpr qsizetype Blockgroesse = 1 << 20;

void DatumAnhaengen(QByteArray& ziel, const std::optional<QDate>& datum) {
  if (!datum) return;
  const int jahr = datum->year();
  if (jahr < 1000 || jahr > 9999) {
    ziel += datum->toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    return;
  }
  const int monat = datum->month();
  const int tag = datum->day();
  const char text[10] = {char('0' + jahr / 1000),     char('0' + jahr / 100 % 10), char('0' + jahr / 10 % 10),
                         char('0' + jahr % 10),       '-',                         char('0' + monat / 10),
                         char('0' + monat % 10),      '-',                         char('0' + tag / 10),
                         char('0' + tag % 10)};
  ziel.append(text, 10);
}

}  // namespace

SepaAuftraege::SepaAuftraege() = default;
SepaAuftraege::SepaAuftraege(SepaAuftraege&&) noexcept = default;
SepaAuftraege& SepaAuftraege::operator=(SepaAuftraege&&) noexcept = default;
SepaAuftraege::~SepaAuftraege() = default;

void SepaAuftraege::Anhaengen(const Roh& roh) {
  Auftrag a;
  a.zahlungNr = roh.zahlungNr;
  a.betrag = roh.betrag;
  a.mandatSequenz = roh.mandatSequenz;
  a.fingerabdruck = roh.fingerabdruck;

  QByteArray& t = m_arbeit;
  t.truncate(0);
  // Nothing is cut: only orders the rules passed come here, their name, purpose code and remittance text
  // within the file's lengths (Auftragspruefung).
  SepaText::GewandeltAnhaengen(t, roh.name);
  a.ende[Name] = quint32(t.size());
  Iban::TextAnhaengen(roh.iban, t);
  a.ende[Iban] = quint32(t.size());
  Bic::TextAnhaengen(roh.bic, t);
  a.ende[Bic] = quint32(t.size());
  SepaText::GewandeltAnhaengen(t, roh.textschluessel);
  a.ende[Textschluessel] = quint32(t.size());
  // References are identifiers the rules have judged: written as they stand, never converted.
  SepaText::GetrimmtAnhaengen(t, roh.einzelReferenz);
  a.ende[EinzelReferenz] = quint32(t.size());
  SepaText::GetrimmtAnhaengen(t, roh.mandatReferenz);
  a.ende[MandatReferenz] = quint32(t.size());
  DatumAnhaengen(t, roh.mandatDatum);
  a.ende[MandatDatum] = quint32(t.size());
  SepaText::GewandeltAnhaengen(t, roh.hatZeilen ? roh.zeilen : roh.verwendungszweck1);
  a.ende[Verwendung] = quint32(t.size());

  // Blocks never move: each order's texts stay where they were put.
  if (m_bloecke.empty() || t.size() > m_blockgroesse - m_belegt) {
    m_blockgroesse = std::max(Blockgroesse, t.size());
    m_bloecke.emplace_back(new char[size_t(m_blockgroesse)]);
    m_belegt = 0;
  }
  char* ziel = m_bloecke.back().get() + m_belegt;
  std::memcpy(ziel, t.constData(), size_t(t.size()));
  m_belegt += t.size();
  a.texte = ziel;
  m_auftraege.append(a);
}

void SepaAuftraege::Anhaengen(const Zahlungsauftrag& auftrag) {
  const QByteArray name = auftrag.Name.toUtf8(), iban = auftrag.IBAN.toUtf8(), bic = auftrag.BIC.toUtf8(),
                   code = auftrag.Textschluessel.toUtf8(), einzel = auftrag.EinzelReferenz.toUtf8(),
                   mandat = auftrag.MandatReferenz.toUtf8(), text1 = auftrag.Verwendungszweck1.toUtf8();
  QByteArray zeilen;
  for (const Auftragszeile& z : auftrag.Zeilen) zeilen += ' ' + z.Text.toUtf8();
  Roh roh;
  roh.zahlungNr = auftrag.ZahlungNr;
  roh.betrag = auftrag.Betrag;
  roh.mandatSequenz = auftrag.MandatSequenz;
  roh.mandatDatum = auftrag.MandatDatum;
  roh.name = name;
  roh.iban = iban;
  roh.bic = bic;
  roh.textschluessel = code;
  roh.einzelReferenz = einzel;
  roh.mandatReferenz = mandat;
  roh.verwendungszweck1 = text1;
  roh.zeilen = zeilen;
  roh.hatZeilen = !auftrag.Zeilen.isEmpty();
  Anhaengen(roh);
}

void SepaAuftraege::Auswaehlen(const std::function<bool(const Auftrag&)>& behalten) {
  m_auftraege.removeIf([&](const Auftrag& a) { return !behalten(a); });
  std::stable_sort(m_auftraege.begin(), m_auftraege.end(), [](const Auftrag& x, const Auftrag& y) {
    return x.mandatSequenz != y.mandatSequenz ? x.mandatSequenz < y.mandatSequenz : x.zahlungNr < y.zahlungNr;
  });
}

QList<qint64> SepaAuftraege::Nummern() const {
  QList<qint64> nummern;
  nummern.reserve(m_auftraege.size());
  for (const Auftrag& a : m_auftraege) nummern << a.zahlungNr;
  return nummern;
}
