#pragma once
// The users of the system database (UA_User): their password hashes, whether they administer
// the definitions, and the count of wrong passwords that locks a user out for a while.
#include <QString>

namespace platform::db {

class Connection;
class Database;

// Adds the columns bDefAdmin, iFailedLogins and dLockedUntil to UA_User where they are missing
// (a system database made before them); users found then keep the rights they had, so each
// becomes an administrator. Run on every open of the system database; cheap when current.
bool ensureUserTable(Connection& db, QString* error);

// An argon2id hash of the password with its own salt, in the encoded form that carries its
// parameters ("$argon2id$v=19$m=…"); libsodium's interactive limits. Empty when out of memory.
QString hashPassword(const QString& password);

// True when `stored` is an argon2id hash of the password.
bool verifyPassword(const QString& stored, const QString& password);

// The hash of a password stored before argon2id: lower-case hex SHA-256 of salt + password.
QString legacyPasswordHash(const QString& salt, const QString& password);

// Whether a column of UA_User holds a password's hash or salt (cPasswordHash, cSalt).
bool isPasswordColumn(const QString& column);

// On this connection the columns of UA_User that hold a password's hash and salt read as NULL
// and cannot be written; everything else works as before. For connections that run statements
// typed by a person. Embedded databases only.
void hidePasswordColumns(Database& db);

}  // namespace platform::db
