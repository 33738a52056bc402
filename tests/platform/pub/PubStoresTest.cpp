// Print styles and window options an account keeps, on either kind of account: what one session
// saves another reads back as it stands, per key and per user.
#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>
#include <QWidget>

#include "platform/db/AccountFiles.h"
#include "platform/db/ServerAccount.h"
#include "platform/pub/Pub.h"
#include "platform/server/AccountConnection.h"
#include "platform/sql/PgFunctions.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/TestAccount.h"
#include "tests/support/TestLogin.h"

using namespace platform::pub;
using testsupport::TestAccount;

namespace {

class PubStores : public testsupport::AccountTest, public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    PubStores() : AccountTest(GetParam()) {}
    // A session of its own: its public service and server service.
    struct Session {
        Pub pub{std::make_shared<ScriptedPrompter>(), "zh-cn"};
        platform::server::ClsCommon srv;
    };
    std::unique_ptr<Session> session() {
        auto s = std::make_unique<Session>();
        s->srv.init(account.connectionText());
        EXPECT_TRUE(s->srv.Status()) << s->srv.lastError().toStdString();
        return s;
    }
};

TEST_P(PubStores, PrintStylesAreKeptPerKeyAsTheyStand) {
    auto one = session(), other = session();
    EXPECT_EQ(one->pub.GetPrnStyle(&one->srv, "UserDef"), "");
    const QString style = "<Style orientation='landscape' title=\"It's <ours> & theirs; --\"/>";
    EXPECT_TRUE(one->pub.SavePrnStyle(&one->srv, "UserDef", style));
    EXPECT_TRUE(one->pub.SavePrnStyle(&one->srv, "UserDefine", "<Style/>"));
    EXPECT_EQ(other->pub.GetPrnStyle(&other->srv, "UserDef"), style);
    EXPECT_TRUE(other->pub.SavePrnStyle(&other->srv, "userdef", "<Style v='2'/>"));  // keys ignore case
    EXPECT_EQ(one->pub.GetPrnStyle(&one->srv, "UserDef"), "<Style v='2'/>");
    EXPECT_EQ(one->pub.GetPrnStyle(&one->srv, "UserDefine"), "<Style/>");

    int n = 0;
    for (const QString& text : testsupport::hostileTexts()) {
        SCOPED_TRACE(testsupport::traceText(text));
        const QString key = text.left(100);
        EXPECT_EQ(other->pub.GetPrnStyle(&other->srv, key), "");
        const QString saved = QStringLiteral("<Style n='%1'>").arg(++n) + text + "</Style>";
        EXPECT_TRUE(one->pub.SavePrnStyle(&one->srv, key, saved));
        EXPECT_EQ(other->pub.GetPrnStyle(&other->srv, key), saved);
        EXPECT_TRUE(one->pub.SavePrnStyle(&one->srv, key, ""));
        EXPECT_EQ(other->pub.GetPrnStyle(&other->srv, key), "");
    }
}

TEST_P(PubStores, WindowOptionsAreKeptPerUserAndWindow) {
    auto one = session(), other = session();
    QWidget window;
    auto* bar = new QAction(&window);
    bar->setObjectName("mStb");
    bar->setCheckable(true);
    auto* texts = new QAction(&window);
    texts->setObjectName("mText");
    texts->setCheckable(true);
    const auto shown = [&](Session& s, const QString& user, const QString& form) {
        testsupport::TestLogin login(account, "zh-CN", user);
        bar->setChecked(true);
        texts->setChecked(true);
        s.pub.FrmOptInit(&window, form, &login, &s.srv);
        return QStringList{bar->isChecked() ? "bar" : "", texts->isChecked() ? "texts" : ""}.join(',');
    };
    const auto choose = [&](Session& s, const QString& user, const QString& form, bool withBar) {
        testsupport::TestLogin login(account, "zh-CN", user);
        bar->setChecked(withBar);
        texts->setChecked(false);
        s.pub.FrmOpt(&window, "MSTB", form, &login, &s.srv);  // the key ignores case
        s.pub.FrmOpt(&window, "mText", form, &login, &s.srv);
    };
    for (const QString& text : testsupport::hostileTexts(20)) {
        SCOPED_TRACE(testsupport::traceText(text));
        const QString form = text.left(60);
        choose(*one, text, form, false);
        choose(*one, "demo", form, true);
        EXPECT_EQ(shown(*other, text, form), ",");
        EXPECT_EQ(shown(*other, "DEMO", form), "bar,");  // user ids ignore case
        EXPECT_EQ(shown(*other, "other", form), "bar,texts");
        EXPECT_EQ(shown(*other, text, form + "x"), "bar,texts");
        choose(*other, text, form, true);
        EXPECT_EQ(shown(*one, text, form), "bar,");
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PubStores,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

// An account copied to a server and back keeps what its windows stored, and goes on storing.
class MovedAccount : public testsupport::PgTest {
protected:
    struct Session {
        explicit Session(const QString& connectionText) { srv.init(connectionText); }
        QString style() { return pub.GetPrnStyle(&srv, "UserDef"); }
        bool save(const QString& style) { return pub.SavePrnStyle(&srv, "UserDef", style); }
        Pub pub{std::make_shared<ScriptedPrompter>(), "zh-cn"};
        platform::server::ClsCommon srv;
    };
    TestAccount account;
};

TEST_F(MovedAccount, KeepsItsPrintStylesAndWindowOptions) {
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    QWidget window;
    auto* bar = new QAction(&window);
    bar->setObjectName("mStb");
    bar->setCheckable(true);
    testsupport::TestLogin login(account);
    const auto barShown = [&](Session& s) {
        bar->setChecked(true);
        s.pub.FrmOptInit(&window, "userdef", &login, &s.srv);
        return bar->isChecked();
    };
    {
        Session files(account.connectionText());
        ASSERT_TRUE(files.save("<Style landscape='1'/>"));
        bar->setChecked(false);
        files.pub.FrmOpt(&window, "mStb", "userdef", &login, &files.srv);
    }
    QString error;
    QTemporaryDir server, back;
    ASSERT_TRUE(platform::db::copyAccountToServer(account.dataRoot(), "001", pg.conninfo, nullptr,
                                                  &error, false, &platform::sql::installPgFunctions) &&
                platform::db::writeServerEntry(server.path(), "001", pg.conninfo, &error))
        << error.toStdString();
    {
        Session there(platform::server::accountConnectionText(server.path(), "001", "zh-CN"));
        ASSERT_TRUE(there.srv.Status()) << there.srv.lastError().toStdString();
        EXPECT_EQ(there.style(), "<Style landscape='1'/>");
        EXPECT_FALSE(barShown(there));
        EXPECT_TRUE(there.save("<Style landscape='0'/>"));
        bar->setChecked(true);
        there.pub.FrmOpt(&window, "mStb", "userdef", &login, &there.srv);
    }
    ASSERT_TRUE(platform::db::copyAccountToFiles(pg.conninfo, "001", back.path(), nullptr, &error))
        << error.toStdString();
    Session files(platform::server::accountConnectionText(back.path(), "001", "zh-CN"));
    EXPECT_EQ(files.style(), "<Style landscape='0'/>");
    EXPECT_TRUE(barShown(files));
    EXPECT_TRUE(files.save("<Style/>"));
    EXPECT_EQ(files.style(), "<Style/>");
}

}  // namespace
