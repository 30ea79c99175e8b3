#include "payments/ZahlungZeilenbereich.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>

#include "common/Programmzustand.h"
#include "payments/ZahlungsformularDienste.h"
#include "payments/core/OPAbfrage.h"
#include "payments/core/OPUebernahme.h"
#include "payments/core/Tastenbelegung.h"
#include "payments/core/Verwendungszweckzeilen.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "payments/core/ZahlungsformularZustand.h"
#include "payments/core/Zahlungswerte.h"
#include "payments/core/ZeilenBetraege.h"
#include "platform/db/Datumseingabe.h"
#include "platform/db/Datenbank.h"
#include "platform/db/Recordset.h"
#include "platform/db/Wertumwandlung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatumFeld.h"
#include "platform/ui/Farben.h"
#include "platform/ui/GitterDropDown.h"
#include "platform/ui/GitterFormatierung.h"
#include "platform/ui/Meldung.h"
#include "platform/ui/TabTasteSenden.h"
#include "platform/ui/ZahlFeld.h"

namespace {

int ErsteSichtbareSpalte(const DatenGitter& g) {
  for (int i = 0; i < g.SpaltenAnzahl(); ++i)
    if (g.SpalteSichtbar(i)) return i;
  return -1;
}

// The columns shown, in display order.
QList<int> SichtbareSpalten(const DatenGitter& g) {
  const QHeaderView* k = g.Ansicht()->horizontalHeader();
  QList<int> spalten;
  for (int v = 0; v < k->count(); ++v)
    if (!k->isSectionHidden(k->logicalIndex(v))) spalten << k->logicalIndex(v);
  return spalten;
}

std::optional<BetragsSpalte> AlsBetragsSpalte(const QString& feld) {
  for (auto s : {BetragsSpalte::OPBetrag, BetragsSpalte::SkontoBetrag, BetragsSpalte::ZahlungsBetrag})
    if (BetragsSpaltenFeld(s).compare(feld, Qt::CaseInsensitive) == 0) return s;
  return std::nullopt;
}

ZeilengitterStil StilVon(DatenGitter::Markierungsstil stil) {
  switch (stil) {
    case DatenGitter::Markierungsstil::Zeilenauswahl: return ZeilengitterStil::Zeilenauswahl;
    case DatenGitter::Markierungsstil::SchwebenderEditor: return ZeilengitterStil::Zellbearbeitung;
    default: return ZeilengitterStil::Anderer;
  }
}

}  // namespace

