#include "platform/db/Massenaenderung.h"

#include <sqlite3.h>

#include <QAnyStringView>
#include <QByteArray>
#include <QStringEncoder>
#include <QUtf8StringView>

#include <algorithm>
#include <map>

#include "platform/db/Anweisung.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlText.h"

namespace {
// One UPDATE names the changed fields in a bit mask.
constexpr int MaxFelder = 16;
// Rows read at a time: the writes between two reads make the read's cursor find its place again once
// per block instead of once per row.
constexpr int Blockgroesse = 256;
}  // namespace

struct Massenaenderung::Daten {
  enum class Art : unsigned char { Null, Text, Anderes };
  struct Wert {
    Art art = Art::Null;
    int start = 0;    // in puffer, UTF-8 (for Anderes: its text as the recordset shows it)
    int laenge = 0;
  };
  struct Blockzeile {
    qint64 rowid = 0;
    int zeile = -1;   // in the recordset
  };

  QStringList namen;
  std::vector<int> groessen;              // text size per field, 0 = unlimited
  SqlText tabelle;
  std::vector<SqlText> felder;
  bool schluesselIstRowid = false;
  Anweisung lesen;
  bool leseEnde = false;
  std::map<unsigned, Anweisung> aenderungen;   // UPDATE per set of changed fields
  std::vector<bool> gesehen;              // per row of the keyset: met in the table
  // for a key that is the rowid: (rowid, row of the recordset) by rowid, and where the next is expected
  std::vector<std::pair<qint64, int>> zeileVonRowid;
  size_t naechsteRowid = 0;
  int fehlendAb = 0;                      // where the search for rows not met goes on
  // the block of rows read: per row its ids, per row and field its value in puffer
  std::vector<Blockzeile> block;
  std::vector<Wert> werte;
  QByteArray puffer;
  int aktuell = -1;                       // row of the block in use
  // the new texts as UTF-8, bound without a copy; they keep their capacity from row to row
  QByteArray neu[MaxFelder];
  QStringEncoder utf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};

  const QByteArray& AlsUtf8(int i, QStringView text) {
    QByteArray& ziel = neu[i];
    ziel.resize(utf8.requiredSpace(text.size()));
    ziel.resize(utf8.appendToBuffer(ziel.data(), text) - ziel.constData());
    return ziel;
  }

  size_t FeldAnzahl() const { return felder.size(); }
  const Wert& WertVon(int feld) const { return werte[static_cast<size_t>(aktuell) * FeldAnzahl() + feld]; }

  // The recordset's row of a rowid, -1 when it is not one of them. The table comes in rowid order as a
  // rule, so the next entry is tried first.
  int ZeileVon(qint64 rowid) {
    const size_t n = zeileVonRowid.size();
    if (naechsteRowid < n && zeileVonRowid[naechsteRowid].first == rowid) return zeileVonRowid[naechsteRowid++].second;
    if (naechsteRowid < n && rowid < zeileVonRowid[naechsteRowid].first &&
        (naechsteRowid == 0 || zeileVonRowid[naechsteRowid - 1].first < rowid))
      return -1;
    const auto it = std::lower_bound(zeileVonRowid.begin(), zeileVonRowid.end(), std::pair<qint64, int>(rowid, -1));
    naechsteRowid = static_cast<size_t>(it - zeileVonRowid.begin());
    if (it == zeileVonRowid.end() || it->first != rowid) return -1;
    ++naechsteRowid;
    return it->second;
  }

  // Reads the next block of the recordset's rows; false when none is left or reading failed.
  bool BlockLesen(const Recordset& rs, DbFehler& fehler) {
    block.clear();
    werte.clear();
    puffer.resize(0);   // keeps its capacity
    aktuell = -1;
    if (leseEnde) return false;
    sqlite3_stmt* st = lesen.Handle();
    const int versatz = schluesselIstRowid ? 1 : 2;
    while (static_cast<int>(block.size()) < Blockgroesse && lesen.Schritt(fehler)) {
      const qint64 rowid = sqlite3_column_int64(st, 0);
      const int z = schluesselIstRowid ? ZeileVon(rowid) : rs.ZeileVonSchluessel(SpaltenWert(st, 1));
      if (z < 0 || gesehen[z]) continue;   // not a row of the recordset
      gesehen[z] = true;
      block.push_back({rowid, z});
      for (size_t i = 0; i < FeldAnzahl(); ++i) {
        const int c = versatz + static_cast<int>(i);
        Wert w;
        w.start = static_cast<int>(puffer.size());
        switch (sqlite3_column_type(st, c)) {
          case SQLITE_NULL:
            break;
          case SQLITE_TEXT:
            w.art = Art::Text;
            puffer.append(reinterpret_cast<const char*>(sqlite3_column_text(st, c)), sqlite3_column_bytes(st, c));
            break;
          default:
            w.art = Art::Anderes;
            puffer.append(SpaltenWert(st, c).toString().toUtf8());
        }
        w.laenge = static_cast<int>(puffer.size()) - w.start;
        werte.push_back(w);
      }
    }
    if (static_cast<int>(block.size()) < Blockgroesse || fehler) {
      leseEnde = true;
      lesen = Anweisung();
    }
    return !block.empty() && !fehler;
  }

  bool Gleich(int feld, const QString& text) const {
    const Wert& alt = WertVon(feld);
    return alt.art == Art::Text && QAnyStringView::equal(text, QUtf8StringView(puffer.constData() + alt.start, alt.laenge));
  }

  Anweisung* Aenderung(Datenbank& db, unsigned maske, DbFehler& fehler) {
    auto it = aenderungen.find(maske);
    if (it != aenderungen.end()) return &it->second;
    QList<SqlText> setzen;
    for (size_t i = 0; i < felder.size(); ++i)
      if (maske & (1u << i)) setzen << (felder[i] + SqlText(" = ?"));
    const SqlText sql = SqlText("UPDATE ") + tabelle + SqlText(" SET ") + SqlText::Verbinden(setzen, SqlText(", ")) +
                        SqlText(" WHERE rowid = ?");
    Anweisung a;
    if ((fehler = a.Vorbereiten(db, sql.Text()))) return nullptr;
    return &aenderungen.emplace(maske, std::move(a)).first->second;
  }
};

