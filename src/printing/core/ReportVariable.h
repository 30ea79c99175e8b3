#pragma once

#include <QString>
#include <QVariant>

#include "platform/report/core/Reportengine.h"

// One extra variable of a report: its name as the report sees it ("Zahlungsliste.Status"), a typed
// value (null prints empty; a picture as QImage) and its type.
struct ReportVariable {
  QString Name;
  QVariant Wert;
  Report::Typ Typ = Report::Typ::Text;
};
