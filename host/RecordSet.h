#pragma once
// A materialised, forward-and-back record set as the server database service returns it.
// It holds every row in memory; fields are found by name in any letter case.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

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
    RecordSet() = default;
    RecordSet(QVector<FieldInfo> fields, QVector<QVector<QVariant>> rows);

    int fieldCount() const { return int(m_fields.size()); }
    const FieldInfo& field(int index) const { return m_fields.at(index); }
    const QVector<FieldInfo>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const;  // -1 when there is no such field
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }

    // 1-based position; 0 before the first record (BOF), recordCount()+1 after the last (EOF).
    int absolutePosition() const { return m_pos; }
    void setAbsolutePosition(int position);
    bool bof() const { return m_rows.isEmpty() || m_pos < 1; }
    bool eof() const { return m_rows.isEmpty() || m_pos > recordCount(); }
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

    // Direct row access for bulk fills (0-based row).
    const QVariant& at(int row, int col) const { return m_rows.at(row).at(col); }

private:
    QVector<FieldInfo> m_fields;
    QVector<QVector<QVariant>> m_rows;
    int m_pos = 0;
};

using RecordSetPtr = std::shared_ptr<RecordSet>;

// The text a value shows: NULL as empty, booleans as "True"/"False", numbers without exponent.
QString variantText(const QVariant& value);

}  // namespace host
