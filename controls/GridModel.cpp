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

void GridModel::reshape(int rows, int cols) {
    if (cols == m_cols) {
        const size_t n = size_t(rows) * size_t(cols);
        m_text.resize(n);
        if (!m_check.empty()) m_check.resize(n, 0);
        if (!m_back.empty()) m_back.resize(n, 0);
    } else {
        const int keepRows = std::min(rows, m_rows);
        const int keepCols = std::min(cols, m_cols);
        const size_t n = size_t(rows) * size_t(cols);
        std::vector<QString> text(n);
        std::vector<uint8_t> check(m_check.empty() ? 0 : n, 0);
        std::vector<QRgb> back(m_back.empty() ? 0 : n, 0);
        for (int r = 0; r < keepRows; ++r) {
            for (int c = 0; c < keepCols; ++c) {
                const size_t from = cell(r, c);
                const size_t to = size_t(r) * size_t(cols) + size_t(c);
                text[to] = std::move(m_text[from]);
                if (!check.empty()) check[to] = m_check[from];
                if (!back.empty()) back[to] = m_back[from];
            }
        }
        m_text = std::move(text);
        m_check = std::move(check);
        m_back = std::move(back);
        m_checkCol.resize(size_t(cols), 0);
        m_align.resize(size_t(cols), Qt::AlignLeft | Qt::AlignVCenter);
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
    std::fill(m_text.begin(), m_text.end(), QString());
    std::fill(m_check.begin(), m_check.end(), uint8_t(0));
    m_back.clear();
    if (m_cols == 0) return;
    if (m_batching) {
        m_dirty.add(0, m_rows - 1, 0, m_cols - 1);
        return;
    }
    emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    if (m_rows > 1) emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
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

QString GridModel::text(int row, int col) const {
    if (!inRange(row, col)) return {};
    return m_text[cell(row, col)];
}

void GridModel::setText(int row, int col, const QString& text) {
    if (!inRange(row, col)) return;
    QString& slot = m_text[cell(row, col)];
    if (slot == text) return;
    slot = text;
    changed(row, col);
}

Qt::CheckState GridModel::checkState(int row, int col) const {
    if (!inRange(row, col) || m_check.empty()) return Qt::Unchecked;
    return Qt::CheckState(m_check[cell(row, col)]);
}

void GridModel::setCheckState(int row, int col, Qt::CheckState state) {
    if (!inRange(row, col)) return;
    if (m_check.empty()) {
        if (state == Qt::Unchecked) return;
        m_check.assign(m_text.size(), 0);
    }
    uint8_t& slot = m_check[cell(row, col)];
    if (slot == uint8_t(state)) return;
    slot = uint8_t(state);
    changed(row, col);
}

bool GridModel::isCheckColumn(int col) const {
    return col >= 0 && col < m_cols && m_checkCol[size_t(col)] != 0;
}

void GridModel::setCheckColumn(int col, bool check) {
    if (!inRange(0, col) || isCheckColumn(col) == check) return;
    m_checkCol[size_t(col)] = check ? 1 : 0;
    if (check && m_check.empty()) m_check.assign(m_text.size(), 0);
    if (m_batching) {
        m_dirty.add(0, m_rows - 1, col, col);
    } else if (m_rows > 1) {
        emit dataChanged(index(0, col), index(m_rows - 2, col));
    }
}

QColor GridModel::backColor(int row, int col) const {
    if (!inRange(row, col) || m_back.empty()) return {};
    const QRgb rgb = m_back[cell(row, col)];
    return rgb == 0 ? QColor() : QColor::fromRgba(rgb);
}

void GridModel::setBackColor(int row, int col, const QColor& color) {
    if (!inRange(row, col)) return;
    const QRgb rgb = color.isValid() ? color.rgba() : 0;
    if (m_back.empty()) {
        if (rgb == 0) return;
        m_back.assign(m_text.size(), 0);
    }
    QRgb& slot = m_back[cell(row, col)];
    if (slot == rgb) return;
    slot = rgb;
    changed(row, col);
}

Qt::Alignment GridModel::colAlignment(int col) const {
    if (col < 0 || col >= m_cols) return Qt::AlignLeft | Qt::AlignVCenter;
    return m_align[size_t(col)];
}

void GridModel::setColAlignment(int col, Qt::Alignment alignment) {
    if (!inRange(0, col) || m_align[size_t(col)] == alignment) return;
    m_align[size_t(col)] = alignment;
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
        k.text = m_text[cell(r + 1, col)];
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

    auto permute = [&](auto& cells) {
        if (cells.empty()) return;
        auto copy = cells;
        for (int to = 0; to < dataRows; ++to) {
            const int from = perm[size_t(to)];
            std::move(copy.begin() + ptrdiff_t(cell(from + 1, 0)),
                      copy.begin() + ptrdiff_t(cell(from + 2, 0)),
                      cells.begin() + ptrdiff_t(cell(to + 1, 0)));
        }
    };
    permute(m_text);
    permute(m_check);
    permute(m_back);

    if (!announce) {
        structureChanged();
        return;
    }
    std::vector<int> newRowOf(static_cast<size_t>(dataRows));
    for (int to = 0; to < dataRows; ++to) newRowOf[size_t(perm[size_t(to)])] = to;
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
    const int row = index.row() + 1;
    const int col = index.column();
    if (row >= m_rows || col >= m_cols) return {};  // a view behind a batch
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_text[cell(row, col)];
        case Qt::CheckStateRole:
            if (!m_checkCol[size_t(col)]) return {};
            return m_check.empty() ? int(Qt::Unchecked) : int(m_check[cell(row, col)]);
        case Qt::BackgroundRole: {
            if (m_back.empty()) return {};
            const QRgb rgb = m_back[cell(row, col)];
            if (rgb == 0) return {};
            return QBrush(QColor::fromRgba(rgb));
        }
        case Qt::TextAlignmentRole:
            return int(m_align[size_t(col)]);
        default:
            return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole) return false;
    const int row = index.row() + 1;
    const int col = index.column();
    if (row >= m_rows || col >= m_cols || !m_checkCol[size_t(col)]) return false;
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
            return m_text[cell(0, section)];
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::BackgroundRole: {  // a title cell's own colour
            const QRgb rgb = m_back.empty() ? 0 : m_back[cell(0, section)];
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
    if (index.column() < m_cols && m_checkCol[size_t(index.column())]) f |= Qt::ItemIsUserCheckable;
    return f;
}

}  // namespace controls
