#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

#include "platform/report/core/Reportengine.h"

// What a print defines before its start, in the order of definition: the names a report may use,
// each with its declared value (a value of its kind: the designer's sample), and the sort orders
// the data offer. The designer builds and checks reports with these.
struct Reportdefinition {
  QString name;
  QVariant wert;
  Report::Typ typ = Report::Typ::Keiner;
  QString summeGesperrt;   // why the field's values must not be added up (empty: they may)
};

struct Reportdefinitionen {
  QList<Reportdefinition> felder;
  QList<Reportdefinition> variablen;
  QList<std::pair<QString, QString>> sortierungen;   // identifier, display text

  bool IstFeld(const QString& name) const;
  bool IstVariable(const QString& name) const;
  const Reportdefinition* Feld(const QString& name) const;
  const Reportdefinition* Variable(const QString& name) const;
  // Why a field must not be summed; empty when it may (or is no field).
  QString SummeGesperrt(const QString& name) const;
};
