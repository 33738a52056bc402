#pragma once
// The related archive and field of an item fed from another archive, on the editor's look-up
// box and field choice: the archive list and its look-up, an item's stored archive and field
// shown by name, the user's choice of archive and field. Writes the choice into the editor's
// state; the enabling rules stay with the editor.
#include <QString>

#include "host/RecordSet.h"
#include "itemdef/DataSourceRefs.h"

class QComboBox;

namespace controls {
class RefEdit;
}

namespace itemdef {

struct EditorState;

class RelatedArchive {
public:
    RelatedArchive(controls::RefEdit* box, QComboBox* fields, EditorState& state);

    // Reads the archives offered (once, when the editor loads).
    void loadList();
    // Switches the box to the archive look-up.
    void initLookup();
    // Shows a stored item's archive and field by their names (empty archive: box disabled).
    void show(const QString& relArchive, const QString& refId, const QString& relField,
              int itemType);
    // The look-up returned: null does nothing (false); an empty set disables the field choice
    // and answers the message key to show; otherwise the archive is taken, its fields listed
    // and a field of another archive forgotten (true: the item changed).
    bool archiveReturned(const host::RecordSetPtr& rows, int itemType, QString* messageKey);
    // The user picked a field; true when it is one of the list.
    bool fieldChosen(int index);
    // No archive any more (own values chosen, the box cleared or typed over): the archive, its
    // look-up id and the field are forgotten and the field choice emptied.
    void forget();

private:
    void listFields(const ArchiveEntry& entry, int itemType);

    controls::RefEdit* m_box;
    QComboBox* m_fieldChoice;
    EditorState& m_state;
    ArchiveList m_archives;
    FieldList m_fields;
};

}  // namespace itemdef
