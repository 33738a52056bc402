#pragma once
// Writing an item through the server service, with the function locks around each write:
//   mode 1  a new extended item: Add under "Userdef_base" the first time, Modify under "Userdef"
//           once it is inserted. A number (cId or column name) taken by someone else meanwhile is
//           renumbered and the Add tried again, a few times; then the save is refused with a
//           message and nothing is written.
//   mode 2  a regular item: Modify under the record lock 20.
//   mode 3  an extended item removed: the column check and question, lock 8, Delete.
//   mode 4  an existing extended item: Modify under the record lock 2.
// Every lock taken is released after success and after every failure. Refusals and server
// errors are shown through the shared message routine; a lock held elsewhere ends the save
// without a message of its own.
#include <QString>
#include <functional>
#include <optional>

namespace itemdef {

struct EditorState;

// The item document and the message that stops the save (the tables to choose); nullopt when it
// cannot be built (the reason has been shown).
struct BuiltDocument {
    QString xml;
    QString message;
};
using DocumentBuilder = std::function<std::optional<BuiltDocument>()>;

constexpr int kNumberingAttempts = 3;

// Runs mode 1, 2 or 4 for the state's item (cId, class, column, inserted); build makes the
// document from the state as it stands (a renumbered item gets a new document). Any other mode
// does nothing and returns false; mode 3 is DeleteExtendedItem.
bool SaveItem(EditorState& state, int mode, const DocumentBuilder& build);

// Mode 3: removes an extended item and its column. False when the user keeps it, the lock is
// held elsewhere or the server refuses (shown).
bool DeleteExtendedItem(const QString& cId);

// True when the id or the column name is already given to an item in the database.
bool NumberTaken(const QString& cId, const QString& column);

}  // namespace itemdef