ZahlungZeilenbereich::ZahlungZeilenbereich(ZahlungsformularDienste& dienste, QWidget* fenster)
    : QObject(fenster), m_dienste(dienste), m_fenster(fenster) {
  m_gitter = new DatenGitter(fenster);
  m_gitter->setObjectName(QStringLiteral("TDBGrid2"));
  m_opListe = new GitterDropDown(fenster);
  DatenGitter* g = m_gitter;
  g->SetzeSpaltenHalten(true);
  for (const ZeilenSpalte& s : ZeilenSpalten()) {
    const int i = g->SpalteHinzufuegen(s.feld, s.beschriftung);
    if (s.feld == QStringLiteral("Vorgangsdatum")) g->SetzeSpaltenEditor(i, GitterEditor::Datum);
    if (AlsBetragsSpalte(s.feld)) {
      g->SetzeSpaltenEditor(i, GitterEditor::Zahl);
      g->SetzeSpaltenformat(i, GitterFormat::Standard);
      g->SetzeAusrichtung(i, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (s.feld == QStringLiteral("ZahlungNr") || s.feld == QStringLiteral("LfdNr") ||
        s.feld == QStringLiteral("OPVorgangsArt") || s.feld == QStringLiteral("ZeilenNr"))
      g->SetzeSpalteSichtbar(i, false);
  }
  g->SetzeSpaltenStrecken(true);  // a resize keeps each column's share of the width
  g->SetzeFussleiste(true);
  g->SetzeFussText(g->SpaltenIndex(QStringLiteral("Verwendungszweck")), QStringLiteral("Summen Einzelwerte"));
  g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::Keiner);
  g->SetzeZellStil([g](int zeile, int spalte, ZellStil& stil) {
    if (spalte < 0 || spalte >= g->SpaltenAnzahl() || !AlsBetragsSpalte(g->Spalte(spalte).feld)) return;
    const auto w = WaehrungAusWert(g->Wert(zeile, spalte));
    if (!w || w->IstNull()) return;
    stil.vordergrund = w->IstNegativ() ? Farben::Rot() : QColor(Qt::black);
  });
  g->VorSpaltenAenderung = [this](int spalte, const QVariant&, QVariant& wert, bool& abbrechen) {
    if (!m_dienste.FormZustand().AnzeigeBereit() || !m_zeilen) return;
    abbrechen = false;
    VorSpalte(spalte, wert);
  };
  g->VorZeilenAenderung = [this](bool& abbrechen) { VorSpeichern(abbrechen); };
  g->BeiFehler = [](const DbFehler& f, bool& meldungZeigen) {
    meldungZeigen = false;
    Meldung::Fehler(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!\r\rBeschreibung: ") + f.Beschreibung);
  };
  g->TasteRunter = [this](GitterTaste& t) { Taste(t); };
  connect(g, &DatenGitter::NachLoeschen, this, [this] {
    m_dienste.FormZustand().ZeilenGeaendertSetzen(true);
    NachZeilenaenderung();
  });
  connect(g, &DatenGitter::ZeileSpalteGewechselt, this, [this] {
    if (m_dienste.FormZustand().EingabeModus()) StatusAktualisieren();
  });
  g->Ansicht()->setStatusTip(QStringLiteral("Diese Einzelzeilen sind für die Zahlung vorhanden"));
  g->Ansicht()->installEventFilter(this);
  // Scroll tips name the line text of the row under the thumb, whichever column is current.
  g->SetzeScrollTippText([g](int zeile) {
    const int text = g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
    if (text < 0) return QString();
    return g->Spalte(text).titel + QStringLiteral(": ") + g->ZellText(zeile, text);
  });

  // The open-item drop-down's designed columns.
  m_opListe->SpalteHinzufuegen(QStringLiteral("VorgangsNr"), QStringLiteral("VorgangsNr"));
  m_opListe->SpalteHinzufuegen(QStringLiteral("Art"), QStringLiteral("Art"));
  m_opListe->SpalteHinzufuegen(QStringLiteral("Vom"), QStringLiteral("Vom"), GitterFormat::KurzesDatum);
  m_opListe->SpalteHinzufuegen(QStringLiteral("Fällig"), QStringLiteral("Fällig"), GitterFormat::KurzesDatum);
  m_opListe->SpalteHinzufuegen(QStringLiteral("Betrag"), QStringLiteral("Betrag"), GitterFormat::Standard);
  m_opListe->SpalteHinzufuegen(QStringLiteral("Rest"), QStringLiteral("Rest"), GitterFormat::Standard);
  m_opListe->SetzeListenfeld(QStringLiteral("VorgangsNr"));
  m_opListe->hide();

}

ZahlungZeilenbereich::~ZahlungZeilenbereich() = default;

void ZahlungZeilenbereich::SummeAnordnen(QBoxLayout* zeile) {
  m_einzelBeschriftung = new QLabel(QStringLiteral("Einzelsumme"), m_fenster);
  m_einzelsumme = new ZahlFeld(m_fenster);
  m_einzelsumme->setReadOnly(true);
  m_einzelsumme->BreitenprobeSetzen(Waehrung::AusCent(99999999999));   // one payment at most
  m_einzelsumme->AnzeigeFormatSetzen(ZahlFormat::Summe());
  m_einzelsumme->setFocusPolicy(Qt::NoFocus);
  m_einzelsumme->setStatusTip(QStringLiteral("Infoanzeige Einzelsumme"));
  zeile->addWidget(m_einzelBeschriftung);
  zeile->addWidget(m_einzelsumme);
}

void ZahlungZeilenbereich::Einrichten() {
  Datenbank* db = m_dienste.Db();
  if (!db) return;
  m_zeilenBreite = ZeilentextBreite(*db);
  m_gitter->SetzeDatenBreite(m_gitter->SpaltenIndex(QStringLiteral("Verwendungszweck")), m_zeilenBreite);
}

void ZahlungZeilenbereich::HoeheFuerAlleZeilen() {
  const QTableView* v = m_gitter->Ansicht();
  const int zeile = v->verticalHeader()->defaultSectionSize();
  // Header, five lines, the new row, the footer with the sums, and the frame.
  m_gitter->setMinimumHeight(v->horizontalHeader()->sizeHint().height() + zeile * (MaximaleZeilen + 2) + 2 * v->frameWidth() + 4);
}

void ZahlungZeilenbereich::Laden(bool gitter) {
  Datenbank* db = m_dienste.Db();
  if (!db) return;
  if (m_gitter->ZeileAusstehend()) m_gitter->ZeileVerwerfen();
  const Abfrage abfrage = ZeilenAbfrage(m_dienste.AktuelleZahlungNr().value_or(-1), !gitter);
  DbFehler f;
  if (m_zeilen) {
    // Every payment's lines have the same columns: the open recordset only reads the keys of the next
    // payment (no new column lookup, no rebinding of the grid).
    f = m_zeilen->Requery(abfrage.bedingung, abfrage.sortierung);
    if (!f) {
      m_gitter->Aktualisieren();
      return;
    }
  } else {
    m_zeilen = Recordset::Oeffnen(*db, abfrage, RecordsetTyp::Dynaset, f);
    if (m_zeilen) {
      m_gitter->SetzeRecordset(m_zeilen.get());
      return;
    }
  }
  // The lines of another payment never stay on screen after a failed query.
  m_gitter->SetzeRecordset(nullptr);
  m_zeilen.reset();
  m_gitter->LeerAnzeigen();
  m_dienste.DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
}

void ZahlungZeilenbereich::SummenAnzeigen() {
  Datenbank* db = m_dienste.Db();
  if (!db) return;
  const ZahlungsformularZustand& z = m_dienste.FormZustand();
  ZeilenSummen summen;
  const DbFehler f =
      ZeilenSummieren(*db, m_dienste.AktuelleZahlungNr().value_or(-1), z.EingabeModus(), summen, &m_dienste.GezeigteZeilen());
  if (f) {
    m_dienste.DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!"), f);
    return;
  }
  const ZeilenFusszeilen fuss = FusszeilenErmitteln(summen);
  m_gitter->SetzeFussText(m_gitter->SpaltenIndex(QStringLiteral("OPBetrag")), fuss.opBetrag);
  m_gitter->SetzeFussText(m_gitter->SpaltenIndex(QStringLiteral("SkontoBetrag")), fuss.skontoBetrag);
  m_gitter->SetzeFussText(m_gitter->SpaltenIndex(QStringLiteral("ZahlungsBetrag")), fuss.zahlungsBetrag);
  m_einzelsumme->SummeSetzen(summen.zahlungsBetrag, Waehrung::SummeNichtBildbarText());
  const bool lastschrift = z.AktuelleArt() == QStringLiteral("L");
  m_einzelsumme->TextFarbeSetzen(lastschrift ? Farben::Blau() : Farben::Rot());
  m_einzelsumme->NegativFarbeSetzen(lastschrift ? Farben::Rot() : Farben::Blau());
  Q_EMIT SummeGeaendert(summen.zahlungsBetrag);
}

void ZahlungZeilenbereich::NachZeilenaenderung() {
  // Sums first (they renumber in entry mode), then show the lines as stored.
  SummenAnzeigen();
  if (m_zeilen) {
    const int spalte = m_gitter->AktuelleSpalte();
    const int zeile = m_gitter->AktuelleZeile();
    m_zeilen->Requery();
    m_gitter->Aktualisieren();
    if (zeile >= 0 && m_gitter->ZeilenAnzahl() > 0)
      m_gitter->SetzeAktuelleZelle(std::min(zeile, m_gitter->ZeilenAnzahl()), std::max(0, spalte));
  }
}

void ZahlungZeilenbereich::OPListeLaden(const QString& opKontoNr) {
  const AdressQuellenInfo& quelle = Zustand().AdressQuelle();
  Datenbank* db = m_dienste.Db();
  if (!db || quelle.OPFeldliste.IstLeer()) return;
  const OPAbfrageTeile teile = OPAbfrageErstellen(quelle, opKontoNr, Zustand().Optionen().OPSelektionMitMinus);
  if (teile.IstLeer()) return;
  Abfrage a;
  a.spalten = teile.spalten;
  a.quelle = teile.quelle;
  a.bedingung = teile.bedingung;
  a.sortierung = teile.sortierung;
  a.ausdrucksTypen = quelle.OPAusdrucksTypen;  // the order program's signed amounts are money
  DbFehler f;
  auto rs = Recordset::Oeffnen(*db, a, RecordsetTyp::Snapshot, f);
  m_opListe->SetzeRecordset(nullptr);
  m_opPosten = std::move(rs);
  if (!m_opPosten) return;  // an item list the linked table cannot answer stays empty
  if (quelle.OPArtFeld.isEmpty()) m_opListe->SetzeDatenfeld(m_opListe->SpaltenIndex(QStringLiteral("Rest")), QStringLiteral("Rest2"));
  m_opListe->SetzeRecordset(m_opPosten.get());
  m_opListe->SetzeSichtbareZeilen(OPListeZeilen(m_opPosten->RecordCount()));
}

void ZahlungZeilenbereich::OPSpaltenbreitenMerken(int fensterbreite) {
  // The list is a hidden popup: its shares are taken from the designed column widths, and the list
  // as a whole is scaled with the window from here on.
  m_spaltenProzenteOP.clear();
  m_opGrundbreite = 0;
  const QTableView* v = m_opListe->Ansicht();
  for (int i = 0; i < m_opListe->SpaltenAnzahl(); ++i)
    if (!v->isColumnHidden(i)) m_opGrundbreite += m_opListe->Spaltenbreite(i);
  m_opBezugsbreite = fensterbreite;
  if (m_opGrundbreite <= 0 || m_opBezugsbreite <= 0) return;
  for (int i = 0; i < m_opListe->SpaltenAnzahl(); ++i)
    if (!v->isColumnHidden(i))
      m_spaltenProzenteOP.push_back(float(m_opListe->Spaltenbreite(i)) * 100.0f / float(m_opGrundbreite));
}

void ZahlungZeilenbereich::OPSpaltenbreitenAnwenden(int fensterbreite) {
  if (m_spaltenProzenteOP.empty() || m_opBezugsbreite <= 0) return;
  const double breite = double(m_opGrundbreite) * fensterbreite / m_opBezugsbreite;
  // Rounded at the column edges, so that the shares add up to the list's width.
  const QTableView* v = m_opListe->Ansicht();
  double summe = 0;
  long kante = 0;
  size_t n = 0;
  for (int i = 0; i < m_opListe->SpaltenAnzahl() && n < m_spaltenProzenteOP.size(); ++i) {
    if (v->isColumnHidden(i)) continue;
    summe += m_spaltenProzenteOP[n++];
    const long neueKante = std::lround(breite * summe / 100.0);
    m_opListe->SetzeSpaltenbreite(i, std::max(1, int(neueKante - kante)));
    kante = neueKante;
  }
}

void ZahlungZeilenbereich::AnzeigeAnwenden(const ZeilenanzeigeLayout& layout, bool breitenAnwenden) {
  m_gitter->setVisible(layout.gitterSichtbar);
  if (!layout.gitterSichtbar) return;
  for (int i = 0; i < m_gitter->SpaltenAnzahl(); ++i)
    m_gitter->SetzeSpalteSichtbar(i, layout.spalten.contains(m_gitter->Spalte(i).feld));
  std::vector<float> prozente;
  for (double p : layout.prozente) prozente.push_back(float(p));
  if (breitenAnwenden && !prozente.empty()) m_gitter->SpaltenProzenteAnwenden(prozente);
  const int erste = m_gitter->SpaltenIndex(layout.ersteSpalte);
  if (erste >= 0) m_gitter->Ansicht()->scrollTo(m_gitter->Ansicht()->model()->index(0, erste));
}

void ZahlungZeilenbereich::Oeffnen(const Formulardarstellung& d, bool mitOPListe) {
  DatenGitter* g = m_gitter;
  g->SetzeZulassenNeu(d.zeilengitterBearbeitbar);
  g->SetzeZulassenAendern(d.zeilengitterBearbeitbar);
  g->SetzeZulassenLoeschen(d.zeilengitterBearbeitbar);
  g->SetzeMarkierungsstil(d.zeilengitterBearbeitbar ? DatenGitter::Markierungsstil::SchwebenderEditor
                                                    : DatenGitter::Markierungsstil::Keiner);
  if (d.zeilengitterBearbeitbar) g->Ansicht()->horizontalScrollBar()->setValue(0);
  StatusAktualisieren();
  const int nr = g->SpaltenIndex(QStringLiteral("OPVorgangNr"));
  if (nr >= 0) g->SetzeDropDown(nr, mitOPListe ? m_opListe : nullptr);
}

void ZahlungZeilenbereich::ZurNeuenZeile() {
  const int spalte = m_gitter->AktuelleSpalte() >= 0 ? m_gitter->AktuelleSpalte() : ErsteSichtbareSpalte(*m_gitter);
  if (spalte >= 0) m_gitter->SetzeAktuelleZelle(m_gitter->ZeilenAnzahl(), spalte);
  m_gitter->Ansicht()->setFocus();
}

bool ZahlungZeilenbereich::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == m_gitter->Ansicht() && ereignis->type() == QEvent::FocusIn) {
    if (m_dienste.FormZustand().EingabeModus() && m_gitter->AktuelleZeile() < 0) {
      // Without a current row the first line (or the new row) becomes current, in the first shown column.
      const int erste = ErsteSichtbareSpalte(*m_gitter);
      if (erste >= 0) m_gitter->SetzeAktuelleZelle(0, erste);
    }
    StatusAktualisieren();
  }
  return QObject::eventFilter(objekt, ereignis);
}

