#include "platform/ui/ZahlFeld.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionSpinBox>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "platform/ui/Eingabehinweis.h"
#include "platform/ui/Farben.h"
#include "platform/ui/Meldung.h"

namespace {

bool IstNegativErlaubt(const std::optional<Waehrung>& minimum) { return !minimum || minimum->IstNegativ(); }

// Decimals the value really has (0 to 4).
int NoetigeStellen(Waehrung w) {
  int64_t rest = w.Roh() % Waehrung::Skala;
  int stellen = 4;
  while (stellen > 0 && rest % 10 == 0) {
    rest /= 10;
    --stellen;
  }
  return stellen;
}

}  // namespace

ZahlFeld::ZahlFeld(QWidget* eltern) : QAbstractSpinBox(eltern) {
  setButtonSymbols(QAbstractSpinBox::NoButtons);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setKeyboardTracking(false);
  connect(this, &QAbstractSpinBox::editingFinished, this, &ZahlFeld::Uebernehmen);
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { FarbenAktualisieren(); });
  new Eingabehinweis(lineEdit(), [this] { return Eingabehinweis::ZahlErlaubt(m_ganzzahl); },
                     [this](const QString& hinweis) {
                       m_hinweis = hinweis;
                       Q_EMIT EingabeAbgelehnt(hinweis);
                     },
                     this);
  // The room for the text changes with the edit field's size and font.
  lineEdit()->installEventFilter(this);
  TextAktualisieren();
}

QSize ZahlFeld::minimumSizeHint() const {
  ensurePolished();
  const QFontMetrics fm(font());
  QStringList proben{m_anzeige.leerText,
                     AnzeigeText(m_maximum ? *m_maximum : Waehrung::AusEuro(m_ganzzahl ? 99999 : 9999999))};
  if (m_anzeige.nullText) proben << *m_anzeige.nullText;
  if (m_breitenprobe) proben << AnzeigeText(*m_breitenprobe) << AnzeigeText(-*m_breitenprobe);
  if (IstNegativErlaubt(m_minimum)) proben << AnzeigeText(m_minimum ? *m_minimum : Waehrung::AusEuro(m_ganzzahl ? -99999 : -9999999));
  int breite = 0;
  for (const QString& probe : std::as_const(proben)) breite = std::max(breite, fm.horizontalAdvance(probe));
  QStyleOptionSpinBox option;
  initStyleOption(&option);
  // The caret and the line edit's inner margins beside the text.
  const QSize inhalt(breite + 2 + 2 * 2, lineEdit()->sizeHint().height());
  const QSize groesse = style()->sizeFromContents(QStyle::CT_SpinBox, &option, inhalt, this);
  return {groesse.width(), QAbstractSpinBox::minimumSizeHint().height()};
}

QSize ZahlFeld::sizeHint() const {
  return {minimumSizeHint().width(), QAbstractSpinBox::sizeHint().height()};
}

void ZahlFeld::BreitenprobeSetzen(const Waehrung& probe) {
  m_breitenprobe = probe;
  updateGeometry();
}

void ZahlFeld::GanzzahlSetzen(bool ganzzahl) {
  updateGeometry();
  m_ganzzahl = ganzzahl;
  if (ganzzahl) {
    m_anzeige.nachkommastellen = 0;
    m_eingabe.nachkommastellen = 0;
    m_schritt = Waehrung::AusEuro(1);
    if (m_wert) m_wert = Waehrung::AusEuro(m_wert->Roh() / Waehrung::Skala);
  }
  TextAktualisieren();
}

void ZahlFeld::LeerErlaubtSetzen(bool erlaubt) {
  m_leerErlaubt = erlaubt;
  if (!erlaubt && !m_wert) WertSetzen(Waehrung());
}

void ZahlFeld::AnzeigeFormatSetzen(const ZahlFormat& format) {
  updateGeometry();
  m_anzeige = format;
  if (m_ganzzahl) m_anzeige.nachkommastellen = 0;
  TextAktualisieren();
}

void ZahlFeld::EingabeFormatSetzen(const ZahlFormat& format) {
  m_eingabe = format;
  if (m_ganzzahl) m_eingabe.nachkommastellen = 0;
  TextAktualisieren();
}

