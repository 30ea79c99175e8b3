#include "payments/ZahlungBrowse.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "common/FilterBedingung.h"
#include "common/Programmzustand.h"
#include "payments/ZahlungsformularDienste.h"
#include "payments/core/Tastenbelegung.h"
#include "payments/core/ZahlungenAbfrage.h"
#include "platform/db/Recordset.h"
#include "platform/settings/Registrierung.h"
#include "platform/ui/DatenGitter.h"
#include "platform/ui/DatensatzNavigator.h"
#include "platform/ui/Farben.h"
#include "platform/ui/FeldAktionen.h"
#include "platform/ui/FilterLeiste.h"
#include "platform/ui/ZahlFeld.h"

ZahlungBrowse::ZahlungBrowse(ZahlungsformularDienste& dienste, QWidget* fenster)
    : QObject(fenster), m_dienste(dienste) {
  m_gitter = new DatenGitter(fenster);
  m_gitter->setObjectName(QStringLiteral("TDBGrid1"));
  DatenGitter* g = m_gitter;
  g->SetzeSpaltenHalten(true);
  struct Sp {
    const char* feld;
    const char* titel;
  };
  static const Sp spalten[] = {{"Name", "Name"},
                               {"Verwendungszweck1", "Verwendungszweck"},
                               {"ZahlungGesamt", "Betrag"},
                               {"Fällig", "Fällig"},
                               {"IBAN", "IBAN"},
                               {"BIC", "BIC"},
                               {"Bank", "Bank"},
                               {"OPKontoNr", "Adress-Nr."},   // the address number, not the bank account
                               {"Textschlüssel", "Textschlüssel"},
                               {"MandatReferenz", "Mandat-Referenz"},
                               {"MandatDatum", "Mandat-Datum"}};
  for (const Sp& s : spalten) {
    const int i = g->SpalteHinzufuegen(QString::fromUtf8(s.feld), QString::fromUtf8(s.titel));
    if (QString::fromUtf8(s.feld) == QStringLiteral("ZahlungGesamt")) {
      g->SetzeSpaltenformat(i, GitterFormat::Standard);
      g->SetzeAusrichtung(i, Qt::AlignRight | Qt::AlignVCenter);
    }
  }
  g->SetzeSpaltenStrecken(true);
  g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
  g->SetzeFilterErsteller(FilterErstellerAus<FilterSpalte>(&FilterBedingungErstellen));
  g->SetzeFilterQualifiziert(false);
  g->SetzeFilterBehandlung([this](const Bedingung& filter, int spalte) {
    m_dienste.FormZustand().SuchfilterSetzen(filter);
    const DbFehler f = neuLaden ? neuLaden() : DbFehler();
    SaveSetting(ZahlungsformularAbschnitt(), QStringLiteral("Suchspalte"), QString::number(spalte));
    return f;
  });
  g->Ansicht()->setStatusTip(QStringLiteral("Blättern in den vorhandenen Zahlungen"));
  g->TasteRunter = [this](GitterTaste& t) { Taste(t, false); };
  g->TasteHoch = [this](GitterTaste& t) { Taste(t, true); };
  connect(g, &DatenGitter::ZeileSpalteGewechselt, this, [this](int alteZeile, int) {
    if (m_gitter->AktuelleZeile() != alteZeile) Q_EMIT ZeileGewechselt();
    if (m_gitter->ImFilter() && m_gitter->AktuelleSpalte() >= 0)
      m_dienste.StatusSetzen(QStringLiteral("Sucheingabe für: ") + m_gitter->Spalte(m_gitter->AktuelleSpalte()).titel);
  });

  m_navigator = new DatensatzNavigator(fenster);
  connect(m_navigator, &DatensatzNavigator::Bewegen, this, [this](NavigatorBereich b) {
    const int n = m_gitter->ZeilenAnzahl();
    if (n == 0) return;
    int zeile = std::max(0, m_gitter->AktuelleZeile());
    switch (b) {
      case NavigatorBereich::Erster: zeile = 0; break;
      case NavigatorBereich::Letzter: zeile = n - 1; break;
      case NavigatorBereich::Vorheriger: zeile = std::max(0, zeile - 1); break;
      case NavigatorBereich::Naechster: zeile = std::min(n - 1, zeile + 1); break;
      case NavigatorBereich::SeiteZurueck: zeile = std::max(0, zeile - 10); break;
      case NavigatorBereich::SeiteVor: zeile = std::min(n - 1, zeile + 10); break;
      case NavigatorBereich::Beschriftung: return;
    }
    AufZeile(zeile);
  });
}

