// Date items in the editor on either kind of account: whether an archive's item is in use, and
// the question before deleting an extended item whose companion holds dates, both read the
// values the account holds.
#include "tests/itemdef/EditorFixture.h"

using namespace edtest;

namespace {

class DateItems : public EditorTest, public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    DateItems() : EditorTest(GetParam()) {}
    void run(const QString& statement) {
        ASSERT_TRUE(session.account.srv().ExecuteX(statement)) << session.account.srv().lastError().toStdString();
    }
    // The item's record and the count of its columns on the companions.
    QString item(const QString& id, const QString& column) {
        const host::RecordSetPtr rs = session.account.srv().OpenX(
            QStringLiteral("select (select count(*) from UserDef_Base where cId = '%1'), (select count(*) from "
                           "syscolumns where name = '%2')")
                .arg(host::sqlValue(id), host::sqlValue(column)));
        EXPECT_TRUE(rs) << session.account.srv().lastError().toStdString();
        return rs ? rs->textAt(0, 0) + u'|' + rs->textAt(0, 1) : QString();
    }
};

TEST_P(DateItems, CustomerDateItemIsInUseOnlyWithAValue) {
    // Items 54 and 55 are the customer's date columns cCusDefine15 and 16; only 15 holds a date,
    // so only item 54 keeps a name.
    run("update customer set cCusDefine15 = '2024-02-29' where cCusCode = 'C001'");
    for (const auto& [id, inUse] : {std::pair{"54", true}, {"55", false}}) {
        open(kCustomer, QString::fromLatin1(id));
        setName(QStringLiteral("到期日"));  // named, then every name taken away
        for (int c = 0; c < 3; ++c) setName(QString(), c);
        session.prompter->clear();
        EXPECT_EQ(editor->CheckValid(), !inUse) << id;
        EXPECT_EQ(messages().size(), inUse ? 1 : 0) << id << messages().join('|').toStdString();
    }
}

TEST_P(DateItems, DeletingADateItemWithValuesNamesTheirTable) {
    // Item 1002 is a date item on the sales order and dispatch heads; an order holds a date.
    open(kHeader, QStringLiteral("1002"));
    session.prompter->queueAnswers({host::MsgAnswer::Yes, host::MsgAnswer::No});
    EXPECT_FALSE(editor->Operating(QStringLiteral("Delete")));
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages().at(1).contains(session.pub->GetResFormatString(
        QStringLiteral("Q9.AA.USERDEF.FrmZAM.DeleteDataLine"), {QStringLiteral("销售订单主表")})))
        << messages().at(1).toStdString();
    EXPECT_EQ(item("1002", "cHDefine2"), QStringLiteral("1|2"));
    session.prompter->queueAnswers({host::MsgAnswer::Yes, host::MsgAnswer::Yes});
    EXPECT_TRUE(editor->Operating(QStringLiteral("Delete")));
    EXPECT_EQ(item("1002", "cHDefine2"), QStringLiteral("0|0"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, DateItems,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

}  // namespace
