#include "platform/db/PrintStyles.h"

#include "platform/db/Database.h"

namespace platform::db {

namespace {

bool ensureTable(Database& db, QString* error) {
    return db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS zx_PrintStyle("
                                  "cKey nvarchar(100) COLLATE NOCASE NOT NULL PRIMARY KEY, "
                                  "cStyle ntext, dChanged datetime)"),
                   error);
}

}  // namespace

QString loadPrintStyle(Database& db, const QString& key, QString* error) {
    if (!ensureTable(db, error)) return {};
    auto rows = db.query(QStringLiteral("SELECT cStyle FROM zx_PrintStyle WHERE cKey = ?1"), {key},
                         error);
    return rows && !rows->isEmpty() ? rows->text(0) : QString();
}

bool savePrintStyle(Database& db, const QString& key, const QString& style, QString* error) {
    return ensureTable(db, error) &&
           db.execParams(QStringLiteral("INSERT INTO zx_PrintStyle(cKey, cStyle, dChanged) "
                                        "VALUES (?1, ?2, datetime('now')) ON CONFLICT(cKey) DO "
                                        "UPDATE SET cStyle = excluded.cStyle, dChanged = "
                                        "excluded.dChanged"),
                         {key, style}, error);
}

}  // namespace platform::db
