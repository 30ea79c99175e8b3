#include "iban/BankleitzahlTabelle.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "iban/Kennungsform.h"

namespace {

constexpr qsizetype RegelSpalte = 169;  // 1-based position of the IBAN rule id

// Positions von..bis (1-based, both included) of the line; what exists of them when the line is shorter.
QString Feld(QStringView zeile, qsizetype von, qsizetype bis) {
  if (zeile.size() < von) return {};
  return zeile.mid(von - 1, std::min(bis, zeile.size()) - von + 1).toString();
}

bool BlzKleiner(const BankleitzahlEintrag& a, const BankleitzahlEintrag& b) { return a.BLZ < b.BLZ; }

QString DateiText(const QString& pfad) {
  return QStringLiteral("Die Bankleitzahlendatei \"") + pfad + QStringLiteral("\" ");
}

}  // namespace

std::optional<BankleitzahlEintrag> BankleitzahlTabelle::ZeileLesen(QStringView zeile) {
  if (Feld(zeile, 9, 9) != QLatin1String("1")) return std::nullopt;
  BankleitzahlEintrag e;
  e.BLZ = Feld(zeile, 1, 8);
  e.Kurzname = Feld(zeile, 108, 134).trimmed();
  e.BIC = Feld(zeile, 140, 150).trimmed();
  e.Pruefziffernmethode = Feld(zeile, 151, 152);
  const QString nachfolger = Feld(zeile, 161, 168);
  if (!nachfolger.isEmpty() && nachfolger != QLatin1String("00000000")) {
    e.NachfolgeBLZ = nachfolger;
    e.Aenderungskennzeichen = Feld(zeile, 159, 159);
  }
  e.IbanRegel = Feld(zeile, 169, 174);
  return e;
}

qsizetype BankleitzahlTabelle::Einlesen(const QByteArray& inhalt) {
  m_eintraege.clear();
  m_abgewiesen.clear();
  qsizetype mitRegel = 0;
  qsizetype anfang = 0;
  qsizetype nummer = 0;
  while (anfang < inhalt.size()) {
    ++nummer;
    qsizetype ende = inhalt.indexOf('\n', anfang);
    if (ende < 0) ende = inhalt.size();
    qsizetype laenge = ende - anfang;
    if (laenge > 0 && inhalt.at(anfang + laenge - 1) == '\r') --laenge;
    const QString zeile = QString::fromLatin1(inhalt.constData() + anfang, laenge);
    if (zeile.size() >= RegelSpalte) ++mitRegel;
    if (auto eintrag = ZeileLesen(zeile)) {
      const Kennungsform::BicForm form =
          eintrag->BIC.isEmpty() ? Kennungsform::BicForm::Gueltig : Kennungsform::BicFormPruefen(eintrag->BIC);
      if (form == Kennungsform::BicForm::Gueltig)
        m_eintraege.push_back(std::move(*eintrag));
      else
        m_abgewiesen.push_back({nummer, eintrag->BLZ, eintrag->BIC, Kennungsform::BicFormText(form)});
    }
    anfang = ende + 1;
  }
  Sortieren();
  return mitRegel;
}

QString BankleitzahlTabelle::AbweisungsMeldung() const {
  if (m_abgewiesen.empty()) return {};
  // Control characters of a damaged field would garble the message; they show as U+FFFD.
  const auto sichtbar = [](QString text) {
    for (QChar& c : text)
      if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0)) c = QChar(0xFFFD);
    return text;
  };
  QString text = DateiText(m_pfad) +
                 QStringLiteral("enthält %1 Bankdatensätze mit ungültiger BIC; sie wurden nicht übernommen:")
                     .arg(m_abgewiesen.size());
  for (const Abweisung& a : m_abgewiesen)
    text += QStringLiteral("\rZeile %1, BLZ %2, BIC \"%3\": %4")
                .arg(a.zeile)
                .arg(sichtbar(a.blz), sichtbar(a.bic), QString(a.grund).replace(QLatin1Char('\r'), QLatin1Char(' ')));
  return text;
}

std::optional<QString> BankleitzahlTabelle::Laden(const QString& pfad) {
  m_eintraege.clear();
  m_abgewiesen.clear();
  m_pfad = pfad;
  const QFileInfo info(pfad);
  if (!info.exists())
    return DateiText(pfad) +
           QStringLiteral("ist nicht vorhanden.\rSie ist die Bankleitzahlendatei der Deutschen Bundesbank (die Fassung "
                          "mit IBAN-Regeln, 174 Zeichen je Zeile); die Bundesbank bietet sie auf ihrer Internetseite zum "
                          "Herunterladen an, das Programm liefert sie nicht mit. Bitte speichern Sie die Textdatei unter "
                          "dem Namen ") +
           info.fileName() + QStringLiteral(" im Programmordner.");
  if (info.isDir())
    return DateiText(pfad) + QStringLiteral("ist ein Ordner, keine Datei.");
  QFile datei(pfad);
  if (!datei.open(QIODevice::ReadOnly))
    return DateiText(pfad) + QStringLiteral("kann nicht gelesen werden: ") + datei.errorString();
  const QByteArray inhalt = datei.readAll();
  if (datei.error() != QFileDevice::NoError)
    return DateiText(pfad) + QStringLiteral("kann nicht gelesen werden: ") + datei.errorString();
  if (inhalt.trimmed().isEmpty())
    return DateiText(pfad) + QStringLiteral("ist leer.");
  const qsizetype mitRegel = Einlesen(inhalt);
  if (mitRegel == 0) {
    m_eintraege.clear();
    return DateiText(pfad) +
           QStringLiteral("enthält keine IBAN-Regeln (Zeilen mit 168 statt 174 Zeichen). "
                          "Bitte die erweiterte Datei der Bundesbank verwenden.");
  }
  if (m_eintraege.empty())
    return DateiText(pfad) + QStringLiteral("enthält keine Bankdatensätze.");
  return std::nullopt;
}

void BankleitzahlTabelle::Einfuegen(BankleitzahlEintrag eintrag) {
  const auto stelle = std::upper_bound(m_eintraege.begin(), m_eintraege.end(), eintrag, BlzKleiner);
  m_eintraege.insert(stelle, std::move(eintrag));
}

void BankleitzahlTabelle::Sortieren() { std::stable_sort(m_eintraege.begin(), m_eintraege.end(), BlzKleiner); }

const BankleitzahlEintrag* BankleitzahlTabelle::Finden(QStringView bankleitzahl) const {
  const auto stelle = std::lower_bound(
      m_eintraege.begin(), m_eintraege.end(), bankleitzahl,
      [](const BankleitzahlEintrag& e, QStringView blz) { return QStringView(e.BLZ) < blz; });
  if (stelle == m_eintraege.end() || QStringView(stelle->BLZ) != bankleitzahl) return nullptr;
  return &*stelle;
}
