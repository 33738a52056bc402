#include "itemdef/ExtendTables.h"

#include <QRegularExpression>

#include "common/SessionNames.h"
#include "common/Globals.h"
#include "common/ShowMsg.h"
#include "controls/CheckTreeModel.h"
#include "host/IConnection.h"
#include "host/Quote.h"
#include "itemdef/DeleteCheck.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

namespace {

const QString kTableKeySuffix = QStringLiteral("&&");

// A name taken from data and joined into a statement as an identifier: as it stands when it is
// a plain name, else bracketed.
QString identifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch() ? name : host::sqlIdent(name);
}

host::RecordSetPtr open(const QString& sql, QString* error) {
    if (!userdef::g_SrvDB) {
        qCWarning(lcItemdef) << "table tree without a server database service";
        if (error) *error = QStringLiteral("no server database service");
        return nullptr;
    }
    host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(sql);
    if (!rs) {
        qCWarning(lcItemdef) << "statement failed:" << userdef::g_SrvDB->lastError();
        if (error) *error = userdef::g_SrvDB->lastError();
    }
    return rs;
}

QString resText(const QString& key) {
    return userdef::g_Pub ? userdef::g_Pub->GetResString(key) : key;
}

// The lower-cased tables of the table nodes at and below a node.
QSet<QString> tablesAt(const controls::CheckTreeModel& tree, const QString& key) {
    QSet<QString> tables;
    if (isTableNode(key)) {
        tables.insert(tableOfNode(key).toLower());
        return tables;
    }
    QStringList pending = tree.childKeys(key);
    while (!pending.isEmpty()) {
        const QString k = pending.takeLast();
        if (isTableNode(k))
            tables.insert(tableOfNode(k).toLower());
        else
            pending << tree.childKeys(k);
    }
    return tables;
}

// Sets every table node of the given (lower-cased) tables.
void tickTables(controls::CheckTreeModel& tree, const QSet<QString>& tables, bool ticked) {
    if (tables.isEmpty()) return;
    for (const QString& key : tree.keys())
        if (isTableNode(key) && tables.contains(tableOfNode(key).toLower()))
            tree.setTicked(key, ticked);
}

// Group and subsystem nodes ticked exactly when a table below them is.
void markGroupNodes(controls::CheckTreeModel& tree) {
    const QStringList keys = tree.keys();
    QHash<QString, bool> below;  // node → a ticked table lies below it
    for (auto it = keys.crbegin(); it != keys.crend(); ++it) {
        const QString& key = *it;
        if (isTableNode(key)) {
            if (tree.isTicked(key)) below.insert(tree.parentKey(key), true);
            continue;
        }
        const bool any = below.value(key, false);
        if (any) below.insert(tree.parentKey(key), true);
        if (tree.isTicked(key) != any) tree.setTicked(key, any);
    }
}

const ExtendEditorState::Groups& groupsOf(ExtendEditorState& state) {
    const QString code = groupClassCode(state.cClass);
    if (state.groups && state.groups->classCode == code) return *state.groups;
    ExtendEditorState::Groups groups;
    groups.classCode = code;
    if (!code.isEmpty()) {
        if (const host::RecordSetPtr rs = open(TableGroupsSql(code), nullptr)) {
            const int tableField = rs->fieldIndex(QStringLiteral("cTableName"));
            const int groupField = rs->fieldIndex(QStringLiteral("groupname"));
            for (int r = 0; r < rs->recordCount(); ++r) {
                const QString table = host::variantText(rs->at(r, tableField)).trimmed().toLower();
                const QString group = host::variantText(rs->at(r, groupField)).trimmed().toLower();
                if (table.isEmpty() || group.isEmpty()) continue;
                if (!groups.groupsOfTable[table].contains(group))
                    groups.groupsOfTable[table] << group;
                if (!groups.tablesOfGroup[group].contains(table))
                    groups.tablesOfGroup[group] << table;
            }
        }
    }
    state.groups = std::move(groups);
    return *state.groups;
}

QString detailEntry(const QString& cId, const QString& tableElement) {
    return QStringLiteral("<UserDefDetail><cId>") + host::xmlText(cId) + QStringLiteral("</cId>") +
           tableElement + QStringLiteral("</UserDefDetail>");
}

QString tableElement(const QString& table) {
    return QStringLiteral("<Tablename>") + host::xmlText(table) + QStringLiteral("</Tablename>");
}

