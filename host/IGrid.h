#pragma once
// The grid API the windows and the public service use. Row 0 is the header row; data rows
// start at 1. Column widths are given in twips (15 twips make one pixel at 96 dpi); width 0
// hides a column.
#include <QColor>
#include <QString>
#include <QStringList>
#include <Qt>
#include <functional>
#include <vector>

#include "host/RecordSet.h"

class QWidget;

namespace host {

// What one grid column shows of a record set the grid shows.
struct GridField {
    enum Show {
        Empty,    // nothing of the record set: texts the window writes itself
        Text,     // the field's text (NULL as empty), or what `text` makes of the value
        Counter,  // the record's number, 1 for the first record (moves with it when sorted)
        Check     // the field as the check state of a check column: NULL, 0 and false unticked
    };
    Show show = Empty;
    int field = -1;
    // The shown text of the field of a record (0-based); empty: the field's own text.
    std::function<QString(const RecordSet& rs, int record, int field)> text;
};

// How the user edits the cells of a column in the grid itself.
struct CellEditor {
    enum Kind {
        None,  // not editable
        Text,  // a text box over the cell
        List   // a drop-down list of `choices`, in their order
    };
    Kind kind = None;
    QStringList choices;
};

class IGrid {
public:
    virtual ~IGrid() = default;
    virtual QWidget* widget() = 0;

    virtual int rows() const = 0;  // header row included
    virtual void setRows(int rows) = 0;
    virtual int cols() const = 0;
    virtual void setCols(int cols) = 0;
    virtual void clear() = 0;  // empties every cell, keeps rows and cols

    virtual QString text(int row, int col) const = 0;
    virtual void setText(int row, int col, const QString& text) = 0;
    virtual Qt::CheckState checkState(int row, int col) const = 0;
    virtual void setCheckState(int row, int col, Qt::CheckState state) = 0;
    virtual bool isCheckColumn(int col) const = 0;
    virtual void setCheckColumn(int col, bool check) = 0;
    virtual QColor backColor(int row, int col) const = 0;  // invalid colour = default
    virtual void setBackColor(int row, int col, const QColor& color) = 0;
    virtual Qt::Alignment colAlignment(int col) const = 0;
    virtual void setColAlignment(int col, Qt::Alignment alignment) = 0;
    // Data cells of a column the user edits in place (F2, typing, double click); every change
    // the user commits is announced (Grid::cellEdited).
    virtual CellEditor colEditor(int col) const = 0;
    virtual void setColEditor(int col, const CellEditor& editor) = 0;

    virtual int colWidth(int col) const = 0;  // twips
    virtual void setColWidth(int col, int twips) = 0;
    virtual bool colHidden(int col) const = 0;
    virtual void setColHidden(int col, bool hidden) = 0;

    virtual int currentRow() const = 0;  // 0 when no data row is current
    virtual void setCurrentRow(int row) = 0;
    virtual int currentCol() const = 0;
    virtual int topRow() const = 0;  // first data row visible
    virtual void setTopRow(int row) = 0;

    // Redraw off batches changes; switching it on again repaints once.
    virtual bool redraw() const = 0;
    virtual void setRedraw(bool on) = 0;
    virtual int repaintCount() const = 0;  // repaints done since creation (fill progress)

    virtual void sort(int col, Qt::SortOrder order) = 0;  // data rows only

    // One data row per record, column c showing columns[c]: the grid reads the record set as
    // the view asks (nothing is copied) and keeps the header row, widths, alignments and check
    // columns. Cells written afterwards (text, check, colour) are kept over what it shows.
    virtual void showRecordSet(RecordSetPtr rs, std::vector<GridField> columns) = 0;
};

}  // namespace host
