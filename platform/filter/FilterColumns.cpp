#include "platform/filter/FilterColumns.h"

namespace platform::filter {

QList<FilterColumn> FilterColumns(const QString& filterName) {
    // Carry-over rules: the columns of the rule table under the alias the rule list gives it, so
    // that a condition never names a column of the joined tables by chance.
    if (filterName == QStringLiteral("AA[__]自定义项扩展携带"))
        return {
            {QStringLiteral("MakeVouch_Set.cTableName"),
             QStringLiteral("Q9.AA.ARCHIVE.FIELD.sourcetable")},
            {QStringLiteral("MakeVouch_Set.cTargetTable"),
             QStringLiteral("Q9.AA.ARCHIVE.FIELD.ctargettable")},
            {QStringLiteral("MakeVouch_Set.cextendfield"),
             QStringLiteral("Q9.AA.ARCHIVE.FIELD.sourcefield")},
            {QStringLiteral("MakeVouch_Set.ctargetfield"),
             QStringLiteral("Q9.AA.ARCHIVE.FIELD.ctargetfield")},
            {QStringLiteral("MakeVouch_Set.cdesc"), QStringLiteral("Q9.AA.ARCHIVE.FIELD.cdesc")}};
    return {};
}

}  // namespace platform::filter
