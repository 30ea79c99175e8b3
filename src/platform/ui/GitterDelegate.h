#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class DatenGitter;
class QLineEdit;

// Cell editors of DatenGitter: text (limited to the column's data width), German number
// ("1.234,56") and German date (dd.MM.yyyy, keypad + and - move one day). Keys typed into an
// editor go to the grid's key hooks and open drop-downs first.
class GitterDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit GitterDelegate(DatenGitter* gitter);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  // The view lets go of an editor it has closed (it is deleted later): it is no longer the open one.
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
  // The current cell of a column with a drop-down shows its button; a click on it opens the list.
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
  // A cell that cannot show all of its text (a shortened name, a number shown as "###") shows it whole
  // in its tooltip.
  bool helpEvent(QHelpEvent* ereignis, QAbstractItemView* ansicht, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;
  static QRect KnopfRechteck(const QRect& zelle);
  // The cell editor that is open, nullptr when none is.
  QWidget* OffenerEditor() const { return m_editor.data(); }
  // Closes the open editor without taking its text.
  void EditorVerwerfen();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  // The grid's message about a text the column cannot read; the editor keeps its text and the focus.
  void Ablehnen(QLineEdit* editor, int spalte, const QString& text) const;

  DatenGitter* m_gitter;
  mutable QPointer<QWidget> m_editor;
  // While that message stands, the editor's loss of focus neither commits nor closes it.
  mutable bool m_ablehnungLaeuft = false;
};
