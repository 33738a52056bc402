#pragma once
// What removing an extended item's column would lose: the linked tables that hold values in it,
// the tables whose data is not checked, and the carry-over rules that copy the column. The
// question before the removal names them all. A table whose data cannot be checked stops the
// removal: it is never taken for empty.
#include <QString>
#include <QStringList>
#include <QVector>

namespace itemdef {

struct TableData {
    QString table;  // host table T (values in T_extradefine)
    QString desc;   // cTableDesc
};

struct DeleteImpact {
    QVector<TableData> withData;  // checked tables holding values, in link order
    QStringList skipped;          // descriptions of tables not checked (bDeleteIgnoreCheck 1)
    QStringList rules;            // carry-over rules using the column
    bool failed = false;          // the links or a table could not be read: nothing may go
    QString failure;              // the message saying which and why
};

// One row: the object id of each table's companion (field id0, id1 …), null when it is absent.
QString CompanionExistsSql(const QStringList& tables);
QString ColumnRulesSql(const QString& column);

// Of the item's linked tables, or only of `tables` (host table names, any letter case) when given.
DeleteImpact ReadDeleteImpact(const QString& cId, const QStringList& tables = {});
// The question: "Q9.AA.ARCHIVE.USERDEF.FrmZAM.ReferHintLeft" + first table + "…ReferHintRight",
// then every table with its rows, the carry-over rules and the tables not checked. Empty when no
// checked table holds values (no question is asked then).
QString DeleteQuestion(const DeleteImpact& impact);

}  // namespace itemdef
