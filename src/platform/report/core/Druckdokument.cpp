#include "platform/report/core/Druckdokument.h"

#include <QPainter>
#include <QPen>

void Druckdokument::SeiteZeichnen(QPainter& maler, int index, double geraeteAufloesung) const {
  if (index < 0 || index >= seiten.size()) return;
  const Seite& seite = seiten.at(index);
  maler.save();
  maler.scale(geraeteAufloesung / Aufloesung, geraeteAufloesung / Aufloesung);
  maler.setRenderHint(QPainter::Antialiasing, true);
  maler.setPen(QPen(Qt::black, PunkteAusPunkten(0.5)));
  for (const QLineF& l : seite.linien) maler.drawLine(l);
  for (const Bild& b : seite.bilder) {
    const QSizeF groesse = QSizeF(b.bild.size()).scaled(b.rechteck.size(), Qt::KeepAspectRatio);
    maler.drawImage(QRectF(b.rechteck.topLeft(), groesse), b.bild);
  }
  const QString marke = Seitenzahlmarke();
  const QString anzahl = QString::number(seiten.size());
  int schrift = -1;
  for (const Text& t : seite.texte) {
    if (t.schrift != schrift) {
      schrift = t.schrift;
      maler.setFont(schriften.value(schrift));
    }
    const QString text = t.text.contains(marke) ? QString(t.text).replace(marke, anzahl) : t.text;
    maler.drawText(t.rechteck, int(t.ausrichtung) | Qt::TextSingleLine, text);
  }
  maler.restore();
}
