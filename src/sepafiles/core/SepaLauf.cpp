#include "sepafiles/core/SepaLauf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <memory>
#include <thread>
#include <vector>

#include "common/Dateifunktionen.h"
#include "zahlungsverkehr/MandatverlaufLesen.h"
#include "common/SichereDateien.h"
#include "common/Textfunktionen.h"
#include "common/Uhr.h"
#include "platform/db/Wertumwandlung.h"
#include "sepafiles/core/SepaAuftragsleser.h"
#include "sepafiles/core/SepaDokument.h"
#include "sepafiles/core/SepaEinstellungen.h"
#include "sepafiles/core/SepaLaufSperre.h"
#include "sepafiles/core/SepaLaufVermerke.h"
#include "sepafiles/core/SepaSchemapruefung.h"
#include "sepafiles/core/SepaVorpruefung.h"

namespace {

QString InzwischenGeaendert(qsizetype anzahl) {
  return QStringLiteral("%1 der ausgewählten Zahlungen sind inzwischen erledigt, gelöscht oder geändert worden.\r"
                        "Bitte lassen Sie die Zahlungen neu auswählen.")
      .arg(anzahl);
}

QStringList Nachrichtenkennungen(const QList<SepaDatei>& dateien) {
  QStringList ids;
  for (const SepaDatei& datei : dateien) ids << datei.NachrichtenId;
  return ids;
}

QString MandatInzwischenEingezogen(qsizetype anzahl) {
  return (anzahl == 1 ? QStringLiteral("Ein Mandat der ausgewählten Zahlungen ist inzwischen eingezogen worden.")
                      : QStringLiteral("%1 Mandate der ausgewählten Zahlungen sind inzwischen eingezogen worden.").arg(anzahl)) +
         QStringLiteral("\rBitte lassen Sie die Zahlungen neu auswählen.");
}

// The orders a run writes, the data version they were read at and the earlier collections of their mandates
// they were judged by: another connection's commit since then shows in the version, and then they are read
// again and compared by their fingerprints, and their mandates' collections are read again.
struct Lesestand {
  qint64 datenVersion = 0;
  int absenderNr = 0;
  SepaArt art = SepaArt::Ueberweisung;
  std::shared_ptr<const SepaAuftraege> auftraege;
  Mandatverlaeufe verlauf;
};

// Why the run's orders can no longer be written as they were read, empty when they can: some are done,
// deleted, of another sender or kind, or have any value changed; or a mandate of theirs was collected since
// (another workstation's run between the reading and this one's lock). Reads again only when another
// connection committed meanwhile.
QString Geaendert(Datenbank& db, const Lesestand& stand, DbFehler& fehler) {
  const std::optional<Datenversion> version = db.DatenversionLesen(fehler);
  if (fehler || version->fremde == stand.datenVersion) return {};
  QHash<qint64, quint64> abdruecke;
  abdruecke.reserve(stand.auftraege->Anzahl());
  for (const SepaAuftraege::Auftrag& a : stand.auftraege->Liste()) abdruecke.insert(a.zahlungNr, a.fingerabdruck);
  qsizetype gleich = 0;
  const Bedingung lauf = SepaLauf::Laufbedingung(stand.absenderNr, stand.art, stand.auftraege->Nummern());
  fehler = SepaAuftragsleser::Lesen(db, lauf, [&](SepaAuftragsleser::Gelesen& g) {
    if (abdruecke.value(g.auftrag.ZahlungNr, 0) == SepaAuftragsleser::Fingerabdruck(g)) ++gleich;
  });
  if (fehler) return {};
  if (gleich < stand.auftraege->Anzahl()) return InzwischenGeaendert(stand.auftraege->Anzahl() - gleich);
  if (stand.art == SepaArt::Ueberweisung) return {};
  Mandatverlaeufe jetzt;
  if ((fehler = MandatverlaufLesen::ZuAuftraegen(db, stand.absenderNr, lauf, jetzt))) return {};
  qsizetype eingezogen = 0;
  for (auto it = jetzt.cbegin(); it != jetzt.cend(); ++it)
    if (stand.verlauf.value(it.key()) != it.value()) ++eingezogen;
  return eingezogen > 0 ? MandatInzwischenEingezogen(eingezogen) : QString();
}

// Marks the orders of the files done, one statement for all files of one booking date (the files of a run
// share it: a statement per file would go over the table's pages once per file). All of them or, when one
// is no longer open, none (and the first such order in file order is named).
DbFehler ErledigtSetzen(Datenbank& db, const QList<SepaDatei>& dateien, const QDate& erledigtDatum) {
  QList<QDate> buchungsdaten;   // in file order
  for (const SepaDatei& datei : dateien)
    if (!buchungsdaten.contains(datei.Buchungsdatum)) buchungsdaten << datei.Buchungsdatum;
  for (const QDate& buchungsdatum : buchungsdaten) {
    QList<qint64> nummern;
    for (const SepaDatei& datei : dateien)
      if (datei.Buchungsdatum == buchungsdatum) nummern += datei.ZahlungNummern;
    const Bedingung liste = Bedingung::InNummern(SqlText("ZahlungNr"), nummern);
    {
      Transaktion sicherung(db);   // a savepoint in the run's transaction
      if (sicherung.Fehler()) return sicherung.Fehler();
      int geaendert = 0;
      if (DbFehler f = db.Ausfuehren(SepaLauf::MarkierenSql(), QVariantList{erledigtDatum, buchungsdatum} + liste.parameter,
                                     &geaendert))
        return f;
      if (geaendert == nummern.size()) {
        if (DbFehler f = sicherung.Commit()) return f;
        continue;
      }
    }
    DbFehler f;
    const std::optional<QVariant> nr = db.Wert(
        SqlText("SELECT j.value FROM json_each(?) AS j WHERE NOT EXISTS (SELECT 1 FROM Zahlungen WHERE "
                "Zahlungen.ZahlungNr = j.value AND Zahlungen.Erledigt = 0) ORDER BY j.key LIMIT 1"),
        liste.parameter, f);
    if (f) return f;
    return {DbFehlerNr::KeineTreffer, QStringLiteral("Die Zahlung Nr. %1 ist bereits erledigt oder nicht mehr vorhanden.")
                                          .arg(nr.value_or(QVariant()).toLongLong())};
  }
  return {};
}

SepaLaufErgebnis Abbruch(SepaLaufErgebnis ergebnis, const QString& meldung, int nummer = 0,
                         const QString& beschreibung = {}) {
  ergebnis.DateiGeschrieben = false;
  ergebnis.Dateien.clear();
  ergebnis.Meldung = meldung;
  ergebnis.Fehlernummer = nummer;
  ergebnis.Fehlerbeschreibung = beschreibung;
  return ergebnis;
}

// One run, step by step. Each step returns false once the run has ended; the result then says why.
class Lauf {
 public:
  Lauf(Datenbank& db, const SepaLaufAnfrage& anfrage, const SepaLaufStoerung* stoerung)
      : m_db(db), m_anfrage(anfrage), m_stoerung(stoerung) {
    m_ergebnis.Fehlerhaft = anfrage.Fehlerhaft;
  }

