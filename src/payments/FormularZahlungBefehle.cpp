// The commands of the payment form (Toolbar1_ButtonClick): new and save, change, delete, copy,
// search mode, due-date limit, the open-item import, cancel and close.

#include <QApplication>
#include <QTableView>

#include "common/Programmzustand.h"
#include "common/Uhr.h"
#include "masterdata/core/Suchkriterium.h"
#include "payments/FaelligAbfrage.h"
#include "payments/FormularZahlung.h"
#include "payments/ZahlungBrowse.h"
#include "payments/ZahlungKopffelder.h"
#include "payments/ZahlungZeilenbereich.h"
#include "payments/core/ZahlungSpeichern.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "payments/core/Zahlungsbefehle.h"
#include "payments/core/Zahlungsempfaenger.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Wertumwandlung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/HilfeAnzeigen.h"
#include "platform/ui/HilfeKontext.h"
#include "platform/ui/MaskenFeld.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/OptionsGruppe.h"
#include "platform/ui/Werkzeugleiste.h"
#include "platform/ui/ZahlFeld.h"

bool FormularZahlung::Befehl(const QString& schluessel) { return m_leiste->Druecken(schluessel); }

bool FormularZahlung::BefehlAusfuehren(Zahlungsbefehl befehl) {
  // A click or a shortcut never does more than its button could.
  if (!m_darstellung.Ausfuehrbar(befehl)) return false;
  switch (befehl) {
    case Zahlungsbefehl::Neu: Neu(); break;
    case Zahlungsbefehl::Aendern: Aendern(); break;
    case Zahlungsbefehl::Kopieren: Kopieren(); break;
    case Zahlungsbefehl::Loeschen: Loeschen(); break;
    case Zahlungsbefehl::Suchen: SuchmodusUmschalten(); break;
    case Zahlungsbefehl::Schliessen: Schliessen(); break;
    case Zahlungsbefehl::Faelligkeit: FaelligkeitAbfragen(); break;
    case Zahlungsbefehl::Hilfe:
      HilfeAnzeigen(HilfeKontext::Zahlungen, Zustand().HilfeOrdner(), this);
      break;
    case Zahlungsbefehl::Rechner: Q_EMIT RechnerAngefordert(); break;
    case Zahlungsbefehl::Import: ImportStarten(); break;
    case Zahlungsbefehl::Skonto: SkontoBearbeiten(); break;
    case Zahlungsbefehl::Pruefen: Pruefen(); break;
    case Zahlungsbefehl::Keiner: return false;
  }
  return true;
}

void FormularZahlung::Schliessen() {
  if (!m_zustand.EingabeModus()) {
    close();
    return;
  }
  Abbrechen();
}

void FormularZahlung::Abbrechen() {
  if (Zeilengitter()->ZeileAusstehend()) Zeilengitter()->ZeileVerwerfen();
  const std::optional<qint64> gemerkt = m_zustand.GemerktePosition();
  if (m_zustand.NeuerDatensatz()) {
    // The row "Neu" stored goes again, with its lines.
    if (m_aktuelleNr && m_db) {
      const DbFehler f = ZahlungLoeschen(*m_db, *m_aktuelleNr);
      if (f) Meldung::Fehler(LoeschFehlertext(f), {}, this);
    }
  } else if (m_zustand.ZeilenGeaendert() && m_zeilenKopie && m_db) {
    // Refused, the lines stay as stored and are shown so below.
    const DbFehler f = ZeilenWiederherstellen(*m_db, *m_zeilenKopie, m_gezeigteZeilen);
    if (f.Nummer == DbFehlerNr::InzwischenGeaendert) InzwischenGeaendertMelden(f);
    else if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!"), f);
  }
  m_zeilenKopie.reset();
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zustand.EingabeBeenden();
  ZahlungenLaden();
  if (!gemerkt || !ZahlungAnsteuern(*gemerkt)) Reposition();
  EingabeModusAnzeigen();
  Browsegitter()->Ansicht()->setFocus();
}

