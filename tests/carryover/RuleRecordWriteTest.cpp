// Carry-over rule records through the server database service: a new guid per added rule, a
// second rule for the same key refused, hostile texts kept, malformed records refused; and the
// carry-over path the field-pair table yields for a pair.
#include <gtest/gtest.h>

#include "carryover/MakeVouchPath.h"
#include "carryover/RuleRecord.h"
#include "tests/support/DbSnapshot.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

namespace {

using namespace carryover;
using testsupport::AccountTest;
using testsupport::DbSnapshot;

RuleRecord rule(const QString& column, bool carries, const QString& desc = {}) {
    return {"PU01", "PU", "H", column, "PU_OrderHead", "PU_ArrivalHead", carries, desc, {}};
}

class RuleRecordWrites : public AccountTest {
protected:
    platform::server::ClsCommon& srv() { return account.srv(); }
    int ruleCount() {
        return account.db().query("SELECT count(*) FROM AA_ExtendDefineMakeVouch_Set")->at(0, 0).toInt();
    }
    // A column of the rule of a source table for an item.
    QString field(const QString& column, const char* name, const QString& source = "PU_OrderHead") {
        const host::RecordSetPtr rs = account.db().query(
            QStringLiteral("SELECT %1 FROM AA_ExtendDefineMakeVouch_Set WHERE cTableName = ? "
                           "AND cextendfield = ?").arg(QLatin1String(name)),
            {source, column});
        return rs && !rs->isEmpty() ? rs->at(0, 0).toString() : QStringLiteral("<none>");
    }
    QString error;
};

TEST_F(RuleRecordWrites, AddGivesEveryRuleANewGuidKeepsHostileTextsAndRefusesASecondRuleForAKey) {
    const int before = ruleCount();
    ASSERT_TRUE(srv().Add(RuleRecordXml(rule("cHDefine1", true)) + RuleRecordXml(rule("cHDefine2", false)),
                          kRuleTable, &error))
        << error.toStdString();
    EXPECT_EQ(ruleCount(), before + 2);
    const QString guid1 = field("cHDefine1", "guid");
    EXPECT_EQ(guid1.size(), 36);
    EXPECT_NE(guid1, field("cHDefine2", "guid"));

    // The same key in another spelling, after a record that alone would be fine: nothing stays.
    const DbSnapshot now = DbSnapshot::take(account.db());
    RuleRecord again = rule("CHDEFINE2", true);
    again.guid = QStringLiteral("ffffffff-0000-0000-0000-000000000000");
    EXPECT_FALSE(srv().Add(RuleRecordXml(rule("cHDefine3", true)) + RuleRecordXml(again), kRuleTable, &error));
    EXPECT_TRUE(error.contains("CHDEFINE2")) << error.toStdString();
    EXPECT_TRUE(sameAs(now, account.db()));

    // Descriptions and table names arrive as typed.
    for (const QString& text : testsupport::hostileTexts(100)) {
        SCOPED_TRACE(testsupport::traceText(text));
        RuleRecord r = rule("cHDefine4", true, text);
        r.cTableName = text;
        ASSERT_TRUE(srv().Add(RuleRecordXml(r), kRuleTable, &error)) << error.toStdString();
        EXPECT_EQ(field("cHDefine4", "cdesc", text), text);
    }
}

TEST_F(RuleRecordWrites, MalformedRecordsAreRefusedWithTheirReason) {
    const DbSnapshot before = DbSnapshot::take(account.db());
    const QString good = RuleRecordXml(rule("cHDefine1", true));
    RuleRecord noPath = rule("cHDefine1", true);
    noPath.cMakeVouchID.clear();
    RuleRecord gone = rule("cHDefine3", true);
    gone.guid = QStringLiteral("00000000-dead-beef-0000-000000000000");
    const struct {
        const char* what;
        QString records;
        const char* named;  // what the reason names, if anything in particular
    } cases[] = {
        {"unclosed", QStringLiteral("<AA_ExtendDefineMakeVouch_Set><cTableName>A</cTableName>"), ""},
        {"no column", RuleRecordXml(rule("", true)), ""},
        {"no path", RuleRecordXml(noPath), ""},
        {"unknown field", QString(good).replace("<cdesc>", "<cDrop>x</cDrop><cdesc>"), "cDrop"},
        {"flag", QString(good).replace("<btrans>1</btrans>", "<btrans>maybe</btrans>"), ""},
        {"unknown guid after a good record", RuleRecordXml(rule("cHDefine4", true)) + RuleRecordXml(gone), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        error.clear();
        EXPECT_FALSE(srv().Modify(c.records, kRuleTable, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(error.contains(QLatin1String(c.named))) << error.toStdString();
    }
    EXPECT_TRUE(sameAs(before, account.db()));
}

// The path of a pair, on one connection: run again, the field-pair table of the earlier run is
// dropped and made anew; each direction of a pair keeps its own path; names are values.
TEST_F(RuleRecordWrites, ThePairOfTheChosenTablesGivesItsOwnPath) {
    const auto pairCount = [&] {
        return account.db().query("SELECT count(*) FROM AA_ExtendDefineMakeVouch_sub")->at(0, 0).toInt();
    };
    ASSERT_TRUE(account.db().exec(
        "INSERT INTO AA_ExtendDefineMakeVouch_base(cMakeVouchID,cSub_id,cDesc) VALUES('SA99','SA','back');"
        "INSERT INTO AA_ExtendDefineMakeVouch_sub(cMakeVouchID,cTableName,cTargetTable,cType) "
        "VALUES('SA99','SA_DispatchHead','SA_OrderHead','H')"));
    const int pairs = pairCount();
    const QString hostile = QStringLiteral("x'); DROP TABLE AA_ExtendDefineMakeVouch_sub; --");
    const struct {
        QString source, target, column, path;
    } cases[] = {
        {"SA_OrderHead", "SA_DispatchHead", "cHDefine1", "SA01"},
        {"sa_orderhead", "SA_DISPATCHHEAD", "cHDefine2", "SA01"},
        {"SA_DispatchHead", "SA_OrderHead", "cHDefine1", "SA99"},
        {"PU_OrderHead", "SA_OrderHead", "cHDefine1", ""},
        {hostile, "SA_DispatchHead", hostile, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        EXPECT_EQ(FindMakeVouchPath(account.srv(), c.source, c.target, c.column, &error), std::optional(c.path))
            << error.toStdString();
    }
    EXPECT_EQ(pairCount(), pairs);
}

}  // namespace
