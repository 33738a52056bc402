// Logging in to the desk: the dialog, the password check and the login object it makes.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QComboBox>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeZone>
#include <QtEndian>
#include <random>

#include "app/Credentials.h"
#include "app/Login.h"
#include "app/LoginDialog.h"
#include "host/IConnection.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/ServerAccount.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/TestAccount.h"

using namespace app;

namespace {

class LoginDialogTest : public testsupport::AccountTest {
protected:
    explicit LoginDialogTest(testsupport::TestAccount::Kind kind = testsupport::TestAccount::Kind::Embedded)
        : AccountTest(kind) {}
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
    // Types user and password, presses OK; true when the login went through.
    bool attempt(const QString& user, const QString& password) {
        child<QLineEdit>("EdtUser")->setText(user);
        child<QLineEdit>("EdtPassword")->setText(password);
        child<QDialogButtonBox>("ButtonBox")->button(QDialogButtonBox::Ok)->click();
        return dialog->login() != nullptr;
    }
    // The given columns of a user's row, joined by '|'.
    QString userRow(const char* columns, const char* user) {
        const auto rows = account.conn().query(
            QStringLiteral(R"(SELECT %1 FROM "UA_User" WHERE "cUser_Id" = ?1)")
                .arg(QLatin1String(columns)),
            {QString::fromLatin1(user)});
        QStringList cells;
        for (int c = 0; rows && !rows->isEmpty() && c < rows->fieldCount(); ++c)
            cells << rows->at(0, c).toString();
        return cells.join(u'|');
    }
    std::unique_ptr<LoginDialog> dialog;
};

}  // namespace

TEST_F(LoginDialogTest, WrongOrInexactPasswordsAreRefusedInTheChosenLanguageKeepingTheRest) {
    EXPECT_EQ(child<QComboBox>("CmbAccount")->currentData().toString(), QStringLiteral("001"));
    dialog->setLanguage(QStringLiteral("en-US"));
    EXPECT_FALSE(attempt(QStringLiteral("demo"), QStringLiteral("wrong")));
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->errorText(),
              QStringLiteral(
                  "The user or the password is not correct. Please enter the password again."));
    EXPECT_EQ(child<QLineEdit>("EdtUser")->text(), QStringLiteral("demo"));
    EXPECT_TRUE(child<QLineEdit>("EdtPassword")->text().isEmpty());

    const std::pair<const char*, const char*> refused[] = {
        {"", "demo"},     {"demo", "Demo"}, {"demo", "demo "}, {"demo", "' or '1'='1"},
        {"demo", ""},     {"demo' --", "demo"}, {"nobody", "demo"}};
    for (const auto& [user, password] : refused)
        EXPECT_FALSE(attempt(QString::fromUtf8(user), QString::fromUtf8(password)))
            << user << " / " << password;
    dialog->setLanguage(QStringLiteral("zh-CN"));
    attempt(QStringLiteral("nobody"), QStringLiteral("demo"));
    EXPECT_EQ(dialog->errorText(), QStringLiteral("用户或密码不正确，请重新输入密码。"));
    EXPECT_EQ(child<QLabel>("LblUser")->text(), QStringLiteral("用户(&U)："));
}

TEST_F(LoginDialogTest, RightPasswordOpensTheAccountForTheUser) {
    dialog->setLanguage(QStringLiteral("zh-TW"));
    ASSERT_TRUE(attempt(QStringLiteral("demo"), QStringLiteral("demo")));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const auto login = dialog->login();
    EXPECT_EQ(login->cUserName(), QStringLiteral("演示管理员"));
    EXPECT_EQ(login->LanguageRegion(), QStringLiteral("zh-tw"));
    ASSERT_TRUE(login->ZxCurrentDb());
    const host::RecordSetPtr rows =
        login->ZxCurrentDb()->open(QStringLiteral("select dbo.UDF_GetLocaleID() as loc"));
    ASSERT_TRUE(rows) << login->ZxCurrentDb()->lastError().toStdString();
    rows->moveFirst();
    EXPECT_EQ(rows->text(QStringLiteral("loc")), QStringLiteral("zh-TW"));
}

