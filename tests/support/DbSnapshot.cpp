#include "tests/support/DbSnapshot.h"

#include <QMetaType>
#include <algorithm>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/server/ClsCommon.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

namespace testsupport {

namespace {

QString cellText(const QVariant& v) {
    if (v.isNull()) return QStringLiteral("NULL");
    switch (v.metaType().id()) {
        case QMetaType::QString:
            return QLatin1Char('\'') + host::sqlValue(v.toString()) + QLatin1Char('\'');
        case QMetaType::QByteArray:
            return QStringLiteral("x'%1'").arg(QString::fromLatin1(v.toByteArray().toHex()));
        default:
            return v.toString();
    }
}

QStringList rowsOf(platform::db::Database& db, const QString& sql, QString* error = nullptr) {
    QStringList out;
    const host::RecordSetPtr rs = db.query(sql, {}, error);
    if (!rs) return out;
    for (int r = 0; r < rs->recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->fieldCount(); ++c) cells << cellText(rs->at(r, c));
        out << cells.join(QStringLiteral(", "));
    }
    return out;
}

// Lines of `a` not matched one for one in `b`.
QStringList minus(QStringList a, QStringList b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    QStringList out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

// The lines only before ("-") and only now ("+"), at most eight of each.
void listChanges(QStringList* out, const QStringList& was, const QStringList& is) {
    for (const auto& [sign, lines] : {std::pair{"-", minus(was, is)}, std::pair{"+", minus(is, was)}}) {
        for (int i = 0; i < lines.size() && i < 8; ++i)
            *out << QStringLiteral("  %1 ").arg(QLatin1String(sign)) +
                        QString::fromStdString(traceText(lines.at(i), 150));
        if (lines.size() > 8) *out << QStringLiteral("  %1 … %2 more").arg(QLatin1String(sign)).arg(lines.size() - 8);
    }
}

}  // namespace

DbSnapshot DbSnapshot::take(platform::db::Database& db) {
    DbSnapshot s;
    for (const QString& schema : db.schemas()) {
        if (schema == QLatin1String("temp")) continue;
        const QString master = host::sqlIdent(schema) + QStringLiteral(".sqlite_master");
        for (const QString& entry :
             rowsOf(db, QStringLiteral("SELECT type, name, sql FROM %1 ORDER BY type, name").arg(master)))
            s.schema << schema + QLatin1Char('|') + entry;
        const host::RecordSetPtr names = db.query(
            QStringLiteral("SELECT name FROM %1 WHERE type = 'table' ORDER BY name").arg(master));
        for (int r = 0; names && r < names->recordCount(); ++r) {
            const QString table = names->at(r, 0).toString();
            const QString from = host::sqlIdent(schema) + QLatin1Char('.') + host::sqlIdent(table);
            QString error;
            QStringList rows = rowsOf(db, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(from), &error);
            if (!error.isEmpty()) {  // a table without rowid: its rows in text order
                rows = rowsOf(db, QStringLiteral("SELECT * FROM %1").arg(from));
                rows.sort();
            }
            s.tables.insert(schema + QLatin1Char('.') + table, rows);
        }
        for (const QString& line : rowsOf(
                 db, QStringLiteral("PRAGMA %1.integrity_check").arg(host::sqlIdent(schema))))
            if (line != QLatin1String("'ok'")) s.problems << schema + QStringLiteral(": ") + line;
        for (const QString& line : rowsOf(
                 db, QStringLiteral("PRAGMA %1.foreign_key_check").arg(host::sqlIdent(schema))))
            s.problems << schema + QStringLiteral(": foreign key ") + line;
    }
    return s;
}

QString DbSnapshot::differencesFrom(const DbSnapshot& before) const {
    QStringList out;
    QStringList names = before.tables.keys() + tables.keys();
    names.removeDuplicates();
    names.sort();
    for (const QString& name : names) {
        if (!tables.contains(name)) {
            out << QStringLiteral("table %1 is gone (held %2 rows)").arg(name).arg(before.tables[name].size());
            continue;
        }
        if (!before.tables.contains(name)) {
            out << QStringLiteral("table %1 is new (%2 rows)").arg(name).arg(tables[name].size());
            continue;
        }
        const QStringList& was = before.tables[name];
        const QStringList& is = tables[name];
        if (was == is) continue;
        out << QStringLiteral("table %1: %2 rows before, %3 now").arg(name).arg(was.size()).arg(is.size());
        if (minus(was, is).isEmpty() && minus(is, was).isEmpty())
            out << QStringLiteral("  same rows in another order");
        listChanges(&out, was, is);
    }
    for (const auto& [what, was, is] : {std::tuple{"schema:", &before.schema, &schema},
                                        std::tuple{"integrity:", &before.problems, &problems}}) {
        if (*was == *is) continue;
        out << QString::fromLatin1(what);
        listChanges(&out, *was, *is);
    }
    return out.join(QLatin1Char('\n'));
}

::testing::AssertionResult sameAs(const DbSnapshot& before, platform::db::Database& db) {
    const DbSnapshot now = DbSnapshot::take(db);
    if (now == before) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the database changed:\n" << now.differencesFrom(before).toStdString();
}

void PrintTo(const DbSnapshot& snapshot, std::ostream* os) {
    qsizetype rows = 0;
    for (const QStringList& table : snapshot.tables) rows += table.size();
    *os << "{" << snapshot.tables.size() << " tables, " << rows << " rows, "
        << snapshot.schema.size() << " schema entries, "
        << (snapshot.integrityOk() ? std::string("sound")
                                   : snapshot.problems.join(QStringLiteral("; ")).toStdString())
        << "}";
}

::testing::AssertionResult failAtEachStatement(TestAccount& account, const Write& write,
                                               int* failures, int limit) {
    platform::server::ClsCommon& srv = account.srv();
    const DbSnapshot before = DbSnapshot::take(account.db());
    if (!before.integrityOk())
        return ::testing::AssertionFailure()
               << "the database is unsound before the write: "
               << before.problems.join(QStringLiteral("; ")).toStdString();
    struct Off {
        platform::server::ClsCommon& srv;
        ~Off() { srv.setFailAtStatement(0); }
    } off{srv};
    for (int n = 1; n <= limit; ++n) {
        srv.setFailAtStatement(n);
        QString error;
        if (write(&error)) {
            if (failures) *failures = n - 1;
            return ::testing::AssertionSuccess();
        }
        if (error.isEmpty()) error = srv.lastError();
        if (!error.contains(QStringLiteral("statement %1").arg(n)))
            return ::testing::AssertionFailure()
                   << "failing at statement " << n
                   << ", the write was refused for another reason: " << error.toStdString();
        const DbSnapshot now = DbSnapshot::take(account.db());
        if (now != before)
            return ::testing::AssertionFailure()
                   << "failing at statement " << n << " left the database changed:\n"
                   << now.differencesFrom(before).toStdString();
    }
    return ::testing::AssertionFailure()
           << "the write still failed with the failure point at statement " << limit;
}

}  // namespace testsupport
