#include "sepafiles/core/SepaSchemapruefung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include "common/Datenbankstart.h"

namespace {

// Blocks a check may lag behind the writer (the writer's blocks are about 256 KiB).
constexpr size_t MaxRueckstand = 32;
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

struct SepaSchemastrom::Zustand {
  std::mutex sperre;
  std::condition_variable signal;
  bool ende = false;       // the document is complete
  bool abbruch = false;    // no result wanted any more
};

// One schema's check on its own thread; reads the blocks handed to it through libxml2's input callback.
struct SepaSchemastrom::Pruefer {
  std::shared_ptr<Zustand> zustand;
  std::shared_ptr<const SepaSchema> schema;
  std::deque<QByteArray> bloecke;   // waiting, guarded by the state's lock
  bool fertig = false;              // the check has ended and takes nothing more (guarded)
  // Owned by the check's thread while it runs.
  QByteArray aktuell;
  qsizetype gelesen = 0;
  SepaSchemabefund befund;
  std::thread faden;

  // Fills the buffer as a file read would: short only at the end of the document (the parser looks for the
  // XML declaration in what the first read brings).
  static int Lesen(void* kontext, char* puffer, int laenge) {
    auto* p = static_cast<Pruefer*>(kontext);
    // Stopped at the first complaint: the rest of the document is not read.
    if (!p->befund.Ok()) return 0;
    int n = 0;
    while (n < laenge) {
      if (p->gelesen >= p->aktuell.size() && !p->NaechsterBlock()) break;
      const qsizetype stueck = std::min<qsizetype>(laenge - n, p->aktuell.size() - p->gelesen);
      std::memcpy(puffer + n, p->aktuell.constData() + p->gelesen, size_t(stueck));
      p->gelesen += stueck;
      n += int(stueck);
    }
    return n;
  }
  // Waits for the writer's next block; false at the end of the document or when it was given up.
  bool NaechsterBlock() {
    std::unique_lock<std::mutex> halt(zustand->sperre);
    zustand->signal.wait(halt, [this] { return !bloecke.empty() || zustand->ende || zustand->abbruch; });
    if (zustand->abbruch || bloecke.empty()) return false;
    aktuell = std::move(bloecke.front());
    bloecke.pop_front();
    gelesen = 0;
    zustand->signal.notify_all();   // room for the writer
    return true;
  }
  static int Schliessen(void*) { return 0; }

  static void Fehler(void* kontext, xmlErrorPtr fehler) {
    auto* p = static_cast<Pruefer*>(kontext);
    if (!fehler || fehler->level == XML_ERR_WARNING || !p->befund.Ok()) return;
    p->befund.schema = p->schema->Name();
    p->befund.zeile = fehler->line;
    p->befund.spalte = fehler->int2;
    p->befund.text = fehler->message ? Bereinigt(fehler->message) : QStringLiteral("unbekannter Fehler");
  }

  void Pruefen() {
    xmlSchemaValidCtxtPtr pruefung = xmlSchemaNewValidCtxt(schema->Roh());
    int rc = -1;
    if (pruefung) {
      xmlSchemaSetValidStructuredErrors(pruefung, Fehler, this);
      // Errors of the parser (a document that is no XML) reach the thread's handler.
      const Fehlerumleitung umleitung(this, Fehler);
      xmlParserInputBufferPtr eingabe =
          xmlParserInputBufferCreateIO(Lesen, Schliessen, this, XML_CHAR_ENCODING_NONE);
      if (eingabe) rc = xmlSchemaValidateStream(pruefung, eingabe, XML_CHAR_ENCODING_NONE, nullptr, nullptr);
      xmlSchemaFreeValidCtxt(pruefung);
    }
    std::lock_guard<std::mutex> halt(zustand->sperre);
    if (rc != 0 && befund.Ok() && !zustand->abbruch) {
      befund.schema = schema->Name();
      befund.text = QStringLiteral("Die Prüfung ist gescheitert (libxml2 %1).").arg(rc);
    }
    fertig = true;
    bloecke.clear();
    zustand->signal.notify_all();
  }
};

SepaSchemastrom::SepaSchemastrom(const SepaSchemaliste& schemas) : m_zustand(std::make_shared<Zustand>()) {
  LibxmlEinrichten();
  m_pruefer.reserve(schemas.size());
  for (const std::shared_ptr<const SepaSchema>& s : schemas) {
    auto p = std::make_unique<Pruefer>();
    p->zustand = m_zustand;
    p->schema = s;
    m_pruefer.push_back(std::move(p));
  }
  for (const auto& p : m_pruefer) p->faden = std::thread([q = p.get()] { q->Pruefen(); });
}

SepaSchemastrom::~SepaSchemastrom() {
  {
    std::lock_guard<std::mutex> halt(m_zustand->sperre);
    m_zustand->abbruch = true;
    m_zustand->signal.notify_all();
  }
  for (const auto& p : m_pruefer)
    if (p->faden.joinable()) p->faden.join();
}

void SepaSchemastrom::Anhaengen(QByteArrayView block) {
  if (block.isEmpty()) return;
  const QByteArray kopie(block.data(), block.size());
  std::unique_lock<std::mutex> halt(m_zustand->sperre);
  m_zustand->signal.wait(halt, [this] {
    if (m_zustand->abbruch) return true;
    for (const auto& p : m_pruefer)
      if (!p->fertig && p->bloecke.size() >= MaxRueckstand) return false;
    return true;
  });
  for (const auto& p : m_pruefer)
    if (!p->fertig) p->bloecke.push_back(kopie);   // shared, not copied again
  m_zustand->signal.notify_all();
}

void SepaSchemastrom::Beenden() {
  std::lock_guard<std::mutex> halt(m_zustand->sperre);
  m_zustand->ende = true;
  m_zustand->signal.notify_all();
}

SepaSchemabefund SepaSchemastrom::Ergebnis() {
  Beenden();
  for (const auto& p : m_pruefer)
    if (p->faden.joinable()) p->faden.join();
  for (const auto& p : m_pruefer)
    if (!p->befund.Ok()) return p->befund;
  return {};
}

// ---- helpers ----------------------------------------------------------------------------------------------------

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

SepaSchemabefund Pruefen(QByteArrayView dokument, const SepaSchemaliste& schemas) {
  SepaSchemastrom strom(schemas);
  for (qsizetype i = 0; i < dokument.size(); i += Pruefblock) strom.Anhaengen(dokument.sliced(i, std::min(Pruefblock, dokument.size() - i)));
  return strom.Ergebnis();
}

QString Meldung(const QString& dateiname, const SepaSchemabefund& befund) {
  return QStringLiteral("Die Datei %1 entspricht nicht dem Schema der Bank (Zeile %2, Spalte %3):\r%4\r\r"
                        "Prüfschema: %5\r"
                        "Es wurde keine SEPA-Datei erstellt und keine Zahlung als erledigt gekennzeichnet.")
      .arg(dateiname)
      .arg(befund.zeile)
      .arg(befund.spalte)
      .arg(befund.text, befund.schema);
}

}  // namespace SepaSchemapruefung
