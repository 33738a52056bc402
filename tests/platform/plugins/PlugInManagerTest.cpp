// Registering, loading and announcing plug-ins; the sample plug-in in a window's tab strip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include "platform/plugins/PlugInManager.h"
#include "tests/support/ScopedEnv.h"

using platform::plugins::PlugInManager;

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

}  // namespace

TEST(PlugInManager, SampleIsRegisteredForTheEditorAndTheValueArchive) {
    PlugInManager manager(USERDEF_SAMPLE_PLUGINS);
    manager.init("001", nullptr);
    QMap<QString, QVariant> missing;
    auto editor = manager.plugIns("UserDef", missing);
    auto values = manager.plugIns("userdefvalue", missing);  // keys ignore letter case
    ASSERT_TRUE(editor && values && editor->size() == 1 && values->size() == 1);
    EXPECT_NE(editor->front().get(), values->front().get());  // one object per window
    EXPECT_TRUE(missing.isEmpty());

    EXPECT_EQ(manager.plugIns("Voucher", missing), nullptr);  // nothing registered
}

TEST(PlugInManager, RegisteredButMissingLibraryIsReportedNotLoaded) {
    QTemporaryDir dir;
    writeFile(dir.filePath("ghost.json"),
              R"({"name": "Ghost fields", "keys": ["UserDef"], "library": "no_such_lib"})");
    writeFile(dir.filePath("broken.json"), "{ not json");
    writeFile(dir.filePath("nokeys.json"), R"({"name": "X", "keys": [], "library": "x"})");
    PlugInManager manager(dir.path());
    manager.init("001", nullptr);
    EXPECT_EQ(manager.manifests().size(), 1);

    QMap<QString, QVariant> missing;
    auto plugIns = manager.plugIns("UserDef", missing);
    ASSERT_TRUE(plugIns);  // registered: an empty collection, not none
    EXPECT_TRUE(plugIns->empty());
    EXPECT_EQ(missing.value("Ghost fields"), QVariant(true));
    EXPECT_TRUE(manager.announceMissing());
}

TEST(PlugInManager, FolderAndAnnouncingComeFromTheSettingsAndTheEnvironment) {
    QTemporaryDir dir;
    writeFile(dir.filePath("plugins.ini"), "[General]\nannounceMissing=false\n");
    PlugInManager quiet(dir.path());
    quiet.init("001", nullptr);
    EXPECT_FALSE(quiet.announceMissing());
    {
        testsupport::ScopedEnv announce("USERDEF_PLUGINS_ANNOUNCE", "1");
        PlugInManager loud(dir.path());
        loud.init("001", nullptr);
        EXPECT_TRUE(loud.announceMissing());
    }
    {
        testsupport::ScopedEnv folder("USERDEF_PLUGINS", "/tmp/some-plugins");
        EXPECT_EQ(PlugInManager().folder(), "/tmp/some-plugins");
    }
    testsupport::ScopedEnv none("USERDEF_PLUGINS", {}, true);
    EXPECT_TRUE(PlugInManager().folder().endsWith("/plugins"));
}

TEST(SamplePlugIn, AddsATabWhoseFieldAsksTheWindowToEnableSave) {
    PlugInManager manager(USERDEF_SAMPLE_PLUGINS);
    manager.init("001", nullptr);
    QMap<QString, QVariant> missing;
    auto plugIns = manager.plugIns("UserDefValue", missing);
    ASSERT_TRUE(plugIns && plugIns->size() == 1);
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
    EXPECT_TRUE(window.notices.isEmpty());

    plugIn.StartModify();
    EXPECT_FALSE(field->isReadOnly());
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

    plugIn.StartAdd();
    EXPECT_EQ(field->text(), "");

    plugIn.UnLoadPlugInControls();
    EXPECT_EQ(tabs.count(), 1);
}
