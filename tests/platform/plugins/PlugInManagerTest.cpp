// Plug-ins as a window asks for them: the host's real manager over a plug-ins folder, the
// missing ones announced, the sample plug-in in a window's tab strip.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include "common/Globals.h"
#include "common/PlugInCommon.h"
#include "common/Session.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestSession.h"

using namespace userdef;

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// The window side of a plug-in: records notices, answers Talk from a value.
struct HostWindow : host::IPlugInHost {
    QStringList notices;
    QString value;
    void PlugInNotice(const QString& notice) override { notices << notice; }
    QString Talk(const QString& field) override { return field == "cValue" ? value : QString(); }
};

class PlugInsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Pub = std::make_shared<platform::pub::Pub>(prompter, QStringLiteral("en-us"));
        g_Factory = &factory;
    }
    void TearDown() override {
        Session::current().reset();
        g_Factory = nullptr;
    }
    // A new session's plug-ins of key, the host's manager reading the plug-ins folder given.
    bool load(const QString& folder, const QString& key) {
        testsupport::ScopedEnv env("USERDEF_PLUGINS", QFile::encodeName(folder));
        Session::current().plugInManager.reset();
        return LoadPlugIns(key, nullptr, plugIns);
    }
    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
    testsupport::TestHostFactory factory;
    std::shared_ptr<host::PlugInCollection> plugIns;
};

}  // namespace

TEST_F(PlugInsTest, TheSampleServesTheEditorAndTheValueArchiveWithAnObjectEach) {
    ASSERT_TRUE(load(USERDEF_SAMPLE_PLUGINS, "UserDef"));
    const auto editor = plugIns;
    const auto manager = Session::current().plugInManager;
    ASSERT_TRUE(LoadPlugIns("userdefvalue", nullptr, plugIns));  // keys ignore letter case
    ASSERT_TRUE(editor->size() == 1 && plugIns->size() == 1);
    EXPECT_NE(editor->front().get(), plugIns->front().get());
    EXPECT_EQ(Session::current().plugInManager, manager);  // one manager per session
    EXPECT_FALSE(LoadPlugIns("Voucher", nullptr, plugIns));  // nothing registered
    EXPECT_TRUE(prompter->asked().isEmpty());
}

TEST_F(PlugInsTest, PlugInsRegisteredButNotInstalledAreAnnouncedUnlessTheSettingsSayNot) {
    QTemporaryDir dir;
    writeFile(dir.filePath("broken.json"), "{ not json");
    writeFile(dir.filePath("ghost.json"), R"({"name": "Ghost", "keys": ["UserDef"], "library": "no_such_lib"})");
    writeFile(dir.filePath("nokeys.json"), R"({"name": "X", "keys": [], "library": "x"})");
    writeFile(dir.filePath("shade.json"), R"({"name": "Shade", "keys": ["userdef"], "library": "none"})");
    EXPECT_FALSE(load(dir.path(), "UserDef"));
    ASSERT_EQ(prompter->asked().size(), 2);  // one per plug-in
    EXPECT_EQ(prompter->last()->text, QStringLiteral("检测到您的客户端没有安装自定项插件!请安装后再使用."));
    EXPECT_EQ(prompter->last()->title, QStringLiteral("插件未找到!"));

    writeFile(dir.filePath("plugins.ini"), "[General]\nannounceMissing=false\n");
    prompter->clear();
    EXPECT_FALSE(load(dir.path(), "UserDef"));
    EXPECT_TRUE(prompter->asked().isEmpty());
    testsupport::ScopedEnv announce("USERDEF_PLUGINS_ANNOUNCE", "1");
    EXPECT_FALSE(load(dir.path(), "UserDef"));
    EXPECT_EQ(prompter->asked().size(), 2);
}

TEST_F(PlugInsTest, TheSampleAddsATabWhoseFieldAsksTheWindowToEnableSave) {
    ASSERT_TRUE(load(USERDEF_SAMPLE_PLUGINS, "UserDefValue"));
    host::IPlugIn& plugIn = *plugIns->front();
    HostWindow window;
    window.value = "red";
    QTabWidget tabs;
    tabs.addTab(new QWidget, "Base");
    plugIn.init("UserDefValue", "22", &window);
    plugIn.LoadPlugInControls(&tabs);
    ASSERT_EQ(tabs.count(), 2);
    auto* field = tabs.widget(1)->findChild<QLineEdit*>("EdtPlugInNote");
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isReadOnly());  // browsing

    plugIn.StartModify();
    field->setText("bright");
    EXPECT_EQ(window.notices, QStringList{"Button_SAVE"});
    plugIn.EndModify();

    // The note belongs to the value: another row shows its own, coming back shows it again.
    window.value = "green";
    plugIn.ActivateGridColumnControl(2);
    EXPECT_EQ(field->text(), "");
    window.value = "red";
    plugIn.ActivateGridColumnControl(1);
    EXPECT_EQ(field->text(), "bright");
    EXPECT_EQ(window.notices.size(), 1);  // filling the field is not an edit

    plugIn.UnLoadPlugInControls();
    EXPECT_EQ(tabs.count(), 1);
}
