#pragma once
// What the item editor knows about the item it shows, apart from its fields.
#include <QMap>
#include <QString>
#include <memory>

#include "host/IPlugIn.h"
#include "host/RecordSet.h"

namespace itemdef {

struct EditorState {
    host::RecordSetPtr itemSet;  // the class's items, positioned on the shown one
    int row = 0;                 // 1-based position of the item in the set
    QString cId;                 // empty for a new item until the save numbers it
    QString cClass;              // raw class value
    QString cItem;               // raw label
    QString column;              // cDicDbName
    bool adding = false;
    bool extended = false;
    bool inserted = false;
    bool inUse = false;
    bool readOnly = false;
    bool freeItem = false;
    int storedLength = 0;   // iLength as loaded, for the in-use length rule
    bool lockHeld = false;  // this editor holds the record lock of the shown item
    // Related archive, look-up id and related field (cRelArchive, cRefID, cRelField), and the
    // names they show.
    QString relArchive, refId, relField, relArchiveName, relFieldName;
    std::shared_ptr<host::PlugInCollection> plugIns;

    int recordCount() const { return itemSet ? itemSet->recordCount() : 0; }
    bool onFirst() const { return row <= 1; }
    bool onLast() const { return row >= recordCount(); }
};

// The record lock mode of an item shown in the editor: 2 for an extended item, 20 otherwise.
inline int recordLockMode(bool extended) { return extended ? 2 : 20; }

}  // namespace itemdef
