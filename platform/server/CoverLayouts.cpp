#include "platform/server/CoverLayouts.h"

#include "platform/db/Connection.h"

namespace platform::server {

namespace {

// Whether the account keeps document layouts; false with a reason when that cannot be read.
bool hasLayouts(WriteContext& context, bool* kept, QString* error) {
    QList<db::TableColumn> columns;
    if (!context.tableColumns(QStringLiteral("DocLayoutField"), &columns, error)) return false;
    *kept = !columns.isEmpty();
    return true;
}

}  // namespace

bool layoutFieldsOf(WriteContext& context, const QString& itemId, QList<QStringList>* fields,
                    QString* error) {
    fields->clear();
    bool kept = false;
    if (!hasLayouts(context, &kept, error)) return false;
    if (!kept) return true;
    const host::RecordSetPtr rs = context.query(
        QStringLiteral("SELECT \"cLayoutId\", \"cPart\", \"cFieldName\" FROM \"DocLayoutField\" WHERE \"cItemId\" = ? "
                       "ORDER BY \"cLayoutId\", \"cPart\", \"cFieldName\""),
        {itemId}, error);
    if (!rs) return false;
    for (int r = 0; r < rs->recordCount(); ++r)
        fields->append({rs->textAt(r, 0), rs->textAt(r, 1), rs->textAt(r, 2)});
    return true;
}

bool coverLayoutCaptions(WriteContext& context, const QString& itemId, const QString& cClass,
                         const QString& newName, bool cover, bool coverBody, QString* error) {
    if (!cover && !coverBody) return true;
    // An account without layouts has nothing to cover; one whose layouts cannot be read fails.
    bool kept = false;
    if (!hasLayouts(context, &kept, error)) return false;
    if (!kept) return true;
    // Body fields of an inventory item follow the body option; every other field the general one.
    const bool inventory = cClass == QStringLiteral("存货");
    const QString update =
        QStringLiteral("UPDATE \"DocLayoutField\" SET \"cCaption\" = ? WHERE \"cItemId\" = ?");
    if (!inventory) return !cover || context.exec(update, {newName, itemId}, error);
    if (cover &&
        !context.exec(update + QStringLiteral(" AND \"cPart\" <> 'B'"), {newName, itemId}, error))
        return false;
    return !coverBody ||
           context.exec(update + QStringLiteral(" AND \"cPart\" = 'B'"), {newName, itemId}, error);
}

}  // namespace platform::server
