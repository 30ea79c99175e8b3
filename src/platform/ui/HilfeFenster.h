#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QListWidget;
class QTextBrowser;
class QToolButton;

// The program's help viewer over the folder of help pages: "<Kontextnummer>.html" per topic and
// "index.html" as contents, with back, forward, contents and an index of all pages.
class HilfeFenster : public QWidget {
  Q_OBJECT
 public:
  explicit HilfeFenster(const QString& ordner, QWidget* eltern = nullptr);

  // Opens the topic of a context number (0 = contents); a missing topic opens the contents.
  // Returns the file shown, empty when not even the contents page exists.
  QString ThemaOeffnen(int kontextNummer);
  QString Ordner() const { return m_ordner; }
  QString AktuelleDatei() const;
  QTextBrowser* Browser() const { return m_browser; }
  // Titles of the index, in its order.
  QStringList Index() const;

  // The one viewer of the program (created on first use, reused while open).
  static HilfeFenster* Instanz(const QString& ordner);

 private:
  void IndexLaden();

  QString m_ordner;
  QTextBrowser* m_browser;
  QListWidget* m_index;
  QToolButton* m_zurueck;
  QToolButton* m_vor;
};
