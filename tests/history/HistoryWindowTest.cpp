// The history window over the catalogue: a deleted item is undone with the window's button, a
// change a later one rests on is refused with the reason, and the account holds the item again;
// on either kind of account.
#include <QPlainTextEdit>
#include <QPushButton>

#include "history/FrmHistory.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

using testsupport::TestAccount;

class HistoryWindow : public testsupport::SessionTest,
                      public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    HistoryWindow() : SessionTest(GetParam()) {}
};

TEST_P(HistoryWindow, ADeletedItemComesBackWithItsValuesAndAnEarlierChangeWaitsForIt) {
    const auto one = [&](const char* sql) {
        return session.account.rows(QString::fromUtf8(sql)).join(u',');
    };
    ASSERT_TRUE(session.account.conn().exec(
        R"(DELETE FROM "SA_DispatchHead_extradefine" WHERE "ID" = 5; )"
        R"(INSERT INTO "SA_DispatchHead_extradefine"("ID", "cHDefine3") VALUES (5, '铁路'))"));
    QString error;
    ASSERT_TRUE(session.srv->Modify("<Userdefine><cId>1003</cId><cValue>公路</cValue><sValue>汽运</sValue></Userdefine>",
                                    "Userdefine", &error))
        << error.toStdString();
    auto w = cattest::openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    w->grid()->setCurrentRow(cattest::rowOfId(*w, "1003"));
    session.prompter->setDefaultAnswer(host::MsgAnswer::Yes);
    w->RunCommand(QStringLiteral("Delete"));
    ASSERT_EQ(one(R"(SELECT count(*) FROM "UserDef_Base" WHERE "cId" = '1003')"), "0");

    QStringList states, diffs;
    bool undoAfterUndo = true;
    session.windows.onModal = [&](QDialog* dialog) {
        auto* window = qobject_cast<history::FrmHistory*>(dialog);
        auto* grid = window->findChild<controls::Grid*>(QStringLiteral("GrdChanges"));
        auto* undo = window->findChild<QPushButton*>(QStringLiteral("CmdUndo"));
        auto* diff = window->findChild<QPlainTextEdit*>(QStringLiteral("TxtDiff"));
        EXPECT_EQ(grid->rows(), 3);  // the value change and the deletion, under the header
        for (int row : {1, 2}) {     // the earlier one first: refused; then the deletion
            grid->setCurrentRow(row);
            diffs << diff->toPlainText();
            QTest::mouseClick(undo, Qt::LeftButton);
        }
        grid->setCurrentRow(2);
        states << grid->text(1, 7) << grid->text(2, 7) << grid->text(3, 4);
        undoAfterUndo = undo->isEnabled();
        return int(QDialog::Accepted);
    };
    w->grid()->setCurrentRow(0);  // no item chosen: the whole account
    w->RunCommand(QStringLiteral("HistoryAll"));
    ASSERT_EQ(session.windows.shown.last(), "history::FrmHistory");

    EXPECT_TRUE(diffs.value(0).contains("+ Userdefine [1003, 公路]")) << diffs.value(0).toStdString();
    EXPECT_TRUE(diffs.value(1).contains("column cHDefine3 on SA_DispatchHead: nvarchar(20) COLLATE NOCASE -> (none)"));
    const QStringList asked = session.prompter->askedTexts();
    EXPECT_TRUE(asked.filter("of the same item depends on it").size() == 1) << asked.join('\n').toStdString();
    EXPECT_EQ(states.value(0), "");
    EXPECT_TRUE(states.value(1).startsWith("已由")) << states.value(1).toStdString();
    EXPECT_EQ(states.value(2), "撤销");  // the undo, itself a change
    EXPECT_FALSE(undoAfterUndo);
    EXPECT_EQ(one(R"(SELECT "cItemName" FROM "UserDef_Base" WHERE "cId" = '1003')"), "运输方式");
    EXPECT_EQ(one(R"(SELECT "cHDefine3" FROM "SA_DispatchHead_extradefine" WHERE "ID" = 5)"),
              "铁路");
    QStringList values =
        session.account.rows(R"(SELECT "cValue" FROM "Userdefine" WHERE "cId" = '1003')");
    values.sort();
    EXPECT_EQ(values.join(u','), "公路,海运,空运,铁路");
    EXPECT_TRUE(w->grid()->rows() > 1 && cattest::rowOfId(*w, "1003") > 0);  // the list read it again
}

INSTANTIATE_TEST_SUITE_P(Kinds, HistoryWindow,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) {
                             return std::string(testsupport::kindName(info.param));
                         });

}  // namespace