  SepaLaufErgebnis Ausfuehren() {
    if (Vorbereiten() && AuftraegeBereitstellen() && Planen() && ZielPruefen() && Beginnen() && DateienUndMarken() &&
        Einsetzen())
      Abschliessen();
    return m_ergebnis;
  }

 private:
  bool Abbrechen(const QString& meldung, int nummer = 0, const QString& beschreibung = {}) {
    m_ergebnis = Abbruch(m_ergebnis, meldung, nummer, beschreibung);
    return false;
  }
  bool Fehler(const DbFehler& f) { return Abbrechen(SepaLauf::Fehlermeldung(f.Nummer, f.Beschreibung), f.Nummer, f.Beschreibung); }
  // A failure once the run is noted: nothing of it stays (a note that cannot be deleted is the next opening's).
  bool Verwerfen(int nummer, const QString& text) {
    m_dateien->Verwerfen();
    SepaLaufVermerke::Loeschen(m_db, m_lauf);
    return Abbrechen(SepaLauf::Fehlermeldung(nummer, text), nummer, text);
  }
  bool Verwerfen(const QString& meldung) {
    m_dateien->Verwerfen();
    SepaLaufVermerke::Loeschen(m_db, m_lauf);
    return Abbrechen(meldung);
  }
  void Schritt(SepaLaufSchritt s, int datei = -1) const {
    if (m_stoerung && m_stoerung->Schritt) m_stoerung->Schritt(s, datei);
  }

  // The sender, the create command's checks, the reference as it stands and the one clock reading.
  bool Vorbereiten() {
    if (m_anfrage.ZahlungNummern.isEmpty()) return Abbrechen(SepaLauf::KeineZahlungenMeldung());
    DbFehler f;
    const std::optional<SepaAbsender> absender = SepaLauf::AbsenderLesen(m_db, m_anfrage.AbsenderNr, f);
    if (!absender) return Fehler(f);
    m_absender = *absender;
    if (const QString meldung = SepaLauf::Vorpruefen(m_anfrage, m_absender); !meldung.isEmpty()) return Abbrechen(meldung);
    m_alteReferenz = m_db.Wert(SqlText("SELECT ReferenzNr FROM Absender WHERE AbsenderNr = ?"), {m_anfrage.AbsenderNr}, f)
                         .value_or(QVariant());
    if (f) return Fehler(f);
    m_optionen = m_anfrage.Optionen;
    if (!m_optionen.Zeitpunkt.isValid()) m_optionen.Zeitpunkt = Uhr::Jetzt();
    if (!m_optionen.Erstellungsdatum.isValid()) m_optionen.Erstellungsdatum = m_optionen.Zeitpunkt.date();
    m_aufgeteilt = m_optionen.IstLastschrift() && m_optionen.AufteilenNachMandatArt;
    // Without the bank's schemas no file can be checked, so none is written.
    QString meldung;
    m_schemas = SepaSchemapruefung::Laden(
        m_optionen.Format, m_optionen.IstLastschrift(),
        m_anfrage.SchemaOrdner.isEmpty() ? SepaSchemapruefung::Ordner() : m_anfrage.SchemaOrdner, meldung);
    if (m_schemas.isEmpty()) return Abbrechen(meldung);
    return true;
  }

