#pragma once
// The server functions the component's statements call, registered as SQLite functions on a
// connection: dbo.UDF_GetLocaleID(), dbo.getAllSubName_ExtendDefine(csub_id), OBJECT_ID,
// OBJECT_NAME, LIKE with the server's patterns and case rules, and the helpers the translator
// writes (zx_money, zx_money_text, zx_len, zx_charindex, zx_left, zx_right, zx_newid,
// zx_object_id, zx_xtype, zx_collength …).
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>

namespace platform::db {
class Database;
}

namespace platform::sql {

class ServerFunctions {
public:
    // Registers every function on `db`. The object must outlive the registration: keep it as
    // long as the connection and destroy it only after the connection is closed or together
    // with it. `catalog` is the connection's own database name (it maps to "main").
    static std::unique_ptr<ServerFunctions> install(db::Database& db, const QString& language,
                                                    const QString& catalog, QString* error);
    ~ServerFunctions();
    ServerFunctions(const ServerFunctions&) = delete;
    ServerFunctions& operator=(const ServerFunctions&) = delete;

    QString language() const { return m_language; }
    // Call after attaching a database so that names like ZxMeta_001..t resolve.
    void refreshSchemas();

    // Object ids as OBJECT_ID gives them: stable for the connection's lifetime.
    int objectId(const QString& schema, const QString& name);
    // The SQLite schema a database name of the dialect stands for; empty when unknown.
    QString schemaOf(const QString& database) const;
    // Resolves "t", "dbo.t", "db..t", "db.dbo.t", "#t", "tempdb..#t"; 0 when there is none.
    int resolveObjectId(const QString& dialectName);
    // The stored name of an object id; null when the object no longer exists.
    QString objectName(int id);

    struct Impl;

private:
    ServerFunctions(db::Database& db, QString language, QString catalog);
    bool exists(const QString& schema, const QString& name, QString* storedName);

    db::Database& m_db;
    QString m_language;
    QString m_catalog;
    QStringList m_schemas;
    QHash<QString, int> m_ids;                   // "schema\x1fname" lower-cased → id
    QHash<int, QPair<QString, QString>> m_names;  // id → schema, name as first found
    int m_nextId = 1000;
};

}  // namespace platform::sql
