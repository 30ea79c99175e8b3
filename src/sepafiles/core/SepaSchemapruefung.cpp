#include "sepafiles/core/SepaSchemapruefung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <atomic>
#include <cstring>
#include <limits>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include "common/Datenbankstart.h"

namespace {

// Blocks the parse may lag behind the writer (the writer's blocks are about 256 KiB): room for the writer to
// go on to the next file of a split run while the checks of the last one finish.
constexpr size_t MaxRueckstand = 64;
constexpr qsizetype Pruefblock = 256 * 1024;

// While it lives, libxml2's errors on this thread go to `fehler` (the thread's earlier handler comes back).
class Fehlerumleitung {
 public:
  Fehlerumleitung(void* kontext, xmlStructuredErrorFunc fehler)
      : m_vorher(xmlStructuredError), m_vorherKontext(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(kontext, fehler);
  }
  ~Fehlerumleitung() { xmlSetStructuredErrorFunc(m_vorherKontext, m_vorher); }
  Fehlerumleitung(const Fehlerumleitung&) = delete;
  Fehlerumleitung& operator=(const Fehlerumleitung&) = delete;

 private:
  xmlStructuredErrorFunc m_vorher;
  void* m_vorherKontext;
};

void LibxmlEinrichten() {
  static std::once_flag einmal;
  std::call_once(einmal, [] { xmlInitParser(); });
}

// libxml2's text on one line, without the namespace ("{urn:iso:...}") before each element name.
QString Bereinigt(const char* text) {
  QString t = QString::fromUtf8(text);
  for (qsizetype auf = t.indexOf(QLatin1String("{urn:")); auf >= 0; auf = t.indexOf(QLatin1String("{urn:"), auf)) {
    const qsizetype zu = t.indexOf(QLatin1Char('}'), auf);
    if (zu < 0) break;
    t.remove(auf, zu - auf + 1);
  }
  return t.simplified();
}

struct Schemafehler {
  QString text;
};

void SchemafehlerMerken(void* kontext, xmlErrorPtr fehler) {
  auto* f = static_cast<Schemafehler*>(kontext);
  if (fehler && fehler->level != XML_ERR_WARNING && f->text.isEmpty() && fehler->message)
    f->text = Bereinigt(fehler->message);
}

}  // namespace

// ---- schemas --------------------------------------------------------------------------------------------------

SepaSchema::~SepaSchema() { xmlSchemaFree(m_schema); }

std::shared_ptr<const SepaSchema> SepaSchema::Laden(const QString& pfad, QString& meldung) {
  static std::mutex sperre;
  static QHash<QString, std::shared_ptr<const SepaSchema>> geladen;
  const QFileInfo info(pfad);
  const QString name = info.fileName();
  auto fehlt = [&](const QString& grund) {
    meldung = QStringLiteral("Das Prüfschema \"%1\" der Bank fehlt oder ist nicht lesbar:\r%2\r%3\r\r"
                             "Ohne das Schema kann keine SEPA-Datei geprüft werden; es wird keine Datei erstellt. "
                             "Bitte installieren Sie das Programm neu.")
                  .arg(name, QDir::toNativeSeparators(info.absoluteFilePath()), grund);
    return nullptr;
  };
  if (!info.isFile()) return fehlt(QStringLiteral("Die Datei ist nicht vorhanden."));
  if (!info.isReadable()) return fehlt(QStringLiteral("Die Datei kann nicht gelesen werden."));

  LibxmlEinrichten();
  std::lock_guard<std::mutex> halt(sperre);
  const QString schluessel = info.absoluteFilePath();
  if (const auto vorhanden = geladen.value(schluessel)) return vorhanden;
  const QByteArray datei = QFile::encodeName(schluessel);
  xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(datei.constData());
  if (!parser) return fehlt(QStringLiteral("Das Schema kann nicht geöffnet werden."));
  Schemafehler f;
  xmlSchemaSetParserStructuredErrors(parser, SchemafehlerMerken, &f);
  xmlSchemaPtr schema = nullptr;
  {
    // Parse errors of the file itself arrive through the thread's handler.
    const Fehlerumleitung umleitung(&f, SchemafehlerMerken);
    schema = xmlSchemaParse(parser);
  }
  xmlSchemaFreeParserCtxt(parser);
  if (!schema) return fehlt(f.text.isEmpty() ? QStringLiteral("Die Datei ist kein gültiges Schema.") : f.text);
  std::shared_ptr<const SepaSchema> s(new SepaSchema(name, schema));
  geladen.insert(schluessel, s);
  return s;
}

// ---- the check of one document ----------------------------------------------------------------------------------
//
// One thread parses the document, once for all schemas, and records what the parser reports: elements with
// their namespaces and attributes, text, and the parser's first complaint. Each schema is checked by P
// checks, each replaying that record on a thread of its own into libxml2's SAX validation layer
// (xmlSchemaSAXPlug) with a validation context of its own; the parsed schema is shared, libxml2 only reads
// it while validating. Names are the parser dictionary's strings, which stay put while the dictionary lives;
// text and attribute values are copied into the record, an end is replayed with its start's names.
//
// The transactions (CdtTrfTxInf in pain.001, DrctDbtTxInf in pain.008, children of a PmtInf) are most of a
// file, so they are shared out: check k of P replays every event except the transactions of the others.
// Transaction i of the file (counted from 0) is check i mod P's; the first of each PmtInf is replayed by all.
// Why the document is valid exactly when every check's part is, for each of the eight shipped schemas:
// - Every type that holds PmtInf elements has them as the only PmtInf particle, and every type of a PmtInf
//   (also those a restriction or xsi:type could bring) has the transaction as its last particle, minOccurs 1,
//   maxOccurs unbounded, and as the only particle of that name. So a PmtInf's children are valid with n >= 1
//   transactions exactly when they are with any other m >= 1: leaving out transactions after the first of a
//   PmtInf keeps a valid sequence valid, and a shortened valid sequence stands for a valid full one.
// - There are no identity constraints (xs:key, xs:unique, xs:keyref) and no ID or IDREF types, so nothing is
//   compared across elements: an element is valid or not by its own content, attributes and type, and its
//   type comes from the particle it matches in its parent's content model (or its own xsi:type).
// - The wildcard (xs:any in the ISO schemas of pain.001.001.09 and pain.008.001.08) sits below SplmtryData, never
//   directly in a PmtInf: an element of that name and place, in a document valid up to it, is the schema's
//   transaction.
// So every event outside the transactions is checked by every check in its real context, every transaction
// by at least one in its real context, and the well-formedness of the whole file by the one parse. The first
// complaint libxml2 would give for the whole file is, among the complaints of a schema's checks, the one at
// the earliest event: the check that replays that event sees everything before it in the same state, and no
// check complains earlier. That one is reported, so the message for a given file stays the same.