void ZahlungZeilenbereich::VorSpalte(int spalte, QVariant& wert) {
  ZahlungsformularZustand& z = m_dienste.FormZustand();
  const QString feld = m_gitter->Spalte(spalte).feld;
  const Zeilenvorlagen& vorlagen = z.Einstellungen().vorlagen;
  if (const auto betragsspalte = AlsBetragsSpalte(feld)) {
    ZeilenBetraege b;
    b.opBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("OPBetrag")));
    b.skontoBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("SkontoBetrag")));
    b.zahlungsBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("ZahlungsBetrag")));
    BetragEingeben(b, *betragsspalte, WaehrungAusWert(wert));
    const std::array<std::pair<BetragsSpalte, std::optional<Waehrung>>, 3> werte = {
        std::pair{BetragsSpalte::OPBetrag, b.opBetrag}, std::pair{BetragsSpalte::SkontoBetrag, b.skontoBetrag},
        std::pair{BetragsSpalte::ZahlungsBetrag, b.zahlungsBetrag}};
    for (const auto& [s, w] : werte) {
      if (s == *betragsspalte) wert = WertAusWaehrung(w);
      else m_gitter->PufferwertSetzen(BetragsSpaltenFeld(s), WertAusWaehrung(w));
    }
  } else if (feld == QStringLiteral("OPVorgangNr")) {
    const QString nr = wert.toString();
    if (m_gitter->DropDown(spalte) == m_opListe && !nr.isEmpty() &&
        m_opListe->Wert(QStringLiteral("VorgangsNr")).toString() == nr) {
      OffenerPosten p = OffenerPostenLesen([this](const QString& spalte) { return m_opListe->Wert(spalte); });
      p.vorgangsNr = nr;
      const OPZeilenwerte w =
          OffenenPostenUebernehmen(p, vorlagen, Zustand().Optionen().AutoVerwRgDatumKurzFormat, m_zeilenBreite);
      m_gitter->PufferwertSetzen(QStringLiteral("Vorgangsdatum"), WertAusDatum(w.vorgangsdatum));
      m_gitter->PufferwertSetzen(QStringLiteral("OPVorgangsArt"), WertAusText(w.opVorgangsArt));
      m_gitter->PufferwertSetzen(QStringLiteral("OPBetrag"), WertAusWaehrung(w.betraege.opBetrag));
      m_gitter->PufferwertSetzen(QStringLiteral("SkontoBetrag"), WertAusWaehrung(w.betraege.skontoBetrag));
      m_gitter->PufferwertSetzen(QStringLiteral("ZahlungsBetrag"), WertAusWaehrung(w.betraege.zahlungsBetrag));
      m_gitter->PufferwertSetzen(QStringLiteral("Verwendungszweck"), WertAusText(w.verwendungszweck));
    } else if (!m_gitter->DropDown(spalte)) {
      const auto text = TextAusVorgangsNr(nr, TextAusWert(m_zeilen->Feld(QStringLiteral("Verwendungszweck"))), vorlagen,
                                          m_zeilenBreite);
      if (text) m_gitter->PufferwertSetzen(QStringLiteral("Verwendungszweck"), *text);
    }
  } else if (feld == QStringLiteral("Vorgangsdatum")) {
    const int nrSpalte = m_gitter->SpaltenIndex(QStringLiteral("OPVorgangNr"));
    const auto datum = DatumAusWert(wert);
    if (datum && !m_gitter->DropDown(nrSpalte)) {
      const QString text = TextAusWert(m_zeilen->Feld(QStringLiteral("Verwendungszweck")));
      m_gitter->PufferwertSetzen(QStringLiteral("Verwendungszweck"),
                                 TextMitVorgangsdatum(text, *datum, Zustand().Optionen().AutoVerwRgDatumKurzFormat,
                                                      m_zeilenBreite));
    }
  }
  z.ZeilenGeaendertSetzen(true);
}

