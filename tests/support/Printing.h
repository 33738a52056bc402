#pragma once
// Texts in gtest failure messages as text, not as arrays of code units. Include it in every
// file of a test program that compares texts: the printer gtest makes is one per program.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
