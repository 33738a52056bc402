#include "platform/db/Connection.h"

#include <QLoggingCategory>
#include <atomic>

Q_DECLARE_LOGGING_CATEGORY(lcDb)

namespace platform::db {

namespace {
std::atomic<int> g_savepointCounter{0};
}

bool Connection::tableExists(const QString& table, QString* error) {
    QStringList names;
    if (!tableNames(&names, error)) return false;
    return names.contains(table, Qt::CaseInsensitive);
}

bool Connection::tablesColumns(const QStringList& tables,
                               QHash<QString, QList<TableColumn>>* columns, QString* error) {
    columns->clear();
    for (const QString& table : tables) {
        QList<TableColumn> found;
        if (!tableColumns(table, &found, error)) return false;
        if (!found.isEmpty()) columns->insert(table.toLower(), found);
    }
    return true;
}

std::optional<TableColumn> Connection::column(const QString& table, const QString& column,
                                              QString* error) {
    QList<TableColumn> columns;
    if (!tableColumns(table, &columns, error)) return std::nullopt;
    for (const TableColumn& c : columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return c;
    return std::nullopt;
}

Transaction::Transaction(Connection& db, QString* error) : m_db(db) {
    if (db.inTransaction()) {
        m_savepoint = QStringLiteral("zx_sp%1").arg(++g_savepointCounter);
        m_began = db.exec(QStringLiteral("SAVEPOINT %1").arg(m_savepoint), error);
    } else {
        m_began = db.exec(db.beginStatement(), error);
    }
    if (!m_began) qCWarning(lcDb) << "cannot begin a transaction on" << db.location();
}

Transaction::~Transaction() {
    if (!m_began || m_done) return;
    if (m_savepoint.isEmpty()) {
        m_db.exec(QStringLiteral("ROLLBACK"));
    } else {
        m_db.exec(QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(m_savepoint));
        m_db.exec(QStringLiteral("RELEASE SAVEPOINT %1").arg(m_savepoint));
    }
}

bool Transaction::commit(QString* error) {
    if (!m_began || m_done) {
        if (error) *error = QStringLiteral("no open transaction to commit");
        return false;
    }
    // A server answers COMMIT of a spoilt transaction with a rollback, not an error.
    if (m_db.transactionFailed()) {
        if (error) *error = QStringLiteral("a statement of the transaction failed; nothing was saved");
        return false;
    }
    const QString sql = m_savepoint.isEmpty()
                            ? QStringLiteral("COMMIT")
                            : QStringLiteral("RELEASE SAVEPOINT %1").arg(m_savepoint);
    if (!m_db.exec(sql, error)) return false;  // still open: the destructor rolls back
    m_done = true;
    return true;
}

}  // namespace platform::db
