#include "sepafiles/core/SepaDokument.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "zahlungsverkehr/Bic.h"
#include "zahlungsverkehr/GlaeubigerId.h"
#include "zahlungsverkehr/Iban.h"
#include "zahlungsverkehr/SepaKennung.h"
#include "common/Textfunktionen.h"
#include "sepafiles/core/SepaKalender.h"
#include "sepafiles/core/SepaText.h"
#include "sepafiles/core/SepaVorpruefung.h"

namespace {

constexpr int MaxId = 35;
constexpr qsizetype Block = 256 * 1024;

SepaErgebnis Abgelehnt(const QString& meldung) {
  SepaErgebnis ergebnis;
  ergebnis.Fehler = meldung;
  return ergebnis;
}

// The part of the message id that a generated id (PmtInfId, EndToEndId) begins with, so that it and an ending
// of `endung` characters fit in 35. Cut at the front: a reference is counted up at its end, and that end
// keeps the ids of a run's files and of runs after each other apart. A blank or "/" the cut leaves in front
// goes too, as no identifier may begin with one.
QByteArrayView IdKopf(QByteArrayView nachrichtenId, qsizetype endung) {
  const qsizetype platz = qsizetype(MaxId) - endung;
  if (nachrichtenId.size() <= platz) return nachrichtenId;
  QByteArrayView kopf = nachrichtenId.last(platz);
  while (!kopf.isEmpty() && (kopf.front() == ' ' || kopf.front() == '/')) kopf = kopf.sliced(1);
  return kopf;
}

// An order of another kind than the run's: the selection never hands one over.
bool ArtPasst(const Zahlungsauftrag& a, const SepaOptionen& optionen) {
  if (!optionen.IstLastschrift()) return a.Art == QLatin1String("G");
  const int basis = optionen.Art == SepaArt::FirmenLastschrift ? 10 : 0;
  return a.IstLastschrift() && a.MandatSequenz >= basis + 1 && a.MandatSequenz <= basis + 4;
}

// The document as bytes, copied into one buffer whose room is made sure of piece by piece (no QByteArray
// append per piece: a file holds some 60 pieces an order). Handed on in blocks.
class Text {
 public:
  explicit Text(qsizetype block) : m_block(block) {
    m_puffer.resize(block + 64 * 1024);
    m_p = m_puffer.data();
  }
  template <size_t N>
  Text& operator<<(const char (&literal)[N]) {
    return Roh(literal, N - 1);
  }
  Text& operator<<(QByteArrayView bytes) { return Roh(bytes.data(), bytes.size()); }
  Text& Zahl(qint64 zahl) {
    char ziffern[24];
    const int n = std::snprintf(ziffern, sizeof ziffern, "%lld", static_cast<long long>(zahl));
    return Roh(ziffern, n);
  }
  Text& Betrag(Waehrung betrag) {
    Platz(SepaText::BetragLaenge);
    m_p = SepaText::BetragSchreiben(m_p, betrag);
    return *this;
  }
  // <name>text</name>, the text escaped.
  template <size_t N>
  Text& Element(const char (&name)[N], QByteArrayView inhalt) {
    return Element(QByteArrayView(name, N - 1), inhalt);
  }
  Text& Element(QByteArrayView name, QByteArrayView inhalt) {
    *this << "<";
    Roh(name.data(), name.size()) << ">";
    if (SepaText::OhneMaskierung(inhalt)) {
      Roh(inhalt.data(), inhalt.size());
    } else {
      m_arbeit.truncate(0);
      SepaText::MaskiertAnhaengen(m_arbeit, inhalt);
      *this << QByteArrayView(m_arbeit);
    }
    *this << "</";
    return Roh(name.data(), name.size()) << ">";
  }
  // A generated id: IdKopf of the message id and the ending (both ASCII).
  template <size_t N>
  Text& Id(const char (&name)[N], QByteArrayView nachrichtenId, QByteArrayView endung) {
    char id[2 * MaxId];
    const QByteArrayView kopf = IdKopf(nachrichtenId, endung.size());
    std::memcpy(id, kopf.data(), size_t(kopf.size()));
    std::memcpy(id + kopf.size(), endung.data(), size_t(endung.size()));
    return Element(name, QByteArrayView(id, kopf.size() + endung.size()));
  }

  qsizetype Groesse() const { return m_p - m_puffer.constData(); }
  bool Voll() const { return Groesse() >= m_block; }
  QByteArrayView Inhalt() const { return {m_puffer.constData(), Groesse()}; }
  void Leeren() { m_p = m_puffer.data(); }

