#include <QFileInfo>

#include "platform/db/Database.h"
#include "platform/db/UserTable.h"
#include "platform/sql/ConnectionBackend.h"
#include "platform/sql/ConnectionSchema.h"
#include "platform/sql/ServerFunctions.h"

namespace platform::sql {

namespace {

bool samePath(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

class SqliteBackend : public TSqlConnection::Backend {
public:
    db::Connection& db() override { return *m_db; }
    db::Database* sqlite() override { return m_db.get(); }
    SchemaInfo& schema() override { return *m_schema; }
    QStringList attached() override {
        QStringList names;
        for (const QString& s : m_db->schemas())
            if (s != QLatin1String("main") && s != QLatin1String("temp")) names << s;
        return names;
    }
    qint64 schemaStamp() override { return m_db->schemaStamp(); }
    void forgetSchema() override { m_schema->forget(); }
    QString lockDatabase() const override {
        const QString path = m_db->path();
        return path == QLatin1String(":memory:") ? QString() : path;
    }
    bool hidePasswordColumns(QString*) override {
        db::hidePasswordColumns(*m_db);
        return true;
    }

    std::unique_ptr<db::Database> m_db;
    std::unique_ptr<ServerFunctions> m_functions;  // registered on m_db
    std::unique_ptr<ConnectionSchema> m_schema;
};

}  // namespace

std::unique_ptr<TSqlConnection::Backend> openSqliteBackend(const ConnectionText& text,
                                                           const QString& catalog, QString* error) {
    auto b = std::make_unique<SqliteBackend>();
    b->m_db = db::Database::open(text.dataSource, false, error);
    if (!b->m_db) return nullptr;
    if (!text.systemPath.isEmpty() && !samePath(text.systemPath, text.dataSource) &&
        !b->m_db->attach(text.systemPath, QStringLiteral("zxsystem"), error))
        return nullptr;
    if (!text.metaPath.isEmpty() && !samePath(text.metaPath, text.dataSource)) {
        const QString metaName = text.account.isEmpty()
                                     ? QFileInfo(text.metaPath).completeBaseName()
                                     : QStringLiteral("ZxMeta_") + text.account;
        if (!b->m_db->attach(text.metaPath, metaName, error)) return nullptr;
    }
    b->m_functions = ServerFunctions::install(*b->m_db, text.language, catalog, error);
    if (!b->m_functions) return nullptr;
    b->m_schema = std::make_unique<ConnectionSchema>(*b->m_db);
    return b;
}

}  // namespace platform::sql
