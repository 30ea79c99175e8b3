#include "shell/Programmschrift.h"

#include <QApplication>

#include "platform/settings/Registrierung.h"

namespace {
const QString kAbschnitt = QStringLiteral("Window State");
const QString kName = QStringLiteral("ProgrammSchrift");
const QString kGroesse = QStringLiteral("ProgrammSchriftGröße");
}  // namespace

QFont Programmschrift::Lesen() {
  QFont schrift = QApplication::font();
  const QString name = GetSetting(kAbschnitt, kName).trimmed();
  if (!name.isEmpty()) schrift.setFamily(name);
  bool ok = false;
  const double groesse = GetSetting(kAbschnitt, kGroesse).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
  if (ok && groesse >= 4 && groesse <= 72) schrift.setPointSizeF(groesse);
  return schrift;
}

void Programmschrift::Anwenden() { QApplication::setFont(Lesen()); }

void Programmschrift::Speichern(const QFont& schrift) {
  SaveSetting(kAbschnitt, kName, schrift.family());
  SaveSetting(kAbschnitt, kGroesse, QString::number(schrift.pointSizeF()));
  QApplication::setFont(schrift);
}
