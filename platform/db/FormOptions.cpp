#include "platform/db/FormOptions.h"

#include "platform/db/Connection.h"

namespace platform::db {

QMap<QString, QString> loadFormOptions(Connection& db, const QString& userId,
                                       const QString& form, QString* error) {
    QMap<QString, QString> out;
    auto rows = db.query(QStringLiteral(R"(SELECT "cKey", "cValue" FROM "zx_FormOption" )"
                                        R"(WHERE "cUserId" = ?1 AND "cForm" = ?2)"),
                         {userId, form}, error);
    for (int r = 0; rows && r < rows->recordCount(); ++r)
        out.insert(rows->at(r, 0).toString(), rows->at(r, 1).toString());
    return out;
}

bool saveFormOption(Connection& db, const QString& userId, const QString& form,
                    const QString& key, const QString& value, QString* error) {
    return db.execParams(
        QStringLiteral(R"(INSERT INTO "zx_FormOption"("cUserId", "cForm", "cKey", "cValue") )"
                       R"(VALUES (?1, ?2, ?3, ?4) ON CONFLICT("cUserId", "cForm", "cKey") )"
                       R"(DO UPDATE SET "cValue" = excluded."cValue")"),
        {userId, form, key, value}, error);
}

}  // namespace platform::db