void ZahlFeld::MinimumSetzen(const std::optional<Waehrung>& minimum) {
  updateGeometry();
  m_minimum = minimum;
  if (m_wert) Zuweisen(Begrenzt(m_wert));
  TextAktualisieren();
}

void ZahlFeld::MaximumSetzen(const std::optional<Waehrung>& maximum) {
  updateGeometry();
  m_maximum = maximum;
  if (m_wert) Zuweisen(Begrenzt(m_wert));
  TextAktualisieren();
}

void ZahlFeld::BereichSetzen(qint64 minimum, qint64 maximum) {
  MinimumSetzen(Waehrung::AusEuro(minimum));
  MaximumSetzen(Waehrung::AusEuro(maximum));
}

void ZahlFeld::PfeileSetzen(bool pfeile) {
  updateGeometry();
  m_pfeiltasten = pfeile;
  setButtonSymbols(pfeile ? QAbstractSpinBox::UpDownArrows : QAbstractSpinBox::NoButtons);
}

QString ZahlFeld::AnzeigeText(const std::optional<Waehrung>& wert) const {
  if (!wert) return m_anzeige.leerText;
  if (wert->IstNull() && m_anzeige.nullText) return *m_anzeige.nullText;
  const bool eins = !m_anzeige.nachsatzEins.isEmpty() && *wert == Waehrung::AusEuro(1);
  return wert->FormatDeutsch(m_anzeige.tausenderpunkte, m_anzeige.nachkommastellen) +
         (eins ? m_anzeige.nachsatzEins : m_anzeige.nachsatz);
}

QString ZahlFeld::EingabeText(const std::optional<Waehrung>& wert) const {
  if (!wert) return {};
  if (wert->IstNull() && m_eingabe.nullText) return *m_eingabe.nullText;
  // Edit with every decimal the value has, so that entering and leaving never rounds it.
  const int stellen = qMax(m_eingabe.nachkommastellen, NoetigeStellen(*wert));
  return wert->FormatDeutsch(m_eingabe.tausenderpunkte, stellen) + m_eingabe.nachsatz;
}

std::optional<Waehrung> ZahlFeld::Deuten(const QString& text) const {
  QString t = text.trimmed();
  if (!m_eingabe.nachsatz.isEmpty() && t.endsWith(m_eingabe.nachsatz.trimmed()))
    t.chop(m_eingabe.nachsatz.trimmed().size());
  std::optional<Waehrung> w = Waehrung::ParseDeutsch(t.trimmed());
  if (w && m_ganzzahl && w->Roh() % Waehrung::Skala != 0) return std::nullopt;
  return w;
}

std::optional<Waehrung> ZahlFeld::Begrenzt(std::optional<Waehrung> wert) const {
  if (!wert) {
    if (m_leerErlaubt) return std::nullopt;
    wert = Waehrung();
  }
  if (m_minimum && *wert < *m_minimum) wert = m_minimum;
  if (m_maximum && *wert > *m_maximum) wert = m_maximum;
  return wert;
}

std::optional<Waehrung> ZahlFeld::Wert() const {
  if (!m_bearbeiten) return m_wert;
  const QString text = lineEdit()->text();
  if (text == EingabeText(m_wert)) return Begrenzt(m_wert);
  if (text.trimmed().isEmpty() || (m_eingabe.nullText && text == *m_eingabe.nullText && !text.isEmpty()))
    return Begrenzt(text.trimmed().isEmpty() ? std::nullopt : std::optional<Waehrung>(Waehrung()));
  const std::optional<Waehrung> gelesen = Deuten(text);
  return gelesen ? Begrenzt(gelesen) : m_wert;  // an unfinished entry ("-") keeps the value
}

bool ZahlFeld::EingabeLesbar() const {
  if (!m_bearbeiten) return true;
  const QString text = lineEdit()->text();
  if (text == EingabeText(m_wert) || text.trimmed().isEmpty()) return true;
  if (m_eingabe.nullText && text == *m_eingabe.nullText) return true;
  return Deuten(text).has_value();
}

