#pragma once
// Whether archive data already holds values of an existing item: one statement per class,
// naming the item's column by the number in its label.
#include <QString>

namespace host {
class IClsCommon;
}

namespace itemdef {

// The two-character number of a label as the probe reads it: after "自定义项" (position 5),
// after "属性" for batch properties (position 3), after "自由项" for free items (position 4).
// Empty when it is not a number.
QString probeNumber(const QString& cClass, const QString& cItem);

// The probe statement of an item; empty when the class has none (every class but customer,
// vendor, contact, batch property and inventory) or the label has no number.
QString inUseProbeSql(const QString& cClass, const QString& cItem);

// The archive table and column that hold a regular item's values, by class and the number in
// the label: customer cCusDefineN, Vendor cVenDefineN, Crm_Contact cConDefineN, Inventory
// cInvDefineN, AA_BatchProperty cBatchPropertyN. Both empty for any other class, a free item
// (Inventory keeps only its bFreeN flag, not its value) or a label without a number.
struct ArchiveColumn {
    QString table;
    QString column;
};
ArchiveColumn valueColumn(const QString& cClass, const QString& cItem);

// The serial-number class keeps whatever the in-use flag held; every other class is probed
// (or cleared when it has no probe).
bool probeKeepsFlag(const QString& cClass);

// Runs the probe: in use when it returns exactly one row. A failing statement counts as in use
// (logged): what cannot be checked is not taken for unused.
bool probeInUse(host::IClsCommon& srv, const QString& cClass, const QString& cItem);

}  // namespace itemdef