 private:
  Text& Roh(const char* daten, qsizetype n) {
    Platz(n);
    std::memcpy(m_p, daten, size_t(n));
    m_p += n;
    return *this;
  }
  void Platz(qsizetype n) {
    if (m_puffer.constData() + m_puffer.size() - m_p >= n) return;
    const qsizetype belegt = Groesse();
    m_puffer.resize(std::max(m_puffer.size() * 2, belegt + n));
    m_p = m_puffer.data() + belegt;
  }

  qsizetype m_block;
  QByteArray m_puffer;
  char* m_p = nullptr;
  QByteArray m_arbeit;
};

QString Summenmeldung() {
  return QStringLiteral("Die Summe der Zahlungen ist zu groß für die Kontrollsumme einer SEPA-Datei.\r"
                        "Bitte erstellen Sie die Datei mit weniger Zahlungen (z. B. über 'Fällig bis').");
}

QByteArray Datum(const QDate& tag) { return tag.toString(QStringLiteral("yyyy-MM-dd")).toLatin1(); }

// "-<block>-<row>": the ending of a generated end-to-end id.
QByteArray AutoEndung(int block, int zeile) {
  char text[32];
  return QByteArray(text, std::snprintf(text, sizeof text, "-%d-%d", block, zeile));
}

}  // namespace

// ---- the guard ----------------------------------------------------------------------------------------------

SepaDokument::Waechter::Waechter(const SepaOptionen& optionen, Mandatverlaeufe verlauf)
    : m_optionen(optionen), m_pruefung(optionen.Zeitpunkt.date(), std::move(verlauf)) {}

void SepaDokument::Waechter::Pruefen(const Zahlungsauftrag& a) {
  const qsizetype stelle = m_nummern.size();
  m_nummern << a.ZahlungNr;
  const QList<Befund> befunde = m_pruefung.Pruefen(a);
  Einwand e;
  e.zahlungNr = a.ZahlungNr;
  e.doppelt = m_gesehen.contains(a.ZahlungNr);
  m_gesehen.insert(a.ZahlungNr);
  if (!ArtPasst(a, m_optionen)) e.gruende << QStringLiteral("Die Zahlung passt nicht zur Zahlungsart der SEPA-Datei.");
  for (const Befund& b : befunde) e.gruende << b.Text;
  if (e.doppelt || !e.gruende.isEmpty()) m_einwaende.insert(stelle, e);
}

QString SepaDokument::Waechter::Meldung() const {
  QMap<qsizetype, Einwand> einwaende = m_einwaende;
  for (const auto& [stelle, befund] : m_pruefung.Laufbefunde()) {
    Einwand& e = einwaende[stelle];
    e.zahlungNr = m_nummern.at(stelle);
    e.gruende << befund.Text;
  }
  if (einwaende.isEmpty()) return {};
  const Einwand& erster = einwaende.first();
  if (erster.doppelt)
    return QStringLiteral("Die Zahlung Nr. %1 ist mehrfach in der Auswahl enthalten.").arg(erster.zahlungNr);
  return QStringLiteral("Die Zahlung Nr. %1 kann nicht in die SEPA-Datei geschrieben werden:\r%2")
      .arg(erster.zahlungNr)
      .arg(erster.gruende.join(QLatin1Char('\r')));
}

// ---- names ----------------------------------------------------------------------------------------------------

QString SepaDokument::Grunddateiname(SepaArt art) {
  switch (art) {
    case SepaArt::Ueberweisung: return QStringLiteral("SEPAGK.XML");
    case SepaArt::BasisLastschrift: return QStringLiteral("SEPALKBasis.XML");
    case SepaArt::FirmenLastschrift: return QStringLiteral("SEPALKFirmen.XML");
  }
  return {};
}

QString SepaDokument::Dateipraefix(const SepaAbsender& absender, const SepaOptionen& optionen) {
  if (!optionen.DateinameMitBemerkung) return {};
  const QString bemerkung = SepaText::DateinamenBemerkung(absender.Bemerkung);
  return bemerkung.isEmpty() ? QString() : bemerkung + QLatin1Char('_');
}

