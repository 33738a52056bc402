#pragma once
// An open database connection of the host's database layer (login's ZxCurrentDb,
// server service's m_cnn). Statements are in the component's SQL dialect.
#include "host/RecordSet.h"

namespace host {

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
};

}  // namespace host