QString ZahlFeld::Fehlertext() const {
  const QString text = lineEdit()->text().trimmed();
  if (m_ganzzahl) return QStringLiteral("\u201E%1\u201C ist keine gültige ganze Zahl.").arg(text);
  return QStringLiteral("\u201E%1\u201C ist kein gültiger Betrag. Geben Sie ihn mit Komma ein, zum Beispiel 1.234,56.")
      .arg(text);
}

bool ZahlFeld::EingabePruefen() {
  if (EingabeLesbar()) {
    Uebernehmen();
    return true;
  }
  Meldung::Warnung(Fehlertext() + QStringLiteral("\r\rBitte korrigieren/ergänzen Sie die Eingabe."), {}, window());
  setFocus(Qt::OtherFocusReason);
  lineEdit()->selectAll();
  return false;
}

void ZahlFeld::Uebernehmen() {
  if (!m_bearbeiten || m_textBehalten) return;
  if (!EingabeLesbar()) {
    // The value from before stays; what was typed does not vanish without a word.
    m_hinweis = Fehlertext() + (m_wert ? QStringLiteral(" Es bleibt bei %1.").arg(EingabeText(m_wert))
                                        : QStringLiteral(" Das Feld bleibt leer."));
    Meldung::Randhinweis(m_hinweis, this);
    Q_EMIT EingabeAbgelehnt(m_hinweis);
  }
  const std::optional<Waehrung> neu = Wert();
  Zuweisen(neu);
  const QString text = EingabeText(m_wert);
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

void ZahlFeld::Zuweisen(const std::optional<Waehrung>& wert) {
  const bool geaendert = wert != m_wert;
  m_wert = wert;
  FarbenAktualisieren();
  if (geaendert) Q_EMIT WertGeaendert();
}

void ZahlFeld::SummeSetzen(const std::optional<Waehrung>& summe, const QString& grund, const QString& tipp) {
  WertSetzen(summe);
  const QString zeilen = QString(grund).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  setToolTip(summe ? tipp : tipp.isEmpty() ? zeilen : tipp + QStringLiteral(": ") + zeilen);
}

void ZahlFeld::WertSetzen(const std::optional<Waehrung>& wert) {
  std::optional<Waehrung> w = wert;
  if (w && m_ganzzahl) w = Waehrung::AusEuro(w->Roh() / Waehrung::Skala);
  w = Begrenzt(w);
  // Compared with what the field shows, typing not yet taken over included.
  const bool geaendert = w != Wert();
  m_wert = w;
  // The text first: a handler of WertGeaendert reading Wert() while the field is edited reads it.
  TextAktualisieren();
  if (geaendert) Q_EMIT WertGeaendert();
}

std::optional<qint64> ZahlFeld::Ganzzahl() const {
  const std::optional<Waehrung> w = Wert();
  if (!w) return std::nullopt;
  return w->Roh() / Waehrung::Skala;
}

void ZahlFeld::GanzzahlWertSetzen(const std::optional<qint64>& wert) {
  WertSetzen(wert ? std::optional<Waehrung>(Waehrung::AusEuro(*wert)) : std::nullopt);
}

void ZahlFeld::TextAktualisieren() {
  QString text = m_bearbeiten ? EingabeText(m_wert) : AnzeigeText(m_wert);
  // While typing the text scrolls with the cursor; shown, a value is whole or "###", never its right part.
  const bool wert = m_wert && !(m_wert->IstNull() && m_anzeige.nullText);
  const bool gekuerzt = !m_bearbeiten && wert && !PasstInsFeld(text);
  const QString tipp = !gekuerzt ? m_tipp : m_tipp.isEmpty() ? text : m_tipp + QLatin1Char('\n') + text;
  if (gekuerzt) text = QStringLiteral("###");
  m_gekuerzt = gekuerzt;
  if (lineEdit()->text() != text) lineEdit()->setText(text);
  if (toolTip() != tipp) {
    m_tippSetzen = true;
    setToolTip(tipp);
    m_tippSetzen = false;
  }
  FarbenAktualisieren();
}

bool ZahlFeld::PasstInsFeld(const QString& text) const {
  const QLineEdit* feld = lineEdit();
  // A field not laid out yet has no width to measure; it is measured again when shown.
  if (!feld->isVisible()) return true;
  QStyleOptionFrame o;
  o.initFrom(feld);
  o.rect = feld->rect();
  o.lineWidth = feld->hasFrame() ? feld->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, feld) : 0;
  o.midLineWidth = 0;
  o.features = QStyleOptionFrame::None;
  const QRect inhalt =
      feld->style()->subElementRect(QStyle::SE_LineEditContents, &o, feld).marginsRemoved(feld->textMargins());
  // The line edit keeps two pixels free on either side and scrolls a text that needs more than the rest
  // (one pixel for the cursor).
  const double noetig = std::ceil(QFontMetricsF(feld->font()).horizontalAdvance(text)) + 1;
  return noetig <= inhalt.width() - 2 * 2;
}

