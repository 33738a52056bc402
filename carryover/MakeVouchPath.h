#pragma once
// The carry-over path of a source/target pair for one item: the field-pair table
// #AA_ExtendDefineFieldsForMakeVouch is filled with the item on both tables and joined against
// the table pairs, on the service's one connection (the table lives with the connection).
#include <QString>
#include <optional>

namespace host {
class IClsCommon;
class RecordSet;
}

namespace carryover {

// The path (cMakeVouchID) of the pair; empty when the pairs hold none (a database null reads
// as empty). Null when the batch or the join failed; the reason goes to error.
std::optional<QString> FindMakeVouchPath(host::IClsCommon& srv, const QString& sourceTable,
                                         const QString& targetTable, const QString& column,
                                         QString* error = nullptr);

// The path in rows of the field-pair join. The join does not tell the two tables apart: it
// yields a row for each direction the pairs hold. The row whose source is sourceTable gives the
// path; without one the pair has none in this direction (empty).
QString PathOfJoin(const host::RecordSet& rows, const QString& sourceTable);

}  // namespace carryover
