#include "carryover/MakeVouchPath.h"

#include "carryover/CarryOverSql.h"
#include "host/IClsCommon.h"
#include "host/RecordSet.h"

namespace carryover {

namespace {

constexpr int kPathField = 0;         // Sub.cMakeVouchID
constexpr int kSourceTableField = 5;  // source.ctablename

}  // namespace

QString PathOfJoin(const host::RecordSet& rows, const QString& sourceTable) {
    if (rows.isEmpty() || rows.fieldCount() <= kSourceTableField) return {};
    for (int r = 0; r < rows.recordCount(); ++r)
        if (host::variantText(rows.at(r, kSourceTableField))
                .compare(sourceTable, Qt::CaseInsensitive) == 0)
            return host::variantText(rows.at(r, kPathField));
    return {};
}

std::optional<QString> FindMakeVouchPath(host::IClsCommon& srv, const QString& sourceTable,
                                         const QString& targetTable, const QString& column,
                                         QString* error) {
    if (!srv.ExecuteX(FieldPairBatch(sourceTable, targetTable, column))) {
        if (error) *error = srv.lastError();
        return std::nullopt;
    }
    const host::RecordSetPtr rows = srv.OpenX(FieldPairJoinSql());
    if (!rows) {
        if (error) *error = srv.lastError();
        return std::nullopt;
    }
    return PathOfJoin(*rows, sourceTable);
}

}  // namespace carryover