  // The orders the selection checked, when nothing changed since and they are the ones asked for; else read
  // now and judged by the writer's guard.
  bool AuftraegeBereitstellen() {
    DbFehler f;
    const std::optional<Datenversion> version = m_db.DatenversionLesen(f);
    if (f) return Fehler(f);
    m_stand.datenVersion = version->fremde;
    m_stand.absenderNr = m_anfrage.AbsenderNr;
    m_stand.art = m_optionen.Art;
    const SepaGepruefteAuftraege* g = m_anfrage.Auftraege.get();
    if (g && g->Version == *version && g->AbsenderNr == m_anfrage.AbsenderNr && g->Art == m_optionen.Art &&
        g->Heute == m_optionen.Zeitpunkt.date() && g->Auftraege.Nummern() == m_anfrage.ZahlungNummern) {
      m_stand.auftraege = std::shared_ptr<const SepaAuftraege>(m_anfrage.Auftraege, &g->Auftraege);
      m_stand.verlauf = g->Verlauf;
      return true;
    }
    auto gelesen = std::make_shared<SepaAuftraege>();
    const Bedingung lauf = SepaLauf::Laufbedingung(m_anfrage.AbsenderNr, m_optionen.Art, m_anfrage.ZahlungNummern);
    Mandatverlaeufe verlauf;
    if (m_optionen.IstLastschrift())
      if ((f = MandatverlaufLesen::ZuAuftraegen(m_db, m_anfrage.AbsenderNr, lauf, verlauf))) return Fehler(f);
    m_stand.verlauf = verlauf;
    m_waechter = std::make_unique<SepaDokument::Waechter>(m_optionen, std::move(verlauf));
    f = SepaAuftragsleser::Lesen(m_db, lauf,
                                 [&](SepaAuftragsleser::Gelesen& g) {
                                   m_waechter->Pruefen(g.auftrag);
                                   g.roh.fingerabdruck = SepaAuftragsleser::Fingerabdruck(g);
                                   gelesen->Anhaengen(g.roh);
                                 });
    if (f) return Fehler(f);
    if (gelesen->Anzahl() != m_anfrage.ZahlungNummern.size())
      return Abbrechen(InzwischenGeaendert(m_anfrage.ZahlungNummern.size() - gelesen->Anzahl()));
    m_stand.auftraege = std::move(gelesen);
    return true;
  }

  // The files: names, message ids, their orders; a message id sent before from the sender's account stops the run.
  bool Planen() {
    m_dokument = SepaDokument::Planen(m_stand.auftraege, m_absender, m_optionen, m_anfrage.Referenz, m_waechter.get());
    if (!m_dokument.Ergebnis().Ok()) return Abbrechen(m_dokument.Ergebnis().Fehler);
    DbFehler f;
    const QStringList verwendet = SepaVorpruefung::VerwendeteReferenzen(
        m_db, m_absender.IBAN, Nachrichtenkennungen(m_dokument.Ergebnis().Dateien), f);
    if (f) return Fehler(f);
    if (!verwendet.isEmpty())
      return Abbrechen(SepaVorpruefung::VerwendeteReferenzMeldung(verwendet.first(), m_absender.IBAN));
    return true;
  }

  bool ZielPruefen() {
    // Absolute: the records of the run must lead back to the files from any working folder.
    m_ordner = m_anfrage.Zielordner.trimmed().isEmpty()
                   ? QString()
                   : BackslashAnhaengen(QDir::toNativeSeparators(QFileInfo(m_anfrage.Zielordner).absoluteFilePath()));
    int nummer = 0;
    QString beschreibung;
    if (!SepaLauf::Schreibtest(m_ordner, nummer, beschreibung))
      return Abbrechen(SepaLauf::Schreibtestmeldung(nummer, beschreibung), nummer, beschreibung);
    return true;
  }

  // One run at a time per database, on every workstation; the run noted before its first file.
  bool Beginnen() {
    m_sperre = std::make_unique<SepaLaufSperre>(m_db);
    if (!m_sperre->Erhalten()) return Abbrechen(SepaLaufSperre::BelegtMeldung());
    m_lauf = SepaLaufVermerke::NeueKennung();
    if (DbFehler f = SepaLaufVermerke::Beginnen(m_db, m_lauf, m_ordner)) return Fehler(f);
    Schritt(SepaLaufSchritt::VorDenDateien);
    m_dateien = std::make_unique<SichereDateien>(m_lauf, SepaLauf::TemporaereEndung());
    return true;
  }

