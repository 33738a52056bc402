#pragma once
// Texts in gtest failure messages as text, not as arrays of code units.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