QString shareText(const QString& added, const QString& kept, const QString& removed) {
    return QStringLiteral("<AddUserDefDetail>") + added + QStringLiteral("</AddUserDefDetail>") +
           QStringLiteral("<ModifyUserDefDetail>") + kept +
           QStringLiteral("</ModifyUserDefDetail>") + QStringLiteral("<DeleteUserDefDetail>") +
           removed + QStringLiteral("</DeleteUserDefDetail>");
}

}  // namespace

// ---- keys and codes ----

QString tableNodeKey(const QString& table, const QString& subsystemCode) {
    if (subsystemCode.isEmpty()) return kTableKeyPrefix + table;
    return kTableKeyPrefix + table + subsystemCode + kTableKeySuffix;
}

bool isTableNode(const QString& key) { return key.size() >= 7 && key.startsWith(kTableKeyPrefix); }

QString tableOfNode(const QString& key) {
    if (!isTableNode(key)) return {};
    QString table = key.mid(kTableKeyPrefix.size());
    if (table.endsWith(kTableKeySuffix)) table.chop(4);  // code of two characters and "&&"
    return table;
}

QString treeClassCode(const QString& cClass) {
    switch (classPosition(cClass)) {
        case kHeader:
            return QStringLiteral("H");
        case kBody:
            return QStringLiteral("B");
        default:
            return {};
    }
}

QString groupClassCode(const QString& cClass) {
    switch (classPosition(cClass)) {
        case kHeader:
            return QStringLiteral("H");
        case kBody:
            return QStringLiteral("B");
        case kInventory:
            return QStringLiteral("INV");
        case kCustomer:
            return QStringLiteral("CUS");
        default:
            return {};
    }
}

// ---- statements ----

QString MenuGroupsSql() {
    return QStringLiteral(
        " SELECT a.cMenu_ID,b.Caption,a.Depends,a.iOrder "
        " FROM zxsystem.dbo.UA_Menu a INNER JOIN zxsystem.dbo.zxmenu_business_lang b ON "
        "a.cMenu_ID=b.MenuID "
        " WHERE a.csupmenu_id='#1' AND localeid=dbo.UDF_GetLocaleID() "
        " UNION "
        " SELECT N'AAAA' AS cMenu_ID ,b.Caption,a.Depends,a.iOrder "
        " FROM zxsystem.dbo.UA_Menu a INNER JOIN zxsystem.dbo.zxmenu_business_lang b ON "
        "a.cMenu_ID=b.MenuID "
        " WHERE a.csupmenu_id='#0' AND a.cMenu_ID='AI1' AND localeid=dbo.UDF_GetLocaleID() "
        "ORDER BY a.iorder ");
}

QString SubsystemsSql(const QString& accountId, const QString& database) {
    const QString account = host::sqlValue(accountId);
    return QStringLiteral(
               " DECLARE  @bmSupMenuID NVARCHAR(100) "
               " IF EXISTS (SELECT 1 From ZxSystem.dbo.ua_account WHERE  cacc_id = '") +
           account +
           QStringLiteral(
               "' AND ciscompanyver = 1) "
               " SET @bmSupMenuID = N'GAG' Else  SET @bmSupMenuID = N'MAG' "
               " SELECT * FROM "
               "   (SELECT a.csub_id,a.csub_name,'cSupMenu_ID' = CASE WHEN b.csupmenu_id IS NULL "
               "THEN N'AAAA' Else b.csupmenu_id END,b.iorder "
               "   FROM zxsystem.dbo.ua_subsys a WITH (nolock) "
               "   LEFT JOIN "
               "   (SELECT cmenu_id,csupmenu_id,iorder FROM   "
               "       (SELECT cmenu_id,csupmenu_id,iorder FROM ") +
           identifier(database) +
           QStringLiteral(
               "..ua_menu Union SELECT cmenu_id,csupmenu_id,iorder FROM zxsystem.dbo.ua_menu "
               "       ) AS ua_menu WHERE  csupmenu_id IN (SELECT cmenu_id FROM   "
               "zxsystem.dbo.ua_menu a WHERE  csupmenu_id = '#1')"
               "   ) b "
               "   ON a.csub_id = b.cmenu_id WHERE  a.csub_id IN "
               "      (SELECT cSub_Id FROM ZxSystem.dbo.UA_SubSys WHERE cSub_Id IN "
               "          (SELECT cSub_Id FROM ZxSystem.dbo.UA_Account_sub WHERE cAcc_id='") +
           account +
           QStringLiteral(
               "' AND iYear='9999' AND NOT dSubSysUsed IS NULL "
               "             UNION SELECT cSub_Id FROM ZxSystem.dbo.UA_Subsys WHERE (ntype=1 OR "
               "ntype IS NULL ) AND cSub_Id NOT IN(N'AS',N'DP',N'EA',N'FP',N'DA') "
               "          )"
               "      )"
               "   Union All SELECT TOP 1 N'BM' AS csub_id,b.csub_name,@bmSupMenuID AS "
               "csupmenu_id,a.iorder FROM zxsystem.dbo.ua_menu a,ua_subsys b "
               "   WHERE a.cmenu_id IN (N'BM',N'BG') AND b.csub_id = N'BM' AND a.csupmenu_id <> "
               "'' AND a.csupmenu_id IS NOT NULL) AS a ORDER BY iorder");
}

