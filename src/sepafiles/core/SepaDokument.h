#pragma once

#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "zahlungsverkehr/Auftragspruefung.h"
#include "common/Dateifunktionen.h"
#include "zahlungsverkehr/Zahlungsauftrag.h"
#include "sepafiles/core/SepaAbsender.h"
#include "sepafiles/core/SepaAuftraege.h"
#include "sepafiles/core/SepaErgebnis.h"
#include "sepafiles/core/SepaOptionen.h"

// The SEPA documents of one run in the options' format (SepaFormat): credit transfers as one pain.001 file,
// direct debits as one pain.008 file with a payment block per mandate sequence type (OOFF, FRST, RCUR, FNAL)
// or, in split mode, one file per sequence type. Control sums are added exactly; a run whose sums do not fit
// the format's CtrlSum is refused. Planen decides the files (names, message ids, the orders and end-to-end
// ids of each) without writing; Schreiben then streams one file as UTF-8 in blocks, never holding it whole.
// Reads no database and writes no file itself.
class SepaDokument {
 public:
  class Waechter;
  // The files of a run over `auftraege`, orders judged already: by the selection's pre-check of this run,
  // or by `waechter`, whose refusal then comes after those of the clock, the reference and the sender's values.
  static SepaDokument Planen(std::shared_ptr<const SepaAuftraege> auftraege, const SepaAbsender& absender,
                             const SepaOptionen& optionen, const QString& referenz, const Waechter* waechter = nullptr);
  // Fehler, or the files planned (SepaDatei::Inhalt stays empty).
  const SepaErgebnis& Ergebnis() const { return m_ergebnis; }
  // Writes file `datei` of the plan to `ausgabe` in blocks of about 256 KiB; ends at its first failure.
  DateiFehler Schreiben(qsizetype datei, const std::function<DateiFehler(QByteArrayView)>& ausgabe) const;

  // Orders from elsewhere, into memory: the Waechter's judgement, then the files with their content.
  static SepaErgebnis Bauen(const QList<Zahlungsauftrag>& auftraege, const SepaAbsender& absender,
                            const SepaOptionen& optionen, const QString& referenz);

  // The writer's last guard over orders handed to it from elsewhere: a run with an order the shared rules
  // find fault with (Auftragspruefung, as a run), of another kind, or given twice, is refused whole. Orders
  // are passed one at a time; Meldung names the first refused one, empty when all pass.
  class Waechter {
   public:
    // `verlauf`: the last done collections of the orders' mandates (MandatverlaufLesen), for the history rule.
    explicit Waechter(const SepaOptionen& optionen, Mandatverlaeufe verlauf = {});
    void Pruefen(const Zahlungsauftrag& auftrag);
    QString Meldung() const;

   private:
    struct Einwand {
      qint64 zahlungNr = 0;
      bool doppelt = false;
      QStringList gruende;
    };
    const SepaOptionen& m_optionen;
    Auftragspruefung::Laufpruefung m_pruefung;
    QList<qint64> m_nummern;   // by position
    QSet<qint64> m_gesehen;
    QMap<qsizetype, Einwand> m_einwaende;
  };

  // "SEPAGK.XML", "SEPALKBasis.XML" or "SEPALKFirmen.XML".
  static QString Grunddateiname(SepaArt art);
  // The sender's remark and "_" when the option asks for it and the remark is not empty.
  static QString Dateipraefix(const SepaAbsender& absender, const SepaOptionen& optionen);
  // Every name a run of this kind may write: the plain name and, for direct debits, the four split
  // names (for clearing files of an earlier run in split mode).
  static QStringList MoeglicheDateinamen(const SepaAbsender& absender, const SepaOptionen& optionen);
  // "OOFF", "FRST", "RCUR", "FNAL" for 1-4 and 11-14, otherwise empty.
  static QString Sequenztyp(int mandatSequenz);
  // "Einmal.XML", "MehrfachErste.XML", "MehrfachFolge.XML", "MehrfachLetzte.XML".
  static QString Teilendung(int mandatSequenz);

 private:
  // A payment block: consecutive orders (positions in m_reihe) of one sequence type.
  struct Gruppe {
    int sequenz = 0;
    qsizetype von = 0;
    qsizetype bis = 0;
    Waehrung summe;
  };
  // What a file holds beyond its SepaDatei: its payment blocks (numbered from 1, rows counted on through them).
  struct Dateiinhalt {
    QList<Gruppe> gruppen;
  };

  std::shared_ptr<const SepaAuftraege> m_auftraege;
  QList<const SepaAuftraege::Auftrag*> m_reihe;   // in file order
  SepaOptionen m_optionen;
  QByteArray m_absenderName, m_absenderIban, m_absenderBic, m_glaeubigerId;
  QDate m_buchungsdatum;
  SepaErgebnis m_ergebnis;
  QList<Dateiinhalt> m_inhalte;
};
