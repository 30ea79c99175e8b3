#include "platform/db/Datumseingabe.h"
#include "platform/ui/GitterDelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QToolTip>
#include <QHelpEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "platform/ui/DatenGitter.h"
#include "platform/ui/Eingabehinweis.h"
#include "platform/ui/GitterFormatierung.h"
#include "platform/ui/GitterModell.h"
#include "platform/ui/Feldgrenze.h"

GitterDelegate::GitterDelegate(DatenGitter* gitter) : QStyledItemDelegate(gitter), m_gitter(gitter) {}

QWidget* GitterDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  const GitterSpalte& s = m_gitter->Modell()->Spalten().at(index.column());
  auto* e = new QLineEdit(parent);
  m_editor = e;
  e->setFrame(false);
  e->setProperty("gitterEditor", static_cast<int>(s.editor));
  // The text stays where the cell shows it (numbers right, also in a text-edited number column).
  e->setAlignment((s.ausrichtung & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
  switch (s.editor) {
    case GitterEditor::Zahl:
      e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      e->setValidator(new QRegularExpressionValidator(
          QRegularExpression(QStringLiteral("[-+]?[0-9.]{0,18}(,[0-9]{0,4})?")), e));
      new Eingabehinweis(e, [] { return Eingabehinweis::ZahlErlaubt(false); });
      break;
    case GitterEditor::Datum:
      e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), e));
      Feldgrenze::Setzen(e, 10);
      new Eingabehinweis(e, [] { return Eingabehinweis::DatumErlaubt(); });
      break;
    case GitterEditor::Text:
      Feldgrenze::Setzen(e, s.datenBreite);
      break;
  }
  return e;
}

void GitterDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* e = qobject_cast<QLineEdit*>(editor);
  if (!e) return;
  // Keep what the user is typing when the row is redrawn under an open editor.
  if (e->isModified()) return;
  e->setText(index.data(Qt::EditRole).toString());
}

void GitterDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  auto* e = qobject_cast<QLineEdit*>(editor);
  if (!e) return;
  const GitterSpalte& s = m_gitter->Modell()->Spalten().at(index.column());
  const QString text = e->text();
  if (!e->isModified() && text == index.data(Qt::EditRole).toString()) return;   // nothing typed
  QVariant wert;
  switch (s.editor) {
    case GitterEditor::Zahl: {
      const auto z = GitterFormatierung::ZahlLesen(text, s.typ);
      if (!z) {
        Ablehnen(e, index.column(), text);
        return;
      }
      wert = *z;
      break;
    }
    case GitterEditor::Datum: {
      if (text.trimmed().isEmpty()) break;
      const auto d = DatumAusEingabe(text);
      if (!d) {
        Ablehnen(e, index.column(), text);
        return;
      }
      wert = *d;
      break;
    }
    case GitterEditor::Text:
      if (!text.isEmpty()) wert = text;
      break;
  }
  model->setData(index, wert, Qt::EditRole);
  e->setModified(false);
}

void GitterDelegate::Ablehnen(QLineEdit* editor, int spalte, const QString& text) const {
  // The message box takes the focus from the editor; the view would otherwise take the text in again
  // (a second message) and close the editor behind the box.
  const QPointer<QLineEdit> e(editor);
  const bool vorher = m_ablehnungLaeuft;
  m_ablehnungLaeuft = true;
  m_gitter->EingabeAblehnen(spalte, text);
  m_ablehnungLaeuft = vorher;
  if (e && e->isVisible()) e->setFocus(Qt::OtherFocusReason);
}

void GitterDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  // Closing it again would make the view warn about an editor that is not its own.
  if (m_editor == editor) m_editor = nullptr;
  QStyledItemDelegate::destroyEditor(editor, index);
}

