// The batch setting as an administrator uses it on the demo account: search, the matrix of
// ticked, unticked and grey cells, editing, saving, the filters and the tab switch.
#include <gtest/gtest.h>

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "carryover/FrmMakeVouchMain.h"
#include "carryover/MakeVouchGrid.h"
#include "carryover/RuleRecord.h"
#include "common/XmlFile.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "tests/support/TestSession.h"

using namespace carryover;
using testsupport::SessionTest;

namespace {

class BatchSetting : public SessionTest {
protected:
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
    bool grey(int r, int c, int tab = FrmMakeVouchMain::HeaderTab) const {
        return IsUnavailable(*g(tab), r, c);
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
    bool exec(const char* sql) { return session.account.db().exec(QString::fromLatin1(sql)); }
    // Carry flag and description of a rule, "btrans|cdesc".
    QString rule(const char* guid) {
        const host::RecordSetPtr rs = session.account.db().query(
            "SELECT btrans, cdesc FROM AA_ExtendDefineMakeVouch_Set WHERE guid = ?", {QString::fromLatin1(guid)});
        return rs && !rs->isEmpty() ? rs->at(0, 0).toString() + "|" + rs->at(0, 1).toString() : "<none>";
    }
    QStringList allRules() {
        QStringList out;
        const host::RecordSetPtr rs = session.account.db().query(
            "SELECT * FROM AA_ExtendDefineMakeVouch_Set ORDER BY guid");
        for (int r = 0; rs && r < rs->recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs->fieldCount(); ++c) cells << rs->at(r, c).toString();
            out << cells.join('|');
        }
        return out;
    }
    QString debugFile() const {
        QFile f(QDir(folder.path()).filePath(kRuleDebugFile));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<none>");
    }
    // The rule records of the debug copy, as elements.
    QList<QDomElement> sentRecords() const {
        QFile f(QDir(folder.path()).filePath(kRuleDebugFile));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(f.readAll());
        text = text.mid(text.indexOf(QLatin1String("?>")) + 2);
        QDomDocument doc;
        EXPECT_TRUE(bool(doc.setContent(QStringLiteral("<r>") + text.trimmed() + QStringLiteral("</r>"))));
        QList<QDomElement> out;
        for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
             e = e.nextSiblingElement())
            out << e;
        return out;
    }
    bool enabled(const char* key) const {
        return controls::HostToolbar::classicAction(w->findChild<QToolBar*>("Tlb"),
                                                    QString::fromLatin1(key))
            ->isEnabled();
    }
    int ruleCount() {
        auto rs = session.srv->OpenX("select count(*) as n from AA_ExtendDefineMakeVouch_Set");
        rs->moveFirst();
        return rs->value("n").toInt();
    }

    QTemporaryDir folder;
    std::unique_ptr<FrmMakeVouchMain> w;
};

TEST_F(BatchSetting, OpensWithTitlesAndItemColumnsButNoRowsUntilSearched) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("自定义项携带设置"));
    EXPECT_EQ(w->tabStrip()->tabText(0), QStringLiteral("单据头"));
    EXPECT_EQ(w->tabStrip()->count(), 2);
    for (int tab : {0, 1}) {
        EXPECT_EQ(g(tab)->rows(), 1);
        EXPECT_EQ(g(tab)->cols(), kFirstItemCol + 4);  // four extended items of each part
        EXPECT_TRUE(g(tab)->isCheckColumn(kFirstItemCol));
        for (int c : {kColChanged, kColMakeVouchID, kColSource, kColTarget, kColSubId})
            EXPECT_TRUE(g(tab)->colHidden(c)) << c;
        EXPECT_FALSE(g(tab)->colHidden(kColSourceDesc));
    }
    EXPECT_EQ(g()->text(0, 0), QStringLiteral("序号"));
    EXPECT_EQ(g()->text(0, kColChanged), QStringLiteral("修改标记"));
    EXPECT_EQ(w->itemNames(0).mid(kFirstItemCol),
              QStringList({"cHDefine1", "cHDefine2", "cHDefine3", "cHDefine4"}));
    EXPECT_TRUE(w->grid(0)->isVisibleTo(w.get()));
    EXPECT_FALSE(w->grid(1)->isVisibleTo(w.get()));
    EXPECT_FALSE(enabled("SaveRs"));
    EXPECT_FALSE(enabled("Back"));
    EXPECT_TRUE(enabled("Modify"));
    // Modify needs rows; printing without rows says there is nothing.
    w->Operating("modify");
    EXPECT_EQ(w->editMode(), FrmMakeVouchMain::Browse);
    w->Operating("Print");
    EXPECT_EQ(session.prompter->askedTexts().value(0),
              session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.nodata"));
    EXPECT_TRUE(w->sourceChooser()->isReferenceMode());
}

