// The item record as read from the database, and the lists that give its codes a meaning.
#include "itemdef/ItemRecord.h"
#include "tests/support/TestSession.h"

using namespace itemdef;

TEST(ItemLists, ClassesKindsAndTypesByPosition) {
    EXPECT_EQ(classPosition(QStringLiteral("单据头")), kHeader);
    EXPECT_EQ(classPosition(QStringLiteral("存货")), kInventory);
    EXPECT_EQ(classPosition(QStringLiteral("银行账号")), kBankAccount);
    EXPECT_EQ(classPosition(QStringLiteral("document header")), -1);

    EXPECT_EQ(kindPosition(QStringLiteral("扩展自定义项12")), kExtendedItem);
    EXPECT_EQ(kindPosition(QStringLiteral("自定义项3")), kUserDefinedItem);
    EXPECT_EQ(kindPosition(QStringLiteral("自由项1")), kFreeItem);
    EXPECT_EQ(kindPosition(QStringLiteral("属性7")), kPropertyItem);
    EXPECT_EQ(kindPosition(QStringLiteral("其他")), -1);
    EXPECT_TRUE(isFreeItem(QStringLiteral("自由项10")));
    EXPECT_FALSE(isFreeItem(QStringLiteral("自定义项1")));

    EXPECT_EQ(typePosition(QStringLiteral("文本")), kText);
    EXPECT_EQ(typePosition(QStringLiteral("日期时间")), kDateTime);
    // The old stored integer reads as integer and is written the current way.
    EXPECT_EQ(typePosition(QStringLiteral("整数")), kInteger);
    EXPECT_EQ(typePosition(QStringLiteral("整型")), kInteger);
    EXPECT_EQ(typeStored(typePosition(QStringLiteral("整数"))), QStringLiteral("整型"));
    EXPECT_EQ(typePosition(QString()), -1);
    EXPECT_EQ(typeStored(5), QString());

    EXPECT_EQ(rowWidth(kText, 120), 120);
    EXPECT_EQ(rowWidth(kInteger, 120), 4);
    EXPECT_EQ(rowWidth(kDate, 0), 8);
    EXPECT_EQ(rowWidth(kNumber, 0), 8);
    EXPECT_EQ(rowWidth(kDateTime, 0), 8);
}

TEST(ItemLists, ExtendedItemsByTheirColumnName) {
    for (const char* name : {"cHDefine1", "CHDEFINE12", "chdefine3", "cBDefine7", "cIDefine1",
                             "cCDefine22", "cLDefine5", "cHDefine"})
        EXPECT_TRUE(isExtendedItem(QString::fromLatin1(name))) << name;
    for (const char* name : {"cDefine1", "cCusDefine3", "cFree2", "", "cHDefine1x", "xcHDefine1"})
        EXPECT_FALSE(isExtendedItem(QString::fromLatin1(name))) << name;
}

TEST(ItemLists, StoredFlags) {
    EXPECT_TRUE(flagValue(true));
    EXPECT_TRUE(flagValue(1));
    EXPECT_TRUE(flagValue(QStringLiteral("True")));
    EXPECT_TRUE(flagValue(QStringLiteral("1")));
    EXPECT_FALSE(flagValue(false));
    EXPECT_FALSE(flagValue(0));
    EXPECT_FALSE(flagValue(QStringLiteral("no")));
    EXPECT_FALSE(flagValue(QVariant()));
}

using ItemRecordRead = testsupport::SessionTest;

TEST_F(ItemRecordRead, ReadsEveryColumnByNameInAnyCase) {
    // The columns asked for in other letter cases than the record's own names.
    const auto rs = session.srv->OpenX(
        QStringLiteral("select cid,CCLASS,citem,ctype,imaxlen,CITEMNAME,ilength,idecimaldigits,"
                       "bfixlength,bcheckval,binput,barchive,bmultisel,cparentid,"
                       "bisuserdefattachfile,idatasource,crelarchive,crelfield,cdefaultval,crefid,"
                       "bisuserdefpic,CDICDBNAME,ctabledesc,CITEMLANG from Userdef where cid in ('7','8','11') "
                       "order by cast(cid as int)"));
    ASSERT_TRUE(rs) << session.srv->lastError().toStdString();
    ASSERT_EQ(rs->recordCount(), 3);

    rs->moveFirst();
    const ItemRecord city = ItemRecord::fromRecordSet(*rs);
    EXPECT_EQ(city.cId, QStringLiteral("7"));
    EXPECT_EQ(city.cClass, QStringLiteral("单据头"));
    EXPECT_EQ(city.CItem, QStringLiteral("自定义项7"));
    EXPECT_EQ(city.cItemName, QStringLiteral("城市"));
    EXPECT_EQ(city.IMaxLen, 20);
    EXPECT_TRUE(city.bArchive);
    EXPECT_TRUE(city.bCheckVal);
    EXPECT_FALSE(city.bInput);
    EXPECT_EQ(city.cParentID, QStringLiteral("6"));
    EXPECT_EQ(city.type(), kText);
    EXPECT_EQ(city.kind(), kUserDefinedItem);
    EXPECT_FALSE(city.isExtended());

    rs->moveNext();
    const ItemRecord salesman = ItemRecord::fromRecordSet(*rs);
    EXPECT_EQ(salesman.iDataSource, 1);
    EXPECT_EQ(salesman.cRelArchive, QStringLiteral("Person"));
    EXPECT_EQ(salesman.cRelField, QStringLiteral("cPersonName"));
    EXPECT_EQ(salesman.cDefaultVal, QStringLiteral("林晓峰"));
    EXPECT_EQ(salesman.cRefID, QStringLiteral("Person"));
    EXPECT_TRUE(salesman.cParentID.isEmpty());  // NULL reads as empty text

    rs->moveNext();
    const ItemRecord pieces = ItemRecord::fromRecordSet(*rs);
    EXPECT_EQ(pieces.CType, QStringLiteral("整数"));
    EXPECT_EQ(pieces.type(), kInteger);
    EXPECT_EQ(typeStored(pieces.type()), QStringLiteral("整型"));
    EXPECT_EQ(pieces.IMaxLen, 0);  // NULL reads as 0
}

TEST_F(ItemRecordRead, ExtendedItemAndItsShownName) {
    QString error;
    ASSERT_TRUE(session.account.db().exec(
        QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName,cDicDbName) "
                       "VALUES ('1005','单据头','扩展自定义项5','文本','','cHDefine5')"),
        &error))
        << error.toStdString();
    const auto rs = session.srv->OpenX(QStringLiteral("select") + kItemColumns + kItemExtraColumns +
                                       QStringLiteral(" from Userdef where cId in ('1005','1001') order by cId"));
    ASSERT_TRUE(rs) << session.srv->lastError().toStdString();
    ASSERT_EQ(rs->recordCount(), 2);
    rs->moveFirst();
    const ItemRecord named = ItemRecord::fromRecordSet(*rs);
    EXPECT_TRUE(named.isExtended());
    EXPECT_EQ(named.displayName(), QStringLiteral("项目编号"));
    rs->moveNext();
    const ItemRecord unnamed = ItemRecord::fromRecordSet(*rs);
    EXPECT_TRUE(unnamed.isExtended());
    EXPECT_EQ(unnamed.kind(), kExtendedItem);
    // Without a name, the item goes by its label.
    EXPECT_EQ(unnamed.displayName(), unnamed.citemlang);
    EXPECT_EQ(unnamed.displayName(), QStringLiteral("扩展自定义项5"));
}
