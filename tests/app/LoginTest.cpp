// Logging in to the desk: the dialog, the password check and the login object it makes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCryptographicHash>
#include <QTimeZone>
#include <QFile>
#include <QtEndian>
#include <random>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/Credentials.h"
#include "app/Login.h"
#include "app/LoginDialog.h"
#include "host/IConnection.h"
#include "tests/support/TestAccount.h"

using namespace app;

namespace {

class LoginDialogTest : public testsupport::AccountTest {
protected:
    void SetUp() override {
        AccountTest::SetUp();
        dialog = std::make_unique<LoginDialog>(account.dataRoot());
    }
    template <class W>
    W* child(const char* name) {
        W* w = dialog->findChild<W*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void type(const QString& user, const QString& password) {
        child<QLineEdit>("EdtUser")->setText(user);
        child<QLineEdit>("EdtPassword")->setText(password);
    }
    void pressOk() { child<QDialogButtonBox>("ButtonBox")->button(QDialogButtonBox::Ok)->click(); }
    std::unique_ptr<LoginDialog> dialog;
};

}  // namespace

TEST_F(LoginDialogTest, OffersTheAccountsOfTheSystemDatabase) {
    auto* accounts = child<QComboBox>("CmbAccount");
    ASSERT_GE(accounts->count(), 1);
    EXPECT_EQ(accounts->itemData(0).toString(), QStringLiteral("001"));
    EXPECT_TRUE(accounts->itemText(0).startsWith(QStringLiteral("[001]")));
    EXPECT_EQ(child<QComboBox>("CmbLanguage")->count(), 3);
    EXPECT_TRUE(dialog->errorText().isEmpty());
}

TEST_F(LoginDialogTest, WrongPasswordIsRefusedInTheChosenLanguageKeepingTheRest) {
    dialog->setLanguage(QStringLiteral("en-US"));
    type(QStringLiteral("demo"), QStringLiteral("wrong"));
    pressOk();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->login());
    EXPECT_EQ(dialog->errorText(),
              QStringLiteral(
                  "The user or the password is not correct. Please enter the password again."));
    EXPECT_EQ(child<QLineEdit>("EdtUser")->text(), QStringLiteral("demo"));
    EXPECT_TRUE(child<QLineEdit>("EdtPassword")->text().isEmpty());
    EXPECT_EQ(child<QComboBox>("CmbAccount")->currentData().toString(), QStringLiteral("001"));
    EXPECT_EQ(dialog->language(), QStringLiteral("en-US"));

    dialog->setLanguage(QStringLiteral("zh-CN"));
    type(QStringLiteral("nobody"), QStringLiteral("demo"));  // an unknown user reads the same
    pressOk();
    EXPECT_EQ(dialog->errorText(), QStringLiteral("用户或密码不正确，请重新输入密码。"));
    EXPECT_EQ(child<QLabel>("LblUser")->text(), QStringLiteral("用户(&U)："));
}

TEST_F(LoginDialogTest, PasswordsAreCheckedExactlyAndUsersNeedAName) {
    type(QString(), QStringLiteral("demo"));
    pressOk();
    EXPECT_FALSE(dialog->login());
    EXPECT_FALSE(dialog->errorText().isEmpty());
    for (const QString& almost : {QStringLiteral("Demo"), QStringLiteral("demo "),
                                  QStringLiteral("' or '1'='1"), QString()}) {
        type(QStringLiteral("demo"), almost);
        pressOk();
        EXPECT_FALSE(dialog->login()) << almost.toStdString();
    }
    type(QStringLiteral("demo' --"), QStringLiteral("demo"));
    pressOk();
    EXPECT_FALSE(dialog->login());
}

