#pragma once
// Document layouts (DocLayout, DocLayoutField) show user-defined items by their names. When an
// item's name changes, the save may carry the new name into the captions of the layout fields
// bound to the item: `cover` for fields of regular items, `coverBody` for document-body fields
// bound to an inventory item.
#include "platform/server/DocumentWriter.h"

namespace platform::server {

// The layout fields (layout, part, field) bound to the item; none in an account without layouts.
bool layoutFieldsOf(WriteContext& context, const QString& itemId, QList<QStringList>* fields,
                    QString* error);

bool coverLayoutCaptions(WriteContext& context, const QString& itemId, const QString& cClass,
                         const QString& newName, bool cover, bool coverBody, QString* error);

}  // namespace platform::server
