#include "common/ResText.h"

#include "common/Globals.h"

namespace userdef {

QString ResText(const QString& key) { return g_Pub ? g_Pub->GetResString(key) : key; }

QString ResText(const char* key) { return ResText(QString::fromLatin1(key)); }

}  // namespace userdef