TEST_F(LoginDialogTest, RightPasswordOpensTheAccountForTheUser) {
    dialog->setLanguage(QStringLiteral("zh-TW"));
    type(QStringLiteral("demo"), QStringLiteral("demo"));
    pressOk();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_TRUE(dialog->login());
    const auto login = dialog->login();
    EXPECT_EQ(login->cUserId(), QStringLiteral("demo"));
    EXPECT_EQ(login->cUserName(), QStringLiteral("演示管理员"));
    EXPECT_EQ(login->cAcc_id(), QStringLiteral("001"));
    EXPECT_EQ(login->LanguageRegion(), QStringLiteral("zh-tw"));
    EXPECT_TRUE(login->ZxDbName().contains(QStringLiteral("Initial Catalog=ZxData_001")));
    EXPECT_TRUE(login->ZxDbName().contains(QStringLiteral("Language=zh-TW")));
    EXPECT_TRUE(login->ZxMetaName().contains(QStringLiteral("Initial Catalog=ZxMeta_001")));
    ASSERT_TRUE(login->ZxCurrentDb());
    EXPECT_EQ(login->ZxCurrentDb()->defaultDatabase(), QStringLiteral("ZxData_001"));
    const host::RecordSetPtr rows =
        login->ZxCurrentDb()->open(QStringLiteral("select dbo.UDF_GetLocaleID() as loc"));
    ASSERT_TRUE(rows) << login->ZxCurrentDb()->lastError().toStdString();
    rows->moveFirst();
    EXPECT_EQ(rows->text(QStringLiteral("loc")), QStringLiteral("zh-TW"));
}

// The demo's users were stored as salted SHA-256 before: such a user logs in once with the
// right password, and that login stores an argon2id hash in its place.
TEST_F(LoginDialogTest, AnOldSha256PasswordLogsInOnceAndIsReplacedByArgon2id) {
    const auto stored = [&] {
        const auto rows = account.db().query(QStringLiteral(
            "SELECT cPasswordHash, cSalt FROM zxsystem.UA_User WHERE cUser_Id = 'admin2'"));
        return rows && !rows->isEmpty() ? rows->at(0, 0).toString() + u'|' + rows->at(0, 1).toString()
                                        : QString();
    };
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash("5a1tadmin2", QCryptographicHash::Sha256).toHex().toUpper());
    ASSERT_TRUE(account.db().execParams(
        QStringLiteral("UPDATE zxsystem.UA_User SET cSalt = '5a1t', cPasswordHash = ?1 "
                       "WHERE cUser_Id = 'admin2'"),
        {sha}));
    type(QStringLiteral("admin2"), QStringLiteral("admin2x"));
    pressOk();
    EXPECT_FALSE(dialog->login());
    EXPECT_EQ(stored(), sha + QStringLiteral("|5a1t"));
    type(QStringLiteral("admin2"), QStringLiteral("admin2"));
    pressOk();
    ASSERT_TRUE(dialog->login());
    EXPECT_TRUE(stored().startsWith(QStringLiteral("$argon2id$"))) << stored().toStdString();
    EXPECT_TRUE(stored().endsWith(u'|'));  // the salt lives in the hash now
    EXPECT_EQ(checkUser(account.dataRoot(), QStringLiteral("admin2"), QStringLiteral("admin2")).result,
              UserCheck::Ok);
}

