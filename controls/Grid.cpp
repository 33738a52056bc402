#include "controls/Grid.h"

#include <QHeaderView>
#include <QScrollBar>

#include "controls/GridCellDelegate.h"
#include "controls/Twips.h"

namespace controls {

Grid::Grid(QWidget* parent)
    : QTableView(parent), m_model(new GridModel(this)), m_cellDelegate(new GridCellDelegate(m_model, this)) {
    setModel(m_model);
    setItemDelegate(m_cellDelegate);
    connect(m_model, &GridModel::cellEdited, this, &Grid::cellEdited);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setSortingEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setDefaultSectionSize(twipsToPixels(1500));
    horizontalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setStretchLastSection(false);

    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        if (m_lastRow != 0) {  // a reset drops the current index without a signal
            m_lastRow = 0;
            emit currentRowChanged(0);
        }
    });
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &Grid::applyColumns);
    connect(m_model, &QAbstractItemModel::columnsRemoved, this, &Grid::applyColumns);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { onCurrentChanged(current); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &Grid::onSectionResized);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
        if (i.isValid()) emit cellClicked(i.row() + 1, i.column());
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid()) emit cellDoubleClicked(i.row() + 1, i.column());
    });
}

Grid::~Grid() = default;

void Grid::setColEditor(int col, const host::CellEditor& editor) {
    m_model->setColEditor(col, editor);
    if (editor.kind != host::CellEditor::None)
        setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
}

bool Grid::commitEdit() {
    QWidget* editor = m_cellDelegate->openEditor();
    if (!editor) return false;
    commitData(editor);
    return true;
}

bool Grid::letGo(const QWidget* editor) const {
    return !editor || (itemDelegate() == m_cellDelegate && editor != m_cellDelegate->openEditor());
}

void Grid::commitData(QWidget* editor) {
    // An editor the grid has let go of (refilled rows) may still commit a key it took before
    // (Enter): nothing to do.
    if (!letGo(editor)) QTableView::commitData(editor);
}

void Grid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (!letGo(editor)) QTableView::closeEditor(editor, hint);  // likewise its late close
}

void Grid::setCols(int cols) { m_model->setCols(cols); }

void Grid::setText(int row, int col, const QString& text) { m_model->setText(row, col, text); }

Qt::CheckState Grid::checkState(int row, int col) const { return m_model->checkState(row, col); }

void Grid::setCheckState(int row, int col, Qt::CheckState state) {
    m_model->setCheckState(row, col, state);
}

void Grid::setBackColor(int row, int col, const QColor& color) {
    m_model->setBackColor(row, col, color);
}

void Grid::applyColumns() {
    const size_t n = size_t(m_model->cols());
    m_widthTwips.resize(n, -1);
    m_hidden.resize(n, 0);
    m_applying = true;
    QHeaderView* header = horizontalHeader();
    for (int c = 0; c < header->count() && size_t(c) < n; ++c) {
        const int twips = m_widthTwips[size_t(c)];
        const bool hide = m_hidden[size_t(c)] || twips == 0;
        header->setSectionHidden(c, hide);
        if (!hide)
            header->resizeSection(c, twips < 0 ? header->defaultSectionSize() : twipsToPixels(twips));
    }
    m_applying = false;
}

int Grid::colWidth(int col) const {
    if (col < 0 || col >= m_model->cols()) return 0;
    const int twips = size_t(col) < m_widthTwips.size() ? m_widthTwips[size_t(col)] : -1;
    return twips < 0 ? pixelsToTwips(horizontalHeader()->defaultSectionSize()) : twips;
}

void Grid::setColWidth(int col, int twips) {
    if (col < 0 || col >= m_model->cols()) return;
    if (m_widthTwips.size() < size_t(m_model->cols())) {
        m_widthTwips.resize(size_t(m_model->cols()), -1);
        m_hidden.resize(size_t(m_model->cols()), 0);
    }
    m_widthTwips[size_t(col)] = std::max(twips, 0);
    if (col >= horizontalHeader()->count()) return;  // applied when the view learns the column
    m_applying = true;
    const bool hide = m_hidden[size_t(col)] || twips <= 0;
    horizontalHeader()->setSectionHidden(col, hide);
    if (!hide) horizontalHeader()->resizeSection(col, twipsToPixels(twips));
    m_applying = false;
}

bool Grid::colHidden(int col) const {
    if (col < 0 || col >= m_model->cols()) return false;
    if (size_t(col) >= m_hidden.size()) return false;
    return m_hidden[size_t(col)] || m_widthTwips[size_t(col)] == 0;
}

void Grid::setColHidden(int col, bool hidden) {
    if (col < 0 || col >= m_model->cols()) return;
    if (m_hidden.size() < size_t(m_model->cols())) {
        m_widthTwips.resize(size_t(m_model->cols()), -1);
        m_hidden.resize(size_t(m_model->cols()), 0);
    }
    m_hidden[size_t(col)] = hidden ? 1 : 0;
    if (col < horizontalHeader()->count())
        horizontalHeader()->setSectionHidden(col, hidden || m_widthTwips[size_t(col)] == 0);
}

void Grid::onSectionResized(int col, int, int newSize) {
    if (m_applying || newSize <= 0 || col < 0 || size_t(col) >= m_widthTwips.size()) return;
    m_widthTwips[size_t(col)] = pixelsToTwips(newSize);
}

int Grid::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void Grid::setCurrentRow(int row) {
    if (row < 1 || row >= m_model->rows() || row > m_model->rowCount()) {
        selectionModel()->clearSelection();
        setCurrentIndex({});
        return;
    }
    int col = currentIndex().isValid() ? currentIndex().column() : -1;
    if (col < 0 || colHidden(col)) {
        col = 0;
        while (col < m_model->cols() - 1 && colHidden(col)) ++col;
    }
    setCurrentIndex(m_model->index(row - 1, col));
}

int Grid::currentCol() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : 0;
}

void Grid::onCurrentChanged(const QModelIndex& current) {
    const int row = current.isValid() ? current.row() + 1 : 0;
    if (row == m_lastRow) return;
    m_lastRow = row;
    emit currentRowChanged(row);
}

int Grid::topRow() const {
    if (m_model->rowCount() == 0) return 0;
    const int r = rowAt(0);
    return r < 0 ? 1 : r + 1;
}

void Grid::setTopRow(int row) {
    if (row < 1 || row > m_model->rowCount()) return;
    verticalScrollBar()->setValue(row - 1);
}

void Grid::setRedraw(bool on) {
    if (on == m_redraw) return;
    m_redraw = on;
    if (!on) {
        m_model->setBatching(true);
        return;
    }
    // Paint now only what the user can see change: a new shape, or changed rows in view.
    bool paint = isVisible();
    if (paint && !m_model->resetPending()) {
        const int first = m_model->pendingFirstRow();
        const int last = m_model->pendingLastRow();
        const int top = topRow();
        const int bottomIndex = rowAt(viewport()->height() - 1);
        const int bottom = bottomIndex < 0 ? m_model->rowCount() : bottomIndex + 1;
        paint = first <= last && (first == 0 || (first <= bottom && last >= top));
    }
    m_model->setBatching(false);
    ++m_repaints;
    if (paint) viewport()->update();  // painted by the event loop, never inside a fill
}

}  // namespace controls