ZahlungBrowse::~ZahlungBrowse() = default;

void ZahlungBrowse::NavigatorAnordnen(QBoxLayout* zeile) { zeile->addWidget(m_navigator, 1); }

void ZahlungBrowse::SummeAnordnen(QBoxLayout* zeile) {
  QWidget* fenster = m_gitter->parentWidget();
  m_gesamtBeschriftung = new QLabel(QStringLiteral("Summe Gutschriften"), fenster);
  m_gesamt = new ZahlFeld(fenster);
  m_gesamt->setReadOnly(true);
  m_gesamt->AnzeigeFormatSetzen(ZahlFormat::Summe());
  m_gesamt->BreitenprobeSetzen(ZahlFeld::SummenBreitenprobe());
  m_gesamt->setFocusPolicy(Qt::NoFocus);
  zeile->addWidget(m_gesamtBeschriftung);
  zeile->addWidget(m_gesamt);
}

ZahlungenFilter ZahlungBrowse::Liste() const {
  return ZahlungenFilterAus(m_dienste.FormZustand(), Zustand().AktuelleAbsenderNr());
}

DbFehler ZahlungBrowse::Laden() {
  Datenbank* db = m_dienste.Db();
  const ZahlungsformularZustand& z = m_dienste.FormZustand();
  DbFehler fehler;
  auto rs = Recordset::Oeffnen(*db, ZahlungenAbfrageErstellen(Liste()), RecordsetTyp::Dynaset, fehler);
  m_gitter->SetzeRecordset(nullptr);
  m_zahlungen = std::move(rs);
  if (!m_zahlungen) {
    // The old rows never stay on screen after a failed query.
    m_gitter->LeerAnzeigen();
    m_dienste.DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), fehler);
  } else {
    m_gitter->SetzeRecordset(m_zahlungen.get());
  }
  const bool lastschrift = z.IstLastschrift();
  for (const char* feld : {"MandatReferenz", "MandatDatum"}) {
    const int spalte = m_gitter->SpaltenIndex(QString::fromUtf8(feld));
    m_gitter->SetzeSpalteSichtbar(spalte, lastschrift);
    // A column shown again after being hidden gets a usable width back.
    if (lastschrift && m_gitter->Spaltenbreite(spalte) < 40) m_gitter->SetzeSpaltenbreite(spalte, 100);
  }
  return fehler;
}

int ZahlungBrowse::Anzahl() const { return m_zahlungen ? m_zahlungen->RecordCount() : 0; }

std::optional<qint64> ZahlungBrowse::ZahlungNrDerZeile() const {
  const int zeile = m_gitter->AktuelleZeile();
  if (!m_zahlungen || zeile < 0 || zeile >= m_gitter->ZeilenAnzahl()) return std::nullopt;
  return m_gitter->Wert(zeile, QStringLiteral("ZahlungNr")).toLongLong();
}

bool ZahlungBrowse::Ansteuern(qint64 zahlungNr) {
  // The number is the list's key: looked up, not searched row by row (which read every row up to it).
  const int zeile = m_gitter->ZeileVonSchluessel(QVariant(zahlungNr));
  if (zeile < 0) return false;
  AufZeile(zeile);
  return true;
}

void ZahlungBrowse::AufZeile(int zeile) { m_gitter->SetzeAktuelleZelle(zeile, std::max(0, m_gitter->AktuelleSpalte())); }