QStringList SepaDokument::MoeglicheDateinamen(const SepaAbsender& absender, const SepaOptionen& optionen) {
  const QString grundname = Dateipraefix(absender, optionen) + Grunddateiname(optionen.Art);
  QStringList namen{grundname};
  if (optionen.IstLastschrift()) {
    const QString stamm = grundname.left(grundname.size() - 4);
    for (int sequenz = 1; sequenz <= 4; ++sequenz) namen.append(stamm + Teilendung(sequenz));
  }
  return namen;
}

QString SepaDokument::Sequenztyp(int mandatSequenz) {
  switch (mandatSequenz % 10) {
    case 1: return QStringLiteral("OOFF");
    case 2: return QStringLiteral("FRST");
    case 3: return QStringLiteral("RCUR");
    case 4: return QStringLiteral("FNAL");
    default: return {};
  }
}

QString SepaDokument::Teilendung(int mandatSequenz) {
  switch (mandatSequenz % 10) {
    case 1: return QStringLiteral("Einmal.XML");
    case 2: return QStringLiteral("MehrfachErste.XML");
    case 3: return QStringLiteral("MehrfachFolge.XML");
    case 4: return QStringLiteral("MehrfachLetzte.XML");
    default: return QStringLiteral(".XML");
  }
}

// ---- plan -----------------------------------------------------------------------------------------------------

