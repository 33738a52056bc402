// The translator as the connection uses it: constructs it does not know are named, and
// translations are kept by statement text.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Translate = SqlTest;

TEST_F(Translate, UnknownConstructsAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"select * from t pivot (sum(x) for y in ([a])) p", "PIVOT"},
        {"select * from t cross apply f(t.x)", "APPLY"},
        {"select row_number() over (order by x) from t", "OVER"},
        {"select dbo.fn_Nothing(cItemName) from UserDef", "function fn_Nothing"},
        {"select @@rowcount", "@@ROWCOUNT"},
        {"select cId into #copy from UserDef", "SELECT … INTO"},
        {"select x from t for xml path('')", "FOR"},
        {"select 1 ^ 2", "^"},
    };
    for (const auto& [sql, named] : cases) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(sqlite(QString::fromUtf8(sql)), QString());
        EXPECT_TRUE(error.contains(QString::fromUtf8(named))) << qPrintable(error);
        // The connection reports it, naming the statement.
        EXPECT_FALSE(connection->open(QString::fromUtf8(sql)));
        EXPECT_TRUE(connection->lastError().contains(QString::fromUtf8(named)));
    }
}

TEST_F(Translate, TranslationsAreKeptByStatementText) {
    auto& translator = connection->translator();
    const int before = translator.cachedCount();
    const QString sql = QStringLiteral("select cId from UserDef_Base where cId = '1'");
    ASSERT_TRUE(connection->open(sql));
    ASSERT_TRUE(connection->open(sql));
    EXPECT_EQ(translator.cachedCount(), before + 1);
}

}  // namespace
}  // namespace sqltest
