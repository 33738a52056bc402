#pragma once
// The text of a resource key through the session's public service; the key itself without one.
#include <QString>

namespace userdef {

QString ResText(const QString& key);
QString ResText(const char* key);

}  // namespace userdef
