#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// How a work window is shown from the main window.
enum class Fensteroeffnung {
  Nichtmodal,    // payment form, payment list, address windows, calculator
  Modal,         // settings, sender form
  ModalAllein    // SEPA file, selective deletion: only after every other window was closed
};

// The open work windows of the run, one per kind ("FormularZahlung", "FormAdressen/Bankverbindungen").
// A window of a kind that is already open is brought to the front instead of being created again.
// Windows shown through here are deleted when they close.
class Fensterverwaltung : public QObject {
  Q_OBJECT
 public:
  explicit Fensterverwaltung(QObject* eltern = nullptr);

  // The open window of that kind, or nullptr.
  QWidget* Offen(const QString& art) const;
  QList<QWidget*> OffeneFenster() const;
  int Anzahl() const { return OffeneFenster().size(); }

  // Brings an open window of the kind to the front, or creates it with `erzeugen` and shows it.
  // Returns the window; nullptr when `erzeugen` gave none or the close-all gate was refused.
  QWidget* Zeigen(const QString& art, Fensteroeffnung oeffnung, const std::function<QWidget*()>& erzeugen,
                  QWidget* fragenderElternteil = nullptr);

  // The close-all gate: when other windows are open, asks the user to close them and closes them.
  // False when the user declines or a window refuses to close (it stays open; nothing runs).
  // `ausser` (the asking window itself) stays open.
  bool AlleAnderenSchliessen(QWidget* fragenderElternteil = nullptr, QWidget* ausser = nullptr);
  // Shut-down: closes every window without asking first; false as soon as one refuses.
  bool AlleSchliessen(QWidget* ausser = nullptr);

  static const QString& SchliessenFrage();
  static const QString& NichtGeschlossenHinweis();

 Q_SIGNALS:
  // A registered window has closed (the main window's refresh hangs on this).
  void FensterGeschlossen(const QString& art);

 private:
  struct Eintrag {
    QString art;
    QPointer<QWidget> fenster;
  };
  void Entfernen(QWidget* fenster);
  void Aufraeumen();

  QList<Eintrag> m_fenster;
};
