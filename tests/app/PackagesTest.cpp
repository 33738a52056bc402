// The portal's "Compare with package": export from one account's portal, compare and import in
// another's, with removals asked first; the account databases show the result. On either kind
// of account.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/Desk.h"
#include "app/Login.h"
#include "app/PackagesView.h"
#include "app/PortalFrame.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestAccount.h"

using namespace app;

namespace {

using testsupport::TestAccount;

class PackagesTest : public ::testing::TestWithParam<TestAccount::Kind> {
protected:
    void SetUp() override { ASSERT_TRUE(a.ok() && b.ok()); }
    std::unique_ptr<Desk> deskOn(TestAccount& account) {
        QString error;
        auto login = Login::open(account.dataRoot(), QStringLiteral("001"), QStringLiteral("demo"),
                                 QStringLiteral("demo"), QStringLiteral("en-US"), &error);
        EXPECT_TRUE(login) << error.toStdString();
        return std::make_unique<Desk>(login, QStringLiteral("Demo Co."), prompter);
    }
    // Opens the function from the portal's menu and names the package file, as the user does.
    PackagesView* open(Desk& desk, const QString& file) {
        desk.portal()->findChild<QAction*>(QStringLiteral("ActPackages"))->trigger();
        auto* view = qobject_cast<PackagesView*>(desk.portal()->tabs()->currentWidget());
        if (view) QTest::keyClicks(view->findChild<QLineEdit*>(QStringLiteral("EdtFile")), file);
        return view;
    }
    void click(PackagesView* view, const char* button) {
        QTest::mouseClick(view->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }
    QStringList groups(PackagesView* view) {
        QStringList out;
        auto* tree = view->findChild<QTreeWidget*>(QStringLiteral("TreeChanges"));
        for (int i = 0; i < tree->topLevelItemCount(); ++i) out << tree->topLevelItem(i)->text(0);
        return out;
    }
    QString one(TestAccount& account, const char* sql) {
        return account.rows(QString::fromUtf8(sql)).join(u',');
    }
    TestAccount a{GetParam()}, b{GetParam()};
    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
};

TEST_P(PackagesTest, ExportOneClassCompareAndImportWithRemovalsAskedFirst) {
    QString error;
    ASSERT_TRUE(a.srv().Modify(QStringLiteral("<Userdef><cId>1001</cId><cItemName>合同号</cItemName></Userdef>"),
                               QStringLiteral("Userdef"), &error));
    ASSERT_TRUE(a.srv().Delete(QStringLiteral("1002"), QStringLiteral("cid"), QStringLiteral("Userdef"), &error));
    const QString file = a.dataRoot() + QStringLiteral("/header.xml");
    auto deskA = deskOn(a);
    PackagesView* exporting = open(*deskA, file);
    ASSERT_TRUE(exporting);
    auto* classes = exporting->findChild<QComboBox*>(QStringLiteral("CmbClass"));
    classes->setCurrentIndex(classes->findText(QStringLiteral("Document header")));
    click(exporting, "BtnExport");
    ASSERT_TRUE(QFile::exists(file)) << exporting->messageText().toStdString();

    auto deskB = deskOn(b);
    PackagesView* view = open(*deskB, file);
    ASSERT_TRUE(view);
    click(view, "BtnCompare");
    EXPECT_EQ(groups(view), (QStringList{"New (0)", "Changed (1)", "Unchanged (18)", "Only in the account (1)",
                                         "Carry-over rules (1)"}))
        << view->messageText().toStdString();
    click(view, "BtnImport");
    EXPECT_EQ(one(b, R"(SELECT "cItemName" FROM "UserDef_Base" WHERE "cId" = '1001')"), "合同号");
    EXPECT_EQ(one(b, R"(SELECT COUNT(*) FROM "UserDef_Base" WHERE "cId" = '1002')"), "1");

    // Removing asks with the data it takes; No keeps everything, Yes removes the item.
    view->findChild<QCheckBox*>(QStringLiteral("ChkRemoveMissing"))->click();
    for (const int answer : {7, 6}) {
        prompter->queueAnswer(answer);
        click(view, "BtnImport");
        ASSERT_FALSE(prompter->asked().isEmpty());
        EXPECT_TRUE(prompter->asked().last().text.contains(QStringLiteral("1 items, 0 values, 1 rules")))
            << prompter->asked().last().text.toStdString();
        EXPECT_EQ(one(b, R"(SELECT COUNT(*) FROM "UserDef_Base" WHERE "cId" = '1002')"),
                  QString::fromLatin1(answer == 7 ? "1" : "0"));
    }
    EXPECT_EQ(groups(view).mid(0, 2), (QStringList{"New (0)", "Changed (0)"}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, PackagesTest,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) {
                             return std::string(testsupport::kindName(info.param));
                         });

}  // namespace
