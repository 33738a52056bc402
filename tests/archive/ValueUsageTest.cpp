// Deleting or stopping a value that archive records hold asks first, naming how many records hold
// it: a regular item counts its archive column, an extended item every companion table it is
// linked to. Demo items: 42 customer cCusDefine3 ("A" on C001), 80 inventory cInvDefine1 ("江苏"
// on I001), 101 free item, 5001 extended customer cCDefine1 ("装备制造" on C001), 20 body item
// with the stop flag.
#include <QCheckBox>

#include "archive/ValueUsage.h"
#include "tests/archive/ArchiveFixture.h"

namespace {

using archivetest::ArchiveTest;

class ValueUsage : public ArchiveTest {
protected:
    void sql(const QString& statement, const QVariantList& params = {}) {
        QString error;
        ASSERT_TRUE(session.account.db().execParams(statement, params, &error))
            << error.toStdString();
    }
    void addValues(const QString& itemId, const QStringList& values) {
        for (const QString& v : values)
            sql(QStringLiteral("INSERT INTO Userdefine(cId,cValue,pubzxts) VALUES(?,?,?)"),
                {itemId, v, storedValues(itemId).size() + 1});
    }
    void select(archive::FrmZArchive& w, const QString& value) {
        const int row = gridValues(w).indexOf(value) + 1;
        ASSERT_GE(row, 1) << value.toStdString();
        if (w.grid()->currentRow() == row)
            w.RowSelected(row);
        else
            w.grid()->setCurrentRow(row);
    }
    archive::ValueUsage usage(const char* itemId, const QString& value) {
        return archive::ReadValueUsage(session.srv.get(), QLatin1String(itemId), value);
    }
    QString question(const QString& value, int rows, const QString& tables) {
        return session.pub->GetResFormatString("Q9.AA.ARCHIVE.FRMZARCHIVE.valueinuse",
                                               {value, QString::number(rows), tables});
    }
};

TEST_F(ValueUsage, DeletingAUsedCustomerValueNamesItsRecordsAndGoesOnOnlyOnYes) {
    addValues("42", {QStringLiteral("A"), QStringLiteral("C")});
    sql(QStringLiteral("UPDATE customer SET cCusDefine3='A' WHERE cCusCode IN ('C003','C004')"));
    auto w = open("42");

    select(*w, QStringLiteral("A"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    EXPECT_TRUE(w->Operating("Delete"));
    ASSERT_EQ(session.prompter->asked().size(), 1);
    const auto& asked = session.prompter->asked().first();
    EXPECT_EQ(asked.text, question("A", 3, "customer: 3"));
    EXPECT_EQ(asked.buttons, 36);
    EXPECT_EQ(asked.title, text("Q9.AA.ARCHIVE.COMMON.exclamation"));
    EXPECT_EQ(storedValues("42"), (QStringList{"A", "C"}));

    select(*w, QStringLiteral("A"));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    EXPECT_TRUE(w->Operating("Delete"));
    EXPECT_EQ(storedValues("42"), QStringList{"C"});
    EXPECT_EQ(session.prompter->asked().size(), 2);

    // Used nowhere: today's question only.
    select(*w, QStringLiteral("C"));
    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    EXPECT_TRUE(w->Operating("Delete"));
    EXPECT_EQ(lastMessage(), session.pub->GetResFormatString("Q9.AA.USERDEF.FRMZARCHIVE.597_1",
                                                             {QStringLiteral("C")}));
    EXPECT_EQ(session.prompter->asked().size(), 3);
    EXPECT_TRUE(storedValues("42").isEmpty());
}

TEST_F(ValueUsage, RegularItemsCountTheirArchiveColumnAndMatchTheWholeValue) {
    sql(QStringLiteral("UPDATE Inventory SET cInvDefine1='江苏' WHERE cInvCode='I002'"));
    archive::ValueUsage inv = usage("80", QStringLiteral("江苏"));
    ASSERT_EQ(inv.tables.size(), 1);
    EXPECT_EQ(inv.tables.first().table, QStringLiteral("Inventory"));
    EXPECT_EQ(inv.total(), 2);
    EXPECT_EQ(usage("80", QStringLiteral("江")).total(), 0);
    EXPECT_EQ(usage("80", QStringLiteral("江苏' or '1'='1")).total(), 0);
    // The vendor and contact columns follow the same mapping.
    EXPECT_EQ(usage("60", QStringLiteral("华东")).total(), 1);
    // A free item's value is held by no archive column (Inventory keeps only its flag).
    EXPECT_TRUE(usage("101", QStringLiteral("S")).tables.isEmpty());
    EXPECT_TRUE(archive::UsageQuestion(QStringLiteral("S"), {}).isEmpty());
}

TEST_F(ValueUsage, AnExtendedItemCountsEveryLinkedCompanionTable) {
    sql(QStringLiteral("UPDATE Customer_extradefine SET cCDefine1=? WHERE cCusCode='C002'"),
        {QStringLiteral("装备制造")});
    archive::ValueUsage used = usage("5001", QStringLiteral("装备制造"));
    ASSERT_EQ(used.tables.size(), 1);
    EXPECT_EQ(used.tables.first().table, QStringLiteral("Customer_extradefine"));
    EXPECT_EQ(used.total(), 2);
    EXPECT_EQ(usage("5001", QStringLiteral("电子")).total(), 0);
    // A linked table without a companion table holds nothing; the others still count.
    sql(QStringLiteral("INSERT INTO UserDefDetail(cid,TableName) VALUES('5001','NoSuchTable')"));
    EXPECT_EQ(usage("5001", QStringLiteral("装备制造")).total(), 2);

    addValues("5001", {QStringLiteral("装备制造")});
    auto w = open("5001");
    select(*w, QStringLiteral("装备制造"));
    session.prompter->queueAnswer(host::MsgAnswer::No);
    EXPECT_TRUE(w->Operating("Delete"));
    EXPECT_EQ(lastMessage(), question("装备制造", 2, "Customer_extradefine: 2"));
    EXPECT_EQ(storedValues("5001"), QStringList{QStringLiteral("装备制造")});
}

TEST_F(ValueUsage, StoppingAUsedValueAsksAndNoKeepsItRunning) {
    // Item 20 (stop flag) made a customer item over cCusDefine3, whose records hold "蓝色".
    sql(QStringLiteral("UPDATE UserDef_Base SET cClass='客户', cItem='自定义项3' WHERE cId='20'"));
    sql(QStringLiteral("UPDATE customer SET cCusDefine3=? WHERE cCusCode IN ('C001','C002')"),
        {QStringLiteral("蓝色")});
    auto w = open("20");
    auto* stop = w->findChild<QCheckBox*>("chkbFreeStop");
    const auto stopped = [&](const QString& value) {
        return session.account.db()
            .query(QStringLiteral("SELECT bFreeStop FROM Userdefine WHERE cId='20' AND cValue=?"),
                   {value})
            ->at(0, 0)
            .toInt();
    };

    select(*w, QStringLiteral("蓝色"));
    ASSERT_TRUE(w->Operating("Modify"));
    stop->setChecked(true);
    session.prompter->queueAnswer(host::MsgAnswer::No);
    EXPECT_FALSE(w->Operating("SaveRs"));
    EXPECT_EQ(lastMessage(), question("蓝色", 2, "customer: 2"));
    EXPECT_EQ(stopped(QStringLiteral("蓝色")), 0);
    EXPECT_EQ(w->editMode(), archive::kModifying);

    session.prompter->queueAnswer(host::MsgAnswer::Yes);
    EXPECT_TRUE(w->Operating("SaveRs"));
    EXPECT_EQ(stopped(QStringLiteral("蓝色")), 1);
    const int asked = session.prompter->asked().size();

    // Saving a value already stopped, or stopping an unused one, asks nothing.
    select(*w, QStringLiteral("墨绿"));
    ASSERT_TRUE(w->Operating("Modify"));
    w->box("EdtcAlias")->setText(QStringLiteral("GREEN"));
    EXPECT_TRUE(w->Operating("SaveRs"));
    select(*w, QStringLiteral("白色"));
    ASSERT_TRUE(w->Operating("Modify"));
    stop->setChecked(true);
    EXPECT_TRUE(w->Operating("SaveRs"));
    EXPECT_EQ(stopped(QStringLiteral("白色")), 1);
    EXPECT_EQ(session.prompter->asked().size(), asked);
}

}  // namespace
