#include "tests/statements/StatementCase.h"

#include <gtest/gtest.h>

namespace statements {

QStringList fieldNames(const QString& fieldList) {
    QStringList names;
    for (const QString& part : fieldList.split(QLatin1Char(','))) names << part.trimmed();
    return names;
}

QStringList values(const host::RecordSet& rows, const QString& field) {
    QStringList out;
    const int c = rows.fieldIndex(field);
    for (int r = 0; r < rows.recordCount(); ++r)
        out << (c < 0 ? QString() : host::variantText(rows.at(r, c)));
    return out;
}

QString valueWhere(const host::RecordSet& rows, const QString& keyField, const QString& key,
                   const QString& field) {
    const int k = rows.fieldIndex(keyField), c = rows.fieldIndex(field);
    if (k < 0 || c < 0) return {};
    for (int r = 0; r < rows.recordCount(); ++r)
        if (host::variantText(rows.at(r, k)) == key) return host::variantText(rows.at(r, c));
    return {};
}

Check rowCount(int n) {
    return [n](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), n); };
}

Check column(const QString& field, const QStringList& expected, bool sorted) {
    return [=](const host::RecordSet& rows) {
        QStringList got = values(rows, field);
        if (sorted) got.sort(Qt::CaseInsensitive);
        EXPECT_EQ(got, expected) << field.toStdString();
    };
}

}  // namespace statements
