#include "platform/report/core/Reportlayout.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

#include "platform/settings/IniDatei.h"

namespace {

struct Papiername {
  QPageSize::PageSizeId id;
  const char* name;
};
constexpr Papiername kPapier[] = {
    {QPageSize::A4, "A4"}, {QPageSize::A3, "A3"}, {QPageSize::A5, "A5"},
    {QPageSize::Letter, "Letter"}, {QPageSize::Legal, "Legal"},
};

const char* AusrichtungName(Spaltenausrichtung a) {
  switch (a) {
    case Spaltenausrichtung::Links: return "Links";
    case Spaltenausrichtung::Mitte: return "Mitte";
    case Spaltenausrichtung::Rechts: return "Rechts";
  }
  return "Links";
}

// Numbers are written with a point; a comma is read as well.
std::optional<double> Zahl(const QString& text) {
  bool ok = false;
  const double z = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(z)) return std::nullopt;
  return z;
}

QString ZahlText(double z) { return QString::number(z, 'g', 10); }

std::optional<bool> Schalter(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t == QLatin1String("0")) return false;
  if (t == QLatin1String("1")) return true;
  return std::nullopt;
}

// A value as the reader gives it back: blanks at either end and one pair of enclosing quotes are
// taken off there, so such values are written inside quotes. Lines cannot hold line breaks.
QString Wert(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  const bool randLeer = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
  const bool inAnfuehrung = text.size() >= 2 && (text.front() == QLatin1Char('"') || text.front() == QLatin1Char('\'')) &&
                            text.back() == text.front();
  if (randLeer || inAnfuehrung) return QLatin1Char('"') + text + QLatin1Char('"');
  return text;
}

class Leser {
 public:
  explicit Leser(const IniDatei& ini) : m_ini(ini) {}

  Reportdatei::Ergebnis Lesen() {
    Reportlayout l;
    l.beschreibung = m_ini.Wert(QStringLiteral("Description"), QStringLiteral("Text"));
    const QString version = m_ini.Wert(QStringLiteral("Report"), QStringLiteral("Version"), QStringLiteral("1")).trimmed();
    if (version != QLatin1String("1")) return Fehler(QStringLiteral("Unbekannte Version des Reportformats: ") + version);

    const QString seite = QStringLiteral("Seite");
    const QString papier = m_ini.Wert(seite, QStringLiteral("Papier"), QStringLiteral("A4")).trimmed();
    bool gefunden = false;
    for (const Papiername& p : kPapier)
      if (papier.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0) {
        l.papier = p.id;
        gefunden = true;
      }
    if (!gefunden) return Fehler(QStringLiteral("Unbekanntes Papierformat: ") + papier);
    const QString ausrichtung = m_ini.Wert(seite, QStringLiteral("Ausrichtung"), QStringLiteral("Hochformat")).trimmed();
    if (ausrichtung.compare(QLatin1String("Hochformat"), Qt::CaseInsensitive) == 0)
      l.ausrichtung = QPageLayout::Portrait;
    else if (ausrichtung.compare(QLatin1String("Querformat"), Qt::CaseInsensitive) == 0)
      l.ausrichtung = QPageLayout::Landscape;
    else
      return Fehler(QStringLiteral("Unbekannte Ausrichtung: ") + ausrichtung);
    if (m_ini.Vorhanden(seite, QStringLiteral("Raender"))) {
      const QStringList teile = m_ini.Wert(seite, QStringLiteral("Raender")).split(QLatin1Char(';'));
      if (teile.size() != 4) return Fehler(QStringLiteral("Die Ränder brauchen vier Angaben (links;oben;rechts;unten)."));
      double r[4];
      for (int i = 0; i < 4; ++i) {
        const auto z = Zahl(teile.at(i));
        if (!z || *z < 0 || *z > 100) return Fehler(QStringLiteral("Ungültiger Rand: ") + teile.at(i));
        r[i] = *z;
      }
      l.raender = QMarginsF(r[0], r[1], r[2], r[3]);
    }
    l.schrift = m_ini.Wert(seite, QStringLiteral("Schrift"), l.schrift).trimmed();
    if (l.schrift.isEmpty()) return Fehler(QStringLiteral("Die Schrift fehlt."));
    if (!Groesse(seite, QStringLiteral("Groesse"), l.groesse, l.groesse)) return m_fehler;

    if (!Zeilen(QStringLiteral("Titel"), l.titel)) return m_fehler;
    const QString kopf = QStringLiteral("Kopf");
    l.kopfLinks = m_ini.Wert(kopf, QStringLiteral("Links"));
    l.kopfMitte = m_ini.Wert(kopf, QStringLiteral("Mitte"));
    l.kopfRechts = m_ini.Wert(kopf, QStringLiteral("Rechts"));
    const QString fuss = QStringLiteral("Fuss");
    l.fussLinks = m_ini.Wert(fuss, QStringLiteral("Links"));
    l.fussMitte = m_ini.Wert(fuss, QStringLiteral("Mitte"));
    l.fussRechts = m_ini.Wert(fuss, QStringLiteral("Rechts"));
    l.gruppe = m_ini.Wert(QStringLiteral("Tabelle"), QStringLiteral("Gruppe")).trimmed();

    for (int i = 1;; ++i) {
      const QString abschnitt = QStringLiteral("Spalte%1").arg(i);
      if (!m_ini.Vorhanden(abschnitt, QStringLiteral("Wert"))) break;
      Reportspalte s;
      s.titel = m_ini.Wert(abschnitt, QStringLiteral("Titel"));
      s.wert = m_ini.Wert(abschnitt, QStringLiteral("Wert"));
      const auto breite = Zahl(m_ini.Wert(abschnitt, QStringLiteral("Breite"), QStringLiteral("20")));
      if (!breite || *breite <= 0 || *breite > 1000)
        return Fehler(abschnitt + QStringLiteral(": ungültige Breite ") + m_ini.Wert(abschnitt, QStringLiteral("Breite")));
      s.breite = *breite;
      const QString a = m_ini.Wert(abschnitt, QStringLiteral("Ausrichtung"), QStringLiteral("Links")).trimmed();
      bool bekannt = false;
      for (Spaltenausrichtung x : {Spaltenausrichtung::Links, Spaltenausrichtung::Mitte, Spaltenausrichtung::Rechts})
        if (a.compare(QLatin1String(AusrichtungName(x)), Qt::CaseInsensitive) == 0) {
          s.ausrichtung = x;
          bekannt = true;
        }
      if (!bekannt) return Fehler(abschnitt + QStringLiteral(": unbekannte Ausrichtung ") + a);
      if (!Flag(abschnitt, QStringLiteral("Summe"), s.summe) || !Flag(abschnitt, QStringLiteral("Umbruch"), s.umbruch) ||
          !Flag(abschnitt, QStringLiteral("NurErste"), s.nurErste))
        return m_fehler;
      l.spalten << s;
      if (i > 500) return Fehler(QStringLiteral("Zu viele Spalten."));
    }
    if (l.spalten.isEmpty()) return Fehler(QStringLiteral("Der Report enthält keine Spalte (Abschnitt [Spalte1] mit \"Wert\")."));
    if (!Zeilen(QStringLiteral("Zusammenfassung"), l.zusammenfassung)) return m_fehler;
    l.sortierung = m_ini.Wert(QStringLiteral("Sortierung"), QStringLiteral("Kennung")).trimmed();

    Reportdatei::Ergebnis e;
    e.layout = l;
    return e;
  }

