#include "platform/ui/Bildliste.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <cmath>

namespace {

struct Quelle {
  const char* schluessel;
  const char* thema;              // freedesktop icon name, empty = none
  QStyle::StandardPixmap standard;
  bool mitStandard;
};

// Keys the windows use, with the theme and style pictures that fit them.
const Quelle kQuellen[] = {
    {"Zahlung", "", QStyle::SP_CustomBase, false},
    {"Neu", "document-new", QStyle::SP_CustomBase, false},
    {"Ändern", "document-edit", QStyle::SP_CustomBase, false},
    {"Löschen", "edit-delete", QStyle::SP_TrashIcon, true},
    {"Suchen", "edit-find", QStyle::SP_CustomBase, false},
    {"Import", "document-import", QStyle::SP_CustomBase, false},
    {"Skonto", "", QStyle::SP_CustomBase, false},
    {"Prüfen", "", QStyle::SP_DialogApplyButton, true},
    {"Schliessen", "window-close", QStyle::SP_CustomBase, false},
    {"Drucken", "document-print", QStyle::SP_CustomBase, false},
    {"DTADatei", "", QStyle::SP_CustomBase, false},
    {"Zahlungsliste", "", QStyle::SP_CustomBase, false},
    {"Selektivlöschen", "", QStyle::SP_CustomBase, false},
    {"Speichern", "document-save", QStyle::SP_DialogSaveButton, true},
    {"Abbrechen", "process-stop", QStyle::SP_DialogCancelButton, true},
    {"Kopieren", "edit-copy", QStyle::SP_CustomBase, false},
    {"Adressen", "x-office-address-book", QStyle::SP_CustomBase, false},
    {"Bankverbindung", "", QStyle::SP_CustomBase, false},
    {"Absender", "", QStyle::SP_CustomBase, false},
    {"Einstellungen", "preferences-system", QStyle::SP_CustomBase, false},
    {"Rechner", "accessories-calculator", QStyle::SP_CustomBase, false},
    {"Hilfe", "help-contents", QStyle::SP_DialogHelpButton, true},
    {"Beenden", "application-exit", QStyle::SP_CustomBase, false},
    {"Überweisung", "", QStyle::SP_CustomBase, false},
    {"Lastschrift", "", QStyle::SP_CustomBase, false},
    {"Fällig", "x-office-calendar", QStyle::SP_CustomBase, false},
    {"Sicherung", "", QStyle::SP_CustomBase, false},
    {"Rücksicherung", "", QStyle::SP_CustomBase, false},
    {"Komprimieren", "", QStyle::SP_CustomBase, false},
    {"IBAN", "", QStyle::SP_CustomBase, false},
    {"Programm", "", QStyle::SP_CustomBase, false},
};

const Quelle* QuelleVon(const QString& schluessel) {
  for (const Quelle& q : kQuellen)
    if (schluessel == QString::fromUtf8(q.schluessel)) return &q;
  return nullptr;
}

// --- drawing on a 32 x 32 grid ---------------------------------------------------------------

const QColor kRand(60, 70, 85);
const QColor kPapier(252, 252, 248);
const QColor kBlau(40, 100, 180);
const QColor kGruen(40, 150, 70);
const QColor kRot(200, 45, 45);
const QColor kGold(220, 170, 40);
const QColor kGrau(150, 155, 165);

void Blatt(QPainter& p, const QRectF& r = QRectF(7, 3, 18, 26)) {
  QPainterPath pfad;
  const qreal ecke = 6;
  pfad.moveTo(r.left(), r.top());
  pfad.lineTo(r.right() - ecke, r.top());
  pfad.lineTo(r.right(), r.top() + ecke);
  pfad.lineTo(r.right(), r.bottom());
  pfad.lineTo(r.left(), r.bottom());
  pfad.closeSubpath();
  p.setPen(QPen(kRand, 1.5));
  p.setBrush(kPapier);
  p.drawPath(pfad);
  p.drawLine(QPointF(r.right() - ecke, r.top()), QPointF(r.right() - ecke, r.top() + ecke));
  p.drawLine(QPointF(r.right() - ecke, r.top() + ecke), QPointF(r.right(), r.top() + ecke));
}

void Zeilen(QPainter& p, qreal links, qreal rechts, qreal oben, int anzahl) {
  p.setPen(QPen(kGrau, 1.5));
  for (int i = 0; i < anzahl; ++i) p.drawLine(QPointF(links, oben + i * 4), QPointF(rechts, oben + i * 4));
}

void Plus(QPainter& p, QPointF m, qreal r, const QColor& farbe) {
  p.setPen(Qt::NoPen);
  p.setBrush(farbe);
  p.drawEllipse(m, r, r);
  p.setPen(QPen(Qt::white, r / 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(m.x() - r / 2, m.y()), QPointF(m.x() + r / 2, m.y()));
  p.drawLine(QPointF(m.x(), m.y() - r / 2), QPointF(m.x(), m.y() + r / 2));
}

void Kreuz(QPainter& p, const QRectF& r, const QColor& farbe, qreal staerke) {
  p.setPen(QPen(farbe, staerke, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(r.topLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomLeft());
}

void Haken(QPainter& p, const QColor& farbe, qreal staerke, qreal dx = 0, qreal dy = 0, qreal s = 1) {
  p.setPen(QPen(farbe, staerke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPolygonF h;
  h << QPointF(dx + 6 * s, dy + 17 * s) << QPointF(dx + 13 * s, dy + 24 * s) << QPointF(dx + 26 * s, dy + 8 * s);
  p.drawPolyline(h);
}

void Pfeil(QPainter& p, QPointF von, QPointF nach, const QColor& farbe, qreal staerke) {
  p.setPen(QPen(farbe, staerke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(von, nach);
  const qreal winkel = std::atan2(nach.y() - von.y(), nach.x() - von.x());
  const qreal l = staerke * 2.2;
  QPolygonF spitze;
  spitze << nach + QPointF(std::cos(winkel + 2.5) * l, std::sin(winkel + 2.5) * l) << nach
         << nach + QPointF(std::cos(winkel - 2.5) * l, std::sin(winkel - 2.5) * l);
  p.drawPolyline(spitze);
}

void Muenze(QPainter& p, QPointF m, qreal r) {
  p.setPen(QPen(kGold.darker(150), 1.5));
  p.setBrush(kGold);
  p.drawEllipse(m, r, r);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(int(r * 1.3));
  f.setBold(true);
  p.setFont(f);
  p.setPen(kGold.darker(220));
  p.drawText(QRectF(m.x() - r, m.y() - r, 2 * r, 2 * r), Qt::AlignCenter, QString(QChar(0x20AC)));
}

void Text(QPainter& p, const QRectF& r, const QString& text, const QColor& farbe, int pixel, bool fett = true) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixel);
  f.setBold(fett);
  p.setFont(f);
  p.setPen(farbe);
  p.drawText(r, Qt::AlignCenter, text);
}

void Zeichnen(QPainter& p, const QString& k) {
  if (k == QStringLiteral("Zahlung")) {
    Muenze(p, QPointF(16, 16), 12);
  } else if (k == QStringLiteral("Neu")) {
    Blatt(p);
    Plus(p, QPointF(23, 23), 7, kGruen);
  } else if (k == QStringLiteral("Ändern")) {
    Blatt(p);
    Zeilen(p, 10, 20, 10, 3);
    p.setPen(QPen(QColor(230, 140, 30), 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(14, 27), QPointF(28, 13));
    p.setPen(QPen(kRand, 1.5));
    p.drawLine(QPointF(12, 29), QPointF(14, 27));
  } else if (k == QStringLiteral("Löschen")) {
    Kreuz(p, QRectF(7, 7, 18, 18), kRot, 5);
  } else if (k == QStringLiteral("Suchen")) {
    p.setPen(QPen(kRand, 3));
    p.setBrush(QColor(210, 230, 250));
    p.drawEllipse(QPointF(13, 13), 8, 8);
    p.setPen(QPen(kRand, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27, 27));
  } else if (k == QStringLiteral("Import")) {
    p.setPen(QPen(kRand, 2));
    p.setBrush(QColor(225, 228, 235));
    p.drawRect(QRectF(5, 19, 22, 9));
    Pfeil(p, QPointF(16, 3), QPointF(16, 21), kBlau, 4);
  } else if (k == QStringLiteral("Skonto")) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGruen);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    Text(p, QRectF(3, 3, 26, 26), QStringLiteral("%"), Qt::white, 18);
  } else if (k == QStringLiteral("Prüfen")) {
    Blatt(p);
    Haken(p, kGruen, 4, 2, 4, 0.9);
  } else if (k == QStringLiteral("Schliessen") || k == QStringLiteral("Beenden")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(QColor(150, 100, 60));
    p.drawRect(QRectF(6, 4, 14, 24));
    p.setBrush(kGold);
    p.drawEllipse(QPointF(17, 17), 1.3, 1.3);
    Pfeil(p, QPointF(16, 16), QPointF(29, 16), k == QStringLiteral("Beenden") ? kRot : kGruen, 3.5);
  } else if (k == QStringLiteral("Drucken")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(kPapier);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(kGrau);
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    p.setBrush(kPapier);
    p.drawRect(QRectF(9, 19, 14, 10));
    Zeilen(p, 11, 21, 23, 2);
  } else if (k == QStringLiteral("DTADatei")) {
    Blatt(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlau);
    p.drawRect(QRectF(4, 13, 24, 10));
    Text(p, QRectF(4, 13, 24, 10), QStringLiteral("SEPA"), Qt::white, 8);
  } else if (k == QStringLiteral("Zahlungsliste")) {
    Blatt(p);
    Zeilen(p, 10, 22, 10, 5);
  } else if (k == QStringLiteral("Selektivlöschen")) {
    Blatt(p);
    Zeilen(p, 10, 22, 10, 5);
    Kreuz(p, QRectF(18, 18, 10, 10), kRot, 3.5);
  } else if (k == QStringLiteral("Speichern")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(kBlau);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(kPapier);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(8, 18, 16, 10));
  } else if (k == QStringLiteral("Abbrechen")) {
    p.setPen(Qt::NoPen);
    p.setBrush(kRot);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 16), QPointF(22, 16));
  } else if (k == QStringLiteral("Kopieren")) {
    Blatt(p, QRectF(4, 3, 16, 20));
    Blatt(p, QRectF(12, 9, 16, 20));
  } else if (k == QStringLiteral("Adressen") || k == QStringLiteral("Absender")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(k == QStringLiteral("Absender") ? QColor(255, 240, 200) : kPapier);
    p.drawRoundedRect(QRectF(3, 7, 26, 19), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlau);
    p.drawEllipse(QPointF(10, 13), 3, 3);
    p.drawChord(QRectF(5, 16, 10, 10), 0, 180 * 16);
    Zeilen(p, 17, 26, 12, 3);
  } else if (k == QStringLiteral("Bankverbindung")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(QColor(230, 225, 210));
    QPolygonF dach;
    dach << QPointF(3, 11) << QPointF(16, 3) << QPointF(29, 11);
    p.drawPolygon(dach);
    p.drawRect(QRectF(4, 25, 24, 4));
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(6 + i * 6, 12, 3, 13));
  } else if (k == QStringLiteral("Einstellungen")) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGrau.darker(120));
    for (int i = 0; i < 8; ++i) {
      p.save();
      p.translate(16, 16);
      p.rotate(i * 45);
      p.drawRect(QRectF(-2.5, -14, 5, 6));
      p.restore();
    }
    p.drawEllipse(QPointF(16, 16), 10, 10);
    p.setBrush(kPapier);
    p.drawEllipse(QPointF(16, 16), 4, 4);
  } else if (k == QStringLiteral("Rechner")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(QColor(200, 205, 215));
    p.drawRoundedRect(QRectF(6, 3, 20, 26), 2, 2);
    p.setBrush(QColor(200, 230, 200));
    p.drawRect(QRectF(9, 6, 14, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(kRand);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) p.drawRect(QRectF(9 + c * 5, 15 + r * 4.5, 3, 3));
  } else if (k == QStringLiteral("Hilfe")) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlau);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    Text(p, QRectF(3, 3, 26, 26), QStringLiteral("?"), Qt::white, 20);
  } else if (k == QStringLiteral("Überweisung")) {
    Muenze(p, QPointF(12, 16), 9);
    Pfeil(p, QPointF(18, 16), QPointF(30, 16), kRot, 3.5);
  } else if (k == QStringLiteral("Lastschrift")) {
    Muenze(p, QPointF(20, 16), 9);
    Pfeil(p, QPointF(14, 16), QPointF(2, 16), kBlau, 3.5);
  } else if (k == QStringLiteral("Fällig")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(kPapier);
    p.drawRoundedRect(QRectF(4, 6, 24, 22), 2, 2);
    p.setBrush(kRot);
    p.drawRect(QRectF(4, 6, 24, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(kGrau);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 4; ++c) p.drawRect(QRectF(7 + c * 5.5, 14.5 + r * 4.3, 3, 3));
  } else if (k == QStringLiteral("Sicherung") || k == QStringLiteral("Rücksicherung")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(3, 10, 26, 18), 2, 2);
    const bool zurueck = k == QStringLiteral("Rücksicherung");
    Pfeil(p, QPointF(16, zurueck ? 20 : 2), QPointF(16, zurueck ? 4 : 18), zurueck ? kGruen : kBlau, 3.5);
  } else if (k == QStringLiteral("Komprimieren")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(QColor(210, 215, 225));
    p.drawEllipse(QRectF(6, 3, 20, 7));
    p.drawRect(QRectF(6, 6.5, 20, 20));
    Pfeil(p, QPointF(16, 12), QPointF(16, 22), kBlau, 3);
  } else if (k == QStringLiteral("IBAN")) {
    p.setPen(QPen(kRand, 1.5));
    p.setBrush(kPapier);
    p.drawRoundedRect(QRectF(2, 8, 28, 16), 2, 2);
    Text(p, QRectF(2, 8, 28, 16), QStringLiteral("IBAN"), kBlau, 9);
  } else {
    // Any other key: a tile with its first letter.
    p.setPen(Qt::NoPen);
    p.setBrush(kBlau);
    p.drawRoundedRect(QRectF(3, 3, 26, 26), 5, 5);
    Text(p, QRectF(3, 3, 26, 26), k.left(1).toUpper(), Qt::white, 18);
  }
}

}  // namespace

