#pragma once

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Reading PDF files back with poppler-utils (pdftotext, pdfinfo, pdffonts).
namespace Poppler {

inline QString Ausfuehren(const QString& programm, const QStringList& argumente) {
  QProcess p;
  p.start(programm, argumente);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("<Fehler: ") + programm + QLatin1Char('>');
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The text in reading order with the page's layout kept.
inline QString Text(const QString& pdf) { return Ausfuehren(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}); }

inline int Seiten(const QString& pdf) {
  const QString info = Ausfuehren(QStringLiteral("pdfinfo"), {pdf});
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline QString Info(const QString& pdf) { return Ausfuehren(QStringLiteral("pdfinfo"), {pdf}); }

// Lines of pdffonts below its header: name, type, encoding, emb, sub, uni, object, id.
inline QStringList Schriften(const QString& pdf) {
  QStringList zeilen = Ausfuehren(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  if (zeilen.size() >= 2) zeilen = zeilen.mid(2);
  return zeilen;
}

struct Wort {
  int seite = 0;
  QRectF box;   // points
  QString text;
};
struct Seite {
  double breite = 0;
  double hoehe = 0;
};

// Every word with its box (pdftotext -bbox).
inline QList<Wort> Woerter(const QString& pdf, QList<Seite>* seiten = nullptr) {
  const QString html = Ausfuehren(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  QList<Wort> woerter;
  int seite = 0;
  const QRegularExpression seiteAusdruck(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
  const QRegularExpression wortAusdruck(
      QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
  for (const QString& zeile : html.split(QLatin1Char('\n'))) {
    const auto s = seiteAusdruck.match(zeile);
    if (s.hasMatch()) {
      ++seite;
      if (seiten) *seiten << Seite{s.captured(1).toDouble(), s.captured(2).toDouble()};
      continue;
    }
    const auto w = wortAusdruck.match(zeile);
    if (!w.hasMatch()) continue;
    const double x0 = w.captured(1).toDouble(), y0 = w.captured(2).toDouble();
    woerter << Wort{seite, QRectF(x0, y0, w.captured(3).toDouble() - x0, w.captured(4).toDouble() - y0), w.captured(5)};
  }
  return woerter;
}

}  // namespace Poppler
