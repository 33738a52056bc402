#pragma once
// Where a value of an item is used: the archive column of a regular item, or every companion
// table ("T_extradefine") an extended item is linked to. Deleting or stopping a used value asks
// first, naming how many records hold it.
#include <QString>
#include <QVector>

namespace host {
class IClsCommon;
}

namespace archive {

struct ValueUse {
    QString table;  // the table that holds the value
    int rows = 0;   // its rows whose column equals the value
};

struct ValueUsage {
    QVector<ValueUse> tables;  // only tables with rows, in reading order
    int total() const;
};

// select count(*) as n from [table] where [column]=N'value'
QString ValueCountSql(const QString& table, const QString& column, const QString& value);

// Counts the records holding the value of the item. A table that cannot be read (a companion
// table that does not exist) holds nothing.
ValueUsage ReadValueUsage(host::IClsCommon* srv, const QString& itemId, const QString& value);

// "Q9.AA.ARCHIVE.FRMZARCHIVE.valueinuse" with the value, the count and the tables; empty when
// the value is used nowhere.
QString UsageQuestion(const QString& value, const ValueUsage& usage);

// Asks the usage question (yes/no) when the value is used; true to go on (unused, or Yes).
bool ConfirmValueUse(const QString& itemId, const QString& value);

}  // namespace archive
