#include "masterdata/AdressenImport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>

#include "common/Programmzustand.h"
#include "iban/BankleitzahlTabelle.h"
#include "iban/IBANKonvertieren.h"
#include "masterdata/FormAdressen.h"
#include "masterdata/core/AdressenUebernahme.h"
#include "masterdata/core/IbanRecordsetDatensaetze.h"
#include "platform/db/Recordset.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/Dateidialog.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/Werkzeugleiste.h"

namespace {

bool s_laeuft = false;

AdressenImport::DateiAuswahl& Auswahl() {
  static AdressenImport::DateiAuswahl a;
  return a;
}

QString DateiWaehlen(QWidget* eltern, const QString& vorgabe) {
  if (Auswahl()) return Auswahl()(eltern, vorgabe);
  return Dateidialog::DateiOeffnen(eltern, QStringLiteral("Tamo-Varix-Datenbank auswählen"), vorgabe,
                                   QStringLiteral("Tamo-Varix-Datenbank (*.db *.mdb *.sqlite);;Alle Dateien (*)"),
                                   Zustand().DatenVerzeichnis())
      .value_or(QString());
}

// Only repaints and timers, never the user's input: the run cannot be disturbed or started twice.
void NachrichtenVerarbeiten() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// The window must not close (and delete its recordset) while the import works on it.
class Schliesssperre : public QObject {
 public:
  explicit Schliesssperre(QWidget* fenster) : m_fenster(fenster) {
    if (m_fenster) m_fenster->installEventFilter(this);
    s_laeuft = true;
  }
  ~Schliesssperre() override {
    if (m_fenster) m_fenster->removeEventFilter(this);
    s_laeuft = false;
  }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == m_fenster && e->type() == QEvent::Close) {
      e->ignore();
      return true;
    }
    return false;
  }

 private:
  QWidget* m_fenster;
};

class Sanduhr {
 public:
  Sanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~Sanduhr() { Aus(); }
  void Aus() {
    if (m_an) QApplication::restoreOverrideCursor();
    m_an = false;
  }

 private:
  bool m_an = true;
};

bool ViewNeuLaden(Recordset& adressen, const std::function<bool()>& neuLaden, QWidget* fenster) {
  const bool ok = neuLaden ? neuLaden() : adressen.Requery().Ok();
  if (!ok) {
    QStringList z{QStringLiteral("Fehler bei der Datenermittlung!")};
    if (const DbFehler f = adressen.LetzterFehler(); f) z << QString() << f.Meldungstext();
    Meldung::Fehler(Meldung::Zeilen(z), {}, fenster);
  }
  return ok;
}

}  // namespace

void AdressenImport::DateiAuswahlSetzen(DateiAuswahl auswahl) { Auswahl() = std::move(auswahl); }

bool AdressenImport::Laeuft() { return s_laeuft; }

bool AdressenImport::Ausfuehren(QWidget* fenster, Recordset& adressen, StatusLeiste* status,
                                const std::function<bool()>& neuLaden) {
  if (s_laeuft) return false;
  Schliesssperre sperre(fenster);
  Datenbank* db = Zustand().Datenbank();
  if (!db) {
    Meldung::Fehler(QStringLiteral("Es ist keine Datenbank geöffnet."), {}, fenster);
    return false;
  }
  if (const QString fehlend = IbanRecordsetDatensaetze::FehlendeFelder(adressen); !fehlend.isEmpty()) {
    Meldung::Fehler(QStringLiteral("Den Adressen fehlen die Felder %1; die IBAN-Konvertierung ist nicht möglich.")
                        .arg(fehlend),
                    {}, fenster);
    return false;
  }

  const QString quelle = DateiWaehlen(fenster, AdressenUebernahme::GemerkteDatei());
  if (quelle.isEmpty()) return false;
  AdressenUebernahme::DateiMerken(quelle);

  AdressenUebernahmeErgebnis uebernahme;
  {
    Sanduhr sanduhr;
    uebernahme = AdressenUebernahme::Uebernehmen(*db, quelle);
  }
  if (!uebernahme.Ok) {
    Meldung::Fehler(uebernahme.Meldung, {}, fenster);
    return false;
  }
  Meldung::Hinweis(uebernahme.Zusammenfassung(), {}, fenster);
  // The run covers the whole view, the new addresses included.
  if (uebernahme.Neu > 0 && !ViewNeuLaden(adressen, neuLaden, fenster)) return false;

  // What the take-over added stays, whatever the conversion does.
  const QString uebernommen =
      uebernahme.Neu == 1 ? QStringLiteral("Die aus Tamo-Varix übernommene Adresse bleibt gespeichert.")
      : uebernahme.Neu > 1 ? QStringLiteral("Die %1 aus Tamo-Varix übernommenen Adressen bleiben gespeichert.").arg(uebernahme.Neu)
                           : QString();
  return Konvertieren(fenster, adressen, status, neuLaden, uebernommen);
}

