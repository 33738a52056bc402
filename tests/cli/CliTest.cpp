// userdef init-demo and userdef sql, run as processes in a data root of their own.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

class CommandLine : public ::testing::Test {
protected:
    Result run(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("USERDEF_DATA"), root.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(USERDEF_PROGRAM), arguments);
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
    Result sql(const QString& statement, const QStringList& more = {}) {
        return run(QStringList{QStringLiteral("sql"), QStringLiteral("001"), statement} + more);
    }
    QTemporaryDir root;
};

TEST_F(CommandLine, InitDemoCreatesOnceAndReplacesOnlyWhenForced) {
    Result r = run({QStringLiteral("init-demo"), QStringLiteral("001")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Created demo account 001")));

    ASSERT_EQ(sql(QStringLiteral("delete from Userdefine")).status, 0);
    r = run({QStringLiteral("init-demo"), QStringLiteral("001")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("already exists"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("--force")));
    EXPECT_EQ(sql(QStringLiteral("select count(*) as n from Userdefine")).out,
              QStringLiteral("n\n0\n"));  // refused: the account kept its data

    r = run({QStringLiteral("init-demo"), QStringLiteral("001"), QStringLiteral("--force")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(sql(QStringLiteral("select count(*) as n from Userdefine")).out,
              QStringLiteral("n\n22\n"));
}

TEST_F(CommandLine, SqlPrintsAHeaderAndTabSeparatedRows) {
    ASSERT_EQ(run({QStringLiteral("init-demo"), QStringLiteral("001")}).status, 0);
    Result r = sql(QStringLiteral(
        "select top 3 cId, cItem, citemlang from UserDef order by cast(cId as int)"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("cId\tcItem\tcitemlang\n"
                                    "1\t自定义项1\t合同号\n"
                                    "2\t自定义项2\t自定义项2\n"
                                    "3\t自定义项3\t自定义项3\n"));
    r = sql(QStringLiteral("select citemlang from UserDef where cId='1'"),
            {QStringLiteral("--lang"), QStringLiteral("en-US")});
    EXPECT_EQ(r.out, QStringLiteral("citemlang\nContract No.\n"));

    // Statements without rows answer OK; tabs and line breaks in values stay on one line.
    r =
        sql(QStringLiteral("update Userdefine set cAlias=N'a\tb\nc\\' "
                           "where cId='20' and cValue=N'红色'"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("OK\n"));
    r = sql(
        QStringLiteral("select cValue, cAlias from Userdefine where cId='20' and cValue=N'红色'"));
    EXPECT_EQ(r.out, QStringLiteral("cValue\tcAlias\n红色\ta\\tb\\nc\\\\\n"));
}

TEST_F(CommandLine, BadInputGivesAClearErrorAndStatusOne) {
    ASSERT_EQ(run({QStringLiteral("init-demo"), QStringLiteral("001")}).status, 0);
    Result r = sql(QStringLiteral("select nosuchcolumn from UserDef"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("nosuchcolumn"))) << r.err.toStdString();

    r = run({QStringLiteral("sql"), QStringLiteral("002"), QStringLiteral("select 1")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("init-demo 002"))) << r.err.toStdString();

    r = sql(QStringLiteral("select 1"), {QStringLiteral("--lang"), QStringLiteral("fr-FR")});
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("fr-FR"))) << r.err.toStdString();

    r = run({QStringLiteral("init-demo"), QStringLiteral("../x")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("not a valid account id"))) << r.err.toStdString();
}

}  // namespace
