// The rule editor as the administrator uses it: choosing the pair through the look-ups, the
// shared items, the existing rules of a pair, and what a save checks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include "carryover/CarryOverSql.h"
#include "carryover/FrmManage.h"
#include "controls/Grid.h"
#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "tests/support/TestSession.h"

using namespace carryover;
using testsupport::SessionTest;
using testsupport::TestAccount;

namespace {

class RuleEditor : public SessionTest {
protected:
    explicit RuleEditor(TestAccount::Kind kind = TestAccount::Kind::Embedded) : SessionTest(kind) {}
    // Whatever the user does, no cell editor outlives its place in the grid.
    static inline QStringList warnings;
    QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    void TearDown() override {
        qInstallMessageHandler(previous);
        EXPECT_TRUE(warnings.filter("does not belong to this view").isEmpty()) << warnings.join('\n').toStdString();
        warnings.clear();
    }
    // Chooses the row of a chooser's look-up whose shown texts hold `text`; the number of rows
    // the look-up listed goes to listed.
    static void choose(controls::RefEdit* chooser, const QString& text, int* listed = nullptr) {
        chooser->setLookupRunner([&](controls::LookupWindow& lookup) {
            if (listed) *listed = lookup.visibleRowCount();
            lookup.setFilterText(text);
            lookup.choose();
            return lookup.choice();
        });
        chooser->lookup();
    }
    QStringList column(int col) const {
        QStringList out;
        for (int r = 1; r < editor.grid()->rows(); ++r) out << editor.grid()->text(r, col);
        return out;
    }
    // Path, carry flag, description and type of the rules of a source table for an item.
    QStringList rules(const char* source, const char* column) {
        return session.account.rows(
            R"(SELECT "cMakeVouchID", btrans, cdesc, ctype FROM "AA_ExtendDefineMakeVouch_Set" )"
            R"(WHERE "cTableName" = ? AND cextendfield = ?)",
            {QString::fromUtf8(source), QString::fromUtf8(column)});
    }
    void clickCell(int r, int col) {
        const QRect cell = editor.grid()->visualRect(editor.grid()->model()->index(r - 1, col));
        QTest::mouseClick(editor.grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // The user opens a row's carry cell with F2, drops its list down and picks a text.
    void pickCarry(int r, const QString& text) {
        clickCell(r, FrmManage::kColTrans);
        QTest::keyClick(editor.grid(), Qt::Key_F2);
        auto* list = qobject_cast<QComboBox*>(QApplication::focusWidget());
        ASSERT_NE(list, nullptr);
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->view()->window()));
        QTest::keyClick(list->view(), list->findText(text) == 0 ? Qt::Key_Home : Qt::Key_End);
        QTest::keyClick(list->view(), Qt::Key_Return);
    }
    // The user types over a row's description cell; the cell editor stays open and has focus.
    void typeDesc(int r, const QString& text) {
        clickCell(r, FrmManage::kColDesc);
        QTest::keyClicks(editor.grid(), text.left(1));
        ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
    }
    void showEditor() {
        editor.resize(900, 500);
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    }
    QString no() { return session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.no"); }
    QString yes() { return session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.yes"); }
    FrmManage editor;
};

// On either kind of account: the rules saved are read back on the account's own connection.
class RuleEditorOnAccounts : public RuleEditor, public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    RuleEditorOnAccounts() : RuleEditor(GetParam()) {}
};

TEST_P(RuleEditorOnAccounts, AddingListsTheItemsSharedByTheChosenPairAndSavesOnlyANewPair) {
    const struct {
        const char* source;  // typed into the source look-up's filter
        const char* sourceTable;
        const char* target;  // typed into the target look-up's filter
        int targets;         // the target look-up's rows
        QStringList items;
        bool hasRules;
    } cases[] = {
        // A header source carries to the header tables of its pairs.
        {"销售订单主表", "SA_OrderHead", "", 1, {"cHDefine1", "cHDefine2"}, true},
        // A source of both kinds is offered targets of both kinds.
        {"合同", "CM_Contract", "销售订单主表", 2, {"cHDefine1"}, true},
        {"调整", "PR_AdjustHead", "", 1, {"cHDefine1"}, false},
    };
    editor.Add();
    showEditor();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        session.prompter->clear();
        int targets = 0;
        choose(editor.sourceChooser(), QString::fromUtf8(c.source));
        EXPECT_EQ(editor.sourceTable(), QLatin1String(c.sourceTable));
        choose(editor.targetChooser(), QString::fromUtf8(c.target), &targets);
        EXPECT_EQ(targets, c.targets);
        EXPECT_EQ(column(FrmManage::kColField), c.items);
        const QStringList before = rules(c.sourceTable, "cHDefine1");
        // Carried, described in the cell; Enter in the description cell saves.
        pickCarry(1, yes());
        typeDesc(1, QStringLiteral("<carried> & 'quoted'"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (c.hasRules) {  // adding them again is refused with the service's reason
            EXPECT_TRUE(session.prompter->askedTexts().value(0).contains("cHDefine1"));
            EXPECT_EQ(editor.editMode(), 1);
            EXPECT_EQ(rules(c.sourceTable, "cHDefine1"), before);
            continue;
        }
        EXPECT_TRUE(session.prompter->asked().isEmpty());
        const QStringList added = rules(c.sourceTable, "cHDefine1");
        ASSERT_EQ(added.size(), 1);
        const QString path = added[0].section('|', 0, 0);
        EXPECT_EQ(added[0], path + "|true|<carried> & 'quoted'|H");
        EXPECT_FALSE(path.isEmpty());
        // The editor now modifies the pair's rules: a second save changes them in place.
        EXPECT_EQ(editor.editMode(), 2);
        pickCarry(1, no());
        typeDesc(1, QStringLiteral("changed"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(editor.grid(), Qt::Key_F6);
        EXPECT_EQ(rules(c.sourceTable, "cHDefine1"), QStringList{path + "|false|changed|H"});
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, RuleEditorOnAccounts,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

TEST_F(RuleEditor, BeforeASourceIsChosenTheTargetLookUpIsRefusedWithItsReason) {
    editor.Add();
    editor.Load();
    editor.targetChooser()->setEnabled(true);
    int listed = -1;
    choose(editor.targetChooser(), QString(), &listed);
    EXPECT_EQ(listed, -1);  // the look-up stayed shut
    EXPECT_EQ(session.prompter->askedTexts(),
              QStringList{session.pub->GetResString("Q9.AA.ARCHIVE.FIELD.firsttochoosesourcetable")});
}

TEST_F(RuleEditor, ModifyingShowsThePairsRulesAndSavesWhatTheUserTyped) {
    host::RecordSetPtr pair = session.srv->OpenX(RulesOfPairSql("SA_OrderHead", "SA_DispatchHead"));
    ASSERT_TRUE(pair);
    editor.init(pair, 1);
    showEditor();
    EXPECT_EQ(editor.editMode(), 2);
    EXPECT_EQ(editor.sourceChooser()->text(), QStringLiteral("销售订单主表"));
    EXPECT_EQ(column(FrmManage::kColField), QStringList({"cHDefine1", "cHDefine2"}));
    EXPECT_EQ(column(FrmManage::kColTrans), QStringList({session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.yes"), no()}));
    EXPECT_EQ(column(FrmManage::kColDesc),
              QStringList({QStringLiteral("项目编号随订单带到发货单"), QStringLiteral("审批日期不带入")}));
    EXPECT_FALSE(editor.saveEnabled());
    EXPECT_TRUE(session.pub->isSaveRs(&editor));  // the close query: nothing changed, nothing asked
    EXPECT_TRUE(session.prompter->asked().isEmpty());

    // Row 2 gets a new description, typed in its cell; F6 in the open cell saves it.
    typeDesc(2, QStringLiteral("<with order> & 'all'"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine2"), QStringList({"SA01|false|<with order> & 'all'|H"}));

    // Enter in the last column saves too: row 2 now carried, row 1 no longer. The titles that
    // take input show the must-input colour.
    pickCarry(2, yes());
    EXPECT_TRUE(editor.saveEnabled());  // a choice is a change at once
    pickCarry(1, no());
    clickCell(1, FrmManage::kColDesc);
    QTest::keyClick(editor.grid(), Qt::Key_Return);
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine1"), QStringList({"SA01|false|项目编号随订单带到发货单|H"}));
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine2"), QStringList({"SA01|true|<with order> & 'all'|H"}));
    for (int c = FrmManage::kColName; c <= FrmManage::kColGuid; ++c)
        EXPECT_EQ(editor.grid()->model()->headerData(c, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
                  session.pub->MustInputColor()) << c;

    session.prompter->clear();
    // A description no document can carry is refused naming its character; nothing is written
    // and the cell keeps it.
    const QString lone = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
    QGuiApplication::clipboard()->setText(lone);
    clickCell(2, FrmManage::kColDesc);
    QTest::keyClick(editor.grid(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_EQ(session.prompter->askedTexts(),
              QStringList{session.pub->GetResFormatString("Q9.AA.ARCHIVE.COMMON.xmltext_unfit",
                                                          {QStringLiteral("x\uFFFDy"), "U+D800"})});
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine2"), QStringList({"SA01|true|<with order> & 'all'|H"}));
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine1"), QStringList({"SA01|false|项目编号随订单带到发货单|H"}));
    EXPECT_EQ(editor.grid()->text(2, FrmManage::kColDesc), lone);

    // Refilling the grid and closing the window with a cell still open: what the open cell
    // holds is dropped with the rows it was typed in, or offered for saving on closing.
    typeDesc(1, QStringLiteral("dropped"));
    choose(editor.sourceChooser(), QStringLiteral("销售订单主表"));
    EXPECT_EQ(column(FrmManage::kColDesc), QStringList({QString(), QString()}));
    typeDesc(1, QStringLiteral("kept on closing"));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine1"), QStringList({"SA01|false|kept on closing|H"}));
}

TEST_F(RuleEditor, OnlyTablesChosenInTheLookUpsAreSaved) {
    editor.Add();
    showEditor();
    choose(editor.sourceChooser(), QStringLiteral("调整"));
    choose(editor.targetChooser(), QString());
    ASSERT_EQ(editor.grid()->rows(), 2);
    // Typing over the source names no table: the save is refused.
    QTest::keyClicks(editor.sourceChooser()->lineEdit(), QStringLiteral("x"));
    editor.Operating("SaveRs");
    EXPECT_EQ(session.prompter->askedTexts().value(0),
              session.pub->GetResString("Q9.AA.ARCHIVE.FIELD.cannotnull"));
    EXPECT_TRUE(rules("PR_AdjustHead", "cHDefine1").isEmpty());
    // Another source drops the earlier source's target and its items.
    choose(editor.sourceChooser(), QStringLiteral("销售订单主表"));
    EXPECT_EQ(editor.targetChooser()->text(), QString());
    EXPECT_EQ(editor.grid()->rows(), 1);
}

}  // namespace
