// Item saves from processes of their own: administrators adding at once on one account, and a
// save killed half way.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <memory>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/TestAccount.h"

namespace {

using testsupport::AccountTest;

class ItemProcesses : public AccountTest {
protected:
    std::unique_ptr<QProcess> start(const QStringList& args) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(USERDEF_ITEM_HELPER), args);
        return process;
    }
    QStringList column(const QString& sql) {
        QStringList out;
        const host::RecordSetPtr rs = account.db().query(sql);
        for (int r = 0; rs && r < rs->recordCount(); ++r) out << rs->at(r, 0).toString();
        return out;
    }
};

TEST_F(ItemProcesses, EightAdministratorsAddingAtOnceGetDistinctNumbersAndColumns) {
    account.db();  // the copy exists before the helpers open it
    std::vector<std::unique_ptr<QProcess>> helpers;
    for (int i = 0; i < 8; ++i)
        helpers.push_back(
            start({QStringLiteral("add"), account.connectionText(), QStringLiteral("5")}));
    int retries = 0;
    for (auto& helper : helpers) {
        ASSERT_TRUE(helper->waitForFinished(120000));
        const QString out = QString::fromUtf8(helper->readAllStandardOutput());
        EXPECT_EQ(helper->exitCode(), 0) << out.toStdString();
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (line.startsWith(QLatin1String("added ")))
                retries += line.section(QLatin1Char(' '), 3).toInt();
    }
    const QStringList ids = column(QStringLiteral(
        "SELECT cId FROM UserDef_Base WHERE cItemName LIKE '并发%' ORDER BY CAST(cId AS int)"));
    const QStringList columns =
        column(QStringLiteral("SELECT cDicDbName FROM UserDef_Base WHERE cItemName LIKE '并发%'"));
    ASSERT_EQ(ids.size(), 40);
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), 40);
    EXPECT_EQ(QSet<QString>(columns.begin(), columns.end()).size(), 40);
    for (const QString& table :
         {QStringLiteral("SA_OrderHead_extradefine"), QStringLiteral("PU_OrderHead_extradefine")}) {
        const QStringList present =
            column(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table));
        for (const QString& c : columns)
            EXPECT_TRUE(present.contains(c)) << table.toStdString() << " " << c.toStdString();
    }
    EXPECT_EQ(column(QStringLiteral(
                  "SELECT count(*) FROM UserDefDetail WHERE cid IN (SELECT cId FROM UserDef_Base "
                  "WHERE cItemName LIKE '并发%')")),
              QStringList{QStringLiteral("80")});
    EXPECT_EQ(column(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
    RecordProperty("duplicate_retries", retries);
}

TEST_F(ItemProcesses, ASaveKilledHalfWayLeavesTheItemWhollyOldOrWhollyNew) {
    // An item on twenty tables, each with a value in its column.
    platform::db::Database& db = account.db();
    QStringList tables;
    for (int n = 1; n <= 20; ++n) {
        const QString name = QStringLiteral("KL_Head%1").arg(n, 2, 10, QLatin1Char('0'));
        tables << name;
        ASSERT_TRUE(db.exec(
            QStringLiteral("CREATE TABLE %1(ID int NOT NULL PRIMARY KEY);"
                           "CREATE TABLE %2(ID int NOT NULL PRIMARY KEY, cNote nvarchar(10));")
                .arg(host::sqlIdent(name), host::sqlIdent(name + QStringLiteral("_extradefine")))));
        ASSERT_TRUE(db.execParams(
            QStringLiteral("INSERT INTO AA_DefineExtend(cSub_ID, cTableName, TableDesc, cType, "
                           "TableName, cPKName) VALUES ('SA', ?, ?, 'H', ?, 'ID')"),
            {name, name, name}));
    }
    QString error;
    ASSERT_TRUE(
        account.srv().Add(testsupport::newHeaderItem(QStringLiteral("1005"), 5, tables).xml(),
                          QStringLiteral("Userdef_base"), &error))
        << error.toStdString();
    for (const QString& name : tables)
        ASSERT_TRUE(db.exec(
            QStringLiteral(
                "INSERT INTO %1(ID, cNote, cHDefine5) VALUES (1, 'n', '值一'), (2, NULL, '值二')")
                .arg(host::sqlIdent(name + QStringLiteral("_extradefine")))));

    for (int round = 0; round < 5; ++round) {
        auto helper =
            start({QStringLiteral("modify"), account.connectionText(), QStringLiteral("1005")});
        ASSERT_TRUE(helper->waitForReadyRead(60000));
        QThread::msleep(QRandomGenerator::global()->bounded(5, 60));
        ::kill(pid_t(helper->processId()), SIGKILL);
        ASSERT_TRUE(helper->waitForFinished(30000));

        // The next connection finds the database whole, the item old or new throughout.
        platform::server::ClsCommon srv;
        srv.init(account.connectionText());
        ASSERT_TRUE(srv.Status());
        QString why;
        const std::unique_ptr<platform::db::Database> reopened =
            platform::db::Database::open(account.dataPath(), false, &why);
        ASSERT_TRUE(reopened) << why.toStdString();
        const host::RecordSetPtr check = reopened->query(QStringLiteral("PRAGMA integrity_check"));
        ASSERT_TRUE(check);
        EXPECT_EQ(check->at(0, 0).toString(), QStringLiteral("ok"));
        host::RecordSetPtr item =
            srv.OpenX(QStringLiteral("select IMaxLen, cItemName from UserDef where cId=N'1005'"));
        ASSERT_TRUE(item && !item->isEmpty());
        const int maxLen = item->value(QStringLiteral("IMaxLen")).toInt();
        const QString name = item->text(QStringLiteral("cItemName"));
        EXPECT_TRUE((maxLen == 25 && name == QStringLiteral("新项目")) ||
                    (maxLen == 30 && name == QStringLiteral("甲")) ||
                    (maxLen == 40 && name == QStringLiteral("乙")))
            << maxLen << " " << name.toStdString();
        host::RecordSetPtr names = srv.OpenX(
            QStringLiteral(
                "select count(*) as n from userdef_lang where cid=N'1005' and cItemName=N'%1'")
                .arg(host::sqlValue(name)));
        EXPECT_EQ(names->value(0).toInt(), maxLen == 25 ? 1 : 3);
        host::RecordSetPtr links =
            srv.OpenX(QStringLiteral("select count(*) from UserDefDetail where cid=N'1005'"));
        EXPECT_EQ(links->value(0).toInt(), 20);
        for (const QString& table : tables) {
            const QString companion = table + QStringLiteral("_extradefine");
            const host::RecordSetPtr type = account.db().query(
                QStringLiteral("SELECT type FROM pragma_table_info(?) WHERE name = 'cHDefine5'"),
                {companion});
            ASSERT_TRUE(type && !type->isEmpty()) << companion.toStdString();
            EXPECT_EQ(type->at(0, 0).toString(), QStringLiteral("nvarchar(%1)").arg(maxLen))
                << companion.toStdString();
            const host::RecordSetPtr values =
                account.db().query(QStringLiteral("SELECT group_concat(ID || ':' || IFNULL(cNote, "
                                                  "'~') || ':' || cHDefine5, ',') FROM %1")
                                       .arg(host::sqlIdent(companion)));
            EXPECT_EQ(values->at(0, 0).toString(), QStringLiteral("1:n:值一,2:~:值二"))
                << companion.toStdString();
        }
    }
}

}  // namespace