SepaDokument SepaDokument::Planen(std::shared_ptr<const SepaAuftraege> auftraege, const SepaAbsender& absender,
                                  const SepaOptionen& optionen, const QString& referenz, const Waechter* waechter) {
  SepaDokument d;
  d.m_auftraege = std::move(auftraege);
  d.m_optionen = optionen;
  auto abgelehnt = [&d](const QString& meldung) {
    d.m_ergebnis = Abgelehnt(meldung);
    return std::move(d);
  };
  if (!optionen.Zeitpunkt.isValid()) return abgelehnt(QStringLiteral("Für die SEPA-Datei fehlt der Erstellungszeitpunkt."));
  const QDate heute = optionen.Zeitpunkt.date();
  if (const QString meldung = SepaVorpruefung::ReferenzMeldung(referenz); !meldung.isEmpty()) return abgelehnt(meldung);
  if (!d.m_auftraege || d.m_auftraege->Anzahl() == 0)
    return abgelehnt(QStringLiteral("Es sind keine Zahlungen vorhanden, die in eine SEPA-Datei geschrieben werden können."));

  const bool lastschrift = optionen.IstLastschrift();
  const QString name = SepaText::Gewandelt(absender.Name);
  const Iban absenderIban(absender.IBAN);
  const Bic absenderBic(absender.BIC);
  const QString glaeubigerId = GlaeubigerId(absender.GlaeubigerID).Text();
  if (const auto mangel = SepaVorpruefung::AbsenderPruefen(absender, lastschrift); !mangel.feld.isEmpty())
    return abgelehnt(mangel.meldung);
  if (waechter) {
    if (const QString meldung = waechter->Meldung(); !meldung.isEmpty()) return abgelehnt(meldung);
  }
  d.m_absenderName = name.toUtf8();
  d.m_absenderIban = absenderIban.Text().toUtf8();
  d.m_absenderBic = absenderBic.Text().toUtf8();
  d.m_glaeubigerId = glaeubigerId.toUtf8();

  // The selection's order (MandatSequenz, ZahlungNr) for both kinds: it numbers the generated end-to-end
  // ids. Direct debits so form one consecutive group per type, OOFF, FRST, RCUR, FNAL; credit transfers
  // stay one block whatever sequence a payment carries.
  QList<const SepaAuftraege::Auftrag*>& reihe = d.m_reihe;
  reihe.reserve(d.m_auftraege->Anzahl());
  for (const SepaAuftraege::Auftrag& a : d.m_auftraege->Liste()) reihe.append(&a);
  const auto vorher = [](const SepaAuftraege::Auftrag* x, const SepaAuftraege::Auftrag* y) {
    return x->mandatSequenz != y->mandatSequenz ? x->mandatSequenz < y->mandatSequenz : x->zahlungNr < y->zahlungNr;
  };
  if (!std::is_sorted(reihe.cbegin(), reihe.cend(), vorher)) std::stable_sort(reihe.begin(), reihe.end(), vorher);
  QList<Gruppe> gruppen;
  for (qsizetype i = 0; i < reihe.size(); ++i) {
    const int sequenz = lastschrift ? reihe.at(i)->mandatSequenz : 0;
    if (gruppen.isEmpty() || gruppen.last().sequenz != sequenz) gruppen.append(Gruppe{sequenz, i, i, {}});
    gruppen.last().bis = i + 1;
    // Checked: a wrapped or saturated control sum would send a file whose totals are not its orders'.
    const std::optional<Waehrung> summe = Waehrung::Addiert(gruppen.last().summe, reihe.at(i)->betrag);
    if (!summe) return abgelehnt(Summenmeldung());
    gruppen.last().summe = *summe;
  }

  SepaErgebnis& ergebnis = d.m_ergebnis;
  d.m_buchungsdatum = lastschrift ? SepaKalender::Einzugsdatum(optionen.Vorlauftage, heute)
                                  : SepaKalender::Ausfuehrungsdatum(optionen.Ausfuehrungsdatum, heute);
  if (!lastschrift) ergebnis.Ausfuehrungsdatum = d.m_buchungsdatum;
  const QString praefix = Dateipraefix(absender, optionen);
  if (!praefix.isEmpty()) ergebnis.PdfDateiname = praefix + QStringLiteral("Zahlungsübersicht.pdf");
  const QString grundname = praefix + Grunddateiname(optionen.Art);
  QString nachrichtenId = SepaVorpruefung::NachrichtenId(referenz);

  // A file: its orders with the end-to-end id each gets.
  auto datei = [&](const QString& dateiname, const QList<Gruppe>& enthalten) {
    SepaDatei s;
    s.Dateiname = dateiname;
    s.NachrichtenId = nachrichtenId;
    s.Buchungsdatum = d.m_buchungsdatum;
    const QByteArray id = nachrichtenId.toUtf8();
    QByteArray e2e;
    int zeile = 1;
    for (qsizetype g = 0; g < enthalten.size(); ++g) {
      const Gruppe& gruppe = enthalten.at(g);
      for (qsizetype i = gruppe.von; i < gruppe.bis; ++i, ++zeile) {
        const SepaAuftraege::Auftrag& a = *reihe.at(i);
        s.ZahlungNummern.append(a.zahlungNr);
        e2e.truncate(0);
        QByteArrayView eigene = SepaAuftraege::Text(a, SepaAuftraege::EinzelReferenz);
        if (!eigene.isEmpty()) {
          e2e.append(eigene);
        } else if (optionen.AutoEinzelReferenz) {
          const QByteArray endung = AutoEndung(int(g + 1), zeile);
          e2e.append(IdKopf(id, endung.size()));
          e2e.append(endung);
        } else {
          e2e.append("NOTPROVIDED");
        }
        s.EndToEndIds.append(QString::fromUtf8(e2e));
      }
      s.Anzahl += int(gruppe.bis - gruppe.von);
      const std::optional<Waehrung> summe = Waehrung::Addiert(s.Kontrollsumme, gruppe.summe);
      if (!summe || !SepaFormate::KontrollsummePasst(optionen.Format, gruppe.summe) ||
          !SepaFormate::KontrollsummePasst(optionen.Format, *summe))
        return false;
      s.Kontrollsumme = *summe;
    }
    ergebnis.Dateien.append(std::move(s));
    d.m_inhalte.append(Dateiinhalt{enthalten});
    return true;
  };

  if (lastschrift && optionen.AufteilenNachMandatArt) {
    QStringList benutzt;
    for (qsizetype i = 0; i < gruppen.size(); ++i) {
      const Gruppe& g = gruppen.at(i);
      if (i > 0) {
        const QString naechste = SepaVorpruefung::NachrichtenId(NummerErhoehen(nachrichtenId, false).toString());
        if (!SepaKennung(naechste).Gueltig() || benutzt.contains(naechste))
          return abgelehnt(
              QStringLiteral("Die Referenz-Angabe \"%1\" kann für die weiteren SEPA-Dateien nicht hochgezählt werden.")
                  .arg(nachrichtenId));
        nachrichtenId = naechste;
      }
      benutzt.append(nachrichtenId);
      QString dateiname = grundname;
      dateiname.chop(4);  // ".XML"
      if (!datei(dateiname + Teilendung(g.sequenz), {g})) return abgelehnt(Summenmeldung());
    }
  } else if (!datei(grundname, gruppen)) {
    return abgelehnt(Summenmeldung());
  }
  ergebnis.Referenz = nachrichtenId;
  return d;
}

// ---- writing --------------------------------------------------------------------------------------------------