namespace {

enum class Art : quint8 { Start, Ende, Text, Cdata, Verweis, Fehler };

using Name = const xmlChar*;

// The start of a transaction replayed by one check of a schema only (its number modulo the checks); every
// other event goes to all of them. The first transaction of a PmtInf is replayed by all, marked so that the
// checks count the transactions of the file (to name the one a complaint lies in).
constexpr quint8 Alle = 0xFF;
constexpr quint8 AlleErster = 0xFE;
constexpr qint64 Nirgends = std::numeric_limits<qint64>::max();   // a complaint at no event (after the last)

// An event, small: the parse writes some millions of them and every check reads those it replays.
struct Ereignis {
  int zeile;    // where the parser stood when it reported the event
  int spalte;
  int anfang;   // Start: its Zusatz, or -1; Text, Cdata, Fehler: first byte in the text
  int laenge;   // Start, Verweis: its Namen; Text, Cdata, Fehler: bytes
  Art art;
  quint8 eigner;   // Start: the check that replays the element, or Alle (AlleErster)
};
static_assert(sizeof(Ereignis) == 20);

// The names of an element (or of an entity, in `name`). An end is replayed with its start's names.
struct Namen {
  Name name;
  Name praefix;
  Name uri;
};

// What a start tag brings besides its names; few do.
struct Zusatz {
  int namensraeume;       // declared on it
  int ersterNamensraum;   // in the section's namespaces
  int attribute;
  int erstesAttribut;
  int vorgegeben;         // defaulted attributes
};

struct Attribut {
  Name name;
  Name praefix;
  Name uri;
  int wert;   // in the text
  int laenge;
};

// Events handed to the checks together; read-only once handed on.
struct Abschnitt {
  qint64 erstes = 0;   // the number of the first event in the document
  std::vector<Ereignis> ereignisse;
  // The transactions that begin and end in the section, in order: the index of the start and of the end, so a
  // check steps over another's transaction without reading it.
  std::vector<std::pair<int, int>> posten;
  std::vector<Namen> namen;         // each names once
  std::vector<Zusatz> zusaetze;
  std::vector<Name> namensraeume;   // prefix and URI of each namespace
  std::vector<Attribut> attribute;
  std::string text;
};

// Events per section, and sections a check may lag behind the parse (some 250 KiB each).
constexpr size_t Abschnittsgroesse = 8192;
constexpr size_t MaxAbschnitte = 4;
constexpr size_t Abschnittstext = 1024 * 1024;   // a long text is handed on in parts

// Sections every check is done with, for the parse of any document to fill again, the one longest done first:
// writing over memory that the checks' cores still hold in their caches slows the parse down twofold. Shared by
// the documents checked at once (a split run's files), emptied when none is.
class Vorrat {
 public:
  static constexpr size_t Tiefe = 24;   // sections done with before one is filled again (some 6 MiB)
  static Vorrat& Prozess() {
    static Vorrat* vorrat = new Vorrat;   // outlives every document, also at the program's end
    return *vorrat;
  }
  void Anmelden() {
    std::lock_guard<std::mutex> halt(m_sperre);
    ++m_dokumente;
  }
  void Abmelden() {
    std::deque<std::unique_ptr<Abschnitt>> frei;
    std::lock_guard<std::mutex> halt(m_sperre);
    if (--m_dokumente == 0) frei.swap(m_abschnitte);
  }
  std::unique_ptr<Abschnitt> Nehmen() {
    std::lock_guard<std::mutex> halt(m_sperre);
    if (m_abschnitte.size() < Tiefe) return {};
    std::unique_ptr<Abschnitt> a = std::move(m_abschnitte.front());
    m_abschnitte.pop_front();
    return a;
  }
  void Zurueck(Abschnitt* a) {
    std::unique_ptr<Abschnitt> abschnitt(a);
    std::lock_guard<std::mutex> halt(m_sperre);
    if (m_dokumente > 0) m_abschnitte.push_back(std::move(abschnitt));
  }

 private:
  std::mutex m_sperre;
  std::deque<std::unique_ptr<Abschnitt>> m_abschnitte;
  int m_dokumente = 0;
};

}  // namespace

// Each side is woken only when it can go on, and a full queue only once it is half empty again: a wake-up
// per section would cost more than the handing on.
struct SepaSchemastrom::Zustand {
  std::mutex sperre;
  std::condition_variable schreiber;   // the writer waits for room
  std::condition_variable zerleger;    // the parse waits for blocks or for room with the checks
  std::condition_variable pruefer;     // the checks wait for sections
  bool ende = false;       // the document is complete
  bool abbruch = false;    // no result wanted any more
  void AlleWecken() {
    schreiber.notify_all();
    zerleger.notify_all();
    pruefer.notify_all();
  }
};

// One of a schema's checks; replays its part of the parser's record on its own thread.
struct SepaSchemastrom::Pruefer {
  std::shared_ptr<Zustand> zustand;
  std::shared_ptr<const SepaSchema> schema;
  quint8 teil = 0;   // replays the transactions whose number modulo the checks is this
  std::atomic<qint64>* fruehste = nullptr;   // the earliest complaint of the schema's checks
  std::deque<std::shared_ptr<const Abschnitt>> abschnitte;   // waiting, guarded by the state's lock
  bool zerlegt = false;   // no more sections will come (guarded)
  bool fertig = false;    // the check has ended and takes nothing more (guarded)
  // Owned by the check's thread while it runs.
  const Ereignis* ereignis = nullptr;   // being replayed
  qint64 stelle = Nirgends;             // its number in the document
  int auslassen = 0;                    // open elements of another check's transaction
  std::vector<Namen> offen;             // the names of the open elements replayed
  qint64 begonnen = 0;                  // transactions begun in the file, this check's and the others'
  SepaSchemabefund befund;
  qint64 befundStelle = Nirgends;       // the event complained at
  std::thread faden;

