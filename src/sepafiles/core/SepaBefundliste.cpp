#include "sepafiles/core/SepaBefundliste.h"

#include "zahlungsverkehr/Iban.h"

namespace SepaBefundliste {

const QStringList& Spalten() {
  static const QStringList texte{QStringLiteral("Nr."),    QStringLiteral("Name"),   QStringLiteral("IBAN"),
                                 QStringLiteral("Betrag"), QStringLiteral("Fällig"), QStringLiteral("Gründe")};
  return texte;
}

QString Zelle(const SepaAuftragsbefund& b, int spalte, const QString& trenner) {
  switch (spalte) {
    case 0: return QString::number(b.ZahlungNr);
    case 1: return b.Name;
    case 2: return Iban(b.IBAN).Bloecke();
    case 3: return b.Betrag.FormatDeutsch();
    case 4: return b.Faellig ? b.Faellig->toString(QStringLiteral("dd.MM.yyyy")) : QString();
    // The two-line texts of the payment form joined by a blank.
    case 5: return b.Gruende().join(trenner).replace(QLatin1Char('\r'), QLatin1Char(' '));
  }
  return {};
}

QString Zeile(const SepaAuftragsbefund& befund) {
  QStringList zellen;
  for (int spalte = 0; spalte < Spalten().size(); ++spalte) zellen << Zelle(befund, spalte);
  return zellen.join(QLatin1Char('\t'));
}

QString Kopfzeile() { return Spalten().join(QLatin1Char('\t')); }

}  // namespace SepaBefundliste
