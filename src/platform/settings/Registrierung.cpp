#include "platform/settings/Registrierung.h"

#include <algorithm>
#include <limits>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString VorgabeDatei() {
  const QString env = qEnvironmentVariable("TAMOSEPA_EINSTELLUNGEN");
  if (!env.isEmpty()) return env;
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Tamo-SEPA 1.0.ini");
}

std::unique_ptr<QSettings> SettingsOeffnen(const QString& datei) {
  QDir().mkpath(QFileInfo(datei).absolutePath());
  return std::make_unique<QSettings>(datei, QSettings::IniFormat);
}

// The registry compared names without regard to case; QSettings does not on this platform.
QString GefundenerName(const QStringList& namen, const QString& gesucht) {
  if (namen.contains(gesucht)) return gesucht;
  for (const QString& n : namen)
    if (n.compare(gesucht, Qt::CaseInsensitive) == 0) return n;
  return {};
}

}  // namespace

Registrierung::Registrierung() : m_settings(SettingsOeffnen(VorgabeDatei())) {}

Registrierung& Registrierung::Instanz() {
  static Registrierung instanz;
  return instanz;
}

QString Registrierung::Datei() const { return m_settings->fileName(); }

void Registrierung::DateiSetzen(const QString& datei) {
  m_settings->sync();
  m_settings = SettingsOeffnen(datei);
}

QString Registrierung::Lesen(const QString& abschnitt, const QString& schluessel, const QString& vorgabe) const {
  const QString gruppe = GefundenerName(m_settings->childGroups(), abschnitt);
  if (gruppe.isEmpty()) return vorgabe;
  m_settings->beginGroup(gruppe);
  const QString name = GefundenerName(m_settings->childKeys(), schluessel);
  QVariant wert;
  if (!name.isEmpty()) wert = m_settings->value(name);
  m_settings->endGroup();
  if (name.isEmpty()) return vorgabe;
  // A hand-edited value with commas comes back from QSettings as a list.
  if (wert.metaType().id() == QMetaType::QStringList) return wert.toStringList().join(QLatin1Char(','));
  return wert.toString();
}

bool Registrierung::Vorhanden(const QString& abschnitt, const QString& schluessel) const {
  const QString gruppe = GefundenerName(m_settings->childGroups(), abschnitt);
  if (gruppe.isEmpty()) return false;
  m_settings->beginGroup(gruppe);
  const bool da = !GefundenerName(m_settings->childKeys(), schluessel).isEmpty();
  m_settings->endGroup();
  return da;
}

void Registrierung::Schreiben(const QString& abschnitt, const QString& schluessel, const QString& wert) {
  QString gruppe = GefundenerName(m_settings->childGroups(), abschnitt);
  if (gruppe.isEmpty()) gruppe = abschnitt;
  m_settings->beginGroup(gruppe);
  QString name = GefundenerName(m_settings->childKeys(), schluessel);
  if (name.isEmpty()) name = schluessel;
  m_settings->setValue(name, wert);
  m_settings->endGroup();
  m_settings->sync();  // the registry wrote at once; so do we
}

void Registrierung::Loeschen(const QString& abschnitt, const QString& schluessel) {
  const QString gruppe = GefundenerName(m_settings->childGroups(), abschnitt);
  if (gruppe.isEmpty()) return;
  if (schluessel.isEmpty()) {
    m_settings->remove(gruppe);
  } else {
    m_settings->beginGroup(gruppe);
    const QString name = GefundenerName(m_settings->childKeys(), schluessel);
    if (!name.isEmpty()) m_settings->remove(name);
    m_settings->endGroup();
  }
  m_settings->sync();
}

QStringList Registrierung::Schluessel(const QString& abschnitt) const {
  const QString gruppe = GefundenerName(m_settings->childGroups(), abschnitt);
  if (gruppe.isEmpty()) return {};
  m_settings->beginGroup(gruppe);
  const QStringList namen = m_settings->childKeys();
  m_settings->endGroup();
  return namen;
}

bool Registrierung::Sichern() {
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}

std::optional<int> EinstellungZahl(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-'))) ++i;
  const qsizetype ziffern = t.size() - i;
  if (ziffern == 0) return std::nullopt;
  for (qsizetype j = i; j < t.size(); ++j)
    if (t.at(j) < QLatin1Char('0') || t.at(j) > QLatin1Char('9')) return std::nullopt;
  const bool negativ = t.at(0) == QLatin1Char('-');
  // Leading zeros aside, more than ten digits lie beyond int in any case.
  const QStringView zahl = QStringView(t).sliced(i);
  qsizetype erste = 0;
  while (erste < zahl.size() - 1 && zahl.at(erste) == QLatin1Char('0')) ++erste;
  if (zahl.size() - erste > 10) return negativ ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
  const qint64 wert = (negativ ? -1 : 1) * zahl.sliced(erste).toLongLong();
  return int(std::clamp<qint64>(wert, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
