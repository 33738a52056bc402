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

QString sqlIdentQuoted(const QString& name) {
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
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
            // A parser turns a carriage return into a line feed, and in an attribute every one
            // of the three into a blank; written as references they arrive as they were.
            case '\t': out += QStringLiteral("&#9;"); break;
            case '\n': out += QStringLiteral("&#10;"); break;
            case '\r': out += QStringLiteral("&#13;"); break;
            default: out += c;
        }
    }
    return out;
}

qsizetype xmlUnfitAt(const QString& value) {
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = value.at(i).unicode();
        if (c < 0x20) {
            if (c != '\t' && c != '\n' && c != '\r') return i;
        } else if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= n || !value.at(i + 1).isLowSurrogate()) return i;
            ++i;  // a pair: one character
        } else if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
            return i;
        }
    }
    return -1;
}

}  // namespace host
