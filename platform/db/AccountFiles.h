#pragma once
// Where an account's databases live below a data root, and which account ids are valid.
#include <QString>
#include <QStringList>

namespace platform::db {

struct AccountFiles {
    QString folder;  // <root>/<acc>
    QString system;  // <root>/zxsystem.db
    QString data;    // <root>/<acc>/ZxData_<acc>.db
    QString meta;    // <root>/<acc>/ZxMeta_<acc>.db
    QString server;  // <root>/<acc>/server.conninfo: present for an account on a server
};
AccountFiles accountFiles(const QString& dataRoot, const QString& accountId);

// Account ids are 1 to 20 letters or digits (they become file and database names).
bool isValidAccountId(const QString& accountId);

// True when the account's data or metadata database exists, or its server entry.
bool accountExists(const QString& dataRoot, const QString& accountId);

// An account on a server has an entry under the data root: the file AccountFiles::server, one
// line holding the libpq connection string of the server database (no password in it).
// The connection string; empty for an embedded account (or an unreadable entry).
QString serverConninfo(const QString& dataRoot, const QString& accountId);
// Writes the entry, making the account a server account from here on.
bool writeServerEntry(const QString& dataRoot, const QString& accountId, const QString& conninfo,
                      QString* error);
// The accounts with a server entry under the root, by id.
QStringList serverAccounts(const QString& dataRoot);

}  // namespace platform::db