void ZahlungZeilenbereich::VorSpeichern(bool& abbrechen) {
  Datenbank* db = m_dienste.Db();
  if (!m_dienste.FormZustand().AnzeigeBereit() || !m_zeilen || !db) return;
  Verwendungszweckzeile z;
  const QVariant lfd = m_zeilen->Feld(QStringLiteral("LfdNr"));
  if (m_zeilen->EditMode() != EditModus::Neu && !lfd.isNull()) z.lfdNr = lfd.toLongLong();
  z.zahlungNr = m_dienste.AktuelleZahlungNr().value_or(-1);
  z.zeilenNr = int(m_zeilen->Ganzzahl(QStringLiteral("ZeilenNr")));
  z.verwendungszweck = m_zeilen->Text(QStringLiteral("Verwendungszweck"));
  z.opVorgangNr = m_zeilen->Text(QStringLiteral("OPVorgangNr"));
  z.vorgangsdatum = DatumAusWert(m_zeilen->Feld(QStringLiteral("Vorgangsdatum")));
  z.opVorgangsArt = m_zeilen->Text(QStringLiteral("OPVorgangsArt"));
  z.betraege.opBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("OPBetrag")));
  z.betraege.skontoBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("SkontoBetrag")));
  z.betraege.zahlungsBetrag = WaehrungAusWert(m_zeilen->Feld(QStringLiteral("ZahlungsBetrag")));
  // The core stores the line (limit, numbering, cleaning); the grid's own write is not needed.
  const ZeilenErgebnis r = ZeileSpeichern(*db, z, &m_dienste.GezeigteZeilen());
  switch (r.art) {
    case ZeilenErgebnis::Art::Gespeichert:
      m_gitter->ZeileVerwerfen();
      m_dienste.FormZustand().ZeilenGeaendertSetzen(true);
      NachZeilenaenderung();
      return;
    case ZeilenErgebnis::Art::Abgelehnt:
      Meldung::Warnung(r.meldung, {}, m_fenster);
      if (r.fokusAufText) {
        m_gitter->SetzeAktuelleSpalte(m_gitter->SpaltenIndex(QStringLiteral("Verwendungszweck")));
        abbrechen = true;  // the row stays in editing
      } else {
        m_gitter->ZeileVerwerfen();  // a sixth line: the input is dropped
      }
      return;
    case ZeilenErgebnis::Art::Veraltet:
      // The input goes; the stored lines are shown. Not stored, the line keeps a save of the payment back.
      m_gitter->ZeileVerwerfen();
      m_dienste.ZeilenInzwischenGeaendert(r.fehler);
      abbrechen = true;
      return;
    case ZeilenErgebnis::Art::Fehler:
      Meldung::Fehler(r.meldung, {}, m_fenster);
      abbrechen = true;
      return;
  }
}

