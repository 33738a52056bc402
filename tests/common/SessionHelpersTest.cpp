// The helpers that talk through the public service: messages, name tables, plug-ins.
#include <gtest/gtest.h>

#include "common/Globals.h"
#include "common/InitAcc.h"
#include "common/NameTables.h"
#include "common/PlugInCommon.h"
#include "host/IWindowHost.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace userdef;
using platform::pub::ScriptedPrompter;

namespace {

// A plug-in that remembers the server service it was handed.
class RecordingPlugIn : public host::IPlugIn {
public:
    void init(const QString&, const QString&, host::IPlugInHost*) override {}
    void SetQ9ArchiveDbSrv(host::IClsCommon* srv) override {
        ++srvCalls;
        lastSrv = srv;
    }
    void LoadPlugInControls(QTabWidget*) override {}
    void UnLoadPlugInControls() override {}
    void StartAdd() override {}
    void StartModify() override {}
    void EndAdd() override {}
    void EndModify() override {}
    int CurrentState() const override { return 0; }
    void FillGridCell(int) override {}
    void ActivateGridColumnControl(int) override {}
    void TabPageChanged(int, int) override {}
    int srvCalls = 0;
    host::IClsCommon* lastSrv = reinterpret_cast<host::IClsCommon*>(1);
};

// A plug-in registry as a host keeps it: plug-ins per key, some registered but not installed.
class TablePlugInManager : public host::IPlugInManager {
public:
    void init(const QString& accountId, host::ILogin* login) override {
        ++inits;
        account = accountId;
    }
    std::shared_ptr<host::PlugInCollection> plugIns(const QString& key,
                                                    QMap<QString, QVariant>& missing) override {
        asked << key;
        if (!installed.contains(key) && !notInstalled.contains(key)) return nullptr;
        auto collection = std::make_shared<host::PlugInCollection>(installed.value(key));
        for (const QString& name : notInstalled.value(key)) missing.insert(name, true);
        missing.insert(QStringLiteral("optional"), false);
        return collection;
    }
    bool announceMissing() const override { return announce; }

    QMap<QString, host::PlugInCollection> installed;
    QMap<QString, QStringList> notInstalled;
    bool announce = true;
    int inits = 0;
    QString account;
    QStringList asked;
};

class Factory : public host::IHostFactory {
public:
    std::shared_ptr<host::IPub> createPub() override { return nullptr; }
    std::shared_ptr<host::IClsCommon> createSrvDB() override { return nullptr; }
    std::shared_ptr<host::IColSet> createColSet() override { return nullptr; }
    std::shared_ptr<host::IPlugInManager> createPlugInManager() override {
        ++managersMade;
        return manager;
    }
    host::IWindowHost* windowHost() override { return nullptr; }
    std::shared_ptr<TablePlugInManager> manager = std::make_shared<TablePlugInManager>();
    int managersMade = 0;
};

class SessionHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Pub = std::make_shared<platform::pub::Pub>(prompter, QStringLiteral("en-us"));
        g_Factory = &factory;
    }
    void TearDown() override {
        Session::current().reset();
        g_Factory = nullptr;
    }
    std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();
    Factory factory;
};

// The public service's text of a key, as InitAcc should have put it.
QString res(const char* key) { return g_Pub->GetResString(QString::fromLatin1(key)); }

}  // namespace

TEST_F(SessionHelpersTest, InitAccFillsTheNameTablesInIndexOrderAndKeepsThemWhenItFails) {
    ASSERT_TRUE(InitAcc());
    EXPECT_EQ(g_YesNo, (QStringList{res("Q9.AA.ARCHIVE.COMMON.no"), res("Q9.AA.ARCHIVE.COMMON.yes")}));
    ASSERT_EQ(g_ClassNames.size(), classKeys().size());
    EXPECT_EQ(g_ClassNames[0], res("Q9.AA.USERDEF.voucherheader"));
    EXPECT_EQ(g_ClassNames[3], res("Q9.AA.ARCHIVE.FIELD.vendorcontactuserdefine"));
    EXPECT_EQ(g_ClassNames[12], res("Q9.AA.ARCHIVE.bank_account"));
    EXPECT_EQ(g_ItemKinds.value(3), res("Q9.AA.ARCHIVE.FIELD.extenduserdefineitem"));
    EXPECT_EQ(g_DataTypes.value(4), res("Q9.AA.USERDEF.datatype_datetime"));
    EXPECT_TRUE(prompter->asked().isEmpty());

    const QStringList before = g_ClassNames;
    g_Pub.reset();
    EXPECT_FALSE(InitAcc());
    EXPECT_EQ(g_ClassNames, before);
}

TEST_F(SessionHelpersTest, LoadPlugInsHandsEveryPlugInAnEmptyServerAndKeepsOneManager) {
    auto first = std::make_shared<RecordingPlugIn>();
    auto second = std::make_shared<RecordingPlugIn>();
    factory.manager->installed.insert(QStringLiteral("UserDef"), {first, second});
    std::shared_ptr<host::PlugInCollection> plugIns;
    ASSERT_TRUE(LoadPlugIns(QStringLiteral("UserDef"), nullptr, plugIns));
    ASSERT_TRUE(plugIns);
    EXPECT_EQ(plugIns->size(), 2u);
    EXPECT_EQ(first->lastSrv, nullptr);
    EXPECT_EQ(second->srvCalls, 1);

    EXPECT_FALSE(LoadPlugIns(QStringLiteral("UserDefValue"), nullptr, plugIns));
    EXPECT_FALSE(plugIns);
    EXPECT_EQ(factory.managersMade, 1);
    EXPECT_EQ(factory.manager->inits, 1);
    EXPECT_EQ(factory.manager->asked, (QStringList{"UserDef", "UserDefValue"}));
    EXPECT_TRUE(prompter->asked().isEmpty());
}

TEST_F(SessionHelpersTest, MissingPlugInsAreAnnouncedOncePerPlugInNotInstalled) {
    factory.manager->notInstalled.insert(QStringLiteral("UserDef"),
                                         {QStringLiteral("a"), QStringLiteral("b")});
    std::shared_ptr<host::PlugInCollection> plugIns;
    EXPECT_FALSE(LoadPlugIns(QStringLiteral("UserDef"), nullptr, plugIns));
    ASSERT_EQ(prompter->asked().size(), 2);  // "optional" is registered as not required
    EXPECT_EQ(prompter->last()->text,
              QStringLiteral("检测到您的客户端没有安装自定项插件!请安装后再使用."));
    EXPECT_EQ(prompter->last()->title, QStringLiteral("插件未找到!"));

    prompter->clear();
    factory.manager->announce = false;
    EXPECT_FALSE(LoadPlugIns(QStringLiteral("UserDef"), nullptr, plugIns));
    EXPECT_TRUE(prompter->asked().isEmpty());
}
