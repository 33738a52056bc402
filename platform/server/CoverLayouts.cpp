#include "platform/server/CoverLayouts.h"

namespace platform::server {

bool coverLayoutCaptions(WriteContext& context, const QString& itemId, const QString& cClass,
                         const QString& newName, bool cover, bool coverBody, QString* error) {
    if (!cover && !coverBody) return true;
    QString why;
    if (context.columns(QStringLiteral("DocLayoutField"), &why).isEmpty())
        return true;  // none kept
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
