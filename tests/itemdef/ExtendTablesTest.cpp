// The table tree of an extended item on the demo account: what it shows, how ticks follow one
// another, the table-link share the save sends and the check before a column is removed.
#include "common/Globals.h"
#include "controls/CheckTreeModel.h"
#include "itemdef/ExtendTables.h"
#include "tests/support/TestSession.h"

using namespace itemdef;

namespace {

const QString kHeader = QStringLiteral("单据头");
const QString kBody = QStringLiteral("单据体");

class ExtendTree : public testsupport::SessionTest {
protected:
    // Opens the tree as the editor does for an item of a class (existing when cId is given).
    void open(const QString& cClass, const QString& cId = {}, bool adding = false) {
        state = {};
        state.cClass = cClass;
        state.cId = cId;
        state.adding = adding;
        state.extended = true;
        QString error;
        ASSERT_TRUE(BuildExtendTree(tree, state, &error)) << error.toStdString();
        ASSERT_TRUE(LoadExtendTables(tree, state, &error)) << error.toStdString();
    }
    // What a click on a node's check box does in the editor.
    void click(const QString& key, bool ticked) {
        ASSERT_TRUE(tree.contains(key)) << key.toStdString();
        tree.setTicked(key, ticked);
        TableNodeTicked(tree, state, key, ticked);
    }
    void exec(const QString& sql) {
        QString error;
        ASSERT_TRUE(session.account.db().exec(sql, &error)) << error.toStdString();
    }
    QStringList tableKeys() const {
        QStringList out;
        for (const QString& key : tree.keys())
            if (isTableNode(key)) out << key;
        return out;
    }
    QStringList tickedTables() const {
        QStringList out;
        for (const QString& key : tableKeys())
            if (tree.isTicked(key) && !out.contains(tableOfNode(key))) out << tableOfNode(key);
        out.sort(Qt::CaseInsensitive);
        return out;
    }
    // The tables of one section of a share, in order.
    static QStringList section(const QString& xml, const QString& name) {
        const int from = xml.indexOf("<" + name + ">");
        const int to = xml.indexOf("</" + name + ">");
        if (from < 0 || to < from) return {QStringLiteral("<missing>")};
        QStringList tables;
        const QString body = xml.mid(from, to - from);
        for (int at = body.indexOf("<Tablename>"); at >= 0;
             at = body.indexOf("<Tablename>", at + 1)) {
            const int start = at + 11;
            tables << body.mid(start, body.indexOf("</Tablename>", start) - start);
        }
        return tables;
    }

    controls::CheckTreeModel tree;
    ExtendEditorState state;
};

}  // namespace

TEST_F(ExtendTree, HeaderTreeHoldsMenuGroupsSubsystemsAndTheirTables) {
    open(kHeader);
    // Menu groups at the top, subsystems below, tables below their subsystem.
    EXPECT_EQ(tree.parentKey("SA"), "GSC");
    EXPECT_EQ(tree.text("GSC"), QStringLiteral("供应链"));
    EXPECT_EQ(tree.parentKey("CM"), "AAAA");  // a subsystem without a menu group of its own
    EXPECT_EQ(tree.parentKey("BM"), "MAG");
    EXPECT_EQ(tree.parentKey("Mark&&SA_OrderHead"), "SA");
    EXPECT_EQ(tree.text("Mark&&SA_OrderHead"), QStringLiteral("销售订单表头"));

    // A table of two subsystems is shown under each, with the code in its key.
    EXPECT_EQ(tree.parentKey("Mark&&PR_AdjustHeadSA&&"), "SA");
    EXPECT_EQ(tree.parentKey("Mark&&PR_AdjustHeadPU&&"), "PU");
    EXPECT_FALSE(tree.contains("Mark&&PR_AdjustHead"));
    EXPECT_EQ(tableOfNode("Mark&&PR_AdjustHeadSA&&"), "PR_AdjustHead");
    EXPECT_EQ(tableOfNode("Mark&&SA_OrderHead"), "SA_OrderHead");

    // Only header tables that exist and have no parent; body tables, missing tables and
    // tables of subsystems the account lacks are not offered.
    EXPECT_EQ(tableKeys().size(), 14);
    EXPECT_TRUE(tree.contains("Mark&&CM_Contract"));  // of both kinds
    EXPECT_FALSE(tree.contains("Mark&&SA_OrderBody"));
    EXPECT_FALSE(tree.contains("Mark&&ST_TransferHead"));
    EXPECT_FALSE(tree.contains("Mark&&HR_LeaveHead"));

    // Groups and subsystems without a table are gone; everything starts unticked.
    EXPECT_FALSE(tree.contains("GL"));
    EXPECT_FALSE(tree.contains("GHR"));
    for (const QString& key : tree.keys()) {
        EXPECT_FALSE(tree.isTicked(key)) << key.toStdString();
        if (!isTableNode(key)) EXPECT_FALSE(tree.childKeys(key).isEmpty()) << key.toStdString();
    }
}

