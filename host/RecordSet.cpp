#include "host/RecordSet.h"

#include <algorithm>
#include <limits>

namespace host {

RecordSet::RecordSet(QVector<FieldInfo> fields, QVector<QVector<QVariant>> rows) {
    Builder b(int(fields.size()));
    for (const QVector<QVariant>& row : rows)
        for (int c = 0; c < fields.size(); ++c) b.addVariant(row.value(c));
    *this = b.finish(std::move(fields));
}

RecordSet::Builder::Builder(int fieldCount) : m_fieldCount(std::max(fieldCount, 0)) {}

void RecordSet::Builder::addDouble(double v) {
    Cell c;
    c.d = v;
    push(Double, c);
}

void RecordSet::Builder::addVariant(const QVariant& v) {
    if (!v.isValid()) return addNull();
    Cell c;
    c.ref = {quint32(m_set.m_variants.size()), 0};
    m_set.m_variants.append(v);
    push(Variant, c);
}

void RecordSet::Builder::addBytes(Kind kind, const char* data, qsizetype bytes) {
    Cell c;
    c.ref = {quint32(m_set.m_bytes.size()), quint32(bytes)};
    m_set.m_bytes.append(data, bytes);
    push(kind, c);
}

RecordSet RecordSet::Builder::finish(QVector<FieldInfo> fields) {
    RecordSet set = std::move(m_set);
    m_set = RecordSet();
    set.m_fields = std::move(fields);
    const qsizetype cols = set.m_fields.size();
    set.m_rowCount = cols > 0 ? int(qsizetype(set.m_kinds.size()) / cols) : 0;
    set.m_kinds.resize(size_t(set.m_rowCount * cols));  // a row left incomplete is dropped
    set.m_cells.resize(set.m_kinds.size());
    set.m_kinds.shrink_to_fit();
    set.m_cells.shrink_to_fit();
    set.m_bytes.squeeze();
    set.m_variants.squeeze();
    set.m_pos = set.m_rowCount > 0 ? 1 : 0;
    return set;
}

qsizetype RecordSet::cellIndex(int row, int col) const {
    if (row < 0 || row >= m_rowCount || col < 0 || col >= m_fields.size()) return -1;
    return qsizetype(row) * m_fields.size() + col;
}

QVariant RecordSet::at(int row, int col) const {
    const qsizetype i = cellIndex(row, col);
    if (i < 0) return {};
    const Cell& cell = m_cells[size_t(i)];
    switch (m_kinds[size_t(i)]) {
        case Null: return {};
        case Int32: return QVariant(int(cell.i));
        case Int64: return QVariant(qlonglong(cell.i));
        case Double: return QVariant(cell.d);
        case Bool: return QVariant(cell.i != 0);
        case Text: return QVariant(QString::fromUtf8(m_bytes.constData() + cell.ref.offset, cell.ref.size));
        case Blob: return QVariant(m_bytes.mid(cell.ref.offset, cell.ref.size));
        case Variant: return m_variants.at(cell.ref.offset);
    }
    return {};
}

QString RecordSet::textAt(int row, int col) const {
    const qsizetype i = cellIndex(row, col);
    if (i < 0) return {};
    const Cell& cell = m_cells[size_t(i)];
    switch (m_kinds[size_t(i)]) {
        case Null: return {};
        case Int32:
        case Int64: return QString::number(cell.i);
        case Text: return QString::fromUtf8(m_bytes.constData() + cell.ref.offset, cell.ref.size);
        default: return variantText(at(row, col));
    }
}

bool RecordSet::sameValue(int rowA, int rowB, int col) const {
    const qsizetype a = cellIndex(rowA, col), b = cellIndex(rowB, col);
    if (a < 0 || b < 0) return a == b;
    const Kind kind = m_kinds[size_t(a)];
    if (kind != m_kinds[size_t(b)]) return false;
    const Cell& x = m_cells[size_t(a)];
    const Cell& y = m_cells[size_t(b)];
    switch (kind) {
        case Null: return true;
        case Text:
        case Blob:
            return QByteArrayView(m_bytes.constData() + x.ref.offset, x.ref.size) ==
                   QByteArrayView(m_bytes.constData() + y.ref.offset, y.ref.size);
        case Variant: return m_variants.at(x.ref.offset) == m_variants.at(y.ref.offset);
        case Double: return x.d == y.d;
        default: return x.i == y.i;
    }
}

bool RecordSet::isNullAt(int row, int col) const {
    const qsizetype i = cellIndex(row, col);
    if (i < 0) return true;
    if (m_kinds[size_t(i)] == Variant) return m_variants.at(m_cells[size_t(i)].ref.offset).isNull();
    return m_kinds[size_t(i)] == Null;
}

int RecordSet::fieldIndex(const QString& name) const {
    const QString wanted = name.trimmed();
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(wanted, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void RecordSet::setAbsolutePosition(int position) {
    m_pos = std::clamp(position, 0, recordCount() + 1);
}

void RecordSet::moveFirst() { m_pos = m_rowCount == 0 ? 0 : 1; }
void RecordSet::moveNext() { if (m_pos <= recordCount()) ++m_pos; }
void RecordSet::movePrevious() { if (m_pos > 0) --m_pos; }
void RecordSet::moveLast() { m_pos = recordCount(); }

QVariant RecordSet::value(int index) const {
    if (bof() || eof()) return {};
    return at(m_pos - 1, index);
}

QVariant RecordSet::value(const QString& name) const { return value(fieldIndex(name)); }

QString RecordSet::text(const QString& name) const { return text(fieldIndex(name)); }
QString RecordSet::text(int index) const {
    if (bof() || eof()) return {};
    return textAt(m_pos - 1, index);
}

QString variantText(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return {};
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::Double: {
            // Fixed notation without trailing zeros: 1.5, 10, 0.0001.
            QString text = QString::number(value.toDouble(), 'f', 10);
            qsizetype end = text.size();
            while (end > 0 && text.at(end - 1) == QLatin1Char('0')) --end;
            if (end > 0 && text.at(end - 1) == QLatin1Char('.')) --end;
            text.truncate(end);
            return text;
        }
        default:
            return value.toString();
    }
}

}  // namespace host
