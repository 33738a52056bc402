#pragma once
// What a type name of the dialect ("nvarchar(60)", "int", "money", "decimal(28,6)") means:
// its kind for conversions and how the server's catalogue (syscolumns) describes it.
#include <QString>

namespace platform::sql {

struct TypeInfo {
    QString base;          // lower-case name without arguments
    bool known = false;    // a type the dialect has
    bool text = false;     // character kinds
    bool wide = false;     // nchar, nvarchar, ntext
    bool integer = false;  // int, smallint, tinyint, bigint, bit
    bool exact = false;    // decimal, numeric
    bool money = false;    // money, smallmoney
    bool numeric = false;  // every number kind, money included
    bool binary = false;
    bool datetime = false;
    int length = -1;  // declared length or precision; 0 for (max); -1 when not given
    int scale = -1;

    int xtype = 0;       // the server's type code (231 nvarchar, 56 int …); 0 when unknown
    int byteLength = 0;  // bytes as the server reports them (nvarchar(60) → 120, int → 4)
    int precision = 0;
    int scaleDigits = 0;

    static TypeInfo of(const QString& typeName);
};

}  // namespace platform::sql
