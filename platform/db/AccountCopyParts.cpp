#include "platform/db/AccountCopyParts.h"

#include <sqlite3.h>

#include <algorithm>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/db/PgConnection.h"

namespace platform::db::accountcopy {

QString q(const QString& name) { return host::sqlIdentQuoted(name); }
QString qualified(const QString& schema, const QString& table) {
    return q(schema) + QLatin1Char('.') + q(table);
}

bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

QList<int> keyOf(const QList<TableColumn>& columns) {
    QList<std::pair<int, int>> parts;
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].keyPosition > 0) parts.append({columns[i].keyPosition, i});
    std::sort(parts.begin(), parts.end());
    QList<int> key;
    for (const auto& p : parts) key << p.second;
    return key;
}

QStringList namesOf(const QList<TableColumn>& columns) {
    QStringList names;
    for (const TableColumn& c : columns) names << c.name;
    return names;
}

QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& n : names) quoted << q(n);
    return quoted.join(QStringLiteral(", "));
}

bool eachLiteRow(Database& db, const QString& sql,
                 const std::function<bool(const QVariantList&)>& row, QString* error) {
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &st, nullptr) !=
        SQLITE_OK)
        return fail(error, QString::fromUtf8(sqlite3_errmsg(db.handle())));
    const int n = sqlite3_column_count(st);
    int rc = SQLITE_ROW;
    bool ok = true;
    while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        QVariantList values;
        values.reserve(n);
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                    values << QVariant(qint64(sqlite3_column_int64(st, c)));
                    break;
                case SQLITE_FLOAT:
                    values << QVariant(sqlite3_column_double(st, c));
                    break;
                case SQLITE_BLOB:
                    values << QVariant(
                        QByteArray(static_cast<const char*>(sqlite3_column_blob(st, c)),
                                   sqlite3_column_bytes(st, c)));
                    break;
                case SQLITE_TEXT:
                    values << QVariant(
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                          sqlite3_column_bytes(st, c)));
                    break;
                default:
                    values << QVariant();
            }
        }
        ok = row(values);
    }
    if (ok && rc != SQLITE_DONE) ok = fail(error, QString::fromUtf8(sqlite3_errmsg(db.handle())));
    sqlite3_finalize(st);
    return ok;
}

QString rowText(const QStringList& columns, const QList<int>& key, const QVariantList& values) {
    QStringList parts;
    QList<int> shown = key;
    for (int i = 0; key.isEmpty() && i < qMin(3, int(columns.size())); ++i) shown << i;
    for (int i : shown) {
        const QVariant& v = values.value(i);
        QString text = v.isNull() ? QStringLiteral("NULL") : v.toString();
        if (text.size() > 40) text = text.left(40) + QStringLiteral("…");
        parts << columns[i] + QLatin1Char('=') + text;
    }
    return parts.join(QStringLiteral(", "));
}

QString differingRow(const TableChecksum& source, const TableChecksum& target, const char* from,
                     const char* to) {
    auto shown = [](QString row) {
        row.replace(QLatin1Char('\t'), QStringLiteral(" | "));
        return row.size() > 200 ? row.left(200) + QStringLiteral("…") : row;
    };
    const QString sent = source.firstRowNotIn(target), got = target.firstRowNotIn(source);
    if (sent.isEmpty()) return {};
    QString text = QStringLiteral("; the %1's row [%2]").arg(QLatin1String(from), shown(sent));
    return got.isEmpty()
               ? text + QStringLiteral(" is missing on the %1").arg(QLatin1String(to))
               : text + QStringLiteral(" reads [%1] on the %2").arg(shown(got), QLatin1String(to));
}

bool isAccountRegister(const QString& table) {
    return table.compare(QLatin1String("ua_account"), Qt::CaseInsensitive) == 0 ||
           table.compare(QLatin1String("UA_Account_sub"), Qt::CaseInsensitive) == 0;
}

QString accountFilter(const QList<TableColumn>& columns, const QString& accountId) {
    for (const TableColumn& c : columns)
        if (c.name.compare(QLatin1String("cAcc_Id"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("%1 = '%2'").arg(q(c.name), host::sqlValue(accountId));
    return QStringLiteral("false");
}

}  // namespace platform::db::accountcopy
