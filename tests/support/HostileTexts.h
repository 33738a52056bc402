#pragma once
// The texts every round-trip test stores and reads back: each breaks a statement or a document
// that joins values by hand.
#include <QString>
#include <QStringList>
#include <string>

#include "tests/support/Printing.h"

namespace testsupport {

// Quotes ' and ", "--", ";", "<", "&", "]]>", brackets and LIKE wildcards, characters outside
// the BMP (U+1F600, U+20BB7), tab, LF and CR, surrounding blanks, and a 4,000-character text.
// With maxLength >= 0, longer texts are cut to maxLength characters (a column's full length;
// one less where the cut would split a pair) and duplicates left out.
QStringList hostileTexts(int maxLength = -1);

// Control characters other than tab, LF and CR (U+0000, U+0001, U+0008, U+000B, U+000C,
// U+001B, U+001F) inside a text: not representable in an XML document, so the product may
// refuse them — with a message, losing nothing.
QStringList controlTexts();

// A text for SCOPED_TRACE and failure messages: control characters visible, long texts cut.
std::string traceText(const QString& text, int most = 60);

}  // namespace testsupport