QString ExtendTablesSql(const QString& classCode) {
    return QStringLiteral(
               " SELECT cSub_ID,OBJECT_NAME(OBJECT_ID(cTableName)) as cTableName,TableDesc FROM "
               "AA_DefineExtend "
               " WHERE N','+cType+',' like N'%,") +
           host::sqlValue(classCode) +
           QStringLiteral(
               ",%' and OBJECT_NAME(OBJECT_ID(cTableName)) is not null "
               " AND (cParentTableName is NULL or cParentTableName='') ");
}

QString LinkedTablesSql(const QString& cId) {
    return QStringLiteral("SELECT tablename FROM userdefdetail WHERE cid=N'") +
           host::sqlValue(cId) + QLatin1Char('\'');
}

QString TableGroupsSql(const QString& classCode) {
    return QStringLiteral(
               "SELECT cTableName,groupname FROM dbo.AA_DefineExtendTables WHERE ctype like '%") +
           host::sqlValue(classCode) + QStringLiteral("%' AND groupname<>'' ORDER BY groupname ");
}

QString DeleteCheckTablesSql(const QString& cId) {
    return QStringLiteral(
               "SELECT cTableName,cPKName,bDeleteIgnoreCheck,a.cTableDesc,cDicDbName FROM "
               "AA_DefineExtend a JOIN UserDefDetail b ON a.TableName=b.TableName JOIN "
               "userdef_base c ON b.cid=c.cid WHERE b.cid = '") +
           host::sqlValue(cId) + QLatin1Char('\'');
}

QString ColumnDataSql(const QString& column, const QStringList& tables) {
    const QString col = identifier(column);
    QStringList parts;
    for (int i = 0; i < tables.size(); ++i)
        parts << QStringLiteral("select %1 as iTable where exists (select 1 from ").arg(i) +
                     identifier(tables.at(i) + QStringLiteral("_extradefine")) +
                     QStringLiteral(" where isnull(") + col + QStringLiteral(",'')<>'') ");
    return parts.join(QStringLiteral(" union all "));
}

// ---- the tree ----

