// The report archive statement runs on the demo account.
#include <gtest/gtest.h>

#include "host/IConnection.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestAccount.h"

using namespace platform::pub;

class PubReports : public testsupport::AccountTest {};

TEST_F(PubReports, ReportArchivesOfTheDemoAccount) {
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    const QString sql = pub.GetRptArchSQL("tableName, TableDefine, SystemId");
    auto rs = account.srv().m_cnn()->open(sql);
    ASSERT_TRUE(rs) << account.srv().m_cnn()->lastError().toStdString();
    EXPECT_GE(rs->recordCount(), 5);
    QStringList names;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        names << rs->text("tablename");
        EXPECT_EQ(rs->text("SystemId"), "AS");
        EXPECT_FALSE(rs->text("TableDefine").isEmpty());
    }
    EXPECT_TRUE(names.contains("Customer"));
    EXPECT_TRUE(names.contains("Inventory"));
}
