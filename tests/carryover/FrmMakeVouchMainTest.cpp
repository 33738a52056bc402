// The batch setting as an administrator uses it on the demo account: search, the matrix of
// ticked, unticked and grey cells, editing, saving, the filters and the tab switch.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QFileDialog>
#include <QTabBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "carryover/FrmMakeVouchMain.h"
#include "carryover/MakeVouchGrid.h"
#include "carryover/RuleRecord.h"
#include "common/XmlFile.h"
#include "controls/Grid.h"
#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "tests/controls/PrintFiles.h"
#include "tests/support/DbSnapshot.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestSession.h"

using namespace carryover;
using testsupport::DbSnapshot;
using testsupport::SessionTest;
using testsupport::TestAccount;

namespace {

class BatchSetting : public SessionTest {
protected:
    explicit BatchSetting(TestAccount::Kind kind = TestAccount::Kind::Embedded) : SessionTest(kind) {}
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        userdef::SetComponentFolder(folder.path());
        w = std::make_unique<FrmMakeVouchMain>();
        w->resize(1400, 700);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override { userdef::SetComponentFolder({}); }

    controls::Grid* g(int tab = FrmMakeVouchMain::HeaderTab) const { return w->grid(tab); }
    // The data row of a pair; 0 when the grid has none.
    int rowOf(const char* source, const char* target, int tab = FrmMakeVouchMain::HeaderTab) const {
        for (int r = 1; r < g(tab)->rows(); ++r)
            if (g(tab)->text(r, kColSource) == QLatin1String(source) &&
                g(tab)->text(r, kColTarget) == QLatin1String(target))
                return r;
        return 0;
    }
    int colOf(const char* item, int tab = FrmMakeVouchMain::HeaderTab) const {
        return int(w->itemNames(tab).indexOf(QString::fromLatin1(item)));
    }
    // A cell as shown: grey ("-"), ticked ("x") or not (" ").
    QString mark(const char* source, const char* target, const char* item, int tab) const {
        const int r = rowOf(source, target, tab), c = colOf(item, tab);
        if (r <= 0 || c < 0) return QStringLiteral("<no cell>");
        return IsUnavailable(*g(tab), r, c) ? "-" : ticked(r, c, tab) ? "x" : " ";
    }
    bool ticked(int r, int c, int tab = FrmMakeVouchMain::HeaderTab) const {
        return g(tab)->checkState(r, c) == Qt::Checked;
    }
    // The user clicks a cell (beside its box), and with `space` presses Space to flip the box.
    void click(int r, int c, int tab = FrmMakeVouchMain::HeaderTab, bool space = true) {
        const QRect cell = g(tab)->visualRect(g(tab)->model()->index(r - 1, c));
        QTest::mouseClick(g(tab)->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 2, cell.center().y()));
        if (space) QTest::keyClick(g(tab), Qt::Key_Space);
    }
    void search() { QTest::mouseClick(w->findChild<QPushButton*>("BtnSelect"), Qt::LeftButton); }
    void clickTab(int tab) {
        QTest::mouseClick(w->tabStrip(), Qt::LeftButton, {}, w->tabStrip()->tabRect(tab).center());
    }
    bool exec(const char* sql) { return session.account.conn().exec(QString::fromLatin1(sql)); }
    // Carry flag and description of the demo rule whose guid ends so, "btrans|cdesc".
    QString rule(const char* guidEnd) {
        return session.account
            .rows(R"(SELECT btrans, cdesc FROM "AA_ExtendDefineMakeVouch_Set" WHERE guid = ?)",
                  {QStringLiteral("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a") + guidEnd})
            .value(0, QStringLiteral("<none>"));
    }
    QTemporaryDir folder;
    std::unique_ptr<FrmMakeVouchMain> w;
};

