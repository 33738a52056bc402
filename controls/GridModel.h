#pragma once
// The cells of a Grid, column by column. A column either shows a field of the record set the
// grid shows (read from it when asked: a view's cells are made into text as it paints them and
// kept while they are on screen) or keeps the texts written into it; check states and colours
// are kept per column once one is set, and texts written over a shown field are kept apart.
// Addressed the grid's way: row 0 is the header row (the model's horizontal header), data rows
// start at 1 and are the model's rows 0…n-1. While batching (the grid's redraw is off) changes
// emit nothing; ending the batch announces them in one reset or one dataChanged.
#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QString>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "host/IGrid.h"
#include "host/RecordSet.h"

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

    // One data row per record, column c showing columns[c] (see host::IGrid::showRecordSet).
    void showRecordSet(host::RecordSetPtr rs, std::vector<host::GridField> columns);

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
    host::CellEditor colEditor(int col) const;
    void setColEditor(int col, const host::CellEditor& editor);

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
    // The user changed the text of a cell in its cell editor (grid row, col).
    void cellEdited(int row, int col);

private:
    struct Column {
        QString header;
        host::GridField source;       // show Empty: the column keeps its own texts
        std::vector<QString> text;    // own texts by data row; empty until one is written
        QHash<int, QString> written;  // texts written over a shown field, by data row
        std::vector<uint8_t> check;   // by data row; empty until a state is set
        std::vector<QRgb> back;       // by data row; empty until a colour is set; 0 = default
        QRgb headerBack = 0;          // the title cell's own colour; 0 = default
        bool checkCol = false;
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        host::CellEditor editor;  // how the user edits the column's cells
        bool shows() const { return source.show != host::GridField::Empty; }
    };

    bool inRange(int row, int col) const;
    QString cellText(int data, int col, bool cached) const;  // data row 0-based
    QString shownText(int data, int col) const;               // of the record set
    void reshape(int rows, int cols);
    void changed(int row, int col);  // one cell changed: announce it or remember it
    void structureChanged();         // shape or order changed while batching

    int m_rows = 1;
    int m_cols = 0;
    std::vector<Column> m_columns;
    host::RecordSetPtr m_rs;
    std::vector<int> m_records;  // record shown by each data row (-1: none) while m_rs is set

    // Texts of shown fields the views asked for lately (what is on screen), by cell.
    struct CachedText {
        int data = -1;
        int col = -1;
        quint32 generation = 0;
        QString text;
    };
    mutable std::vector<CachedText> m_cache;
    quint32 m_generation = 1;  // a new one forgets every cached text

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
