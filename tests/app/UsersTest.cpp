// The portal's Users function: an administrator adds, re-passwords and removes users; the
// system database that keeps the account's users (a server account's on its server) and the
// login check show the result.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "app/Credentials.h"
#include "app/Desk.h"
#include "app/Login.h"
#include "app/PortalFrame.h"
#include "app/UsersView.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

using namespace app;

namespace {

class UsersTest : public testsupport::AccountTest {
protected:
    using AccountTest::AccountTest;
    std::unique_ptr<Desk> deskFor(const QString& user, const QString& language) {
        QString error;
        auto login = Login::open(account.dataRoot(), QStringLiteral("001"), user, user, language,
                                 &error);
        EXPECT_TRUE(login) << error.toStdString();
        return std::make_unique<Desk>(login, QStringLiteral("Demo Co."), prompter);
    }
    // Opens the function from the portal's menu, as the user does.
    UsersView* open(Desk& desk) {
        auto* action = desk.portal()->findChild<QAction*>(QStringLiteral("ActUsers"));
        if (!action || !action->isVisible()) return nullptr;
        action->trigger();
        return qobject_cast<UsersView*>(desk.portal()->tabs()->currentWidget());
    }
    template <class W>
    W* in(UsersView* view, const char* name) {
        W* w = view->findChild<W*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    // Fills the four boxes and presses a button.
    void submit(UsersView* view, const char* button, const QString& id, const QString& name,
                const QString& password, const QString& again) {
        in<QLineEdit>(view, "EdtUserId")->setText(id);
        in<QLineEdit>(view, "EdtUserName")->setText(name);
        in<QLineEdit>(view, "EdtPassword")->setText(password);
        in<QLineEdit>(view, "EdtPassword2")->setText(again);
        press(view, button);
    }
    void press(UsersView* view, const char* button) { in<QPushButton>(view, button)->click(); }
    void choose(UsersView* view, const QString& id) {
        auto* grid = in<QTableWidget>(view, "GrdUsers");
        for (int r = 0; r < grid->rowCount(); ++r)
            if (grid->item(r, 0)->text() == id) grid->selectRow(r);
    }
    // name|admin|hash of a user in the system database; empty when there is none.
    QString row(const QString& id) {
        const auto rows = account.conn().query(
            QStringLiteral(R"(SELECT "cUser_Name", "bDefAdmin", "cPasswordHash" FROM )"
                           R"(zxsystem."UA_User" WHERE "cUser_Id" = ?1)"),
            {id});
        if (!rows || rows->isEmpty()) return {};
        return rows->at(0, 0).toString() + u'|' + QString::number(rows->at(0, 1).toInt()) +
               u'|' + rows->at(0, 2).toString();
    }
    UserCheck::Result check(const QString& id, const QString& password) {
        return checkUser(account.dataRoot(), id, password, account.accountId()).result;
    }

    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
};

// On either kind of account.
class UsersOnAccounts : public UsersTest,
                        public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    UsersOnAccounts() : UsersTest(GetParam()) {}
};

}  // namespace

