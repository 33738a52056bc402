#pragma once
// One statement a builder of the component makes, with the values the component fills in, the
// fields it reads back and what the demo account makes of it.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "host/RecordSet.h"

namespace statements {

using Check = std::function<void(const host::RecordSet&)>;

struct StatementCase {
    enum class Run { Open, Execute };  // OpenX, or ExecuteX (statement, batch, procedure)
    enum class Db { Account, Meta };   // which connection text the service gets

    const char* name;  // test name: letters, digits and underscores
    QString sql;
    QStringList columns;  // the fields in order (compared without regard to case)
    Check check = {};     // rows; none when empty
    Run run = Run::Open;
    QStringList before = {};  // run first with ExecuteX on the same service
    Db db = Db::Account;
    QString language = QStringLiteral("zh-CN");
};

// The tables of the component's statements, by subsystem.
std::vector<StatementCase> itemStatements();
std::vector<StatementCase> carryOverStatements();

QStringList fieldNames(const QString& fieldList);  // "a, b" → {"a", "b"}
// Every value of a field, in row order, as the component reads it (NULL as empty text).
QStringList values(const host::RecordSet& rows, const QString& field);
// The text of a field in the first row whose `keyField` holds `key`; null when none.
QString valueWhere(const host::RecordSet& rows, const QString& keyField, const QString& key,
                   const QString& field);

// Common checks: the number of rows; a field's values in row order (or sorted).
Check rowCount(int n);
Check column(const QString& field, const QStringList& expected, bool sorted = false);

}  // namespace statements