void ZahlungZeilenbereich::Taste(GitterTaste& t) {
  DatenGitter* g = m_gitter;
  const ZahlungsformularZustand& z = m_dienste.FormZustand();
  ZeilengitterTastenKontext k;
  k.modifikatoren = t.modifikatoren;
  k.imFilter = t.imFilter;
  k.imEditor = t.imEditor;
  k.editorOffen = Editor() != nullptr;
  k.listeOffen = g->DropDownOffen();
  k.eingabeModus = z.EingabeModus();
  k.stil = StilVon(g->MarkierungsStil());
  k.zeile = g->AktuelleZeile();
  k.spalte = g->AktuelleSpalte();
  const bool spalteGueltig = k.spalte >= 0 && k.spalte < g->SpaltenAnzahl();
  const QList<int> sichtbar = SichtbareSpalten(*g);
  if (spalteGueltig) {
    k.feld = g->Spalte(k.spalte).feld;
    k.wertEditor = g->Spalte(k.spalte).editor != GitterEditor::Text;
    k.ersteSpalte = !sichtbar.isEmpty() && k.spalte == sichtbar.front();
    k.letzteSpalte = !sichtbar.isEmpty() && k.spalte == sichtbar.back();
  }
  k.zeilenAnzahl = g->ZeilenAnzahl();
  k.zellTextLeer = k.zeile < 0 || !spalteGueltig || g->ZellText(k.zeile, k.spalte).isEmpty();
  k.neueZeile = k.zeile >= 0 && g->IstNeueZeile(k.zeile);
  // A line being typed: values stored in the row's buffer, or typed into the open editor.
  QLineEdit* editor = Editor();
  k.zeileAusstehend = g->ZeileAusstehend() || (editor && editor->isModified());
  k.aufAbPfeil = z.Einstellungen().aufAbPfeilVerwenden;
  if (t.taste == Qt::Key_Delete) k.ausgewaehlt = int(g->AusgewaehlteZeilen().size());
  k.neueZeilenErlaubt = g->ZulassenNeu();
  k.speicherfeld = z.Einstellungen().speicherfeld;

  const ZeilengitterAktion aktion = ZeilengitterTaste(t.taste, k);
  switch (aktion) {
    case ZeilengitterAktion::Keine: return;
    case ZeilengitterAktion::ZelleOeffnenAnfang:
    case ZeilengitterAktion::ZelleOeffnenEnde:
      if (!g->ZelleBearbeiten()) return;
      if (QLineEdit* editor = Editor())
        editor->setCursorPosition(t.taste == Qt::Key_Left ? 0 : int(editor->text().size()));
      break;
    case ZeilengitterAktion::ZeileVerwerfen: g->ZeileVerwerfen(); break;
    case ZeilengitterAktion::Zeilenauswahl: {
      // From typing into lines back to selecting them; the empty new row is left for the last stored line.
      int zeile = k.zeile;
      if (zeile >= 0 && k.neueZeile) zeile = g->ZeilenAnzahl() - 1;
      g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::Zeilenauswahl);
      if (zeile >= 0) g->SetzeAktuelleZelle(zeile, std::max(0, k.spalte));
      StatusAktualisieren();
      break;
    }
    case ZeilengitterAktion::Schliessen: m_dienste.BefehlAusfuehren(Zahlungsbefehl::Schliessen); break;
    case ZeilengitterAktion::Zellbearbeitung: {
      // From selecting lines to typing into them, starting at the item number when it is shown.
      const int nr = g->SpaltenIndex(QStringLiteral("OPVorgangNr"));
      const int ziel = nr >= 0 && g->SpalteSichtbar(nr) ? nr : g->SpaltenIndex(QStringLiteral("Verwendungszweck"));
      g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::SchwebenderEditor);
      g->SetzeAktuelleZelle(std::max(0, g->AktuelleZeile()), ziel);
      StatusAktualisieren();
      break;
    }
    case ZeilengitterAktion::Speichern:
      t.geschluckt = true;
      // What was typed into the cell goes into the line first; a refused line keeps the payment open.
      if (!EditorUebernehmen()) return;
      if (g->ZeileAusstehend() && !g->ZeileSpeichern()) return;
      m_dienste.BefehlAusfuehren(Zahlungsbefehl::Neu);
      return;
    case ZeilengitterAktion::WieTab: TabTasteSenden(g->Ansicht()); break;
    case ZeilengitterAktion::WieUmschaltTab: UmschaltTabTasteSenden(g->Ansicht()); break;
    case ZeilengitterAktion::ZelleWeiter:
    case ZeilengitterAktion::ZelleZurueck: {
      // What was typed goes into the line first; a value the column refuses keeps the cursor.
      if (!EditorUebernehmen()) break;
      const qsizetype i = sichtbar.indexOf(k.spalte) + (t.taste == Qt::Key_Backtab ? -1 : 1);
      if (i >= 0 && i < sichtbar.size()) g->SetzeAktuelleZelle(k.zeile, sichtbar.at(i));
      break;
    }
    case ZeilengitterAktion::ZeileWeiter:
    case ZeilengitterAktion::ZeileRunter:
    case ZeilengitterAktion::ZeileAbschliessen: {
      if (!EditorUebernehmen()) break;
      if (g->ZeileAusstehend() && !g->ZeileSpeichern()) break;  // a refused line stays for correction
      if (aktion == ZeilengitterAktion::ZeileAbschliessen) {
        TabTasteSenden(g->Ansicht());
        break;
      }
      // Storing requeried the lines: the next row is the line below, or the new row.
      const int spalte = aktion == ZeilengitterAktion::ZeileRunter ? k.spalte : sichtbar.value(0, k.spalte);
      g->SetzeAktuelleZelle(k.zeile + 1, spalte);
      StatusAktualisieren();
      break;
    }
    case ZeilengitterAktion::ZeileZurueck:
      if (!EditorUebernehmen()) break;
      g->SetzeAktuelleZelle(k.zeile - 1, sichtbar.value(sichtbar.size() - 1, k.spalte));
      StatusAktualisieren();
      break;
    case ZeilengitterAktion::WertAendern: EditorPfeil(k.spalte, t.taste == Qt::Key_Up); break;
    case ZeilengitterAktion::MarkierteLoeschen: AusgewaehlteLoeschen(); break;
    case ZeilengitterAktion::WertVonOben: g->ZellwertSetzen(k.spalte, g->Wert(k.zeile - 1, k.spalte)); break;
  }
  t.geschluckt = true;
}

