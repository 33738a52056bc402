#pragma once
// An open database connection of the host's database layer (login's ZxCurrentDb,
// server service's m_cnn). Statements are in the component's SQL dialect.
#include <QMap>

#include "host/RecordSet.h"

namespace host {

// Where the host's public service keeps the function locks of the account a connection works on.
class ILockStore {
public:
    virtual ~ILockStore() = default;
    // The account database the lock service opens a connection of its own to (the locks outlive
    // the connections of the windows); empty when the account has none it can share.
    virtual QString lockDatabase() const = 0;
    // On a server account, the schema of the account's data (lockDatabase is then the server
    // database's connection string); empty for an account file.
    virtual QString lockSchema() const { return {}; }
};

// The print styles of the account a connection works on, per print key.
class IPrintStyleStore {
public:
    virtual ~IPrintStyleStore() = default;
    // The stored style of a key; empty when none is stored. Errors go to `error`.
    virtual QString loadPrintStyle(const QString& key, QString* error) = 0;
    virtual bool savePrintStyle(const QString& key, const QString& style, QString* error) = 0;
};

// Window options of each user of the account a connection works on (status bar shown …).
class IFormOptionStore {
public:
    virtual ~IFormOptionStore() = default;
    // Every option stored for a user's window, option key -> value. Errors go to `error`.
    virtual QMap<QString, QString> loadFormOptions(const QString& userId, const QString& form,
                                                   QString* error) = 0;
    virtual bool saveFormOption(const QString& userId, const QString& form, const QString& key,
                                const QString& value, QString* error) = 0;
};

class IConnection {
public:
    virtual ~IConnection() = default;
    // The rows of a query; null on failure, with the reason in lastError().
    virtual RecordSetPtr open(const QString& sql) = 0;
    // Runs a statement or batch; false on failure, with the reason in lastError().
    virtual bool execute(const QString& sql) = 0;
    virtual QString lastError() const = 0;
    // Name of the database the connection works in (DefaultDatabase).
    virtual QString defaultDatabase() const = 0;

    // What the connection's database keeps for the public service; null when it keeps nothing.
    virtual ILockStore* lockStore() { return nullptr; }
    virtual IPrintStyleStore* printStyleStore() { return nullptr; }
    virtual IFormOptionStore* formOptionStore() { return nullptr; }
};

}  // namespace host
