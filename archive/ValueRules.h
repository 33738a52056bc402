#pragma once
// The value archive's rules that need no window: how an item's definition is shown, which
// columns and boxes an item has, and whether a typed value may be saved.
#include <QString>
#include <optional>

namespace host {
class IGrid;
}

namespace archive {

// Value grid columns.
constexpr int kColNumber = 0;
constexpr int kColValue = 1;
constexpr int kColAlias = 2;
constexpr int kColBarCode = 3;
constexpr int kColParentValue = 4;
constexpr int kColFreeStop = 5;
constexpr int kValueCols = 6;

// The localised class text of a stored class value; nullopt for a class not in the list.
std::optional<QString> classText(const QString& cClass);
// The localised type text of a stored type; nullopt for a type the archive does not know.
std::optional<QString> typeText(const QString& cType);
// "" for "-1", the data-source names for "0" and "1", else the raw value.
QString dataSourceText(const QString& raw);
// A free item's label holds the free-item kind name (stored, or in the session's language).
bool isFreeItem(const QString& citem);
// Items 20 to 35 carry a stop flag.
bool hasStopFlag(const QString& itemId);
// The item type is the date type (stored value or its localised text).
bool isDateType(const QString& cType);
// A text a date item accepts: a calendar date as yyyy-mm-dd, yyyy/mm/dd, yyyy.mm.dd or yyyymmdd.
bool isDateText(const QString& text);

enum class ValueProblem { None, Empty, NotDate, ValueExists, AliasExists };

// CheckValue's rules on the typed value and alias: not empty; a date for date items; in modes 1
// and 2 neither the value nor a non-empty alias of another grid row (the current row is skipped
// in mode 2). Texts compare exactly, after trimming the typed ones.
ValueProblem checkValue(const QString& value, const QString& alias, int mode, bool dateItem,
                        const host::IGrid& grid, int currentRow);
// The message key of a problem; empty for None.
QString problemKey(ValueProblem problem);

}  // namespace archive
