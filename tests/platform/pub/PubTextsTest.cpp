// Texts by language, missing keys and format strings.
#include <gtest/gtest.h>

#include "platform/pub/Pub.h"
#include "platform/pub/ResourceTexts.h"
#include "platform/pub/ScriptedPrompter.h"

using platform::pub::Pub;
using platform::pub::ScriptedPrompter;

TEST(PubTexts, TheLoginsLanguageChoosesTheTextsAndMissingKeysAnswerThemselves) {
    const struct {
        const char* language;
        const char* key;
        QString text;
    } cases[] = {
        {"zh-cn", "Q9.AA.USERDEF.voucherheader", "单据头"}, {"ZH-TW", "Q9.AA.USERDEF.voucherheader", "單據頭"},
        {"en-us", "Q9.AA.USERDEF.voucherheader", "Document header"},
        {"fr-fr", "Q9.AA.USERDEF.voucherheader", "单据头"},  // anything else: simplified Chinese
        // Stored labels and types are compared with the simplified Chinese texts.
        {"zh-cn", "Q9.AA.USERDEF.userfreeitem", "自由项"}, {"zh-cn", "Q9.AA.USERDEF.datatype_int", "整型"},
        {"zh-cn", "Q9.AA.ARCHIVE.FIELD.extenddefineitem", "扩展自定义项"},
        {"en-us", "Q9.NO.SUCH.KEY", "Q9.NO.SUCH.KEY"}, {"en-us", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pub(std::make_shared<ScriptedPrompter>(), c.language).GetResString(c.key), c.text)
            << c.language << " " << c.key;
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    pub.setLanguage("en-us");
    EXPECT_EQ(pub.GetResString("Q9.AA.TOOLBAR.Add"), "Add");
    EXPECT_EQ(Pub(std::make_shared<ScriptedPrompter>(), "En-Us").M_LocaleId(), "en-US");
}

TEST(PubTexts, FormatStringsInsertValuesInOnePass) {
    Pub english(std::make_shared<ScriptedPrompter>(), "en-us");
    EXPECT_EQ(english.GetResFormatString("Q9.AA.ARCHIVE.COMMON.rstcount", {"12"}), "12 records");
    EXPECT_EQ(english.GetResFormatString("Q9.AA.USERDEF.FRMZARCHIVE.597_1", {"A%1B"}),
              "Delete the value \"A%1B\"?");
    EXPECT_EQ(english.GetResFormatString("Q9.NO.SUCH.%1", {"x"}), "Q9.NO.SUCH.x");

    using platform::pub::formatText;
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const struct {
        QString format;
        QStringList values;
        QString text;
    } cases[] = {
        {"%2-%1", {"a", "b"}, "b-a"},          {"100%% of %1", {"x"}, "100% of x"},
        {"%3 stays", {"a"}, "%3 stays"},       {"%12", QStringList(12, "v"), "v"},
        {"ends with %", {}, "ends with %"},    {"%1", {emoji}, emoji},
    };
    for (const auto& c : cases) EXPECT_EQ(formatText(c.format, c.values), c.text) << c.format.toStdString();
}
