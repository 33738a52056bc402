#pragma once
// The host's package writer for the component: the account's definitions of a choice, written as
// the command line's export writes them.
#include "host/IPackages.h"

namespace platform::package {

class PackageService : public host::IPackages {
public:
    bool exportPackage(host::IClsCommon* srv, const host::PackageChoice& choice,
                       const QString& path, int* items, int* rules, QString* error) override;
};

}  // namespace platform::package
