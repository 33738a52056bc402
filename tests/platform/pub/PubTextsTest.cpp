// Texts by language, missing keys and format strings.
#include <gtest/gtest.h>

#include "platform/pub/Pub.h"
#include "platform/pub/ResourceTexts.h"
#include "platform/pub/ScriptedPrompter.h"

using platform::pub::Pub;
using platform::pub::ScriptedPrompter;

namespace {

std::unique_ptr<Pub> pubIn(const QString& language) {
    return std::make_unique<Pub>(std::make_shared<ScriptedPrompter>(), language);
}

}  // namespace

TEST(PubTexts, LanguageOfTheLoginChoosesTheTexts) {
    EXPECT_EQ(pubIn("zh-cn")->GetResString("Q9.AA.USERDEF.voucherheader"), "单据头");
    EXPECT_EQ(pubIn("ZH-TW")->GetResString("Q9.AA.USERDEF.voucherheader"), "單據頭");
    EXPECT_EQ(pubIn("en-us")->GetResString("Q9.AA.USERDEF.voucherheader"), "Document header");
    EXPECT_EQ(pubIn("En-Us")->M_LocaleId(), "en-US");
    // Anything else is simplified Chinese.
    EXPECT_EQ(pubIn("fr-fr")->GetResString("Q9.AA.USERDEF.voucherheader"), "单据头");
    EXPECT_EQ(pubIn("")->M_LocaleId(), "zh-CN");
}

TEST(PubTexts, SwitchingLanguageReloadsTexts) {
    auto pub = pubIn("zh-cn");
    EXPECT_EQ(pub->GetResString("Q9.AA.TOOLBAR.Add"), "增加");
    pub->setLanguage("en-us");
    EXPECT_EQ(pub->GetResString("Q9.AA.TOOLBAR.Add"), "Add");
}

TEST(PubTexts, StoredValuesAreTheSimplifiedChineseTexts) {
    // The component compares stored labels and types with these texts.
    auto pub = pubIn("zh-cn");
    EXPECT_EQ(pub->GetResString("Q9.AA.USERDEF.userfreeitem"), "自由项");
    EXPECT_EQ(pub->GetResString("Q9.AA.ARCHIVE.FIELD.extenddefineitem"), "扩展自定义项");
    EXPECT_EQ(pub->GetResString("Q9.AA.USERDEF.datatype_int"), "整型");
    EXPECT_EQ(pub->GetResString("Q9.AA.ARCHIVE.bank_account"), "银行账号");
}

TEST(PubTexts, KeyWithoutTextAnswersItself) {
    auto pub = pubIn("en-us");
    EXPECT_EQ(pub->GetResString("Q9.NO.SUCH.KEY"), "Q9.NO.SUCH.KEY");
    EXPECT_EQ(pub->GetResString("Q9.NO.SUCH.KEY"), "Q9.NO.SUCH.KEY");
    EXPECT_EQ(pub->GetResString(""), "");
    EXPECT_EQ(pub->GetResFormatString("Q9.NO.SUCH.%1", {"x"}), "Q9.NO.SUCH.x");
}

TEST(PubTexts, FormatStringsInsertValuesInOnePass) {
    auto pub = pubIn("en-us");
    EXPECT_EQ(pub->GetResFormatString("Q9.AA.ARCHIVE.COMMON.rstcount", {"12"}), "12 records");
    EXPECT_EQ(pub->GetResFormatString("Q9.AA.USERDEF.FRMZARCHIVE.597_1", {"A%1B"}),
              "Delete the value \"A%1B\"?");
    EXPECT_EQ(pubIn("zh-cn")->GetResFormatString("Q9.AA.USERDEF.FRMZAM.72_1", {"8"}),
              "定长的自定义项，默认值的长度必须为 8！");

    using platform::pub::formatText;
    EXPECT_EQ(formatText("%2-%1", {"a", "b"}), "b-a");
    EXPECT_EQ(formatText("100%% of %1", {"x"}), "100% of x");
    EXPECT_EQ(formatText("%3 stays", {"a"}), "%3 stays");
    EXPECT_EQ(formatText("%12", QStringList(12, "v")), "v");
    EXPECT_EQ(formatText("ends with %", {}), "ends with %");
    EXPECT_EQ(formatText("%1", {QString::fromUtf8("\xF0\x9F\x98\x80")}),
              QString::fromUtf8("\xF0\x9F\x98\x80"));
}
