#pragma once
// The host tables of an extended item: the table tree of the item editor (menu groups,
// subsystems, the extendable tables of the item's class), the item's current links ticked in
// it, the tick rules (one table ticked under all its subsystems or none, table groups ticked
// together), the table-link share of the save document and the check before an item's column
// is removed. Works on the tree's model and a small state the editor keeps; no widgets.
#include <QHash>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace controls {
class CheckTreeModel;
}

namespace itemdef {

// What the editor knows about its item, as far as the table tree needs it.
struct ExtendEditorState {
    QString cId;     // empty for a new item
    QString cClass;  // raw class value ("单据头" …)
    bool adding = false;
    bool extended = false;
    // Ticked state of every node (tree order) when the item's tables were last ticked on load,
    // and the keys of those nodes, so a tree rebuilt or filtered since still compares by node.
    QVector<bool> loadedTicks;
    QStringList loadedKeys;

    // Table groups of the class (lower-cased table → its groups), read once per editor load.
    struct Groups {
        QString classCode;
        QHash<QString, QStringList> groupsOfTable;
        QHash<QString, QStringList> tablesOfGroup;
    };
    std::optional<Groups> groups;
};

// Node keys. A table node's key is "Mark&&" + table, or "Mark&&" + table + code + "&&" when
// the table belongs to several subsystems (one node per subsystem code).
inline const QString kTableKeyPrefix = QStringLiteral("Mark&&");
QString tableNodeKey(const QString& table, const QString& subsystemCode = {});
bool isTableNode(const QString& key);
// The table a table node stands for; empty for other nodes.
QString tableOfNode(const QString& key);

// Class codes: of the table tree ("H" header, "B" body, else empty) and of table groups
// ("H", "B", "INV" inventory, "CUS" customer, else empty).
QString treeClassCode(const QString& cClass);
QString groupClassCode(const QString& cClass);

// The statements, as the editor sends them.
QString MenuGroupsSql();
QString SubsystemsSql(const QString& accountId, const QString& database);
QString ExtendTablesSql(const QString& classCode);
QString LinkedTablesSql(const QString& cId);
QString TableGroupsSql(const QString& classCode);
QString DeleteCheckTablesSql(const QString& cId);
// The positions in `tables` (field iTable) of the companions holding a value in the column.
QString ColumnDataSql(const QString& column, const QStringList& tables);

// Rebuilds the tree for the state's class: menu groups, their subsystems, the class's tables
// below their subsystems; groups and subsystems without tables are left out. Forgets the loaded
// ticks and the cached table groups. False (tree left empty or partial) when a statement fails.
bool BuildExtendTree(controls::CheckTreeModel& tree, ExtendEditorState& state,
                     QString* error = nullptr);

// Ticks the tables the item is linked to and records the loaded ticks. Nothing happens for an
// empty item id.
bool LoadExtendTables(controls::CheckTreeModel& tree, ExtendEditorState& state,
                      QString* error = nullptr);

// The user ticked or unticked a node (the tree's nodeTicked): every node of the same table, and
// for a group or subsystem node every table below it, takes the state; then the table groups
// follow (SyncTableGroups). Group and subsystem nodes end ticked exactly when a table below them
// is ticked. The editor enables "SaveRs" itself. Returns the tables (lower case) that followed
// through their table group, beside the node's own.
QSet<QString> TableNodeTicked(controls::CheckTreeModel& tree, ExtendEditorState& state, const QString& key,
                     bool ticked);

// Every table node whose table shares a group with the node's table (for a group or subsystem
// node: with a table below it) takes the state. Reads the group table once per editor load.
// Returns the tables (lower case) that took the state, the node's own left out.
QSet<QString> SyncTableGroups(controls::CheckTreeModel& tree, ExtendEditorState& state, const QString& key,
                     bool ticked);

// The table-link share of a header or body item. Empty for an item that is not extended. When
// no table is ticked, message holds the text the save shows ("choose the tables") and the save
// must stop.
struct DetailShare {
    QString xml;
    QString message;
};
DetailShare BuildDetailXML(const controls::CheckTreeModel& tree, const ExtendEditorState& state,
                           const QString& cId);

// The table-link share of an inventory, vendor, customer or contact item: its one fixed table
// (none for vendor items). Empty for an item that is not extended.
QString BuildArchiveDetailXML(const ExtendEditorState& state, const QString& cId);

// True when the item's column may be removed from its linked tables (or only from `tables`): no
// such table (that is checked) holds a value in it, or the user answered Yes to the warning
// naming them. A table that cannot be checked refuses, with a message.
bool CanDeleteExtendColumn(const QString& cId, const QStringList& tables = {});

// The tables a save of an existing item would unlink: ticked at load, not ticked now.
QStringList RemovedTables(const controls::CheckTreeModel& tree, const ExtendEditorState& state);

}  // namespace itemdef
