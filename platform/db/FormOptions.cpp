#include "platform/db/FormOptions.h"

#include "platform/db/Database.h"

namespace platform::db {

namespace {

bool ensureTable(Database& db, QString* error) {
    return db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS zx_FormOption("
                                  "cUserId nvarchar(20) COLLATE NOCASE NOT NULL, "
                                  "cForm nvarchar(60) COLLATE NOCASE NOT NULL, "
                                  "cKey nvarchar(60) COLLATE NOCASE NOT NULL, "
                                  "cValue nvarchar(200), "
                                  "PRIMARY KEY (cUserId, cForm, cKey))"),
                   error);
}

}  // namespace

QMap<QString, QString> loadFormOptions(Database& db, const QString& userId,
                                       const QString& form, QString* error) {
    QMap<QString, QString> out;
    if (!ensureTable(db, error)) return out;
    auto rows = db.query(
        QStringLiteral("SELECT cKey, cValue FROM zx_FormOption WHERE cUserId = ?1 AND cForm = ?2"),
        {userId, form}, error);
    if (!rows) return out;
    for (int r = 0; r < rows->recordCount(); ++r)
        out.insert(rows->at(r, 0).toString(), rows->at(r, 1).toString());
    return out;
}

bool saveFormOption(Database& db, const QString& userId, const QString& form,
                    const QString& key, const QString& value, QString* error) {
    return ensureTable(db, error) &&
           db.execParams(QStringLiteral("INSERT INTO zx_FormOption(cUserId, cForm, cKey, cValue) "
                                        "VALUES (?1, ?2, ?3, ?4) ON CONFLICT(cUserId, cForm, cKey) "
                                        "DO UPDATE SET cValue = excluded.cValue"),
                         {userId, form, key, value}, error);
}

}  // namespace platform::db
