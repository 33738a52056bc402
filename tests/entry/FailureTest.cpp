// Each way the session can fail to start: its own message (once for the portal call, once for
// the modal show), nothing opened, no lock left.
#include "tests/entry/EntryFixture.h"

using namespace entrytest;
using namespace userdef;

namespace {

struct Failure {
    const char* name;
    std::function<void(EntryHostFactory&, TestLogin&, RecordingBusiness&, const QString& root)> arrange;
    const char* message;      // a resource key, or "=" and the text; null: no message box
    const char* hostMessage;  // what the window host shows instead; null: nothing
};

const Failure kFailures[] = {
    {"NoPublicService", [](auto& f, auto&, auto&, auto&) { f.failPub = true; }, nullptr,
     "not find q9pub.dll|Information"},
    {"NameTablesUnreadable", [](auto& f, auto&, auto&, auto&) { f.failNameTables = true; },
     "=Common_InitAccresource file damaged", nullptr},
    {"NoLoginObject", [](auto&, auto&, auto& b, auto&) { b.login.reset(); },
     "Q9.AA.ARCHIVE.COMMON.nologin", nullptr},
    {"NoServerService", [](auto& f, auto&, auto&, auto&) { f.failSrvDB = true; },
     "Q9.AA.ARCHIVE.COMMON.loadsrvdbfail", nullptr},
    {"DatabaseOutOfReach",
     [](auto&, auto& login, auto&, const QString& root) {
         login.setZxDbName(QStringLiteral("Data Source=%1/nowhere/ZxData_001.db;"
                                          "Initial Catalog=ZxData_001;Account=001")
                               .arg(root));
     },
     "Q9.AA.ARCHIVE.COMMON.dbconnectfail", nullptr},
    {"NoColumnSettingService", [](auto& f, auto&, auto&, auto&) { f.failColSet = true; },
     "Q9.AA.ARCHIVE.COMMON.loadrowauthsvrfail", nullptr},
    {"LockedByAnotherClient", [](auto& f, auto&, auto&, auto&) { f.lockHeldElsewhere = true; },
     nullptr, nullptr},
};

void PrintTo(const Failure& f, std::ostream* os) { *os << f.name; }

class EntryFailure : public EntryTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(EntryFailure, SaysWhyAndOpensNothing) {
    const Failure& c = GetParam();
    c.arrange(factory, *login, *business, account.dataRoot());
    IUserDef userDef;
    userDef.setBusiness(business);
    userDef.ILoginable_CallFunction(QString(), QString(), QString(), QString());
    userDef.Show(business->login, QStringLiteral("<Para classcode='1001'/>"));

    EXPECT_TRUE(business->shown.isEmpty() && modals.isEmpty() && !userDef.catalogue());
    EXPECT_EQ(userDefLocks(), 0);
    QString message;
    if (c.message)
        message = c.message[0] == '='
                      ? QString::fromUtf8(c.message + 1)
                      : platform::pub::Pub(nullptr, QStringLiteral("en-us")).GetResString(QString::fromLatin1(c.message));
    EXPECT_EQ(factory.prompter->askedTexts(), c.message ? QStringList(2, message) : QStringList());
    EXPECT_EQ(factory.windows.messages, c.hostMessage ? QStringList(2, QString::fromUtf8(c.hostMessage)) : QStringList());
    // A lock refused is never released by the refused calls.
    if (factory.lockHeldElsewhere) {
        EXPECT_EQ(factory.lastPub->lockCalls, QStringList(2, QStringLiteral("UserDef 1")));
    }
}

INSTANTIATE_TEST_SUITE_P(Entry, EntryFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST_F(EntryTest, APortalCallBeforeTheBusinessObjectSaysThereIsNoLogin) {
    g_Business.reset();
    IUserDef early;
    early.ShowModeless(QString(), QString(), QString(), QString());
    EXPECT_EQ(factory.prompter->askedTexts(),
              QStringList{platform::pub::Pub(nullptr, QStringLiteral("en-us"))
                              .GetResString(QStringLiteral("Q9.AA.ARCHIVE.COMMON.nologin"))});
    EXPECT_FALSE(early.catalogue());
}
