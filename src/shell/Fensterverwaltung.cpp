#include "shell/Fensterverwaltung.h"

#include <QEvent>

#include "platform/ui/Meldung.h"

Fensterverwaltung::Fensterverwaltung(QObject* eltern) : QObject(eltern) {}

const QString& Fensterverwaltung::SchliessenFrage() {
  static const QString text = Meldung::Zeilen({
      QStringLiteral("Für diese Funktion müssen alle anderen Fenster geschlossen werden."),
      QStringLiteral("Sollen jetzt alle anderen Fenster geschlossen werden?"),
  });
  return text;
}

const QString& Fensterverwaltung::NichtGeschlossenHinweis() {
  static const QString text = Meldung::Zeilen({
      QStringLiteral("Es konnten nicht alle Fenster geschlossen werden."),
      QStringLiteral("Die Funktion wird erst ausgeführt, wenn alle anderen Fenster geschlossen sind."),
  });
  return text;
}

void Fensterverwaltung::Aufraeumen() {
  for (int i = m_fenster.size() - 1; i >= 0; --i)
    if (m_fenster.at(i).fenster.isNull()) m_fenster.removeAt(i);
}

QWidget* Fensterverwaltung::Offen(const QString& art) const {
  for (const Eintrag& e : m_fenster)
    if (e.art == art && !e.fenster.isNull()) return e.fenster.data();
  return nullptr;
}

QList<QWidget*> Fensterverwaltung::OffeneFenster() const {
  QList<QWidget*> liste;
  for (const Eintrag& e : m_fenster)
    if (!e.fenster.isNull()) liste.append(e.fenster.data());
  return liste;
}

QWidget* Fensterverwaltung::Zeigen(const QString& art, Fensteroeffnung oeffnung,
                                   const std::function<QWidget*()>& erzeugen, QWidget* fragenderElternteil) {
  Aufraeumen();
  if (QWidget* offen = Offen(art)) {
    if (offen->isMinimized()) offen->showNormal();
    offen->show();
    offen->raise();
    offen->activateWindow();
    return offen;
  }
  if (oeffnung == Fensteroeffnung::ModalAllein && !AlleAnderenSchliessen(fragenderElternteil)) return nullptr;

  QWidget* fenster = erzeugen ? erzeugen() : nullptr;
  if (!fenster) return nullptr;
  fenster->setAttribute(Qt::WA_DeleteOnClose);
  if (!fenster->isWindow()) fenster->setWindowFlag(Qt::Window);
  if (oeffnung != Fensteroeffnung::Nichtmodal) fenster->setWindowModality(Qt::ApplicationModal);
  m_fenster.append({art, fenster});
  connect(fenster, &QObject::destroyed, this, [this, fenster, art] {
    Entfernen(fenster);
    Q_EMIT FensterGeschlossen(art);
  });
  fenster->show();
  fenster->raise();
  fenster->activateWindow();
  return fenster;
}

void Fensterverwaltung::Entfernen(QWidget* fenster) {
  for (int i = m_fenster.size() - 1; i >= 0; --i)
    if (m_fenster.at(i).fenster.isNull() || m_fenster.at(i).fenster.data() == fenster) m_fenster.removeAt(i);
}

bool Fensterverwaltung::AlleAnderenSchliessen(QWidget* fragenderElternteil, QWidget* ausser) {
  Aufraeumen();
  QList<QWidget*> andere = OffeneFenster();
  andere.removeAll(ausser);
  if (andere.isEmpty()) return true;
  if (!Meldung::Frage(SchliessenFrage(), {}, fragenderElternteil)) return false;
  if (!AlleSchliessen(ausser)) {
    Meldung::Hinweis(NichtGeschlossenHinweis(), {}, fragenderElternteil);
    return false;
  }
  return true;
}

bool Fensterverwaltung::AlleSchliessen(QWidget* ausser) {
  Aufraeumen();
  // Newest first, like the old program's loop over its forms collection from the end.
  QList<QWidget*> offen = OffeneFenster();
  offen.removeAll(ausser);
  for (int i = offen.size() - 1; i >= 0; --i) {
    QPointer<QWidget> fenster = offen.at(i);
    if (fenster.isNull()) continue;
    if (!fenster->close()) return false;
    // A closed window goes with the next event-loop turn; take it off the list now so that
    // the caller sees an empty list at once.
    Entfernen(fenster.data());
    if (!fenster.isNull()) fenster->hide();
  }
  return true;
}