void FormularZahlung::Neu() {
  if (m_zustand.EingabeModus()) {
    const bool warNeu = m_zustand.NeuerDatensatz();
    const std::optional<Waehrung> betragVorher = warNeu ? std::nullopt : GespeicherterBetrag();
    if (!Speichern()) return;  // stays in entry mode
    const qint64 gespeichert = m_aktuelleNr.value_or(-1);
    const int zeile = Browsegitter()->AktuelleZeile();
    m_zustand.EingabeBeenden();
    if (warNeu || AnzahlZahlungen() == 0 || zeile < 0) {
      ZahlungenLaden();
      ZahlungAnsteuern(gespeichert);
    } else {
      // A changed payment keeps its place in the list (as a dynaset row does until the next
      // requery): only its values and the total are read again.
      m_browse->ZeileNeuLesen(zeile);
      Reposition();
      // The list is the same but for this payment: the total moves by its difference instead of
      // walking every listed payment again.
      const std::optional<Waehrung> betragNachher = GespeicherterBetrag();
      if (!betragVorher || !betragNachher || !m_browse->SummeVerschieben(*betragVorher, *betragNachher))
        GesamtsummeAnzeigen();
    }
    EingabeModusAnzeigen();
    if (!warNeu || !m_zustand.Einstellungen().neueingabeFortsetzen) {
      Browsegitter()->Ansicht()->setFocus();
      return;
    }
  }
  NeueZahlung();
}

std::optional<Waehrung> FormularZahlung::GespeicherterBetrag() {
  if (!m_db || !m_aktuelleNr) return std::nullopt;
  DbFehler f;
  const auto w = m_db->Wert("SELECT ZahlungGesamt FROM Zahlungen WHERE ZahlungNr = ?", {QVariant(*m_aktuelleNr)}, f);
  if (f || !w) return std::nullopt;
  return WaehrungAusWert(*w).value_or(Waehrung());  // Null counts as 0 in the total
}

bool FormularZahlung::Speichern() {
  if (!m_db || !m_aktuelleNr) return false;
  if (Zeilengitter()->ZeileAusstehend() && !Zeilengitter()->ZeileSpeichern()) return false;
  // A date field that holds no date cannot be read: it would be stored as "no date".
  for (DatumFeld* datum : {FaelligFeld(), MandatDatumFeld()})
    if (datum->isEnabled() && !datum->EingabePruefen()) return false;
  // Nor an amount typed as "12.50": the save would store the amount from before.
  if (BetragFeld()->isEnabled() && !BetragFeld()->isReadOnly() && !BetragFeld()->EingabePruefen()) return false;
  ZahlungEingabe eingabe = FelderLesen();
  SpeicherKontext k;
  k.absenderNr = Zustand().AktuelleAbsenderNr();
  k.zahlart = m_zustand.AktuelleZahlart();
  k.zeilengitterSichtbar = GitterSichtbar();
  k.heute = Uhr::Heute();
  if (!m_zustand.NeuerDatensatz()) {
    k.geladen = m_geladen;
    k.zeilen = m_gezeigteZeilen;
  }
  const SpeicherErgebnis r = ZahlungSpeichern(*m_db, *m_aktuelleNr, eingabe, k);
  if (!r.Ok()) {
    // A check that refuses shows the information icon as it always has; a store that failed is an error.
    Meldung::Zeigen(r.Meldungstext(), MeldungsKnoepfe::Ok, r.pruefFehler ? MeldungsSymbol::Information : MeldungsSymbol::Kritisch,
                    ZahlungsformularTitel(), this);
    if (r.veraltet) {
      // The stored values replace the stale ones; the change stays open for entering again.
      const QSignalBlocker sperre(SequenzOptionen());
      GespeichertAnzeigen();
      // The list's row and total show what is stored as well (the row kept the date from before).
      if (const int zeile = Browsegitter()->AktuelleZeile(); zeile >= 0) {
        m_browse->ZeileNeuLesen(zeile);
        GesamtsummeAnzeigen();
      }
      Maske(0)->setFocus();
    }
    if (r.pruefFehler) {
      // The cleaned texts stay in the fields.
      const QSignalBlocker sperre(SequenzOptionen());
      FelderFuellen(eingabe);
      if (QWidget* ziel = Fokusziel(r.pruefFehler->feld)) ziel->setFocus();
    }
    return false;
  }
  FelderFuellen(eingabe);
  m_geladen = r.gespeichert;
  if (m_zustand.NeuerDatensatz()) {
    const Optionsschalter& opt = Zustand().Optionen();
    if (opt.AutoSpeichernBank) {
      const DbFehler f = BankAutomatischSpeichern(*m_db, eingabe.bic, eingabe.bank);
      if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Bankverbindung!"), f);
    }
    const AdressQuellenInfo& quelle = Zustand().AdressQuelle();
    if (opt.AutoSpeichernAdressen && !quelle.Extern && eingabe.opKontoNr.trimmed().isEmpty()) {
      QString nummer;
      const DbFehler f = AdresseAutomatischAnlegen(*m_db, *m_aktuelleNr, QStringLiteral("Adressen"), quelle.AdressNrFeld,
                                                   m_kopf->Transportfelder(), nummer);
      if (f) DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Adresse!"), f);
    }
  }
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zeilenKopie.reset();
  return true;
}

