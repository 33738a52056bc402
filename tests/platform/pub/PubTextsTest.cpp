// Texts and help pages by language, missing keys and format strings.
#include <gtest/gtest.h>

#include <QTextBrowser>

#include "platform/pub/HelpWindow.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ResourceTexts.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace platform::pub;

TEST(PubTexts, TheLoginsLanguageChoosesTheTextsAndMissingKeysAnswerThemselves) {
    const struct {
        const char* language;
        const char* key;
        QString text;
    } cases[] = {
        {"ZH-TW", "Q9.AA.USERDEF.voucherheader", "單據頭"},
        {"en-us", "Q9.AA.USERDEF.voucherheader", "Document header"},
        {"fr-fr", "Q9.AA.USERDEF.voucherheader", "单据头"},  // anything else: simplified Chinese
        {"en-us", "Q9.NO.SUCH.KEY", "Q9.NO.SUCH.KEY"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pub(std::make_shared<ScriptedPrompter>(), c.language).GetResString(c.key), c.text)
            << c.language << " " << c.key;
    EXPECT_EQ(Pub(std::make_shared<ScriptedPrompter>(), "En-Us").M_LocaleId(), "en-US");
}

TEST(PubTexts, FormatStringsInsertValuesInOnePass) {
    Pub english(std::make_shared<ScriptedPrompter>(), "en-us");
    EXPECT_EQ(english.GetResFormatString("Q9.AA.USERDEF.FRMZARCHIVE.597_1", {"A%1B"}),
              "Delete the value \"A%1B\"?");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const struct {
        QString format;
        QStringList values;
        QString text;
    } cases[] = {
        {"%2-%1", {"a", "b"}, "b-a"},       {"100%% of %1", {"x"}, "100% of x"},
        {"%3 stays", {"a"}, "%3 stays"},    {"%12", QStringList(12, "v"), "v"},
        {"ends with %", {}, "ends with %"}, {"%1", {emoji}, emoji},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatText(c.format, c.values), c.text) << c.format.toStdString();
}

TEST(PubTexts, TheHelpCommandShowsTheWindowsTopicInTheSessionLanguageOrWhyNot) {
    auto prompter = std::make_shared<ScriptedPrompter>();
    Pub pub(prompter, "zh-tw");
    QWidget window;
    window.setGeometry(0, 0, 120, 300);
    window.show();
    window.setProperty("helpTopic", "userdefine");  // topics ignore letter case
    pub.HelpShow(&window, "SaveRs");                // another command: nothing
    EXPECT_EQ(pub.helpWindow(), nullptr);
    pub.HelpShow(&window, "HELP");
    HelpWindow* help = pub.helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->frameGeometry().intersects(window.frameGeometry()));  // beside it
    EXPECT_EQ(help->windowTitle(), "自訂項檔案");
    EXPECT_TRUE(help->browser()->toPlainText().contains("檔案值"));
    EXPECT_TRUE(prompter->asked().isEmpty());
    pub.HelpHide();
    EXPECT_FALSE(help->isVisible());

    pub.setLanguage("en-us");
    pub.HelpX("NoSuchTopic", nullptr);
    ASSERT_EQ(prompter->asked().size(), 1);
    EXPECT_EQ(prompter->asked()[0].text, "There is no help page for \"NoSuchTopic\".");
    EXPECT_FALSE(help->isVisible());
}