  static void Fehler(void* kontext, xmlErrorPtr fehler) {
    auto* p = static_cast<Pruefer*>(kontext);
    if (!fehler || fehler->level == XML_ERR_WARNING || !p->befund.Ok()) return;
    // Replayed events have no parser behind them: the place is the event's.
    p->Beschwerde(fehler->line ? fehler->line : p->ereignis ? p->ereignis->zeile : 0,
                  fehler->int2 ? fehler->int2 : p->ereignis ? p->ereignis->spalte : 0,
                  fehler->message ? Bereinigt(fehler->message) : QStringLiteral("unbekannter Fehler"));
  }
  // `element`: the validator's complaint about the open element (not the parser's about the file).
  void Beschwerde(int zeile, int spalte, const QString& text, bool element = true) {
    befund.schema = schema->Name();
    befund.zeile = zeile;
    befund.spalte = spalte;
    befund.text = text;
    // Where it is: the transaction it lies in (the parser's complaint may come inside another check's
    // transaction), and the open elements (an element's own complaint comes while it is still open).
    if (ereignis) {
      auto ist = [](Name name, const char* text) { return std::strcmp(reinterpret_cast<const char*>(name), text) == 0; };
      const bool imPosten = auslassen > 0 || (offen.size() >= 4 && (ist(offen[3].name, "CdtTrfTxInf") ||
                                                                    ist(offen[3].name, "DrctDbtTxInf")));
      if (imPosten && begonnen > 0) befund.posten = int(begonnen - 1);
      if (element)
        for (const Namen& n : offen) befund.pfad << QString::fromUtf8(reinterpret_cast<const char*>(n.name));
    }
    befundStelle = ereignis ? stelle : Nirgends;
    // The other checks need not look past it.
    for (qint64 bisher = fruehste->load(); befundStelle < bisher && !fruehste->compare_exchange_weak(bisher, befundStelle);) {
    }
  }

  // The next section; none at the end of the document, when it was given up, or when another check of the
  // schema has complained before it.
  std::shared_ptr<const Abschnitt> NaechsterAbschnitt() {
    std::unique_lock<std::mutex> halt(zustand->sperre);
    zustand->pruefer.wait(halt, [this] { return !abschnitte.empty() || zerlegt || zustand->abbruch; });
    if (zustand->abbruch || abschnitte.empty()) return {};
    std::shared_ptr<const Abschnitt> a = std::move(abschnitte.front());
    abschnitte.pop_front();
    if (abschnitte.size() == MaxAbschnitte / 2) zustand->zerleger.notify_all();   // room for the parse
    if (fruehste->load(std::memory_order_relaxed) < a->erstes) return {};
    return a;
  }

  // False once the check has complained: the rest is not looked at.
  bool Abspielen(const Abschnitt& a, xmlSAXHandlerPtr sax, void* daten, std::vector<Name>& attributzeiger) {
    auto posten = a.posten.cbegin();
    for (size_t n = 0; n < a.ereignisse.size(); ++n) {
      const Ereignis& e = a.ereignisse[n];
      ereignis = &e;
      stelle = a.erstes + qint64(n);
      if (auslassen > 0 && e.art != Art::Fehler) {   // another check's transaction, across sections
        if (e.art == Art::Start) ++auslassen;
        else if (e.art == Art::Ende) --auslassen;
        continue;
      }
      switch (e.art) {
        case Art::Start: {
          if (e.eigner != Alle) {
            ++begonnen;
            if (e.eigner != AlleErster && e.eigner != teil) {
              while (posten != a.posten.cend() && posten->first < int(n)) ++posten;
              if (posten != a.posten.cend() && posten->first == int(n))
                n = size_t(posten->second);   // on past its end
              else
                auslassen = 1;
              continue;
            }
          }
          const Namen& namen = offen.emplace_back(a.namen[size_t(e.laenge)]);
          if (e.anfang < 0) {
            sax->startElementNs(daten, namen.name, namen.praefix, namen.uri, 0, nullptr, 0, 0, nullptr);
            break;
          }
          const Zusatz& z = a.zusaetze[size_t(e.anfang)];
          attributzeiger.resize(size_t(z.attribute) * 5);
          for (int i = 0; i < z.attribute; ++i) {
            const Attribut& t = a.attribute[size_t(z.erstesAttribut + i)];
            const Name wert = reinterpret_cast<Name>(a.text.data() + t.wert);
            Name* zeiger = attributzeiger.data() + size_t(i) * 5;
            zeiger[0] = t.name;
            zeiger[1] = t.praefix;
            zeiger[2] = t.uri;
            zeiger[3] = wert;
            zeiger[4] = wert + t.laenge;
          }
          sax->startElementNs(daten, namen.name, namen.praefix, namen.uri, z.namensraeume,
                              z.namensraeume ? const_cast<Name*>(a.namensraeume.data() + z.ersterNamensraum) : nullptr,
                              z.attribute, z.vorgegeben, z.attribute ? attributzeiger.data() : nullptr);
          break;
        }
        case Art::Ende:
          // Popped after the end is replayed: a complaint about the element's content finds it still open.
          if (!offen.empty()) {
            const Namen namen = offen.back();
            sax->endElementNs(daten, namen.name, namen.praefix, namen.uri);
            offen.pop_back();
          }
          break;
        case Art::Text:
          sax->characters(daten, reinterpret_cast<Name>(a.text.data() + e.anfang), e.laenge);
          break;
        case Art::Cdata:
          sax->cdataBlock(daten, reinterpret_cast<Name>(a.text.data() + e.anfang), e.laenge);
          break;
        case Art::Verweis:
          sax->reference(daten, a.namen[size_t(e.laenge)].name);
          break;
        case Art::Fehler:
          if (befund.Ok())
            Beschwerde(e.zeile, e.spalte, Bereinigt(a.text.substr(size_t(e.anfang), size_t(e.laenge)).c_str()), false);
          break;
      }
      if (!befund.Ok()) return false;
    }
    ereignis = nullptr;
    return true;
  }

