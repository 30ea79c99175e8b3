#include "payments/core/Smartfill.h"

#include "platform/db/SqlText.h"

void Smartfill::FeldBetreten() {
  m_position = 0;
  m_text.clear();
  m_werte.clear();
}

Smartfill::Tastenergebnis Smartfill::TasteGedrueckt(QChar zeichen, const QString& feldText, int cursor,
                                                    bool istNamensfeld, bool anwendbar, const Suche& suche) {
  Tastenergebnis e;
  if (!zeichen.isPrint() || m_position < 0) return e;
  if (istNamensfeld) e.opKontoNrLeeren = true;
  if (!anwendbar || !suche) return e;

  const int pos = qBound(0, cursor, static_cast<int>(feldText.size()));
  const QString praefix = feldText.left(pos) + zeichen;
  const std::optional<Treffer> t = suche(praefix);
  if (!t) {
    m_position = -1;
    m_text.clear();
    m_werte.clear();
    return e;
  }
  m_position = pos + 1;
  m_text = t->text;
  m_werte = t->werte;
  e.gefunden = true;
  e.text = t->text;
  e.cursor = m_position;
  e.markierungLaenge = qMax(0, static_cast<int>(t->text.size()) - m_position);
  e.tasteVerwerfen = true;
  return e;
}

void Smartfill::TextGeaendert(const QString& feldText, bool anwendbar) {
  if (anwendbar && feldText.isEmpty()) FeldBetreten();
}

std::optional<QVariantMap> Smartfill::Uebernahme(const QString& feldText, bool anwendbar) const {
  if (!anwendbar || m_position <= 0 || m_text.isEmpty() || feldText != m_text) return std::nullopt;
  return m_werte;
}

DbFehler PraefixSuchen(Datenbank& db, const QString& tabelle, const QString& feld, const QStringList& spalten,
                       const QString& praefix, std::optional<Smartfill::Treffer>& treffer) {
  treffer.reset();
  QList<SqlText> liste;
  for (const QString& s : spalten) liste << SqlText::Bezeichner(s);
  const SqlText sql = SqlText("SELECT ") + SqlText::Verbinden(liste, ", ") + SqlText(" FROM ") +
                      SqlText::Bezeichner(tabelle) + SqlText(" WHERE ") + SqlText::Bezeichner(feld) +
                      SqlText(" LIKE ? ESCAPE '\\' LIMIT 1");
  return db.Abfragen(sql, {QVariant(LikeMaskieren(praefix) + QLatin1Char('%'))}, [&](const Zeile& z) {
    Smartfill::Treffer t;
    for (int i = 0; i < spalten.size(); ++i) t.werte.insert(spalten.at(i), z.Wert(i));
    for (int i = 0; i < spalten.size(); ++i)
      if (spalten.at(i).compare(feld, Qt::CaseInsensitive) == 0) t.text = z.Wert(i).toString();
    treffer = t;
    return false;
  });
}
