#pragma once
// Value documents of the value archive (table Userdefine):
//   Add     <Userdefine><cId/><cValue/>[<cAlias/>][<cBarCode/>][<cParentValue/>][<bFreeStop/>]</Userdefine>
//   Modify  the same with <sValue>, the value before the change, as the key of the row; a
//           Modify that carries no field to store is refused
//   Delete  key column cId, optionally "and cValue='…'"
// A value is unique within its item; a duplicate is refused with a message naming it.
#include "platform/server/DocumentWriter.h"

namespace platform::server {

class UserDefineDocument : public TableDocument {
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
