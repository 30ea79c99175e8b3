#include "platform/report/core/Seitenaufbau.h"

#include <QImage>
#include <QPageSize>

#include <algorithm>
#include <cmath>

#include "platform/db/Waehrung.h"
#include "platform/report/core/Reportengine.h"

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

bool IstZahl(const QVariant& w) {
  if (!w.isValid() || w.isNull()) return false;
  if (w.metaType().id() == qMetaTypeId<Waehrung>()) return true;
  switch (w.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double: return true;
    default: return false;
  }
}

const QString Uebertrag = QStringLiteral("Übertrag");
const QString Raute = QStringLiteral("###");

// Identity of a value for groups and distinct counts.
QString Schluesseltext(const QVariant& wert) {
  if (!wert.isValid() || wert.isNull()) return {};
  if (wert.metaType().id() == qMetaTypeId<Waehrung>()) return QStringLiteral("W") + QString::number(wert.value<Waehrung>().Roh());
  return QString::number(wert.metaType().id()) + QLatin1Char(':') + wert.toString();
}

QFont Druckschrift(const QString& familie, double punkte, bool fett) {
  QFont f(familie);
  f.setPixelSize(std::max(1, int(std::lround(Druckdokument::PunkteAusPunkten(punkte)))));
  f.setBold(fett);
  // Widths measured here are the widths drawn on every device; no ligatures, so that the PDF's text
  // reads and searches as typed ("Offen", not "O\uFB00en").
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferNoShaping);
  return f;
}

}  // namespace

void SpaltenbreitenVerteilen(std::vector<double>& breiten, const std::vector<double>& bedarf, double platz) {
  double summe = 0;
  for (double b : breiten) summe += b;
  if (summe <= platz || summe <= 0) return;
  // All columns narrow by one factor; a column with a need stops at it and the others narrow further.
  std::vector<bool> fest(breiten.size(), false);
  double festBreite = 0;
  double faktor = platz / summe;
  for (bool weiter = true; weiter;) {
    weiter = false;
    double frei = 0;
    for (size_t i = 0; i < breiten.size(); ++i)
      if (!fest[i]) frei += breiten[i];
    if (festBreite >= platz || frei <= 0) break;
    faktor = (platz - festBreite) / frei;
    for (size_t i = 0; i < breiten.size(); ++i)
      if (!fest[i] && i < bedarf.size() && breiten[i] * faktor < bedarf[i]) {
        fest[i] = true;
        festBreite += bedarf[i];
        weiter = true;
      }
  }
  if (festBreite >= platz) {
    // The needs alone are wider than the page: everything narrows alike, values that no longer fit show "###".
    for (double& b : breiten) b *= platz / summe;
    return;
  }
  for (size_t i = 0; i < breiten.size(); ++i) breiten[i] = fest[i] ? bedarf[i] : breiten[i] * faktor;
}

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

  std::vector<double> breiten, bedarf;
  for (const Reportspalte& s : layout.spalten) {
    Spalte sp;
    sp.entwurf = s;
    sp.vorlage = Reportvorlage::Zerlegen(s.wert);
    const Reportvorlage::Teil* feld = sp.vorlage.EinzigesFeld();
    // Only a single field adds up (the print start refuses other sums; the designer's preview lays out unchecked).
    if (!feld) sp.entwurf.summe = false;
    // The declared value tells an amount; names tell IBAN and BIC.
    const QVariant deklariert = feld ? m_wert(feld->name) : QVariant();
    if (feld) sp.ganzwert = Ganzwert::ArtVon(feld->name, deklariert);
    const double noetig = Druckdokument::PunkteAusMillimeter(Mindestbreite(layout, s, deklariert));
    bedarf.push_back(noetig);
    breiten.push_back(std::max(Druckdokument::PunkteAusMillimeter(s.breite), noetig));
    m_spalten.push_back(std::move(sp));
  }
  SpaltenbreitenVerteilen(breiten, bedarf, m_inhalt.width());
  double x = m_inhalt.left();
  for (size_t i = 0; i < m_spalten.size(); ++i) {
    m_spalten[i].x = x;
    m_spalten[i].breite = breiten[i];
    x += breiten[i];
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
  // The last group may go along with the sums to a page where they still do not fit: a third page then.
  for (int versuch = 0; versuch < 3 && aufbau.EndeSetzen() == Report::Wiederholen; ++versuch) {
  }
  return aufbau.DokumentUebernehmen();
}

