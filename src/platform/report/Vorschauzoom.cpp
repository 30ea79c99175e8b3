#include "platform/report/Vorschauzoom.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace Vorschauzoom {

QString Deutsch(const QString& text) {
  static const QRegularExpression qt(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*%\\s*$"));
  const QRegularExpressionMatch m = qt.match(text);
  if (!m.hasMatch()) return text;
  QString zahl = m.captured(1);
  if (zahl.endsWith(QStringLiteral(".0"))) zahl.chop(2);
  return zahl.replace(QLatin1Char('.'), QLatin1Char(',')) + QStringLiteral(" %");
}

std::optional<double> Faktor(const QString& text) {
  QString zahl = text;
  zahl.remove(QLatin1Char('%'));
  zahl = zahl.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double prozent = zahl.toDouble(&ok);
  if (!ok || prozent <= 0.0) return std::nullopt;
  return prozent / 100.0;
}

void Einrichten(QPrintPreviewDialog& dialog) {
  auto* box = dialog.findChild<QComboBox*>();
  auto* vorschau = dialog.findChild<QPrintPreviewWidget*>();
  if (!box || !box->lineEdit() || !vorschau) return;
  for (int i = 0; i < box->count(); ++i) box->setItemText(i, Deutsch(box->itemText(i)));
  QLineEdit* feld = box->lineEdit();
  feld->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("\\s*\\d{0,4}([,.]\\d{0,2})?\\s*%?\\s*")), feld));
  // Qt writes its own form after every zoom: put the German one in its place.
  QObject::connect(feld, &QLineEdit::textChanged, feld, [feld](const QString& text) {
    const QString deutsch = Deutsch(text);
    if (deutsch == text) return;
    const QSignalBlocker sperre(feld);
    feld->setText(deutsch);
  });
  // Qt reads the box in its own number form; the German entry is read here.
  const auto anwenden = [vorschau, feld](const QString& text) {
    const std::optional<double> f = Faktor(text);
    if (!f) return;
    vorschau->setZoomMode(QPrintPreviewWidget::CustomZoom);
    vorschau->setZoomFactor(*f);
    const QSignalBlocker sperre(feld);
    feld->setText(Deutsch(QString::asprintf("%.1f%%", vorschau->zoomFactor() * 100.0)));
  };
  QObject::connect(box, &QComboBox::textActivated, feld, anwenden);
  QObject::connect(feld, &QLineEdit::editingFinished, feld, [feld, anwenden] { anwenden(feld->text()); });
  feld->setText(Deutsch(feld->text()));
}

}  // namespace Vorschauzoom
