#pragma once
// The columns a filter name offers, as the host defines them.
#include <QList>
#include <QString>

namespace platform::filter {

struct FilterColumn {
    QString field;       // the column as the condition names it
    QString captionKey;  // resource key of its caption
};

// The columns of a filter name; empty for a name the host does not know.
QList<FilterColumn> FilterColumns(const QString& filterName);

}  // namespace platform::filter
