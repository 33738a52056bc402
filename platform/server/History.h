#pragma once
// The change history of an account. Every document the server applies is one row of zx_History:
// who, when, from which window or command, the operation and its table and key, and the rows it
// covers before and after, as JSON objects of table -> rows (column -> value, the row version
// left out) plus "columns": link table -> declared type of the item's column there. A column a
// change drops keeps its values in zx_HistoryValue (link table, column, key, value).
//
// The recorder writes through the document's write context, so the history rows belong to the
// document's transaction: a refused or failed write leaves no history either.
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/server/DocumentWriter.h"

namespace platform::db {
class Connection;
}

namespace platform::server {

// The rows a change covers.
struct ChangeScope {
    QString itemId;           // the item the change belongs to; empty for none
    QString key;              // the key shown for the change
    bool itemRows = false;    // the item's record, names, table links and column types
    bool allValues = false;   // every value of the item
    QStringList values;       // else these values of it
    QStringList ruleColumns;  // carry-over rules from or to these columns
    QStringList children;     // items whose parent link the change clears (cId, cParentID)
    QList<QStringList> layoutFields;  // layout fields (layout, part, field) it unbinds (cItemId)

    QJsonObject toJson() const;
    static ChangeScope fromJson(const QJsonObject& json);
};

// The rows of the scope as they stand; false with a reason when a read fails.
bool readScope(WriteContext& context, const ChangeScope& scope, QJsonObject* rows,
               QString* error);

class ChangeRecorder {
public:
    // Records the change with its rows before; one change per write.
    bool begin(WriteContext& context, const ChangeScope& scope, const QString& operation,
               const QString& table, int undoOf, QString* error);
    // Keeps the values of a column about to be dropped from a companion table, by its key.
    bool keepColumn(WriteContext& context, const QString& linkTable, const QString& companion,
                    const QString& keyColumn, const QString& column, QString* error);
    // Records the rows after; a write that began no change is recorded without rows.
    bool finish(WriteContext& context, const QString& operation, const QString& table,
                QString* error);
    int change() const { return m_change; }
    // The rows of the scope when the change began.
    const QJsonObject& before() const { return m_before; }

private:
    ChangeScope m_scope;
    QJsonObject m_before;
    int m_change = 0;
};

// Reverts a recorded change: the scope's rows and the item's columns as they were before it,
// the values of dropped columns put back. Refused, naming it, when a later change of the same
// item that is not undone depends on it, or when the rows differ from what the change left.
bool undoChange(WriteContext& context, ChangeRecorder& recorder, int change, QString* error);

// One recorded change as read back.
struct ChangeEntry {
    int change = 0;
    QString when, user, origin, operation, table, key, itemId;
    int undoOf = 0, undoneBy = 0;
    QJsonObject before, after;
    int keptValues = 0;  // values of dropped columns kept with it
};

// The changes of the account (of one item when itemId is set), oldest first.
bool readChanges(db::Connection& db, const QString& itemId, QList<ChangeEntry>* changes,
                 QString* error);

// The differences between the rows before and after, one line each ("table key: field: old ->
// new", rows added or removed with their fields, columns added, dropped or retyped).
QStringList describeChange(const QJsonObject& before, const QJsonObject& after);

// Removes the changes up to and including `upTo` (all when 0) with the values they kept.
bool purgeHistory(db::Connection& db, int upTo, int* removed, QString* error);

}  // namespace platform::server