TEST_F(BatchSetting, TheMatrixShowsCarryingRulesTickedOthersUntickedAndTheRestGrey) {
    // Each tab lists its pairs when first shown, and keeps them (and the row the user was on)
    // across tab switches until a filter changes.
    EXPECT_EQ(w->windowTitle(),
              session.pub->GetResString("Q9.AA.ARCHIVE.USERDEF.FrmMakeVouchMain.Caption"));
    EXPECT_EQ(w->itemNames(0).mid(kFirstItemCol),
              QStringList({"cHDefine1", "cHDefine2", "cHDefine3", "cHDefine4"}));
    EXPECT_EQ(g()->rows(), 7);  // six header pairs
    EXPECT_EQ(g(FrmMakeVouchMain::BodyTab)->rows(), 1);
    g()->setCurrentRow(4);
    clickTab(FrmMakeVouchMain::BodyTab);
    const int bodyRows = g(FrmMakeVouchMain::BodyTab)->rows();
    EXPECT_GT(bodyRows, 1);
    clickTab(FrmMakeVouchMain::HeaderTab);
    EXPECT_EQ(g()->currentRow(), 4);
    w->sourceChooser()->setText(QStringLiteral("无此单据"));
    clickTab(FrmMakeVouchMain::BodyTab);
    EXPECT_EQ(g(FrmMakeVouchMain::BodyTab)->rows(), 1);
    // Nothing listed: Modify stays off, printing says there is nothing.
    w->Operating("modify");
    EXPECT_EQ(w->editMode(), FrmMakeVouchMain::Browse);
    w->Operating("Print");
    EXPECT_EQ(session.prompter->askedTexts().value(0),
              session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.nodata"));
    w->sourceChooser()->setText(QString());
    clickTab(FrmMakeVouchMain::HeaderTab);
    ASSERT_EQ(g()->rows(), 7);  // the header pairs again
    // Exported to a workbook: row numbers as numbers, table names as texts.
    const QString xlsx = folder.filePath(QStringLiteral("pairs.xlsx"));
    session.windows.onModal = [&xlsx](QDialog* d) {
        qobject_cast<QFileDialog*>(d)->selectFile(xlsx);
        return int(QDialog::Accepted);
    };
    w->Operating("savefile");
    const QStringList exported = printtest::xlsxRows(xlsx).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(exported.size(), 7);
    for (int r = 1; r < 7; ++r) EXPECT_TRUE(exported[r].startsWith(QStringLiteral("%1\t'").arg(r))) << exported[r].toStdString();
    clickTab(FrmMakeVouchMain::BodyTab);
    EXPECT_EQ(g(FrmMakeVouchMain::BodyTab)->rows(), bodyRows);
    const struct {
        int tab;
        const char *source, *target, *item, *mark;
    } cells[] = {
        {0, "SA_OrderHead", "SA_DispatchHead", "cHDefine1", "x"},
        {0, "SA_OrderHead", "SA_DispatchHead", "cHDefine2", " "},  // a rule that does not carry
        {0, "SA_OrderHead", "SA_DispatchHead", "cHDefine3", "-"},
        {0, "PU_OrderHead", "PU_ArrivalHead", "cHDefine1", "-"},  // a pair without rules
        {0, "PU_OrderHead", "PU_ArrivalHead", "cHDefine4", "-"},
        // The rule written for a source of both kinds ("B,H") belongs to neither tab.
        {0, "CM_Contract", "SA_OrderHead", "cHDefine1", "-"},
        {1, "CM_Contract", "SA_OrderBody", "cBDefine1", "-"},
        {1, "SA_OrderBody", "SA_DispatchBody", "cBDefine1", "x"},
        {1, "SA_OrderBody", "SA_DispatchBody", "cBDefine3", " "},
    };
    for (const auto& c : cells)
        EXPECT_EQ(mark(c.source, c.target, c.item, c.tab), QLatin1String(c.mark)) << c.source << " " << c.item;
}

TEST_F(BatchSetting, CellsChangeOnlyInEditModeAndNeitherSearchNorClicksLoseOrInventEdits) {
    search();
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    const int c2 = colOf("cHDefine2"), c3 = colOf("cHDefine3");
    click(order, c2);  // browsing: refused
    EXPECT_FALSE(ticked(order, c2));

    w->Operating("Modify");
    click(order, c3);  // grey: refused
    EXPECT_FALSE(ticked(order, c3));
    EXPECT_FALSE(w->changed());  // nothing changed, nothing to ask about
    click(order, c2);
    EXPECT_TRUE(ticked(order, c2));
    search();  // the rows being edited are not searched away
    w->Operating("refresh");
    EXPECT_TRUE(ticked(order, c2));

    w->Operating("Back");  // discards
    EXPECT_FALSE(ticked(rowOf("SA_OrderHead", "SA_DispatchHead"), c2));
    EXPECT_EQ(rule("0002"), QStringLiteral("false|审批日期不带入"));

    // Escape closes as Exit does, asking only about a change: No closes without saving.
    w->Operating("Modify");
    click(order, c2);
    session.prompter->queueAnswer(host::MsgAnswer::No);
    QTest::keyClick(g(), Qt::Key_Escape);
    EXPECT_EQ(session.prompter->askedTexts(),
              QStringList{session.pub->GetResString("Q9.AAARCHIVE.COMMON.savearch_ornot")});
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(rule("0002"), QStringLiteral("false|审批日期不带入"));

    // Clicks that change no box leave nothing to save: closing asks nothing.
    w->show();
    session.prompter->clear();
    w->Operating("Back");
    w->Operating("Modify");
    click(order, c3);
    click(order, kColSourceDesc, FrmMakeVouchMain::HeaderTab, false);
    click(order, c2, FrmMakeVouchMain::HeaderTab, false);
    QTest::keyClick(g(), Qt::Key_Escape);
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_FALSE(w->isVisible());
}

// On either kind of account: the ticks saved from the matrix are read back on its own connection.
class BatchSettingOnAccounts : public BatchSetting,
                               public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    BatchSettingOnAccounts() : BatchSetting(GetParam()) {}
};

