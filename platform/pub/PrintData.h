#pragma once
// Print and export data built from a grid and a record set's fields.
#include <QString>
#include <QVector>

#include "host/IGrid.h"
#include "host/RecordSet.h"

namespace platform::pub {

struct PrintHeader {
    QString title;
    QString accountId;
    QString userId;
    QString userName;
    QString checkedText;  // what a ticked check cell prints
};

// The <PrintData> document of the grid's visible columns and data rows (see host::IPub::GetData).
QString printData(const host::IGrid& grid, const PrintHeader& header);

// Every field with its export size: the declared size where known, else a size by type.
QVector<host::FieldInfo> typeSizes(const host::RecordSet& fields);

}  // namespace platform::pub