double Seitenaufbau::Mindestbreite(const Reportlayout& layout, const Reportspalte& spalte, const QVariant& wert) {
  const Reportvorlage vorlage = Reportvorlage::Zerlegen(spalte.wert);
  const Reportvorlage::Teil* feld = vorlage.EinzigesFeld();
  if (!feld) return 0;
  const Ganzwert::Art art = Ganzwert::ArtVon(feld->name, wert);
  if (art == Ganzwert::Art::Keiner) return 0;
  const QFontMetricsF m(Druckschrift(layout.schrift, layout.groesse, false));
  return (m.horizontalAdvance(Ganzwert::Breitester(art, feld->format)) + 2 * Innenrand) /
         Druckdokument::PunkteAusMillimeter(1);
}

int Seitenaufbau::Schrift(double punkte, bool fett) {
  const QFont f = Druckschrift(m_layout.schrift, punkte, fett);
  for (qsizetype i = 0; i < m_dokument.schriften.size(); ++i) {
    const QFont& vorhanden = m_dokument.schriften.at(i);
    if (vorhanden.pixelSize() == f.pixelSize() && vorhanden.bold() == fett) return int(i);
  }
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
  const QFontMetricsF& m = m_metriken.at(schrift);
  QStringList zeilen;
  for (const QString& absatz : QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')).split(QLatin1Char('\n'))) {
    if (m.horizontalAdvance(absatz) <= breite) {
      zeilen << absatz;
      continue;
    }
    const qsizetype vorher = zeilen.size();
    // Lines end between words, measured as they are drawn; only a word wider than the column is
    // divided, into parts of about equal length (never one letter left over on a line of its own),
    // and the words after it may join its last part.
    QString zeile;
    for (const QString& wort : absatz.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      if (!zeile.isEmpty() && m.horizontalAdvance(zeile + QLatin1Char(' ') + wort) <= breite) {
        zeile += QLatin1Char(' ') + wort;
        continue;
      }
      if (!zeile.isEmpty()) zeilen << zeile;
      zeile.clear();
      if (m.horizontalAdvance(wort) <= breite) {
        zeile = wort;
        continue;
      }
      QStringList teile = WortTeilen(wort, schrift, breite);
      zeile = teile.takeLast();
      zeilen << teile;
    }
    if (!zeile.isEmpty() || zeilen.size() == vorher) zeilen << zeile;
  }
  return zeilen;
}

QStringList Seitenaufbau::WortTeilen(const QString& wort, int schrift, double breite) const {
  const QFontMetricsF& m = m_metriken.at(schrift);
  const int laenge = int(wort.size());
  for (int stuecke = std::max(2, int(std::ceil(m.horizontalAdvance(wort) / std::max(1.0, breite)))); stuecke <= laenge;
       ++stuecke) {
    QStringList teile;
    bool passt = true;
    for (int i = 0; i < stuecke && passt; ++i) {
      const int von = int(qint64(laenge) * i / stuecke);
      const int bis = int(qint64(laenge) * (i + 1) / stuecke);
      teile << wort.mid(von, bis - von);
      passt = m.horizontalAdvance(teile.last()) <= breite;
    }
    if (passt) return teile;
  }
  // A column narrower than one glyph: one per line, cut to the column.
  QStringList teile;
  for (const QChar c : wort) teile << Einzeilig(QString(c), schrift, breite);
  return teile;
}