TEST_P(BatchSettingOnAccounts, SavingTicksKeepsTheRulesDescriptionsAndAFailedSaveKeepsTheUserOnTheTab) {
    search();
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    const int invoice = rowOf("SA_DispatchHead", "SA_InvoiceHead");
    w->Operating("modify");
    click(order, colOf("cHDefine2"));
    click(invoice, colOf("cHDefine3"));  // clears a carrying rule
    // The account takes no rule changes while the carry flag's column is missing.
    ASSERT_TRUE(exec(R"(ALTER TABLE "AA_ExtendDefineMakeVouch_Set" RENAME COLUMN btrans TO btrans_gone)"));

    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    clickTab(FrmMakeVouchMain::BodyTab);
    ASSERT_EQ(session.prompter->asked().size(), 2);  // the question, then why the save failed
    EXPECT_EQ(session.prompter->asked()[0].text, session.pub->GetResString("Q9.AA.Q9RowAuthocx0326"));
    EXPECT_TRUE(session.prompter->asked()[1].text.contains("btrans"));
    EXPECT_EQ(w->tabStrip()->currentIndex(), FrmMakeVouchMain::HeaderTab);
    EXPECT_TRUE(ticked(order, colOf("cHDefine2")));

    ASSERT_TRUE(exec(R"(ALTER TABLE "AA_ExtendDefineMakeVouch_Set" RENAME COLUMN btrans_gone TO btrans)"));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    clickTab(FrmMakeVouchMain::BodyTab);
    EXPECT_EQ(w->currentTab(), FrmMakeVouchMain::BodyTab);
    // Only the marked rows are sent (column, source, carry flag), each with its path, no guid.
    QFile debugCopy(QDir(folder.path()).filePath(kRuleDebugFile));
    ASSERT_TRUE(debugCopy.open(QIODevice::ReadOnly));
    const QString sent = QString::fromUtf8(debugCopy.readAll());
    QStringList cells;
    static const QRegularExpression record(
        "<cMakeVouchID>[^<]+</cMakeVouchID>.*?<cextendfield>(.*?)</.*?<cTableName>(.*?)</.*?<btrans>(.)</");
    for (auto m = record.globalMatch(sent); m.hasNext();) cells << m.next().capturedTexts().mid(1).join('/');
    EXPECT_EQ(cells, QStringList({"chdefine1/SA_DispatchHead/1", "chdefine1/SA_OrderHead/1",
                                  "chdefine2/SA_OrderHead/1", "chdefine3/SA_DispatchHead/0"}));
    EXPECT_FALSE(sent.contains("<guid>"));
    // Changed in place, each with the description the rule editor stored.
    EXPECT_EQ(session.account.rows(R"(SELECT count(*) FROM "AA_ExtendDefineMakeVouch_Set")"), QStringList{"10"});
    EXPECT_EQ(rule("0001"), QStringLiteral("true|项目编号随订单带到发货单"));
    EXPECT_EQ(rule("0002"), QStringLiteral("true|审批日期不带入"));
    EXPECT_EQ(rule("0004"), QStringLiteral("false|运输方式开票沿用"));

    // On the body tab, "No" discards.
    search();
    const int body = rowOf("SA_OrderBody", "SA_DispatchBody", 1);
    w->Operating("modify");
    click(body, colOf("cBDefine3", 1), FrmMakeVouchMain::BodyTab);
    session.prompter->queueAnswer(host::MsgAnswer::No);
    clickTab(FrmMakeVouchMain::HeaderTab);
    EXPECT_EQ(w->currentTab(), FrmMakeVouchMain::HeaderTab);
    EXPECT_EQ(rule("0006"), QStringLiteral("false|"));
    const int asked = int(session.prompter->asked().size());
    clickTab(FrmMakeVouchMain::BodyTab);  // nothing changed: no question
    EXPECT_EQ(session.prompter->asked().size(), asked);
}

