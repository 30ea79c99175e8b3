#pragma once

#include <QFont>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QString>

class QPainter;

// The laid-out pages of one print job as display lists, in device-independent dots (1/1200 inch,
// origin at the paper's top left). Laying out once and drawing the lists lets the same pages go to
// the PDF file, the printer (copies by repeating the lists) and the preview, and lets "{Seiten}"
// be filled in when the number of pages is known.
struct Druckdokument {
  static constexpr double Aufloesung = 1200.0;   // dots per inch

  struct Text {
    QRectF rechteck;
    QString text;            // may hold Seitenzahlmarke
    int schrift = 0;         // index into `schriften`
    Qt::Alignment ausrichtung = Qt::AlignLeft | Qt::AlignTop;
  };
  struct Bild {
    QRectF rechteck;
    QImage bild;
  };
  struct Seite {
    QList<Text> texte;
    QList<QLineF> linien;
    QList<Bild> bilder;
  };

  QString titel;
  QPageLayout seitenlayout;   // paper and orientation; the margins are in the lists
  QList<QFont> schriften;     // pixel sizes in dots
  QList<Seite> seiten;

  // Stands in a text for the number of pages until the pages are drawn.
  static QString Seitenzahlmarke() { return QStringLiteral("\u0001Seiten\u0001"); }

  static double PunkteAusMillimeter(double mm) { return mm / 25.4 * Aufloesung; }
  static double PunkteAusPunkten(double pt) { return pt / 72.0 * Aufloesung; }

  // Draws page `index` on a painter whose device has `geraeteAufloesung` dots per inch.
  void SeiteZeichnen(QPainter& maler, int index, double geraeteAufloesung) const;
};