TEST_F(BatchSetting, TheMatrixShowsCarryingRulesTickedOthersUntickedAndTheRestGrey) {
    w->Operating("Refresh");
    ASSERT_EQ(g()->rows(), 7);  // six header pairs
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    ASSERT_GT(order, 0);
    EXPECT_EQ(g()->text(order, kColMakeVouchID), QStringLiteral("SA01"));
    EXPECT_TRUE(ticked(order, colOf("cHDefine1")));
    EXPECT_FALSE(ticked(order, colOf("cHDefine2")));
    EXPECT_FALSE(grey(order, colOf("cHDefine2")));  // a rule that does not carry is editable
    EXPECT_TRUE(grey(order, colOf("cHDefine3")));

    // A pair without rules is grey throughout.
    const int noRules = rowOf("PU_OrderHead", "PU_ArrivalHead");
    ASSERT_GT(noRules, 0);
    for (int c = kFirstItemCol; c < g()->cols(); ++c) EXPECT_TRUE(grey(noRules, c)) << c;

    // The rule written for a source of both kinds ("B,H") belongs to neither tab.
    const int contract = rowOf("CM_Contract", "SA_OrderHead");
    ASSERT_GT(contract, 0);
    EXPECT_TRUE(grey(contract, colOf("cHDefine1")));
    EXPECT_FALSE(ticked(contract, colOf("cHDefine1")));

    // The body tab searches its own pairs and rules.
    w->clickTab(FrmMakeVouchMain::BodyTab);
    EXPECT_EQ(w->currentTab(), FrmMakeVouchMain::BodyTab);
    EXPECT_TRUE(w->grid(1)->isVisibleTo(w.get()));
    w->Operating("refresh");
    const int body = rowOf("SA_OrderBody", "SA_DispatchBody", 1);
    ASSERT_GT(body, 0);
    EXPECT_TRUE(ticked(body, colOf("cBDefine1", 1), 1));
    EXPECT_FALSE(grey(body, colOf("cBDefine3", 1), 1));
    EXPECT_EQ(rowOf("CM_Contract", "SA_OrderBody", 1) > 0 ? 1 : 0, 1);
    EXPECT_TRUE(grey(rowOf("CM_Contract", "SA_OrderBody", 1), colOf("cBDefine1", 1), 1));
}

TEST_F(BatchSetting, CellsChangeOnlyInEditModeAndNeitherSearchNorClicksLoseOrInventEdits) {
    search();
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    const int c2 = colOf("cHDefine2"), c3 = colOf("cHDefine3");
    click(order, c2);  // browsing: refused
    EXPECT_FALSE(ticked(order, c2));

    w->Operating("Modify");
    EXPECT_TRUE(enabled("SaveRs"));
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
    EXPECT_EQ(rule("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0002"), QStringLiteral("false|审批日期不带入"));

    // Clicks that change no box leave nothing to save: closing asks nothing.
    w->Operating("Modify");
    click(order, c3);
    click(order, kColSourceDesc, FrmMakeVouchMain::HeaderTab, false);
    click(order, c2, FrmMakeVouchMain::HeaderTab, false);
    w->Operating("Exit");
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(BatchSetting, SavingTicksKeepsTheRulesDescriptionsAndAFailedSaveKeepsTheUserOnTheTab) {
    // The account refuses rule changes until the trigger goes.
    ASSERT_TRUE(exec("CREATE TRIGGER refuse_rules BEFORE UPDATE ON AA_ExtendDefineMakeVouch_Set "
                     "BEGIN SELECT RAISE(ABORT, 'rules are locked'); END"));
    search();
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    const int invoice = rowOf("SA_DispatchHead", "SA_InvoiceHead");
    w->Operating("modify");
    click(order, colOf("cHDefine2"));
    click(invoice, colOf("cHDefine3"));  // clears a carrying rule

    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    clickTab(FrmMakeVouchMain::BodyTab);
    ASSERT_EQ(session.prompter->asked().size(), 2);  // the question, then why the save failed
    EXPECT_EQ(session.prompter->asked()[0].text, session.pub->GetResString("Q9.AA.Q9RowAuthocx0326"));
    EXPECT_TRUE(session.prompter->asked()[1].text.contains("rules are locked"));
    EXPECT_EQ(w->tabStrip()->currentIndex(), FrmMakeVouchMain::HeaderTab);
    EXPECT_TRUE(w->grid(FrmMakeVouchMain::HeaderTab)->isVisible());
    EXPECT_TRUE(ticked(order, colOf("cHDefine2")));

    ASSERT_TRUE(exec("DROP TRIGGER refuse_rules"));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    clickTab(FrmMakeVouchMain::BodyTab);
    EXPECT_EQ(w->currentTab(), FrmMakeVouchMain::BodyTab);
    QStringList cells;  // column, source, btrans in the order sent
    for (const QDomElement& e : sentRecords()) {
        cells << e.firstChildElement("cextendfield").text() + "/" +
                     e.firstChildElement("cTableName").text() + "/" +
                     e.firstChildElement("btrans").text();
        EXPECT_EQ(e.firstChildElement("cMakeVouchID").text().isEmpty(), false);
        EXPECT_TRUE(e.firstChildElement("guid").isNull());
    }
    EXPECT_EQ(cells, QStringList({"chdefine1/SA_DispatchHead/1", "chdefine1/SA_OrderHead/1",
                                  "chdefine2/SA_OrderHead/1", "chdefine3/SA_DispatchHead/0"}));
    // Changed in place, each with the description the rule editor stored.
    EXPECT_EQ(ruleCount(), 10);
    EXPECT_EQ(rule("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001"), QStringLiteral("true|项目编号随订单带到发货单"));
    EXPECT_EQ(rule("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0002"), QStringLiteral("true|审批日期不带入"));
    EXPECT_EQ(rule("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0004"), QStringLiteral("false|运输方式开票沿用"));

    // On the body tab, "No" discards.
    search();
    const int body = rowOf("SA_OrderBody", "SA_DispatchBody", 1);
    w->Operating("modify");
    click(body, colOf("cBDefine3", 1), FrmMakeVouchMain::BodyTab);
    session.prompter->queueAnswer(host::MsgAnswer::No);
    clickTab(FrmMakeVouchMain::HeaderTab);
    EXPECT_EQ(w->currentTab(), FrmMakeVouchMain::HeaderTab);
    EXPECT_EQ(rule("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0006"), QStringLiteral("false|"));
    const int asked = int(session.prompter->asked().size());
    clickTab(FrmMakeVouchMain::BodyTab);  // nothing changed: no question
    EXPECT_EQ(session.prompter->asked().size(), asked);
}

TEST_F(BatchSetting, RulesOrLinksThatCannotBeReadAreReportedAndNothingIsWritten) {
    const QStringList before = allRules();
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
        EXPECT_EQ(allRules(), before);
    }
}