bool ZahlFeld::event(QEvent* ereignis) {
  // The window's own tooltip is kept; the whole value joins it while the field shows "###".
  if (ereignis->type() == QEvent::ToolTipChange && !m_tippSetzen) {
    m_tipp = toolTip();
    if (m_gekuerzt) TextAktualisieren();
  }
  return QAbstractSpinBox::event(ereignis);
}

bool ZahlFeld::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == lineEdit()) {
    const QEvent::Type t = ereignis->type();
    if (t == QEvent::Resize || t == QEvent::Show || t == QEvent::FontChange || t == QEvent::StyleChange)
      TextAktualisieren();
  }
  return QAbstractSpinBox::eventFilter(objekt, ereignis);
}

void ZahlFeld::TextFarbeSetzen(const QColor& farbe) {
  m_textFarbe = farbe;
  FarbenAktualisieren();
}

void ZahlFeld::NegativFarbeSetzen(const QColor& farbe) {
  m_negativFarbe = farbe;
  FarbenAktualisieren();
}

void ZahlFeld::GueltigkeitAnzeigen(bool gueltig) {
  m_ungueltig = !gueltig;
  FarbenAktualisieren();
}

void ZahlFeld::FarbenAktualisieren() {
  const std::optional<Waehrung> w = Wert();
  const bool negativ = w && w->IstNegativ();
  // Base and text colour wanted; none = the style's own. Set only when they differ from the last ones set.
  std::pair<QColor, QColor> farben;
  if (m_ungueltig)
    farben = {Farben::Rot(), negativ ? Farben::Gelb() : Farben::Weiss()};
  else if (negativ && m_negativFarbe.isValid())
    farben.second = m_negativFarbe;
  else
    farben.second = m_textFarbe;
  if (farben == m_gesetzteFarben) return;
  m_gesetzteFarben = farben;
  QPalette p;
  if (farben.first.isValid()) p.setColor(QPalette::Base, farben.first);
  if (farben.second.isValid()) p.setColor(QPalette::Text, farben.second);
  setPalette(p);
}

QValidator::State ZahlFeld::validate(QString& eingabe, int&) const {
  if (!m_bearbeiten) return QValidator::Acceptable;  // the display text is ours
  const QString t = eingabe.trimmed();
  if (t.isEmpty()) return m_leerErlaubt ? QValidator::Acceptable : QValidator::Intermediate;
  if (m_eingabe.nullText && !m_eingabe.nullText->isEmpty() && eingabe == *m_eingabe.nullText)
    return QValidator::Acceptable;
  const QString nachsatz = m_eingabe.nachsatz.trimmed();
  QString zahl = t;
  if (!nachsatz.isEmpty() && zahl.endsWith(nachsatz)) zahl = zahl.chopped(nachsatz.size()).trimmed();
  int nachkomma = -1;
  for (int i = 0; i < zahl.size(); ++i) {
    const QChar c = zahl.at(i);
    if (c.isDigit() && c.unicode() < 128) {
      if (nachkomma >= 0) ++nachkomma;
    } else if (c == QLatin1Char('-') || c == QLatin1Char('+')) {
      if (i != 0) return QValidator::Invalid;
      if (c == QLatin1Char('-') && !IstNegativErlaubt(m_minimum)) return QValidator::Invalid;
    } else if (c == QLatin1Char(',')) {
      if (m_ganzzahl || nachkomma >= 0) return QValidator::Invalid;
      nachkomma = 0;
    } else if (c == QLatin1Char('.')) {
      if (nachkomma >= 0) return QValidator::Invalid;
    } else {
      return QValidator::Invalid;
    }
  }
  const int erlaubt = qMax(m_eingabe.nachkommastellen, m_wert ? NoetigeStellen(*m_wert) : 0);
  if (nachkomma > erlaubt) return QValidator::Invalid;
  const std::optional<Waehrung> w = Deuten(zahl);
  if (!w) return QValidator::Intermediate;
  // Digits that can only take the value further past a limit are refused while typing; a value
  // that further digits can still bring into the range waits for the take-over.
  if (m_maximum && *w > *m_maximum && !m_maximum->IstNegativ()) return QValidator::Invalid;
  if (m_minimum && *w < *m_minimum && m_minimum->Roh() <= 0) return QValidator::Invalid;
  if ((m_maximum && *w > *m_maximum) || (m_minimum && *w < *m_minimum)) return QValidator::Intermediate;
  return QValidator::Acceptable;
}

