// Help pages and the help window.
#include <gtest/gtest.h>

#include <QTextBrowser>

#include "platform/pub/HelpWindow.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace platform::pub;

TEST(PubHelp, TheTopicsPageInTheSessionLanguageOrWhyNot) {
    auto prompter = std::make_shared<ScriptedPrompter>();
    Pub pub(prompter, "zh-tw");
    QWidget owner;
    owner.setGeometry(0, 0, 120, 300);
    owner.show();
    pub.HelpX("userdefine", &owner);  // topics ignore letter case
    HelpWindow* help = pub.helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->frameGeometry().intersects(owner.frameGeometry()));  // beside it
    EXPECT_EQ(help->windowTitle(), "自訂項檔案");
    EXPECT_TRUE(help->browser()->toPlainText().contains("檔案值"));
    pub.HelpHide();
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(prompter->asked().isEmpty());

    pub.setLanguage("en-us");
    pub.HelpX("NoSuchTopic", nullptr);
    ASSERT_EQ(prompter->asked().size(), 1);
    EXPECT_EQ(prompter->asked()[0].text, "There is no help page for \"NoSuchTopic\".");
    EXPECT_FALSE(help->isVisible());
}

TEST(PubHelp, TheHelpCommandShowsTheWindowsTopic) {
    Pub pub(std::make_shared<ScriptedPrompter>(), "en-us");
    QWidget window;
    window.setProperty("helpTopic", "MakeVouchSet");
    pub.HelpShow(&window, "SaveRs");  // another command: nothing
    EXPECT_EQ(pub.helpWindow(), nullptr);
    pub.HelpShow(&window, "HELP");
    ASSERT_NE(pub.helpWindow(), nullptr);
    EXPECT_EQ(pub.helpWindow()->windowTitle(), "Item carry-over settings");
}
