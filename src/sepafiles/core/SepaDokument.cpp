#include "sepafiles/core/SepaDokument.h"

#include <QSet>

#include <algorithm>

#include "common/Auftragspruefung.h"
#include "common/Bic.h"
#include "common/GlaeubigerId.h"
#include "common/Iban.h"
#include "common/SepaKennung.h"
#include "common/Textfunktionen.h"
#include "sepafiles/core/SepaKalender.h"
#include "sepafiles/core/SepaText.h"
#include "sepafiles/core/SepaVorpruefung.h"

namespace {

constexpr int MaxId = 35;
constexpr int MaxName = 70;
constexpr int MaxText = 140;

const QString NichtAngegeben = QStringLiteral("NOTPROVIDED");

QString Element(QLatin1String name, const QString& inhalt) {
  return QLatin1Char('<') + name + QLatin1Char('>') + SepaText::XmlMaskieren(inhalt) + QLatin1String("</") + name +
         QLatin1Char('>');
}

// Generated ids keep their counters; the message-id part gives way when the whole would pass 35.
QString IdMitEndung(const QString& nachrichtenId, const QString& endung) {
  return nachrichtenId.left(MaxId - endung.size()) + endung;
}

QString Agent(QLatin1String name, const QString& bic) {
  const QString inhalt = bic.isEmpty() ? QStringLiteral("<Othr><Id>NOTPROVIDED</Id></Othr>")
                                       : Element(QLatin1String("BIC"), bic);
  return QLatin1Char('<') + name + QLatin1String("><FinInstnId>") + inhalt + QLatin1String("</FinInstnId></") + name +
         QLatin1Char('>');
}

QString Datum(const QDate& tag) { return tag.toString(QStringLiteral("yyyy-MM-dd")); }

// The remittance text: the lines joined by blanks, or Verwendungszweck1 when there are none.
QString Verwendungstext(const Zahlungsauftrag& a) {
  if (a.Zeilen.isEmpty()) return SepaText::Gewandelt(a.Verwendungszweck1, MaxText);
  QString text;
  for (const Auftragszeile& zeile : a.Zeilen) text += QLatin1Char(' ') + zeile.Text;
  return SepaText::Gewandelt(text, MaxText);
}

struct Absenderwerte {
  QString name;
  QString iban;
  QString bic;
  QString glaeubigerId;
};

struct Gruppe {
  int sequenz = 0;
  QList<const Zahlungsauftrag*> auftraege;
  Waehrung summe;
};

class Schreiber {
 public:
  Schreiber(const SepaOptionen& optionen, const Absenderwerte& absender, const QDate& buchungsdatum)
      : m_optionen(optionen), m_absender(absender), m_buchungsdatum(buchungsdatum),
        m_lastschrift(optionen.IstLastschrift()) {}

