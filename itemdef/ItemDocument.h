#pragma once
// The item document the save hands to the server service: root Userdef_base for a new item,
// Userdef otherwise, the item's values in a fixed order, the table share appended. Built from
// plain values the editor reads; every value is escaped for XML. Also the cover values, read from
// the opener's overwrite choice (asking where it says so).
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace itemdef {

// A value written only while its field is visible.
struct VisibleValue {
    QString text;
    bool visible = true;
};

struct ItemDocumentFields {
    bool adding = false;  // root Userdef_base
    bool extended = false;
    bool freeItem = false;
    QString coverBody;  // bCoverVouchBody
    QString cover;      // bCoverVouch
    QString cId, cClass, cItem;
    QString pubzxts;  // sent for a new extended item
    QString maxLen;
    std::array<QString, 3> names;  // zh-CN, zh-TW, en-US
    QString cType;                 // stored type value
    VisibleValue length, decimals, defaultVal;
    int dataSource = -1;
    std::optional<QString> parentId;  // only when the parent choice has its map
    // bFixLength, bInput, bArchive, bMultiSel, bIsUserDefAttachFile, bIsUserDefPic, bCheckVal
    std::array<VisibleValue, 7> flags;
    // Written for data source 1 with an archive and a field; otherwise the stored ones are cleared.
    QString relArchive, refId, relField;
    QString column;  // cDicDbName (the new name for a new item)
    QString share;   // the table share, as ExtendTables returns it
};
// The flag elements in document order.
const std::array<const char*, 7>& documentFlagNames();

QString ItemDocument(const ItemDocumentFields& f);

// The opener's overwrite choice: its menu marks mVouchTip0 (ask), 1 (always), 2 (never).
enum CoverOption { kCoverUnset = -1, kCoverPrompt = 0, kCoverAlways = 1, kCoverNever = 2 };
struct CoverValues {
    QString body;   // bCoverVouchBody
    QString vouch;  // bCoverVouch
};
// Asks "Q9.AA.ARCHIVE.COMMON.startup_vouchbody_def" (a regular inventory item) and
// "Q9.AA.ARCHIVE.COMMON.1135_1" (any regular item) when the choice is to ask; else "1" for
// always, "0" for never, empty when nothing is chosen.
CoverValues AskCoverValues(int option, bool extended, int classPosition);

}  // namespace itemdef
