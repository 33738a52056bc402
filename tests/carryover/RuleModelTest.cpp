// The carry-over model on the demo account: rule records as the service receives them, their
// debug copy, and the carry-over path the field-pair table yields.
#include <gtest/gtest.h>

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include "carryover/MakeVouchPath.h"
#include "carryover/RuleRecord.h"
#include "common/XmlFile.h"
#include "tests/support/TestAccount.h"

using namespace carryover;
using testsupport::AccountTest;

namespace {

RuleRecord headerRule(const QString& column, bool carries) {
    RuleRecord r;
    r.cMakeVouchID = QStringLiteral("SA01");
    r.cSub_id = QStringLiteral("SA");
    r.cType = QStringLiteral("H");
    r.cextendfield = column;
    r.cTableName = QStringLiteral("SA_OrderHead");
    r.cTargetTable = QStringLiteral("SA_DispatchHead");
    r.btrans = carries;
    return r;
}

// The rule records as elements of one parsed document.
QList<QDomElement> parseRecords(const QString& records) {
    QDomDocument doc;
    EXPECT_TRUE(bool(doc.setContent(QStringLiteral("<r>") + records + QStringLiteral("</r>"))));
    QList<QDomElement> out;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        out << e;
    return out;
}

TEST(RuleRecords, TwoRulesAreTwoElementsWithoutRootOrWhitespace) {
    const QString text = RuleRecordXml(headerRule("chdefine3", true)) +
                         RuleRecordXml(headerRule("chdefine1", false));
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "<AA_ExtendDefineMakeVouch_Set><cMakeVouchID>SA01</cMakeVouchID><cSub_id>SA</cSub_id>"
        "<cType>H</cType><cextendfield>chdefine3</cextendfield><ctargetfield>chdefine3"
        "</ctargetfield><cTableName>SA_OrderHead</cTableName><cTargetTable>SA_DispatchHead"
        "</cTargetTable><btrans>1</btrans></AA_ExtendDefineMakeVouch_Set>"
        "<AA_ExtendDefineMakeVouch_Set>")));
    EXPECT_FALSE(text.contains(QLatin1Char(' ')));
    const QList<QDomElement> records = parseRecords(text);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1].firstChildElement("btrans").text(), QStringLiteral("0"));
    EXPECT_TRUE(records[1].firstChildElement("guid").isNull());  // no guid unless given
}

TEST(RuleRecords, HostileValuesRoundTripAndAGuidIsWrittenWhenGiven) {
    RuleRecord r = headerRule("cHDefine1", true);
    r.cdesc = QStringLiteral("<a href='x'>&amp; \"q\"</a> -- ; 😀 携带");
    r.cTableName = QStringLiteral("T'</cTableName><btrans>0</btrans>");
    r.guid = QStringLiteral("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001");
    const QList<QDomElement> records = parseRecords(RuleRecordXml(r));
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].firstChildElement("cdesc").text(), *r.cdesc);
    EXPECT_EQ(records[0].firstChildElement("cTableName").text(), r.cTableName);
    EXPECT_EQ(records[0].elementsByTagName("btrans").size(), 1);
    EXPECT_EQ(records[0].firstChildElement("guid").text(), *r.guid);
    EXPECT_EQ(records[0].lastChildElement().tagName(), QStringLiteral("guid"));
}

TEST(RuleRecords, TheDebugCopyIsReplacedOnEveryWriteAlsoWhenEmpty) {
    QTemporaryDir dir;
    userdef::SetComponentFolder(dir.path());
    const QString path = QDir(dir.path()).filePath(kRuleDebugFile);
    const QString two = RuleRecordXml(headerRule("chdefine1", true)) +
                        RuleRecordXml(headerRule("chdefine2", false));
    ASSERT_TRUE(WriteRuleDebugFile(two));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), userdef::XmlFileBytes(two));
    file.close();

    ASSERT_TRUE(WriteRuleDebugFile(QString()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), userdef::XmlFileBytes(QString()));
    userdef::SetComponentFolder({});
}

// --- The carry-over path of a pair ----------------------------------------------------------

using MakeVouchPathTest = AccountTest;

TEST_F(MakeVouchPathTest, ThePairOfTheChosenTablesGivesItsPathOnOneConnection) {
    QString error;
    EXPECT_EQ(FindMakeVouchPath(account.srv(), "SA_OrderHead", "SA_DispatchHead", "cHDefine1",
                                &error),
              std::optional<QString>(QStringLiteral("SA01")))
        << error.toStdString();
    // Run again: the field-pair table of the first run is dropped and made anew.
    EXPECT_EQ(FindMakeVouchPath(account.srv(), "sa_orderhead", "SA_DISPATCHHEAD", "cHDefine2"),
              std::optional<QString>(QStringLiteral("SA01")));
    // A pair the table pairs do not hold has no path.
    EXPECT_EQ(FindMakeVouchPath(account.srv(), "SA_DispatchHead", "SA_OrderHead", "cHDefine1"),
              std::optional<QString>(QString()));
}

TEST_F(MakeVouchPathTest, BothDirectionsOfAPairEachKeepTheirOwnPath) {
    ASSERT_TRUE(account.db().exec(
        "INSERT INTO AA_ExtendDefineMakeVouch_base(cMakeVouchID,cSub_id,cDesc) "
        "VALUES('SA99','SA','back')"));
    ASSERT_TRUE(account.db().exec(
        "INSERT INTO AA_ExtendDefineMakeVouch_sub(cMakeVouchID,cTableName,cTargetTable,cType) "
        "VALUES('SA99','SA_DispatchHead','SA_OrderHead','H')"));
    EXPECT_EQ(FindMakeVouchPath(account.srv(), "SA_OrderHead", "SA_DispatchHead", "cHDefine1"),
              std::optional<QString>(QStringLiteral("SA01")));
    EXPECT_EQ(FindMakeVouchPath(account.srv(), "SA_DispatchHead", "SA_OrderHead", "cHDefine1"),
              std::optional<QString>(QStringLiteral("SA99")));
}

TEST_F(MakeVouchPathTest, HostileNamesAreValuesNotStatements) {
    const QString hostile = QStringLiteral("x'); DROP TABLE AA_ExtendDefineMakeVouch_sub; --");
    EXPECT_EQ(FindMakeVouchPath(account.srv(), hostile, "SA_DispatchHead", hostile),
              std::optional<QString>(QString()));
    const host::RecordSetPtr pairs =
        account.srv().OpenX("select count(*) as n from AA_ExtendDefineMakeVouch_sub");
    ASSERT_TRUE(pairs);
    pairs->moveFirst();
    EXPECT_GT(pairs->value("n").toInt(), 0);
}

}  // namespace