bool AdressenImport::Konvertieren(QWidget* fenster, Recordset& adressen, StatusLeiste* status,
                                  const std::function<bool()>& neuLaden, const QString& vorher) {
  const auto statusText = [status](const QString& text) {
    if (status) status->TextSetzen(text);
    NachrichtenVerarbeiten();
  };
  int prozent = -1;
  QElapsedTimer gemalt;
  IbanKonvertierRueckmeldung rueckmeldung;
  rueckmeldung.Status = statusText;
  rueckmeldung.Fortschritt = [status, &prozent, &gemalt](qint64 erledigt, qint64 gesamt) {
    const int neu = gesamt > 0 ? static_cast<int>(erledigt * 100 / gesamt) : 100;
    if (!status || neu == prozent) return;
    prozent = neu;
    status->FortschrittSetzen(neu);
    // painted at once (no event loop inside the record loop), though not more often than the eye follows
    if (gemalt.isValid() && !gemalt.hasExpired(40)) return;
    gemalt.start();
    status->repaint();
  };

  BankleitzahlTabelle tabelle;
  IbanRecordsetDatensaetze daten(adressen);
  Sanduhr sanduhr;
  const QString blzDatei = QDir(Zustand().ProgrammVerzeichnis()).filePath(BankleitzahlTabelle::DateiName());
  const IbanKonvertierErgebnis lauf = IBANKonvertieren(blzDatei, tabelle, daten, rueckmeldung);
  tabelle.Leeren();
  if (status) status->FortschrittSetzen(std::nullopt);
  sanduhr.Aus();
  NachrichtenVerarbeiten();

  if (lauf.Ok && !lauf.Hinweis.isEmpty())
    Meldung::Zeigen(lauf.Hinweis, MeldungsKnoepfe::Ok, MeldungsSymbol::Ausruf, {}, fenster);
  if (lauf.Ok) Meldung::Hinweis(lauf.Zusammenfassung(), {}, fenster);
  if (!lauf.Ok) {
    QString text = lauf.Meldung;
    if (!vorher.isEmpty()) text += QStringLiteral("\r\r") + vorher;
    if (const DbFehler& f = daten.VerwerfenFehler(); f)
      text += QStringLiteral("\r\rDie Zurücknahme meldete einen Fehler:\r") + f.Meldungstext();
    Meldung::Fehler(text, {}, fenster);
  }
  ViewNeuLaden(adressen, neuLaden, fenster);
  return lauf.Ok;
}


bool AdressenImport::Ausfuehren(FormAdressen& fenster) {
  Recordset* adressen = fenster.Daten();
  if (!adressen || s_laeuft) return false;
  DatenGitter* gitter = fenster.Gitter();
  Werkzeugleiste* leiste = fenster.Leiste();
  const bool aktiv = leiste->Aktiviert(QStringLiteral("Import"));
  leiste->AktiviertSetzen(QStringLiteral("Import"), false);
  const bool ok = Ausfuehren(&fenster, *adressen, fenster.findChild<StatusLeiste*>(),
                             [gitter] { return gitter->FilterAnwenden(); });
  leiste->AktiviertSetzen(QStringLiteral("Import"), aktiv);
  return ok;
}

bool AdressenImport::Konvertieren(FormAdressen& fenster) {
  Recordset* adressen = fenster.Daten();
  if (!adressen || s_laeuft) return false;
  Datenbank* db = Zustand().Datenbank();
  if (!db) return false;
  if (const QString fehlend = IbanRecordsetDatensaetze::FehlendeFelder(*adressen); !fehlend.isEmpty()) {
    Meldung::Fehler(QStringLiteral("Den Adressen fehlen die Felder %1; die IBAN-Konvertierung ist nicht möglich.")
                        .arg(fehlend),
                    {}, &fenster);
    return false;
  }
  const qint64 anzahl = adressen->RecordCount();
  if (anzahl <= 0) {
    Meldung::Hinweis(QStringLiteral("Das Fenster zeigt keine Adresse, die umgerechnet werden könnte."), {}, &fenster);
    return false;
  }
  const QString frage =
      QStringLiteral("Für %1, die das Fenster zeigt, werden Bankleitzahl und Kontonummer nach den IBAN-Regeln der "
                     "Bundesbank in IBAN und BIC umgerechnet (ein Suchfilter gilt mit).\r\rUmrechnung starten?")
          .arg(anzahl == 1 ? QStringLiteral("1 Adresse") : QStringLiteral("%1 Adressen").arg(anzahl));
  if (!Meldung::Frage(frage, {}, &fenster)) return false;
  Schliesssperre sperre(&fenster);
  DatenGitter* gitter = fenster.Gitter();
  return Konvertieren(&fenster, *adressen, fenster.findChild<StatusLeiste*>(),
                      [gitter] { return gitter->FilterAnwenden(); }, QString());
}

void AdressenImport::Anmelden() {
  FormAdressen::ImportSetzen([](FormAdressen& fenster) { AdressenImport::Ausfuehren(fenster); });
  FormAdressen::KonvertierungSetzen([](FormAdressen& fenster) { AdressenImport::Konvertieren(fenster); });
}