Massenaenderung::Massenaenderung(Recordset& rs) : m_rs(rs), d(std::make_unique<Daten>()) {}

Massenaenderung::~Massenaenderung() = default;

std::unique_ptr<Massenaenderung> Massenaenderung::Oeffnen(Recordset& rs, const QStringList& felder, DbFehler& fehler) {
  fehler = {};
  if (felder.size() > MaxFelder) {
    fehler = {SQLITE_MISUSE, QStringLiteral("Zu viele Felder für eine Massenänderung")};
    return nullptr;
  }
  std::unique_ptr<Massenaenderung> m(new Massenaenderung(rs));
  Daten& d = *m->d;
  std::vector<int> spalten;
  for (const QString& name : felder) {
    const int s = rs.SpaltenIndex(name);
    if (s < 0) {
      fehler = {DbFehlerNr::UnbekanntesFeld, QStringLiteral("Element nicht gefunden: ") + name};
      return nullptr;
    }
    spalten.push_back(s);
    d.namen << name;
    d.groessen.push_back(rs.Spalte(s).typ == FeldTyp::Text ? rs.Spalte(s).groesse : 0);
  }
  Recordset::Zeilenquelle quelle;
  if ((fehler = rs.ZeilenquelleFuer(spalten, quelle))) return nullptr;
  d.tabelle = quelle.tabelle;
  d.felder = quelle.felder;
  d.schluesselIstRowid = quelle.schluessel.Text() == QLatin1String("rowid");

  // rowid (for the writes), the key when it is another column, then the fields
  SqlText sql("SELECT rowid");
  if (!d.schluesselIstRowid) sql += SqlText(", ") + quelle.schluessel;
  for (const SqlText& f : quelle.felder) sql += SqlText(", ") + f;
  sql += SqlText(" FROM ") + quelle.tabelle;
  if ((fehler = d.lesen.Vorbereiten(rs.DB(), sql.Text()))) return nullptr;
  d.gesehen.assign(static_cast<size_t>(rs.RecordCount()), false);
  if (d.schluesselIstRowid) {
    d.zeileVonRowid.reserve(d.gesehen.size());
    for (int z = 0; z < rs.RecordCount(); ++z) d.zeileVonRowid.emplace_back(rs.SchluesselAn(z).toLongLong(), z);
    std::sort(d.zeileVonRowid.begin(), d.zeileVonRowid.end());
  }
  return m;
}

