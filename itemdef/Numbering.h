#pragma once
// Numbers of a new extended item, each read from the database when its step runs: the label
// (CItem) when the editor opens for adding, the id (cId) on save, the column name (cDicDbName)
// while the save document is built. All statements run through userdef::g_SrvDB.
#include <QString>
#include <optional>

namespace itemdef {

// The id range of a class position: ids are looked for between low and high (both inclusive)
// and handed out from first up to high. Invalid (first 0) for classes that get no id.
struct IdRange {
    int low = 0;
    int high = 0;
    int first = 0;
    bool valid() const { return first > 0; }
};
IdRange idRange(int classPosition);

// The column-name prefix of a class position ("cHDefine" …); empty for classes without one.
QString columnPrefix(int classPosition);

// The statements behind the numbers: the largest label number of a class ("max_int"), the
// largest id in a range ("maxcid"), the largest column number of a prefix with the row version
// ("max_int", "pubzxts"), and the row version alone ("pubzxts").
QString itemLabelSql(const QString& cClass);
QString itemIdSql(const IdRange& range);
QString columnNameSql(const QString& prefix);
QString rowVersionSql();

// The next label number of a class (1 for its first extended item); nullopt when the
// statement fails, with the reason in *error.
std::optional<int> NextItemLabelNumber(const QString& cClass, QString* error);
// The stored label of a number ("扩展自定义项" + number) and the one shown to the user.
QString storedItemLabel(int number);
QString shownItemLabel(int number);

// The next id of a class. A class without a range gets an empty id (true). When the range is
// used up (the next number would leave it), or the statement fails, returns false with a
// message in *error; no id is handed out then.
bool NextItemId(const QString& cClass, QString* cId, QString* error);

// The next column name of a class and the row-version text sent with it (empty when the table
// has none). A class without a prefix gets prefix "" numbered like the others.
bool NextColumnName(const QString& cClass, QString* name, QString* pubzxts, QString* error);

}  // namespace itemdef
