#include "platform/ui/MeldungsDialoge.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

QMessageBox::Icon Symbol(MeldungsSymbol s) {
  switch (s) {
    case MeldungsSymbol::Information: return QMessageBox::Information;
    case MeldungsSymbol::Frage: return QMessageBox::Question;
    case MeldungsSymbol::Ausruf: return QMessageBox::Warning;
    case MeldungsSymbol::Kritisch: return QMessageBox::Critical;
    case MeldungsSymbol::Keins: break;
  }
  return QMessageBox::NoIcon;
}

QStringList ZeilenAus(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t.split(QLatin1Char('\n'));
}

}  // namespace

QString MeldungsDialoge::Darstellung(const QString& text, bool* alsHtml) {
  const QStringList zeilen = ZeilenAus(text);
  const bool mitTabs = text.contains(QLatin1Char('\t'));
  if (alsHtml) *alsHtml = mitTabs;
  if (!mitTabs) return zeilen.join(QLatin1Char('\n'));
  // Tabs stand for columns: one table row per line keeps them aligned in a proportional font.
  QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">");
  for (const QString& zeile : zeilen) {
    html += QStringLiteral("<tr>");
    const QStringList zellen = zeile.split(QLatin1Char('\t'));
    for (int i = 0; i < zellen.size(); ++i) {
      const QString inhalt = zellen[i].toHtmlEscaped();
      html += QStringLiteral("<td style=\"padding-right:12px; white-space:pre\">") +
              (inhalt.isEmpty() ? QStringLiteral("&nbsp;") : inhalt) + QStringLiteral("</td>");
    }
    html += QStringLiteral("</tr>");
  }
  return html + QStringLiteral("</table>");
}

MeldungsAntwort MeldungsDialoge::Zeigen(const MeldungsAnfrage& anfrage, QWidget* eltern) {
  QMessageBox box(eltern);
  box.setWindowTitle(anfrage.titel);
  box.setIcon(Symbol(anfrage.symbol));
  bool html = false;
  const QString text = Darstellung(anfrage.text, &html);
  box.setTextFormat(html ? Qt::RichText : Qt::PlainText);
  box.setText(text);
  // The lines are broken where the text breaks them; the box's own narrow limit would break them a
  // second time ("… angezeigt, solange" / "bis …"). Up to two thirds of the screen they stay whole.
  if (QLabel* feld = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
    const QFontMetrics fm(feld->font());
    int breiteste = 0;
    if (html) {
      QTextDocument dokument;
      dokument.setDefaultFont(feld->font());
      dokument.setHtml(text);
      breiteste = static_cast<int>(std::ceil(dokument.idealWidth()));
    } else {
      for (const QString& zeile : ZeilenAus(anfrage.text)) breiteste = std::max(breiteste, fm.horizontalAdvance(zeile));
    }
    // Wider lines wrap. The box itself never grows beyond its own limit (the screen up to 1024 pixels,
    // else 480 less, at most 1000); a text wider than that would be cut off on the right.
    const QScreen* schirm = eltern && eltern->screen() ? eltern->screen() : QGuiApplication::primaryScreen();
    const int bildschirm = schirm ? schirm->availableGeometry().width() : 1024;
    const int boxGrenze = bildschirm <= 1024 ? bildschirm : std::min(bildschirm - 480, 1000);
    // Beside the text: the box's margins, the symbol and the space between them, and a little air.
    int rest = 2 * fm.averageCharWidth();
    if (const auto* raster = qobject_cast<const QGridLayout*>(box.layout())) {
      const QMargins rand = raster->contentsMargins();
      rest += rand.left() + rand.right() + std::max(0, raster->horizontalSpacing());
    }
    if (const QLabel* bild = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
      rest += bild->sizeHint().width();
    const int grenze = std::max(std::min(bildschirm * 2 / 3, boxGrenze - rest), 20 * fm.averageCharWidth());
    feld->setMinimumWidth(std::min(breiteste + fm.averageCharWidth(), grenze));
  }
  QPushButton* ok = nullptr;
  QPushButton* abbrechen = nullptr;
  QPushButton* ja = nullptr;
  QPushButton* nein = nullptr;
  switch (anfrage.knoepfe) {
    case MeldungsKnoepfe::Ok:
      ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      box.setDefaultButton(ok);
      box.setEscapeButton(ok);
      break;
    case MeldungsKnoepfe::OkAbbrechen:
      ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      abbrechen = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
      box.setDefaultButton(anfrage.abbrechenVorgabe ? abbrechen : ok);
      box.setEscapeButton(abbrechen);
      break;
    case MeldungsKnoepfe::JaNein:
      ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
      nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
      box.setDefaultButton(nein);
      box.setEscapeButton(nein);
      break;
    case MeldungsKnoepfe::JaNeinAbbrechen:
      ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
      nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
      abbrechen = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
      box.setDefaultButton(ja);
      box.setEscapeButton(abbrechen);
      break;
  }
  box.exec();
  const QAbstractButton* geklickt = box.clickedButton();
  if (geklickt && geklickt == ja) return MeldungsAntwort::Ja;
  if (geklickt && geklickt == nein) return MeldungsAntwort::Nein;
  if (geklickt && geklickt == ok) return MeldungsAntwort::Ok;
  if (geklickt && geklickt == abbrechen) return MeldungsAntwort::Abbrechen;
  // Closed by the window frame: the answer the escape button gives.
  switch (anfrage.knoepfe) {
    case MeldungsKnoepfe::Ok: return MeldungsAntwort::Ok;
    case MeldungsKnoepfe::JaNein: return MeldungsAntwort::Nein;
    default: return MeldungsAntwort::Abbrechen;
  }
}

std::optional<QString> MeldungsDialoge::Eingabe(const EingabeAnfrage& anfrage, QWidget* eltern) {
  QInputDialog dialog(eltern);
  dialog.setWindowTitle(anfrage.titel);
  dialog.setLabelText(ZeilenAus(anfrage.aufforderung).join(QLatin1Char('\n')));
  dialog.setTextValue(anfrage.vorgabe);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}
