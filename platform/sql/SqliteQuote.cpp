#include "platform/sql/SqliteQuote.h"

#include <sqlite3.h>

#include "host/Quote.h"

namespace platform::sql {

QString sqliteLiteral(const QString& value) {
    return QLatin1Char('\'') + host::sqlValue(value) + QLatin1Char('\'');
}

QString sqliteIdent(const QString& name) {
    bool plain = !name.isEmpty() && !name.front().isDigit();
    for (const QChar c : name) {
        if (!(c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_')))) {
            plain = false;
            break;
        }
    }
    if (plain) {
        const QByteArray latin = name.toLatin1();
        if (!sqlite3_keyword_check(latin.constData(), int(latin.size()))) return name;
    }
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

}  // namespace platform::sql