TEST_P(BatchSettingOnAccounts, FiltersNarrowPairsAndRulesAndHostileTextsAreOnlySearchedFor) {
    // A description typed, blanks around it.
    w->sourceChooser()->setText(QStringLiteral(" 发货单 "));
    w->Operating("refresh");
    ASSERT_EQ(g()->rows(), 2);
    EXPECT_EQ(g()->text(1, kColTarget), QStringLiteral("SA_InvoiceHead"));
    EXPECT_TRUE(ticked(1, colOf("cHDefine3")));
    // A source chosen in the look-up, which lists the sources of some pair.
    int listed = 0;
    w->sourceChooser()->setLookupRunner([&](controls::LookupWindow& lookup) {
        listed = lookup.visibleRowCount();
        lookup.setFilterText(QStringLiteral("销售订单表头"));
        lookup.choose();
        return lookup.choice();
    });
    w->sourceChooser()->lookup();
    EXPECT_EQ(listed, 10);
    EXPECT_EQ(w->sourceChooser()->text(), QStringLiteral("销售订单表头"));
    w->Operating("refresh");
    ASSERT_EQ(g()->rows(), 2);
    EXPECT_EQ(g()->text(1, kColTarget), QStringLiteral("SA_DispatchHead"));

    const QString rulesSql = QStringLiteral(R"(SELECT * FROM "AA_ExtendDefineMakeVouch_Set" ORDER BY guid)");
    const QStringList before = session.account.rows(rulesSql);
    for (const QString& text : testsupport::hostileTexts()) {
        SCOPED_TRACE(testsupport::traceText(text));
        w->sourceChooser()->setText(text);
        w->Operating("refresh");
        EXPECT_EQ(g()->rows(), 1);
        EXPECT_EQ(g()->cols(), kFirstItemCol + 4);
    }
    EXPECT_EQ(session.account.rows(rulesSql), before);
    EXPECT_EQ(session.prompter->asked().size(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BatchSettingOnAccounts,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

TEST_F(BatchSetting, RulesOrLinksThatCannotBeReadAreReportedAndNothingIsWritten) {
    const QMap<QString, QStringList> before = DbSnapshot::take(session.account.db()).tables;
    const struct {
        const char* breakIt;
        const char* mend;
    } cases[] = {
        {"ALTER TABLE UserDefDetail RENAME TO UserDefDetail_gone",
         "ALTER TABLE UserDefDetail_gone RENAME TO UserDefDetail"},
        {"ALTER TABLE AA_ExtendDefineMakeVouch_Set RENAME COLUMN btrans TO btrans_gone",
         "ALTER TABLE AA_ExtendDefineMakeVouch_Set RENAME COLUMN btrans_gone TO btrans"},
    };
    const QString failed =
        session.pub->GetResString("Q9.AA.ARCHIVE.USERDEF.MakeVouch.ReadFailed").arg(QString());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.breakIt);
        ASSERT_TRUE(exec(c.breakIt));
        session.prompter->clear();
        search();
        EXPECT_TRUE(session.prompter->askedTexts().value(0).startsWith(failed));
        const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
        ASSERT_GT(order, 0);
        w->Operating("Modify");
        click(order, colOf("cHDefine2"));
        click(rowOf("PU_OrderHead", "PU_ArrivalHead"), colOf("cHDefine1"));
        EXPECT_FALSE(ticked(order, colOf("cHDefine2")));
        w->Operating("SaveRs");
        ASSERT_TRUE(exec(c.mend));
        EXPECT_EQ(DbSnapshot::take(session.account.db()).tables, before);
    }
}

}  // namespace
