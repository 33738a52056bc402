#pragma once
// The cell editors of a Grid: a text box or a drop-down list over a cell of a column the
// window made editable (host::CellEditor); other cells paint as any table cell. Keeps the one
// editor open at a time, so the grid can commit or drop it when it is refilled or closed.
#include <QPointer>
#include <QStyledItemDelegate>

namespace controls {

class GridModel;

class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    GridCellDelegate(GridModel* model, QObject* parent);

    // The cell editor now open; null when none is.
    QWidget* openEditor() const { return m_open; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    GridModel* m_model;
    mutable QPointer<QWidget> m_open;
};

}  // namespace controls
