#include "import/core/MandatFueller.h"

#include "zahlungsverkehr/MandatSequenz.h"
#include "payments/core/Zahlungsempfaenger.h"
#include "platform/db/Wertumwandlung.h"

MandatDaten MandatDatenFuellen(const QVariant& referenz, const QVariant& datum, const QVariant& sequenzText,
                               const Adressfeld& adresse, const MandatOptionen& o, Zahlart formularZahlart,
                               const QString& konto, const SequenzSuche& suche, DbFehler& fehler) {
  fehler = {};
  MandatDaten m;
  m.referenz = TextAusWert(referenz);
  if (m.referenz.isEmpty() && o.referenzBelegen) {
    QString text;
    if (!o.datenfeldReferenz.isEmpty()) text = TextAusWert(adresse(o.datenfeldReferenz));
    m.referenz = text + o.fixtext;
  }

  m.datum = DatumAusWert(datum);
  if (!m.datum && o.datumBelegen)
    m.datum = o.datenfeldDatum.isEmpty() ? o.fixdatum : DatumAusWert(adresse(o.datenfeldDatum));

  const int gelesen = FuehrendeZahl(TextAusWert(sequenzText));
  m.sequenz = gelesen;
  if (gelesen == 5 || gelesen == 15) {
    const std::optional<bool> frueher = suche(konto, m.referenz, gelesen, fehler);
    if (!frueher) return m;
    m.sequenz = gelesen - (*frueher ? 2 : 3);
  } else if (gelesen == 0) {
    if (formularZahlart == Zahlart::BasisLastschrift) m.sequenz = 1;
    else if (formularZahlart == Zahlart::FirmenLastschrift) m.sequenz = 11;
  }
  // By the code of the address, not a resolved automatic one: the next import collects recurring.
  if (o.erstAufFolge && (gelesen == 2 || gelesen == 12)) m.folgeSequenzText = MandatSequenzText(gelesen + 1).value_or(QString());
  return m;
}