  void Pruefen() {
    // Errors outside the validation context (memory, regular expressions) reach the thread's handler.
    const Fehlerumleitung umleitung(this, Fehler);
    xmlSchemaValidCtxtPtr pruefung = xmlSchemaNewValidCtxt(schema->Roh());
    xmlSAXHandlerPtr sax = nullptr;
    void* daten = nullptr;
    xmlSchemaSAXPlugPtr stecker = nullptr;
    if (pruefung) {
      xmlSchemaSetValidStructuredErrors(pruefung, Fehler, this);
      stecker = xmlSchemaSAXPlug(pruefung, &sax, &daten);
    }
    bool ok = stecker != nullptr;
    bool ueberholt = false;   // another check complained earlier: this one's end is not wanted
    std::vector<Name> attributzeiger;
    while (ok) {
      const std::shared_ptr<const Abschnitt> a = NaechsterAbschnitt();
      if (!a) {
        ueberholt = fruehste->load() < Nirgends;
        break;
      }
      ok = Abspielen(*a, sax, daten, attributzeiger);
    }
    ereignis = nullptr;
    // Without the validation layer nothing was checked: never a pass.
    const int gueltig = stecker ? xmlSchemaIsValid(pruefung) : -1;
    if (stecker) xmlSchemaSAXUnplug(stecker);
    if (pruefung) xmlSchemaFreeValidCtxt(pruefung);
    std::lock_guard<std::mutex> halt(zustand->sperre);
    if (gueltig != 1 && befund.Ok() && !zustand->abbruch && !ueberholt)
      Beschwerde(0, 0, QStringLiteral("Die Prüfung ist gescheitert (libxml2 %1).").arg(gueltig));
    fertig = true;
    abschnitte.clear();
    zustand->zerleger.notify_all();
  }
};

// The parse: reads the blocks handed to it through libxml2's input callback and records the events.
struct SepaSchemastrom::Zerleger {
  std::shared_ptr<Zustand> zustand;
  std::vector<Pruefer*> pruefer;
  std::deque<QByteArray> bloecke;   // waiting, guarded by the state's lock
  bool fertig = false;              // the parse has ended and takes nothing more (guarded)
  xmlDictPtr woerterbuch = nullptr; // the parse's names, kept until the checks have ended
  // Owned by the parse's thread while it runs.
  xmlParserCtxtPtr parser = nullptr;
  QByteArray aktuell;
  qsizetype gelesen = 0;
  std::shared_ptr<Abschnitt> abschnitt;
  std::deque<QByteArray> eigeneNamen;   // names not from the dictionary (stay put: never changed)
  qint64 stelle = 0;    // events recorded
  int teile = 1;        // checks per schema
  // Where the parse stands: open elements, and whether those at depths 1 to 3 are Document, the message
  // and a PmtInf (the transaction's name then known).
  int tiefe = 0;
  std::array<bool, 4> imPfad{};
  const char* postenName = nullptr;
  bool ersterPosten = false;   // the next transaction is the first of its PmtInf
  qint64 posten = 0;           // transactions so far
  int postenAnfang = -1;       // where the open transaction started in the section being filled
  quint64 abschnittNr = 0;     // sections begun
  bool beschwert = false;
  bool weiter = true;   // some check still wants events
  std::thread faden;

  // Fills the buffer as a file read would: short only at the end of the document (the parser looks for the
  // XML declaration in what the first read brings).
  static int Lesen(void* kontext, char* puffer, int laenge) {
    auto* z = static_cast<Zerleger*>(kontext);
    int n = 0;
    while (n < laenge && z->weiter) {
      if (z->gelesen >= z->aktuell.size() && !z->NaechsterBlock()) break;
      const qsizetype stueck = std::min<qsizetype>(laenge - n, z->aktuell.size() - z->gelesen);
      std::memcpy(puffer + n, z->aktuell.constData() + z->gelesen, size_t(stueck));
      z->gelesen += stueck;
      n += int(stueck);
    }
    return n;
  }
  bool NaechsterBlock() {
    std::unique_lock<std::mutex> halt(zustand->sperre);
    zustand->zerleger.wait(halt, [this] { return !bloecke.empty() || zustand->ende || zustand->abbruch; });
    if (zustand->abbruch || bloecke.empty()) return false;
    aktuell = std::move(bloecke.front());
    bloecke.pop_front();
    gelesen = 0;
    if (bloecke.size() == MaxRueckstand / 2) zustand->schreiber.notify_all();   // room for the writer
    return true;
  }
  static int Schliessen(void*) { return 0; }

  // An empty section, from the store when it has enough; back to the store once no one reads it.
  std::shared_ptr<Abschnitt> NeuerAbschnitt() {
    std::unique_ptr<Abschnitt> a = Vorrat::Prozess().Nehmen();
    if (a) {
      a->ereignisse.clear();
      a->posten.clear();
      a->namen.clear();
      a->zusaetze.clear();
      a->namensraeume.clear();
      a->attribute.clear();
      a->text.clear();
    } else {
      a = std::make_unique<Abschnitt>();
      a->ereignisse.reserve(Abschnittsgroesse);
    }
    a->erstes = stelle;
    ++abschnittNr;
    return {a.release(), [](Abschnitt* b) { Vorrat::Prozess().Zurueck(b); }};
  }

