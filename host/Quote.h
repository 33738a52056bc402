#pragma once
// The one place where values are made safe to join into SQL text and XML documents.
#include <QString>

namespace host {

// A value for the inside of a '...' SQL literal: every single quote doubled.
QString sqlValue(const QString& value);
// A value matched literally inside a LIKE pattern written with ESCAPE '\': the wildcards % _ [
// and the escape character itself are preceded by \. The result still goes through sqlValue.
QString sqlLikeText(const QString& value);
// An identifier taken from data (table or column name) in [brackets], "]" doubled.
QString sqlIdent(const QString& name);
// The same in "double quotes", '"' doubled: the standard form, as the PostgreSQL server reads it.
QString sqlIdentQuoted(const QString& name);
// A value for XML element text or an attribute: & < > " ' escaped, tab, line feed and carriage
// return written as character references so that they arrive unchanged. Characters no XML document
// can carry (see xmlUnfitAt) pass unchanged: text holding one is refused before a document is
// built from it, never altered.
QString xmlText(const QString& value);
// The position of the first character no XML document can carry: a control character other than
// tab, line feed and carriage return, half of a surrogate pair standing alone, U+FFFE or U+FFFF.
// -1 when every character fits.
qsizetype xmlUnfitAt(const QString& value);

}  // namespace host
