#pragma once
// The cells of a Grid: text, check state and back colour in flat vectors, one entry per cell.
// Addressed the grid's way: row 0 is the header row (the model's horizontal header), data rows
// start at 1 and are the model's rows 0…n-1. While batching (the grid's redraw is off) changes
// emit nothing; ending the batch announces them in one reset or one dataChanged.
#include <QAbstractTableModel>
#include <QColor>
#include <algorithm>
#include <climits>
#include <QString>
#include <cstdint>
#include <vector>

namespace controls {

class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit GridModel(QObject* parent = nullptr);

    int rows() const { return m_rows; }  // header row included, at least 1
    void setRows(int rows);
    int cols() const { return m_cols; }
    void setCols(int cols);
    void clear();  // every cell, header included, loses text, check state and colour

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    Qt::CheckState checkState(int row, int col) const;
    void setCheckState(int row, int col, Qt::CheckState state);
    bool isCheckColumn(int col) const;
    void setCheckColumn(int col, bool check);
    QColor backColor(int row, int col) const;
    void setBackColor(int row, int col, const QColor& color);
    Qt::Alignment colAlignment(int col) const;
    void setColAlignment(int col, Qt::Alignment alignment);

    bool batching() const { return m_batching; }
    void setBatching(bool on);
    // What ending the batch will announce: a reset (new shape or order), or the grid rows
    // first..last changed (first > last: nothing).
    bool resetPending() const;
    int pendingFirstRow() const { return m_dirty.top; }
    int pendingLastRow() const { return m_dirty.bottom; }

    // Sorts the data rows by the text of one column: numbers numerically, other text by code
    // point; equal rows keep their order.
    void sortRows(int col, Qt::SortOrder order);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The user ticked or cleared the box of a check-column cell (grid row, col).
    void checkToggled(int row, int col);

private:
    bool inRange(int row, int col) const;
    size_t cell(int row, int col) const { return size_t(row) * size_t(m_cols) + size_t(col); }
    void reshape(int rows, int cols);
    void changed(int row, int col);  // one cell changed: announce it or remember it
    void structureChanged();         // shape or order changed while batching

    int m_rows = 1;
    int m_cols = 0;
    std::vector<QString> m_text;     // m_rows * m_cols, row-major, row 0 = header
    std::vector<uint8_t> m_check;    // same shape; empty until a check column exists
    std::vector<QRgb> m_back;        // same shape; empty until a colour is set; 0 = default
    std::vector<uint8_t> m_checkCol;      // per column
    std::vector<Qt::Alignment> m_align;   // per column

    // What the views were last told (rowCount/columnCount answer these while batching).
    int m_shownRows = 0;
    int m_shownCols = 0;
    bool m_batching = false;
    bool m_resetPending = false;
    // Grid cells changed while batching.
    struct DirtyCells {
        int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
        bool empty() const { return bottom < 0; }
        void add(int firstRow, int lastRow, int firstCol, int lastCol) {
            top = std::min(top, firstRow);
            bottom = std::max(bottom, lastRow);
            left = std::min(left, firstCol);
            right = std::max(right, lastCol);
        }
    };
    DirtyCells m_dirty;
};

}  // namespace controls
