#include "common/NameTables.h"

namespace userdef {

QStringList g_YesNo;
QStringList g_DataSource;
QStringList g_ClassNames;
QStringList g_ItemKinds;
QStringList g_DataTypes;

}  // namespace userdef
