#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"

#include <sqlite3.h>

#include <QHash>

#include <algorithm>
#include <cmath>

#include "platform/db/Anweisung.h"

namespace {

constexpr int Seitengroesse = 128;

// Keys normalised for hashing: integers by value, everything else by a tagged text.
struct NSchluessel {
  bool zahl = false;
  qint64 i = 0;
  QString s;
  bool operator==(const NSchluessel& o) const { return zahl == o.zahl && (zahl ? i == o.i : s == o.s); }
};

size_t qHash(const NSchluessel& k, size_t seed = 0) { return k.zahl ? ::qHash(k.i, seed) : ::qHash(k.s, seed); }

NSchluessel Normalisieren(const QVariant& v) {
  NSchluessel k;
  switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
      k.zahl = true;
      k.i = v.toLongLong();
      break;
    case QMetaType::ULongLong:
    case QMetaType::ULong:
      k.zahl = true;
      k.i = static_cast<qint64>(v.toULongLong());
      break;
    case QMetaType::Double: {
      const double d = v.toDouble();
      if (std::floor(d) == d && std::fabs(d) < 9e15) {
        k.zahl = true;
        k.i = static_cast<qint64>(d);
      } else {
        k.s = QStringLiteral("d") + QString::number(d, 'g', 17);
      }
      break;
    }
    case QMetaType::QByteArray:
      k.s = QStringLiteral("b") + QString::fromLatin1(v.toByteArray().toHex());
      break;
    default:
      k.s = v.isNull() ? QStringLiteral("n") : QStringLiteral("t") + v.toString();
  }
  return k;
}

bool IstRowidName(const QString& n) {
  return n.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0 ||
         n.compare(QLatin1String("oid"), Qt::CaseInsensitive) == 0 ||
         n.compare(QLatin1String("_rowid_"), Qt::CaseInsensitive) == 0;
}

QString TextVon(const char* p) { return p ? QString::fromUtf8(p) : QString(); }

