// On a server every statement is a round trip: what a user opens or does runs as many
// statements on a grown account as on a small one. Each is done on the demo account grown by N
// header items (linked to every header table, a carry-over rule per pair and item, each the
// parent of the next), N values of an item and N header tables whose companions hold values of
// an item, then again grown to 2N; the statements each ran must not change.
#include <QComboBox>
#include <QDialog>
#include <QTest>
#include <functional>

#include "carryover/FrmMakeVouchMain.h"
#include "carryover/FrmMakeVouchSet.h"
#include "itemdef/FrmZAM.h"
#include "platform/db/StatementCount.h"
#include "tests/catalogue/CatalogueFixture.h"

using namespace cattest;

namespace {

class WindowStatements : public SessionTest {
protected:
    // Items, links, rules and values numbered [from, to).
    void grow(int from, int to) {
        const QString n = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i+1 "
                                         "FROM n WHERE i+1 < %2) ")
                              .arg(from)
                              .arg(to);
        for (const QString& sql : {
                 n + "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,"
                     "cDicDbName) SELECT 80000+i,'单据头','扩展自定义项'||(100+i),'文本',60,"
                     "'计数项目'||i,60,'cHDefine'||(100+i) FROM n",
                 n + "INSERT INTO UserDefDetail(cid,TableName) SELECT 80000+i,t.cTableName "
                     "FROM n, AA_DefineExtend t WHERE t.cType='H' AND t.cTableName NOT LIKE 'SC%'",
                 n + "INSERT INTO AA_ExtendDefineMakeVouch_Set(cMakeVouchID,cTableName,cTargetTable,"
                     "cextendfield,ctargetfield,ctype,btrans,cdesc,cSub_id) SELECT s.cMakeVouchID,"
                     "s.cTableName,s.cTargetTable,'cHDefine'||(100+i),'cHDefine'||(100+i),'H',1,'',"
                     "t.cSub_ID FROM n, AA_ExtendDefineMakeVouch_sub s JOIN AA_DefineExtend t ON "
                     "t.cTableName=s.cTableName WHERE s.cType='H'",
                 n + "INSERT INTO userdef_lang(cid,LocaleID,cItemName) SELECT 80000+i,'zh-CN',"
                     "'计数项目'||i FROM n",
                 n + "INSERT INTO Userdefine(cId,cValue) SELECT '1003','计数值'||i FROM n",
                 n + "UPDATE UserDef_Base SET cParentID=(SELECT 80000+i-1 FROM n WHERE 80000+i="
                     "UserDef_Base.cId AND i>0) WHERE cId IN (SELECT 80000+i FROM n)",
                 n + "INSERT INTO AA_DefineExtend(cSub_ID,cTableName,TableDesc,cTableDesc,cType,"
                     "TableName,cPKName) SELECT 'SA','SC'||i,'SC'||i,'SC'||i,'H','SC'||i,'ID' FROM n",
                 n + "INSERT INTO UserDefDetail(cid,TableName) SELECT c.cId,'SC'||i FROM n, "
                     "UserDef_Base c WHERE c.cId IN ('1001','80000')"}) {
            QString error;
            ASSERT_TRUE(session.account.db().exec(sql, &error)) << error.toStdString();
        }
        for (int i = from; i < to; ++i) {
            const QString table = QStringLiteral("SC%1").arg(i);
            ASSERT_TRUE(session.account.db().exec(
                QStringLiteral("CREATE TABLE %1(ID int PRIMARY KEY); CREATE TABLE %1_extradefine("
                               "ID int PRIMARY KEY, cHDefine1 nvarchar(30)); INSERT INTO "
                               "%1_extradefine VALUES (1, '值')")
                    .arg(table)));
        }
        deepest = QString::number(80000 + to - 1);
    }
    QString deepest;  // the last item of the parent chain
};

