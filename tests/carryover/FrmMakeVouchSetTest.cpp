// The rule list: carrying rules only, deleting without a question, and filtering through the
// host's filter dialog (conditions narrow the list, Cancel keeps it, hostile values match literally).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

#include "carryover/FrmMakeVouchSet.h"
#include "controls/Grid.h"
#include "platform/filter/FilterDialog.h"
#include "tests/controls/PrintFiles.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestSession.h"

using namespace carryover;
using platform::filter::FilterDialog;
using platform::filter::FilterOp;
using testsupport::SessionTest;
using testsupport::TestAccount;

namespace {

class RuleList : public SessionTest {
protected:
    explicit RuleList(TestAccount::Kind kind = TestAccount::Kind::Embedded) : SessionTest(kind) {}
    // The last four characters of each listed rule's guid.
    QStringList guids() const {
        QStringList out;
        for (int r = 1; r < list.grid()->rows(); ++r) out << list.grid()->text(r, FrmMakeVouchSet::kColGuid).right(4);
        return out;
    }
    int rowOf(const char* guidEnd) const { return int(guids().indexOf(QLatin1String(guidEnd))) + 1; }
    int ruleCount() {
        return session.account.rows(R"(SELECT count(*) FROM "AA_ExtendDefineMakeVouch_Set")").value(0).toInt();
    }
    // The next filter dialog gets these rows (field caption key, operator, value) and is
    // confirmed or cancelled.
    struct Condition {
        const char* field;
        FilterOp op;
        QString value;
    };
    void answer(const QList<Condition>& rows, bool confirm = true) {
        session.windows.onModal = [this, rows, confirm](QDialog* dialog) {
            auto* filter = qobject_cast<FilterDialog*>(dialog);
            for (int i = 0; filter && i < rows.size(); ++i) {
                const int r = i < filter->rowCount() ? i : filter->addRow();
                QComboBox* field = filter->fieldBox(r);
                field->setCurrentIndex(field->findText(
                    session.pub->GetResString(QStringLiteral("Q9.AA.ARCHIVE.FIELD.") + rows[i].field)));
                EXPECT_GE(field->currentIndex(), 0) << rows[i].field;
                filter->operatorBox(r)->setCurrentIndex(filter->operatorBox(r)->findData(int(rows[i].op)));
                filter->valueEdit(r)->setText(rows[i].value);
            }
            return int(filter && confirm ? QDialog::Accepted : QDialog::Rejected);
        };
    }
    FrmMakeVouchSet list;
};

// On either kind of account: deleting and filtering, read back on the account's own connection.
class RuleListOnAccounts : public RuleList, public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    RuleListOnAccounts() : RuleList(GetParam()) {}
};

TEST_P(RuleListOnAccounts, DeleteRemovesTheSelectedRuleWithoutAsking) {
    const int row = rowOf("0003");
    ASSERT_GT(row, 0);
    list.grid()->setCurrentRow(row);
    list.ButtonClick("delete");
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_EQ(list.grid()->rows(), 7);
    EXPECT_EQ(rowOf("0003"), 0);
    EXPECT_EQ(ruleCount(), 9);  // the rules that do not carry stay

    // A list that cannot be read says so and keeps no stale row to delete.
    ASSERT_TRUE(session.account.conn().exec(R"(ALTER TABLE "AA_DefineExtend" RENAME TO "AA_DefineExtend_gone")"));
    list.grid()->setCurrentRow(1);
    list.ButtonClick("refresh");
    EXPECT_TRUE(session.prompter->askedTexts().value(0).startsWith(
        session.pub->GetResString("Q9.AA.ARCHIVE.USERDEF.MakeVouch.ReadFailed").arg(QString())));
    list.ButtonClick("delete");
    EXPECT_EQ(ruleCount(), 9);
}