void FormularZahlung::NeueZahlung() {
  if (!m_db) return;
  const std::optional<qint64> gemerkt = m_aktuelleNr;
  const Zahlungsuebertrag uebertrag = UebertragErmitteln(FelderLesen(), Zustand().Kopierfeld());
  qint64 nr = 0;
  const DbFehler f =
      NeueZahlungAnlegen(*m_db, Zustand().AktuelleAbsenderNr(), m_zustand.AktuelleZahlart(), uebertrag, Uhr::Heute(), nr);
  if (f) {
    Meldung::Fehler(NeuFehlertext(f), {}, this);
    EingabeModusAnzeigen();
    return;
  }
  m_aktuelleNr = nr;
  m_zustand.NeueingabeBeginnen(gemerkt);
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zeilenKopie.reset();
  std::optional<ZahlungEingabe> e;
  int sequenz = 0;
  const DbFehler lesen = ZahlungLesen(*m_db, nr, e, &sequenz);
  if (lesen) DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), lesen);
  if (e) {
    e->sequenzIndex = -1;  // no sequence chosen yet
    FelderFuellen(*e);
  }
  GezeigteZeilenLesen();
  ZeilenLaden();
  OPListeLaden();
  EingabeModusAnzeigen();
  Maske(0)->setFocus();
  if (Zustand().Optionen().NeuMitSuchliste) {
    DbFehler zf;
    const auto anzahl = m_db->Wert("SELECT COUNT(*) FROM Adressen", {}, zf);
    if (!zf && anzahl && anzahl->toInt() > 0) m_kopf->SuchlisteOeffnen(0, false);
  }
}

void FormularZahlung::Aendern() {
  if (!m_aktuelleNr || !m_db) return;
  ZeilenKopie kopie;
  const DbFehler f = ZeilenKopieren(*m_db, *m_aktuelleNr, kopie);
  if (f) {
    // Without a copy a cancel could not restore the lines: do not begin.
    DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
    return;
  }
  m_zeilenKopie = std::move(kopie);
  m_zustand.ZeilenGeaendertSetzen(false);
  m_zustand.AendernBeginnen(m_aktuelleNr);
  EingabeModusAnzeigen();
  Maske(0)->setFocus();
}