quint64 statementsOf(const std::function<void()>& open) {
    const quint64 before = platform::db::StatementCount::total();
    open();
    QCoreApplication::processEvents();
    return platform::db::StatementCount::total() - before;
}

}  // namespace

TEST_F(WindowStatements, NoWindowRunsAStatementPerRow) {
    constexpr int kN = 6;
    grow(0, kN);
    auto catalogue = openCatalogue();
    bool cycle = false;  // the item editor saves the chain's first item under its last
    session.windows.onModal = [&](QDialog* dialog) {
        dialog->show();
        QCoreApplication::processEvents();
        if (auto* editor = qobject_cast<itemdef::FrmZAM*>(dialog); editor && cycle) {
            auto* parent = editor->findChild<QComboBox*>(QStringLiteral("CmbcParentID"));
            parent->setCurrentIndex(parent->findData(deepest));
            EXPECT_GT(parent->currentIndex(), 0);
            EXPECT_FALSE(editor->Operating(QStringLiteral("SaveRs")));
        }
        return int(QDialog::Rejected);
    };
    int rows = 0;  // rows the last opening showed
    const auto command = [&](const QString& id, const char* key) {
        catalogue->grid()->setCurrentRow(rowOfId(*catalogue, id));
        catalogue->RunCommand(QString::fromLatin1(key));
    };
    const struct {
        const char* window;
        std::function<void()> open;
    } openings[] = {
        {"catalogue",
         [&] {
             catalogue->selectClass(QStringLiteral("单据头"));
             catalogue->RunCommand(QStringLiteral("Refresh"));
             rows = catalogue->grid()->rows();
         }},
        {"item editor", [&] { command(QStringLiteral("1001"), "Define"); }},
        {"item editor refusing a parent that leads back",
         [&] {
             cycle = true;
             command(QStringLiteral("80000"), "Define");
             cycle = false;
         }},
        {"deleting an item with values (not confirmed)",
         [&] {
             session.prompter->queueAnswers({host::MsgAnswer::Yes, host::MsgAnswer::No});
             command(QStringLiteral("1001"), "Delete");
             EXPECT_EQ(session.prompter->pendingAnswers(), 0) << "the values were not asked about";
         }},
        {"value window", [&] { command(QStringLiteral("1003"), "Archive"); }},
        {"cover setting", [&] { command(QStringLiteral("1001"), "CoverSetting"); }},
        {"batch setting",
         [&] {
             carryover::FrmMakeVouchMain batch;
             for (int tab : {carryover::FrmMakeVouchMain::BodyTab,
                             carryover::FrmMakeVouchMain::HeaderTab}) {
                 batch.clickTab(tab);
                 batch.Operating(QStringLiteral("Refresh"));
             }
             rows = batch.grid(carryover::FrmMakeVouchMain::HeaderTab)->rows() *
                    batch.grid(carryover::FrmMakeVouchMain::HeaderTab)->cols();
         }},
        {"rule list",
         [&] {
             carryover::FrmMakeVouchSet list;
             rows = list.grid()->rows();
         }},
    };
    const auto measure = [&](size_t i) {
        rows = 0;
        const quint64 statements = statementsOf(openings[i].open);
        return std::make_pair(statements, rows);
    };
    // Each is done once before it is counted: what a session reads once (and again after the
    // schema changed) is read.
    for (size_t i = 0; i < std::size(openings); ++i) measure(i);
    std::vector<std::pair<quint64, int>> small;
    for (size_t i = 0; i < std::size(openings); ++i) small.push_back(measure(i));
    grow(kN, 2 * kN);
    for (size_t i = 0; i < std::size(openings); ++i) measure(i);
    for (size_t i = 0; i < std::size(openings); ++i) {
        const auto [statements, grownRows] = measure(i);
        EXPECT_EQ(statements, small[i].first) << openings[i].window;
        EXPECT_TRUE(small[i].second == 0 || grownRows > small[i].second) << openings[i].window;
    }
}
