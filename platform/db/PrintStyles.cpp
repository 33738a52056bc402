#include "platform/db/PrintStyles.h"

#include "platform/db/Connection.h"

namespace platform::db {

QString loadPrintStyle(Connection& db, const QString& key, QString* error) {
    auto rows = db.query(
        QStringLiteral(R"(SELECT "cStyle" FROM "zx_PrintStyle" WHERE "cKey" = ?1)"), {key}, error);
    return rows && !rows->isEmpty() ? rows->text(0) : QString();
}

bool savePrintStyle(Connection& db, const QString& key, const QString& style, QString* error) {
    return db.execParams(
        QStringLiteral(R"(INSERT INTO "zx_PrintStyle"("cKey", "cStyle", "dChanged") )"
                       R"(VALUES (?1, ?2, CURRENT_TIMESTAMP) ON CONFLICT("cKey") DO UPDATE )"
                       R"(SET "cStyle" = excluded."cStyle", "dChanged" = excluded."dChanged")"),
        {key, style}, error);
}

}  // namespace platform::db
