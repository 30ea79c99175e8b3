#include "masterdata/FormAdressen.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include "common/Datenhilfen.h"
#include "common/Programmzustand.h"
#include "masterdata/AdressenEingabe.h"
#include "masterdata/Gitterspalten.h"
#include "masterdata/core/Suchlistenquelle.h"
#include "platform/ui/Bildliste.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/FensterpositionVerwalten.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/StatusLeiste.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/TastenVorschau.h"
#include "platform/ui/Werkzeugleiste.h"
#include "printing/ReportAuswaehlen.h"

namespace {
FormAdressen::ImportFunktion& KonvertierungsHaken() {
  static FormAdressen::ImportFunktion f;
  return f;
}
FormAdressen::ImportFunktion& ImportHaken() {
  static FormAdressen::ImportFunktion f;
  return f;
}
QString Fehlertext(const QString& aktion, const DbFehler& f) { return Meldung::Zeilen({aktion, QString(), f.Meldungstext()}); }

QString Quellprogramm(int format) {
  if (format == 1) return QStringLiteral("Tamo-Livra");
  if (format == 2) return QStringLiteral("Tamo-Ordel");
  return QStringLiteral("der verknüpften Adressdatenbank");
}
}  // namespace

void FormAdressen::ImportSetzen(ImportFunktion f) { ImportHaken() = std::move(f); }
void FormAdressen::KonvertierungSetzen(ImportFunktion f) { KonvertierungsHaken() = std::move(f); }

