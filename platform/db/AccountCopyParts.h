#pragma once
// What the two directions of an account copy share: quoting, reading an embedded account's rows
// as stored, naming a row in a message, and the account register's rows.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

#include "platform/db/AccountChecksum.h"
#include "platform/db/Connection.h"
#include "platform/db/ServerAccount.h"

namespace platform::db {
class Database;
class PgConnection;
}  // namespace platform::db

namespace platform::db::accountcopy {

inline const QString kSystem = QString::fromLatin1(kServerSystemSchema);

QString q(const QString& name);  // a quoted identifier
QString qualified(const QString& schema, const QString& table);
// Sets the error and answers false.
bool fail(QString* error, const QString& text);

// Positions of the primary key's columns, in key order.
QList<int> keyOf(const QList<TableColumn>& columns);
// The names, quoted and joined by commas.
QString quotedList(const QStringList& names);

// Runs a query of an embedded account, giving `row` each row's values as stored (qint64,
// double, QString, QByteArray or null). `row` returns false to stop, having set the error.
bool eachLiteRow(Database& db, const QString& sql,
                 const std::function<bool(const QVariantList&)>& row, QString* error);

// A short text naming a row by its key (else its first columns), for messages.
QString rowText(const QStringList& columns, const QList<int>& key, const QVariantList& values);
// "; the file's row … arrived as …" for a copy whose checksums differ.
QString differingRow(const TableChecksum& source, const TableChecksum& target, const char* from,
                     const char* to);

// The account register (ua_account, UA_Account_sub): a copy takes only the account's own rows.
bool isAccountRegister(const QString& table);
// The condition selecting the account's rows of a register table.
QString accountFilter(const QList<TableColumn>& columns, const QString& accountId);

}  // namespace platform::db::accountcopy