// Five wrong passwords in a row lock the user out; the lock is kept in the system database, so
// a new dialog (a restarted desk) finds it, and it ends when the clock passes it.
TEST_F(LoginDialogTest, FiveWrongPasswordsLockTheUserOutUntilTheLockEnds) {
    QDateTime now = QDateTime(QDate(2026, 3, 2), QTime(9, 58, 30), QTimeZone::utc());
    setLoginClock([&now] { return now; });
    struct Restore {
        ~Restore() { setLoginClock(nullptr); }
    } restore;
    const auto failures = [&] {
        const auto rows = account.db().query(QStringLiteral(
            "SELECT iFailedLogins, dLockedUntil FROM zxsystem.UA_User WHERE cUser_Id = 'demo'"));
        return rows->at(0, 0).toString() + u'|' + rows->at(0, 1).toString();
    };
    const auto attempt = [&](const QString& password) {
        type(QStringLiteral("demo"), password);
        pressOk();
        return dialog->login() != nullptr;
    };
    dialog->setLanguage(QStringLiteral("en-US"));
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(attempt(QStringLiteral("wrong")));
    EXPECT_EQ(failures(), QStringLiteral("4|"));
    EXPECT_TRUE(attempt(QStringLiteral("demo")));  // a right one clears the count
    EXPECT_EQ(failures(), QStringLiteral("0|"));

    for (int i = 0; i < 5; ++i) EXPECT_FALSE(attempt(QStringLiteral("wrong")));
    EXPECT_EQ(failures(), QStringLiteral("0|2026-03-02 10:03:30"));
    const QString until =
        QDateTime(QDate(2026, 3, 2), QTime(10, 3, 30), QTimeZone::utc()).toLocalTime().toString(
            QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(dialog->errorText(), QStringLiteral("After 5 wrong passwords this user is locked "
                                                  "until %1. Try again then, or ask an "
                                                  "administrator to change the password.")
                                       .arg(until));
    dialog = std::make_unique<LoginDialog>(account.dataRoot());
    now = now.addSecs(5 * 60 - 1);
    EXPECT_FALSE(attempt(QStringLiteral("demo")));  // the right password is not even tried
    EXPECT_TRUE(dialog->errorText().contains(until)) << dialog->errorText().toStdString();
    EXPECT_TRUE(dialog->errorText().contains(QStringLiteral("锁定"))) << "the dialog's zh-CN";
    now = now.addSecs(1);
    EXPECT_TRUE(attempt(QStringLiteral("demo")));
    EXPECT_EQ(failures(), QStringLiteral("0|"));
}

TEST(Credentials, MissingSystemDatabaseIsReportedNotTakenForAWrongPassword) {
    const UserCheck check = checkUser(QStringLiteral("/nonexistent/root"), QStringLiteral("demo"),
                                      QStringLiteral("demo"));
    EXPECT_EQ(check.result, UserCheck::Unreadable);
    EXPECT_FALSE(check.error.isEmpty());
    QString error;
    EXPECT_TRUE(listAccounts(QStringLiteral("/nonexistent/root"), &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(Credentials, AccountIdsThatAreNoFileNamesAreRefused) {
    testsupport::TestAccount account;
    ASSERT_TRUE(account.ok());
    QString error;
    EXPECT_TRUE(
        Login::open(account.dataRoot(), QStringLiteral("001"), "demo", "x", "en-US", &error));
    EXPECT_FALSE(
        Login::open(account.dataRoot(), QStringLiteral("../001"), "demo", "x", "en-US", &error));
    EXPECT_FALSE(
        Login::open(account.dataRoot(), QStringLiteral("002"), "demo", "x", "en-US", &error));
}

// A damaged, truncated or foreign account file is refused at login, saying which and what to do.
TEST_F(LoginDialogTest, AnAccountFileThatIsNotSoundIsRefused) {
    int rootPage = 0;
    {  // closed again before the file is spoilt
        auto db = platform::db::Database::open(account.dataPath(), false, nullptr);
        ASSERT_TRUE(db);
        const auto rows = db->query(
            QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name='UserDef_Base'"));
        ASSERT_TRUE(rows);
        rows->moveFirst();
        rootPage = rows->value(0).toInt();
    }
    QFile data(account.dataPath());
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray original = data.readAll();
    data.close();
    const int pageSize = qFromBigEndian<quint16>(original.constData() + 16);
    std::mt19937 random(14);
    QByteArray damaged = original;
    for (int i = 0; i < pageSize; ++i) damaged[(rootPage - 1) * pageSize + i] = char(random());

    struct Case {
        QByteArray content;
        QString says;
    };
    dialog->setLanguage(QStringLiteral("en-US"));
    for (const Case& c : {Case{damaged, "001 is damaged"},
                          Case{original.left(original.size() / 2 + 100), "001 is incomplete"},
                          Case{"name,value\n" + QByteArray(5000, 'x'), "not an account database"}}) {
        ASSERT_TRUE(data.open(QIODevice::WriteOnly | QIODevice::Truncate));
        data.write(c.content);
        data.close();
        type(QStringLiteral("demo"), QStringLiteral("demo"));
        pressOk();
        EXPECT_FALSE(dialog->login()) << c.says.toStdString();
        EXPECT_TRUE(dialog->errorText().contains(c.says)) << dialog->errorText().toStdString();
        EXPECT_TRUE(dialog->errorText().contains(QStringLiteral("ZxData_001.db")));
        EXPECT_TRUE(dialog->errorText().contains(QStringLiteral("userdef restore 001")));
    }
    dialog->setLanguage(QStringLiteral("zh-CN"));
    pressOk();
    EXPECT_TRUE(dialog->errorText().contains(QStringLiteral("账套 001 无法使用")))
        << dialog->errorText().toStdString();
}