// Value as the database stores it (what binding would write), for the edit buffer.
QVariant AlsSpeicherwert(const QVariant& v) {
  if (!v.isValid() || v.isNull()) return {};
  if (v.typeId() == qMetaTypeId<Waehrung>()) return QVariant(static_cast<qint64>(v.value<Waehrung>().Roh()));
  switch (v.typeId()) {
    case QMetaType::Bool:
      return QVariant(static_cast<qint64>(v.toBool() ? 1 : 0));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
      return QVariant(v.toLongLong());
    case QMetaType::Float:
      return QVariant(v.toDouble());
    case QMetaType::QDate:
      return v.toDate().isValid() ? QVariant(v.toDate().toString(QStringLiteral("yyyy-MM-dd"))) : QVariant();
    case QMetaType::QDateTime:
      return v.toDateTime().isValid() ? QVariant(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                      : QVariant();
    case QMetaType::QChar:
      return QVariant(QString(v.toChar()));
    default:
      return v;
  }
}

// First table of a FROM part: schema, table and alias (as written).
struct ErsteTabelle {
  QString schema;
  QString tabelle;
  QString alias;
  QString NameImAusdruck() const { return alias.isEmpty() ? (schema.isEmpty() ? tabelle : schema + QLatin1Char('.') + tabelle) : alias; }
};

bool IstWortzeichen(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

QString WortLesen(const QString& t, int& i) {
  const int n = static_cast<int>(t.size());
  while (i < n && t.at(i).isSpace()) ++i;
  if (i >= n) return {};
  const QChar c = t.at(i);
  QChar ende;
  if (c == QLatin1Char('"')) ende = QLatin1Char('"');
  else if (c == QLatin1Char('[')) ende = QLatin1Char(']');
  else if (c == QLatin1Char('`')) ende = QLatin1Char('`');
  if (!ende.isNull()) {
    QString wort;
    ++i;
    while (i < n) {
      if (t.at(i) == ende) {
        if (ende != QLatin1Char(']') && i + 1 < n && t.at(i + 1) == ende) {
          wort += ende;
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      wort += t.at(i++);
    }
    return wort;
  }
  const int start = i;
  while (i < n && IstWortzeichen(t.at(i))) ++i;
  return t.mid(start, i - start);
}

std::optional<ErsteTabelle> ErsteTabelleLesen(const QString& quelle) {
  int i = 0;
  const int n = static_cast<int>(quelle.size());
  while (i < n && (quelle.at(i).isSpace() || quelle.at(i) == QLatin1Char('('))) ++i;
  ErsteTabelle e;
  e.tabelle = WortLesen(quelle, i);
  if (e.tabelle.isEmpty()) return std::nullopt;
  if (i < n && quelle.at(i) == QLatin1Char('.')) {
    ++i;
    e.schema = e.tabelle;
    e.tabelle = WortLesen(quelle, i);
    if (e.tabelle.isEmpty()) return std::nullopt;
  }
  int j = i;
  QString wort = WortLesen(quelle, j);
  if (wort.compare(QLatin1String("AS"), Qt::CaseInsensitive) == 0) {
    e.alias = WortLesen(quelle, j);
  } else if (!wort.isEmpty()) {
    static const QStringList schluesselwoerter = {
        QStringLiteral("INNER"), QStringLiteral("LEFT"),    QStringLiteral("RIGHT"), QStringLiteral("FULL"),
        QStringLiteral("CROSS"), QStringLiteral("JOIN"),    QStringLiteral("NATURAL"), QStringLiteral("ON"),
        QStringLiteral("USING"), QStringLiteral("WHERE"),   QStringLiteral("GROUP"), QStringLiteral("ORDER"),
        QStringLiteral("LIMIT"), QStringLiteral("OUTER"),   QStringLiteral("INDEXED"), QStringLiteral("NOT")};
    if (!schluesselwoerter.contains(wort, Qt::CaseInsensitive)) e.alias = wort;
  }
  return e;
}

// Names from the schema go through the same check as every other name: a table or column whose name is
// not a plain identifier cannot be written to (the statement fails to prepare and the error is returned).
SqlText NameAlsSql(const QString& name) {
  return SqlText::Bezeichner(name);
}

}  // namespace

// ---- shared parts --------------------------------------------------------------------------------------

// Where a base table's rows are found again for UPDATE/DELETE.
struct Herkunft {
  QString db;
  QString tabelle;
  QStringList pkFelder;         // primary key of the base table
  std::vector<int> pkSpalten;   // selected columns holding the key (route "Spalten")
  bool perSchluessel = false;   // the recordset key identifies the row (route "Schluessel")
  QString schluesselFeld;       // column to compare with the recordset key
  SqlText tabellenSql;          // "db"."tabelle", quoted once at open
  SqlText schluesselFeldSql;
  bool Aktualisierbar() const { return perSchluessel || !pkSpalten.empty(); }
  const SqlText& TabellenSql() const { return tabellenSql; }
};

struct Recordset::Metadaten {
  std::vector<SpaltenInfo> spalten;
  QHash<QString, int> namen;          // folded DAO name / qualified name -> column
  QHash<QString, int> exakt;          // the same names as spelt (lookup without folding)
  std::vector<int> herkunftVon;       // column -> index in herkuenfte, -1 for expressions
  std::vector<Herkunft> herkuenfte;
  int haupt = -1;                     // index of the main table in herkuenfte
  SqlText schluessel;                 // key expression; empty for a snapshot without key (row numbers)
  QString schluesselDb, schluesselTabelle, schluesselFeld;
  bool schluesselRowid = false;       // the key is the main table's rowid
  SqlText seitenSql;                  // "SELECT key, cols FROM quelle WHERE key IN (" (page reads)
  std::vector<SqlText> quellFeldSql;  // per column: its base field quoted, for the writes
  // Every column comes from one base table whose row the key identifies: an UPDATE of one row through
  // this recordset changes no other row's values.
  bool zeilenUnabhaengig = false;
};

struct Zwischenzeile {
  bool geloescht = false;
  QVariantList werte;
  quint64 epoche = 0;       // Daten::epoche when read
  quint64 generation = 0;   // Daten::generation when read; an older one counts as not cached
  quint64 lesung = 0;       // page read that filled it
};

struct Recordset::Daten {
  std::shared_ptr<const Metadaten> meta;
  std::vector<QVariant> schluessel;
  QHash<NSchluessel, int> index;
  bool indexGueltig = false;
  QHash<NSchluessel, Zwischenzeile> cache;
  // CacheVerwerfen only moves this on: old rows are refilled in place when their page is read again,
  // instead of freeing the whole cache at once.
  quint64 generation = 1;
  quint64 lesung = 0;
  QHash<QByteArray, SqlText> aenderungsSql;   // UPDATE text per base table and set of changed columns
  quint64 version = 1;
  // Rows read in the current epoch are current as long as the database's data state stays
  // `epochenStand`; any other change starts a new epoch.
  quint64 epoche = 1;
  std::optional<Datenstand> epochenStand;
  Anweisung seite;                    // prepared full-page read
  DbFehler letzterFehler;

  void IndexAufbauen() {
    if (indexGueltig) return;
    index.clear();
    index.reserve(static_cast<qsizetype>(schluessel.size()));
    for (size_t i = 0; i < schluessel.size(); ++i) index.insert(Normalisieren(schluessel[i]), static_cast<int>(i));
    indexGueltig = true;
  }
  int Position(const QVariant& k) {
    IndexAufbauen();
    return index.value(Normalisieren(k), -1);
  }
  const Zwischenzeile* Gueltig(const NSchluessel& k) const {
    const auto it = cache.constFind(k);
    return (it != cache.constEnd() && it->generation == generation) ? &*it : nullptr;
  }
};

Abfrage Abfrage::Tabelle(const QString& name) {
  Abfrage a;
  a.quelle = SqlText::Bezeichner(name);
  a.haupttabelle = name;
  return a;
}

Recordset::~Recordset() = default;

namespace {

// Origin (database, table) of the columns of `SELECT * FROM name`; used to resolve views.
std::optional<std::pair<QString, QString>> UrsprungVon(Datenbank& db, const SqlText& name, DbFehler& fehler) {
  Anweisung a;
  fehler = a.Vorbereiten(db, (SqlText("SELECT * FROM ") + name).Text());
  if (fehler) return std::nullopt;
  for (int i = 0; i < sqlite3_column_count(a.Handle()); ++i) {
    const char* t = sqlite3_column_table_name(a.Handle(), i);
    if (t) return std::make_pair(TextVon(sqlite3_column_database_name(a.Handle(), i)), TextVon(t));
  }
  fehler = {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Keine Basistabelle gefunden")};
  return std::nullopt;
}

QStringList PrimaerschluesselVon(Datenbank& db, const QString& schema, const QString& tabelle, DbFehler& fehler) {
  QStringList pk;
  std::vector<std::pair<int, QString>> teile;
  fehler = db.Abfragen("SELECT name, pk FROM pragma_table_info(?, ?) WHERE pk > 0", {tabelle, schema},
                       [&](const Zeile& z) {
                         teile.emplace_back(z.Wert(1).toInt(), z.Wert(0).toString());
                         return true;
                       });
  std::sort(teile.begin(), teile.end());
  for (const auto& t : teile) pk << t.second;
  return pk;
}

}  // namespace

std::unique_ptr<Recordset> Recordset::Oeffnen(Datenbank& db, const Abfrage& abfrage, RecordsetTyp typ, DbFehler& fehler) {
  fehler = {};
  if (abfrage.quelle.IstLeer()) {
    fehler = {SQLITE_MISUSE, QStringLiteral("Keine Datenquelle angegeben")};
    return nullptr;
  }
  auto meta = std::make_shared<Metadaten>();
  const SqlText spalten = abfrage.spalten.IstLeer() ? SqlText("*") : abfrage.spalten;
  const auto erste = ErsteTabelleLesen(abfrage.quelle.Text());

  // Key expression
  meta->schluessel = abfrage.schluessel;
  if (meta->schluessel.IstLeer() && typ != RecordsetTyp::Snapshot) {
    if (!erste) {
      fehler = {SQLITE_MISUSE, QStringLiteral("Erste Tabelle der Datenquelle nicht erkennbar")};
      return nullptr;
    }
    const SqlText name = NameAlsSql(erste->NameImAusdruck());
    Anweisung probe;
    fehler = probe.Vorbereiten(db, (SqlText("SELECT ") + name + SqlText(".rowid FROM ") + abfrage.quelle).Text());
    if (fehler) return nullptr;
    if (sqlite3_column_table_name(probe.Handle(), 0)) {
      meta->schluessel = name + SqlText(".rowid");
    } else {
      // a view: its column that carries the base table's single-column primary key
      const SqlText tab = NameAlsSql(erste->schema.isEmpty() ? erste->tabelle : erste->schema + QLatin1Char('.') + erste->tabelle);
      Anweisung sicht;
      fehler = sicht.Vorbereiten(db, (SqlText("SELECT * FROM ") + tab).Text());
      if (fehler) return nullptr;
      for (int i = 0; i < sqlite3_column_count(sicht.Handle()) && meta->schluessel.IstLeer(); ++i) {
        const char* t = sqlite3_column_table_name(sicht.Handle(), i);
        if (!t) continue;
        DbFehler f;
        const QStringList pk = PrimaerschluesselVon(db, TextVon(sqlite3_column_database_name(sicht.Handle(), i)), TextVon(t), f);
        if (!f && pk.size() == 1 &&
            pk.first().compare(TextVon(sqlite3_column_origin_name(sicht.Handle(), i)), Qt::CaseInsensitive) == 0)
          meta->schluessel = name + SqlText(".") + NameAlsSql(TextVon(sqlite3_column_name(sicht.Handle(), i)));
      }
      if (meta->schluessel.IstLeer()) {
        fehler = {DbFehlerNr::NichtAktualisierbar,
                  QStringLiteral("Kein Schlüssel für ") + erste->tabelle + QStringLiteral(" bekannt")};
        return nullptr;
      }
    }
  }

  // Column metadata from the page statement (or the plain select of a keyless snapshot).
  Anweisung probe;
  const bool mitSchluessel = !meta->schluessel.IstLeer();
  if (mitSchluessel) {
    meta->seitenSql = SqlText("SELECT ") + meta->schluessel + SqlText(", ") + spalten + SqlText(" FROM ") +
                      abfrage.quelle + SqlText(" WHERE ") + meta->schluessel + SqlText(" IN (");
    fehler = probe.Vorbereiten(db, (meta->seitenSql + SqlText("?)")).Text());
  } else {
    fehler = probe.Vorbereiten(db, (SqlText("SELECT ") + spalten + SqlText(" FROM ") + abfrage.quelle).Text());
  }
  if (fehler) return nullptr;
  sqlite3_stmt* st = probe.Handle();
  const int versatz = mitSchluessel ? 1 : 0;
  const int anzahl = sqlite3_column_count(st) - versatz;
  if (mitSchluessel) {
    meta->schluesselDb = TextVon(sqlite3_column_database_name(st, 0));
    meta->schluesselTabelle = TextVon(sqlite3_column_table_name(st, 0));
    meta->schluesselFeld = TextVon(sqlite3_column_origin_name(st, 0));
  }
  auto herkunftIndex = [&](const QString& dbName, const QString& tab) {
    for (size_t h = 0; h < meta->herkuenfte.size(); ++h)
      if (meta->herkuenfte[h].db == dbName && meta->herkuenfte[h].tabelle.compare(tab, Qt::CaseInsensitive) == 0)
        return static_cast<int>(h);
    Herkunft neu;
    neu.db = dbName;
    neu.tabelle = tab;
    meta->herkuenfte.push_back(neu);
    return static_cast<int>(meta->herkuenfte.size() - 1);
  };
  for (int i = 0; i < anzahl; ++i) {
    SpaltenInfo s;
    const int c = i + versatz;
    s.feld = TextVon(sqlite3_column_name(st, c));
    s.name = s.feld;
    s.quellTabelle = TextVon(sqlite3_column_table_name(st, c));
    s.quellFeld = TextVon(sqlite3_column_origin_name(st, c));
    s.quellDatenbank = TextVon(sqlite3_column_database_name(st, c));
    QString deklaration = TextVon(sqlite3_column_decltype(st, c));
    if (!s.quellTabelle.isEmpty()) {
      const char* typText = nullptr;
      const QByteArray d = s.quellDatenbank.toUtf8(), t = s.quellTabelle.toUtf8(), f = s.quellFeld.toUtf8();
      if (sqlite3_table_column_metadata(db.Handle(), d.constData(), t.constData(), f.constData(), &typText, nullptr,
                                        nullptr, nullptr, nullptr) == SQLITE_OK && typText)
        deklaration = QString::fromUtf8(typText);
      meta->herkunftVon.push_back(herkunftIndex(s.quellDatenbank, s.quellTabelle));
    } else {
      meta->herkunftVon.push_back(-1);
    }
    const DeklarierterTyp dt = TypAusDeklaration(deklaration);
    s.typ = dt.typ;
    s.groesse = dt.groesse;
    if (s.quellTabelle.isEmpty() && s.typ == FeldTyp::Unbekannt)
      for (const auto& [name, ausdruckstyp] : abfrage.ausdrucksTypen)
        if (name.compare(s.feld, Qt::CaseInsensitive) == 0) s.typ = ausdruckstyp;
    meta->spalten.push_back(s);
  }
  // DAO names: a name repeated by a join becomes "Tabelle.Feld"
  QHash<QString, int> haeufigkeit;
  for (const SpaltenInfo& s : meta->spalten) haeufigkeit[s.feld.toCaseFolded()]++;
  for (int i = 0; i < anzahl; ++i) {
    SpaltenInfo& s = meta->spalten[i];
    const bool doppelt = haeufigkeit.value(s.feld.toCaseFolded()) > 1;
    if (doppelt && !s.quellTabelle.isEmpty()) s.name = s.quellTabelle + QLatin1Char('.') + s.feld;
    if (!doppelt && !meta->namen.contains(s.name.toCaseFolded())) {
      meta->namen.insert(s.name.toCaseFolded(), i);
      meta->exakt.insert(s.name, i);
    }
    if (!s.quellTabelle.isEmpty()) {
      const QString q = s.quellTabelle + QLatin1Char('.') + s.feld;
      if (!meta->namen.contains(q.toCaseFolded())) {
        meta->namen.insert(q.toCaseFolded(), i);
        meta->exakt.insert(q, i);
      }
    }
  }

  // Main table (AddNew/Delete); a view resolves to its base table.
  if (typ != RecordsetTyp::Snapshot) {
    QString haupt = abfrage.haupttabelle;
    if (haupt.isEmpty() && erste) haupt = erste->schema.isEmpty() ? erste->tabelle : erste->schema + QLatin1Char('.') + erste->tabelle;
    DbFehler f;
    const auto ursprung = haupt.isEmpty() ? std::nullopt : UrsprungVon(db, NameAlsSql(haupt), f);
    if (ursprung) meta->haupt = herkunftIndex(ursprung->first, ursprung->second);
    // How each base table finds its row again.
    for (Herkunft& h : meta->herkuenfte) {
      h.pkFelder = PrimaerschluesselVon(db, h.db, h.tabelle, f);
      if (f) continue;
      bool alle = !h.pkFelder.isEmpty();
      for (const QString& pk : h.pkFelder) {
        int gefunden = -1;
        for (int i = 0; i < anzahl && gefunden < 0; ++i) {
          const SpaltenInfo& s = meta->spalten[i];
          if (s.quellDatenbank == h.db && s.quellTabelle.compare(h.tabelle, Qt::CaseInsensitive) == 0 &&
              s.quellFeld.compare(pk, Qt::CaseInsensitive) == 0)
            gefunden = i;
        }
        if (gefunden < 0) alle = false;
        else h.pkSpalten.push_back(gefunden);
      }
      if (!alle) h.pkSpalten.clear();
      const bool schluesselHier = meta->schluesselDb == h.db && !meta->schluesselTabelle.isEmpty() &&
                                  meta->schluesselTabelle.compare(h.tabelle, Qt::CaseInsensitive) == 0;
      if (schluesselHier && IstRowidName(meta->schluesselFeld)) {
        h.perSchluessel = true;
        h.schluesselFeld = QStringLiteral("rowid");
      } else if (schluesselHier && h.pkFelder.size() == 1 &&
                 h.pkFelder.first().compare(meta->schluesselFeld, Qt::CaseInsensitive) == 0) {
        h.perSchluessel = true;
        h.schluesselFeld = h.pkFelder.first();
      }
    }
    if (meta->haupt >= 0) {
      const Herkunft& h = meta->herkuenfte[meta->haupt];
      if (h.perSchluessel) {
        const char* typText = nullptr;
        int pk = 0;
        const QByteArray d = h.db.toUtf8(), t = h.tabelle.toUtf8(), fe = meta->schluesselFeld.toUtf8();
        if (IstRowidName(meta->schluesselFeld)) {
          meta->schluesselRowid = true;
        } else if (sqlite3_table_column_metadata(db.Handle(), d.constData(), t.constData(), fe.constData(), &typText,
                                                 nullptr, nullptr, &pk, nullptr) == SQLITE_OK &&
                   pk && typText && QString::fromUtf8(typText).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0 &&
                   h.pkFelder.size() == 1) {
          meta->schluesselRowid = true;  // INTEGER PRIMARY KEY is the rowid
        }
      }
    }
    for (int i = 0; i < anzahl; ++i) {
      const int h = meta->herkunftVon[i];
      meta->spalten[i].aktualisierbar = h >= 0 && meta->herkuenfte[h].Aktualisierbar();
    }
  }
  // names for the writes, quoted once
  for (Herkunft& h : meta->herkuenfte) {
    h.tabellenSql = NameAlsSql(h.db + QLatin1Char('.') + h.tabelle);
    h.schluesselFeldSql = NameAlsSql(h.schluesselFeld);
  }
  for (const SpaltenInfo& s : meta->spalten)
    meta->quellFeldSql.push_back(NameAlsSql(s.quellFeld));
  meta->zeilenUnabhaengig = typ != RecordsetTyp::Snapshot && meta->herkuenfte.size() == 1 && meta->haupt == 0 &&
                            meta->herkuenfte[0].perSchluessel &&
                            std::all_of(meta->herkunftVon.begin(), meta->herkunftVon.end(), [](int h) { return h == 0; });

  std::unique_ptr<Recordset> rs(new Recordset());
  rs->m_db = &db;
  rs->m_abfrage = abfrage;
  rs->m_abfrage.spalten = spalten;
  rs->m_typ = typ;
  rs->d = std::make_shared<Daten>();
  rs->d->meta = meta;
  fehler = rs->SchluesselLesen(*rs->d);
  if (fehler) return nullptr;
  rs->Positionieren(rs->d->schluessel.empty() ? -1 : 0);
  return rs;
}

// Runs the key query (dynaset/table) or reads all rows (snapshot) into `ziel`.
DbFehler Recordset::SchluesselLesen(Daten& ziel) const {
  const Metadaten& meta = *ziel.meta;
  ziel.schluessel.clear();
  ziel.cache.clear();
  ziel.index.clear();
  ziel.indexGueltig = false;
  ziel.version++;
  const SqlText sortierung = m_abfrage.sortierung.IstLeer()
                                 ? (meta.schluessel.IstLeer() ? SqlText() : SqlText(" ORDER BY ") + meta.schluessel)
                                 : SqlText(" ORDER BY ") + m_abfrage.sortierung;
  Anweisung a;
  if (m_typ == RecordsetTyp::Snapshot) {
    const SqlText sql = SqlText("SELECT ") + m_abfrage.spalten + SqlText(" FROM ") + m_abfrage.quelle +
                        m_abfrage.bedingung.AlsWhere() + sortierung;
    if (DbFehler f = a.Wiederverwenden(*m_db, sql.Text())) return f;
    if (DbFehler f = a.Binden(m_abfrage.bedingung.parameter)) return f;
    const int n = static_cast<int>(meta.spalten.size());
    DbFehler f;
    qint64 nr = 0;
    while (a.Schritt(f)) {
      // checked after the step: a kept statement is prepared again there after another connection's change
      if (sqlite3_column_count(a.Handle()) != n)
        return {SQLITE_SCHEMA, QStringLiteral("Spalten der Abfrage haben sich geändert")};
      Zwischenzeile z;
      z.generation = ziel.generation;
      z.werte.reserve(n);
      for (int i = 0; i < n; ++i) z.werte << SpaltenWert(a.Handle(), i);
      const QVariant k(nr++);
      ziel.cache.insert(Normalisieren(k), std::move(z));
      ziel.schluessel.push_back(k);
    }
    if (!f && nr == 0 && sqlite3_column_count(a.Handle()) != n)
      return {SQLITE_SCHEMA, QStringLiteral("Spalten der Abfrage haben sich geändert")};
    return f;
  }
  const SqlText sql = SqlText("SELECT ") + meta.schluessel + SqlText(" FROM ") + m_abfrage.quelle +
                      m_abfrage.bedingung.AlsWhere() + sortierung;
  if (DbFehler f = a.Wiederverwenden(*m_db, sql.Text())) return f;
  if (DbFehler f = a.Binden(m_abfrage.bedingung.parameter)) return f;
  DbFehler f;
  while (a.Schritt(f)) ziel.schluessel.push_back(SpaltenWert(a.Handle(), 0));
  return f;
}

// Values of row `zeile` (page-wise lazy read); nullptr when the row cannot be read.
const QVariantList* Recordset::WerteAn(int zeile) const {
  Daten& dd = *d;
  if (zeile < 0 || zeile >= static_cast<int>(dd.schluessel.size())) return nullptr;
  if (const Zwischenzeile* z = dd.Gueltig(Normalisieren(dd.schluessel[zeile]))) return z->geloescht ? nullptr : &z->werte;
  if (m_typ == RecordsetTyp::Snapshot) return nullptr;
  // read the page around the row: keys not yet cached
  const int start = zeile - zeile % Seitengroesse;
  const int ende = std::min(start + Seitengroesse, static_cast<int>(dd.schluessel.size()));
  QVariantList fehlende;
  fehlende.reserve(ende - start);
  for (int i = start; i < ende; ++i)
    if (!dd.Gueltig(Normalisieren(dd.schluessel[i]))) fehlende << dd.schluessel[i];
  const Metadaten& meta = *dd.meta;
  const quint64 epoche = Epoche();
  Anweisung eigene;
  Anweisung* a = &dd.seite;
  const bool vollSeite = fehlende.size() == Seitengroesse;
  DbFehler f;
  if (vollSeite) {
    if (a->Leer()) {
      QString platz = QStringLiteral("?");
      for (int i = 1; i < Seitengroesse; ++i) platz += QStringLiteral(",?");
      // only placeholders are appended: the text stays program text
      f = a->Vorbereiten(*m_db, meta.seitenSql.Text() + platz + QStringLiteral(")"));
    } else {
      a->Zuruecksetzen();
    }
  } else {
    QString platz = QStringLiteral("?");
    for (qsizetype i = 1; i < fehlende.size(); ++i) platz += QStringLiteral(",?");
    a = &eigene;
    f = a->Vorbereiten(*m_db, meta.seitenSql.Text() + platz + QStringLiteral(")"));
  }
  if (!f) f = a->Binden(fehlende);
  if (f) {
    dd.letzterFehler = f;
    if (vollSeite) dd.seite = Anweisung();
    return nullptr;
  }
  const int n = static_cast<int>(meta.spalten.size());
  const quint64 lesung = ++dd.lesung;
  while (a->Schritt(f)) {
    // a row dropped by CacheVerwerfen is refilled in place (its list and hash node are reused)
    Zwischenzeile& z = dd.cache[Normalisieren(SpaltenWert(a->Handle(), 0))];
    if (z.lesung == lesung) continue;  // a join repeating the key: first row counts
    z.lesung = lesung;
    z.generation = dd.generation;
    z.epoche = epoche;
    z.geloescht = false;
    if (z.werte.size() != n) {
      z.werte.clear();
      z.werte.resize(n);
    }
    for (int i = 0; i < n; ++i) z.werte[i] = SpaltenWert(a->Handle(), i + 1);
  }
  if (vollSeite) a->Zuruecksetzen();
  if (f) {
    dd.letzterFehler = f;
    return nullptr;
  }
  dd.letzterFehler = {};
  for (const QVariant& k : fehlende) {
    Zwischenzeile& z = dd.cache[Normalisieren(k)];
    if (z.lesung == lesung) continue;
    // gone meanwhile
    z.lesung = lesung;
    z.generation = dd.generation;
    z.epoche = epoche;
    z.geloescht = true;
    z.werte.clear();
  }
  const Zwischenzeile* z = dd.Gueltig(Normalisieren(dd.schluessel[zeile]));
  return (!z || z->geloescht) ? nullptr : &z->werte;
}

DbFehler Recordset::ZeileNeuLesen(int zeile) {
  if (m_typ == RecordsetTyp::Snapshot) return {};
  if (zeile < 0 || zeile >= static_cast<int>(d->schluessel.size())) return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Kein aktueller Datensatz")};
  const QVariant k = d->schluessel[zeile];
  const quint64 epoche = Epoche();
  Anweisung a;
  if (DbFehler f = a.Wiederverwenden(*m_db, d->meta->seitenSql.Text() + QStringLiteral("?)"))) return f;
  if (DbFehler f = a.Binden({k})) return f;
  DbFehler f;
  Zwischenzeile z{true, {}, epoche, d->generation};
  if (a.Schritt(f)) {
    z.geloescht = false;
    for (int i = 0; i < static_cast<int>(d->meta->spalten.size()); ++i) z.werte << SpaltenWert(a.Handle(), i + 1);
  }
  if (f) return f;
  d->cache.insert(Normalisieren(k), std::move(z));
  return {};
}

DbFehler Recordset::LetzterFehler() const { return d->letzterFehler; }

quint64 Recordset::Epoche() const {
  Daten& dd = *d;
  const std::optional<Datenstand> jetzt = m_db->AktuellerDatenstand();
  if (!jetzt || !dd.epochenStand || !(*jetzt == *dd.epochenStand)) {
    ++dd.epoche;
    dd.epochenStand = jetzt;
  }
  return dd.epoche;
}

bool Recordset::ZeileAktuell(int zeile) const {
  if (!d->meta->zeilenUnabhaengig) return false;
  const Zwischenzeile* z = d->Gueltig(Normalisieren(d->schluessel[zeile]));
  return z && z->epoche == Epoche();
}

// ---- columns ------------------------------------------------------------------------------------------

int Recordset::SpaltenAnzahl() const { return static_cast<int>(d->meta->spalten.size()); }
const SpaltenInfo& Recordset::Spalte(int i) const { return d->meta->spalten.at(i); }
int Recordset::SpaltenIndex(const QString& name) const {
  for (const Namenstreffer& t : m_namen)
    if (!t.name.isNull() && t.name.size() == name.size() && (t.name.constData() == name.constData() || t.name == name))
      return t.spalte;
  int spalte = -1;
  const auto it = d->meta->exakt.constFind(name);
  if (it != d->meta->exakt.constEnd()) spalte = *it;
  else spalte = d->meta->namen.value(name.toCaseFolded(), -1);
  m_namen[m_naechsterName] = {name, spalte};
  m_naechsterName = (m_naechsterName + 1) % 4;
  return spalte;
}

// ---- position ------------------------------------------------------------------------------------------

int Recordset::AktuelleZeile() const {
  const int n = static_cast<int>(d->schluessel.size());
  if (m_version != d->version) {
    // rows were removed since the position was taken: find the current key again
    m_version = d->version;
    if (!m_aktGeloescht && m_pos >= 0 && m_pos < n + 1) {
      const int p = m_aktSchluessel.isValid() ? d->Position(m_aktSchluessel) : -1;
      if (p >= 0) {
        m_pos = p;
      } else if (m_aktSchluessel.isValid()) {
        m_aktGeloescht = true;
        m_pos = std::min(m_pos, n);
      }
    }
    if (m_pos > n) m_pos = n;
  }
  if (m_aktGeloescht || m_pos < 0 || m_pos >= n) return -1;
  return m_pos;
}

void Recordset::Positionieren(int pos) {
  const int n = static_cast<int>(d->schluessel.size());
  if (pos < -1) pos = -1;
  if (pos > n) pos = n;
  m_pos = pos;
  m_aktGeloescht = false;
  m_version = d->version;
  m_aktSchluessel = (pos >= 0 && pos < n) ? d->schluessel[pos] : QVariant();
  m_bof = pos < 0 || n == 0;
  m_eof = pos >= n || n == 0;
}

int Recordset::RecordCount() const { return static_cast<int>(d->schluessel.size()); }

bool Recordset::BOF() const {
  AktuelleZeile();
  return d->schluessel.empty() || m_pos < 0;
}

bool Recordset::EOF() const {
  AktuelleZeile();
  return d->schluessel.empty() || m_pos >= static_cast<int>(d->schluessel.size());
}

int Recordset::AbsolutePosition() const { return AktuelleZeile(); }

void Recordset::SetAbsolutePosition(int pos) {
  if (pos < 0 || pos >= RecordCount()) return;
  CancelUpdate();
  Positionieren(pos);
}

void Recordset::MoveFirst() {
  CancelUpdate();
  Positionieren(RecordCount() > 0 ? 0 : -1);
}

void Recordset::MoveLast() {
  CancelUpdate();
  Positionieren(RecordCount() > 0 ? RecordCount() - 1 : -1);
}

void Recordset::MoveNext() { Move(1); }
void Recordset::MovePrevious() { Move(-1); }

void Recordset::Move(int zeilen) {
  CancelUpdate();
  AktuelleZeile();
  int basis = m_pos;
  // after Delete the position already is the following row
  if (m_aktGeloescht && zeilen > 0) basis = m_pos - 1;
  Positionieren(basis + zeilen);
}

QVariant Recordset::Bookmark() const {
  const int z = AktuelleZeile();
  return z >= 0 ? d->schluessel[z] : QVariant();
}

bool Recordset::SetBookmark(const QVariant& lesezeichen) {
  const int p = ZeileVonSchluessel(lesezeichen);
  if (p < 0) return false;
  CancelUpdate();
  Positionieren(p);
  return true;
}

QVariant Recordset::LastModified() const { return m_letzteAenderung; }

QVariant Recordset::SchluesselAn(int zeile) const {
  return (zeile >= 0 && zeile < RecordCount()) ? d->schluessel[zeile] : QVariant();
}

int Recordset::ZeileVonSchluessel(const QVariant& schluessel) const {
  if (!schluessel.isValid() || schluessel.isNull()) return -1;
  return d->Position(schluessel);
}

// ---- find / seek ---------------------------------------------------------------------------------------

void Recordset::FindFirst(const Praedikat& p) {
  CancelUpdate();
  AktuelleZeile();
  Suchen(p, 0, +1);
}

void Recordset::FindNext(const Praedikat& p) {
  CancelUpdate();
  const int aktuell = AktuelleZeile();
  Suchen(p, aktuell >= 0 ? aktuell + 1 : (m_aktGeloescht ? m_pos : (m_pos < 0 ? 0 : RecordCount())), +1);
}

void Recordset::FindPrevious(const Praedikat& p) {
  CancelUpdate();
  const int aktuell = AktuelleZeile();
  const int n = RecordCount();
  const int start = aktuell >= 0 ? aktuell - 1 : (m_aktGeloescht ? m_pos - 1 : (m_pos >= n ? n - 1 : -1));
  Suchen(p, std::min(start, n - 1), -1);
}

void Recordset::FindLast(const Praedikat& p) {
  CancelUpdate();
  AktuelleZeile();
  Suchen(p, RecordCount() - 1, -1);
}

DbFehler Recordset::ZeilenFiltern(const Praedikat& behalten) {
  CancelUpdate();
  d->letzterFehler = {};
  const int n = RecordCount();
  std::vector<QVariant> bleiben;
  bleiben.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    Positionieren(i);
    if (behalten(*this)) bleiben.push_back(d->schluessel[static_cast<size_t>(i)]);
    if (d->letzterFehler) break;
  }
  if (DbFehler f = d->letzterFehler) {
    MoveFirst();
    return f;
  }
  if (static_cast<int>(bleiben.size()) != n) {
    d->schluessel = std::move(bleiben);
    d->indexGueltig = false;
    d->version++;
  }
  Positionieren(d->schluessel.empty() ? -1 : 0);
  return {};
}

void Recordset::Suchen(const Praedikat& p, int start, int schritt) {
  const int alt = m_pos;
  const bool altGeloescht = m_aktGeloescht;
  const int n = RecordCount();
  int treffer = -1;
  m_aktGeloescht = false;
  for (int i = start; i >= 0 && i < n && treffer < 0; i += schritt) {
    if (!WerteAn(i)) continue;
    m_pos = i;
    if (p(*this)) treffer = i;
  }
  m_keinTreffer = treffer < 0;
  if (treffer >= 0) {
    Positionieren(treffer);
  } else {
    m_pos = alt;
    m_aktGeloescht = altGeloescht;
  }
}

void Recordset::Seek(const QVariant& schluessel) {
  CancelUpdate();
  m_keinTreffer = true;
  const Metadaten& meta = *d->meta;
  if (meta.haupt < 0 || meta.schluessel.IstLeer()) {
    d->letzterFehler = {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Seek ist für diese Datensatzgruppe nicht möglich")};
    return;
  }
  const Herkunft& h = meta.herkuenfte[meta.haupt];
  QVariantList werte = schluessel.typeId() == QMetaType::QVariantList ? schluessel.toList() : QVariantList{schluessel};
  QList<SqlText> teile;
  if (!h.pkSpalten.empty() && static_cast<int>(h.pkSpalten.size()) == werte.size()) {
    for (int s : h.pkSpalten) teile << (NameAlsSql(meta.spalten[s].feld) + SqlText(" = ?"));
  } else if (h.perSchluessel && werte.size() == 1) {
    teile << (meta.schluessel + SqlText(" = ?"));
  } else {
    d->letzterFehler = {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Kein Primärschlüssel für Seek")};
    return;
  }
  for (QVariant& w : werte) w = AlsSpeicherwert(w);
  const SqlText sql = SqlText("SELECT ") + meta.schluessel + SqlText(" FROM ") + m_abfrage.quelle +
                      SqlText(" WHERE ") + SqlText::Verbinden(teile, SqlText(" AND "));
  int treffer = -1;
  const DbFehler f = m_db->Abfragen(sql, werte, [&](const Zeile& z) {
    treffer = ZeileVonSchluessel(z.Wert(0));
    return treffer < 0;
  });
  d->letzterFehler = f;
  if (f || treffer < 0) return;
  m_keinTreffer = false;
  Positionieren(treffer);
}

// ---- values --------------------------------------------------------------------------------------------

QVariant Recordset::Feld(int spalte) const {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return {};
  if (m_modus != EditModus::Keiner) return m_puffer.value(spalte);
  const int z = AktuelleZeile();
  if (z < 0) return {};
  const QVariantList* w = WerteAn(z);
  return w ? w->value(spalte) : QVariant();
}

QVariant Recordset::Feld(const QString& name) const { return Feld(SpaltenIndex(name)); }

QString Recordset::Text(const QString& name) const {
  const QVariant v = Feld(name);
  return v.isNull() ? QString() : v.toString();
}

std::optional<Waehrung> Recordset::Betrag(const QString& name) const {
  const QVariant v = Feld(name);
  if (v.isNull()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
      return Waehrung::AusRoh(v.toLongLong());
    case QMetaType::Double:
      return Waehrung::AusRoh(std::llround(v.toDouble() * Waehrung::Skala));
    case QMetaType::QString:
      return Waehrung::ParseInvariant(v.toString());
    default:
      if (v.typeId() == qMetaTypeId<Waehrung>()) return v.value<Waehrung>();
      return std::nullopt;
  }
}

std::optional<QDate> Recordset::Datum(const QString& name) const { return DatumAusWert(Feld(name)); }

bool Recordset::Wahr(const QString& name) const {
  const QVariant v = Feld(name);
  if (v.isNull()) return false;
  if (v.typeId() == QMetaType::QString) {
    const QString t = v.toString().trimmed();
    return t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || (t.toLongLong() != 0);
  }
  return v.toLongLong() != 0 || v.toBool();
}

qint64 Recordset::Ganzzahl(const QString& name) const {
  const QVariant v = Feld(name);
  return v.isNull() ? 0 : v.toLongLong();
}

QVariant Recordset::WertAn(int zeile, int spalte) const {
  if (spalte < 0 || spalte >= SpaltenAnzahl()) return {};
  const QVariantList* w = WerteAn(zeile);
  return w ? w->value(spalte) : QVariant();
}

// ---- editing -------------------------------------------------------------------------------------------

DbFehler Recordset::AenderbareZeile(int& zeile) {
  if (m_typ == RecordsetTyp::Snapshot)
    return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Die Datensatzgruppe ist nicht aktualisierbar")};
  CancelUpdate();
  zeile = AktuelleZeile();
  if (zeile >= 0) return {};
  if (m_aktGeloescht) return {DbFehlerNr::DatensatzGeloescht, QStringLiteral("Der Datensatz wurde gelöscht")};
  return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Kein aktueller Datensatz")};
}

DbFehler Recordset::Edit() {
  int z = -1;
  if (DbFehler f = AenderbareZeile(z)) return f;
  // current values, not those of the cache, unless no row can have changed since it was read
  if (!ZeileAktuell(z)) {
    if (DbFehler f = ZeileNeuLesen(z)) return f;
  }
  const QVariantList* w = WerteAn(z);
  if (!w) return {DbFehlerNr::DatensatzGeloescht, QStringLiteral("Der Datensatz wurde gelöscht")};
  m_puffer = *w;
  m_original = *w;
  m_geaendert.assign(m_puffer.size(), false);
  m_modus = EditModus::Bearbeiten;
  return {};
}

DbFehler Recordset::AddNew() {
  if (m_typ == RecordsetTyp::Snapshot)
    return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Die Datensatzgruppe ist nicht aktualisierbar")};
  if (d->meta->haupt < 0)
    return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Keine Tabelle zum Anfügen bekannt")};
  CancelUpdate();
  m_puffer = QVariantList();
  for (int i = 0; i < SpaltenAnzahl(); ++i) m_puffer << QVariant();
  m_original = m_puffer;
  m_geaendert.assign(m_puffer.size(), false);
  m_modus = EditModus::Neu;
  return {};
}

DbFehler Recordset::Setzen(const QString& name, const QVariant& wert) {
  if (m_modus == EditModus::Keiner)
    return {DbFehlerNr::KeinBearbeitungsmodus, QStringLiteral("Aktualisieren ohne AddNew oder Edit")};
  const int i = SpaltenIndex(name);
  if (i < 0) return {DbFehlerNr::UnbekanntesFeld, QStringLiteral("Element nicht gefunden: ") + name};
  const Metadaten& meta = *d->meta;
  const int h = meta.herkunftVon[i];
  const bool erlaubt = m_modus == EditModus::Neu ? (h >= 0 && h == meta.haupt) : meta.spalten[i].aktualisierbar;
  if (!erlaubt) return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Feld kann nicht aktualisiert werden: ") + name};
  m_puffer[i] = AlsSpeicherwert(wert);
  m_geaendert[i] = true;
  return {};
}

DbFehler Recordset::Update() {
  if (m_modus == EditModus::Keiner)
    return {DbFehlerNr::KeinBearbeitungsmodus, QStringLiteral("Aktualisieren ohne AddNew oder Edit")};
  const Metadaten& meta = *d->meta;
  const int n = SpaltenAnzahl();
  Transaktion t(*m_db);
  if (t.Fehler()) return t.Fehler();

  if (m_modus == EditModus::Neu) {
    const Herkunft& h = meta.herkuenfte[meta.haupt];
    QList<SqlText> felder;
    QList<SqlText> platz;
    QVariantList werte;
    for (int i = 0; i < n; ++i) {
      if (!m_geaendert[i]) continue;
      felder << meta.quellFeldSql[i];
      platz << SqlText("?");
      werte << m_puffer[i];
    }
    const SqlText sql = felder.isEmpty()
                            ? SqlText("INSERT INTO ") + h.TabellenSql() + SqlText(" DEFAULT VALUES")
                            : SqlText("INSERT INTO ") + h.TabellenSql() + SqlText(" (") +
                                  SqlText::Verbinden(felder, SqlText(", ")) + SqlText(") VALUES (") +
                                  SqlText::Verbinden(platz, SqlText(", ")) + SqlText(")");
    if (DbFehler f = m_db->Ausfuehren(sql, werte)) return f;
    const qint64 rowid = m_db->LetzteEinfuegeNr();
    // the new row's key for the keyset
    QVariant neu;
    if (meta.schluesselRowid) {
      neu = QVariant(rowid);
    } else if (h.perSchluessel || (meta.schluesselDb == h.db &&
                                   meta.schluesselTabelle.compare(h.tabelle, Qt::CaseInsensitive) == 0)) {
      DbFehler f;
      const auto w = m_db->Wert(SqlText("SELECT ") + NameAlsSql(meta.schluesselFeld) + SqlText(" FROM ") +
                                    h.TabellenSql() + SqlText(" WHERE rowid = ?"),
                                {rowid}, f);
      if (f) return f;
      if (w) neu = *w;
    }
    if (!neu.isValid() || neu.isNull())
      return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Schlüssel des neuen Datensatzes nicht bestimmbar")};
    if (DbFehler f = t.Commit()) return f;
    d->schluessel.push_back(neu);
    if (d->indexGueltig) d->index.insert(Normalisieren(neu), static_cast<int>(d->schluessel.size() - 1));
    d->cache.remove(Normalisieren(neu));
    m_letzteAenderung = neu;
    m_modus = EditModus::Keiner;
    m_puffer.clear();
    m_geaendert.clear();
    return {};
  }

  // Edit: one UPDATE per base table of the changed columns
  const int z = AktuelleZeile();
  if (z < 0) return {DbFehlerNr::KeinAktuellerDatensatz, QStringLiteral("Kein aktueller Datensatz")};
  std::optional<Datenstand> vorher;
  if (meta.zeilenUnabhaengig) {
    Epoche();
    vorher = d->epochenStand;
  }
  const QVariant schluessel = d->schluessel[z];
  QVariant neuerSchluessel = schluessel;
  std::vector<int> gruppen;
  for (int i = 0; i < n; ++i)
    if (m_geaendert[i] && std::find(gruppen.begin(), gruppen.end(), meta.herkunftVon[i]) == gruppen.end())
      gruppen.push_back(meta.herkunftVon[i]);
  for (int g : gruppen) {
    if (g < 0 || !meta.herkuenfte[g].Aktualisierbar())
      return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Feld kann nicht aktualisiert werden")};
    const Herkunft& h = meta.herkuenfte[g];
    QByteArray art(reinterpret_cast<const char*>(&g), sizeof g);
    QVariantList werte;
    for (int i = 0; i < n; ++i) {
      if (!m_geaendert[i] || meta.herkunftVon[i] != g) continue;
      art.append(reinterpret_cast<const char*>(&i), sizeof i);
      werte << m_puffer[i];
      if (h.perSchluessel && meta.spalten[i].quellFeld.compare(h.schluesselFeld, Qt::CaseInsensitive) == 0 &&
          meta.schluesselTabelle.compare(h.tabelle, Qt::CaseInsensitive) == 0)
        neuerSchluessel = m_puffer[i];
    }
    if (!h.pkSpalten.empty()) {
      for (int s : h.pkSpalten) werte << m_original[s];
    } else {
      werte << schluessel;
    }
    auto sql = d->aenderungsSql.constFind(art);
    if (sql == d->aenderungsSql.constEnd()) {
      QList<SqlText> setzen;
      for (int i = 0; i < n; ++i)
        if (m_geaendert[i] && meta.herkunftVon[i] == g) setzen << (meta.quellFeldSql[i] + SqlText(" = ?"));
      QList<SqlText> wo;
      if (!h.pkSpalten.empty()) {
        for (int s : h.pkSpalten) wo << (meta.quellFeldSql[s] + SqlText(" = ?"));
      } else {
        wo << (h.schluesselFeldSql + SqlText(" = ?"));
      }
      sql = d->aenderungsSql.insert(art, SqlText("UPDATE ") + h.TabellenSql() + SqlText(" SET ") +
                                             SqlText::Verbinden(setzen, SqlText(", ")) + SqlText(" WHERE ") +
                                             SqlText::Verbinden(wo, SqlText(" AND ")));
    }
    int geaendert = 0;
    if (DbFehler f = m_db->Ausfuehren(*sql, werte, &geaendert)) return f;
    if (geaendert != 1)
      return {DbFehlerNr::KeineTreffer, geaendert == 0 ? QStringLiteral("Der Datensatz wurde gelöscht")
                                                       : QStringLiteral("Mehr als ein Datensatz betroffen")};
  }
  if (DbFehler f = t.Commit()) return f;
  // only this row changed (no trigger, no other writer): the other cached rows stay current
  const std::optional<Datenstand> nachher = m_db->AktuellerDatenstand();
  if (vorher && nachher && vorher == d->epochenStand && nachher->ereignisse == vorher->ereignisse &&
      nachher->aenderungen == vorher->aenderungen + static_cast<qint64>(gruppen.size()))
    d->epochenStand = nachher;
  if (!(Normalisieren(neuerSchluessel) == Normalisieren(schluessel))) {
    // the key column itself was changed: the row keeps its place under the new key
    d->schluessel[z] = neuerSchluessel;
    d->indexGueltig = false;
    m_aktSchluessel = neuerSchluessel;
  }
  d->cache.remove(Normalisieren(schluessel));
  ZeileNeuLesen(z);
  m_letzteAenderung = d->schluessel[z];
  m_modus = EditModus::Keiner;
  m_puffer.clear();
  m_original.clear();
  m_geaendert.clear();
  return {};
}

void Recordset::CancelUpdate() {
  if (m_modus == EditModus::Keiner) return;
  m_modus = EditModus::Keiner;
  m_puffer.clear();
  m_original.clear();
  m_geaendert.clear();
}

DbFehler Recordset::Delete() {
  int z = -1;
  if (DbFehler f = AenderbareZeile(z)) return f;
  const Metadaten& meta = *d->meta;
  if (meta.haupt < 0 || !meta.herkuenfte[meta.haupt].Aktualisierbar())
    return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Datensatz kann nicht gelöscht werden")};
  const Herkunft& h = meta.herkuenfte[meta.haupt];
  const QVariant schluessel = d->schluessel[z];
  QList<SqlText> wo;
  QVariantList werte;
  if (h.perSchluessel) {
    wo << (h.schluesselFeldSql + SqlText(" = ?"));
    werte << schluessel;
  } else {
    const QVariantList* w = WerteAn(z);
    if (!w) return {DbFehlerNr::DatensatzGeloescht, QStringLiteral("Der Datensatz wurde gelöscht")};
    for (int s : h.pkSpalten) {
      wo << (meta.quellFeldSql[s] + SqlText(" = ?"));
      werte << w->value(s);
    }
  }
  Transaktion t(*m_db);
  if (t.Fehler()) return t.Fehler();
  int geaendert = 0;
  if (DbFehler f = m_db->Ausfuehren(SqlText("DELETE FROM ") + h.TabellenSql() + SqlText(" WHERE ") +
                                        SqlText::Verbinden(wo, SqlText(" AND ")),
                                    werte, &geaendert))
    return f;
  if (geaendert != 1)
    return {geaendert == 0 ? DbFehlerNr::DatensatzGeloescht : DbFehlerNr::KeineTreffer,
            geaendert == 0 ? QStringLiteral("Der Datensatz wurde gelöscht")
                           : QStringLiteral("Mehr als ein Datensatz betroffen")};
  if (DbFehler f = t.Commit()) return f;
  d->schluessel.erase(d->schluessel.begin() + z);
  d->cache.remove(Normalisieren(schluessel));
  d->indexGueltig = false;
  d->version++;
  m_version = d->version;
  m_pos = z;
  m_aktGeloescht = true;
  m_aktSchluessel = QVariant();
  return {};
}

// ---- requery, clone, rows ------------------------------------------------------------------------------

DbFehler Recordset::Requery() {
  CancelUpdate();
  // a fresh keyset; clones keep theirs
  auto neu = std::make_shared<Daten>();
  neu->meta = d->meta;
  if (DbFehler f = SchluesselLesen(*neu)) return f;
  d = neu;
  Positionieren(d->schluessel.empty() ? -1 : 0);
  return {};
}

DbFehler Recordset::Requery(const Bedingung& neueBedingung, const SqlText& neueSortierung) {
  const Abfrage alt = m_abfrage;
  m_abfrage.bedingung = neueBedingung;
  m_abfrage.sortierung = neueSortierung;
  DbFehler f = Requery();
  if (f) m_abfrage = alt;
  return f;
}

std::unique_ptr<Recordset> Recordset::Clone() const {
  std::unique_ptr<Recordset> c(new Recordset());
  c->d = d;
  c->m_db = m_db;
  c->m_abfrage = m_abfrage;
  c->m_typ = m_typ;
  c->Positionieren(d->schluessel.empty() ? -1 : 0);
  return c;
}

std::vector<QVariantList> Recordset::GetRows(int anzahl) {
  CancelUpdate();
  std::vector<QVariantList> zeilen;
  int z = AktuelleZeile();
  if (z < 0 && m_aktGeloescht) z = m_pos;
  if (z < 0) return zeilen;
  const int n = RecordCount();
  int i = z;
  for (; i < n && static_cast<int>(zeilen.size()) < anzahl; ++i) {
    const QVariantList* w = WerteAn(i);
    if (w) {
      zeilen.push_back(*w);
    } else {
      QVariantList leer;
      for (int s = 0; s < SpaltenAnzahl(); ++s) leer << QVariant();
      zeilen.push_back(leer);
    }
  }
  Positionieren(i);
  return zeilen;
}

DbFehler Recordset::ZeilenquelleFuer(const std::vector<int>& spalten, Zeilenquelle& quelle) const {
  const Metadaten& meta = *d->meta;
  if (m_typ == RecordsetTyp::Snapshot || meta.haupt < 0 || !meta.herkuenfte[meta.haupt].perSchluessel)
    return {DbFehlerNr::NichtAktualisierbar, QStringLiteral("Die Datensatzgruppe ist nicht aktualisierbar")};
  const Herkunft& h = meta.herkuenfte[meta.haupt];
  quelle.tabelle = h.TabellenSql();
  quelle.schluessel = meta.schluesselRowid ? SqlText("rowid") : h.schluesselFeldSql;
  quelle.felder.clear();
  for (const int s : spalten) {
    if (s < 0 || s >= SpaltenAnzahl())
      return {DbFehlerNr::UnbekanntesFeld, QStringLiteral("Element nicht gefunden")};
    if (meta.herkunftVon[s] != meta.haupt)
      return {DbFehlerNr::NichtAktualisierbar,
              QStringLiteral("Feld kann nicht aktualisiert werden: ") + meta.spalten[s].name};
    quelle.felder.push_back(meta.quellFeldSql[s]);
  }
  return {};
}

void Recordset::CacheVerwerfen() {
  if (m_typ == RecordsetTyp::Snapshot) return;
  ++d->generation;
}
