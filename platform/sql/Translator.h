#pragma once
// Turns statements of the component's dialect (T-SQL) into SQLite or PostgreSQL statements.
// The rules (the PostgreSQL target's differences follow them):
//
// - N'..' is a plain literal; [names] and "names" are identifiers; dbo. is dropped; db..t and
//   db.dbo.t name the attached database (the connection's own database is "main", tempdb is
//   "temp"); #t is the temporary table "#t"; WITH (nolock) and other table hints are dropped.
// - TOP n becomes LIMIT n (a UNION member with TOP is wrapped as a sub-select); the ORDER BY
//   of a UNION names its columns without table prefixes.
// - 'alias' = expr in a select list becomes expr AS alias.
// - ISNULL, LEN, SUBSTRING, CHARINDEX, LEFT, RIGHT, GETDATE, NEWID map to SQLite or to the
//   functions the connection registers; CAST/CONVERT map the type (character types with a
//   length cut the text, money keeps 4 decimals, CONVERT of money to text honours styles 0-2).
// - "+" is evaluated left to right as SQL Server types it: it joins texts ("||") when both
//   sides are text, and adds when either side is a number. Text is: a string literal, a
//   variable of a character type, a column declared with a character type in a table of the
//   statement, CAST/CONVERT to a character type, a text function (LTRIM, REPLACE, SUBSTRING,
//   OBJECT_NAME …), ISNULL/COALESCE/MAX/MIN/CASE of text, or a text sub-select. When neither
//   side is known, "+" joins if one side is text and adds otherwise.
// - @variables become bound parameters (?1, ?2 … in order of first use).
// - syscolumns and sysobjects are the catalogue of the database they are named in (tables and
//   views, their columns with the server's type codes and sizes).
// - Anything else the dialect has and the host does not (PIVOT, APPLY, OVER, UPDATE … FROM,
//   unknown functions …) is an error that names it.
//
// On PostgreSQL (the server account layout): every table and column is written in the spelling
// the database stores, double-quoted; "main" is the connection's own schema, "temp" pg_temp.
// Column types come from platform::db::pgColumnType; text columns compare through the
// collation zxsystem.zx_nocase and order through zxsystem.zx_pinyin; NULL orders first, as
// here. The ORDER BY of a UNION or a DISTINCT list orders an outer SELECT * of it. LIKE is the
// operator zxsystem.~~~ (!~~~ for NOT LIKE) that matches the dialect's patterns; the helpers
// live in schema zxsystem (PgFunctions.h). @variables are $1, $2 … cast to their declared
// types. ALTER TABLE … ALTER COLUMN changes a column's type (refused when a value does not
// fit). The conversions the dialect makes by itself are written out: a text compared with or
// added to a number becomes a number (a number compared with a text that is none, such as
// '', compares as text); a bit column (boolean on the server) compared or computed with is 0 or
// 1 and takes 0 or 1 when assigned; a decimal column converted to text has no trailing zeros.
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/sql/Batch.h"

namespace platform::sql {

// The database the statements are written for.
enum class Target { Sqlite, Postgres };

// What the translator asks about the connection's databases.
class SchemaInfo {
public:
    virtual ~SchemaInfo() = default;
    // The schema ("main", "temp", an attached name) holding table or view `table`, looked up
    // in `schema` only when given, else in SQLite's search order; empty when there is none.
    virtual QString findTable(const QString& schema, const QString& table) = 0;
    // Declared type of the column; a null text when the table has no such column.
    virtual QString columnType(const QString& schema, const QString& table,
                               const QString& column) = 0;
    // True for functions the connection knows beyond the translator's own list.
    virtual bool hasFunction(const QString& name) = 0;
    // Names as the database stores them (looked up without regard to case); the name as given
    // when there is no such table or column. Only a database with case-sensitive names needs
    // them.
    virtual QString storedTable(const QString& /*schema*/, const QString& table) { return table; }
    virtual QString storedColumn(const QString& /*schema*/, const QString& /*table*/,
                                 const QString& column) {
        return column;
    }
    // Declared types of the table's columns in their order; empty when not known.
    virtual QStringList columnTypes(const QString& /*schema*/, const QString& /*table*/) { return {}; }
    // The database's own name of a schema the translator names ("main", "temp", an attached
    // database's name).
    virtual QString serverSchema(const QString& schema) { return schema; }
    // True when a session table or view of the connection (schema "temp") stands in for the
    // schema's table, also where a statement names the schema.
    virtual bool hasStandIn(const QString& /*schema*/, const QString& /*table*/) { return false; }
};

struct Translation {
    QString sql;
    QStringList parameters;  // lower-cased variable names bound as ?1, ?2 …
    bool returnsRows = false;
    bool changesSchema = false;
};

// Variables of a batch: lower-cased name with "@" → declared type.
using VariableTypes = QHash<QString, QString>;

class Translator {
public:
    // `catalog`: the connection's own database name; `attached`: schemas attached to it.
    Translator(QString catalog, QStringList attached, SchemaInfo* schema,
               Target target = Target::Sqlite);
    Target target() const { return m_target; }

    // One statement of a batch (SELECT, INSERT, UPDATE, DELETE, CREATE, DROP, ALTER …).
    bool translate(const Statement& statement, const VariableTypes& variables, Translation* out,
                   QString* error);
    // An expression as "SELECT <expression>"; as a condition it answers 1 or 0.
    bool translateExpression(const std::vector<Token>& tokens, const QString& source,
                             const VariableTypes& variables, bool condition, Translation* out,
                             QString* error);
    // A text that holds exactly one statement (tests, tools).
    bool translate(const QString& sql, Translation* out, QString* error);

    // Forgets translations that depended on tables' columns (after a schema change).
    void schemaChanged();
    int cachedCount() const { return int(m_cache.size()); }

private:
    struct Entry {
        Translation translation;
        bool schemaDependent = false;
    };
    bool run(const std::vector<Token>& tokens, const QString& key, int mode,
             const VariableTypes& variables, Translation* out, QString* error);

    QString m_catalog;
    QStringList m_attached;
    SchemaInfo* m_schema;
    Target m_target;
    QHash<QString, Entry> m_cache;
};

}  // namespace platform::sql
