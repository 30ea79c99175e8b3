#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <vector>

// The marked rows of a grid: an ordered set of row keys (bookmarks). Marking order is kept;
// marking a marked row again changes nothing; unmarking removes it.
class GitterMarken {
 public:
  bool Setzen(const QVariant& schluessel);      // false when it was marked already
  bool Entfernen(const QVariant& schluessel);   // false when it was not marked
  bool Umschalten(const QVariant& schluessel);  // returns the new state
  void Leeren();
  bool Enthaelt(const QVariant& schluessel) const;
  int Anzahl() const { return static_cast<int>(m_reihe.size()); }
  bool Leer() const { return m_reihe.empty(); }
  // Keys in the order they were marked.
  const std::vector<QVariant>& Reihe() const { return m_reihe; }

 private:
  static QString Kennung(const QVariant& schluessel);
  void IndexNeu();

  std::vector<QVariant> m_reihe;
  QHash<QString, int> m_index;   // key text -> position in m_reihe
};
