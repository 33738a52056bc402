#pragma once
// The document writes of the server database service. Each Add, Modify or Delete parses what the
// component hands in (an XML document with a real parser, or a delete key), hands it to the
// table's document handler, and runs the handler's statements in one transaction with every
// value bound, one writer of the database at a time. A refused or failed write rolls back whole.
// Every applied write is recorded in the account's history (History.h) in the same transaction,
// with the rows its handler's scope covers before and after, the user and the origin set here.
//
// Tables plug in by name (compared without regard to letter case): registerTable("UserDefine",
// handler). A test can make the writer fail, or pause, at its n-th statement of the next writes.
#include <QDomDocument>
#include <QDomElement>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <optional>
#include <memory>

#include "host/RecordSet.h"
#include "platform/db/Connection.h"

namespace platform::server {

class DocumentWriter;
class ChangeRecorder;
struct ChangeScope;

// Whether a declared type's lower-case base name ("nvarchar") is one of text.
bool isTextType(const QString& base);

// One column of a table as declared: its name as the table spells it, and its declared length
// for text columns (-1 when unbounded or not text).
struct ColumnInfo {
    QString name;
    int maxLength = -1;
};

// What a handler runs its statements through: counts them (for the test's failure point) and
// binds every value.
class WriteContext {
public:
    using PauseHook = std::function<void(int statement)>;
    bool exec(const QString& sql, const QVariantList& params, QString* error);
    host::RecordSetPtr query(const QString& sql, const QVariantList& params, QString* error);
    // The table's columns by lower-cased name; empty (with error) when the table is unknown.
    QHash<QString, ColumnInfo> columns(const QString& table, QString* error);
    // The catalogue read as one statement of the write (counted as a query is).
    bool tableNames(QStringList* names, QString* error);
    bool tableColumns(const QString& table, QList<db::TableColumn>* columns, QString* error);
    bool tablesColumns(const QStringList& tables, QHash<QString, QList<db::TableColumn>>* columns,
                       QString* error);
    db::Connection& database() { return m_db; }
    // Who writes and from where, as the history records it.
    const QString& user() const { return m_user; }
    const QString& origin() const { return m_origin; }
    // The history of the write; null where none is kept.
    ChangeRecorder* recorder() { return m_recorder; }

private:
    friend class DocumentWriter;
    WriteContext(db::Connection& db, int failAt, int pauseAt, const PauseHook& pause)
        : m_db(db), m_failAt(failAt), m_pauseAt(pauseAt), m_pause(pause) {}
    QString m_user;
    QString m_origin;
    ChangeRecorder* m_recorder = nullptr;
    bool countStatement(QString* error);
    db::Connection& m_db;
    int m_failAt;
    int m_pauseAt;
    const PauseHook& m_pause;
    int m_count = 0;
};

// The fields of a flat document: each child element's name and text, in document order.
struct DocumentField {
    QString name;
    QString text;
};

// A delete key: the column = value pairs it selects (the key column first).
struct DeleteKey {
    QList<DocumentField> pairs;
};

// Reads "'" + keyValue + "'" as one literal, optionally followed by "and column='literal'"
// pairs, literals with doubled quotes inside; anything else is refused with a reason.
bool parseDeleteKey(const QString& keyValue, const QString& keyColumn, DeleteKey* key,
                    QString* error);

// A parsed document and the text it was parsed from.
struct Document {
    QDomDocument dom;
    QString xml;
    QDomElement root() const { return dom.documentElement(); }
};

class TableDocument {
public:
    virtual ~TableDocument() = default;
    virtual bool add(WriteContext& context, const Document& document, QString* error) = 0;
    virtual bool modify(WriteContext& context, const Document& document, QString* error) = 0;
    virtual bool remove(WriteContext& context, const DeleteKey& key, QString* error) = 0;
    // The rows a document or delete key covers, for the history; read before it is applied.
    // A document the handler will refuse may give any scope.
    virtual bool documentScope(WriteContext& context, const Document& document, bool modify,
                               ChangeScope* scope, QString* error);
    virtual bool deleteScope(WriteContext& context, const DeleteKey& key, ChangeScope* scope,
                             QString* error);
};

class DocumentWriter {
public:
    explicit DocumentWriter(db::Connection& db);
    ~DocumentWriter();

    void registerTable(const QString& table, std::shared_ptr<TableDocument> handler);
    QStringList tables() const;

    bool add(const QString& xml, const QString& table, QString* error);
    bool modify(const QString& xml, const QString& table, QString* error);
    bool remove(const QString& keyValue, const QString& keyColumn, const QString& table,
                QString* error);

    // Reverts a recorded change in one transaction, itself recorded; see undoChange.
    bool undo(int change, QString* error);

    // Who the following writes are recorded for, and the window or command they come from
    // (asked at each write when origin is a function).
    void setUser(const QString& user) { m_user = user; }
    void setOrigin(const QString& origin) {
        m_origin = [origin] { return origin; };
    }
    void setOrigin(std::function<QString()> origin) { m_origin = std::move(origin); }

    // Tests: every following write fails at its n-th statement (1 = the first); 0 switches it
    // off.
    void setFailAtStatement(int n) { m_failAt = n; }
    int failAtStatement() const { return m_failAt; }
    // Tests: every following write calls pause just before its n-th statement runs (the
    // transaction open, the earlier statements done); 0 switches it off. A helper process
    // blocks there so that it can be killed half way.
    void setPauseAtStatement(int n, WriteContext::PauseHook pause) {
        m_pauseAt = n;
        m_pause = std::move(pause);
    }
    // Statements run by the last write (whether or not it succeeded).
    int lastStatementCount() const { return m_lastCount; }

private:
    enum class Kind { Add, Modify, Delete, Undo };
    std::shared_ptr<TableDocument> handler(const QString& table, QString* error) const;
    bool write(Kind kind, const QString& table, QString* error,
               const std::function<bool(WriteContext&, ChangeRecorder&, QString*)>& apply);

    db::Connection& m_db;
    QHash<QString, std::shared_ptr<TableDocument>> m_tables;  // by lower-cased name
    QStringList m_names;
    int m_failAt = 0;
    int m_pauseAt = 0;
    WriteContext::PauseHook m_pause;
    int m_lastCount = 0;
    QString m_user;
    std::function<QString()> m_origin;
};

// A flag as documents write it: "1" or "true" is 1, "0", "false" or nothing is 0 (letter case
// and blanks ignored; "-1" is 1 too where minusOneIsTrue); anything else is no flag.
std::optional<int> readFlag(const QString& text, bool minusOneIsTrue = false);

// The fields of a flat document whose root is named root (compared without regard to case);
// false with a reason otherwise. Texts keep their blanks, also blank-only ones.
bool readFlatDocument(const Document& document, const QString& root, QList<DocumentField>* fields,
                      QString* error);

}  // namespace platform::server
