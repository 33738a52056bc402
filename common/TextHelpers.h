#pragma once
// Small text helpers every window shares.
#include <QString>
#include <QVariant>

namespace userdef {

// Empty text for a null value, else the value as text.
QString NullToEmpty(const QVariant& value);

// Puts the first maxLength characters of text into out (the whole text when it is not longer)
// and returns the length of text. Lengths count UTF-16 units, as nvarchar columns do; a cut
// never splits a surrogate pair (the pair is left out whole).
int TruncateText(const QString& text, QString& out, int maxLength);

// 1 when the value converts to Boolean true ("true" in any case, a non-zero number), else 0.
int TextToFlag(const QVariant& value);

// A new GUID in registry form (upper case) without "{" "}" and without every character of
// remove; with an empty remove the 36-character form with hyphens.
QString NewGuidText(const QString& remove = {});

}  // namespace userdef
