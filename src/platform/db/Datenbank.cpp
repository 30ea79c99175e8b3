#include "platform/db/Datenbank.h"

#include <sqlite3.h>

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <QHash>

#include <initializer_list>
#include <limits>
#include <list>
#include <memory>
#include <vector>

#include "platform/db/Anweisung.h"
#include "platform/db/Dateisystem.h"
#include "platform/db/Systemfehler.h"
#include "platform/db/Waehrung.h"
#include "platform/db/Wertumwandlung.h"

namespace {

// How long a statement waits for another workstation's lock before it reports the database busy.
int s_warteZeitMs = 5000;
// Statements kept per connection: enough for a window's reads and an edit loop's writes.
constexpr int GespeicherteAnweisungenMax = 64;

// ---- case-insensitive comparison incl. umlauts --------------------------------------------------

inline unsigned char AsciiKlein(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Next code point of UTF-8 text, case-folded. Invalid bytes map to U+DC80..U+DCFF so that the order stays total.
inline char32_t NaechstesZeichen(const unsigned char* p, int n, int& i) {
  const unsigned char c = p[i];
  if (c < 0x80) {
    ++i;
    return AsciiKlein(c);
  }
  int laenge = 0;
  char32_t z = 0;
  if ((c & 0xE0) == 0xC0) { laenge = 2; z = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { laenge = 3; z = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { laenge = 4; z = c & 0x07; }
  if (laenge == 0 || i + laenge > n) {
    ++i;
    return 0xDC00 + c;
  }
  for (int k = 1; k < laenge; ++k) {
    const unsigned char f = p[i + k];
    if ((f & 0xC0) != 0x80) {
      ++i;
      return 0xDC00 + c;
    }
    z = (z << 6) | (f & 0x3F);
  }
  i += laenge;
  return QChar::toCaseFolded(z);
}

// Collation "TAMO": case-insensitive including umlauts (simple Unicode case folding), code point order.
int TamoVergleich(void*, int l1, const void* p1, int l2, const void* p2) {
  const auto* a = static_cast<const unsigned char*>(p1);
  const auto* b = static_cast<const unsigned char*>(p2);
  int i = 0, j = 0;
  while (i < l1 && j < l2) {
    const unsigned char x = a[i];
    const unsigned char y = b[j];
    char32_t kx, ky;
    if (((x | y) & 0x80) == 0) {  // ASCII fast path
      kx = AsciiKlein(x);
      ky = AsciiKlein(y);
      ++i;
      ++j;
    } else {
      kx = NaechstesZeichen(a, l1, i);
      ky = NaechstesZeichen(b, l2, j);
    }
    if (kx != ky) return kx < ky ? -1 : 1;
  }
  if (i < l1) return 1;
  if (j < l2) return -1;
  return 0;
}

// ---- LIKE ignoring case incl. umlauts, with ESCAPE ---------------------------------------------

// Glob matcher over folded code points: '%' any run, '_' one character, `escape` makes the next literal.
bool LikePasst(const char32_t* muster, size_t ml, const char32_t* text, size_t tl, std::optional<char32_t> escape) {
  size_t m = 0, t = 0;
  size_t sternM = 0, sternT = 0;
  bool stern = false;
  while (t < tl) {
    if (m < ml) {
      const char32_t c = muster[m];
      if (escape && c == *escape && m + 1 < ml) {
        if (muster[m + 1] == text[t]) {
          m += 2;
          ++t;
          continue;
        }
      } else if (c == U'%') {
        while (m < ml && muster[m] == U'%') ++m;
        if (m == ml) return true;
        stern = true;
        sternM = m;
        sternT = t;
        continue;
      } else if (c == U'_' || c == text[t]) {
        ++m;
        ++t;
        continue;
      }
    }
    if (!stern) return false;
    m = sternM;
    t = ++sternT;
  }
  while (m < ml && muster[m] == U'%') ++m;
  return m == ml;
}

void Falten(const unsigned char* p, int n, std::vector<char32_t>& ziel) {
  ziel.clear();
  int i = 0;
  while (i < n) ziel.push_back(NaechstesZeichen(p, n, i));
}

void MusterFreigeben(void* p) { delete static_cast<std::vector<char32_t>*>(p); }

void TamoLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  // like(X, Y [, Z]) means "Y LIKE X ESCAPE Z"
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return;  // NULL result
  std::optional<char32_t> escape;
  if (argc == 3) {
    const auto* e = sqlite3_value_text(argv[2]);
    const int el = sqlite3_value_bytes(argv[2]);
    std::vector<char32_t> z;
    Falten(e, el, z);
    if (z.size() != 1) {
      sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
      return;
    }
    escape = z.front();
  }
  // the pattern is usually the same for every row: keep it folded
  auto* muster = static_cast<std::vector<char32_t>*>(sqlite3_get_auxdata(ctx, 0));
  if (!muster) {
    auto neu = std::make_unique<std::vector<char32_t>>();
    Falten(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]), *neu);
    muster = neu.get();
    sqlite3_set_auxdata(ctx, 0, neu.release(), &MusterFreigeben);
    muster = static_cast<std::vector<char32_t>*>(sqlite3_get_auxdata(ctx, 0));
    if (!muster) {  // SQLite may drop it at once (non-constant argument); fold again locally
      thread_local std::vector<char32_t> lokal;
      Falten(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]), lokal);
      muster = &lokal;
    }
  }
  thread_local std::vector<char32_t> text;
  Falten(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]), text);
  sqlite3_result_int(ctx, LikePasst(muster->data(), muster->size(), text.data(), text.size(), escape) ? 1 : 0);
}