  // Hands the section to every check still running; false when none is (or the document was given up).
  bool Weitergeben() {
    std::shared_ptr<const Abschnitt> a = std::exchange(abschnitt, NeuerAbschnitt());
    postenAnfang = -1;   // a transaction that goes on in the next section is stepped over element by element
    std::unique_lock<std::mutex> halt(zustand->sperre);
    zustand->zerleger.wait(halt, [this] {
      if (zustand->abbruch) return true;
      for (const Pruefer* p : pruefer)
        if (!p->fertig && p->abschnitte.size() >= MaxAbschnitte) return false;
      return true;
    });
    bool jemand = false;
    bool wecken = false;
    for (Pruefer* p : pruefer)
      if (!p->fertig && !zustand->abbruch) {
        wecken = wecken || p->abschnitte.empty();
        p->abschnitte.push_back(a);
        jemand = true;
      }
    if (wecken) zustand->pruefer.notify_all();
    return jemand;
  }
  Ereignis& Neu(Art art, int anfang = -1, int laenge = 0) {
    ++stelle;
    const xmlParserInputPtr eingabe = parser ? parser->input : nullptr;
    return abschnitt->ereignisse.emplace_back(
        Ereignis{eingabe ? eingabe->line : 0, eingabe ? eingabe->col : 0, anfang, laenge, art, Alle});
  }
  // After each event: a full section goes on; the parse stops when no check wants more.
  void Fertig() {
    if (abschnitt->ereignisse.size() < Abschnittsgroesse && abschnitt->text.size() < Abschnittstext) return;
    if (!Weitergeben()) {
      weiter = false;
      xmlStopParser(parser);
    }
  }
  // The dictionary's strings seen so far (a string of the dictionary stays where it is while it lives).
  std::array<Name, 256> bekannt{};
  Name Stabil(Name s) {
    if (!s) return s;
    Name& platz = bekannt[(reinterpret_cast<quintptr>(s) >> 3) % bekannt.size()];
    if (platz == s) return s;
    if (xmlDictOwns(parser->dict, s) == 1) return platz = s;
    eigeneNamen.emplace_back(reinterpret_cast<const char*>(s));
    return reinterpret_cast<Name>(eigeneNamen.back().constData());
  }
  // The index of the names in the section; the names of the section's last elements are found again without
  // copying (only names from the dictionary, whose place says what they are).
  struct Gemerkt {
    Name name;
    Name praefix;
    Name uri;
    quint64 abschnitt;
    int index;
  };
  std::array<Gemerkt, 1024> gemerkt{};   // by the name's place: the dictionary keeps its names close together
  int NamenIndex(Name name, Name praefix, Name uri) {
    Gemerkt& g = gemerkt[(reinterpret_cast<quintptr>(name) >> 3) % gemerkt.size()];
    if (g.abschnitt == abschnittNr && g.name == name && g.praefix == praefix && g.uri == uri) return g.index;
    const Namen stabil{Stabil(name), Stabil(praefix), Stabil(uri)};
    const int index = int(abschnitt->namen.size());
    abschnitt->namen.push_back(stabil);
    if (stabil.name == name && stabil.praefix == praefix && stabil.uri == uri) g = {name, praefix, uri, abschnittNr, index};
    return index;
  }
  int Kopieren(const xmlChar* text, int laenge) {
    const int anfang = int(abschnitt->text.size());
    abschnitt->text.append(reinterpret_cast<const char*>(text), laenge);
    return anfang;
  }

  // The check that replays an element starting now: a transaction's own check, every check for the rest.
  quint8 Eigner(const char* name) {
    ++tiefe;
    if (tiefe > 4) return Alle;
    const bool darueber = tiefe == 1 || imPfad[size_t(tiefe - 2)];
    if (tiefe == 4) {
      if (!darueber || std::strcmp(name, postenName) != 0) return Alle;
      const qint64 nummer = posten++;
      if (std::exchange(ersterPosten, false)) return AlleErster;
      postenAnfang = int(abschnitt->ereignisse.size()) - 1;
      return quint8(nummer % teile);
    }
    bool passt = false;
    if (darueber && tiefe == 1) {
      passt = std::strcmp(name, "Document") == 0;
    } else if (darueber && tiefe == 2) {
      postenName = std::strcmp(name, "CstmrCdtTrfInitn") == 0    ? "CdtTrfTxInf"
                   : std::strcmp(name, "CstmrDrctDbtInitn") == 0 ? "DrctDbtTxInf"
                                                                  : nullptr;
      passt = postenName != nullptr;
    } else if (darueber && tiefe == 3) {
      passt = ersterPosten = std::strcmp(name, "PmtInf") == 0;
    }
    imPfad[size_t(tiefe - 1)] = passt;
    return Alle;
  }

  static void Start(void* kontext, Name name, Name praefix, Name uri, int namensraeume, Name* ns, int attribute,
                    int vorgegeben, Name* werte) {
    auto* z = static_cast<Zerleger*>(kontext);
    Abschnitt& a = *z->abschnitt;
    const int namen = z->NamenIndex(name, praefix, uri);
    int zusatz = -1;
    if (namensraeume || attribute || vorgegeben) {
      zusatz = int(a.zusaetze.size());
      a.zusaetze.push_back({namensraeume, int(a.namensraeume.size()), attribute, int(a.attribute.size()), vorgegeben});
      for (int i = 0; i < 2 * namensraeume; ++i) a.namensraeume.push_back(z->Stabil(ns[i]));
      for (int i = 0; i < attribute; ++i) {
        const Name* w = werte + size_t(i) * 5;
        const int laenge = int(w[4] - w[3]);
        a.attribute.push_back({z->Stabil(w[0]), z->Stabil(w[1]), z->Stabil(w[2]), z->Kopieren(w[3], laenge), laenge});
      }
    }
    z->Neu(Art::Start, zusatz, namen);
    a.ereignisse.back().eigner = z->Eigner(reinterpret_cast<const char*>(name));
    z->Fertig();
  }
  static void Ende(void* kontext, Name, Name, Name) {
    auto* z = static_cast<Zerleger*>(kontext);
    if (--z->tiefe == 3 && z->postenAnfang >= 0)   // a transaction ends
      z->abschnitt->posten.emplace_back(std::exchange(z->postenAnfang, -1), int(z->abschnitt->ereignisse.size()));
    z->Neu(Art::Ende);
    z->Fertig();
  }
  static void Zeichen(void* kontext, Name text, int laenge, Art art) {
    auto* z = static_cast<Zerleger*>(kontext);
    z->Neu(art, z->Kopieren(text, laenge), laenge);
    z->Fertig();
  }
  static void Text(void* kontext, Name text, int laenge) { Zeichen(kontext, text, laenge, Art::Text); }
  static void Cdata(void* kontext, Name text, int laenge) { Zeichen(kontext, text, laenge, Art::Cdata); }
  static void Verweis(void* kontext, Name name) {
    auto* z = static_cast<Zerleger*>(kontext);
    z->Neu(Art::Verweis, -1, z->NamenIndex(name, nullptr, nullptr));
    z->Fertig();
  }
  // The parser's first complaint goes to the checks in its place among the events.
  void Beschwerde(int zeile, int spalte, const QByteArray& text) {
    if (beschwert) return;
    beschwert = true;
    postenAnfang = -1;   // no check may step over the complaint
    Ereignis& e = Neu(Art::Fehler, Kopieren(reinterpret_cast<Name>(text.constData()), int(text.size())), int(text.size()));
    e.zeile = zeile;
    e.spalte = spalte;
  }
  static void Fehler(void* kontext, xmlErrorPtr fehler) {
    auto* z = static_cast<Zerleger*>(kontext);
    if (!fehler || fehler->level == XML_ERR_WARNING) return;
    z->Beschwerde(fehler->line, fehler->int2, fehler->message ? QByteArray(fehler->message) : QByteArray("unbekannter Fehler"));
  }

