#pragma once
// Carry-over rule records (table AA_ExtendDefineMakeVouch_Set): one or more
// <AA_ExtendDefineMakeVouch_Set> elements, concatenated without a root element, each with
//   cMakeVouchID, cSub_id, cType, cextendfield, ctargetfield, cTableName, cTargetTable, btrans,
//   cdesc and guid (the last two optional; a modify without cdesc keeps the stored description).
// A rule is known by its key (path, source table, target table, item column, type), compared
// without regard to letter case, and by its guid.
// Every record names its path, source and target table and item column.
//   Add     inserts every rule with a new guid; a rule whose key exists is refused by name.
//   Modify  updates the rule of the given guid (all fields), else the rule of the key (carry
//           flag, description, sub-module); a key without a rule is inserted with a new guid.
//   Delete  key column guid (or another column of the table) with its value.
#include "platform/server/DocumentWriter.h"

namespace platform::server {

class MakeVouchSetDocument : public TableDocument {
public:
    bool add(WriteContext& context, const Document& document, QString* error) override;
    bool modify(WriteContext& context, const Document& document, QString* error) override;
    bool remove(WriteContext& context, const DeleteKey& key, QString* error) override;
    bool documentScope(WriteContext& context, const Document& document, bool modify,
                       ChangeScope* scope, QString* error) override;
    bool deleteScope(WriteContext& context, const DeleteKey& key, ChangeScope* scope,
                     QString* error) override;
};

}  // namespace platform::server
