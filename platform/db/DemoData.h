#pragma once
// The parts of the demo account, filled by DemoAccount.cpp in this order. Internal to platform/db.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace platform::db {
class Database;
}

namespace platform::db::demo {

// Inserts rows into `table` with bound parameters; one statement prepared per row.
bool insertRows(Database& db, const QString& table, const QStringList& columns,
                const QList<QVariantList>& rows, QString* error);

bool fillSystem(Database& system, QString* error);  // users, menus, subsystems
bool registerAccount(Database& system, const QString& accountId, QString* error);
bool fillItems(Database& account, QString* error);      // items, their names and values
bool fillExtension(Database& account, QString* error);  // extended tables, links, carry-over
bool fillArchives(Database& account, QString* error);   // archive rows, dictionaries, enums
bool fillLayouts(Database& account, QString* error);    // document layouts showing items
bool fillMeta(Database& meta, QString* error);          // user-defined references

}  // namespace platform::db::demo
