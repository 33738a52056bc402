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
// A value for XML element text or an attribute: & < > " ' escaped, tab, LF and CR as
// character references.
QString xmlText(const QString& value);

}  // namespace host