Bildliste::Bildliste(int groesse) : m_groesse(groesse) {}

Bildliste& Bildliste::Bilder16() {
  static Bildliste liste(16);
  return liste;
}

Bildliste& Bildliste::Bilder32() {
  static Bildliste liste(32);
  return liste;
}

const QStringList& Bildliste::Standardschluessel() {
  static const QStringList schluessel = [] {
    QStringList l;
    for (const Quelle& q : kQuellen) l << QString::fromUtf8(q.schluessel);
    return l;
  }();
  return schluessel;
}

QStringList Bildliste::Schluessel() const {
  QStringList l = Standardschluessel();
  for (const QString& s : m_eigene)
    if (!l.contains(s)) l << s;
  return l;
}

bool Bildliste::Vorhanden(const QString& schluessel) const {
  return QuelleVon(schluessel) != nullptr || m_eigene.contains(schluessel);
}

void Bildliste::Hinzufuegen(const QString& schluessel, const QIcon& bild) {
  if (!m_eigene.contains(schluessel)) m_eigene << schluessel;
  m_bilder.insert(schluessel, bild);
}

QPixmap Bildliste::Gezeichnet(const QString& schluessel, int groesse) {
  QPixmap bild(groesse, groesse);
  bild.fill(Qt::transparent);
  QPainter p(&bild);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(groesse / 32.0, groesse / 32.0);
  Zeichnen(p, schluessel);
  return bild;
}

QIcon Bildliste::Laden(const QString& schluessel) const {
  const Quelle* q = QuelleVon(schluessel);
  if (!q) return {};
  if (*q->thema) {
    const QIcon thema = QIcon::fromTheme(QString::fromUtf8(q->thema));
    if (!thema.isNull()) return thema;
  }
  if (q->mitStandard && qApp) {
    const QIcon standard = QApplication::style()->standardIcon(q->standard);
    if (!standard.isNull()) return standard;
  }
  QIcon gezeichnet;
  gezeichnet.addPixmap(Gezeichnet(schluessel, m_groesse));
  if (m_groesse != 16) gezeichnet.addPixmap(Gezeichnet(schluessel, 16));
  return gezeichnet;
}

QIcon Bildliste::Bild(const QString& schluessel) const {
  auto it = m_bilder.constFind(schluessel);
  if (it != m_bilder.constEnd()) return *it;
  const QIcon bild = Laden(schluessel);
  if (!bild.isNull()) m_bilder.insert(schluessel, bild);
  return bild;
}