  void Zerlegen() {
    {
      // Errors without the parser's context (memory) reach the thread's handler.
      const Fehlerumleitung umleitung(this, Fehler);
      xmlSAXHandler sax;
      std::memset(&sax, 0, sizeof(sax));
      sax.initialized = XML_SAX2_MAGIC;
      sax.startElementNs = Start;
      sax.endElementNs = Ende;
      // One function for both, as the validation layer has it: the parser then does not look for
      // ignorable white space.
      sax.characters = Text;
      sax.ignorableWhitespace = Text;
      sax.cdataBlock = Cdata;
      sax.reference = Verweis;
      sax.serror = Fehler;
      abschnitt = NeuerAbschnitt();
      parser = xmlCreateIOParserCtxt(&sax, this, Lesen, Schliessen, this, XML_CHAR_ENCODING_NONE);
      if (parser) {
        parser->linenumbers = 1;
        woerterbuch = parser->dict;
        xmlDictReference(woerterbuch);
        const int rc = xmlParseDocument(parser);
        if (weiter && (rc != 0 || !parser->wellFormed))
          Beschwerde(0, 0, QStringLiteral("Die Prüfung ist gescheitert (libxml2 %1).").arg(parser->errNo).toUtf8());
        xmlFreeParserCtxt(parser);
        parser = nullptr;
      } else {
        Beschwerde(0, 0, QByteArrayLiteral("Die Prüfung ist gescheitert (kein Parser)."));
      }
      if (weiter && !abschnitt->ereignisse.empty()) Weitergeben();
    }
    std::lock_guard<std::mutex> halt(zustand->sperre);
    for (Pruefer* p : pruefer) p->zerlegt = true;
    fertig = true;
    bloecke.clear();
    zustand->pruefer.notify_all();
    zustand->schreiber.notify_all();
  }
};

int SepaSchemastrom::Teile() {
  // Two schemas' checks beside the parse, the writer and the marking: three each on eight hardware threads
  // (measured against two and four). Beyond four the one parse is what the checks wait for.
  static const int teile = std::clamp((int(std::thread::hardware_concurrency()) - 2) / 2, 1, 4);
  return teile;
}

SepaSchemastrom::SepaSchemastrom(const SepaSchemaliste& schemas, int teile)
    : m_zustand(std::make_shared<Zustand>()),
      m_teile(std::clamp(teile, 1, 16)),
      m_fruehste(std::make_unique<std::atomic<qint64>[]>(size_t(schemas.size()))),
      m_zerleger(std::make_unique<Zerleger>()) {
  LibxmlEinrichten();
  Vorrat::Prozess().Anmelden();
  m_zerleger->zustand = m_zustand;
  m_zerleger->teile = m_teile;
  m_pruefer.reserve(size_t(schemas.size() * m_teile));
  for (qsizetype i = 0; i < schemas.size(); ++i) {
    m_fruehste[size_t(i)] = Nirgends;
    for (int teil = 0; teil < m_teile; ++teil) {
      auto p = std::make_unique<Pruefer>();
      p->zustand = m_zustand;
      p->schema = schemas.at(i);
      p->teil = quint8(teil);
      p->fruehste = &m_fruehste[size_t(i)];
      m_zerleger->pruefer.push_back(p.get());
      m_pruefer.push_back(std::move(p));
    }
  }
  for (const auto& p : m_pruefer) p->faden = std::thread([q = p.get()] { q->Pruefen(); });
  m_zerleger->faden = std::thread([z = m_zerleger.get()] { z->Zerlegen(); });
}

SepaSchemastrom::~SepaSchemastrom() {
  {
    std::lock_guard<std::mutex> halt(m_zustand->sperre);
    m_zustand->abbruch = true;
    m_zustand->AlleWecken();
  }
  Warten();
  m_zerleger->abschnitt.reset();   // the last section still held; the checks hold none once they have ended
  Vorrat::Prozess().Abmelden();
}

void SepaSchemastrom::Warten() {
  if (m_zerleger->faden.joinable()) m_zerleger->faden.join();
  for (const auto& p : m_pruefer)
    if (p->faden.joinable()) p->faden.join();
  // The names the checks held are no longer needed.
  if (m_zerleger->woerterbuch) xmlDictFree(std::exchange(m_zerleger->woerterbuch, nullptr));
}

void SepaSchemastrom::Anhaengen(QByteArrayView block) {
  if (block.isEmpty()) return;
  const QByteArray kopie(block.data(), block.size());
  std::unique_lock<std::mutex> halt(m_zustand->sperre);
  m_zustand->schreiber.wait(halt, [this] {
    return m_zustand->abbruch || m_zerleger->fertig || m_zerleger->bloecke.size() < MaxRueckstand;
  });
  if (m_zerleger->fertig || m_zustand->abbruch) return;
  m_zerleger->bloecke.push_back(kopie);
  if (m_zerleger->bloecke.size() == 1) m_zustand->zerleger.notify_all();
}

