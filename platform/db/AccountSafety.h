#pragma once
// Soundness, backup and restore of an account's two databases (data and metadata).
//
// A backup is a pair of files: <file> holds the data database and <file>.meta the metadata
// database, both plain SQLite databases copied by SQLite's online backup from one read
// snapshot, so other users may keep working while it runs.
#include <QString>
#include <QStringList>

namespace platform::db {

// What is wrong with a database file, from the first thing that fails.
enum class FileState {
    Sound,
    Missing,       // the file does not exist
    NotADatabase,  // not a SQLite database, or a SQLite database without the account's tables
    Truncated,     // shorter than its header says
    Damaged,       // the checks found faults, or SQLite reports the image malformed
    Unreadable,    // cannot be opened or read (permissions, locked for too long …)
};

struct FileCheck {
    QString file;
    FileState state = FileState::Sound;
    QStringList problems;  // what SQLite or the header check said
    bool sound() const { return state == FileState::Sound; }
};

// Which part of an account a file is: its data or its metadata database.
enum class AccountPart { Data, Meta };

// Checks one file: header and length, then SQLite's quick check (full: the integrity check)
// and the account's tables. Runs on a connection of its own, ordered as the program orders
// text. At most maxProblems lines are kept.
FileCheck checkDatabaseFile(const QString& file, AccountPart part, bool full,
                            int maxProblems = 100);

// The data database, then the metadata database; the first that is not sound, else Sound
// (file: the data database).
FileCheck checkAccount(const QString& dataRoot, const QString& accountId, bool full);

// checkAccount's quick check while this connection holds the write lock of both databases:
// writes of others wait (their busy timeout) until the check is over. For a check that runs
// beside a session already open.
FileCheck checkAccountHoldingWrites(const QString& dataRoot, const QString& accountId);

// The size in bytes of the account's two databases together.
qint64 accountSize(const QString& dataRoot, const QString& accountId);

// Copies the account into <file> and <file>.meta (replacing them). False with a reason.
bool backupAccount(const QString& dataRoot, const QString& accountId, const QString& file,
                   QString* error);

// Checks <file> and <file>.meta fully; when both are sound account databases, copies them
// over the account's databases in place (connections of others see the restored content).
// False with a reason, the account unchanged, when the backup is refused.
bool restoreAccount(const QString& dataRoot, const QString& accountId, const QString& file,
                    QString* error);

// The metadata file of a backup.
QString backupMetaFile(const QString& file);

// "damaged", "truncated" … as a word for messages in English.
QString stateWord(FileState state);

}  // namespace platform::db
