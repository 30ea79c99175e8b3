#pragma once

#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <optional>

// A list report as its file describes it. Report files are INI text read with our own reader
// (values may hold commas): sections "Description" (key "Text"), "Seite", "Titel", "Kopf", "Fuss",
// "Tabelle", "Spalte1" ... "SpalteN" (numbered without gaps), "Zusammenfassung" and "Sortierung".
// Texts hold placeholders: {Name}, {Name|Format}, {Summe(Name)}, {Gruppensumme(Name)},
// {Anzahl(Name)}, {Seite}, {Seiten}; "{{" and "}}" stand for the braces themselves.
struct Reportzeile {
  QString text;
  double groesse = 0;   // points; 0 = the page's font size
  bool fett = false;
  bool operator==(const Reportzeile&) const = default;
};

enum class Spaltenausrichtung { Links, Mitte, Rechts };

struct Reportspalte {
  QString titel;
  QString wert;                 // text with placeholders
  double breite = 20;           // millimetres
  Spaltenausrichtung ausrichtung = Spaltenausrichtung::Links;
  bool summe = false;           // sum of the values it printed, in the sum row
  bool umbruch = false;         // long values wrap (else they are cut with "…"); never amounts, IBANs, BICs
  bool nurErste = false;        // only on the first row of a group (and of a page)
  bool operator==(const Reportspalte&) const = default;
};

struct Reportlayout {
  QString beschreibung;                           // [Description] Text
  QPageSize::PageSizeId papier = QPageSize::A4;
  QPageLayout::Orientation ausrichtung = QPageLayout::Portrait;
  QMarginsF raender{15, 15, 15, 15};              // millimetres: left, top, right, bottom
  QString schrift = QStringLiteral("DejaVu Sans");
  double groesse = 9;                             // points
  QList<Reportzeile> titel;                       // first page, below the header
  QString kopfLinks, kopfMitte, kopfRechts;       // every page
  QString fussLinks, fussMitte, fussRechts;       // every page
  QString gruppe;                                 // field whose change starts a group (optional)
  QList<Reportspalte> spalten;
  QList<Reportzeile> zusammenfassung;             // after the sum row
  QString sortierung;                             // identifier of an offered sort order (optional)
  bool operator==(const Reportlayout&) const = default;
};

// Reading and writing the report file format.
class Reportdatei {
 public:
  enum class Lesefehler { Keiner, FehltDatei, Unlesbar, Format };
  struct Ergebnis {
    std::optional<Reportlayout> layout;
    Lesefehler fehler = Lesefehler::Keiner;
    QString beschreibung;   // what is wrong, for the message
  };

  static Ergebnis Laden(const QString& datei);
  static Ergebnis AusText(const QString& text);
  // The file text: UTF-8, one key per line; reading it back gives the same layout.
  static QString AlsText(const Reportlayout& layout);
  // The paper sizes a report file may name, with their names in the file.
  static QList<std::pair<QPageSize::PageSizeId, QString>> Papierformate();
};