// The demo's users were stored as salted SHA-256 before: such a user logs in once with the
// right password, and that login stores an argon2id hash in its place.
TEST_F(LoginDialogTest, AnOldSha256PasswordLogsInOnceAndIsReplacedByArgon2id) {
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash("5a1tadmin2", QCryptographicHash::Sha256).toHex().toUpper());
    ASSERT_TRUE(account.db().execParams(
        QStringLiteral("UPDATE zxsystem.UA_User SET cSalt = '5a1t', cPasswordHash = ?1 "
                       "WHERE cUser_Id = 'admin2'"),
        {sha}));
    EXPECT_FALSE(attempt(QStringLiteral("admin2"), QStringLiteral("admin2x")));
    EXPECT_EQ(userRow("cPasswordHash, cSalt", "admin2"), sha + QStringLiteral("|5a1t"));
    ASSERT_TRUE(attempt(QStringLiteral("admin2"), QStringLiteral("admin2")));
    const QString stored = userRow("cPasswordHash, cSalt", "admin2");
    EXPECT_TRUE(stored.startsWith(QStringLiteral("$argon2id$"))) << stored.toStdString();
    EXPECT_TRUE(stored.endsWith(u'|'));  // the salt lives in the hash now
    EXPECT_EQ(checkUser(account.dataRoot(), QStringLiteral("admin2"), QStringLiteral("admin2")).result,
              UserCheck::Ok);
}

// On either kind of account: the server keeps the users of a server account.
class LoginOnAccounts : public LoginDialogTest,
                        public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    LoginOnAccounts() : LoginDialogTest(GetParam()) {}
};