// First word of a statement (case-insensitive), without copying the text: runs for every statement.
bool BeginntMit(const QString& sql, std::initializer_list<QLatin1String> woerter) {
  qsizetype i = 0;
  while (i < sql.size() && sql.at(i).isSpace()) ++i;
  const QStringView v = QStringView(sql).mid(i);
  for (const QLatin1String w : woerter)
    if (v.startsWith(w, Qt::CaseInsensitive)) return true;
  return false;
}

bool IstSchemaAenderung(const QString& sql) {
  return BeginntMit(sql, {QLatin1String("CREATE"), QLatin1String("ALTER"), QLatin1String("DROP"),
                          QLatin1String("ATTACH"), QLatin1String("DETACH")});
}

// Statements that open, end or undo a transaction (or part of one).
bool IstTransaktionsWechsel(const QString& sql) {
  return BeginntMit(sql, {QLatin1String("BEGIN"), QLatin1String("COMMIT"), QLatin1String("END"),
                          QLatin1String("ROLLBACK")});
}

// Savepoint statements of transaction level `nr` (1-based), built once per level.
struct EbenenTexte {
  QString name;
  SqlText anlegen, freigeben, zurueck;
};

EbenenTexte Ebene(int nr) {
  thread_local std::vector<EbenenTexte> texte;
  while (static_cast<int>(texte.size()) < nr) {
    EbenenTexte t;
    t.name = QStringLiteral("tamo_ebene_%1").arg(texte.size() + 1);
    const SqlText n = SqlText::Bezeichner(t.name);
    t.anlegen = SqlText("SAVEPOINT ") + n;
    t.freigeben = SqlText("RELEASE ") + n;
    t.zurueck = SqlText("ROLLBACK TO ") + n;
    texte.push_back(t);
  }
  return texte[nr - 1];
}

// The level's texts when `name` is the level's own savepoint name, else built from the name.
EbenenTexte EbeneMitNamen(int nr, const QString& name) {
  if (nr >= 1) {
    EbenenTexte t = Ebene(nr);
    if (t.name == name) return t;
  }
  EbenenTexte t;
  t.name = name;
  const SqlText n = SqlText::Bezeichner(name);
  t.anlegen = SqlText("SAVEPOINT ") + n;
  t.freigeben = SqlText("RELEASE ") + n;
  t.zurueck = SqlText("ROLLBACK TO ") + n;
  return t;
}

bool NurLeerraum(const QString& rest) {
  // comments and blanks after the last statement do not count as another statement
  for (QChar c : rest)
    if (!c.isSpace() && c != QLatin1Char(';')) return false;
  return true;
}

}  // namespace

int TextVergleichen(const QString& a, const QString& b) {
  const QByteArray x = a.toUtf8();
  const QByteArray y = b.toUtf8();
  return TamoVergleich(nullptr, int(x.size()), x.constData(), int(y.size()), y.constData());
}

// ---- TabellenDefinition / Zeile -------------------------------------------------------------------

const FeldDefinition* TabellenDefinition::Feld(const QString& n) const {
  for (const FeldDefinition& f : felder)
    if (f.name.compare(n, Qt::CaseInsensitive) == 0) return &f;
  return nullptr;
}

int TabellenDefinition::Groesse(const QString& feld) const {
  const FeldDefinition* f = Feld(feld);
  return (f && f->typ == FeldTyp::Text) ? f->groesse : 0;
}

QVariant Zeile::Wert(const QString& name) const {
  for (int i = 0; i < m_namen->size(); ++i)
    if (m_namen->at(i).compare(name, Qt::CaseInsensitive) == 0) return m_werte->at(i);
  return {};
}

// ---- binding ------------------------------------------------------------------------------------------

