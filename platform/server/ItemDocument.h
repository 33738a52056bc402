#pragma once
// Item documents (tables Userdef_base and Userdef, rows of UserDef_Base):
//   <Userdef_base bCoverVouchBody='…'> or <Userdef …>
//     <cId/><cClass/><cItem/>[<pubzxts/>]<IMaxLen/><cItemName/><cItemName_zh_TW/>
//     <cItemName_en_US/><cType/>[<iLength/>][<iDecimalDigits/>][<cDefaultVal/>]<iDataSource/>
//     [<cParentID/>] flags <bCoverVouch/> [<cRelArchive/><cRefID/><cRelField/>]
//     <CTableDesc/><cDicDbName/>[<cFieldName/>]
//     [<AddUserDefDetail>…</AddUserDefDetail><ModifyUserDefDetail>…</ModifyUserDefDetail>
//      <DeleteUserDefDetail>…</DeleteUserDefDetail>]   entries <UserDefDetail><cId/><Tablename/>
//   Add     inserts the item, its three names and its table links
//   Modify  updates them; links added or removed add or drop the item's column
//   Delete  key column cid: the extended item, its names, links, values and columns
// A column that goes from a table takes the carry-over rules of that column and table with it.
// An extended item's column lives in the companion table of every linked table (ExtendColumns).
// Duplicate numbers (cId) and column names (cDicDbName) are refused with a message naming them.
#include "platform/server/DocumentWriter.h"

namespace platform::server {

class ItemDocument : public TableDocument {
public:
    bool add(WriteContext& context, const Document& document, QString* error) override;
    bool modify(WriteContext& context, const Document& document, QString* error) override;
    bool remove(WriteContext& context, const DeleteKey& key, QString* error) override;
    bool documentScope(WriteContext& context, const Document& document, bool modify,
                       ChangeScope* scope, QString* error) override;
    bool deleteScope(WriteContext& context, const DeleteKey& key, ChangeScope* scope,
                     QString* error) override;
};

// True for a column name of an extended item: a prefix cHDefine, cBDefine, cIDefine, cCDefine
// or cLDefine (any letter case) followed by digits only.
bool isExtendColumn(const QString& cDicDbName);

}  // namespace platform::server