void ZahlFeld::fixup(QString& eingabe) const {
  const std::optional<Waehrung> w = Deuten(eingabe);
  if (w) eingabe = EingabeText(Begrenzt(w));
}

QAbstractSpinBox::StepEnabled ZahlFeld::stepEnabled() const {
  if (isReadOnly()) return StepNone;
  const Waehrung w = Wert().value_or(Waehrung());
  StepEnabled s = StepNone;
  if (!m_maximum || w < *m_maximum) s |= StepUpEnabled;
  if (!m_minimum || w > *m_minimum) s |= StepDownEnabled;
  return s;
}

void ZahlFeld::stepBy(int schritte) {
  const Waehrung basis = Wert().value_or(Waehrung());
  Zuweisen(Begrenzt(Waehrung::AusRoh(basis.Roh() + m_schritt.Roh() * schritte)));
  TextAktualisieren();
  if (m_bearbeiten) lineEdit()->selectAll();
}

void ZahlFeld::focusInEvent(QFocusEvent* ereignis) {
  if (!m_bearbeiten) {
    m_bearbeiten = true;
    TextAktualisieren();
  }
  QAbstractSpinBox::focusInEvent(ereignis);
  // A click into a field without an amount: what is typed replaces the "0,00" of the edit form. Left where the
  // click put it, the cursor stood before the 0 and "2" became 20,00.
  if (ereignis->reason() == Qt::MouseFocusReason && (!m_wert || m_wert->IstNull()))
    QTimer::singleShot(0, lineEdit(), [feld = lineEdit()] { feld->selectAll(); });
}

void ZahlFeld::focusOutEvent(QFocusEvent* ereignis) {
  // A focus change inside the window (pop-ups, menus) keeps the edit form.
  if (ereignis->reason() != Qt::PopupFocusReason && ereignis->reason() != Qt::ActiveWindowFocusReason) {
    Uebernehmen();
    m_bearbeiten = false;
    TextAktualisieren();
    QAbstractSpinBox::focusOutEvent(ereignis);
    return;
  }
  // A message box over the window (the save's "kein gültiger Betrag") leaves an unreadable text in
  // the field for correcting; the base class's editingFinished would take it over.
  const bool lesbar = EingabeLesbar();
  if (lesbar) Uebernehmen();
  m_textBehalten = !lesbar;
  QAbstractSpinBox::focusOutEvent(ereignis);
  m_textBehalten = false;
}

void ZahlFeld::keyPressEvent(QKeyEvent* ereignis) {
  // Without arrows the up/down keys belong to the window (field to field), not to the value.
  const int k = ereignis->key();
  if (!m_pfeiltasten && (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown)) {
    ereignis->ignore();
    return;
  }
  QAbstractSpinBox::keyPressEvent(ereignis);
}

void ZahlFeld::wheelEvent(QWheelEvent* ereignis) {
  if (!m_pfeiltasten) {
    ereignis->ignore();
    return;
  }
  QAbstractSpinBox::wheelEvent(ereignis);
}
