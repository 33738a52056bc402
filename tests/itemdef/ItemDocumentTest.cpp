// The item document the save sends, element by element, for a new item, an
// extended header, inventory and vendor item; the cover values from the opener's choice and its
// questions; hostile text stays text.
#include "itemdef/Numbering.h"
#include "tests/itemdef/SaveFixture.h"

using namespace savetest;

using ItemDocument = SaveTest;

namespace {

const QString kShareEmpty = QStringLiteral(
    "<AddUserDefDetail></AddUserDefDetail><ModifyUserDefDetail></ModifyUserDefDetail>"
    "<DeleteUserDefDetail></DeleteUserDefDetail>");

QString entry(const QString& cId, const QString& table) {
    return QStringLiteral("<UserDefDetail><cId>") + cId + QStringLiteral("</cId>") +
           (table.isEmpty()
                ? QString()
                : QStringLiteral("<Tablename>") + table + QStringLiteral("</Tablename>")) +
           QStringLiteral("</UserDefDetail>");
}

}  // namespace

TEST_F(ItemDocument, NewHeaderItem) {
    fillNew(kHeader, {QStringLiteral("SA_OrderHead"), QStringLiteral("PR_AdjustHeadSA&&")});
    // The table under both its subsystems.
    EXPECT_TRUE(editor->tree()->model()->isTicked(QStringLiteral("Mark&&PR_AdjustHeadPU&&")));
    QString column, version, error;
    ASSERT_TRUE(itemdef::NextColumnName(kHeader, &column, &version, &error));
    ASSERT_EQ(column, QStringLiteral("cHDefine5"));
    const Doc d = document();
    EXPECT_EQ(d.root, QStringLiteral("Userdef_base"));
    EXPECT_EQ(d.coverBody, QString());
    const QStringList expected = {"cId=",  // numbered by the save itself
                                  "cClass=单据头",
                                  "cItem=扩展自定义项5",
                                  "pubzxts=" + version,
                                  "IMaxLen=20",
                                  "cItemName=规格",
                                  "cItemName_zh_TW=規格",
                                  "cItemName_en_US=Spec",
                                  "cType=文本",
                                  "iLength=10",
                                  "iDecimalDigits=",
                                  "cDefaultVal=",
                                  "iDataSource=0",
                                  "cParentID=",
                                  "bFixLength=0",
                                  "bInput=0",
                                  "bArchive=0",
                                  "bIsUserDefAttachFile=0",
                                  "bCheckVal=0",
                                  "bCoverVouch=",
                                  "cRelArchive= ",
                                  "cRefID=",
                                  "cRelField=",
                                  "CTableDesc=",
                                  "cDicDbName=cHDefine5",
                                  "cFieldName=cHDefine5",
                                  "AddUserDefDetail",
                                  "ModifyUserDefDetail",
                                  "DeleteUserDefDetail"};
    EXPECT_EQ(d.elements, expected);
    // A table under two subsystems is linked once.
    EXPECT_TRUE(d.xml.endsWith(QStringLiteral("<AddUserDefDetail>") + entry("", "SA_OrderHead") +
                               entry("", "PR_AdjustHead") +
                               QStringLiteral("</AddUserDefDetail><ModifyUserDefDetail>"
                                              "</ModifyUserDefDetail><DeleteUserDefDetail>"
                                              "</DeleteUserDefDetail></Userdef_base>")))
        << d.xml.toStdString();
    EXPECT_EQ(editor->state().column, QStringLiteral("cHDefine5"));

    // No table chosen: the document comes with the message that stops the save.
    tick(QStringLiteral("Mark&&SA_OrderHead"), false);
    tick(QStringLiteral("Mark&&PR_AdjustHeadPU&&"), false);
    const auto built = editor->BuildItemDocument();
    ASSERT_TRUE(built);
    EXPECT_EQ(built->message, text("Q9.AA.ARCHIVE.USERDEF.FrmZAM.PleaseChooseConfine"));
}

TEST_F(ItemDocument, ExtendedHeaderItemKeepsAddsAndRemovesTables) {
    open(kHeader, QStringLiteral("1001"));
    tick(QStringLiteral("Mark&&CM_Contract"), false);
    tick(QStringLiteral("Mark&&ST_InboundHead"), true);
    const Doc d = document();
    EXPECT_EQ(d.root, QStringLiteral("Userdef"));
    const QStringList expected = {"cId=1001",
                                  "cClass=单据头",
                                  "cItem=扩展自定义项1",
                                  "IMaxLen=30",
                                  "cItemName=项目编号",
                                  "cItemName_zh_TW=專案編號",
                                  "cItemName_en_US=Project No.",
                                  "cType=文本",
                                  "iLength=30",
                                  "iDecimalDigits=",
                                  "cDefaultVal=",
                                  "iDataSource=0",
                                  "cParentID=",
                                  "bFixLength=0",
                                  "bInput=0",
                                  "bArchive=0",
                                  "bIsUserDefAttachFile=0",
                                  "bCheckVal=0",
                                  "bCoverVouch=",
                                  "cRelArchive= ",
                                  "cRefID=",
                                  "cRelField=",
                                  "CTableDesc=",
                                  "cDicDbName=cHDefine1",
                                  "cFieldName=cHDefine1",
                                  "AddUserDefDetail",
                                  "ModifyUserDefDetail",
                                  "DeleteUserDefDetail"};
    EXPECT_EQ(d.elements, expected);
    EXPECT_TRUE(d.xml.contains(QStringLiteral("<AddUserDefDetail>") +
                               entry("1001", "ST_InboundHead") +
                               QStringLiteral("</AddUserDefDetail>")))
        << d.xml.toStdString();
    EXPECT_TRUE(d.xml.contains(QStringLiteral("<DeleteUserDefDetail>") +
                               entry("1001", "CM_Contract") +
                               QStringLiteral("</DeleteUserDefDetail>")));
    EXPECT_TRUE(d.xml.contains(entry("1001", "SA_OrderHead")));  // kept
}

