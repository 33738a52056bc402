#include "platform/db/DemoAccount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "platform/db/Database.h"
#include "platform/db/DemoData.h"
#include "platform/db/Schema.h"

namespace platform::db {

namespace {

void fail(QString* error, const QString& text) {
    if (error) *error = text;
}

void removeDatabaseFiles(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

// Opens the system database, creating and filling it when it does not exist yet.
std::unique_ptr<Database> openSystem(const QString& path, QString* error) {
    const bool fresh = !QFileInfo::exists(path);
    QString why;
    std::unique_ptr<Database> db = Database::open(path, true, &why);
    if (!db) {
        fail(error, QStringLiteral("Cannot open the system database %1: %2").arg(path, why));
        return nullptr;
    }
    if (fresh) {
        bool ok = createSystemSchema(*db, &why);
        if (ok) {
            Transaction t(*db);
            ok = t.ok() && demo::fillSystem(*db, &why) && t.commit(&why);
        }
        if (!ok) {
            db.reset();
            removeDatabaseFiles(path);
            fail(error, QStringLiteral("Cannot create the system database %1: %2").arg(path, why));
            return nullptr;
        }
    } else if (schemaVersion(*db, QString::fromLatin1(kSystemPart)) != kSchemaVersion) {
        fail(error,
             QStringLiteral("The system database %1 has another schema version (%2, expected "
                            "%3); remove it to create it anew.")
                 .arg(path)
                 .arg(schemaVersion(*db, QString::fromLatin1(kSystemPart)))
                 .arg(kSchemaVersion));
        return nullptr;
    }
    return db;
}

// Creates one account database: schema, then its demo rows, each in one transaction.
bool createDatabase(const QString& path, bool (*schema)(Database&, QString*),
                    const std::function<bool(Database&, QString*)>& fill, QString* error) {
    QString why;
    std::unique_ptr<Database> db = Database::open(path, true, &why);
    bool ok = db && schema(*db, &why);
    if (ok) {
        Transaction t(*db);
        ok = t.ok() && fill(*db, &why) && t.commit(&why);
    }
    if (!ok) fail(error, QStringLiteral("Cannot create %1: %2").arg(path, why));
    return ok;
}

}  // namespace

bool createDemoAccount(const QString& dataRoot, const QString& accountId, QString* error) {
    if (!isValidAccountId(accountId)) {
        fail(error, QStringLiteral("\"%1\" is not a valid account id (1 to 20 letters or digits).")
                        .arg(accountId));
        return false;
    }
    if (accountExists(dataRoot, accountId)) {
        fail(error, QStringLiteral("Account %1 already exists in %2.")
                        .arg(accountId, QDir(dataRoot).absolutePath()));
        return false;
    }
    const AccountFiles files = accountFiles(dataRoot, accountId);
    if (!QDir().mkpath(dataRoot)) {
        fail(error, QStringLiteral("Cannot create the folder %1.").arg(dataRoot));
        return false;
    }
    std::unique_ptr<Database> system = openSystem(files.system, error);
    if (!system) return false;
    if (!QDir().mkpath(files.folder)) {
        fail(error, QStringLiteral("Cannot create the folder %1.").arg(files.folder));
        return false;
    }

    QString why;
    const bool ok =
        createDatabase(
            files.data, &createAccountSchema,
            [](Database& db, QString* e) {
                return demo::fillItems(db, e) && demo::fillArchives(db, e) &&
                       demo::fillExtension(db, e) && demo::fillLayouts(db, e);
            },
            &why) &&
        createDatabase(files.meta, &createMetaSchema, &demo::fillMeta, &why) && [&] {
            Transaction t(*system);
            return t.ok() && demo::registerAccount(*system, accountId, &why) && t.commit(&why);
        }();
    if (!ok) {
        removeDatabaseFiles(files.data);
        removeDatabaseFiles(files.meta);
        QDir().rmdir(files.folder);  // only when empty
        fail(error, why);
    }
    return ok;
}

bool removeAccount(const QString& dataRoot, const QString& accountId, QString* error) {
    if (!isValidAccountId(accountId)) {
        fail(error, QStringLiteral("\"%1\" is not a valid account id.").arg(accountId));
        return false;
    }
    const AccountFiles files = accountFiles(dataRoot, accountId);
    if (QFileInfo::exists(files.system)) {
        QString why;
        std::unique_ptr<Database> system = Database::open(files.system, false, &why);
        if (!system ||
            !system->execParams(QStringLiteral("DELETE FROM UA_Account_sub WHERE cAcc_id = ?"),
                                {accountId}, &why) ||
            !system->execParams(QStringLiteral("DELETE FROM ua_account WHERE cAcc_Id = ?"),
                                {accountId}, &why)) {
            fail(error, QStringLiteral("Cannot unregister account %1: %2").arg(accountId, why));
            return false;
        }
    }
    if (QFileInfo::exists(files.folder) && !QDir(files.folder).removeRecursively()) {
        fail(error, QStringLiteral("Cannot remove the folder %1.").arg(files.folder));
        return false;
    }
    return true;
}

}  // namespace platform::db