void SepaSchemastrom::Beenden() {
  std::lock_guard<std::mutex> halt(m_zustand->sperre);
  m_zustand->ende = true;
  m_zustand->zerleger.notify_all();
}

SepaSchemabefund SepaSchemastrom::Ergebnis() {
  Beenden();
  Warten();
  // The schemas in order; of a schema's checks, the complaint at the earliest event.
  for (size_t gruppe = 0; gruppe < m_pruefer.size(); gruppe += size_t(m_teile)) {
    const Pruefer* erster = nullptr;
    for (size_t i = gruppe; i < gruppe + size_t(m_teile); ++i) {
      const Pruefer* p = m_pruefer.at(i).get();
      if (!p->befund.Ok() && (!erster || p->befundStelle < erster->befundStelle)) erster = p;
    }
    if (erster) return erster->befund;
  }
  return {};
}

// ---- helpers ----------------------------------------------------------------------------------------------------

namespace {

// The field of an element as the program's windows call it; its own name when it has none there.
QString Feldname(const QStringList& pfad, bool imPosten) {
  if (pfad.isEmpty()) return {};
  const QString& e = pfad.last();
  const QString eltern = pfad.size() >= 2 ? pfad.at(pfad.size() - 2) : QString();
  auto absender = [&](const QString& feld) { return imPosten ? feld : feld + QStringLiteral(" des Absenders"); };
  if (e == QLatin1String("Nm")) return absender(QStringLiteral("Name"));
  if (e == QLatin1String("IBAN") || e == QLatin1String("CdtrAcct") || e == QLatin1String("DbtrAcct"))
    return absender(QStringLiteral("IBAN"));
  if (e == QLatin1String("BIC") || e == QLatin1String("BICFI")) return absender(QStringLiteral("BIC"));
  if (e == QLatin1String("Id") && pfad.contains(QLatin1String("CdtrSchmeId"))) return QStringLiteral("Gläubiger-ID");
  if (e == QLatin1String("Id") && pfad.contains(QLatin1String("FinInstnId"))) return absender(QStringLiteral("BIC"));
  if (e == QLatin1String("Ustrd") || e == QLatin1String("RmtInf")) return QStringLiteral("Verwendungszweck");
  if (e == QLatin1String("MndtId")) return QStringLiteral("Mandat-Referenz");
  if (e == QLatin1String("DtOfSgntr")) return QStringLiteral("Mandat-Datum");
  if (e == QLatin1String("InstdAmt") || e == QLatin1String("Amt")) return QStringLiteral("Betrag");
  if (e == QLatin1String("Ccy")) return QStringLiteral("Währung");
  if (e == QLatin1String("EndToEndId")) return QStringLiteral("Einzel-Referenz");
  if (e == QLatin1String("Cd") && eltern == QLatin1String("Purp")) return QStringLiteral("Textschlüssel");
  if (e == QLatin1String("Cd") && eltern == QLatin1String("LclInstrm")) return QStringLiteral("Lastschriftart");
  if (e == QLatin1String("MsgId") || e == QLatin1String("PmtInfId")) return QStringLiteral("Referenz-Nr");
  if (e == QLatin1String("CtrlSum")) return QStringLiteral("Kontrollsumme");
  if (e == QLatin1String("NbOfTxs")) return QStringLiteral("Anzahl der Zahlungen");
  if (e == QLatin1String("ReqdColltnDt")) return QStringLiteral("Fälligkeitsdatum");
  if (e == QLatin1String("ReqdExctnDt") || (e == QLatin1String("Dt") && eltern == QLatin1String("ReqdExctnDt")))
    return QStringLiteral("Ausführungsdatum");
  if (e == QLatin1String("CreDtTm")) return QStringLiteral("Erstellungszeitpunkt");
  if (e == QLatin1String("SeqTp")) return QStringLiteral("Mandat-Art");
  if (e == QLatin1String("BtchBookg")) return QStringLiteral("Sammelbuchung");
  return e;
}

}  // namespace