  QString Kopf() const {
    const QString format = m_lastschrift ? QStringLiteral("pain.008.001.02") : QStringLiteral("pain.001.001.03");
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") +
           QStringLiteral("<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:") + format +
           QStringLiteral("\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"") +
           QStringLiteral(" xsi:schemaLocation=\"urn:iso:std:iso:20022:tech:xsd:") + format + QLatin1Char(' ') + format +
           QStringLiteral(".xsd\">") +
           (m_lastschrift ? QStringLiteral("<CstmrDrctDbtInitn>") : QStringLiteral("<CstmrCdtTrfInitn>"));
  }

  QString Ende() const {
    return (m_lastschrift ? QStringLiteral("</CstmrDrctDbtInitn>") : QStringLiteral("</CstmrCdtTrfInitn>")) +
           QStringLiteral("</Document>");
  }

  QString Gruppenkopf(const QString& nachrichtenId, int anzahl, Waehrung summe) const {
    const QDateTime& z = m_optionen.Zeitpunkt;
    return QStringLiteral("<GrpHdr>") + Element(QLatin1String("MsgId"), nachrichtenId) + QStringLiteral("<CreDtTm>") +
           Datum(z.date()) + QLatin1Char('T') + z.time().toString(QStringLiteral("HH:mm:ss")) +
           QStringLiteral("</CreDtTm><NbOfTxs>") + QString::number(anzahl) + QStringLiteral("</NbOfTxs><CtrlSum>") +
           SepaText::Betrag(summe) + QStringLiteral("</CtrlSum><InitgPty>") +
           Element(QLatin1String("Nm"), m_absender.name) + QStringLiteral("</InitgPty></GrpHdr>");
  }

  // One transaction; `autoId` is the id made when the order has no end-to-end reference. Returns
  // the end-to-end id written.
  QString Buchung(QString& ziel, const Zahlungsauftrag& a, const QString& autoId) const {
    // References are identifiers the rules have judged: written as they stand, never converted.
    QString e2e = a.EinzelReferenz.trimmed();
    if (e2e.isEmpty()) e2e = m_optionen.AutoEinzelReferenz ? autoId : NichtAngegeben;
    const QString name = SepaText::Gewandelt(a.Name, MaxName);
    const QString iban = Iban(a.IBAN).Text();
    const QString bic = Bic(a.BIC).Text();
    const QString text = Verwendungstext(a);
    const QString betrag = SepaText::Betrag(a.Betrag);

    if (m_lastschrift) {
      ziel += QStringLiteral("<DrctDbtTxInf><PmtId>") + Element(QLatin1String("EndToEndId"), e2e) +
              QStringLiteral("</PmtId><InstdAmt Ccy=\"EUR\">") + betrag +
              QStringLiteral("</InstdAmt><DrctDbtTx><MndtRltdInf>") +
              Element(QLatin1String("MndtId"), a.MandatReferenz.trimmed()) +
              Element(QLatin1String("DtOfSgntr"), a.MandatDatum ? Datum(*a.MandatDatum) : QString()) +
              QStringLiteral("<AmdmntInd>false</AmdmntInd></MndtRltdInf></DrctDbtTx>") +
              Agent(QLatin1String("DbtrAgt"), bic) + QStringLiteral("<Dbtr>") + Element(QLatin1String("Nm"), name) +
              QStringLiteral("</Dbtr><DbtrAcct><Id>") + Element(QLatin1String("IBAN"), iban) +
              QStringLiteral("</Id></DbtrAcct>");
      if (!text.isEmpty())
        ziel += QStringLiteral("<RmtInf>") + Element(QLatin1String("Ustrd"), text) + QStringLiteral("</RmtInf>");
      ziel += QStringLiteral("</DrctDbtTxInf>");
      return e2e;
    }

    ziel += QStringLiteral("<CdtTrfTxInf><PmtId>") + Element(QLatin1String("EndToEndId"), e2e) +
            QStringLiteral("</PmtId><Amt><InstdAmt Ccy=\"EUR\">") + betrag + QStringLiteral("</InstdAmt></Amt>");
    if (!bic.isEmpty())
      ziel += QStringLiteral("<CdtrAgt><FinInstnId>") + Element(QLatin1String("BIC"), bic) +
              QStringLiteral("</FinInstnId></CdtrAgt>");
    ziel += QStringLiteral("<Cdtr>") + Element(QLatin1String("Nm"), name) + QStringLiteral("</Cdtr><CdtrAcct><Id>") +
            Element(QLatin1String("IBAN"), iban) + QStringLiteral("</Id></CdtrAcct>");
    const QString code = SepaText::Gewandelt(a.Textschluessel, 4);
    if (!code.isEmpty())
      ziel += QStringLiteral("<Purp>") + Element(QLatin1String("Cd"), code) + QStringLiteral("</Purp>");
    if (!text.isEmpty())
      ziel += QStringLiteral("<RmtInf>") + Element(QLatin1String("Ustrd"), text) + QStringLiteral("</RmtInf>");
    ziel += QStringLiteral("</CdtTrfTxInf>");
    return e2e;
  }

  // Appends one payment block; its counts and sums are known beforehand, so the transactions go
  // straight into the document. `ersteZeile` is the run row number (or file position) of its first order.
  // `endToEnd` receives the end-to-end id written for each order.
  void Zahlungsblock(QString& ziel, const QString& nachrichtenId, int blockNr, const Gruppe& gruppe, int ersteZeile,
                     QHash<qint64, QString>& endToEnd) const {
    ziel += QStringLiteral("<PmtInf>") +
            Element(QLatin1String("PmtInfId"), IdMitEndung(nachrichtenId, QLatin1Char('-') + QString::number(blockNr))) +
            QStringLiteral("<PmtMtd>") + (m_lastschrift ? QStringLiteral("DD") : QStringLiteral("TRF")) +
            QStringLiteral("</PmtMtd><BtchBookg>") +
            (m_optionen.Sammelbuchung ? QStringLiteral("true") : QStringLiteral("false")) +
            QStringLiteral("</BtchBookg><NbOfTxs>") + QString::number(gruppe.auftraege.size()) +
            QStringLiteral("</NbOfTxs><CtrlSum>") + SepaText::Betrag(gruppe.summe) +
            QStringLiteral("</CtrlSum><PmtTpInf><SvcLvl><Cd>SEPA</Cd></SvcLvl>");
    if (m_lastschrift) {
      ziel += QStringLiteral("<LclInstrm><Cd>") +
              (m_optionen.Art == SepaArt::FirmenLastschrift ? QStringLiteral("B2B") : QStringLiteral("CORE")) +
              QStringLiteral("</Cd></LclInstrm>") + Element(QLatin1String("SeqTp"), SepaDokument::Sequenztyp(gruppe.sequenz)) +
              QStringLiteral("</PmtTpInf>") + Element(QLatin1String("ReqdColltnDt"), Datum(m_buchungsdatum)) +
              QStringLiteral("<Cdtr>") + Element(QLatin1String("Nm"), m_absender.name) +
              QStringLiteral("</Cdtr><CdtrAcct><Id>") + Element(QLatin1String("IBAN"), m_absender.iban) +
              QStringLiteral("</Id></CdtrAcct>") + Agent(QLatin1String("CdtrAgt"), m_absender.bic) +
              QStringLiteral("<ChrgBr>SLEV</ChrgBr><CdtrSchmeId><Id><PrvtId><Othr>") +
              Element(QLatin1String("Id"), m_absender.glaeubigerId) +
              QStringLiteral("<SchmeNm><Prtry>SEPA</Prtry></SchmeNm></Othr></PrvtId></Id></CdtrSchmeId>");
    } else {
      ziel += QStringLiteral("</PmtTpInf>") + Element(QLatin1String("ReqdExctnDt"), Datum(m_buchungsdatum)) +
              QStringLiteral("<Dbtr>") + Element(QLatin1String("Nm"), m_absender.name) +
              QStringLiteral("</Dbtr><DbtrAcct><Id>") + Element(QLatin1String("IBAN"), m_absender.iban) +
              QStringLiteral("</Id></DbtrAcct>") + Agent(QLatin1String("DbtrAgt"), m_absender.bic) +
              QStringLiteral("<ChrgBr>SLEV</ChrgBr>");
    }
    int zeile = ersteZeile;
    const QString blockEndung = QLatin1Char('-') + QString::number(blockNr) + QLatin1Char('-');
    for (const Zahlungsauftrag* a : gruppe.auftraege)
      endToEnd.insert(a->ZahlungNr, Buchung(ziel, *a, IdMitEndung(nachrichtenId, blockEndung + QString::number(zeile++))));
    ziel += QStringLiteral("</PmtInf>");
  }

 private:
  const SepaOptionen& m_optionen;
  const Absenderwerte& m_absender;
  QDate m_buchungsdatum;
  bool m_lastschrift;
};

// An order of another kind than the run's: the selection never hands one over.
bool ArtPasst(const Zahlungsauftrag& a, const SepaOptionen& optionen) {
  if (!optionen.IstLastschrift()) return a.Art == QLatin1String("G");
  const int basis = optionen.Art == SepaArt::FirmenLastschrift ? 10 : 0;
  return a.IstLastschrift() && a.MandatSequenz >= basis + 1 && a.MandatSequenz <= basis + 4;
}

SepaErgebnis Abgelehnt(const QString& meldung) {
  SepaErgebnis ergebnis;
  ergebnis.Fehler = meldung;
  return ergebnis;
}

}  // namespace

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

SepaErgebnis SepaDokument::Bauen(const QList<Zahlungsauftrag>& auftraege, const SepaAbsender& absender,
                                 const SepaOptionen& optionen, const QString& referenz) {
  if (!optionen.Zeitpunkt.isValid()) return Abgelehnt(QStringLiteral("Für die SEPA-Datei fehlt der Erstellungszeitpunkt."));
  const QDate heute = optionen.Zeitpunkt.date();
  if (const QString meldung = SepaVorpruefung::ReferenzMeldung(referenz); !meldung.isEmpty()) return Abgelehnt(meldung);
  if (auftraege.isEmpty())
    return Abgelehnt(QStringLiteral("Es sind keine Zahlungen vorhanden, die in eine SEPA-Datei geschrieben werden können."));

  const bool lastschrift = optionen.IstLastschrift();
  Absenderwerte werte;
  werte.name = SepaText::Gewandelt(absender.Name, MaxName);
  const Iban absenderIban(absender.IBAN);
  const Bic absenderBic(absender.BIC);
  werte.iban = absenderIban.Text();
  werte.bic = absenderBic.Text();
  werte.glaeubigerId = GlaeubigerId(absender.GlaeubigerID).Text();
  if (werte.name.isEmpty()) return Abgelehnt(QStringLiteral("Bei den Absender-Angaben fehlt der Name."));
  if (const Iban::Fehler f = absenderIban.Pruefen(); f != Iban::Fehler::Keiner)
    return Abgelehnt(QStringLiteral("Die IBAN des Absenders ist ungültig:\r") + Iban::Meldung(f));
  if (!absenderBic.IstLeer() && !absenderBic.Gueltig())
    return Abgelehnt(QStringLiteral("Die BIC des Absenders ist ungültig:\r") + Bic::Meldung(absenderBic.Pruefen()));
  if (lastschrift) {
    if (const QString meldung = SepaVorpruefung::GlaeubigerIdMeldung(werte.glaeubigerId); !meldung.isEmpty())
      return Abgelehnt(meldung);
  }

  QSet<qint64> nummern;
  nummern.reserve(auftraege.size());
  const QList<QList<Befund>> befunde = Auftragspruefung::LaufPruefen(auftraege, heute);
  for (qsizetype i = 0; i < auftraege.size(); ++i) {
    const Zahlungsauftrag& a = auftraege.at(i);
    if (nummern.contains(a.ZahlungNr))
      return Abgelehnt(QStringLiteral("Die Zahlung Nr. %1 ist mehrfach in der Auswahl enthalten.").arg(a.ZahlungNr));
    nummern.insert(a.ZahlungNr);
    QStringList gruende;
    if (!ArtPasst(a, optionen)) gruende << QStringLiteral("Die Zahlung passt nicht zur Zahlungsart der SEPA-Datei.");
    for (const Befund& b : befunde.at(i)) gruende << b.Text;
    if (!gruende.isEmpty())
      return Abgelehnt(QStringLiteral("Die Zahlung Nr. %1 kann nicht in die SEPA-Datei geschrieben werden:\r%2")
                           .arg(a.ZahlungNr)
                           .arg(gruende.join(QLatin1Char('\r'))));
  }

  // The selection's order (MandatSequenz, ZahlungNr) for both kinds: it numbers the generated
  // end-to-end ids. Direct debits so form one consecutive group per type, OOFF, FRST, RCUR, FNAL;
  // credit transfers stay one block whatever sequence a payment carries.
  QList<const Zahlungsauftrag*> reihe;
  reihe.reserve(auftraege.size());
  for (const Zahlungsauftrag& a : auftraege) reihe.append(&a);
  std::stable_sort(reihe.begin(), reihe.end(), [](const Zahlungsauftrag* x, const Zahlungsauftrag* y) {
    if (x->MandatSequenz != y->MandatSequenz) return x->MandatSequenz < y->MandatSequenz;
    return x->ZahlungNr < y->ZahlungNr;
  });
  QList<Gruppe> gruppen;
  for (const Zahlungsauftrag* a : reihe) {
    const int sequenz = lastschrift ? a->MandatSequenz : 0;
    if (gruppen.isEmpty() || gruppen.last().sequenz != sequenz) gruppen.append(Gruppe{sequenz, {}, {}});
    gruppen.last().auftraege.append(a);
    gruppen.last().summe += a->Betrag;
  }

  SepaErgebnis ergebnis;
  const QDate buchungsdatum = lastschrift ? SepaKalender::Einzugsdatum(optionen.Vorlauftage, heute)
                                          : SepaKalender::Ausfuehrungsdatum(optionen.Ausfuehrungsdatum, heute);
  if (!lastschrift) ergebnis.Ausfuehrungsdatum = buchungsdatum;

  const QString praefix = Dateipraefix(absender, optionen);
  if (!praefix.isEmpty()) ergebnis.PdfDateiname = praefix + QStringLiteral("Zahlungsübersicht.pdf");
  const QString grundname = praefix + Grunddateiname(optionen.Art);

  const Schreiber schreiber(optionen, werte, buchungsdatum);
  const QString kopf = schreiber.Kopf();
  QString nachrichtenId = SepaVorpruefung::NachrichtenId(referenz);

  QHash<qint64, QString> endToEnd;
  auto dateiAnhaengen = [&](const QString& name, const QString& text, const QList<const Gruppe*>& enthalten) {
    SepaDatei datei;
    datei.Dateiname = name;
    datei.Inhalt = text.toUtf8();
    datei.NachrichtenId = nachrichtenId;
    datei.Buchungsdatum = buchungsdatum;
    for (const Gruppe* g : enthalten) {
      for (const Zahlungsauftrag* a : g->auftraege) {
        datei.ZahlungNummern.append(a->ZahlungNr);
        datei.EndToEndIds.append(endToEnd.value(a->ZahlungNr));
      }
      datei.Anzahl += int(g->auftraege.size());
      datei.Kontrollsumme += g->summe;
    }
    ergebnis.Dateien.append(std::move(datei));
  };

  if (lastschrift && optionen.AufteilenNachMandatArt) {
    QStringList benutzt;
    for (qsizetype i = 0; i < gruppen.size(); ++i) {
      const Gruppe& g = gruppen.at(i);
      if (i > 0) {
        const QString naechste = SepaVorpruefung::NachrichtenId(NummerErhoehen(nachrichtenId, false).toString());
        if (!SepaKennung(naechste).Gueltig() || benutzt.contains(naechste))
          return Abgelehnt(
              QStringLiteral("Die Referenz-Angabe \"%1\" kann für die weiteren SEPA-Dateien nicht hochgezählt werden.")
                  .arg(nachrichtenId));
        nachrichtenId = naechste;
      }
      benutzt.append(nachrichtenId);
      QString text = kopf + schreiber.Gruppenkopf(nachrichtenId, int(g.auftraege.size()), g.summe);
      schreiber.Zahlungsblock(text, nachrichtenId, 1, g, 1, endToEnd);
      text += schreiber.Ende();
      QString name = grundname;
      name.chop(4);  // ".XML"
      dateiAnhaengen(name + Teilendung(g.sequenz), text, {&g});
    }
  } else {
    Waehrung gesamt;
    for (const Gruppe& g : gruppen) gesamt += g.summe;
    QString text = kopf + schreiber.Gruppenkopf(nachrichtenId, int(reihe.size()), gesamt);
    int zeile = 1;
    QList<const Gruppe*> enthalten;
    for (qsizetype i = 0; i < gruppen.size(); ++i) {
      schreiber.Zahlungsblock(text, nachrichtenId, int(i + 1), gruppen.at(i), zeile, endToEnd);
      zeile += int(gruppen.at(i).auftraege.size());
      enthalten.append(&gruppen.at(i));
    }
    text += schreiber.Ende();
    dateiAnhaengen(grundname, text, enthalten);
  }

  ergebnis.Referenz = nachrichtenId;
  return ergebnis;
}
