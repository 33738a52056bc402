#pragma once
// A materialised, forward-and-back record set as the server database service returns it.
// It holds every row in memory as the database gave it (numbers, UTF-8 text, bytes, NULL) and
// makes a QVariant or a text of a value only when it is read; fields are found by name in any
// letter case.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <cstdint>
#include <memory>
#include <vector>

namespace host {

// Field type codes the component reads (the ADO numbering).
namespace FieldType {
constexpr int SmallInt = 2;
constexpr int Integer = 3;
constexpr int Double = 5;
constexpr int Currency = 6;
constexpr int Date = 7;
constexpr int Boolean = 11;
constexpr int Decimal = 14;
constexpr int TinyInt = 17;
constexpr int BigInt = 20;
constexpr int Binary = 128;
constexpr int Char = 129;
constexpr int WChar = 130;
constexpr int Numeric = 131;
constexpr int DBTimeStamp = 135;
constexpr int VarChar = 200;
constexpr int LongVarChar = 201;
constexpr int VarWChar = 202;
constexpr int LongVarWChar = 203;
constexpr int VarBinary = 204;
constexpr int LongVarBinary = 205;
}  // namespace FieldType

struct FieldInfo {
    QString name;
    int type = FieldType::VarWChar;
    int definedSize = 0;  // characters for text kinds, bytes otherwise; 0 when unknown
};

class RecordSet {
public:
    class Builder;

    RecordSet() = default;
    // A small record set built by hand (look-up results, tests): every value kept as given.
    RecordSet(QVector<FieldInfo> fields, QVector<QVector<QVariant>> rows);

    int fieldCount() const { return int(m_fields.size()); }
    const FieldInfo& field(int index) const { return m_fields.at(index); }
    const QVector<FieldInfo>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const;  // -1 when there is no such field
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    int recordCount() const { return m_rowCount; }
    bool isEmpty() const { return m_rowCount == 0; }

    // 1-based position; 0 before the first record (BOF), recordCount()+1 after the last (EOF).
    int absolutePosition() const { return m_pos; }
    void setAbsolutePosition(int position);
    bool bof() const { return m_rowCount == 0 || m_pos < 1; }
    bool eof() const { return m_rowCount == 0 || m_pos > m_rowCount; }
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();

    // Values of the current record. A missing field or no current record gives a null value.
    QVariant value(int index) const;
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    QString text(const QString& name) const;  // NULL reads as empty text
    QString text(int index) const;

    // Direct row access for bulk fills (0-based row); out of range gives a null value.
    QVariant at(int row, int col) const;
    // variantText(at(row, col)) without building the value first.
    QString textAt(int row, int col) const;
    bool isNullAt(int row, int col) const;
    // Whether two records hold the same value in a field (same type, same text or number).
    bool sameValue(int rowA, int rowB, int col) const;

private:
    // How a value is kept; the kind also fixes the type it reads as.
    enum Kind : uint8_t { Null, Int32, Int64, Double, Bool, Text, Blob, Variant };
    union Cell {
        qint64 i;
        double d;
        struct {
            quint32 offset;  // into m_bytes (Text, Blob) or m_variants (Variant)
            quint32 size;
        } ref;
    };
    qsizetype cellIndex(int row, int col) const;

    QVector<FieldInfo> m_fields;
    int m_rowCount = 0;
    std::vector<Kind> m_kinds;  // row-major, fieldCount() per row
    std::vector<Cell> m_cells;
    QByteArray m_bytes;  // text as UTF-8 and bytes of every row, one after the other
    QVector<QVariant> m_variants;
    int m_pos = 0;
};

// Fills a record set value by value, row after row, with the values in the form a database
// hands them out; each add* appends the next value of the current row.
class RecordSet::Builder {
public:
    explicit Builder(int fieldCount);
    void addNull() { push(Null, {}); }
    void addInt32(int v) { push(Int32, cellOf(v)); }
    void addInt64(qint64 v) { push(Int64, cellOf(v)); }
    void addDouble(double v);
    void addBool(bool v) { push(Bool, cellOf(v ? 1 : 0)); }
    void addText(const char* utf8, qsizetype bytes) { addBytes(Text, utf8, bytes); }
    void addBlob(const char* data, qsizetype bytes) { addBytes(Blob, data, bytes); }
    void addVariant(const QVariant& v);
    // The record set with the fields, positioned on its first record.
    RecordSet finish(QVector<FieldInfo> fields);

private:
    static Cell cellOf(qint64 v) {
        Cell c;
        c.i = v;
        return c;
    }
    void push(Kind kind, Cell cell) {
        m_set.m_kinds.push_back(kind);
        m_set.m_cells.push_back(cell);
    }
    void addBytes(Kind kind, const char* data, qsizetype bytes);
    int m_fieldCount;
    RecordSet m_set;
};

using RecordSetPtr = std::shared_ptr<RecordSet>;

// The text a value shows: NULL as empty, booleans as "True"/"False", numbers without exponent.
QString variantText(const QVariant& value);

}  // namespace host