TEST_F(ExtendTree, EveryClassGetsItsOwnTables) {
    open(kBody);
    EXPECT_TRUE(tree.contains("Mark&&SA_OrderBody"));
    EXPECT_TRUE(tree.contains("Mark&&CM_Contract"));
    EXPECT_FALSE(tree.contains("Mark&&SA_OrderBodyPlan"));  // has a parent table
    EXPECT_FALSE(tree.contains("Mark&&SA_OrderHead"));

    // Archive classes have no tree: nothing is offered, nothing is left over.
    open(QStringLiteral("客户"));
    EXPECT_EQ(tree.nodeCount(), 0);
}

TEST_F(ExtendTree, ItemsTablesAreTickedOnLoad) {
    open(kHeader, "1001");
    EXPECT_EQ(tickedTables(), QStringList({"CM_Contract", "PR_AdjustHead", "PU_OrderHead",
                                           "SA_DispatchHead", "SA_InvoiceHead", "SA_OrderHead"}));
    EXPECT_TRUE(tree.isTicked("Mark&&PR_AdjustHeadSA&&"));
    EXPECT_TRUE(tree.isTicked("Mark&&PR_AdjustHeadPU&&"));
    EXPECT_TRUE(tree.isTicked("GSC"));
    EXPECT_FALSE(tree.isTicked("AP"));
    ASSERT_EQ(state.loadedTicks.size(), tree.nodeCount());
    const int at = int(tree.keys().indexOf("Mark&&SA_OrderHead"));
    EXPECT_TRUE(state.loadedTicks.at(at));

    // A new item (no id) starts with nothing ticked.
    open(kHeader, {}, true);
    EXPECT_TRUE(tickedTables().isEmpty());
}

TEST_F(ExtendTree, ATableIsTickedUnderAllItsSubsystemsOrNone) {
    open(kHeader, "1004");
    click("Mark&&PR_AdjustHeadPU&&", true);
    EXPECT_TRUE(tree.isTicked("Mark&&PR_AdjustHeadSA&&"));
    EXPECT_TRUE(tree.isTicked("SA"));
    EXPECT_TRUE(tree.isTicked("GSC"));

    click("Mark&&PR_AdjustHeadSA&&", false);
    EXPECT_FALSE(tree.isTicked("Mark&&PR_AdjustHeadPU&&"));
    EXPECT_FALSE(tree.isTicked("PU"));  // nothing below it is ticked any more
    EXPECT_TRUE(tree.isTicked("AP"));   // the item's own tables stay
}

TEST_F(ExtendTree, TablesOfOneGroupAreTickedTogether) {
    open(kHeader, "1004");
    click("Mark&&SA_DispatchHead", true);
    EXPECT_TRUE(tree.isTicked("Mark&&SA_InvoiceHead"));
    EXPECT_FALSE(tree.isTicked("Mark&&SA_OrderHead"));

    click("Mark&&SA_InvoiceHead", false);
    EXPECT_FALSE(tree.isTicked("Mark&&SA_DispatchHead"));

    // Ticking a subsystem ticks its tables, and their group members wherever they are.
    click("SA", true);
    EXPECT_TRUE(tree.isTicked("Mark&&SA_OrderHead"));
    EXPECT_TRUE(tree.isTicked("Mark&&PR_AdjustHeadPU&&"));
    click("SA", false);
    EXPECT_EQ(tickedTables(), QStringList({"AP_VouchHead", "AR_VouchHead", "IA_AdjustHead"}));
}

