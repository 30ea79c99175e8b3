#include "platform/ui/GitterMarken.h"

QString GitterMarken::Kennung(const QVariant& s) {
  // Numbers of any integer type must meet: rowid 5 as int and as qint64 is the same row.
  bool ok = false;
  const qlonglong n = s.toLongLong(&ok);
  if (ok && s.typeId() != QMetaType::QString) return QStringLiteral("n:") + QString::number(n);
  return QStringLiteral("t:") + s.toString();
}

void GitterMarken::IndexNeu() {
  m_index.clear();
  for (int i = 0; i < static_cast<int>(m_reihe.size()); ++i) m_index.insert(Kennung(m_reihe[i]), i);
}

bool GitterMarken::Setzen(const QVariant& schluessel) {
  if (!schluessel.isValid() || schluessel.isNull()) return false;
  const QString k = Kennung(schluessel);
  if (m_index.contains(k)) return false;
  m_index.insert(k, static_cast<int>(m_reihe.size()));
  m_reihe.push_back(schluessel);
  return true;
}

bool GitterMarken::Entfernen(const QVariant& schluessel) {
  const auto it = m_index.constFind(Kennung(schluessel));
  if (it == m_index.constEnd()) return false;
  m_reihe.erase(m_reihe.begin() + it.value());
  IndexNeu();
  return true;
}

bool GitterMarken::Umschalten(const QVariant& schluessel) {
  if (Entfernen(schluessel)) return false;
  return Setzen(schluessel);
}

void GitterMarken::Leeren() {
  m_reihe.clear();
  m_index.clear();
}

bool GitterMarken::Enthaelt(const QVariant& schluessel) const {
  return m_index.contains(Kennung(schluessel));
}