namespace SepaSchemapruefung {

QString Ordner() {
  const QString ressourcen = RessourcenVerzeichnis();
  return ressourcen.isEmpty() ? QString() : QDir(ressourcen).filePath(QStringLiteral("xsd"));
}

SepaSchemaliste Laden(SepaFormat format, bool lastschrift, const QString& ordner, QString& meldung) {
  SepaSchemaliste schemas;
  for (const QString& datei : {SepaFormate::IsoSchema(format, lastschrift), SepaFormate::DkSchema(format, lastschrift)}) {
    const QString pfad = ordner.isEmpty() ? datei : QDir(ordner).filePath(datei);
    std::shared_ptr<const SepaSchema> s = SepaSchema::Laden(pfad, meldung);
    if (!s) return {};
    schemas << s;
  }
  return schemas;
}

SepaSchemabefund Pruefen(QByteArrayView dokument, const SepaSchemaliste& schemas, int teile) {
  SepaSchemastrom strom(schemas, teile);
  for (qsizetype i = 0; i < dokument.size(); i += Pruefblock) strom.Anhaengen(dokument.sliced(i, std::min(Pruefblock, dokument.size() - i)));
  return strom.Ergebnis();
}

QString Erklaerung(const SepaSchemabefund& befund, const std::optional<SepaSchemaauftrag>& auftrag) {
  static const QRegularExpression elementText(QStringLiteral("^Element '([^']*)'(?:, attribute '([^']*)')?: (.*)$"));
  const bool imPosten = befund.posten >= 0;
  QString wer;
  if (imPosten && auftrag)
    wer = QStringLiteral("Zahlung Nr. %1 (%2)").arg(auftrag->zahlungNr).arg(auftrag->name);
  else if (imPosten)
    wer = QStringLiteral("%1. Zahlung der Datei").arg(befund.posten + 1);
  else
    wer = QStringLiteral("Angaben des Absenders und der Datei");

  const QRegularExpressionMatch element = elementText.match(befund.text);
  if (!element.hasMatch()) {
    // The parser's complaints, or the check's own failure: the file as a whole.
    const QString ganz = befund.text.startsWith(QLatin1String("Die Prüfung ist gescheitert"))
                             ? QStringLiteral("Die Datei konnte nicht vollständig geprüft werden.")
                             : QStringLiteral("Die Datei ist kein vollständiges, gültiges XML-Dokument.");
    return imPosten ? ganz + QStringLiteral(" Der Fehler liegt bei: ") + wer + QLatin1Char('.') : ganz;
  }
  const QString name = element.captured(1);
  const QString attribut = element.captured(2);
  const QString text = element.captured(3);
  if (text.startsWith(QLatin1String("No matching global declaration available for the validation root")))
    return QStringLiteral("Die Datei hat nicht die Nachrichtenversion, die das Prüfschema erwartet.");

  QStringList pfad = befund.pfad;
  if (!name.isEmpty() && (pfad.isEmpty() || pfad.last() != name)) pfad << name;
  QString grund;
  auto treffer = [&](const char* muster) {
    return QRegularExpression(QString::fromUtf8(muster)).match(text);
  };
  // An element named in the complaint, without a prefix.
  auto lokal = [](QString name) { return name.mid(name.indexOf(QLatin1Char(':')) + 1); };
  QRegularExpressionMatch m;
  if ((m = treffer("^\\[facet 'maxLength'\\] The value has a length of '(\\d+)'.* length of '(\\d+)'")).hasMatch()) {
    grund = QStringLiteral("zu lang (%1 Zeichen, erlaubt sind höchstens %2)").arg(m.captured(1), m.captured(2));
  } else if ((m = treffer("^\\[facet 'minLength'\\] The value has a length of '(\\d+)'.* length of '(\\d+)'")).hasMatch()) {
    grund = m.captured(1) == QLatin1String("0")
                ? QStringLiteral("leer")
                : QStringLiteral("zu kurz (%1 Zeichen, nötig sind mindestens %2)").arg(m.captured(1), m.captured(2));
  } else if ((m = treffer("^\\[facet 'length'\\] The value has a length of '(\\d+)'.* length of '(\\d+)'")).hasMatch()) {
    grund = QStringLiteral("nicht in der vorgeschriebenen Länge (%1 Zeichen statt %2)").arg(m.captured(1), m.captured(2));
  } else if ((m = treffer("^\\[facet 'pattern'\\] The value '(.*)' is not accepted by the pattern")).hasMatch()) {
    grund = QStringLiteral("enthält Zeichen, die dort nicht erlaubt sind, oder hat nicht die vorgeschriebene Form (\"%1\")")
                .arg(m.captured(1));
  } else if ((m = treffer("^\\[facet 'enumeration'\\] The value '(.*)' is not an element of the set")).hasMatch()) {
    grund = QStringLiteral("kein erlaubter Wert (\"%1\")").arg(m.captured(1));
  } else if ((m = treffer("^\\[facet '(?:min|max)(?:In|Ex)clusive'\\] The value '(.*)' (?:is|must be)")).hasMatch()) {
    grund = QStringLiteral("außerhalb des erlaubten Bereichs (\"%1\")").arg(m.captured(1));
  } else if ((m = treffer("^\\[facet 'totalDigits'\\] The value '(.*)' has more digits")).hasMatch()) {
    grund = QStringLiteral("zu viele Stellen (\"%1\")").arg(m.captured(1));
  } else if ((m = treffer("^\\[facet 'fractionDigits'\\] The value '(.*)' has more fractional digits")).hasMatch()) {
    grund = QStringLiteral("zu viele Nachkommastellen (\"%1\")").arg(m.captured(1));
  } else if ((m = treffer("^'(.*)' is not a valid value of the ")).hasMatch()) {
    grund = QStringLiteral("nicht in der vorgeschriebenen Form (\"%1\")").arg(m.captured(1));
  } else if ((m = treffer("^Missing child element\\(s\\)\\. Expected is (?:one of )?\\( ([^ ,)]+)")).hasMatch()) {
    pfad << lokal(m.captured(1));   // the field named is the one missing
    grund = QStringLiteral("fehlt");
  } else if (text.startsWith(QLatin1String("This element is not expected"))) {
    grund = QStringLiteral("an dieser Stelle nicht erlaubt");
    // Mostly the one expected there is missing: named too.
    if ((m = treffer("Expected is (?:one of )?\\( ([^ ,)]+)")).hasMatch()) {
      QStringList erwartet = pfad.mid(0, pfad.size() - 1);
      erwartet << lokal(m.captured(1));
      grund += QStringLiteral(" (erwartet: \"%1\")").arg(Feldname(erwartet, imPosten));
    }
  } else if (text.startsWith(QLatin1String("Character content other than whitespace is not allowed"))) {
    grund = QStringLiteral("enthält Text, wo keiner erlaubt ist");
  } else {
    grund = QStringLiteral("von der Prüfung abgelehnt");
  }

  const QString feld = attribut.isEmpty() ? Feldname(pfad, imPosten) : Feldname({attribut}, imPosten);
  if (feld.isEmpty()) return wer + QStringLiteral(": ") + grund + QLatin1Char('.');
  return wer + QStringLiteral(", Feld \"") + feld + QStringLiteral("\": ") + grund + QLatin1Char('.');
}

QString Meldung(const QString& dateiname, const SepaSchemabefund& befund, const std::optional<SepaSchemaauftrag>& auftrag) {
  return QStringLiteral("Die Datei %1 entspricht nicht dem Schema der Bank (Zeile %2, Spalte %3):\r%4\r\r"
                        "Meldung der Prüfung (für den Support): %5\r"
                        "Prüfschema: %6\r"
                        "Es wurde keine SEPA-Datei erstellt und keine Zahlung als erledigt gekennzeichnet.")
      .arg(dateiname)
      .arg(befund.zeile)
      .arg(befund.spalte)
      .arg(Erklaerung(befund, auftrag), befund.text, befund.schema);
}

}  // namespace SepaSchemapruefung
