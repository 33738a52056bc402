#include "platform/sql/SqlTypes.h"

#include "platform/db/Database.h"

namespace platform::sql {

namespace {

struct Rule {
    const char* name;
    int xtype;
    int bytes;  // fixed size; -1: from the length (doubled for wide kinds)
    int precision;
    char kind;  // t text, w wide text, i integer, e exact, m money, f float, b binary, d date
};

const Rule kRules[] = {
    {"nvarchar", 231, -1, 0, 'w'},      {"nchar", 239, -1, 0, 'w'},
    {"ntext", 99, 16, 0, 'w'},          {"sysname", 231, 256, 0, 'w'},
    {"varchar", 167, -1, 0, 't'},       {"char", 175, -1, 0, 't'},
    {"character", 175, -1, 0, 't'},     {"text", 35, 16, 0, 't'},
    {"uniqueidentifier", 36, 16, 0, 't'},
    {"int", 56, 4, 10, 'i'},            {"integer", 56, 4, 10, 'i'},
    {"smallint", 52, 2, 5, 'i'},        {"tinyint", 48, 1, 3, 'i'},
    {"bigint", 127, 8, 19, 'i'},        {"bit", 104, 1, 1, 'i'},
    {"decimal", 106, -1, 18, 'e'},      {"numeric", 108, -1, 18, 'e'},
    {"money", 60, 8, 19, 'm'},          {"smallmoney", 122, 4, 10, 'm'},
    {"float", 62, 8, 53, 'f'},          {"real", 59, 4, 24, 'f'},
    {"double", 62, 8, 53, 'f'},
    {"datetime", 61, 8, 23, 'd'},       {"smalldatetime", 58, 4, 16, 'd'},
    {"date", 40, 3, 10, 'd'},           {"datetime2", 42, 8, 27, 'd'},
    {"time", 41, 5, 16, 'd'},
    {"binary", 173, -1, 0, 'b'},        {"varbinary", 165, -1, 0, 'b'},
    {"image", 34, 16, 0, 'b'},          {"timestamp", 189, 8, 0, 'b'},
    {"rowversion", 189, 8, 0, 'b'},
};

int decimalBytes(int precision) {
    if (precision <= 9) return 5;
    if (precision <= 19) return 9;
    if (precision <= 28) return 13;
    return 17;
}

}  // namespace

TypeInfo TypeInfo::of(const QString& typeName) {
    const db::DeclaredType d = db::DeclaredType::parse(typeName);
    TypeInfo t;
    t.base = d.base;
    t.length = d.length;
    t.scale = d.scale;
    for (const Rule& r : kRules) {
        if (t.base != QLatin1String(r.name)) continue;
        t.known = true;
        t.xtype = r.xtype;
        t.precision = r.precision;
        switch (r.kind) {
            case 'w': t.wide = true; [[fallthrough]];
            case 't': t.text = true; break;
            case 'i': t.integer = t.numeric = true; break;
            case 'e': t.exact = t.numeric = true; break;
            case 'm': t.money = t.numeric = true; t.scaleDigits = 4; break;
            case 'f': t.numeric = true; break;
            case 'b': t.binary = true; break;
            case 'd': t.datetime = true; break;
        }
        if (r.bytes >= 0) {
            t.byteLength = r.bytes;
        } else if (r.kind == 'e') {
            t.precision = t.length > 0 ? t.length : 18;
            t.scaleDigits = t.scale > 0 ? t.scale : 0;
            t.byteLength = decimalBytes(t.precision);
        } else if (t.length == 0) {  // (max)
            t.byteLength = -1;
        } else {
            const int chars = t.length > 0 ? t.length : (r.kind == 'b' ? 1 : 1);
            t.byteLength = t.wide ? chars * 2 : chars;
        }
        break;
    }
    return t;
}

}  // namespace platform::sql
