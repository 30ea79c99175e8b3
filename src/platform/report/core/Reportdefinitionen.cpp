#include "platform/report/core/Reportdefinitionen.h"

namespace {
const Reportdefinition* Suchen(const QList<Reportdefinition>& liste, const QString& name) {
  for (const Reportdefinition& d : liste)
    if (d.name == name) return &d;
  return nullptr;
}
}  // namespace

bool Reportdefinitionen::IstFeld(const QString& name) const { return Suchen(felder, name) != nullptr; }
bool Reportdefinitionen::IstVariable(const QString& name) const { return Suchen(variablen, name) != nullptr; }
const Reportdefinition* Reportdefinitionen::Feld(const QString& name) const { return Suchen(felder, name); }
const Reportdefinition* Reportdefinitionen::Variable(const QString& name) const { return Suchen(variablen, name); }
QString Reportdefinitionen::SummeGesperrt(const QString& name) const {
  const Reportdefinition* d = Suchen(felder, name);
  return d ? d->summeGesperrt : QString();
}