// Five wrong passwords in a row lock the user out; the lock is kept in the system database, so
// a new dialog (a restarted desk) finds it, and it ends when the clock passes it.
TEST_P(LoginOnAccounts, FiveWrongPasswordsLockTheUserOutUntilTheLockEnds) {
    QDateTime now = QDateTime(QDate(2026, 3, 2), QTime(9, 58, 30), QTimeZone::utc());
    setLoginClock([&now] { return now; });
    struct Restore {
        ~Restore() { setLoginClock(nullptr); }
    } restore;
    const auto failures = [&] { return userRow(R"("iFailedLogins", "dLockedUntil")", "demo"); };
    const QString demo = QStringLiteral("demo"), wrong = QStringLiteral("wrong");
    dialog->setLanguage(QStringLiteral("en-US"));
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(attempt(demo, wrong));
    EXPECT_EQ(failures(), QStringLiteral("4|"));
    EXPECT_TRUE(attempt(demo, demo));  // a right one clears the count
    EXPECT_EQ(failures(), QStringLiteral("0|"));

    for (int i = 0; i < 5; ++i) EXPECT_FALSE(attempt(demo, wrong));
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
    EXPECT_FALSE(attempt(demo, demo));  // the right password is not even tried
    EXPECT_TRUE(dialog->errorText().contains(until)) << dialog->errorText().toStdString();
    EXPECT_TRUE(dialog->errorText().contains(QStringLiteral("锁定"))) << "the dialog's zh-CN";
    now = now.addSecs(1);
    EXPECT_TRUE(attempt(demo, demo));
    EXPECT_EQ(failures(), QStringLiteral("0|"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, LoginOnAccounts,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

TEST(Credentials, AMissingSystemDatabaseOrAnAccountIdThatIsNoFileNameIsRefused) {
    const QString missing = QStringLiteral("/nonexistent/root");
    const UserCheck check = checkUser(missing, QStringLiteral("demo"), QStringLiteral("demo"));
    EXPECT_EQ(check.result, UserCheck::Unreadable);  // not taken for a wrong password
    EXPECT_FALSE(check.error.isEmpty());
    QString error;
    EXPECT_TRUE(listAccounts(missing, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());

    testsupport::TestAccount account;
    ASSERT_TRUE(account.ok());
    EXPECT_TRUE(Login::open(account.dataRoot(), "001", "demo", "x", "en-US", &error));
    EXPECT_FALSE(Login::open(account.dataRoot(), "../001", "demo", "x", "en-US", &error));
    EXPECT_FALSE(Login::open(account.dataRoot(), "002", "demo", "x", "en-US", &error));

}

// Server accounts are listed as their server names them; one whose server does not answer is
// listed with a note, the others as ever.
TEST(Credentials, ServerAccountsAreListedWithTheEmbeddedOnes) {
    testsupport::TestAccount account;
    testsupport::PgTestDatabase server;
    ASSERT_TRUE(account.ok() && server.db) << server.error.toStdString();
    QString error;
    ASSERT_TRUE(platform::db::copyAccountToServer(account.dataRoot(), "001", server.conninfo,
                                                  nullptr, &error) &&
                server.db->exec("UPDATE zxsystem.ua_account SET \"cAcc_Name\" = 'on the server'") &&
                platform::db::writeServerEntry(account.dataRoot(), "001", server.conninfo, &error) &&
                platform::db::writeServerEntry(account.dataRoot(), "009",
                                               "host=/nonexistent dbname=x", &error))
        << error.toStdString();
    const QVector<AccountInfo> accounts = listAccounts(account.dataRoot(), &error);
    ASSERT_EQ(accounts.size(), 2);
    EXPECT_EQ(accounts[0].id + accounts[0].name, "001on the server");
    EXPECT_EQ(accounts[1].id, "009");
    EXPECT_TRUE(accounts[1].name.contains("cannot read its server")) << accounts[1].name.toStdString();
}

// A server account whose server takes the connection but never answers, or whose server database
// holds no such account: the login is refused in time, saying why, and nothing is kept.
TEST(Credentials, AServerThatDoesNotAnswerOrLacksTheAccountRefusesTheLoginWithTheReason) {
    testsupport::TestAccount account;
    testsupport::PgTestDatabase empty;
    ASSERT_TRUE(account.ok() && empty.db) << empty.error.toStdString();
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_TRUE(bind(silent, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                listen(silent, 4) == 0 &&
                getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    QString error;
    ASSERT_TRUE(platform::db::writeServerEntry(
                    account.dataRoot(), "008",
                    QStringLiteral("host=127.0.0.1 port=%1 dbname=x").arg(ntohs(address.sin_port)),
                    &error) &&
                platform::db::writeServerEntry(account.dataRoot(), "009", empty.conninfo, &error))
        << error.toStdString();
    LoginDialog dialog(account.dataRoot());
    dialog.setLanguage(QStringLiteral("en-US"));
    const std::pair<const char*, const char*> cases[] = {{"008", "timeout"}, {"009", "009"}};
    for (const auto& [id, says] : cases) {
        auto* accounts = dialog.findChild<QComboBox*>("CmbAccount");
        accounts->setCurrentIndex(accounts->findData(QString::fromLatin1(id)));
        dialog.findChild<QLineEdit*>("EdtUser")->setText(QStringLiteral("demo"));
        dialog.findChild<QLineEdit*>("EdtPassword")->setText(QStringLiteral("demo"));
        QElapsedTimer took;
        took.start();
        dialog.findChild<QDialogButtonBox*>("ButtonBox")->button(QDialogButtonBox::Ok)->click();
        EXPECT_LT(took.elapsed(), 30000) << id;
        EXPECT_FALSE(dialog.login()) << id;
        EXPECT_TRUE(dialog.errorText().contains(QLatin1String(says))) << dialog.errorText().toStdString();
    }
    ::close(silent);
    EXPECT_EQ(empty.db->query("SELECT count(*) FROM pg_namespace WHERE nspname LIKE 'zx%'")->at(0, 0).toInt(), 0);
}

// A damaged, truncated or foreign account file is refused at login, saying which and what to do.
TEST_F(LoginDialogTest, AnAccountFileThatIsNotSoundIsRefused) {
    int rootPage = 0;
    {  // closed again before the file is spoilt
        auto db = platform::db::Database::open(account.dataPath(), false, nullptr);
        ASSERT_TRUE(db);
        const auto rows = db->query(
            QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name='UserDef_Base'"));
        ASSERT_TRUE(rows && !rows->isEmpty());
        rootPage = rows->at(0, 0).toInt();
    }
    QFile data(account.dataPath());
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray original = data.readAll();
    data.close();
    const int pageSize = qFromBigEndian<quint16>(original.constData() + 16);
    std::mt19937 random(14);
    QByteArray damaged = original;
    for (int i = 0; i < pageSize; ++i) damaged[(rootPage - 1) * pageSize + i] = char(random());

    dialog->setLanguage(QStringLiteral("en-US"));
    const std::pair<QByteArray, QString> cases[] = {
        {damaged, "001 is damaged"},
        {original.left(original.size() / 2 + 100), "001 is incomplete"},
        {"name,value\n" + QByteArray(5000, 'x'), "not an account database"}};
    for (const auto& [content, says] : cases) {
        ASSERT_TRUE(data.open(QIODevice::WriteOnly | QIODevice::Truncate));
        data.write(content);
        data.close();
        EXPECT_FALSE(attempt(QStringLiteral("demo"), QStringLiteral("demo"))) << says.toStdString();
        const QString shown = dialog->errorText();
        EXPECT_TRUE(shown.contains(says) && shown.contains(QStringLiteral("ZxData_001.db")) &&
                    shown.contains(QStringLiteral("userdef restore 001")))
            << shown.toStdString();
    }
    dialog->setLanguage(QStringLiteral("zh-CN"));
    attempt(QStringLiteral("demo"), QStringLiteral("demo"));
    EXPECT_TRUE(dialog->errorText().contains(QStringLiteral("账套 001 无法使用")))
        << dialog->errorText().toStdString();
}