TEST_P(UsersOnAccounts, AnAdministratorAddsRepasswordsAndRemovesAUser) {
    auto desk = deskFor(QStringLiteral("demo"), QStringLiteral("en-US"));
    UsersView* view = open(*desk);
    ASSERT_TRUE(view);
    EXPECT_EQ(desk->portal()->tabs()->tabText(0), QStringLiteral("Users"));
    const QString zhang = QStringLiteral("zhang"), name = QStringLiteral("张三");
    const QString first = QStringLiteral("first-pass"), second = QStringLiteral("second-pass");

    // Refused: nothing stored, what was typed but the passwords kept.
    const std::tuple<QString, QString, QString> refused[] = {
        {first, "first-past", "The two passwords differ; type the same password twice."},
        {"short", "short", "A password needs at least 8 characters."}};
    for (const auto& [password, again, says] : refused) {
        submit(view, "BtnAdd", zhang, name, password, again);
        EXPECT_EQ(view->messageText(), says);
        EXPECT_EQ(row(zhang), QString());
        EXPECT_EQ(in<QLineEdit>(view, "EdtUserName")->text(), name);
    }
    submit(view, "BtnAdd", zhang, name, first, first);
    EXPECT_EQ(view->messageText(), QStringLiteral("User zhang was added."));
    EXPECT_TRUE(row(zhang).startsWith(QStringLiteral("张三|0|$argon2id$"))) << row(zhang).toStdString();
    EXPECT_EQ(check(zhang, first), UserCheck::Ok);
    submit(view, "BtnAdd", QStringLiteral("ZHANG"), QString(), second, second);
    EXPECT_EQ(view->messageText(), QStringLiteral("The user ZHANG exists already."));

    // A new password, typed twice: the old one no longer logs in.
    choose(view, zhang);
    submit(view, "BtnChangePassword", QString(), QString(), second, second);
    EXPECT_EQ(view->messageText(), QStringLiteral("The password of zhang was changed."));
    EXPECT_EQ(check(zhang, first), UserCheck::WrongCredentials);
    EXPECT_EQ(check(zhang, second), UserCheck::Ok);

    // The logged-in user cannot remove themselves; another user goes after a Yes.
    choose(view, QStringLiteral("demo"));
    press(view, "BtnRemove");
    EXPECT_EQ(view->messageText(), QStringLiteral("demo is the user logged in now and cannot be removed."));
    prompter->queueAnswers({7, 6});  // No, then Yes
    choose(view, zhang);
    press(view, "BtnRemove");
    EXPECT_FALSE(row(zhang).isEmpty());
    choose(view, zhang);
    press(view, "BtnRemove");
    EXPECT_EQ(prompter->last()->text,
              QStringLiteral("Remove the user zhang (张三)? They can no longer log in."));
    EXPECT_EQ(row(zhang), QString());
    EXPECT_EQ(in<QTableWidget>(view, "GrdUsers")->rowCount(), 2);
    EXPECT_EQ(check(zhang, second), UserCheck::WrongCredentials);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UsersOnAccounts,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) {
                             return std::string(testsupport::kindName(info.param));
                         });

TEST_F(UsersTest, HostileIdsAreRefusedAndHostileNamesStoredExactly) {
    auto desk = deskFor(QStringLiteral("demo"), QStringLiteral("zh-CN"));
    UsersView* view = open(*desk);
    ASSERT_TRUE(view);
    EXPECT_EQ(desk->portal()->tabs()->tabText(0), QStringLiteral("用户"));
    const QString password = QStringLiteral("pass-word");
    int n = 0;
    for (const QString& text : testsupport::hostileTexts(40) + testsupport::controlTexts()) {
        SCOPED_TRACE(testsupport::traceText(text));
        const int before = in<QTableWidget>(view, "GrdUsers")->rowCount();
        submit(view, "BtnAdd", text.left(20), QStringLiteral("x"), password, password);
        const QString stored = row(text.left(20));
        if (stored.isEmpty()) {
            EXPECT_TRUE(view->messageText().startsWith(QStringLiteral("用户编号须为")));
        }
        EXPECT_EQ(in<QTableWidget>(view, "GrdUsers")->rowCount(), before + !stored.isEmpty());

        const QString id = QStringLiteral("name%1").arg(++n);
        submit(view, "BtnAdd", id, text, password, password);
        const bool control = std::any_of(text.begin(), text.end(), [](QChar c) {
            return c.category() == QChar::Other_Control;
        });
        if (control) {
            EXPECT_EQ(row(id), QString());
            EXPECT_EQ(view->messageText(), QStringLiteral("姓名最多 40 个字符，且不能含控制字符。"));
        } else {
            EXPECT_EQ(row(id).section(u'|', 0, -3), text);
        }
    }
}

TEST_F(UsersTest, OnlyAnAdministratorOfDefinitionsIsOfferedTheFunction) {
    ASSERT_TRUE(account.db().exec(QStringLiteral(
        "INSERT INTO zxsystem.UA_User(cUser_Id, cUser_Name, bDefAdmin) VALUES ('clerk', 'c', 0)")));
    auto desk = deskFor(QStringLiteral("clerk"), QStringLiteral("en-US"));
    EXPECT_FALSE(open(*desk));
    desk->openFunction(QStringLiteral("Users"));  // as --open Users would
    EXPECT_EQ(desk->portal()->tabs()->count(), 0);
    EXPECT_EQ(prompter->last()->text, QStringLiteral("Only an administrator of definitions manages users."));
}
