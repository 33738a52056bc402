#pragma once
// How the value archive writes an item's values: the value document built from the edit boxes
// that belong to the item, and the server service's Add, Modify and Delete on "UserDefine".
#include <QString>

class QWidget;

namespace host {
class IClsCommon;
}

namespace archive {

// Edit modes of the value archive.
constexpr int kBrowse = 0;
constexpr int kAdding = 1;
constexpr int kModifying = 2;

// The boxes a value document is built from; a null box (one the item does not have) adds
// nothing. Whether a box shows at the moment does not count.
struct ValueBoxes {
    const QWidget* value = nullptr;        // cValue
    const QWidget* alias = nullptr;        // cAlias
    const QWidget* barCode = nullptr;      // cBarCode
    const QWidget* parentValue = nullptr;  // cParentValue
    const QWidget* freeStop = nullptr;     // bFreeStop, a check box
};

// <Userdefine><cId>…</cId> the shown boxes in order [<sValue>old value</sValue>]</Userdefine>,
// every text escaped; sValue only in mode 2.
void WriteUserDefineXML(const QString& itemId, QString& document, int mode,
                        const QString& oldValue, const ValueBoxes& boxes);

// Adds (mode 1) or modifies (mode 2, keyed by oldValue) the value the boxes hold. False without
// a call in any other mode, or after showing why when a text cannot go into the document; false
// after showing the service's reason when it refuses.
bool SaveUserDefineRs(host::IClsCommon* srv, const QString& itemId, const QString& oldValue,
                      int mode, const ValueBoxes& boxes);

// The delete key of one value of one item: the item id and the value, the value quoted so that
// whatever it holds selects only itself.
QString UserDefineDeleteKey(const QString& itemId, const QString& value);

// Deletes one value of an item; false after showing the service's reason when it refuses.
bool DeleteUserDefineRs(host::IClsCommon* srv, const QString& itemId, const QString& value);

}  // namespace archive
