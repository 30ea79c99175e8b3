#include "payments/core/ZahlungsformularZustand.h"

#include "platform/settings/Registrierung.h"

namespace {

const QString kJa = QStringLiteral("1");

}  // namespace

const QString& ZahlungsformularAbschnitt() {
  static const QString s = QStringLiteral("Formular State");
  return s;
}

ZahlungsformularEinstellungen ZahlungsformularEinstellungenLesen(const EinstellungsLeser& registry,
                                                                 const EinstellungsLeser& tabelle) {
  ZahlungsformularEinstellungen e;
  e.neueingabeFortsetzen = registry(QStringLiteral("NeueingabeFortsetzen"), kJa) == kJa;
  e.speicherfeld = SpeicherfeldAusText(registry(QStringLiteral("Speicherfeld"), QStringLiteral("0")));
  e.vorlagen = ZeilenvorlagenAusText(registry(QStringLiteral("AutoVerwendungszweck"), ZeilenvorlagenVorgabe()));
  e.optischeFehlerKontrolle = registry(QStringLiteral("OptischeFehlerKontrolle"), kJa) == kJa;
  e.aufAbPfeilVerwenden = registry(QStringLiteral("AufAbPfeilVerwenden"), kJa) == kJa;

  // The kind is upper-cased once here; everything after compares exactly.
  QString art = tabelle(QStringLiteral("AktuelleZahlungsart:"), QStringLiteral("G")).trimmed().toUpper();
  if (art != QLatin1String("G") && art != QLatin1String("L")) art = QStringLiteral("G");
  if (art == QLatin1String("G")) {
    e.zahlart = Zahlart::Ueberweisung;
  } else {
    const QString lastschrift = tabelle(QStringLiteral("AktuelleLastschrifttart"), QStringLiteral("B")).trimmed();
    e.zahlart = lastschrift == QLatin1String("B") ? Zahlart::BasisLastschrift : Zahlart::FirmenLastschrift;
  }
  for (int i = 0; i < 4; ++i)
    e.tabFolge[i] = EinstellungZahl(tabelle(QStringLiteral("TabfolgeEinAus%1").arg(i), QStringLiteral("0"))).value_or(0) != 0;
  e.zeilenanzeige = ZeilenanzeigeAusText(tabelle(QStringLiteral("AnzeigeVerwendungszweckzeilen"), QStringLiteral("2")));
  return e;
}

void ZahlungsformularEinstellungenSpeichern(const ZahlungsformularEinstellungen& e,
                                            const EinstellungsSchreiber& tabelle) {
  for (int i = 0; i < 4; ++i)
    tabelle(QStringLiteral("TabfolgeEinAus%1").arg(i), e.tabFolge[i] ? QStringLiteral("1") : QStringLiteral("0"));
  tabelle(QStringLiteral("AnzeigeVerwendungszweckzeilen"), ZeilenanzeigeAlsText(e.zeilenanzeige));
  tabelle(QStringLiteral("AktuelleZahlungsart:"),
          e.zahlart == Zahlart::Ueberweisung ? QStringLiteral("G") : QStringLiteral("L"));
  tabelle(QStringLiteral("AktuelleLastschrifttart"),
          e.zahlart == Zahlart::BasisLastschrift ? QStringLiteral("B") : QStringLiteral("F"));
}

ZahlungsformularZustand::ZahlungsformularZustand(ZahlungsformularEinstellungen einstellungen)
    : m_einstellungen(std::move(einstellungen)) {}

QString ZahlungsformularZustand::AktuelleArt() const {
  return IstLastschrift() ? QStringLiteral("L") : QStringLiteral("G");
}

void ZahlungsformularZustand::ZahlartSetzen(Zahlart zahlart) {
  m_einstellungen.zahlart = zahlart;
  m_nurFehlerhafte = false;
}

std::optional<int> ZahlungsformularZustand::SequenzBasis() const {
  switch (AktuelleZahlart()) {
    case Zahlart::BasisLastschrift: return 1;
    case Zahlart::FirmenLastschrift: return 11;
    default: return std::nullopt;
  }
}

int ZahlungsformularZustand::SequenzIndex(int mandatSequenz) const {
  const auto basis = SequenzBasis();
  if (!basis) return -1;
  const int index = mandatSequenz - *basis;
  return index >= 0 && index <= 3 ? index : -1;
}

std::optional<int> ZahlungsformularZustand::SequenzWert(int index) const {
  const auto basis = SequenzBasis();
  if (!basis || index < 0 || index > 3) return std::nullopt;
  return *basis + index;
}

Formularmodus ZahlungsformularZustand::Modus() const {
  if (!m_eingabeModus) return Formularmodus::Blaettern;
  return m_neuerDatensatz ? Formularmodus::Neueingabe : Formularmodus::Aendern;
}

void ZahlungsformularZustand::NeueingabeBeginnen(std::optional<qint64> gemerktePosition) {
  m_gemerktePosition = gemerktePosition;
  m_eingabeModus = true;
  m_neuerDatensatz = true;
  m_zeilenGeaendert = false;
}

void ZahlungsformularZustand::AendernBeginnen(std::optional<qint64> gemerktePosition) {
  m_gemerktePosition = gemerktePosition;
  m_eingabeModus = true;
  m_neuerDatensatz = false;
  m_zeilenGeaendert = false;
}

void ZahlungsformularZustand::EingabeBeenden() {
  m_eingabeModus = false;
  m_neuerDatensatz = false;
  m_zeilenGeaendert = false;
}

bool ZahlungsformularZustand::SuchmodusUmschalten() {
  m_suchfilter = Bedingung();
  m_suchmodus = !m_suchmodus;
  return m_suchmodus;
}
