// The batch setting as an administrator uses it on the demo account: search, the matrix of
// ticked, unticked and grey cells, editing, saving, the filters and the tab switch.
#include <gtest/gtest.h>

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>

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
    // The user clicks a check box (what the view does on a click).
    void click(int r, int c, int tab = FrmMakeVouchMain::HeaderTab) {
        controls::GridModel* m = g(tab)->gridModel();
        const QModelIndex i = m->index(r - 1, c);
        m->setData(i, ticked(r, c, tab) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        emit g(tab)->cellClicked(r, c);
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
    int btrans(const char* guid) {
        auto rs = session.srv->OpenX(QStringLiteral("select btrans from AA_ExtendDefineMakeVouch_Set where guid='") +
                                     guid + "'");
        rs->moveFirst();
        return rs->value("btrans").toBool() ? 1 : 0;
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

TEST_F(BatchSetting, CellsChangeOnlyInEditModeAndGreyCellsNever) {
    w->Operating("refresh");
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    const int c2 = colOf("cHDefine2"), c3 = colOf("cHDefine3");
    click(order, c2);  // browsing: refused
    EXPECT_FALSE(ticked(order, c2));
    EXPECT_FALSE(w->changed());

    w->Operating("Modify");
    EXPECT_EQ(w->editMode(), FrmMakeVouchMain::Editing);
    EXPECT_TRUE(enabled("SaveRs"));
    EXPECT_FALSE(enabled("Modify"));
    EXPECT_EQ(g()->text(order, kColChanged), QStringLiteral("0"));
    click(order, c3);  // grey: refused, though the click marks the row
    EXPECT_FALSE(ticked(order, c3));
    click(order, c2);
    EXPECT_TRUE(ticked(order, c2));
    EXPECT_TRUE(w->changed());
    EXPECT_EQ(g()->text(order, kColChanged), QStringLiteral("1"));
    w->Operating("refresh");  // no search while editing
    EXPECT_TRUE(ticked(order, c2));

    w->Operating("Back");  // discards
    EXPECT_EQ(w->editMode(), FrmMakeVouchMain::Browse);
    EXPECT_FALSE(w->changed());
    EXPECT_FALSE(ticked(rowOf("SA_OrderHead", "SA_DispatchHead"), c2));
}

TEST_F(BatchSetting, ATickedRuleSendsOneAndTheRestOfItsRowColumnByColumn) {
    w->Operating("refresh");
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    const int invoice = rowOf("SA_DispatchHead", "SA_InvoiceHead");
    w->Operating("modify");
    click(order, colOf("cHDefine2"));
    click(invoice, colOf("cHDefine3"));  // clears a carrying rule
    w->Operating("SaveRs");

    const QList<QDomElement> sent = sentRecords();
    QStringList cells;  // column, source, btrans in the order sent
    for (const QDomElement& e : sent)
        cells << e.firstChildElement("cextendfield").text() + "/" +
                     e.firstChildElement("cTableName").text() + "/" +
                     e.firstChildElement("btrans").text();
    EXPECT_EQ(cells, QStringList({"chdefine1/SA_DispatchHead/1", "chdefine1/SA_OrderHead/1",
                                  "chdefine2/SA_OrderHead/1", "chdefine3/SA_DispatchHead/0"}));
    ASSERT_EQ(sent.size(), 4);
    const QDomElement first = sent[1];
    EXPECT_EQ(first.firstChildElement("ctargetfield").text(), QStringLiteral("chdefine1"));
    EXPECT_EQ(first.firstChildElement("cType").text(), QStringLiteral("H"));
    EXPECT_EQ(first.firstChildElement("cMakeVouchID").text(), QStringLiteral("SA01"));
    EXPECT_EQ(first.firstChildElement("cSub_id").text(), QStringLiteral("SA"));
    EXPECT_EQ(first.firstChildElement("cTargetTable").text(), QStringLiteral("SA_DispatchHead"));
    EXPECT_TRUE(first.firstChildElement("guid").isNull());

    // The service changed the rules in place: no rule was added.
    EXPECT_EQ(w->editMode(), FrmMakeVouchMain::Browse);
    EXPECT_FALSE(w->changed());
    EXPECT_EQ(ruleCount(), 10);
    EXPECT_EQ(btrans("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0002"), 1);  // cHDefine2 now carries
    EXPECT_EQ(btrans("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0004"), 0);  // cHDefine3 no longer
    EXPECT_EQ(btrans("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001"), 1);
    w->Operating("refresh");
    EXPECT_TRUE(ticked(rowOf("SA_OrderHead", "SA_DispatchHead"), colOf("cHDefine2")));
    EXPECT_FALSE(ticked(rowOf("SA_DispatchHead", "SA_InvoiceHead"), colOf("cHDefine3")));
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

TEST_F(BatchSetting, ATabSwitchAnsweredNoDiscardsTheEdits) {
    w->Operating("refresh");
    const int order = rowOf("SA_OrderHead", "SA_DispatchHead");
    w->Operating("modify");
    click(order, colOf("cHDefine2"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    w->tabStrip()->setCurrentIndex(FrmMakeVouchMain::BodyTab);  // as a click on the strip
    ASSERT_EQ(session.prompter->asked().size(), 1);
    EXPECT_EQ(session.prompter->asked()[0].text, session.pub->GetResString("Q9.AA.Q9RowAuthocx0326"));
    EXPECT_EQ(session.prompter->asked()[0].buttons, host::MsgButtons::YesNoQuestion);
    EXPECT_EQ(w->currentTab(), FrmMakeVouchMain::BodyTab);
    EXPECT_FALSE(w->changed());
    EXPECT_EQ(w->editMode(), FrmMakeVouchMain::Browse);
    const int again = rowOf("SA_OrderHead", "SA_DispatchHead");
    ASSERT_GT(again, 0);  // the header grid was searched again
    EXPECT_FALSE(ticked(again, colOf("cHDefine2")));
    EXPECT_EQ(g()->text(again, kColChanged), QString());
    EXPECT_EQ(debugFile(), QStringLiteral("<none>"));  // nothing was saved

    // Without changes the switch asks nothing.
    w->clickTab(FrmMakeVouchMain::HeaderTab);
    EXPECT_EQ(session.prompter->asked().size(), 1);
    EXPECT_EQ(w->currentTab(), FrmMakeVouchMain::HeaderTab);
}

}  // namespace
