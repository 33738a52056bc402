#pragma once
// One statement the component sends to the server database service, with the values the
// component fills in, the fields it reads back and what the demo account makes of it. Where a
// unit of the component builds the statement, the case takes it from that builder.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "host/RecordSet.h"

namespace statements {

struct StatementCase {
    enum class Run { Open, Execute };  // OpenX, or ExecuteX (statement, batch, procedure)
    enum class Db { Account, Meta };   // which connection text the service gets

    const char* name;  // test name: letters, digits and underscores
    QString sql;
    QStringList columns;  // the fields in order (compared without regard to case)
    std::function<void(const host::RecordSet&)> check = {};  // rows; none when empty
    Run run = Run::Open;
    QStringList before = {};  // run first with ExecuteX on the same service
    Db db = Db::Account;
    QString language = QStringLiteral("zh-CN");
};

// The tables of the component's statements, by subsystem.
std::vector<StatementCase> catalogueStatements();  // catalogue window and commands
std::vector<StatementCase> itemStatements();  // item record, editor, tables, references, values
std::vector<StatementCase> carryOverStatements();  // carry-over model, list, editor, batch

// The value archive's field list, verbatim. The listing's and the item record's come from
// catalogue/ItemListing.h and itemdef/ItemRecord.h, as the windows use them.
extern const QString kValueFields;
// The names in a field list, in order.
QStringList fieldNames(const QString& fieldList);

// Every value of a field, in row order, as the component reads it (NULL as empty text).
QStringList values(const host::RecordSet& rows, const QString& field);
// The text of a field in the first row whose `keyField` holds `key`; null when none.
QString valueWhere(const host::RecordSet& rows, const QString& keyField, const QString& key,
                   const QString& field);

}  // namespace statements