QString Seitenaufbau::Ganztext(const QString& text, int schrift, double breite) const {
  return m_metriken.at(schrift).horizontalAdvance(text) <= breite ? text : Raute;
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
      const QString text = Ausfuellen(vorlage);
      // A line of placeholders only that are all empty takes no room; a value with line breaks
      // takes a line for each.
      if (text.isEmpty() && !vorlage.Leer() && !vorlage.Platzhalter().isEmpty()) continue;
      const double h = Zeilenhoehe(schrift);
      for (const QString& teil : QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                     .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                     .split(QLatin1Char('\n'))) {
        if (m_y + h > m_tabelleUnten) break;
        TextSetzen(QRectF(m_inhalt.left(), m_y, m_inhalt.width(), h), Einzeilig(teil, schrift, m_inhalt.width()), schrift,
                   Qt::AlignLeft | Qt::AlignTop);
        m_y += h;
      }
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
  // The sums of the pages before, then the rows of a group that did not fit below the last page's rows.
  if (!m_uebertrag.empty()) {
    Summenzeile(m_uebertrag, Uebertrag);
    m_y += Druckdokument::PunkteAusMillimeter(0.8);
    m_uebertrag.clear();
  }
  m_gruppe.zeilenDavor = 0;
  m_gruppe.texte = m_dokument.seiten.last().texte.size();
  m_gruppe.bilder = m_dokument.seiten.last().bilder.size();
  m_gruppe.y = m_y;
  m_gruppe.zeilen = std::move(m_nachtrag);
  m_nachtrag.clear();
  for (const Zeilenbild& z : m_gruppe.zeilen) {
    ZeilePlatzieren(z);
    ++m_zeilenAufSeite;
  }
}

bool Seitenaufbau::HatSummen() const {
  return std::any_of(m_spalten.cbegin(), m_spalten.cend(), [](const Spalte& s) { return s.entwurf.summe; });
}

double Seitenaufbau::SummenzeileHoehe() const {
  return HatSummen() ? Zeilenhoehe(m_fett) + Druckdokument::PunkteAusMillimeter(1.0) : 0;
}

std::vector<QVariant> Seitenaufbau::Summenstand() const {
  std::vector<QVariant> stand;
  stand.reserve(m_spalten.size());
  for (const Spalte& s : m_spalten) stand.push_back(s.entwurf.summe ? s.summe.Ergebnis() : QVariant());
  return stand;
}

void Seitenaufbau::Summenzeile(const std::vector<QVariant>& summen, const QString& beschriftung) {
  const double fettzeile = Zeilenhoehe(m_fett);
  const double linie = m_y + Druckdokument::PunkteAusMillimeter(0.4);
  m_dokument.seiten.last().linien << QLineF(m_inhalt.left(), linie, m_inhalt.right(), linie);
  m_y = linie + Druckdokument::PunkteAusMillimeter(0.6);
  // The label stands at the left as far as the first sum; a sum may take the empty room to its left.
  double links = m_inhalt.left();
  if (!beschriftung.isEmpty()) {
    const double breite = m_metriken.at(m_fett).horizontalAdvance(beschriftung);
    TextSetzen(QRectF(m_inhalt.left() + Innenrand, m_y, breite, fettzeile), beschriftung, m_fett,
               Qt::AlignLeft | Qt::AlignTop);
    links += breite + 2 * Innenrand;
  }
  for (size_t i = 0; i < m_spalten.size() && i < summen.size(); ++i) {
    const Spalte& s = m_spalten[i];
    if (!s.entwurf.summe) continue;
    const double rechts = s.x + s.breite - Innenrand;
    const double start = std::min(std::max(links, m_inhalt.left()), s.x) + Innenrand;
    const QString text = ReportwertFormatieren(summen[i], s.vorlage.Teile().first().format);
    const bool eigeneSpalte = m_metriken.at(m_fett).horizontalAdvance(text) <= s.breite - 2 * Innenrand;
    const QRectF r = eigeneSpalte ? QRectF(s.x + Innenrand, m_y, s.breite - 2 * Innenrand, fettzeile)
                                  : QRectF(start, m_y, rechts - start, fettzeile);
    const Qt::Alignment a = eigeneSpalte ? Ausrichtung(s.entwurf.ausrichtung) : (Qt::AlignRight | Qt::AlignTop);
    TextSetzen(r, Ganztext(text, m_fett, r.width()), m_fett, a);
    links = s.x + s.breite;
  }
  m_y += fettzeile;
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
  const Reportvorlage::Teil* feld = s.vorlage.EinzigesFeld();
  if (feld && (s.ganzwert != Ganzwert::Art::Keiner || IstZahl(PlatzhalterWert(*feld))))
    z.zeilen = QStringList{Ganztext(QString(text).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                                    m_normal, b)};
  else
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
  Zeilenbild zeile;
  zeile.zellen.reserve(m_spalten.size());
  for (Spalte& s : m_spalten) {
    zeile.zellen.push_back(ZelleBauen(s, !s.entwurf.nurErste || anfang || m_zeilenAufSeite == 0));
    zeile.hoehe = std::max(zeile.hoehe, zeile.zellen.back().hoehe);
  }
  // Room is kept for the carry-forward at the page's foot.
  if (m_y + zeile.hoehe > ZeilenUnten() && m_zeilenAufSeite > 0) {
    std::vector<QVariant> uebertrag = Summenstand();
    // The group began below other rows: it goes to the next page whole.
    if (!anfang) GruppeVerschieben(uebertrag);
    if (HatSummen()) {
      Summenzeile(uebertrag, Uebertrag);
      m_uebertrag = std::move(uebertrag);
    }
    m_umbruch = true;
    return Report::Wiederholen;
  }
  if (anfang) {
    const Druckdokument::Seite& seite = m_dokument.seiten.last();
    m_gruppe.zeilenDavor = m_zeilenAufSeite;
    m_gruppe.texte = seite.texte.size();
    m_gruppe.bilder = seite.bilder.size();
    m_gruppe.y = m_y;
    m_gruppe.zeilen.clear();
    if (HatSummen()) m_gruppe.summenDavor = Summenstand();
  }
  ZeilePlatzieren(zeile);
  // Without groups every row is one: the last row can still go along with the sum row.
  m_gruppe.zeilen.push_back(std::move(zeile));
  ++m_zeilenAufSeite;
  Summieren(anfang);
  if (m_hatGruppe) m_letzterGruppenwert = gruppenwert;
  return Report::Ok;
}

