#pragma once
// A window's print commands on its print data: page set-up, print, preview and export, with
// the page set-up stored per print key.
#include <QHash>
#include <QString>

#include "host/RecordSet.h"

class QWidget;

namespace controls {
class PrintControl;
}

namespace userdef {

// Runs mode ("SetUp", "Print", "Preview" or "SaveFile") on data (<PrintData>, IPub::GetData)
// with the stored style of printKey: a changed page set-up is saved under the key, an export
// reports its row count under it and a failed one its reason. prn is the window's print
// control (its font and row-number choice set by the window). fields: the field (type and size,
// IPub::GetTypeSize) of each grid column that shows one, by grid column; an export writes their
// numbers and dates as such. False when nothing was done.
using ColumnFields = QHash<int, host::FieldInfo>;
bool RunPrintCommand(controls::PrintControl& prn, const QString& mode, const QString& printKey,
                     const QString& data, const ColumnFields& fields = {});

// The same with a print control of the moment, owned by window.
bool RunPrintCommand(QWidget* window, const QString& mode, const QString& printKey,
                     const QString& data, const ColumnFields& fields = {});

// The row number column of a grid as a field: exported as numbers.
host::FieldInfo RowNumberField();

}  // namespace userdef
