#include "controls/GridModel.h"

#include <QBrush>
#include <QLoggingCategory>
#include <algorithm>
#include <numeric>

#include "controls/ControlsLog.h"

namespace controls {

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

bool GridModel::inRange(int row, int col) const {
    if (row >= 0 && row < m_rows && col >= 0 && col < m_cols) return true;
    qCWarning(lcControls) << "cell out of range" << row << col << "of" << m_rows << m_cols;
    return false;
}

namespace {

constexpr size_t kCacheSize = 4096;  // cells; more than a screen holds

template <typename T>
void resizeKept(std::vector<T>& cells, size_t n) {
    if (!cells.empty()) cells.resize(n);
}

}  // namespace

void GridModel::reshape(int rows, int cols) {
    const size_t n = size_t(rows - 1);
    if (cols != m_cols) m_columns.resize(size_t(cols));
    if (rows != m_rows) {
        for (Column& c : m_columns) {
            resizeKept(c.text, n);
            resizeKept(c.check, n);
            resizeKept(c.back, n);
            if (rows < m_rows && !c.written.isEmpty())
                c.written.removeIf([rows](const auto& e) { return e.key() >= rows - 1; });
        }
        if (m_rs) m_records.resize(n, -1);
        ++m_generation;
    }
    m_rows = rows;
    m_cols = cols;
}

void GridModel::structureChanged() { m_resetPending = true; }

void GridModel::setRows(int rows) {
    rows = std::max(rows, 1);  // the header row always exists
    if (rows == m_rows) return;
    if (m_batching) {
        reshape(rows, m_cols);
        structureChanged();
        return;
    }
    if (rows > m_rows) {
        beginInsertRows({}, m_rows - 1, rows - 2);
        reshape(rows, m_cols);
        m_shownRows = rows - 1;
        endInsertRows();
    } else {
        beginRemoveRows({}, rows - 1, m_rows - 2);
        reshape(rows, m_cols);
        m_shownRows = rows - 1;
        endRemoveRows();
    }
}

void GridModel::setCols(int cols) {
    cols = std::max(cols, 0);
    if (cols == m_cols) return;
    if (m_batching) {
        reshape(m_rows, cols);
        structureChanged();
        return;
    }
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
        reshape(m_rows, cols);
        m_shownCols = cols;
        endInsertColumns();
    } else {
        beginRemoveColumns({}, cols, m_cols - 1);
        reshape(m_rows, cols);
        m_shownCols = cols;
        endRemoveColumns();
    }
}

void GridModel::clear() {
    for (Column& c : m_columns) {
        c.header.clear();
        c.source = {};
        c.text = {};
        c.written.clear();
        c.check = {};
        c.back = {};
    }
    m_rs.reset();
    m_records = {};
    ++m_generation;
    if (m_cols == 0) return;
    if (m_batching) {
        m_dirty.add(0, m_rows - 1, 0, m_cols - 1);
        return;
    }
    emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    if (m_rows > 1) emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
}

void GridModel::showRecordSet(host::RecordSetPtr rs, std::vector<host::GridField> columns) {
    const int records = rs ? rs->recordCount() : 0;
    if (!m_batching) beginResetModel();
    reshape(records + 1, int(columns.size()));
    m_rs = std::move(rs);
    m_records.resize(size_t(records));
    std::iota(m_records.begin(), m_records.end(), 0);
    for (int col = 0; col < m_cols; ++col) {
        Column& c = m_columns[size_t(col)];
        c.source = std::move(columns[size_t(col)]);
        c.text = {};
        c.written.clear();
        c.check = {};
        c.back = {};
        if (c.source.show != host::GridField::Check) continue;
        c.checkCol = true;
        c.check.assign(size_t(records), 0);
        for (int r = 0; r < records; ++r) {
            const QVariant v = m_rs->at(r, c.source.field);
            if (!v.isNull() && v.toBool()) c.check[size_t(r)] = uint8_t(Qt::Checked);
        }
    }
    ++m_generation;
    if (m_batching) {
        structureChanged();
        return;
    }
    m_shownRows = m_rows - 1;
    m_shownCols = m_cols;
    m_resetPending = false;
    m_dirty = {};
    endResetModel();
}

