#pragma once
// The host's tables, views and triggers: one function per database (system, account,
// metadata). Declared types are spelt as on SQL Server (nvarchar(60), bit, decimal(28,6) …) so
// record sets report the right field types and defined sizes; text compares case-insensitively.
#include <QString>

namespace platform::db {

class Database;

// Raised whenever a table, view or trigger changes, or the order indexes keep text in; test
// templates and tools rebuild on it.
constexpr int kSchemaVersion = 6;

// The three databases, as named in zx_SchemaVersion.cPart.
inline constexpr const char* kSystemPart = "system";
inline constexpr const char* kAccountPart = "account";
inline constexpr const char* kMetaPart = "meta";

// The default of a column that takes a new GUID (lower-case registry form without braces).
extern const char* const kNewGuidDefault;

// Each creates its database's schema in one transaction, with the schema version row. They
// expect an empty database and fail (error filled, nothing changed) on any statement error.
bool createSystemSchema(Database& db, QString* error);
bool createAccountSchema(Database& db, QString* error);
bool createMetaSchema(Database& db, QString* error);

// The version stored by the create function of `part` in the database attached as `schema`
// ("main" for the database itself); 0 when there is none.
int schemaVersion(Database& db, const QString& part,
                  const QString& schema = QStringLiteral("main"));

// Brings a database made by an earlier version up to kSchemaVersion where that can be done in
// place, in one transaction: on failure nothing changes and error says why. A database already
// current, of an unknown version, or without version rows is left alone. Opening and attaching
// a database run it.
//   4 -> 5: indexes over text were kept in this program's Chinese order under the name NOCASE;
//           they are rebuilt in SQLite's own NOCASE order.
//   5 -> 6: an account database gets the change history tables (zx_History, zx_HistoryValue).
bool upgradeSchema(Database& db, const QString& schema, QString* error);

// Keeps `table`.pubzxts as a row version: every insert and every update of one of the table's
// other columns (those it has now) stores the next value of the database's counter
// (zx_RowVersion). Used by the schema and for tables created later that carry pubzxts.
bool addRowVersion(Database& db, const QString& table, QString* error);

}  // namespace platform::db
