#include "platform/server/ClsCommon.h"

#include "platform/server/Procedures.h"
#include "platform/server/ServerLog.h"
#include "platform/sql/TSqlConnection.h"

namespace platform::server {

ClsCommon::ClsCommon() = default;
ClsCommon::~ClsCommon() = default;

void ClsCommon::init(const QString& connectionText) {
    m_connection.reset();
    m_lastError.clear();
    const std::optional<sql::ConnectionText> text = sql::ConnectionText::parse(connectionText);
    if (!text) {
        fail(QStringLiteral("init"), QStringLiteral("The connection text names no Data Source."),
             {});
        return;
    }
    m_text = *text;
    QString error;
    m_connection = sql::TSqlConnection::open(connectionText, &error);
    if (!m_connection) {
        fail(QStringLiteral("init"),
             error.isEmpty() ? QStringLiteral("Cannot connect to %1.").arg(m_text.dataSource)
                             : error,
             {});
        return;
    }
    registerProcedures(*m_connection);
}

bool ClsCommon::Status() const { return m_connection != nullptr; }

host::IConnection* ClsCommon::m_cnn() { return m_connection.get(); }

host::RecordSetPtr ClsCommon::OpenX(const QString& sql) {
    m_lastError.clear();
    if (!m_connection) {
        fail(QStringLiteral("OpenX"),
             QStringLiteral("The server database service is not connected."), sql);
        return nullptr;
    }
    host::RecordSetPtr rows = m_connection->open(sql);
    if (!rows) fail(QStringLiteral("OpenX"), m_connection->lastError(), sql);
    return rows;
}

bool ClsCommon::ExecuteX(const QString& sqlOrProcedure) {
    m_lastError.clear();
    if (!m_connection)
        return fail(QStringLiteral("ExecuteX"),
                    QStringLiteral("The server database service is not connected."),
                    sqlOrProcedure);
    if (!m_connection->execute(sqlOrProcedure))
        return fail(QStringLiteral("ExecuteX"), m_connection->lastError(), sqlOrProcedure);
    return true;
}

bool ClsCommon::fail(const QString& what, const QString& error, const QString& statement) {
    m_lastError = error;
    if (statement.isEmpty())
        qCWarning(lcServer).noquote() << what << "failed:" << error;
    else
        qCWarning(lcServer).noquote() << what << "failed:" << error << "\n  in:" << statement;
    return false;
}

}  // namespace platform::server
