#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// A report text with placeholders, taken apart once: {Name}, {Name|Format}, {Funktion(Name)},
// {Funktion(Name)|Format}; "{{" and "}}" are the braces themselves. A brace that opens no complete
// placeholder stays text.
class Reportvorlage {
 public:
  struct Teil {
    QString text;       // literal text (when name is empty)
    QString funktion;   // "", "Summe", "Gruppensumme", "Anzahl"
    QString name;
    QString format;
    // "Name" or "Funktion(Name)": the placeholder without its braces and format.
    QString Ausdruck() const;
  };

  static Reportvorlage Zerlegen(const QString& text);

  const QList<Teil>& Teile() const { return m_teile; }
  bool Leer() const { return m_teile.isEmpty(); }
  // Every placeholder of the text.
  QList<Teil> Platzhalter() const;
  // The field placeholder when the text is exactly one ({Name} or {Name|Format}), else nullptr.
  const Teil* EinzigesFeld() const;

  // Fills in the placeholders; `wert` gives the typed value of one placeholder.
  QString Ausfuellen(const std::function<QVariant(const Teil&)>& wert) const;

 private:
  QList<Teil> m_teile;
};

// German formatting of report values: numbers "1.234,56", dates "dd.MM.yyyy", Booleans "Ja"/"Nein",
// Null empty. Formats: numbers "0", "0,00", "#.##0,00" (decimals behind the comma, thousands points
// when the format has a point before it); dates a date pattern such as "dd.MM.yy"; Booleans "Ja;Nein".
QString ReportwertFormatieren(const QVariant& wert, const QString& format = {});

// Running sum of report numbers: exact for amounts (Waehrung) and whole numbers, otherwise double.
class Reportsumme {
 public:
  void Addieren(const QVariant& wert);
  // Takes the kind of number from a value without adding it: a sum over no rows still shows as an
  // amount ("0,00") when the field holds amounts.
  void ArtUebernehmen(const QVariant& muster);
  QVariant Ergebnis() const;

 private:
  qint64 m_roh = 0;          // ten-thousandths
  double m_ungenau = 0;
  bool m_nurGanzzahl = true;
  bool m_exakt = true;
};