TEST_F(ExtendTree, ShareOfAnExistingItemComparesWithTheLoadedTicks) {
    open(kHeader, "1001");
    DetailShare share = BuildDetailXML(tree, state, "1001");
    EXPECT_TRUE(share.message.isEmpty());
    EXPECT_TRUE(section(share.xml, "AddUserDefDetail").isEmpty());
    // Tree order (basic settings come first); the table under two subsystems once.
    EXPECT_EQ(section(share.xml, "ModifyUserDefDetail"),
              QStringList({"CM_Contract", "SA_OrderHead", "SA_DispatchHead", "SA_InvoiceHead",
                           "PR_AdjustHead", "PU_OrderHead"}));
    EXPECT_TRUE(section(share.xml, "DeleteUserDefDetail").isEmpty());
    EXPECT_TRUE(share.xml.startsWith(
        "<AddUserDefDetail></AddUserDefDetail><ModifyUserDefDetail><UserDefDetail><cId>1001</cId>"
        "<Tablename>CM_Contract</Tablename></UserDefDetail>"));
    EXPECT_TRUE(share.xml.endsWith("<DeleteUserDefDetail></DeleteUserDefDetail>"));

    click("Mark&&CM_Contract", false);
    click("Mark&&AP_VouchHead", true);
    share = BuildDetailXML(tree, state, "1001");
    EXPECT_EQ(section(share.xml, "AddUserDefDetail"), QStringList({"AP_VouchHead"}));
    EXPECT_EQ(section(share.xml, "ModifyUserDefDetail").size(), 5);
    EXPECT_EQ(section(share.xml, "DeleteUserDefDetail"), QStringList({"CM_Contract"}));

    // After a save the tables are loaded again: the next save compares with them.
    ASSERT_TRUE(LoadExtendTables(tree, state));
    share = BuildDetailXML(tree, state, "1001");
    EXPECT_TRUE(section(share.xml, "AddUserDefDetail").isEmpty());
    EXPECT_TRUE(section(share.xml, "DeleteUserDefDetail").isEmpty());
}

TEST_F(ExtendTree, ShareOfANewItemAddsEveryTickedTable) {
    open(kHeader, {}, true);
    click("Mark&&PR_AdjustHeadSA&&", true);
    click("Mark&&SA_DispatchHead", true);
    const DetailShare share = BuildDetailXML(tree, state, "1005");
    EXPECT_EQ(section(share.xml, "AddUserDefDetail"),
              QStringList({"SA_DispatchHead", "SA_InvoiceHead", "PR_AdjustHead"}));
    EXPECT_TRUE(section(share.xml, "ModifyUserDefDetail").isEmpty());
    EXPECT_TRUE(share.xml.contains("<cId>1005</cId>"));
}

TEST_F(ExtendTree, NothingTickedStopsTheSaveWithTheTreesPrompt) {
    open(kHeader, "1002");
    click("Mark&&SA_OrderHead", false);
    click("Mark&&SA_DispatchHead", false);
    const DetailShare share = BuildDetailXML(tree, state, "1002");
    EXPECT_EQ(share.message,
              session.pub->GetResString("Q9.AA.ARCHIVE.USERDEF.FrmZAM.PleaseChooseConfine"));
    EXPECT_FALSE(share.message.isEmpty());
    EXPECT_EQ(section(share.xml, "DeleteUserDefDetail"),
              QStringList({"SA_OrderHead", "SA_DispatchHead"}));

    // An item that is not extended has no share at all.
    state.extended = false;
    EXPECT_TRUE(BuildDetailXML(tree, state, "1002").xml.isEmpty());
}

TEST_F(ExtendTree, ArchiveItemsLinkTheirFixedTable) {
    ExtendEditorState item;
    item.extended = true;
    item.adding = true;
    item.cClass = QStringLiteral("存货");
    EXPECT_EQ(BuildArchiveDetailXML(item, "3002"),
              "<AddUserDefDetail><UserDefDetail><cId>3002</cId><Tablename>Inventory</Tablename>"
              "</UserDefDetail></AddUserDefDetail><ModifyUserDefDetail></ModifyUserDefDetail>"
              "<DeleteUserDefDetail></DeleteUserDefDetail>");
    item.adding = false;
    item.cClass = QStringLiteral("联系人");
    EXPECT_EQ(BuildArchiveDetailXML(item, "6001"),
              "<AddUserDefDetail></AddUserDefDetail><ModifyUserDefDetail><UserDefDetail><cId>6001"
              "</cId><Tablename>crm_contact</Tablename></UserDefDetail></ModifyUserDefDetail>"
              "<DeleteUserDefDetail></DeleteUserDefDetail>");
    item.cClass = QStringLiteral("客户");
    EXPECT_TRUE(BuildArchiveDetailXML(item, "5001").contains("<Tablename>Customer</Tablename>"));
    item.cClass = QStringLiteral("供应商");  // vendor items name no table
    EXPECT_TRUE(
        BuildArchiveDetailXML(item, "7001")
            .contains("<ModifyUserDefDetail><UserDefDetail><cId>7001</cId></UserDefDetail>"));
    item.extended = false;
    EXPECT_TRUE(BuildArchiveDetailXML(item, "7001").isEmpty());
}

