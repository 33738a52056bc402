#include "controls/GridCellDelegate.h"

#include <QComboBox>
#include <QLineEdit>

#include "controls/GridModel.h"

namespace controls {

GridCellDelegate::GridCellDelegate(GridModel* model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {}

QWidget* GridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const host::CellEditor kind = m_model->colEditor(index.column());
    QWidget* editor = nullptr;
    if (kind.kind == host::CellEditor::List) {
        auto* list = new QComboBox(parent);
        list->setFrame(false);
        list->addItems(kind.choices);
        // A choice is the cell's new text at once; the list stays open for another one.
        connect(list, &QComboBox::activated, this, [this, list] {
            auto* self = const_cast<GridCellDelegate*>(this);
            emit self->commitData(list);
        });
        editor = list;
    } else if (kind.kind == host::CellEditor::Text) {
        auto* box = new QLineEdit(parent);
        box->setFrame(false);
        editor = box;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    m_open = editor;
    return editor;
}

void GridCellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor == m_open) m_open = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void GridCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        list->setCurrentIndex(list->findText(text));
    } else if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        if (box->text() != text) box->setText(text);  // keeps the cursor while the user types
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void GridCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        if (list->currentIndex() >= 0) model->setData(index, list->currentText(), Qt::EditRole);
    } else if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, box->text(), Qt::EditRole);
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
}

}  // namespace controls
