// The item record as read from the database, and the lists that give its codes a meaning.
#include "itemdef/ItemRecord.h"
#include "tests/support/TestSession.h"

using namespace itemdef;

TEST(ItemLists, KindsTypesAndExtendedColumns) {
    for (const auto& [label, kind] :
         {std::pair{"扩展自定义项12", int(kExtendedItem)}, {"自定义项3", int(kUserDefinedItem)},
          {"自由项1", int(kFreeItem)}, {"属性7", int(kPropertyItem)}, {"其他", -1}})
        EXPECT_EQ(kindPosition(QString::fromUtf8(label)), kind) << label;
    // The old stored integer reads as integer and is written the current way.
    EXPECT_EQ(typeStored(typePosition(QStringLiteral("整数"))), QStringLiteral("整型"));
    EXPECT_EQ(typePosition(QString()), -1);

    for (const char* name : {"cHDefine1", "CHDEFINE12", "cBDefine7", "cIDefine1", "cCDefine22",
                             "cLDefine5", "cHDefine"})
        EXPECT_TRUE(isExtendedItem(QString::fromLatin1(name))) << name;
    for (const char* name : {"cDefine1", "cCusDefine3", "cFree2", "", "cHDefine1x", "xcHDefine1"})
        EXPECT_FALSE(isExtendedItem(QString::fromLatin1(name))) << name;
    for (const QVariant& on : {QVariant(true), QVariant(1), QVariant("True"), QVariant("1")})
        EXPECT_TRUE(flagValue(on)) << on.toString().toStdString();
    for (const QVariant& off : {QVariant(false), QVariant(0), QVariant("no"), QVariant()})
        EXPECT_FALSE(flagValue(off)) << off.toString().toStdString();
}

using ItemRecordRead = testsupport::SessionTest;

TEST_F(ItemRecordRead, ReadsColumnsInAnyCaseAndNamesUnnamedItemsByTheirLabel) {
    // The columns asked for in other letter cases than the record's own names.
    const auto rs = session.srv->OpenX(
        QStringLiteral("select cid,CCLASS,citem,ctype,imaxlen,CITEMNAME,ilength,idecimaldigits,"
                       "bfixlength,bcheckval,binput,barchive,bmultisel,cparentid,"
                       "bisuserdefattachfile,idatasource,crelarchive,crelfield,cdefaultval,crefid,"
                       "bisuserdefpic,CDICDBNAME,ctabledesc,CITEMLANG from Userdef where cid in "
                       "('7','8','11') order by cast(cid as int)"));
    ASSERT_TRUE(rs) << session.srv->lastError().toStdString();
    ASSERT_EQ(rs->recordCount(), 3);
    rs->moveFirst();
    const ItemRecord city = ItemRecord::fromRecordSet(*rs);
    EXPECT_EQ(city.cItemName, QStringLiteral("城市"));
    EXPECT_EQ(city.IMaxLen, 20);
    EXPECT_TRUE(city.bArchive);
    EXPECT_EQ(city.cParentID, QStringLiteral("6"));
    rs->moveNext();
    const ItemRecord salesman = ItemRecord::fromRecordSet(*rs);
    EXPECT_EQ(salesman.cRelField, QStringLiteral("cPersonName"));
    EXPECT_TRUE(salesman.cParentID.isEmpty());  // NULL reads as empty text
    rs->moveNext();
    const ItemRecord pieces = ItemRecord::fromRecordSet(*rs);
    EXPECT_EQ(pieces.type(), kInteger);
    EXPECT_EQ(pieces.IMaxLen, 0);  // NULL reads as 0

    ASSERT_TRUE(session.account.db().exec(
        QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName,cDicDbName) "
                       "VALUES ('1005','单据头','扩展自定义项5','文本','','cHDefine5')")));
    const auto added = session.srv->OpenX(QStringLiteral("select") + kItemColumns +
                                          kItemExtraColumns +
                                          QStringLiteral(" from Userdef where cId='1005'"));
    ASSERT_TRUE(added && added->recordCount() == 1);
    added->moveFirst();
    const ItemRecord unnamed = ItemRecord::fromRecordSet(*added);
    EXPECT_TRUE(unnamed.isExtended());
    EXPECT_EQ(unnamed.displayName(), QStringLiteral("扩展自定义项5"));
}
