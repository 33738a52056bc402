#include "host/RecordSet.h"

#include <algorithm>

namespace host {

RecordSet::RecordSet(QVector<FieldInfo> fields, QVector<QVector<QVariant>> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows)), m_pos(m_rows.isEmpty() ? 0 : 1) {}

int RecordSet::fieldIndex(const QString& name) const {
    const QString wanted = name.trimmed();
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(wanted, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void RecordSet::setAbsolutePosition(int position) {
    m_pos = std::clamp(position, 0, recordCount() + 1);
}

void RecordSet::moveFirst() { m_pos = m_rows.isEmpty() ? 0 : 1; }
void RecordSet::moveNext() { if (m_pos <= recordCount()) ++m_pos; }
void RecordSet::movePrevious() { if (m_pos > 0) --m_pos; }
void RecordSet::moveLast() { m_pos = recordCount(); }

QVariant RecordSet::value(int index) const {
    if (bof() || eof() || index < 0 || index >= m_fields.size()) return {};
    return m_rows.at(m_pos - 1).at(index);
}

QVariant RecordSet::value(const QString& name) const { return value(fieldIndex(name)); }

QString RecordSet::text(const QString& name) const { return variantText(value(name)); }
QString RecordSet::text(int index) const { return variantText(value(index)); }

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
