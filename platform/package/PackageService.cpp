#include "platform/package/PackageService.h"

#include "platform/package/PackageAccount.h"
#include "platform/package/PackageWriter.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"

namespace platform::package {

bool PackageService::exportPackage(host::IClsCommon* srv, const host::PackageChoice& choice,
                                   const QString& path, int* items, int* rules, QString* error) {
    auto* server = dynamic_cast<server::ClsCommon*>(srv);
    if (!server || !server->Status() || !server->connection()) {
        if (error) *error = QStringLiteral("No account is open to export from.");
        return false;
    }
    Selection selection;
    switch (choice.kind) {
        case host::PackageChoice::All: break;
        case host::PackageChoice::Class:
            selection.scope.kind = PackageScope::Classes;
            selection.scope.classes << choice.cClass;
            selection.refuseUnknown = true;
            break;
        case host::PackageChoice::Items:
            selection.scope.kind = PackageScope::Items;
            selection.items = choice.items;
            break;
    }
    Package package;
    if (!readAccount(server->connection()->database(), selection, &package, error) ||
        !savePackage(package, path, error))
        return false;
    if (items) *items = int(package.items.size());
    if (rules) *rules = int(package.rules.size());
    return true;
}

}  // namespace platform::package