DbFehler ParameterBinden(sqlite3* db, sqlite3_stmt* stmt, const QVariantList& parameter) {
  if (!stmt) return parameter.isEmpty() ? DbFehler{} : DbFehler{SQLITE_RANGE, QStringLiteral("Zu viele Parameter")};
  const int erwartet = sqlite3_bind_parameter_count(stmt);
  if (erwartet != parameter.size())
    return {SQLITE_RANGE, QStringLiteral("Parameteranzahl %1 statt %2").arg(parameter.size()).arg(erwartet)};
  static const int waehrungsTyp = qMetaTypeId<Waehrung>();
  for (int i = 0; i < parameter.size(); ++i) {
    const QVariant& v = parameter.at(i);
    const int n = i + 1;
    int rc = SQLITE_OK;
    const int typ = v.typeId();
    if (!v.isValid() || v.isNull()) {
      rc = sqlite3_bind_null(stmt, n);
    } else if (typ == waehrungsTyp) {
      rc = sqlite3_bind_int64(stmt, n, v.value<Waehrung>().Roh());
    } else {
      switch (typ) {
        case QMetaType::QString: {
          const QByteArray u = v.toString().toUtf8();
          rc = sqlite3_bind_text64(stmt, n, u.constData(), static_cast<sqlite3_uint64>(u.size()), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
          break;
        }
        case QMetaType::Bool:
          rc = sqlite3_bind_int(stmt, n, v.toBool() ? 1 : 0);
          break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
          rc = sqlite3_bind_int64(stmt, n, v.toLongLong());
          break;
        case QMetaType::ULongLong:
        case QMetaType::ULong: {
          const qulonglong u = v.toULongLong();
          if (u > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return {SQLITE_RANGE, QStringLiteral("Zahl zu groß für Parameter %1").arg(n)};
          rc = sqlite3_bind_int64(stmt, n, static_cast<qint64>(u));
          break;
        }
        case QMetaType::Double:
        case QMetaType::Float:
          rc = sqlite3_bind_double(stmt, n, v.toDouble());
          break;
        case QMetaType::QDate: {
          const QDate d = v.toDate();
          if (!d.isValid()) {
            rc = sqlite3_bind_null(stmt, n);
          } else {
            const QByteArray u = d.toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
            rc = sqlite3_bind_text(stmt, n, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
          }
          break;
        }
        case QMetaType::QDateTime: {
          const QDateTime d = v.toDateTime();
          if (!d.isValid()) {
            rc = sqlite3_bind_null(stmt, n);
          } else {
            const QByteArray u = d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
            rc = sqlite3_bind_text(stmt, n, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
          }
          break;
        }
        case QMetaType::QByteArray: {
          const QByteArray b = v.toByteArray();
          rc = sqlite3_bind_blob64(stmt, n, b.constData(), static_cast<sqlite3_uint64>(b.size()), SQLITE_TRANSIENT);
          break;
        }
        case QMetaType::QChar: {
          const QByteArray u = QString(v.toChar()).toUtf8();
          rc = sqlite3_bind_text(stmt, n, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
          break;
        }
        case QMetaType::Nullptr:
          rc = sqlite3_bind_null(stmt, n);
          break;
        default:
          return {SQLITE_MISMATCH,
                  QStringLiteral("Parameter %1: Typ %2 wird nicht unterstützt")
                      .arg(n)
                      .arg(QString::fromLatin1(v.metaType().name()))};
      }
    }
    if (rc != SQLITE_OK) return SqliteFehler(db, rc);
  }
  return {};
}

QVariant SpaltenWert(sqlite3_stmt* stmt, int spalte) { return SqlWert(sqlite3_column_value(stmt, spalte)); }

QVariant SqlWert(sqlite3_value* wert) {
  switch (sqlite3_value_type(wert)) {
    case SQLITE_INTEGER:
      return QVariant(static_cast<qint64>(sqlite3_value_int64(wert)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_value_double(wert));
    case SQLITE_TEXT: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(wert));
      return QVariant(QString::fromUtf8(p, sqlite3_value_bytes(wert)));
    }
    case SQLITE_BLOB: {
      const auto* p = static_cast<const char*>(sqlite3_value_blob(wert));
      return QVariant(QByteArray(p, sqlite3_value_bytes(wert)));
    }
    default:
      return {};
  }
}

// ---- statement store ---------------------------------------------------------------------------------------

// Reset statements by SQL text, most recently used first. A borrowed statement is out of the store, so
// nested use of the same text gets a statement of its own.
struct Datenbank::AnweisungsSpeicher {
  struct Eintrag {
    QByteArray text;
    sqlite3_stmt* stmt;
  };
  std::list<Eintrag> liste;
  QHash<QByteArray, std::list<Eintrag>::iterator> index;

  void Leeren() {
    for (Eintrag& e : liste) sqlite3_finalize(e.stmt);
    liste.clear();
    index.clear();
  }
};

Datenbank::Datenbank() : m_anweisungen(std::make_unique<AnweisungsSpeicher>()) {}

Datenbank::~Datenbank() {
  m_anweisungen->Leeren();
  if (m_db) {
    sqlite3_commit_hook(m_db, nullptr, nullptr);
    sqlite3_rollback_hook(m_db, nullptr, nullptr);
    sqlite3_close_v2(m_db);
  }
}

int Datenbank::GespeicherteAnweisungen() const { return static_cast<int>(m_anweisungen->liste.size()); }

void Datenbank::AnweisungenVerwerfen() { m_anweisungen->Leeren(); }

std::optional<Datenstand> Datenbank::AktuellerDatenstand() const {
  if (!m_db || !m_eigeneSchreibtransaktion || sqlite3_get_autocommit(m_db)) return std::nullopt;
  return Datenstand{sqlite3_total_changes64(m_db), m_ereignisse};
}

std::optional<Datenversion> Datenbank::DatenversionLesen(DbFehler& fehler) {
  const std::optional<QVariant> fremde = Wert(SqlText("PRAGMA main.data_version"), {}, fehler);
  if (fehler) return std::nullopt;
  return Datenversion{fremde.value_or(QVariant()).toLongLong(), sqlite3_total_changes64(m_db)};
}

namespace {

void TextfunktionAufruf(sqlite3_context* kontext, int anzahl, sqlite3_value** werte) {
  if (anzahl != 1 || sqlite3_value_type(werte[0]) != SQLITE_TEXT) {
    sqlite3_result_null(kontext);
    return;
  }
  const auto* funktion = static_cast<const Datenbank::Textfunktion*>(sqlite3_user_data(kontext));
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(werte[0]));
  const std::optional<QString> ergebnis = (*funktion)(QString::fromUtf8(text, sqlite3_value_bytes(werte[0])));
  if (!ergebnis) {
    sqlite3_result_null(kontext);
    return;
  }
  const QByteArray utf8 = ergebnis->toUtf8();
  sqlite3_result_text64(kontext, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void TextfunktionFreigeben(void* funktion) { delete static_cast<Datenbank::Textfunktion*>(funktion); }

// tamo_summe: the running total of one group (SQLite hands it out zeroed).
struct Betragssumme {
  int64_t roh;
  bool ueberlauf;
};

void BetragssummeSchritt(sqlite3_context* kontext, int anzahl, sqlite3_value** werte) {
  auto* s = static_cast<Betragssumme*>(sqlite3_aggregate_context(kontext, sizeof(Betragssumme)));
  if (!s) {
    sqlite3_result_error_nomem(kontext);
    return;
  }
  if (s->ueberlauf) return;
  // Read as every other reader of a CURRENCY value reads it: a REAL or a text with a point is euros.
  const std::optional<Waehrung> betrag = WaehrungAusWert(SqlWert(werte[0]));
  if (!betrag) return;
  const Waehrung bisher = Waehrung::AusRoh(s->roh);
  const bool abziehen = anzahl > 1 && sqlite3_value_int(werte[1]) != 0;
  const std::optional<Waehrung> neu =
      abziehen ? Waehrung::Subtrahiert(bisher, *betrag) : Waehrung::Addiert(bisher, *betrag);
  if (neu) s->roh = neu->Roh();
  else s->ueberlauf = true;
}

void BetragssummeEnde(sqlite3_context* kontext) {
  const auto* s = static_cast<Betragssumme*>(sqlite3_aggregate_context(kontext, 0));
  if (s && s->ueberlauf) sqlite3_result_null(kontext);
  else sqlite3_result_int64(kontext, s ? s->roh : 0);
}

}  // namespace

DbFehler Datenbank::TextfunktionRegistrieren(const QString& name, Textfunktion funktion) {
  if (!m_db) return {SQLITE_MISUSE, QStringLiteral("Keine Datenbank geöffnet")};
  const QByteArray n = name.toUtf8();
  // SQLite frees the function with its registration (also when this call fails).
  const int rc = sqlite3_create_function_v2(m_db, n.constData(), 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                            new Textfunktion(std::move(funktion)), &TextfunktionAufruf, nullptr,
                                            nullptr, &TextfunktionFreigeben);
  if (rc != SQLITE_OK) return SqliteFehler(m_db, rc);
  return {};
}

int Datenbank::BeiCommit(void* db) {
  auto* d = static_cast<Datenbank*>(db);
  d->m_eigeneSchreibtransaktion = false;
  ++d->m_ereignisse;
  return 0;
}

void Datenbank::BeiRollback(void* db) {
  auto* d = static_cast<Datenbank*>(db);
  d->m_eigeneSchreibtransaktion = false;
  ++d->m_ereignisse;
}

void Datenbank::SchemaGeaendert() {
  ++m_ereignisse;
  ++m_schemaStand;
  m_anweisungen->Leeren();
  m_defCache.clear();
  m_defSchluessel.clear();
}

sqlite3_stmt* Datenbank::AnweisungAusleihen(const QByteArray& sql) {
  AnweisungsSpeicher& sp = *m_anweisungen;
  const auto it = sp.index.constFind(sql);
  if (it == sp.index.constEnd()) return nullptr;
  sqlite3_stmt* s = (*it)->stmt;
  sp.liste.erase(*it);
  sp.index.erase(it);
  return s;
}

void Datenbank::AnweisungZurueckgeben(const QByteArray& sql, sqlite3_stmt* stmt, quint64 schemaStand) {
  AnweisungsSpeicher& sp = *m_anweisungen;
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  // a statement prepared before a schema change, or a second one of the same text, is not kept
  if (schemaStand != m_schemaStand || !m_db || sp.index.contains(sql)) {
    sqlite3_finalize(stmt);
    return;
  }
  sp.liste.push_front({sql, stmt});
  sp.index.insert(sql, sp.liste.begin());
  while (static_cast<int>(sp.liste.size()) > GespeicherteAnweisungenMax) {
    sp.index.remove(sp.liste.back().text);
    sqlite3_finalize(sp.liste.back().stmt);
    sp.liste.pop_back();
  }
}

// ---- Datenbank ---------------------------------------------------------------------------------------------

QString TamoVergleichsform(const QString& text) {
  QList<uint> zeichen = text.toUcs4();
  for (uint& z : zeichen) z = QChar::toCaseFolded(char32_t(z));
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(zeichen.constData()), zeichen.size());
}

static DbFehler Einrichten(Datenbank& db, sqlite3* h) {
  sqlite3_extended_result_codes(h, 1);
  sqlite3_busy_timeout(h, s_warteZeitMs);
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  if (sqlite3_create_collation_v2(h, "TAMO", SQLITE_UTF8, nullptr, &TamoVergleich, nullptr) != SQLITE_OK ||
      sqlite3_create_function_v2(h, "like", 2, flags, nullptr, &TamoLike, nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_create_function_v2(h, "like", 3, flags, nullptr, &TamoLike, nullptr, nullptr, nullptr) != SQLITE_OK)
    return SqliteFehler(h);
  for (int argumente : {1, 2})
    if (sqlite3_create_function_v2(h, "tamo_summe", argumente, flags, nullptr, nullptr, &BetragssummeSchritt,
                                   &BetragssummeEnde, nullptr) != SQLITE_OK)
      return SqliteFehler(h);
  return db.Ausfuehren("PRAGMA foreign_keys=ON");
}

std::unique_ptr<Datenbank> Datenbank::Oeffnen(const QString& datei, DbFehler& fehler, bool anlegen) {
  fehler = {};
  const bool speicher = datei == QLatin1String(":memory:") || datei.isEmpty();
  if (!speicher && !anlegen && !QFileInfo::exists(datei)) {
    fehler = {DbFehlerNr::DateiFehler, QStringLiteral("Datei nicht gefunden: ") + datei};
    return nullptr;
  }
  std::unique_ptr<Datenbank> db(new Datenbank());
  db->m_datei = speicher ? QStringLiteral(":memory:") : datei;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (anlegen || speicher) flags |= SQLITE_OPEN_CREATE;
  const QByteArray pfad = db->m_datei.toUtf8();
  const int rc = sqlite3_open_v2(pfad.constData(), &db->m_db, flags, nullptr);
  if (rc != SQLITE_OK) {
    fehler = SqliteFehler(db->m_db, rc);
    return nullptr;
  }
  sqlite3_commit_hook(db->m_db, &Datenbank::BeiCommit, db.get());
  sqlite3_rollback_hook(db->m_db, &Datenbank::BeiRollback, db.get());
  fehler = Einrichten(*db, db->m_db);
  if (fehler) return nullptr;
  // A file that is not a database shows only on first access; detect it here.
  if (!speicher) {
    db->Wert("SELECT count(*) FROM sqlite_master", {}, fehler);
    if (fehler) return nullptr;
  }
  return db;
}

std::unique_ptr<Datenbank> Datenbank::OeffnenNurLesen(const QString& datei, DbFehler& fehler) {
  fehler = {};
  if (!QFileInfo(datei).isFile()) {
    fehler = {DbFehlerNr::DateiFehler, QStringLiteral("Datei nicht gefunden: ") + datei};
    return nullptr;
  }
  std::unique_ptr<Datenbank> db(new Datenbank());
  db->m_datei = datei;
  const QByteArray pfad = datei.toUtf8();
  const int rc = sqlite3_open_v2(pfad.constData(), &db->m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    fehler = SqliteFehler(db->m_db, rc);
    return nullptr;
  }
  sqlite3_commit_hook(db->m_db, &Datenbank::BeiCommit, db.get());
  sqlite3_rollback_hook(db->m_db, &Datenbank::BeiRollback, db.get());
  fehler = Einrichten(*db, db->m_db);
  if (fehler) return nullptr;
  db->Wert("SELECT count(*) FROM sqlite_master", {}, fehler);
  if (fehler) return nullptr;
  return db;
}

void Datenbank::WartezeitSetzen(int ms) { s_warteZeitMs = ms; }

DbFehler Datenbank::JournalSetzen(bool wal) {
  DbFehler f;
  const std::optional<QVariant> modus = Wert(wal ? SqlText("PRAGMA journal_mode=WAL") : SqlText("PRAGMA journal_mode=DELETE"), {}, f);
  if (f) return f;
  const QString erhalten = modus ? modus->toString().toLower() : QString();
  if (erhalten != (wal ? QLatin1String("wal") : QLatin1String("delete")))
    return {SQLITE_ERROR, QStringLiteral("Der Journalmodus der Datenbank ist \"%1\" statt \"%2\".")
                              .arg(erhalten, wal ? QStringLiteral("wal") : QStringLiteral("delete"))};
  return {};
}

QString Datenbank::JournalModus() {
  DbFehler f;
  const std::optional<QVariant> modus = Wert("PRAGMA journal_mode", {}, f);
  return modus ? modus->toString().toLower() : QString();
}

namespace {
std::function<void(const char*)>& SicherungsBeobachter() {
  static std::function<void(const char*)> beobachter;
  return beobachter;
}
void Sicherungsschritt(const char* schritt) {
  if (SicherungsBeobachter()) SicherungsBeobachter()(schritt);
}
}  // namespace

void Datenbank::SicherungsschrittSetzen(std::function<void(const char*)> beobachter) {
  SicherungsBeobachter() = std::move(beobachter);
}

DbFehler Datenbank::Sichern(const QString& ziel) {
  // Through SQLite from this connection: the copy is consistent, and no second descriptor of the open file
  // is made and closed behind SQLite's back.
  const QString neu = ziel + QStringLiteral(".neu");
  QFile::remove(neu);
  sqlite3* kopie = nullptr;
  int rc = sqlite3_open_v2(neu.toUtf8().constData(), &kopie, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  DbFehler f;
  if (rc == SQLITE_OK) {
    sqlite3_backup* sicherung = sqlite3_backup_init(kopie, "main", m_db, "main");
    if (!sicherung) {
      f = SqliteFehler(kopie);
    } else {
      do {
        rc = sqlite3_backup_step(sicherung, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
      } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
      sqlite3_backup_finish(sicherung);
      if (rc != SQLITE_DONE) f = SqliteFehler(kopie, rc);
    }
  } else {
    f = SqliteFehler(kopie, rc);
  }
  // A single file, whatever the journal mode of the original.
  if (!f) {
    char* meldung = nullptr;
    if (sqlite3_exec(kopie, "PRAGMA journal_mode=DELETE", nullptr, nullptr, &meldung) != SQLITE_OK)
      f = {sqlite3_extended_errcode(kopie), QString::fromUtf8(meldung)};
    sqlite3_free(meldung);
  }
  sqlite3_close(kopie);
  // The steps of the safe-file writer: the old copy is replaced in one rename, only by a synced new one.
  int systemfehler = 0;
  if (!f) systemfehler = Dateisystem::DateiSynchronisieren(neu);
  if (!f && !systemfehler) {
    Sicherungsschritt("kopiert");
    systemfehler = Dateisystem::Ersetzen(neu, ziel);
  }
  if (!f && !systemfehler) {
    Sicherungsschritt("ersetzt");
    systemfehler = Dateisystem::OrdnerSynchronisieren(QFileInfo(ziel).absolutePath());
  }
  if (!f && systemfehler) {
    const Systemfehler s = SystemfehlerBeschreiben(systemfehler, ziel);
    f = {DbFehlerNr::DateiFehler, QStringLiteral("Die Sicherung kann nicht angelegt werden: ") + ziel + QLatin1Char('\r') + s.text};
  }
  if (f) QFile::remove(neu);
  return f;
}

std::unique_ptr<Datenbank> Datenbank::InSpeicher() {
  DbFehler f;
  return Oeffnen(QStringLiteral(":memory:"), f, true);
}

DbFehler Datenbank::Ausfuehren(const SqlText& sql, const QVariantList& parameter, int* geaendert) {
  if (geaendert) *geaendert = 0;
  QString rest = sql.Text();
  qsizetype verbraucht = 0;
  bool schema = false;
  while (!NurLeerraum(rest)) {
    Anweisung a;
    QString naechster;
    if (DbFehler f = a.Wiederverwenden(*this, rest, &naechster)) return f;
    if (a.Leer()) break;  // only comments left
    if (IstTransaktionsWechsel(rest)) {
      ++m_ereignisse;
      m_eigeneSchreibtransaktion = false;
    }
    if (IstSchemaAenderung(rest)) {
      schema = true;
      // kept statements must not hold on to a schema that is about to change (DETACH of an alias)
      SchemaGeaendert();
    }
    const int anzahl = sqlite3_bind_parameter_count(a.Handle());
    if (verbraucht + anzahl > parameter.size())
      return {SQLITE_RANGE, QStringLiteral("Zu wenige Parameter für die Anweisung")};
    if (DbFehler f = a.Binden(parameter.mid(verbraucht, anzahl))) return f;
    verbraucht += anzahl;
    DbFehler f;
    while (a.Schritt(f)) {
    }
    if (schema) SchemaGeaendert();
    if (IstTransaktionsWechsel(rest)) ++m_ereignisse;  // after the step as well: no change counted in between
    if (f) return f;
    if (geaendert) *geaendert = sqlite3_changes(m_db);
    rest = naechster;
  }
  if (verbraucht != parameter.size()) return {SQLITE_RANGE, QStringLiteral("Zu viele Parameter für die Anweisung")};
  return {};
}

DbFehler Datenbank::SkriptAusfuehren(const QString& skript) {
  if (m_stoerung) {
    if (DbFehler f = m_stoerung(skript)) return f;
  }
  char* meldung = nullptr;
  const QByteArray u = skript.toUtf8();
  AnweisungenVerwerfen();
  m_eigeneSchreibtransaktion = false;  // the script may end or open transactions
  const int rc = sqlite3_exec(m_db, u.constData(), nullptr, nullptr, &meldung);
  // The connection holds what sqlite3_exec reports (its text is the connection's message).
  const DbFehler f = rc == SQLITE_OK ? DbFehler{} : SqliteFehler(m_db, rc);
  sqlite3_free(meldung);
  SchemaGeaendert();
  return f;
}

DbFehler Datenbank::Abfragen(const SqlText& sql, const QVariantList& parameter,
                             const std::function<bool(const Zeile&)>& zeile) {
  Anweisung a;
  QString rest;
  if (DbFehler f = a.Wiederverwenden(*this, sql.Text(), &rest)) return f;
  if (a.Leer()) return {SQLITE_MISUSE, QStringLiteral("Leere Abfrage")};
  if (!NurLeerraum(rest)) return {SQLITE_MISUSE, QStringLiteral("Eine Abfrage darf nur eine Anweisung enthalten")};
  if (IstTransaktionsWechsel(sql.Text()) || IstSchemaAenderung(sql.Text())) {
    ++m_ereignisse;
    m_eigeneSchreibtransaktion = false;
  }
  if (DbFehler f = a.Binden(parameter)) return f;
  // Columns are taken after the first step: a kept statement is prepared again there when another
  // connection changed the schema, and `SELECT *` may then have other columns.
  int spalten = -1;
  QStringList namen;
  QVariantList werte;
  DbFehler f;
  while (a.Schritt(f)) {
    if (spalten < 0) {
      spalten = sqlite3_column_count(a.Handle());
      for (int i = 0; i < spalten; ++i) namen << QString::fromUtf8(sqlite3_column_name(a.Handle(), i));
    }
    werte.clear();
    for (int i = 0; i < spalten; ++i) werte << SpaltenWert(a.Handle(), i);
    if (zeile && !zeile(Zeile(&namen, &werte))) break;
  }
  return f;
}

std::optional<QVariant> Datenbank::Wert(const SqlText& sql, const QVariantList& parameter, DbFehler& fehler) {
  std::optional<QVariant> ergebnis;
  fehler = Abfragen(sql, parameter, [&](const Zeile& z) {
    if (z.Anzahl() > 0) ergebnis = z.Wert(0);
    return false;
  });
  if (fehler) return std::nullopt;
  return ergebnis;
}

qint64 Datenbank::LetzteEinfuegeNr() const { return sqlite3_last_insert_rowid(m_db); }

DbFehler Datenbank::LetzterFehler() const { return m_db ? SqliteFehler(m_db) : DbFehler{SQLITE_MISUSE, QString()}; }

// ---- transactions ---------------------------------------------------------------------------------------

DbFehler Datenbank::BeginTrans() {
  // Outside any transaction: a real one; inside (ours or a caller's savepoint): a savepoint.
  const bool ausserhalb = sqlite3_get_autocommit(m_db) != 0;
  if (ausserhalb) {
    m_ebenen.clear();
    m_tiefe = 0;
  }
  QString name;
  DbFehler f;
  if (ausserhalb) {
    f = Ausfuehren("BEGIN IMMEDIATE");
    if (!f) m_eigeneSchreibtransaktion = true;
  } else {
    const EbenenTexte ebene = Ebene(m_tiefe + 1);
    name = ebene.name;
    f = Ausfuehren(ebene.anlegen);
  }
  if (f) return f;
  m_ebenen.push_back(name);
  m_tiefe = static_cast<int>(m_ebenen.size());
  return {};
}

void Datenbank::TiefeAbgleichen() {
  if (sqlite3_get_autocommit(m_db)) {
    m_ebenen.clear();
    m_tiefe = 0;
  }
}

DbFehler Datenbank::CommitTrans() {
  if (m_ebenen.empty()) return {SQLITE_ERROR, QStringLiteral("Keine Transaktion aktiv")};
  const QString name = m_ebenen.back();
  DbFehler f = name.isEmpty()
                   ? Ausfuehren("COMMIT")
                   : Ausfuehren(EbeneMitNamen(static_cast<int>(m_ebenen.size()), name).freigeben);
  if (!f) {
    m_ebenen.pop_back();
    m_tiefe = static_cast<int>(m_ebenen.size());
  }
  TiefeAbgleichen();
  return f;
}

DbFehler Datenbank::Rollback() {
  if (m_ebenen.empty()) return {SQLITE_ERROR, QStringLiteral("Keine Transaktion aktiv")};
  const QString name = m_ebenen.back();
  DbFehler f;
  if (name.isEmpty()) {
    f = Ausfuehren("ROLLBACK");
  } else {
    const EbenenTexte ebene = EbeneMitNamen(static_cast<int>(m_ebenen.size()), name);
    f = Ausfuehren(ebene.zurueck);
    if (!f) f = Ausfuehren(ebene.freigeben);
  }
  if (!f) {
    m_ebenen.pop_back();
    m_tiefe = static_cast<int>(m_ebenen.size());
  }
  TiefeAbgleichen();
  return f;
}

DbFehler Datenbank::Sicherungspunkt(const QString& name) {
  if (!SqlText::IstGueltigerBezeichner(name) || name.contains(QLatin1Char('.')))
    return {DbFehlerNr::UngueltigerBezeichner, QStringLiteral("Ungültiger Name: ") + name};
  return Ausfuehren(SqlText("SAVEPOINT ") + SqlText::Bezeichner(name));
}

DbFehler Datenbank::SicherungspunktFreigeben(const QString& name) {
  if (!SqlText::IstGueltigerBezeichner(name) || name.contains(QLatin1Char('.')))
    return {DbFehlerNr::UngueltigerBezeichner, QStringLiteral("Ungültiger Name: ") + name};
  DbFehler f = Ausfuehren(SqlText("RELEASE ") + SqlText::Bezeichner(name));
  TiefeAbgleichen();
  return f;
}

DbFehler Datenbank::ZurueckZuSicherungspunkt(const QString& name) {
  if (!SqlText::IstGueltigerBezeichner(name) || name.contains(QLatin1Char('.')))
    return {DbFehlerNr::UngueltigerBezeichner, QStringLiteral("Ungültiger Name: ") + name};
  // ROLLBACK TO keeps the savepoint itself open, as in SQLite
  return Ausfuehren(SqlText("ROLLBACK TO ") + SqlText::Bezeichner(name));
}

// ---- linked databases ----------------------------------------------------------------------------------

DbFehler Datenbank::Anhaengen(const QString& datei, const QString& alias) {
  if (!SqlText::IstGueltigerBezeichner(alias) || alias.contains(QLatin1Char('.')))
    return {DbFehlerNr::UngueltigerBezeichner, QStringLiteral("Ungültiger Name: ") + alias};
  if (datei != QLatin1String(":memory:") && !QFileInfo(datei).isFile())
    return {DbFehlerNr::DateiFehler, QStringLiteral("Datei nicht gefunden: ") + datei};
  if (DbFehler f = Ausfuehren(SqlText("ATTACH DATABASE ? AS ") + SqlText::Bezeichner(alias), {datei})) return f;
  DbFehler f;
  Wert(SqlText("SELECT count(*) FROM ") + SqlText::Bezeichner(alias + QStringLiteral(".sqlite_master")), {}, f);
  if (f) {
    Abhaengen(alias);
    return f;
  }
  return {};
}

DbFehler Datenbank::Abhaengen(const QString& alias) {
  if (!SqlText::IstGueltigerBezeichner(alias) || alias.contains(QLatin1Char('.')))
    return {DbFehlerNr::UngueltigerBezeichner, QStringLiteral("Ungültiger Name: ") + alias};
  return Ausfuehren(SqlText("DETACH DATABASE ") + SqlText::Bezeichner(alias));
}

QStringList Datenbank::AngehaengteAliase() const {
  QStringList aliase;
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(m_db, "PRAGMA database_list", -1, &s, nullptr) == SQLITE_OK) {
    while (sqlite3_step(s) == SQLITE_ROW) {
      const QString n = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
      if (n != QLatin1String("main") && n != QLatin1String("temp")) aliase << n;
    }
  }
  sqlite3_finalize(s);
  return aliase;
}

// ---- table definitions -----------------------------------------------------------------------------------

std::optional<Datenbank::Fundort> Datenbank::TabelleFinden(const QString& name, DbFehler& fehler) {
  fehler = {};
  QString schema;
  QString tabelle = name;
  const qsizetype punkt = name.indexOf(QLatin1Char('.'));
  if (punkt >= 0) {
    schema = name.left(punkt);
    tabelle = name.mid(punkt + 1);
  }
  QStringList schemata;
  if (!schema.isEmpty()) {
    schemata << schema;
  } else {
    schemata << QStringLiteral("temp") << QStringLiteral("main") << AngehaengteAliase();
  }
  for (const QString& s : schemata) {
    if (!SqlText::IstGueltigerBezeichner(s)) continue;
    const SqlText master = s.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0
                               ? SqlText("temp.sqlite_master")
                               : SqlText::Bezeichner(s + QStringLiteral(".sqlite_master"));
    std::optional<Fundort> fund;
    DbFehler f = Abfragen(SqlText("SELECT name, type FROM ") + master +
                              SqlText(" WHERE type IN ('table','view') AND name = ? COLLATE NOCASE"),
                          {tabelle}, [&](const Zeile& z) {
                            fund = Fundort{s, z.Wert(0).toString(), z.Wert(1).toString() == QLatin1String("view")};
                            return false;
                          });
    if (f) {
      if (!schema.isEmpty()) fehler = f;
      continue;
    }
    if (fund) return fund;
  }
  return std::nullopt;
}

bool Datenbank::TabelleVorhanden(const QString& name) {
  DbFehler f;
  return TabelleFinden(name, f).has_value();
}

std::optional<TabellenDefinition> Datenbank::Tabelle(const QString& name, DbFehler* fehler) {
  if (fehler) *fehler = {};
  const QString schluessel = name.toCaseFolded();
  for (size_t i = 0; i < m_defSchluessel.size(); ++i)
    if (m_defSchluessel[i] == schluessel) return m_defCache[i];
  DbFehler f;
  const auto fund = TabelleFinden(name, f);
  if (!fund) {
    if (fehler)
      *fehler = f ? f : DbFehler{SQLITE_ERROR, QStringLiteral("Tabelle nicht gefunden: ") + name};
    return std::nullopt;
  }
  TabellenDefinition def;
  def.name = fund->tabelle;
  const QByteArray schema = fund->schema.toUtf8();
  const QByteArray tab = fund->tabelle.toUtf8();
  f = Abfragen(SqlText("SELECT name, type, \"notnull\", pk, hidden FROM pragma_table_xinfo(?, ?)"),
               {fund->tabelle, fund->schema}, [&](const Zeile& z) {
                 if (z.Wert(4).toInt() == 1) return true;  // hidden column of a virtual table
                 FeldDefinition fd;
                 fd.name = z.Wert(0).toString();
                 const DeklarierterTyp t = TypAusDeklaration(z.Wert(1).toString());
                 fd.typ = t.typ;
                 fd.groesse = t.groesse;
                 fd.pflicht = z.Wert(2).toInt() != 0;
                 fd.primaerschluessel = z.Wert(3).toInt() != 0;
                 if (!fund->istSicht && fd.primaerschluessel) {
                   int autoinc = 0;
                   const QByteArray spalte = fd.name.toUtf8();
                   if (sqlite3_table_column_metadata(m_db, schema.constData(), tab.constData(), spalte.constData(),
                                                     nullptr, nullptr, nullptr, nullptr, &autoinc) == SQLITE_OK)
                     fd.zaehler = autoinc != 0;
                 }
                 def.felder.push_back(fd);
                 return true;
               });
  if (f) {
    if (fehler) *fehler = f;
    return std::nullopt;
  }
  m_defSchluessel.push_back(schluessel);
  m_defCache.push_back(def);
  return def;
}

int Datenbank::FeldGroesse(const QString& tabelle, const QString& feld) {
  const auto def = Tabelle(tabelle);
  return def ? def->Groesse(feld) : 0;
}

DbFehler Datenbank::Komprimieren() {
  if (!sqlite3_get_autocommit(m_db))
    return {SQLITE_ERROR, QStringLiteral("Komprimieren ist während einer Transaktion nicht möglich")};
  return Ausfuehren("VACUUM");
}

// ---- Transaktion -------------------------------------------------------------------------------------------

Transaktion::Transaktion(Datenbank& db) : m_db(db) {
  m_fehler = m_db.BeginTrans();
  m_offen = m_fehler.Ok();
}

Transaktion::~Transaktion() {
  if (m_offen) m_db.Rollback();
}

DbFehler Transaktion::Commit() {
  if (!m_offen) return m_fehler ? m_fehler : DbFehler{SQLITE_ERROR, QStringLiteral("Transaktion nicht offen")};
  DbFehler f = m_db.CommitTrans();
  if (!f) m_offen = false;
  return f;
}
