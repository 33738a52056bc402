#pragma once
// Writes a package as the file carries it: UTF-8 XML, one element a line, attributes in the
// fixed order of their field lists, empty fields left out, every value escaped by the shared
// helper. The same definitions always give the same bytes.
#include <QByteArray>
#include <QString>

#include "platform/package/PackageModel.h"

namespace platform::package {

// The file's text; empty with the reason when a text holds a character no XML file can carry
// (the item and field named).
QByteArray writePackage(const Package& package, QString* error);

// Writes the file whole or not at all (a temporary file renamed over it).
bool savePackage(const Package& package, const QString& path, QString* error);

}  // namespace platform::package