 private:
  Reportdatei::Ergebnis Fehler(const QString& text) {
    m_fehler = {};
    m_fehler.fehler = Reportdatei::Lesefehler::Format;
    m_fehler.beschreibung = text;
    return m_fehler;
  }

  bool Groesse(const QString& abschnitt, const QString& schluessel, double vorgabe, double& ziel) {
    if (!m_ini.Vorhanden(abschnitt, schluessel)) {
      ziel = vorgabe;
      return true;
    }
    const auto z = Zahl(m_ini.Wert(abschnitt, schluessel));
    if (!z || *z < 4 || *z > 72) {
      Fehler(abschnitt + QLatin1Char(' ') + schluessel + QStringLiteral(": ungültige Schriftgröße ") +
             m_ini.Wert(abschnitt, schluessel));
      return false;
    }
    ziel = *z;
    return true;
  }

  bool Flag(const QString& abschnitt, const QString& schluessel, bool& ziel) {
    const auto s = Schalter(m_ini.Wert(abschnitt, schluessel));
    if (!s) {
      Fehler(abschnitt + QLatin1Char(' ') + schluessel + QStringLiteral(": nur 0 oder 1 erlaubt"));
      return false;
    }
    ziel = *s;
    return true;
  }

  bool Zeilen(const QString& abschnitt, QList<Reportzeile>& ziel) {
    for (int i = 1;; ++i) {
      const QString schluessel = QStringLiteral("Zeile%1").arg(i);
      if (!m_ini.Vorhanden(abschnitt, schluessel)) return true;
      Reportzeile z;
      z.text = m_ini.Wert(abschnitt, schluessel);
      if (!Groesse(abschnitt, schluessel + QStringLiteral(".Groesse"), 0, z.groesse)) return false;
      if (!Flag(abschnitt, schluessel + QStringLiteral(".Fett"), z.fett)) return false;
      ziel << z;
      if (i > 500) {
        Fehler(abschnitt + QStringLiteral(": zu viele Zeilen"));
        return false;
      }
    }
  }

  const IniDatei& m_ini;
  Reportdatei::Ergebnis m_fehler;
};

void ZeilenSchreiben(QString& t, const QString& abschnitt, const QList<Reportzeile>& zeilen) {
  if (zeilen.isEmpty()) return;
  t += QLatin1Char('[') + abschnitt + QStringLiteral("]\n");
  for (qsizetype i = 0; i < zeilen.size(); ++i) {
    const QString k = QStringLiteral("Zeile%1").arg(i + 1);
    const Reportzeile& z = zeilen.at(i);
    t += k + QLatin1Char('=') + Wert(z.text) + QLatin1Char('\n');
    if (z.groesse > 0) t += k + QStringLiteral(".Groesse=") + ZahlText(z.groesse) + QLatin1Char('\n');
    if (z.fett) t += k + QStringLiteral(".Fett=1\n");
  }
  t += QLatin1Char('\n');
}

}  // namespace

