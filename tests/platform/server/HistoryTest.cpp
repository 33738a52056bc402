// The change history: every applied document is recorded with its rows before and after, and a
// change of an item can be undone, the values of its dropped columns put back.
#include <gtest/gtest.h>

#include <QJsonArray>

#include "platform/server/DocumentWriter.h"
#include "platform/server/History.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/DbSnapshot.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

namespace {

using platform::server::ChangeEntry;

const QString kItem = QStringLiteral("1003");  // cHDefine3, on three tables, with four values
const QStringList kTables = {"SA_DispatchHead", "SA_InvoiceHead", "PU_ArrivalHead"};

class ChangeHistory : public testsupport::AccountTest {
protected:
    void SetUp() override {
        AccountTest::SetUp();
        account.srv().setChangeSource(QStringLiteral("demo"), [] { return QStringLiteral("FrmZAM"); });
    }
    platform::server::ClsCommon& srv() { return account.srv(); }
    // Every row, its cells joined by "|" (the row version left out, as a write renews it).
    QStringList rows(const QString& sql, const QVariantList& params = {}) {
        return account.rows(sql, params, {QStringLiteral("pubzxts")});
    }
    // The item with its names, links, values, rules, and its column's type and values on each
    // of its tables.
    QStringList itemState(const QString& id, const QString& column) {
        QStringList state = rows("SELECT * FROM UserDef_Base WHERE cId = ?", {id}) +
                            rows("SELECT * FROM userdef_lang WHERE cid = ? ORDER BY LocaleID", {id}) +
                            rows("SELECT * FROM UserDefDetail WHERE cid = ? ORDER BY TableName", {id}) +
                            rows("SELECT * FROM Userdefine WHERE cId = ? ORDER BY cValue", {id}) +
                            rows("SELECT * FROM AA_ExtendDefineMakeVouch_Set WHERE cextendfield = ? "
                                 "OR ctargetfield = ? ORDER BY guid",
                                 {column, column});
        for (const QString& t : kTables) {
            const QString companion = t + "_extradefine";
            const QStringList type = rows("SELECT type FROM pragma_table_info(?) WHERE name = ?", {companion, column});
            state << companion + ": " + type.join(',');
            if (!type.isEmpty())  // with the rows equal to their upper case under the column's collation
                state += rows(QStringLiteral("SELECT ID, %1, %1 = upper(%1) FROM %2 ORDER BY ID")
                                  .arg(host::sqlIdent(column), host::sqlIdent(companion)));
        }
        return state;
    }
    QList<ChangeEntry> changes(const QString& item = {}) {
        QList<ChangeEntry> out;
        QString error;
        EXPECT_TRUE(platform::server::readChanges(account.db(), item, &out, &error)) << error.toStdString();
        return out;
    }
    bool undo(int change, QString* error) { return srv().writer()->undo(change, error); }
};

TEST_F(ChangeHistory, ChangesAreRecordedAndUndoneInOrderUntilTheItemIsAsBefore) {
    for (const QString& t : kTables)
        ASSERT_TRUE(account.db().exec(QStringLiteral("INSERT OR REPLACE INTO %1(ID, cHDefine3) VALUES (7, '海运'), (8, 'Air')")
                                          .arg(host::sqlIdent(t + "_extradefine"))));
    // Two items under the item and a layout field bound to it, which its delete clears.
    ASSERT_TRUE(account.db().exec("UPDATE UserDef_Base SET cParentID = '1003' WHERE cId IN ('1002', '1004')"));
    ASSERT_TRUE(account.db().exec("INSERT INTO DocLayoutField VALUES ('SA02', 'H', 5, 'cHDefine3', '运输方式', '1003')"));
    const auto links = [&] {
        return rows("SELECT * FROM UserDef_Base WHERE cId IN ('1002', '1004') ORDER BY cId") +
               rows("SELECT * FROM DocLayoutField ORDER BY cLayoutId, cPart, cFieldName");
    };
    const QStringList linked = links();
    const QStringList original = itemState(kItem, "cHDefine3");
    QString error;
    testsupport::ItemDoc added = testsupport::newHeaderItem("1005", 5, {"SA_OrderHead"});
    testsupport::ItemDoc renamed = added;
    renamed.isNew = false;
    renamed["cItemName"] = QStringLiteral("新名称");
    renamed.kept = renamed.added;
    renamed.added.clear();
    const QString valueDoc = QStringLiteral("<Userdefine><cId>1003</cId><cValue>公路</cValue><sValue>汽运</sValue></Userdefine>");
    struct Step {
        std::function<bool()> write;
        const char* operation;
        const char* item;
        const char* line;  // a line the diff shows
    };
    const QList<Step> steps = {
        {[&] { return srv().Add(added.xml(), "Userdef_base", &error); }, "Add", "1005",
         "+ UserDef_Base [1005]: "},
        {[&] { return srv().Modify(renamed.xml(), "Userdef", &error); }, "Modify", "1005",
         "  UserDef_Base [1005] cItemName: \"新项目\" -> \"新名称\""},
        {[&] { return srv().Modify(valueDoc, "Userdefine", &error); }, "Modify", "1003",
         "+ Userdefine [1003, 公路]: "},
        {[&] { return srv().Delete(kItem, "cid", "Userdef_base", &error); }, "Delete", "1003",
         "  column cHDefine3 on PU_ArrivalHead: nvarchar(20) COLLATE NOCASE -> (none)"},
    };
    QStringList afterValue;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.line);
        if (QString(step.operation) == "Delete") afterValue = itemState(kItem, "cHDefine3");
        ASSERT_TRUE(step.write()) << error.toStdString();
        const ChangeEntry last = changes().last();
        EXPECT_EQ(last.operation, step.operation);
        EXPECT_EQ(last.itemId, step.item);
        EXPECT_EQ(last.user + "/" + last.origin, "demo/FrmZAM");
        const QStringList diff = platform::server::describeChange(last.before, last.after);
        EXPECT_TRUE(std::any_of(diff.begin(), diff.end(), [&](const QString& l) { return l.startsWith(step.line); }))
            << diff.join('\n').toStdString();
    }
    EXPECT_EQ(itemState(kItem, "cHDefine3").filter("_extradefine").size(), 3);  // no column, no values left
    const QList<ChangeEntry> ofItem = changes(kItem);
    ASSERT_EQ(ofItem.size(), 2);
    EXPECT_EQ(ofItem.last().keptValues, 2 * 3);
    const QStringList deleted = platform::server::describeChange(ofItem.last().before, ofItem.last().after);
    EXPECT_TRUE(deleted.contains("  UserDef_Base [1004] cParentID: \"1003\" -> NULL")) << deleted.join('\n').toStdString();
    EXPECT_EQ(rows("SELECT count(*) FROM UserDef_Base WHERE cParentID = '1003' UNION ALL "
                   "SELECT count(*) FROM DocLayoutField WHERE cItemId = '1003'"),
              QStringList({"0", "0"}));

    // The value change rests under the delete: refused, naming it; nothing changes.
    const testsupport::DbSnapshot before = testsupport::DbSnapshot::take(account.db());
    EXPECT_FALSE(undo(ofItem.first().change, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("the later change %1 (Delete of Userdef_base by demo").arg(ofItem.last().change)))
        << error.toStdString();
    EXPECT_TRUE(testsupport::sameAs(before, account.db()));
    // A child given another parent since stands in the way of the delete's undo.
    ASSERT_TRUE(account.db().exec("UPDATE UserDef_Base SET cParentID = '1001' WHERE cId = '1004'"));
    EXPECT_FALSE(undo(ofItem.last().change, &error));
    EXPECT_TRUE(error.contains("were changed since")) << error.toStdString();
    ASSERT_TRUE(account.db().exec("UPDATE UserDef_Base SET cParentID = NULL WHERE cId = '1004'"));

    // Undone last first: the item, its columns on every table and their values come back, its
    // children under it and the layout fields bound to it again.
    ASSERT_TRUE(undo(ofItem.last().change, &error)) << error.toStdString();
    EXPECT_EQ(itemState(kItem, "cHDefine3"), afterValue);
    EXPECT_EQ(links(), linked);
    ASSERT_TRUE(undo(ofItem.first().change, &error)) << error.toStdString();
    EXPECT_EQ(itemState(kItem, "cHDefine3"), original);
    const ChangeEntry undoLast = changes().last();
    EXPECT_EQ(undoLast.operation, "Undo");
    EXPECT_EQ(undoLast.undoOf, ofItem.first().change);
    EXPECT_FALSE(undo(ofItem.first().change, &error));
    EXPECT_TRUE(error.contains("has been undone already")) << error.toStdString();
    EXPECT_FALSE(undo(undoLast.change, &error));
    EXPECT_TRUE(error.contains("is itself the undo")) << error.toStdString();

    // The undo of an added item takes it, its names and its column away again.
    const QList<ChangeEntry> ofNew = changes("1005");
    ASSERT_TRUE(undo(ofNew.last().change, &error)) << error.toStdString();
    ASSERT_TRUE(undo(ofNew.first().change, &error)) << error.toStdString();
    EXPECT_EQ(rows("SELECT count(*) FROM UserDef_Base WHERE cId = '1005'"), QStringList{"0"});
    EXPECT_EQ(rows("SELECT count(*) FROM pragma_table_info('SA_OrderHead_extradefine') WHERE name = 'cHDefine5'"),
              QStringList{"0"});
}

