#pragma once
// The physical columns of extended items: each host table T that may carry extended items is a
// row of the extension catalogue AA_DefineExtend; an item linked to T has its column in the
// companion table T + "_extradefine", which holds T's key and one column per linked item.
//
// Every table and column name joined into a statement here comes from the catalogue or from
// the database's own schema (never from a document as it stands), and goes through
// host::sqlIdentQuoted. Types are declared in the component's dialect ("nvarchar(20) COLLATE
// NOCASE"); the connection writes them as its kind of database declares them. Statements run through the write context, so they belong to the document's
// transaction and count towards its test failure point.
#include <QHash>
#include <QSet>
#include <QString>

#include "platform/server/DocumentWriter.h"

namespace platform::server {

// One extendable host table as the catalogue names it.
struct ExtendTable {
    QString tableName;  // AA_DefineExtend.TableName, the name UserDefDetail links
    QString hostTable;  // AA_DefineExtend.cTableName, spelt as in the schema
    QString keyColumn;  // cPKName
    QStringList codes;  // class codes of cType ("H", "B", "INV" …), upper case
    QString companion() const { return hostTable + QStringLiteral("_extradefine"); }
};

// The physical type of an item's column: text nvarchar(maxLen), integer int, number
// decimal(28,digits), date and date-time datetime. Empty with a reason for an unknown type or
// an unusable length.
QString extendColumnType(const QString& cType, int maxLen, int decimalDigits, QString* error);

// The column's declared type with its collation, as addColumn and retypeColumn take it: the
// case-insensitive collation of either kind of database as COLLATE NOCASE.
QString storedColumnType(const db::TableColumn& column);

// Whether giving a column the declared type `to` instead of `from` may round its values: a
// number with fewer decimals (a server keeps only the declared ones).
bool roundsValues(const QString& from, const QString& to);

class ExtendColumns {
public:
    explicit ExtendColumns(WriteContext& context) : m_context(context) {}

    // Reads the catalogue and the account's table names (two statements).
    bool load(QString* error);

    // The catalogue row whose TableName or cTableName is `name` (any letter case); null with a
    // reason when the table is not extendable, does not exist, or does not take items of the
    // class code.
    const ExtendTable* find(const QString& name, const QString& classCode, QString* error) const;
    // The row of a table an item is linked to already; null when the catalogue lost it.
    const ExtendTable* linked(const QString& tableName) const;

    // The table's companion as the schema spells it, or as it would be created.
    QString companionOf(const ExtendTable& table) const {
        const QString spelt = existing(table.companion());
        return spelt.isEmpty() ? table.companion() : spelt;
    }

    // Reads the columns of the named tables' companions in one statement, for the calls below
    // to use; each of them otherwise reads its companion's columns itself.
    bool readCompanions(const QStringList& tableNames, QString* error);
    // The column of the named table's companion as declared there (null when the companion or
    // the column does not exist); false with a reason when the columns could not be read.
    bool companionColumn(const QString& tableName, const QString& column,
                         const db::TableColumn** found, QString* error);

    // Adds the item's column to the companion table (created with the host table's key when
    // missing). A companion that already holds a column of that name is refused.
    bool addColumn(const ExtendTable& table, const QString& column, const QString& type,
                   QString* error);
    // Drops the column from the companion table, its values kept in the write's history;
    // nothing when it is not there.
    bool dropColumn(const ExtendTable& table, const QString& column, QString* error);
    // Rows of the companion whose value of `column` is longer than maxLen characters.
    bool countLonger(const ExtendTable& table, const QString& column, int maxLen, int* rows,
                     QString* error);
    // Gives the column a new declared type, keeping every value and the table's other columns,
    // key, indexes and triggers; values the type may round are kept in the write's history too.
    bool retypeColumn(const ExtendTable& table, const QString& column, const QString& type,
                      QString* error);

private:
    // The companion's spelling in the schema; empty when it does not exist.
    QString existing(const QString& table) const;
    // The existing companion of the table an item is linked to; empty when it has none.
    QString existingCompanion(const QString& tableName) const;
    // The columns of an existing table, read once per table and again after it changed; empty
    // when the table does not exist. Null with a reason when the read failed.
    const QList<db::TableColumn>* columnsOf(const QString& table, QString* error);
    // The column of the list named `column` in any letter case; null when there is none.
    static const db::TableColumn* named(const QList<db::TableColumn>& columns,
                                        const QString& column);
    // Keeps the values of the companion's column in the write's history, by the companion's key.
    bool keepValues(const ExtendTable& table, const QString& companion,
                    const QList<db::TableColumn>& columns, const QString& column, QString* error);
    // Gives `column` of `table` the type, or drops it when type is empty.
    bool alter(const QString& table, const QString& column, const QString& type, QString* error);

    WriteContext& m_context;
    QHash<QString, ExtendTable> m_byName;    // lower-cased TableName and cTableName
    QHash<QString, QString> m_schemaTables;  // lower-cased name → spelling
    QHash<QString, QList<db::TableColumn>> m_columns;  // lower-cased table name → columns read
};

}  // namespace platform::server