Reportdatei::Ergebnis Reportdatei::AusText(const QString& text) { return Leser(IniDatei::AusText(text)).Lesen(); }

Reportdatei::Ergebnis Reportdatei::Laden(const QString& datei) {
  Ergebnis e;
  if (datei.isEmpty() || !QFileInfo(datei).isFile()) {
    e.fehler = Lesefehler::FehltDatei;
    e.beschreibung = datei;
    return e;
  }
  const std::optional<IniDatei> ini = IniDatei::Laden(datei);
  if (!ini) {
    e.fehler = Lesefehler::Unlesbar;
    e.beschreibung = datei;
    return e;
  }
  return Leser(*ini).Lesen();
}

QString Reportdatei::AlsText(const Reportlayout& l) {
  QString t;
  t += QStringLiteral("; Tamo-SEPA Report\n[Report]\nVersion=1\n\n[Description]\nText=") + Wert(l.beschreibung) +
       QStringLiteral("\n\n[Seite]\n");
  QString papier = QStringLiteral("A4");
  for (const Papiername& p : kPapier)
    if (p.id == l.papier) papier = QLatin1String(p.name);
  t += QStringLiteral("Papier=") + papier + QLatin1Char('\n');
  t += QStringLiteral("Ausrichtung=") +
       (l.ausrichtung == QPageLayout::Landscape ? QStringLiteral("Querformat") : QStringLiteral("Hochformat")) +
       QLatin1Char('\n');
  t += QStringLiteral("Raender=") + ZahlText(l.raender.left()) + QLatin1Char(';') + ZahlText(l.raender.top()) +
       QLatin1Char(';') + ZahlText(l.raender.right()) + QLatin1Char(';') + ZahlText(l.raender.bottom()) + QLatin1Char('\n');
  t += QStringLiteral("Schrift=") + Wert(l.schrift) + QLatin1Char('\n');
  t += QStringLiteral("Groesse=") + ZahlText(l.groesse) + QStringLiteral("\n\n");
  ZeilenSchreiben(t, QStringLiteral("Titel"), l.titel);
  auto band = [&t](const char* abschnitt, const QString& links, const QString& mitte, const QString& rechts) {
    if (links.isEmpty() && mitte.isEmpty() && rechts.isEmpty()) return;
    t += QLatin1Char('[') + QLatin1String(abschnitt) + QStringLiteral("]\n");
    if (!links.isEmpty()) t += QStringLiteral("Links=") + Wert(links) + QLatin1Char('\n');
    if (!mitte.isEmpty()) t += QStringLiteral("Mitte=") + Wert(mitte) + QLatin1Char('\n');
    if (!rechts.isEmpty()) t += QStringLiteral("Rechts=") + Wert(rechts) + QLatin1Char('\n');
    t += QLatin1Char('\n');
  };
  band("Kopf", l.kopfLinks, l.kopfMitte, l.kopfRechts);
  band("Fuss", l.fussLinks, l.fussMitte, l.fussRechts);
  if (!l.gruppe.isEmpty()) t += QStringLiteral("[Tabelle]\nGruppe=") + Wert(l.gruppe) + QStringLiteral("\n\n");
  for (qsizetype i = 0; i < l.spalten.size(); ++i) {
    const Reportspalte& s = l.spalten.at(i);
    t += QStringLiteral("[Spalte%1]\n").arg(i + 1);
    t += QStringLiteral("Titel=") + Wert(s.titel) + QLatin1Char('\n');
    t += QStringLiteral("Wert=") + Wert(s.wert) + QLatin1Char('\n');
    t += QStringLiteral("Breite=") + ZahlText(s.breite) + QLatin1Char('\n');
    t += QStringLiteral("Ausrichtung=") + QLatin1String(AusrichtungName(s.ausrichtung)) + QLatin1Char('\n');
    if (s.summe) t += QStringLiteral("Summe=1\n");
    if (s.umbruch) t += QStringLiteral("Umbruch=1\n");
    if (s.nurErste) t += QStringLiteral("NurErste=1\n");
    t += QLatin1Char('\n');
  }
  ZeilenSchreiben(t, QStringLiteral("Zusammenfassung"), l.zusammenfassung);
  if (!l.sortierung.isEmpty()) t += QStringLiteral("[Sortierung]\nKennung=") + Wert(l.sortierung) + QLatin1Char('\n');
  return t;
}

QList<std::pair<QPageSize::PageSizeId, QString>> Reportdatei::Papierformate() {
  QList<std::pair<QPageSize::PageSizeId, QString>> liste;
  for (const Papiername& p : kPapier) liste << std::pair{p.id, QString::fromLatin1(p.name)};
  return liste;
}