TEST_P(RuleListOnAccounts, FilterConditionsNarrowTheListCancelKeepsItAndRefreshListsAllAgain) {
    const struct {
        QList<Condition> rows;
        bool confirm;
        QStringList listed;
    } steps[] = {
        {{{"sourcetable", FilterOp::Equal, "SA_DispatchHead"}}, true, {"0003", "0004"}},
        {{{"sourcetable", FilterOp::Equal, "nothing"}}, false, {"0003", "0004"}},  // cancelled
        // Rows are combined with AND; "begins with" and "contains" match parts of the text.
        {{{"sourcetable", FilterOp::BeginsWith, "sa_order"}, {"cdesc", FilterOp::Like, "订单"}}, true, {"0001"}},
        {{{"sourcetable", FilterOp::NotEqual, "PU_OrderBody"}, {"sourcetable", FilterOp::Less, "SA"}}, true,
         {"0010", "0008"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.rows[0].value.toStdString());
        answer(step.rows, step.confirm);
        list.ButtonClick("Filter");
        EXPECT_EQ(guids(), step.listed);
    }
    EXPECT_EQ(session.windows.shown.value(0), QStringLiteral("platform::filter::FilterDialog"));
    list.ButtonClick("refresh");
    EXPECT_EQ(list.grid()->rows(), 8);  // the seven carrying rules
    // A confirmed dialog without a filled row lists every carrying rule as well.
    answer({{"sourcetable", FilterOp::Equal, "SA_DispatchHead"}});
    list.ButtonClick("Filter");
    session.windows.onModal = [](QDialog* d) {
        qobject_cast<FilterDialog*>(d)->removeRow(0);
        return int(QDialog::Accepted);
    };
    list.ButtonClick("Filter");
    EXPECT_EQ(list.grid()->rows(), 8);
    // Exported to a workbook: row numbers as numbers, table names as texts.
    QTemporaryDir folder;
    const QString xlsx = folder.filePath(QStringLiteral("rules.xlsx"));
    session.windows.onModal = [&xlsx](QDialog* d) { qobject_cast<QFileDialog*>(d)->selectFile(xlsx); return 1; };
    list.ButtonClick("SaveFile");
    const QStringList exported = printtest::xlsxRows(xlsx).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(exported.size(), 8);
    for (int r = 1; r < 8; ++r) EXPECT_TRUE(exported[r].startsWith(QStringLiteral("%1\t'").arg(r))) << exported[r].toStdString();
}

TEST_P(RuleListOnAccounts, HostileFilterValuesAreMatchedLiterallyAndChangeNothing) {
    // Also the names the list qualifies in a condition, and LIKE's wildcards.
    QStringList texts = testsupport::hostileTexts(200);
    texts << QStringLiteral("运😀's --; [a-z]_%\\ ctablename MakeVouch_Set");
    const QString rulesSql = QStringLiteral(R"(SELECT * FROM "AA_ExtendDefineMakeVouch_Set" ORDER BY guid)");
    for (const QString& text : texts) {
        SCOPED_TRACE(testsupport::traceText(text));
        ASSERT_TRUE(session.account.conn().execParams(
            R"(UPDATE "AA_ExtendDefineMakeVouch_Set" SET cdesc = ? WHERE guid = '3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0004')",
            {text}));
        const QStringList before = session.account.rows(rulesSql);
        for (const FilterOp op : {FilterOp::Equal, FilterOp::Like, FilterOp::BeginsWith}) {
            answer({{"cdesc", op, text}});
            list.ButtonClick("Filter");
            EXPECT_EQ(guids(), QStringList{"0004"}) << int(op);
        }
        answer({{"sourcetable", FilterOp::Equal, text}});
        list.ButtonClick("Filter");
        EXPECT_EQ(list.grid()->rows(), 1);
        EXPECT_EQ(session.account.rows(rulesSql), before);
    }
    EXPECT_TRUE(session.prompter->asked().isEmpty()) << session.prompter->askedTexts().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, RuleListOnAccounts,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

}  // namespace

// Tables and items are named in the user's language.
TEST(RuleListEnglish, NamesTablesAndItemsInTheUsersLanguage) {
    testsupport::TestSession session(QStringLiteral("en-US"));
    ASSERT_TRUE(session.ok()) << session.error().toStdString();
    FrmMakeVouchSet list;
    const controls::Grid& g = *list.grid();
    int row = g.rows() - 1;  // the contract-to-sales-order rule
    while (row > 0 && !g.text(row, FrmMakeVouchSet::kColGuid).endsWith(QLatin1String("0010"))) --row;
    EXPECT_EQ(QStringList({g.text(row, 3), g.text(row, 5), g.text(row, 7), g.text(row, 9)}),
              QStringList({"Contract", "Sales order", "Project No.", "Project No."}));
}
