// The editor's field rules on plain field states, and the statements it reads with.
#include <gtest/gtest.h>

#include "itemdef/EditorQueries.h"
#include "itemdef/FieldRules.h"
#include "itemdef/InUseProbe.h"
#include "itemdef/ItemRecord.h"

using namespace itemdef;

namespace {

EditorFields freshFields() {
    EditorFields f;
    f.maxLen.text = QStringLiteral("120");
    f.length.text = QStringLiteral("100");
    f.decimals.text = QStringLiteral("2");
    f.dataSource = 0;
    return f;
}

}  // namespace

TEST(FieldRules, EachTypeSwitchesLengthsDigitsDateButtonAndFlags) {
    struct Case {
        int type;
        bool maxLen, length, decimals, dateButton, flags;
        const char* maxLenText;
        const char* decimalsText;
    };
    const Case cases[] = {
        {kText, true, true, false, false, true, "120", ""},
        {kDate, false, false, false, true, false, "", ""},
        {kDateTime, false, false, false, true, false, "", ""},
        {kNumber, false, false, true, false, false, "", "6"},
        {kInteger, false, false, false, false, false, "", ""},
        {-1, false, false, false, false, false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EditorFields f = freshFields();
        f.flags[kArchive].checked = true;
        applyTypeRule(c.type, f, /*chosen*/ true);
        EXPECT_EQ(f.maxLen.enabled, c.maxLen);
        EXPECT_EQ(f.length.enabled, c.length);
        EXPECT_EQ(f.decimals.enabled, c.decimals);
        EXPECT_EQ(f.dateButton.visible, c.dateButton);
        EXPECT_EQ(f.flags[kCheckVal].enabled, c.flags);
        EXPECT_EQ(f.flags[kArchive].checked, c.flags);  // cleared where the type disables it
        EXPECT_EQ(f.flags[kFixLength].enabled, c.length);
        EXPECT_TRUE(f.flags[kInput].enabled);
        EXPECT_TRUE(f.defaultVal.enabled);
        EXPECT_EQ(f.maxLen.text, QString::fromLatin1(c.maxLenText));
        EXPECT_EQ(f.decimals.text, QString::fromLatin1(c.decimalsText));
    }
    // Loading a number item keeps its stored digits.
    EditorFields loaded = freshFields();
    applyTypeRule(kNumber, loaded);
    EXPECT_EQ(loaded.decimals.text, QStringLiteral("2"));
}

TEST(FieldRules, RelatedArchiveSourceLocksDefaultValueAndFixedLength) {
    EditorFields f = freshFields();
    f.dataSource = 1;
    applyTypeRule(kText, f);
    EXPECT_TRUE(f.relArchive.enabled);
    EXPECT_TRUE(f.relField.enabled);
    EXPECT_FALSE(f.flags[kFixLength].enabled);
    EXPECT_FALSE(f.defaultVal.enabled);

    EditorFields date = freshFields();
    date.dataSource = 1;
    applyTypeRule(kDate, date);
    EXPECT_FALSE(date.dateButton.visible);
}

TEST(FieldRules, FreeItemTakesItsFixedFlags) {
    EditorFields f = freshFields();
    f.flags[kFixLength].checked = f.flags[kInput].checked = true;
    f.defaultVal.text = QStringLiteral("x");
    applyFreeItem(f);
    EXPECT_FALSE(f.flags[kFixLength].checked || f.flags[kFixLength].enabled);
    EXPECT_FALSE(f.flags[kInput].checked || f.flags[kInput].enabled);
    EXPECT_TRUE(f.flags[kCheckVal].checked);
    EXPECT_FALSE(f.flags[kCheckVal].enabled);
    EXPECT_FALSE(f.flags[kArchive].enabled);
    EXPECT_FALSE(f.defaultVal.enabled);
    EXPECT_TRUE(f.defaultVal.text.isEmpty());
    EXPECT_FALSE(f.length.enabled);
    EXPECT_TRUE(f.decimals.text.isEmpty());
}

TEST(FieldRules, FlagClicks) {
    const FlagContext named{QStringLiteral("颜色"), QStringLiteral("4"), false};

    // Without a name the click is taken back (fixed length needs none).
    EditorFields f = freshFields();
    f.flags[kArchive].checked = true;
    FlagClick click = flagClicked(kArchive, f, {QStringLiteral("  "), {}, false});
    EXPECT_TRUE(click.undone);
    EXPECT_FALSE(f.flags[kArchive].checked);

    f.flags[kArchive].checked = true;
    click = flagClicked(kArchive, f, named);
    EXPECT_TRUE(click.changed);
    EXPECT_TRUE(f.flags[kCheckVal].checked);
    EXPECT_FALSE(f.flags[kMultiSel].enabled);
    EXPECT_FALSE(f.flags[kAttachFile].enabled);

    // Check validity stays ticked while archive is.
    f.flags[kCheckVal].checked = false;
    flagClicked(kCheckVal, f, named);
    EXPECT_TRUE(f.flags[kCheckVal].checked);

    EditorFields m = freshFields();
    m.flags[kCheckVal].checked = m.flags[kArchive].checked = true;
    m.flags[kMultiSel].checked = true;
    flagClicked(kMultiSel, m, named);
    EXPECT_FALSE(m.flags[kCheckVal].checked || m.flags[kCheckVal].enabled);
    EXPECT_FALSE(m.flags[kArchive].checked || m.flags[kArchive].enabled);
    m.flags[kMultiSel].checked = false;
    flagClicked(kMultiSel, m, named);
    EXPECT_TRUE(m.flags[kCheckVal].enabled && m.flags[kArchive].enabled);
    EXPECT_FALSE(m.flags[kCheckVal].checked);

    EditorFields a = freshFields();
    a.flags[kAttachFile].checked = true;
    flagClicked(kAttachFile, a, named);
    for (const Flag other : {kCheckVal, kFixLength, kArchive, kPic})
        EXPECT_FALSE(a.flags[other].enabled) << other;
    a.flags[kAttachFile].checked = false;
    flagClicked(kAttachFile, a, {named.itemName, named.length, /*free*/ true});
    EXPECT_FALSE(a.flags[kPic].enabled);  // a free item keeps them off

    // Fixed length needs a length and a default value of that length.
    EditorFields fl = freshFields();
    fl.flags[kFixLength].checked = true;
    flagClicked(kFixLength, fl, {QString(), QString(), false});
    EXPECT_FALSE(fl.flags[kFixLength].checked);
    fl.flags[kFixLength].checked = true;
    fl.defaultVal.text = QStringLiteral("abc");
    click = flagClicked(kFixLength, fl, named);
    EXPECT_FALSE(fl.flags[kFixLength].checked);
    EXPECT_EQ(click.messageKey, QStringLiteral("Q9.AA.USERDEF.FRMZAM.72_1"));
    EXPECT_EQ(click.messageArg, QStringLiteral("4"));
    fl.flags[kFixLength].checked = true;
    fl.defaultVal.text = QStringLiteral("abcd");
    flagClicked(kFixLength, fl, named);
    EXPECT_TRUE(fl.flags[kFixLength].checked);
}

TEST(FieldRules, LengthDefaultValueAndDates) {
    EXPECT_TRUE(lengthReductionRefused(true, 10, QStringLiteral("5")));
    EXPECT_FALSE(lengthReductionRefused(true, 10, QStringLiteral("12")));
    EXPECT_FALSE(lengthReductionRefused(false, 10, QStringLiteral("5")));
    EXPECT_FALSE(lengthReductionRefused(true, 10, QString()));  // cleared to type anew

    EXPECT_TRUE(isDateText(QStringLiteral("2026-12-06")));
    EXPECT_TRUE(isDateText(QStringLiteral("2026/2/28 13:05")));
    EXPECT_FALSE(isDateText(QStringLiteral("2026-02-30")));
    EXPECT_FALSE(isDateText(QStringLiteral("tomorrow")));

    DefaultCheck c = defaultValueChanged(QStringLiteral("abc"), false, {}, kDate);
    EXPECT_TRUE(c.refused);
    EXPECT_EQ(c.messageKey, QStringLiteral("Q9.AA.USERDEF.FRMZAM.360_1"));
    EXPECT_FALSE(defaultValueChanged(QStringLiteral("abc"), false, {}, kText).refused);
    c = defaultValueChanged(QStringLiteral("abc"), true, QStringLiteral("4"), kText);
    EXPECT_TRUE(c.untickFixLength);
    EXPECT_EQ(c.messageArg, QStringLiteral("4"));
    EXPECT_TRUE(defaultValueChanged(QStringLiteral("abc"), true, QString(), kText).untickFixLength);
}

TEST(FieldRules, KeysOfDecimalDigitsAndKeysThatAreEdits) {
    EXPECT_TRUE(decimalKeyAccepted(Qt::Key_6, false));
    EXPECT_FALSE(decimalKeyAccepted(Qt::Key_7, false));
    EXPECT_TRUE(decimalKeyAccepted(Qt::Key_8, true));
    EXPECT_FALSE(decimalKeyAccepted(Qt::Key_9, true));
    EXPECT_FALSE(decimalKeyAccepted(Qt::Key_Minus, true));
    EXPECT_TRUE(decimalKeyAccepted(Qt::Key_Backspace, false));

    for (const int key : {int(Qt::Key_A), int(Qt::Key_5), int(Qt::Key_Delete), int(Qt::Key_Space)})
        EXPECT_TRUE(keyMarksChange(key)) << key;
    for (const int key :
         {int(Qt::Key_Tab), int(Qt::Key_Escape), int(Qt::Key_F12), int(Qt::Key_Left),
          int(Qt::Key_Shift), int(Qt::Key_Insert), int(Qt::Key_PageDown)})
        EXPECT_FALSE(keyMarksChange(key)) << key;
}

TEST(FieldRules, LabelsAndCaptionsAsShown) {
    const QStringList kinds = {QStringLiteral("Free item "), QStringLiteral("User item "),
                               QStringLiteral("Property "), QStringLiteral("Extended item ")};
    EXPECT_EQ(shownLabel(QStringLiteral("扩展自定义项12"), kinds),
              QStringLiteral("Extended item 12"));
    EXPECT_EQ(shownLabel(QStringLiteral("自定义项3"), kinds), QStringLiteral("User item 3"));
    EXPECT_EQ(shownLabel(QStringLiteral("自由项1"), kinds), QStringLiteral("Free item 1"));
    EXPECT_EQ(flagCaption(QStringLiteral("是否必输"), QStringLiteral("zh-CN")),
              QStringLiteral("必输"));
    EXPECT_EQ(flagCaption(QStringLiteral("Required or not"), QStringLiteral("en-US")),
              QStringLiteral("Required"));
}

TEST(InUseProbe, NumberAndStatementByClass) {
    EXPECT_EQ(probeNumber(QStringLiteral("客户"), QStringLiteral("自定义项3")),
              QStringLiteral("3"));
    EXPECT_EQ(probeNumber(QStringLiteral("客户"), QStringLiteral("自定义项16")),
              QStringLiteral("16"));
    EXPECT_EQ(probeNumber(QStringLiteral("批次属性"), QStringLiteral("属性10")),
              QStringLiteral("10"));
    EXPECT_EQ(probeNumber(QStringLiteral("存货"), QStringLiteral("自由项2")), QStringLiteral("2"));
    EXPECT_TRUE(probeNumber(QStringLiteral("客户"), QStringLiteral("自定义项x'")).isEmpty());

    EXPECT_EQ(inUseProbeSql(QStringLiteral("存货"), QStringLiteral("自由项2")),
              QStringLiteral(" select top 1 CInvcode from Inventory where bFree2=1"));
    EXPECT_EQ(inUseProbeSql(QStringLiteral("供应商"), QStringLiteral("自定义项1")),
              QStringLiteral("  select top 1 CVencode from Vendor where cVenDefine1<>''"));
    EXPECT_TRUE(inUseProbeSql(QStringLiteral("单据头"), QStringLiteral("自定义项1")).isEmpty());
    EXPECT_TRUE(probeKeepsFlag(QStringLiteral("序列号")));
}

TEST(EditorQueries, ParentChoiceLeavesOutTheItemAndItsChildren) {
    EXPECT_EQ(
        parentListSql(QStringLiteral("单据头"), QStringLiteral("6"), false),
        QStringLiteral("select cID,(case when ISNULL(citemname,'')='' then cItemLang else "
                       "cItemName end) as cItemName  from UserDef  where cClass ='单据头' and "
                       "cid<>'6' and not cID in (select cID from UserDef where "
                       "isnull(cparentid,'')='6') order by CAST( cid as integer)"));
    EXPECT_FALSE(parentListSql(QStringLiteral("a'b"), {}, true).contains(QStringLiteral("a'b")));
}
