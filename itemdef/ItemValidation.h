#pragma once
// The checks an item passes before it is saved, on plain values read from the editor: the type,
// the names, the lengths, the related archive and its field, and the row-size estimate of the
// host tables an extended item adds its column to. The editor shows the refusal and moves the
// focus; the estimate only informs.
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace itemdef {

// The field a refusal puts the focus on.
enum class ValidationFocus { None, Type, Names, MaxLen, Length, DefaultValue, RelArchive };

struct ValidationInput {
    QString typeText;       // the type choice's text (empty: none chosen)
    int typePosition = -1;  // ItemRecord's type positions
    QString shownType;      // the type as displayed, for the related-field message
    QString shownClass;     // the class as displayed, for the in-use message
    bool extended = false;
    bool inUse = false;
    QString itemName;  // for an extended item the three name cells joined
    bool lengthEnabled = false;
    QString maxLen;
    QString length;
    QString defaultVal;
    QString relArchive;
    bool relArchiveEnabled = false;
    QString relField;
    int dataSource = -1;
};

struct Refusal {
    QString key;       // resource key of the message
    QStringList args;  // formatting arguments (GetResFormatString) when not empty
    ValidationFocus focus = ValidationFocus::None;
};

// Steps before the row-size estimate: type chosen, name given, the text lengths.
std::optional<Refusal> CheckItemFields(const ValidationInput& in);
// Steps after it: the default value found in the related archive, archive and field both given
// for data source 1. Reads the related archive through the server service.
std::optional<Refusal> CheckRelatedArchive(const ValidationInput& in);
QString DefaultValueSql(const QString& relArchive, const QString& relField,
                        const QString& defaultVal);

// The row size of one host table the item is to be added to (its companion table T_extradefine).
constexpr int kRowSizeLimit = 4000;
struct TableRowSize {
    QString table;                                      // host table T
    QString nodeText;                                   // as the table tree shows it
    int used = 0;                                       // bytes of T_extradefine's columns now
    int total = 0;                                      // used plus the item's width
    int left() const { return kRowSizeLimit - total; }  // negative when over
    bool over() const { return total > kRowSizeLimit; }
};
// One ticked table node: its key ("Mark&&" …) and text.
struct TickedNode {
    QString key;
    QString text;
};
// What each companion table's columns use (field SumFieldSize, null when the table is absent),
// one row per table, its position in field iTable.
QString RowSizeSql(const QStringList& companionTables);
// The estimate of every ticked table (each table once, in tree order), with the item's width
// added (text: its maximum length, integer 4, date, date and time, number 8).
QVector<TableRowSize> EstimateRowSizes(const QVector<TickedNode>& ticked, int itemWidth);
// The notice when a table goes over 4000 bytes: the text of
// "Q9.AA.ARCHIVE.USERDEF.FrmZAM.Tip4000", each table over the limit on a line of its own, then
// every ticked table with the bytes it uses and the bytes left with the item. Empty when no table
// goes over.
QString RowSizeNotice(const QVector<TableRowSize>& sizes);

}  // namespace itemdef