bool Massenaenderung::Naechste() {
  m_geloescht = false;
  m_zeile = -1;
  if (d->aktuell + 1 < static_cast<int>(d->block.size()) || d->BlockLesen(m_rs, m_fehler)) {
    ++d->aktuell;
    m_zeile = d->block[d->aktuell].zeile;
    return true;
  }
  if (m_fehler) return false;
  // rows of the keyset that the table no longer holds
  const int n = static_cast<int>(d->gesehen.size());
  while (d->fehlendAb < n && d->gesehen[d->fehlendAb]) ++d->fehlendAb;
  if (d->fehlendAb >= n) return false;
  m_zeile = d->fehlendAb++;
  m_geloescht = true;
  return true;
}

QString Massenaenderung::Text(int feld) const {
  if (m_zeile < 0 || m_geloescht || feld < 0 || feld >= static_cast<int>(d->FeldAnzahl())) return {};
  const Daten::Wert& w = d->WertVon(feld);
  if (w.art == Daten::Art::Null) return {};
  return QString::fromUtf8(d->puffer.constData() + w.start, w.laenge);
}

DbFehler Massenaenderung::Schreiben(const std::vector<std::optional<QString>>& werte) {
  if (m_zeile < 0) return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Kein aktueller Datensatz")};
  if (m_geloescht) return {DbFehlerNr::DatensatzGeloescht, QStringLiteral("Der Datensatz wurde gelöscht")};
  if (werte.size() > d->FeldAnzahl()) return {SQLITE_RANGE, QStringLiteral("Zu viele Werte")};
  unsigned maske = 0;
  for (size_t i = 0; i < werte.size(); ++i) {
    if (!werte[i] || d->Gleich(static_cast<int>(i), *werte[i])) continue;
    if (d->groessen[i] > 0 && werte[i]->size() > d->groessen[i])
      return {DbFehlerNr::FeldZuKlein, QStringLiteral("Das Feld %1 ist zu klein für den Wert (%2 Zeichen, höchstens %3).")
                                           .arg(d->namen[i])
                                           .arg(werte[i]->size())
                                           .arg(d->groessen[i])};
    maske |= 1u << i;
  }
  if (!maske) return {};

  Datenbank& db = m_rs.DB();
  DbFehler f;
  Anweisung* a = d->Aenderung(db, maske, f);
  if (!a) return f;
  sqlite3_stmt* st = a->Handle();
  int n = 0;
  for (size_t i = 0; i < werte.size(); ++i) {
    if (!(maske & (1u << i))) continue;
    const QByteArray& text = d->AlsUtf8(n, *werte[i]);
    const int rc = sqlite3_bind_text64(st, n + 1, text.constData(), static_cast<sqlite3_uint64>(text.size()),
                                       SQLITE_STATIC, SQLITE_UTF8);
    ++n;
    if (rc != SQLITE_OK) {
      a->Zuruecksetzen();
      return SqliteFehler(db.Handle(), rc);
    }
  }
  sqlite3_bind_int64(st, n + 1, d->block[d->aktuell].rowid);
  a->Schritt(f);
  const int geaendert = f ? 0 : sqlite3_changes(db.Handle());
  a->Zuruecksetzen();
  if (f) return f;
  if (geaendert != 1)
    return {DbFehlerNr::KeineTreffer, geaendert == 0 ? QStringLiteral("Der Datensatz wurde gelöscht")
                                                     : QStringLiteral("Mehr als ein Datensatz betroffen")};
  ++m_geschrieben;
  return {};
}

void Massenaenderung::Abschliessen() {
  d->lesen = Anweisung();
  d->leseEnde = true;
  d->block.clear();
  d->aktuell = -1;
  d->fehlendAb = static_cast<int>(d->gesehen.size());
  m_zeile = -1;
  m_rs.CacheVerwerfen();
}