DateiFehler SepaDokument::Schreiben(qsizetype dateiNr, const std::function<DateiFehler(QByteArrayView)>& ausgabe) const {
  const SepaDatei& datei = m_ergebnis.Dateien.at(dateiNr);
  const Dateiinhalt& inhalt = m_inhalte.at(dateiNr);
  const bool lastschrift = m_optionen.IstLastschrift();
  const QByteArray id = datei.NachrichtenId.toUtf8();
  const QByteArray buchungsdatum = Datum(m_buchungsdatum);
  const QByteArray format = SepaFormate::Nachricht(m_optionen.Format, lastschrift).toLatin1();
  const QByteArray bicElement = SepaFormate::BicElement(m_optionen.Format);

  Text t(Block);
  DateiFehler fehler;
  auto abgeben = [&](bool zumSchluss) {
    if (fehler || (!zumSchluss && !t.Voll())) return;
    fehler = ausgabe(t.Inhalt());
    t.Leeren();
  };

  t << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:" << format
    << "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\"urn:iso:std:iso:20022:tech:xsd:"
    << format << " " << format << ".xsd\">" << QByteArrayView(lastschrift ? "<CstmrDrctDbtInitn>" : "<CstmrCdtTrfInitn>");
  const QDateTime& z = m_optionen.Zeitpunkt;
  t << "<GrpHdr>";
  t.Element("MsgId", id);
  t << "<CreDtTm>" << Datum(z.date()) << "T" << z.time().toString(QStringLiteral("HH:mm:ss")).toLatin1()
    << "</CreDtTm><NbOfTxs>";
  t.Zahl(datei.Anzahl) << "</NbOfTxs><CtrlSum>";
  t.Betrag(datei.Kontrollsumme) << "</CtrlSum><InitgPty>";
  t.Element("Nm", m_absenderName) << "</InitgPty></GrpHdr>";

  int zeile = 1;
  for (qsizetype blockNr = 1; blockNr <= inhalt.gruppen.size(); ++blockNr) {
    const Gruppe& g = inhalt.gruppen.at(blockNr - 1);
    t << "<PmtInf>";
    t.Id("PmtInfId", id, '-' + QByteArray::number(blockNr));
    t << "<PmtMtd>" << QByteArrayView(lastschrift ? "DD" : "TRF") << "</PmtMtd><BtchBookg>"
      << QByteArrayView(m_optionen.Sammelbuchung ? "true" : "false") << "</BtchBookg><NbOfTxs>";
    t.Zahl(g.bis - g.von) << "</NbOfTxs><CtrlSum>";
    t.Betrag(g.summe) << "</CtrlSum><PmtTpInf><SvcLvl><Cd>SEPA</Cd></SvcLvl>";
    if (lastschrift) {
      t << "<LclInstrm><Cd>" << QByteArrayView(m_optionen.Art == SepaArt::FirmenLastschrift ? "B2B" : "CORE")
        << "</Cd></LclInstrm>";
      t.Element("SeqTp", Sequenztyp(g.sequenz).toLatin1()) << "</PmtTpInf>";
      t.Element("ReqdColltnDt", buchungsdatum) << "<Cdtr>";
      t.Element("Nm", m_absenderName) << "</Cdtr><CdtrAcct><Id>";
      t.Element("IBAN", m_absenderIban) << "</Id></CdtrAcct><CdtrAgt><FinInstnId>";
    } else {
      t << "</PmtTpInf>";
      if (SepaFormate::AusfuehrungsdatumInDt(m_optionen.Format))
        t << "<ReqdExctnDt><Dt>" << buchungsdatum << "</Dt></ReqdExctnDt><Dbtr>";
      else
        t.Element("ReqdExctnDt", buchungsdatum) << "<Dbtr>";
      t.Element("Nm", m_absenderName) << "</Dbtr><DbtrAcct><Id>";
      t.Element("IBAN", m_absenderIban) << "</Id></DbtrAcct><DbtrAgt><FinInstnId>";
    }
    if (m_absenderBic.isEmpty())
      t << "<Othr><Id>NOTPROVIDED</Id></Othr>";
    else
      t.Element(bicElement, m_absenderBic);
    if (lastschrift) {
      t << "</FinInstnId></CdtrAgt><ChrgBr>SLEV</ChrgBr><CdtrSchmeId><Id><PrvtId><Othr>";
      t.Element("Id", m_glaeubigerId) << "<SchmeNm><Prtry>SEPA</Prtry></SchmeNm></Othr></PrvtId></Id></CdtrSchmeId>";
    } else {
      t << "</FinInstnId></DbtrAgt><ChrgBr>SLEV</ChrgBr>";
    }

    for (qsizetype i = g.von; i < g.bis; ++i, ++zeile) {
      const SepaAuftraege::Auftrag& a = *m_reihe.at(i);
      auto text = [&a](SepaAuftraege::Feld feld) { return SepaAuftraege::Text(a, feld); };
      t << QByteArrayView(lastschrift ? "<DrctDbtTxInf><PmtId>" : "<CdtTrfTxInf><PmtId>");
      if (!text(SepaAuftraege::EinzelReferenz).isEmpty())
        t.Element("EndToEndId", text(SepaAuftraege::EinzelReferenz));
      else if (m_optionen.AutoEinzelReferenz)
        t.Id("EndToEndId", id, AutoEndung(int(blockNr), zeile));
      else
        t << "<EndToEndId>NOTPROVIDED</EndToEndId>";
      const QByteArrayView bic = text(SepaAuftraege::Bic);
      if (lastschrift) {
        t << "</PmtId><InstdAmt Ccy=\"EUR\">";
        t.Betrag(a.betrag) << "</InstdAmt><DrctDbtTx><MndtRltdInf>";
        t.Element("MndtId", text(SepaAuftraege::MandatReferenz));
        t.Element("DtOfSgntr", text(SepaAuftraege::MandatDatum))
            << "<AmdmntInd>false</AmdmntInd></MndtRltdInf></DrctDbtTx><DbtrAgt><FinInstnId>";
        if (bic.isEmpty())
          t << "<Othr><Id>NOTPROVIDED</Id></Othr>";
        else
          t.Element(bicElement, bic);
        t << "</FinInstnId></DbtrAgt><Dbtr>";
        t.Element("Nm", text(SepaAuftraege::Name)) << "</Dbtr><DbtrAcct><Id>";
        t.Element("IBAN", text(SepaAuftraege::Iban)) << "</Id></DbtrAcct>";
      } else {
        t << "</PmtId><Amt><InstdAmt Ccy=\"EUR\">";
        t.Betrag(a.betrag) << "</InstdAmt></Amt>";
        if (!bic.isEmpty()) {
          t << "<CdtrAgt><FinInstnId>";
          t.Element(bicElement, bic) << "</FinInstnId></CdtrAgt>";
        }
        t << "<Cdtr>";
        t.Element("Nm", text(SepaAuftraege::Name)) << "</Cdtr><CdtrAcct><Id>";
        t.Element("IBAN", text(SepaAuftraege::Iban)) << "</Id></CdtrAcct>";
        if (!text(SepaAuftraege::Textschluessel).isEmpty()) {
          t << "<Purp>";
          t.Element("Cd", text(SepaAuftraege::Textschluessel)) << "</Purp>";
        }
      }
      if (!text(SepaAuftraege::Verwendung).isEmpty()) {
        t << "<RmtInf>";
        t.Element("Ustrd", text(SepaAuftraege::Verwendung)) << "</RmtInf>";
      }
      t << QByteArrayView(lastschrift ? "</DrctDbtTxInf>" : "</CdtTrfTxInf>");
      abgeben(false);
    }
    t << "</PmtInf>";
  }
  t << QByteArrayView(lastschrift ? "</CstmrDrctDbtInitn>" : "</CstmrCdtTrfInitn>") << "</Document>";
  abgeben(true);
  return fehler;
}

// ---- orders from elsewhere, in memory -------------------------------------------------------------------------

SepaErgebnis SepaDokument::Bauen(const QList<Zahlungsauftrag>& auftraege, const SepaAbsender& absender,
                                 const SepaOptionen& optionen, const QString& referenz) {
  auto kompakt = std::make_shared<SepaAuftraege>();
  Waechter waechter(optionen);
  for (const Zahlungsauftrag& a : auftraege) {
    waechter.Pruefen(a);
    kompakt->Anhaengen(a);
  }
  const SepaDokument d = Planen(kompakt, absender, optionen, referenz, &waechter);
  if (!d.Ergebnis().Ok()) return d.Ergebnis();
  SepaErgebnis ergebnis = d.Ergebnis();
  for (qsizetype i = 0; i < ergebnis.Dateien.size(); ++i) {
    QByteArray& inhalt = ergebnis.Dateien[i].Inhalt;
    d.Schreiben(i, [&inhalt](QByteArrayView block) {
      inhalt.append(block);
      return DateiFehler{};
    });
  }
  return ergebnis;
}
