#pragma once
// The values of an account's tables in one canonical text, alike whether they were read from an
// embedded account or from a server, and a checksum per table over them: a copy is whole when
// both sides give the same row count and checksum for every table.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform::db {

// What a column holds, from its declared type; decides the canonical text of its values.
enum class ValueKind { Text, Integer, Boolean, Decimal, Float, DateTime, Blob };
ValueKind valueKindOf(const QString& declaredType);

// The canonical text of a value: a null QString for NULL. `value` is as either side gives it:
// an embedded account's stored value (qint64, double, QString, QByteArray), or the server's text
// form of the value (`column::text`, with `serverText` set).
QString canonicalValue(const QVariant& value, ValueKind kind, bool serverText);

// Row count and checksum of one table, filled a row at a time in any order.
class TableChecksum {
public:
    // `keyColumns`: positions of the primary key's columns; rows are ordered by them, then by
    // the whole row, in the canonical text's byte order (the same on either side).
    explicit TableChecksum(QList<int> keyColumns = {}) : m_key(std::move(keyColumns)) {}
    void addRow(const QStringList& canonicalValues);
    qint64 rows() const { return m_rows.size(); }
    // Hex text of the checksum (SHA-256 of the ordered rows, first 16 bytes).
    QString checksum() const;
    // The first row (in order) that `other` does not have, its values tab-separated; empty
    // when there is none.
    QString firstRowNotIn(const TableChecksum& other) const;

private:
    QList<int> m_key;
    QStringList m_rows;
};

// What a copy reports per table: "schema.table", rows and checksum.
struct CopiedTable {
    QString name;
    qint64 rows = 0;
    QString checksum;
};

// What a copy did: its tables, and what it had to change on the way (one line each).
struct AccountCopy {
    QList<CopiedTable> tables;
    QStringList notes;
};

}  // namespace platform::db