void GridModel::changed(int row, int col) {
    if (m_batching) {
        m_dirty.add(row, row, col, col);
    } else if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex i = index(row - 1, col);
        emit dataChanged(i, i);
    }
}

QString GridModel::shownText(int data, int col) const {
    const int record = size_t(data) < m_records.size() ? m_records[size_t(data)] : -1;
    if (!m_rs || record < 0) return {};
    const host::GridField& f = m_columns[size_t(col)].source;
    switch (f.show) {
        case host::GridField::Text:
            return f.text ? f.text(*m_rs, record, f.field) : m_rs->textAt(record, f.field);
        case host::GridField::Counter: return QString::number(record + 1);
        default: return {};
    }
}

QString GridModel::cellText(int data, int col, bool cached) const {
    const Column& c = m_columns[size_t(col)];
    if (!c.shows()) return c.text.empty() ? QString() : c.text[size_t(data)];
    if (!c.written.isEmpty()) {
        const auto it = c.written.constFind(data);
        if (it != c.written.constEnd()) return *it;
    }
    if (!cached) return shownText(data, col);
    if (m_cache.empty()) m_cache.resize(kCacheSize);
    CachedText& slot = m_cache[(size_t(data) * size_t(m_cols) + size_t(col)) % kCacheSize];
    if (slot.generation != m_generation || slot.data != data || slot.col != col)
        slot = {data, col, m_generation, shownText(data, col)};
    return slot.text;
}

QString GridModel::text(int row, int col) const {
    if (!inRange(row, col)) return {};
    return row == 0 ? m_columns[size_t(col)].header : cellText(row - 1, col, false);
}

void GridModel::setText(int row, int col, const QString& text) {
    if (!inRange(row, col)) return;
    Column& c = m_columns[size_t(col)];
    if (row == 0) {
        if (c.header == text) return;
        c.header = text;
    } else if (c.shows()) {
        if (cellText(row - 1, col, false) == text) return;
        c.written.insert(row - 1, text);
    } else {
        if (c.text.empty()) {
            if (text.isEmpty()) return;
            c.text.resize(size_t(m_rows - 1));
        }
        QString& slot = c.text[size_t(row - 1)];
        if (slot == text) return;
        slot = text;
    }
    changed(row, col);
}

Qt::CheckState GridModel::checkState(int row, int col) const {
    if (!inRange(row, col) || row == 0) return Qt::Unchecked;
    const Column& c = m_columns[size_t(col)];
    return c.check.empty() ? Qt::Unchecked : Qt::CheckState(c.check[size_t(row - 1)]);
}

void GridModel::setCheckState(int row, int col, Qt::CheckState state) {
    if (!inRange(row, col) || row == 0) return;
    Column& c = m_columns[size_t(col)];
    if (c.check.empty()) {
        if (state == Qt::Unchecked) return;
        c.check.assign(size_t(m_rows - 1), 0);
    }
    uint8_t& slot = c.check[size_t(row - 1)];
    if (slot == uint8_t(state)) return;
    slot = uint8_t(state);
    changed(row, col);
}

bool GridModel::isCheckColumn(int col) const {
    return col >= 0 && col < m_cols && m_columns[size_t(col)].checkCol;
}

void GridModel::setCheckColumn(int col, bool check) {
    if (!inRange(0, col) || isCheckColumn(col) == check) return;
    m_columns[size_t(col)].checkCol = check;
    if (m_batching) {
        m_dirty.add(0, m_rows - 1, col, col);
    } else if (m_rows > 1) {
        emit dataChanged(index(0, col), index(m_rows - 2, col));
    }
}

