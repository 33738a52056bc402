#pragma once
// The server database service: reads with SQL text, writes XML documents.
#include <functional>

#include "host/RecordSet.h"

namespace host {

class IConnection;

class IClsCommon {
public:
    virtual ~IClsCommon() = default;
    virtual void init(const QString& connectionText) = 0;
    virtual bool Status() const = 0;  // false when connecting failed
    // The rows of a statement; null on failure (the reason goes to lastError()).
    virtual RecordSetPtr OpenX(const QString& sql) = 0;
    // A statement, a batch or the name of a server procedure; false on failure.
    virtual bool ExecuteX(const QString& sqlOrProcedure) = 0;
    virtual IConnection* m_cnn() = 0;  // the open connection; null before a successful init
    virtual QString lastError() const = 0;

    // Document writes. Each applies one XML document (or one delete key) to the named table in
    // one transaction: true when it was applied whole; false with the reason in error (and
    // lastError()) when it was refused or failed, and then nothing has changed.
    virtual bool Add(const QString& xml, const QString& table, QString* error = nullptr) = 0;
    virtual bool Modify(const QString& xml, const QString& table, QString* error = nullptr) = 0;
    // Deletes the rows whose keyColumn equals the key: keyValue is read as the inside of a
    // '…' literal, so "7' and cValue='a''b" selects cId 7 with the value a'b.
    virtual bool Delete(const QString& keyValue, const QString& keyColumn, const QString& table,
                        QString* error = nullptr) = 0;
    // Who the following writes are recorded for in the account's history, and where they come
    // from (the window or command; asked at each write). A service keeping no history ignores it.
    virtual void setChangeSource(const QString& user, std::function<QString()> origin) {
        (void)user;
        (void)origin;
    }
    // The account's recorded changes, of one item when itemId is not empty, oldest first:
    // iChange, dWhen, cUserId, cOrigin, cOperation, cTable, cKey, cItemId, iUndoOf, iUndoneBy
    // and cDiff (the differences before -> after, a line each). Null with lastError() when it
    // cannot be read or no history is kept.
    virtual RecordSetPtr OpenHistory(const QString& itemId) {
        (void)itemId;
        return nullptr;
    }
    // Reverts a recorded change in one transaction, itself recorded; false with the reason
    // (naming a later change that depends on it) when refused, and then nothing has changed.
    virtual bool Undo(int change, QString* error = nullptr) {
        (void)change;
        if (error) *error = QStringLiteral("This server keeps no history.");
        return false;
    }
};

}  // namespace host