bool ZahlungZeilenbereich::EditorPfeil(int spalte, bool hoch) {
  // Up and down change the value in the amount and date editors, as in the fields outside the grid.
  QLineEdit* editor = Editor();
  if (!editor) return false;
  switch (m_gitter->Spalte(spalte).editor) {
    case GitterEditor::Zahl: {
      const QString text = editor->text().trimmed();
      const std::optional<Waehrung> wert = text.isEmpty() ? Waehrung() : Waehrung::ParseDeutsch(text);
      if (!wert) return true;  // an unreadable text stays for the user to correct
      const Waehrung neu = *wert + (hoch ? Waehrung::AusEuro(1) : -Waehrung::AusEuro(1));
      editor->setText(GitterFormatierung::Bearbeitung(QVariant::fromValue(neu), FeldTyp::Waehrung, GitterEditor::Zahl));
      editor->setModified(true);
      editor->selectAll();
      return true;
    }
    case GitterEditor::Datum: {
      // One day on or back; an empty or incomplete date stays as it is. The key is used up either way.
      if (const auto d = DatumAusEingabe(editor->text())) {
        editor->setText(DatumFeld::Text(d->addDays(hoch ? 1 : -1)));
        editor->setModified(true);
      }
      return true;
    }
    case GitterEditor::Text: return false;
  }
  return false;
}

