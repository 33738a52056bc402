#pragma once
// Rows of column – operator – value, joined into one condition text.
#include <QList>
#include <QString>

namespace platform::filter {

enum class FilterOp { Equal, NotEqual, Like, BeginsWith, Greater, Less };
constexpr FilterOp kFilterOps[] = {FilterOp::Equal,      FilterOp::NotEqual, FilterOp::Like,
                                   FilterOp::BeginsWith, FilterOp::Greater,  FilterOp::Less};

// Resource key of an operator's caption.
QString FilterOpKey(FilterOp op);

struct FilterRow {
    QString field;  // from the filter name's columns, never typed by the user
    FilterOp op = FilterOp::Equal;
    QString value;  // as typed: matched literally
};

// "field = N'value' and field like N'%value%' ESCAPE '\'"; rows without a field are left out;
// empty when no row remains.
QString BuildCondition(const QList<FilterRow>& rows);

}  // namespace platform::filter
