#pragma once
// Tables, columns and functions of an account connection on a PostgreSQL server, as the
// translator asks for them. A schema's tables and columns are read in one statement the first
// time the translator asks about it and kept until forget() (after a schema change). The
// declared types are those the catalogue function zxsystem.zx_coltype gives (PgFunctions.h),
// so installPgFunctions must have run on the database.
#include <QHash>
#include <QStringList>

#include "platform/sql/Translator.h"

namespace platform::db {
class Connection;
}

namespace platform::sql {

class PgConnectionSchema : public SchemaInfo {
public:
    // `ownSchema`: the server schema the translator's "main" stands for (zxdata_<acc> or
    // zxmeta_<acc>); `attached`: the other databases a statement may name (zxsystem,
    // ZxMeta_<acc>), searched in this order after the session's temporary tables and the
    // own schema. Each stands for the schema of its name in lower case.
    PgConnectionSchema(db::Connection& db, QString ownSchema, QStringList attached);

    QString findTable(const QString& schema, const QString& table) override;
    QString columnType(const QString& schema, const QString& table, const QString& column) override;
    bool hasFunction(const QString& name) override;
    QString storedTable(const QString& schema, const QString& table) override;
    QString storedColumn(const QString& schema, const QString& table, const QString& column) override;
    QStringList columnTypes(const QString& schema, const QString& table) override;
    QString serverSchema(const QString& schema) override;
    bool hasStandIn(const QString& schema, const QString& table) override;
    // References to the table, named with its schema or not, go to the session's temporary
    // table or view of that name instead (which the search path finds first when unnamed).
    void standIn(const QString& schema, const QString& table);
    void forget();

private:
    struct Column {
        QString name, type;
    };
    struct Table {
        QString name;
        QList<Column> columns;
        QHash<QString, int> byName;  // lower-cased column name → index
    };
    using Tables = QHash<QString, Table>;  // lower-cased table name → table
    const Tables& tables(const QString& schema);
    const Table* table(const QString& schema, const QString& name);

    db::Connection& m_db;
    QStringList m_standIns;  // "<server schema>.<table>", lower-cased
    QString m_own;
    QStringList m_attached;
    QHash<QString, Tables> m_schemas;  // translator's schema name (lower-cased) → its tables
    QHash<QString, bool> m_functions;
};

}  // namespace platform::sql