TEST_F(ChangeHistory, AFailureAtAnyStatementOfAnUndoLeavesTheAccountAsItWas) {
    QString error;
    ASSERT_TRUE(account.db().exec("INSERT OR REPLACE INTO SA_InvoiceHead_extradefine(ID, cHDefine3) VALUES (3, '铁路')"));
    ASSERT_TRUE(account.db().exec("UPDATE UserDef_Base SET cParentID = '1003' WHERE cId = '1004'"));
    ASSERT_TRUE(account.db().exec("INSERT INTO DocLayoutField VALUES ('SA02', 'H', 5, 'cHDefine3', '运输方式', '1003')"));
    const auto state = [&] {
        return itemState(kItem, "cHDefine3") + rows("SELECT cId FROM UserDef_Base WHERE cParentID = '1003' UNION ALL "
                                                    "SELECT cFieldName FROM DocLayoutField WHERE cItemId = '1003'");
    };
    const QStringList original = state();
    ASSERT_TRUE(srv().Delete(kItem, "cid", "Userdef_base", &error)) << error.toStdString();
    const int change = changes().last().change;
    int failures = 0;
    EXPECT_TRUE(testsupport::failAtEachStatement(account, [&](QString* e) { return undo(change, e); }, &failures));
    EXPECT_GT(failures, 10);
    EXPECT_EQ(state(), original);
}

TEST_F(ChangeHistory, ValuesOfAnyTextAreRecordedAndUndoneExactly) {
    const QString values = QStringLiteral("SELECT * FROM Userdefine WHERE cId = ? ORDER BY cValue");
    const QStringList before = rows(values, {kItem});
    QString error;
    for (const QString& text : testsupport::hostileTexts(120)) {
        SCOPED_TRACE(testsupport::traceText(text));
        const QString doc = "<Userdefine><cId>1003</cId><cValue>" + host::xmlText(text) + "</cValue><cAlias>" +
                            host::xmlText(text) + "</cAlias></Userdefine>";
        ASSERT_TRUE(srv().Add(doc, "Userdefine", &error)) << error.toStdString();
        const ChangeEntry added = changes().last();
        EXPECT_EQ(added.after.value("Userdefine").toArray().first().toObject().value("cAlias").toString(), text);
        ASSERT_TRUE(undo(added.change, &error)) << error.toStdString();
    }
    EXPECT_EQ(rows(values, {kItem}), before);
}

}  // namespace
