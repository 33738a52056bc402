#include "platform/db/AccountSafety.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <sqlite3.h>

#include "platform/db/AccountFiles.h"
#include "platform/db/Collation.h"

namespace platform::db {

namespace {

constexpr int kBusyMs = 5000;

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// The one table every sound database of a part holds.
const char* tableOf(AccountPart part) {
    return part == AccountPart::Data ? "UserDef_Base" : "refdesign";
}

// A connection on an existing file, ordered as the program orders text; null with a reason.
sqlite3* openFile(const QString& file, QString* error) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK || !installTextCollation(db)) {
        setError(error, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyMs);
    return db;
}

FileState stateOfCode(int rc) {
    switch (rc & 0xff) {
        case SQLITE_NOTADB: return FileState::NotADatabase;
        case SQLITE_CORRUPT: return FileState::Damaged;
        default: return FileState::Unreadable;
    }
}

// Runs a statement and collects the first column of its rows; the result code of the end.
int rowsOf(sqlite3* db, const QByteArray& sql, QStringList* rows, const QString& bind = {}) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    if (rc != SQLITE_OK) return sqlite3_extended_errcode(db);
    if (!bind.isNull()) {
        const QByteArray text = bind.toUtf8();
        sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        *rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(db);
}

// Header and length: what can be told without SQLite. Sound when nothing is wrong yet.
FileCheck checkHeader(const QString& file) {
    FileCheck c{file, FileState::Sound, {}};
    QFile f(file);
    if (!f.exists()) return {file, FileState::Missing, {QStringLiteral("the file does not exist")}};
    if (!f.open(QIODevice::ReadOnly))
        return {file, FileState::Unreadable, {f.errorString()}};
    const qint64 size = f.size();
    const QByteArray head = f.read(100);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (size == 0) return {file, FileState::NotADatabase, {QStringLiteral("the file is empty")}};
    if (head.size() < 16 && magic.startsWith(head))
        return {file, FileState::Truncated,
                {QStringLiteral("the file ends inside its header (%1 bytes)").arg(size)}};
    if (!head.startsWith(magic))
        return {file, FileState::NotADatabase,
                {QStringLiteral("the file does not begin as a SQLite database")}};
    if (head.size() < 100)
        return {file, FileState::Truncated,
                {QStringLiteral("the file ends inside its header (%1 bytes)").arg(size)}};
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    qint64 pageSize = qFromBigEndian<quint16>(h + 16);
    if (pageSize == 1) pageSize = 65536;
    const quint32 changes = qFromBigEndian<quint32>(h + 24);
    const quint32 pages = qFromBigEndian<quint32>(h + 28);
    const quint32 validFor = qFromBigEndian<quint32>(h + 92);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return {file, FileState::Damaged,
                {QStringLiteral("the header gives an impossible page size %1").arg(pageSize)}};
    const qint64 expected = validFor == changes ? pageSize * pages : 0;
    if (size < expected || size % pageSize != 0)
        return {file, FileState::Truncated,
                {QStringLiteral("the file has %1 bytes; its header counts %2 pages of %3 bytes")
                     .arg(size)
                     .arg(pages)
                     .arg(pageSize)}};
    return c;
}

// Copies one schema of a connection into a file of its own, as a rollback-journal database.
bool copySchema(sqlite3* source, const char* schema, const QString& target, QString* error) {
    const QString temporary = target + QStringLiteral(".part");
    QFile::remove(temporary);
    sqlite3* dest = nullptr;
    if (sqlite3_open_v2(temporary.toUtf8().constData(), &dest,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        setError(error, QStringLiteral("cannot write %1: %2")
                            .arg(temporary, QString::fromUtf8(sqlite3_errmsg(dest))));
        sqlite3_close(dest);
        return false;
    }
    sqlite3_backup* backup = sqlite3_backup_init(dest, "main", source, schema);
    int rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(dest);
    if (backup) sqlite3_backup_finish(backup);
    if (rc == SQLITE_DONE)
        rc = sqlite3_exec(dest, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    const QString why = QString::fromUtf8(sqlite3_errmsg(dest));
    sqlite3_close(dest);
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        QFile::remove(temporary);
        setError(error, QStringLiteral("cannot copy into %1: %2").arg(target, why));
        return false;
    }
    QFile::remove(target);
    if (!QFile::rename(temporary, target)) {
        setError(error, QStringLiteral("cannot write %1").arg(target));
        return false;
    }
    return true;
}

}  // namespace

QString stateWord(FileState state) {
    switch (state) {
        case FileState::Sound: return QStringLiteral("sound");
        case FileState::Missing: return QStringLiteral("missing");
        case FileState::NotADatabase: return QStringLiteral("not an account database");
        case FileState::Truncated: return QStringLiteral("truncated");
        case FileState::Damaged: return QStringLiteral("damaged");
        case FileState::Unreadable: return QStringLiteral("unreadable");
    }
    return {};
}

FileCheck checkDatabaseFile(const QString& file, AccountPart part, bool full, int maxProblems) {
    FileCheck c = checkHeader(file);
    if (!c.sound()) return c;
    QString why;
    sqlite3* db = openFile(file, &why);
    if (!db) return {file, FileState::Unreadable, {why}};
    const QByteArray pragma = (full ? "PRAGMA integrity_check(" : "PRAGMA quick_check(") +
                              QByteArray::number(qMax(1, maxProblems)) + ")";
    QStringList rows;
    int rc = rowsOf(db, pragma, &rows);
    if (rc != SQLITE_OK) {
        c.state = stateOfCode(rc);
        c.problems = rows << QString::fromUtf8(sqlite3_errmsg(db));
    } else if (rows != QStringList{QStringLiteral("ok")}) {
        c.state = FileState::Damaged;
        c.problems = rows;
    } else {
        QStringList tables;
        rc = rowsOf(db, "SELECT name FROM sqlite_master WHERE type='table' AND name=?1", &tables,
                    QString::fromLatin1(tableOf(part)));
        if (rc != SQLITE_OK) {
            c.state = stateOfCode(rc);
            c.problems << QString::fromUtf8(sqlite3_errmsg(db));
        } else if (tables.isEmpty()) {
            c.state = FileState::NotADatabase;
            c.problems << QStringLiteral("the table %1 is missing")
                              .arg(QString::fromLatin1(tableOf(part)));
        }
    }
    sqlite3_close(db);
    return c;
}

FileCheck checkAccount(const QString& dataRoot, const QString& accountId, bool full) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    FileCheck data = checkDatabaseFile(files.data, AccountPart::Data, full);
    if (!data.sound()) return data;
    FileCheck meta = checkDatabaseFile(files.meta, AccountPart::Meta, full);
    return meta.sound() ? data : meta;
}