TEST_F(ItemDocument, ExtendedInventoryAndVendorItems) {
    open(kInventory, QStringLiteral("3001"));
    Doc d = document();
    QStringList expected = {"cId=3001",
                            "cClass=存货",
                            "cItem=扩展自定义项1",
                            "IMaxLen=40",
                            "cItemName=材质",
                            "cItemName_zh_TW=材質",
                            "cItemName_en_US=Material",
                            "cType=文本",
                            "iLength=40",
                            "iDecimalDigits=",
                            "cDefaultVal=",
                            "iDataSource=0",
                            "cParentID=",
                            "bFixLength=0",
                            "bInput=0",
                            "bArchive=0",
                            "bCheckVal=0",
                            "bCoverVouch=",
                            "cRelArchive= ",
                            "cRefID=",
                            "cRelField=",
                            "CTableDesc=",
                            "cDicDbName=cIDefine1",
                            "cFieldName=cIDefine1",
                            "AddUserDefDetail",
                            "ModifyUserDefDetail",
                            "DeleteUserDefDetail"};
    EXPECT_EQ(d.elements, expected);
    EXPECT_TRUE(d.xml.contains(QStringLiteral("<ModifyUserDefDetail>") +
                               entry("3001", "Inventory") +
                               QStringLiteral("</ModifyUserDefDetail>")))
        << d.xml.toStdString();

    // A regular vendor item: no table share, multi-select hidden.
    open(kVendor, QStringLiteral("60"));
    d = document();
    expected = {"cId=60",
                "cClass=供应商",
                "cItem=自定义项1",
                "IMaxLen=120",
                "cItemName=供货区域",
                "cItemName_zh_TW=供貨區域",
                "cItemName_en_US=Supply Region",
                "cType=文本",
                "iLength=120",
                "iDecimalDigits=",
                "cDefaultVal=",
                "iDataSource=0",
                "cParentID=",
                "bFixLength=0",
                "bInput=0",
                "bArchive=0",
                "bCheckVal=0",
                "bCoverVouch=",
                "cRelArchive= ",
                "cRefID=",
                "cRelField=",
                "CTableDesc=",
                "cDicDbName=cVenDefine1"};
    EXPECT_EQ(d.elements, expected);
    EXPECT_FALSE(d.xml.contains(QStringLiteral("UserDefDetail")));
}

TEST_F(ItemDocument, CoverValuesFollowTheOpenersChoice) {
    struct Case {
        QString cClass, cId;
        int option;
        QList<int> answers;
        QStringList questions;  // resource keys asked, in order
        QString body, vouch;
    };
    const QString bodyQ = QStringLiteral("Q9.AA.ARCHIVE.COMMON.startup_vouchbody_def");
    const QString vouchQ = QStringLiteral("Q9.AA.ARCHIVE.COMMON.1135_1");
    const Case cases[] = {
        {kInventory, "80", 0, {6, 6}, {bodyQ, vouchQ}, "1", "1"},
        {kInventory, "80", 0, {7, 7}, {bodyQ, vouchQ}, "0", "0"},
        {kInventory, "80", 0, {6, 7}, {bodyQ, vouchQ}, "1", "0"},
        {kHeader, "1", 0, {7}, {vouchQ}, "", "0"},
        {kHeader, "1", 0, {6}, {vouchQ}, "", "1"},
        {kInventory, "3001", 0, {}, {}, "", ""},  // extended items are never asked
        {kInventory, "80", 1, {}, {}, "1", "1"},
        {kInventory, "80", 2, {}, {}, "0", "0"},
        {kInventory, "80", -1, {}, {}, "", ""},
        {kHeader, "1001", 1, {}, {}, "1", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            (c.cId + QStringLiteral(" option ") + QString::number(c.option)).toStdString());
        open(c.cClass, c.cId);
        chooseCover(c.option);
        session.prompter->clear();
        for (int a : c.answers) session.prompter->queueAnswer(a);
        const Doc d = document();
        QStringList asked;
        for (const auto& p : session.prompter->asked()) {
            asked << p.text;
            EXPECT_EQ(p.buttons, 36);
            EXPECT_EQ(p.title, text("Q9.AA.ARCHIVE.COMMON.exclamation"));
        }
        QStringList expectedTexts;
        for (const QString& key : c.questions) expectedTexts << session.pub->GetResString(key);
        EXPECT_EQ(asked, expectedTexts);
        EXPECT_EQ(d.coverBody, c.body);
        EXPECT_TRUE(d.elements.contains(QStringLiteral("bCoverVouch=") + c.vouch));
    }
}

TEST_F(ItemDocument, HostileTextStaysText) {
    fillNew(kHeader, {QStringLiteral("SA_OrderHead")});
    const QString hostile = QStringLiteral("a<b>&'\"</cItemName>; --😀");
    setName(hostile, 0);
    setName(QStringLiteral("]]><x/>"), 2);
    edit("EdtcDefaultVal")->setText(QStringLiteral("<d>&amp;"));
    const Doc d = document();
    EXPECT_TRUE(d.elements.contains(QStringLiteral("cItemName=") + hostile)) << d.xml.toStdString();
    EXPECT_TRUE(d.elements.contains(QStringLiteral("cItemName_en_US=]]><x/>")));
    EXPECT_TRUE(d.elements.contains(QStringLiteral("cDefaultVal=<d>&amp;")));
}