FormAdressen::FormAdressen(Modus modus, QWidget* eltern) : QWidget(eltern, Qt::Window), m_modus(modus) {
  const bool adressen = modus == Modus::Adressen;
  setObjectName(QStringLiteral("FormAdressen"));
  setWindowTitle(adressen ? QStringLiteral("Adressen") : QStringLiteral("Bankverbindungen"));
  setWindowIcon(Bildliste::Bilder16().Bild(adressen ? QStringLiteral("Adressen") : QStringLiteral("Bankverbindung")));

  m_leiste = new Werkzeugleiste(this);
  m_leiste->setObjectName(QStringLiteral("Toolbar1"));
  m_leiste->DarstellungAusEinstellungen();
  m_leiste->KnopfHinzufuegen(QStringLiteral("Neu"), QStringLiteral("&Neu"), QStringLiteral("Neu"),
                             adressen ? QStringLiteral("Neue Adresse") : QStringLiteral("Neue Bankverbindung"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Ändern"), QStringLiteral("Ä&ndern"), QStringLiteral("Ändern"),
                             QStringLiteral("Markierten Eintrag ändern"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Löschen"), QStringLiteral("&Löschen"), QStringLiteral("Löschen"),
                             QStringLiteral("Markierten Eintrag löschen"));
  m_leiste->TrennerHinzufuegen();
  m_leiste->KnopfHinzufuegen(QStringLiteral("Suchen"), QStringLiteral("&Suchen"), QStringLiteral("Suchen"),
                             QStringLiteral("Filterzeile ein- oder ausblenden"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Drucken"), QStringLiteral("&Drucken"), QStringLiteral("Drucken"),
                             QStringLiteral("Daten ausdrucken"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("Import"), QStringLiteral("&Import"), QStringLiteral("Import"),
                             QStringLiteral("Adressen aus Tamo-Varix übernehmen und IBAN ermitteln"));
  m_leiste->KnopfHinzufuegen(QStringLiteral("IBAN"), QStringLiteral("IBAN &ermitteln"), QStringLiteral("Bankverbindung"),
                             QStringLiteral("Bankleitzahl und Kontonummer der angezeigten Adressen in IBAN und BIC umrechnen"));
  m_leiste->TrennerHinzufuegen();
  m_leiste->KnopfHinzufuegen(QStringLiteral("Schliessen"), QStringLiteral("Schließen"), QStringLiteral("Schliessen"),
                             QStringLiteral("Arbeitsfenster schließen"));
  m_leiste->SichtbarSetzen(QStringLiteral("Import"), adressen && static_cast<bool>(ImportHaken()));
  m_leiste->SichtbarSetzen(QStringLiteral("IBAN"), adressen && static_cast<bool>(KonvertierungsHaken()));
  if (FremdeAdressen()) {
    // Kept in the sibling program: new addresses, changes and the take-over would write into its file.
    for (const char* k : {"Neu", "Ändern", "Löschen", "Import", "IBAN"}) {
      m_leiste->AktiviertSetzen(QString::fromUtf8(k), false);
      m_leiste->TooltipSetzen(QString::fromUtf8(k), QStringLiteral("Die Adressen werden in %1 gepflegt")
                                                       .arg(Quellprogramm(Zustand().AdressQuelle().Format)));
    }
  }
  m_leiste->GedruecktSetzen(QStringLiteral("Suchen"), true);
  m_leiste->HandlerSetzen([this](const QString& k) { Befehl(k); });

  m_gitter = new DatenGitter(this);
  m_gitter->setObjectName(QStringLiteral("TDBGrid1"));
  m_gitter->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
  m_gitter->SetzeWechselndeZeilen(!Zustand().Optionen().TabellenOhneZebramuster);
  m_gitter->SetzeFilterleiste(true);
  m_gitter->SetzeSpaltenStrecken(true);
  connect(m_gitter, &DatenGitter::DoppelKlick, this, [this](int) { Aendern(); });
  // The filter bar requeries on its own: the count follows it, and a failed query is reported
  // instead of passing for an empty list.
  connect(m_gitter, &DatenGitter::FilterAngewendet, this,
          [this](int) { m_status->TextSetzen(Anzahltext(m_gitter->ZeilenAnzahl())); });
  connect(m_gitter, &DatenGitter::AbfrageFehlgeschlagen, this, [this](const DbFehler& f) {
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
  });
  m_gitter->TasteRunter = [this](GitterTaste& t) {
    if (t.imFilter) return;
    if (t.taste == Qt::Key_Return || t.taste == Qt::Key_Enter) {
      t.geschluckt = true;
      Aendern();
    } else if (t.taste == Qt::Key_Delete) {
      t.geschluckt = true;
      Loeschen();
    }
  };

  m_status = new StatusLeiste(this);
  m_quellenHinweis = new QLabel(this);
  m_quellenHinweis->setObjectName(QStringLiteral("QuellenHinweis"));
  m_quellenHinweis->setWordWrap(true);
  m_quellenHinweis->setContentsMargins(6, 4, 6, 4);
  m_quellenHinweis->setText(FremdeAdressen() ? FremdeAdressenMeldung() : QString());
  m_quellenHinweis->setVisible(FremdeAdressen());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_leiste);
  layout->addWidget(m_quellenHinweis);
  layout->addWidget(m_gitter, 1);
  layout->addWidget(m_status);

  auto* tasten = new TastenVorschau(this);
  tasten->TasteZuordnen(Qt::Key_F9, Qt::NoModifier, [this] {
    Neu();
    return true;
  });
  tasten->TasteZuordnen(Qt::Key_Escape, Qt::NoModifier, [this] {
    close();
    return true;
  });
  tasten->HilfeSetzen([this] {
    HilfeAnzeigen(HilfeKontext::Adressen, Zustand().HilfeOrdner(), this);
  });
  tasten->BuchstabeZuordnen(Qt::Key_N, m_leiste, QStringLiteral("Neu"));
  tasten->BuchstabeZuordnen(Qt::Key_L, m_leiste, QStringLiteral("Löschen"));
  tasten->BuchstabeZuordnen(Qt::Key_S, m_leiste, QStringLiteral("Suchen"));
  tasten->BuchstabeZuordnen(Qt::Key_D, m_leiste, QStringLiteral("Drucken"));
  // Enter on a row opens it for a change (the grid's own key); moving on to the next field
  // stays for the filter bar.
  tasten->EnterAusnahme(m_gitter->Ansicht());

  // The addresses need room for name, IBAN and the mandate data side by side.
  FensterpositionVerwalten(true, Abschnitt(), this, adressen ? 90 : 70, false);
  Laden();
}

FormAdressen::~FormAdressen() { m_gitter->SetzeRecordset(nullptr); }

QString FormAdressen::Abschnitt() const {
  return m_modus == Modus::Adressen ? QStringLiteral("Adressen State") : QStringLiteral("Bankverbindung State");
}

QString FormAdressen::Tabelle() const {
  return m_modus == Modus::Bankverbindungen ? QStringLiteral("Bankverbindung") : QStringLiteral("Adressen");
}

bool FormAdressen::FremdeAdressen() const { return m_modus == Modus::Adressen && Zustand().AdressQuelle().Extern; }

QString FormAdressen::FremdeAdressenMeldung() {
  return QStringLiteral("Die Adressen des aktiven Absenders kommen aus %1 und werden dort gepflegt. "
                        "Neue Adressen und Änderungen erfassen Sie bitte in %1; Tamo-SEPA zeigt sie hier an, "
                        "sobald Sie sie dort gespeichert haben. Die eigenen Adressen von Tamo-SEPA bearbeiten Sie "
                        "mit einem Absender ohne verknüpfte Adressen.")
      .arg(Quellprogramm(Zustand().AdressQuelle().Format));
}

bool FormAdressen::FremdeAdressenAbweisen() {
  if (!FremdeAdressen()) return false;
  Meldung::Hinweis(FremdeAdressenMeldung(), {}, this);
  return true;
}

bool FormAdressen::Laden() {
  Datenbank* db = Zustand().Datenbank();
  DbFehler f = db ? DbFehler() : KeineDatenbankFehler();
  m_gitter->SetzeRecordset(nullptr);
  m_rs.reset();
  if (db) {
    Abfrage a = Abfrage::Tabelle(Tabelle());
    a.sortierung = m_modus == Modus::Adressen ? SqlText("Suchname COLLATE TAMO, OPKontoNr COLLATE TAMO")
                                              : SqlText("BLZ, BIC");
    m_rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Dynaset, f);
  }
  if (!m_rs) {
    m_gitter->LeerAnzeigen();
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
    return false;
  }
  m_gitter->SetzeRecordset(m_rs.get());
  m_gitter->SetzeFilterGrundlage({}, m_rs->AbfrageTeile().sortierung);
  Gitterspalten::CodesVerbreitern(*m_gitter);
  for (int s = 0; s < m_gitter->SpaltenAnzahl(); ++s)
    m_gitter->SetzeSpaltentitel(s, Suchlistenquelle::Spaltentitel(m_gitter->Spalte(s).feld));
  m_status->TextSetzen(Anzahltext(m_rs->RecordCount()));
  return true;
}

QString FormAdressen::Anzahltext(qint64 anzahl) {
  return anzahl == 1 ? QStringLiteral("1 Eintrag") : QStringLiteral("%1 Einträge").arg(anzahl);
}

bool FormAdressen::Neuladen() {
  if (!m_rs) return Laden();
  const bool warLeer = m_rs->RecordCount() == 0;
  if (!m_gitter->FilterAnwenden()) return false;
  m_status->TextSetzen(Anzahltext(m_rs->RecordCount()));
  // Columns sized for an empty list would cut every value of the first entry.
  if (warLeer && m_gezeigt && m_rs->RecordCount() > 0) SpaltenbreitenSetzen();
  return true;
}

void FormAdressen::SpaltenbreitenSetzen() {
  if (m_modus == Modus::Adressen)
    Gitterspalten::AdressenAnordnen(*m_gitter);
  else
    m_gitter->SpaltenNachInhalt();
  // The sibling's bank fields stand where the own list shows BIC and IBAN.
  if (FremdeAdressen())
    m_gitter->SetzeSpaltenfolge({QStringLiteral("OPKontoNr"), QStringLiteral("Suchname"), QStringLiteral("Name"),
                                 QStringLiteral("BankBIC"), QStringLiteral("BankIBAN"), QStringLiteral("MandatReferenz"),
                                 QStringLiteral("MandatDatum"), QStringLiteral("MandatSequenz")});
  Gitterspalten::BreiteFuellen(*m_gitter);
}

bool FormAdressen::Positionieren(const QString& feld, const QVariant& wert) {
  if (!m_rs || m_rs->SpaltenIndex(feld) < 0) return false;
  const QString gesucht = wert.toString();
  m_rs->FindFirst([&feld, &gesucht](const Recordset& r) {
    return QString::compare(r.Text(feld), gesucht, Qt::CaseInsensitive) == 0;
  });
  if (m_rs->NoMatch()) return false;
  const int zeile = m_gitter->ZeileVonSchluessel(m_rs->Bookmark());
  if (zeile < 0) return false;
  m_gitter->SetzeAktuelleZelle(zeile, std::max(0, m_gitter->AktuelleSpalte()));
  return true;
}

bool FormAdressen::AdresseSpeichern(const Adressdaten& d, const QString& alteNr, const Adressdaten* geladen) {
  Datenbank* db = Zustand().Datenbank();
  if (!db || FremdeAdressenAbweisen()) return false;
  if (const auto fehler = Adressenpflege::Pruefen(d)) {
    Meldung::Warnung(fehler->meldung, {}, this);
    return false;
  }
  const DbFehler f = Adressenpflege::Speichern(*db, d, alteNr, Tabelle(), geladen);
  if (f) {
    Meldung::Fehler(f.Nummer == DbFehlerNr::KeineTreffer ? f.Beschreibung
                                                          : Fehlertext(QStringLiteral("Fehler beim Speichern der Daten!"), f),
                    {}, this);
    return false;
  }
  Neuladen();
  Positionieren(QStringLiteral("OPKontoNr"), Adressenpflege::Normalisieren(d).opKontoNr);
  if (geladen) {
    DbFehler pf;
    const QString hinweis = Adressenpflege::OffeneZahlungenHinweis(*db, *geladen, d, pf);
    if (pf)
      Meldung::Fehler(Fehlertext(QStringLiteral("Die Adresse wurde gespeichert; ihre offenen Zahlungen konnten nicht "
                                                "geprüft werden."),
                                 pf),
                      {}, this);
    else if (!hinweis.isEmpty())
      Meldung::Hinweis(hinweis, {}, this);
  }
  return true;
}

Bankdaten FormAdressen::GezeigteBank(int zeile) const {
  return {m_gitter->Wert(zeile, QStringLiteral("BLZ")).toString(), m_gitter->Wert(zeile, QStringLiteral("BIC")).toString(),
          m_gitter->Wert(zeile, QStringLiteral("Bank")).toString()};
}

bool FormAdressen::BankSpeichern(const Bankdaten& d, std::optional<qint64> zeile, const Bankdaten* geladen) {
  Datenbank* db = Zustand().Datenbank();
  if (!db) return false;
  if (const auto fehler = Adressenpflege::Pruefen(d)) {
    Meldung::Warnung(fehler->meldung, {}, this);
    return false;
  }
  const DbFehler f = Adressenpflege::Speichern(*db, d, zeile, geladen);
  if (f) {
    Meldung::Fehler(f.Nummer == DbFehlerNr::KeineTreffer ? f.Beschreibung
                                                          : Fehlertext(QStringLiteral("Fehler beim Speichern der Daten!"), f),
                    {}, this);
    if (f.Nummer == DbFehlerNr::KeineTreffer) Neuladen();
    return false;
  }
  const qint64 nr = zeile ? *zeile : db->LetzteEinfuegeNr();
  Neuladen();
  const int r = m_gitter->ZeileVonSchluessel(nr);
  if (r >= 0) m_gitter->SetzeAktuelleZelle(r, std::max(0, m_gitter->AktuelleSpalte()));
  return true;
}

void FormAdressen::Neu() {
  if (FremdeAdressenAbweisen()) return;
  if (m_modus == Modus::Adressen) {
    AdressenEingabe eingabe(AdressenEingabe::Art::Adresse, true, this);
    while (eingabe.exec() == QDialog::Accepted)
      if (AdresseSpeichern(eingabe.Adresse())) break;
  } else {
    AdressenEingabe eingabe(AdressenEingabe::Art::Bank, true, this);
    while (eingabe.exec() == QDialog::Accepted)
      if (BankSpeichern(eingabe.Bank())) break;
  }
}

void FormAdressen::Aendern() {
  const int zeile = m_gitter->AktuelleZeile();
  if (!m_rs || zeile < 0 || m_gitter->IstNeueZeile(zeile)) return;
  if (FremdeAdressenAbweisen()) return;
  Datenbank* db = Zustand().Datenbank();
  if (m_modus == Modus::Adressen) {
    const QString nr = m_gitter->Wert(zeile, QStringLiteral("OPKontoNr")).toString();
    DbFehler f;
    std::optional<Adressdaten> geladen = Adressenpflege::Laden(*db, nr, f, Tabelle());
    if (f || !geladen) {
      Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
      return;
    }
    AdressenEingabe eingabe(AdressenEingabe::Art::Adresse, false, this);
    eingabe.AdresseSetzen(*geladen);
    while (eingabe.exec() == QDialog::Accepted) {
      if (AdresseSpeichern(eingabe.Adresse(), nr, &*geladen)) break;
      // Changed or deleted elsewhere meanwhile: the change is made again on what is stored now.
      const std::optional<Adressdaten> jetzt = Adressenpflege::Laden(*db, nr, f, Tabelle());
      if (f || !jetzt) {
        if (f) Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
        Neuladen();
        return;
      }
      if (*jetzt != *geladen) {
        geladen = jetzt;
        eingabe.AdresseSetzen(*geladen);
        Neuladen();   // the list shows the stored state behind the editor too
      }
    }
  } else {
    const qint64 schluessel = m_gitter->Schluessel(zeile).toLongLong();
    const Bankdaten geladen = GezeigteBank(zeile);
    AdressenEingabe eingabe(AdressenEingabe::Art::Bank, false, this);
    eingabe.BankSetzen(geladen);
    while (eingabe.exec() == QDialog::Accepted) {
      if (BankSpeichern(eingabe.Bank(), schluessel, &geladen)) break;
      if (m_gitter->ZeileVonSchluessel(schluessel) < 0 || GezeigteBank(m_gitter->ZeileVonSchluessel(schluessel)) != geladen)
        break;   // changed or gone elsewhere: the list shows what is stored now
    }
  }
}

bool FormAdressen::Loeschen() {
  const int zeile = m_gitter->AktuelleZeile();
  Datenbank* db = Zustand().Datenbank();
  if (!db || !m_rs || zeile < 0 || m_gitter->IstNeueZeile(zeile)) return false;
  if (FremdeAdressenAbweisen()) return false;
  DbFehler f;
  if (m_modus == Modus::Adressen) {
    const QString nr = m_gitter->Wert(zeile, QStringLiteral("OPKontoNr")).toString();
    const QString name = m_gitter->Wert(zeile, QStringLiteral("Name")).toString();
    const int offen = Adressenpflege::OffeneZahlungen(*db, nr, f);
    if (f) {
      Meldung::Fehler(Fehlertext(QStringLiteral("Fehler bei der Datenermittlung!"), f), {}, this);
      return false;
    }
    QString frage = QStringLiteral("Soll die Adresse %1 \u201E%2\u201C gelöscht werden?").arg(nr, name);
    if (offen > 0)
      frage += offen == 1 ? QStringLiteral("\r\rFür die Adresse ist noch 1 offene Zahlung erfasst; sie bleibt mit ihren "
                                          "Angaben erhalten und geht wie erfasst an die Bank.")
                          : QStringLiteral("\r\rFür die Adresse sind noch %1 offene Zahlungen erfasst; sie bleiben mit "
                                          "ihren Angaben erhalten und gehen wie erfasst an die Bank.")
                                .arg(offen);
    if (!Meldung::Frage(frage, {}, this)) return false;
    f = Adressenpflege::Loeschen(*db, nr, Tabelle());
  } else {
    const QString bank = m_gitter->Wert(zeile, QStringLiteral("Bank")).toString();
    if (!Meldung::Frage(QStringLiteral("Soll die Bankverbindung \u201E%1\u201C gelöscht werden?").arg(bank), {}, this))
      return false;
    const Bankdaten gezeigt = GezeigteBank(zeile);
    f = Adressenpflege::BankLoeschen(*db, m_gitter->Schluessel(zeile).toLongLong(), &gezeigt);
  }
  if (f) {
    Meldung::Fehler(Fehlertext(QStringLiteral("Fehler beim Löschen der Daten!"), f), {}, this);
    if (f.Nummer == DbFehlerNr::KeineTreffer) Neuladen();
    return false;
  }
  Neuladen();
  if (m_gitter->ZeilenAnzahl() > 0)
    m_gitter->SetzeAktuelleZelle(std::min(zeile, m_gitter->ZeilenAnzahl() - 1), std::max(0, m_gitter->AktuelleSpalte()));
  return true;
}

void FormAdressen::Befehl(const QString& knopf) {
  if (knopf == QStringLiteral("Neu")) Neu();
  else if (knopf == QStringLiteral("Ändern")) Aendern();
  else if (knopf == QStringLiteral("Löschen")) Loeschen();
  else if (knopf == QStringLiteral("Drucken")) Drucken();
  else if (knopf == QStringLiteral("Suchen")) {
    const bool an = !m_gitter->Filterleiste();
    m_gitter->SetzeFilterleiste(an);
    m_leiste->GedruecktSetzen(QStringLiteral("Suchen"), an);
    if (an) m_gitter->FilterZelleBearbeiten(std::max(0, m_gitter->AktuelleSpalte()));
  } else if (knopf == QStringLiteral("Import")) {
    if (ImportHaken() && !FremdeAdressenAbweisen()) {
      ImportHaken()(*this);
      Neuladen();
    }
  } else if (knopf == QStringLiteral("IBAN")) {
    if (KonvertierungsHaken() && !FremdeAdressenAbweisen()) {
      KonvertierungsHaken()(*this);
      Neuladen();
    }
  } else if (knopf == QStringLiteral("Schliessen")) {
    close();
  }
}

QString FormAdressen::Reportname() const {
  if (m_modus == Modus::Bankverbindungen) return QStringLiteral("Bankverbindung");
  static const char* const arten[] = {"Intern", "TamoLivraOPWin", "TamoOrdelWin", "dBase3", "dBase4", "Access"};
  const int format = Zustand().AdressQuelle().Format;
  return QString::fromUtf8(format >= 0 && format < 6 ? arten[format] : arten[0]) + QStringLiteral("Adressen");
}

void FormAdressen::Drucken() {
  if (!m_rs) return;
  // The rows as the grid shows them, filter and order included.
  DruckAnfordern(
      Reportname(), [this]() -> std::unique_ptr<Reportdaten> { return std::make_unique<RecordsetReportdaten>(*m_rs); },
      {}, Druckformular{.fenster = this, .titel = windowTitle()});
}

void FormAdressen::showEvent(QShowEvent* ereignis) {
  QWidget::showEvent(ereignis);
  if (m_gezeigt) return;
  m_gezeigt = true;
  SpaltenbreitenSetzen();
}

void FormAdressen::closeEvent(QCloseEvent* ereignis) {
  FensterpositionVerwalten(false, Abschnitt(), this, 70, false);
  QWidget::closeEvent(ereignis);
}
