// Filtering the rule list through the host's filter dialog: conditions narrow the list, Cancel
// keeps it, hostile values are matched literally and reach no other statement.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "carryover/CarryOverSql.h"
#include "carryover/FrmMakeVouchSet.h"
#include "controls/Grid.h"
#include "host/IFilterSvr.h"
#include "host/Quote.h"
#include "platform/filter/FilterDialog.h"
#include "tests/support/TestSession.h"

using namespace carryover;
using platform::filter::FilterDialog;
using platform::filter::FilterOp;
using testsupport::SessionTest;

namespace {

struct Row {
    QString caption;  // resource key of the column
    FilterOp op;
    QString value;
};

class RuleListFilter : public SessionTest {
protected:
    // The next filter dialog is filled with rows and confirmed (or cancelled).
    void answer(const QList<Row>& rows, bool confirm = true) {
        session.windows.onModal = [this, rows, confirm](QDialog* dialog) {
            auto* filter = qobject_cast<FilterDialog*>(dialog);
            if (!filter) return int(QDialog::Rejected);
            title = filter->windowTitle();
            for (int i = 0; i < rows.size(); ++i) {
                const int r = i < filter->rowCount() ? i : filter->addRow();
                QComboBox* field = filter->fieldBox(r);
                field->setCurrentIndex(field->findText(session.pub->GetResString(rows[i].caption)));
                EXPECT_GE(field->currentIndex(), 0) << rows[i].caption.toStdString();
                QComboBox* op = filter->operatorBox(r);
                op->setCurrentIndex(op->findData(int(rows[i].op)));
                filter->valueEdit(r)->setText(rows[i].value);
            }
            return int(confirm ? QDialog::Accepted : QDialog::Rejected);
        };
    }
    QStringList guids() const {
        QStringList out;
        for (int r = 1; r < list.grid()->rows(); ++r)
            out << list.grid()->text(r, FrmMakeVouchSet::kColGuid).right(4);
        return out;
    }
    int ruleCount() {
        auto rs = session.srv->OpenX("select count(*) as n from AA_ExtendDefineMakeVouch_Set");
        if (!rs) return -1;
        rs->moveFirst();
        return rs->value("n").toInt();
    }

