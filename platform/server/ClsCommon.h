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

class DocumentWriter;

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

    // Document writes (DocumentWriter): items (Userdef_base, Userdef) and their values
    // (Userdefine); more tables plug in through writer().
    bool Add(const QString& xml, const QString& table, QString* error = nullptr) override;
    bool Modify(const QString& xml, const QString& table, QString* error = nullptr) override;
    bool Delete(const QString& keyValue, const QString& keyColumn, const QString& table,
                QString* error = nullptr) override;
    void setChangeSource(const QString& user, std::function<QString()> origin) override;
    host::RecordSetPtr OpenHistory(const QString& itemId) override;
    bool Undo(int change, QString* error = nullptr) override;
    // Null before a successful init.
    DocumentWriter* writer() const { return m_writer.get(); }
    // Tests: every following document write fails at its n-th statement; 0 switches it off.
    void setFailAtStatement(int n);

    // The open connection (null before a successful init) and its parsed connection text.
    sql::TSqlConnection* connection() const { return m_connection.get(); }
    const sql::ConnectionText& connectionText() const { return m_text; }

private:
    bool fail(const QString& what, const QString& error, const QString& statement);

    bool finishWrite(const char* what, bool ok, const QString& why, QString* error);

    std::unique_ptr<sql::TSqlConnection> m_connection;
    std::unique_ptr<DocumentWriter> m_writer;  // on m_connection's database
    int m_failAt = 0;
    QString m_user;
    std::function<QString()> m_origin;
    sql::ConnectionText m_text;
    QString m_lastError;
};

}  // namespace platform::server
