// The program's command line, run as processes on a fresh copy of the demo account.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QtEndian>

#include "platform/db/AccountFiles.h"
#include "platform/pub/FunctionLocks.h"
#include "platform/db/Database.h"
#include "platform/server/ClsCommon.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/TestAccount.h"

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

class CommandLine : public testsupport::AccountTest {
protected:
    explicit CommandLine(testsupport::TestAccount::Kind kind = testsupport::TestAccount::Kind::Embedded)
        : AccountTest(kind) {}
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("USERDEF_DATA"), account.dataRoot());
        for (const QString& name : withoutEnv) env.remove(name);
        return env;
    }
    Result run(const QStringList& arguments, const QByteArray& input = {}) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(USERDEF_PROGRAM), arguments);
        process.write(input);
        process.closeWriteChannel();
        Result r;
        if (!process.waitForFinished(60000)) {
            process.kill();
            r.err = QStringLiteral("did not finish");
            return r;
        }
        r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.out = QString::fromUtf8(process.readAllStandardOutput());
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    }
    Result sql(const QString& statement) { return run({QStringLiteral("sql"), QStringLiteral("001"), statement}); }
    QString path(const char* name) const { return account.dataRoot() + QLatin1Char('/') + QLatin1String(name); }
    QStringList withoutEnv;
};

// The help, a refusal and every command run without a display: nothing opens a window.
TEST_F(CommandLine, HelpListsEveryOptionAndRefusalsNeedNoDisplay) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) withoutEnv << name;
    const Result help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    // Each option and command opens a line of its own, not only a mention in another's text.
    for (const char* word : {"--account", "--user", "--password", "--lang", "--open",
                             "--screenshot", "--force", "--yes", "--name", "--admin",
                             "--password-stdin", "init-demo", "sql", "check", "backup", "restore",
                             "user list", "user add", "user passwd", "user remove", "export",
                             "diff", "import", "history", "undo", "--class", "--item",
                             "--dry-run", "--remove-missing", "--purge", "help", "copy-account",
                             "--server", "--to", "--from", "--to-file"})
        EXPECT_TRUE(help.out.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(word)))) << word;
    EXPECT_EQ(run({QStringLiteral("help")}).out, help.out);

    struct Case {
        QStringList arguments;
        const char* reason;
    };
    for (const Case& c : {Case{{"frobnicate"}, "frobnicate"}, Case{{"--frob"}, "frob"},
                          Case{{"--user"}, "--user"}, Case{{"sql", "001"}, "2 argument"},
                          Case{{"check", "001", "--force"}, "--force"},
                          Case{{"--lang", "fr-FR"}, "fr-FR"},
                          Case{{"export", "001"}, "-o <file>"}}) {
        const Result r = run(c.arguments);
        EXPECT_EQ(r.status, 2) << c.reason << " " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.reason))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("--screenshot"))) << c.reason;  // the help
        EXPECT_TRUE(r.out.isEmpty());
    }
    // An account that is there is not made anew without --force.
    const Result again = run({QStringLiteral("init-demo"), QStringLiteral("001")});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("--force"))) << again.err.toStdString();
}

// An account moves to a server and works there; a demo account made on the server comes back
// into files; each copy prints every table's rows and checksum; a second copy is refused.
TEST_F(CommandLine, AccountsMoveToAServerAndBack) {
    testsupport::PgTestDatabase server;
    ASSERT_TRUE(server.db) << server.error.toStdString();
    const QString to = QStringLiteral("--to"), conninfo = server.conninfo;
    Result r = run({QStringLiteral("copy-account"), QStringLiteral("001"), to, conninfo});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nzxdata_001.Userdefine\t22\t"))) << r.out.toStdString();
    QFile entry(account.dataRoot() + QStringLiteral("/001/server.conninfo"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(entry.readAll().trimmed(), conninfo.toUtf8());
    r = run({QStringLiteral("copy-account"), QStringLiteral("001"), to, conninfo});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--to-file"))) << r.err.toStdString();

    r = run({QStringLiteral("init-demo"), QStringLiteral("002"), QStringLiteral("--server"), conninfo});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = run({QStringLiteral("check"), QStringLiteral("002")});  // no files to check
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("works on the server"))) << r.err.toStdString();
    const QStringList back{QStringLiteral("copy-account"), QStringLiteral("002"),
                           QStringLiteral("--from"), conninfo, QStringLiteral("--to-file")};
    r = run(back);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nzxmeta_002.refdesign\t"))) << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(account.dataRoot() + QStringLiteral("/002/server.conninfo")));
    r = run({QStringLiteral("sql"), QStringLiteral("002"),
             QStringLiteral("select count(*) as n from Userdefine")});
    EXPECT_EQ(r.out, QStringLiteral("n\n22\n")) << r.err.toStdString();
    r = run(back);  // the files are there now
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("ZxData_002.db"))) << r.err.toStdString();
}

