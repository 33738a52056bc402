// Carry-over rule records through the server database service: a new guid per added rule,
// a second rule for the same key refused, modification by guid or by key, deletion by guid.
#include <gtest/gtest.h>

#include "carryover/RuleRecord.h"
#include "platform/server/DocumentWriter.h"
#include "tests/support/TestAccount.h"

namespace {

using carryover::RuleRecord;
using carryover::RuleRecordXml;
using testsupport::AccountTest;

const QString kTable = QStringLiteral("AA_ExtendDefineMakeVouch_Set");

RuleRecord rule(const QString& column, bool carries, const QString& desc = {}) {
    RuleRecord r;
    r.cMakeVouchID = QStringLiteral("PU01");
    r.cSub_id = QStringLiteral("PU");
    r.cType = QStringLiteral("H");
    r.cextendfield = column;
    r.cTableName = QStringLiteral("PU_OrderHead");
    r.cTargetTable = QStringLiteral("PU_ArrivalHead");
    r.btrans = carries;
    r.cdesc = desc;
    return r;
}

class RuleRecordWrites : public AccountTest {
protected:
    platform::server::ClsCommon& srv() { return account.srv(); }
    // Every rule as text, ordered by guid.
    QStringList rows(const QString& where = QStringLiteral("1=1")) {
        QStringList out;
        const host::RecordSetPtr rs = account.db().query(
            "SELECT guid, cMakeVouchID, cTableName, cTargetTable, cextendfield, ctargetfield, ctype, "
            "btrans, cdesc, cSub_id FROM AA_ExtendDefineMakeVouch_Set WHERE " + where + " ORDER BY guid");
        for (int r = 0; rs && r < rs->recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs->fieldCount(); ++c) cells << rs->at(r, c).toString();
            out << cells.join('|');
        }
        return out;
    }
    QString field(const QString& column, const char* name) {
        const host::RecordSetPtr rs = account.db().query(
            QStringLiteral("SELECT %1 FROM AA_ExtendDefineMakeVouch_Set WHERE cTableName='PU_OrderHead' "
                           "AND cextendfield=?").arg(QLatin1String(name)),
            {column});
        return rs && !rs->isEmpty() ? rs->at(0, 0).toString() : QStringLiteral("<none>");
    }
};

TEST_F(RuleRecordWrites, AddGivesEveryRuleANewGuidAndRefusesASecondRuleForTheSameKey) {
    const QStringList before = rows();
    QString error;
    ASSERT_TRUE(srv().Add(RuleRecordXml(rule("cHDefine1", true, "<a & 'b'>")) +
                              RuleRecordXml(rule("cHDefine2", false)),
                          kTable, &error))
        << error.toStdString();
    EXPECT_EQ(rows().size(), before.size() + 2);
    const QString guid1 = field("cHDefine1", "guid"), guid2 = field("cHDefine2", "guid");
    EXPECT_EQ(guid1.size(), 36);
    EXPECT_NE(guid1, guid2);
    EXPECT_EQ(field("cHDefine1", "cdesc"), QStringLiteral("<a & 'b'>"));
    EXPECT_EQ(field("cHDefine1", "ctargetfield"), QStringLiteral("cHDefine1"));

    const QStringList after = rows();
    RuleRecord again = rule("CHDEFINE2", true);  // the same key, another spelling
    again.guid = QStringLiteral("ffffffff-0000-0000-0000-000000000000");
    EXPECT_FALSE(srv().Add(RuleRecordXml(rule("cHDefine3", true)) + RuleRecordXml(again), kTable, &error));
    EXPECT_TRUE(error.contains("CHDEFINE2")) << error.toStdString();
    EXPECT_EQ(rows(), after);  // the first record of the refused document is not kept either
}