    const QString source = QStringLiteral("Q9.AA.ARCHIVE.FIELD.sourcetable");
    const QString desc = QStringLiteral("Q9.AA.ARCHIVE.FIELD.cdesc");
    QString title;
    FrmMakeVouchSet list;
};

TEST_F(RuleListFilter, AConditionOnTheSourceTableNarrowsTheListUntilRefresh) {
    answer({{source, FilterOp::Equal, "SA_DispatchHead"}});
    list.ButtonClick("Filter");
    EXPECT_EQ(session.windows.shown, QStringList{"platform::filter::FilterDialog"});
    EXPECT_EQ(title, session.pub->GetResString("Q9.AA.ARCHIVE.FIELD.makevouchset"));
    EXPECT_EQ(list.filterCondition(),
              QStringLiteral("MakeVouch_Set.cTableName = N'SA_DispatchHead'"));
    EXPECT_EQ(guids(), QStringList({"0003", "0004"}));

    // Rows are combined with AND; "begins with" and "contains" match parts of the text.
    answer({{source, FilterOp::BeginsWith, "sa_order"}, {desc, FilterOp::Like, "订单"}});
    EXPECT_TRUE(list.DoFilter());
    EXPECT_EQ(guids(), QStringList{"0001"});
    answer({{source, FilterOp::NotEqual, "PU_OrderBody"}, {source, FilterOp::Less, "SA"}});
    EXPECT_TRUE(list.DoFilter());
    EXPECT_EQ(guids(), QStringList({"0010", "0008"}));

    list.ButtonClick("refresh");  // the list of every carrying rule again
    EXPECT_EQ(list.grid()->rows(), 8);
}

TEST_F(RuleListFilter, CancelLeavesListAndConditionAsTheyWere) {
    answer({{source, FilterOp::Equal, "SA_DispatchHead"}});
    ASSERT_TRUE(list.DoFilter());
    answer({{source, FilterOp::Equal, "nothing"}}, false);
    EXPECT_FALSE(list.DoFilter());
    EXPECT_EQ(list.filterCondition(),
              QStringLiteral("MakeVouch_Set.cTableName = N'SA_DispatchHead'"));
    EXPECT_EQ(guids(), QStringList({"0003", "0004"}));
    // A confirmed dialog without a filled row lists every carrying rule.
    session.windows.onModal = [](QDialog* d) {
        qobject_cast<FilterDialog*>(d)->removeRow(0);
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(list.DoFilter());
    EXPECT_EQ(list.filterCondition(), QString());
    EXPECT_EQ(list.grid()->rows(), 8);
}

TEST_F(RuleListFilter, HostileValuesAreMatchedLiterallyAndChangeNoTable) {
    // Also the names the rule list looks for in a condition.
    const QString hostile = QStringLiteral("运😀's --; [a-z]_%\\ ctablename MakeVouch_Set");
    ASSERT_TRUE(session.srv->ExecuteX("update AA_ExtendDefineMakeVouch_Set set cdesc = N'" +
                                      host::sqlValue(hostile) +
                                      "' where guid = '3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0004'"));
    for (const FilterOp op : {FilterOp::Equal, FilterOp::Like, FilterOp::BeginsWith}) {
        answer({{desc, op, hostile}});
        ASSERT_TRUE(list.DoFilter());
        EXPECT_EQ(guids(), QStringList{"0004"}) << list.filterCondition().toStdString();
    }
    // Wildcards typed as values stand for themselves.
    for (const QString& value :
         {QStringLiteral("%"), QStringLiteral("_"), QStringLiteral("[运]")}) {
        answer({{desc, FilterOp::Like, value}});
        ASSERT_TRUE(list.DoFilter());
        EXPECT_EQ(guids(), value == "%" || value == "_" ? QStringList{"0004"} : QStringList{})
            << value.toStdString();
    }
    list.ButtonClick("refresh");
    ASSERT_EQ(list.grid()->rows(), 8);
    answer({{source, FilterOp::Equal, "x'; delete from AA_ExtendDefineMakeVouch_Set; --"},
            {desc, FilterOp::Like, "' or 1=1 --"}});
    ASSERT_TRUE(list.DoFilter());
    EXPECT_EQ(list.grid()->rows(), 1);
    EXPECT_EQ(ruleCount(), 10);
}

TEST_F(RuleListFilter, ConditionsOnTheSourceTableNameTheListsRuleTable) {
    EXPECT_TRUE(RuleListSql("ctablename = N'A' and cdesc = N''")
                    .contains(" and MakeVouch_Set.ctablename = N'A' and cdesc = N'' "));
    const QString named = QStringLiteral("MakeVouch_Set.ctablename = N'A' or ctablename = N'B'");
    EXPECT_TRUE(RuleListSql(named).contains(" and " + named + " "));
    EXPECT_FALSE(RuleListSql({}).contains(" and "));
}

TEST_F(RuleListFilter, AFilterNameWithoutDefinitionSaysSoAndShowsNoDialog) {
    auto filter = session.factory.createFilter();
    ASSERT_TRUE(filter);
    QString condition = QStringLiteral("kept");
    EXPECT_FALSE(filter->ShowFilter(session.login.get(), "AA[__]unknown", "T", "AA", condition));
    EXPECT_EQ(condition, QStringLiteral("kept"));
    EXPECT_TRUE(session.windows.shown.isEmpty());
    ASSERT_EQ(session.windows.messages.size(), 1);
    EXPECT_TRUE(session.windows.messages[0].contains("AA[__]unknown"));
}

}  // namespace