bool Seitenaufbau::GruppeVerschieben(std::vector<QVariant>& uebertrag) {
  if (m_gruppe.zeilenDavor <= 0 || m_gruppe.zeilen.empty()) return false;
  Druckdokument::Seite& seite = m_dokument.seiten.last();
  seite.texte.resize(m_gruppe.texte);
  seite.bilder.resize(m_gruppe.bilder);
  m_y = m_gruppe.y;
  m_nachtrag = std::move(m_gruppe.zeilen);
  m_gruppe.zeilen.clear();
  if (HatSummen()) uebertrag = m_gruppe.summenDavor;
  return true;
}

double Seitenaufbau::ZeilenUnten() const { return m_tabelleUnten - SummenzeileHoehe(); }

void Seitenaufbau::ZeilePlatzieren(const Zeilenbild& zeile) {
  const double hoehe = Zeilenhoehe(m_normal);
  const double unten = ZeilenUnten();
  for (size_t i = 0; i < m_spalten.size(); ++i) {
    const Spalte& s = m_spalten[i];
    const Zelle& z = zeile.zellen[i];
    const double b = s.breite - 2 * Innenrand;
    if (!z.bild.isNull()) {
      const double h = std::min(z.hoehe, unten - m_y);
      if (h > 0) m_dokument.seiten.last().bilder << Druckdokument::Bild{QRectF(s.x + Innenrand, m_y, b, h), z.bild};
      continue;
    }
    double y = m_y;
    for (const QString& text : z.zeilen) {
      if (y + hoehe > unten + 0.5) break;   // cut at the page's foot
      TextSetzen(QRectF(s.x + Innenrand, y, b, hoehe), text, m_normal, Ausrichtung(s.entwurf.ausrichtung));
      y += hoehe;
    }
  }
  m_y = std::min(m_y + zeile.hoehe, unten);
}

int Seitenaufbau::EndeSetzen() {
  if (m_endeGesetzt) return Report::Ok;
  if (m_dokument.seiten.isEmpty() || m_umbruch) SeiteBeginnen();
  double hoehe = SummenzeileHoehe();
  if (!m_zusammenfassung.isEmpty()) hoehe += Abstand;
  for (const auto& [vorlage, schrift] : m_zusammenfassung) hoehe += Zeilenhoehe(schrift);
  if (m_y + hoehe > m_tabelleUnten && m_zeilenAufSeite > 0) {
    // The sum row does not stand alone on a page: the last group (or row) goes along with it.
    std::vector<QVariant> uebertrag = Summenstand();
    GruppeVerschieben(uebertrag);
    if (HatSummen()) {
      m_uebertrag = std::move(uebertrag);
      Summenzeile(m_uebertrag, Uebertrag);
    }
    m_umbruch = true;
    return Report::Wiederholen;
  }
  if (HatSummen()) Summenzeile(Summenstand(), QString());
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
