#pragma once

#include <QHash>
#include <QString>
#include <QToolBar>

#include <functional>

class QAction;

// The toolbar of a work window, its buttons addressed by key ("Neu", "Schliessen", ...). Clicks and
// keyboard shortcuts both end in one handler that receives the key; a hidden or disabled button
// never reaches it.
class Werkzeugleiste : public QToolBar {
  Q_OBJECT
 public:
  explicit Werkzeugleiste(QWidget* eltern = nullptr);

  // caption may carry "&" (shown without it); bild is a key of Bilder16/Bilder32.
  QAction* KnopfHinzufuegen(const QString& schluessel, const QString& beschriftung, const QString& bild = {},
                            const QString& tooltip = {});
  void TrennerHinzufuegen();

  bool Vorhanden(const QString& schluessel) const { return m_knoepfe.contains(schluessel); }
  QAction* Knopf(const QString& schluessel) const { return m_knoepfe.value(schluessel); }
  QStringList Schluessel() const { return m_reihenfolge; }

  void BeschriftungSetzen(const QString& schluessel, const QString& beschriftung);
  QString Beschriftung(const QString& schluessel) const;
  void BildSetzen(const QString& schluessel, const QString& bild);
  QString Bild(const QString& schluessel) const;
  void TooltipSetzen(const QString& schluessel, const QString& tooltip);
  QString Tooltip(const QString& schluessel) const;
  void SichtbarSetzen(const QString& schluessel, bool sichtbar);
  bool Sichtbar(const QString& schluessel) const;
  void AktiviertSetzen(const QString& schluessel, bool aktiviert);
  bool Aktiviert(const QString& schluessel) const;
  // Shown pressed (e.g. "Suchen" while the filter bar is on); a click does not change it by itself.
  void GedruecktSetzen(const QString& schluessel, bool gedrueckt);
  bool Gedrueckt(const QString& schluessel) const;

  // The window's toolbar handler (Toolbar1_ButtonClick).
  void HandlerSetzen(std::function<void(const QString&)> handler) { m_handler = std::move(handler); }
  // Presses the button as a click would; false (and nothing happens) for an unknown, hidden or disabled one.
  bool Druecken(const QString& schluessel);

  // Small (16) or large (32) pictures, captions shown or not.
  void DarstellungSetzen(bool kleineSymbole, bool ohneText);
  // The options "ArbeitsfensterKleineSymbole" (default on) and "ArbeitsfensterOhneText" (default off)
  // of section "Window State".
  void DarstellungAusEinstellungen();
  bool KleineSymbole() const { return m_klein; }
  bool OhneText() const { return m_ohneText; }

  // "&Neu<F9>" -> "Neu<F9>", "&&" -> "&".
  static QString OhneKuerzel(const QString& beschriftung);

 Q_SIGNALS:
  // After the handler ran for a button.
  void KnopfGeklickt(const QString& schluessel);

 private:
  void Ausloesen(const QString& schluessel);
  void BildAktualisieren(QAction* knopf);
  void TextAktualisieren(QAction* knopf);

  QHash<QString, QAction*> m_knoepfe;
  QStringList m_reihenfolge;
  std::function<void(const QString&)> m_handler;
  bool m_klein = true;
  bool m_ohneText = false;
};
