#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "sepafiles/core/SepaFormat.h"

struct _xmlSchema;

// A bank schema (XSD), parsed once per process and path. libxml2 validates against a parsed schema without
// changing it, so the checks of several files share one.
class SepaSchema {
 public:
  // nullptr with `meldung` (German) when the file is missing, unreadable or not a schema.
  static std::shared_ptr<const SepaSchema> Laden(const QString& pfad, QString& meldung);
  ~SepaSchema();
  SepaSchema(const SepaSchema&) = delete;
  SepaSchema& operator=(const SepaSchema&) = delete;

  const QString& Name() const { return m_name; }   // the file name, e.g. "pain.001.001.09_GBIC_5.xsd"
  _xmlSchema* Roh() const { return m_schema; }

 private:
  SepaSchema(QString name, _xmlSchema* schema) : m_name(std::move(name)), m_schema(schema) {}
  QString m_name;
  _xmlSchema* m_schema;
};

using SepaSchemaliste = QList<std::shared_ptr<const SepaSchema>>;

// The first complaint of a check; none when `text` is empty.
struct SepaSchemabefund {
  QString schema;   // file name of the schema that complained
  int zeile = 0;
  int spalte = 0;
  QString text;     // libxml2's text (English), without the namespace names
  QStringList pfad; // the element complained at, with its ancestors from Document on (empty: the parser's complaint)
  int posten = -1;  // the transaction it lies in, counted in the file from 0; -1 outside every transaction
  bool Ok() const { return text.isEmpty(); }
};

// The order whose transaction a complaint lies in, as the run knows it.
struct SepaSchemaauftrag {
  qint64 zahlungNr = 0;
  QString name;
};

// One document checked against several schemas while it is being written: parsed once on a thread of its
// own, fed the document's blocks as they come, and each schema checked by `teile` checks on further threads,
// fed what the parse reports, each taking its share of the transactions; so the checks run beside the
// writing instead of after it. Anhaengen copies the block and returns at once unless the parse is some MiB
// behind; then it waits until it catches up (and the parse waits for the checks), so memory stays bounded.
// A check stops at its first complaint, or once another check of its schema complained earlier in the file.
class SepaSchemastrom {
 public:
  explicit SepaSchemastrom(const SepaSchemaliste& schemas, int teile = Teile());
  // Checks per schema for this machine (at least 1).
  static int Teile();
  ~SepaSchemastrom();   // an unfinished document is abandoned: the threads end
  SepaSchemastrom(const SepaSchemastrom&) = delete;
  SepaSchemastrom& operator=(const SepaSchemastrom&) = delete;

  void Anhaengen(QByteArrayView block);
  // The document is complete.
  void Beenden();
  // Waits for every check (ending the document first); the first complaint in the order of the schemas.
  SepaSchemabefund Ergebnis();

 private:
  struct Zustand;
  struct Pruefer;
  struct Zerleger;
  void Warten();
  std::shared_ptr<Zustand> m_zustand;
  int m_teile;
  std::unique_ptr<std::atomic<qint64>[]> m_fruehste;   // per schema: the earliest event a check complained at
  std::vector<std::unique_ptr<Pruefer>> m_pruefer;
  std::unique_ptr<Zerleger> m_zerleger;
};

namespace SepaSchemapruefung {

// The shipped schemas: the folder "xsd" of the program's resources; empty when no resources were found.
QString Ordner();
// The ISO and the DK schema of a message from `ordner`, in this order; empty with `meldung` (German) when one
// of them is missing or unreadable.
SepaSchemaliste Laden(SepaFormat format, bool lastschrift, const QString& ordner, QString& meldung);
// A complete document checked in one call, the same way.
SepaSchemabefund Pruefen(QByteArrayView dokument, const SepaSchemaliste& schemas, int teile = SepaSchemastrom::Teile());
// "Die Datei SEPAGK.XML entspricht nicht dem Schema der Bank (Zeile 1, Spalte 812):", then in German which order
// (`auftrag`, else the transaction's place in the file) and which field, and what is wrong with it for the usual
// complaints (too long, empty or missing, characters or form not allowed, value out of range); then libxml2's own
// text for support, and the schema.
QString Meldung(const QString& dateiname, const SepaSchemabefund& befund,
                const std::optional<SepaSchemaauftrag>& auftrag = std::nullopt);
// The complaint alone in German: "Zahlung Nr. 4 (Kunde Wagner), Feld \"Name\": zu lang (71 Zeichen, erlaubt
// sind höchstens 70)."
QString Erklaerung(const SepaSchemabefund& befund, const std::optional<SepaSchemaauftrag>& auftrag = std::nullopt);

}  // namespace SepaSchemapruefung