bool ZahlungZeilenbereich::EditorUebernehmen() {
  // The open editor's text into the line, through the column events (amount rules, open items).
  const QPointer<QLineEdit> editor = Editor();
  if (!editor || !editor->isModified()) return true;
  QAbstractItemView* v = m_gitter->Ansicht();
  v->itemDelegate()->setModelData(editor, v->model(), v->currentIndex());
  // A text the column cannot read stays in the editor (the grid has said why).
  return editor && !editor->isModified();
}

void ZahlungZeilenbereich::AusgewaehlteLoeschen() {
  DatenGitter* g = m_gitter;
  Datenbank* db = m_dienste.Db();
  if (!db) return;
  if (g->ZeileAusstehend()) g->ZeileVerwerfen();
  std::vector<int> zeilen = g->AusgewaehlteZeilen();
  if (zeilen.empty() && g->AktuelleZeile() >= 0 && !g->IstNeueZeile(g->AktuelleZeile())) zeilen.push_back(g->AktuelleZeile());
  QList<qint64> nummern;
  for (int zeile : zeilen) {
    const QVariant lfd = g->Wert(zeile, QStringLiteral("LfdNr"));
    if (!lfd.isNull()) nummern << lfd.toLongLong();
  }
  if (nummern.isEmpty()) return;
  // All in one transaction; the sums then renumber the rest and carry the total.
  const DbFehler f = ZeilenLoeschen(*db, m_dienste.AktuelleZahlungNr().value_or(-1), nummern, &m_dienste.GezeigteZeilen());
  g->Ansicht()->clearSelection();
  if (f.Nummer == DbFehlerNr::InzwischenGeaendert) {
    m_dienste.ZeilenInzwischenGeaendert(f);
    return;
  }
  if (f) m_dienste.DbFehlerMelden(QStringLiteral("Fehler beim Speichern der Verwendungszweck-Zeile!"), f);
  else m_dienste.FormZustand().ZeilenGeaendertSetzen(true);
  NachZeilenaenderung();
  if (g->AktuelleZeile() >= 0) g->SetzeAktuelleZelle(g->AktuelleZeile(), std::max(0, g->AktuelleSpalte()));
}