TEST_F(BatchSetting, ASaveWithoutMarkedRowsSendsNothingAndStillRewritesTheDebugCopy) {
    {
        QFile old(QDir(folder.path()).filePath(kRuleDebugFile));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("stale");
    }
    const int before = ruleCount();
    w->Operating("refresh");
    w->Operating("modify");
    w->Operating("SaveRs");
    EXPECT_EQ(w->editMode(), FrmMakeVouchMain::Browse);  // success
    EXPECT_FALSE(enabled("SaveRs"));
    EXPECT_EQ(debugFile().toUtf8(), userdef::XmlFileBytes(QString()));
    EXPECT_EQ(ruleCount(), before);
}

TEST_F(BatchSetting, DescriptionFiltersNarrowPairsAndRules) {
    w->sourceChooser()->setText(QStringLiteral(" 发货单 "));
    w->Operating("refresh");
    ASSERT_EQ(g()->rows(), 2);
    EXPECT_EQ(g()->text(1, kColTarget), QStringLiteral("SA_InvoiceHead"));
    EXPECT_TRUE(ticked(1, colOf("cHDefine3")));

    w->chooseTable(true, {"H", "SA", "SA_DispatchHead", QStringLiteral("不存在的单据")});
    EXPECT_EQ(w->targetChooser()->text(), QStringLiteral("不存在的单据"));
    EXPECT_EQ(w->chosenTable(true).ctablename, QStringLiteral("SA_DispatchHead"));
    w->Operating("refresh");
    EXPECT_EQ(g()->rows(), 1);
}

TEST_F(BatchSetting, ATableChosenInTheLookUpFiltersByItsDescription) {
    int listed = 0;
    w->sourceChooser()->setLookupRunner([&](controls::LookupWindow& lookup) {
        listed = lookup.visibleRowCount();
        lookup.setFilterText(QStringLiteral("销售订单表头"));
        lookup.choose();
        return lookup.choice();
    });
    w->sourceChooser()->lookup();
    EXPECT_EQ(listed, 10);  // the tables that are a source of some pair
    EXPECT_EQ(w->chosenTable(false).ctablename, QStringLiteral("SA_OrderHead"));
    EXPECT_EQ(w->chosenTable(false).ctype, QStringLiteral("H"));
    EXPECT_EQ(w->sourceChooser()->text(), QStringLiteral("销售订单表头"));
    w->Operating("refresh");
    ASSERT_EQ(g()->rows(), 2);
    EXPECT_EQ(g()->text(1, kColTarget), QStringLiteral("SA_DispatchHead"));
}

TEST_F(BatchSetting, HostileFilterTextsAreSearchedForAndChangeNoTableRead) {
    const int before = ruleCount();
    for (const QString& text :
         {QStringLiteral("x' OR 1=1 --"), QStringLiteral("'; DELETE FROM AA_ExtendDefineMakeVouch_Set; --"),
          QStringLiteral("<&>\"😀"), QString(3000, QLatin1Char('q'))}) {
        w->sourceChooser()->setText(text);
        w->Operating("refresh");
        EXPECT_EQ(g()->rows(), 1) << text.left(40).toStdString();
        EXPECT_EQ(g()->cols(), kFirstItemCol + 4);
    }
    EXPECT_EQ(ruleCount(), before);
    EXPECT_TRUE(session.prompter->asked().isEmpty());
}

}  // namespace
