#pragma once
// Imports a package into an account through the server's own documents (items, values, rules),
// with every check they make, all inside one transaction: the first refusal rolls everything
// back and names the item and the reason. A new item keeps the package's number when the
// account has it free, else gets the next free number of its class (reported). By default only
// additions and changes are applied; items, table links, values and rules that only the account
// has go only with removeMissing. A dry run does the whole import and rolls it back.
#include <QString>
#include <QStringList>

#include "platform/package/PackageDiff.h"

namespace platform::db {
class Connection;
}
namespace platform::server {
class DocumentWriter;
}

namespace platform::package {

struct ImportOptions {
    bool dryRun = false;
    bool removeMissing = false;
};

struct ImportResult {
    PackageComparison comparison;  // what was (or would be) applied
    QStringList notes;             // renumbered items, removals not possible
    int documents = 0;             // documents the server applied
};

bool importPackage(db::Connection& db, server::DocumentWriter& writer, const Package& package,
                   const ImportOptions& options, ImportResult* result, QString* error);

}  // namespace platform::package
