#pragma once
// What a connection in the component's dialect needs of one kind of account database: the
// database opened as the connection text says, the catalogue the translator reads, and how a
// schema change by another connection shows.
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/sql/TSqlConnection.h"

namespace platform::sql {

class TSqlConnection::Backend {
public:
    virtual ~Backend() = default;

    virtual db::Connection& db() = 0;
    // The embedded database; null on a server.
    virtual db::Database* sqlite() { return nullptr; }
    virtual SchemaInfo& schema() = 0;
    // The schemas the translator may name beside the connection's own ("zxsystem",
    // "ZxMeta_001"), as the connection spells them.
    virtual QStringList attached() = 0;
    // Changes whenever any connection changed the schema; the same number while it has not.
    virtual qint64 schemaStamp() = 0;
    // Drops what the catalogue has cached (after a schema change).
    virtual void forgetSchema() = 0;
    // The last statement failed on a table or column unknown to it, outside a transaction: a
    // schema change the stamp does not show may have made the translation wrong.
    virtual bool catalogueMayBeStale() { return false; }
    // Where the connection's locks are kept, for messages; empty when no other connection can
    // reach the database.
    virtual QString lockDatabase() const = 0;
    // The schema of the account's data on a server; empty for a file.
    virtual QString lockSchema() const { return {}; }
    // From now on the password hash and salt columns of UA_User read as NULL and cannot be
    // written on this connection.
    virtual bool hidePasswordColumns(QString* error) = 0;
};

// An embedded account: the Data Source with the system and metadata files attached and the
// server functions registered.
std::unique_ptr<TSqlConnection::Backend> openSqliteBackend(const ConnectionText& text,
                                                           const QString& catalog, QString* error);

// A server account: the server database of the connection text, its search path on the
// catalog's schema, the system schema and the account's metadata schema, in the language's
// session setting.
std::unique_ptr<TSqlConnection::Backend> openPgBackend(const ConnectionText& text,
                                                       const QString& catalog, QString* error);

}  // namespace platform::sql
