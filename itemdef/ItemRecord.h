#pragma once
// One user-defined item as the component reads it (a row of UserDef), and the fixed lists
// that give its coded columns their meaning: classes, item kinds, data types.
#include <QString>
#include <QStringList>
#include <QVariant>

namespace host {
class RecordSet;
}

namespace itemdef {

// The columns every read of an item names, in this order, and the three that follow them.
inline const QString kItemColumns = QStringLiteral(
    " cId,cClass,CItem,CType,IMaxLen,cItemName,iLength,iDecimalDigits,bFixLength,bCheckVal,"
    "bInput,bArchive,bMultiSel,cParentID,bIsUserDefAttachFile,iDataSource,cRelArchive,cRelField,"
    "cDefaultVal,cRefID,bIsUserDefPic ");
inline const QString kItemExtraColumns = QStringLiteral(",cDicDbName,ctabledesc,citemlang");

// Class positions (the order of classKeys() in common/NameTables.h).
enum ClassPosition {
    kHeader = 0,
    kBody = 1,
    kContact = 2,
    kVendorContact = 3,
    kCustomer = 4,
    kVendor = 5,
    kInventory = 6,
    kBatchProperty = 7,
    kSerialNumber = 8,
    kServiceUser = 9,
    kTeam = 10,
    kBarcode = 11,
    kBankAccount = 12,
};
// The position of a stored class value; -1 when it is none of the thirteen.
int classPosition(const QString& cClass);

// Item kinds: the stored prefixes of CItem by position (free, user-defined, property,
// extended).
enum KindPosition { kFreeItem = 0, kUserDefinedItem = 1, kPropertyItem = 2, kExtendedItem = 3 };
const QStringList& kindKeys();
// The kind of a label by its prefix; -1 when the label starts with none of them.
int kindPosition(const QString& cItem);
bool isFreeItem(const QString& cItem);

// Data types: the stored CType values by position (text, date, integer, number, date and time).
enum TypePosition { kText = 0, kDate = 1, kInteger = 2, kNumber = 3, kDateTime = 4 };
const QStringList& typeKeys();
// The position of a stored type; both "整型" and "整数" are integer. -1 when unknown.
int typePosition(const QString& cType);
// The value written for a type position ("整型" for integer); empty when out of range.
QString typeStored(int position);
// Bytes a column of the type adds to a host table's row: text its maximum length, integer 4,
// date, date and time and number 8; 0 for an unknown type.
int rowWidth(int typePosition, int maxLen);

// An item is extended when its column name, without digits, is one of the five generated
// prefixes (letter case ignored). An empty name is not extended.
bool isExtendedItem(const QString& cDicDbName);

// A stored flag: true reads as set (a Boolean true, a non-zero number, "true"/"1" in any case);
// anything else, NULL included, as clear.
bool flagValue(const QVariant& value);

struct ItemRecord {
    QString cId;
    QString cClass;
    QString CItem;
    QString CType;
    int IMaxLen = 0;
    QString cItemName;
    int iLength = 0;
    int iDecimalDigits = 0;
    bool bFixLength = false;
    bool bCheckVal = false;
    bool bInput = false;
    bool bArchive = false;
    bool bMultiSel = false;
    QString cParentID;
    bool bIsUserDefAttachFile = false;
    int iDataSource = 0;
    QString cRelArchive;
    QString cRelField;
    QString cDefaultVal;
    QString cRefID;
    bool bIsUserDefPic = false;
    QString cDicDbName;
    QString ctabledesc;
    QString citemlang;

    // The current record of a record set, columns found by name in any letter case; a column
    // the set lacks, or NULL, reads as empty text, 0 or clear.
    static ItemRecord fromRecordSet(const host::RecordSet& rs);

    int classPos() const { return classPosition(cClass); }
    int kind() const { return kindPosition(CItem); }
    int type() const { return typePosition(CType); }
    bool isExtended() const { return isExtendedItem(cDicDbName); }
    bool isFree() const { return isFreeItem(CItem); }
    // The name shown for the item: cItemName, or the localised label when the name is empty.
    QString displayName() const { return cItemName.isEmpty() ? citemlang : cItemName; }
};

}  // namespace itemdef
