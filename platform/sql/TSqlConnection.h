#pragma once
// A connection that speaks the component's dialect: statements and batches in T-SQL are
// translated and run on an account or metadata database. What differs between the kinds of
// account (opening, the catalogue the translator reads, the schema stamp) lives in the
// connection's backend; everything above it runs alike. Temporary tables live as long as the
// connection.
#include <QHash>
#include <QString>
#include <functional>
#include <memory>

#include "host/IConnection.h"
#include "platform/db/Connection.h"
#include "platform/sql/ConnectionText.h"

namespace platform::db {
class Database;
}

namespace platform::sql {

class SchemaInfo;
class Translator;
struct Batch;

class TSqlConnection : public host::IConnection,
                       public host::ILockStore,
                       public host::IPrintStyleStore,
                       public host::IFormOptionStore {
public:
    // Opens the Data Source of a connection text, attaches "zxsystem" (System) and
    // "ZxMeta_<account>" (Meta) when given and different from the Data Source, registers the
    // server functions and keeps the language. Null with `error` filled on failure.
    static std::unique_ptr<TSqlConnection> open(const QString& connectionText, QString* error);
    ~TSqlConnection() override;

    // The rows of a query, or of the last SELECT of a batch; null on failure.
    host::RecordSetPtr open(const QString& sql) override;
    // Runs a statement or a batch; false on failure.
    bool execute(const QString& sql) override;
    // The reason of the last failure, naming the statement; empty after a success.
    QString lastError() const override { return m_error; }
    QString defaultDatabase() const override;

    // Locks, print styles and window options live in the account database of the Data Source;
    // an in-memory database keeps print styles and options but no locks (no other connection
    // can reach it).
    host::ILockStore* lockStore() override { return this; }
    host::IPrintStyleStore* printStyleStore() override { return this; }
    QString lockDatabase() const override;
    QString lockSchema() const override;
    QString loadPrintStyle(const QString& key, QString* error) override;
    bool savePrintStyle(const QString& key, const QString& style, QString* error) override;
    host::IFormOptionStore* formOptionStore() override { return this; }
    QMap<QString, QString> loadFormOptions(const QString& userId, const QString& form,
                                           QString* error) override;
    bool saveFormOption(const QString& userId, const QString& form, const QString& key,
                        const QString& value, QString* error) override;

    // Forgets the catalogue read and the translations made, after a schema change made beside
    // this connection's statements (a server document adding an item's columns).
    void schemaChanged();

    // The account database in its own SQL.
    db::Connection& database();
    // The same database when it is an embedded (SQLite) one; null on a server.
    db::Database* sqliteDatabase();
    // On this connection the password hash and salt of UA_User read as NULL and cannot be
    // written; everything else works as before. For connections that run statements typed by
    // a person.
    bool hidePasswordColumns(QString* error);
    // Whether a database name of the dialect ("ZxMeta_001") is reachable from this connection:
    // the connection's own or one beside it.
    bool reaches(const QString& databaseName);
    const ConnectionText& connectionText() const { return m_text; }
    QString language() const { return m_text.language; }
    Translator& translator() { return *m_translator; }

    // Server procedures, run by "EXEC name …" or by a batch that is only the name. The
    // arguments are the texts of the comma-separated expressions after the name.
    using Procedure = std::function<bool(TSqlConnection&, const QStringList& arguments, QString* error)>;
    void registerProcedure(const QString& name, Procedure procedure);

    class Backend;

private:
    struct Run;
    TSqlConnection() = default;
    bool runBatch(const QString& sql, bool wantRows, host::RecordSetPtr* rows);
    std::shared_ptr<const Batch> parsed(const QString& sql, QString* error);

    bool ensureStore(const QString& table, const char* ddl, bool* ready, QString* error);

    ConnectionText m_text;
    std::unique_ptr<Backend> m_backend;
    std::unique_ptr<Translator> m_translator;
    QHash<QString, std::shared_ptr<const Batch>> m_batches;
    QHash<QString, Procedure> m_procedures;
    QString m_error;
    qint64 m_schemaStamp = -1;  // schema seen by the cached translations
    bool m_printStylesReady = false, m_formOptionsReady = false;
};

}  // namespace platform::sql
