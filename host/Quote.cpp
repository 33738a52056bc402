#include "host/Quote.h"

namespace host {

QString sqlValue(const QString& value) {
    QString out = value;
    return out.replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString sqlLikeText(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_') ||
            c == QLatin1Char('['))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString sqlIdent(const QString& name) {
    QString inner = name;
    inner.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return QLatin1Char('[') + inner + QLatin1Char(']');
}

QString xmlText(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
            case '&': out += QStringLiteral("&amp;"); break;
            case '<': out += QStringLiteral("&lt;"); break;
            case '>': out += QStringLiteral("&gt;"); break;
            case '"': out += QStringLiteral("&quot;"); break;
            case '\'': out += QStringLiteral("&apos;"); break;
            // As references, so that a parser keeps them: it turns a CR into a LF in text and
            // every line break and tab into a blank in an attribute.
            case '\r': out += QStringLiteral("&#13;"); break;
            case '\n': out += QStringLiteral("&#10;"); break;
            case '\t': out += QStringLiteral("&#9;"); break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace host
