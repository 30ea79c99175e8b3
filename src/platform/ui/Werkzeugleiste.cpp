#include "platform/ui/Werkzeugleiste.h"

#include "platform/settings/Registrierung.h"
#include "platform/ui/Bildliste.h"

#include <QAction>

namespace {

const char* const kBeschriftung = "tamoBeschriftung";
const char* const kBild = "tamoBild";
const char* const kTooltip = "tamoTooltip";
const char* const kGedrueckt = "tamoGedrueckt";

}  // namespace

Werkzeugleiste::Werkzeugleiste(QWidget* eltern) : QToolBar(eltern) {
  setMovable(false);
  setFloatable(false);
  DarstellungSetzen(true, false);
}

QString Werkzeugleiste::OhneKuerzel(const QString& beschriftung) {
  QString t;
  for (int i = 0; i < beschriftung.size(); ++i) {
    if (beschriftung.at(i) == QLatin1Char('&')) {
      if (i + 1 < beschriftung.size() && beschriftung.at(i + 1) == QLatin1Char('&')) {
        t += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    t += beschriftung.at(i);
  }
  return t;
}

QAction* Werkzeugleiste::KnopfHinzufuegen(const QString& schluessel, const QString& beschriftung,
                                          const QString& bild, const QString& tooltip) {
  auto* knopf = new QAction(this);
  knopf->setObjectName(schluessel);
  knopf->setProperty(kBeschriftung, beschriftung);
  knopf->setProperty(kBild, bild);
  knopf->setProperty(kTooltip, tooltip);
  knopf->setProperty(kGedrueckt, false);
  m_knoepfe.insert(schluessel, knopf);
  m_reihenfolge << schluessel;
  TextAktualisieren(knopf);
  BildAktualisieren(knopf);
  addAction(knopf);
  connect(knopf, &QAction::triggered, this, [this, knopf, schluessel] {
    // Qt toggles a checkable button on its own; the pressed look belongs to the window.
    if (knopf->isCheckable()) knopf->setChecked(knopf->property(kGedrueckt).toBool());
    Ausloesen(schluessel);
  });
  return knopf;
}

void Werkzeugleiste::TrennerHinzufuegen() { addSeparator(); }

void Werkzeugleiste::TextAktualisieren(QAction* knopf) {
  const QString beschriftung = OhneKuerzel(knopf->property(kBeschriftung).toString());
  const QString tooltip = knopf->property(kTooltip).toString();
  knopf->setText(beschriftung);
  knopf->setIconText(m_ohneText ? QString() : beschriftung);
  knopf->setToolTip(tooltip.isEmpty() ? beschriftung : tooltip);
}

void Werkzeugleiste::BildAktualisieren(QAction* knopf) {
  const QString bild = knopf->property(kBild).toString();
  const Bildliste& liste = m_klein ? Bildliste::Bilder16() : Bildliste::Bilder32();
  knopf->setIcon(bild.isEmpty() ? QIcon() : liste.Bild(bild));
}

void Werkzeugleiste::BeschriftungSetzen(const QString& schluessel, const QString& beschriftung) {
  if (QAction* k = Knopf(schluessel); k && k->property(kBeschriftung) != QVariant(beschriftung)) {
    k->setProperty(kBeschriftung, beschriftung);
    TextAktualisieren(k);
  }
}

QString Werkzeugleiste::Beschriftung(const QString& schluessel) const {
  const QAction* k = Knopf(schluessel);
  return k ? k->property(kBeschriftung).toString() : QString();
}

void Werkzeugleiste::BildSetzen(const QString& schluessel, const QString& bild) {
  // A new icon, even the same one, makes every button of the action lay itself out again.
  if (QAction* k = Knopf(schluessel); k && k->property(kBild) != QVariant(bild)) {
    k->setProperty(kBild, bild);
    BildAktualisieren(k);
  }
}

QString Werkzeugleiste::Bild(const QString& schluessel) const {
  const QAction* k = Knopf(schluessel);
  return k ? k->property(kBild).toString() : QString();
}

void Werkzeugleiste::TooltipSetzen(const QString& schluessel, const QString& tooltip) {
  if (QAction* k = Knopf(schluessel); k && k->property(kTooltip) != QVariant(tooltip)) {
    k->setProperty(kTooltip, tooltip);
    TextAktualisieren(k);
  }
}

QString Werkzeugleiste::Tooltip(const QString& schluessel) const {
  const QAction* k = Knopf(schluessel);
  return k ? k->property(kTooltip).toString() : QString();
}

void Werkzeugleiste::SichtbarSetzen(const QString& schluessel, bool sichtbar) {
  if (QAction* k = Knopf(schluessel)) k->setVisible(sichtbar);
}

bool Werkzeugleiste::Sichtbar(const QString& schluessel) const {
  const QAction* k = Knopf(schluessel);
  return k && k->isVisible();
}

void Werkzeugleiste::AktiviertSetzen(const QString& schluessel, bool aktiviert) {
  if (QAction* k = Knopf(schluessel)) k->setEnabled(aktiviert);
}

bool Werkzeugleiste::Aktiviert(const QString& schluessel) const {
  const QAction* k = Knopf(schluessel);
  return k && k->isEnabled();
}

void Werkzeugleiste::GedruecktSetzen(const QString& schluessel, bool gedrueckt) {
  if (QAction* k = Knopf(schluessel)) {
    k->setProperty(kGedrueckt, gedrueckt);
    if (gedrueckt) k->setCheckable(true);
    k->setChecked(gedrueckt);
  }
}

bool Werkzeugleiste::Gedrueckt(const QString& schluessel) const {
  const QAction* k = Knopf(schluessel);
  return k && k->property(kGedrueckt).toBool();
}

bool Werkzeugleiste::Druecken(const QString& schluessel) {
  const QAction* k = Knopf(schluessel);
  if (!k || !k->isVisible() || !k->isEnabled()) return false;
  Ausloesen(schluessel);
  return true;
}

void Werkzeugleiste::Ausloesen(const QString& schluessel) {
  // The handler checks again: a shortcut must never do more than the button could.
  const QAction* k = Knopf(schluessel);
  if (!k || !k->isVisible() || !k->isEnabled()) return;
  if (m_handler) m_handler(schluessel);
  Q_EMIT KnopfGeklickt(schluessel);
}

void Werkzeugleiste::DarstellungSetzen(bool kleineSymbole, bool ohneText) {
  m_klein = kleineSymbole;
  m_ohneText = ohneText;
  const int groesse = kleineSymbole ? 16 : 32;
  setIconSize(QSize(groesse, groesse));
  setToolButtonStyle(ohneText ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
  for (QAction* k : std::as_const(m_knoepfe)) {
    TextAktualisieren(k);
    BildAktualisieren(k);
  }
}

void Werkzeugleiste::DarstellungAusEinstellungen() {
  const Registrierung& r = Registrierung::Instanz();
  const QString abschnitt = QStringLiteral("Window State");
  DarstellungSetzen(r.Lesen(abschnitt, QStringLiteral("ArbeitsfensterKleineSymbole"), QStringLiteral("1")) ==
                        QStringLiteral("1"),
                    r.Lesen(abschnitt, QStringLiteral("ArbeitsfensterOhneText"), QStringLiteral("0")) ==
                        QStringLiteral("1"));
}
