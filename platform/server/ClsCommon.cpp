#include "platform/server/ClsCommon.h"

#include "platform/db/Database.h"
#include "platform/server/DocumentWriter.h"
#include "platform/server/History.h"
#include "platform/server/ItemDocument.h"
#include "platform/server/MakeVouchSetDocument.h"
#include "platform/server/Procedures.h"
#include "platform/server/ServerLog.h"
#include "platform/server/UserDefineDocument.h"
#include "platform/sql/TSqlConnection.h"

namespace platform::server {

ClsCommon::ClsCommon() = default;
ClsCommon::~ClsCommon() = default;

void ClsCommon::init(const QString& connectionText) {
    m_writer.reset();
    m_connection.reset();
    m_lastError.clear();
    const std::optional<sql::ConnectionText> text = sql::ConnectionText::parse(connectionText);
    if (!text) {
        fail(QStringLiteral("init"), QStringLiteral("The connection text names no Data Source nor Server."),
             {});
        return;
    }
    m_text = *text;
    QString error;
    m_connection = sql::TSqlConnection::open(connectionText, &error);
    if (!m_connection) {
        fail(QStringLiteral("init"),
             error.isEmpty() ? QStringLiteral("Cannot connect to %1.")
                                   .arg(m_text.server.isEmpty() ? m_text.dataSource : m_text.server)
                             : error,
             {});
        return;
    }
    registerProcedures(*m_connection);
    m_writer = std::make_unique<DocumentWriter>(m_connection->database());
    m_writer->setFailAtStatement(m_failAt);
    m_writer->setUser(m_user);
    if (m_origin) m_writer->setOrigin(m_origin);
    m_writer->registerTable(QStringLiteral("UserDefine"), std::make_shared<UserDefineDocument>());
    // Userdef_base takes new items (and deletes), Userdef changes existing ones.
    const auto items = std::make_shared<ItemDocument>();
    m_writer->registerTable(QStringLiteral("Userdef_base"), items);
    m_writer->registerTable(QStringLiteral("Userdef"), items);
    m_writer->registerTable(QStringLiteral("AA_ExtendDefineMakeVouch_Set"),
                            std::make_shared<MakeVouchSetDocument>());
}

void ClsCommon::setChangeSource(const QString& user, std::function<QString()> origin) {
    m_user = user;
    m_origin = std::move(origin);
    if (!m_writer) return;
    m_writer->setUser(m_user);
    if (m_origin) m_writer->setOrigin(m_origin);
}

void ClsCommon::setFailAtStatement(int n) {
    m_failAt = n;
    if (m_writer) m_writer->setFailAtStatement(n);
}

bool ClsCommon::finishWrite(const char* what, bool ok, const QString& why, QString* error) {
    // A write may have added, changed or dropped columns the translator has read.
    if (ok && m_connection) m_connection->schemaChanged();
    if (ok) return true;
    m_lastError = why;
    if (error) *error = why;
    qCWarning(lcServer).noquote() << what << "failed:" << why;
    return false;
}

bool ClsCommon::Add(const QString& xml, const QString& table, QString* error) {
    m_lastError.clear();
    QString why = QStringLiteral("The server database service is not connected.");
    return finishWrite("Add", m_writer && m_writer->add(xml, table, &why), why, error);
}

bool ClsCommon::Modify(const QString& xml, const QString& table, QString* error) {
    m_lastError.clear();
    QString why = QStringLiteral("The server database service is not connected.");
    return finishWrite("Modify", m_writer && m_writer->modify(xml, table, &why), why, error);
}

bool ClsCommon::Delete(const QString& keyValue, const QString& keyColumn, const QString& table,
                       QString* error) {
    m_lastError.clear();
    QString why = QStringLiteral("The server database service is not connected.");
    return finishWrite("Delete", m_writer && m_writer->remove(keyValue, keyColumn, table, &why),
                       why, error);
}

host::RecordSetPtr ClsCommon::OpenHistory(const QString& itemId) {
    m_lastError.clear();
    if (!m_connection) {
        fail(QStringLiteral("OpenHistory"),
             QStringLiteral("The server database service is not connected."), {});
        return nullptr;
    }
    QList<ChangeEntry> changes;
    QString why;
    if (!readChanges(m_connection->database(), itemId.trimmed(), &changes, &why)) {
        fail(QStringLiteral("OpenHistory"), why, {});
        return nullptr;
    }
    const auto field = [](const char* name, int type) {
        host::FieldInfo f;
        f.name = QString::fromLatin1(name);
        f.type = type;
        return f;
    };
    const int text = host::FieldType::VarWChar, number = host::FieldType::Integer;
    QVector<host::FieldInfo> fields = {
        field("iChange", number),   field("dWhen", text),     field("cUserId", text),
        field("cOrigin", text),     field("cOperation", text), field("cTable", text),
        field("cKey", text),        field("cItemId", text),    field("iUndoOf", number),
        field("iUndoneBy", number), field("cDiff", text)};
    QVector<QVector<QVariant>> rows;
    for (const ChangeEntry& c : changes) {
        QStringList diff = describeChange(c.before, c.after);
        if (c.keptValues)
            diff << QStringLiteral("  %1 value(s) of dropped columns kept").arg(c.keptValues);
        rows.append({c.change, c.when, c.user, c.origin, c.operation, c.table, c.key, c.itemId,
                     c.undoOf ? QVariant(c.undoOf) : QVariant(),
                     c.undoneBy ? QVariant(c.undoneBy) : QVariant(),
                     diff.join(QLatin1Char('\n'))});
    }
    return std::make_shared<host::RecordSet>(std::move(fields), std::move(rows));
}

bool ClsCommon::Undo(int change, QString* error) {
    m_lastError.clear();
    QString why = QStringLiteral("The server database service is not connected.");
    return finishWrite("Undo", m_writer && m_writer->undo(change, &why), why, error);
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
