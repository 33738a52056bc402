#pragma once
// The parts of an embedded account's schema that are SQL text (views, CHECK rules, the WHERE of
// partial indexes, column defaults) in the server's SQL, for copying an account to a server.
#include <QHash>
#include <QString>
#include <QStringList>

namespace platform::db {

// The tables and views an expression may name, with their columns, as the database spells
// them; looked up without regard to letter case.
class SchemaNames {
public:
    void add(const QString& table, const QStringList& columns);
    // The stored spelling; empty when unknown.
    QString table(const QString& name) const;
    QString column(const QString& table, const QString& name) const;
    // The spelling of a column of any table; empty when no table has it.
    QString anyColumn(const QString& name) const;

private:
    QHash<QString, QString> m_tables;                   // lower-case → spelling
    QHash<QString, QHash<QString, QString>> m_columns;  // lower-case table → columns
};

// A view's SELECT, a CHECK rule or an index's WHERE in the server's SQL: names double-quoted in
// their stored spelling (`table` is the table bare column names belong to; empty for a view),
// IFNULL as COALESCE, UDF_GetLocaleID() as the zxsystem function, GLOB as a regular expression
// match in byte order. Empty, with the reason in error, for what has no translation.
QString pgExpression(const QString& sqlite, const SchemaNames& names, const QString& table,
                     QString* error);

// The top-level text of the first CHECK ( … ) clauses of a CREATE TABLE statement, each without
// its parentheses; and the condition after WHERE of a CREATE INDEX statement (empty if none).
QStringList checkClauses(const QString& createTable);
QString indexCondition(const QString& createIndex);

// A column default of an embedded account in the server's SQL for a column of `pgType`:
// literals as they are (0 and 1 quoted for boolean columns), the new-GUID expression as the
// server's lower-case GUID text, CURRENT_TIMESTAMP as the session's time. Empty, with the reason
// in error, for any other expression.
QString pgDefault(const QString& sqliteDefault, const QString& pgType, QString* error);

// The reverse for the defaults a server account's tables report: the embedded account's text.
QString sqliteDefault(const QString& pgDefault, QString* error);

}  // namespace platform::db
