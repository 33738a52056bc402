#pragma once
// What the catalogue grid lists: the listing's fields and statements, the header keys of the
// grid columns, the display text of a field and the localisation of the coded columns.
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>

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
    kColRefId = 19,
};

// The header keys of columns 0…19 (column 18 is a literal text, not a key).
const QStringList& listHeaderKeys();
// The header text of a column: the key's text through the public service.
QString listHeaderText(int col);

// "Select <fields> from UserDef_Parent [where cClass='<key>' ] order by …"; the root key
// lists every class.
QString listingSql(const QString& classKey);
// The fields without rows.
QString emptyListingSql();

// The text a grid cell shows for a field of the record at 0-based row: Boolean and binary
// kinds as the yes/no name, NULL as empty text, everything else as its text.
QString fieldDisplayText(const host::RecordSet& rs, int row, int field);

// Finds the shown names of related archives and fields, running its statements once per
// distinct (archive, field) pair.
class RelatedArchiveNames {
public:
    explicit RelatedArchiveNames(QString accountId) : m_accountId(std::move(accountId)) {}
    // The shown (archive, field) of stored ones: a report archive's name and field, a
    // user-defined reference's name and column caption, or the stored texts.
    QPair<QString, QString> resolve(const QString& archive, const QString& field);
    int statementsRun() const { return m_statements; }

private:
    QString m_accountId;
    QHash<QPair<QString, QString>, QPair<QString, QString>> m_cache;
    int m_statements = 0;
};

// Replaces the stored texts of the coded columns (class, label, type, data source, related
// archive and field) of every data row by the texts shown to the user. Columns are found by
// their header text.
void localiseCodedColumns(host::IGrid& grid, RelatedArchiveNames& names);

}  // namespace catalogue
