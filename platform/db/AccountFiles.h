#pragma once
// Where an account's databases live below a data root, and which account ids are valid.
#include <QString>

namespace platform::db {

struct AccountFiles {
    QString folder;  // <root>/<acc>
    QString system;  // <root>/zxsystem.db
    QString data;    // <root>/<acc>/ZxData_<acc>.db
    QString meta;    // <root>/<acc>/ZxMeta_<acc>.db
};
AccountFiles accountFiles(const QString& dataRoot, const QString& accountId);

// Account ids are 1 to 20 letters or digits (they become file and database names).
bool isValidAccountId(const QString& accountId);

// True when the account's data or metadata database exists.
bool accountExists(const QString& dataRoot, const QString& accountId);

}  // namespace platform::db
