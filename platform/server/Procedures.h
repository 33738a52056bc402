#pragma once
// Server procedures of our host: what the component asks the server to run by name
// ("AA_CreateDefineRefDesignView", or "EXEC AA_CreateDefineRefDesignView" inside a batch).
#include <QString>
#include <QStringList>

namespace platform::sql {
class TSqlConnection;
}

namespace platform::server {

// Registers every procedure of the table on the connection.
void registerProcedures(sql::TSqlConnection& connection);
QStringList procedureNames();

// AA_CreateDefineRefDesignView: (re)fills AA_UserDefRefDesign in the metadata database with the
// user-defined references the item editor offers (IsUserDefRef = 1, a parent set, a cRefMeta
// that is well-formed XML with a RefColSet key): cRefID, cRefName, cParentRefid and the
// column-setting key cColSetKey, in one transaction. References with broken metadata are left
// out.
bool createDefineRefDesignView(sql::TSqlConnection& connection, const QStringList& arguments,
                               QString* error);

// The first RefColSet element's cKey in a reference's metadata; empty when the text is not
// well-formed XML or has no such key.
QString refColSetKey(const QString& refMeta);

}  // namespace platform::server
