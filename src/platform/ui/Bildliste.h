#pragma once

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The picture lists of the main window by key ("Neu", "Löschen", "DTADatei", ...): toolbar pictures
// and window icons. Each picture comes from the system icon theme, else from the style's standard
// icons, else it is drawn here; no icon set is shipped.
class Bildliste {
 public:
  explicit Bildliste(int groesse);

  static Bildliste& Bilder16();
  static Bildliste& Bilder32();

  int Groesse() const { return m_groesse; }
  // The picture of a key; a null icon for an unknown key.
  QIcon Bild(const QString& schluessel) const;
  bool Vorhanden(const QString& schluessel) const;
  // Adds or replaces a picture.
  void Hinzufuegen(const QString& schluessel, const QIcon& bild);
  // Every key the list knows, the built-in ones first.
  QStringList Schluessel() const;

  // The built-in keys.
  static const QStringList& Standardschluessel();
  // The drawn picture of a built-in key (also used when neither theme nor style has one).
  static QPixmap Gezeichnet(const QString& schluessel, int groesse);

 private:
  QIcon Laden(const QString& schluessel) const;

  int m_groesse;
  mutable QHash<QString, QIcon> m_bilder;
  QStringList m_eigene;
};