FileCheck checkAccountHoldingWrites(const QString& dataRoot, const QString& accountId) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    QString why;
    sqlite3* guard = openFile(files.data, &why);
    QStringList rows;
    if (guard && (rowsOf(guard, "ATTACH DATABASE ?1 AS meta", &rows, files.meta) != SQLITE_OK ||
                  sqlite3_exec(guard, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)) {
        sqlite3_close(guard);
        guard = nullptr;  // the check itself says what is wrong
    }
    FileCheck c = checkAccount(dataRoot, accountId, false);
    if (guard) sqlite3_exec(guard, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(guard);
    return c;
}

qint64 accountSize(const QString& dataRoot, const QString& accountId) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    return QFileInfo(files.data).size() + QFileInfo(files.meta).size();
}

QString backupMetaFile(const QString& file) { return file + QStringLiteral(".meta"); }

bool backupAccount(const QString& dataRoot, const QString& accountId, const QString& file,
                   QString* error) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    for (const QString& f : {files.data, files.meta})
        if (!QFileInfo::exists(f)) {
            setError(error, QStringLiteral("%1 does not exist").arg(f));
            return false;
        }
    QString why;
    sqlite3* source = openFile(files.data, &why);
    if (!source) {
        setError(error, QStringLiteral("cannot open %1: %2").arg(files.data, why));
        return false;
    }
    // One read transaction over both databases: both copies show the same moment.
    QStringList rows;
    int rc = rowsOf(source, "ATTACH DATABASE ?1 AS meta", &rows, files.meta);
    if (rc == SQLITE_OK) rc = sqlite3_exec(source, "BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = rowsOf(source,
                    "SELECT (SELECT count(*) FROM main.sqlite_master) + "
                    "(SELECT count(*) FROM meta.sqlite_master)",
                    &rows);
    bool ok = rc == SQLITE_OK;
    if (!ok)
        setError(error, QStringLiteral("cannot read %1: %2")
                            .arg(files.data, QString::fromUtf8(sqlite3_errmsg(source))));
    ok = ok && copySchema(source, "main", file, error) &&
         copySchema(source, "meta", backupMetaFile(file), error);
    sqlite3_exec(source, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(source);
    return ok;
}

bool restoreAccount(const QString& dataRoot, const QString& accountId, const QString& file,
                    QString* error) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    const QList<QPair<QString, AccountPart>> parts = {{file, AccountPart::Data},
                                                      {backupMetaFile(file), AccountPart::Meta}};
    for (const auto& [from, part] : parts) {
        const FileCheck c = checkDatabaseFile(from, part, true, 5);
        if (!c.sound()) {
            setError(error, QStringLiteral("%1 is %2: %3")
                                .arg(from, stateWord(c.state), c.problems.join(QStringLiteral("; "))));
            return false;
        }
    }
    const QList<QPair<QString, QString>> copies = {{file, files.data},
                                                   {backupMetaFile(file), files.meta}};
    for (const auto& [from, to] : copies) {
        QString why;
        sqlite3* source = openFile(from, &why);
        sqlite3* dest = source ? openFile(to, &why) : nullptr;
        int rc = SQLITE_ERROR;
        if (dest) {
            sqlite3_backup* backup = sqlite3_backup_init(dest, "main", source, "main");
            rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(dest);
            if (backup) sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE) why = QString::fromUtf8(sqlite3_errmsg(dest));
        }
        sqlite3_close(dest);
        sqlite3_close(source);
        if (rc != SQLITE_DONE) {
            setError(error, QStringLiteral("cannot restore %1 from %2: %3").arg(to, from, why));
            return false;
        }
    }
    return true;
}

}  // namespace platform::db
