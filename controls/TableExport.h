#pragma once
// Writes a print document's table to a spreadsheet file: the column headers in the first row,
// then one row per data row (the row number first when asked for).
#include <QString>

#include "controls/PrintDocument.h"

namespace controls {

// Excel workbook (one sheet). Cells of number columns (of columns of no known type: right-aligned
// ones) that read as numbers are written as numbers, cells of date columns that read as dates
// as dates, every other cell as text; row numbers are numbers. Typed columns are as wide as
// their texts, up to their field's size. False with `error` when the file cannot be written.
bool writeXlsx(const PrintDocument& doc, bool rowNumbers, const QString& rowNoHeader,
               const QString& path, QString* error);

// Comma-separated values, UTF-8 with a byte-order mark (so spreadsheet programs read Chinese),
// CRLF line ends, fields with a comma, quote or line break quoted.
bool writeCsv(const PrintDocument& doc, bool rowNumbers, const QString& rowNoHeader,
              const QString& path, QString* error);

}  // namespace controls
