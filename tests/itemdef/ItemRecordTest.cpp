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

TEST_F(ItemRecordRead, AnUnnamedExtendedItemIsNamedByItsLabel) {
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