bool GitterDelegate::eventFilter(QObject* o, QEvent* ev) {
  auto* e = qobject_cast<QLineEdit*>(o);
  if (m_ablehnungLaeuft && (ev->type() == QEvent::FocusOut || ev->type() == QEvent::Hide)) return false;
  if (e && (ev->type() == QEvent::KeyPress || ev->type() == QEvent::KeyRelease)) {
    auto* k = static_cast<QKeyEvent*>(ev);
    if (m_gitter->EditorTaste(e, k)) return true;
    const bool weiter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->key() == Qt::Key_Tab ||
                        k->key() == Qt::Key_Backtab;
    if (ev->type() == QEvent::KeyPress && weiter && e->isModified()) {
      // A text the column cannot read keeps the editor open (the grid has said why).
      const QPointer<QLineEdit> offen(e);
      setModelData(e, m_gitter->Modell(), m_gitter->Ansicht()->currentIndex());
      if (!offen || e->isModified()) return true;
    }
    if (ev->type() == QEvent::KeyPress && e->property("gitterEditor").toInt() == static_cast<int>(GitterEditor::Datum) &&
        (k->modifiers() & Qt::KeypadModifier) && (k->key() == Qt::Key_Plus || k->key() == Qt::Key_Minus)) {
      // Keypad + / - move the date one day; an empty or invalid date stays as it is.
      if (const auto d = DatumAusEingabe(e->text())) {
        e->setText(d->addDays(k->key() == Qt::Key_Plus ? 1 : -1).toString(QStringLiteral("dd.MM.yyyy")));
        e->setModified(true);
      }
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(o, ev);
}

void GitterDelegate::EditorVerwerfen() {
  if (QWidget* e = m_editor.data()) {
    if (auto* l = qobject_cast<QLineEdit*>(e)) l->setModified(false);
    Q_EMIT closeEditor(e, QAbstractItemDelegate::RevertModelCache);
  }
}

QRect GitterDelegate::KnopfRechteck(const QRect& zelle) {
  const int b = std::min(16, zelle.height());
  return QRect(zelle.right() - b + 1, zelle.top(), b, zelle.height());
}

namespace {
bool IstAktuell(const DatenGitter* g, const QModelIndex& i) {
  return g->AktuelleZeile() == i.row() && g->AktuelleSpalte() == i.column();
}
}  // namespace

void GitterDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem o = option;
  initStyleOption(&o, index);
  // A number, an IBAN or a BIC too wide for its column is never shown cut ("1.235.567,…", "DE89…"): "###",
  // the value in the tooltip.
  if (index.column() < m_gitter->SpaltenAnzahl() && index.row() < m_gitter->Modell()->DatenZeilen()) {
    if (const GitterSpalte& s = m_gitter->Spalte(index.column()); s.Zahlen() || s.Ganzwerte()) {
      o.text = m_gitter->ZellAnzeige(index.row(), index.column());
      o.textElideMode = Qt::ElideNone;
    }
  }
  QStyle* stil = o.widget ? o.widget->style() : QApplication::style();
  stil->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
  const auto& spalten = m_gitter->Modell()->Spalten();
  if (index.column() >= static_cast<int>(spalten.size()) || !spalten[index.column()].dropDown) return;
  if (!IstAktuell(m_gitter, index)) return;
  QStyleOptionButton knopf;
  knopf.rect = KnopfRechteck(option.rect);
  knopf.state = QStyle::State_Enabled | QStyle::State_Raised;
  stil->drawControl(QStyle::CE_PushButtonBevel, &knopf, painter, option.widget);
  QStyleOption pfeil;
  pfeil.rect = knopf.rect.adjusted(3, 3, -3, -3);
  pfeil.state = QStyle::State_Enabled;
  pfeil.palette = option.palette;
  stil->drawPrimitive(QStyle::PE_IndicatorArrowDown, &pfeil, painter, option.widget);
}

bool GitterDelegate::helpEvent(QHelpEvent* ereignis, QAbstractItemView* ansicht, const QStyleOptionViewItem& option,
                               const QModelIndex& index) {
  if (ereignis && ereignis->type() == QEvent::ToolTip && index.isValid() && index.row() < m_gitter->Modell()->DatenZeilen()) {
    const QString tipp = m_gitter->ZellTipp(index.row(), index.column());
    if (!tipp.isEmpty()) {
      QToolTip::showText(ereignis->globalPos(), tipp, ansicht);
      return true;
    }
  }
  return QStyledItemDelegate::helpEvent(ereignis, ansicht, option, index);
}

bool GitterDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) {
  if (event->type() == QEvent::MouseButtonPress && IstAktuell(m_gitter, index)) {
    const auto& spalten = m_gitter->Modell()->Spalten();
    auto* m = static_cast<QMouseEvent*>(event);
    if (index.column() < static_cast<int>(spalten.size()) && spalten[index.column()].dropDown &&
        KnopfRechteck(option.rect).contains(m->position().toPoint())) {
      m_gitter->DropDownOeffnen();
      return true;
    }
  }
  return QStyledItemDelegate::editorEvent(event, model, option, index);
}