void FormularZahlung::Loeschen() {
  if (!m_aktuelleNr || !m_db) return;
  const int zeile = Browsegitter()->AktuelleZeile();
  const DbFehler f = ZahlungLoeschen(*m_db, *m_aktuelleNr);
  if (f) {
    Meldung::Fehler(LoeschFehlertext(f), {}, this);
    DarstellungAnwenden();
    GesamtsummeAnzeigen();
    return;
  }
  ZahlungenLaden();
  const int n = Browsegitter()->ZeilenAnzahl();
  if (n > 0) {
    m_browse->AufZeile(std::clamp(zeile, 0, n - 1));
    Reposition();
  }
  Browsegitter()->Ansicht()->setFocus();
}

void FormularZahlung::SuchmodusUmschalten() {
  const bool an = m_zustand.SuchmodusUmschalten();  // empties the filter
  m_suchmodusGeschaltet = true;
  ZahlungenLaden();
  Browsegitter()->SetzeFilterleiste(an);
  Browsegitter()->FilterTexteLeeren();
  DarstellungAnwenden();
  Browsegitter()->Ansicht()->setFocus();
  m_browse->SuchmodusAnzeigen(an);
}

void FormularZahlung::Kopieren() {
  if (!m_aktuelleNr || !m_db) return;
  const bool gitter = GitterSichtbar();
  if (gitter && Zeilengitter()->ZeileAusstehend() && !Zeilengitter()->ZeileSpeichern()) return;
  QVariantList werte;
  const Bedingung filter = KopierlisteBedingung(Zustand().AktuelleAbsenderNr(), m_zustand.AktuelleArt(), *m_aktuelleNr);
  if (!SuchlisteZeigen(3, filter, Suchkriterium{}, false, werte)) return;
  if (werte.size() < 2 || werte.at(1).isNull()) return;
  KopierErgebnis ergebnis;
  const DbFehler f = ZahlungKopieren(*m_db, werte.at(1).toLongLong(), *m_aktuelleNr, gitter, ergebnis, &m_gezeigteZeilen);
  if (f.Nummer == DbFehlerNr::InzwischenGeaendert) {
    ZeilenInzwischenGeaendert(f);
    return;
  }
  if (f) {
    DbFehlerMelden(QStringLiteral("Fehler beim Kopieren der Zahlung!"), f);
    return;
  }
  if (!ergebnis.quelle) return;
  m_kopf->KopierteFelderAnwenden(KopierteFelderErmitteln(*ergebnis.quelle));
  if (ergebnis.angefuegt > 0) m_zustand.ZeilenGeaendertSetzen(true);
  if (!ergebnis.Hinweis().isEmpty())
    Meldung::Hinweis(ergebnis.Hinweis(), ZahlungsformularTitel(), this);
  if (gitter) {
    ZeilenLaden();
    // Ready for a further line: the empty row below the last one.
    m_zeilen->ZurNeuenZeile();
  }
  OPListeLaden();
}

void FormularZahlung::FaelligkeitAbfragen() {
  if (m_zustand.EingabeModus()) return;
  const std::optional<QDate> bisher = m_zustand.FaelligBis();
  const std::optional<QDate> neu =
      m_faelligAufruf ? m_faelligAufruf(bisher) : FaelligAbfrage::Abfragen(this, font(), bisher, Uhr::Heute());
  m_zustand.FaelligBisSetzen(neu);
  ZahlungenLaden();
}

void FormularZahlung::ImportStarten() {
  if (!Zustand().AdressQuelle().OPVerknuepft) {
    Meldung::Warnung(ImportOhneVerknuepfungMeldung(), ZahlungsformularTitel(), this);
    return;
  }
  const std::optional<qint64> gemerkt = m_aktuelleNr;
  m_zustand.NurFehlerhafteSetzen(false);
  m_leiste->GedruecktSetzen(QStringLiteral("Import"), true);
  if (m_importAufruf) m_importAufruf(m_zustand.AktuelleZahlart(), font());
  m_leiste->GedruecktSetzen(QStringLiteral("Import"), false);
  ZahlungenLaden();
  if (!gemerkt || !ZahlungAnsteuern(*gemerkt)) Reposition();
}
