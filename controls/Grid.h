#pragma once
// The grid the windows list their rows in: a QTableView over one GridModel, with the grid API
// of host::IGrid. Grid row 0 is the header; column 0 is an ordinary column (the windows keep a
// row counter there). Widths are kept in twips and survive model resets.
#include <QTableView>
#include <vector>

#include "controls/GridModel.h"
#include "host/IGrid.h"

namespace controls {

class GridCellDelegate;

class Grid : public QTableView, public host::IGrid {
    Q_OBJECT

public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    GridModel* gridModel() const { return m_model; }

    QWidget* widget() override { return this; }

    int rows() const override { return m_model->rows(); }
    void setRows(int rows) override { m_model->setRows(rows); }
    int cols() const override { return m_model->cols(); }
    void setCols(int cols) override;
    void clear() override { m_model->clear(); }

    QString text(int row, int col) const override { return m_model->text(row, col); }
    void setText(int row, int col, const QString& text) override;
    Qt::CheckState checkState(int row, int col) const override;
    void setCheckState(int row, int col, Qt::CheckState state) override;
    bool isCheckColumn(int col) const override { return m_model->isCheckColumn(col); }
    void setCheckColumn(int col, bool check) override { m_model->setCheckColumn(col, check); }
    QColor backColor(int row, int col) const override { return m_model->backColor(row, col); }
    void setBackColor(int row, int col, const QColor& color) override;
    Qt::Alignment colAlignment(int col) const override { return m_model->colAlignment(col); }
    void setColAlignment(int col, Qt::Alignment a) override { m_model->setColAlignment(col, a); }
    host::CellEditor colEditor(int col) const override { return m_model->colEditor(col); }
    void setColEditor(int col, const host::CellEditor& editor) override;
    // Writes what the user has typed or chosen in an open cell editor into its cell (the
    // editor stays open). False when no editor is open.
    bool commitEdit();

    int colWidth(int col) const override;
    void setColWidth(int col, int twips) override;
    bool colHidden(int col) const override;
    void setColHidden(int col, bool hidden) override;

    int currentRow() const override;
    void setCurrentRow(int row) override;
    int currentCol() const override;
    int topRow() const override;
    void setTopRow(int row) override;

    bool redraw() const override { return m_redraw; }
    void setRedraw(bool on) override;
    int repaintCount() const override { return m_repaints; }

    void sort(int col, Qt::SortOrder order) override { m_model->sortRows(col, order); }
    void showRecordSet(host::RecordSetPtr rs, std::vector<host::GridField> columns) override {
        m_model->showRecordSet(std::move(rs), std::move(columns));
    }

signals:
    void currentRowChanged(int row);  // grid row; 0 when no data row is current
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);
    void cellEdited(int row, int col);  // the user changed a cell in its cell editor

protected:
    // Drops what a cell editor the grid has let go of still sends.
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void applyColumns();  // widths and hidden state onto the header view
    bool letGo(const QWidget* editor) const;  // a cell editor no longer open in the grid
    void onCurrentChanged(const QModelIndex& current);
    void onSectionResized(int col, int oldSize, int newSize);

    GridModel* m_model;
    GridCellDelegate* m_cellDelegate;
    std::vector<int> m_widthTwips;  // -1: the view's default width
    std::vector<char> m_hidden;
    bool m_redraw = true;
    bool m_applying = false;
    int m_repaints = 0;
    int m_lastRow = 0;
};

}  // namespace controls
