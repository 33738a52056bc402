#include "platform/filter/FilterCondition.h"

#include <QStringList>

#include "host/Quote.h"

namespace platform::filter {

QString FilterOpKey(FilterOp op) {
    switch (op) {
        case FilterOp::Equal:
            return QStringLiteral("Pub.Filter.Op.Equal");
        case FilterOp::NotEqual:
            return QStringLiteral("Pub.Filter.Op.NotEqual");
        case FilterOp::Like:
            return QStringLiteral("Pub.Filter.Op.Like");
        case FilterOp::BeginsWith:
            return QStringLiteral("Pub.Filter.Op.BeginsWith");
        case FilterOp::Greater:
            return QStringLiteral("Pub.Filter.Op.Greater");
        case FilterOp::Less:
            return QStringLiteral("Pub.Filter.Op.Less");
    }
    return {};
}

namespace {

QString literal(const QString& text) {
    return QStringLiteral("N'") + host::sqlValue(text) + QLatin1Char('\'');
}

QString likeTerm(const QString& field, const QString& pattern) {
    return field + QStringLiteral(" like ") + literal(pattern) + QStringLiteral(" ESCAPE '\\'");
}

QString term(const FilterRow& row) {
    switch (row.op) {
        case FilterOp::Equal:
            return row.field + QStringLiteral(" = ") + literal(row.value);
        case FilterOp::NotEqual:
            return row.field + QStringLiteral(" <> ") + literal(row.value);
        case FilterOp::Greater:
            return row.field + QStringLiteral(" > ") + literal(row.value);
        case FilterOp::Less:
            return row.field + QStringLiteral(" < ") + literal(row.value);
        case FilterOp::Like:
            return likeTerm(row.field,
                            QLatin1Char('%') + host::sqlLikeText(row.value) + QLatin1Char('%'));
        case FilterOp::BeginsWith:
            return likeTerm(row.field, host::sqlLikeText(row.value) + QLatin1Char('%'));
    }
    return {};
}

}  // namespace

QString BuildCondition(const QList<FilterRow>& rows) {
    QStringList terms;
    for (const FilterRow& row : rows)
        if (!row.field.isEmpty()) terms << term(row);
    return terms.join(QStringLiteral(" and "));
}

}  // namespace platform::filter