QLineEdit* ZahlungZeilenbereich::Editor() const {
  // The cell editor is a line edit on the grid's viewport; closed ones are hidden until deleted.
  const auto editoren = m_gitter->Ansicht()->viewport()->findChildren<QLineEdit*>();
  for (auto it = editoren.rbegin(); it != editoren.rend(); ++it)
    if (!(*it)->isHidden() && (*it)->property("gitterEditor").isValid()) return *it;
  return nullptr;
}

QString ZahlungZeilenbereich::Statustext() const {
  if (!m_dienste.FormZustand().EingabeModus()) return QStringLiteral("Diese Einzelzeilen sind für die Zahlung vorhanden");
  const int spalte = m_gitter->AktuelleSpalte();
  if (spalte < 0 || spalte >= m_gitter->SpaltenAnzahl()) return QStringLiteral("Eingabefeld: ");
  QString text = QStringLiteral("Eingabefeld: ") + m_gitter->Spalte(spalte).titel;
  // F4 opens the open-item list where one is attached.
  if (m_gitter->DropDown(spalte)) text += QStringLiteral(" Auswahlliste<F4>");
  return text;
}

void ZahlungZeilenbereich::StatusAktualisieren() {
  const QString text = Statustext();
  // The status line takes a control's status tip when it gets the focus.
  m_gitter->Ansicht()->setStatusTip(text);
  QWidget* fokus = QApplication::focusWidget();
  if (fokus && (fokus == m_gitter || m_gitter->isAncestorOf(fokus))) m_dienste.StatusSetzen(text);
}
