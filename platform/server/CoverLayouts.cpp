#include "platform/server/CoverLayouts.h"

namespace platform::server {

bool coverLayoutCaptions(WriteContext& context, const QString& itemId, const QString& cClass,
                         const QString& newName, bool cover, bool coverBody, QString* error) {
    if (!cover && !coverBody) return true;
    // An account without layouts has nothing to cover; one whose layouts cannot be read fails.
    const host::RecordSetPtr kept = context.query(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE lower(name) = 'doclayoutfield'"), {}, error);
    if (!kept) return false;
    if (kept->isEmpty()) return true;
    // Body fields of an inventory item follow the body option; every other field the general one.
    const bool inventory = cClass == QStringLiteral("存货");
    const QString update =
        QStringLiteral("UPDATE DocLayoutField SET cCaption = ? WHERE cItemId = ?");
    if (!inventory) return !cover || context.exec(update, {newName, itemId}, error);
    if (cover &&
        !context.exec(update + QStringLiteral(" AND cPart <> 'B'"), {newName, itemId}, error))
        return false;
    return !coverBody ||
           context.exec(update + QStringLiteral(" AND cPart = 'B'"), {newName, itemId}, error);
}

}  // namespace platform::server
