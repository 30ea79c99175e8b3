#pragma once

#include <QSet>
#include <QString>

#include <functional>
#include <optional>

#include "platform/report/core/Ausgabefehler.h"
#include "platform/report/core/Reportlayout.h"

// Whether a report prints with the names a print defines: every placeholder names a field or a
// variable (or "Seite"/"Seiten"), aggregates stand in the summary only, the group field is a field,
// a summed column holds exactly one field, and nothing adds up a field whose sum the print refuses
// (`summeGesperrt` gives the reason, empty when a field may be summed: amounts without the sign of
// their row's kind would add transfers and debits alike). The engine checks this at the print
// start, the designer before it saves.
struct Reportpruefung {
  std::optional<Ausgabefehler> fehler;
  QString beschreibung;        // what is wrong, naming the section
  QSet<QString> felder;        // the names the report uses
  QSet<QString> variablen;
  bool Ok() const { return !fehler.has_value(); }
};

Reportpruefung ReportPruefen(const Reportlayout& layout, const std::function<bool(const QString&)>& istFeld,
                             const std::function<bool(const QString&)>& istVariable,
                             const std::function<QString(const QString&)>& summeGesperrt = {});

// A column whose sum can be printed: its value is exactly one field placeholder.
bool SpalteSummierbar(const Reportspalte& spalte);
