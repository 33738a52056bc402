#pragma once
// What the catalogue grid lists: the listing's fields and statements, the header keys of the
// grid columns, the display text of a field and the localisation of the coded columns.
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "catalogue/RelatedArchiveNames.h"
#include "common/SessionNames.h"

namespace host {
class IGrid;
class RecordSet;
}  // namespace host

namespace catalogue {

// The listing's fields (the text between "Select " and " from"), used verbatim.
inline const QString kListFields = QStringLiteral(
    " cId,cClass,CItem,CType,IMaxLen,cItemName,iLength,iDecimalDigits,bFixLength,bCheckVal,bInput,"
    "bArchive,iDataSource,cRelArchive,cRelField,cParentItemName,bIsUserDefAttachFile,"
    "bIsUserDefPic,cRefID ");
inline const QString kRootKey = QStringLiteral("r");
inline constexpr int kHeaderCount = 20;

// Grid columns of the listing (column 0 is the row counter; field i is column i + 1).
enum ListColumn {
    kColCounter = 0,
    kColId = 1,
    kColClass = 2,
    kColItem = 3,
    kColType = 4,
    kColMaxLen = 5,
    kColItemName = 6,
    kColRelArchive = 14,
    kColRelField = 15,
    kColParentItemName = 16,
    kColRefId = 19,
};

// The header keys of columns 0…19.
const QStringList& listHeaderKeys();
// The header text of a column: the key's text through the public service.
QString listHeaderText(int col);

// "Select <fields> from UserDef_Parent [where cClass='<key>' ] order by …"; the root key
// lists every class.
QString listingSql(const QString& classKey);
// The fields without rows.
QString emptyListingSql();

// How a field's values are shown: Boolean and binary kinds as the yes/no name, NULL as empty
// text, everything else as its text.
enum class FieldShow { Text, Flag, Binary };
FieldShow fieldShow(int fieldType);
QString displayText(const QVariant& value, FieldShow show);
// The text a grid cell shows for a field of the record at 0-based row.
QString fieldDisplayText(const host::RecordSet& rs, int row, int field);
QString fieldDisplayText(const host::RecordSet& rs, int row, int field, FieldShow show);

// The shown texts of the coded columns (class, label, type, data source, related archive and
// field), the columns found by their header text.
class CodedColumns {
public:
    CodedColumns(const host::IGrid& grid, RelatedArchiveNames& names);
    // The shown text of a stored text of a column; other columns' texts unchanged. Labels are a
    // kind followed by a number and the kinds hold no digits, so each kind is looked up once.
    QString shown(int col, const QString& stored);
    // Replaces a row's stored related archive and field (when it has an archive).
    void localiseRelated(host::IGrid& grid, int row);

private:
    enum Kind : uint8_t { Plain, Class, Label, Type, Source };
    RelatedArchiveNames& m_names;
    std::vector<Kind> m_kinds;
    int m_archiveCol = -1;
    int m_fieldCol = -1;
    struct Last {
        bool valid = false;
        QString stored;
        QString shown;
    };
    QHash<QString, QString> m_classTexts;
    std::vector<std::pair<QString, QString>> m_labelHeads;  // stored kind part, shown text
    Last m_last[5];
};

// Replaces the stored texts of the coded columns (class, label, type, data source, related
// archive and field) of every data row by the texts shown to the user. Columns are found by
// their header text.
void localiseCodedColumns(host::IGrid& grid, RelatedArchiveNames& names);

}  // namespace catalogue
