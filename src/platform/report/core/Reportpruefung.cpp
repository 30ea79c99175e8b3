#include "platform/report/core/Reportpruefung.h"

#include <QStringList>

#include "platform/report/core/Reportvorlage.h"

namespace {

const QString Seite = QStringLiteral("Seite");
const QString Seiten = QStringLiteral("Seiten");
const QStringList Funktionen = {QStringLiteral("Summe"), QStringLiteral("Gruppensumme"), QStringLiteral("Anzahl")};

QString Platzhaltertext(const Reportvorlage::Teil& t) { return QLatin1Char('{') + t.Ausdruck() + QLatin1Char('}'); }

class Pruefer {
 public:
  Pruefer(const std::function<bool(const QString&)>& istFeld, const std::function<bool(const QString&)>& istVariable,
          const std::function<QString(const QString&)>& summeGesperrt)
      : m_istFeld(istFeld), m_istVariable(istVariable), m_summeGesperrt(summeGesperrt) {}

  Reportpruefung Pruefen(const Reportlayout& l) {
    for (qsizetype i = 0; i < l.spalten.size(); ++i) {
      const Reportspalte& s = l.spalten.at(i);
      if (!s.summe) continue;
      const Reportvorlage vorlage = Reportvorlage::Zerlegen(s.wert);   // the field points into it
      const Reportvorlage::Teil* feld = vorlage.EinzigesFeld();
      if (!feld)
        return Fehler(Ausgabefehler::DateiFormat, QStringLiteral("Spalte%1: eine Summe braucht genau ein Feld als Wert.").arg(i + 1));
      if (!Summierbar(feld->name, QStringLiteral("Spalte%1").arg(i + 1))) return m_e;
    }
    for (const Reportzeile& z : l.titel)
      if (!Ausserhalb(z.text, QStringLiteral("Titel"), false)) return m_e;
    for (const QString& t : {l.kopfLinks, l.kopfMitte, l.kopfRechts})
      if (!Ausserhalb(t, QStringLiteral("Kopf"), false)) return m_e;
    for (const QString& t : {l.fussLinks, l.fussMitte, l.fussRechts})
      if (!Ausserhalb(t, QStringLiteral("Fuss"), false)) return m_e;
    for (const Reportzeile& z : l.zusammenfassung)
      if (!Ausserhalb(z.text, QStringLiteral("Zusammenfassung"), true)) return m_e;
    for (qsizetype i = 0; i < l.spalten.size(); ++i) {
      const QString wo = QStringLiteral("Spalte%1").arg(i + 1);
      for (const Reportvorlage::Teil& t : Reportvorlage::Zerlegen(l.spalten.at(i).wert).Platzhalter()) {
        if (!t.funktion.isEmpty()) return Nichterlaubt(t, wo);
        if (m_istFeld(t.name))
          m_e.felder.insert(t.name);
        else if (m_istVariable(t.name))
          m_e.variablen.insert(t.name);
        else if (t.name != Seite && t.name != Seiten)
          return Unbekannt(t, wo);
      }
    }
    if (!l.gruppe.isEmpty()) {
      if (!m_istFeld(l.gruppe)) return Fehler(Ausgabefehler::UnbekannterName, QStringLiteral("Unbekanntes Gruppenfeld %1").arg(l.gruppe));
      m_e.felder.insert(l.gruppe);
    }
    return m_e;
  }

 private:
  Reportpruefung Fehler(Ausgabefehler f, const QString& text) {
    m_e.fehler = f;
    m_e.beschreibung = text;
    return m_e;
  }
  Reportpruefung Unbekannt(const Reportvorlage::Teil& t, const QString& wo) {
    return Fehler(Ausgabefehler::UnbekannterName, QStringLiteral("Unbekannter Name %1 (%2)").arg(Platzhaltertext(t), wo));
  }
  Reportpruefung Nichterlaubt(const Reportvorlage::Teil& t, const QString& wo) {
    return Fehler(Ausgabefehler::DateiFormat, QStringLiteral("%1 ist hier nicht erlaubt (%2)").arg(Platzhaltertext(t), wo));
  }

  bool Summierbar(const QString& feld, const QString& wo) {
    const QString grund = m_summeGesperrt ? m_summeGesperrt(feld) : QString();
    if (grund.isEmpty()) return true;
    Fehler(Ausgabefehler::DateiFormat,
           QStringLiteral("Die Summe von {%1} ist nicht zulässig (%2): %3").arg(feld, wo, grund));
    return false;
  }

  // Texts outside the table: variables and the page numbers; in the summary also aggregates of fields.
  bool Ausserhalb(const QString& text, const QString& wo, bool aggregate) {
    for (const Reportvorlage::Teil& t : Reportvorlage::Zerlegen(text).Platzhalter()) {
      if (!t.funktion.isEmpty()) {
        if (!aggregate || !Funktionen.contains(t.funktion)) {
          Nichterlaubt(t, wo);
          return false;
        }
        if (!m_istFeld(t.name)) {
          Unbekannt(t, wo);
          return false;
        }
        if (t.funktion != QLatin1String("Anzahl") && !Summierbar(t.name, wo)) return false;
        m_e.felder.insert(t.name);
        continue;
      }
      if (t.name == Seite || t.name == Seiten) continue;
      if (!m_istVariable(t.name)) {
        Unbekannt(t, wo);
        return false;
      }
      m_e.variablen.insert(t.name);
    }
    return true;
  }

  const std::function<bool(const QString&)>& m_istFeld;
  const std::function<bool(const QString&)>& m_istVariable;
  const std::function<QString(const QString&)>& m_summeGesperrt;
  Reportpruefung m_e;
};

}  // namespace

Reportpruefung ReportPruefen(const Reportlayout& layout, const std::function<bool(const QString&)>& istFeld,
                             const std::function<bool(const QString&)>& istVariable,
                             const std::function<QString(const QString&)>& summeGesperrt) {
  return Pruefer(istFeld, istVariable, summeGesperrt).Pruefen(layout);
}

bool SpalteSummierbar(const Reportspalte& spalte) { return Reportvorlage::Zerlegen(spalte.wert).EinzigesFeld() != nullptr; }
