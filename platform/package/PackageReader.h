#pragma once
// Reads a package file. Refuses, with the line and a reason the user can act on, a file that is
// not well-formed (also a truncated one), of a newer format than this program reads, with an
// unknown element or field, an item without class or label, or an item, value or rule twice.
#include <QByteArray>
#include <QString>

#include "platform/package/PackageModel.h"

namespace platform::package {

bool readPackage(const QByteArray& bytes, Package* out, QString* error);
bool loadPackage(const QString& path, Package* out, QString* error);

}  // namespace platform::package