  // The files and the marks side by side: a second thread streams every file completely under its temporary
  // name, and each block on to the checks against the bank's schemas (threads of their own), while this one
  // marks the orders in the run's open transaction; then this thread forces the files to disk (every sync of
  // the run happens here, where the kill tests find them), waits for the checks, notes the pending renames
  // and commits. Whatever fails first ends the run with nothing of it left (the file's failure is named when
  // both fail; a file the schemas refuse is named with the first complaint).
  bool DateienUndMarken() {
    const QList<SepaDatei>& dateien = m_dokument.Ergebnis().Dateien;
    // The test seams are asked here, on this thread.
    QList<DateiFehler> vorgegeben;
    for (const SepaDatei& datei : dateien) {
      m_ziele << QDir(m_ordner).filePath(datei.Dateiname);
      QString beschreibung;
      const int nummer =
          m_stoerung && m_stoerung->Schreiben
              ? m_stoerung->Schreiben(SichereDateien::TemporaererName(m_ziele.last(), m_lauf, SepaLauf::TemporaereEndung()),
                                      beschreibung)
              : 0;
      vorgegeben << (nummer ? DateiFehler{nummer, beschreibung} : DateiFehler{});
    }
    DateiFehler dateiFehler;
    DbFehler markFehler;
    {
      std::jthread schreiber([&](std::stop_token halt) { dateiFehler = DateienSchreiben(vorgegeben, halt); });
      QString beschreibung;
      const int nummer = m_stoerung && m_stoerung->Markieren ? m_stoerung->Markieren(beschreibung) : 0;
      markFehler = nummer ? DbFehler{nummer, beschreibung} : MarkenSetzen(schreiber, dateiFehler);
      if (markFehler) schreiber.request_stop();
    }
    m_stroeme.clear();   // what was not finished goes
    m_pruefungen.clear();
    if (dateiFehler) return Verwerfen(dateiFehler.Nummer, dateiFehler.Beschreibung);
    if (!m_schemaMeldung.isEmpty()) return Verwerfen(m_schemaMeldung);
    if (markFehler) return Verwerfen(markFehler.Nummer, markFehler.Beschreibung);
    Schritt(SepaLaufSchritt::NachDerMarkierung);
    return true;
  }

  // On the writing thread: each file in turn, complete but not yet synced, every block also handed to the
  // file's check. Stopped between blocks when the marks failed (the failure of the run is then theirs).
  DateiFehler DateienSchreiben(const QList<DateiFehler>& vorgegeben, const std::stop_token& halt) {
    QByteArray verfaelscht;
    for (qsizetype i = 0; i < m_ziele.size(); ++i) {
      DateiFehler f = vorgegeben.at(i);
      if (f) return f;
      std::unique_ptr<SichereDateien::Strom> strom = m_dateien->Oeffnen(m_ziele.at(i), f);
      if (!strom) return f;
      m_pruefungen.push_back(std::make_unique<SepaSchemastrom>(m_schemas));
      SepaSchemastrom& pruefung = *m_pruefungen.back();
      f = m_dokument.Schreiben(i, [&](QByteArrayView block) {
        if (halt.stop_requested()) return DateiFehler{DateiFehlerNr::ZugriffsFehler, {}};
        if (m_stoerung && m_stoerung->Verfaelschen) {
          verfaelscht = block.toByteArray();
          m_stoerung->Verfaelschen(int(i), verfaelscht);
          block = verfaelscht;
        }
        pruefung.Anhaengen(block);
        return strom->Anhaengen(block);
      });
      pruefung.Beenden();
      if (halt.stop_requested()) return {};
      if (f) return f;
      m_stroeme.push_back(std::move(strom));
    }
    return {};
  }

  // Every file's check, in file order; the first refusal becomes the run's message.
  bool DateienGeprueft() {
    const QList<SepaDatei>& dateien = m_dokument.Ergebnis().Dateien;
    for (size_t i = 0; i < m_pruefungen.size(); ++i) {
      const SepaSchemabefund befund = m_pruefungen.at(i)->Ergebnis();
      if (!befund.Ok() && m_schemaMeldung.isEmpty())
        m_schemaMeldung = SepaSchemapruefung::Meldung(dateien.at(qsizetype(i)).Dateiname, befund,
                                                      Auftrag(dateien.at(qsizetype(i)), befund.posten));
    }
    return m_schemaMeldung.isEmpty();
  }

  // The order of a file's transaction (counted from 0), to name it to the user.
  std::optional<SepaSchemaauftrag> Auftrag(const SepaDatei& datei, int posten) const {
    if (posten < 0 || posten >= datei.ZahlungNummern.size()) return std::nullopt;
    SepaSchemaauftrag auftrag{datei.ZahlungNummern.at(posten), {}};
    for (const SepaAuftraege::Auftrag& a : m_stand.auftraege->Liste())
      if (a.zahlungNr == auftrag.zahlungNr) {
        const QByteArrayView name = SepaAuftraege::Text(a, SepaAuftraege::Name);
        auftrag.name = QString::fromUtf8(name.data(), name.size());
        break;
      }
    return auftrag;
  }

