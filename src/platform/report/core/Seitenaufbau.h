#pragma once

#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/report/core/Druckdokument.h"
#include "platform/report/core/Ganzwert.h"
#include "platform/report/core/Reportlayout.h"
#include "platform/report/core/Reportvorlage.h"

// Lays a list report out into pages, one row at a time: header, footer and the table's column
// titles on every page, the title on the first, the rows, then the sum row and the summary.
// A row that does not fit below the rows of a page asks for a new page (Report::Wiederholen); on a
// fresh page it is cut at the page's foot, so no row is asked for twice without progress. The rows
// of a group (one payment with its lines) stay together: a group that began below other rows goes to
// the next page whole. A report with sums carries them forward: "Übertrag" at the foot of a page
// and again at the head of the next; the sum row never stands alone on the last page: the last group
// goes along with it. Numbers, IBANs and BICs are never cut nor wrapped (Ganzwert): their columns get
// the room their widest value needs, taken from the other columns when the page is full, and a value
// that still does not fit prints as "###" (a sum may use the empty room of the sum row to its left first).
// The widths of the columns (points) on a line `platz` wide: unchanged when they fit; else all narrow by
// one factor, but none below its need (`bedarf`, 0 for none) as long as the needs fit the line; else all
// narrow alike.
void SpaltenbreitenVerteilen(std::vector<double>& breiten, const std::vector<double>& bedarf, double platz);

class Seitenaufbau {
 public:
  // `wert` gives the current value of a variable or field by name.
  Seitenaufbau(const Reportlayout& layout, std::function<QVariant(const QString& name)> wert);
  ~Seitenaufbau();

  int Seiten() const { return int(m_dokument.seiten.size()); }
  // A row or the end asked for a new page that has not begun yet.
  bool UmbruchFaellig() const { return m_umbruch; }
  void SeiteBeginnen();
  // The current row of fields; Report::Ok or Report::Wiederholen.
  int ZeileSetzen();
  // Sum row and summary; Report::Ok or Report::Wiederholen.
  int EndeSetzen();
  bool EndeGesetzt() const { return m_endeGesetzt; }

  Druckdokument DokumentUebernehmen() { return std::move(m_dokument); }

  // The width (millimetres) a column of `layout` needs for the widest value it may show whole (an
  // amount, an IBAN, a BIC; `wert` is a value of its field); 0 for a column without such a need.
  static double Mindestbreite(const Reportlayout& layout, const Reportspalte& spalte, const QVariant& wert);

  // The whole document of `zeilen` (field values by name); names that are not fields come from
  // `variable`. Lays out as a print does, for the designer's preview.
  static Druckdokument Probedruck(const Reportlayout& layout, const QList<QHash<QString, QVariant>>& zeilen,
                                  const std::function<QVariant(const QString& name)>& variable);

 private:
  struct Spalte {
    Reportspalte entwurf;
    Reportvorlage vorlage;
    Ganzwert::Art ganzwert = Ganzwert::Art::Keiner;   // by its single field
    double x = 0;
    double breite = 0;
    Reportsumme summe;
  };
  struct Zelle {
    QStringList zeilen;
    QImage bild;
    double hoehe = 0;
  };
  struct Zeilenbild {
    std::vector<Zelle> zellen;
    double hoehe = 0;
  };
  // The group being laid out on the current page: where it began, to take it to the next page whole.
  struct Gruppenstand {
    int zeilenDavor = 0;               // rows of the page above the group
    qsizetype texte = 0;               // lengths of the page's display lists at its start
    qsizetype bilder = 0;
    double y = 0;
    std::vector<QVariant> summenDavor; // the column sums before it
    std::vector<Zeilenbild> zeilen;    // its rows on this page
  };

  int Schrift(double punkte, bool fett);
  double Zeilenhoehe(int schrift) const;
  QVariant PlatzhalterWert(const Reportvorlage::Teil& teil) const;
  QString Ausfuellen(const Reportvorlage& vorlage) const;
  // A text in one line of the width, cut with "…" when too wide.
  QString Einzeilig(const QString& text, int schrift, double breite) const;
  QStringList Umbrechen(const QString& text, int schrift, double breite) const;
  // A word wider than the column in parts of about equal length, each as wide as the column allows.
  QStringList WortTeilen(const QString& wort, int schrift, double breite) const;
  void ZeilePlatzieren(const Zeilenbild& zeile);
  // The lowest a row may reach: above the room kept for the carry-forward.
  double ZeilenUnten() const;
  std::vector<QVariant> Summenstand() const;
  // A row of sums (the carry-forward or the sum row) with a label at the left.
  void Summenzeile(const std::vector<QVariant>& summen, const QString& beschriftung);
  double SummenzeileHoehe() const;
  bool HatSummen() const;
  void Band(const QString& links, const QString& mitte, const QString& rechts, double y);
  void TextSetzen(const QRectF& r, const QString& text, int schrift, Qt::Alignment a);
  Zelle ZelleBauen(Spalte& s, bool zeigen) const;
  // A value that must show whole (a number, an IBAN, a BIC) in one line: "###" when it does not fit.
  QString Ganztext(const QString& text, int schrift, double breite) const;
  // The current group's rows on this page go to the next one (they began below other rows); the sums
  // before them are what the page carries forward.
  bool GruppeVerschieben(std::vector<QVariant>& uebertrag);
  void Summieren(bool gruppenanfang);

  Reportlayout m_layout;
  std::function<QVariant(const QString&)> m_wert;
  Druckdokument m_dokument;
  std::vector<QFontMetricsF> m_metriken;
  std::vector<Spalte> m_spalten;
  Reportvorlage m_kopf[3], m_fuss[3];
  QList<std::pair<Reportvorlage, int>> m_titel;            // with font
  QList<std::pair<Reportvorlage, int>> m_zusammenfassung;
  // Aggregates of the summary, by "Funktion(Name)".
  QHash<QString, Reportsumme> m_summen;
  QHash<QString, QSet<QString>> m_verschieden;
  QList<Reportvorlage::Teil> m_aggregatTeile;   // the summary's aggregates, each once
  QRectF m_inhalt;           // inside the margins
  double m_tabelleUnten = 0;
  double m_y = 0;
  int m_zeilenAufSeite = 0;
  bool m_umbruch = false;
  bool m_endeGesetzt = false;
  bool m_hatGruppe = false;
  std::optional<QString> m_letzterGruppenwert;   // nullopt before the first row
  Gruppenstand m_gruppe;
  std::vector<Zeilenbild> m_nachtrag;   // a group's rows that go onto the next page first
  std::vector<QVariant> m_uebertrag;    // the sums carried to the next page (empty: none)
  int m_normal = 0;
  int m_fett = 1;
};
