#include "common/NameTables.h"

namespace userdef {

QStringList& g_YesNo = Session::current().names.yesNo;
QStringList& g_DataSource = Session::current().names.dataSource;
QStringList& g_ClassNames = Session::current().names.classNames;
QStringList& g_ItemKinds = Session::current().names.itemKinds;
QStringList& g_DataTypes = Session::current().names.dataTypes;

}  // namespace userdef