  // Marks, reference and message ids in the run's transaction once the orders are known to be as they were
  // read; then, with every file complete and synced, the pending renames, and the commit.
  DbFehler MarkenSetzen(std::jthread& schreiber, DateiFehler& dateiFehler) {
    const QList<SepaDatei>& dateien = m_dokument.Ergebnis().Dateien;
    Transaktion transaktion(m_db);
    if (transaktion.Fehler()) return transaktion.Fehler();
    DbFehler f;
    if (const QString geaendert = Geaendert(m_db, m_stand, f); f || !geaendert.isEmpty())
      return f ? f : DbFehler{DbFehlerNr::KeineTreffer, geaendert};
    // The files carry the sender as read before: changed since (another workstation), they would pay from or
    // collect to an account or creditor identifier that is no longer the sender's.
    const std::optional<SepaAbsender> absender = SepaLauf::AbsenderLesen(m_db, m_anfrage.AbsenderNr, f);
    if (!absender) return f;
    if (!(*absender == m_absender))
      return {DbFehlerNr::KeineTreffer,
              QStringLiteral("Die Absender-Angaben (Name, IBAN, BIC, Gläubiger-ID oder Bemerkung) sind inzwischen "
                             "geändert worden.\rBitte lassen Sie die Zahlungen neu auswählen.")};
    // Checked again under the lock: another workstation's run may have sent the message id since the planning.
    const QStringList verwendet =
        SepaVorpruefung::VerwendeteReferenzen(m_db, m_absender.IBAN, Nachrichtenkennungen(dateien), f);
    if (f) return f;
    if (!verwendet.isEmpty())
      return {DbFehlerNr::KeineTreffer, SepaVorpruefung::VerwendeteReferenzMeldung(verwendet.first(), m_absender.IBAN)};
    if ((f = SepaVorpruefung::ReferenzenMerken(m_db, m_anfrage.AbsenderNr, m_absender.IBAN,
                                               Nachrichtenkennungen(dateien), m_optionen.Erstellungsdatum)))
      return f;
    if ((f = ErledigtSetzen(m_db, dateien, m_optionen.Erstellungsdatum))) return f;
    m_referenz = m_aufgeteilt ? m_dokument.Ergebnis().Referenz : m_anfrage.Referenz;
    m_naechste = NummerErhoehen(QVariant(m_referenz), false).toString();
    int geaendert = 0;
    if ((f = m_db.Ausfuehren(SqlText("UPDATE Absender SET ReferenzNr = ? WHERE AbsenderNr = ?"),
                             {m_naechste, m_anfrage.AbsenderNr}, &geaendert)))
      return f;
    if (geaendert != 1)
      return {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender Nr. %1 ist nicht mehr vorhanden.").arg(m_anfrage.AbsenderNr)};

    // The caller names a file's failure; the transaction rolls back.
    schreiber.join();
    if (dateiFehler) return {};
    for (const std::unique_ptr<SichereDateien::Strom>& strom : m_stroeme)
      if ((dateiFehler = strom->Beenden())) return {};
    // A file the bank's schemas refuse: nothing is committed (the caller names it).
    if (!DateienGeprueft()) return {DbFehlerNr::KeineTreffer, m_schemaMeldung};
    Schritt(SepaLaufSchritt::NachDenDateien);
    Nachlaufplanen();
    if ((f = SepaLaufVermerke::Vormerken(m_db, m_lauf, m_vermerke))) return f;
    return transaktion.Commit();
  }

  // What the files leave behind them, decided now and done once they are in place: a split run clears the
  // split files of an earlier run that it does not write, so no stale sequence file goes to the bank beside
  // the new ones; the plain file of the kind is never deleted, only named. Archive copies come last.
  void Nachlaufplanen() {
    const QList<SepaDatei>& dateien = m_dokument.Ergebnis().Dateien;
    for (qsizetype i = 0; i < m_dateien->Dateien().size(); ++i) {
      const SichereDateien::Datei& d = m_dateien->Dateien().at(i);
      m_vermerke << SepaLaufVermerke::Eintrag{QLatin1Char('U'), m_ordner, d.temporaer, d.ziel, d.groesse, d.pruefsumme,
                                             dateien.at(i).ZahlungNummern, m_optionen.Erstellungsdatum,
                                             dateien.at(i).Buchungsdatum};
    }
    const QString grundname = SepaDokument::Dateipraefix(m_absender, m_optionen) + SepaDokument::Grunddateiname(m_optionen.Art);
    for (const QString& name : SepaDokument::MoeglicheDateinamen(m_absender, m_optionen)) {
      const QString pfad = QDir(m_ordner).filePath(name);
      if (m_ziele.contains(pfad) || !QFileInfo::exists(pfad)) continue;
      if (m_aufgeteilt && name != grundname)
        m_vermerke << SepaLaufVermerke::Eintrag{QLatin1Char('L'), m_ordner, {}, pfad, 0, {}, {}};
      else
        m_ergebnis.AndereDateien << QDir::toNativeSeparators(pfad);
    }
    if (m_anfrage.ArchivSpeichern) {
      const QString archiv = BackslashAnhaengen(m_ordner + QStringLiteral("Archiv"));
      for (qsizetype i = 0; i < m_ziele.size(); ++i) {
        QString name = dateien.at(i).Dateiname;
        if (name.endsWith(QLatin1String(".XML"), Qt::CaseInsensitive)) name.chop(4);
        // A run in the same second must not replace the copy of another: it may be the only one left.
        const QString stamm = archiv + name + m_optionen.Zeitpunkt.toString(QStringLiteral("yyyyMMddHHmmss"));
        QString pfad = stamm + QStringLiteral(".XML");
        for (int n = 2; QFileInfo::exists(pfad) || m_archivPfade.contains(pfad); ++n)
          pfad = stamm + QLatin1Char('_') + QString::number(n) + QStringLiteral(".XML");
        m_archivPfade << pfad;
        m_vermerke << SepaLaufVermerke::Eintrag{QLatin1Char('K'), m_ordner, m_ziele.at(i), m_archivPfade.last(), 0, {}, {}};
      }
    }
  }

  // Into place, then the folder synced. A failure puts everything back: the files first (a crash meanwhile
  // finds complete temporaries with their records and finishes the run), then marks and reference.
  bool Einsetzen() {
    DateiFehler platz;
    for (qsizetype i = 0; i < m_dateien->Dateien().size() && !platz; ++i) {
      const SichereDateien::Datei& d = m_dateien->Dateien().at(i);
      QString beschreibung;
      const int nummer =
          m_stoerung && m_stoerung->Umbenennen ? m_stoerung->Umbenennen(d.temporaer, d.ziel, beschreibung) : 0;
      platz = nummer ? DateiFehler{nummer, beschreibung} : m_dateien->Einsetzen(i);
      if (!platz) Schritt(SepaLaufSchritt::NachDemUmbenennen, int(i));
    }
    if (!platz) platz = m_dateien->OrdnerSynchronisieren();
    if (!platz) return true;

    QString meldung = SepaLauf::Fehlermeldung(platz.Nummer, platz.Beschreibung);
    const QStringList probleme = m_dateien->Zuruecknehmen();
    if (!probleme.isEmpty()) {
      m_dateien->Loslassen();
      meldung += QStringLiteral("\r\rACHTUNG: Die Zahlungen sind als erledigt gekennzeichnet. Die Dateien konnten nicht "
                                "zurückgenommen werden:\r") +
                 probleme.join(QLatin1Char('\r')) +
                 QStringLiteral("\rDer Lauf wird beim nächsten Öffnen des Fensters fertiggestellt.");
    } else if (DbFehler r = MarkierungZuruecknehmen()) {
      m_dateien->Loslassen();
      meldung += QStringLiteral("\r\rACHTUNG: Die Zahlungen dieses Laufs konnten nicht wieder als offen gekennzeichnet "
                                "werden.\rNr: ") +
                 QString::number(r.Nummer) + QStringLiteral("\rBeschreibung: ") + r.Beschreibung +
                 QStringLiteral("\rDer Lauf wird beim nächsten Öffnen des Fensters fertiggestellt.");
    } else {
      m_dateien->Verwerfen();
      meldung += QStringLiteral("\r\rDie Zahlungen bleiben offen, die Referenz ist unverändert.");
    }
    return Abbrechen(meldung, platz.Nummer, platz.Beschreibung);
  }

  DbFehler MarkierungZuruecknehmen() {
    const QList<SepaDatei>& dateien = m_dokument.Ergebnis().Dateien;
    Transaktion transaktion(m_db);
    if (transaktion.Fehler()) return transaktion.Fehler();
    if (DbFehler f = SepaLaufVermerke::Loeschen(m_db, m_lauf)) return f;
    QList<qint64> nummern;
    for (const SepaDatei& datei : dateien) nummern += datei.ZahlungNummern;
    if (DbFehler f = m_db.Ausfuehren(SepaLauf::ZuruecknehmenSql(),
                                     Bedingung::InNummern(SqlText("ZahlungNr"), nummern).parameter))
      return f;
    if (DbFehler f = m_db.Ausfuehren(SqlText("UPDATE Absender SET ReferenzNr = ? WHERE AbsenderNr = ?"),
                                     {m_alteReferenz, m_anfrage.AbsenderNr}))
      return f;
    // The account the run noted its ids for, whatever the sender record says by now.
    if (DbFehler f = SepaVorpruefung::ReferenzenVergessen(m_db, m_absender.IBAN, Nachrichtenkennungen(dateien)))
      return f;
    return transaktion.Commit();
  }

  // Stale split files out, archive copies in (a failure here does not undo the run), the records cleared and
  // the result put together.
  void Abschliessen() {
    for (const SepaLaufVermerke::Eintrag& v : m_vermerke)
      if (v.art == QLatin1Char('L') && !QFile::remove(v.ziel))
        m_ergebnis.Warnungen << QStringLiteral("Die SEPA-Datei eines früheren Laufs konnte nicht gelöscht werden: ") +
                                    QDir::toNativeSeparators(v.ziel);
    Archivieren();
    // The run is complete: its records go (should that fail, the next opening finds the files in place).
    if (DbFehler f = SepaLaufVermerke::Loeschen(m_db, m_lauf))
      m_ergebnis.Warnungen << QStringLiteral("Die Vermerke des Laufs konnten nicht gelöscht werden; das geschieht beim "
                                             "nächsten Öffnen.\r") +
                                  f.Meldungstext();
    Schritt(SepaLaufSchritt::NachDemAufraeumen);
    for (const QString& pfad : m_dateien->Abschliessen())
      m_ergebnis.Warnungen << QStringLiteral("Die alte Datei konnte nicht gelöscht werden: ") + pfad;
    Ergebnis();
  }

  void Archivieren() {
    if (m_archivPfade.isEmpty()) return;
    const QString archiv = QFileInfo(m_archivPfade.first()).absolutePath();
    if (!QDir().mkpath(archiv)) {
      m_ergebnis.Warnungen << QStringLiteral("Der Archiv-Ordner kann nicht angelegt werden: ") +
                                  BackslashAnhaengen(QDir::toNativeSeparators(archiv));
      return;
    }
    for (qsizetype i = 0; i < m_archivPfade.size(); ++i) {
      const QString& pfad = m_archivPfade.at(i);
      QString text;
      int n = m_stoerung && m_stoerung->Archivieren ? m_stoerung->Archivieren(pfad, text) : 0;
      if (n == 0) {
        const DateiFehler f = SichereDateien::Kopieren(m_ziele.at(i), pfad);
        n = f.Nummer;
        text = f.Beschreibung;
      }
      if (n == 0)
        m_ergebnis.Archivdateien << QDir::toNativeSeparators(pfad);
      else
        m_ergebnis.Warnungen << QStringLiteral("Die Archiv-Kopie %1 konnte nicht geschrieben werden.\rFehler: %2\r"
                                               "Beschreibung: %3")
                                    .arg(QDir::toNativeSeparators(pfad))
                                    .arg(n)
                                    .arg(text);
    }
  }

  void Ergebnis() {
    const SepaErgebnis& dokument = m_dokument.Ergebnis();
    SepaLaufErgebnis& e = m_ergebnis;
    e.DateiGeschrieben = true;
    for (const QString& z : m_ziele) e.Dateien << QDir::toNativeSeparators(z);
    e.Lastschriften = m_optionen.IstLastschrift();
    for (const SepaDatei& datei : dokument.Dateien) {
      e.NachrichtenIds << datei.NachrichtenId;
      e.Buchungsdaten << datei.Buchungsdatum;
      e.Anzahl += int(datei.ZahlungNummern.size());
      e.ZahlungNummern += datei.ZahlungNummern;
      e.EndToEndIds += datei.EndToEndIds;
    }
    e.Referenz = m_referenz;
    e.NaechsteReferenz = m_naechste;
    if (dokument.Ausfuehrungsdatum.isValid()) e.Ausfuehrungsdatum = dokument.Ausfuehrungsdatum;
    if (!dokument.PdfDateiname.isEmpty()) {
      e.PdfDateiname = dokument.PdfDateiname;
      e.PdfPfad = m_ordner;
    }
    // Files in the format the banks no longer take are not called ready for the bank.
    const bool alt = SepaFormate::VonBankenAbgelehnt(m_optionen.Format, m_optionen.Zeitpunkt.date());
    if (m_aufgeteilt) {
      QString liste;
      for (const QString& pfad : e.Dateien) liste += pfad + QStringLiteral("\r\n");
      e.Meldung = alt ? SepaFormate::AltesFormatErstellt(m_optionen.Format, e.Lastschriften, true) +
                            QStringLiteral("\r\r") + liste + QStringLiteral("\r") + SepaFormate::AltesFormatWarnung()
                      : QStringLiteral("Diese SEPA-Dateien wurden erstellt und können\ran Ihre Bank übermittelt werden:\r\r") +
                            liste;
      e.Statustext = QStringLiteral("SEPA-Dateien wurden erstellt im Ordner: ") + m_ordner;
    } else {
      e.Meldung = alt ? SepaFormate::AltesFormatErstellt(m_optionen.Format, e.Lastschriften, false) +
                            QStringLiteral("\r\r") + e.Dateien.first() + QStringLiteral("\r\r") +
                            SepaFormate::AltesFormatWarnung()
                      : QStringLiteral("Diese SEPA-Datei wurde erstellt und kann\ran Ihre Bank übermittelt werden:\r\r") +
                            e.Dateien.first();
      e.Statustext = QStringLiteral("SEPA-Datei wurde erstellt: ") + dokument.Dateien.first().Dateiname;
    }
  }

  Datenbank& m_db;
  const SepaLaufAnfrage& m_anfrage;
  const SepaLaufStoerung* m_stoerung;
  SepaLaufErgebnis m_ergebnis;
  SepaAbsender m_absender;
  QVariant m_alteReferenz;
  SepaOptionen m_optionen;
  Lesestand m_stand;
  std::unique_ptr<SepaDokument::Waechter> m_waechter;   // orders not checked by this run's selection
  SepaDokument m_dokument;
  QString m_ordner;
  std::unique_ptr<SepaLaufSperre> m_sperre;
  QString m_lauf;
  std::unique_ptr<SichereDateien> m_dateien;
  std::vector<std::unique_ptr<SichereDateien::Strom>> m_stroeme;   // written, until synced
  SepaSchemaliste m_schemas;                                        // ISO and DK schema of the run's format
  std::vector<std::unique_ptr<SepaSchemastrom>> m_pruefungen;       // one per file written
  QString m_schemaMeldung;                                          // a file the schemas refused
  QStringList m_ziele;
  bool m_aufgeteilt = false;
  QList<SepaLaufVermerke::Eintrag> m_vermerke;
  QStringList m_archivPfade;
  QString m_referenz;
  QString m_naechste;
};

}  // namespace

QString SepaLauf::KeineZahlungenMeldung() {
  return QStringLiteral("Es sind keine Zahlungen vorhanden, die in eine SEPA-Datei geschrieben werden können.");
}

QString SepaLauf::Schreibtestmeldung(int nummer, const QString& beschreibung) {
  return QStringLiteral(
             "Die SEPA-Datei konnte für einen Schreibtest nicht erstellt werden.\r"
             "Die Bearbeitung wird daher abgebrochen. Bitte stellen Sie zuerst ein\r"
             "schreibbereites Laufwerk/Verzeichnis ein, in dem die SEPA-Datei\r"
             "erstellt werden kann. Gehen Sie dazu bitte oben auf 'Auswählen'.\r"
             "\r"
             "Fehler: ") +
         QString::number(nummer) + QStringLiteral("\rBeschreibung: ") + beschreibung;
}

QString SepaLauf::Fehlermeldung(int nummer, const QString& beschreibung) {
  return QStringLiteral("Die SEPA-Datei(en) konnte(n) wegen Fehler nicht erstellt werden.\rFehler: ") +
         QString::number(nummer) + QStringLiteral("\rBeschreibung: ") + beschreibung;
}

QString SepaLauf::Vorpruefen(const SepaLaufAnfrage& anfrage, const SepaAbsender& absender) {
  if (QString m = SepaVorpruefung::ReferenzMeldung(anfrage.Referenz); !m.isEmpty()) return m;
  if (!anfrage.Optionen.IstLastschrift()) {
    const QDate erstellt = anfrage.Optionen.Erstellungsdatum.isValid() ? anfrage.Optionen.Erstellungsdatum
                                                                       : anfrage.Optionen.Zeitpunkt.date();
    return SepaVorpruefung::AusfuehrungsdatumMeldung(anfrage.Optionen.Ausfuehrungsdatum, erstellt);
  }
  if (QString m = SepaEinstellungen::FaelligkeitstageMeldung(anfrage.Optionen.Vorlauftage); !m.isEmpty()) return m;
  return SepaVorpruefung::GlaeubigerIdMeldung(absender.GlaeubigerID);
}

std::optional<SepaAbsender> SepaLauf::AbsenderLesen(Datenbank& db, int absenderNr, DbFehler& fehler) {
  std::optional<SepaAbsender> absender;
  fehler = db.Abfragen(SqlText("SELECT Name, IBAN, BIC, \"GläubigerID\", Bemerkung FROM Absender WHERE AbsenderNr = ?"),
                       {absenderNr}, [&](const Zeile& z) {
                         SepaAbsender a;
                         a.Name = TextAusWert(z.Wert(0));
                         a.IBAN = TextAusWert(z.Wert(1));
                         a.BIC = TextAusWert(z.Wert(2));
                         a.GlaeubigerID = TextAusWert(z.Wert(3));
                         a.Bemerkung = TextAusWert(z.Wert(4));
                         absender = a;
                         return false;
                       });
  if (fehler) return std::nullopt;
  if (!absender) fehler = {DbFehlerNr::KeineTreffer, QStringLiteral("Der Absender Nr. %1 ist nicht vorhanden.").arg(absenderNr)};
  return absender;
}

Bedingung SepaLauf::Laufbedingung(int absenderNr, SepaArt art, const QList<qint64>& nummern) {
  return Bedingung::InNummern(SqlText("Zahlungen.ZahlungNr"), nummern)
      .Und(Bedingung(SqlText("Zahlungen.AbsenderNr = ? AND Zahlungen.Art = ? AND Zahlungen.Erledigt = 0"),
                     {absenderNr, art == SepaArt::Ueberweisung ? QStringLiteral("G") : QStringLiteral("L")}));
}

SqlText SepaLauf::MarkierenSql() {
  return SqlText("UPDATE Zahlungen SET Erledigt = 1, ErledigtDatum = ?, Buchungsdatum = ? WHERE ZahlungNr IN "
                 "(SELECT value FROM json_each(?)) AND Erledigt = 0");
}

SqlText SepaLauf::ZuruecknehmenSql() {
  return SqlText("UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL WHERE ZahlungNr IN "
                 "(SELECT value FROM json_each(?)) AND Erledigt = 1");
}

bool SepaLauf::Schreibtest(const QString& ordner, int& nummer, QString& beschreibung) {
  nummer = 0;
  beschreibung.clear();
  // Without the trailing separator: a file of that name is then seen as a file, not as missing.
  const QString pfad = ordner.isEmpty() ? QString() : QDir::cleanPath(QDir::fromNativeSeparators(ordner));
  const QFileInfo info(pfad);
  DateiFehler f;
  if (pfad.isEmpty() || !info.exists())
    f = DateiFehlerAusSystem(ENOENT, ordner);
  else if (!info.isDir())
    f = DateiFehlerAusSystem(ENOTDIR, pfad);
  else {
    const QString probe = QDir(ordner).filePath(QStringLiteral("Schreibtest.") + SepaLaufVermerke::NeueKennung() +
                                                TemporaereEndung());
    f = SichereDateien::NeuSchreiben(probe, QByteArrayLiteral("Test"));
    if (!f && !QFile::remove(probe))
      f = {DateiFehlerNr::ZugriffsFehler,
           QStringLiteral("Die Testdatei kann nicht gelöscht werden: ") + QDir::toNativeSeparators(probe)};
  }
  nummer = f.Nummer;
  beschreibung = f.Beschreibung;
  return f.Ok();
}

QStringList SepaLauf::Restdateien(const QString& ordner) {
  QStringList pfade;
  const QDir dir(ordner);
  if (ordner.isEmpty() || !dir.exists()) return pfade;
  const QFileInfoList liste =
      dir.entryInfoList({QLatin1Char('*') + TemporaereEndung()}, QDir::Files | QDir::Hidden, QDir::Name);
  for (const QFileInfo& info : liste) pfade << QDir::toNativeSeparators(info.absoluteFilePath());
  return pfade;
}

SepaLaufErgebnis SepaLauf::Ausfuehren(Datenbank& db, const SepaLaufAnfrage& anfrage, const SepaLaufStoerung* stoerung) {
  return Lauf(db, anfrage, stoerung).Ausfuehren();
}
