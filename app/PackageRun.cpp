#include "app/PackageRun.h"

#include <QDir>
#include <QUuid>

#include "platform/db/AccountFiles.h"
#include "platform/pub/FunctionLocks.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"

namespace app {

bool openAccountService(const QString& root, const QString& account,
                        platform::server::ClsCommon& srv, QString* error) {
    if (!platform::db::isValidAccountId(account) || !platform::db::accountExists(root, account)) {
        *error = QStringLiteral("There is no account \"%1\" in %2.").arg(account, QDir(root).absolutePath());
        return false;
    }
    srv.init(platform::server::accountConnectionText(root, account, QStringLiteral("zh-CN")));
    if (srv.Status() && srv.writer()) return true;
    *error = QStringLiteral("Cannot connect to account %1: %2").arg(account, srv.lastError());
    return false;
}

bool importWithLocks(platform::server::ClsCommon& srv,
                     const QString& user, const QString& origin,
                     const platform::package::Package& package,
                     const platform::package::ImportOptions& options,
                     platform::package::ImportResult* result, QString* error) {
    using platform::pub::FunctionLocks;
    const QString unchanged = QStringLiteral("\nNothing was imported; the account is unchanged.");
    FunctionLocks locks(QUuid::createUuid().toString(QUuid::WithoutBraces));
    QString why;
    // The locks live where the service's own connection keeps them: the account's file, or its
    // data schema on a server.
    const host::ILockStore* store = srv.connection()->lockStore();
    const QString place = store->lockDatabase(), schema = store->lockSchema();
    if (!(schema.isEmpty() ? locks.open(place, &why) : locks.openServer(place, schema, &why))) {
        *error = why + unchanged;
        return false;
    }
    for (const int mode : {11, 20}) {
        const FunctionLocks::Result taken =
            locks.apply(QStringLiteral("UserDef"), mode, {}, QStringLiteral("import"));
        if (taken.outcome == FunctionLocks::Outcome::Taken) continue;
        *error = (taken.holder ? QStringLiteral("The user %1 on %2 is editing item definitions; "
                                                "try again when they are done.")
                                     .arg(taken.holder->userId, taken.holder->host)
                               : taken.error) +
                 unchanged;
        return false;
    }
    srv.setChangeSource(user, [origin] { return origin; });
    return platform::package::importPackage(srv.connection()->database(), *srv.writer(), package,
                                            options, result, error);
}

}  // namespace app