TEST_F(ExtendTree, RemovingAColumnWithDataAsksFirst) {
    // Item 1004: AP_VouchHead holds a value (asked); IA_AdjustHead does too but is exempt.
    session.prompter->queueAnswer(host::MsgAnswer::No);
    EXPECT_FALSE(CanDeleteExtendColumn("1004"));
    ASSERT_EQ(session.prompter->asked().size(), 1);
    const auto& asked = session.prompter->asked().first();
    EXPECT_EQ(asked.buttons, 36);
    EXPECT_EQ(asked.title, session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.exclamation"));
    EXPECT_TRUE(asked.text.startsWith(
        session.pub->GetResString("Q9.AA.ARCHIVE.USERDEF.FrmZAM.ReferHintLeft") +
        QStringLiteral("应付单主表") +
        session.pub->GetResString("Q9.AA.ARCHIVE.USERDEF.FrmZAM.ReferHintRight")))
        << asked.text.toStdString();

    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    EXPECT_TRUE(CanDeleteExtendColumn("1004"));

    // Exempting the table skips its check: nothing left to ask.
    session.prompter->clear();
    exec("UPDATE AA_DefineExtend SET bDeleteIgnoreCheck = 1 WHERE cTableName = 'AP_VouchHead'");
    EXPECT_TRUE(CanDeleteExtendColumn("1004"));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
}

TEST_F(ExtendTree, EmptyOrNullValuesAreNoData) {
    // Inventory_extradefine holds only NULL and '' for item 3001's column.
    EXPECT_TRUE(CanDeleteExtendColumn("3001"));
    // Item 1003's tables have no rows at all.
    EXPECT_TRUE(CanDeleteExtendColumn("1003"));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
}

TEST_F(ExtendTree, HostileItemIdsStayValues) {
    const QString hostile = QStringLiteral("1001' OR '1'='1");
    open(kHeader, hostile);
    EXPECT_TRUE(tickedTables().isEmpty());  // no item has that id
    EXPECT_TRUE(CanDeleteExtendColumn(hostile));
    EXPECT_TRUE(session.prompter->asked().isEmpty());

    click("Mark&&SA_OrderHead", true);
    const QString id = QStringLiteral("<1&'2'>");
    const DetailShare share = BuildDetailXML(tree, state, id);
    EXPECT_TRUE(share.xml.contains("<cId>&lt;1&amp;&apos;2&apos;&gt;</cId>"))
        << share.xml.toStdString();

    // Tables named with quotes and brackets are still checked without breaking the statement.
    exec(
        "UPDATE AA_DefineExtend SET cTableName = 'AP''Vouch]Head' WHERE cTableName = "
        "'AP_VouchHead'");
    EXPECT_TRUE(CanDeleteExtendColumn("1004"));
}

namespace {

// The session's server service, counting the statements read through it.
class CountingService : public host::IClsCommon {
public:
    explicit CountingService(std::shared_ptr<host::IClsCommon> inner) : m_inner(std::move(inner)) {}
    void init(const QString& text) override { m_inner->init(text); }
    bool Status() const override { return m_inner->Status(); }
    host::RecordSetPtr OpenX(const QString& sql) override {
        statements << sql;
        return m_inner->OpenX(sql);
    }
    bool ExecuteX(const QString& sql) override { return m_inner->ExecuteX(sql); }
    host::IConnection* m_cnn() override { return m_inner->m_cnn(); }
    QString lastError() const override { return m_inner->lastError(); }
    bool Add(const QString& xml, const QString& table, QString* error) override {
        return m_inner->Add(xml, table, error);
    }
    bool Modify(const QString& xml, const QString& table, QString* error) override {
        return m_inner->Modify(xml, table, error);
    }
    bool Delete(const QString& key, const QString& column, const QString& table,
                QString* error) override {
        return m_inner->Delete(key, column, table, error);
    }
    QStringList statements;

private:
    std::shared_ptr<host::IClsCommon> m_inner;
};

}  // namespace

TEST_F(ExtendTree, TicksReadTheGroupsOncePerLoad) {
    auto counting = std::make_shared<CountingService>(session.srv);
    userdef::g_SrvDB = counting;
    open(kHeader, "1001");
    EXPECT_EQ(counting->statements.size(), 4);  // menus, subsystems, tables, links
    for (const QString& key : tableKeys()) click(key, !tree.isTicked(key));
    click("GSC", true);
    EXPECT_EQ(counting->statements.size(), 5);
    EXPECT_TRUE(counting->statements.last().contains("AA_DefineExtendTables"));

    // A new load reads them again.
    open(kHeader, "1001");
    click("Mark&&SA_DispatchHead", false);
    EXPECT_EQ(counting->statements.size(), 10);
    userdef::g_SrvDB = session.srv;
}
