#pragma once
// The batch window's grids: the fixed columns, the item columns of a tab, the pair rows, the
// rule marks and the rule records of changed rows. Both grids have the same layout:
//   0 row number, 1 change mark, 2 cMakeVouchID, 3 cTableName, 4 source TableDesc,
//   5 cTargetTable, 6 target TableDesc, 7 cdesc, 8 cSub_ID, 9… one check column per item.
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace host {
class IGrid;
class RecordSet;
}

namespace carryover {

constexpr int kColRow = 0;
constexpr int kColChanged = 1;
constexpr int kColMakeVouchID = 2;
constexpr int kColSource = 3;
constexpr int kColSourceDesc = 4;
constexpr int kColTarget = 5;
constexpr int kColTargetDesc = 6;
constexpr int kColDesc = 7;
constexpr int kColSubId = 8;
constexpr int kFirstItemCol = 9;
constexpr int kRepaintEvery = 200;

// The back colour of a cell without a usable rule (light grey).
inline QColor UnavailableColor() { return QColor(0xC0, 0xC0, 0xC0); }
bool IsUnavailable(const host::IGrid& grid, int row, int col);

// The nine fixed titles in column order, resolved where they are resource keys.
QStringList GetFixedTitles();

// A value as a cell shows it: Boolean and byte kinds as the resolved yes/no text, others as
// their text, null as empty.
QString FormatCellValue(const QVariant& value, int fieldType);

// Columns of a grid from the item record set of its tab (cID, cDicDbName, cItemLang): fixed
// titles and widths, one centred check column per item; the title row only. Returns the item
// column name of every grid column (empty below column 9).
QStringList LoadItemColumns(host::IGrid& grid, host::RecordSet* items);

// The pair rows of a record set (the pair statement's fields, in column order from 1); the
// grid repaints once every 200 rows while it fills.
void FillPairRows(host::IGrid& grid, host::RecordSet& pairs);
// Replaces the table descriptions and item names a filled grid shows (fields found by name) by
// the session's names; row i of the record set is grid row i + 1.
void ShowSessionNames(host::IGrid& grid, const host::RecordSet& rows);

// Marks every item cell of every data row from the rules and links of the tab: ticked,
// not ticked, or unavailable (grey). A row's empty path is taken from its usable rules.
void MarkRuleCells(host::IGrid& grid, const QStringList& itemNames, const host::RecordSet& rules,
                   const host::RecordSet& links);

// A cell's text or check read as true ("true", "-1" or "1" in any case, or a ticked box).
bool CellIsTicked(const host::IGrid& grid, int row, int col);

// The rule records of every changed row (change mark "1"): column by column, then row by row,
// every available cell, ticked or not. letter: "H" or "B". The records carry no description:
// the grid holds none, and the rule's stored one stays.
QString BuildChangedRulesXml(const host::IGrid& grid, const QStringList& itemNames,
                             const QString& letter);

}  // namespace carryover
