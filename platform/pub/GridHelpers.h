#pragma once
// Grid helpers of the public service, on the host grid API (row 0 is the header row).
#include <QString>

#include "host/IGrid.h"
#include "host/RecordSet.h"

namespace platform::pub {

// Column formats for a grid whose columns 1..n show the record set's fields 0..n-1 (column 0
// is the row number). alignXml "<Align><field>n</field>…</Align>": 0 left, 1 centre, 2 right;
// fields it does not name: numbers right, flags centred, everything else left. A malformed
// alignXml is ignored (logged) and the defaults apply.
void formatGrid(host::IGrid& grid, const host::RecordSet& fields, const QString& alignXml);

// The first data row whose column captioned `caption` (a trailing colon ignored) holds exactly
// `text`; 0 when none.
int findRow(const host::IGrid& grid, const QString& caption, const QString& text);

// The next data row after `after` (wrapping round) with a visible cell containing `text`,
// ignoring letter case; 0 when none.
int findNextRow(const host::IGrid& grid, const QString& text, int after);

// Whether a field type is numeric.
bool isNumericType(int fieldType);

}  // namespace platform::pub
