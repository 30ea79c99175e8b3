#include "platform/report/Seitenaufbau.h"

#include <QImage>
#include <QPageSize>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "platform/db/Waehrung.h"
#include "platform/report/Reportengine.h"

namespace {

const double Abstand = Druckdokument::PunkteAusMillimeter(2.0);     // between bands
const double Innenrand = Druckdokument::PunkteAusMillimeter(0.6);   // inside a cell, either side
const double Bildhoehe = Druckdokument::PunkteAusMillimeter(20.0);

Qt::Alignment Ausrichtung(Spaltenausrichtung a) {
  switch (a) {
    case Spaltenausrichtung::Mitte: return Qt::AlignHCenter | Qt::AlignTop;
    case Spaltenausrichtung::Rechts: return Qt::AlignRight | Qt::AlignTop;
    case Spaltenausrichtung::Links: break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

// Identity of a value for groups and distinct counts.
QString Schluesseltext(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return {};
  if (wert.metaType().id() == qMetaTypeId<Waehrung>()) return QStringLiteral("W") + QString::number(wert.value<Waehrung>().Roh());
  return QString::number(wert.metaType().id()) + QLatin1Char(':') + wert.toString();
}

}  // namespace

Seitenaufbau::Seitenaufbau(const Reportlayout& layout, std::function<QVariant(const QString&)> wert)
    : m_layout(layout), m_wert(std::move(wert)) {
  m_dokument.titel = layout.beschreibung;
  m_dokument.seitenlayout = QPageLayout(QPageSize(layout.papier), layout.ausrichtung, QMarginsF(0, 0, 0, 0));
  m_normal = Schrift(layout.groesse, false);
  m_fett = Schrift(layout.groesse, true);

  const QSizeF papier = m_dokument.seitenlayout.fullRectPoints().size();
  const QRectF blatt(0, 0, Druckdokument::PunkteAusPunkten(papier.width()), Druckdokument::PunkteAusPunkten(papier.height()));
  const QMarginsF r = layout.raender;
  m_inhalt = blatt.adjusted(Druckdokument::PunkteAusMillimeter(r.left()), Druckdokument::PunkteAusMillimeter(r.top()),
                            -Druckdokument::PunkteAusMillimeter(r.right()), -Druckdokument::PunkteAusMillimeter(r.bottom()));
  if (m_inhalt.width() < 1 || m_inhalt.height() < 1) m_inhalt = blatt;  // margins larger than the paper

  double summe = 0;
  for (const Reportspalte& s : layout.spalten) summe += Druckdokument::PunkteAusMillimeter(s.breite);
  const double faktor = summe > m_inhalt.width() ? m_inhalt.width() / summe : 1.0;
  double x = m_inhalt.left();
  for (const Reportspalte& s : layout.spalten) {
    Spalte sp;
    sp.entwurf = s;
    sp.vorlage = Reportvorlage::Zerlegen(s.wert);
    // Only a single field adds up (the print start refuses other sums; the designer's preview lays out unchecked).
    if (!sp.vorlage.EinzigesFeld()) sp.entwurf.summe = false;
    sp.x = x;
    sp.breite = Druckdokument::PunkteAusMillimeter(s.breite) * faktor;
    x += sp.breite;
    m_spalten.push_back(std::move(sp));
  }

  m_kopf[0] = Reportvorlage::Zerlegen(layout.kopfLinks);
  m_kopf[1] = Reportvorlage::Zerlegen(layout.kopfMitte);
  m_kopf[2] = Reportvorlage::Zerlegen(layout.kopfRechts);
  m_fuss[0] = Reportvorlage::Zerlegen(layout.fussLinks);
  m_fuss[1] = Reportvorlage::Zerlegen(layout.fussMitte);
  m_fuss[2] = Reportvorlage::Zerlegen(layout.fussRechts);
  for (const Reportzeile& z : layout.titel)
    m_titel << std::pair{Reportvorlage::Zerlegen(z.text), Schrift(z.groesse > 0 ? z.groesse : layout.groesse, z.fett)};
  for (const Reportzeile& z : layout.zusammenfassung) {
    Reportvorlage v = Reportvorlage::Zerlegen(z.text);
    for (const Reportvorlage::Teil& t : v.Platzhalter()) {
      if (t.funktion.isEmpty()) continue;
      bool neu = true;
      for (const Reportvorlage::Teil& a : m_aggregatTeile) neu = neu && a.Ausdruck() != t.Ausdruck();
      if (neu) m_aggregatTeile << t;
    }
    m_zusammenfassung << std::pair{v, Schrift(z.groesse > 0 ? z.groesse : layout.groesse, z.fett)};
  }
  m_hatGruppe = !layout.gruppe.isEmpty();
  // The declared values tell which sums are amounts.
  for (Spalte& s : m_spalten)
    if (s.entwurf.summe) s.summe.ArtUebernehmen(m_wert(s.vorlage.Teile().first().name));
  for (const Reportvorlage::Teil& t : m_aggregatTeile)
    if (t.funktion != QLatin1String("Anzahl")) m_summen[t.Ausdruck()].ArtUebernehmen(m_wert(t.name));

  m_tabelleUnten = m_inhalt.bottom();
  if (!(m_fuss[0].Leer() && m_fuss[1].Leer() && m_fuss[2].Leer())) m_tabelleUnten -= Zeilenhoehe(m_normal) + Abstand;
}

Seitenaufbau::~Seitenaufbau() = default;

Druckdokument Seitenaufbau::Probedruck(const Reportlayout& layout, const QList<QHash<QString, QVariant>>& zeilen,
                                      const std::function<QVariant(const QString&)>& variable) {
  const QHash<QString, QVariant>* aktuell = zeilen.isEmpty() ? nullptr : &zeilen.first();
  Seitenaufbau aufbau(layout, [&](const QString& name) {
    if (aktuell) {
      const auto w = aktuell->constFind(name);
      if (w != aktuell->constEnd()) return *w;
    }
    return variable(name);
  });
  aufbau.SeiteBeginnen();
  for (const QHash<QString, QVariant>& zeile : zeilen) {
    aktuell = &zeile;
    // A row that does not fit goes on a fresh page, where it always fits (cut at the foot).
    if (aufbau.ZeileSetzen() == Report::Wiederholen) aufbau.ZeileSetzen();
  }
  if (aufbau.EndeSetzen() == Report::Wiederholen) aufbau.EndeSetzen();
  return aufbau.DokumentUebernehmen();
}

int Seitenaufbau::Schrift(double punkte, bool fett) {
  const int pixel = std::max(1, int(std::lround(Druckdokument::PunkteAusPunkten(punkte))));
  for (qsizetype i = 0; i < m_dokument.schriften.size(); ++i) {
    const QFont& f = m_dokument.schriften.at(i);
    if (f.pixelSize() == pixel && f.bold() == fett) return int(i);
  }
  QFont f(m_layout.schrift);
  f.setPixelSize(pixel);
  f.setBold(fett);
  // Widths measured here are the widths drawn on every device; no ligatures, so that the PDF's text
  // reads and searches as typed ("Offen", not "O\uFB00en").
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferNoShaping);
  m_dokument.schriften << f;
  m_metriken.emplace_back(f);
  return int(m_dokument.schriften.size() - 1);
}

double Seitenaufbau::Zeilenhoehe(int schrift) const { return m_metriken.at(schrift).lineSpacing(); }

QVariant Seitenaufbau::PlatzhalterWert(const Reportvorlage::Teil& t) const {
  if (t.funktion.isEmpty()) {
    if (t.name == QLatin1String("Seite")) return qint64(m_dokument.seiten.size());
    if (t.name == QLatin1String("Seiten")) return Druckdokument::Seitenzahlmarke();
    return m_wert(t.name);
  }
  const QString k = t.Ausdruck();
  if (t.funktion == QLatin1String("Anzahl")) return qint64(m_verschieden.value(k).size());
  return m_summen.value(k).Ergebnis();
}

QString Seitenaufbau::Ausfuellen(const Reportvorlage& vorlage) const {
  return vorlage.Ausfuellen([this](const Reportvorlage::Teil& t) { return PlatzhalterWert(t); });
}

QString Seitenaufbau::Einzeilig(const QString& text, int schrift, double breite) const {
  QString t = text;
  t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  const QFontMetricsF& m = m_metriken.at(schrift);
  if (m.horizontalAdvance(t) <= breite) return t;
  return m.elidedText(t, Qt::ElideRight, std::max(0.0, breite));
}

QStringList Seitenaufbau::Umbrechen(const QString& text, int schrift, double breite) const {
  QStringList zeilen;
  for (const QString& absatz : QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')).split(QLatin1Char('\n'))) {
    if (m_metriken.at(schrift).horizontalAdvance(absatz) <= breite) {
      zeilen << absatz;
      continue;
    }
    QTextLayout satz(absatz, m_dokument.schriften.at(schrift));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    satz.setTextOption(option);
    satz.beginLayout();
    for (QTextLine zeile = satz.createLine(); zeile.isValid(); zeile = satz.createLine()) {
      zeile.setLineWidth(breite);
      // A single glyph wider than the column still ends up cut to it.
      zeilen << Einzeilig(absatz.mid(zeile.textStart(), zeile.textLength()).trimmed(), schrift, breite);
    }
    satz.endLayout();
  }
  return zeilen;
}

void Seitenaufbau::TextSetzen(const QRectF& r, const QString& text, int schrift, Qt::Alignment a) {
  if (text.isEmpty()) return;
  m_dokument.seiten.last().texte << Druckdokument::Text{r, text, schrift, a};
}

void Seitenaufbau::Band(const QString& links, const QString& mitte, const QString& rechts, double y) {
  const double hoehe = Zeilenhoehe(m_normal);
  const double breite = m_inhalt.width();
  // Left and right get the room the centre leaves; a long text alone may use the whole line.
  const QFontMetricsF& m = m_metriken.at(m_normal);
  const double mitteBreite = mitte.isEmpty() ? 0 : std::min(breite, m.horizontalAdvance(mitte));
  const double seite = mitte.isEmpty() ? breite : (breite - mitteBreite) / 2;
  const double linksBreite = rechts.isEmpty() ? seite : std::min(seite, breite / 2);
  const double rechtsBreite = links.isEmpty() ? seite : std::min(seite, breite / 2);
  TextSetzen(QRectF(m_inhalt.left(), y, linksBreite, hoehe), Einzeilig(links, m_normal, linksBreite), m_normal,
             Qt::AlignLeft | Qt::AlignTop);
  TextSetzen(QRectF(m_inhalt.left(), y, breite, hoehe), Einzeilig(mitte, m_normal, breite), m_normal,
             Qt::AlignHCenter | Qt::AlignTop);
  TextSetzen(QRectF(m_inhalt.right() - rechtsBreite, y, rechtsBreite, hoehe), Einzeilig(rechts, m_normal, rechtsBreite),
             m_normal, Qt::AlignRight | Qt::AlignTop);
}

void Seitenaufbau::SeiteBeginnen() {
  m_dokument.seiten.append(Druckdokument::Seite{});
  m_umbruch = false;
  m_zeilenAufSeite = 0;
  m_y = m_inhalt.top();
  const double zeile = Zeilenhoehe(m_normal);
  if (!(m_kopf[0].Leer() && m_kopf[1].Leer() && m_kopf[2].Leer())) {
    Band(Ausfuellen(m_kopf[0]), Ausfuellen(m_kopf[1]), Ausfuellen(m_kopf[2]), m_y);
    m_y += zeile + Abstand;
  }
  if (!(m_fuss[0].Leer() && m_fuss[1].Leer() && m_fuss[2].Leer()))
    Band(Ausfuellen(m_fuss[0]), Ausfuellen(m_fuss[1]), Ausfuellen(m_fuss[2]), m_inhalt.bottom() - zeile);
  if (m_dokument.seiten.size() == 1 && !m_titel.isEmpty()) {
    for (const auto& [vorlage, schrift] : m_titel) {
      const double h = Zeilenhoehe(schrift);
      if (m_y + h > m_tabelleUnten) break;
      TextSetzen(QRectF(m_inhalt.left(), m_y, m_inhalt.width(), h),
                 Einzeilig(Ausfuellen(vorlage), schrift, m_inhalt.width()), schrift, Qt::AlignLeft | Qt::AlignTop);
      m_y += h;
    }
    m_y += Abstand;
  }
  const double kopfzeile = Zeilenhoehe(m_fett);
  for (const Spalte& s : m_spalten) {
    const double b = s.breite - 2 * Innenrand;
    TextSetzen(QRectF(s.x + Innenrand, m_y, b, kopfzeile), Einzeilig(s.entwurf.titel, m_fett, b), m_fett,
               Ausrichtung(s.entwurf.ausrichtung));
  }
  m_y += kopfzeile;
  const double linie = m_y + Druckdokument::PunkteAusMillimeter(0.4);
  m_dokument.seiten.last().linien << QLineF(m_inhalt.left(), linie, m_inhalt.right(), linie);
  m_y = linie + Druckdokument::PunkteAusMillimeter(0.8);
}

Seitenaufbau::Zelle Seitenaufbau::ZelleBauen(Spalte& s, bool zeigen) const {
  Zelle z;
  if (!zeigen) return z;
  const double b = s.breite - 2 * Innenrand;
  if (const Reportvorlage::Teil* feld = s.vorlage.EinzigesFeld()) {
    const QVariant w = PlatzhalterWert(*feld);
    if (w.metaType().id() == QMetaType::QImage) {
      z.bild = w.value<QImage>();
      if (!z.bild.isNull()) {
        z.hoehe = std::min(Bildhoehe, b * z.bild.height() / std::max(1, z.bild.width()));
        return z;
      }
    }
  }
  const QString text = Ausfuellen(s.vorlage);
  z.zeilen = s.entwurf.umbruch ? Umbrechen(text, m_normal, b) : QStringList{Einzeilig(text, m_normal, b)};
  z.hoehe = z.zeilen.size() * Zeilenhoehe(m_normal);
  return z;
}

void Seitenaufbau::Summieren(bool gruppenanfang) {
  for (Spalte& s : m_spalten)
    if (s.entwurf.summe && (gruppenanfang || !s.entwurf.nurErste)) s.summe.Addieren(m_wert(s.vorlage.Teile().first().name));
  for (const Reportvorlage::Teil& t : m_aggregatTeile) {
    const QString k = t.Ausdruck();
    if (t.funktion == QLatin1String("Anzahl")) {
      const QVariant w = m_wert(t.name);
      if (w.isValid() && !w.isNull()) m_verschieden[k].insert(Schluesseltext(w));
    } else if (t.funktion == QLatin1String("Summe") || (t.funktion == QLatin1String("Gruppensumme") && gruppenanfang)) {
      m_summen[k].Addieren(m_wert(t.name));
    }
  }
}

int Seitenaufbau::ZeileSetzen() {
  if (m_dokument.seiten.isEmpty() || m_umbruch) SeiteBeginnen();
  // Without groups every row starts one.
  const QString gruppenwert = m_hatGruppe ? Schluesseltext(m_wert(m_layout.gruppe)) : QString();
  const bool anfang = !m_hatGruppe || gruppenwert != m_letzterGruppenwert;
  std::vector<Zelle> zellen;
  zellen.reserve(m_spalten.size());
  double hoehe = 0;
  for (Spalte& s : m_spalten) {
    zellen.push_back(ZelleBauen(s, !s.entwurf.nurErste || anfang || m_zeilenAufSeite == 0));
    hoehe = std::max(hoehe, zellen.back().hoehe);
  }
  if (m_y + hoehe > m_tabelleUnten && m_zeilenAufSeite > 0) {
    m_umbruch = true;
    return Report::Wiederholen;
  }
  const double zeile = Zeilenhoehe(m_normal);
  for (size_t i = 0; i < m_spalten.size(); ++i) {
    const Spalte& s = m_spalten[i];
    const Zelle& z = zellen[i];
    const double b = s.breite - 2 * Innenrand;
    if (!z.bild.isNull()) {
      const double h = std::min(z.hoehe, m_tabelleUnten - m_y);
      if (h > 0) m_dokument.seiten.last().bilder << Druckdokument::Bild{QRectF(s.x + Innenrand, m_y, b, h), z.bild};
      continue;
    }
    double y = m_y;
    for (const QString& text : z.zeilen) {
      if (y + zeile > m_tabelleUnten + 0.5) break;   // cut at the page's foot
      TextSetzen(QRectF(s.x + Innenrand, y, b, zeile), text, m_normal, Ausrichtung(s.entwurf.ausrichtung));
      y += zeile;
    }
  }
  m_y = std::min(m_y + hoehe, m_tabelleUnten);
  ++m_zeilenAufSeite;
  Summieren(anfang);
  if (m_hatGruppe) m_letzterGruppenwert = gruppenwert;
  return Report::Ok;
}

int Seitenaufbau::EndeSetzen() {
  if (m_endeGesetzt) return Report::Ok;
  if (m_dokument.seiten.isEmpty() || m_umbruch) SeiteBeginnen();
  bool summenzeile = false;
  for (const Spalte& s : m_spalten) summenzeile = summenzeile || s.entwurf.summe;
  const double fettzeile = Zeilenhoehe(m_fett);
  double hoehe = summenzeile ? fettzeile + Druckdokument::PunkteAusMillimeter(1.0) : 0;
  if (!m_zusammenfassung.isEmpty()) hoehe += Abstand;
  for (const auto& [vorlage, schrift] : m_zusammenfassung) hoehe += Zeilenhoehe(schrift);
  if (m_y + hoehe > m_tabelleUnten && m_zeilenAufSeite > 0) {
    m_umbruch = true;
    return Report::Wiederholen;
  }
  if (summenzeile) {
    const double linie = m_y + Druckdokument::PunkteAusMillimeter(0.4);
    m_dokument.seiten.last().linien << QLineF(m_inhalt.left(), linie, m_inhalt.right(), linie);
    m_y = linie + Druckdokument::PunkteAusMillimeter(0.6);
    for (Spalte& s : m_spalten) {
      if (!s.entwurf.summe) continue;
      const double b = s.breite - 2 * Innenrand;
      const QString text = ReportwertFormatieren(s.summe.Ergebnis(), s.vorlage.Teile().first().format);
      TextSetzen(QRectF(s.x + Innenrand, m_y, b, fettzeile), Einzeilig(text, m_fett, b), m_fett,
                 Ausrichtung(s.entwurf.ausrichtung));
    }
    m_y += fettzeile;
  }
  if (!m_zusammenfassung.isEmpty()) m_y += Abstand;
  for (const auto& [vorlage, schrift] : m_zusammenfassung) {
    const double h = Zeilenhoehe(schrift);
    if (m_y + h > m_tabelleUnten + 0.5) break;
    TextSetzen(QRectF(m_inhalt.left(), m_y, m_inhalt.width(), h),
               Einzeilig(Ausfuellen(vorlage), schrift, m_inhalt.width()), schrift, Qt::AlignLeft | Qt::AlignTop);
    m_y += h;
  }
  m_endeGesetzt = true;
  return Report::Ok;
}
