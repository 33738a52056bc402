#pragma once
// Packages as the desk and the command line run them on an account of a data root: the
// account's server service opened, and an import under the locks the item windows take (the
// adding lock and every item record), so that someone editing an item stops it.
#include <QString>

#include "platform/package/PackageImport.h"

namespace platform::server {
class ClsCommon;
}

namespace app {

// False with the reason when the account does not exist or cannot be connected.
bool openAccountService(const QString& root, const QString& account,
                        platform::server::ClsCommon& srv, QString* error);

// The import with the locks held throughout; a lock held elsewhere refuses it, naming who.
// A refusal's text ends by saying that nothing was imported. The account's history records the
// changes as made by `user` from `origin` (the window or command).
bool importWithLocks(platform::server::ClsCommon& srv,
                     const QString& user, const QString& origin,
                     const platform::package::Package& package,
                     const platform::package::ImportOptions& options,
                     platform::package::ImportResult* result, QString* error);

}  // namespace app