// Backup while another process writes: the copy holds a gapless prefix of the writes; check
// finds damage; restore asks, refuses what is not an account and puts the copy back.
TEST_F(CommandLine, BackupWhileWritingThenCheckAndRestore) {
    ASSERT_EQ(sql(QStringLiteral("create table zz_Writes(n int)")).status, 0);
    // The writer writes 1, 2, 3 … until the backup is done (at most 500 writes).
    QProcess writer;
    writer.setProcessEnvironment(environment());
    writer.start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"),
                  QStringLiteral("i=1; while [ $i -le 500 ] && [ ! -e \"$1/stop\" ]; do \"$0\" "
                                 "sql 001 \"insert into zz_Writes values ($i)\" || exit 1; "
                                 "i=$((i+1)); done"),
                  QStringLiteral(USERDEF_PROGRAM), account.dataRoot()});
    ASSERT_TRUE(writer.waitForReadyRead(60000));  // the first write is in
    const QString file = path("copy.db");
    Result r = run({QStringLiteral("backup"), QStringLiteral("001"), file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile(path("stop")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(writer.waitForFinished(120000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();

    const QString written = sql(QStringLiteral("select count(*) as n from zz_Writes")).out;
    const int writes = written.section(u'\n', 1, 1).toInt();
    ASSERT_GE(writes, 1);
    const auto restore = [&](const QString& from, const QByteArray& answer, bool yes = false) {
        QStringList args{QStringLiteral("restore"), QStringLiteral("001"), from};
        if (yes) args << QStringLiteral("--yes");
        return run(args, answer);
    };
    r = restore(file, "n\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("[y/N]")));
    QFile junk(path("junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'x'));
    junk.close();
    ASSERT_TRUE(QFile::copy(file + QStringLiteral(".meta"), junk.fileName() + ".meta"));
    for (const QString& refused : {junk.fileName(), file + QStringLiteral(".meta")}) {
        r = restore(refused, {}, true);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("not an account database"))) << r.err.toStdString();
    }
    EXPECT_EQ(sql(QStringLiteral("select count(*) as n from zz_Writes")).out, written);  // refusals changed nothing

    r = restore(file, "y\n");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList rows =
        sql(QStringLiteral("select n from zz_Writes order by n")).out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(rows.size(), 2);  // header and at least the first write
    EXPECT_LE(rows.size() - 1, writes);
    for (int i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i], QString::number(i));

    EXPECT_EQ(run({QStringLiteral("check"), QStringLiteral("001")}).status, 0);
    {  // the root page of the first table overwritten
        QFile data(account.dataPath());
        ASSERT_TRUE(data.open(QIODevice::ReadWrite));
        const int pageSize = qFromBigEndian<quint16>(data.read(100).constData() + 16);
        ASSERT_TRUE(data.seek(pageSize));
        data.write(QByteArray(pageSize, '\x5a'));
    }
    r = run({QStringLiteral("check"), QStringLiteral("001")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("ZxData_001.db: damaged"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("ZxMeta_001.db: ok")));
}

TEST_F(CommandLine, UsersComeAndGoWithPasswordsReadFromStdinThatNothingShows) {
    QStringList said;  // everything the program printed
    const auto user = [&](const QStringList& arguments, const QByteArray& input = {}) {
        const Result r = run(QStringList{QStringLiteral("user")} + arguments, input);
        said << r.out << r.err;
        return r;
    };
    Result r = user({"add", "001", "zhang", "--name", "张三", "--password-stdin"}, "pass-word-1\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("User zhang was added.\n"));
    r = user({"add", "001", "li", "--password-stdin"}, "pass-word-1\npass-word-2\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("passwords differ")));
    r = user({"add", "001", "li"}, "pass-word-1\npass-word-1\n");  // no terminal, no option
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--password-stdin")));
    EXPECT_EQ(user({"add", "001", "li", "--password", "pass-word-1"}).status, 2);
    r = user({"add", "001", "o'brien", "--password-stdin"}, "pass-word-1\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("is not one"))) << r.err.toStdString();
    EXPECT_EQ(user({"passwd", "001", "zhang", "--password-stdin"}, "pass-word-2\npass-word-2\n").status, 0);

    r = user({"list", "001"});
    EXPECT_TRUE(r.out.contains(QStringLiteral("zhang\t张三\tno\t\n"))) << r.out.toStdString();

    // The last administrator of definitions stays.
    EXPECT_EQ(user({"remove", "001", "zhang"}).status, 0);
    EXPECT_EQ(user({"remove", "001", "admin2"}).status, 0);
    r = user({"remove", "001", "demo"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("demo is the last administrator of definitions and cannot be removed.\n"));
    EXPECT_EQ(user({"list", "001"}).out,
              QStringLiteral("user\tname\tadministrator\tlocked until\ndemo\t演示管理员\tyes\t\n"));
    for (const QString& text : said) {
        EXPECT_FALSE(text.contains(QStringLiteral("pass-word"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("$argon2"))) << text.toStdString();
    }
}

// On either kind of account the hash and salt columns read as empty through sql, however asked
// for, and stay unwritten; the rest of the users' table reads and writes as ever.
class CommandLineOnAccounts : public CommandLine,
                              public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    CommandLineOnAccounts() : CommandLine(GetParam()) {}
};

TEST_P(CommandLineOnAccounts, TypedStatementsNeitherSeeNorSetAPasswordHash) {
    const auto stored = [&] {
        return account.rows(R"(SELECT "cUser_Id", "cSalt", "cPasswordHash" FROM zxsystem."UA_User")");
    };
    const QStringList before = stored();
    ASSERT_FALSE(before.isEmpty());
    for (const QString& statement :
         {QStringLiteral("select * from UA_User"),
          QStringLiteral("select cUser_Id, cPasswordHash as h, upper(cSalt) from UA_User"),
          QStringLiteral("select u.cUser_Id, u.cPasswordHash from zxsystem.UA_User u"),
          QStringLiteral("select zxsystem.dbo.UA_User.cSalt, cUser_Id from zxsystem.dbo.UA_User")}) {
        const Result r = sql(statement);
        EXPECT_EQ(r.status, 0) << statement.toStdString() << " " << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("admin2"))) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("$argon2"))) << r.out.toStdString();
    }
    for (const QString& statement : {QStringLiteral("update UA_User set cPasswordHash = 'x'"),
                                     QStringLiteral("update zxsystem.UA_User set cSalt = 'x'")})
        EXPECT_EQ(sql(statement).status, 1) << statement.toStdString();
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(sql(QStringLiteral("update UA_User set cUser_Name = 'Second' where cUser_Id = 'admin2'")).status, 0);
    EXPECT_TRUE(run({"user", "list", "001"}).out.contains(QStringLiteral("admin2\tSecond\t")));
}

INSTANTIATE_TEST_SUITE_P(Kinds, CommandLineOnAccounts,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

// A deleted item in the history, undone from the command line, the history purged at the end.
TEST_F(CommandLine, HistoryShowsADeletionThatUndoPutsBack) {
    QString error;
    ASSERT_TRUE(account.srv().Delete(QStringLiteral("1003"), QStringLiteral("cid"),
                                     QStringLiteral("Userdef_base"), &error))
        << error.toStdString();
    const auto count = [&](const char* sql) {
        const host::RecordSetPtr rs = account.db().query(QString::fromLatin1(sql));
        return rs ? rs->at(0, 0).toInt() : -1;
    };
    const int change = count("SELECT max(iChange) FROM zx_History");
    const QString number = QString::number(change);
    Result r = run({"history", "001", "--item", "1003"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    for (const QString& line : {QStringLiteral("#%1  ").arg(change),
                                QStringLiteral("  Delete Userdef_base 1003\n"),
                                QStringLiteral("    - UserDef_Base [1003]: "),
                                QStringLiteral("    column cHDefine3 on PU_ArrivalHead: nvarchar(20) COLLATE NOCASE -> (none)\n")})
        EXPECT_TRUE(r.out.contains(line)) << line.toStdString() << "\n" << r.out.toStdString();

    const QList<std::pair<QStringList, const char*>> refused = {
        {{"undo", "001", "first"}, "is not the number of a change"},
        {{"undo", "001", "99999"}, "There is no change 99999"},
    };
    for (const auto& [arguments, reason] : refused) {
        r = run(arguments);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(QLatin1String(reason))) << r.err.toStdString();
    }
    r = run({"undo", "001", number});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(count("SELECT count(*) FROM UserDef_Base WHERE cId = '1003'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM pragma_table_info('PU_ArrivalHead_extradefine') "
                    "WHERE name = 'cHDefine3'"),
              1);
    r = run({"undo", "001", number});
    EXPECT_TRUE(r.status == 1 && r.err.contains("undone already")) << r.err.toStdString();
    EXPECT_TRUE(run({"history", "001"}).out.contains(QStringLiteral("(undone by #%1)").arg(change + 1)));

    r = run({"history", "001", "--purge", QString::number(change + 1)});
    EXPECT_EQ(r.out, QStringLiteral("Removed 2 change(s) up to %1 from the history.\n").arg(change + 1));
    EXPECT_EQ(count("SELECT count(*) FROM zx_History") + count("SELECT count(*) FROM zx_HistoryValue"), 0);
}

}  // namespace

// A package travels from one account to another: export, diff, a dry run, the import; a damaged
// file is refused with the account unchanged.
TEST_F(CommandLine, PackageExportDiffAndImportBetweenAccounts) {
    ASSERT_EQ(run({QStringLiteral("init-demo"), QStringLiteral("002")}).status, 0);
    QString error;
    ASSERT_TRUE(account.srv().Modify(QStringLiteral("<Userdef><cId>1001</cId><cItemName>合同号"
                                                    "</cItemName></Userdef>"),
                                     QStringLiteral("Userdef"), &error))
        << error.toStdString();
    const QString file = path("pack.xml"), back = path("back.xml");
    const auto exported = [&](const char* account, const QString& to) {
        const Result r = run({QStringLiteral("export"), QLatin1String(account), QStringLiteral("-o"), to});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        QFile f(to);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray package = exported("001", file);
    const QString name = QStringLiteral("select cItemName from UserDef_Base where cId = '1001'");
    const QString before = run({QStringLiteral("sql"), QStringLiteral("002"), name}).out;
    Result r = run({QStringLiteral("diff"), QStringLiteral("002"), file});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("cItemName: \"项目编号\" -> \"合同号\""))) << r.out.toStdString();
    r = run({QStringLiteral("import"), QStringLiteral("002"), file, QStringLiteral("--dry-run")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("sql"), QStringLiteral("002"), name}).out, before);

    QFile cut(path("cut.xml"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(package.left(package.size() / 3));
    cut.close();
    r = run({QStringLiteral("import"), QStringLiteral("002"), cut.fileName()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("the account is unchanged"))) << r.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("sql"), QStringLiteral("002"), name}).out, before);

    {  // someone editing an item of the account stops the import
        platform::pub::FunctionLocks editing(QStringLiteral("another-desk"));
        ASSERT_TRUE(editing.open(platform::db::accountFiles(account.dataRoot(), QStringLiteral("002")).data, &error));
        ASSERT_EQ(editing.apply(QStringLiteral("UserDef"), 20, QStringLiteral("1001"), QStringLiteral("zhang")).outcome,
                  platform::pub::FunctionLocks::Outcome::Taken);
        r = run({QStringLiteral("import"), QStringLiteral("002"), file});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("zhang"))) << r.err.toStdString();
    }
    r = run({QStringLiteral("import"), QStringLiteral("002"), file});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(run({QStringLiteral("sql"), QStringLiteral("002"), name}).out.contains(QStringLiteral("合同号")));
    EXPECT_EQ(exported("002", back), package);
    // The account's history says where the change came from and shows what changed, not texts
    // that went from never filled to empty.
    EXPECT_TRUE(run({QStringLiteral("sql"), QStringLiteral("002"),
                     QStringLiteral("select distinct cOrigin from zx_History")})
                    .out.contains(QStringLiteral("userdef import")));
    r = run({QStringLiteral("history"), QStringLiteral("002")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"合同号\""))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("NULL -> \"\""))) << r.out.toStdString();
}