bool BuildExtendTree(controls::CheckTreeModel& tree, ExtendEditorState& state, QString* error) {
    tree.clear();
    state.loadedTicks.clear();
    state.loadedKeys.clear();
    state.groups.reset();
    if (!userdef::g_Login) {
        qCWarning(lcItemdef) << "table tree without a login";
        if (error) *error = QStringLiteral("no login");
        return false;
    }

    const host::RecordSetPtr menus = open(MenuGroupsSql(), error);
    if (!menus) return false;
    const host::IConnection* current = userdef::g_Login->ZxCurrentDb();
    const QString database = current ? current->defaultDatabase() : QString();
    const host::RecordSetPtr subsystems =
        open(SubsystemsSql(userdef::g_Login->cAcc_id(), database), error);
    if (!subsystems) return false;
    const host::RecordSetPtr tables = open(ExtendTablesSql(treeClassCode(state.cClass)), error);
    if (!tables) return false;

    const userdef::SessionNames shown = userdef::SessionNames::read();
    // Subsystems by their menu group, in statement order.
    QHash<QString, QVector<QPair<QString, QString>>> subsystemsOfMenu;
    {
        const int id = subsystems->fieldIndex(QStringLiteral("csub_id"));
        const int name = subsystems->fieldIndex(QStringLiteral("csub_name"));
        const int menu = subsystems->fieldIndex(QStringLiteral("cSupMenu_ID"));
        for (int r = 0; r < subsystems->recordCount(); ++r)
            subsystemsOfMenu[host::variantText(subsystems->at(r, menu)).toUpper()].append(
                {host::variantText(subsystems->at(r, id)).toUpper(),
                 shown.subsystem(host::variantText(subsystems->at(r, id)),
                                 host::variantText(subsystems->at(r, name)))});
    }
    {
        const int id = menus->fieldIndex(QStringLiteral("cMenu_ID"));
        const int caption = menus->fieldIndex(QStringLiteral("Caption"));
        for (int r = 0; r < menus->recordCount(); ++r) {
            const QString menuKey = host::variantText(menus->at(r, id)).toUpper();
            if (!tree.addNode(menuKey, host::variantText(menus->at(r, caption)))) continue;
            for (const auto& [subKey, subName] : subsystemsOfMenu.value(menuKey))
                tree.addNode(subKey, subName, menuKey);
        }
    }
    {
        const int sub = tables->fieldIndex(QStringLiteral("cSub_ID"));
        const int name = tables->fieldIndex(QStringLiteral("cTableName"));
        const int desc = tables->fieldIndex(QStringLiteral("TableDesc"));
        for (int r = 0; r < tables->recordCount(); ++r) {
            const QString codes = host::variantText(tables->at(r, sub)).trimmed();
            const QString table = host::variantText(tables->at(r, name));
            const QString text = shown.table(table, host::variantText(tables->at(r, desc)));
            if (codes.isEmpty() || table.isEmpty()) continue;
            if (codes.size() == 2) {
                if (tree.contains(codes.toUpper()))
                    tree.addNode(tableNodeKey(table), text, codes.toUpper());
                continue;
            }
            for (const QString& part : codes.split(QLatin1Char(','))) {
                const QString code = part.trimmed();
                // The table is read back from the key by dropping code and "&&".
                if (code.size() != 2 || !tree.contains(code.toUpper())) continue;
                tree.addNode(tableNodeKey(table, code), text, code.toUpper());
            }
        }
    }

    // Groups and subsystems without tables go; children come after their parent in tree order,
    // so walking backwards empties a subsystem before its group is looked at.
    const QStringList keys = tree.keys();
    for (auto it = keys.crbegin(); it != keys.crend(); ++it)
        if (!isTableNode(*it) && tree.childKeys(*it).isEmpty()) tree.removeNode(*it);
    return true;
}

bool LoadExtendTables(controls::CheckTreeModel& tree, ExtendEditorState& state, QString* error) {
    if (state.cId.isEmpty()) return true;
    const host::RecordSetPtr rs = open(LinkedTablesSql(state.cId), error);
    if (!rs) return false;
    QSet<QString> linked;
    for (int r = 0; r < rs->recordCount(); ++r)
        linked.insert(host::variantText(rs->at(r, 0)).trimmed().toLower());
    tickTables(tree, linked, true);

    state.loadedKeys = tree.keys();
    state.loadedTicks.clear();
    state.loadedTicks.reserve(state.loadedKeys.size());
    for (const QString& key : state.loadedKeys) state.loadedTicks << tree.isTicked(key);
    return true;
}

QSet<QString> TableNodeTicked(controls::CheckTreeModel& tree, ExtendEditorState& state,
                              const QString& key, bool ticked) {
    if (!tree.contains(key)) return {};
    tickTables(tree, tablesAt(tree, key), ticked);
    QSet<QString> along = SyncTableGroups(tree, state, key, ticked);
    markGroupNodes(tree);
    return along;
}

QSet<QString> SyncTableGroups(controls::CheckTreeModel& tree, ExtendEditorState& state,
                              const QString& key, bool ticked) {
    if (!tree.contains(key)) return {};
    const ExtendEditorState::Groups& groups = groupsOf(state);
    if (groups.groupsOfTable.isEmpty()) return {};
    QSet<QString> tables = tablesAt(tree, key);
    QSet<QString> members;
    QStringList pending(tables.cbegin(), tables.cend());
    QSet<QString> seenGroups;
    while (!pending.isEmpty()) {
        const QString table = pending.takeLast();
        for (const QString& group : groups.groupsOfTable.value(table)) {
            if (seenGroups.contains(group)) continue;
            seenGroups.insert(group);
            for (const QString& member : groups.tablesOfGroup.value(group)) {
                if (members.contains(member)) continue;
                members.insert(member);
                pending << member;
            }
        }
    }
    if (members.isEmpty()) return {};
    tickTables(tree, members, ticked);
    if (!ticked) markGroupNodes(tree);
    return members - tables;
}

