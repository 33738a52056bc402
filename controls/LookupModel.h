#pragma once
// The rows of a look-up window: one table row per record of a record set, one column per shown
// field. Display text is the record's text; SortRole gives the raw value so numbers and dates
// sort by value. Each row keeps a lower-cased search text of its searchable fields.
#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

#include "controls/RefDefinition.h"
#include "host/RecordSet.h"

namespace controls {

class LookupModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit LookupModel(QObject* parent = nullptr);

    // Shows `rows` with `columns` (those not shown and those whose field the rows lack are left
    // out; with none left, every field is shown under its own name). The search text of a row is
    // made from the shown columns plus `searchFields`.
    void setRows(host::RecordSetPtr rows, const QVector<RefColumn>& columns = {},
                 const QStringList& searchFields = {});
    host::RecordSetPtr rows() const { return m_rows; }

    int fieldOfColumn(int column) const;  // record set field index; -1 when out of range
    int widthTwipsOfColumn(int column) const;
    // Lower-cased needle contained in the row's search text.
    bool rowMatches(int row, const QString& lowerNeedle) const;
    // A record set with the data source's fields and the given source rows, in that order.
    host::RecordSetPtr recordsOf(const QVector<int>& sourceRows) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Column {
        int field;
        QString caption;
        int widthTwips;
    };
    host::RecordSetPtr m_rows;
    QVector<Column> m_columns;
    QVector<QString> m_search;  // per row
};

}  // namespace controls
