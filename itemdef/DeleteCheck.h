#pragma once
// What removing an extended item's column would lose: the linked tables that hold values in it
// (with the number of such rows), the tables whose data is not checked, and the carry-over rules
// that copy the column. The question before the delete names them all.
#include <QString>
#include <QStringList>
#include <QVector>

namespace itemdef {

struct TableData {
    QString table;  // host table T (values in T_extradefine)
    QString desc;   // cTableDesc
    int rows = 0;   // rows with a value in the column
};

struct DeleteImpact {
    QVector<TableData> withData;  // checked tables holding values, in link order
    QStringList skipped;          // descriptions of tables not checked (bDeleteIgnoreCheck 1)
    QStringList rules;            // carry-over rules using the column
    bool failed = false;          // the links could not be read: the delete must not go on
};

QString ColumnRowCountSql(const QString& column, const QString& table);
QString ColumnRulesSql(const QString& column);

DeleteImpact ReadDeleteImpact(const QString& cId);
// The question: "Q9.AA.ARCHIVE.USERDEF.FrmZAM.ReferHintLeft" + first table + "…ReferHintRight",
// then every table with its rows, the carry-over rules and the tables not checked. Empty when no
// checked table holds values (no question is asked then).
QString DeleteQuestion(const DeleteImpact& impact);

}  // namespace itemdef
