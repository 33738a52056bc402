#pragma once
// The server database service on our SQLite host: one connection per service, opened from a
// connection text; statements in the component's dialect; server procedures by name.
#include <memory>

#include "host/IClsCommon.h"
#include "platform/sql/ConnectionText.h"

namespace platform::sql {
class TSqlConnection;
}

namespace platform::server {

class ClsCommon : public host::IClsCommon {
public:
    ClsCommon();
    ~ClsCommon() override;

    // Opens the connection; a failure leaves Status() false and the reason in lastError().
    // Calling it again replaces the connection.
    void init(const QString& connectionText) override;
    bool Status() const override;
    host::RecordSetPtr OpenX(const QString& sql) override;
    // A statement, a batch, or a server procedure by its name (alone or after EXEC).
    bool ExecuteX(const QString& sqlOrProcedure) override;
    host::IConnection* m_cnn() override;
    QString lastError() const override { return m_lastError; }

    // The open connection (null before a successful init) and its parsed connection text.
    sql::TSqlConnection* connection() const { return m_connection.get(); }
    const sql::ConnectionText& connectionText() const { return m_text; }

private:
    bool fail(const QString& what, const QString& error, const QString& statement);

    std::unique_ptr<sql::TSqlConnection> m_connection;
    sql::ConnectionText m_text;
    QString m_lastError;
};

}  // namespace platform::server
