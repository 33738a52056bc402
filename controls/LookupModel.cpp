#include "controls/LookupModel.h"

#include "controls/ControlsLog.h"

namespace controls {

LookupModel::LookupModel(QObject* parent) : QAbstractTableModel(parent) {}

void LookupModel::setRows(host::RecordSetPtr rows, const QVector<RefColumn>& columns,
                          const QStringList& searchFields) {
    beginResetModel();
    m_rows = std::move(rows);
    m_columns.clear();
    m_search.clear();
    if (m_rows) {
        for (const RefColumn& c : columns) {
            if (!c.shown) continue;
            const int field = m_rows->fieldIndex(c.field);
            if (field < 0) {
                qCWarning(lcControls) << "Look-up: the data source has no field" << c.field;
                continue;
            }
            m_columns.append({field, c.caption.isEmpty() ? c.field : c.caption, c.widthTwips});
        }
        if (m_columns.isEmpty())
            for (int f = 0; f < m_rows->fieldCount(); ++f)
                m_columns.append({f, m_rows->field(f).name, 0});

        QVector<int> searched;
        for (const Column& c : std::as_const(m_columns)) searched.append(c.field);
        for (const QString& name : searchFields) {
            const int field = m_rows->fieldIndex(name);
            if (field >= 0 && !searched.contains(field)) searched.append(field);
        }
        const int count = m_rows->recordCount();
        m_search.resize(count);
        QString text;
        for (int r = 0; r < count; ++r) {
            text.clear();
            for (int f : std::as_const(searched)) {
                text += host::variantText(m_rows->at(r, f));
                text += QLatin1Char('\n');  // no typed needle holds a line break
            }
            m_search[r] = text.toLower();
        }
    }
    endResetModel();
}

int LookupModel::fieldOfColumn(int column) const {
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : -1;
}

int LookupModel::widthTwipsOfColumn(int column) const {
    return column >= 0 && column < m_columns.size() ? m_columns[column].widthTwips : 0;
}

bool LookupModel::rowMatches(int row, const QString& lowerNeedle) const {
    if (lowerNeedle.isEmpty()) return true;
    return row >= 0 && row < m_search.size() && m_search[row].contains(lowerNeedle);
}

host::RecordSetPtr LookupModel::recordsOf(const QVector<int>& sourceRows) const {
    if (!m_rows) return std::make_shared<host::RecordSet>();
    QVector<QVector<QVariant>> out;
    out.reserve(sourceRows.size());
    for (int r : sourceRows) {
        if (r < 0 || r >= m_rows->recordCount()) continue;
        QVector<QVariant> values;
        values.reserve(m_rows->fieldCount());
        for (int f = 0; f < m_rows->fieldCount(); ++f) values.append(m_rows->at(r, f));
        out.append(values);
    }
    return std::make_shared<host::RecordSet>(m_rows->fields(), out);
}

int LookupModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_rows ? 0 : m_rows->recordCount();
}

int LookupModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant LookupModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_rows || index.row() >= m_rows->recordCount() ||
        index.column() >= m_columns.size())
        return {};
    const QVariant& v = m_rows->at(index.row(), m_columns[index.column()].field);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return host::variantText(v);
        case SortRole:
            // Null sorts as empty text, before every other text.
            return v.isNull() ? QVariant(QString()) : v;
        default:
            return {};
    }
}

QVariant LookupModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size())
        return m_columns[section].caption;
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace controls