// ---- the shares ----

DetailShare BuildDetailXML(const controls::CheckTreeModel& tree, const ExtendEditorState& state,
                           const QString& cId) {
    DetailShare share;
    if (!state.extended) return share;

    QHash<QString, bool> loaded;
    for (int i = 0; i < state.loadedKeys.size() && i < state.loadedTicks.size(); ++i)
        loaded.insert(state.loadedKeys.at(i), state.loadedTicks.at(i));

    QString added, kept, removed;
    QSet<QString> inAdded, inKept, inRemoved;  // lower-cased tables written per section
    bool anyTicked = false;
    auto write = [&](QString& section, QSet<QString>& written, const QString& table) {
        if (written.contains(table.toLower())) return;
        written.insert(table.toLower());
        section += detailEntry(cId, tableElement(table));
    };
    for (const QString& key : tree.keys()) {
        if (!isTableNode(key)) continue;
        const QString table = tableOfNode(key);
        const bool now = tree.isTicked(key);
        anyTicked = anyTicked || now;
        if (state.adding) {
            if (now) write(added, inAdded, table);
            continue;
        }
        const bool before = loaded.value(key, false);
        if (now && !before) write(added, inAdded, table);
        if (now && before) write(kept, inKept, table);
        if (!now && before) write(removed, inRemoved, table);
    }
    share.xml = shareText(added, kept, removed);
    if (!anyTicked)
        share.message = resText(QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.PleaseChooseConfine"));
    return share;
}

QStringList RemovedTables(const controls::CheckTreeModel& tree, const ExtendEditorState& state) {
    QStringList removed;
    if (state.adding || !state.extended) return removed;
    for (int i = 0; i < state.loadedKeys.size() && i < state.loadedTicks.size(); ++i) {
        const QString& key = state.loadedKeys.at(i);
        if (!state.loadedTicks.at(i) || !isTableNode(key)) continue;
        if (tree.contains(key) && tree.isTicked(key)) continue;
        const QString table = tableOfNode(key);
        if (!removed.contains(table, Qt::CaseInsensitive)) removed << table;
    }
    // A table still ticked under another subsystem stays linked.
    for (const QString& key : tree.keys())
        if (isTableNode(key) && tree.isTicked(key))
            removed.removeIf([&](const QString& t) {
                return t.compare(tableOfNode(key), Qt::CaseInsensitive) == 0;
            });
    return removed;
}

QString BuildArchiveDetailXML(const ExtendEditorState& state, const QString& cId) {
    if (!state.extended) return {};
    QString element;
    switch (classPosition(state.cClass)) {
        case kInventory:
            element = tableElement(QStringLiteral("Inventory"));
            break;
        case kCustomer:
            element = tableElement(QStringLiteral("Customer"));
            break;
        case kContact:
            element = tableElement(QStringLiteral("crm_contact"));
            break;
        default:
            break;  // vendor items carry no table
    }
    const QString entry = detailEntry(cId, element);
    return shareText(state.adding ? entry : QString(), state.adding ? QString() : entry, {});
}

// ---- removing a column ----

bool CanDeleteExtendColumn(const QString& cId, const QStringList& tables) {
    // The question names every table holding values, the carry-over rules using the column and
    // the tables not checked (itemdef/DeleteCheck).
    const DeleteImpact impact = ReadDeleteImpact(cId, tables);
    if (impact.failed) {
        qCWarning(lcItemdef) << "column check:" << impact.failure;
        userdef::ShowMsg(impact.failure);
        return false;
    }
    const QString question = DeleteQuestion(impact);
    if (question.isEmpty()) return true;
    if (!userdef::g_Pub) return false;
    return userdef::g_Pub->MsgBox(question, host::MsgButtons::YesNoQuestion,
                                  resText(QStringLiteral("Q9.AA.ARCHIVE.COMMON.exclamation"))) ==
           host::MsgAnswer::Yes;
}

}  // namespace itemdef
