#pragma once
// The named versions the helper processes save an item as: version n is the name "版本n" in
// every language and the maximum (and column) length 100 + n.
#include <QString>

namespace testitems {

struct Version {
    QString name;
    int maxLen = 0;
};

inline Version version(int n) { return {QStringLiteral("版本%1").arg(n), 100 + n}; }

// The version of every item the concurrent adders save.
constexpr int kConcurrentVersion = 0;

}  // namespace testitems