QColor GridModel::backColor(int row, int col) const {
    if (!inRange(row, col)) return {};
    const Column& c = m_columns[size_t(col)];
    if (row == 0) return c.headerBack == 0 ? QColor() : QColor::fromRgba(c.headerBack);
    const QRgb rgb = c.back.empty() ? 0 : c.back[size_t(row - 1)];
    return rgb == 0 ? QColor() : QColor::fromRgba(rgb);
}

void GridModel::setBackColor(int row, int col, const QColor& color) {
    if (!inRange(row, col)) return;
    Column& c = m_columns[size_t(col)];
    const QRgb rgb = color.isValid() ? color.rgba() : 0;
    if (row == 0) {
        if (c.headerBack == rgb) return;
        c.headerBack = rgb;
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    if (c.back.empty()) {
        if (rgb == 0) return;
        c.back.assign(size_t(m_rows - 1), 0);
    }
    QRgb& slot = c.back[size_t(row - 1)];
    if (slot == rgb) return;
    slot = rgb;
    changed(row, col);
}

Qt::Alignment GridModel::colAlignment(int col) const {
    if (col < 0 || col >= m_cols) return Qt::AlignLeft | Qt::AlignVCenter;
    return m_columns[size_t(col)].align;
}

void GridModel::setColAlignment(int col, Qt::Alignment alignment) {
    if (!inRange(0, col) || m_columns[size_t(col)].align == alignment) return;
    m_columns[size_t(col)].align = alignment;
    if (m_batching) {
        m_dirty.add(0, m_rows - 1, col, col);
    } else if (m_rows > 1) {
        emit dataChanged(index(0, col), index(m_rows - 2, col), {Qt::TextAlignmentRole});
    }
}

void GridModel::setBatching(bool on) {
    if (on == m_batching) return;
    m_batching = on;
    if (on) return;
    const bool reshaped = m_shownRows != m_rows - 1 || m_shownCols != m_cols;
    if (m_resetPending || reshaped) {
        beginResetModel();
        m_shownRows = m_rows - 1;
        m_shownCols = m_cols;
        m_resetPending = false;
        m_dirty = {};
        endResetModel();
        return;
    }
    if (m_dirty.empty()) return;
    const DirtyCells dirty = m_dirty;
    m_dirty = {};
    const int right = std::min(dirty.right, m_cols - 1);
    const int bottom = std::min(dirty.bottom, m_rows - 1);
    if (right < dirty.left || bottom < dirty.top) return;
    if (dirty.top == 0) emit headerDataChanged(Qt::Horizontal, dirty.left, right);
    const int firstRow = std::max(dirty.top, 1);
    if (bottom >= firstRow)
        emit dataChanged(index(firstRow - 1, dirty.left), index(bottom - 1, right));
}

bool GridModel::resetPending() const {
    return m_resetPending || m_shownRows != m_rows - 1 || m_shownCols != m_cols;
}

namespace {

struct SortKey {
    bool numeric = false;
    double number = 0;
    QString text;
};

}  // namespace

void GridModel::sortRows(int col, Qt::SortOrder order) {
    if (!inRange(0, col) || m_rows <= 2) return;
    const int dataRows = m_rows - 1;
    std::vector<SortKey> keys(static_cast<size_t>(dataRows));
    for (int r = 0; r < dataRows; ++r) {
        SortKey& k = keys[size_t(r)];
        k.text = cellText(r, col, false);
        k.number = k.text.trimmed().toDouble(&k.numeric);
    }
    auto less = [&](int a, int b) {
        const SortKey& x = keys[size_t(a)];
        const SortKey& y = keys[size_t(b)];
        if (x.numeric && y.numeric) return x.number < y.number;
        if (x.numeric != y.numeric) return x.numeric;  // numbers before text
        return x.text < y.text;
    };
    std::vector<int> perm(static_cast<size_t>(dataRows));  // new position -> old data row (0-based)
    std::iota(perm.begin(), perm.end(), 0);
    if (order == Qt::AscendingOrder)
        std::stable_sort(perm.begin(), perm.end(), less);
    else
        std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) { return less(b, a); });

    const bool announce = !m_batching;
    if (announce) emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<int> newRowOf(static_cast<size_t>(dataRows));
    for (int to = 0; to < dataRows; ++to) newRowOf[size_t(perm[size_t(to)])] = to;
    auto permute = [&](auto& cells) {
        if (cells.empty()) return;
        auto copy = std::move(cells);
        cells.resize(copy.size());
        for (int to = 0; to < dataRows; ++to) cells[size_t(to)] = std::move(copy[size_t(perm[size_t(to)])]);
    };
    for (Column& c : m_columns) {
        permute(c.text);
        permute(c.check);
        permute(c.back);
        if (c.written.isEmpty()) continue;
        QHash<int, QString> moved;
        for (auto it = c.written.cbegin(); it != c.written.cend(); ++it)
            moved.insert(newRowOf[size_t(it.key())], it.value());
        c.written = std::move(moved);
    }
    permute(m_records);
    ++m_generation;

    if (!announce) {
        structureChanged();
        return;
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to.append(i.row() < dataRows ? index(newRowOf[size_t(i.row())], i.column()) : i);
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownRows;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownCols;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int data = index.row();
    const int col = index.column();
    if (data + 1 >= m_rows || col >= m_cols) return {};  // a view behind a batch
    const Column& c = m_columns[size_t(col)];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cellText(data, col, true);
        case Qt::CheckStateRole:
            if (!c.checkCol) return {};
            return c.check.empty() ? int(Qt::Unchecked) : int(c.check[size_t(data)]);
        case Qt::BackgroundRole: {
            const QRgb rgb = c.back.empty() ? 0 : c.back[size_t(data)];
            if (rgb == 0) return {};
            return QBrush(QColor::fromRgba(rgb));
        }
        case Qt::TextAlignmentRole:
            return int(c.align);
        default:
            return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid()) return false;
    const int row = index.row() + 1;
    const int col = index.column();
    if (role == Qt::EditRole) {
        if (row >= m_rows || col >= m_cols || m_columns[size_t(col)].editor.kind == host::CellEditor::None)
            return false;
        const QString typed = value.toString();
        if (typed == text(row, col)) return true;
        setText(row, col, typed);
        emit cellEdited(row, col);
        return true;
    }
    if (role != Qt::CheckStateRole) return false;
    if (row >= m_rows || col >= m_cols || !m_columns[size_t(col)].checkCol) return false;
    const auto state = Qt::CheckState(value.toInt());
    if (state == checkState(row, col)) return true;
    setCheckState(row, col, state);
    emit checkToggled(row, col);
    return true;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < m_shownRows) return section + 1;
        return {};
    }
    if (section < 0 || section >= m_cols || section >= m_shownCols) return {};
    switch (role) {
        case Qt::DisplayRole:
            return m_columns[size_t(section)].header;
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::BackgroundRole: {  // a title cell's own colour
            const QRgb rgb = m_columns[size_t(section)].headerBack;
            if (rgb == 0) return {};
            return QBrush(QColor::fromRgba(rgb));
        }
        default:
            return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() < m_cols && m_columns[size_t(index.column())].checkCol)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() < m_cols && m_columns[size_t(index.column())].editor.kind != host::CellEditor::None)
        f |= Qt::ItemIsEditable;
    return f;
}

host::CellEditor GridModel::colEditor(int col) const {
    return col >= 0 && col < m_cols ? m_columns[size_t(col)].editor : host::CellEditor{};
}

void GridModel::setColEditor(int col, const host::CellEditor& editor) {
    if (!inRange(0, col)) return;
    m_columns[size_t(col)].editor = editor;
}

}  // namespace controls