TEST_F(RuleRecordWrites, ModifyUpdatesByGuidOrByKeyAndInsertsAKeyWithoutARule) {
    QString error;
    ASSERT_TRUE(srv().Add(RuleRecordXml(rule("cHDefine1", false)), kTable, &error));
    const QString guid = field("cHDefine1", "guid");
    const int count = rows().size();

    // By key, the column spelled otherwise: the same rule changes.
    ASSERT_TRUE(srv().Modify(RuleRecordXml(rule("chdefine1", true, "by key")), kTable, &error))
        << error.toStdString();
    EXPECT_EQ(rows().size(), count);
    EXPECT_EQ(field("cHDefine1", "btrans"), QStringLiteral("true"));
    EXPECT_EQ(field("cHDefine1", "cdesc"), QStringLiteral("by key"));
    EXPECT_EQ(field("cHDefine1", "guid"), guid);

    // By guid; and a key without a rule is added.
    RuleRecord byGuid = rule("cHDefine1", false, "by guid");
    byGuid.guid = guid;
    ASSERT_TRUE(srv().Modify(RuleRecordXml(byGuid) + RuleRecordXml(rule("cHDefine2", true)), kTable, &error))
        << error.toStdString();
    EXPECT_EQ(field("cHDefine1", "cdesc"), QStringLiteral("by guid"));
    EXPECT_EQ(field("cHDefine1", "btrans"), QStringLiteral("false"));
    EXPECT_EQ(rows().size(), count + 1);
    EXPECT_EQ(field("cHDefine2", "btrans"), QStringLiteral("true"));

    // A guid that no rule has is refused, and nothing of the document stays.
    const QStringList now = rows();
    RuleRecord gone = rule("cHDefine3", true);
    gone.guid = QStringLiteral("00000000-dead-beef-0000-000000000000");
    EXPECT_FALSE(srv().Modify(RuleRecordXml(rule("cHDefine4", true)) + RuleRecordXml(gone), kTable, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(rows(), now);
}

TEST_F(RuleRecordWrites, DeleteByGuidRemovesThatRuleAlone) {
    const QStringList before = rows();
    const QString guid = QStringLiteral("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0002");
    QString error;
    // The service's order: key value, key column, table.
    ASSERT_TRUE(srv().Delete(guid, QStringLiteral("guid"), kTable, &error)) << error.toStdString();
    QStringList expected = before;
    expected.removeIf([&](const QString& row) { return row.startsWith(guid); });
    EXPECT_EQ(expected.size(), before.size() - 1);
    EXPECT_EQ(rows(), expected);

    EXPECT_FALSE(srv().Delete(guid, QStringLiteral("guid"), kTable, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(srv().Delete("x' or '1'='1", QStringLiteral("guid"), kTable, &error));
    EXPECT_EQ(rows(), expected);
}

TEST_F(RuleRecordWrites, MalformedRecordsAreRefusedWithTheirReason) {
    const QStringList before = rows();
    QString error;
    EXPECT_FALSE(srv().Modify(QStringLiteral("<AA_ExtendDefineMakeVouch_Set><cTableName>A</cTableName>"),
                              kTable, &error));
    EXPECT_FALSE(srv().Modify(RuleRecordXml(rule("", true)), kTable, &error));
    EXPECT_FALSE(error.isEmpty());
    RuleRecord noPath = rule("cHDefine1", true);
    noPath.cMakeVouchID.clear();
    EXPECT_FALSE(srv().Modify(RuleRecordXml(noPath), kTable, &error));
    QString unknown = RuleRecordXml(rule("cHDefine1", true));
    unknown.replace("<cdesc>", "<cDrop>x</cDrop><cdesc>");
    EXPECT_FALSE(srv().Modify(unknown, kTable, &error));
    EXPECT_TRUE(error.contains("cDrop")) << error.toStdString();
    QString flag = RuleRecordXml(rule("cHDefine1", true));
    flag.replace("<btrans>1</btrans>", "<btrans>maybe</btrans>");
    EXPECT_FALSE(srv().Modify(flag, kTable, &error));
    EXPECT_EQ(rows(), before);
}

}  // namespace