void ZahlungBrowse::ZeileNeuLesen(int zeile) {
  // Only this row: a refresh of the whole grid went to the first row and back, and each move showed a
  // payment with its lines.
  if (const DbFehler f = m_gitter->ZeileAktualisieren(zeile))
    m_dienste.DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
  if (m_gitter->AktuelleZeile() != zeile) AufZeile(zeile);
}

void ZahlungBrowse::GesamtsummeAnzeigen(const Formulardarstellung& d) {
  ZahlungenSumme summe;
  QString grund;
  Datenbank* db = m_dienste.Db();
  if (db && m_zahlungen) {
    // Every listed payment is read: the hourglass while that runs.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DbFehler f = GesamtsummeErmitteln(*db, Liste(), summe);
    QApplication::restoreOverrideCursor();
    // Never a total from before beside the list: what cannot be formed shows "###" and says why; the
    // listed payments stay.
    if (f) {
      summe.summe.reset();
      grund = f.Beschreibung;
      m_dienste.DbFehlerMelden(QStringLiteral("Fehler bei der Datenermittlung!"), f);
    } else if (!summe.summe) {
      grund = Waehrung::SummeNichtBildbarText();
    }
  }
  m_summe = summe.summe;
  m_gesamtBeschriftung->setText(d.gesamtsummeBeschriftung);
  m_gesamt->setStatusTip(QStringLiteral("Infoanzeige ") + d.gesamtsummeBeschriftung);
  m_gesamt->SummeSetzen(m_summe, grund);
  const QColor farbe = d.farbeBlau ? Farben::Blau() : Farben::Rot();
  m_gesamt->TextFarbeSetzen(farbe);
  m_gesamt->NegativFarbeSetzen(d.farbeBlau ? Farben::Rot() : Farben::Blau());
  QPalette l = m_gesamtBeschriftung->palette();
  l.setColor(QPalette::WindowText, farbe);
  m_gesamtBeschriftung->setPalette(l);
}

bool ZahlungBrowse::SummeVerschieben(const Waehrung& vorher, const Waehrung& nachher) {
  if (!m_summe) return false;
  const std::optional<Waehrung> differenz = Waehrung::Subtrahiert(nachher, vorher);
  const std::optional<Waehrung> neu = differenz ? Waehrung::Addiert(*m_summe, *differenz) : std::nullopt;
  if (!neu) return false;
  m_summe = neu;
  m_gesamt->SummeSetzen(m_summe, {});
  return true;
}

void ZahlungBrowse::SuchmodusAnzeigen(bool an) {
  DatenGitter* g = m_gitter;
  if (!an) {
    g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::ZeileHervorgehoben);
    FeldAktionen::ZeilenWeiter(g->Ansicht(), 2);
    return;
  }
  bool ok = false;
  const int spalte = GetSetting(ZahlungsformularAbschnitt(), QStringLiteral("Suchspalte"), QString()).toInt(&ok);
  const int aktuelle = ok && spalte >= 0 && spalte < g->SpaltenAnzahl() ? spalte : std::max(0, g->AktuelleSpalte());
  g->SetzeMarkierungsstil(DatenGitter::Markierungsstil::SchwebenderEditor);
  // The status line follows the filter cell that gets the focus.
  for (int i = 0; i < g->SpaltenAnzahl(); ++i)
    if (QLineEdit* zelle = g->Filter()->Editor(i)) zelle->setStatusTip(QStringLiteral("Sucheingabe für: ") + g->Spalte(i).titel);
  g->FilterZelleBearbeiten(aktuelle);
}

void ZahlungBrowse::Taste(GitterTaste& t, bool losgelassen) {
  BrowseGitterKontext k;
  k.imFilterbalken = t.imFilter;
  k.filterbalkenSichtbar = m_gitter->Filterleiste();
  const Tastenaktion a = losgelassen ? BrowseGitterTasteLosgelassen(t.taste, k) : BrowseGitterTasteGedrueckt(t.taste, k);
  if (a.befehl == Zahlungsbefehl::Keiner) return;
  if (!losgelassen && (t.modifikatoren & (Qt::ControlModifier | Qt::AltModifier))) return;
  m_dienste.BefehlAusfuehren(a.befehl);
  t.geschluckt = a.verbraucht;
}
