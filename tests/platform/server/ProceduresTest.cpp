// The server procedure behind the catalogue's reference listing.
#include <gtest/gtest.h>

#include "tests/support/TestAccount.h"

namespace {

using testsupport::AccountTest;

QStringList listed(platform::server::ClsCommon& srv, const QString& from) {
    QStringList out;
    const host::RecordSetPtr rows =
        srv.OpenX(QStringLiteral("select cRefID, cColSetKey from %1 order by cRefID").arg(from));
    EXPECT_TRUE(rows) << srv.lastError().toStdString();
    if (!rows) return out;
    for (int r = 0; r < rows->recordCount(); ++r)
        out << rows->at(r, 0).toString() + QLatin1Char('=') + rows->at(r, 1).toString();
    return out;
}

class RefDesignProcedure : public AccountTest {};

// Not the folder (no parent), not the system reference, not those without a key or whose
// metadata does not parse; run again, it follows the references as they are now.
TEST_F(RefDesignProcedure, ListsUserDefinedReferencesWithTheirColumnSettingKey) {
    platform::server::ClsCommon& srv = account.srv();
    const QString table = QStringLiteral("ZxMeta_001..AA_UserDefRefDesign");
    EXPECT_TRUE(listed(srv, table).isEmpty());
    ASSERT_TRUE(srv.ExecuteX(QStringLiteral("AA_CreateDefineRefDesignView"))) << srv.lastError().toStdString();
    EXPECT_EQ(listed(srv, table), QStringList({"UR0001=UR0001_ColSet", "UR0002=UR0002_ColSet"}));
    ASSERT_TRUE(srv.ExecuteX(QStringLiteral(
        "update ZxMeta_001..refdesign set cRefMeta=N'<Ref><RefColSet cKey=''X''>' where cRefID='UR0002'\n"
        "insert into ZxMeta_001..refdesign(cRefID,cRefName,cRefMeta,IsUserDefRef,cParentRefid) "
        "values('UR0004',N'包装规格',N'<Ref><RefColSet cKey=\"UR0004_ColSet\"/></Ref>',1,'UR')")))
        << srv.lastError().toStdString();
    ASSERT_TRUE(srv.ExecuteX(QStringLiteral("exec dbo.AA_CreateDefineRefDesignView"))) << srv.lastError().toStdString();
    EXPECT_EQ(listed(srv, table), QStringList({"UR0001=UR0001_ColSet", "UR0004=UR0004_ColSet"}));
}

}  // namespace
